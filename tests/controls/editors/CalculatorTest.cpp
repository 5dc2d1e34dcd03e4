// The pocket calculator: the engine's sequences (percent, repeated operators, errors, memory, the length
// limit), keys and characters through the window, Back's auto-repeat, layout metrics, the clipboard and
// the button faces.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/editors/uiCalc.h"
#include "controls/editors/uiTextEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace calc_test {

// A calculator whose display is a string.
class TTextCalculator : public TuiCustomCalculator {
 public:
  explicit TTextCalculator(TComponent* AOwner) : TuiCustomCalculator(AOwner) {}
  void GetDisplayText(String& AText) override { AText = Display; }
  void SetDisplayText(const String& AText) override { Display = AText; }
  String Display = "0";
};

// Buttons by letter in the sequence texts: digits, operators, "." and "@" (sqrt) as typed; B Back, E CE,
// C C, L MC, R MR, S MS, P M+, N +/-, X 1/x.
TuiCalculatorButton LetterButton(char ALetter) {
  switch (ALetter) {
    case 'B': return cbBack;
    case 'E': return cbCancelEntry;
    case 'C': return cbClear;
    case 'L': return cbMemoryClear;
    case 'R': return cbMemoryRead;
    case 'S': return cbMemoryStore;
    case 'P': return cbMemoryAdd;
    case 'N': return cbSign;
    case 'X': return cbReciprocal;
    default: return TuiCustomCalculator::CharToButton(ALetter);
  }
}

// A calculator drawn with a painter that tracks hot buttons.
class THotCalculator : public TTextCalculator {
 public:
  explicit THotCalculator(TComponent* AOwner) : TTextCalculator(AOwner) {}
  TuiLookAndFeelPainterClass GetPainterClass() override { return GetPainterClassOfKind(lfUltraFlat); }
};

