// Fuzz target of the date editor's text conversions on a fixed clock: under a year-first, a day-first and
// a month-first locale date format, with free text, the standard mask and the regular-expression mask, in
// both kinds, any text gives no date (Null) or a date from 1 January 100 to 31 December 9999, whose
// display text is made without raising; the validation of the text never raises either. The first byte
// chooses the locale, the input kind and the kind.
#include <cmath>
#include <cstdint>

#include "controls/editors/uiDateEdit.h"
#include "platform/rtl/SysUtils.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

struct TLocaleDate {
  const char* Format;
  char Separator;
};
constexpr TLocaleDate Locales[] = {{"yyyy/mm/dd", '-'}, {"dd/mm/yyyy", '.'}, {"m/d/yy", '/'}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool started = [] {
    SetNowProvider([] { return 45336.5; });  // Wednesday 2024-02-14, noon
    return true;
  }();
  (void)started;
  if (Size == 0) return 0;
  const TLocaleDate& locale = Locales[(Data[0] & 3) % 3];
  FormatSettings.ShortDateFormat = locale.Format;
  FormatSettings.DateSeparator = locale.Separator;
  GetFormatController()->Refresh();

  TObjectPtr<TuiDateEditProperties> properties(static_cast<TuiDateEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiDateEditProperties::StaticClass(), nullptr)));
  properties->SetKind((Data[0] & 4) != 0 ? ckDateTime : ckDate);
  properties->SetInputKind(static_cast<TuiInputKind>(((Data[0] >> 3) & 3) % 3));
  properties->SetDateOnError((Data[0] & 32) != 0 ? deNull : deNoChange);
  const String text(reinterpret_cast<const char*>(Data + 1), Size - 1);

  const Variant value = properties->TextToDateEx(text);
  if (!VarIsNull(value)) {
    const TDateTime date = value.AsDouble();
    K58_FUZZ_CHECK(std::isfinite(date) && IsDateInRange(date));
    for (const bool focused : {false, true}) {
      Variant display;
      properties->PrepareDisplayValue(value, display, focused);
    }
  }
  Variant display(text);
  String errorText;
  bool error = false;
  properties->ValidateDisplayValue(display, errorText, error, nullptr);
  if (!error && !VarIsNull(display)) K58_FUZZ_CHECK(IsDateInRange(display.AsDouble()));
  return 0;
}
