// The radio-button glyph cache: the measurement on the system's glyph, the pixel pattern, the 128 images
// and their colours per look and state, transparent corners, the rebuild after a colour change; and the
// scroll-bar hatch bitmaps.
#include <gtest/gtest.h>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

using GlyphsTest = FoundationTest;

std::string PatternPicture(const TuiRadioButtonImageList& AList) {
  std::string picture;
  for (Integer y = 0; y < AList.Height(); ++y) {
    for (Integer x = 0; x < AList.Width(); ++x) picture += static_cast<char>('0' + AList.PixelClass(x, y));
    picture += '\n';
  }
  return picture;
}

// A point of the glyph with the pixel class, scanning rows from the top.
TPoint FindClass(const TuiRadioButtonImageList& AList, Integer AClass) {
  for (Integer y = 0; y < AList.Height(); ++y)
    for (Integer x = 0; x < AList.Width(); ++x)
      if (AList.PixelClass(x, y) == AClass) return TPoint{x, y};
  return TPoint{-1, -1};
}

}  // namespace

TEST_F(GlyphsTest, PatternMeasuredOnTheSystemGlyphIsSymmetric) {
  TuiRadioButtonImageList* list = SharedRadioButtonImages();
  // The system glyph is a 12-pixel disc in a 13-pixel cell, with a 4 x 4 dot in its middle.
  ASSERT_EQ(12, list->Width());
  ASSERT_EQ(12, list->Height());
  EXPECT_EQ((TRect{4, 4, 8, 8}), list->DotRect());
  const Integer w = list->Width(), h = list->Height();
  const Integer mirrored[] = {0, 2, 1, 4, 3, 5, 6};  // turning half round swaps the two halves of the rings
  const Integer shape[] = {0, 1, 1, 2, 2, 3, 4};     // outside, outer ring, inner ring, body, dot
  Integer counts[7] = {};
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const Integer cls = list->PixelClass(x, y);
      ++counts[cls];
      // On the dividing diagonal the halves are decided by the column, so only the shape is symmetric there.
      EXPECT_EQ(shape[cls], shape[list->PixelClass(y, x)]) << "diagonal at " << x << "," << y << "\n" << PatternPicture(*list);
      EXPECT_EQ(mirrored[cls], list->PixelClass(w - 1 - x, h - 1 - y)) << "at " << x << "," << y << "\n"
                                                                        << PatternPicture(*list);
    }
  for (Integer cls = 0; cls <= 6; ++cls) EXPECT_GT(counts[cls], 0) << "class " << cls << "\n" << PatternPicture(*list);
  EXPECT_EQ(counts[1], counts[2]);
  EXPECT_EQ(counts[3], counts[4]);
  EXPECT_EQ(0, list->PixelClass(0, 0));  // corners lie outside the disc
  EXPECT_EQ(6, list->PixelClass(5, 5));
}

TEST_F(GlyphsTest, OneImageForEveryCombinationAndTheDefaultStateLooksNormal) {
  TuiRadioButtonImageList* list = SharedRadioButtonImages();
  EXPECT_EQ(128, list->Count());
  std::set<Integer> indexes;
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
    for (bool checked : {false, true})
      for (bool focused : {false, true})
        for (bool designing : {false, true}) {
          const auto k = static_cast<TuiLookAndFeelKind>(kind);
          for (Integer state = uibsNormal; state <= uibsDisabled; ++state) {
            const Integer index = list->GetImageIndex(k, static_cast<TuiButtonState>(state), checked, focused, designing);
            EXPECT_GE(index, 0);
            EXPECT_LT(index, 128);
            indexes.insert(index);
          }
          EXPECT_EQ(list->GetImageIndex(k, uibsNormal, checked, focused, designing),
                    list->GetImageIndex(k, uibsDefault, checked, focused, designing));
        }
  EXPECT_EQ(128u, indexes.size());
}

