// The calculator editor: Precision and its assigned flag, value texts (general, exponent, grouped, display
// format) and their reading back, the typing filter at the caret and over a selection, the popup driven by
// keys ("=" with and without QuickClose, Enter, Esc, the error state), Value, registration and form texts.
#include <gtest/gtest.h>

#include <cfloat>
#include <functional>

#include "controls/editors/uiCalcEdit.h"
#include "controls/editors/uiEditRepositoryItems.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;
using namespace k58::editors;

namespace calcedit_test {

TuiCalcEditProperties* NewCalcProperties() {
  return static_cast<TuiCalcEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiCalcEditProperties::StaticClass(), nullptr));
}

// A binding whose field has seven significant digits.
class TSevenDigitsProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  Integer DefaultPrecision() override { return 7; }
};

TEST(CalcEditProperties, PrecisionFollowsItsAssignedFlag) {
  TObjectPtr<TuiCalcEditProperties> p(NewCalcProperties());
  EXPECT_EQ(p->Precision(), 15);
  EXPECT_FALSE(p->IsPrecisionStored());
  EXPECT_TRUE(p->BeepOnError());
  EXPECT_FALSE(p->PopupSizeable());
  EXPECT_FALSE(p->ImmediateDropDown());

  TSevenDigitsProvider provider;
  p->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p->Precision(), 7) << "unassigned: the bound field's precision";
  p->SetPrecision(20);
  EXPECT_TRUE(p->IsPrecisionStored());
  EXPECT_EQ(p->Precision(), 15) << "above 15 reads as 15";
  p->SetPrecision(4);
  EXPECT_EQ(p->Precision(), 4);

  // Assign copies Precision only when the source has it assigned, and clears the flag otherwise.
  TObjectPtr<TuiCalcEditProperties> copy(NewCalcProperties());
  copy->Assign(p.get());
  EXPECT_TRUE(copy->IsPrecisionStored());
  EXPECT_EQ(copy->Precision(), 4);
  TObjectPtr<TuiCalcEditProperties> unassigned(NewCalcProperties());
  copy->Assign(unassigned.get());
  EXPECT_FALSE(copy->IsPrecisionStored());
  EXPECT_EQ(copy->Precision(), 15);
  p->SetDefaultValuesProvider(nullptr);
  p->RestoreDefaults();
  EXPECT_FALSE(p->IsPrecisionStored());
}

TEST(CalcEditText, ValuesShowAsTheSettingsSay) {
  TFormatSettingsGuard guard;
  struct Case {
    Variant Value;
    Integer Precision;
    bool Scientific, Thousands, Focused;
    const char* DisplayFormat;
    char Decimal;
    const char* Text;
  };
  const Case cases[] = {
      {Variant(123000.0), 6, true, false, true, nullptr, '.', "1.23E+5"},
      {Variant(120300.0), 6, true, false, true, nullptr, '.', "1.203E+5"},  // the inner zero stays
      {Variant(123000.0), 1, true, false, true, nullptr, '.', "1E+5"},      // the exponent is always shown
      {Variant(0.0), 15, true, false, true, nullptr, '.', "0E+0"},
      {Variant(1.7e308), 1, false, false, true, nullptr, '.', "1.7E308"},  // never rounded past the largest
      {Variant(DBL_MAX), 15, true, false, true, nullptr, '.', "1.7976931348623157E+308"},
      {Variant(1234567.0), 15, false, true, true, nullptr, '.', "1,234,567"},
      {Variant(1234567.0), 15, true, true, true, nullptr, '.', "1.234567E+6"},  // no grouping with exponents
      {Variant(-1234.5), 15, false, true, true, nullptr, ',', "-1.234,5"},
      {Variant(0.1 + 0.2), 15, false, false, true, nullptr, '.', "0.3"},
      {Variant(2.0 / 3.0), 4, false, false, true, nullptr, '.', "0.6667"},
      {Variant(String("12.50")), 15, false, false, true, nullptr, '.', "12.5"},  // a text value as its number
      {Variant(String("no number")), 15, false, false, false, nullptr, '.', ""},
      {Null(), 15, false, false, true, nullptr, '.', ""},
      {Variant(String()), 15, false, false, false, "0.00", '.', ""},
      {Variant(3.14159), 15, false, false, false, "0.00", '.', "3.14"},  // unfocused: the display format
      {Variant(3.14159), 3, false, false, true, "0.00", '.', "3.14"},    // focused: the precision
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    FormatSettings.DecimalSeparator = c.Decimal;
    FormatSettings.ThousandSeparator = c.Decimal == '.' ? ',' : '.';
    TObjectPtr<TuiCalcEditProperties> p(NewCalcProperties());
    p->SetPrecision(static_cast<Byte>(c.Precision));
    p->SetScientificFormat(c.Scientific);
    p->SetUseThousandSeparator(c.Thousands);
    if (c.DisplayFormat != nullptr) p->SetDisplayFormat(c.DisplayFormat);
    Variant shown;
    p->PrepareDisplayValue(c.Value, shown, c.Focused);
    EXPECT_EQ(VarToStr(shown), c.Text);
  }
}

