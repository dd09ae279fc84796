// Input for the layer's windows driven through SDL's event queue (the layer's own
// tests only: the real platform has no SDL underneath).
#pragma once

#include <SDL.h>

#include "window_host.h"

inline Uint32 sdlWindowId(SDL_Window *window) { return window ? SDL_GetWindowID(window) : 0; }

inline void pushKey(Uint32 windowId, SDL_Scancode scancode, bool down, bool repeat = false, Uint16 mod = 0) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = windowId;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
}

inline void pushMouseButton(Uint32 windowId, int x, int y, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = windowId;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  SDL_PushEvent(&e);
}

inline void pushMouseMotion(Uint32 windowId, int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = windowId;
  e.motion.state = SDL_BUTTON_LMASK;
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

inline void pushWindowEvent(Uint32 windowId, SDL_WindowEventID event) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = windowId;
  e.window.event = static_cast<Uint8>(event);
  SDL_PushEvent(&e);
}

