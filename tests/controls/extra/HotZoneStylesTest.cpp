// The splitter's hot-zone styles: zone and mark geometry, the arrow and dot pixels, the looks by state,
// change notification, assignment between styles and the registry's order.
#include <gtest/gtest.h>

#include "controls/extra/uiSplitter.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/DrawingTesting.h"

using namespace extra_test;

namespace {

// A splitter as far as a style sees it.
struct TFakeSplitter : IuiHotZoneStyleOwner {
  TColor Color = clBtnFace;
  Byte Direction = 0;
  int Changes = 0;
  TColor HotZoneOwnerColor() override { return Color; }
  void HotZoneStyleChanged() override { ++Changes; }
  Byte HotZoneDirection() override { return Direction; }
};

class HotZoneStylesTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  TFakeSplitter Splitter;
};

TEST_F(HotZoneStylesTest, ZoneIsCentredAlongTheSplitter) {
  struct Case {
    Byte Direction;
    TRect Bounds;
    Integer Percent;
    TRect Zone;
  } cases[] = {
      {0, {0, 0, 7, 200}, 30, {0, 70, 7, 130}},
      {3, {0, 0, 300, 7}, 50, {75, 0, 225, 7}},
      // The product of a large percentage and the length does not wrap: the zone fills the splitter.
      {2, {0, 0, 300, 7}, 2147483647, {0, 0, 300, 7}},
      {1, {0, 0, 7, 100}, 2147483647, {0, 0, 7, 100}},
  };
  for (const Case& c : cases) {
    TuiSimpleStyle style(&Splitter);
    Splitter.Direction = c.Direction;
    style.SetSizePercent(c.Percent);
    EXPECT_EQ(style.CalculateZoneRect(c.Bounds), c.Zone) << int(c.Direction) << " " << c.Percent;
  }
}

TEST_F(HotZoneStylesTest, MarksLieWithinTheZone) {
  Splitter.Direction = 2;
  TuiMediaPlayer9Style nine(&Splitter);
  nine.SetSizePercent(50);
  nine.CalculateZoneRect(TRect{0, 0, 300, 7});
  EXPECT_EQ(nine.ArrowBox(), (TRect{143, 0, 157, 7}));

  // A 27-pixel zone leaves no room for dots; the arrow box still runs from 4 to 23 pixels in.
  TuiMediaPlayer8Style eight(&Splitter);
  eight.SetSizePercent(100);
  const TRect zone = eight.CalculateZoneRect(TRect{0, 0, 27, 7});
  EXPECT_EQ(eight.ArrowBox(), (TRect{zone.left + 4, 0, zone.left + 23, 7}));
  EXPECT_EQ(RectWidth(eight.LeadingDotsRect()), 0);
  EXPECT_EQ(RectWidth(eight.TrailingDotsRect()), 0);
  DrawingSurface s(27, 7, clFuchsia);
  eight.DrawZone(s.Canvas(), TRect{0, 0, 27, 7}, false, false);  // draws no dots and does not fail

  Splitter.Direction = 0;
  TuiSimpleStyle simple(&Splitter);
  simple.CalculateZoneRect(TRect{0, 0, 7, 200});
  EXPECT_EQ(simple.LeadingArrowBox(), (TRect{0, 75, 7, 82}));
  EXPECT_EQ(simple.TrailingArrowBox(), (TRect{0, 118, 7, 125}));
}

TEST_F(HotZoneStylesTest, ArrowIsASevenRowChevron) {
  DrawingSurface s(7, 14);
  DrawZoneArrow(s.Canvas(), TRect{0, 0, 7, 14}, false, 0, clRed, clBlack, false);
  EXPECT_EQ(s.Map({{'X', clBlack}}, 4, 13),
            ".......\n"
            "..X....\n"
            "..XX...\n"
            "...XX..\n"
            "....XX.\n"
            "...XX..\n"
            "..XX...\n"
            "..X....\n"
            ".......\n");
  DrawingSurface down(14, 7);
  DrawZoneArrow(down.Canvas(), TRect{0, 0, 14, 7}, false, 2, clRed, clBlack, false);
  EXPECT_EQ(down.Map({{'X', clBlack}}),
            "..............\n"
            "..............\n"
            ".....XX...XX..\n"
            "......XX.XX...\n"
            ".......XXX....\n"
            "........X.....\n"
            "..............\n");
}

TEST_F(HotZoneStylesTest, ArrowColourFollowsTheState) {
  struct Case {
    bool Highlighted, Pressed;
    TColor Expected;
  } cases[] = {{false, false, clBlue}, {true, false, clRed}, {true, true, clBlue}, {false, true, clBlue}};
  for (const Case& c : cases) {
    DrawingSurface s(7, 14);
    DrawZoneArrow(s.Canvas(), TRect{0, 0, 7, 14}, c.Highlighted, 0, clRed, clBlue, c.Pressed);
    EXPECT_EQ(s.Pixel(2, 5), ColorToRGB(c.Expected)) << c.Highlighted << c.Pressed;
  }
}

TEST_F(HotZoneStylesTest, DotRunsStartNextToTheirFirstEnd) {
  // Forward from the start, backward from the end: a dot every five pixels with AStep 3.
  DrawingSurface s(20, 7);
  DrawDotRun(s.Canvas(), TRect{0, 0, 20, 7}, false, 2, 3, 2, clBlack, clRed, true);
  EXPECT_EQ(s.Map({{'L', clRed}, {'S', clBlack}}, 2, 5),
            "...LL...LL...LL.....\n"
            "...LSS..LSS..LSS....\n"
            "....SS...SS...SS....\n");
  DrawingSurface back(20, 7);
  DrawDotRun(back.Canvas(), TRect{0, 0, 20, 7}, true, 2, 3, 2, clBlack, clRed, false);
  EXPECT_EQ(back.Map({{'L', clRed}, {'S', clBlack}}, 2, 5),
            "....SS...SS...SS....\n"
            "....SSL..SSL..SSL...\n"
            ".....LL...LL...LL...\n");
}

