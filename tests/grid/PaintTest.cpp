// Painting, checked on the pixels of a 400 x 150 client area. With the defaults, column c > 0 starts at
// x = 81 * c and row r > 0 at y = 31 * r; the line after a cell is the pixel before the next one.
#include <gtest/gtest.h>

#include <map>

#include "tests/common/Pixels.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

using k58test::Ink;
using k58test::InkIn;

// The grid's pixels, in client coordinates.
k58test::PixelReader Pixels(const TTestGrid& grid) {
  return [&grid](int x, int y) { return static_cast<COLORREF>(grid.Pixel(x, y)); };
}

Integer CountColor(const TTestGrid& grid, const TRect& r, TColor color) {
  return k58test::CountColour(Pixels(grid), r, static_cast<COLORREF>(color));
}

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

TEST(Paint, ColumnTitleTexts) {
  struct Case {
    Integer N;
    const char* Text;
  };
  for (const Case& k : {Case{0, "A"}, Case{25, "Z"}, Case{26, "AA"}, Case{51, "AZ"}, Case{52, "BA"}, Case{254, "IU"},
                        Case{255, "IV"}, Case{256, ""}, Case{-1, ""}}) {
    String text = "old";
    ColumnTitleText(k.N, text);
    EXPECT_EQ(text, k.Text) << k.N;
  }
}

TEST(Paint, LinesBackgroundsAndTitlesByRegion) {
  TTestGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(3);
  grid.Background = clYellow;
  grid.Paint();
  // Lines beside the titles are black, lines between data cells in the client line colour.
  EXPECT_EQ(grid.Pixel(80, 10), clBlack);
  EXPECT_EQ(grid.Pixel(80, 45), clBlack);
  EXPECT_EQ(grid.Pixel(161, 10), clBlack);
  EXPECT_EQ(grid.Pixel(161, 45), 0xC0C0C0);
  EXPECT_EQ(grid.Pixel(120, 30), clBlack);
  EXPECT_EQ(grid.Pixel(120, 61), 0xC0C0C0);
  EXPECT_EQ(grid.Pixel(40, 61), clBlack);
  // Cells: title colour for titles, the record's colour for data cells.
  EXPECT_EQ(grid.Pixel(10, 77), Rgb(clBtnFace));
  EXPECT_EQ(grid.Pixel(200, 77), 0xFFFFFF);
  // Right of and below the grid: the control's colour.
  EXPECT_EQ(grid.Pixel(300, 40), clYellow);
  EXPECT_EQ(grid.Pixel(100, 120), clYellow);
  // No text in the corner; column letters and row numbers in the titles.
  EXPECT_EQ(InkIn(Pixels(grid), TRect{4, 4, 76, 26}).Count, 0);
  EXPECT_GT(InkIn(Pixels(grid), TRect{85, 4, 157, 26}).Count, 0);
  EXPECT_GT(InkIn(Pixels(grid), TRect{4, 35, 76, 57}).Count, 0);
}

TEST(Paint, TitlesHaveRaisedEdgesWith3DLook) {
  TTestGrid grid;
  grid.Paint();
  EXPECT_EQ(grid.Pixel(0, 31), Rgb(clBtnHighlight));
  EXPECT_EQ(grid.Pixel(79, 60), Rgb(clBtnShadow));
  grid.Look3D = false;
  grid.Paint();
  EXPECT_EQ(grid.Pixel(0, 31), Rgb(clBtnFace));
  EXPECT_EQ(grid.Pixel(79, 60), Rgb(clBtnFace));
}

TEST(Paint, WithoutLineOptionsCellsTouch) {
  TTestGrid grid;
  grid.SetOptions(TCellGridOptions{goRangeSelect});
  grid.Paint();
  // The title column ends at 80 and column 1 starts there; no line between the data cells.
  EXPECT_EQ(grid.Pixel(80, 100), 0xFFFFFF);
  EXPECT_EQ(CountColor(grid, TRect{78, 70, 400, 150}, clBlack), 0);
}

TEST(Paint, SwitchedOffLinesArePaintedInTheBackground) {
  TTestGrid grid;
  grid.SetOptions(TCellGridOptions{goFixedVertLine, goFixedHorzLine, goHorzLine});
  grid.Background = clYellow;
  grid.Paint();
  EXPECT_EQ(grid.Pixel(161, 45), clYellow);   // vertical lines off in the data area
  EXPECT_EQ(grid.Pixel(120, 61), 0xC0C0C0);   // horizontal lines on
  EXPECT_EQ(grid.Pixel(161, 61), 0xC0C0C0);   // and drawn over the vertical ones
}

