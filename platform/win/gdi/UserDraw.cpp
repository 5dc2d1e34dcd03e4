// The user layer's drawing calls: rectangle fills and frames, focus rectangles, 3-D edges, frame
// controls and the system check box bitmap.
#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Draw.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/WinUserGdi.h"

using namespace k58::gdi;

namespace {

void FillLogical(DeviceContext& dc, RECT r, const Paint& p) {
  if (k58::gdi::RectEmpty(r)) return;
  FillRect(dc, dc.ToSurface(r), p);
}

void FillColor(DeviceContext& dc, RECT r, int sysColor) {
  FillLogical(dc, r, SolidPaint(dc.Pixel(GetSysColor(sysColor)), R2_COPYPEN));
}

void FillRgb(DeviceContext& dc, RECT r, COLORREF c) { FillLogical(dc, r, SolidPaint(dc.Pixel(c), R2_COPYPEN)); }

}  // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  auto dc = FindDC(hdc);
  auto b = FindBrush(brush);
  if (!dc || !rect || !b) return 0;
  FillLogical(*dc, *rect, BrushPaint(*dc, *b, R2_COPYPEN));
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  auto dc = FindDC(hdc);
  auto b = FindBrush(brush);
  if (!dc || !rect || !b) return 0;
  const RECT& r = *rect;
  if (k58::gdi::RectEmpty(r)) return 1;
  Paint p = BrushPaint(*dc, *b, R2_COPYPEN);
  FillLogical(*dc, RECT{r.left, r.top, r.right, r.top + 1}, p);
  if (r.bottom - r.top > 1) FillLogical(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, p);
  FillLogical(*dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, p);
  if (r.right - r.left > 1) FillLogical(*dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, p);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  FillLogical(*dc, *rect, SolidPaint(0, R2_NOT));
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  const RECT& r = *rect;
  if (k58::gdi::RectEmpty(r)) return TRUE;
  // A checkerboard through the DC's colours: 0 bits take the text colour, 1 bits the background
  // colour; with black text on white every other frame pixel is inverted.
  BrushObject checker;
  checker.style = BS_PATTERN;
  checker.pattern = std::make_shared<Surface>(2, 2, 1);
  checker.pattern->Set(0, 0, kWhitePixel);
  checker.pattern->Set(1, 1, kWhitePixel);
  Paint p = BrushPaint(*dc, checker, R2_XORPEN);
  FillLogical(*dc, RECT{r.left, r.top, r.right, r.top + 1}, p);
  if (r.bottom - r.top > 1) FillLogical(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, p);
  FillLogical(*dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, p);
  if (r.right - r.left > 1) FillLogical(*dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, p);
  return TRUE;
}

// ---- DrawEdge ----------------------------------------------------------------------------------------

