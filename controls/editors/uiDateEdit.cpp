// The date editor: its assigned-value flags and Properties (masks, conversions, validation and range), the
// popup window that hands calendar keys on, the mask mode with zero time blanks, the editor with its kept
// time of day and the popup calendar, and the registration.
#include "controls/editors/uiDateEdit.h"

#include <cmath>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiFormats.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/SysUtils.h"

namespace {

// A date text to a date: smart words first when smart texts are on, then the locale's date and time.
// Only a date the calendar can show counts.
bool ConvertDateEditText(const String& AText, bool ASmart, TDateTime& ADate) {
  const String text = Trim(AText);
  TDateTime value = NullDate;
  bool converted = ASmart && ParseSmartDateText(text, value);
  if (!converted) converted = TryTextToDateTime(text, ASmart, value);
  if (!converted || !std::isfinite(value) || !IsDateInRange(value)) {
    ADate = NullDate;
    return false;
  }
  ADate = value;
  return true;
}

String TrimTrailingBlanks(String S) {
  while (!S.empty() && S.back() == ' ') S.pop_back();
  return S;
}

bool HasTimeOfDay(TDateTime V) { return std::modf(V, &V) != 0; }

// The date of a value the editor holds; False for Null, empty, a Boolean and anything outside the dates
// the editor shows.
bool VariantToDate(const Variant& V, TDateTime& ADate) {
  if (V.Type() == varBoolean || (!IsDateTimeVariant(V) && !IsNumericVariant(V))) return false;
  try {
    ADate = V.AsDouble();
  } catch (const EVariantError&) {
    return false;  // a number the variant rules cannot turn into a date is no date
  }
  return std::isfinite(ADate) && IsDateInRange(ADate);
}

Integer dateEditUnitCount = 0;

}  // namespace

// ---- Assigned-value flags -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiDateEditPropertiesValues) {
  using S = TuiDateEditPropertiesValues;
  b.Prop("DateButtons", &S::DateButtons, &S::SetDateButtons).Stored(false);
  b.Prop("InputKind", &S::InputKind, &S::SetInputKind).Stored(false);
  b.Prop("MaxDate", &S::MaxDate, &S::SetMaxDate).Stored(&S::IsMaxValueStored);
  b.Prop("MinDate", &S::MinDate, &S::SetMinDate).Stored(&S::IsMinValueStored);
}

void TuiDateEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiDateEditPropertiesValues*>(Source);
  if (source == nullptr) return TuiTextEditPropertiesValues::Assign(Source);
  BeginUpdate();
  try {
    TuiTextEditPropertiesValues::Assign(Source);
    SetDateButtons(source->DateButtons());
    SetInputKind(source->InputKind());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiDateEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  try {
    TuiTextEditPropertiesValues::RestoreDefaults();
    SetDateButtons(false);
    SetInputKind(false);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiDateEditPropertiesValues::SetDateButtons(bool Value) {
  if (dateButtons_ == Value) return;
  dateButtons_ = Value;
  Changed();
}

void TuiDateEditPropertiesValues::SetInputKind(bool Value) {
  if (inputKind_ == Value) return;
  inputKind_ = Value;
  Changed();
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDateEditProperties) {}

K58_IMPLEMENT_CLASS(TuiDateEditProperties) {
  using S = TuiDateEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("ArrowsForYear", &S::ArrowsForYear, &S::SetArrowsForYear).Default(true);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  // The kind goes first: the unassigned buttons and input kind follow it.
  b.Prop("Kind", &S::Kind, &S::SetKind).Default(ckDate);
  b.Prop("DateButtons", &S::DateButtons, &S::SetDateButtons).Stored(&S::IsDateButtonsStored);
  b.Prop("DateOnError", &S::DateOnError, &S::SetDateOnError).Default(deNoChange);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("InputKind", &S::InputKind, &S::SetInputKind).Stored(&S::IsInputKindStored);
  b.Prop("MaxDate", &S::MaxDate, &S::SetMaxDate).Stored(&S::IsMaxDateStored);
  b.Prop("MinDate", &S::MinDate, &S::SetMinDate).Stored(&S::IsMinDateStored);
  b.Prop("PostPopupValueOnTab", &S::PostPopupValueOnTab, &S::SetPostPopupValueOnTab).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("SaveTime", &S::SaveTime, &S::SetSaveTime).Default(true);
  b.Prop("ShowTime", &S::ShowTime, &S::SetShowTime).Default(true);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("YearsInMonthList", &S::YearsInMonthList, &S::SetYearsInMonthList).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomDateEditProperties::TuiCustomDateEditProperties() {
  SetCaseInsensitive(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  UpdateMask();
}

void TuiCustomDateEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomDateEditProperties*>(Source);
  if (source == nullptr) return TuiCustomPopupEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomPopupEditProperties::Assign(Source);
    arrowsForYear_ = source->arrowsForYear_;
    dateButtons_ = source->dateButtons_;
    dateOnError_ = source->dateOnError_;
    inputKind_ = source->inputKind_;
    kind_ = source->kind_;
    saveTime_ = source->saveTime_;
    showTime_ = source->showTime_;
    yearsInMonthList_ = source->yearsInMonthList_;
    AssignedValues()->SetDateButtons(source->AssignedValues()->DateButtons());
    AssignedValues()->SetInputKind(source->AssignedValues()->InputKind());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomDateEditProperties::SetArrowsForYear(bool Value) {
  if (arrowsForYear_ == Value) return;
  arrowsForYear_ = Value;
  Changed();
}

TDateButtons TuiCustomDateEditProperties::DateButtons() const {
  if (IsDateButtonsAssigned()) return dateButtons_;
  return TDateButtons().Include(btnClear).Include(kind_ == ckDateTime ? btnNow : btnToday);
}

void TuiCustomDateEditProperties::SetDateButtons(TDateButtons Value) {
  if (IsDateButtonsAssigned() && dateButtons_ == Value) return;
  dateButtons_ = Value;
  AssignedValues()->SetDateButtons(true);
  Changed();
}

void TuiCustomDateEditProperties::SetDateOnError(TDateOnError Value) {
  if (dateOnError_ == Value) return;
  dateOnError_ = Value;
  Changed();
}

bool TuiCustomDateEditProperties::IsDateButtonsAssigned() const {
  auto* values = dynamic_cast<TuiDateEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  return values != nullptr && values->DateButtons();
}

bool TuiCustomDateEditProperties::IsInputKindAssigned() const {
  auto* values = dynamic_cast<TuiDateEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  return values != nullptr && values->InputKind();
}

TuiInputKind TuiCustomDateEditProperties::InputKind() const {
  if (IsInputKindAssigned()) return inputKind_;
  return kind_ == ckDateTime ? ikMask : ikRegExpr;
}

void TuiCustomDateEditProperties::SetInputKind(TuiInputKind Value) {
  if (IsInputKindAssigned() && inputKind_ == Value) return;
  inputKind_ = Value;
  AssignedValues()->SetInputKind(true);
  Changed();
}

void TuiCustomDateEditProperties::SetKind(TuiCalendarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Changed();
}

void TuiCustomDateEditProperties::SetSaveTime(bool Value) {
  if (saveTime_ == Value) return;
  saveTime_ = Value;
  Changed();
}

void TuiCustomDateEditProperties::SetShowTime(bool Value) {
  if (showTime_ == Value) return;
  showTime_ = Value;
  Changed();
}

void TuiCustomDateEditProperties::SetYearsInMonthList(bool Value) {
  if (yearsInMonthList_ == Value) return;
  yearsInMonthList_ = Value;
  Changed();
}

void TuiCustomDateEditProperties::UpdateMask() {
  LockChanged(true);
  try {
    TuiFormatController* controller = GetFormatController();
    switch (InputKind()) {
      case ikMask:
        SetMaskKind(emkStandard);
        SetEditMask(kind_ == ckDateTime ? controller->StandardDateTimeMask() : controller->StandardDateMask());
        break;
      case ikRegExpr:
        SetMaskKind(emkRegExprEx);
        SetEditMask(kind_ == ckDateTime ? controller->RegExprDateTimeMask() : controller->RegExprDateMask());
        break;
      default: SetEditMask(String()); break;
    }
  } catch (...) {
    LockChanged(false);
    throw;
  }
  LockChanged(false);
}

void TuiCustomDateEditProperties::Changed() {
  if (!IsChangeLocked()) {
    BeginUpdate();
    try {
      UpdateMask();
    } catch (...) {
      EndUpdate(false);
      throw;
    }
    EndUpdate(false);
  }
  TuiCustomPopupEditProperties::Changed();
}

TClass TuiCustomDateEditProperties::GetEditClass() const { return TuiDateEdit::StaticClass(); }
TClass TuiCustomDateEditProperties::GetPopupWindowClass() const { return TuiDateEditPopupWindow::StaticClass(); }

TClass TuiCustomDateEditProperties::GetModeClass(TuiEditMaskKind AMaskKind) const {
  if (AMaskKind == emkStandard) return TuiDateEditMaskStandardMode::StaticClass();
  return TuiCustomPopupEditProperties::GetModeClass(AMaskKind);
}

TObjectPtr<TuiMaskEditCustomMode> TuiCustomDateEditProperties::CreateMode(TuiEditMaskKind AMaskKind,
                                                                         IuiMaskEditHost* AEdit) {
  if (AMaskKind != emkStandard) return TuiCustomPopupEditProperties::CreateMode(AMaskKind, AEdit);
  return TObjectPtr<TuiMaskEditCustomMode>(NewObject<TuiDateEditMaskStandardMode>(AEdit, this));
}

bool TuiCustomDateEditProperties::UsesSmartTexts() const { return !GetFormatController()->UsePlainDateFormats(); }

TDateTime TuiCustomDateEditProperties::TodayForKind() const { return kind_ == ckDateTime ? Now() : ::Date(); }

bool TuiCustomDateEditProperties::HasMaskedTimeParts() {
  return kind_ == ckDateTime && InputKind() == ikMask && IsMasked();
}

String TuiCustomDateEditProperties::GetEmptyText(bool AFocused) {
  String text;
  GetEmptyMaskText(text);
  if (!AFocused || !HasMaskedTimeParts()) return text;
  TuiFormatController* controller = GetFormatController();
  const Integer n = controller->GetDateTimeFormatTextLength(controller->TimeFormatInfo());
  const String zero = DateTimeToDisplayText(true, true, false, 0);
  const Integer textLength = Utf8Length(text), zeroLength = Utf8Length(zero);
  if (n <= 0 || n > textLength || n > zeroLength) return text;
  return Utf8Copy(text, 1, textLength - n) + Utf8Copy(zero, zeroLength - n + 1, n);
}

bool TuiCustomDateEditProperties::IsTimeShown(bool AFocused, TDateTime V) {
  if (!AFocused) return !(kind_ == ckDate && !showTime_);
  if (kind_ == ckDateTime) return HasTimeOfDay(V) || InputKind() == ikMask;
  return showTime_ && HasTimeOfDay(V) && InputKind() == ikStandard;
}

Variant TuiCustomDateEditProperties::TextToDateEx(const String& AText) {
  String maskEmpty;
  GetEmptyMaskText(maskEmpty);
  if (AnsiCompareText(AText, maskEmpty) == 0 || AnsiCompareText(AText, GetEmptyText(true)) == 0) return ::Null();
  TDateTime date = NullDate;
  if (ConvertDateEditText(AText, UsesSmartTexts(), date)) return Variant::FromDateTime(date);
  if (dateOnError_ == deToday) return Variant::FromDateTime(TodayForKind());
  return ::Null();
}

bool TuiCustomDateEditProperties::IsEditValueValid(Variant& AEditValue, bool) {
  if (VarIsStr(AEditValue)) {
    const Variant date = TextToDateEx(VarToStr(AEditValue));
    return !VarIsNull(date) && date.AsDouble() != NullDate;
  }
  return VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || IsDateTimeVariant(AEditValue) ||
         IsNumericVariant(AEditValue);
}

void TuiCustomDateEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  // Painting and display updates never raise: a value that is no date shows as no date.
  TDateTime value = NullDate;
  if (VarIsStr(AEditValue)) {
    const Variant date = VarToStr(AEditValue).empty() ? ::Null() : TextToDateEx(VarToStr(AEditValue));
    if (!VarIsNull(date)) value = date.AsDouble();
  } else if (!VariantToDate(AEditValue, value)) {
    value = NullDate;
  }
  if (value == NullDate || !IsDateInRange(value)) {
    ADisplayValue = Variant(GetEmptyText(AEditFocused));
    return;
  }
  if (!IsTimeShown(AEditFocused, value)) value = std::trunc(value);
  String text = AEditFocused ? DateTimeToDisplayText(InputKind() == ikMask, kind_ == ckDateTime, false, value)
                             : DateTimeToDisplayText(false, false, false, value);
  ADisplayValue = Variant(TrimTrailingBlanks(text));
  if (AEditFocused && IsMasked())
    TuiCustomPopupEditProperties::PrepareDisplayValue(Variant(ADisplayValue), ADisplayValue, AEditFocused);
}

bool TuiCustomDateEditProperties::AdjustTextValue(Variant& AValue, bool AEditFocused) {
  if (InputKind() != ikStandard) return TuiCustomPopupEditProperties::AdjustTextValue(AValue, AEditFocused);
  TDateTime date = NullDate;
  return ConvertDateEditText(VarToStr(AValue), UsesSmartTexts(), date);
}

bool TuiCustomDateEditProperties::IsValueBoundSet(bool AIsMax) {
  const TDateTime maxDate = MaxDate(), minDate = MinDate();
  if (maxDate != 0 && minDate != 0) return maxDate > minDate;
  return (AIsMax ? maxDate : minDate) != 0;
}

bool TuiCustomDateEditProperties::HasValueRange() {
  const TDateTime maxDate = MaxDate(), minDate = MinDate();
  if (maxDate != 0 && minDate != 0) return maxDate > minDate;
  return maxDate != 0 || minDate != 0;
}

void TuiCustomDateEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  auto* edit = dynamic_cast<TuiCustomDateEdit*>(AEdit);
  AErrorText.clear();
  TDateTime r = 0;
  bool displayValueChanged = false;
  const bool smart = UsesSmartTexts();
  const String emptyText = GetEmptyText(true);
  auto isEmptyText = [&] { return VarToStr(ADisplayValue) == emptyText || Trim(VarToStr(ADisplayValue)).empty(); };
  try {
    AErrorText = LocalizeText(uidateeditconsts::scxInvalidDate);
    AError = false;
    if (!isEmptyText()) AError = !ConvertDateEditText(VarToStr(ADisplayValue), smart, r);
    const bool hasHandler = OnValidate().Assigned() || (AEdit != nullptr && AEdit->Properties()->OnValidate().Assigned());
    if (hasHandler) {
      if (!AError && !isEmptyText())
        ADisplayValue = Variant(TrimTrailingBlanks(DateTimeToDisplayText(InputKind() == ikMask, kind_ == ckDateTime, false, r)));
      DoValidate(ADisplayValue, AErrorText, AError, AEdit, displayValueChanged);
      if (!AError && !isEmptyText()) AError = !ConvertDateEditText(VarToStr(ADisplayValue), smart, r);
    } else if (AError) {
      switch (dateOnError_) {
        case deToday:
          r = TodayForKind();
          AError = false;
          break;
        case deNull:
          r = NullDate;
          AError = false;
          break;
        default: break;
      }
    }
  } catch (const Exception&) {
    AError = true;  // a conversion or handler failure is a validation error
  }
  if (AError) {
    if (!displayValueChanged && edit != nullptr) {
      String text;
      edit->GetDisplayText(text);
      ADisplayValue = Variant(text);
    }
    return;
  }
  if (r != NullDate && !isEmptyText()) {
    if (HasValueRange()) {
      Variant value = Variant::FromDateTime(r);
      ValidateValueRange(value, AErrorText, nullptr, AError);
      if (AError) {
        if (edit != nullptr) {
          String text;
          edit->GetDisplayText(text);
          ADisplayValue = Variant(text);
        }
        return;
      }
    }
    if (kind_ == ckDate && edit != nullptr) {
      if (HasTimeOfDay(r)) {
        edit->savedTime_ = std::fabs(r - std::trunc(r));
      } else if (saveTime_) {
        r += DateSign(r) * edit->savedTime_;
      } else {
        edit->savedTime_ = 0;
      }
    }
    ADisplayValue = Variant::FromDateTime(r);
    return;
  }
  // No date (an empty text, or DateOnError gave none): the value is Null and no time is kept, so that a
  // cleared editor never stores a lone time of day as a date.
  ADisplayValue = ::Null();
  if (edit != nullptr) {
    edit->savedTime_ = 0;
    edit->SetEditValueDirectly(::Null());
  }
}

String TuiCustomDateEditProperties::GetBlankAt(Integer APosition) {
  TuiTimePart part;
  if (!GetTimePart(APosition, part)) return " ";
  return part.Kind == 3 ? String() : String("0");
}

bool TuiCustomDateEditProperties::GetTimePart(Integer APosition, TuiTimePart& APart) {
  if (!HasMaskedTimeParts()) return false;
  TuiFormatController* controller = GetFormatController();
  TuiFormatItemSpan span;
  if (!controller->FindDateTimeFormatItem(controller->DateTimeFormatInfo(), APosition, span)) return false;
  switch (span.Kind) {
    case dfkHour: APart.Kind = 0; break;
    case dfkMinute: APart.Kind = 1; break;
    case dfkSecond: APart.Kind = 2; break;
    case dfkAMPM: APart.Kind = 3; break;
    default: return false;
  }
  APart.Start = span.Start;
  APart.Length = span.Length;
  APart.AmPmKind = span.AMPMStyle;
  APart.Use24Hour = !controller->DateTimeFormatInfo().TwelveHour;
  return true;
}

// ---- Popup window and mask mode -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiDateEditPopupWindow) {}

TuiDateEditPopupWindow::TuiDateEditPopupWindow(TComponent* AOwnerControl) : TuiPopupEditPopupWindow(AOwnerControl) {
  SetKeyPreview(true);
}

bool TuiDateEditPopupWindow::IsCalendarKey(Word Key, TShiftState Shift) {
  auto* edit = dynamic_cast<TuiCustomDateEdit*>(Edit());
  if (edit == nullptr || edit->Calendar() == nullptr) return false;
  switch (Key) {
    case VK_ESCAPE: {
      TWinControl* focused = ActiveControl();
      if (dynamic_cast<TuiButton*>(focused) != nullptr) return true;
      TuiCalendarTimeEdit* timeEdit = edit->Calendar()->TimeEdit();
      return timeEdit != nullptr && focused == timeEdit->Control() && !timeEdit->IsModified();
    }
    case VK_UP:
    case VK_DOWN: return Shift == TShiftState().Include(ssAlt);
    case VK_F4: return !Shift.Contains(ssAlt);
    default: return false;
  }
}

void TuiDateEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  TuiPopupEditPopupWindow::KeyDown(Key, Shift);
  if (Key == 0 || !IsCalendarKey(Key, Shift)) return;
  // The calendar takes the key here, whichever child has the focus; it is not handled twice.
  auto* edit = static_cast<TuiCustomDateEdit*>(Edit());
  edit->Calendar()->HandleKeyDown(Key, Shift);
  Key = 0;
}

K58_IMPLEMENT_CLASS(TuiDateEditMaskStandardMode) {}

String TuiDateEditMaskStandardMode::GetBlank(Integer APosition) const {
  auto* properties = dynamic_cast<TuiCustomDateEditProperties*>(Properties());
  if (properties == nullptr) return TuiMaskEditStandardMode::GetBlank(APosition);
  const String blank = properties->GetBlankAt(APosition + 1);
  return blank == " " ? TuiMaskEditStandardMode::GetBlank(APosition) : blank;
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomDateEdit) {}

K58_IMPLEMENT_CLASS(TuiDateEdit) {
  using S = TuiDateEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont",   "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("Date", &S::Date, &S::SetDate).Stored(false);
  b.Prop("EditValue", &S::EditValueForStreaming, &S::SetEditValueForStreaming).Stored(&S::IsEditValueStored);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiCustomDateEdit::GetPropertiesClass() const { return TuiCustomDateEditProperties::StaticClass(); }
TClass TuiDateEdit::GetPropertiesClass() const { return TuiDateEditProperties::StaticClass(); }

TuiCustomDateEdit::~TuiCustomDateEdit() = default;

void TuiCustomDateEdit::Initialize() {
  TuiCustomPopupEdit::Initialize();
  SetControlStyle(ControlStyle().Exclude(csSetCaption));
  calendar_ = NewObject<TuiPopupCalendar>(this);
  calendar_->SetEdit(this);
  calendar_->SetVisible(false);
  calendar_->SetOnHidePopup([this](TObject* Sender, Byte AReason) {
    ClosePopup(Sender, static_cast<TuiPopupCloseReason>(AReason));
  });
  for (Integer i = 0; i < 4; ++i) calendar_->Button(i)->LookAndFeel()->SetMaster(PopupControlsLookAndFeel());
  Properties()->SetPopupControl(calendar_);
  popupDate_ = NullDate;
}

TDateTime TuiCustomDateEdit::Date() {
  const Variant value = EditValue();
  if (VarIsStr(value)) return TextToDate(VarToStr(value));
  TDateTime date = NullDate;
  return VariantToDate(value, date) ? date : NullDate;
}

void TuiCustomDateEdit::SetDate(TDateTime Value) {
  if (Value == NullDate) {
    InternalSetEditValue(::Null());
    return;
  }
  TuiCustomDateEditProperties* properties = ActiveProperties();
  if (properties->Kind() == ckDate && !HasTimeOfDay(Value))
    Value = properties->SaveTime() ? std::trunc(Value) + DateSign(Value) * savedTime_ : std::trunc(Value);
  InternalSetEditValue(Variant::FromDateTime(Value));
}

TDateTime TuiCustomDateEdit::TextToDate(const String& AText) {
  Variant value;
  DisplayValueToEditValue(Variant(AText), value, IsEditFocused());
  TDateTime date = NullDate;
  return VariantToDate(value, date) ? date : NullDate;
}

TDateTime TuiCustomDateEdit::GetCurrentDate() {
  if (!IsEditFocused() || !ModifiedAfterEnter() || IsValidated()) return Date();
  String text;
  GetDisplayText(text);
  return TextToDate(text);
}

void TuiCustomDateEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TuiCustomDateEditProperties* properties = ActiveProperties();
  AEditValue = properties->TextToDateEx(VarToStr(ADisplayValue));
  if (VarIsNull(AEditValue)) return;
  TDateTime value = AEditValue.AsDouble();
  if (properties->Kind() == ckDate && properties->SaveTime()) {
    // The kept time replaces a typed one.
    value = std::trunc(value) + DateSign(value) * savedTime_;
    AEditValue = Variant::FromDateTime(value);
  }
}

void TuiCustomDateEdit::RememberTime(const Variant& AValue) {
  TuiCustomDateEditProperties* properties = ActiveProperties();
  savedTime_ = 0;
  if (!properties->SaveTime()) return;
  TDateTime value = 0;
  if (VarIsStr(AValue)) {
    if (!TryTextToDateTime(VarToStr(AValue), false, value)) return;
  } else if (!VariantToDate(AValue, value)) {
    return;
  }
  if (value != NullDate) savedTime_ = std::fabs(value - std::trunc(value));
}

void TuiCustomDateEdit::StoreEditValue(const Variant& AValue, bool AValidateEditValue) {
  if (!IsLoadingOrDestroying() && ActiveProperties()->Kind() == ckDate) RememberTime(AValue);
  TuiCustomPopupEdit::StoreEditValue(AValue, AValidateEditValue);
}

void TuiCustomDateEdit::SetEditValueDirectly(const Variant& AValue) {
  const Variant old = StoredEditValue();
  SetStoredEditValue(AValue);
  if (old.Type() != AValue.Type() || !AreVariantsEqual(old, AValue)) NotifyEditValueChanged();
}

void TuiCustomDateEdit::InternalSetDisplayValue(const Variant& AValue) {
  if (VarIsStr(AValue)) return TuiCustomPopupEdit::InternalSetDisplayValue(AValue);
  SaveModified();
  try {
    InternalSetEditValue(AValue);
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
}

void TuiCustomDateEdit::ApplyValueLimits() {
  const TDateTime date = Date();
  if (date == NullDate) return;
  TuiCustomDateEditProperties* properties = ActiveProperties();
  const bool saved = IsUserAction();
  SetUserAction(Modified());
  try {
    if (properties->IsValueBoundSet(false) && properties->MinDate() > date)
      SetDate(properties->MinDate());
    else if (properties->IsValueBoundSet(true) && properties->MaxDate() < date)
      SetDate(properties->MaxDate());
  } catch (...) {
    SetUserAction(saved);
    throw;
  }
  SetUserAction(saved);
}

void TuiCustomDateEdit::PropertiesChanged(TObject* Sender) {
  TuiCustomPopupEdit::PropertiesChanged(Sender);
  if (!IsLoadingOrDestroying()) ApplyValueLimits();
}

bool TuiCustomDateEdit::IsCharAllowed(String& ACh, Integer APosition) {
  TuiTimePart part;
  if (!ActiveProperties()->GetTimePart(APosition, part)) return true;
  String text;
  GetDisplayText(text);
  const TuiTimeCharResult result = k58::editors::ProcessTimePartChar(text, APosition, ACh, part);
  if (!result.Accepted) {
    ACh.clear();  // refused: the mode signals it
    return true;
  }
  if (!result.Rewritten) return true;
  // The rules corrected the part: the new text goes in, and a remaining key is typed at the new caret.
  SetDisplayText(result.Text);
  SetSelStart(result.Caret - 1);
  if (!result.Key.empty() && Mode() != nullptr) {
    String key = result.Key;
    Mode()->KeyChar(key);
  }
  return false;
}

// ---- Popup ------------------------------------------------------------------------------------------------

void TuiCustomDateEdit::CreatePopupWindow() {
  TuiCustomPopupEdit::CreatePopupWindow();
  // Alt+key presses other than the popup's navigation keys do not reach the form's menu while it shows.
  PopupWindow()->SetModalLoop(false);
}

void TuiCustomDateEdit::DropDown() {
  ActiveProperties()->SetPopupControl(calendar_);
  TuiCustomPopupEdit::DropDown();
}

void TuiCustomDateEdit::SetupPopupWindow() {
  TuiCustomPopupEdit::SetupPopupWindow();
  TuiCustomDateEditProperties* properties = ActiveProperties();
  calendar_->HandleNeeded();
  calendar_->SetColor(ActiveEditStyle()->Color());
  calendar_->SetFlat(PopupControlsLookAndFeel()->Kind() != lfStandard);
  calendar_->SetDateButtons(properties->DateButtons());
  calendar_->SetOnDateChosen(TNotifyEvent());
  popupDate_ = GetCurrentDate();
  const TDateTime a = popupDate_ == NullDate ? ::Date() : popupDate_;
  if (properties->Kind() == ckDateTime) {
    calendar_->Clock()->SetTime(std::fabs(a - std::trunc(a)));
    if (TuiCalendarTimeEdit* timeEdit = calendar_->TimeEdit()) timeEdit->SetTime(std::fabs(a - std::trunc(a)));
  }
  calendar_->SetFirstDate(std::trunc(a));
  calendar_->SetSelectDate(std::trunc(a));
  calendar_->Font()->Assign(ActiveEditStyle()->GetVisibleFont());
  calendar_->Font()->SetColor(clBtnText);
  calendar_->SetArrowsForYear(properties->ArrowsForYear());
  calendar_->SetKind(properties->Kind());
  calendar_->ApplySize();
  calendar_->SetOnDateChosen([this](TObject* Sender) { DateChosen(Sender); });
  calendar_->SetYearsInMonthList(properties->YearsInMonthList());
}

void TuiCustomDateEdit::PopupWindowShowed(TObject* Sender) {
  TuiCustomPopupEdit::PopupWindowShowed(Sender);
  calendar_->LayoutChanged();
  calendar_->UpdateHotTrack();
}

void TuiCustomDateEdit::PopupWindowClosed(TObject* Sender) {
  TuiCustomPopupEdit::PopupWindowClosed(Sender);
  calendar_->UpdateHotTrack();
}

String TuiCustomDateEdit::GetDisplayTextForDate(TDateTime V) {
  TuiCustomDateEditProperties* properties = ActiveProperties();
  Variant display;
  properties->PrepareDisplayValue(V == NullDate ? ::Null() : Variant::FromDateTime(V), display, true);
  String text = VarToStr(display);
  if (properties->InputKind() != ikStandard || V == NullDate) return text;
  // A short year may read back as another century: then the text carries four digits.
  Variant back;
  DisplayValueToEditValue(Variant(text), back, true);
  TDateTime date = NullDate;
  if (!VariantToDate(back, date) || std::trunc(date) != std::trunc(V)) {
    const TDateTime shown = properties->IsTimeShown(true, V) ? V : std::trunc(V);
    text = TrimTrailingBlanks(DateTimeToDisplayText(false, properties->Kind() == ckDateTime, true, shown));
  }
  return text;
}

void TuiCustomDateEdit::DateChosen(TObject*) {
  TuiCustomDateEditProperties* properties = ActiveProperties();
  TDateTime v = calendar_->SelectDate();
  if (v != NullDate) {
    if (properties->Kind() == ckDateTime)
      v = std::trunc(v) + DateSign(v) * calendar_->ChosenTime();
    else if (properties->SaveTime() && popupDate_ != NullDate)
      v += DateSign(v) * std::fabs(popupDate_ - std::trunc(popupDate_));
  }
  const String text = GetDisplayTextForDate(v);
  String current;
  GetDisplayText(current);
  if (Date() == v && AnsiCompareText(current, text) == 0) return;
  if (!DoEditing()) return;
  LockChangeEvents(true);
  try {
    InternalSetEditValue(v == NullDate ? ::Null() : Variant::FromDateTime(v));
    SetInternalDisplayValue(Variant(text));
    // After the display: setting the display text counts as unmodified.
    SetModified(true);
    SelectAll();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

// ---- Registration ---------------------------------------------------------------------------------------

namespace k58::editors {

void StartDateEditUnit() {
  if (dateEditUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiDateEditProperties::StaticClass(), uidateeditconsts::scxDateEditDescription);
}

void StopDateEditUnit() {
  if (dateEditUnitCount == 0 || --dateEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiDateEditProperties::StaticClass());
}

}  // namespace k58::editors
