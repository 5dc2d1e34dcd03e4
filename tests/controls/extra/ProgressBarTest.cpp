// The progress bar: range rules, position clamping, the displayed peak, the texts, the layout and the
// pixels of the bar styles with their text.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/extra/uiProgressBar.h"
#include "platform/rtl/Utf.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/ExtraEditorsTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace extra_test;

namespace {

class ProgressBarTest : public ExtraEditorsTest {
 protected:
  TuiProgressBar* NewBar(Integer AWidth = 121, Integer AHeight = 21, Integer ATop = 10) {
    auto* bar = NewControl<TuiProgressBar>(10, ATop);
    bar->SetAutoSize(false);
    bar->SetBounds(10, ATop, AWidth, AHeight);
    Display.Pump();
    return bar;
  }
  static String Text(TuiProgressBar* ABar) {
    return ABar->BarViewInfo()->GetBarText();
  }
};

TEST_F(ProgressBarTest, NewBarDefaults) {
  auto* bar = NewObject<TuiProgressBar>(Form);
  EXPECT_EQ(bar->Width(), 121);
  EXPECT_TRUE(bar->AutoSize());  // the height follows the text
  bar->SetAutoSize(false);
  bar->SetHeight(21);
  EXPECT_EQ(bar->Height(), 21);
  bar->SetParent(Form);
  TuiProgressBarProperties* p = bar->Properties();
  EXPECT_EQ(p->Orientation(), uiorHorizontal);
  EXPECT_EQ(p->BarStyle(), uibsSolid);
  EXPECT_EQ(p->BeginColor(), static_cast<TColor>(0x800000));
  EXPECT_EQ(bar->Position(), 0.0);
  EXPECT_EQ(Text(bar), "0 %");
  EXPECT_FALSE(bar->CanFocus());
}

TEST_F(ProgressBarTest, RangeRules) {
  struct Step {
    enum { Min, Max, Overload } What;
    double Value;
  };
  struct Case {
    const char* Name;
    std::vector<Step> Steps;
    double Min, Max, Overload, Peak;
  } cases[] = {
      {"Min above Max drags Max, overload and peak", {{Step::Min, 150}}, 150, 150, 150, 150},
      {"Max at or below Min is ignored", {{Step::Max, -5}, {Step::Max, 0}}, 0, 100, 80, 0},
      {"lower Max pulls overload in", {{Step::Max, 50}}, 0, 50, 50, 0},
      {"overload clamped into the range", {{Step::Overload, 120}}, 0, 100, 100, 0},
      {"overload below Min", {{Step::Min, 10}, {Step::Overload, -3}}, 10, 100, 10, 10},
  };
  for (const Case& c : cases) {
    TuiProgressBarProperties p;
    for (const Step& s : c.Steps) {
      if (s.What == Step::Min) p.SetMin(s.Value);
      if (s.What == Step::Max) p.SetMax(s.Value);
      if (s.What == Step::Overload) p.SetOverloadValue(s.Value);
    }
    EXPECT_EQ(p.Min(), c.Min) << c.Name;
    EXPECT_EQ(p.Max(), c.Max) << c.Name;
    EXPECT_EQ(p.OverloadValue(), c.Overload) << c.Name;
    EXPECT_EQ(p.PeakValue(), c.Peak) << c.Name;
  }
}

TEST_F(ProgressBarTest, PositionIsClampedAndLowerMaxPullsItIn) {
  TuiProgressBar* bar = NewBar();
  bar->SetPosition(80);
  EXPECT_EQ(bar->Position(), 80);
  bar->Properties()->SetMax(50);
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(Text(bar), "100 %");
  bar->Properties()->SetMax(-5);
  EXPECT_EQ(bar->Properties()->Max(), 50);
  bar->SetPosition(-10);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetPosition(1e300);
  EXPECT_EQ(bar->Position(), 50);
}

// The read and write dialogs: Max 44, the position set to 0, then one more per block, and held at 44.
TEST_F(ProgressBarTest, TransferSequence) {
  TuiProgressBar* bar = NewBar(325, 21);
  bar->Properties()->SetMax(44);
  bar->SetPosition(0);
  int changes = 0;
  bar->Properties()->SetOnEditValueChanged([&](TObject*) { ++changes; });
  for (int block = 1; block <= 46; ++block) bar->SetPosition(bar->Position() + 1);
  EXPECT_EQ(bar->Position(), 44);
  EXPECT_EQ(changes, 44);  // setting the same value again does nothing
  EXPECT_EQ(Text(bar), "100 %");
  EXPECT_EQ(bar->BarViewInfo()->BarRect.right, bar->BarViewInfo()->PaintRect.right);
}

TEST_F(ProgressBarTest, PercentTextRoundsHalvesToEven) {
  TuiProgressBar* bar = NewBar();
  struct Case {
    double Min, Max, Position;
    const char* Text;
  } cases[] = {{0, 8, 1, "12 %"}, {0, 8, 3, "38 %"}, {0, 8, 4, "50 %"}, {10, 20, 15, "50 %"},
               // A range narrower than one unit counts as it is.
               {0, 0.5, 0.5, "100 %"}, {0, 0.5, 0.25, "50 %"}};
  for (const Case& c : cases) {
    bar->Properties()->SetMin(-1000);
    bar->Properties()->SetMax(c.Max);
    bar->Properties()->SetMin(c.Min);
    bar->SetPosition(c.Position);
    EXPECT_EQ(Text(bar), c.Text) << c.Min << ".." << c.Max << " at " << c.Position;
  }
  bar->Properties()->SetShowTextStyle(uitsPosition);
  EXPECT_EQ(Text(bar), "0.25");
}

TEST_F(ProgressBarTest, DisplayTextIgnoresTheRange) {
  TuiProgressBarProperties p;
  p.SetMin(20);
  p.SetMax(40);
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(p.GetDisplayText(Variant(50.0))), "50 %");
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(p.GetDisplayText(Variant("12.5"))), "12.5 %");
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(p.GetDisplayText(Variant("12,5x"))), "0 %");
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(p.GetDisplayText(Null())), "0 %");
  p.SetShowTextStyle(uitsPosition);
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(p.GetDisplayText(Variant(50.0))), "50");
}

