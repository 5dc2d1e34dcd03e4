// Bitmaps: device-dependent (1 and 32 bits per pixel), DIB sections, and conversion to and from
// device-independent bitmaps.
#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Dib.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"

namespace k58::gdi {

namespace {

constexpr int kMaxDimension = 1 << 15;

HBITMAP InsertBitmap(SurfacePtr surface, bool dib) {
  auto b = std::make_shared<BitmapObject>();
  b->surface = std::move(surface);
  b->dibSection = dib;
  return reinterpret_cast<HBITMAP>(InsertObject(b));
}

bool ValidSize(long long w, long long h) { return w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension; }

int RowBytes(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

}  // namespace

bool ParseDib(const BITMAPINFO* info, UINT usage, DibFormat& f) {
  if (!info || usage != DIB_RGB_COLORS) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1) return false;
  f.width = h.biWidth;
  f.height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  f.topDown = h.biHeight < 0;
  f.bpp = h.biBitCount;
  if (!ValidSize(f.width, f.height)) return false;
  if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 16 && f.bpp != 24 && f.bpp != 32) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (f.bpp == 16 || f.bpp == 32))) return false;
  f.stride = RowBytes(static_cast<int>(f.width), f.bpp);
  const auto* tableBase = reinterpret_cast<const uint8_t*>(info) + h.biSize;
  if (h.biCompression == BI_BITFIELDS) {
    DWORD masks[3];
    std::memcpy(masks, tableBase, sizeof(masks));
    f.rMask = masks[0];
    f.gMask = masks[1];
    f.bMask = masks[2];
  } else if (f.bpp == 16) {
    f.rMask = 0x7C00;
    f.gMask = 0x03E0;
    f.bMask = 0x001F;
  } else if (f.bpp == 32) {
    f.rMask = 0xFF0000;
    f.gMask = 0xFF00;
    f.bMask = 0xFF;
  }
  if (f.bpp <= 8) {
    size_t entries = h.biClrUsed ? std::min<size_t>(h.biClrUsed, size_t{1} << f.bpp) : size_t{1} << f.bpp;
    f.table.resize(size_t{1} << f.bpp, 0);
    const auto* q = reinterpret_cast<const RGBQUAD*>(tableBase);
    for (size_t i = 0; i < entries; ++i) f.table[i] = (uint32_t(q[i].rgbRed) << 16) | (uint32_t(q[i].rgbGreen) << 8) | q[i].rgbBlue;
  }
  return true;
}

namespace {

uint32_t Channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t bits = mask >> shift;
  uint32_t c = (v & mask) >> shift;
  int width = 0;
  while ((bits >> width) & 1) ++width;
  if (width >= 8) return c >> (width - 8);
  return width ? (c * 255 + (bits / 2)) / bits : 0;
}

}  // namespace

uint32_t DibPixel(const DibFormat& f, const uint8_t* row, int x) {
  switch (f.bpp) {
    case 1: return f.table[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4: return f.table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
    case 8: return f.table[row[x]];
    case 16: {
      uint32_t v = row[2 * x] | (uint32_t(row[2 * x + 1]) << 8);
      return (Channel(v, f.rMask) << 16) | (Channel(v, f.gMask) << 8) | Channel(v, f.bMask);
    }
    case 24: return (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      if (f.rMask == 0xFF0000 && f.gMask == 0xFF00 && f.bMask == 0xFF) return v & kPixelMask;
      return (Channel(v, f.rMask) << 16) | (Channel(v, f.gMask) << 8) | Channel(v, f.bMask);
    }
  }
}

SurfacePtr DibToSurface(const DibFormat& f, const void* bits, int firstRow, int rows) {
  auto s = std::make_shared<Surface>(static_cast<int>(f.width), static_cast<int>(f.height), 32);
  const auto* base = static_cast<const uint8_t*>(bits);
  for (int r = firstRow; r < firstRow + rows; ++r) {
    int y = f.topDown ? r : static_cast<int>(f.height) - 1 - r;
    const uint8_t* row = base + static_cast<size_t>(r - firstRow) * f.stride;
    uint32_t* out = s->Row(y);
    for (int x = 0; x < f.width; ++x) out[x] = DibPixel(f, row, x);
  }
  return s;
}

SurfacePtr SurfaceOfBitmap(HBITMAP bitmap) {
  auto b = FindBitmap(bitmap);
  return b ? b->surface : nullptr;
}

HBITMAP CreateBitmapOnSurface(SurfacePtr surface) {
  if (!surface) return nullptr;
  return InsertBitmap(std::move(surface), false);
}

}  // namespace k58::gdi

