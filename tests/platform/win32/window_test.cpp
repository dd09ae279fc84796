// Windows, classes and the message queue of the layer, offscreen: types keep their
// Windows sizes, classes refuse duplicates, windows are hidden GL-capable SDL
// windows sized to the client area, and the message sequences of creation,
// showing, keys and closing are those a Win32 program relies on.
#include <gtest/gtest.h>

#include <windows.h>

#include "message_log.h"

namespace {

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

  HWND createMain() {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"logClass", L"Main", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                             640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
};

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
  EXPECT_EQ(GWL_USERDATA, GWLP_USERDATA);
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

TEST_F(WindowTest, TopLevelWindowIsAHiddenGlWindowSizedToItsClientArea) {
  HWND h = createMain();
  SDL_Window *sdl = glintworkWindowDrawable(h);
  ASSERT_NE(sdl, nullptr);
  Uint32 flags = SDL_GetWindowFlags(sdl);
  EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
  EXPECT_TRUE(flags & SDL_WINDOW_HIDDEN);

  RECT outer{}, client{};
  ASSERT_TRUE(GetWindowRect(h, &outer));
  ASSERT_TRUE(GetClientRect(h, &client));
  EXPECT_EQ(outer.right - outer.left, 640);
  EXPECT_EQ(outer.bottom - outer.top, 480);
  // Thick frame 4 px, caption 19 px, client edge 2 px.
  EXPECT_EQ(client.right, 640 - 2 * 4 - 2 * 2);
  EXPECT_EQ(client.bottom, 480 - 19 - 2 * 4 - 2 * 2);
  int w = 0, hgt = 0;
  SDL_GetWindowSize(sdl, &w, &hgt);
  EXPECT_EQ(w, client.right);
  EXPECT_EQ(hgt, client.bottom);

  RECT adjusted{0, 0, client.right, client.bottom};
  ASSERT_TRUE(AdjustWindowRectEx(&adjusted, kMainStyle, FALSE, WS_EX_CLIENTEDGE));
  EXPECT_EQ(adjusted.right - adjusted.left, 640);
  EXPECT_EQ(adjusted.bottom - adjusted.top, 480);

  EXPECT_EQ(glintworkWindowDrawable(nullptr), nullptr);
  DestroyWindow(h);
  EXPECT_EQ(glintworkWindowDrawable(h), nullptr) << "the handle dies with the window";
}

TEST_F(WindowTest, CreateAndShowSendTheirMessagesInOrder) {
  HWND h = createMain();
  EXPECT_EQ(loggedMessages(h), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  auto *size = findLogged(WM_SIZE, h);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->lParam, MAKELPARAM(628, 449)) << "the client size";
  messageLog().clear();

  EXPECT_FALSE(ShowWindow(h, SW_SHOWDEFAULT)) << "was hidden";
  EXPECT_EQ(loggedMessages(h), (std::vector<UINT>{WM_SHOWWINDOW, WM_SETFOCUS}));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetFocus(), h);
  EXPECT_FALSE(SDL_GetWindowFlags(glintworkWindowDrawable(h)) & SDL_WINDOW_HIDDEN);
  messageLog().clear();

  EXPECT_TRUE(UpdateWindow(h));
  EXPECT_EQ(loggedMessages(h), (std::vector<UINT>{WM_PAINT}));
  messageLog().clear();
  EXPECT_TRUE(UpdateWindow(h));
  EXPECT_TRUE(loggedMessages(h).empty()) << "painted once, nothing left to paint";
  EXPECT_TRUE(ShowWindow(h, SW_SHOW)) << "was visible";
  DestroyWindow(h);
}

