// Standard controls subclassed by the painter: which are taken, the states the messages set, the
// pixels of the painters, and how the subclass lets go.
#include "tests/skin/SkinTesting.h"

#include "platform/forms/StdCtrls.h"

namespace skin_test {
namespace {

class SkinControlsTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    form = NewForm();
    edit = Make<TEdit>(10, 10, 100, 21);
    button = Make<TButton>(10, 40, 75, 25);
    button->SetCaption("OK");
    check = Make<TCheckBox>(10, 80, 100, 17);
    skipped = Make<TEdit>(10, 110, 100, 21);
    skipped->SetTag(SkinSkipTag);
    form->Show();
    Pump();
    skin = new TSkinMenu(form);
    skin->SetActive(true);
    skin->Loaded();
    Pump();
  }
  template <class T>
  T* Make(int X, int Y, int W, int H) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(X, Y, W, H);
    return c;
  }
  COLORREF Pixel(TWinControl* C, int X, int Y) { return D->ClientPixel(C->Handle(), POINT{X, Y}); }

  TForm* form = nullptr;
  TEdit *edit = nullptr, *skipped = nullptr;
  TButton* button = nullptr;
  TCheckBox* check = nullptr;
  TSkinMenu* skin = nullptr;
};

TEST_F(SkinControlsTest, SelectedKindsAreSubclassedOnceAndTag999IsNot) {
  TControlSubClass* sub = TControlSubClass::Of(edit);
  ASSERT_NE(sub, nullptr);
  EXPECT_NE(TControlSubClass::Of(button), nullptr);
  EXPECT_NE(TControlSubClass::Of(check), nullptr);
  EXPECT_EQ(TControlSubClass::Of(skipped), nullptr);
  EXPECT_EQ(sub->Owner(), skin);
  // Walking again (a new override setting) keeps the one subclass with the control's own procedure saved.
  skin->SetOverrideOwnerDraw(true);
  EXPECT_EQ(TControlSubClass::Of(edit), sub);
  EXPECT_TRUE(static_cast<bool>(sub->SavedWindowProc));
  EXPECT_FALSE(sub->SavedWindowProc == TWndMethod(sub, &TControlSubClass::SubclassWindowProc));
}

TEST_F(SkinControlsTest, MessagesSetHotPressedAndSpaceDown) {
  TControlSubClass* sub = TControlSubClass::Of(button);
  ASSERT_NE(sub, nullptr);
  struct Step {
    UINT Msg;
    WPARAM WParam;
    bool Hot, Pressed, Space;
  } steps[] = {
      {CM_MOUSEENTER, 0, true, false, false}, {WM_LBUTTONDOWN, 0, true, true, false},
      {WM_LBUTTONUP, 0, true, false, false},  {WM_KEYDOWN, VK_SPACE, true, false, true},
      {WM_KEYUP, VK_SPACE, true, false, false}, {CM_MOUSELEAVE, 0, false, false, false},
      {WM_SETFOCUS, 0, true, false, false},   {CM_EXIT, 0, false, false, false},
  };
  for (const Step& s : steps) {
    button->Perform(s.Msg, s.WParam, 0);
    EXPECT_EQ(sub->Hot, s.Hot) << std::hex << s.Msg;
    EXPECT_EQ(sub->Pressed, s.Pressed) << std::hex << s.Msg;
    EXPECT_EQ(sub->SpaceDown, s.Space) << std::hex << s.Msg;
  }
}

TEST_F(SkinControlsTest, EditBorderFollowsHotAndFocus) {
  TColor parent = form->Brush()->Color();
  edit->Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(edit, 0, 5), Rgb(Lighten(skin->DrawSelectBorderColor, 60))) << "focused";
  skipped->SetFocus();
  Pump();
  edit->Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(edit, 0, 5), Rgb(Darken(parent, 60)));
  EXPECT_FALSE(edit->Ctl3D()) << "the flat border replaces the 3D one";
  edit->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Pixel(edit, 0, 5), Rgb(Lighten(skin->DrawSelectBorderColor, 60)));
}

TEST_F(SkinControlsTest, ButtonAndCheckBoxPaintTheirStates) {
  button->Perform(WM_PAINT, 0, 0);
  const TRect r = button->ClientRect();
  EXPECT_EQ(Pixel(button, r.right / 2, 5), Rgb(skin->DrawIconBackColor)) << "normal face";
  EXPECT_EQ(Pixel(button, r.right / 2, 0), Rgb(Lighten(clBtnShadow, 30))) << "outline";
  EXPECT_EQ(Pixel(button, r.right / 2, r.bottom - 2), Rgb(Darken(clBtnShadow, 50))) << "raised: line below";
  button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Pixel(button, r.right / 2, 5), Rgb(Lighten(clBtnFace, skin->FaceLightenHot())));
  button->Perform(WM_LBUTTONDOWN, 0, 0);
  const COLORREF edge = Rgb(Darken(Lighten(skin->DrawSelectBorderColor, 60), 50));
  EXPECT_EQ(Pixel(button, r.right / 2, 1), edge) << "pressed: line above";
  button->Perform(WM_LBUTTONUP, 0, 0);
  button->SetEnabled(false);
  button->Perform(WM_PAINT, 0, 0);
  EXPECT_NE(Pixel(button, r.right / 2, r.bottom - 2), edge) << "disabled: no 3D line";

  const Integer size = GetSystemMetrics(SM_CXHTHUMB);
  const Integer top = 3 + (17 - 6 - size) / 2;
  check->Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(check, 2, top + 2), Rgb(clBtnShadow)) << "frame";
  EXPECT_EQ(Pixel(check, 5, top + 5), Rgb(clWindow)) << "face";
  check->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Pixel(check, 2, top + 2), Rgb(skin->DrawSelectBorderColor));
  EXPECT_EQ(Pixel(check, 5, top + 5), Rgb(skin->DrawSelectColor));
  check->SetChecked(true);
  check->Perform(WM_PAINT, 0, 0);
  int ticks = 0;
  for (int y = top; y < top + size; ++y)
    for (int x = 0; x < size; ++x) ticks += Pixel(check, x, y) == Rgb(clHighlight);
  EXPECT_GT(ticks, 6);
}

