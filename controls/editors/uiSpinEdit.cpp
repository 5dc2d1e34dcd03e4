// The spin editor's step arithmetic, its properties (value type, limits, text reading, validation) and the
// editor control (value, stepping by buttons, keys and wheel, auto-repeat).
#include "controls/editors/uiSpinEdit.h"

#include <climits>
#include <cmath>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

namespace uispineditconsts {
const char* const scxSpinEditInvalidNumericValue = "Invalid numeric value";
const char* const scxSpinEditDescription = "SpinEdit|Represents a spin editor";
}  // namespace uispineditconsts

// ---- Step arithmetic ------------------------------------------------------------------------------------

namespace k58::editors {

Int64 RoundToInt64(double X) {
  if (std::isnan(X)) return 0;
  // 2^63 is the first double past the range; everything from there on saturates.
  if (X >= 9223372036854775808.0) return LLONG_MAX;
  if (X < -9223372036854775808.0) return LLONG_MIN;
  return static_cast<Int64>(std::nearbyint(X));
}

bool SpinAddStepInt(Int64 ACur, Int64 AStep, Int64 AMin, Int64 AMax, Integer AMode, Int64& AResult) {
  // The distances to the limits, saturated at the type's extremes when they leave it.
  Int64 lo, hi;
  if (__builtin_sub_overflow(AMin, ACur, &lo)) lo = LLONG_MIN;
  if (__builtin_sub_overflow(AMax, ACur, &hi)) hi = LLONG_MAX;
  if (lo <= AStep && AStep <= hi) {
    AResult = ACur + AStep;
    return true;
  }
  if (AMode == slmClamp) {
    AResult = AStep > hi ? AMax : AMin;
    return true;
  }
  if (AMode != slmWrap) return false;
  const __int128 count = static_cast<__int128>(AMax) - AMin + 1;
  __int128 offset = (static_cast<__int128>(ACur) - AMin + AStep) % count;
  if (offset < 0) offset += count;
  AResult = static_cast<Int64>(AMin + offset);
  return true;
}

bool SpinAddStepFloat(double ACur, double AStep, double AMin, double AMax, Integer AMode, double& AResult) {
  double lo = AMin - ACur, hi = AMax - ACur;
  if (!std::isfinite(lo)) lo = -SpinFloatTypeMax;
  if (!std::isfinite(hi)) hi = SpinFloatTypeMax;
  if (lo <= AStep && AStep <= hi) {
    AResult = ACur + AStep;
    return true;
  }
  if (AMode == slmClamp) {
    AResult = AStep > hi ? AMax : AMin;
    return true;
  }
  if (AMode != slmWrap) return false;
  const double period = AMax - AMin;
  if (!(period > 0) || !std::isfinite(period)) {
    AResult = AStep > hi ? AMin : AMax;
    return true;
  }
  double offset = std::fmod(ACur - AMin + AStep, period);
  if (offset < 0) offset += period;
  AResult = std::min(AMin + offset, AMax);
  return true;
}

}  // namespace k58::editors

namespace {

using k58::editors::SpinFloatTypeMax;

// The user-change flag of an editor for a scope.
class SpinUserChange {
 public:
  explicit SpinUserChange(TuiCustomEdit& AEdit) : edit_(AEdit), saved_(AEdit.IsUserAction()) { AEdit.SetUserAction(true); }
  ~SpinUserChange() { edit_.SetUserAction(saved_); }
  SpinUserChange(const SpinUserChange&) = delete;
  SpinUserChange& operator=(const SpinUserChange&) = delete;

 private:
  TuiCustomEdit& edit_;
  bool saved_;
};

double SpinVariantToDouble(const Variant& AValue) {
  return VarType(AValue) == varInt64 ? static_cast<double>(AValue.AsInt64()) : AValue.AsDouble();
}

bool IsSpinDigit(char AChar) { return AChar >= '0' && AChar <= '9'; }

}  // namespace

// ---- Button settings --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSpinEditButtons) {
  using S = TuiSpinEditButtons;
  b.Prop("Position", &S::Position, &S::SetPosition).Default(sbpVert);
  b.Prop("ShowFastButtons", &S::ShowFastButtons, &S::SetShowFastButtons).Default(false);
}

TPersistent* TuiSpinEditButtons::GetOwner() { return owner_; }

