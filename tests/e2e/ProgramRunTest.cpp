// The program run as a user runs it, headless: reading the simulated radio over a pseudo-terminal as a
// communication port, editing in the channel table, saving and opening a data file, writing back, the
// port, model and language dialogs, and the radio's failures.
//
// The radio answers in real time from its own thread; the program's clock is a manual one that moves
// only while both are still (nothing queued for the program and nothing sent by the radio), so the
// protocol's time-outs fire when the radio is silent and never because the machine is slow.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/AllClass.h"
#include "app/ChInfo.h"
#include "app/MainFrm.h"
#include "app/MeMode.h"
#include "app/Model.h"
#include "app/SetLanguage.h"
#include "app/SetPort.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiRadioButton.h"
#include "grid/CellGrid.h"
#include "platform/classes/IniFiles.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "platform/win/ui/UiInternal.h"
#include "platform/win/ui/WinShell.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"
#include "tests/sim/RadioSim.h"

namespace {

using app_test::ClickButton;

constexpr Integer FirstRow = 2;  // grid row of channel 1

class ProgramRun : public app_test::ProgramTest {
protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Every port number points at nothing but the radios attached below.
    Ports = std::make_unique<app_test::TFakePorts>(std::set<int>{});
    Radio = std::make_unique<sim_test::RadioSim>();
    Radio->Attach(1);
  }
  void TearDown() override {
    TfMainFrm::FileNamePrompt() = nullptr;
    ProgramTest::TearDown();
    Radios.clear();
    Radio.reset();
    Ports.reset();
  }

  void Start() {
    StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini")));
    ASSERT_NE(fMainFrm, nullptr);
    ASSERT_NE(fChInfo, nullptr);
  }

  // Chooses a menu item of the main window by its name.
  void Choose(const String& Item) {
    auto* Found = dynamic_cast<TMenuItem*>(fMainFrm->FindComponent(Item));
    ASSERT_NE(Found, nullptr) << Item;
    Found->Click();
    Pump();
  }

