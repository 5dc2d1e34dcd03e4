// The port, language, model and port selection dialogs, shown modally headless and driven from their own
// message loops.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/FormResources.h"
#include "app/Model.h"
#include "app/SetLanguage.h"
#include "app/SetPort.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "serial/SioSelCom.h"
#include "serial/SioSelComPrompt.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"

namespace {

using apptest::ClickButton;
using apptest::TFakePorts;
using apptest::TModalDriver;

class DialogTest : public apptest::DocumentTest {
protected:
  void SetUp() override {
    Display = std::make_unique<winui::TestDisplay>();
    PrepareFormResources();
    DocumentTest::SetUp();
    SelectDefaultModelAndNewImage();
    for (const char* Name : {"English.Ini", "Chinese.Ini"})
      std::filesystem::copy_file(apptest::ResourceFile(Name), AppDir() + Name);
    TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String& Caption, UINT Flags) {
      Boxes.push_back(Caption + "|" + Text + "|" + std::to_string(Flags));
      return Answer;
    };
    Modal = std::make_unique<TModalDriver>();
  }
  void TearDown() override {
    Modal.reset();
    while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
    TApplication::MessageBoxProc() = nullptr;
    DocumentTest::TearDown();
    Display.reset();
  }

  // Shows a dialog of class T modally with Step running inside it; the dialog is freed afterwards and
  // Inspect sees it before.
  template <class T>
  Integer Run(T*& Variable, TModalDriver::TStep Step, const std::function<void(T*)>& Inspect = {}) {
    Variable = NewObject<T>(Application);
    Modal->Then(std::move(Step));
    const Integer Result = Variable->ShowModal();
    if (Inspect) Inspect(Variable);
    FreeAndNil(Variable);
    return Result;
  }

  std::unique_ptr<winui::TestDisplay> Display;
  std::unique_ptr<TModalDriver> Modal;
  std::vector<String> Boxes;
  Integer Answer = IDOK;
};

// ---- Port dialog ----

TEST_F(DialogTest, PortDialogOffersThePortsThatOpenAndMakesTheCheckedOneCurrent) {
  TFakePorts Ports({1, 12, 30});
  ALL->PortName = "COM1";
  Run(fSetPort, [](TCustomForm* Form) {
    auto* Dialog = static_cast<TfSetPort*>(Form);
    for (Integer N = 1; N <= TfSetPort::PortButtons; ++N)
      EXPECT_EQ(Dialog->uiPorts[N - 1]->Enabled(), N == 1 || N == 12) << N;
    EXPECT_TRUE(Dialog->uiPorts[0]->Checked());
    EXPECT_EQ(Dialog->uiPort->Caption(), Dialog->Caption());
    Dialog->uiPorts[11]->SetChecked(true);
    ClickButton(Dialog, "btnOk");
  });
  EXPECT_EQ(ALL->PortName, "COM12");

  // Cancel keeps the port.
  Run(fSetPort, [](TCustomForm* Form) {
    static_cast<TfSetPort*>(Form)->uiPorts[0]->SetChecked(true);
    ClickButton(Form, "btnCancel");
  });
  EXPECT_EQ(ALL->PortName, "COM12");
}

TEST_F(DialogTest, PortDialogTranslatedCaptionsTheButtonsWithThePrefixOfTheLanguage) {
  TFakePorts Ports({});
  ALL->LanguageIndex = 1;
  ALL->LanguageName = "Chinese";
  Run(fSetPort, [](TCustomForm* Form) {
    auto* Dialog = static_cast<TfSetPort*>(Form);
    EXPECT_EQ(Dialog->Caption(), "通信端口");
    EXPECT_EQ(Dialog->uiPort->Caption(), "通信端口");
    EXPECT_EQ(Dialog->uiPorts[6]->Caption(), Dialog->lbName->Caption() + "7");
    ClickButton(Dialog, "btnCancel");
  });
}

// ---- Language dialog ----

TEST_F(DialogTest, LanguageDialogChangesOnlyOnOkWithAnotherLanguage) {
  apptest::WriteFile(AppDir() + "SysInfo.Ini", "[SysInfo]\r\nLanguage=English|Chinese\r\nEnglish=English|Chinese\r\n");
  ALL->LanguageName = "English";
  ALL->LanguageIndex = 0;
  // Cancel after choosing another language.
  Run(fSetLanguage,
      [](TCustomForm* Form) {
        auto* Dialog = static_cast<TfSetLanguage*>(Form);
        EXPECT_EQ(Dialog->cbLanguage->Items()->Count(), 2);
        EXPECT_EQ(Dialog->cbLanguage->Text(), "English");
        Dialog->cbLanguage->SetItemIndex(1);
        ClickButton(Dialog, "btnCancel");
      },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_FALSE(Dialog->Changed); }));
  EXPECT_EQ(ALL->LanguageName, "English");
  EXPECT_EQ(ALL->LanguageIndex, 0);

  // OK with the same language reports no change.
  Run(fSetLanguage, [](TCustomForm* Form) { ClickButton(Form, "btnOk"); },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_FALSE(Dialog->Changed); }));

  Run(fSetLanguage,
      [](TCustomForm* Form) {
        static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(1);
        ClickButton(Form, "btnOk");
      },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_TRUE(Dialog->Changed); }));
  EXPECT_EQ(ALL->LanguageName, "Chinese");
  EXPECT_EQ(ALL->LanguageIndex, 1);
}

