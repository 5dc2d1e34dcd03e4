// Push buttons, check boxes, radio buttons, labels and group boxes on a form: clicks and keys, the
// default and cancel buttons, modal results, accelerators, check states, radio groups, label sizing.
#include "StdCtlTesting.h"

#include "platform/win/builtin/CommCtrl.h"

namespace forms_test {
namespace {

class ButtonsTest : public FormTest {};

TEST_F(ButtonsTest, AClickFiresOnClickOnceAndAReleaseOutsideDoesNot) {
  TForm* form = NewForm();
  auto* button = Make<TButton>(form, 10, 10);
  button->SetCaption("Go");
  Recorder r;
  button->SetOnClick(r.Note("click"));
  ShowForm(form);
  Click(button);
  EXPECT_EQ(r.Count("click"), 1);
  // Pressed on the button, released beside it: no click.
  D->Press(At(button));
  D->Release(At(button, 200, 200));
  Pump();
  EXPECT_EQ(r.Count("click"), 1);
  // Space on the focused button clicks it.
  EXPECT_TRUE(button->Focused());
  Key(VK_SPACE);
  EXPECT_EQ(r.Count("click"), 2);
}

TEST_F(ButtonsTest, ModalResultOfTheClickedButtonEndsShowModal) {
  TForm* form = NewForm();
  auto* ok = Make<TButton>(form, 10, 10);
  ok->SetModalResult(mrOk);
  auto* plain = Make<TButton>(form, 100, 10);
  Recorder r;
  plain->SetOnClick(r.Note("plain"));
  Integer result = RunModal(form, [&] {
    D->Click(At(plain));  // no modal result: the form stays
    D->Click(At(ok));
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(r.Count("plain"), 1);
  EXPECT_FALSE(form->Visible());
  // Closing the modal form another way answers mrCancel.
  EXPECT_EQ(RunModal(form, [&] { form->Close(); }), mrCancel);
}

TEST_F(ButtonsTest, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10);
  auto* ok = Make<TButton>(form, 10, 50);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Make<TButton>(form, 100, 50);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  form->SetActiveControl(edit);
  EXPECT_EQ(RunModal(form, [&] { D->Key(VK_RETURN); }), mrOk);
  form->SetActiveControl(edit);
  EXPECT_EQ(RunModal(form, [&] { D->Key(VK_ESCAPE); }), mrCancel);
}

TEST_F(ButtonsTest, TheDefaultFrameFollowsTheFocusedButton) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10);
  auto* ok = Make<TButton>(form, 10, 50);
  ok->SetDefault(true);
  auto* other = Make<TButton>(form, 100, 50);
  Recorder r;
  ok->SetOnClick(r.Note("ok"));
  other->SetOnClick(r.Note("other"));
  form->SetActiveControl(edit);
  ShowForm(form);
  auto typeOf = [](TButton* b) { return static_cast<DWORD>(GetWindowLongPtr(b->Handle(), GWL_STYLE)) & BS_TYPEMASK; };
  EXPECT_EQ(typeOf(ok), BS_DEFPUSHBUTTON);
  EXPECT_TRUE(ok->Active());
  // Focus on another button: it is the default one while it has the focus, and Enter clicks it.
  other->SetFocus();
  Pump();
  EXPECT_EQ(typeOf(ok), BS_PUSHBUTTON);
  EXPECT_EQ(typeOf(other), BS_DEFPUSHBUTTON);
  Key(VK_RETURN);
  EXPECT_EQ(r.Joined(), "other");
  edit->SetFocus();
  Pump();
  EXPECT_EQ(typeOf(ok), BS_DEFPUSHBUTTON);
  EXPECT_EQ(typeOf(other), BS_PUSHBUTTON);
  Key(VK_RETURN);
  EXPECT_EQ(r.Joined(), "other,ok");
}

TEST_F(ButtonsTest, AcceleratorsClickButtonsToggleCheckBoxesAndFocusLabelTargets) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10);
  auto* target = Make<TEdit>(form, 10, 40);
  auto* label = Make<TLabel>(form, 150, 40);
  label->SetCaption("&Name");
  label->SetFocusControl(target);
  auto* button = Make<TButton>(form, 10, 80);
  button->SetCaption("&Apply");
  auto* check = Make<TCheckBox>(form, 10, 120);
  check->SetCaption("&Keep");
  Recorder r;
  button->SetOnClick(r.Note("apply"));
  form->SetActiveControl(edit);
  ShowForm(form);
  Chord({VK_MENU}, 'A');
  EXPECT_EQ(r.Count("apply"), 1);
  Chord({VK_MENU}, 'N');
  EXPECT_EQ(form->ActiveControl(), target);
  Chord({VK_MENU}, 'K');
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(form->ActiveControl(), check);
}

