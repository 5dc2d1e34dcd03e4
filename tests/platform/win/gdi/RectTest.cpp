#include <gtest/gtest.h>

#include "platform/win/gdi/WinRect.h"
#include "tests/common/Geometry.h"

namespace gdi_test {

namespace {

TEST(RectTest, PointsOnTheRightAndBottomEdgesAreOutside) {
  const RECT r{10, 20, 30, 40};
  struct Case { POINT p; BOOL inside; };
  for (const Case& c : {Case{{10, 20}, TRUE}, Case{{29, 39}, TRUE}, Case{{30, 25}, FALSE},
                        Case{{15, 40}, FALSE}, Case{{9, 25}, FALSE}}) {
    EXPECT_EQ(PtInRect(&r, c.p), c.inside) << c.p.x << "," << c.p.y;
  }
  const RECT flat{5, 5, 5, 9};
  EXPECT_TRUE(IsRectEmpty(&flat));
}

TEST(RectTest, IntersectAndUnionTreatEmptyRectanglesAsNothing) {
  const RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, apart{30, 30, 40, 40}, empty{3, 3, 3, 3};
  RECT r{1, 2, 3, 4};
  EXPECT_TRUE(IntersectRect(&r, &a, &b));
  EXPECT_EQ(r, (RECT{5, 5, 10, 10}));
  EXPECT_FALSE(IntersectRect(&r, &a, &apart));
  EXPECT_EQ(r, (RECT{0, 0, 0, 0}));
  EXPECT_TRUE(UnionRect(&r, &a, &empty));
  EXPECT_EQ(r, a);
  EXPECT_TRUE(UnionRect(&r, &a, &apart));
  EXPECT_EQ(r, (RECT{0, 0, 40, 40}));
  EXPECT_FALSE(UnionRect(&r, &empty, &empty));
}

TEST(RectTest, SubtractRemovesOnlyAWholeSide) {
  const RECT a{0, 0, 100, 50};
  struct Case { RECT cut; RECT expected; BOOL notEmpty; };
  for (const Case& c : {Case{{-5, -5, 105, 10}, {0, 10, 100, 50}, TRUE},   // top strip
                        Case{{0, 40, 100, 60}, {0, 0, 100, 40}, TRUE},     // bottom strip
                        Case{{-1, -1, 30, 51}, {30, 0, 100, 50}, TRUE},    // left strip
                        Case{{90, 0, 100, 50}, {0, 0, 90, 50}, TRUE},      // right strip
                        Case{{40, 10, 60, 20}, {0, 0, 100, 50}, TRUE},     // a hole: unchanged
                        Case{{-1, -1, 101, 51}, {0, 0, 0, 0}, FALSE}}) {   // everything
    RECT r;
    EXPECT_EQ(SubtractRect(&r, &a, &c.cut), c.notEmpty);
    EXPECT_EQ(r, c.expected);
  }
}

}  // namespace

}  // namespace gdi_test
