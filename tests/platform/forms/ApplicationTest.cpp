// The application and the screen: the display of exceptions, the message loop and the main form, the
// hidden application window and its hooks, hints, cursors, monitors and the active form.
#include <gtest/gtest.h>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/forms/Hints.h"
#include "platform/win/Windows.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;

class ApplicationTest : public FormsTest {
 protected:
  ApplicationTest() { Application->SetTitle("K58 test"); }
  ~ApplicationTest() override { Application->SetTitle(""); }
};

TEST_F(ApplicationTest, AnExceptionEscapingAHandlerIsShownInAMessageBox) {
  TForm* form = forms_test::NewForm();
  auto* button = new TTestButton(form);
  button->SetParent(form);
  String message;
  button->SetOnClick(TNotifyEvent([&](TObject*) { throw EConvertError(message); }));
  form->Show();
  Pump();
  struct Case {
    const char* thrown;
    const char* shown;
  } cases[] = {
      {"'x' is not a valid integer value", "'x' is not a valid integer value."},  // a full stop is added
      {"Port busy!", "Port busy!"},                                                // other punctuation stays
      {"Done.", "Done."},
  };
  for (const Case& c : cases) {
    messageBoxes.clear();
    message = c.thrown;
    Click(button, 5, 5);
    EXPECT_EQ(messageBoxes, (std::vector<std::string>{std::string("K58 test|") + c.shown}));
  }
  // The application goes on after the exception: the button still works.
  EXPECT_TRUE(form->Visible());
}

TEST_F(ApplicationTest, AbortIsSilentAndOnExceptionReplacesTheDisplay) {
  TForm* form = forms_test::NewForm();
  form->Show();
  Pump();
  auto raise = [&](auto&& thrower) {
    form->SetOnClick(TNotifyEvent([&](TObject*) { thrower(); }));
    Click(form, 5, 5);
  };
  raise([] { throw EAbort("Operation aborted"); });
  EXPECT_TRUE(messageBoxes.empty());
  // Exceptions that are no Exception are shown too.
  raise([] { throw std::runtime_error("out of range"); });
  EXPECT_EQ(messageBoxes, (std::vector<std::string>{"K58 test|out of range."}));
  std::vector<String> handled;
  Application->SetOnException(TExceptionEvent([&](TObject* Sender, Exception* E) {
    handled.push_back(static_cast<TComponent*>(Sender)->ClassName() + ": " + E->Message());
  }));
  raise([] { throw Exception("Handled elsewhere"); });
  EXPECT_EQ(handled, (std::vector<String>{"TForm: Handled elsewhere"}));
  EXPECT_EQ(messageBoxes.size(), 1u);
  // Outside a catch block there is nothing to show.
  Application->HandleException(form);
  EXPECT_EQ(handled.size(), 1u);
}

TEST_F(ApplicationTest, TheFirstFormMadeIsTheMainFormAndRunEndsWhenItCloses) {
  TForm* first = nullptr;
  TForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(first->Owner(), Application);
  std::vector<String> log;
  first->SetOnShow(TNotifyEvent([&](TObject*) {
    log.push_back("show");
    PostMessage(first->Handle(), WM_CLOSE, 0, 0);
  }));
  first->SetOnClose(TCloseEvent([&](TObject*, TCloseAction&) { log.push_back("close"); }));
  Application->Run();
  EXPECT_EQ(log, (std::vector<String>{"show", "close"}));
  EXPECT_TRUE(Application->Terminated());
  FreeObject(second);
  FreeObject(first);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, HooksOfTheApplicationWindowSeeItsMessagesFirst) {
  HWND wnd = Application->Handle();
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(IsWindowVisible(wnd));
  std::vector<WPARAM> seen;
  TWindowHook hook([&](TMessage& Message) {
    if (Message.Msg != 48307) return false;
    seen.push_back(Message.WParam);
    return true;
  });
  Application->HookMainWindow(hook);
  PostMessage(wnd, 48307, 1, 0);
  // Still waiting in the queue: a filtered look without removal finds it.
  MSG m;
  EXPECT_TRUE(PeekMessage(&m, wnd, 48307, 48308, PM_NOREMOVE));
  Pump();
  Application->UnhookMainWindow(hook);
  PostMessage(wnd, 48307, 2, 0);
  Pump();
  EXPECT_EQ(seen, (std::vector<WPARAM>{1}));
}

TEST_F(ApplicationTest, IdleRunsWhenTheQueueIsEmpty) {
  int idles = 0;
  Application->SetOnIdle(TIdleEvent([&](TObject*, bool& done) {
    ++idles;
    done = false;  // no waiting, so the test goes on
  }));
  Pump();
  Application->HandleMessage();
  EXPECT_EQ(idles, 1);
  PostMessage(Application->Handle(), WM_NULL, 0, 0);
  Application->HandleMessage();  // handles the message: no idle
  EXPECT_EQ(idles, 1);
  Application->SetOnIdle(nullptr);
}

