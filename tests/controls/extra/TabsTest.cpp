// The tab collection: visible list search, renumbering, the current tab, index errors and the change
// notifications it sends to its control.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FakeTabHost.h"
#include "controls/extra/uiPCTabs.h"

namespace extra_test {

class TabsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabs_.TabNormalHeight = 20;
    host_.tabs = &tabs_;
  }
  void AddTabs(std::initializer_list<const char*> captions) {
    for (const char* c : captions) tabs_.Add(c);
  }
  std::vector<Integer> VisibleIndexes() const {
    std::vector<Integer> r;
    for (Integer i = 0; i < tabs_.VisibleCount(); ++i) r.push_back(tabs_.VisibleTabs().TabIndexAt(i));
    return r;
  }
  std::string ErrorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }

  FakeTabHost host_;
  TuiTabs tabs_{&host_};
};

TEST_F(TabsTest, VisibleListFindAnswersPresenceAndInsertPosition) {
  TuiVisibleTabList& list = tabs_.VisibleTabs();
  Integer pos = -5;
  EXPECT_FALSE(list.Find(3, pos));
  EXPECT_EQ(pos, 0);

  AddTabs({"a", "b", "c", "d", "e", "f", "g"});
  tabs_.GetTab(0)->SetVisible(false);
  tabs_.GetTab(3)->SetVisible(false);
  tabs_.GetTab(6)->SetVisible(false);
  ASSERT_EQ(VisibleIndexes(), (std::vector<Integer>{1, 2, 4, 5}));

  struct Case {
    Integer tabIndex;
    bool found;
    Integer position;
  } cases[] = {{0, false, 0}, {1, true, 0}, {2, true, 1}, {3, false, 2},
               {4, true, 2},  {5, true, 3}, {6, false, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tabIndex);
    EXPECT_EQ(list.Find(c.tabIndex, pos), c.found);
    EXPECT_EQ(pos, c.position);
    EXPECT_EQ(list.IndexOf(c.tabIndex), c.found ? c.position : -1);
  }

  list.Add(4);  // already there
  list.Remove(3);  // not there
  EXPECT_EQ(VisibleIndexes(), (std::vector<Integer>{1, 2, 4, 5}));
  tabs_.GetTab(3)->SetVisible(true);
  EXPECT_EQ(VisibleIndexes(), (std::vector<Integer>{1, 2, 3, 4, 5}));
  EXPECT_EQ(tabs_.GetVisibleTab(2)->Caption(), "d");
}

TEST_F(TabsTest, InsertDeleteAndMoveRenumberTabsAndKeepImageIndexes) {
  AddTabs({"a", "b", "c"});
  EXPECT_EQ(host_.tabIndex, 0) << "the first tab of an empty control becomes current";
  tabs_.Insert(1, "x");
  EXPECT_EQ(host_.tabIndex, 0) << "later tabs leave the current tab alone";

  auto captions = [&] {
    std::string s;
    for (Integer i = 0; i < tabs_.Count(); ++i) {
      EXPECT_EQ(tabs_.GetTab(i)->Index(), i);
      s += tabs_.Get(i);
    }
    return s;
  };
  EXPECT_EQ(captions(), "axbc");
  // A tab keeps the image index of the position it was made at; it is streamed once it differs.
  EXPECT_EQ(tabs_.GetTab(1)->ImageIndex(), 1);
  EXPECT_FALSE(tabs_.GetTab(1)->IsImageIndexStored());
  EXPECT_EQ(tabs_.GetTab(2)->ImageIndex(), 1);
  EXPECT_TRUE(tabs_.GetTab(2)->IsImageIndexStored());
  tabs_.GetTab(0)->SetImageIndex(-7);
  EXPECT_EQ(tabs_.GetTab(0)->ImageIndex(), -1);

  tabs_.Move(0, 3);
  EXPECT_EQ(captions(), "xbca");
  tabs_.Move(2, 1);
  EXPECT_EQ(captions(), "xcba");
  tabs_.GetTab(1)->SetVisible(false);
  tabs_.Delete(0);
  EXPECT_EQ(captions(), "cba");
  EXPECT_EQ(VisibleIndexes(), (std::vector<Integer>{1, 2}));
  tabs_.Clear();
  EXPECT_EQ(tabs_.Count(), 0);
  EXPECT_EQ(tabs_.VisibleCount(), 0);
}