void TuiSpinEditButtons::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiSpinEditButtons*>(Source);
  if (source == nullptr) return TPersistent::Assign(Source);
  if (owner_ != nullptr) owner_->BeginUpdate();
  position_ = source->position_;
  showFastButtons_ = source->showFastButtons_;
  if (owner_ != nullptr) owner_->EndUpdate();
}

void TuiSpinEditButtons::Changed() {
  if (owner_ != nullptr) owner_->Changed();
}

void TuiSpinEditButtons::SetPosition(TuiSpinEditButtonsPosition Value) {
  if (position_ == Value) return;
  position_ = Value;
  Changed();
}

void TuiSpinEditButtons::SetShowFastButtons(bool Value) {
  if (showFastButtons_ == Value) return;
  showFastButtons_ = Value;
  Changed();
}

// ---- Assigned-value flags -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSpinEditPropertiesValues) {
  using S = TuiSpinEditPropertiesValues;
  // The ValueType property itself is stored exactly when assigned, so the flag needs no entry of its own.
  b.Prop("ValueType", &S::ValueType, &S::SetValueType).Stored(false);
}

void TuiSpinEditPropertiesValues::Assign(TPersistent* Source) {
  TuiTextEditPropertiesValues::Assign(Source);
  if (auto* source = dynamic_cast<TuiSpinEditPropertiesValues*>(Source)) SetValueType(source->ValueType());
}

void TuiSpinEditPropertiesValues::RestoreDefaults() {
  TuiTextEditPropertiesValues::RestoreDefaults();
  SetValueType(false);
}

void TuiSpinEditPropertiesValues::SetValueType(bool Value) {
  if (valueType_ == Value) return;
  valueType_ = Value;
  Changed();
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomSpinEditProperties) {}

K58_IMPLEMENT_CLASS(TuiSpinEditProperties) {
  using S = TuiSpinEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("CanEdit", &S::CanEdit, &S::SetCanEdit).Default(true);
  b.Prop("DisplayFormat", &S::DisplayFormat, &S::SetDisplayFormat).Stored(&S::IsDisplayFormatStored);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  b.Prop("EditFormat", &S::EditFormat, &S::SetEditFormat).Stored(&S::IsEditFormatStored);
  b.Prop("ExceptionOnInvalidInput", &S::ExceptionOnInvalidInput, &S::SetExceptionOnInvalidInput).Default(false);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("Increment", &S::Increment, &S::SetIncrement).Stored(&S::IsIncrementStored);
  b.Prop("LargeIncrement", &S::LargeIncrement, &S::SetLargeIncrement).Stored(&S::IsLargeIncrementStored);
  b.Prop("MaxValue", &S::MaxValue, &S::SetMaxValue).Stored(&S::IsMaxValueStored);
  b.Prop("MinValue", &S::MinValue, &S::SetMinValue).Stored(&S::IsMinValueStored);
  b.Prop("PasswordChar", &S::PasswordChar, &S::SetPasswordChar).Default('\0');
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("SpinButtons", &S::SpinButtons, &S::SetSpinButtons);
  b.Prop("UseCtrlIncrement", &S::UseCtrlIncrement, &S::SetUseCtrlIncrement).Default(false);
  b.Prop("UseDisplayFormatWhenEditing", &S::UseDisplayFormatWhenEditing, &S::SetUseDisplayFormatWhenEditing)
      .Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("ValueType", &S::ValueType, &S::SetValueType).Stored(&S::IsValueTypeStored);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnGetValue", &S::OnGetValue, &S::SetOnGetValue);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomSpinEditProperties::TuiCustomSpinEditProperties() {
  Buttons()->Add();
  Buttons()->Add();
  spinButtons_.reset(new TuiSpinEditButtons(this));
}

TuiCustomSpinEditProperties::~TuiCustomSpinEditProperties() = default;

void TuiCustomSpinEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomSpinEditProperties*>(Source);
  if (source == nullptr) return TuiCustomMaskEditProperties::Assign(Source);
  BeginUpdate();
  try {
    SetDefaultValuesProvider(source->DefaultValuesProvider());
    AssignedValues()->SetValueType(false);
    if (source->AssignedValues()->ValueType()) SetValueType(source->valueType_);
    TuiCustomMaskEditProperties::Assign(Source);
    SetCanEdit(source->CanEdit());
    SetCircular(source->Circular());
    SetExceptionOnInvalidInput(source->ExceptionOnInvalidInput());
    SetIncrement(source->Increment());
    SetLargeIncrement(source->LargeIncrement());
    SetSpinButtons(source->SpinButtons());
    SetUseCtrlIncrement(source->UseCtrlIncrement());
    onGetValue_ = source->onGetValue_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomSpinEditProperties::SetCanEdit(bool Value) {
  if (canEdit_ == Value) return;
  canEdit_ = Value;
  Changed();
}

void TuiCustomSpinEditProperties::SetCircular(bool Value) {
  if (circular_ == Value) return;
  circular_ = Value;
  Changed();
}

void TuiCustomSpinEditProperties::SetExceptionOnInvalidInput(bool Value) {
  if (exceptionOnInvalidInput_ == Value) return;
  exceptionOnInvalidInput_ = Value;
  Changed();
}

void TuiCustomSpinEditProperties::SetIncrement(double Value) {
  if (increment_ == Value) return;
  increment_ = Value;
  Changed();
}

void TuiCustomSpinEditProperties::SetLargeIncrement(double Value) {
  if (largeIncrement_ == Value) return;
  largeIncrement_ = Value;
  Changed();
}

void TuiCustomSpinEditProperties::SetUseCtrlIncrement(bool Value) {
  if (useCtrlIncrement_ == Value) return;
  useCtrlIncrement_ = Value;
  Changed();
}

TuiSpinEditValueType TuiCustomSpinEditProperties::ValueType() {
  if (AssignedValues()->ValueType()) return valueType_;
  // Only a provider bound to data counts: the neutral provider every editor has would make each
  // standalone spin editor an integer one.
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (provider != nullptr && provider->IsDataAware()) return provider->DefaultIsFloatValue() ? vtFloat : vtInt;
  return vtFloat;
}

void TuiCustomSpinEditProperties::SetValueType(TuiSpinEditValueType Value) {
  if (AssignedValues()->ValueType() && valueType_ == Value) return;
  BeginUpdate();
  valueType_ = Value;
  AssignedValues()->SetValueType(true);
  EndUpdate();
}

bool TuiCustomSpinEditProperties::HasGetValueHandler() const { return onGetValue_.Assigned(); }

void TuiCustomSpinEditProperties::Changed() {
  if (buttonsChanging_) return TuiCustomMaskEditProperties::Changed();
  const bool fast = spinButtons_ != nullptr && spinButtons_->ShowFastButtons();
  TuiEditButtons* buttons = Buttons();
  if ((fast && buttons->Count() == 2) || (!fast && buttons->Count() == 4)) {
    k58::editors::TScopedFlag guard(buttonsChanging_, true);
    BeginUpdate();
    try {
      if (fast) {
        buttons->Add();
        buttons->Add();
      } else {
        buttons->Delete(3);
        buttons->Delete(2);
      }
    } catch (...) {
      EndUpdate(false);
      throw;
    }
    EndUpdate(false);
  }
  TuiCustomMaskEditProperties::Changed();
}

TClass TuiCustomSpinEditProperties::GetViewDataClass() const { return TuiSpinEditViewData::StaticClass(); }
TClass TuiCustomSpinEditProperties::GetEditClass() const { return TuiSpinEdit::StaticClass(); }
TClass TuiCustomSpinEditProperties::GetViewInfoClass() const { return TuiSpinEditViewInfo::StaticClass(); }

Integer TuiCustomSpinEditProperties::GetLimitMode() {
  if (circular_) return k58::editors::slmWrap;
  return HasValueLimits() ? k58::editors::slmClamp : k58::editors::slmNone;
}

Variant TuiCustomSpinEditProperties::RoundToValueType(TuiSpinEditValueType AValueType, double X) {
  if (AValueType == vtFloat) return Variant(X);
  return Variant(k58::editors::RoundToInt64(X));
}

void TuiCustomSpinEditProperties::GetMaxValueOfType(Variant& AValue) {
  const TuiSpinEditValueType type = ValueType();
  if (IsMaxValueInForce())
    AValue = RoundToValueType(type, MaxValue());
  else
    AValue = type == vtFloat ? Variant(SpinFloatTypeMax) : Variant(static_cast<Int64>(LLONG_MAX));
}

void TuiCustomSpinEditProperties::GetMinValueOfType(Variant& AValue) {
  const TuiSpinEditValueType type = ValueType();
  if (IsMinValueInForce())
    AValue = RoundToValueType(type, MinValue());
  else
    AValue = type == vtFloat ? Variant(-SpinFloatTypeMax) : Variant(static_cast<Int64>(LLONG_MIN));
}

void TuiCustomSpinEditProperties::ClampToLimits(const Variant& AValue, Variant& AResult) {
  AResult = AValue;
  if (!IsNumericVariant(AValue)) return;
  if (IsMinValueInForce() && AValue < Variant(MinValue()))
    AResult = Variant(MinValue());
  else if (IsMaxValueInForce() && AValue > Variant(MaxValue()))
    AResult = Variant(MaxValue());
}

bool TuiCustomSpinEditProperties::TextToValue(const String& AText, Variant& AValue) {
  if (ValueType() == vtFloat) {
    Extended value = 0;
    if (!TextToFloat(AText, &value, fvExtended)) return false;
    // The range is checked on the double the value becomes, where the limit literal lives.
    const double number = static_cast<double>(value);
    if (!std::isfinite(number) || number < -SpinFloatTypeMax || number > SpinFloatTypeMax) return false;
    AValue = Variant(number);
    return true;
  }
  Int64 value = 0;
  if (!TryStrToInt64(Trim(AText), value)) return false;
  AValue = Variant(value);
  return true;
}

bool TuiCustomSpinEditProperties::ConvertToValueType(const Variant& AValue, Variant& AResult) {
  if (VarIsStr(AValue)) return TextToValue(VarToStr(AValue), AResult);
  if (!IsNumericVariant(AValue)) return false;
  try {
    if (ValueType() == vtFloat) {
      AResult = Variant(SpinVariantToDouble(AValue));
    } else if (VarIsOrdinal(AValue)) {
      AResult = Variant(AValue.AsInt64());
    } else {
      AResult = RoundToValueType(vtInt, AValue.AsDouble());
    }
  } catch (const EVariantError&) {
    return false;
  }
  return true;
}

bool TuiCustomSpinEditProperties::ConvertIfNumeric(const Variant& AValue, Variant& AResult) {
  if (!IsNumericVariant(AValue)) {
    AResult = AValue;
    return true;
  }
  return ConvertToValueType(AValue, AResult);
}

bool TuiCustomSpinEditProperties::NormalizeValue(const Variant& AValue, Variant& AResult) {
  if (VarIsNull(AValue) || VarIsEmpty(AValue) || IsNullOrEmptyTextVariant(AValue)) return ConvertToValueType(Variant(0), AResult);
  return ConvertToValueType(AValue, AResult);
}

bool TuiCustomSpinEditProperties::IsEditValueValid(Variant& AEditValue, bool) {
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || IsNullOrEmptyTextVariant(AEditValue)) return true;
  if (IsDateTimeVariant(AEditValue)) return true;
  Variant read;
  if (VarIsStr(AEditValue) && !TextToValue(VarToStr(AEditValue), read)) return false;
  Variant normal;
  if (!NormalizeValue(AEditValue, normal)) return false;
  Variant converted;
  if (!ConvertIfNumeric(normal, converted)) return false;
  AEditValue = converted;
  return true;
}

void TuiCustomSpinEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  auto* edit = dynamic_cast<TuiCustomSpinEdit*>(AEdit);
  Variant value;
  if (edit != nullptr && edit->TypedSinceSync()) {
    AError = !edit->TextToEditValue(VarToStr(ADisplayValue), false, AErrorText, value);
    // Unreadable text without an error to show goes back to the last valid value, which is what the
    // editor then holds; only an error text keeps the typed text for correcting.
    if (AError && AErrorText.empty()) {
      AError = false;
      value = edit->InternalValue();
    }
  } else if (edit != nullptr) {
    value = edit->InternalValue();
  } else if (!TextToValue(VarToStr(ADisplayValue), value)) {
    value = Null();
  }
  if (!AError) {
    if (VarIsNull(value) || VarIsEmpty(value)) {
      Variant clamped;
      ClampToLimits(Variant(0), clamped);
      if (!ConvertToValueType(clamped, value)) value = clamped;
    }
    Variant shown;
    PrepareDisplayValue(value, shown, edit != nullptr && edit->IsEditFocused());
    ADisplayValue = shown;
    Variant lowest, highest;
    GetMinValueOfType(lowest);
    GetMaxValueOfType(highest);
    if (IsNumericVariant(value) && (value < lowest || value > highest)) {
      AError = true;
      AErrorText = GetValidateErrorText(evkValueOutOfBounds);
    }
  }
  if (CanValidate()) {
    bool modified = false;
    DoValidate(ADisplayValue, AErrorText, AError, AEdit, modified);
  }
}

