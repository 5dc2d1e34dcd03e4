// The time editor and its properties, the 12-hour masks that follow the locale, and the time part of the
// date-time calendar.
#include "controls/editors/uiTimeEdit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "controls/editors/uiCalendar.h"
#include "controls/editors/uiEditDateUtils.h"
#include "controls/foundation/uiFormats.h"
#include "controls/foundation/uiVariants.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Mask.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"

namespace uitimeeditconsts {
const char* const scxTimeEditDescription = "TimeEdit|Represents an editor displaying time values";
const char* const scxSEditTimeConvertError = "Could not convert to time";
}  // namespace uitimeeditconsts

namespace k58::editors {

const std::array<std::array<TuiTimeFormatCell, 2>, 3> TimeFormatTable = {{
    {{{"hh:nn:ss ampm", "00:00:00 LL;1;0"}, {"hh:nn:ss", "00:00:00;1;0"}}},
    {{{"hh:nn ampm", "00:00 LL;1;0"}, {"hh:nn", "00:00;1;0"}}},
    {{{"hh ampm", "00 LL;1;0"}, {"hh", "00;1;0"}}},
}};

namespace {

constexpr Integer SecondsPerDay = 86400;
constexpr Integer SecondsPerHalfDay = 43200;

std::array<String, 3> twelveHourMasks = {TimeFormatTable[0][0].EditMask, TimeFormatTable[1][0].EditMask,
                                         TimeFormatTable[2][0].EditMask};
// Every live Properties, told when the locale's formats change.
std::vector<TuiCustomTimeEditProperties*> timeEditProperties;
Integer timeEditUnitCount = 0;

// Number of digits of a time format: 8, 5 or 2.
Integer TimeDigitsLength(TuiTimeEditTimeFormat AFormat) { return 8 - 3 * static_cast<Integer>(AFormat); }

// The formatted text without its trailing blanks; empty when the value cannot be formatted.
String FormatTimeText(const String& AFormat, TDateTime AValue) {
  if (!std::isfinite(AValue)) return String();
  try {
    return TrimRight(FormatDateTime(AFormat, AValue, TimeEditFormatSettings()));
  } catch (const Exception&) {
    return String();
  }
}

bool ReadTimeTextAsDate(const String& AText, TDateTime& AValue) {
  return TryStrToDateTime(AText, AValue, TimeEditFormatSettings()) && std::isfinite(AValue);
}

// A variant as a date and time: texts through the locale's reading, numbers and dates as they are.
bool VariantToTimeValue(const Variant& AValue, TDateTime& AResult) {
  if (VarIsStr(AValue)) return ReadTimeTextAsDate(VarToStr(AValue), AResult);
  if (!IsDateTimeVariant(AValue) && !IsNumericVariant(AValue)) return false;
  try {
    AResult = AValue.AsDouble();
  } catch (const Exception&) {
    return false;
  }
  return std::isfinite(AResult);
}

class TuiTimeEditFormatListener final : public IuiFormatControllerListener {
 public:
  TuiTimeEditFormatListener() {
    GetFormatController()->AddListener(this);
    RebuildTwelveHourMasks();
  }
  ~TuiTimeEditFormatListener() { GetFormatController()->RemoveListener(this); }
  TuiTimeEditFormatListener(const TuiTimeEditFormatListener&) = delete;
  TuiTimeEditFormatListener& operator=(const TuiTimeEditFormatListener&) = delete;
  void FormatChanged() override {
    RebuildTwelveHourMasks();
    const std::vector<TuiCustomTimeEditProperties*> properties = timeEditProperties;
    for (TuiCustomTimeEditProperties* p : properties) p->FormatChanged();
  }
};
TuiTimeEditFormatListener* timeEditFormatListener = nullptr;

// The time part of the date-time calendar: a circular time editor.
class TuiCalendarTimeEditPart : public TuiCalendarTimeEdit {
 public:
  explicit TuiCalendarTimeEditPart(TComponent* AOwner) : edit_(NewObject<TuiTimeEdit>(AOwner)) {}
  TWinControl* Control() override { return edit_; }
  TDateTime Time() override {
    try {
      return edit_->Time();
    } catch (const Exception&) {
      return 0;
    }
  }
  void SetTime(TDateTime AValue) override { edit_->SetTime(AValue); }
  TSize PreferredSize() override {
    TSize size{0, 0};
    TuiCustomTimeEditProperties* properties = edit_->ActiveProperties();
    TuiCanvas* canvas = edit_->HandleAllocated() ? edit_->Canvas() : nullptr;
    if (canvas == nullptr) return TSize{edit_->Width(), edit_->Height()};
    properties->GetEditSize(canvas, edit_->Style(), false, Variant(0.0), TSize{-1, -1}, size);
    return size;
  }
  void SetCircular(bool AValue) override { edit_->Properties()->SetCircular(AValue); }
  void SetOnChange(const TNotifyEvent& AEvent) override { edit_->Properties()->SetOnChange(AEvent); }
  void SetSelStart(Integer AValue) override { edit_->SetSelStart(AValue); }
  void SetTimeFormat(TuiTimeEditTimeFormat AValue) override { edit_->Properties()->SetTimeFormat(AValue); }
  void SetUse24HourFormat(bool AValue) override { edit_->Properties()->SetUse24HourFormat(AValue); }

