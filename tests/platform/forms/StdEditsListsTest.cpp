// Edits, memos, list boxes and combo boxes: text and selection kept with and without a window, change
// events, limits, the clipboard, memo lines, list items with their objects, selection kinds, owner
// drawing, and choosing in combo boxes.
#include "StdCtlTesting.h"

#include "platform/classes/ClassErrors.h"
#include "platform/win/builtin/CommCtrl.h"

namespace forms_test {
namespace {

class EditsTest : public FormTest {};

TEST_F(EditsTest, TextSelectionAndModifiedBehaveTheSameBeforeAndAfterTheWindow) {
  TForm* form = NewForm();
  for (bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "window" : "no window");
    auto* edit = Make<TEdit>(form, 10, 10);
    if (windowed) ShowForm(form);
    Recorder r;
    edit->SetOnChange(r.Note("change"));
    edit->SetText("h\xC3\xA9llo w\xC3\xB6rld");  // positions count characters
    EXPECT_EQ(r.Count("change"), 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->SelText(), "w\xC3\xB6rld");
    edit->SetSelText("there");
    EXPECT_EQ(edit->Text(), "h\xC3\xA9llo there");
    EXPECT_EQ(edit->SelStart(), 11);
    EXPECT_EQ(edit->SelLength(), 0);
    edit->SetSelStart(100);  // clamped to the end
    EXPECT_EQ(edit->SelStart(), 11);
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 11);
    edit->Clear();
    EXPECT_EQ(edit->Text(), "");
    FreeObject(edit);
  }
  // Selection set before the window is there when it is made.
  auto* late = Make<TEdit>(form, 10, 50);
  late->SetText("abcdef");
  late->SetSelStart(2);
  late->SetSelLength(3);
  late->HandleNeeded();
  EXPECT_EQ(late->SelStart(), 2);
  EXPECT_EQ(late->SelLength(), 3);
}

TEST_F(EditsTest, TypingIsLimitedCaseConvertedRefusedWhenReadOnlyAndSetsModified) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10);
  auto* other = Make<TEdit>(form, 10, 50);
  Recorder r;
  edit->SetOnChange(r.Note("change"));
  edit->SetMaxLength(4);
  ShowForm(form);
  edit->SetFocus();
  Pump();
  Type("abcdef");
  EXPECT_EQ(edit->Text(), "abcd");
  EXPECT_EQ(r.Count("change"), 4);
  EXPECT_TRUE(edit->Modified());
  edit->SetText("longer than four");  // code is not limited
  EXPECT_EQ(edit->Text(), "longer than four");
  edit->SetMaxLength(0);
  edit->SetCharCase(ecUpperCase);
  EXPECT_EQ(edit->Text(), "LONGER THAN FOUR");
  edit->SetSelStart(0);
  Type("x");
  EXPECT_EQ(edit->Text().substr(0, 1), "X");
  edit->SetReadOnly(true);
  Type("y");
  Key(VK_BACK);
  EXPECT_EQ(edit->Text().substr(0, 2), "XL");
  // Clipboard round trip between two edits.
  edit->SetReadOnly(false);
  edit->SetText("copy me");
  edit->SelectAll();
  edit->CopyToClipboard();
  other->PasteFromClipboard();
  EXPECT_EQ(other->Text(), "copy me");
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), "me");
  other->SelectAll();
  other->PasteFromClipboard();
  EXPECT_EQ(other->Text(), "copy ");
}

TEST_F(EditsTest, MemoLinesAreTheTextAndReturnsAndTabsGoWhereWanted) {
  TForm* form = NewForm();
  auto* memo = Make<TMemo>(form, 10, 10, 200, 100);
  auto* ok = Make<TButton>(form, 10, 150);
  ok->SetDefault(true);
  Recorder r;
  ok->SetOnClick(r.Note("ok"));
  TStrings* lines = memo->Lines();
  lines->Add("first");
  lines->Add("second");
  EXPECT_EQ(memo->Text(), "first\r\nsecond\r\n");
  EXPECT_EQ(lines->Count(), 2);  // the last break starts no further line
  lines->Insert(1, "middle");
  lines->Delete(0);
  EXPECT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Strings(0), "middle");
  memo->SetText("a\r\nb\nc");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(lines->Strings(2), "c");
  ShowForm(form);
  EXPECT_EQ(lines->Count(), 3);
  memo->SetFocus();
  Pump();
  memo->SetSelStart(static_cast<Integer>(memo->Text().size()));
  Key(VK_RETURN);  // a new line, not the default button
  Type("d");
  EXPECT_EQ(lines->Count(), 4);
  EXPECT_EQ(lines->Strings(3), "d");
  EXPECT_EQ(r.Count("ok"), 0);
  memo->SetWantReturns(false);
  Key(VK_RETURN);
  EXPECT_EQ(r.Count("ok"), 1);
  EXPECT_EQ(lines->Count(), 4);
  memo->SetWantTabs(true);
  Key(VK_TAB);
  EXPECT_TRUE(memo->Focused());
  EXPECT_EQ(lines->Strings(3), "d\t");
}

class ListsTest : public FormTest {};

