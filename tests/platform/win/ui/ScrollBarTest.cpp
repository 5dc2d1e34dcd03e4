// Standard scroll bars: their state and visibility, the geometry GetScrollBarInfo reports, their
// pixels, and the WM_VSCROLL/WM_HSCROLL codes of clicks, thumb drags and auto-repeat.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using ScrollBarTest = WinUiTest;

SCROLLINFO Info(int Min, int Max, UINT Page, int Pos, UINT Mask = SIF_ALL) {
  SCROLLINFO Si;
  Si.fMask = Mask;
  Si.nMin = Min;
  Si.nMax = Max;
  Si.nPage = Page;
  Si.nPos = Pos;
  return Si;
}

std::vector<WORD> Codes(HWND W, UINT Msg = WM_VSCROLL) {
  std::vector<WORD> Out;
  for (const Message& S : Log())
    if (S.Hwnd == W && S.Msg == Msg) Out.push_back(LOWORD(S.WParam));
  return Out;
}

TEST_F(ScrollBarTest, PositionsStayInRangeAndEmptyRangesHideOrDisableTheBar) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 200);
  RECT C;
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 184);
  SCROLLINFO Si = Info(0, 99, 20, 500);
  EXPECT_EQ(SetScrollInfo(W, SB_VERT, &Si, TRUE), 80);  // 99 - (20 - 1)
  Si = Info(0, 0, 0, 0, SIF_POS);
  Si.nPos = -5;
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  EXPECT_EQ(GetScrollPos(W, SB_VERT), 0);
  SCROLLINFO Got;
  Got.fMask = SIF_ALL;
  GetScrollInfo(W, SB_VERT, &Got);
  EXPECT_EQ(Got.nMax, 99);
  EXPECT_EQ(Got.nPage, 20u);
  // The page covers the whole range: the bar goes, and the client area grows.
  Log().Clear();
  Si = Info(0, 9, 10, 0, SIF_RANGE | SIF_PAGE);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  EXPECT_FALSE(GetWindowLong(W, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 200);
  EXPECT_EQ(LOWORD(Log().First(W, WM_SIZE).LParam), 200);
  // With SIF_DISABLENOSCROLL it stays, disabled.
  Si = Info(0, 9, 10, 0, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  SCROLLBARINFO Sb;
  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sb));
  EXPECT_EQ(Sb.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  Si = Info(0, 50, 10, 0, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  GetScrollBarInfo(W, OBJID_VSCROLL, &Sb);
  EXPECT_EQ(Sb.rgstate[0], 0u);
  ShowScrollBar(W, SB_BOTH, FALSE);
  GetScrollBarInfo(W, OBJID_HSCROLL, &Sb);
  EXPECT_EQ(Sb.rgstate[0], STATE_SYSTEM_INVISIBLE);
  ShowScrollBar(W, SB_HORZ, TRUE);
  GetClientRect(W, &C);
  EXPECT_EQ(C.bottom, 184);
  int Lo, Hi;
  SetScrollRange(W, SB_HORZ, 5, 15, TRUE);
  GetScrollRange(W, SB_HORZ, &Lo, &Hi);
  EXPECT_EQ(Lo, 5);
  EXPECT_EQ(Hi, 15);
  EXPECT_EQ(SetScrollPos(W, SB_HORZ, 12, TRUE), 5);
  EXPECT_EQ(GetScrollPos(W, SB_HORZ), 12);
}

TEST_F(ScrollBarTest, ScrollBarInfoGivesScreenGeometryAndTheThumb) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 100, 50, 200, 202);
  SCROLLINFO Si = Info(0, 99, 50, 50);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  SCROLLBARINFO Sb;
  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sb));
  EXPECT_EQ(Sb.cbSize, 60u);
  EXPECT_EQ(Sb.rcScrollBar.left, 100 + 1 + 182);
  EXPECT_EQ(Sb.rcScrollBar.right, 100 + 1 + 198);
  EXPECT_EQ(Sb.rcScrollBar.top, 51);
  EXPECT_EQ(Sb.rcScrollBar.bottom, 251);
  EXPECT_EQ(Sb.dxyLineButton, 16);
  // Track 200 - 32 = 168 pixels; half a page: an 84-pixel thumb at the end.
  EXPECT_EQ(Sb.xyThumbTop, 16 + 84);
  EXPECT_EQ(Sb.xyThumbBottom, 16 + 168);
  EnableScrollBar(W, SB_VERT, ESB_DISABLE_UP);
  GetScrollBarInfo(W, OBJID_VSCROLL, &Sb);
  EXPECT_EQ(Sb.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(Sb.rgstate[5], 0u);
  EXPECT_FALSE(GetScrollBarInfo(W, OBJID_WINDOW, &Sb));
}

