// Forms read from form resources: the controls and handlers they get, showing them headless, clicks and
// keys reaching the handlers, the tab order and focus moves, modal forms and their results.
#include <gtest/gtest.h>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"

namespace forms_test {

namespace {

const char* const kDialogText = R"(object Dialog: TTestDialog
  Left = 100
  Top = 80
  BorderStyle = bsDialog
  Caption = 'Choose'
  ClientHeight = 120
  ClientWidth = 240
  Color = clBtnFace
  OnCreate = FormCreate
  OnShow = FormShow
  OnClose = FormClose
  object Second: TTestEdit
    Left = 10
    Top = 40
    TabOrder = 1
    OnEnter = EditEnter
    OnExit = EditExit
  end
  object First: TTestEdit
    Left = 10
    Top = 10
    TabOrder = 0
    OnEnter = EditEnter
    OnExit = EditExit
    OnKeyPress = FirstKeyPress
  end
  object Note: TTestLabel
    Left = 100
    Top = 10
    Caption = 'Note'
    OnClick = NoteClick
  end
  object Ok: TTestButton
    Left = 10
    Top = 80
    Caption = '&OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
    OnClick = OkClick
  end
  object Cancel: TTestButton
    Left = 100
    Top = 80
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 3
  end
end
)";

// A child fails after its tab order was read (and after a sibling's was): the read of the form fails.
const char* const kBrokenDialogText = R"(object Broken: TBrokenDialog
  object Kept: TTestEdit
    TabOrder = 0
  end
  object Panel: TTestPanel
    TabOrder = 1
    object Inner: TTestEdit
      TabOrder = 0
      NoSuchProperty = 1
    end
  end
end
)";

}  // namespace

class TTestDialog : public TForm {
  K58_CLASS(TTestDialog, TForm)

  explicit TTestDialog(TComponent* AOwner) : TForm(AOwner) {}

  std::vector<String> Log;
  TTestEdit* First() { return static_cast<TTestEdit*>(FindComponent("First")); }
  TTestEdit* Second() { return static_cast<TTestEdit*>(FindComponent("Second")); }
  TTestButton* Ok() { return static_cast<TTestButton*>(FindComponent("Ok")); }
  TTestButton* CancelButton() { return static_cast<TTestButton*>(FindComponent("Cancel")); }
  TTestLabel* Note() { return static_cast<TTestLabel*>(FindComponent("Note")); }

  void FormCreate(TObject*) { Log.push_back("create"); }
  void FormShow(TObject*) { Log.push_back("show"); }
  void FormClose(TObject*, TCloseAction&) { Log.push_back("close"); }
  void EditEnter(TObject* Sender) { Log.push_back("enter " + static_cast<TComponent*>(Sender)->Name()); }
  void EditExit(TObject* Sender) { Log.push_back("exit " + static_cast<TComponent*>(Sender)->Name()); }
  void FirstKeyPress(TObject*, char& Key) {
    if (Key == 'x') Key = 0;         // swallowed
    if (Key == 'a') Key = 'A';       // changed
  }
  void OkClick(TObject*) { Log.push_back("ok"); }
  void NoteClick(TObject*) { Log.push_back("note"); }
};

class TMissingResourceForm : public TForm {
  K58_CLASS(TMissingResourceForm, TForm)
  explicit TMissingResourceForm(TComponent* AOwner) : TForm(AOwner) {}
};
K58_IMPLEMENT_CLASS(TMissingResourceForm) {}

class TBrokenDialog : public TForm {
  K58_CLASS(TBrokenDialog, TForm)
  explicit TBrokenDialog(TComponent* AOwner) : TForm(AOwner) {}
};
K58_IMPLEMENT_CLASS(TBrokenDialog) {}

// A container the resource nests a control in.
class TTestPanel : public TCustomControl {
  K58_CLASS(TTestPanel, TCustomControl)
  explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  }
};
K58_IMPLEMENT_CLASS(TTestPanel) {}

K58_IMPLEMENT_CLASS(TTestDialog) {
  b.Method("FormCreate", &TTestDialog::FormCreate);
  b.Method("FormShow", &TTestDialog::FormShow);
  b.Method("FormClose", &TTestDialog::FormClose);
  b.Method("EditEnter", &TTestDialog::EditEnter);
  b.Method("EditExit", &TTestDialog::EditExit);
  b.Method("FirstKeyPress", &TTestDialog::FirstKeyPress);
  b.Method("OkClick", &TTestDialog::OkClick);
  b.Method("NoteClick", &TTestDialog::NoteClick);
}

