// Windows destroyed by their own handlers in the middle of the layer's sequences (a click, a focus
// move, activation, painting, a capture change, a modal loop): the sequence stops cleanly and no
// state of the layer keeps the dead window.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using LifetimeTest = WinUiTest;

// After a window died mid-sequence, nothing of the layer may still name it.
void ExpectForgotten(HWND Dead) {
  EXPECT_FALSE(IsWindow(Dead));
  EXPECT_NE(GetFocus(), Dead);
  EXPECT_NE(GetActiveWindow(), Dead);
  EXPECT_NE(GetCapture(), Dead);
}

TEST_F(LifetimeTest, AWindowDestroyedByAnyStepOfAClickEndsTheClickCleanly) {
  const UINT kSteps[] = {WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_SETCURSOR,
                         WM_LBUTTONDOWN,   WM_LBUTTONUP};
  for (UINT Step : kSteps) {
    SCOPED_TRACE(k58test::MessageName(Step));
    HWND Other = Make(WS_POPUP | WS_VISIBLE, 400, 0, 100, 100);
    HWND Top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, 0, SpyDblClass);
    HWND Child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, Top);
    SetActiveWindow(Other);
    D->Pump();
    Handle(Child, [Step](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
      if (M == WM_LBUTTONDOWN) {
        SetCapture(H);
        SetFocus(H);
      }
      if (M == Step) DestroyWindow(H);
      return false;
    });
    if (Step == WM_NCACTIVATE || Step == WM_ACTIVATE)
      Handle(Top, [Step, Child](HWND, UINT M, WPARAM W, LPARAM, LRESULT&) {
        if (M == Step && LOWORD(W) != 0) DestroyWindow(Child);
        return false;
      });
    D->Click(Pt(50, 50));
    D->DoubleClick(Pt(50, 50));
    D->Pump();
    ExpectForgotten(Child);
    if (IsWindow(Top)) DestroyWindow(Top);
    DestroyWindow(Other);
    D->Pump();
  }
}

TEST_F(LifetimeTest, FocusMovesSurviveTheWindowsDyingOnTheWay) {
  HWND Top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND A = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Top);
  HWND B = Make(WS_CHILD | WS_VISIBLE, 60, 0, 50, 50, Top);
  SetFocus(A);
  // The window losing the focus destroys the one about to get it.
  Handle(A, [B](HWND, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_KILLFOCUS) DestroyWindow(B);
    return false;
  });
  SetFocus(B);
  ExpectForgotten(B);
  EXPECT_EQ(Log().Count(WM_SETFOCUS, B), 0);
  // The window getting the focus destroys itself.
  HWND C = Make(WS_CHILD | WS_VISIBLE, 120, 0, 50, 50, Top);
  Handle(C, [](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_SETFOCUS) DestroyWindow(H);
    return false;
  });
  SetFocus(C);
  ExpectForgotten(C);
  D->Key('X');
  D->Pump();
}

TEST_F(LifetimeTest, AWindowDestroyedWhilePaintingLeavesNoDcBehind) {
  HWND Top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND Child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, Top);
  D->Pump();
  HDC Seen = nullptr;
  Handle(Child, [&Seen](HWND H, UINT M, WPARAM, LPARAM, LRESULT& R) {
    if (M != WM_PAINT) return false;
    PAINTSTRUCT Ps;
    Seen = BeginPaint(H, &Ps);
    DestroyWindow(H);
    EndPaint(H, &Ps);
    R = 0;
    return true;
  });
  InvalidateRect(Child, nullptr, TRUE);
  D->Pump();
  ExpectForgotten(Child);
  ASSERT_NE(Seen, nullptr);
  EXPECT_EQ(WindowFromDC(Seen), nullptr);
  // The parent repaints where the child was.
  EXPECT_EQ(D->WindowPixel(Top, Pt(20, 20)), kWhite);
}

TEST_F(LifetimeTest, ACaptureHolderDestroyedWhenItLosesTheCapture) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  Handle(A, [](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_CAPTURECHANGED) DestroyWindow(H);
    return false;
  });
  SetCapture(A);
  EXPECT_EQ(SetCapture(B), A);
  ExpectForgotten(A);
  EXPECT_EQ(GetCapture(), B);
  D->Click(Pt(50, 50));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, B), 1);
}