TEST_F(ScrollBarTest, TheBarIsDrawnWithArrowsTrackAndThumb) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 100, 100);
  SCROLLINFO Si = Info(0, 99, 25, 0);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  D->Pump();
  // Arrow button: raised face with a black glyph in the middle.
  EXPECT_EQ(D->WindowPixel(W, Pt(84, 0)), kFace);
  EXPECT_EQ(D->WindowPixel(W, Pt(92, 7)), kBlack);
  // The thumb at the top of the track, the track below it.
  EXPECT_EQ(D->WindowPixel(W, Pt(92, 26)), kFace);
  EXPECT_EQ(D->WindowPixel(W, Pt(99, 30)), RGB(64, 64, 64));  // the thumb's dark edge
  EXPECT_EQ(D->WindowPixel(W, Pt(92, 60)), GetSysColor(COLOR_SCROLLBAR));
}

TEST_F(ScrollBarTest, ClicksOnArrowsAndTrackSendLineAndPageCodes) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 100, 200);
  SCROLLINFO Si = Info(0, 99, 10, 0);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  D->Pump();
  Log().Clear();
  D->Click(Pt(192, 295));  // the down arrow
  D->Click(Pt(192, 250));  // the track below the thumb
  D->Pump();
  EXPECT_THAT(Codes(W), ElementsAre(SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL));
  EXPECT_EQ(GetScrollPos(W, SB_VERT), 0);  // the window moves the position itself
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsUntilReleased) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 100, 200);
  SCROLLINFO Si = Info(0, 99, 10, 0);
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  D->Pump();
  Log().Clear();
  D->Press(Pt(192, 105));
  D->AdvanceLater(200);  // the first repeat
  D->AdvanceLater(50);
  D->AdvanceLater(50);
  D->Later([] { k58::winui::InjectMouseButton(Pt(192, 105), k58::winui::MouseButton::Left, false); });
  D->Pump();
  EXPECT_THAT(Codes(W), ElementsAre(SB_LINEUP, SB_LINEUP, SB_LINEUP, SB_LINEUP, SB_ENDSCROLL));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_HSCROLL, 100, 100, 216, 100);
  SCROLLINFO Si = Info(0, 100, 0, 0);
  SetScrollInfo(W, SB_HORZ, &Si, TRUE);
  D->Pump();
  // Track 184 pixels, thumb 16: 168 pixels for 0..100.
  Log().Clear();
  Handle(W, [](HWND H, UINT M, WPARAM Wp, LPARAM, LRESULT&) {
    if (M == WM_HSCROLL && LOWORD(Wp) == SB_THUMBTRACK) {
      SCROLLINFO T;
      T.fMask = SIF_TRACKPOS | SIF_POS;
      GetScrollInfo(H, SB_HORZ, &T);
      EXPECT_EQ(T.nTrackPos, static_cast<SHORT>(HIWORD(Wp)));
      EXPECT_EQ(T.nPos, 0);
    }
    return false;
  });
  D->Drag(Pt(100 + 16 + 8, 190), Pt(100 + 16 + 8 + 84, 190), 2);
  D->Pump();
  std::vector<WORD> C = Codes(W, WM_HSCROLL);
  ASSERT_THAT(C, ElementsAre(SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL));
  Message Last;
  for (const Message& S : Log())
    if (S.Msg == WM_HSCROLL && LOWORD(S.WParam) == SB_THUMBPOSITION) Last = S;
  EXPECT_EQ(HIWORD(Last.WParam), 50);
}

}  // namespace
}  // namespace winui_test
