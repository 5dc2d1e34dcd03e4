// The channel edit and function settings windows run as a user runs them, headless: a radio read over a
// pseudo-terminal, edited in both windows, and written back, after which the radio holds exactly the
// program's image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/AllClass.h"
#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/ChInfo.h"
#include "app/MainFrm.h"
#include "controls/extra/uiTreeView.h"
#include "app/ToneOption.h"
#include "app/MeMode.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "grid/CellGrid.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"
#include "tests/e2e/RadioRunFixture.h"
#include "tests/sim/RadioSim.h"

namespace {

class EditWindowsRun : public e2e_test::RadioRunTest {
protected:

  void Choose(const String& Item) {
    auto* Found = dynamic_cast<TMenuItem*>(fMainFrm->FindComponent(Item));
    ASSERT_NE(Found, nullptr) << Item;
    Found->Click();
    Pump();
  }

  // Read or write with the radio: OK in the dialog, then the program's messages until the dialog has
  // shown its message or closed. The program's clock moves only while the program and the radio are still.
  void Transfer(const String& Item) {
    Modal->Then([this](TCustomForm* Dialog) {
      auto* Ok = dynamic_cast<TButton*>(Dialog->FindComponent("btnOk"));
      ASSERT_NE(Ok, nullptr);
      app_test::ClickButton(Dialog, "btnOk");
      size_t Heard = 0;
      int Still = 0;
      for (int Round = 0; Round < 10000 && Dialog->ModalResult() == mrNone && !(!Boxes.empty() && Ok->Enabled());
           ++Round) {
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
      if (Dialog->ModalResult() == mrNone) app_test::ClickButton(Dialog, "btnCancel");
    });
    Choose(Item);
    EXPECT_EQ(Modal->Pending(), 0u);
  }

  void TypeInto(TWinControl* Editor, const std::string& Text) {
    Editor->SetFocus();
    Pump();
    Display->Key(VK_END);
    Display->Chord({VK_SHIFT}, VK_HOME);
    if (Text.empty())
      Display->Key(VK_DELETE);
    else
      Display->Type(Text);
    Display->Key(VK_RETURN);
    Pump();
  }

  static String RecordHex(Integer Channel) {
    String Hex;
    for (Integer I = 0; I < ChannelRecordSize; ++I) {
      char Pair[4];
      std::snprintf(Pair, sizeof Pair, I == 0 ? "%02X" : " %02X", ALL->Image[ChannelOffset(Channel) + I]);
      Hex += Pair;
    }
    return Hex;
  }

  void Picture(const String& Name, TForm* Window) {
    const char* Out = std::getenv("K58_RUNTIME_DIR");
    const String Dir = Out != nullptr ? Out : DataDir();
    std::filesystem::create_directories(Dir);
    Display->Pump();
    EXPECT_TRUE(Display->SavePng(Dir + "/" + Name, Window->Handle()));
  }

};

TEST_F(EditWindowsRun, ChannelsAndSettingsEditedInTheirWindowsReachTheRadio) {
  // Bytes no list offers: Whisper 3 and TX Time Out 20 (kept by the clamp after the read).
  sim_test::Memory Start = sim_test::RadioSim::DefaultMemory();
  Start[0x12F] = 3;
  Start[0x133] = 20;
  Radio->SetMemory(Start);
  StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini")));
  Transfer("mnRead");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ReadOk});

  // The tree's double click on channel 4, which is empty: only the receive frequency can be edited.
  TTreeNode* Node = fMainFrm->ChannelNode(4);
  fMainFrm->uiQD5174->SetSelectedNode(Node);
  const TRect R = Node->DisplayRect(true);
  const TPoint P = fMainFrm->uiQD5174->GetInnerTreeView()->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
  Display->DoubleClick(POINT{P.x, P.y});
  Pump();
  TfBInfoEdit* W = fBInfoEdit;
  ASSERT_NE(W, nullptr);
  EXPECT_EQ(W->sexd->Text(), "4");
  EXPECT_TRUE(W->eRx->Enabled());
  EXPECT_FALSE(W->eTX->Enabled());
  EXPECT_FALSE(W->cbQT->Enabled());

