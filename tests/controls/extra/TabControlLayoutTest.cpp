// The tab control's layout with plain painter metrics: rows broken, balanced and stretched, a tab wider
// than the row, the navigator appearing, the first shown tab brought back after widening, bottom tabs
// with ScrollOpposite, RaggedRight with and without Rotate, and generated cases in which every visible
// tab must lie in exactly one row inside the tabs rectangle.
#include <gtest/gtest.h>

#include <random>

#include "tests/common/Geometry.h"
#include "tests/controls/extra/TabControlTesting.h"

using namespace extra_test;

namespace {

std::vector<Integer> RowsOf(TuiCustomTabControl* C) {
  std::vector<Integer> rows;
  for (Integer i = 0; i < C->Tabs()->VisibleCount(); ++i) rows.push_back(C->Tabs()->GetVisibleTab(i)->Row);
  return rows;
}

std::vector<Integer> WidthsOf(TuiCustomTabControl* C) {
  std::vector<Integer> widths;
  for (Integer i = 0; i < C->Tabs()->VisibleCount(); ++i) widths.push_back(C->Tabs()->GetVisibleTab(i)->NormalWidth);
  return widths;
}

TRect FullRect(TuiCustomTabControl* C, Integer VisibleIndex) {
  TRect r;
  C->Tabs()->GetVisibleTab(VisibleIndex)->GetFullRect(r);
  return r;
}

}  // namespace

TEST_F(TabControlTest, FiveTabsOfSixtyInARowOfTwoHundredKeepTheGreedyThreeAndTwo) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {kTab60, kTab60, kTab60, kTab60, kTab60});
  c->SetMultiLine(true);
  EXPECT_EQ(c->RowCount(), 2);
  EXPECT_EQ(RowsOf(c), (std::vector<Integer>{0, 0, 0, 1, 1}));
  // Each row is stretched to the row length, the last tab taking what integer division leaves.
  EXPECT_EQ(WidthsOf(c), (std::vector<Integer>{66, 66, 68, 100, 100}));
  // The active tab's row (row 0) moves next to the client area.
  EXPECT_EQ(FullRect(c, 0), (TRect{0, 20, 66, 40}));
  EXPECT_EQ(FullRect(c, 4), (TRect{100, 0, 200, 20}));
  EXPECT_EQ(c->NavigatorButtons(), TuiPCNavigatorButtons());
  TRect client;
  c->AdjustClientRect(client);
  EXPECT_EQ(client, (TRect{0, 40, 200, 150}));
}

TEST_F(TabControlTest, ATabWiderThanTheRowStandsAloneStretchedToTheRow) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {"AAA", "AAAAAAAAAAAAAAAAAAAAAAAAA", "AAA"});
  c->SetMultiLine(true);
  EXPECT_EQ(RowsOf(c), (std::vector<Integer>{0, 1, 2}));
  EXPECT_EQ(c->Tabs()->GetVisibleTab(1)->NormalWidth, 200);
  c->SetRaggedRight(true);
  c->SetRotate(true);
  // With Rotate a wide tab keeps its width (rows are measured by the tab height then).
  EXPECT_EQ(c->Tabs()->GetVisibleTab(1)->NormalWidth, 250);
}

TEST_F(TabControlTest, NavigatorButtonsAppearOnceTheRowNoLongerFits) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {kTab60, kTab60, kTab60});
  c->SetOptions(TuiPCOptions().Include(pcoCloseButton).Include(pcoGoDialog));
  EXPECT_EQ(c->NavigatorButtons(), TuiPCNavigatorButtons().Include(nbClose));
  c->SetBounds(10, 10, 150, 150);
  EXPECT_EQ(c->NavigatorButtons(),
            TuiPCNavigatorButtons().Include(nbTopLeft).Include(nbBottomRight).Include(nbGoDialog).Include(nbClose));
  // Without arrows only the go button (and the close button) is left.
  c->SetOptions(TuiPCOptions().Include(pcoNoArrows).Include(pcoGoDialog));
  EXPECT_EQ(c->NavigatorButtons(), TuiPCNavigatorButtons().Include(nbGoDialog));
  c->SetOptions(TuiPCOptions().Include(pcoNoArrows));
  EXPECT_EQ(c->NavigatorButtons(), TuiPCNavigatorButtons().Include(nbTopLeft).Include(nbBottomRight));
}

