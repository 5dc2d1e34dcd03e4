// The lookup data of text editors: prefix and whole-item search, which text mode forgets the key, the
// navigation table, when the editor is told of a chosen item, following the editor's text; and the popup
// list box on the test display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/editors/uiLookupData.h"
#include "platform/classes/ClassBuilder.h"
#include "tests/controls/editors/EditTesting.h"

// Properties with a settable text mode and page size; ListShown makes the lookup data keep a popup list.
class TLookupTestProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TLookupTestProperties, TuiCustomTextEditProperties)
 public:
  TLookupTestProperties() = default;
  Byte GetTextMode() override { return TextMode; }
  Integer GetLookupRowCount() override { return RowCount; }
  TClass GetLookupDataClass() const override;
  Byte TextMode = temFree;
  Integer RowCount = 8;
};

// Lookup data whose items are shown in a popup list.
class TListedLookupData : public TuiCustomTextEditLookupData {
  K58_CLASS(TListedLookupData, TuiCustomTextEditLookupData)
 public:
  TListedLookupData() = default;
  TClass GetListBoxClass() const override { return TuiCustomEditListBox::StaticClass(); }
};

TClass TLookupTestProperties::GetLookupDataClass() const { return TListedLookupData::StaticClass(); }

// An editor as the lookup data sees it: a text, the editing-event flag and the key-from-lookup flag.
class TLookupTestEdit : public TuiCustomEdit, public IuiTextEditLookupDataOwner {
  K58_CLASS(TLookupTestEdit, TuiCustomEdit)
 public:
  explicit TLookupTestEdit(TComponent* AOwner) : TuiCustomEdit(AOwner) {}
  ~TLookupTestEdit() override { FreeObject(lookupData_); }
  TClass GetPropertiesClass() const override { return TLookupTestProperties::StaticClass(); }
  TLookupTestProperties* TestProperties() const { return static_cast<TLookupTestProperties*>(Properties()); }

  TuiCustomTextEditLookupData* LookupData() {
    if (lookupData_ == nullptr) {
      lookupData_ = TuiCustomTextEditLookupData::CreateOfClass(TestProperties()->GetLookupDataClass(), this);
      lookupData_->SetOnSelectItem([this](TObject*) {
        Selected.push_back(lookupData_->CurrentKey());
        KeyFromLookupDuringSelect = KeyFromLookup;
      });
    }
    return lookupData_;
  }

  String GetLookupOwnerText() override { return ShownText; }
  bool IsLookupOwnerEditingEventRunning() override { return EditingEventRunning; }
  void SetLookupOwnerKeyFromLookup(bool Value) override { KeyFromLookup = Value; }

  String ShownText;
  bool EditingEventRunning = false;
  bool KeyFromLookup = false;
  bool KeyFromLookupDuringSelect = false;
  std::vector<Integer> Selected;  // current keys at each OnSelectItem

 private:
  TuiCustomTextEditLookupData* lookupData_ = nullptr;
};

K58_IMPLEMENT_CLASS(TLookupTestProperties) {}
K58_IMPLEMENT_CLASS(TListedLookupData) {}
K58_IMPLEMENT_CLASS(TLookupTestEdit) {}

namespace {

using namespace editors_test;

class LookupDataTest : public EditUnitsTest {
 protected:
  LookupDataTest() { Edit = NewObject<TLookupTestEdit>(nullptr); }
  ~LookupDataTest() override { FreeObject(Edit); }

  TuiCustomTextEditLookupData* Data(const String& AItems) {
    Edit->TestProperties()->LookupItems()->SetText(AItems);
    return Edit->LookupData();
  }

