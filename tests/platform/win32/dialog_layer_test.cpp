// What only the layer's dialogs do, offscreen: the dialog font's fixed base units
// (6 x 12 px, so the panel lands on the reference drawing), clicks, drags, keys
// and the close box arriving as SDL events, the drawn panel read back from the
// window's canvas, templates registered at run time, and message boxes that
// leave their line on standard error. The public-API dialog tests, which also run
// on Windows, are in dialog_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "dialog_fixture.h"
#include "message_log.h"
#include "sdl_input.h"
#include "test_dialogs.h"
#include "user32_internal.h"

namespace {

Uint32 sdlIdOf(HWND topLevel) {
  glintwork::Window *w = glintwork::findWindow(topLevel);
  return w && w->sdl ? SDL_GetWindowID(w->sdl) : 0;
}

POINT centreOf(HWND dialog, HWND control) {
  RECT r = rectInDialog(dialog, control);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void clickAt(HWND dialog, POINT p) {
  pushMouseButton(sdlIdOf(dialog), p.x, p.y, true);
  pushMouseButton(sdlIdOf(dialog), p.x, p.y, false);
  pumpAll();
}

// Runs first (each test is its own process under CTest): nothing has registered
// the trackbar class yet. On Windows comctl32 registers its classes as it loads.
TEST(DialogWithoutCommonControls, FailsOnTheUnregisteredTrackbarClass) {
  HWND d = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PANEL), nullptr, loggingDialogProc, 0);
  EXPECT_EQ(d, nullptr);
  INITCOMMONCONTROLSEX bad{4, ICC_BAR_CLASSES};
  EXPECT_FALSE(InitCommonControlsEx(&bad));
  EXPECT_FALSE(InitCommonControlsEx(nullptr));
}

// 6 x 12 px dialog base units: x * 6 / 4, y * 12 / 8.
TEST_F(DialogTest, SmallTemplateLandsOnSixByTwelveBaseUnits) {
  HWND d = open(IDD_SMALL);
  ASSERT_NE(d, nullptr);
  RECT client{};
  GetClientRect(d, &client);
  EXPECT_EQ(client.right, 180);
  EXPECT_EQ(client.bottom, 120);
  struct Expected {
    int id;
    RECT rect;
  } expected[] = {
      {IDC_FIRST, {6, 9, 81, 24}},
      {IDC_SECOND, {6, 27, 81, 42}},
      {IDC_LABEL, {90, 9, 150, 39}},
      {IDC_SLIDER, {6, 60, 156, 83}},
  };
  for (const Expected &e : expected) {
    RECT r = rectInDialog(d, GetDlgItem(d, e.id));
    EXPECT_EQ(r.left, e.rect.left) << "control " << e.id;
    EXPECT_EQ(r.top, e.rect.top) << "control " << e.id;
    EXPECT_EQ(r.right, e.rect.right) << "control " << e.id;
    EXPECT_EQ(r.bottom, e.rect.bottom) << "control " << e.id;
  }
  RECT units{4, 8, 10, 16};
  ASSERT_TRUE(MapDialogRect(d, &units));
  EXPECT_EQ(units.left, 6);
  EXPECT_EQ(units.top, 12);
  EXPECT_EQ(units.right, 15);
  EXPECT_EQ(units.bottom, 24);
  EXPECT_FALSE(MapDialogRect(d, nullptr));
}

TEST_F(DialogTest, ClassicTemplateUsesTheSameUnits) {
  HWND d = open(IDD_CLASSIC);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(rectInDialog(d, GetDlgItem(d, IDC_FIRST)).left, 12);
}

TEST_F(DialogTest, PanelTemplateLandsOnTheReferenceGeometry) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  int count = 0;
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++count;
  EXPECT_EQ(count, 23);
  // The reference drawing puts the Red trackbar at client (80, 215)-(263, 238).
  RECT red = rectInDialog(d, GetDlgItem(d, IDC_RED));
  EXPECT_EQ(red.left, 80);
  EXPECT_EQ(red.top, 215);
  EXPECT_EQ(red.right, 263);
  EXPECT_EQ(red.bottom, 238);
  // Moved to 325 x 480 as the program does, the client is 319 x 455.
  ASSERT_TRUE(MoveWindow(d, 700, 0, 325, 480, TRUE));
  RECT client{};
  GetClientRect(d, &client);
  EXPECT_EQ(client.right, 319);
  EXPECT_EQ(client.bottom, 455);
}

