// Layout, hit testing, selection, scrolling and count changes at a fixed client size.
//
// The pretended window is 400 x 150 pixels. With the defaults (titles shown, columns 80 and rows 30 wide,
// lines of 1 pixel) column c > 0 starts at 81 * c and row r > 0 at 31 * r.
#include <gtest/gtest.h>

#include "platform/win/core/WinMessages.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

TEST(Layout, AxisMetrics) {
  TTestGrid grid;
  const TGridAxisInfo cols = grid.CalcColAxis();
  EXPECT_EQ(cols.LineWidth, 1);
  EXPECT_EQ(cols.TitleBoundary, 81);
  EXPECT_EQ(cols.FixedBoundary, 81);
  EXPECT_EQ(cols.LastFullVisibleCell, 3);
  EXPECT_EQ(cols.FullVisBoundary, 324);
  EXPECT_EQ(cols.GridBoundary, 400);
  const TGridAxisInfo rows = grid.CalcRowAxis();
  EXPECT_EQ(rows.TitleBoundary, 31);
  EXPECT_EQ(rows.LastFullVisibleCell, 3);
  EXPECT_EQ(rows.GridBoundary, 150);
  EXPECT_EQ(grid.VisibleColCount(), 3);

  // Frozen cells, a hidden title, no vertical lines, and a grid that ends inside the client area.
  grid.SetFixedCols(1);
  grid.SetShowColTitle(false);
  grid.SetOptions(TCellGridOptions{goFixedHorzLine, goHorzLine});
  grid.SetColWidths(2, 40);
  const TGridAxisInfo cols2 = grid.CalcColAxis();
  EXPECT_EQ(cols2.LineWidth, 0);
  EXPECT_EQ(cols2.TitleBoundary, 80);
  EXPECT_EQ(cols2.FixedBoundary, 160);
  EXPECT_EQ(cols2.LastFullVisibleCell, 4);
  EXPECT_EQ(cols2.GridBoundary, 360);
  const TGridAxisInfo rows2 = grid.CalcRowAxis();
  EXPECT_EQ(rows2.TitleBoundary, 0);
  EXPECT_EQ(rows2.FixedBoundary, 0);
  EXPECT_EQ(rows2.LastFullVisibleCell, 4);
  EXPECT_EQ(rows2.GridBoundary, 124);
}

TEST(Layout, CellFromPoint) {
  TTestGrid grid;
  grid.SetColCount(8);
  grid.SetFixedCols(1);
  grid.MoveTopLeft(4, 1);
  struct Case {
    Integer X, Y;
    TGridCoord Cell;
  };
  for (const Case& k : std::vector<Case>{
           {0, 0, {0, 0}},
           {80, 30, {0, 0}},
           {81, 31, {1, 1}},     // frozen column
           {161, 61, {1, 1}},
           {162, 62, {4, 2}},    // the first scrolling column follows the frozen one
           {243, 93, {5, 3}},
           {399, 149, {6, 4}},
           {5000, 5000, {7, 4}},  // beyond every cell: the last one
           {-10, -10, {0, 0}},
       }) {
    EXPECT_EQ(grid.CellFromPoint(k.X, k.Y), k.Cell) << k.X << "," << k.Y;
  }
}

