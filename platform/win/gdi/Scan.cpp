#include "platform/win/gdi/Scan.h"

#include <algorithm>
#include <cmath>

#include "platform/win/gdi/WinGdi.h"

namespace k58::gdi {

namespace {

using i128 = __int128;

long long ISqrt(i128 v) {
  if (v <= 0) return 0;
  auto r = static_cast<long long>(std::sqrt(static_cast<long double>(v)));
  while (static_cast<i128>(r) * r > v) --r;
  while (static_cast<i128>(r + 1) * (r + 1) <= v) ++r;
  return r;
}

// Half-width in doubled coordinates of the ellipse row at doubled offset Y, or -1 when empty.
// A and B are the doubled semi-axes (box size - 1); the threshold adds A*B*(A+B) to A^2*B^2, which
// for circles is the classic r^2 + r rule and keeps small circles round.
long long EllipseHalfWidth(long long A, long long B, long long Y) {
  i128 a2 = static_cast<i128>(A) * A, b2 = static_cast<i128>(B) * B;
  i128 t = a2 * b2 + static_cast<i128>(A) * B * (A + B);
  i128 rest = t - static_cast<i128>(Y) * Y * a2;
  if (rest < 0) return -1;
  long long xmax = B == 0 ? A : ISqrt(rest / b2);
  if (xmax > A) xmax = A;
  if ((xmax & 1) != (A & 1)) --xmax;
  return xmax;
}

}  // namespace

RowShape EllipseRows(int l, int t, int r, int b, int yLo, int yHi) {
  RowShape s;
  int y0 = std::max(t, yLo), y1 = std::min(b, yHi);
  if (r <= l || y1 <= y0) return s;
  s.top = y0;
  long long A = static_cast<long long>(r) - l - 1, B = static_cast<long long>(b) - t - 1;
  long long cx = static_cast<long long>(l) + r - 1, cy = static_cast<long long>(t) + b - 1;
  s.rows.resize(static_cast<size_t>(y1 - y0));
  for (int y = y0; y < y1; ++y) {
    long long Y = 2LL * y - cy;
    long long X = EllipseHalfWidth(A, B, Y);
    Span& sp = s.rows[static_cast<size_t>(y - y0)];
    if (X < 0) {
      sp = Span{0, 0};
      continue;
    }
    sp.x0 = static_cast<int>((cx - X) / 2);
    sp.x1 = static_cast<int>((cx + X) / 2) + 1;
  }
  return s;
}

RowShape RoundRectRows(int l, int t, int r, int b, int w, int h, int yLo, int yHi) {
  RowShape s;
  int y0 = std::max(t, yLo), y1 = std::min(b, yHi);
  if (r <= l || y1 <= y0) return s;
  w = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(w)), static_cast<long long>(r) - l));
  h = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(h)), static_cast<long long>(b) - t));
  s.top = y0;
  s.rows.assign(static_cast<size_t>(y1 - y0), Span{l, r});
  if (w < 2 || h < 2) return s;
  int half = h / 2;
  // Corner rows: the first and last `half` rows take the inset of the w x h ellipse's rows.
  long long A = w - 1, B = h - 1;
  auto inset = [&](int ey) {
    long long X = EllipseHalfWidth(A, B, 2LL * ey - (h - 1));
    return X < 0 ? w / 2 : static_cast<int>((A - X) / 2);
  };
  for (int y = y0; y < y1; ++y) {
    long long fromTop = static_cast<long long>(y) - t, fromBottom = static_cast<long long>(b) - 1 - y;
    int ey = -1;
    if (fromTop < half)
      ey = static_cast<int>(fromTop);
    else if (fromBottom < half)
      ey = h - 1 - static_cast<int>(fromBottom);
    if (ey < 0) continue;
    int in = inset(ey);
    s.rows[static_cast<size_t>(y - y0)] = Span{l + in, r - in};
  }
  return s;
}

