// Scan conversion: the pixel sets of lines, polygons, ellipses, rounded rectangles and wide strokes.
//
// Pixels are addressed by integer coordinates and sampled at those points: a polygon covers the
// pixels (x, y) inside it with the top and left edges included and the bottom and right ones excluded,
// so the polygon (0,0) (10,0) (10,10) (0,10) covers the same pixels as the rectangle [0,10) x [0,10).
#pragma once

#include <algorithm>
#include <vector>

#include "platform/win/gdi/Region.h"

namespace k58::gdi {

struct PointD {
  double x;
  double y;
};

// Pixels of the line from (x0, y0) to (x1, y1), the last one omitted unless includeLast. Bresenham's
// walk along the major axis; the minor coordinate is the nearer one, and a tie goes to the one nearer
// the start point. The walk is limited to the major range [lo, hi) (the clip bounds); plot receives
// the pixel and its step number along the line.
template <class F>
void LinePixels(int x0, int y0, int x1, int y1, bool includeLast, int majorLo, int majorHi, F&& plot);

// Rows of a convex shape: row y (from top) covers [x0, x1); x1 <= x0 for an empty row.
struct RowShape {
  int top = 0;
  std::vector<Span> rows;
  bool Empty() const { return rows.empty(); }
  int Bottom() const { return top + static_cast<int>(rows.size()); }
  const Span* RowAt(int y) const {
    int i = y - top;
    return i >= 0 && i < static_cast<int>(rows.size()) ? &rows[i] : nullptr;
  }
};

// Rows are produced only within [yLo, yHi) (drawing passes the clip bounds, so huge figures cost
// only what is visible).
inline constexpr int kNoRowLimit = 1 << 28;

// The ellipse inscribed in [l, r) x [t, b).
RowShape EllipseRows(int l, int t, int r, int b, int yLo = -kNoRowLimit, int yHi = kNoRowLimit);
// The rectangle [l, r) x [t, b) with corners cut by quarter ellipses of a w x h ellipse.
RowShape RoundRectRows(int l, int t, int r, int b, int w, int h, int yLo = -kNoRowLimit, int yHi = kNoRowLimit);
// Boundary (pixels with a 4-neighbour outside) and interior of a row shape.
void SplitOutline(const RowShape& shape, Region& outline, Region& interior);
Region RowShapeRegion(const RowShape& shape);

// Polygons with ALTERNATE or WINDING filling.
Region PolygonRegion(const std::vector<std::vector<PointD>>& polygons, int fillMode, int yLo = -kNoRowLimit,
                     int yHi = kNoRowLimit);
// The outline of a wide pen along a polyline: width pixels, PS_ENDCAP_* and PS_JOIN_* styles.
Region StrokeRegion(const std::vector<PointD>& points, bool closed, double width, int endCap, int join,
                    int yLo = -kNoRowLimit, int yHi = kNoRowLimit);

// ---- Template implementation ---------------------------------------------------------------------
template <class F>
void LinePixels(int x0, int y0, int x1, int y1, bool includeLast, int majorLo, int majorHi, F&& plot) {
  long long dx = static_cast<long long>(x1) - x0, dy = static_cast<long long>(y1) - y0;
  long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  bool xMajor = adx >= ady;
  long long n = xMajor ? adx : ady;  // steps
  long long m = xMajor ? ady : adx;
  int sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
  int sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  long long last = includeLast ? n : n - 1;
  if (n == 0) {
    if (includeLast) plot(x0, y0, 0LL);
    return;
  }
  // Restrict k so that the major coordinate stays within [majorLo, majorHi).
  long long start = xMajor ? x0 : y0;
  long long kLo = 0, kHi = last;
  if (sMaj > 0) {
    kLo = std::max<long long>(kLo, majorLo - start);
    kHi = std::min<long long>(kHi, majorHi - 1 - start);
  } else {
    kLo = std::max<long long>(kLo, start - (majorHi - 1));
    kHi = std::min<long long>(kHi, start - majorLo);
  }
  for (long long k = kLo; k <= kHi; ++k) {
    long long off = (2 * k * m + n - 1) / (2 * n);  // nearest, ties towards the start
    long long maj = start + sMaj * k;
    long long mino = (xMajor ? y0 : x0) + sMin * off;
    if (xMajor)
      plot(static_cast<int>(maj), static_cast<int>(mino), k);
    else
      plot(static_cast<int>(mino), static_cast<int>(maj), k);
  }
}

}  // namespace k58::gdi