TEST(CalcEditText, TextsReadBackAsValues) {
  TFormatSettingsGuard guard;
  FormatSettings.DecimalSeparator = '.';
  FormatSettings.ThousandSeparator = ',';
  struct Case {
    const char* Text;
    bool Scientific, Thousands;
    bool Valid;
    Variant Value;
  };
  const Case cases[] = {
      {"1,234,567", false, true, true, Variant(1234567.0)},  // a grouped text still converts
      {"1,234,567", false, false, false, Null()},
      {"1,234", true, true, false, Null()},  // exponent form never groups
      {"  -12.5 ", false, false, true, Variant(-12.5)},
      {"", false, false, true, Null()},
      {"1.5e3", false, false, true, Variant(1500.0)},
      {"1e400", false, false, false, Null()},  // beyond what the value can hold
      {"12a", false, false, false, Null()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TObjectPtr<TuiCalcEditProperties> p(NewCalcProperties());
    p->SetScientificFormat(c.Scientific);
    p->SetUseThousandSeparator(c.Thousands);
    Variant value(1.0);
    EXPECT_EQ(p->TextToValue(c.Text, value), c.Valid);
    EXPECT_TRUE(VarIsNull(c.Value) ? VarIsNull(value) : value.AsDouble() == c.Value.AsDouble()) << VarToStr(value);
  }
}

TEST(CalcEditText, TrimExponentMantissa) {
  const char* cases[][2] = {
      {"1.23000E+5", "1.23E+5"}, {"1.00000E+5", "1E+5"},   {"1.203E-10", "1.203E-10"},
      {"100E+5", "100E+5"},      {"2.500e3", "2.5e3"},     {"1.50", "1.5"},
      {"10", "10"},             {"", ""}};
  for (const auto& c : cases) {
    String s = c[0];
    TrimExponentMantissa(s);
    EXPECT_EQ(s, c[1]) << c[0];
  }
}

// ---- The editor on the test display ---------------------------------------------------------------------

class CalcEditTest : public TextEditFormTest {
 protected:
  CalcEditTest() {
    StartEditorKindUnits();
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    Edit = NewEdit<TuiCalcEdit>(10, 10);
  }
  ~CalcEditTest() override { StopEditorKindUnits(); }

  String Text() { return Edit->InnerControl()->Text(); }
  void SetText(const String& AText) {
    Edit->InnerTextEdit()->SetEditValue(Variant(AText));
    Pump();
  }
  // Focused (which shows the edit value), then ATypedText as if typed, then the popup.
  void Open(const char* ATypedText = nullptr) {
    Focus(Edit);
    if (ATypedText != nullptr) SetText(ATypedText);
    Edit->SetDroppedDown(true);
    Pump();
  }
  int Beeps() { return Display.Headless().BeepCount(); }

  TFormatSettingsGuard FormatGuard;
  TuiCalcEdit* Edit = nullptr;
};

TEST_F(CalcEditTest, IsValidCharLooksAtTheTextTheCharacterWouldMake) {
  struct Case {
    const char* Text;
    Integer SelStart, SelLength;
    char Ch;
    bool Valid;
  };
  const Case cases[] = {
      {"", 0, 0, '-', true},           // a lone minus starts a number
      {"", 0, 0, '+', false},
      {"", 0, 0, 'a', false},
      {"12", 2, 0, '5', true},
      {"12", 0, 0, '-', true},
      {"12", 1, 0, '-', false},        // "1-2"
      {"1.5", 0, 3, '-', true},        // over the whole selection: a lone minus again
      {"15", 1, 0, 'e', true},         // "1e5"
      {"1.7e30", 6, 0, '8', true},     // 1.7e308 is the largest
      {"1.8e30", 6, 0, '8', false},
      {"1e-32", 5, 0, '5', false},     // below the smallest magnitude
      {"0", 1, 0, '0', true},
      {"12", 0, 2, '.', false},        // "." alone is no number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " + " + c.Ch);
    SetText(c.Text);
    Edit->SetSelection(c.SelStart, c.SelLength);
    EXPECT_EQ(Edit->IsValidChar(c.Ch), c.Valid);
  }
}

TEST_F(CalcEditTest, TypingKeepsANumberAndBeepsOnRefusals) {
  Focus(Edit);
  SetText("");
  const int before = Beeps();
  Type("-1,5x");  // "," is the decimal separator's key too; a letter is dropped with a beep
  EXPECT_EQ(Text(), "-1.5");
  EXPECT_EQ(Beeps(), before + 1);
  Edit->Properties()->SetBeepOnError(false);
  Type("y");
  EXPECT_EQ(Text(), "-1.5");
  EXPECT_EQ(Beeps(), before + 1);
  EXPECT_FALSE(Edit->DroppedDown()) << "typing does not open the popup";
}

TEST_F(CalcEditTest, ValueIsZeroForAnythingButANumber) {
  Edit->SetValue(12.5);
  EXPECT_EQ(Edit->Value(), 12.5);
  Edit->SetEditValueForStreaming(Null());
  EXPECT_EQ(Edit->Value(), 0);
  Edit->SetEditValueForStreaming(Variant(String("abc")));
  EXPECT_EQ(Edit->Value(), 0);
  Edit->SetEditValueForStreaming(Variant(String("7.25")));
  EXPECT_EQ(Edit->Value(), 7.25);
  EXPECT_THROW(Edit->SetValue(1e400L), EConvertError);
  EXPECT_EQ(Edit->Value(), 7.25) << "a refused value changes nothing";
}

TEST_F(CalcEditTest, PopupHoldsTheCalculatorWorkingOnTheText) {
  EXPECT_FALSE(Edit->PopupWindow()->ModalLoop());
  Edit->Properties()->SetPrecision(6);
  Pump();
  EXPECT_EQ(Edit->Calculator()->Digits(), 6);
  Open("12");
  ASSERT_TRUE(Edit->DroppedDown());
  TuiPopupCalculator* calc = Edit->Calculator();
  EXPECT_EQ(calc->Parent(), Edit->PopupWindow());
  EXPECT_TRUE(calc->Focused());
  // Buttons from the font: twice its height.
  EXPECT_EQ(calc->Metrics().ButtonHeight, 2 * calc->Canvas()->MeasureFontHeight(calc->Font()));
  Type("+3");
  EXPECT_EQ(Text(), "3");
  Type("=");
  EXPECT_EQ(Text(), "15");
  EXPECT_TRUE(Edit->DroppedDown()) << "\"=\" closes only with QuickClose";
  EXPECT_TRUE(Edit->Modified());
  Key(VK_RETURN);
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(Edit->CloseReason(), pcrAccept);
  EXPECT_EQ(Sel(Edit), "15 [0,2]") << "AutoSelect selects the text after closing";
  Edit->ValidateEdit(true);
  EXPECT_EQ(Edit->Value(), 15);
}

TEST_F(CalcEditTest, PopupKeysCloseWithTheirReasons) {
  struct Case {
    const char* Name;
    bool QuickClose;
    std::function<void()> Press;
    bool Closed;
    TuiPopupCloseReason Reason;
  };
  const Case cases[] = {
      {"= quick", true, [this] { Type("="); }, true, pcrAccept},
      {"= plain", false, [this] { Type("="); }, false, pcrClose},
      {"Enter", false, [this] { Key(VK_RETURN); }, true, pcrAccept},
      {"Esc", false, [this] { Key(VK_ESCAPE); }, true, pcrCancel},
      {"F4", false, [this] { Chord({VK_SHIFT}, VK_F4); }, true, pcrToggle},
      {"Alt+Up", false, [this] { Chord({VK_MENU}, VK_UP); }, true, pcrToggle},
      {"Ctrl+Alt+Down", false, [this] { Chord({VK_CONTROL, VK_MENU}, VK_DOWN); }, false, pcrClose},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Edit->Properties()->SetQuickClose(c.QuickClose);
    Open();
    ASSERT_TRUE(Edit->DroppedDown());
    c.Press();
    EXPECT_EQ(!Edit->DroppedDown(), c.Closed);
    if (c.Closed) {
      EXPECT_EQ(Edit->CloseReason(), c.Reason);
    }
    Edit->CloseUp(pcrClose);
    Pump();
  }
}

TEST_F(CalcEditTest, AnErrorClosesIntoTheValueBeforeThePopup) {
  Open("42");
  Type("/0=");
  EXPECT_EQ(Text(), "Error");
  Key(VK_RETURN);
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(Text(), "42");
  Edit->ValidateEdit(true);
  EXPECT_EQ(Edit->Value(), 42);
}

TEST_F(CalcEditTest, ALoneMinusInThePopupCountsAsZero) {
  Focus(Edit);
  SetText("");
  Type("-");
  Edit->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(Edit->DroppedDown());
  Type("+2=");
  EXPECT_EQ(Text(), "2");
}

TEST_F(CalcEditTest, EditorsSharingAnItemEachShowTheirOwnCalculator) {
  TObjectPtr<TuiEditRepository> repository(new TuiEditRepository(nullptr));
  auto* item = static_cast<TuiEditRepositoryCalcItem*>(repository->CreateItem(TuiEditRepositoryCalcItem::StaticClass()));
  item->Properties()->SetQuickClose(true);
  auto* second = NewEdit<TuiCalcEdit>(10, 40);
  Edit->SetRepositoryItem(item);
  second->SetRepositoryItem(item);
  for (TuiCalcEdit* edit : {Edit, second, Edit}) {
    Focus(edit);
    edit->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->Calculator()->Parent(), edit->PopupWindow());
    EXPECT_TRUE(edit->Calculator()->Visible());
    Type("=");
    EXPECT_FALSE(edit->DroppedDown()) << "the item's QuickClose";
  }
  FreeObject(second);
  EXPECT_TRUE(item->Properties()->PopupControl() == nullptr ||
              item->Properties()->PopupControl() == Edit->Calculator());
  Edit->SetRepositoryItem(nullptr);
}

