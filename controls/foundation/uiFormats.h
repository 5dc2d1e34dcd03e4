// The format controller: one process-wide object that turns the locale's date, time and currency
// settings (FormatSettings) into what the editors need: the analysed items of the date and time formats,
// edit masks in the standard and the regular-expression mask languages, display formats for masked date
// editing, the currency display format and the first day of the week. It tells its listeners when the
// regional settings or the clock change.
//
// The controller is made on first use and freed when the foundation's units stop; it listens through a
// hidden window that exists only while it has listeners. Listeners are not owned: each removes itself
// before it goes, also from inside a notification. Main thread only.
#pragma once

#include <array>
#include <vector>

#include "platform/classes/Interfaces.h"
#include "platform/classes/Object.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/rtl/Types.h"

// The kinds of format items.
enum TuiDateTimeFormatItemKind : Byte {
  dfkLiteral,
  dfkYear,
  dfkMonth,
  dfkDay,
  dfkHour,
  dfkMinute,
  dfkSecond,
  dfkMilliseconds,
  dfkAMPM,
  dfkDateSeparator,
  dfkTimeSeparator,
};
inline constexpr Integer DateTimeFormatItemKindCount = 11;

// Literal: the characters; year "YY" or "YYYY"; month one to four "M"; day one to four "D" (three or four:
// weekday names); hour "H" or "HH" prefixed with "12" or "24"; minute "N"/"NN"; second "S"/"SS";
// milliseconds one to three "Z"; AM/PM "AM/PM" or "A/P" as written, or "AMPM"; separators empty.
struct TuiDateTimeFormatItem {
  Byte Kind = dfkLiteral;
  String Text;
};

struct TuiDateTimeFormatInfo {
  std::array<bool, DateTimeFormatItemKindCount> SeenKinds{};
  std::vector<TuiDateTimeFormatItem> Items;
  // The hour is on the 12-hour clock (an AM/PM marker beside it).
  bool TwelveHour = false;
};

// AMPMStyle of an AM/PM item: "A/P", "AM/PM", or the locale's AM and PM strings.
enum TuiAMPMStyle : Byte { ampsAP, ampsAMPM, ampsLocale };

// Where an item lies in the text of a format: Start is 1-based.
struct TuiFormatItemSpan {
  Byte Kind = dfkLiteral;
  Integer Start = 0;
  Integer Length = 0;
  Byte AMPMStyle = ampsAP;
};

class IuiFormatControllerListener {
 public:
  virtual void FormatChanged() = 0;

 protected:
  ~IuiFormatControllerListener() = default;
};

// Listeners that also want to hear of clock changes implement this as well.
class IuiFormatControllerListener2 {
 public:
  virtual void TimeChanged() = 0;

 protected:
  ~IuiFormatControllerListener2() = default;
};
inline constexpr TGUID IID_IuiFormatControllerListener2 = TGUID::Parse("{79A03F88-40AE-5461-96D4-66E11BB643A1}");

class TuiFormatController : public TObject {
  K58_CLASS(TuiFormatController, TObject)

  // Refreshes; the first controller made becomes the process-wide one.
  TuiFormatController();
  ~TuiFormatController() override;

  // The hidden window's messages: the regional settings ("intl") reload FormatSettings when the
  // application updates them, then refresh and tell the listeners; a clock change is told as well.
  virtual void HandleMessage(TMessage& AMessage);
  // A listener already listed is ignored; the first one makes the hidden window.
  virtual void AddListener(IuiFormatControllerListener* AListener);
  // The last one's removal destroys the window.
  virtual void RemoveListener(IuiFormatControllerListener* AListener);

  // Rebuilds everything below from FormatSettings and the locale.
  void Refresh();
  void NotifyFormatChanged();
  void NotifyTimeChanged();

  // The items of a format (an empty one is "C"); a format that cannot be analysed gives an empty info.
  void AnalyseDateTimeFormat(const String& AFormat, TuiDateTimeFormatInfo& AInfo) const;
  // The item that covers the 1-based text position APos; False before the text, after it and for an
  // info without items.
  bool FindDateTimeFormatItem(const TuiDateTimeFormatInfo& AInfo, Integer APos, TuiFormatItemSpan& ASpan) const;
  Integer GetDateTimeFormatTextLength(const TuiDateTimeFormatInfo& AInfo) const;
  // 0 = Sunday .. 6.
  Integer GetLocaleFirstWeekDay() const;

  const String& CurrencyDisplayFormat() const { return currencyDisplayFormat_; }
  const String& PaddedDateFormat() const { return paddedDateFormat_; }
  const TuiDateTimeFormatInfo& DateFormatInfo() const { return dateFormatInfo_; }
  const TuiDateTimeFormatInfo& DateTimeFormatInfo() const { return dateTimeFormatInfo_; }
  const TuiDateTimeFormatInfo& TimeFormatInfo() const { return timeFormatInfo_; }
  const String& MaskedDateFormat() const { return maskedDateFormat_; }
  const String& MaskedDateTimeFormat() const { return maskedDateTimeFormat_; }
  const String& RegExprDateMask() const { return regExprDateMask_; }
  const String& RegExprDateTimeMask() const { return regExprDateTimeMask_; }
  const String& StandardDateMask() const { return standardDateMask_; }
  const String& StandardDateTimeMask() const { return standardDateTimeMask_; }
  // Whether the date-time format gave a standard mask.
  bool AssignedStandardDateTimeMask() const { return !standardDateTimeMask_.empty(); }
  Byte StartOfWeek() const { return startOfWeek_; }
  HWND Window() const { return window_; }
  Integer ListenerCount() const { return static_cast<Integer>(listeners_.size()); }

  // Whether date texts are read with the run-time library's formats as they are, without turning the
  // locale's date separators into blanks first; a change tells the listeners.
  bool UsePlainDateFormats() const { return usePlainDateFormats_; }
  void SetUsePlainDateFormats(bool Value);

 private:
  bool ParseFormat(const String& AFormat, Integer ADepth, TuiDateTimeFormatInfo& AInfo, bool& ATwelveHour) const;
  Integer ItemTextLength(const TuiDateTimeFormatItem& AItem) const;

  String currencyDisplayFormat_;
  String paddedDateFormat_;
  TuiDateTimeFormatInfo dateFormatInfo_;
  TuiDateTimeFormatInfo dateTimeFormatInfo_;
  TuiDateTimeFormatInfo timeFormatInfo_;
  std::vector<IuiFormatControllerListener*> listeners_;
  String maskedDateFormat_;
  String maskedDateTimeFormat_;
  String regExprDateMask_;
  String regExprDateTimeMask_;
  String standardDateMask_;
  String standardDateTimeMask_;
  Byte startOfWeek_ = 0;
  HWND window_ = nullptr;
  bool usePlainDateFormats_ = false;
};

// The process-wide controller, made on first use.
TuiFormatController* GetFormatController();

namespace k58::foundation {
// Unit start (the controller is made on first use) and end (frees it and its window).
void StartFormatsUnit();
void StopFormatsUnit();
}  // namespace k58::foundation
