// The time editor: a masked spin editor for the time of day, and the entry rules of masked time parts
// that the date editor shares.
//
// Entry rules: a character typed into a time part (hour, minute, second or AM/PM) of a masked text is
// tested against the part and corrected part by part. The rules are pure functions of the text, so the
// time editor and the date editor apply them to their own parts and own mask modes alike.
//
// Threads: GUI thread only.
#pragma once

#include <array>

#include "controls/editors/uiSpinEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

// The kinds of time parts; the AM/PM kind is also the answer of GetTimePartAt for the designator.
enum TuiTimePartKind : Integer { tpkHour = 0, tpkMinute = 1, tpkSecond = 2, tpkAmPm = 3 };

// The designator texts of an AM/PM part: "A"/"P", "AM"/"PM", or the locale's own.
enum TuiAmPmKind : Integer { apkAP = 0, apkAMPM = 1, apkLocale = 2 };

// One time part of a masked text.
struct TuiTimePart {
  Integer Kind = tpkHour;
  // One-based position of the part's first character.
  Integer Start = 1;
  // Digit parts have two characters; a designator as many as its text.
  Integer Length = 2;
  Integer AmPmKind = apkLocale;
  // The hour runs 0..23; else 1..12.
  bool Use24Hour = true;
};

// What the entry rules made of a typed character.
//  - Refused (Accepted false): nothing changes; the key is dropped.
//  - Accepted without Rewritten: the mask goes on and writes Key at the typed position, as for any key.
//  - Accepted and Rewritten: Text is the new text and Caret the one-based caret position; when Key is not
//    empty it is then typed at Caret (it runs through the rules again there), else the key is consumed.
struct TuiTimeCharResult {
  bool Accepted = false;
  bool Rewritten = false;
  String Text;
  String Key;
  Integer Caret = 1;
};

namespace k58::editors {

// The designators of AKind. The locale's texts fall back to "AM" and "PM" when the locale has none,
// so that a morning and an afternoon text stay apart.
void GetAmPmStrings(Integer AKind, String& AAm, String& APm, const TFormatSettings& AFormat = FormatSettings);
// One-based index of the first character where A and P differ, case-insensitively; when one is a prefix of
// the other, the shorter length + 1.
Integer FirstDifference(const String& A, const String& P);
// The values a digit part may hold.
void GetTimePartRange(const TuiTimePart& APart, Integer& AMin, Integer& AMax);

// The rules for AKey (one character) typed at the one-based APosition of AText, inside APart.
TuiTimeCharResult ProcessTimePartChar(const String& AText, Integer APosition, const String& AKey,
                                      const TuiTimePart& APart, const TFormatSettings& AFormat = FormatSettings);

}  // namespace k58::editors

// ---- Time editor ------------------------------------------------------------------------------------------
//
// The text follows one of three time formats in 24- or 12-hour form: hours at positions 1-2, minutes at
// 4-5, seconds at 7-8 and the AM/PM designator after the digits and one blank. The spin value is the
// time in whole seconds (0..86399); the edit value is a date and time whose date part the editor keeps
// aside, so that only the time of day is edited.

namespace uitimeeditconsts {
extern const char* const scxTimeEditDescription;  // "TimeEdit|Represents an editor displaying time values"
extern const char* const scxSEditTimeConvertError;  // "Could not convert to time"
}  // namespace uitimeeditconsts

enum TuiTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };
K58_ENUM_TYPE(TuiTimeEditTimeFormat, tfHourMinSec, tfHourMin, tfHour)

