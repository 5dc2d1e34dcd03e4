// The painter interface and the base drawing routines: neutral answers, arrow geometry, check marks,
// expand crosses, button captions, sort marks and indicator images at the routines' own coordinates.
#include <gtest/gtest.h>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

using PainterBaseTest = FoundationTest;

TuiLookAndFeelPainterClass Base() { return PainterClass<TuiCustomLookAndFeelPainter>(); }

}  // namespace

TEST(PainterInterface, StyleCodesAndKinds) {
  struct Case {
    TuiLookAndFeelPainterClass Painter;
    TuiLookAndFeelStyle Style;
    TuiLookAndFeelKind Kind;
  };
  for (const Case& c : {Case{Base(), lfsStandard, lfStandard},
                        Case{PainterClass<TuiStandardLookAndFeelPainter>(), lfsStandard, lfStandard},
                        Case{PainterClass<TuiFlatLookAndFeelPainter>(), lfsFlat, lfFlat},
                        Case{PainterClass<TuiUltraFlatLookAndFeelPainter>(), lfsUltraFlat, lfUltraFlat},
                        Case{PainterClass<TuiOffice11LookAndFeelPainter>(), lfsOffice11, lfOffice11},
                        Case{PainterClass<TuiWinXPLookAndFeelPainter>(), lfsWinXP, lfStandard}}) {
    EXPECT_EQ(c.Style, c.Painter->GetLookAndFeelStyle()) << c.Painter->ClassName();
    EXPECT_EQ(c.Kind, LookAndFeelStyleToKind(c.Painter->GetLookAndFeelStyle())) << c.Painter->ClassName();
    EXPECT_EQ(c.Painter, PainterClassOf(c.Painter->ClassType()));
  }
  EXPECT_EQ(nullptr, PainterClassOf(TObject::StaticClass()));
}

TEST(PainterInterface, NeutralAnswersOfTheBase) {
  const TuiLookAndFeelPainterClass base = Base();
  EXPECT_EQ(clBtnShadow, base->GetButtonSymbolColor(uibsDisabled, clRed));
  EXPECT_EQ(clBtnText, base->GetButtonSymbolColor(uibsNormal, clDefault));
  EXPECT_EQ(clRed, base->GetButtonSymbolColor(uibsHot, clRed));
  EXPECT_EQ((TRect{0, 0, 6, 6}), base->GetButtonFocusBounds(nullptr, TRect{0, 0, 6, 6}));
  EXPECT_EQ((TRect{4, 4, 16, 16}), base->GetButtonFocusBounds(nullptr, TRect{0, 0, 20, 20}));
  EXPECT_EQ(17, base->GetHeaderHeight(13));
  EXPECT_EQ(19, PainterClass<TuiStandardLookAndFeelPainter>()->GetHeaderHeight(13));
  EXPECT_EQ((TPoint{16, 0}), base->GetSortMarkAreaSize());
  EXPECT_EQ((TPoint{16, 8}), PainterClass<TuiUltraFlatLookAndFeelPainter>()->GetSortMarkAreaSize());
  EXPECT_EQ((TRect{3, 3, 7, 7}), PainterClass<TuiStandardLookAndFeelPainter>()->GetFooterCellTextBounds(TRect{0, 0, 10, 10}));
  EXPECT_EQ(clBtnFace, base->HeaderColor());
  EXPECT_EQ(clBtnText, base->HeaderTextColor());
  EXPECT_EQ(clHighlight, base->SelectionColorA());
  EXPECT_EQ(base->ShadowColorD(), base->LinkedShadowColor());
  EXPECT_EQ(static_cast<TColor>(RGB(207, 208, 207)), base->GrayColor());
  EXPECT_EQ(static_cast<TColor>(RGB(255, 255, 213)), base->InfoColor());
  EXPECT_EQ((TRect{0, 0, 0, 0}), base->GetButtonGroupBorders(3, 1));
  EXPECT_EQ((TRect{2, 2, 2, 2}), PainterClass<TuiStandardLookAndFeelPainter>()->GetButtonGroupBorders(3, 1));
}

TEST(PainterInterface, HeaderOuterBoundsNeverGrowASuppressedSide) {
  const TRect r{10, 10, 50, 30};
  // The ultra-flat look leaves out the border towards a left or top neighbour: that side grows.
  const TuiLookAndFeelPainterClass ultraFlat = PainterClass<TuiUltraFlatLookAndFeelPainter>();
  EXPECT_EQ((TRect{9, 10, 50, 30}), ultraFlat->GetHeaderOuterBounds(r, TuiBorders{bLeft}, uiAllBorders));
  EXPECT_EQ((TRect{9, 9, 50, 30}), ultraFlat->GetHeaderOuterBounds(r, TuiBorders{bLeft, bTop}, uiAllBorders));
  EXPECT_EQ(r, ultraFlat->GetHeaderOuterBounds(r, TuiBorders{bLeft}, TuiBorders{bTop, bRight}));
  // Looks that draw every border grow nothing.
  EXPECT_EQ(r, PainterClass<TuiStandardLookAndFeelPainter>()->GetHeaderOuterBounds(r, TuiBorders{bLeft}, uiAllBorders));
  EXPECT_EQ((TRect{11, 10, 49, 29}),
            PainterClass<TuiStandardLookAndFeelPainter>()->GetHeaderContentBounds(r, TuiBorders{bLeft, bRight, bBottom}));
}