TEST_F(LifetimeTest, AWindowClosedWhileTheMouseHoldsItsFrameEndsTheLoop) {
  // Where the press starts a loop holding the capture: the caption (move), the frame corner (size),
  // the close button, the thumb of the vertical scroll bar.
  enum Where { Caption, Corner, CloseButton, Thumb };
  for (Where At : {Caption, Corner, CloseButton, Thumb}) {
    SCOPED_TRACE(static_cast<int>(At));
    HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 100, 100, 300, 200);
    D->Pump();
    POINT From = Pt(200, 110);
    if (At == Corner) From = Pt(398, 298);
    if (At == CloseButton) From = Pt(385, 112);
    if (At == Thumb) {
      SCROLLBARINFO Info;
      ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Info));
      From = Pt(Info.rcScrollBar.left + 4, Info.rcScrollBar.top + Info.xyThumbTop + 2);
    }
    D->Press(From);
    D->MoveTo(Pt(From.x + 5, From.y + 5));
    D->Later([W] { DestroyWindow(W); });
    D->MoveTo(Pt(From.x + 10, From.y + 10));
    D->Release(Pt(From.x + 10, From.y + 10));
    D->Pump();
    ExpectForgotten(W);
    // Input goes on as usual.
    HWND Next = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    D->Advance(1000);
    D->Click(Pt(20, 20));
    D->Pump();
    EXPECT_EQ(Log().Count(WM_LBUTTONUP, Next), 1);
    DestroyWindow(Next);
  }
}

TEST_F(LifetimeTest, NestedModalLoopsGiveEachOwnerBackInTurn) {
  HWND Owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 400, 400);
  HWND First = Make(WS_POPUP, 50, 50, 200, 200, Owner);
  HWND Second = Make(WS_POPUP, 100, 100, 50, 50, First);
  bool FirstEnabledInside = true, OwnerEnabledInside = true;
  int DepthInside = 0;
  Handle(First, [&](HWND, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_LBUTTONUP) {
      k58::winui::RunModalLoop(Second, First, [&] {
        FirstEnabledInside = IsWindowEnabled(First);
        OwnerEnabledInside = IsWindowEnabled(Owner);
        DepthInside = k58::winui::ModalDepth();
        return !IsWindowVisible(Second);
      });
    }
    return false;
  });
  // Clicking the second dialog hides it (ends the inner loop); closing the first ends the outer.
  Handle(Second, [](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_LBUTTONUP) ShowWindow(H, SW_HIDE);
    return false;
  });
  D->Click(Pt(60, 60));    // opens the second dialog
  D->Click(Pt(120, 120));  // hides it
  D->Later([First] {
    EXPECT_EQ(GetActiveWindow(), First);
    EXPECT_TRUE(IsWindowEnabled(First));
    DestroyWindow(First);
  });
  EXPECT_TRUE(k58::winui::RunModalLoop(First, Owner, nullptr));
  EXPECT_FALSE(FirstEnabledInside);
  EXPECT_FALSE(OwnerEnabledInside);
  EXPECT_EQ(DepthInside, 2);
  EXPECT_EQ(k58::winui::ModalDepth(), 0);
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_EQ(GetActiveWindow(), Owner);
}

TEST_F(LifetimeTest, AModalWindowDestroyedWhileTheLoopWaitsEndsTheLoop) {
  HWND Owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Dialog = Make(WS_POPUP, 600, 600, 100, 100, Owner);
  D->Pump();
  D->Later([Dialog] { DestroyWindow(Dialog); });
  EXPECT_TRUE(k58::winui::RunModalLoop(Dialog, Owner, nullptr));
  ExpectForgotten(Dialog);
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_EQ(GetActiveWindow(), Owner);
}

TEST_F(LifetimeTest, AnOwnerDestroyedWhileItsPopupMenuIsOpenEndsTheMenu) {
  HWND Owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  D->Pump();
  HMENU Pop = CreatePopupMenu();
  AppendMenu(Pop, MF_STRING, 7, "&Seven");
  D->Later([Owner] { DestroyWindow(Owner); });
  EXPECT_EQ(TrackPopupMenu(Pop, TPM_RETURNCMD, 300, 300, 0, Owner, nullptr), 0);
  ExpectForgotten(Owner);
  DestroyMenu(Pop);
}

}  // namespace
}  // namespace winui_test