  // Runs the program's messages inside a radio dialog until it closes, moving the clock only while the
  // program and every radio are still.
  void RunDialog(TCustomForm* Dialog, const std::function<bool()>& Until = {}) {
    // The radio runs on the real clock in its own thread: the program's clock moves only after about 50 ms
    // of real time without a message or a byte, so a radio that is merely slow on a busy machine is not
    // taken for a silent one.
    constexpr int kStillRounds = 25;
    size_t Heard = 0;
    int Still = 0;
    // Once a message was shown, the dialog gets two seconds of the clock to close or to be ready again;
    // after that it is left for the user to close.
    int AdvancedSinceBox = 0;
    for (int Round = 0; Round < 10000 && Dialog->ModalResult() == mrNone && !(Until && Until()) &&
                        AdvancedSinceBox < 40;
         ++Round) {
      Application->ProcessMessages();
      MSG M;
      const bool Idle = !k58::winui::RawPending() && !PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);
      size_t Now = Radio ? Radio->Transcript().size() : 0;
      for (const auto& Other : Radios) Now += Other->Transcript().size();
      if (!Idle || Now != Heard) {
        Heard = Now;
        Still = 0;
      } else if (++Still >= kStillRounds) {
        Display->Advance(50);
        Still = 0;
        if (!Boxes.empty()) ++AdvancedSinceBox;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (Dialog->ModalResult() != mrNone || (Until && Until()) || !Boxes.empty()) return;
    ADD_FAILURE() << "the radio dialog showed nothing and did not close";
    Dialog->SetModalResult(mrCancel);
  }

  // Program > Read From Radio (or Write To Radio), OK, until the dialog closes itself.
  // The write dialog, and the read dialog after a refused model, stay open after their message: Cancel
  // closes them then.
  void Transfer(const String& Item) {
    Modal->Then([this](TCustomForm* Dialog) {
      auto* Ok = dynamic_cast<TButton*>(Dialog->FindComponent("btnOk"));
      ASSERT_NE(Ok, nullptr);
      ClickButton(Dialog, "btnOk");
      RunDialog(Dialog, [&] { return !Boxes.empty() && Ok->Enabled(); });
      if (Dialog->ModalResult() == mrNone) ClickButton(Dialog, "btnCancel");
    });
    Choose(Item);
    EXPECT_EQ(Modal->Pending(), 0u);
  }

  // Answers the file dialogs with Path.
  void AnswerFileDialog(const String& Path) {
    TfMainFrm::FileNamePrompt() = [Path](bool, String& Chosen) {
      Chosen = Path;
      return true;
    };
  }

  TCellGrid* Grid() const { return fChInfo->gvData; }
  String Cell(Integer Col, Integer Channel) const { return Grid()->GetCellInfo(Col, FirstRow + Channel - 1)->ForeText; }

  // The channel table's rows, as text.
  std::vector<String> Table() const {
    std::vector<String> Rows;
    for (Integer Row = FirstRow; Row < Grid()->RowCount(); ++Row) {
      String Line;
      for (Integer Col = ccRxFrequency; Col < Grid()->ColCount(); ++Col) Line += Grid()->GetCellInfo(Col, Row)->ForeText + "|";
      Rows.push_back(Line);
    }
    return Rows;
  }

  std::unique_ptr<app_test::TFakePorts> Ports;
  std::unique_ptr<sim_test::RadioSim> Radio;
  std::vector<std::unique_ptr<sim_test::RadioSim>> Radios;
};

TEST_F(ProgramRun, StartsWithTheChannelTableOfABlankImage) {
  Start();
  EXPECT_TRUE(fMainFrm->Visible());
  EXPECT_TRUE(fChInfo->Visible());
  EXPECT_EQ(fChInfo->FormStyle(), fsMDIChild);
  EXPECT_EQ(Grid()->RowCount(), FirstRow + MaxChannels);
  EXPECT_EQ(Cell(ccRxFrequency, 1), "");
  EXPECT_EQ(ALL->PortName, "COM1");
  EXPECT_FALSE(ALL->Modified);
}

TEST_F(ProgramRun, ReadEditSaveNewOpenAndWriteBack) {
  Start();
  Transfer("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ReadOk});
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");
  EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 8), "450.0125");
  EXPECT_EQ(Cell(ccRxTone, 1), "88.5");
  EXPECT_EQ(Cell(ccTxTone, 1), "D023N");
  EXPECT_EQ(Cell(ccRxFrequency, 4), "");  // not in use
  EXPECT_EQ(Cell(ccRxFrequency, 16).substr(0, 7), "469.975");
  // A picture of the main window with the radio's channels, next to the program.
  const char* Out = std::getenv("K58_RUNTIME_DIR");
  const String Dir = Out != nullptr ? Out : DataDir();
  std::filesystem::create_directories(Dir);
  Display->Pump();
  EXPECT_TRUE(Display->SavePng(Dir + "/k58-channels.png", fMainFrm->Handle()));

  // A receive frequency typed into the table, and a receive tone from its box over the cell.
  Grid()->SetForeText(ccRxFrequency, FirstRow, "451.5");
  Grid()->FocusCell(ccRxTone, FirstRow, true);
  Pump();
  TuiComboBox* Tones = fChInfo->cbQT;
  ASSERT_TRUE(Tones->Visible());
  // The tone is chosen with the mouse from the box's open list.
  Display->Key(VK_F4);
  Pump();
  ASSERT_TRUE(Tones->DroppedDown());
  const Integer Wanted = Tones->Properties()->Items()->IndexOf("100.0");
  ASSERT_GT(Wanted, 0);
  TuiCustomEditListBox* List = Tones->GetLookupDataObject()->List();
  List->SetTopIndex(Wanted);
  Pump();
  RECT Item{};
  SendMessage(List->Handle(), LB_GETITEMRECT, Wanted, reinterpret_cast<LPARAM>(&Item));
  POINT At{10, (Item.top + Item.bottom) / 2};
  ClientToScreen(List->Handle(), &At);
  Display->Click(At);
  Pump();
  EXPECT_FALSE(Tones->DroppedDown());
  EXPECT_EQ(Tones->Text(), "100.0");
  EXPECT_EQ(Cell(ccRxTone, 1), "100.0");
  EXPECT_EQ(ALL->Image[ChannelOffset(1) + 8], 0x00);  // 100.0 Hz in BCD tenths: 00 10
  EXPECT_EQ(ALL->Image[ChannelOffset(1) + 9], 0x10);
  EXPECT_TRUE(ALL->Modified);

