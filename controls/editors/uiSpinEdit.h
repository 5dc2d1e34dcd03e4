// The spin editor: a masked text editor holding a 64-bit integer or a floating-point number, stepped by
// two or four embedded buttons, the arrow and page keys and the mouse wheel, optionally limited by
// MinValue and MaxValue; and the layout and drawing of its buttons.
//
// Threads: GUI thread only.
// Ownership: the properties own their button settings and their assigned-value flags; the editor owns its
// auto-repeat timer, which exists only between a button press and the end of spinning.
// Values: an integer value is an Int64 variant, a floating-point one a Double variant. The arithmetic of a
// step is in the pure functions of k58::editors below, so it can be checked without a window.
// Re-entrancy: a step locks the change events for its duration; change handlers may read Value.
#pragma once

#include "controls/editors/uiMaskEdit.h"

namespace uispineditconsts {
extern const char* const scxSpinEditInvalidNumericValue;  // "Invalid numeric value"
extern const char* const scxSpinEditDescription;          // "SpinEdit|Represents a spin editor"
}  // namespace uispineditconsts

enum TuiSpinEditValueType { vtInt, vtFloat };
K58_ENUM_TYPE(TuiSpinEditValueType, vtInt, vtFloat)
enum TuiSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };
K58_ENUM_TYPE(TuiSpinEditButtonsPosition, sbpHorzLeftRight, sbpHorzRight, sbpVert)

class TuiCustomSpinEdit;
class TuiCustomSpinEditProperties;

K58_EVENT_TYPE(TuiSpinEditGetValueEvent,
               void(TObject* Sender, const String& AText, Variant& AValue, String& ErrorText, bool& Error))

// ---- Step arithmetic ------------------------------------------------------------------------------------

namespace k58::editors {

// The type's limits: the literal 1.7e308 for floating point, the Int64 range for integers.
inline constexpr double SpinFloatTypeMax = 1.7e308;

// X rounded to the nearest integer, ties to even; values beyond the Int64 range saturate to its nearest
// extreme, NaN gives 0.
Int64 RoundToInt64(double X);

// Limit modes of a step past a limit.
inline constexpr Integer slmNone = 0;  // the step fails
inline constexpr Integer slmClamp = 1;  // the step stops at the limit
inline constexpr Integer slmWrap = 2;  // the step wraps around the range

// A step from ACur by AStep inside AMin..AMax (ACur already inside). False when the step fails. Wrapping
// counts AMax - AMin + 1 values for integers and a period of AMax - AMin for floating point, so any
// step size lands inside the range.
bool SpinAddStepInt(Int64 ACur, Int64 AStep, Int64 AMin, Int64 AMax, Integer AMode, Int64& AResult);
bool SpinAddStepFloat(double ACur, double AStep, double AMin, double AMax, Integer AMode, double& AResult);

}  // namespace k58::editors

// ---- Settings ---------------------------------------------------------------------------------------------

class TuiSpinEditButtons : public TPersistent {
  K58_CLASS(TuiSpinEditButtons, TPersistent)

  explicit TuiSpinEditButtons(TuiCustomSpinEditProperties* AOwner = nullptr) : owner_(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TuiSpinEditButtonsPosition Position() const { return position_; }
  void SetPosition(TuiSpinEditButtonsPosition Value);
  bool ShowFastButtons() const { return showFastButtons_; }
  void SetShowFastButtons(bool Value);

 private:
  void Changed();

  TuiCustomSpinEditProperties* owner_;
  TuiSpinEditButtonsPosition position_ = sbpVert;
  bool showFastButtons_ = false;
};

class TuiSpinEditPropertiesValues : public TuiTextEditPropertiesValues {
  K58_CLASS(TuiSpinEditPropertiesValues, TuiTextEditPropertiesValues)

  explicit TuiSpinEditPropertiesValues(TPersistent* AOwner = nullptr) : TuiTextEditPropertiesValues(AOwner) {}
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool ValueType() const { return valueType_; }
  void SetValueType(bool Value);

 private:
  bool valueType_ = false;
};

class TuiCustomSpinEditProperties : public TuiCustomMaskEditProperties {
  K58_CLASS(TuiCustomSpinEditProperties, TuiCustomMaskEditProperties)

  TuiCustomSpinEditProperties();
  ~TuiCustomSpinEditProperties() override;
  void Assign(TPersistent* Source) override;

  TuiSpinEditPropertiesValues* AssignedValues() const {
    return static_cast<TuiSpinEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  }
  void SetAssignedValues(TuiSpinEditPropertiesValues* Value) { TuiCustomEditProperties::SetAssignedValues(Value); }

