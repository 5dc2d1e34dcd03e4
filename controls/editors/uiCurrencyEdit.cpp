// The currency editor: amount texts, Null display, decimal places counted while typing, and Value.
#include "controls/editors/uiCurrencyEdit.h"

#include <cmath>

#include "controls/foundation/uiFormats.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

namespace uicurrencyeditconsts {
const char* const scxCurrencyEditDescription = "CurrencyEdit|Represents an editor enabling editing currency data";
}  // namespace uicurrencyeditconsts

namespace {

bool IsCurrencyNumberChar(char AChar) {
  return (AChar >= '0' && AChar <= '9') || AChar == '+' || AChar == '-' || AChar == 'e' || AChar == 'E' ||
         AChar == FormatSettings.DecimalSeparator;
}

}  // namespace

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCurrencyEditProperties) {}

K58_IMPLEMENT_CLASS(TuiCurrencyEditProperties) {
  using S = TuiCurrencyEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("DecimalPlaces", &S::DecimalPlaces, &S::SetDecimalPlaces).Default(2);
  b.Prop("DisplayFormat", &S::DisplayFormat, &S::SetDisplayFormat).Stored(&S::IsDisplayFormatStored);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  b.Prop("EditFormat", &S::EditFormat, &S::SetEditFormat).Stored(&S::IsEditFormatStored);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("MaxValue", &S::MaxValue, &S::SetMaxValue).Stored(&S::IsMaxValueStored);
  b.Prop("MinValue", &S::MinValue, &S::SetMinValue).Stored(&S::IsMinValueStored);
  b.Prop("Nullable", &S::Nullable, &S::SetNullable).Default(true);
  b.Prop("NullString", &S::NullString, &S::SetNullString).Default(String());
  b.Prop("PasswordChar", &S::PasswordChar, &S::SetPasswordChar).Default('\0');
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("UseDisplayFormatWhenEditing", &S::UseDisplayFormatWhenEditing, &S::SetUseDisplayFormatWhenEditing)
      .Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("UseThousandSeparator", &S::UseThousandSeparator, &S::SetUseThousandSeparator).Default(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomCurrencyEditProperties::TuiCustomCurrencyEditProperties() { SetValidateOnEnter(true); }

void TuiCustomCurrencyEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomCurrencyEditProperties*>(Source);
  if (source == nullptr) return TuiCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomTextEditProperties::Assign(Source);
    decimalPlaces_ = source->decimalPlaces_;
    SetNullable(source->Nullable());
    SetNullString(source->NullString());
    SetUseThousandSeparator(source->UseThousandSeparator());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomCurrencyEditProperties::SetNullable(bool Value) {
  if (nullable_ == Value) return;
  nullable_ = Value;
  Changed();
}

void TuiCustomCurrencyEditProperties::SetNullString(const String& Value) {
  if (nullString_ == Value) return;
  nullString_ = Value;
  Changed();
}

void TuiCustomCurrencyEditProperties::SetUseThousandSeparator(bool Value) {
  if (useThousandSeparator_ == Value) return;
  useThousandSeparator_ = Value;
  Changed();
}

bool TuiCustomCurrencyEditProperties::TextToCurrencyValue(const String& AText, double& AValue) {
  String text = AText;
  RemoveThousandSeparators(text);
  Extended value = 0;
  AValue = 0;
  if (!TextToFloat(text, &value, fvExtended) || !std::isfinite(value)) return false;
  const Extended magnitude = std::fabs(value);
  if (value != 0 && (magnitude < 5e-324L || magnitude > 1.7e308L)) return false;
  AValue = static_cast<double>(value);
  return true;
}

TClass TuiCustomCurrencyEditProperties::GetEditClass() const { return TuiCurrencyEdit::StaticClass(); }

void TuiCustomCurrencyEditProperties::GetDefaultDisplayFormat(String& AFormat) {
  AFormat = GetFormatController()->CurrencyDisplayFormat();
}

bool TuiCustomCurrencyEditProperties::SupportsValueFormatting(bool AFocused) {
  if (AFocused) return false;
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return provider != nullptr && provider->IsDisplayTextDefined(false);
}

void TuiCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                          bool AEditFocused) {
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || IsNullOrEmptyTextVariant(AEditValue)) {
    if (AEditFocused)
      ADisplayValue = Variant(String());
    else if (nullable_)
      ADisplayValue = Variant(nullString_);
    else
      TuiCustomTextEditProperties::PrepareDisplayValue(Variant(0.0), ADisplayValue, false);
    return;
  }
  // A text edit value is shown as the amount it reads as.
  Variant value = AEditValue;
  double amount = 0;
  if (VarIsStr(AEditValue) && TextToCurrencyValue(VarToStr(AEditValue), amount)) value = Variant(amount);
  try {
    TuiCustomTextEditProperties::PrepareDisplayValue(value, ADisplayValue, AEditFocused);
  } catch (const EConvertError&) {
    ADisplayValue = AEditFocused ? Variant(String()) : Variant(VarToStr(AEditValue));
  } catch (const EVariantError&) {
    ADisplayValue = AEditFocused ? Variant(String()) : Variant(VarToStr(AEditValue));
  }
}

void TuiCustomCurrencyEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                           TuiCustomEdit* AEdit) {
  AError = false;
  TuiCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TuiCustomCurrencyEditProperties::HasEditFormat(TuiCustomEdit* AEdit) {
  bool isCurrency = false, isFieldText = false;
  String format;
  GetEditFormatInfo(isCurrency, isFieldText, format, AEdit);
  return !format.empty() || isFieldText;
}

bool TuiCustomCurrencyEditProperties::AdjustTextValue(Variant& AValue, bool AEditFocused) {
  if (!AEditFocused) return true;
  if (HasEditFormat(nullptr)) return true;
  const String text = VarToStr(AValue);
  double amount = 0;
  return text.empty() || TextToCurrencyValue(text, amount);
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCurrencyEdit) {}

TClass TuiCustomCurrencyEdit::GetPropertiesClass() const { return TuiCurrencyEditProperties::StaticClass(); }

void TuiCustomCurrencyEdit::Initialize() {
  TuiCustomTextEdit::Initialize();
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

double TuiCustomCurrencyEdit::Value() {
  const Variant value = EditValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  if (VarIsStr(value)) {
    // The number the amount reading gives, separators and all; no second reading by other rules.
    double amount = 0;
    TuiCustomCurrencyEditProperties::TextToCurrencyValue(VarToStr(value), amount);
    return amount;
  }
  if (!IsNumericVariant(value)) return 0;
  try {
    return value.AsDouble();
  } catch (const EVariantError&) {
    return 0;
  }
}

void TuiCustomCurrencyEdit::SetValue(double X) {
  TuiCustomCurrencyEditProperties* properties = ActiveProperties();
  if (properties->AssignedValues()->MinValue() && X < properties->MinValue())
    X = properties->MinValue();
  else if (properties->AssignedValues()->MaxValue() && !(X <= properties->MaxValue()))
    X = properties->MaxValue();
  SetEditValue(Variant(X));
}

void TuiCustomCurrencyEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TuiCustomCurrencyEditProperties* properties = ActiveProperties();
  const String text = VarToStr(ADisplayValue);
  double amount = 0;
  if (!text.empty() && text != properties->NullString() &&
      TuiCustomCurrencyEditProperties::TextToCurrencyValue(text, amount)) {
    AEditValue = Variant(amount);
    return;
  }
  AEditValue = properties->Nullable() ? Null() : Variant(Currency());
}

void TuiCustomCurrencyEdit::DoEditKeyPress(char& Key) {
  TuiCustomCurrencyEditProperties* properties = ActiveProperties();
  const bool thousands = properties->UseThousandSeparator() && Key == FormatSettings.ThousandSeparator;
  if (!thousands && (Key == '.' || Key == ',')) Key = FormatSettings.DecimalSeparator;
  if (static_cast<unsigned char>(Key) > 31 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TuiCustomTextEdit::DoEditKeyPress(Key);
}

bool TuiCustomCurrencyEdit::IsValidChar(char AChar) {
  if (static_cast<unsigned char>(AChar) < 32) return true;
  TuiCustomCurrencyEditProperties* properties = ActiveProperties();
  const bool thousands = properties->UseThousandSeparator() && AChar == FormatSettings.ThousandSeparator;
  if (!IsCurrencyNumberChar(AChar) && !thousands) return false;
  if (properties->HasEditFormat(this)) return true;
  // The text as it would be with the character typed over the selection.
  String text;
  GetDisplayText(text);
  const Integer start = SelStart();
  text = Utf8Copy(text, 1, start) + String(1, AChar) + Utf8Copy(text, start + SelLength() + 1, Utf8Length(text));
  if (text == "-") return true;
  const size_t separator = text.find(FormatSettings.DecimalSeparator);
  if (separator != String::npos) {
    size_t end = text.find_first_of("eE", separator + 1);
    if (end == String::npos) end = text.size();
    if (static_cast<Integer>(end - separator - 1) > properties->DecimalPlaces()) return false;
  }
  double amount = 0;
  return TuiCustomCurrencyEditProperties::TextToCurrencyValue(text, amount);
}

void TuiCustomCurrencyEdit::PropertiesChanged(TObject* Sender) {
  if (!IsEditFocused() && !IsLoadingOrDestroying()) DataBinding()->UpdateDisplayValue();
  TuiCustomTextEdit::PropertiesChanged(Sender);
}

void TuiCustomCurrencyEdit::PasteFromClipboard() {
  if (DoEditing()) TuiCustomTextEdit::PasteFromClipboard();
}

// ---- Published currency editor ----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCurrencyEdit) {
  using S = TuiCurrencyEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeNameValue);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("Value", &S::Value, &S::SetValue).Stored(false);
}

TClass TuiCurrencyEdit::GetPropertiesClass() const { return TuiCurrencyEditProperties::StaticClass(); }
