// The lexical scanner under the default settings and under each language's grammar settings.
#include <cstdio>
#include <map>
#include <memory>

#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

enum TReader { Skip, LineEnd, Punct, Word, Ident, Number, Str, Bracketed };

struct ScanCase {
  const char* Language;  // "" for a scanner with the default settings
  const char* Text;
  Integer Start;
  TReader Reader;
  const char* Token;  // LineEnd: "1" or "0"; Skip: ""
  Integer Position;   // after the reader
  const char* LineCol;
};

class TscParserTest : public ScriptTest {
 protected:
  // A scanner with the settings a language's grammar gives.
  TscParser& Scanner(const String& Language) {
    auto& parser = parsers_[Language];
    if (!parser) {
      parser = std::make_unique<TscILParser>(nullptr);
      if (!Language.empty()) parser->LoadGrammar(Language);
    }
    return *parser->Scanner();
  }

  static String Read(TscParser& S, TReader Reader) {
    switch (Reader) {
      case Skip:
        S.SkipBlanks();
        return String();
      case LineEnd:
        return S.ReadLineEnd() ? "1" : "0";
      case Punct:
        return S.ReadPunct();
      case Word:
        return S.ReadWord();
      case Ident:
        return S.ReadIdentifier();
      case Number:
        return S.ReadNumber();
      case Str:
        return S.ReadStringConst();
      case Bracketed:
        return S.ReadBracketedText();
    }
    return String();
  }

 private:
  std::map<String, std::unique_ptr<TscILParser>> parsers_;
};

