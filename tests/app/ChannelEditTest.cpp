// The channel edit window in the running program: opened from the main window, typed into, and checked
// against the editors, the message boxes, the channel table's row and the bytes of the memory image.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/AllClass.h"
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
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"
#include "tests/app/ProgramFixture.h"
#include "tests/common/RtlTesting.h"

namespace {

class ChannelEdit : public app_test::ProgramTest {
protected:
  void TearDown() override {
    TfBInfoEdit::TonePicker() = [](String& Tone) { return PickTone(Tone); };
    // The combo boxes' popup windows are forms of their own: the window goes first, with its boxes.
    if (fBInfoEdit != nullptr) FreeObject(fBInfoEdit);
    ProgramTest::TearDown();
  }

  // Starts the program and opens the window on Channel.
  TfBInfoEdit* Open(Integer Channel, const String& Record = String()) {
    StartProgram();
    if (!Record.empty()) SetRecord(Channel, Record);
    ALL->CurrentChannel = Channel;
    fMainFrm->DoCommand(cmChannelEdit);
    Pump();
    return fBInfoEdit;
  }

  // Types Text into an editor over what it holds, then Enter.
  void TypeInto(TWinControl* Editor, const std::string& Text) {
    Editor->SetFocus();
    Pump();
    Display->Chord({VK_CONTROL}, 'A');
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
  static void SetRecord(Integer Channel, const String& Hex) {
    for (Integer I = 0; I < ChannelRecordSize; ++I)
      ALL->Image[ChannelOffset(Channel) + I] = static_cast<Byte>(std::stoi(Hex.substr(3 * I, 2), nullptr, 16));
  }
  static String TableCell(Integer Col, Integer Channel) {
    return fChInfo->gvData->GetCellInfo(Col, Channel + 1)->ForeText;
  }
};

// Receive 460.0125, transmit 465, tones 88.5 and D023N, power high, wide, the four switches off, bit 7 clear.
constexpr const char* EditInUse = "50 12 00 46 00 00 50 46 85 08 23 80 7B FF FF FF";
constexpr const char* EmptyRecord = "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF";

TEST_F(ChannelEdit, LoadsAChannelInUseAndAnEmptyOneDisablesAllButTheReceiveFrequency) {
  TfBInfoEdit* W = Open(3, "50 12 00 46 00 00 50 46 85 08 23 80 4B FF FF FF");
  ASSERT_NE(W, nullptr);
  EXPECT_EQ(W->FormStyle(), fsMDIChild);
  EXPECT_EQ(W->Left(), 20);
  EXPECT_EQ(W->Top(), 20);
  EXPECT_EQ(W->sexd->Value().AsDouble(), 3);
  EXPECT_EQ(W->eRx->Text(), "460.01250");
  EXPECT_EQ(W->eTX->Text(), "465.00000");
  EXPECT_EQ(W->cbQT->Text(), "88.5");
  EXPECT_EQ(W->cbDQT->Text(), "D023N");
  EXPECT_EQ(W->cbkz->Text(), "Wide");
  EXPECT_EQ(W->cbfsgl->Text(), "High");
  // 0x4B: busy lock off (bit 0 set), scan add and compander on (bits 4, 5 clear), scrambler off.
  EXPECT_FALSE(W->chfm->Checked());
  EXPECT_TRUE(W->chsmtj->Checked());
  EXPECT_TRUE(W->chCp->Checked());
  EXPECT_FALSE(W->chSr->Checked());
  EXPECT_FALSE(W->chWp->Visible());
  EXPECT_TRUE(W->cbDQT->Enabled());
  EXPECT_FALSE(ALL->Modified) << "loading writes nothing";

  // The table selects channel 5, which is empty: the window follows.
  ALL->CurrentChannel = 5;
  fMainFrm->SelectChannel(TViewRefresh::ChannelEdit);
  EXPECT_EQ(W->sexd->Value().AsDouble(), 5);
  EXPECT_EQ(W->eRx->Text(), "");
  EXPECT_TRUE(W->eRx->Enabled());
  for (TControl* C : std::initializer_list<TControl*>{W->eTX, W->cbQT, W->cbDQT, W->cbkz, W->cbfsgl, W->chfm,
                                                     W->chsmtj, W->chCp, W->chSr, W->chpppy})
    EXPECT_FALSE(C->Enabled()) << C->Name();
  EXPECT_EQ(W->cbQT->Text(), "None");
  EXPECT_FALSE(W->chsmtj->Checked());
  EXPECT_EQ(RecordHex(5), EmptyRecord);
  EXPECT_FALSE(ALL->Modified);
}

TEST_F(ChannelEdit, ANewReceiveFrequencyFillsTheChannelAndClearingItEmptiesTheRecord) {
  TfBInfoEdit* W = Open(2);
  TypeInto(W->eRx, "451.5");
  EXPECT_TRUE(TakeBoxTexts().empty());
  EXPECT_EQ(W->eTX->Text(), "451.50000") << "the transmit frequency takes the receive one";
  EXPECT_TRUE(W->cbDQT->Enabled());
  // No tones; flags from the editors: wide, high, the switches unchecked (bits set), bit 7 set.
  EXPECT_EQ(RecordHex(2), "00 00 15 45 00 00 15 45 FF FF FF FF FB FF FF FF");
  EXPECT_TRUE(ALL->Modified);
  EXPECT_EQ(TableCell(ccRxFrequency, 2), "451.50000") << "the table's row is redrawn";
  EXPECT_EQ(TableCell(ccPower, 2), "High");

  // A check box clears its bit; bit 7 is written as 1 whatever the record held.
  SetRecord(2, "00 00 15 45 00 00 15 45 FF FF FF FF 7B FF FF FF");
  W->chsmtj->SetChecked(true);
  Pump();
  EXPECT_EQ(RecordHex(2).substr(36, 2), "EB");
  EXPECT_EQ(TableCell(ccScanAdd, 2), "Yes");

  // A tone typed in the box is normalised and stored.
  TypeInto(W->cbQT, "88.46");
  EXPECT_EQ(W->cbQT->Text(), "88.5");
  EXPECT_EQ(RecordHex(2).substr(24, 5), "85 08");

  TypeInto(W->eRx, "");
  EXPECT_EQ(RecordHex(2), EmptyRecord) << "checked boxes and the old transmit frequency do not write into it";
  EXPECT_EQ(W->eTX->Text(), "");
  EXPECT_FALSE(W->chsmtj->Checked());
  EXPECT_FALSE(W->cbQT->Enabled());
  EXPECT_EQ(TableCell(ccRxFrequency, 2), "");
}

// Tab from the receive frequency lands on the editor that the typed value leaves enabled: the next one when
// a frequency was typed into an empty channel, the Close button when the frequency was cleared.
TEST_F(ChannelEdit, TabFromTheReceiveFrequencyGoesToTheNextEnabledEditor) {
  struct TCase {
    const char* Record;  // nullptr for an empty channel
    const char* Typed;   // "" clears
    const char* Box;     // "" for none
    const char* Focus;
  };
  const TCase Cases[] = {
      {nullptr, "451.5", "", "eTX"},
      {nullptr, "700", "ErrRange", "eTX"},
      {EditInUse, "", "", "btnClose"},
      {EditInUse, "452", "", "eTX"},
  };
  TfBInfoEdit* W = Open(2);
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Typed);
    SetRecord(2, C.Record != nullptr ? C.Record : EmptyRecord);
    W->LoadChannel();
    W->eRx->SetFocus();
    Pump();
    Display->Chord({VK_CONTROL}, 'A');
    Display->Key(VK_END);
    Display->Chord({VK_SHIFT}, VK_HOME);
    if (*C.Typed == 0)
      Display->Key(VK_DELETE);
    else
      Display->Type(C.Typed);
    Display->Key(VK_TAB);
    Pump();
    const std::vector<String> Shown = TakeBoxTexts();
    EXPECT_EQ(Shown.empty() ? String() : Shown.front(), *C.Box == 0 ? String() : Language->ErrRange);
    TWinControl* Focused = W->ActiveControl();
    ASSERT_NE(Focused, nullptr);
    EXPECT_TRUE(Focused->Name() == C.Focus || Focused->Parent()->Name() == C.Focus) << Focused->Name();
    EXPECT_TRUE(Focused->Enabled());
    if (*C.Typed == 0) {
      EXPECT_EQ(RecordHex(2), EmptyRecord);
      EXPECT_FALSE(W->eTX->Enabled());
    } else {
      EXPECT_EQ(FrequencyEditText(W->eTX), C.Record != nullptr ? "465.00000" : FrequencyEditText(W->eRx))
          << "a new channel's transmit frequency follows the receive one";
      EXPECT_EQ(TableCell(ccRxFrequency, 2), FrequencyEditText(W->eRx));
    }
  }
}

