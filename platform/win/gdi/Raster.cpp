#include "platform/win/gdi/Raster.h"

#include <algorithm>

#include "platform/win/gdi/WinRect.h"

namespace k58::gdi {

namespace {

int Mod(int a, int m) {
  int r = a % m;
  return r < 0 ? r + m : r;
}

// 8x8 hatch patterns: true where the hatch line is.
bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

inline uint32_t Rop2Op(int rop2, uint32_t p, uint32_t d) {
  switch (rop2) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(p | d);
    case R2_MASKNOTPEN: return ~p & d;
    case R2_NOTCOPYPEN: return ~p;
    case R2_MASKPENNOT: return p & ~d;
    case R2_NOT: return ~d;
    case R2_XORPEN: return p ^ d;
    case R2_NOTMASKPEN: return ~(p & d);
    case R2_MASKPEN: return p & d;
    case R2_NOTXORPEN: return ~(p ^ d);
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return ~p | d;
    case R2_COPYPEN: return p;
    case R2_MERGEPENNOT: return p | ~d;
    case R2_MERGEPEN: return p | d;
    case R2_WHITE: return 0xFFFFFFFF;
    default: return p;
  }
}

// Writes one row [x0, x1) of a clipped span.
inline void WriteRow(uint32_t* row, int y, int x0, int x1, const Paint& p) {
  if (!p.patterned) {
    if (p.rop2 == R2_COPYPEN) {
      std::fill(row + x0, row + x1, p.color);
    } else if (p.rop2 == R2_NOP) {
    } else {
      for (int x = x0; x < x1; ++x) row[x] = Rop2Op(p.rop2, p.color, row[x]) & kPixelMask;
    }
    return;
  }
  int py = Mod(y - p.oy, p.ph);
  const uint32_t* prow = &p.pattern[static_cast<size_t>(py) * p.pw];
  const uint8_t* mrow = p.mask.empty() ? nullptr : &p.mask[static_cast<size_t>(py) * p.pw];
  int px = Mod(x0 - p.ox, p.pw);
  if (!mrow && p.rop2 == R2_COPYPEN) {
    // A tiled background (the common case) is copied a run of the pattern row at a time.
    for (int x = x0; x < x1;) {
      const int n = std::min(p.pw - px, x1 - x);
      const uint32_t* src = prow + px;
      uint32_t* dst = row + x;
      for (int i = 0; i < n; ++i) dst[i] = src[i] & kPixelMask;
      x += n;
      px = 0;
    }
    return;
  }
  for (int x = x0; x < x1; ++x) {
    if (!mrow || mrow[px]) row[x] = Rop2Op(p.rop2, prow[px], row[x]) & kPixelMask;
    if (++px == p.pw) px = 0;
  }
}

}  // namespace

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst) { return Rop2Op(rop2, pen, dst) & kPixelMask; }

uint32_t ApplyRop3(uint32_t rop, uint32_t pat, uint32_t src, uint32_t dst) {
  uint32_t code = (rop >> 16) & 0xFF;
  switch (code) {
    case 0xCC: return src;
    case 0xF0: return pat;
    case 0x55: return ~dst & kPixelMask;
    case 0x00: return 0;
    case 0xFF: return kPixelMask;
    case 0x66: return src ^ dst;
    case 0x88: return src & dst;
    case 0xEE: return src | dst;
    case 0x5A: return pat ^ dst;
    case 0x33: return ~src & kPixelMask;
    default: break;
  }
  // Index bit i of the code is the result for pattern bit (i >> 2), source bit (i >> 1), dest bit i.
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    uint32_t m = ((i & 4) ? pat : ~pat) & ((i & 2) ? src : ~src) & ((i & 1) ? dst : ~dst);
    r |= m;
  }
  return r & kPixelMask;
}

bool RopUsesSource(uint32_t rop) {
  uint32_t c = (rop >> 16) & 0xFF;
  return ((c >> 2) & 0x33) != (c & 0x33);
}

bool RopUsesPattern(uint32_t rop) {
  uint32_t c = (rop >> 16) & 0xFF;
  return ((c >> 4) & 0x0F) != (c & 0x0F);
}

Paint SolidPaint(uint32_t pixel, int rop2) {
  Paint p;
  p.none = false;
  p.rop2 = rop2;
  p.color = pixel;
  return p;
}

Paint PenPaint(DeviceContext& dc, COLORREF color) { return SolidPaint(dc.Pixel(color), dc.st.rop2); }

