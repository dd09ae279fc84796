// How the layer draws the windows it owns (dialogs and their controls): each
// dirty, visible top-level window without a GL drawable is repainted whole into
// an ARGB canvas (the client background, then its children bottom of the z-order
// first, each clipped to its rectangle) and copied to the SDL window surface.
// Anti-aliased primitives and SDL2_ttf text with DejaVu Sans, which stands in for
// "MS Shell Dlg" at 96 DPI. Left out: GDI (no HDC, BeginPaint or brushes for the
// program), partial repaints.
#include "user32_internal.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace glintwork {

struct Font {
  TTF_Font *ttf = nullptr;
  int halfPoints = 0;
};

namespace {

const char *const fontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/local/share/fonts/DejaVuSans.ttf",
};

std::map<int, std::unique_ptr<Font>> &fonts() {
  static std::map<int, std::unique_ptr<Font>> all;
  return all;
}

std::map<HWND, Font *> &controlFonts() {
  static std::map<HWND, Font *> all;
  return all;
}

struct Canvas {
  SDL_Surface *surface = nullptr;
};

std::map<HWND, Canvas> &canvases() {
  static std::map<HWND, Canvas> all;
  return all;
}

bool clipContains(SDL_Surface *s, int x, int y) {
  SDL_Rect c;
  SDL_GetClipRect(s, &c);
  return x >= c.x && y >= c.y && x < c.x + c.w && y < c.y + c.h;
}

// Blends a colour over an ARGB8888 canvas pixel with coverage a in [0, 1].
void blend(SDL_Surface *s, int x, int y, Color c, double a) {
  if (a <= 0.0 || !clipContains(s, x, y)) return;
  if (a > 1.0) a = 1.0;
  auto *row = reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(s->pixels) + y * s->pitch);
  Uint32 p = row[x];
  auto mix = [a](Uint32 from, unsigned to) {
    return static_cast<Uint32>(std::lround(from + (static_cast<double>(to) - from) * a));
  };
  Uint32 r = mix((p >> 16) & 0xFF, c.r), g = mix((p >> 8) & 0xFF, c.g), b = mix(p & 0xFF, c.b);
  row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
}

bool insidePolygon(const std::vector<std::pair<double, double>> &pts, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    double xi = pts[i].first, yi = pts[i].second, xj = pts[j].first, yj = pts[j].second;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
  double qx = ax + t * dx - px, qy = ay + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}

void paintTree(Window &w, SDL_Surface *canvas) {
  // Children bottom of the z-order first, so the first child ends up on top.
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
    Window *c = findWindow(*it);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    POINT o = offsetInTopLevel(*c);
    SDL_Rect clip{o.x, o.y, c->rect.right - c->rect.left, c->rect.bottom - c->rect.top};
    SDL_Rect parentClip;
    SDL_GetClipRect(canvas, &parentClip);
    SDL_Rect both;
    if (!SDL_IntersectRect(&clip, &parentClip, &both)) continue;
    SDL_SetClipRect(canvas, &both);
    if (c->windowClass->ops.paint) c->windowClass->ops.paint(*c, canvas, o.x, o.y);
    paintTree(*c, canvas);
    SDL_SetClipRect(canvas, &parentClip);
  }
}

void paintTopLevel(Window &w) {
  SDL_Surface *target = SDL_GetWindowSurface(w.sdl);
  if (!target) {
    diagOnce("user32", "paint", "SDL_GetWindowSurface failed: %s", SDL_GetError());
    return;
  }
  Canvas &cv = canvases()[w.handle];
  if (!cv.surface || cv.surface->w != target->w || cv.surface->h != target->h) {
    if (cv.surface) SDL_FreeSurface(cv.surface);
    cv.surface = SDL_CreateRGBSurfaceWithFormat(0, target->w, target->h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!cv.surface) {
      diagOnce("user32", "paint", "SDL_CreateRGBSurfaceWithFormat failed: %s", SDL_GetError());
      return;
    }
  }
  SDL_Surface *canvas = cv.surface;
  SDL_SetClipRect(canvas, nullptr);
  fillRect(canvas, 0, 0, canvas->w, canvas->h, colors::face);
  paintTree(w, canvas);
  SDL_SetClipRect(canvas, nullptr);
  SDL_BlitSurface(canvas, nullptr, target, nullptr);
  SDL_UpdateWindowSurface(w.sdl);
}

}  // namespace

