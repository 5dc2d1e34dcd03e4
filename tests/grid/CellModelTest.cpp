// Cell records, the store, merged blocks and the bulk attribute setters.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

TEST(CellStore, NewGridHoldsDefaultRecordsForEveryCell) {
  TTestGrid grid;
  ASSERT_EQ(grid.ColCount(), 5);
  ASSERT_EQ(grid.RowCount(), 5);
  for (Integer c = 0; c < 5; ++c)
    for (Integer r = 0; r < 5; ++r) {
      const TCellInfo* cell = grid.GetCellInfo(c, r);
      EXPECT_EQ(cell->Range, (TGridRect{c, r, c, r}));
      EXPECT_EQ(cell->Color, (c == 0 || r == 0) ? clBtnFace : 0xFFFFFF) << c << "," << r;
    }
  const TCellInfo* cell = grid.GetCellInfo(2, 2);
  EXPECT_EQ(cell->DataStyle, dsText);
  EXPECT_EQ(cell->AlignMode, TAlignMode::taTopLeft);
  EXPECT_TRUE(cell->AutoWordBreak);
  EXPECT_TRUE(cell->ShowForeText);
  EXPECT_EQ(cell->FontName, "MS Sans Serif");
  EXPECT_EQ(cell->FontSize, 8);
  EXPECT_EQ(cell->MaxLength, 255);
  EXPECT_EQ(cell->IntLength, 3);
  EXPECT_EQ(cell->DecLength, 2);
  // Fixed whatever the defaults say (CellZeroNull and CellThousandSep default to True).
  EXPECT_TRUE(cell->AllowNegative);
  EXPECT_FALSE(cell->ZeroNull);
  EXPECT_FALSE(cell->ThousandSep);
  EXPECT_TRUE(grid.CellZeroNull());
  EXPECT_TRUE(grid.CellThousandSep());
}

TEST(CellStore, RecordOutsideTheStoreRaisesTheListError) {
  TTestGrid grid;
  EXPECT_THROW(grid.GetCellInfo(5, 0), EListError);
  EXPECT_THROW(grid.GetCellInfo(0, -1), EListError);
}

TEST(CellStore, DefaultPropertySetsExistingCellsButNotTheConstantsOfNewOnes) {
  TTestGrid grid;
  grid.SetCellZeroNull(false);
  grid.SetCellZeroNull(true);
  grid.SetCellColor(0x00FF00);
  EXPECT_TRUE(grid.GetCellInfo(3, 4)->ZeroNull);
  EXPECT_FALSE(grid.GetCellInfo(0, 4)->ZeroNull);  // titles are never touched
  grid.SetRowCount(7);
  EXPECT_FALSE(grid.GetCellInfo(3, 6)->ZeroNull);
  EXPECT_EQ(grid.GetCellInfo(3, 6)->Color, 0x00FF00);
  EXPECT_EQ(grid.GetCellInfo(0, 6)->Color, clBtnFace);
}

TEST(CellStore, ShrinkingColumnsDisposesAndRegrowingGivesFreshRecords) {
  TTestGrid grid;
  grid.SetColCount(12);
  grid.GetCellInfo(8, 2)->ForeText = "old";
  grid.GetCellInfo(8, 2)->Color = clRed;
  grid.SetColCount(4);
  EXPECT_THROW(grid.GetCellInfo(4, 2), EListError);
  grid.SetColCount(12);
  EXPECT_EQ(grid.GetCellInfo(8, 2)->ForeText, "");
  EXPECT_EQ(grid.GetCellInfo(8, 2)->Color, 0xFFFFFF);
  EXPECT_EQ(grid.GetCellInfo(8, 2)->Range, (TGridRect{8, 2, 8, 2}));
}

