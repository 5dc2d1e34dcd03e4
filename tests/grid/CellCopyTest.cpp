// Cell copy, move and fill: the buffer's bytes, the drags and their refusals.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

void Le(std::vector<uint8_t>& b, Integer v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

String Fore(const TTestGrid& grid, Integer c, Integer r) { return grid.GetCellInfo(c, r)->ForeText; }

TEST(CellBuffer, BytesOfATwoByTwoBlock) {
  TTestGrid grid;
  TCellInfo* cell = grid.GetCellInfo(2, 2);
  cell->DataStyle = dsNumber;
  cell->AlignMode = TAlignMode::taCenter;
  cell->BottomLine = true;
  cell->Extra = 0x01020304;
  cell->FontStyle = TFontStyles{fsBold};
  cell->ForeText = "ab";
  grid.GetCellInfo(2, 3)->BackText = "z";
  grid.CopyCellsToBuffer({2, 2, 3, 3});
  const std::vector<uint8_t>& b = grid.CellBlockBuffer();

  std::vector<uint8_t> expected;
  for (Integer v : {2, 2, 2, 2}) Le(expected, v);  // source column and row, width, height
  Le(expected, 4 + 63 + 4 + 13 + 4 + 2 + 4 + 0);
  expected.push_back(1);  // dsNumber
  expected.push_back(4);  // taCenter
  for (Integer v : {2, 2, 2, 2}) Le(expected, v);
  for (uint8_t flag : {0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0}) expected.push_back(flag);
  for (Integer v : {255, 3, 2, 1}) Le(expected, v);  // MaxLength, IntLength, DecLength, LineWidth
  expected.push_back(0);                             // psSolid
  for (Integer v : {0x01020304, 0xFFFFFF, 8, 0}) Le(expected, v);
  expected.push_back(1);  // [fsBold]
  Le(expected, 13);
  for (char ch : String("MS Sans Serif")) expected.push_back(static_cast<uint8_t>(ch));
  Le(expected, 2);
  expected.push_back('a');
  expected.push_back('b');
  Le(expected, 0);
  ASSERT_GE(b.size(), expected.size());
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + expected.size()), expected);
  // Then (2, 3), (3, 2), (3, 3): column by column. (2, 3) has no fore text and the back text "z".
  EXPECT_EQ(b.size(), 16u + 94 + 93 + 92 + 92);
  EXPECT_EQ(b[16 + 94], 93);
}

TEST(CellBuffer, PasteCopiesRecordsAndShiftsTheirBlocks) {
  TTestGrid grid;
  grid.SetColCount(8);
  for (Integer c = 1; c <= 2; ++c)
    for (Integer r = 1; r <= 2; ++r) {
      grid.GetCellInfo(c, r)->Range = {1, 1, 2, 2};
      grid.GetCellInfo(c, r)->ForeText = "m" + IntToStr(c) + IntToStr(r);
      grid.GetCellInfo(c, r)->Color = clRed;
    }
  grid.CopyCellsToBuffer({1, 1, 2, 2});
  grid.PasteCellsFromBuffer({5, 3, 5, 4});  // only the first column fits the target
  EXPECT_EQ(Fore(grid, 5, 3), "m11");
  EXPECT_EQ(Fore(grid, 5, 4), "m12");
  EXPECT_EQ(grid.GetCellInfo(5, 3)->Range, (TGridRect{5, 3, 6, 4}));
  EXPECT_EQ(grid.GetCellColor(5, 3), clRed);
  EXPECT_EQ(Fore(grid, 6, 3), "");
  EXPECT_EQ(grid.GetCellInfo(6, 3)->Range, (TGridRect{6, 3, 6, 3}));
  grid.FreeCellBuffer();
  EXPECT_TRUE(grid.CellBlockBuffer().empty());
}

TEST(CellBuffer, ResetCellsGivesNewCellDefaults) {
  TTestGrid grid;
  TCellInfo* cell = grid.GetCellInfo(2, 2);
  cell->ForeText = "x";
  cell->ReadOnly = true;
  cell->Range = {2, 2, 3, 2};
  grid.ResetCells({-1, -1, 2, 2});
  EXPECT_EQ(cell->ForeText, "");
  EXPECT_FALSE(cell->ReadOnly);
  EXPECT_EQ(cell->Range, (TGridRect{2, 2, 2, 2}));
  EXPECT_EQ(grid.GetCellColor(0, 0), clBtnFace);
}

// ---- Move and copy ----

class MoveCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetColCount(7);
    grid.SetRowCount(5);
    grid.EnableBars(false, false);
    grid.SetSize(600, 200);
    for (Integer c = 2; c <= 3; ++c)
      for (Integer r = 2; r <= 3; ++r) {
        grid.GetCellInfo(c, r)->ForeText = IntToStr(c) + IntToStr(r);
        grid.GetCellInfo(c, r)->Color = clYellow;
      }
    grid.MoveCurrent(2, 2, true, false);
    grid.MoveAnchor({3, 3}, true);
    grid.SetOnCopyMoveCells([this](TObject*, TGridRect src, TGridRect dest) { events.push_back({src, dest}); });
  }
  // Drags from the frame of the selection (the press cell is (2, 2)) to the centre of a cell.
  bool Drag(Integer state, Integer toCol, Integer toRow) {
    grid.StartCellDrag(state, {2, 2});
    const TPoint p = grid.CellCentre(toCol, toRow);
    grid.TrackCellDrag(state, p.x, p.y);
    return grid.FinishCellDrag(state);
  }
  TTestGrid grid;
  TGridBoxRecorder boxes;
  std::vector<std::pair<TGridRect, TGridRect>> events;
};

TEST_F(MoveCopy, MovingOneColumnRightResetsTheUncoveredSource) {
  EXPECT_TRUE(Drag(4, 3, 2));
  EXPECT_EQ(Fore(grid, 3, 2), "22");
  EXPECT_EQ(Fore(grid, 4, 3), "33");
  EXPECT_EQ(Fore(grid, 2, 2), "");
  EXPECT_EQ(grid.GetCellColor(2, 3), 0xFFFFFF);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].first, (TGridRect{2, 2, 3, 3}));
  EXPECT_EQ(events[0].second, (TGridRect{3, 2, 4, 3}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{3, 2}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{3, 2, 4, 3}));
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_TRUE(grid.CellBlockBuffer().empty());
}

TEST_F(MoveCopy, CopyKeepsTheSource) {
  EXPECT_TRUE(Drag(5, 4, 3));
  EXPECT_EQ(Fore(grid, 2, 2), "22");
  EXPECT_EQ(Fore(grid, 4, 3), "22");
  EXPECT_EQ(Fore(grid, 5, 4), "33");
  EXPECT_EQ(grid.GetCellColor(5, 4), clYellow);
}

TEST_F(MoveCopy, OverwritingTextAsksFirst) {
  grid.GetCellInfo(5, 2)->BackText = "keep";
  boxes.Answers = {box::IdCancel};
  EXPECT_FALSE(Drag(5, 4, 2));
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Confirmation");
  EXPECT_EQ(boxes.Boxes[0].Flags, box::OKCancel | box::IconQuestion | box::DefButton2);
  EXPECT_EQ(grid.GetCellInfo(5, 2)->BackText, "keep");
  EXPECT_EQ(Fore(grid, 4, 2), "");
  EXPECT_TRUE(events.empty());

  boxes.Answers = {box::IdOK};
  EXPECT_TRUE(Drag(5, 4, 2));
  EXPECT_EQ(grid.GetCellInfo(5, 2)->BackText, "");
  EXPECT_EQ(Fore(grid, 5, 2), "32");
  EXPECT_EQ(boxes.Boxes.size(), 2u);
}

TEST_F(MoveCopy, RefusedTargetsChangeNothing) {
  grid.GetCellInfo(5, 3)->ReadOnly = true;
  EXPECT_FALSE(Drag(4, 4, 2));
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Caution");
  EXPECT_EQ(boxes.Boxes[0].Flags, box::OK | box::IconError);
  EXPECT_EQ(Fore(grid, 2, 2), "22");
  grid.GetCellInfo(5, 3)->ReadOnly = false;

  for (Integer r = 3; r <= 4; ++r) grid.GetCellInfo(5, r)->Range = {5, 3, 5, 4};
  EXPECT_FALSE(Drag(4, 4, 2));
  EXPECT_EQ(boxes.Boxes.size(), 2u);
  EXPECT_EQ(Fore(grid, 3, 3), "33");
  EXPECT_TRUE(events.empty());
}

TEST_F(MoveCopy, ReleasingWhereTheDragStartedDoesNothing) {
  grid.GetCellInfo(2, 2)->ReadOnly = true;
  EXPECT_TRUE(Drag(4, 2, 2));
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(Fore(grid, 2, 2), "22");
}