TEST_F(WindowTest, CloseLeadsToDestroyAndQuitFromPeekMessage) {
  struct Closer {
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      messageLog().push_back({hwnd, message, wParam, lParam});
      if (message == WM_DESTROY) {
        PostQuitMessage(7);
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  };
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Closer::proc;
  wc.lpszClassName = L"closerClass";
  static ATOM atom = RegisterClassExW(&wc);
  ASSERT_NE(atom, 0);
  HWND h = CreateWindowExW(0, L"closerClass", L"", kMainStyle, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  ShowWindow(h, SW_SHOW);
  messageLog().clear();

  // The close box: SDL's close request for the window.
  pushWindowEvent(sdlWindowId(glintworkWindowDrawable(h)), SDL_WINDOWEVENT_CLOSE);
  MSG msg{};
  std::vector<UINT> seen;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    seen.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
    DispatchMessageW(&msg);
  }
  EXPECT_EQ(loggedMessages(h), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "the quit message is removed once";
}

TEST_F(WindowTest, AltF4ClosesTheWindow) {
  HWND h = createMain();
  ShowWindow(h, SW_SHOW);
  messageLog().clear();
  Uint32 id = sdlWindowId(glintworkWindowDrawable(h));
  pushKey(id, SDL_SCANCODE_F4, true, false, KMOD_LALT);
  pumpAll();
  EXPECT_FALSE(IsWindow(h));
  auto *sys = findLogged(WM_SYSKEYDOWN, h);
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(sys->wParam, static_cast<WPARAM>(VK_F4));
  EXPECT_TRUE(sys->lParam & (1 << 29)) << "context code: Alt is down";
  EXPECT_NE(findLogged(WM_CLOSE, h), nullptr);
  EXPECT_NE(findLogged(WM_DESTROY, h), nullptr);
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
  EXPECT_EQ(GetWindowLongW(h, GWL_USERDATA), static_cast<LONG>(0x5678abcd));
  EXPECT_EQ(SetWindowLongW(h, GWL_USERDATA, -2), static_cast<LONG>(0x5678abcd));
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), -2) << "sign-extended";
  EXPECT_EQ(GetWindowLongPtrW(h, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
  EXPECT_EQ(GetWindowLongPtrW(h, 1000), 0) << "no extra bytes";
  DestroyWindow(h);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0) << "dead handle";
}

TEST_F(WindowTest, KeysArriveAtTheFocusWithRealCodesAndLparamBits) {
  HWND h = createMain();
  ShowWindow(h, SW_SHOW);
  pumpAll();
  messageLog().clear();
  Uint32 id = sdlWindowId(glintworkWindowDrawable(h));

  struct Case {
    const char *context;
    SDL_Scancode scancode;
    WPARAM vk;
    LPARAM scanBits;  // scan code and extended bit
  } cases[] = {
      {"top-row 1", SDL_SCANCODE_1, '1', 0x02 << 16},
      {"top-row 8", SDL_SCANCODE_8, '8', 0x09 << 16},
      {"top-row 0", SDL_SCANCODE_0, '0', 0x0B << 16},
      {"keypad 1", SDL_SCANCODE_KP_1, VK_NUMPAD1, 0x4F << 16},
      {"keypad 0", SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52 << 16},
      {"letter A", SDL_SCANCODE_A, 'A', 0x1E << 16},
      {"left arrow", SDL_SCANCODE_LEFT, VK_LEFT, (0x4B << 16) | (1 << 24)},
      {"page down", SDL_SCANCODE_PAGEDOWN, VK_NEXT, (0x51 << 16) | (1 << 24)},
      {"home", SDL_SCANCODE_HOME, VK_HOME, (0x47 << 16) | (1 << 24)},
      {"end", SDL_SCANCODE_END, VK_END, (0x4F << 16) | (1 << 24)},
      {"tab", SDL_SCANCODE_TAB, VK_TAB, 0x0F << 16},
      {"escape", SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01 << 16},
  };
  for (const Case &c : cases) {
    messageLog().clear();
    pushKey(id, c.scancode, true);
    pushKey(id, c.scancode, true, true);
    pushKey(id, c.scancode, false);
    pumpAll();
    std::vector<LoggedMessage> keys;
    for (auto &m : messageLog())
      if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) keys.push_back(m);
    ASSERT_EQ(keys.size(), 3u) << c.context;
    for (auto &k : keys) {
      EXPECT_EQ(k.hwnd, h) << c.context;
      EXPECT_EQ(k.wParam, c.vk) << c.context;
      EXPECT_EQ(k.lParam & 0x01FFFFFF, c.scanBits | 1) << c.context << ": repeat count 1, scan code";
    }
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].lParam & (3L << 30), 0) << c.context << ": first press";
    EXPECT_EQ(keys[1].lParam & (3L << 30), 1L << 30) << c.context << ": auto-repeat has the previous-state bit";
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(keys[2].lParam) >> 30, 3u) << c.context << ": release sets bits 30 and 31";
  }
  DestroyWindow(h);
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

