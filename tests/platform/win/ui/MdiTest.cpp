// MDI: children of the client with their ids and the Window menu, activation messages, activation by
// clicks and keys, maximising with the items merged into the frame's bar, cascading and tiling, and the
// next child taking over when one is closed.
#include "MenuTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;

HWND GClient = nullptr;

LRESULT CALLBACK FrameProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  Log().Add(H, Msg, W, L);
  return DefFrameProc(H, GClient, Msg, W, L);
}

LRESULT CALLBACK ChildProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  Log().Add(H, Msg, W, L);
  return DefMDIChildProc(H, Msg, W, L);
}

class MdiTest : public WinUiTest {
protected:
  void SetUp() override {
    WinUiTest::SetUp();
    static bool Registered = false;
    if (!Registered) {
      WNDCLASS F;
      F.lpfnWndProc = FrameProc;
      F.lpszClassName = "MdiTestFrame";
      RegisterClass(&F);
      WNDCLASS C;
      C.lpfnWndProc = ChildProc;
      C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1));
      C.lpszClassName = "MdiTestChild";
      RegisterClass(&C);
      Registered = true;
    }
    Bar = CreateMenu();
    WindowMenu = CreatePopupMenu();
    AppendMenu(WindowMenu, MF_STRING, 50, "&Cascade");
    AppendMenu(Bar, MF_STRING, 40, "&File");
    AppendMenu(Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(WindowMenu), "&Window");
    Frame = CreateWindowEx(0, "MdiTestFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 50, 50, 640,
                           480, nullptr, Bar, nullptr, nullptr);
    CLIENTCREATESTRUCT Ccs;
    Ccs.hWindowMenu = WindowMenu;
    Ccs.idFirstChild = 100;
    RECT R;
    GetClientRect(Frame, &R);
    Client = CreateWindowEx(WS_EX_CLIENTEDGE, MDICLIENT_CLASS, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                            R.right, R.bottom, Frame, nullptr, nullptr, &Ccs);
    GClient = Client;
    D->Pump();
  }
  void TearDown() override {
    WinUiTest::TearDown();
    GClient = nullptr;
  }
  HWND NewChild(const char* Title, DWORD Style = 0) {
    MDICREATESTRUCTA Cs;
    Cs.szClass = "MdiTestChild";
    Cs.szTitle = Title;
    Cs.x = Cs.y = Cs.cx = Cs.cy = CW_USEDEFAULT;
    Cs.style = Style;
    auto H = reinterpret_cast<HWND>(SendMessage(Client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&Cs)));
    D->Pump();
    return H;
  }
  HWND Active(BOOL* Max = nullptr) {
    return reinterpret_cast<HWND>(SendMessage(Client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(Max)));
  }
  std::vector<std::string> WindowList() {
    std::vector<std::string> Out;
    for (int K = 0; K < GetMenuItemCount(WindowMenu); ++K) {
      char B[64] = {};
      GetMenuString(WindowMenu, static_cast<UINT>(K), B, sizeof B, MF_BYPOSITION);
      std::string S = B;
      if (GetMenuState(WindowMenu, static_cast<UINT>(K), MF_BYPOSITION) & MF_CHECKED) S += " *";
      if (GetMenuState(WindowMenu, static_cast<UINT>(K), MF_BYPOSITION) & MF_SEPARATOR) S = "-";
      Out.push_back(S);
    }
    return Out;
  }
  RECT InClient(HWND Child) {
    RECT R;
    GetWindowRect(Child, &R);
    MapWindowPoints(nullptr, Client, reinterpret_cast<POINT*>(&R), 2);
    return R;
  }
  std::string Title(HWND H) {
    char B[128] = {};
    GetWindowText(H, B, sizeof B);
    return B;
  }
  HMENU Bar = nullptr, WindowMenu = nullptr;
  HWND Frame = nullptr, Client = nullptr;
};

