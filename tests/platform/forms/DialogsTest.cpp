// File dialogs through their replaceable procedure (what they ask, what they answer, the default
// extension), the message functions' boxes and results, and the input query with its form.
#include "StdCtlTesting.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/forms/Dialogs.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/win/ui/MessageBox.h"

namespace forms_test {
namespace {

class DialogsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    savedFile_ = k58::forms::FileDialogProc();
    savedInput_ = k58::forms::InputQueryProc();
    savedBox_ = TApplication::MessageBoxProc();
  }
  void TearDown() override {
    k58::forms::FileDialogProc() = savedFile_;
    k58::forms::InputQueryProc() = savedInput_;
    TApplication::MessageBoxProc() = savedBox_;
    FormTest::TearDown();
  }
  k58::forms::TFileDialogProc savedFile_;
  k58::forms::TInputQueryProc savedInput_;
  TApplication::TMessageBoxProc savedBox_;
};

TEST_F(DialogsTest, FileDialogsPassTheirSettingsAndAddTheDefaultExtension) {
  struct Case {
    const char* DefaultExt;
    const char* Chosen;
    const char* FileName;
  } cases[] = {
      {"*.dat", "/data/radio", "/data/radio.dat"},  // a pattern names the extension
      {".dat", "/data/radio", "/data/radio.dat"},
      {"dat", "/data/radio.bin", "/data/radio.bin"},  // a name with an extension keeps it
      {"dat", "/data.old/radio", "/data.old/radio.dat"},
      {"", "/data/radio", "/data/radio"},
      {"*.*", "/data/radio", "/data/radio"},  // no usable extension
  };
  k58::forms::FileDialogRequest seen;
  String answer;
  k58::forms::FileDialogProc() = [&](k58::forms::FileDialogRequest& Request) {
    seen = Request;
    Request.FileName = answer;
    Request.FilterIndex = 2;
    return true;
  };
  TObjectPtr<TSaveDialog> dialog(new TSaveDialog(nullptr));
  dialog->SetFilter("Data File(*.dat)|*.dat|All|*.*");
  dialog->SetTitle("Save the data");
  dialog->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.DefaultExt);
    dialog->SetDefaultExt(c.DefaultExt);
    answer = c.Chosen;
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), c.FileName);
    ASSERT_EQ(dialog->Files()->Count(), 1);
    EXPECT_EQ(dialog->Files()->Strings(0), c.FileName);
  }
  EXPECT_TRUE(seen.Save);
  EXPECT_EQ(seen.Filter, "Data File(*.dat)|*.dat|All|*.*");
  EXPECT_EQ(seen.Title, "Save the data");
  EXPECT_EQ(seen.FileName, "/data/radio");  // the name of the last choice is shown first
  EXPECT_TRUE(seen.Options.Contains(ofOverwritePrompt));
  EXPECT_EQ(dialog->FilterIndex(), 2);

  // Cancelled: false, and the file name stays.
  k58::forms::FileDialogProc() = [&](k58::forms::FileDialogRequest& Request) {
    seen = Request;
    Request.FileName = "/elsewhere";
    return false;
  };
  TObjectPtr<TOpenDialog> open(new TOpenDialog(nullptr));
  open->SetFileName("/data/kept.dat");
  EXPECT_FALSE(open->Execute());
  EXPECT_FALSE(seen.Save);
  EXPECT_EQ(open->FileName(), "/data/kept.dat");
  // Without a procedure nothing is chosen.
  k58::forms::FileDialogProc() = nullptr;
  EXPECT_FALSE(open->Execute());
}

TEST_F(DialogsTest, TheDefaultProcedureShowsTheWindowSystemsDialog) {
  const std::string folder = "/tmp/k58-dialogs-" + std::to_string(::getpid());
  ::mkdir(folder.c_str(), 0700);
  std::ofstream(folder + "/old.dat") << "x";
  std::string typed;
  std::vector<k58::builtin::CommonDialogKind> kinds;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& Info) {
    kinds.push_back(Info.Kind);
    ::SetWindowText(k58::builtin::CommonDialogItem(Info.Dialog, edt1), typed.c_str());
    return IDOK;
  });
  TObjectPtr<TSaveDialog> save(new TSaveDialog(nullptr));
  save->SetDefaultExt("*.dat");  // as the program's forms give it
  save->SetFilter("Data File(*.dat)|*.dat");
  save->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
  typed = folder + "/radio";
  bool saved = save->Execute();
  TObjectPtr<TOpenDialog> open(new TOpenDialog(nullptr));
  open->SetOptions(TOpenOptions{ofHideReadOnly, ofFileMustExist});
  typed = folder + "/old.dat";
  bool opened = open->Execute();
  k58::builtin::SetCommonDialogHandler(nullptr);
  ::unlink((folder + "/old.dat").c_str());
  ::rmdir(folder.c_str());
  EXPECT_TRUE(saved);
  EXPECT_EQ(save->FileName(), folder + "/radio.dat");
  EXPECT_TRUE(opened);
  EXPECT_EQ(open->FileName(), folder + "/old.dat");
  EXPECT_EQ((std::vector<k58::builtin::CommonDialogKind>{k58::builtin::CommonDialogKind::Save,
                                                        k58::builtin::CommonDialogKind::Open}),
            kinds);
}

