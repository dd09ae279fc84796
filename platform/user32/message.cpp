// USER32's message queue, one thread: posted messages, the quit flag, WM_PAINT
// for windows that need painting, and the SDL events pumped in as Win32 input
// (keys with real virtual-key codes and LPARAM bits to the focus window, mouse
// messages to the child under the cursor or to the capture, close boxes, focus
// and geometry changes). Left out: timers, sent messages from other threads,
// hooks, WM_CHAR for anything but the plain ASCII keys.
#include "user32_internal.h"

#include <sched.h>
#include <SDL.h>

#include <algorithm>
#include <deque>

namespace glintwork {

namespace {

std::deque<MSG> &queue() {
  static std::deque<MSG> q;
  return q;
}

bool quitPosted = false;
int quitCode = 0;
Uint32 mouseButtons = 0;  // MK_ flags held, from the events seen

// Set-1 scan codes (the LPARAM's bits 16-23) and the extended-key bit 24.
struct KeyInfo {
  UINT vk;
  UINT scan;
  bool extended;
};

KeyInfo keyInfo(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
    static const UINT letterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                        0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    int i = sc - SDL_SCANCODE_A;
    return {static_cast<UINT>('A' + i), letterScan[i], false};
  }
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) {
    int i = sc - SDL_SCANCODE_1;
    return {static_cast<UINT>('1' + i), static_cast<UINT>(0x02 + i), false};
  }
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) {
    int i = sc - SDL_SCANCODE_F1;
    return {static_cast<UINT>(VK_F1 + i), static_cast<UINT>(0x3B + i), false};
  }
  switch (sc) {
    case SDL_SCANCODE_0: return {'0', 0x0B, false};
    case SDL_SCANCODE_KP_1: return {VK_NUMPAD1, 0x4F, false};
    case SDL_SCANCODE_KP_2: return {VK_NUMPAD2, 0x50, false};
    case SDL_SCANCODE_KP_3: return {VK_NUMPAD3, 0x51, false};
    case SDL_SCANCODE_KP_4: return {VK_NUMPAD4, 0x4B, false};
    case SDL_SCANCODE_KP_5: return {VK_NUMPAD5, 0x4C, false};
    case SDL_SCANCODE_KP_6: return {VK_NUMPAD6, 0x4D, false};
    case SDL_SCANCODE_KP_7: return {VK_NUMPAD7, 0x47, false};
    case SDL_SCANCODE_KP_8: return {VK_NUMPAD8, 0x48, false};
    case SDL_SCANCODE_KP_9: return {VK_NUMPAD9, 0x49, false};
    case SDL_SCANCODE_KP_0: return {VK_NUMPAD0, 0x52, false};
    case SDL_SCANCODE_KP_PERIOD: return {VK_DECIMAL, 0x53, false};
    case SDL_SCANCODE_KP_PLUS: return {VK_ADD, 0x4E, false};
    case SDL_SCANCODE_KP_MINUS: return {VK_SUBTRACT, 0x4A, false};
    case SDL_SCANCODE_KP_MULTIPLY: return {VK_MULTIPLY, 0x37, false};
    case SDL_SCANCODE_KP_DIVIDE: return {VK_DIVIDE, 0x35, true};
    case SDL_SCANCODE_KP_ENTER: return {VK_RETURN, 0x1C, true};
    case SDL_SCANCODE_RETURN: return {VK_RETURN, 0x1C, false};
    case SDL_SCANCODE_ESCAPE: return {VK_ESCAPE, 0x01, false};
    case SDL_SCANCODE_BACKSPACE: return {VK_BACK, 0x0E, false};
    case SDL_SCANCODE_TAB: return {VK_TAB, 0x0F, false};
    case SDL_SCANCODE_SPACE: return {VK_SPACE, 0x39, false};
    case SDL_SCANCODE_MINUS: return {VK_OEM_MINUS, 0x0C, false};
    case SDL_SCANCODE_EQUALS: return {VK_OEM_PLUS, 0x0D, false};
    case SDL_SCANCODE_LEFTBRACKET: return {VK_OEM_4, 0x1A, false};
    case SDL_SCANCODE_RIGHTBRACKET: return {VK_OEM_6, 0x1B, false};
    case SDL_SCANCODE_BACKSLASH: return {VK_OEM_5, 0x2B, false};
    case SDL_SCANCODE_SEMICOLON: return {VK_OEM_1, 0x27, false};
    case SDL_SCANCODE_APOSTROPHE: return {VK_OEM_7, 0x28, false};
    case SDL_SCANCODE_GRAVE: return {VK_OEM_3, 0x29, false};
    case SDL_SCANCODE_COMMA: return {VK_OEM_COMMA, 0x33, false};
    case SDL_SCANCODE_PERIOD: return {VK_OEM_PERIOD, 0x34, false};
    case SDL_SCANCODE_SLASH: return {VK_OEM_2, 0x35, false};
    case SDL_SCANCODE_CAPSLOCK: return {VK_CAPITAL, 0x3A, false};
    case SDL_SCANCODE_F11: return {VK_F11, 0x57, false};
    case SDL_SCANCODE_F12: return {VK_F12, 0x58, false};
    case SDL_SCANCODE_NUMLOCKCLEAR: return {VK_NUMLOCK, 0x45, true};
    case SDL_SCANCODE_SCROLLLOCK: return {VK_SCROLL, 0x46, false};
    case SDL_SCANCODE_PAUSE: return {VK_PAUSE, 0x45, false};
    case SDL_SCANCODE_INSERT: return {VK_INSERT, 0x52, true};
    case SDL_SCANCODE_DELETE: return {VK_DELETE, 0x53, true};
    case SDL_SCANCODE_HOME: return {VK_HOME, 0x47, true};
    case SDL_SCANCODE_END: return {VK_END, 0x4F, true};
    case SDL_SCANCODE_PAGEUP: return {VK_PRIOR, 0x49, true};
    case SDL_SCANCODE_PAGEDOWN: return {VK_NEXT, 0x51, true};
    case SDL_SCANCODE_LEFT: return {VK_LEFT, 0x4B, true};
    case SDL_SCANCODE_RIGHT: return {VK_RIGHT, 0x4D, true};
    case SDL_SCANCODE_UP: return {VK_UP, 0x48, true};
    case SDL_SCANCODE_DOWN: return {VK_DOWN, 0x50, true};
    case SDL_SCANCODE_LSHIFT: return {VK_SHIFT, 0x2A, false};
    case SDL_SCANCODE_RSHIFT: return {VK_SHIFT, 0x36, false};
    case SDL_SCANCODE_LCTRL: return {VK_CONTROL, 0x1D, false};
    case SDL_SCANCODE_RCTRL: return {VK_CONTROL, 0x1D, true};
    case SDL_SCANCODE_LALT: return {VK_MENU, 0x38, false};
    case SDL_SCANCODE_RALT: return {VK_MENU, 0x38, true};
    case SDL_SCANCODE_LGUI: return {VK_LWIN, 0x5B, true};
    case SDL_SCANCODE_RGUI: return {VK_RWIN, 0x5C, true};
    case SDL_SCANCODE_APPLICATION: return {VK_APPS, 0x5D, true};
    default: return {0, 0, false};
  }
}

