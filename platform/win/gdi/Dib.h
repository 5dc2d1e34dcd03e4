// Reading device-independent bitmaps (1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB or BI_BITFIELDS).
#pragma once

#include <vector>

#include "platform/win/gdi/Surface.h"
#include "platform/win/gdi/WinGdi.h"

namespace k58::gdi {

struct DibFormat {
  long long width = 0;
  long long height = 0;
  bool topDown = false;
  int bpp = 0;
  int stride = 0;
  uint32_t rMask = 0, gMask = 0, bMask = 0;
  std::vector<uint32_t> table;  // pixels 0x00RRGGBB
};

bool ParseDib(const BITMAPINFO* info, UINT usage, DibFormat& format);
uint32_t DibPixel(const DibFormat& f, const uint8_t* row, int x);
// Rows firstRow .. firstRow + rows - 1 in storage order (the rest black) as a 32-bit surface.
SurfacePtr DibToSurface(const DibFormat& f, const void* bits, int firstRow, int rows);

}  // namespace k58::gdi