TEST_F(ApplicationTest, HintsShowAfterThePauseWithTheShortPartAndHideLater) {
  TForm* form = forms_test::NewForm();
  form->SetBounds(100, 100, 300, 200);
  auto* edit = new TTestEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 100, 20);
  edit->SetHint("Frequency|Receive frequency in MHz");
  edit->SetShowHint(true);
  form->Show();
  Pump();
  String longHint;
  Application->SetOnHint(TNotifyEvent([&](TObject*) { longHint = Application->Hint(); }));
  display.MoveTo(At(edit, 5, 5));
  Pump();
  ASSERT_TRUE(Application->HintWindow() == nullptr || !IsWindowVisible(Application->HintWindow()->Handle()));
  display.Advance(Application->HintPause());
  Pump();
  THintWindow* hint = Application->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(hint->Caption(), "Frequency");
  RECT r{};
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(r.left, At(edit, 5, 5).x);
  EXPECT_GT(r.top, At(edit, 5, 5).y);
  // The idle step publishes the long part.
  Application->SetOnIdle(TIdleEvent([](TObject*, bool& done) { done = false; }));
  Application->HandleMessage();
  EXPECT_EQ(longHint, "Receive frequency in MHz");
  Application->SetOnIdle(nullptr);
  display.Advance(Application->HintHidePause());
  Pump();
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
  // A control may change its hint before it shows.
  Application->CancelHint();
  auto* other = new TTestButton(form);
  other->SetParent(form);
  other->SetBounds(10, 60, 80, 25);
  other->SetHint("plain");
  other->SetShowHint(true);
  other->SetWindowProc(TWndMethod([other, saved = other->WindowProc()](TMessage& Message) {
    if (Message.Msg == CM_HINTSHOW) static_cast<TCMHintShow&>(Message).HintInfo()->HintStr = "changed";
    saved(Message);
  }));
  display.MoveTo(At(other, 5, 5));
  Pump();
  display.Advance(Application->HintPause());
  Pump();
  EXPECT_EQ(Application->HintWindow()->Caption(), "changed");
  FreeObject(form);
}

TEST_F(ApplicationTest, TheScreenKnowsItsCursorsMonitorsAndTheActiveForm) {
  // Standard cursors are the system's; the library's own are made once; custom ones are kept.
  EXPECT_EQ(Screen->Cursors(crHourGlass), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_EQ(Screen->Cursors(crDefault), LoadCursor(nullptr, IDC_ARROW));
  HCURSOR drag = Screen->Cursors(crDrag);
  EXPECT_NE(drag, nullptr);
  EXPECT_EQ(Screen->Cursors(crDrag), drag);
  EXPECT_NE(Screen->Cursors(crHSplit), drag);
  EXPECT_EQ(Screen->Cursors(4242), LoadCursor(nullptr, IDC_ARROW));
  BYTE andPlane[32 * 4] = {}, xorPlane[32 * 4] = {};
  HCURSOR own = CreateCursor(nullptr, 0, 0, 32, 32, andPlane, xorPlane);
  Screen->SetCursors(4242, own);
  EXPECT_EQ(Screen->Cursors(4242), own);
  Screen->SetCursors(4242, nullptr);
  EXPECT_EQ(Screen->Cursors(4242), LoadCursor(nullptr, IDC_ARROW));

  EXPECT_EQ(Screen->Width(), 1280);
  EXPECT_EQ(Screen->Height(), 1024);
  EXPECT_EQ(Screen->MonitorCount(), 1);
  TMonitor* monitor = Screen->Monitors(0);
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->Primary());
  EXPECT_EQ(Screen->MonitorFromPoint(TPoint{5000, 5000}), monitor);
  EXPECT_EQ(Screen->MonitorFromPoint(TPoint{5000, 5000}, mdNull), nullptr);
  EXPECT_EQ(monitor->WorkareaRect().right, Screen->WorkAreaRect().right);

  // The screen cursor shows over the forms.
  TForm* form = forms_test::NewForm();
  form->SetBounds(0, 0, 200, 200);
  form->Show();
  Pump();
  display.MoveTo(At(form, 50, 50));
  Pump();
  Screen->SetCursor(crHourGlass);
  display.MoveTo(At(form, 60, 50));
  Pump();
  EXPECT_EQ(display.Headless().PointerShape(), LoadCursor(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);

  // The active form follows the focus; OnActiveFormChange tells of it.
  int changes = 0;
  Screen->SetOnActiveFormChange(TNotifyEvent([&](TObject*) { ++changes; }));
  TForm* second = forms_test::NewForm();
  second->Show();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), second);
  EXPECT_GE(changes, 1);
  form->SetFocus();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), form);
  Screen->SetOnActiveFormChange(nullptr);
}

}  // namespace

}  // namespace forms_test
