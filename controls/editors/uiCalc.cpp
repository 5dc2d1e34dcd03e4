// The pocket calculator control: button layout, engine, keyboard and mouse, clipboard and painting.
#include "controls/editors/uiCalc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "controls/editors/uiTextEdit.h"
#include "controls/editors/uiTextEditProperties.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"
#include "platform/win/gdi/WinRect.h"
#include "platform/win/ui/WinClipboard.h"

K58_IMPLEMENT_CLASS(TuiCustomCalculator) {
  using S = TuiCustomCalculator;
  b.Prop("AutoFontSize", &S::AutoFontSize, &S::SetAutoFontSize);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError);
  b.Prop("BorderStyle", &S::BorderStyle, &S::SetBorderStyle);
  b.Prop("ShowFocusRect", &S::ShowFocusRect, &S::SetShowFocusRect);
}

namespace k58::editors {

Integer CalculatorTotalHeightFor(Integer AButtonHeight) {
  return 5 * AButtonHeight + 6 * MulDiv(AButtonHeight, 3, 22);
}

TuiCalcMetrics CalculatorMetricsForHeight(Integer AButtonHeight) {
  TuiCalcMetrics m;
  const Integer h = AButtonHeight;
  m.ButtonHeight = h;
  m.ButtonWidth = MulDiv(h, 28, 22);
  m.SpacingX = m.SpacingY = MulDiv(h, 3, 22);
  m.WideButtonWidth = MulDiv(m.ButtonWidth, 17, 10);
  m.FontSize = MulDiv(h, 8, 22);
  m.CalcHeight = 5 * h + 6 * m.SpacingY;
  m.CalcWidth = 6 * m.ButtonWidth + 8 * m.SpacingX + 4;
  return m;
}

Integer CalculatorHeightForSize(Integer AWidth, Integer AHeight) {
  const Integer target = std::min(AHeight, MulDiv(AWidth, 131, 198));
  Integer best = 22;
  Integer bestDistance = std::abs(CalculatorTotalHeightFor(best) - target);
  // The total grows with h, so the distance falls until h passes the target and then rises.
  for (Integer h = 23;; ++h) {
    const Integer distance = std::abs(CalculatorTotalHeightFor(h) - target);
    if (distance >= bestDistance) break;
    best = h;
    bestDistance = distance;
  }
  return best;
}

String CalculatorValueToText(Extended AValue, Byte ADigits, const TFormatSettings& AFormat) {
  return FloatToStrF(AValue, ffGeneral, std::max<Integer>(2, ADigits), 0, AFormat);
}

bool CalculatorTextToValue(const String& AText, Extended& AValue, const TFormatSettings& AFormat) {
  String text = Trim(AText);
  if (text.empty()) text = "0";
  // Thousand separators of the display's own locale.
  if (AFormat.ThousandSeparator != '\0' && AFormat.ThousandSeparator != AFormat.DecimalSeparator)
    std::erase(text, AFormat.ThousandSeparator);
  if (TryStrToFloat(text, AValue, AFormat) && std::isfinite(AValue)) return true;
  AValue = 0;
  return false;
}

}  // namespace k58::editors

namespace {

using namespace k58::editors;

struct TCalcButtonFace {
  const char* Text;
  TColor Color;
};

// Captions and colours by button index; the decimal separator's caption is the locale's.
constexpr TCalcButtonFace CalcButtonFaces[CalculatorButtonCount] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},  {"MC", clRed},   {"MR", clRed},    {"MS", clRed},
    {"M+", clRed},      {"0", clBlue},    {"1", clBlue},    {"2", clBlue},   {"3", clBlue},    {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},    {"8", clBlue},   {"9", clBlue},    {"+/-", clBlue},
    {"", clBlue},       {"/", clRed},     {"*", clRed},     {"-", clRed},    {"+", clRed},     {"sqrt", clNavy},
    {"%", clNavy},      {"1/x", clNavy},  {"=", clRed}};

