// The tone picker: its three tables built from the slot list, the table the radio buttons choose, a tone
// picked by double-clicking it, and the channel table's tone boxes running it.
#include <gtest/gtest.h>

#include "app/AllClass.h"
#include "app/ChInfo.h"
#include "app/MeMode.h"
#include "app/ToneOption.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiRadioButton.h"
#include "grid/CellGrid.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "tests/app/ProgramFixture.h"

namespace {

class ToneOption : public app_test::ProgramTest {
protected:
  // Double-clicks cell (Col, Row) of Grid with the mouse and lets the dialog handle it.
  void DoubleClickCell(TCellGrid* Grid, Integer Col, Integer Row) {
    TRect R;
    Grid->GetCellRect(Col, Row, R);
    POINT P{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    ClientToScreen(Grid->Handle(), &P);
    Display->DoubleClick(P);
    Pump();
  }

  // Runs the picker; Step runs inside it. The dialog is closed with Cancel when Step left it open.
  String PickWith(const std::function<void(TfToneOption*)>& Step, bool* Picked = nullptr) {
    Modal->Then([Step](TCustomForm* Form) {
      auto* Dialog = static_cast<TfToneOption*>(Form);
      Step(Dialog);
      if (Dialog->ModalResult() == mrNone) app_test::ClickButton(Dialog, "btnCancel");
    });
    String Tone = "kept";
    const bool Result = PickTone(Tone);
    if (Picked != nullptr) *Picked = Result;
    EXPECT_EQ(Modal->Pending(), 0u);
    return Tone;
  }
};

String CellText(TCellGrid* Grid, Integer Col, Integer Row) { return Grid->GetCellInfo(Col, Row)->ForeText; }

TEST_F(ToneOption, TheTablesHoldEverySlotInItsGroupAndMarkTheToneColumns) {
  StartProgram();
  PickWith([](TfToneOption* D) {
    // CTCSS: five groups of code, tone and name, nine rows each.
    struct Cell {
      TCellGrid* Grid;
      Integer Col, Row;
      const char* Text;
    } Cells[] = {
        {D->gvCtcss, 1, 1, "01"},    {D->gvCtcss, 2, 1, "67.0"},  {D->gvCtcss, 3, 1, "XZ"},
        {D->gvCtcss, 2, 9, "88.5"},  {D->gvCtcss, 1, 9, "09"},    {D->gvCtcss, 3, 9, "YB"},
        {D->gvCtcss, 5, 1, "91.5"},  {D->gvCtcss, 14, 5, "250.3"}, {D->gvCtcss, 13, 6, "2A"},
        {D->gvCtcss, 14, 6, "254.1"}, {D->gvCtcss, 15, 6, "0Z"},  {D->gvCtcss, 14, 7, ""},
        {D->gvCtcss, 14, 9, ""},
        // DCS: eight groups of number and code, eleven rows; the last three slots are empty.
        {D->gvDcsN, 1, 1, "1"},      {D->gvDcsN, 2, 1, "D023N"},  {D->gvDcsI, 2, 1, "D023I"},
        {D->gvDcsN, 4, 1, "D072N"},  {D->gvDcsN, 16, 8, "D754N"}, {D->gvDcsI, 16, 8, "D754I"},
        {D->gvDcsN, 15, 8, "85"},    {D->gvDcsN, 16, 9, ""},      {D->gvDcsN, 15, 11, ""},
    };
    for (const Cell& C : Cells) EXPECT_EQ(CellText(C.Grid, C.Col, C.Row), C.Text) << C.Grid->Name() << " " << C.Col << "," << C.Row;
    EXPECT_EQ(D->gvCtcss->ColCount(), 16);
    EXPECT_EQ(D->gvDcsN->ColCount(), 17);
    // Only tone columns are marked; they are white and bold, the others coloured.
    for (Integer Col = 1; Col <= 15; ++Col) {
      const TCellInfo* Top = D->gvCtcss->GetCellInfo(Col, 1);
      const bool Tone = Col % 3 == 2;
      EXPECT_EQ(Top->BackText, Tone ? "1" : "") << Col;
      EXPECT_EQ(Top->FontStyle.Contains(fsBold), Tone) << Col;
      EXPECT_EQ(D->gvCtcss->GetCellInfo(Col, 5)->Color,
                Tone ? clWhite : Col % 3 == 1 ? TColor(0xE38DF9) : TColor(0x70F9E1)) << Col;
    }
    EXPECT_EQ(D->gvDcsI->GetCellInfo(3, 4)->Color, TColor(0xDCE72F));
    EXPECT_EQ(D->gvDcsI->GetColWidths(3), 25);
    EXPECT_EQ(D->gvDcsI->GetColWidths(4), 50);
  });
}

TEST_F(ToneOption, TheRadioButtonsShowOneTableAndNameItInTheFrame) {
  StartProgram();
  PickWith([](TfToneOption* D) {
    EXPECT_TRUE(D->rCTCSS->Checked());
    EXPECT_TRUE(D->gvCtcss->Visible());
    EXPECT_FALSE(D->gvDcsN->Visible());
    EXPECT_EQ(D->gbList->Caption(), "CTCSS");
    D->rDCSI->SetChecked(true);
    EXPECT_EQ(D->gbList->Caption(), "DCS-I");
    EXPECT_TRUE(D->gvDcsI->Visible());
    EXPECT_FALSE(D->gvCtcss->Visible());
    EXPECT_FALSE(D->gvDcsN->Visible());
    EXPECT_TRUE(D->gbList->Enabled());
  });
}

TEST_F(ToneOption, ADoubleClickOnAToneHandsItBackAndAnyOtherColumnOrEmptySlotDoesNot) {
  StartProgram();
  struct Case {
    const char* What;
    Integer Table;  // 0 CTCSS, 1 DCS-N, 2 DCS-I
    Integer Col, Row;
    bool Closes;
    const char* Tone;  // what the caller holds afterwards
  } Cases[] = {
      {"a CTCSS tone", 0, 2, 9, true, "88.5"},
      {"a code", 0, 1, 9, false, "kept"},
      {"a name", 0, 3, 9, false, "kept"},
      {"an empty CTCSS slot", 0, 14, 8, true, "kept"},
      {"an inverted DCS code", 2, 16, 8, true, "D754I"},
      {"a DCS number", 1, 1, 1, false, "kept"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    bool Closed = false;
    bool Picked = false;
    const String Tone = PickWith(
        [&](TfToneOption* D) {
          TuiRadioButton* Buttons[] = {D->rCTCSS, D->rDCSN, D->rDCSI};
          TCellGrid* Grids[] = {D->gvCtcss, D->gvDcsN, D->gvDcsI};
          Buttons[C.Table]->SetChecked(true);
          Pump();
          DoubleClickCell(Grids[C.Table], C.Col, C.Row);
          Closed = D->ModalResult() != mrNone;
        },
        &Picked);
    EXPECT_EQ(Closed, C.Closes);
    EXPECT_EQ(Tone, C.Tone);
    EXPECT_EQ(Picked, String(C.Tone) != "kept");
  }
}

TEST_F(ToneOption, TheChannelTablesToneBoxTakesThePickedToneIntoCellAndImage) {
  StartProgram();
  auto* Grid = fChInfo->gvData;
  Grid->SetForeText(ccRxFrequency, 2, "455.0");
  Grid->FocusCell(ccRxTone, 2, true);
  Pump();
  ASSERT_TRUE(fChInfo->cbQT->Visible());

  Modal->Then([this](TCustomForm* Form) { DoubleClickCell(static_cast<TfToneOption*>(Form)->gvCtcss, 2, 9); });
  fChInfo->ComBoxDblClick(fChInfo->cbQT);
  EXPECT_EQ(Grid->GetCellInfo(ccRxTone, 2)->ForeText, "88.5");
  EXPECT_EQ(fChInfo->cbQT->Text(), "88.5");
  EXPECT_EQ(ALL->Image[ChannelOffset(1) + 8], 0x85);
  EXPECT_EQ(ALL->Image[ChannelOffset(1) + 9], 0x08);

  // An empty slot keeps the tone the cell had.
  Grid->FocusCell(ccRxTone, 2, true);
  Pump();
  Modal->Then([this](TCustomForm* Form) { DoubleClickCell(static_cast<TfToneOption*>(Form)->gvCtcss, 14, 9); });
  fChInfo->ComBoxDblClick(fChInfo->cbQT);
  EXPECT_EQ(Grid->GetCellInfo(ccRxTone, 2)->ForeText, "88.5");
  EXPECT_EQ(ALL->Image[ChannelOffset(1) + 8], 0x85);
}

}  // namespace
