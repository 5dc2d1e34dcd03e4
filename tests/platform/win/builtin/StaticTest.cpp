// Static controls: text drawing and alignment, images with STM_SETIMAGE, rectangles and frames, and
// clicks with and without SS_NOTIFY.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ::testing::ElementsAre;
using StaticTest = ControlsTest;

// Leftmost and rightmost columns holding a pixel of the given colour (-1 when none).
std::pair<int, int> Columns(k58::winui::TestDisplay& D, HWND H, COLORREF C, int W, int Hh) {
  int L = -1, R = -1;
  for (int X = 0; X < W; ++X)
    for (int Y = 0; Y < Hh; ++Y)
      if (D.ClientPixel(H, POINT{X, Y}) == C) {
        if (L < 0) L = X;
        R = X;
      }
  return {L, R};
}

TEST_F(StaticTest, TextIsAlignedAsItsStyleSays) {
  HWND L = Child(WC_STATIC, "Text", SS_LEFT, 10, 10, 200, 20, 1);
  HWND C = Child(WC_STATIC, "Text", SS_CENTER, 10, 40, 200, 20, 2);
  HWND R = Child(WC_STATIC, "Text", SS_RIGHT, 10, 70, 200, 20, 3);
  D->Pump();
  COLORREF Ink = GetSysColor(COLOR_BTNTEXT);
  auto Left = Columns(*D, L, Ink, 200, 20), Centre = Columns(*D, C, Ink, 200, 20), Right = Columns(*D, R, Ink, 200, 20);
  ASSERT_GE(Left.first, 0);
  EXPECT_LT(Left.first, 3);
  EXPECT_GT(Right.second, 195);
  EXPECT_NEAR((Centre.first + Centre.second) / 2, 100, 3);
  // New text is drawn.
  SetWindowText(L, "");
  D->Pump();
  EXPECT_EQ(Columns(*D, L, Ink, 200, 20).first, -1);
  // An & marks the next letter unless SS_NOPREFIX; "&&" is one ampersand.
  HWND P = Child(WC_STATIC, "&&", SS_LEFT, 10, 100, 200, 20, 4);
  HWND N = Child(WC_STATIC, "&&", SS_LEFT | SS_NOPREFIX, 10, 130, 200, 20, 5);
  D->Pump();
  EXPECT_LT(Columns(*D, P, Ink, 200, 20).second, Columns(*D, N, Ink, 200, 20).second);
}

TEST_F(StaticTest, ImagesSizeTheControlAndComeBackFromTheirMessages) {
  HWND S = Child(WC_STATIC, "", SS_BITMAP, 10, 10, 100, 100);
  HBITMAP Bmp = CreateBitmap(16, 12, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(S, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bmp)), 0);
  EXPECT_EQ(SendMessage(S, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(Bmp));
  RECT R;
  GetClientRect(S, &R);
  EXPECT_EQ(R.right, 16);
  EXPECT_EQ(R.bottom, 12);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(S, POINT{8, 6}), RGB(0, 0, 0));
  HBITMAP Second = CreateBitmap(4, 4, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(S, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Second)), reinterpret_cast<LRESULT>(Bmp));
  DestroyWindow(S);
  DeleteObject(Bmp);
  DeleteObject(Second);
}

TEST_F(StaticTest, RectanglesAndFramesUseTheSystemColours) {
  struct Case {
    DWORD Style;
    COLORREF Centre;
    COLORREF Edge;
  } Cases[] = {
      {SS_BLACKRECT, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)},
      {SS_GRAYRECT, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)},
      {SS_WHITEFRAME, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT)},
      {SS_ETCHEDFRAME, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW)},
  };
  int Id = 1;
  for (const Case& C : Cases) {
    HWND S = Child(WC_STATIC, "", C.Style, 10, 10, 40, 30, Id++);
    D->Pump();
    EXPECT_EQ(D->ClientPixel(S, POINT{20, 15}), C.Centre) << C.Style;
    EXPECT_EQ(D->ClientPixel(S, POINT{0, 15}), C.Edge) << C.Style;
    DestroyWindow(S);
  }
}

TEST_F(StaticTest, ClicksNotifyOnlyWithTheNotifyStyleAndOtherwiseReachTheParent) {
  HWND Quiet = Child(WC_STATIC, "quiet", SS_LEFT, 10, 10, 100, 20, 1);
  HWND Loud = Child(WC_STATIC, "loud", SS_LEFT | SS_NOTIFY, 10, 40, 100, 20, 2);
  int ParentClicks = 0;
  OnParent = [&](UINT Msg, WPARAM, LPARAM, LRESULT&) {
    if (Msg == WM_LBUTTONDOWN) ++ParentClicks;
    return false;
  };
  D->Click(ScreenOf(Quiet, 5, 5));
  D->Pump();
  EXPECT_EQ(ParentClicks, 1);
  EXPECT_TRUE(Commands(Quiet).empty());
  D->Click(ScreenOf(Loud, 5, 5));
  D->Pump();
  D->Advance(2000);
  D->DoubleClick(ScreenOf(Loud, 5, 5));
  D->Pump();
  EXPECT_EQ(ParentClicks, 1);
  EXPECT_THAT(Commands(Loud), ElementsAre(STN_CLICKED, STN_CLICKED, STN_DBLCLK));
  EnableWindow(Loud, FALSE);
  EXPECT_EQ(Commands(Loud).back(), STN_DISABLE);
}

}  // namespace
}  // namespace builtin_test
