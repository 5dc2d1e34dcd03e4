// Mouse input: routing to the window under the pointer with WM_MOUSEACTIVATE and WM_SETCURSOR,
// double clicks, capture, disabled windows, the mouse hook, the wheel and mouse tracking.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using MouseTest = WinUiTest;

const std::vector<UINT> kButtons = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};

TEST_F(MouseTest, AClickActivatesTheWindowAndArrivesInClientCoordinates) {
  HWND A = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100, 200, 200);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 400, 100, 200, 200);
  D->Pump();
  ASSERT_EQ(GetActiveWindow(), B);
  Log().Clear();
  D->Click(Pt(150, 160));
  D->Pump();
  EXPECT_THAT(Names(A), ElementsAre("WM_SETCURSOR", "WM_MOUSEMOVE", "WM_MOUSEACTIVATE", "WM_WINDOWPOSCHANGING",
                                    "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS",
                                    "WM_SETCURSOR", "WM_LBUTTONDOWN", "WM_SETCURSOR", "WM_MOUSEMOVE",
                                    "WM_SETCURSOR", "WM_LBUTTONUP"));
  EXPECT_EQ(GetActiveWindow(), A);
  Message Down = Log().First(A, WM_LBUTTONDOWN);
  EXPECT_EQ(GET_X_LPARAM(Down.LParam), 150 - 101);
  EXPECT_EQ(GET_Y_LPARAM(Down.LParam), 160 - 101);
  EXPECT_EQ(Down.WParam, MK_LBUTTON);
  EXPECT_EQ(Log().First(A, WM_MOUSEACTIVATE).LParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(Log().First(A, WM_ACTIVATE).WParam, static_cast<WPARAM>(WA_CLICKACTIVE));
  EXPECT_EQ(Log().First(A, WM_LBUTTONUP).WParam, 0u);
  DWORD Pos = GetMessagePos();
  EXPECT_EQ(static_cast<SHORT>(LOWORD(Pos)), 150);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));  // the class cursor from WM_SETCURSOR
}

TEST_F(MouseTest, PressesInChildWindowsNotifyTheirAncestors) {
  HWND Top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
  HWND Mid = Make(WS_CHILD | WS_VISIBLE, 10, 10, 200, 200, Top);
  HWND Leaf = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, Mid);
  HWND Quiet = Make(WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, Mid, WS_EX_NOPARENTNOTIFY);
  D->Pump();
  Log().Clear();
  D->Click(Pt(30, 40));
  D->Click(Pt(120, 120));
  D->Pump();
  EXPECT_THAT(Names(nullptr, {WM_PARENTNOTIFY, WM_LBUTTONDOWN}),
              ElementsAre("WM_PARENTNOTIFY", "WM_PARENTNOTIFY", "WM_LBUTTONDOWN", "WM_LBUTTONDOWN"));
  Message ToMid = Log().First(Mid, WM_PARENTNOTIFY);
  EXPECT_EQ(LOWORD(ToMid.WParam), WM_LBUTTONDOWN);
  EXPECT_EQ(GET_X_LPARAM(ToMid.LParam), 20);
  EXPECT_EQ(GET_Y_LPARAM(Log().First(Top, WM_PARENTNOTIFY).LParam), 40);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Quiet), 1);
  (void)Leaf;
}

TEST_F(MouseTest, MouseActivateAnswersCanRefuseActivationAndEatTheClick) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  HWND Never = Make(WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, nullptr, WS_EX_NOACTIVATE);
  D->Pump();
  LRESULT Answer = MA_NOACTIVATEANDEAT;
  Handle(A, [&Answer](HWND, UINT M, WPARAM, LPARAM, LRESULT& R) {
    if (M != WM_MOUSEACTIVATE) return false;
    R = Answer;
    return true;
  });
  Log().Clear();
  D->Click(Pt(50, 50));
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), B);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, A), 0);
  EXPECT_EQ(Log().Count(WM_LBUTTONUP, A), 1);
  Answer = MA_NOACTIVATE;
  D->Click(Pt(50, 50));
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), B);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, A), 1);
  D->Click(Pt(450, 50));
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), B);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Never), 1);
}

TEST_F(MouseTest, DoubleClicksNeedTheClassStyleAndComeSoonAndNearEnough) {
  HWND Dbl = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, 0, SpyDblClass);
  HWND Plain = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  D->Pump();
  struct Case {
    HWND W;
    int Dx;
    DWORD Wait;
    bool Double;
  } Cases[] = {{Dbl, 0, 0, true}, {Dbl, 2, 400, true}, {Dbl, 3, 0, false}, {Dbl, 0, 600, false}, {Plain, 0, 0, false}};
  for (const Case& C : Cases) {
    RECT R;
    GetWindowRect(C.W, &R);
    POINT P{R.left + 50, R.top + 50};
    Log().Clear();
    D->Click(P);
    D->Advance(C.Wait);
    D->Click(Pt(P.x + C.Dx, P.y));
    D->Pump();
    if (C.Double)
      EXPECT_THAT(Names(C.W, kButtons), ElementsAre("WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK", "WM_LBUTTONUP"));
    else
      EXPECT_THAT(Names(C.W, kButtons), ElementsAre("WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDOWN", "WM_LBUTTONUP"));
    D->Advance(1000);
  }
}

