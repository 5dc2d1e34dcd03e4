// The radio group: values to items and back, the index clamp, items added while shown, refused clicks,
// the focus message, registration and the form text.
#include <gtest/gtest.h>

#include "controls/editors/uiRadioGroup.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/CodePages.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class RadioGroupTest : public EditorKindsTest {
 protected:
  // Items "A" (Value 1), "B" (no value), "C" (Value "1").
  TuiRadioGroup* NewGroup() {
    auto* group = NewObject<TuiRadioGroup>(Form);
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption("Power");
    TuiRadioGroupItems* items = group->Properties()->Items();
    items->Add()->SetCaption("A");
    items->Items(0)->SetValue(Variant(1));
    items->Add()->SetCaption("B");
    items->Add()->SetCaption("C");
    items->Items(2)->SetValue(Variant("1"));
    group->Properties()->SetDefaultCaption("none");
    group->SetParent(Form);
    group->HandleNeeded();
    group->SetOnClick([this](TObject*) { Log.push_back("Click"); });
    group->Properties()->SetOnEditValueChanged([this](TObject*) { Log.push_back("EditValueChanged"); });
    Pump();
    return group;
  }
};

TEST_F(RadioGroupTest, ValuesMapToItems) {
  TuiRadioGroup* group = NewGroup();
  struct Case {
    Variant Value;
    Integer Index;
    const char* Display;
  };
  const Case cases[] = {
      {Variant(1), 0, "A"},        {Variant("B"), 1, "B"},  {Null(), -1, "none"},
      {Variant("1"), 0, "A"},      {Variant("C"), -1, "none"}, {Variant(2), -1, "none"},
  };
  for (const Case& c : cases) {
    group->SetEditValue(c.Value);
    EXPECT_EQ(group->ItemIndex(), c.Index) << VarToStr(c.Value);
    EXPECT_EQ(WideToUtf8(group->Properties()->GetDisplayText(c.Value)), c.Display) << VarToStr(c.Value);
  }
}

TEST_F(RadioGroupTest, IndexToValueAndClamp) {
  TuiRadioGroup* group = NewGroup();
  group->SetItemIndex(1);
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(group->EditValue(), Variant("B"))) << "caption of an item without value";
  group->SetItemIndex(0);
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(group->EditValue(), Variant(1)));
  group->SetItemIndex(-1);
  EXPECT_TRUE(VarIsNull(group->EditValue())) << "the default value";
  struct Case {
    Integer Set, Get;
  };
  for (const Case& c : {Case{10, 2}, Case{-5, -1}, Case{3, 2}, Case{1, 1}}) {
    group->SetItemIndex(c.Set);
    EXPECT_EQ(group->ItemIndex(), c.Get) << c.Set;
    for (Integer i = 0; i < group->ButtonCount(); ++i) EXPECT_EQ(group->RadioButtons(i)->Checked(), i == c.Get);
  }
}

TEST_F(RadioGroupTest, EventsOncePerChange) {
  TuiRadioGroup* group = NewGroup();
  Log.clear();
  group->SetItemIndex(2);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "EditValueChanged"), 1) << Joined();
  Log.clear();
  group->SetItemIndex(2);
  EXPECT_TRUE(Log.empty()) << Joined();
}

TEST_F(RadioGroupTest, AddingAnItemWhileShownKeepsTheCheckedIndex) {
  TuiRadioGroup* group = NewGroup();
  group->SetItemIndex(1);
  TWinControl* checked = group->Buttons(1);
  group->Properties()->Items()->Add()->SetCaption("D");
  Pump();
  EXPECT_EQ(group->ButtonCount(), 4);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(group->Buttons(1), checked);
  EXPECT_EQ(group->RadioButtons(3)->Caption(), "D");
}

TEST_F(RadioGroupTest, ClicksOnAReadOnlyOrRefusingGroupChangeNothing) {
  for (int refuse = 0; refuse < 2; ++refuse) {
    TuiRadioGroup* group = NewGroup();
    group->SetItemIndex(0);
    if (refuse)
      group->SetOnEditing([](TObject*, bool& ACanEdit) { ACanEdit = false; });
    else
      group->Properties()->SetReadOnly(true);
    TWinControl* target = group->Buttons(2);
    Display.Click(At(target, 5, target->Height() / 2));
    Pump();
    EXPECT_EQ(group->ItemIndex(), 0) << (refuse ? "OnEditing" : "read-only");
    FreeObject(group);
  }
  TuiRadioGroup* group = NewGroup();
  TWinControl* target = group->Buttons(2);
  Display.Click(At(target, 5, target->Height() / 2));
  Pump();
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_GE(std::count(Log.begin(), Log.end(), "Click"), 1) << Joined();
}

TEST_F(RadioGroupTest, FocusMessageFocusesAValidButtonOnly) {
  TuiRadioGroup* group = NewGroup();
  SendMessage(group->Handle(), UM_RADIOGROUP_FOCUSBUTTON, 2, 0);
  Pump();
  EXPECT_EQ(group->FocusedButtonIndex(), 2);
  SendMessage(group->Handle(), UM_RADIOGROUP_FOCUSBUTTON, 7, 0);
  Pump();
  EXPECT_EQ(group->FocusedButtonIndex(), 2);
}

TEST_F(RadioGroupTest, RegisteredAndStreamed) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiRadioGroupProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "RadioGroup|Represents a group of radio buttons");

  TuiRadioGroup* group = NewGroup();
  group->SetName("Power");
  group->SetItemIndex(1);
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("ItemIndex = 1"), String::npos) << text;
  EXPECT_NE(text.find("Value = 1"), String::npos) << text;
  EXPECT_NE(text.find("DefaultCaption = 'none'"), String::npos) << text;
  EXPECT_EQ(text.find("DefaultValue"), String::npos) << text;
  EXPECT_EQ(text.find("TuiCustomRadioGroupButton"), String::npos) << "item buttons are not streamed\n" << text;

  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* read = dynamic_cast<TuiRadioGroup*>(copy->FindComponent("Power"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->Items()->Count(), 3);
  EXPECT_EQ(read->ButtonCount(), 3);
  EXPECT_EQ(read->ItemIndex(), 1);
  EXPECT_EQ(VarToStr(read->EditValue()), "B");
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(read->Properties()->Items()->Items(2)->Value(), Variant("1")));
}

}  // namespace

namespace {

// Clicking an item and then another control moves the focus out of the group cleanly.
TEST_F(RadioGroupTest, FocusLeavesTheGroupForAButton) {
  TuiRadioGroup* group = NewGroup();
  auto* button = NewObject<TButton>(Form);
  button->SetBounds(10, 200, 75, 25);
  button->SetParent(Form);
  Pump();
  TWinControl* target = group->Buttons(2);
  Display.Click(At(target, 5, target->Height() / 2));
  Pump();
  EXPECT_EQ(group->ItemIndex(), 2);
  Display.Click(At(button, 10, 10));
  Pump();
  EXPECT_TRUE(button->Focused());
  EXPECT_EQ(group->ItemIndex(), 2);
}

}  // namespace
