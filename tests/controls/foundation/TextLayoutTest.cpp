// The editors' text layout with a fixed-pitch font (every Latin character 7 pixels wide, Chinese characters
// 11, rows 13 pixels high, "..." 21 wide): rows and their places checked through the text outputs they
// make, and the pixels of ellipses, justified rows, tabs and selections.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;
using k58::foundation::TTextRowOutput;

namespace {

constexpr Integer kCharWidth = 7, kCjkWidth = 11, kRowHeight = 13, kEllipsisWidth = 21;

// Text, X, Y of an output.
using Written = std::tuple<std::string, Integer, Integer>;

class TextLayoutTest : public FoundationTest {
 protected:
  TextLayoutTest() : canvas(240, 160, clWhite) {
    k58::gdi::PinnedFonts fonts;
    fonts.regular = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    fonts.bold = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
    fonts.cjk = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    k58::gdi::PinFonts(fonts);
    TFont* font = canvas->GetCanvasFont();
    font->SetName("Courier New");
    font->SetHeight(-11);
    font->SetColor(clBlack);
    dc = canvas->GetDCHandle();
    previous_ = k58::foundation::SetTextRowOutputObserver([this](const TTextRowOutput& AOutput) {
      outputs.push_back(AOutput);
    });
  }
  ~TextLayoutTest() override { k58::foundation::SetTextRowOutputObserver(std::move(previous_)); }

  Integer Layout(std::string_view AText, TRect R, TuiTextOutFlags AFlags, Integer AMaxLineCount = 0,
                 Integer ASelStart = 0, Integer ASelLength = 0) {
    outputs.clear();
    return LayoutAndDrawText(dc, AText, R, 0, 0, AMaxLineCount, clWhite, clNavy, ASelLength, ASelStart, AFlags);
  }
  std::vector<Written> WrittenTexts() const {
    std::vector<Written> written;
    for (const TTextRowOutput& output : outputs) written.emplace_back(output.Text, output.X, output.Y);
    return written;
  }
  TuiTextRows Rows(std::string_view AText, const TRect& R, TuiTextOutFlags AFlags) {
    TuiTextRows rows;
    BuildTextRows(dc, AText, R, 0, CalculateTextParams(dc, AFlags), rows);
    return rows;
  }
  k58test::Ink InkIn(const TRect& R) const { return k58test::InkIn(canvas.Pixels(), R); }

  TestCanvas canvas;
  HDC dc = nullptr;
  std::vector<TTextRowOutput> outputs;

 private:
  k58::foundation::TTextRowOutputObserver previous_;
};

TRect Box(Integer AWidth, Integer AHeight = 140) { return TRect{10, 10, 10 + AWidth, 10 + AHeight}; }

}  // namespace

TEST_F(TextLayoutTest, TheFixedPitchFontHasTheMetricsTheseTestsCountWith) {
  const TuiTextParams params = CalculateTextParams(dc, tofEndEllipsis);
  EXPECT_EQ(kRowHeight, params.RowHeight);
  EXPECT_EQ(kEllipsisWidth, params.EllipsisWidth);
  EXPECT_EQ(kCharWidth, Rows("a", Box(100), 0).at(0).TextExtents.cx);
  EXPECT_EQ(kCjkWidth, Rows("中", Box(100), 0).at(0).TextExtents.cx);
}

TEST_F(TextLayoutTest, RowsEndAtLineBreaksAndWrapAtSpacesOrCharacters) {
  struct Case {
    const char* Name;
    std::string Text;
    TuiTextOutFlags Flags;
    Integer Width;
    std::vector<Written> Rows;
  };
  const Case cases[] = {
      {"CR LF and a lone LF", "ab\r\ncd\nef", 0, 100, {{"ab", 10, 10}, {"cd", 10, 23}, {"ef", 10, 36}}},
      {"a lone CR, then an empty row", "ab\r\rcd", 0, 100, {{"ab", 10, 10}, {"cd", 10, 36}}},
      {"word break after the space that overflows", "aaa bbb ccc", tofWordBreak, 50,
       {{"aaa bbb ", 10, 10}, {"ccc", 10, 23}}},
      {"a long word overflows its row", "abcdefghij kl", tofWordBreak, 35, {{"abcdefghij ", 10, 10}, {"kl", 10, 23}}},
      {"a long word breaks between characters", "abcdefghij kl", tofWordBreak | tofCharBreak, 35,
       {{"abcde", 10, 10}, {"fghij ", 10, 23}, {"kl", 10, 36}}},
      {"Chinese breaks between whole characters", "中文字符测试", tofWordBreak | tofCharBreak, 40,
       {{"中文字", 10, 10}, {"符测试", 10, 23}}},
      {"Chinese without character breaks is one word", "中文字符测试", tofWordBreak, 40, {{"中文字符测试", 10, 10}}},
      {"single line keeps its line breaks", "ab\ncd", tofSingleLine, 100, {{"ab\ncd", 10, 10}}},
      {"centred", "ab\nabcd", tofAlignHCenter, 100, {{"ab", 53, 10}, {"abcd", 46, 23}}},
      {"right", "ab\nabcd", tofAlignRight, 100, {{"ab", 96, 10}, {"abcd", 82, 23}}},
      {"centred wider than the rectangle", "abcdefgh", tofAlignHCenter, 28, {{"abcdefgh", -4, 10}}},
      {"... not left of it", "abcdefgh", tofAlignHCenter | tofClampLeft, 28, {{"abcdefgh", 10, 10}}},
  };
  for (const Case& c : cases) {
    Layout(c.Text, Box(c.Width), c.Flags);
    EXPECT_EQ(c.Rows, WrittenTexts()) << c.Name;
  }
}

