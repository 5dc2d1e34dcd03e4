#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

TEST(CodePages, GbkRoundTrips) {
  const struct {
    const char* utf8;
    const char* gbk;
  } cases[] = {
      {"提示", "\xCC\xE1\xCA\xBE"},
      {"信道", "\xD0\xC5\xB5\xC0"},
      {"ABC 123", "ABC 123"},
      {"频率 438.125MHz", "\xC6\xB5\xC2\xCA 438.125MHz"},
      {"", ""},
      {"€", "\x80"},  // the one single-byte extension of code page 936
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
    EXPECT_EQ(WideToGbk(Utf8ToWide(c.utf8)), c.gbk);
    EXPECT_EQ(GbkToWide(c.gbk), Utf8ToWide(c.utf8));
    EXPECT_EQ(ConvertCodePage(c.gbk, CP_GBK, CP_ACP), c.utf8);
  }
}

TEST(CodePages, UnmappableAndBrokenInputIsReplacedNotLost) {
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToGbk(String("a\xFF" "b", 3)), "a?b");
  // A lead byte without its trail byte, and a stray byte, cost one character each.
  EXPECT_EQ(GbkToUtf8(String("\xD0\xC5\xD0", 3)), "信\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8(String("\xFF" "A\xCC\xE1", 4)), "\xEF\xBF\xBD" "A提");
  EXPECT_THROW(ConvertCodePage("x", 1252, CP_UTF8), EConvertError);
}

TEST(CodePages, Utf8AndUtf16) {
  EXPECT_EQ(Utf8ToWide("a信😀"), u"a信😀");
  EXPECT_EQ(WideToUtf8(u"a信😀"), "a信😀");
  EXPECT_EQ(Utf8ToWide(String("a\xE4\xBF", 3)), u"a\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide(String("\xC0\xAF", 2)), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(Utf8ToWide(String("\xED\xA0\x80", 3)), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(WideToUtf8(WideString(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(CodePointToUtf8(0x4FE1), "信");
  EXPECT_TRUE(IsValidUtf8("信道"));
  EXPECT_FALSE(IsValidUtf8("\xD0\xC5"));
}

TEST(CodePages, DecodeFileTextPrefersUtf8) {
  EXPECT_EQ(DecodeFileText("[Language]\nMsg=信道"), "[Language]\nMsg=信道");
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFKey=1"), "Key=1");
  EXPECT_EQ(DecodeFileText("Msg=\xCC\xE1\xCA\xBE"), "Msg=提示");
}

TEST(CodePages, LeadBytes) {
  EXPECT_TRUE(IsDBCSLeadByteEx(CP_GBK, 0x81));
  EXPECT_TRUE(IsDBCSLeadByteEx(CP_GBK, 0xFE));
  EXPECT_FALSE(IsDBCSLeadByteEx(CP_GBK, 0x80));
  EXPECT_FALSE(IsDBCSLeadByteEx(CP_GBK, 0xFF));
  EXPECT_FALSE(IsDBCSLeadByteEx(CP_GBK, 'A'));
  EXPECT_TRUE(IsDBCSLeadByte(0xE4));
  EXPECT_FALSE(IsDBCSLeadByte(0xBF));  // a UTF-8 continuation byte never starts a character
}

}  // namespace rtl_test