TEST_F(TabsTest, LoadingControlKeepsNoCurrentTabAndGetsNoNotifications) {
  host_.loading = true;
  AddTabs({"a", "b"});
  tabs_.GetTab(1)->SetVisible(false);
  tabs_.GetTab(0)->SetSelected(true);
  EXPECT_EQ(host_.tabIndex, -1);
  EXPECT_TRUE(host_.calls.empty()) << host_.calls.front();
  EXPECT_TRUE(tabs_.GetTab(0)->Selected()) << "while loading, Selected is only stored";
}

TEST_F(TabsTest, IndexErrorsNameClassMethodAndIndex) {
  AddTabs({"a", "b", "c"});
  struct Case {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { (void)tabs_.Get(3); }, "TuiTabs.Get: Tab's index (3) out of bounds"},
      {[&] { tabs_.Delete(-1); }, "TuiTabs.Delete: Tab's index (-1) out of bounds"},
      {[&] { tabs_.Insert(4, "z"); }, "TuiTabs.Insert: Tab's index (4) out of bounds"},
      {[&] { tabs_.GetTab(7); }, "TuiTabs.GetTab: Tab's index (7) out of bounds"},
      {[&] { tabs_.GetVisibleTab(3); }, "TuiTabs.GetVisibleTab: TabVisibleIndex (3) must be between 0 and 2"},
      {[&] { tabs_.VisibleTabs().GetTab(-1); },
       "TuiVisibleTabList.GetTab: TabVisibleIndex (-1) must be between 0 and 2"},
      // A move outside the list is refused with the message of Delete instead of running past its end.
      {[&] { tabs_.Move(0, 3); }, "TuiTabs.Delete: Tab's index (3) out of bounds"},
      {[&] { tabs_.Move(-2, 1); }, "TuiTabs.Delete: Tab's index (-2) out of bounds"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.call), c.message);
  EXPECT_EQ(tabs_.Get(0) + tabs_.Get(1) + tabs_.Get(2), "abc") << "a refused call changes nothing";

  tabs_.Clear();
  EXPECT_EQ(ErrorOf([&] { tabs_.VisibleTabs().GetTab(-1); }),
            "TuiVisibleTabList.GetTab: There are no visible tabs");
}

TEST_F(TabsTest, HidingTheCurrentTabOfAPageControlMovesToTheNextVisibleTab) {
  host_.keepsActive = true;
  AddTabs({"a", "b", "c", "d"});
  struct Case {
    Integer current, hide, expected;
  } cases[] = {{1, 1, 2}, {3, 3, 2}, {2, 2, 0}};
  // Each row hides one more tab: b, then d, then c.
  for (const Case& c : cases) {
    host_.tabIndex = c.current;
    tabs_.GetTab(c.hide)->SetVisible(false);
    EXPECT_EQ(host_.tabIndex, c.expected) << "hiding " << c.hide;
  }
  host_.tabIndex = 0;
  tabs_.GetTab(0)->SetVisible(false);
  EXPECT_EQ(host_.tabIndex, -1) << "no visible tab is left";

  // A tab control keeps its current tab when it is hidden.
  host_.keepsActive = false;
  tabs_.GetTab(3)->SetVisible(true);
  host_.tabIndex = 3;
  tabs_.GetTab(3)->SetVisible(false);
  EXPECT_EQ(host_.tabIndex, 3);
}