TEST_F(TextLayoutTest, RowsCountCharactersAndKeepABrokenFinalSequenceWhole) {
  using k58::foundation::TextCharLength;
  struct Case {
    std::string Text;
    size_t Pos;
    size_t Length;
  };
  for (const Case& c : {Case{"a", 0, 1}, Case{"中", 0, 3}, Case{"\xF0\x9F\x98\x80", 0, 4}, Case{"a\xE4\xB8", 1, 2},
                        Case{"\xF0\x9F\x98", 0, 3}, Case{"\xE4\xB8" "a", 0, 1}, Case{"\x80", 0, 1},
                        Case{"\xC0\xAF", 0, 1}, Case{"\xE4", 0, 1}})
    EXPECT_EQ(c.Length, TextCharLength(c.Text, c.Pos)) << testing::PrintToString(c.Text) << " at " << c.Pos;

  const std::string text = "a中\r\nb\xE4\xB8";
  const TuiTextRows rows = Rows(text, Box(kCharWidth), tofWordBreak | tofCharBreak);
  ASSERT_EQ(4u, rows.size());
  const std::vector<std::string> texts{"a", "中", "b", "\xE4\xB8"};
  const Integer offsets[] = {0, 1, 4, 5};  // the CR and LF count too
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(texts[i], std::string(rows[i].Text, static_cast<size_t>(rows[i].TextLength))) << i;
    EXPECT_EQ(offsets[i], rows[i].StartOffset) << i;
  }
}

TEST_F(TextLayoutTest, EndEllipsisKeepsWhatFitsAndAtLeastOneCharacter) {
  struct Case {
    const char* Name;
    std::string Text;
    TuiTextOutFlags Flags;
    TRect Rect;
    std::vector<Written> Outputs;
  };
  const TuiTextOutFlags line = tofSingleLine | tofEndEllipsis;
  const Case cases[] = {
      {"what fits before the ellipsis", "abcdefghijklmnop", line, Box(70), {{"abcdefg", 10, 10}, {"...", 59, 10}}},
      {"one character when none fits", "abcdefghijklmnop", line, Box(20), {{"a", 10, 10}, {"...", 17, 10}}},
      {"no ellipsis for a text that fits", "abc", line, Box(70), {{"abc", 10, 10}}},
      {"a centred row starts at the rectangle", "abcdefghijklmnop", line | tofAlignHCenter, Box(70),
       {{"abcdefg", 10, 10}, {"...", 59, 10}}},
      {"the last row that shows", "aaaa bbbb cccc dddd", tofWordBreak | tofEndEllipsis, Box(35, 30),
       {{"aaaa ", 10, 10}, {"bbbb ", 10, 23}, {"cc", 10, 36}, {"...", 24, 36}}},
  };
  for (const Case& c : cases) {
    canvas.Fill(clWhite);
    Layout(c.Text, c.Rect, c.Flags);
    EXPECT_EQ(c.Outputs, WrittenTexts()) << c.Name;
    const k58test::Ink ink = InkIn(TRect{0, 0, 240, 160});
    EXPECT_GT(ink.Count, 0) << c.Name;
    EXPECT_LE(ink.Box.right, c.Rect.right) << c.Name << ": nothing drawn right of the rectangle";
    EXPECT_LE(ink.Box.bottom, c.Rect.bottom) << c.Name << ": nothing drawn below it";
  }
}

TEST_F(TextLayoutTest, RowsCutOffByTheLineLimitEndInAnEllipsisOnlyWithWholeRows) {
  const std::string text = "one\ntwo\nthree\nfour";
  Layout(text, Box(100), tofEndEllipsis | tofWholeRows, 2);
  EXPECT_EQ((std::vector<Written>{{"one", 10, 10}, {"two", 10, 23}, {"...", 31, 23}}), WrittenTexts());
  Layout(text, Box(100), tofEndEllipsis, 2);
  EXPECT_EQ((std::vector<Written>{{"one", 10, 10}, {"two", 10, 23}}), WrittenTexts());
}