// ---- Model dialog ----

TEST_F(DialogTest, ModelDialogOffersTheBandsOfTheChosenModelWithItsDefaultBand) {
  Run(fModel,
      [](TCustomForm* Form) {
        auto* Dialog = static_cast<TfModel*>(Form);
        EXPECT_EQ(Dialog->cbCopmut->Text(), "K58(UHF)");
        EXPECT_EQ(Dialog->cbPd->Text(), "450 - 470MHz");
        EXPECT_EQ(Dialog->cbPd->Items()->Count(), 9);
        Dialog->cbCopmut->SetItemIndex(1);
        Dialog->cbCopmutChange(Dialog->cbCopmut);
        ASSERT_EQ(Dialog->cbPd->Items()->Count(), 4);
        EXPECT_EQ(Dialog->cbPd->Items()->Strings(0), "136 - 150MHz");
        EXPECT_EQ(Dialog->cbPd->Text(), "150 - 174MHz");
        Dialog->cbPd->SetItemIndex(1);
        ClickButton(Dialog, "btnOk");
      },
      std::function<void(TfModel*)>([](TfModel* Dialog) {
        EXPECT_TRUE(Dialog->Confirmed);
        EXPECT_EQ(Dialog->ModelText, "K58(VHF)");
        EXPECT_EQ(Dialog->BandText, "136 - 174MHz");
      }));
  // The dialog itself changes nothing.
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");

  Run(fModel, [](TCustomForm* Form) { ClickButton(Form, "btnCancel"); },
      std::function<void(TfModel*)>([](TfModel* Dialog) { EXPECT_FALSE(Dialog->Confirmed); }));
}

// ---- Port selection dialog of the port component ----

TEST_F(DialogTest, PortSelectionListsOpenAndHeldPortsAndAnswersTheChosenNumber) {
  TFakePorts Ports({1, 3, 12, 60});
  // Another program holds COM3: it is listed all the same.
  const int Held = ::open(Ports.Path(3).c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(Held, 0);
  ASSERT_EQ(::flock(Held, LOCK_EX | LOCK_NB), 0);

  Modal->Then([](TCustomForm* Form) {
    auto* Dialog = static_cast<TComSelectForm*>(Form);
    TStrings* Items = Dialog->PortsComboBox->Items();
    ASSERT_EQ(Items->Count(), 3);
    EXPECT_EQ(Items->Strings(0), "COM1");
    EXPECT_EQ(Items->Strings(1), "COM3");
    EXPECT_EQ(Items->Strings(2), "COM12");
    EXPECT_EQ(Dialog->PortsComboBox->ItemIndex(), 0);
    Dialog->PortsComboBox->SetItemIndex(2);
    ClickButton(Dialog, "OkBtn");
  });
  EXPECT_EQ(ChooseComPort(), 12);
  ::close(Held);

  Modal->Then([](TCustomForm* Form) { ClickButton(Form, "AbortBtn"); });
  EXPECT_EQ(ChooseComPort(), 0);
}

TEST_F(DialogTest, PortSelectionWithNoPortsAnswersNothingOnOk) {
  TFakePorts Ports({});
  Modal->Then([](TCustomForm* Form) {
    EXPECT_EQ(static_cast<TComSelectForm*>(Form)->PortsComboBox->Items()->Count(), 0);
    ClickButton(Form, "OkBtn");
  });
  EXPECT_EQ(ChooseComPort(), 0);
}

// ---- Message boxes ----

TEST_F(DialogTest, MessageBoxKindsHaveTheirButtonsAndOtherKindsShowNothing) {
  struct Case {
    Integer Kind;
    UINT Flags;
  } Cases[] = {{mbkInformation, MB_ICONINFORMATION | MB_OK},
               {mbkQuestion, MB_ICONQUESTION | MB_YESNO},
               {mbkRetryCancel, MB_ICONQUESTION | MB_RETRYCANCEL}};
  Answer = 7;
  for (const Case& C : Cases) {
    Boxes.clear();
    EXPECT_EQ(ShowMessageBox("Cap", "Text", C.Kind), 7);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Cap|Text|" + std::to_string(C.Flags));
  }
  Boxes.clear();
  EXPECT_EQ(ShowMessageBox("Cap", "Text", 5), 1);
  EXPECT_TRUE(Boxes.empty());
}

}  // namespace