TEST_F(TabsTest, ActiveVisibleIndexFollowsTheCurrentTab) {
  AddTabs({"a", "b", "c"});
  tabs_.UpdateActiveTab();
  EXPECT_EQ(tabs_.ActiveTab(), 0);
  host_.calls.clear();
  host_.tabIndex = 2;
  tabs_.UpdateActiveTab();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"repaint 0 kind 5", "repaint 2 kind 5", "navigator"}));
  tabs_.GetTab(1)->SetVisible(false);
  tabs_.UpdateActiveTab();
  EXPECT_EQ(tabs_.ActiveTab(), 1) << "tab 2 is now the second visible tab";
  tabs_.GetTab(2)->SetVisible(false);
  tabs_.UpdateActiveTab();
  EXPECT_EQ(tabs_.ActiveTab(), 0) << "a hidden current tab past the end: the last visible tab";
}

TEST_F(TabsTest, TabChangesBecomeRepaintsOrANewLayout) {
  AddTabs({"a", "b"});
  host_.tabIndex = 0;
  host_.calls.clear();
  tabs_.GetTab(1)->SetEnabled(false);
  tabs_.GetTab(1)->SetHighlighted(true);
  tabs_.GetTab(1)->SetSelected(true);  // not the current tab, no multi-selection: ignored
  tabs_.GetTab(0)->SetSelected(true);
  tabs_.GetTab(0)->SetCaption("x");  // same width: a repaint
  tabs_.GetTab(0)->SetCaption("wider");  // new width: a layout
  tabs_.SetHotTrackTab(1);
  tabs_.SetHotTrackTab(0);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"repaint 1 kind 1", "repaint 1 kind 3", "repaint 0 kind 8",
                                                   "repaint 0 kind 0", "layout", "repaint 1 kind 4",
                                                   "repaint 1 kind 4", "repaint 0 kind 4"}));
  EXPECT_FALSE(tabs_.GetTab(1)->Selected());

  host_.multiSelect = true;
  host_.calls.clear();
  tabs_.GetTab(1)->SetSelected(true);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"multi", "repaint 1 kind 8"}));
}

TEST_F(TabsTest, FocusedTabIsNormalisedAndScrolledIntoTheRow) {
  AddTabs({"a", "b"});
  host_.calls.clear();
  tabs_.SetFocusedTab(1);
  tabs_.SetFocusedTab(5);
  EXPECT_EQ(tabs_.FocusedTab(), -1);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"repaint 1 kind 9", "scroll 1", "layout", "repaint 1 kind 9"}));
}

TEST_F(TabsTest, TabFreedDirectlyLeavesItsCollectionOnce) {
  AddTabs({"a", "b", "c"});
  tabs_.SetFocusedTab(1);
  delete tabs_.GetTab(1);
  EXPECT_EQ(tabs_.Count(), 2);
  EXPECT_EQ(tabs_.Get(1), "c");
  EXPECT_EQ(tabs_.GetTab(1)->Index(), 1);
  EXPECT_EQ(tabs_.FocusedTab(), -1);
  EXPECT_EQ(VisibleIndexes(), (std::vector<Integer>{0, 1}));
}

TEST_F(TabsTest, AssignCopiesEveryPublishedProperty) {
  AddTabs({"a", "b"});
  TuiTab* src = tabs_.GetTab(1);
  src->SetEnabled(false);
  src->SetHighlighted(true);
  src->SetImageIndex(4);
  TuiTab* dst = tabs_.GetTab(0);
  dst->Assign(src);
  EXPECT_EQ(dst->Caption(), "b");
  EXPECT_FALSE(dst->Enabled());
  EXPECT_TRUE(dst->Highlighted());
  EXPECT_EQ(dst->ImageIndex(), 4);
}

TEST_F(TabsTest, OrientationCodeBySideAndTextMode) {
  AddTabs({"a"});
  TuiTab* tab = tabs_.GetTab(0);
  tab->DisplayRow = 0;
  EXPECT_EQ((std::vector<Integer>{tab->GetOrientationCode(0), tab->GetOrientationCode(1), tab->GetOrientationCode(2)}),
            (std::vector<Integer>{1, 2, 3}));
  tab->DisplayRow = 1;  // past the split row: the bottom side
  EXPECT_EQ(tab->GetSide(), tsBottom);
  EXPECT_EQ(tab->GetOrientationCode(1), 11);
}

}  // namespace extra_test
