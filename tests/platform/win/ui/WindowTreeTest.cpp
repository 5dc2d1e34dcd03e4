// The window tree: creation and placement sequences, geometry of the frames, coordinates, z-order,
// re-parenting, enable state, monitors and broadcasts.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using TreeTest = WinUiTest;

TEST_F(TreeTest, CreatingAVisibleTopLevelWindowSizesShowsAndActivatesIt) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 300, 200);
  ASSERT_TRUE(W);
  EXPECT_THAT(Names(W), ElementsAre("WM_GETMINMAXINFO", "WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE",
                                    "WM_MOVE", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_ACTIVATEAPP",
                                    "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS", "WM_WINDOWPOSCHANGED"));
  EXPECT_EQ(GetActiveWindow(), W);
  EXPECT_EQ(GetFocus(), W);
  Log().Clear();
  D->Pump();
  EXPECT_THAT(Names(W), ElementsAre("WM_PAINT", "WM_NCPAINT", "WM_ERASEBKGND"));
  EXPECT_TRUE(D->Headless().IsMapped(W));
}

TEST_F(TreeTest, CreatingAChildNotifiesTheParentAndNeverActivates) {
  HWND P = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  Log().Clear();
  HWND C = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, P);
  EXPECT_THAT(Names(C), ElementsAre("WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE", "WM_MOVE",
                                    "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"));
  EXPECT_THAT(Names(P), ElementsAre("WM_PARENTNOTIFY"));
  EXPECT_EQ(GetActiveWindow(), P);
}

struct FrameCase {
  DWORD Style;
  DWORD ExStyle;
  RECT Client;  // client rectangle in window coordinates of a 200 x 150 window
};

TEST_F(TreeTest, ClientAreaLiesInsideFramesCaptionsEdgesAndScrollBars) {
  const FrameCase Cases[] = {
      {WS_POPUP, 0, {0, 0, 200, 150}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 199, 149}},
      {WS_POPUP | WS_DLGFRAME, 0, {3, 3, 197, 147}},
      {WS_POPUP | WS_THICKFRAME, 0, {4, 4, 196, 146}},
      {WS_POPUP | WS_CAPTION, 0, {3, 22, 197, 147}},
      {WS_OVERLAPPEDWINDOW, 0, {4, 23, 196, 146}},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {3, 18, 197, 147}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 198, 148}},
      {WS_POPUP, WS_EX_STATICEDGE, {1, 1, 199, 149}},
      {WS_POPUP | WS_BORDER, WS_EX_DLGMODALFRAME, {3, 3, 197, 147}},
      {WS_POPUP | WS_VSCROLL, 0, {0, 0, 184, 150}},
      {WS_POPUP | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, {2, 2, 182, 132}},
  };
  for (const FrameCase& F : Cases) {
    HWND W = Make(F.Style, 100, 100, 200, 150, nullptr, F.ExStyle);
    RECT Wr, Cr;
    GetWindowRect(W, &Wr);
    GetClientRect(W, &Cr);
    POINT O{0, 0};
    ClientToScreen(W, &O);
    RECT Got{O.x - Wr.left, O.y - Wr.top, O.x - Wr.left + Cr.right, O.y - Wr.top + Cr.bottom};
    EXPECT_TRUE(Got.left == F.Client.left && Got.top == F.Client.top && Got.right == F.Client.right &&
                Got.bottom == F.Client.bottom)
        << std::hex << "style " << F.Style << " ex " << F.ExStyle << std::dec << ": " << Got.left << ","
        << Got.top << "," << Got.right << "," << Got.bottom;
    // AdjustWindowRectEx gives back the window for that client area (scroll bars aside).
    if (!(F.Style & (WS_VSCROLL | WS_HSCROLL))) {
      RECT A = F.Client;
      AdjustWindowRectEx(&A, F.Style, FALSE, F.ExStyle);
      EXPECT_TRUE(A.left == 0 && A.top == 0 && A.right == 200 && A.bottom == 150) << std::hex << F.Style;
    }
    DestroyWindow(W);
  }
}

TEST_F(TreeTest, AHugeWindowGetsABoundedSurface) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200000, 300);
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.right, 200000);
  k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
  ASSERT_TRUE(S);
  EXPECT_EQ(S->Width(), 16384);
  D->Pump();
  EXPECT_EQ(D->ScreenPixel(Pt(100, 100)), kWhite);
}

