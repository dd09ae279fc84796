// Dialogs from the embedded test_dialogs.rc through the public Win32 API alone, as
// a program sees them on Windows and on the layer: the template is parsed into
// controls in template order with their ids, classes, styles and rectangles
// (dialog units through MapDialogRect); WM_INITDIALOG runs inside
// CreateDialogParamW; auto radio buttons follow the group rule of the settings
// panel's template; trackbars keep their range and are silent when set by
// message; the close command cancels; resources are found by type and id. What
// only the layer does (SDL input, its drawing, its fixed base units, its resource
// registry, message boxes on standard error) is in dialog_layer_test.cpp. Built
// for Windows too and run under Wine (tests/wine).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "host_platform.h"
#include "message_log.h"
#include "test_dialogs.h"

namespace {

// A control's rectangle in the dialog's client area from its template
// coordinates: origin and size are each mapped, as the dialog manager does.
RECT mappedControlRect(HWND dialog, int x, int y, int cx, int cy) {
  RECT origin{x, y, cx, cy};
  EXPECT_TRUE(MapDialogRect(dialog, &origin));
  return RECT{origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
}

void expectRect(const RECT &got, const RECT &want, const std::string &context) {
  EXPECT_EQ(got.left, want.left) << context;
  EXPECT_EQ(got.top, want.top) << context;
  EXPECT_EQ(got.right, want.right) << context;
  EXPECT_EQ(got.bottom, want.bottom) << context;
}

TEST(CommonControls, RefuseAnInitRecordOfTheWrongSize) {
  INITCOMMONCONTROLSEX bad{4, ICC_BAR_CLASSES};
  EXPECT_FALSE(InitCommonControlsEx(&bad));
  INITCOMMONCONTROLSEX good{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&good));
}

TEST_F(DialogTest, TemplateBecomesControlsInOrderWithTheirRectangles) {
  HWND d = open(IDD_SMALL);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(windowText(d), L"Small");
  EXPECT_FALSE(IsWindowVisible(d)) << "no WS_VISIBLE in the template";
  RECT client{}, size{0, 0, 120, 80};
  GetClientRect(d, &client);
  ASSERT_TRUE(MapDialogRect(d, &size));
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  struct Expected {
    int id;
    const wchar_t *cls;
    const wchar_t *text;
    DWORD style;
    int x, y, cx, cy;  // dialog units, as in the template
  } expected[] = {
      {IDC_FIRST, L"Button", L"&First", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 4, 6, 50, 10},
      {IDC_SECOND, L"Button", L"Second", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 4, 18, 50, 10},
      {IDC_LABEL, L"Static", L"A label that wraps", WS_CHILD | WS_VISIBLE | SS_LEFT, 60, 6, 40, 20},
      {IDC_SLIDER, L"msctls_trackbar32", L"", WS_CHILD | WS_TABSTOP | TBS_AUTOTICKS, 4, 40, 100, 15},
  };
  HWND c = GetWindow(d, GW_CHILD);
  for (const Expected &e : expected) {
    const std::string context = "control " + std::to_string(e.id);
    ASSERT_NE(c, nullptr) << context;
    EXPECT_EQ(GetDlgCtrlID(c), e.id);
    EXPECT_EQ(GetDlgItem(d, e.id), c);
    EXPECT_EQ(className(c), e.cls) << context;
    EXPECT_EQ(windowText(c), e.text) << context;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(c, GWL_STYLE)), e.style) << context;
    expectRect(rectInDialog(d, c), mappedControlRect(d, e.x, e.y, e.cx, e.cy), context);
    c = GetWindow(c, GW_HWNDNEXT);
  }
  EXPECT_EQ(c, nullptr) << "exactly four controls";

  RECT notDialog{0, 0, 4, 8};
  EXPECT_FALSE(MapDialogRect(GetDlgItem(d, IDC_FIRST), &notDialog)) << "a control is no dialog";
}

TEST_F(DialogTest, ClassicTemplateIsReadToo) {
  HWND d = open(IDD_CLASSIC);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(windowText(d), L"Classic");
  HWND only = GetDlgItem(d, IDC_FIRST);
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(className(only), L"Static");
  expectRect(rectInDialog(d, only), mappedControlRect(d, 8, 8, 40, 10), "the only control");
  EXPECT_EQ(GetWindow(only, GW_HWNDNEXT), nullptr);
}