TEST_F(PainterBaseTest, DropDownArrowInA16PixelSquare) {
  TestCanvas canvas(16, 16, clWhite);
  Base()->PaintDropDownArrow(canvas.Canvas(), TRect{0, 0, 16, 16}, clBlack);
  EXPECT_EQ((std::vector<std::string>{"................",
                                      "...#########....",
                                      "....#######.....",
                                      ".....#####......",
                                      "......###.......",
                                      ".......#........",
                                      "................"}),
            Picture(canvas, TRect{0, 5, 16, 12}, clBlack));
}

TEST(PainterGeometry, ArrowPoints) {
  struct Case {
    TRect R;
    TuiArrowDirection Direction;
    bool Proportional;
    TPoint P0, P1, P2;
  };
  const Case cases[] = {
      // 16 x 16: a base of X = 7 pixels (15 div 2, odd) and Y = 4 rows.
      {{0, 0, 16, 16}, adDown, false, {4, 6}, {10, 6}, {7, 9}},
      {{0, 0, 16, 16}, adUp, false, {7, 6}, {4, 9}, {10, 9}},
      {{0, 0, 16, 16}, adLeft, false, {6, 8}, {9, 5}, {9, 11}},
      {{0, 0, 16, 16}, adRight, false, {6, 5}, {9, 8}, {6, 11}},
      // A 20 x 10 rectangle is squared to (5, 0, 15, 10) about its centre first: X = 5, Y = 3.
      {{0, 0, 20, 10}, adDown, true, {7, 4}, {11, 4}, {9, 6}},
      {{0, 0, 20, 10}, adDown, false, {5, 3}, {13, 3}, {9, 7}},
  };
  for (const Case& c : cases) {
    TPoint p0, p1, p2;
    TuiCustomLookAndFeelPainter::CalculateArrowPoints(c.R, p0, p1, p2, c.Direction, c.Proportional);
    EXPECT_EQ(c.P0, p0) << c.R << " " << c.Direction << " " << c.Proportional;
    EXPECT_EQ(c.P1, p1) << c.R << " " << c.Direction << " " << c.Proportional;
    EXPECT_EQ(c.P2, p2) << c.R << " " << c.Direction << " " << c.Proportional;
  }
}

TEST_F(PainterBaseTest, CheckMarkInA13PixelBoxHasThreeStrokes) {
  TestCanvas canvas(13, 13);
  Base()->PaintCheckMark(canvas.Canvas(), TRect{0, 0, 13, 13}, uibsNormal, true, clBlack);
  // Every column of the short arm holds three pixels one above the other, one per stroke.
  for (Integer x = 1; x <= 4; ++x) {
    std::vector<Integer> rows;
    for (Integer y = 0; y < 13; ++y)
      if (canvas.At(x, y) == clBlack) rows.push_back(y);
    ASSERT_EQ(3u, rows.size()) << "column " << x;
    EXPECT_EQ(rows[0] + 2, rows[2]) << "column " << x;
  }
  EXPECT_EQ(Rgb(clWindow), canvas.At(0, 0));  // the background of the normal state
  // Unchecked: only the background; pressed and disabled backgrounds are the face.
  Base()->PaintCheckMark(canvas.Canvas(), TRect{0, 0, 13, 13}, uibsPressed, false, clBlack);
  EXPECT_EQ(169, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 13, 13}, Rgb(clBtnFace)));
}

TEST_F(PainterBaseTest, ExpandCrossInA9PixelBox) {
  TestCanvas canvas(9, 9, clWhite);
  TuiCustomLookAndFeelPainter::PaintExpandCross(canvas.Canvas(), TRect{0, 0, 9, 9}, clBlack, false);
  EXPECT_EQ((std::vector<std::string>{".........", ".........", "....#....", "....#....", "..#####..", "....#....",
                                      "....#....", ".........", "........."}),
            Picture(canvas, TRect{0, 0, 9, 9}, clBlack));
  canvas.Fill(clWhite);
  TuiCustomLookAndFeelPainter::PaintExpandCross(canvas.Canvas(), TRect{0, 0, 9, 9}, clBlack, true);
  EXPECT_EQ(5, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 9, 9}, clBlack));
  // The small expand button: a frame, the fill, the cross in the button text colour.
  canvas.Fill(clWhite);
  Base()->PaintSmallExpandButton(canvas.Canvas(), TRect{0, 0, 9, 9}, false, clRed, clYellow);
  EXPECT_EQ(32, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 9, 9}, clRed));
  EXPECT_EQ(Rgb(clBtnText), canvas.At(4, 4));
  EXPECT_EQ(clYellow, canvas.At(1, 1));
}

