// The modeless "Illumination settings" panel: radio buttons choose the term that
// the colour and intensity trackbars edit and the light's orbit axis; a trackbar
// sets the orbit speed.
#pragma once

#include <windows.h>

#include "render/renderer.h"

struct SettingsPanel {
  Renderer *renderer;
  HWND dialog;
  IlluminationTerm selectedTerm;
};

// Creates the panel from dialog 101, owned by `owner` and not yet visible.
SettingsPanel &createSettingsPanel(Renderer &renderer, SettingsPanel &panel, HWND owner);

// The dialog procedure. FALSE for every message, so default processing always follows.
INT_PTR CALLBACK settingsPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
