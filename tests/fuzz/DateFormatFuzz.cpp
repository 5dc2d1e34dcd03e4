// Fuzz target of the format controller's format analysis. The input is up to five texts separated by nul
// bytes: the format to analyse, then the short date, long time, long date and short time formats the
// analysis expands (the invariant ones where missing). A controller is made under those settings (so
// every mask and display format is built from them); the analysed items keep their rules and the items
// FindDateTimeFormatItem answers tile the format's text.
#include <cstdint>
#include <vector>

#include "controls/foundation/uiFormats.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::vector<String> parts(1);
  for (size_t i = 0; i < Size; ++i) {
    if (Data[i] == 0 && parts.size() < 5) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(Data[i]);
    }
  }
  TFormatSettings fs = InvariantFormatSettings();
  String* targets[] = {&fs.ShortDateFormat, &fs.LongTimeFormat, &fs.LongDateFormat, &fs.ShortTimeFormat};
  for (size_t i = 1; i < parts.size(); ++i) *targets[i - 1] = parts[i];
  TFormatSettingsGuard pinned(fs);

  TuiFormatController controller;
  TuiDateTimeFormatInfo info;
  controller.AnalyseDateTimeFormat(parts[0], info);

  std::vector<int> kinds(DateTimeFormatItemKindCount, 0);
  for (const TuiDateTimeFormatItem& item : info.Items) {
    K58_FUZZ_CHECK(item.Kind < DateTimeFormatItemKindCount);
    K58_FUZZ_CHECK(info.SeenKinds[item.Kind]);
    if (item.Kind != dfkLiteral && item.Kind != dfkDateSeparator && item.Kind != dfkTimeSeparator)
      K58_FUZZ_CHECK(++kinds[item.Kind] == 1);
  }
  K58_FUZZ_CHECK(!info.SeenKinds[dfkAMPM] || info.SeenKinds[dfkHour]);

  const Integer length = controller.GetDateTimeFormatTextLength(info);
  // The items tile the text: the item found at a position starts there, and its last position finds it
  // again. (Asking every position instead costs a walk over the items each, quadratic in the format.)
  TuiFormatItemSpan span, last;
  for (Integer pos = 1; pos <= length; pos = span.Start + span.Length) {
    K58_FUZZ_CHECK(controller.FindDateTimeFormatItem(info, pos, span));
    K58_FUZZ_CHECK(span.Start == pos && span.Length >= 1);
    K58_FUZZ_CHECK(controller.FindDateTimeFormatItem(info, pos + span.Length - 1, last));
    K58_FUZZ_CHECK(last.Start == span.Start && last.Length == span.Length && last.Kind == span.Kind);
  }
  K58_FUZZ_CHECK(!controller.FindDateTimeFormatItem(info, length + 1, span));
  K58_FUZZ_CHECK(!controller.FindDateTimeFormatItem(info, 0, span));
  return 0;
}
