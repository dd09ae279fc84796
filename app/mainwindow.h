// The main window's procedure: closing ends the program, releasing 1 to 8 on the
// top row selects the mesh, everything else goes to default processing.
#pragma once

#include <windows.h>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
