// The painting cycle: update regions, WM_PAINT generated when the queue is otherwise idle, erasing,
// clipping to children and update regions, RedrawWindow flags, DCs and scrolling.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using PaintTest = WinUiTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints the client area in one colour on WM_PAINT.
void PaintWith(HWND W, COLORREF Colour) {
  Handle(W, [Colour](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M != WM_PAINT) return false;
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(H, &Ps);
    RECT R;
    GetClientRect(H, &R);
    HBRUSH B = CreateSolidBrush(Colour);
    FillRect(Dc, &R, B);
    DeleteObject(B);
    EndPaint(H, &Ps);
    return true;
  });
}

TEST_F(PaintTest, InvalidationPaintsOnceWhenNothingElseIsWaitingBeforeTimers) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->Pump();
  Log().Clear();
  SetTimer(W, 1, 10, nullptr);
  D->Advance(20);
  InvalidateRect(W, nullptr, TRUE);
  RECT U;
  EXPECT_TRUE(GetUpdateRect(W, &U, FALSE));
  EXPECT_EQ(U.right, 100);
  PostMessage(W, WM_USER, 0, 0);
  InvalidateRect(W, nullptr, FALSE);  // merges with the pending one
  D->Pump();
  EXPECT_THAT(Names(W), ElementsAre("WM_USER", "WM_PAINT", "WM_ERASEBKGND", "WM_TIMER"));
  EXPECT_FALSE(GetUpdateRect(W, nullptr, FALSE));
  KillTimer(W, 1);
}

TEST_F(PaintTest, ValidatedAreasAreNotPaintedAndHiddenWindowsNeverAre) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Hidden = Make(WS_POPUP, 0, 0, 100, 100);
  D->Pump();
  Log().Clear();
  RECT Part{0, 0, 50, 100};
  InvalidateRect(W, nullptr, TRUE);
  ValidateRect(W, &Part);
  RECT U;
  GetUpdateRect(W, &U, FALSE);
  EXPECT_EQ(U.left, 50);
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(W, Rgn, FALSE), SIMPLEREGION);
  ValidateRgn(W, Rgn);
  EXPECT_FALSE(GetUpdateRect(W, nullptr, FALSE));
  DeleteObject(Rgn);
  InvalidateRect(Hidden, nullptr, TRUE);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_PAINT, nullptr), 0);
}

TEST_F(PaintTest, TheClassBrushErasesAndPaintStructTellsWhenNobodyErased) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 60, 60);
  HWND Blank = Make(WS_POPUP | WS_VISIBLE, 100, 0, 60, 60, nullptr, 0, SpyBlankClass);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 30)), kWhite);
  BOOL Erase = -1;
  Handle(Blank, [&Erase](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M != WM_PAINT) return false;
    PAINTSTRUCT Ps;
    BeginPaint(H, &Ps);
    Erase = Ps.fErase;
    EndPaint(H, &Ps);
    return true;
  });
  InvalidateRect(Blank, nullptr, TRUE);
  D->Pump();
  EXPECT_EQ(Erase, TRUE);
  InvalidateRect(Blank, nullptr, FALSE);
  D->Pump();
  EXPECT_EQ(Erase, FALSE);
}

TEST_F(PaintTest, BeginPaintClipsToTheUpdateRegion) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->Pump();
  PaintWith(W, kRed);
  RECT Part{10, 10, 20, 20};
  InvalidateRect(W, &Part, FALSE);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(15, 15)), kRed);
  EXPECT_EQ(D->ClientPixel(W, Pt(25, 15)), kWhite);
  EXPECT_EQ(D->ClientPixel(W, Pt(9, 9)), kWhite);
}

TEST_F(PaintTest, ChildrenKeepTheirPixelsFromAClippingParent) {
  HWND P = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, P);
  PaintWith(P, kRed);
  PaintWith(C, kGreen);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(P, Pt(5, 5)), kRed);
  EXPECT_EQ(D->ClientPixel(P, Pt(25, 25)), kGreen);
  Log().Clear();
  InvalidateRect(P, nullptr, TRUE);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_PAINT, C), 0);  // a clipping parent invalidates only itself
  EXPECT_EQ(D->ClientPixel(P, Pt(25, 25)), kGreen);
}