TEST(Layout, CellRangeRect) {
  TTestGrid grid;
  grid.SetColCount(8);
  EXPECT_EQ(grid.CellRangeRect({1, 1, 1, 1}, false), (TRect{81, 31, 161, 61}));
  EXPECT_EQ(grid.CellRangeRect({1, 1, 1, 1}, true), (TRect{81, 31, 162, 62}));
  EXPECT_EQ(grid.CellRangeRect({1, 1, 3, 2}, true), (TRect{81, 31, 324, 93}));
  EXPECT_EQ(grid.CellRangeRect({0, 0, 0, 0}, false), (TRect{0, 0, 80, 30}));
  EXPECT_EQ(grid.CellRangeRect({3, 1, 2, 1}, true), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(grid.CellRangeRect({1, 2, 1, 1}, true), (TRect{0, 0, 0, 0}));
  // Columns scrolled out lie left of the fixed boundary.
  grid.MoveTopLeft(3, 1);
  EXPECT_EQ(grid.CellRangeRect({1, 1, 1, 1}, false), (TRect{-81, 31, -1, 61}));
  EXPECT_EQ(grid.CellRangeRect({3, 1, 3, 1}, false), (TRect{81, 31, 161, 61}));
  TRect r;
  grid.GetCellRect(4, 2, r);
  EXPECT_EQ(r, (TRect{162, 62, 242, 92}));
}

TEST(Layout, LargestFirstScrollingCell) {
  TTestGrid grid;
  EXPECT_EQ(grid.CalcMaxTopLeft({4, 4}), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.CalcMaxTopLeft({1, 1}), (TGridCoord{1, 1}));
  // Hidden columns take no room and are never the first one.
  grid.SetColWidths(3, -1);
  EXPECT_EQ(grid.CalcMaxTopLeft({4, 4}), (TGridCoord{1, 2}));
  grid.SetColWidths(3, 80);
  // A cell wider than the room is still shown first.
  grid.SetColWidths(4, 1000);
  EXPECT_EQ(grid.CalcMaxTopLeft({4, 4}).X, 4);
}

// ---- Extents ----

TEST(Extents, IndexesOutsideTheCountsAndDefaults) {
  TTestGrid grid;
  EXPECT_THROW(grid.SetColWidths(grid.ColCount(), 10), EInvalidGridOperation);
  EXPECT_THROW(grid.SetRowHeights(-1, 10), EInvalidGridOperation);
  EXPECT_EQ(grid.GetColWidths(grid.ColCount()), 80);
  EXPECT_EQ(grid.GetColWidths(-1), 80);
  grid.SetColWidths(2, 33);
  EXPECT_EQ(grid.GetColWidths(2), 33);
  grid.SetColCount(7);
  EXPECT_EQ(grid.GetColWidths(6), 80);
  grid.SetDefaultColWidth(50);
  EXPECT_EQ(grid.GetColWidths(2), 50);
  EXPECT_EQ(grid.GetColWidths(6), 50);
}

TEST(Extents, ChangedWidthRepaintsFromTheColumnAndSameWidthNothing) {
  TTestGrid grid;
  grid.ClearLog();
  grid.SetColWidths(2, 80);
  EXPECT_TRUE(grid.Invalidated.empty());
  grid.SetColWidths(2, 60);
  ASSERT_FALSE(grid.Invalidated.empty());
  EXPECT_EQ(grid.Invalidated[0], (TRect{162, 0, 400, 150}));
}

// ---- Counts ----

TEST(Counts, ColumnLimits) {
  TGridBoxRecorder boxes;
  TTestGrid grid;
  grid.SetColCount(300);
  EXPECT_EQ(grid.ColCount(), 256);
  EXPECT_TRUE(boxes.Boxes.empty());
  grid.SetDesigning(true);
  grid.SetColCount(400);
  EXPECT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(grid.ColCount(), 256);
  grid.SetDesigning(false);

  TTestGrid small;
  small.SetFixedCols(2);
  small.SetColCount(1);
  EXPECT_EQ(small.ColCount(), 2);
  EXPECT_EQ(small.FixedCols(), 0);
  small.SetRowCount(-3);
  EXPECT_EQ(small.RowCount(), 2);
}

TEST(Counts, FixedCountsAreCheckedAndResetTheFocus) {
  TTestGrid grid;
  grid.SetFixedCols(4);  // not below ColCount - 1: ignored
  EXPECT_EQ(grid.FixedCols(), 0);
  EXPECT_THROW(grid.SetFixedRows(-1), EInvalidGridOperation);
  grid.MoveCurrent(3, 3, true, false);
  grid.SetFixedRows(2);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 3}));
  EXPECT_EQ(grid.FirstScrollRow(), 3);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 3, 1, 3}));
}

TEST(Counts, ShrinkingMovesTheFocusInside) {
  TTestGrid grid;
  grid.SetRowCount(10);
  grid.MoveCurrent(2, 9, true, true);
  grid.SetRowCount(5);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 4}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 4, 2, 4}));
  EXPECT_LE(grid.FirstScrollRow(), grid.CalcMaxTopLeft({4, 4}).Y);
}

