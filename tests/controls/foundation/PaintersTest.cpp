// The standard, flat, ultra-flat and Office11 painters on small bitmaps: one table of (painter, element,
// state) to the colours of frame and face pixels, and the elements with rules of their own (scroll-bar
// parts, expand buttons, Office11 headers, content gradients and expand-button corners).
#include <gtest/gtest.h>

#include <functional>

#include "tests/controls/foundation/FoundationTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;

namespace {

using PaintersTest = FoundationTest;

TuiLookAndFeelPainterClass Standard() { return PainterClass<TuiStandardLookAndFeelPainter>(); }
TuiLookAndFeelPainterClass Flat() { return PainterClass<TuiFlatLookAndFeelPainter>(); }
TuiLookAndFeelPainterClass UltraFlat() { return PainterClass<TuiUltraFlatLookAndFeelPainter>(); }
TuiLookAndFeelPainterClass Office11() { return PainterClass<TuiOffice11LookAndFeelPainter>(); }

enum Element { Button, Border, Check, DropDown, HeaderSection };

struct Sample {
  Integer X, Y;
  TColor Colour;  // clNone: the canvas stays as it was
};

void PaintElement(TuiLookAndFeelPainterClass APainter, Element AElement, TuiButtonState AState, TuiCanvas* ACanvas) {
  switch (AElement) {
    case Button: APainter->PaintButton(ACanvas, TRect{0, 0, 20, 14}, "", AState); break;
    case Border: APainter->PaintBorder(ACanvas, TRect{0, 0, 10, 10}); break;
    case Check: APainter->PaintCheckButton(ACanvas, TRect{0, 0, 13, 13}, AState, false); break;
    case DropDown: APainter->PaintDropDownButton(ACanvas, TRect{0, 0, 15, 15}, AState, false); break;
    case HeaderSection:
      APainter->PaintHeaderSection(ACanvas, TRect{0, 0, 30, 16}, TRect{0, 0, 30, 16}, TuiBorders{}, uiAllBorders,
                                   AState, taLeftJustify, vaTop, false, false, "", nullptr, clBlack, clYellow);
      break;
  }
}

const char* ElementName(Element AElement) {
  static const char* const names[] = {"button", "border", "check", "drop-down", "header section"};
  return names[AElement];
}

}  // namespace

