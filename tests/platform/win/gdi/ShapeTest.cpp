#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

namespace {
std::map<COLORREF, char> Legend() { return {{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}}; }
}  // namespace

TEST(Shapes, RectangleOutlineIsInsideTheHalfOpenBox) {
  Canvas c(7, 6);
  Selected brush(c.dc(), CreateSolidBrush(kRed));
  Rectangle(c.dc(), 1, 1, 6, 5);
  EXPECT_PICTURE(c, 0, 0, Legend(), {".......", ".#####.", ".#rrr#.", ".#rrr#.", ".#####.", "......."});
  // Without a pen the fill is one pixel smaller to the right and below.
  c.Clear();
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Rectangle(c.dc(), 1, 1, 6, 5);
  EXPECT_PICTURE(c, 0, 0, Legend(), {".......", ".rrrr..", ".rrrr..", ".rrrr..", ".......", "......."});
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
}

TEST(Shapes, InsideFramePenStaysWithinTheBox) {
  Canvas c(9, 9);
  Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, 2, kBlack));
  Selected brush(c.dc(), CreateSolidBrush(kRed));
  Rectangle(c.dc(), 1, 1, 8, 8);
  EXPECT_EQ((RECT{1, 1, 8, 8}).right, c.BoundsOf(kBlack).right);
  EXPECT_EQ(1, c.BoundsOf(kBlack).left);
  EXPECT_EQ(8, c.BoundsOf(kBlack).bottom);
  EXPECT_EQ(3 * 3, c.Count(kRed));
}

TEST(Shapes, PolygonInOneColourIsTheTriangleWithItsOutline) {
  Canvas c(14, 12);
  Selected brush(c.dc(), GetStockObject(BLACK_BRUSH), false);
  POINT arrow[] = {{3, 6}, {11, 6}, {7, 10}};
  Polygon(c.dc(), arrow, 3);
  EXPECT_PICTURE(c, 2, 5, BW(),
                 {"...........", ".#########.", "..#######..", "...#####...", "....###....", ".....#.....",
                  "..........."});
}

TEST(Shapes, EllipseOutlineIsAClosedSymmetricRing) {
  Canvas c(16, 16);
  Selected brush(c.dc(), CreateSolidBrush(kRed));
  Ellipse(c.dc(), 1, 1, 14, 14);
  RECT b = c.BoundsOf(kBlack);
  EXPECT_EQ(1, b.left);
  EXPECT_EQ(14, b.right);
  EXPECT_EQ(14, b.bottom);
  for (int y = 1; y < 14; ++y)
    for (int x = 1; x < 14; ++x) {
      COLORREF p = c.At(x, y);
      EXPECT_EQ(p, c.At(14 - x, y)) << x << "," << y;
      EXPECT_EQ(p, c.At(x, 14 - y)) << x << "," << y;
      if (p != kBlack) continue;
      // Closed: every ring pixel has at least two ring neighbours.
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += (dx || dy) && c.At(x + dx, y + dy) == kBlack;
      EXPECT_GE(n, 2) << x << "," << y;
    }
  // The fill is enclosed: no red pixel touches white.
  for (int y = 1; y < 15; ++y)
    for (int x = 1; x < 15; ++x)
      if (c.At(x, y) == kRed) {
        EXPECT_NE(kWhite, c.At(x - 1, y));
        EXPECT_NE(kWhite, c.At(x, y + 1));
      }
}

