// The channel table as the user drives it: keys typed and cells and combo boxes clicked in the running
// program, checked against the cell texts, the message boxes and the bytes of the memory image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/AllClass.h"
#include "app/ChInfo.h"
#include "app/MacType.h"
#include "app/MainFrm.h"
#include "controls/extra/uiTreeView.h"
#include "app/MeMode.h"
#include "controls/editors/uiComboBox.h"
#include "grid/CellGrid.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/app/ProgramFixture.h"

namespace {

constexpr Integer Row1 = 2;  // grid row of channel 1

class ChannelTable : public app_test::ProgramTest {
protected:
  void Start(const String& Settings = String()) {
    StartProgram(Settings);
    ASSERT_NE(fChInfo, nullptr);
    ASSERT_TRUE(fChInfo->Visible());
  }

  TCellGrid* Grid() const { return fChInfo->gvData; }

  POINT OnScreen(TControl* Control, Integer X, Integer Y) const {
    const TPoint P = Control->ClientToScreen(TPoint{X, Y});
    return POINT{P.x, P.y};
  }
  POINT AtCell(Integer Col, Integer Row) const {
    TRect R{};
    Grid()->GetCellRect(Col, Row, R);
    return OnScreen(Grid(), (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }
  void Click(POINT P) {
    // Clicks are far enough apart never to count as a double click.
    Display->Advance(1000);
    Display->Click(P);
    Pump();
  }
  void Type(const std::string& Text) {
    Display->Type(Text);
    Pump();
  }
  void Key(WORD Vk) {
    Display->Key(Vk);
    Pump();
  }
  void Paste(const std::string& Text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
    auto* P = static_cast<char*>(GlobalLock(H));
    std::copy(Text.begin(), Text.end(), P);
    P[Text.size()] = 0;
    GlobalUnlock(H);
    SetClipboardData(CF_TEXT, H);
    CloseClipboard();
    Display->Chord({VK_SHIFT}, VK_INSERT);
    Pump();
  }

  // Columns 2 to 11 of a row, joined by "|".
  String RowTexts(Integer Row) const {
    String Line;
    for (Integer Col = ccRxFrequency; Col <= ccBusyLock; ++Col)
      Line += (Col > ccRxFrequency ? "|" : "") + Grid()->GetCellInfo(Col, Row)->ForeText;
    return Line;
  }
  // The 16 bytes of a channel's record in hex.
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
      ALL->Image[ChannelOffset(Channel) + I] =
          Hex.empty() ? Byte{0xFF} : static_cast<Byte>(std::stoi(Hex.substr(3 * I, 2), nullptr, 16));
  }
  static void SelectBand(const String& Band) { ALL->SelectModelByBand(nullptr, FrqList->CodeOfBand(Band), true); }
};

// A channel in use: receive 460.0125, transmit 465, tones 88.5 and D023N, power high, wide, the four
// switches off, bit 7 clear.
constexpr const char* InUse = "50 12 00 46 00 00 50 46 85 08 23 80 7B FF FF FF";
constexpr const char* InUseTexts = "460.01250|465.00000|88.5|D023N|High|Wide|No|No|No|No";
constexpr const char* NewRowDefaults = "|None|None|High|Wide|No|No|No|No";

struct TEditCase {
  const char* Name;
  const char* Band;   // the model follows from the band
  const char* Start;  // the record before; empty: channel not in use
  Integer Col;
  // What the user does in the cell: "\b" clears it, "paste:" pastes the rest, anything else is typed.
  std::string Input;
  const char* Box;  // "OutRange", "ErrRange" or ""
  String Texts;     // columns 2 to 11 afterwards
  const char* Record;
};

TEST_F(ChannelTable, EditsReachTheCellsAndTheImageAsTheHandlerChecksThem) {
  Start();
  const String Uhf = "450 - 470MHz";
  const TEditCase Cases[] = {
      {"445, below the band", "450 - 470MHz", "", ccRxFrequency, "445", "OutRange",
       String("445.00000|445.00000") + NewRowDefaults, "00 00 50 44 00 00 50 44 FF FF FF FF FB FF FF FF"},
      {"700, above the model", "450 - 470MHz", "", ccRxFrequency, "700", "ErrRange",
       String("470.00000|470.00000") + NewRowDefaults, "00 00 00 47 00 00 00 47 FF FF FF FF FB FF FF FF"},
      {"450.003, off the step", "450 - 470MHz", "", ccRxFrequency, "450.003", "",
       String("450.00000|450.00000") + NewRowDefaults, "00 00 00 45 00 00 00 45 FF FF FF FF FB FF FF FF"},
      {"1., below the model", "450 - 470MHz", "", ccRxFrequency, "1.", "ErrRange",
       String("450.00000|450.00000") + NewRowDefaults, "00 00 00 45 00 00 00 45 FF FF FF FF FB FF FF FF"},
      {"1000, no frequency at all", "450 - 470MHz", "", ccRxFrequency, "1000", "ErrRange",
       String("470.00000|470.00000") + NewRowDefaults, "00 00 00 47 00 00 00 47 FF FF FF FF FB FF FF FF"},
      {"pasted garbage", "450 - 470MHz", "", ccRxFrequency, "paste:4x5;", "OutRange",
       String("470.00000|470.00000") + NewRowDefaults, "00 00 00 47 00 00 00 47 FF FF FF FF FB FF FF FF"},
      {"450 on the VHF model", "150 - 174MHz", "", ccRxFrequency, "450", "ErrRange",
       String("174.00000|174.00000") + NewRowDefaults, "00 00 40 17 00 00 40 17 FF FF FF FF FB FF FF FF"},
      {"receive of a channel in use", "450 - 470MHz", InUse, ccRxFrequency, "451.5", "",
       "451.50000|465.00000|88.5|D023N|High|Wide|No|No|No|No", "00 00 15 45 00 00 50 46 85 08 23 80 7B FF FF FF"},
      {"transmit above the model", "450 - 470MHz", InUse, ccTxFrequency, "700", "ErrRange",
       "460.01250|470.00000|88.5|D023N|High|Wide|No|No|No|No", "50 12 00 46 00 00 00 47 85 08 23 80 7B FF FF FF"},
      {"receive cleared", "450 - 470MHz", InUse, ccRxFrequency, "\b", "", "|||||||||",
       "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"},
      {"transmit cleared", "450 - 470MHz", InUse, ccTxFrequency, "\b", "",
       "460.01250||88.5|None|High|Wide|No|No|No|No", "50 12 00 46 FF FF FF FF 85 08 FF FF 7B FF FF FF"},
      {"receive tone 88.46", "450 - 470MHz", InUse, ccRxTone, "88.46", "",
       "460.01250|465.00000|88.5|D023N|High|Wide|No|No|No|No", "50 12 00 46 00 00 50 46 85 08 23 80 7B FF FF FF"},
      {"receive tone 123", "450 - 470MHz", InUse, ccRxTone, "123", "",
       "460.01250|465.00000|123.0|D023N|High|Wide|No|No|No|No", "50 12 00 46 00 00 50 46 30 12 23 80 7B FF FF FF"},
      {"transmit tone d025n, completed from the list", "450 - 470MHz", InUse, ccTxTone, "d025n", "",
       "460.01250|465.00000|88.5|D025N|High|Wide|No|No|No|No", "50 12 00 46 00 00 50 46 85 08 25 80 7B FF FF FF"},
      {"receive tone d025n pasted takes the list's item", "450 - 470MHz", InUse, ccRxTone, "paste:d025n", "",
       "460.01250|465.00000|D025N|D023N|High|Wide|No|No|No|No", "50 12 00 46 00 00 50 46 25 80 23 80 7B FF FF FF"},
  };
  for (const TEditCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    fChInfo->HideEditors();
    SelectBand(C.Band);
    SetRecord(1, C.Start);
    fChInfo->FillRow(Row1);
    ALL->Modified = false;
    Boxes.clear();

    Click(AtCell(C.Col, Row1));
    if (C.Input == "\b")
      Key(VK_BACK);
    else if (C.Input.rfind("paste:", 0) == 0)
      Paste(C.Input.substr(6));
    else
      Type(C.Input);
    Key(VK_RETURN);

    std::vector<String> Expected;
    if (C.Box == String("OutRange")) Expected.push_back(Language->OutRange);
    if (C.Box == String("ErrRange")) Expected.push_back(Language->ErrRange);
    for (const app_test::TShownBox& Box : Boxes) EXPECT_EQ(Box.Caption, Language->Caution);
    EXPECT_EQ(TakeBoxTexts(), Expected);
    EXPECT_EQ(RowTexts(Row1), C.Texts);
    EXPECT_EQ(RecordHex(1), C.Record);
    EXPECT_TRUE(ALL->Modified);
  }
  SelectBand(Uhf);
}

TEST_F(ChannelTable, AFlagPickedByKeyChangesOnlyItsBit) {
  Start();
  SetRecord(1, InUse);
  fChInfo->FillRow(Row1);
  Click(AtCell(ccPower, Row1));
  ASSERT_TRUE(fChInfo->cbfsgl->Visible());
  Key(VK_UP);  // "Low"
  Key(VK_RETURN);
  EXPECT_FALSE(fChInfo->cbfsgl->Visible());
  EXPECT_EQ(RowTexts(Row1), "460.01250|465.00000|88.5|D023N|Low|Wide|No|No|No|No");
  EXPECT_EQ(RecordHex(1), "50 12 00 46 00 00 50 46 85 08 23 80 73 FF FF FF");  // bit 7 stays clear
}

// The main window follows the table: a click on another channel's row makes it the current channel and
// selects its node in the tree.
TEST_F(ChannelTable, TheTreeFollowsTheChannelClickedInTheTable) {
  Start();
  Click(AtCell(ccRxFrequency, Row1 + 6));
  EXPECT_EQ(ALL->CurrentChannel, 7);
  EXPECT_EQ(fMainFrm->uiQD5174->GetSelectedNode(), fMainFrm->ChannelNode(7));
}

TEST_F(ChannelTable, TheDropDownButtonOfACellsBoxOpensItsListAndAClickedItemIsStored) {
  Start();
  SetRecord(1, InUse);
  fChInfo->FillRow(Row1);
  for (TuiComboBox* Box : {fChInfo->cbQT, fChInfo->cbkz}) {
    const Integer Col = Box == fChInfo->cbQT ? ccRxTone : ccBandwidth;
    SCOPED_TRACE(Box->Name());
    Click(AtCell(Col, Row1));
    ASSERT_TRUE(Box->Visible());
    EXPECT_FALSE(Box->DroppedDown());
    const TRect Button = Box->EditViewInfo()->Buttons.at(0)->Bounds;
    Click(OnScreen(Box, (Button.left + Button.right) / 2, (Button.top + Button.bottom) / 2));
    ASSERT_TRUE(Box->DroppedDown());
    // The item after the cell's, clicked, goes into the cell and the image.
    const Integer Next = Box->ItemIndex() + 1;
    TuiCustomEditListBox* List = Box->GetLookupDataObject()->List();
    ASSERT_NE(List, nullptr);
    RECT Item{};
    SendMessage(List->Handle(), LB_GETITEMRECT, Next, reinterpret_cast<LPARAM>(&Item));
    POINT P{10, (Item.top + Item.bottom) / 2};
    ClientToScreen(List->Handle(), &P);
    Click(P);
    EXPECT_FALSE(Box->DroppedDown());
    EXPECT_EQ(Grid()->GetCellInfo(Col, Row1)->ForeText, Box->Properties()->Items()->Strings(Next));
  }
  EXPECT_EQ(RowTexts(Row1), "460.01250|465.00000|91.5|D023N|High|Narrow|No|No|No|No");
  EXPECT_EQ(RecordHex(1), "50 12 00 46 00 00 50 46 15 09 23 80 7F FF FF FF");
}

// Opening a box's list and leaving the cell, or running a command, chooses nothing.
TEST_F(ChannelTable, AListLeftOpenChoosesNothing) {
  Start();
  SetRecord(1, InUse);
  fChInfo->FillRow(Row1);
  Click(AtCell(ccPower, Row1));
  ASSERT_TRUE(fChInfo->cbfsgl->Visible());
  Key(VK_F4);
  ASSERT_TRUE(fChInfo->cbfsgl->DroppedDown());
  Key(VK_UP);
  fChInfo->HideEditors();
  Pump();
  EXPECT_FALSE(fChInfo->cbfsgl->Visible());
  EXPECT_FALSE(fChInfo->cbfsgl->DroppedDown());
  EXPECT_EQ(RowTexts(Row1), InUseTexts);
  EXPECT_EQ(RecordHex(1), InUse);
}

TEST_F(ChannelTable, ALanguageFileToneThatIsNoNumberIsLeftOutOfTheList) {
  // The shipped Chinese file with its first tone written with a decimal comma.
  String Chinese = app_test::ReadFile(app_test::ResourceFile("Chinese.Ini"));
  const String Before = "uiDcts.0=\xE6\x97\xA0\n";
  const size_t At = Chinese.find(Before);
  ASSERT_NE(At, String::npos);
  Chinese.insert(At + Before.size(), "uiDcts.1=67,0\n");
  app_test::WriteFile(AppDir() + "Chinese.Ini", Chinese);
  Start("[SysInfo]\nCom=COM1\nDefaultLanguage=1\nLanguage=English|Chinese\n");
  ASSERT_EQ(ALL->LanguageIndex, 1);

  TStrings* Tones = fChInfo->cbQT->Properties()->Items();
  EXPECT_EQ(Tones->UpdateCount(), 0);
  EXPECT_EQ(fChInfo->cbDQT->Properties()->Items()->UpdateCount(), 0);
  EXPECT_EQ(Tones->Count(), fChInfo->uiDcts->Properties()->Items()->Count() - 1);
  EXPECT_EQ(Tones->Strings(0), "\xE6\x97\xA0");
  EXPECT_EQ(Tones->Strings(1), "69.3");
  // The table is set up and filled.
  EXPECT_EQ(Grid()->ColCount(), ccBusyLock + 1);
  EXPECT_EQ(Grid()->RowCount(), Row1 + MaxChannels);
  EXPECT_EQ(Grid()->GetCellInfo(ccNumber, Row1)->ForeText, "1");
  EXPECT_NE(Grid()->GetCellInfo(ccRxFrequency, 1)->ForeText, "RX Frequency");
  EXPECT_EQ(Grid()->GetCellInfo(ccRxFrequency, 1)->ForeText, fChInfo->BColText->Items()->Strings(1));
}

}  // namespace
