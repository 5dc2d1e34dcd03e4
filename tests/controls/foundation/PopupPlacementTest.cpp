// Popup placement next to an owner rectangle on two monitors: flipping to the side with more room,
// staying put when that side has less, clamping to the work area, and the monitor nearest the anchor.
#include <gtest/gtest.h>

#include "controls/foundation/uiPopupWindow.h"
#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;
using k58::foundation::ComputePopupOrigin;
using k58::foundation::TuiPopupPlacement;

namespace {

// A 1280×1024 primary monitor with a 30-pixel task bar at the bottom, and a 1024×768 one to its right.
class PopupPlacementTest : public FoundationTest {
 protected:
  PopupPlacementTest() {
    k58::winui::MonitorDesc primary, second;
    primary.Bounds = RECT{0, 0, 1280, 1024};
    primary.WorkArea = RECT{0, 0, 1280, 994};
    primary.Primary = true;
    second.Bounds = RECT{1280, 0, 2304, 768};
    second.WorkArea = second.Bounds;
    Display.Headless().SetMonitors({primary, second});
    k58::winui::HostScreenChanged();
    Display.Pump();
  }
};

}  // namespace

TEST_F(PopupPlacementTest, OriginFlipsAndClampsOnTheNearestWorkArea) {
  struct Case {
    const char* Name;
    TRect Owner;
    Integer Width, Height;
    TuiPopupDirection Direction;
    TuiPopupAlignment Horz, Vert;
    TPoint Expected;
  };
  const Case cases[] = {
      {"below the owner", {100, 100, 200, 120}, 150, 200, pdVertical, palBefore, palAfter, {100, 120}},
      {"above near the task bar", {100, 900, 200, 920}, 150, 200, pdVertical, palBefore, palAfter, {100, 700}},
      {"stays below with less room above", {100, 100, 200, 120}, 150, 950, pdVertical, palBefore, palAfter, {100, 120}},
      {"above the top goes below", {100, 50, 200, 70}, 150, 100, pdVertical, palBefore, palBefore, {100, 70}},
      {"right-aligned", {300, 100, 400, 120}, 150, 50, pdVertical, palAfter, palAfter, {250, 120}},
      {"wide popup clamped at the right", {1100, 100, 1200, 120}, 400, 100, pdVertical, palBefore, palAfter,
       {880, 120}},
      {"second monitor: above and clamped", {2200, 700, 2280, 720}, 150, 100, pdVertical, palBefore, palAfter,
       {2154, 600}},
      {"beside: flips to the left", {1200, 100, 1270, 120}, 100, 50, pdHorizontal, palAfter, palBefore, {1100, 100}},
      {"beside: clamped above the task bar", {100, 980, 200, 990}, 100, 50, pdHorizontal, palAfter, palBefore,
       {200, 944}},
      {"centred at the corner", {0, 0, 100, 20}, 200, 100, pdVertical, palCenter, palCenter, {0, 0}},
  };
  for (const Case& c : cases) {
    TuiPopupPlacement placement;
    placement.OwnerRect = c.Owner;
    placement.Width = c.Width;
    placement.Height = c.Height;
    placement.Direction = c.Direction;
    placement.HorzAlignment = c.Horz;
    placement.VertAlignment = c.Vert;
    const TPoint origin = ComputePopupOrigin(placement);
    EXPECT_EQ(c.Expected.x, origin.x) << c.Name;
    EXPECT_EQ(c.Expected.y, origin.y) << c.Name;
  }
}

TEST_F(PopupPlacementTest, PopupWindowFitsItsChildrenInsideTheFrameAndOpensBesideTheOwner) {
  auto* popup = NewObject<TuiPopupWindow>(nullptr);
  popup->SetPopupBorderStyle(3);  // two pixels of frame
  popup->SetBorderSpace(1);
  auto* child = NewObject<TuiContainer>(popup);
  child->SetBounds(0, 0, 50, 20);
  child->SetParent(popup);
  popup->SetOwnerBounds(TRect{100, 960, 200, 980});
  popup->Popup();
  Display.Pump();
  EXPECT_TRUE(popup->Visible());
  EXPECT_EQ((TRect{3, 3, 53, 23}), (TRect{child->Left(), child->Top(), child->Left() + 50, child->Top() + 20}));
  EXPECT_EQ((TRect{100, 934, 156, 960}), (TRect{popup->Left(), popup->Top(), popup->Left() + popup->Width(),
                                                popup->Top() + popup->Height()}))
      << "no room below the owner above the task bar: above it";
  popup->SetPopupBorderStyle(1);
  EXPECT_EQ(0, child->Left()) << "the children move back by the old offsets";
  popup->ClosePopup();
  EXPECT_FALSE(popup->Visible());
  FreeObject(popup);
}
