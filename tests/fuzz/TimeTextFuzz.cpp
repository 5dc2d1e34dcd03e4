// Fuzz target of the time editor's texts. The first byte chooses the locale (decimal and time separators,
// designators: AM/PM, none, "a.m."/"p.m.", "vorm."/"nachm.", Chinese), the time format and the hour
// form; the next two the starting time. The rest are keys on a model of the editor: a byte below 0x80 is
// a character typed at the caret through the entry rules, a higher one moves the caret and steps the part
// under it with a spin button, circular or not. Every text read gives seconds within the day, and every
// stepped value formats to a text that reads back as itself.
#include <cstdint>
#include <vector>

#include "controls/editors/uiTimeEdit.h"
#include "platform/forms/Mask.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace k58::editors;

namespace {

struct Designators {
  const char* Am;
  const char* Pm;
};
constexpr Designators FuzzDesignators[] = {
    {"AM", "PM"}, {"", ""}, {"a.m.", "p.m."}, {"vorm.", "nachm."}, {"上午", "下午"}};

String DisplayOf(TuiTimeEditTimeFormat AFormat, bool AUse24, Integer ASeconds) {
  const char* format = TimeFormatTable[static_cast<size_t>(AFormat)][AUse24 ? 1 : 0].DisplayFormat;
  return TrimRight(FormatDateTime(format, ASeconds / 86400.0, TimeEditFormatSettings()));
}

bool IsLiteralAt(const String& /*AText*/, Integer APosition, Integer ADigits) {
  if (APosition > ADigits) return false;
  return APosition % 3 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 3) return 0;
  TFormatSettings format = InvariantFormatSettings();
  if (Data[0] & 1) {
    format.DecimalSeparator = ',';
    format.ThousandSeparator = '.';
    format.TimeSeparator = '.';
  }
  const Designators& d = FuzzDesignators[(Data[0] >> 1) % 5];
  format.TimeAMString = d.Am;
  format.TimePMString = d.Pm;
  TFormatSettingsGuard guard(format);
  RebuildTwelveHourMasks();
  const auto timeFormat = static_cast<TuiTimeEditTimeFormat>((Data[0] >> 4) % 3);
  const bool use24 = (Data[0] & 0x40) != 0;
  const bool circular = (Data[0] & 0x80) != 0;
  const Integer digits = 8 - 3 * static_cast<Integer>(timeFormat);

  Integer seconds = (Data[1] << 8 | Data[2]) % 86400;
  // Only the parts the format shows survive a round trip.
  if (timeFormat != tfHourMinSec) seconds -= seconds % 60;
  if (timeFormat == tfHour) seconds -= seconds % 3600;
  String text = DisplayOf(timeFormat, use24, seconds);
  Integer read = -1;
  K58_FUZZ_CHECK(TimeTextToSeconds(text, timeFormat, use24, read) && read == seconds);

  Integer caret = 1;
  for (size_t i = 3; i < Size; ++i) {
    const uint8_t b = Data[i];
    const Integer length = static_cast<Integer>(k58::forms::SplitChars(text).size());
    if (b < 0x80) {
      while (caret <= length && IsLiteralAt(text, caret, digits)) ++caret;
      if (caret > length) caret = 1;
      TuiTimePart part;
      part.Kind = TimePartAt(caret, timeFormat, use24);
      part.Start = TimePartStart(part.Kind, timeFormat);
      part.Use24Hour = use24;
      TuiTimeCharResult r = ProcessTimePartChar(text, caret, String(1, static_cast<char>(b)), part);
      for (int round = 0; round < 2 && r.Accepted; ++round) {
        if (!r.Rewritten) {
          std::vector<String> chars = k58::forms::SplitChars(text);
          K58_FUZZ_CHECK(caret >= 1 && caret <= static_cast<Integer>(chars.size()));
          chars[static_cast<size_t>(caret - 1)] = r.Key;
          text.clear();
          for (const String& c : chars) text += c;
          ++caret;
          break;
        }
        text = r.Text;
        caret = r.Caret;
        if (r.Key.empty()) break;
        // A key passed on lands in range at its new place, without another rewrite.
        part.Kind = TimePartAt(caret, timeFormat, use24);
        part.Start = TimePartStart(part.Kind, timeFormat);
        r = ProcessTimePartChar(text, caret, r.Key, part);
        K58_FUZZ_CHECK(r.Accepted && !r.Rewritten);
      }
    } else {
      caret = 1 + ((b >> 2) & 15) % (length + 1);
      Integer current = 0;
      if (!TimeTextToSeconds(text, timeFormat, use24, current)) current = 0;
      const Integer step = TimeSpinIncrement(TimePartAt(caret, timeFormat, use24), b & 3, current, circular);
      const Integer next = current + step;
      if (circular) K58_FUZZ_CHECK(next >= 0 && next < 86400);
      if (next < 0 || next >= 86400) continue;
      text = DisplayOf(timeFormat, use24, next);
      K58_FUZZ_CHECK(TimeTextToSeconds(text, timeFormat, use24, read) && read == next);
    }
    if (TimeTextToSeconds(text, timeFormat, use24, read)) K58_FUZZ_CHECK(read >= 0 && read < 86400);
  }
  return 0;
}
