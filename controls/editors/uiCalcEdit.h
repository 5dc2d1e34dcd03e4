// The calculator editor: a numeric popup editor whose popup holds a calculator working on the editor's own
// text. Typing keeps the text a floating-point number; values are shown with a precision, optionally with
// thousand separators or in exponent form with the mantissa's trailing zeros trimmed.
//
// Threads: GUI thread only.
// Ownership: the editor owns its popup calculator (a component of the editor, placed in the popup window);
// the Properties only point at it as their PopupControl.
// Re-entrancy: the calculator writes the editor's text from its key and mouse handlers; nothing raises out
// of them.
#pragma once

#include "controls/editors/uiCalc.h"
#include "controls/editors/uiPopupEdit.h"

namespace uicalceditconsts {
inline constexpr const char* scxCalcEditDescription =
    "CalcEdit|Represents an edit control with a dropdown calculator window";
}  // namespace uicalceditconsts

class TuiCustomCalcEdit;

// ---- Text conversions --------------------------------------------------------------------------------------

namespace k58::editors {
// The largest significant-digit count the editor shows.
inline constexpr Integer CalcEditMaxPrecision = 15;

// Removes the trailing zeros of the mantissa (and a decimal separator left last) in front of the exponent
// part, which is kept as it is; a text without a decimal separator in the mantissa is unchanged.
void TrimExponentMantissa(String& S);
// The focused text of a value, in the locale: APrecision significant digits, exponent form with
// AScientific (trimmed), else the general form, grouped with AThousands (not with AScientific). Next to
// the largest Double, as many more digits as the text needs to read back.
String CalcEditValueToText(Extended AValue, Integer APrecision, bool AScientific, bool AThousands);
// The value of an editor text: thousand separators removed when AThousands, trimmed; an empty text is Null
// and valid; a number a Double fits is that number; anything else is Null and invalid (False).
bool CalcEditTextToValue(const String& AText, bool AThousands, Variant& AValue);
// A text typing may produce: without thousand separators it converts, and it is 0 or its magnitude lies
// in 5e-324..1.7e308.
bool IsCalcEditFloatText(const String& AText);
}  // namespace k58::editors

// ---- Properties ----------------------------------------------------------------------------------------------

class TuiCalcEditPropertiesValues : public TuiTextEditPropertiesValues {
  K58_CLASS(TuiCalcEditPropertiesValues, TuiTextEditPropertiesValues)

  explicit TuiCalcEditPropertiesValues(TPersistent* AOwner = nullptr) : TuiTextEditPropertiesValues(AOwner) {}
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool Precision() const { return precision_; }
  void SetPrecision(bool Value);

 private:
  bool precision_ = false;
};

class TuiCustomCalcEditProperties : public TuiCustomPopupEditProperties {
  K58_CLASS(TuiCustomCalcEditProperties, TuiCustomPopupEditProperties)

  TuiCustomCalcEditProperties();
  void Assign(TPersistent* Source) override;

  TuiCalcEditPropertiesValues* AssignedValues() const {
    return static_cast<TuiCalcEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  }
  void SetAssignedValues(TuiCalcEditPropertiesValues* Value) { TuiCustomEditProperties::SetAssignedValues(Value); }

  // ---- Settings ----
  // Significant digits: the own value when assigned, else the data binding's precision (15 without a
  // binding); never more than 15.
  Byte Precision();
  void SetPrecision(Byte Value);
  bool IsPrecisionStored() const { return AssignedValues()->Precision(); }
  bool QuickClose() const { return quickClose_; }
  void SetQuickClose(bool Value);
  bool ScientificFormat() const { return scientificFormat_; }
  void SetScientificFormat(bool Value);
  bool UseThousandSeparator() const { return useThousandSeparator_; }
  void SetUseThousandSeparator(bool Value);

  // The number of an edit value (a number, or a text that converts); False for anything else.
  static bool EditValueToFloat(const Variant& AEditValue, Extended& AValue);
  // The editor's reading of its text (see CalcEditTextToValue).
  bool TextToValue(const String& AText, Variant& AValue);