TEST(CellStore, CopyCellAttributesKeepsTheDestinationBlock) {
  TCellInfo a, b;
  a.ForeText = "x";
  a.Color = clRed;
  a.Range = {1, 1, 2, 2};
  b.Range = {5, 5, 5, 5};
  CopyCellAttributes(a, b);
  EXPECT_EQ(b.ForeText, "x");
  EXPECT_EQ(b.Color, clRed);
  EXPECT_EQ(b.Range, (TGridRect{5, 5, 5, 5}));
}

// ---- Bulk setters ----

TEST(BulkSetters, PropertyIndexTable) {
  TFontStyles styles{fsBold, fsItalic};
  struct Case {
    Integer Index;
    intptr_t Value;
    std::function<bool(const TCellInfo&)> Check;
  };
  const std::vector<Case> cases = {
      {cpDataStyle, dsDate, [](const TCellInfo& c) { return c.DataStyle == dsDate; }},
      {cpAlignMode, 4, [](const TCellInfo& c) { return c.AlignMode == TAlignMode::taCenter; }},
      {cpReadOnly, 0x101, [](const TCellInfo& c) { return c.ReadOnly; }},  // low byte only
      {cpReadOnly, 0x100, [](const TCellInfo& c) { return !c.ReadOnly; }},
      {cpAutoWordBreak, 0, [](const TCellInfo& c) { return !c.AutoWordBreak; }},
      {cpShowForeText, 0, [](const TCellInfo& c) { return !c.ShowForeText; }},
      {cpTopLine, 1, [](const TCellInfo& c) { return c.TopLine && !c.LeftLine; }},
      {cpLeftLine, 1, [](const TCellInfo& c) { return c.LeftLine && !c.TopLine; }},
      {cpRightLine, 1, [](const TCellInfo& c) { return c.RightLine && !c.BottomLine; }},
      {cpBottomLine, 1, [](const TCellInfo& c) { return c.BottomLine && !c.RightLine; }},
      {cpAllowNegative, 0, [](const TCellInfo& c) { return !c.AllowNegative; }},
      {cpTrailingZero, 1, [](const TCellInfo& c) { return c.TrailingZero; }},
      {cpZeroNull, 1, [](const TCellInfo& c) { return c.ZeroNull; }},
      {cpThousandSep, 1, [](const TCellInfo& c) { return c.ThousandSep; }},
      {cpMaxLength, 1000, [](const TCellInfo& c) { return c.MaxLength == 1000; }},
      {cpIntLength, -7, [](const TCellInfo& c) { return c.IntLength == -7; }},
      {cpDecLength, 5, [](const TCellInfo& c) { return c.DecLength == 5; }},
      {cpLineWidth, 3, [](const TCellInfo& c) { return c.LineWidth == 3; }},
      {cpPenStyle, psDot, [](const TCellInfo& c) { return c.PenStyle == psDot; }},
      {cpExtra, 0x12345678, [](const TCellInfo& c) { return c.Extra == 0x12345678; }},
      {cpColor, 0x0000FF, [](const TCellInfo& c) { return c.Color == 0x0000FF; }},
      {cpFontSize, 14, [](const TCellInfo& c) { return c.FontSize == 14; }},
      {cpFontColor, 0x00FF00, [](const TCellInfo& c) { return c.FontColor == 0x00FF00; }},
      {cpFontStyle, reinterpret_cast<intptr_t>(&styles), [&](const TCellInfo& c) { return c.FontStyle == styles; }},
      {cpFontName, TextArg("Tahoma"), [](const TCellInfo& c) { return c.FontName == "Tahoma"; }},
      {cpForeText, TextArg("fore"), [](const TCellInfo& c) { return c.ForeText == "fore"; }},
      {cpBackText, TextArg("back"), [](const TCellInfo& c) { return c.BackText == "back"; }},
  };
  for (const Case& k : cases) {
    TTestGrid grid;
    grid.SetColCellProperty(2, k.Index, k.Value);
    EXPECT_TRUE(k.Check(*grid.GetCellInfo(2, 3))) << "index " << k.Index << " value " << k.Value;
    EXPECT_EQ(grid.GetCellInfo(3, 3)->Color, 0xFFFFFF) << "index " << k.Index << " reached another column";
  }
}