TEST_F(PaintersTest, FrameAndFaceColoursByLookElementAndState) {
  UseDistinctSystemColours();
  const TColor hot = GetUltraFlatHotButtonColor(), pressed = GetUltraFlatPressedButtonColor();
  const TColor face = clBtnFace, hi = clBtnHighlight, sh = clBtnShadow, dk = cl3DDkShadow, lt = cl3DLight;
  const TColor headerDark = Office11Color(o11HeaderDark);
  struct Case {
    TuiLookAndFeelPainterClass Painter;
    Element What;
    TuiButtonState State;
    std::vector<Sample> Samples;
  };
  const Case cases[] = {
      // Buttons 20 x 14: outer frame at (0, 0) and (19, 13), then inwards, the face in the middle.
      {Standard(), Button, uibsNormal, {{0, 0, hi}, {19, 13, dk}, {1, 1, lt}, {18, 12, sh}, {2, 2, face}}},
      {Standard(), Button, uibsHot, {{0, 0, hi}, {19, 13, dk}, {1, 1, lt}, {10, 7, face}}},
      {Standard(), Button, uibsDefault, {{0, 0, clBlack}, {19, 13, clBlack}, {1, 1, hi}, {18, 12, dk}, {2, 2, lt}, {17, 11, sh}, {3, 3, face}}},
      {Standard(), Button, uibsPressed, {{0, 0, clBlack}, {1, 1, sh}, {18, 12, sh}, {2, 2, face}}},
      {Flat(), Button, uibsNormal, {{0, 0, hi}, {19, 13, sh}, {1, 1, face}}},
      {Flat(), Button, uibsDefault, {{0, 0, clBlack}, {1, 1, hi}, {18, 12, sh}, {2, 2, face}}},
      {Flat(), Button, uibsPressed, {{0, 0, sh}, {19, 13, hi}, {1, 1, face}}},
      {UltraFlat(), Button, uibsNormal, {{0, 0, clBtnText}, {19, 13, clBtnText}, {1, 1, face}}},
      {UltraFlat(), Button, uibsHot, {{0, 0, clHighlight}, {19, 13, clHighlight}, {1, 1, hot}}},
      {UltraFlat(), Button, uibsPressed, {{0, 0, clHighlight}, {1, 1, pressed}}},
      {UltraFlat(), Button, uibsDisabled, {{0, 0, sh}, {1, 1, face}}},
      {UltraFlat(), Button, uibsDefault, {{0, 0, clWindowFrame}, {1, 1, clWindowFrame}, {2, 2, face}}},
      {Office11(), Button, uibsNormal, {{0, 0, clBtnText}, {1, 1, Office11Color(o11Background)}}},
      {Office11(), Button, uibsHot, {{0, 0, Office11Color(o11SelectionFrame)}, {1, 1, Office11Color(o11HotLight)}}},
      {Office11(), Button, uibsPressed, {{0, 0, Office11Color(o11SelectionFrame)}, {1, 1, Office11Color(o11PressedLight)}}},
      {Office11(), Button, uibsDisabled, {{0, 0, Office11Color(o11DisabledText)}, {1, 1, face}}},
      {Office11(), Button, uibsDefault, {{0, 0, clWindowFrame}, {1, 1, clWindowFrame}, {2, 2, Office11Color(o11Background)}}},
      // Borders 10 x 10: the inside is left alone.
      {Standard(), Border, uibsNormal, {{0, 0, sh}, {9, 9, hi}, {1, 1, dk}, {8, 8, lt}, {2, 2, clNone}}},
      {Flat(), Border, uibsNormal, {{0, 0, sh}, {9, 9, hi}, {1, 1, clNone}}},
      {UltraFlat(), Border, uibsNormal, {{0, 0, sh}, {9, 9, sh}, {1, 1, clNone}}},
      {Office11(), Border, uibsNormal, {{0, 0, Office11Color(o11ControlBorder)}, {9, 9, Office11Color(o11ControlBorder)}}},
      // Check boxes 13 x 13.
      {Standard(), Check, uibsNormal, {{0, 0, dk}, {12, 12, lt}, {1, 1, sh}, {11, 11, hi}, {6, 6, clWindow}}},
      {Standard(), Check, uibsDisabled, {{0, 0, dk}, {6, 6, face}}},
      {Flat(), Check, uibsNormal, {{0, 0, sh}, {12, 12, hi}, {1, 1, clWindow}, {6, 6, clWindow}}},
      {UltraFlat(), Check, uibsNormal, {{0, 0, clBtnText}, {1, 1, clWindow}, {6, 6, clWindow}}},
      {UltraFlat(), Check, uibsPressed, {{0, 0, clBtnText}, {1, 1, face}}},
      {Office11(), Check, uibsHot, {{0, 0, clBtnText}, {1, 1, Office11Color(o11HotLight)}, {6, 6, Office11Color(o11HotLight)}}},
      // Drop-down buttons 15 x 15.
      {Standard(), DropDown, uibsNormal, {{0, 0, hi}, {14, 14, sh}, {2, 2, face}}},
      {Standard(), DropDown, uibsPressed, {{0, 0, sh}, {14, 14, hi}, {2, 2, face}}},
      {Flat(), DropDown, uibsNormal, {{0, 0, hi}, {14, 14, sh}}},
      {UltraFlat(), DropDown, uibsNormal, {{0, 0, sh}, {14, 14, sh}, {2, 2, face}}},
      {UltraFlat(), DropDown, uibsHot, {{0, 0, clHighlight}, {2, 2, hot}}},
      {Office11(), DropDown, uibsNormal, {{0, 0, headerDark}, {2, 2, Office11Color(o11Background)}}},
      // Header sections 30 x 16 on a yellow background.
      {Standard(), HeaderSection, uibsNormal, {{0, 0, hi}, {29, 15, dk}, {1, 1, lt}, {28, 14, sh}, {15, 8, clYellow}}},
      {Standard(), HeaderSection, uibsPressed, {{0, 0, sh}, {29, 15, sh}, {1, 1, clYellow}}},
      {Flat(), HeaderSection, uibsNormal, {{0, 0, hi}, {29, 15, sh}, {1, 1, clYellow}}},
      {Flat(), HeaderSection, uibsPressed, {{0, 0, sh}, {29, 15, hi}}},
      {UltraFlat(), HeaderSection, uibsNormal, {{0, 0, clBlack}, {29, 15, clBlack}, {1, 1, clYellow}}},
      {UltraFlat(), HeaderSection, uibsHot, {{0, 0, clBlack}, {1, 1, hot}}},
      {UltraFlat(), HeaderSection, uibsDisabled, {{0, 0, sh}, {1, 1, face}}},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(32, 18);
    PaintElement(c.Painter, c.What, c.State, canvas.Canvas());
    for (const Sample& s : c.Samples)
      EXPECT_EQ(s.Colour == clNone ? clFuchsia : Rgb(s.Colour), canvas.At(s.X, s.Y))
          << c.Painter->ClassName() << " " << ElementName(c.What) << " state " << c.State << " at " << s.X << ","
          << s.Y;
  }
}

