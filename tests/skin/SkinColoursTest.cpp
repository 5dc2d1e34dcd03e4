// The colour routines, the colour scheme for each colour depth and colour choice, and the bitmap
// routines that dim, grey and shadow glyphs.
#include "tests/skin/SkinTesting.h"

#include "platform/win/gdi/Gdi.h"

namespace skin_test {
namespace {

TEST(SkinColours, RoutinesKeepTheirRoundingAndLimits) {
  struct Case {
    const char* What;
    TColor Got;
    COLORREF Want;
  } cases[] = {
      {"white stays white", Lighten(clWhite, 37), RGB(255, 255, 255)},
      {"127.5 rounds to 128", Lighten(clBlack, 50), RGB(128, 128, 128)},
      {"126.5 rounds to 126", Lighten(RGB(2, 2, 2), 50), RGB(128, 128, 128)},
      {"above 100 acts as 100", Lighten(RGB(10, 20, 30), 250), RGB(255, 255, 255)},
      {"system colours resolve", Lighten(clBtnFace, 0), RGB(212, 208, 200)},
      {"green darkens 2 less", Darken(RGB(100, 100, 100), 30), RGB(70, 72, 70)},
      {"channels stop at 0", Darken(RGB(10, 40, 5), 30), RGB(0, 12, 0)},
      {"grey capped at 240", GrayColor(clWhite, 10), RGB(240, 240, 240)},
      {"grey of the mean plus level", GrayColor(RGB(30, 60, 90), 5), RGB(65, 65, 65)},
      {"average halves before adding", AverageColors({clWhite, RGB(236, 233, 216)}), RGB(245, 243, 235)},
  };
  for (const Case& c : cases) EXPECT_EQ(Rgb(c.Got), c.Want) << c.What;
}

TEST(SkinColours, ContrastFontColourKeepsTheFontOnLightColours) {
  TCanvas canvas;
  canvas.Font()->SetColor(clRed);
  EXPECT_EQ(ContrastFontColor(&canvas, RGB(200, 100, 200)), clRed);
  EXPECT_EQ(ContrastFontColor(&canvas, RGB(0, 201, 0)), clRed);
  EXPECT_EQ(Rgb(ContrastFontColor(&canvas, RGB(10, 36, 106))), Rgb(Lighten(RGB(10, 36, 106), 90)));
}

class SkinSchemeTest : public SkinTest {};

// The pinned display: button face (212, 208, 200), highlight (10, 36, 106), button shadow (128, 128, 128).
TEST_F(SkinSchemeTest, SchemeFollowsDepthSystemColoursAndDimming) {
  TForm* form = NewForm();
  auto* skin = new TSkinMenu(form);
  skin->SetSelectColor(RGB(0, 0, 200));
  Sheet high(4, 4);
  // A two-colour device.
  HDC monoDc = k58::gdi::CreateSurfaceDC(std::make_shared<k58::gdi::Surface>(4, 4, 1), POINT{0, 0}, nullptr);
  TCanvas mono;
  mono.SetHandle(monoDc);
  struct Case {
    bool High, System, Dim;
    COLORREF Popup, Select, CheckedFill, CheckedSelectFill, Border;
  } cases[] = {
      {true, true, false, RGB(249, 248, 247), RGB(177, 185, 207), RGB(206, 211, 225), RGB(132, 146, 180),
       RGB(122, 120, 110)},
      {true, false, false, RGB(212, 208, 200), RGB(0, 0, 200), RGB(0, 0, 200), RGB(0, 0, 200), RGB(122, 120, 110)},
      {true, false, true, RGB(212, 208, 200), RGB(173, 173, 237), RGB(204, 204, 244), RGB(128, 128, 228),
       RGB(122, 120, 110)},
      {false, true, false, RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
       RGB(128, 128, 128)},
      {false, false, true, RGB(212, 208, 200), RGB(0, 0, 200), RGB(255, 255, 255), RGB(192, 192, 192),
       RGB(128, 128, 128)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "high " << c.High << " system " << c.System << " dim " << c.Dim);
    skin->SetUseSystemColors(c.System);
    skin->SetUseDimColor(c.Dim);
    EXPECT_TRUE(skin->ColorsChanged());
    skin->UpdateColors(c.High ? high.Canvas() : &mono);
    EXPECT_FALSE(skin->ColorsChanged());
    EXPECT_EQ(skin->HighColor(), c.High);
    EXPECT_EQ(Rgb(skin->DrawColor), c.Popup);
    EXPECT_EQ(Rgb(skin->DrawSelectColor), c.Select);
    EXPECT_EQ(Rgb(skin->DrawCheckedFill), c.CheckedFill);
    EXPECT_EQ(Rgb(skin->DrawCheckedSelectFill), c.CheckedSelectFill);
    EXPECT_EQ(Rgb(skin->DrawBorderColor), c.Border);
  }
  mono.SetHandle(nullptr);
  DeleteDC(monoDc);
}

TEST_F(SkinSchemeTest, BitmapRoutinesWorkPixelByPixel) {
  auto make = [] {
    auto sheet = std::make_unique<Sheet>(2, 2, clWhite);
    sheet->Canvas()->SetPixels(0, 0, RGB(30, 60, 90));
    sheet->Canvas()->SetPixels(1, 0, RGB(30, 60, 90));
    sheet->Canvas()->SetPixels(1, 1, clBlack);
    return sheet;
  };
  auto grey = make();
  GrayBitmap(&grey->Bitmap, 5);
  EXPECT_EQ(grey->At(0, 0), RGB(65, 65, 65));
  EXPECT_EQ(grey->At(1, 0), RGB(65, 65, 65));  // a run reuses the result
  EXPECT_EQ(grey->At(0, 1), RGB(240, 240, 240));
  EXPECT_EQ(grey->At(1, 1), RGB(5, 5, 5));

  auto dim = make();
  DimBitmap(&dim->Bitmap, 50);
  EXPECT_EQ(dim->At(1, 1), RGB(128, 128, 128));
  EXPECT_EQ(dim->At(0, 0), RGB(142, 158, 172));

  // The mask: everything but the bottom-left (white) pixel's colour, in the shadow colour.
  auto glyph = make();
  Sheet target(4, 4, clWhite);
  DrawMask(&glyph->Bitmap, target.Canvas(), 1, 1, clRed);
  EXPECT_EQ(target.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(target.At(2, 1), RGB(255, 0, 0));
  EXPECT_EQ(target.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(target.At(1, 2), RGB(255, 255, 255));
  EXPECT_EQ(target.At(0, 0), RGB(255, 255, 255));
}

}  // namespace
}  // namespace skin_test
