// The date range of the date editors and the calendar.
#include "controls/editors/uiEditDateUtils.h"

Integer DateSign(TDateTime D) { return D < 0 ? -1 : 1; }

bool IsDateInRange(TDateTime D) { return D >= GetMinimumDate() && D <= MaxEditDateTime; }

TDateTime EncodeDateChecked(Integer AYear, Integer AMonth, Integer ADay) {
  if (AYear < 100 || AYear > 9999 || AMonth < 1 || AMonth > 12 || ADay < 1 || ADay > GetDaysInMonth(AYear, AMonth))
    return InvalidEditDate;
  return EncodeDate(static_cast<Word>(AYear), static_cast<Word>(AMonth), static_cast<Word>(ADay));
}
