// The opt-in call trace: with GLINTWORK_TRACE=1 in the environment the layer
// reports each call it traces on standard error. The variable is set before the
// first call into the layer, which reads it once.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

TEST(Trace, ReportsCallsWhenSwitchedOn) {
  setenv("GLINTWORK_TRACE", "1", 1);
  testing::internal::CaptureStderr();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"tracedClass";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  HWND h = CreateWindowExW(0, L"tracedClass", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  DestroyWindow(h);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("trace: user32: RegisterClassExW: \"tracedClass\""), std::string::npos) << err;
  EXPECT_NE(err.find("trace: user32: CreateWindowExW: class \"tracedClass\""), std::string::npos) << err;
  EXPECT_NE(err.find("trace: user32: DestroyWindow: "), std::string::npos) << err;
}