void paintDirtyWindows() {
  // Canvases of windows that are gone.
  for (auto it = canvases().begin(); it != canvases().end();) {
    if (!findWindow(it->first)) {
      if (it->second.surface) SDL_FreeSurface(it->second.surface);
      it = canvases().erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = controlFonts().begin(); it != controlFonts().end();)
    it = findWindow(it->first) ? std::next(it) : controlFonts().erase(it);
  for (HWND h : allWindows()) {
    Window *w = findWindow(h);
    if (!w->sdl || w->drawable || !w->surfaceDirty || !(w->style & WS_VISIBLE)) continue;
    w->surfaceDirty = false;
    paintTopLevel(*w);
  }
}

SDL_Surface *windowCanvas(HWND window) {
  auto it = canvases().find(window);
  return it == canvases().end() ? nullptr : it->second.surface;
}

void fillRect(SDL_Surface *s, int x, int y, int w, int h, Color color) {
  if (w <= 0 || h <= 0) return;
  SDL_Rect r{x, y, w, h};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, color.r, color.g, color.b));
}

void frameRect(SDL_Surface *s, int x, int y, int w, int h, Color color) {
  fillRect(s, x, y, w, 1, color);
  fillRect(s, x, y + h - 1, w, 1, color);
  fillRect(s, x, y, 1, h, color);
  fillRect(s, x + w - 1, y, 1, h, color);
}

void fillCircle(SDL_Surface *s, double cx, double cy, double radius, Color color) {
  int x0 = static_cast<int>(std::floor(cx - radius - 1)), x1 = static_cast<int>(std::ceil(cx + radius + 1));
  int y0 = static_cast<int>(std::floor(cy - radius - 1)), y1 = static_cast<int>(std::ceil(cy + radius + 1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      blend(s, x, y, color, radius + 0.5 - d);
    }
}

void ringCircle(SDL_Surface *s, double cx, double cy, double radius, double width, Color color) {
  int x0 = static_cast<int>(std::floor(cx - radius - 1)), x1 = static_cast<int>(std::ceil(cx + radius + 1));
  int y0 = static_cast<int>(std::floor(cy - radius - 1)), y1 = static_cast<int>(std::ceil(cy + radius + 1));
  double mid = radius - width / 2;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      blend(s, x, y, color, width / 2 + 0.5 - std::fabs(d - mid));
    }
}

namespace {

struct Bounds {
  double minX, maxX, minY, maxY;
};

// The smallest axis-aligned box around a non-empty list of points.
Bounds boundsOf(const std::vector<std::pair<double, double>> &pts) {
  Bounds b{pts[0].first, pts[0].first, pts[0].second, pts[0].second};
  for (auto &p : pts) {
    b.minX = std::min(b.minX, p.first);
    b.maxX = std::max(b.maxX, p.first);
    b.minY = std::min(b.minY, p.second);
    b.maxY = std::max(b.maxY, p.second);
  }
  return b;
}

}  // namespace