void SplitOutline(const RowShape& shape, Region& outline, Region& interior) {
  Region::Builder ob, ib;
  int n = static_cast<int>(shape.rows.size());
  for (int i = 0; i < n; ++i) {
    const Span& cur = shape.rows[static_cast<size_t>(i)];
    if (cur.x1 <= cur.x0) continue;
    int y = shape.top + i;
    Span up = i > 0 ? shape.rows[static_cast<size_t>(i - 1)] : Span{0, 0};
    Span down = i + 1 < n ? shape.rows[static_cast<size_t>(i + 1)] : Span{0, 0};
    if (up.x1 <= up.x0 || down.x1 <= down.x0) {
      ob.AddRow(y, {cur});
      continue;
    }
    int in0 = std::max({cur.x0 + 1, up.x0, down.x0});
    int in1 = std::min({cur.x1 - 1, up.x1, down.x1});
    if (in1 <= in0) {
      ob.AddRow(y, {cur});
      continue;
    }
    ob.AddRow(y, {Span{cur.x0, in0}, Span{in1, cur.x1}});
    ib.AddRow(y, {Span{in0, in1}});
  }
  outline = ob.Finish();
  interior = ib.Finish();
}

Region RowShapeRegion(const RowShape& shape) {
  Region::Builder b;
  for (size_t i = 0; i < shape.rows.size(); ++i)
    if (shape.rows[i].x1 > shape.rows[i].x0) b.AddRow(shape.top + static_cast<int>(i), {shape.rows[i]});
  return b.Finish();
}

Region PolygonRegion(const std::vector<std::vector<PointD>>& polygons, int fillMode, int yLo, int yHi) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  double ymin = 1e18, ymax = -1e18;
  for (const auto& poly : polygons) {
    size_t n = poly.size();
    if (n < 3) continue;
    for (size_t i = 0; i < n; ++i) {
      PointD a = poly[i], b = poly[(i + 1) % n];
      if (a.y == b.y) continue;
      if (a.y < b.y)
        edges.push_back({a.x, a.y, b.x, b.y, 1});
      else
        edges.push_back({b.x, b.y, a.x, a.y, -1});
      ymin = std::min({ymin, a.y, b.y});
      ymax = std::max({ymax, a.y, b.y});
    }
  }
  Region::Builder builder;
  if (edges.empty()) return builder.Finish();
  constexpr double kLimit = 1 << 27;
  int y0 = std::max(yLo, static_cast<int>(std::ceil(std::max(ymin, -kLimit))));
  int y1 = std::min(yHi, static_cast<int>(std::ceil(std::min(ymax, kLimit))));
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  std::vector<const Edge*> active;
  std::vector<std::pair<double, int>> xs;
  size_t next = 0;
  for (int y = y0; y < y1; ++y) {
    while (next < edges.size() && edges[next].y0 <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 <= y; }),
                 active.end());
    xs.clear();
    for (const Edge* e : active) {
      if (e->y0 > y) continue;
      double x = e->x0 + (y - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0);
      xs.emplace_back(x, e->dir);
    }
    if (xs.empty()) continue;
    std::sort(xs.begin(), xs.end());
    std::vector<Span> spans;
    int winding = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += fillMode == WINDING ? xs[i].second : 1;
      bool inside = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (!inside) continue;
      double a = std::clamp(xs[i].first, -kLimit, kLimit), b = std::clamp(xs[i + 1].first, -kLimit, kLimit);
      int s0 = static_cast<int>(std::ceil(a)), s1 = static_cast<int>(std::ceil(b));
      if (s1 > s0) spans.push_back(Span{s0, s1});
    }
    if (!spans.empty()) builder.AddRow(y, std::move(spans));
  }
  return builder.Finish();
}

namespace {

double Cross(PointD a, PointD b) { return a.x * b.y - a.y * b.x; }

void AddOriented(std::vector<std::vector<PointD>>& out, std::vector<PointD> poly) {
  double area = 0;
  for (size_t i = 0; i < poly.size(); ++i) area += Cross(poly[i], poly[(i + 1) % poly.size()]);
  if (area < 0) std::reverse(poly.begin(), poly.end());
  if (area != 0) out.push_back(std::move(poly));
}

std::vector<PointD> Disc(PointD c, double r) {
  int n = std::max(8, static_cast<int>(std::ceil(r * 4)));
  std::vector<PointD> p;
  p.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    double a = 2 * M_PI * (i + 0.5) / n;
    p.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return p;
}

}  // namespace

