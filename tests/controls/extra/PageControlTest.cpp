// The page control and its tab sheets by messages: the order of the events of a page change, ActivePage
// set in code, PageIndex moves and errors, hidden, removed and disabled pages, a vetoing OnPageChanging,
// focus that cannot leave the page, Focusable, OnShow errors, and a form resource read and written back.
#include <gtest/gtest.h>

#include "controls/extra/uiPageControl.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Filer.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Format.h"
#include "tests/controls/extra/TabControlTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace extra_test;

namespace {

class PageControlTest : public TabControlTest {
 protected:
  // A page control of the Tabs style with pages captioned as given, the first one active.
  TuiPageControl* NewPageControl(std::vector<String> ACaptions) {
    auto* pc = NewObject<TuiPageControl>(Form);
    pc->SetBounds(10, 10, 300, 200);
    pc->SetParent(Form);
    for (const String& caption : ACaptions) {
      auto* page = NewObject<TuiTabSheet>(Form);
      page->SetCaption(caption);
      page->SetPageControl(pc);
      page->SetOnShow([this, page](TObject*) { events.push_back("show " + page->Caption()); });
      page->SetOnHide([this, page](TObject*) { events.push_back("hide " + page->Caption()); });
    }
    pc->SetOnChanging([this](TObject*, bool& Allow) {
      events.push_back("changing");
      Allow = allowTab;
    });
    pc->SetOnPageChanging([this](TObject*, TuiTabSheet* NewPage, bool& Allow) {
      events.push_back("page changing " + (NewPage != nullptr ? NewPage->Caption() : String("none")));
      Allow = allowPage;
    });
    pc->SetOnChange([this, pc](TObject*) {
      events.push_back("change " + (pc->ActivePage() != nullptr ? pc->ActivePage()->Caption() : String("none")));
    });
    Pump();
    events.clear();
    return pc;
  }
  // The centre of the tab of a page.
  POINT TabPoint(TuiPageControl* APc, Integer ATabIndex) {
    TRect r;
    APc->Tabs()->GetTab(ATabIndex)->GetFullRect(r);
    return At(APc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  std::vector<std::string> events;
  bool allowTab = true, allowPage = true;
};

}  // namespace

TEST_F(PageControlTest, ClickingATabSwitchesThePageBetweenTheEvents) {
  TuiPageControl* pc = NewPageControl({"One", "Two", "Three"});
  ASSERT_EQ(pc->ActivePage(), pc->Pages(0));
  Display.Click(TabPoint(pc, 1));
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "page changing Two", "show Two", "hide One", "change Two"}));
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_TRUE(pc->Pages(1)->Visible());
  EXPECT_FALSE(pc->Pages(0)->Visible());

  // Set in code: no OnChanging, the tab follows silently.
  events.clear();
  pc->SetActivePage(pc->Pages(2));
  EXPECT_EQ(events, (std::vector<std::string>{"page changing Three", "show Three", "hide Two", "change Three"}));
  EXPECT_EQ(pc->TabIndex(), 2);
}

TEST_F(PageControlTest, AVetoKeepsTabAndPage) {
  TuiPageControl* pc = NewPageControl({"One", "Two"});
  allowPage = false;
  Display.Click(TabPoint(pc, 1));
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "page changing Two"}));
  EXPECT_EQ(pc->TabIndex(), 0);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
  pc->SetActivePage(pc->Pages(1));
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
  EXPECT_EQ(pc->TabIndex(), 0);
}

TEST_F(PageControlTest, PageIndexMovesThePageWithItsTabAndActivatesIt) {
  TuiPageControl* pc = NewPageControl({"One", "Two", "Three"});
  TuiTabSheet* three = pc->Pages(2);
  three->SetPageIndex(0);
  EXPECT_EQ(pc->Pages(0), three);
  EXPECT_EQ(pc->Tabs()->Get(0), "Three");
  EXPECT_EQ(pc->Tabs()->Get(1), "One");
  EXPECT_EQ(pc->ActivePage(), three);
  EXPECT_EQ(pc->TabIndex(), 0);
  for (Integer bad : {3, -1}) {
    try {
      three->SetPageIndex(bad);
      FAIL() << bad;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), Format("%d is an invalid PageIndex value.  PageIndex must be between 0 and 2", {bad}));
    }
  }
  EXPECT_EQ(three->PageIndex(), 0);
  auto* loose = NewObject<TuiTabSheet>(Form);
  EXPECT_EQ(loose->PageIndex(), -1);
}

