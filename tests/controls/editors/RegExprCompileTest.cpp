// Compiling regular-expression masks: every error message with its line and character, the listing of
// errors, the source stream, and the structure counts and back-references give.
#include <gtest/gtest.h>

#include "controls/editors/uiRegExpr.h"
#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/StringList.h"
#include "tests/controls/editors/EditorsTesting.h"

namespace editors_test {
namespace {

struct CompileCase {
  const char* Pattern;
  std::vector<String> Errors;
};

String Repeated(const String& AText, int ACount) {
  String text;
  for (int i = 0; i < ACount; ++i) text += AText;
  return text;
}

TEST(RegExprCompile, EveryMessageWithItsPosition) {
  const CompileCase cases[] = {
      // Parentheses are counted by the lexer; the result has no position.
      {"(a", {"Missing ')'"}},
      {"a)", {"Unnecessary ')'"}},
      // Unfinished quotes, sets and counts are reported just after the end.
      {"'ab", {"Line1, Char4: Missing ' ' '"}},
      {"[ab", {"Line1, Char4: Missing ']'"}},
      {"a{2", {"Line1, Char4: Missing '}'"}},
      {"a{'}", {"Line1, Char3: Illegal ' ' '"}},
      {"a{x}", {"Line1, Char3: Illegal 'x'"}},
      {"[a-c-e]", {"Line1, Char5: Illegal '-'"}},
      {"[\\d-z]", {"Line1, Char4: Illegal '-'"}},
      {"a)(b", {"Line1, Char2: Illegal ')'", "Missing ')'"}},
      {"{}", {"Line1, Char1: Incorrect parameter quantifier", "Line1, Char2: Illegal '}'"}},
      {"{2}",
       {"Line1, Char1: Incorrect parameter quantifier", "Line1, Char2: Illegal integer value",
        "Line1, Char3: Illegal '}'"}},
      {"*a", {"Line1, Char1: Illegal quantifier '*'"}},
      {"a|+", {"Line1, Char3: Illegal quantifier '+'"}},
      {"(?)", {"Line1, Char2: Illegal quantifier '?'"}},
      {"a{2,1}", {"Line1, Char2: Incorrect parameter quantifier"}},
      {"a{,2}", {"Line1, Char2: Incorrect parameter quantifier"}},
      {"a{1 2}", {"Line1, Char2: Incorrect parameter quantifier"}},
      {"a{99999999999}", {"Line1, Char2: Incorrect parameter quantifier"}},
      {"a?{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
      {"a*{2,}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
      {"a?+", {"Line1, Char3: The '+' quantifier cannot be applied here"}},
      // A second quantifier would apply to a? as a whole, which may be empty.
      {"a?*", {"Line1, Char3: The '*' quantifier cannot be applied here"}},
      {"(a|b?)*", {"Line1, Char7: The '*' quantifier cannot be applied here"}},
      {"a||b", {"Line1, Char3: The alternative should not be empty"}},
      {"(|a)", {"Line1, Char2: The alternative should not be empty"}},
      {"(a|)", {"Line1, Char4: The alternative should not be empty"}},
      {"a|", {"Line1, Char2: The alternative should not be empty"}},
      {"|", {"Line1, Char1: The alternative should not be empty"}},
      {"''", {"The alternative should not be empty"}},
      {"a()", {"Line1, Char2: The block should not be empty"}},
      {"(a)\\2", {"Line1, Char4: Too big reference number"}},
      {"\\1(a)", {"Line1, Char1: Too big reference number"}},
      {"[]", {"Line1, Char1: Can't create empty enumeration"}},
      {"[^ ]", {"Line1, Char1: Can't create empty enumeration"}},
      {"[z-a]", {"Line1, Char2: The starting character of the subrange must be less than the finishing one"}},
      {"[a-a]", {"Line1, Char2: The starting character of the subrange must be less than the finishing one"}},
      {"a\\x4", {"Line1, Char5: Hexadecimal number expected"}},
      {"\\xG1", {"Line1, Char3: Hexadecimal number expected but 'G' found"}},
      {"a\\ b", {"Line1, Char3: The space character is not allowed after '\\'"}},
      {"", {"The source stream is empty"}},
      {" \t\r\n\f", {"The source stream is empty"}},
      // Every error is listed, not only the first.
      {"a?* | b?+", {"Line1, Char3: The '*' quantifier cannot be applied here",
                     "Line1, Char9: The '+' quantifier cannot be applied here"}},
      // Lines count at CR LF and at a lone LF; the position starts again on each line.
      {"ab\r\n c*?\r\n  d?+", {"Line3, Char5: The '+' quantifier cannot be applied here"}},
      {"ab\n  x?*", {"Line2, Char5: The '*' quantifier cannot be applied here"}},
      // Positions count characters, not bytes.
      {"\xC3\xA9\xC3\xA9?*", {"Line1, Char4: The '*' quantifier cannot be applied here"}},
  };
  for (const CompileCase& c : cases) {
    SCOPED_TRACE(c.Pattern);
    EXPECT_EQ(CompileErrors(c.Pattern), c.Errors);
  }
}

TEST(RegExprCompile, PatternsBeyondTheSizeLimitsAreRefused) {
  const String tooComplex = "The regular expression is too complex";
  // Counts multiply: a million items.
  EXPECT_EQ(CompileErrors("a{1000}{1000}"), std::vector<String>{"Line1, Char8: " + tooComplex});
  // Nested optional copies nest deeper than the limit.
  EXPECT_EQ(CompileErrors("a{0,5000}"), std::vector<String>{"Line1, Char2: " + tooComplex});
  // Back-references double the pattern each time.
  EXPECT_EQ(CompileErrors("(ab)(\\1\\1\\1\\1)(\\2\\2\\2\\2)(\\3\\3\\3\\3)(\\4\\4\\4\\4)(\\5\\5\\5\\5)(\\6\\6\\6\\6)\\7"),
            std::vector<String>{"Line1, Char65: " + tooComplex});
  // A long run of optional items links every item to all that follow.
  EXPECT_EQ(CompileErrors(Repeated("a?", 1600)), std::vector<String>{tooComplex});
  EXPECT_TRUE(CompileErrors(Repeated("a?", 1000)).empty());
  // Deep parentheses.
  EXPECT_EQ(CompileErrors(Repeated("(", 1500) + "a" + Repeated(")", 1500)),
            std::vector<String>{"Line1, Char1001: " + tooComplex});
}

TEST(RegExprCompile, ErrorTextFormat) {
  EXPECT_EQ((TuiRegExprError{1, 5, "m"}.Text()), "Line1, Char5: m");
  EXPECT_EQ((TuiRegExprError{2, 0, "m"}.Text()), "Line2: m");
  EXPECT_EQ((TuiRegExprError{0, 3, "m"}.Text()), "m");
}

TEST(RegExprCompile, MessagesAndWordsPassThroughTheTextHook) {
  auto* source = new TStringList;
  auto* translated = new TStringList;
  source->Add("Missing '%s'");
  translated->Add("Es fehlt '%s'");
  source->Add("Line");
  translated->Add("Zeile");
  source->Add("Char");
  translated->Add("Zeichen");
  source->Add("Regular expression is not compiled");
  translated->Add("Nicht kompiliert");
  SetLocalizeTextLists(source, translated);
  EXPECT_EQ(CompileErrors("[a"), std::vector<String>{"Zeile1, Zeichen3: Es fehlt ']'"});
  TuiRegExpr engine;
  try {
    engine.IsFinal();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Nicht kompiliert");
  }
  SetLocalizeTextLists(nullptr, nullptr);
}

TEST(RegExprCompile, ErrorsStayReadableAndTheExceptionListsThem) {
  TuiRegExpr engine;
  try {
    Compile(engine, "a?* | [");
    FAIL() << "compiled";
  } catch (const EuiRegExprError& e) {
    ASSERT_EQ(e.Errors().Count(), 1);
    EXPECT_EQ(e.Message(), "Line1, Char8: Missing ']'");
  }
  EXPECT_FALSE(engine.IsCompiled());
  ASSERT_EQ(engine.Errors().Count(), 1);
  EXPECT_EQ(engine.Errors().Items(0).Line, 1);
  EXPECT_EQ(engine.Errors().Items(0).CharPos, 8);
  EXPECT_EQ(engine.GetSource(), nullptr);
  // A later compilation starts afresh.
  Compile(engine, "a");
  EXPECT_TRUE(engine.IsCompiled());
  EXPECT_EQ(engine.Errors().Count(), 0);
}

TEST(RegExprCompile, SourceStream) {
  TuiRegExpr engine;
  try {
    engine.Compile(nullptr);
    FAIL() << "compiled";
  } catch (const EuiRegExprError& e) {
    EXPECT_EQ(e.Message(), "The source stream is not assigned");
  }
  // The whole stream is read, wherever its position is, and kept as the source.
  TStringStream stream("\\d+");
  stream.SetPosition(2);
  engine.Compile(&stream);
  ASSERT_NE(engine.GetSource(), nullptr);
  EXPECT_EQ(engine.GetSource()->Size(), 3);
  EXPECT_EQ(Feed(engine, "12"), 2);
}

// A stream whose reading fails.
class TBrokenStream : public TStringStream {
 public:
  TBrokenStream() : TStringStream("abc") {}
  Integer Read(void*, Integer) override { throw EReadError("Stream read error"); }
};

TEST(RegExprCompile, UnreadableStreamCountsAsNoStream) {
  TuiRegExpr engine;
  TBrokenStream stream;
  EXPECT_THROW(engine.Compile(&stream), EuiRegExprError);
  ASSERT_EQ(engine.Errors().Count(), 1);
  EXPECT_EQ(engine.Errors().Items(0).Message, "The source stream is not assigned");
}

// The structure the parser builds, as its trace describes it.
String Structure(const String& APattern) {
  TuiRegExpr engine;
  Compile(engine, APattern);
  String text = engine.Automat()->Tree()->Describe();
  // One line per element: easier to read in a failure.
  String result;
  for (char ch : text)
    if (ch != '\r') result += ch;
  return result;
}

TEST(RegExprCompile, CountsAndSecondQuantifiersBuildBlocks) {
  EXPECT_EQ(Structure("a{2,4}"),
            "<Start_Alt>\n<Start_Block>\n<Start_Alt>\nitem --> \nitem --> \n"
            "<Start_Block>\n<Start_Alt>\nitem --> \nitem --> ?\n<Finish_Alt>\n<Finish_Block> --> ?\n"
            "<Finish_Alt>\n<Finish_Block> --> \n<Finish_Alt>\n");
  EXPECT_EQ(Structure("a{2,}"),
            "<Start_Alt>\n<Start_Block>\n<Start_Alt>\nitem --> \nitem --> \nitem --> *\n<Finish_Alt>\n"
            "<Finish_Block> --> \n<Finish_Alt>\n");
  // A count from zero is optional itself.
  EXPECT_EQ(Structure("a{0,1}"), "<Start_Alt>\nitem --> ?\n<Finish_Alt>\n");
  EXPECT_EQ(Structure("a{0,}"), "<Start_Alt>\nitem --> *\n<Finish_Alt>\n");
  EXPECT_EQ(Structure("a{0}b"),
            "<Start_Alt>\n<Start_Block>\n<Start_Alt>\n<Finish_Alt>\n<Finish_Block> --> ?\nitem --> \n<Finish_Alt>\n");
  // A quantifier after a quantified item applies to it as a whole.
  EXPECT_EQ(Structure("a+?"),
            "<Start_Alt>\n<Start_Block>\n<Start_Alt>\nitem --> +\n<Finish_Alt>\n<Finish_Block> --> ?\n<Finish_Alt>\n");
}

}  // namespace
}  // namespace editors_test
