// The editors' shared drawing routines: arrow sizes and rows, edge lines and polylines with their end
// pixels, glyphs and image-list images enabled and greyed, frames of fills, the parent image behind a
// control compared with the screen, and the flag, colour, accelerator and font helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "tests/controls/foundation/FoundationTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;

namespace {

using EditUtilsTest = FoundationTest;

// A 6 x 6 glyph: fuchsia (its transparent colour, bottom-left) around a black 2 x 2 block at (2, 2).
std::unique_ptr<TBitmap> Glyph() {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetPixelFormat(pf32bit);
  glyph->SetSize(6, 6);
  glyph->Canvas()->Brush()->SetColor(clFuchsia);
  glyph->Canvas()->FillRect(TRect{0, 0, 6, 6});
  glyph->Canvas()->Brush()->SetColor(clBlack);
  glyph->Canvas()->FillRect(TRect{2, 2, 4, 4});
  return glyph;
}

}  // namespace

TEST_F(EditUtilsTest, ArrowSizesAreOddAndTurnForLeftAndRight) {
  struct Case {
    TSize Size;
    TuiArrowDirection Direction;
    TSize Result;
  };
  for (const Case& c : {Case{{11, 7}, adDown, {3, 2}}, Case{{11, 7}, adLeft, {2, 3}}, Case{{11, 7}, adRight, {2, 3}},
                        Case{{9, 9}, adUp, {5, 3}}, Case{{13, 20}, adDown, {7, 4}}, Case{{1, 1}, adDown, {1, 1}}})
    EXPECT_EQ(c.Result, CalculateArrowSize(c.Size, c.Direction)) << c.Size << " direction " << c.Direction;
}

TEST_F(EditUtilsTest, SolidArrowsAreDrawnRowByRowAndCentred) {
  struct Case {
    const char* Name;
    Integer Size;
    TRect Rect;
    TuiArrowDirection Direction;
    bool Pressed;
    Integer ExtraCount;
    std::vector<std::string> Picture;
  };
  const Case cases[] = {
      {"down", 3, {0, 0, 11, 7}, adDown, false, 0,
       {"...........", "...........", "...#####...", "....###....", ".....#.....", "...........", "..........."}},
      {"two up, pressed", 3, {0, 0, 11, 9}, adUp, true, 1,
       {"...........", "...........", "......#....", ".....###...", "....#####..", "......#....", ".....###...",
        "....#####..", "..........."}},
      {"right", 2, {0, 0, 6, 5}, adRight, false, 0, {"......", "..#...", "..##..", "..#...", "......"}},
      {"left", 2, {0, 0, 6, 5}, adLeft, false, 0, {"......", "...#..", "..##..", "...#..", "......"}},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(c.Rect.right, c.Rect.bottom, clWhite);
    DrawSolidArrows(canvas.Canvas(), c.Size, c.Rect, clRed, c.Pressed, c.ExtraCount, c.Direction);
    EXPECT_EQ(c.Picture, Picture(canvas, c.Rect, clRed)) << c.Name;
  }
}