TEST_F(PaintersTest, Office11ButtonsWithTheOliveScheme) {
  k58test::RecordingThemeProvider provider({"Button"});
  provider.ColorName = u"HomeStead";
  k58test::ScopedThemeProvider scope(provider);
  UpdateOffice11Colors();
  ASSERT_EQ(2, CurrentOffice11ColorScheme());
  TestCanvas canvas(20, 14);
  Office11()->PaintButton(canvas.Canvas(), TRect{0, 0, 20, 14}, "", uibsHot);
  EXPECT_EQ(static_cast<TColor>(RGB(255, 244, 204)), canvas.At(5, 5));
  EXPECT_EQ(static_cast<TColor>(RGB(63, 93, 56)), canvas.At(0, 0));
  // With a scheme in use the pressed symbol keeps the scheme's text colour.
  EXPECT_EQ(static_cast<TColor>(RGB(0, 0, 0)), Office11()->GetButtonSymbolColor(uibsPressed, clDefault));
  EXPECT_EQ(static_cast<TColor>(RGB(217, 217, 167)), Office11()->PanelBackgroundColor());
}

TEST_F(PaintersTest, ScrollBarParts) {
  UseDistinctSystemColours();
  const TRect r{0, 0, 16, 16};
  for (TuiLookAndFeelPainterClass painter : {Standard(), Flat(), UltraFlat(), Office11()}) {
    const std::string name = painter->ClassName();
    TestCanvas canvas(16, 16);
    // A disabled thumb leaves the track visible.
    painter->PaintScrollBarPart(canvas.Canvas(), false, r, sbpThumbnail, uibsDisabled);
    EXPECT_EQ(256, k58test::CountColour(canvas.Pixels(), r, clFuchsia)) << name;
    // Page areas: the light hatch, the dark one when pressed.
    painter->PaintScrollBarPart(canvas.Canvas(), false, r, sbpPageUp, uibsNormal);
    EXPECT_EQ(128, k58test::CountColour(canvas.Pixels(), r, Rgb(clBtnHighlight))) << name;
    EXPECT_EQ(128, k58test::CountColour(canvas.Pixels(), r, Rgb(clBtnFace))) << name;
    painter->PaintScrollBarPart(canvas.Canvas(), true, r, sbpPageDown, uibsPressed);
    EXPECT_EQ(128, k58test::CountColour(canvas.Pixels(), r, clBlack)) << name;
    EXPECT_EQ(128, k58test::CountColour(canvas.Pixels(), r, Rgb(cl3DDkShadow))) << name;
    EXPECT_EQ(bsSolid, canvas->GetCanvasBrush()->Style()) << name;
    // Nothing for an empty rectangle or an unknown part.
    canvas.Fill(clFuchsia);
    painter->PaintScrollBarPart(canvas.Canvas(), false, TRect{4, 4, 4, 9}, sbpLineUp, uibsNormal);
    painter->PaintScrollBarPart(canvas.Canvas(), false, r, sbpNone, uibsNormal);
    EXPECT_EQ(256, k58test::CountColour(canvas.Pixels(), r, clFuchsia)) << name;
  }
  // Standard arrows: a raised button; pressed, a flat one with the glyph moved.
  TestCanvas normal(16, 16), down(16, 16);
  Standard()->PaintScrollBarPart(normal.Canvas(), false, r, sbpLineUp, uibsNormal);
  Standard()->PaintScrollBarPart(down.Canvas(), false, r, sbpLineUp, uibsPressed);
  EXPECT_EQ(Rgb(clBtnFace), normal.At(0, 0));
  EXPECT_EQ(Rgb(cl3DDkShadow), normal.At(15, 15));
  EXPECT_EQ(Rgb(clBtnHighlight), normal.At(1, 1));
  EXPECT_EQ(Rgb(clBtnShadow), down.At(0, 0));
  EXPECT_EQ(Rgb(clBtnShadow), down.At(15, 15));
  EXPECT_EQ(Rgb(clBtnFace), down.At(1, 1));
  const TRect glyph = k58test::InkIn(normal.Pixels(), TRect{2, 2, 14, 14}).Box;
  EXPECT_EQ((TRect{glyph.left + 1, glyph.top + 1, glyph.right + 1, glyph.bottom + 1}),
            k58test::InkIn(down.Pixels(), TRect{2, 2, 15, 15}).Box);
  // The Office11 look borrows the standard parts while visual styles are off.
  TestCanvas office(16, 16);
  Office11()->PaintScrollBarPart(office.Canvas(), false, r, sbpLineUp, uibsNormal);
  EXPECT_EQ(normal.All(), office.All());
}

