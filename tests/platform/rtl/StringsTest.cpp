#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

TEST(Strings, CopyPosDeleteInsertAreOneBasedAndClip) {
  EXPECT_EQ(Copy("ABCDEFG", 2, 4), "BCDE");  // characters 2 to 5
  EXPECT_EQ(Copy("ABC", 0, 2), "AB");
  EXPECT_EQ(Copy("ABC", 3, 100), "C");
  EXPECT_EQ(Copy("ABC", 4, 1), "");
  EXPECT_EQ(Copy("ABC", 2, -1), "");
  EXPECT_EQ(Copy("ABC", 2, INT32_MAX), "BC");
  EXPECT_EQ(Copy(WideString(u"ABC"), 2, 1), u"B");

  EXPECT_EQ(Pos("CD", "ABCDCD"), 3);
  EXPECT_EQ(Pos("X", "ABC"), 0);
  EXPECT_EQ(Pos("", "ABC"), 0);
  EXPECT_EQ(PosEx("CD", "ABCDCD", 4), 5);
  EXPECT_EQ(PosEx("CD", "ABCDCD", 7), 0);
  EXPECT_EQ(PosEx("CD", "ABCDCD", 0), 0);

  String s = "ABCDEF";
  Delete(s, 2, 3);
  EXPECT_EQ(s, "AEF");
  Delete(s, 0, 1);
  Delete(s, 4, 1);
  EXPECT_EQ(s, "AEF");
  Delete(s, 3, 99);
  EXPECT_EQ(s, "AE");
  Insert("xy", s, 2);
  EXPECT_EQ(s, "AxyE");
  Insert("!", s, 99);
  EXPECT_EQ(s, "AxyE!");
  Insert("<", s, -3);
  EXPECT_EQ(s, "<AxyE!");

  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -1), "");
  EXPECT_EQ(LastDelimiter("./", "a/b.c/d"), 6);
}

TEST(Strings, TrimRemovesBlanksAndControlsButNotText) {
  EXPECT_EQ(Trim(" \t\r\n abc \x01"), "abc");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(" 信道 "), "信道");  // bytes above 0x7F are text, not blanks
  EXPECT_EQ(Trim(WideString(u" x ")), u"x");
}

TEST(Strings, CaseMapping) {
  EXPECT_EQ(UpperCase("abc-xyz é"), "ABC-XYZ é");
  EXPECT_EQ(LowerCase("ABC É"), "abc É");
  EXPECT_EQ(AnsiUpperCase("straße é ä"), "STRAßE É Ä");  // one character maps to one
  EXPECT_EQ(AnsiLowerCase("ÄÖÜ ABC"), "äöü abc");
  EXPECT_EQ(AnsiUpperCase("信道 ab"), "信道 AB");
  EXPECT_EQ(AnsiUpperCase(String("\xB5\x61", 2)), String("\xB5\x41", 2));  // a stray byte stays
  EXPECT_EQ(WideUpperCase(u"é😀x"), u"É😀X");
}

TEST(Strings, Comparisons) {
  EXPECT_LT(CompareStr("a", "b"), 0);
  EXPECT_GT(CompareStr("a", "A"), 0);
  EXPECT_LT(CompareStr("ab", "abc"), 0);
  EXPECT_EQ(CompareStr("", ""), 0);
  EXPECT_GT(CompareStr("\xE4", "a"), 0);  // bytes compare unsigned
  EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
  EXPECT_LT(CompareText("a", "_"), 0);  // folding is to upper case
  EXPECT_TRUE(SameText("COM3", "com3"));
  EXPECT_FALSE(SameText("é", "É"));
  EXPECT_TRUE(AnsiSameText("é", "É"));
  EXPECT_EQ(AnsiCompareText("Zebra", "apple") > 0, true);
  EXPECT_LT(AnsiCompareStr("B", "a"), 0);
  EXPECT_TRUE(WideSameText(u"Ä", u"ä"));
  EXPECT_LT(WideCompareStr(u"a", u"b"), 0);
}

TEST(Strings, Quoting) {
  EXPECT_EQ(QuotedStr("O'Hara"), "'O''Hara'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
  EXPECT_EQ(AnsiDequotedStr("'O''Hara'", '\''), "O'Hara");
  EXPECT_EQ(AnsiDequotedStr("'open", '\''), "open");
  EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
  const char* p = "'a''b' rest";
  EXPECT_EQ(AnsiExtractQuotedStr(p, '\''), "a'b");
  EXPECT_STREQ(p, " rest");
}

TEST(Strings, ReplaceAndIdentifiers) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", 0), "a+b-c");
  EXPECT_EQ(StringReplace("Ab ab AB", "ab", "x", rfReplaceAll | rfIgnoreCase), "x x x");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_TRUE(IsValidIdent("_Name1"));
  EXPECT_FALSE(IsValidIdent("1Name"));
  EXPECT_FALSE(IsValidIdent("a b"));
  EXPECT_FALSE(IsValidIdent(""));
}

TEST(Strings, CodePointRoutinesCountCharacters) {
  const String s = "a信道😀b";  // 1 + 3 + 3 + 4 + 1 bytes
  EXPECT_EQ(Length(s), 12);
  EXPECT_EQ(Utf8Length(s), 5);
  EXPECT_EQ(Utf8Copy(s, 2, 2), "信道");
  EXPECT_EQ(Utf8Copy(s, 4, 99), "😀b");
  EXPECT_EQ(Utf8Copy(s, 6, 1), "");
  EXPECT_EQ(Utf8BytePos(s, 3), 5);
  EXPECT_EQ(Utf8BytePos(s, 6), 13);
  EXPECT_EQ(Utf8CharIndex(s, 6), 3);
  EXPECT_EQ(CharLength(s, 2), 3);
  EXPECT_EQ(CharLength(s, 8), 4);
  EXPECT_EQ(ByteType(s, 1), mbSingleByte);
  EXPECT_EQ(ByteType(s, 2), mbLeadByte);
  EXPECT_EQ(ByteType(s, 3), mbTrailByte);
  EXPECT_EQ(ByteType(s, 11), mbTrailByte);
  EXPECT_EQ(ByteType(s, 12), mbSingleByte);
  // Broken text: every bad byte is one character, nothing is read past the end.
  const String broken("\xE4\xBF", 2);
  EXPECT_EQ(Utf8Length(broken), 2);
  EXPECT_EQ(ByteType(broken, 2), mbSingleByte);
  EXPECT_EQ(Utf8Copy(broken, 1, 1), String("\xE4", 1));
}

}  // namespace rtl_test
