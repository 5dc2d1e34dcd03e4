// Cell texts: number formatting in both decimal conventions, validation by data style, the text events.
#include <gtest/gtest.h>

#include "tests/common/RtlTesting.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

struct NumberCase {
  const char* Text;
  Integer IntLength;
  Integer DecLength;
  bool ThousandSep;
  bool ZeroNull;
  bool TrailingZero;
  const char* Expected;
};

void CheckNumbers(const std::vector<NumberCase>& cases) {
  for (const NumberCase& k : cases) {
    EXPECT_EQ(FormatCellNumber(k.Text, k.IntLength, k.DecLength, k.ThousandSep, k.ZeroNull, k.TrailingZero),
              k.Expected)
        << "'" << k.Text << "' %" << k.IntLength << "." << k.DecLength << (k.ThousandSep ? "n" : "f")
        << (k.ZeroNull ? " zeronull" : "") << (k.TrailingZero ? " trailing" : "");
  }
}

TEST(FormatCellNumber, PointDecimalLocale) {
  CheckNumbers({
      {"1234.5", 3, 2, true, true, false, "1,234.5"},
      {"1,234.50", 3, 2, true, true, false, "1,234.5"},
      {"0", 3, 2, true, true, false, ""},
      {"0.00", 3, 2, true, true, false, ""},
      {"0.00", 3, 2, true, false, false, "0"},
      {"-", 3, 2, true, true, false, ""},
      {"0.", 3, 2, true, false, false, ""},
      {"", 3, 2, true, false, false, ""},
      {"  ", 3, 2, true, false, false, ""},
      {"1234.5", 3, 2, true, true, true, "1,234.50"},
      {"12.7", 3, 0, false, true, false, "13"},
      {"12.5", 3, 0, false, true, false, "13"},
      {"5", 3, 2, false, true, true, "5.00"},
      {"5", 8, 2, false, true, true, "5.00"},  // the field width's blanks are trimmed
      {"-1234.567", 3, 2, true, true, false, "-1,234.57"},
      {"10000", 3, 0, true, true, false, "10,000"},
      {" 450.125 ", 3, 5, false, true, true, "450.12500"},
      {"450.1", 3, 5, false, true, false, "450.1"},
  });
}

// Grouping with '.' and decimals with ','. Zeros and the separator are stripped after the decimal
// separator only, so grouped whole numbers keep their zeros.
TEST(FormatCellNumber, CommaDecimalLocale) {
  TFormatSettingsGuard guard(CommaDecimalSettings());
  CheckNumbers({
      {"1234,5", 3, 2, true, true, false, "1.234,5"},
      {"1.234,50", 3, 2, true, true, false, "1.234,5"},
      {"1234,5", 3, 2, false, true, false, "1234,5"},
      {"1234,5", 3, 2, false, true, true, "1234,50"},
      {"10000", 3, 0, true, true, false, "10.000"},
      {"10000", 3, 2, true, true, false, "10.000"},
      {"0,00", 3, 2, true, true, false, ""},
      {"12,7", 3, 0, false, true, false, "13"},
  });
  EXPECT_THROW(FormatCellNumber("1234.5x", 3, 2, false, true, false), EConvertError);
}

TEST(FormatCellNumber, TextThatIsNoNumberRaisesTheConversionError) {
  EXPECT_THROW(FormatCellNumber("abc", 3, 2, true, true, false), EConvertError);
  EXPECT_THROW(FormatCellNumber("1.2.3", 3, 2, false, true, false), EConvertError);
  // Of two adjacent separators one stays, and the text is no number.
  EXPECT_THROW(FormatCellNumber("1,,234", 3, 2, true, true, false), EConvertError);
}

TEST(StripThousandSeparators, SecondOfTwoAdjacentSeparatorsStays) {
  EXPECT_EQ(StripThousandSeparators(" 1,234,567 "), "1234567");
  EXPECT_EQ(StripThousandSeparators("1,,2"), "1,2");
  TFormatSettingsGuard guard(CommaDecimalSettings());
  EXPECT_EQ(StripThousandSeparators("1.234,5"), "1234,5");
}

// ---- Fore and back texts ----

