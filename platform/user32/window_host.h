// What the rest of the platform layer (the Direct3D 9 device) may ask of a window.
// The one place that maps an HWND to its SDL window is user32; every other DLL of
// the layer goes through these calls.
//
// Top-level windows made by CreateWindowExW are SDL windows created hidden with
// SDL_WINDOW_OPENGL, sized to the client area (the outer size less the frame), so a
// GL context can be made on them. Dialog windows and child controls are drawn by
// user32 itself and have no GL drawable.
//
// The frame is fixed: WS_THICKFRAME 4 px a side (else WS_CAPTION, WS_DLGFRAME or
// DS_MODALFRAME 3 px, else WS_BORDER 1 px), WS_CAPTION a 19 px caption bar on top,
// WS_EX_CLIENTEDGE 2 px a side. A 640 x 480 window with WS_CAPTION |
// WS_THICKFRAME and WS_EX_CLIENTEDGE has a 628 x 449 client area; GetClientRect
// and the SDL window's size agree, and change together on MoveWindow or when the
// user resizes the window (WM_SIZE follows).
#pragma once

#include <windows.h>

struct SDL_Window;

// The SDL window behind a top-level HWND that can carry a GL context, or null for
// a null, unknown, child or dialog window. SDL's video subsystem is up whenever
// this returns a window.
SDL_Window *glintworkWindowDrawable(HWND window);
