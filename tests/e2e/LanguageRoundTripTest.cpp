// Every window and dialog of the program in both shipped languages, headless: switched to Chinese and back
// through the program's own language command, each text the translator rewrites shows the language file's
// text; and every text the translator would rewrite in any form has a key in both language files. Which
// texts those are is learnt from the translator itself, reading through a language file that records its
// reads, so the check follows the translation rules and the classes the forms are made of.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/ChInfo.h"
#include "app/MainFrm.h"
#include "app/SetLanguage.h"
#include "controls/editors/uiComboBox.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/forms/Menus.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"
#include "tests/e2e/RadioRunFixture.h"
#include "tests/sim/RadioSim.h"

namespace {

// A language file that gives back what a form shows: every read returns its default (the text shown) and
// is recorded, so translating a form through it changes nothing and lists the keys and texts.
class TShownTexts : public TCustomIniFile {
public:
  struct TRead {
    String Key;
    String Shown;
  };
  std::vector<TRead> Reads;

  TShownTexts() : TCustomIniFile(String()) {}
  String ReadString(const String&, const String& Ident, const String& Default) override {
    Reads.push_back({Ident, Default});
    return Default;
  }
  void WriteString(const String&, const String&, const String&) override {}
  void ReadSection(const String&, TStrings*) override {}
  void ReadSections(TStrings*) override {}
  void ReadSectionValues(const String&, TStrings*) override {}
  void EraseSection(const String&) override {}
  void DeleteKey(const String&, const String&) override {}
  void UpdateFile() override {}
};

// What the translator reads for Form, with the texts Form shows.
std::vector<TShownTexts::TRead> ShownTexts(TComponent* Form, bool TranslateLists) {
  TShownTexts Probe;
  TranslateForm(Form, Probe, TranslateLists);
  return Probe.Reads;
}

// The program's windows: how each is opened and whether the program translates its lists.
enum class TOpen { MainWindow, Child, Dialog, TonePicker, NotTranslated };
struct TWindowUse {
  const char* ClassName;
  TOpen Open;
  Integer Command;
  bool Lists;
};
constexpr TWindowUse Windows[] = {
    {"TfMainFrm", TOpen::MainWindow, 0, true},
    {"TfChInfo", TOpen::Child, cmChannelInfo, true},
    {"TfBInfoEdit", TOpen::Child, cmChannelEdit, true},
    {"TfBFunSet", TOpen::Child, cmFunctionSetting, true},
    {"TfInfoMsg", TOpen::Child, cmRadioInfo, true},
    {"TfPassWord", TOpen::Child, cmPassword, true},
    {"TfSetPort", TOpen::Dialog, cmPort, true},
    {"TfSetLanguage", TOpen::Dialog, cmLanguage, false},
    {"TfModel", TOpen::Dialog, cmModel, false},
    {"TfReadRadio", TOpen::Dialog, cmReadRadio, false},
    {"TfWriteRadio", TOpen::Dialog, cmWriteRadio, false},
    {"TfTestFrequency", TOpen::Dialog, cmTestFrequency, true},
    {"TfEmbeddedMessage", TOpen::Dialog, cmEmbeddedMessage, true},
    {"TfFrmAbout", TOpen::Dialog, cmAbout, false},
    {"TfToneOption", TOpen::TonePicker, 0, false},
    // The serial library's own port list and the data module: the program translates neither.
    {"TComSelectForm", TOpen::NotTranslated, 0, false},
    {"TfMaindb", TOpen::NotTranslated, 0, false},
};

const TWindowUse* FindWindowUse(const String& ClassName) {
  for (const TWindowUse& W : Windows)
    if (ClassName == W.ClassName) return &W;
  return nullptr;
}

// Texts the program writes itself after translating: the main window's caption and its status texts, the
// About box's caption (the program's), the tone picker's frame (named after the table shown) and the port
// dialog's frame (from the program's messages).
bool SetByTheWindow(const String& ClassName, const String& Key) {
  static const std::map<String, std::vector<String>> Own = {
      {"TfMainFrm", {"fMainFrm.Caption", "stModel.Caption", "stFreq.Caption"}},
      {"TfFrmAbout", {"fFrmAbout.Caption"}},
      {"TfToneOption", {"gbList.Caption"}},
      {"TfSetPort", {"uiPort.Caption"}},
  };
  const auto Found = Own.find(ClassName);
  return Found != Own.end() && std::find(Found->second.begin(), Found->second.end(), Key) != Found->second.end();
}

// Whether a text the translator reads needs a key in every language file: it holds words (a lower-case
// letter or a character beyond ASCII). Separators, numbers, port names and tone codes read the same in
// every language.
bool NeedsKey(const String& ClassName, const TShownTexts::TRead& Text) {
  if (SetByTheWindow(ClassName, Text.Key)) return false;
  return std::any_of(Text.Shown.begin(), Text.Shown.end(), [](char C) {
    return (C >= 'a' && C <= 'z') || static_cast<unsigned char>(C) >= 0x80;
  });
}

class LanguageRoundTrip : public e2e_test::RadioRunTest {
protected:

