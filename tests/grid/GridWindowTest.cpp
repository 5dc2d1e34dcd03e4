// The grid as a control on a form of the headless display: its window and look, mouse and keyboard input
// through the message loop, scroll bars, the wheel, sizing and cursors.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

using GridWindow = GridOnForm;

TEST_F(GridWindow, NewGridHasItsSizeCellsFocusAndLook) {
  EXPECT_EQ(grid->Width(), 400);
  EXPECT_EQ(grid->Height(), 150);
  EXPECT_EQ(grid->ColCount(), 5);
  EXPECT_EQ(grid->RowCount(), 5);
  EXPECT_EQ(grid->Focus(), (TGridCoord{1, 1}));
  EXPECT_EQ(grid->GetSelection(), (TGridRect{1, 1, 1, 1}));
  EXPECT_TRUE(grid->TabStop());
  EXPECT_EQ(grid->Color(), clWindow);
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtr(grid->Handle(), GWL_EXSTYLE));
  EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
  // The cells are painted in the window: a white data cell and a title cell.
  EXPECT_EQ(Pixel(200, 77), 0xFFFFFF);
  EXPECT_EQ(Pixel(10, 77), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(GridWindow, ClickFocusesAfterAskingAndBeforeMouseDown) {
  std::vector<String> events;
  grid->SetOnSelectCell([&](TObject*, Integer c, Integer r, bool&) {
    events.push_back("select " + IntToStr(c) + "," + IntToStr(r) + " focus " + IntToStr(grid->Focus().X));
  });
  grid->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    events.push_back("down focus " + IntToStr(grid->Focus().X));
  });
  grid->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, Integer, Integer) { events.push_back("up"); });
  grid->SetOnClick([&](TObject*) { events.push_back("click"); });
  display.Click(AtCell(3, 2));
  Pump();
  EXPECT_EQ(grid->Focus(), (TGridCoord{3, 2}));
  EXPECT_EQ(events, (std::vector<String>{"select 3,2 focus 1", "click", "down focus 3", "click", "up"}));
  EXPECT_TRUE(grid->Focused());
}

TEST_F(GridWindow, ArrowKeysReachTheGrid) {
  grid->SetFocus();
  Pump();
  display.Key(VK_RIGHT);
  display.Key(VK_DOWN);
  Pump();
  EXPECT_EQ(grid->Focus(), (TGridCoord{2, 2}));
  display.Chord({VK_SHIFT}, VK_RIGHT);
  Pump();
  EXPECT_EQ(grid->GetSelection(), (TGridRect{2, 2, 3, 2}));
}

TEST_F(GridWindow, ScrollBarsAndTheWheelMoveTheFirstRow) {
  grid->SetRowCount(30);
  Pump();
  EXPECT_TRUE(GetWindowLongPtr(grid->Handle(), GWL_STYLE) & WS_VSCROLL);
  Integer min = 0, max = 0;
  GetScrollRange(grid->Handle(), SB_VERT, &min, &max);
  EXPECT_EQ(max, 127);
  grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid->FirstScrollRow(), 2);
  EXPECT_GT(GetScrollPos(grid->Handle(), SB_VERT), 0);
  display.Wheel(AtCell(2, 2), -1);
  Pump();
  EXPECT_GT(grid->FirstScrollRow(), 2);
  grid->Perform(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(grid->FirstScrollRow(), 1);
}

TEST_F(GridWindow, ScrolledContentIsRepaintedInPlace) {
  grid->SetRowCount(30);
  for (Integer r = 1; r < 30; ++r) grid->GetCellInfo(2, r)->Color = r % 2 ? clRed : clBlue;
  grid->InvalidateIfAutoUpdate();
  const TRect second = [&] {
    TRect r;
    grid->GetCellRect(2, 2, r);
    return r;
  }();
  EXPECT_EQ(Pixel(second.left + 5, second.top + 5), clBlue);
  grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  // Row 3 (red) now sits where row 2 was.
  EXPECT_EQ(Pixel(second.left + 5, second.top + 5), clRed);
}

TEST_F(GridWindow, DraggingAColumnLineSizesIt) {
  grid->SetOptions(grid->Options() + TCellGridOptions{goColSizing});
  display.Drag(At(161, 10), At(201, 10));
  Pump();
  EXPECT_EQ(grid->GetColWidths(1), 120);
}

TEST_F(GridWindow, DraggingOverCellsSelectsThem) {
  display.Drag(AtCell(1, 1), AtCell(3, 3));
  Pump();
  EXPECT_EQ(grid->GetSelection(), (TGridRect{1, 1, 3, 3}));
  EXPECT_EQ(grid->Focus(), (TGridCoord{1, 1}));
}

TEST_F(GridWindow, CursorIsTheGridsOwnAndTellsWhatAPressWouldDo) {
  display.MoveTo(AtCell(2, 3));
  Pump();
  ASSERT_NE(Screen->Cursors(1001), nullptr);
  EXPECT_EQ(display.Headless().PointerShape(), Screen->Cursors(1001));
  grid->SetOptions(grid->Options() + TCellGridOptions{goColSizing});
  display.MoveTo(At(161, 10));
  Pump();
  EXPECT_EQ(display.Headless().PointerShape(), Screen->Cursors(crHSplit));
}

TEST_F(GridWindow, MovingTheSelectionByItsFrame) {
  grid->GetCellInfo(1, 1)->ForeText = "moved";
  grid->SetFocus();
  Pump();
  TRect r = grid->CellRangeRect({1, 1, 1, 1}, true);
  display.Drag(At(r.left + 1, (r.top + r.bottom) / 2), At(r.left + 1 + 81, (r.top + r.bottom) / 2));
  Pump();
  EXPECT_EQ(grid->GetCellInfo(2, 1)->ForeText, "moved");
  EXPECT_EQ(grid->GetCellInfo(1, 1)->ForeText, "");
}

}  // namespace
