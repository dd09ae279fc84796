// USER32 windows and classes: the handle table (HWND -> window record -> SDL
// window, kept here and nowhere else), class registration, creation and
// destruction with their message sequences, visibility, geometry with the fixed
// frame, window data, focus and capture, and the default window procedure.
// Top-level windows of program classes are hidden SDL windows with
// SDL_WINDOW_OPENGL sized to the client area; dialogs are SDL windows the layer
// draws itself; child windows are records inside their top-level window. Left
// out: menus, non-client messages, window regions, multiple threads.
#include "user32_internal.h"
#include "window_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>

namespace glintwork {

namespace {

std::vector<std::unique_ptr<WindowClass>> &classes() {
  static std::vector<std::unique_ptr<WindowClass>> all;
  return all;
}

struct Table {
  std::map<HWND, std::unique_ptr<Window>> live;
  std::vector<HWND> order;                       // creation order
  std::vector<std::unique_ptr<Window>> graveyard;  // destroyed, freed when no call is under way
  uintptr_t nextHandle = 0x10010;
  HWND focus = nullptr;
  HWND capture = nullptr;
  // The top-level window whose host keyboard focus SetFocus last asked for, until
  // the host reports it (or a second has passed).
  HWND hostFocusRequest = nullptr;
  Uint32 hostFocusRequestTime = 0;
  int cascade = 0;
};

Table &table() {
  static Table t;
  return t;
}

ATOM nextAtom = 0xC000;

HWND newHandle() {
  Table &t = table();
  HWND h = reinterpret_cast<HWND>(t.nextHandle);
  t.nextHandle += 4;  // never reused, so a stale handle stays invalid
  return h;
}

bool layerDrawn(const Window &w) { return w.windowClass->system; }

}  // namespace

Window *findWindow(HWND handle) {
  if (!handle) return nullptr;
  auto &live = table().live;
  auto it = live.find(handle);
  if (it == live.end() || it->second->dead) return nullptr;
  return it->second.get();
}

Window *checkWindow(HWND handle, const char *function) {
  Window *w = findWindow(handle);
  if (!w) {
    diag("user32", function, "invalid window handle %p", static_cast<void *>(handle));
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  }
  return w;
}

std::vector<HWND> allWindows() {
  std::vector<HWND> out;
  for (HWND h : table().order)
    if (findWindow(h)) out.push_back(h);
  return out;
}

bool isChild(const Window &window) { return (window.style & WS_CHILD) && window.parent; }

Window *topLevelOf(Window *window) {
  while (window && isChild(*window)) window = findWindow(window->parent);
  return window;
}

bool isDescendant(HWND ancestor, HWND window) {
  for (Window *w = findWindow(window); w; w = isChild(*w) ? findWindow(w->parent) : nullptr)
    if (w->handle == ancestor) return true;
  return false;
}

RECT frameInsets(DWORD style, DWORD exStyle) {
  int border = 0;
  if (style & WS_THICKFRAME)
    border = 4;
  else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME) ||
           (style & DS_MODALFRAME))
    border = 3;
  else if (style & WS_BORDER)
    border = 1;
  int edge = (exStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
  int caption = ((style & WS_CAPTION) == WS_CAPTION) ? 19 : 0;
  return RECT{border + edge, border + caption + edge, border + edge, border + edge};
}

