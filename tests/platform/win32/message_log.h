// A window procedure that records what it receives, so tests can compare message
// sequences (public Win32 API only; SDL input is in sdl_input.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// Every window the logging procedure has seen created, so a fixture can destroy
// what a test left behind when it stopped early.
inline std::vector<HWND> &loggedWindows() {
  static std::vector<HWND> windows;
  return windows;
}

inline LRESULT CALLBACK loggingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) loggedWindows().push_back(hwnd);
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

// Removes any WM_QUIT left by a previous test.
inline void drainQuit() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}
