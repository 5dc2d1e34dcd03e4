#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NotifySpy.h"
#include "platform/win/builtin/TabCtrl.h"

namespace builtin_test {

using builtin_test::At;

namespace {

class TabCtrlTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  LRESULT Refuse = 0;
  builtin_test::Host H;

  TabCtrlTest() {
    k58::builtin::RegisterTabCtrlClass();
    H.OnMessage = [this](UINT Msg, WPARAM, LPARAM L) -> std::optional<LRESULT> {
      if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TCN_SELCHANGING) return Refuse;
      return std::nullopt;
    };
  }

  HWND Make(DWORD Style = 0, RECT R = RECT{10, 10, 310, 210}) {
    HWND T = H.Child(WC_TABCONTROL, Style, R, 400);
    EXPECT_NE(nullptr, T);
    return T;
  }
  static int Insert(HWND T, int At, const char* Text, LPARAM Param = 0) {
    TCITEM I;
    I.mask = TCIF_TEXT | TCIF_PARAM;
    I.pszText = const_cast<char*>(Text);
    I.lParam = Param;
    return static_cast<int>(SendMessage(T, TCM_INSERTITEM, At, reinterpret_cast<LPARAM>(&I)));
  }
  static RECT Rect(HWND T, int I) {
    RECT R{-1, -1, -1, -1};
    SendMessage(T, TCM_GETITEMRECT, I, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  static POINT Mid(HWND T, int I) {
    RECT R = Rect(T, I);
    return At(T, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }
  static int Cur(HWND T) { return static_cast<int>(SendMessage(T, TCM_GETCURSEL, 0, 0)); }
  std::vector<UINT> Codes(HWND T) const {
    std::vector<UINT> R;
    for (UINT C : H.Notifies(T))
      if (C == TCN_SELCHANGING || C == TCN_SELCHANGE) R.push_back(C);
    return R;
  }
};

}  // namespace

TEST_F(TabCtrlTest, ItemsAndTheCurrentTab) {
  HWND T = Make();
  EXPECT_EQ(-1, Cur(T));
  EXPECT_EQ(0, Insert(T, 0, "General", 10));
  EXPECT_EQ(0, Cur(T));  // the first tab becomes current
  EXPECT_EQ(1, Insert(T, 5, "Tones", 11));
  EXPECT_EQ(0, Insert(T, 0, "Radio", 12));  // before the current one: it moves along
  EXPECT_EQ(1, Cur(T));
  EXPECT_EQ(3, SendMessage(T, TCM_GETITEMCOUNT, 0, 0));
  char B[8] = {};
  TCITEM I;
  I.mask = TCIF_TEXT | TCIF_PARAM;
  I.pszText = B;
  I.cchTextMax = 4;
  EXPECT_TRUE(SendMessage(T, TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&I)));
  EXPECT_STREQ("Ton", B);
  EXPECT_EQ(11, I.lParam);
  I.pszText = const_cast<char*>("Tone settings");
  I.mask = TCIF_TEXT;
  EXPECT_TRUE(SendMessage(T, TCM_SETITEM, 2, reinterpret_cast<LPARAM>(&I)));
  EXPECT_FALSE(SendMessage(T, TCM_SETITEM, 3, reinterpret_cast<LPARAM>(&I)));
  // The program's choice is not reported.
  EXPECT_EQ(1, SendMessage(T, TCM_SETCURSEL, 2, 0));
  EXPECT_EQ(2, Cur(T));
  EXPECT_EQ(-1, SendMessage(T, TCM_SETCURSEL, 7, 0));
  EXPECT_TRUE(Codes(T).empty());
  // Deleting the current tab leaves none current; deleting one before it moves it.
  SendMessage(T, TCM_SETCURSEL, 1, 0);
  EXPECT_TRUE(SendMessage(T, TCM_DELETEITEM, 0, 0));
  EXPECT_EQ(0, Cur(T));
  EXPECT_TRUE(SendMessage(T, TCM_DELETEITEM, 0, 0));
  EXPECT_EQ(-1, Cur(T));
  EXPECT_FALSE(SendMessage(T, TCM_DELETEITEM, 4, 0));
  EXPECT_TRUE(SendMessage(T, TCM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(0, SendMessage(T, TCM_GETITEMCOUNT, 0, 0));
}

TEST_F(TabCtrlTest, UserPicksTabsWithMouseAndKeys) {
  HWND T = Make();
  Insert(T, 0, "One");
  Insert(T, 1, "Two");
  Insert(T, 2, "Three");
  D.Click(Mid(T, 1));
  D.Pump();
  EXPECT_EQ(1, Cur(T));
  EXPECT_EQ(T, GetFocus());
  EXPECT_EQ((std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}), Codes(T));
  H.Clear();
  D.Key(VK_RIGHT);
  D.Pump();
  EXPECT_EQ(2, Cur(T));
  D.Key(VK_RIGHT);  // at the end: nothing
  D.Key(VK_HOME);
  D.Pump();
  EXPECT_EQ(0, Cur(T));
  EXPECT_EQ(4u, Codes(T).size());
  EXPECT_EQ(TCN_KEYDOWN, H.Notifies(T).front());
  // The parent may refuse.
  Refuse = 1;
  D.Click(Mid(T, 2));
  D.Pump();
  EXPECT_EQ(0, Cur(T));
}

TEST_F(TabCtrlTest, GeometryHitTestAndAdjustRect) {
  HWND T = Make();
  Insert(T, 0, "A");
  Insert(T, 1, "A much longer tab");
  RECT A = Rect(T, 0), B = Rect(T, 1);
  EXPECT_EQ(2, A.left);
  EXPECT_EQ(A.right, B.left);
  EXPECT_GT(B.right - B.left, A.right - A.left);
  EXPECT_EQ(A.top, B.top);
  TCHITTESTINFO Hit;
  Hit.pt = POINT{(B.left + B.right) / 2, (B.top + B.bottom) / 2};
  EXPECT_EQ(1, SendMessage(T, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
  EXPECT_EQ(TCHT_ONITEMLABEL, Hit.flags);
  Hit.pt = POINT{200, 150};
  EXPECT_EQ(-1, SendMessage(T, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
  EXPECT_EQ(TCHT_NOWHERE, Hit.flags);
  // The display area lies below the tabs, inside the frame; the larger rectangle brings it back.
  RECT W{0, 0, 300, 200};
  RECT Area = W;
  SendMessage(T, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Area));
  EXPECT_GE(Area.top, A.bottom);
  EXPECT_GT(Area.left, 0);
  EXPECT_LT(Area.right, 300);
  SendMessage(T, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&Area));
  EXPECT_EQ(W.left, Area.left);
  EXPECT_EQ(W.top, Area.top);
  EXPECT_EQ(W.right, Area.right);
  EXPECT_EQ(W.bottom, Area.bottom);
  // Fixed width.
  HWND F = Make(TCS_FIXEDWIDTH, RECT{10, 220, 310, 300});
  SendMessage(F, TCM_SETITEMSIZE, 0, MAKELPARAM(70, 24));
  Insert(F, 0, "x");
  Insert(F, 1, "a long, long text");
  EXPECT_EQ(70, Rect(F, 0).right - Rect(F, 0).left);
  EXPECT_EQ(70, Rect(F, 1).right - Rect(F, 1).left);
  EXPECT_EQ(24, Rect(F, 1).bottom - Rect(F, 1).top);
}

TEST_F(TabCtrlTest, MultiLineRowsKeepTheCurrentRowNextToTheDisplay) {
  HWND T = Make(TCS_MULTILINE, RECT{10, 10, 160, 210});
  for (int I = 0; I < 6; ++I) Insert(T, I, ("Page " + std::to_string(I)).c_str());
  int Rows = static_cast<int>(SendMessage(T, TCM_GETROWCOUNT, 0, 0));
  EXPECT_GT(Rows, 1);
  SendMessage(T, TCM_SETCURSEL, 0, 0);
  int Bottom0 = Rect(T, 0).top;
  for (int I = 1; I < 6; ++I) EXPECT_LE(Rect(T, I).top, Bottom0);
  SendMessage(T, TCM_SETCURSEL, 5, 0);
  EXPECT_GT(Rect(T, 5).top, Rect(T, 0).top);
}

TEST_F(TabCtrlTest, LongSingleRowScrollsWithArrows) {
  HWND T = Make(0, RECT{10, 10, 170, 110});
  for (int I = 0; I < 8; ++I) Insert(T, I, ("Tab number " + std::to_string(I)).c_str());
  RECT C{};
  GetClientRect(T, &C);
  int Arrow = GetSystemMetrics(SM_CXVSCROLL);
  // The right arrow scrolls by one tab.
  RECT First = Rect(T, 0);
  EXPECT_GT(First.right, First.left);
  D.Click(At(T, C.right - Arrow / 2, Rect(T, 0).bottom - 4));
  D.Pump();
  RECT Gone = Rect(T, 0);
  EXPECT_EQ(Gone.left, Gone.right);  // scrolled away
  EXPECT_EQ(2, Rect(T, 1).left);
  // Moving to the last tab by keys brings it into view.
  SetFocus(T);
  D.Key(VK_END);
  D.Pump();
  RECT Last = Rect(T, 7);
  EXPECT_GT(Last.right, Last.left);
  EXPECT_LE(Last.right, C.right - 2 * Arrow);
}

TEST_F(TabCtrlTest, OwnerDrawnTabsAndButtons) {
  HWND T = Make(TCS_OWNERDRAWFIXED);
  Insert(T, 0, "a", 5);
  Insert(T, 1, "b", 6);
  SendMessage(T, TCM_SETCURSEL, 1, 0);
  H.Clear();
  UpdateWindow(T);
  auto Draws = H.Of(WM_DRAWITEM);
  ASSERT_EQ(2u, Draws.size());
  EXPECT_EQ(ODT_TAB, Draws[0].Draw->CtlType);
  EXPECT_EQ(0u, Draws[0].Draw->itemState);
  EXPECT_EQ(5u, Draws[0].Draw->itemData);
  EXPECT_EQ(static_cast<UINT>(ODS_SELECTED), Draws[1].Draw->itemState);

  // Buttons do not take the focus on a click; the current one is drawn pushed in.
  HWND B = Make(TCS_BUTTONS, RECT{10, 220, 310, 300});
  Insert(B, 0, "First");
  Insert(B, 1, "Second");
  SetFocus(H.Hwnd);
  D.Click(Mid(B, 1));
  D.Pump();
  EXPECT_EQ(1, Cur(B));
  EXPECT_NE(B, GetFocus());
  UpdateWindow(B);
  RECT R = Rect(B, 1);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), D.ClientPixel(B, POINT{R.left + 5, R.top}));
  RECT R0 = Rect(B, 0);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), D.ClientPixel(B, POINT{R0.left + 5, R0.bottom - 2}));
}

}  // namespace builtin_test
