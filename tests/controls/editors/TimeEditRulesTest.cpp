// The entry rules of masked time parts without an editor: typed digits in 24- and 12-hour form at both
// places of each part, the AM/PM part with short, long and missing locale designators.
#include <gtest/gtest.h>

#include "controls/editors/uiTimeEdit.h"
#include "platform/rtl/FormatSettings.h"

using namespace k58::editors;

namespace {

TuiTimePart TimeRulesPart(Integer AKind, bool A24, Integer AStart = -1) {
  TuiTimePart part;
  part.Kind = AKind;
  part.Start = AStart >= 0 ? AStart : 3 * AKind + 1;
  part.Use24Hour = A24;
  return part;
}

TEST(TimeEditRulesTest, TypedDigitsArePutRightPartByPart) {
  // Result: 'R' refused; 'P' the key goes on unchanged; 'W' the rules wrote the text themselves.
  struct Case {
    bool use24;
    const char* text;
    Integer kind;
    Integer pos;
    const char* key;
    char outcome;
    const char* newText;  // after the rewrite
    Integer caret;
    const char* goesOn;   // the key still to type at the caret
  };
  const Case cases[] = {
      // 24 hours, hour 15.
      {true, "15:30:00", tpkHour, 1, "1", 'P', "15:30:00", 1, "1"},
      {true, "15:30:00", tpkHour, 1, "7", 'W', "05:30:00", 2, "7"},  // 07 once the 7 is typed
      {true, "15:30:00", tpkHour, 1, "3", 'W', "05:30:00", 2, "3"},
      {true, "15:30:00", tpkHour, 1, "2", 'W', "20:30:00", 2, ""},
      {true, "15:30:00", tpkHour, 1, "0", 'P', "15:30:00", 1, "0"},
      {true, "23:30:00", tpkHour, 2, "9", 'W', "03:30:00", 2, "9"},  // 29: the first digit gives way
      {true, "23:30:00", tpkHour, 2, "0", 'P', "23:30:00", 2, "0"},
      {true, "15:30:00", tpkHour, 1, "x", 'R', "", 0, ""},
      // Minutes and seconds.
      {true, "10:30:00", tpkMinute, 4, "7", 'W', "10:00:00", 5, "7"},
      {true, "10:30:00", tpkMinute, 4, "5", 'P', "10:30:00", 4, "5"},
      {true, "10:30:45", tpkSecond, 7, "6", 'W', "10:30:05", 8, "6"},  // 6 > 5: 06
      {true, "10:30:75", tpkSecond, 8, "0", 'R', "", 0, ""},           // 70: the second digit 0 is refused
      // 12 hours.
      {false, "10:30:00 AM", tpkHour, 1, "0", 'W', "01:30:00 AM", 2, ""},  // 00: the 1 moves right
      {false, "05:30:00 AM", tpkHour, 2, "0", 'R', "", 0, ""},              // 00 is no hour here
      {false, "10:30:00 AM", tpkHour, 1, "2", 'W', "00:30:00 AM", 2, "2"},  // 2 > 1: 02
      {false, "12:30:00 AM", tpkHour, 1, "1", 'P', "12:30:00 AM", 1, "1"},
      {false, "11:30:00 AM", tpkHour, 2, "5", 'W', "01:30:00 AM", 2, "5"},  // 15: 05
      {false, "05:30:00 AM", tpkHour, 1, "1", 'W', "10:30:00 AM", 2, ""},   // 15: 10
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " pos " << c.pos << " key " << c.key);
    const TuiTimeCharResult r = ProcessTimePartChar(c.text, c.pos, c.key, TimeRulesPart(c.kind, c.use24));
    if (c.outcome == 'R') {
      EXPECT_FALSE(r.Accepted);
      continue;
    }
    ASSERT_TRUE(r.Accepted);
    EXPECT_EQ(r.Rewritten, c.outcome == 'W');
    EXPECT_EQ(r.Text, c.newText);
    EXPECT_EQ(r.Caret, c.caret);
    EXPECT_EQ(r.Key, c.goesOn);
  }
}

