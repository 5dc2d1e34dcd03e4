// The container control: its view state and active style, hot tracking ended by the tracking timer,
// window regions set only on a real change, the inner control's region and the frame-only repaint, Tab
// navigation, and the context-popup lock.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/foundation/uiContainer.h"
#include "tests/controls/foundation/ControlTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;

namespace {

// A container that may host a plain windowed control and may be told it handles Tab itself.
class TTestContainer : public TuiContainer {
 public:
  using TuiContainer::TuiContainer;
  bool TabHandled = false;
  bool HandlesTabKey() override { return TabHandled; }
  using TuiContainer::KeyDown;
  using TuiContainer::DoContextPopup;
  using TuiContainer::AlignControls;
};

class ContainerTest : public ControlTest {
 protected:
  TTestContainer* NewContainer(Integer ALeft = 10, Integer ATop = 10, Integer AWidth = 120, Integer AHeight = 40) {
    auto* container = NewObject<TTestContainer>(Form);
    container->SetBounds(ALeft, ATop, AWidth, AHeight);
    container->SetParent(Form);
    container->HandleNeeded();
    Pump();
    return container;
  }
  // Gives a container an inner window covering its client area.
  TTestControl* HostInner(TTestContainer* AContainer) {
    auto* inner = NewObject<TTestControl>(AContainer);
    inner->SetParent(AContainer);
    inner->HandleNeeded();
    AContainer->SetInnerControl(inner);
    AContainer->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
    Pump();
    return inner;
  }
  // The box of a window's region; an empty rectangle when it has none.
  static RECT RegionBox(HWND AWnd) {
    RECT box{};
    if (GetWindowRgnBox(AWnd, &box) == ERROR) return RECT{};
    return box;
  }
  static bool InRegion(HWND AWnd, Integer X, Integer Y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool inside = GetWindowRgn(AWnd, region) != ERROR && PtInRegion(region, X, Y);
    DeleteObject(region);
    return inside;
  }
};

}  // namespace

TEST_F(ContainerTest, ViewStateAndActiveStyle) {
  struct Case {
    const char* Name;
    bool Enabled, Designing, Focused, MouseInside;
    TuiContainerState State;
    Byte StyleState;
  };
  const Case cases[] = {
      {"normal", true, false, false, false, vsNormal, csNormal},
      {"hot", true, false, false, true, vsNormal | vsHot, csHot},
      {"focused", true, false, true, false, vsFocused, csFocused},
      {"focused and hot", true, false, true, true, vsFocused | vsHot, csFocused},
      {"disabled wins", false, false, true, true, vsDisabled, csDisabled},
      {"design time", true, true, true, true, vsNormal, csNormal},
  };
  for (const Case& c : cases) {
    auto* container = NewContainer();
    if (c.Focused) {
      container->SetFocus();
      Pump();
    }
    container->SetEnabled(c.Enabled);
    if (c.Designing) container->SetDesigning(true);
    container->CalculateViewInfo(c.MouseInside ? TPoint{20, 20} : TPoint{500, 500}, true);
    EXPECT_EQ(c.State, container->ViewInfo()->ContainerState) << c.Name;
    EXPECT_EQ(container->Styles()->GetStyleByState(c.StyleState), container->GetActiveStyle()) << c.Name;
    if (c.Designing) container->SetDesigning(false);
    FreeObject(container);
    Pump();
  }
}

TEST_F(ContainerTest, FocusedSingleBorderDrawsThickAndHotEndsWhenTheCursorLeaves) {
  auto* container = NewContainer();
  container->Style()->SetBorderStyle(cbsSingle);
  container->Style()->SetTransparentBorder(false);
  container->SetFocus();
  Pump();
  EXPECT_EQ(cbsThick, container->ViewInfo()->BorderStyle);
  EXPECT_EQ(2, container->ViewInfo()->BorderWidth);

  auto* other = NewContainer(10, 100);
  Display.MoveTo(At(other, 30, 20));
  Pump();
  EXPECT_TRUE(other->ViewInfo()->ContainerState & vsHot);
  EXPECT_EQ(other->StyleHot(), other->GetActiveStyle());
  Display.MoveTo(At(other, 300, 300));  // outside, without passing through the container's window
  Wait(500);
  EXPECT_EQ(vsNormal, other->ViewInfo()->ContainerState);
  EXPECT_EQ(other->Style(), other->GetActiveStyle());
}

