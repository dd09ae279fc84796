// A window procedure that records what it receives, in the manner of Wine's
// message-sequence tests, plus helpers to drive input through SDL's event queue.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "window_host.h"

struct LoggedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<LoggedMessage> &messageLog() {
  static std::vector<LoggedMessage> log;
  return log;
}

// The messages of the log (optionally of one window) as their numbers, in order.
inline std::vector<UINT> loggedMessages(HWND only = nullptr) {
  std::vector<UINT> out;
  for (auto &m : messageLog())
    if (!only || m.hwnd == only) out.push_back(m.message);
  return out;
}

inline const LoggedMessage *findLogged(UINT message, HWND hwnd = nullptr) {
  for (auto &m : messageLog())
    if (m.message == message && (!hwnd || m.hwnd == hwnd)) return &m;
  return nullptr;
}

inline LRESULT CALLBACK loggingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  messageLog().push_back({hwnd, message, wParam, lParam});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Removes and dispatches every queued message (WM_QUIT stays for the caller).
inline int pumpAll() {
  MSG msg{};
  int n = 0;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++n;
  }
  return n;
}

inline Uint32 sdlWindowId(SDL_Window *window) { return window ? SDL_GetWindowID(window) : 0; }

inline void pushKey(Uint32 windowId, SDL_Scancode scancode, bool down, bool repeat = false, Uint16 mod = 0) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = windowId;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
}

inline void pushMouseButton(Uint32 windowId, int x, int y, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = windowId;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  SDL_PushEvent(&e);
}

inline void pushMouseMotion(Uint32 windowId, int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = windowId;
  e.motion.state = SDL_BUTTON_LMASK;
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

inline void pushWindowEvent(Uint32 windowId, SDL_WindowEventID event) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = windowId;
  e.window.event = static_cast<Uint8>(event);
  SDL_PushEvent(&e);
}

// Removes any WM_QUIT left by a previous test.
inline void drainQuit() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}
