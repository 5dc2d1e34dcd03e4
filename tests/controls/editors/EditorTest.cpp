// The editor base on a shown form: storing values and the change events, the catcher, validation raising
// and not, the repository item, the user's keys, focus and mouse, activation by a host, and the painting
// of copies, native and gradient buttons, on a minimal editor with an inner window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/uxOffice11.h"
#include "platform/forms/ControlsMessages.h"
#include "tests/controls/editors/EditTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

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
using foundation_test::Rgb;

// An editor bound to data: its provider reports a data-aware source.
class TBoundValuesProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  bool IsDataAware() override { return true; }
};

class TBoundDataBinding : public TuiEditDataBinding {
 public:
  using TuiEditDataBinding::TuiEditDataBinding;

 protected:
  TuiCustomEditDefaultValuesProvider* CreateDefaultValuesProvider() override { return new TBoundValuesProvider; }
};

class TBoundTestEdit : public TTestEdit {
 public:
  using TTestEdit::TTestEdit;
  TuiEditDataBinding* CreateDataBinding() override { return new TBoundDataBinding(this); }
};

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

// ---- Activation by a host -------------------------------------------------------------------------------

TEST_F(EditorTest, HostActivationShowsFocusesAndSelects) {
  TTestEdit* edit = Editors[0];
  edit->SetEditValue(Variant(String("start")));
  edit->Hide();
  edit->Inner()->SetText("stale");
  Focus(Editors[1]);
  edit->SelectAllCount = 0;
  TuiCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  EXPECT_TRUE(edit->Visible());
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_GE(edit->SelectAllCount, 1) << "AutoSelect";
  EXPECT_EQ(edit->Inner()->Text(), "start") << "the display shows the value";
  EXPECT_FALSE(edit->ModifiedAfterEnter());

  // Without AutoSelect nothing is selected.
  Focus(Editors[1]);
  edit->Properties()->SetAutoSelect(false);
  edit->SelectAllCount = 0;
  edit->Activate(data);
  EXPECT_EQ(edit->SelectAllCount, 0);
}

TEST_F(EditorTest, HostActivationByKeyTypesTheKeyIntoTheEditor) {
  TTestEdit* edit = Editors[0];
  Focus(Editors[1]);
  const TWndMethod before = edit->Inner()->WindowProc();
  TuiCustomEditData* data = nullptr;
  edit->ActivateByKey('7', data);
  Pump();
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(edit->Inner()->CharsReceived, (std::vector<int>{'7'}));
  EXPECT_EQ(edit->Inner()->Text(), "7");
  EXPECT_TRUE(edit->Modified());
  EXPECT_TRUE(edit->Inner()->WindowProc() == before) << "the inner window is no longer subclassed";
}