bool TuiCustomSpinEditProperties::SupportsValueFormatting(bool AFocused) {
  return !AFocused && !AssignedValues()->DisplayFormat();
}

void TuiCustomSpinEditProperties::GetEmptyDisplayValue(Variant& AValue) {
  Variant clamped, value;
  ClampToLimits(Variant(0), clamped);
  if (!ConvertToValueType(clamped, value)) value = clamped;
  PrepareDisplayValue(value, AValue, false);
}

bool TuiCustomSpinEditProperties::AdjustTextValue(Variant& AValue, bool AEditFocused) {
  if (!TuiCustomMaskEditProperties::AdjustTextValue(AValue, AEditFocused)) return false;
  if (!AdjustsText()) return true;
  const String text = VarToStr(AValue);
  if (text.empty()) return true;
  Variant value;
  if (!TextToValue(text, value)) return false;
  Variant lowest, highest;
  GetMinValueOfType(lowest);
  GetMaxValueOfType(highest);
  // Out of the limits the text becomes the number's own text; it is not clamped.
  if (value < lowest || value > highest) AValue = Variant(VarToStr(value));
  return true;
}

void TuiCustomSpinEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (VarIsStr(AEditValue) && !IsMasked()) {
    // A text value is shown as the number it stands for.
    Variant value;
    if (TextToValue(VarToStr(AEditValue), value))
      return TuiCustomMaskEditProperties::PrepareDisplayValue(value, ADisplayValue, AEditFocused);
  }
  TuiCustomMaskEditProperties::PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomSpinEdit) {}

TuiCustomSpinEdit::TuiCustomSpinEdit(TComponent* AOwner) : TuiCustomMaskEdit(AOwner) {}

TuiCustomSpinEdit::~TuiCustomSpinEdit() { FreeRepeatTimer(); }

TClass TuiCustomSpinEdit::GetPropertiesClass() const { return TuiSpinEditProperties::StaticClass(); }

void TuiCustomSpinEdit::Initialize() {
  TuiCustomMaskEdit::Initialize();
  SetStoredEditValue(Variant(0));
  internalValue_ = Variant(0);
  keyPressedButton_ = 0;
}

bool TuiCustomSpinEdit::IsValueStored() const {
  const Variant v = const_cast<TuiCustomSpinEdit*>(this)->Value();
  return !(IsNumericVariant(v) && SpinVariantToDouble(v) == 0.0);
}

Variant TuiCustomSpinEdit::GetIncrement(Integer AButton) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  const double step = AButton >= 2 ? properties->LargeIncrement() : properties->Increment();
  Variant result = TuiCustomSpinEditProperties::RoundToValueType(properties->ValueType(), step);
  const bool down = AButton == 0 || AButton == 2;
  if (!down) return result;
  if (VarType(result) == varInt64) {
    const Int64 v = result.AsInt64();
    return Variant(static_cast<Int64>(v == LLONG_MIN ? LLONG_MAX : -v));
  }
  return Variant(-result.AsDouble());
}

void TuiCustomSpinEdit::GetValue(Variant& AValue) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  Variant value;
  if (IsEditFocused()) {
    if (typedSinceSync_) {
      String text;
      GetDisplayText(text);
      String errorText;
      if (!TextToEditValue(text, false, errorText, value)) value = internalValue_;
    } else {
      value = internalValue_;
    }
    if (!IsNumericVariant(value)) value = Variant(0);
  } else {
    value = EditValue();
    if (!IsNumericVariant(value) && !VarIsStr(value)) properties->ClampToLimits(Variant(0), value);
  }
  if (!properties->ConvertToValueType(value, AValue)) {
    // A text that is no number stands for the clamped zero.
    Variant zero;
    properties->ClampToLimits(Variant(0), zero);
    if (!properties->ConvertToValueType(zero, AValue)) AValue = zero;
  }
}