TEST_F(PaintTest, ANonClippingParentInvalidatesTheChildrenItCovers) {
  HWND P = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, P);
  HWND Far = Make(WS_CHILD | WS_VISIBLE, 70, 70, 20, 20, P);
  PaintWith(P, kRed);
  PaintWith(C, kGreen);
  D->Pump();
  Log().Clear();
  RECT Part{0, 0, 40, 40};
  InvalidateRect(P, &Part, TRUE);
  D->Pump();
  EXPECT_THAT(Names(nullptr, {WM_PAINT}), ElementsAre("WM_PAINT", "WM_PAINT"));
  EXPECT_EQ(Log()[0].Hwnd, P);  // the parent first, then the child over it
  EXPECT_EQ(Log().Count(WM_PAINT, Far), 0);
  EXPECT_EQ(D->ClientPixel(P, Pt(25, 25)), kGreen);
}

TEST_F(PaintTest, RedrawWindowFlagsChooseWhatIsPaintedAndWhen) {
  HWND P = Make(WS_POPUP | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, P);
  D->Pump();
  Log().Clear();
  RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_THAT(Names(), ElementsAre("WM_PAINT", "WM_NCPAINT", "WM_ERASEBKGND", "WM_PAINT", "WM_ERASEBKGND"));
  EXPECT_EQ(Log()[3].Hwnd, C);
  Log().Clear();
  RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_THAT(Names(P), ElementsAre("WM_ERASEBKGND"));
  EXPECT_TRUE(GetUpdateRect(P, nullptr, FALSE));  // the paint itself waits
  RedrawWindow(P, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
  EXPECT_FALSE(GetUpdateRect(P, nullptr, FALSE));
  Log().Clear();
  RedrawWindow(P, nullptr, nullptr, RDW_INTERNALPAINT);
  D->Pump();
  EXPECT_THAT(Names(P), ElementsAre("WM_PAINT"));
  Log().Clear();
  InvalidateRect(C, nullptr, TRUE);
  UpdateWindow(P);
  EXPECT_THAT(Names(), ElementsAre("WM_PAINT", "WM_ERASEBKGND"));
  EXPECT_EQ(Log()[0].Hwnd, C);
}

TEST_F(PaintTest, AFrameWaitingAloneIsPaintedWithoutWmPaint) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 50, 50);
  D->Pump();
  Log().Clear();
  RECT Frame{-1, -1, 0, 0};  // only the corner of the frame
  RedrawWindow(W, &Frame, nullptr, RDW_INVALIDATE | RDW_FRAME);
  D->Pump();
  EXPECT_THAT(Names(W), ElementsAre("WM_NCPAINT"));
}

TEST_F(PaintTest, WindowDcsCoverTheFrameAndAreFoundByTheirWindow) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_DLGFRAME, 10, 10, 100, 100);
  D->Pump();
  HDC Dc = GetWindowDC(W);
  EXPECT_EQ(WindowFromDC(Dc), W);
  SetPixel(Dc, 0, 0, kBlue);
  ReleaseDC(W, Dc);
  EXPECT_EQ(D->WindowPixel(W, Pt(0, 0)), kBlue);
  Dc = GetDC(W);
  SetPixel(Dc, 0, 0, kRed);
  SetPixel(Dc, -1, -1, kRed);  // outside the client area: clipped
  ReleaseDC(W, Dc);
  EXPECT_EQ(D->ClientPixel(W, Pt(0, 0)), kRed);
  EXPECT_EQ(D->WindowPixel(W, Pt(2, 2)), GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(WindowFromDC(Dc));
  EXPECT_TRUE(D->Headless().TakeDamage(W).right > 0);
}

TEST_F(PaintTest, GetDcExIntersectsOrExcludesAScreenRegion) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  D->Pump();
  HRGN Rgn = CreateRectRgn(100, 100, 150, 200);  // screen coordinates: the left half
  HDC Dc = GetDCEx(W, Rgn, DCX_EXCLUDERGN);
  RECT All{0, 0, 100, 100};
  HBRUSH B = CreateSolidBrush(kRed);
  FillRect(Dc, &All, B);
  ReleaseDC(W, Dc);
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kWhite);
  EXPECT_EQ(D->ClientPixel(W, Pt(60, 10)), kRed);
  Dc = GetDCEx(W, Rgn, DCX_INTERSECTRGN);
  HBRUSH G = CreateSolidBrush(kGreen);
  FillRect(Dc, &All, G);
  ReleaseDC(W, Dc);
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kGreen);
  EXPECT_EQ(D->ClientPixel(W, Pt(60, 10)), kRed);
  DeleteObject(B);
  DeleteObject(G);
  DeleteObject(Rgn);
}

