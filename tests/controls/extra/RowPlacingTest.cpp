// Placing tabs along a row (stretching, forward and reversed rows, stopping at the end) and rows across
// the control (arranging around the active tab, ScrollOpposite, bottom tabs, row areas).
#include <gtest/gtest.h>

#include <vector>

#include "controls/extra/uiPCRowPlacing.h"

namespace extra_test {

using namespace k58::extra;

TEST(TabRowPlacing, FullRowIsStretchedAndPlacedBothWays) {
  std::vector<Integer> widths{50, 60, 40};
  StretchTabRow(widths, 0, 2, 200, 10);
  EXPECT_EQ(widths, (std::vector<Integer>{60, 72, 48})) << "30 free: 10, 12 and the rest 8";

  std::vector<Integer> positions(3);
  TabRowPlacement forward = PlaceTabRow(widths, positions, 0, 2, 5, 200, 10, false, false);
  EXPECT_EQ(positions, (std::vector<Integer>{5, 75, 157}));
  EXPECT_TRUE(forward.lastShownWhole);
  TabRowPlacement reversed = PlaceTabRow(widths, positions, 0, 2, 5, 200, 10, true, false);
  EXPECT_EQ(positions, (std::vector<Integer>{145, 63, 5}));
  EXPECT_EQ(reversed.lastPlaced, 2);
  EXPECT_TRUE(reversed.lastShownWhole);

  std::vector<Integer> over{120, 100};
  StretchTabRow(over, 0, 1, 200, 0);
  EXPECT_EQ(over, (std::vector<Integer>{120, 100})) << "an over-full row is left alone";
}

TEST(TabRowPlacing, StopAtEndEndsAfterTheTabThatReachesTheEnd) {
  const std::vector<Integer> widths{100, 100, 100, 100};
  std::vector<Integer> positions(4, -1);
  TabRowPlacement cut = PlaceTabRow(widths, positions, 0, 3, 0, 250, 0, false, true);
  EXPECT_EQ(cut.lastPlaced, 2);
  EXPECT_FALSE(cut.lastShownWhole);
  EXPECT_EQ(positions[3], -1);
  TabRowPlacement fits = PlaceTabRow(widths, positions, 0, 1, 0, 250, 0, false, true);
  EXPECT_EQ(fits.lastPlaced, 1);
  EXPECT_TRUE(fits.lastShownWhole);
  TabRowPlacement reversedCut = PlaceTabRow(widths, positions, 1, 3, 0, 250, 0, true, true);
  EXPECT_EQ(reversedCut.lastPlaced, 3);
  EXPECT_FALSE(reversedCut.lastShownWhole);
}

TEST(TabRowPlacing, RowsArrangedAroundTheActiveTab) {
  const std::vector<Integer> rows{0, 0, 1, 1, 2};
  struct Case {
    const char* name;
    bool mirrored;
    Integer active;
    bool moved, opposite;
    TuiTabPosition position;
    std::vector<Integer> display;
    Integer split;
  } cases[] = {
      {"top, active row comes last", false, 0, true, false, tpTop, {2, 2, 0, 0, 1}, 3},
      {"top, ScrollOpposite", false, 0, true, true, tpTop, {0, 0, 1, 1, 2}, 1},
      {"bottom, ScrollOpposite", false, 0, true, true, tpBottom, {2, 2, 1, 1, 0}, 2},
      {"bottom, rotated", false, 0, true, false, tpBottom, {0, 0, 2, 2, 1}, 0},
      {"mirrored, no active tab", true, -1, true, false, tpTop, {2, 2, 1, 1, 0}, 3},
      {"painter keeps the rows", false, 0, false, false, tpLeft, {0, 0, 1, 1, 2}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TabRowArrangement a = ArrangeTabRows(rows, 3, c.mirrored, c.active, c.moved, c.opposite, c.position);
    EXPECT_EQ(a.displayRows, c.display);
    EXPECT_EQ(a.splitRow, c.split);
  }
}

TEST(TabRowPlacing, RowsAcrossAndTheirAreas) {
  // Bottom tabs with ScrollOpposite: one row at the bottom edge, two at the top.
  TabRowsAcrossInput input{0, 100, 20, 2, 4, 0, 0};
  TabRowsAcross bottom = PlaceTabRowsAcross({2, 2, 1, 1, 0}, 3, 2, input, tpBottom);
  EXPECT_EQ(bottom.positions, (std::vector<Integer>{80, 80, 22, 22, 0}));
  EXPECT_EQ((std::vector<Integer>{bottom.nearFirst, bottom.nearLast, bottom.farFirst, bottom.farLast}),
            (std::vector<Integer>{0, 42, 80, 100}));

  // Rows on both edges that would touch are kept apart by the region's row distance.
  TabRowsAcrossInput tight{0, 100, 40, 0, 30, 0, 0};
  TabRowsAcross top = PlaceTabRowsAcross({0, 1}, 2, 1, tight, tpTop);
  EXPECT_EQ(top.positions, (std::vector<Integer>{0, 60}));
  EXPECT_EQ(top.nearLast, 40);
  EXPECT_EQ(top.farFirst, 70);
  TabRowsAcross right = PlaceTabRowsAcross({0, 1}, 2, 1, tight, tpRight);
  EXPECT_EQ(right.farFirst, 60);
  EXPECT_EQ(right.nearLast, 30);
}

}  // namespace extra_test
