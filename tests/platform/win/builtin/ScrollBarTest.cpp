// The scroll-bar control: its messages, and clicks and thumb drags reported to the parent with the
// control as the sender.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ScrollBarTest = ControlsTest;

TEST_F(ScrollBarTest, MessagesSetTheRangeAndClampThePosition) {
  HWND S = Child(WC_SCROLLBAR, "", SBS_VERT, 10, 10, GetSystemMetrics(SM_CXVSCROLL), 150);
  SendMessage(S, SBM_SETRANGE, 0, 50);
  int Min = -1, Max = -1;
  SendMessage(S, SBM_GETRANGE, reinterpret_cast<WPARAM>(&Min), reinterpret_cast<LPARAM>(&Max));
  EXPECT_EQ(Min, 0);
  EXPECT_EQ(Max, 50);
  EXPECT_EQ(SendMessage(S, SBM_SETPOS, 20, TRUE), 0);
  EXPECT_EQ(SendMessage(S, SBM_GETPOS, 0, 0), 20);
  SendMessage(S, SBM_SETPOS, 80, TRUE);
  EXPECT_EQ(GetScrollPos(S, SB_CTL), 50);
  SCROLLINFO Si;
  Si.fMask = SIF_PAGE | SIF_POS;
  Si.nPage = 11;
  Si.nPos = 45;
  SetScrollInfo(S, SB_CTL, &Si, TRUE);
  Si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(S, SB_CTL, &Si));
  EXPECT_EQ(Si.nPage, 11u);
  EXPECT_EQ(Si.nPos, 40);  // the page must fit
  // Even with nothing to scroll the control stays shown.
  SendMessage(S, SBM_SETRANGE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(S));
}

TEST_F(ScrollBarTest, ClicksAndDragsReachTheParentFromTheControl) {
  int Cx = GetSystemMetrics(SM_CXVSCROLL);
  HWND S = Child(WC_SCROLLBAR, "", SBS_VERT, 10, 10, Cx, 200);
  SendMessage(S, SBM_SETRANGE, 0, 100);
  D->Pump();
  D->Click(ScreenOf(S, Cx / 2, 200 - 3));  // the down arrow
  D->Pump();
  auto Scrolls = NotesOf(WM_VSCROLL);
  ASSERT_GE(Scrolls.size(), 2u);
  EXPECT_EQ(Scrolls.front().From, S);
  EXPECT_EQ(Scrolls.front().Code, SB_LINEDOWN);
  EXPECT_EQ(Scrolls.back().Code, SB_ENDSCROLL);
  // The parent moves the thumb; a drag of the thumb reports tracking positions, then the final one.
  Notes.Clear();
  SCROLLBARINFO Info;
  SendMessage(S, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&Info));
  int ThumbMid = (Info.xyThumbTop + Info.xyThumbBottom) / 2;
  D->Drag(ScreenOf(S, Cx / 2, ThumbMid), ScreenOf(S, Cx / 2, ThumbMid + 60));
  D->Pump();
  Scrolls = NotesOf(WM_VSCROLL);
  ASSERT_GE(Scrolls.size(), 2u);
  EXPECT_EQ(Scrolls.front().Code, SB_THUMBTRACK);
  bool SawPosition = false;
  for (const Message& N : Scrolls)
    if (N.Code == SB_THUMBPOSITION) {
      SawPosition = true;
      EXPECT_GT(ScrollPos(N), 20);
    }
  EXPECT_TRUE(SawPosition);
  // The position is the parent's to set.
  EXPECT_EQ(SendMessage(S, SBM_GETPOS, 0, 0), 0);
  // Keys on a focused bar.
  Notes.Clear();
  SendMessage(S, WM_KEYDOWN, VK_NEXT, 0);
  ASSERT_FALSE(NotesOf(WM_VSCROLL).empty());
  EXPECT_EQ(NotesOf(WM_VSCROLL).front().Code, SB_PAGEDOWN);
}

TEST_F(ScrollBarTest, HorizontalBarsSendHorizontalMessages) {
  int Cy = GetSystemMetrics(SM_CYHSCROLL);
  HWND S = Child(WC_SCROLLBAR, "", SBS_HORZ, 10, 10, 200, Cy);
  SendMessage(S, SBM_SETRANGE, 0, 10);
  D->Pump();
  D->Click(ScreenOf(S, 3, Cy / 2));
  D->Pump();
  ASSERT_FALSE(NotesOf(WM_HSCROLL).empty());
  EXPECT_EQ(NotesOf(WM_HSCROLL).front().Code, SB_LINELEFT);
  EXPECT_TRUE(NotesOf(WM_VSCROLL).empty());
}

}  // namespace
}  // namespace builtin_test