 private:
  TuiTimeEdit* edit_;
};

std::unique_ptr<TuiCalendarTimeEdit> NewCalendarTimeEditPart(TComponent* AOwner) {
  return std::make_unique<TuiCalendarTimeEditPart>(AOwner);
}

}  // namespace

TFormatSettings TimeEditFormatSettings() {
  TFormatSettings fs = FormatSettings;
  GetAmPmStrings(apkLocale, fs.TimeAMString, fs.TimePMString, FormatSettings);
  return fs;
}

String TwelveHourMask(TuiTimeEditTimeFormat AFormat) { return twelveHourMasks[static_cast<size_t>(AFormat)]; }

void RebuildTwelveHourMasks() {
  String am, pm;
  GetAmPmStrings(apkLocale, am, pm);
  const String& longer = Utf8Length(am) > Utf8Length(pm) ? am : pm;
  String designator;
  for (const String& c : k58::forms::SplitChars(longer)) designator += c == " " ? " " : "c";
  designator = TrimRight(designator);
  for (Integer i = 0; i < 3; ++i) {
    const String digits = String("00:00:00").substr(0, static_cast<size_t>(8 - 3 * i));
    twelveHourMasks[static_cast<size_t>(i)] = digits + " " + designator + ";1;0";
  }
}

bool TimeTextToSeconds(const String& AText, TuiTimeEditTimeFormat AFormat, bool AUse24Hour, Integer& ASeconds) {
  const std::vector<String> chars = k58::forms::SplitChars(AText);
  const Integer digits = TimeDigitsLength(AFormat);
  if (static_cast<Integer>(chars.size()) < digits) return false;
  auto number = [&](Integer AStart, Integer& AValue) {
    const String& a = chars[static_cast<size_t>(AStart - 1)];
    const String& b = chars[static_cast<size_t>(AStart)];
    if (a.size() != 1 || b.size() != 1 || !std::isdigit(static_cast<unsigned char>(a[0])) ||
        !std::isdigit(static_cast<unsigned char>(b[0])))
      return false;
    AValue = (a[0] - '0') * 10 + (b[0] - '0');
    return true;
  };
  Integer hours = 0, minutes = 0, seconds = 0;
  if (!number(1, hours)) return false;
  if (AFormat != tfHour && !number(4, minutes)) return false;
  if (AFormat == tfHourMinSec && !number(7, seconds)) return false;
  if (minutes > 59 || seconds > 59 || hours > (AUse24Hour ? 23 : 12)) return false;
  if (!AUse24Hour) {
    hours %= 12;
    // The designator is read at its own place, after the digits and the blanks that follow them.
    String designator;
    for (size_t i = static_cast<size_t>(digits); i < chars.size(); ++i) designator += chars[i];
    designator = Trim(designator);
    String am, pm;
    GetAmPmStrings(apkLocale, am, pm);
    if (AnsiSameText(designator, pm) && !AnsiSameText(am, pm)) hours += 12;
  }
  ASeconds = hours * 3600 + minutes * 60 + seconds;
  return true;
}

Integer TimePartStart(Integer AKind, TuiTimeEditTimeFormat AFormat) {
  if (AKind == tpkAmPm) return 10 - 3 * static_cast<Integer>(AFormat);
  return 3 * AKind + 1;
}

Integer TimePartAt(Integer APosition, TuiTimeEditTimeFormat AFormat, bool AUse24Hour, Integer AMaxLength) {
  Integer p = APosition;
  if (AMaxLength > 0 && AMaxLength < p) p = AMaxLength;
  if (!AUse24Hour && p > TimeDigitsLength(AFormat)) return tpkAmPm;
  const String format = UpperCase(TimeFormatTable[static_cast<size_t>(AFormat)][AUse24Hour ? 1 : 0].DisplayFormat);
  const Integer length = static_cast<Integer>(format.size());
  p = std::clamp<Integer>(p, 1, length);
  const char c = format[static_cast<size_t>(p - 1)];
  if (c != 'H' && c != 'N' && c != 'S') p = std::min(p + 1, length);
  switch (format[static_cast<size_t>(p - 1)]) {
    case 'H': return tpkHour;
    case 'N': return tpkMinute;
    default: return tpkSecond;
  }
}

Integer TimeSpinIncrement(Integer APart, Integer AButton, Integer ASeconds, bool ACircular) {
  const bool up = AButton == 1 || AButton == 3;
  const bool fast = AButton >= 2;
  Integer step = 0;
  switch (APart) {
    case tpkHour: step = 3600; break;
    case tpkMinute: step = fast ? 600 : 60; break;
    case tpkSecond: step = fast ? 10 : 1; break;
    default:
      // The designator toggles whatever the direction.
      return ASeconds < SecondsPerHalfDay ? SecondsPerHalfDay : -SecondsPerHalfDay;
  }
  if (!up) step = -step;
  // Circular: a step past midnight lands on the other side of it, so 23:30 and an hour give 00:30.
  if (ACircular) step = ((ASeconds + step) % SecondsPerDay + SecondsPerDay) % SecondsPerDay - ASeconds;
  return step;
}

void StartTimeEditUnit() {
  if (timeEditUnitCount++ > 0) return;
  timeEditFormatListener = new TuiTimeEditFormatListener();
  CalendarTimeEditFactory = NewCalendarTimeEditPart;
  GetEditPropertiesRegistry()->Register(TuiTimeEditProperties::StaticClass(),
                                        LocalizeText(uitimeeditconsts::scxTimeEditDescription));
}

void StopTimeEditUnit() {
  if (timeEditUnitCount == 0 || --timeEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiTimeEditProperties::StaticClass());
  if (CalendarTimeEditFactory == NewCalendarTimeEditPart) CalendarTimeEditFactory = nullptr;
  delete timeEditFormatListener;
  timeEditFormatListener = nullptr;
}

}  // namespace k58::editors