TEST_F(TscParserTest, ReadsTokens) {
  const ScanCase cases[] = {
      // Blanks and comments, default settings: block comments do not nest.
      {"", "(* a *) { b } // c\r\nx", 1, Word, "x", 22, "2:2"},
      {"", "{ (* } x", 1, Word, "x", 9, "1:9"},
      {"", "{ open", 1, Skip, "", 7, "1:7"},
      {"", "x", 1, Skip, "", 1, "1:1"},
      // Punctuation: one character, no blanks skipped.
      {"PascalScript", ":=", 1, Punct, ":", 2, "1:2"},
      {"PascalScript", " :", 1, Punct, "", 1, "1:1"},
      {"PascalScript", "a", 1, Punct, "", 1, "1:1"},
      {"PascalScript", "~", 1, Punct, "~", 2, "1:2"},
      // Words and identifiers; a keyword is consumed by a failing ReadIdentifier.
      {"PascalScript", "  Abc_1+", 1, Word, "Abc_1", 8, "1:8"},
      {"PascalScript", "begin", 1, Word, "begin", 6, "1:6"},
      {"PascalScript", "BEGIN x", 1, Ident, "", 6, "1:6"},
      {"PascalScript", "1abc", 1, Word, "", 1, "1:1"},
      {"C++Script", "If", 1, Ident, "If", 3, "1:3"},
      {"C++Script", "if", 1, Ident, "", 3, "1:3"},
      {"JScript", "Var", 1, Ident, "", 4, "1:4"},
      {"BasicScript", "Dim", 1, Ident, "", 4, "1:4"},
      // Numbers: no sign; a "." needs digits; a failed exponent is left; the prefix comes out as "$".
      {"PascalScript", "1.5e3;", 1, Number, "1.5e3", 6, "1:6"},
      {"PascalScript", "1.", 1, Number, "1", 2, "1:2"},
      {"PascalScript", "1..5", 1, Number, "1", 2, "1:2"},
      {"PascalScript", "1e", 1, Number, "1", 2, "1:2"},
      {"PascalScript", "1e+x", 1, Number, "1", 2, "1:2"},
      {"PascalScript", "2E-3x", 1, Number, "2E-3", 5, "1:5"},
      {"PascalScript", "$1F", 1, Number, "$1F", 4, "1:4"},
      {"PascalScript", "$", 1, Number, "", 1, "1:1"},
      {"PascalScript", " -1", 1, Number, "", 2, "1:2"},
      {"C++Script", "0x1F", 1, Number, "$1F", 5, "1:5"},
      {"C++Script", "0x", 1, Number, "", 1, "1:1"},
      {"BasicScript", "0x10 ", 1, Number, "$10", 5, "1:5"},
      {"JScript", "007", 1, Number, "007", 4, "1:4"},
      // Strings with doubled quotes and character codes.
      {"PascalScript", "'it''s'", 1, Str, "'it's'", 8, "1:8"},
      {"PascalScript", "'a'#13#10'b'", 1, Str, "'a\r\nb'", 13, "1:13"},
      {"PascalScript", "#65", 1, Str, "'A'", 4, "1:4"},
      {"PascalScript", "#$41#20320", 1, Str, "'A\xE4\xBD\xA0'", 11, "1:11"},
      {"PascalScript", "'a' 'b'", 1, Str, "'a'", 4, "1:4"},
      {"PascalScript", "#", 1, Str, "", 1, "1:1"},
      {"PascalScript", "'abc", 1, Str, "", 1, "1:1"},
      {"PascalScript", "'a\r\nb'", 1, Str, "", 1, "1:1"},
      {"PascalScript", "'a\tb'", 1, Str, "'a\tb'", 6, "1:6"},
      {"PascalScript", "\"a\"", 1, Str, "", 1, "1:1"},
      // Strings with backslash escapes.
      {"C++Script", "\"a\\tb\"", 1, Str, "'atb'", 7, "1:7"},
      {"C++Script", "\"\\x41\"", 1, Str, "'A'", 7, "1:7"},
      {"C++Script", "\"\\x4142\"", 1, Str, "'B'", 9, "1:9"},
      {"C++Script", "\"\\xE9\"", 1, Str, "'\xC3\xA9'", 7, "1:7"},
      {"C++Script", "\"\\x\"", 1, Str, "''", 5, "1:5"},
      {"C++Script", "\"a\\\"b\\\\\"", 1, Str, "'a\"b\\'", 9, "1:9"},
      {"C++Script", "\"\\N\\r\"", 1, Str, "'\n\r'", 7, "1:7"},
      {"C++Script", "\"a\"\"b\"", 1, Str, "'ab'", 7, "1:7"},
      {"C++Script", "\"a'b\"#0x41", 1, Str, "'a'bA'", 11, "1:11"},
      {"C++Script", "\"abc", 1, Str, "", 1, "1:1"},
      {"C++Script", "\"a\\", 1, Str, "", 1, "1:1"},
      {"C++Script", "\"\\x41", 1, Str, "", 1, "1:1"},
      {"JScript", "'a'", 1, Str, "", 1, "1:1"},
      {"BasicScript", "\"x\\ny\"", 1, Str, "'x\ny'", 7, "1:7"},
      // Bracketed text: nested brackets count, brackets inside quotes do not.
      {"PascalScript", "a[b]<c>d> e", 1, Bracketed, "a[b]<c>d", 9, "1:9"},
      {"PascalScript", "a '>' \"]\" b]", 1, Bracketed, "a '>' \"]\" b", 12, "1:12"},
      {"PascalScript", "\"it's>\">", 1, Bracketed, "\"it's>\"", 8, "1:8"},
      {"PascalScript", " abc", 1, Bracketed, " abc", 5, "1:5"},
      // Line ends are spaces where the language says so...
      {"PascalScript", "\r\nx", 1, LineEnd, "0", 3, "2:1"},
      {"JScript", "\r\n", 1, LineEnd, "0", 3, "2:1"},
      {"C++Script", " \r\n\r\n", 1, Skip, "", 6, "3:1"},
      // ... and significant in BasicScript, where a lone line feed is a space.
      {"BasicScript", "  \r\n\r\nx", 1, LineEnd, "1", 7, "3:1"},
      {"BasicScript", "\r", 1, LineEnd, "1", 2, "1:2"},
      {"BasicScript", "\nx", 1, LineEnd, "0", 2, "2:1"},
      {"BasicScript", "x", 1, LineEnd, "0", 1, "1:1"},
      {"BasicScript", "", 1, LineEnd, "0", 1, "1:1"},
      // The continuation character joins lines.
      {"BasicScript", "a _\r\nb", 2, Word, "b", 7, "2:2"},
      {"BasicScript", "a _ ' note\r\n  b", 2, Word, "b", 16, "2:4"},
      {"BasicScript", "a _ _\r\n\r\nb", 2, Word, "b", 11, "3:2"},
      {"BasicScript", "a _ x", 2, Word, "x", 6, "1:6"},
      // A comment after a statement ends before the line end; "rem" is a comment word in any case, and
      // only as a whole word.
      {"BasicScript", "x ' note\r\ny", 2, LineEnd, "1", 11, "2:1"},
      {"BasicScript", "x rem note\r\ny", 2, LineEnd, "1", 13, "2:1"},
      {"BasicScript", "REM note\r\n", 1, LineEnd, "1", 11, "2:1"},
      {"BasicScript", "Rem\r\n", 1, LineEnd, "1", 6, "2:1"},
      {"BasicScript", "remaining = 1", 1, Word, "remaining", 10, "1:10"},
      {"BasicScript", "rem(x)", 1, Word, "", 7, "1:7"},
      {"BasicScript", "/\\ a /\\ x", 1, Word, "x", 10, "1:10"},
      // In a case-sensitive language the comment word and the keywords keep their case.
      {"C++Script", "// c\r\nx", 1, Word, "x", 8, "2:2"},
      // Other languages have no comment word.
      {"PascalScript", "rem x", 1, Word, "rem", 4, "1:4"},
  };
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(String(c.Language) + ": " + c.Text);
    TscParser& s = Scanner(c.Language);
    s.LoadText(c.Text);
    s.SetCursor(c.Start);
    EXPECT_EQ(Read(s, c.Reader), c.Token);
    EXPECT_EQ(s.Cursor(), c.Position);
    EXPECT_EQ(s.LineColText(), c.LineCol);
  }
}

