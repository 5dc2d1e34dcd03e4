// Variant order, the array builders, the fixed-width helpers and the variant stream: golden bytes, round
// trips with their type changes, and damaged streams.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "controls/foundation/uiVariants.h"
#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/SysUtils.h"

namespace foundation_test {

using Bytes = std::vector<uint8_t>;

Bytes StreamBytes(TMemoryStream& AStream) {
  const auto* p = static_cast<const uint8_t*>(AStream.Memory());
  return Bytes(p, p + AStream.Size());
}

Bytes VariantBytes(const Variant& V) {
  TMemoryStream stream;
  WriteVariantToStream(&stream, V);
  return StreamBytes(stream);
}

// A memory stream holding the bytes, positioned at the start.
struct TBytesStream {
  explicit TBytesStream(const Bytes& ABytes) {
    if (!ABytes.empty()) Stream.WriteBuffer(ABytes.data(), static_cast<Integer>(ABytes.size()));
    Stream.SetPosition(0);
  }
  TMemoryStream Stream;
};

Variant ReadBack(const Bytes& ABytes) {
  TBytesStream in(ABytes);
  return ReadVariantFromStream(&in.Stream);
}

Bytes Concat(Bytes A, const Bytes& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

Bytes TextBytes(const String& S) { return Bytes(S.begin(), S.end()); }

TEST(CompareVariants, OrdersNullNumbersTextsAndArrays) {
  const Variant two = Variant(Integer{2});
  const Variant ten = Variant(Integer{10});
  struct Case {
    const char* Name;
    Variant A, B;
    Integer Expected;
  } cases[] = {
      {"Null = Null", Null(), Null(), 0},
      {"Null first", Null(), Variant(Integer{5}), -1},
      {"Null first, reversed", Variant(Integer{5}), Null(), 1},
      {"2 < 10", two, ten, -1},
      {"10 > 2", ten, two, 1},
      {"same text", Variant("a"), Variant("a"), 0},
      {"texts by bytes", Variant("B"), Variant("a"), -1},
      {"double beside integer", Variant(2.5), two, 1},
      {"text that is a number", Variant("12"), ten, 1},
      {"incomparable text first", Variant("abc"), Variant(Integer{5}), -1},
      {"incomparable number first", Variant(Integer{5}), Variant("abc"), -1},
      {"array after scalar", VarArrayOf({two}), two, 1},
      {"scalar before array", two, VarArrayOf({two}), -1},
      {"high bounds differ: the difference", VarArrayOf({two, two}), VarArrayOf({two, two, two, two}), -2},
      {"first differing element decides", VarArrayOf({two, ten, two}), VarArrayOf({two, two, ten}), 1},
      {"equal arrays", VarArrayOf({two, Variant("x")}), VarArrayOf({two, Variant("x")}), 0},
      {"nested arrays", VarArrayOf({VarArrayOf({two})}), VarArrayOf({VarArrayOf({ten})}), -1},
      {"empty arrays", VarArrayOf({}), VarArrayOf({}), 0},
      {"BCD values exactly", VarFMTBcdCreate(StrToBcd("0.1000000000000000000001")),
       VarFMTBcdCreate(StrToBcd("0.1")), 1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, CompareVariants(c.A, c.B)) << c.Name;
}

TEST(CompareVariants, SameComparesBooleansByTheirText) {
  EXPECT_TRUE(AreVariantsSame(Variant(true), Variant("True")));
  EXPECT_FALSE(AreVariantsEqual(Variant(true), Variant("True")));
  EXPECT_FALSE(AreVariantsSame(Variant(false), Variant("True")));
  EXPECT_FALSE(AreVariantsSame(Null(), Variant(false)));
  EXPECT_TRUE(AreVariantsSame(Variant(Integer{3}), Variant(3.0)));
  EXPECT_TRUE(AreVariantsEqual(Null(), Null()));
}

TEST(VariantTests, KindsAnswerByType) {
  TSQLTimeStamp stamp;
  stamp.Year = 2001;
  stamp.Month = 5;
  stamp.Day = 1;
  EXPECT_TRUE(IsNullOrEmptyTextVariant(Null()));
  EXPECT_TRUE(IsNullOrEmptyTextVariant(Variant("")));
  EXPECT_TRUE(IsNullOrEmptyTextVariant(Variant(WideString())));
  EXPECT_FALSE(IsNullOrEmptyTextVariant(Variant()));
  EXPECT_FALSE(IsNullOrEmptyTextVariant(Variant(Integer{0})));
  EXPECT_FALSE(IsNullOrEmptyTextVariant(Variant(" ")));

  EXPECT_TRUE(IsDateTimeVariant(Variant::FromDateTime(1)));
  EXPECT_TRUE(IsDateTimeVariant(VarSQLTimeStampCreate(stamp)));
  EXPECT_FALSE(IsDateTimeVariant(Variant(1.0)));
  EXPECT_TRUE(IsNumericVariant(VarFMTBcdCreate(IntegerToBcd(1))));
  EXPECT_TRUE(IsNumericVariant(Variant(Currency::FromInt64(1))));
  EXPECT_FALSE(IsNumericVariant(Variant::FromDateTime(1)));
  EXPECT_FALSE(IsNumericVariant(Variant("1")));
  EXPECT_TRUE(IsCurrencyVarType(varCurrency));
  EXPECT_TRUE(IsCurrencyVarType(VarFMTBcd()));
  EXPECT_FALSE(IsCurrencyVarType(varDouble));
}

TEST(VariantArrays, BuildersMakeZeroBasedVariantArrays) {
  Variant pair = MakeVariantPair(Variant("a"), Variant("b"));
  EXPECT_EQ(0, VarArrayLowBound(pair, 1));
  EXPECT_EQ(1, VarArrayHighBound(pair, 1));
  AppendToVariantArray(pair, Variant("c"));
  EXPECT_EQ(0, CompareVariants(VarArrayOf({Variant("a"), Variant("b"), Variant("c")}), pair));
  const Variant single = MakeVariantSingleArray(Null());
  EXPECT_EQ(0, VarArrayHighBound(single, 1));
  EXPECT_TRUE(VarArrayGet(single, {0}).IsNull());
}

TEST(VariantStream, WritesTheGoldenBytes) {
  const String s255(255, 'q');
  const String s300(300, 'q');
  struct Case {
    const char* Name;
    Variant Value;
    Bytes Expected;
  } cases[] = {
      {"Integer 300", Variant(Integer{300}), {0x03, 0x2C, 0x01}},
      {"Integer -1", Variant(Integer{-1}), {0x02, 0xFF}},
      {"Integer 70000", Variant(Integer{70000}), {0x04, 0x70, 0x11, 0x01, 0x00}},
      {"Byte 200", Variant(Byte{200}), {0x03, 0xC8, 0x00}},
      {"True", Variant(true), {0x09}},
      {"False", Variant(false), {0x08}},
      {"Unassigned", Variant(), {0x0D}},
      {"Null", Null(), {0x00}},
      {"255 characters", Variant(s255), Concat({0x06, 0xFF}, TextBytes(s255))},
      {"300 characters", Variant(s300), Concat({0x0C, 0x2C, 0x01, 0x00, 0x00}, TextBytes(s300))},
      {"array [1, 'x', Null]", VarArrayOf({Variant(Integer{1}), Variant("x"), Null()}),
       {0x01, 0x02, 0x03, 0x02, 0x01, 0x06, 0x01, 0x78, 0x00}},
      {"Currency 1.5", Variant(Currency::FromScaled(15000)), {0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {"Double 1 as extended", Variant(1.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {"Single 1", Variant(Single{1}), {0x0F, 0x00, 0x00, 0x80, 0x3F}},
      {"Date 2", Variant::FromDateTime(2), {0x11, 0, 0, 0, 0, 0, 0, 0, 0x40}},
      {"wide string", Variant(WideString(u"\u00e9\U0001F600")), {0x12, 0x03, 0, 0, 0, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE}},
      {"Word as its text", Variant(Word{7}), {0x06, 0x01, '7'}},
      {"Int64 as its text", Variant(Int64{-12}), {0x06, 0x03, '-', '1', '2'}},
      {"FMTBcd as its text", VarFMTBcdCreate(StrToBcd("2.50")), {0x06, 0x03, '2', '.', '5'}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, VariantBytes(c.Value)) << c.Name;
}

TEST(VariantStream, ReadsBackValuesWithTheirStreamTypes) {
  struct Case {
    const char* Name;
    Variant Value;
    TVarType ReadType;
  } cases[] = {
      {"ShortInt", Variant(ShortInt{-5}), varShortInt},
      {"Byte becomes Smallint", Variant(Byte{200}), varSmallint},
      {"small Integer becomes ShortInt", Variant(Integer{1}), varShortInt},
      {"Integer", Variant(Integer{-2147483647 - 1}), varInteger},
      {"Double", Variant(0.1), varDouble},
      {"Single", Variant(Single{0.25f}), varSingle},
      {"Currency", Variant(Currency::FromScaled(-123456789)), varCurrency},
      {"Date", Variant::FromDateTime(36526.75), varDate},
      {"Boolean", Variant(true), varBoolean},
      {"wide string", Variant(WideString(u"\U0001F600")), varOleStr},
      {"string", Variant("text"), varString},
      {"Word becomes text", Variant(Word{65535}), varString},
      {"Int64 becomes text", Variant(Int64{1} << 40), varString},
      {"Null", Null(), varNull},
      {"Empty", Variant(), varEmpty},
  };
  for (const Case& c : cases) {
    const Variant back = ReadBack(VariantBytes(c.Value));
    EXPECT_EQ(c.ReadType, VarType(back)) << c.Name;
    EXPECT_TRUE(AreVariantsEqual(c.Value, back)) << c.Name;
  }
  const Variant array = ReadBack({0x01, 0x02, 0x03, 0x02, 0x01, 0x06, 0x01, 0x78, 0x00});
  ASSERT_TRUE(array.IsArray());
  EXPECT_EQ(2, VarArrayHighBound(array, 1));
  EXPECT_EQ(varShortInt, VarType(VarArrayGet(array, {0})));
  EXPECT_EQ("x", VarArrayGet(array, {1}).AsString());
  EXPECT_TRUE(VarArrayGet(array, {2}).IsNull());
  const Variant empty = ReadBack({0x01, 0x02, 0x00});
  EXPECT_EQ(-1, VarArrayHighBound(empty, 1));
}

TEST(VariantStream, DamagedStreamsRaiseReadErrorBeforeAllocating) {
  Bytes deep;
  for (Integer i = 0; i <= MaxVariantStreamNesting; ++i) deep.insert(deep.end(), {0x01, 0x02, 0x01});
  deep.push_back(0x00);
  struct Case {
    const char* Name;
    Bytes Input;
  } cases[] = {
      {"unknown code 7", {0x07}},
      {"unknown code 19", {0x13}},
      {"empty stream", {}},
      {"integer cut short", {0x04, 0x01, 0x02}},
      {"string shorter than its length", {0x06, 0x05, 'a', 'b'}},
      {"negative long string length", {0x0C, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"huge long string length", {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}},
      {"negative wide string count", {0x12, 0xFE, 0xFF, 0xFF, 0xFF}},
      {"huge wide string count", {0x12, 0x00, 0x00, 0x00, 0x40, 'a', 0}},
      {"negative array count", {0x01, 0x02, 0xFF}},
      {"array count beyond the stream", {0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}},
      {"array count not an integer item", {0x01, 0x06, 0x01, '1', 0x00}},
      {"arrays nested too deep", deep},
  };
  for (const Case& c : cases) {
    try {
      ReadBack(c.Input);
      ADD_FAILURE() << c.Name << ": no error";
    } catch (const EReadError& e) {
      EXPECT_EQ("Stream read error", e.Message()) << c.Name;
    }
  }
}

TEST(VariantStream, WriteErrorsKeepWhatWasWritten) {
  Variant grid = VarArrayCreate({0, 1, 0, 1}, varVariant);
  TMemoryStream stream;
  EXPECT_THROW(WriteVariantToStream(&stream, grid), EWriteError);
  EXPECT_EQ(0, stream.Size());

  // The second element has no text form: the array code, count and first element stay on the stream.
  const Variant mixed = VarArrayOf({Variant(Integer{1}), Variant::FromDispatch(nullptr)});
  try {
    WriteVariantToStream(&stream, mixed);
    ADD_FAILURE() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ("Stream write error", e.Message());
  }
  EXPECT_EQ((Bytes{0x01, 0x02, 0x02, 0x02, 0x01}), StreamBytes(stream));
}

TEST(FixedWidthStream, HelpersKeepTheirWidthsAndValues) {
  TMemoryStream stream;
  WriteAnsiStringToStream(&stream, "ab");
  WriteWideStringToStream(&stream, u"\U0001F600");
  WriteBooleanToStream(&stream, true);
  WriteWordToStream(&stream, 65535);
  WriteLargeIntToStream(&stream, -2);
  WriteFloatToStream(&stream, 0.1L);
  EXPECT_EQ((Bytes{2, 0, 0, 0, 'a', 'b', 2, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 1, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF,
                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}),
            StreamBytes(stream));
  stream.SetPosition(0);
  EXPECT_EQ("ab", ReadAnsiStringFromStream(&stream));
  EXPECT_EQ(u"\U0001F600", ReadWideStringFromStream(&stream));
  EXPECT_TRUE(ReadBooleanFromStream(&stream));
  EXPECT_EQ(-1, ReadSmallIntFromStream(&stream));  // the Word's bytes as a SmallInt
  EXPECT_EQ(-2, ReadLargeIntFromStream(&stream));
  Extended value = 0;
  ReadFloatFromStreamVar(&stream, value);
  EXPECT_EQ(0.1L, value);

  // Any byte but 0 is True; a double travels exactly through the extended format.
  TBytesStream seven({7});
  EXPECT_TRUE(ReadBooleanFromStream(&seven.Stream));
  for (const double d : {0.1, -1e308, 5e-324, 123456.789}) {
    EXPECT_EQ(d, ReadBack(VariantBytes(Variant(d))).AsDouble()) << d;
  }
  EXPECT_TRUE(std::isinf(k58::foundation::ExtendedToDouble(1e4000L)));
}

}  // namespace foundation_test
