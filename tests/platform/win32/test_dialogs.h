// Ids of the test dialogs in test_dialogs.rc.
#pragma once

#define IDD_PANEL 101
#define IDD_SMALL 200
#define IDD_CLASSIC 201
#define IDD_UNKNOWN_CLASS 202
#define IDD_WITH_CANCEL 203

#define IDC_AMBIENT 1001
#define IDC_DIFFUSE 1002
#define IDC_SPECULAR 1003
#define IDC_GREEN 1005
#define IDC_RED 1009
#define IDC_BLUE 1010
#define IDC_XAXIS 1011
#define IDC_YAXIS 1012
#define IDC_ZAXIS 1013
#define IDC_SPEED 1014
#define IDC_INTENSITY 1015

#define IDC_FIRST 10
#define IDC_SECOND 11
#define IDC_LABEL 12
#define IDC_SLIDER 13
