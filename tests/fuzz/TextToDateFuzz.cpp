// Fuzz target of the conversion of edit text to a date, on a fixed clock: a text either gives a date from
// 0001-01-01 to 9999-12-31, or False with the null date (a blank text leaves the date alone); the
// date-and-time conversion fails only with the null date; whatever date comes out has a display text.
#include <cmath>
#include <cstdint>

#include "controls/foundation/uiDateUtils.h"
#include "platform/rtl/DateTime.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool clock = (SetNowProvider([] { return 45336.5; }), true);  // Wednesday 2024-02-14, noon
  (void)clock;
  const String text(reinterpret_cast<const char*>(Data), Size);

  TDateTime date = 1;
  if (TryTextToDate(text, date)) {
    K58_FUZZ_CHECK(std::trunc(date) >= -693593 && std::trunc(date) <= 2958465);
    DateTimeToDisplayText(false, true, true, date);
    DateTimeToDisplayText(true, true, false, date);
  } else {
    K58_FUZZ_CHECK(date == NullDate || date == 1);
  }
  for (const bool useVariant : {false, true}) {
    TDateTime value = 1;
    if (!TryTextToDateTime(text, useVariant, value)) K58_FUZZ_CHECK(value == NullDate);
  }
  return 0;
}
