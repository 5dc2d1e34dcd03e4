// The radio information, password, tone, test frequency, embedded message and About windows used as a user
// uses them, headless, with the simulated radio on a pseudo-terminal: what they show of a radio that was
// read, a new password written to the radio, a tone picked for a channel, the test frequency table, and
// every text of these windows in both languages. Each window leaves a picture next to the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/AllClass.h"
#include "app/ChInfo.h"
#include "app/EmbeddedMessage.h"
#include "app/FrmAbout.h"
#include "app/InfoMsg.h"
#include "app/MainFrm.h"
#include "app/MeMode.h"
#include "app/PassWord.h"
#include "app/SetLanguage.h"
#include "app/TestFrequency.h"
#include "app/ToneOption.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiRadioButton.h"
#include "controls/editors/uiTextEdit.h"
#include "grid/CellGrid.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"
#include "tests/e2e/RadioRunFixture.h"
#include "tests/sim/RadioSim.h"

namespace {

using app_test::ClickButton;

class WindowsRun : public e2e_test::RadioRunTest {
protected:
  void SetUp() override {
    RadioRunTest::SetUp();
    StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini")));
  }

  void Choose(const String& Item) {
    auto* Found = dynamic_cast<TMenuItem*>(fMainFrm->FindComponent(Item));
    ASSERT_NE(Found, nullptr) << Item;
    Found->Click();
    Pump();
  }

