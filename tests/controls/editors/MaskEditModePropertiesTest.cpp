// The mask settings of the masked editor's Properties: defaults, the blank mask, CharCase and
// CaseInsensitive, MaxLength kept 0, a bad mask refused before anything changes, the provider's mask, the
// display values of focused and unfocused editors, and the validation error.
#include "controls/editors/uiMaskEditProperties.h"
#include "tests/controls/editors/MaskEditModeTest.h"

namespace editors_test {
namespace {

struct MaskProperties {
  MaskProperties() {
    properties->SetOnPropertiesChanged([this](TObject*) { ++changes; });
  }
  String Display(const String& AValue, bool AFocused) {
    Variant display;
    properties->PrepareDisplayValue(Variant(AValue), display, AFocused);
    return VarToStr(display);
  }
  TObjectPtr<TuiCustomMaskEditProperties> properties{static_cast<TuiCustomMaskEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiCustomMaskEditProperties::StaticClass(), nullptr))};
  int changes = 0;
};

TEST(MaskEditProperties, DefaultsAndCaseCoupling) {
  MaskProperties p;
  EXPECT_FALSE(p.properties->IsMasked());
  EXPECT_EQ(p.properties->MaskKind(), emkStandard);
  EXPECT_TRUE(p.properties->CaseInsensitive());
  EXPECT_TRUE(p.properties->ValidateOnEnter());
  p.properties->SetCharCase(ecUpperCase);
  p.properties->SetCaseInsensitive(false);
  EXPECT_TRUE(p.properties->CaseInsensitive());
  p.properties->SetCharCase(ecNormal);
  p.properties->SetCaseInsensitive(false);
  EXPECT_FALSE(p.properties->CaseInsensitive());
  // Three spaces are no mask.
  p.properties->SetEditMask("   ");
  EXPECT_FALSE(p.properties->IsMasked());
}

TEST(MaskEditProperties, MaxLengthStaysZeroWithAMask) {
  MaskProperties p;
  p.properties->SetEditMask("000");
  p.properties->SetMaxLength(10);
  EXPECT_EQ(p.properties->MaxLength(), 0);
  p.properties->SetEditMask("");
  p.properties->SetMaxLength(10);
  EXPECT_EQ(p.properties->MaxLength(), 10);
}

TEST(MaskEditProperties, BadMaskChangesNothing) {
  MaskProperties p;
  p.properties->SetMaskKind(emkRegExpr);
  p.properties->SetEditMask("\\d+");
  const int changes = p.changes;
  EXPECT_THROW(p.properties->SetEditMask("(\\d"), EuiMaskEditError);
  EXPECT_EQ(p.properties->EditMask(), "\\d+");
  EXPECT_EQ(p.changes, changes);
  // Switching between the two regular-expression kinds keeps the pattern.
  p.properties->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(p.properties->EditMask(), "\\d+");
}

class MaskProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  void DefaultEditMask(String& AMask) override { AMask = "00-00"; }
};

TEST(MaskEditProperties, StandardKindTakesTheProvidersMask) {
  MaskProperties p;
  MaskProvider provider;
  p.properties->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p.properties->EditMask(), "00-00");
  p.properties->SetEditMask("99");
  EXPECT_EQ(p.properties->EditMask(), "99");
  p.properties->SetEditMask("");
  p.properties->SetMaskKind(emkRegExpr);
  EXPECT_EQ(p.properties->EditMask(), "");
  p.properties->SetDefaultValuesProvider(nullptr);
}

TEST(MaskEditProperties, DisplayValues) {
  MaskProperties p;
  p.properties->SetEditMask("00-00;0;_");
  EXPECT_EQ(p.Display("1234", false), "1234");
  EXPECT_EQ(p.Display("1234", true), "12-34");
  p.properties->SetAlwaysShowBlanksAndLiterals(true);
  EXPECT_EQ(p.Display("1234", false), "12-34");
  EXPECT_EQ(p.Display("12", false), "12-__");
  // Regular-expression kinds always show the formatted text; the display mode follows kind and mask.
  p.properties->SetMaskKind(emkRegExprEx);
  p.properties->SetEditMask("'(' \\d{3} ')'");
  EXPECT_EQ(p.Display("(123", false), "(123)");
  p.properties->SetMaskKind(emkRegExpr);
  p.properties->SetEditMask("\\d+");
  EXPECT_EQ(p.Display("12x3", false), "123");
  // Without a mask the text editor's display.
  p.properties->SetEditMask("");
  EXPECT_EQ(p.Display("12x3", true), "12x3");
}

TEST(MaskEditProperties, ValidationError) {
  MaskProperties p;
  p.properties->SetEditMask("00-00");
  Variant display(String("12-3_"));
  String error;
  bool failed = false;
  p.properties->ValidateDisplayValue(display, error, failed, nullptr);
  EXPECT_TRUE(failed);
  EXPECT_EQ(error, "The edit value is invalid");
  display = Variant(String("12-34"));
  error.clear();
  failed = false;
  p.properties->ValidateDisplayValue(display, error, failed, nullptr);
  EXPECT_FALSE(failed);
  p.properties->SetIgnoreMaskBlank(true);
  display = Variant(String("__-__"));
  p.properties->ValidateDisplayValue(display, error, failed, nullptr);
  EXPECT_FALSE(failed);
}

TEST(MaskEditProperties, AssignCopiesTheMaskSettings) {
  MaskProperties from, to;
  from.properties->SetMaskKind(emkRegExprEx);
  from.properties->SetEditMask("'(' \\d");
  from.properties->SetIgnoreMaskBlank(true);
  from.properties->SetAlwaysShowBlanksAndLiterals(true);
  from.properties->SetCaseInsensitive(false);
  to.properties->Assign(from.properties.get());
  EXPECT_EQ(to.properties->MaskKind(), emkRegExprEx);
  EXPECT_EQ(to.properties->EditMask(), "'(' \\d");
  EXPECT_TRUE(to.properties->IgnoreMaskBlank());
  EXPECT_TRUE(to.properties->AlwaysShowBlanksAndLiterals());
  EXPECT_FALSE(to.properties->CaseInsensitive());
  EXPECT_EQ(to.changes, 1);
}

}  // namespace
}  // namespace editors_test
