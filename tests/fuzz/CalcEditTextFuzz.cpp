// Fuzz target of the calculator editor's text conversions. The first byte chooses the locale ("." or ","
// decimals, bit 0), exponent form (bit 1), thousand separators (bit 2) and the precision (bits 3-7, read
// as the editor reads it: at most 15); the rest is the text. A text reads as Null or a finite Double; a
// text the typing filter accepts reads as a number; the text shown for a value reads back as a value that
// shows as the same text, and an exponent text shows with its mantissa trimmed.
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "controls/editors/uiCalcEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  using namespace k58::editors;
  if (Size < 1) return 0;
  TFormatSettingsGuard guard;
  const bool comma = Data[0] & 1;
  FormatSettings.DecimalSeparator = comma ? ',' : '.';
  FormatSettings.ThousandSeparator = comma ? '.' : ',';
  const bool scientific = (Data[0] & 2) != 0;
  const bool thousands = (Data[0] & 4) != 0 && !scientific;
  const Integer precision = std::min<Integer>(Data[0] >> 3, CalcEditMaxPrecision);
  const String text(reinterpret_cast<const char*>(Data) + 1, Size - 1);

  Variant value;
  if (CalcEditTextToValue(text, thousands, value)) {
    K58_FUZZ_CHECK(VarIsNull(value) || std::isfinite(value.AsDouble()));
  } else {
    K58_FUZZ_CHECK(VarIsNull(value));
  }

  if (IsCalcEditFloatText(text)) {
    Variant typed;
    K58_FUZZ_CHECK(CalcEditTextToValue(text, true, typed) && !VarIsNull(typed));
  }

  if (VarIsNull(value)) return 0;
  const double number = value.AsDouble();
  const String shown = CalcEditValueToText(number, precision, scientific, thousands);
  Variant read;
  K58_FUZZ_CHECK(CalcEditTextToValue(shown, thousands, read) && !VarIsNull(read));
  K58_FUZZ_CHECK(CalcEditValueToText(read.AsDouble(), precision, scientific, thousands) == shown);
  if (scientific) {
    // Exponent texts come trimmed already.
    String trimmed = shown;
    TrimExponentMantissa(trimmed);
    K58_FUZZ_CHECK(trimmed == shown);
  }
  return 0;
}