TEST_F(EditUtilsTest, EdgeLinesAndPolylinesIncludeTheirEndPixels) {
  TestCanvas canvas(8, 6, clWhite);
  TRect r{1, 1, 7, 5};
  DrawRectEdges(canvas.Canvas(), r, TuiBorders{bLeft, bBottom}, clRed);
  EXPECT_EQ((std::vector<std::string>{"........", ".#......", ".#......", ".#......", ".######.", "........"}),
            Picture(canvas, TRect{0, 0, 8, 6}, clRed));
  EXPECT_EQ((TRect{2, 1, 7, 4}), r);
  canvas.Fill(clWhite);
  r = TRect{1, 1, 7, 5};
  DrawRectEdges(canvas.Canvas(), r, uiAllBorders, clRed);
  EXPECT_EQ((std::vector<std::string>{"........", ".######.", ".#....#.", ".#....#.", ".######.", "........"}),
            Picture(canvas, TRect{0, 0, 8, 6}, clRed));
  EXPECT_EQ((TRect{2, 2, 6, 4}), r);

  for (bool byBrush : {false, true}) {
    canvas.Fill(clWhite);
    canvas->GetCanvasPen()->SetColor(clBlue);
    DrawPolyLine(canvas.Canvas(), {{1, 1}, {5, 1}, {5, 4}}, byBrush, clRed);
    EXPECT_EQ((std::vector<std::string>{"........", ".#####..", ".....#..", ".....#..", ".....#..", "........"}),
              Picture(canvas, TRect{0, 0, 8, 6}, clRed))
        << (byBrush ? "by brush" : "by pen");
    EXPECT_EQ(clBlue, canvas->GetCanvasPen()->Color());
    canvas.Fill(clWhite);
    DrawPolyLine(canvas.Canvas(), {{1, 1}, {4, 4}}, byBrush, clRed);
    EXPECT_EQ((std::vector<std::string>{"........", ".#......", "..#.....", "...#....", "....#...", "........"}),
              Picture(canvas, TRect{0, 0, 8, 6}, clRed))
        << (byBrush ? "diagonal by brush" : "diagonal by pen");
  }
}

TEST_F(EditUtilsTest, FillRectFrameFillsAroundTheInnerRectangleAndNeverOutsideR) {
  struct Case {
    const char* Name;
    TRect R;
    TRect Inner;
    Integer Filled;
  };
  for (const Case& c : {Case{"a frame", {1, 1, 7, 6}, {3, 2, 5, 4}, 26}, Case{"inner equal to R", {1, 1, 7, 6}, {1, 1, 7, 6}, 0},
                        Case{"no inner rectangle", {1, 1, 7, 6}, {0, 0, 0, 0}, 30},
                        Case{"inner reaching outside R", {1, 1, 7, 6}, {5, 0, 10, 3}, 26},
                        Case{"empty R", {4, 4, 4, 6}, {0, 0, 0, 0}, 0}}) {
    TestCanvas canvas(10, 8, clWhite);
    FillRectFrame(canvas.Canvas(), c.R, c.Inner, GetSolidBrush(clRed));
    EXPECT_EQ(c.Filled, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 10, 8}, clRed)) << c.Name;
    EXPECT_EQ(c.Filled, k58test::CountColour(canvas.Pixels(), c.R, clRed)) << c.Name << ": inside R only";
  }
  TestCanvas canvas(4, 4, clWhite);
  canvas->SetBrushColor(clBlue);
  FillRectWithColor(canvas.Canvas(), TRect{1, 1, 3, 3}, clRed);
  EXPECT_EQ(4, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 4, 4}, clRed));
  EXPECT_EQ(clBlue, canvas->GetCanvasBrush()->Color()) << "the canvas brush is untouched";
}

