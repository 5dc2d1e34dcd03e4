// The most-recently-used edit: where an entered text goes in the list, the length limit, the ellipsis
// button and its own event, the texts that enter the list by Enter and when accepted on leaving, the list
// opened by the drop-down button only, and stored forms.
#include <gtest/gtest.h>

#include "controls/editors/uiMRUEdit.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class MRUEditTest : public EditorKindsTest {
 protected:
  TuiMRUEdit* NewMRU() {
    auto* edit = NewObject<TuiMRUEdit>(Form);
    edit->SetBounds(10, 10, 200, 21);
    edit->SetParent(Form);
    Pump();
    return edit;
  }
  static void SetItems(TuiMRUEdit* AEdit, std::initializer_list<const char*> AItems) {
    TStrings* items = AEdit->Properties()->LookupItems();
    items->Clear();
    for (const char* item : AItems) items->Add(item);
  }
  static String Items(TuiMRUEdit* AEdit) {
    String s;
    TStrings* items = AEdit->Properties()->LookupItems();
    for (Integer i = 0; i < items->Count(); ++i) s += (i > 0 ? "," : "") + items->Get(i);
    return s;
  }
};

TEST_F(MRUEditTest, AnAddedTextGoesToTheTop) {
  auto* edit = NewMRU();
  int editing = 0;
  bool allow = true;
  edit->SetOnEditing([&](TObject*, bool& CanEdit) {
    ++editing;
    CanEdit = allow;
  });
  struct Case {
    std::initializer_list<const char*> items;
    Integer maxItemCount;
    const char* text;
    bool allow;
    const char* result;
    int editingCalls;
  };
  const Case cases[] = {
      {{"A", "B", "C"}, 3, "D", true, "D,A,B", 1},
      {{"D", "A", "B"}, 0, "B", true, "B,D,A", 1},
      {{"D", "A", "B"}, 0, "b", true, "B,D,A", 1},  // found in any letter case, keeps its own
      {{"D", "A", "B"}, 0, "D", true, "D,A,B", 0},  // already at the top: OnEditing is not asked
      {{"D", "A", "B"}, 0, "", true, "D,A,B", 0},
      {{"D", "A", "B"}, 0, "X", false, "D,A,B", 1},  // refused by OnEditing
  };
  for (const Case& c : cases) {
    edit->Properties()->SetMaxItemCount(0);
    SetItems(edit, c.items);
    edit->Properties()->SetMaxItemCount(c.maxItemCount);
    editing = 0;
    allow = c.allow;
    edit->AddItem(c.text);
    EXPECT_EQ(Items(edit), c.result) << c.text;
    EXPECT_EQ(editing, c.editingCalls) << c.text;
  }
}

TEST_F(MRUEditTest, ALowerLimitCutsTheListAndNoLimitKeepsIt) {
  auto* edit = NewMRU();
  SetItems(edit, {"1", "2", "3", "4", "5"});
  edit->Properties()->SetMaxItemCount(2);
  EXPECT_EQ(Items(edit), "1,2");
  edit->Properties()->SetMaxItemCount(0);
  EXPECT_EQ(Items(edit), "1,2");
  edit->Properties()->SetMaxItemCount(-4);
  EXPECT_EQ(edit->Properties()->MaxItemCount(), 0);
}

TEST_F(MRUEditTest, OnlyTheEllipsisFiresTheOwnButtonEvent) {
  auto* edit = NewMRU();
  int own = 0, base = 0;
  edit->Properties()->SetOnButtonClick([&](TObject* Sender) {
    EXPECT_EQ(Sender, edit);
    ++own;
  });
  static_cast<TuiCustomEditProperties*>(edit->Properties())
      ->SetOnButtonClick([&](TObject*, Integer) { ++base; });
  TuiEditButtons* buttons = edit->Properties()->Buttons();
  ASSERT_EQ(buttons->Count(), 2);
  EXPECT_EQ(buttons->Items(1)->Kind(), bkEllipsis);
  EXPECT_TRUE(buttons->Items(1)->Default());
  for (bool show : {true, false}) {
    edit->Properties()->SetShowEllipsis(show);
    EXPECT_EQ(buttons->VisibleCount(), show ? 2 : 1);
    EXPECT_TRUE(buttons->Items(0)->Visible());
  }
  edit->DoButtonClick(0);
  EXPECT_EQ(own, 0);
  edit->DoButtonClick(1);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(base, 0) << "the editor base's button event is never fired";
}

TEST_F(MRUEditTest, EnterAndAcceptedTextsEnterTheList) {
  auto* edit = NewMRU();
  SetItems(edit, {"A"});
  edit->SetFocus();
  Pump();
  Display.Type("typed");
  Display.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(Items(edit), "typed,A");
  // A text accepted when the focus leaves (its display value is set) enters the list as well.
  auto* other = NewMRU();
  SetItems(other, {"A"});
  other->SetFocus();
  Pump();
  Display.Type("left");
  Pump();
  edit->SetFocus();
  Pump();
  EXPECT_EQ(Items(other), "left,A");
}

}  // namespace

namespace {

TEST_F(MRUEditTest, TheDropDownButtonOpensTheListAndTheEllipsisDoesNot) {
  auto* edit = NewMRU();
  SetItems(edit, {"A", "B"});
  edit->SetFocus();
  Pump();
  int own = 0;
  edit->Properties()->SetOnButtonClick([&](TObject*) { ++own; });
  edit->DoButtonDown(1);
  Pump();
  EXPECT_FALSE(edit->DroppedDown());
  edit->DoButtonDown(0);
  Pump();
  EXPECT_TRUE(edit->DroppedDown());
  edit->CloseUp(pcrClose);
  Pump();
  // Without the ellipsis the glyph goes back to the drop-down button, which still opens the list.
  edit->Properties()->SetShowEllipsis(false);
  EXPECT_EQ(edit->Properties()->DropDownButtonIndex(), 0);
  edit->DoButtonDown(0);
  Pump();
  EXPECT_TRUE(edit->DroppedDown());
  EXPECT_EQ(own, 0);
}

TEST_F(MRUEditTest, EnterOnAHighlightedListItemTakesItInsteadOfTheTypedText) {
  auto* edit = NewMRU();
  SetItems(edit, {"Alpha", "Beta", "Gamma"});
  edit->SetFocus();
  Pump();
  Display.Type("typed");
  edit->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(edit->DroppedDown());
  Display.Key(VK_DOWN);
  Pump();
  Display.Key(VK_RETURN);
  Pump();
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(Items(edit).find("typed"), String::npos) << Items(edit);
  EXPECT_EQ(edit->Properties()->LookupItems()->Get(0), edit->Text()) << Items(edit);
}

TEST_F(MRUEditTest, AStoredFormStillLoads) {
  const String text =
      "object F: TForm\n"
      "  object Recent: TuiMRUEdit\n"
      "    Properties.LookupItems.Strings = (\n"
      "      'one'\n"
      "      'two')\n"
      "    Properties.MaxItemCount = 3\n"
      "    Properties.ShowEllipsis = False\n"
      "    Text = 'one'\n"
      "  end\n"
      "end\n";
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, form.get(), "form");
  auto* edit = dynamic_cast<TuiMRUEdit*>(form->FindComponent("Recent"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(Items(edit), "one,two");
  EXPECT_EQ(edit->Properties()->MaxItemCount(), 3);
  EXPECT_EQ(edit->Properties()->Buttons()->VisibleCount(), 1);
  const String written = WriteComponentToText(form.get());
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(written, copy.get(), "form");
  EXPECT_EQ(WriteComponentToText(copy.get()), written);
}

}  // namespace