TEST_F(PainterBaseTest, ButtonCaptionDropsTheOddRow) {
  // A 17-pixel button draws its caption where a 16-pixel one does: the last row goes, one comes on top.
  auto captionInk = [](Integer AHeight) {
    TestCanvas canvas(60, AHeight, clWhite);
    Base()->PaintButton(canvas.Canvas(), TRect{0, 0, 60, AHeight}, "Ok", uibsNormal, false, clWhite, clBlack);
    return k58test::InkIn(canvas.Pixels(), TRect{0, 0, 60, AHeight}).Box;
  };
  EXPECT_EQ(captionInk(16), captionInk(17));
  const TRect tall = captionInk(19);
  EXPECT_EQ(captionInk(18), tall);
  // An underlined accelerator is drawn (prefix shown), the "&" is not.
  TestCanvas canvas(60, 16, clWhite);
  Base()->PaintButton(canvas.Canvas(), TRect{0, 0, 60, 16}, "&O", uibsNormal, false, clWhite, clBlack);
  TestCanvas plain(60, 16, clWhite);
  Base()->PaintButton(plain.Canvas(), TRect{0, 0, 60, 16}, "O", uibsNormal, false, clWhite, clBlack);
  EXPECT_GT(k58test::InkIn(canvas.Pixels(), TRect{0, 0, 60, 16}).Count,
            k58test::InkIn(plain.Pixels(), TRect{0, 0, 60, 16}).Count);
  EXPECT_EQ(bsSolid, canvas->GetCanvasBrush()->Style());
}

TEST_F(PainterBaseTest, SortMarkAndIndicatorAreCentred) {
  TestCanvas canvas(20, 20, clWhite);
  const TuiLookAndFeelPainterClass standard = PainterClass<TuiStandardLookAndFeelPainter>();
  standard->PaintSortMarkTriangle(canvas.Canvas(), TRect{0, 0, 20, 20}, true, clRed, clBlue);
  // An 8 x 7 triangle at (6, 6): the apex on top, the base in the light colour.
  EXPECT_EQ((TRect{6, 6, 14, 13}), k58test::InkIn(canvas.Pixels(), TRect{0, 0, 20, 20},
                                                   [](COLORREF C) { return C != 0xFFFFFF; }).Box);
  EXPECT_EQ(8, k58test::CountColour(canvas.Pixels(), TRect{0, 12, 20, 13}, clRed));
  // The left edge in the dark colour, the right edge in the light one.
  EXPECT_GT(k58test::CountColour(canvas.Pixels(), TRect{6, 6, 10, 12}, clBlue), 0);
  EXPECT_EQ(0, k58test::CountColour(canvas.Pixels(), TRect{11, 6, 14, 12}, clBlue));
  EXPECT_GT(k58test::CountColour(canvas.Pixels(), TRect{11, 6, 14, 12}, clRed), 0);
  canvas.Fill(clWhite);
  standard->PaintSortMarkTriangle(canvas.Canvas(), TRect{0, 0, 20, 20}, false, clRed, clBlue);
  EXPECT_EQ(8, k58test::CountColour(canvas.Pixels(), TRect{0, 6, 20, 7}, clBlue));

  canvas.Fill(clWhite);
  Base()->PaintIndicatorItem(canvas.Canvas(), TRect{0, 0, 20, 20}, ikArrow, clWhite, TuiDrawBackgroundEvent());
  // The 5 x 9 arrow image, centred.
  EXPECT_EQ((TRect{7, 5, 12, 14}), k58test::InkIn(canvas.Pixels(), TRect{0, 0, 20, 20}).Box);
}

TEST_F(PainterBaseTest, ContentBackgroundComesFromTheEventWhenItPaints) {
  TestCanvas canvas(20, 10, clWhite);
  Integer asked = 0;
  TuiDrawBackgroundEvent handled = [&](TuiCanvas* ACanvas, const TRect& R) {
    ++asked;
    ACanvas->FillRectWithColor(R, clLime);
    return true;
  };
  Base()->PaintContent(canvas.Canvas(), TRect{0, 0, 20, 10}, TRect{0, 0, 20, 10}, uibsNormal, taLeftJustify, vaTop,
                       false, false, "", nullptr, clBlack, clRed, handled);
  EXPECT_EQ(1, asked);
  EXPECT_EQ(200, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 20, 10}, clLime));
  TuiDrawBackgroundEvent declined = [](TuiCanvas*, const TRect&) { return false; };
  Base()->PaintContent(canvas.Canvas(), TRect{0, 0, 20, 10}, TRect{0, 0, 20, 10}, uibsNormal, taLeftJustify, vaTop,
                       false, false, "", nullptr, clBlack, clRed, declined);
  EXPECT_EQ(200, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 20, 10}, clRed));
}
