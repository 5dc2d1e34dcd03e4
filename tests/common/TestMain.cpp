// Entry point of every test executable.
//
// The locale settings are pinned before any test runs, so no result depends on the machine:
// InvariantFormatSettings() — '.' decimal, ',' thousands, '-' date separator with "yyyy/mm/dd"
// (2024-03-05), ':' time separator with "hh:nn:ss", English month and day names, "AM"/"PM",
// currency "$" with 2 decimals. A test that needs other settings uses TFormatSettingsGuard.
//
// A failing test leaves a picture of what it drew in the failure folder (see FailureImage.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "tests/common/FailureImage.h"

namespace k58test {

namespace {

std::vector<ImageWriter>& Sources() {
  static std::vector<ImageWriter> S;
  return S;
}

ImageWriter& DefaultSource() {
  static ImageWriter W;
  return W;
}

// Writes the picture at the first failure of each test, while what failed is still on screen.
class FailureImages : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& Info) override {
    // Parameterised names hold '/', which would make folders.
    name_ = std::string(Info.test_suite_name()) + "." + Info.name();
    for (char& C : name_)
      if (C == '/') C = '_';
    written_ = false;
  }
  void OnTestEnd(const ::testing::TestInfo&) override { name_.clear(); }

  // Called with the test framework's lock held: asks it nothing.
  void OnTestPartResult(const ::testing::TestPartResult& Result) override {
    if (written_ || name_.empty() || !Result.failed()) return;
    const ImageWriter& Writer = Sources().empty() ? DefaultSource() : Sources().back();
    if (!Writer) return;
    written_ = true;
    std::error_code Ignored;
    std::filesystem::create_directories(FailureFolder(), Ignored);
    Writer(FailureFolder() + "/" + name_ + ".png");
  }

  std::string name_;
  bool written_ = false;
};

}  // namespace

FailureImage::FailureImage(ImageWriter Writer) { Sources().push_back(std::move(Writer)); }
FailureImage::~FailureImage() { Sources().pop_back(); }

void SetDefaultFailureImage(ImageWriter Writer) { DefaultSource() = std::move(Writer); }

std::string FailureFolder() { return K58_FAILURE_DIR; }

}  // namespace k58test

int main(int argc, char** argv) {
  FormatSettings = InvariantFormatSettings();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new k58test::FailureImages);
  return RUN_ALL_TESTS();
}