TEST_F(PaintersTest, ExpandButtonsLeaveTheirAreaOutOfTheClip) {
  for (TuiLookAndFeelPainterClass painter : {Standard(), Flat(), UltraFlat()}) {
    TestCanvas canvas(20, 20, clWhite);
    const TRect r{4, 4, 15, 15};
    painter->PaintExpandButton(canvas.Canvas(), r, false, clDefault);
    const std::vector<TColor> button = canvas.All();
    canvas->FillRectWithColor(TRect{0, 0, 20, 20}, clRed);
    for (Integer y = 0; y < 20; ++y)
      for (Integer x = 0; x < 20; ++x) {
        const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        ASSERT_EQ(inside ? button[static_cast<size_t>(y * 20 + x)] : clRed, canvas.At(x, y))
            << painter->ClassName() << " at " << x << "," << y;
      }
    // The cross is there, in the button text colour.
    EXPECT_EQ(Rgb(clBtnText), canvas.At((r.left + r.right) / 2, (r.top + r.bottom) / 2)) << painter->ClassName();
  }
}

TEST_F(PaintersTest, Office11ExpandButtonCornersBlendWithWhatLiesUnderEach) {
  TestCanvas canvas(11, 11);
  canvas->FillRectWithColor(TRect{0, 0, 6, 6}, clRed);
  canvas->FillRectWithColor(TRect{6, 0, 11, 6}, clLime);
  canvas->FillRectWithColor(TRect{0, 6, 6, 11}, clBlue);
  canvas->FillRectWithColor(TRect{6, 6, 11, 11}, clYellow);
  Office11()->PaintExpandButton(canvas.Canvas(), TRect{0, 0, 11, 11}, true, clDefault);
  EXPECT_EQ(MixColors(RGB(158, 174, 191), clRed, 25), canvas.At(0, 0));
  EXPECT_EQ(MixColors(RGB(46, 70, 95), clLime, 25), canvas.At(10, 0));
  EXPECT_EQ(MixColors(RGB(46, 70, 95), clBlue, 25), canvas.At(0, 10));
  EXPECT_EQ(MixColors(RGB(46, 70, 95), clYellow, 25), canvas.At(10, 10));
  EXPECT_EQ(clBlack, canvas.At(5, 5));      // the minus
  EXPECT_NE(clBlack, canvas.At(5, 3));      // no plus bar
  EXPECT_EQ(11, Office11()->GetSmallExpandButtonSize());
}

TEST_F(PaintersTest, Office11HeaderBorderBlendsIntoItsNeighbours) {
  const TColor mid = MixColors(Office11Color(o11BarLight), Office11Color(o11BarDark), 50);
  const TColor barDark = Office11Color(o11BarDark), dark = Office11Color(o11HeaderDark);
  const TColor light = Office11Color(o11HeaderLight);
  const TRect r{0, 0, 20, 12};
  struct Case {
    TuiBorders Neighbors;
    std::vector<Sample> Samples;
  };
  const Case cases[] = {
      {TuiBorders{}, {{0, 1, mid}, {0, 5, light}, {0, 10, barDark}, {19, 0, MixColors(mid, dark, 50)}, {19, 5, dark},
                      {19, 10, MixColors(barDark, dark, 50)}, {10, 0, mid}, {10, 11, dark}}},
      {TuiBorders{bLeft, bRight}, {{0, 2, mid}, {0, 9, MixColors(mid, barDark, 25)}, {0, 10, barDark}, {0, 5, light},
                                   {19, 1, mid}, {19, 2, mid}, {19, 5, dark}, {19, 9, MixColors(mid, barDark, 25)}}},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(20, 12);
    Office11()->PaintHeaderBorder(canvas.Canvas(), r, c.Neighbors, uiAllBorders);
    for (const Sample& s : c.Samples)
      EXPECT_EQ(s.Colour, canvas.At(s.X, s.Y)) << "neighbours " << c.Neighbors.Bits() << " at " << s.X << "," << s.Y;
  }
}

