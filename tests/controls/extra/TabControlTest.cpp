// The tab control driven by messages: the order of the change events and their lock, style and rotation
// rules, navigation keys, accelerators, the navigator buttons' states and repeat, the close button, tabs
// that behave as buttons, hot tracking and the wheel.
#include <gtest/gtest.h>

#include "platform/classes/ClassBuilder.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/TabControlTesting.h"

using namespace extra_test;

K58_IMPLEMENT_CLASS(TFakeTabPainter) {}
K58_IMPLEMENT_CLASS(TFakeNoRotatePainter) {}
K58_IMPLEMENT_CLASS(TFakeButtonPainter) {}

namespace {

std::vector<String> Tabs60(int ACount) { return std::vector<String>(static_cast<size_t>(ACount), kTab60); }

// Records OnChanging and OnChange with the tab index at the time.
struct EventLog {
  std::vector<std::string> events;
  bool allow = true;
  void Attach(TuiCustomTabControl* C) {
    C->SetOnChanging([this, C](TObject*, bool& AllowChange) {
      events.push_back("changing from " + std::to_string(C->TabIndex()));
      AllowChange = allow;
    });
    C->SetOnChange([this, C](TObject*) { events.push_back("change to " + std::to_string(C->TabIndex())); });
  }
};

}  // namespace

TEST_F(TabControlTest, ClickingATabFiresChangingThenOneChange) {
  TuiCustomTabControl* c = NewTabControl(300, 150, Tabs60(4));
  EventLog log;
  log.Attach(c);
  Display.Click(At(c, 130, 10));
  Pump();
  EXPECT_EQ(c->TabIndex(), 2);
  EXPECT_EQ(log.events, (std::vector<std::string>{"changing from 0", "change to 2"}));

  log.events.clear();
  log.allow = false;
  Display.Click(At(c, 70, 10));
  Pump();
  EXPECT_EQ(c->TabIndex(), 2);
  EXPECT_EQ(log.events, (std::vector<std::string>{"changing from 2"}));

  // Locked events: the tab changes silently.
  log.events.clear();
  c->LockChangeEvents(true);
  c->SetTabIndex(1);
  c->LockChangeEvents(false);
  c->LockChangeEvents(false);  // never below zero
  EXPECT_EQ(c->TabIndex(), 1);
  EXPECT_TRUE(log.events.empty());
  log.allow = true;
  c->SetTabIndex(3);
  EXPECT_EQ(log.events, (std::vector<std::string>{"changing from 1", "change to 3"}));
}

TEST_F(TabControlTest, ATabIndexSetWhileLoadingBecomesCurrentInLoadedWithoutEvents) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {});
  EventLog log;
  log.Attach(c);
  c->SetLoading(true);
  for (int i = 0; i < 3; ++i) c->Tabs()->Add(kTab60);
  c->SetTabIndex(2);
  EXPECT_EQ(c->Tabs()->ActiveTab(), -1);  // only stored
  c->Loaded();
  EXPECT_EQ(c->TabIndex(), 2);
  EXPECT_EQ(c->Tabs()->ActiveTab(), 2);
  EXPECT_TRUE(log.events.empty());
  // Out-of-range values are ignored afterwards.
  c->SetTabIndex(3);
  c->SetTabIndex(-2);
  EXPECT_EQ(c->TabIndex(), 2);
}

TEST_F(TabControlTest, StyleAndRotationRules) {
  TuiCustomTabControl* c = NewTabControl(300, 150, Tabs60(2));
  TuiPCCustomPainter* painter = c->Painter();
  for (TuiPCStyleID unknown : {4, 11}) {
    c->SetStyle(unknown);
    EXPECT_EQ(c->Style(), FakeTraits::StyleID);
    EXPECT_EQ(c->Painter(), painter);
  }
  c->SetRotate(true);
  c->SetStyle(FakeNoRotateTraits::StyleID);
  EXPECT_FALSE(c->Rotate());
  EXPECT_EQ(c->Style(), FakeNoRotateTraits::StyleID);
  try {
    c->SetRotate(true);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TuiCustomTabControl.SetRotate: NoRotate style does not support rotation of tabs");
  }
  EXPECT_FALSE(c->Rotate());
  // Style 0 follows the look-and-feel (the default ultra-flat kind takes the UltraFlat painter) while Style
  // stays 0.
  c->SetStyle(uiPCDefaultStyle);
  EXPECT_EQ(c->Style(), uiPCDefaultStyle);
  EXPECT_EQ(c->Painter()->GetStyleName(), "UltraFlat");
}

