// Keyboard and mouse: navigation, selection, title clicks, sizing by the lines, the wheel and edit mode.
#include <gtest/gtest.h>

#include "platform/win/core/WinMessages.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

using Shift = TTestGrid::TGridShift;
const Shift kNone{};
const Shift kShift{true, false, false, false};
const Shift kCtrl{false, true, false, false};
const Shift kDouble{false, false, false, true};

Word Press(TTestGrid& grid, Word key, Shift shift = kNone) {
  grid.GridKeyDown(key, shift);
  return key;
}

// A press, a move and a release of the left button at cell centres; answers whether OnMouseDown would fire.
bool Click(TTestGrid& grid, Integer col, Integer row, Shift shift = kNone) {
  const TPoint p = grid.CellCentre(col, row);
  const bool down = grid.GridMouseDown(true, shift, p.x, p.y);
  grid.GridMouseUp(p.x, p.y);
  return down;
}

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetColCount(8);
    grid.SetRowCount(12);
  }
  TTestGrid grid;
};

TEST_F(Keys, ArrowsMoveTheFocusAndSkipMergedBlocks) {
  Press(grid, VK_RIGHT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 1}));
  Press(grid, VK_DOWN);
  Press(grid, VK_DOWN);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 3}));
  Press(grid, VK_LEFT);
  Press(grid, VK_LEFT);  // stays on the first data column
  Press(grid, VK_UP);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 2}));
  for (Integer c = 2; c <= 4; ++c) grid.GetCellInfo(c, 2)->Range = {2, 2, 4, 2};
  Press(grid, VK_RIGHT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 4, 2}));
  Press(grid, VK_RIGHT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{5, 2}));
  // Into the block from below lands on its first cell.
  grid.MoveCurrent(3, 3, true, false);
  Press(grid, VK_UP);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
}

TEST_F(Keys, HiddenColumnsAreSkipped) {
  grid.SetColWidths(2, -1);
  Press(grid, VK_RIGHT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{3, 1}));
  Press(grid, VK_LEFT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
}

TEST_F(Keys, TabStaysInItsRow) {
  grid.MoveCurrent(7, 3, true, false);
  Press(grid, VK_TAB);
  EXPECT_EQ(grid.Focus(), (TGridCoord{7, 3}));
  grid.MoveCurrent(1, 3, true, false);
  Press(grid, VK_TAB, kShift);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 3}));
  Press(grid, VK_TAB);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 3}));
}

TEST_F(Keys, ShiftExtendsTheSelectionWhileTheFocusStays) {
  grid.MoveCurrent(2, 2, true, false);
  Press(grid, VK_RIGHT, kShift);
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 3, 2}));
  Press(grid, VK_DOWN, kShift);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 3, 3}));
  Press(grid, VK_UP, kShift);
  Press(grid, VK_LEFT, kShift);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 2, 2}));
  EXPECT_EQ(grid.MouseState(), 0);
}

TEST_F(Keys, CtrlKeysJumpOrScrollWithoutMovingTheFocus) {
  Press(grid, VK_END, kCtrl);
  EXPECT_EQ(grid.Focus(), (TGridCoord{7, 11}));
  Press(grid, VK_HOME, kCtrl);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
  Press(grid, VK_DOWN, kCtrl);
  Press(grid, VK_DOWN, kCtrl);
  EXPECT_EQ(grid.FirstScrollRow(), 3);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
}

TEST_F(Keys, PagesAndEnds) {
  const Integer page = grid.CalcRowAxis().LastFullVisibleCell - grid.FirstScrollRow();
  Press(grid, VK_NEXT);
  EXPECT_EQ(grid.Focus().Y, 1 + page);
  EXPECT_EQ(grid.FirstScrollRow(), 1 + page);
  Press(grid, VK_PRIOR);
  EXPECT_EQ(grid.Focus().Y, 1);
  Press(grid, VK_END);
  EXPECT_EQ(grid.Focus(), (TGridCoord{7, 1}));
  Press(grid, VK_HOME);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
}

TEST_F(Keys, ModifierKeysAloneDoNothing) {
  EXPECT_EQ(Press(grid, VK_SHIFT), VK_SHIFT);
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
}