TEST(TimeEditRulesTest, AKeyThatGoesOnIsTakenAtItsNewPlace) {
  // The second round of a first-digit correction always lands in range.
  for (const char* key : {"3", "4", "5", "6", "7", "8", "9"}) {
    const TuiTimeCharResult first = ProcessTimePartChar("15:30:00", 1, key, TimeRulesPart(tpkHour, true));
    ASSERT_TRUE(first.Rewritten);
    const TuiTimeCharResult second = ProcessTimePartChar(first.Text, first.Caret, first.Key, TimeRulesPart(tpkHour, true));
    EXPECT_TRUE(second.Accepted && !second.Rewritten) << key;
  }
}

TEST(TimeEditRulesTest, DesignatorsAreTypedLetterByLetter) {
  TFormatSettings fs = InvariantFormatSettings();
  const TuiTimePart part = TimeRulesPart(tpkAmPm, false, 10);
  struct Case {
    const char* am;
    const char* pm;
    const char* text;
    Integer pos;
    const char* key;
    bool accepted;
    bool rewritten;
    const char* result;  // the text after a rewrite, else the key that goes on
  };
  const Case cases[] = {
      {"AM", "PM", "11:30:00 AM", 10, "p", true, true, "11:30:00 PM"},
      {"AM", "PM", "11:30:00 PM", 10, "a", true, true, "11:30:00 AM"},
      {"AM", "PM", "11:30:00 AM", 10, "x", false, false, ""},
      {"AM", "PM", "11:30:00 AM", 11, "m", true, false, "M"},  // after the difference: what is there
      {"AM", "PM", "11:30:00 AM", 11, "x", false, false, ""},
      // Long designators differing late: the common start is typed as the morning text has it.
      {"a.m.", "p.m.", "11:30:00 a.m.", 10, "P", true, true, "11:30:00 p.m."},
      {"vorm", "vonn", "11:30:00 vorm", 10, "V", true, false, "v"},
      {"vorm", "vonn", "11:30:00 vorm", 10, "x", false, false, ""},
      {"vorm", "vonn", "11:30:00 vorm", 12, "n", true, true, "11:30:00 vonn"},
      // A locale without designators falls back to AM and PM, so the two halves stay apart.
      {"", "", "11:30:00 AM", 10, "P", true, true, "11:30:00 PM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " pos " << c.pos << " key " << c.key);
    fs.TimeAMString = c.am;
    fs.TimePMString = c.pm;
    const TuiTimeCharResult r = ProcessTimePartChar(c.text, c.pos, c.key, part, fs);
    EXPECT_EQ(r.Accepted, c.accepted);
    if (!c.accepted) continue;
    EXPECT_EQ(r.Rewritten, c.rewritten);
    if (c.rewritten) {
      EXPECT_EQ(r.Text, c.result);
      EXPECT_TRUE(r.Key.empty());
    } else {
      EXPECT_EQ(r.Key, c.result);
    }
  }
}

TEST(TimeEditRulesTest, DesignatorKindsAndTheirFirstDifference) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.TimeAMString = "";
  fs.TimePMString = "";
  String am, pm;
  GetAmPmStrings(apkAP, am, pm, fs);
  EXPECT_EQ(am + pm, "AP");
  GetAmPmStrings(apkLocale, am, pm, fs);
  EXPECT_EQ(am + "/" + pm, "AM/PM");
  EXPECT_EQ(FirstDifference("AM", "PM"), 1);
  EXPECT_EQ(FirstDifference("a.m.", "A.N."), 3);
  EXPECT_EQ(FirstDifference("AM", "am"), 3);  // equal but for case
  EXPECT_EQ(FirstDifference("上午", "下午"), 1);
  EXPECT_EQ(FirstDifference("nm", "nmx"), 3);
}

}  // namespace