TEST_F(EditUtilsTest, GlyphsAreDrawnWithoutTheirTransparentColourEnabledOrGreyed) {
  const auto glyph = Glyph();
  const TColor shadow = Rgb(clBtnShadow), highlight = Rgb(clBtnHighlight);
  struct Case {
    const char* Name;
    TColor Background;
    bool Enabled;
    std::vector<std::string> Rows;  // the 6 x 6 cell at (3, 3): B black, Y yellow, A the canvas's aqua, s/h
  };
  const Case cases[] = {
      {"enabled over yellow", clYellow, true, {"YYYYYY", "YYYYYY", "YYBBYY", "YYBBYY", "YYYYYY", "YYYYYY"}},
      {"enabled over what is there", clNone, true, {"AAAAAA", "AAAAAA", "AABBAA", "AABBAA", "AAAAAA", "AAAAAA"}},
      {"greyed over yellow", clYellow, false, {"YYYYYY", "YYYYYY", "YYssYY", "YYsshY", "YYYhhY", "YYYYYY"}},
      {"greyed over what is there", clNone, false, {"AAAAAA", "AAAAAA", "AAssAA", "AAsshA", "AAAhhA", "AAAAAA"}},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(12, 12, clAqua);
    DrawGlyph(canvas.Canvas(), 3, 3, glyph.get(), c.Background, c.Enabled);
    std::vector<std::string> rows;
    for (Integer y = 3; y < 9; ++y) {
      std::string row;
      for (Integer x = 3; x < 9; ++x) {
        const TColor pixel = canvas.At(x, y);
        row += pixel == clBlack ? 'B' : pixel == clYellow ? 'Y' : pixel == clAqua ? 'A' : pixel == shadow ? 's'
               : pixel == highlight ? 'h' : '?';
      }
      rows.push_back(row);
    }
    EXPECT_EQ(c.Rows, rows) << c.Name;
    EXPECT_EQ(144 - 36, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 12, 12}, clAqua) -
                            k58test::CountColour(canvas.Pixels(), TRect{3, 3, 9, 9}, clAqua))
        << c.Name << ": nothing outside the glyph's cell";
  }
  // On a background bitmap of the glyph's size, which then goes to the canvas.
  TestCanvas canvas(12, 12, clAqua);
  TBitmap backdrop;
  backdrop.SetPixelFormat(pf32bit);
  backdrop.SetSize(6, 6);
  backdrop.Canvas()->Brush()->SetColor(clLime);
  backdrop.Canvas()->FillRect(TRect{0, 0, 6, 6});
  DrawGlyph(canvas.Canvas(), 3, 3, glyph.get(), clYellow, true, &backdrop);
  EXPECT_EQ(clLime, canvas.At(3, 3));
  EXPECT_EQ(clBlack, canvas.At(5, 5));
  EXPECT_EQ(clAqua, canvas.At(9, 9));
}

TEST_F(EditUtilsTest, ImagesFromAListGoThroughABitmapOfTheListSize) {
  const auto glyph = Glyph();
  TCustomImageList images(6, 6);
  images.AddMasked(glyph.get(), clFuchsia);
  TestCanvas canvas(12, 12, clAqua);
  DrawImageFromList(canvas.Canvas(), &images, 0, nullptr, true, clYellow, TRect{3, 3, 12, 12});
  EXPECT_EQ(clYellow, canvas.At(3, 3));
  EXPECT_EQ(clBlack, canvas.At(5, 5));
  EXPECT_EQ(clAqua, canvas.At(9, 9));
  canvas.Fill(clAqua);
  DrawImageFromList(canvas.Canvas(), &images, 0, nullptr, false, clNone, TRect{3, 3, 12, 12});
  EXPECT_EQ(clAqua, canvas.At(3, 3));
  EXPECT_EQ(Rgb(clBtnShadow), canvas.At(5, 5));
  EXPECT_EQ(Rgb(clBtnHighlight), canvas.At(7, 7));
  EXPECT_EQ(0, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 12, 12}, clBlack));
}

TEST_F(EditUtilsTest, BitmapsAreUsableWithPixelsOnly) {
  TBitmap empty, flat, usable;
  flat.SetSize(0, 5);
  usable.SetSize(5, 5);
  EXPECT_FALSE(IsBitmapUsable(nullptr));
  EXPECT_FALSE(IsBitmapUsable(&empty));
  EXPECT_FALSE(IsBitmapUsable(&flat));
  EXPECT_TRUE(IsBitmapUsable(&usable));
}

