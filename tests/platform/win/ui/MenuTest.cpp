// Menus: the item calls, the menu bar in the non-client area, the menu loop by mouse and keyboard with
// its notifications, owner drawing, popup windows, TrackPopupMenu, accelerators and the system menu.
#include <cstring>

#include "MenuTestSupport.h"
#include "platform/win/builtin/CommCtrl.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using MenuTest = WinUiTest;

const std::vector<UINT> kLoop = {WM_ENTERMENULOOP, WM_INITMENU,     WM_INITMENUPOPUP, WM_MENUSELECT,
                                 WM_UNINITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND,       WM_MENUCHAR};

std::string TextOfItem(HMENU M, UINT Pos) {
  char B[64] = {};
  GetMenuString(M, Pos, B, sizeof B, MF_BYPOSITION);
  return B;
}

TEST_F(MenuTest, ItemCallsBuildAndChangeTheItemList) {
  SampleMenu M = MakeSampleMenu();
  EXPECT_EQ(GetMenuItemCount(M.File), 5);
  EXPECT_EQ(GetMenuItemID(M.File, 1), 2u);
  EXPECT_EQ(GetMenuItemID(M.File, 3), static_cast<UINT>(-1));  // a submenu
  EXPECT_EQ(GetSubMenu(M.File, 3), M.Recent);
  // By command, items are found in submenus too.
  EXPECT_TRUE(InsertMenu(M.Bar, 12, MF_BYCOMMAND | MF_STRING, 13, "Zero"));
  EXPECT_EQ(GetMenuItemID(M.Recent, 1), 13u);
  EXPECT_TRUE(ModifyMenu(M.Bar, 13, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 14, "&Half"));
  EXPECT_EQ(GetMenuState(M.Recent, 14, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(TextOfItem(M.Recent, 1), "&Half");
  // A submenu's state carries its item count in the high byte.
  EXPECT_EQ(GetMenuState(M.File, 3, MF_BYPOSITION), (3u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(M.File, 2, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(M.Edit, 6, MF_BYCOMMAND), MF_CHECKED);
  EXPECT_EQ(GetMenuState(M.Edit, 99, MF_BYCOMMAND), static_cast<UINT>(-1));
  // Positions past the end append.
  EXPECT_TRUE(InsertMenu(M.Edit, 50, MF_BYPOSITION | MF_STRING, 7, "&Paste"));
  EXPECT_EQ(GetMenuItemID(M.Edit, 3), 7u);
  EXPECT_TRUE(RemoveMenu(M.Edit, 7, MF_BYCOMMAND));
  EXPECT_FALSE(RemoveMenu(M.Edit, 7, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(M.Edit), 3);
  // Removing keeps the submenu, deleting destroys it.
  EXPECT_TRUE(RemoveMenu(M.File, 3, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(M.Recent));
  AppendMenu(M.File, MF_POPUP, reinterpret_cast<UINT_PTR>(M.Recent), "&Recent");
  EXPECT_TRUE(DeleteMenu(M.File, 4, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(M.Recent));
  EXPECT_EQ(GetMenuItemCount(M.Recent), -1);
  // Destroying a menu destroys its submenus.
  EXPECT_TRUE(DestroyMenu(M.Bar));
  EXPECT_FALSE(IsMenu(M.File));
  EXPECT_FALSE(IsMenu(M.Edit));
  EXPECT_FALSE(DestroyMenu(M.Bar));
}

TEST_F(MenuTest, ItemInfoRoundTripsAndTextIsCutToTheBuffer) {
  HMENU M = CreatePopupMenu();
  HMENU Sub = CreatePopupMenu();
  MENUITEMINFOA In;
  In.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
  In.fType = MFT_RADIOCHECK | MFT_MENUBREAK;
  In.fState = MFS_CHECKED | MFS_DEFAULT | MFS_GRAYED;
  In.wID = 42;
  In.dwItemData = 0xABCD;
  In.hSubMenu = Sub;
  In.dwTypeData = const_cast<char*>("Long &caption");
  ASSERT_TRUE(InsertMenuItem(M, 0, TRUE, &In));
  char Buf[6];
  MENUITEMINFOA Out;
  Out.fMask = In.fMask;
  Out.dwTypeData = Buf;
  Out.cch = sizeof Buf;
  ASSERT_TRUE(GetMenuItemInfo(M, 0, TRUE, &Out));
  EXPECT_EQ(Out.fType, In.fType);
  EXPECT_EQ(Out.fState, In.fState);
  EXPECT_EQ(Out.wID, 42u);
  EXPECT_EQ(Out.dwItemData, 0xABCDu);
  EXPECT_EQ(Out.hSubMenu, Sub);
  EXPECT_STREQ(Buf, "Long ");
  EXPECT_EQ(Out.cch, 13u);  // the whole text's length
  // Only the masked fields change.
  MENUITEMINFOA Set;
  Set.fMask = MIIM_STATE;
  Set.fState = 0;
  ASSERT_TRUE(SetMenuItemInfo(M, 0, TRUE, &Set));
  Out.fMask = MIIM_STATE | MIIM_ID;
  GetMenuItemInfo(M, 0, TRUE, &Out);
  EXPECT_EQ(Out.fState, 0u);
  EXPECT_EQ(Out.wID, 42u);
  // A bad record or item fails.
  MENUITEMINFOA Bad;
  Bad.cbSize = 4;
  EXPECT_FALSE(GetMenuItemInfo(M, 0, TRUE, &Bad));
  EXPECT_FALSE(GetMenuItemInfo(M, 5, TRUE, &Out));
}

TEST_F(MenuTest, ChecksEnablingRadioGroupsAndDefaults) {
  HMENU M = CreatePopupMenu();
  for (UINT Id = 10; Id < 14; ++Id) AppendMenu(M, MF_STRING, Id, "x");
  EXPECT_EQ(CheckMenuItem(M, 10, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(M, 10, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(M, 77, MF_BYCOMMAND), static_cast<DWORD>(-1));
  EXPECT_EQ(EnableMenuItem(M, 11, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(M, 11, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_TRUE(CheckMenuRadioItem(M, 10, 12, 11, MF_BYCOMMAND));
  EXPECT_TRUE(CheckMenuRadioItem(M, 10, 12, 12, MF_BYCOMMAND));
  MENUITEMINFOA I;
  I.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfo(M, 12, FALSE, &I);
  EXPECT_TRUE(I.fType & MFT_RADIOCHECK);
  EXPECT_EQ(GetMenuState(M, 11, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(M, 12, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(M, 13, MF_BYCOMMAND) & MF_CHECKED, 0u);  // outside the group
  EXPECT_FALSE(CheckMenuRadioItem(M, 10, 12, 13, MF_BYCOMMAND));
  EXPECT_TRUE(SetMenuDefaultItem(M, 2, TRUE));
  EXPECT_EQ(GetMenuDefaultItem(M, FALSE, 0), 12u);
  EXPECT_TRUE(SetMenuDefaultItem(M, static_cast<UINT>(-1), TRUE));
  EXPECT_EQ(GetMenuDefaultItem(M, TRUE, 0), static_cast<UINT>(-1));
}

TEST_F(MenuTest, AMenuCannotBecomeItsOwnSubmenu) {
  HMENU Top = CreatePopupMenu();
  HMENU Mid = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(Top, MF_POPUP, reinterpret_cast<UINT_PTR>(Mid), "Mid"));
  EXPECT_FALSE(AppendMenu(Mid, MF_POPUP, reinterpret_cast<UINT_PTR>(Top), "Loop"));
  EXPECT_FALSE(AppendMenu(Mid, MF_POPUP, reinterpret_cast<UINT_PTR>(Mid), "Self"));
  MENUITEMINFOA I;
  I.fMask = MIIM_SUBMENU;
  I.hSubMenu = Top;
  AppendMenu(Mid, MF_STRING, 1, "x");
  EXPECT_FALSE(SetMenuItemInfo(Mid, 0, TRUE, &I));
  EXPECT_EQ(GetMenuItemID(Mid, 0), 1u);  // lookups still end
  EXPECT_TRUE(DestroyMenu(Top));
}

class MenuBarTest : public WinUiTest {
protected:
  void SetUp() override {
    WinUiTest::SetUp();
    M = MakeSampleMenu();
    Frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
    D->Pump();
    RECT Before;
    GetClientRect(Frame, &Before);
    ClientHeightWithout = Before.bottom;
    ASSERT_TRUE(SetMenu(Frame, M.Bar));
    D->Pump();
    Log().Clear();
  }
  // Ends any loop the test left open, so that a failing test does not hang.
  void Finish() {
    D->Key(VK_ESCAPE);
    D->Key(VK_ESCAPE);
    D->Key(VK_ESCAPE);
    D->Pump();
  }
  SampleMenu M;
  HWND Frame = nullptr;
  int ClientHeightWithout = 0;
};

TEST_F(MenuBarTest, TheBarTakesItsRowBelowTheCaptionAndAnswersHitTests) {
  RECT C;
  GetClientRect(Frame, &C);
  EXPECT_EQ(ClientHeightWithout - C.bottom, GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(GetMenu(Frame), M.Bar);
  RECT File = ItemRect(Frame, M.Bar, 0), Edit = ItemRect(Frame, M.Bar, 1);
  EXPECT_EQ(File.bottom - File.top, GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(Edit.left, File.right);
  POINT Client = ScreenOf(Frame, 0, 0);
  EXPECT_EQ(File.bottom, Client.y);
  POINT P = Centre(File);
  EXPECT_EQ(SendMessage(Frame, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)), HTMENU);
  EXPECT_EQ(MenuItemFromPoint(Frame, M.Bar, Centre(Edit)), 1);
  // A longer caption widens its item after DrawMenuBar.
  ModifyMenu(M.Bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(M.File), "&File and more");
  DrawMenuBar(Frame);
  D->Pump();
  EXPECT_GT(ItemRect(Frame, M.Bar, 0).right, File.right);
  // Removing the menu gives the row back.
  SetMenu(Frame, nullptr);
  D->Pump();
  GetClientRect(Frame, &C);
  EXPECT_EQ(C.bottom, ClientHeightWithout);
}

TEST_F(MenuBarTest, BarPixelsShowTheItemsInTheMenuColours) {
  RECT File = ItemRect(Frame, M.Bar, 0);
  EXPECT_EQ(D->ScreenPixel(Pt(File.left + 1, File.top + 1)), GetSysColor(COLOR_MENU));
  EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), File, GetSysColor(COLOR_MENUTEXT)), 10);
  // The whole row is the bar's, past the last item too.
  RECT Edit = ItemRect(Frame, M.Bar, 1);
  EXPECT_EQ(D->ScreenPixel(Pt(Edit.right + 20, Edit.top + 2)), GetSysColor(COLOR_MENU));
  // The item whose popup is open is highlighted.
  D->Click(Centre(File));
  D->Later([&] {
    EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), File, GetSysColor(COLOR_HIGHLIGHT)), Width(File) * Height(File) / 2);
    EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), File, GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
  });
  Finish();
  EXPECT_EQ(k58test::CountColour(k58test::ScreenPixels(*D), File, GetSysColor(COLOR_HIGHLIGHT)), 0);
}

TEST_F(MenuBarTest, MouseSelectionSendsTheLoopNotificationsAndPostsTheCommand) {
  D->Click(Centre(ItemRect(Frame, M.Bar, 0)));
  HWND Popup = nullptr;
  D->Later([&] {
    Popup = PopupOf(M.File);
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(GetCapture(), Frame);
    EXPECT_EQ(GetActiveWindow(), Frame);  // the popup never takes the activation
    D->Click(Centre(ItemRect(nullptr, M.File, 1)));
  });
  D->Pump();
  EXPECT_FALSE(IsWindow(Popup));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_THAT(Log().Names(Frame, kLoop),
              ElementsAre("WM_ENTERMENULOOP", "WM_INITMENU", "WM_MENUSELECT", "WM_INITMENUPOPUP", "WM_MENUSELECT",
                          "WM_UNINITMENUPOPUP", "WM_MENUSELECT", "WM_EXITMENULOOP", "WM_COMMAND"));
  EXPECT_EQ(Log().First(Frame, WM_ENTERMENULOOP).WParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Log().First(Frame, WM_INITMENU).WParam, reinterpret_cast<WPARAM>(M.Bar));
  Message Init = Log().First(Frame, WM_INITMENUPOPUP);
  EXPECT_EQ(Init.WParam, reinterpret_cast<WPARAM>(M.File));
  EXPECT_EQ(Init.LParam, MAKELPARAM(0, 0));
  std::vector<Message> Selects;
  for (const Message& S : Log())
    if (S.Hwnd == Frame && S.Msg == WM_MENUSELECT) Selects.push_back(S);
  ASSERT_EQ(Selects.size(), 3u);
  EXPECT_EQ(Selects[0].WParam, MAKEWPARAM(0, MF_POPUP | MF_HILITE | MF_MOUSESELECT));
  EXPECT_EQ(Selects[0].LParam, reinterpret_cast<LPARAM>(M.Bar));
  EXPECT_EQ(Selects[1].WParam, MAKEWPARAM(2, MF_HILITE | MF_MOUSESELECT));
  EXPECT_EQ(Selects[1].LParam, reinterpret_cast<LPARAM>(M.File));
  EXPECT_EQ(Selects[2].WParam, MAKEWPARAM(0, 0xFFFF));
  EXPECT_EQ(Selects[2].LParam, 0);
  EXPECT_EQ(Log().First(Frame, WM_COMMAND).WParam, MAKEWPARAM(2, 0));
}

TEST_F(MenuBarTest, MouseMovesOpenSubmenusAndSwitchBarItemsAndAClickOutsideCancels) {
  D->Click(Centre(ItemRect(Frame, M.Bar, 0)));
  Chain(*D, {[&] { D->MoveTo(Centre(ItemRect(nullptr, M.File, 3))); },
             [&] {
               EXPECT_NE(PopupOf(M.Recent), nullptr);
               D->MoveTo(Centre(ItemRect(nullptr, M.File, 1)));  // a plain item: the submenu closes
             },
             [&] {
               EXPECT_EQ(PopupOf(M.Recent), nullptr);
               D->MoveTo(Centre(ItemRect(Frame, M.Bar, 1)));  // along the bar: the next popup opens
             },
             [&] {
               EXPECT_EQ(PopupOf(M.File), nullptr);
               EXPECT_NE(PopupOf(M.Edit), nullptr);
               D->Click(Pt(5, 5));  // the desktop
             }});
  D->Pump();
  EXPECT_EQ(PopupOf(M.Edit), nullptr);
  EXPECT_EQ(Log().Count(WM_COMMAND, Frame), 0);
  EXPECT_EQ(Log().Count(WM_EXITMENULOOP, Frame), 1);
  EXPECT_EQ(Log().Count(WM_UNINITMENUPOPUP, Frame), 3);
}

TEST_F(MenuBarTest, AClickOnAGrayedItemOrASeparatorChoosesNothing) {
  D->Click(Centre(ItemRect(Frame, M.Bar, 1)));
  Chain(*D, {[&] { D->Click(Centre(ItemRect(nullptr, M.Edit, 0))); },
             [&] {
               EXPECT_NE(PopupOf(M.Edit), nullptr);
               D->MoveTo(Centre(ItemRect(Frame, M.Bar, 0)));
             },
             [&] { D->Click(Centre(ItemRect(nullptr, M.File, 2))); },
             [&] {
               EXPECT_NE(PopupOf(M.File), nullptr);
               D->Key(VK_ESCAPE);
               D->Key(VK_ESCAPE);
             }});
  D->Pump();
  EXPECT_EQ(Log().Count(WM_COMMAND, Frame), 0);
}

TEST_F(MenuBarTest, KeyboardAltArrowsAndEnterChooseACommand) {
  D->Key(VK_MENU);  // Alt alone selects the first bar item
  D->Later([&] {
    EXPECT_TRUE(GetMenuState(M.Bar, 0, MF_BYPOSITION) & MF_HILITE);
    EXPECT_EQ(PopupOf(M.File), nullptr);
  });
  D->Key(VK_RIGHT);
  D->Later([&] { EXPECT_TRUE(GetMenuState(M.Bar, 1, MF_BYPOSITION) & MF_HILITE); });
  D->Key(VK_DOWN);  // opens Edit with its first item selected
  D->Later([&] {
    EXPECT_NE(PopupOf(M.Edit), nullptr);
    EXPECT_TRUE(GetMenuState(M.Edit, 0, MF_BYPOSITION) & MF_HILITE);
  });
  D->Key(VK_LEFT);  // File opens instead
  D->Later([&] { EXPECT_NE(PopupOf(M.File), nullptr); });
  D->Key(VK_UP);  // wraps to the last item, skipping nothing
  D->Key(VK_UP);  // Recent
  D->Key(VK_RIGHT);
  D->Later([&] { EXPECT_NE(PopupOf(M.Recent), nullptr); });
  D->Key(VK_DOWN);
  D->Key(VK_RETURN);
  D->Pump();
  EXPECT_EQ(PopupOf(M.Recent), nullptr);
  EXPECT_EQ(Log().First(Frame, WM_COMMAND).WParam, MAKEWPARAM(12, 0));
  EXPECT_EQ(Log().First(Frame, WM_ENTERMENULOOP).WParam, static_cast<WPARAM>(FALSE));
  for (const Message& S : Log()) {
    if (S.Hwnd == Frame && S.Msg == WM_MENUSELECT && HIWORD(S.WParam) != 0xFFFF) {
      EXPECT_FALSE(HIWORD(S.WParam) & MF_MOUSESELECT);
    }
  }
}

TEST_F(MenuBarTest, EscapeClosesOneLevelAtATime) {
  D->Chord({VK_MENU}, 'F');
  D->Later([&] { EXPECT_NE(PopupOf(M.File), nullptr); });
  D->Key(VK_ESCAPE);
  D->Later([&] {
    EXPECT_EQ(PopupOf(M.File), nullptr);
    EXPECT_TRUE(GetMenuState(M.Bar, 0, MF_BYPOSITION) & MF_HILITE);  // the bar stays selected
    EXPECT_EQ(Log().Count(WM_EXITMENULOOP, Frame), 0);
  });
  D->Key(VK_ESCAPE);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_EXITMENULOOP, Frame), 1);
  EXPECT_FALSE(GetMenuState(M.Bar, 0, MF_BYPOSITION) & MF_HILITE);
  EXPECT_EQ(Log().Count(WM_COMMAND, Frame), 0);
}

TEST_F(MenuBarTest, MnemonicsOpenAndChooseAndOtherKeysAskTheOwner) {
  int Beeps = D->Headless().BeepCount();
  D->Chord({VK_MENU}, 'E');  // Alt+E opens Edit
  D->Later([&] { EXPECT_NE(PopupOf(M.Edit), nullptr); });
  D->Key('Q');  // no item: WM_MENUCHAR, then a beep
  D->Later([&] {
    EXPECT_EQ(Log().Count(WM_MENUCHAR, Frame), 1);
    EXPECT_EQ(Log().First(Frame, WM_MENUCHAR).WParam, MAKEWPARAM('q', MF_POPUP));
    EXPECT_EQ(Log().First(Frame, WM_MENUCHAR).LParam, reinterpret_cast<LPARAM>(M.Edit));
    EXPECT_EQ(D->Headless().BeepCount(), Beeps + 1);
  });
  D->Key('T');  // Cu&t
  D->Pump();
  EXPECT_EQ(Log().First(Frame, WM_COMMAND).WParam, MAKEWPARAM(5, 0));

  // The owner can answer a key with an item to choose.
  Handle(Frame, [](HWND, UINT Msg, WPARAM, LPARAM, LRESULT& R) {
    if (Msg != WM_MENUCHAR) return false;
    R = MAKELRESULT(1, MNC_EXECUTE);
    return true;
  });
  Log().Clear();
  D->Chord({VK_MENU}, 'F');
  D->Key('Z');
  D->Pump();
  EXPECT_EQ(Log().First(Frame, WM_COMMAND).WParam, MAKEWPARAM(2, 0));
}

TEST_F(MenuBarTest, InitMenuPopupMayChangeTheItemsBeforeTheyShow) {
  Handle(Frame, [&](HWND, UINT Msg, WPARAM W, LPARAM, LRESULT&) {
    if (Msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(W) == M.Edit) {
      EnableMenuItem(M.Edit, 4, MF_BYCOMMAND | MF_ENABLED);
      AppendMenu(M.Edit, MF_STRING, 8, "&Added");
    }
    return false;
  });
  D->Chord({VK_MENU}, 'E');
  D->Later([&] {
    HWND P = PopupOf(M.Edit);
    ASSERT_NE(P, nullptr);
    RECT C;
    GetClientRect(P, &C);
    EXPECT_EQ(C.bottom, 4 * GetSystemMetrics(SM_CYMENU));
  });
  D->Key('U');
  D->Pump();
  EXPECT_EQ(Log().First(Frame, WM_COMMAND).WParam, MAKEWPARAM(4, 0));
}

TEST_F(MenuBarTest, PopupsAreSubclassableWindowsWithAThreePixelFrame) {
  static std::vector<UINT> Got;
  static WNDPROC Old = nullptr;
  Got.clear();
  struct Sub {
    static LRESULT CALLBACK Proc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
      if (Msg == WM_SHOWWINDOW || Msg == WM_DESTROY || Msg == WM_ERASEBKGND || Msg == WM_CLOSE) Got.push_back(Msg);
      if (Msg == WM_SHOWWINDOW) {
        EXPECT_EQ(W, static_cast<WPARAM>(FALSE));
      }
      return CallWindowProc(Old, H, Msg, W, L);
    }
  };
  D->Click(Centre(ItemRect(Frame, M.Bar, 0)));
  D->Later([&] {
    HWND P = PopupOf(M.File);
    ASSERT_NE(P, nullptr);
    char Cls[32] = {};
    GetClassName(P, Cls, sizeof Cls);
    EXPECT_STREQ(Cls, "#32768");
    RECT W, C;
    GetWindowRect(P, &W);
    GetClientRect(P, &C);
    POINT O{0, 0};
    ClientToScreen(P, &O);
    EXPECT_EQ(O.x - W.left, 3);
    EXPECT_EQ(W.right - W.left - C.right, 6);
    EXPECT_EQ(D->WindowPixel(P, Pt(0, 0)), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(D->WindowPixel(P, Pt(1, 5)), GetSysColor(COLOR_MENU));
    EXPECT_EQ(D->WindowPixel(P, Pt(2, 5)), GetSysColor(COLOR_MENU));
    // The menu sits just below its bar item.
    EXPECT_EQ(W.top, ItemRect(Frame, M.Bar, 0).bottom);
    Old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(P, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Sub::Proc)));
    InvalidateRect(P, nullptr, TRUE);
    UpdateWindow(P);
    SendMessage(P, WM_CLOSE, 0, 0);  // closes the menu
  });
  D->Pump();
  EXPECT_EQ(PopupOf(M.File), nullptr);
  EXPECT_EQ(Log().Count(WM_EXITMENULOOP, Frame), 1);
  EXPECT_THAT(Got, ElementsAre(WM_ERASEBKGND, WM_CLOSE, WM_SHOWWINDOW, WM_DESTROY));
}

TEST_F(MenuBarTest, PopupPixelsShowChecksGrayedTextAndTheSelection) {
  D->Chord({VK_MENU}, 'E');
  D->Key(VK_DOWN);  // Cu&t selected
  D->Later([&] {
    ASSERT_NE(PopupOf(M.Edit), nullptr);
    RECT Undo = ItemRect(nullptr, M.Edit, 0), Cut = ItemRect(nullptr, M.Edit, 1), Copy = ItemRect(nullptr, M.Edit, 2);
    EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), Cut, GetSysColor(COLOR_HIGHLIGHT)), Width(Cut) * Height(Cut) / 2);
    EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), Undo, GetSysColor(COLOR_GRAYTEXT)), 5);  // grayed
    EXPECT_EQ(k58test::CountColour(k58test::ScreenPixels(*D), Undo, GetSysColor(COLOR_HIGHLIGHT)), 0);
    // The check mark of &Copy sits in the column left of its text.
    RECT Mark{Copy.left, Copy.top, Copy.left + 16, Copy.bottom};
    EXPECT_GT(k58test::CountColour(k58test::ScreenPixels(*D), Mark, GetSysColor(COLOR_MENUTEXT)), 8);
  });
  Finish();
}

