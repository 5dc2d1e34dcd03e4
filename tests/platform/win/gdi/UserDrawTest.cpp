#include <cstdio>
#include <cstring>
#include <fstream>

#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

namespace {

// A palette where every system colour is distinct, so a wrong pick shows.
class UserDraw : public ::testing::Test {
protected:
  void SetUp() override {
    std::vector<INT> idx;
    std::vector<COLORREF> colors;
    for (int i = 0; i < K58_SYSCOLOR_COUNT; ++i) {
      idx.push_back(i);
      colors.push_back(RGB(10 + i, 100 + i, 200 - i));
    }
    SetSysColors(K58_SYSCOLOR_COUNT, idx.data(), colors.data());
  }
  void TearDown() override { k58::gdi::ResetSystemTables(); }
  static COLORREF Sys(int i) { return GetSysColor(i); }
};

}  // namespace

TEST_F(UserDraw, SystemColourBrushesFollowTheTable) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  Canvas c(4, 1);
  RECT r{0, 0, 2, 1};
  FillRect(c.dc(), &r, face);
  EXPECT_EQ(Sys(COLOR_BTNFACE), c.At(0, 0));
  INT i = COLOR_BTNFACE;
  COLORREF red = kRed;
  SetSysColors(1, &i, &red);
  RECT r2{2, 0, 4, 1};
  FillRect(c.dc(), &r2, face);
  EXPECT_EQ(kRed, c.At(2, 0));
  // A system colour index + 1 stands for its brush.
  FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
  EXPECT_EQ(Sys(COLOR_WINDOW), c.At(0, 0));
  EXPECT_TRUE(DeleteObject(face));  // never really deleted
  EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(face));
  k58::gdi::ResetSystemTables();
  EXPECT_EQ(RGB(212, 208, 200), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(16, GetSystemMetrics(SM_CXVSCROLL));
  k58::gdi::SetSystemMetric(SM_CXVSCROLL, 20);
  EXPECT_EQ(20, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(0, GetSystemMetrics(9999));
}

TEST_F(UserDraw, FocusRectangleIsADottedXorFrame) {
  Canvas c(6, 5);
  RECT r{0, 0, 6, 5};
  DrawFocusRect(c.dc(), &r);  // black text on white: the checkerboard's white bits invert
  EXPECT_PICTURE(c, 0, 0, BW(), {"#.#.#.", ".....#", "#.....", ".....#", "#.#.#."});
  DrawFocusRect(c.dc(), &r);
  EXPECT_EQ(30, c.Count(kWhite));
}

TEST_F(UserDraw, FrameAndInvert) {
  Canvas c(5, 4);
  RECT r{0, 0, 5, 4};
  FrameRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_PICTURE(c, 0, 0, BW(), {"#####", "#...#", "#...#", "#####"});
  RECT inner{1, 1, 4, 3};
  InvertRect(c.dc(), &inner);
  EXPECT_EQ(20, c.Count(kBlack));
  InvertRect(c.dc(), &inner);
  EXPECT_EQ(14, c.Count(kBlack));
}

TEST_F(UserDraw, EdgesUseTheClassicColoursAndCorners) {
  Canvas c(5, 4);
  std::map<COLORREF, char> legend{{kWhite, '.'},
                                  {Sys(COLOR_BTNHIGHLIGHT), 'h'},
                                  {Sys(COLOR_BTNSHADOW), 's'},
                                  {Sys(COLOR_3DDKSHADOW), 'd'},
                                  {Sys(COLOR_3DLIGHT), 'l'},
                                  {Sys(COLOR_BTNFACE), 'f'}};
  RECT r{0, 0, 5, 4};
  DrawEdge(c.dc(), &r, BDR_RAISEDINNER, BF_RECT);
  EXPECT_PICTURE(c, 0, 0, legend, {"hhhhs", "h...s", "h...s", "sssss"});
  c.Clear();
  RECT a{0, 0, 5, 4};
  DrawEdge(c.dc(), &a, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_PICTURE(c, 0, 0, legend, {"ssssh", "sddlh", "slllh", "hhhhh"});
  EXPECT_EQ(2, a.left);
  EXPECT_EQ(3, a.right);
  EXPECT_EQ(2, a.bottom);
  c.Clear();
  RECT br{0, 0, 5, 4};
  DrawEdge(c.dc(), &br, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
  EXPECT_PICTURE(c, 0, 0, legend, {"....s", "....s", "....s", "sssss"});
}

TEST_F(UserDraw, RadioGlyphAndCheckBoxBitmap) {
  k58::gdi::ResetSystemTables();
  Canvas mask(12, 12);
  RECT r{0, 0, 12, 12};
  DrawFrameControl(mask.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  // The mask is a disc, symmetric about both axes and the diagonal.
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      EXPECT_EQ(mask.At(x, y), mask.At(11 - x, y));
      EXPECT_EQ(mask.At(x, y), mask.At(y, x));
    }
  EXPECT_EQ(kWhite, mask.At(0, 0));
  EXPECT_EQ(kBlack, mask.At(6, 0));
  Canvas image(12, 12);
  DrawFrameControl(image.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), image.At(5, 0));  // outer ring, upper-left half
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), image.At(6, 6));  // the dot
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), image.At(11, 6));
  HBITMAP boxes = LoadBitmap(nullptr, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(OBM_CHECKBOXES)));
  BITMAP bm;
  ASSERT_TRUE(GetObject(boxes, sizeof(bm), &bm));
  EXPECT_EQ(52, bm.bmWidth);  // 4 x 3 cells of 13 pixels
  EXPECT_EQ(39, bm.bmHeight);
  DeleteObject(boxes);
  EXPECT_EQ(nullptr, LoadBitmap(nullptr, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(1))));
}

TEST_F(UserDraw, ScrollArrowIsCentredAndGreyedWhenInactive) {
  k58::gdi::ResetSystemTables();
  Canvas c(16, 16);
  RECT r{0, 0, 16, 16};
  DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP);
  RECT arrow = c.BoundsOf(GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(7, arrow.right - arrow.left);  // 7 wide, 4 high
  EXPECT_EQ(4, arrow.bottom - arrow.top);
  EXPECT_EQ(4, arrow.left);
  EXPECT_EQ(6, arrow.top);
  c.Clear();
  DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  EXPECT_EQ(0, c.Count(GetSysColor(COLOR_BTNTEXT)));
}

TEST(Png, WritesASurfaceAndReportsFailure) {
  Canvas c(3, 2);
  std::string path = ::testing::TempDir() + "gdi_png_test.png";
  std::string error;
  ASSERT_TRUE(k58::gdi::WriteDCPng(c.dc(), path, &error)) << error;
  std::ifstream in(path, std::ios::binary);
  char sig[8] = {};
  in.read(sig, 8);
  EXPECT_EQ(0, std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8));
  std::remove(path.c_str());
  EXPECT_FALSE(k58::gdi::WriteDCPng(c.dc(), "/nonexistent-dir/x.png", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(k58::gdi::WriteBitmapPng(nullptr, path, &error));
}

}  // namespace gdi_test
