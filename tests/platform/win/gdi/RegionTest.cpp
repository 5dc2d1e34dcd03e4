#include <gtest/gtest.h>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Region.h"

namespace gdi_test {

using k58::gdi::Region;

namespace {

Region R(int l, int t, int r, int b) { return Region(RECT{l, t, r, b}); }

// Pixels of a region as a picture of [0, w) x [0, h).
std::string Pic(const Region& rgn, int w, int h) {
  std::string s;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s += rgn.Contains(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

}  // namespace

TEST(Region, CombineModesCoverTheRightPixels) {
  Region a = R(0, 0, 4, 4), b = R(2, 2, 6, 6);
  struct Case {
    int mode;
    const char* pixels;
  } cases[] = {
      {RGN_AND, "......\n......\n..##..\n..##..\n......\n......\n"},
      {RGN_OR, "####..\n####..\n######\n######\n..####\n..####\n"},
      {RGN_XOR, "####..\n####..\n##..##\n##..##\n..####\n..####\n"},
      {RGN_DIFF, "####..\n####..\n##....\n##....\n......\n......\n"},
      {RGN_COPY, "####..\n####..\n####..\n####..\n......\n......\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.pixels, Pic(Region::Combine(a, b, c.mode), 6, 6)) << "mode " << c.mode;
}

TEST(Region, SamePixelsMeansEqualWhateverTheConstruction) {
  // Two halves joined side by side, and top and bottom, give the single rectangle.
  Region side = Region::Combine(R(0, 0, 3, 5), R(3, 0, 6, 5), RGN_OR);
  Region stack = Region::Combine(R(0, 0, 6, 2), R(0, 2, 6, 5), RGN_OR);
  EXPECT_EQ(side, R(0, 0, 6, 5));
  EXPECT_EQ(stack, R(0, 0, 6, 5));
  EXPECT_EQ(SIMPLEREGION, side.Complexity());
  Region hole = Region::Combine(R(0, 0, 6, 6), R(2, 2, 4, 4), RGN_DIFF);
  EXPECT_EQ(COMPLEXREGION, hole.Complexity());
  EXPECT_NE(hole, R(0, 0, 6, 6));
  EXPECT_EQ(Region::Combine(hole, R(2, 2, 4, 4), RGN_OR), R(0, 0, 6, 6));
  EXPECT_EQ(NULLREGION, Region::Combine(R(0, 0, 2, 2), R(5, 5, 6, 6), RGN_AND).Complexity());
  EXPECT_TRUE(R(3, 3, 3, 9).IsEmpty());
}

TEST(Region, HandlesCombineOffsetAndTest) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(COMPLEXREGION, CombineRgn(d, a, b, RGN_OR));
  EXPECT_TRUE(PtInRegion(d, 12, 12));
  EXPECT_FALSE(PtInRegion(d, 12, 2));
  RECT box;
  EXPECT_EQ(COMPLEXREGION, GetRgnBox(d, &box));
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(15, box.bottom);
  EXPECT_EQ(SIMPLEREGION, OffsetRgn(a, 5, 5));
  EXPECT_TRUE(EqualRgn(a, b));
  RECT probe{14, 14, 20, 20}, miss{15, 0, 20, 5};
  EXPECT_TRUE(RectInRegion(d, &probe));
  EXPECT_FALSE(RectInRegion(d, &miss));
  EXPECT_EQ(ERROR, CombineRgn(d, a, nullptr, RGN_AND));
  EXPECT_EQ(SIMPLEREGION, CombineRgn(d, a, nullptr, RGN_COPY));
  for (HRGN h : {a, b, d}) EXPECT_TRUE(DeleteObject(h));
  // A deleted handle is refused, not used.
  EXPECT_EQ(ERROR, OffsetRgn(a, 1, 1));
  EXPECT_FALSE(DeleteObject(a));
}

TEST(Region, EllipseIsClosedAndSymmetric) {
  for (int size : {5, 8, 12, 13, 31}) {
    HRGN h = CreateEllipticRgn(0, 0, size, size);
    const Region& e = *k58::gdi::RegionOf(h);
    EXPECT_EQ(size, e.Bounds().right) << size;
    EXPECT_EQ(size, e.Bounds().bottom) << size;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        bool in = e.Contains(x, y);
        EXPECT_EQ(in, e.Contains(size - 1 - x, y)) << size << " " << x << "," << y;
        EXPECT_EQ(in, e.Contains(x, size - 1 - y)) << size << " " << x << "," << y;
        EXPECT_EQ(in, e.Contains(y, x)) << size << " " << x << "," << y;
      }
    // Rows are single runs that widen towards the middle.
    int previous = 0;
    for (int y = 0; y <= size / 2; ++y) {
      int n = 0;
      for (int x = 0; x < size; ++x) n += e.Contains(x, y);
      EXPECT_GE(n, previous) << size;
      previous = n;
    }
    DeleteObject(h);
  }
  HRGN small = CreateEllipticRgn(0, 0, 5, 5);
  EXPECT_EQ(".###.\n#####\n#####\n#####\n.###.\n", Pic(*k58::gdi::RegionOf(small), 5, 5));
  DeleteObject(small);
}

TEST(Region, PolygonFillModes) {
  // Two overlapping squares of the same orientation: alternate filling leaves out the overlap,
  // winding fills the union.
  POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
  INT counts[] = {4, 4};
  HRGN alt = CreatePolyPolygonRgn(pts, counts, 2, ALTERNATE);
  HRGN wind = CreatePolyPolygonRgn(pts, counts, 2, WINDING);
  EXPECT_EQ("####..\n####..\n##..##\n##..##\n..####\n..####\n", Pic(*k58::gdi::RegionOf(alt), 6, 6));
  EXPECT_EQ("####..\n####..\n######\n######\n..####\n..####\n", Pic(*k58::gdi::RegionOf(wind), 6, 6));
  DeleteObject(alt);
  DeleteObject(wind);
  // Integer vertices cover the same pixels as the rectangle.
  POINT sq[] = {{2, 1}, {7, 1}, {7, 4}, {2, 4}};
  HRGN p = CreatePolygonRgn(sq, 4, ALTERNATE);
  HRGN r = CreateRectRgn(2, 1, 7, 4);
  EXPECT_TRUE(EqualRgn(p, r));
  DeleteObject(p);
  DeleteObject(r);
}

TEST(Region, RoundRectCornersAreCut) {
  HRGN h = CreateRoundRectRgn(0, 0, 8, 6, 4, 4);
  EXPECT_EQ(".######.\n########\n########\n########\n########\n.######.\n", Pic(*k58::gdi::RegionOf(h), 8, 6));
  DeleteObject(h);
}

}  // namespace gdi_test