TEST_F(Keys, DeleteClearsTheSelectionButNotReadOnlyBlocks) {
  grid.SetOptions(grid.Options() + TCellGridOptions{goEditing});
  for (Integer c = 1; c <= 3; ++c) {
    grid.GetCellInfo(c, 1)->ForeText = "f";
    grid.GetCellInfo(c, 1)->BackText = "b";
  }
  grid.GetCellInfo(2, 1)->ReadOnly = true;
  std::vector<std::pair<Integer, Integer>> cleared;
  grid.SetOnSetForeText([&](TObject*, Integer c, Integer r, String&) { cleared.emplace_back(c, r); });
  grid.MoveAnchor({3, 1}, true);
  Press(grid, VK_DELETE);
  EXPECT_EQ(grid.GetCellInfo(1, 1)->ForeText, "");
  EXPECT_EQ(grid.GetCellInfo(1, 1)->BackText, "");
  EXPECT_EQ(grid.GetCellInfo(2, 1)->ForeText, "f");
  EXPECT_EQ(grid.GetCellInfo(3, 1)->BackText, "");
  EXPECT_EQ(cleared, (std::vector<std::pair<Integer, Integer>>{{1, 1}, {3, 1}}));
  // Without editing Delete does nothing.
  grid.GetCellInfo(1, 1)->ForeText = "f";
  grid.SetOptions(grid.Options() - TCellGridOptions{goEditing});
  Press(grid, VK_DELETE);
  EXPECT_EQ(grid.GetCellInfo(1, 1)->ForeText, "f");
}

TEST_F(Keys, EditModeByF2EnterAndEsc) {
  Press(grid, VK_F2);
  EXPECT_TRUE(grid.Editing());
  Press(grid, VK_ESCAPE);
  EXPECT_FALSE(grid.Editing());
  char key = '\r';
  grid.GridKeyPress(key);
  EXPECT_TRUE(grid.Editing());
  EXPECT_EQ(key, 0);
  key = '\r';
  grid.GridKeyPress(key);
  EXPECT_FALSE(grid.Editing());
  // With the editor always shown Enter is not the grid's.
  grid.SetOptions(grid.Options() + TCellGridOptions{goEditing, goAlwaysShowEditor});
  key = '\r';
  grid.GridKeyPress(key);
  EXPECT_EQ(key, '\r');
}

// ---- Mouse ----

class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetColCount(6);
    grid.SetRowCount(6);
    grid.EnableBars(false, false);
    grid.SetSize(500, 200);
    grid.Focused = true;
  }
  TTestGrid grid;
};

TEST_F(Mouse, PressFocusesTheCellAfterAskingAndBeforeItsEvent) {
  std::vector<TGridCoord> focusWhenAsked;
  grid.SetOnSelectCell([&](TObject*, Integer, Integer, bool&) { focusWhenAsked.push_back(grid.Focus()); });
  Integer clicks = 0;
  grid.SetOnClick([&](TObject*) { ++clicks; });
  const TPoint p = grid.CellCentre(3, 2);
  EXPECT_TRUE(grid.GridMouseDown(true, kNone, p.x, p.y));
  EXPECT_EQ(focusWhenAsked, (std::vector<TGridCoord>{{1, 1}}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{3, 2}));
  EXPECT_EQ(grid.MouseState(), 1);
  EXPECT_TRUE(grid.GridMouseUp(p.x, p.y));
  EXPECT_EQ(grid.MouseState(), 0);
  EXPECT_EQ(clicks, 2);  // the focus move and the release
}

TEST_F(Mouse, PressOnAFrozenCellDoesNothing) {
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  const TPoint p = grid.CellCentre(1, 3);
  EXPECT_FALSE(grid.GridMouseDown(true, kNone, p.x, p.y));
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.MouseState(), 0);
}

TEST_F(Mouse, PressWithoutFocusEndsAtOnce) {
  grid.Focused = false;
  const TPoint p = grid.CellCentre(3, 2);
  EXPECT_FALSE(grid.GridMouseDown(true, kNone, p.x, p.y));
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 1}));
}

TEST_F(Mouse, DraggingSelectsARange) {
  const TPoint a = grid.CellCentre(2, 2);
  const TPoint b = grid.CellCentre(4, 3);
  grid.GridMouseDown(true, kNone, a.x, a.y);
  grid.GridMouseMove(b.x, b.y);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 4, 3}));
  grid.GridMouseMove(a.x, a.y);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 2, 2}));
  grid.GridMouseUp(b.x, b.y);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 4, 3}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
  // Shift extends from the focus.
  Click(grid, 5, 5, kShift);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{2, 2, 5, 5}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{2, 2}));
}

