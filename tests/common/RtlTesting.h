// Test helpers for code that reads the run-time library's clock and locale settings.
#pragma once

#include "platform/rtl/SysUtils.h"

// Makes Now/Date/Time return a fixed moment for the lifetime of the object.
class TFixedClock {
public:
  explicit TFixedClock(TDateTime now) : now_(now) {
    SetNowProvider([this] { return now_; });
  }
  ~TFixedClock() { SetNowProvider(nullptr); }
  TFixedClock(const TFixedClock&) = delete;
  TFixedClock& operator=(const TFixedClock&) = delete;

  void Set(TDateTime now) { now_ = now; }
  void Advance(TDateTime days) { now_ += days; }

private:
  TDateTime now_;
};

// Settings with the given decimal and thousands separators, otherwise as pinned.
inline TFormatSettings WithDecimal(char decimal, char thousands) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.DecimalSeparator = decimal;
  fs.ThousandSeparator = thousands;
  return fs;
}

// Settings with ',' as the decimal and '.' as the thousands separator, otherwise as pinned.
inline TFormatSettings CommaDecimalSettings() { return WithDecimal(',', '.'); }