TEST_F(ProgressBarTest, PeakFollowsTheHighestPositionOfEachBar) {
  TuiProgressBar* bar = NewBar(104, 21);
  TuiProgressBar* other = NewBar(104, 21, 60);
  bar->Properties()->SetShowPeak(true);
  bar->SetPosition(70);
  bar->SetPosition(30);
  EXPECT_EQ(bar->DisplayedPeak(), 70);
  // The stored setting stays as given: another bar with equal properties keeps its own peak.
  EXPECT_EQ(bar->Properties()->PeakValue(), 0);
  other->SetPosition(10);
  EXPECT_EQ(other->DisplayedPeak(), 10);
  const TuiCustomProgressBarViewInfo* vi = bar->BarViewInfo();
  const Integer barLeft = vi->BorderRect.left;
  EXPECT_EQ(vi->PeakRect.left, barLeft + 70 * RectWidth(vi->BorderRect) / 100);
  EXPECT_EQ(RectWidth(vi->PeakRect), 2);
  const k58test::PixelReader pixels = Paint(bar);
  EXPECT_EQ(pixels(vi->PeakRect.left, 10), ColorToRGB(clRed));
  EXPECT_EQ(pixels(vi->PeakRect.left - 1, 10), ColorToRGB(vi->BackgroundColor));
}

TEST_F(ProgressBarTest, Layout) {
  struct Case {
    TuiProgressBarOrientation Orientation;
    Integer BorderWidth;
    double Position;
    bool Overload;
    TRect Bar, OverloadZone;
  } cases[] = {
      // A 104 x 24 bar with a 2-pixel border: the area inside is (2, 2, 102, 22).
      {uiorHorizontal, 0, 50, false, {2, 2, 52, 22}, {}},
      {uiorHorizontal, 5, 50, false, {7, 7, 52, 17}, {}},
      {uiorVertical, 0, 25, false, {2, 17, 102, 22}, {}},
      {uiorHorizontal, 0, 90, true, {2, 2, 82, 22}, {82, 2, 92, 22}},
      {uiorVertical, 0, 100, true, {2, 6, 102, 22}, {2, 2, 102, 6}},
      {uiorHorizontal, 0, 70, true, {2, 2, 72, 22}, {}},
  };
  TuiProgressBar* bar = NewBar(104, 24);
  bar->Style()->SetBorderStyle(cbs3D);
  for (const Case& c : cases) {
    bar->Properties()->SetOrientation(c.Orientation);
    bar->Properties()->SetBorderWidth(c.BorderWidth);
    bar->Properties()->SetShowOverload(c.Overload);
    bar->SetPosition(c.Position);
    Display.Pump();
    const TuiCustomProgressBarViewInfo* vi = bar->BarViewInfo();
    ASSERT_EQ(vi->BorderRect, (TRect{2, 2, 102, 22}));
    EXPECT_EQ(vi->BarRect, c.Bar) << c.Orientation << " " << c.Position;
    EXPECT_EQ(vi->OverloadActive, c.Position >= 80 && c.Overload);
    if (vi->OverloadActive) { EXPECT_EQ(vi->OverloadRect, c.OverloadZone) << c.Position; }
  }
}

