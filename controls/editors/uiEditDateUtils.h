// The date range of the date editors and the calendar: 1 January 100 to the last moment of 31 December
// 9999, the sign rule that adds a time of day to a date on either side of the epoch, and an encoding
// that answers a value outside the range instead of raising.
#pragma once

#include "controls/foundation/uiDateUtils.h"

// The last moment the editors accept: 31 December 9999, 23:59:59.
inline constexpr TDateTime MaxEditDateTime = 2958465.99999;
// What EncodeDateChecked answers for a date it cannot encode: below the range, and not NullDate.
inline constexpr TDateTime InvalidEditDate = -699999;

// -1 for a date before the epoch (30 December 1899), else +1: the time of day counts away from zero
// (the value of 29 December 1899, 18:00 is -1.75), so adding a time is D + DateSign(D) * T.
Integer DateSign(TDateTime D);
// GetMinimumDate() <= D <= MaxEditDateTime; NullDate is outside.
bool IsDateInRange(TDateTime D);
// The date, or InvalidEditDate when the year is outside 100..9999, the month outside 1..12 or the day
// outside the month.
TDateTime EncodeDateChecked(Integer AYear, Integer AMonth, Integer ADay);
