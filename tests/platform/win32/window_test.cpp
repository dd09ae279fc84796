// Windows, classes and the message queue through the public Win32 API alone, as a
// program sees them on Windows and on the layer: types keep their Windows sizes,
// classes refuse duplicates, messages peeked without removal stay queued, window
// data round-trips, focus moves with KILLFOCUS then SETFOCUS, owners take their
// owned windows with them, bad handles fail quietly, the performance counter and
// module handle behave. What only the layer does (SDL underneath, its input) is in
// window_layer_test.cpp, and so are the null pointers Windows itself would crash
// on. Built for Windows too and run under Wine (tests/wine).
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>
#include <vector>

#include "host_platform.h"
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

  // Windows takes a class without a procedure; only its windows cannot work.
  WNDCLASSEXW noProc{};
  noProc.cbSize = sizeof noProc;
  noProc.hInstance = GetModuleHandleW(nullptr);
  noProc.lpszClassName = L"noProcClass";
  ATOM atom = RegisterClassExW(&noProc);
  EXPECT_NE(atom, 0) << "no window procedure";
  EXPECT_TRUE(UnregisterClassW(MAKEINTATOM(atom), GetModuleHandleW(nullptr)));
}

TEST_F(WindowTest, UnregisterClassNeedsAKnownClassWithoutWindows) {
  HMODULE module = GetModuleHandleW(nullptr);
  WineShortfalls wine;
  if (wine.check("UnregisterClassW reports success for a class it does not know")) {
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(L"noSuchClass", module));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
  }

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = loggingWindowProc;
  wc.hInstance = module;
  wc.lpszClassName = L"shortLived";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  HWND h = CreateWindowExW(0, L"shortLived", L"", kMainStyle, 0, 0, 100, 100, nullptr, nullptr, module, nullptr);
  ASSERT_NE(h, nullptr);
  SetLastError(0);
  EXPECT_FALSE(UnregisterClassW(L"shortLived", module)) << "a window of it is alive";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassW(L"SHORTLIVED", module)) << "names compare without case";
  if (!test_host::underWine()) {  // the shortfall noted above
    EXPECT_FALSE(UnregisterClassW(L"shortLived", module)) << "already gone";
  }
  SKIP_WINE_SHORTFALLS(wine);
}

