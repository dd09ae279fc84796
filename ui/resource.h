// Resource and control ids of the "Illumination settings" dialog.
#pragma once

#define IDD_SETTINGS 101

#define IDC_AMBIENT 1001
#define IDC_DIFFUSE 1002
#define IDC_SPECULAR 1003
#define IDC_GREEN 1005
#define IDC_RED 1009
#define IDC_BLUE 1010
#define IDC_AXIS_X 1011
#define IDC_AXIS_Y 1012
#define IDC_AXIS_Z 1013
#define IDC_SPEED 1014
#define IDC_INTENSITY 1015
