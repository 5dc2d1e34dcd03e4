// The calculator editor: its texts and values, the typing filter, the popup calculator and registration.
#include "controls/editors/uiCalcEdit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "controls/editors/uiButtons.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Strings.h"

// ---- Text conversions --------------------------------------------------------------------------------------

namespace k58::editors {

void TrimExponentMantissa(String& S) {
  String exponent;
  ExtractExponent(S, exponent);
  if (S.find(FormatSettings.DecimalSeparator) != String::npos) {
    while (!S.empty() && S.back() == '0') S.pop_back();
    if (!S.empty() && S.back() == FormatSettings.DecimalSeparator) S.pop_back();
  }
  S += exponent;
}

String CalcEditValueToText(Extended AValue, Integer APrecision, bool AScientific, bool AThousands) {
  const TFloatFormat format = AScientific ? ffExponent : ffGeneral;
  String text = FloatToStrF(AValue, format, APrecision, 0);
  // Rounding next to the largest Double may pass it ("2E308" for 1.7e308 with one digit): more digits
  // until the text reads back, so that editing a shown value never loses it.
  for (Integer digits = std::max<Integer>(APrecision, 1) + 1; digits <= 17; ++digits) {
    Extended shown = 0;
    if (TryStrToFloat(text, shown) && std::fabs(shown) <= DBL_MAX) break;
    text = FloatToStrF(AValue, format, digits, 0);
  }
  if (AScientific)
    TrimExponentMantissa(text);
  else if (AThousands)
    InsertThousandSeparators(text);
  return text;
}

bool CalcEditTextToValue(const String& AText, bool AThousands, Variant& AValue) {
  String text = AText;
  if (AThousands) RemoveThousandSeparators(text);
  text = Trim(text);
  AValue = Null();
  if (text.empty()) return true;
  Extended value = 0;
  // The edit value is a Double: a number beyond its range is no value of the editor.
  if (!TryStrToFloat(text, value) || !std::isfinite(value) || std::fabs(value) > DBL_MAX) return false;
  AValue = Variant(static_cast<double>(value));
  return true;
}

bool IsCalcEditFloatText(const String& AText) {
  String text = AText;
  RemoveThousandSeparators(text);
  Extended value = 0;
  if (!TryStrToFloat(text, value) || !std::isfinite(value)) return false;
  const Extended magnitude = std::fabs(value);
  return value == 0 || (magnitude >= 5e-324L && magnitude <= 1.7e308L);
}

}  // namespace k58::editors

using namespace k58::editors;

// ---- Assigned-value flags ---------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCalcEditPropertiesValues) {
  using S = TuiCalcEditPropertiesValues;
  // Precision itself is stored exactly when assigned, so the flag needs no entry of its own.
  b.Prop("Precision", &S::Precision, &S::SetPrecision).Stored(false);
}

void TuiCalcEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCalcEditPropertiesValues*>(Source);
  if (source == nullptr) return TuiTextEditPropertiesValues::Assign(Source);
  BeginUpdate();
  try {
    TuiTextEditPropertiesValues::Assign(Source);
    SetPrecision(source->Precision());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCalcEditPropertiesValues::RestoreDefaults() {
  TuiTextEditPropertiesValues::RestoreDefaults();
  SetPrecision(false);
}

void TuiCalcEditPropertiesValues::SetPrecision(bool Value) {
  if (precision_ == Value) return;
  precision_ = Value;
  Changed();
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCalcEditProperties) {}

K58_IMPLEMENT_CLASS(TuiCalcEditProperties) {
  using S = TuiCalcEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(true);
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("DisplayFormat", &S::DisplayFormat, &S::SetDisplayFormat).Stored(&S::IsDisplayFormatStored);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("Precision", &S::Precision, &S::SetPrecision).Stored(&S::IsPrecisionStored);
  b.Prop("QuickClose", &S::QuickClose, &S::SetQuickClose).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ScientificFormat", &S::ScientificFormat, &S::SetScientificFormat).Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("UseThousandSeparator", &S::UseThousandSeparator, &S::SetUseThousandSeparator).Default(false);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseQuery", &S::OnCloseQuery, &S::SetOnCloseQuery);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomCalcEditProperties::TuiCustomCalcEditProperties() {
  SetBeepOnError(true);
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
}

void TuiCustomCalcEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomCalcEditProperties*>(Source);
  if (source == nullptr) return TuiCustomPopupEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomPopupEditProperties::Assign(Source);
    SetBeepOnError(source->BeepOnError());
    if (source->AssignedValues()->Precision())
      SetPrecision(source->precision_);
    else
      AssignedValues()->SetPrecision(false);
    SetQuickClose(source->QuickClose());
    SetScientificFormat(source->ScientificFormat());
    SetUseThousandSeparator(source->UseThousandSeparator());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Byte TuiCustomCalcEditProperties::Precision() {
  Integer precision = CalcEditMaxPrecision;
  if (AssignedValues()->Precision())
    precision = precision_;
  else if (IuiEditDefaultValuesProvider* provider = DefaultValuesProvider())
    precision = provider->DefaultPrecision();
  return static_cast<Byte>(std::clamp<Integer>(precision, 0, CalcEditMaxPrecision));
}

void TuiCustomCalcEditProperties::SetPrecision(Byte Value) {
  if (AssignedValues()->Precision() && precision_ == Value) return;
  BeginUpdate();
  precision_ = Value;
  AssignedValues()->SetPrecision(true);
  EndUpdate();
}

void TuiCustomCalcEditProperties::SetQuickClose(bool Value) {
  if (quickClose_ == Value) return;
  quickClose_ = Value;
  Changed();
}

void TuiCustomCalcEditProperties::SetScientificFormat(bool Value) {
  if (scientificFormat_ == Value) return;
  scientificFormat_ = Value;
  Changed();
}

void TuiCustomCalcEditProperties::SetUseThousandSeparator(bool Value) {
  if (useThousandSeparator_ == Value) return;
  useThousandSeparator_ = Value;
  Changed();
}

TClass TuiCustomCalcEditProperties::GetEditClass() const { return TuiCalcEdit::StaticClass(); }

bool TuiCustomCalcEditProperties::EditValueToFloat(const Variant& AEditValue, Extended& AValue) {
  AValue = 0;
  if (IsNumericVariant(AEditValue)) {
    try {
      AValue = AEditValue.AsDouble();
    } catch (const EVariantError&) {
      return false;
    }
    return std::isfinite(AValue);
  }
  if (!VarIsStr(AEditValue)) return false;
  Variant value;
  if (!CalcEditTextToValue(VarToStr(AEditValue), false, value) || VarIsNull(value)) return false;
  AValue = value.AsDouble();
  return true;
}

bool TuiCustomCalcEditProperties::TextToValue(const String& AText, Variant& AValue) {
  return CalcEditTextToValue(AText, IsThousandSeparatorUsed(false), AValue);
}

bool TuiCustomCalcEditProperties::IsEditValueValid(Variant& AEditValue, bool) {
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || IsNullOrEmptyTextVariant(AEditValue)) return true;
  Extended value = 0;
  return EditValueToFloat(AEditValue, value);
}

void TuiCustomCalcEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  ADisplayValue = Variant(String());
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || IsNullOrEmptyTextVariant(AEditValue)) return;
  // A value with no number shows empty: display paths never raise.
  Extended value = 0;
  if (!EditValueToFloat(AEditValue, value)) return;
  if (AEditFocused || !AssignedValues()->DisplayFormat()) {
    ADisplayValue = Variant(CalcEditValueToText(value, Precision(), scientificFormat_, useThousandSeparator_));
    return;
  }
  try {
    ADisplayValue = Variant(FormatFloat(DisplayFormat(), value));
  } catch (const Exception&) {
    ADisplayValue = Variant(CalcEditValueToText(value, Precision(), scientificFormat_, useThousandSeparator_));
  }
}

void TuiCustomCalcEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  AError = false;
  TuiCustomPopupEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TuiCustomCalcEditProperties::SupportsValueFormatting(bool AFocused) {
  if (AFocused || AssignedValues()->DisplayFormat()) return false;
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return provider != nullptr && provider->IsDisplayTextDefined(false);
}

// ---- Popup calculator ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiPopupCalculator) {}