  const String File = DataDir() + "edited.dat";
  AnswerFileDialog(File);
  Choose("mnSaveAs");  // the command first takes what is in the tone box
  ASSERT_TRUE(std::filesystem::exists(File));
  EXPECT_EQ(Cell(ccRxTone, 1), "100.0");
  const std::vector<String> Edited = Table();
  EXPECT_EQ(Edited[0].substr(0, 8), "451.5000");

  Choose("mnNew");
  EXPECT_EQ(Cell(ccRxFrequency, 1), "");
  AnswerFileDialog(File);
  Choose("mnOpen");
  EXPECT_EQ(Table(), Edited);
  EXPECT_EQ(fMainFrm->FileName, File);
  EXPECT_TRUE(TakeBoxTexts().empty());

  Transfer("mnWrite");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->WriteOk});
  const sim_test::Memory Held = Radio->GetMemory();
  TChannelValues Channel1;
  ASSERT_TRUE(DecodeChannel(&Held[16], Channel1));
  EXPECT_NEAR(Channel1.RxMHz, 451.5, 1e-6);
  EXPECT_EQ(Channel1.RxTone, "100.0");
  EXPECT_EQ(Channel1.TxTone, "D023N");
  TChannelValues Channel16;
  ASSERT_TRUE(DecodeChannel(&Held[16 * 16], Channel16));
  EXPECT_NEAR(Channel16.RxMHz, 469.975, 1e-6);
}

TEST_F(ProgramRun, UnsavedEditsAreOfferedAndKeptWhenTheSaveDoesNotHappen) {
  Start();
  Grid()->SetForeText(ccRxFrequency, FirstRow, "455.0");
  ASSERT_TRUE(ALL->Modified);

  // A language change leaves the edit unsaved.
  Modal->Then([](TCustomForm* Form) {
    static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(1);
    ClickButton(Form, "btnOk");
  });
  Choose("mnLanguage");
  EXPECT_TRUE(ALL->Modified);
  EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 5), "455.0");

  // Yes to saving first, then the save dialog cancelled: New, Open and exit do not go on.
  TfMainFrm::FileNamePrompt() = [](bool, String&) { return false; };
  for (const char* Item : {"mnNew", "mnOpen"}) {
    SCOPED_TRACE(Item);
    Answers = {IDYES};
    Choose(Item);
    EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->SaveProgram});
    EXPECT_TRUE(ALL->Modified);
    EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 5), "455.0");
  }
  Answers = {IDYES, IDYES};
  bool CanClose = true;
  fMainFrm->FormCloseQuery(fMainFrm, CanClose);
  EXPECT_FALSE(CanClose);
  EXPECT_EQ(TakeBoxTexts(), (std::vector<String>{Language->ExitProgram, Language->SaveProgram}));

  // No to saving drops the edit, as asked; a file that is no data file is refused and leaves no name
  // a later Save would write to.
  const String Bad = DataDir() + "short.dat";
  app_test::WriteFile(Bad, "K58");
  AnswerFileDialog(Bad);
  Answers = {IDNO};
  Choose("mnOpen");
  EXPECT_EQ(TakeBoxTexts(), (std::vector<String>{Language->SaveProgram, Language->ModError}));
  EXPECT_EQ(fMainFrm->FileName, "");
}

TEST_F(ProgramRun, ThePortDialogPicksThePortTheNextReadUses) {
  Radios.push_back(std::make_unique<sim_test::RadioSim>());
  sim_test::Memory Other = sim_test::RadioSim::DefaultMemory();
  // Channel 1 of this radio is channel 2 of the other.
  std::copy(Other.begin() + 32, Other.begin() + 48, Other.begin() + 16);
  Radios.back()->SetMemory(Other);
  Radios.back()->Attach(2);
  Start();

  Modal->Then([](TCustomForm* Form) {
    auto* Dialog = static_cast<TfSetPort*>(Form);
    EXPECT_TRUE(Dialog->uiPorts[0]->Checked());
    Dialog->uiPorts[1]->SetChecked(true);
    ClickButton(Dialog, "btnOk");
  });
  Choose("mnPort");
  EXPECT_EQ(ALL->PortName, "COM2");

  Transfer("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ReadOk});
  EXPECT_TRUE(Radio->HostBytes().empty());
  EXPECT_FALSE(Radios.back()->HostBytes().empty());
  EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 7), "460.125");
}

