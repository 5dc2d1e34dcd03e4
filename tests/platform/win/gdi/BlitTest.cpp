#include <cstring>

#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

namespace {

// A 1-bit bitmap from rows of '#' (0, black) and '.' (1, white).
HBITMAP MonoBitmap(const std::vector<std::string>& rows) {
  int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
  HBITMAP bmp = CreateBitmap(w, h, 1, 1, nullptr);
  auto s = k58::gdi::SurfaceOfBitmap(bmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s->Set(x, y, rows[y][x] == '.' ? k58::gdi::kWhitePixel : 0);
  return bmp;
}

std::map<COLORREF, char> Legend() { return {{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}, {kBlue, 'b'}, {kGreen, 'g'}}; }

}  // namespace

TEST(Brushes, PatternIsAlignedToTheDeviceOriginAndMovedByTheBrushOrigin) {
  HBITMAP checker = MonoBitmap({"#.", ".#"});
  HBRUSH brush = CreatePatternBrush(checker);
  DeleteObject(checker);  // the brush keeps its own copy
  Canvas c(6, 2);
  RECT r{1, 0, 5, 2};
  FillRect(c.dc(), &r, brush);
  // Pattern cell (x mod 2, y mod 2) of the surface, whatever the rectangle's own position.
  EXPECT_PICTURE(c, 0, 0, BW(), {"..#.#.", ".#.#.."});
  // The window origin does not move the pattern; the brush origin does.
  SetWindowOrgEx(c.dc(), 1, 0, nullptr);
  RECT all{1, 0, 7, 2};
  FillRect(c.dc(), &all, brush);
  EXPECT_PICTURE(c, 0, 0, BW(), {"#.#.#.", ".#.#.#"});
  SetBrushOrgEx(c.dc(), 1, 0, nullptr);
  FillRect(c.dc(), &all, brush);
  EXPECT_PICTURE(c, 0, 0, BW(), {".#.#.#", "#.#.#."});
  // A monochrome pattern takes the DC's text (0 bits) and background (1 bits) colours.
  SetTextColor(c.dc(), kRed);
  SetBkColor(c.dc(), kBlue);
  FillRect(c.dc(), &all, brush);
  EXPECT_PICTURE(c, 0, 0, Legend(), {"brbrbr", "rbrbrb"});
  DeleteObject(brush);
}

TEST(Brushes, WideColourPatternRepeatsAcrossClipRunsFromTheBrushOrigin) {
  // Wider than one run of the fill and cut by the clip: each run starts mid-pattern and wraps.
  Canvas pattern(5, 1);
  const COLORREF cells[] = {kRed, kGreen, kBlue, kBlack, kGreen};
  for (int x = 0; x < 5; ++x) SetPixel(pattern.dc(), x, 0, cells[x]);
  HBRUSH brush = CreatePatternBrush(pattern.bitmap());
  Canvas c(14, 2);
  SetBrushOrgEx(c.dc(), 2, 0, nullptr);
  ExcludeClipRect(c.dc(), 6, 0, 7, 2);
  RECT r{1, 0, 14, 2};
  FillRect(c.dc(), &r, brush);
  // Pixel x takes cell (x - 2) mod 5; x = 0 is outside the rectangle, x = 6 outside the clip.
  EXPECT_PICTURE(c, 0, 0, Legend(), {".grgb#.rgb#grg", ".grgb#.rgb#grg"});
  DeleteObject(brush);
}

TEST(Brushes, PatternOfASurfaceDCFollowsItsOrigin) {
  auto surface = std::make_shared<k58::gdi::Surface>(6, 1, 32);
  HDC dc = k58::gdi::CreateSurfaceDC(surface, POINT{1, 0}, nullptr);
  HBITMAP checker = MonoBitmap({"#.", ".#"});
  HBRUSH brush = CreatePatternBrush(checker);
  RECT r{0, 0, 4, 1};
  FillRect(dc, &r, brush);
  EXPECT_EQ(0u, surface->Get(1, 0));  // the DC's device (0,0) takes pattern cell (0,0)
  EXPECT_EQ(k58::gdi::kWhitePixel, surface->Get(2, 0));
  DeleteObject(brush);
  DeleteObject(checker);
  DeleteDC(dc);
}

TEST(Brushes, HatchBackgroundFollowsTheBackgroundMode) {
  Canvas c(8, 8);
  HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, kBlack);
  SetBkColor(c.dc(), kRed);
  RECT r{0, 0, 8, 8};
  FillRect(c.dc(), &r, hatch);
  EXPECT_EQ(8, c.Count(kBlack));
  EXPECT_EQ(56, c.Count(kRed));
  c.Clear();
  SetBkMode(c.dc(), TRANSPARENT);
  FillRect(c.dc(), &r, hatch);
  EXPECT_EQ(8, c.Count(kBlack));
  EXPECT_EQ(56, c.Count(kWhite));
  DeleteObject(hatch);
}

