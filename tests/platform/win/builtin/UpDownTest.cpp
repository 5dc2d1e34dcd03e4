// The up-down control: steps asked of and told to the parent, range and wrapping, the buddy window,
// auto-repeat with acceleration and the arrow keys.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ::testing::ElementsAre;
using UpDownTest = ControlsTest;

struct Pair {
  HWND Edit;
  HWND Spin;
};

Pair MakePair(ControlsTest& T, DWORD Style, int Min, int Max, int Pos) {
  HWND E = T.Child(WC_EDIT, "", ES_AUTOHSCROLL, 10, 10, 80, 20, 1);
  HWND U = T.Child(UPDOWN_CLASS, "", Style | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 16, 20, 2);
  SendMessage(U, UDM_SETBUDDY, reinterpret_cast<WPARAM>(E), 0);
  SendMessage(U, UDM_SETRANGE32, static_cast<WPARAM>(Min), Max);
  SendMessage(U, UDM_SETPOS32, 0, Pos);
  return {E, U};
}

TEST_F(UpDownTest, AClickAsksTheParentThenMovesAndTellsIt) {
  Pair P = MakePair(*this, 0, 0, 10, 5);
  EXPECT_EQ(Text(P.Edit), "5");
  // The control sits against the right side of its buddy.
  RECT E, U;
  GetWindowRect(P.Edit, &E);
  GetWindowRect(P.Spin, &U);
  EXPECT_EQ(E.right, U.left);
  D->Pump();
  int Seen = -1;
  OnParent = [&](UINT Msg, WPARAM, LPARAM L, LRESULT&) {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == UDN_DELTAPOS) {
      auto* Nm = reinterpret_cast<NMUPDOWN*>(L);
      Seen = Nm->iPos * 100 + Nm->iDelta;
    }
    return false;
  };
  D->Click(ScreenOf(P.Spin, 8, 3));  // up
  D->Pump();
  EXPECT_EQ(Seen, 5 * 100 + 1);
  EXPECT_EQ(Text(P.Edit), "6");
  std::vector<UINT> Order;
  for (const Message& N : Notes)
    if (N.Msg == WM_NOTIFY || N.Msg == WM_VSCROLL) Order.push_back(N.Msg == WM_NOTIFY ? 0 : N.Code);
  EXPECT_THAT(Order, ElementsAre(0u, SB_THUMBPOSITION, SB_ENDSCROLL));
  EXPECT_EQ(ScrollPos(NotesOf(WM_VSCROLL).front()), 6);
  EXPECT_EQ(NotesOf(WM_VSCROLL).front().From, P.Spin);
  // A non-zero answer refuses the step.
  OnParent = [](UINT Msg, WPARAM, LPARAM L, LRESULT& R) {
    if (Msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(L)->code != UDN_DELTAPOS) return false;
    R = 1;
    return true;
  };
  D->Click(ScreenOf(P.Spin, 8, 17));  // down
  D->Pump();
  EXPECT_EQ(Text(P.Edit), "6");
  EXPECT_EQ(SendMessage(P.Spin, UDM_GETPOS32, 0, 0), 6);
}

TEST_F(UpDownTest, TheRangeClampsOrWrapsAndTheDefaultRangeRunsBackwards) {
  Pair P = MakePair(*this, 0, 0, 3, 3);
  SendKey(P.Edit, VK_UP);
  EXPECT_EQ(Text(P.Edit), "3");
  HWND W = Child(UPDOWN_CLASS, "", UDS_WRAP | UDS_ARROWKEYS, 200, 10, 16, 20, 3);
  SendMessage(W, UDM_SETRANGE32, 0, 3);
  SendMessage(W, UDM_SETPOS32, 0, 3);
  SendKey(W, VK_UP);
  EXPECT_EQ(SendMessage(W, UDM_GETPOS32, 0, 0), 0);
  SendKey(W, VK_DOWN);
  EXPECT_EQ(SendMessage(W, UDM_GETPOS32, 0, 0), 3);
  HWND Def = Child(UPDOWN_CLASS, "", UDS_ARROWKEYS, 240, 10, 16, 20, 4);
  EXPECT_EQ(SendMessage(Def, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));
  SendMessage(Def, UDM_SETPOS, 0, MAKELPARAM(50, 0));
  SendKey(Def, VK_UP);  // towards the maximum, which is 0
  EXPECT_EQ(SendMessage(Def, UDM_GETPOS32, 0, 0), 49);
}

TEST_F(UpDownTest, TheBuddysNumberIsReadBackAndBadTextIsReported) {
  Pair P = MakePair(*this, 0, 0, 5000, 1200);
  EXPECT_EQ(Text(P.Edit), "1,200");
  SetWindowText(P.Edit, "2,345");
  EXPECT_EQ(LOWORD(SendMessage(P.Spin, UDM_GETPOS, 0, 0)), 2345);
  EXPECT_EQ(HIWORD(SendMessage(P.Spin, UDM_GETPOS, 0, 0)), 0);
  SetWindowText(P.Edit, "abc");
  BOOL Error = FALSE;
  EXPECT_EQ(SendMessage(P.Spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&Error)), 2345);
  EXPECT_TRUE(Error);
  SetWindowText(P.Edit, "100");
  SendKey(P.Edit, VK_DOWN);  // the step starts from the buddy's number
  EXPECT_EQ(Text(P.Edit), "99");
  SendMessage(P.Spin, UDM_SETBASE, 16, 0);
  SendMessage(P.Spin, UDM_SETPOS32, 0, 255);
  EXPECT_EQ(Text(P.Edit), "0x00FF");
}

TEST_F(UpDownTest, HoldingAButtonRepeatsFasterAsTimeGoesOn) {
  Pair P = MakePair(*this, UDS_NOTHOUSANDS, 0, 10000, 0);
  UDACCEL Accel[] = {{0, 1}, {1, 10}};
  SendMessage(P.Spin, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(Accel));
  D->Pump();
  D->Press(ScreenOf(P.Spin, 8, 3));
  D->Pump();
  EXPECT_EQ(Text(P.Edit), "1");
  D->Advance(400);  // the first repeat
  D->Pump();
  EXPECT_EQ(Text(P.Edit), "2");
  for (int I = 0; I < 6; ++I) {
    D->Advance(100);
    D->Pump();
  }
  int Now = std::stoi(Text(P.Edit));
  EXPECT_GT(Now, 8);  // after a second each step is 10
  D->Release(ScreenOf(P.Spin, 8, 3));
  D->Pump();
  D->Advance(1000);
  D->Pump();
  EXPECT_EQ(std::stoi(Text(P.Edit)), Now);
  EXPECT_EQ(NotesOf(WM_VSCROLL).back().Code, SB_ENDSCROLL);
}

}  // namespace
}  // namespace builtin_test