TEST_F(MdiTest, ChildrenGetIdsInOrderAndTheWindowMenuListsThem) {
  HWND A = NewChild("Alpha");
  HWND B = CreateMDIWindow("MdiTestChild", "Beta", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           Client, nullptr, 0);
  D->Pump();
  ASSERT_NE(A, nullptr);
  ASSERT_NE(B, nullptr);
  EXPECT_TRUE(GetWindowLong(A, GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(GetWindowLong(A, GWL_ID), 100);
  EXPECT_EQ(GetWindowLong(B, GWL_ID), 101);
  EXPECT_EQ(Active(), B);
  EXPECT_EQ(GetFocus(), B);
  EXPECT_THAT(WindowList(), ElementsAre("&Cascade", "-", "&1 Alpha", "&2 Beta *"));
  // Default places cascade.
  EXPECT_GT(InClient(B).left, InClient(A).left);
  // Choosing a child in the Window menu activates it (the frame passes the command on).
  SendMessage(Frame, WM_COMMAND, 100, 0);
  EXPECT_EQ(Active(), A);
  EXPECT_THAT(WindowList(), ElementsAre("&Cascade", "-", "&1 Alpha *", "&2 Beta"));
  // Closing renumbers the rest and the next child becomes active.
  SendMessage(A, WM_CLOSE, 0, 0);
  D->Pump();
  EXPECT_FALSE(IsWindow(A));
  EXPECT_EQ(Active(), B);
  EXPECT_EQ(GetWindowLong(B, GWL_ID), 100);
  EXPECT_THAT(WindowList(), ElementsAre("&Cascade", "-", "&1 Beta *"));
  DestroyWindow(B);
  D->Pump();
  EXPECT_EQ(Active(), nullptr);
  EXPECT_THAT(WindowList(), ElementsAre("&Cascade"));
}

TEST_F(MdiTest, ActivationSendsTheMessagesToBothChildrenInOrder) {
  HWND A = NewChild("Alpha");
  HWND B = NewChild("Beta");
  Log().Clear();
  SendMessage(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0);
  const std::vector<UINT> Watch = {WM_NCACTIVATE, WM_MDIACTIVATE, WM_CHILDACTIVATE, WM_SETFOCUS, WM_KILLFOCUS};
  EXPECT_THAT(Log().Names(B, Watch), ElementsAre("WM_NCACTIVATE", "WM_MDIACTIVATE", "WM_KILLFOCUS"));
  EXPECT_THAT(Log().Names(A, Watch), ElementsAre("WM_NCACTIVATE", "WM_MDIACTIVATE", "WM_CHILDACTIVATE", "WM_SETFOCUS"));
  Message ToOld = Log().First(B, WM_MDIACTIVATE), ToNew = Log().First(A, WM_MDIACTIVATE);
  EXPECT_EQ(ToOld.WParam, reinterpret_cast<WPARAM>(B));
  EXPECT_EQ(ToOld.LParam, reinterpret_cast<LPARAM>(A));
  EXPECT_EQ(ToNew.WParam, reinterpret_cast<WPARAM>(B));
  EXPECT_EQ(ToNew.LParam, reinterpret_cast<LPARAM>(A));
  EXPECT_EQ(Log().First(B, WM_NCACTIVATE).WParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Log().First(A, WM_NCACTIVATE).WParam, static_cast<WPARAM>(TRUE));
  EXPECT_EQ(GetWindow(Client, GW_CHILD), A);  // on top
  // Activating the active child again sends nothing.
  Log().Clear();
  SendMessage(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0);
  EXPECT_EQ(Log().Count(WM_MDIACTIVATE, A), 0);
}

TEST_F(MdiTest, AClickOrTheKeysActivateAChild) {
  HWND A = NewChild("Alpha");
  HWND B = NewChild("Beta");
  SendMessage(Client, WM_MDITILE, MDITILE_VERTICAL, 0);
  D->Pump();
  D->Click(ScreenOf(A, 10, 10));
  D->Pump();
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(GetFocus(), A);
  // Ctrl+F6 through TranslateMDISysAccel moves on, Ctrl+F4 closes the active child.
  auto Run = [&] {
    MSG M;
    while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateMDISysAccel(Client, &M)) continue;
      TranslateMessage(&M);
      DispatchMessage(&M);
    }
  };
  D->Chord({VK_CONTROL}, VK_F6);
  Run();
  EXPECT_EQ(Active(), B);
  D->Chord({VK_CONTROL}, VK_F4);
  Run();
  EXPECT_FALSE(IsWindow(B));
  EXPECT_EQ(Active(), A);
}