  // Program > Read From Radio or Write To Radio, OK, and the program's messages until the dialog has
  // shown its result. The program's clock moves only while the program and the radio are both still.
  void Transfer(const String& Item) {
    Modal->Then([this](TCustomForm* Dialog) {
      ClickButton(Dialog, "btnOk");
      size_t Heard = 0;
      for (int Round = 0, Still = 0; Round < 10000 && Dialog->ModalResult() == mrNone && Boxes.empty(); ++Round) {
        Application->ProcessMessages();
        MSG M;
        const bool Idle = !k58::winui::RawPending() && !PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);
        if (!Idle || Radio->Transcript().size() != Heard) {
          Heard = Radio->Transcript().size();
          Still = 0;
        } else if (++Still >= 25) {
          Display->Advance(50);
          Still = 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      if (Dialog->ModalResult() == mrNone) ClickButton(Dialog, "btnCancel");
    });
    Choose(Item);
    EXPECT_EQ(Modal->Pending(), 0u);
  }

  // Writes a picture of Window next to the program.
  void Picture(const String& Name, HWND Window) {
    const char* Out = std::getenv("K58_RUNTIME_DIR");
    const String Dir = Out != nullptr ? Out : DataDir();
    std::filesystem::create_directories(Dir);
    Display->Pump();
    EXPECT_TRUE(Display->SavePng(Dir + "/k58-" + Name + ".png", Window)) << Name;
  }

  String ImageBytes(Integer Offset, Integer Count) const {
    return String(reinterpret_cast<const char*>(&ALL->Image[Offset]), Count);
  }

};

TEST_F(WindowsRun, RadioInformationAndPasswordOfARadioAFileAndANewPasswordWritten) {
  // A blank image: no serial number, the time the image was made.
  Choose("mnRadioInfo");
  ASSERT_NE(fInfoMsg, nullptr);
  EXPECT_EQ(fInfoMsg->uiSerial->Text(), String(16, ' '));
  EXPECT_EQ(fInfoMsg->uiRadioTime->Text(), FormatWriteTime(&ALL->Image[ofsWriteTime]));

  // The radio's serial number and write time after a read, which reopens the windows.
  Transfer("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ReadOk});
  fMainFrm->DoCommand(cmRadioInfo);
  ASSERT_NE(fInfoMsg, nullptr);
  EXPECT_EQ(fInfoMsg->uiModel->Text(), "K58(UHF)");
  EXPECT_EQ(fInfoMsg->uiSerial->Text(), "K58SIM0000000001");
  const sim_test::Memory Read = Radio->GetMemory();
  EXPECT_EQ(fInfoMsg->uiRadioTime->Text(), FormatWriteTime(&Read[ofsWriteTime - ofsRadio]));

  // A data file's first header bytes show as the password once it is opened.
  const String File = DataDir() + "radio.dat";
  TfMainFrm::FileNamePrompt() = [File](bool, String& Chosen) {
    Chosen = File;
    return true;
  };
  Choose("mnSaveAs");
  const std::vector<Byte> Saved = app_test::ReadBytes(File);
  ASSERT_EQ(Saved.size(), 448u);
  Choose("mnOpen");
  fMainFrm->DoCommand(cmPassword);
  ASSERT_NE(fPassWord, nullptr);
  String Header;
  for (Integer I = 0; I < 8; ++I) Header += PrintableChar(static_cast<char>(Saved[I]));
  EXPECT_EQ(fPassWord->uioPasd->Text(), Trim(Header));

  // A new password switched on and typed; the write sends it scrambled, everything else as the image holds it.
  fPassWord->cbNps->SetChecked(true);
  fPassWord->uinPasd->SetFocus();
  Pump();
  Display->Type("4321");
  Pump();
  EXPECT_EQ(ImageBytes(ofsNewPassword, 8), "4321    ");
  fMainFrm->DoCommand(cmRadioInfo);
  fMainFrm->Tile();
  Picture("radio-information-and-password", fMainFrm->Handle());
  Transfer("mnWrite");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->WriteOk});
  const sim_test::Memory Held = Radio->GetMemory();
  const std::array<Byte, 8> Scrambled = ScramblePassword(&ALL->Image[ofsNewPassword]);
  EXPECT_EQ(Scrambled[0], '4' ^ PasswordKey);
  for (Integer Address = 0; Address < RadioSize; ++Address) {
    const bool PasswordBlock = Address >= ofsPasswordBlock - ofsRadio && Address < ofsPasswordBlock - ofsRadio + 8;
    const Byte Expected = PasswordBlock ? Scrambled[Address - (ofsPasswordBlock - ofsRadio)] : ALL->Image[ofsRadio + Address];
    EXPECT_EQ(Held[Address], Expected) << "address " << Address;
  }
}

TEST_F(WindowsRun, ATonePickedForAChannelAndTheTestFrequencyTable) {
  Transfer("mnRead");
  TakeBoxTexts();
  TCellGrid* Grid = fChInfo->gvData;
  const TMemoryImage BeforeTone = ALL->Image;
  Grid->FocusCell(ccTxTone, 3, true);
  Pump();
  ASSERT_TRUE(fChInfo->cbDQT->Visible());
  Modal->Then([this](TCustomForm* Form) {
    auto* Picker = static_cast<TfToneOption*>(Form);
    Picture("tone-ctcss", Picker->Handle());
    Picker->rDCSN->SetChecked(true);
    Pump();
    Picture("tone-dcs", Picker->Handle());
    TRect R;
    Picker->gvDcsN->GetCellRect(2, 2, R);
    const TPoint P = Picker->gvDcsN->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    Display->DoubleClick(POINT{P.x, P.y});
    Pump();
  });
  fChInfo->ComBoxDblClick(fChInfo->cbDQT);
  EXPECT_EQ(Grid->GetCellInfo(ccTxTone, 3)->ForeText, "D025N");
  // Only the transmit tone of channel 2 changed.
  TMemoryImage Expected = BeforeTone;
  Expected[ChannelOffset(2) + 10] = 0x25;
  Expected[ChannelOffset(2) + 11] = 0x80;
  EXPECT_EQ(ALL->Image, Expected);

  // The test frequency table: checked as typed, kept nowhere.
  const TMemoryImage Before = ALL->Image;
  const bool WasModified = ALL->Modified;
  Modal->Then([this](TCustomForm* Form) {
    auto* Dialog = static_cast<TfTestFrequency*>(Form);
    Dialog->gvData->SetForeText(2, 2, "700");
    EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ErrRange});
    EXPECT_EQ(Dialog->gvData->GetCellInfo(2, 2)->ForeText, "470.00000");
    Dialog->gvData->SetForeText(3, 2, "");
    EXPECT_TRUE(TakeBoxTexts().empty());
    Dialog->gvData->SetForeText(3, 3, "455.5");
    Picture("test-frequency", Dialog->Handle());
    // Centred on the main window.
    const TRect D = Dialog->BoundsRect();
    const TRect M = fMainFrm->BoundsRect();
    EXPECT_NEAR((D.left + D.right) / 2, (M.left + M.right) / 2, 1);
    ClickButton(Dialog, "btnOk");
  });
  Choose("mnTestFreq");  // a hidden menu item
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{"Test Frequency mismatch. Execute read data from radio or write to radio."});
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_EQ(ALL->Modified, WasModified);
}

