// The text editor's properties: display and edit formatting, the value range, thousand separators (also
// against the C library's grouping), echo and case, list-bound texts, settings and their change
// notification, Assign and the streaming of assigned values.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/editors/uiTextEditProperties.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/controls/editors/EditTesting.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// Numeric properties as the spin and currency editors have them: a range check, optional thousand
// separators, a settable text mode, and the value-like settings published.
class TTestNumericProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TTestNumericProperties, TuiCustomTextEditProperties)
 public:
  TTestNumericProperties() = default;
  bool HasRangeCheck() override { return RangeCheck; }
  bool IsThousandSeparatorUsed(bool AInternalUpdate) override { return Grouped && !AInternalUpdate; }
  Byte GetTextMode() override { return TextMode >= 0 ? static_cast<Byte>(TextMode) : TuiCustomTextEditProperties::GetTextMode(); }
  bool RangeCheck = true;
  bool Grouped = false;
  int TextMode = -1;
};

K58_IMPLEMENT_CLASS(TTestNumericProperties) {
  using S = TTestNumericProperties;
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("DisplayFormat", &S::DisplayFormat, &S::SetDisplayFormat).Stored(&S::IsDisplayFormatStored);
  b.Prop("MaxValue", &S::MaxValue, &S::SetMaxValue).Stored(&S::IsMaxValueStored);
  b.Prop("MinValue", &S::MinValue, &S::SetMinValue).Stored(&S::IsMinValueStored);
}

