#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Utf.h"

namespace rtl_test {
namespace {

using k58::rtl::kReplacementChar;

// Every code point of s with the bytes each took, and whether it was well formed.
struct Step {
  char32_t cp;
  size_t bytes;
  bool ok;
  bool operator==(const Step&) const = default;
};
std::vector<Step> Steps(std::string_view s) {
  std::vector<Step> out;
  for (size_t pos = 0; pos < s.size();) {
    const size_t at = pos;
    char32_t cp;
    const bool ok = k58::rtl::TryDecodeUtf8(s, pos, cp);
    out.push_back({cp, pos - at, ok});
  }
  return out;
}

void PrintTo(const Step& s, std::ostream* os) {
  *os << std::hex << "U+" << uint32_t(s.cp) << "/" << s.bytes << (s.ok ? "" : " malformed");
}

TEST(Utf8Decode, WellFormedAndMalformedSequences) {
  constexpr char32_t R = kReplacementChar;
  const struct {
    const char* what;
    std::string bytes;
    std::vector<Step> steps;
  } cases[] = {
      {"ASCII and NUL", std::string("a\0", 2), {{'a', 1, true}, {0, 1, true}}},
      {"two bytes, lowest", "\xC2\x80", {{0x80, 2, true}}},
      {"three bytes", "\xE4\xBF\xA1", {{0x4FE1, 3, true}}},
      {"four bytes", "\xF0\x9F\x98\x80", {{0x1F600, 4, true}}},
      {"last scalar value", "\xF4\x8F\xBF\xBF", {{0x10FFFF, 4, true}}},
      {"U+FFFD itself is well formed", "\xEF\xBF\xBD", {{R, 3, true}}},
      {"overlong two bytes", "\xC0\xAF", {{R, 1, false}, {R, 1, false}}},
      {"overlong three bytes", "\xE0\x80\xAF", {{R, 1, false}, {R, 1, false}, {R, 1, false}}},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", {{R, 1, false}, {R, 1, false}, {R, 1, false}, {R, 1, false}}},
      {"encoded surrogate", "\xED\xA0\x80", {{R, 1, false}, {R, 1, false}, {R, 1, false}}},
      {"past U+10FFFF", "\xF4\x90\x80\x80", {{R, 1, false}, {R, 1, false}, {R, 1, false}, {R, 1, false}}},
      {"lead byte F5", "\xF5\x80", {{R, 1, false}, {R, 1, false}}},
      {"stray continuation", "\x80" "a", {{R, 1, false}, {'a', 1, true}}},
      {"truncated at the end", "a\xE4\xBF", {{'a', 1, true}, {R, 1, false}, {R, 1, false}}},
      {"truncated by a new character", "\xF0\x9F" "b", {{R, 1, false}, {R, 1, false}, {'b', 1, true}}},
      {"FF", "\xFF", {{R, 1, false}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Steps(c.bytes), c.steps) << c.what;
}

TEST(Utf8Decode, NeverReadsPastTheView) {
  // The view ends inside a four-byte character whose bytes follow in memory.
  const std::string whole = "\xF0\x9F\x98\x80";
  size_t pos = 0;
  EXPECT_EQ(k58::rtl::DecodeUtf8(std::string_view(whole.data(), 3), pos), kReplacementChar);
  EXPECT_EQ(pos, 1u);
}

TEST(Utf8Encode, ScalarValuesAndReplacements) {
  const struct {
    char32_t cp;
    std::string bytes;
  } cases[] = {
      {0x7F, "\x7F"}, {0x80, "\xC2\x80"}, {0x7FF, "\xDF\xBF"}, {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"}, {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0xD800, "\xEF\xBF\xBD"}, {0xDFFF, "\xEF\xBF\xBD"}, {0x110000, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    std::string out;
    k58::rtl::AppendUtf8(out, c.cp);
    EXPECT_EQ(out, c.bytes) << std::hex << uint32_t(c.cp);
  }
}

TEST(Utf8Encode, FittingIntoABufferNeverCutsACharacter) {
  const std::string s = "a信b";  // 1 + 3 + 1 bytes
  const size_t fits[] = {0, 1, 1, 1, 4, 5, 5};
  for (size_t max = 0; max < std::size(fits); ++max) EXPECT_EQ(k58::rtl::Utf8Fit(s, max), fits[max]) << max;
}

TEST(Utf16, ConversionsPairSurrogatesAndReplaceUnpairedOnes) {
  EXPECT_EQ(k58::rtl::Utf8ToUtf16("a信😀"), u"a信😀");
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(u"a信😀"), "a信😀");
  EXPECT_EQ(k58::rtl::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  const char16_t lone[] = {u'a', 0xD83D, u'b', 0xDE00};
  EXPECT_EQ(k58::rtl::Utf16ToUtf8(std::u16string_view(lone, 4)), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  // The decoder itself hands an unpaired surrogate back for the caller to judge.
  size_t pos = 1;
  EXPECT_EQ(k58::rtl::DecodeUtf16(std::u16string_view(lone, 4), pos), 0xD83Du);
  EXPECT_EQ(pos, 2u);
  EXPECT_EQ(k58::rtl::Utf8ToUtf32("a😀\xFF"), U"a😀\uFFFD");
  EXPECT_EQ(k58::rtl::Utf32ToUtf8(U"a😀"), "a😀");
}

TEST(Utf16, TypedUnitsJoinIntoCharacters) {
  char16_t pending = 0;
  char32_t cp = 0;
  EXPECT_TRUE(k58::rtl::JoinTypedUnit(pending, u'x', cp));
  EXPECT_EQ(cp, U'x');
  EXPECT_FALSE(k58::rtl::JoinTypedUnit(pending, 0xD83D, cp));  // waits for its partner
  EXPECT_TRUE(k58::rtl::JoinTypedUnit(pending, 0xDE00, cp));
  EXPECT_EQ(cp, U'😀');
  EXPECT_FALSE(k58::rtl::JoinTypedUnit(pending, 0xDE00, cp));  // a low surrogate alone is dropped
  EXPECT_FALSE(k58::rtl::JoinTypedUnit(pending, 0xD83D, cp));
  EXPECT_TRUE(k58::rtl::JoinTypedUnit(pending, u'y', cp));     // a high one is forgotten by the next character
  EXPECT_EQ(cp, U'y');
  EXPECT_EQ(pending, 0);
}

TEST(CaseFolding, LettersOfEveryScriptFoldOneToOne) {
  const struct {
    char32_t upper, folded;
  } cases[] = {
      {U'A', U'a'}, {U'z', U'z'}, {U'_', U'_'}, {U'É', U'é'}, {U'Ÿ', U'ÿ'}, {U'Ł', U'ł'}, {U'Ž', U'ž'},
      {U'Σ', U'σ'}, {U'Я', U'я'}, {U'Ё', U'ё'}, {U'Ա', U'ա'}, {U'Ａ', U'ａ'}, {U'信', U'信'}, {0x10400, 0x10428},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(k58::rtl::FoldCase(c.upper), c.folded) << std::hex << uint32_t(c.upper);
    if (c.upper != c.folded) {
      EXPECT_EQ(k58::rtl::ToUpper(c.folded), c.upper) << std::hex << uint32_t(c.folded);
    }
  }
  EXPECT_EQ(k58::rtl::FoldCase("ÄBC\xFF" "d"), "äbc\xFF" "d");  // a malformed byte stays as it was
}

TEST(CaseFolding, CompareNoCaseOrdersFoldedCodePoints) {
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc", "ABC", 0}, {"Ärger", "ärger", 0}, {"ÿ", "Ÿ", 0}, {"a", "b", -1}, {"B", "a", 1},
      {"ab", "abc", -1}, {"", "", 0}, {"_a", "b", -1},  // '_' sorts before the letters folded to lower case
      {"信", "A", 1},
  };
  for (const auto& c : cases) {
    const int r = k58::rtl::CompareNoCase(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
  EXPECT_TRUE(k58::rtl::StartsWithNoCase("Éclair", "éc"));
  EXPECT_FALSE(k58::rtl::StartsWithNoCase("éc", "Éclair"));
  EXPECT_TRUE(k58::rtl::StartsWithNoCase("x", ""));
}

}  // namespace
}  // namespace rtl_test