TEST_F(TreeTest, AWindowGetsItsSurfaceWhenShownFollowsItsSizeAndGivesItBackWhenDestroyed) {
  // Created, sized and drawn on while hidden: nothing to draw on yet, and drawing goes nowhere.
  HWND W = Make(WS_POPUP, 0, 0, 100, 80);
  SetWindowPos(W, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HDC Dc = GetDC(W);
  RECT All{0, 0, 300, 200};
  FillRect(Dc, &All, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(W, Dc);
  EXPECT_FALSE(k58::winui::TopLevelSurface(W));

  ShowWindow(W, SW_SHOWNOACTIVATE);
  D->Pump();
  k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
  ASSERT_TRUE(S);
  EXPECT_EQ(S->Width(), 300);
  EXPECT_EQ(S->Height(), 200);
  EXPECT_EQ(D->WindowPixel(W, Pt(150, 100)), kWhite);

  // What was drawn stays where the window keeps its area while it is sized, hidden or not.
  Dc = GetDC(W);
  RECT Spot{10, 10, 20, 20};
  FillRect(Dc, &Spot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(W, Dc);
  ShowWindow(W, SW_HIDE);
  SetWindowPos(W, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  S = k58::winui::TopLevelSurface(W);
  ASSERT_TRUE(S);
  EXPECT_EQ(S->Width(), 120);
  EXPECT_EQ(S->Height(), 90);
  EXPECT_EQ(D->WindowPixel(W, Pt(15, 15)), kBlack);

  std::weak_ptr<k58::gdi::Surface> Gone = S;
  S.reset();
  DestroyWindow(W);
  EXPECT_TRUE(Gone.expired());
}

TEST_F(TreeTest, APreparedSurfaceGoesToTheNextWindowShownWhateverItsSize) {
  MONITORINFO Info;
  Info.cbSize = sizeof(Info);
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &Info));
  const int Frame = GetSystemMetrics(SM_CXFRAME);
  const int FullW = Info.rcWork.right - Info.rcWork.left + 2 * Frame;
  const int FullH = Info.rcWork.bottom - Info.rcWork.top + 2 * GetSystemMetrics(SM_CYFRAME);
  struct Case {
    int W, H;
  };
  // Maximized, much smaller (the memory moves to a smaller block), larger than prepared (not used).
  for (const Case C : {Case{FullW, FullH}, Case{120, 90}, Case{FullW + 50, FullH}}) {
    k58::winui::PrepareFirstSurface();
    HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, C.W, C.H);
    D->Pump();
    k58::gdi::SurfacePtr S = k58::winui::TopLevelSurface(W);
    ASSERT_TRUE(S);
    EXPECT_EQ(S->Width(), C.W);
    EXPECT_EQ(S->Height(), C.H);
    EXPECT_EQ(D->WindowPixel(W, Pt(C.W - 1, C.H - 1)), kWhite) << C.W;
    HDC Dc = GetDC(W);
    RECT Spot{C.W - 10, C.H - 10, C.W, C.H};
    FillRect(Dc, &Spot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(W, Dc);
    EXPECT_EQ(D->WindowPixel(W, Pt(C.W - 1, C.H - 1)), kBlack);
    EXPECT_EQ(D->WindowPixel(W, Pt(0, 0)), kWhite);
    // The next window gets a surface of its own.
    HWND Other = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 40);
    D->Pump();
    k58::gdi::SurfacePtr S2 = k58::winui::TopLevelSurface(Other);
    ASSERT_TRUE(S2);
    EXPECT_NE(S2.get(), S.get());
    EXPECT_EQ(D->WindowPixel(W, Pt(C.W - 1, C.H - 1)), kBlack);
    DestroyWindow(Other);
    DestroyWindow(W);
  }
}

TEST_F(TreeTest, StyleChangesTakeEffectWithAFrameChange) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SetWindowLong(W, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
  RECT C;
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 100);  // not before the frame is recalculated
  Log().Clear();
  SetWindowPos(W, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_THAT(Names(W), ElementsAre("WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE",
                                    "WM_SIZE"));
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 96);
  D->Pump();
  EXPECT_EQ(D->WindowPixel(W, Pt(0, 50)), RGB(128, 128, 128));
}

