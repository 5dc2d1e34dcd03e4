// The spin buttons' places in the three placements, with and without fast buttons, and their pixels per
// look: arrows in the text colour when enabled, embossed when disabled.
#include "platform/forms/Graphics.h"
#include "tests/controls/editors/SpinEditTesting.h"

namespace editors_test {
namespace {

class SpinEditViewTest : public SpinFormTest {
 protected:
  TuiSpinEdit* Spin(TuiSpinEditButtonsPosition APosition, bool AFast) {
    auto* spin = NewEdit<TuiSpinEdit>(10, 10, 160);
    spin->Properties()->SpinButtons()->SetPosition(APosition);
    spin->Properties()->SpinButtons()->SetShowFastButtons(AFast);
    Pump();
    return spin;
  }
  static Integer Width(const TRect& R) { return R.right - R.left; }
  // Pixels of AColor inside R of the editor's client area.
  int Count(TWinControl* AControl, const TRect& R, TColor AColor) {
    AControl->Repaint();
    Pump();
    const COLORREF rgb = ColorToRGB(AColor);
    int n = 0;
    for (Integer y = R.top; y < R.bottom; ++y)
      for (Integer x = R.left; x < R.right; ++x)
        if (Display.ClientPixel(AControl->Handle(), POINT{x, y}) == rgb) ++n;
    return n;
  }
};

TEST_F(SpinEditViewTest, DefaultButtonsAreStackedAtTheRightEachHalfTheHeight) {
  auto* spin = Spin(sbpVert, false);
  const TuiCustomEditViewInfo* view = spin->EditViewInfo();
  const TRect up = ButtonBounds(spin, 1), down = ButtonBounds(spin, 0);
  const Integer standard = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(Width(up), standard);
  EXPECT_EQ(Width(down), standard);
  EXPECT_EQ(up.left, down.left);
  EXPECT_EQ(up.top, view->ClientRect.top);
  EXPECT_EQ(up.bottom, down.top);
  EXPECT_EQ(down.bottom, view->ClientRect.bottom);
  EXPECT_LE(std::abs((up.bottom - up.top) - (down.bottom - down.top)), 1);
  EXPECT_EQ(up.right, view->BorderRect.right);
  EXPECT_LE(view->ClientRect.right, up.left) << "the text ends where the buttons begin";
}

TEST_F(SpinEditViewTest, PlacementsOrderTheButtonsAroundTheText) {
  struct Case {
    TuiSpinEditButtonsPosition position;
    bool fast;
    // Button indexes from left to right; -1 stands for the text.
    std::vector<Integer> order;
  };
  const Case cases[] = {
      {sbpHorzLeftRight, true, {2, 0, -1, 1, 3}},
      {sbpHorzLeftRight, false, {0, -1, 1}},
      {sbpHorzRight, true, {-1, 2, 0, 1, 3}},
      {sbpHorzRight, false, {-1, 0, 1}},
      {sbpVert, true, {-1, 2, 1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.position << (c.fast ? " with" : " without") << " fast buttons");
    auto* spin = Spin(c.position, c.fast);
    const TRect text = spin->EditViewInfo()->ClientRect;
    Integer x = spin->EditViewInfo()->BorderRect.left;
    for (const Integer index : c.order) {
      const TRect r = index < 0 ? text : ButtonBounds(spin, index);
      SCOPED_TRACE(index);
      EXPECT_GT(Width(r), 0);
      EXPECT_GE(r.left, x) << "after what is left of it";
      x = r.right;
    }
    EXPECT_EQ(x, spin->EditViewInfo()->BorderRect.right) << "the last one ends at the border";
    if (c.position != sbpVert) {
      const Integer s = Width(ButtonBounds(spin, 1));
      EXPECT_EQ(Width(ButtonBounds(spin, 0)), s);
      if (c.fast) {
        EXPECT_EQ(Width(ButtonBounds(spin, 3)), (3 * s + 1) / 2) << "fast buttons are half as wide again";
      }
    }
    FreeObject(spin);
  }
}

TEST_F(SpinEditViewTest, ArrowsAreDrawnInTheTextColourOrEmbossedWhenDisabled) {
  for (const TuiEditButtonStyle style : {bts3D, btsFlat, btsUltraFlat, btsOffice11}) {
    SCOPED_TRACE(testing::Message() << "button style " << style);
    auto* spin = Spin(sbpVert, true);
    spin->Style()->SetButtonStyle(style);
    Pump();
    for (const Integer index : {0, 1, 2, 3}) {
      SCOPED_TRACE(index);
      TRect r = ButtonBounds(spin, index);
      InflateRect(&r, -2, -2);
      EXPECT_GT(Count(spin, r, clBtnText), 0) << "an arrow in the text colour";
    }
    spin->SetEnabled(false);
    Pump();
    for (const Integer index : {0, 1, 2, 3}) {
      SCOPED_TRACE(index);
      TRect r = ButtonBounds(spin, index);
      InflateRect(&r, -2, -2);
      EXPECT_EQ(Count(spin, r, clBtnText), 0);
      const int shadow = Count(spin, r, clBtnShadow), light = Count(spin, r, clBtnHighlight);
      EXPECT_GT(shadow, 0) << "the arrow in the shadow colour";
      EXPECT_GT(light, 0) << "its emboss in the highlight colour";
    }
    FreeObject(spin);
  }
}

TEST_F(SpinEditViewTest, AKeyHeldButtonIsDrawnPressed) {
  auto* spin = Spin(sbpVert, false);
  spin->Style()->SetButtonStyle(btsUltraFlat);
  Focus(spin);
  TRect up = ButtonBounds(spin, 1);
  const int normalFill = Count(spin, up, clBtnFace);
  Display.KeyDown(VK_UP);
  Pump();
  EXPECT_LT(Count(spin, up, clBtnFace), normalFill) << "the pressed face replaces the normal one";
  Display.KeyUp(VK_UP);
  Pump();
  EXPECT_EQ(Count(spin, up, clBtnFace), normalFill);
}

}  // namespace
}  // namespace editors_test
