#include <cstring>

#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

namespace {

class DrawTextTest : public ::testing::Test {
protected:
  void SetUp() override {
    PinTestFonts();
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    font_ = CreateFontIndirect(&lf);
  }
  void TearDown() override {
    DeleteObject(font_);
    k58::gdi::UnpinFonts();
  }
  void Use(Canvas& c) {
    SelectObject(c.dc(), font_);
    SetBkMode(c.dc(), TRANSPARENT);
  }
  int Extent(Canvas& c, const char* s) {
    SIZE size{};
    GetTextExtentPoint32(c.dc(), s, static_cast<int>(std::strlen(s)), &size);
    return size.cx;
  }
  // The size DT_CALCRECT gives for the text laid out in the given width.
  SIZE Calc(Canvas& c, const char* s, int width, UINT flags) {
    RECT r{0, 0, width, 0};
    int h = DrawText(c.dc(), s, -1, &r, flags | DT_CALCRECT);
    EXPECT_EQ(h, r.bottom);
    return SIZE{r.right, r.bottom};
  }
  HFONT font_ = nullptr;
};

std::string Pixels(Canvas& c) { return Join(c.Picture(0, 0, c.width(), c.height(), BW())); }

}  // namespace

TEST_F(DrawTextTest, CalcRectForSingleAndBrokenLines) {
  Canvas c(10, 10);
  Use(c);
  SIZE one = Calc(c, "Hello", 1000, DT_SINGLELINE);
  EXPECT_EQ(Extent(c, "Hello"), one.cx);
  EXPECT_EQ(13, one.cy);
  int w = Extent(c, "one two");
  SIZE wrapped = Calc(c, "one two three", w, DT_WORDBREAK);
  EXPECT_EQ(w, wrapped.cx);
  EXPECT_EQ(26, wrapped.cy);
  // Hard line breaks: CR LF, LF and CR; a final line break adds no line; empty text is one line.
  EXPECT_EQ(39, Calc(c, "a\r\nb\nc", 1000, 0).cy);
  EXPECT_EQ(13, Calc(c, "a\n", 1000, 0).cy);
  SIZE empty = Calc(c, "", 1000, 0);
  EXPECT_EQ(0, empty.cx);
  EXPECT_EQ(13, empty.cy);
  // Single line ignores line breaks.
  EXPECT_EQ(13, Calc(c, "a\nb", 1000, DT_SINGLELINE).cy);
}