TEST_F(Mouse, TitlesSelectColumnsRowsAndEverything) {
  EXPECT_TRUE(Click(grid, 3, 0));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{3, 1, 3, 5}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{3, 1}));
  EXPECT_FALSE(Click(grid, 3, 0));  // the same selection again: no event
  EXPECT_TRUE(Click(grid, 5, 0, kShift));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{3, 1, 5, 5}));
  EXPECT_TRUE(Click(grid, 0, 4));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 4, 5, 4}));
  EXPECT_EQ(grid.Focus(), (TGridCoord{1, 4}));
  EXPECT_TRUE(Click(grid, 0, 0));
  EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 1, 5, 5}));
  // Without range selection a title selects the first cell's block.
  grid.SetOptions(grid.Options() - TCellGridOptions{goRangeSelect});
  Click(grid, 4, 0);
  EXPECT_EQ(grid.GetSelection(), (TGridRect{4, 1, 4, 1}));
}

TEST_F(Mouse, SizingAColumnByItsLine) {
  grid.SetOptions(grid.Options() + TCellGridOptions{goColSizing});
  // The line after column 2 is at x = 242, in the title row.
  EXPECT_FALSE(grid.GridMouseDown(true, kNone, 243, 10));
  EXPECT_EQ(grid.MouseState(), 3);
  grid.GridMouseMove(263, 10);
  grid.GridMouseUp(263, 10);
  EXPECT_EQ(grid.GetColWidths(2), 100);
  EXPECT_EQ(grid.MouseState(), 0);
  // Dragged to before the column's start it hides the column.
  grid.GridMouseDown(true, kNone, 263, 10);
  grid.GridMouseMove(100, 10);
  grid.GridMouseUp(100, 10);
  EXPECT_EQ(grid.GetColWidths(2), -1);
}

TEST_F(Mouse, DoubleClickOnTheFocusedCellEdits) {
  const TPoint p = grid.CellCentre(2, 2);
  Click(grid, 2, 2);
  Integer doubles = 0;
  grid.SetOnDblClick([&](TObject*) { ++doubles; });
  EXPECT_TRUE(grid.GridMouseDown(true, kDouble, p.x, p.y));
  EXPECT_EQ(doubles, 1);
  EXPECT_TRUE(grid.Editing());
  // A press leaves edit mode; a double click elsewhere does not start it.
  const TPoint q = grid.CellCentre(3, 3);
  grid.GridMouseDown(true, kDouble, q.x, q.y);
  EXPECT_FALSE(grid.Editing());
}

TEST_F(Mouse, WheelLeavesEditModeOnlyWhenTurnedDown) {
  grid.SetRowCount(20);
  grid.EnterEditMode();
  EXPECT_TRUE(grid.GridMouseWheel(false, true));
  EXPECT_TRUE(grid.Editing());
  EXPECT_EQ(grid.FirstScrollRow(), 1);
  EXPECT_TRUE(grid.GridMouseWheel(true, true));
  EXPECT_FALSE(grid.Editing());
  EXPECT_EQ(grid.FirstScrollRow(), 1);
  grid.GridMouseWheel(true, false);
  EXPECT_EQ(grid.FirstScrollRow(), 2);
  grid.EnterEditMode();
  grid.GridMouseWheel(false, false);
  EXPECT_EQ(grid.FirstScrollRow(), 1);
  EXPECT_FALSE(grid.Editing());
}

TEST_F(Mouse, CancelModeEndsAnyOperation) {
  const TPoint p = grid.CellCentre(2, 2);
  grid.GridMouseDown(true, kNone, p.x, p.y);
  EXPECT_EQ(grid.MouseState(), 1);
  grid.CancelMouseState();
  EXPECT_EQ(grid.MouseState(), 0);
}

TEST_F(Mouse, PressOnTheFrameStartsAMoveWithoutMouseDown) {
  Click(grid, 2, 2);
  const TRect r = grid.CellRangeRect({2, 2, 2, 2}, true);
  EXPECT_FALSE(grid.GridMouseDown(true, kNone, r.left, (r.top + r.bottom) / 2));
  EXPECT_EQ(grid.MouseState(), 4);
  grid.CancelMouseState();
  grid.SetGridCanCopyMove(false);
  EXPECT_TRUE(grid.GridMouseDown(true, kNone, r.left + 1, (r.top + r.bottom) / 2));
  EXPECT_EQ(grid.MouseState(), 1);
  grid.CancelMouseState();
}

}  // namespace