  // Every text the translator rewrites in Form shows the value of its key in the language file File.
  void ExpectLanguage(TComponent* Form, const String& File) {
    const TWindowUse* Use = FindWindowUse(Form->ClassName());
    ASSERT_NE(Use, nullptr) << Form->ClassName();
    SCOPED_TRACE(Form->ClassName());
    TIniFile Ini(app_test::ResourceFile(File));
    const std::vector<TShownTexts::TRead> Texts = ShownTexts(Form, Use->Lists);
    EXPECT_FALSE(Texts.empty());
    for (const TShownTexts::TRead& Text : Texts) {
      if (SetByTheWindow(Form->ClassName(), Text.Key)) continue;
      if (!Ini.ValueExists(Form->Name(), Text.Key)) {
        if (NeedsKey(Form->ClassName(), Text))
          ADD_FAILURE() << File << " has no [" << Form->Name() << "] " << Text.Key << " for \"" << Text.Shown << "\"";
        continue;
      }
      EXPECT_EQ(Text.Shown, Ini.ReadString(Form->Name(), Text.Key, "")) << File << " [" << Form->Name() << "] "
                                                                        << Text.Key;
    }
    Checked.push_back(Form->ClassName());
  }

  // The language command, with the language dialog checked in the language it opens in.
  void SwitchLanguage(Integer Index, const String& ShownIn) {
    Modal->Then([this, Index, ShownIn](TCustomForm* Form) {
      ExpectLanguage(Form, ShownIn);
      static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(Index);
      app_test::ClickButton(Form, "btnOk");
    });
    fMainFrm->DoCommand(cmLanguage);
    Pump();
    ASSERT_EQ(Modal->Pending(), 0u);
    ASSERT_EQ(ALL->LanguageIndex, Index);
  }

  // Opens every other window of the program and checks its texts against File.
  void ExpectEveryWindow(const String& File) {
    ExpectLanguage(fMainFrm, File);
    for (const TWindowUse& W : Windows) {
      if (W.Open == TOpen::Child) {
        fMainFrm->DoCommand(W.Command);
        Pump();
        TCustomForm* Child = nullptr;
        for (Integer I = 0; I < fMainFrm->MDIChildCount(); ++I)
          if (fMainFrm->MDIChildren(I)->ClassName() == W.ClassName) Child = fMainFrm->MDIChildren(I);
        ASSERT_NE(Child, nullptr) << W.ClassName << " did not open";
        ExpectLanguage(Child, File);
      } else if (W.Open == TOpen::Dialog && W.Command != cmLanguage) {
        Modal->Then([this, &File](TCustomForm* Form) {
          ExpectLanguage(Form, File);
          Form->SetModalResult(mrCancel);
        });
        fMainFrm->DoCommand(W.Command);
        Pump();
        EXPECT_EQ(Modal->Pending(), 0u) << W.ClassName << " did not open";
      }
    }
    // The tone picker runs from the tone box of a channel in use.
    fMainFrm->DoCommand(cmChannelInfo);
    Pump();
    ASSERT_NE(fChInfo, nullptr);
    fChInfo->gvData->SetForeText(ccRxFrequency, 2, "455.0");
    fChInfo->gvData->FocusCell(ccRxTone, 2, true);
    Pump();
    Modal->Then([this, &File](TCustomForm* Form) {
      ExpectLanguage(Form, File);
      Form->SetModalResult(mrCancel);
    });
    fChInfo->ComBoxDblClick(fChInfo->cbQT);
    EXPECT_EQ(Modal->Pending(), 0u) << "the tone picker did not open";
    TakeBoxTexts();
  }

  std::vector<String> Checked;
};

TEST_F(LanguageRoundTrip, EveryTextOfEveryWindowFollowsTheLanguageCommandBothWays) {
  StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini")));
  ALL->ShowAboutPicture = true;
  ASSERT_EQ(ALL->LanguageIndex, 0);
  SwitchLanguage(1, "English.Ini");
  ExpectEveryWindow("Chinese.Ini");
  SwitchLanguage(0, "Chinese.Ini");
  ExpectEveryWindow("English.Ini");

  // Every window of the program was seen in both languages.
  for (const TWindowUse& W : Windows) {
    if (W.Open == TOpen::NotTranslated) continue;
    EXPECT_EQ(std::count(Checked.begin(), Checked.end(), String(W.ClassName)), 2) << W.ClassName;
  }
}

TEST_F(LanguageRoundTrip, EveryTranslatedTextOfEveryFormHasAKeyInBothLanguageFiles) {
  app_test::TFakePorts PortList({1});  // the port selection dialog lists ports when it is made
  StartProgram();
  TIniFile English(app_test::ResourceFile("English.Ini"));
  TIniFile Chinese(app_test::ResourceFile("Chinese.Ini"));
  std::vector<String> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(app_test::ResourceFile("forms")))
    if (Entry.path().extension() == ".form") Names.push_back(Entry.path().stem().string());
  ASSERT_FALSE(Names.empty());
  for (const String& Name : Names) {
    SCOPED_TRACE(Name);
    const TWindowUse* Use = FindWindowUse(Name);
    ASSERT_NE(Use, nullptr) << "a form the language round trip does not open";
    if (Use->Open == TOpen::NotTranslated) continue;
    TClass Class = GetClass(Name);
    ASSERT_NE(Class, nullptr);
    TObjectPtr<TComponent> Form(Class->CreateComponent(nullptr));
    // List items count only in the forms whose lists the program translates.
    for (const TShownTexts::TRead& Text : ShownTexts(Form.get(), Use->Lists)) {
      if (!NeedsKey(Name, Text)) continue;
      EXPECT_TRUE(English.ValueExists(Form->Name(), Text.Key)) << "English.Ini [" << Form->Name() << "] " << Text.Key << " for \"" << Text.Shown << "\"";
      EXPECT_TRUE(Chinese.ValueExists(Form->Name(), Text.Key)) << "Chinese.Ini [" << Form->Name() << "] " << Text.Key << " for \"" << Text.Shown << "\"";
    }
  }
}

}  // namespace
