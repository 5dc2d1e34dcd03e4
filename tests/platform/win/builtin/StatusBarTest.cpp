#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NotifySpy.h"
#include "tests/common/Display.h"
#include "platform/win/builtin/StatusBar.h"

namespace builtin_test {

using builtin_test::At;

namespace {

class StatusBarTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  builtin_test::Host H;

  StatusBarTest() { k58::builtin::RegisterStatusBarClass(); }

  HWND Make(DWORD Style = 0) {
    HWND S = H.Child(STATUSCLASSNAME, Style, RECT{0, 0, 0, 0}, 200, "Ready");
    EXPECT_NE(nullptr, S);
    return S;
  }
  static RECT PartRect(HWND S, int I) {
    RECT R{-1, -1, -1, -1};
    SendMessage(S, SB_GETRECT, I, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  static std::string Text(HWND S, int I, UINT* Type = nullptr) {
    char B[128] = {};
    LRESULT R = SendMessage(S, SB_GETTEXT, I, reinterpret_cast<LPARAM>(B));
    if (Type) *Type = HIWORD(R);
    EXPECT_EQ(std::string(B).size(), LOWORD(R));
    return B;
  }
  // Where the status bar sits in its parent's client area.
  RECT Placement(HWND S) const {
    RECT R{};
    GetWindowRect(S, &R);
    MapWindowPoints(nullptr, H.Hwnd, reinterpret_cast<POINT*>(&R), 2);
    return R;
  }
  static bool HasColour(k58::winui::TestDisplay& D, HWND S, RECT R, COLORREF C) {
    return k58test::CountColour(k58test::ClientPixels(D, S), R, C) > 0;
  }
};

}  // namespace

TEST_F(StatusBarTest, PlacesItselfAlongTheParentAndFollowsItsSize) {
  HWND S = Make();
  RECT P{};
  GetClientRect(H.Hwnd, &P);
  RECT R = Placement(S);
  EXPECT_EQ(0, R.left);
  EXPECT_EQ(P.right, R.right);
  EXPECT_EQ(P.bottom, R.bottom);
  int Height = R.bottom - R.top;
  EXPECT_GT(Height, 15);
  // The parent forwards its WM_SIZE; the bar follows.
  SetWindowPos(H.Hwnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(H.Hwnd, &P);
  SendMessage(S, WM_SIZE, SIZE_RESTORED, MAKELPARAM(P.right, P.bottom));
  R = Placement(S);
  EXPECT_EQ(P.right, R.right);
  EXPECT_EQ(P.bottom, R.bottom);
  EXPECT_EQ(Height, R.bottom - R.top);
  // A minimum height counts from the next WM_SIZE.
  SendMessage(S, SB_SETMINHEIGHT, 40, 0);
  SendMessage(S, WM_SIZE, 0, 0);
  R = Placement(S);
  EXPECT_GT(R.bottom - R.top, 40);
  EXPECT_EQ(P.bottom, R.bottom);

  HWND Top = Make(CCS_TOP);
  EXPECT_EQ(0, Placement(Top).top);
  HWND Free = H.Child(STATUSCLASSNAME, CCS_NOPARENTALIGN, RECT{10, 50, 110, 60}, 201);
  R = Placement(Free);
  EXPECT_EQ(50, R.top);
  EXPECT_EQ(10, R.left);
  EXPECT_EQ(110, R.right);
  EXPECT_EQ(Height, R.bottom - R.top);  // the height is the bar's own
}

TEST_F(StatusBarTest, PartsTextsAndSimpleMode) {
  HWND S = Make();
  EXPECT_EQ("Ready", Text(S, 0));  // the window text goes to the first part
  INT Edges[3] = {50, 130, -1};
  EXPECT_TRUE(SendMessage(S, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(Edges)));
  INT Got[5] = {};
  EXPECT_EQ(3, SendMessage(S, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(Got)));
  EXPECT_EQ(130, Got[1]);
  EXPECT_EQ(-1, Got[2]);
  RECT C{};
  GetClientRect(S, &C);
  EXPECT_EQ(0, PartRect(S, 0).left);
  EXPECT_EQ(50, PartRect(S, 0).right);
  EXPECT_EQ(52, PartRect(S, 1).left);  // two pixels between parts
  EXPECT_EQ(130, PartRect(S, 1).right);
  EXPECT_EQ(C.right, PartRect(S, 2).right);
  EXPECT_EQ(C.bottom, PartRect(S, 2).bottom);
  EXPECT_EQ(-1, PartRect(S, 3).left);  // no such part

  EXPECT_TRUE(SendMessage(S, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("COM3")));
  UINT Type = 0;
  EXPECT_EQ("COM3", Text(S, 1, &Type));
  EXPECT_EQ(SBT_POPOUT, Type);
  EXPECT_EQ(MAKELONG(4, SBT_POPOUT), SendMessage(S, SB_GETTEXTLENGTH, 1, 0));
  EXPECT_EQ("Ready", Text(S, 0));  // parts keep their text when the parts change
  EXPECT_FALSE(SendMessage(S, SB_SETTEXT, 7, reinterpret_cast<LPARAM>("x")));
  INT Bad[1] = {10};
  EXPECT_FALSE(SendMessage(S, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(Bad)));
  EXPECT_FALSE(SendMessage(S, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(Bad)));

  // Simple mode: one text over the whole width, the parts kept for later.
  SendMessage(S, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>("Reading the radio..."));
  SendMessage(S, SB_SIMPLE, TRUE, 0);
  EXPECT_TRUE(SendMessage(S, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(C.right, PartRect(S, 0).right);
  EXPECT_EQ("Reading the radio...", Text(S, SB_SIMPLEID));
  SendMessage(S, SB_SIMPLE, FALSE, 0);
  EXPECT_EQ(50, PartRect(S, 0).right);
  EXPECT_EQ("COM3", Text(S, 1));
  INT Borders[3] = {};
  EXPECT_TRUE(SendMessage(S, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(Borders)));
  EXPECT_EQ(2, Borders[2]);
}

TEST_F(StatusBarTest, PaintsTextBordersAndOwnerDrawnParts) {
  H.OnMessage = [](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Msg == WM_DRAWITEM) {
      auto* Di = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
      HBRUSH B = CreateSolidBrush(RGB(0, 0, 255));
      FillRect(Di->hDC, &Di->rcItem, B);
      DeleteObject(B);
      return TRUE;
    }
    return std::nullopt;
  };
  HWND S = Make();
  INT Edges[3] = {120, 240, -1};
  SendMessage(S, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(Edges));
  SendMessage(S, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("left\tmid\tright"));
  SendMessage(S, SB_SETTEXT, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
  SendMessage(S, SB_SETTEXT, 2 | SBT_OWNERDRAW, 4242);
  EXPECT_EQ(4242, SendMessage(S, SB_GETTEXT, 2, 0));
  H.Clear();
  UpdateWindow(S);
  auto Of = H.Of(WM_DRAWITEM);
  ASSERT_EQ(1u, Of.size());
  EXPECT_EQ(2u, Of[0].Draw->itemID);
  EXPECT_EQ(4242u, Of[0].Draw->itemData);
  EXPECT_EQ(200u, Of[0].Draw->CtlID);
  RECT P2 = PartRect(S, 2);
  EXPECT_GT(Of[0].Draw->rcItem.left, P2.left);  // inside the part's border
  EXPECT_EQ(RGB(0, 0, 255), D.ClientPixel(S, POINT{P2.left + 10, (P2.top + P2.bottom) / 2}));

  // Tab-separated pieces: left, centred and right.
  COLORREF Ink = GetSysColor(COLOR_BTNTEXT);
  RECT P0 = PartRect(S, 0);
  EXPECT_TRUE(HasColour(D, S, RECT{P0.left + 2, P0.top, P0.left + 25, P0.bottom}, Ink));
  EXPECT_TRUE(HasColour(D, S, RECT{50, P0.top, 70, P0.bottom}, Ink));
  EXPECT_TRUE(HasColour(D, S, RECT{P0.right - 25, P0.top, P0.right - 3, P0.bottom}, Ink));
  EXPECT_FALSE(HasColour(D, S, RECT{30, P0.top + 2, 40, P0.bottom - 2}, Ink));
  // A sunken part has a shadow on top; a part without borders does not.
  COLORREF Shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(Shadow, D.ClientPixel(S, POINT{P0.left + 60, P0.top}));
  RECT P1 = PartRect(S, 1);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), D.ClientPixel(S, POINT{P1.left + 60, P1.top}));
}

TEST_F(StatusBarTest, SizeGripSizesTheTopLevelWindow) {
  SetWindowLong(H.Hwnd, GWL_STYLE, GetWindowLong(H.Hwnd, GWL_STYLE) | WS_THICKFRAME);
  SetWindowPos(H.Hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  HWND S = Make(SBARS_SIZEGRIP);
  RECT C{};
  GetClientRect(S, &C);
  POINT Corner = At(S, C.right - 3, C.bottom - 3);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessage(S, WM_NCHITTEST, 0, MAKELPARAM(Corner.x, Corner.y)));
  POINT Middle = At(S, C.right / 2, C.bottom / 2);
  EXPECT_EQ(HTCLIENT, SendMessage(S, WM_NCHITTEST, 0, MAKELPARAM(Middle.x, Middle.y)));
  UpdateWindow(S);
  // The grip's ridges are drawn in the shadow colour near the corner.
  EXPECT_TRUE(HasColour(D, S, RECT{C.right - C.bottom, 0, C.right, C.bottom}, GetSysColor(COLOR_BTNSHADOW)));
  RECT Before{};
  GetWindowRect(H.Hwnd, &Before);
  D.Drag(Corner, POINT{Corner.x + 40, Corner.y + 30});
  D.Pump();
  RECT After{};
  GetWindowRect(H.Hwnd, &After);
  EXPECT_EQ(Before.right + 40, After.right);
  EXPECT_EQ(Before.bottom + 30, After.bottom);
  // A maximised window shows no grip.
  ShowWindow(H.Hwnd, SW_MAXIMIZE);
  SendMessage(S, WM_SIZE, 0, 0);
  GetClientRect(S, &C);
  Corner = At(S, C.right - 3, C.bottom - 3);
  EXPECT_EQ(HTCLIENT, SendMessage(S, WM_NCHITTEST, 0, MAKELPARAM(Corner.x, Corner.y)));
}

}  // namespace builtin_test
