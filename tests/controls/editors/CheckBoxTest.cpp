// The check box editor: values and states, toggling with its refusals, events, keys and mouse, the mark's
// pixels and the form text.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/rtl/CodePages.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class CheckBoxTest : public EditorKindsTest {
 protected:
  TuiCheckBox* NewCheckBox(const String& ACaption = "&Power save") {
    auto* box = NewObject<TuiCheckBox>(Form);
    box->SetCaption(ACaption);
    box->SetBounds(10, 10, 150, 21);
    box->SetParent(Form);
    box->HandleNeeded();
    box->SetOnClick([this](TObject*) { Log.push_back("Click"); });
    box->Properties()->SetOnEditValueChanged([this](TObject*) { Log.push_back("EditValueChanged"); });
    box->Properties()->SetOnChange([this](TObject*) { Log.push_back("Change"); });
    Pump();
    return box;
  }
};

TEST_F(CheckBoxTest, FreshBoxIsUncheckedFalseAndRegistered) {
  TuiCheckBox* box = NewCheckBox();
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(box->EditValue(), Variant(false)));
  EXPECT_EQ(box->State(), cbsUnchecked);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(box->Width(), 150);
  auto* fresh = NewObject<TuiCheckBox>(Form);
  EXPECT_EQ(fresh->Width(), 121);
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiCheckBoxProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "CheckBox|Represents a check box control that allows selecting an option");
  EXPECT_GT(CheckMarkWidth, 0);
  EXPECT_GT(CheckMarkHeight, 0);
}

TEST_F(CheckBoxTest, ValuesMapToStates) {
  TuiCheckBox* box = NewCheckBox();
  struct Case {
    Variant Value;
    TuiCheckBoxState State;
    const char* Display;
  };
  const Case cases[] = {
      {Variant(true), cbsChecked, "True"},    {Variant("True"), cbsChecked, "True"},
      {Variant(false), cbsUnchecked, "False"}, {Variant("False"), cbsUnchecked, "False"},
      {Variant(5), cbsGrayed, ""},             {Null(), cbsGrayed, ""},
      {Variant(), cbsGrayed, ""},
  };
  for (const Case& c : cases) {
    box->SetEditValue(c.Value);
    EXPECT_EQ(box->State(), c.State) << VarToStr(c.Value);
    EXPECT_EQ(WideToUtf8(box->Properties()->GetDisplayText(c.Value)), c.Display) << VarToStr(c.Value);
  }
  // A state turns into a copy of the matching value.
  box->Properties()->SetValueChecked(Variant(1));
  box->Properties()->SetValueUnchecked(Variant(0));
  box->SetState(cbsChecked);
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(box->EditValue(), Variant(1)));
  box->SetChecked(false);
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(box->EditValue(), Variant(0)));
}

TEST_F(CheckBoxTest, ValueSettersRefuseDuplicatesAndNull) {
  TuiCheckBoxProperties* p = NewCheckBox()->Properties();
  p->SetValueChecked(Variant(false));
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(p->ValueChecked(), Variant(true))) << "equal to ValueUnchecked";
  p->SetValueChecked(Null());
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(p->ValueChecked(), Variant(true))) << "Null";
  p->SetValueUnchecked(Null());
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(p->ValueUnchecked(), Variant(false)));
  p->SetValueGrayed(Variant(2));
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(p->ValueGrayed(), Variant(2)));
  p->SetValueGrayed(Null());
  EXPECT_TRUE(VarIsNull(p->ValueGrayed())) << "the grayed value may be Null";
  // "True" as text is another value than the Boolean, so it is taken.
  p->SetValueChecked(Variant("on"));
  EXPECT_EQ(VarToStr(p->ValueChecked()), "on");
}