class CellTexts : public ::testing::Test {
 protected:
  String Fore(Integer c, Integer r) {
    String s;
    grid.GetForeText(c, r, s);
    return s;
  }
  TGridBoxRecorder boxes;
  TTestGrid grid;
};

TEST_F(CellTexts, NumberCellsStoreTheirFormattedText) {
  TCellInfo* cell = grid.GetCellInfo(1, 1);
  cell->DataStyle = dsNumber;
  cell->ThousandSep = true;
  cell->ZeroNull = true;
  grid.SetForeText(1, 1, "1234.5");
  EXPECT_EQ(Fore(1, 1), "1,234.5");
  grid.SetForeText(1, 1, "0.00");
  EXPECT_EQ(Fore(1, 1), "");
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(CellTexts, ConversionFailureShowsTheCellAndKeepsTheOldText) {
  grid.SetColCount(4);
  grid.SetRowCount(13);
  struct Case {
    TDataStyle Style;
    const char* Bad;
  };
  for (const Case& k : {Case{dsNumber, "abc"}, Case{dsDate, "32/13/2024"}, Case{dsTime, "25:61"}}) {
    boxes.Boxes.clear();
    grid.GetCellInfo(3, 12)->DataStyle = k.Style;
    grid.GetCellInfo(3, 12)->ForeText = "old";
    Integer events = 0;
    grid.SetOnSetForeText([&](TObject*, Integer, Integer, String&) { ++events; });
    grid.ClearLog();
    grid.SetForeText(3, 12, k.Bad);
    EXPECT_EQ(Fore(3, 12), "old") << k.Bad;
    EXPECT_EQ(events, 0) << k.Bad;
    EXPECT_TRUE(grid.Invalidated.empty()) << k.Bad;
    ASSERT_EQ(boxes.Boxes.size(), 1u) << k.Bad;
    EXPECT_EQ(boxes.Boxes[0].Text, "Cell[3,12]");
    EXPECT_EQ(boxes.Boxes[0].Caption, "Caution");
    EXPECT_EQ(boxes.Boxes[0].Flags, box::OK | box::IconError);
  }
}

// The cell's own attributes drive the formatting; with ',' as the decimal separator a grouped whole
// number keeps its zeros and a text that reads as no number is refused with the cell named.
TEST_F(CellTexts, NumberCellsInTheCommaDecimalConvention) {
  TFormatSettingsGuard guard(CommaDecimalSettings());
  struct Case {
    const char* Text;
    Integer DecLength;
    bool TrailingZero;
    const char* Stored;
  };
  TCellInfo* cell = grid.GetCellInfo(2, 3);
  cell->DataStyle = dsNumber;
  cell->ThousandSep = true;
  cell->ZeroNull = true;
  for (const Case& k : {Case{"1234,5", 2, false, "1.234,5"}, Case{"1.234,50", 2, true, "1.234,50"},
                        Case{"10000", 0, false, "10.000"}, Case{"10000", 2, false, "10.000"},
                        Case{"0,00", 2, false, ""}}) {
    cell->DecLength = k.DecLength;
    cell->TrailingZero = k.TrailingZero;
    cell->ForeText = "before";
    grid.SetForeText(2, 3, k.Text);
    EXPECT_EQ(Fore(2, 3), k.Stored) << k.Text;
  }
  EXPECT_TRUE(boxes.Boxes.empty());
  cell->ForeText = "kept";
  grid.SetForeText(2, 3, "1,2,3");
  EXPECT_EQ(Fore(2, 3), "kept");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "Cell[2,3]");
}

