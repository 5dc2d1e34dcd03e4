// The flat border of popup menu windows in both version branches, its window procedure, and the
// border messages the item painter posts.
#include "tests/skin/SkinTesting.h"

namespace skin_test {
namespace {

class SkinBorderTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    form = NewForm();
    skin = NewSkin(form);
    skin->SetFlatMenu(true);
    TCanvas screen;
    screen.SetHandle(ScreenDC());
    skin->UpdateColors(&screen);
    screen.SetHandle(nullptr);
    WNDCLASS cls{};
    cls.lpfnWndProc = &DefWindowProc;
    cls.lpszClassName = "SkinTestPopup";
    RegisterClass(&cls);
    popup = CreateWindowEx(WS_EX_TOOLWINDOW, "SkinTestPopup", "", WS_POPUP | WS_VISIBLE, 200, 200, 100, 60, nullptr,
                           nullptr, nullptr, nullptr);
    ASSERT_NE(popup, nullptr);
    Pump();
    original = GetWindowLongPtr(popup, GWLP_WNDPROC);
    // The items' colour in row 3, something else everywhere else.
    HDC dc = GetWindowDC(popup);
    RECT all{0, 0, 100, 60}, row{0, 3, 100, 4};
    HBRUSH other = CreateSolidBrush(RGB(255, 0, 255)), items = CreateSolidBrush(RGB(0, 128, 0));
    FillRect(dc, &all, other);
    FillRect(dc, &row, items);
    DeleteObject(other);
    DeleteObject(items);
    ReleaseDC(popup, dc);
  }
  void TearDown() override {
    if (IsWindow(popup)) DestroyWindow(popup);
    SkinTest::TearDown();
  }
  COLORREF At(int X, int Y) { return D->WindowPixel(popup, POINT{X, Y}); }

  TForm* form = nullptr;
  TSkinMenu* skin = nullptr;
  HWND popup = nullptr;
  LONG_PTR original = 0;
};

TEST_F(SkinBorderTest, BelowXpTheWindowIsShapedForItsShadow) {
  skin->SetPlatform(true, true, false);
  k58::skin::DrawPopupBorder(skin, popup, false);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(popup, shape), COMPLEXREGION);
  struct Point {
    int X, Y;
    bool Inside;
  } points[] = {{0, 0, true}, {97, 0, true}, {98, 0, false}, {99, 1, false}, {99, 2, true},
                {99, 59, true}, {0, 58, false}, {1, 57, true}, {2, 58, true}};
  for (const Point& p : points) EXPECT_EQ(PtInRegion(shape, p.X, p.Y) != 0, p.Inside) << p.X << "," << p.Y;
  DeleteObject(shape);
  EXPECT_EQ(At(0, 0), Rgb(skin->DrawBorderColor));
  EXPECT_EQ(At(97, 30), Rgb(skin->DrawBorderColor)) << "the frame inside the shadow";
  EXPECT_EQ(At(1, 20), Rgb(skin->DrawIconBackColor));
  EXPECT_EQ(At(2, 20), Rgb(skin->DrawIconBackColor));
  EXPECT_EQ(At(50, 1), RGB(0, 128, 0)) << "the top gap takes the items' row";
  EXPECT_EQ(At(50, 2), RGB(0, 128, 0));
  EXPECT_EQ(At(98, 30), Rgb(skin->DrawShadowColor));
  EXPECT_EQ(At(99, 30), Rgb(skin->DrawShadowColor));
  EXPECT_EQ(At(50, 59), Rgb(skin->DrawShadowColor));

  // Opening again keeps the region that already has the shape, and the window is subclassed once.
  LONG_PTR ours = GetWindowLongPtr(popup, GWLP_WNDPROC);
  EXPECT_NE(ours, original);
  k58::skin::DrawPopupBorder(skin, popup, false);
  EXPECT_EQ(GetWindowLongPtr(popup, GWLP_WNDPROC), ours);

  // Hiding gives the window its procedure back and drops the shape.
  ShowWindow(popup, SW_HIDE);
  EXPECT_EQ(GetWindowLongPtr(popup, GWLP_WNDPROC), original);
  RECT box{};
  EXPECT_EQ(GetWindowRgnBox(popup, &box), ERROR);
}