void fillPolygon(SDL_Surface *s, const std::vector<std::pair<double, double>> &pts, Color color) {
  if (pts.size() < 3) return;
  const Bounds b = boundsOf(pts);
  for (int y = static_cast<int>(std::floor(b.minY)); y < static_cast<int>(std::ceil(b.maxY)); ++y)
    for (int x = static_cast<int>(std::floor(b.minX)); x < static_cast<int>(std::ceil(b.maxX)); ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (insidePolygon(pts, x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
      blend(s, x, y, color, hits / 16.0);
    }
}

void strokePolygon(SDL_Surface *s, const std::vector<std::pair<double, double>> &pts, Color color) {
  if (pts.size() < 2) return;
  const Bounds b = boundsOf(pts);
  for (int y = static_cast<int>(std::floor(b.minY)) - 1; y <= static_cast<int>(std::ceil(b.maxY)); ++y)
    for (int x = static_cast<int>(std::floor(b.minX)) - 1; x <= static_cast<int>(std::ceil(b.maxX)); ++x) {
      double d = 1e9;
      for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
        d = std::min(d, segmentDistance(x + 0.5, y + 0.5, pts[j].first, pts[j].second, pts[i].first,
                                        pts[i].second));
      blend(s, x, y, color, 1.0 - d);
    }
}

Font *dialogFontHalfPoints(int halfPoints) {
  auto &all = fonts();
  auto it = all.find(halfPoints);
  if (it != all.end()) return it->second->ttf ? it->second.get() : nullptr;
  auto font = std::make_unique<Font>();
  font->halfPoints = halfPoints;
  if (!TTF_WasInit() && TTF_Init() != 0) {
    diagOnce("user32", "dialogFontHalfPoints", "TTF_Init failed: %s", TTF_GetError());
  } else {
    for (const char *path : fontPaths) {
      // Half points at 48 DPI are points at 96 DPI.
      font->ttf = TTF_OpenFontDPI(path, halfPoints, 48, 48);
      if (font->ttf) break;
    }
    if (!font->ttf)
      diagOnce("user32", "dialogFontHalfPoints", "DejaVu Sans not found (install fonts-dejavu-core); text is not drawn");
  }
  Font *result = font->ttf ? font.get() : nullptr;
  all.emplace(halfPoints, std::move(font));
  return result;
}

int fontHeight(Font *font) { return font ? TTF_FontHeight(font->ttf) : 13; }
int fontAscent(Font *font) { return font ? TTF_FontAscent(font->ttf) : 10; }

int textWidth(Font *font, const std::wstring &text) {
  if (!font || text.empty()) return 0;
  int w = 0, h = 0;
  TTF_SizeUTF8(font->ttf, narrow(text).c_str(), &w, &h);
  return w;
}

int drawText(SDL_Surface *s, Font *font, const std::wstring &text, int x, int y, Color color) {
  if (!font || text.empty()) return 0;
  SDL_Surface *glyphs = TTF_RenderUTF8_Blended(font->ttf, narrow(text).c_str(), SDL_Color{color.r, color.g, color.b, 255});
  if (!glyphs) return 0;
  // DejaVu's glyphs sit a pixel right of and below those of MS Shell Dlg in the
  // same line box (bearing and ascent); drawn a pixel up and left they line up.
  SDL_Rect dst{x - 1, y - 1, glyphs->w, glyphs->h};
  SDL_BlitSurface(glyphs, nullptr, s, &dst);
  int w = glyphs->w;
  SDL_FreeSurface(glyphs);
  return w;
}

void drawWrappedText(SDL_Surface *s, Font *font, const std::wstring &text, int x, int y, int w, int h,
                     Color color) {
  if (!font) return;
  int lineHeight = fontHeight(font);
  std::wstring line;
  int cy = y;
  size_t i = 0;
  auto flush = [&](const std::wstring &l) {
    if (cy < y + h) drawText(s, font, l, x, cy, color);
    cy += lineHeight;
  };
  while (i <= text.size()) {
    if (i == text.size() || text[i] == L'\n') {
      flush(line);
      line.clear();
      ++i;
      if (i > text.size()) break;
      continue;
    }
    // Next word with the blanks before it.
    size_t j = i;
    while (j < text.size() && text[j] == L' ') ++j;
    while (j < text.size() && text[j] != L' ' && text[j] != L'\n') ++j;
    std::wstring candidate = line + text.substr(i, j - i);
    if (!line.empty() && textWidth(font, candidate) > w) {
      flush(line);
      size_t k = i;
      while (k < j && text[k] == L' ') ++k;
      line = text.substr(k, j - k);
    } else {
      line = candidate;
    }
    i = j;
  }
}

SIZE dialogBaseUnits(Font *font) {
  if (!font) return SIZE{6, 12};
  int w = textWidth(font, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return SIZE{(w / 26 + 1) / 2, fontHeight(font)};
}

Font *fontFor(const Window &window) {
  auto it = controlFonts().find(window.handle);
  if (it != controlFonts().end()) return it->second;
  return dialogFontHalfPoints(15);
}

void setFontFor(HWND window, Font *font) { controlFonts()[window] = font; }

}  // namespace glintwork