TEST_F(PageControlTest, HiddenRemovedAndDisabledPages) {
  TuiPageControl* pc = NewPageControl({"One", "Two", "Three"});
  // Hiding the active page's tab leaves no current tab but keeps the page.
  pc->Pages(0)->SetTabVisible(false);
  EXPECT_EQ(pc->TabIndex(), -1);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
  EXPECT_TRUE(pc->Pages(0)->Visible());
  EXPECT_FALSE(pc->Tabs()->GetTab(0)->Visible());
  // A hidden or disabled page is skipped when looking for the next one.
  pc->Pages(1)->SetEnabled(false);
  EXPECT_FALSE(pc->Tabs()->GetTab(1)->Enabled());
  EXPECT_EQ(pc->FindNextPage(pc->Pages(0), true, true), pc->Pages(2));
  EXPECT_EQ(pc->FindNextPage(pc->Pages(2), true, true), pc->Pages(2));
  EXPECT_EQ(pc->FindNextPage(pc->Pages(2), true, false), pc->Pages(0));
  // Removing the active page activates the next page with a visible tab.
  pc->Pages(1)->SetEnabled(true);
  FreeObject(pc->Pages(0));
  ASSERT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->Tabs()->Count(), 2);
  EXPECT_EQ(pc->ActivePage()->Caption(), "Two");
  EXPECT_EQ(pc->TabIndex(), 0);
  // The last page going leaves none.
  FreeObject(pc->Pages(1));
  FreeObject(pc->Pages(0));
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(pc->TabIndex(), -1);
}

TEST_F(PageControlTest, FocusThatCannotLeaveThePageRestoresTheTab) {
  TuiPageControl* pc = NewPageControl({"One", "Two"});
  auto* edit = NewObject<TEdit>(Form);
  edit->SetParent(pc->Pages(0));
  // The edit keeps the focus: leaving it puts the focus back.
  edit->SetOnExit([edit](TObject*) { GetParentForm(edit)->SetActiveControl(edit); });
  edit->SetFocus();
  Pump();
  ASSERT_EQ(Form->ActiveControl(), edit);
  pc->SetTabIndex(1);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
  EXPECT_EQ(pc->TabIndex(), 0);
  // Once it lets go, the focus moves to the new page's first control.
  edit->SetOnExit(TNotifyEvent());
  auto* second = NewObject<TEdit>(Form);
  second->SetParent(pc->Pages(1));
  pc->SetTabIndex(1);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
  EXPECT_EQ(Form->ActiveControl(), second) << Form->ActiveControl()->ClassName();
}

TEST_F(PageControlTest, APageControlThatIsNotFocusableNeverTakesTheFocus) {
  TuiPageControl* pc = NewPageControl({"One", "Two"});
  auto* edit = NewObject<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetBounds(10, 250, 100, 20);
  pc->SetFocusable(false);
  edit->SetFocus();
  Pump();
  Display.Key(VK_TAB);
  Pump();
  EXPECT_EQ(Form->ActiveControl(), edit);
  Display.Click(TabPoint(pc, 1));
  Pump();
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
  EXPECT_FALSE(pc->Focused());
  pc->SetFocusable(true);
  Wait(1000);  // not a double click
  Display.Click(TabPoint(pc, 1));
  Pump();
  EXPECT_TRUE(pc->Focused());
}

TEST_F(PageControlTest, AnOnShowErrorGoesToTheApplicationHandler) {
  TuiPageControl* pc = NewPageControl({"One", "Two"});
  std::vector<String> handled;
  Application->SetOnException([&](TObject*, Exception* E) { handled.push_back(E->Message()); });
  pc->Pages(1)->SetOnShow([](TObject*) { throw Exception("show failed"); });
  pc->SetActivePage(pc->Pages(1));
  Application->SetOnException(TExceptionEvent());
  EXPECT_EQ(handled, std::vector<String>{"show failed"});
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
}

