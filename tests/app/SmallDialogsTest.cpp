// The test frequency, embedded message and About dialogs, opened by the main window's commands: the range
// checks of the frequency table and the notice on closing, the message editors' key filter, and the About
// box's texts and pictures and its closing on any press.
#include <gtest/gtest.h>

#include "app/AllClass.h"
#include "app/EmbeddedMessage.h"
#include "app/FrmAbout.h"
#include "app/MainFrm.h"
#include "app/TestFrequency.h"
#include "controls/editors/uiTextEdit.h"
#include "grid/CellGrid.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"
#include "tests/app/ProgramFixture.h"

namespace {

class SmallDialogs : public app_test::ProgramTest {
protected:
  // Runs command Number; Step runs inside the dialog it opens.
  void RunCommand(Integer Number, app_test::TModalDriver::TStep Step) {
    Modal->Then(std::move(Step));
    fMainFrm->DoCommand(Number);
    EXPECT_EQ(Modal->Pending(), 0u);
  }
  // The program as shipped: English first.
  void Start() { StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini"))); }
  // Presses the mouse on the middle of Control.
  void PressOn(TControl* Control) {
    const TPoint P = Control->ClientToScreen(TPoint{Control->Width() / 2, Control->Height() / 2});
    Display->Click(POINT{P.x, P.y});
    Pump();
  }
};

TEST_F(SmallDialogs, TestFrequenciesAreCheckedAgainstModelAndBandAndKeptNowhere) {
  Start();
  const TMemoryImage Before = ALL->Image;
  struct Case {
    Integer Col, Row;
    const char* Typed;
    const char* Shown;
    String TLanguage::*Box;  // nullptr: no message
  } Cases[] = {
      {2, 2, "700", "470.00000", &TLanguage::ErrRange},    // above the model: the band's upper edge
      {3, 2, "50", "450.00000", &TLanguage::ErrRange},     // below the model: the band's lower edge
      {2, 3, "445", "445.00000", &TLanguage::OutRange},    // in the model, outside the band
      {3, 17, "460.003", "460.00300", nullptr},            // not snapped to a channel step
      {2, 2, "", "", nullptr},                             // a cleared cell stays empty
  };
  RunCommand(cmTestFrequency, [&](TCustomForm* Form) {
    auto* Dialog = static_cast<TfTestFrequency*>(Form);
    TCellGrid* Grid = Dialog->gvData;
    EXPECT_EQ(Grid->GetCellInfo(1, 1)->ForeText, "Channel");  // the titles of the chosen language
    EXPECT_EQ(Grid->GetCellInfo(3, 1)->ForeText, "TX[MHz]");
    EXPECT_EQ(Grid->GetCellInfo(1, 17)->ForeText, "16");
    EXPECT_EQ(Grid->GetColWidths(2), 100);
    EXPECT_FALSE(Dialog->Changed);
    for (const Case& C : Cases) {
      SCOPED_TRACE(C.Typed);
      Boxes.clear();
      Grid->SetForeText(C.Col, C.Row, C.Typed);
      EXPECT_EQ(Grid->GetCellInfo(C.Col, C.Row)->ForeText, C.Shown);
      if (C.Box != nullptr) {
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Caption, Language->Caution);
        EXPECT_EQ(Boxes[0].Text, Language->*C.Box);
      } else {
        EXPECT_TRUE(Boxes.empty());
      }
    }
    EXPECT_TRUE(Dialog->Changed);
    Boxes.clear();
    app_test::ClickButton(Dialog, "btnOk");
  });
  // Closing after a change says the table went nowhere.
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, Language->Confirmation);
  EXPECT_EQ(Boxes[0].Text, "Test Frequency mismatch. Execute read data from radio or write to radio.");
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_EQ(fTestFrequency, nullptr);

  // Nothing typed, nothing said.
  Boxes.clear();
  RunCommand(cmTestFrequency, [](TCustomForm* Form) { app_test::ClickButton(Form, "btnCancel"); });
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(SmallDialogs, TheMessageEditorsTakeLettersDigitsBlanksAndTheDecimalSeparatorOnly) {
  const char Saved = FormatSettings.DecimalSeparator;
  for (const char Separator : {'.', ','}) {
    FormatSettings.DecimalSeparator = Separator;
    struct Case {
      char Key, Taken;
    } Cases[] = {{'a', 'a'}, {'Z', 'Z'}, {'7', '7'}, {' ', ' '}, {8, 8},     {13, 13},
                 {',', Separator}, {'.', Separator}, {'-', 0}, {'@', 0}, {'\xE4', 0}, {'\t', 0}};
    for (const Case& C : Cases) EXPECT_EQ(FilterMessageKey(C.Key), C.Taken) << int(C.Key) << " with " << Separator;
  }
  FormatSettings.DecimalSeparator = Saved;

  Start();
  const TMemoryImage Before = ALL->Image;
  RunCommand(cmEmbeddedMessage, [this](TCustomForm* Form) {
    auto* Dialog = static_cast<TfEmbeddedMessage*>(Form);
    Dialog->edEMA->SetFocus();
    Pump();
    Display->Type("Ch-1,5 @ok");
    Pump();
    EXPECT_EQ(Dialog->edEMA->Text(), String("Ch1") + FormatSettings.DecimalSeparator + "5 ok");
    Dialog->edEMB->SetFocus();
    Pump();
    Display->Type(String(40, 'x'));
    Pump();
    EXPECT_EQ(Dialog->edEMB->Text(), String(32, 'x'));
    app_test::ClickButton(Dialog, "btnOk");
  });
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_FALSE(ALL->Modified);
}

TEST_F(SmallDialogs, AboutShowsTheLanguageFilesTextsAndClosesOnAnyPress) {
  Start();
  // Each press closes the box: on a label, the panel, a picture or the form itself.
  const char* Targets[] = {"Label3", "pAbout", "ImAbout", "ImApp", "fFrmAbout"};
  for (const char* Target : Targets) {
    SCOPED_TRACE(Target);
    ALL->ShowAboutPicture = String(Target) == "ImAbout";
    bool Closed = false;
    RunCommand(cmAbout, [&](TCustomForm* Form) {
      auto* Dialog = static_cast<TfFrmAbout*>(Form);
      EXPECT_EQ(Dialog->Caption(), ALL->ProgramCaption);
      EXPECT_EQ(Dialog->Label[0]->Caption(), "K58 Programming Software");
      EXPECT_EQ(Dialog->Label[8]->Caption(), "All rights reserved.");
      EXPECT_EQ(app_test::Lines(*Dialog->Memo1->Lines()),
                (std::vector<String>{Dialog->Label[4]->Caption(), Dialog->Label[5]->Caption(), "",
                                     Dialog->Label[6]->Caption()}));
      EXPECT_GT(Dialog->ImApp->Picture()->Width(), 0);
      EXPECT_EQ(Dialog->ImAbout->Picture()->Width(), ALL->ShowAboutPicture ? 240 : 0);
      auto* Control = String(Target) == "fFrmAbout" ? Dialog : dynamic_cast<TControl*>(Dialog->FindComponent(Target));
      ASSERT_NE(Control, nullptr);
      if (Control == Dialog) {
        // A corner of the form outside its panel.
        const TPoint P = Dialog->ClientToScreen(TPoint{2, 2});
        Display->Click(POINT{P.x, P.y});
        Pump();
      } else {
        PressOn(Control);
      }
      Closed = Dialog->ModalResult() != mrNone;
      if (!Closed) Dialog->SetModalResult(mrCancel);
    });
    EXPECT_TRUE(Closed);
  }
}

}  // namespace
