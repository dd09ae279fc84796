// What the layer's windows are underneath and the message sequences it produces
// from SDL input, offscreen: top-level windows are hidden GL-capable SDL windows
// sized to the client area, and the message sequences of creation, showing,
// keys and closing are those a Win32 program relies on. Also what the layer
// fixes where Windows leaves it open: null records that Windows would crash on
// are refused, the counter runs at 10 MHz, the program is the only module.
#include <gtest/gtest.h>

#include <windows.h>

#include "message_log.h"
#include "sdl_input.h"
#include "window_fixture.h"

namespace {

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

// Where Windows would crash (a null class record or message record, a window
// whose class has no procedure to send WM_NCCREATE to), the layer refuses.
TEST_F(WindowTest, NullRecordsAndAClassWithoutAProcedureAreRefusedWithoutCrashing) {
  EXPECT_EQ(RegisterClassExW(nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HWND h = createMain();
  ASSERT_TRUE(PostMessageW(h, WM_USER, 0, 0));
  EXPECT_FALSE(PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE)) << "no record to fill";
  DestroyWindow(h);
  drainQuit();

  WNDCLASSEXW noProc{};
  noProc.cbSize = sizeof noProc;
  noProc.lpszClassName = L"layerNoProcClass";
  ASSERT_NE(RegisterClassExW(&noProc), 0);
  SetLastError(0);
  EXPECT_EQ(CreateWindowExW(0, L"layerNoProcClass", L"", kMainStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(UnregisterClassW(L"layerNoProcClass", nullptr)) << "no window of it is left behind";
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

TEST_F(WindowTest, MoveWindowSizesTheDrawableToTheClientInsideTheLayersFrame) {
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

// The layer has one module, the program; Windows would also name its DLLs.
TEST(ModuleHandle, IsTheProgramsOwnOnly) {
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"user32.dll"), nullptr);
}

// The counter's fixed 100 ns unit; the null pointers Windows would write through
// fail instead.
TEST(PerformanceCounter, RunsAtTenMillionCountsASecond) {
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
