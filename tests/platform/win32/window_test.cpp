// Windows, classes and the message queue through the public Win32 API alone, as a
// program sees them on Windows and on the layer: types keep their Windows sizes,
// classes refuse duplicates, messages peeked without removal stay queued, window
// data round-trips, bad handles fail quietly, the performance counter and module
// handle behave. What only the layer does (SDL underneath, its input) is in
// window_layer_test.cpp. Not yet in the Windows build (tests/wine): under Wine,
// RegisterClassExW takes a class with no procedure, and a later case crashes.
#include <gtest/gtest.h>

#include <windows.h>

#include "message_log.h"
#include "window_fixture.h"

namespace {

TEST(Win32Types, KeepTheirWindowsSizesOnThisHost) {
  EXPECT_EQ(sizeof(LONG), 4u);
  EXPECT_EQ(sizeof(DWORD), 4u);
  EXPECT_EQ(sizeof(UINT), 4u);
  EXPECT_EQ(sizeof(WORD), 2u);
  EXPECT_EQ(sizeof(LONG_PTR), sizeof(void *));
  EXPECT_EQ(sizeof(WPARAM), sizeof(void *));
  EXPECT_EQ(sizeof(LPARAM), sizeof(void *));
  EXPECT_EQ(sizeof(LRESULT), sizeof(void *));
  EXPECT_EQ(sizeof(HWND), sizeof(void *));
  EXPECT_EQ(sizeof(WCHAR), sizeof(wchar_t));
  EXPECT_EQ(sizeof(LARGE_INTEGER), 8u);
  // 48 on 32-bit Windows; 80 with 8-byte pointers.
  EXPECT_EQ(sizeof(WNDCLASSEXW), sizeof(void *) == 8 ? 80u : 48u);
  EXPECT_EQ(sizeof(MSG), sizeof(void *) == 8 ? 48u : 28u);
}

TEST(Win32Macros, PackAndUnpackWords) {
  EXPECT_EQ(MAKELONG(1, 100), 0x00640001);
  EXPECT_EQ(LOWORD(0x12345678), 0x5678);
  EXPECT_EQ(HIWORD(0x12345678), 0x1234);
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(MAKEINTRESOURCEW(101)), 101u);
  EXPECT_TRUE(IS_INTRESOURCE(MAKEINTRESOURCEW(101)));
  EXPECT_EQ(CW_USEDEFAULT, static_cast<int>(0x80000000));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(IDI_APPLICATION), 32512u);
}

TEST_F(WindowTest, RegisterClassRefusesDuplicatesAndMalformedClasses) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = loggingWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LOGCLASS";  // names compare without case
  EXPECT_EQ(RegisterClassExW(&wc), 0) << "duplicate";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  struct Case {
    const char *context;
    UINT cbSize;
    WNDPROC proc;
    LPCWSTR name;
  } cases[] = {
      {"cbSize of the 32-bit struct", 48, loggingWindowProc, L"c1"},
      {"no window procedure", sizeof(WNDCLASSEXW), nullptr, L"c2"},
      {"no class name", sizeof(WNDCLASSEXW), loggingWindowProc, nullptr},
      {"empty class name", sizeof(WNDCLASSEXW), loggingWindowProc, L""},
  };
  for (const Case &c : cases) {
    WNDCLASSEXW bad{};
    bad.cbSize = c.cbSize;
    bad.lpfnWndProc = c.proc;
    bad.lpszClassName = c.name;
    EXPECT_EQ(RegisterClassExW(&bad), 0) << c.context;
  }
  EXPECT_EQ(RegisterClassExW(nullptr), 0);
}