TEST_F(MenuTest, OwnerDrawnItemsAreMeasuredOnceAndDrawnInTheirCoordinates) {
  HWND Frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  HMENU Bar = CreateMenu();
  HMENU Pop = CreatePopupMenu();
  AppendMenu(Pop, MF_OWNERDRAW, 21, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(0x21)));
  AppendMenu(Pop, MF_OWNERDRAW, 22, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(0x22)));
  HMENU Deeper = CreatePopupMenu();
  AppendMenu(Deeper, MF_STRING, 31, "x");
  MENUITEMINFOA Od;
  Od.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA | MIIM_ID;
  Od.fType = MFT_OWNERDRAW;
  Od.hSubMenu = Deeper;
  Od.wID = 23;
  Od.dwItemData = 0x23;
  InsertMenuItem(Pop, 2, TRUE, &Od);
  AppendMenu(Bar, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(Pop), reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(0x10)));
  std::vector<DRAWITEMSTRUCT> Draws;
  std::vector<HWND> DcWindows;
  Handle(Frame, [&](HWND, UINT Msg, WPARAM, LPARAM L, LRESULT& R) {
    if (Msg == WM_MEASUREITEM) {
      auto* Mi = reinterpret_cast<MEASUREITEMSTRUCT*>(L);
      EXPECT_EQ(Mi->CtlType, ODT_MENU);
      Mi->itemWidth = Mi->itemData == 0x10 ? 60 : 120;
      Mi->itemHeight = 25;
      R = TRUE;
      return true;
    }
    if (Msg == WM_DRAWITEM) {
      auto* Di = reinterpret_cast<DRAWITEMSTRUCT*>(L);
      Draws.push_back(*Di);
      DcWindows.push_back(WindowFromDC(Di->hDC));
      // Fills its rectangle and the 4 pixels left of it with a colour of its own.
      RECT Paint = Di->rcItem;
      Paint.left -= 4;
      HBRUSH B = CreateSolidBrush(RGB(0, 200, 0));
      FillRect(Di->hDC, &Paint, B);
      DeleteObject(B);
      R = TRUE;
      return true;
    }
    return false;
  });
  SetMenu(Frame, Bar);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MEASUREITEM, Frame), 1);  // the bar item
  RECT BarItem = ItemRect(Frame, Bar, 0);
  EXPECT_EQ(Width(BarItem), 60 + 12);  // the measure plus the side room of text items
  EXPECT_EQ(Height(BarItem), GetSystemMetrics(SM_CYMENU));  // the bar's height stays the metric
  // The bar item is drawn with its rectangle in window coordinates.
  ASSERT_FALSE(Draws.empty());
  RECT Win;
  GetWindowRect(Frame, &Win);
  EXPECT_EQ(Draws.back().rcItem.left, BarItem.left - Win.left);
  EXPECT_EQ(Draws.back().rcItem.top, BarItem.top - Win.top);
  EXPECT_EQ(Draws.back().rcItem.right, BarItem.right - Win.left);
  EXPECT_EQ(Draws.back().rcItem.bottom, BarItem.bottom - Win.top);
  EXPECT_EQ(Draws.back().hwndItem, reinterpret_cast<HWND>(Bar));
  EXPECT_EQ(Draws.back().itemData, 0x10u);
  Draws.clear();
  DcWindows.clear();

  D->Click(Centre(BarItem));
  Chain(*D, {[&] {
               HWND P = PopupOf(Pop);
               ASSERT_NE(P, nullptr);
               EXPECT_EQ(Log().Count(WM_MEASUREITEM, Frame), 4);
               RECT C;
               GetClientRect(P, &C);
               EXPECT_EQ(C.bottom, 75);
               // 4 pixels of strip and the widest item with the check mark's width added.
               const int Right = 4 + 120 + GetSystemMetrics(SM_CXMENUCHECK) - 1;
               EXPECT_EQ(C.right, Right);
               // The bar item is drawn selected; popup items get the popup's DC and client coordinates.
               bool BarSelected = false;
               for (const DRAWITEMSTRUCT& Di : Draws)
                 BarSelected |= Di.hwndItem == reinterpret_cast<HWND>(Bar) && (Di.itemState & ODS_SELECTED);
               EXPECT_TRUE(BarSelected);
               ASSERT_GE(Draws.size(), 3u);
               for (size_t K = 0; K < 3; ++K) {
                 const DRAWITEMSTRUCT& Di = Draws[Draws.size() - 3 + K];
                 EXPECT_EQ(Di.hwndItem, reinterpret_cast<HWND>(Pop));
                 EXPECT_EQ(Di.rcItem.left, 4);
                 EXPECT_EQ(Di.rcItem.top, static_cast<LONG>(25 * K));
                 EXPECT_EQ(Di.itemAction, ODA_DRAWENTIRE);
                 EXPECT_EQ(DcWindows[DcWindows.size() - 3 + K], P);
               }
               // The strip left of the items belongs to the item's paint.
               EXPECT_EQ(D->ClientPixel(P, Pt(0, 5)), RGB(0, 200, 0));
               // The menu draws the submenu arrow over the owner's paint.
               int Ink = 0;
               for (int Y = 50; Y < 75; ++Y) {
                 for (int X = Right - 14; X < Right; ++X) {
                   if (D->ClientPixel(P, Pt(X, Y)) == GetSysColor(COLOR_MENUTEXT)) ++Ink;
                 }
               }
               EXPECT_GE(Ink, 10);
               Draws.clear();
               D->Key(VK_DOWN);
             },
             [&] {
               // A selection change redraws the item selected.
               ASSERT_FALSE(Draws.empty());
               EXPECT_EQ(Draws.back().itemID, 21u);
               EXPECT_EQ(Draws.back().itemAction, ODA_SELECT);
               EXPECT_TRUE(Draws.back().itemState & ODS_SELECTED);
               D->Key(VK_ESCAPE);
               D->Key(VK_ESCAPE);
             }});
  D->Pump();
  // Measured once per item, however often the menu opens.
  D->Click(Centre(BarItem));
  Chain(*D, {[&] {
    EXPECT_NE(PopupOf(Pop), nullptr);
    D->Key(VK_ESCAPE);
    D->Key(VK_ESCAPE);
  }});
  D->Pump();
  EXPECT_EQ(Log().Count(WM_MEASUREITEM, Frame), 4);
}