TEST_F(TextLayoutTest, JustifiedParagraphsStretchEveryRowButTheLastOfEach) {
  const std::string text = "aa bb cc dd\nee ff gg";
  struct Justified {
    std::string Text;
    Integer Extra;
    Integer Breaks;
  };
  struct Case {
    const char* Name;
    TuiTextOutFlags Alignment;
    std::vector<Justified> Rows;
  };
  for (const Case& c : {Case{"justified", tofAlignJustify, {{"aa bb cc", 4, 2}, {"dd", 0, 0}, {"ee ff gg", 0, 0}}},
                        Case{"distributed, last rows too", tofAlignDistribute,
                             {{"aa bb cc", 4, 2}, {"dd", 0, 0}, {"ee ff gg", 4, 2}}}}) {
    Layout(text, Box(60), c.Alignment);
    ASSERT_EQ(c.Rows.size(), outputs.size()) << c.Name;
    for (size_t i = 0; i < outputs.size(); ++i) {
      EXPECT_EQ(c.Rows[i].Text, outputs[i].Text) << c.Name << " row " << i;
      EXPECT_EQ(c.Rows[i].Extra, outputs[i].JustifyExtra) << c.Name << " row " << i;
      EXPECT_EQ(c.Rows[i].Breaks, outputs[i].JustifyBreakCount) << c.Name << " row " << i;
    }
  }
  // The stretched row reaches the rectangle's right edge: its last letter moves by the extra 4 pixels.
  const TRect firstRow{0, 10, 240, 23};
  canvas.Fill(clWhite);
  Layout("aa bb cc", Box(60), tofAlignLeft);
  const k58test::Ink plain = InkIn(firstRow);
  canvas.Fill(clWhite);
  Layout("aa bb cc x", Box(60), tofAlignJustify);
  const k58test::Ink stretched = InkIn(firstRow);
  EXPECT_EQ(plain.Box.left, stretched.Box.left);
  EXPECT_EQ(plain.Box.right + 4, stretched.Box.right);
  SIZE extent{};
  GetTextExtentPoint32(dc, "a b", 3, &extent);
  EXPECT_EQ(3 * kCharWidth, extent.cx) << "the justification is reset after the row";
}

TEST_F(TextLayoutTest, VerticalAlignmentPlacesTheRowBlock) {
  struct Case {
    const char* Name;
    TuiTextOutFlags Flags;
    Integer Height;
    std::vector<Integer> Tops;
  };
  for (const Case& c : {Case{"top", tofAlignTop, 100, {10, 23, 36, 49}},
                        Case{"centre", tofAlignVCenter, 100, {34, 47, 60, 73}},
                        Case{"bottom", tofAlignBottom, 100, {58, 71, 84, 97}},
                        Case{"distributed: 87 div 3 apart, the first at the top", tofAlignVDistribute, 100,
                             {10, 39, 68, 97}},
                        Case{"distributed with a spare pixel for the first gap", tofAlignVDistribute, 101,
                             {10, 40, 69, 98}},
                        Case{"bottom in a short rectangle, not above its top", tofAlignBottom | tofClampTop, 30,
                             {10, 23, 36, 49}}}) {
    Layout("a\nb\nc\nd", Box(100, c.Height), c.Flags | tofNoClip);
    std::vector<Integer> tops;
    for (const TTextRowOutput& output : outputs) tops.push_back(output.Y);
    EXPECT_EQ(c.Tops, tops) << c.Name;
  }
}

TEST_F(TextLayoutTest, CalculationModeReportsTheRectangleTheRowsNeed) {
  const std::string text = "one\ntwo\nthree\nfour\nfive";
  struct Case {
    const char* Name;
    Integer MaxLineCount;
    TuiTextOutFlags Flags;
    Integer Result;
    TRect Rect;
  };
  // Indents of 3 on the left and 5 on the right are added around the widest row.
  for (const Case& c : {Case{"two rows of five", 2, 0, 26, TRect{10, 10, 10 + 3 + 21 + 5, 36}},
                        Case{"every row", 0, 0, 65, TRect{10, 10, 10 + 3 + 35 + 5, 75}},
                        Case{"the row count", 2, tofCalcRowCount, 2, TRect{10, 10, 39, 36}}}) {
    TRect r{10, 10, 200, 150};
    outputs.clear();
    EXPECT_EQ(c.Result, LayoutAndDrawText(dc, text, r, 5, 3, c.MaxLineCount, clNone, clNone, 0, 0,
                                          tofCalcRect | c.Flags))
        << c.Name;
    EXPECT_EQ(c.Rect, r) << c.Name;
    EXPECT_TRUE(outputs.empty()) << c.Name << ": nothing is drawn";
  }
  TRect none{10, 10, 10, 150};
  EXPECT_EQ(0, LayoutAndDrawText(dc, text, none, 0, 0, 0, clNone, clNone, 0, 0, tofCalcRect));
}

