// The library popup: its kinds of window, the modal loop and the close message, and the hooks that
// close shown popups on outside clicks, application deactivation, system keys and closing owner forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/foundation/uiPopupWindow.h"
#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

namespace {

class PopupWindowTest : public ControlTest {
 protected:
  PopupWindowTest() {
    Owner = NewObject<TuiContainer>(Form);
    Owner->SetBounds(20, 20, 150, 24);
    Owner->SetParent(Form);
    Owner->HandleNeeded();
    Other = NewControl(20, 300, 120, 60);
  }
  ~PopupWindowTest() override {
    for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) FreeObject(*it);
  }

  // A popup of 100 x 60 below AOwner (owner rectangle in its parent's coordinates).
  TuiCustomPopupWindow* NewPopup(TWinControl* AOwner, bool ATakeFocus) {
    auto* popup = NewObject<TuiCustomPopupWindow>(AOwner);
    popup->SetTakeFocus(ATakeFocus);
    popup->SetModalLoop(false);
    popup->SetOwnerParent(AOwner->Parent());
    popup->SetOwnerBounds(AOwner->BoundsRect());
    auto* content = NewObject<TTestControl>(popup);
    content->SetBounds(0, 0, 100, 60);
    content->SetParent(popup);
    content->FocusOnClickAt = ATakeFocus;  // the owner keeps the focus while a non-activating popup is used
    popup->SetOnClosed([this, popup](TObject*) { Log.push_back("closed " + std::to_string(Index(popup))); });
    popups_.push_back(popup);
    return popup;
  }
  Integer Index(TuiCustomPopupWindow* APopup) {
    for (size_t i = 0; i < popups_.size(); ++i)
      if (popups_[i] == APopup) return static_cast<Integer>(i);
    return -1;
  }
  void FreePopup(TuiCustomPopupWindow* APopup) {
    popups_.erase(std::find(popups_.begin(), popups_.end(), APopup));
    FreeObject(APopup);
  }
  static TTestControl* Content(TuiCustomPopupWindow* APopup) { return static_cast<TTestControl*>(APopup->Controls(0)); }

  TuiContainer* Owner = nullptr;
  TTestControl* Other = nullptr;
  std::vector<std::string> Log;

 private:
  std::vector<TuiCustomPopupWindow*> popups_;
};

}  // namespace