TEST_F(PaintersTest, Office11ContentGradientAndHotUnderline) {
  TestCanvas canvas(20, 16);
  const TRect r{0, 0, 20, 12};
  Office11()->PaintContent(canvas.Canvas(), r, r, uibsNormal, taLeftJustify, vaTop, false, false, "", nullptr, clBlack,
                           clRed, TuiDrawBackgroundEvent());
  const TColor mid = MixColors(Office11Color(o11BarLight), Office11Color(o11BarDark), 50);
  EXPECT_EQ(mid, canvas.At(5, 0));
  EXPECT_EQ(mid, canvas.At(5, 8));
  EXPECT_EQ(Office11Color(o11BarDark), canvas.At(5, 11));
  EXPECT_EQ(clFuchsia, canvas.At(5, 12));
  // Single colour: no gradient.
  Office11()->PaintContent(canvas.Canvas(), r, r, uibsNormal, taLeftJustify, vaTop, false, false, "", nullptr, clBlack,
                           clRed, TuiDrawBackgroundEvent(), true);
  EXPECT_EQ(mid, canvas.At(5, 11));
  // Hot: the light bar colour with an underline from the hot light to the hot dark colour below it.
  canvas.Fill(clFuchsia);
  Office11()->PaintContent(canvas.Canvas(), r, r, uibsHot, taLeftJustify, vaTop, false, false, "", nullptr, clBlack,
                           clRed, TuiDrawBackgroundEvent());
  EXPECT_EQ(Office11Color(o11BarLight), canvas.At(5, 5));
  EXPECT_EQ(Office11Color(o11HotLight), canvas.At(5, 10));
  EXPECT_EQ(Office11Color(o11HotDark), canvas.At(5, 12));
}

TEST_F(PaintersTest, PressedOffice11SectionIsInverted) {
  TestCanvas drawn(30, 16), expected(30, 16);
  const TRect r{0, 0, 30, 16};
  Office11()->PaintHeaderSection(drawn.Canvas(), r, r, TuiBorders{}, uiAllBorders, uibsPressed, taLeftJustify, vaTop,
                                 false, false, "", nullptr, clBlack, clYellow);
  ClassObjectOf<TuiOffice11LookAndFeelPainter>()->TuiUltraFlatLookAndFeelPainter::PaintHeaderSection(expected.Canvas(), r, r, TuiBorders{}, uiAllBorders,
                                                                 uibsPressed, taLeftJustify, vaTop, false, false, "",
                                                                 nullptr, clBlack, clYellow);
  expected->InvertRectangle(r);
  EXPECT_EQ(expected.All(), drawn.All());
}

TEST_F(PaintersTest, UltraFlatGroupButtonsAndBorders) {
  EXPECT_EQ((TRect{2, 2, 1, 2}), UltraFlat()->GetButtonGroupBorders(3, 0));
  EXPECT_EQ((TRect{1, 2, 1, 2}), UltraFlat()->GetButtonGroupBorders(3, 1));
  EXPECT_EQ((TRect{1, 2, 2, 2}), UltraFlat()->GetButtonGroupBorders(3, 2));
  EXPECT_EQ((TRect{2, 2, 1, 2}), UltraFlat()->GetButtonGroupBorders(1, 0));
  TestCanvas canvas(20, 10);
  // A hot middle button: hot columns left and right, the face between, one row off at top and bottom.
  UltraFlat()->PaintGroupButton(canvas.Canvas(), TRect{0, 0, 20, 10}, uibsHot, 3, 1, clRed);
  EXPECT_EQ(clFuchsia, canvas.At(5, 0));
  EXPECT_EQ(Rgb(clHighlight), canvas.At(0, 5));
  EXPECT_EQ(Rgb(clHighlight), canvas.At(19, 5));
  EXPECT_EQ(GetUltraFlatHotButtonColor(), canvas.At(1, 5));
  // A normal first button: the border colour frames it one pixel in from the left.
  canvas.Fill(clFuchsia);
  UltraFlat()->PaintGroupButton(canvas.Canvas(), TRect{0, 0, 20, 10}, uibsNormal, 3, 0, clRed);
  EXPECT_EQ(clFuchsia, canvas.At(0, 5));
  EXPECT_EQ(clRed, canvas.At(1, 5));
  EXPECT_EQ(clRed, canvas.At(19, 5));
  EXPECT_EQ(Rgb(clBtnFace), canvas.At(2, 5));
}