TEST_F(PaintTest, WindowRegionsClipPainting) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SetWindowRgn(W, CreateRectRgn(0, 0, 50, 100), FALSE);
  PaintWith(W, kRed);
  D->Pump();
  InvalidateRect(W, nullptr, FALSE);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kRed);
  EXPECT_NE(D->ClientPixel(W, Pt(60, 10)), kRed);
}

TEST_F(PaintTest, MovingAChildRepaintsTheUncoveredPartOfTheParent) {
  HWND P = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 100);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 10, 10, 30, 30, P);
  PaintWith(P, kRed);
  PaintWith(C, kGreen);
  D->Pump();
  Log().Clear();
  MoveWindow(C, 100, 10, 30, 30, TRUE);
  RECT U;
  GetUpdateRect(P, &U, FALSE);
  EXPECT_EQ(U.left, 10);
  EXPECT_EQ(U.right, 40);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(P, Pt(20, 20)), kRed);
  EXPECT_EQ(D->ClientPixel(P, Pt(110, 20)), kGreen);
}

TEST_F(PaintTest, ScrollingMovesPixelsAndInvalidatesWhatItUncovered) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Kid = Make(WS_CHILD | WS_VISIBLE, 0, 50, 10, 10, W);
  D->Pump();
  HDC Dc = GetDC(W);
  RECT Band{0, 20, 100, 30};
  HBRUSH B = CreateSolidBrush(kBlue);
  FillRect(Dc, &Band, B);
  DeleteObject(B);
  ReleaseDC(W, Dc);
  RECT Upd;
  ScrollWindowEx(W, 0, -10, nullptr, nullptr, nullptr, &Upd, SW_INVALIDATE | SW_SCROLLCHILDREN);
  EXPECT_EQ(D->ClientPixel(W, Pt(50, 15)), kBlue);
  EXPECT_EQ(D->ClientPixel(W, Pt(50, 25)), kWhite);
  EXPECT_EQ(Upd.top, 90);
  EXPECT_EQ(Upd.bottom, 100);
  RECT U;
  GetUpdateRect(W, &U, FALSE);
  EXPECT_EQ(U.top, 90);
  RECT K;
  GetWindowRect(Kid, &K);
  EXPECT_EQ(K.top, 40);
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  RECT Strip{0, 0, 50, 100};
  ScrollWindowEx(W, 5, 0, &Strip, &Strip, Rgn, nullptr, 0);
  RECT Box;
  GetRgnBox(Rgn, &Box);
  EXPECT_EQ(Box.left, 0);
  EXPECT_EQ(Box.right, 5);
  DeleteObject(Rgn);
}

TEST_F(PaintTest, PrintingDrawsTheWindowIntoAnotherDc) {
  HWND W = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 40, 40);
  HWND C = Make(WS_CHILD | WS_VISIBLE, 10, 10, 10, 10, W);
  Handle(C, [](HWND H, UINT M, WPARAM Wp, LPARAM, LRESULT&) {
    if (M != WM_PRINTCLIENT) return false;
    RECT R;
    GetClientRect(H, &R);
    HBRUSH B = CreateSolidBrush(kGreen);
    FillRect(reinterpret_cast<HDC>(Wp), &R, B);
    DeleteObject(B);
    return true;
  });
  HDC Mem = CreateCompatibleDC(nullptr);
  HBITMAP Bmp = CreateBitmap(40, 40, 1, 32, nullptr);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  SendMessage(W, WM_PRINT, reinterpret_cast<WPARAM>(Mem), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  EXPECT_EQ(GetPixel(Mem, 0, 0), kBlack);        // the border
  EXPECT_EQ(GetPixel(Mem, 5, 5), kWhite);        // the erased client area
  EXPECT_EQ(GetPixel(Mem, 1 + 12, 1 + 12), kGreen);  // the child, printed in place
  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
}

}  // namespace
}  // namespace winui_test