TEST_F(ButtonsTest, CheckBoxStatesStepWithClicksAndCodeChangesFireOnClick) {
  TForm* form = NewForm();
  auto* check = Make<TCheckBox>(form, 10, 10, 120);
  Recorder r;
  check->SetOnClick(r.Note("click"));
  ShowForm(form);
  struct Step {
    bool AllowGrayed;
    TCheckBoxState Before, After;
  };
  const Step steps[] = {
      {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked}, {true, cbUnchecked, cbGrayed},
      {true, cbGrayed, cbChecked},     {true, cbChecked, cbUnchecked},
  };
  for (const Step& s : steps) {
    check->SetClicksDisabled(true);
    check->SetState(s.Before);
    check->SetClicksDisabled(false);
    check->SetAllowGrayed(s.AllowGrayed);
    r.Calls.clear();
    Click(check, 6, 8);
    EXPECT_EQ(check->State(), s.After) << s.Before;
    EXPECT_EQ(r.Count("click"), 1);
    EXPECT_EQ(SendMessage(check->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(s.After));
  }
  r.Calls.clear();
  check->SetChecked(true);
  check->SetChecked(true);  // no change, no event
  EXPECT_EQ(r.Count("click"), 1);
}

TEST_F(ButtonsTest, CheckStateSurvivesANewWindow) {
  TForm* form = NewForm();
  auto* check = Make<TCheckBox>(form, 10, 10, 120);
  check->SetState(cbChecked);
  ShowForm(form);
  HWND before = check->Handle();
  check->SetAlignment(taLeftJustify);
  Pump();
  EXPECT_NE(check->Handle(), before);
  EXPECT_NE(GetWindowLongPtr(check->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
  EXPECT_EQ(SendMessage(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonsTest, RadioButtonsUncheckTheirSiblingsOnlyAndTheCheckedOneIsTheTabStop) {
  TForm* form = NewForm();
  auto* left = Make<TGroupBox>(form, 10, 10, 150, 120);
  auto* right = Make<TGroupBox>(form, 200, 10, 150, 120);
  auto* a1 = Make<TRadioButton>(left, 10, 20);
  auto* a2 = Make<TRadioButton>(left, 10, 50);
  auto* b1 = Make<TRadioButton>(right, 10, 20);
  Recorder r;
  a2->SetOnClick(r.Note("a2"));
  a1->SetChecked(true);
  b1->SetChecked(true);
  ShowForm(form);
  EXPECT_TRUE(a1->TabStop());
  EXPECT_FALSE(a2->TabStop());
  Click(a2, 6, 8);
  EXPECT_TRUE(a2->Checked());
  EXPECT_FALSE(a1->Checked());
  EXPECT_TRUE(b1->Checked());
  EXPECT_EQ(r.Count("a2"), 1);
  EXPECT_EQ(SendMessage(a1->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(a2->TabStop());
  EXPECT_FALSE(a1->TabStop());
  // The arrows move to the next radio button of the group and check it.
  Key(VK_UP);
  EXPECT_EQ(form->ActiveControl(), a1);
  EXPECT_TRUE(a1->Checked());
  EXPECT_FALSE(a2->Checked());
}

TEST_F(ButtonsTest, TabEntersARadioGroupAtItsCheckedButton) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10);
  auto* r1 = Make<TRadioButton>(form, 10, 50);
  auto* r2 = Make<TRadioButton>(form, 10, 80);
  auto* after = Make<TEdit>(form, 10, 120);
  r2->SetChecked(true);
  form->SetActiveControl(edit);
  ShowForm(form);
  Key(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), r2);
  EXPECT_TRUE(r2->Checked());
  EXPECT_FALSE(r1->Checked());
  Key(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), after);
}

TEST_F(ButtonsTest, AutoSizedLabelsFitTheirTextAndRightAlignedOnesKeepTheirRightEdge) {
  TForm* form = NewForm();
  auto* left = Make<TLabel>(form, 10, 10);
  auto* right = Make<TLabel>(form, 10, 40, 200);
  right->SetAlignment(taRightJustify);
  left->SetCaption("Short");
  Integer shortWidth = left->Width();
  left->SetCaption("A much longer caption");
  EXPECT_GT(left->Width(), shortWidth);
  EXPECT_EQ(left->Left(), 10);
  Integer rightEdge = right->Left() + right->Width();
  right->SetCaption("Right");
  EXPECT_EQ(right->Left() + right->Width(), rightEdge);
  EXPECT_LT(right->Width(), 200);
  // With word wrap the text breaks within the width the label has and the label grows downwards.
  Integer oneLine = left->Height();
  auto* wrapped = Make<TLabel>(form, 10, 80);
  wrapped->SetAutoSize(false);
  wrapped->SetWordWrap(true);
  wrapped->SetCaption("several words that need more than one line");
  wrapped->SetBounds(10, 80, 60, oneLine);
  wrapped->SetAutoSize(true);
  EXPECT_LE(wrapped->Width(), 60);
  EXPECT_GT(wrapped->Height(), 2 * oneLine);
}

TEST_F(ButtonsTest, LabelsPaintTheirTextAndTransparentOnesLeaveTheBackground) {
  TForm* form = NewForm();
  form->SetColor(clWhite);
  auto* opaque = Make<TLabel>(form, 10, 10);
  opaque->SetColor(clYellow);
  opaque->SetParentColor(false);
  opaque->SetCaption("MMMM");
  auto* clear = Make<TLabel>(form, 10, 40);
  clear->SetColor(clYellow);
  clear->SetParentColor(false);
  clear->SetTransparent(true);
  clear->SetCaption("MMMM");
  ShowForm(form);
  EXPECT_EQ(Pixel(opaque, opaque->Width() - 1, 0), clYellow);
  EXPECT_EQ(Pixel(clear, clear->Width() - 1, 0), clWhite);
  // Some pixel of the text is drawn in the font colour.
  bool ink = false;
  for (int x = 0; x < opaque->Width() && !ink; ++x)
    for (int y = 0; y < opaque->Height() && !ink; ++y) ink = Pixel(opaque, x, y) == clBlack;
  EXPECT_TRUE(ink);
}

TEST_F(ButtonsTest, AlignedChildrenOfAGroupBoxStayInsideItsFrameAndBelowItsCaption) {
  TForm* form = NewForm();
  auto* group = Make<TGroupBox>(form, 10, 10, 200, 100);
  group->SetCaption("Port");
  auto* memo = Make<TMemo>(group, 0, 0);
  memo->SetAlign(alClient);
  ShowForm(form);
  EXPECT_GE(memo->Top(), 10);
  EXPECT_EQ(memo->Left(), 2);
  EXPECT_EQ(memo->Left() + memo->Width(), 198);
  EXPECT_EQ(memo->Top() + memo->Height(), 98);
}

}  // namespace
}  // namespace forms_test