TEST(Paint, MergedBlockIsFilledOnceAndNoLineCrossesIt) {
  TTestGrid grid;
  for (Integer c = 2; c <= 3; ++c)
    for (Integer r = 2; r <= 3; ++r) grid.GetCellInfo(c, r)->Range = {2, 2, 3, 3};
  grid.GetCellInfo(2, 2)->Color = clRed;
  grid.GetCellInfo(3, 3)->Color = clBlue;  // not the block's first cell: never painted
  grid.Paint();
  EXPECT_EQ(grid.Pixel(200, 77), clRed);
  EXPECT_EQ(grid.Pixel(242, 77), clRed);   // where the line after column 2 would be
  EXPECT_EQ(grid.Pixel(200, 92), clRed);   // where the line after row 2 would be
  EXPECT_EQ(grid.Pixel(300, 110), clRed);
  EXPECT_EQ(CountColor(grid, TRect{162, 62, 323, 123}, clBlue), 0);
  EXPECT_EQ(grid.Pixel(242, 45), 0xC0C0C0);  // the line continues above the block
  EXPECT_EQ(grid.Pixel(323, 77), 0xC0C0C0);  // and after it
}

TEST(Paint, FocusedCellIsLeftToTheEditorWhileEditing) {
  TTestGrid grid;
  grid.SetOptions(grid.Options() + TCellGridOptions{goEditing});
  grid.Focused = true;
  grid.EnterEditMode();
  grid.Paint(clFuchsia);
  EXPECT_EQ(grid.Pixel(120, 45), clFuchsia);
  EXPECT_EQ(grid.Pixel(200, 45), 0xFFFFFF);
  grid.LeaveEditMode();
  grid.Paint(clFuchsia);
  EXPECT_EQ(grid.Pixel(120, 45), 0xFFFFFF);
}

TEST(Paint, SelectedTitlesAreHighlighted) {
  TTestGrid grid;
  grid.SetFocusedTitleColor(clRed);
  grid.SetSelection({2, 1, 3, 1});
  grid.Paint();
  EXPECT_EQ(CountColor(grid, TRect{85, 2, 157, 28}, clRed), 0);    // column 1
  EXPECT_GT(CountColor(grid, TRect{166, 2, 238, 28}, clRed), 0);   // column 2
  EXPECT_GT(CountColor(grid, TRect{247, 2, 319, 28}, clRed), 0);   // column 3
  EXPECT_GT(CountColor(grid, TRect{2, 33, 78, 59}, clRed), 0);     // row 1
  EXPECT_EQ(CountColor(grid, TRect{2, 64, 78, 90}, clRed), 0);     // row 2
}

TEST(Paint, SelectedCellsUseTheHighlightExceptTheFocusedOne) {
  TTestGrid grid;
  grid.SetHighLightColor(clNavy);
  grid.MoveCurrent(1, 1, true, false);
  grid.MoveAnchor({2, 1}, true);
  grid.Paint();
  EXPECT_EQ(grid.Pixel(120, 45), 0xFFFFFF);
  EXPECT_EQ(grid.Pixel(200, 45), clNavy);
  grid.SetOptions(grid.Options() + TCellGridOptions{goDrawFocusSelected});
  grid.Paint();
  EXPECT_EQ(grid.Pixel(120, 45), clNavy);
}

TEST(Paint, TextIsPlacedByTheNineAlignments) {
  TTestGrid grid(400, 300);
  grid.SetColCount(4);
  grid.SetRowCount(4);
  grid.SetDefaultColWidth(100);
  grid.SetDefaultRowHeight(80);
  grid.SetShowColTitle(false);
  grid.SetShowRowTitle(false);
  grid.SetOptions(TCellGridOptions{});
  grid.MoveCurrent(3, 3, true, false);
  // Without titles cell (c, r) starts at x = 100 * (c - 1), y = 80 * (r - 1); rows and columns of the
  // table are the vertical and horizontal thirds.
  const TAlignMode modes[3][3] = {{TAlignMode::taTopLeft, TAlignMode::taTop, TAlignMode::taTopRight},
                                  {TAlignMode::taLeft, TAlignMode::taCenter, TAlignMode::taRight},
                                  {TAlignMode::taBottomLeft, TAlignMode::taBottom, TAlignMode::taBottomRight}};
  for (Integer v = 0; v < 3; ++v)
    for (Integer h = 0; h < 3; ++h) {
      TCellInfo* cell = grid.GetCellInfo(h + 1, v + 1);
      cell->AlignMode = modes[v][h];
      cell->ForeText = "W";
      cell->FontSize = 12;
    }
  grid.GetCellInfo(3, 3)->ShowForeText = false;
  grid.GetCellInfo(3, 3)->BackText = "W";
  grid.Paint();
  for (Integer v = 0; v < 3; ++v)
    for (Integer h = 0; h < 3; ++h) {
      const TRect text{100 * h + 4, 80 * v + 4, 100 * (h + 1) - 4, 80 * (v + 1) - 4};
      const Ink ink = InkIn(Pixels(grid), text);
      ASSERT_GT(ink.Count, 0) << h << "," << v;
      const Integer cx = (ink.Box.left + ink.Box.right) / 2 - text.left;
      const Integer cy = (ink.Box.top + ink.Box.bottom) / 2 - text.top;
      EXPECT_EQ(cx * 3 / (text.right - text.left), h) << "cell " << h + 1 << "," << v + 1;
      EXPECT_EQ(cy * 3 / (text.bottom - text.top), v) << "cell " << h + 1 << "," << v + 1;
    }
}