TEST_F(PopupWindowTest, NonActivatingPopupIsAParentlessToolWindowThatLeavesTheFocus) {
  Owner->SetFocus();
  Pump();
  auto* popup = NewPopup(Owner, false);
  EXPECT_EQ(0, popup->PopupForControl(Owner));
  Pump();
  ASSERT_TRUE(popup->IsShown());
  const HWND wnd = popup->Handle();
  EXPECT_EQ(nullptr, GetParent(wnd));
  EXPECT_TRUE(GetWindowLongPtr(wnd, GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(GetWindowLongPtr(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(Form->Handle(), GetActiveWindow());
  EXPECT_TRUE(Owner->IsFocused());
  const TPoint below = Owner->ClientToScreen(TPoint{0, Owner->Height()});
  EXPECT_EQ(below.x, popup->Left());
  EXPECT_EQ(below.y, popup->Top());
  EXPECT_EQ(1, popup->PopupForControl(Owner)) << "already shown: its place in the list";
}

TEST_F(PopupWindowTest, OutsideClickClosesThePopupAndStillArrives) {
  auto* popup = NewPopup(Owner, false);
  popup->PopupForControl(Owner);
  Pump();
  Display.Click(At(Other, 10, 10));
  Pump();
  EXPECT_FALSE(popup->IsShown());
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  EXPECT_EQ(1u, Other->PressedPoints.size()) << "the click reaches the control clicked";
  EXPECT_FALSE(popup->ClosedByOwnerClick());
  EXPECT_EQ((std::vector<std::string>{"closed 0"}), Log);
}

TEST_F(PopupWindowTest, ClickOnTheOwnerRectangleClosesAndSetsTheFlag) {
  auto* popup = NewPopup(Owner, false);
  popup->PopupForControl(Owner);
  Pump();
  bool ownerClicked = false;
  Owner->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ownerClicked = true; });
  Display.Click(At(Owner, 140, 10));
  Pump();
  EXPECT_FALSE(popup->IsShown());
  EXPECT_TRUE(popup->ClosedByOwnerClick());
  EXPECT_TRUE(ownerClicked) << "the click is passed on to the owner";
}

TEST_F(PopupWindowTest, ClickInsideANestedPopupKeepsTheOuterOne) {
  auto* outer = NewPopup(Owner, false);
  outer->PopupForControl(Owner);
  Pump();
  auto* inner = NewPopup(Content(outer), false);
  inner->SetOwnerParent(outer);
  inner->PopupForControl(Content(outer));
  Pump();
  ASSERT_TRUE(inner->IsShown());
  Display.Click(At(Content(inner), 10, 10));
  Pump();
  EXPECT_TRUE(outer->IsShown());
  EXPECT_TRUE(inner->IsShown());
  EXPECT_EQ(1u, Content(inner)->PressedPoints.size());
  // A click on the owner's form closes both.
  Display.Click(At(Other, 10, 10));
  Pump();
  EXPECT_FALSE(outer->IsShown());
  EXPECT_FALSE(inner->IsShown());
}

TEST_F(PopupWindowTest, SwitchingToAnotherApplicationClosesNonActivatingPopups) {
  auto* popup = NewPopup(Owner, false);
  popup->PopupForControl(Owner);
  Pump();
  k58::winui::ActivateWindow(nullptr, false);
  Pump();
  EXPECT_FALSE(popup->IsShown());
  k58::winui::ActivateWindow(Form->Handle(), false);
  Pump();
  EXPECT_FALSE(popup->IsShown()) << "coming back does not reopen it";
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
}

TEST_F(PopupWindowTest, SystemKeysAreSwallowedExceptNavigationKeys) {
  std::vector<Word> keys;
  Owner->SetOnKeyDown([&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); });
  Owner->SetFocus();
  Pump();
  auto* popup = NewPopup(Owner, false);
  popup->PopupForControl(Owner);
  Pump();
  Display.Chord({VK_MENU}, 'F');
  Display.Chord({VK_MENU}, VK_DOWN);
  Display.Key(VK_F4);
  Pump();
  EXPECT_EQ((std::vector<Word>{VK_DOWN, VK_F4}), keys);
  EXPECT_TRUE(popup->IsShown());

  popup->ClosePopup();
  keys.clear();
  Display.Chord({VK_MENU}, 'F');
  Pump();
  EXPECT_NE(keys.end(), std::find(keys.begin(), keys.end(), Word{'F'})) << "without a popup Alt+F arrives";
}

TEST_F(PopupWindowTest, ClosingTheOwnerFormClosesItsPopupFirst) {
  auto* ownerForm = NewObject<TForm>(nullptr, 0);
  ownerForm->SetBounds(700, 100, 300, 200);
  auto* editor = NewObject<TuiContainer>(ownerForm);
  editor->SetBounds(10, 10, 120, 24);
  editor->SetParent(ownerForm);
  ownerForm->Show();
  Pump();
  auto* popup = NewPopup(editor, false);
  popup->PopupForControl(editor);
  Pump();
  bool shownAtClose = true;
  ownerForm->SetOnClose([&](TObject*, TCloseAction&) { shownAtClose = popup->IsShown(); });
  SendMessage(ownerForm->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(shownAtClose);
  EXPECT_FALSE(ownerForm->Visible());
  FreePopup(popup);
  FreeObject(ownerForm);
}

TEST_F(PopupWindowTest, ClosingAFocusTakingPopupsWindowClosesItsOwnerForm) {
  auto* ownerForm = NewObject<TForm>(nullptr, 0);
  ownerForm->SetBounds(700, 100, 300, 200);
  auto* editor = NewObject<TuiContainer>(ownerForm);
  editor->SetBounds(10, 10, 120, 24);
  editor->SetParent(ownerForm);
  ownerForm->Show();
  Pump();
  auto* popup = NewPopup(editor, true);
  popup->PopupForControl(nullptr);
  Pump();
  ASSERT_EQ(popup->Handle(), GetActiveWindow());
  EXPECT_EQ(ownerForm->Handle(), GetWindow(popup->Handle(), GW_OWNER));
  EXPECT_TRUE(k58::winui::Data(ownerForm->Handle())->NcActive) << "the owner's caption stays active";
  EXPECT_TRUE(popup->IsPopupFocused());
  SendMessage(popup->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(popup->IsShown());
  EXPECT_FALSE(ownerForm->Visible());
  FreePopup(popup);
  FreeObject(ownerForm);
}

TEST_F(PopupWindowTest, ModalLoopRunsUntilTheModalResultIsSet) {
  auto* popup = NewPopup(Owner, true);
  popup->SetModalLoop(true);
  bool focusedInside = false;
  Display.Later([&] {
    focusedInside = popup->IsPopupFocused() && popup->FocusedControl() == Content(popup);
    popup->SetModalResult(mrOk);
  });
  Content(popup)->SetTabStop(true);
  popup->PopupForControl(nullptr);
  EXPECT_TRUE(focusedInside) << "the first tab stop inside took the focus";
  EXPECT_FALSE(popup->IsShown());
  EXPECT_EQ((std::vector<std::string>{"closed 0"}), Log);
}

TEST_F(PopupWindowTest, CloseMessageClosesAndGivesTheOwnerTheFocus) {
  auto* popup = NewPopup(Owner, false);
  bool byMessage = false;
  popup->SetOnClosing([&](TObject*) { byMessage = popup->ClosingByMessage(); });
  popup->PopupForControl(Owner);
  Pump();
  popup->PostCloseMessage();
  Pump();
  EXPECT_FALSE(popup->IsShown());
  EXPECT_TRUE(byMessage);
  EXPECT_FALSE(popup->ClosingByMessage());
  popup->ClosePopup();  // not shown: nothing
  EXPECT_EQ((std::vector<std::string>{"closed 0"}), Log);
}

TEST_F(PopupWindowTest, HidingTheOwnerClosesItsPopupAndThoseOpenedFromIt) {
  auto* outer = NewPopup(Owner, false);
  outer->PopupForControl(Owner);
  Pump();
  auto* inner = NewPopup(Content(outer), false);
  inner->SetOwnerParent(outer);
  inner->PopupForControl(Content(outer));
  Pump();
  Owner->Hide();
  Pump();
  EXPECT_FALSE(outer->IsShown());
  EXPECT_FALSE(inner->IsShown());
  EXPECT_EQ((std::vector<std::string>{"closed 1", "closed 0"}), Log) << "the last opened closes first";

  // Opening for an owner out of sight opens and closes at once.
  Log.clear();
  bool showed = false;
  outer->SetOnShowed([&](TObject*) { showed = true; });
  outer->PopupForControl(Owner);
  EXPECT_FALSE(outer->IsShown());
  EXPECT_FALSE(showed);
  EXPECT_EQ((std::vector<std::string>{"closed 0"}), Log);
}

namespace {

class TLimitedPopup : public TuiCustomPopupWindow {
 public:
  using TuiCustomPopupWindow::TuiCustomPopupWindow;
  bool LimitsToWorkArea() override { return true; }
};

}  // namespace

TEST_F(PopupWindowTest, PopupLimitedToTheWorkAreaShrinksIntoIt) {
  auto* popup = NewObject<TLimitedPopup>(Owner);
  const TRect area = k58::foundation::WorkAreaNear(TPoint{0, 0});
  struct Case {
    const char* Name;
    TPoint Asked, Origin;
    Integer Width, Height;
  };
  const Case cases[] = {
      {"inside", {100, 100}, {100, 100}, 200, 100},
      {"past the left and top", {area.left - 50, area.top - 30}, {area.left, area.top}, 150, 70},
      {"past the right and bottom", {area.right - 80, area.bottom - 40}, {area.right - 80, area.bottom - 40}, 80, 40},
  };
  for (const Case& c : cases) {
    popup->SetBounds(0, 0, 200, 100);
    TPoint p = c.Asked;
    popup->AdjustBoundsToWorkArea(p);
    EXPECT_EQ(c.Origin, p) << c.Name;
    EXPECT_EQ(c.Width, popup->Width()) << c.Name;
    EXPECT_EQ(c.Height, popup->Height()) << c.Name;
  }
  FreeObject(popup);
}