TEST_F(DialogTest, PanelTemplateCreatesEveryControlWhereItsUnitsSay) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  int count = 0;
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++count;
  EXPECT_EQ(count, 23);
  expectRect(rectInDialog(d, GetDlgItem(d, IDC_RED)), mappedControlRect(d, 53, 143, 122, 15), "Red trackbar");
  expectRect(rectInDialog(d, GetDlgItem(d, IDC_ZAXIS)), mappedControlRect(d, 23, 60, 53, 14), "Z Axis radio");
}

TEST_F(DialogTest, InitDialogArrivesInsideCreateWithTheControlsInPlace) {
  static HWND seenRed = nullptr;
  static LPARAM seenParam = 0;
  static bool wasVisible = true;
  struct Proc {
    static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      messageLog().push_back({hwnd, message, wParam, lParam});
      if (message == WM_INITDIALOG) {
        seenRed = GetDlgItem(hwnd, IDC_RED);
        seenParam = lParam;
        wasVisible = IsWindowVisible(hwnd);
        SendDlgItemMessageW(hwnd, IDC_RED, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
      }
      return FALSE;
    }
  };
  HWND d = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PANEL), nullptr, Proc::proc, 1234);
  dialog_ = d;
  ASSERT_NE(d, nullptr);
  const LoggedMessage *init = findLogged(WM_INITDIALOG);
  ASSERT_NE(init, nullptr) << "WM_INITDIALOG before CreateDialogParamW returned";
  EXPECT_EQ(init->hwnd, d);
  EXPECT_EQ(seenParam, 1234);
  EXPECT_NE(seenRed, nullptr);
  EXPECT_FALSE(wasVisible);
  EXPECT_EQ(init->wParam, reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_GREEN))) << "the first WS_TABSTOP control";
  EXPECT_EQ(GetFocus() == GetDlgItem(d, IDC_GREEN), false) << "FALSE from WM_INITDIALOG sets no focus";
  EXPECT_EQ(SendDlgItemMessageW(d, IDC_RED, TBM_GETRANGEMIN, 0, 0), 1);
  EXPECT_EQ(SendDlgItemMessageW(d, IDC_RED, TBM_GETRANGEMAX, 0, 0), 100);
}

TEST_F(DialogTest, RadioGroupsOfThePanelWorkIndependently) {
  HWND d = openPanelForRadioSteps();
  ASSERT_NE(d, nullptr);
  for (const RadioStep &s : panelRadioSteps()) {
    messageLog().clear();
    SendMessageW(GetDlgItem(d, s.click), BM_CLICK, 0, 0);
    pumpAll();
    expectRadioStep(d, s);
  }
}

TEST_F(DialogTest, SettingACheckByMessageNotifiesNobody) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  messageLog().clear();
  SendDlgItemMessageW(d, IDC_DIFFUSE, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(findLogged(WM_COMMAND), nullptr);
  EXPECT_EQ(IsDlgButtonChecked(d, IDC_DIFFUSE), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(d, IDC_AMBIENT), static_cast<UINT>(BST_UNCHECKED)) << "only clicks clear the group";
}