TEST(Paint, WordBreakWrapsLongTextInsideTheCell) {
  TTestGrid grid;
  grid.GetCellInfo(1, 1)->ForeText = "aaa bbb ccc ddd eee fff";
  grid.SetRowHeights(1, 100);
  grid.SetSelection({3, 3, 3, 3});
  grid.Paint();
  const Ink wrapped = InkIn(Pixels(grid), TRect{85, 35, 157, 127});
  grid.GetCellInfo(1, 1)->AutoWordBreak = false;
  grid.Paint();
  const Ink single = InkIn(Pixels(grid), TRect{85, 35, 157, 127});
  ASSERT_GT(single.Count, 0);
  EXPECT_GT(wrapped.Box.bottom - wrapped.Box.top, 2 * (single.Box.bottom - single.Box.top));
  // Clipped to the text rectangle either way.
  EXPECT_LE(single.Box.right, 157);
  EXPECT_EQ(InkIn(Pixels(grid), TRect{158, 35, 161, 127}).Count, 0);
}

TEST(Paint, AmpersandUnderlinesTheNextCharacter) {
  TTestGrid grid;
  grid.GetCellInfo(1, 1)->ForeText = "A&B";
  grid.GetCellInfo(2, 1)->ForeText = "AB";
  grid.GetCellInfo(1, 1)->FontSize = 14;
  grid.GetCellInfo(2, 1)->FontSize = 14;
  grid.SetSelection({3, 3, 3, 3});
  grid.Paint();
  const Ink marked = InkIn(Pixels(grid), TRect{85, 35, 157, 57});
  const Ink plain = InkIn(Pixels(grid), TRect{166, 35, 238, 57});
  ASSERT_GT(plain.Count, 0);
  EXPECT_LE(marked.Box.right - marked.Box.left, plain.Box.right - plain.Box.left + 2);  // no '&' drawn
  EXPECT_GT(marked.Count, plain.Count);                                            // the underline
}

TEST(Paint, BorderLinesOfACell) {
  TTestGrid grid;
  TCellInfo* cell = grid.GetCellInfo(2, 2);
  cell->BottomLine = true;
  cell->LeftLine = true;
  grid.SetSelection({4, 4, 4, 4});
  grid.Paint();
  EXPECT_EQ(grid.Pixel(200, 92), clBlack);    // bottom, on the grid line after the cell
  EXPECT_EQ(grid.Pixel(161, 77), clBlack);    // left, on the grid line before it
  EXPECT_EQ(grid.Pixel(281, 92), 0xC0C0C0);   // the next cell has none
  EXPECT_EQ(grid.Pixel(200, 61), 0xC0C0C0);   // nor a top line
}

TEST(Paint, SelectionFrameWithFillHandleWhenFocused) {
  TTestGrid grid;
  grid.Focused = true;
  grid.SetHighLightColor(clNavy);
  grid.MoveCurrent(2, 2, true, false);
  grid.MoveAnchor({3, 2}, true);
  grid.Paint();
  // Selection with lines: (162, 62, 324, 93).
  EXPECT_EQ(grid.Pixel(200, 62), clBlack);
  EXPECT_EQ(grid.Pixel(162, 80), clBlack);
  EXPECT_EQ(grid.Pixel(322, 91), clBlack);      // the fill handle
  EXPECT_EQ(grid.Pixel(200, 64), clWhite);      // white inner line
  EXPECT_EQ(grid.Pixel(200, 80), 0xFFFFFF);
  // Neither copy, move nor fill: no frame and no handle.
  grid.SetGridCanCopyMove(false);
  grid.SetGridCanFill(false);
  grid.Paint();
  EXPECT_EQ(grid.Pixel(321, 90), clNavy);
  EXPECT_EQ(grid.Pixel(163, 80), 0xFFFFFF);
}