TEST_F(DialogTest, RadioGroupsOfThePanelFollowMouseClicks) {
  HWND d = openPanelForRadioSteps();
  ASSERT_NE(d, nullptr);
  for (const RadioStep &s : panelRadioSteps()) {
    messageLog().clear();
    clickAt(d, centreOf(d, GetDlgItem(d, s.click)));
    expectRadioStep(d, s);
  }
}

TEST_F(DialogTest, TrackbarReportsMouseMovementWithItsWindowInLparam) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  HWND red = GetDlgItem(d, IDC_RED);
  SendMessageW(red, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
  pumpAll();
  RECT tr = rectInDialog(d, red);
  RECT thumb{};
  SendMessageW(red, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  RECT channel{};
  SendMessageW(red, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  Uint32 id = sdlIdOf(d);

  // Drag the thumb from its minimum to the middle of the channel.
  int y = tr.top + (thumb.top + thumb.bottom) / 2;
  int startX = tr.left + (thumb.left + thumb.right) / 2;
  int midX = tr.left + (channel.left + channel.right) / 2;
  messageLog().clear();
  pushMouseButton(id, startX, y, true);
  pushMouseMotion(id, (startX + midX) / 2, y);
  pushMouseMotion(id, midX, y);
  pushMouseButton(id, midX, y, false);
  pumpAll();
  EXPECT_EQ(GetFocus(), red) << "a click gives it the focus";
  auto drag = scrolls(d);
  ASSERT_GE(drag.size(), 4u);
  for (auto &m : drag) EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(red));
  for (size_t i = 0; i + 2 < drag.size(); ++i) EXPECT_EQ(LOWORD(drag[i].wParam), TB_THUMBTRACK);
  EXPECT_EQ(LOWORD(drag[drag.size() - 2].wParam), TB_THUMBPOSITION);
  EXPECT_EQ(LOWORD(drag.back().wParam), TB_ENDTRACK);
  LRESULT pos = SendMessageW(red, TBM_GETPOS, 0, 0);
  EXPECT_NEAR(pos, 50, 2);
  EXPECT_EQ(HIWORD(drag[drag.size() - 2].wParam), pos);

  // A click on the channel right of the thumb pages towards it: 99 / 5 = 19.
  messageLog().clear();
  clickAt(d, POINT{tr.left + channel.right - 2, y});
  auto page = scrolls(d);
  ASSERT_EQ(page.size(), 2u);
  EXPECT_EQ(LOWORD(page[0].wParam), TB_PAGEDOWN);
  EXPECT_EQ(LOWORD(page[1].wParam), TB_ENDTRACK);
  EXPECT_EQ(page[0].lParam, reinterpret_cast<LPARAM>(red));
  EXPECT_EQ(SendMessageW(red, TBM_GETPOS, 0, 0), pos + 19);
}

TEST_F(DialogTest, TrackbarWithTheFocusMovesWithItsKeys) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  HWND speed = GetDlgItem(d, IDC_SPEED);
  SendMessageW(speed, TBM_SETRANGE, FALSE, MAKELONG(1, 1000));
  SendMessageW(speed, TBM_SETPOS, FALSE, 500);
  SetFocus(speed);
  pumpAll();
  Uint32 id = sdlIdOf(d);
  struct Case {
    const char *context;
    SDL_Scancode key;
    WORD code;
    LRESULT pos;
  } cases[] = {
      {"right arrow", SDL_SCANCODE_RIGHT, TB_LINEDOWN, 501}, {"left arrow", SDL_SCANCODE_LEFT, TB_LINEUP, 500},
      {"up arrow", SDL_SCANCODE_UP, TB_LINEUP, 499},         {"down arrow", SDL_SCANCODE_DOWN, TB_LINEDOWN, 500},
      {"page down", SDL_SCANCODE_PAGEDOWN, TB_PAGEDOWN, 699}, {"page up", SDL_SCANCODE_PAGEUP, TB_PAGEUP, 500},
      {"end", SDL_SCANCODE_END, TB_BOTTOM, 1000},            {"home", SDL_SCANCODE_HOME, TB_TOP, 1},
  };
  for (const Case &c : cases) {
    messageLog().clear();
    pushKey(id, c.key, true);
    pushKey(id, c.key, false);
    pumpAll();
    auto s = scrolls(d);
    ASSERT_EQ(s.size(), 2u) << c.context;
    EXPECT_EQ(LOWORD(s[0].wParam), c.code) << c.context;
    EXPECT_EQ(s[0].lParam, reinterpret_cast<LPARAM>(speed)) << c.context;
    EXPECT_EQ(LOWORD(s[1].wParam), TB_ENDTRACK) << c.context;
    EXPECT_EQ(SendMessageW(speed, TBM_GETPOS, 0, 0), c.pos) << c.context;
  }
  // Digits go to the focused trackbar, not elsewhere, and move nothing.
  messageLog().clear();
  pushKey(id, SDL_SCANCODE_1, false);
  pumpAll();
  EXPECT_TRUE(scrolls(d).empty());
}

