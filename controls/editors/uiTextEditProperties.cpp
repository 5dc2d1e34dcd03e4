// The text editor's properties: settings, value-like settings resolved through the default-values provider,
// display and edit formatting, the value range, lookup-text checks, and the thousand-separator routines.
#include "controls/editors/uiTextEditProperties.h"

#include "controls/editors/uiLookupData.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/CodePages.h"

namespace uitexteditconsts {
const char* const scxEditValueOutOfBounds = "Value out of bounds";
const char* const scxConvertToNumericError = "Could not convert to numeric value";
const char* const scxTextEditDescription = "TextEdit|Represents a single line text editor";
}  // namespace uitexteditconsts

namespace {

// Capabilities a text editor adds to those of the editor base.
constexpr Word textEditCapabilities = 0x85E;

// A class described by a unit that builds on this one (the text editor and its view classes), or AFallback
// while that unit is not linked in.
TClass TextEditClassByName(const char* AName, TClass AFallback) {
  TClass cls = GetClass(AName);
  return cls != nullptr && cls->InheritsFrom(AFallback) ? cls : AFallback;
}

// Runs AAction inside BeginUpdate/EndUpdate of AProperties, ending the update also when it raises.
template <class F>
void InTextPropertiesUpdate(TuiCustomEditProperties* AProperties, F&& AAction) {
  AProperties->BeginUpdate();
  try {
    AAction();
  } catch (...) {
    AProperties->EndUpdate(true);
    throw;
  }
  AProperties->EndUpdate(true);
}

// Stores AValue in AField; false when it was there already.
template <class T>
bool StoreTextSetting(T& AField, const T& AValue) {
  if (AField == AValue) return false;
  AField = AValue;
  return true;
}

}  // namespace

// ---- Assigned-value flags -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTextEditPropertiesValues) {
  using S = TuiTextEditPropertiesValues;
  b.Prop("DisplayFormat", &S::DisplayFormat, &S::SetDisplayFormat).Stored(&S::IsDisplayFormatStored);
  b.Prop("EditFormat", &S::EditFormat, &S::SetEditFormat).Stored(&S::IsEditFormatStored);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(false);
  b.Prop("MaxValue", &S::MaxValue, &S::SetMaxValue).Stored(&S::IsMaxValueStored);
  b.Prop("MinValue", &S::MinValue, &S::SetMinValue).Stored(&S::IsMinValueStored);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(false);
}

void TuiTextEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiTextEditPropertiesValues*>(Source);
  if (source == nullptr) return TuiCustomEditPropertiesValues::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomEditPropertiesValues::Assign(Source);
    SetDisplayFormat(source->DisplayFormat());
    SetEditFormat(source->EditFormat());
    SetMaxLength(source->MaxLength());
    SetMaxValue(source->MaxValue());
    SetMinValue(source->MinValue());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiTextEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  try {
    TuiCustomEditPropertiesValues::RestoreDefaults();
    SetDisplayFormat(false);
    SetEditFormat(false);
    SetMaxLength(false);
    SetMaxValue(false);
    SetMinValue(false);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiTextEditPropertiesValues::SetDisplayFormat(bool Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  Changed();
}

void TuiTextEditPropertiesValues::SetEditFormat(bool Value) {
  if (editFormat_ == Value) return;
  editFormat_ = Value;
  Changed();
}

void TuiTextEditPropertiesValues::SetMaxLength(bool Value) {
  if (maxLength_ == Value) return;
  maxLength_ = Value;
  if (auto* owner = dynamic_cast<TuiCustomTextEditProperties*>(GetOwner())) owner->MaxLengthChanged();
}

void TuiTextEditPropertiesValues::SetMaxValue(bool Value) {
  if (maxValue_ == Value) return;
  maxValue_ = Value;
  Changed();
}

void TuiTextEditPropertiesValues::SetMinValue(bool Value) {
  if (minValue_ == Value) return;
  minValue_ = Value;
  Changed();
}

bool TuiTextEditPropertiesValues::IsDisplayFormatStored() const {
  auto* self = const_cast<TuiTextEditPropertiesValues*>(this);
  auto* owner = dynamic_cast<TuiCustomTextEditProperties*>(self->GetOwner());
  return displayFormat_ && owner != nullptr && owner->DisplayFormat().empty() &&
         self->IsPropertyPublished("DisplayFormat");
}

bool TuiTextEditPropertiesValues::IsEditFormatStored() const {
  auto* self = const_cast<TuiTextEditPropertiesValues*>(this);
  auto* owner = dynamic_cast<TuiCustomTextEditProperties*>(self->GetOwner());
  return editFormat_ && owner != nullptr && owner->EditFormat().empty() && self->IsPropertyPublished("EditFormat");
}

bool TuiTextEditPropertiesValues::IsMaxValueStored() const {
  auto* self = const_cast<TuiTextEditPropertiesValues*>(this);
  auto* owner = dynamic_cast<TuiCustomTextEditProperties*>(self->GetOwner());
  return maxValue_ && owner != nullptr && owner->MaxValue() == 0.0 && self->IsPropertyPublished("MaxValue");
}

bool TuiTextEditPropertiesValues::IsMinValueStored() const {
  auto* self = const_cast<TuiTextEditPropertiesValues*>(this);
  auto* owner = dynamic_cast<TuiCustomTextEditProperties*>(self->GetOwner());
  return minValue_ && owner != nullptr && owner->MinValue() == 0.0 && self->IsPropertyPublished("MinValue");
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTextEditProperties) {}

K58_IMPLEMENT_CLASS(TuiTextEditProperties) {
  using S = TuiTextEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("IncrementalSearch", &S::IncrementalSearch, &S::SetIncrementalSearch).Default(true);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("LookupItemsSorted", &S::LookupItemsSorted, &S::SetLookupItemsSorted).Default(false);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("PasswordChar", &S::PasswordChar, &S::SetPasswordChar).Default('\0');
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnNewLookupDisplayText", &S::OnNewLookupDisplayText, &S::SetOnNewLookupDisplayText);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomTextEditProperties::TuiCustomTextEditProperties() {
  lookupItems_.reset(new TStringList);
  lookupItems_->SetOnChange([this](TObject* Sender) { LookupItemsChanged(Sender); });
  GetFormatController()->AddListener(this);
}

TuiCustomTextEditProperties::~TuiCustomTextEditProperties() {
  GetFormatController()->RemoveListener(this);
  lookupItems_->SetOnChange(TNotifyEvent{});
  lookupItems_.reset();
}

void TuiCustomTextEditProperties::LookupItemsChanged(TObject*) { Changed(); }

void TuiCustomTextEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomTextEditProperties*>(Source);
  if (source == nullptr) return TuiCustomEditProperties::Assign(Source);
  InTextPropertiesUpdate(this, [&] {
    TuiCustomEditProperties::Assign(Source);
    SetCharCase(source->CharCase());
    SetEchoMode(source->EchoMode());
    SetFixedListSelection(source->FixedListSelection());
    SetHideCursor(source->HideCursor());
    SetHideSelection(source->HideSelection());
    immediateUpdateText_ = source->immediateUpdateText_;
    SetIncrementalSearch(source->IncrementalSearch());
    SetMRUListMode(source->MRUListMode());
    validChars_ = source->validChars_;
    SetLookupItemsSorted(false);
    lookupItems_->Assign(source->LookupItems());
    SetLookupItemsSorted(source->LookupItemsSorted());
    TuiTextEditPropertiesValues* own = AssignedValues();
    TuiTextEditPropertiesValues* theirs = source->AssignedValues();
    own->SetDisplayFormat(false);
    if (theirs->DisplayFormat()) SetDisplayFormat(source->DisplayFormat());
    own->SetEditFormat(false);
    if (theirs->EditFormat()) SetEditFormat(source->EditFormat());
    own->SetMaxLength(false);
    if (theirs->MaxLength()) SetMaxLength(source->MaxLength());
    own->SetMaxValue(false);
    if (theirs->MaxValue()) SetMaxValue(source->MaxValue());
    own->SetMinValue(false);
    if (theirs->MinValue()) SetMinValue(source->MinValue());
    SetOEMConvert(source->OEMConvert());
    SetImeMode(source->ImeMode());
    SetImeName(source->ImeName());
    SetPasswordChar(source->PasswordChar());
    SetUseDisplayFormatWhenEditing(source->UseDisplayFormatWhenEditing());
    onNewLookupDisplayText_ = source->onNewLookupDisplayText_;
  });
}

