// The read and write dialogs as the user sees them, against the simulated radio on a pseudo-terminal in
// real time: the progress bar's range and steps and the OK button while the blocks go over the line.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <algorithm>
#include <thread>
#include <vector>

#include "app/AllClass.h"
#include "app/FormResources.h"
#include "app/Program.h"
#include "app/ReadRadioForm.h"
#include "app/WriteRadioForm.h"
#include "controls/editors/uiButtons.h"
#include "controls/extra/uiProgressBar.h"
#include "platform/forms/Forms.h"
#include "platform/win/Windows.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ProgramFixture.h"
#include "tests/sim/RadioSim.h"

namespace {

using app_test::ClickButton;

constexpr int TransferCom = 20;

// What the bar and the OK button showed while a transfer ran.
struct TTransferView {
  std::vector<double> Positions;  // each position shown, in order, without repeats
  bool OkEnabledDuringTransfer = false;
};

class TransferDialogTest : public app_test::DocumentTest {
protected:
  void SetUp() override {
    Display = std::make_unique<k58::winui::TestDisplay>();
    StartProgramUnits();
    PrepareFormResources();
    DocumentTest::SetUp();
    SelectDefaultModelAndNewImage();
    ALL->PortName = "COM" + std::to_string(TransferCom);
    Radio = std::make_unique<sim_test::RadioSim>();
    Radio->Attach(TransferCom);
    TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String&, UINT) {
      Texts.push_back(Text);
      return IDOK;
    };
    Modal = std::make_unique<app_test::TModalDriver>();
  }
  void TearDown() override {
    Modal.reset();
    while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
    TApplication::MessageBoxProc() = nullptr;
    Radio.reset();
    ::unsetenv(("K58_COM" + std::to_string(TransferCom)).c_str());
    StopProgramUnits();
    DocumentTest::TearDown();
    Display.reset();
  }

  // Presses OK and runs the dialog's messages until Done holds (or 20 s pass), noting the bar and OK.
  template <class Dialog>
  TTransferView RunTransfer(Dialog* D, const std::function<bool()>& Done) {
    TTransferView View;
    View.Positions.push_back(D->pBar->Position());
    ClickButton(D, "btnOk");
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Done() && std::chrono::steady_clock::now() < Deadline) {
      Application->ProcessMessages();
      if (D->pBar->Position() != View.Positions.back()) View.Positions.push_back(D->pBar->Position());
      if (!Done() && D->btnOk->Enabled()) View.OkEnabledDuringTransfer = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!Done()) {
      ADD_FAILURE() << "the transfer did not end; messages: " << Texts.size() << ", bar at " << D->pBar->Position();
      for (const String& Text : Texts) ADD_FAILURE() << Text;
      D->SetModalResult(mrCancel);
    }
    return View;
  }

  bool Shown(const String& Text) const { return std::find(Texts.begin(), Texts.end(), Text) != Texts.end(); }

  // The bar counted the blocks one by one from 0 up to its maximum.
  static void ExpectCountedUp(const std::vector<double>& Positions) {
    ASSERT_FALSE(Positions.empty());
    EXPECT_EQ(Positions.front(), 0);
    for (size_t I = 1; I < Positions.size(); ++I) EXPECT_EQ(Positions[I], Positions[I - 1] + 1) << "step " << I;
    EXPECT_EQ(Positions.back(), 44);
  }

  std::unique_ptr<k58::winui::TestDisplay> Display;
  std::unique_ptr<app_test::TModalDriver> Modal;
  std::unique_ptr<sim_test::RadioSim> Radio;
  std::vector<String> Texts;
};

TEST_F(TransferDialogTest, ReadShowsEachBlockOnTheBarWithOkDisabledAndEndsAtTheMaximum) {
  TTransferView View;
  fReadRadio = NewObject<TfReadRadio>(Application);
  Modal->Then([&](TCustomForm* Form) {
    auto* D = static_cast<TfReadRadio*>(Form);
    EXPECT_EQ(D->pBar->Properties()->Max(), 44);
    EXPECT_TRUE(D->btnOk->Enabled());
    View = RunTransfer(D, [&] { return Shown(Language->ReadOk) && D->Done(); });
    EXPECT_EQ(D->pBar->Position(), 44);
    // The dialog closes itself shortly after the message (timers run on the display's clock).
    Display->Advance(300);
    Application->ProcessMessages();
    EXPECT_NE(D->ModalResult(), mrNone);
    D->SetModalResult(mrCancel);
  });
  fReadRadio->ShowModal();
  EXPECT_TRUE(fReadRadio->Done());
  FreeAndNil(fReadRadio);

  EXPECT_EQ(Texts, std::vector<String>{Language->ReadOk});
  EXPECT_FALSE(View.OkEnabledDuringTransfer);
  ExpectCountedUp(View.Positions);
}

TEST_F(TransferDialogTest, WriteShowsEachBlockOnTheBarWithOkDisabledThenOffersOkAgain) {
  TTransferView View;
  fWriteRadio = NewObject<TfWriteRadio>(Application);
  Modal->Then([&](TCustomForm* Form) {
    auto* D = static_cast<TfWriteRadio*>(Form);
    EXPECT_EQ(D->pBar->Properties()->Max(), 44);
    View = RunTransfer(D, [&] { return Shown(Language->WriteOk); });
    // After the message the bar starts over and OK may write again; the dialog stays up.
    EXPECT_EQ(D->pBar->Position(), 0);
    EXPECT_TRUE(D->btnOk->Enabled());
    EXPECT_EQ(D->ModalResult(), mrNone);
    ClickButton(D, "btnCancel");
  });
  fWriteRadio->ShowModal();
  FreeAndNil(fWriteRadio);

  EXPECT_EQ(Texts, std::vector<String>{Language->WriteOk});
  EXPECT_FALSE(View.OkEnabledDuringTransfer);
  // The bar went up to its maximum and back to 0 once the radio was written.
  ASSERT_GE(View.Positions.size(), 2u);
  EXPECT_EQ(View.Positions.back(), 0);
  View.Positions.pop_back();
  ExpectCountedUp(View.Positions);
}

}  // namespace
