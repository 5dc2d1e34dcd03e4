// The mask settings of the masked editor's Properties: the edit mask and its kind, case-insensitive
// matching coupled with the character case, blanks that still validate, blanks and literals shown when
// unfocused, and a mode kept without an editor to format display values.
//
// A mask counts as none when it is blank (IsBlankEditMask); without one the Properties behave as the text
// editor's. A bad mask raises EuiMaskEditError from SetEditMask before anything is stored.
#pragma once

#include "controls/editors/uiMaskEditModes.h"
#include "controls/editors/uiTextEditProperties.h"

namespace uimaskeditconsts {
inline constexpr const char* SMaskEditInvalidEditValue = "The edit value is invalid";
inline constexpr const char* SMaskEditDescription = "MaskEdit|Represents a generic masked edit control.";
}  // namespace uimaskeditconsts

class TuiCustomMaskEditProperties : public TuiCustomTextEditProperties, public IuiMaskEditModeSettings {
  K58_CLASS(TuiCustomMaskEditProperties, TuiCustomTextEditProperties)

  TuiCustomMaskEditProperties();
  ~TuiCustomMaskEditProperties() override;

  void Assign(TPersistent* Source) override;

  bool AlwaysShowBlanksAndLiterals() const { return alwaysShowBlanksAndLiterals_; }
  void SetAlwaysShowBlanksAndLiterals(bool Value);
  bool CaseInsensitive() const override { return caseInsensitive_; }
  // True whenever CharCase converts the case.
  void SetCaseInsensitive(bool Value);
  // The stored mask; a standard-kind editor without one takes its default values provider's mask.
  String EditMask() const;
  void SetEditMask(const String& Value);
  bool IgnoreMaskBlank() const override { return ignoreMaskBlank_; }
  void SetIgnoreMaskBlank(bool Value);
  TuiEditMaskKind MaskKind() const { return maskKind_; }
  void SetMaskKind(TuiEditMaskKind Value);
  TEditCharCase CharCase() const override { return TuiCustomTextEditProperties::CharCase(); }
  bool BeepOnError() const override { return TuiCustomEditProperties::BeepOnError(); }

  bool IsMasked() const { return !IsBlankEditMask(EditMask()); }
  virtual TClass GetModeClass(TuiEditMaskKind AMaskKind) const;
  // A new mode of GetModeClass(AMaskKind) for AEdit, or for these Properties when AEdit is nil.
  virtual TObjectPtr<TuiMaskEditCustomMode> CreateMode(TuiEditMaskKind AMaskKind, IuiMaskEditHost* AEdit);
  // The value of an empty text under the current mask, as the editor last stored it.
  void GetEmptyMaskText(String& AText) const { AText = emptyValue_; }
  void SetEmptyMaskText(const String& AText) { emptyValue_ = AText; }

  // ---- Overrides ----
  void SetCharCase(TEditCharCase Value) override;
  Byte GetDisplayFormatOptions() override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  TClass GetLookupDataClass() const override;
  TClass GetEditClass() const override;
  void MaxLengthChanged() override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;

 private:
  // The cached mode for the current kind and mask; nil without a mask.
  TuiMaskEditCustomMode* DisplayMode();

  bool alwaysShowBlanksAndLiterals_ = false;
  bool caseInsensitive_ = true;
  String editMask_;
  String emptyValue_;
  bool ignoreMaskBlank_ = false;
  TuiEditMaskKind maskKind_ = emkStandard;
  bool maxLengthGuard_ = false;
  TObjectPtr<TuiMaskEditCustomMode> displayMode_;
};

class TuiMaskEditProperties : public TuiCustomMaskEditProperties {
  K58_CLASS(TuiMaskEditProperties, TuiCustomMaskEditProperties)
};
