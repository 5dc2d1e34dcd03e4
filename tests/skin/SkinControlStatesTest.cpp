// The flat painters of combo boxes, lookup combos, up-down buttons, panels, group boxes, lists and
// progress bars: their pixels in each state.
#include "tests/skin/SkinTesting.h"

#include <functional>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

namespace skin_test {
namespace {

// A lookup combo of the data controls, known to the painter only by its class name.
class TDBLookupComboBox : public TCustomControl {
  K58_CLASS(TDBLookupComboBox, TCustomControl)
  explicit TDBLookupComboBox(TComponent* AOwner) : TCustomControl(AOwner) {}
};

}  // namespace
}  // namespace skin_test

using skin_test::TDBLookupComboBox;
K58_IMPLEMENT_CLASS(TDBLookupComboBox) {}

namespace skin_test {
namespace {

class SkinStatesTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    form = NewForm();
    form->SetBounds(100, 100, 500, 400);
    combo = Place<TComboBox>(10, 10, 120, 21);
    combo->Items()->Add("one");
    combo->Items()->Add("two");
    lookup = Place<TDBLookupComboBox>(10, 40, 120, 21);
    upDown = Place<TUpDown>(150, 10, 17, 30);
    panel = Place<TPanel>(200, 10, 80, 60);
    group = Place<TGroupBox>(300, 10, 120, 80);
    group->SetCaption("Radio");
    list = Place<TListBox>(10, 120, 100, 80);
    progress = Place<TProgressBar>(150, 120, 120, 16);
    other = Place<TEdit>(300, 120, 80, 21);
    form->Show();
    Pump();
    skin = NewSkin(form);
    Pump();
  }
  template <class T>
  T* Place(int X, int Y, int W, int H) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(X, Y, W, H);
    return c;
  }
  TControlSubClass* Sub(TControl* C) {
    TControlSubClass* sub = TControlSubClass::Of(C);
    EXPECT_NE(sub, nullptr) << C->ClassName();
    return sub;
  }
  COLORREF Client(TWinControl* C, int X, int Y) { return D->ClientPixel(C->Handle(), POINT{X, Y}); }
  COLORREF Window(TWinControl* C, int X, int Y) { return D->WindowPixel(C->Handle(), POINT{X, Y}); }
  TColor ParentColor() const { return form->Brush()->Color(); }

  TForm* form = nullptr;
  TComboBox* combo = nullptr;
  TDBLookupComboBox* lookup = nullptr;
  TUpDown* upDown = nullptr;
  TPanel* panel = nullptr;
  TGroupBox* group = nullptr;
  TListBox* list = nullptr;
  TProgressBar* progress = nullptr;
  TEdit* other = nullptr;
  TSkinMenu* skin = nullptr;
};

TEST_F(SkinStatesTest, ComboBoxBorderAndButtonByState) {
  TControlSubClass* sub = Sub(combo);
  ASSERT_NE(sub, nullptr);
  const Integer w = combo->ClientWidth(), y = combo->ClientHeight() / 2;
  const COLORREF face = Rgb(combo->Color()), parent = Rgb(ParentColor()), white = Rgb(clWhite),
                 black = Rgb(clBlack);
  struct Case {
    const char* What;
    std::function<void()> Enter, Leave;
    bool Hot;
    COLORREF Ring, TopLine, Button, Line, Arrow;
  } cases[] = {
      {"normal", [] {}, [] {}, false, face, parent, Rgb(clBtnFace), face, black},
      {"hot", [] {}, [] {}, true, Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawSelectBorderColor),
       Rgb(skin->DrawSelectColor), Rgb(skin->DrawSelectBorderColor), black},
      {"focused", [&] { combo->SetFocus(); }, [&] { other->SetFocus(); }, false,
       Rgb(Lighten(skin->DrawSelectBorderColor, 60)), Rgb(Lighten(skin->DrawSelectBorderColor, 60)),
       Rgb(skin->DrawCheckedFill), Rgb(Lighten(skin->DrawSelectBorderColor, 60)), black},
      {"dropped down", [&] { combo->SetFocus(); combo->SetDroppedDown(true); },
       [&] { combo->SetDroppedDown(false); other->SetFocus(); }, false,
       Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawCheckedSelectFill),
       Rgb(skin->DrawSelectBorderColor), white},
      {"disabled", [&] { combo->SetEnabled(false); }, [&] { combo->SetEnabled(true); }, false, face, parent,
       Rgb(clBtnFace), face, white},
      {"parent face", [&] { combo->SetTag(1000); }, [&] { combo->SetTag(0); }, false, face, parent,
       Rgb(Lighten(ParentColor(), skin->FaceLighten())), face, black},
  };
  other->SetFocus();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    c.Enter();
    Pump();
    sub->Hot = c.Hot;
    sub->PaintControl();
    EXPECT_EQ(Client(combo, 0, y), parent) << "outer frame";
    EXPECT_EQ(Client(combo, 1, y), c.Ring);
    EXPECT_EQ(Client(combo, w / 2, 1), c.TopLine);
    EXPECT_EQ(Client(combo, w - 5, 4), c.Button);
    EXPECT_EQ(Client(combo, w - 17, 5), face) << "the strip next to the text";
    EXPECT_EQ(Client(combo, w - 15, 5), c.Line);
    EXPECT_EQ(Client(combo, w - 11, 11), c.Arrow);
    c.Leave();
    Pump();
  }
}

