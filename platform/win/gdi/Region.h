// Regions as sorted sets of rectangles.
//
// The rectangles are half-open, sorted in bands from the top down: all rectangles of a band share top
// and bottom, are sorted by left and neither overlap nor touch; vertically adjacent bands with the same
// horizontal extents are merged. Two regions covering the same pixels therefore hold the same
// rectangles, which makes equality a plain comparison.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/WinTypes.h"

namespace k58::gdi {

struct Span {
  int x0;
  int x1;  // exclusive
};

class Region {
public:
  Region() = default;
  explicit Region(const RECT& r);

  bool IsEmpty() const { return rects_.empty(); }
  const std::vector<RECT>& Rects() const { return rects_; }
  const RECT& Bounds() const { return bounds_; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;

  void SetEmpty();
  void SetRect(const RECT& r);
  void Offset(int dx, int dy);
  bool Contains(int x, int y) const;
  // True when some pixel of r is in the region.
  bool Intersects(const RECT& r) const;
  bool operator==(const Region& other) const;
  bool operator!=(const Region& other) const { return !(*this == other); }

  // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (a minus b), RGN_COPY (a).
  static Region Combine(const Region& a, const Region& b, int mode);
  Region Intersected(const RECT& r) const;
  // Pixels of the region whose neighbours at distance w horizontally and h vertically are also in it.
  Region Eroded(int w, int h) const;

  // Builds a region row by row: rows in increasing y, spans of a row in any order (overlaps allowed).
  class Builder {
  public:
    void AddRow(int y, std::vector<Span> spans);
    void AddBand(int top, int bottom, std::vector<Span> spans);
    Region Finish();

  private:
    void Emit(int top, int bottom, std::vector<Span>& spans);
    std::vector<RECT> rects_;
    size_t lastBandStart_ = 0;
    bool haveBand_ = false;
  };

  // Calls f(rect) for every rectangle of the region clipped to area (rectangles that miss it skipped).
  template <class F>
  void ForEachIn(const RECT& area, F&& f) const {
    if (rects_.empty() || area.right <= area.left || area.bottom <= area.top || area.left >= bounds_.right ||
        area.right <= bounds_.left || area.top >= bounds_.bottom || area.bottom <= bounds_.top)
      return;
    size_t i = FirstBandAtOrBelow(area.top);
    for (; i < rects_.size(); ++i) {
      const RECT& r = rects_[i];
      if (r.top >= area.bottom) break;
      if (r.right <= area.left || r.left >= area.right) continue;
      RECT c{r.left > area.left ? r.left : area.left, r.top > area.top ? r.top : area.top,
             r.right < area.right ? r.right : area.right, r.bottom < area.bottom ? r.bottom : area.bottom};
      f(c);
    }
  }

private:
  size_t FirstBandAtOrBelow(int y) const;  // index of the first rect whose bottom > y
  void UpdateBounds();

  std::vector<RECT> rects_;
  RECT bounds_{0, 0, 0, 0};
};

// Span helpers shared by the shape rasterizers.
void NormalizeSpans(std::vector<Span>& spans);

}  // namespace k58::gdi