static RECT insetsOf(const Window &w) {
  if (isChild(w)) {
    int b = (w.style & WS_BORDER) ? 1 : 0;
    int e = (w.exStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
    return RECT{b + e, b + e, b + e, b + e};
  }
  return frameInsets(w.style, w.exStyle);
}

SIZE clientSize(const Window &w) {
  RECT in = insetsOf(w);
  LONG cx = (w.rect.right - w.rect.left) - in.left - in.right;
  LONG cy = (w.rect.bottom - w.rect.top) - in.top - in.bottom;
  return SIZE{std::max<LONG>(cx, 0), std::max<LONG>(cy, 0)};
}

POINT clientOriginOnScreen(const Window &w) {
  RECT in = insetsOf(w);
  POINT p{w.rect.left + in.left, w.rect.top + in.top};
  if (isChild(w)) {
    if (Window *parent = findWindow(w.parent)) {
      POINT o = clientOriginOnScreen(*parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

POINT offsetInTopLevel(const Window &w) {
  POINT p{0, 0};
  const Window *cur = &w;
  while (isChild(*cur)) {
    p.x += cur->rect.left;
    p.y += cur->rect.top;
    Window *parent = findWindow(cur->parent);
    if (!parent) break;
    if (isChild(*parent)) {
      RECT in = insetsOf(*parent);
      p.x += in.left;
      p.y += in.top;
    }
    cur = parent;
  }
  return p;
}

bool ensureVideo(const char *function) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    diag("user32", function, "SDL_InitSubSystem(video) failed: %s", SDL_GetError());
    return false;
  }
  // When no display can be opened SDL quietly falls back to its offscreen driver,
  // and a program would run on with windows nobody can see. Without a display the
  // layer works only when asked to (SDL_VIDEODRIVER=offscreen or dummy).
  const char *chosen = SDL_GetCurrentVideoDriver();
  const char *asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  bool windowless = chosen && (std::strcmp(chosen, "offscreen") == 0 || std::strcmp(chosen, "dummy") == 0);
  if (windowless && !(asked && std::strstr(asked, chosen))) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    static bool told = false;
    if (told) return false;
    told = true;
    const char *display = SDL_getenv("DISPLAY");
    const char *wayland = SDL_getenv("WAYLAND_DISPLAY");
    diag("user32", function,
         "no display could be opened (DISPLAY=%s, WAYLAND_DISPLAY=%s); set SDL_VIDEODRIVER=offscreen to run "
         "without one",
         display && *display ? display : "(unset)", wayland && *wayland ? wayland : "(unset)");
    return false;
  }
  return true;
}

ATOM registerSystemClass(const WNDCLASSEXW &info, const ControlOps &ops, ATOM atom) {
  for (auto &c : classes())
    if (c->system && equalsNoCase(c->name, info.lpszClassName)) return c->atom;
  auto c = std::make_unique<WindowClass>();
  c->name = info.lpszClassName;
  c->info = info;
  c->info.lpszClassName = nullptr;
  c->ops = ops;
  c->system = true;
  c->atom = atom ? atom : nextAtom++;
  classes().push_back(std::move(c));
  return classes().back()->atom;
}

WindowClass *findClass(LPCWSTR name, HINSTANCE instance) {
  registerUser32Classes();
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto &c : classes())
      if (c->atom == atom) return c.get();
    return nullptr;
  }
  // The program's own classes first, then the layer's.
  for (auto &c : classes())
    if (!c->system && equalsNoCase(c->name, name) && (c->info.hInstance == instance || !instance))
      return c.get();
  for (auto &c : classes())
    if (!c->system && equalsNoCase(c->name, name)) return c.get();
  for (auto &c : classes())
    if (c->system && equalsNoCase(c->name, name)) return c.get();
  return nullptr;
}

void invalidate(HWND handle) {
  Window *w = findWindow(handle);
  if (!w) return;
  w->needsPaint = true;
  if (Window *top = topLevelOf(w)) top->surfaceDirty = true;
}

HWND childFromPoint(HWND top, POINT &point) {
  Window *cur = findWindow(top);
  while (cur) {
    Window *hit = nullptr;
    for (HWND ch : cur->children) {
      Window *c = findWindow(ch);
      if (!c || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
      if (point.x < c->rect.left || point.x >= c->rect.right || point.y < c->rect.top || point.y >= c->rect.bottom)
        continue;
      if (c->windowClass->ops.transparent && c->windowClass->ops.transparent(*c)) continue;
      hit = c;
      break;
    }
    if (!hit) return cur->handle;
    RECT in = insetsOf(*hit);
    point.x -= hit->rect.left + in.left;
    point.y -= hit->rect.top + in.top;
    cur = hit;
  }
  return top;
}

LRESULT sendMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(handle);
  if (!w || !w->proc) return 0;
  WNDPROC proc = w->proc;
  return proc(handle, message, wParam, lParam);
}