void TuiCustomTextEditProperties::DefineProperties(TFiler* Filer) {
  TuiCustomEditProperties::DefineProperties(Filer);
  // Older resources mark an explicitly empty display format this way; it is read, never written.
  Filer->DefineProperty(
      "IsDisplayFormatAssigned", [this](TReader* R) { ReadIsDisplayFormatAssigned(R); }, nullptr, false);
}

void TuiCustomTextEditProperties::ReadIsDisplayFormatAssigned(TReader* Reader) {
  AssignedValues()->SetDisplayFormat(Reader->ReadBoolean());
}

// ---- Settings ----

void TuiCustomTextEditProperties::SetCharCase(TEditCharCase Value) {
  if (StoreTextSetting(charCase_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetEchoMode(TuiEditEchoMode Value) {
  if (StoreTextSetting(echoMode_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetFixedListSelection(bool Value) {
  if (StoreTextSetting(fixedListSelection_, Value) && GetTextMode() == temFixedList) Changed();
}

void TuiCustomTextEditProperties::SetHideCursor(bool Value) {
  if (StoreTextSetting(hideCursor_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetHideSelection(bool Value) {
  if (StoreTextSetting(hideSelection_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetImeMode(TImeMode Value) {
  if (StoreTextSetting(imeMode_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetImeName(const TImeName& Value) {
  if (StoreTextSetting(imeName_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetIncrementalSearch(bool Value) {
  if (StoreTextSetting(incrementalSearch_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetMRUListMode(bool Value) {
  if (StoreTextSetting(mruListMode_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetOEMConvert(bool Value) {
  if (StoreTextSetting(oemConvert_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetPasswordChar(char Value) {
  if (StoreTextSetting(passwordChar_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetUseDisplayFormatWhenEditing(bool Value) {
  if (StoreTextSetting(useDisplayFormatWhenEditing_, Value)) Changed();
}

void TuiCustomTextEditProperties::SetLookupItems(TStrings* Value) { lookupItems_->Assign(Value); }

bool TuiCustomTextEditProperties::LookupItemsSorted() const { return lookupItems_->Sorted(); }

void TuiCustomTextEditProperties::SetLookupItemsSorted(bool Value) { lookupItems_->SetSorted(Value); }

String TuiCustomTextEditProperties::DisplayFormat() {
  if (AssignedValues()->DisplayFormat()) return displayFormat_;
  String format;
  if (IuiEditDefaultValuesProvider* provider = DefaultValuesProvider()) {
    provider->DefaultDisplayFormat(format);
    if (!format.empty()) return format;
  }
  GetDefaultDisplayFormat(format);
  return format;
}

void TuiCustomTextEditProperties::SetDisplayFormat(const String& Value) {
  if (AssignedValues()->DisplayFormat() && displayFormat_ == Value) return;
  InTextPropertiesUpdate(this, [&] {
    AssignedValues()->SetDisplayFormat(true);
    displayFormat_ = Value;
  });
}

String TuiCustomTextEditProperties::EditFormat() {
  bool isCurrency, isFieldText;
  String format;
  GetEditFormatInfo(isCurrency, isFieldText, format, nullptr);
  return format;
}

void TuiCustomTextEditProperties::SetEditFormat(const String& Value) {
  if (AssignedValues()->EditFormat() && editFormat_ == Value) return;
  InTextPropertiesUpdate(this, [&] {
    AssignedValues()->SetEditFormat(true);
    editFormat_ = Value;
  });
}

Integer TuiCustomTextEditProperties::MaxLength() {
  return AssignedValues()->MaxLength() ? maxLength_ : GetDefaultMaxLength();
}

void TuiCustomTextEditProperties::SetMaxLength(Integer Value) {
  if (Value < 0) Value = 0;
  if (AssignedValues()->MaxLength() && maxLength_ == Value) return;
  BeginUpdate();
  AssignedValues()->SetMaxLength(true);
  maxLength_ = Value;
  EndUpdate(false);
  MaxLengthChanged();
}

double TuiCustomTextEditProperties::MaxValue() {
  if (AssignedValues()->MaxValue()) return maxValue_;
  if (IuiEditDefaultValuesProvider* provider = DefaultValuesProvider()) return provider->DefaultMaxValue();
  return 0.0;
}

void TuiCustomTextEditProperties::SetMaxValue(double Value) {
  if (AssignedValues()->MaxValue() && maxValue_ == Value) return;
  InTextPropertiesUpdate(this, [&] {
    AssignedValues()->SetMaxValue(true);
    maxValue_ = Value;
  });
}

double TuiCustomTextEditProperties::MinValue() {
  if (AssignedValues()->MinValue()) return minValue_;
  if (IuiEditDefaultValuesProvider* provider = DefaultValuesProvider()) return provider->DefaultMinValue();
  return 0.0;
}

void TuiCustomTextEditProperties::SetMinValue(double Value) {
  if (AssignedValues()->MinValue() && minValue_ == Value) return;
  InTextPropertiesUpdate(this, [&] {
    AssignedValues()->SetMinValue(true);
    minValue_ = Value;
  });
}

TuiTextEditViewStyle TuiCustomTextEditProperties::ViewStyle() const {
  switch (ButtonsViewStyle()) {
    case 1:
      return TuiTextEditViewStyle::vsButtonsOnly;
    case 2:
      return TuiTextEditViewStyle::vsButtonsAutoWidth;
    default:
      return hideCursor_ ? TuiTextEditViewStyle::vsHideCursor : TuiTextEditViewStyle::vsNormal;
  }
}

void TuiCustomTextEditProperties::SetViewStyle(TuiTextEditViewStyle Value) {
  if (Value == ViewStyle()) return;
  static constexpr Byte buttonsViewStyles[] = {0, 0, 1, 2};
  InTextPropertiesUpdate(this, [&] {
    SetButtonsViewStyle(buttonsViewStyles[static_cast<int>(Value)]);
    SetHideCursor(Value != TuiTextEditViewStyle::vsNormal);
  });
}

// ---- Operations ----

void TuiCustomTextEditProperties::FormatChanged() {
  formatChanging_ = true;
  try {
    Changed();
  } catch (...) {
    formatChanging_ = false;
    throw;
  }
  formatChanging_ = false;
}

bool TuiCustomTextEditProperties::IsLookupText(const String& AText) {
  const String text = AnsiUpperCase(AText);
  for (Integer i = 0; i < lookupItems_->Count(); ++i)
    if (AnsiUpperCase(lookupItems_->Strings(i)) == text) return true;
  return false;
}

Integer TuiCustomTextEditProperties::GetDefaultMaxLength() {
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return provider != nullptr ? provider->DefaultMaxLength() : 0;
}

TClass TuiCustomTextEditProperties::GetLookupDataClass() const { return TuiCustomTextEditLookupData::StaticClass(); }

void TuiCustomTextEditProperties::GetEditFormatInfo(bool& AIsCurrency, bool& AIsFieldText, String& AFormat,
                                                    TuiCustomEdit* AEdit) {
  AIsCurrency = false;
  AIsFieldText = false;
  AFormat.clear();
  if (AssignedValues()->EditFormat()) {
    AFormat = editFormat_;
    return;
  }
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if ((AEdit == nullptr || !AEdit->IsInplace()) && provider != nullptr && provider->IsDisplayTextByEvent()) {
    AIsFieldText = true;
    return;
  }
  if (provider != nullptr) {
    provider->DefaultEditFormat(AFormat);
    if (!AFormat.empty()) return;
  }
  if (AssignedValues()->DisplayFormat()) {
    AFormat = DisplayFormat();
  } else if (provider != nullptr) {
    provider->DefaultDisplayFormat(AFormat);
    if (AFormat.empty()) AIsCurrency = (GetDisplayFormatOptions() & 2) == 0 && provider->DefaultIsCurrency();
  }
  // A display format serves for editing only when allowed to.
  if (!useDisplayFormatWhenEditing_) AFormat.clear();
}

bool TuiCustomTextEditProperties::HasValueRange() {
  const double maxValue = MaxValue(), minValue = MinValue();
  if (maxValue > minValue) return true;
  if (maxValue < minValue) return AssignedValues()->MinValue() != AssignedValues()->MaxValue();
  return false;
}

bool TuiCustomTextEditProperties::IsValueBoundSet(bool AIsMax) {
  const double maxValue = MaxValue(), minValue = MinValue();
  if (maxValue > minValue) return true;
  if (maxValue == minValue) return false;
  const bool minSet = AssignedValues()->MinValue(), maxSet = AssignedValues()->MaxValue();
  if (minSet == maxSet) return false;
  return AIsMax ? maxSet : minSet;
}

void TuiCustomTextEditProperties::ValidateValueRange(Variant& ADisplayValue, String& AErrorText, TuiCustomEdit* AEdit,
                                                     bool& AError) {
  Variant value = ADisplayValue;
  if (AEdit != nullptr) AEdit->DisplayValueToEditValue(ADisplayValue, value, AEdit->IsEditFocused());
  if (!IsNumericVariant(value) && !IsDateTimeVariant(value)) return;
  const bool outOfRange = (IsValueBoundSet(false) && value < Variant(MinValue())) ||
                          (IsValueBoundSet(true) && value > Variant(MaxValue()));
  if (!outOfRange) return;
  AError = true;
  AErrorText = GetValidateErrorText(evkValueOutOfBounds);
}

void TuiCustomTextEditProperties::ApplyEchoMode(String& AText) {
  if (echoMode_ == eemPassword) {
    AText.assign(static_cast<size_t>(Utf8Length(AText)), passwordChar_ != '\0' ? passwordChar_ : '*');
    return;
  }
  if (charCase_ == ecUpperCase)
    AText = AnsiUpperCase(AText);
  else if (charCase_ == ecLowerCase)
    AText = AnsiLowerCase(AText);
}

bool TuiCustomTextEditProperties::AdjustTextValue(Variant& AValue, bool) {
  String text = VarToStr(AValue);
  bool result = true;
  const Byte textMode = GetTextMode();
  if (!text.empty() && (textMode == temEditFixedList || textMode == temFixedList) && IsLookupDataUsed())
    result = IsLookupText(text);
  if (result) {
    if (charCase_ == ecUpperCase)
      text = AnsiUpperCase(text);
    else if (charCase_ == ecLowerCase)
      text = AnsiLowerCase(text);
    AValue = Variant(text);
  }
  return result;
}

void TuiCustomTextEditProperties::MakeDisplayValue(const Variant& AEditValue, bool AEditFocused,
                                                   Variant& ADisplayValue) {
  Variant value = AEditValue;
  if (IsEditValueValid(value, AEditFocused))
    PrepareDisplayValue(value, ADisplayValue, AEditFocused);
  else if (IsDateTimeVariant(AEditValue))
    ADisplayValue = Variant(DateTimeToStr(AEditValue.AsDateTime()));
  else
    ADisplayValue = Variant(VarToStr(AEditValue));
}

String TuiCustomTextEditProperties::FormatEditValue(const Variant& AValue) {
  bool isCurrency, isFieldText;
  String format;
  GetEditFormatInfo(isCurrency, isFieldText, format, nullptr);
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  const Integer precision = provider != nullptr ? provider->DefaultPrecision() : 15;
  String text = VarToStr(AValue);
  TBcd bcd;
  if (isCurrency) {
    if (TryStrToBcd(text, bcd)) text = BcdToStrF(bcd, ffFixed, precision, FormatSettings.CurrencyDecimals);
    return text;
  }
  if (!format.empty()) return FormatFloat(format, AValue.AsDouble());
  if (TryStrToBcd(text, bcd)) text = BcdToStrF(bcd, ffGeneral, precision, 0);
  if (IsThousandSeparatorUsed(false)) InsertThousandSeparators(text);
  return text;
}

void TuiCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (!HasRangeCheck()) {
    ADisplayValue = Variant(VarToStr(AEditValue));
    return;
  }
  // An editor that never had a value holds an unassigned variant: shown empty like Null.
  if (VarIsEmpty(AEditValue) || IsNullOrEmptyTextVariant(AEditValue)) {
    ADisplayValue = Variant(String());
    return;
  }
  if (!IsNumericVariant(AEditValue) && !VarIsStr(AEditValue))
    throw EConvertError(LocalizeText(uitexteditconsts::scxConvertToNumericError));
  if (AEditFocused) {
    ADisplayValue = Variant(FormatEditValue(AEditValue));
    return;
  }
  const String format = DisplayFormat();
  ADisplayValue = Variant(format.empty() ? VarToStr(AEditValue) : FormatFloat(format, AEditValue.AsDouble()));
}

WideString TuiCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool) {
  String text;
  if (UsesProviderDisplayFormat()) {
    text = VarToStr(AEditValue);
  } else {
    Variant displayValue;
    MakeDisplayValue(AEditValue, false, displayValue);
    text = VarToStr(displayValue);
  }
  ApplyEchoMode(text);
  return Utf8ToWide(text);
}

bool TuiCustomTextEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetDisplayText(AEditValue1) == GetDisplayText(AEditValue2);
}

Word TuiCustomTextEditProperties::GetEditCapabilities() {
  return TuiCustomEditProperties::GetEditCapabilities() | textEditCapabilities;
}

bool TuiCustomTextEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (VarIsNull(AEditValue) || !VarIsStr(AEditValue)) return true;
  return AdjustTextValue(AEditValue, AEditFocused);
}

void TuiCustomTextEditProperties::RestoreDefaults() { TuiCustomEditProperties::RestoreDefaults(); }

void TuiCustomTextEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  if (HasRangeCheck() && HasValueRange()) ValidateValueRange(ADisplayValue, AErrorText, AEdit, AError);
  TuiCustomEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

String TuiCustomTextEditProperties::GetValidateErrorText(Integer AErrorKind) {
  if (AErrorKind == evkValueOutOfBounds) return LocalizeText(uitexteditconsts::scxEditValueOutOfBounds);
  return TuiCustomEditProperties::GetValidateErrorText(AErrorKind);
}

void TuiCustomTextEditProperties::AlignmentChanged(TObject* Sender) {
  InTextPropertiesUpdate(this, [&] { TuiCustomEditProperties::AlignmentChanged(Sender); });
}

void TuiCustomTextEditProperties::SetAlignment(TuiEditAlignment* Value) {
  InTextPropertiesUpdate(this, [&] { TuiCustomEditProperties::SetAlignment(Value); });
}

TClass TuiCustomTextEditProperties::GetViewDataClass() const {
  return TextEditClassByName("TuiCustomTextEditViewData", TuiCustomEditProperties::GetViewDataClass());
}

TClass TuiCustomTextEditProperties::GetEditClass() const {
  return TextEditClassByName("TuiTextEdit", TuiCustomEditProperties::GetEditClass());
}

TClass TuiCustomTextEditProperties::GetViewInfoClass() const {
  return TextEditClassByName("TuiCustomTextEditViewInfo", TuiCustomEditProperties::GetViewInfoClass());
}

// ---- Thousand separators and numeric text -----------------------------------------------------------------

void RemoveThousandSeparators(String& S) { std::erase(S, FormatSettings.ThousandSeparator); }

void ExtractExponent(String& S, String& AExponent) {
  const size_t pos = S.find_first_of("eE");
  if (pos == String::npos) {
    AExponent.clear();
    return;
  }
  AExponent = S.substr(pos);
  S.erase(pos);
}

void InsertThousandSeparators(String& S) {
  const String trimmedRight = TrimRight(S);
  const String trailing = S.substr(trimmedRight.size());
  String body = TrimLeft(trimmedRight);
  String leading = trimmedRight.substr(0, trimmedRight.size() - body.size());
  // A sign stays in front of the digits: it is no digit to group.
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    leading += body[0];
    body.erase(0, 1);
  }
  String exponent;
  ExtractExponent(body, exponent);
  RemoveThousandSeparators(body);
  const size_t decimal = body.find(FormatSettings.DecimalSeparator);
  const ptrdiff_t integerDigits = static_cast<ptrdiff_t>(decimal == String::npos ? body.size() : decimal);
  for (ptrdiff_t i = integerDigits - 3; i >= 1; i -= 3)
    body.insert(static_cast<size_t>(i), 1, FormatSettings.ThousandSeparator);
  S = leading + body + exponent + trailing;
}

bool IsNumericText(const String& S) {
  String text = S;
  RemoveThousandSeparators(text);
  Extended value;
  return !text.empty() && TextToFloat(text, &value, fvExtended);
}