TEST_F(EditUtilsTest, TheParentImageIsWhatTheScreenShowsUnderTheControl) {
  auto* form = new TForm(nullptr, 0);
  form->SetBounds(40, 40, 320, 240);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 260, 180);
  panel->SetColor(clRed);
  panel->SetBevelInner(bvLowered);
  auto* edged = new TPanel(form);  // a client edge
  edged->SetParent(panel);
  edged->SetBounds(20, 20, 90, 70);
  edged->SetColor(clBlue);
  edged->SetBorderStyle(bsSingle);
  auto* inner = new TPanel(form);
  inner->SetParent(edged);
  inner->SetBounds(30, 30, 40, 20);
  inner->SetColor(clLime);
  auto* bordered = new TPanel(form);  // a one-pixel border and an elliptic window region
  bordered->SetParent(panel);
  bordered->SetBounds(115, 50, 40, 60);
  bordered->SetColor(clYellow);
  bordered->SetBorderStyle(bsSingle);
  bordered->SetCtl3D(false);
  auto* control = new TPanel(form);  // over all of them, hidden so that the screen shows what lies under it
  control->SetParent(panel);
  control->SetBounds(50, 40, 120, 100);
  control->SetVisible(false);
  form->Show();
  SetWindowRgn(bordered->Handle(), CreateEllipticRgn(0, 0, 40, 60), TRUE);
  Display.Pump();

  TestCanvas image(120, 100, clFuchsia);
  PaintParentImage(control, image.Canvas(), TRect{0, 0, 120, 100});
  const TPoint origin = panel->ClientToScreen(TPoint{50, 40});
  const k58test::PixelReader screen = k58test::PixelsOf(Display.Screen());
  Integer differences = 0;
  std::string first;
  for (Integer y = 0; y < 100; ++y)
    for (Integer x = 0; x < 120; ++x) {
      if (static_cast<COLORREF>(image.At(x, y)) == screen(origin.x + x, origin.y + y)) continue;
      if (differences++ == 0) first = std::to_string(x) + "," + std::to_string(y);
    }
  EXPECT_EQ(0, differences) << "first at " << first;
  EXPECT_GT(k58test::CountColour(image.Pixels(), TRect{0, 0, 120, 100}, clLime), 0);
  EXPECT_GT(k58test::CountColour(image.Pixels(), TRect{0, 0, 120, 100}, clYellow), 0);
  EXPECT_FALSE(panel->ControlState().Contains(csPaintCopy));

  // Only the part asked for is painted.
  TestCanvas part(120, 100, clFuchsia);
  PaintParentImage(control, part.Canvas(), TRect{10, 10, 20, 20});
  EXPECT_EQ(100 * 120 - 100, k58test::CountColour(part.Pixels(), TRect{0, 0, 120, 100}, clFuchsia));
  // A control without a parent has nothing behind it.
  TPanel orphan(nullptr);
  PaintParentImage(&orphan, part.Canvas(), TRect{0, 0, 120, 100});
  FreeObject(form);
}

TEST_F(EditUtilsTest, PainterClassesFollowTheKindUnlessVisualStylesAreUsable) {
  struct Case {
    TuiLookAndFeelKind Kind;
    TuiLookAndFeelPainterClass Painter;
  };
  for (const Case& c : {Case{lfFlat, PainterClass<TuiFlatLookAndFeelPainter>()},
                        Case{lfStandard, PainterClass<TuiStandardLookAndFeelPainter>()},
                        Case{lfUltraFlat, PainterClass<TuiUltraFlatLookAndFeelPainter>()},
                        Case{lfOffice11, PainterClass<TuiOffice11LookAndFeelPainter>()}}) {
    EXPECT_EQ(c.Painter, ChoosePainterClass(false, c.Kind));
    EXPECT_EQ(c.Painter, ChoosePainterClass(true, c.Kind)) << "no visual styles";
  }
  k58test::RecordingThemeProvider provider({"Button"});
  k58test::ScopedThemeProvider scope(provider);
  EXPECT_EQ(PainterClass<TuiWinXPLookAndFeelPainter>(), ChoosePainterClass(true, lfFlat));
  EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), ChoosePainterClass(false, lfFlat));
}