namespace {
int callDepth = 0;
}

void enterCall() { ++callDepth; }

void leaveCall() {
  if (--callDepth == 0) table().graveyard.clear();
}

}  // namespace glintwork

using namespace glintwork;

namespace {

void releaseRecord(HWND h) {
  Table &t = table();
  auto it = t.live.find(h);
  if (it == t.live.end()) return;
  Window *w = it->second.get();
  w->dead = true;
  if (t.focus == h) t.focus = nullptr;
  if (t.capture == h) t.capture = nullptr;
  if (Window *parent = findWindow(w->parent)) {
    auto &ch = parent->children;
    ch.erase(std::remove(ch.begin(), ch.end(), h), ch.end());
    if (Window *top = topLevelOf(parent)) top->surfaceDirty = true;
  }
  for (auto &entry : t.live)
    if (entry.second->lastFocus == h) entry.second->lastFocus = nullptr;
  dropMessagesFor(h);
  if (w->sdl) {
    SDL_DestroyWindow(w->sdl);
    w->sdl = nullptr;
  }
  t.graveyard.push_back(std::move(it->second));
  t.live.erase(it);
  t.order.erase(std::remove(t.order.begin(), t.order.end(), h), t.order.end());
}

void sendDestroy(HWND h) {
  sendMessage(h, WM_DESTROY, 0, 0);
  Window *w = findWindow(h);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids)
    if (Window *kw = findWindow(k)) {
      kw->destroying = true;
      sendDestroy(k);
    }
}

void sendNcDestroy(HWND h) {
  Window *w = findWindow(h);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) sendNcDestroy(k);
  sendMessage(h, WM_NCDESTROY, 0, 0);
  releaseRecord(h);
}

// Places a top-level window whose position is CW_USEDEFAULT: a cascade from (64, 64).
POINT defaultPosition() {
  Table &t = table();
  int step = t.cascade++ % 8;
  return POINT{64 + 32 * step, 64 + 32 * step};
}

Uint32 sdlFlagsFor(const Window &w) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (!layerDrawn(w)) flags |= SDL_WINDOW_OPENGL;
  if (w.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if ((w.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  return flags;
}

void applyTopLevelGeometry(Window &w) {
  if (!w.sdl) return;
  RECT in = insetsOf(w);
  SIZE cs = clientSize(w);
  SDL_SetWindowPosition(w.sdl, w.rect.left + in.left, w.rect.top + in.top);
  SDL_SetWindowSize(w.sdl, std::max<LONG>(cs.cx, 1), std::max<LONG>(cs.cy, 1));
}

void sendSizeAndMove(HWND h) {
  Window *w = findWindow(h);
  if (!w) return;
  SIZE cs = clientSize(*w);
  sendMessage(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cs.cx, cs.cy));
  w = findWindow(h);
  if (!w) return;
  POINT o = isChild(*w) ? POINT{w->rect.left + insetsOf(*w).left, w->rect.top + insetsOf(*w).top}
                        : clientOriginOnScreen(*w);
  sendMessage(h, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
}

LONG_PTR *extraSlot(Window &w, int index) {
  if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w.extra.size()) return nullptr;
  return reinterpret_cast<LONG_PTR *>(w.extra.data() + index);
}

}  // namespace

SDL_Window *glintworkWindowDrawable(HWND window) {
  Window *w = findWindow(window);
  if (!w || isChild(*w) || !w->drawable) return nullptr;
  return w->sdl;
}

