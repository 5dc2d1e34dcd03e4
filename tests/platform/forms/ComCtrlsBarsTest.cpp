// Tool bars (button placement, clicks, check groups, menu items, custom drawing and the states it sees),
// status bars (panels in the window, owner-drawn panels, simple mode) and progress bars.
#include "StdCtlTesting.h"

#include <map>

#include "platform/forms/ComCtrls.h"
#include "platform/classes/ClassErrors.h"
#include "platform/forms/Menus.h"

namespace forms_test {
namespace {

class ToolBarTest : public FormTest {
 protected:
  TToolButton* AddButton(TToolBar* Bar, TToolButtonStyle Style = tbsButton, const char* Caption = "") {
    auto* b = new TToolButton(GetParentForm(Bar));
    b->SetStyle(Style);
    b->SetCaption(Caption);
    b->SetParent(Bar);
    return b;
  }
};

TEST_F(ToolBarTest, ButtonsAreLaidOutInOrderAndWrapWhereTheBarEnds) {
  TForm* form = NewForm(200, 200);
  auto* bar = Make<TToolBar>(form, 0, 0, 200, 60);
  bar->SetAlign(alNone);
  bar->SetEdgeBorders(TEdgeBorders{});
  bar->SetButtonWidth(40);
  bar->SetButtonHeight(20);
  auto* a = AddButton(bar);
  auto* sep = AddButton(bar, tbsSeparator);
  auto* b = AddButton(bar, tbsDropDown);
  auto* c = AddButton(bar);
  auto* d = AddButton(bar);
  struct Case {
    TToolButton* Button;
    TRect Bounds;
  } cases[] = {
      {a, {0, 0, 40, 20}},
      {sep, {40, 0, 48, 20}},                                    // separators 8 wide
      {b, {48, 0, 48 + 40 + TToolButton::DropDownWidth, 20}},  // plus the arrow part
      {c, {102, 0, 142, 20}},
      {d, {142, 0, 182, 20}},
  };
  for (const Case& k : cases) {
    TRect r = k.Button->BoundsRect();
    EXPECT_EQ(r.left, k.Bounds.left) << k.Button->Index();
    EXPECT_EQ(r.top, k.Bounds.top) << k.Button->Index();
    EXPECT_EQ(r.right, k.Bounds.right) << k.Button->Index();
  }
  EXPECT_EQ(bar->RowCount(), 1);
  // Narrower: D goes to a second row; Wrap breaks after a button.
  bar->SetBounds(0, 0, 160, bar->Height());
  EXPECT_EQ(d->Left(), 0);
  EXPECT_EQ(d->Top(), 20);
  a->SetWrap(true);
  EXPECT_EQ(sep->Top(), 20);
  EXPECT_EQ(sep->Left(), 0);
  EXPECT_EQ(d->Top(), 20);  // the second row has room for it now
  EXPECT_EQ(bar->RowCount(), 2);
  // A button leaving the bar leaves no gap.
  a->SetWrap(false);
  FreeObject(sep);
  EXPECT_EQ(b->Left(), 40);
  EXPECT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(c->Index(), 2);
}

TEST_F(ToolBarTest, ClicksCheckButtonsGroupsAndMenuItems) {
  TForm* form = NewForm(300, 100);
  auto* bar = Make<TToolBar>(form, 0, 0);
  auto* plain = AddButton(bar);
  auto* check = AddButton(bar, tbsCheck);
  auto* g1 = AddButton(bar, tbsCheck);
  auto* g2 = AddButton(bar, tbsCheck);
  auto* viaMenu = AddButton(bar);
  auto* off = AddButton(bar);
  g1->SetGrouped(true);
  g2->SetGrouped(true);
  off->SetEnabled(false);
  Recorder r;
  plain->SetOnClick(r.Note("plain"));
  check->SetOnClick(r.Note("check"));
  off->SetOnClick(r.Note("off"));
  auto* item = new TMenuItem(form);
  item->SetOnClick(r.Note("item"));
  viaMenu->SetMenuItem(item);
  ShowForm(form);

  Click(plain);
  Click(check);
  EXPECT_TRUE(check->Down());
  Click(check);
  EXPECT_FALSE(check->Down());
  Click(viaMenu);
  Click(off);
  EXPECT_EQ(r.Joined(), "plain,check,check,item");
  // Pressed on the button, released beside it: no click.
  D->Press(At(plain));
  D->Release(At(plain, 100, 60));
  Pump();
  EXPECT_EQ(r.Count("plain"), 1);
  // One grouped button down at a time, and a click does not put the last one up.
  Click(g1);
  Click(g2);
  EXPECT_FALSE(g1->Down());
  EXPECT_TRUE(g2->Down());
  Click(g2);
  EXPECT_TRUE(g2->Down());
  g2->SetAllowAllUp(true);
  Click(g2);
  EXPECT_FALSE(g2->Down());
  g1->SetDown(true);
  g2->SetDown(true);  // in code as well
  EXPECT_FALSE(g1->Down());
}

TEST_F(ToolBarTest, CustomDrawButtonSeesHotPressedCheckedAndDisabledStatesAndMayDrawItself) {
  TForm* form = NewForm(300, 100);
  auto* bar = Make<TToolBar>(form, 0, 0);
  bar->SetFlat(true);
  auto* hot = AddButton(bar);
  auto* checked = AddButton(bar, tbsCheck);
  auto* off = AddButton(bar);
  auto* own = AddButton(bar);
  checked->SetDown(true);
  off->SetEnabled(false);
  std::map<TToolButton*, TCustomDrawState> states;
  int barDraws = 0;
  bar->SetOnCustomDraw(TToolBarCustomDrawEvent([&](TToolBar*, const TRect&, bool&) { ++barDraws; }));
  bar->SetOnCustomDrawButton(TToolBarCustomDrawButtonEvent(
      [&](TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) {
        states[Button] = State;
        if (Button == own) {
          Sender->Canvas()->Brush()->SetColor(clRed);
          Sender->Canvas()->FillRect(Button->BoundsRect());
          DefaultDraw = false;
        }
      }));
  ShowForm(form);
  EXPECT_GT(barDraws, 0);
  EXPECT_TRUE(states[checked].Contains(cdsChecked));
  EXPECT_TRUE(states[off].Contains(cdsDisabled));
  EXPECT_TRUE(states[hot].Empty());
  EXPECT_EQ(Pixel(bar, own->Left() + 5, own->Top() + 5), clRed);
  // Under the mouse: hot; pressed: selected as well; away again: plain.
  D->MoveTo(At(hot));
  Pump();
  EXPECT_TRUE(states[hot].Contains(cdsHot));
  D->Press(At(hot));
  Pump();
  EXPECT_TRUE(states[hot].Contains(cdsSelected));
  D->Release(At(hot));
  D->MoveTo(At(bar, 290, 50));
  Pump();
  EXPECT_FALSE(states[hot].Contains(cdsHot));
  EXPECT_FALSE(states[hot].Contains(cdsSelected));
  // The disabled button never turns hot.
  D->MoveTo(At(off));
  Pump();
  EXPECT_FALSE(states[off].Contains(cdsHot));
}

class StatusAndProgressTest : public FormTest {};

TEST_F(StatusAndProgressTest, StatusPanelsReachTheWindowAndOwnerDrawnOnesAreDrawnByTheHandler) {
  TForm* form = NewForm(400, 200);
  auto* status = Make<TStatusBar>(form, 0, 0);
  TStatusPanel* first = status->Panels()->Add();
  first->SetText("Ready");
  first->SetWidth(100);
  TStatusPanel* right = status->Panels()->Add();
  right->SetWidth(80);
  right->SetAlignment(taRightJustify);
  right->SetText("R");
  TStatusPanel* drawn = status->Panels()->Add();
  drawn->SetStyle(psOwnerDraw);
  int drawCalls = 0;
  status->SetOnDrawPanel(TDrawPanelEvent([&](TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
    EXPECT_EQ(Panel, drawn);
    ++drawCalls;
    Bar->Canvas()->Brush()->SetColor(clBlue);
    Bar->Canvas()->FillRect(Rect);
  }));
  ShowForm(form);
  // Along the bottom of the parent, full width.
  EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
  EXPECT_EQ(status->Width(), form->ClientWidth());
  int edges[4] = {};
  EXPECT_EQ(::SendMessage(status->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 100);
  EXPECT_EQ(edges[1], 180);
  char text[32] = {};
  ::SendMessage(status->Handle(), SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready");
  first->SetText("Busy");
  ::SendMessage(status->Handle(), SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Busy");
  ::SendMessage(status->Handle(), SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "\t\tR");
  EXPECT_GT(drawCalls, 0);
  EXPECT_EQ(Pixel(status, 250, status->Height() / 2), clBlue);
  // Simple mode shows one text; the panels come back after it.
  status->SetSimpleText("Reading the radio");
  status->SetSimplePanel(true);
  EXPECT_EQ(::SendMessage(status->Handle(), SB_ISSIMPLE, 0, 0), TRUE);
  status->SetSimplePanel(false);
  EXPECT_EQ(::SendMessage(status->Handle(), SB_ISSIMPLE, 0, 0), FALSE);
  // Panels removed and made again reach a new window as well.
  status->Panels()->Delete(2);
  status->RecreateWnd();
  EXPECT_EQ(::SendMessage(status->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
}

TEST_F(StatusAndProgressTest, ProgressStaysInRangeAndStepsWrapTheSameWithAndWithoutAWindow) {
  TForm* form = NewForm();
  for (bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "window" : "no window");
    auto* bar = Make<TProgressBar>(form, 10, 10);
    if (windowed) ShowForm(form);
    bar->SetMax(50);
    bar->SetPosition(70);
    EXPECT_EQ(bar->Position(), 50);
    bar->SetPosition(-3);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetStep(20);
    bar->SetPosition(40);
    bar->StepIt();  // 60 is past the end: starts again from the bottom
    EXPECT_EQ(bar->Position(), 10);
    bar->StepBy(15);
    EXPECT_EQ(bar->Position(), 25);
    bar->SetMin(30);  // the position follows the range
    EXPECT_EQ(bar->Position(), 30);
    bar->SetMax(20);
    EXPECT_EQ(bar->Min(), 20);
    EXPECT_EQ(bar->Position(), 20);
    FreeObject(bar);
  }
}

}  // namespace
}  // namespace forms_test

namespace forms_test {
namespace {

class PageControlTest : public FormTest {
 protected:
  TTabSheet* AddPage(TPageControl* Pages, const char* Caption) {
    auto* page = new TTabSheet(GetParentForm(Pages));
    page->SetPageControl(Pages);
    page->SetCaption(Caption);
    return page;
  }
  // Clicks the middle of a tab.
  void ClickTab(TPageControl* Pages, int Tab) {
    RECT r{};
    ::SendMessage(Pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Tab), reinterpret_cast<LPARAM>(&r));
    Click(Pages, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

TEST_F(PageControlTest, TabsShowTheirPagesAskingOnChangingAndHiddenTabsAreSkipped) {
  TForm* form = NewForm();
  auto* pages = Make<TPageControl>(form, 10, 10, 300, 200);
  TTabSheet* general = AddPage(pages, "General");
  TTabSheet* scan = AddPage(pages, "Scan");
  TTabSheet* hidden = AddPage(pages, "Hidden");
  TTabSheet* last = AddPage(pages, "Last");
  hidden->SetTabVisible(false);
  pages->SetActivePage(general);
  bool allow = true;
  Recorder r;
  pages->SetOnChanging(TTabChangingEvent([&](TObject*, bool& Allow) {
    r.Calls.push_back("changing");
    Allow = allow;
  }));
  pages->SetOnChange(r.Note("change"));
  ShowForm(form);
  EXPECT_EQ(pages->PageCount(), 4);
  EXPECT_EQ(::SendMessage(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(hidden->TabIndex(), -1);
  EXPECT_EQ(last->TabIndex(), 2);
  EXPECT_EQ(last->PageIndex(), 3);
  EXPECT_TRUE(general->Visible());
  // The page fills the display area below the tabs.
  EXPECT_GT(general->Top(), 0);
  EXPECT_LT(general->Top() + general->Height(), pages->Height());

  ClickTab(pages, 1);
  EXPECT_EQ(pages->ActivePage(), scan);
  EXPECT_TRUE(scan->Visible());
  EXPECT_FALSE(general->Visible());
  EXPECT_EQ(r.Joined(), "changing,change");
  allow = false;
  ClickTab(pages, 2);
  EXPECT_EQ(pages->ActivePage(), scan);
  EXPECT_EQ(::SendMessage(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
  // In code: no events; the index counts every page, the tab index the visible ones.
  allow = true;
  r.Calls.clear();
  pages->SetActivePageIndex(3);
  EXPECT_EQ(pages->ActivePage(), last);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(r.Calls.size(), 0u);
  // Ctrl+Tab steps to the next visible tab, wrapping.
  pages->SetFocus();
  Pump();
  Chord({VK_CONTROL}, VK_TAB);
  EXPECT_EQ(pages->ActivePage(), general);
  // A page moved or freed leaves the tabs in step.
  last->SetPageIndex(0);
  EXPECT_EQ(pages->Pages(0), last);
  EXPECT_THROW(last->SetPageIndex(4), EListError);
  FreeObject(general);
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), scan);
  EXPECT_EQ(::SendMessage(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
}

}  // namespace
}  // namespace forms_test
