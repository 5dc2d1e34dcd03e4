// Currency: a fixed-point number with four decimals, kept as a 64-bit integer scaled by 10000, so sums of
// money amounts stay exact.
#pragma once

#include <compare>

#include "platform/rtl/Types.h"

struct Currency {
  static constexpr Int64 Scale = 10000;

  // The value times 10000.
  Int64 Scaled = 0;

  constexpr Currency() = default;
  static constexpr Currency FromScaled(Int64 scaled) {
    Currency c;
    c.Scaled = scaled;
    return c;
  }
  // Rounds to four decimals, halves to even; raises EVariantOverflowError outside the currency range and
  // for NaN or infinities.
  static Currency FromDouble(double value);
  static Currency FromInt64(Int64 value);

  double ToDouble() const { return static_cast<double>(Scaled) / static_cast<double>(Scale); }

  friend constexpr bool operator==(Currency a, Currency b) = default;
  friend constexpr auto operator<=>(Currency a, Currency b) { return a.Scaled <=> b.Scaled; }
};

// Text of a currency value: shortest decimal form with up to four decimals and the locale decimal separator
// ("12.5", "-0.0001", "3").
String CurrToStr(Currency value);
// Parses decimal text exactly (optional sign, digits, the locale decimal separator, up to four decimals;
// more decimals round half to even; surrounding blanks allowed). False on anything else or overflow.
bool TryStrToCurr(const String& text, Currency& value);
// As TryStrToCurr; raises EConvertError "'%s' is not a valid floating point value" on failure.
Currency StrToCurr(const String& text);