Paint BrushPaint(DeviceContext& dc, const BrushObject& brush, int rop2) {
  Paint p;
  Surface* target = dc.Target();
  bool mono = target && target->IsMono();
  switch (brush.style) {
    case BS_SOLID: return SolidPaint(dc.Pixel(brush.Color()), rop2);
    case BS_HATCHED: {
      p.none = false;
      p.rop2 = rop2;
      p.patterned = true;
      p.pw = p.ph = 8;
      p.pattern.resize(64);
      uint32_t fore = dc.Pixel(brush.Color());
      uint32_t back = dc.Pixel(dc.st.bkColor);
      bool opaque = dc.st.bkMode == OPAQUE;
      if (!opaque) p.mask.resize(64);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          bool on = HatchBit(brush.hatch, x, y);
          p.pattern[y * 8 + x] = on ? fore : back;
          if (!opaque) p.mask[y * 8 + x] = on ? 1 : 0;
        }
      break;
    }
    case BS_PATTERN: {
      if (!brush.pattern) return p;
      const Surface& s = *brush.pattern;
      p.none = false;
      p.rop2 = rop2;
      p.patterned = true;
      p.pw = s.Width();
      p.ph = s.Height();
      p.pattern.resize(static_cast<size_t>(p.pw) * p.ph);
      // A monochrome pattern takes the DC's colours: 0 bits the text colour, 1 bits the background.
      uint32_t fore = dc.Pixel(dc.st.textColor);
      uint32_t back = dc.Pixel(dc.st.bkColor);
      for (int y = 0; y < p.ph; ++y)
        for (int x = 0; x < p.pw; ++x) {
          uint32_t v = s.Get(x, y);
          if (s.IsMono())
            v = v ? back : fore;
          else if (mono)
            v = MonoPixelOf(PixelToColor(v));
          p.pattern[static_cast<size_t>(y) * p.pw + x] = v & kPixelMask;
        }
      break;
    }
    default: return p;
  }
  p.ox = dc.origin.x + dc.st.brushOrg.x;
  p.oy = dc.origin.y + dc.st.brushOrg.y;
  return p;
}

void FillRect(DeviceContext& dc, RECT r, const Paint& paint) {
  if (paint.none || RectEmpty(r)) return;
  Surface* s = dc.Target();
  if (!s) return;
  dc.Clip().ForEachIn(r, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) WriteRow(s->Row(y), y, c.left, c.right, paint);
  });
}

void FillSpan(DeviceContext& dc, int y, int x0, int x1, const Paint& paint) {
  FillRect(dc, RECT{x0, y, x1, y + 1}, paint);
}

void FillRegion(DeviceContext& dc, const Region& rgn, const Paint& paint) {
  if (paint.none || rgn.IsEmpty()) return;
  const Region& clip = dc.Clip();
  if (clip.Complexity() == SIMPLEREGION) {
    RECT cb = clip.Bounds();
    rgn.ForEachIn(cb, [&](const RECT& r) { FillRect(dc, r, paint); });
    return;
  }
  Region both = Region::Combine(rgn, clip, RGN_AND);
  Surface* s = dc.Target();
  if (!s) return;
  for (const RECT& c : both.Rects())
    for (int y = c.top; y < c.bottom; ++y) WriteRow(s->Row(y), y, c.left, c.right, paint);
}

void PlotPixel(DeviceContext& dc, int x, int y, const Paint& paint) {
  if (paint.none) return;
  const Region& clip = dc.Clip();
  if (!clip.Contains(x, y)) return;
  WriteRow(dc.Target()->Row(y), y, x, x + 1, paint);
}

void PatternBlt(DeviceContext& dc, RECT r, uint32_t rop) {
  Surface* s = dc.Target();
  if (!s || RectEmpty(r)) return;
  uint32_t code = (rop >> 16) & 0xFF;
  // The common cases are binary raster operations with the brush as the pen.
  int rop2 = 0;
  switch (code) {
    case 0xF0: rop2 = R2_COPYPEN; break;
    case 0x5A: rop2 = R2_XORPEN; break;
    case 0x55: rop2 = R2_NOT; break;
    case 0x00: rop2 = R2_BLACK; break;
    case 0xFF: rop2 = R2_WHITE; break;
    case 0xAA: return;
    case 0x0F: rop2 = R2_NOTCOPYPEN; break;
    case 0xA5: rop2 = R2_NOTXORPEN; break;
    case 0xFA: rop2 = R2_MERGEPEN; break;
    case 0xA0: rop2 = R2_MASKPEN; break;
    default: break;
  }
  bool needsBrush = RopUsesPattern(rop);
  if (rop2) {
    Paint p = needsBrush ? BrushPaint(dc, *dc.st.brush, rop2) : SolidPaint(0, rop2);
    if (needsBrush && p.none) return;  // a null brush draws nothing
    FillRect(dc, r, p);
    return;
  }
  // Any other code: evaluate it with the source taken as the destination itself.
  Paint p = BrushPaint(dc, *dc.st.brush, R2_COPYPEN);
  if (needsBrush && p.none) return;
  dc.Clip().ForEachIn(r, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      uint32_t* row = s->Row(y);
      for (int x = c.left; x < c.right; ++x) {
        uint32_t pat = p.color;
        if (p.patterned)
          pat = p.pattern[static_cast<size_t>(Mod(y - p.oy, p.ph)) * p.pw + Mod(x - p.ox, p.pw)];
        row[x] = ApplyRop3(rop, pat, row[x], row[x]);
      }
    }
  });
}

}  // namespace k58::gdi
