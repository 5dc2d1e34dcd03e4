// The shared drawing routines and value tests: rectangle sizes, the 3-D frame's pixels, colour shades,
// integer text, and that every text the integer test accepts converts to that same number.
#include <gtest/gtest.h>

#include <algorithm>
#include <strings.h>

#include "controls/extra/uiExtEditUtils.h"
#include "platform/rtl/Numbers.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/DrawingTesting.h"

using namespace extra_test;

namespace {

TEST(ExtEditUtils, RectSizesNeverNegative) {
  EXPECT_EQ(RectWidth(TRect{10, 0, 4, 5}), 0);
  EXPECT_EQ(RectHeight(TRect{0, 3, 5, 3}), 0);
  EXPECT_EQ(RectWidth(TRect{-3, 0, 4, 5}), 7);
  TRect r{1, 2, 3, 4};
  ExtendRect(r, -1, 2, 3, -4);
  EXPECT_EQ(r, (TRect{0, 4, 6, 0}));
}

TEST(ExtEditUtils, Frame3DPaintsBothEdgesAndShrinks) {
  k58::winui::TestDisplay display;
  DrawingSurface s(12, 12);
  EXPECT_EQ(DrawFrame3D(s.Canvas(), TRect{0, 0, 10, 10}, clRed, clBlue), (TRect{1, 1, 9, 9}));
  const std::string expected =
      "RRRRRRRRRRR.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "R.........B.\n"
      "RBBBBBBBBBB.\n"
      "............\n";
  EXPECT_EQ(s.Map({{'R', clRed}, {'B', clBlue}}), expected);
}

TEST(ExtEditUtils, LightenColorClampsEachChannel) {
  struct Case {
    TColor In;
    Integer D;
    TColor Out;
  } cases[] = {
      {static_cast<TColor>(0xF5E6CD), -60, static_cast<TColor>(0xB9AA91)},
      {static_cast<TColor>(0x0000FA), 10, static_cast<TColor>(0x0A0AFF)},
      {static_cast<TColor>(0x140000), -60, static_cast<TColor>(0x000000)},
  };
  for (const Case& c : cases) EXPECT_EQ(LightenColor(c.In, c.D, c.D, c.D), c.Out) << std::hex << c.In;
  // A system colour is resolved first: its index bits are no channel.
  k58::winui::TestDisplay display;
  EXPECT_EQ(static_cast<COLORREF>(LightenColor(clBtnFace, 0, 0, 0)), ColorToRGB(clBtnFace));
}

TEST(ExtEditUtils, IntegerTextTests) {
  struct Case {
    const char* Text;
    bool IsInteger;
  } cases[] = {{" 42 ", true}, {"\t-7\r\n", true}, {"$1A", true}, {"+3", true},  {"", false},
               {"   ", false},  {"4 2", false},    {"4.2", false}, {"12ab", false}, {"99999999999", false}};
  for (const Case& c : cases) EXPECT_EQ(IsIntegerText(c.Text), c.IsInteger) << '"' << c.Text << '"';
  EXPECT_EQ(IntegerTextValue("$1A"), 26);
  EXPECT_EQ(IntegerTextValue(" -12 "), -12);
}

TEST(ExtEditUtils, ExtractIntegerTextCollectsSignsAndDigits) {
  EXPECT_EQ(ExtractIntegerText("12ab34", false), 1234);
  EXPECT_EQ(ExtractIntegerText("12ab34", true), 12);
  EXPECT_EQ(ExtractIntegerText("abc", false), 0);
  EXPECT_EQ(ExtractIntegerText("x-5", false), -5);
  for (const char* bad : {"-", "--5", "5-5", "99999999999"})
    EXPECT_THROW(ExtractIntegerText(bad, false), EConvertError) << bad;
}

TEST(ExtEditUtils, ColourNameTablesRunFromFirstToLast) {
  EXPECT_STREQ(ColorConstantNames.front(), "clBlack");
  EXPECT_STREQ(ColorConstantNames.back(), "clWindowText");
  EXPECT_STREQ(HTMLColorNames.front(), "Black");
  EXPECT_STREQ(HTMLColorNames.back(), "Aqua");
  EXPECT_STREQ(WebColorNames.front(), "AliceBlue");
  EXPECT_STREQ(WebColorNames.back(), "YellowGreen");
  EXPECT_TRUE(std::is_sorted(WebColorNames.begin(), WebColorNames.end(),
                             [](const char* a, const char* b) { return strcasecmp(a, b) < 0; }));
}

}  // namespace