TEST_F(MdiTest, AMaximisedChildFillsTheClientAndMergesIntoTheFramesBar) {
  HWND A = NewChild("Alpha");
  HWND B = NewChild("Beta");
  int BarItems = GetMenuItemCount(Bar);
  SendMessage(Client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(B), 0);
  D->Pump();
  BOOL Max = FALSE;
  EXPECT_EQ(Active(&Max), B);
  EXPECT_TRUE(Max);
  RECT CC, BC;
  GetClientRect(Client, &CC);
  GetClientRect(B, &BC);
  EXPECT_EQ(BC.right, CC.right);
  EXPECT_EQ(BC.bottom, CC.bottom);
  POINT O{0, 0};
  ClientToScreen(B, &O);
  ScreenToClient(Client, &O);
  EXPECT_EQ(O.x, 0);
  EXPECT_EQ(O.y, 0);
  // The child's system menu first, its buttons at the right end, the title in the frame's caption.
  ASSERT_EQ(GetMenuItemCount(Bar), BarItems + 4);
  EXPECT_EQ(GetSubMenu(Bar, 0), GetSystemMenu(B, FALSE));
  EXPECT_EQ(GetMenuItemID(Bar, BarItems + 3), SC_CLOSE);
  EXPECT_EQ(Title(Frame), "Frame - [Beta]");
  RECT Close = ItemRect(Frame, Bar, static_cast<UINT>(BarItems + 3));
  RECT FrameW;
  GetWindowRect(Frame, &FrameW);
  EXPECT_GT(Close.right, FrameW.right - 12);  // right-justified
  // Activating another child carries the maximised state over.
  SendMessage(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0);
  D->Pump();
  EXPECT_TRUE(IsZoomed(A));
  EXPECT_FALSE(IsZoomed(B));
  EXPECT_EQ(GetMenuItemCount(Bar), BarItems + 4);
  EXPECT_EQ(GetSubMenu(Bar, 0), GetSystemMenu(A, FALSE));
  EXPECT_EQ(Title(Frame), "Frame - [Alpha]");
  // The merged close button closes the child; the bar and the caption are the frame's again.
  Log().Clear();
  D->Click(Centre(ItemRect(Frame, Bar, static_cast<UINT>(BarItems + 3))));
  D->Pump();
  EXPECT_FALSE(IsWindow(A));
  EXPECT_EQ(Active(), B);
  EXPECT_TRUE(IsZoomed(B));  // the next child keeps the frame maximised
  SendMessage(Client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(B), 0);
  D->Pump();
  EXPECT_EQ(GetMenuItemCount(Bar), BarItems);
  EXPECT_EQ(Title(Frame), "Frame");
}

TEST_F(MdiTest, CascadeAndTileArrangeTheChildren) {
  HWND K[3] = {NewChild("1"), NewChild("2"), NewChild("3")};
  RECT C;
  GetClientRect(Client, &C);
  SendMessage(Client, WM_MDITILE, MDITILE_VERTICAL, 0);
  D->Pump();
  for (int I = 0; I < 3; ++I) {
    RECT R = InClient(K[I]);
    EXPECT_EQ(R.left, C.right * I / 3);
    EXPECT_EQ(R.top, 0);
    EXPECT_EQ(R.bottom, C.bottom);
  }
  SendMessage(Client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
  D->Pump();
  for (int I = 0; I < 3; ++I) {
    RECT R = InClient(K[I]);
    EXPECT_EQ(R.top, C.bottom * I / 3);
    EXPECT_EQ(R.left, 0);
    EXPECT_EQ(R.right, C.right);
  }
  SendMessage(Client, WM_MDICASCADE, 0, 0);
  D->Pump();
  int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  // The active child (the last created) comes last, in front.
  EXPECT_EQ(InClient(K[0]).left, 0);
  EXPECT_EQ(InClient(K[1]).left, Step);
  EXPECT_EQ(InClient(K[2]).left, 2 * Step);
  EXPECT_EQ(GetWindow(Client, GW_CHILD), K[2]);
  EXPECT_EQ(Active(), K[2]);
  // Minimised children are left out of tiling and lined up at the bottom.
  ShowWindow(K[0], SW_MINIMIZE);
  SendMessage(Client, WM_MDIICONARRANGE, 0, 0);
  SendMessage(Client, WM_MDITILE, MDITILE_VERTICAL, 0);
  D->Pump();
  EXPECT_EQ(InClient(K[0]).bottom, C.bottom);
  EXPECT_EQ(InClient(K[1]).bottom, InClient(K[0]).top);
  EXPECT_EQ(InClient(K[2]).left, C.right / 2);
}

TEST_F(MdiTest, SettingTheFrameMenuMovesTheListAndTheMergedItems) {
  HWND A = NewChild("Alpha");
  SendMessage(Client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(A), 0);
  D->Pump();
  HMENU NewBar = CreateMenu();
  HMENU NewWindow = CreatePopupMenu();
  AppendMenu(NewWindow, MF_STRING, 60, "&Tile");
  AppendMenu(NewBar, MF_POPUP, reinterpret_cast<UINT_PTR>(NewWindow), "&Window");
  int OldCount = GetMenuItemCount(Bar);
  auto Old = reinterpret_cast<HMENU>(
      SendMessage(Client, WM_MDISETMENU, reinterpret_cast<WPARAM>(NewBar), reinterpret_cast<LPARAM>(NewWindow)));
  D->Pump();
  EXPECT_EQ(Old, Bar);
  EXPECT_EQ(GetMenu(Frame), NewBar);
  EXPECT_EQ(GetMenuItemCount(Bar), OldCount - 4);  // the old bar lost the child's items
  EXPECT_EQ(GetMenuItemCount(NewBar), 1 + 4);
  EXPECT_EQ(GetMenuItemCount(WindowMenu), 1);
  WindowMenu = NewWindow;
  EXPECT_THAT(WindowList(), ElementsAre("&Tile", "-", "&1 Alpha *"));
  // A new title shows in the list and in the frame's caption.
  SetWindowText(A, "Renamed");
  EXPECT_THAT(WindowList(), ElementsAre("&Tile", "-", "&1 Renamed *"));
  EXPECT_EQ(Title(Frame), "Frame - [Renamed]");
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(Client, WM_MDIREFRESHMENU, 0, 0)), NewBar);
  DestroyMenu(Bar);
}

