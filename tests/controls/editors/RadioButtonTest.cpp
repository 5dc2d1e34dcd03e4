// The owner-drawn radio button: its state machine under the mouse, focus entry, the popup menu it
// accepts, caption margins, layout and what it paints.
#include <gtest/gtest.h>

#include "controls/editors/uiRadioButton.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class RadioButtonTest : public EditorKindsTest {
 protected:
  TuiRadioButton* NewRadio(const String& ACaption, Integer ATop) {
    auto* radio = NewObject<TuiRadioButton>(Form);
    radio->SetCaption(ACaption);
    radio->SetBounds(20, ATop, 65, 17);
    radio->SetParent(Form);
    radio->HandleNeeded();
    radio->SetOnClick([this, ACaption](TObject*) { Log.push_back(ACaption + ".Click"); });
    Pump();
    return radio;
  }
};

TEST_F(RadioButtonTest, StateFollowsTheMouse) {
  TuiRadioButton* radio = NewRadio("COM1", 20);
  NewRadio("COM2", 50);
  Display.MoveTo(At(radio, 30, 100));
  Pump();
  EXPECT_EQ(radio->ButtonState(), rbsNormal);
  struct Step {
    const char* What;
    std::function<void()> Do;
    Integer State;
  };
  const Step steps[] = {
      {"enter", [&] { Display.MoveTo(At(radio, 30, 8)); }, rbsHot},
      {"down", [&] { Display.Press(At(radio, 30, 8)); }, rbsPressed},
      {"move out", [&] { Display.MoveTo(At(radio, 30, 60)); }, rbsHot},
      {"move back", [&] { Display.MoveTo(At(radio, 30, 8)); }, rbsPressed},
      {"up", [&] { Display.Release(At(radio, 30, 8)); }, rbsHot},
      {"leave", [&] { Display.MoveTo(At(radio, 30, 100)); }, rbsNormal},
      {"disable", [&] { radio->SetEnabled(false); }, rbsDisabled},
      {"enable", [&] { radio->SetEnabled(true); }, rbsNormal},
  };
  for (const Step& s : steps) {
    s.Do();
    Pump();
    EXPECT_EQ(radio->ButtonState(), s.State) << s.What;
  }
  EXPECT_TRUE(radio->Checked()) << "the click checked it";
}

TEST_F(RadioButtonTest, FocusEntryChecksAnUncheckedButtonAndClicksOnce) {
  auto* edit = NewObject<TEdit>(Form);
  edit->SetBounds(20, 100, 80, 21);
  edit->SetParent(Form);
  edit->SetTabOrder(0);
  TuiRadioButton* first = NewRadio("COM1", 20);
  TuiRadioButton* second = NewRadio("COM2", 50);
  first->SetTabStop(true);
  first->SetTabOrder(1);
  edit->SetFocus();
  Pump();
  Log.clear();
  first->SetFocus();
  Pump();
  ASSERT_TRUE(first->Focused());
  EXPECT_TRUE(first->Checked());
  EXPECT_FALSE(second->Checked());
  EXPECT_EQ(Joined(), "COM1.Click");
  // Back and in again: already checked, nothing fires.
  edit->SetFocus();
  Pump();
  Log.clear();
  first->SetFocus();
  Pump();
  EXPECT_TRUE(Log.empty()) << Joined();
}

TEST_F(RadioButtonTest, PopupMenuTakesOnlyMenusAndForgetsFreedOnes) {
  TuiRadioButton* radio = NewRadio("COM1", 20);
  auto* button = NewObject<TButton>(Form);
  radio->SetPopupMenuComponent(button);
  EXPECT_EQ(radio->PopupMenuComponent(), nullptr);
  auto* menu = NewObject<TPopupMenu>(Form);
  radio->SetPopupMenuComponent(menu);
  EXPECT_EQ(radio->PopupMenuComponent(), menu);
  FreeObject(menu);
  EXPECT_EQ(radio->PopupMenuComponent(), nullptr);
}

TEST_F(RadioButtonTest, CaptionMargins) {
  TuiRadioButton* radio = NewRadio("COM1", 20);
  struct Case {
    bool WordWrap;
    TLeftRight Alignment;
    bool Native;
    TRect Margins;
  };
  const Case cases[] = {
      {false, taLeftJustify, true, {0, -1, 1, 0}}, {false, taRightJustify, true, {3, -1, 0, 0}},
      {true, taLeftJustify, true, {0, -1, 3, 0}},  {true, taRightJustify, true, {3, -1, 0, 0}},
      {false, taLeftJustify, false, {2, -1, 1, 0}}, {false, taRightJustify, false, {5, -1, 0, 0}},
      {true, taLeftJustify, false, {2, -1, 6, 0}},  {true, taRightJustify, false, {5, -1, 2, 0}},
  };
  const TRect r{10, 10, 100, 30};
  for (const Case& c : cases) {
    radio->SetWordWrap(c.WordWrap);
    radio->SetAlignment(c.Alignment);
    const TRect got = radio->GetContentRect(r, c.Native);
    EXPECT_EQ(got.left - r.left, c.Margins.left) << c.WordWrap << c.Alignment << c.Native;
    EXPECT_EQ(got.top - r.top, c.Margins.top);
    EXPECT_EQ(r.right - got.right, c.Margins.right) << c.WordWrap << c.Alignment << c.Native;
    EXPECT_EQ(r.bottom - got.bottom, c.Margins.bottom);
  }
}

TEST_F(RadioButtonTest, ButtonSidesAndPaint) {
  TuiRadioButton* radio = NewRadio("COM3", 20);
  radio->Repaint();
  Pump();
  ASSERT_GT(RadioImageWidth, 0);
  TRect button = radio->ButtonRect();
  EXPECT_EQ(button.left, 1);
  EXPECT_EQ(button.right - button.left, RadioImageWidth);
  EXPECT_EQ(button.top, (17 - RadioImageHeight) / 2);
  // The dot of a checked button is the painter's; the centre changes colour when checked.
  const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  const COLORREF unchecked = Display.ClientPixel(radio->Handle(), centre);
  radio->SetChecked(true);
  radio->Repaint();
  Pump();
  EXPECT_NE(Display.ClientPixel(radio->Handle(), centre), unchecked);

  radio->SetAlignment(taLeftJustify);
  radio->Repaint();
  Pump();
  button = radio->ButtonRect();
  EXPECT_EQ(button.right, radio->Width());
  EXPECT_EQ(button.left, radio->Width() - RadioImageWidth);
}

}  // namespace