TEST_F(TreeTest, PointsMapBetweenNestedClientAreasAndTheScreen) {
  HWND Top = Make(WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 200, 400, 300);
  HWND Mid = Make(WS_CHILD | WS_VISIBLE, 10, 20, 200, 200, Top, WS_EX_CLIENTEDGE);
  HWND Leaf = Make(WS_CHILD | WS_VISIBLE, 5, 6, 50, 50, Mid);
  POINT P{1, 2};
  ClientToScreen(Leaf, &P);
  EXPECT_EQ(P.x, 100 + 1 + 10 + 2 + 5 + 1);
  EXPECT_EQ(P.y, 200 + 1 + 20 + 2 + 6 + 2);
  ScreenToClient(Leaf, &P);
  EXPECT_EQ(P.x, 1);
  POINT Q[2] = {{0, 0}, {3, 4}};
  int Offset = MapWindowPoints(Leaf, Top, Q, 2);
  EXPECT_EQ(Q[1].x, 3 + 5 + 2 + 10);
  EXPECT_EQ(Q[1].y, 4 + 6 + 2 + 20);
  EXPECT_EQ(static_cast<SHORT>(LOWORD(Offset)), 17);
  RECT R;
  GetWindowRect(Leaf, &R);
  EXPECT_EQ(R.left, 100 + 1 + 10 + 2 + 5);
  // Children move with their parent.
  SetWindowPos(Top, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(Leaf, &R);
  EXPECT_EQ(R.left, 1 + 10 + 2 + 5);
}

TEST_F(TreeTest, MovingAndSizingSendsPositionMessagesAndClampsToTheTrackingSize) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
  Log().Clear();
  MoveWindow(W, 20, 30, 320, 240, TRUE);
  EXPECT_THAT(Names(W), ElementsAre("WM_WINDOWPOSCHANGING", "WM_GETMINMAXINFO", "WM_NCCALCSIZE",
                                    "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"));
  Message Size = Log().First(W, WM_SIZE);
  EXPECT_EQ(LOWORD(Size.LParam), 320 - 8);
  EXPECT_EQ(HIWORD(Size.LParam), 240 - 27);
  // Below the minimum tracking size a sizable window stops at it.
  MoveWindow(W, 20, 30, 20, 10, TRUE);
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.right - R.left, GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(R.bottom - R.top, GetSystemMetrics(SM_CYMINTRACK));
  // Nothing changed: the window hears of the request but not of a change.
  Log().Clear();
  SetWindowPos(W, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_THAT(Names(W), ElementsAre("WM_WINDOWPOSCHANGING"));
  // A handler of WM_WINDOWPOSCHANGING may change the request.
  Handle(W, [](HWND, UINT M, WPARAM, LPARAM L, LRESULT&) {
    if (M == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(L)->x = 77;
    return false;
  });
  SetWindowPos(W, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, 77);
  EXPECT_EQ(R.top, 60);
}

TEST_F(TreeTest, MaximiseFillsTheWorkAreaAndRestoreReturns) {
  MONITORINFO Mi;
  GetMonitorInfo(MonitorFromPoint(Pt(0, 0), MONITOR_DEFAULTTOPRIMARY), &Mi);
  Mi.rcWork.bottom -= 40;
  SystemParametersInfo(SPI_SETWORKAREA, 0, &Mi.rcWork, 0);
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200);
  Log().Clear();
  ShowWindow(W, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(W));
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, -4);
  EXPECT_EQ(R.top, -4);
  EXPECT_EQ(R.right, 1280 + 4);
  EXPECT_EQ(R.bottom, 1024 - 40 + 4);
  EXPECT_EQ(Log().First(W, WM_SIZE).WParam, SIZE_MAXIMIZED);
  ShowWindow(W, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(W));
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, 50);
  EXPECT_EQ(R.right, 350);
  // Created maximised but hidden: placed, not shown.
  HWND Hidden = Make(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 50, 60, 300, 200);
  EXPECT_TRUE(IsZoomed(Hidden));
  EXPECT_FALSE(IsWindowVisible(Hidden));
  GetWindowRect(Hidden, &R);
  EXPECT_EQ(R.right, 1280 + 4);
  EXPECT_EQ(GetActiveWindow(), W);
  ShowWindow(W, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(W));
  EXPECT_NE(GetActiveWindow(), W);
  WINDOWPLACEMENT P;
  GetWindowPlacement(W, &P);
  EXPECT_EQ(P.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  EXPECT_EQ(P.rcNormalPosition.left, 50);
}