namespace {

using forms_test::FormsTest;

class FormLoadTest : public FormsTest {
 protected:
  FormLoadTest() {
    static bool registered = false;
    if (!registered) {
      forms_test::RegisterFormResource("TTESTDIALOG", kDialogText);
      forms_test::RegisterFormResource("TBROKENDIALOG", kBrokenDialogText);
      registered = true;
    }
  }
  TTestDialog* Make() { return NewObject<TTestDialog>(nullptr); }
};

TEST_F(FormLoadTest, ReadsControlsPropertiesAndHandlersFromItsResource) {
  TTestDialog* form = Make();
  EXPECT_EQ(form->Name(), "Dialog");
  EXPECT_EQ(form->Caption(), "Choose");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  // The client size is the one read, whatever border the form has.
  EXPECT_EQ(form->ClientWidth(), 240);
  EXPECT_EQ(form->ClientHeight(), 120);
  ASSERT_NE(form->First(), nullptr);
  EXPECT_EQ(form->First()->Parent(), form);
  EXPECT_EQ(form->Note()->Parent(), form);
  // Tab order as read, not as made.
  EXPECT_EQ(form->First()->TabOrder(), 0);
  EXPECT_EQ(form->Second()->TabOrder(), 1);
  EXPECT_TRUE(form->Ok()->Default());
  EXPECT_EQ(form->CancelButton()->ModalResult(), mrCancel);
  // OnCreate once, after everything was read; the form is not shown yet.
  EXPECT_EQ(form->Log, (std::vector<String>{"create"}));
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->HandleAllocated());
  FreeObject(form);
}

TEST_F(FormLoadTest, AClassWithoutAResourceRaisesResourceNotFound) {
  // A form of the plain class, or one made with CreateNew, needs no resource.
  FreeObject(NewObject<TForm>(nullptr));
  FreeObject(forms_test::NewForm());
  EXPECT_THROW(NewObject<TMissingResourceForm>(nullptr), EResNotFound);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormLoadTest, AReadThatFailsInAChildLeavesNoTabOrderBehindForTheNextRead) {
  // The failed read frees the child and the form; the tab orders they were read with go with them.
  for (int round = 0; round < 2; ++round) {
    EXPECT_THROW(NewObject<TBrokenDialog>(nullptr), Exception);
    EXPECT_EQ(Screen->FormCount(), 0);
    TTestDialog* form = Make();
    EXPECT_EQ(form->First()->TabOrder(), 0);
    EXPECT_EQ(form->Second()->TabOrder(), 1);
    EXPECT_EQ(form->Ok()->TabOrder(), 2);
    EXPECT_EQ(form->CancelButton()->TabOrder(), 3);
    FreeObject(form);
  }
}

TEST_F(FormLoadTest, ShowsHeadlessAndFocusesTheFirstTabStop) {
  TTestDialog* form = Make();
  form->Show();
  Pump();
  EXPECT_TRUE(form->Showing());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(form->First()->Showing());
  EXPECT_TRUE(form->Active());
  EXPECT_EQ(form->ActiveControl(), form->First());
  EXPECT_TRUE(form->First()->Focused());
  EXPECT_EQ(Screen->ActiveForm(), form);
  EXPECT_EQ(Screen->ActiveControl(), form->First());
  EXPECT_EQ(form->Log, (std::vector<String>{"create", "show", "enter First"}));
  // The window is where the form says, with its client area painted in the form's colour.
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 80);
  EXPECT_EQ(display.ClientPixel(form->Handle(), POINT{200, 100}), ColorToRGB(clBtnFace));
  FreeObject(form);
}