TEST_F(TabControlTest, SetterRulesClampAndIgnore) {
  TuiCustomTabControl* c = NewTabControl(300, 150, Tabs60(2));
  c->SetImageBorder(3);
  c->SetImageBorder(-1);
  EXPECT_EQ(c->ImageBorder(), 3);
  c->SetMaxRotatedTabWidth(-5);
  EXPECT_EQ(c->MaxRotatedTabWidth(), 0);
  c->SetMaxRotatedTabWidth(4);  // below the painter's smallest tab
  EXPECT_EQ(c->MaxRotatedTabWidth(), 10);
  // MaxRotatedTabWidth limits the row thickness of rotated tabs.
  c->SetRotate(true);
  c->SetMaxRotatedTabWidth(40);
  EXPECT_EQ(c->RowThickness(), 40);
}

TEST_F(TabControlTest, NavigationKeys) {
  struct Case {
    const char* name;
    Integer from;
    std::vector<WORD> modifiers;
    WORD key;
    Integer to;
  };
  // Tab 3 of five is disabled.
  const Case cases[] = {
      {"Right", 0, {}, VK_RIGHT, 1},
      {"Right steps over a disabled tab", 2, {}, VK_RIGHT, 4},
      {"Right on the last does nothing", 4, {}, VK_RIGHT, 4},
      {"Down is Right", 1, {}, VK_DOWN, 2},
      {"Left on the first does nothing", 0, {}, VK_LEFT, 0},
      {"Up is Left", 4, {}, VK_UP, 2},
      {"Home", 2, {}, VK_HOME, 0},
      {"End", 0, {}, VK_END, 4},
      {"Ctrl+Tab wraps to the first", 4, {VK_CONTROL}, VK_TAB, 0},
      {"Ctrl+Tab", 2, {VK_CONTROL}, VK_TAB, 4},
      {"Ctrl+Shift+Tab wraps to the last", 0, {VK_CONTROL, VK_SHIFT}, VK_TAB, 4},
  };
  TuiCustomTabControl* c = NewTabControl(400, 150, Tabs60(5));
  c->Tabs()->GetTab(3)->SetEnabled(false);
  c->SetFocus();
  Pump();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c->SetTabIndex(k.from);
    for (WORD m : k.modifiers) Display.KeyDown(m);
    Display.Key(k.key);
    for (auto m = k.modifiers.rbegin(); m != k.modifiers.rend(); ++m) Display.KeyUp(*m);
    Pump();
    EXPECT_EQ(c->TabIndex(), k.to);
    EXPECT_TRUE(c->Focused());
  }
  // On a reversed row (left tabs running bottom to top) the arrows swap.
  c->SetTabPosition(tpLeft);
  c->SetTabIndex(1);
  Display.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(c->TabIndex(), 0);
  Display.Key(VK_END);
  Pump();
  EXPECT_EQ(c->TabIndex(), 0);
  Display.Key(VK_HOME);
  Pump();
  EXPECT_EQ(c->TabIndex(), 4);
}

TEST_F(TabControlTest, AnAcceleratorMakesItsTabCurrent) {
  TuiCustomTabControl* c = NewTabControl(400, 150, {"&Alpha", "&Beta", "&Gamma"});
  c->Tabs()->GetTab(1)->SetEnabled(false);
  Display.Chord({VK_MENU}, 'G');
  Pump();
  EXPECT_EQ(c->TabIndex(), 2);
  Display.Chord({VK_MENU}, 'B');
  Pump();
  EXPECT_EQ(c->TabIndex(), 2);
}

