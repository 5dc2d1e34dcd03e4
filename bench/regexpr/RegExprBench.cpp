// The regular-expression engine of the masked editors beside PCRE2 and std::regex, on mask patterns
// times 64-character texts: compiling, validating a whole text (an anchored full match) and one
// keystroke after a 32-character prefix (the engine: Advance from the position after the prefix and the
// StepBack that undoes it; PCRE2: a hard partial re-match of the prefix and the new character; std::regex,
// which has no partial matching: a full re-match of them). PCRE2's interpreter is the reference; its JIT is printed for
// information. Then the memory the engine holds after 10,000 characters of ambiguous patterns.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "controls/editors/uiRegExpr.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace {

struct Row {
  const char* Name;
  const char* Ours;
  const char* Pcre;
  const char* Std;   // ECMAScript; a back-reference written out
  std::string Text;  // 64 characters the pattern takes as a whole
};

std::string Times(const std::string& AText, int ACount) {
  std::string text;
  for (int i = 0; i < ACount; ++i) text += AText;
  return text;
}

// Nanoseconds per call: the best of five rounds of enough calls for about 20 ms each.
double NanosPerCall(const std::function<void()>& ACall) {
  using Clock = std::chrono::steady_clock;
  long calls = 1;
  while (true) {
    const auto start = Clock::now();
    for (long i = 0; i < calls; ++i) ACall();
    if (Clock::now() - start > std::chrono::milliseconds(20)) break;
    calls *= 2;
  }
  double best = 1e300;
  for (int round = 0; round < 5; ++round) {
    const auto start = Clock::now();
    for (long i = 0; i < calls; ++i) ACall();
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(calls));
  }
  return best;
}

void Compile(TuiRegExpr& AEngine, const char* APattern) {
  TStringStream stream(APattern);
  AEngine.Compile(&stream);
}

pcre2_code* PcreCompile(const std::string& APattern, bool AJit) {
  int error;
  PCRE2_SIZE offset;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(APattern.data()), APattern.size(), 0, &error, &offset, nullptr);
  if (code == nullptr) {
    std::fprintf(stderr, "PCRE2 refuses %s\n", APattern.c_str());
    std::exit(1);
  }
  if (AJit) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE | PCRE2_JIT_PARTIAL_HARD);
  return code;
}

volatile int sink;

void Measure(const Row& ARow) {
  if (Utf8Length(ARow.Text) != 64) {
    std::fprintf(stderr, "%s: the text has %d characters\n", ARow.Name, Utf8Length(ARow.Text));
    std::exit(1);
  }
  TuiRegExpr engine;
  Compile(engine, ARow.Ours);
  // The whole pattern, ending at the end of the subject (partial matching takes no end-anchored option).
  const std::string whole = std::string("(?:") + ARow.Pcre + ")\\z";
  pcre2_code* interp = PcreCompile(whole, false);
  pcre2_code* jit = PcreCompile(whole, true);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(interp, nullptr);
  const std::regex stdRegex(ARow.Std);
  const auto subject = reinterpret_cast<PCRE2_SPTR>(ARow.Text.data());
  const size_t size = ARow.Text.size();
  const size_t prefix = static_cast<size_t>(Utf8BytePos(ARow.Text, 33) - 1);
  const size_t keyLength = static_cast<size_t>(CharLength(ARow.Text, static_cast<Integer>(prefix) + 1));

  // Every run must agree before anything is timed.
  String taken;
  taken.reserve(size);
  const auto validate = [&] {
    engine.Restart();
    engine.FilterText(ARow.Text, taken);
    return taken.size() == size && engine.IsFinal();
  };
  const bool ours = validate();
  const bool pcre = pcre2_match(interp, subject, size, 0, PCRE2_ANCHORED, data, nullptr) >= 0;
  const bool pcreJit = pcre2_match(jit, subject, size, 0, PCRE2_ANCHORED, data, nullptr) >= 0;
  const bool stdMatch = std::regex_match(ARow.Text, stdRegex);
  if (!ours || !pcre || !pcreJit || !stdMatch) {
    std::fprintf(stderr, "%s: not every engine takes the text (engine %d, PCRE2 %d, JIT %d, std::regex %d)\n", ARow.Name,
                 ours, pcre, pcreJit, stdMatch);
    std::exit(1);
  }

  const double compileOurs = NanosPerCall([&] {
    TuiRegExpr e;
    Compile(e, ARow.Ours);
  });
  const double compilePcre = NanosPerCall([&] { pcre2_code_free(PcreCompile(whole, false)); });
  const double compileJit = NanosPerCall([&] { pcre2_code_free(PcreCompile(whole, true)); });
  const double compileStd = NanosPerCall([&] { std::regex r(ARow.Std); });

  const double validOurs = NanosPerCall([&] { sink = validate(); });
  // The first text a freshly compiled engine sees: no step remembered yet. The engines are compiled
  // beforehand, so only their first text is timed.
  double firstOurs = 1e300;
  for (int round = 0; round < 5; ++round) {
    std::vector<std::unique_ptr<TuiRegExpr>> fresh(64);
    for (auto& e : fresh) {
      e = std::make_unique<TuiRegExpr>();
      Compile(*e, ARow.Ours);
    }
    String t;
    const auto start = std::chrono::steady_clock::now();
    for (auto& e : fresh) {
      e->FilterText(ARow.Text, t);
      sink = e->IsFinal();
    }
    const double elapsed = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    firstOurs = std::min(firstOurs, elapsed / static_cast<double>(fresh.size()));
  }
  const double validPcre = NanosPerCall([&] { sink = pcre2_match(interp, subject, size, 0, PCRE2_ANCHORED, data, nullptr); });
  const double validJit = NanosPerCall([&] { sink = pcre2_match(jit, subject, size, 0, PCRE2_ANCHORED, data, nullptr); });
  const double validStd = NanosPerCall([&] { sink = std::regex_match(ARow.Text, stdRegex); });

  // The engine stands after the prefix; a keystroke is timed as an Advance with the StepBack that takes
  // it back again.
  engine.Restart();
  String rest;
  engine.FilterText(ARow.Text.substr(0, prefix), rest);
  const String key = ARow.Text.substr(prefix, keyLength);
  const double keyOurs = NanosPerCall([&] {
    String ch = key;
    sink = engine.Advance(ch);
    engine.StepBack();
  });
  // A character the engine has not met at this position (none beyond ASCII is remembered): the whole
  // step is worked out, and refused.
  const double keyNew = NanosPerCall([&] {
    String ch = "\xC3\xA9";
    sink = engine.Advance(ch);
  });
  const auto keySubject = size_t{prefix + keyLength};
  const double keyPcre = NanosPerCall(
      [&] { sink = pcre2_match(interp, subject, keySubject, 0, PCRE2_ANCHORED | PCRE2_PARTIAL_HARD, data, nullptr); });
  const double keyJit = NanosPerCall(
      [&] { sink = pcre2_match(jit, subject, keySubject, 0, PCRE2_ANCHORED | PCRE2_PARTIAL_HARD, data, nullptr); });
  const double keyStd = NanosPerCall(
      [&] { sink = std::regex_match(ARow.Text.begin(), ARow.Text.begin() + static_cast<std::ptrdiff_t>(keySubject), stdRegex); });

  std::printf("%-18s %8.0f %6.0f %6.0f %7.0f | %5.0f %6.0f %5.0f %5.0f %5.0f  x%.2f | %4.0f %5.0f %5.0f %5.0f %5.0f\n",
              ARow.Name, compileOurs, compilePcre, compileJit, compileStd, validOurs, firstOurs, validPcre, validJit,
              validStd, validOurs / validPcre, keyOurs, keyNew, keyPcre, keyJit, keyStd);
  pcre2_match_data_free(data);
  pcre2_code_free(interp);
  pcre2_code_free(jit);
}