  TLookupTestEdit* Edit;
};

TEST_F(LookupDataTest, LocateFindsTheFirstItemStartingWithTheText) {
  struct Case {
    Integer Start;  // current key and item index before
    const char* Text;
    bool Next;
    bool Found;
    const char* Matched;
    const char* Tail;
    Integer Key;
  };
  const Case cases[] = {
      {-1, "ap", false, true, "Ap", "ple", 0},
      {0, "ap", true, true, "Ap", "ricot", 1},
      {1, "ap", true, false, "ap", "", -1},
      {1, "ap", false, true, "Ap", "ple", 0},
      {-1, "BAN", false, true, "Ban", "ana", 2},
      {-1, "banana", false, true, "Banana", "", 2},
      {-1, "äp", false, true, "Äp", "fel", 3},
      {2, "apples", false, false, "apples", "", -1},
      {2, "", false, false, "", "", -1},
  };
  TuiCustomTextEditLookupData* data = Data("Apple\nApricot\nBanana\nÄpfel\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + (c.Next ? " next" : ""));
    data->SetCurrentKeyInternal(c.Start);
    String text = c.Text, tail;
    EXPECT_EQ(data->Locate(text, tail, c.Next), c.Found);
    EXPECT_EQ(text, c.Matched);
    EXPECT_EQ(tail, c.Tail);
    EXPECT_EQ(data->CurrentKey(), c.Key);
    EXPECT_EQ(data->ItemIndex(), c.Key);
  }
}

TEST_F(LookupDataTest, AFailedSearchForgetsTheKeyAsTightlyAsTheTextModeBinds) {
  struct Case {
    Byte TextMode;
    const char* Text;
    bool WholeItem;
    const char* Items;
    Integer Key;  // afterwards, from 1
  };
  const Case cases[] = {
      {temFree, "x", false, "a\nb\n", -1},
      {temNoCursor, "x", false, "a\nb\n", -1},
      {temEditFixedList, "x", false, "a\nb\n", 1},
      {temEditFixedList, "", false, "a\nb\n", -1},
      {temEditFixedList, "", false, "a\nb\n\n", 1},
      {temEditFixedList, "x", true, "a\nb\n", -1},
      {temFixedList, "x", false, "a\nb\n", 1},
      {temFixedList, "", false, "a\nb\n", 1},
      {temFixedList, "x", true, "a\nb\n", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.TextMode) + " '" + c.Text + "'" + (c.WholeItem ? " whole" : ""));
    Edit->TestProperties()->TextMode = c.TextMode;
    TuiCustomTextEditLookupData* data = Data(c.Items);
    data->SetCurrentKeyInternal(1);
    String text = c.Text, tail;
    EXPECT_FALSE(data->Locate(text, tail, false, c.WholeItem));
    EXPECT_EQ(data->CurrentKey(), c.Key);
  }
}

TEST_F(LookupDataTest, MostRecentlyUsedListsFollowWholeItemsOnly) {
  TuiCustomTextEditLookupData* data = Data("Apple\nApricot\n");
  Edit->TestProperties()->SetMRUListMode(true);
  String text = "APRICOT", tail = "stale";
  EXPECT_TRUE(data->Locate(text, tail, false, true));
  EXPECT_EQ(tail, "");
  EXPECT_EQ(data->CurrentKey(), 1);
  text = "Ap";
  EXPECT_FALSE(data->Locate(text, tail, false, true));
  EXPECT_EQ(data->CurrentKey(), -1);
  EXPECT_TRUE(data->Locate(text, tail, false)) << "typing still searches by prefix";
  EXPECT_EQ(data->CurrentKey(), 0);
}

TEST_F(LookupDataTest, NavigateWithoutAListMovesTheKey) {
  struct Case {
    Integer Count;
    Integer RowCount;
    Integer Start;
    TuiLookupDataGoDirection Direction;
    bool Circular;
    Integer Key;
  };
  const Case cases[] = {
      {20, 8, -1, ldPageDown, false, 7},   {20, 8, -1, ldNext, false, 0},
      {20, 8, -1, ldPrevious, false, -1},  {20, 8, -1, ldPrevious, true, 19},
      {20, 8, 19, ldNext, false, 19},      {20, 8, 19, ldNext, true, 0},
      {20, 8, 0, ldPrevious, true, 19},    {20, 8, 4, ldPrevious, true, 3},
      {20, 8, 10, ldPageUp, false, 3},     {20, 8, 5, ldPageUp, false, 0},
      {20, 8, 5, ldPageUp, true, 0},       {20, 8, 0, ldPageUp, true, 19},
      {20, 8, -1, ldPageUp, false, -1},    {20, 8, -1, ldPageUp, true, 19},
      {20, 8, 10, ldPageDown, false, 17},  {20, 8, 15, ldPageDown, false, 19},
      {20, 8, 15, ldPageDown, true, 19},   {20, 8, 19, ldPageDown, true, 0},
      {20, 8, 7, ldFirst, false, 0},       {20, 8, 7, ldLast, false, 19},
      {20, 8, 7, static_cast<TuiLookupDataGoDirection>(9), false, 0},
      {20, 3, -1, ldPageDown, false, 2},   {3, 8, -1, ldPageDown, false, 2},
      {1, 8, 0, ldNext, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Start) + " dir " + std::to_string(c.Direction) + (c.Circular ? " circular" : ""));
    String items;
    for (Integer i = 0; i < c.Count; ++i) items += "item" + std::to_string(i) + "\n";
    Edit->TestProperties()->RowCount = c.RowCount;
    TuiCustomTextEditLookupData* data = Data(items);
    data->SetCurrentKeyInternal(c.Start);
    data->Navigate(c.Direction, c.Circular);
    EXPECT_EQ(data->CurrentKey(), c.Key);
    EXPECT_EQ(data->ItemIndex(), c.Key);
  }
  TuiCustomTextEditLookupData* empty = Data("");
  const size_t told = Edit->Selected.size();
  empty->Navigate(ldLast, false);
  EXPECT_EQ(Edit->Selected.size(), told) << "no items: nothing moves";
}

