// The editor base on a shown form: storing values and the change events, the catcher, validation raising
// and not, the repository item, and the user's keys, focus and mouse on a minimal editor with an inner
// window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/ControlsMessages.h"
#include "tests/controls/editors/EditTesting.h"

using namespace editors_test;

namespace {

class EditorTest : public EditUnitsTest {
 protected:
  EditorTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 400, 300);
    Form->Show();
    for (int i = 0; i < 3; ++i) Editors.push_back(NewEditor(10, 10 + 40 * i));
    Pump();
  }
  ~EditorTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
  }

  TTestEdit* NewEditor(Integer ALeft, Integer ATop) {
    auto* edit = NewObject<TTestEdit>(Form);
    // The base measures no content; the test editor keeps the size it is given.
    edit->SetAutoSize(false);
    edit->SetBounds(ALeft, ATop, 150, 25);
    edit->SetParent(Form);
    edit->HandleNeeded();
    TTestEdit* self = edit;
    const std::string name = "e" + std::to_string(Editors.size());
    edit->Properties()->SetOnChange([this, name](TObject*) { Log.push_back(name + ".Change"); });
    edit->Properties()->SetOnEditValueChanged([this, name](TObject*) { Log.push_back(name + ".EditValueChanged"); });
    edit->Properties()->SetOnButtonClick(
        [this, name](TObject*, Integer AIndex) { Log.push_back(name + ".ButtonClick " + std::to_string(AIndex)); });
    edit->SetOnDblClick([this, name](TObject*) { Log.push_back(name + ".DblClick"); });
    edit->SetOnExit([this, name](TObject*) { Log.push_back(name + ".Exit"); });
    (void)self;
    return edit;
  }

  void Pump() { Display.Pump(); }
  void Focus(TTestEdit* AEdit) {
    AEdit->SetFocus();
    Pump();
  }
  void Type(const std::string& AText) {
    Display.Type(AText);
    Pump();
  }
  void Key(WORD AKey) {
    Display.Key(AKey);
    Pump();
  }
  void Chord(std::initializer_list<WORD> AModifiers, WORD AKey) {
    Display.Chord(AModifiers, AKey);
    Pump();
  }
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  // A validation handler that reports an error with AText and may replace the display value.
  void FailValidation(TTestEdit* AEdit, const String& AText, const Variant& AReplacement = Variant()) {
    AEdit->Properties()->SetOnValidate([this, AText, AReplacement](TObject*, Variant& AValue, String& AError, bool& AIsError) {
      Log.push_back("Validate " + VarToStr(AValue));
      AError = AText;
      AIsError = true;
      if (!AReplacement.IsEmpty()) AValue = AReplacement;
    });
  }

  TForm* Form = nullptr;
  std::vector<TTestEdit*> Editors;
  std::vector<std::string> Log;
};

using Events = std::vector<std::string>;

TEST_F(EditorTest, StoringAValueReportsChangesOnlyWhenTracked) {
  TTestEdit* edit = Editors[0];
  edit->SetEditValue(Variant(String("one")));
  EXPECT_EQ(Log, (Events{"e0.EditValueChanged", "e0.Change"}));
  EXPECT_EQ(edit->Inner()->Text(), "one");
  EXPECT_FALSE(edit->Modified());
  Log.clear();
  edit->SetEditValue(Variant(String("one")));
  EXPECT_TRUE(Log.empty()) << "the same value again";
  edit->SetEditValue(Variant(Integer(1)));
  EXPECT_EQ(Log.size(), 2u) << "another variant type counts as a change";

  Log.clear();
  edit->TextProperties()->TrackByStore = false;
  edit->SetEditValue(Variant(String("two")));
  EXPECT_TRUE(Log.empty()) << "untracked: only content changes report";
}

TEST_F(EditorTest, LockedChangeEventsFireOnceAtTheLastUnlock) {
  TTestEdit* edit = Editors[0];
  struct Case {
    const char* Name;
    bool Invoke;
    Events Expected;
  };
  const Case cases[] = {{"invoked", true, {"e0.Change", "e0.EditValueChanged"}}, {"dropped", false, {}}};
  int n = 0;
  for (const Case& c : cases) {
    Log.clear();
    edit->LockChangeEvents(true);
    edit->LockChangeEvents(true);
    for (int i = 0; i < 3; ++i) edit->SetEditValue(Variant(Integer(++n)));
    edit->LockChangeEvents(false, c.Invoke);
    EXPECT_TRUE(Log.empty()) << c.Name << ": the inner unlock fires nothing";
    edit->LockChangeEvents(false, c.Invoke);
    EXPECT_EQ(Log, c.Expected) << c.Name;
  }
  Log.clear();
  edit->LockChangeEvents(false, true);
  EXPECT_TRUE(Log.empty()) << "unlock without a lock";

  // A change recorded while a handler existed fires nothing when the handler is gone at the unlock.
  edit->LockChangeEvents(true);
  edit->SetEditValue(Variant(Integer(++n)));
  edit->Properties()->SetOnChange(TNotifyEvent{});
  edit->Properties()->SetOnEditValueChanged(TNotifyEvent{});
  edit->LockChangeEvents(false, true);
  EXPECT_TRUE(Log.empty());
}