TEST_F(FormLoadTest, TabAndShiftTabFollowTheTabOrderAndSkipWhatCannotTakeTheFocus) {
  TTestDialog* form = Make();
  form->Show();
  Pump();
  form->Log.clear();
  Key(VK_TAB);
  EXPECT_TRUE(form->Second()->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(form->Ok()->Focused());
  form->CancelButton()->SetEnabled(false);
  Key(VK_TAB);  // the disabled button is skipped; the order wraps round
  EXPECT_TRUE(form->First()->Focused());
  Chord({VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(form->Ok()->Focused());
  form->Second()->SetTabStop(false);
  Chord({VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(form->First()->Focused());
  // Exit of the control left comes before enter of the next one.
  EXPECT_EQ(form->Log, (std::vector<String>{"exit First", "enter Second", "exit Second", "enter First", "exit First",
                                            "enter First"}));
  FreeObject(form);
}

TEST_F(FormLoadTest, ArrowsMoveWithinTheGroupOfTheActiveControl) {
  TTestDialog* form = Make();
  form->Show();
  Pump();
  form->Ok()->SetFocus();
  Pump();
  // The buttons do not want arrows: they move the focus among the form's children, tab stops or not.
  form->CancelButton()->SetTabStop(false);
  Key(VK_RIGHT);
  EXPECT_TRUE(form->CancelButton()->Focused());
  Key(VK_LEFT);
  EXPECT_TRUE(form->Ok()->Focused());
  // An edit wants its arrows: the focus stays.
  form->First()->SetFocus();
  Pump();
  Key(VK_DOWN);
  EXPECT_TRUE(form->First()->Focused());
  FreeObject(form);
}

TEST_F(FormLoadTest, KeysReachOnKeyPressWhichMayChangeOrSwallowThem) {
  TTestDialog* form = Make();
  form->Show();
  Pump();
  display.Type("xabc");
  Pump();
  EXPECT_EQ(form->First()->Typed, "Abc");
  // With KeyPreview the form sees the key first and may keep it from the control.
  form->SetKeyPreview(true);
  form->SetOnKeyPress(TKeyPressEvent([](TObject*, char& Key) {
    if (Key == 'b') Key = 0;
  }));
  display.Type("ab");
  Pump();
  EXPECT_EQ(form->First()->Typed, "AbcA");
  FreeObject(form);
}

TEST_F(FormLoadTest, ClicksReachControlsAndGraphicControlsThroughTheirParent) {
  TTestDialog* form = Make();
  form->Show();
  Pump();
  form->Log.clear();
  Click(form->Note(), 5, 5);
  Click(form->Ok(), 5, 5);
  EXPECT_EQ(form->Log, (std::vector<String>{"note", "ok"}));
  // A press that ends outside the control is no click.
  display.Press(At(form->Ok(), 5, 5));
  display.Release(At(form->Ok(), 200, 5));
  Pump();
  EXPECT_EQ(form->Log.size(), 2u);
  FreeObject(form);
}

TEST_F(FormLoadTest, ShowModalReturnsTheResultOfTheButtonEnterOrEscPresses) {
  struct Case {
    WORD key;
    TModalResult result;
  } cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
  for (const Case& c : cases) {
    TTestDialog* form = Make();
    TForm* main = forms_test::NewForm();
    main->Show();
    Pump();
    bool mainEnabledWhileModal = true;
    form->SetOnShow(TNotifyEvent([&](TObject*) {
      mainEnabledWhileModal = IsWindowEnabled(main->Handle()) != 0;
      display.Key(c.key);
    }));
    EXPECT_EQ(form->ShowModal(), c.result);
    EXPECT_FALSE(mainEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->ModalResult(), c.result);
    FreeObject(form);
    FreeObject(main);
  }
}

TEST_F(FormLoadTest, ClosingAModalFormCancelsItAndCloseQueryCanRefuse) {
  TTestDialog* form = Make();
  int queries = 0;
  form->SetOnCloseQuery(TCloseQueryEvent([&](TObject*, bool& canClose) { canClose = ++queries > 1; }));
  form->SetOnShow(TNotifyEvent([&](TObject*) {
    // The first close is refused, the second one goes through.
    PostMessage(form->Handle(), WM_CLOSE, 0, 0);
    PostMessage(form->Handle(), WM_CLOSE, 0, 0);
  }));
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(form->Log.back(), "close");
  // A visible form cannot be shown modally.
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
  FreeObject(form);
}

TEST_F(FormLoadTest, AModalFormFreedWhileItIsShownEndsItsLoopWithCancel) {
  TForm* main = forms_test::NewForm();
  main->Show();
  Pump();
  struct Case {
    const char* how;
    bool inOnClose;
  } cases[] = {{"freed by a message of the application", false}, {"freed by its OnClose", true}};
  for (const Case& c : cases) {
    TTestDialog* form = Make();
    TWindowHook hook([&](TMessage& Message) {
      if (Message.Msg != WM_APP + 7) return false;
      FreeObject(form);
      return true;
    });
    Application->HookMainWindow(hook);
    if (c.inOnClose) {
      form->SetOnClose(TCloseEvent([&](TObject*, TCloseAction&) { FreeObject(form); }));
      form->SetOnShow(TNotifyEvent([&](TObject*) { PostMessage(form->Handle(), WM_CLOSE, 0, 0); }));
    } else {
      form->SetOnShow(TNotifyEvent([&](TObject*) { PostMessage(Application->Handle(), WM_APP + 7, 0, 0); }));
    }
    EXPECT_EQ(form->ShowModal(), mrCancel) << c.how;
    Application->UnhookMainWindow(hook);
    // The other forms are enabled again and the application is out of its modal state.
    EXPECT_TRUE(IsWindowEnabled(main->Handle())) << c.how;
    EXPECT_EQ(Application->ModalLevel(), 0) << c.how;
    EXPECT_EQ(Screen->FormCount(), 1) << c.how;
  }
}

TEST_F(FormLoadTest, CloseActionsHideFreeOrKeepTheForm) {
  struct Case {
    TCloseAction action;
    bool visibleAfter;
    bool freed;
  } cases[] = {{caNone, true, false}, {caHide, false, false}, {caFree, false, true}, {caMinimize, true, false}};
  for (const Case& c : cases) {
    TForm* main = forms_test::NewForm();
    Application->SetMainForm(main);
    TForm* form = forms_test::NewForm();
    form->SetOnClose(TCloseEvent([&](TObject*, TCloseAction& a) { a = c.action; }));
    form->Show();
    Pump();
    std::weak_ptr<bool> alive = form->AliveToken();
    form->Close();
    Pump();
    bool freed = alive.expired() || !*alive.lock();
    EXPECT_EQ(freed, c.freed) << c.action;
    if (!freed) {
      EXPECT_EQ(form->Visible(), c.visibleAfter) << c.action;
      if (c.action == caMinimize) {
        EXPECT_EQ(form->WindowState(), wsMinimized);
      }
      FreeObject(form);
    }
    Application->SetMainForm(nullptr);
    FreeObject(main);
  }
}

}  // namespace

}  // namespace forms_test