void TuiCustomSpinEdit::SetValue(const Variant& AValue) {
  if (!IsNumericVariant(AValue)) return;
  Variant value = AValue;
  if (ActiveProperties()->IsEditValueValid(value, IsEditFocused())) InternalSetEditValue(value);
}

void TuiCustomSpinEdit::ValueToDisplayText(const Variant& AValue, String& AText) {
  Variant display;
  ActiveProperties()->PrepareDisplayValue(AValue, display, IsEditFocused());
  AText = VarToStr(display);
}

bool TuiCustomSpinEdit::DoGetValue(const String& AText, Variant& AValue, String& AErrorText) {
  bool error = true;
  TuiCustomSpinEditProperties* own = Properties();
  if (own->OnGetValue().Assigned()) own->OnGetValue()(this, AText, AValue, AErrorText, error);
  TuiCustomSpinEditProperties* active = ActiveProperties();
  if (RepositoryItem() != nullptr && active != own && active->OnGetValue().Assigned())
    active->OnGetValue()(this, AText, AValue, AErrorText, error);
  return !error;
}

bool TuiCustomSpinEdit::TextToEditValue(const String& ADisplayValue, bool ARaiseOnError, String& AErrorText,
                                        Variant& AEditValue) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  AErrorText.clear();
  if (ADisplayValue.empty()) {
    IuiEditDefaultValuesProvider* provider = properties->DefaultValuesProvider();
    if (provider != nullptr && provider->DefaultRequired())
      properties->ClampToLimits(Variant(0), AEditValue);
    else
      AEditValue = Null();
    return true;
  }
  Variant value;
  bool ok = properties->TextToValue(ADisplayValue, value);
  if (!ok && (properties->HasGetValueHandler() || (RepositoryItem() != nullptr && Properties()->HasGetValueHandler()))) {
    try {
      ok = DoGetValue(ADisplayValue, value, AErrorText);
    } catch (const Exception& e) {
      if (ARaiseOnError) throw Exception(e.Message());
      AErrorText = e.Message();
      return false;
    }
  }
  if (!ok) {
    if (AErrorText.empty()) AErrorText = LocalizeText(uispineditconsts::scxSpinEditInvalidNumericValue);
    if (!properties->ExceptionOnInvalidInput()) AErrorText.clear();
    if (ARaiseOnError && properties->ExceptionOnInvalidInput()) throw Exception(AErrorText);
    value = internalValue_;
  }
  Variant converted;
  AEditValue = properties->ConvertToValueType(value, converted) ? converted : value;
  return ok;
}

void TuiCustomSpinEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  String errorText;
  TextToEditValue(VarToStr(ADisplayValue), true, errorText, AEditValue);
}

void TuiCustomSpinEdit::SynchronizeDisplayValue() {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  Variant value = EditValue();
  Variant normal;
  if (properties->IsEditValueValid(value, IsEditFocused()) && properties->NormalizeValue(value, normal)) {
    internalValue_ = normal;
  } else {
    Variant clamped;
    properties->ClampToLimits(Variant(0), clamped);
    if (!properties->ConvertToValueType(clamped, internalValue_)) internalValue_ = clamped;
  }
  TuiCustomMaskEdit::SynchronizeDisplayValue();
  typedSinceSync_ = false;
}

void TuiCustomSpinEdit::SynchronizeEditValue() {
  TuiCustomMaskEdit::SynchronizeEditValue();
  const Variant value = EditValue();
  if (IsNumericVariant(value)) internalValue_ = value;
  typedSinceSync_ = false;
}

void TuiCustomSpinEdit::ApplyValueLimits() {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  const Variant value = Value();
  Variant lowest, highest;
  properties->GetMinValueOfType(lowest);
  properties->GetMaxValueOfType(highest);
  const bool saved = IsUserAction();
  SetUserAction(Modified());
  try {
    if (value < lowest)
      SetValue(lowest);
    else if (value > highest)
      SetValue(highest);
  } catch (...) {
    SetUserAction(saved);
    throw;
  }
  SetUserAction(saved);
}

void TuiCustomSpinEdit::PropertiesChanged(TObject* Sender) {
  TuiCustomMaskEdit::PropertiesChanged(Sender);
  if (Modified() && !DataBinding()->IsInDesignMode() && !IsLoadingOrDestroying()) ApplyValueLimits();
}