TEST(BulkSetters, IndexAboveTableChangesNothingButRepaints) {
  TTestGrid grid;
  const TCellInfo before = *grid.GetCellInfo(1, 1);
  grid.ClearLog();
  grid.SetAllCellsProperty(cpBackText + 1, 1);
  EXPECT_EQ(grid.GetCellInfo(1, 1)->Color, before.Color);
  EXPECT_EQ(grid.GetCellInfo(1, 1)->ReadOnly, before.ReadOnly);
  ASSERT_EQ(grid.Invalidated.size(), 1u);
  EXPECT_FALSE(grid.Invalidated[0].has_value());
}

TEST(BulkSetters, ColumnAndRowOutsideTheDataCellsChangeNothingAndDoNotRepaint) {
  TTestGrid grid;
  grid.ClearLog();
  grid.SetColCellProperty(0, cpColor, 0x0000FF);
  grid.SetColCellProperty(grid.ColCount(), cpColor, 0x0000FF);
  grid.SetRowCellProperty(0, cpColor, 0x0000FF);
  grid.SetRowCellProperty(-1, cpColor, 0x0000FF);
  for (Integer c = 0; c < 5; ++c)
    for (Integer r = 0; r < 5; ++r) EXPECT_NE(grid.GetCellColor(c, r), 0x0000FF);
  EXPECT_TRUE(grid.Invalidated.empty());
}

TEST(BulkSetters, RowSetterSkipsTheTitleColumn) {
  TTestGrid grid;
  grid.SetRowCellProperty(2, cpColor, 0x0000FF);
  EXPECT_EQ(grid.GetCellColor(0, 2), clBtnFace);
  for (Integer c = 1; c < 5; ++c) EXPECT_EQ(grid.GetCellColor(c, 2), 0x0000FF);
  EXPECT_EQ(grid.GetCellColor(1, 3), 0xFFFFFF);
}

TEST(BulkSetters, RangeIsClampedToTheDataCells) {
  TTestGrid grid;
  grid.SetRangeCellProperty(TGridRect{-3, -3, 100, 100}, cpReadOnly, 1);
  Integer set = 0;
  for (Integer c = 0; c < 5; ++c)
    for (Integer r = 0; r < 5; ++r)
      if (grid.GetCellInfo(c, r)->ReadOnly) {
        ++set;
        EXPECT_TRUE(c > 0 && r > 0);
      }
  EXPECT_EQ(set, 16);
}

TEST(BulkSetters, ForeTextIndexFormatsEveryNumberCellAndFiresOncePerCell) {
  TTestGrid grid;
  grid.SetCellDataStyle(dsNumber);
  std::vector<std::pair<Integer, Integer>> fired;
  grid.SetOnSetForeText([&](TObject*, Integer c, Integer r, String&) { fired.emplace_back(c, r); });
  grid.SetAllCellsProperty(cpForeText, TextArg("12.5"));
  EXPECT_EQ(fired.size(), 16u);
  EXPECT_EQ(fired.front(), std::make_pair(1, 1));
  EXPECT_EQ(fired[1], std::make_pair(1, 2));  // column by column
  String text;
  grid.GetForeText(4, 4, text);
  EXPECT_EQ(text, "12.5");
  grid.GetForeText(0, 4, text);
  EXPECT_EQ(text, "");
}

TEST(BulkSetters, ForeTextIndexGoesOnAfterAFailingCell) {
  TGridBoxRecorder boxes;
  TTestGrid grid;
  grid.GetCellInfo(1, 2)->DataStyle = dsNumber;
  grid.SetColCellProperty(1, cpForeText, TextArg("abc"));
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "Cell[1,2]");
  String text;
  grid.GetForeText(1, 3, text);
  EXPECT_EQ(text, "abc");
  grid.GetForeText(1, 2, text);
  EXPECT_EQ(text, "");
}

