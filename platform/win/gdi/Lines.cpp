// Pens: one-pixel lines with dash styles, wide outlines; MoveToEx/LineTo/Polyline; paths.
#include <algorithm>

#include "platform/win/gdi/Draw.h"
#include "platform/win/gdi/Gdi.h"

namespace k58::gdi {

namespace {

// Dash patterns of one-pixel pens, in pixels: on, off, on, off...
const std::vector<int>& DashesOf(int style) {
  static const std::vector<int> kDash{18, 6}, kDot{3, 3}, kDashDot{9, 6, 3, 6}, kDashDotDot{9, 3, 3, 3, 3, 3},
      kAlternate{1, 1}, kSolid{};
  switch (style) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    case PS_ALTERNATE: return kAlternate;
    default: return kSolid;
  }
}

struct Dashes {
  std::vector<bool> on;  // one entry per pixel of a period; empty: solid
  bool Solid() const { return on.empty(); }
};

Dashes DashesFor(const PenObject& pen) {
  Dashes d;
  std::vector<int> lengths;
  if (pen.style == PS_USERSTYLE) {
    for (DWORD v : pen.userStyle) lengths.push_back(static_cast<int>(std::min<DWORD>(v, 1000)));
  } else {
    lengths = DashesOf(pen.style);
  }
  for (size_t i = 0; i < lengths.size(); ++i) d.on.insert(d.on.end(), static_cast<size_t>(lengths[i]), (i % 2) == 0);
  if (std::find(d.on.begin(), d.on.end(), false) == d.on.end()) d.on.clear();  // nothing off: solid
  return d;
}

void CosmeticSegment(DeviceContext& dc, POINT a, POINT b, const Paint& on, const Paint& off, const Dashes& dashes) {
  const Region& clip = dc.Clip();
  if (clip.IsEmpty()) return;
  RECT cb = clip.Bounds();
  long long base = dc.styleCounter;
  long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  long long steps = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  dc.styleCounter += steps;
  // Quick rejection of lines wholly outside the clip.
  if (std::max(a.x, b.x) < cb.left || std::min(a.x, b.x) >= cb.right || std::max(a.y, b.y) < cb.top ||
      std::min(a.y, b.y) >= cb.bottom)
    return;
  if (dashes.Solid() && (dx == 0 || dy == 0) && steps > 0) {
    // Horizontal and vertical solid lines are spans.
    RECT r = dx == 0 ? (dy > 0 ? RECT{a.x, a.y, a.x + 1, b.y} : RECT{a.x, b.y + 1, a.x + 1, a.y + 1})
                     : (dx > 0 ? RECT{a.x, a.y, b.x, a.y + 1} : RECT{b.x + 1, a.y, a.x + 1, a.y + 1});
    FillRect(dc, r, on);
    return;
  }
  bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  int lo = xMajor ? cb.left : cb.top, hi = xMajor ? cb.right : cb.bottom;
  size_t period = dashes.on.size();
  LinePixels(a.x, a.y, b.x, b.y, false, lo, hi, [&](int x, int y, long long k) {
    if (dashes.Solid() || dashes.on[static_cast<size_t>((base + k) % static_cast<long long>(period))])
      PlotPixel(dc, x, y, on);
    else
      PlotPixel(dc, x, y, off);
  });
}

std::vector<PointD> ToPointD(const std::vector<POINT>& pts) {
  std::vector<PointD> out;
  out.reserve(pts.size());
  for (const POINT& p : pts) out.push_back(PointD{static_cast<double>(p.x), static_cast<double>(p.y)});
  return out;
}

}  // namespace

bool PenIsNull(const DeviceContext& dc) { return dc.st.pen->style == PS_NULL; }

int PenWidth(const DeviceContext& dc) { return dc.st.pen->IsWide() ? dc.st.pen->width : 1; }

void StrokePoints(DeviceContext& dc, const std::vector<POINT>& pts, bool closed) {
  const PenObject& pen = *dc.st.pen;
  if (pen.style == PS_NULL || pts.empty()) return;
  Paint on = PenPaint(dc, pen.color);
  if (pen.IsWide()) {
    RECT cb = dc.Clip().Bounds();
    Region r = StrokeRegion(ToPointD(pts), closed, pen.width, pen.endCap, pen.join, cb.top, cb.bottom);
    FillRegion(dc, r, on);
    return;
  }
  Dashes dashes = DashesFor(pen);
  Paint off;
  if (!dashes.Solid() && dc.st.bkMode == OPAQUE) off = SolidPaint(dc.Pixel(dc.st.bkColor), dc.st.rop2);
  size_t n = pts.size();
  size_t segs = closed ? n : n - 1;
  for (size_t i = 0; i < segs; ++i) CosmeticSegment(dc, pts[i], pts[(i + 1) % n], on, off, dashes);
}

void FillWithBrush(DeviceContext& dc, const Region& rgn) {
  Paint p = BrushPaint(dc, *dc.st.brush, dc.st.rop2);
  FillRegion(dc, rgn, p);
}

bool RecordPath(DeviceContext& dc, const std::vector<POINT>& devicePts, bool closed, bool continues) {
  if (!dc.pathOpen) return false;
  if (continues && !dc.path.empty() && !dc.path.back().closed) {
    auto& fig = dc.path.back().points;
    fig.insert(fig.end(), devicePts.begin() + (devicePts.empty() ? 0 : 1), devicePts.end());
  } else {
    dc.path.push_back(PathFigure{devicePts, closed});
  }
  if (closed) dc.path.back().closed = true;
  return true;
}

}  // namespace k58::gdi

using namespace k58::gdi;