TEST_F(CheckBoxTest, ToggleCyclesAndRefusals) {
  struct Case {
    bool AllowGrayed;
    bool ReadOnly;
    bool Refuse;
    std::vector<TuiCheckBoxState> Cycle;
  };
  const Case cases[] = {
      {false, false, false, {cbsChecked, cbsUnchecked, cbsChecked}},
      {true, false, false, {cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed}},
      {false, true, false, {cbsUnchecked, cbsUnchecked}},
      {true, false, true, {cbsUnchecked, cbsUnchecked}},
  };
  for (const Case& c : cases) {
    TuiCheckBox* box = NewCheckBox();
    box->Properties()->SetAllowGrayed(c.AllowGrayed);
    box->Properties()->SetReadOnly(c.ReadOnly);
    if (c.Refuse) box->SetOnEditing([](TObject*, bool& ACanEdit) { ACanEdit = false; });
    Log.clear();
    int changes = 0;
    for (TuiCheckBoxState expected : c.Cycle) {
      const TuiCheckBoxState before = box->State();
      box->Toggle();
      EXPECT_EQ(box->State(), expected) << c.AllowGrayed << c.ReadOnly << c.Refuse;
      if (box->State() != before) ++changes;
    }
    // One click and one value change per real change; nothing for a refused toggle.
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "Click"), changes) << Joined();
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "EditValueChanged"), changes) << Joined();
    FreeObject(box);
  }
}

TEST_F(CheckBoxTest, CheckedFiresOncePerRealChangeAndNothingWhileLoading) {
  TuiCheckBox* box = NewCheckBox();
  Log.clear();
  box->SetChecked(true);
  EXPECT_EQ(Joined(), "EditValueChanged, Click, Change");
  Log.clear();
  box->SetChecked(true);
  box->SetState(cbsChecked);
  EXPECT_TRUE(Log.empty()) << Joined();
  box->SetChecked(false);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "Click"), 1) << Joined();
}

TEST_F(CheckBoxTest, SpaceDownExitUp) {
  TuiCheckBox* box = NewCheckBox();
  auto* other = NewObject<TButton>(Form);
  other->SetBounds(10, 60, 80, 25);
  other->SetParent(Form);
  box->SetFocus();
  Pump();
  Log.clear();
  Display.KeyDown(VK_SPACE, L' ');
  Pump();
  EXPECT_EQ(box->CheckViewInfo()->MarkButtonState, cbmsPressed);
  EXPECT_EQ(box->State(), cbsUnchecked) << "nothing happens before the key is released";
  Display.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(box->State(), cbsChecked);
  EXPECT_NE(box->CheckViewInfo()->MarkButtonState, cbmsPressed);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "Click"), 1) << Joined();

  // Leaving with Space held cancels the pressed look without toggling.
  Display.KeyDown(VK_SPACE, L' ');
  Pump();
  other->SetFocus();
  Pump();
  EXPECT_NE(box->CheckViewInfo()->MarkButtonState, cbmsPressed);
  Display.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxTest, MouseClickTogglesOnRelease) {
  TuiCheckBox* box = NewCheckBox();
  Log.clear();
  Display.MoveTo(At(box, 8, 10));
  Display.Press(At(box, 8, 10));
  Pump();
  EXPECT_EQ(box->State(), cbsUnchecked);
  Display.Release(At(box, 8, 10));
  Pump();
  EXPECT_EQ(box->State(), cbsChecked);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "Click"), 1) << Joined();
  // Pressed on the box, released outside: no toggle.
  Display.Press(At(box, 8, 10));
  Display.MoveTo(At(box, 8, 60));
  Display.Release(At(box, 8, 60));
  Pump();
  EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxTest, AcceleratorFocusesAndToggles) {
  TuiCheckBox* box = NewCheckBox("&Power save");
  Display.Chord({VK_MENU}, 'P');
  Pump();
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(box->State(), cbsChecked);
}