TEST(Blits, TernaryRasterOperations) {
  // Source S, destination D and a solid brush P with distinct bits per channel.
  const COLORREF S = RGB(0xF0, 0xCC, 0x0F), D = RGB(0xAA, 0x55, 0x3C), P = RGB(0x99, 0x0F, 0xE1);
  auto op = [&](auto f) { return RGB(f(0xF0, 0xAA, 0x99) & 255, f(0xCC, 0x55, 0x0F) & 255, f(0x0F, 0x3C, 0xE1) & 255); };
  struct Case {
    DWORD rop;
    COLORREF expected;
  } cases[] = {
      {SRCCOPY, S},
      {SRCPAINT, op([](int s, int d, int) { return s | d; })},
      {SRCAND, op([](int s, int d, int) { return s & d; })},
      {SRCINVERT, op([](int s, int d, int) { return s ^ d; })},
      {SRCERASE, op([](int s, int d, int) { return s & ~d; })},
      {NOTSRCCOPY, op([](int s, int, int) { return ~s; })},
      {NOTSRCERASE, op([](int s, int d, int) { return ~(s | d); })},
      {MERGECOPY, op([](int s, int, int p) { return p & s; })},
      {MERGEPAINT, op([](int s, int d, int) { return ~s | d; })},
      {PATCOPY, P},
      {PATPAINT, op([](int s, int d, int p) { return p | ~s | d; })},
      {PATINVERT, op([](int, int d, int p) { return p ^ d; })},
      {DSTINVERT, op([](int, int d, int) { return ~d; })},
      {BLACKNESS, RGB(0, 0, 0)},
      {WHITENESS, RGB(255, 255, 255)},
      {0x00B8074A, op([](int s, int d, int p) { return ((d ^ p) & s) ^ p; })},  // where S is 0, P
      {0x00E20746, op([](int s, int d, int p) { return ((p ^ d) & s) ^ d; })},  // where S is 1, P
  };
  Canvas src(1, 1), dst(1, 1);
  src.Clear(S);
  Selected brush(dst.dc(), CreateSolidBrush(P));
  for (const auto& k : cases) {
    dst.Clear(D);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, k.rop));
    EXPECT_EQ(k.expected, dst.At(0, 0)) << std::hex << k.rop;
  }
}