class ProgressBarPixelsTest : public ProgressBarTest {
 protected:
  // A 54 x 14 bar with a 2-pixel border, no text, filled over the whole range.
  TuiProgressBar* NewPixelBar(TuiProgressBarBarStyle AStyle) {
    TuiProgressBar* bar = NewBar(54, 14);
    bar->Style()->SetBorderStyle(cbs3D);
    bar->Properties()->SetShowText(false);
    bar->Properties()->SetBarStyle(AStyle);
    return bar;
  }
  // The letters of one pixel row between the borders: B begin colour, O overload colour, '-' background.
  std::string Row(TuiProgressBar* ABar, Integer Y, TColor ABegin, TColor AOverload = clFuchsia) {
    const k58test::PixelReader pixels = Paint(ABar);
    const COLORREF background = ColorToRGB(ABar->BarViewInfo()->BackgroundColor);
    std::string row;
    for (Integer x = 2; x < ABar->Width() - 2; ++x) {
      const COLORREF c = pixels(x, Y);
      row += c == ColorToRGB(ABegin) ? 'B' : c == ColorToRGB(AOverload) ? 'O' : c == background ? '-' : '?';
    }
    return row;
  }
};

TEST_F(ProgressBarPixelsTest, SolidWithOverloadZone) {
  TuiProgressBar* bar = NewPixelBar(uibsSolid);
  bar->Properties()->SetOverloadBeginColor(clFuchsia);
  bar->SetPosition(50);
  EXPECT_EQ(Row(bar, 7, static_cast<TColor>(0x800000)), std::string(25, 'B') + std::string(25, '-'));
  bar->Properties()->SetShowOverload(true);
  bar->SetPosition(90);
  EXPECT_EQ(Row(bar, 7, static_cast<TColor>(0x800000)), std::string(40, 'B') + std::string(5, 'O') + std::string(5, '-'));
}

TEST_F(ProgressBarPixelsTest, LedBlocksFillTheLastPartialBlockAtMax) {
  TuiProgressBar* bar = NewPixelBar(uibsLEDs);
  // Blocks two thirds of the 10-pixel height long with 2-pixel gaps; near the end the rest of the filled
  // part is one block.
  bar->SetPosition(100);
  EXPECT_EQ(Row(bar, 7, static_cast<TColor>(0x800000)), "BBBBBB--BBBBBB--BBBBBB--BBBBBB--BBBBBB--BBBBBB--BB");
  bar->SetPosition(50);
  EXPECT_EQ(Row(bar, 7, static_cast<TColor>(0x800000)), "BBBBBB--BBBBBB--BBBBBBBBB-------------------------");
  bar->SetPosition(44);
  EXPECT_EQ(Row(bar, 7, static_cast<TColor>(0x800000)), "BBBBBB--BBBBBB--BBBBBB----------------------------");
}

TEST_F(ProgressBarPixelsTest, BitmapBlocksVertical) {
  TuiProgressBar* bar = NewBar(14, 54);
  bar->Style()->SetBorderStyle(cbs3D);
  bar->Properties()->SetShowText(false);
  bar->Properties()->SetOrientation(uiorVertical);
  bar->Properties()->SetBarStyle(uibsBitmapLEDs);
  bar->Properties()->SetTransparentImage(false);
  TObjectPtr<TBitmap> image(new TBitmap);
  image->SetSize(4, 2);
  image->Canvas()->Brush()->SetColor(clGreen);
  image->Canvas()->FillRect(TRect{0, 0, 4, 2});
  bar->Properties()->SetForegroundImage(image.get());
  bar->SetPosition(100);
  const k58test::PixelReader pixels = Paint(bar);
  std::string column;
  for (Integer y = bar->Height() - 3; y >= 2; --y) column += pixels(6, y) == ColorToRGB(clGreen) ? 'G' : '-';
  // From the bottom up: blocks as high as the image, 2-pixel gaps.
  EXPECT_EQ(column.substr(0, 13), "-GG--GG--GG--");
}

