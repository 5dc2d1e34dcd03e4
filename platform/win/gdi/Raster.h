// Pixel writing: what a pen or brush puts on the surface (solid colour or aligned pattern, through a
// binary raster operation) and clipped fills of rectangles, spans, regions and single pixels.
// All coordinates here are surface coordinates.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/gdi/Objects.h"

namespace k58::gdi {

struct Paint {
  bool none = true;  // nothing is drawn (null pen or brush)
  int rop2 = R2_COPYPEN;
  uint32_t color = 0;
  // Pattern (brushes): pixel (x, y) takes pattern[(y - oy) mod ph][(x - ox) mod pw]; where the mask
  // is 0 the pixel is left alone (hatch brushes in TRANSPARENT mode).
  bool patterned = false;
  int pw = 0;
  int ph = 0;
  int ox = 0;
  int oy = 0;
  std::vector<uint32_t> pattern;
  std::vector<uint8_t> mask;
};

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst);
// Generic ternary raster operation on whole pixels (the rop's index byte in bits 16..23).
uint32_t ApplyRop3(uint32_t rop, uint32_t pat, uint32_t src, uint32_t dst);
bool RopUsesSource(uint32_t rop);
bool RopUsesPattern(uint32_t rop);

Paint SolidPaint(uint32_t pixel, int rop2);
// The paint of a brush in this DC (pattern origin: DC origin + brush origin).
Paint BrushPaint(DeviceContext& dc, const BrushObject& brush, int rop2);
Paint PenPaint(DeviceContext& dc, COLORREF color);

void FillRect(DeviceContext& dc, RECT r, const Paint& paint);
void FillSpan(DeviceContext& dc, int y, int x0, int x1, const Paint& paint);
void FillRegion(DeviceContext& dc, const Region& rgn, const Paint& paint);
void PlotPixel(DeviceContext& dc, int x, int y, const Paint& paint);

// Ternary raster operation with a pattern (the DC's brush) over a rectangle, no source.
void PatternBlt(DeviceContext& dc, RECT r, uint32_t rop);

}  // namespace k58::gdi