void Memory(const char* APattern, const char* AChars) {
  TuiRegExpr engine;
  Compile(engine, APattern);
  const std::string chars = AChars;
  Integer largest = 0;
  const auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < 10000; ++i) {
    char32_t ch = static_cast<unsigned char>(chars[i % chars.size()]);
    engine.Advance(ch);
    largest = std::max(largest, engine.Automat()->CurrentCount());
  }
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-14s %6d states, at most %d at a position, %6d positions, %8zu bytes held, %.3f us per character\n",
              APattern, engine.Automat()->StateCount(), largest, engine.Automat()->PositionCount(),
              engine.Automat()->HeldBytes(), us / 10000);
}

}  // namespace

int main() {
  FormatSettings.DateSeparator = '/';
  const Row rows[] = {
      {"phone (quotes)", "('(' \\d{3} ') ' \\d{3} - \\d{4} (', ')?)+", "(?:\\(\\d{3}\\) \\d{3}-\\d{4}(?:, )?)+",
       "(?:\\(\\d{3}\\) \\d{3}-\\d{4}(?:, )?)+", Times("(555) 123-4567, ", 4)},
      {"date (/)", "(\\d\\d? / \\d\\d? / \\d{4} ' '?)+", "(?:\\d\\d?/\\d\\d?/\\d{4} ?)+", "(?:\\d\\d?/\\d\\d?/\\d{4} ?)+",
       Times("12/25/2024 ", 5) + "1/2/2024 "},
      {"\\d+ ('.' \\d\\d)?", "\\d+ ('.' \\d\\d)?", "\\d+(?:\\.\\d\\d)?", "\\d+(?:\\.\\d\\d)?", Times("1234567890", 6) + "1.25"},
      {"counted", "[A-Z]{2,4} \\d{10,60}", "[A-Z]{2,4}\\d{10,60}", "[A-Z]{2,4}\\d{10,60}", "ABCD" + Times("0123456789", 6)},
      {"alternation", "(red|green|blue|yellow|black|white)+", "(?:red|green|blue|yellow|black|white)+",
       "(?:red|green|blue|yellow|black|white)+", Times("redgreenblueyellowblackwhite", 2) + "greenred"},
      {"back-reference", "(\\w\\w\\w ':') \\1+", "(\\w\\w\\w:)(?1)+", "(\\w\\w\\w:)(?:\\w\\w\\w:)+", Times("ab1:", 16)},
  };
  std::printf(
      "regexpr_bench: nanoseconds per call. compile: engine, PCRE2 interpreter, PCRE2 JIT, std::regex. validate\n"
      "64 characters: engine, engine on its first text, PCRE2 interpreter, JIT, std::regex; x = engine / PCRE2\n"
      "interpreter (target 3). key, one keystroke after 32 characters (target under 5000): engine, engine with a\n"
      "character new at that position, PCRE2 interpreter and JIT (partial), std::regex (full re-match).\n");
  std::printf("%-18s %-30s | %-42s | %s\n", "", "compile", "validate", "key");
  for (const Row& row : rows) Measure(row);
  std::printf("\nambiguous patterns over 10,000 characters:\n");
  Memory("(\\d|\\w)*", "7a");
  Memory("(a|a)*", "a");
  Memory("\\d*\\d*\\d*", "7");
  return 0;
}