TEST_F(PageControlTest, AFormResourceWithThreeSheetsLoadsAndWritesBackUnchanged) {
  const String text =
      "object Form: TForm\n"
      "  object Pages: TuiPageControl\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 320\n"
      "    Height = 200\n"
      "    ActivePage = Second\n"
      "    TabOrder = 0\n"
      "    ClientRectBottom = 200\n"
      "    ClientRectLeft = 2\n"
      "    ClientRectRight = 318\n"
      "    ClientRectTop = 24\n"
      "    object First: TuiTabSheet\n"
      "      Caption = 'First'\n"
      "    end\n"
      "    object Second: TuiTabSheet\n"
      "      Caption = 'Second'\n"
      "      ImageIndex = 1\n"
      "    end\n"
      "    object Third: TuiTabSheet\n"
      "      Caption = 'Third'\n"
      "      TabVisible = False\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* form = NewObject<TForm>(nullptr, 0);
  ReadComponentFromText(text, form, "text");
  auto* pc = static_cast<TuiPageControl*>(form->FindComponent("Pages"));
  ASSERT_NE(pc, nullptr);
  ASSERT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->ActivePage()->Name(), "Second");
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_FALSE(pc->Tabs()->GetTab(2)->Visible());
  EXPECT_EQ(pc->Tabs()->Get(0), "First");
  const String written = WriteComponentToText(form);
  EXPECT_NE(written.find("    object Third: TuiTabSheet\n      Caption = 'Third'\n      TabVisible = False\n    end\n"),
            String::npos)
      << written;
  EXPECT_NE(written.find("ActivePage = Second"), String::npos) << written;
  EXPECT_NE(written.find("ClientRectTop = "), String::npos) << written;
  // Read again, it writes the same text.
  auto* again = NewObject<TForm>(nullptr, 0);
  ReadComponentFromText(written, again, "written");
  EXPECT_EQ(WriteComponentToText(again), written);
  FreeObject(again);
  FreeObject(form);
}