TEST_F(EditorTest, ValidationRaisesWithTheErrorTextAndKeepsTheInvalidText) {
  TTestEdit* edit = Editors[0];
  Focus(edit);
  Type("abc");
  ASSERT_TRUE(edit->Modified());
  FailValidation(edit, "Not a channel", Variant(String("fixed")));
  edit->Properties()->SetBeepOnError(true);
  try {
    edit->ValidateEdit(true);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Not a channel");
  }
  EXPECT_EQ(edit->Inner()->Text(), "fixed") << "the handler's display value is shown";
  EXPECT_TRUE(edit->Modified());
  EXPECT_GE(edit->SelectAllCount, 1);

  // An empty error text reports without raising; the caller sees False.
  FailValidation(edit, "");
  Log.clear();
  EXPECT_FALSE(edit->ValidateEdit(true));
  EXPECT_EQ(Log, (Events{"Validate fixed"}));

  // Without a handler the text is accepted and becomes the value.
  edit->Properties()->SetOnValidate(TuiEditValidateEvent{});
  EXPECT_TRUE(edit->ValidateEdit(true));
  EXPECT_TRUE(edit->IsValidated());
  EXPECT_EQ(VarToStr(edit->EditValue()), "fixed");
}

TEST_F(EditorTest, DefaultErrorTextAndTheCurrentDisplayText) {
  TTestEdit* edit = Editors[0];
  Focus(edit);
  Type("12");
  String replacement;
  edit->Properties()->SetOnValidate([&](TObject*, Variant& AValue, String&, bool& AError) {
    if (!replacement.empty()) AValue = Variant(replacement);
    AError = true;
  });
  Variant display(String("other"));
  String errorText;
  bool error = false;
  edit->ActiveProperties()->ValidateDisplayValue(display, errorText, error, edit);
  EXPECT_TRUE(error);
  EXPECT_EQ(errorText, "Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(VarToStr(display), "12") << "unchanged by the handler: the editor's display text";
  replacement = "13";
  display = Variant(String("other"));
  edit->ActiveProperties()->ValidateDisplayValue(display, errorText, error, edit);
  EXPECT_EQ(VarToStr(display), "13") << "changed by the handler: kept";
}

TEST_F(EditorTest, EscRevertsToTheValueAtEntryAndSwallowsItsCharacter) {
  TTestEdit* edit = Editors[0];
  edit->SetEditValue(Variant(String("start")));
  Focus(edit);
  Type("xy");
  ASSERT_TRUE(edit->Modified());
  edit->Inner()->CharsReceived.clear();
  Key(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->Text(), "start");
  EXPECT_FALSE(edit->Modified());
  EXPECT_TRUE(edit->Inner()->CharsReceived.empty()) << "the Esc character is swallowed";
  // A second Esc with nothing to revert reaches the inner window.
  Key(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->CharsReceived, (std::vector<int>{27}));
}

TEST_F(EditorTest, EnterValidatesAndPostsWhenAsked) {
  TTestEdit* edit = Editors[0];
  edit->Properties()->SetValidateOnEnter(true);
  Focus(edit);
  Type("42");
  Log.clear();
  Key(VK_RETURN);
  EXPECT_TRUE(edit->IsValidated());
  EXPECT_EQ(VarToStr(edit->EditValue()), "42");
  EXPECT_EQ(Log, (Events{"e0.Change", "e0.EditValueChanged"})) << "one of each, released after the validation";

  FailValidation(edit, "Out of range");
  Type("7");
  EXPECT_THROW(
      {
        Word key = VK_RETURN;
        edit->KeyDown(key, TShiftState{});
      },
      Exception);
  EXPECT_FALSE(edit->AreChangeEventsLocked()) << "the lock is released on the way out";
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditorTest, TabMovesTheFocusCtrlTabIsLeftToTheEditor) {
  Focus(Editors[1]);
  Key(VK_TAB);
  EXPECT_TRUE(Editors[2]->IsFocused());
  Chord({VK_SHIFT}, VK_TAB);
  Chord({VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(Editors[0]->IsFocused());
  Chord({VK_CONTROL}, VK_TAB);
  EXPECT_TRUE(Editors[0]->IsFocused());
}

TEST_F(EditorTest, LeavingValidatesAnInvalidValueKeepsTheFocus) {
  TTestEdit* edit = Editors[0];
  Focus(edit);
  Type("9");
  FailValidation(edit, "");
  Log.clear();
  Key(VK_TAB);
  EXPECT_EQ(Log, (Events{"Validate 9"}));
  EXPECT_TRUE(edit->IsFocused()) << "the invalid value keeps the focus";
  EXPECT_TRUE(edit->Modified());
  // Once valid, leaving posts and OnExit sees the modified state of the entry.
  edit->Properties()->SetOnValidate(TuiEditValidateEvent{});
  Log.clear();
  Key(VK_TAB);
  EXPECT_TRUE(Editors[1]->IsFocused());
  EXPECT_EQ(Log, (Events{"e0.Change", "e0.EditValueChanged", "e0.Exit"}));
  EXPECT_FALSE(edit->Modified());
}

TEST_F(EditorTest, ClearKeyClearsAndCountsAsValidated) {
  TTestEdit* edit = Editors[0];
  edit->SetEditValue(Variant(String("full")));
  edit->Properties()->SetClearKey(ShortCut(VK_DELETE, TShiftState{ssCtrl}));
  FailValidation(edit, "must not run");
  Focus(edit);
  Chord({VK_CONTROL}, VK_DELETE);
  EXPECT_TRUE(VarIsNull(edit->EditValue()));
  EXPECT_TRUE(edit->Modified());
  EXPECT_TRUE(edit->IsValidated());
  Log.clear();
  Key(VK_TAB);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "Validate "), 0) << "leaving does not validate again";
  EXPECT_TRUE(Editors[1]->IsFocused());
}

TEST_F(EditorTest, ClickKeyClicksTheDefaultButtonAndEatsItsCharacter) {
  TTestEdit* edit = Editors[0];
  TuiEditButton* button = edit->Properties()->Buttons()->Add();
  edit->Properties()->Buttons()->Add()->SetDefault(true);
  button->SetKind(bkEllipsis);
  Pump();
  Focus(edit);
  edit->Inner()->CharsReceived.clear();
  Log.clear();
  // A quit request that arrives while the key is handled must survive the removal of the character.
  edit->SetOnAfterKeyDown([](TObject*, Word&, TShiftState) {});
  Form->SetOnKeyDown([](TObject*, Word&, TShiftState) {});
  PostQuitMessage(7);
  Display.Chord({VK_CONTROL}, VK_RETURN);
  Display.Pump();
  EXPECT_EQ(Log, (Events{"e0.ButtonClick 1"}));
  EXPECT_TRUE(edit->Inner()->CharsReceived.empty()) << "no character reached the inner window";
  EXPECT_TRUE(Display.QuitSeen());
}

TEST_F(EditorTest, AcceleratorOfAnEnabledButtonClicksIt) {
  TTestEdit* edit = Editors[0];
  TuiEditButton* open = edit->Properties()->Buttons()->Add();
  open->SetKind(bkText);
  open->SetCaption("&Open");
  TuiEditButton* go = edit->Properties()->Buttons()->Add();
  go->SetKind(bkText);
  go->SetCaption("&Go");
  go->SetEnabled(false);
  Pump();
  edit->UpdateAtCursorPos(false);
  Log.clear();
  EXPECT_EQ(SendMessage(edit->Handle(), CM_DIALOGCHAR, 'o', 0), 1);
  EXPECT_EQ(SendMessage(edit->Handle(), CM_DIALOGCHAR, 'g', 0), 0) << "a disabled button takes no accelerator";
  EXPECT_EQ(SendMessage(edit->Handle(), CM_DIALOGCHAR, 'p', 0), 0);
  EXPECT_EQ(Log, (Events{"e0.ButtonClick 0"}));
}

TEST_F(EditorTest, DoubleClickOnAButtonIsASecondClick) {
  TTestEdit* edit = Editors[0];
  edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
  Pump();
  edit->UpdateAtCursorPos(false);
  ASSERT_EQ(edit->EditViewInfo()->ButtonCount(), 1);
  const TRect button = edit->EditViewInfo()->Buttons[0]->Bounds;
  Log.clear();
  Display.DoubleClick(At(edit, (button.left + button.right) / 2, (button.top + button.bottom) / 2));
  Pump();
  EXPECT_EQ(Log, (Events{"e0.ButtonClick 0", "e0.ButtonClick 0"}));
  // Elsewhere (the inner window passes its double clicks on to the editor) it is a double click.
  Log.clear();
  Display.MoveTo(At(edit, 20, 10));
  Pump();
  edit->DblClick();
  EXPECT_EQ(Log, (Events{"e0.DblClick"}));
}

TEST_F(EditorTest, AutoSizeFollowsTheAlignment) {
  TTestEdit* edit = Editors[0];
  edit->Properties()->SetButtonsViewStyle(2);
  edit->Properties()->Buttons()->Add()->SetWidth(30);
  edit->SetAutoSize(true);
  struct Case {
    TAlign Align;
    bool Width, Height;
  };
  const Case cases[] = {{alNone, true, true}, {alTop, false, true}, {alLeft, true, false}, {alClient, false, false}};
  for (const Case& c : cases) {
    edit->SetAlign(c.Align);
    Integer w = 500, h = 500;
    edit->CalculateAutoSize(w, h);
    EXPECT_EQ(w != 500, c.Width) << static_cast<int>(c.Align);
    EXPECT_EQ(h != 500, c.Height) << static_cast<int>(c.Align);
    if (c.Width) {
      EXPECT_EQ(w, 2 + 30 + 2) << "buttons and borders only";
    }
  }
  edit->SetAlign(alNone);
}

TEST_F(EditorTest, RepositoryItemSharedAndRemoved) {
  TTestEdit* a = Editors[0];
  TTestEdit* b = Editors[1];
  auto* repository = new TuiEditRepository(Form);
  auto* wrongKind = repository->CreateItem(TTestCurrencyRepositoryItem::StaticClass());
  try {
    a->SetRepositoryItem(wrongKind);
    ADD_FAILURE() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The repository item is not acceptable");
  }
  EXPECT_EQ(a->RepositoryItem(), nullptr);

  TuiEditRepositoryItem* item = repository->CreateItem(TTestTextRepositoryItem::StaticClass());
  a->SetRepositoryItem(item);
  b->SetRepositoryItem(item);
  EXPECT_EQ(a->ActiveProperties(), item->Properties());
  item->Properties()->SetReadOnly(true);
  EXPECT_TRUE(a->Inner()->ReadOnly());
  EXPECT_TRUE(b->Inner()->ReadOnly());

  // Freed: both editors go back to their own properties and follow them again.
  FreeObject(item);
  for (TTestEdit* edit : {a, b}) {
    EXPECT_EQ(edit->RepositoryItem(), nullptr);
    EXPECT_EQ(edit->ActiveProperties(), edit->Properties());
    EXPECT_FALSE(edit->Inner()->ReadOnly());
    EXPECT_NE(edit->Properties()->DefaultValuesProvider(), nullptr);
    edit->Properties()->SetReadOnly(true);
    EXPECT_TRUE(edit->Inner()->ReadOnly()) << "own properties' changes reach the editor";
  }
}

// The dialog's focus leaves the editor when the closing form hides: with a result other than Cancel the
// refused value is validated without raising, so the dialog still closes; Cancel leaves it alone.
TEST_F(EditorTest, ClosingModalFormValidatesWithoutRaisingUnlessCancelled) {
  struct Case {
    TModalResult Result;
    int Validations;
  };
  for (const Case c : {Case{mrOk, 1}, Case{mrCancel, 0}}) {
    TForm* dialog = NewObject<TForm>(nullptr, 0);
    dialog->SetBounds(60, 60, 300, 200);
    auto* edit = NewObject<TTestEdit>(dialog);
    edit->SetBounds(10, 10, 150, 25);
    edit->SetParent(dialog);
    int validations = 0;
    edit->Properties()->SetOnValidate([&](TObject*, Variant&, String& AError, bool& AIsError) {
      ++validations;
      AError = "rejected";
      AIsError = true;
    });
    bool focusedBeforeClose = false;
    Display.Later([&] {
      edit->SetFocus();
      Display.Type("5");
      Display.Later([&] {
        focusedBeforeClose = edit->IsFocused() && edit->Modified();
        dialog->SetModalResult(c.Result);
      });
    });
    TModalResult result = mrNone;
    EXPECT_NO_THROW(result = dialog->ShowModal()) << c.Result;
    EXPECT_TRUE(focusedBeforeClose) << c.Result;
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(validations, c.Validations) << c.Result;
    EXPECT_FALSE(edit->IsFocused()) << c.Result;
    FreeObject(dialog);
  }
}

}  // namespace
