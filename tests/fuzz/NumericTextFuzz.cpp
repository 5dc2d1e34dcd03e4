// Fuzz target of the numeric texts of the spin and currency editors and of the text editor's thousand
// separators: the first byte chooses the locale ("." or "," decimals, bit 0) and the spin editor's value type
// (bit 1), the rest is the text. Every text a reading accepts gives a finite number inside its type's range,
// and grouping the digits of a text keeps the number it reads as.
#include <cmath>
#include <cstdint>

#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  TFormatSettingsGuard guard;
  const bool comma = Data[0] & 1;
  FormatSettings.DecimalSeparator = comma ? ',' : '.';
  FormatSettings.ThousandSeparator = comma ? '.' : ',';
  const String text(reinterpret_cast<const char*>(Data) + 1, Size - 1);

  TObjectPtr<TuiSpinEditProperties> properties(static_cast<TuiSpinEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiSpinEditProperties::StaticClass(), nullptr)));
  properties->SetValueType((Data[0] & 2) != 0 ? vtInt : vtFloat);
  Variant value;
  if (properties->TextToValue(text, value)) {
    if (properties->ValueType() == vtFloat) {
      const double v = value.AsDouble();
      K58_FUZZ_CHECK(std::isfinite(v) && v >= -1.7e308 && v <= 1.7e308);
    } else {
      K58_FUZZ_CHECK(VarType(value) == varInt64);
    }
  }

  double amount = 1;
  if (TuiCustomCurrencyEditProperties::TextToCurrencyValue(text, amount))
    K58_FUZZ_CHECK(std::isfinite(amount) && std::fabs(amount) <= 1.7e308);
  else
    K58_FUZZ_CHECK(amount == 0);

  const bool numeric = IsNumericText(text);
  String grouped = text;
  InsertThousandSeparators(grouped);
  String stripped = grouped;
  RemoveThousandSeparators(stripped);
  String original = text;
  RemoveThousandSeparators(original);
  // Grouping adds separators only: without them the text is what it was.
  K58_FUZZ_CHECK(stripped == original);
  K58_FUZZ_CHECK(IsNumericText(grouped) == numeric);
  return 0;
}