// The keypad, five columns by four rows.
constexpr TuiCalculatorButton CalcKeypad[4][5] = {
    {cbDigit7, cbDigit8, cbDigit9, cbDivide, cbSqrt},
    {cbDigit4, cbDigit5, cbDigit6, cbMultiply, cbPercent},
    {cbDigit1, cbDigit2, cbDigit3, cbSubtract, cbReciprocal},
    {cbDigit0, cbSign, cbDecimal, cbAdd, cbEqual}};

bool IsCalcOperator(TuiCalculatorButton AButton) { return AButton >= cbDivide && AButton <= cbAdd; }

bool WriteCalcClipboardText(const String& AText) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool done = false;
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, AText.size() + 1)) {
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
      std::memcpy(p, AText.c_str(), AText.size() + 1);
      GlobalUnlock(block);
      done = SetClipboardData(CF_TEXT, block) != nullptr;
    }
    if (!done) GlobalFree(block);
  }
  CloseClipboard();
  return done;
}

}  // namespace

TuiCustomCalculator::TuiCustomCalculator(TComponent* AOwner) : TuiControl(AOwner) {
  SetBounds(Left(), Top(), 198, 131);
  TControlStyle style;
  style.Include(csCaptureMouse).Include(csOpaque);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  SetWantedKeys(TuiWantedKeys().Include(wkAllKeys).Include(wkArrows).Include(wkChars).Include(wkTab));
  CreateButtons();
  // The engine starts clear once; later layouts keep the memory and the pending operation.
  ResetEngine();
  UpdateMemoryButtons();
}

TuiCustomCalculator::~TuiCustomCalculator() { StopMouseLeaveTracking(this); }

void TuiCustomCalculator::SetAutoFontSize(bool Value) {
  if (autoFontSize_ == Value) return;
  autoFontSize_ = Value;
  if (HandleAllocated()) Resize();
  Invalidate();
}

void TuiCustomCalculator::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TuiCustomCalculator::SetShowFocusRect(bool Value) {
  if (showFocusRect_ == Value) return;
  showFocusRect_ = Value;
  InvalidateButton(cbEqual);
}

void TuiCustomCalculator::SetEnabled(bool Value) {
  TuiControl::SetEnabled(Value);
  Invalidate();
}

TuiLookAndFeelPainterClass TuiCustomCalculator::GetPainterClass() { return GetPainterClassOfKind(lfStandard); }

void TuiCustomCalculator::HidePopup(TObject* Sender, Byte AReason) {
  if (onHidePopup_.Assigned()) onHidePopup_(Sender, AReason);
}

// ---- Layout -------------------------------------------------------------------------------------------

void TuiCustomCalculator::CalculateMetrics(Integer AWidth, Integer AHeight) {
  Integer h;
  if (autoFontSize_) {
    h = CalculatorHeightForSize(AWidth, AHeight);
  } else {
    TuiCanvas* canvas = Canvas();
    h = 2 * (HandleAllocated() && canvas != nullptr ? canvas->MeasureFontHeight(Font()) : std::abs(Font()->Height()));
  }
  metrics_ = CalculatorMetricsForHeight(h);
  CreateButtons();
}

void TuiCustomCalculator::CreateButtons() {
  const Integer w = metrics_.ButtonWidth, h = metrics_.ButtonHeight;
  const Integer gx = metrics_.SpacingX, gy = metrics_.SpacingY;
  const Integer k = w + 2 * gx + 4;
  for (Integer i = 0; i < CalculatorButtonCount; ++i) {
    TuiCalcButtonInfo& b = buttons_[i];
    b.Kind = static_cast<TuiCalculatorButton>(i);
    b.Text = i == cbDecimal ? String(1, FormatSettings.DecimalSeparator) : String(CalcButtonFaces[i].Text);
    b.FontColor = CalcButtonFaces[i].Color;
    b.Down = false;
    b.Disabled = false;
  }
  auto rowTop = [&](Integer r) { return r * (h + gy) + gy; };
  auto rowBottom = [&](Integer r) { return (r + 1) * (h + gy); };
  for (Integer r = 1; r <= 4; ++r) {
    buttons_[cbMemoryClear + r - 1].Bounds = TRect{gx, rowTop(r), gx + w, rowBottom(r)};
    for (Integer c = 0; c < 5; ++c)
      buttons_[CalcKeypad[r - 1][c]].Bounds =
          TRect{gx + k + c * (gx + w), rowTop(r), k + (c + 1) * (gx + w), rowBottom(r)};
  }
  const Integer right = buttons_[cbEqual].Bounds.right;
  const Integer wide = metrics_.WideButtonWidth;
  buttons_[cbClear].Bounds = TRect{right - wide, gy, right, gy + h};
  buttons_[cbCancelEntry].Bounds = TRect{right - wide - gy - wide, gy, right - wide - gy, gy + h};
  buttons_[cbBack].Bounds = TRect{right - 3 * wide - 2 * gy, gy, right - 2 * wide - 2 * gy, gy + h};
  hotButton_ = pressedButton_ = keyButton_ = cbNone;
  tracking_ = false;
  UpdateMemoryButtons();
}

