// Calls with arguments at the edges of their types or plainly wrong: they fail or clamp, never crash,
// overflow or allocate without bound.
#include <climits>

#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ArgumentsTest = WinUiTest;

TEST_F(ArgumentsTest, ScrollRangesAtTheEdgesOfTheIntegersStayConsistent) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 100, 100, 300, 200);
  struct Case {
    int Min, Max;
    UINT Page;
    int Pos;
  };
  const Case kCases[] = {
      {INT_MIN, INT_MAX, 0, 0},         {INT_MIN, INT_MAX, UINT_MAX, INT_MAX}, {INT_MIN, INT_MAX, 10, INT_MAX},
      {INT_MIN, INT_MAX, 10, INT_MIN},  {0, INT_MAX, 0x80000000u, 5},          {10, 0, 3, 7},
      {INT_MAX - 1, INT_MAX, 1, INT_MAX}, {INT_MIN, INT_MIN + 1, 1, INT_MIN},
  };
  for (const Case& C : kCases) {
    SCOPED_TRACE(testing::Message() << C.Min << ".." << C.Max << " page " << C.Page << " pos " << C.Pos);
    SCROLLINFO Si;
    Si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    Si.nMin = C.Min;
    Si.nMax = C.Max;
    Si.nPage = C.Page;
    Si.nPos = C.Pos;
    SetScrollInfo(W, SB_VERT, &Si, TRUE);
    SCROLLINFO Out;
    Out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(W, SB_VERT, &Out));
    EXPECT_GE(Out.nPos, Out.nMin);
    EXPECT_LE(Out.nPos, Out.nMax);
    SCROLLBARINFO Info;
    ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Info));
    EXPECT_LE(Info.xyThumbTop, Info.xyThumbBottom);
    // Drag the thumb from its place to the end of the bar and back.
    POINT Thumb{Info.rcScrollBar.left + 4, Info.rcScrollBar.top + (Info.xyThumbTop + Info.xyThumbBottom) / 2};
    D->Drag(Thumb, Pt(Thumb.x, Info.rcScrollBar.bottom + 50), 2);
    D->Drag(Pt(Thumb.x, Info.rcScrollBar.bottom - 20), Pt(Thumb.x, Info.rcScrollBar.top - 50), 2);
    D->Pump();
    D->Advance(1000);
  }
}

TEST_F(ArgumentsTest, GeometryAtTheEdgesOfTheIntegers) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  HWND Child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, W);
  D->Pump();
  SetWindowPos(Child, nullptr, INT_MAX - 10, INT_MIN + 10, INT_MAX, INT_MAX, SWP_NOZORDER);
  SetWindowPos(W, nullptr, INT_MIN, INT_MIN, -5, -5, SWP_NOZORDER);
  SetWindowPos(W, nullptr, INT_MAX - 100, INT_MAX - 100, 200000, 200000, SWP_NOZORDER);
  RECT Far;
  GetWindowRect(W, &Far);
  EXPECT_GT(Far.right, Far.left);
  EXPECT_GT(Far.bottom, Far.top);
  POINT P{INT_MAX, INT_MIN};
  ClientToScreen(Child, &P);
  ScreenToClient(Child, &P);
  WindowFromPoint(POINT{INT_MAX, INT_MIN});
  RECT Bad{100, 100, 0, 0};
  InvalidateRect(W, &Bad, TRUE);
  RECT Huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  InvalidateRect(W, &Huge, TRUE);
  ScrollWindowEx(W, INT_MAX, INT_MIN, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
  ScrollWindow(W, INT_MIN, INT_MAX, &Huge, &Huge);
  MoveWindow(W, 0, 0, 200, 150, TRUE);
  D->Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.right - R.left, 200);
  EXPECT_EQ(MapWindowPoints(W, Child, nullptr, 5), 0);
}

TEST_F(ArgumentsTest, CaretsAndCursorsOfImpossibleSizesAreRefused) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(W);
  CreateCaret(W, nullptr, INT_MAX, INT_MAX);
  ShowCaret(W);
  SetCaretPos(INT_MAX, INT_MIN);
  D->Advance(600);
  D->Pump();
  DestroyCaret();
  BYTE Mask[4] = {};
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, -1, 16, Mask, Mask), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 16, 16, nullptr, Mask), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 100000, 100000, Mask, Mask), nullptr);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);
}

TEST_F(ArgumentsTest, HandlesThatAreNotWhatTheCallWantsFail) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HBRUSH Brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(SetWindowRgn(W, reinterpret_cast<HRGN>(Brush), TRUE), 0);
  HRGN Out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(W, Out), ERROR_REGION);
  EXPECT_EQ(GetWindowRgn(W, reinterpret_cast<HRGN>(Brush)), ERROR_REGION);
  DeleteObject(Out);
  DeleteObject(Brush);
  SCROLLBARINFO Info;
  EXPECT_FALSE(GetScrollBarInfo(W, 12345, &Info));
  EXPECT_FALSE(GetScrollInfo(W, 7, nullptr));
  EXPECT_EQ(ReleaseDC(W, reinterpret_cast<HDC>(Brush)), 0);
  HDC Dc = GetDC(W);
  EXPECT_EQ(ReleaseDC(W, Dc), 1);
  EXPECT_EQ(ReleaseDC(W, Dc), 0);
  PAINTSTRUCT Never;  // EndPaint without BeginPaint
  EndPaint(W, &Never);
  HWND Dead = Make(WS_POPUP, 0, 0, 10, 10);
  DestroyWindow(Dead);
  EXPECT_FALSE(ShowWindow(Dead, SW_SHOW));
  EXPECT_FALSE(SetWindowPos(Dead, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(SetFocus(Dead), nullptr);
  EXPECT_EQ(GetDC(Dead), nullptr);
}

}  // namespace
}  // namespace winui_test