TEST_F(ListsTest, ItemsAndObjectsSurviveTheWindowAndSortedListsInsertInOrder) {
  TForm* form = NewForm();
  auto* list = Make<TListBox>(form, 10, 10, 150, 120);
  TObject* tags[3] = {reinterpret_cast<TObject*>(1), reinterpret_cast<TObject*>(2), reinterpret_cast<TObject*>(3)};
  list->Items()->AddObject("Two", tags[1]);
  list->Items()->AddObject("One", tags[0]);
  list->SetItemIndex(1);
  ShowForm(form);
  EXPECT_EQ(::SendMessage(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->Items()->Objects(1), tags[0]);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetSorted(true);
  EXPECT_EQ(list->Items()->Strings(0), "One");
  EXPECT_EQ(list->Items()->Objects(0), tags[0]);
  list->Items()->AddObject("Three", tags[2]);
  EXPECT_EQ(list->Items()->Strings(1), "Three");
  EXPECT_EQ(list->Items()->IndexOf("Two"), 2);
  list->RecreateWnd();
  EXPECT_EQ(list->Items()->Objects(1), tags[2]);
  EXPECT_THROW(list->Items()->Strings(3), EStringListError);
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListsTest, ClicksSelectByTheKindOfSelectionAndItemAtPosFindsTheRow) {
  TForm* form = NewForm();
  auto* list = Make<TListBox>(form, 10, 10, 150, 120);
  for (const char* s : {"a", "b", "c", "d"}) list->Items()->Add(s);
  Recorder r;
  list->SetOnClick(r.Note("click"));
  ShowForm(form);
  TRect second = list->ItemRect(1);
  Click(list, 10, (second.top + second.bottom) / 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(r.Count("click"), 1);
  EXPECT_EQ(list->ItemAtPos(TPoint{10, (second.top + second.bottom) / 2}, true), 1);
  EXPECT_EQ(list->ItemAtPos(TPoint{10, 110}, true), -1);
  EXPECT_EQ(list->ItemAtPos(TPoint{10, 110}, false), 4);
  EXPECT_EQ(list->SelCount(), -1);
  // Multiple selection (the selected item stays selected): clicks toggle, Selected and SelCount follow.
  list->SetMultiSelect(true);
  list->SetExtendedSelect(false);
  EXPECT_TRUE(list->Selected(1));
  TRect third = list->ItemRect(2);
  Click(list, 10, (third.top + third.bottom) / 2);
  Click(list, 10, (second.top + second.bottom) / 2);
  EXPECT_TRUE(list->Selected(2));
  EXPECT_FALSE(list->Selected(1));
  list->SetSelected(3, true);
  EXPECT_EQ(list->SelCount(), 2);
  list->DeleteSelected();
  EXPECT_EQ(list->Count(), 2);
}

TEST_F(ListsTest, OwnerDrawnRowsAreMeasuredAndDrawnByTheHandlers) {
  TForm* form = NewForm();
  auto* list = Make<TListBox>(form, 10, 10, 150, 150);
  list->SetStyle(lbOwnerDrawVariable);
  for (const char* s : {"short", "tall"}) list->Items()->Add(s);
  std::vector<Integer> measured, drawn;
  TOwnerDrawState selectedState;
  list->SetOnMeasureItem(TMeasureItemEvent([&](TWinControl*, Integer Index, Integer& Height) {
    measured.push_back(Index);
    Height = Index == 1 ? 40 : 15;
  }));
  list->SetOnDrawItem(TDrawItemEvent([&](TWinControl* Control, Integer Index, TRect Rect, TOwnerDrawState State) {
    drawn.push_back(Index);
    if (State.Contains(odSelected)) selectedState = State;
    TCanvas* canvas = static_cast<TListBox*>(Control)->Canvas();
    canvas->Brush()->SetColor(Index == 1 ? clRed : clWhite);
    canvas->FillRect(Rect);
  }));
  list->SetItemIndex(1);
  ShowForm(form);
  EXPECT_EQ((std::vector<Integer>{0, 1}), measured);
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  EXPECT_TRUE(selectedState.Contains(odSelected));
  TRect tall = list->ItemRect(1);
  EXPECT_EQ(tall.bottom - tall.top, 40);
  EXPECT_EQ(Pixel(list, 20, tall.top + 20), clRed);
}

TEST_F(ListsTest, ComboBoxesChooseItemsWithKeysAndTakeTypedText) {
  TForm* form = NewForm();
  auto* pick = Make<TComboBox>(form, 10, 10, 120);
  pick->SetStyle(csDropDownList);
  for (const char* s : {"67.0", "71.9", "74.4"}) pick->Items()->Add(s);
  pick->SetItemIndex(0);  // before the window
  auto* typed = Make<TComboBox>(form, 10, 60, 120);
  typed->Items()->Add("COM1");
  Recorder r;
  pick->SetOnSelect(r.Note("select"));
  pick->SetOnChange(r.Note("change"));
  typed->SetOnChange(r.Note("typed"));
  ShowForm(form);
  EXPECT_EQ(pick->Text(), "67.0");
  pick->SetFocus();
  Pump();
  Key(VK_DOWN);
  EXPECT_EQ(pick->ItemIndex(), 1);
  EXPECT_EQ(pick->Text(), "71.9");
  EXPECT_EQ(r.Count("select"), 1);
  pick->SetItemIndex(2);  // in code: no events
  EXPECT_EQ(pick->Text(), "74.4");
  EXPECT_EQ(r.Count("select"), 1);
  pick->SetItemIndex(-1);
  EXPECT_EQ(pick->Text(), "");
  typed->SetFocus();
  Pump();
  Type("COM3");
  EXPECT_EQ(typed->Text(), "COM3");
  EXPECT_EQ(typed->ItemIndex(), -1);
  EXPECT_EQ(r.Count("typed"), 4);
  // Dropping down and closing up fire their events.
  typed->SetOnDropDown(r.Note("drop"));
  typed->SetOnCloseUp(r.Note("close"));
  typed->SetDroppedDown(true);
  Pump();
  EXPECT_TRUE(typed->DroppedDown());
  typed->SetDroppedDown(false);
  Pump();
  EXPECT_EQ(r.Count("drop"), 1);
  EXPECT_EQ(r.Count("close"), 1);
}

}  // namespace
}  // namespace forms_test
