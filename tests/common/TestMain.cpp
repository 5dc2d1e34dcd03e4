// Entry point of every test executable.
//
// The locale settings are pinned before any test runs, so no result depends on the machine:
// InvariantFormatSettings() — '.' decimal, ',' thousands, '-' date separator with "yyyy/mm/dd"
// (2024-03-05), ':' time separator with "hh:nn:ss", English month and day names, "AM"/"PM",
// currency "$" with 2 decimals. A test that needs other settings uses TFormatSettingsGuard.
#include <gtest/gtest.h>

#include "platform/rtl/FormatSettings.h"

int main(int argc, char** argv) {
  FormatSettings = InvariantFormatSettings();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