TEST_F(SkinBorderTest, OnXpTheGapsAreFilledAndNoShadowIsShaped) {
  k58::skin::DrawPopupBorder(skin, popup, false);
  RECT box{};
  EXPECT_EQ(GetWindowRgnBox(popup, &box), ERROR);
  EXPECT_EQ(At(99, 30), Rgb(skin->DrawBorderColor));
  EXPECT_EQ(At(50, 59), Rgb(skin->DrawBorderColor));
  EXPECT_EQ(At(97, 30), Rgb(skin->DrawColor));
  EXPECT_EQ(At(98, 30), Rgb(skin->DrawColor));
  EXPECT_EQ(At(50, 57), RGB(0, 128, 0)) << "the bottom gap takes the items' row";
  EXPECT_EQ(At(50, 58), RGB(0, 128, 0));
  EXPECT_EQ(SendMessage(popup, WM_ERASEBKGND, 0, 0), 1);
  DestroyWindow(popup);
  popup = nullptr;
}

TEST_F(SkinBorderTest, AClosingSubmenuRepaintsTheFlatPopupUnderItsShadow) {
  // A plain window beside the popup, and a submenu over each: the point right of a submenu lies in the
  // window under it.
  HWND plain = CreateWindowEx(WS_EX_TOOLWINDOW, "SkinTestPopup", "", WS_POPUP | WS_VISIBLE, 200, 300, 100, 60,
                              nullptr, nullptr, nullptr, nullptr);
  k58::skin::DrawPopupBorder(skin, popup, false);
  struct Case {
    const char* What;
    HWND Under;
    int Top;
    bool Repainted;
  } cases[] = {{"flat popup", popup, 210, true}, {"plain window", plain, 310, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    HWND submenu = CreateWindowEx(WS_EX_TOOLWINDOW, "SkinTestPopup", "", WS_POPUP | WS_VISIBLE, 170, c.Top, 40, 30,
                                  nullptr, nullptr, nullptr, nullptr);
    k58::skin::DrawPopupBorder(skin, submenu, false);
    ValidateRect(c.Under, nullptr);
    ShowWindow(submenu, SW_HIDE);
    RECT dirty{};
    EXPECT_EQ(GetUpdateRect(c.Under, &dirty, FALSE) != 0, c.Repainted);
    DestroyWindow(submenu);
  }
  DestroyWindow(plain);
}

TEST_F(SkinBorderTest, DrawingItemsPostsOneBorderMessageAtATime) {
  auto* menu = new TPopupMenu(form);
  auto* item = new TMenuItem(form);
  item->SetCaption("Cut");
  menu->Items()->Add(item);
  Sheet sheet(104, 20);
  skin->DrawMenuItem(item, sheet.Canvas(), TRect{4, 0, 104, 20}, false);
  skin->DrawMenuItem(item, sheet.Canvas(), TRect{4, 0, 104, 20}, true);
  int waiting = 0;
  MSG msg;
  while (PeekMessage(&msg, Application->Handle(), WM_SKINBORDERITEM, WM_SKINBORDERWINDOW, PM_REMOVE)) {
    ++waiting;
    EXPECT_EQ(msg.message, WM_SKINBORDERITEM) << "the item's window is not known: it goes by menu and position";
    EXPECT_EQ(reinterpret_cast<HMENU>(msg.wParam), menu->Handle());
    EXPECT_EQ(msg.lParam, 0);
  }
  EXPECT_EQ(waiting, 1);
  skin->SetFlatMenu(false);
  skin->DrawMenuItem(item, sheet.Canvas(), TRect{4, 0, 104, 20}, false);
  EXPECT_FALSE(PeekMessage(&msg, Application->Handle(), WM_SKINBORDERITEM, WM_SKINBORDERWINDOW, PM_NOREMOVE));
}

}  // namespace
}  // namespace skin_test

namespace skin_test {
namespace {

// The border messages share their numbers with reflected notifications: keys sent to the application
// window must not come back to it reflected.
TEST_F(SkinTest, TheApplicationWindowGetsNoReflectedMessages) {
  std::vector<UINT> seen;
  TWindowHook hook([&](TMessage& M) {
    if (M.Msg >= CN_BASE && M.Msg < CN_BASE + 0x400) seen.push_back(M.Msg);
    return false;
  });
  Application->HookMainWindow(hook);
  PostMessage(Application->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  PostMessage(Application->Handle(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  Application->UnhookMainWindow(hook);
  EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace skin_test
