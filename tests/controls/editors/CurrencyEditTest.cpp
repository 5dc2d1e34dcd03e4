// The currency editor: amount texts in both locales, decimal places counted while typing, Null and its
// text, Value with its clamping, and thousand separators typed as themselves.
#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/SpinEditTesting.h"

namespace editors_test {
namespace {

class CurrencyEditTest : public SpinFormTest {
 protected:
  TuiCurrencyEdit* NewCurrency(Integer ADecimals = 2) {
    auto* edit = NewEdit<TuiCurrencyEdit>(10, 10, 140);
    edit->Properties()->SetDecimalPlaces(ADecimals);
    return edit;
  }
};

TEST(CurrencyEditTextTest, AmountTextsInBothLocales) {
  struct Case {
    char decimal;
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {'.', "1,234.5", true, 1234.5},   {',', "1.234,5", true, 1234.5},  {'.', "1.5e3", true, 1500},
      {'.', "1.5e", false, 0},          {'.', "-", false, 0},            {'.', "", false, 0},
      {'.', "0", true, 0},              {'.', "-0.25", true, -0.25},     {'.', "1e-330", false, 0},
      {'.', "2e308", false, 0},         {'.', "1.7e308", true, 1.7e308}, {'.', "abc", false, 0},
      {',', "12,34567", true, 12.34567}, {'.', ",,,", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.decimal << " \"" << c.text << "\"");
    TFormatSettingsGuard guard(c.decimal == ',' ? CommaDecimalSettings() : WithDecimal('.', ','));
    double value = -1;
    EXPECT_EQ(TuiCustomCurrencyEditProperties::TextToCurrencyValue(c.text, value), c.ok);
    EXPECT_DOUBLE_EQ(value, c.value);
  }
}

TEST_F(CurrencyEditTest, ValueAnswersTheAmountOfATextEditValue) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  auto* edit = NewCurrency();
  edit->SetEditValue(Variant(String("1,234.5")));
  EXPECT_EQ(edit->Value(), 1234.5);
  edit->SetEditValue(Variant(String("n/a")));
  EXPECT_EQ(edit->Value(), 0);
  edit->SetEditValue(Null());
  EXPECT_EQ(edit->Value(), 0);
  edit->Properties()->SetMaxValue(450);
  edit->SetValue(470.5);
  EXPECT_EQ(edit->Value(), 450) << "above an in-force maximum: the maximum";
  edit->Properties()->SetMinValue(400);
  edit->SetValue(12);
  EXPECT_EQ(edit->Value(), 400);
}

TEST_F(CurrencyEditTest, DecimalsAreCountedWhileTyping) {
  auto* edit = NewCurrency(5);
  Focus(edit);
  Type("1.12345");
  const int beeps = Beeps();
  Type("6");
  EXPECT_EQ(edit->Text(), "1.12345") << "a sixth decimal is refused";
  EXPECT_EQ(Beeps(), beeps + 1) << "with a beep";
  Key(VK_HOME);
  Type("9");
  EXPECT_EQ(edit->Text(), "91.12345") << "digits in front of the separator still go in";
}

TEST_F(CurrencyEditTest, AnExponentGoesInOnlyWhereItMakesANumber) {
  auto* edit = NewCurrency(5);
  Focus(edit);
  Type("1.5");
  Type("e");
  EXPECT_EQ(edit->Text(), "1.5") << "1.5e is no number";
  Type("3");
  Key(VK_LEFT);
  Type("e");
  EXPECT_EQ(edit->Text(), "1.5e3");
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  LeaveTo(other);
  EXPECT_EQ(edit->Value(), 1500);
}

TEST_F(CurrencyEditTest, NullShowsItsTextAndAMinusAloneCommitsToNullOrZero) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  for (const bool nullable : {true, false}) {
    SCOPED_TRACE(nullable ? "nullable" : "not nullable");
    auto* edit = NewCurrency();
    edit->Properties()->SetNullString("n/a");
    edit->Properties()->SetNullable(nullable);
    edit->Properties()->SetDisplayFormat("0.00");
    edit->SetValue(3);
    Focus(edit);
    SelectAllFocused();
    Type("-");
    EXPECT_EQ(edit->Text(), "-") << "a minus alone is taken while typing";
    LeaveTo(other);
    if (nullable) {
      EXPECT_TRUE(VarIsNull(edit->EditValue()));
      EXPECT_EQ(edit->Text(), "n/a");
    } else {
      EXPECT_EQ(edit->EditValue().AsDouble(), 0);
      EXPECT_EQ(edit->Text(), "0.00");
    }
    EXPECT_EQ(edit->Value(), 0);
    Focus(edit);
    EXPECT_EQ(edit->Text(), nullable ? "" : "0") << "focused, Null shows empty";
    LeaveTo(other);
    FreeObject(edit);
  }
}

TEST_F(CurrencyEditTest, AThousandSeparatorIsTypedAsItselfWhenUsed) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  auto* edit = NewCurrency();
  Focus(edit);
  Type("1,5");
  EXPECT_EQ(edit->Text(), "1.5") << "without separators a comma is the decimal separator";
  SelectAllFocused();
  edit->Properties()->SetUseThousandSeparator(true);
  Type("1,234");
  EXPECT_EQ(edit->Text(), "1,234");
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  LeaveTo(other);
  EXPECT_EQ(edit->Value(), 1234);
}

}  // namespace
}  // namespace editors_test