TEST_F(MdiTest, NextAndPreviousCycleThroughTheChildren) {
  HWND K[3] = {NewChild("1"), NewChild("2"), NewChild("3")};
  EXPECT_EQ(Active(), K[2]);
  SendMessage(Client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(Active(), K[0]);
  SendMessage(Client, WM_MDINEXT, 0, 1);
  EXPECT_EQ(Active(), K[2]);
  SendMessage(K[2], WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
  EXPECT_EQ(Active(), K[0]);
}

}  // namespace
}  // namespace winui_test

namespace winui_test {
namespace {

// A client created with both scroll bars shows them only while a child reaches beyond its area, and
// scrolling moves the children.
TEST_F(MdiTest, ScrollBarsAppearOnlyWhileAChildReachesOut) {
  RECT R;
  GetClientRect(Frame, &R);
  CLIENTCREATESTRUCT Ccs;
  Ccs.hWindowMenu = nullptr;
  Ccs.idFirstChild = 200;
  HWND Scrolling = CreateWindowEx(WS_EX_CLIENTEDGE, MDICLIENT_CLASS, nullptr,
                                  WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, R.right,
                                  R.bottom, Frame, nullptr, nullptr, &Ccs);
  ShowWindow(Client, SW_HIDE);
  Client = GClient = Scrolling;
  auto Shown = [&](int Style) { return (GetWindowLongPtr(Client, GWL_STYLE) & Style) != 0; };
  D->Pump();
  EXPECT_FALSE(Shown(WS_HSCROLL));
  EXPECT_FALSE(Shown(WS_VSCROLL));

  HWND K = NewChild("1");
  EXPECT_FALSE(Shown(WS_HSCROLL)) << "a child inside the client area needs no bars";
  RECT Area;
  GetClientRect(Client, &Area);
  SetWindowPos(K, nullptr, Area.right - 50, 10, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  D->Pump();
  EXPECT_TRUE(Shown(WS_HSCROLL));
  EXPECT_FALSE(Shown(WS_VSCROLL));
  SCROLLINFO I{};
  I.cbSize = sizeof I;
  I.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(Client, SB_HORZ, &I));
  GetClientRect(Client, &Area);
  EXPECT_EQ(I.nMin, 0);
  EXPECT_EQ(I.nPos, 0);
  EXPECT_EQ(I.nMax, Area.right - 50 + 200 - 1);

  // A line moves the children; scrolling to the far end brings the child wholly into view and the bar
  // goes away.
  SendMessage(Client, WM_HSCROLL, SB_LINEDOWN, 0);
  D->Pump();
  EXPECT_EQ(InClient(K).left, Area.right - 50 - 16);
  EXPECT_TRUE(Shown(WS_HSCROLL));
  SendMessage(Client, WM_HSCROLL, SB_BOTTOM, 0);
  D->Pump();
  EXPECT_EQ(InClient(K).right, Area.right);
  EXPECT_FALSE(Shown(WS_HSCROLL));
  SetWindowPos(K, nullptr, -30, 10, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  D->Pump();
  ASSERT_TRUE(GetScrollInfo(Client, SB_HORZ, &I));
  EXPECT_EQ(I.nMin, -30);
  SendMessage(Client, WM_HSCROLL, SB_TOP, 0);
  D->Pump();
  EXPECT_EQ(InClient(K).left, 0);
  SetWindowPos(K, nullptr, Area.right - 50, 10, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  D->Pump();

  // A maximised child fills the client: no bars.
  ShowWindow(K, SW_SHOWMAXIMIZED);
  D->Pump();
  EXPECT_FALSE(Shown(WS_HSCROLL));
  ShowWindow(K, SW_RESTORE);
  D->Pump();
  EXPECT_TRUE(Shown(WS_HSCROLL));
  SetWindowPos(K, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  D->Pump();
  EXPECT_FALSE(Shown(WS_HSCROLL));
}

}  // namespace
}  // namespace winui_test
