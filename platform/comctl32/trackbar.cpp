// COMCTL32: InitCommonControlsEx and the horizontal trackbar (msctls_trackbar32).
// The trackbar keeps a range (0-100 until set), a position always inside it, a
// line size 1 and a page size of a fifth of the range unless set. Dragging the
// thumb, clicking the channel (one page towards the click) and the keys (arrows
// +-1, Page Up/Down +-page, Home/End) while it has the focus move it and tell
// the parent through WM_HSCROLL with the trackbar in LPARAM; a drag ends with
// TB_THUMBPOSITION and TB_ENDTRACK, a click or key with TB_ENDTRACK. Setting the
// position or range by message tells nobody. Geometry as comctl32 6 lays out a
// default horizontal trackbar: the channel 8 px in from each end and 9 px from
// the top, 4 px thick; the thumb 11 x 18 px pointing down, 3 px from the top.
// Left out: vertical trackbars (refused at creation), selection ranges, tooltips,
// buddy windows, auto-repeat while the mouse is held on the channel.
#include "../user32/user32_internal.h"

#include <commctrl.h>

#include <SDL.h>

#include <algorithm>

namespace glintwork {

namespace {

constexpr int kChannelInset = 8;
constexpr int kChannelTop = 9;
constexpr int kChannelHeight = 4;
constexpr int kThumbWidth = 11;
constexpr int kThumbTop = 3;
constexpr int kThumbBody = 13;  // the square part; the point adds 5 px
constexpr int kThumbLength = 18;

enum class Drag { None, Thumb, Page };

struct Trackbar {
  LONG min = 0, max = 100, pos = 0;
  LONG line = 1;
  LONG page = 20;
  bool pageSet = false;  // TBM_SETPAGESIZE given: the range no longer sets it
  LONG ticFrequency = 1;
  Drag drag = Drag::None;
  int dragOffset = 0;  // cursor x minus thumb centre when the drag began
};

Trackbar &state(Window &w) {
  if (!w.control) w.control = std::make_shared<Trackbar>();
  return *static_cast<Trackbar *>(w.control.get());
}

LONG clampPos(const Trackbar &t, LONG pos) { return std::clamp(pos, t.min, std::max(t.min, t.max)); }

void rangeChanged(Trackbar &t) {
  if (t.max < t.min) t.max = t.min;
  if (!t.pageSet) t.page = std::max<LONG>((t.max - t.min) / 5, 1);
  t.pos = clampPos(t, t.pos);
}

RECT channelRect(const Window &w) {
  SIZE cs = clientSize(w);
  return RECT{kChannelInset, kChannelTop, std::max<LONG>(cs.cx - kChannelInset, kChannelInset + kThumbWidth),
              kChannelTop + kChannelHeight};
}

// Thumb centre (x) for a position.
double thumbCentre(const Window &w, const Trackbar &t, LONG pos) {
  RECT ch = channelRect(w);
  double travel = static_cast<double>(ch.right - ch.left - kThumbWidth);
  double f = t.max > t.min ? static_cast<double>(pos - t.min) / (t.max - t.min) : 0.0;
  return ch.left + kThumbWidth / 2.0 + f * travel;
}

RECT thumbRect(const Window &w, const Trackbar &t) {
  auto left = static_cast<LONG>(thumbCentre(w, t, t.pos) - kThumbWidth / 2.0 + 0.5);
  return RECT{left, kThumbTop, left + kThumbWidth, kThumbTop + kThumbLength};
}

LONG posFromCentre(const Window &w, const Trackbar &t, double centre) {
  RECT ch = channelRect(w);
  double travel = static_cast<double>(ch.right - ch.left - kThumbWidth);
  if (travel <= 0 || t.max <= t.min) return t.min;
  double f = (centre - ch.left - kThumbWidth / 2.0) / travel;
  auto pos = static_cast<LONG>(t.min + f * (t.max - t.min) + (f >= 0 ? 0.5 : -0.5));
  return clampPos(t, pos);
}

void notify(HWND h, WORD code, LONG pos = 0) {
  Window *w = findWindow(h);
  if (!w || !findWindow(w->parent)) return;
  WPARAM wp = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? MAKEWPARAM(code, static_cast<WORD>(pos))
                                                                  : MAKEWPARAM(code, 0);
  sendMessage(w->parent, WM_HSCROLL, wp, reinterpret_cast<LPARAM>(h));
}

// Moves to a position the user asked for and reports it with `code`.
void userMove(HWND h, LONG pos, WORD code) {
  Window *w = findWindow(h);
  if (!w) return;
  Trackbar &t = state(*w);
  pos = clampPos(t, pos);
  if (pos == t.pos) return;
  t.pos = pos;
  invalidate(h);
  notify(h, code, pos);
}

LRESULT CALLBACK trackbarProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(h);
  if (!w) return 0;
  Trackbar &t = state(*w);
  switch (message) {
    case WM_CREATE:
      if (w->style & TBS_VERT) {
        diag("comctl32", "trackbar", "vertical trackbars are not supported");
        return -1;
      }
      return 0;
    case TBM_GETPOS:
      return t.pos;
    case TBM_GETRANGEMIN:
      return t.min;
    case TBM_GETRANGEMAX:
      return t.max;
    case TBM_SETPOS:
      t.pos = clampPos(t, static_cast<LONG>(lParam));
      if (wParam) invalidate(h);
      return 0;
    case TBM_SETRANGE:
      t.min = static_cast<short>(LOWORD(lParam));
      t.max = static_cast<short>(HIWORD(lParam));
      rangeChanged(t);
      if (wParam) invalidate(h);
      return 0;
    case TBM_SETRANGEMIN:
      t.min = static_cast<LONG>(lParam);
      rangeChanged(t);
      if (wParam) invalidate(h);
      return 0;
    case TBM_SETRANGEMAX:
      t.max = static_cast<LONG>(lParam);
      rangeChanged(t);
      if (wParam) invalidate(h);
      return 0;
    case TBM_SETPAGESIZE: {
      LONG old = t.page;
      t.page = static_cast<LONG>(lParam);
      t.pageSet = true;
      return old;
    }
    case TBM_GETPAGESIZE:
      return t.page;
    case TBM_SETLINESIZE: {
      LONG old = t.line;
      t.line = static_cast<LONG>(lParam);
      return old;
    }
    case TBM_GETLINESIZE:
      return t.line;
    case TBM_SETTICFREQ:
      t.ticFrequency = std::max<LONG>(static_cast<LONG>(wParam), 1);
      invalidate(h);
      return 0;
    case TBM_GETTHUMBRECT:
      if (auto *r = reinterpret_cast<RECT *>(lParam)) *r = thumbRect(*w, t);
      return 0;
    case TBM_GETCHANNELRECT:
      if (auto *r = reinterpret_cast<RECT *>(lParam)) *r = channelRect(*w);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(h);
      w = findWindow(h);
      if (!w) return 0;
      int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      RECT th = thumbRect(*w, t);
      SetCapture(h);
      if (x >= th.left && x < th.right && y >= th.top && y < th.bottom) {
        t.drag = Drag::Thumb;
        t.dragOffset = x - static_cast<int>(thumbCentre(*w, t, t.pos) + 0.5);
        invalidate(h);
      } else {
        t.drag = Drag::Page;
        bool before = x < thumbCentre(*w, t, t.pos);
        userMove(h, before ? t.pos - t.page : t.pos + t.page, before ? TB_PAGEUP : TB_PAGEDOWN);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (t.drag == Drag::Thumb) userMove(h, posFromCentre(*w, t, GET_X_LPARAM(lParam) - t.dragOffset), TB_THUMBTRACK);
      return 0;
    case WM_LBUTTONUP: {
      Drag was = t.drag;
      t.drag = Drag::None;
      if (GetCapture() == h) ReleaseCapture();
      if (was == Drag::Thumb) {
        invalidate(h);
        notify(h, TB_THUMBPOSITION, t.pos);
      }
      if (was != Drag::None) notify(h, TB_ENDTRACK);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (t.drag != Drag::None && reinterpret_cast<HWND>(lParam) != h) {
        t.drag = Drag::None;
        invalidate(h);
      }
      return 0;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT:
        case VK_UP:
          userMove(h, t.pos - t.line, TB_LINEUP);
          return 0;
        case VK_RIGHT:
        case VK_DOWN:
          userMove(h, t.pos + t.line, TB_LINEDOWN);
          return 0;
        case VK_PRIOR:
          userMove(h, t.pos - t.page, TB_PAGEUP);
          return 0;
        case VK_NEXT:
          userMove(h, t.pos + t.page, TB_PAGEDOWN);
          return 0;
        case VK_HOME:
          userMove(h, t.min, TB_TOP);
          return 0;
        case VK_END:
          userMove(h, t.max, TB_BOTTOM);
          return 0;
        default:
          return DefWindowProcW(h, message, wParam, lParam);
      }
    case WM_KEYUP:
      switch (wParam) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
          notify(h, TB_ENDTRACK);
          return 0;
        default:
          return DefWindowProcW(h, message, wParam, lParam);
      }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      invalidate(h);
      return 0;
    default:
      if (message >= WM_USER && message < WM_USER + 64) {
        diagOnce("comctl32", "trackbar", "message WM_USER+%u is not supported", message - WM_USER);
        return 0;
      }
      return DefWindowProcW(h, message, wParam, lParam);
  }
}

void paintTrackbar(Window &w, SDL_Surface *s, int x, int y) {
  Trackbar &t = state(w);
  RECT ch = channelRect(w);
  Color edge{174, 174, 174};
  fillRect(s, x + ch.left, y + ch.top, ch.right - ch.left, ch.bottom - ch.top, edge);
  fillRect(s, x + ch.left + 1, y + ch.top + 1, ch.right - ch.left - 2, ch.bottom - ch.top - 2, colors::light);

  if ((w.style & TBS_AUTOTICKS) && !(w.style & TBS_NOTICKS) && t.max > t.min) {
    double last = -10;
    int tickY = y + kThumbTop + kThumbLength + 1;
    for (LONG p = t.min; p <= t.max; p += t.ticFrequency) {
      double cx = thumbCentre(w, t, p);
      if (p != t.min && p != t.max && cx - last < 3) continue;
      fillRect(s, x + static_cast<int>(cx), tickY, 1, 3, colors::text);
      last = cx;
    }
  }

  RECT th = thumbRect(w, t);
  bool active = t.drag == Drag::Thumb;
  double l = x + th.left + 0.5, r = x + th.right - 0.5, top = y + th.top + 0.5;
  double body = top + kThumbBody - 1, tip = y + th.top + kThumbLength - 0.5, mid = (l + r) / 2;
  std::vector<std::pair<double, double>> outline{{l, top}, {r, top}, {r, body}, {mid, tip}, {l, body}};
  fillPolygon(s, {{l - 0.5, top - 0.5}, {r + 0.5, top - 0.5}, {r + 0.5, body}, {mid, tip + 0.5}, {l - 0.5, body}},
              active ? Color{204, 228, 247} : colors::light);
  strokePolygon(s, outline, active ? colors::accent : edge);

  if (GetFocus() == w.handle) {
    SIZE cs = clientSize(w);
    for (int i = 0; i < cs.cx; i += 2) {
      fillRect(s, x + i, y, 1, 1, colors::text);
      fillRect(s, x + i, y + cs.cy - 1, 1, 1, colors::text);
    }
    for (int i = 0; i < cs.cy; i += 2) {
      fillRect(s, x, y + i, 1, 1, colors::text);
      fillRect(s, x + cs.cx - 1, y + i, 1, 1, colors::text);
    }
  }
}

void registerTrackbar() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = trackbarProc;
  wc.lpszClassName = TRACKBAR_CLASSW;
  ControlOps ops;
  ops.paint = paintTrackbar;
  registerSystemClass(wc, ops, 0);
}

}  // namespace

}  // namespace glintwork

using namespace glintwork;

extern "C" {

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *init) {
  GLINTWORK_TRACE("comctl32", "0x%x", init ? static_cast<unsigned>(init->dwICC) : 0u);
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    diag("comctl32", "InitCommonControlsEx", "%s", init ? "dwSize is not sizeof(INITCOMMONCONTROLSEX)" : "null");
    return FALSE;
  }
  const DWORD available = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  if (init->dwICC & ICC_BAR_CLASSES) registerTrackbar();
  if (init->dwICC & ~available) {
    diag("comctl32", "InitCommonControlsEx", "classes 0x%x are not available (only the trackbar of ICC_BAR_CLASSES)",
         static_cast<unsigned>(init->dwICC & ~available));
    return FALSE;
  }
  return TRUE;
}

void WINAPI InitCommonControls(void) { registerTrackbar(); }

}  // extern "C"