TEST_F(MoveCopy, OffsetsThatLeaveTheDataCellsAreNotTaken) {
  grid.StartCellDrag(4, {2, 2});
  const TPoint p = grid.CellCentre(6, 2);  // the block would end in column 7
  grid.TrackCellDrag(4, p.x, p.y);
  EXPECT_EQ(grid.DragOffset(), (TGridCoord{0, 0}));
  const TPoint q = grid.CellCentre(5, 2);
  grid.TrackCellDrag(4, q.x, q.y);
  EXPECT_EQ(grid.DragOffset(), (TGridCoord{3, 0}));
}

// ---- Fill ----

class Fill : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetRowCount(12);
    grid.SetColCount(12);
    for (Integer r = 1; r < 12; ++r) grid.GetCellInfo(2, r)->ForeText = IntToStr(r);
    for (Integer c = 1; c < 12; ++c) grid.GetCellInfo(c, 8)->BackText = IntToStr(c);
  }
  std::vector<String> Column(Integer c, Integer from, Integer to) {
    std::vector<String> v;
    for (Integer r = from; r <= to; ++r) v.push_back(Fore(grid, c, r));
    return v;
  }
  std::vector<String> RowBack(Integer r, Integer from, Integer to) {
    std::vector<String> v;
    for (Integer c = from; c <= to; ++c) v.push_back(grid.GetCellInfo(c, r)->BackText);
    return v;
  }
  TTestGrid grid;
  TGridBoxRecorder boxes;
};

TEST_F(Fill, RepeatsTheSourceWithItsPeriodBothWays) {
  std::vector<std::pair<TGridRect, TGridRect>> events;
  grid.SetOnFillCells([&](TObject*, TGridRect src, TGridRect dest) { events.push_back({src, dest}); });
  grid.FillCells({2, 5, 2, 6}, 3, 2);
  EXPECT_EQ(Column(2, 5, 10), (std::vector<String>{"5", "6", "5", "6", "5", "10"}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 5, 2, 9}));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].second, (TGridRect{2, 5, 2, 9}));

  grid.FillCells({2, 5, 2, 6}, -3, 2);
  EXPECT_EQ(Column(2, 1, 6), (std::vector<String>{"1", "6", "5", "6", "5", "6"}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 2, 6}));

  // Sideways: three columns by five to the left, seven to the right.
  grid.FillCells({5, 8, 7, 8}, -4, 1);
  EXPECT_EQ(RowBack(8, 1, 7), (std::vector<String>{"7", "5", "6", "7", "5", "6", "7"}));
  grid.FillCells({5, 8, 7, 8}, 4, 1);
  EXPECT_EQ(RowBack(8, 5, 11), (std::vector<String>{"5", "6", "7", "5", "6", "7", "5"}));
}

TEST_F(Fill, DraggingTheHandleDownFills) {
  grid.MoveCurrent(2, 5, true, false);
  grid.MoveAnchor({2, 6}, true);
  grid.StartCellDrag(6, {2, 6});
  const TPoint p = grid.CellCentre(2, 8);
  grid.TrackCellDrag(6, p.x, p.y);
  EXPECT_EQ(grid.FillDirection(), 2);
  EXPECT_EQ(grid.FillAmount(), (TGridCoord{0, 2}));
  grid.FinishCellDrag(6);
  EXPECT_EQ(Column(2, 5, 9), (std::vector<String>{"5", "6", "5", "6", "9"}));
}

TEST_F(Fill, TargetWithAReadOnlyCellIsRefused) {
  grid.GetCellInfo(2, 8)->ReadOnly = true;
  grid.FillCells({2, 5, 2, 6}, 3, 2);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Caution");
  EXPECT_EQ(Column(2, 5, 9), (std::vector<String>{"5", "6", "7", "8", "9"}));
}

TEST_F(Fill, MergedSourcesFillInWholeCopies) {
  for (Integer r = 5; r <= 6; ++r) grid.GetCellInfo(2, r)->Range = {2, 5, 2, 6};
  grid.FillCells({2, 5, 2, 6}, 3, 2);  // not a multiple of the height
  EXPECT_EQ(Column(2, 7, 9), (std::vector<String>{"7", "8", "9"}));
  EXPECT_TRUE(boxes.Boxes.empty());
  grid.FillCells({2, 5, 2, 6}, 4, 2);
  EXPECT_EQ(Column(2, 7, 10), (std::vector<String>{"5", "6", "5", "6"}));
  EXPECT_EQ(grid.GetCellInfo(2, 9)->Range, (TGridRect{2, 9, 2, 10}));
  // Dragging one row down rounds up to a whole copy.
  grid.MoveCurrent(2, 5, true, false);
  grid.StartCellDrag(6, {2, 6});
  const TPoint p = grid.CellCentre(2, 7);
  grid.TrackCellDrag(6, p.x, p.y);
  EXPECT_EQ(grid.FillAmount(), (TGridCoord{0, 2}));
}