// The popup calculator takes the focus; once a key closed it, the first Tab moves on from the editor.
TEST_F(CalcEditTest, TabAfterClosingMovesOn) {
  auto* next = NewEdit<TuiCalcEdit>(10, 40);
  Focus(Edit);
  Key(VK_TAB);
  ASSERT_TRUE(next->IsFocused()) << "Tab moves on without the popup";
  for (WORD closing : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
    SCOPED_TRACE(closing);
    Open("5");
    ASSERT_TRUE(Edit->DroppedDown());
    Key(closing);
    ASSERT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(GetFocus(), Edit->InnerControl()->Handle());
    Key(VK_TAB);
    EXPECT_TRUE(next->IsFocused());
  }
}

TEST_F(CalcEditTest, AReadOnlyEditorDoesNotDropDown) {
  Edit->Properties()->SetReadOnly(true);
  Open();
  EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(CalcEditTest, RegisteredWithItsDescription) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiCalcEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "CalcEdit|Represents an edit control with a dropdown calculator window");
}

TEST_F(CalcEditTest, AFormWithOneReadsAndWritesBackUnchanged) {
  Edit->SetName("Calc");
  Edit->Properties()->SetPrecision(8);
  Edit->Properties()->SetQuickClose(true);
  Edit->Properties()->SetScientificFormat(true);
  Edit->SetValue(2.5);
  auto* plain = NewEdit<TuiCalcEdit>(10, 40);
  plain->SetName("Plain");
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("Precision = 8"), String::npos) << text;
  EXPECT_EQ(text.find("Precision = 15"), String::npos) << "an unassigned precision is not written";
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* read = ObjectAs<TuiCalcEdit>(copy->FindComponent("Calc"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->Precision(), 8);
  EXPECT_TRUE(read->Properties()->QuickClose());
  EXPECT_TRUE(read->Properties()->ScientificFormat());
  EXPECT_FALSE(ObjectAs<TuiCalcEdit>(copy->FindComponent("Plain"))->Properties()->IsPrecisionStored());
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
}

}  // namespace calcedit_test