TEST_F(SkinControlsTest, InactivePainterLetsGoAtTheNextMessageKeepingItsResult) {
  TWndMethod own = TControlSubClass::Of(edit)->SavedWindowProc;
  edit->SetText("abc");
  skin->SetActive(false);
  EXPECT_EQ(edit->Perform(WM_GETTEXTLENGTH, 0, 0), 3) << "the control's own answer";
  EXPECT_EQ(TControlSubClass::Of(edit), nullptr);
  EXPECT_TRUE(edit->WindowProc() == own);
  EXPECT_TRUE(edit->Ctl3D()) << "its saved look is back";
}

TEST_F(SkinControlsTest, ARecreatedWindowKeepsItsSubclass) {
  TControlSubClass* sub = TControlSubClass::Of(edit);
  edit->SetCtl3D(true);  // re-creates the window
  Pump();
  EXPECT_FALSE(edit->Ctl3D()) << "flat again once painted";
  EXPECT_EQ(TControlSubClass::Of(edit), sub);
  EXPECT_TRUE(edit->WindowProc() == TWndMethod(sub, &TControlSubClass::SubclassWindowProc));
}

TEST_F(SkinControlsTest, FreeingThePainterRestoresItsOwnControls) {
  TWndMethod own = TControlSubClass::Of(button)->SavedWindowProc;
  FreeObject(skin);
  EXPECT_TRUE(button->WindowProc() == own);
  EXPECT_EQ(TControlSubClass::Of(button), nullptr);
  button->Perform(CM_MOUSEENTER, 0, 0);  // nothing left pointing at the freed subclass
}

}  // namespace
}  // namespace skin_test

#include "platform/forms/Buttons.h"

namespace skin_test {
namespace {

class SkinMoreControlsTest : public SkinControlsTest {
 protected:
  void SetUp() override {
    SkinControlsTest::SetUp();
    speed = new TSpeedButton(form);
    speed->SetParent(form);
    speed->SetBounds(150, 10, 30, 25);
    speed->SetTransparent(false);
    speed->SetGroupIndex(1);
    speed->SetAllowAllUp(true);
    bit = Make<TBitBtn>(150, 40, 75, 25);
    radio = Make<TRadioButton>(150, 80, 100, 17);
    skin->InitComponents(form, true, true);
    Pump();
  }
  COLORREF FormPixel(int X, int Y) { return D->ClientPixel(form->Handle(), POINT{X, Y}); }
  TSpeedButton* speed = nullptr;
  TBitBtn* bit = nullptr;
  TRadioButton* radio = nullptr;
};

TEST_F(SkinMoreControlsTest, SpeedButtonStates) {
  TControlSubClass* sub = TControlSubClass::Of(speed);
  ASSERT_NE(sub, nullptr);
  struct Case {
    const char* What;
    bool Down, Enabled;
    COLORREF Face, Outline, RightLine, TopLine;
  } cases[] = {
      {"normal", false, true, Rgb(skin->DrawIconBackColor), Rgb(Lighten(clBtnShadow, 30)), Rgb(Darken(clBtnShadow, 50)),
       Rgb(skin->DrawIconBackColor)},
      {"down", true, true, Rgb(skin->DrawCheckedFill), Rgb(Lighten(skin->DrawSelectBorderColor, 30)),
       Rgb(skin->DrawCheckedFill), Rgb(Darken(skin->DrawSelectBorderColor, 50))},
      {"disabled", false, false, Rgb(skin->DrawIconBackColor), Rgb(Lighten(clBtnShadow, 30)),
       Rgb(skin->DrawIconBackColor), Rgb(skin->DrawIconBackColor)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    speed->SetDown(c.Down);
    speed->SetEnabled(c.Enabled);
    Pump();
    sub->PaintControl();
    EXPECT_EQ(FormPixel(165, 20), c.Face);
    EXPECT_EQ(FormPixel(150 + 30 - 1, 20), c.Outline);
    EXPECT_EQ(FormPixel(150 + 30 - 2, 20), c.RightLine);
    EXPECT_EQ(FormPixel(165, 10 + 1), c.TopLine);
  }
}

TEST_F(SkinMoreControlsTest, BitButtonTag1001HasNoOutlineAndRadioShowsItsDot) {
  bit->SetTag(1001);
  bit->Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(bit, 30, 0), Pixel(bit, 30, 5)) << "outline in the face colour";
  radio->SetChecked(true);
  radio->Perform(WM_PAINT, 0, 0);
  const Integer size = GetSystemMetrics(SM_CXHTHUMB) - 1;
  const Integer top = 4 + (17 - 8 - size) / 2;
  EXPECT_EQ(Pixel(radio, size / 2, top + size / 2), Rgb(clHighlight));
  radio->SetEnabled(false);
  radio->Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(radio, size / 2, top + size / 2), Rgb(skin->DrawDisabledColor));
}

}  // namespace
}  // namespace skin_test
