// The inner list box's incremental search: characters typed in quick succession extend the search, a
// pause starts a new one, Backspace removes whole characters down to the first item, and a character
// whose bytes arrive as several WM_CHARs counts once.
#include <gtest/gtest.h>

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