namespace k58::editors {

struct TuiTimeFormatCell {
  const char* DisplayFormat;
  const char* EditMask;
};
// Indexed by the time format, then by the 24-hour flag. The 12-hour masks here are the starting ones;
// the live ones follow the locale (TwelveHourMask).
extern const std::array<std::array<TuiTimeFormatCell, 2>, 3> TimeFormatTable;

// The 12-hour edit mask of a time format, as last rebuilt from the locale's designators.
String TwelveHourMask(TuiTimeEditTimeFormat AFormat);
// Rebuilds the three 12-hour masks: the digits, one blank, and an optional character for each character
// of the longer designator.
void RebuildTwelveHourMasks();
// The locale settings the time editor formats and reads with: a locale without designators gets "AM" and
// "PM", so that the afternoon is not lost.
TFormatSettings TimeEditFormatSettings();
// Seconds of a time text of AFormat (hours, minutes, seconds at their places and in 12-hour form the
// designator after them). False when the text holds no time of that form.
bool TimeTextToSeconds(const String& AText, TuiTimeEditTimeFormat AFormat, bool AUse24Hour, Integer& ASeconds);

// The one-based start of a part: 3 x kind + 1 for digits, after the digits and one blank for AM/PM.
Integer TimePartStart(Integer AKind, TuiTimeEditTimeFormat AFormat);
// The part that covers the one-based APosition of a text of AFormat (AMaxLength > 0 caps the position).
Integer TimePartAt(Integer APosition, TuiTimeEditTimeFormat AFormat, bool AUse24Hour, Integer AMaxLength = 0);
// The seconds a spin button (0 down, 1 up, 2 fast down, 3 fast up) adds on APart to ASeconds; with
// ACircular the result is wrapped into the day. The spin refuses a result outside 0..86399.
Integer TimeSpinIncrement(Integer APart, Integer AButton, Integer ASeconds, bool ACircular);

void StartTimeEditUnit();
void StopTimeEditUnit();

}  // namespace k58::editors

class TuiCustomTimeEditProperties : public TuiCustomSpinEditProperties {
  K58_CLASS(TuiCustomTimeEditProperties, TuiCustomSpinEditProperties)

  TuiCustomTimeEditProperties();
  ~TuiCustomTimeEditProperties() override;
  void Assign(TPersistent* Source) override;

  // Stored and copied; the typed-hour corrections run whatever its value.
  bool AutoCorrectHours() const { return autoCorrectHours_; }
  void SetAutoCorrectHours(bool Value) { autoCorrectHours_ = Value; }
  bool ShowDate() const { return showDate_; }
  void SetShowDate(bool Value);
  TuiTimeEditTimeFormat TimeFormat() const { return timeFormat_; }
  void SetTimeFormat(TuiTimeEditTimeFormat Value);
  bool Use24HourFormat() const { return use24HourFormat_; }
  void SetUse24HourFormat(bool Value);
  bool UseTimeFormatWhenUnfocused() const { return useTimeFormatWhenUnfocused_; }
  void SetUseTimeFormatWhenUnfocused(bool Value);

  // The display format of the current time format and hour form.
  String DisplayTimeFormat() const;
  // The one-based position of the first character of a part.
  Integer GetTimePartStart(Integer AKind) const;
  Integer GetTimePartLength(Integer) const { return 2; }
  Integer GetAmPmKind() const { return apkLocale; }
  // The part that covers the one-based APosition.
  Integer GetTimePartAt(Integer APosition);
  bool GetTimePart(Integer APosition, TuiTimePart& APart);
  // The text of a value: the display format when focused; unfocused the display format or the locale's
  // long time, with the date in front when ShowDate asks for it and there is one.
  String ValueToText(TDateTime AValue, bool AFocused);
  // The mask follows the time format and the locale's 12-hour mask.
  void UpdateEditMask();
  // The locale's formats changed.
  void FormatChanged();