void TuiCustomCalculator::ResetEngine() {
  lastOperator_ = cbEqual;
  editState_ = cesResult;
  memory_ = 0;
}

void TuiCustomCalculator::UpdateMemoryButtons() {
  buttons_[cbMemoryClear].Disabled = memory_ == 0;
  buttons_[cbMemoryRead].Disabled = memory_ == 0;
}

void TuiCustomCalculator::Resize() {
  if (resizing_) return TuiControl::Resize();
  resizing_ = true;
  try {
    CalculateMetrics(ClientWidth(), ClientHeight());
    SetClientWidth(metrics_.CalcWidth);
    SetClientHeight(metrics_.CalcHeight);
  } catch (...) {
    resizing_ = false;
    throw;
  }
  resizing_ = false;
  TuiControl::Resize();
}

void TuiCustomCalculator::ControlFontChanged() {
  if (!ComponentState().Contains(csLoading)) SetParentFont(false);
  TuiControl::ControlFontChanged();
}

void TuiCustomCalculator::FocusStateChanged() {
  TuiControl::FocusStateChanged();
  InvalidateButton(cbEqual);
}

void TuiCustomCalculator::CreateParams(TCreateParams& Params) {
  TuiControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
  Params.WindowClass.style &= ~CS_DBLCLKS;
  if (isPopup_) Params.Style &= ~WS_BORDER;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.Style &= ~WS_BORDER;
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
}

// ---- Engine -------------------------------------------------------------------------------------------

String TuiCustomCalculator::DisplayText() {
  String text;
  GetDisplayText(text);
  return text;
}

Extended TuiCustomCalculator::GetValue() {
  if (editState_ == cesError) return 0;
  Extended value = 0;
  // A display that is no number (a lone "-" typed in the editor, say) counts as 0: the engine runs inside
  // key and mouse handlers, where an error would escape to the message loop.
  CalculatorTextToValue(DisplayText(), value, FormatSettings);
  return value;
}

void TuiCustomCalculator::SetValue(Extended X) {
  // An overflow would show a text the engine cannot read back.
  if (!std::isfinite(X)) return ShowError();
  const String text = CalculatorValueToText(X, digits_, FormatSettings);
  if (text == DisplayText()) return;
  SetDisplayText(text);
  if (onDisplayChange_.Assigned()) onDisplayChange_(this);
}

void TuiCustomCalculator::CopyToClipboard() { WriteCalcClipboardText(DisplayText()); }

void TuiCustomCalculator::PasteFromClipboard() {
  String text;
  if (!ReadClipboardText(text)) return;
  if (!FormatSettings.CurrencyString.empty()) {
    for (size_t at; (at = text.find(FormatSettings.CurrencyString)) != String::npos;)
      text.erase(at, FormatSettings.CurrencyString.size());
  }
  Extended value = 0;
  if (!TryStrToFloat(Trim(text), value) || !std::isfinite(value)) value = 0;
  SetValue(value);
  editState_ = cesEntering;
}

void TuiCustomCalculator::ErrorBeep() {
  if (beepOnError_) MessageBeep(0);
}

void TuiCustomCalculator::BeginNumber() {
  if (editState_ != cesResult) return;
  editState_ = cesEntering;
  SetDisplayText("0");
}

