// The currency editor: a text editor for decimal amounts. Its value is a Double or Null, typed with the
// locale's decimal separator, limited to DecimalPlaces decimals while typing, shown with a display format
// (the format controller's currency format by default) when unfocused, and optionally empty with a
// replacement text.
//
// Threads: GUI thread only.
// Ownership: as the text editor's.
#pragma once

#include "controls/editors/uiTextEdit.h"

namespace uicurrencyeditconsts {
extern const char* const scxCurrencyEditDescription;  // "CurrencyEdit|Represents an editor enabling editing ..."
}  // namespace uicurrencyeditconsts

class TuiCustomCurrencyEditProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TuiCustomCurrencyEditProperties, TuiCustomTextEditProperties)

  TuiCustomCurrencyEditProperties();
  void Assign(TPersistent* Source) override;

  Integer DecimalPlaces() const { return decimalPlaces_; }
  void SetDecimalPlaces(Integer Value) { decimalPlaces_ = Value; }
  bool Nullable() const { return nullable_; }
  void SetNullable(bool Value);
  const String& NullString() const { return nullString_; }
  void SetNullString(const String& Value);
  bool UseThousandSeparator() const { return useThousandSeparator_; }
  void SetUseThousandSeparator(bool Value);

  // AText without the locale's thousand separators, read with the locale: accepted when it is 0 or its
  // magnitude lies in 5e-324..1.7e308 (so always finite); otherwise AValue is 0 and the result False.
  static bool TextToCurrencyValue(const String& AText, double& AValue);

  // ---- Overrides ----
  Byte GetDisplayFormatOptions() override { return 3; }
  TClass GetEditClass() const override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool AFocused) override;
  void GetDefaultDisplayFormat(String& AFormat) override;
  // Grouped only outside the editor's own display synchronisation, and only when asked for.
  bool IsThousandSeparatorUsed(bool AInternalUpdate) override { return useThousandSeparator_ && !AInternalUpdate; }
  bool HasRangeCheck() override { return true; }
  // Unfocused texts are taken as they are; a focused one must be a number unless an edit format applies.
  bool AdjustTextValue(Variant& AValue, bool AEditFocused) override;
  // Whether an edit format (or a field's own text) governs typing.
  bool HasEditFormat(TuiCustomEdit* AEdit);

 private:
  Integer decimalPlaces_ = 2;
  bool nullable_ = true;
  String nullString_;
  bool useThousandSeparator_ = false;
};

class TuiCurrencyEditProperties : public TuiCustomCurrencyEditProperties {
  K58_CLASS(TuiCurrencyEditProperties, TuiCustomCurrencyEditProperties)
};

class TuiCustomCurrencyEdit : public TuiCustomTextEdit {
  K58_CLASS(TuiCustomCurrencyEdit, TuiCustomTextEdit)

  explicit TuiCustomCurrencyEdit(TComponent* AOwner) : TuiCustomTextEdit(AOwner) {}

  TuiCustomCurrencyEditProperties* ActiveProperties() {
    return static_cast<TuiCustomCurrencyEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomCurrencyEditProperties* Properties() const {
    return static_cast<TuiCustomCurrencyEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomCurrencyEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // 0 for Null and for a text that is no amount; otherwise the amount.
  double Value();
  // Clamped to the limits in force.
  void SetValue(double X);

  // ---- Overrides ----
  void Initialize() override;
  bool IsValidChar(char AChar) override;
  void DoEditKeyPress(char& Key) override;
  void PropertiesChanged(TObject* Sender) override;
  TClass GetPropertiesClass() const override;
  void PasteFromClipboard() override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
};

class TuiCurrencyEdit : public TuiCustomCurrencyEdit {
  K58_CLASS(TuiCurrencyEdit, TuiCustomCurrencyEdit)

  explicit TuiCurrencyEdit(TComponent* AOwner) : TuiCustomCurrencyEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiCurrencyEditProperties* ActiveProperties() {
    return static_cast<TuiCurrencyEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCurrencyEditProperties* Properties() const {
    return static_cast<TuiCurrencyEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCurrencyEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
  void SetImeNameValue(TImeName Value) { SetImeName(Value); }
};