TEST(Counts, FailedAdjustmentRestoresCountsAndStore) {
  TTestGrid grid;
  grid.SetRowCount(10);
  grid.MoveCurrent(1, 9, true, true);
  grid.SetOnSelectCell([](TObject*, Integer, Integer, bool&) { throw Exception("refused"); });
  EXPECT_THROW(grid.SetRowCount(5), Exception);
  EXPECT_EQ(grid.RowCount(), 10);
  EXPECT_NO_THROW(grid.GetCellInfo(4, 9));
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 9}));
}

TEST(Counts, InsertedAndDeletedLinesKeepRecordsAndBlocksInStep) {
  TTestGrid grid;
  grid.SetRowCount(8);
  for (Integer r = 1; r < 8; ++r) grid.GetCellInfo(1, r)->ForeText = IntToStr(r);
  for (Integer r = 5; r <= 6; ++r) grid.GetCellInfo(2, r)->Range = {2, 5, 2, 6};
  grid.InsertDeleteLines(3, 2, true);
  EXPECT_EQ(grid.RowCount(), 10);
  EXPECT_EQ(grid.GetCellInfo(1, 3)->ForeText, "");
  EXPECT_EQ(grid.GetCellInfo(1, 5)->ForeText, "3");
  EXPECT_EQ(grid.GetCellInfo(2, 7)->Range, (TGridRect{2, 7, 2, 8}));
  grid.InsertDeleteLines(2, -3, true);
  EXPECT_EQ(grid.RowCount(), 7);
  EXPECT_EQ(grid.GetCellInfo(1, 2)->ForeText, "3");
  EXPECT_EQ(grid.GetCellInfo(2, 4)->Range, (TGridRect{2, 4, 2, 5}));
  EXPECT_THROW(grid.InsertDeleteLines(5, -3, true), EInvalidGridOperation);
  grid.InsertDeleteLines(1, -1, false);
  EXPECT_EQ(grid.ColCount(), 4);
  EXPECT_EQ(grid.GetCellInfo(1, 4)->Range, (TGridRect{1, 4, 1, 5}));
}

// ---- Focus and selection ----

TEST(Selection, MoveCurrentChecksAndAsksBeforeMoving) {
  TTestGrid grid;
  EXPECT_THROW(grid.MoveCurrent(5, 1, true, false), EInvalidGridOperation);
  EXPECT_THROW(grid.MoveCurrent(1, -1, true, false), EInvalidGridOperation);
  std::vector<TGridCoord> asked;
  bool allow = false;
  grid.SetOnSelectCell([&](TObject*, Integer c, Integer r, bool& can) {
    asked.push_back({c, r});
    can = allow;
  });
  grid.MoveCurrent(3, 2, true, false);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
  allow = true;
  grid.MoveCurrent(3, 2, true, false);
  EXPECT_EQ(grid.Focus(), (TGridCoord{3, 2}));
  EXPECT_EQ(asked, (std::vector<TGridCoord>{{3, 2}, {3, 2}}));
}

TEST(Selection, FocusOnAMergedBlockSelectsTheBlock) {
  TTestGrid grid;
  for (Integer c = 2; c <= 3; ++c)
    for (Integer r = 2; r <= 3; ++r) grid.GetCellInfo(c, r)->Range = {2, 2, 3, 3};
  grid.MoveCurrent(2, 2, true, false);
  EXPECT_EQ(grid.Anchor(), (TGridCoord{3, 3}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 3, 3}));
}

TEST(Selection, RangeKeepsTheAnchorAndRowSelectSpansTheRow) {
  TTestGrid grid;
  grid.MoveCurrent(1, 1, true, false);
  grid.MoveAnchor({3, 2}, true);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 1, 3, 2}));
  grid.MoveCurrent(2, 2, false, false);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 3, 2}));

  grid.SetOptions(grid.Options() + TCellGridOptions{goRowSelect, goAlwaysShowEditor});
  EXPECT_FALSE(grid.Options().Contains(goAlwaysShowEditor));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 2, 4, 2}));
  grid.MoveCurrent(3, 4, true, false);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 4, 4, 4}));
}