TEST_F(HotZoneStylesTest, SimpleStyleDotPairsByZoneLength) {
  Splitter.Direction = 2;
  struct Case {
    Integer Length, Pairs;
  } cases[] = {{29, 0}, {30, 1}, {34, 1}, {35, 2}, {41, 4}};
  for (const Case& c : cases) {
    TuiSimpleStyle style(&Splitter);
    style.SetSizePercent(100);
    style.SetDotsColor(clLime);
    DrawingSurface s(c.Length, 7);
    style.DrawZone(s.Canvas(), TRect{0, 0, c.Length, 7}, false, false);
    int pairs = 0;
    for (Integer x = 0; x < c.Length; ++x) pairs += s.Pixel(x, 4) == ColorToRGB(clLime);
    EXPECT_EQ(pairs, c.Pairs) << c.Length;
    if (c.Pairs > 0) { EXPECT_EQ(s.Pixel(16, 4), ColorToRGB(clLime)); }
  }
}

TEST_F(HotZoneStylesTest, MediaPlayer9ShadesRunInwardByState) {
  Splitter.Direction = 0;
  TuiMediaPlayer9Style style(&Splitter);
  style.SetSizePercent(100);
  const TColor start = style.ShadowStartColor();
  struct Case {
    bool Pressed;
    Integer X[3];
    Integer Shade[3];
  } cases[] = {{true, {1, 2, 3}, {-60, -30, 0}}, {false, {4, 5, 6}, {0, -30, -60}}};
  for (const Case& c : cases) {
    DrawingSurface s(7, 100);
    style.DrawZone(s.Canvas(), TRect{0, 0, 7, 100}, false, c.Pressed);
    for (int i = 0; i < 3; ++i) {
      const Integer d = c.Shade[i];
      EXPECT_EQ(s.Pixel(c.X[i], 20), ColorToRGB(LightenColor(start, d, d, d))) << c.Pressed << " x " << c.X[i];
    }
  }
}

TEST_F(HotZoneStylesTest, DrawsWithoutAnOwner) {
  TuiXPTaskBarStyle style;
  DrawingSurface s(7, 100, clBlack);
  EXPECT_EQ(style.DrawZone(s.Canvas(), TRect{0, 0, 7, 100}, false, false), (TRect{0, 35, 7, 65}));
  EXPECT_EQ(s.Pixel(6, 40), ColorToRGB(clBtnFace));
  style.SetSizePercent(40);  // nobody to tell
}

TEST_F(HotZoneStylesTest, SettersTellTheOwnerOfRealChangesOnly) {
  TuiMediaPlayer8Style style(&Splitter);
  style.SetShadowColor(clBtnShadow);
  style.SetSizePercent(30);
  style.SetVisible(true);
  EXPECT_EQ(Splitter.Changes, 0);
  style.SetShadowColor(clRed);
  style.SetSizePercent(31);
  style.SetVisible(false);
  EXPECT_EQ(Splitter.Changes, 3);
}

TEST_F(HotZoneStylesTest, AssignCopiesWhatBothStylesHave) {
  TuiSimpleStyle simple;
  simple.SetSizePercent(60);
  simple.SetVisible(false);
  simple.SetArrowColor(clRed);
  TuiMediaPlayer9Style nine;
  nine.Assign(&simple);
  EXPECT_EQ(nine.SizePercent(), 60);
  EXPECT_FALSE(nine.Visible());
  EXPECT_EQ(nine.ArrowColor(), clWindowText);

  TuiSimpleStyle copy;
  copy.Assign(&simple);
  EXPECT_EQ(copy.ArrowColor(), clRed);
  TFont font;
  EXPECT_THROW(copy.Assign(&font), EConvertError);
}

TEST_F(HotZoneStylesTest, RegistryListsTheFourStylesInOrder) {
  k58::extra::StartSplitterUnit();
  k58::extra::StartSplitterUnit();  // counted, registers nothing twice
  TuiRegisteredClasses* registry = GetHotZoneStyleRegistry();
  ASSERT_EQ(registry->Count(), 4);
  const char* names[] = {"MediaPlayer8", "MediaPlayer9", "XPTaskBar", "Simple"};
  const TClass classes[] = {TuiMediaPlayer8Style::StaticClass(), TuiMediaPlayer9Style::StaticClass(),
                            TuiXPTaskBarStyle::StaticClass(), TuiSimpleStyle::StaticClass()};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(registry->GetDescription(i), names[i]);
    EXPECT_EQ(registry->GetItem(i), classes[i]);
  }
  std::unique_ptr<TuiHotZoneStyle, TObjectDeleter> style(CreateHotZoneStyle(registry->GetItem(3), &Splitter));
  EXPECT_EQ(style->ClassType(), TuiSimpleStyle::StaticClass());
  style->SetSizePercent(5);
  EXPECT_EQ(Splitter.Changes, 1);
  k58::extra::StopSplitterUnit();
  k58::extra::StopSplitterUnit();
  k58::extra::StartSplitterUnit();
  EXPECT_EQ(GetHotZoneStyleRegistry()->Count(), 4);
  k58::extra::StopSplitterUnit();
}

}  // namespace
