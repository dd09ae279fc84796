// USER32 message boxes: the line "caption: text" always goes to standard error,
// so a headless run and the tests see every box; where a display exists the box
// is also shown with SDL_ShowMessageBox and waits for a button. With no display
// (SDL_VIDEODRIVER=offscreen or dummy, or no video at all) an OK-only box
// returns IDOK at once; a box that asks a question cannot be answered there and
// fails with 0. Left out: MB_HELP, default-button and modality flags.
#include "user32_internal.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace {

struct Button {
  int id;
  const char *label;
};

std::vector<Button> buttonsFor(UINT type) {
  switch (type) {
    case MB_OK: return {{IDOK, "OK"}};
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {};
  }
}

bool displayExists() {
  if (!glintwork::ensureVideo("MessageBoxW")) return false;
  const char *driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

}  // namespace

using namespace glintwork;

extern "C" int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  GLINTWORK_TRACE("user32", "type 0x%x", type);
  std::string captionText = caption ? narrow(caption) : std::string("Error");
  std::string bodyText = text ? narrow(text) : std::string();
  std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
  std::fflush(stderr);

  if (owner && !checkWindow(owner, "MessageBoxW")) return 0;
  std::vector<Button> buttons = buttonsFor(type & MB_TYPEMASK);
  if (buttons.empty()) {
    diag("user32", "MessageBoxW", "unsupported box type 0x%x", static_cast<unsigned>(type & MB_TYPEMASK));
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }

  if (!displayExists()) {
    if (buttons.size() == 1) return IDOK;
    diag("user32", "MessageBoxW", "no display to ask the question on");
    return 0;
  }

  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: flags = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONEXCLAMATION: flags = SDL_MESSAGEBOX_WARNING; break;
    default: break;
  }
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < buttons.size(); ++i) {
    Uint32 bflags = 0;
    if (i == 0) bflags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (buttons[i].id == IDCANCEL || (buttons.size() == 1)) bflags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(SDL_MessageBoxButtonData{bflags, buttons[i].id, buttons[i].label});
  }
  SDL_Window *parent = nullptr;
  if (Window *w = topLevelOf(findWindow(owner))) parent = w->sdl;
  SDL_MessageBoxData box{};
  box.flags = flags;
  box.window = parent;
  box.title = captionText.c_str();
  box.message = bodyText.c_str();
  box.numbuttons = static_cast<int>(data.size());
  box.buttons = data.data();
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    diag("user32", "MessageBoxW", "SDL_ShowMessageBox failed: %s", SDL_GetError());
    return buttons.size() == 1 ? IDOK : 0;
  }
  if (chosen < 0) chosen = buttons.back().id;  // closed without a button
  return chosen;
}
