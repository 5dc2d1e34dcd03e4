// The standard edit mask: what a mask parses into, applying values, extracting them, validity, and the
// empty text and value.
#include <gtest/gtest.h>

#include "controls/editors/uiStandardMask.h"
#include "platform/rtl/FormatSettings.h"

namespace editors_test {
namespace {

// A mask's positions as a short text: the literal itself, or the mask character of a class position
// with its case (">" upper, "<" lower) and "?" when optional.
String Layout(const TuiStandardMask& AMask) {
  String text;
  for (Integer i = 0; i < AMask.Count(); ++i) {
    const TuiStandardMaskCustomItem* item = AMask.Items(i);
    if (const auto* literal = dynamic_cast<const TuiStandardMaskLiteralItem*>(item)) {
      text += "[" + literal->Char() + "]";
      continue;
    }
    const auto* many = dynamic_cast<const TuiStandardMaskManyItem*>(item);
    if (dynamic_cast<const TuiStandardMaskAlphaItem*>(item)) text += "L";
    if (dynamic_cast<const TuiStandardMaskAlphaNumericItem*>(item)) text += "A";
    if (dynamic_cast<const TuiStandardMaskASCIIItem*>(item)) text += "C";
    if (dynamic_cast<const TuiStandardMaskNumericItem*>(item)) text += "0";
    if (dynamic_cast<const TuiStandardMaskNumericSymbolItem*>(item)) text += "#";
    if (many->CaseConversion() == smccUpperCase) text += ">";
    if (many->CaseConversion() == smccLowerCase) text += "<";
    if (many->Optional()) text += "?";
  }
  return text;
}

TEST(StandardMask, Parsing) {
  TFormatSettings settings = InvariantFormatSettings();
  settings.DateSeparator = '.';
  settings.TimeSeparator = 'h';
  TFormatSettingsGuard guard(settings);
  const struct {
    const char* Mask;
    const char* Layout;
    bool SaveLiterals;
    const char* Blank;
  } cases[] = {
      {"000-0000;0;_", "000[-]0000", false, "_"},
      {"!99/99/9999", "0?0?[.]0?0?[.]0?0?0?0?", true, "_"},
      {"LlAaCc09#", "LL?AA?CC?00?#?", true, "_"},
      {">L<l<>a>c", "L>L<?A?C>?", true, "_"},
      {"00:00", "00[h]00", true, "_"},
      {"\\L\\\\0\\", "[L][\\]0", true, "_"},
      {"0!0", "0[!]0", true, "_"},
      // Sections only at the very end, and only with 0 or 1.
      {"a;b", "A?[;][b]", true, "_"},
      {"00;1", "00", true, "_"},
      {"00;0", "00", false, "_"},
      {"00;1;*", "00", true, "*"},
      {"00;0; ", "00", false, " "},
      {"00;2", "00[;][2]", true, "_"},
      {"0;0;_0", "0[;]0[;][_]0", true, "_"},
      {"0;1;\xC2\xB7", "0", true, "\xC2\xB7"},
      {"", "", true, "_"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mask);
    TuiStandardMask mask;
    mask.SetMask(c.Mask);
    EXPECT_EQ(mask.Mask(), c.Mask);
    EXPECT_EQ(Layout(mask), c.Layout);
    EXPECT_EQ(mask.SaveLiterals(), c.SaveLiterals);
    EXPECT_EQ(mask.BlankChar(), c.Blank);
  }
  // The separators are those in force when the mask is set.
  TuiStandardMask date;
  date.SetMask("99/99");
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(date.EmptyText(), "__.__");
  // A new mask starts from the defaults.
  date.SetMask("00;0;*");
  date.SetMask("00");
  EXPECT_TRUE(date.SaveLiterals());
  EXPECT_EQ(date.BlankChar(), "_");
}

TEST(StandardMask, EmptyTextAndValue) {
  TuiStandardMask mask;
  mask.SetMask("000-0000;0;_");
  EXPECT_EQ(mask.EmptyText(), "___-____");
  EXPECT_EQ(mask.EmptyValue(), "       ");
  mask.SetMask("(000) 000;1;*");
  EXPECT_EQ(mask.EmptyText(), "(***) ***");
  EXPECT_EQ(mask.EmptyValue(), "(   )    ");
}

TEST(StandardMask, ApplyingValues) {
  TFormatSettings settings = InvariantFormatSettings();
  settings.DateSeparator = '/';
  TFormatSettingsGuard guard(settings);
  const struct {
    const char* Mask;
    const char* Value;
    bool ConvertCase;
    const char* Text;
  } cases[] = {
      {">LLL", "abc", true, "ABC"},
      {">LLL", "abc", false, "abc"},
      {"00/00", "1225", true, "12/25"},
      {"00/00", "12/25", true, "12/25"},
      // A value saved without literals flows around them.
      {"00-00;0", "1234", true, "12-34"},
      // Characters no position takes are dropped; a short value leaves blanks.
      {"00", "1a2", true, "12"},
      {"000", "12", true, "12_"},
      {"00", "123", true, "12"},
      // A blank or a space keeps the next class position blank.
      {"000", " 1_", true, "_1_"},
      {"000;1;*", "*1*", true, "*1*"},
      // A refused character looks further and the position it skipped stays free for the next one.
      {"0L", "a1", true, "1a"},
      {"#99", "-5", true, "-5_"},
      {"CC", "\xE4\xB8\xAD\xE6\x96\x87", true, "\xE4\xB8\xAD\xE6\x96\x87"},
      {"L", "\xC3\xA9", true, "_"},
      {"<C", "\xC3\x89", true, "\xC3\xA9"},
      // A byte that is not UTF-8 is U+FFFD: it cannot join with its new neighbour.
      {"C0", "\xC3" "1", true, "\xEF\xBF\xBD" "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Value);
    TuiStandardMask mask;
    mask.SetMask(c.Mask);
    String text = c.Value;
    mask.ApplyToText(text, c.ConvertCase);
    EXPECT_EQ(text, c.Text);
  }
}

TEST(StandardMask, ExtractingValues) {
  TFormatSettings settings = InvariantFormatSettings();
  settings.DateSeparator = '/';
  TFormatSettingsGuard guard(settings);
  const struct {
    const char* Mask;
    const char* Text;
    const char* Value;
  } cases[] = {
      {"00/00", "12/2_", "12/2 "},
      {"00/00;0", "12/2_", "122 "},
      // Literal positions copy the text's character.
      {"00/00", "12x25", "12x25"},
      // Only the positions the text reaches.
      {"00/00", "12", "12"},
      {"00/00;0", "12/25/99", "1225"},
      {"00;1;*", "*1", " 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Text);
    TuiStandardMask mask;
    mask.SetMask(c.Mask);
    String text = c.Text;
    mask.ExtractValue(text);
    EXPECT_EQ(text, c.Value);
  }
}

TEST(StandardMask, Validity) {
  const struct {
    const char* Mask;
    const char* Text;
    bool Valid;
    const char* After;  // the text as the check leaves it
  } cases[] = {
      {"0999", "1___", true, "1___"},
      {"0999", "1 2 ", true, "1 2 "},
      {"0999", "_1__", false, "_1__"},
      {">LLL", "aBc", true, "ABC"},
      {"<LL", "AB", true, "ab"},
      {"LL", "a1", false, "a1"},
      {"00-00", "12-34", true, "12-34"},
      {"00-00", "12+34", false, "12+34"},
      {"00-00", "12-3", false, "12-3"},
      {"00-00", "12-345", false, "12-345"},
      {"##", "+-", true, "+-"},
      {"cC", "_\xE4\xB8\xAD", true, "_\xE4\xB8\xAD"},
      // Any character is any character, the blank too.
      {"Cc", "_x", true, "_x"},
      {"00;1;*", "1*", false, "1*"},
      {"09;1;*", "1*", true, "1*"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Text);
    TuiStandardMask mask;
    mask.SetMask(c.Mask);
    String text = c.Text;
    EXPECT_EQ(mask.IsTextValid(text), c.Valid);
    EXPECT_EQ(text, c.After);
  }
}

}  // namespace
}  // namespace editors_test