bool TuiCustomSpinEdit::CalcSpinValue(Integer AButton, Variant& AResult) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  const Integer mode = properties->GetLimitMode();
  const Variant cur = Value();
  Variant lowest, highest;
  properties->GetMinValueOfType(lowest);
  properties->GetMaxValueOfType(highest);
  const bool up = AButton == 1 || AButton == 3;
  Variant result;
  if (cur < lowest) {
    if (up)
      result = lowest;
    else if (mode == k58::editors::slmWrap)
      result = highest;
    else
      return false;
  } else if (cur > highest) {
    if (!up)
      result = highest;
    else if (mode == k58::editors::slmWrap)
      result = lowest;
    else
      return false;
  } else if (properties->ValueType() == vtInt) {
    Int64 r = 0;
    if (!k58::editors::SpinAddStepInt(cur.AsInt64(), GetIncrement(AButton).AsInt64(), lowest.AsInt64(),
                                      highest.AsInt64(), mode, r))
      return false;
    result = Variant(r);
  } else {
    double r = 0;
    if (!k58::editors::SpinAddStepFloat(SpinVariantToDouble(cur), GetIncrement(AButton).AsDouble(),
                                        SpinVariantToDouble(lowest), SpinVariantToDouble(highest), mode, r))
      return false;
    result = Variant(r);
  }
  if (!properties->ConvertToValueType(result, AResult)) AResult = result;
  return true;
}

bool TuiCustomSpinEdit::DoSpinStep(Integer AButton) {
  LockChangeEvents(true);
  bool changed = false;
  try {
    Variant value;
    if (DoEditing() && CalcSpinValue(AButton, value)) {
      const String oldText = Text();
      internalValue_ = value;
      String text;
      ValueToDisplayText(value, text);
      keyTyping_ = false;
      {
        SpinUserChange userChange(*this);
        SetInternalDisplayValue(Variant(text));
      }
      typedSinceSync_ = false;
      changed = Text() != oldText;
      if (changed) {
        SetModified(true);
        if (!ActiveProperties()->KeepsSelectionOnSpin() && InnerTextEdit() != nullptr) {
          SetSelStart(Utf8Length(Text()));
          SetSelLength(0);
        }
        if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) PostEditValue(true);
      }
    }
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  return changed;
}

// ---- Keys -------------------------------------------------------------------------------------------------

void TuiCustomSpinEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  keyTyping_ = false;
  const bool spinKey = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
  if (spinKey && (!properties->UseCtrlIncrement() || Shift.Contains(ssCtrl))) {
    if (DataBinding()->IsModified() || DoEditing()) {
      const Integer index = Key == VK_PRIOR ? 3 : Key == VK_UP ? 1 : Key == VK_DOWN ? 0 : 2;
      SetKeyPressedButton(index + 1);
      if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
      DoSpinStep(index);
    }
    Key = 0;
    return;
  }
  StopSpinning();
  if (Key != VK_ESCAPE) keyTyping_ = true;
  if (!properties->CanEdit() && IsEditorKey(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
  }
  if (Key != 0) TuiCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TuiCustomSpinEdit::DoEditKeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT) StopSpinning();
  keyTyping_ = false;
  TuiCustomMaskEdit::DoEditKeyUp(Key, Shift);
}

void TuiCustomSpinEdit::DoEditKeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings.DecimalSeparator;
  const auto code = static_cast<unsigned char>(Key);
  if ((code >= 32 || Key == 8 || Key == '.') && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  keyTyping_ = true;
  TuiCustomMaskEdit::DoEditKeyPress(Key);
}

bool TuiCustomSpinEdit::IsValidChar(char AChar) {
  TuiCustomSpinEditProperties* properties = ActiveProperties();
  if (properties->CanEdit() && properties->HasGetValueHandler()) return true;
  const auto code = static_cast<unsigned char>(AChar);
  if (!properties->CanEdit() && (code >= 32 || AChar == 8 || AChar == '.')) return false;
  if (IsSpinDigit(AChar) || AChar == '+' || AChar == '-' || AChar == 'e' || AChar == 'E') return true;
  if (properties->ValueType() == vtFloat && AChar == FormatSettings.DecimalSeparator) return true;
  return code < 32 || properties->ValidChars()[code];
}

void TuiCustomSpinEdit::ContentChanged(TObject* Sender) {
  typedSinceSync_ = keyTyping_;
  TuiCustomMaskEdit::ContentChanged(Sender);
}