TEST_F(TabControlTest, NavigatorButtonStates) {
  TuiCustomTabControl* c = NewTabControl(200, 150, Tabs60(5));
  c->SetOptions(TuiPCOptions().Include(pcoGoDialog).Include(pcoCloseButton));
  struct Row {
    Integer first;
    TuiPCNavigatorButtonState topLeft, bottomRight;
  };
  // 200 less four buttons leaves 136 along the row: two tabs.
  const Row rows[] = {{0, nbsDisabled, nbsNormal}, {1, nbsNormal, nbsNormal}, {3, nbsNormal, nbsDisabled}};
  for (const Row& row : rows) {
    while (c->FirstVisibleTab() < row.first) c->ScrollTabs(nbBottomRight);
    SCOPED_TRACE(row.first);
    EXPECT_EQ(c->FirstVisibleTab(), row.first);
    EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), row.topLeft);
    EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), row.bottomRight);
    EXPECT_EQ(c->NavigatorButtonState(nbGoDialog), nbsNormal);
    EXPECT_EQ(c->NavigatorButtonState(nbClose), nbsNormal);
  }
  c->SetTabIndex(-1);
  EXPECT_EQ(c->NavigatorButtonState(nbClose), nbsDisabled);
  EXPECT_EQ(c->NavigatorButtonState(nbGoDialog), nbsNormal);
}

TEST_F(TabControlTest, HoldingAnArrowRepeatsAfter300ThenEvery150Milliseconds) {
  TuiCustomTabControl* c = NewTabControl(200, 150, Tabs60(8));
  const POINT arrow = At(c, FakePainter(c)->ButtonCentre(nbBottomRight));
  Display.Press(arrow);
  Pump();
  EXPECT_EQ(c->FirstVisibleTab(), 1);  // at once
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsPressed);
  Wait(299);
  EXPECT_EQ(c->FirstVisibleTab(), 1);
  Wait(1);
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  Wait(149);
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  Wait(1);
  EXPECT_EQ(c->FirstVisibleTab(), 3);
  // Tabs 6 and 7 are the last that fit: the arrow becomes disabled and the repeat stops.
  for (int tick = 0; tick < 10; ++tick) Wait(150);
  EXPECT_EQ(c->FirstVisibleTab(), 6);
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_FALSE(c->RepeatTimer()->Enabled());
  Display.Release(arrow);
  Pump();
  EXPECT_EQ(c->FirstVisibleTab(), 6);
}

TEST_F(TabControlTest, LeavingAPressedArrowStopsTheRepeat) {
  TuiCustomTabControl* c = NewTabControl(200, 150, Tabs60(8));
  const POINT arrow = At(c, FakePainter(c)->ButtonCentre(nbBottomRight));
  Display.Press(arrow);
  Pump();
  Display.MoveTo(At(c, 10, 100));
  Pump();
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsNormal);
  Wait(1000);
  EXPECT_EQ(c->FirstVisibleTab(), 1);
  Display.Release(At(c, 10, 100));
  Pump();
}

TEST_F(TabControlTest, TheCloseButtonClosesTheActiveTabUnlessRefused) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {"AAA", "BBB", "CCC"});
  c->SetOptions(TuiPCOptions().Include(pcoCloseButton));
  c->SetTabIndex(1);
  bool canClose = false;
  c->SetOnCanClose([&](TObject*, bool& ACanClose) { ACanClose = canClose; });
  const POINT close = At(c, FakePainter(c)->ButtonCentre(nbClose));
  Display.Click(close);
  Pump();
  EXPECT_EQ(c->Tabs()->Count(), 3);
  canClose = true;
  Display.Click(close);
  Pump();
  ASSERT_EQ(c->Tabs()->Count(), 2);
  EXPECT_EQ(c->Tabs()->Get(1), "CCC");
}