TEST_F(MenuTest, BarItemsAreRedrawnHotWhenThePointerEntersAndLeavesThem) {
  HWND Frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  HMENU Bar = CreateMenu();
  AppendMenu(Bar, MF_OWNERDRAW, 1, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(1)));
  AppendMenu(Bar, MF_OWNERDRAW, 2, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(2)));
  std::vector<std::pair<UINT, bool>> Draws;  // item and whether drawn hot
  Handle(Frame, [&](HWND, UINT Msg, WPARAM, LPARAM L, LRESULT& R) {
    if (Msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(L)->itemWidth = 50;
      R = TRUE;
      return true;
    }
    if (Msg == WM_DRAWITEM) {
      auto* Di = reinterpret_cast<DRAWITEMSTRUCT*>(L);
      Draws.emplace_back(Di->itemID, (Di->itemState & ODS_HOTLIGHT) != 0);
      R = TRUE;
      return true;
    }
    return false;
  });
  SetMenu(Frame, Bar);
  D->Pump();
  RECT One = ItemRect(Frame, Bar, 0), Two = ItemRect(Frame, Bar, 1);
  struct Step {
    POINT To;
    std::vector<std::pair<UINT, bool>> Expect;
  } Steps[] = {{Centre(One), {{1, true}}},
               {Pt(One.left + 3, One.top + 3), {}},  // still on the same item: nothing redrawn
               {Centre(Two), {{1, false}, {2, true}}},
               {ScreenOf(Frame, 20, 20), {{2, false}}}};  // into the client area
  for (const Step& S : Steps) {
    Draws.clear();
    D->MoveTo(S.To);
    D->Pump();
    EXPECT_EQ(Draws, S.Expect) << S.To.x << "," << S.To.y;
  }
}

