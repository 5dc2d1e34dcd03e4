// The caret (inverted pixels, blinking, hidden while painting) and cursors (standard, made from masks,
// registered resources, the display count), and what the screen shows.
#include "WinUiTestSupport.h"

#include <cstdio>

namespace winui_test {
namespace {

using CaretTest = WinUiTest;
using CursorTest = WinUiTest;
using ScreenTest = WinUiTest;

TEST_F(CaretTest, TheCaretInvertsPixelsAndBlinks) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->Pump();
  ASSERT_TRUE(CreateCaret(W, nullptr, 2, 10));
  SetCaretPos(10, 10);
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kWhite);  // created hidden
  ShowCaret(W);
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kBlack);
  EXPECT_EQ(D->ClientPixel(W, Pt(11, 19)), kBlack);
  EXPECT_EQ(D->ClientPixel(W, Pt(12, 10)), kWhite);
  D->Advance(GetCaretBlinkTime());
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kWhite);
  D->Advance(GetCaretBlinkTime());
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kBlack);
  SetCaretPos(30, 10);
  EXPECT_EQ(D->ClientPixel(W, Pt(10, 10)), kWhite);
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 10)), kBlack);
  POINT P;
  GetCaretPos(&P);
  EXPECT_EQ(P.x, 30);
  // Painting hides it while the window draws, and shows it again.
  InvalidateRect(W, nullptr, TRUE);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 10)), kBlack);
  HideCaret(W);
  HideCaret(W);
  ShowCaret(W);
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 10)), kWhite);  // hides nest
  ShowCaret(W);
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 10)), kBlack);
  DestroyCaret();
  EXPECT_EQ(D->ClientPixel(W, Pt(30, 10)), kWhite);
  EXPECT_FALSE(ShowCaret(W));
}

TEST_F(CursorTest, StandardCursorsAreSharedAndMadeOnesCarryTheirShape) {
  HCURSOR Arrow = LoadCursor(nullptr, IDC_ARROW);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), Arrow);
  EXPECT_NE(LoadCursor(nullptr, IDC_IBEAM), Arrow);
  EXPECT_FALSE(LoadCursor(nullptr, MAKEINTRESOURCE(1)));
  BYTE And[2 * 4] = {0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  BYTE Xor[2 * 4] = {0x00, 0x00, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00};
  HCURSOR Made = CreateCursor(nullptr, 1, 2, 16, 4, And, Xor);
  k58::winui::CursorShape S;
  ASSERT_TRUE(k58::winui::GetCursorShape(Made, S));
  EXPECT_EQ(S.Width, 16);
  EXPECT_EQ(S.Hotspot.y, 2);
  EXPECT_EQ(S.And[16 + 0], 0);
  EXPECT_EQ(S.Xor[16 + 0], 1);
  EXPECT_EQ(S.And[16 + 4], 1);
  auto Instance = reinterpret_cast<HINSTANCE>(0x1000);
  k58::winui::RegisterCursorResource(Instance, "Hand", Made);
  EXPECT_EQ(LoadCursor(Instance, "HAND"), Made);
  EXPECT_EQ(SetCursor(Made), nullptr);
  EXPECT_EQ(D->Headless().PointerShape(), Made);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(D->Headless().PointerShape(), nullptr);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(D->Headless().PointerShape(), Made);
  // A cursor from bitmaps: the AND mask above the XOR mask.
  HBITMAP Mask = CreateBitmap(8, 16, 1, 1, nullptr);
  ICONINFO Ii;
  Ii.hbmMask = Mask;
  Ii.xHotspot = 3;
  HICON FromBits = CreateIconIndirect(&Ii);
  ASSERT_TRUE(k58::winui::GetCursorShape(FromBits, S));
  EXPECT_EQ(S.Height, 8);
  EXPECT_EQ(S.Hotspot.x, 3);
  DeleteObject(Mask);
  EXPECT_TRUE(DestroyCursor(FromBits));
  EXPECT_FALSE(k58::winui::GetCursorShape(FromBits, S));
}

TEST_F(CursorTest, TheNonClientAreaShowsSizingCursors) {
  HWND W = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  D->MoveTo(Pt(101, 200));
  D->Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
  D->MoveTo(Pt(398, 298));
  D->Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZENWSE));
  D->MoveTo(Pt(200, 200));
  D->Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  (void)W;
}

TEST_F(ScreenTest, TheScreenStacksWindowsByZOrderAndWritesAPng) {
  HWND Back = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Front = Make(WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, nullptr, 0, SpyBlankClass);
  D->Pump();
  HDC Dc = GetDC(Front);
  RECT R{0, 0, 100, 100};
  HBRUSH B = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(Dc, &R, B);
  DeleteObject(B);
  ReleaseDC(Front, Dc);
  EXPECT_EQ(D->ScreenPixel(Pt(10, 10)), kWhite);
  EXPECT_EQ(D->ScreenPixel(Pt(60, 60)), RGB(0, 0, 255));
  EXPECT_EQ(D->ScreenPixel(Pt(500, 500)), GetSysColor(COLOR_BACKGROUND));
  SetWindowPos(Back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(D->ScreenPixel(Pt(60, 60)), kWhite);
  std::string Path = ::testing::TempDir() + "winui-screen.png";
  ASSERT_TRUE(D->SavePng(Path));
  FILE* F = std::fopen(Path.c_str(), "rb");
  ASSERT_TRUE(F);
  unsigned char Sig[4] = {};
  EXPECT_EQ(std::fread(Sig, 1, 4, F), 4u);
  std::fclose(F);
  EXPECT_EQ(Sig[1], 'P');
  std::remove(Path.c_str());
  EXPECT_FALSE(D->SavePng("/nonexistent-dir/x.png"));
}

}  // namespace
}  // namespace winui_test