TuiPopupCalculator::TuiPopupCalculator(TComponent* AOwner) : TuiCustomCalculator(AOwner) { SetIsPopup(true); }

void TuiPopupCalculator::ResetKeyButton() { ForgetKeyButton(); }

void TuiPopupCalculator::FitToFont() {
  ControlFontChanged();
  Resize();
}

TuiLookAndFeelPainterClass TuiPopupCalculator::GetPainterClass() {
  if (edit_ == nullptr || edit_->PopupControlsLookAndFeel() == nullptr) return TuiCustomCalculator::GetPainterClass();
  return GetButtonPainterClass(edit_->PopupControlsLookAndFeel());
}

void TuiPopupCalculator::GetDisplayText(String& AText) {
  AText.clear();
  if (edit_ != nullptr) edit_->GetDisplayText(AText);
}

void TuiPopupCalculator::SetDisplayText(const String& AText) {
  if (edit_ == nullptr || edit_->InnerTextEdit() == nullptr || !edit_->DoEditing()) return;
  edit_->InnerTextEdit()->SetEditValue(Variant(AText));
  edit_->SetModified(true);
}

void TuiPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TuiCustomCalculator::KeyDown(Key, Shift);
  const bool onlyAlt = Shift.Contains(ssAlt) && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_TAB:
      if (edit_ != nullptr) edit_->DoEditKeyDown(Key, Shift);
      break;
    case VK_RETURN: HidePopup(this, pcrAccept); break;
    case VK_ESCAPE: HidePopup(this, pcrCancel); break;
    case VK_UP:
    case VK_DOWN:
      if (onlyAlt) HidePopup(this, pcrToggle);
      break;
    case VK_F4: HidePopup(this, pcrToggle); break;
    case VK_INSERT:
      if (Shift.Contains(ssShift))
        PasteFromClipboard();
      else if (Shift.Contains(ssCtrl))
        CopyToClipboard();
      break;
    default: break;
  }
}

void TuiPopupCalculator::KeyPress(char& Key) {
  TuiCustomCalculator::KeyPress(Key);
  if (Key == '=' && edit_ != nullptr && edit_->ActiveProperties()->QuickClose()) HidePopup(this, pcrAccept);
}

// ---- Editor ---------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCalcEdit) {}

K58_IMPLEMENT_CLASS(TuiCalcEdit) {
  using S = TuiCalcEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont",   "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeNameValue);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("Value", &S::ValueAsDouble, &S::SetValueAsDouble).Stored(false);
}

TClass TuiCustomCalcEdit::GetPropertiesClass() const { return TuiCalcEditProperties::StaticClass(); }
TClass TuiCalcEdit::GetPropertiesClass() const { return TuiCalcEditProperties::StaticClass(); }

Extended TuiCustomCalcEdit::Value() {
  Extended value = 0;
  if (!TuiCustomCalcEditProperties::EditValueToFloat(EditValue(), value)) return 0;
  return value;
}

void TuiCustomCalcEdit::SetValue(Extended AValue) {
  if (!std::isfinite(AValue) || std::fabs(AValue) > DBL_MAX)
    throw EConvertError(Format(rtlconsts::SInvalidFloat, FloatToStr(AValue)));
  InternalSetEditValue(Variant(static_cast<double>(AValue)));
}

void TuiCustomCalcEdit::Initialize() {
  TuiCustomPopupEdit::Initialize();
  SetValue(0);
  calculator_ = NewObject<TuiPopupCalculator>(this);
  calculator_->FreeNotification(this);
  calculator_->SetVisible(false);
  if (PopupWindow() != nullptr) calculator_->SetParent(PopupWindow());
  calculator_->SetEdit(this);
  calculator_->SetAutoFontSize(false);
  calculator_->SetOnHidePopup([this](TObject* Sender, Byte AReason) {
    ClosePopup(Sender, static_cast<TuiPopupCloseReason>(AReason));
  });
  Properties()->SetPopupControl(calculator_);
}

void TuiCustomCalcEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TuiCustomPopupEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == calculator_) calculator_ = nullptr;
}

