#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"

namespace rtl_test {

namespace {
K58_DECLARE_EXCEPTION(ETestError, Exception);
}

TEST(Exception, CarriesMessageAndClassName) {
  try {
    throw ETestError("bad value");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "bad value");
    EXPECT_STREQ(e.ClassName(), "ETestError");
  }
}

}  // namespace rtl_test