TEST_F(ContainerTest, WindowRegionFollowsTheShadowAndIsSetOnlyOnChange) {
  auto* container = NewContainer(10, 10, 120, 40);
  // The shape: the control less the 2-pixel transparent border, plus the 1-pixel single border.
  EXPECT_EQ((RECT{1, 1, 119, 39}), RegionBox(container->Handle()));
  EXPECT_TRUE(InRegion(container->Handle(), 117, 2));
  container->Style()->SetShadow(true);
  Pump();
  // The shape (1, 1, 116, 36) joined with its copy moved by (3, 3).
  const RECT withShadow = RegionBox(container->Handle());
  EXPECT_EQ((RECT{1, 1, 119, 39}), withShadow);
  EXPECT_FALSE(InRegion(container->Handle(), 117, 2));
  EXPECT_TRUE(InRegion(container->Handle(), 118, 38));
  TRect hot;
  container->GetHotTrackBounds(hot);
  EXPECT_EQ((TRect{1, 1, 116, 36}), hot) << "3 pixels less at the right and bottom";

  // Refreshing an unchanged view sets no region: setting one would repaint the inner control's area too.
  auto* inner = HostInner(container);
  ValidateRect(container->Handle(), nullptr);
  container->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
  container->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(container->Handle(), update, FALSE);
  EXPECT_FALSE(PtInRegion(update, inner->Left() + 5, inner->Top() + 5));
  DeleteObject(update);
  EXPECT_EQ(withShadow, RegionBox(container->Handle()));
  container->Style()->SetShadow(false);
  Pump();
  EXPECT_TRUE(InRegion(container->Handle(), 117, 2));
}

TEST_F(ContainerTest, InnerControlIsClippedAndOnlyTheFrameRepaints) {
  auto* container = NewContainer(10, 10, 120, 40);
  auto* inner = HostInner(container);
  const TRect client = container->ViewInfo()->ClientRect;
  EXPECT_EQ(client, (TRect{inner->Left(), inner->Top(), inner->Left() + inner->Width(), inner->Top() + inner->Height()}));
  EXPECT_TRUE(container->InnerControlRegionInfo().IsWholeControlVisible);

  // A state change repaints the frame only.
  ValidateRect(container->Handle(), nullptr);
  container->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
  RECT update{};
  GetUpdateRect(container->Handle(), &update, FALSE);
  EXPECT_EQ((RECT{0, 0, 120, 40}), update);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(container->Handle(), region, FALSE);
  EXPECT_FALSE(PtInRegion(region, client.left + 5, client.top + 5)) << "the inner control's area stays valid";
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  DeleteObject(region);

  // Larger than the client area: clipped; fitting again: the region goes.
  container->LockAlignControls(true);
  inner->SetBounds(client.left, client.top, client.right - client.left + 30, client.bottom - client.top);
  container->LockAlignControls(false);
  TRect align = client;
  container->AlignControls(inner, align);
  EXPECT_FALSE(container->InnerControlRegionInfo().IsWholeControlVisible);
  EXPECT_EQ((RECT{0, 0, client.right - client.left, client.bottom - client.top}), RegionBox(inner->Handle()));
  container->LockAlignControls(true);
  inner->SetBounds(client.left, client.top, client.right - client.left, client.bottom - client.top);
  container->LockAlignControls(false);
  container->AlignControls(inner, align);
  EXPECT_TRUE(container->InnerControlRegionInfo().IsWholeControlVisible);
  EXPECT_EQ(RECT{}, RegionBox(inner->Handle()));
}

