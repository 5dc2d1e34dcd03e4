// The mask settings of the masked editor's Properties and the display values they format.
#include "controls/editors/uiMaskEditProperties.h"

#include "controls/editors/uiMaskEdit.h"
#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"

K58_IMPLEMENT_CLASS(TuiCustomMaskEditProperties) {}

K58_IMPLEMENT_CLASS(TuiMaskEditProperties) {
  using S = TuiMaskEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AlwaysShowBlanksAndLiterals", &S::AlwaysShowBlanksAndLiterals, &S::SetAlwaysShowBlanksAndLiterals)
      .Default(false);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  // The kind goes before the mask: a mask is read in the syntax of its kind.
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
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
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnNewLookupDisplayText", &S::OnNewLookupDisplayText, &S::SetOnNewLookupDisplayText);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomMaskEditProperties::TuiCustomMaskEditProperties() {
  SetValidateOnEnter(true);
  SetCaseInsensitive(true);
}

TuiCustomMaskEditProperties::~TuiCustomMaskEditProperties() = default;

void TuiCustomMaskEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomMaskEditProperties*>(Source);
  if (source == nullptr) return TuiCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomTextEditProperties::Assign(Source);
    SetMaskKind(source->MaskKind());
    SetEditMask(source->EditMask());
    SetCaseInsensitive(source->CaseInsensitive());
    SetIgnoreMaskBlank(source->IgnoreMaskBlank());
    SetAlwaysShowBlanksAndLiterals(source->AlwaysShowBlanksAndLiterals());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value) {
  if (alwaysShowBlanksAndLiterals_ == Value) return;
  alwaysShowBlanksAndLiterals_ = Value;
  Changed();
}

void TuiCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  caseInsensitive_ = CharCase() != ecNormal || Value;
  // A regular-expression display mode compiled with the old flag is built again when needed.
  displayMode_.reset();
  Changed();
}

void TuiCustomMaskEditProperties::SetCharCase(TEditCharCase Value) {
  if (Value != ecNormal) SetCaseInsensitive(true);
  TuiCustomTextEditProperties::SetCharCase(Value);
}

String TuiCustomMaskEditProperties::EditMask() const {
  if (maskKind_ != emkStandard || !IsBlankEditMask(editMask_)) return editMask_;
  String mask;
  if (IuiEditDefaultValuesProvider* provider = DefaultValuesProvider()) provider->DefaultEditMask(mask);
  return mask;
}

void TuiCustomMaskEditProperties::SetEditMask(const String& Value) {
  if (Value != EditMask()) {
    // The mask is tried first: a bad one raises here and nothing changes.
    CreateMode(maskKind_, nullptr)->LoadMask(Value);
    editMask_ = Value;
    Changed();
  } else {
    editMask_ = Value;
  }
}

void TuiCustomMaskEditProperties::SetIgnoreMaskBlank(bool Value) {
  if (ignoreMaskBlank_ == Value) return;
  ignoreMaskBlank_ = Value;
  Changed();
}

void TuiCustomMaskEditProperties::SetMaskKind(TuiEditMaskKind Value) {
  if (maskKind_ == Value) return;
  maskKind_ = Value;
  Changed();
}

TClass TuiCustomMaskEditProperties::GetModeClass(TuiEditMaskKind AMaskKind) const {
  switch (AMaskKind) {
    case emkRegExpr: return TuiMaskEditRegExprMode::StaticClass();
    case emkRegExprEx: return TuiMaskEditRegExprExMode::StaticClass();
    default: return TuiMaskEditStandardMode::StaticClass();
  }
}

TObjectPtr<TuiMaskEditCustomMode> TuiCustomMaskEditProperties::CreateMode(TuiEditMaskKind AMaskKind,
                                                                         IuiMaskEditHost* AEdit) {
  const TClass cls = GetModeClass(AMaskKind);
  TuiMaskEditCustomMode* mode;
  if (cls->InheritsFrom(TuiMaskEditRegExprExMode::StaticClass()))
    mode = NewObject<TuiMaskEditRegExprExMode>(AEdit, this);
  else if (cls->InheritsFrom(TuiMaskEditRegExprMode::StaticClass()))
    mode = NewObject<TuiMaskEditRegExprMode>(AEdit, this);
  else
    mode = NewObject<TuiMaskEditStandardMode>(AEdit, this);
  return TObjectPtr<TuiMaskEditCustomMode>(mode);
}

TClass TuiCustomMaskEditProperties::GetEditClass() const { return TuiMaskEdit::StaticClass(); }

Byte TuiCustomMaskEditProperties::GetDisplayFormatOptions() {
  return IsMasked() ? 0 : TuiCustomTextEditProperties::GetDisplayFormatOptions();
}

bool TuiCustomMaskEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  return IsMasked() || TuiCustomTextEditProperties::IsEditValueValid(AEditValue, AEditFocused);
}

TClass TuiCustomMaskEditProperties::GetLookupDataClass() const {
  return IsMasked() ? nullptr : TuiCustomTextEditProperties::GetLookupDataClass();
}

void TuiCustomMaskEditProperties::MaxLengthChanged() {
  if (maxLengthGuard_ || !IsMasked()) return TuiCustomTextEditProperties::MaxLengthChanged();
  // A masked editor has no length limit besides its mask.
  maxLengthGuard_ = true;
  BeginUpdate();
  try {
    SetMaxLength(0);
  } catch (...) {
    maxLengthGuard_ = false;
    EndUpdate();
    throw;
  }
  maxLengthGuard_ = false;
  EndUpdate();
}

TuiMaskEditCustomMode* TuiCustomMaskEditProperties::DisplayMode() {
  const String mask = EditMask();
  if (IsBlankEditMask(mask)) {
    displayMode_.reset();
    return nullptr;
  }
  // A mode of a descendant class serves too: the auto-completing mode formats for the plain kind.
  if (!displayMode_ || !displayMode_->InheritsFrom(GetModeClass(maskKind_)) || displayMode_->MaskText() != mask) {
    TObjectPtr<TuiMaskEditCustomMode> mode = CreateMode(maskKind_, nullptr);
    mode->LoadMask(mask);
    displayMode_ = std::move(mode);
  }
  return displayMode_.get();
}

void TuiCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (!IsMasked() || (!AEditFocused && provider != nullptr && provider->IsDisplayTextDefined(true)))
    return TuiCustomTextEditProperties::PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
  TuiMaskEditCustomMode* mode = DisplayMode();
  if (mode == nullptr) return;
  const String value = VarToStr(AEditValue);
  String text;
  if (AEditFocused || maskKind_ != emkStandard || alwaysShowBlanksAndLiterals_)
    mode->FormatText(value, text);
  else
    mode->TextToValue(value, text);
  ADisplayValue = Variant(text);
}

void TuiCustomMaskEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  if (!AError && IsMasked()) {
    // The editor checks with its own mode; the display mode, holding the same mask, serves otherwise.
    auto* edit = dynamic_cast<TuiCustomMaskEdit*>(AEdit);
    TuiMaskEditCustomMode* mode = edit != nullptr && edit->Mode() != nullptr ? edit->Mode() : DisplayMode();
    if (mode != nullptr && !mode->IsTextValid(VarToStr(ADisplayValue))) {
      AError = true;
      AErrorText = LocalizeText(uimaskeditconsts::SMaskEditInvalidEditValue);
    }
  }
  TuiCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}