TEST_F(CellTexts, DatesAndTimesAreRewrittenInTheirStoredForm) {
  grid.GetCellInfo(1, 1)->DataStyle = dsDate;
  grid.GetCellInfo(2, 1)->DataStyle = dsTime;
  grid.SetForeText(1, 1, "2024-1-5");  // the pinned settings read dates year first
  EXPECT_EQ(Fore(1, 1), "2024-01-05");
  grid.SetForeText(2, 1, "7:5");
  EXPECT_EQ(Fore(2, 1), "07:05:00");
  grid.SetForeText(1, 1, "");
  EXPECT_EQ(Fore(1, 1), "");
  grid.SetForeText(2, 1, "");
  EXPECT_EQ(Fore(2, 1), "");
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(CellTexts, TextAndFormulaCellsStoreTheTextUnchanged) {
  grid.GetCellInfo(2, 2)->DataStyle = dsFormula;
  grid.SetForeText(1, 1, " 1,234.50 ");
  grid.SetForeText(2, 2, "=A1+1");
  EXPECT_EQ(Fore(1, 1), " 1,234.50 ");
  EXPECT_EQ(Fore(2, 2), "=A1+1");
}

TEST_F(CellTexts, ForeTextEventFiresAlsoForTheSameTextAndItsValueIsStored) {
  std::vector<String> seen;
  grid.SetOnSetForeText([&](TObject* sender, Integer, Integer, String& value) {
    EXPECT_EQ(sender, &grid);
    seen.push_back(value);
    if (value == "upper") value = "UPPER";
  });
  grid.SetForeText(1, 1, "a");
  grid.SetForeText(1, 1, "a");
  EXPECT_EQ(seen, (std::vector<String>{"a", "a"}));
  grid.SetForeText(1, 1, "upper");
  EXPECT_EQ(Fore(1, 1), "UPPER");
}

TEST_F(CellTexts, TheHandlersValueIsTheStoredTextItself) {
  grid.SetOnSetForeText([&](TObject*, Integer c, Integer r, String& value) {
    if (value != "typed") return;
    value = "checked";
    EXPECT_EQ(Fore(c, r), "checked");  // in the record at once
    grid.GetCellInfo(c, r)->ForeText = "rewritten";
    EXPECT_EQ(value, "rewritten");  // and Value sees the record
    grid.SetForeText(c, r, "again");  // a nested set of the same cell is the last word
  });
  grid.SetForeText(2, 3, "typed");
  EXPECT_EQ(Fore(2, 3), "again");
}

TEST_F(CellTexts, HandlerMayShrinkTheGridWhileHoldingTheValue) {
  grid.SetOnSetForeText([&](TObject*, Integer, Integer, String& value) {
    grid.SetRowCount(2);
    value = "gone";
  });
  grid.SetForeText(2, 4, "x");
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_THROW(grid.GetCellInfo(2, 4), EListError);
}

TEST_F(CellTexts, ChangedTextRepaintsOnlyWhenShown) {
  grid.ClearLog();
  grid.SetForeText(1, 1, "shown");
  EXPECT_EQ(grid.Invalidated.size(), 1u);
  grid.ClearLog();
  grid.SetBackText(1, 1, "hidden");
  EXPECT_TRUE(grid.Invalidated.empty());
  grid.GetCellInfo(1, 1)->ShowForeText = false;
  grid.SetBackText(1, 1, "shown now");
  EXPECT_EQ(grid.Invalidated.size(), 1u);
}

TEST_F(CellTexts, SameBackTextDoesNotRepaintButFiresTheEvent) {
  grid.GetCellInfo(1, 1)->ShowForeText = false;
  grid.SetBackText(1, 1, "b");
  Integer events = 0;
  grid.SetOnSetBackText([&](TObject*, Integer c, Integer r, String& value) {
    ++events;
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    value = "replaced";
  });
  grid.ClearLog();
  grid.SetBackText(1, 1, "b");
  EXPECT_EQ(events, 1);
  EXPECT_TRUE(grid.Invalidated.empty());
  String back;
  grid.GetBackText(1, 1, back);
  EXPECT_EQ(back, "replaced");
}

TEST(GridBoxes, CaptionsIconsAndDefaultButtons) {
  TGridBoxRecorder boxes;
  boxes.Answers = {box::IdOK, box::IdCancel, box::IdOK};
  ShowGridInfo("i");
  EXPECT_FALSE(ConfirmGrid("q", 2));
  EXPECT_TRUE(ConfirmGrid("q", 1));
  ASSERT_EQ(boxes.Boxes.size(), 3u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Caution");
  EXPECT_EQ(boxes.Boxes[0].Flags, box::OK | box::IconInformation);
  EXPECT_EQ(boxes.Boxes[1].Caption, "Confirmation");
  EXPECT_EQ(boxes.Boxes[1].Flags, box::OKCancel | box::IconQuestion | box::DefButton2);
  EXPECT_EQ(boxes.Boxes[2].Flags, box::OKCancel | box::IconQuestion);
}

}  // namespace
