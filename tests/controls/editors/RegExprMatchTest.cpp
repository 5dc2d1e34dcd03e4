// Running regular-expression masks: what each construct takes and when a text is complete, case-
// insensitive literals, the locale's separators, auto-completion and its take-back, stepping back and
// restarting, and state sets that stay small on ambiguous patterns.
#include <gtest/gtest.h>

#include "controls/editors/uiRegExpr.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/controls/editors/EditorsTesting.h"

namespace editors_test {
namespace {

struct MatchCase {
  const char* Pattern;
  const char* Text;
  Integer Taken;  // characters taken before the first refused one
  bool Final;     // whether the text taken so far is complete
};

void CheckMatches(const std::vector<MatchCase>& ACases, bool ACaseInsensitive = false) {
  for (const MatchCase& c : ACases) {
    SCOPED_TRACE(String(c.Pattern) + " <- " + c.Text);
    TuiRegExpr engine;
    engine.SetCaseInsensitive(ACaseInsensitive);
    Compile(engine, c.Pattern);
    EXPECT_EQ(Feed(engine, c.Text), c.Taken);
    EXPECT_EQ(engine.IsFinal(), c.Final);
  }
}

TEST(RegExprMatch, Constructs) {
  CheckMatches({
      {"'(' \\d{3} ')' \\d{3} - \\d{4}", "(123)456-7890", 13, true},
      {"'(' \\d{3} ')' \\d{3} - \\d{4}", "(123)45x", 7, false},
      {"a|b", "a", 1, true},
      {"a|b", "b", 1, true},
      {"a|b", "c", 0, false},
      {"ab?", "a", 1, true},
      {"ab?", "abb", 2, true},
      {"[^0-9]", "x", 1, true},
      {"[^0-9]", "5", 0, false},
      {"[a-]", "-", 1, true},
      {"[-a]", "-", 1, true},
      {"[a-cx-z]+", "bycz", 4, true},
      {"[.]", "x", 0, false},
      {"[.]", ".", 1, true},
      {"[\\d_]+", "1_2", 3, true},
      {"[^\\d]", "7", 0, false},
      {"\\d{2,4}", "1", 1, false},
      {"\\d{2,4}", "12", 2, true},
      {"\\d{2,4}", "123", 3, true},
      {"\\d{2,4}", "12345", 4, true},
      {"a{2,}", "a", 1, false},
      {"a{2,}", "aaaaa", 5, true},
      {"a{3}", "aaaa", 3, true},
      {"(ab)\\1", "abab", 4, true},
      // A back-reference repeats the sub-pattern, not the text it matched.
      {"(a|b)\\1", "ab", 2, true},
      // ... with its quantifier, and a block replaced by a count as the counted item.
      {"(ab)+\\1", "ababab", 6, true},
      {"(ab){2}\\1", "ababab", 6, false},
      {"(ab){2}\\1", "abababab", 8, true},
      {"((a)b){2}\\2", "ababa", 5, true},
      // A count from zero may be left out, also at the end of the pattern.
      {"ab{0,2}", "a", 1, true},
      {"ab{0,2}", "abbb", 3, true},
      {"ab{0,}", "a", 1, true},
      {"\\d{0,3}", "", 0, true},
      {"a{0}b", "b", 1, true},
      // A block without a quantifier counts as present even when its contents may be empty.
      {"x(a?)", "x", 1, false},
      {"x(a?)", "xa", 2, true},
      {"(a?){2}", "", 0, false},
      {"(a?){2}", "a", 1, true},
      // A second quantifier applies to the quantified item.
      {"a+?", "", 0, true},
      {"a+?", "aaa", 3, true},
      {"(a?){2,}", "aaaa", 4, true},
      {"(a?){0,}", "aaa", 3, true},
      // White space is ignored outside quotes, also in sets and counts.
      {"a b [ c d ] { 2 }", "abcd", 4, true},
      {"' '", " ", 1, true},
      {"'it''s'", "it's", 4, true},
      {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1B", 6, true},
      {"\\x41\\0\\\\\\.", "A0\\.", 4, true},
      {"\\.", "x", 0, false},
      {"\\s", "\t", 1, true},
      {"\\s", "\v", 0, false},
      {"\\S\\W\\D", "a-x", 3, true},
      {"\\w", "\xC3\xA9", 0, false},
      {".+", "a\n\xE4\xB8\xAD", 3, true},
      {"[\xD0\xB0-\xD1\x8F]+", "\xD0\xBF\xD1\x80\xD0\xB8", 3, true},
      {".{2}", "\xE4\xB8\xAD\xE6\x96\x87", 2, true},
  });
}

TEST(RegExprMatch, CaseInsensitiveLiteralsOnly) {
  CheckMatches({
      {"a", "A", 1, true},
      {"[ab]", "B", 1, true},
      {"[^a]", "A", 0, false},
      {"[a-z]", "A", 0, false},
      {"\xC3\xA9", "\xC3\x89", 1, true},
  }, true);
  CheckMatches({{"a", "A", 0, false}});

  // A literal hands back its own character; other tests keep the typed one.
  TuiRegExpr engine;
  engine.SetCaseInsensitive(true);
  Compile(engine, "a[bc]\\w");
  String ch = "A";
  EXPECT_TRUE(engine.Advance(ch));
  EXPECT_EQ(ch, "a");
  ch = "C";
  EXPECT_TRUE(engine.Advance(ch));
  EXPECT_EQ(ch, "c");
  ch = "Q";
  EXPECT_TRUE(engine.Advance(ch));
  EXPECT_EQ(ch, "Q");
  // FilterText keeps the text's own case.
  String result;
  engine.Restart();
  engine.FilterText("AxCq", result);
  EXPECT_EQ(result, "ACq");
}

TEST(RegExprMatch, SeparatorsAreReadWhenMatchingTheDecimalSeparatorWhenCompiling) {
  TFormatSettings settings = InvariantFormatSettings();
  settings.DecimalSeparator = ',';
  settings.DateSeparator = '.';
  TFormatSettingsGuard guard(settings);
  TuiRegExpr engine;
  Compile(engine, "\\d / \\d [:] \\d \\p \\d");
  FormatSettings.DecimalSeparator = '.';
  EXPECT_EQ(Feed(engine, "1.2:3,4"), 7);
  EXPECT_TRUE(engine.IsFinal());
  engine.Restart();
  FormatSettings.DateSeparator = '/';
  FormatSettings.TimeSeparator = '-';
  EXPECT_EQ(Feed(engine, "1.2"), 1);
  engine.Restart();
  EXPECT_EQ(Feed(engine, "1/2-3,4"), 7);
}

TEST(RegExprMatch, AutoCompletionInsertsAndTakesBackForcedLiterals) {
  TuiRegExpr engine;
  String inserted;
  int deleted = 0;
  engine.SetOnAppendChar([&](char32_t ch) { inserted += CodePointToUtf8(ch); });
  engine.SetOnDeleteLastChar([&] { ++deleted; });
  engine.SetAutoComplete(true);
  Compile(engine, "'(' \\d{3} ')' \\d{3} - \\d{4}");
  EXPECT_EQ(inserted, "(");
  EXPECT_EQ(Feed(engine, "12"), 2);
  EXPECT_EQ(inserted, "(");
  EXPECT_EQ(Feed(engine, "3"), 1);
  EXPECT_EQ(inserted, "()");
  // One step back from behind the inserted parenthesis lands after the second digit.
  EXPECT_TRUE(engine.StepBack());
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(Feed(engine, "3"), 1);
  EXPECT_EQ(inserted, "())");
  EXPECT_EQ(Feed(engine, "456"), 3);
  EXPECT_EQ(inserted, "())-");
  EXPECT_EQ(Feed(engine, "7890"), 4);
  EXPECT_TRUE(engine.IsFinal());

  // Completion stops at a complete text; stepping back over forced literals goes to the start.
  TuiRegExpr short_;
  inserted.clear();
  deleted = 0;
  short_.SetOnAppendChar([&](char32_t ch) { inserted += CodePointToUtf8(ch); });
  short_.SetOnDeleteLastChar([&] { ++deleted; });
  short_.SetAutoComplete(true);
  Compile(short_, "ab c?");
  EXPECT_EQ(inserted, "ab");
  EXPECT_TRUE(short_.IsFinal());
  EXPECT_FALSE(short_.StepBack());
  EXPECT_EQ(deleted, 2);
  EXPECT_TRUE(short_.IsAtStart());
}

TEST(RegExprMatch, ForcedRunsOverOpenLoopsStopWithinTheirBudget) {
  // Every position of these texts forces the next character, and each loop passed stays open, so the
  // positions grow with the run: completing it all held thousands of positions of thousands of states and
  // took seconds per keystroke. Completion now stops within a budget; the rest can be typed.
  for (const char* pattern : {"(a+aaa){999}", "(/+///){999}"}) {
    SCOPED_TRACE(pattern);
    TuiRegExpr engine;
    String inserted;
    int deleted = 0;
    engine.SetOnAppendChar([&](char32_t ch) { inserted += CodePointToUtf8(ch); });
    engine.SetOnDeleteLastChar([&] { ++deleted; });
    engine.SetCaseInsensitive(true);
    engine.SetAutoComplete(true);
    Compile(engine, pattern);
    const String forced = pattern[1] == '/' ? String(1, FormatSettings.DateSeparator) : String("a");
    const size_t first = inserted.size();
    EXPECT_GT(first, 100u);
    EXPECT_LT(first, 3996u) << "the whole run";
    EXPECT_EQ(inserted, String(first, forced[0]));
    EXPECT_FALSE(engine.IsFinal());
    EXPECT_LT(engine.Automat()->HeldBytes(), size_t{8} << 20);
    // A typed character moves on and completes further.
    String ch = forced;
    ASSERT_TRUE(engine.Advance(ch));
    EXPECT_GT(inserted.size(), first);
    EXPECT_EQ(engine.Automat()->PositionCount(), static_cast<Integer>(inserted.size()) + 2);
    // Every character was forced, the typed one too: one step back takes them all.
    EXPECT_FALSE(engine.StepBack());
    EXPECT_EQ(deleted, static_cast<int>(inserted.size()) + 1);
    EXPECT_TRUE(engine.IsAtStart());
  }
}

TEST(RegExprMatch, AutoCompletionForcesSeparatorsAndSwitchingItOnCompletes) {
  TuiRegExpr engine;
  String inserted;
  engine.SetOnAppendChar([&](char32_t ch) { inserted += CodePointToUtf8(ch); });
  Compile(engine, "\\d\\d : \\d\\d");
  EXPECT_EQ(Feed(engine, "12"), 2);
  EXPECT_EQ(inserted, "");
  engine.SetAutoComplete(true);
  EXPECT_EQ(inserted, ":");
  // FilterText neither restarts nor completes.
  engine.Restart();
  inserted.clear();
  String result;
  engine.FilterText("12", result);
  EXPECT_EQ(result, "12");
  EXPECT_EQ(inserted, "");
  // Alternatives that start with the same literal force it too.
  TuiRegExpr same;
  inserted.clear();
  same.SetOnAppendChar([&](char32_t ch) { inserted += CodePointToUtf8(ch); });
  same.SetAutoComplete(true);
  Compile(same, "x(ab|ac)");
  EXPECT_EQ(inserted, "xa");
}

TEST(RegExprMatch, StepBackAndRestart) {
  TuiRegExpr engine;
  Compile(engine, "ab|ac");
  EXPECT_TRUE(engine.IsAtStart());
  EXPECT_FALSE(engine.StepBack());
  String ch = "x";
  EXPECT_FALSE(engine.Advance(ch));
  EXPECT_TRUE(engine.IsAtStart());
  EXPECT_EQ(Feed(engine, "ab"), 2);
  EXPECT_TRUE(engine.IsFinal());
  EXPECT_TRUE(engine.StepBack());
  EXPECT_FALSE(engine.IsFinal());
  EXPECT_EQ(Feed(engine, "c"), 1);
  EXPECT_TRUE(engine.IsFinal());
  engine.Restart();
  EXPECT_TRUE(engine.IsAtStart());
  EXPECT_FALSE(engine.StepBack());
  // A string of more or less than one character is not a character.
  ch = "ab";
  EXPECT_FALSE(engine.Advance(ch));
  ch = "";
  EXPECT_FALSE(engine.Advance(ch));
  EXPECT_TRUE(engine.IsAtStart());
}

TEST(RegExprMatch, FilterTextCollectsTheCharactersTaken) {
  TuiRegExpr engine;
  Compile(engine, "\\d+ '.' \\d{2}");
  String result;
  engine.FilterText("12a3.x45", result);
  EXPECT_EQ(result, "123.45");
  EXPECT_TRUE(engine.IsFinal());
  // From where the engine stands; a byte that is not UTF-8 is taken as U+FFFD.
  Compile(engine, ". x");
  engine.FilterText("\xC3" "x", result);
  EXPECT_EQ(result, "\xEF\xBF\xBD" "x");
  engine.FilterText("x", result);
  EXPECT_EQ(result, "");
}

TEST(RegExprMatch, EveryMatchingOperationNeedsACompiledPattern) {
  TuiRegExpr engine;
  const auto notCompiled = [](const auto& AOperation) {
    try {
      AOperation();
      ADD_FAILURE() << "no exception";
    } catch (const EuiRegExprError&) {
      ADD_FAILURE() << "a compile error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Regular expression is not compiled");
    }
  };
  String ch = "a", result;
  char32_t code = 'a';
  notCompiled([&] { engine.IsFinal(); });
  notCompiled([&] { engine.IsAtStart(); });
  notCompiled([&] { engine.Advance(ch); });
  notCompiled([&] { engine.Advance(code); });
  notCompiled([&] { engine.FilterText("a", result); });
  notCompiled([&] { engine.StepBack(); });
  notCompiled([&] { engine.Restart(); });
  EXPECT_THROW(Compile(engine, "a?*"), EuiRegExprError);
  notCompiled([&] { engine.Advance(ch); });
  // Switching completion on before compiling inserts nothing yet.
  engine.SetAutoComplete(true);
  EXPECT_FALSE(engine.IsCompiled());
}

TEST(RegExprMatch, AmbiguousPatternsKeepSmallStateSets) {
  const struct {
    const char* Pattern;
    const char* Chars;  // typed over and over
    Integer Largest;    // every state the character can stand in, once
  } cases[] = {{"(\\d|\\w)*", "7a", 2}, {"(a|a)*", "a", 2}, {"\\d*\\d*\\d*", "7", 3}, {"(a|a|a)+(a|a)*", "a", 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Pattern);
    TuiRegExpr engine;
    Compile(engine, c.Pattern);
    const String chars = c.Chars;
    Integer largest = 0;
    for (size_t i = 0; i < 10000; ++i) {
      char32_t ch = static_cast<unsigned char>(chars[i % chars.size()]);
      ASSERT_TRUE(engine.Advance(ch)) << i;
      largest = std::max(largest, engine.Automat()->CurrentCount());
    }
    EXPECT_TRUE(engine.IsFinal());
    EXPECT_EQ(largest, c.Largest);
    // One small set per character: well under a megabyte for 10,000 characters.
    EXPECT_LT(engine.Automat()->HeldBytes(), size_t{1} << 20);
  }
}

TEST(RegExprMatch, LongRunsOfOptionalItemsTakeTheirWholeLength) {
  // After i characters every later item is still open, so each step reaches thousands of states. A step
  // walks the automaton once; summing every current state's own closure instead cost the square of the run
  // per character, hours for these texts.
  const struct {
    const char* Pattern;
    char Typed;
    size_t Length;  // characters the pattern takes at most
  } cases[] = {{"(.?){2000}", 'a', 2000}, {"(\\d?x?){1000}", '7', 1000}, {"((a|b)?){40}{50}", 'b', 2000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Pattern);
    TuiRegExpr engine;
    Compile(engine, c.Pattern);
    for (size_t i = 0; i < c.Length; ++i) {
      char32_t ch = static_cast<unsigned char>(c.Typed);
      ASSERT_TRUE(engine.Advance(ch)) << i;
      ASSERT_TRUE(engine.IsFinal()) << i;
    }
    char32_t ch = static_cast<unsigned char>(c.Typed);
    EXPECT_FALSE(engine.Advance(ch));
    engine.Restart();
    String taken;
    engine.FilterText(String(c.Length + 5, c.Typed), taken);
    EXPECT_EQ(taken, String(c.Length, c.Typed));
  }
}

TEST(RegExprMatch, StateSetsAreRememberedAndForgottenAtRestart) {
  // The text is complete when its 13th character from the end is an a: thousands of different sets.
  TuiRegExpr engine;
  Compile(engine, "(a|b)* a (a|b){12}");
  uint32_t bits = 12345;
  String text;
  for (int i = 0; i < 20000; ++i) {
    bits = bits * 1103515245u + 12345u;
    text += (bits >> 16) & 1 ? 'a' : 'b';
  }
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    engine.Restart();
    for (size_t i = 0; i < text.size(); ++i) {
      char32_t ch = static_cast<unsigned char>(text[i]);
      ASSERT_TRUE(engine.Advance(ch));
      ASSERT_EQ(engine.IsFinal(), i >= 12 && text[i - 12] == 'a') << i;
    }
    for (size_t i = text.size(); i > 13; --i) {
      ASSERT_TRUE(engine.StepBack());
      ASSERT_EQ(engine.IsFinal(), text[i - 14] == 'a') << i;
    }
  }
  engine.Restart();
  EXPECT_LT(engine.Automat()->HeldBytes(), size_t{1} << 20);
}

}  // namespace
}  // namespace editors_test