TEST_F(WindowTest, CreationRefusesUnknownClassesAndOrphanChildren) {
  EXPECT_EQ(CreateWindowExW(0, L"noSuchClass", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_EQ(CreateWindowExW(0, L"logClass", L"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  HWND stale = createMain();
  ASSERT_TRUE(DestroyWindow(stale));
  EXPECT_EQ(CreateWindowExW(0, L"logClass", L"", WS_CHILD, 0, 0, 10, 10, stale, nullptr, nullptr, nullptr),
            nullptr);
}

TEST_F(WindowTest, PeekWithNoRemoveLeavesTheMessageQueued) {
  HWND h = createMain();
  ASSERT_TRUE(PostMessageW(h, WM_USER + 5, 11, 22));
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(msg.hwnd, h);
  MSG again{};
  ASSERT_TRUE(PeekMessageW(&again, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(again.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(again.wParam, 11u);
  EXPECT_EQ(again.lParam, 22);
  EXPECT_FALSE(PeekMessageW(&again, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));

  PostQuitMessage(3);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "still there after PM_NOREMOVE";
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  DestroyWindow(h);
}

TEST_F(WindowTest, UserDataRoundTripsAFull64BitPointer) {
  HWND h = createMain();
  const LONG_PTR wide = static_cast<LONG_PTR>(0x7ffd12345678abcdLL);
  EXPECT_EQ(SetWindowLongPtrW(h, GWLP_USERDATA, wide), 0);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), wide);
  // The 32-bit form sees the low half, as on 64-bit Windows.
  EXPECT_EQ(GetWindowLongW(h, GWLP_USERDATA), static_cast<LONG>(0x5678abcd));
  EXPECT_EQ(SetWindowLongW(h, GWLP_USERDATA, -2), static_cast<LONG>(0x5678abcd));
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), -2) << "sign-extended";
  EXPECT_EQ(GetWindowLongPtrW(h, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
  EXPECT_EQ(GetWindowLongPtrW(h, 1000), 0) << "no extra bytes";
  DestroyWindow(h);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0) << "dead handle";
}

TEST_F(WindowTest, FocusChangesSendKillFocusThenSetFocus) {
  HWND a = createMain();
  HWND b = createMain();
  SetFocus(a);
  messageLog().clear();
  HWND previous = SetFocus(b);
  EXPECT_EQ(previous, a);
  ASSERT_EQ(messageLog().size(), 2u);
  EXPECT_EQ(messageLog()[0].hwnd, a);
  EXPECT_EQ(messageLog()[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(messageLog()[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(messageLog()[1].hwnd, b);
  EXPECT_EQ(messageLog()[1].message, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(messageLog()[1].wParam, reinterpret_cast<WPARAM>(a));
  EXPECT_EQ(GetFocus(), b);
  DestroyWindow(b);
  EXPECT_EQ(GetFocus(), nullptr) << "the focus dies with its window";
  DestroyWindow(a);
}

TEST_F(WindowTest, BadHandlesFailWithoutCrashing) {
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xdead0));
  RECT r{};
  struct Case {
    const char *context;
    bool failed;
  } cases[] = {
      {"DestroyWindow null", !DestroyWindow(nullptr)},
      {"DestroyWindow unknown", !DestroyWindow(bogus)},
      {"ShowWindow unknown", !ShowWindow(bogus, SW_SHOW)},
      {"GetWindowRect unknown", !GetWindowRect(bogus, &r)},
      {"MoveWindow null", !MoveWindow(nullptr, 0, 0, 1, 1, TRUE)},
      {"SendMessageW null", SendMessageW(nullptr, WM_USER, 0, 0) == 0},
      {"PostMessageW unknown", !PostMessageW(bogus, WM_USER, 0, 0)},
      {"SetFocus unknown", SetFocus(bogus) == nullptr},
      {"SetWindowLongPtrW unknown", SetWindowLongPtrW(bogus, GWLP_USERDATA, 1) == 0},
      {"UpdateWindow unknown", !UpdateWindow(bogus)},
      {"PeekMessageW null record", !PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE)},
  };
  for (const Case &c : cases) EXPECT_TRUE(c.failed) << c.context;
  MSG stale{};
  stale.hwnd = bogus;
  stale.message = WM_USER;
  EXPECT_EQ(DispatchMessageW(&stale), 0);
}

TEST(ModuleHandle, IsTheProgramsOwnOnly) {
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
  EXPECT_EQ(GetModuleHandleW(L"user32.dll"), nullptr);
}

TEST(PerformanceCounter, RunsForwardAtItsFixedFrequency) {
  LARGE_INTEGER f{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_EQ(f.QuadPart, 10000000);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  Sleep(20);
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart - a.QuadPart, 150000) << "20 ms is 200,000 counts";
  EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

}  // namespace
