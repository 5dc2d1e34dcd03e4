// Bounds of controls: alignment to the parent's edges, anchors, size constraints, and what follows the
// parent (colour, font, hints).
#include <gtest/gtest.h>

#include <limits>

#include "FormsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/SysUtils.h"
#include "tests/common/Geometry.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;

// A windowed container without borders.
class TBox : public TCustomControl {
  K58_CLASS(TBox, TCustomControl)
  explicit TBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  }
};

class TDot : public TGraphicControl {
  K58_CLASS(TDot, TGraphicControl)
  explicit TDot(TComponent* AOwner) : TGraphicControl(AOwner) {}
};

}  // namespace

K58_IMPLEMENT_CLASS(TBox) {}
K58_IMPLEMENT_CLASS(TDot) {}

namespace {

class LayoutTest : public FormsTest {
 protected:
  LayoutTest() {
    box = new TBox(nullptr);
    box->SetBounds(0, 0, 200, 100);
  }
  ~LayoutTest() override { FreeObject(box); }

  template <class T = TBox>
  T* Child(TAlign Align, int L, int T_, int W, int H) {
    auto* c = new T(box);
    c->SetBounds(L, T_, W, H);
    c->SetAlign(Align);
    c->SetParent(box);
    return c;
  }

  TBox* box;
};

using k58test::Bounds;

TEST_F(LayoutTest, EdgesAreTakenTopBottomLeftRightThenClientFillsTheRest) {
  // Made in another order than they are aligned in.
  auto* client = Child(alClient, 0, 0, 5, 5);
  auto* right = Child<TDot>(alRight, 0, 0, 40, 5);
  auto* left = Child(alLeft, 0, 0, 30, 5);
  auto* bottom = Child(alBottom, 0, 0, 5, 20);
  auto* top = Child<TDot>(alTop, 0, 0, 5, 10);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 200, 10));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 80, 200, 20));
  EXPECT_EQ(left->BoundsRect(), Bounds(0, 10, 30, 70));
  EXPECT_EQ(right->BoundsRect(), Bounds(160, 10, 40, 70));
  EXPECT_EQ(client->BoundsRect(), Bounds(30, 10, 130, 70));

  // The parent's new size is shared out again; hiding a bar gives its space to the others.
  box->SetBounds(0, 0, 300, 200);
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 180, 300, 20));
  EXPECT_EQ(client->BoundsRect(), Bounds(30, 10, 230, 170));
  top->Hide();
  EXPECT_EQ(left->BoundsRect(), Bounds(0, 0, 30, 180));
  EXPECT_EQ(client->BoundsRect(), Bounds(30, 0, 230, 180));
}

TEST_F(LayoutTest, BarsOnOneEdgeStackInTheOrderOfTheirPlaces) {
  auto* a = Child(alTop, 0, 0, 10, 10);
  auto* b = Child(alTop, 0, 50, 10, 20);
  EXPECT_EQ(a->BoundsRect(), Bounds(0, 0, 200, 10));
  EXPECT_EQ(b->BoundsRect(), Bounds(0, 10, 200, 20));
  // Moved above the first one, the second goes first.
  b->SetTop(-1);
  EXPECT_EQ(b->BoundsRect(), Bounds(0, 0, 200, 20));
  EXPECT_EQ(a->BoundsRect(), Bounds(0, 20, 200, 10));
  // A second right bar goes inside the first, until it is moved further right.
  auto* r1 = Child(alRight, 150, 0, 15, 10);
  auto* r2 = Child(alRight, 100, 0, 10, 10);
  EXPECT_EQ(r1->BoundsRect(), Bounds(185, 30, 15, 70));
  EXPECT_EQ(r2->BoundsRect(), Bounds(175, 30, 10, 70));
  r2->SetLeft(195);
  EXPECT_EQ(r2->BoundsRect(), Bounds(190, 30, 10, 70));
  EXPECT_EQ(r1->BoundsRect(), Bounds(175, 30, 15, 70));
}

TEST_F(LayoutTest, AnchorsKeepTheDistancesToTheEdgesTheyName) {
  struct Case {
    TAnchors anchors;
    TRect expected;  // after the parent grew from 200 x 100 to 300 x 150
  } cases[] = {
      {{akLeft, akTop}, Bounds(10, 10, 50, 20)},
      {{akRight, akBottom}, Bounds(110, 60, 50, 20)},
      // Without either vertical (horizontal) anchor the control keeps its share of the parent that way.
      {{akLeft, akRight}, Bounds(10, 20, 150, 20)},
      {{akTop, akBottom}, Bounds(28, 10, 50, 70)},
      {{akLeft, akTop, akRight, akBottom}, Bounds(10, 10, 150, 70)},
      {{}, Bounds(28, 20, 50, 20)},  // neither edge: the centre keeps its share of the parent
  };
  for (const Case& c : cases) {
    box->SetBounds(0, 0, 200, 100);
    auto* control = Child(alNone, 10, 10, 50, 20);
    control->SetAnchors(c.anchors);
    box->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(control->BoundsRect(), c.expected)
        << SetToString(TypeInfoOf<TAnchors>(), static_cast<uint32_t>(c.anchors.Bits()));
    FreeObject(control);
  }
}

