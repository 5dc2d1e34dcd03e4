// The canvas helpers on small off-screen bitmaps: tiling, strips and frames, inverting frames, captions,
// clipping, bitmap rotation; the text-flag translation and the mixed system colours.
#include <gtest/gtest.h>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

using GraphicsTest = FoundationTest;

TColor TileColour(Integer X, Integer Y) { return RGB(static_cast<BYTE>(X * 40 + 10), static_cast<BYTE>(Y * 40 + 10), 0x55); }

std::unique_ptr<TBitmap> Tile() {
  auto tile = std::make_unique<TBitmap>();
  tile->SetPixelFormat(pf32bit);
  tile->SetSize(4, 4);
  for (Integer y = 0; y < 4; ++y)
    for (Integer x = 0; x < 4; ++x) tile->Canvas()->SetPixels(x, y, TileColour(x, y));
  return tile;
}

Integer Mod(Integer A, Integer B) { return ((A % B) + B) % B; }

}  // namespace

TEST_F(GraphicsTest, FillRectangleTilesFromMultiplesOfTheBitmapSize) {
  auto tile = Tile();
  struct Case {
    const char* Name;
    TPoint WindowOrigin;
    TRect Logical;
  };
  for (const Case& c : {Case{"origin at 0", {0, 0}, {2, 2, 9, 9}},
                        Case{"negative logical coordinates", {-6, -6}, {-6, -6, 3, 2}}}) {
    TestCanvas canvas(12, 12);
    canvas->SetWindowOrigin(c.WindowOrigin);
    canvas->FillRectangle(c.Logical, tile.get());
    canvas->SetWindowOrigin(TPoint{0, 0});
    for (Integer y = 0; y < 12; ++y)
      for (Integer x = 0; x < 12; ++x) {
        const Integer lx = x + c.WindowOrigin.x, ly = y + c.WindowOrigin.y;
        const bool inside = lx >= c.Logical.left && lx < c.Logical.right && ly >= c.Logical.top && ly < c.Logical.bottom;
        ASSERT_EQ(inside ? TileColour(Mod(lx, 4), Mod(ly, 4)) : clFuchsia, canvas.At(x, y))
            << c.Name << " at " << x << "," << y;
      }
  }
  TestCanvas canvas(4, 4);
  canvas->SetBrushColor(clRed);
  canvas->FillRectangle(TRect{2, 2, 2, 4}, tile.get());
  canvas->FillRectangle(TRect{3, 3, 1, 1});
  EXPECT_EQ(16, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 4, 4}, clFuchsia));
}

TEST_F(GraphicsTest, StripsStayInsideAndLaterSidesOverwriteCorners) {
  TestCanvas canvas(10, 10);
  canvas->DrawBorderLines(TRect{2, 2, 5, 5}, clRed, 7, uiAllBorders);
  EXPECT_EQ(9, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 10, 10}, clRed));
  EXPECT_EQ(9, k58test::CountColour(canvas.Pixels(), TRect{2, 2, 5, 5}, clRed));

  // Left and top in the first colour, then right and bottom over the corners they share.
  canvas.Fill(clFuchsia);
  canvas->DrawTwoColorFrame(TRect{1, 1, 6, 5}, clRed, clBlue);
  EXPECT_EQ(clRed, canvas.At(1, 1));
  EXPECT_EQ(clBlue, canvas.At(5, 1));   // top-right: the right strip came later
  EXPECT_EQ(clBlue, canvas.At(1, 4));   // bottom-left: the bottom strip came later
  EXPECT_EQ(clFuchsia, canvas.At(3, 3));
  // Only the sides asked for.
  canvas.Fill(clFuchsia);
  canvas->DrawEdge3D(TRect{0, 0, 6, 6}, true, true, TuiBorders{bLeft, bBottom});
  EXPECT_EQ(Rgb(clBtnShadow), canvas.At(0, 2));
  EXPECT_EQ(Rgb(clBtnHighlight), canvas.At(3, 5));
  EXPECT_EQ(clFuchsia, canvas.At(5, 2));
  EXPECT_EQ(clFuchsia, canvas.At(3, 0));
}

TEST_F(GraphicsTest, FocusFrameAndInversionRestoreWhenDrawnTwice) {
  TestCanvas canvas(12, 12);
  auto tile = Tile();
  canvas->FillRectangle(TRect{0, 0, 12, 12}, tile.get());
  const std::vector<TColor> before = canvas.All();
  for (bool invert : {false, true}) {
    auto draw = [&] {
      if (invert)
        canvas->InvertRectangle(TRect{2, 3, 9, 10});
      else
        canvas->DrawFocusRectangle(TRect{2, 3, 9, 10});
    };
    draw();
    EXPECT_NE(before, canvas.All()) << (invert ? "invert" : "focus");
    draw();
    EXPECT_EQ(before, canvas.All()) << (invert ? "invert" : "focus");
  }
  EXPECT_EQ(cmSrcCopy, canvas->Canvas()->CopyMode());
}