  // ---- Overrides ----
  Byte GetDisplayFormatOptions() override { return 3; }
  TClass GetEditClass() const override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool AFocused) override { return HasDefaultDisplayFormat(AFocused); }
  void GetEmptyDisplayValue(Variant& AValue) override;
  bool HasRangeCheck() override { return false; }
  bool AdjustTextValue(Variant& AValue, bool AEditFocused) override;
  TClass GetModeClass(TuiEditMaskKind AMaskKind) const override;
  // A step past midnight either way is refused (the editor wraps it itself with Circular); never clamped.
  Integer GetLimitMode() override;
  void GetMaxValueOfType(Variant& AValue) override;
  void GetMinValueOfType(Variant& AValue) override;
  bool AdjustsText() override { return false; }
  bool NormalizeValue(const Variant& AValue, Variant& AResult) override;
  bool KeepsSelectionOnSpin() override { return true; }

 private:
  bool autoCorrectHours_ = true;
  bool showDate_ = false;
  TuiTimeEditTimeFormat timeFormat_ = tfHourMinSec;
  bool use24HourFormat_ = true;
  bool useTimeFormatWhenUnfocused_ = true;
};

class TuiTimeEditProperties : public TuiCustomTimeEditProperties {
  K58_CLASS(TuiTimeEditProperties, TuiCustomTimeEditProperties)
};

// The standard mask mode with the time editor's blanks: a cleared designator is left as it is.
class TuiTimeEditMaskMode : public TuiMaskEditStandardMode {
  K58_CLASS(TuiTimeEditMaskMode, TuiMaskEditStandardMode)

  TuiTimeEditMaskMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
      : TuiMaskEditStandardMode(AEdit, AEditProperties) {}
  String GetBlank(Integer APosition) const override;
};

class TuiCustomTimeEdit : public TuiCustomSpinEdit {
  K58_CLASS(TuiCustomTimeEdit, TuiCustomSpinEdit)

  explicit TuiCustomTimeEdit(TComponent* AOwner) : TuiCustomSpinEdit(AOwner) {}

  TuiCustomTimeEditProperties* ActiveProperties() {
    return static_cast<TuiCustomTimeEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomTimeEditProperties* Properties() const {
    return static_cast<TuiCustomTimeEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomTimeEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // The time of day of the value (0 <= Time < 1). Unreadable text raises EConvertError.
  TDateTime Time();
  // The value becomes the kept date with this time of day; the date part of AValue is ignored.
  void SetTime(TDateTime AValue);
  // The date part the editor keeps aside.
  TDateTime StoredDate() const { return storedDate_; }
  // The part under the caret.
  Integer GetCurrentTimePart();

  // ---- Overrides ----
  void Initialize() override;
  void SetInternalDisplayValue(const Variant& AValue) override;
  void StoreEditValue(const Variant& AValue, bool AValidateEditValue) override;
  bool IsValidChar(char) override { return true; }
  void PropertiesChanged(TObject* Sender) override;
  void ClearValue() override { SetTime(0); }
  TClass GetPropertiesClass() const override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void GetEditingText(String& AText) override { GetDisplayText(AText); }
  bool SetEditingValue(const String& AText) override { return TuiCustomTextEdit::SetEditingValue(AText); }
  // The typed-character rules of the part under the key.
  bool IsCharAllowed(String& ACh, Integer APosition) override;
  Variant GetIncrement(Integer AButton) override;
  void GetValue(Variant& AValue) override;
  void ValueToDisplayText(const Variant& AValue, String& AText) override;
  void SetValue(const Variant& AValue) override;
  // Steps the part under the caret and selects what the step changed.
  bool DoSpinStep(Integer AButton) override;

 private:
  TDateTime storedDate_ = 0;
  bool enteringPart_ = false;
};

class TuiTimeEdit : public TuiCustomTimeEdit {
  K58_CLASS(TuiTimeEdit, TuiCustomTimeEdit)

  explicit TuiTimeEdit(TComponent* AOwner) : TuiCustomTimeEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiTimeEditProperties* ActiveProperties() {
    return static_cast<TuiTimeEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiTimeEditProperties* Properties() const { return static_cast<TuiTimeEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiTimeEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
  void SetImeNameValue(TImeName Value) { SetImeName(Value); }
  TDateTime TimeValue() { return Time(); }
};