  TypeInto(W->eRx, "452.5");
  EXPECT_EQ(FrequencyEditText(W->eTX), "452.50000");
  EXPECT_EQ(RecordHex(4), "00 00 25 45 00 00 25 45 FF FF FF FF FB FF FF FF");
  EXPECT_EQ(fChInfo->gvData->GetCellInfo(ccRxFrequency, 5)->ForeText, "452.50000") << "the table's row";

  // Text that is no frequency: ErrRange, and the image stays.
  const TMemoryImage Before = ALL->Image;
  W->eRx->SetEditValue(Variant(String("45x")));
  Pump();
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ErrRange});
  EXPECT_TRUE(ALL->Image == Before);

  TypeInto(W->sexd, "20");
  EXPECT_EQ(ALL->CurrentChannel, 16);
  EXPECT_EQ(FrequencyEditText(W->eRx), "469.97500");

  // Channel 2 (bit 7 clear in the radio): a receive tone double-clicked in the tone picker, which the box
  // opens on a double click; bit 7 is stored set. An empty slot of the picker keeps the text.
  TypeInto(W->sexd, "2");
  for (const Integer Slot : {9, 14}) {
    SCOPED_TRACE(Slot);
    Modal->Then([this, Slot](TCustomForm* Form) {
      auto* Grid = static_cast<TfToneOption*>(Form)->gvCtcss;
      TRect Cell;
      Grid->GetCellRect(Slot == 9 ? 2 : 14, 9, Cell);
      const TPoint At = Grid->ClientToScreen(TPoint{(Cell.left + Cell.right) / 2, (Cell.top + Cell.bottom) / 2});
      Display->DoubleClick(POINT{At.x, At.y});
      Pump();
      if (Form->ModalResult() == mrNone) app_test::ClickButton(Form, "btnCancel");
    });
    const TPoint Q = W->cbQT->ClientToScreen(TPoint{10, W->cbQT->Height() / 2});
    Display->Advance(1000);
    Display->DoubleClick(POINT{Q.x, Q.y});
    Pump();
    EXPECT_EQ(Modal->Pending(), 0u) << "the picker ran";
    EXPECT_EQ(W->cbQT->Text(), "88.5");
    EXPECT_EQ(RecordHex(2), "00 25 01 46 00 25 51 46 85 08 18 13 FF FF FF FF");
  }
  Picture("k58-channel-edit.png", W);

  // Clearing channel 3's receive frequency empties its record.
  TypeInto(W->sexd, "3");
  TypeInto(W->eRx, "");
  EXPECT_EQ(RecordHex(3), "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");

  // Function settings: the radio's defaults, then Scan turned on.
  Choose("mnFunSet");
  TfBFunSet* F = fBFunSet;
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(F->uiWaveof->Text(), "On");
  EXPECT_EQ(F->cbVoice->Text(), "Chinese");
  EXPECT_EQ(F->seVoxLevel->Text(), "6");
  EXPECT_EQ(F->uiRate->Text(), "1:3");
  EXPECT_EQ(F->cbMonikey->Text(), "Monmome");
  EXPECT_EQ(F->cbTxTimeout->ItemIndex(), -1) << "20 is beyond the list";
  F->uiScan->SetItemIndex(1);
  Pump();
  String Settings;
  for (Integer I = ofsFunction; I < ofsFunction + FunctionSize; ++I) {
    char Pair[4];
    std::snprintf(Pair, sizeof Pair, I == ofsFunction ? "%02X" : " %02X", ALL->Image[I]);
    Settings += Pair;
  }
  // 314 and 315 untouched, 316 clamped to 0 by the read, 319 and 323 kept.
  EXPECT_EQ(Settings, "01 01 01 00 05 01 01 01 00 01 FF FF 00 01 03 03 01 05 01 14");
  Picture("k58-function-settings.png", F);

  Transfer("mnWrite");
  EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->WriteOk});
  const sim_test::Memory Held = Radio->GetMemory();
  EXPECT_TRUE(std::equal(Held.begin(), Held.end(), ALL->Image.begin() + ofsRadio)) << "the radio holds the image";
  EXPECT_EQ(Held[0x120 + 2], 1);
  EXPECT_EQ(Held[0x133], 20);
  // The password block of a blank password, scrambled.
  EXPECT_EQ(Held[0x148], 0x20 ^ PasswordKey);
  for (int I = 1; I < 8; ++I) EXPECT_EQ(Held[0x148 + I], 0);
}

}  // namespace
