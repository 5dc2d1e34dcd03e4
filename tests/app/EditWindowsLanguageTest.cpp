// The channel edit and function settings windows in both shipped languages: every text the translator
// rewrites has a key in both language files, and switching to Chinese and back gives each language's text
// while the lists keep their selection.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/MainFrm.h"
#include "controls/editors/uiButtons.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/extra/uiPageControl.h"
#include "platform/classes/IniFiles.h"
#include "platform/forms/StdCtrls.h"
#include "tests/app/ProgramFixture.h"

namespace {

// A text of a window the translator rewrites: its key and how to read it.
struct TText {
  String Key;
  std::function<String()> Read;
};

std::vector<TText> TranslatedTexts(TForm* Form) {
  std::vector<TText> Texts{{Form->Name() + ".Caption", [Form] { return Form->Caption(); }}};
  for (Integer I = 0; I < Form->ComponentCount(); ++I) {
    TComponent* C = Form->Components(I);
    const String Key = C->Name() + ".Caption";
    if (auto* Combo = dynamic_cast<TuiComboBox*>(C)) {
      if (Combo->Tag() == -2) continue;
      const Integer Count = Combo->Tag() == -3 ? 1 : Combo->Properties()->Items()->Count();
      for (Integer Item = 0; Item < Count; ++Item)
        Texts.push_back({C->Name() + "." + IntToStr(Item),
                         [Combo, Item] { return Combo->Properties()->Items()->Strings(Item); }});
    } else if (auto* Check = dynamic_cast<TuiCheckBox*>(C)) {
      Texts.push_back({Key, [Check] { return Check->Caption(); }});
    } else if (dynamic_cast<TLabel*>(C) || dynamic_cast<TButton*>(C) || dynamic_cast<TGroupBox*>(C) ||
               dynamic_cast<TuiTabSheet*>(C)) {
      auto* Control = static_cast<TControl*>(C);
      Texts.push_back({Key, [Control] { return Control->Caption(); }});
    }
  }
  return Texts;
}

class EditWindowsLanguage : public app_test::ProgramTest {
protected:
  void TearDown() override {
    // The combo boxes' popup windows are forms of their own: the windows go first, with their boxes.
    if (fBInfoEdit != nullptr) FreeObject(fBInfoEdit);
    if (fBFunSet != nullptr) FreeObject(fBFunSet);
    ProgramTest::TearDown();
  }
};

TEST_F(EditWindowsLanguage, EveryTextHasAKeyInBothFilesAndFollowsTheLanguageBothWays) {
  StartProgram();
  fMainFrm->DoCommand(cmChannelEdit);
  fMainFrm->DoCommand(cmFunctionSetting);
  Pump();
  ASSERT_NE(fBInfoEdit, nullptr);
  ASSERT_NE(fBFunSet, nullptr);
  const Integer Selected = fBFunSet->cbMonikey->ItemIndex();
  ASSERT_GE(Selected, 0);
  for (TForm* Window : std::initializer_list<TForm*>{fBInfoEdit, fBFunSet}) {
    SCOPED_TRACE(Window->Name());
    const std::vector<TText> Texts = TranslatedTexts(Window);
    for (const char* Language : {"Chinese", "English", "Chinese", "English"}) {
      SCOPED_TRACE(Language);
      TIniFile Ini(ALL->AppDir + Language + ".Ini");
      TranslateForm(Window, Language, true);
      for (const TText& Text : Texts) {
        ASSERT_TRUE(Ini.ValueExists(Window->Name(), Text.Key)) << Text.Key;
        EXPECT_EQ(Text.Read(), Ini.ReadString(Window->Name(), Text.Key, "")) << Text.Key;
      }
    }
  }
  EXPECT_EQ(fBFunSet->cbMonikey->ItemIndex(), Selected) << "a list keeps its selection";
}

}  // namespace
