// The non-client area: hit-test codes, the pixels of frames, captions and scroll bars, moving and
// sizing by the mouse, and the caption buttons.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using NonClientTest = WinUiTest;

TEST_F(NonClientTest, HitTestCodesCoverEveryPartOfAFramedWindow) {
  // 300 x 200 at (100, 100): thick frame 4, caption 19, client edge 2, both scroll bars.
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                WS_EX_CLIENTEDGE);
  struct Case {
    int X, Y;
    LRESULT Hit;
  } Cases[] = {
      {90, 90, HTNOWHERE},         {101, 150, HTLEFT},         {398, 150, HTRIGHT},
      {200, 101, HTTOP},           {200, 298, HTBOTTOM},       {101, 101, HTTOPLEFT},
      {398, 298, HTBOTTOMRIGHT},   {398, 101, HTTOPRIGHT},     {101, 298, HTBOTTOMLEFT},
      {200, 110, HTCAPTION},       {110, 110, HTSYSMENU},      {385, 112, HTCLOSE},
      {365, 112, HTMAXBUTTON},     {350, 112, HTMINBUTTON},    {200, 150, HTCLIENT},
      {385, 150, HTVSCROLL},       {200, 285, HTHSCROLL},      {385, 285, HTGROWBOX},
      {105, 150, HTBORDER},  // the client edge
  };
  for (const Case& C : Cases)
    EXPECT_EQ(SendMessage(W, WM_NCHITTEST, 0, MAKELPARAM(C.X, C.Y)), C.Hit) << C.X << "," << C.Y;
  // Without a thick frame the border does not size.
  HWND Fixed = Make(WS_POPUP | WS_CAPTION | WS_VISIBLE, 500, 100, 200, 100);
  EXPECT_EQ(SendMessage(Fixed, WM_NCHITTEST, 0, MAKELPARAM(501, 150)), HTBORDER);
  EXPECT_EQ(WindowFromPoint(Pt(150, 110)), W);
}

TEST_F(NonClientTest, FramesAndCaptionsHaveTheirColoursAndFollowActivation) {
  HWND A = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0, SpyClass, "Active");
  D->Pump();
  EXPECT_EQ(D->WindowPixel(A, Pt(0, 0)), kFace);  // the raised edge's outer light line
  EXPECT_EQ(D->WindowPixel(A, Pt(299, 199)), RGB(64, 64, 64));  // its dark shadow
  EXPECT_EQ(D->WindowPixel(A, Pt(2, 100)), kFace);  // the sizing border
  EXPECT_EQ(D->WindowPixel(A, Pt(150, 6)), kActiveCaption);
  EXPECT_EQ(D->WindowPixel(A, Pt(150, 4 + 18)), kFace);  // the line under the caption
  EXPECT_EQ(D->WindowPixel(A, Pt(150, 100)), kWhite);   // the client area
  // The close button: a raised face with a glyph.
  RECT Box{300 - 4 - 2 - 16, 4 + 2, 300 - 4 - 2, 4 + 2 + 14};
  int Dark = 0;
  for (int Y = Box.top + 2; Y < Box.bottom - 2; ++Y)
    for (int X = Box.left + 2; X < Box.right - 2; ++X)
      if (D->WindowPixel(A, Pt(X, Y)) == kBlack) ++Dark;
  EXPECT_GT(Dark, 8);
  // The title is drawn in the caption text colour.
  int Text = 0;
  for (int X = 24; X < 80; ++X)
    for (int Y = 6; Y < 20; ++Y)
      if (D->WindowPixel(A, Pt(X, Y)) == kWhite) ++Text;
  EXPECT_GT(Text, 10);
  HWND B = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 300, 200);
  D->Pump();
  EXPECT_EQ(D->WindowPixel(A, Pt(150, 6)), kInactiveCaption);
  EXPECT_EQ(D->WindowPixel(B, Pt(150, 6)), kActiveCaption);
  // Thin borders and edges.
  HWND Thin = Make(WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 400, 50, 50, nullptr, WS_EX_NOACTIVATE);
  HWND Edge = Make(WS_POPUP | WS_VISIBLE, 100, 400, 50, 50, nullptr, WS_EX_CLIENTEDGE | WS_EX_NOACTIVATE);
  D->Pump();
  EXPECT_EQ(D->WindowPixel(Thin, Pt(0, 25)), kBlack);
  EXPECT_EQ(D->WindowPixel(Thin, Pt(1, 25)), kWhite);
  EXPECT_EQ(D->WindowPixel(Edge, Pt(0, 25)), RGB(128, 128, 128));  // sunken: shadow outside
  EXPECT_EQ(D->WindowPixel(Edge, Pt(1, 25)), RGB(64, 64, 64));
  EXPECT_EQ(D->WindowPixel(Edge, Pt(49, 25)), kWhite);
}

TEST_F(NonClientTest, DraggingTheCaptionMovesTheWindowInAModalLoop) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->Pump();
  Log().Clear();
  D->Drag(Pt(200, 110), Pt(260, 150), 3);
  D->Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, 160);
  EXPECT_EQ(R.top, 140);
  EXPECT_EQ(R.right - R.left, 300);
  EXPECT_THAT(Names(W, {WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              ElementsAre("WM_NCLBUTTONDOWN", "WM_SYSCOMMAND", "WM_ENTERSIZEMOVE", "WM_EXITSIZEMOVE"));
  EXPECT_EQ(Log().First(W, WM_SYSCOMMAND).WParam, SC_MOVE + HTCAPTION);
  EXPECT_EQ(Log().Count(WM_MOVING, W), 3);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NonClientTest, DraggingTheFrameSizesTheWindowWithinItsLimits) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->Pump();
  D->Drag(Pt(398, 298), Pt(448, 318), 2);
  D->Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.right, 450);
  EXPECT_EQ(R.bottom, 320);
  EXPECT_EQ(Log().First(W, WM_SIZING).WParam, WMSZ_BOTTOMRIGHT);
  D->Drag(Pt(101, 200), Pt(400, 200), 1);  // far past the right edge: stops at the minimum width
  D->Pump();
  GetWindowRect(W, &R);
  EXPECT_EQ(R.right - R.left, GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(R.right, 450);
}

TEST_F(NonClientTest, CaptionButtonsActOnlyWhenReleasedOverThem) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->Pump();
  D->Drag(Pt(385, 112), Pt(200, 150), 1);  // pressed, then released elsewhere
  D->Pump();
  EXPECT_TRUE(IsWindow(W));
  D->Click(Pt(365, 112));
  D->Pump();
  EXPECT_TRUE(IsZoomed(W));
  D->Advance(1000);
  RECT R;
  GetWindowRect(W, &R);
  D->DoubleClick(Pt(600, R.top + 10));  // the caption: restore
  D->Pump();
  EXPECT_FALSE(IsZoomed(W));
  D->Advance(1000);
  D->Click(Pt(385, 112));
  D->Pump();
  EXPECT_FALSE(IsWindow(W));
  EXPECT_EQ(Log().Count(WM_CLOSE, W), 1);
}

TEST_F(NonClientTest, HostWindowManagerRequestsMoveAndClose) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  k58::winui::HostMovedWindow(W, RECT{10, 20, 410, 320});
  D->Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, 10);
  EXPECT_EQ(R.bottom, 320);
  k58::winui::HostCloseRequested(W);
  D->Pump();
  EXPECT_FALSE(IsWindow(W));
}

}  // namespace
}  // namespace winui_test