TEST_F(EditUtilsTest, TextFlagsConvertBothWaysAndDropWhatTheOtherSideLacks) {
  EXPECT_EQ(0, TextOutFlagsToCanvasFlags(0));
  EXPECT_EQ(ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine,
            TextOutFlagsToCanvasFlags(tofAlignHCenter | tofAlignVCenter | tofSingleLine | tofEndEllipsis));
  EXPECT_EQ(ctfAlignRight | ctfAlignBottom | ctfWordBreak,
            TextOutFlagsToCanvasFlags(tofAlignRight | tofAlignBottom | tofWordBreak | tofCharBreak));
  // Justified and distributed rows have no canvas flag: they are not "centre and right" or "centre and bottom".
  EXPECT_EQ(0, TextOutFlagsToCanvasFlags(tofAlignJustify));
  EXPECT_EQ(0, TextOutFlagsToCanvasFlags(tofAlignDistribute | tofAlignVDistribute));
  EXPECT_EQ(tofAlignHCenter, CanvasFlagsToTextOutFlags(ctfAlignHCenter | ctfAlignRight));
  EXPECT_EQ(tofAlignHCenter | tofAlignVCenter | tofSingleLine | tofWordBreak,
            CanvasFlagsToTextOutFlags(ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine | ctfWordBreak |
                                      ctfShowPrefix | ctfEndEllipsis));
  EXPECT_EQ(tofAlignRight | tofAlignBottom, CanvasFlagsToTextOutFlags(ctfAlignRight | ctfAlignBottom));
}

TEST_F(EditUtilsTest, HotLightHighlightAndFlatButtonColours) {
  using k58::foundation::HotLightColorAvailableOn;
  struct Case {
    DWORD Platform, Major, Minor;
    bool Available;
  };
  for (const Case& c : {Case{VER_PLATFORM_WIN32_WINDOWS, 4, 0, false}, Case{VER_PLATFORM_WIN32_WINDOWS, 4, 10, true},
                        Case{VER_PLATFORM_WIN32_WINDOWS, 4, 90, true}, Case{VER_PLATFORM_WIN32_NT, 4, 0, false},
                        Case{VER_PLATFORM_WIN32_NT, 5, 0, true}, Case{VER_PLATFORM_WIN32_NT, 5, 1, true}})
    EXPECT_EQ(c.Available, HotLightColorAvailableOn(c.Platform, c.Major, c.Minor))
        << c.Platform << " " << c.Major << "." << c.Minor;
  EXPECT_EQ(clHotLight, GetHotLightColor()) << "the platform answers version 5.1 of the NT family";

  EXPECT_EQ(clHighlight, GetHighlightColor(false));
  EXPECT_EQ(Office11Color(o11SelectionFrame), GetHighlightColor(true));
  EXPECT_EQ(GetUltraFlatHotButtonColor(), GetFlatButtonColor(false, false));
  EXPECT_EQ(GetUltraFlatPressedButtonColor(), GetFlatButtonColor(true, false));
  EXPECT_EQ(Office11Color(o11HotLight), GetFlatButtonColor(false, true));
  EXPECT_EQ(Office11Color(o11PressedLight), GetFlatButtonColor(true, true));
}

TEST_F(EditUtilsTest, AcceleratorMarksAreStripped) {
  struct Case {
    const char* Text;
    const char* Result;
  };
  for (const Case& c : {Case{"&File", "File"}, Case{"Save &As", "Save As"}, Case{"a&&b", "a&b"}, Case{"&&", "&"},
                        Case{"End&", "End_"}, Case{"&", "_"}, Case{"", ""}, Case{"&中文", "中文"}})
    EXPECT_EQ(c.Result, StripAccelChars(c.Text)) << c.Text;
}

TEST_F(EditUtilsTest, TheCanvasFontGoesToAndFromALogicalFont) {
  TestCanvas canvas(4, 4);
  LOGFONT font{};
  font.lfHeight = -15;
  font.lfWeight = FW_BOLD;
  font.lfItalic = 1;
  std::strcpy(font.lfFaceName, "Tahoma");
  SetCanvasFontFromLogFont(canvas.Canvas(), font);
  EXPECT_EQ(-15, canvas->GetCanvasFont()->Height());
  EXPECT_TRUE(canvas->GetCanvasFont()->Style().Contains(fsBold));
  LOGFONT read{};
  GetCanvasLogFont(canvas.Canvas(), read);
  EXPECT_EQ(60u, sizeof(read));
  EXPECT_EQ(-15, read.lfHeight);
  EXPECT_EQ(FW_BOLD, read.lfWeight);
  EXPECT_EQ(1, read.lfItalic);
  EXPECT_STREQ("Tahoma", read.lfFaceName);
}
