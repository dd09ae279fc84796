// A plain Win32 program: a window, a dialog from its resources, a message loop
// that ends when the window is destroyed. Prints "consumer: ok" when all worked.
#include <windows.h>

#include <cstdio>

static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"consumerClass";
  if (!RegisterClassExW(&wc)) return 1;
  HWND window = CreateWindowExW(0, L"consumerClass", L"Consumer", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(7), window, dialogProc, 0);
  if (!dialog || !GetDlgItem(dialog, 100)) return 1;
  PostMessageW(window, WM_CLOSE, 0, 0);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (IsWindow(dialog)) return 1;  // owned by the window, so gone with it
  std::printf("consumer: ok\n");
  return 0;
}