TEST_F(ChannelEdit, FrequenciesAreCheckedAgainstTheModelAndTheBand) {
  struct TCase {
    const char* Typed;
    const char* Box;  // "" for none
    const char* Shown;
  };
  // "K58(UHF)" with the band 450 - 470MHz, model limits 300 to 650.
  const TCase Cases[] = {
      {"700", "ErrRange", "470.00000"}, {"299", "ErrRange", "450.00000"}, {"445", "OutRange", "445.00000"},
      {"450.003", "", "450.00000"},     {"450.00625", "", "450.00625"},
  };
  TfBInfoEdit* W = Open(1);
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Typed);
    TypeInto(W->eRx, C.Typed);
    const std::vector<String> Shown = TakeBoxTexts();
    if (*C.Box == 0)
      EXPECT_TRUE(Shown.empty());
    else
      EXPECT_EQ(Shown, std::vector<String>{String(C.Box) == "ErrRange" ? Language->ErrRange : Language->OutRange});
    EXPECT_EQ(FrequencyEditText(W->eRx), C.Shown);
    EXPECT_EQ(TableCell(ccRxFrequency, 1), C.Shown);
  }
}

TEST_F(ChannelEdit, AFrequencyThatIsNoNumberShowsErrRangeAndLeavesTheImage) {
  TfBInfoEdit* W = Open(4, EditInUse);
  const auto Before = ALL->Image;
  for (TuiCurrencyEdit* Editor : {W->eRx, W->eTX}) {
    SCOPED_TRACE(Editor->Name());
    Editor->SetEditValue(Variant(String("4x5")));
    Pump();
    EXPECT_EQ(TakeBoxTexts(), std::vector<String>{Language->ErrRange});
    EXPECT_TRUE(ALL->Image == Before);
    EXPECT_EQ(Editor->Text(), Editor == W->eRx ? "460.01250" : "465.00000") << "the editor shows the image again";
  }
  EXPECT_FALSE(ALL->Modified);
}

