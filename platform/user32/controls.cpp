// USER32's predefined controls that the layer draws itself: Button (push
// buttons, check boxes, radio buttons with the Win32 group rule, group boxes) and
// Static (left, centred or right text, wrapped in its rectangle). A flat look
// after Windows 10's: light face, dark glyphs, an accent for the pushed state.
// Left out: owner-drawn, icon and bitmap buttons and statics, BS_NOTIFY's focus
// notifications, mnemonics (the '&' prefix is shown as typed, minus the '&').
#include "user32_internal.h"

#include <SDL.h>

#include <algorithm>

namespace glintwork {

namespace {

struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;   // held down by the mouse or the space bar
  bool tracking = false;  // the mouse went down on it
};

ButtonState &buttonState(Window &w) {
  if (!w.control) w.control = std::make_shared<ButtonState>();
  return *static_cast<ButtonState *>(w.control.get());
}

DWORD buttonType(const Window &w) { return w.style & BS_TYPEMASK; }

bool isRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool isCheck(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

std::wstring withoutMnemonics(const std::wstring &text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&') {
      if (i + 1 < text.size()) out += text[++i];  // "&&" is a literal '&'
      continue;
    }
    out += text[i];
  }
  return out;
}

void dottedRect(SDL_Surface *s, int x, int y, int w, int h, Color c) {
  for (int i = 0; i < w; i += 2) {
    fillRect(s, x + i, y, 1, 1, c);
    fillRect(s, x + i, y + h - 1, 1, 1, c);
  }
  for (int i = 0; i < h; i += 2) {
    fillRect(s, x, y + i, 1, 1, c);
    fillRect(s, x + w - 1, y + i, 1, 1, c);
  }
}

// The auto radio buttons in the same group as `self`: a group starts at a control
// with WS_GROUP (or the first control) and runs up to the next one with WS_GROUP.
std::vector<HWND> radioGroup(Window &self) {
  std::vector<HWND> group;
  Window *parent = findWindow(self.parent);
  if (!parent) return group;
  auto &kids = parent->children;
  auto at = std::find(kids.begin(), kids.end(), self.handle);
  if (at == kids.end()) return group;
  size_t start = static_cast<size_t>(at - kids.begin());
  while (start > 0) {
    Window *c = findWindow(kids[start]);
    if (c && (c->style & WS_GROUP)) break;
    --start;
  }
  for (size_t i = start; i < kids.size(); ++i) {
    Window *c = findWindow(kids[i]);
    if (!c) continue;
    if (i > start && (c->style & WS_GROUP)) break;
    if (c->windowClass == self.windowClass && buttonType(*c) == BS_AUTORADIOBUTTON) group.push_back(c->handle);
  }
  return group;
}

void setCheck(HWND h, UINT check) {
  Window *w = findWindow(h);
  if (!w) return;
  ButtonState &st = buttonState(*w);
  if (st.check != check) {
    st.check = check;
    invalidate(h);
  }
}