TEST_F(LookupDataTest, TheEditorHearsOfAKeyWhenItOrItsTextDiffers) {
  TuiCustomTextEditLookupData* data = Data("Apple\nBanana\n");
  Edit->ShownText = "Apple";
  data->SetCurrentKey(Variant(1));
  EXPECT_EQ(Edit->Selected, std::vector<Integer>{1});
  EXPECT_TRUE(Edit->KeyFromLookupDuringSelect);
  EXPECT_FALSE(Edit->KeyFromLookup);

  Edit->ShownText = "Banana";
  data->SetCurrentKey(Variant(1));
  EXPECT_EQ(Edit->Selected.size(), 1u) << "same key, same text";
  Edit->ShownText = "banana";
  data->SetCurrentKey(Variant(1));
  EXPECT_EQ(Edit->Selected.size(), 2u) << "the text differs in case";

  // Choosing the current item tells the editor once, whatever its text.
  Edit->Selected.clear();
  data->SelectItem();
  Edit->ShownText = "Banana";
  data->SelectItem();
  EXPECT_EQ(Edit->Selected, (std::vector<Integer>{1, 1}));

  EXPECT_EQ(VarToStr(data->GetCurrentKey()), "1");
  data->SetCurrentKey(Null());
  EXPECT_EQ(data->CurrentKey(), -1);
}

TEST_F(LookupDataTest, TheKeyFollowsTheEditorsText) {
  TuiCustomTextEditLookupData* data = Data("Apple\nBanana\n");
  // Nothing selected: the text is searched (no item is read at index -1).
  Edit->ShownText = "Ban";
  data->TextChanged();
  EXPECT_EQ(data->CurrentKey(), 1);
  // The selected item is the text already, in another case: kept.
  Edit->ShownText = "BANANA";
  data->TextChanged();
  EXPECT_EQ(data->CurrentKey(), 1);
  // While the editor's OnEditing handler runs, nothing.
  Edit->ShownText = "zzz";
  Edit->EditingEventRunning = true;
  data->TextChanged();
  EXPECT_EQ(data->CurrentKey(), 1);
  Edit->EditingEventRunning = false;
  data->TextChanged();
  EXPECT_EQ(data->CurrentKey(), -1);
}

TEST_F(LookupDataTest, KeysAndTexts) {
  TuiCustomTextEditLookupData* data = Data("One\nTwo\n");
  struct Case {
    Variant Key;
    const char* Text;
  };
  const Case cases[] = {{Variant(0), "One"}, {Variant(1), "Two"}, {Variant(2), ""},
                        {Variant(-1), ""},   {Null(), ""},        {Variant(String("x")), ""}};
  for (const Case& c : cases) {
    String text = "stale";
    data->GetDisplayText(c.Key, text);
    EXPECT_EQ(text, c.Text) << VarToStr(c.Key);
  }
  EXPECT_EQ(data->IndexOf("two"), 1);
  EXPECT_TRUE(data->IsKnownText("ONE"));
  EXPECT_FALSE(data->IsKnownText("On"));
  EXPECT_FALSE(data->IsEmpty());
  EXPECT_EQ(EditValueToLookupKey(data, Variant(String("TWO"))).AsInteger(), 1);
  EXPECT_EQ(EditValueToLookupKey(data, Variant(String("three"))).AsInteger(), -1);
  EXPECT_EQ(EditValueToLookupKey(data, Null()).AsInteger(), -1);
  EXPECT_EQ(EditValueToLookupKey(nullptr, Variant(String("One"))).AsInteger(), -1);
  EXPECT_EQ(data->GetActiveControl(), nullptr) << "the base class makes no list";
}

// The popup list on a shown form.
class LookupListTest : public LookupDataTest {
 protected:
  LookupListTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 300, 300);
    Form->Show();
    String items;
    for (int i = 0; i < 30; ++i) items += "Item " + std::to_string(i) + "\n";
    Lookup = Data(items);
    Lookup->Initialize(Form);
    List = Lookup->List();
    Lookup->PositionVisualArea(TRect{10, 10, 160, 10 + List->GetHeightForRows(8)});
    Display.Pump();
  }
  ~LookupListTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
  }

  POINT RowPoint(Integer ARow) {
    const TRect r = List->ItemRect(ARow);
    const TPoint p = List->ClientToScreen(TPoint{r.left + 40, (r.top + r.bottom) / 2});
    return POINT{p.x, p.y};
  }

  TForm* Form;
  TuiCustomTextEditLookupData* Lookup;
  TuiCustomEditListBox* List;
};

