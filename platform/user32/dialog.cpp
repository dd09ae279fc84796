// USER32 dialogs: modeless dialogs built from RT_DIALOG resources (DLGTEMPLATEEX
// and the older DLGTEMPLATE), the dialog class and its default processing, and
// the control lookups. Dialog units become pixels through the dialog font's real
// metrics: DejaVu Sans stands in for the template's font. It runs wider than
// "MS Shell Dlg", so it is set at 15/16 of the template's point size (8 pt ->
// 7.5 pt at 96 DPI), where its measured base units (6 x 12 px) are those of
// "MS Shell Dlg" 8 pt, so layouts keep their Windows geometry. Left out: modal
// dialogs (DialogBox*), dialog menus, keyboard navigation (IsDialogMessage),
// default push buttons, DS_CENTER.
#include "user32_internal.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace glintwork {

namespace {

struct DialogItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  WORD classOrdinal = 0;
  std::wstring className;
  std::wstring text;
};

struct DialogTemplate {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring className;  // empty: the dialog class
  WORD classOrdinal = 0;
  std::wstring title;
  WORD pointSize = 0;
  std::wstring typeface;
  std::vector<DialogItem> items;
};

// Reads a template with bounds checks; any read past the end marks it malformed.
class Reader {
 public:
  Reader(const unsigned char *data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  WORD word() {
    if (!need(2)) return 0;
    WORD v = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  DWORD dword() {
    DWORD lo = word();
    DWORD hi = word();
    return lo | (hi << 16);
  }
  short shortValue() { return static_cast<short>(word()); }
  BYTE byte() {
    if (!need(1)) return 0;
    return data_[pos_++];
  }
  void skip(size_t n) {
    if (need(n)) pos_ += n;
  }
  void alignDword() {
    size_t aligned = (pos_ + 3) & ~static_cast<size_t>(3);
    if (aligned <= size_) pos_ = aligned;
    else pos_ = size_;
  }
  std::wstring string() {
    std::vector<WORD> units;
    while (ok_) {
      WORD u = word();
      if (!ok_ || u == 0) break;
      units.push_back(u);
    }
    return fromUtf16(units.data(), units.size());
  }
  // A "string or ordinal" field: 0x0000 none, 0xFFFF then an ordinal, else a string.
  void nameOrOrdinal(WORD &ordinal, std::wstring &name) {
    if (!need(2)) return;
    WORD first = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    if (first == 0x0000) {
      pos_ += 2;
    } else if (first == 0xFFFF) {
      pos_ += 2;
      ordinal = word();
    } else {
      name = string();
    }
  }

 private:
  bool need(size_t n) {
    if (!ok_ || size_ - pos_ < n) {
      ok_ = false;
      return false;
    }
    return true;
  }
  const unsigned char *data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

std::optional<DialogTemplate> parseTemplate(const unsigned char *data, size_t size) {
  Reader r(data, size);
  DialogTemplate t;
  WORD version = r.word();
  WORD signature = r.word();
  WORD count = 0;
  if (version == 1 && signature == 0xFFFF) {
    t.extended = true;
    r.dword();  // help id
    t.exStyle = r.dword();
    t.style = r.dword();
  } else {
    Reader again(data, size);
    r = again;
    t.style = r.dword();
    t.exStyle = r.dword();
  }
  count = r.word();
  t.x = r.shortValue();
  t.y = r.shortValue();
  t.cx = r.shortValue();
  t.cy = r.shortValue();
  WORD menuOrdinal = 0;
  std::wstring menuName;
  r.nameOrOrdinal(menuOrdinal, menuName);
  r.nameOrOrdinal(t.classOrdinal, t.className);
  t.title = r.string();
  if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
    t.pointSize = r.word();
    if (t.extended) {
      r.word();  // weight
      r.byte();  // italic
      r.byte();  // character set
    }
    t.typeface = r.string();
  }
  if (!r.ok()) return std::nullopt;
  for (WORD i = 0; i < count; ++i) {
    r.alignDword();
    DialogItem item;
    if (t.extended) {
      r.dword();  // help id
      item.exStyle = r.dword();
      item.style = r.dword();
    } else {
      item.style = r.dword();
      item.exStyle = r.dword();
    }
    item.x = r.shortValue();
    item.y = r.shortValue();
    item.cx = r.shortValue();
    item.cy = r.shortValue();
    item.id = t.extended ? r.dword() : r.word();
    r.nameOrOrdinal(item.classOrdinal, item.className);
    WORD textOrdinal = 0;
    r.nameOrOrdinal(textOrdinal, item.text);
    WORD extra = r.word();
    r.skip(extra);
    if (!r.ok()) return std::nullopt;
    if (item.className.empty() && item.classOrdinal == 0) return std::nullopt;
    t.items.push_back(std::move(item));
  }
  return t;
}

// The predefined classes a template names by ordinal.
LPCWSTR ordinalClassName(WORD ordinal) {
  switch (ordinal) {
    case 0x0080: return L"Button";
    case 0x0081: return L"Edit";
    case 0x0082: return L"Static";
    case 0x0083: return L"ListBox";
    case 0x0084: return L"ScrollBar";
    case 0x0085: return L"ComboBox";
    default: return nullptr;
  }
}

int mulDiv(int value, int numerator, int denominator) {
  long long v = static_cast<long long>(value) * numerator;
  // Rounds half away from zero, like MulDiv.
  return static_cast<int>(v >= 0 ? (v + denominator / 2) / denominator : -((-v + denominator / 2) / denominator));
}

// The point size DejaVu Sans is opened at (in half points) for a template's size.
int standInHalfPoints(int pointSize) { return (pointSize * 2 * 15 + 8) / 16; }

LPARAM dialogProcSlot(Window &w) {
  return static_cast<LPARAM>(GetWindowLongPtrW(w.handle, static_cast<int>(DWLP_DLGPROC)));
}

// What the dialog manager does when the dialog procedure leaves a message.
LRESULT defaultDialogProcessing(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(h);
  if (!w) return 0;
  switch (message) {
    case WM_CLOSE: {
      // The close box cancels; it does not close the dialog. It clicks the
      // IDCANCEL control, if there is one, and does nothing while it is disabled
      // (where Windows beeps).
      HWND cancel = GetDlgItem(h, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) return 0;
      postMessage(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_SETFOCUS:
      if (w->lastFocus && findWindow(w->lastFocus) && isDescendant(h, w->lastFocus)) SetFocus(w->lastFocus);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return 0;
    default:
      return DefWindowProcW(h, message, wParam, lParam);
  }
}

LRESULT CALLBACK dialogWindowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefDlgProcW(h, message, wParam, lParam);
}

}  // namespace

void registerDialogClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = dialogWindowProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.lpszClassName = L"#32770";
  registerSystemClass(wc, ControlOps{}, 0x8002);
}

}  // namespace glintwork