// What a click does: auto buttons change their state, then the parent hears BN_CLICKED.
void click(HWND h) {
  Window *w = findWindow(h);
  if (!w) return;
  DWORD type = buttonType(*w);
  if (type == BS_AUTORADIOBUTTON) {
    for (HWND other : radioGroup(*w))
      if (other != h) setCheck(other, BST_UNCHECKED);
    setCheck(h, BST_CHECKED);
  } else if (type == BS_AUTOCHECKBOX) {
    setCheck(h, buttonState(*w).check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  } else if (type == BS_AUTO3STATE) {
    setCheck(h, (buttonState(*w).check + 1) % 3);
  }
  w = findWindow(h);
  if (!w) return;
  HWND parent = w->parent;
  WPARAM wp = MAKEWPARAM(static_cast<WORD>(w->id), BN_CLICKED);
  if (findWindow(parent)) sendMessage(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(h));
}

bool inside(const Window &w, LPARAM lp) {
  SIZE cs = clientSize(w);
  int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  return x >= 0 && y >= 0 && x < cs.cx && y < cs.cy;
}

LRESULT CALLBACK buttonProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(h);
  if (!w) return 0;
  ButtonState &st = buttonState(*w);
  DWORD type = buttonType(*w);
  switch (message) {
    case BM_GETCHECK:
      return (isRadio(type) || isCheck(type)) ? st.check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (isRadio(type) || isCheck(type)) {
        UINT check = static_cast<UINT>(wParam);
        if (check > BST_INDETERMINATE || (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE))
          check = BST_CHECKED;
        setCheck(h, check);
      }
      return 0;
    case BM_GETSTATE:
      return st.check | (st.pushed ? BST_PUSHED : 0) | (GetFocus() == h ? BST_FOCUS : 0);
    case BM_SETSTATE:
      st.pushed = wParam != 0;
      invalidate(h);
      return 0;
    case BM_CLICK:
      click(h);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      SetFocus(h);
      if (!findWindow(h)) return 0;
      SetCapture(h);
      st.tracking = true;
      st.pushed = true;
      invalidate(h);
      return 0;
    case WM_MOUSEMOVE:
      if (st.tracking) {
        bool in = inside(*w, lParam);
        if (in != st.pushed) {
          st.pushed = in;
          invalidate(h);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (!st.tracking) return 0;
      st.tracking = false;
      st.pushed = false;
      invalidate(h);
      if (GetCapture() == h) ReleaseCapture();
      if (findWindow(h) && inside(*findWindow(h), lParam)) click(h);
      return 0;
    case WM_CAPTURECHANGED:
      st.tracking = false;
      if (st.pushed) {
        st.pushed = false;
        invalidate(h);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        st.pushed = true;
        invalidate(h);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && st.pushed) {
        st.pushed = false;
        invalidate(h);
        click(h);
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      invalidate(h);
      return 0;
    default:
      return DefWindowProcW(h, message, wParam, lParam);
  }
}

void paintButton(Window &w, SDL_Surface *s, int x, int y) {
  ButtonState &st = buttonState(w);
  Font *font = fontFor(w);
  std::wstring text = withoutMnemonics(w.text);
  int cw = w.rect.right - w.rect.left, ch = w.rect.bottom - w.rect.top;
  DWORD type = buttonType(w);
  bool disabled = (w.style & WS_DISABLED) != 0;
  Color ink = disabled ? colors::grayText : colors::text;
  int th = fontHeight(font);
  bool focused = GetFocus() == w.handle;

  if (type == BS_GROUPBOX) {
    int tw = textWidth(font, text);
    int lineY = y + th / 2;
    Color line = colors::frame;
    fillRect(s, x, lineY, 1, ch - th / 2, line);
    fillRect(s, x + cw - 1, lineY, 1, ch - th / 2, line);
    fillRect(s, x, y + ch - 1, cw, 1, line);
    if (text.empty()) {
      fillRect(s, x, lineY, cw, 1, line);
    } else {
      fillRect(s, x, lineY, 6, 1, line);
      int after = x + 8 + tw + 2;
      fillRect(s, after, lineY, x + cw - after, 1, line);
      drawText(s, font, text, x + 8, y, ink);
    }
    return;
  }

  if (isRadio(type) || isCheck(type)) {
    const int box = 13;
    bool leftText = (w.style & BS_LEFTTEXT) != 0;
    int bx = leftText ? x + cw - box : x;
    int by = y + (ch - box) / 2;
    int tx = leftText ? x : x + box + 4;
    int ty = y + (ch - th) / 2;
    Color edge = st.pushed ? colors::accent : Color{180, 180, 180};
    Color mark = disabled ? colors::grayText : colors::text;
    if (isRadio(type)) {
      double cx = bx + box / 2.0, cy = by + box / 2.0;
      fillCircle(s, cx, cy, box / 2.0, edge);
      fillCircle(s, cx, cy, box / 2.0 - 1.0, st.pushed ? Color{204, 228, 247} : colors::light);
      if (st.check == BST_CHECKED) fillCircle(s, cx, cy, 3.5, mark);
    } else {
      fillRect(s, bx, by, box, box, edge);
      fillRect(s, bx + 1, by + 1, box - 2, box - 2, st.pushed ? Color{204, 228, 247} : colors::light);
      if (st.check == BST_CHECKED) {
        strokePolygon(s, {{bx + 3.0, by + 6.5}, {bx + 5.5, by + 9.0}, {bx + 10.0, by + 3.5}}, mark);
      } else if (st.check == BST_INDETERMINATE) {
        fillRect(s, bx + 3, by + 3, box - 6, box - 6, mark);
      }
    }
    int tw = drawText(s, font, text, tx, ty, ink);
    if (focused && !text.empty()) dottedRect(s, tx - 1, ty, tw + 2, th, colors::text);
    return;
  }

  // Push buttons.
  bool isDefault = type == BS_DEFPUSHBUTTON;
  fillRect(s, x, y, cw, ch, st.pushed ? Color{204, 228, 247} : Color{225, 225, 225});
  frameRect(s, x, y, cw, ch, (st.pushed || isDefault || focused) ? colors::accent : Color{173, 173, 173});
  int tw = textWidth(font, text);
  drawText(s, font, text, x + (cw - tw) / 2, y + (ch - th) / 2, ink);
  if (focused) dottedRect(s, x + 3, y + 3, cw - 6, ch - 6, colors::text);
}

bool buttonTransparent(const Window &w) { return buttonType(w) == BS_GROUPBOX; }

LRESULT CALLBACK staticProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(h, message, wParam, lParam);
}

void paintStatic(Window &w, SDL_Surface *s, int x, int y) {
  Font *font = fontFor(w);
  std::wstring text = (w.style & SS_NOPREFIX) ? w.text : withoutMnemonics(w.text);
  int cw = w.rect.right - w.rect.left, ch = w.rect.bottom - w.rect.top;
  Color ink = (w.style & WS_DISABLED) ? colors::grayText : colors::text;
  DWORD type = w.style & SS_TYPEMASK;
  if (type == SS_CENTER || type == SS_RIGHT) {
    int tw = textWidth(font, text);
    int tx = type == SS_CENTER ? x + (cw - tw) / 2 : x + cw - tw;
    drawText(s, font, text, tx, y, ink);
  } else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
    drawText(s, font, text, x, y, ink);
  } else {
    drawWrappedText(s, font, text, x, y, cw, ch, ink);
  }
}

// Statics without SS_NOTIFY let clicks through to their parent.
bool staticTransparent(const Window &w) { return !(w.style & SS_NOTIFY); }

}  // namespace

void registerUser32Classes() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_PARENTDC;
  wc.lpfnWndProc = buttonProc;
  wc.lpszClassName = L"Button";
  ControlOps buttonOps;
  buttonOps.paint = paintButton;
  buttonOps.transparent = buttonTransparent;
  registerSystemClass(wc, buttonOps, 0);

  wc.lpfnWndProc = staticProc;
  wc.lpszClassName = L"Static";
  ControlOps staticOps;
  staticOps.paint = paintStatic;
  staticOps.transparent = staticTransparent;
  registerSystemClass(wc, staticOps, 0);

  registerDialogClass();
}

}  // namespace glintwork
