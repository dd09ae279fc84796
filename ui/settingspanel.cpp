// The "Illumination settings" panel. Positions become values by dividing by 100
// (colours, speed) or 1000 (intensity); values become positions by the inverse
// product truncated toward zero, so a stored 0.53f shows as 52.
#include "settingspanel.h"

#include <commctrl.h>

#include "resource.h"

namespace {

SettingsPanel *panelOf(HWND dialog) {
  return reinterpret_cast<SettingsPanel *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

int trackbarPosition(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

void setTrackbarPosition(HWND dialog, int id, float value, double scale) {
  const LPARAM position = static_cast<LPARAM>(static_cast<double>(value) * scale);
  SendDlgItemMessageW(dialog, id, TBM_SETPOS, TRUE, position);
}

float positionValue(HWND dialog, int id, double scale) {
  return static_cast<float>(static_cast<double>(trackbarPosition(dialog, id)) / scale);
}

void initialiseControls(HWND dialog) {
  const int colourIds[] = {IDC_RED, IDC_GREEN, IDC_BLUE};
  for (int id : colourIds) {
    SendDlgItemMessageW(dialog, id, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
  }
  SendDlgItemMessageW(dialog, IDC_SPEED, TBM_SETRANGE, FALSE, MAKELONG(1, 1000));
  SendDlgItemMessageW(dialog, IDC_INTENSITY, TBM_SETRANGE, FALSE, MAKELONG(1, 1000));
  SendDlgItemMessageW(dialog, IDC_AMBIENT, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageW(dialog, IDC_AXIS_X, BM_SETCHECK, BST_CHECKED, 0);
}

// Loads the selected term's colour and intensity into the four trackbars.
void selectTerm(SettingsPanel &panel, IlluminationTerm term) {
  panel.selectedTerm = term;
  const Renderer &renderer = *panel.renderer;
  const int index = termIndex(term);
  setTrackbarPosition(panel.dialog, IDC_RED, renderer.termColor[index].x, 100.0);
  setTrackbarPosition(panel.dialog, IDC_GREEN, renderer.termColor[index].y, 100.0);
  setTrackbarPosition(panel.dialog, IDC_BLUE, renderer.termColor[index].z, 100.0);
  setTrackbarPosition(panel.dialog, IDC_INTENSITY, renderer.termIntensity[index], 1000.0);
}

void onCommand(SettingsPanel &panel, WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) {
    return;
  }
  switch (LOWORD(wParam)) {
    case IDC_AMBIENT: selectTerm(panel, IlluminationTerm::Ambient); break;
    case IDC_DIFFUSE: selectTerm(panel, IlluminationTerm::Diffuse); break;
    case IDC_SPECULAR: selectTerm(panel, IlluminationTerm::Specular); break;
    case IDC_AXIS_X: panel.renderer->lightAxis = RotationAxis::X; break;
    case IDC_AXIS_Y: panel.renderer->lightAxis = RotationAxis::Y; break;
    case IDC_AXIS_Z: panel.renderer->lightAxis = RotationAxis::Z; break;
    default: break;  // IDCANCEL too: the close box does nothing
  }
}

// Every notification re-reads the positions; the scroll request is not looked at.
void onScroll(SettingsPanel &panel, HWND trackbar) {
  HWND dialog = panel.dialog;
  Renderer &renderer = *panel.renderer;
  if (trackbar == GetDlgItem(dialog, IDC_SPEED)) {
    renderer.lightSpeed = positionValue(dialog, IDC_SPEED, 100.0);
  } else if (trackbar == GetDlgItem(dialog, IDC_INTENSITY)) {
    setTermIntensity(renderer, panel.selectedTerm, positionValue(dialog, IDC_INTENSITY, 1000.0));
  } else {
    const float red = positionValue(dialog, IDC_RED, 100.0);
    const float green = positionValue(dialog, IDC_GREEN, 100.0);
    const float blue = positionValue(dialog, IDC_BLUE, 100.0);
    setTermColor(renderer, panel.selectedTerm, red, green, blue);
  }
}

}  // namespace

SettingsPanel &createSettingsPanel(Renderer &renderer, SettingsPanel &panel, HWND owner) {
  panel.renderer = &renderer;
  panel.selectedTerm = IlluminationTerm::Ambient;

  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);

  panel.dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                    settingsPanelProc, 0);
  SetWindowLongPtrW(panel.dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&panel));
  return panel;
}

INT_PTR CALLBACK settingsPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  SettingsPanel *panel = panelOf(dialog);
  switch (message) {
    case WM_INITDIALOG:
      initialiseControls(dialog);  // no initial focus, no positions, nothing sent
      break;
    case WM_COMMAND:
      if (panel != nullptr) {
        onCommand(*panel, wParam);
      }
      break;
    case WM_HSCROLL:
      if (panel != nullptr) {
        onScroll(*panel, reinterpret_cast<HWND>(lParam));
      }
      break;
    default:
      break;
  }
  return FALSE;
}