Window *windowOfSdl(Uint32 id) {
  for (HWND h : allWindows()) {
    Window *w = findWindow(h);
    if (w->sdl && SDL_GetWindowID(w->sdl) == id) return w;
  }
  return nullptr;
}

// The window that gets keys: the Win32 focus, which this layer keeps and the host
// follows (SetFocus moves the host's keyboard focus). Only with no focus does the
// window the host reports take it.
HWND keyTarget(Window *hostWindow) {
  HWND focus = GetFocus();
  if (focus && IsWindowVisible(focus)) return focus;
  if (!hostWindow) return nullptr;
  SetFocus(hostWindow->handle);
  focus = GetFocus();
  return focus ? focus : hostWindow->handle;
}

void pumpKey(const SDL_KeyboardEvent &e) {
  Window *host = windowOfSdl(e.windowID);
  if (host && !(host->style & WS_VISIBLE)) host = nullptr;
  KeyInfo k = keyInfo(e.keysym.scancode);
  if (!k.vk) return;
  bool down = e.type == SDL_KEYDOWN;
  bool alt = (e.keysym.mod & KMOD_ALT) != 0 || k.vk == VK_MENU;
  bool ctrl = (e.keysym.mod & KMOD_CTRL) != 0;
  bool sys = (alt && !ctrl) || k.vk == VK_F10;
  LPARAM lp = 1;  // repeat count
  lp |= static_cast<LPARAM>(k.scan & 0xFF) << 16;
  if (k.extended) lp |= 1L << 24;
  if (alt && !ctrl && down) lp |= 1L << 29;
  if (!down && alt && !ctrl && k.vk != VK_MENU) lp |= 1L << 29;
  if (!down || e.repeat) lp |= 1L << 30;
  if (!down) lp |= 1UL << 31;
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  HWND target = keyTarget(host);
  if (!target) return;
  postMessage(target, msg, k.vk, static_cast<LPARAM>(static_cast<DWORD>(lp)));
}