  // ---- Settings ----
  TuiSpinEditButtons* SpinButtons() const { return spinButtons_.get(); }
  void SetSpinButtons(TuiSpinEditButtons* Value) { spinButtons_->Assign(Value); }
  bool CanEdit() const { return canEdit_; }
  void SetCanEdit(bool Value);
  bool Circular() const { return circular_; }
  void SetCircular(bool Value);
  bool ExceptionOnInvalidInput() const { return exceptionOnInvalidInput_; }
  void SetExceptionOnInvalidInput(bool Value);
  double Increment() const { return increment_; }
  void SetIncrement(double Value);
  bool IsIncrementStored() const { return increment_ != 1.0; }
  double LargeIncrement() const { return largeIncrement_; }
  void SetLargeIncrement(double Value);
  bool IsLargeIncrementStored() const { return largeIncrement_ != 10.0; }
  bool UseCtrlIncrement() const { return useCtrlIncrement_; }
  void SetUseCtrlIncrement(bool Value);
  // The assigned type; unassigned, a data-aware provider's field decides, and a standalone editor is
  // floating point.
  TuiSpinEditValueType ValueType();
  void SetValueType(TuiSpinEditValueType Value);
  bool IsValueTypeStored() const { return AssignedValues()->ValueType(); }
  const TuiSpinEditGetValueEvent& OnGetValue() const { return onGetValue_; }
  void SetOnGetValue(const TuiSpinEditGetValueEvent& Value) { onGetValue_ = Value; }

  // Whether a limit is in force (its assigned flag is set).
  bool IsMinValueInForce() const { return AssignedValues()->MinValue(); }
  bool IsMaxValueInForce() const { return AssignedValues()->MaxValue(); }

  // ---- Values ----
  // A number below an in-force MinValue becomes MinValue, else one above an in-force MaxValue becomes
  // MaxValue; anything else is copied.
  void ClampToLimits(const Variant& AValue, Variant& AResult);
  // X for vtFloat; for vtInt the nearest Int64, ties to even, saturated at the Int64 extremes.
  static Variant RoundToValueType(TuiSpinEditValueType AValueType, double X);
  // A double (vtFloat) or an Int64 (vtInt); texts are read with TextToValue. False when it cannot be.
  bool ConvertToValueType(const Variant& AValue, Variant& AResult);
  // Numbers are converted to the value type; anything else is copied.
  bool ConvertIfNumeric(const Variant& AValue, Variant& AResult);
  // The locale's reading of AText in the value type, within the type's range (always finite).
  bool TextToValue(const String& AText, Variant& AValue);
  bool HasGetValueHandler() const;

  // ---- New virtual operations ----
  virtual bool HasValueLimits() { return true; }
  virtual Integer GetLimitMode();
  virtual void GetMaxValueOfType(Variant& AValue);
  virtual void GetMinValueOfType(Variant& AValue);
  virtual bool AdjustsText() { return true; }
  // Null or an empty text count as 0; then the value type.
  virtual bool NormalizeValue(const Variant& AValue, Variant& AResult);
  virtual bool KeepsSelectionOnSpin() { return false; }

  // ---- Overrides ----
  void Changed() override;
  TuiCustomEditPropertiesValues* CreateAssignedValues() override { return new TuiSpinEditPropertiesValues(this); }
  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool AFocused) override;
  void GetEmptyDisplayValue(Variant& AValue) override;
  bool HasRangeCheck() override { return true; }
  bool AdjustTextValue(Variant& AValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

 private:
  TObjectPtr<TuiSpinEditButtons> spinButtons_;
  bool canEdit_ = true;
  bool circular_ = false;
  bool exceptionOnInvalidInput_ = false;
  double increment_ = 1.0;
  double largeIncrement_ = 10.0;
  bool useCtrlIncrement_ = false;
  TuiSpinEditValueType valueType_ = vtFloat;
  bool buttonsChanging_ = false;
  TuiSpinEditGetValueEvent onGetValue_;
};

class TuiSpinEditProperties : public TuiCustomSpinEditProperties {
  K58_CLASS(TuiSpinEditProperties, TuiCustomSpinEditProperties)
};

// ---- View data and view info ----------------------------------------------------------------------------

class TuiSpinEditViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiSpinEditViewInfo, TuiCustomTextEditViewInfo)

  TuiSpinEditViewInfo() = default;

  void Paint(TuiCanvas* ACanvas) override;
  void OffsetRects(Integer DX, Integer DY) override;
  void DrawButtonBorder(TuiCanvas* ACanvas, Integer AIndex, TuiEditButtonStyle AButtonStyle, TRect R) override;
  void DrawButtonContent(TuiCanvas* ACanvas, Integer AIndex, const TRect& ABackgroundRect, const TRect& AContentRect,
                         TColor ATextColor, TColor AFillColor) override;

  TuiSpinEditButtonsPosition Position = sbpVert;
  // Rows of an arrow (the up arrow's height for the unthemed sizes).
  Integer ArrowSize = 0;
  // The separator line drawn between themed buttons.
  bool HasSeparator = false;
  TPoint SeparatorFrom{0, 0};
  TPoint SeparatorTo{0, 0};

 private:
  void DrawUltraFlatSpinButton(TuiCanvas* ACanvas, Integer AIndex, TRect R);
  void DrawOffice11SpinButton(TuiCanvas* ACanvas, Integer AIndex, TRect R);
};

