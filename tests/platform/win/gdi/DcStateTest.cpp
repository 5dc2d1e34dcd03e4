#include "GdiTestSupport.h"

namespace gdi_test {

using namespace gdi_test;

TEST(DcState, SaveAndRestoreByLevelAndRelative) {
  Canvas c(10, 10);
  HDC dc = c.dc();
  SetTextColor(dc, kRed);
  int first = SaveDC(dc);
  SetTextColor(dc, kGreen);
  SetWindowOrgEx(dc, 3, 4, nullptr);
  int second = SaveDC(dc);
  EXPECT_EQ(1, first);
  EXPECT_EQ(2, second);
  SetTextColor(dc, kBlue);
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(kGreen, GetTextColor(dc));
  POINT org;
  GetWindowOrgEx(dc, &org);
  EXPECT_EQ(3, org.x);
  EXPECT_TRUE(RestoreDC(dc, first));
  EXPECT_EQ(kRed, GetTextColor(dc));
  GetWindowOrgEx(dc, &org);
  EXPECT_EQ(0, org.x);
  // Nothing is left to restore; level 0 and levels beyond the stack fail without effect.
  EXPECT_FALSE(RestoreDC(dc, -1));
  EXPECT_FALSE(RestoreDC(dc, 0));
  SaveDC(dc);
  EXPECT_FALSE(RestoreDC(dc, 2));
  EXPECT_TRUE(RestoreDC(dc, 1));
}

TEST(DcState, ClipRegionHasANoClipAnswerAndIsRestored) {
  Canvas c(20, 20);
  HDC dc = c.dc();
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(0, GetClipRgn(dc, probe));
  EXPECT_EQ(-1, GetClipRgn(dc, nullptr));
  SaveDC(dc);
  EXPECT_EQ(SIMPLEREGION, IntersectClipRect(dc, 2, 2, 8, 8));
  EXPECT_EQ(COMPLEXREGION, ExcludeClipRect(dc, 4, 4, 6, 6));
  EXPECT_EQ(1, GetClipRgn(dc, probe));
  EXPECT_TRUE(PtInRegion(probe, 2, 2));
  EXPECT_FALSE(PtInRegion(probe, 4, 4));
  RECT box;
  EXPECT_EQ(COMPLEXREGION, GetClipBox(dc, &box));
  EXPECT_EQ(2, box.left);
  EXPECT_EQ(8, box.right);
  RestoreDC(dc, -1);
  EXPECT_EQ(0, GetClipRgn(dc, probe));
  // SelectClipRgn copies the region: changing the handle afterwards does not change the clip.
  HRGN r = CreateRectRgn(1, 1, 3, 3);
  SelectClipRgn(dc, r);
  OffsetRgn(r, 10, 10);
  EXPECT_TRUE(PtVisible(dc, 1, 1));
  EXPECT_FALSE(PtVisible(dc, 11, 11));
  EXPECT_EQ(SIMPLEREGION, SelectClipRgn(dc, nullptr));
  EXPECT_EQ(0, GetClipRgn(dc, probe));
  DeleteObject(r);
  DeleteObject(probe);
}

TEST(DcState, ClipRectanglesAreLogicalButTheClipLivesInDeviceCoordinates) {
  Canvas c(30, 30);
  HDC dc = c.dc();
  SetWindowOrgEx(dc, 10, 0, nullptr);  // logical x 10 is device x 0
  IntersectClipRect(dc, 10, 0, 15, 5);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  GetClipRgn(dc, probe);
  RECT box;
  GetRgnBox(probe, &box);
  EXPECT_EQ(0, box.left);  // device coordinates
  EXPECT_EQ(5, box.right);
  // Moving the window origin afterwards moves what the clip means logically, not the device pixels.
  SetWindowOrgEx(dc, 0, 0, nullptr);
  RECT all{0, 0, 30, 30};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(5, c.BoundsOf(kBlack).right);
  EXPECT_EQ(25, c.Count(kBlack));
  RECT logical;
  GetClipBox(dc, &logical);
  EXPECT_EQ(0, logical.left);
  SetViewportOrgEx(dc, 2, 3, nullptr);
  GetClipBox(dc, &logical);
  EXPECT_EQ(-2, logical.left);
  EXPECT_EQ(-3, logical.top);
  DeleteObject(probe);
}

TEST(DcState, SurfaceDCDrawsAtItsOriginInsideItsVisibleRegion) {
  auto surface = std::make_shared<k58::gdi::Surface>(20, 20, 32);
  surface->Fill(k58::gdi::kWhitePixel);
  k58::gdi::Region visible(RECT{5, 5, 12, 20});
  HDC dc = k58::gdi::CreateSurfaceDC(surface, POINT{5, 5}, &visible);
  RECT r{0, 0, 10, 10};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  int black = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) black += surface->Get(x, y) == 0;
  EXPECT_EQ(7 * 10, black);  // [5, 12) x [5, 15)
  EXPECT_EQ(0u, surface->Get(5, 5));
  EXPECT_EQ(k58::gdi::kWhitePixel, surface->Get(12, 5));
  // A user clip region is relative to the DC origin.
  HRGN clip = CreateRectRgn(0, 0, 2, 2);
  SelectClipRgn(dc, clip);
  surface->Fill(k58::gdi::kWhitePixel);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(0u, surface->Get(6, 6));
  EXPECT_EQ(k58::gdi::kWhitePixel, surface->Get(7, 7));
  k58::gdi::SetSurfaceDCOrigin(dc, POINT{0, 0});
  EXPECT_TRUE(PtVisible(dc, 5, 5) == FALSE);  // the clip moved with the origin, out of the visible part
  DeleteObject(clip);
  DeleteDC(dc);
}

TEST(DcState, ObjectsStaySafeAcrossDeletion) {
  Canvas c(10, 10);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(c.dc(), pen);
  // A selected pen may be deleted; the DC keeps drawing with it until it lets go.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(0u, GetObjectType(pen));
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 5, 0);
  EXPECT_EQ(kRed, c.At(0, 0));
  SelectObject(c.dc(), old);
  // A bitmap lives in one memory DC at a time and cannot be deleted while selected.
  HDC other = CreateCompatibleDC(c.dc());
  EXPECT_EQ(nullptr, SelectObject(other, c.bitmap()));
  EXPECT_FALSE(DeleteObject(c.bitmap()));
  DeleteDC(other);
  // Stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(nullptr, SelectObject(c.dc(), nullptr));
}

TEST(DcState, NewMemoryDCIsMonochromeUntilABitmapIsSelected) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP compatible = CreateCompatibleBitmap(dc, 4, 4);
  BITMAP bm;
  ASSERT_EQ(static_cast<int>(sizeof(bm)), GetObject(compatible, sizeof(bm), &bm));
  EXPECT_EQ(1, bm.bmBitsPixel);
  EXPECT_EQ(32, GetDeviceCaps(dc, BITSPIXEL));
  DeleteObject(compatible);
  DeleteDC(dc);
  EXPECT_EQ(0, GetDeviceCaps(dc, BITSPIXEL));
}

}  // namespace gdi_test