TEST_F(ProgramRun, TheModelDialogSwitchesToAVhfModelAndBand) {
  Start();
  Transfer("mnRead");
  TakeBoxTexts();
  Answers = {IDYES};  // clear the read channels
  Modal->Then([](TCustomForm* Form) {
    auto* Dialog = static_cast<TfModel*>(Form);
    Dialog->cbCopmut->SetItemIndex(1);
    Dialog->cbCopmutChange(Dialog->cbCopmut);
    Dialog->cbPd->SetItemIndex(1);
    ClickButton(Dialog, "btnOk");
  });
  Choose("mnModel");
  TakeBoxTexts();
  EXPECT_EQ(ALL->ModelName, "K58(VHF)");
  EXPECT_EQ(ALL->BandText, "136 - 174MHz");
  EXPECT_EQ(Cell(ccRxFrequency, 1), "");

  // A frequency of the new band is kept; one outside the model is refused with its message.
  Grid()->SetForeText(ccRxFrequency, FirstRow, "150.0");
  EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 7), "150.000");
  EXPECT_TRUE(TakeBoxTexts().empty());
  Grid()->SetForeText(ccRxFrequency, FirstRow + 1, "450.0");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ErrRange});
}

// No help file is shipped: Help hands the file of the language to the desktop's opener, which shows it
// when one was put there.
TEST_F(ProgramRun, HelpHandsTheHelpFileOfTheLanguageToTheOpener) {
  const String Out = DataDir() + "opened";
  const String Opener = DataDir() + "opener";
  app_test::WriteFile(Opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + Out + ".tmp\"\n" +
                                 "mv \"" + Out + ".tmp\" \"" + Out + "\"\n");
  std::filesystem::permissions(Opener, std::filesystem::perms::owner_all);
  k58::winui::SetShellOpenProgram(Opener);
  Start();
  Choose("mnHelpTopics");
  String Opened;
  for (int I = 0; I < 500 && !std::filesystem::exists(Out); ++I)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (std::filesystem::exists(Out)) Opened = app_test::ReadFile(Out);
  k58::winui::SetShellOpenProgram("");
  EXPECT_EQ(Opened, AppDir() + "QH_English.chm\n");
  EXPECT_TRUE(TakeBoxTexts().empty());
}

TEST_F(ProgramRun, EveryFailureOfTheRadioShowsItsMessageAndLeavesTheProgramUsable) {
  struct Case {
    const char* What;
    sim_test::Fault Fault;
    String TLanguage::*Message;
  } Cases[] = {
      {"silent radio", sim_test::Fault(sim_test::Step::Handshake, sim_test::FaultKind::Silence, -1, 0, {}, false),
       &TLanguage::ComError},
      {"another model", sim_test::Fault(sim_test::Step::Ident, sim_test::FaultKind::WrongModel, -1, 0, {'Z', 'Z', 'Z', 'Z'}),
       &TLanguage::ModError},
      {"refused block", sim_test::Fault(sim_test::Step::ReadBlock, sim_test::FaultKind::Nak, 0x80, 0, {}, false),
       &TLanguage::ComError},
      {"short block", sim_test::Fault(sim_test::Step::ReadBlock, sim_test::FaultKind::Short, 0x40, 3, {}, false),
       &TLanguage::ComError},
  };
  Start();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    const std::vector<String> Before = Table();
    Radio->ClearFaults();
    Radio->AddFault(C.Fault);
    Transfer("mnRead");
    const std::vector<String> Texts = TakeBoxTexts();
    ASSERT_FALSE(Texts.empty());
    EXPECT_EQ(Texts.front(), Language->*C.Message);
    EXPECT_EQ(Table(), Before);  // a failed read leaves the image
  }
  // The line cut in the middle of a read.
  Radio->ClearFaults();
  Radio->AddFault(sim_test::Fault(sim_test::Step::ReadBlock, sim_test::FaultKind::Disconnect, 0x60));
  Transfer("mnRead");
  EXPECT_FALSE(TakeBoxTexts().empty());
  EXPECT_EQ(Cell(ccRxFrequency, 1), "");

  // A working radio on the same port reads as before.
  Radio = std::make_unique<sim_test::RadioSim>();
  Radio->Attach(1);
  Transfer("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ReadOk});
  EXPECT_EQ(Cell(ccRxFrequency, 1).substr(0, 8), "450.0125");
}