// The texts of every window and dialog of this set, read from the language file switched to, in both
// directions: each text the file holds for a window is the one it shows.
TEST_F(WindowsRun, ChangingTheLanguageChangesEveryTextOfTheseWindows) {
  auto Switch = [this](Integer Index) {
    Modal->Then([Index](TCustomForm* Form) {
      static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(Index);
      ClickButton(Form, "btnOk");
    });
    Choose("mnLanguage");
  };
  // Every key of Form's section in the language file against what Form shows.
  auto Check = [](TForm* Form, const String& LanguageFile) {
    TIniFile Ini(app_test::ResourceFile(LanguageFile));
    TStringList Keys;
    const String Section = Form->Name();
    Ini.ReadSection(Section, &Keys);
    EXPECT_GT(Keys.Count(), 2) << Section;
    for (Integer I = 0; I < Keys.Count(); ++I) {
      const String Key = Keys.Strings(I);
      const String Expected = Ini.ReadString(Section, Key, "");
      const size_t Dot = Key.find('.');
      const String Name = Key.substr(0, Dot);
      const String What = Key.substr(Dot + 1);
      TComponent* C = Name == Section ? Form : Form->FindComponent(Name);
      ASSERT_NE(C, nullptr) << Section << " " << Key;
      if (Key == "gbList.Caption") continue;  // the tone picker names its frame after the table shown
      String Shown;
      if (Name == Section) {
        if (Form->ClassName() == "TfFrmAbout") continue;  // the About box shows the program's caption
        Shown = Form->Caption();
      } else if (auto* Grid = dynamic_cast<TCellGrid*>(C)) {
        Shown = Grid->GetCellInfo(StrToInt(What), 1)->ForeText;
      } else if (auto* List = dynamic_cast<TListBox*>(C)) {
        Shown = List->Items()->Strings(StrToInt(What));
      } else if (auto* Box = dynamic_cast<TuiCheckBox*>(C)) {
        Shown = Box->Caption();
      } else {
        Shown = static_cast<TControl*>(C)->Caption();
      }
      EXPECT_EQ(Shown, Expected) << LanguageFile << " [" << Section << "] " << Key;
    }
  };
  ALL->ShowAboutPicture = true;
  for (const Integer Index : {1, 0}) {
    Switch(Index);
    const String File = Index == 1 ? "Chinese.Ini" : "English.Ini";
    SCOPED_TRACE(File);
    ASSERT_EQ(ALL->LanguageIndex, Index);
    fMainFrm->DoCommand(cmRadioInfo);
    fMainFrm->DoCommand(cmPassword);
    Check(fInfoMsg, File);
    Check(fPassWord, File);
    if (Index == 1) {
      fMainFrm->Tile();
      Picture("radio-information-chinese", fMainFrm->Handle());
    }
    struct Dialog {
      Integer Command;
      const char* Name;
    } Dialogs[] = {{cmTestFrequency, "test-frequency"}, {cmEmbeddedMessage, "embedded-message"}, {cmAbout, "about"}};
    for (const Dialog& D : Dialogs) {
      Modal->Then([&](TCustomForm* Form) {
        Check(static_cast<TForm*>(Form), File);
        Picture(String(D.Name) + (Index == 1 ? "-chinese" : ""), Form->Handle());
        Form->SetModalResult(mrCancel);
      });
      fMainFrm->DoCommand(D.Command);
    }
    // The tone picker runs from the channel table's tone box.
    fChInfo->gvData->SetForeText(ccRxFrequency, 2, "455.0");
    fChInfo->gvData->FocusCell(ccRxTone, 2, true);
    Pump();
    Modal->Then([&](TCustomForm* Form) {
      Check(static_cast<TForm*>(Form), File);
      Form->SetModalResult(mrCancel);
    });
    fChInfo->ComBoxDblClick(fChInfo->cbQT);
    EXPECT_EQ(Modal->Pending(), 0u);
  }
}

}  // namespace