extern "C" {

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW *wc) {
  GLINTWORK_TRACE("user32", "%s", wc ? nameForMessage(wc->lpszClassName).c_str() : "NULL");
  registerUser32Classes();
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXW)) {
    diag("user32", "RegisterClassExW", "%s", wc ? "cbSize is not sizeof(WNDCLASSEXW)" : "null class");
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // A class without a window procedure registers, as on Windows; CreateWindowExW
  // refuses its windows.
  if (!wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName || wc->cbClsExtra < 0 ||
      wc->cbWndExtra < 0) {
    diag("user32", "RegisterClassExW", "malformed class %s (needs a class name)",
         nameForMessage(wc->lpszClassName).c_str());
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (auto &c : classes())
    if (!c->system && c->info.hInstance == wc->hInstance && equalsNoCase(c->name, wc->lpszClassName)) {
      diag("user32", "RegisterClassExW", "class %s is already registered", narrow(wc->lpszClassName).c_str());
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  auto c = std::make_unique<WindowClass>();
  c->name = wc->lpszClassName;
  c->info = *wc;
  c->info.lpszClassName = nullptr;
  c->info.lpszMenuName = nullptr;
  c->atom = nextAtom++;
  ATOM atom = c->atom;
  classes().push_back(std::move(c));
  return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance) {
  GLINTWORK_TRACE("user32", "%s", nameForMessage(className).c_str());
  auto &all = classes();
  for (auto it = all.begin(); it != all.end(); ++it) {
    WindowClass *c = it->get();
    if (c->system || c->info.hInstance != instance) continue;
    bool same = IS_INTRESOURCE(className) ? c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className))
                                          : (className && equalsNoCase(c->name, className));
    if (!same) continue;
    for (HWND h : allWindows())
      if (findWindow(h)->windowClass == c) {
        diag("user32", "UnregisterClassW", "class %s still has windows", narrow(c->name).c_str());
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
      }
    all.erase(it);
    return TRUE;
  }
  diag("user32", "UnregisterClassW", "no class %s", nameForMessage(className).c_str());
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  GLINTWORK_TRACE("user32", "class %s style 0x%08x %dx%d", nameForMessage(className).c_str(),
                  static_cast<unsigned>(style), width, height);
  CallScope scope;
  WindowClass *cls = findClass(className, instance);
  if (!cls) {
    diag("user32", "CreateWindowExW", "no window class %s", nameForMessage(className).c_str());
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (!cls->info.lpfnWndProc) {
    // Windows would call through the null procedure with WM_NCCREATE.
    diag("user32", "CreateWindowExW", "window class %s has no window procedure", narrow(cls->name).c_str());
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Window *parentWindow = nullptr;
  if (parent) {
    parentWindow = checkWindow(parent, "CreateWindowExW");
    if (!parentWindow) return nullptr;
  } else if (style & WS_CHILD) {
    diag("user32", "CreateWindowExW", "WS_CHILD window of class %s without a parent", narrow(cls->name).c_str());
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }

  auto record = std::make_unique<Window>();
  Window &w = *record;
  w.handle = newHandle();
  w.windowClass = cls;
  w.proc = cls->info.lpfnWndProc;
  w.style = style & ~static_cast<DWORD>(WS_VISIBLE);
  w.exStyle = exStyle;
  w.text = windowName ? windowName : L"";
  w.instance = instance;
  w.extra.assign(static_cast<size_t>(std::max(cls->info.cbWndExtra, 0)), 0);
  if (style & WS_CHILD) {
    w.parent = parent;
    w.id = reinterpret_cast<LONG_PTR>(menu);
  } else if (parentWindow) {
    w.owner = topLevelOf(parentWindow)->handle;
  }

  if (!(style & WS_CHILD)) {
    if (x == CW_USEDEFAULT) {
      POINT p = defaultPosition();
      x = p.x;
      y = p.y;
    }
    if (width == CW_USEDEFAULT) {
      width = 800;
      height = 600;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }
  w.rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};

  if (!(style & WS_CHILD)) {
    if (!ensureVideo("CreateWindowExW")) return nullptr;
    RECT in = insetsOf(w);
    SIZE cs = clientSize(w);
    w.drawable = !layerDrawn(w);
    w.sdl = SDL_CreateWindow(narrow(w.text).c_str(), x + in.left, y + in.top, std::max<LONG>(cs.cx, 1),
                             std::max<LONG>(cs.cy, 1), sdlFlagsFor(w));
    if (!w.sdl) {
      diag("user32", "CreateWindowExW", "SDL_CreateWindow failed: %s", SDL_GetError());
      return nullptr;
    }
  }

  HWND h = w.handle;
  Table &t = table();
  t.live.emplace(h, std::move(record));
  t.order.push_back(h);
  if (parentWindow && (style & WS_CHILD)) parentWindow->children.push_back(h);

  CREATESTRUCTW cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if (!sendMessage(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    diag("user32", "CreateWindowExW", "WM_NCCREATE refused the window");
    if (findWindow(h)) {
      sendMessage(h, WM_NCDESTROY, 0, 0);
      releaseRecord(h);
    }
    return nullptr;
  }
  if (!findWindow(h)) return nullptr;
  if (sendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    diag("user32", "CreateWindowExW", "WM_CREATE refused the window");
    DestroyWindow(h);
    return nullptr;
  }
  if (!findWindow(h)) return nullptr;
  sendSizeAndMove(h);
  if (!findWindow(h)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(h, SW_SHOW);
  return findWindow(h) ? h : nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  CallScope scope;
  Window *w = checkWindow(window, "DestroyWindow");
  if (!w) return FALSE;
  if (w->destroying) return TRUE;
  w->destroying = true;
  // Owned windows go first.
  if (!isChild(*w))
    for (HWND other : allWindows()) {
      Window *o = findWindow(other);
      if (o && o->owner == window && !o->destroying) DestroyWindow(other);
    }
  w = findWindow(window);
  if (!w) return TRUE;
  Table &t = table();
  if (t.focus && isDescendant(window, t.focus)) t.focus = nullptr;
  if (t.capture && isDescendant(window, t.capture)) t.capture = nullptr;
  if (w->sdl) SDL_HideWindow(w->sdl);
  if (isChild(*w))
    if (Window *top = topLevelOf(findWindow(w->parent))) top->surfaceDirty = true;
  sendDestroy(window);
  sendNcDestroy(window);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND window) { return findWindow(window) ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  for (Window *w = findWindow(window); w; w = isChild(*w) ? findWindow(w->parent) : nullptr) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!isChild(*w)) return TRUE;
  }
  return FALSE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  GLINTWORK_TRACE("user32", "%p %d", static_cast<void *>(window), command);
  CallScope scope;
  Window *w = checkWindow(window, "ShowWindow");
  if (!w) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool show = command != SW_HIDE;
  if (show != wasVisible) {
    sendMessage(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    w = findWindow(window);
    if (!w) return wasVisible;
    if (show)
      w->style |= WS_VISIBLE;
    else
      w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (w->sdl) {
      if (show)
        SDL_ShowWindow(w->sdl);
      else
        SDL_HideWindow(w->sdl);
    }
    invalidate(window);
    if (Window *parent = findWindow(w->parent)) invalidate(parent->handle);
    if (!show && table().focus && isDescendant(window, table().focus)) SetFocus(nullptr);
  }
  w = findWindow(window);
  if (!w) return wasVisible;
  if (w->sdl) {
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE ||
        command == SW_FORCEMINIMIZE)
      SDL_MinimizeWindow(w->sdl);
    else if (command == SW_RESTORE)
      SDL_RestoreWindow(w->sdl);
  }
  // Showing a top-level window activates it: the focus moves into it.
  bool activates = command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_SHOWDEFAULT ||
                   command == SW_SHOWMAXIMIZED || command == SW_RESTORE;
  if (show && activates && !isChild(*w)) {
    HWND focus = table().focus;
    if (!focus || !isDescendant(window, focus)) SetFocus(window);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  CallScope scope;
  Window *w = checkWindow(window, "UpdateWindow");
  if (!w) return FALSE;
  if (w->needsPaint && (w->style & WS_VISIBLE)) {
    sendMessage(window, WM_PAINT, 0, 0);
    if (Window *after = findWindow(window)) after->needsPaint = false;
  }
  paintDirtyWindows();
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  (void)rect;
  (void)erase;
  if (!window) {
    for (HWND h : allWindows()) invalidate(h);
    return TRUE;
  }
  if (!checkWindow(window, "InvalidateRect")) return FALSE;
  invalidate(window);
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "GetWindowRect");
  if (!w || !rect) {
    if (w) diag("user32", "GetWindowRect", "null rectangle");
    return FALSE;
  }
  if (!isChild(*w)) {
    *rect = w->rect;
    return TRUE;
  }
  POINT o{0, 0};
  if (Window *parent = findWindow(w->parent)) o = clientOriginOnScreen(*parent);
  *rect = RECT{w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "GetClientRect");
  if (!w || !rect) {
    if (w) diag("user32", "GetClientRect", "null rectangle");
    return FALSE;
  }
  SIZE cs = clientSize(*w);
  *rect = RECT{0, 0, cs.cx, cs.cy};
  return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  GLINTWORK_TRACE("user32", "style 0x%08x ex 0x%08x", static_cast<unsigned>(style), static_cast<unsigned>(exStyle));
  if (!rect) {
    diag("user32", "AdjustWindowRectEx", "null rectangle");
    return FALSE;
  }
  if (menu) diagOnce("user32", "AdjustWindowRectEx", "menus are not supported; no menu bar is added");
  RECT in = frameInsets(style, exStyle);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "ClientToScreen");
  if (!w || !point) return FALSE;
  POINT o = clientOriginOnScreen(*w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "ScreenToClient");
  if (!w || !point) return FALSE;
  POINT o = clientOriginOnScreen(*w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  GLINTWORK_TRACE("user32", "%p %d,%d %dx%d", static_cast<void *>(window), x, y, width, height);
  CallScope scope;
  Window *w = checkWindow(window, "MoveWindow");
  if (!w) return FALSE;
  if (isChild(*w))
    if (Window *top = topLevelOf(findWindow(w->parent))) top->surfaceDirty = true;
  w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  applyTopLevelGeometry(*w);
  if (repaint) invalidate(window);
  if (Window *top = topLevelOf(w)) top->surfaceDirty = true;
  sendSizeAndMove(window);
  return TRUE;
}

HWND WINAPI GetParent(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "GetParent");
  if (!w) return nullptr;
  return isChild(*w) ? w->parent : w->owner;
}

HWND WINAPI GetWindow(HWND window, UINT relation) {
  GLINTWORK_TRACE("user32", "%p %u", static_cast<void *>(window), relation);
  Window *w = checkWindow(window, "GetWindow");
  if (!w) return nullptr;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (relation == GW_OWNER) return isChild(*w) ? nullptr : w->owner;
  // Siblings: a child's among its parent's children, in z-order.
  std::vector<HWND> siblings;
  if (Window *parent = isChild(*w) ? findWindow(w->parent) : nullptr) siblings = parent->children;
  else
    for (HWND h : allWindows())
      if (!isChild(*findWindow(h))) siblings.push_back(h);
  auto at = std::find(siblings.begin(), siblings.end(), window);
  switch (relation) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT: return (at == siblings.end() || at + 1 == siblings.end()) ? nullptr : *(at + 1);
    case GW_HWNDPREV: return (at == siblings.end() || at == siblings.begin()) ? nullptr : *(at - 1);
    default:
      diag("user32", "GetWindow", "unsupported relation %u", relation);
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

int WINAPI GetClassNameW(HWND window, LPWSTR buffer, int size) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "GetClassNameW");
  if (!w || !buffer || size <= 0) return 0;
  size_t n = std::min<size_t>(w->windowClass->name.size(), static_cast<size_t>(size) - 1);
  std::wmemcpy(buffer, w->windowClass->name.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

int WINAPI GetDlgCtrlID(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = checkWindow(window, "GetDlgCtrlID");
  if (!w || !isChild(*w)) return 0;
  return static_cast<int>(w->id);
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
  GLINTWORK_TRACE("user32", "%p index %d", static_cast<void *>(window), index);
  Window *w = checkWindow(window, "GetWindowLongPtrW");
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(isChild(*w) ? w->parent : w->owner);
    case GWLP_ID:
      return w->id;
    case GWL_STYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWLP_USERDATA:
      return w->userData;
    default:
      if (LONG_PTR *slot = extraSlot(*w, index)) return *slot;
      diag("user32", "GetWindowLongPtrW", "invalid index %d", index);
      SetLastError(1413);  // ERROR_INVALID_INDEX
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
  GLINTWORK_TRACE("user32", "%p index %d", static_cast<void *>(window), index);
  Window *w = checkWindow(window, "SetWindowLongPtrW");
  if (!w) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = value;
      return old;
    case GWL_STYLE:
      old = static_cast<LONG>(w->style);
      w->style = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_VISIBLE)) | (w->style & WS_VISIBLE);
      invalidate(window);
      return old;
    case GWL_EXSTYLE:
      old = static_cast<LONG>(w->exStyle);
      w->exStyle = static_cast<DWORD>(value);
      return old;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    default:
      if (LONG_PTR *slot = extraSlot(*w, index)) {
        old = *slot;
        *slot = value;
        return old;
      }
      diag("user32", "SetWindowLongPtrW", "invalid index %d", index);
      SetLastError(1413);  // ERROR_INVALID_INDEX
      return 0;
  }
}