// The mark of the flat-style box: a sunken frame, then the check mark stamped in clBtnText only when
// checked; a grayed value with nssGrayedChecked shows the mark as in the checked state.
TEST_F(CheckBoxTest, MarkPixelsByState) {
  TuiCheckBox* box = NewCheckBox("");
  box->Style()->SetBorderStyle(cbsUltraFlat);
  Pump();
  const TRect mark = box->CheckViewInfo()->MarkRect;
  ASSERT_EQ(mark.right - mark.left, CheckMarkWidth);
  // A pixel of the check mark's shape, found from the mask.
  TBitmap* mask = CheckMarkMask();
  POINT inMark{-1, -1};
  for (Integer y = 2; y < CheckMarkHeight - 2 && inMark.x < 0; ++y)
    for (Integer x = 2; x < CheckMarkWidth - 2; ++x)
      if (mask->Canvas()->Pixels(x, y) == clBlack) {
        inMark = POINT{mark.left + x, mark.top + y};
        break;
      }
  ASSERT_GE(inMark.x, 0);
  const COLORREF text = ColorToRGB(clBtnText);
  Display.MoveTo(POINT{0, 0});
  EXPECT_NE(Pixel(box, inMark.x, inMark.y), text) << "unchecked";
  box->SetChecked(true);
  EXPECT_EQ(Pixel(box, inMark.x, inMark.y), text) << "checked";
  box->SetEditValue(Null());
  EXPECT_EQ(Pixel(box, inMark.x, inMark.y), ColorToRGB(clBtnShadow)) << "grayed, nssGrayedChecked";
  box->Properties()->SetNullStyle(nssUnchecked);
  EXPECT_EQ(Pixel(box, inMark.x, inMark.y), ColorToRGB(clWindow)) << "grayed, nssUnchecked";
}

TEST_F(CheckBoxTest, RightAlignedCaptionSitsLeftOfTheMark) {
  TuiCheckBox* box = NewCheckBox("Scan");
  box->Properties()->SetHorzAlignment(taRightJustify);
  Pump();
  const TuiCustomCheckBoxViewInfo* vi = box->CheckViewInfo();
  EXPECT_EQ(vi->MarkRect.right, vi->ClientRect.right - 2);
  EXPECT_EQ(vi->TextRect.right, vi->MarkRect.left - 3);
  EXPECT_TRUE(vi->DrawTextFlags & ctfAlignLeft);
}

TEST_F(CheckBoxTest, FormTextKeepsStateAndStoresOnlyWhatDiffers) {
  TuiCheckBox* box = NewCheckBox("Beep");
  box->SetName("Beep");
  box->SetChecked(true);
  box->Properties()->SetValueGrayed(Variant(7));
  box->Properties()->SetDisplayChecked("On");
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("State = cbsChecked"), String::npos) << text;
  EXPECT_NE(text.find("Properties.ValueGrayed = 7"), String::npos) << text;
  EXPECT_NE(text.find("Properties.DisplayChecked = 'On'"), String::npos) << text;
  for (const char* absent : {"\n    Checked =", "ValueChecked", "ValueUnchecked", "DisplayUnchecked", "Properties.Caption"})
    EXPECT_EQ(text.find(absent), String::npos) << absent << "\n" << text;

  Log.clear();
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* read = dynamic_cast<TuiCheckBox*>(copy->FindComponent("Beep"));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->Checked());
  EXPECT_EQ(read->Caption(), "Beep");
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(read->Properties()->ValueGrayed(), Variant(7)));
  // The check box's own lines come back as they were written.
  const String again = WriteComponentToText(copy.get());
  for (const char* line : {"Caption = 'Beep'", "Properties.DisplayChecked = 'On'", "Properties.ValueGrayed = 7",
                           "State = cbsChecked"})
    EXPECT_NE(again.find(line), String::npos) << line << "\n" << again;
}

TEST_F(CheckBoxTest, OldFormTextCaptionGoesToTheControl) {
  const String text =
      "object F: TForm\n"
      "  object Old: TuiCheckBox\n"
      "    Properties.Caption = 'Lock'\n"
      "  end\n"
      "end\n";
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, form.get(), "form");
  auto* read = dynamic_cast<TuiCheckBox*>(form->FindComponent("Old"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Caption(), "Lock");
  EXPECT_EQ(read->State(), cbsUnchecked);
}

}  // namespace