void TuiCustomCalcEdit::CreatePopupWindow() {
  TuiCustomPopupEdit::CreatePopupWindow();
  // The popup runs inside the application's own message loop, so keys reach the calculator as they are.
  if (PopupWindow() != nullptr) PopupWindow()->SetModalLoop(false);
}

bool TuiCustomCalcEdit::CanDropDown() { return !ActiveProperties()->ReadOnly() && IsDataAvailable(); }

void TuiCustomCalcEdit::DoInitPopup() {
  TuiCustomPopupEdit::DoInitPopup();
  ActiveProperties()->SetPopupControl(calculator_);
  GetDisplayText(textBeforePopup_);
}

void TuiCustomCalcEdit::SetupPopupWindow() {
  TuiCustomPopupEdit::SetupPopupWindow();
  if (calculator_ == nullptr) return;
  calculator_->HandleNeeded();
  calculator_->Font()->Assign(ActiveEditStyle()->GetVisibleFont());
  calculator_->FitToFont();
}

void TuiCustomCalcEdit::PopupWindowShowed(TObject* Sender) {
  TuiCustomPopupEdit::PopupWindowShowed(Sender);
  if (calculator_ != nullptr) calculator_->ResetKeyButton();
}

void TuiCustomCalcEdit::PopupWindowClosed(TObject* Sender) {
  String text;
  GetDisplayText(text);
  // A calculation that failed gives back the value the editor had before, not a number of its own.
  if (text == LocalizeText(uicalcconsts::scxSCalcError) && InnerTextEdit() != nullptr)
    InnerTextEdit()->SetEditValue(Variant(textBeforePopup_));
  if (ActiveProperties()->AutoSelect()) {
    SelectAll();
  } else {
    GetDisplayText(text);
    SetSelection(Utf8Length(text), 0);
  }
  TuiCustomPopupEdit::PopupWindowClosed(Sender);
}

void TuiCustomCalcEdit::PropertiesChanged(TObject* Sender) {
  if (Sender != nullptr && ActiveProperties()->IsFormatChanging()) return;
  TuiCustomPopupEdit::PropertiesChanged(Sender);
  if (InnerTextEdit() == nullptr || calculator_ == nullptr) return;
  TuiCustomCalcEditProperties* properties = ActiveProperties();
  calculator_->SetBeepOnError(properties->BeepOnError());
  calculator_->SetDigits(properties->Precision());
  properties->SetPopupControl(calculator_);
}

void TuiCustomCalcEdit::DoEnter() {
  SynchronizeDisplayValue();
  TuiCustomPopupEdit::DoEnter();
}

void TuiCustomCalcEdit::DoExit() {
  TuiCustomPopupEdit::DoExit();
  ClearEditData();
}

void TuiCustomCalcEdit::PasteFromClipboard() {
  if (calculator_ != nullptr && DoEditing()) calculator_->PasteFromClipboard();
}

void TuiCustomCalcEdit::DoEditKeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings.DecimalSeparator;
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
    Key = 0;
    if (ActiveProperties()->BeepOnError()) MessageBeep(0);
    return;
  }
  // Characters are the editor's: the popup takes none of them while it is closed.
  TuiCustomMaskEdit::DoEditKeyPress(Key);
}

bool TuiCustomCalcEdit::IsValidChar(char AChar) {
  if (!IsNumericChar(AChar, 2)) return false;
  // The text as it would be with the character typed over the selection.
  String text;
  GetDisplayText(text);
  const Integer start = SelStart();
  text = Utf8Copy(text, 1, start) + String(1, AChar) + Utf8Copy(text, start + SelLength() + 1, Utf8Length(text));
  if (text == "-") return true;
  return IsCalcEditFloatText(text);
}

void TuiCustomCalcEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  ActiveProperties()->TextToValue(VarToStr(ADisplayValue), AEditValue);
}

// ---- Registration ------------------------------------------------------------------------------------------

namespace {
Integer calcEditUnitCount = 0;
}  // namespace

namespace k58::editors {

void StartCalcEditUnit() {
  if (calcEditUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiCalcEditProperties::StaticClass(), uicalceditconsts::scxCalcEditDescription);
}

void StopCalcEditUnit() {
  if (calcEditUnitCount == 0 || --calcEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiCalcEditProperties::StaticClass());
}

}  // namespace k58::editors