TEST(Paint, SelectionCuttingAMergedBlockOutlinesTheFocusedBlock) {
  TTestGrid grid;
  grid.Focused = true;
  grid.SetHighLightColor(clNavy);
  for (Integer r = 2; r <= 3; ++r) grid.GetCellInfo(3, r)->Range = {3, 2, 3, 3};
  grid.MoveCurrent(2, 2, true, false);
  grid.SetSelection({2, 2, 3, 2});
  grid.Paint();
  // The block of (2, 2) with its lines, right and bottom moved in by 2: (162, 62, 241, 91).
  EXPECT_EQ(grid.Pixel(162, 80), clBlack);
  EXPECT_EQ(grid.Pixel(240, 80), clBlack);
  EXPECT_EQ(grid.Pixel(200, 90), clBlack);
  EXPECT_NE(grid.Pixel(200, 64), clBlack);
  EXPECT_EQ(grid.Pixel(321, 90), clNavy);
}

TEST(Paint, DottedFocusRectangleWithoutFocus) {
  TTestGrid grid;
  grid.MoveCurrent(2, 2, true, false);
  grid.Paint();
  Integer marked = 0;
  for (Integer x = 166; x < 236; ++x)
    if (grid.Pixel(x, 62) != 0xFFFFFF) ++marked;
  EXPECT_GT(marked, 20);
  EXPECT_LT(marked, 50);
  grid.SetDefaultDrawing(false);
  grid.Paint();
  marked = 0;
  for (Integer x = 166; x < 236; ++x)
    if (grid.Pixel(x, 62) != clFuchsia) ++marked;
  EXPECT_EQ(marked, 0);
}

TEST(Paint, DrawCellEventGetsTheTextRectangleAndState) {
  TTestGrid grid;
  grid.Focused = true;
  grid.GetCellInfo(2, 2)->ForeText = "x";
  grid.GetCellInfo(2, 2)->AlignMode = TAlignMode::taCenter;
  struct Drawn {
    TRect Rect;
    TCellGridDrawState State;
    bool Seen = false;
  };
  std::map<std::pair<Integer, Integer>, Drawn> drawn;
  grid.SetOnDrawCell([&](TObject*, Integer c, Integer r, TRect rect, TCellGridDrawState state) {
    drawn[{c, r}] = Drawn{rect, state, true};
  });
  grid.Paint();
  EXPECT_EQ(drawn.size(), 25u);
  const Drawn title = drawn[std::make_pair(1, 0)];
  const Drawn focused = drawn[std::make_pair(1, 1)];
  EXPECT_EQ(title.Rect, (TRect{81, 0, 161, 30}));
  EXPECT_TRUE(title.State == TCellGridDrawState{gdTitled});
  EXPECT_EQ(focused.Rect, (TRect{85, 35, 157, 57}));
  EXPECT_TRUE(focused.State == (TCellGridDrawState{gdFocused, gdSelected}));
  const TRect centred = drawn[std::make_pair(2, 2)].Rect;
  EXPECT_EQ(centred.left, 166);
  EXPECT_GT(centred.top, 66);
  EXPECT_EQ(centred.bottom, 88);
}

TEST(Paint, FrozenCellsStayWhileTheRestScrolls) {
  TTestGrid grid;
  grid.SetColCount(8);
  grid.SetFixedCols(1);
  grid.GetCellInfo(1, 1)->Color = clRed;
  grid.GetCellInfo(2, 1)->Color = clBlue;
  grid.GetCellInfo(4, 1)->Color = clGreen;
  grid.MoveTopLeft(4, 1);
  grid.Paint();
  EXPECT_EQ(grid.Pixel(120, 45), clRed);
  EXPECT_EQ(grid.Pixel(200, 45), clGreen);
  EXPECT_EQ(CountColor(grid, TRect{0, 0, 400, 150}, clBlue), 0);
}

TEST(Paint, BlockMergedAcrossTheFirstScrollingRowIsDrawnClipped) {
  TTestGrid grid;
  grid.SetRowCount(10);
  for (Integer r = 2; r <= 4; ++r) grid.GetCellInfo(2, r)->Range = {2, 2, 2, 4};
  grid.GetCellInfo(2, 2)->Color = clRed;
  grid.MoveTopLeft(1, 3);
  grid.Paint();
  // Rows 3 and 4 of the block are in view at the top of the scrolling area.
  EXPECT_EQ(grid.Pixel(200, 40), clRed);
  EXPECT_EQ(grid.Pixel(200, 70), clRed);
  EXPECT_EQ(grid.Pixel(200, 20), Rgb(clBtnFace));  // the title row is not painted over
}

}  // namespace
