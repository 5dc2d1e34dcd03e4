// The colour and font dialog components: what they show first, what they take back on OK, and that a
// cancelled dialog changes nothing.
#include "StdCtlTesting.h"

#include "platform/forms/Dialogs.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/win/ui/MessageBox.h"

namespace forms_test {
namespace {

class ColorFontDialogsTest : public FormTest {
 protected:
  void Answer(int Button) {
    k58::builtin::SetCommonDialogHandler([this, Button](const k58::builtin::CommonDialogInfo& Info) {
      kinds.push_back(Info.Kind);
      return Button;
    });
  }
  void TearDown() override {
    k58::builtin::SetCommonDialogHandler(nullptr);
    FormTest::TearDown();
  }
  std::vector<k58::builtin::CommonDialogKind> kinds;
};

TEST_F(ColorFontDialogsTest, TheColorDialogKeepsItsColourAndCustomColours) {
  TObjectPtr<TColorDialog> dialog(new TColorDialog(nullptr));
  dialog->SetColor(clTeal);
  dialog->CustomColors()->Add("ColorB=00FF00");
  Answer(IDOK);
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->Color(), clTeal);
  EXPECT_EQ(dialog->CustomColors()->Values("ColorB"), "00FF00");
  EXPECT_EQ(dialog->CustomColors()->Values("ColorA"), "FFFFFF");
  dialog->SetColor(clRed);
  Answer(IDCANCEL);
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->Color(), clRed);
  EXPECT_EQ(kinds, (std::vector{k58::builtin::CommonDialogKind::Color, k58::builtin::CommonDialogKind::Color}));
}

TEST_F(ColorFontDialogsTest, TheFontDialogTakesTheChosenFontBack) {
  TObjectPtr<TFontDialog> dialog(new TFontDialog(nullptr));
  dialog->Font()->SetName("Tahoma");
  dialog->Font()->SetSize(12);
  dialog->Font()->SetStyle(TFontStyles{fsBold, fsItalic});
  dialog->Font()->SetColor(clNavy);
  Answer(IDOK);
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->Font()->Name(), "Tahoma");
  EXPECT_EQ(dialog->Font()->Size(), 12);
  EXPECT_EQ(dialog->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(dialog->Font()->Color(), clNavy);
  Answer(IDCANCEL);
  dialog->Font()->SetSize(9);
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->Font()->Size(), 9);
  EXPECT_EQ(kinds.front(), k58::builtin::CommonDialogKind::Font);
}

}  // namespace
}  // namespace forms_test