// ---- Merged blocks ----

class MergedBlocks : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetColCount(8);
    grid.SetRowCount(8);
    Merge({2, 2, 3, 3});  // 2 x 2
    Merge({4, 3, 6, 3});  // 1 x 3, touching the first one's bottom row
  }
  void Merge(const TGridRect& r) {
    for (Integer c = r.Left; c <= r.Right; ++c)
      for (Integer row = r.Top; row <= r.Bottom; ++row) grid.GetCellInfo(c, row)->Range = r;
  }
  TTestGrid grid;
};

TEST_F(MergedBlocks, Queries) {
  EXPECT_TRUE(grid.IsCellMerged(3, 2));
  EXPECT_FALSE(grid.IsCellMerged(1, 1));
  EXPECT_TRUE(grid.RangeHasMerged({1, 1, 2, 2}));
  EXPECT_FALSE(grid.RangeHasMerged({1, 1, 1, 7}));
  EXPECT_FALSE(grid.RangeHasMerged({3, 3, 2, 3}));  // empty
  EXPECT_TRUE(grid.RangeFitsMerged({2, 2, 3, 3}));
  EXPECT_TRUE(grid.RangeFitsMerged({1, 1, 7, 7}));
  EXPECT_FALSE(grid.RangeFitsMerged({3, 2, 3, 3}));
  EXPECT_FALSE(grid.RangeFitsMerged({1, 3, 5, 3}));
  EXPECT_TRUE(grid.RangeCutsMerged({3, 3, 4, 3}));
  EXPECT_FALSE(grid.RangeCutsMerged({2, 2, 6, 3}));
}

TEST_F(MergedBlocks, ExpansionFollowsChainsOfBlocks) {
  // From (3,3) to (4,3): the 2 x 2 block pulls in row 2, the 1 x 3 block columns 5 and 6.
  EXPECT_EQ(grid.ExpandToMergedRanges({3, 3}, {4, 3}), (TGridRect{2, 2, 6, 3}));
  EXPECT_EQ(grid.ExpandToMergedRanges({1, 1}, {1, 1}), (TGridRect{1, 1, 1, 1}));
  EXPECT_EQ(grid.ExpandToMergedRanges({5, 4}, {2, 1}), (TGridRect{2, 1, 6, 4}));
}

TEST_F(MergedBlocks, ReadOnlyQuery) {
  grid.GetCellInfo(5, 5)->ReadOnly = true;
  EXPECT_TRUE(grid.RangeHasReadOnly({4, 4, 6, 6}));
  EXPECT_FALSE(grid.RangeHasReadOnly({1, 1, 4, 4}));
}

TEST_F(MergedBlocks, CountsDoNotShrinkThroughMergedCells) {
  grid.SetColCount(5);
  EXPECT_EQ(grid.ColCount(), 8);
  grid.SetRowCount(3);
  EXPECT_EQ(grid.RowCount(), 8);
  grid.SetRowCount(4);
  EXPECT_EQ(grid.RowCount(), 4);
  grid.SetColCount(-5);  // clamped to 2, but column 2 holds a merged cell
  EXPECT_EQ(grid.ColCount(), 8);
}

TEST(Coordinates, Utilities) {
  EXPECT_EQ(NormalizeCellRect({4, 1}, {2, 3}), (TGridRect{2, 1, 4, 3}));
  EXPECT_TRUE(CellInRect(2, 3, {2, 1, 4, 3}));
  EXPECT_FALSE(CellInRect(5, 3, {2, 1, 4, 3}));
  EXPECT_TRUE(RectsShareCell({1, 1, 2, 2}, {2, 2, 5, 5}));
  EXPECT_FALSE(RectsShareCell({1, 1, 2, 2}, {3, 1, 5, 5}));
  TGridCoord c{-4, 99};
  ClampCoord(c, 1, 2, 9, 7);
  EXPECT_EQ(c, (TGridCoord{1, 9}));
}

}  // namespace