TEST_F(ContainerTest, TabMovesTheFocusUnlessTheContainerHandlesIt) {
  auto* first = NewContainer(10, 10);
  auto* second = NewContainer(10, 60);
  auto* third = NewContainer(10, 110);
  second->SetFocus();
  Pump();
  struct Case {
    TShiftState Shift;
    bool Handled;
    TuiContainer* Expected;
  };
  const Case cases[] = {
      {{}, false, third},
      {{ssShift}, false, first},
      {{ssCtrl}, false, second},  // left to the inner control
      {{}, true, second},
  };
  for (const Case& c : cases) {
    second->SetFocus();
    Pump();
    second->TabHandled = c.Handled;
    Word key = VK_TAB;
    second->KeyDown(key, c.Shift);
    Pump();
    EXPECT_TRUE(c.Expected->IsFocused()) << "shift " << c.Shift.Bits() << " handled " << c.Handled;
    EXPECT_EQ(c.Expected == second ? VK_TAB : 0, key);
  }
}

TEST_F(ContainerTest, ContextPopupLockAnswersHandledWithoutAMenu) {
  auto* container = NewContainer();
  bool fired = false;
  container->SetOnContextPopup([&](TObject*, TPoint, bool&) { fired = true; });
  container->LockContextPopup(true);
  bool handled = false;
  container->DoContextPopup(TPoint{5, 5}, handled);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(fired);
  container->LockContextPopup(false);
  container->LockContextPopup(false);  // never below zero
  EXPECT_EQ(0, container->ContextPopupLockCount());
  handled = false;
  container->DoContextPopup(TPoint{5, 5}, handled);
  EXPECT_TRUE(fired);
}

namespace {

// An inner window with native scroll bars whose ranges the test sets.
class TScrollingInner : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL;
  }
};

// A container that mirrors its inner control's bars.
class TMirroringContainer : public TTestContainer {
 public:
  using TTestContainer::TTestContainer;
  bool HasScrollBars() override { return true; }
};

void SetRange(HWND AWnd, int ABar, int AMax, int APage, int APos) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = AMax;
  info.nPage = static_cast<UINT>(APage);
  info.nPos = APos;
  SetScrollInfo(AWnd, ABar, &info, TRUE);
}

}  // namespace

TEST_F(ContainerTest, MirroredBarsCoverVisibleInnerBarsOnly) {
  auto* container = NewObject<TMirroringContainer>(Form);
  container->SetBounds(10, 10, 200, 120);
  container->SetParent(Form);
  container->HandleNeeded();
  auto* inner = NewObject<TScrollingInner>(container);
  inner->SetParent(container);
  inner->HandleNeeded();
  container->SetInnerControl(inner);
  container->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
  SetRange(inner->Handle(), SB_VERT, 99, 10, 40);
  ShowScrollBar(inner->Handle(), SB_HORZ, FALSE);
  container->PostSyncScrollBarsMessage();
  Pump();

  TuiControlScrollBar* vbar = container->VScrollBar();
  ASSERT_TRUE(vbar->Visible());
  EXPECT_FALSE(container->HScrollBar()->Visible()) << "a hidden inner bar leaves no container bar";
  SCROLLBARINFO info{};
  ASSERT_TRUE(CallGetScrollBarInfo(inner->Handle(), OBJID_VSCROLL, info));
  const TPoint topLeft = container->ScreenToClient(TPoint{info.rcScrollBar.left, info.rcScrollBar.top});
  EXPECT_EQ((TRect{topLeft.x, topLeft.y, topLeft.x + info.rcScrollBar.right - info.rcScrollBar.left,
                   topLeft.y + info.rcScrollBar.bottom - info.rcScrollBar.top}),
            (TRect{vbar->Left(), vbar->Top(), vbar->Left() + vbar->Width(), vbar->Top() + vbar->Height()}));
  EXPECT_EQ(0, vbar->Min());
  EXPECT_EQ(99, vbar->Max());
  EXPECT_EQ(10, vbar->PageSize());
  EXPECT_EQ(40, vbar->Position());

  // Values only: the position follows without the bars being placed again.
  SetRange(inner->Handle(), SB_VERT, 99, 10, 60);
  container->SyncScrollBars(true);
  EXPECT_EQ(60, vbar->Position());

  // An inner control wider than the container: its bar pokes outside, and the container's stays hidden.
  container->LockAlignControls(true);
  inner->SetBounds(inner->Left(), inner->Top(), inner->Width() + 40, inner->Height());
  container->LockAlignControls(false);
  container->SyncScrollBars(false);
  EXPECT_FALSE(vbar->Visible());
}