TEST_F(EditorTest, HostActivationByMouseStartsTheDoubleClickTime) {
  TTestEdit* edit = Editors[0];
  edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
  Pump();
  edit->UpdateAtCursorPos(false);
  const TRect button = edit->EditViewInfo()->Buttons[0]->Bounds;
  Focus(Editors[1]);
  Log.clear();
  // The user presses where the hidden editor's button will be; the host (the form here) activates the
  // editor with the press in its own client coordinates, and the release over the button clicks it.
  edit->Hide();
  const POINT p = At(edit, (button.left + button.right) / 2, (button.top + button.bottom) / 2);
  Display.Press(p);
  Pump();
  TuiCustomEditData* data = nullptr;
  edit->ActivateByMouse(TShiftState{ssLeft}, edit->Left() + (button.left + button.right) / 2,
                        edit->Top() + (button.top + button.bottom) / 2, data);
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(GetCapture(), edit->Handle()) << "the editor holds the mouse while the button is down";
  EXPECT_EQ(edit->EditViewInfo()->Buttons[0]->Data.State, ebsPressedState);
  Display.Release(p);
  Pump();
  EXPECT_EQ(Log, (Events{"e1.Exit", "e0.ButtonClick 0"}));

  // A second press on the editor within the double-click time is a double click.
  auto pressAt = [&](Integer X, Integer Y) {
    Display.MoveTo(At(edit, X, Y));
    Pump();
    SendMessage(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    SendMessage(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    Pump();
  };
  Log.clear();
  pressAt(1, 12);
  EXPECT_EQ(Log, (Events{"e0.DblClick"}));
  // The timer stopped with it, and it also stops by itself.
  Log.clear();
  pressAt(1, 12);
  EXPECT_TRUE(Log.empty());
  edit->ActivateByMouse(TShiftState{}, edit->Left() + 1, edit->Top() + 12, data);
  Display.Advance(GetDoubleClickTime() + 10);
  Pump();
  Log.clear();
  pressAt(1, 12);
  EXPECT_TRUE(Log.empty()) << "after the double-click time";
}

TEST_F(EditorTest, HostDeactivationValidates) {
  TTestEdit* edit = Editors[0];
  TuiCustomEditData* data = nullptr;
  edit->ActivateByKey('4', data);
  Pump();
  FailValidation(edit, "Too small");
  EXPECT_THROW(edit->Deactivate(), Exception);
  FailValidation(edit, "");
  EXPECT_FALSE(edit->Deactivate());
  EXPECT_FALSE(edit->IsValidated());
  edit->Properties()->SetOnValidate(TuiEditValidateEvent{});
  EXPECT_TRUE(edit->Deactivate());
  EXPECT_TRUE(edit->IsValidated());
  EXPECT_EQ(VarToStr(edit->EditValue()), "4");
}

// ---- Painting -------------------------------------------------------------------------------------------

class EditorPaintTest : public EditorTest {
 protected:
  EditorPaintTest() { foundation_test::UseDistinctSystemColours(); }
  // An editor with one ellipsis button in the given button style.
  TTestEdit* WithButton(TTestEdit* AEdit, TuiEditButtonStyle AStyle) {
    AEdit->Style()->SetTransparentBorder(false);
    AEdit->Style()->SetButtonStyle(AStyle);
    AEdit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
    Pump();
    AEdit->UpdateAtCursorPos(false);
    return AEdit;
  }
  TRect ButtonOf(TTestEdit* AEdit) { return AEdit->EditViewInfo()->Buttons[0]->Bounds; }
  void HoverButton(TTestEdit* AEdit) {
    const TRect b = ButtonOf(AEdit);
    Display.MoveTo(At(AEdit, (b.left + b.right) / 2, (b.top + b.bottom) / 2));
    Pump();
  }
  TColor Pixel(TTestEdit* AEdit, Integer X, Integer Y) {
    AEdit->Repaint();
    Pump();
    return static_cast<TColor>(Display.ClientPixel(AEdit->Handle(), POINT{X, Y}));
  }
};

TEST_F(EditorPaintTest, BoundCopyIsDrawnFromAFreshLayoutWithoutTheMouse) {
  TTestEdit* unbound = WithButton(Editors[0], btsUltraFlat);
  auto* bound = NewObject<TBoundTestEdit>(Form);
  bound->SetAutoSize(false);
  bound->SetBounds(10, 150, 150, 25);
  bound->SetParent(Form);
  WithButton(bound, btsUltraFlat);
  ASSERT_TRUE(bound->IsDataBound());
  ASSERT_FALSE(unbound->IsDataBound());
  // The button's inner edge as a copy shows it.
  auto copiedEdge = [](TTestEdit* AEdit) {
    const TRect b = AEdit->EditViewInfo()->Buttons[0]->Bounds;
    foundation_test::TestCanvas copy(AEdit->Width(), AEdit->Height());
    AEdit->PaintTo(copy.Canvas()->GetDCHandle(), 0, 0);
    return copy.At(b.left, (b.top + b.bottom) / 2);
  };
  const TColor normal = copiedEdge(unbound);
  ASSERT_NE(normal, Rgb(clHighlight));
  for (TTestEdit* edit : {unbound, static_cast<TTestEdit*>(bound)}) {
    HoverButton(edit);
    ASSERT_EQ(edit->EditViewInfo()->Buttons[0]->Data.State, ebsHotState);
    if (edit == unbound)
      EXPECT_EQ(copiedEdge(edit), Rgb(clHighlight)) << "a copy of an unbound editor is its live view: the hot button";
    else
      EXPECT_EQ(copiedEdge(edit), normal) << "the bound copy is laid out without the mouse";
    EXPECT_EQ(edit->EditViewInfo()->Buttons[0]->Data.State, ebsHotState) << "the live view is left alone";
  }
}

TEST_F(EditorPaintTest, NativeStyleDrawsTheEditFieldAndButtonsThroughTheTheme) {
  k58test::RecordingThemeProvider provider{"Button", "ComboBox", "Edit"};
  k58test::ScopedThemeProvider scope{provider};
  TTestEdit* edit = WithButton(Editors[0], btsDefault);
  edit->Style()->LookAndFeel()->SetNativeStyle(true);
  Pump();
  edit->UpdateAtCursorPos(false);
  ASSERT_TRUE(edit->EditViewInfo()->NativeStyle);
  struct Case {
    const char* Name;
    bool Hover;
    int ButtonState;
  };
  for (const Case& c : {Case{"normal", false, 1}, Case{"hot", true, 2}}) {
    if (c.Hover)
      HoverButton(edit);
    else
      Display.MoveTo(At(Form, 380, 280));
    Pump();
    provider.ClearCalls();
    const TRect b = ButtonOf(edit);
    const TColor buttonPixel = Pixel(edit, (b.left + b.right) / 2, b.top + 1);
    const auto field = provider.CallsOf("Background", "Edit");
    const auto buttons = provider.CallsOf("Background", "Button");
    ASSERT_FALSE(field.empty()) << c.Name;
    EXPECT_EQ(field.back().Part, 1) << c.Name;
    EXPECT_EQ(field.back().Rect.right - field.back().Rect.left, edit->Width()) << c.Name << ": the whole editor";
    ASSERT_EQ(buttons.size(), 1u) << c.Name;
    EXPECT_EQ(buttons[0].State, c.ButtonState) << c.Name;
    EXPECT_EQ(buttons[0].Rect.left, b.left) << c.Name;
    EXPECT_EQ(buttonPixel, static_cast<TColor>(k58test::RecordingThemeProvider::MarkerColor(1, c.ButtonState)))
        << c.Name;
    EXPECT_EQ(Pixel(edit, 0, 12), static_cast<TColor>(k58test::RecordingThemeProvider::MarkerColor(1, field.back().State)))
        << c.Name << ": the border is the theme's edit field";
  }

  // A lone drop-down button is the theme's combo-box button.
  edit->Properties()->Buttons()->Items(0)->SetKind(bkDown);
  Pump();
  provider.ClearCalls();
  Pixel(edit, 1, 1);
  EXPECT_EQ(provider.CallsOf("Background", "ComboBox").size(), 1u);
  EXPECT_TRUE(provider.CallsOf("Background", "Button").empty());
}

TEST_F(EditorPaintTest, GradientButtonsFillTopToBottomInTheStateColours) {
  TTestEdit* edit = WithButton(Editors[0], btsOffice11);
  edit->Style()->SetGradientButtons(true);
  Pump();
  const TRect b = ButtonOf(edit);
  const Integer x = b.left + 3;
  struct Case {
    const char* Name;
    bool Hover;
    TuiOffice11Color From, To;
  };
  // (Without a visual style the hot colours are one and the same.)
  for (const Case& c : {Case{"normal", false, o11BarLight, o11BarDark}, Case{"hot", true, o11HotLight, o11HotDark}}) {
    if (c.Hover)
      HoverButton(edit);
    else
      Display.MoveTo(At(Form, 380, 280));
    // The normal button spans the border rectangle less a pixel at top and bottom.
    const Integer top = edit->EditViewInfo()->BorderRect.top + (c.Hover ? 0 : 1);
    const Integer bottom = edit->EditViewInfo()->BorderRect.bottom - (c.Hover ? 0 : 1);
    const TColor first = Pixel(edit, x, top + 1), last = Pixel(edit, x, bottom - 2);
    if (!c.Hover) {
      EXPECT_NE(first, last) << "a gradient, not one colour";
    }
    EXPECT_EQ(Pixel(edit, x, top), Rgb(Office11Color(c.From))) << c.Name;
    EXPECT_EQ(Pixel(edit, x, bottom - 1), Rgb(Office11Color(c.To))) << c.Name;
  }

  // Without the gradient, and when disabled, one colour.
  Display.MoveTo(At(Form, 380, 280));
  for (bool gradient : {false, true}) {
    edit->Style()->SetGradientButtons(gradient);
    edit->Properties()->Buttons()->Items(0)->SetEnabled(gradient ? false : true);
    Pump();
    EXPECT_EQ(Pixel(edit, x, b.top + 2), Pixel(edit, x, b.bottom - 3)) << "gradient " << gradient;
  }
}

// ---- Hints ----------------------------------------------------------------------------------------------

TEST_F(EditorTest, TheInnerWindowShowsNoHintOfItsOwnAndTheBaseViewAsksForNone) {
  TTestEdit* edit = Editors[0];
  edit->SetHint("Channel name");
  edit->SetShowHint(true);
  EXPECT_FALSE(edit->Inner()->ParentShowHint());
  EXPECT_FALSE(edit->Inner()->ShowHint());
  String text = "left over";
  EXPECT_FALSE(edit->EditViewInfo()->NeedShowHint(nullptr, TPoint{5, 5}, text));
  EXPECT_TRUE(text.empty());
}

}  // namespace
