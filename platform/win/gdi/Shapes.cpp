// Filled figures: rectangles, ellipses, rounded rectangles, arcs, pies, chords and polygons; pixels.
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/win/gdi/Draw.h"
#include "platform/win/gdi/WinRect.h"

using namespace k58::gdi;

namespace {

// Ordered and kept within +-2^27 so that sizes and offsets cannot overflow.
RECT Normalized(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return RECT{DeviceContext::Clamp(l), DeviceContext::Clamp(t), DeviceContext::Clamp(r), DeviceContext::Clamp(b)};
}

// The ring a pen draws around a shape given by its rows in box, and the rows inside it. One-pixel pens
// draw the shape's boundary; wider pens the band between boxes grown and shrunk by the width
// (inside-frame pens stay within the box).
template <class RowsOfRange>
void ShapeRingAndInside(DeviceContext& dc, RECT box, RowsOfRange rowsOfRange, Region& ring, Region& inside) {
  const PenObject& pen = *dc.st.pen;
  // Only the rows near the clip (in logical coordinates) are computed.
  RECT cb = dc.Clip().Bounds();
  int margin = PenWidth(dc) + 2;
  int yLo = static_cast<int>(std::max<long long>(-kNoRowLimit, static_cast<long long>(cb.top) - dc.OffY() - margin));
  int yHi = static_cast<int>(std::min<long long>(kNoRowLimit, static_cast<long long>(cb.bottom) - dc.OffY() + margin));
  auto rowsOf = [&](RECT r) { return rowsOfRange(r, yLo, yHi); };
  if (pen.style == PS_NULL) {
    // Without a pen the figure is one pixel smaller to the right and below.
    inside = RowShapeRegion(rowsOf(RECT{box.left, box.top, box.right - 1, box.bottom - 1}));
    ring = Region();
    return;
  }
  int w = PenWidth(dc);
  if (w <= 1) {
    SplitOutline(rowsOf(box), ring, inside);
    return;
  }
  RECT outer = box;
  if (pen.style != PS_INSIDEFRAME) outer = RECT{box.left - w / 2, box.top - w / 2, box.right + (w - 1) / 2, box.bottom + (w - 1) / 2};
  RECT inner{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
  Region all = RowShapeRegion(rowsOf(outer));
  inside = inner.right > inner.left && inner.bottom > inner.top ? RowShapeRegion(rowsOf(inner)) : Region();
  ring = Region::Combine(all, inside, RGN_DIFF);
}

void PaintRingAndInside(DeviceContext& dc, Region ring, Region inside) {
  ring.Offset(dc.OffX(), dc.OffY());
  inside.Offset(dc.OffX(), dc.OffY());
  FillWithBrush(dc, inside);
  FillRegion(dc, ring, PenPaint(dc, dc.st.pen->color));
}

struct ArcGeometry {
  double cx, cy;  // centre
  double a, b;    // semi-axes
  double start, sweep;
  PointD p1, p2;  // end points on the ellipse (logical)
};

double Angle(double dx, double dy) { return std::atan2(-dy, dx); }

ArcGeometry ArcOf(const DeviceContext& dc, RECT box, int xs, int ys, int xe, int ye) {
  ArcGeometry g;
  g.cx = (box.left + box.right - 1) / 2.0;
  g.cy = (box.top + box.bottom - 1) / 2.0;
  g.a = std::max(0.5, (box.right - box.left - 1) / 2.0);
  g.b = std::max(0.5, (box.bottom - box.top - 1) / 2.0);
  double as = Angle(xs - g.cx, ys - g.cy), ae = Angle(xe - g.cx, ye - g.cy);
  if (dc.st.arcDirection == AD_CLOCKWISE) std::swap(as, ae);
  g.start = as;
  g.sweep = std::fmod(ae - as + 4 * M_PI, 2 * M_PI);
  if (g.sweep == 0) g.sweep = 2 * M_PI;
  auto onEllipse = [&](double ang) {
    double dx = std::cos(ang), dy = -std::sin(ang);
    double t = 1 / std::sqrt(dx * dx / (g.a * g.a) + dy * dy / (g.b * g.b));
    return PointD{g.cx + dx * t, g.cy + dy * t};
  };
  PointD ps = onEllipse(Angle(xs - g.cx, ys - g.cy)), pe = onEllipse(Angle(xe - g.cx, ye - g.cy));
  g.p1 = ps;
  g.p2 = pe;
  return g;
}

bool InSweep(const ArcGeometry& g, double x, double y) {
  if (x == g.cx && y == g.cy) return true;
  double d = std::fmod(Angle(x - g.cx, y - g.cy) - g.start + 4 * M_PI, 2 * M_PI);
  return d <= g.sweep + 1e-9;
}

Region Filter(const Region& r, const std::function<bool(int, int)>& keep) {
  Region::Builder b;
  const auto& rects = r.Rects();
  for (size_t i = 0; i < rects.size();) {
    size_t j = i;
    while (j < rects.size() && rects[j].top == rects[i].top) ++j;  // one band: rects [i, j)
    for (int y = rects[i].top; y < rects[i].bottom; ++y) {
      std::vector<Span> spans;
      for (size_t k = i; k < j; ++k)
        for (int x = rects[k].left; x < rects[k].right; ++x)
          if (keep(x, y)) {
            if (!spans.empty() && spans.back().x1 == x)
              spans.back().x1 = x + 1;
            else
              spans.push_back(Span{x, x + 1});
          }
      if (!spans.empty()) b.AddRow(y, std::move(spans));
    }
    i = j;
  }
  return b.Finish();
}

enum class ArcKind { Arc, Pie, Chord };

BOOL DrawArcFigure(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, ArcKind kind) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  RECT box = Normalized(l, t, r, b);
  if (RectEmpty(box)) return TRUE;
  ArcGeometry g = ArcOf(*dc, box, xs, ys, xe, ye);
  Region ring, inside;
  ShapeRingAndInside(
      *dc, box, [](RECT rc, int lo, int hi) { return EllipseRows(rc.left, rc.top, rc.right, rc.bottom, lo, hi); }, ring,
      inside);
  // An arc has no pen-less form: it needs the one-pixel outline even for a null pen's geometry.
  Region arc = Filter(ring, [&](int x, int y) { return InSweep(g, x, y); });
  Region fill;
  POINT e1{static_cast<int>(std::lround(g.p1.x)), static_cast<int>(std::lround(g.p1.y))};
  POINT e2{static_cast<int>(std::lround(g.p2.x)), static_cast<int>(std::lround(g.p2.y))};
  POINT c{static_cast<int>(std::lround(g.cx)), static_cast<int>(std::lround(g.cy))};
  if (kind == ArcKind::Pie) {
    fill = Filter(inside, [&](int x, int y) { return InSweep(g, x, y); });
  } else if (kind == ArcKind::Chord) {
    double mid = g.start + g.sweep / 2;
    PointD m{g.cx + std::cos(mid), g.cy - std::sin(mid)};
    auto side = [&](double x, double y) {
      return (g.p2.x - g.p1.x) * (y - g.p1.y) - (g.p2.y - g.p1.y) * (x - g.p1.x);
    };
    double ms = side(m.x, m.y);
    fill = Filter(inside, [&](int x, int y) {
      double s = side(x, y);
      return s == 0 || (s > 0) == (ms > 0);
    });
  }
  if (kind != ArcKind::Arc) {
    fill.Offset(dc->OffX(), dc->OffY());
    FillWithBrush(*dc, fill);
  }
  if (PenIsNull(*dc)) return TRUE;
  arc.Offset(dc->OffX(), dc->OffY());
  FillRegion(*dc, arc, PenPaint(*dc, dc->st.pen->color));
  int ox = dc->OffX(), oy = dc->OffY();
  auto s = [&](POINT p) { return POINT{p.x + ox, p.y + oy}; };
  if (kind == ArcKind::Pie) {
    dc->styleCounter = 0;
    StrokePoints(*dc, {s(e1), s(c), s(e2)}, false);
  } else if (kind == ArcKind::Chord) {
    dc->styleCounter = 0;
    StrokePoints(*dc, {s(e1), s(e2)}, false);
  }
  return TRUE;
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  RECT box = Normalized(left, top, right, bottom);
  if (dc->pathOpen) {
    RecordPath(*dc,
               {POINT{dc->DevX(box.left), dc->DevY(box.top)}, POINT{dc->DevX(box.right), dc->DevY(box.top)},
                POINT{dc->DevX(box.right), dc->DevY(box.bottom)}, POINT{dc->DevX(box.left), dc->DevY(box.bottom)}},
               true, false);
    return TRUE;
  }
  if (RectEmpty(box)) return TRUE;
  RECT s = dc->ToSurface(box);
  const PenObject& pen = *dc->st.pen;
  if (pen.style == PS_NULL) {
    FillWithBrush(*dc, Region(RECT{s.left, s.top, s.right - 1, s.bottom - 1}));
    return TRUE;
  }
  int w = PenWidth(*dc);
  if (w <= 1) {
    FillWithBrush(*dc, Region(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}));
    std::vector<POINT> outline{{s.left, s.top}, {s.right - 1, s.top}, {s.right - 1, s.bottom - 1}, {s.left, s.bottom - 1}};
    if (pen.style == PS_SOLID || pen.style == PS_INSIDEFRAME) {
      Region frame = Region::Combine(Region(s), Region(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}), RGN_DIFF);
      FillRegion(*dc, frame, PenPaint(*dc, pen.color));
    } else {
      dc->styleCounter = 0;
      StrokePoints(*dc, outline, true);
    }
    return TRUE;
  }
  if (pen.style == PS_INSIDEFRAME) {
    Region inner(RECT{s.left + w, s.top + w, s.right - w, s.bottom - w});
    FillWithBrush(*dc, inner);
    int l = s.left + w / 2, t = s.top + w / 2, r = s.right - 1 - (w - 1) / 2, b = s.bottom - 1 - (w - 1) / 2;
    StrokePoints(*dc, {{l, t}, {r, t}, {r, b}, {l, b}}, true);
    return TRUE;
  }
  FillWithBrush(*dc, Region(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}));
  StrokePoints(*dc, {{s.left, s.top}, {s.right - 1, s.top}, {s.right - 1, s.bottom - 1}, {s.left, s.bottom - 1}}, true);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  RECT box = Normalized(left, top, right, bottom);
  if (RectEmpty(box)) return TRUE;
  Region ring, inside;
  ShapeRingAndInside(
      *dc, box, [](RECT r, int lo, int hi) { return EllipseRows(r.left, r.top, r.right, r.bottom, lo, hi); }, ring,
      inside);
  PaintRingAndInside(*dc, std::move(ring), std::move(inside));
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  RECT box = Normalized(left, top, right, bottom);
  if (RectEmpty(box)) return TRUE;
  Region ring, inside;
  ShapeRingAndInside(
      *dc, box,
      [&](RECT r, int lo, int hi) { return RoundRectRows(r.left, r.top, r.right, r.bottom, width, height, lo, hi); },
      ring, inside);
  PaintRingAndInside(*dc, std::move(ring), std::move(inside));
  return TRUE;
}

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Arc);
}
BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Pie);
}
BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Chord);
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons) {
  auto dc = FindDC(hdc);
  if (!dc || !points || !counts || polygons <= 0) return FALSE;
  for (int i = 0; i < polygons; ++i)
    if (counts[i] < 2) return FALSE;
  std::vector<std::vector<POINT>> figs;
  size_t at = 0;
  for (int i = 0; i < polygons; ++i) {
    std::vector<POINT> dev;
    for (int k = 0; k < counts[i]; ++k, ++at) dev.push_back(POINT{dc->DevX(points[at].x), dc->DevY(points[at].y)});
    figs.push_back(std::move(dev));
  }
  if (dc->pathOpen) {
    for (auto& f : figs) RecordPath(*dc, f, true, false);
    return TRUE;
  }
  std::vector<std::vector<PointD>> polys;
  for (auto& f : figs) {
    std::vector<PointD> poly;
    for (POINT& p : f) {
      p.x += dc->origin.x;
      p.y += dc->origin.y;
      poly.push_back(PointD{static_cast<double>(p.x), static_cast<double>(p.y)});
    }
    polys.push_back(std::move(poly));
  }
  RECT cb = dc->Clip().Bounds();
  FillWithBrush(*dc, PolygonRegion(polys, dc->st.polyFillMode, cb.top, cb.bottom));
  for (auto& f : figs) {
    dc->styleCounter = 0;
    StrokePoints(*dc, f, true);
  }
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  if (count < 2) return FALSE;
  return PolyPolygon(hdc, points, &count, 1);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  int sx = dc->SurfX(x), sy = dc->SurfY(y);
  if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
  uint32_t p = dc->Pixel(color & 0x00FFFFFF);
  dc->Target()->Set(sx, sy, p);
  return PixelToColor(p);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  int sx = dc->SurfX(x), sy = dc->SurfY(y);
  if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
  return PixelToColor(dc->Target()->Get(sx, sy) & kPixelMask);
}