TEST_F(MenuTest, TrackPopupMenuReturnsTheCommandOrPostsIt) {
  HWND Owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  D->Pump();
  HMENU Pop = CreatePopupMenu();
  AppendMenu(Pop, MF_STRING, 7, "&Seven");
  AppendMenu(Pop, MF_STRING, 8, "&Eight");
  Log().Clear();
  D->Later([&] { D->Click(Centre(ItemRect(nullptr, Pop, 1))); });
  EXPECT_EQ(TrackPopupMenu(Pop, TPM_RETURNCMD, 300, 300, 0, Owner, nullptr), 8);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_COMMAND, Owner), 0);
  EXPECT_THAT(Log().Names(Owner, kLoop), ElementsAre("WM_ENTERMENULOOP", "WM_INITMENU", "WM_INITMENUPOPUP",
                                                   "WM_MENUSELECT", "WM_UNINITMENUPOPUP", "WM_MENUSELECT",
                                                   "WM_EXITMENULOOP"));
  EXPECT_EQ(Log().First(Owner, WM_ENTERMENULOOP).WParam, static_cast<WPARAM>(TRUE));

  // Without TPM_RETURNCMD the command is posted; TPM_NONOTIFY keeps the owner out of the loop.
  Log().Clear();
  D->Key('E');
  EXPECT_EQ(TrackPopupMenu(Pop, 0, 300, 300, 0, Owner, nullptr), TRUE);
  D->Pump();
  EXPECT_EQ(Log().First(Owner, WM_COMMAND).WParam, MAKEWPARAM(8, 0));
  Log().Clear();
  D->Key(VK_DOWN);
  D->Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenuEx(Pop, TPM_NONOTIFY | TPM_RETURNCMD, 300, 300, Owner, nullptr), 7);
  EXPECT_TRUE(Log().Names(Owner, kLoop).empty());

  // A click outside cancels: 0.
  D->Later([&] { D->Click(Pt(5, 5)); });
  EXPECT_EQ(TrackPopupMenu(Pop, TPM_RETURNCMD, 300, 300, 0, Owner, nullptr), 0);
  EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(static_cast<uintptr_t>(12)), 0, 0, 0, 0, Owner, nullptr));
}