TEST(Blits, MonochromeAndColourConversions) {
  HBITMAP mono = MonoBitmap({"#.#.", "..##"});
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  Canvas c(4, 2);
  // Mono -> colour: 0 bits take the destination's text colour, 1 bits its background colour.
  SetTextColor(c.dc(), kRed);
  SetBkColor(c.dc(), kBlue);
  BitBlt(c.dc(), 0, 0, 4, 2, mdc, 0, 0, SRCCOPY);
  EXPECT_PICTURE(c, 0, 0, Legend(), {"rbrb", "bbrr"});
  // Colour -> mono: pixels of the source DC's background colour become white (1), others black.
  c.Clear(kGreen);
  SetPixel(c.dc(), 1, 0, kRed);
  SetBkColor(c.dc(), kGreen);
  BitBlt(mdc, 0, 0, 4, 2, c.dc(), 0, 0, SRCCOPY);
  auto s = k58::gdi::SurfaceOfBitmap(mono);
  EXPECT_EQ(k58::gdi::kWhitePixel, s->Get(0, 0));
  EXPECT_EQ(0u, s->Get(1, 0));
  EXPECT_EQ(k58::gdi::kWhitePixel, s->Get(3, 1));
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(Blits, MaskAndTransparentColourCopies) {
  Canvas src(3, 1), dst(3, 1);
  src.Clear(kRed);
  SetPixel(src.dc(), 1, 0, kGreen);
  // Mask 1 (white) -> foreground operation (copy), 0 -> background operation (leave the destination).
  HBITMAP mask = MonoBitmap({".#."});
  dst.Clear(kBlue);
  EXPECT_TRUE(MaskBlt(dst.dc(), 0, 0, 3, 1, src.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
  EXPECT_PICTURE(dst, 0, 0, Legend(), {"rbr"});
  DeleteObject(mask);
  dst.Clear(kBlue);
  EXPECT_TRUE(TransparentBlt(dst.dc(), 0, 0, 3, 1, src.dc(), 0, 0, 3, 1, kRed));
  EXPECT_PICTURE(dst, 0, 0, Legend(), {"bgb"});
  // Stretched twice as wide.
  Canvas wide(6, 1);
  wide.Clear(kBlue);
  TransparentBlt(wide.dc(), 0, 0, 6, 1, src.dc(), 0, 0, 3, 1, kRed);
  EXPECT_PICTURE(wide, 0, 0, Legend(), {"bbggbb"});
}

TEST(Blits, StretchScalesAndMirrors) {
  Canvas src(2, 1), dst(4, 2);
  SetPixel(src.dc(), 0, 0, kRed);
  SetPixel(src.dc(), 1, 0, kBlue);
  StretchBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_PICTURE(dst, 0, 0, Legend(), {"rrbb", "rrbb"});
  StretchBlt(dst.dc(), 4, 0, -4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_PICTURE(dst, 0, 0, Legend(), {"bbrr", "rrbb"});
}

TEST(Blits, OverlappingCopyWithinOneSurfaceMovesThePixels) {
  Canvas c(5, 1);
  const COLORREF colors[] = {kRed, kGreen, kBlue, kBlack, kWhite};
  for (int x = 0; x < 5; ++x) SetPixel(c.dc(), x, 0, colors[x]);
  BitBlt(c.dc(), 1, 0, 4, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_PICTURE(c, 0, 0, Legend(), {"rrgb#"});
  BitBlt(c.dc(), 0, 0, 4, 1, c.dc(), 1, 0, SRCCOPY);
  EXPECT_PICTURE(c, 0, 0, Legend(), {"rgb##"});
}

TEST(Blits, PatBltInvertsAndClipsWithOrigins) {
  Canvas c(6, 4);
  SetViewportOrgEx(c.dc(), 2, 1, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 2, 2);  // device [2,4) x [1,3)
  PatBlt(c.dc(), -2, -1, 6, 4, DSTINVERT);
  EXPECT_EQ(4, c.Count(kBlack));
  EXPECT_EQ(kBlack, c.At(2, 1));
  EXPECT_EQ(kBlack, c.At(3, 2));
  PatBlt(c.dc(), -2, -1, 6, 4, DSTINVERT);
  EXPECT_EQ(24, c.Count(kWhite));
}

TEST(Blits, GradientRectangles) {
  Canvas c(5, 2);
  TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {5, 2, 0xFF00, 0, 0, 0}};
  GRADIENT_RECT g{0, 1};
  EXPECT_TRUE(GradientFill(c.dc(), v, 2, &g, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(RGB(0, 0, 0), c.At(0, 0));
  EXPECT_EQ(RGB(51, 0, 0), c.At(1, 1));
  EXPECT_EQ(RGB(204, 0, 0), c.At(4, 0));
  EXPECT_FALSE(GradientFill(c.dc(), v, 2, &g, 1, GRADIENT_FILL_TRIANGLE));
}

TEST(Dibs, ThirtyTwoBitRowsAreBlueGreenRedTopDownOrBottomUp) {
  Canvas c(2, 2);
  SetPixel(c.dc(), 0, 0, RGB(1, 2, 3));
  SetPixel(c.dc(), 1, 1, RGB(4, 5, 6));
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = -2;
  bi.bmiHeader.biBitCount = 32;
  uint8_t top[16];
  ASSERT_EQ(2, GetDIBits(c.dc(), c.bitmap(), 0, 2, top, &bi, DIB_RGB_COLORS));
  EXPECT_EQ(3, top[0]);  // blue, green, red, unused
  EXPECT_EQ(2, top[1]);
  EXPECT_EQ(1, top[2]);
  EXPECT_EQ(6, top[12]);
  bi.bmiHeader.biHeight = 2;  // bottom-up: the last row first
  uint8_t bottom[16];
  GetDIBits(c.dc(), c.bitmap(), 0, 2, bottom, &bi, DIB_RGB_COLORS);
  EXPECT_EQ(6, bottom[4]);
  EXPECT_EQ(3, bottom[8]);
  // Round trip through SetDIBits with the rows swapped.
  ASSERT_EQ(2, SetDIBits(c.dc(), c.bitmap(), 0, 2, top, &bi, DIB_RGB_COLORS));
  EXPECT_EQ(RGB(1, 2, 3), c.At(0, 1));
  EXPECT_EQ(RGB(4, 5, 6), c.At(1, 0));
}

TEST(Dibs, DibSectionMemoryIsTheBitmap) {
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = 2;  // bottom-up
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(nullptr, dib);
  ASSERT_NE(nullptr, bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  SetPixel(dc, 0, 1, RGB(10, 20, 30));  // bottom row: first in memory
  auto* p = static_cast<uint8_t*>(bits);
  EXPECT_EQ(30, p[0]);
  EXPECT_EQ(20, p[1]);
  EXPECT_EQ(10, p[2]);
  p[4 * 4] = 0xFF;  // second row in memory = top row, x 1, blue
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 1, 0));
  DIBSECTION ds;
  EXPECT_EQ(static_cast<int>(sizeof(ds)), GetObject(dib, sizeof(ds), &ds));
  EXPECT_EQ(bits, ds.dsBm.bmBits);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(dib);
  bi.bmiHeader.biBitCount = 24;
  EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

TEST(Dibs, MonochromeBitsArePackedMostSignificantFirst) {
  HBITMAP mono = MonoBitmap({"#.######.", "........."});
  uint8_t packed[8] = {};
  ASSERT_EQ(4, GetBitmapBits(mono, sizeof(packed), packed));  // rows padded to 16 bits
  EXPECT_EQ(0x40, packed[0]);
  EXPECT_EQ(0x80, packed[1]);
  EXPECT_EQ(0xFF, packed[2]);
  const uint8_t bits[4] = {0xA0, 0x00, 0x00, 0x00};
  HBITMAP made = CreateBitmap(3, 2, 1, 1, bits);
  auto s = k58::gdi::SurfaceOfBitmap(made);
  EXPECT_EQ(k58::gdi::kWhitePixel, s->Get(0, 0));
  EXPECT_EQ(0u, s->Get(1, 0));
  EXPECT_EQ(k58::gdi::kWhitePixel, s->Get(2, 0));
  DeleteObject(made);
  // 24-bit and 1-bit DIBs drawn to a device.
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } info;
  info.h.biWidth = 2;
  info.h.biHeight = -1;
  info.h.biBitCount = 1;
  info.colors[0] = RGBQUAD{0, 0, 255, 0};  // red
  info.colors[1] = RGBQUAD{255, 0, 0, 0};  // blue
  const uint8_t row[4] = {0x40, 0, 0, 0};
  Canvas c(2, 1);
  EXPECT_EQ(1, SetDIBitsToDevice(c.dc(), 0, 0, 2, 1, 0, 0, 0, 1, row, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS));
  EXPECT_PICTURE(c, 0, 0, Legend(), {"rb"});
  DeleteObject(mono);
}

}  // namespace gdi_test