TEST_F(GraphicsTest, TheEightRotationsOfA3x2Bitmap) {
  // a b c
  // d e f
  const TColor a = clRed, b = clLime, c = clBlue, d = clYellow, e = clAqua, f = clFuchsia;
  struct Case {
    Integer Rotation;
    bool Mirror;
    std::vector<std::vector<TColor>> Rows;
  };
  const Case cases[] = {
      {0, false, {{a, b, c}, {d, e, f}}}, {0, true, {{d, e, f}, {a, b, c}}},
      {1, false, {{c, f}, {b, e}, {a, d}}}, {1, true, {{a, d}, {b, e}, {c, f}}},
      {2, false, {{d, a}, {e, b}, {f, c}}}, {2, true, {{f, c}, {e, b}, {d, a}}},
      {3, false, {{f, e, d}, {c, b, a}}}, {3, true, {{c, b, a}, {f, e, d}}},
  };
  for (const Case& k : cases) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(3, 2);
    const TColor source[2][3] = {{a, b, c}, {d, e, f}};
    for (Integer y = 0; y < 2; ++y)
      for (Integer x = 0; x < 3; ++x) bitmap.Canvas()->SetPixels(x, y, source[y][x]);
    TuiCanvas::RotateFlipBitmap(&bitmap, k.Rotation, k.Mirror);
    std::vector<std::vector<TColor>> rows(static_cast<size_t>(bitmap.Height()));
    for (Integer y = 0; y < bitmap.Height(); ++y)
      for (Integer x = 0; x < bitmap.Width(); ++x) rows[static_cast<size_t>(y)].push_back(bitmap.Canvas()->Pixels(x, y));
    EXPECT_EQ(k.Rows, rows) << "rotation " << k.Rotation << (k.Mirror ? " mirrored" : "");
  }
}

TEST(CanvasTextFlags, TranslateToDrawTextFlags) {
  struct Case {
    TuiCanvasTextFlags Flags;
    UINT Expected;
  };
  for (const Case& c : {Case{0, DT_NOPREFIX}, Case{ctfShowPrefix, 0},
                        Case{ctfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
                        Case{ctfWordBreak | ctfNoCharBreak, DT_NOPREFIX | DT_WORDBREAK},
                        Case{ctfNoCharBreak, DT_NOPREFIX},
                        Case{ctfAlignLeft | ctfAlignTop, DT_NOPREFIX},
                        Case{ctfAlignRight | ctfAlignBottom | ctfSingleLine,
                             DT_NOPREFIX | DT_RIGHT | DT_BOTTOM | DT_SINGLELINE},
                        Case{ctfAlignHCenter | ctfAlignVCenter | ctfNoClip | ctfExpandTabs,
                             DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_EXPANDTABS},
                        Case{ctfEndEllipsis | ctfPathEllipsis | ctfCalcOnly,
                             DT_NOPREFIX | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_CALCRECT}})
    EXPECT_EQ(c.Expected, CanvasTextFlagsToDrawTextFlags(c.Flags)) << std::hex << c.Flags;
}

TEST_F(GraphicsTest, DisabledRightAlignedCaptionIsEmbossedOnePixelFurtherLeft) {
  const TRect r{0, 0, 120, 30};
  const TuiCanvasTextFlags flags = ctfAlignRight | ctfAlignVCenter | ctfSingleLine;
  TestCanvas enabled(120, 30, clWhite);
  enabled->GetCanvasFont()->SetColor(clBlack);
  enabled->DrawCaptionText("Wxyz", r, flags, true);
  TestCanvas disabled(120, 30, clYellow);
  disabled->DrawCaptionText("Wxyz", r, flags, false);
  const k58test::Ink text = k58test::InkIn(enabled.Pixels(), r);
  const k58test::Ink shadow =
      k58test::InkIn(disabled.Pixels(), r, [](COLORREF C) { return C == static_cast<COLORREF>(Rgb(clBtnShadow)); });
  const k58test::Ink highlight = k58test::InkIn(
      disabled.Pixels(), r, [](COLORREF C) { return C == static_cast<COLORREF>(Rgb(clBtnHighlight)); });
  ASSERT_GT(text.Count, 0);
  EXPECT_EQ(text.Box.left - 1, shadow.Box.left);
  EXPECT_EQ(text.Box.top, shadow.Box.top);
  EXPECT_GT(highlight.Count, 0);  // the highlight shows below and right of the shadow
  EXPECT_LE(text.Box.right, 120);
  // Nothing for an empty text; the brush style and font colour come back.
  disabled.Fill(clYellow);
  disabled->DrawCaptionText("", r, flags, false);
  EXPECT_EQ(0, k58test::InkIn(disabled.Pixels(), r).Count);
  EXPECT_EQ(bsSolid, disabled->GetCanvasBrush()->Style());
}

TEST_F(GraphicsTest, TextRectanglesArePlacedByTheAlignment) {
  TestCanvas canvas(10, 10);
  const Integer width = canvas->MeasureTextWidth("Ab"), height = canvas->MeasureTextHeight("Ab");
  TRect r{10, 20, 110, 80};
  canvas->CalculateTextRect("Ab", r, ctfAlignHCenter | ctfAlignBottom | ctfSingleLine);
  EXPECT_EQ((TRect{10 + (100 - width) / 2, 80 - height, 10 + (100 - width) / 2 + width, 80}), r);
  TRect multi{0, 0, 200, 100};
  canvas->AlignMultilineTextVertically(multi, "one\ntwo", 2, false, false);
  EXPECT_EQ((100 - 2 * height) / 2, multi.top);
  TRect bottom{0, 0, 200, 100};
  canvas->AlignMultilineTextVertically(bottom, "one\ntwo", 1, false, false, false);
  EXPECT_EQ(100 - 2 * height - 1, bottom.top);
  EXPECT_EQ(canvas->MeasureTextHeight("Qq"), canvas->MeasureFontHeight(canvas->GetCanvasFont()));
}

TEST_F(GraphicsTest, ClipRegionsRoundTripThroughTheOrigin) {
  TestCanvas canvas(20, 20);
  EXPECT_EQ((TRect{0, 0, 30000, 30000}), canvas->CopyClipRegion(false)->BoundsRect());
  canvas->SetWindowOrigin(TPoint{5, 5});
  EXPECT_EQ((TRect{5, 5, 30005, 30005}), canvas->CopyClipRegion(true)->BoundsRect());

  // Selected in logical coordinates and read back the same.
  canvas->ChangeClipRegion(new TuiRegion(TRect{6, 6, 15, 15}), roSet);
  EXPECT_EQ((TRect{6, 6, 15, 15}), canvas->CopyClipRegion()->BoundsRect());
  EXPECT_EQ((TRect{1, 1, 10, 10}), canvas->CopyClipRegion(false)->BoundsRect());

  // A difference that keeps the caller's region: the hole is not painted, the region is intact.
  TuiRegion hole(TRect{8, 8, 10, 10});
  canvas->ChangeClipRegion(&hole, roSubtract, false);
  EXPECT_EQ((TRect{8, 8, 10, 10}), hole.BoundsRect());
  canvas->FillRectWithColor(TRect{0, 0, 30, 30}, clRed);
  EXPECT_EQ(clRed, canvas.At(1, 1));     // logical (6, 6)
  EXPECT_EQ(clFuchsia, canvas.At(3, 3)); // logical (8, 8): the hole
  EXPECT_EQ(clFuchsia, canvas.At(0, 0)); // outside the clip
  EXPECT_EQ(81 - 4, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 20, 20}, clRed));
}