WPARAM mouseKeyFlags() {
  WPARAM flags = mouseButtons;
  SDL_Keymod mod = SDL_GetModState();
  if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
  if (mod & KMOD_CTRL) flags |= MK_CONTROL;
  return flags;
}

void postMouse(Window *top, UINT message, int x, int y) {
  HWND capture = GetCapture();
  HWND target;
  POINT p{x, y};
  if (capture && isDescendant(top->handle, capture)) {
    target = capture;
    POINT screen{x, y};
    ClientToScreen(top->handle, &screen);
    ScreenToClient(capture, &screen);
    p = screen;
  } else {
    target = childFromPoint(top->handle, p);
  }
  postMessage(target, message, mouseKeyFlags(), MAKELPARAM(p.x, p.y));
}

void pumpMouseButton(const SDL_MouseButtonEvent &e) {
  if (e.which == SDL_TOUCH_MOUSEID) return;
  Window *top = windowOfSdl(e.windowID);
  if (!top || !(top->style & WS_VISIBLE)) return;
  UINT flag = 0, downMsg = 0, upMsg = 0;
  switch (e.button) {
    case SDL_BUTTON_LEFT: flag = MK_LBUTTON; downMsg = WM_LBUTTONDOWN; upMsg = WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: flag = MK_RBUTTON; downMsg = WM_RBUTTONDOWN; upMsg = WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: flag = MK_MBUTTON; downMsg = WM_MBUTTONDOWN; upMsg = WM_MBUTTONUP; break;
    default: return;
  }
  bool down = e.type == SDL_MOUSEBUTTONDOWN;
  if (down) {
    // A click activates the window it lands in.
    HWND focus = GetFocus();
    if (!focus || !isDescendant(top->handle, focus)) SetFocus(top->handle);
    mouseButtons |= flag;
  } else {
    mouseButtons &= ~flag;
  }
  postMouse(top, down ? downMsg : upMsg, e.x, e.y);
}

void pumpWindowEvent(const SDL_WindowEvent &e) {
  Window *top = windowOfSdl(e.windowID);
  if (!top) return;
  HWND h = top->handle;
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      postMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      hostFocusGained(h);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      invalidate(h);
      top->surfaceDirty = true;
      break;
    case SDL_WINDOWEVENT_MOVED: {
      POINT o = clientOriginOnScreen(*top);
      if (o.x == e.data1 && o.y == e.data2) break;
      LONG dx = e.data1 - o.x, dy = e.data2 - o.y;
      top->rect.left += dx;
      top->rect.right += dx;
      top->rect.top += dy;
      top->rect.bottom += dy;
      sendMessage(h, WM_MOVE, 0, MAKELPARAM(e.data1, e.data2));
      break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      SIZE cs = clientSize(*top);
      if (cs.cx == e.data1 && cs.cy == e.data2) break;
      top->rect.right += e.data1 - cs.cx;
      top->rect.bottom += e.data2 - cs.cy;
      top->surfaceDirty = true;
      invalidate(h);
      sendMessage(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(e.data1, e.data2));
      break;
    }
    default:
      break;
  }
}

void pumpEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        pumpKey(e.key);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        pumpMouseButton(e.button);
        break;
      case SDL_MOUSEMOTION:
        if (e.motion.which == SDL_TOUCH_MOUSEID) break;
        if (Window *top = windowOfSdl(e.motion.windowID))
          if (top->style & WS_VISIBLE) postMouse(top, WM_MOUSEMOVE, e.motion.x, e.motion.y);
        break;
      case SDL_WINDOWEVENT:
        pumpWindowEvent(e.window);
        break;
      default:
        break;
    }
  }
}

bool inRange(UINT message, UINT low, UINT high) {
  if (low == 0 && high == 0) return true;
  return message >= low && message <= high;
}

bool forWindow(HWND filter, HWND target) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
  return target && isDescendant(filter, target);
}

}  // namespace

void postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m{};
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  int x = 0, y = 0;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&x, &y);
  m.pt = POINT{x, y};
  queue().push_back(m);
}

void dropMessagesFor(HWND window) {
  auto &q = queue();
  q.erase(std::remove_if(q.begin(), q.end(), [window](const MSG &m) { return m.hwnd == window; }), q.end());
}

}  // namespace glintwork

