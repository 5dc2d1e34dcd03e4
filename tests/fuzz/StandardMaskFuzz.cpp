// Fuzz target of the standard edit mask: a mask, then a value. Setting a mask never fails; the text made of
// a value has one character per position, each the position's literal, its blank or a character it takes;
// the value extracted from it has a character per position kept; validity can be asked of any text. The
// first byte chooses case conversion (bit 0); the mask runs to the first zero byte, the value is the rest.
#include <cstdint>

#include "controls/editors/uiStandardMask.h"
#include "platform/forms/Mask.h"
#include "platform/rtl/Strings.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  const bool convertCase = Data[0] & 1;
  size_t end = 1;
  while (end < Size && Data[end] != 0) ++end;
  TuiStandardMask mask;
  mask.SetMask(String(reinterpret_cast<const char*>(Data) + 1, end - 1));
  const String value = end < Size ? String(reinterpret_cast<const char*>(Data) + end + 1, Size - end - 1) : String();

  const Integer count = mask.Count();
  Integer classes = 0;
  for (Integer i = 0; i < count; ++i)
    if (dynamic_cast<const TuiStandardMaskManyItem*>(mask.Items(i)) != nullptr) ++classes;
  K58_FUZZ_CHECK(Utf8Length(mask.EmptyText()) == count);
  K58_FUZZ_CHECK(Utf8Length(mask.EmptyValue()) == (mask.SaveLiterals() ? count : classes));

  String text = value;
  mask.ApplyToText(text, convertCase);
  const std::vector<String> chars = k58::forms::SplitChars(text);
  K58_FUZZ_CHECK(static_cast<Integer>(chars.size()) == count);
  for (Integer i = 0; i < count; ++i) {
    const TuiStandardMaskCustomItem* item = mask.Items(i);
    String ch = chars[static_cast<size_t>(i)];
    if (const auto* literal = dynamic_cast<const TuiStandardMaskLiteralItem*>(item)) {
      K58_FUZZ_CHECK(ch == literal->Char());
    } else if (ch != mask.BlankChar()) {
      String converted = ch;
      K58_FUZZ_CHECK(item->Accepts(converted));
      if (convertCase) K58_FUZZ_CHECK(converted == ch);
    }
  }

  String extracted = text;
  mask.ExtractValue(extracted);
  K58_FUZZ_CHECK(Utf8Length(extracted) == (mask.SaveLiterals() ? count : classes));
  String checked = text;
  if (mask.IsTextValid(checked)) K58_FUZZ_CHECK(Utf8Length(checked) == count);
  String raw = value;
  mask.IsTextValid(raw);
  return 0;
}
