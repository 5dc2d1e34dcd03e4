// The inner list box's incremental search: characters typed in quick succession extend the search, a
// pause starts a new one, Backspace removes whole characters down to the first item, and a character
// whose bytes arrive as several WM_CHARs counts once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/uiInnerListBox.h"
#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

namespace {

class InnerListBoxTest : public ControlTest {
 protected:
  InnerListBoxTest() {
    List = NewObject<TuiCustomInnerListBox>(Form);
    List->SetBounds(10, 10, 150, 120);
    List->SetParent(Form);
    List->HandleNeeded();
    for (const char* item : {"apple", "abacus", "Banana", "bäcker", "cherry"}) List->Items()->Add(item);
    Pump();
  }
  // Types one key into the search; the key after it (as the list box would pass it on).
  char Type(char AKey) {
    List->DoAutoComplete(AKey);
    return AKey;
  }
  TuiCustomInnerListBox* List = nullptr;
};

}  // namespace

TEST_F(InnerListBoxTest, TypedCharactersSearchUntilAPause) {
  Type('a');
  EXPECT_EQ(0, List->ItemIndex());
  Wait(100);
  EXPECT_EQ(0, Type('b')) << "a search key is consumed";
  EXPECT_EQ("ab", List->SearchText());
  EXPECT_EQ(1, List->ItemIndex()) << "\"ab\" within 500 ms";
  Wait(600);
  Type('b');
  EXPECT_EQ("b", List->SearchText());
  EXPECT_EQ(2, List->ItemIndex()) << "a new search ignores case";
  Type('x');
  EXPECT_EQ(2, List->ItemIndex()) << "nothing starts with \"bx\": the selection stays";
  EXPECT_EQ('\b', Type('\b'));
  EXPECT_EQ('\b', Type('\b'));
  EXPECT_EQ("", List->SearchText());
  EXPECT_EQ(0, List->ItemIndex()) << "an empty search selects the first item";
}

TEST_F(InnerListBoxTest, SearchCountsWholeCharacters) {
  // "bä": the second character arrives as two WM_CHARs.
  Type('b');
  PostMessage(List->Handle(), WM_CHAR, 0xA4, 0);
  Type(static_cast<char>(0xC3));
  EXPECT_EQ("b\xC3\xA4", List->SearchText());
  EXPECT_EQ(3, List->ItemIndex());
  Type('\b');
  EXPECT_EQ("b", List->SearchText()) << "Backspace removes the whole character";
  // A lead byte with nothing queued after it is dropped.
  Type(static_cast<char>(0xC3));
  EXPECT_EQ("b", List->SearchText());
}

TEST_F(InnerListBoxTest, MultiSelectSearchSelectsTheOneFoundItem) {
  List->SetMultiSelect(true);
  List->SetSelected(0, true);
  List->SetSelected(4, true);
  Type('c');
  EXPECT_EQ(1, List->SelCount());
  EXPECT_TRUE(List->Selected(4));
  EXPECT_EQ(4, List->ItemIndex());
}

namespace {

// A container hosting an inner list box of many items, so that its native vertical bar shows.
class HostedListBoxTest : public ControlTest {
 protected:
  HostedListBoxTest() {
    Host = NewObject<TuiContainer>(Form);
    Host->SetBounds(20, 20, 200, 150);
    Host->SetParent(Form);
    Host->HandleNeeded();
    List = NewObject<TuiCustomInnerListBox>(Host);
    List->SetParent(Host);
    List->SetContainer(Host);
    Host->SetInnerControl(List);
    List->HandleNeeded();
    Host->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
    for (int i = 0; i < 40; ++i) List->Items()->Add("item " + std::to_string(i));
    Pump();
  }
  TuiContainer* Host = nullptr;
  TuiCustomInnerListBox* List = nullptr;
};

}  // namespace