// Gradient colours come from the resolved colours, and the overload zone runs from its own begin colour.
TEST_F(ProgressBarPixelsTest, GradientStartsEachZoneAtItsBeginColour) {
  TuiProgressBar* bar = NewPixelBar(uibsGradient);
  bar->Properties()->SetBeginColor(clHighlight);
  bar->Properties()->SetEndColor(clHighlight);
  bar->Properties()->SetShowOverload(true);
  bar->Properties()->SetOverloadBeginColor(clFuchsia);
  bar->Properties()->SetOverloadEndColor(clBlue);
  bar->SetPosition(100);
  const k58test::PixelReader pixels = Paint(bar);
  EXPECT_EQ(pixels(2, 7), ColorToRGB(clHighlight));
  EXPECT_EQ(pixels(41, 7), ColorToRGB(clHighlight));
  EXPECT_EQ(pixels(42, 7), ColorToRGB(clFuchsia));
  const COLORREF last = pixels(51, 7);
  EXPECT_LT(GetRValue(last), 0xFF);  // on its way to blue
  EXPECT_GT(GetBValue(last), 0xF0);
}

// The editor frame stays around a bar filled to the end, in each border style; the bar fills what the frame
// leaves inside (nothing of the 2-pixel band is taken by the bar unless the border is not transparent).
TEST_F(ProgressBarPixelsTest, FrameOfEachBorderStyle) {
  constexpr TColor kBar = static_cast<TColor>(0x408020);
  constexpr TColor kAny = clNone;  // a pixel of the transparent band, left to the parent
  struct Case {
    TuiContainerBorderStyle Style;
    bool TransparentBorder;
    // Outer and inner pixel at the top-left corner, then inner and outer at the bottom-right one.
    TColor TopLeft0, TopLeft1, BottomRight1, BottomRight0;
  } cases[] = {
      {cbs3D, true, clBtnShadow, cl3DDkShadow, cl3DLight, clBtnHighlight},
      {cbs3D, false, clBtnShadow, cl3DDkShadow, cl3DLight, clBtnHighlight},
      {cbsFlat, true, clBtnShadow, clBtnFace, clBtnFace, clBtnHighlight},
      {cbsThick, true, clWindowFrame, clWindowFrame, clWindowFrame, clWindowFrame},
      {cbsSingle, true, kAny, clWindowFrame, clWindowFrame, kAny},
      {cbsSingle, false, clWindowFrame, kBar, kBar, clWindowFrame},
      {cbsUltraFlat, true, kAny, clBtnShadow, clBtnShadow, kAny},
      {cbsNone, true, kAny, kAny, kAny, kAny},
      {cbsNone, false, kBar, kBar, kBar, kBar},
  };
  TuiProgressBar* bar = NewPixelBar(uibsSolid);
  bar->Properties()->SetBeginColor(kBar);
  bar->SetPosition(100);
  const Integer w = bar->Width(), h = bar->Height();
  for (const Case& c : cases) {
    bar->Style()->SetBorderStyle(c.Style);
    bar->Style()->SetTransparentBorder(c.TransparentBorder);
    const k58test::PixelReader pixels = Paint(bar);
    const auto expect = [&](Integer X, Integer Y, TColor AColor) {
      if (AColor == kAny) return;
      EXPECT_EQ(pixels(X, Y), ColorToRGB(AColor)) << c.Style << " " << c.TransparentBorder << " at " << X << "," << Y;
    };
    expect(0, 0, c.TopLeft0);
    expect(1, 1, c.TopLeft1);
    expect(w - 2, h - 2, c.BottomRight1);
    expect(w - 1, h - 1, c.BottomRight0);
    expect(2, 2, kBar);
    expect(w - 3, h - 3, kBar);
  }
}

TEST_F(ProgressBarPixelsTest, TextOverTheFilledPartIsInverted) {
  TuiProgressBar* bar = NewBar(120, 24);
  bar->Style()->SetBorderStyle(cbs3D);
  bar->Properties()->SetBeginColor(clBlack);
  bar->Style()->SetTextColor(clBlack);
  bar->Style()->SetColor(clWhite);
  bar->Properties()->SetShowTextStyle(uitsPosition);
  bar->SetPosition(50);  // "50", centred around x = 60, the bar ends at 60
  auto count = [&](Integer AFrom, Integer ATo, COLORREF AColour) {
    const k58test::PixelReader pixels = Paint(bar);
    int n = 0;
    for (Integer y = 2; y < 22; ++y)
      for (Integer x = AFrom; x < ATo; ++x) n += pixels(x, y) == AColour;
    return n;
  };
  // Over the bar the glyphs show white; beyond it they are black on white.
  EXPECT_GT(count(40, 60, RGB(255, 255, 255)), 0);
  EXPECT_GT(count(60, 80, RGB(0, 0, 0)), 0);
  bar->Properties()->SetSolidTextColor(true);
  EXPECT_EQ(count(40, 60, RGB(255, 255, 255)), 0);
}