TEST_F(MouseTest, TheCaptureWindowGetsEveryMouseMessageUntilReleased) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 300, 100, 100, 100);
  D->Pump();
  Handle(A, [](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_LBUTTONDOWN) SetCapture(H);
    if (M == WM_LBUTTONUP) ReleaseCapture();
    return false;
  });
  Log().Clear();
  D->Drag(Pt(150, 150), Pt(350, 150), 2);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MOUSEMOVE, B), 0);
  EXPECT_THAT(Names(A, {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_CAPTURECHANGED}),
              ElementsAre("WM_MOUSEMOVE", "WM_LBUTTONDOWN", "WM_MOUSEMOVE", "WM_MOUSEMOVE", "WM_LBUTTONUP",
                          "WM_CAPTURECHANGED"));
  Message Up = Log().First(A, WM_LBUTTONUP);
  EXPECT_EQ(GET_X_LPARAM(Up.LParam), 250);  // beyond the client area: coordinates keep going
  EXPECT_EQ(GetCapture(), nullptr);
  // Taking the capture away tells the old window who has it now.
  SetCapture(A);
  Log().Clear();
  SetCapture(B);
  EXPECT_EQ(Log().First(A, WM_CAPTURECHANGED).LParam, reinterpret_cast<LPARAM>(B));
  ReleaseCapture();
}

TEST_F(MouseTest, DisabledWindowsGetNoInputAndDisabledChildrenLetTheParentHaveIt) {
  HWND Owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND Kid = Make(WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 10, 50, 50, Owner);
  HWND Dialog = Make(WS_POPUP | WS_VISIBLE, 300, 0, 100, 100, Owner);
  D->Pump();
  D->Click(Pt(20, 20));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Kid), 0);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Owner), 1);
  EnableWindow(Owner, FALSE);
  SetActiveWindow(Owner);
  Log().Clear();
  D->Click(Pt(100, 100));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Owner), 0);
  EXPECT_EQ(GetActiveWindow(), Dialog);  // a press on the disabled owner brings its popup forward
}

HHOOK TheHook = nullptr;
std::vector<MOUSEHOOKSTRUCT> Hooked;
bool Discard = false;

LRESULT CALLBACK MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && WParam != WM_MOUSEMOVE && WParam != WM_NCMOUSEMOVE) {
    Hooked.push_back(*reinterpret_cast<MOUSEHOOKSTRUCT*>(LParam));
    if (Discard) return 1;
  }
  return CallNextHookEx(TheHook, Code, WParam, LParam);
}

TEST_F(MouseTest, TheMouseHookSeesTargetAndHitCodeAndCanDiscard) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->Pump();
  Hooked.clear();
  Discard = false;
  TheHook = SetWindowsHookEx(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
  D->Click(Pt(200, 110));  // the caption
  D->Click(Pt(200, 200));
  D->Pump();
  ASSERT_EQ(Hooked.size(), 4u);
  EXPECT_EQ(Hooked[0].hwnd, W);
  EXPECT_EQ(Hooked[0].wHitTestCode, static_cast<UINT>(HTCAPTION));
  EXPECT_EQ(Hooked[2].wHitTestCode, static_cast<UINT>(HTCLIENT));
  EXPECT_EQ(Hooked[2].pt.x, 200);
  Discard = true;
  Log().Clear();
  D->Click(Pt(200, 200));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, W), 0);
  UnhookWindowsHookEx(TheHook);
}

TEST_F(MouseTest, TheWheelGoesToTheFocusWindowAndOnUpToItsParents) {
  HWND P = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND Focus = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, P);
  HWND Other = Make(WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, P);
  SetFocus(Focus);
  D->Wheel(Pt(120, 120), -2);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MOUSEWHEEL, Other), 0);
  Message W = Log().First(Focus, WM_MOUSEWHEEL);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(W.WParam), -240);
  EXPECT_EQ(GET_X_LPARAM(W.LParam), 120);  // screen coordinates
  EXPECT_EQ(Log().Count(WM_MOUSEWHEEL, P), 1);    // passed on by DefWindowProc
}

TEST_F(MouseTest, TrackedWindowsHearWhenThePointerLeavesOrRests) {
  HWND A = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 100, 100);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  D->MoveTo(Pt(50, 50));
  D->Pump();
  TRACKMOUSEEVENT T;
  T.dwFlags = TME_LEAVE | TME_HOVER;
  T.hwndTrack = A;
  T.dwHoverTime = 100;
  ASSERT_TRUE(TrackMouseEvent(&T));
  D->Advance(150);
  D->Pump();
  Message H = Log().First(A, WM_MOUSEHOVER);
  EXPECT_EQ(GET_X_LPARAM(H.LParam), 49);
  D->MoveTo(Pt(0, 50));  // the border: out of the client area
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, A), 1);
  T.dwFlags = TME_LEAVE | TME_NONCLIENT;
  TrackMouseEvent(&T);
  D->MoveTo(Pt(250, 50));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_NCMOUSELEAVE, A), 1);
  // Asking while the pointer is elsewhere answers at once.
  T.dwFlags = TME_LEAVE;
  TrackMouseEvent(&T);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, A), 2);
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, B), 0);
}

TEST_F(MouseTest, CursorPositionMovesWithInputAndSetCursorPos) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->Pump();
  SetCursorPos(30, 40);
  D->Pump();
  POINT P;
  GetCursorPos(&P);
  EXPECT_EQ(P.x, 30);
  Message M = Log().First(W, WM_MOUSEMOVE);
  EXPECT_EQ(GET_Y_LPARAM(M.LParam), 40);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
}

}  // namespace
}  // namespace winui_test