TEST_F(DialogsTest, MessageFunctionsShowTheBoxOfTheirKindAndAnswerModalResults) {
  UINT flags = 0;
  String caption, text;
  Integer answer = IDOK;
  TApplication::MessageBoxProc() = [&](HWND, const String& Text, const String& Caption, UINT Flags) -> Integer {
    text = Text;
    caption = Caption;
    flags = Flags;
    return answer;
  };
  Application->SetTitle("K58");
  ShowMessage("Done");
  EXPECT_EQ(text, "Done");
  EXPECT_EQ(caption, "K58");
  EXPECT_EQ(flags & MB_TYPEMASK, MB_OK);

  struct Case {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    UINT Flags;
    const char* Caption;
    Integer Answer;
    Integer Result;
  } cases[] = {
      {mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, MB_YESNO | MB_ICONQUESTION, "Confirm", IDNO, mrNo},
      {mtWarning, mbYesNoCancel, MB_YESNOCANCEL | MB_ICONWARNING, "Warning", IDCANCEL, mrCancel},
      {mtError, TMsgDlgButtons{mbOK}, MB_OK | MB_ICONERROR, "Error", IDOK, mrOk},
      {mtInformation, mbOKCancel, MB_OKCANCEL | MB_ICONINFORMATION, "Information", IDOK, mrOk},
      {mtError, mbAbortRetryIgnore, MB_ABORTRETRYIGNORE | MB_ICONERROR, "Error", IDRETRY, mrRetry},
      {mtCustom, TMsgDlgButtons{mbRetry, mbCancel}, MB_RETRYCANCEL, "K58", IDRETRY, mrRetry},
      // A box that could not be shown counts as cancelled, not as a choice.
      {mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, MB_YESNO | MB_ICONQUESTION, "Confirm", 0, mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    answer = c.Answer;
    EXPECT_EQ(MessageDlg("Sure?", c.Type, c.Buttons, 0), c.Result);
    EXPECT_EQ(flags, c.Flags);
    EXPECT_EQ(caption, c.Caption);
  }
}

TEST_F(DialogsTest, InputQueryAnswersThroughItsProcedureAndKeepsTheValueWhenCancelled) {
  bool accept = true;
  String seenCaption, seenPrompt;
  k58::forms::InputQueryProc() = [&](const String& Caption, const String& Prompt, String& Value) {
    seenCaption = Caption;
    seenPrompt = Prompt;
    Value = "changed";
    return accept;
  };
  String value = "start";
  EXPECT_TRUE(InputQuery("Channel", "Name:", value));
  EXPECT_EQ(value, "changed");
  EXPECT_EQ(seenCaption, "Channel");
  EXPECT_EQ(seenPrompt, "Name:");
  accept = false;
  value = "start";
  EXPECT_FALSE(InputQuery("Channel", "Name:", value));
  EXPECT_EQ(value, "start");
  EXPECT_EQ(InputBox("Channel", "Name:", "default"), "default");
  accept = true;
  EXPECT_EQ(InputBox("Channel", "Name:", "default"), "changed");
}

TEST_F(DialogsTest, TheInputFormTakesTheTypedTextWithEnterAndNothingWithEsc) {
  TEdit* edit = nullptr;
  TObjectPtr<TForm> form(k58::forms::CreateInputQueryForm("Channel", "Name:", "old", edit));
  EXPECT_EQ(form->Caption(), "Channel");
  EXPECT_EQ(edit->Text(), "old");
  EXPECT_EQ(RunModal(form.get(), [&] { D->Type("new"); D->Key(VK_RETURN); }), mrOk);
  EXPECT_EQ(edit->Text(), "new");  // the old text was selected and is replaced
  EXPECT_EQ(RunModal(form.get(), [&] { D->Key(VK_ESCAPE); }), mrCancel);

  // The default procedure shows such a form.
  bool typed = false;
  int idles = 0;
  TIdleEvent saved = Application->OnIdle();
  Application->SetOnIdle(TIdleEvent([&](TObject*, bool& Done) {
    Done = false;
    TCustomForm* active = Screen->ActiveCustomForm();
    if (!typed && active != nullptr && active->Visible() && active->Caption() == "Radio name") {
      typed = true;
      D->Type("K5");
      D->Key(VK_RETURN);
    } else if (++idles > 500 && active != nullptr) {
      active->SetModalResult(mrAbort);  // a broken test fails instead of hanging
    }
  }));
  String value = "x";
  bool ok = false;
  try {
    ok = InputQuery("Radio name", "Name:", value);
  } catch (...) {
    Application->SetOnIdle(saved);
    throw;
  }
  Application->SetOnIdle(saved);
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, "K5");
}

}  // namespace
}  // namespace forms_test