TEST_F(ContainerTest, DisabledThemedBackgroundIsReadForTheViewState) {
  k58test::RecordingThemeProvider provider({"Edit", "ComboBox"});
  k58test::ScopedThemeProvider scope(provider);
  provider.Colors[{"EDIT", 1, 4, 3802}] = RGB(200, 0, 0);  // the disabled state
  provider.Colors[{"EDIT", 1, 1, 3802}] = RGB(0, 0, 200);  // the normal state, which shares the part's number
  auto* container = NewContainer();
  container->Style()->LookAndFeel()->SetNativeStyle(true);
  container->SetEnabled(false);
  Pump();
  ASSERT_TRUE(container->ViewInfo()->NativeStyle);
  EXPECT_EQ(4, container->ViewInfo()->NativeState);
  EXPECT_EQ(static_cast<TColor>(RGB(200, 0, 0)), container->ViewInfo()->BackgroundColor);
}

TEST_F(ContainerTest, InnerControlTakesTheContainersPlaceInTheTabOrder) {
  auto* before = NewContainer(10, 10);
  auto* container = NewContainer(10, 60);
  auto* after = NewContainer(10, 110);
  auto* inner = HostInner(container);
  inner->SetTabStop(true);
  std::vector<TWinControl*> list;
  Form->GetTabOrderList(list);
  EXPECT_NE(list.end(), std::find(list.begin(), list.end(), container)) << "not active: the container stands";

  container->SetFocus();
  Pump();
  ASSERT_EQ(inner, Form->ActiveControl());
  list.clear();
  Form->GetTabOrderList(list);
  EXPECT_EQ(list.end(), std::find(list.begin(), list.end(), container));
  EXPECT_EQ(1, std::count(list.begin(), list.end(), inner));
  const auto at = [&](TWinControl* c) { return std::find(list.begin(), list.end(), c) - list.begin(); };
  EXPECT_LT(at(before), at(inner));
  EXPECT_LT(at(inner), at(after));
  EXPECT_EQ(after, Form->FindNextControl(inner, true, true, false));
}

TEST_F(ContainerTest, BorderAreaShowsTheArrowCursor) {
  auto* container = NewContainer(10, 10, 120, 40);
  container->Style()->SetTransparentBorder(false);
  container->Style()->SetBorderStyle(cbsThick);
  Pump();
  const TRect client = container->ViewInfo()->ClientRect;
  ASSERT_GT(client.left, 0);
  const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  const WPARAM wnd = reinterpret_cast<WPARAM>(container->Handle());
  Display.MoveTo(At(container, 0, 0));
  EXPECT_EQ(1, SendMessage(container->Handle(), WM_SETCURSOR, wnd, hit));
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), GetCursor());
}

TEST_F(ContainerTest, ScalingAnOwnFontScalesTheNormalStyle) {
  auto* container = NewContainer();
  std::unique_ptr<TFont> font(new TFont);
  font->SetSize(8);
  container->Style()->SetFont(font.get());
  container->ChangeScale(2, 1);
  EXPECT_EQ(16, container->Style()->Font()->Size());
  EXPECT_EQ(16, container->Font()->Size());
  container->ChangeScale(1, 1);
  EXPECT_EQ(16, container->Style()->Font()->Size());
}

TEST_F(ContainerTest, AutomaticDragStartsOnALeftPress) {
  auto* container = NewContainer();
  auto* target = NewContainer(10, 100);
  bool started = false;
  container->SetOnStartDrag([&](TObject*, TDragObject*&) { started = true; });
  container->SetDragMode(dmAutomatic);
  Display.Press(At(container, 20, 20));
  Display.MoveTo(At(target, 20, 20));
  Pump();
  EXPECT_TRUE(started);
  Display.Release(At(target, 20, 20));
  Pump();
}