TEST_F(SkinStatesTest, LookupComboIsFramedOnItsWindowWithoutItsOwn3DBorder) {
  TControlSubClass* sub = Sub(lookup);
  ASSERT_NE(sub, nullptr);
  Pump();
  EXPECT_FALSE(lookup->Ctl3D());
  EXPECT_EQ(TControlSubClass::Of(lookup), sub) << "kept over the new window";
  RECT wr{};
  GetWindowRect(lookup->Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  struct Case {
    bool Hot;
    COLORREF Edge, Button;
  } cases[] = {{false, Rgb(lookup->Color()), Rgb(clBtnFace)},
               {true, Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawSelectColor)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Hot ? "hot" : "normal");
    sub->Hot = c.Hot;
    sub->PaintControl();
    EXPECT_EQ(Window(lookup, 0, h / 2), c.Edge);
    EXPECT_EQ(Window(lookup, 1, h / 2), Rgb(lookup->Color())) << "inner ring";
    EXPECT_EQ(Window(lookup, w - 19, h / 2), c.Edge) << "the button's frame";
    EXPECT_EQ(Window(lookup, w - 4, 4), c.Button);
    EXPECT_EQ(Window(lookup, w - 7, 9), Rgb(clBlack)) << "arrow";
  }
  // Its own non-client painting is skipped.
  EXPECT_EQ(lookup->Perform(WM_NCPAINT, 1, 0), 1);
}

TEST_F(SkinStatesTest, UpDownHalfUnderTheMouseIsHot) {
  ASSERT_NE(Sub(upDown), nullptr);
  const int w = upDown->ClientWidth(), half = upDown->ClientHeight() / 2, x = w / 2;
  const TColor parent = ParentColor();
  const COLORREF idlePen = Rgb(Lighten(parent, 80)),
                 idleFace = Rgb(Lighten(skin->DrawSelectColor, skin->FaceLighten()));
  TPoint top = upDown->ClientToScreen(TPoint{x, 3}), bottom = upDown->ClientToScreen(TPoint{x, half + 3});
  D->MoveTo(POINT{top.x, top.y});
  Pump();
  EXPECT_EQ(Client(upDown, 0, 0), Rgb(skin->DrawSelectBorderColor));
  EXPECT_EQ(Client(upDown, 2, half - 2), Rgb(Lighten(skin->DrawSelectColor, 60)));
  EXPECT_EQ(Client(upDown, x, half / 2 - 2), Rgb(clBlack)) << "the up chevron's point";
  EXPECT_EQ(Client(upDown, 0, half), idlePen);
  EXPECT_EQ(Client(upDown, 2, 2 * half - 2), idleFace);
  EXPECT_EQ(Client(upDown, x, half + half / 2 + 1), Rgb(clBlack)) << "the down chevron's point";

  // Pressed: the hot half turns to the pressed fill with a white chevron once its own painting is done.
  D->Press(POINT{top.x, top.y});
  Pump();
  EXPECT_EQ(Client(upDown, 2, half - 2), Rgb(skin->DrawCheckedSelectFill));
  EXPECT_EQ(Client(upDown, x, half / 2 - 2), Rgb(clWhite));
  D->Release(POINT{top.x, top.y});
  Pump();

  // The hot half follows the mouse.
  D->MoveTo(POINT{bottom.x, bottom.y});
  Pump();
  EXPECT_EQ(Client(upDown, 0, half), Rgb(skin->DrawSelectBorderColor));
  EXPECT_EQ(Client(upDown, 2, half - 2), idleFace);
  EXPECT_EQ(Client(upDown, 2, 2 * half - 2), Rgb(Lighten(skin->DrawSelectColor, 60)));

  // Disabled: no hot half, white chevrons.
  upDown->SetEnabled(false);
  upDown->Invalidate();
  Pump();
  EXPECT_EQ(Client(upDown, 0, half), idlePen);
  EXPECT_EQ(Client(upDown, x, half / 2 - 2), Rgb(clWhite));
}