TEST_F(DialogTest, TrackbarKeepsItsRangeAndSetPosIsSilent) {
  HWND d = open(IDD_PANEL);
  ASSERT_NE(d, nullptr);
  HWND red = GetDlgItem(d, IDC_RED);
  EXPECT_EQ(SendMessageW(red, TBM_GETRANGEMIN, 0, 0), 0) << "default range 0-100";
  EXPECT_EQ(SendMessageW(red, TBM_GETRANGEMAX, 0, 0), 100);
  SendMessageW(red, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
  EXPECT_EQ(SendMessageW(red, TBM_GETPOS, 0, 0), 1) << "the position moves into the new range";
  messageLog().clear();
  struct Case {
    const char *context;
    LPARAM set;
    LRESULT got;
  } cases[] = {
      {"inside", 53, 53}, {"below", 0, 1}, {"negative", -40, 1}, {"above", 5000, 100}, {"maximum", 100, 100},
  };
  for (const Case &c : cases) {
    SendMessageW(red, TBM_SETPOS, TRUE, c.set);
    EXPECT_EQ(SendMessageW(red, TBM_GETPOS, 0, 0), c.got) << c.context;
  }
  SendMessageW(red, TBM_SETRANGE, TRUE, MAKELONG(1, 1000));
  EXPECT_EQ(SendMessageW(red, TBM_GETPAGESIZE, 0, 0), 199) << "a fifth of the range";
  pumpAll();
  EXPECT_TRUE(scrolls(d).empty()) << "setting by message sends no WM_HSCROLL";
}

// The system menu's Close, and WM_CLOSE itself, post IDCANCEL; the dialog stays
// until its procedure destroys it.
TEST_F(DialogTest, CloseCommandCancelsButDoesNotCloseTheDialog) {
  struct Case {
    const char *context;
    UINT message;
    WPARAM wParam;
  } cases[] = {{"WM_SYSCOMMAND SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE}, {"WM_CLOSE", WM_CLOSE, 0}};
  for (const Case &c : cases) {
    HWND d = open(IDD_PANEL);
    ASSERT_NE(d, nullptr) << c.context;
    ShowWindow(d, SW_SHOW);
    pumpAll();
    messageLog().clear();
    SendMessageW(d, c.message, c.wParam, 0);
    pumpAll();
    const LoggedMessage *command = findLogged(WM_COMMAND, d);
    ASSERT_NE(command, nullptr) << c.context;
    EXPECT_EQ(LOWORD(command->wParam), IDCANCEL) << c.context;
    EXPECT_EQ(HIWORD(command->wParam), BN_CLICKED) << c.context;
    EXPECT_EQ(command->lParam, 0) << c.context << ": the panel has no Cancel button";
    EXPECT_TRUE(IsWindow(d)) << c.context;
    DestroyWindow(d);
  }
}

// With a Cancel button, WM_CLOSE clicks it (its handle in lParam), unless it is
// disabled: then nothing is posted.
TEST_F(DialogTest, CloseGoesThroughTheCancelButtonUnlessItIsDisabled) {
  WineShortfalls wine;
  for (bool enabled : {true, false}) {
    const char *context = enabled ? "enabled Cancel" : "disabled Cancel";
    HWND d = open(IDD_WITH_CANCEL);
    ASSERT_NE(d, nullptr) << context;
    HWND cancel = GetDlgItem(d, IDCANCEL);
    ASSERT_NE(cancel, nullptr) << context;
    EnableWindow(cancel, enabled);
    ShowWindow(d, SW_SHOW);
    pumpAll();
    messageLog().clear();
    SendMessageW(d, WM_CLOSE, 0, 0);
    pumpAll();
    const LoggedMessage *command = findLogged(WM_COMMAND, d);
    if (enabled) {
      ASSERT_NE(command, nullptr) << context;
      EXPECT_EQ(command->wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED)) << context;
      EXPECT_EQ(command->lParam, reinterpret_cast<LPARAM>(cancel)) << context;
    } else if (wine.check("DefDlgProc posts IDCANCEL on WM_CLOSE while the Cancel button is disabled")) {
      EXPECT_EQ(command, nullptr) << context;
    }
    EXPECT_TRUE(IsWindow(d)) << context;
    DestroyWindow(d);
  }
  SKIP_WINE_SHORTFALLS(wine);
}

TEST_F(DialogTest, OwnedDialogDiesWithItsOwner) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"ownerClass";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  HWND owner = CreateWindowExW(0, L"ownerClass", L"", WS_CAPTION, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  HWND d = open(IDD_PANEL, owner);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetWindow(d, GW_OWNER), owner);
  HWND red = GetDlgItem(d, IDC_RED);
  messageLog().clear();
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_FALSE(IsWindow(red));
  EXPECT_NE(findLogged(WM_DESTROY, d), nullptr) << "the dialog procedure hears WM_DESTROY";
}

TEST_F(DialogTest, BadTemplatesFailWithNull) {
  EXPECT_EQ(open(999), nullptr) << "missing resource";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(open(IDD_UNKNOWN_CLASS), nullptr) << "unknown control class";
  EXPECT_EQ(CreateDialogParamW(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x1234)),
                               MAKEINTRESOURCEW(IDD_PANEL), nullptr, loggingDialogProc, 0),
            nullptr)
      << "unknown module";
}

TEST(Resources, AreFoundByTypeAndId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  DWORD size = SizeofResource(module, manifest);
  const char *bytes = static_cast<const char *>(LockResource(LoadResource(module, manifest)));
  ASSERT_NE(bytes, nullptr);
  std::string text(bytes, size);
  EXPECT_EQ(text.rfind("<?xml", 0), 0u);
  EXPECT_NE(text.find("Glintwork.LayerTest"), std::string::npos);
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_PANEL), RT_DIALOG), nullptr) << "no module: the program";
  EXPECT_NE(FindResourceW(module, L"#101", RT_DIALOG), nullptr) << "\"#101\" names the ordinal";
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(IDD_PANEL), RT_MANIFEST), nullptr) << "wrong type";
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(2), RT_MANIFEST), nullptr) << "wrong id";
}

}  // namespace