TEST_F(Fill, TargetCuttingAMergedBlockIsRefused) {
  for (Integer c = 2; c <= 3; ++c) grid.GetCellInfo(c, 8)->Range = {2, 8, 3, 8};
  grid.FillCells({2, 5, 2, 6}, 3, 2);
  EXPECT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(Fore(grid, 2, 7), "7");
}

// ---- What a press on the frame starts ----

TEST(DragKind, FrameEdgesHandleAndCtrl) {
  TTestGrid grid;
  grid.MoveCurrent(2, 2, true, false);
  grid.MoveAnchor({3, 3}, true);
  // The selection with its lines is (162, 62, 324, 124).
  EXPECT_EQ(grid.DragKindAt(162, 90), 4);
  EXPECT_EQ(grid.DragKindAt(240, 63), 4);
  EXPECT_EQ(grid.DragKindAt(240, 90), 0);
  EXPECT_EQ(grid.DragKindAt(323, 123), 6);
  EXPECT_EQ(grid.DragKindAt(158, 90), 0);
  grid.CtrlDown = true;
  EXPECT_EQ(grid.DragKindAt(162, 90), 5);
  EXPECT_EQ(grid.DragKindAt(323, 123), 5);
  grid.CtrlDown = false;

  grid.SetGridCanCopyMove(false);
  EXPECT_EQ(grid.DragKindAt(162, 90), 0);
  EXPECT_EQ(grid.DragKindAt(323, 123), 6);
  grid.SetGridCanFill(false);
  EXPECT_EQ(grid.DragKindAt(323, 123), 0);
  grid.SetGridCanCopyMove(true);
  // A selection cutting a merged block cannot be dragged.
  for (Integer r = 3; r <= 4; ++r) grid.GetCellInfo(3, r)->Range = {3, 3, 3, 4};
  EXPECT_EQ(grid.DragKindAt(162, 90), 0);
}

// ---- Sizing by the lines ----

TEST(Sizing, ColumnLinesBesideTheTitlesOrEverywhereWhenClientSizeable) {
  TTestGrid grid;
  grid.SetOptions(grid.Options() + TCellGridOptions{goColSizing, goRowSizing});
  Integer index, pos, ofs, state;
  grid.GetSizingInfo(162, 10, index, pos, ofs, state);
  EXPECT_EQ(state, 3);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(pos, 161);
  EXPECT_EQ(ofs, -1);
  grid.GetSizingInfo(166, 10, index, pos, ofs, state);
  EXPECT_EQ(state, 0);
  grid.GetSizingInfo(162, 100, index, pos, ofs, state);
  EXPECT_EQ(state, 0);
  grid.GetSizingInfo(10, 62, index, pos, ofs, state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(index, 1);
  grid.SetClientSizeable(true);
  grid.GetSizingInfo(162, 100, index, pos, ofs, state);
  EXPECT_EQ(state, 3);
  // Never inside the selection, even on a line.
  grid.GetSizingInfo(160, 45, index, pos, ofs, state);
  EXPECT_EQ(state, 0);
}

TEST(Sizing, NoTitleRowAndNoFrozenRowsLeaveNoPlaceToSizeColumns) {
  TTestGrid grid;
  grid.SetOptions(grid.Options() + TCellGridOptions{goColSizing});
  grid.SetShowColTitle(false);
  Integer index, pos, ofs, state;
  for (Integer y : {0, 5, 40, 100}) {
    grid.GetSizingInfo(161, y, index, pos, ofs, state);
    EXPECT_EQ(state, 0) << y;
  }
}

TEST(Sizing, MergedBlocksKeepTheirInnerLines) {
  TTestGrid grid;
  grid.SetOptions(grid.Options() + TCellGridOptions{goColSizing});
  grid.SetClientSizeable(true);
  for (Integer c = 2; c <= 3; ++c) grid.GetCellInfo(c, 3)->Range = {2, 3, 3, 3};
  Integer index, pos, ofs, state;
  grid.GetSizingInfo(242, 100, index, pos, ofs, state);
  EXPECT_EQ(state, 0);
  grid.GetSizingInfo(322, 100, index, pos, ofs, state);
  EXPECT_EQ(state, 3);
  EXPECT_EQ(index, 3);
  grid.GetSizingInfo(242, 130, index, pos, ofs, state);  // row 4 is not merged
  EXPECT_EQ(state, 3);
  EXPECT_EQ(index, 2);
}

}  // namespace