TEST_F(ProgramRun, ChangingTheLanguageSwitchesEveryText) {
  Start();
  Modal->Then([](TCustomForm* Form) {
    static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(1);
    ClickButton(Form, "btnOk");
  });
  Choose("mnLanguage");
  ASSERT_EQ(ALL->LanguageName, "Chinese");
  ASSERT_NE(fChInfo, nullptr);

  TIniFile Ini(app_test::ResourceFile("Chinese.Ini"));
  // Every caption of the main window and every column title of the channel table.
  TStringList Keys;
  Ini.ReadSection("fMainFrm", &Keys);
  Integer Checked = 0;
  for (Integer I = 0; I < Keys.Count(); ++I) {
    const String Key = Keys.Strings(I);
    const size_t Dot = Key.find('.');
    if (Dot == String::npos || Key.substr(Dot) != ".Caption") continue;
    const String Name = Key.substr(0, Dot);
    const String Expected = Ini.ReadString("fMainFrm", Key, "");
    TComponent* C = Name == "fMainFrm" ? fMainFrm : fMainFrm->FindComponent(Name);
    if (auto* Item = dynamic_cast<TMenuItem*>(C)) {
      EXPECT_EQ(Item->Caption(), Expected) << Name;
      ++Checked;
    } else if (auto* Control = dynamic_cast<TControl*>(C); Control != nullptr && Name != "fMainFrm") {
      EXPECT_EQ(Control->Caption(), Expected) << Name;
      ++Checked;
    }
  }
  EXPECT_GT(Checked, 20);
  for (Integer Col = ccNumber; Col < Grid()->ColCount(); ++Col)
    EXPECT_EQ(Grid()->GetCellInfo(Col, 1)->ForeText, Ini.ReadString("fChInfo", "BColText." + IntToStr(Col - 1), "?"))
        << Col;
  EXPECT_EQ(fChInfo->Caption(), Ini.ReadString("fChInfo", "fChInfo.Caption", "?"));

  // The radio dialogs and the messages follow.
  Modal->Then([&](TCustomForm* Dialog) {
    EXPECT_EQ(Dialog->Caption(), Ini.ReadString("fReadRadio", "fReadRadio.Caption", "?"));
    ClickButton(Dialog, "btnOk");
    RunDialog(Dialog);
  });
  Choose("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Ini.ReadString("Language", "ReadOk", "?")});
}

}  // namespace
namespace {

// The tool bar shows its buttons in the order of their places in the main window's resource.
TEST_F(ProgramRun, TheToolBarKeepsTheOrderOfItsButtons) {
  Start();
  auto* Bar = dynamic_cast<TToolBar*>(fMainFrm->FindComponent("tbar"));
  ASSERT_NE(Bar, nullptr);
  std::vector<String> Names;
  Integer Right = 0;
  for (Integer I = 0; I < Bar->ButtonCount(); ++I) {
    TToolButton* B = Bar->Buttons(I);
    Names.push_back(B->Name());
    EXPECT_GE(B->Left(), Right) << B->Name();
    Right = B->Left() + B->Width();
  }
  EXPECT_EQ(Names, (std::vector<String>{"tbNew", "tbOpen", "tbSave", "ToolButton1", "ToolButton3", "tbPrint",
                                        "ToolButton2", "tbRead", "tbWrite", "ToolButton4", "tbHelp"}));
}

}  // namespace