// The 32-bit forms: the value is a LONG, sign-extended when stored and cut to
// its low 32 bits when read, as on 64-bit Windows. Pointers need the Ptr forms.
LONG WINAPI GetWindowLongW(HWND window, int index) {
  GLINTWORK_TRACE("user32", "%p index %d", static_cast<void *>(window), index);
  if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT) {
    diag("user32", "GetWindowLongW", "index %d holds a pointer; use GetWindowLongPtrW", index);
    SetLastError(1413);
    return 0;
  }
  return static_cast<LONG>(GetWindowLongPtrW(window, index));
}

LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) {
  GLINTWORK_TRACE("user32", "%p index %d", static_cast<void *>(window), index);
  if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT) {
    diag("user32", "SetWindowLongW", "index %d holds a pointer; use SetWindowLongPtrW", index);
    SetLastError(1413);
    return 0;
  }
  return static_cast<LONG>(SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(value)));
}

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  if (!checkWindow(window, "SetWindowTextW")) return FALSE;
  return sendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR buffer, int size) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  if (!checkWindow(window, "GetWindowTextW")) return 0;
  return static_cast<int>(sendMessage(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", static_cast<void *>(window), message);
  if (!proc) return 0;
  CallScope scope;
  return proc(window, message, wParam, lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", static_cast<void *>(window), message);
  Window *w = findWindow(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          return sendMessage(window, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
          ShowWindow(window, SW_MINIMIZE);
          return 0;
        case SC_RESTORE:
          ShowWindow(window, SW_RESTORE);
          return 0;
        default:
          return 0;
      }
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the top-level window.
      if (wParam == VK_F4 && (lParam & (1L << 29)))
        if (Window *top = topLevelOf(w)) postMessage(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_PAINT:
      w->needsPaint = false;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
      if (w->sdl) SDL_SetWindowTitle(w->sdl, narrow(w->text).c_str());
      invalidate(window);
      return TRUE;
    case WM_GETTEXT: {
      auto *out = reinterpret_cast<LPWSTR>(lParam);
      if (!out || wParam == 0) return 0;
      size_t n = std::min<size_t>(w->text.size(), static_cast<size_t>(wParam) - 1);
      std::wmemcpy(out, w->text.data(), n);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    default:
      return 0;
  }
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
  GLINTWORK_TRACE("user32", "%s", nameForMessage(name).c_str());
  ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
  if (!instance && IS_INTRESOURCE(name) && id >= 32512 && id <= 32518)
    return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x10000 + id));
  diag("user32", "LoadIconW", "only the stock icons are available (asked for %s)", nameForMessage(name).c_str());
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  GLINTWORK_TRACE("user32", "%s", nameForMessage(name).c_str());
  ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
  bool stock = id == 32512 || id == 32513 || id == 32514 || id == 32515 || id == 32649;
  if (!instance && IS_INTRESOURCE(name) && stock)
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x20000 + id));
  diag("user32", "LoadCursorW", "only the stock cursors are available (asked for %s)",
       nameForMessage(name).c_str());
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

}  // extern "C"