using namespace glintwork;

extern "C" {

BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) {
    diag("user32", "PeekMessageW", "null message pointer");
    return FALSE;
  }
  if (window && window != reinterpret_cast<HWND>(-1) && !checkWindow(window, "PeekMessageW")) return FALSE;
  CallScope scope;
  pumpEvents();
  paintDirtyWindows();
  bool remove = (removeFlags & PM_REMOVE) != 0;
  auto &q = queue();
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (!inRange(it->message, filterMin, filterMax) || !forWindow(window, it->hwnd)) continue;
    *msg = *it;
    if (remove) q.erase(it);
    GLINTWORK_TRACE("user32", "%p 0x%04x%s", static_cast<void *>(msg->hwnd), msg->message, remove ? "" : " (left queued)");
    return TRUE;
  }
  if (quitPosted && inRange(WM_QUIT, filterMin, filterMax)) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(quitCode);
    msg->time = GetTickCount();
    if (remove) quitPosted = false;
    GLINTWORK_TRACE("user32", "WM_QUIT %d%s", quitCode, remove ? "" : " (left queued)");
    return TRUE;
  }
  if (inRange(WM_PAINT, filterMin, filterMax))
    for (HWND h : allWindows()) {
      Window *w = findWindow(h);
      if (!w->needsPaint || !IsWindowVisible(h) || !forWindow(window, h)) continue;
      *msg = MSG{};
      msg->hwnd = h;
      msg->message = WM_PAINT;
      msg->time = GetTickCount();
      GLINTWORK_TRACE("user32", "%p WM_PAINT", static_cast<void *>(h));
      return TRUE;
    }
  // An empty queue gives up the rest of this time slice: a caller that polls
  // without pause then leaves the CPU to threads with work to do (the GL driver's
  // rasterisers on a small machine) and still polls again at once when idle.
  sched_yield();
  return FALSE;
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  if (!msg) {
    diag("user32", "GetMessageW", "null message pointer");
    return -1;
  }
  while (!PeekMessageW(msg, window, filterMin, filterMax, PM_REMOVE)) {
    if (SDL_WasInit(SDL_INIT_VIDEO))
      SDL_WaitEventTimeout(nullptr, 10);
    else
      SDL_Delay(10);
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG *msg) {
  GLINTWORK_TRACE("user32", "0x%04x", msg ? msg->message : 0u);
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && msg->message != WM_SYSKEYDOWN &&
      msg->message != WM_SYSKEYUP)
    return FALSE;
  if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
    SDL_Keymod mod = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetModState() : KMOD_NONE;
    bool shift = (mod & KMOD_SHIFT) != 0;
    WPARAM vk = msg->wParam;
    WCHAR ch = 0;
    if (vk >= 'A' && vk <= 'Z')
      ch = static_cast<WCHAR>(shift != ((mod & KMOD_CAPS) != 0) ? vk : vk + 32);
    else if (vk >= '0' && vk <= '9' && !shift)
      ch = static_cast<WCHAR>(vk);
    else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
      ch = static_cast<WCHAR>('0' + (vk - VK_NUMPAD0));
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB)
      ch = static_cast<WCHAR>(vk);
    if (ch && !(mod & KMOD_CTRL))
      postMessage(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, ch, msg->lParam);
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG *msg) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", msg ? static_cast<void *>(msg->hwnd) : nullptr, msg ? msg->message : 0u);
  if (!msg) {
    diag("user32", "DispatchMessageW", "null message pointer");
    return 0;
  }
  if (!msg->hwnd) return 0;
  Window *w = checkWindow(msg->hwnd, "DispatchMessageW");
  if (!w) return 0;
  CallScope scope;
  LRESULT result = sendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  // There is no BeginPaint: a dispatched WM_PAINT validates the window.
  if (msg->message == WM_PAINT)
    if (Window *after = findWindow(msg->hwnd)) after->needsPaint = false;
  return result;
}

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", static_cast<void *>(window), message);
  if (window && !checkWindow(window, "PostMessageW")) return FALSE;
  postMessage(window, message, wParam, lParam);
  return TRUE;
}

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", static_cast<void *>(window), message);
  if (!checkWindow(window, "SendMessageW")) return 0;
  CallScope scope;
  return sendMessage(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  GLINTWORK_TRACE("user32", "%d", exitCode);
  quitPosted = true;
  quitCode = exitCode;
}

}  // extern "C"