void TuiCustomCalculator::ClearAll() {
  editState_ = cesResult;
  SetValue(0);
  lastOperator_ = cbEqual;
}

void TuiCustomCalculator::ShowError() {
  editState_ = cesError;
  SetDisplayText(LocalizeText(uicalcconsts::scxSCalcError));
  ErrorBeep();
}

void TuiCustomCalculator::ButtonClick(TuiCalculatorButton AButton) {
  if (onButtonClick_.Assigned()) onButtonClick_(this, AButton);
  if (AButton < 0 || AButton >= CalculatorButtonCount) return;
  if (editState_ == cesError && AButton != cbCancelEntry && AButton != cbClear) {
    ShowError();
    return;
  }
  if (AButton == cbDecimal) {
    BeginNumber();
    const String text = DisplayText();
    if (text.find(FormatSettings.DecimalSeparator) == String::npos)
      SetDisplayText(text + FormatSettings.DecimalSeparator);
    return;
  }
  if (AButton >= cbDigit0 && AButton <= cbDigit9) {
    BeginNumber();
    String text = DisplayText();
    if (text == "0") text.clear();
    const size_t minus = text.find('-');
    const size_t limit = static_cast<size_t>(std::max<Integer>(2, digits_)) + (minus == String::npos ? 0 : minus + 1);
    if (text.size() < limit)
      SetDisplayText(text + static_cast<char>('0' + (AButton - cbDigit0)));
    else
      ErrorBeep();
    return;
  }
  switch (AButton) {
    case cbBack: {
      BeginNumber();
      String text = DisplayText();
      if (text.size() == 1 || (text.size() == 2 && text[0] == '-') || text.empty())
        SetDisplayText("0");
      else
        SetDisplayText(text.substr(0, text.size() - 1));
      return;
    }
    case cbCancelEntry:
    case cbClear: ClearAll(); return;
    case cbMemoryClear:
      memory_ = 0;
      UpdateMemoryButtons();
      InvalidateButton(cbMemoryClear);
      InvalidateButton(cbMemoryRead);
      return;
    case cbMemoryRead:
      editState_ = cesResult;
      BeginNumber();
      SetValue(memory_);
      return;
    case cbMemoryStore:
    case cbMemoryAdd:
      editState_ = cesResult;
      memory_ = AButton == cbMemoryStore ? GetValue() : memory_ + GetValue();
      UpdateMemoryButtons();
      InvalidateButton(cbMemoryClear);
      InvalidateButton(cbMemoryRead);
      return;
    case cbSign: SetValue(-GetValue()); return;
    case cbSqrt:
    case cbReciprocal: {
      editState_ = IsCalcOperator(lastOperator_) ? cesEntering : cesResult;
      const Extended x = GetValue();
      if (AButton == cbSqrt ? x < 0 : x == 0)
        ShowError();
      else
        SetValue(AButton == cbSqrt ? std::sqrt(x) : 1 / x);
      return;
    }
    default: break;
  }
  // The operators, % and =.
  if (editState_ == cesEntering) {
    editState_ = cesResult;
    Extended x = GetValue();
    if (AButton == cbPercent) {
      if (lastOperator_ == cbDivide || lastOperator_ == cbMultiply)
        x = x / 100;
      else if (lastOperator_ == cbSubtract || lastOperator_ == cbAdd)
        x = accumulator_ * x / 100;
    }
    switch (lastOperator_) {
      case cbDivide:
        if (x == 0)
          ShowError();
        else
          SetValue(accumulator_ / x);
        break;
      case cbMultiply: SetValue(accumulator_ * x); break;
      case cbSubtract: SetValue(accumulator_ - x); break;
      case cbAdd: SetValue(accumulator_ + x); break;
      default: break;
    }
  }
  lastOperator_ = AButton;
  accumulator_ = GetValue();
  if ((AButton == cbPercent || AButton == cbEqual) && onResult_.Assigned()) onResult_(this);
}

// ---- Buttons on screen ----------------------------------------------------------------------------------

TuiCalculatorButton TuiCustomCalculator::ButtonAt(Integer X, Integer Y) const {
  for (const TuiCalcButtonInfo& b : buttons_)
    if (PtInRect(&b.Bounds, POINT{X, Y})) return b.Kind;
  return cbNone;
}