TEST_F(DialogTest, CloseBoxCancelsButDoesNotCloseTheDialog) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  messageLog().clear();
  pushWindowEvent(sdlIdOf(d), SDL_WINDOWEVENT_CLOSE);
  pumpAll();
  const LoggedMessage *command = findLogged(WM_COMMAND, d);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(LOWORD(command->wParam), IDCANCEL);
  EXPECT_TRUE(IsWindow(d));
}

TEST_F(DialogTest, TruncatedTemplateAndBadResourceDataAreRefused) {
  // A .res file with one RT_DIALOG 300 whose template stops after its header.
  static const unsigned char truncated[] = {
      0, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      // data size 8, header size 32, type 5, name 300
      8, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 5, 0, 0xFF, 0xFF, 0x2C, 0x01, 0, 0, 0, 0, 0x30, 0x10, 9, 4, 0, 0, 0, 0,
      0, 0, 0, 0,
      // DLGTEMPLATEEX header cut short: version 1, signature, help id
      1, 0, 0xFF, 0xFF, 0, 0, 0, 0};
  ASSERT_TRUE(glintworkRegisterResources(truncated, sizeof truncated));
  EXPECT_EQ(open(300), nullptr) << "truncated template";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));

  static const unsigned char notRes[] = {1, 2, 3, 4, 200, 0, 0, 0, 9, 9};
  EXPECT_FALSE(glintworkRegisterResources(notRes, sizeof notRes)) << "sizes past the end";
}

TEST_F(DialogTest, PanelIsDrawn) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  SendDlgItemMessageW(d, IDC_AMBIENT, BM_SETCHECK, BST_CHECKED, 0);
  ShowWindow(d, SW_SHOW);
  MoveWindow(d, 0, 0, 325, 480, TRUE);
  pumpAll();
  SDL_Surface *canvas = glintwork::windowCanvas(d);
  ASSERT_NE(canvas, nullptr);
  ASSERT_EQ(canvas->w, 319);
  ASSERT_EQ(canvas->h, 455);
  auto gray = [canvas](int x, int y) {
    Uint32 p = static_cast<Uint32 *>(canvas->pixels)[y * canvas->pitch / 4 + x];
    return static_cast<int>((p >> 8) & 0xFF);
  };
  EXPECT_EQ(gray(2, 2), 245) << "dialog face";
  // Group box "Transform settings": left edge at x = 23.
  EXPECT_LT(gray(23, 60), 200);
  // The checked Ambient radio: its dot near the right end of (30, 159)-(96, 174).
  int darkest = 255;
  for (int x = 80; x < 96; ++x) darkest = std::min(darkest, gray(x, 166));
  EXPECT_LT(darkest, 60);
  // Text of "Light rotation axis" in (33, 25)-(132, 43).
  int ink = 0;
  for (int y = 25; y < 43; ++y)
    for (int x = 33; x < 132; ++x) ink += gray(x, y) < 128;
  EXPECT_GT(ink, 40);
}

TEST_F(DialogTest, StaticTextWrapsInsideItsRectangle) {
  HWND d = open(IDD_SMALL);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  pumpAll();
  SDL_Surface *canvas = glintwork::windowCanvas(d);
  ASSERT_NE(canvas, nullptr);
  // "A label that wraps" in (90, 9)-(150, 39): too wide for one 60 px line.
  auto inkInRows = [canvas](int x0, int x1, int y0, int y1) {
    int ink = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        Uint32 p = static_cast<Uint32 *>(canvas->pixels)[y * canvas->pitch / 4 + x];
        ink += ((p >> 8) & 0xFF) < 128;
      }
    return ink;
  };
  EXPECT_GT(inkInRows(90, 150, 9, 21), 20) << "first line";
  EXPECT_GT(inkInRows(90, 150, 21, 33), 20) << "second line";
  EXPECT_EQ(inkInRows(150, 180, 9, 39), 0) << "nothing right of the rectangle";
}

TEST(MessageBoxLine, WritesCaptionAndTextToStandardError) {
  testing::internal::CaptureStderr();
  int result = MessageBoxW(nullptr, L"Window Registration Failed!", L"Error!", MB_ICONEXCLAMATION);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(err, "Error!: Window Registration Failed!\n");

  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, L"Proceed?", L"Question", MB_YESNO), 0) << "nobody can answer offscreen";
  err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Question: Proceed?\n", 0), 0u);
}

}  // namespace