TEST_F(LayoutTest, GeometryAtTheIntegerExtremesLoadsWithoutOverflow) {
  constexpr Integer kMin = std::numeric_limits<Integer>::min();
  constexpr Integer kMax = std::numeric_limits<Integer>::max();
  const struct {
    Integer left, top, width, height;
  } geometries[] = {
      {kMin, 10, 50, 20}, {kMax, 10, 50, 20}, {10, kMin, 50, 20}, {10, kMax, 50, 20},
      {10, 10, kMax, 20}, {10, 10, 50, kMax}, {10, 10, kMin, kMin}, {kMax, kMax, kMax, kMax},
      {kMin, kMin, kMax, kMax}, {kMin, kMax, kMax, kMin},
  };
  for (const auto& g : geometries) {
    const String text = "object Box: TBox\n  object Inner: TBox\n    Left = " + IntToStr(g.left) + "\n    Top = " +
                        IntToStr(g.top) + "\n    Width = " + IntToStr(g.width) + "\n    Height = " +
                        IntToStr(g.height) + "\n  end\nend\n";
    SCOPED_TRACE(text);
    box->SetBounds(0, 0, 200, 100);
    ReadComponentFromText(text, box, "text");
    auto* inner = static_cast<TControl*>(box->FindComponent("Inner"));
    ASSERT_NE(inner, nullptr);
    // Anchored to the left and top, it stays where it was read when the parent grows.
    box->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(inner->Left(), g.left);
    EXPECT_EQ(inner->Top(), g.top);
    EXPECT_EQ(inner->Width(), std::max(g.width, 0));
    EXPECT_EQ(inner->Height(), std::max(g.height, 0));
    FreeObject(inner);
  }
}

TEST_F(LayoutTest, ConstraintsAndCanResizeSettleTheSize) {
  auto* c = Child(alNone, 0, 0, 60, 60);
  c->Constraints()->SetMinWidth(50);
  c->Constraints()->SetMaxHeight(40);
  EXPECT_EQ(c->BoundsRect(), Bounds(0, 0, 60, 40));  // the new limit applies at once
  c->SetBounds(5, 5, 10, 100);
  EXPECT_EQ(c->BoundsRect(), Bounds(5, 5, 50, 40));

  // OnCanResize may change the size or refuse it; a refusal keeps the old bounds, position included.
  bool allow = true;
  c->SetOnCanResize(TCanResizeEvent([&](TObject*, Integer& w, Integer& h, bool& resize) {
    w += 1;
    h = 30;
    resize = allow;
  }));
  c->SetBounds(0, 0, 70, 70);
  EXPECT_EQ(c->BoundsRect(), Bounds(0, 0, 71, 30));
  allow = false;
  c->SetBounds(1, 1, 90, 90);
  EXPECT_EQ(c->BoundsRect(), Bounds(0, 0, 71, 30));

  // An aligned control takes its constrained size out of the rectangle, not the one it was offered.
  c->SetOnCanResize(nullptr);
  auto* client = Child(alClient, 0, 0, 1, 1);
  c->SetAlign(alLeft);
  c->Constraints()->SetMaxWidth(55);
  box->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(c->BoundsRect(), Bounds(0, 0, 55, 40));
  EXPECT_EQ(client->BoundsRect(), Bounds(55, 0, 145, 100));
}

TEST_F(LayoutTest, ColourFontAndHintsFollowTheParentUntilSetOnTheControl) {
  auto* mid = Child(alNone, 0, 0, 100, 100);
  auto* leaf = new TDot(box);
  leaf->SetParent(mid);
  auto* own = new TDot(box);
  own->SetParent(mid);
  own->SetColor(clRed);
  own->Font()->SetSize(20);

  box->SetColor(clYellow);
  box->Font()->SetName("Tahoma");
  box->SetShowHint(true);
  EXPECT_EQ(mid->Color(), clYellow);
  EXPECT_EQ(leaf->Color(), clYellow);
  EXPECT_EQ(leaf->Font()->Name(), "Tahoma");
  EXPECT_TRUE(leaf->ShowHint());
  EXPECT_TRUE(leaf->ParentColor());
  EXPECT_TRUE(leaf->ParentFont());
  EXPECT_EQ(own->Color(), clRed);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_EQ(own->Font()->Size(), 20);
  EXPECT_FALSE(own->ParentFont());

  // Turning ParentColor back on takes the parent's colour again.
  own->SetParentColor(true);
  EXPECT_EQ(own->Color(), clYellow);
  // A control put into another parent takes that parent's.
  auto* other = Child(alNone, 0, 0, 10, 10);
  other->SetParentColor(false);
  other->SetColor(clLime);
  leaf->SetParent(other);
  EXPECT_EQ(leaf->Color(), clLime);
}

TEST_F(LayoutTest, CaptionFollowsTheNameUntilItIsChanged) {
  auto* c = Child(alNone, 0, 0, 10, 10);
  c->SetName("Button1");
  EXPECT_EQ(c->Caption(), "Button1");
  c->SetName("OkButton");
  EXPECT_EQ(c->Caption(), "OkButton");
  c->SetCaption("&OK");
  c->SetName("Other");
  EXPECT_EQ(c->Caption(), "&OK");

  int changes = 0;
  forms_test::ControlSpy spy(c);
  c->SetText("&OK");  // unchanged: no notification
  c->SetText("Go");
  changes = spy.Log.Count(CM_TEXTCHANGED);
  EXPECT_EQ(changes, 1);
  char buffer[3];
  EXPECT_EQ(c->GetTextBuf(buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "Go");
}

}  // namespace

}  // namespace forms_test
