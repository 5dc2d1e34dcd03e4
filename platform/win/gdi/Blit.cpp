// Bit-block transfers: PatBlt, BitBlt, StretchBlt, MaskBlt, TransparentBlt, the DIB-to-device calls
// and rectangle gradients.
#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Dib.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Raster.h"

using namespace k58::gdi;

namespace {

int Mod(int a, int m) {
  int r = a % m;
  return r < 0 ? r + m : r;
}

// How source pixels turn into destination pixels between colour and monochrome surfaces: a
// monochrome source paints its 0 bits in the destination's text colour and its 1 bits in its
// background colour; a colour source into a monochrome destination gives white where the pixel is
// the source DC's background colour and black elsewhere.
struct Converter {
  enum class Mode { Same, MonoToColor, ColorToMono } mode = Mode::Same;
  uint32_t fore = 0, back = kWhitePixel, srcBack = 0;
  uint32_t operator()(uint32_t v) const {
    switch (mode) {
      case Mode::MonoToColor: return (v & kPixelMask) ? back : fore;
      case Mode::ColorToMono: return (v & kPixelMask) == srcBack ? kWhitePixel : 0;
      default: return v & kPixelMask;
    }
  }
};

Converter MakeConverter(const Surface& src, DeviceContext& dst, COLORREF srcBk) {
  Converter c;
  Surface* d = dst.Target();
  if (src.IsMono() && d && !d->IsMono()) {
    c.mode = Converter::Mode::MonoToColor;
    c.fore = dst.Pixel(dst.st.textColor);
    c.back = dst.Pixel(dst.st.bkColor);
  } else if (!src.IsMono() && d && d->IsMono()) {
    c.mode = Converter::Mode::ColorToMono;
    c.srcBack = ColorToPixel(srcBk);
  }
  return c;
}

// Maps destination index i in [0, |dn|) to a source index (nearest sample), mirroring when the
// extents have different signs.
struct AxisMap {
  int d0, dn, s0, sn;
  int DestAt(int i) const { return dn > 0 ? d0 + i : d0 - 1 - i; }
  int DestIndex(int d) const { return dn > 0 ? d - d0 : d0 - 1 - d; }
  int SourceAt(int i) const {
    long long an = dn < 0 ? -static_cast<long long>(dn) : dn, as = sn < 0 ? -static_cast<long long>(sn) : sn;
    auto j = static_cast<int>((2LL * i + 1) * as / (2 * an));
    return sn > 0 ? s0 + j : s0 - 1 - j;
  }
  int Lo() const { return dn > 0 ? d0 : d0 + dn; }
  int Hi() const { return dn > 0 ? d0 + dn : d0; }
};

// The core of every transfer: for every destination pixel inside the clip and the destination
// rectangle, fetch the source (when the operation has one), the pattern and the destination, and
// write the result. perPixelRop picks the operation for a pixel (MaskBlt) or returns the fixed one.
template <class RopAt, class Skip>
void Transfer(DeviceContext& dst, const AxisMap& mx, const AxisMap& my, const Surface* src, const Converter& conv,
              RopAt ropAt, Skip skip) {
  Surface* d = dst.Target();
  if (!d) return;
  RECT area{mx.Lo(), my.Lo(), mx.Hi(), my.Hi()};
  Paint pat = BrushPaint(dst, *dst.st.brush, R2_COPYPEN);
  dst.Clip().ForEachIn(area, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      int sy = src ? my.SourceAt(my.DestIndex(y)) : 0;
      bool rowInSource = !src || (sy >= 0 && sy < src->Height());
      uint32_t* row = d->Row(y);
      const uint32_t* srow = src && rowInSource ? src->Row(sy) : nullptr;
      for (int x = c.left; x < c.right; ++x) {
        uint32_t rop = ropAt(x, y);
        uint32_t s = 0;
        if (src && RopUsesSource(rop)) {
          if (!srow) continue;
          int sx = mx.SourceAt(mx.DestIndex(x));
          if (sx < 0 || sx >= src->Width()) continue;
          uint32_t raw = srow[sx];
          if (skip(raw)) continue;
          s = conv(raw);
        }
        uint32_t p = pat.color;
        if (pat.patterned)
          p = pat.pattern[static_cast<size_t>(Mod(y - pat.oy, pat.ph)) * pat.pw + Mod(x - pat.ox, pat.pw)];
        if ((rop >> 16 & 0xFF) == 0xCC)
          row[x] = s;
        else
          row[x] = ApplyRop3(rop, p, s, row[x] & kPixelMask);
      }
    }
  });
}

bool NoSkip(uint32_t) { return false; }

// Source pixels of the source DC's surface in surface coordinates. A transfer within one surface
// reads from a copy so that overlapping rectangles move correctly.
struct SourceRef {
  SurfacePtr holder;
  const Surface* s = nullptr;
  int ox = 0, oy = 0;
};

