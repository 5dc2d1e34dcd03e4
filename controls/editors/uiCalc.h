// The pocket calculator control: 27 buttons drawn with the look-and-feel painters, laid out from a button
// height (or the font), and the engine behind them: one pending operation, the accumulator, a memory
// register, percent, square root, reciprocal and sign change, all in Extended precision.
//
// Threads: GUI thread only.
// Ownership: the calculator owns its button records; it has no display of its own: descendants keep the
// number as text (GetDisplayText / SetDisplayText).
// Coordinates: button rectangles are client coordinates.
// Re-entrancy: OnButtonClick, OnDisplayChange, OnResult and OnHidePopup run inside the engine and the
// key and mouse handlers; nothing raises out of those handlers (a display that is no number counts as 0).
#pragma once

#include <array>

#include "controls/editors/uiEdit.h"
#include "controls/foundation/Foundation.h"

namespace uicalcconsts {
inline constexpr const char* scxSCalcError = "Error";
}  // namespace uicalcconsts

// Button indexes; cbNone means no button.
enum TuiCalculatorButton : Integer {
  cbBack, cbCancelEntry, cbClear,
  cbMemoryClear, cbMemoryRead, cbMemoryStore, cbMemoryAdd,
  cbDigit0, cbDigit1, cbDigit2, cbDigit3, cbDigit4, cbDigit5, cbDigit6, cbDigit7, cbDigit8, cbDigit9,
  cbSign, cbDecimal, cbDivide, cbMultiply, cbSubtract, cbAdd, cbSqrt, cbPercent, cbReciprocal, cbEqual,
  cbNone
};
inline constexpr Integer CalculatorButtonCount = 27;

// 0 a result is shown (the next digit starts a new number), 1 a number is being entered, 2 error.
enum TuiCalcEditState : Byte { cesResult, cesEntering, cesError };

struct TuiCalcButtonInfo {
  TuiCalculatorButton Kind = cbNone;
  String Text;
  TColor FontColor = clBtnText;
  TRect Bounds{};
  bool Down = false;
  bool Disabled = false;
};

class TuiCustomCalculator;
K58_EVENT_TYPE(TuiButtonClickEvent, void(TObject* Sender, TuiCalculatorButton& AButton))

// The layout numbers of one button height.
struct TuiCalcMetrics {
  Integer ButtonHeight = 22;
  Integer ButtonWidth = 28;
  Integer WideButtonWidth = 47;
  Integer SpacingX = 3;
  Integer SpacingY = 3;
  Integer FontSize = 8;
  Integer CalcWidth = 198;
  Integer CalcHeight = 131;
};

namespace k58::editors {
// Five rows of buttons and six gaps for a button height.
Integer CalculatorTotalHeightFor(Integer AButtonHeight);
// The metrics of a button height (at least 22 is the caller's business).
TuiCalcMetrics CalculatorMetricsForHeight(Integer AButtonHeight);
// The button height that fits a client size best: starting at 22 and growing while the total height comes
// closer to AHeight (never above what AWidth allows at the calculator's proportions).
Integer CalculatorHeightForSize(Integer AWidth, Integer AHeight);
// The display text of a value: general format with max(2, ADigits) significant digits.
String CalculatorValueToText(Extended AValue, Byte ADigits, const TFormatSettings& AFormat);
// The value of a display text: trimmed ("0" when empty), without thousand separators; False for a text
// that is no number (AValue is then 0).
bool CalculatorTextToValue(const String& AText, Extended& AValue, const TFormatSettings& AFormat);
}  // namespace k58::editors

class TuiCustomCalculator : public TuiControl, public IuiMouseTrackingCaller {
  K58_CLASS(TuiCustomCalculator, TuiControl)

  explicit TuiCustomCalculator(TComponent* AOwner);
  ~TuiCustomCalculator() override;

