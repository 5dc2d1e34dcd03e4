// Region handles: creation, combination, tests, and painting regions.
#include <algorithm>

#include "platform/win/gdi/Draw.h"
#include "platform/win/gdi/Gdi.h"

namespace k58::gdi {

const Region* RegionOf(HRGN rgn) {
  auto r = FindRegion(rgn);
  return r ? &r->rgn : nullptr;
}

HRGN CreateRegionHandle(const Region& region) { return InsertRegion(region); }

BOOL SetRegionOf(HRGN rgn, const Region& region) {
  auto r = FindRegion(rgn);
  if (!r) return FALSE;
  r->rgn = region;
  return TRUE;
}

}  // namespace k58::gdi

using namespace k58::gdi;

namespace {

// Shapes made into regions are cut to rows within +-2^16, far beyond any surface or page.
constexpr int kRegionRows = 1 << 16;

RECT Normalized(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return RECT{DeviceContext::Clamp(l), DeviceContext::Clamp(t), DeviceContext::Clamp(r), DeviceContext::Clamp(b)};
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return InsertRegion(Region(Normalized(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  RECT r = Normalized(left, top, right, bottom);
  return InsertRegion(RowShapeRegion(EllipseRows(r.left, r.top, r.right, r.bottom, -kRegionRows, kRegionRows)));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  RECT r = Normalized(left, top, right, bottom);
  return InsertRegion(
      RowShapeRegion(RoundRectRows(r.left, r.top, r.right, r.bottom, width, height, -kRegionRows, kRegionRows)));
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode) {
  if (!points || !counts || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  std::vector<std::vector<PointD>> polys;
  size_t at = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 0) return nullptr;
    std::vector<PointD> poly;
    for (int k = 0; k < counts[i]; ++k, ++at)
      poly.push_back(PointD{static_cast<double>(points[at].x), static_cast<double>(points[at].y)});
    polys.push_back(std::move(poly));
  }
  return InsertRegion(PolygonRegion(polys, fillMode, -kRegionRows, kRegionRows));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  auto d = FindRegion(dest);
  auto a = FindRegion(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = a->rgn;
    return d->rgn.Complexity();
  }
  auto b = FindRegion(src2);
  if (!b) return ERROR;
  d->rgn = Region::Combine(a->rgn, b->rgn, mode);
  return d->rgn.Complexity();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  auto r = FindRegion(rgn);
  if (!r) return ERROR;
  r->rgn.Offset(dx, dy);
  return r->rgn.Complexity();
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  auto r = FindRegion(rgn);
  if (!r) return FALSE;
  r->rgn.SetRect(Normalized(left, top, right, bottom));
  return TRUE;
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto r = FindRegion(rgn);
  return r && r->rgn.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
  auto r = FindRegion(rgn);
  if (!r || !rect) return FALSE;
  return r->rgn.Intersects(Normalized(rect->left, rect->top, rect->right, rect->bottom)) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto ra = FindRegion(a);
  auto rb = FindRegion(b);
  if (!ra || !rb) return ERROR;
  return ra->rgn == rb->rgn ? TRUE : FALSE;
}

int GetRgnBox(HRGN rgn, LPRECT rect) {
  auto r = FindRegion(rgn);
  if (!r || !rect) return ERROR;
  *rect = r->rgn.Bounds();
  return r->rgn.Complexity();
}

namespace {

Region InSurface(const DeviceContext& dc, const Region& logical) {
  Region r = logical;
  r.Offset(dc.OffX(), dc.OffY());
  return r;
}

}  // namespace

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(rgn);
  auto b = FindBrush(brush);
  if (!dc || !r || !b) return FALSE;
  FillRegion(*dc, InSurface(*dc, r->rgn), BrushPaint(*dc, *b, R2_COPYPEN));
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(rgn);
  if (!dc || !r) return FALSE;
  FillRegion(*dc, InSurface(*dc, r->rgn), BrushPaint(*dc, *dc->st.brush, dc->st.rop2));
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(rgn);
  auto b = FindBrush(brush);
  if (!dc || !r || !b || width < 0 || height < 0) return FALSE;
  Region frame = Region::Combine(r->rgn, r->rgn.Eroded(width, height), RGN_DIFF);
  FillRegion(*dc, InSurface(*dc, frame), BrushPaint(*dc, *b, R2_COPYPEN));
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(rgn);
  if (!dc || !r) return FALSE;
  FillRegion(*dc, InSurface(*dc, r->rgn), SolidPaint(0, R2_NOT));
  return TRUE;
}
