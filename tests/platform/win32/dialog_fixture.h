// The fixture of the dialog tests: dialogs from the embedded test_dialogs.rc with a
// dialog procedure that logs every message, and what the tests read back from them.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "message_log.h"
#include "test_dialogs.h"

inline INT_PTR CALLBACK loggingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  messageLog().push_back({hwnd, message, wParam, lParam});
  return FALSE;
}

inline std::wstring className(HWND h) {
  WCHAR buffer[64] = {};
  GetClassNameW(h, buffer, 64);
  return buffer;
}

inline std::wstring windowText(HWND h) {
  WCHAR buffer[128] = {};
  GetWindowTextW(h, buffer, 128);
  return buffer;
}

inline RECT rectInDialog(HWND dialog, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ScreenToClient(dialog, &tl);
  ScreenToClient(dialog, &br);
  return RECT{tl.x, tl.y, br.x, br.y};
}

inline std::vector<LoggedMessage> scrolls(HWND dialog) {
  std::vector<LoggedMessage> out;
  for (auto &m : messageLog())
    if (m.hwnd == dialog && m.message == WM_HSCROLL) out.push_back(m);
  return out;
}

// The panel's two radio groups clicked in turn: after each click the buttons in
// `on` are checked and those in `off` are not; the groups never touch each other.
struct RadioStep {
  const char *context;
  int click;
  std::vector<int> on;
  std::vector<int> off;
};

inline std::vector<RadioStep> panelRadioSteps() {
  return {
      {"Diffuse", IDC_DIFFUSE, {IDC_DIFFUSE, IDC_XAXIS}, {IDC_AMBIENT, IDC_SPECULAR, IDC_YAXIS, IDC_ZAXIS}},
      {"Z Axis", IDC_ZAXIS, {IDC_DIFFUSE, IDC_ZAXIS}, {IDC_AMBIENT, IDC_SPECULAR, IDC_XAXIS, IDC_YAXIS}},
      {"Specular", IDC_SPECULAR, {IDC_SPECULAR, IDC_ZAXIS}, {IDC_AMBIENT, IDC_DIFFUSE, IDC_XAXIS, IDC_YAXIS}},
      {"Y Axis", IDC_YAXIS, {IDC_SPECULAR, IDC_YAXIS}, {IDC_AMBIENT, IDC_DIFFUSE, IDC_XAXIS, IDC_ZAXIS}},
      {"Y Axis again", IDC_YAXIS, {IDC_SPECULAR, IDC_YAXIS}, {IDC_AMBIENT, IDC_DIFFUSE, IDC_XAXIS, IDC_ZAXIS}},
  };
}

// What step `s` of panelRadioSteps must leave in dialog `d` once its button was
// clicked: the checks, and one BN_CLICKED from that button.
inline void expectRadioStep(HWND d, const RadioStep &s) {
  auto checked = [d](int id) { return SendDlgItemMessageW(d, id, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  for (int id : s.on) EXPECT_TRUE(checked(id)) << s.context << ": " << id << " on";
  for (int id : s.off) EXPECT_FALSE(checked(id)) << s.context << ": " << id << " off";
  const LoggedMessage *command = findLogged(WM_COMMAND, d);
  ASSERT_NE(command, nullptr) << s.context;
  EXPECT_EQ(LOWORD(command->wParam), s.click) << s.context;
  EXPECT_EQ(HIWORD(command->wParam), BN_CLICKED) << s.context;
  EXPECT_EQ(command->lParam, reinterpret_cast<LPARAM>(GetDlgItem(d, s.click))) << s.context;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drainQuit();
    messageLog().clear();
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
  }
  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
  }
  HWND open(int id, HWND owner = nullptr) {
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, loggingDialogProc, 77);
    return dialog_;
  }
  // The panel shown with Ambient and X Axis checked, where the radio steps start.
  HWND openPanelForRadioSteps() {
    HWND d = open(IDD_PANEL);
    if (!d) return nullptr;
    ShowWindow(d, SW_SHOW);
    SendDlgItemMessageW(d, IDC_AMBIENT, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageW(d, IDC_XAXIS, BM_SETCHECK, BST_CHECKED, 0);
    pumpAll();
    return d;
  }
  HWND dialog_ = nullptr;
};
