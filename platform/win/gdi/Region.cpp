#include "platform/win/gdi/Region.h"

#include <algorithm>

#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinRect.h"

namespace k58::gdi {

namespace {

// Intervals of the band of `rects` that covers [y, ...), starting the search at index `i`.
// Advances i past bands that end at or above y.
void BandSpansAt(const std::vector<RECT>& rects, size_t& i, int y, std::vector<Span>& out) {
  out.clear();
  while (i < rects.size() && rects[i].bottom <= y) ++i;
  if (i >= rects.size() || rects[i].top > y) return;
  int top = rects[i].top;
  for (size_t j = i; j < rects.size() && rects[j].top == top; ++j) out.push_back({rects[j].left, rects[j].right});
}

bool Covered(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;
  }
}

// Combines two sorted, disjoint span lists.
void CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode, std::vector<Span>& out) {
  out.clear();
  std::vector<int> xs;
  xs.reserve((a.size() + b.size()) * 2);
  for (const auto& s : a) { xs.push_back(s.x0); xs.push_back(s.x1); }
  for (const auto& s : b) { xs.push_back(s.x0); xs.push_back(s.x1); }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < xs.size(); ++k) {
    int x0 = xs[k], x1 = xs[k + 1];
    while (ia < a.size() && a[ia].x1 <= x0) ++ia;
    while (ib < b.size() && b[ib].x1 <= x0) ++ib;
    bool inA = ia < a.size() && a[ia].x0 <= x0;
    bool inB = ib < b.size() && b[ib].x0 <= x0;
    if (!Covered(mode, inA, inB)) continue;
    if (!out.empty() && out.back().x1 == x0)
      out.back().x1 = x1;
    else
      out.push_back({x0, x1});
  }
}

}  // namespace

void NormalizeSpans(std::vector<Span>& spans) {
  spans.erase(std::remove_if(spans.begin(), spans.end(), [](const Span& s) { return s.x1 <= s.x0; }), spans.end());
  if (spans.size() < 2) return;
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
  size_t w = 0;
  for (size_t r = 1; r < spans.size(); ++r) {
    if (spans[r].x0 <= spans[w].x1)
      spans[w].x1 = std::max(spans[w].x1, spans[r].x1);
    else
      spans[++w] = spans[r];
  }
  spans.resize(w + 1);
}

Region::Region(const RECT& r) { SetRect(r); }

bool Region::operator==(const Region& other) const {
  return std::equal(rects_.begin(), rects_.end(), other.rects_.begin(), other.rects_.end(),
                    [](const RECT& a, const RECT& b) {
                      return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
                    });
}

int Region::Complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void Region::SetEmpty() {
  rects_.clear();
  bounds_ = RECT{0, 0, 0, 0};
}

void Region::SetRect(const RECT& r) {
  rects_.clear();
  if (!gdi::RectEmpty(r)) rects_.push_back(r);
  UpdateBounds();
}

void Region::Offset(int dx, int dy) {
  for (auto& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
  UpdateBounds();
}

void Region::UpdateBounds() {
  if (rects_.empty()) {
    bounds_ = RECT{0, 0, 0, 0};
    return;
  }
  bounds_ = RECT{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
  for (const auto& r : rects_) {
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.right = std::max(bounds_.right, r.right);
  }
}

size_t Region::FirstBandAtOrBelow(int y) const {
  auto it = std::upper_bound(rects_.begin(), rects_.end(), y, [](int v, const RECT& r) { return v < r.bottom; });
  return static_cast<size_t>(it - rects_.begin());
}

bool Region::Contains(int x, int y) const {
  if (rects_.empty() || x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom)
    return false;
  for (size_t i = FirstBandAtOrBelow(y); i < rects_.size(); ++i) {
    const RECT& r = rects_[i];
    if (r.top > y) return false;
    if (x < r.left) return false;
    if (x < r.right) return true;
  }
  return false;
}

bool Region::Intersects(const RECT& area) const {
  bool hit = false;
  ForEachIn(area, [&](const RECT& r) { hit = hit || !gdi::RectEmpty(r); });
  return hit;
}

Region Region::Intersected(const RECT& r) const {
  if (gdi::RectEmpty(r)) return Region();
  return Combine(*this, Region(r), RGN_AND);
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
  if (mode == RGN_COPY) return a;
  if (mode == RGN_AND && (a.IsEmpty() || b.IsEmpty())) return Region();
  if ((mode == RGN_OR || mode == RGN_XOR) && b.IsEmpty()) return a;
  if ((mode == RGN_OR || mode == RGN_XOR) && a.IsEmpty()) return b;
  if (mode == RGN_DIFF && (a.IsEmpty() || b.IsEmpty())) return a;

  std::vector<int> ys;
  ys.reserve((a.rects_.size() + b.rects_.size()) * 2);
  for (const auto& r : a.rects_) { ys.push_back(r.top); ys.push_back(r.bottom); }
  for (const auto& r : b.rects_) { ys.push_back(r.top); ys.push_back(r.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Builder builder;
  size_t ia = 0, ib = 0;
  std::vector<Span> sa, sb, out;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    BandSpansAt(a.rects_, ia, ys[k], sa);
    BandSpansAt(b.rects_, ib, ys[k], sb);
    if (sa.empty() && sb.empty()) continue;
    CombineSpans(sa, sb, mode, out);
    builder.AddBand(ys[k], ys[k + 1], out);
  }
  return builder.Finish();
}

Region Region::Eroded(int w, int h) const {
  Region r = *this;
  auto shifted = [this](int dx, int dy) {
    Region s = *this;
    s.Offset(dx, dy);
    return s;
  };
  if (w > 0) {
    r = Combine(r, shifted(w, 0), RGN_AND);
    r = Combine(r, shifted(-w, 0), RGN_AND);
  }
  if (h > 0) {
    r = Combine(r, shifted(0, h), RGN_AND);
    r = Combine(r, shifted(0, -h), RGN_AND);
  }
  return r;
}

void Region::Builder::AddRow(int y, std::vector<Span> spans) { AddBand(y, y + 1, std::move(spans)); }

void Region::Builder::AddBand(int top, int bottom, std::vector<Span> spans) {
  if (bottom <= top) return;
  NormalizeSpans(spans);
  Emit(top, bottom, spans);
}

void Region::Builder::Emit(int top, int bottom, std::vector<Span>& spans) {
  if (spans.empty()) return;
  // Merge with the previous band when it touches this one and has the same extents.
  if (haveBand_) {
    size_t n = rects_.size() - lastBandStart_;
    const RECT& first = rects_[lastBandStart_];
    if (first.bottom == top && n == spans.size()) {
      bool same = true;
      for (size_t k = 0; k < n && same; ++k)
        same = rects_[lastBandStart_ + k].left == spans[k].x0 && rects_[lastBandStart_ + k].right == spans[k].x1;
      if (same) {
        for (size_t k = 0; k < n; ++k) rects_[lastBandStart_ + k].bottom = bottom;
        return;
      }
    }
  }
  lastBandStart_ = rects_.size();
  haveBand_ = true;
  for (const auto& s : spans) rects_.push_back(RECT{s.x0, top, s.x1, bottom});
}

Region Region::Builder::Finish() {
  Region r;
  r.rects_ = std::move(rects_);
  r.UpdateBounds();
  rects_.clear();
  haveBand_ = false;
  lastBandStart_ = 0;
  return r;
}

}  // namespace k58::gdi