TEST_F(PageControlTest, AThemedPageDrawsThePaneInItsBorder) {
  k58test::RecordingThemeProvider provider{"Tab", "Spin", "Window"};
  k58test::ScopedThemeProvider scope{provider};
  TuiPageControl* pc = NewPageControl({"One", "Two"});
  pc->LookAndFeel()->SetNativeStyle(true);
  ASSERT_TRUE(pc->Painter()->IsNativePainting());
  TuiTabSheet* page = pc->ActivePage();
  TRect frame;
  auto paneCalls = [&] {
    std::vector<RECT> rects;
    for (const k58test::ThemeCall& call : provider.CallsOf("Background", "Tab"))
      if (call.Part == 9 && call.State == 0) rects.push_back(call.Rect);
    return rects;
  };

  // Realigning the pages repaints the active page's border with the pane, placed in the page's window
  // coordinates.
  page->SetBorderWidth(4);
  provider.ClearCalls();
  pc->SetBounds(10, 10, 320, 200);
  pc->Painter()->CalculateFrameRect(frame);
  std::vector<RECT> drawn = paneCalls();
  ASSERT_FALSE(drawn.empty());
  RECT expected{frame.left - 2 - page->Left(), frame.top - 2 - page->Top(), frame.right + 2 - page->Left(),
                frame.bottom + 2 - page->Top()};
  EXPECT_EQ(drawn.front().left, expected.left);
  EXPECT_EQ(drawn.front().top, expected.top);
  EXPECT_EQ(drawn.front().right, expected.right);
  EXPECT_EQ(drawn.front().bottom, expected.bottom);

  // The background of the client area lines up with it: its origin lies inside the border.
  provider.ClearCalls();
  HDC dc = GetDC(page->Handle());
  SendMessage(page->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(page->Handle(), dc);
  drawn = paneCalls();
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].left, expected.left - 4);
  EXPECT_EQ(drawn[0].top, expected.top - 4);

  // A colour change repaints the border at once.
  provider.ClearCalls();
  page->SetColor(clYellow);
  EXPECT_FALSE(paneCalls().empty());

  // Without a border, or classic, the page's frame is not the painter's business.
  page->SetBorderWidth(0);
  provider.ClearCalls();
  SendMessage(page->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_TRUE(paneCalls().empty());
  page->SetBorderWidth(4);
  pc->LookAndFeel()->SetNativeStyle(false);
  provider.ClearCalls();
  SendMessage(page->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_TRUE(paneCalls().empty());
}

TEST_F(PageControlTest, AMovedPageIsRepainted) {
  TuiPageControl* pc = NewPageControl({"One"});
  TuiTabSheet* page = pc->ActivePage();
  Pump();
  RECT update;
  ASSERT_FALSE(GetUpdateRect(page->Handle(), &update, FALSE));
  pc->SetBounds(20, 20, 300, 200);
  EXPECT_TRUE(GetUpdateRect(page->Handle(), &update, FALSE));
}

TEST_F(PageControlTest, ShowControlActivatesThePagesThatHoldTheControl) {
  TuiPageControl* outer = NewPageControl({"Outer one", "Outer two"});
  auto* inner = NewObject<TuiPageControl>(Form);
  inner->SetParent(outer->Pages(1));
  for (const char* caption : {"Inner one", "Inner two"}) {
    auto* page = NewObject<TuiTabSheet>(Form);
    page->SetCaption(caption);
    page->SetPageControl(inner);
  }
  auto* edit = NewObject<TEdit>(Form);
  edit->SetParent(inner->Pages(1));
  ASSERT_EQ(outer->ActivePage(), outer->Pages(0));
  ASSERT_EQ(inner->ActivePage(), inner->Pages(0));
  events.clear();

  inner->ShowControl(edit);
  EXPECT_EQ(inner->ActivePage(), inner->Pages(1));
  EXPECT_EQ(outer->ActivePage(), outer->Pages(1));
  EXPECT_EQ(outer->TabIndex(), 1);
  // The outer switch goes through the usual events.
  EXPECT_EQ(events, (std::vector<std::string>{"page changing Outer two", "show Outer two", "hide Outer one",
                                              "change Outer two"}));
  // A control that is not on any of its pages changes nothing.
  auto* stranger = NewObject<TEdit>(Form);
  stranger->SetParent(Form);
  inner->ShowControl(stranger);
  EXPECT_EQ(inner->ActivePage(), inner->Pages(1));
}

TEST_F(PageControlTest, InTheDesignerOnlyPagesStayOnThePageControl) {
  for (bool designing : {false, true}) {
    SCOPED_TRACE(designing);
    TuiPageControl* pc = NewPageControl({"One"});
    pc->SetDesigning(designing);
    auto* edit = NewObject<TEdit>(Form);
    edit->SetBounds(5, 6, 50, 20);
    edit->SetParent(pc);
    auto* page = NewObject<TuiTabSheet>(Form);
    page->SetParent(pc);
    EXPECT_EQ(page->Parent(), pc);
    EXPECT_EQ(pc->PageCount(), 2);
    if (designing) {
      // Dropped where it was, but on the page control's parent.
      EXPECT_EQ(edit->Parent(), Form);
      EXPECT_EQ(edit->Left(), pc->Left() + 5);
      EXPECT_EQ(edit->Top(), pc->Top() + 6);
      EXPECT_EQ(edit->Width(), 50);
    } else {
      EXPECT_EQ(edit->Parent(), pc);
    }
    pc->SetDesigning(false);
  }
}

// ---- Docking ----

namespace {

class PageControlDockingTest : public PageControlTest {
 protected:
  // A page control that is a dock site with one page of its own, and a shown form to dock into it.
  TuiPageControl* NewDockSite() {
    TuiPageControl* pc = NewPageControl({"Own"});
    pc->SetDockSite(true);
    return pc;
  }
  TForm* NewDockForm(const String& ACaption, bool AVisible = true) {
    auto* form = NewObject<TForm>(nullptr, 0);
    forms.push_back(form);
    form->SetCaption(ACaption);
    form->SetDragKind(dkDock);
    form->SetBounds(400, 300, 200, 150);
    if (AVisible) form->Show();
    Pump();
    return form;
  }
  ~PageControlDockingTest() override {
    for (TForm* form : forms) FreeObject(form);
  }
  std::vector<TForm*> forms;
};

}  // namespace

TEST_F(PageControlDockingTest, ADockedFormGetsAPageThatFollowsItsCaptionAndVisibility) {
  TuiPageControl* pc = NewDockSite();
  TForm* form = NewDockForm("Channels");
  ASSERT_TRUE(form->ManualDock(pc));
  ASSERT_EQ(pc->PageCount(), 2);
  TuiTabSheet* page = pc->Pages(1);
  EXPECT_EQ(pc->DockPageOf(form), page);
  EXPECT_EQ(form->Parent(), page);
  EXPECT_EQ(form->HostDockSite(), pc);
  EXPECT_EQ(page->Caption(), "Channels");
  EXPECT_TRUE(page->TabVisible());
  EXPECT_EQ(pc->ActivePage(), page);
  EXPECT_EQ(form->Align(), alClient);
  // The caption up to its first line break, and the visibility, follow the form.
  form->SetCaption("Tones\r\nand more");
  EXPECT_EQ(page->Caption(), "Tones");
  form->SetCaption("Keys\nsecond line");
  EXPECT_EQ(page->Caption(), "Keys");
  form->Hide();
  EXPECT_FALSE(page->TabVisible());
  form->Show();
  EXPECT_TRUE(page->TabVisible());
  // A hidden form gets a hidden tab and leaves the active page alone.
  TForm* hidden = NewDockForm("Hidden", false);
  ASSERT_TRUE(hidden->ManualDock(pc));
  EXPECT_FALSE(pc->DockPageOf(hidden)->TabVisible());
  EXPECT_EQ(pc->ActivePage(), page);
}

TEST_F(PageControlDockingTest, UndockingFreesThePageAndActivatesTheNext) {
  TuiPageControl* pc = NewDockSite();
  TForm* first = NewDockForm("First");
  TForm* second = NewDockForm("Second");
  first->ManualDock(pc);
  second->ManualDock(pc);
  pc->SetActivePage(pc->DockPageOf(first));
  ASSERT_EQ(pc->PageCount(), 3);
  ASSERT_TRUE(first->ManualDock(nullptr));
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(first->Parent(), nullptr);
  EXPECT_EQ(first->HostDockSite(), nullptr);
  EXPECT_EQ(first->Align(), alNone);
  EXPECT_EQ(pc->ActivePage(), pc->DockPageOf(second));
  EXPECT_EQ(pc->Tabs()->Count(), 2);
}

TEST_F(PageControlDockingTest, ARefusingOnUnDockKeepsTheControlAndItsPage) {
  TuiPageControl* pc = NewDockSite();
  TForm* form = NewDockForm("Kept");
  form->ManualDock(pc);
  std::vector<TControl*> asked;
  pc->SetOnUnDock([&](TObject*, TControl* Client, TWinControl*, bool& Allow) {
    asked.push_back(Client);
    Allow = false;
  });
  EXPECT_FALSE(form->ManualDock(nullptr));
  EXPECT_EQ(asked, std::vector<TControl*>{form});
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(form->Parent(), pc->DockPageOf(form));
  EXPECT_EQ(form->Align(), alClient);
}

TEST_F(PageControlDockingTest, AControlDockedTwiceKeepsOnePageMovedToTheEnd) {
  TuiPageControl* pc = NewDockSite();
  TForm* form = NewDockForm("Twice");
  TDragDockObject drop(form);
  pc->DockClient(&drop);
  TuiTabSheet* page = pc->DockPageOf(form);
  ASSERT_NE(page, nullptr);
  NewDockForm("Other")->ManualDock(pc);
  ASSERT_EQ(page->PageIndex(), 1);
  // Dropped again: no second page, its page moves behind the others.
  pc->DockClient(&drop);
  EXPECT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->DockPageOf(form), page);
  EXPECT_EQ(page->PageIndex(), 2);
  // Nor does the site offer itself to a control it holds already.
  TRect influence{};
  bool canDock = true;
  pc->GetSiteInfo(form, influence, TPoint{}, canDock);
  EXPECT_FALSE(canDock);
  pc->GetSiteInfo(NewDockForm("New"), influence, TPoint{}, canDock);
  EXPECT_TRUE(canDock);
}