// Repository items carrying each properties class, as roots of a form text.
class TTestNumericItem : public TuiEditRepositoryItem {
  K58_CLASS(TTestNumericItem, TuiEditRepositoryItem)
 public:
  explicit TTestNumericItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }
  TClass GetPropertiesClass() const override { return TTestNumericProperties::StaticClass(); }
};
K58_IMPLEMENT_CLASS(TTestNumericItem) {
  using S = TTestNumericItem;
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

class TTestTextEditItem : public TuiEditRepositoryItem {
  K58_CLASS(TTestTextEditItem, TuiEditRepositoryItem)
 public:
  explicit TTestTextEditItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }
  TClass GetPropertiesClass() const override { return TuiTextEditProperties::StaticClass(); }
};
K58_IMPLEMENT_CLASS(TTestTextEditItem) {
  using S = TTestTextEditItem;
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

namespace {

using namespace editors_test;

// A data source's defaults, settable per test.
class TFormatsProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  String DisplayFormat, EditFormat;
  bool Currency = false, FieldText = false;
  Integer Precision = 15, MaxLength = 0;
  double MinValue = 0, MaxValue = 0;
  void DefaultDisplayFormat(String& AFormat) override { AFormat = DisplayFormat; }
  void DefaultEditFormat(String& AFormat) override { AFormat = EditFormat; }
  bool DefaultIsCurrency() override { return Currency; }
  bool IsDisplayTextByEvent() override { return FieldText; }
  Integer DefaultPrecision() override { return Precision; }
  Integer DefaultMaxLength() override { return MaxLength; }
  double DefaultMinValue() override { return MinValue; }
  double DefaultMaxValue() override { return MaxValue; }
};

// The locale separators pinned for the test, restored after it.
class TextEditPropertiesTest : public EditUnitsTest {
 protected:
  TextEditPropertiesTest() : saved_(FormatSettings) {
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.CurrencyDecimals = 2;
  }
  ~TextEditPropertiesTest() override { FormatSettings = saved_; }

  template <class T = TTestNumericProperties>
  TObjectPtr<T> NewProperties() {
    return TObjectPtr<T>(static_cast<T*>(TuiCustomEditProperties::CreateOfClass(T::StaticClass(), nullptr)));
  }

  static String Display(TuiCustomTextEditProperties* P, const Variant& V, bool AFocused) {
    Variant display;
    P->PrepareDisplayValue(V, display, AFocused);
    return VarToStr(display);
  }

  static String Grouped(const String& S) {
    String text = S;
    InsertThousandSeparators(text);
    return text;
  }

 private:
  TFormatSettings saved_;
};

TEST_F(TextEditPropertiesTest, FormatsValuesFocusedAndUnfocused) {
  struct Case {
    const char* Name;
    String DisplayFormat;  // assigned when not empty
    String EditFormat;     // assigned when not empty
    bool UseDisplayFormatWhenEditing;
    bool Grouped;
    bool Currency;  // through a provider
    Variant Value;
    const char* Unfocused;
    const char* Focused;
  };
  const Case cases[] = {
      {"plain", "", "", false, false, false, Variant(1234.5), "1234.5", "1234.5"},
      {"display format only unfocused", "0.00", "", false, false, false, Variant(1234.5), "1234.50", "1234.5"},
      {"display format serves editing", "0.00", "", true, false, false, Variant(1234.5), "1234.50", "1234.50"},
      {"edit format", "", "0.000", false, false, false, Variant(2.5), "2.5", "2.500"},
      {"edit format beats display format", "0.0", "#", true, false, false, Variant(2.0), "2.0", "2"},
      {"grouped while editing", "", "", false, true, false, Variant(1234567.25), "1234567.25", "1,234,567.25"},
      {"grouped negative keeps its sign in front", "", "", false, true, false, Variant(-1234.5), "-1234.5",
       "-1,234.5"},
      {"grouped short number", "", "", false, true, false, Variant(-123), "-123", "-123"},
      {"currency decimals", "", "", false, false, true, Variant(1234.5), "1234.5", "1234.50"},
      {"text value", "", "", false, false, false, Variant(String("12.25")), "12.25", "12.25"},
      {"text value formatted", "0.0", "", true, false, false, Variant(String("12.25")), "12.3", "12.3"},
      {"null", "0.00", "", true, false, false, Null(), "", ""},
      {"empty text", "0.00", "", true, false, false, Variant(String()), "", ""},
      {"unassigned", "0.00", "", true, false, false, Variant(), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormatsProvider provider;
    provider.Currency = c.Currency;
    TObjectPtr<TTestNumericProperties> p = NewProperties();
    p->SetDefaultValuesProvider(&provider);
    p->Grouped = c.Grouped;
    if (!c.DisplayFormat.empty()) p->SetDisplayFormat(c.DisplayFormat);
    if (!c.EditFormat.empty()) p->SetEditFormat(c.EditFormat);
    p->SetUseDisplayFormatWhenEditing(c.UseDisplayFormatWhenEditing);
    EXPECT_EQ(Display(p.get(), c.Value, false), c.Unfocused);
    EXPECT_EQ(Display(p.get(), c.Value, true), c.Focused);
  }
}

TEST_F(TextEditPropertiesTest, WithoutRangeCheckTheValueIsItsStringAndOtherKindsAreRefused) {
  TObjectPtr<TTestNumericProperties> p = NewProperties();
  p->SetDisplayFormat("0.00");
  p->RangeCheck = false;
  EXPECT_EQ(Display(p.get(), Variant(1.5), false), "1.5");
  EXPECT_EQ(Display(p.get(), Variant(String("abc")), true), "abc");

  p->RangeCheck = true;
  try {
    Display(p.get(), Variant::FromDateTime(EncodeDate(2024, 3, 5)), false);
    ADD_FAILURE() << "a date is no number";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Could not convert to numeric value");
  }
}

TEST_F(TextEditPropertiesTest, DisplayTextPassesEchoAndAListBoundValueMustBeAnItem) {
  TObjectPtr<TTestNumericProperties> p = NewProperties();
  p->RangeCheck = false;
  p->SetCharCase(ecUpperCase);
  EXPECT_EQ(p->GetDisplayText(Variant(String("abc"))), u"ABC");
  p->SetEchoMode(eemPassword);
  EXPECT_EQ(p->GetDisplayText(Variant(String("äbc"))), u"***") << "one mark per character";

  // In a list-bound text mode a text that is no item is shown as it is, neither formatted nor cased.
  p->SetEchoMode(eemNormal);
  p->SetCharCase(ecLowerCase);
  p->RangeCheck = true;
  p->SetDisplayFormat("0.0");
  p->TextMode = temEditFixedList;
  p->LookupItems()->SetText("1\n2\n");
  EXPECT_EQ(p->GetDisplayText(Variant(String("1"))), u"1.0");
  EXPECT_EQ(p->GetDisplayText(Variant(String("3"))), u"3");
  EXPECT_FALSE(p->CompareDisplayValues(Variant(String("1")), Variant(String("3"))));
  EXPECT_TRUE(p->CompareDisplayValues(Variant(String("1")), Variant(1.0)));
}

TEST_F(TextEditPropertiesTest, ValueLikeSettingsResolveOwnThenProviderThenDefault) {
  TFormatsProvider provider;
  provider.DisplayFormat = "0.0";
  provider.MaxLength = 12;
  provider.MinValue = -5;
  provider.MaxValue = 5;
  TObjectPtr<TTestNumericProperties> p = NewProperties();
  EXPECT_EQ(p->DisplayFormat(), "");
  EXPECT_EQ(p->MaxLength(), 0);
  p->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p->DisplayFormat(), "0.0");
  EXPECT_EQ(p->MaxLength(), 12);
  EXPECT_EQ(p->MinValue(), -5);
  EXPECT_EQ(p->MaxValue(), 5);
  // An explicitly empty display format is a setting of its own: the provider's does not take over.
  p->SetDisplayFormat("");
  p->SetMaxLength(-3);
  p->SetMinValue(1);
  EXPECT_EQ(p->DisplayFormat(), "");
  EXPECT_EQ(p->MaxLength(), 0) << "a negative length is none";
  EXPECT_TRUE(p->AssignedValues()->MaxLength());
  EXPECT_EQ(p->MinValue(), 1);
  EXPECT_EQ(p->MaxValue(), 5);
  p->RestoreDefaults();
  EXPECT_EQ(p->DisplayFormat(), "0.0");
  EXPECT_EQ(p->MaxLength(), 12);
}

TEST_F(TextEditPropertiesTest, EditFormatResolution) {
  struct Case {
    const char* Name;
    bool HasProvider;
    String OwnEdit, OwnDisplay, ProviderEdit, ProviderDisplay;
    bool ProviderCurrency, FieldText, UseDisplayFormatWhenEditing;
    const char* Format;
    bool IsCurrency, IsFieldText;
  };
  const Case cases[] = {
      {"nothing", false, "", "", "", "", false, false, true, "", false, false},
      {"own edit format first", true, "0.0", "", "#", "", false, true, false, "0.0", false, false},
      {"field formats its own text", true, "", "", "#", "", false, true, true, "", false, true},
      {"provider's edit format", true, "", "", "#.#", "0", false, false, false, "#.#", false, false},
      {"own display format, allowed", true, "", "0.00", "", "#", false, false, true, "0.00", false, false},
      {"own display format, not allowed", true, "", "0.00", "", "#", false, false, false, "", false, false},
      {"provider's display format", true, "", "", "", "#", true, false, true, "#", false, false},
      {"currency field", true, "", "", "", "", true, false, false, "", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormatsProvider provider;
    provider.EditFormat = c.ProviderEdit;
    provider.DisplayFormat = c.ProviderDisplay;
    provider.Currency = c.ProviderCurrency;
    provider.FieldText = c.FieldText;
    TObjectPtr<TTestNumericProperties> p = NewProperties();
    if (c.HasProvider) p->SetDefaultValuesProvider(&provider);
    if (!c.OwnEdit.empty()) p->SetEditFormat(c.OwnEdit);
    if (!c.OwnDisplay.empty()) p->SetDisplayFormat(c.OwnDisplay);
    p->SetUseDisplayFormatWhenEditing(c.UseDisplayFormatWhenEditing);
    bool isCurrency = true, isFieldText = true;
    String format = "stale";
    p->GetEditFormatInfo(isCurrency, isFieldText, format, nullptr);
    EXPECT_EQ(format, c.Format);
    EXPECT_EQ(isCurrency, c.IsCurrency);
    EXPECT_EQ(isFieldText, c.IsFieldText);
    EXPECT_EQ(p->EditFormat(), c.Format);
  }
}

TEST_F(TextEditPropertiesTest, RangeCheckAppliesTheBoundsThatAreSet) {
  struct Case {
    const char* Name;
    bool SetMin;
    double Min;
    bool SetMax;
    double Max;
    std::vector<double> Fail, Pass;
  };
  const Case cases[] = {
      {"fresh: no range", false, 0, false, 0, {}, {-1e9, 0, 1e9}},
      {"lower bound alone", true, 10, false, 0, {5, 9.99}, {10, 1000}},
      {"upper bound alone", false, 0, true, -10, {-9, 0}, {-10, -1e6}},
      {"both", true, 1, true, 100, {0, 101}, {1, 100, 50}},
      {"both set the wrong way round: none", true, 10, true, 1, {}, {0, 5, 20}},
      {"equal bounds: none", true, 3, true, 3, {}, {0, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TObjectPtr<TTestNumericProperties> p = NewProperties();
    if (c.SetMin) p->SetMinValue(c.Min);
    if (c.SetMax) p->SetMaxValue(c.Max);
    auto check = [&](double v) {
      Variant display(v);
      String errorText;
      bool error = false;
      p->ValidateDisplayValue(display, errorText, error, nullptr);
      return error ? errorText : String("ok");
    };
    for (double v : c.Fail) EXPECT_EQ(check(v), "Value out of bounds") << v;
    for (double v : c.Pass) EXPECT_EQ(check(v), "ok") << v;
  }
}

TEST_F(TextEditPropertiesTest, RangeIsCheckedOnlyWithARangeCheckAndOnNumbers) {
  TObjectPtr<TTestNumericProperties> p = NewProperties();
  p->SetMinValue(1);
  p->SetMaxValue(100);
  Variant display(String("500"));
  String errorText;
  bool error = false;
  p->ValidateDisplayValue(display, errorText, error, nullptr);
  EXPECT_FALSE(error) << "a text is checked only once the editor made a number of it";
  display = Variant(500);
  p->RangeCheck = false;
  p->ValidateDisplayValue(display, errorText, error, nullptr);
  EXPECT_FALSE(error);
}

TEST_F(TextEditPropertiesTest, ThousandSeparators) {
  struct Case {
    const char* Text;
    const char* Grouped;
  };
  const Case cases[] = {
      {"1234567.891", "1,234,567.891"},
      {"  1234E5 ", "  1,234E5 "},
      {"123", "123"},
      {"1,2,3,4", "1,234"},
      {"1234e-5", "1,234e-5"},
      {"", ""},
      {"-123", "-123"},
      {"-123456", "-123,456"},
      {"+1234", "+1,234"},
      {" -1234.5 ", " -1,234.5 "},
      {"-", "-"},
      {".5", ".5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Grouped(c.Text), c.Grouped) << c.Text;

  // Another locale's separators.
  FormatSettings.ThousandSeparator = '.';
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(Grouped("1.2345678,25"), "12.345.678,25");

  String exponent, text = "12e3E4";
  ExtractExponent(text, exponent);
  EXPECT_EQ(text, "12");
  EXPECT_EQ(exponent, "e3E4");
}

// The C library's grouping of a real locale (built from the system's locale sources) is the oracle for
// unsigned integers and decimals.
TEST_F(TextEditPropertiesTest, ThousandSeparatorsGroupAsTheCLibrary) {
  if (std::system("command -v localedef >/dev/null 2>&1") != 0 ||
      !FileExists("/usr/share/i18n/locales/en_US")) {
    GTEST_SKIP() << "locale sources are not installed";
  }
  char dirTemplate[] = "/tmp/k58groupXXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  const std::string dir = dirTemplate;
  const std::string build = "localedef -i en_US -f UTF-8 " + dir + "/en_US.UTF-8 >/dev/null 2>&1";
  (void)std::system(build.c_str());
  const char* oldPath = std::getenv("LOCPATH");
  const std::string savedPath = oldPath != nullptr ? oldPath : "";
  setenv("LOCPATH", dir.c_str(), 1);
  const std::string savedLocale = std::setlocale(LC_NUMERIC, nullptr);
#if defined(__SANITIZE_ADDRESS__)
  __lsan_disable();  // the C library keeps the locale it loaded for good
#endif
  const bool loaded = std::setlocale(LC_NUMERIC, "en_US.UTF-8") != nullptr;
#if defined(__SANITIZE_ADDRESS__)
  __lsan_enable();
#endif
  std::vector<std::pair<String, String>> samples;
  if (loaded) {
    const long long integers[] = {0, 7, 12, 999, 1000, 9999, 10000, 123456, 999999, 1000000, 2147483647,
                                  9223372036854775807LL};
    char buffer[64];
    for (long long v : integers) {
      std::snprintf(buffer, sizeof buffer, "%'lld", v);
      const String grouped = buffer;
      std::snprintf(buffer, sizeof buffer, "%lld", v);
      samples.emplace_back(buffer, grouped);
    }
    const double decimals[] = {0.5, 1234.5, 98765.4321, 1000000.125};
    for (double v : decimals) {
      std::snprintf(buffer, sizeof buffer, "%'.4f", v);
      const String grouped = buffer;
      std::snprintf(buffer, sizeof buffer, "%.4f", v);
      samples.emplace_back(buffer, grouped);
    }
    std::setlocale(LC_NUMERIC, savedLocale.c_str());
  }
  if (oldPath != nullptr)
    setenv("LOCPATH", savedPath.c_str(), 1);
  else
    unsetenv("LOCPATH");
  std::filesystem::remove_all(dir);
  if (!loaded) GTEST_SKIP() << "the locale could not be built";

  for (const auto& [plain, grouped] : samples) EXPECT_EQ(Grouped(plain), grouped) << plain;
}

TEST_F(TextEditPropertiesTest, NumericText) {
  struct Case {
    const char* Text;
    bool Numeric;
  };
  const Case cases[] = {{"1,234.5", true}, {" 12 ", true}, {"1E3", true}, {"-0.5", true},
                        {"", false},       {",", false},    {"12a", false}, {"1.2.3", false}};
  for (const Case& c : cases) EXPECT_EQ(IsNumericText(c.Text), c.Numeric) << c.Text;
}

TEST_F(TextEditPropertiesTest, EchoModeAndCharCase) {
  struct Case {
    TuiEditEchoMode Echo;
    char PasswordChar;
    TEditCharCase CharCase;
    const char* Text;
    const char* Shown;
  };
  const Case cases[] = {
      {eemPassword, '\0', ecNormal, "abc", "***"},
      {eemPassword, '#', ecUpperCase, "ab", "##"},
      {eemPassword, '\0', ecNormal, "频道1", "***"},
      {eemPassword, '\0', ecNormal, "", ""},
      {eemNormal, '#', ecNormal, "aBc", "aBc"},
      {eemNormal, '\0', ecUpperCase, "aBcä", "ABCÄ"},
      {eemNormal, '\0', ecLowerCase, "aBcÄ", "abcä"},
  };
  for (const Case& c : cases) {
    TObjectPtr<TuiTextEditProperties> p = NewProperties<TuiTextEditProperties>();
    p->SetEchoMode(c.Echo);
    p->SetPasswordChar(c.PasswordChar);
    p->SetCharCase(c.CharCase);
    String text = c.Text;
    p->ApplyEchoMode(text);
    EXPECT_EQ(text, c.Shown) << c.Text;
  }
}

TEST_F(TextEditPropertiesTest, ListBoundTextsMustBeItems) {
  struct Case {
    int TextMode;
    TEditCharCase CharCase;
    const char* Text;
    bool Accepted;
    const char* Value;  // afterwards
  };
  const Case cases[] = {
      {temEditFixedList, ecNormal, "one", true, "one"},
      {temEditFixedList, ecNormal, "three", false, "three"},
      {temEditFixedList, ecUpperCase, "two", true, "TWO"},
      {temEditFixedList, ecUpperCase, "three", false, "three"},
      {temFixedList, ecNormal, "TWO", true, "TWO"},
      {temFixedList, ecNormal, "", true, ""},
      {temFree, ecLowerCase, "Three", true, "three"},
      {temNoCursor, ecNormal, "three", true, "three"},
  };
  for (const Case& c : cases) {
    TObjectPtr<TTestNumericProperties> p = NewProperties();
    p->TextMode = c.TextMode;
    p->SetCharCase(c.CharCase);
    p->LookupItems()->SetText("One\nTwo\n");
    Variant value(String(c.Text));
    EXPECT_EQ(p->AdjustTextValue(value, false), c.Accepted) << c.TextMode << " " << c.Text;
    EXPECT_EQ(VarToStr(value), c.Value) << c.TextMode << " " << c.Text;
  }
  TObjectPtr<TuiTextEditProperties> p = NewProperties<TuiTextEditProperties>();
  p->LookupItems()->SetText("Äpfel\nBirne\n");
  EXPECT_TRUE(p->IsLookupText("äPFEL"));
  EXPECT_TRUE(p->IsLookupText("birne"));
  EXPECT_FALSE(p->IsLookupText("Birn"));
  EXPECT_FALSE(p->IsLookupText(""));
}

TEST_F(TextEditPropertiesTest, TextModeAndViewStyle) {
  TObjectPtr<TuiTextEditProperties> p = NewProperties<TuiTextEditProperties>();
  EXPECT_EQ(p->GetTextMode(), temFree);
  EXPECT_TRUE(p->CanRevertValue());
  p->SetHideCursor(true);
  EXPECT_EQ(p->GetTextMode(), temNoCursor);
  EXPECT_FALSE(p->CanRevertValue());

  using VS = TuiTextEditViewStyle;
  struct Case {
    VS Style;
    Byte ButtonsViewStyle;
    bool HideCursor;
  };
  const Case cases[] = {{VS::vsButtonsOnly, 1, true}, {VS::vsNormal, 0, false},
                        {VS::vsButtonsAutoWidth, 2, true}, {VS::vsHideCursor, 0, true}};
  for (const Case& c : cases) {
    p->SetViewStyle(c.Style);
    EXPECT_EQ(p->ViewStyle(), c.Style);
    EXPECT_EQ(p->ButtonsViewStyle(), c.ButtonsViewStyle);
    EXPECT_EQ(p->HideCursor(), c.HideCursor);
  }
}

TEST_F(TextEditPropertiesTest, SettersNotifyOnceAndOnlyOnChange) {
  TObjectPtr<TTestNumericProperties> p = NewProperties();
  int changes = 0;
  p->SetOnPropertiesChanged([&](TObject*) { ++changes; });
  auto count = [&](auto&& AAction) {
    changes = 0;
    AAction();
    return changes;
  };
  EXPECT_EQ(count([&] { p->SetDisplayFormat(""); }), 1) << "assigning the empty format is a change";
  EXPECT_EQ(count([&] { p->SetDisplayFormat(""); }), 0);
  EXPECT_EQ(count([&] { p->SetMaxLength(5); }), 1);
  EXPECT_EQ(count([&] { p->SetMaxLength(5); }), 0);
  EXPECT_EQ(count([&] { p->SetMinValue(0); }), 1);
  EXPECT_EQ(count([&] { p->SetMinValue(0); }), 0);
  EXPECT_EQ(count([&] { p->SetEchoMode(eemPassword); }), 1);
  EXPECT_EQ(count([&] { p->SetEchoMode(eemPassword); }), 0);
  EXPECT_EQ(count([&] { p->LookupItems()->Add("x"); }), 1);
  EXPECT_EQ(count([&] { p->SetFixedListSelection(false); }), 0) << "matters only in text mode 2";
  p->TextMode = temFixedList;
  EXPECT_EQ(count([&] { p->SetFixedListSelection(true); }), 1);
  EXPECT_EQ(count([&] { p->AssignedValues()->SetMaxLength(false); }), 1);

  // Format changes arrive through the format controller, which forgets freed properties; the flag is up
  // only while they are told.
  std::vector<bool> seen;
  p->SetOnPropertiesChanged([&](TObject*) { seen.push_back(p->IsFormatChanging()); });
  NewProperties();
  TuiFormatController* controller = GetFormatController();
  const bool plain = controller->UsePlainDateFormats();
  controller->SetUsePlainDateFormats(!plain);
  controller->SetUsePlainDateFormats(plain);
  EXPECT_EQ(seen, (std::vector<bool>{true, true}));
  p->SetOnPropertiesChanged([&](TObject*) { throw Exception("listener failed"); });
  EXPECT_THROW(p->FormatChanged(), Exception);
  EXPECT_FALSE(p->IsFormatChanging());
}

TEST_F(TextEditPropertiesTest, AssignCopiesAssignedValuesOnly) {
  TFormatsProvider provider;
  provider.MaxLength = 40;
  TObjectPtr<TTestNumericProperties> source = NewProperties();
  source->SetDisplayFormat("0.0");
  source->SetMinValue(2);
  source->SetCharCase(ecUpperCase);
  source->SetEchoMode(eemPassword);
  source->SetPasswordChar('#');
  source->SetImmediateUpdateText(true);
  source->LookupItems()->SetText("b\na\n");
  source->SetLookupItemsSorted(true);
  source->ValidChars().set('x');
  int newTexts = 0;
  source->SetOnNewLookupDisplayText([&](TObject*, const String&) { ++newTexts; });

  TObjectPtr<TTestNumericProperties> target = NewProperties();
  target->SetDefaultValuesProvider(&provider);
  target->SetMaxLength(8);
  target->SetEditFormat("#");
  target->Assign(source.get());
  EXPECT_EQ(target->DisplayFormat(), "0.0");
  EXPECT_EQ(target->MinValue(), 2);
  EXPECT_TRUE(target->AssignedValues()->MinValue());
  EXPECT_FALSE(target->AssignedValues()->MaxValue());
  EXPECT_EQ(target->MaxLength(), 0) << "the source's provider came along; its length is unassigned";
  EXPECT_FALSE(target->AssignedValues()->MaxLength());
  EXPECT_FALSE(target->AssignedValues()->EditFormat());
  EXPECT_EQ(target->CharCase(), ecUpperCase);
  EXPECT_EQ(target->EchoMode(), eemPassword);
  EXPECT_EQ(target->PasswordChar(), '#');
  EXPECT_TRUE(target->ImmediateUpdateText());
  EXPECT_TRUE(target->LookupItemsSorted());
  EXPECT_EQ(target->LookupItems()->CommaText(), "a,b");
  EXPECT_TRUE(target->ValidChars().test('x'));
  target->OnNewLookupDisplayText()(target.get(), "z");
  EXPECT_EQ(newTexts, 1);
}

TEST_F(TextEditPropertiesTest, AssignedValuesAreStreamedOnlyWhereTheValueCannotCarryThem) {
  {
    SCOPED_TRACE("numeric properties publishing the formats and bounds");
    TObjectPtr<TTestNumericItem> item(new TTestNumericItem(nullptr));
    item->SetName("Item");
    auto* p = static_cast<TTestNumericProperties*>(item->Properties());
    p->SetDisplayFormat("");
    p->SetMinValue(0);
    p->SetMaxValue(9);
    p->SetMaxLength(4);
    const String text = WriteComponentToText(item.get());
    EXPECT_NE(text.find("Properties.AssignedValues.DisplayFormat = True"), String::npos) << text;
    EXPECT_NE(text.find("Properties.AssignedValues.MinValue = True"), String::npos) << text;
    EXPECT_EQ(text.find("AssignedValues.MaxValue"), String::npos) << "the value 9 says it\n" << text;
    EXPECT_EQ(text.find("AssignedValues.MaxLength"), String::npos) << text;

    TObjectPtr<TTestNumericItem> copy(new TTestNumericItem(nullptr));
    ReadComponentFromText(text, copy.get(), "item");
    auto* read = static_cast<TTestNumericProperties*>(copy->Properties());
    TFormatsProvider provider;
    provider.DisplayFormat = "0.00";
    read->SetDefaultValuesProvider(&provider);
    EXPECT_EQ(read->DisplayFormat(), "") << "the provider's format does not take over";
    EXPECT_TRUE(read->AssignedValues()->MinValue());
    EXPECT_EQ(read->MaxValue(), 9);
  }
  {
    SCOPED_TRACE("the published text editor properties");
    TObjectPtr<TTestTextEditItem> item(new TTestTextEditItem(nullptr));
    item->SetName("Item");
    auto* p = static_cast<TuiTextEditProperties*>(item->Properties());
    p->SetDisplayFormat("");
    p->SetMaxLength(16);
    p->SetCharCase(ecUpperCase);
    p->LookupItems()->SetText("One\nTwo\n");
    p->SetReadOnly(true);
    const String text = WriteComponentToText(item.get());
    EXPECT_EQ(text.find("AssignedValues"), String::npos) << text;
    EXPECT_NE(text.find("Properties.MaxLength = 16"), String::npos) << text;

    TObjectPtr<TTestTextEditItem> copy(new TTestTextEditItem(nullptr));
    ReadComponentFromText(text, copy.get(), "item");
    auto* read = static_cast<TuiTextEditProperties*>(copy->Properties());
    EXPECT_EQ(read->MaxLength(), 16);
    EXPECT_TRUE(read->AssignedValues()->MaxLength());
    EXPECT_EQ(read->CharCase(), ecUpperCase);
    EXPECT_EQ(read->LookupItems()->CommaText(), "One,Two");
    EXPECT_TRUE(read->ReadOnly());
    EXPECT_FALSE(read->AssignedValues()->DisplayFormat());

    // Older resources mark the empty display format with a property of its own.
    const String marked = "object Item: TTestTextEditItem\n  Properties.IsDisplayFormatAssigned = True\nend\n";
    TObjectPtr<TTestTextEditItem> old(new TTestTextEditItem(nullptr));
    ReadComponentFromText(marked, old.get(), "old");
    EXPECT_TRUE(static_cast<TuiTextEditProperties*>(old->Properties())->AssignedValues()->DisplayFormat());
  }
}

}  // namespace
