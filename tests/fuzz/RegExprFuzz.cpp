// Fuzz target of the regular-expression engine: a pattern is compiled, then a text is typed and stepped
// back through it. Compiling either succeeds or lists errors; while typing, the engine's positions are the
// characters shown, each position holds every state once, and the text shown is taken again by a fresh
// engine with the same result. The first byte chooses case-insensitive matching (bit 0) and auto-completion
// (bit 1); the pattern runs to the first zero byte; after it each byte 0x7F steps back, 0x01 restarts, and
// anything else types the UTF-8 character that starts there.
#include <cstdint>
#include <vector>

#include "controls/editors/uiRegExpr.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Strings.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

String Joined(const std::vector<char32_t>& AChars) {
  String text;
  for (char32_t ch : AChars) text += CodePointToUtf8(static_cast<uint32_t>(ch));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  const bool caseInsensitive = Data[0] & 1, autoComplete = Data[0] & 2;
  size_t end = 1;
  while (end < Size && Data[end] != 0) ++end;
  const String pattern(reinterpret_cast<const char*>(Data) + 1, end - 1);

  TuiRegExpr engine;
  std::vector<char32_t> shown;
  engine.SetOnAppendChar([&](char32_t ch) { shown.push_back(ch); });
  engine.SetOnDeleteLastChar([&] {
    K58_FUZZ_CHECK(!shown.empty());
    shown.pop_back();
  });
  engine.SetCaseInsensitive(caseInsensitive);
  engine.SetAutoComplete(autoComplete);
  TStringStream source(pattern);
  try {
    engine.Compile(&source);
  } catch (const EuiRegExprError& e) {
    K58_FUZZ_CHECK(!engine.IsCompiled());
    K58_FUZZ_CHECK(e.Errors().Count() > 0);
    for (Integer i = 0; i < e.Errors().Count(); ++i) K58_FUZZ_CHECK(!e.Errors().Items(i).Text().empty());
    return 0;
  }
  const TuiRegExprAutomat& automat = *engine.Automat();
  const auto check = [&] {
    K58_FUZZ_CHECK(automat.PositionCount() == static_cast<Integer>(shown.size()) + 1);
    K58_FUZZ_CHECK(automat.CurrentCount() >= 1 && automat.CurrentCount() <= automat.StateCount());
    K58_FUZZ_CHECK(engine.IsAtStart() == shown.empty());
  };
  check();

  // Large automatons get a short text, so that one input stays well within a second.
  size_t steps = automat.StateCount() > 1000 ? 32 : 1024;
  for (size_t at = end + 1; at < Size && steps > 0; --steps) {
    if (Data[at] == 0x7F) {
      ++at;
      if (engine.StepBack()) {
        K58_FUZZ_CHECK(!shown.empty());
        shown.pop_back();
      }
    } else if (Data[at] == 0x01) {
      ++at;
      engine.Restart();
      shown.clear();
    } else {
      const char* p = reinterpret_cast<const char*>(Data) + at;
      const Integer length = StrCharLength(p, reinterpret_cast<const char*>(Data) + Size);
      String ch(p, static_cast<size_t>(length));
      at += static_cast<size_t>(length);
      const size_t before = shown.size();
      const Integer positions = automat.PositionCount();
      if (engine.Advance(ch)) {
        // The character taken (as handed back) goes before those the engine completed after it.
        const WideString wide = Utf8ToWide(ch);
        K58_FUZZ_CHECK(!wide.empty());
        const char32_t code =
            wide.size() == 2 ? 0x10000 + ((char32_t{wide[0]} - 0xD800) << 10) + (char32_t{wide[1]} - 0xDC00) : wide[0];
        shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(before), code);
      } else {
        K58_FUZZ_CHECK(shown.size() == before && automat.PositionCount() == positions);
      }
    }
    check();
  }

  // A fresh engine takes the text shown, every character of it, and ends as complete as this one; with
  // case-insensitive matching a character handed back in the pattern's case may take other paths.
  if (!caseInsensitive) {
    TuiRegExpr fresh;
    TStringStream again(pattern);
    fresh.Compile(&again);
    String taken;
    const String text = Joined(shown);
    fresh.FilterText(text, taken);
    K58_FUZZ_CHECK(taken == text);
    K58_FUZZ_CHECK(fresh.IsFinal() == engine.IsFinal());
  }
  return 0;
}
