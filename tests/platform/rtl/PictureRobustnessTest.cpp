// Pictures come from users and data files: whatever they hold, the formatters either produce text
// or raise the conversion error, and never read or write out of bounds (checked under the
// sanitizers of the test build).
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

namespace {

String RandomPicture(std::mt19937& rng, const char* alphabet, size_t maxLength) {
  const size_t n = std::strlen(alphabet);
  String s;
  const size_t len = rng() % (maxLength + 1);
  for (size_t i = 0; i < len; ++i) s += alphabet[rng() % n];
  return s;
}

}  // namespace

TEST(PictureRobustness, FormatFailsOnlyWithConvertError) {
  std::mt19937 rng(58);
  const std::vector<TVarRec> args = {1, 2.5, "text", 'c', static_cast<const void*>(nullptr), -7};
  for (int i = 0; i < 20000; ++i) {
    const String picture = RandomPicture(rng, "%%%dsfxegnmpu0123456789.:-*ab ", 12);
    try {
      (void)Format(picture, args);
    } catch (const EConvertError&) {
    }
  }
}

TEST(PictureRobustness, FormatFloatAndFormatDateTimeAlwaysProduceText) {
  std::mt19937 rng(936);
  const Extended values[] = {0, -0.5, 88.45, -1234567.891, 1e-300, 1e300};
  for (int i = 0; i < 20000; ++i) {
    const String floatPicture = RandomPicture(rng, "0#.,;E+-e'\"x ", 14);
    EXPECT_NO_THROW((void)FormatFloat(floatPicture, values[i % 6])) << floatPicture;
    const String datePicture = RandomPicture(rng, "cdmyhnsztaAP/:'\" ", 14);
    EXPECT_NO_THROW((void)FormatDateTime(datePicture, 45356.588 - (i % 3) * 50000.0)) << datePicture;
  }
}

TEST(PictureRobustness, TextScannersRejectGarbage) {
  std::mt19937 rng(65001);
  for (int i = 0; i < 20000; ++i) {
    const String text = RandomPicture(rng, "0123456789-:. aApPE+x$", 12);
    TDateTime d;
    Extended e;
    Integer n;
    (void)TryStrToDateTime(text, d);
    (void)TryStrToFloat(text, e);
    (void)TryStrToInt(text, n);
  }
}

}  // namespace rtl_test
