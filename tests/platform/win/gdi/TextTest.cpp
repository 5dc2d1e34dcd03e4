#include <cstring>

#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

namespace {

HFONT TestFont(LONG height, LONG weight = FW_NORMAL, const char* face = "Tahoma") {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

class Text : public ::testing::Test {
protected:
  void SetUp() override { PinTestFonts(); }
  void TearDown() override { k58::gdi::UnpinFonts(); }
};

int Extent(HDC dc, const char* s) {
  SIZE size{};
  GetTextExtentPoint32(dc, s, static_cast<int>(std::strlen(s)), &size);
  return size.cx;
}

}  // namespace

TEST_F(Text, HeightRulesOfTheLogicalFont) {
  Canvas c(10, 10);
  struct Case {
    LONG height;
    LONG cellHeight, ascent, internalLeading;
  } cases[] = {
      {-11, 13, 10, 2},  // negative: character height 11
      {13, 13, 10, 2},   // positive: cell height 13 (the same font)
      {-13, 15, 12, 2},
      {16, 16, 13, 2},
  };
  for (const auto& k : cases) {
    Selected f(c.dc(), TestFont(k.height));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
    EXPECT_EQ(k.cellHeight, tm.tmHeight) << k.height;
    EXPECT_EQ(k.ascent, tm.tmAscent) << k.height;
    EXPECT_EQ(k.cellHeight - k.ascent, tm.tmDescent) << k.height;
    EXPECT_EQ(k.internalLeading, tm.tmInternalLeading) << k.height;
    EXPECT_EQ(TMPF_TRUETYPE, tm.tmPitchAndFamily & TMPF_TRUETYPE);
    EXPECT_EQ(' ', tm.tmBreakChar);
    EXPECT_GT(tm.tmAveCharWidth, 0);
  }
}

TEST_F(Text, CharacterExtentsAddUpToTheRowExtent) {
  Canvas c(10, 10);
  Selected f(c.dc(), TestFont(-11));
  const char* text = "AVAWAY To, Ty. fi";  // kerning pairs and ligature candidates
  int sum = 0;
  for (const char* p = text; *p; ++p) {
    char one[2] = {*p, 0};
    sum += Extent(c.dc(), one);
  }
  EXPECT_EQ(sum, Extent(c.dc(), text));
  int widths['z' - 'a' + 1];
  ASSERT_TRUE(GetCharWidth32(c.dc(), 'a', 'z', widths));
  int abc = widths[0] + widths[1] + widths[2];
  EXPECT_EQ(abc, Extent(c.dc(), "abc"));
  // Partial extents end at each character.
  int fit = 0, dx[3];
  SIZE size;
  GetTextExtentExPoint(c.dc(), "abc", 3, widths[0] + widths[1], &fit, dx, &size);
  EXPECT_EQ(2, fit);
  EXPECT_EQ(widths[0], dx[0]);
  EXPECT_EQ(abc, dx[2]);
  EXPECT_EQ(13, size.cy);
}

TEST_F(Text, CharacterExtraAndJustification) {
  Canvas c(10, 10);
  Selected f(c.dc(), TestFont(-11));
  int plain = Extent(c.dc(), "a b c");
  SetTextCharacterExtra(c.dc(), 2);
  EXPECT_EQ(plain + 10, Extent(c.dc(), "a b c"));
  SetTextCharacterExtra(c.dc(), 0);
  // 5 extra pixels over 2 breaks: the first break gets 3, the second 2.
  SetTextJustification(c.dc(), 5, 2);
  EXPECT_EQ(plain + 5, Extent(c.dc(), "a b c"));
  int dx[5];
  int fit;
  SIZE size;
  GetTextExtentExPoint(c.dc(), "a b c", 5, 1000, &fit, dx, &size);
  SetTextJustification(c.dc(), 0, 0);
  EXPECT_EQ(plain, Extent(c.dc(), "a b c"));
  int dxWith[5];
  GetTextExtentExPoint(c.dc(), "a b c", 5, 1000, &fit, dxWith, &size);
  EXPECT_EQ(dx[1] - dx[0], dxWith[1] - dxWith[0] + 3);
  EXPECT_EQ(dx[3] - dx[2], dxWith[3] - dxWith[2] + 2);
}

TEST_F(Text, AlignmentBackgroundAndColour) {
  Canvas c(100, 40);
  Selected f(c.dc(), TestFont(-11));
  SetTextColor(c.dc(), kRed);
  SetBkColor(c.dc(), kBlue);
  int w = Extent(c.dc(), "Ab");
  TextOut(c.dc(), 10, 5, "Ab", 2);
  // The opaque cell is the extent wide and the cell high, from the reference point.
  RECT cell = c.BoundsOf(kBlue);
  RECT ink = c.BoundsOf(kRed);
  EXPECT_EQ(10, cell.left);
  EXPECT_EQ(5, cell.top);
  EXPECT_EQ(5 + 13, cell.bottom);
  EXPECT_LE(10 + w - 1, std::max(cell.right, ink.right));
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.bottom, 5 + 10);  // "Ab" has no descender: ink ends at the baseline
  c.Clear();
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextAlign(c.dc(), TA_RIGHT | TA_BASELINE);
  TextOut(c.dc(), 60, 20, "Ab", 2);
  EXPECT_EQ(0, c.Count(kBlue));
  ink = c.BoundsOf(kRed);
  EXPECT_LE(ink.right, 60);
  EXPECT_GE(ink.left, 60 - w);
  EXPECT_EQ(20, ink.bottom);
  c.Clear();
  SetTextAlign(c.dc(), TA_CENTER | TA_TOP);
  TextOut(c.dc(), 50, 0, "Ab", 2);
  ink = c.BoundsOf(kRed);
  EXPECT_GE(ink.left, 50 - w / 2);
  EXPECT_LE(ink.right, 50 - w / 2 + w);
  // Update the current position: left-aligned output moves it by the extent.
  SetTextAlign(c.dc(), TA_LEFT | TA_TOP | TA_UPDATECP);
  MoveToEx(c.dc(), 3, 3, nullptr);
  TextOut(c.dc(), 0, 0, "Ab", 2);
  TextOut(c.dc(), 0, 0, "Ab", 2);
  POINT cp;
  GetCurrentPositionEx(c.dc(), &cp);
  EXPECT_EQ(3 + 2 * w, cp.x);
}