  // ---- Properties ----
  bool AutoFontSize() const { return autoFontSize_; }
  void SetAutoFontSize(bool Value);
  bool BeepOnError() const { return beepOnError_; }
  void SetBeepOnError(bool Value) { beepOnError_ = Value; }
  // The window border (hides the control's painter border, which the calculator does not use).
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool Value);
  Byte Digits() const { return digits_; }
  void SetDigits(Byte Value) { digits_ = Value; }
  Extended Memory() const { return memory_; }
  Extended Accumulator() const { return accumulator_; }
  TuiCalculatorButton LastOperator() const { return lastOperator_; }
  TuiCalcEditState EditState() const { return editState_; }
  const TuiCalcMetrics& Metrics() const { return metrics_; }
  const TuiCalcButtonInfo& Buttons(TuiCalculatorButton AIndex) const { return buttons_[AIndex]; }
  TuiCalculatorButton HotButton() const { return hotButton_; }
  TuiCalculatorButton PressedButton() const { return pressedButton_; }
  TuiCalculatorButton KeyButton() const { return keyButton_; }
  bool IsPopup() const { return isPopup_; }
  void SetIsPopup(bool Value) { isPopup_ = Value; }

  const TNotifyEvent& OnDisplayChange() const { return onDisplayChange_; }
  void SetOnDisplayChange(const TNotifyEvent& Value) { onDisplayChange_ = Value; }
  const TuiButtonClickEvent& OnButtonClick() const { return onButtonClick_; }
  void SetOnButtonClick(const TuiButtonClickEvent& Value) { onButtonClick_ = Value; }
  const TNotifyEvent& OnResult() const { return onResult_; }
  void SetOnResult(const TNotifyEvent& Value) { onResult_ = Value; }
  const TuiEditClosePopupEvent& OnHidePopup() const { return onHidePopup_; }
  void SetOnHidePopup(const TuiEditClosePopupEvent& Value) { onHidePopup_ = Value; }

  // ---- Operations ----
  // 0 in the error state; a display that is no number counts as 0.
  Extended GetValue();
  void SetValue(Extended X);
  void CopyToClipboard();
  void PasteFromClipboard();
  // The engine.
  void ButtonClick(TuiCalculatorButton AButton);
  // Shown down and repainted at once; processed unless it is Back.
  void PressButton(TuiCalculatorButton AButton);
  void ReleaseButton(TuiCalculatorButton AButton);
  // The button under a client point, cbNone when none.
  TuiCalculatorButton ButtonAt(Integer X, Integer Y) const;
  // Lays the buttons out for a client size (the engine state stays).
  void CalculateMetrics(Integer AWidth, Integer AHeight);
  // The button of a key (with its shift state) or a character; cbNone when none.
  static TuiCalculatorButton KeyToButton(Word AKey, TShiftState AShift);
  static TuiCalculatorButton CharToButton(char AChar);

  // ---- Virtual operations ----
  TuiLookAndFeelPainterClass GetPainterClass() override;
  virtual void GetDisplayText(String& AText) { AText.clear(); }
  virtual void SetDisplayText(const String& /*AText*/) {}
  virtual void HidePopup(TObject* Sender, Byte AReason);

  void SetEnabled(bool Value) override;
  // The mouse left the calculator while a button was hot.
  void MouseLeave() override;

 protected:
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void ControlFontChanged() override;
  void FocusStateChanged() override;
  void MouseLeft(TControl* AControl) override;
  // The button held down by a key is forgotten (it stays drawn as it is).
  void ForgetKeyButton() { keyButton_ = cbNone; }

 private:
  String DisplayText();
  void CreateButtons();
  void ResetEngine();
  void UpdateMemoryButtons();
  void InvalidateButton(TuiCalculatorButton AButton);
  void RepaintButton(TuiCalculatorButton AButton);
  void SetButtonDown(TuiCalculatorButton AButton, bool ADown);
  void BeginNumber();
  void ClearAll();
  void ShowError();
  void ErrorBeep();
  void SetHotButton(TuiCalculatorButton AButton);
  void PressByKeyboard(TuiCalculatorButton AButton);
  TuiButtonState ButtonState(const TuiCalcButtonInfo& AButton);

  bool autoFontSize_ = true;
  bool beepOnError_ = true;
  TBorderStyle borderStyle_ = bsNone;
  bool showFocusRect_ = true;
  TuiCalcMetrics metrics_;
  Extended memory_ = 0;
  TuiCalculatorButton lastOperator_ = cbEqual;
  Extended accumulator_ = 0;
  Byte digits_ = 15;
  TuiCalcEditState editState_ = cesResult;
  std::array<TuiCalcButtonInfo, CalculatorButtonCount> buttons_;
  TuiCalculatorButton hotButton_ = cbNone;
  TuiCalculatorButton pressedButton_ = cbNone;
  TuiCalculatorButton keyButton_ = cbNone;
  bool tracking_ = false;
  bool isPopup_ = false;
  bool resizing_ = false;
  TNotifyEvent onDisplayChange_;
  TuiButtonClickEvent onButtonClick_;
  TNotifyEvent onResult_;
  TuiEditClosePopupEvent onHidePopup_;
};
