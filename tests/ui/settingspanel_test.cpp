// The settings panel's procedure on the real layer (offscreen), with the program's
// own dialog resource: start state, term selection with truncated positions, the
// colour, intensity and speed trackbars, the axes, and the ignored close box.
#include "ui/settingspanel.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "recording_device.h"
#include "ui/resource.h"

namespace {

using Calls = std::vector<std::string>;

class SettingsPanelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"panelTestOwner";
    RegisterClassExW(&windowClass);
  }
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"panelTestOwner", L"owner", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                             CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    renderer_.device = &device_;
    renderer_.psConstants = &psConstants_;
    const char *names[3] = {"ambientIC", "diffuseIC", "specularIC"};
    for (int t = 0; t < termCount; ++t) {
      renderer_.hTermIC[t] = psConstants_.GetConstantByName(nullptr, names[t]);
      renderer_.termColor[t] = D3DXVECTOR4(0.0f, 0.0f, 0.0f, 1.0f);
    }
    createSettingsPanel(renderer_, panel_, owner_);
    ASSERT_NE(panel_.dialog, nullptr);
    log_.calls.clear();
  }
  void TearDown() override {
    if (owner_ != nullptr) DestroyWindow(owner_);
  }

  int position(int id) { return static_cast<int>(SendDlgItemMessageW(panel_.dialog, id, TBM_GETPOS, 0, 0)); }
  bool checked(int id) { return SendDlgItemMessageW(panel_.dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void command(int id, int code = BN_CLICKED) {
    SendMessageW(panel_.dialog, WM_COMMAND, MAKELONG(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(panel_.dialog, id)));
  }
  // Moves a trackbar as the user would see it: the position, then its notification.
  void move(int id, int newPosition) {
    SendDlgItemMessageW(panel_.dialog, id, TBM_SETPOS, TRUE, newPosition);
    SendMessageW(panel_.dialog, WM_HSCROLL, MAKELONG(TB_THUMBPOSITION, newPosition),
                 reinterpret_cast<LPARAM>(GetDlgItem(panel_.dialog, id)));
  }

  CallLog log_;
  RecordingDevice device_{&log_};
  RecordingConstantTable psConstants_{&log_, "psConstants", {"ambientIC", "diffuseIC", "specularIC"}};
  Renderer renderer_ = {};
  SettingsPanel panel_ = {};
  HWND owner_ = nullptr;
};

TEST_F(SettingsPanelTest, StartsWithAmbientAndXCheckedAndEveryTrackbarAtItsMinimum) {
  EXPECT_EQ(panel_.selectedTerm, IlluminationTerm::Ambient);
  EXPECT_TRUE(checked(IDC_AMBIENT));
  EXPECT_FALSE(checked(IDC_DIFFUSE));
  EXPECT_TRUE(checked(IDC_AXIS_X));
  for (int id : {IDC_RED, IDC_GREEN, IDC_BLUE, IDC_INTENSITY, IDC_SPEED}) EXPECT_EQ(position(id), 1) << id;
  EXPECT_EQ(GetWindowLongPtrW(panel_.dialog, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&panel_));
  EXPECT_FALSE(IsWindowVisible(panel_.dialog)) << "the panel comes back hidden";
}

TEST_F(SettingsPanelTest, SelectingATermLoadsItsValuesTruncatedAndSendsNothing) {
  renderer_.termColor[1] = D3DXVECTOR4(0.53f, 1.0f, 0.0f, 1.0f);
  renderer_.termIntensity[1] = 0.251f;
  command(IDC_DIFFUSE);
  EXPECT_EQ(panel_.selectedTerm, IlluminationTerm::Diffuse);
  EXPECT_EQ(position(IDC_RED), 52) << "0.53f x 100 falls just below 53";
  EXPECT_EQ(position(IDC_GREEN), 100);
  EXPECT_EQ(position(IDC_BLUE), 1) << "a stored 0 shows at the minimum";
  EXPECT_EQ(position(IDC_INTENSITY), 250) << "0.251f x 1000 falls just below 251";
  EXPECT_TRUE(log_.calls.empty()) << "selecting a term changes nothing in the renderer";
  EXPECT_EQ(renderer_.termColor[1].z, 0.0f);
}

TEST_F(SettingsPanelTest, AColourTrackbarWritesAllThreeChannelsOfTheSelectedTerm) {
  command(IDC_SPECULAR);
  move(IDC_GREEN, 50);
  EXPECT_EQ(log_.calls, (Calls{"psConstants.SetVector(specularIC, 0 0 0 0)"}));
  EXPECT_EQ(formatFloats(&renderer_.termColor[2].x, 4), "0.00999999978 0.5 0.00999999978 1");
  move(IDC_INTENSITY, 500);
  EXPECT_EQ(log_.calls.back(), "psConstants.SetVector(specularIC, 0.00499999989 0.25 0.00499999989 0.5)");
  EXPECT_EQ(renderer_.termIntensity[2], 0.5f);
  EXPECT_EQ(renderer_.termIntensity[0], 0.0f) << "the other terms keep their values";
}

TEST_F(SettingsPanelTest, SpeedAndAxesGoStraightToTheRenderer) {
  move(IDC_SPEED, 250);
  EXPECT_EQ(renderer_.lightSpeed, 2.5f);
  command(IDC_AXIS_Z);
  EXPECT_EQ(renderer_.lightAxis, RotationAxis::Z);
  command(IDC_AXIS_Y);
  EXPECT_EQ(renderer_.lightAxis, RotationAxis::Y);
  EXPECT_TRUE(log_.calls.empty());
}

TEST_F(SettingsPanelTest, IgnoresTheCloseBoxAndOtherNotifications) {
  command(IDCANCEL);
  EXPECT_TRUE(IsWindow(panel_.dialog)) << "the close box does nothing";
  command(IDC_DIFFUSE, BN_DOUBLECLICKED);
  EXPECT_EQ(panel_.selectedTerm, IlluminationTerm::Ambient);
  EXPECT_EQ(settingsPanelProc(panel_.dialog, WM_COMMAND, MAKELONG(IDC_SPECULAR, BN_CLICKED), 0), FALSE);
  EXPECT_EQ(panel_.selectedTerm, IlluminationTerm::Specular) << "handled, and still FALSE";
}

TEST_F(SettingsPanelTest, DiesWithItsOwner) {
  HWND dialog = panel_.dialog;
  DestroyWindow(owner_);
  EXPECT_FALSE(IsWindow(dialog));
  owner_ = nullptr;
}

}  // namespace