TEST_F(TextLayoutTest, AnswersTheTextHeightOrTheRowCount) {
  EXPECT_EQ(39, Layout("a\nb\nc", Box(100), 0));
  EXPECT_EQ(3, Layout("a\nb\nc", Box(100), tofCalcRowCount));
  EXPECT_EQ(0, Layout("", Box(100), 0));
  EXPECT_EQ(0, Layout("abc", TRect{10, 10, 50, 10}, 0));
  EXPECT_TRUE(outputs.empty());
  EXPECT_EQ(clWhite, canvas.At(12, 12));
}

TEST_F(TextLayoutTest, TabsExpandToTheDefaultStopsFromTheRowStart) {
  const TuiTextRows rows = Rows("a\tb", Box(200), tofExpandTabs);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(8 * kCharWidth + kCharWidth, rows[0].TextExtents.cx);
  Layout("a\tb\nxyz\tc", Box(200), tofExpandTabs);
  ASSERT_EQ(2u, outputs.size());
  EXPECT_TRUE(outputs[0].Tabbed);
  // Each row's stop is 56 pixels from its own start.
  EXPECT_EQ(0, InkIn(TRect{10 + kCharWidth, 10, 10 + 56, 23}).Count) << "nothing between the text and the stop";
  EXPECT_EQ(0, InkIn(TRect{10 + 3 * kCharWidth, 23, 10 + 56, 36}).Count);
  EXPECT_GT(InkIn(TRect{66, 10, 73, 23}).Count, 0);
  EXPECT_GT(InkIn(TRect{66, 23, 73, 36}).Count, 0);
}

TEST_F(TextLayoutTest, ASelectionIsFilledAndItsCharactersRewrittenInTheSelectionColour) {
  // "cdef" selected by a selection that runs past the end of the text.
  Layout("abcdef", Box(100), 0, 0, 2, 100);
  ASSERT_EQ(2u, outputs.size());
  EXPECT_EQ(RGB(0, 0, 0), outputs[0].TextColor);
  EXPECT_EQ(RGB(255, 255, 255), outputs[1].TextColor);
  const Integer from = 10 + 2 * kCharWidth, to = 10 + 6 * kCharWidth;
  EXPECT_EQ(clWhite, canvas.At(from - 1, 22));
  EXPECT_EQ(clNavy, canvas.At(from, 22));
  EXPECT_EQ(clNavy, canvas.At(to - 1, 22));
  EXPECT_EQ(clWhite, canvas.At(to, 22));
  EXPECT_EQ(0, k58test::CountColour(canvas.Pixels(), TRect{from, 10, to, 23}, RGB(0, 0, 0)))
      << "the selected characters are not black";
  EXPECT_GT(k58test::CountColour(canvas.Pixels(), TRect{from, 10, to, 23}, RGB(255, 255, 255)), 0);

  // Over two rows: the LF between them counts as a character.
  canvas.Fill(clWhite);
  Layout("abc\ndef", Box(100), 0, 0, 2, 4);
  EXPECT_EQ(clNavy, canvas.At(10 + 2 * kCharWidth, 22));
  EXPECT_EQ(clWhite, canvas.At(10 + 3 * kCharWidth, 22));
  EXPECT_EQ(clNavy, canvas.At(10, 35));
  EXPECT_EQ(clNavy, canvas.At(10 + 2 * kCharWidth - 1, 35));
  EXPECT_EQ(clWhite, canvas.At(10 + 2 * kCharWidth, 35));

  // Starting at the end of the text: nothing is selected.
  canvas.Fill(clWhite);
  Layout("abcdef", Box(100), 0, 0, 6, 2);
  EXPECT_EQ(1u, outputs.size());
  EXPECT_EQ(0, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 240, 160}, clNavy));
}

TEST_F(TextLayoutTest, DrawTextOnCanvasWritesInTheFontColour) {
  canvas->GetCanvasFont()->SetColor(clRed);
  SetTextColor(canvas->GetDCHandle(), RGB(0, 255, 0));
  TRect r = Box(100);
  DrawTextOnCanvas(canvas->Canvas(), "abc", r, 0, 0, 0, 0);
  EXPECT_GT(k58test::CountColour(canvas.Pixels(), TRect{10, 10, 31, 23}, clRed), 0);
  EXPECT_EQ(RGB(0, 255, 0), GetTextColor(canvas->GetDCHandle()));
}