TEST_F(TabControlTest, ButtonLikeTabsActivateOnReleaseOverTheSameTab) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {"AAA", "BBB", "CCC"}, FakeButtonTraits::StyleID);
  Display.Press(At(c, 35, 10));
  Pump();
  EXPECT_EQ(c->Tabs()->PressedTab(), 1);
  EXPECT_EQ(c->TabIndex(), 0);
  Display.Release(At(c, 35, 10));
  Pump();
  EXPECT_EQ(c->Tabs()->PressedTab(), -1);
  EXPECT_EQ(c->TabIndex(), 1);
  // Pressed, then left: nothing is activated.
  Display.Press(At(c, 65, 10));
  Pump();
  Display.MoveTo(At(c, 65, 100));
  Display.Release(At(c, 65, 100));
  Pump();
  EXPECT_EQ(c->TabIndex(), 1);
  // Keys only move the keyboard focus; Return makes the focused tab current.
  c->SetFocus();
  Display.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(c->TabIndex(), 1);
  EXPECT_EQ(c->Tabs()->FocusedTab(), 2);
  Display.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(c->TabIndex(), 2);
}

TEST_F(TabControlTest, CtrlClickSelectsSeveralTabsWithAMultiSelectionPainter) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {"AAA", "BBB", "CCC"}, FakeButtonTraits::StyleID);
  c->Tabs()->GetTab(0)->SetSelected(true);
  c->Tabs()->GetTab(2)->SetSelected(true);  // a second selected tab turns multi-selection on
  EXPECT_TRUE(c->MultiSelect());
  Display.KeyDown(VK_CONTROL);
  Display.Click(At(c, 35, 10));
  Display.KeyUp(VK_CONTROL);
  Pump();
  EXPECT_TRUE(c->Tabs()->GetTab(1)->Selected());
  EXPECT_EQ(c->TabIndex(), 0);
}

TEST_F(TabControlTest, HotTrackingFollowsTheMouse) {
  TuiCustomTabControl* c = NewTabControl(200, 150, Tabs60(5));
  c->SetHotTrack(true);
  Display.MoveTo(At(c, 70, 10));
  Pump();
  EXPECT_EQ(c->Tabs()->HotTrackTab(), 1);
  const POINT arrow = At(c, FakePainter(c)->ButtonCentre(nbBottomRight));
  Display.MoveTo(arrow);
  Pump();
  EXPECT_EQ(c->Tabs()->HotTrackTab(), -1);
  EXPECT_EQ(c->HotButtons(), TuiPCNavigatorButtons().Include(nbBottomRight));
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsHot);
  // A disabled arrow does not become hot.
  const POINT back = At(c, FakePainter(c)->ButtonCentre(nbTopLeft));
  Display.MoveTo(back);
  Pump();
  EXPECT_EQ(c->HotButtons(), TuiPCNavigatorButtons());
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsNormal);
  // A disabled tab is not hot.
  c->Tabs()->GetTab(0)->SetEnabled(false);
  Display.MoveTo(At(c, 10, 10));
  Pump();
  EXPECT_EQ(c->Tabs()->HotTrackTab(), -1);
}

TEST_F(TabControlTest, TheWheelScrollsASingleRowOnlyOverTheRow) {
  TuiCustomTabControl* c = NewTabControl(200, 150, Tabs60(5));
  c->SetFocus();
  Pump();
  Display.Wheel(At(c, 50, 100), -1);
  Pump();
  EXPECT_EQ(c->FirstVisibleTab(), 0);
  Display.Wheel(At(c, 50, 10), -1);
  Pump();
  EXPECT_EQ(c->FirstVisibleTab(), 1);
  Display.Wheel(At(c, 50, 10), 1);
  Pump();
  EXPECT_EQ(c->FirstVisibleTab(), 0);
}

TEST_F(TabControlTest, HidingTheCurrentTabOfATabControlKeepsItCurrent) {
  TuiCustomTabControl* c = NewTabControl(300, 150, {"AAA", "BBB", "CCC"});
  c->SetTabIndex(1);
  c->Tabs()->GetTab(1)->SetVisible(false);
  // Only a page control keeps the current tab among the visible ones.
  EXPECT_EQ(c->TabIndex(), 1);
  EXPECT_EQ(c->Tabs()->ActiveTab(), 1);  // where it would stand: before "CCC"
}