using namespace k58::gdi;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return nullptr;
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(DefaultBitmap()->handle);
  if (!ValidSize(width, height)) return nullptr;
  auto s = std::make_shared<Surface>(width, height, static_cast<int>(bitsPerPixel));
  HBITMAP h = InsertBitmap(s, false);
  if (bits) {
    LONG size = bitsPerPixel == 1 ? ((width + 15) / 16) * 2 * height : width * 4 * height;
    SetBitmapBits(h, static_cast<DWORD>(size), bits);
  }
  return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) return nullptr;
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  auto dc = FindDC(hdc);
  if (!dc) return nullptr;
  // Compatible with what the DC draws on: a fresh memory DC holds a monochrome bitmap.
  Surface* target = dc->Target();
  int bpp = target && target->IsMono() ? 1 : 32;
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(DefaultBitmap()->handle);
  if (!ValidSize(width, height)) return nullptr;
  return InsertBitmap(std::make_shared<Surface>(width, height, bpp), false);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits) *bits = nullptr;
  DibFormat f;
  if (section || !ParseDib(info, usage, f) || f.bpp != 32) return nullptr;
  if (f.rMask != 0xFF0000 || f.gMask != 0xFF00 || f.bMask != 0xFF) return nullptr;
  auto s = std::make_shared<Surface>(static_cast<int>(f.width), static_cast<int>(f.height), !f.topDown);
  if (bits) *bits = s->Bits();
  return InsertBitmap(s, true);
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!header) return nullptr;
  LONG h = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  HBITMAP bmp = CreateCompatibleBitmap(hdc, header->biWidth, h);
  if (bmp && (init & CBM_INIT) && bits && info) SetDIBits(hdc, bmp, 0, static_cast<UINT>(h), bits, info, usage);
  return bmp;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits) {
  auto b = FindBitmap(bitmap);
  if (!b || size < 0) return 0;
  const Surface& s = *b->surface;
  int stride = s.IsMono() ? ((s.Width() + 15) / 16) * 2 : s.Width() * 4;
  LONG total = stride * s.Height();
  if (!bits) return total;
  auto* out = static_cast<uint8_t*>(bits);
  LONG n = std::min(size, total);
  std::memset(out, 0, static_cast<size_t>(n));
  for (int y = 0; y < s.Height(); ++y) {
    LONG rowStart = static_cast<LONG>(y) * stride;
    if (rowStart >= n) break;
    const uint32_t* row = s.Row(y);
    if (s.IsMono()) {
      for (int x = 0; x < s.Width() && rowStart + (x >> 3) < n; ++x)
        if (row[x] & kPixelMask) out[rowStart + (x >> 3)] |= static_cast<uint8_t>(0x80 >> (x & 7));
    } else {
      LONG bytes = std::min<LONG>(stride, n - rowStart);
      std::memcpy(out + rowStart, row, static_cast<size_t>(bytes));
    }
  }
  return n;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits) {
  auto b = FindBitmap(bitmap);
  if (!b || !bits || b->stock) return 0;
  Surface& s = *b->surface;
  int stride = s.IsMono() ? ((s.Width() + 15) / 16) * 2 : s.Width() * 4;
  auto n = static_cast<LONG>(std::min<DWORD>(size, static_cast<DWORD>(stride * s.Height())));
  const auto* in = static_cast<const uint8_t*>(bits);
  for (int y = 0; y < s.Height(); ++y) {
    LONG rowStart = static_cast<LONG>(y) * stride;
    if (rowStart >= n) break;
    uint32_t* row = s.Row(y);
    if (s.IsMono()) {
      for (int x = 0; x < s.Width() && rowStart + (x >> 3) < n; ++x)
        row[x] = (in[rowStart + (x >> 3)] >> (7 - (x & 7))) & 1 ? kWhitePixel : 0;
    } else {
      LONG bytes = std::min<LONG>(stride, n - rowStart);
      std::memcpy(row, in + rowStart, static_cast<size_t>(bytes));
      for (int x = 0; x < bytes / 4; ++x) row[x] &= kPixelMask;
    }
  }
  return n;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
  auto b = FindBitmap(bitmap);
  if (!FindDC(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  const Surface& s = *b->surface;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!bits) {
    if (h.biBitCount == 0) {
      h.biWidth = s.Width();
      h.biHeight = s.Height();
      h.biPlanes = 1;
      h.biBitCount = static_cast<WORD>(s.BitsPerPixel());
      h.biCompression = BI_RGB;
    }
    h.biSizeImage = static_cast<DWORD>(RowBytes(s.Width(), h.biBitCount ? h.biBitCount : 32) * s.Height());
    return s.Height();
  }
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 24 && bpp != 32) return 0;
  if (h.biCompression != BI_RGB && !(bpp == 32 && h.biCompression == BI_BITFIELDS)) return 0;
  if (h.biWidth != s.Width() || (h.biHeight != s.Height() && h.biHeight != -s.Height())) return 0;
  bool topDown = h.biHeight < 0;
  int stride = RowBytes(s.Width(), bpp);
  if (bpp == 1) {
    // The caller provides room for the two colour entries, as the call has always required.
    info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    RGBQUAD white{255, 255, 255, 0};
    std::memcpy(reinterpret_cast<uint8_t*>(info->bmiColors) + sizeof(RGBQUAD), &white, sizeof(white));
  }
  UINT height = static_cast<UINT>(s.Height());
  if (start >= height) return 0;
  UINT count = std::min(lines, height - start);
  auto* out = static_cast<uint8_t*>(bits);
  for (UINT r = 0; r < count; ++r) {
    UINT memRow = start + r;
    int y = topDown ? static_cast<int>(memRow) : s.Height() - 1 - static_cast<int>(memRow);
    uint8_t* row = out + static_cast<size_t>(r) * stride;
    std::memset(row, 0, static_cast<size_t>(stride));
    const uint32_t* src = s.Row(y);
    for (int x = 0; x < s.Width(); ++x) {
      uint32_t p = src[x] & kPixelMask;
      if (bpp == 32) {
        std::memcpy(row + 4 * x, &p, 4);
      } else if (bpp == 24) {
        row[3 * x] = static_cast<uint8_t>(p);
        row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(p >> 16);
      } else if (MonoPixelOf(PixelToColor(p))) {
        row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      }
    }
  }
  return static_cast<int>(count);
}

int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  (void)hdc;
  auto b = FindBitmap(bitmap);
  DibFormat f;
  if (!b || b->stock || !bits || !ParseDib(info, usage, f)) return 0;
  Surface& s = *b->surface;
  if (f.width != s.Width() || f.height != s.Height()) return 0;
  auto height = static_cast<UINT>(f.height);
  if (start >= height) return 0;
  UINT count = std::min(lines, height - start);
  const auto* base = static_cast<const uint8_t*>(bits);
  for (UINT r = 0; r < count; ++r) {
    UINT memRow = start + r;
    int y = f.topDown ? static_cast<int>(memRow) : s.Height() - 1 - static_cast<int>(memRow);
    const uint8_t* row = base + static_cast<size_t>(r) * f.stride;
    uint32_t* out = s.Row(y);
    for (int x = 0; x < s.Width(); ++x) {
      uint32_t p = DibPixel(f, row, x);
      out[x] = s.IsMono() ? MonoPixelOf(PixelToColor(p)) : p;
    }
  }
  return static_cast<int>(count);
}