void TuiCustomCalculator::InvalidateButton(TuiCalculatorButton AButton) {
  if (AButton >= 0 && AButton < CalculatorButtonCount) InvalidateArea(buttons_[AButton].Bounds, false);
}

void TuiCustomCalculator::RepaintButton(TuiCalculatorButton AButton) {
  InvalidateButton(AButton);
  if (HandleAllocated()) UpdateWindow(Handle());
}

void TuiCustomCalculator::SetButtonDown(TuiCalculatorButton AButton, bool ADown) {
  if (AButton < 0 || AButton >= CalculatorButtonCount || buttons_[AButton].Down == ADown) return;
  buttons_[AButton].Down = ADown;
  RepaintButton(AButton);
}

void TuiCustomCalculator::PressButton(TuiCalculatorButton AButton) {
  if (AButton < 0 || AButton >= CalculatorButtonCount) return;
  buttons_[AButton].Down = true;
  RepaintButton(AButton);
  if (AButton != cbBack) ButtonClick(AButton);
}

void TuiCustomCalculator::ReleaseButton(TuiCalculatorButton AButton) {
  if (AButton < 0 || AButton >= CalculatorButtonCount) return;
  buttons_[AButton].Down = false;
  keyButton_ = cbNone;
  RepaintButton(AButton);
}

void TuiCustomCalculator::SetHotButton(TuiCalculatorButton AButton) {
  if (hotButton_ == AButton) return;
  const TuiCalculatorButton old = hotButton_;
  hotButton_ = AButton;
  if (old != cbNone && !buttons_[old].Disabled) InvalidateButton(old);
  if (AButton != cbNone && !buttons_[AButton].Disabled) InvalidateButton(AButton);
}

// ---- Keyboard -------------------------------------------------------------------------------------------

TuiCalculatorButton TuiCustomCalculator::KeyToButton(Word AKey, TShiftState AShift) {
  const bool ctrl = AShift.Contains(ssCtrl);
  switch (AKey) {
    case VK_RETURN: return cbEqual;
    case VK_ESCAPE: return cbClear;
    case VK_DELETE: return cbCancelEntry;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'L': return ctrl ? cbMemoryClear : cbNone;
    case 'M': return ctrl ? cbMemoryStore : cbNone;
    case 'P': return ctrl ? cbMemoryAdd : cbNone;
    case 'R': return ctrl ? cbMemoryRead : cbReciprocal;
    case VK_F9: return cbSign;
    default: return cbNone;
  }
}

TuiCalculatorButton TuiCustomCalculator::CharToButton(char AChar) {
  if (AChar >= '0' && AChar <= '9') return static_cast<TuiCalculatorButton>(cbDigit0 + (AChar - '0'));
  switch (AChar) {
    case '\b': return cbBack;
    case '.':
    case ',': return cbDecimal;
    case '+': return cbAdd;
    case '-': return cbSubtract;
    case '*': return cbMultiply;
    case '/': return cbDivide;
    case '%': return cbPercent;
    case '=': return cbEqual;
    case '@': return cbSqrt;
    default: return cbNone;
  }
}

void TuiCustomCalculator::PressByKeyboard(TuiCalculatorButton AButton) {
  if (AButton == cbNone || AButton == keyButton_) return;
  if (keyButton_ != cbNone) ReleaseButton(keyButton_);
  keyButton_ = AButton;
  PressButton(AButton);
}

void TuiCustomCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TuiControl::KeyDown(Key, Shift);
  PressByKeyboard(KeyToButton(Key, Shift));
}

void TuiCustomCalculator::KeyPress(char& Key) {
  TuiControl::KeyPress(Key);
  if (Key == 0x16) {
    PasteFromClipboard();
  } else if (Key == 0x03) {
    CopyToClipboard();
  }
  PressByKeyboard(CharToButton(Key));
  // Back repeats with the keyboard's auto-repeat; other held keys act once.
  if (keyButton_ == cbBack) ButtonClick(cbBack);
}

void TuiCustomCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TuiControl::KeyUp(Key, Shift);
  if (keyButton_ != cbNone) ReleaseButton(keyButton_);
}