TEST_F(GlyphsTest, ColoursByLookStateAndFlags) {
  UseDistinctSystemColours();
  TuiRadioButtonImageList* list = SharedRadioButtonImages();
  const TPoint outerTopLeft = FindClass(*list, 1), outerBottomRight = FindClass(*list, 2);
  const TPoint innerTopLeft = FindClass(*list, 3), body = FindClass(*list, 5), dot = FindClass(*list, 6);
  struct Case {
    TuiLookAndFeelKind Kind;
    TuiButtonState State;
    bool Checked, Focused;
    TColor Outer1, Outer2, Inner3, Body, Dot;
  };
  const TColor hot = GetUltraFlatHotButtonColor(), pressed = GetUltraFlatPressedButtonColor();
  const TColor o11Frame = Office11Color(o11SelectionFrame);
  const Case cases[] = {
      {lfStandard, uibsNormal, true, false, clBtnShadow, clBtnHighlight, cl3DDkShadow, clWindow, clWindowText},
      {lfStandard, uibsPressed, false, false, clBtnShadow, clBtnHighlight, cl3DDkShadow, clBtnFace, clBtnFace},
      {lfStandard, uibsDisabled, true, false, clBtnShadow, clBtnHighlight, cl3DDkShadow, clBtnFace, clBtnShadow},
      {lfFlat, uibsNormal, false, false, clBtnShadow, clBtnHighlight, cl3DLight, clWindow, clWindow},
      {lfUltraFlat, uibsNormal, false, false, clBtnShadow, clBtnShadow, clWindow, clWindow, clWindow},
      {lfUltraFlat, uibsNormal, true, true, clHighlight, clHighlight, clWindow, clWindow, clWindowText},
      {lfUltraFlat, uibsHot, false, false, clHighlight, clHighlight, hot, hot, hot},
      {lfUltraFlat, uibsPressed, true, false, clHighlight, clHighlight, pressed, pressed, clWindowText},
      {lfUltraFlat, uibsDisabled, true, true, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace, clBtnShadow},
      {lfOffice11, uibsNormal, false, false, clBtnText, clBtnText, clWindow, clWindow, clWindow},
      {lfOffice11, uibsHot, true, false, o11Frame, o11Frame, Office11Color(o11HotLight), Office11Color(o11HotLight),
       clWindowText},
      {lfOffice11, uibsDisabled, true, false, Office11Color(o11DisabledText), Office11Color(o11DisabledText),
       clBtnFace, clBtnFace, Office11Color(o11DisabledText)},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(list->Width(), list->Height(), clLime);
    list->Draw(canvas.Canvas(), 0, 0, clDefault, c.Kind, c.State, c.Checked, c.Focused, false);
    const std::string name = std::to_string(c.Kind) + "/" + std::to_string(c.State) + (c.Checked ? " checked" : "") +
                             (c.Focused ? " focused" : "");
    EXPECT_EQ(Rgb(c.Outer1), canvas.At(outerTopLeft.x, outerTopLeft.y)) << name;
    EXPECT_EQ(Rgb(c.Outer2), canvas.At(outerBottomRight.x, outerBottomRight.y)) << name;
    EXPECT_EQ(Rgb(c.Inner3), canvas.At(innerTopLeft.x, innerTopLeft.y)) << name;
    EXPECT_EQ(Rgb(c.Body), canvas.At(body.x, body.y)) << name;
    EXPECT_EQ(Rgb(c.Dot), canvas.At(dot.x, dot.y)) << name;
    EXPECT_EQ(clLime, canvas.At(0, 0)) << name;  // the corner stays transparent
  }
  // Design mode lights the ultra-flat frame like the focus does.
  TestCanvas canvas(list->Width(), list->Height());
  list->Draw(canvas.Canvas(), 0, 0, clDefault, lfUltraFlat, uibsNormal, false, false, true);
  EXPECT_EQ(Rgb(clHighlight), canvas.At(outerTopLeft.x, outerTopLeft.y));
}

TEST_F(GlyphsTest, CornersShowWhatLiesBelowOrTheBackgroundColour) {
  TestCanvas canvas(30, 16, clRed);
  const TuiLookAndFeelPainterClass standard = PainterClass<TuiStandardLookAndFeelPainter>();
  standard->PaintRadioButton(canvas.Canvas(), 2, 2, uibsNormal, true, false, clDefault);
  standard->PaintRadioButton(canvas.Canvas(), 16, 2, uibsNormal, true, false, clBlue);
  EXPECT_EQ(clRed, canvas.At(2, 2));
  EXPECT_EQ(clBlue, canvas.At(16, 2));
  EXPECT_EQ(clRed, canvas.At(15, 2));  // nothing outside the glyph
  EXPECT_EQ(canvas.At(2 + 6, 2 + 6), canvas.At(16 + 6, 2 + 6));
  // The default state draws the normal glyph (not another entry's image).
  TestCanvas normal(14, 14), byDefault(14, 14);
  standard->PaintRadioButton(normal.Canvas(), 0, 0, uibsNormal, true, false, clWhite);
  standard->PaintRadioButton(byDefault.Canvas(), 0, 0, uibsDefault, true, false, clWhite);
  EXPECT_EQ(normal.All(), byDefault.All());
}

TEST_F(GlyphsTest, AColourChangeRebuildsTheImagesWhenTheyExist) {
  EXPECT_FALSE(k58::foundation::RadioButtonImagesCreated());
  const INT window = COLOR_WINDOW;
  const COLORREF yellow = RGB(255, 255, 0);
  SetSysColors(1, &window, &yellow);  // before any radio button: nothing to rebuild
  EXPECT_FALSE(k58::foundation::RadioButtonImagesCreated());
  TuiRadioButtonImageList* list = SharedRadioButtonImages();
  const TPoint body = FindClass(*list, 5);
  auto bodyColour = [&] {
    TestCanvas canvas(list->Width(), list->Height());
    list->Draw(canvas.Canvas(), 0, 0, clDefault, lfStandard, uibsNormal, false, false, false);
    return canvas.At(body.x, body.y);
  };
  EXPECT_EQ(static_cast<TColor>(yellow), bodyColour());
  const COLORREF cyan = RGB(0, 255, 255);
  SetSysColors(1, &window, &cyan);
  EXPECT_EQ(static_cast<TColor>(cyan), bodyColour());
  EXPECT_EQ(128, list->Count());
}

TEST_F(GlyphsTest, HatchBitmapsAreCheckerboardsOfTheSystemColours) {
  TBitmap* normal = k58::foundation::ScrollBarHatchBitmap(false);
  TBitmap* pressed = k58::foundation::ScrollBarHatchBitmap(true);
  ASSERT_EQ(8, normal->Width());
  EXPECT_EQ(Rgb(clBtnFace), normal->Canvas()->Pixels(0, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), normal->Canvas()->Pixels(1, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), normal->Canvas()->Pixels(0, 1));
  EXPECT_EQ(clBlack, pressed->Canvas()->Pixels(2, 2));
  EXPECT_EQ(Rgb(cl3DDkShadow), pressed->Canvas()->Pixels(3, 2));
  const INT face = COLOR_BTNFACE;
  const COLORREF red = RGB(200, 0, 0);
  SetSysColors(1, &face, &red);
  RefreshScrollBarHatchBitmaps();
  EXPECT_EQ(static_cast<TColor>(red), normal->Canvas()->Pixels(0, 0));
}
