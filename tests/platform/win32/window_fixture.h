// The fixture of the window tests: a class whose procedure logs every message; the
// windows a test leaves (an assertion may stop it early) are destroyed after it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "message_log.h"

constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drainQuit();
    messageLog().clear();
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = loggingWindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = L"logClass";
      ASSERT_NE(RegisterClassExW(&wc), 0);
      registered = true;
    }
  }

  void TearDown() override {
    for (auto it = loggedWindows().rbegin(); it != loggedWindows().rend(); ++it)
      if (IsWindow(*it)) DestroyWindow(*it);
    loggedWindows().clear();
    pumpAll();
    drainQuit();
  }

  HWND createMain() {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"logClass", L"Main", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                             640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
};

