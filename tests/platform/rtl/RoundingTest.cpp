#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

TEST(Round, HalvesGoToEven) {
  const struct {
    Extended value;
    Int64 expected;
  } cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},     {3.5, 4},     {-0.5, 0},   {-1.5, -2},
      {-2.5, -2}, {0.49, 0},  {0.51, 1},    {2.5000001, 3}, {1e15 + 0.5, 1000000000000000},
      {-7.0, -7}, {88.45 * 10, 884}, {67.05 * 10, 670},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.value), c.expected) << static_cast<double>(c.value);
}

TEST(Round, IgnoresTheCallersRoundingMode) {
  const int saved = std::fegetround();
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(saved);
}

TEST(Round, OutOfRangeRaisesInvalidOp) {
  EXPECT_THROW(Round(1e19), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(Trunc(-std::numeric_limits<double>::infinity()), EInvalidOp);
  EXPECT_EQ(Trunc(-9223372036854775808.0L), INT64_MIN);
}

TEST(Trunc, TowardZeroWithIntAndFrac) {
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Int(-2.5), -2);
  EXPECT_EQ(Frac(-2.5), -0.5);
  EXPECT_EQ(Floor(-2.5), -3);
  EXPECT_EQ(Ceil(-2.5), -2);
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsAsMinusOne) {
  const struct {
    int a, b, c, expected;
  } cases[] = {
      {1, 1, 2, 1},          {-1, 1, 2, -1},       {3, 1, 2, 2},          {5, 1, 2, 3},
      {10, 2, 3, 7},         {-10, 2, 3, -7},      {10, -2, -3, 7},       {7, 1, 0, -1},
      {0x40000000, 4, 2, -1},  // 2^31 does not fit
      {-0x40000000, 4, 2, INT32_MIN},
      {2000000000, 2000000000, 2000000000, 2000000000},  // the product needs 64 bits
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Random, FollowsTheLinearCongruentialSequence) {
  RandSeed = 0;
  EXPECT_EQ(Random(100), 0);  // seed becomes 1
  EXPECT_EQ(RandSeed, 1u);
  Random(10);
  EXPECT_EQ(RandSeed, 134775814u);
  for (int i = 0; i < 1000; ++i) {
    const Integer r = Random(7);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 7);
  }
  EXPECT_EQ(Random(0), 0);
}

TEST(Extended80, StreamFormRoundTrips) {
  const struct {
    double value;
    Byte bytes[10];
  } cases[] = {
      {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
  };
  for (const auto& c : cases) {
    Byte b[10];
    ExtendedToBytes(c.value, b);
    EXPECT_EQ(0, memcmp(b, c.bytes, 10)) << c.value;
    EXPECT_EQ(static_cast<double>(BytesToExtended(c.bytes)), c.value);
  }
  for (double v : {5e-324, 1.7e308, 438.125, -88.45}) {
    Byte b[10];
    ExtendedToBytes(v, b);
    EXPECT_EQ(static_cast<double>(BytesToExtended(b)), v);
  }
}

}  // namespace rtl_test