TEST_F(ProgressBarTest, RegisteredWhileTheUnitRuns) {
  const Integer index = GetEditPropertiesRegistry()->IndexOfClass(TuiProgressBarProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(GetEditPropertiesRegistry()->GetHintText(index), "ProgressBar|Represents a ProgressBar");
  const Integer count = GetEditPropertiesRegistry()->Count();
  k58::extra::StartProgressBarUnit();
  k58::extra::StopProgressBarUnit();
  EXPECT_EQ(GetEditPropertiesRegistry()->Count(), count);
}

}  // namespace

namespace {

// With a visual style the bar is the theme's bar part, filled with copies of a one-pixel slice of the
// theme's chunk part in the gradient styles' way: solid fills whole, LEDs leave their gaps, no overload.
TEST_F(ProgressBarPixelsTest, ThemedBarFillsWithTheChunkSlice) {
  k58test::RecordingThemeProvider provider({"Progress"});
  k58test::ScopedThemeProvider scope(provider);
  using k58test::RecordingThemeProvider;
  struct Case {
    TuiProgressBarBarStyle Style;
    TuiProgressBarOrientation Orientation;
    const char* Filled;  // from where the bar starts: C the chunk, B the bar part
  } cases[] = {
      {uibsSolid, uiorHorizontal, "CCCCCCCCCCCCCCCCCCCCCCCCCCCBBBB"},
      {uibsGradient, uiorHorizontal, "CCCCCCCCCCCCCCCCCCCCCCCCCCCBBBB"},
      {uibsLEDs, uiorHorizontal, "CCCCCCBBCCCCCCBBCCCCCCBBCCCBBBB"},
      {uibsSolid, uiorVertical, "CCCCCCCCCCCCCCCCCCCCCCCCCCCBBBB"},
      // Vertical blocks start one row above the bottom of the bar.
      {uibsLEDs, uiorVertical, "BCCCCCCBBCCCCCCBBCCCCCCBBCCBBBB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Style << " " << c.Orientation);
    const bool horizontal = c.Orientation == uiorHorizontal;
    TuiProgressBar* bar = horizontal ? NewBar(60, 14) : NewBar(14, 60);
    bar->Style()->LookAndFeel()->SetNativeStyle(true);
    bar->Properties()->SetShowText(false);
    bar->Properties()->SetOrientation(c.Orientation);
    bar->Properties()->SetBarStyle(c.Style);
    bar->Properties()->SetShowOverload(true);
    bar->Properties()->SetOverloadValue(10);
    bar->SetPosition(50);
    const k58test::PixelReader pixels = Paint(bar);
    ASSERT_TRUE(bar->BarViewInfo()->NativeStyle);
    EXPECT_FALSE(bar->BarViewInfo()->OverloadActive);
    const COLORREF chunk = RecordingThemeProvider::MarkerColor(horizontal ? 3 : 4, 1);
    const COLORREF back = RecordingThemeProvider::MarkerColor(horizontal ? 1 : 2, 1);
    const TRect r = bar->BarViewInfo()->BarRect;
    std::string line;
    // Along the bar from where it starts filling (left, or bottom) through the first unfilled pixels.
    for (Integer i = 0; i < static_cast<Integer>(std::string(c.Filled).size()); ++i) {
      const COLORREF p = horizontal ? pixels(r.left + i, (r.top + r.bottom) / 2) : pixels((r.left + r.right) / 2, r.bottom - 1 - i);
      line += p == chunk ? 'C' : p == back ? 'B' : '-';
    }
    EXPECT_EQ(line, c.Filled);
    FreeObject(bar);
  }
}

}  // namespace

namespace {

// Vertical text is the horizontal text turned a quarter clockwise, reading downward, centred in the bar.
TEST_F(ProgressBarPixelsTest, VerticalTextReadsDownwardInARotatedFont) {
  struct Ink {
    k58test::Ink Ink;
    std::vector<int> Profile;  // ink pixels per step along the reading direction
    double CentreX, CentreY;   // of the ink, from the client area's centre
  };
  const auto inkOf = [&](bool AVertical) {
    TuiProgressBar* bar = AVertical ? NewBar(30, 140) : NewBar(140, 30);
    bar->Style()->SetBorderStyle(cbsNone);
    bar->Style()->SetColor(clWhite);
    bar->Style()->SetTextColor(clBlack);
    bar->Style()->Font()->SetSize(14);
    bar->Properties()->SetOrientation(AVertical ? uiorVertical : uiorHorizontal);
    bar->Properties()->SetTextOrientation(AVertical ? uiorVertical : uiorHorizontal);
    bar->Properties()->SetShowTextStyle(uitsPosition);
    bar->Properties()->SetMax(100000);
    bar->SetPosition(27);  // "27": nothing of the bar is filled yet
    const k58test::PixelReader pixels = Paint(bar);
    Ink ink;
    ink.Ink = k58test::InkIn(pixels, RECT{0, 0, bar->Width(), bar->Height()});
    const RECT& box = ink.Ink.Box;
    if (AVertical) {
      for (Integer y = box.top; y < box.bottom; ++y)
        ink.Profile.push_back(k58test::InkIn(pixels, RECT{box.left, y, box.right, y + 1}).Count);
    } else {
      for (Integer x = box.left; x < box.right; ++x)
        ink.Profile.push_back(k58test::InkIn(pixels, RECT{x, box.top, x + 1, box.bottom}).Count);
    }
    ink.CentreX = (box.left + box.right) / 2.0 - bar->Width() / 2.0;
    ink.CentreY = (box.top + box.bottom) / 2.0 - bar->Height() / 2.0;
    FreeObject(bar);
    return ink;
  };
  const Ink across = inkOf(false), down = inkOf(true);
  ASSERT_GT(across.Ink.Count, 20);
  const RECT a = across.Ink.Box, d = down.Ink.Box;
  EXPECT_NEAR(d.right - d.left, a.bottom - a.top, 1);
  EXPECT_NEAR(d.bottom - d.top, a.right - a.left, 1);
  EXPECT_NEAR(down.Ink.Count, across.Ink.Count, across.Ink.Count / 8);
  // Turned clockwise: right of the centre becomes below it, below becomes left.
  EXPECT_NEAR(down.CentreY, across.CentreX, 2);
  EXPECT_NEAR(down.CentreX, -across.CentreY, 2);
  // Reading downward: the ink along the text runs as it does from left to right, not reversed.
  const size_t n = std::min(across.Profile.size(), down.Profile.size());
  int same = 0, reversed = 0;
  for (size_t i = 0; i < n; ++i) {
    same += std::abs(down.Profile[i] - across.Profile[i]);
    reversed += std::abs(down.Profile[n - 1 - i] - across.Profile[i]);
  }
  EXPECT_LT(same, reversed);
}

// The part of vertical text over the filled bar shows inverted, the rest in the text colour.
TEST_F(ProgressBarPixelsTest, VerticalTextOverTheFilledPartIsInverted) {
  TuiProgressBar* bar = NewBar(30, 140);
  bar->Style()->SetBorderStyle(cbsNone);
  bar->Style()->SetColor(clWhite);
  bar->Style()->SetTextColor(clBlack);
  bar->Properties()->SetBeginColor(clBlack);
  bar->Properties()->SetOrientation(uiorVertical);
  bar->Properties()->SetTextOrientation(uiorVertical);
  bar->Properties()->SetShowTextStyle(uitsPosition);
  bar->SetPosition(50);  // "50" centred on the row where the fill ends
  auto count = [&](Integer ATop, Integer ABottom, COLORREF AColour) {
    return k58test::CountColour(Paint(bar), RECT{0, ATop, 30, ABottom}, AColour);
  };
  const Integer fillTop = bar->BarViewInfo()->BarRect.top;
  EXPECT_GT(count(fillTop - 20, fillTop, RGB(0, 0, 0)), 0) << "glyphs above the fill";
  EXPECT_GT(count(fillTop, fillTop + 20, RGB(255, 255, 255)), 0) << "glyphs over the fill";
  bar->Properties()->SetSolidTextColor(true);
  EXPECT_EQ(count(fillTop, fillTop + 20, RGB(255, 255, 255)), 0);
}

}  // namespace