using namespace k58::editors;

// ---- Properties -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTimeEditProperties) {}

K58_IMPLEMENT_CLASS(TuiTimeEditProperties) {
  using S = TuiTimeEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoCorrectHours", &S::AutoCorrectHours, &S::SetAutoCorrectHours).Default(true);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("Circular", &S::Circular, &S::SetCircular).Default(false);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ShowDate", &S::ShowDate, &S::SetShowDate).Default(false);
  b.Prop("SpinButtons", &S::SpinButtons, &S::SetSpinButtons);
  b.Prop("TimeFormat", &S::TimeFormat, &S::SetTimeFormat).Default(tfHourMinSec);
  b.Prop("UseCtrlIncrement", &S::UseCtrlIncrement, &S::SetUseCtrlIncrement).Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("UseTimeFormatWhenUnfocused", &S::UseTimeFormatWhenUnfocused, &S::SetUseTimeFormatWhenUnfocused)
      .Default(true);
  b.Prop("Use24HourFormat", &S::Use24HourFormat, &S::SetUse24HourFormat).Default(true);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomTimeEditProperties::TuiCustomTimeEditProperties() {
  BeginUpdate();
  // The limits of the seconds of a day are GetMinValueOfType and GetMaxValueOfType: the assigned-value
  // flags are not ours to set while the object is being made.
  SetIgnoreMaskBlank(true);
  SetIncrement(1.0);
  SetAlwaysShowBlanksAndLiterals(true);
  UpdateEditMask();
  EndUpdate(false);
  timeEditProperties.push_back(this);
}

TuiCustomTimeEditProperties::~TuiCustomTimeEditProperties() {
  std::erase(timeEditProperties, this);
}

void TuiCustomTimeEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomTimeEditProperties*>(Source);
  if (source == nullptr) return TuiCustomSpinEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomSpinEditProperties::Assign(Source);
    autoCorrectHours_ = source->autoCorrectHours_;
    SetShowDate(source->ShowDate());
    SetTimeFormat(source->TimeFormat());
    SetUse24HourFormat(source->Use24HourFormat());
    SetUseTimeFormatWhenUnfocused(source->UseTimeFormatWhenUnfocused());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomTimeEditProperties::SetShowDate(bool Value) {
  if (showDate_ == Value) return;
  showDate_ = Value;
  Changed();
}

void TuiCustomTimeEditProperties::SetTimeFormat(TuiTimeEditTimeFormat Value) {
  if (timeFormat_ == Value) return;
  timeFormat_ = Value;
  UpdateEditMask();
  Changed();
}

void TuiCustomTimeEditProperties::SetUse24HourFormat(bool Value) {
  if (use24HourFormat_ == Value) return;
  use24HourFormat_ = Value;
  UpdateEditMask();
  Changed();
}

void TuiCustomTimeEditProperties::SetUseTimeFormatWhenUnfocused(bool Value) {
  if (useTimeFormatWhenUnfocused_ == Value) return;
  useTimeFormatWhenUnfocused_ = Value;
  Changed();
}

String TuiCustomTimeEditProperties::DisplayTimeFormat() const {
  return TimeFormatTable[static_cast<size_t>(timeFormat_)][use24HourFormat_ ? 1 : 0].DisplayFormat;
}

void TuiCustomTimeEditProperties::UpdateEditMask() {
  SetEditMask(use24HourFormat_ ? String(TimeFormatTable[static_cast<size_t>(timeFormat_)][1].EditMask)
                               : TwelveHourMask(timeFormat_));
}

void TuiCustomTimeEditProperties::FormatChanged() {
  BeginUpdate();
  try {
    UpdateEditMask();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Integer TuiCustomTimeEditProperties::GetTimePartStart(Integer AKind) const { return TimePartStart(AKind, timeFormat_); }

Integer TuiCustomTimeEditProperties::GetTimePartAt(Integer APosition) {
  return TimePartAt(APosition, timeFormat_, use24HourFormat_, MaxLength());
}

bool TuiCustomTimeEditProperties::GetTimePart(Integer APosition, TuiTimePart& APart) {
  APart.Kind = GetTimePartAt(APosition);
  APart.Start = GetTimePartStart(APart.Kind);
  APart.Length = GetTimePartLength(APart.Kind);
  APart.AmPmKind = GetAmPmKind();
  APart.Use24Hour = use24HourFormat_;
  return true;
}

String TuiCustomTimeEditProperties::ValueToText(TDateTime AValue, bool AFocused) {
  const bool hasDate = AValue != 0 && Trunc(AValue) != 0;
  if (!AFocused && showDate_ && hasDate) {
    try {
      return TrimRight(DateTimeToStr(AValue, TimeEditFormatSettings()));
    } catch (const Exception&) {
      return String();
    }
  }
  if (AFocused || useTimeFormatWhenUnfocused_) return FormatTimeText(DisplayTimeFormat(), AValue);
  return FormatTimeText(FormatSettings.LongTimeFormat, AValue);
}

TClass TuiCustomTimeEditProperties::GetEditClass() const { return TuiTimeEdit::StaticClass(); }

bool TuiCustomTimeEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (VarIsStr(AEditValue)) return AdjustTextValue(AEditValue, AEditFocused);
  return true;
}

void TuiCustomTimeEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) {
    ADisplayValue = Variant(AEditFocused ? FormatTimeText(DisplayTimeFormat(), 0) : String());
    return;
  }
  // A value that is no time shows empty; only validation reports it.
  TDateTime value = 0;
  ADisplayValue = Variant(VariantToTimeValue(AEditValue, value) ? ValueToText(value, AEditFocused) : String());
}

void TuiCustomTimeEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TuiCustomEdit* AEdit) {
  if (AErrorText.empty()) AErrorText = LocalizeText(uitimeeditconsts::scxSEditTimeConvertError);
  TuiCustomEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

void TuiCustomTimeEditProperties::GetEmptyDisplayValue(Variant& AValue) {
  AValue = Variant(FormatTimeText(DisplayTimeFormat(), 0));
}

bool TuiCustomTimeEditProperties::AdjustTextValue(Variant& AValue, bool) {
  TDateTime value = 0;
  if (!ReadTimeTextAsDate(VarToStr(AValue), value)) return false;
  AValue = Variant(FormatTimeText(DisplayTimeFormat(), value));
  return true;
}

TClass TuiCustomTimeEditProperties::GetModeClass(TuiEditMaskKind) const { return TuiTimeEditMaskMode::StaticClass(); }

// Circular steps are wrapped by the editor's increment, over the 86400 seconds of a day.
Integer TuiCustomTimeEditProperties::GetLimitMode() { return slmNone; }

void TuiCustomTimeEditProperties::GetMaxValueOfType(Variant& AValue) { AValue = Variant(double(SecondsPerDay - 1)); }

void TuiCustomTimeEditProperties::GetMinValueOfType(Variant& AValue) { AValue = Variant(0.0); }

bool TuiCustomTimeEditProperties::NormalizeValue(const Variant&, Variant& AResult) {
  AResult = Variant(0.0);
  return true;
}

// ---- Mask mode --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTimeEditMaskMode) {}

String TuiTimeEditMaskMode::GetBlank(Integer APosition) const {
  auto* properties = dynamic_cast<TuiCustomTimeEditProperties*>(Properties());
  if (properties != nullptr && properties->GetTimePartAt(APosition + 1) == tpkAmPm) return String();
  return "0";
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTimeEdit) {}

TClass TuiCustomTimeEdit::GetPropertiesClass() const { return TuiTimeEditProperties::StaticClass(); }

void TuiCustomTimeEdit::Initialize() {
  TuiCustomSpinEdit::Initialize();
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

TDateTime TuiCustomTimeEdit::Time() {
  TDateTime value = 0;
  if (IsEditFocused()) {
    String text;
    GetDisplayText(text);
    Variant edit;
    DisplayValueToEditValue(Variant(text), edit, true);
    value = VarIsNull(edit) ? 0 : edit.AsDouble();
  } else {
    const Variant edit = EditValue();
    if (VarIsStr(edit))
      value = StrToDateTime(VarToStr(edit), TimeEditFormatSettings());
    else if (!VarIsNull(edit) && !VarIsEmpty(edit))
      value = edit.AsDouble();
  }
  return std::fabs(Frac(value));
}

void TuiCustomTimeEdit::SetTime(TDateTime AValue) {
  const TDateTime time = std::isfinite(AValue) ? std::fabs(Frac(AValue)) : 0;
  InternalSetEditValue(Variant::FromDateTime(storedDate_ + DateSign(storedDate_) * time));
}

Integer TuiCustomTimeEdit::GetCurrentTimePart() { return ActiveProperties()->GetTimePartAt(SelStart() + 1); }

void TuiCustomTimeEdit::SetInternalDisplayValue(const Variant& AValue) {
  if (!ActiveProperties()->Use24HourFormat() && VarToStr(AValue).empty())
    return TuiCustomTextEdit::SetInternalDisplayValue(AValue);
  TuiCustomSpinEdit::SetInternalDisplayValue(AValue);
}

void TuiCustomTimeEdit::StoreEditValue(const Variant& AValue, bool AValidateEditValue) {
  Variant value = AValue;
  bool valid = true;
  if (AValidateEditValue) valid = ActiveProperties()->IsEditValueValid(value, IsEditFocused());
  TDateTime date = 0;
  if (valid && !VarIsNull(AValue) && !VarIsEmpty(AValue) && VariantToTimeValue(AValue, date))
    storedDate_ = static_cast<TDateTime>(Trunc(date));
  else
    storedDate_ = 0;
  TuiCustomSpinEdit::StoreEditValue(AValue, AValidateEditValue);
}

void TuiCustomTimeEdit::PropertiesChanged(TObject* Sender) {
  if (!IsEditFocused()) ClearEditData();
  if (InnerTextEdit() != nullptr) SetSelStart(Utf8Length(Text()));
  TuiCustomSpinEdit::PropertiesChanged(Sender);
}

void TuiCustomTimeEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TuiCustomTimeEditProperties* properties = ActiveProperties();
  Integer seconds = 0;
  const String text = VarToStr(ADisplayValue);
  // An unreadable text is midnight of the kept date.
  if (!TimeTextToSeconds(text, properties->TimeFormat(), properties->Use24HourFormat(), seconds)) seconds = 0;
  const TDateTime value = DateSign(storedDate_) * (static_cast<TDateTime>(seconds) / SecondsPerDay) + storedDate_;
  AEditValue = value != 0 ? Variant::FromDateTime(value) : Variant(0.0);
}

bool TuiCustomTimeEdit::IsCharAllowed(String& ACh, Integer APosition) {
  TuiTimePart part;
  ActiveProperties()->GetTimePart(APosition, part);
  const TuiTimeCharResult r = ProcessTimePartChar(Text(), APosition, ACh, part, TimeEditFormatSettings());
  if (!r.Accepted) return false;
  if (!r.Rewritten) {
    ACh = r.Key;
    return true;
  }
  // The rules wrote the part themselves: the key is taken without a beep, and a key they passed on is
  // typed at its new place.
  SetDisplayText(r.Text);
  SetSelStart(r.Caret - 1);
  if (!r.Key.empty() && !enteringPart_ && Mode() != nullptr) {
    enteringPart_ = true;
    String key = r.Key;
    try {
      Mode()->KeyChar(key);
    } catch (...) {
      enteringPart_ = false;
      throw;
    }
    enteringPart_ = false;
  }
  return false;
}

Variant TuiCustomTimeEdit::GetIncrement(Integer AButton) {
  Variant value;
  GetValue(value);
  return Variant(static_cast<double>(TimeSpinIncrement(GetCurrentTimePart(), AButton,
                                                       static_cast<Integer>(value.AsInt64()),
                                                       ActiveProperties()->Circular())));
}

void TuiCustomTimeEdit::GetValue(Variant& AValue) {
  TuiCustomTimeEditProperties* properties = ActiveProperties();
  Integer seconds = 0;
  if (IsEditFocused()) {
    if (!TimeTextToSeconds(Text(), properties->TimeFormat(), properties->Use24HourFormat(), seconds)) seconds = 0;
  } else {
    // Unfocused the text may show a date or the locale's long time: the value is read instead.
    TDateTime time = 0;
    try {
      time = Time();
    } catch (const Exception&) {
      time = 0;
    }
    seconds = static_cast<Integer>(std::lround(time * SecondsPerDay)) % SecondsPerDay;
  }
  AValue = Variant(static_cast<Int64>(seconds));
}


void TuiCustomTimeEdit::ValueToDisplayText(const Variant& AValue, String& AText) {
  Variant display;
  ActiveProperties()->PrepareDisplayValue(Variant(AValue.AsDouble() / SecondsPerDay), display, IsEditFocused());
  AText = VarToStr(display);
}

void TuiCustomTimeEdit::SetValue(const Variant& AValue) {
  if (!IsNumericVariant(AValue)) return;
  SetTime(AValue.AsDouble() / SecondsPerDay);
}

bool TuiCustomTimeEdit::DoSpinStep(Integer AButton) {
  TuiCustomTimeEditProperties* properties = ActiveProperties();
  const Integer selStart = SelStart();
  Integer start = 0, length = 1;
  if (GetCurrentTimePart() == tpkAmPm) {
    // The designator the step will show is selected.
    const std::vector<String> chars = k58::forms::SplitChars(Text());
    Integer p = 9 - 3 * static_cast<Integer>(properties->TimeFormat());
    while (p <= static_cast<Integer>(chars.size()) && chars[static_cast<size_t>(p - 1)] == " ") ++p;
    start = p - 1;
    String am, pm;
    GetAmPmStrings(apkLocale, am, pm);
    Variant value;
    GetValue(value);
    length = Utf8Length(value.AsInt64() >= SecondsPerHalfDay ? am : pm);
  } else {
    start = selStart < 2 ? 1 : selStart < 5 ? 4 : 7;
  }
  const bool changed = TuiCustomSpinEdit::DoSpinStep(AButton);
  if (InnerTextEdit() != nullptr) {
    SetSelStart(start);
    SetSelLength(length);
  }
  return changed;
}

// ---- Published time editor --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTimeEdit) {
  using S = TuiTimeEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("BeepOnEnter", &S::BeepOnEnter, &S::SetBeepOnEnter).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeNameValue);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("Time", &S::TimeValue, &S::SetTime).Stored(false);
}

TClass TuiTimeEdit::GetPropertiesClass() const { return TuiTimeEditProperties::StaticClass(); }
