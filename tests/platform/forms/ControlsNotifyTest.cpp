// Notifications a parent window receives about a child control come back to the control as CN_*
// messages with the same parameters and its answer; enabling and showing reach the controls as CM_*
// notifications and change what the mouse and the keyboard can reach.
#include <gtest/gtest.h>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/classes/Streams.h"
#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;
using forms_test::ControlSpy;
using k58test::MatchesSequence;

class NotifyTest : public FormsTest {
 protected:
  NotifyTest() {
    form = forms_test::NewForm();
    form->SetBounds(50, 50, 300, 200);
    child = new TTestEdit(form);
    child->SetParent(form);
    child->SetBounds(10, 10, 100, 30);
    form->Show();
    Pump();
  }
  TForm* form;
  TTestEdit* child;
};

TEST_F(NotifyTest, NotificationsToTheParentAreReflectedToTheChildWithItsAnswer) {
  HWND childWnd = child->Handle();
  NMHDR header{childWnd, 7, 12};
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_BUTTON;
  draw.hwndItem = childWnd;
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = static_cast<UINT>(GetWindowLongPtr(childWnd, GWLP_ID));
  HDC dc = GetDC(childWnd);
  struct Case {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    UINT reflected;
  } cases[] = {
      {WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(childWnd), CN_COMMAND},
      {WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&header), CN_NOTIFY},
      {WM_DRAWITEM, 3, reinterpret_cast<LPARAM>(&draw), CN_DRAWITEM},
      {WM_MEASUREITEM, 3, reinterpret_cast<LPARAM>(&measure), CN_MEASUREITEM},
      {WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(childWnd), CN_CTLCOLOREDIT},
      {WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(childWnd), CN_HSCROLL},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<WPARAM, LPARAM>> seen;
    TWndMethod saved = child->WindowProc();
    child->SetWindowProc(TWndMethod([&](TMessage& Message) {
      if (Message.Msg == c.reflected) {
        seen.emplace_back(Message.WParam, Message.LParam);
        Message.Result = 42;
        return;
      }
      saved(Message);
    }));
    LRESULT result = SendMessage(form->Handle(), c.msg, c.wParam, c.lParam);
    child->SetWindowProc(saved);
    ASSERT_EQ(seen.size(), 1u) << c.msg;
    EXPECT_EQ(seen[0].first, c.wParam) << c.msg;
    EXPECT_EQ(seen[0].second, c.lParam) << c.msg;
    EXPECT_EQ(result, 42) << c.msg;
  }
  // Unhandled, a colour request answers the control's own brush and colours.
  child->SetColor(clYellow);
  child->Font()->SetColor(clRed);
  LRESULT brush = SendMessage(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(childWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), child->Brush()->Handle());
  EXPECT_EQ(GetTextColor(dc), ColorToRGB(clRed));
  EXPECT_EQ(GetBkColor(dc), ColorToRGB(clYellow));
  ReleaseDC(childWnd, dc);
  // Notifications of windows that are no controls are not reflected anywhere.
  HWND plain = CreateWindowEx(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr, HInstance, nullptr);
  ControlSpy spy(child);
  SendMessage(form->Handle(), WM_COMMAND, MAKEWPARAM(4, BN_CLICKED), reinterpret_cast<LPARAM>(plain));
  EXPECT_EQ(spy.Log.Count(CN_COMMAND), 0);
  DestroyWindow(plain);
}

TEST_F(NotifyTest, DisabledAndHiddenControlsTakeNoClicksNoFocusAndAreSkippedByTab) {
  auto* other = new TTestEdit(form);
  other->SetParent(form);
  other->SetBounds(10, 60, 100, 30);
  int clicks = 0;
  child->SetOnClick(TNotifyEvent([&](TObject*) { ++clicks; }));
  Pump();
  child->SetFocus();
  Pump();
  {
    ControlSpy spy(child);
    child->SetEnabled(false);
    EXPECT_TRUE(MatchesSequence(spy.Log, nullptr, {{CM_ENABLEDCHANGED}},
                                {CM_ENABLEDCHANGED, CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  }
  // The focus leaves the control that was disabled.
  Pump();
  EXPECT_FALSE(child->Focused());
  EXPECT_FALSE(IsWindowEnabled(child->Handle()));
  EXPECT_FALSE(child->CanFocus());
  Click(child, 5, 5);
  EXPECT_EQ(clicks, 0);
  other->SetFocus();
  Key(VK_TAB);
  EXPECT_TRUE(other->Focused());
  child->SetEnabled(true);
  Click(child, 5, 5);
  EXPECT_EQ(clicks, 1);

  // Hidden: no longer showing, its window hidden, skipped by Tab.
  {
    ControlSpy spy(child);
    child->SetVisible(false);
    EXPECT_TRUE(MatchesSequence(spy.Log, nullptr, {{CM_VISIBLECHANGED}, {CM_SHOWINGCHANGED}},
                                {CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  }
  EXPECT_FALSE(child->Showing());
  EXPECT_FALSE(IsWindowVisible(child->Handle()));
  other->SetFocus();
  Key(VK_TAB);
  EXPECT_TRUE(other->Focused());
  child->SetVisible(true);
  EXPECT_TRUE(child->Showing());
  EXPECT_TRUE(IsWindowVisible(child->Handle()));
}

}  // namespace

}  // namespace forms_test