  // ---- Overrides ----
  TuiCustomEditPropertiesValues* CreateAssignedValues() override { return new TuiCalcEditPropertiesValues(this); }
  TClass GetEditClass() const override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool AFocused) override;
  bool IsThousandSeparatorUsed(bool) override { return useThousandSeparator_ && !scientificFormat_; }
  bool AdjustTextValue(Variant&, bool) override { return true; }
  bool IsPopupValueEditor() override { return true; }
  bool IsPopupLimitedToWorkArea() override { return false; }

 private:
  Byte precision_ = k58::editors::CalcEditMaxPrecision;
  bool quickClose_ = false;
  bool scientificFormat_ = false;
  bool useThousandSeparator_ = false;
};

class TuiCalcEditProperties : public TuiCustomCalcEditProperties {
  K58_CLASS(TuiCalcEditProperties, TuiCustomCalcEditProperties)
};

// ---- Popup calculator ----------------------------------------------------------------------------------------

// The calculator of the popup: its display is the editor's text.
class TuiPopupCalculator : public TuiCustomCalculator {
  K58_CLASS(TuiPopupCalculator, TuiCustomCalculator)

  explicit TuiPopupCalculator(TComponent* AOwner);

  TuiCustomCalcEdit* Edit() const { return edit_; }
  void SetEdit(TuiCustomCalcEdit* Value) { edit_ = Value; }

  // Forgets the button held down by a key.
  virtual void ResetKeyButton();
  // Lays the buttons out for the current font (button height twice the font height).
  void FitToFont();

  TuiLookAndFeelPainterClass GetPainterClass() override;
  void GetDisplayText(String& AText) override;
  // Written only when the editor may be edited; the editor is then modified.
  void SetDisplayText(const String& AText) override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

 private:
  TuiCustomCalcEdit* edit_ = nullptr;
};

// ---- Editor ----------------------------------------------------------------------------------------------------

class TuiCustomCalcEdit : public TuiCustomPopupEdit {
  K58_CLASS(TuiCustomCalcEdit, TuiCustomPopupEdit)

  explicit TuiCustomCalcEdit(TComponent* AOwner) : TuiCustomPopupEdit(AOwner) {}

  TuiCustomCalcEditProperties* ActiveProperties() {
    return static_cast<TuiCustomCalcEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomCalcEditProperties* Properties() const {
    return static_cast<TuiCustomCalcEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomCalcEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TuiPopupCalculator* Calculator() const { return calculator_; }

  // 0 for Null, an empty text or a text that is no number.
  Extended Value();
  // Raises EConvertError for a value a Double cannot hold.
  void SetValue(Extended AValue);
  // The published form of Value.
  double ValueAsDouble() { return static_cast<double>(Value()); }
  void SetValueAsDouble(double AValue) { SetValue(AValue); }

  // ---- Overrides ----
  TClass GetPropertiesClass() const override;
  void Initialize() override;
  void CreatePopupWindow() override;
  bool CanDropDown() override;
  void DoInitPopup() override;
  void SetupPopupWindow() override;
  void PopupWindowShowed(TObject* Sender) override;
  void PopupWindowClosed(TObject* Sender) override;
  void PropertiesChanged(TObject* Sender) override;
  void PropertiesChangedAndSync() override { ClearEditData(); }
  void PasteFromClipboard() override;
  void DoEditKeyPress(char& Key) override;
  bool IsValidChar(char AChar) override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;

 protected:
  void DoEnter() override;
  void DoExit() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TuiPopupCalculator* calculator_ = nullptr;
  // The text when the popup opened: a calculation that ends in the error state gives it back.
  String textBeforePopup_;
};

class TuiCalcEdit : public TuiCustomCalcEdit {
  K58_CLASS(TuiCalcEdit, TuiCustomCalcEdit)

  explicit TuiCalcEdit(TComponent* AOwner) : TuiCustomCalcEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiCalcEditProperties* ActiveProperties() {
    return static_cast<TuiCalcEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCalcEditProperties* Properties() const { return static_cast<TuiCalcEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiCalcEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
  void SetImeNameValue(TImeName Value) { SetImeName(Value); }
};

namespace k58::editors {
// Registers the calculator editor's Properties in the edit-properties registry (counted).
void StartCalcEditUnit();
void StopCalcEditUnit();
}  // namespace k58::editors