TEST_F(MenuTest, TrackPopupMenuAlignsAndStaysOnTheWorkArea) {
  HWND Owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  D->Pump();
  HMENU Pop = CreatePopupMenu();
  AppendMenu(Pop, MF_STRING, 1, "&One");
  struct Case {
    UINT Flags;
    POINT At;
    const char* Corner;  // which corner of the popup lies at At
  } Cases[] = {{TPM_LEFTALIGN | TPM_TOPALIGN, {300, 300}, "lt"},
               {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {300, 300}, "rb"},
               {TPM_LEFTALIGN, {1279, 1023}, "rb"}};  // no room right and below: flipped
  for (const Case& C : Cases) {
    RECT W{};
    D->Later([&] {
      GetWindowRect(PopupOf(Pop), &W);
      D->Key(VK_ESCAPE);
    });
    TrackPopupMenu(Pop, C.Flags | TPM_RETURNCMD, C.At.x, C.At.y, 0, Owner, nullptr);
    POINT Corner = std::string(C.Corner) == "lt" ? Pt(W.left, W.top) : Pt(W.right, W.bottom);
    EXPECT_EQ(Corner.x, C.At.x) << C.Flags;
    EXPECT_EQ(Corner.y, C.At.y) << C.Flags;
  }
}

TEST_F(MenuTest, AcceleratorsSendCommandsForTheirKeysOnly) {
  HWND Frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
  SampleMenu M = MakeSampleMenu();
  SetMenu(Frame, M.Bar);
  D->Pump();
  ACCEL Table[] = {{FVIRTKEY | FCONTROL, 'N', 1}, {FVIRTKEY | FCONTROL | FSHIFT, 'N', 2}, {0, 'u', 4},
                   {FVIRTKEY | FALT, VK_F2, 5}};
  HACCEL A = CreateAcceleratorTable(Table, 4);
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(CopyAcceleratorTable(A, nullptr, 0), 4);
  std::vector<int> Translated;
  auto Run = [&] {
    MSG Msg;
    while (PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAccelerator(Frame, A, &Msg)) {
        Translated.push_back(static_cast<int>(Msg.message));
        continue;
      }
      TranslateMessage(&Msg);
      DispatchMessage(&Msg);
    }
  };
  struct Case {
    std::function<void()> Keys;
    std::vector<WPARAM> Commands;
  } Cases[] = {
      {[&] { D->Chord({VK_CONTROL}, 'N'); }, {MAKEWPARAM(1, 1)}},
      {[&] { D->Chord({VK_CONTROL, VK_SHIFT}, 'N'); }, {MAKEWPARAM(2, 1)}},
      {[&] { D->Key('N'); }, {}},
      {[&] { D->Chord({VK_MENU}, VK_F2); }, {MAKEWPARAM(5, 1)}},
      {[&] { D->Type("u"); }, {}},  // &Undo is grayed: the key is used, no command
  };
  for (const Case& C : Cases) {
    Log().Clear();
    C.Keys();
    Run();
    std::vector<WPARAM> Got;
    for (const Message& S : Log())
      if (S.Hwnd == Frame && S.Msg == WM_COMMAND) Got.push_back(S.WParam);
    EXPECT_EQ(Got, C.Commands);
  }
  EXPECT_EQ(Log().Count(WM_CHAR, Frame), 0);  // the accelerator's character went no further
  EXPECT_EQ(Log().Count(WM_INITMENU, Frame), 1);
  EXPECT_TRUE(DestroyAcceleratorTable(A));
  EXPECT_FALSE(DestroyAcceleratorTable(A));
}