namespace {

POINT Dev(const DeviceContext& dc, int x, int y) { return POINT{dc.DevX(x), dc.DevY(y)}; }
POINT Surf(const DeviceContext& dc, POINT dev) {
  return POINT{DeviceContext::Clamp(static_cast<long long>(dev.x) + dc.origin.x),
               DeviceContext::Clamp(static_cast<long long>(dev.y) + dc.origin.y)};
}

std::vector<POINT> ToSurface(const DeviceContext& dc, const std::vector<POINT>& dev) {
  std::vector<POINT> out;
  out.reserve(dev.size());
  for (const POINT& p : dev) out.push_back(Surf(dc, p));
  return out;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->st.curPos;
  dc->st.curPos = POINT{x, y};
  dc->styleCounter = 0;
  if (dc->pathOpen) dc->path.push_back(PathFigure{{Dev(*dc, x, y)}, false});
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT position) {
  auto dc = FindDC(hdc);
  if (!dc || !position) return FALSE;
  *position = dc->st.curPos;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  std::vector<POINT> dev{Dev(*dc, dc->st.curPos.x, dc->st.curPos.y), Dev(*dc, x, y)};
  dc->st.curPos = POINT{x, y};
  if (RecordPath(*dc, dev, false, true)) return TRUE;
  StrokePoints(*dc, ToSurface(*dc, dev), false);
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  auto dc = FindDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  std::vector<POINT> dev;
  dev.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) dev.push_back(Dev(*dc, points[i].x, points[i].y));
  if (RecordPath(*dc, dev, false, false)) return TRUE;
  long long saved = dc->styleCounter;
  dc->styleCounter = 0;
  StrokePoints(*dc, ToSurface(*dc, dev), false);
  dc->styleCounter = saved;
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count) {
  auto dc = FindDC(hdc);
  if (!dc || !points || count == 0) return FALSE;
  std::vector<POINT> dev{Dev(*dc, dc->st.curPos.x, dc->st.curPos.y)};
  for (DWORD i = 0; i < count; ++i) dev.push_back(Dev(*dc, points[i].x, points[i].y));
  dc->st.curPos = points[count - 1];
  if (RecordPath(*dc, dev, false, true)) return TRUE;
  StrokePoints(*dc, ToSurface(*dc, dev), false);
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD polylines) {
  auto dc = FindDC(hdc);
  if (!dc || !points || !counts) return FALSE;
  for (DWORD i = 0; i < polylines; ++i)
    if (counts[i] < 2) return FALSE;
  size_t at = 0;
  long long saved = dc->styleCounter;
  for (DWORD i = 0; i < polylines; ++i) {
    std::vector<POINT> dev;
    for (DWORD k = 0; k < counts[i]; ++k, ++at) dev.push_back(Dev(*dc, points[at].x, points[at].y));
    if (RecordPath(*dc, dev, false, false)) continue;
    dc->styleCounter = 0;
    StrokePoints(*dc, ToSurface(*dc, dev), false);
  }
  dc->styleCounter = saved;
  return TRUE;
}

// ---- Paths -------------------------------------------------------------------------------------------

BOOL BeginPath(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->path.clear();
  dc->pathOpen = true;
  dc->pathReady = false;
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc || !dc->pathOpen) return FALSE;
  dc->pathOpen = false;
  dc->pathReady = true;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->path.clear();
  dc->pathOpen = dc->pathReady = false;
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc || !dc->pathOpen) return FALSE;
  if (!dc->path.empty()) dc->path.back().closed = true;
  return TRUE;
}

namespace {

// The closed path as a region in device coordinates; consumes the path.
bool TakePathRegion(DeviceContext& dc, Region& out) {
  if (!dc.pathReady) return false;
  std::vector<std::vector<PointD>> polys;
  for (const auto& fig : dc.path) {
    std::vector<PointD> poly;
    for (const POINT& p : fig.points) poly.push_back(PointD{static_cast<double>(p.x), static_cast<double>(p.y)});
    polys.push_back(std::move(poly));
  }
  out = PolygonRegion(polys, dc.st.polyFillMode, -(1 << 20), 1 << 20);
  return true;
}

void ClearPath(DeviceContext& dc) {
  dc.path.clear();
  dc.pathReady = false;
}

}  // namespace

HRGN PathToRegion(HDC hdc) {
  auto dc = FindDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(*dc, r)) return nullptr;
  ClearPath(*dc);
  return InsertRegion(std::move(r));
}

BOOL FillPath(HDC hdc) {
  auto dc = FindDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(*dc, r)) return FALSE;
  r.Offset(dc->origin.x, dc->origin.y);
  FillWithBrush(*dc, r);
  ClearPath(*dc);
  return TRUE;
}

BOOL StrokePath(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc || !dc->pathReady) return FALSE;
  for (const auto& fig : dc->path) {
    dc->styleCounter = 0;
    StrokePoints(*dc, ToSurface(*dc, fig.points), fig.closed);
  }
  ClearPath(*dc);
  return TRUE;
}

BOOL StrokeAndFillPath(HDC hdc) {
  auto dc = FindDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(*dc, r)) return FALSE;
  r.Offset(dc->origin.x, dc->origin.y);
  FillWithBrush(*dc, r);
  for (const auto& fig : dc->path) StrokePoints(*dc, ToSurface(*dc, fig.points), true);
  ClearPath(*dc);
  return TRUE;
}

BOOL SelectClipPath(HDC hdc, int mode) {
  auto dc = FindDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(*dc, r)) return FALSE;
  ClearPath(*dc);
  HRGN h = CreateRegionHandle(r);
  int result = ExtSelectClipRgn(hdc, h, mode);
  DeleteObject(h);
  return result != ERROR ? TRUE : FALSE;
}