TEST_F(TreeTest, TopMostWindowsStayAboveAndOwnedWindowsAboveTheirOwner) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Tm = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, WS_EX_TOPMOST);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  EXPECT_EQ(GetTopWindow(nullptr), Tm);
  EXPECT_EQ(GetWindow(Tm, GW_HWNDNEXT), B);
  HWND Owned = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, A);
  EXPECT_EQ(GetWindow(Owned, GW_OWNER), A);
  // Raising the owner raises what it owns above it.
  SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(Tm, GW_HWNDNEXT), Owned);
  EXPECT_EQ(GetWindow(Owned, GW_HWNDNEXT), A);
  EXPECT_EQ(GetWindow(A, GW_HWNDNEXT), B);
  SetWindowPos(B, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(GetWindowLong(B, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetTopWindow(nullptr), B);
  SetWindowPos(B, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), Tm);
  EXPECT_EQ(GetWindow(Tm, GW_HWNDNEXT), B);
  SetWindowPos(B, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), Tm);
  EXPECT_FALSE(GetWindow(B, GW_HWNDNEXT));
}

TEST_F(TreeTest, SetParentMovesAWindowBetweenParentsAndTheDesktop) {
  HWND P1 = Make(WS_POPUP | WS_VISIBLE, 100, 100, 300, 300);
  HWND P2 = Make(WS_POPUP | WS_VISIBLE, 500, 100, 300, 300);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, P1);
  EXPECT_EQ(SetParent(C, P2), P1);
  EXPECT_EQ(GetParent(C), P2);
  EXPECT_TRUE(IsChild(P2, C));
  EXPECT_FALSE(IsChild(P1, C));
  RECT R;
  GetWindowRect(C, &R);
  EXPECT_EQ(R.left, 510);
  EXPECT_TRUE(IsWindowVisible(C));
  // A window cannot become a child of its own child.
  HWND G = Make(WS_CHILD, 0, 0, 10, 10, C);
  EXPECT_FALSE(SetParent(C, G));
  EXPECT_EQ(GetParent(C), P2);
  // To the desktop: a top-level window with a surface of its own.
  SetParent(C, nullptr);
  EXPECT_EQ(GetAncestor(C, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(k58::winui::TopLevelSurface(C));
}

TEST_F(TreeTest, DisablingTakesTheFocusAndSendsWmEnable) {
  HWND P = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, P);
  SetFocus(C);
  Log().Clear();
  EXPECT_FALSE(EnableWindow(C, FALSE));
  EXPECT_THAT(Names(C), ElementsAre("WM_CANCELMODE", "WM_KILLFOCUS", "WM_ENABLE"));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(C));
  EXPECT_FALSE(SetFocus(C));
  EXPECT_TRUE(EnableWindow(C, TRUE));
  EXPECT_TRUE(IsWindowEnabled(C));
  EXPECT_EQ(Log().First(C, WM_ENABLE).WParam, 0u);
}

TEST_F(TreeTest, WindowFromPointSkipsHiddenDisabledAndTransparentWindows) {
  HWND P = Make(WS_POPUP | WS_VISIBLE, 100, 100, 300, 300);
  HWND Hidden = Make(WS_CHILD, 0, 0, 100, 100, P);
  HWND Off = Make(WS_CHILD | WS_VISIBLE | WS_DISABLED, 100, 0, 100, 100, P);
  HWND Glass = Make(WS_CHILD | WS_VISIBLE, 200, 0, 100, 100, P);
  HWND Under = Make(WS_CHILD | WS_VISIBLE, 200, 0, 100, 100, P);
  Handle(Glass, [](HWND, UINT M, WPARAM, LPARAM, LRESULT& R) {
    if (M != WM_NCHITTEST) return false;
    R = HTTRANSPARENT;
    return true;
  });
  EXPECT_EQ(WindowFromPoint(Pt(150, 150)), P);
  EXPECT_EQ(WindowFromPoint(Pt(250, 150)), P);
  EXPECT_EQ(WindowFromPoint(Pt(350, 150)), Under);
  EXPECT_EQ(WindowFromPoint(Pt(50, 50)), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(P, Pt(50, 50)), Hidden);
  EXPECT_EQ(ChildWindowFromPointEx(P, Pt(50, 50), CWP_SKIPINVISIBLE), P);
  EXPECT_EQ(ChildWindowFromPointEx(P, Pt(150, 50), CWP_SKIPDISABLED), P);
  EXPECT_EQ(ChildWindowFromPoint(P, Pt(150, 50)), Off);
  EXPECT_EQ(ChildWindowFromPoint(P, Pt(500, 500)), nullptr);
  EXPECT_EQ(RealChildWindowFromPoint(P, Pt(250, 50)), Under);
}

