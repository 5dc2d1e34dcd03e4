// The program started headless for the window tests: in a directory of its own holding the shipped
// language files, with the data module and the main window made and shown. Message boxes are recorded
// and answered; modal dialogs are driven by steps that run once the dialog is up.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/app/AppTestSupport.h"

namespace app_test {

// A message box the program showed.
struct TShownBox {
  String Caption;
  String Text;
  UINT Flags = 0;
};

// Runs steps inside the modal loops of the dialogs the program opens: step n runs with the n-th modal
// form, after it is shown, from its own message loop. A step must end its dialog (or leave the rest to
// the dialog itself).
class TModalDriver {
public:
  TModalDriver();
  ~TModalDriver();
  TModalDriver(const TModalDriver&) = delete;
  TModalDriver& operator=(const TModalDriver&) = delete;

  using TStep = std::function<void(TCustomForm* Dialog)>;
  void Then(TStep Step);
  // Steps not run yet.
  size_t Pending() const { return steps_.size(); }
  // Every modal form seen, by class name.
  std::vector<String> Seen;

private:
  LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  HWND window_ = nullptr;
  std::deque<TStep> steps_;
};

// Clicks a button found by name on a form (its OnClick and modal result).
void ClickButton(TCustomForm* Form, const String& Name);

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the program's files in AppDir() (the shipped language files unless the test wrote its own,
  // SysInfo.Ini when Settings is not empty),
  // starts it and shows the main window.
  void StartProgram(const String& Settings = String());
  // Frees every form, the data module and the document objects.
  void StopProgram();
  void Pump();

  String AppDir() const { return dir_.Path() + "app/"; }
  String DataDir() const { return dir_.Path(); }

  // Answers of the message boxes, in order; when none is left a box gets OK, or No for a question.
  std::deque<Integer> Answers;
  std::vector<TShownBox> Boxes;
  // Texts of the boxes shown since the last call, then forgets them.
  std::vector<String> TakeBoxTexts();

  std::unique_ptr<k58::winui::TestDisplay> Display;
  std::unique_ptr<TModalDriver> Modal;

private:
  TTempDir dir_;
  String savedConfigHome_;
  bool hadConfigHome_ = false;
  bool started_ = false;
};

// The shipped file of the resources folder.
String ResourceFile(const String& Name);

}  // namespace app_test
