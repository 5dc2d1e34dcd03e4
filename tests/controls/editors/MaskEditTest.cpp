// The masked editor on the pinned test display: typed keys go through its mask mode.
#include "controls/editors/uiMaskEdit.h"
#include "tests/controls/editors/TextEditTesting.h"

namespace editors_test {
namespace {

class MaskEditTest : public TextEditFormTest {};

TEST_F(MaskEditTest, PhoneMaskSkipsLiteralsAndRefusesLetters) {
  auto* edit = NewEdit<TuiMaskEdit>(10, 10);
  edit->ActiveProperties()->SetEditMask("(000) 000-0000");
  Focus(edit);
  Type("555x1234567");
  EXPECT_EQ(edit->Text(), "(555) 123-4567");
}

}  // namespace
}  // namespace editors_test