TEST_F(TabControlTest, WideningAfterScrollingToTheEndBringsTabsBack) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {kTab60, kTab60, kTab60, kTab60, kTab60});
  // Arrows take 32 pixels: 168 left, two whole tabs and a part of the third.
  EXPECT_EQ(c->FirstVisibleTab(), 0);
  EXPECT_EQ(c->LastVisibleTab(), 2);
  EXPECT_FALSE(c->IsLastTabFullyVisible());
  for (int i = 0; i < 10; ++i) c->ScrollTabs(nbBottomRight);
  EXPECT_EQ(c->FirstVisibleTab(), 3);
  EXPECT_EQ(c->LastVisibleTab(), 4);
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsNormal);
  c->SetBounds(10, 10, 260, 150);  // 228 along the row: three tabs fit
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  EXPECT_EQ(c->LastVisibleTab(), 4);
  c->SetBounds(10, 10, 300, 150);  // everything fits: no arrows at all
  EXPECT_EQ(c->FirstVisibleTab(), 0);
  EXPECT_EQ(c->NavigatorButtons(), TuiPCNavigatorButtons());
}

TEST_F(TabControlTest, BottomRowsAndScrollOpposite) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {kTab60, kTab60, kTab60, kTab60, kTab60});
  c->SetMultiLine(true);
  c->SetTabPosition(tpBottom);
  // The active row lies next to the client area, both rows at the bottom.
  EXPECT_EQ(FullRect(c, 0).top, 110);
  EXPECT_EQ(FullRect(c, 3).top, 130);
  c->SetTabIndex(3);
  EXPECT_EQ(FullRect(c, 3).top, 110);
  EXPECT_EQ(FullRect(c, 0).top, 130);
  TRect client;
  c->AdjustClientRect(client);
  EXPECT_EQ(client, (TRect{0, 0, 200, 110}));
  // ScrollOpposite: the rows after the active one go to the top edge.
  c->SetScrollOpposite(true);
  EXPECT_EQ(c->SplitRow(), 1);
  EXPECT_EQ(FullRect(c, 0).top, 0);
  EXPECT_EQ(FullRect(c, 3).top, 130);
  c->AdjustClientRect(client);
  EXPECT_EQ(client, (TRect{0, 20, 200, 130}));
}

TEST_F(TabControlTest, RaggedRightStopsStretchingAndWithRotateBalancing) {
  struct Case {
    bool ragged, rotate;
    std::vector<Integer> rows;
    bool stretched;
  };
  // Tabs 60, 60, 30, 60 in 150: greedy rows 0 0 0 1 (free 0 and 90); balancing moves the third tab down.
  const Case cases[] = {
      {false, false, {0, 0, 1, 1}, true},
      {true, false, {0, 0, 1, 1}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "ragged " << k.ragged);
    TuiCustomTabControl* c = NewTabControl(150, 300, {kTab60, kTab60, "AAA", kTab60});
    c->SetRaggedRight(k.ragged);
    c->SetMultiLine(true);
    EXPECT_EQ(RowsOf(c), k.rows);
    EXPECT_EQ(WidthsOf(c)[0] != 60, k.stretched);
    FreeObject(c);
  }
  // Rotate measures tabs by the row height (20): with RaggedRight the greedy rows stay as they are.
  TuiCustomTabControl* c = NewTabControl(50, 300, {kTab60, kTab60, kTab60, kTab60, kTab60});
  c->SetMultiLine(true);
  c->SetRotate(true);
  EXPECT_EQ(RowsOf(c), (std::vector<Integer>{0, 0, 1, 1, 2}));
  EXPECT_EQ(c->RowThickness(), 60);
  c->SetRaggedRight(true);
  EXPECT_EQ(RowsOf(c), (std::vector<Integer>{0, 0, 1, 1, 2}));
  EXPECT_EQ(WidthsOf(c)[0], 60);
}