TEST_F(Text, ExtTextOutClipsOpaquesAndSpaces) {
  Canvas c(60, 20);
  Selected f(c.dc(), TestFont(-11));
  SetTextColor(c.dc(), kRed);
  SetBkColor(c.dc(), kBlue);
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{5, 2, 12, 18};
  ExtTextOut(c.dc(), 5, 2, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWW", 4, nullptr);
  RECT blue = c.BoundsOf(kBlue), red = c.BoundsOf(kRed);
  EXPECT_EQ(5, blue.left);
  EXPECT_EQ(12, std::max(blue.right, red.right));
  EXPECT_EQ(18, std::max(blue.bottom, red.bottom));
  EXPECT_LE(red.right, 12);
  // Spacing from lpDx, one entry per byte; a two-byte character takes the sum of its entries.
  c.Clear();
  const INT dx[] = {20, 20, 5, 5};
  ExtTextOut(c.dc(), 0, 0, 0, nullptr, "ii\xC3\xA9", 4, dx);  // "iié"
  int columns = 0;
  for (int x = 0; x < 60; ++x) {
    bool any = false;
    for (int y = 0; y < 20; ++y) any = any || c.At(x, y) == kRed;
    if (any && (x == 0 || [&] {
          for (int y = 0; y < 20; ++y)
            if (c.At(x - 1, y) == kRed) return false;
          return true;
        }()))
      ++columns;
  }
  EXPECT_EQ(3, columns);  // three separate glyphs
  EXPECT_GE(c.BoundsOf(kRed).right, 40);
}

TEST_F(Text, WeightItalicUnderlineAndStrikeOut) {
  Canvas c(80, 20);
  Selected normal(c.dc(), TestFont(-11));
  int regular = Extent(c.dc(), "Hello");
  {
    Selected bold(c.dc(), TestFont(-11, FW_BOLD));
    EXPECT_GT(Extent(c.dc(), "Hello"), regular);
  }
  LOGFONT lf;
  lf.lfHeight = -11;
  lf.lfUnderline = 1;
  lf.lfStrikeOut = 1;
  Selected lined(c.dc(), CreateFontIndirect(&lf));
  SetBkMode(c.dc(), TRANSPARENT);
  TextOut(c.dc(), 0, 0, "    ", 4);  // spaces: only the lines are drawn
  RECT b = c.BoundsOf(kBlack);
  EXPECT_EQ(0, b.left);
  EXPECT_EQ(Extent(c.dc(), "    "), b.right);
  int rows = 0;
  for (int y = 0; y < 20; ++y) rows += c.At(1, y) == kBlack;
  EXPECT_EQ(2, rows);  // one pixel each at this size
  EXPECT_GT(b.bottom, 10);  // underline below the baseline
  EXPECT_LT(b.top, 10);     // strike-out above it
}

TEST_F(Text, RotatedTextRunsUpwardsAtNinetyDegrees) {
  Canvas c(40, 80);
  LOGFONT lf;
  lf.lfHeight = -11;
  lf.lfEscapement = 900;
  Selected f(c.dc(), CreateFontIndirect(&lf));
  SetBkMode(c.dc(), TRANSPARENT);
  SIZE size;
  GetTextExtentPoint32(c.dc(), "Hello", 5, &size);
  TextOut(c.dc(), 10, 70, "Hello", 5);
  RECT ink = c.BoundsOf(kBlack);
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
  EXPECT_LE(ink.bottom, 70);
  EXPECT_GE(ink.top, 70 - size.cx - 1);
  EXPECT_GE(ink.left, 10);  // the top of the letters faces left: the cell lies right of x
}

TEST_F(Text, ChineseTextComesFromTheCjkFallback) {
  Canvas c(80, 20);
  Selected f(c.dc(), TestFont(-12, FW_NORMAL, "宋体"));
  const char* zh = "\xE4\xB8\xAD\xE6\x96\x87";  // two ideographs
  int w = Extent(c.dc(), zh);
  EXPECT_EQ(2 * Extent(c.dc(), "\xE4\xB8\xAD"), w);
  EXPECT_GE(w, 22);  // full-width characters of a 12-pixel font
  SetBkMode(c.dc(), TRANSPARENT);
  TextOut(c.dc(), 0, 0, zh, 6);
  RECT ink = c.BoundsOf(kBlack);
  EXPECT_GT(c.Count(kBlack), 40);
  EXPECT_GT(ink.right, 12);  // both characters have ink
  // UTF-16 gives the same result.
  const WCHAR wide[] = {0x4E2D, 0x6587};
  SIZE ws;
  GetTextExtentPoint32W(c.dc(), wide, 2, &ws);
  EXPECT_EQ(w, ws.cx);
}

TEST_F(Text, FaceNamesMapToInstalledFamilies) {
  k58::gdi::UnpinFonts();
  EXPECT_NE(std::string::npos, k58::gdi::ResolveFontFile("MS Sans Serif", FW_NORMAL, false, 0).find(".tt"));
  EXPECT_NE(std::string::npos, k58::gdi::ResolveFontFile("宋体", FW_NORMAL, false, GB2312_CHARSET).find("wqy"));
  EXPECT_NE(std::string::npos, k58::gdi::ResolveFontFile("Courier New", FW_NORMAL, false, 0).find("Mono"));
  EXPECT_NE(std::string::npos, k58::gdi::ResolveFontFile("Tahoma", FW_BOLD, false, 0).find("Bold"));
}

}  // namespace gdi_test