TEST(Selection, SameSelectionRepaintsNothingAndAChangeOnlyTheDifference) {
  TTestGrid grid;
  grid.SetSelection({1, 1, 1, 1});
  grid.ClearLog();
  grid.SetSelection({1, 1, 1, 1});
  EXPECT_TRUE(grid.Invalidated.empty());
  grid.SetSelection({1, 1, 2, 1});
  // Titles of the old and new selection, then the strip the selection gained.
  ASSERT_EQ(grid.Invalidated.size(), 5u);
  EXPECT_EQ(grid.Invalidated.back(), (TRect{158, 27, 247, 66}));
}

TEST(Selection, CornersAreClampedOutOfTheFrozenCells) {
  TTestGrid grid;
  grid.SetFixedRows(1);
  grid.SetSelection({0, 0, 9, 9});
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 2, 4, 4}));
}

// ---- Scrolling ----

TEST(Scrolling, FocusBeyondTheWindowScrollsItIntoView) {
  TTestGrid grid;
  grid.SetRowCount(10);
  std::vector<Integer> firstRows;
  grid.SetOnTopLeftChanged([&](TObject*) { firstRows.push_back(grid.FirstScrollRow()); });
  grid.ClearLog();
  grid.MoveCurrent(1, 4, true, true);
  EXPECT_EQ(grid.FirstScrollRow(), 2);
  ASSERT_EQ(grid.Scrolls.size(), 1u);
  EXPECT_EQ(grid.Scrolls[0].DY, -31);
  EXPECT_EQ(grid.Scrolls[0].Area.top, 31);
  EXPECT_EQ(grid.Scrolls[0].Area.left, 0);
  // A jump further than the visible rows repaints instead of scrolling.
  grid.ClearLog();
  grid.MoveCurrent(1, 9, true, true);
  EXPECT_EQ(grid.FirstScrollRow(), 7);
  EXPECT_TRUE(grid.Scrolls.empty());
  // Back above the first scrolling row.
  grid.MoveCurrent(1, 3, true, true);
  EXPECT_EQ(grid.FirstScrollRow(), 3);
  EXPECT_EQ(firstRows, (std::vector<Integer>{2, 7, 3}));
}

TEST(Scrolling, ScrollCodesMoveTheFirstRow) {
  struct Case {
    Integer From;
    Integer Code;
    Integer Pos;
    bool ThumbTracking;
    Integer To;
  };
  // Ten rows, three fit below the title: rows 1..7 can be the first one.
  for (const Case& k : std::vector<Case>{
           {1, SB_LINEUP, 0, false, 1},
           {1, SB_LINEDOWN, 0, false, 2},
           {7, SB_LINEDOWN, 0, false, 7},
           {1, SB_PAGEDOWN, 0, false, 3},
           {5, SB_PAGEUP, 0, false, 3},
           {2, SB_PAGEUP, 0, false, 1},
           {4, SB_TOP, 0, false, 1},
           {1, SB_BOTTOM, 0, false, 7},
           {1, SB_THUMBPOSITION, 127, false, 7},
           {1, SB_THUMBPOSITION, 64, false, 4},
           {1, SB_THUMBTRACK, 64, false, 1},
           {1, SB_THUMBTRACK, 64, true, 4},
           {3, 99, 0, false, 3},
       }) {
    TTestGrid grid;
    grid.SetRowCount(10);
    if (k.ThumbTracking) grid.SetOptions(grid.Options() + TCellGridOptions{goThumbTracking});
    grid.MoveTopLeft(1, k.From);
    grid.ScrollByCode(1, k.Code, k.Pos);
    EXPECT_EQ(grid.FirstScrollRow(), k.To) << "from " << k.From << " code " << k.Code << " pos " << k.Pos;
  }
}