TEST_F(GraphicsTest, RegionsCombineAndTestPoints) {
  TuiRegion region(TRect{0, 0, 10, 10});
  region.CombineWith(new TuiRegion(TRect{5, 0, 20, 10}), roAdd);
  EXPECT_EQ((TRect{0, 0, 20, 10}), region.BoundsRect());
  region.CombineWith(new TuiRegion(TRect{0, 0, 5, 10}), roSubtract);
  EXPECT_FALSE(region.PtInRegionXY(2, 2));
  EXPECT_TRUE(region.ContainsPoint(TPoint{6, 2}));
  region.CombineWith(new TuiRegion(TRect{0, 0, 8, 8}), roIntersect);
  EXPECT_EQ((TRect{5, 0, 8, 8}), region.BoundsRect());
  region.Move(10, 1);
  EXPECT_EQ((TRect{15, 1, 18, 9}), region.BoundsRect());
  TuiRegion copy;
  EXPECT_TRUE(copy.IsEmpty());
  copy.CombineWith(&region, roSet, false);
  EXPECT_EQ(region.BoundsRect(), copy.BoundsRect());
}

TEST_F(GraphicsTest, MixedSystemColours) {
  // The pinned button face, highlight and window colours, mixed by hand: (-2, 30, 72) and (14, 44, 40).
  EXPECT_EQ(static_cast<TColor>(RGB(183, 191, 212)), GetUltraFlatHotButtonColor());
  EXPECT_EQ(static_cast<TColor>(RGB(136, 147, 177)), GetUltraFlatPressedButtonColor());
  // A white (or black) button face gives the highlight colour unchanged.
  const INT face = COLOR_BTNFACE;
  for (COLORREF colour : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
    SetSysColors(1, &face, &colour);
    EXPECT_EQ(Rgb(clHighlight), MixSystemColorsPercent(-2, 30, 72));
  }
  TRect r{1, 2, 10, 20};
  EXPECT_EQ((TRect{2, 4, 7, 16}), DeflateRectByMargins(r, TRect{1, 2, 3, 4}));
}