TEST_F(ChannelEdit, TheChannelNumberIsSnappedAndClampedAndMovesTheWindowAndTheTree) {
  TfBInfoEdit* W = Open(1);
  SetRecord(16, EditInUse);
  TypeInto(W->sexd, "20");
  EXPECT_TRUE(TakeBoxTexts().empty()) << "never an error";
  EXPECT_EQ(W->sexd->Text(), "16");
  EXPECT_EQ(ALL->CurrentChannel, 16);
  EXPECT_EQ(W->eRx->Text(), "460.01250");
  EXPECT_EQ(fMainFrm->uiQD5174->GetSelectedNode(), fMainFrm->ChannelNode(16));
  TypeInto(W->sexd, "0");
  EXPECT_EQ(W->sexd->Text(), "1");
  EXPECT_EQ(ALL->CurrentChannel, 1);
}

TEST_F(ChannelEdit, TheToneBoxesFilterKeysInTheLocalesSeparatorAndTakeAPickedTone) {
  TFormatSettingsGuard Comma(CommaDecimalSettings());
  EXPECT_EQ(FilterFrequencyKey('.'), ',');
  EXPECT_EQ(FilterToneKey('x'), 0);
  TfBInfoEdit* W = Open(6, EditInUse);
  TypeInto(W->eTX, "462.5");
  EXPECT_EQ(FrequencyEditText(W->eTX), "462,50000");
  EXPECT_EQ(RecordHex(6).substr(12, 11), "00 00 25 46");
  TypeInto(W->cbDQT, "88x.46");
  EXPECT_EQ(W->cbDQT->Text(), "88,5") << "x is filtered out, the dot is the locale's separator";
  EXPECT_EQ(RecordHex(6).substr(30, 5), "85 08");
  TypeInto(W->cbDQT, "d023n");
  EXPECT_EQ(RecordHex(6).substr(30, 5), "23 80");

  bool Slot = false;
  TfBInfoEdit::TonePicker() = [&](String& Tone) {
    if (Slot) Tone = FormatFloat("0.0", 100.0);
    return true;
  };
  W->cbDQTDblClick(W->cbDQT);
  EXPECT_EQ(W->cbDQT->Text(), "D023N") << "an empty slot keeps the text";
  Slot = true;
  W->cbDQTDblClick(W->cbDQT);
  EXPECT_EQ(W->cbDQT->Text(), "100,0");
  EXPECT_EQ(RecordHex(6).substr(30, 5), "00 10");
  EXPECT_EQ(TableCell(ccTxTone, 6), "100,0");
}

TEST_F(ChannelEdit, TheTreesDoubleClickOpensTheWindowOnItsChannelAndNewFileReloadsIt) {
  StartProgram();
  SetRecord(7, EditInUse);
  TTreeNode* Node = fMainFrm->ChannelNode(7);
  fMainFrm->uiQD5174->SetSelectedNode(Node);
  TRect R = Node->DisplayRect(true);
  const TPoint P = fMainFrm->uiQD5174->GetInnerTreeView()->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
  Display->DoubleClick(POINT{P.x, P.y});
  Pump();
  ASSERT_NE(fBInfoEdit, nullptr);
  EXPECT_EQ(ALL->CurrentChannel, 7);
  EXPECT_EQ(fBInfoEdit->eRx->Text(), "460.01250");
  fMainFrm->DoCommand(cmChannelEdit);
  Pump();
  EXPECT_EQ(fMainFrm->MDIChildCount(), 2) << "the window exists once";
}

}  // namespace