TEST(Scrolling, HiddenRowsAreSteppedOver) {
  TTestGrid grid;
  grid.SetRowCount(10);
  grid.SetRowHeights(2, -1);
  grid.SetRowHeights(3, 0);
  grid.ScrollByCode(1, SB_LINEDOWN, 0);
  EXPECT_EQ(grid.FirstScrollRow(), 4);
  grid.ScrollByCode(1, SB_LINEUP, 0);
  EXPECT_EQ(grid.FirstScrollRow(), 1);
}

TEST(Scrolling, TwoColumnGridScrollsByPixels) {
  TTestGrid grid;
  grid.EnableBars(true, false);
  grid.SetColCount(2);
  grid.SetColWidths(1, 600);
  grid.UpdateScrollRange();
  // The overflow of column 1 beside the title column.
  EXPECT_EQ(grid.Range[0][1], 600 - (400 - 81));
  grid.ClearLog();
  grid.ScrollByCode(0, SB_LINERIGHT, 0);
  EXPECT_EQ(grid.HorzOffset(), 6);  // the width of "0"
  ASSERT_FALSE(grid.Scrolls.empty());
  EXPECT_EQ(grid.Scrolls[0].DX, -6);
  EXPECT_EQ(grid.Pos[0], 6);
  EXPECT_EQ(grid.CellRangeRect({1, 1, 1, 1}, false).left, 81 - 6);
  grid.ScrollByCode(0, SB_RIGHT, 0);
  EXPECT_EQ(grid.HorzOffset(), 281);
  grid.ScrollByCode(0, SB_THUMBTRACK, 10);
  EXPECT_EQ(grid.HorzOffset(), 281);
  grid.ScrollByCode(0, SB_THUMBPOSITION, 10);
  EXPECT_EQ(grid.HorzOffset(), 10);
  grid.ScrollByCode(0, SB_PAGELEFT, 0);
  EXPECT_EQ(grid.HorzOffset(), 0);
}

TEST(Scrolling, ScrollBarRangesAndPositions) {
  TTestGrid grid;
  grid.UpdateScrollRange();
  // Four data columns of 80 do not fit into 400 - 81 either.
  EXPECT_EQ(grid.Range[0][1], 127);
  EXPECT_EQ(grid.Range[1][1], 127);
  grid.SetRowCount(3);
  EXPECT_EQ(grid.Range[1][1], 0);
  grid.SetRowCount(20);
  const Integer maxRow = grid.CalcMaxTopLeft({4, 19}).Y;
  grid.MoveTopLeft(1, 4);
  EXPECT_EQ(grid.Pos[1], MulDiv(3, 127, maxRow - 1));
  // Without a vertical bar the layout gets its room back.
  grid.EnableBars(true, false);
  grid.UpdateScrollRange();
  EXPECT_EQ(grid.CalcColAxis().GridExtent, 400);
}

TEST(Scrolling, RangeUpdateBringsBackAFirstCellBeyondTheLargest) {
  TTestGrid grid;
  grid.SetRowCount(10);
  grid.MoveTopLeft(1, 7);
  grid.SetSize(400, 400);
  grid.UpdateScrollRange();
  EXPECT_EQ(grid.FirstScrollRow(), 1);
  EXPECT_EQ(grid.Range[1][1], 0);
}

TEST(Invalidation, RowAndAutoUpdate) {
  TTestGrid grid;
  grid.SetColCount(10);
  grid.MoveTopLeft(6, 1);
  grid.ClearLog();
  grid.InvalidateRow(2);
  ASSERT_EQ(grid.Invalidated.size(), 1u);
  const TRect r = *grid.Invalidated[0];
  EXPECT_LE(r.left, 0);
  EXPECT_GE(r.right, 400);  // the visible cells of a scrolled row are inside
  EXPECT_EQ(r.top, 62 - 3);
  EXPECT_EQ(grid.Updates, 1);

  grid.SetAutoUpdate(false);
  grid.ClearLog();
  grid.InvalidateIfAutoUpdate();
  grid.SetTitleColor(clRed);
  EXPECT_TRUE(grid.Invalidated.empty());
  grid.SetShowColTitle(false);  // repaints even without AutoUpdate
  EXPECT_EQ(grid.Invalidated.size(), 1u);
}

}  // namespace
