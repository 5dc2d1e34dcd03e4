// Fuzz target of the calculator's display conversions in a "." and a "," locale: any text either converts
// to a finite number or counts as 0; the text of a converted value converts back to a value with the same
// text for every digit count up to 15 (a value rounded past the largest one excepted); the first byte
// chooses the locale and the digit count.
#include <cmath>
#include <cstdint>

#include "controls/editors/uiCalc.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  TFormatSettings format = InvariantFormatSettings();
  if (Data[0] & 1) {
    format.DecimalSeparator = ',';
    format.ThousandSeparator = '.';
  }
  const Byte digits = static_cast<Byte>((Data[0] >> 1) % 21);
  const String text(reinterpret_cast<const char*>(Data + 1), Size - 1);

  Extended value = 1;
  if (!k58::editors::CalculatorTextToValue(text, value, format)) {
    K58_FUZZ_CHECK(value == 0);
    return 0;
  }
  K58_FUZZ_CHECK(std::isfinite(value));
  const String shown = k58::editors::CalculatorValueToText(value, digits, format);
  Extended again = 0;
  if (!k58::editors::CalculatorTextToValue(shown, again, format)) {
    // Only rounding to fewer digits may carry a value next to the largest one past it.
    K58_FUZZ_CHECK(std::fabs(value) > 1e4931L);
    return 0;
  }
  // Texts of more digits than a Double's 15 may carry a value the float formatting shows by its shortest
  // Double digits, which read back as another Extended; the editors' calculators show at most 15.
  if (digits <= 15) K58_FUZZ_CHECK(k58::editors::CalculatorValueToText(again, digits, format) == shown);
  return 0;
}