void TuiCustomSpinEdit::CutToClipboard() {
  if (IsUserAction() && !ActiveProperties()->CanEdit()) return;
  TuiCustomMaskEdit::CutToClipboard();
}

void TuiCustomSpinEdit::PasteFromClipboard() {
  if (IsUserAction() && !ActiveProperties()->CanEdit()) return;
  k58::editors::TScopedFlag typing(keyTyping_, true);
  TuiCustomMaskEdit::PasteFromClipboard();
}

// ---- Mouse and auto-repeat --------------------------------------------------------------------------------

void TuiCustomSpinEdit::DoButtonDown(Integer AButtonIndex) {
  TuiCustomMaskEdit::DoButtonDown(AButtonIndex);
  if (keyPressedButton_ != 0) return;
  DoSpinStep(AButtonIndex);
  StartAutoRepeat();
}

void TuiCustomSpinEdit::StartAutoRepeat() {
  if (ActiveProperties()->ReadOnly() || !IsDataAvailable()) return;
  FreeRepeatTimer();
  firstTickDone_ = false;
  timer_ = new TuiTimer(this);
  timer_->SetInterval(400);
  timer_->SetOnTimer([this](TObject* Sender) { AutoRepeatTick(Sender); });
  timer_->SetEnabled(true);
}

void TuiCustomSpinEdit::AutoRepeatTick(TObject*) {
  if (!firstTickDone_) {
    firstTickDone_ = true;
    timer_->SetInterval(100);
  }
  TuiCustomEditViewInfo* view = EditViewInfo();
  const Integer pressed = view->PressedButton;
  if (pressed >= 0 && pressed < view->ButtonCount()) DoSpinStep(view->Buttons[static_cast<size_t>(pressed)]->ButtonIndex);
}

void TuiCustomSpinEdit::FreeRepeatTimer() {
  if (timer_ == nullptr) return;
  TuiTimer* timer = timer_;
  timer_ = nullptr;
  FreeTimerAfterTick(timer);
}

void TuiCustomSpinEdit::SetKeyPressedButton(Integer Value) {
  if (keyPressedButton_ == Value) return;
  keyPressedButton_ = Value;
  if (HandleAllocated() && !IsLoadingOrDestroying()) UpdateAtCursorPos();
}

void TuiCustomSpinEdit::StopSpinning() {
  if (stopping_) return;
  k58::editors::TScopedFlag guard(stopping_, true);
  SetKeyPressedButton(0);
  for (TuiEditButtonViewInfo* button : EditViewInfo()->Buttons) {
    if (button->Data.State != ebsPressedState || button->ButtonIndex > 1) continue;
    button->Data.State = ebsNormalState;
    if (HandleAllocated()) {
      TRect r = button->Bounds;
      InvalidateRect(Handle(), &r, FALSE);
    }
  }
  FreeRepeatTimer();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

bool TuiCustomSpinEdit::RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) {
  const bool result = TuiCustomMaskEdit::RefreshAtPoint(P, AButton, AShift, AIsMouseEvent);
  if (!stopping_ && (timer_ != nullptr || keyPressedButton_ != 0) && EditViewInfo()->PressedButton < 0 &&
      CapturedButton() < 0)
    StopSpinning();
  return result;
}

void TuiCustomSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiCustomMaskEdit::MouseUp(Button, Shift, X, Y);
  StopSpinning();
}

void TuiCustomSpinEdit::DblClick() {
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  // A double click on a button is a second press of it and keeps spinning.
  if (GetButtonIndexAt(p) < 0) StopSpinning();
  TuiCustomMaskEdit::DblClick();
}

void TuiCustomSpinEdit::FocusStateChanged() {
  TuiCustomMaskEdit::FocusStateChanged();
  StopSpinning();
}

bool TuiCustomSpinEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint) {
  if (!CanHandleMouseWheel(Shift)) return false;
  DoSpinStep(WheelDelta < 0 ? 0 : 1);
  return true;
}

// ---- Published spin editor --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSpinEdit) {
  using S = TuiSpinEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("BeepOnEnter", &S::BeepOnEnter, &S::SetBeepOnEnter).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeNameValue);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("Value", &S::Value, &S::SetValueVariant).Stored(&S::IsValueStored);
}

TClass TuiSpinEdit::GetPropertiesClass() const { return TuiSpinEditProperties::StaticClass(); }