TEST_F(TscParserTest, RaisesForCodesBeyond32Bits) {
  TscParser& pascal = Scanner("PascalScript");
  pascal.LoadText("#99999999999");
  EXPECT_THROW(pascal.ReadStringConst(), EConvertError);
  TscParser& cpp = Scanner("C++Script");
  cpp.LoadText("\"\\x1FFFFFFFF\"");
  EXPECT_THROW(cpp.ReadStringConst(), EConvertError);
  // The largest 32-bit codes are no characters: they come out as the replacement character.
  cpp.LoadText("#0xFFFFFFFF");
  EXPECT_EQ(cpp.ReadStringConst(), "'\xEF\xBF\xBD'");
}

TEST_F(TscParserTest, MapsPositionsToLinesAndColumnsInBytes) {
  TscParser s;
  s.LoadText("a\xC3\xB1" "b\nc\r\n\nd");
  const struct {
    Integer Position;
    const char* LineCol;
  } positions[] = {{1, "1:1"}, {4, "1:4"}, {5, "1:5"}, {6, "2:1"}, {8, "2:3"}, {9, "3:1"}, {10, "4:1"}, {11, "4:2"}};
  for (const auto& p : positions) {
    SCOPED_TRACE(p.Position);
    EXPECT_EQ(s.LineColText(p.Position), p.LineCol);
    Integer line = 0, column = 0;
    ASSERT_EQ(std::sscanf(p.LineCol, "%d:%d", &line, &column), 2);
    EXPECT_EQ(s.LineColToPosition(column, line), p.Position);
  }
  EXPECT_EQ(s.LineColToPosition(1, 0), -1);
  EXPECT_EQ(s.LineColToPosition(1, 5), -1);
  // The cursor stays within the text.
  s.SetCursor(100);
  EXPECT_EQ(s.Cursor(), 11);
  s.SetCursor(-3);
  EXPECT_EQ(s.Cursor(), 1);
}

TEST_F(TscParserTest, FollowsSettingChanges) {
  TscParser s;
  s.LoadText("{x} y");
  s.SkipBlanks();
  EXPECT_EQ(s.Cursor(), 5);
  // The same place again after the block comment setting changed.
  s.SetCursor(1);
  s.SetBlockComment1("");
  s.SkipBlanks();
  EXPECT_EQ(s.Cursor(), 1);
  EXPECT_EQ(s.ReadPunct(), "{");
  // The second opener and case sensitivity are left by ResetSettings.
  s.SetCommentLine2("rem");
  s.SetCaseSensitive(true);
  s.ResetSettings();
  EXPECT_EQ(s.CommentLine2(), "rem");
  EXPECT_TRUE(s.CaseSensitive());
  EXPECT_EQ(s.BlockComment1(), "{,}");
  // Identifier characters are exactly the given ones.
  s.SetWordChars("ab");
  s.LoadText("abc");
  EXPECT_EQ(s.ReadWord(), "ab");
}

TEST_F(TscParserTest, HighCharactersFormIdentifiersWhenAsked) {
  for (bool high : {false, true}) {
    SCOPED_TRACE(high);
    TscILParser parser(nullptr);
    parser.SetHighCharIdentifiers(high);
    parser.LoadGrammar("PascalScript");
    parser.Scanner()->LoadText("\xE5\x90\x8D\xE5\x89\x8D" "1 x");
    EXPECT_EQ(parser.Scanner()->ReadWord(), high ? "\xE5\x90\x8D\xE5\x89\x8D" "1" : "");
  }
}

}  // namespace
}  // namespace script_test