TEST_F(DrawTextTest, LongWordsOverflowUnlessEditControlBreaksThem) {
  Canvas c(10, 10);
  Use(c);
  int word = Extent(c, "abcdefgh");
  SIZE over = Calc(c, "abcdefgh xy", 20, DT_WORDBREAK);
  EXPECT_EQ(word, over.cx);
  EXPECT_EQ(26, over.cy);
  SIZE broken = Calc(c, "abcdefgh", 20, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_LE(broken.cx, 20);
  EXPECT_GE(broken.cy, 39);
  // Ideographs break between characters.
  SIZE zh = Calc(c, "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87", Extent(c, "\xE4\xB8\xAD\xE6\x96\x87"),
                 DT_WORDBREAK);
  EXPECT_EQ(26, zh.cy);
}

TEST_F(DrawTextTest, EllipsesShortenTheLineToFit) {
  Canvas a(120, 15), b(120, 15);
  Use(a);
  Use(b);
  int w = Extent(a, "Hello...");
  RECT r{0, 0, w, 15};
  DrawText(a.dc(), "Hello World", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
  TextOut(b.dc(), 0, 0, "Hello...", 8);
  EXPECT_EQ(Pixels(b), Pixels(a));

  a.Clear();
  b.Clear();
  const char* path = "C:\\dir\\sub\\file.txt";
  int pw = Extent(a, "C:\\d...\\file.txt");
  RECT pr{0, 0, pw, 15};
  DrawText(a.dc(), path, -1, &pr, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  TextOut(b.dc(), 0, 0, "C:\\d...\\file.txt", 16);
  EXPECT_EQ(Pixels(b), Pixels(a));
  // Text that fits is left alone.
  EXPECT_EQ(Extent(a, "Hi"), Calc(a, "Hi", 100, DT_SINGLELINE | DT_END_ELLIPSIS).cx);
}

TEST_F(DrawTextTest, PrefixesUnderlineOrDisappear) {
  Canvas a(60, 15), b(60, 15);
  Use(a);
  Use(b);
  RECT r{0, 0, 60, 15};
  DrawText(a.dc(), "&File", -1, &r, DT_SINGLELINE);
  TextOut(b.dc(), 0, 0, "File", 4);
  int f = Extent(a, "F");
  // The same glyphs plus a line under "F" only, below the baseline (10).
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 60; ++x)
      if (a.At(x, y) != b.At(x, y)) {
        EXPECT_GT(y, 10) << x << "," << y;
        EXPECT_LT(x, f) << x << "," << y;
      }
  EXPECT_GT(a.Count(kBlack), b.Count(kBlack));
  a.Clear();
  DrawText(a.dc(), "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(Pixels(b), Pixels(a));
  a.Clear();
  b.Clear();
  DrawText(a.dc(), "A&&B", -1, &r, DT_SINGLELINE);
  TextOut(b.dc(), 0, 0, "A&B", 3);
  EXPECT_EQ(Pixels(b), Pixels(a));
  a.Clear();
  DrawText(a.dc(), "A&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(Pixels(b), Pixels(a));
  // Only the underline.
  a.Clear();
  DrawText(a.dc(), "&File", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
  RECT line = a.BoundsOf(kBlack);
  EXPECT_EQ(0, line.left);
  EXPECT_EQ(f, line.right);
  EXPECT_GT(line.top, 10);
}

TEST_F(DrawTextTest, TabsExpandToEightAverageCharacters) {
  Canvas c(10, 10);
  Use(c);
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  EXPECT_EQ(8 * tm.tmAveCharWidth + Extent(c, "b"), Calc(c, "a\tb", 1000, DT_EXPANDTABS).cx);
  // Other tab lengths: in the high byte of the format (which then holds no other flags) or in the
  // parameters of DrawTextEx.
  DRAWTEXTPARAMS params;
  params.iTabLength = 3;
  RECT r{0, 0, 1000, 0};
  DrawTextEx(c.dc(), "a\tb", -1, &r, DT_EXPANDTABS | DT_CALCRECT, &params);
  EXPECT_EQ(3 * tm.tmAveCharWidth + Extent(c, "b"), r.right);
  EXPECT_EQ(3u, params.uiLengthDrawn);
  Canvas d(100, 15);
  Use(d);
  RECT all{0, 0, 100, 15};
  DrawText(d.dc(), "\tb", -1, &all, DT_EXPANDTABS | DT_TABSTOP | 0x300);
  EXPECT_GE(d.BoundsOf(kBlack).left, 3 * tm.tmAveCharWidth);
  EXPECT_LT(d.BoundsOf(kBlack).left, 8 * tm.tmAveCharWidth);
}

TEST_F(DrawTextTest, AlignmentAndTheVerticalCentreAnswer) {
  Canvas c(100, 33);
  Use(c);
  RECT r{0, 0, 100, 33};
  EXPECT_EQ(23, DrawText(c.dc(), "Hi", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT));
  RECT ink = c.BoundsOf(kBlack);
  EXPECT_LE(ink.right, 100);
  EXPECT_GE(ink.left, 100 - Extent(c, "Hi"));
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 23);
  c.Clear();
  EXPECT_EQ(33, DrawText(c.dc(), "Hi", -1, &r, DT_SINGLELINE | DT_BOTTOM | DT_CENTER));
  ink = c.BoundsOf(kBlack);
  int left = (100 - Extent(c, "Hi")) / 2;
  EXPECT_GE(ink.left, left);
  EXPECT_LE(ink.right, left + Extent(c, "Hi"));
  // Without DT_SINGLELINE vertical alignment does nothing.
  c.Clear();
  EXPECT_EQ(13, DrawText(c.dc(), "Hi", -1, &r, DT_VCENTER));
  EXPECT_LE(c.BoundsOf(kBlack).bottom, 13);
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessToldNot) {
  Canvas c(60, 20);
  Use(c);
  RECT r{0, 0, 8, 20};
  DrawText(c.dc(), "WWWW", -1, &r, DT_SINGLELINE);
  EXPECT_LE(c.BoundsOf(kBlack).right, 8);
  c.Clear();
  DrawText(c.dc(), "WWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(c.BoundsOf(kBlack).right, 8);
  // An edit control does not draw a partly visible last line.
  c.Clear();
  RECT two{0, 0, 60, 20};
  DrawText(c.dc(), "ab\nlj", -1, &two, DT_EDITCONTROL);
  EXPECT_LE(c.BoundsOf(kBlack).bottom, 13);
  c.Clear();
  DrawText(c.dc(), "ab\nlj", -1, &two, 0);
  EXPECT_GT(c.BoundsOf(kBlack).bottom, 13);
}

TEST_F(DrawTextTest, OpaqueModeFillsBehindEachLine) {
  Canvas c(60, 30);
  Use(c);
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), kRed);
  RECT r{0, 0, 60, 30};
  DrawText(c.dc(), "ab\nabc", -1, &r, 0);
  RECT back = c.BoundsOf(kRed);
  EXPECT_EQ(0, back.left);
  EXPECT_EQ(26, back.bottom);
  EXPECT_LE(back.right, Extent(c, "abc"));
}

TEST_F(DrawTextTest, WideVariantMatchesUtf8) {
  Canvas a(80, 15), b(80, 15);
  Use(a);
  Use(b);
  RECT r{0, 0, 80, 15};
  DrawText(a.dc(), "&Chan \xE4\xB8\xAD", -1, &r, DT_SINGLELINE);
  const WCHAR w[] = {'&', 'C', 'h', 'a', 'n', ' ', 0x4E2D, 0};
  DrawTextW(b.dc(), w, -1, &r, DT_SINGLELINE);
  EXPECT_EQ(Pixels(b), Pixels(a));
}

}  // namespace gdi_test