Region StrokeRegion(const std::vector<PointD>& input, bool closed, double width, int endCap, int join, int yLo,
                    int yHi) {
  std::vector<PointD> pts;
  for (const PointD& p : input)
    if (pts.empty() || p.x != pts.back().x || p.y != pts.back().y) pts.push_back(p);
  if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y) pts.pop_back();
  double hw = width / 2;
  std::vector<std::vector<PointD>> pieces;
  if (pts.size() == 1) {
    if (endCap == PS_ENDCAP_ROUND) AddOriented(pieces, Disc(pts[0], hw));
    if (endCap == PS_ENDCAP_SQUARE)
      AddOriented(pieces, {{pts[0].x - hw, pts[0].y - hw}, {pts[0].x + hw, pts[0].y - hw},
                           {pts[0].x + hw, pts[0].y + hw}, {pts[0].x - hw, pts[0].y + hw}});
    return PolygonRegion(pieces, WINDING, yLo, yHi);
  }
  size_t segs = closed ? pts.size() : pts.size() - 1;
  auto normalOf = [&](size_t i) {
    PointD a = pts[i], b = pts[(i + 1) % pts.size()];
    double len = std::hypot(b.x - a.x, b.y - a.y);
    return PointD{-(b.y - a.y) / len, (b.x - a.x) / len};
  };
  for (size_t i = 0; i < segs; ++i) {
    PointD a = pts[i], b = pts[(i + 1) % pts.size()];
    double len = std::hypot(b.x - a.x, b.y - a.y);
    PointD u{(b.x - a.x) / len, (b.y - a.y) / len};
    PointD n{-u.y * hw, u.x * hw};
    if (!closed && endCap == PS_ENDCAP_SQUARE) {
      if (i == 0) a = PointD{a.x - u.x * hw, a.y - u.y * hw};
      if (i + 1 == segs) b = PointD{b.x + u.x * hw, b.y + u.y * hw};
    }
    AddOriented(pieces, {{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}});
  }
  if (!closed && endCap == PS_ENDCAP_ROUND) {
    AddOriented(pieces, Disc(pts.front(), hw));
    AddOriented(pieces, Disc(pts.back(), hw));
  }
  // Joins at the inner vertices (every vertex of a closed figure).
  size_t firstJoin = closed ? 0 : 1, lastJoin = closed ? pts.size() : pts.size() - 1;
  for (size_t v = firstJoin; v < lastJoin; ++v) {
    size_t prev = (v + pts.size() - 1) % pts.size();
    PointD c = pts[v];
    PointD n1 = normalOf(prev), n2 = normalOf(v);
    double turn = Cross(PointD{-n1.y, n1.x}, PointD{-n2.y, n2.x});
    if (turn == 0 && n1.x * n2.x + n1.y * n2.y > 0) continue;  // straight on
    if (join == PS_JOIN_ROUND) {
      AddOriented(pieces, Disc(c, hw));
      continue;
    }
    // The outer side is opposite to the turn direction.
    double s = turn > 0 ? -1 : 1;
    PointD p1{c.x + s * n1.x * hw, c.y + s * n1.y * hw}, p2{c.x + s * n2.x * hw, c.y + s * n2.y * hw};
    if (join == PS_JOIN_MITER) {
      PointD bis{n1.x + n2.x, n1.y + n2.y};
      double bl = std::hypot(bis.x, bis.y);
      double cosHalf = bl / 2;  // cos of half the angle between the normals
      if (cosHalf > 0.1) {      // mitre length within 10 half-widths
        double ml = hw / cosHalf;
        PointD m{c.x + s * bis.x / bl * ml, c.y + s * bis.y / bl * ml};
        AddOriented(pieces, {c, p1, m, p2});
        continue;
      }
    }
    AddOriented(pieces, {c, p1, p2});
  }
  return PolygonRegion(pieces, WINDING, yLo, yHi);
}

}  // namespace k58::gdi