SourceRef SourceOf(DeviceContext& src, DeviceContext& dst, const RECT& srcSurfaceRect) {
  SourceRef r;
  Surface* ss = src.Target();
  if (!ss) return r;
  r.s = ss;
  if (ss == dst.Target()) {
    // Copy the part that is read, into a surface with the same coordinates.
    RECT b = srcSurfaceRect;
    b.left = std::max(0, b.left);
    b.top = std::max(0, b.top);
    b.right = std::min(ss->Width(), b.right);
    b.bottom = std::min(ss->Height(), b.bottom);
    auto copy = std::make_shared<Surface>(ss->Width(), ss->Height(), ss->BitsPerPixel());
    if (b.right > b.left)
      for (int y = b.top; y < b.bottom; ++y) std::copy(ss->Row(y) + b.left, ss->Row(y) + b.right, copy->Row(y) + b.left);
    r.holder = copy;
    r.s = copy.get();
  }
  return r;
}

BOOL StretchImpl(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xs, int ys, int ws, int hs, DWORD rop,
                 HBITMAP mask, int xm, int ym, bool transparent, UINT transparentColor) {
  auto dst = FindDC(hdcDest);
  if (!dst || !dst->Target()) return FALSE;
  w = DeviceContext::Clamp(w);
  h = DeviceContext::Clamp(h);
  ws = DeviceContext::Clamp(ws);
  hs = DeviceContext::Clamp(hs);
  uint32_t fore = rop & 0x00FFFFFF;
  bool useSource = transparent || RopUsesSource(fore) || (mask && RopUsesSource(((rop >> 8) & 0x00FF0000) | 0x20));
  if (w == 0 || h == 0) return TRUE;
  AxisMap mx{dst->SurfX(x), w, 0, ws}, my{dst->SurfY(y), h, 0, hs};
  if (!useSource) {
    Transfer(*dst, mx, my, nullptr, Converter{}, [&](int, int) { return fore; }, NoSkip);
    return TRUE;
  }
  auto src = FindDC(hdcSrc);
  if (!src || !src->Target() || ws == 0 || hs == 0) return FALSE;
  int sx0 = src->SurfX(xs), sy0 = src->SurfY(ys);
  mx.s0 = ws > 0 ? sx0 : sx0;
  my.s0 = hs > 0 ? sy0 : sy0;
  RECT srcRect{std::min(sx0, sx0 + ws), std::min(sy0, sy0 + hs), std::max(sx0, sx0 + ws), std::max(sy0, sy0 + hs)};
  SourceRef sref = SourceOf(*src, *dst, srcRect);
  Converter conv = MakeConverter(*src->Target(), *dst, src->st.bkColor);
  if (transparent) {
    uint32_t key = src->Target()->PixelOf(transparentColor & 0x00FFFFFF);
    Transfer(*dst, mx, my, sref.s, conv, [](int, int) { return SRCCOPY; },
             [key](uint32_t v) { return (v & kPixelMask) == key; });
    return TRUE;
  }
  if (mask) {
    auto mb = FindBitmap(mask);
    if (!mb || !mb->surface->IsMono()) return FALSE;
    const Surface& ms = *mb->surface;
    uint32_t back = ((rop >> 8) & 0x00FF0000) | (fore & 0xFFFF);
    int dx0 = mx.Lo(), dy0 = my.Lo();
    Transfer(*dst, mx, my, sref.s, conv,
             [&](int px, int py) {
               int mxp = xm + (px - dx0), myp = ym + (py - dy0);
               bool on = mxp >= 0 && myp >= 0 && mxp < ms.Width() && myp < ms.Height() && ms.Get(mxp, myp);
               return on ? fore : back;
             },
             NoSkip);
    return TRUE;
  }
  Transfer(*dst, mx, my, sref.s, conv, [&](int, int) { return fore; }, NoSkip);
  return TRUE;
}

}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (RopUsesSource(rop)) return FALSE;
  if (width < 0) {
    x += width;
    width = -width;
  }
  if (height < 0) {
    y += height;
    height = -height;
  }
  RECT r{dc->SurfX(x), dc->SurfY(y), DeviceContext::Clamp(static_cast<long long>(dc->SurfX(x)) + width),
         DeviceContext::Clamp(static_cast<long long>(dc->SurfY(y)) + height)};
  PatternBlt(*dc, r, rop);
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  if (!RopUsesSource(rop)) return PatBlt(dest, x, y, width, height, rop);
  auto dst = FindDC(dest);
  auto sdc = FindDC(src);
  if (!dst || !sdc || !dst->Target() || !sdc->Target()) return FALSE;
  width = DeviceContext::Clamp(width);
  height = DeviceContext::Clamp(height);
  // Plain copies between surfaces of one format move rows.
  if ((rop & 0x00FFFFFF) == SRCCOPY && width > 0 && height > 0 &&
      dst->Target()->IsMono() == sdc->Target()->IsMono()) {
    Surface* d = dst->Target();
    int dx = dst->SurfX(x), dy = dst->SurfY(y);
    int sx = sdc->SurfX(xSrc), sy = sdc->SurfY(ySrc);
    SourceRef sref = SourceOf(*sdc, *dst, RECT{sx, sy, sx + width, sy + height});
    const Surface* s = sref.s;
    RECT area{dx, dy, dx + width, dy + height};
    // Only where the source exists.
    area.left = std::max<LONG>(area.left, dx - sx);
    area.top = std::max<LONG>(area.top, dy - sy);
    area.right = std::min<LONG>(area.right, dx - sx + s->Width());
    area.bottom = std::min<LONG>(area.bottom, dy - sy + s->Height());
    dst->Clip().ForEachIn(area, [&](const RECT& c) {
      for (int row = c.top; row < c.bottom; ++row)
        std::memcpy(d->Row(row) + c.left, s->Row(row - dy + sy) + (c.left - dx + sx),
                    static_cast<size_t>(c.right - c.left) * 4);
    });
    return TRUE;
  }
  return StretchImpl(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, nullptr, 0, 0, false, 0);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  return StretchImpl(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, nullptr, 0, 0, false, 0);
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop) {
  if (!mask) return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, rop & 0x00FFFFFF);
  return StretchImpl(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, mask, xMask, yMask, false, 0);
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent) {
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return FALSE;
  return StretchImpl(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY, nullptr, 0, 0, true,
                     transparent);
}