TEST_F(MenuTest, TheSystemMenuFollowsTheStylesAndSendsSystemCommands) {
  HWND Tool = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 300, 200);
  HMENU Sys = GetSystemMenu(Tool, FALSE);
  ASSERT_NE(Sys, nullptr);
  EXPECT_EQ(GetSystemMenu(Tool, FALSE), Sys);
  EXPECT_EQ(GetMenuState(Sys, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));  // no sizing frame
  EXPECT_NE(GetMenuState(Sys, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  HWND Frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->Pump();
  Log().Clear();
  D->Chord({VK_MENU}, VK_SPACE);
  D->Later([&] {
    HMENU FrameSys = GetSystemMenu(Frame, FALSE);
    EXPECT_NE(PopupOf(FrameSys), nullptr);
    EXPECT_TRUE(GetMenuState(FrameSys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED);  // not minimised or maximised
    EXPECT_FALSE(GetMenuState(FrameSys, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(Log().First(Frame, WM_INITMENUPOPUP).LParam, MAKELPARAM(0, 1));
  });
  D->Key('X');  // Ma&ximize
  D->Pump();
  bool Maximize = false;
  for (const Message& S : Log()) Maximize |= S.Hwnd == Frame && S.Msg == WM_SYSCOMMAND && (S.WParam & 0xFFF0) == SC_MAXIMIZE;
  EXPECT_TRUE(Maximize);
  EXPECT_TRUE(IsZoomed(Frame));
  EXPECT_EQ(Log().Count(WM_COMMAND, Frame), 0);
  EXPECT_EQ(GetSystemMenu(Frame, TRUE), nullptr);
}

}  // namespace
}  // namespace winui_test