TEST_F(WindowTest, DestroyingTheOwnerDestroysOwnedWindowsFirst) {
  HWND owner = createMain();
  HWND owned = CreateWindowExW(0, L"logClass", L"tool", WS_POPUP | WS_CAPTION, 0, 0, 100, 100, owner, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  HWND child = CreateWindowExW(0, L"logClass", L"", WS_CHILD | WS_VISIBLE, 1, 2, 30, 40, owner, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(owned), owner);
  EXPECT_EQ(GetParent(child), owner);
  EXPECT_EQ(glintworkWindowDrawable(child), nullptr) << "child windows have no GL drawable";
  messageLog().clear();
  ASSERT_TRUE(DestroyWindow(owner));
  std::vector<std::pair<HWND, UINT>> seen;
  for (auto &m : messageLog()) seen.push_back({m.hwnd, m.message});
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{owned, WM_DESTROY},
                                                      {owned, WM_NCDESTROY},
                                                      {owner, WM_DESTROY},
                                                      {child, WM_DESTROY},
                                                      {child, WM_NCDESTROY},
                                                      {owner, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_FALSE(IsWindow(child));
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

TEST_F(WindowTest, AProcedureThatDestroysItsWindowInsideAMessageLeavesNoDanglingState) {
  struct SelfDestroyer {
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      messageLog().push_back({hwnd, message, wParam, lParam});
      if (message == WM_USER) {
        DestroyWindow(hwnd);
        DestroyWindow(hwnd);  // a second call on the dying window is harmless
        return 1;
      }
      if (message == WM_KEYDOWN) DestroyWindow(hwnd);
      if (message == WM_CREATE && reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams) {
        DestroyWindow(hwnd);
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  };
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = SelfDestroyer::proc;
  wc.lpszClassName = L"selfDestroyer";
  static ATOM atom = RegisterClassExW(&wc);
  ASSERT_NE(atom, 0);

  HWND h = CreateWindowExW(0, L"selfDestroyer", L"", kMainStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(SendMessageW(h, WM_USER, 0, 0), 1);
  EXPECT_FALSE(IsWindow(h));

  // Destroyed inside its own WM_CREATE: creation fails cleanly.
  int flag = 1;
  EXPECT_EQ(CreateWindowExW(0, L"selfDestroyer", L"", kMainStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr, &flag),
            nullptr);

  // Destroyed while handling a key, with more of its input still queued.
  HWND k = CreateWindowExW(0, L"selfDestroyer", L"", kMainStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(k, nullptr);
  ShowWindow(k, SW_SHOW);
  Uint32 id = sdlWindowId(glintworkWindowDrawable(k));
  pushKey(id, SDL_SCANCODE_A, true);
  pushKey(id, SDL_SCANCODE_A, false);
  pushKey(id, SDL_SCANCODE_B, true);
  pumpAll();
  EXPECT_FALSE(IsWindow(k));
  EXPECT_EQ(GetFocus(), nullptr);
  MSG msg{};
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "its queued messages went with it";
}

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
  auto *size = findLogged(WM_SIZE, h);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(LOWORD(size->lParam), 300 - 12);
  EXPECT_EQ(HIWORD(size->lParam), 200 - 31);
  int w = 0, hgt = 0;
  SDL_GetWindowSize(glintworkWindowDrawable(h), &w, &hgt);
  EXPECT_EQ(w, 300 - 12);
  EXPECT_EQ(hgt, 200 - 31);
  DestroyWindow(h);
}

TEST(PerformanceCounter, RunsForwardAtItsFixedFrequency) {
  LARGE_INTEGER f{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_EQ(f.QuadPart, 10000000);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  SDL_Delay(20);
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart - a.QuadPart, 150000) << "20 ms is 200,000 counts";
  EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(ModuleHandle, IsTheProgramsOwnOnly) {
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
  EXPECT_EQ(GetModuleHandleW(L"user32.dll"), nullptr);
}

}  // namespace