TEST(Shapes, EllipseWithoutPenMatchesTheEllipticRegion) {
  Canvas c(12, 12);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  Ellipse(c.dc(), 0, 0, 11, 11);
  HRGN r = CreateEllipticRgn(0, 0, 10, 10);
  Canvas d(12, 12);
  FillRgn(d.dc(), r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(Join(d.Picture(0, 0, 12, 12, BW())), Join(c.Picture(0, 0, 12, 12, BW())));
  DeleteObject(r);
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
}

TEST(Shapes, RoundRectAndPie) {
  Canvas c(10, 8);
  Selected brush(c.dc(), CreateSolidBrush(kRed));
  RoundRect(c.dc(), 0, 0, 10, 8, 4, 4);
  EXPECT_EQ(kWhite, c.At(0, 0));
  EXPECT_EQ(kBlack, c.At(1, 0));
  EXPECT_EQ(kBlack, c.At(0, 4));
  EXPECT_EQ(kRed, c.At(5, 4));
  // A quarter pie of the upper-right quadrant (counter-clockwise from 0 to 90 degrees).
  Canvas p(21, 21);
  Selected pb(p.dc(), CreateSolidBrush(kRed));
  Pie(p.dc(), 0, 0, 21, 21, 20, 10, 10, 0);
  EXPECT_GT(p.Count(kRed), 40);
  EXPECT_EQ(p.Count(kRed), [&] {
    int n = 0;
    for (int y = 0; y <= 10; ++y)
      for (int x = 10; x < 21; ++x) n += p.At(x, y) == kRed;
    return n;
  }());
  EXPECT_EQ(kBlack, p.At(10, 10));  // the centre is on the radial lines
  EXPECT_EQ(kBlack, p.At(15, 10));
  EXPECT_EQ(kBlack, p.At(10, 5));
  EXPECT_EQ(kWhite, p.At(5, 15));
}

TEST(Shapes, PixelsOutsideTheClipAreNotTouched) {
  Canvas c(8, 8);
  IntersectClipRect(c.dc(), 2, 2, 4, 4);
  EXPECT_EQ(CLR_INVALID, SetPixel(c.dc(), 1, 1, kBlack));
  EXPECT_EQ(kRed, SetPixel(c.dc(), 2, 2, kRed));
  EXPECT_EQ(kRed, GetPixel(c.dc(), 2, 2));
  EXPECT_EQ(CLR_INVALID, GetPixel(c.dc(), 5, 5));
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  Rectangle(c.dc(), 0, 0, 8, 8);
  EXPECT_EQ(4, c.Count(kBlack) + c.Count(kRed));
}

TEST(Shapes, FarAwayCoordinatesAreHarmless) {
  // Figures reaching the limits of the coordinate space draw their visible part only, quickly and
  // without overflow.
  Canvas c(8, 8);
  const int big = 0x7FFFFFF0;
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  Ellipse(c.dc(), -big, -big, big, big);
  EXPECT_EQ(64, c.Count(kBlack));
  c.Clear();
  Rectangle(c.dc(), -big, -big, big, big);
  RoundRect(c.dc(), -big, -big, big, big, big, big);
  POINT tri[] = {{-big, -big}, {big, -big}, {0, big}};
  Polygon(c.dc(), tri, 3);
  MoveToEx(c.dc(), -big, -big, nullptr);
  LineTo(c.dc(), big, big);
  Selected wide(c.dc(), CreatePen(PS_SOLID, 5, kRed));
  LineTo(c.dc(), -big, 3);
  RECT r{-big, -big, big, big};
  FillRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PatBlt(c.dc(), -big, -big, big, big, DSTINVERT);
  BitBlt(c.dc(), -big, -big, big, big, c.dc(), big, big, SRCCOPY);
  StretchBlt(c.dc(), 0, 0, big, big, c.dc(), -big, 0, 2, 2, SRCCOPY);
  SetWindowOrgEx(c.dc(), big, big, nullptr);
  SetPixel(c.dc(), big, big, kRed);
  HRGN e = CreateEllipticRgn(-big, -big, big, big);
  EXPECT_NE(nullptr, e);
  DeleteObject(e);
  SUCCEED();
}

TEST(Shapes, MonochromeSurfacesTakeTheNearerOfBlackAndWhite) {
  Canvas c(4, 1, 1);
  HBRUSH light = CreateSolidBrush(RGB(200, 200, 200)), dark = CreateSolidBrush(RGB(100, 90, 80));
  RECT left{0, 0, 2, 1}, right{2, 0, 4, 1};
  c.Clear(kBlack);
  FillRect(c.dc(), &left, light);
  FillRect(c.dc(), &right, dark);
  EXPECT_PICTURE(c, 0, 0, BW(), {"..##"});
  EXPECT_EQ(kWhite, GetNearestColor(c.dc(), RGB(200, 200, 200)));
  EXPECT_EQ(kBlack, GetPixel(c.dc(), 3, 0));
  DeleteObject(light);
  DeleteObject(dark);
}

}  // namespace gdi_test