TEST_F(WindowTest, CreationRefusesUnknownClassesAndOrphanChildren) {
  WineShortfalls wine;
  EXPECT_EQ(CreateWindowExW(0, L"noSuchClass", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  if (wine.check("CreateWindowExW of an unregistered class sets ERROR_CLASS_DOES_NOT_EXIST (1411), where Windows "
                 "sets ERROR_CANNOT_FIND_WND_CLASS (1407)")) {
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  }
  EXPECT_EQ(CreateWindowExW(0, L"logClass", L"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  HWND stale = createMain();
  ASSERT_TRUE(DestroyWindow(stale));
  EXPECT_EQ(CreateWindowExW(0, L"logClass", L"", WS_CHILD, 0, 0, 10, 10, stale, nullptr, nullptr, nullptr),
            nullptr);
  SKIP_WINE_SHORTFALLS(wine);
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

// Between two children of one window, so that no activation comes into it.
TEST_F(WindowTest, FocusChangesSendKillFocusThenSetFocus) {
  HWND main = createMain();
  ShowWindow(main, SW_SHOW);
  HWND a = CreateWindowExW(0, L"logClass", L"a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, main, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExW(0, L"logClass", L"b", WS_CHILD | WS_VISIBLE, 60, 0, 50, 50, main, nullptr, nullptr, nullptr);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  SetFocus(a);
  ASSERT_EQ(GetFocus(), a);
  messageLog().clear();
  HWND previous = SetFocus(b);
  EXPECT_EQ(previous, a);
  // Windows with an input method also sends WM_IME_SETCONTEXT to both.
  std::vector<LoggedMessage> focus;
  for (const LoggedMessage &m : messageLog())
    if (m.message == WM_KILLFOCUS || m.message == WM_SETFOCUS) focus.push_back(m);
  ASSERT_EQ(focus.size(), 2u) << testing::PrintToString(loggedMessages());
  EXPECT_EQ(focus[0].hwnd, a);
  EXPECT_EQ(focus[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(focus[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(focus[1].hwnd, b);
  EXPECT_EQ(focus[1].message, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(focus[1].wParam, reinterpret_cast<WPARAM>(a));
  EXPECT_EQ(GetFocus(), b);
  DestroyWindow(b);
  EXPECT_NE(GetFocus(), b) << "the focus dies with its window";
  DestroyWindow(main);
  EXPECT_FALSE(IsWindow(a)) << "children die with their parent";
}

// Owned windows go before their owner; children hear WM_DESTROY after their
// parent and WM_NCDESTROY before it. (Activation messages may come between.)
TEST_F(WindowTest, DestroyingTheOwnerTakesOwnedAndChildWindowsInOrder) {
  HWND owner = createMain();
  HWND owned = CreateWindowExW(0, L"logClass", L"tool", WS_POPUP | WS_CAPTION, 0, 0, 100, 100, owner, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  HWND child = CreateWindowExW(0, L"logClass", L"", WS_CHILD | WS_VISIBLE, 1, 2, 30, 40, owner, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(child), owner);
  messageLog().clear();
  ASSERT_TRUE(DestroyWindow(owner));
  std::vector<std::pair<HWND, UINT>> seen;
  for (auto &m : messageLog())
    if (m.message == WM_DESTROY || m.message == WM_NCDESTROY) seen.push_back({m.hwnd, m.message});
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{owned, WM_DESTROY},
                                                      {owned, WM_NCDESTROY},
                                                      {owner, WM_DESTROY},
                                                      {child, WM_DESTROY},
                                                      {child, WM_NCDESTROY},
                                                      {owner, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_FALSE(IsWindow(child));
}

// The client area is the outer rectangle less the frame AdjustWindowRectEx names.
TEST_F(WindowTest, MoveWindowSetsTheOuterRectangleAndTheClientFollows) {
  HWND h = createMain();
  messageLog().clear();
  ASSERT_TRUE(MoveWindow(h, 100, 50, 300, 200, TRUE));
  RECT r{};
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right, 400);
  EXPECT_EQ(r.bottom, 250);
  RECT frame{0, 0, 0, 0};
  ASSERT_TRUE(AdjustWindowRectEx(&frame, kMainStyle, FALSE, WS_EX_CLIENTEDGE));
  const int clientW = 300 - (frame.right - frame.left), clientH = 200 - (frame.bottom - frame.top);
  RECT client{};
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, clientW);
  EXPECT_EQ(client.bottom, clientH);
  const LoggedMessage *size = nullptr;
  for (auto &m : messageLog())
    if (m.hwnd == h && m.message == WM_SIZE) size = &m;
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(LOWORD(size->lParam), clientW) << "the last WM_SIZE";
  EXPECT_EQ(HIWORD(size->lParam), clientH);
  DestroyWindow(h);
}

TEST_F(WindowTest, BadHandlesFailWithoutCrashing) {
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xdead0));
  RECT r{};
  struct Case {
    const char *context;
    bool failed;
    const char *wine;  // why Wine cannot be held to this row, if it cannot
  } cases[] = {
      {"DestroyWindow null", !DestroyWindow(nullptr), nullptr},
      {"DestroyWindow unknown", !DestroyWindow(bogus), nullptr},
      {"ShowWindow unknown", !ShowWindow(bogus, SW_SHOW), nullptr},
      {"GetWindowRect unknown", !GetWindowRect(bogus, &r), nullptr},
      {"MoveWindow null", !MoveWindow(nullptr, 0, 0, 1, 1, TRUE), nullptr},
      {"SendMessageW null", SendMessageW(nullptr, WM_USER, 0, 0) == 0, nullptr},
      {"PostMessageW unknown", !PostMessageW(bogus, WM_USER, 0, 0), nullptr},
      {"SetFocus unknown", SetFocus(bogus) == nullptr, nullptr},
      {"SetWindowLongPtrW unknown", SetWindowLongPtrW(bogus, GWLP_USERDATA, 1) == 0, nullptr},
      {"UpdateWindow unknown", !UpdateWindow(bogus), "UpdateWindow reports success for a handle of no window"},
  };
  WineShortfalls wine;
  for (const Case &c : cases) {
    if (wine.check(c.wine)) {
      EXPECT_TRUE(c.failed) << c.context;
    }
  }
  MSG stale{};
  stale.hwnd = bogus;
  stale.message = WM_USER;
  EXPECT_EQ(DispatchMessageW(&stale), 0);
  SKIP_WINE_SHORTFALLS(wine);
}

TEST(ModuleHandle, NamesTheProgramWithoutAName) {
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
  SetLastError(0);
  EXPECT_EQ(GetModuleHandleW(L"glintwork-no-such-module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(PerformanceCounter, RunsForwardAtItsFrequency) {
  LARGE_INTEGER f{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_GE(f.QuadPart, 1000000) << "finer than a microsecond on current systems";
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  Sleep(20);
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart - a.QuadPart, f.QuadPart * 15 / 1000) << "20 ms passed";
}

}  // namespace
