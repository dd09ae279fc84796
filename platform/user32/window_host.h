// What the rest of the platform layer (the Direct3D 9 device) may ask of a window.
// The one place that maps an HWND to its SDL window is user32; every other DLL of
// the layer goes through these calls.
//
// Top-level windows made by CreateWindowExW are SDL windows created hidden with
// SDL_WINDOW_OPENGL, sized to the client area (the outer size less the frame), so a
// GL context can be made on them. Dialog windows and child controls are drawn by
// user32 itself and have no GL drawable.
#pragma once

#include <windows.h>

struct SDL_Window;

// The SDL window behind a top-level HWND that can carry a GL context, or null for
// a null, unknown, child or dialog window. SDL's video subsystem is up whenever
// this returns a window.
SDL_Window *glintworkWindowDrawable(HWND window);