TEST_F(PageControlDockingTest, APressOnTheTabDragsTheDockedFormAndADoubleClickFloatsIt) {
  TuiPageControl* pc = NewDockSite();
  TForm* form = NewDockForm("Floating");
  form->ManualDock(pc);
  Pump();
  // A press on its tab starts dragging the form, to dock it elsewhere.
  Display.Press(TabPoint(pc, 1));
  Pump();
  EXPECT_TRUE(form->Dragging());
  Display.Release(TabPoint(pc, 1));
  Pump();
  EXPECT_FALSE(form->Dragging());
  EXPECT_EQ(form->HostDockSite(), pc);
  // The page control's own page holds no docked control: nothing floats.
  Display.DoubleClick(TabPoint(pc, 0));
  Pump();
  EXPECT_EQ(pc->PageCount(), 2);
  Display.DoubleClick(TabPoint(pc, 1));
  Pump();
  EXPECT_EQ(form->HostDockSite(), nullptr);
  EXPECT_EQ(pc->PageCount(), 1);
}

TEST_F(PageControlDockingTest, FreeingTheSiteFreesTheDockedFormsWithTheirPages) {
  TuiPageControl* pc = NewDockSite();
  TForm* form = NewDockForm("Docked");
  form->ManualDock(pc);
  form->ManualDock(nullptr);
  form->ManualDock(pc);
  bool destroyed = false;
  form->SetOnDestroy([&](TObject*) { destroyed = true; });
  forms.clear();  // the site's pages take it with them
  FreeObject(pc);
  EXPECT_TRUE(destroyed);
}
