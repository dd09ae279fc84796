// A small Win32 program built on the layer for the test with a real X server
// (xinput_test.sh): a main window and the settings panel's dialog beside it, run
// by a frame loop like the application's. Every message the test drives (key
// releases in the main window, radio clicks and trackbar movement in the panel)
// is printed on standard output, one line each; so are the entry arguments and,
// once both windows are up, the screen points to click. Escape released in the
// main window closes it; the program gives up after 60 seconds.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "test_dialogs.h"

namespace {

HWND mainWindow = nullptr;
HWND panel = nullptr;

const char *nameOf(HWND h) {
  if (h == mainWindow) return "main";
  if (h == panel) return "panel";
  return "other";
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      std::printf("%s vk=0x%02x lparam=0x%08x to=%s\n", message == WM_KEYUP ? "WM_KEYUP" : "WM_KEYDOWN",
                  static_cast<unsigned>(wParam), static_cast<unsigned>(static_cast<DWORD>(lParam)), nameOf(hwnd));
      std::fflush(stdout);
      if (message == WM_KEYUP && wParam == VK_ESCAPE) DestroyWindow(hwnd);
      break;
    case WM_DESTROY:
      std::printf("WM_DESTROY %s\n", nameOf(hwnd));
      std::fflush(stdout);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK panelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      for (int id : {IDC_RED, IDC_GREEN, IDC_BLUE})
        SendDlgItemMessageW(dialog, id, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
      for (int id : {IDC_SPEED, IDC_INTENSITY})
        SendDlgItemMessageW(dialog, id, TBM_SETRANGE, FALSE, MAKELONG(1, 1000));
      SendDlgItemMessageW(dialog, IDC_AMBIENT, BM_SETCHECK, BST_CHECKED, 0);
      SendDlgItemMessageW(dialog, IDC_XAXIS, BM_SETCHECK, BST_CHECKED, 0);
      return FALSE;
    case WM_COMMAND:
      std::printf("WM_COMMAND id=%d code=%d checks=%d%d%d/%d%d%d\n", LOWORD(wParam), HIWORD(wParam),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_AMBIENT)),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_DIFFUSE)),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_SPECULAR)),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_XAXIS)),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_YAXIS)),
                  static_cast<int>(IsDlgButtonChecked(dialog, IDC_ZAXIS)));
      std::fflush(stdout);
      return FALSE;
    case WM_HSCROLL: {
      auto control = reinterpret_cast<HWND>(lParam);
      std::printf("WM_HSCROLL id=%d code=%d pos=%d\n", GetDlgCtrlID(control), LOWORD(wParam),
                  static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0)));
      std::fflush(stdout);
      return FALSE;
    }
    default:
      return FALSE;
  }
}

POINT screenCentre(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  std::printf("ENTRY instance=%s previous=%s show=%d cmdline=[%s]\n",
              instance == GetModuleHandleW(nullptr) ? "module" : "other", previous ? "set" : "null", showCommand,
              commandLine);
  std::fflush(stdout);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = mainProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"probeWindowClass";
  wc.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
  if (!RegisterClassExW(&wc)) return 1;
  mainWindow = CreateWindowExW(WS_EX_CLIENTEDGE, L"probeWindowClass", L"Probe",
                               WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!mainWindow) return 1;
  ShowWindow(mainWindow, showCommand);
  UpdateWindow(mainWindow);

  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  panel = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PANEL), mainWindow, panelProc, 0);
  if (!panel) return 1;
  RECT mainRect{};
  GetWindowRect(mainWindow, &mainRect);
  ShowWindow(panel, SW_SHOW);
  MoveWindow(panel, mainRect.right, mainRect.top, 325, 480, TRUE);

  POINT mainClient{0, 0}, panelClient{0, 0};
  ClientToScreen(mainWindow, &mainClient);
  ClientToScreen(panel, &panelClient);
  RECT panelArea{};
  GetClientRect(panel, &panelArea);
  POINT diffuse = screenCentre(GetDlgItem(panel, IDC_DIFFUSE));
  HWND red = GetDlgItem(panel, IDC_RED);
  RECT redRect{}, thumb{}, channel{};
  GetWindowRect(red, &redRect);
  SendMessageW(red, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  SendMessageW(red, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  int thumbX = redRect.left + (thumb.left + thumb.right) / 2, thumbY = redRect.top + (thumb.top + thumb.bottom) / 2;
  int dragToX = redRect.left + (channel.left + channel.right) / 2;
  std::printf("READY main=%d,%d panel=%d,%d,%d,%d diffuse=%d,%d thumb=%d,%d dragto=%d\n",
              static_cast<int>(mainClient.x) + 50, static_cast<int>(mainClient.y) + 50,
              static_cast<int>(panelClient.x), static_cast<int>(panelClient.y), static_cast<int>(panelArea.right),
              static_cast<int>(panelArea.bottom), static_cast<int>(diffuse.x), static_cast<int>(diffuse.y), thumbX,
              thumbY, dragToX);
  std::fflush(stdout);

  LARGE_INTEGER frequency{}, start{}, now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  MSG msg{};
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  while (msg.message != WM_QUIT) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      continue;
    }
    QueryPerformanceCounter(&now);
    if (now.QuadPart - start.QuadPart > 60 * frequency.QuadPart) {
      std::printf("TIMEOUT\n");
      return 2;
    }
    Sleep(1);  // the test needs no frame rate; leave the CPU to the X server
  }
  std::printf("QUIT\n");
  return 0;
}