TEST_F(TreeTest, WindowRegionsShapeHitTestingAndComeBackAsCopies) {
  HWND Back = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND Front = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HRGN Before = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(GetWindowRgn(Front, Before), ERROR);
  SetWindowRgn(Front, CreateEllipticRgn(0, 0, 200, 200), TRUE);
  EXPECT_EQ(WindowFromPoint(Pt(100, 100)), Front);
  EXPECT_EQ(WindowFromPoint(Pt(3, 3)), Back);  // outside the ellipse: the window below
  EXPECT_EQ(GetWindowRgn(Front, Before), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(Before, 100, 100));
  EXPECT_FALSE(PtInRegion(Before, 3, 3));
  RECT Box;
  EXPECT_EQ(GetWindowRgnBox(Front, &Box), COMPLEXREGION);
  EXPECT_EQ(Box.right, 200);
  SetWindowRgn(Front, nullptr, TRUE);
  EXPECT_EQ(WindowFromPoint(Pt(3, 3)), Front);
  DeleteObject(Before);
}

TEST_F(TreeTest, MonitorsAnswerTheNearestOneAndItsWorkArea) {
  k58::winui::MonitorDesc A, B;
  A.Bounds = RECT{0, 0, 1280, 1024};
  A.WorkArea = RECT{0, 0, 1280, 994};
  A.Primary = true;
  B.Bounds = RECT{1280, 0, 2304, 768};
  B.WorkArea = B.Bounds;
  D->Headless().SetMonitors({A, B});
  k58::winui::HostScreenChanged();
  D->Pump();
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2304);
  HMONITOR M2 = MonitorFromPoint(Pt(3000, 100), MONITOR_DEFAULTTONEAREST);
  MONITORINFO Mi;
  ASSERT_TRUE(GetMonitorInfoA(M2, &Mi));
  EXPECT_EQ(Mi.rcMonitor.left, 1280);
  EXPECT_EQ(Mi.dwFlags, 0u);
  EXPECT_EQ(MonitorFromPoint(Pt(3000, 100), MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(Pt(-5, -5), MONITOR_DEFAULTTOPRIMARY), MonitorFromPoint(Pt(1, 1), 0));
  RECT Straddle{1200, 10, 1400, 100};
  EXPECT_EQ(MonitorFromRect(&Straddle, MONITOR_DEFAULTTONULL), M2);
  RECT Work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
  EXPECT_EQ(Work.bottom, 994);
  MONITORINFOEXA Ex;
  ASSERT_TRUE(GetMonitorInfo(M2, reinterpret_cast<MONITORINFO*>(&Ex)));
  EXPECT_STREQ(Ex.szDevice, "\\\\.\\DISPLAY2");
}

TEST_F(TreeTest, SystemChangesReachEveryTopLevelWindowHiddenOnesToo) {
  HWND Shown = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  HWND Hidden = Make(WS_POPUP, 0, 0, 50, 50);
  HWND Child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Shown);
  INT Index = COLOR_WINDOW;
  COLORREF Colour = RGB(1, 2, 3);
  SetSysColors(1, &Index, &Colour);
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, Shown), 1);
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, Hidden), 1);
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, Child), 0);
  RECT Work{0, 0, 1280, 1000};
  SystemParametersInfo(SPI_SETWORKAREA, 0, &Work, SPIF_SENDCHANGE);
  EXPECT_EQ(Log().First(Hidden, WM_SETTINGCHANGE).WParam, SPI_SETWORKAREA);
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Log().Count(WM_THEMECHANGED, Hidden), 1);
}

TEST_F(TreeTest, TitleChangesRepaintTheCaptionAndReachTheWindowManager) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr, 0, SpyClass, "Old");
  D->Pump();
  EXPECT_EQ(D->Headless().TitleOf(W), "Old");
  SetWindowText(W, "\xE4\xB8\xAD\xE6\x96\x87 New");
  EXPECT_EQ(D->Headless().TitleOf(W), "\xE4\xB8\xAD\xE6\x96\x87 New");
  char Buf[64];
  EXPECT_EQ(GetWindowText(W, Buf, sizeof Buf), 10);
  EXPECT_EQ(GetWindowTextLength(W), 10);
}

}  // namespace
}  // namespace winui_test
