#include "mainwindow.h"

#include "render/renderer.h"

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Null until start-up has succeeded: keys are then left to default processing.
  Renderer *renderer = reinterpret_cast<Renderer *>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);  // the panel it owns goes with it
      return 0;
    case WM_KEYUP:
      // Top-row digits only: the keypad has other virtual-key codes.
      if (renderer != nullptr && wParam >= '1' && wParam <= '8') {
        renderer->currentMesh = static_cast<int32_t>(wParam - '1');
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