TEST_F(TabControlTest, GeneratedLayoutsPutEveryVisibleTabInOneRowInsideTheTabsRectangle) {
  std::mt19937 random(58);
  TuiCustomTabControl* c = NewTabControl(300, 400, {});
  for (int round = 0; round < 60; ++round) {
    c->Tabs()->Clear();
    const int count = 1 + static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) c->Tabs()->Add(String(1 + random() % 12, 'A'));
    if (count > 2) c->Tabs()->GetTab(static_cast<Integer>(random() % count))->SetVisible(false);
    TFakeTabPainter::Distance = static_cast<Integer>(random() % 4);
    const auto position = static_cast<TuiTabPosition>(random() % 4);
    c->SetTabPosition(position);
    c->SetRaggedRight(random() % 2 == 0);
    c->SetMultiLine(true);
    // The rows run along 60 to 300 pixels; there is room for every row across.
    const Integer along = 60 + static_cast<Integer>(random() % 240);
    if (position == tpTop || position == tpBottom)
      c->SetBounds(10, 10, along, 400);
    else
      c->SetBounds(10, 10, 400, along);
    c->LayoutChanged();
    SCOPED_TRACE(testing::Message() << "round " << round);
    const TRect tabsRect = c->TabsRegion().TabsRect;
    std::vector<int> perRow(static_cast<size_t>(c->RowCount()));
    for (Integer i = 0; i < c->Tabs()->VisibleCount(); ++i) {
      TuiTab* tab = c->Tabs()->GetVisibleTab(i);
      ASSERT_GE(tab->DisplayRow, 0);
      ASSERT_LT(tab->DisplayRow, c->RowCount());
      ++perRow[static_cast<size_t>(tab->DisplayRow)];
      const TRect r = FullRect(c, i);
      EXPECT_GE(r.left, tabsRect.left);
      EXPECT_GE(r.top, tabsRect.top);
      EXPECT_LE(r.right, tabsRect.right);
      EXPECT_LE(r.bottom, tabsRect.bottom);
    }
    for (int n : perRow) EXPECT_GT(n, 0);
    // Rows are consecutive runs of visible indexes.
    const auto bounds = c->GetLineIndexBounds();
    Integer covered = 0;
    for (const auto& b : bounds) covered += b.last - b.first + 1;
    EXPECT_EQ(covered, c->Tabs()->VisibleCount());
  }
}

TEST_F(TabControlTest, LeftTabsRunBottomToTopAndSwapTheArrows) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {kTab60, kTab60, kTab60, kTab60});
  c->SetTabPosition(tpLeft);
  EXPECT_TRUE(c->IsReversedRow());
  // The first tab lies at the far end of the row (above the 32 pixels of arrows at the bottom).
  EXPECT_EQ(FullRect(c, 0), (TRect{0, 58, 20, 118}));
  const Integer first = c->FirstVisibleTab();
  c->ScrollTabs(nbTopLeft);  // forward on a reversed row
  EXPECT_EQ(c->FirstVisibleTab(), first + 1);
}

TEST_F(TabControlTest, HitTestsFollowTheShownTabs) {
  TuiCustomTabControl* c = NewTabControl(200, 150, {kTab60, kTab60, kTab60, kTab60, kTab60});
  EXPECT_EQ(c->GetTabAt(5, 5), 0);
  EXPECT_EQ(c->GetTabAt(125, 5), 2);
  EXPECT_EQ(c->GetTabAt(5, 25), -1);
  c->ScrollTabs(nbBottomRight);
  EXPECT_EQ(c->GetTabAt(5, 5), 1);
  // The arrows are not tabs.
  EXPECT_EQ(c->GetTabAt(180, 5), -1);
}

TEST_F(TabControlTest, TurnedTabsStandSideBySideAcrossTheRowThickness) {
  // With Rotate a tab is the row height (20) long along its row and the widest caption (60) thick across.
  for (TuiTabPosition side : {tpTop, tpLeft}) {
    SCOPED_TRACE(side);
    TuiCustomTabControl* c = NewTabControl(300, 200, {kTab60, "AA", "AAA"});
    c->SetTabPosition(side);
    c->SetRotate(true);
    ASSERT_EQ(c->RowThickness(), 60);
    const bool vertical = side == tpLeft;
    for (Integer i = 0; i < 3; ++i) {
      const TRect r = FullRect(c, i);
      EXPECT_EQ(vertical ? r.bottom - r.top : r.right - r.left, kFakeRowHeight) << i;
      EXPECT_EQ(vertical ? r.right - r.left : r.bottom - r.top, 60) << i;
      if (i > 0) {
        const TRect previous = FullRect(c, i - 1);
        TRect overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &r, &previous)) << i;
      }
    }
    FreeObject(c);
  }
}