TEST_F(SkinStatesTest, PanelBevelsAreRedrawnFlat) {
  const TColor colour = panel->Color();
  const COLORREF dark = Rgb(Darken(colour, 60)), light = Rgb(Lighten(colour, 60)), plain = Rgb(colour);
  const int w = panel->ClientWidth();
  struct Case {
    TBevelCut Outer, Inner;
    Integer BevelWidth, BorderWidth;
    COLORREF Left0, Left1, Right0, InnerLeft;
  } cases[] = {
      {bvRaised, bvNone, 1, 0, light, plain, dark, plain},
      {bvLowered, bvNone, 2, 0, dark, dark, light, plain},
      {bvRaised, bvLowered, 1, 3, light, plain, dark, dark},
      {bvNone, bvNone, 1, 0, plain, plain, plain, plain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Outer << "/" << c.Inner << " " << c.BevelWidth << "+" << c.BorderWidth);
    panel->SetBevelOuter(c.Outer);
    panel->SetBevelInner(c.Inner);
    panel->SetBevelWidth(c.BevelWidth);
    panel->SetBorderWidth(c.BorderWidth);
    panel->Invalidate();
    Pump();
    EXPECT_EQ(Client(panel, 0, 20), c.Left0);
    EXPECT_EQ(Client(panel, 1, 20), c.Left1);
    EXPECT_EQ(Client(panel, w - 1, 20), c.Right0);
    const int in = c.BevelWidth + c.BorderWidth;
    EXPECT_EQ(Client(panel, in, 20), c.InnerLeft);
  }
}

TEST_F(SkinStatesTest, GroupBoxFrameIsFlatAndStopsAtTheCaption) {
  TCanvas* probe = form->Canvas();
  probe->Font()->Assign(group->Font());
  const int th = probe->TextHeight("W"), tw = probe->TextWidth("Radio") + 2;
  const int w = group->ClientWidth(), h = group->ClientHeight(), top = th / 2;
  const TColor colour = group->Color();
  struct Case {
    bool Ctl3D;
    COLORREF TopLeft;
  } cases[] = {{true, Rgb(Lighten(colour, 60))}, {false, Rgb(Darken(colour, 60))}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Ctl3D ? "3D" : "flat");
    group->SetCtl3D(c.Ctl3D);
    group->Invalidate();
    Pump();
    EXPECT_EQ(Client(group, 0, h / 2), c.TopLeft);
    EXPECT_EQ(Client(group, 4, top), c.TopLeft);
    EXPECT_EQ(Client(group, w - 1, h / 2), Rgb(Darken(colour, 60)));
    EXPECT_EQ(Client(group, w / 2, h - 1), Rgb(Darken(colour, 60)));
    EXPECT_NE(Client(group, 9 + tw / 2, top), c.TopLeft) << "no line behind the caption";
    EXPECT_EQ(Client(group, 9 + tw + 3, top), c.TopLeft) << "the line goes on after it";
    EXPECT_EQ(Client(group, w / 2, h / 2), Rgb(colour));
  }
}

TEST_F(SkinStatesTest, ListAndProgressBarOutlinesOnTheWindow) {
  Pump();
  EXPECT_FALSE(list->Ctl3D());
  const TColor parent = ParentColor();
  TControlSubClass* listSub = Sub(list);
  TControlSubClass* barSub = Sub(progress);
  ASSERT_TRUE(listSub != nullptr && barSub != nullptr);
  struct Case {
    const char* What;
    TBorderStyle Saved;
    bool Hot;
    COLORREF Outline;
  } cases[] = {
      {"single", bsSingle, false, Rgb(Darken(parent, 60))},
      {"single, hot", bsSingle, true, Rgb(Lighten(skin->DrawSelectBorderColor, 60))},
      {"no border", bsNone, false, Rgb(parent)},
      {"no border, hot", bsNone, true, Rgb(Lighten(skin->DrawSelectBorderColor, 80))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    listSub->SavedBorderStyle = static_cast<Byte>(c.Saved);
    listSub->Hot = c.Hot;
    listSub->PaintControl();
    EXPECT_EQ(Window(list, 0, 10), c.Outline);
    EXPECT_EQ(Window(list, 20, 0), c.Outline);
  }
  progress->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Window(progress, 0, 5), Rgb(skin->DrawSelectBorderColor));
  progress->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Window(progress, 0, 5), Rgb(Darken(parent, 60)));
}

}  // namespace
}  // namespace skin_test