class TuiSpinEditViewData : public TuiCustomTextEditViewData {
  K58_CLASS(TuiSpinEditViewData, TuiCustomTextEditViewData)

  TuiSpinEditViewData() = default;

  // The widths of a pass: W (stacked buttons), S (horizontal up and down), F (fast buttons).
  void CalcSpinButtonSizes(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, const TRect& R, Integer& W,
                           Integer& S, Integer& F);
  // Lays out every button when asked for the last one of the pass (view index 0); R is left as it was.
  void CalculateButtonBounds(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R, Integer AIndex) override;
  void CalculateButtonsViewInfo(TuiCanvas* ACanvas, const TRect& ABounds, TuiCustomEditViewInfo* AViewInfo, Byte AButton,
                                TShiftState AShift, const TPoint& P, bool AIsMouseEvent) override;
  void CalculateButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo) override;
  bool IsButtonPressedByEditor(TuiCustomEditViewInfo* AViewInfo, Integer AButtonIndex) override;

  // The editor's keyboard-pressed button (0 none, else index + 1); 0 without an editor.
  Integer KeyPressedButton() const;

 private:
  TuiSpinEditButtonsPosition Position() const;
  bool ThemedSpin() const;
};

// ---- Editor -----------------------------------------------------------------------------------------------

class TuiCustomSpinEdit : public TuiCustomMaskEdit {
  K58_CLASS(TuiCustomSpinEdit, TuiCustomMaskEdit)

  explicit TuiCustomSpinEdit(TComponent* AOwner);
  ~TuiCustomSpinEdit() override;

  TuiCustomSpinEditProperties* ActiveProperties() {
    return static_cast<TuiCustomSpinEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomSpinEditProperties* Properties() const {
    return static_cast<TuiCustomSpinEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomSpinEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  Variant Value() {
    Variant v;
    GetValue(v);
    return v;
  }
  void SetValueVariant(Variant AValue) { SetValue(AValue); }
  bool IsValueStored() const;
  const Variant& InternalValue() const { return internalValue_; }
  bool TypedSinceSync() const { return typedSinceSync_; }
  Integer KeyPressedButton() const { return keyPressedButton_; }
  void SetKeyPressedButton(Integer Value);
  // The auto-repeat timer while a button is held, else nil.
  TuiTimer* RepeatTimer() const { return timer_; }

  // ---- New virtual operations ----
  virtual Variant GetIncrement(Integer AButton);
  virtual void GetValue(Variant& AValue);
  virtual void ValueToDisplayText(const Variant& AValue, String& AText);
  virtual void SetValue(const Variant& AValue);
  // Steps with button 0 (down), 1 (up), 2 (fast down) or 3 (fast up); True when the text changed.
  virtual bool DoSpinStep(Integer AButton);

  // The value of the step from the current value, or False when the step fails.
  bool CalcSpinValue(Integer AButton, Variant& AResult);
  bool TextToEditValue(const String& ADisplayValue, bool ARaiseOnError, String& AErrorText, Variant& AEditValue);
  void StopSpinning();

  // ---- Overrides ----
  bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) override;
  void ContentChanged(TObject* Sender) override;
  void DoButtonDown(Integer AButtonIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void Initialize() override;
  bool IsValidChar(char AChar) override;
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  TClass GetPropertiesClass() const override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void ApplyValueLimits() override;
  bool HasStoredEditValue() override { return false; }
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void FocusStateChanged() override;

 private:
  bool DoGetValue(const String& AText, Variant& AValue, String& AErrorText);
  void StartAutoRepeat();
  void AutoRepeatTick(TObject* Sender);
  void FreeRepeatTimer();

  Variant internalValue_;
  bool typedSinceSync_ = false;
  bool keyTyping_ = false;
  Integer keyPressedButton_ = 0;
  TuiTimer* timer_ = nullptr;
  bool firstTickDone_ = false;
  bool stopping_ = false;
};

class TuiSpinEdit : public TuiCustomSpinEdit {
  K58_CLASS(TuiSpinEdit, TuiCustomSpinEdit)

  explicit TuiSpinEdit(TComponent* AOwner) : TuiCustomSpinEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiSpinEditProperties* ActiveProperties() {
    return static_cast<TuiSpinEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiSpinEditProperties* Properties() const { return static_cast<TuiSpinEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiSpinEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
  void SetImeNameValue(TImeName Value) { SetImeName(Value); }
};
