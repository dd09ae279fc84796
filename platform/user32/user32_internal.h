// What the files of user32 (and comctl32's trackbar) share: the window and class
// records, the one handle table that maps an HWND to its record and SDL window,
// the frame insets, the painter for layer-drawn windows, and diagnostics.
#pragma once

#include <windows.h>

#include "../kernel32/layer_support.h"

#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;

namespace glintwork {

// ---- Windows and classes ---------------------------------------------------

struct Window;

// Class-side hooks for the controls the layer draws itself.
struct ControlOps {
  // Draws the control into the top-level window's surface; origin is the
  // control's top-left corner in surface pixels.
  void (*paint)(Window &window, SDL_Surface *surface, int originX, int originY) = nullptr;
  // True when the control lets mouse clicks pass to its parent (statics, group boxes).
  bool (*transparent)(const Window &window) = nullptr;
};

struct WindowClass {
  std::wstring name;
  ATOM atom = 0;
  WNDCLASSEXW info{};
  ControlOps ops;
  bool system = false;
};

struct Window {
  HWND handle = nullptr;
  WindowClass *windowClass = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::wstring text;
  HWND parent = nullptr;  // child windows
  HWND owner = nullptr;   // owned top-level windows
  LONG_PTR id = 0;        // child windows: the control id
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  std::vector<unsigned char> extra;  // cbWndExtra bytes
  // Outer rectangle: screen coordinates for a top-level window, parent client
  // coordinates for a child.
  RECT rect{};
  SDL_Window *sdl = nullptr;  // top-level windows only
  bool drawable = false;      // top-level with a GL-capable SDL window
  bool destroying = false;
  bool dead = false;
  bool needsPaint = false;     // WM_PAINT pending for the window procedure
  bool surfaceDirty = false;   // layer-drawn top-level: repaint its surface
  std::vector<HWND> children;  // z-order, top first (creation order)
  HWND lastFocus = nullptr;    // dialogs: the control that had the focus
  std::shared_ptr<void> control;  // per-control state (buttons, trackbars)
};

// The handle table. Lookups return null for null, unknown and destroyed handles.
Window *findWindow(HWND handle);
// As findWindow, but reports a bad handle on stderr for `function`.
Window *checkWindow(HWND handle, const char *function);
// Every live window in creation order.
std::vector<HWND> allWindows();

// The window's top-level ancestor (itself for a top-level window).
Window *topLevelOf(Window *window);
bool isChild(const Window &window);
bool isDescendant(HWND ancestor, HWND window);

// Registers a class implemented by the layer (Button, Static, the dialog class,
// comctl32's trackbar). Registering the same name again returns the existing atom.
// A nonzero `atom` fixes the class atom (the dialog class is 0x8002).
ATOM registerSystemClass(const WNDCLASSEXW &info, const ControlOps &ops, ATOM atom);
WindowClass *findClass(LPCWSTR name, HINSTANCE instance);

// The fixed frame of a top-level window: distances from the outer edge to the
// client area (left, top, right, bottom).
//   WS_THICKFRAME 4 px a side, else WS_CAPTION / WS_DLGFRAME / DS_MODALFRAME 3 px,
//   else WS_BORDER 1 px; WS_CAPTION adds a 19 px caption bar at the top;
//   WS_EX_CLIENTEDGE adds 2 px a side.
RECT frameInsets(DWORD style, DWORD exStyle);
// Client rectangle size (width, height) of a window.
SIZE clientSize(const Window &window);
// Client origin of a window in screen coordinates.
POINT clientOriginOnScreen(const Window &window);
// Position of a child's outer top-left corner inside its top-level window's client area.
POINT offsetInTopLevel(const Window &window);

// Marks a layer-drawn window (or the top-level window that holds a control) for
// repainting at the next pump of the queue.
void invalidate(HWND window);
// Repaints every dirty layer-drawn top-level window now.
void paintDirtyWindows();
// The ARGB8888 canvas a layer-drawn top-level window was last painted into
// (null before its first paint).
SDL_Surface *windowCanvas(HWND window);

// Ensures SDL's video subsystem is up; false (with a diagnostic) if it cannot be.
bool ensureVideo(const char *function);

// Finds the deepest enabled, visible child of `top` under a client point that does
// not pass clicks through; `top` itself when none. The point is changed to the
// found window's client coordinates.
HWND childFromPoint(HWND top, POINT &point);

// Public calls that may run window procedures hold a CallScope; destroyed window
// records are freed only when the outermost one ends, so no record a caller
// still holds goes away under it.
void enterCall();
void leaveCall();
struct CallScope {
  CallScope() { enterCall(); }
  ~CallScope() { leaveCall(); }
  CallScope(const CallScope &) = delete;
  CallScope &operator=(const CallScope &) = delete;
};

// The host gave the keyboard to a top-level window (the user or the window
// manager chose it): the Win32 focus moves into it, unless this is the late echo
// of an earlier change the layer asked for.
void hostFocusGained(HWND top);

// Sends a message through the window's procedure (no checks beyond the handle).
LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Adds a message at the end of the posted queue.
void postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops every queued message for a window that is going away.
void dropMessagesFor(HWND window);

// ---- Drawing (layer-drawn dialogs and controls) ----------------------------

struct Color {
  unsigned char r, g, b;
};

namespace colors {
constexpr Color face{245, 245, 245};
constexpr Color text{0, 0, 0};
constexpr Color grayText{109, 109, 109};
constexpr Color frame{174, 174, 174};
constexpr Color border{112, 112, 112};
constexpr Color light{255, 255, 255};
constexpr Color accent{0, 120, 215};
constexpr Color channel{231, 234, 234};
constexpr Color channelEdge{214, 214, 214};
}  // namespace colors

void fillRect(SDL_Surface *surface, int x, int y, int w, int h, Color color);
void frameRect(SDL_Surface *surface, int x, int y, int w, int h, Color color);
void fillCircle(SDL_Surface *surface, double cx, double cy, double radius, Color color);
void ringCircle(SDL_Surface *surface, double cx, double cy, double radius, double width, Color color);
void fillPolygon(SDL_Surface *surface, const std::vector<std::pair<double, double>> &points, Color color);
void strokePolygon(SDL_Surface *surface, const std::vector<std::pair<double, double>> &points, Color color);

// The dialog font (DejaVu Sans standing in for "MS Shell Dlg") at a size in half
// points, 96 DPI. Null, with one diagnostic, when the font cannot be opened.
struct Font;
Font *dialogFontHalfPoints(int halfPoints);
int fontHeight(Font *font);       // ascent + descent, pixels
int fontAscent(Font *font);
int textWidth(Font *font, const std::wstring &text);
// Draws one line with its top at y. Returns the width drawn.
int drawText(SDL_Surface *surface, Font *font, const std::wstring &text, int x, int y, Color color);
// Draws text wrapped at word boundaries inside a box, clipped to it.
void drawWrappedText(SDL_Surface *surface, Font *font, const std::wstring &text, int x, int y, int w, int h,
                     Color color);
// Dialog base units of a font: average character width of A-Z a-z (rounded as
// the dialog manager does) and the font height.
SIZE dialogBaseUnits(Font *font);

// The font a control draws with: its dialog's font, or the stand-in for 8 pt.
Font *fontFor(const Window &window);
void setFontFor(HWND window, Font *font);

// ---- Controls of user32 ---------------------------------------------------

void registerUser32Classes();
void registerDialogClass();

}  // namespace glintwork