using namespace glintwork;

extern "C" {

LRESULT WINAPI DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p 0x%04x", static_cast<void *>(dialog), message);
  CallScope scope;
  Window *w = findWindow(dialog);
  if (!w) return 0;
  auto proc = reinterpret_cast<DLGPROC>(dialogProcSlot(*w));
  if (proc) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
    INT_PTR handled = proc(dialog, message, wParam, lParam);
    w = findWindow(dialog);
    if (!w) return handled;
    if (handled) {
      // These return their value directly; the others through DWLP_MSGRESULT.
      if (message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)) return handled;
      return GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
    }
  }
  return defaultDialogProcessing(dialog, message, wParam, lParam);
}

HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  GLINTWORK_TRACE("user32", "template %s owner %p", nameForMessage(templateName).c_str(),
                  static_cast<void *>(owner));
  CallScope scope;
  registerUser32Classes();
  if (owner && !checkWindow(owner, "CreateDialogParamW")) return nullptr;
  HRSRC res = FindResourceW(instance, templateName, RT_DIALOG);
  if (!res) {
    diag("user32", "CreateDialogParamW", "no dialog template %s", nameForMessage(templateName).c_str());
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  auto *bytes = static_cast<const unsigned char *>(LockResource(LoadResource(instance, res)));
  DWORD size = SizeofResource(instance, res);
  std::optional<DialogTemplate> t = parseTemplate(bytes, size);
  if (!t) {
    diag("user32", "CreateDialogParamW", "malformed dialog template %s", nameForMessage(templateName).c_str());
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }

  Font *font = nullptr;
  if ((t->style & (DS_SETFONT | DS_SHELLFONT)) && t->pointSize > 0)
    font = dialogFontHalfPoints(standInHalfPoints(t->pointSize));
  if (!font) font = dialogFontHalfPoints(standInHalfPoints(8));
  SIZE base = dialogBaseUnits(font);
  auto px = [&](int du) { return mulDiv(du, base.cx, 4); };
  auto py = [&](int du) { return mulDiv(du, base.cy, 8); };

  RECT outer{0, 0, px(t->cx), py(t->cy)};
  AdjustWindowRectEx(&outer, t->style, FALSE, t->exStyle);
  POINT origin{0, 0};
  if (Window *o = findWindow(owner)) origin = clientOriginOnScreen(*o);
  int x = origin.x + px(t->x) + outer.left, y = origin.y + py(t->y) + outer.top;

  LPCWSTR cls = WC_DIALOG;
  if (!t->className.empty()) cls = t->className.c_str();
  else if (t->classOrdinal) cls = MAKEINTATOM(t->classOrdinal);
  DWORD style = t->style & ~static_cast<DWORD>(WS_VISIBLE);
  HWND dialog = CreateWindowExW(t->exStyle, cls, t->title.c_str(), style, x, y, outer.right - outer.left,
                                outer.bottom - outer.top, owner, nullptr, instance, nullptr);
  if (!dialog) {
    diag("user32", "CreateDialogParamW", "the dialog window could not be created");
    return nullptr;
  }
  setFontFor(dialog, font);
  SetWindowLongPtrW(dialog, static_cast<int>(DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(proc));

  HWND firstTabStop = nullptr;
  for (const DialogItem &item : t->items) {
    LPCWSTR itemClass = item.className.empty() ? ordinalClassName(item.classOrdinal) : item.className.c_str();
    if (!itemClass) {
      diag("user32", "CreateDialogParamW", "control %d has the unknown class ordinal 0x%04x",
           static_cast<int>(item.id), item.classOrdinal);
      DestroyWindow(dialog);
      return nullptr;
    }
    HWND control = CreateWindowExW(item.exStyle, itemClass, item.text.c_str(), item.style | WS_CHILD, px(item.x),
                                   py(item.y), px(item.cx), py(item.cy), dialog,
                                   reinterpret_cast<HMENU>(static_cast<LONG_PTR>(static_cast<int>(item.id))),
                                   instance, nullptr);
    if (!findWindow(dialog)) return nullptr;
    if (!control) {
      diag("user32", "CreateDialogParamW", "control %d of class %s could not be created", static_cast<int>(item.id),
           nameForMessage(itemClass).c_str());
      DestroyWindow(dialog);
      return nullptr;
    }
    setFontFor(control, font);
    if (!firstTabStop && (item.style & WS_TABSTOP)) firstTabStop = control;
  }

  LRESULT focusDefault = sendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), param);
  if (!findWindow(dialog)) return nullptr;
  if (focusDefault && firstTabStop && findWindow(firstTabStop)) SetFocus(firstTabStop);
  if (!findWindow(dialog)) return nullptr;
  if (t->style & WS_VISIBLE) ShowWindow(dialog, SW_SHOWNORMAL);
  invalidate(dialog);
  return findWindow(dialog) ? dialog : nullptr;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  GLINTWORK_TRACE("user32", "%p %d", static_cast<void *>(dialog), id);
  Window *w = checkWindow(dialog, "GetDlgItem");
  if (!w) return nullptr;
  for (HWND c : w->children) {
    Window *cw = findWindow(c);
    if (cw && static_cast<int>(cw->id) == id) return c;
  }
  SetLastError(1421);  // ERROR_CONTROL_ID_NOT_FOUND
  return nullptr;
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  GLINTWORK_TRACE("user32", "%p %d 0x%04x", static_cast<void *>(dialog), id, message);
  if (!checkWindow(dialog, "SendDlgItemMessageW")) return 0;
  HWND control = GetDlgItem(dialog, id);
  if (!control) {
    diag("user32", "SendDlgItemMessageW", "no control %d in dialog %p", id, static_cast<void *>(dialog));
    return 0;
  }
  return SendMessageW(control, message, wParam, lParam);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  GLINTWORK_TRACE("user32", "%p %d %u", static_cast<void *>(dialog), id, check);
  HWND control = GetDlgItem(dialog, id);
  if (!control) return FALSE;
  SendMessageW(control, BM_SETCHECK, check, 0);
  return TRUE;
}

// Dialog units to pixels through the dialog font's base units, as the template's
// controls were placed.
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
  GLINTWORK_TRACE("user32", "%p", static_cast<void *>(dialog));
  Window *w = checkWindow(dialog, "MapDialogRect");
  if (!w) return FALSE;
  if (w->windowClass->atom != 0x8002) {
    diag("user32", "MapDialogRect", "window %p is not a dialog", static_cast<void *>(dialog));
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!rect) {
    diag("user32", "MapDialogRect", "null rectangle");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SIZE base = dialogBaseUnits(fontFor(*w));
  rect->left = mulDiv(rect->left, base.cx, 4);
  rect->right = mulDiv(rect->right, base.cx, 4);
  rect->top = mulDiv(rect->top, base.cy, 8);
  rect->bottom = mulDiv(rect->bottom, base.cy, 8);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  GLINTWORK_TRACE("user32", "%p %d", static_cast<void *>(dialog), id);
  HWND control = GetDlgItem(dialog, id);
  if (!control) return 0;
  return static_cast<UINT>(SendMessageW(control, BM_GETCHECK, 0, 0));
}

}  // extern "C"