TEST_F(LookupListTest, TheListHasARowPerItemDrawnFromTheLookupData) {
  ASSERT_NE(List, nullptr);
  EXPECT_EQ(List->Owner(), Form);
  EXPECT_EQ(Lookup->GetActiveControl(), List);
  EXPECT_TRUE(List->IsVisible());
  EXPECT_EQ(List->Items()->Count(), 30);
  EXPECT_EQ(List->Items()->Strings(3), "") << "rows hold no text of their own";
  String text;
  List->GetItemText(3, text);
  EXPECT_EQ(text, "Item 3");
  const Integer height = List->GetItemHeight(-1);
  EXPECT_EQ(height, List->Canvas()->TextHeight("Wg"));
  EXPECT_EQ(List->ItemRect(1).top - List->ItemRect(0).top, height);

  // Rows are painted from the lookup data: the text 2 pixels in, the selected row highlighted.
  Lookup->SetItemIndex(1);
  Display.Pump();
  const TRect row0 = List->ItemRect(0), row1 = List->ItemRect(1);
  const COLORREF background = Display.ClientPixel(List->Handle(), POINT{row0.right - 3, row0.top + 1});
  EXPECT_EQ(background, static_cast<COLORREF>(foundation_test::Rgb(List->Color())));
  EXPECT_EQ(Display.ClientPixel(List->Handle(), POINT{row1.right - 3, row1.top + 1}),
            static_cast<COLORREF>(foundation_test::Rgb(clHighlight)));
  int ink = 0, firstInkX = -1;
  for (int x = row0.left; x < row0.left + 60; ++x)
    for (int y = row0.top; y < row0.bottom; ++y)
      if (Display.ClientPixel(List->Handle(), POINT{x, y}) != background) {
        ++ink;
        if (firstInkX == -1 || x < firstInkX) firstInkX = x;
      }
  EXPECT_GT(ink, 20) << "the item's text is drawn";
  EXPECT_GE(firstInkX, row0.left + 2);

  // Items added and removed follow through the properties' change.
  Edit->TestProperties()->LookupItems()->Add("Item 30");
  Lookup->PropertiesChanged();
  EXPECT_EQ(List->Items()->Count(), 31);
  Edit->TestProperties()->LookupItems()->Clear();
  Lookup->PropertiesChanged();
  EXPECT_EQ(List->Items()->Count(), 0);
}

TEST_F(LookupListTest, WhileTheListIsShownNavigationMovesOnlyTheSelection) {
  Lookup->SetCurrentKey(Variant(2));
  Edit->Selected.clear();
  Lookup->Navigate(ldNext, false);
  EXPECT_EQ(Lookup->ItemIndex(), 3);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(Lookup->CurrentKey(), 2);
  EXPECT_TRUE(Edit->Selected.empty());
  Lookup->SelectItem();
  EXPECT_EQ(Lookup->CurrentKey(), 3);
  EXPECT_EQ(Edit->Selected, std::vector<Integer>{3});

  // With ImmediateUpdateText the value follows at once.
  Edit->TestProperties()->SetImmediateUpdateText(true);
  Lookup->Navigate(ldPageDown, false);
  EXPECT_EQ(Lookup->CurrentKey(), 10);
  EXPECT_EQ(List->ItemIndex(), 10);

  // Leaving the selection for none clears the list's too.
  Lookup->SetItemIndex(-1);
  EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(LookupListTest, TheMouseSelectsTheRowUnderItAndTheWheelScrolls) {
  Display.MoveTo(RowPoint(4));
  Display.Pump();
  EXPECT_EQ(List->ItemIndex(), 4);
  EXPECT_EQ(Lookup->ItemIndex(), 4) << "the list's selection reaches the lookup data";
  EXPECT_EQ(Lookup->CurrentKey(), -1);
  List->SetHotTrack(false);
  Display.MoveTo(RowPoint(6));
  Display.Pump();
  EXPECT_EQ(List->ItemIndex(), 4);

  // The wheel goes to the focused control.
  List->SetFocus();
  const Integer top = List->TopIndex();
  Display.Wheel(RowPoint(2), -1);
  Display.Pump();
  UINT lines = 0;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(List->TopIndex(), top + static_cast<Integer>(lines));
  EXPECT_TRUE(Lookup->IsMouseOverList(List->ClientToScreen(TPoint{5, 5})));
  EXPECT_FALSE(Lookup->IsMouseOverList(List->ClientToScreen(TPoint{-5, 5})));
}

}  // namespace