TEST_F(HostedListBoxTest, LookAndFeelBarCoversTheNativeBarOnTheParent) {
  TuiScrollBar* bar = List->VScrollBar();
  ASSERT_TRUE(bar->Visible());
  EXPECT_EQ(Host, bar->Parent());
  EXPECT_FALSE(List->HScrollBar()->Visible());
  SCROLLBARINFO info{};
  ASSERT_TRUE(CallGetScrollBarInfo(List->Handle(), OBJID_VSCROLL, info));
  const TPoint topLeft = Host->ScreenToClient(TPoint{info.rcScrollBar.left, info.rcScrollBar.top});
  EXPECT_EQ(topLeft.x, bar->Left());
  EXPECT_EQ(topLeft.y, bar->Top());
  EXPECT_EQ(info.rcScrollBar.bottom - info.rcScrollBar.top, bar->Height());
  EXPECT_EQ(39, bar->Max());

  List->SetTopIndex(10);
  Pump();
  EXPECT_EQ(10, bar->Position()) << "the bar follows the list";
  Integer pos = 11;
  bar->OnScroll()(bar, scLineDown, pos);
  EXPECT_EQ(11, List->TopIndex()) << "and the list follows the bar";

  // Moved so that the native bar starts above the parent's client area: the bar hides.
  List->SetBounds(List->Left(), -20, List->Width(), List->Height());
  Pump();
  EXPECT_FALSE(bar->Visible());
}

TEST_F(HostedListBoxTest, DragFromASelectedItemOfAMultiSelectListKeepsTheSelection) {
  List->SetMultiSelect(true);
  List->SetExtendedSelect(true);
  Pump();
  List->SetSelected(1, true);
  List->SetSelected(3, true);
  Host->SetDragMode(dmAutomatic);
  bool started = false;
  Host->SetOnStartDrag([&](TObject*, TDragObject*&) { started = true; });
  const RECT item = [&] {
    RECT r{};
    SendMessage(List->Handle(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    return r;
  }();
  Display.Press(At(List, item.left + 5, item.top + 2));
  Display.MoveTo(At(Form, 400, 300));
  Pump();
  EXPECT_TRUE(started);
  EXPECT_EQ(2, List->SelCount());
  EXPECT_TRUE(List->Selected(1));
  EXPECT_TRUE(List->Selected(3));
  Display.Release(At(Form, 400, 300));
  Pump();
}

TEST_F(HostedListBoxTest, InputReachesTheContainer) {
  std::vector<TPoint> downs;
  Host->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { downs.push_back(TPoint{X, Y}); });
  Display.Click(At(List, 7, 9));
  Pump();
  ASSERT_EQ(1u, downs.size());
  EXPECT_EQ((TPoint{List->Left() + 7, List->Top() + 9}), downs[0]) << "in the container's coordinates";
  const LRESULT code = SendMessage(List->Handle(), WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_TRUE(code & DLGC_WANTTAB);
  std::vector<char> pressed;
  Host->SetOnKeyPress([&](TObject*, char& Key) { pressed.push_back(Key); });
  List->SetFocus();
  Pump();
  Display.Type("i");
  Pump();
  EXPECT_EQ((std::vector<char>{'i'}), pressed);
  EXPECT_EQ(0, List->ItemIndex()) << "then the search";
}

// The container takes the inner control's press without taking the focus, and gets its own setting back
// even when its handler raises.
TEST_F(HostedListBoxTest, PressHandsTheContainerNoFocusOnClickOnlyForItsHandler) {
  std::vector<bool> seen;
  Host->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    seen.push_back(Host->NoFocusOnClick());
    throw Exception("from the handler");
  });
  EXPECT_THROW(TuiInnerControlEvents::MouseDown(Host, *List, mbLeft, {}, 1, 1), Exception);
  EXPECT_EQ((std::vector<bool>{true}), seen);
  EXPECT_FALSE(Host->NoFocusOnClick());
  Host->SetOnMouseDown(nullptr);
  EXPECT_FALSE(TuiInnerControlEvents::MouseDown(nullptr, *List, mbLeft, {}, 1, 1)) << "no container, nothing passed";
}