namespace {

// One ring of an edge: the top and left lines in one colour, the bottom and right lines in another.
// The top-left colour stops one pixel short at the top-right and bottom-left corners.
void EdgeRing(DeviceContext& dc, const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight) {
  if (k58::gdi::RectEmpty(r)) return;
  if (flags & BF_BOTTOM) FillRgb(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  if (flags & BF_RIGHT) FillRgb(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  int right = (flags & BF_RIGHT) ? r.right - 1 : r.right;
  int bottom = (flags & BF_BOTTOM) ? r.bottom - 1 : r.bottom;
  if (flags & BF_TOP) FillRgb(dc, RECT{r.left, r.top, right, r.top + 1}, topLeft);
  if (flags & BF_LEFT) FillRgb(dc, RECT{r.left, r.top, r.left + 1, bottom}, topLeft);
}

RECT Shrink(RECT r, UINT flags) {
  if (flags & BF_LEFT) ++r.left;
  if (flags & BF_TOP) ++r.top;
  if (flags & BF_RIGHT) --r.right;
  if (flags & BF_BOTTOM) --r.bottom;
  return r;
}

}  // namespace

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  RECT r = *rect;
  UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  auto color = [](int i) { return GetSysColor(i); };
  if (outer) {
    COLORREF tl, br;
    if (flags & BF_MONO) {
      tl = br = color(COLOR_WINDOWFRAME);
    } else if (flags & BF_FLAT) {
      tl = br = color(COLOR_BTNSHADOW);
    } else if (outer & BDR_RAISEDOUTER) {
      tl = color((flags & BF_SOFT) ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT);
      br = color(COLOR_3DDKSHADOW);
    } else {
      tl = color(COLOR_BTNSHADOW);
      br = color(COLOR_BTNHIGHLIGHT);
    }
    EdgeRing(*dc, r, flags, tl, br);
    r = Shrink(r, flags);
  }
  if (inner) {
    COLORREF tl, br;
    if (flags & BF_MONO) {
      tl = br = color(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
      tl = br = color(COLOR_BTNFACE);
    } else if (inner & BDR_RAISEDINNER) {
      tl = color((flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
      br = color(COLOR_BTNSHADOW);
    } else {
      tl = color(COLOR_3DDKSHADOW);
      br = color(COLOR_3DLIGHT);
    }
    EdgeRing(*dc, r, flags, tl, br);
    r = Shrink(r, flags);
  }
  if (flags & BF_MIDDLE) FillColor(*dc, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

// ---- Frame controls ----------------------------------------------------------------------------------

namespace {

// The classic check mark in a 7 x 7 box: columns of three pixels going down then up.
void CheckMark(DeviceContext& dc, int x, int y, COLORREF c) {
  static const int kTops[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) FillRgb(dc, RECT{x + i, y + kTops[i], x + i + 1, y + kTops[i] + 3}, c);
}

// The square a glyph is drawn in: the largest square in the rectangle, centred.
RECT GlyphSquare(const RECT& r, int maxSize) {
  long long w = static_cast<long long>(r.right) - r.left, h = static_cast<long long>(r.bottom) - r.top;
  long long s = std::max(0LL, std::min({w, h, static_cast<long long>(maxSize)}));
  long long x = r.left + (w - s) / 2, y = r.top + (h - s) / 2;
  return RECT{DeviceContext::Clamp(x), DeviceContext::Clamp(y), DeviceContext::Clamp(x + s), DeviceContext::Clamp(y + s)};
}

void DrawCheckBox(DeviceContext& dc, HDC hdc, RECT r, UINT state) {
  RECT box = GlyphSquare(r, 13);
  bool flat = (state & (DFCS_FLAT | DFCS_MONO)) != 0;
  if (flat) {
    FrameRect(hdc, &box, GetSysColorBrush((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    box = RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
  } else {
    DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
  FillColor(dc, box, grey ? COLOR_BTNFACE : COLOR_WINDOW);
  if (state & DFCS_CHECKED) {
    COLORREF mark = GetSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    int w = box.right - box.left;
    CheckMark(dc, box.left + (w - 7) / 2, box.top + (box.bottom - box.top - 7) / 2, mark);
  }
}

// A radio glyph: an outer ring split along the diagonal (shadow above-left, highlight below-right),
// an inner ring (dark shadow, light), the body and a dot. The mask is the whole disc in black.
void DrawRadio(DeviceContext& dc, RECT r, UINT state) {
  RECT sq = GlyphSquare(r, 12);
  int s = sq.right - sq.left;
  if (s <= 0) return;
  int ox = dc.SurfX(sq.left), oy = dc.SurfY(sq.top);
  RowShape outer = EllipseRows(0, 0, s, s);
  Region outerRing, outerInside;
  SplitOutline(outer, outerRing, outerInside);
  if (state & DFCS_BUTTONRADIOMASK) {
    Region all = RowShapeRegion(outer);
    all.Offset(ox, oy);
    FillRegion(dc, all, SolidPaint(dc.Pixel(RGB(0, 0, 0)), R2_COPYPEN));
    return;
  }
  Region innerRing, body;
  SplitOutline(EllipseRows(1, 1, s - 1, s - 1), innerRing, body);
  bool flat = (state & (DFCS_FLAT | DFCS_MONO)) != 0;
  bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
  auto paintSplit = [&](const Region& ring, COLORREF above, COLORREF below) {
    for (const RECT& rc : ring.Rects())
      for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
          COLORREF c = x + y < s - 1 ? above : below;
          PlotPixel(dc, x + ox, y + oy, SolidPaint(dc.Pixel(c), R2_COPYPEN));
        }
  };
  if (flat) {
    paintSplit(outerRing, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
    paintSplit(innerRing, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
  } else {
    paintSplit(outerRing, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    paintSplit(innerRing, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  }
  body.Offset(ox, oy);
  FillRegion(dc, body, SolidPaint(dc.Pixel(GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW)), R2_COPYPEN));
  if (state & DFCS_CHECKED) {
    int d = std::max(2, s / 3);
    int a = (s - d) / 2;
    Region dot = RowShapeRegion(EllipseRows(a, a, a + d, a + d));
    dot.Offset(ox, oy);
    COLORREF c = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    FillRegion(dc, dot, SolidPaint(dc.Pixel(c), R2_COPYPEN));
  }
}

void ButtonFrame(HDC hdc, DeviceContext& dc, RECT& r, UINT state) {
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    FrameRect(hdc, &r, GetSysColorBrush((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    FillColor(dc, r, COLOR_BTNFACE);
    return;
  }
  DrawEdge(hdc, &r, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
}

// A solid triangle pointing in direction d (0 up, 1 down, 2 left, 3 right), centred in r.
void Arrow(DeviceContext& dc, RECT r, int d, COLORREF c, int dx, int dy) {
  int w = r.right - r.left, h = r.bottom - r.top;
  int size = std::max(1, (std::min(w, h) - 4) / 3);  // rows of the triangle: 4 in a 16-pixel button
  int base = 2 * size - 1;
  bool vertical = d <= 1;
  int cx = r.left + (w - (vertical ? base : size)) / 2 + dx;
  int cy = r.top + (h - (vertical ? size : base)) / 2 + dy;
  for (int i = 0; i < size; ++i) {
    int len = base - 2 * (size - 1 - i);  // row i from the tip: 1, 3, 5...
    int off = size - 1 - i;
    switch (d) {
      case 0: FillRgb(dc, RECT{cx + off, cy + i, cx + off + len, cy + i + 1}, c); break;
      case 1: FillRgb(dc, RECT{cx + off, cy + size - 1 - i, cx + off + len, cy + size - i}, c); break;
      case 2: FillRgb(dc, RECT{cx + i, cy + off, cx + i + 1, cy + off + len}, c); break;
      default: FillRgb(dc, RECT{cx + size - 1 - i, cy + off, cx + size - i, cy + off + len}, c); break;
    }
  }
}

void GlyphWithState(DeviceContext& dc, RECT r, UINT state, const std::function<void(COLORREF, int, int)>& draw) {
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  if (state & DFCS_INACTIVE) {
    draw(GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
    draw(GetSysColor(COLOR_BTNSHADOW), 0, 0);
  } else {
    draw(GetSysColor(COLOR_BTNTEXT), shift, shift);
  }
  (void)dc;
  (void)r;
}

void SizeGrip(DeviceContext& dc, RECT r) {
  FillColor(dc, r, COLOR_BTNFACE);
  int s = std::min(r.right - r.left, r.bottom - r.top);
  // Diagonal lines towards the bottom-right corner, in groups of highlight, shadow, shadow, face.
  for (int d = 1; d < s; ++d) {
    int kind = d % 4;
    if (kind == 0) continue;
    COLORREF c = GetSysColor(kind == 1 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    for (int i = 0; i <= d - 1; ++i) {
      int x = r.right - 1 - i, y = r.bottom - 1 - (d - 1 - i);
      FillRgb(dc, RECT{x, y, x + 1, y + 1}, c);
    }
  }
}

void CaptionGlyph(DeviceContext& dc, RECT r, UINT kind, COLORREF c, int dx, int dy) {
  int w = r.right - r.left, h = r.bottom - r.top;
  int s = std::max(3, std::min(w, h) - 6);
  int x = r.left + (w - s) / 2 + dx, y = r.top + (h - s) / 2 + dy;
  switch (kind & 0xFF) {
    case DFCS_CAPTIONCLOSE:
      for (int i = 0; i < s; ++i) {
        FillRgb(dc, RECT{x + i, y + i, x + i + 2, y + i + 1}, c);
        FillRgb(dc, RECT{x + s - 1 - i - 1, y + i, x + s - i, y + i + 1}, c);
      }
      break;
    case DFCS_CAPTIONMIN: FillRgb(dc, RECT{x, y + s - 2, x + s - 2, y + s}, c); break;
    case DFCS_CAPTIONMAX:
      FillRgb(dc, RECT{x, y, x + s, y + 2}, c);
      FillRgb(dc, RECT{x, y, x + 1, y + s}, c);
      FillRgb(dc, RECT{x + s - 1, y, x + s, y + s}, c);
      FillRgb(dc, RECT{x, y + s - 1, x + s, y + s}, c);
      break;
    case DFCS_CAPTIONRESTORE: {
      int q = s * 2 / 3;
      auto box = [&](int bx, int by) {
        FillRgb(dc, RECT{bx, by, bx + q, by + 2}, c);
        FillRgb(dc, RECT{bx, by, bx + 1, by + q}, c);
        FillRgb(dc, RECT{bx + q - 1, by, bx + q, by + q}, c);
        FillRgb(dc, RECT{bx, by + q - 1, bx + q, by + q}, c);
      };
      box(x + s - q, y);
      box(x, y + s - q);
      break;
    }
    case DFCS_CAPTIONHELP: {
      // A question mark: hook and dot.
      int m = x + s / 2;
      FillRgb(dc, RECT{m - 2, y, m + 2, y + 1}, c);
      FillRgb(dc, RECT{m + 1, y + 1, m + 3, y + s / 2}, c);
      FillRgb(dc, RECT{m - 1, y + s / 2 - 1, m + 1, y + s - 3}, c);
      FillRgb(dc, RECT{m - 1, y + s - 2, m + 1, y + s}, c);
      break;
    }
    default: break;
  }
}

}  // namespace

BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  RECT r = *rect;
  switch (type) {
    case DFC_BUTTON: {
      if (state & DFCS_BUTTONPUSH) {
        ButtonFrame(hdc, *dc, r, state);
        if (state & DFCS_ADJUSTRECT) *rect = r;
        return TRUE;
      }
      if (state & (DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK | DFCS_BUTTONRADIO)) {
        DrawRadio(*dc, r, state);
        return TRUE;
      }
      DrawCheckBox(*dc, hdc, r, state);
      return TRUE;
    }
    case DFC_SCROLL: {
      UINT kind = state & 0xFF;
      if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        SizeGrip(*dc, r);
        return TRUE;
      }
      RECT full = r;
      ButtonFrame(hdc, *dc, r, state);
      int dir = kind == DFCS_SCROLLCOMBOBOX ? 1 : static_cast<int>(kind & 3);
      GlyphWithState(*dc, full, state, [&](COLORREF c, int dx, int dy) { Arrow(*dc, full, dir, c, dx, dy); });
      return TRUE;
    }
    case DFC_CAPTION: {
      ButtonFrame(hdc, *dc, r, state);
      GlyphWithState(*dc, r, state, [&](COLORREF c, int dx, int dy) { CaptionGlyph(*dc, r, state, c, dx, dy); });
      return TRUE;
    }
    default: return FALSE;
  }
}

// ---- System bitmaps ----------------------------------------------------------------------------------

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
  auto id = reinterpret_cast<uintptr_t>(name);
  if (instance || id != static_cast<uintptr_t>(OBM_CHECKBOXES)) return nullptr;
  // Four columns (normal, checked, pushed, pushed and checked) by three rows (check box, radio,
  // three-state), 13 x 13 pixels each.
  HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 52, 39);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, 52, 39};
  FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      RECT cell{col * 13, row * 13, col * 13 + 13, row * 13 + 13};
      UINT st = ((col & 1) ? DFCS_CHECKED : 0) | ((col & 2) ? DFCS_PUSHED : 0);
      if (row == 1) {
        RECT radio{cell.left, cell.top, cell.left + 12, cell.top + 12};
        DrawFrameControl(mem, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | st);
      } else {
        DrawFrameControl(mem, &cell, DFC_BUTTON, DFCS_BUTTONCHECK | st | (row == 2 ? DFCS_INACTIVE : 0));
      }
    }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteDC(screen);
  return bmp;
}