namespace {

int DibToDevice(HDC hdc, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
                const BITMAPINFO* info, UINT usage, DWORD rop, int firstRow, int rows) {
  auto dc = FindDC(hdc);
  DibFormat f;
  if (!dc || !bits || !ParseDib(info, usage, f)) return 0;
  rows = std::clamp(rows, 0, static_cast<int>(f.height) - firstRow);
  if (firstRow < 0 || rows <= 0) return 0;
  SurfacePtr img = DibToSurface(f, bits, firstRow, rows);
  // For bottom-up images the source y counts from the bottom row.
  int syTop = f.topDown ? ys : static_cast<int>(f.height) - ys - hs;
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bmp = CreateBitmapOnSurface(img);
  HGDIOBJ old = SelectObject(mem, bmp);
  BOOL ok = StretchBlt(hdc, xd, yd, wd, hd, mem, xs, syTop, ws, hs, rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  return ok ? rows : 0;
}

}  // namespace

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto w = static_cast<int>(std::min<DWORD>(width, 1 << 15)), h = static_cast<int>(std::min<DWORD>(height, 1 << 15));
  return DibToDevice(hdc, xDest, yDest, w, h, xSrc, ySrc, w, h, bits, info, usage, SRCCOPY,
                     static_cast<int>(std::min<UINT>(start, 1 << 15)), static_cast<int>(std::min<UINT>(lines, 1 << 15)));
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  DibFormat f;
  if (!ParseDib(info, usage, f)) return 0;
  int lines = DibToDevice(hdc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info,
                          usage, rop, 0, static_cast<int>(f.height));
  return lines ? static_cast<int>(f.height) : 0;
}

BOOL GradientFill(HDC hdc, TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode) {
  auto dc = FindDC(hdc);
  if (!dc || !vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)) return FALSE;
  const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  for (ULONG i = 0; i < meshCount; ++i) {
    if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return FALSE;
    TRIVERTEX a = vertices[rects[i].UpperLeft], b = vertices[rects[i].LowerRight];
    if (a.x > b.x) std::swap(a.x, b.x);
    if (a.y > b.y) std::swap(a.y, b.y);
    RECT r = dc->ToSurface(RECT{a.x, a.y, b.x, b.y});
    bool horizontal = mode == GRADIENT_FILL_RECT_H;
    int n = horizontal ? r.right - r.left : r.bottom - r.top;
    const TRIVERTEX& c0 = vertices[rects[i].UpperLeft];
    const TRIVERTEX& c1 = vertices[rects[i].LowerRight];
    for (int k = 0; k < n; ++k) {
      auto mix = [&](COLOR16 u, COLOR16 v) {
        long long c = u + (static_cast<long long>(v) - u) * k / n;
        return static_cast<BYTE>(c >> 8);
      };
      COLORREF color = RGB(mix(c0.Red, c1.Red), mix(c0.Green, c1.Green), mix(c0.Blue, c1.Blue));
      RECT band = horizontal ? RECT{r.left + k, r.top, r.left + k + 1, r.bottom} : RECT{r.left, r.top + k, r.right, r.top + k + 1};
      FillRect(*dc, band, SolidPaint(dc->Pixel(color), R2_COPYPEN));
    }
  }
  return TRUE;
}
