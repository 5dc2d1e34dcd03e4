// The spin editor on the pinned test display: keys, buttons held with auto-repeat on the manual clock, the
// wheel, typing and validation.
#include <functional>

#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/SpinEditTesting.h"

namespace editors_test {
namespace {

class SpinEditTest : public SpinFormTest {};

TEST_F(SpinEditTest, StepsAtAndBeyondTheLimits) {
  struct Case {
    const char* name;
    std::function<void(TuiSpinEdit*)> setUp;
    double start;
    WORD key;
    const char* text;  // the text after the key
  };
  const Case cases[] = {
      {"integer increment 2.5 adds 2", [](TuiSpinEdit* e) {
         e->Properties()->SetValueType(vtInt);
         e->Properties()->SetIncrement(2.5);
       }, 0, VK_UP, "2"},
      {"large increment adds 10", [](TuiSpinEdit* e) { e->Properties()->SetValueType(vtInt); }, 0, VK_PRIOR, "10"},
      {"1..10 at 10: Up changes nothing", [](TuiSpinEdit* e) {
         e->Properties()->SetMinValue(1);
         e->Properties()->SetMaxValue(10);
       }, 10, VK_UP, "10"},
      {"1..10 at 10: Page Down gives 1", [](TuiSpinEdit* e) {
         e->Properties()->SetMinValue(1);
         e->Properties()->SetMaxValue(10);
       }, 10, VK_NEXT, "1"},
      {"15 with max 10: Down gives 10", [](TuiSpinEdit* e) {
         e->Properties()->SetMinValue(1);
         e->Properties()->SetMaxValue(10);
       }, 15, VK_DOWN, "10"},
      {"15 with max 10: Up fails", [](TuiSpinEdit* e) {
         e->Properties()->SetMinValue(1);
         e->Properties()->SetMaxValue(10);
       }, 15, VK_UP, "15"},
      {"15 with max 10, circular: Up gives the minimum", [](TuiSpinEdit* e) {
         e->Properties()->SetMinValue(1);
         e->Properties()->SetMaxValue(10);
         e->Properties()->SetCircular(true);
       }, 15, VK_UP, "1"},
      {"circular 0..9, 8 + 3 gives 1", [](TuiSpinEdit* e) {
         e->Properties()->SetValueType(vtInt);
         e->Properties()->SetMinValue(0);
         e->Properties()->SetMaxValue(9);
         e->Properties()->SetIncrement(3);
         e->Properties()->SetCircular(true);
       }, 8, VK_UP, "1"},
      {"unassigned type steps a float", [](TuiSpinEdit* e) { e->Properties()->SetIncrement(0.5); }, 2, VK_UP, "2.5"},
  };
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* spin = NewEdit<TuiSpinEdit>(10, 10, 120);
    c.setUp(spin);
    spin->SetValue(Variant(c.start));
    Focus(spin);
    const String before = spin->Text();
    Key(c.key);
    EXPECT_EQ(spin->Text(), c.text);
    EXPECT_EQ(spin->Modified(), spin->Text() != before) << "modified only when the text changed";
    LeaveTo(other);
    EXPECT_EQ(spin->Text(), c.text);
    FreeObject(spin);
  }
}

TEST_F(SpinEditTest, HoldingAButtonStepsAtOnceAfter400msAndEvery100ms) {
  auto* spin = NewSpin(0, 100);
  Focus(spin);
  Display.Press(ButtonCentre(spin, 1));
  Pump();
  EXPECT_EQ(spin->Text(), "1") << "one step at once";
  ASSERT_NE(spin->RepeatTimer(), nullptr);
  Display.Advance(399);
  Pump();
  EXPECT_EQ(spin->Text(), "1");
  Display.Advance(1);
  Pump();
  EXPECT_EQ(spin->Text(), "2") << "the second step after 400 ms";
  for (int i = 3; i <= 5; ++i) {
    Display.Advance(99);
    Pump();
    EXPECT_EQ(spin->Text(), std::to_string(i - 1));
    Display.Advance(1);
    Pump();
    EXPECT_EQ(spin->Text(), std::to_string(i)) << "then every 100 ms";
  }
  Display.Release(ButtonCentre(spin, 1));
  Pump();
  EXPECT_EQ(spin->RepeatTimer(), nullptr);
  Display.Advance(1000);
  Pump();
  EXPECT_EQ(spin->Text(), "5") << "nothing after the release";
  EXPECT_EQ(spin->Value().AsDouble(), 5);
}

TEST_F(SpinEditTest, TheUpKeyShowsTheUpButtonPressedUntilReleased) {
  auto* spin = NewSpin(0, 100);
  Focus(spin);
  Display.KeyDown(VK_UP);
  Pump();
  EXPECT_EQ(spin->Text(), "1");
  EXPECT_EQ(spin->KeyPressedButton(), 2);
  EXPECT_EQ(ButtonState(spin, 1), ebsPressedState);
  EXPECT_EQ(ButtonState(spin, 0), ebsNormalState);
  Display.KeyUp(VK_UP);
  Pump();
  EXPECT_EQ(spin->KeyPressedButton(), 0);
  EXPECT_EQ(ButtonState(spin, 1), ebsNormalState);
}

TEST_F(SpinEditTest, WithCtrlIncrementOnlyCtrlArrowsStep) {
  auto* spin = NewSpin(0, 100);
  spin->Properties()->SetUseCtrlIncrement(true);
  Focus(spin);
  Key(VK_UP);
  EXPECT_EQ(spin->Text(), "0");
  EXPECT_FALSE(spin->Modified());
  Chord({VK_CONTROL}, VK_UP);
  EXPECT_EQ(spin->Text(), "1");
  Chord({VK_CONTROL}, VK_PRIOR);
  EXPECT_EQ(spin->Text(), "11");
}

TEST_F(SpinEditTest, TheWheelStepsUpAndDown) {
  auto* spin = NewSpin(0, 100);
  Focus(spin);
  Display.Wheel(At(spin, 20, 10), 1);
  Pump();
  EXPECT_EQ(spin->Text(), "1");
  Display.Wheel(At(spin, 20, 10), -1);
  Display.Wheel(At(spin, 20, 10), -1);
  Pump();
  EXPECT_EQ(spin->Text(), "0") << "the minimum stops it";
}

TEST_F(SpinEditTest, AnEmptyTextValidatesToTheClampedZero) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  struct Case {
    bool limits;
    const char* text;
  };
  for (const Case& c : {Case{true, "1"}, Case{false, "0"}}) {
    SCOPED_TRACE(c.text);
    auto* spin = NewEdit<TuiSpinEdit>(10, 10, 120);
    if (c.limits) {
      spin->Properties()->SetMinValue(1);
      spin->Properties()->SetMaxValue(16);
    }
    spin->SetValue(Variant(5));
    Focus(spin);
    SelectAllFocused();
    Key(VK_DELETE);
    EXPECT_EQ(spin->Text(), "");
    LeaveTo(other);
    EXPECT_EQ(spin->Text(), c.text);
    EXPECT_EQ(spin->Value().AsDouble(), c.limits ? 1 : 0);
    FreeObject(spin);
  }
}