namespace {
bool focusFromHost = false;
}

void glintwork::hostFocusGained(HWND top) {
  Table &t = table();
  if (t.hostFocusRequest && findWindow(t.hostFocusRequest)) {
    bool stale = t.hostFocusRequest != top && SDL_GetTicks() - t.hostFocusRequestTime < 1000;
    if (stale) return;  // an event from before the request
    t.hostFocusRequest = nullptr;
  }
  HWND focus = GetFocus();
  if (focus && isDescendant(top, focus)) return;
  focusFromHost = true;
  SetFocus(top);
  focusFromHost = false;
}

extern "C" {

HWND WINAPI SetFocus(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  CallScope scope;
  Table &t = table();
  if (window && !checkWindow(window, "SetFocus")) return nullptr;
  HWND old = t.focus;
  if (window == old) return old;
  // A dialog remembers which of its controls had the focus.
  if (Window *oldWindow = findWindow(old))
    if (isChild(*oldWindow)) {
      Window *oldTop = topLevelOf(oldWindow);
      if (oldTop && (!window || !isDescendant(oldTop->handle, window))) oldTop->lastFocus = old;
    }
  t.focus = window;
  // Moving the focus to another top-level window moves the host's keyboard focus
  // with it, so the keys follow the Win32 focus.
  Window *newTop = topLevelOf(findWindow(window));
  Window *oldTop = topLevelOf(findWindow(old));
  if (!focusFromHost && newTop && newTop != oldTop && newTop->sdl && (newTop->style & WS_VISIBLE)) {
    SDL_SetWindowInputFocus(newTop->sdl);
    t.hostFocusRequest = newTop->handle;
    t.hostFocusRequestTime = SDL_GetTicks();
  }
  if (findWindow(old)) {
    invalidate(old);
    sendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  }
  if (window && t.focus == window && findWindow(window)) {
    invalidate(window);
    sendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
  return findWindow(old) ? old : nullptr;
}

HWND WINAPI GetFocus(void) { return findWindow(table().focus) ? table().focus : nullptr; }

HWND WINAPI SetCapture(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Table &t = table();
  if (window && !checkWindow(window, "SetCapture")) return nullptr;
  HWND old = t.capture;
  t.capture = window;
  if (old && old != window && findWindow(old))
    sendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  return old;
}

BOOL WINAPI ReleaseCapture(void) {
  GLINTWORK_TRACE("user32", "%s", "capture released");
  Table &t = table();
  HWND old = t.capture;
  t.capture = nullptr;
  if (old && findWindow(old)) sendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND WINAPI GetCapture(void) { return findWindow(table().capture) ? table().capture : nullptr; }

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  GLINTWORK_TRACE("user32", "%p %d", static_cast<void *>(window), enable);
  Window *w = checkWindow(window, "EnableWindow");
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable)
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  else
    w->style |= WS_DISABLED;
  if (wasDisabled == (enable ? TRUE : FALSE)) sendMessage(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  invalidate(window);
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(window));
  Window *w = findWindow(window);
  return (w && !(w->style & WS_DISABLED)) ? TRUE : FALSE;
}

}  // extern "C"
