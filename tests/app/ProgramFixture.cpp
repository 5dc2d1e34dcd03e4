#include "tests/app/ProgramFixture.h"

#include <cstdlib>
#include <filesystem>

#include "app/AllClass.h"
#include "app/MainFrm.h"
#include "app/Maindb.h"
#include "app/Program.h"
#include "controls/editors/uiEditorKinds.h"
#include "controls/foundation/Foundation.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/win/Windows.h"
#include "platform/win/ui/UiInternal.h"

namespace app_test {

namespace {

constexpr UINT RunStepMessage = WM_APP + 58;

}  // namespace

String ResourceFile(const String& Name) { return String(K58_RESOURCE_DIR) + Name; }

// ---- TModalDriver ----

TModalDriver::TModalDriver() {
  window_ = AllocateHWnd([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Proc(Wnd, Msg, WParam, LParam);
  });
  Application->SetOnModalBegin(TNotifyEvent([this](TObject*) { PostMessage(window_, RunStepMessage, 0, 0); }));
}

TModalDriver::~TModalDriver() {
  Application->SetOnModalBegin(TNotifyEvent());
  DeallocateHWnd(window_);
}

void TModalDriver::Then(TStep Step) { steps_.push_back(std::move(Step)); }

LRESULT TModalDriver::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg != RunStepMessage) return DefWindowProc(Wnd, Msg, WParam, LParam);
  TCustomForm* Dialog = Screen->FocusedForm();
  Seen.push_back(Dialog != nullptr ? Dialog->ClassName() : String("(none)"));
  if (steps_.empty()) {
    // Nothing planned: the dialog is cancelled so the test cannot hang.
    if (Dialog != nullptr) Dialog->SetModalResult(mrCancel);
    return 0;
  }
  TStep Step = std::move(steps_.front());
  steps_.pop_front();
  Step(Dialog);
  return 0;
}

void ClickButton(TCustomForm* Form, const String& Name) {
  auto* Button = dynamic_cast<TButton*>(Form->FindComponent(Name));
  ASSERT_NE(Button, nullptr) << Name;
  Button->Click();
}

// ---- ProgramTest ----

void ProgramTest::SetUp() {
  if (const char* Value = std::getenv("XDG_CONFIG_HOME")) {
    hadConfigHome_ = true;
    savedConfigHome_ = Value;
  }
  ::setenv("XDG_CONFIG_HOME", (dir_.Path() + "config/").c_str(), 1);
  std::filesystem::create_directories(AppDir());
  Display = std::make_unique<k58::winui::TestDisplay>();
  TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String& Caption, UINT Flags) -> Integer {
    Boxes.push_back(TShownBox{Caption, Text, Flags});
    if (!Answers.empty()) {
      const Integer Answer = Answers.front();
      Answers.pop_front();
      return Answer;
    }
    return (Flags & 0x0F) == MB_YESNO ? IDNO : IDOK;
  };
  Modal = std::make_unique<TModalDriver>();
}

void ProgramTest::TearDown() {
  StopProgram();
  Modal.reset();
  TApplication::MessageBoxProc() = nullptr;
  Display.reset();
  if (hadConfigHome_)
    ::setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

void ProgramTest::StartProgram(const String& Settings) {
  // A language file the test put there itself is kept.
  for (const char* Name : {"English.Ini", "Chinese.Ini"})
    std::filesystem::copy_file(ResourceFile(Name), AppDir() + Name,
                               std::filesystem::copy_options::skip_existing);
  if (!Settings.empty()) WriteFile(AppDir() + "SysInfo.Ini", Settings);
  ProgramFile = AppDir() + "k58";
  ::StartProgram();
  started_ = true;
  fMainFrm->Show();
  Pump();
}

void ProgramTest::StopProgram() {
  if (!started_) return;
  started_ = false;
  while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
  FreeAndNil(fMaindb);
  fMainFrm = nullptr;
  Application->SetMainForm(nullptr);
  ProgramFile.clear();
  k58::editors::StopEditorKindUnits();
  k58::foundation::StopUnits();
  delete ALL;
  delete Language;
  delete FrqList;
  delete MacList;
  ALL = nullptr;
  Language = nullptr;
  FrqList = nullptr;
  MacList = nullptr;
}

void ProgramTest::Pump() {
  for (int Round = 0; Round < 1000; ++Round) {
    Application->ProcessMessages();
    if (!k58::winui::RawPending()) {
      MSG M;
      if (!PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
  }
}

std::vector<String> ProgramTest::TakeBoxTexts() {
  std::vector<String> Texts;
  for (const TShownBox& Box : Boxes) Texts.push_back(Box.Text);
  Boxes.clear();
  return Texts;
}

}  // namespace app_test
