// Glintwork's entry: registers and creates the main window, runs the renderer's
// set-up chain, shows the window and the settings panel, and runs the frame loop
// until the main window is closed. Any start-up failure shows one message box.
#include <windows.h>

#include "app/frameschedule.h"
#include "app/mainwindow.h"
#include "mesh/catalogue.h"
#include "render/renderer.h"
#include "ui/settingspanel.h"

namespace {

int fail(const wchar_t *message) {
  MessageBoxW(nullptr, message, L"Error!", MB_ICONEXCLAMATION);
  return 0;
}

bool registerMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass;
  windowClass.cbSize = sizeof(WNDCLASSEXW);
  windowClass.style = 0;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = L"myWindowClass";
  windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
  return RegisterClassExW(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
  // 640 x 480 is the outer size; the client area is smaller than the back buffer.
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"myWindowClass",
                         L"[Interactive Demo Application] - Glintwork",
                         WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                         CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
}

bool setUpRenderer(Renderer &renderer) {
  return createDevice(renderer) && setupScene(renderer) && loadMeshes(renderer) &&
         createShaders(renderer);
}

int64_t counterNow() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

// Messages always come first; a frame is drawn only on a pass that finds the queue
// empty and the schedule due. The loop never sleeps.
void runFrameLoop(Renderer &renderer, FrameSchedule &schedule) {
  MSG message = {};
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  while (message.message != WM_QUIT) {
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      continue;
    }
    const int64_t currentCount = counterNow();
    if (!frameDue(schedule, currentCount)) {
      continue;
    }
    renderFrame(renderer, startFrame(schedule, currentCount));
    finishFrame(schedule, currentCount);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Both records live until WinMain returns; every failure path returns 0.
  Renderer renderer = {};
  SettingsPanel panel = {};

  if (!registerMainWindowClass(instance)) {
    return fail(L"Window Registration Failed!");
  }
  HWND window = createMainWindow(instance);
  if (window == nullptr) {
    return fail(L"Window Creation Failed!");
  }

  renderer.lightSpeed = 0.0f;
  renderer.width = 640;
  renderer.height = 480;
  renderer.window = window;
  renderer.currentMesh = 0;
  renderer.lightAxis = RotationAxis::X;

  if (!setUpRenderer(renderer)) {
    return fail(L"Render initialization failed");
  }

  // From here on the window procedure acts on the mesh keys.
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&renderer));
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) {
    return fail(L"Performance Counter: This function is not available on this machine");
  }
  FrameSchedule schedule = makeFrameSchedule(frequency.QuadPart, counterNow());

  // The panel is placed once, against the main window's outer right edge.
  RECT mainRect;
  GetWindowRect(window, &mainRect);
  createSettingsPanel(renderer, panel, window);
  ShowWindow(panel.dialog, SW_SHOW);
  MoveWindow(panel.dialog, mainRect.right, mainRect.top, 325, 480, TRUE);

  runFrameLoop(renderer, schedule);

  releaseResources(renderer);
  // Returning frees the storage of `meshes`; the records it points to live until
  // the process ends.
  return 0;
}
