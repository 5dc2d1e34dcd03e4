// Navigator button sets from the options, margins turned to the tabs' side, and the go dialog's list.
#include <gtest/gtest.h>

#include "FakeTabHost.h"
#include "controls/extra/uiPCGeometry.h"

namespace extra_test {

TEST(TabGeometry, NavigatorButtonsFromOptions) {
  struct Case {
    TuiPCOptions options;
    bool onlyClose;
    TuiPCNavigatorButtons buttons;
  } cases[] = {
      {{}, false, {nbTopLeft, nbBottomRight}},
      {{pcoCloseButton}, true, {nbClose}},
      {{pcoGoDialog}, true, {}},
      {{pcoNoArrows}, false, {nbTopLeft, nbBottomRight}},  // honoured only with the go button
      {{pcoNoArrows, pcoGoDialog, pcoCloseButton}, false, {nbGoDialog, nbClose}},
      {{pcoGoDialog}, false, {nbTopLeft, nbBottomRight, nbGoDialog}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.Bits());
    EXPECT_EQ(GetNavigatorButtons(c.options, c.onlyClose).Bits(), c.buttons.Bits());
  }
  EXPECT_EQ(GetFirstButton({nbGoDialog, nbClose}), nbGoDialog);
  EXPECT_EQ(GetFirstButton({}), -1);
  EXPECT_EQ(CountButtons({nbTopLeft, nbClose}), 2);
}

TEST(TabGeometry, MarginsTurnToTheTabsSide) {
  const TRect m{1, 2, 3, 4};
  struct Case {
    TuiTabPosition position;
    TRect turned;
  } cases[] = {{tpTop, {1, 2, 3, 4}}, {tpBottom, {3, 4, 1, 2}}, {tpLeft, {2, 3, 4, 1}}, {tpRight, {4, 1, 2, 3}}};
  for (const Case& c : cases) {
    const TRect r = RotateMargins(m, c.position);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{c.turned.left, c.turned.top, c.turned.right, c.turned.bottom}))
        << "position " << c.position;
  }
  const TRect d = DeflateRectByRotatedMargins(TRect{0, 0, 100, 50}, m, tpBottom);
  EXPECT_EQ((std::vector<LONG>{d.left, d.top, d.right, d.bottom}), (std::vector<LONG>{3, 4, 99, 48}));
  const TRect n = NormalizeRect(TRect{10, 20, 5, 2});
  EXPECT_EQ((std::vector<LONG>{n.left, n.top, n.right, n.bottom}), (std::vector<LONG>{5, 2, 10, 20}));
}

TEST(TabGeometry, GoDialogListsUsableTabsSortedWithoutAccelerators) {
  FakeTabHost host;
  TuiTabs tabs(&host);
  host.tabs = &tabs;
  for (const char* c : {"&File", "Edit", "Hidden", "A&&B", "Off"}) tabs.Add(c);
  tabs.GetTab(2)->SetVisible(false);
  tabs.GetTab(4)->SetEnabled(false);
  EXPECT_EQ(GoDialogTabIndexes(tabs, false), (std::vector<Integer>{0, 1, 3}));
  EXPECT_EQ(GoDialogTabIndexes(tabs, true), (std::vector<Integer>{3, 1, 0})) << "keys A&B, Edit, File";
}

}  // namespace extra_test