// ---- Mouse ----------------------------------------------------------------------------------------------

void TuiCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (!IsDesigning() && !isPopup_ && (CanFocusWithForm() || GetParentForm(this) == nullptr) && CanFocus())
    SetFocus();
  const TuiCalculatorButton button = ButtonAt(X, Y);
  if (Button == mbLeft && button != cbNone && !buttons_[button].Disabled && Enabled()) {
    SetMouseCapture(true);
    tracking_ = true;
    pressedButton_ = button;
    SetButtonDown(button, true);
  }
  TuiControl::MouseDown(Button, Shift, X, Y);
}

void TuiCustomCalculator::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseMove(Shift, X, Y);
  if (tracking_) {
    SetButtonDown(pressedButton_, ButtonAt(X, Y) == pressedButton_);
  } else if (GetPainterClass()->HasHotTrackedButtons() && Enabled() && !Dragging()) {
    SetHotButton(ButtonAt(X, Y));
    if (hotButton_ != cbNone) StartMouseLeaveTracking(this, ClientRect(), this);
  }
}

void TuiCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  const TuiCalculatorButton pressed = pressedButton_;
  const bool wasDown = pressed != cbNone && buttons_[pressed].Down;
  if (tracking_) {
    tracking_ = false;
    SetButtonDown(pressed, false);
    SetMouseCapture(false);
  }
  pressedButton_ = cbNone;
  if (wasDown && Button == mbLeft) ButtonClick(pressed);
  TuiControl::MouseUp(Button, Shift, X, Y);
}

void TuiCustomCalculator::MouseLeft(TControl* AControl) {
  TuiControl::MouseLeft(AControl);
  if (GetPainterClass()->HasHotTrackedButtons()) SetHotButton(cbNone);
}

void TuiCustomCalculator::MouseLeave() {
  SetHotButton(cbNone);
  StopMouseLeaveTracking(this);
}

// ---- Painting -------------------------------------------------------------------------------------------

TuiButtonState TuiCustomCalculator::ButtonState(const TuiCalcButtonInfo& AButton) {
  if (AButton.Disabled || !Enabled()) return uibsDisabled;
  if (AButton.Down) return uibsPressed;
  if (AButton.Kind == hotButton_ && AButton.Kind != pressedButton_) return uibsHot;
  if (AButton.Kind == cbEqual && Focused()) return uibsDefault;
  return uibsNormal;
}

void TuiCustomCalculator::Paint() {
  if (!HandleAllocated()) return;
  TuiCanvas* canvas = Canvas();
  canvas->FillRectWithColor(ClientRect(), Color());
  canvas->SetCanvasFont(Font());
  if (autoFontSize_) {
    canvas->GetCanvasFont()->SetSize(metrics_.FontSize);
    canvas->GetCanvasFont()->SetStyle(metrics_.FontSize >= 10 ? TFontStyles().Include(fsBold) : TFontStyles());
  }
  const TuiLookAndFeelPainterClass painter = GetPainterClass();
  for (const TuiCalcButtonInfo& b : buttons_) {
    if (!RectVisible(canvas->GetDCHandle(), &b.Bounds)) continue;
    const TuiButtonState state = ButtonState(b);
    painter->PaintButton(canvas, b.Bounds, "", state, true, clDefault, clDefault);
    TRect text = b.Bounds;
    if (state == uibsPressed) {
      const Integer shift = painter->GetButtonPressedShift();
      OffsetRect(&text, shift, shift);
    }
    canvas->GetCanvasFont()->SetColor(b.FontColor);
    canvas->GetCanvasBrush()->SetStyle(bsClear);
    canvas->DrawCaptionText(b.Text, text, ctfShowPrefix | ctfSingleLine | ctfAlignVCenter | ctfAlignHCenter,
                            state != uibsDisabled);
    canvas->GetCanvasBrush()->SetStyle(bsSolid);
    if (b.Kind == cbEqual && showFocusRect_ && Focused()) {
      TRect focus = b.Bounds;
      InflateRect(&focus, -3, -3);
      canvas->DrawFocusRectangle(focus);
    }
  }
}
