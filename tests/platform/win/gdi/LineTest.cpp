#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

TEST(Lines, LineToOmitsTheLastPixelAndContinuesFromIt) {
  Canvas c(7, 5);
  MoveToEx(c.dc(), 1, 1, nullptr);
  LineTo(c.dc(), 5, 1);
  LineTo(c.dc(), 5, 4);
  EXPECT_PICTURE(c, 0, 0, BW(), {".......", ".#####.", ".....#.", ".....#.", "......."});
  POINT cp;
  GetCurrentPositionEx(c.dc(), &cp);
  EXPECT_EQ(5, cp.x);
  EXPECT_EQ(4, cp.y);
}

TEST(Lines, MinorStepsRoundToTheNearerPixelAndTiesGoTowardTheStart) {
  Canvas c(6, 3);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 4, 1);
  EXPECT_PICTURE(c, 0, 0, BW(), {"###...", "...#..", "......"});
  c.Clear();
  MoveToEx(c.dc(), 4, 1, nullptr);
  LineTo(c.dc(), 0, 0);
  EXPECT_PICTURE(c, 0, 0, BW(), {".#....", "..###.", "......"});
  c.Clear();
  // 45-degree diagonals have one pixel per step in both directions.
  MoveToEx(c.dc(), 0, 2, nullptr);
  LineTo(c.dc(), 3, -1);
  EXPECT_PICTURE(c, 0, 0, BW(), {"..#...", ".#....", "#....."});
}

TEST(Lines, ClosedPolygonOutlineCoversEveryVertexOnce) {
  Canvas c(6, 6);
  SetROP2(c.dc(), R2_NOT);
  Selected brush(c.dc(), GetStockObject(NULL_BRUSH), false);
  POINT tri[] = {{1, 1}, {4, 1}, {1, 4}};
  Polygon(c.dc(), tri, 3);
  // With an inverting pen a pixel drawn twice would come back white.
  EXPECT_PICTURE(c, 0, 0, BW(), {"......", ".####.", ".#.#..", ".##...", ".#....", "......"});
  EXPECT_EQ(kBlack, c.At(1, 4));
  Polygon(c.dc(), tri, 3);
  EXPECT_EQ(36, c.Count(kWhite));
}

TEST(Lines, DashStylesWithOpaqueAndTransparentGaps) {
  Canvas c(24, 3);
  HDC dc = c.dc();
  {
    Selected pen(dc, CreatePen(PS_DOT, 1, kBlack));
    SetBkColor(dc, kRed);
    SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 13, 0);
    SetBkMode(dc, OPAQUE);
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 13, 1);
  }
  {
    Selected pen(dc, CreatePen(PS_DASHDOT, 1, kBlack));
    MoveToEx(dc, 0, 2, nullptr);
    LineTo(dc, 24, 2);
  }
  std::map<COLORREF, char> legend{{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}};
  EXPECT_PICTURE(c, 0, 0, legend, {"###...###...#...........", "###rrr###rrr#...........", "#########rrrrrr###rrrrrr"});
}

TEST(Lines, StylesContinueAcrossTheSegmentsOfAPolyline) {
  Canvas c(8, 8);
  Selected pen(c.dc(), CreatePen(PS_DOT, 1, kBlack));
  SetBkMode(c.dc(), TRANSPARENT);
  POINT pts[] = {{0, 0}, {4, 0}, {4, 6}};
  Polyline(c.dc(), pts, 3);
  // 3 on, 3 off: x 0..2 on, x 3 and then y 0..1 off at the corner, y 2..4 on.
  EXPECT_PICTURE(c, 0, 0, BW(), {"###.....", "........", "....#...", "....#...", "....#...", "........"});
}

TEST(Lines, BinaryRasterOperationsOfThePen) {
  const COLORREF pen = RGB(0xF0, 0x0F, 0x33), dst = RGB(0xCC, 0xAA, 0x55);
  auto op = [&](auto f) { return RGB(f(0xF0, 0xCC), f(0x0F, 0xAA), f(0x33, 0x55)); };
  struct Case {
    int rop2;
    COLORREF expected;
  } cases[] = {
      {R2_BLACK, RGB(0, 0, 0)},
      {R2_WHITE, RGB(255, 255, 255)},
      {R2_NOP, dst},
      {R2_COPYPEN, pen},
      {R2_NOTCOPYPEN, op([](int p, int) { return 255 - p; })},
      {R2_NOT, op([](int, int d) { return 255 - d; })},
      {R2_XORPEN, op([](int p, int d) { return p ^ d; })},
      {R2_NOTXORPEN, op([](int p, int d) { return 255 - (p ^ d); })},
      {R2_MASKPEN, op([](int p, int d) { return p & d; })},
      {R2_MERGEPEN, op([](int p, int d) { return p | d; })},
      {R2_MASKPENNOT, op([](int p, int d) { return p & (255 - d); })},
      {R2_MERGENOTPEN, op([](int p, int d) { return (255 - p) | d; })},
  };
  Canvas c(2, 1);
  Selected selected(c.dc(), CreatePen(PS_SOLID, 1, pen));
  for (const auto& k : cases) {
    c.Clear(dst);
    SetROP2(c.dc(), k.rop2);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 1, 0);
    EXPECT_EQ(k.expected, c.At(0, 0)) << "R2 mode " << k.rop2;
    EXPECT_EQ(dst, c.At(1, 0)) << "R2 mode " << k.rop2;
  }
}

TEST(Lines, GeometricPenWithFlatEndsAndMitreJoin) {
  Canvas c(11, 10);
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  Selected pen(c.dc(), ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 3, &lb, 0, nullptr));
  POINT pts[] = {{2, 2}, {8, 2}, {8, 8}};
  Polyline(c.dc(), pts, 3);
  EXPECT_PICTURE(c, 0, 0, BW(),
                 {"...........", "..########.", "..########.", "..########.", ".......###.", ".......###.",
                  ".......###.", ".......###.", "...........", "..........."});
}

TEST(Lines, GeometricOnePixelPenDrawsGridLinesLikeACosmeticPen) {
  Canvas a(10, 10), b(10, 10);
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  Selected geo(a.dc(), ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, &lb, 0, nullptr));
  POINT pts[] = {{0, 3}, {10, 3}, {5, 0}, {5, 10}};
  DWORD counts[] = {2, 2};
  PolyPolyline(a.dc(), pts, counts, 2);
  PolyPolyline(b.dc(), pts, counts, 2);
  EXPECT_EQ(Join(a.Picture(0, 0, 10, 10, BW())), Join(b.Picture(0, 0, 10, 10, BW())));
  EXPECT_EQ(19, a.Count(kBlack));
}

TEST(Lines, WidePenIsCentredOnThePath) {
  Canvas c(10, 7);
  Selected pen(c.dc(), CreatePen(PS_SOLID, 3, kBlack));
  MoveToEx(c.dc(), 3, 3, nullptr);
  LineTo(c.dc(), 6, 3);
  // Round ends reach one pixel and a half past the end points.
  RECT b = c.BoundsOf(kBlack);
  EXPECT_EQ(2, b.top);
  EXPECT_EQ(5, b.bottom);
  EXPECT_EQ(2, b.left);
  EXPECT_EQ(8, b.right);
}

}  // namespace gdi_test