class CalculatorTest : public EditorKindsTest {
 protected:
  TTextCalculator* NewCalculator() {
    auto* calc = NewObject<TTextCalculator>(Form);
    calc->SetParent(Form);
    calc->SetLeft(10);
    calc->SetTop(10);
    Pump();
    return calc;
  }
  static void Run(TuiCustomCalculator* ACalc, const std::string& ASequence) {
    for (char ch : ASequence) ACalc->ButtonClick(LetterButton(ch));
  }
  int Beeps() { return Display.Headless().BeepCount(); }
  POINT Center(TuiCustomCalculator* ACalc, TuiCalculatorButton AButton) {
    const TRect& r = ACalc->Buttons(AButton).Bounds;
    return At(ACalc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

TEST_F(CalculatorTest, SequencesGiveTheirDisplays) {
  struct Case {
    const char* Keys;
    const char* Display;
    TuiCalcEditState State;
  };
  const Case cases[] = {
      {"5+10%", "5.5", cesResult},       // percent of the accumulator for + and -
      {"200-10%", "180", cesResult},
      {"50*10%", "5", cesResult},        // a plain hundredth for * and /
      {"10%", "10", cesResult},          // no pending operator: nothing computed
      {"5++3=", "8", cesResult},         // a second operator only replaces the first
      {"5+3==", "8", cesResult},         // = again repeats nothing
      {"5+9@=", "8", cesResult},         // sqrt after an operator keeps the entry going
      {"9@", "3", cesResult},
      {"4X", "0.25", cesResult},
      {"12N", "-12", cesEntering},       // sign change keeps the state
      {"7+B", "0", cesEntering},         // Back on a shown result
      {"123B", "12", cesEntering},
      {"5NB", "0", cesEntering},         // "-5" loses its only digit
      {"1.5.2", "1.52", cesEntering},    // a second separator is ignored
      {"007", "7", cesEntering},
      {"1/3=", "0.333333333333333", cesResult},
      {"2/3*3=", "2", cesResult},        // results round to the significant digits
      {"8/0=", "Error", cesError},
      {"9N@", "Error", cesError},
      {"0X", "Error", cesError},
      {"8/0=5+", "Error", cesError},     // every button but CE and C shows the error again
      {"8/0=E", "0", cesResult},
      {"8/0=C7", "7", cesEntering},
      {"5+3E2=", "2", cesResult},        // CE clears the pending operation too
  };
  for (const Case& c : cases) {
    TTextCalculator calc(nullptr);
    Run(&calc, c.Keys);
    EXPECT_EQ(c.Display, calc.Display) << c.Keys;
    EXPECT_EQ(c.State, calc.EditState()) << c.Keys;
  }
}

TEST_F(CalculatorTest, MemoryRegisterAndItsButtons) {
  TTextCalculator calc(nullptr);
  EXPECT_TRUE(calc.Buttons(cbMemoryClear).Disabled);
  EXPECT_TRUE(calc.Buttons(cbMemoryRead).Disabled);
  Run(&calc, "6S2P");
  EXPECT_EQ(8, calc.Memory());
  EXPECT_FALSE(calc.Buttons(cbMemoryRead).Disabled);
  Run(&calc, "C1+R=");
  EXPECT_EQ("9", calc.Display);
  Run(&calc, "L");
  EXPECT_EQ(0, calc.Memory());
  EXPECT_TRUE(calc.Buttons(cbMemoryRead).Disabled);
  EXPECT_TRUE(calc.Buttons(cbMemoryClear).Disabled);
}

TEST_F(CalculatorTest, EntryLengthFollowsDigits) {
  TTextCalculator calc(nullptr);
  const int before = Beeps();
  Run(&calc, "1234567890123.4");  // 15 characters, the separator counted
  EXPECT_EQ("1234567890123.4", calc.Display);
  Run(&calc, "6");
  EXPECT_EQ("1234567890123.4", calc.Display);
  EXPECT_EQ(before + 1, Beeps());

  Run(&calc, "C12N3456789012345");  // a leading minus allows one character more
  EXPECT_EQ("-123456789012345", calc.Display);
  Run(&calc, "6");
  EXPECT_EQ("-123456789012345", calc.Display);

  calc.SetDigits(4);
  Run(&calc, "C98765");
  EXPECT_EQ("9876", calc.Display);
  calc.SetDigits(0);  // never fewer than two
  Run(&calc, "C987");
  EXPECT_EQ("98", calc.Display);

  calc.SetBeepOnError(false);
  const int quiet = Beeps();
  Run(&calc, "9/0=");
  EXPECT_EQ(quiet, Beeps());
}

TEST_F(CalculatorTest, UnconvertibleDisplayCountsAsZero) {
  TTextCalculator calc(nullptr);
  calc.Display = "-";
  EXPECT_EQ(0, calc.GetValue());
  Run(&calc, "5+1");
  calc.Display = "-";  // typed in the editor before the popup opened
  EXPECT_NO_THROW(Run(&calc, "="));
  EXPECT_EQ("5", calc.Display);
  Run(&calc, "C5*1");
  calc.Display = "abc";
  EXPECT_NO_THROW(Run(&calc, "="));
  EXPECT_EQ("0", calc.Display);
  calc.Display = "1,234.5";  // thousand separators are no obstacle
  EXPECT_EQ(1234.5L, calc.GetValue());
}

TEST_F(CalculatorTest, OverflowShowsTheError) {
  TTextCalculator calc(nullptr);
  calc.SetValue(1e4000L);
  Run(&calc, "*1");
  calc.Display = "1E4000";
  Run(&calc, "=");
  EXPECT_EQ("Error", calc.Display);
  EXPECT_EQ(cesError, calc.EditState());
  // Large values short of it stay numbers.
  calc.SetValue(1e400L);
  Run(&calc, "C");
  calc.SetValue(1e400L);
  EXPECT_EQ(1e400L, calc.GetValue());
}

TEST_F(CalculatorTest, ResultsAndDisplayChangesAreReported) {
  TTextCalculator calc(nullptr);
  int results = 0, changes = 0;
  calc.SetOnResult([&](TObject*) { ++results; });
  calc.SetOnDisplayChange([&](TObject*) { ++changes; });
  Run(&calc, "2+3=");
  EXPECT_EQ(1, results);
  EXPECT_EQ(1, changes);  // typed digits are no value changes; the sum is
  Run(&calc, "%=");
  EXPECT_EQ(3, results);
  // The handler may swap the button.
  calc.SetOnButtonClick([](TObject*, TuiCalculatorButton& AButton) {
    if (AButton == cbDigit1) AButton = cbDigit9;
  });
  Run(&calc, "C1");
  EXPECT_EQ("9", calc.Display);
}

TEST_F(CalculatorTest, MetricsFollowTheSize) {
  struct Case {
    Integer Width, Height, ButtonHeight;
  };
  // Totals: 22 -> 128, 23 -> 133, 30 -> 174, 33 -> 195, 34 -> 200, 44 -> 256; the width caps the height at 131/198 of it.
  const Case cases[] = {{198, 131, 23}, {100, 100, 22}, {198, 128, 22}, {400, 174, 30},
                        {400, 175, 30}, {1000, 256, 44}, {300, 1000, 34}};
  for (const Case& c : cases)
    EXPECT_EQ(c.ButtonHeight, k58::editors::CalculatorHeightForSize(c.Width, c.Height)) << c.Width << "x" << c.Height;

  const TuiCalcMetrics m = k58::editors::CalculatorMetricsForHeight(44);
  EXPECT_EQ(56, m.ButtonWidth);
  EXPECT_EQ(6, m.SpacingX);
  EXPECT_EQ(95, m.WideButtonWidth);
  EXPECT_EQ(16, m.FontSize);
  EXPECT_EQ(256, m.CalcHeight);
  EXPECT_EQ(6 * 56 + 8 * 6 + 4, m.CalcWidth);
}

TEST_F(CalculatorTest, ButtonRectanglesAtTheStartingSize) {
  TTextCalculator calc(nullptr);
  calc.CalculateMetrics(196, 128);
  struct Case {
    TuiCalculatorButton Button;
    TRect Bounds;
  };
  // W 28, H 22, gaps 3, keypad offset 38, wide buttons 48 (28 x 1.7 rounded).
  const Case cases[] = {{cbMemoryClear, {3, 28, 31, 50}},  {cbMemoryAdd, {3, 103, 31, 125}},
                        {cbDigit7, {41, 28, 69, 50}},      {cbSqrt, {165, 28, 193, 50}},
                        {cbDigit0, {41, 103, 69, 125}},    {cbEqual, {165, 103, 193, 125}},
                        {cbClear, {145, 3, 193, 25}},      {cbCancelEntry, {94, 3, 142, 25}},
                        {cbBack, {43, 3, 91, 25}},         {cbDecimal, {103, 103, 131, 125}}};
  for (const Case& c : cases) {
    const TRect& r = calc.Buttons(c.Button).Bounds;
    EXPECT_TRUE(EqualRect(&r, &c.Bounds)) << c.Button << ": " << r.left << "," << r.top << "," << r.right << ","
                                          << r.bottom;
  }
  EXPECT_EQ(cbNone, calc.ButtonAt(10, 10));  // left of Back, row 0 stays empty
  EXPECT_EQ(cbDigit8, calc.ButtonAt(72, 28));
}

TEST_F(CalculatorTest, ResizingKeepsMemoryAndPendingOperation) {
  TTextCalculator* calc = NewCalculator();
  Run(calc, "7S5+");
  calc->SetBounds(10, 10, 400, 300);
  Pump();
  EXPECT_EQ(7, calc->Memory());
  EXPECT_EQ(cbAdd, calc->LastOperator());
  EXPECT_GT(calc->Metrics().ButtonHeight, 22);
  EXPECT_EQ(calc->Metrics().CalcWidth, calc->ClientWidth());
  EXPECT_EQ(calc->Metrics().CalcHeight, calc->ClientHeight());
  Run(calc, "3=");
  EXPECT_EQ("8", calc->Display);
}

TEST_F(CalculatorTest, KeysPressTheirButtons) {
  TTextCalculator* calc = NewCalculator();
  calc->SetFocus();
  Pump();
  std::vector<TuiCalculatorButton> clicked;
  calc->SetOnButtonClick([&](TObject*, TuiCalculatorButton& AButton) { clicked.push_back(AButton); });
  struct Case {
    bool Ctrl;
    WORD Key;
    TuiCalculatorButton Button;
  };
  const Case cases[] = {{false, VK_RETURN, cbEqual},      {false, VK_ESCAPE, cbClear},
                        {false, VK_DELETE, cbCancelEntry}, {false, 'C', cbClear},
                        {true, 'L', cbMemoryClear},       {true, 'M', cbMemoryStore},
                        {true, 'P', cbMemoryAdd},         {true, 'R', cbMemoryRead},
                        {false, 'R', cbReciprocal},       {false, VK_F9, cbSign},
                        {true, 'C', cbNone},              {false, 'L', cbNone}};
  for (const Case& c : cases) {
    clicked.clear();
    if (c.Ctrl)
      Display.Chord({VK_CONTROL}, c.Key);
    else
      Display.Key(c.Key);
    Pump();
    if (c.Button == cbNone) {
      EXPECT_TRUE(clicked.empty()) << c.Key;
    } else {
      ASSERT_EQ(1u, clicked.size()) << c.Key;
      EXPECT_EQ(c.Button, clicked[0]) << c.Key;
    }
    EXPECT_EQ(cbNone, calc->KeyButton()) << c.Key;  // released with the key
  }
}

TEST_F(CalculatorTest, CharactersPressTheirButtons) {
  TTextCalculator* calc = NewCalculator();
  calc->SetFocus();
  Pump();
  Display.Type("12.5*2=");
  Pump();
  EXPECT_EQ("25", calc->Display);
  Display.Type("16@");
  Pump();
  EXPECT_EQ("4", calc->Display);
  Display.Type("C50-10%");
  Pump();
  EXPECT_EQ("45", calc->Display);
  Display.Type("1,5+1=");  // either separator key types the locale's
  Pump();
  EXPECT_EQ("2.5", calc->Display);
}

TEST_F(CalculatorTest, HeldBackspaceRepeatsHeldDigitDoesNot) {
  TTextCalculator* calc = NewCalculator();
  calc->SetFocus();
  Pump();
  Display.Type("12345");
  Pump();
  // Auto-repeat: key-down messages without a key-up between them.
  for (int i = 0; i < 3; ++i) Display.KeyDown(VK_BACK, '\b');
  Display.KeyUp(VK_BACK);
  Pump();
  EXPECT_EQ("12", calc->Display);
  for (int i = 0; i < 3; ++i) Display.KeyDown('7', '7');
  Display.KeyUp('7');
  Pump();
  EXPECT_EQ("127", calc->Display);
}

TEST_F(CalculatorTest, MouseClicksOnlyWhenReleasedOverTheButton) {
  TTextCalculator* calc = NewCalculator();
  Display.Click(Center(calc, cbDigit7));
  Pump();
  EXPECT_EQ("7", calc->Display);
  // Pressed, dragged away: shown up and not clicked.
  Display.Press(Center(calc, cbDigit8));
  Pump();
  EXPECT_TRUE(calc->Buttons(cbDigit8).Down);
  Display.MoveTo(Center(calc, cbDigit2));
  Pump();
  EXPECT_FALSE(calc->Buttons(cbDigit8).Down);
  Display.Release(Center(calc, cbDigit2));
  Pump();
  EXPECT_EQ("7", calc->Display);
  // A disabled button does not press.
  Display.Click(Center(calc, cbMemoryRead));
  Pump();
  EXPECT_EQ("7", calc->Display);
  EXPECT_EQ(cbNone, calc->PressedButton());
}

void SetClipboardText(const char* AText) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(AText) + 1);
  std::memcpy(GlobalLock(block), AText, std::strlen(AText) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

TEST_F(CalculatorTest, HotButtonFollowsTheMouseWithATrackingPainter) {
  TTextCalculator* plain = NewCalculator();
  Display.MoveTo(Center(plain, cbDigit5));
  Pump();
  EXPECT_EQ(cbNone, plain->HotButton());  // the standard painter tracks nothing

  auto* calc = NewObject<THotCalculator>(Form);
  calc->SetParent(Form);
  calc->SetBounds(250, 10, 198, 131);
  Pump();
  Display.MoveTo(Center(calc, cbDigit5));
  Pump();
  EXPECT_EQ(cbDigit5, calc->HotButton());
  Display.MoveTo(Center(calc, cbEqual));
  Pump();
  EXPECT_EQ(cbEqual, calc->HotButton());
  // Off the buttons nothing is hot; leaving the control clears it.
  Display.MoveTo(At(calc, 5, 5));
  Pump();
  EXPECT_EQ(cbNone, calc->HotButton());
  Display.MoveTo(Center(calc, cbDigit5));
  Pump();
  Display.MoveTo(At(Form, 480, 380));
  Display.Advance(20);
  Pump();
  EXPECT_EQ(cbNone, calc->HotButton());
}

TEST_F(CalculatorTest, ClipboardCopiesAndPastes) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.CurrencyString = "$";
  TFormatSettingsGuard guard(fs);
  TTextCalculator* calc = NewCalculator();
  Run(calc, "42.5");
  calc->CopyToClipboard();
  String text;
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_EQ("42.5", text);

  struct Case {
    const char* Clip;
    const char* Display;
  };
  const Case cases[] = {{" $12.25 ", "12.25"}, {"1e3", "1000"}, {"abc", "0"}, {"$", "0"}};
  for (const Case& c : cases) {
    Run(calc, "C");
    calc->Display = "x";
    SetClipboardText(c.Clip);
    calc->PasteFromClipboard();
    EXPECT_EQ(c.Display, calc->Display) << c.Clip;
    EXPECT_EQ(cesEntering, calc->EditState()) << c.Clip;
  }
  Run(calc, "5");  // the pasted number goes on being entered
  EXPECT_EQ("5", calc->Display);

  // Ctrl+V and Ctrl+C through the window.
  calc->SetFocus();
  SetClipboardText("7");
  Display.Chord({VK_CONTROL}, 'V');
  Pump();
  EXPECT_EQ("7", calc->Display);
  Run(calc, "*3=");
  Display.Chord({VK_CONTROL}, 'C');
  Pump();
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_EQ("21", text);
}

TEST_F(CalculatorTest, FacesShowStateAndCaptionColour) {
  TTextCalculator* calc = NewCalculator();
  // Each caption is drawn in its colour; a disabled button's caption has none of it.
  auto hasColour = [&](TuiCalculatorButton AButton, TColor AColor) {
    calc->Repaint();
    Pump();
    const TRect& r = calc->Buttons(AButton).Bounds;
    for (Integer y = r.top; y < r.bottom; ++y)
      for (Integer x = r.left; x < r.right; ++x)
        if (Display.ClientPixel(calc->Handle(), POINT{x, y}) == static_cast<COLORREF>(AColor)) return true;
    return false;
  };
  EXPECT_TRUE(hasColour(cbEqual, clRed));
  EXPECT_TRUE(hasColour(cbDigit5, clBlue));
  EXPECT_TRUE(hasColour(cbSqrt, clNavy));
  EXPECT_FALSE(hasColour(cbMemoryRead, clRed));
  Run(calc, "5S");
  EXPECT_TRUE(hasColour(cbMemoryRead, clRed));
  calc->SetEnabled(false);
  EXPECT_FALSE(hasColour(cbEqual, clRed));
}

}  // namespace calc_test