TEST_F(SpinEditTest, TypedTextIsFilteredAndCommaBecomesTheDecimalSeparator) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  for (const char decimal : {'.', ','}) {
    SCOPED_TRACE(decimal);
    TFormatSettingsGuard guard(decimal == ',' ? CommaDecimalSettings() : InvariantFormatSettings());
    auto* spin = NewEdit<TuiSpinEdit>(10, 10, 120);
    Focus(spin);
    SelectAllFocused();
    const int beeps = Beeps();
    Type("2x,5");
    EXPECT_EQ(spin->Text(), decimal == ',' ? "2,5" : "2.5") << "a comma becomes the locale's separator";
    EXPECT_EQ(Beeps(), beeps + 1) << "the letter is refused with a beep";
    EXPECT_EQ(spin->Value().AsDouble(), 2.5) << "read while focused";
    LeaveTo(other);
    EXPECT_EQ(spin->Value().AsDouble(), 2.5);
    EXPECT_EQ(spin->Text(), decimal == ',' ? "2,5" : "2.5") << "a float spin editor keeps 2.5";
    FreeObject(spin);
  }
}

TEST_F(SpinEditTest, OutOfBoundsTextIsRefusedWithItsMessage) {
  auto* spin = NewSpin(1, 16);
  Focus(spin);
  SelectAllFocused();
  Type("20");
  String message;
  try {
    spin->ValidateEdit(true);
  } catch (const Exception& e) {
    message = e.Message();
  }
  EXPECT_EQ(message, "Value out of bounds");
  SelectAllFocused();
  Type("12");
  EXPECT_TRUE(spin->ValidateEdit(true));
  EXPECT_EQ(spin->Value().AsDouble(), 12);
}

TEST_F(SpinEditTest, UnreadableTextGoesBackToTheLastValidValueOrRaisesWhenAsked) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  auto* spin = NewSpin(0, 100);
  spin->SetValue(Variant(7));
  Focus(spin);
  SelectAllFocused();
  Type("1e");
  LeaveTo(other);
  EXPECT_EQ(spin->Text(), "7");
  EXPECT_EQ(spin->Value().AsDouble(), 7);

  spin->Properties()->SetExceptionOnInvalidInput(true);
  Focus(spin);
  SelectAllFocused();
  Type("--");
  String message;
  try {
    spin->ValidateEdit(true);
  } catch (const Exception& e) {
    message = e.Message();
  }
  EXPECT_EQ(message, "Invalid numeric value");
}

TEST_F(SpinEditTest, OnGetValueReadsTextsTheEditorCannot) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  auto* spin = NewSpin(0, 100);
  spin->Properties()->SetOnGetValue(
      [](TObject*, const String& AText, Variant& AValue, String&, bool& AError) {
        if (AText == "ten") {
          AValue = Variant(10);
          AError = false;
        }
      });
  Focus(spin);
  SelectAllFocused();
  Type("ten");
  EXPECT_EQ(spin->Text(), "ten") << "with a handler every character may be typed";
  LeaveTo(other);
  EXPECT_EQ(spin->Value().AsDouble(), 10);
  EXPECT_EQ(spin->Text(), "10");
}

}  // namespace
}  // namespace editors_test
