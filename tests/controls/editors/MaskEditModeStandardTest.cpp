// The standard mask's mode: overwrite with a block caret, literals skipped, Backspace, Delete, Home, End,
// Left and Right with and without Shift and Ctrl, paste, the editor's character veto, and validity.
#include "tests/controls/editors/MaskEditModeTest.h"

namespace editors_test {
namespace {

struct StandardScript {
  const char* Mask;
  const char* Keys;    // typed after entering the empty editor with AutoSelect
  const char* Shown;   // text and selection afterwards
  int AfterKeyDown;    // keys offered on to the editor's container
};

TEST(MaskEditStandardMode, KeyScripts) {
  const char* phone = "(000) 000-0000";
  const StandardScript scripts[] = {
      {phone, "", "[(___) ___-____]", 0},
      {phone, "5", "(5[_]_) ___-____", 0},
      // The caret skips the closing parenthesis and the space.
      {phone, "555", "(555) [_]__-____", 0},
      {phone, "1234567890", "(123) 456-7890|", 0},
      {phone, "1234567890" "1", "(123) 456-7890|", 0},
      // A letter in a digit position changes nothing.
      {phone, "5a", "(5[_]_) ___-____", 0},
      // Backspace blanks the digit before the caret and stays on it; Delete blanks the one under it.
      {phone, "12345{BS}", "(123) 4[_]_-____", 0},
      {phone, "12{Left}{Del}", "(1[_]_) ___-____", 0},
      // Shift+Delete on the block cuts it; with a plain caret it is Backspace.
      {phone, "12{S-Del}", "(12[_]) ___-____", 0},
      {phone, "{End}{S-Del}", "(___) ___-___[_]", 0},
      {phone, "123{Home}", "([1]23) ___-____", 0},
      {phone, "{End}", "(___) ___-____|", 0},
      {phone, "123{End}{Left}", "(123) ___-___[_]", 0},
      {phone, "123456{C-Left}", "([1]23) 456-____", 0},
      {phone, "123{C-Right}", "(123) ___-____|", 0},
      // Left and Right over literals, and at the first and the last place.
      {phone, "123{Left}", "(12[3]) ___-____", 0},
      {phone, "1234{Left}{Left}", "(12[3]) 4__-____", 0},
      {phone, "{Home}{Left}", "([_]__) ___-____", 1},
      {phone, "{End}{Right}", "(___) ___-____|", 1},
      // A selection collapses to its first (Left) or last (Right) class position.
      {phone, "{Left}", "([_]__) ___-____", 0},
      {phone, "{Home}{S-End}{Right}", "(___) ___-____|", 0},
      {phone, "12{S-Left}{S-Left}{Right}", "(12[_]) ___-____", 0},
      // Up and Down do nothing.
      {phone, "12{Up}{Down}", "(12[_]) ___-____", 2},
      // Shift grows the block by a character on either side; back again it is the block.
      {phone, "12{S-Left}", "(1[2_]) ___-____", 0},
      {phone, "12{S-Left}{S-Left}", "([12_]) ___-____", 0},
      {phone, "12{S-Left}{Del}", "(1[_]_) ___-____", 0},
      {phone, "12{S-Right}", "(12[_)] ___-____", 0},
      {phone, "12{S-Left}{S-Right}{S-Right}", "(12[_]) ___-____", 0},
      {phone, "{Home}{S-Left}", "[(_]__) ___-____", 0},
      // A multi-character selection is blanked before the character goes in.
      {phone, "123456{Home}{S-Right}{S-Right}{S-Right}9", "(9[_]_) 456-____", 0},
      // Case conversion of the mask.
      {">LL<ll", "abCD", "ABcd|", 0},
      {"00:00", "1234", "12:34|", 0},
  };
  for (const StandardScript& s : scripts) {
    SCOPED_TRACE(String(s.Mask) + " <- " + s.Keys);
    FakeMaskEdit edit(emkStandard, s.Mask);
    edit.Enter();
    RunKeys(edit, s.Keys);
    EXPECT_EQ(edit.Show(), s.Shown);
    EXPECT_EQ(edit.beeps, 0);
    EXPECT_EQ(edit.afterKeyDown, s.AfterKeyDown);
  }
}

TEST(MaskEditStandardMode, PasteOverwrites) {
  FakeMaskEdit edit(emkStandard, "(000) 000-0000");
  edit.Enter();
  edit.clipboard = "12";
  RunKeys(edit, "{Home}{Paste}");
  EXPECT_EQ(edit.Show(), "(12[_]) ___-____");
  // Ending on a literal the caret goes on to the next class position.
  edit.clipboard = "9";
  RunKeys(edit, "{Paste}");
  EXPECT_EQ(edit.Show(), "(129) [_]__-____");
  RunKeys(edit, "{Home}{S-Right}{Cut}");
  EXPECT_EQ(edit.clipboard, "12");
  EXPECT_EQ(edit.Show(), "([_]_9) ___-____");
}

TEST(MaskEditStandardMode, EditorVetoesAndChangesCharacters) {
  FakeMaskEdit edit(emkStandard, "AAA");
  edit.charAllowed = [](String& ACh, Integer APosition) {
    if (ACh == "x") return false;
    if (ACh == "y") ACh.clear();
    if (APosition == 3) ACh = "#";
    return true;
  };
  edit.Enter();
  RunKeys(edit, "x");
  EXPECT_EQ(edit.Show(), "[___]");
  EXPECT_EQ(edit.beeps, 0);
  RunKeys(edit, "y");
  EXPECT_EQ(edit.Show(), "[___]");
  EXPECT_EQ(edit.beeps, 1);
  edit.beepOnError = false;
  RunKeys(edit, "yabc");
  EXPECT_EQ(edit.beeps, 1);
  EXPECT_EQ(edit.Show(), "ab#|");
}

TEST(MaskEditStandardMode, Validity) {
  struct Case {
    const char* Mask;
    const char* Text;
    bool IgnoreMaskBlank;
    bool Valid;
  };
  const Case cases[] = {
      {"(000) 000-0000", "(123) 456-7890", false, true},
      {"(000) 000-0000", "(123) 456-789_", false, false},
      {"(000) 000-0000", "(___) ___-____", false, false},
      {"(000) 000-0000", "(___) ___-____", true, true},
      {"(000) 000-0000", "(123) ___-____", true, false},
      {"990", "__1", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " : " + c.Text);
    FakeMaskEdit edit(emkStandard, c.Mask);
    edit.ignoreMaskBlank = c.IgnoreMaskBlank;
    EXPECT_EQ(edit.mode->IsTextValid(c.Text), c.Valid);
  }
}

TEST(MaskEditStandardMode, ValueAndBlankMask) {
  FakeMaskEdit edit(emkStandard, "00-00;0;*");
  edit.Assign("1234");
  EXPECT_EQ(edit.Text(), "12-34");
  String value;
  edit.mode->TextToValue("1*-34", value);
  EXPECT_EQ(value, "1 34");
  // A blank mask is no mask: texts pass as they are and no block caret appears.
  edit.mode->LoadMask(" \t ");
  EXPECT_FALSE(edit.IsMasked());
  edit.Assign("free text");
  edit.Click(2);
  EXPECT_EQ(edit.Show(), "fr|ee text");
}

// A mode loaded without a usable editor stores the empty value once there is one (the regular-expression
// kind has nothing to store: its empty value is the empty text).
class DetachedHost : public FakeMaskEdit {
 public:
  bool usable = false;
  bool IsUsable() const override { return usable; }
};

TEST(MaskEditModes, PendingEmptyValue) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    bool Pending;
    const char* Value;
  };
  const Case cases[] = {
      {emkStandard, "00-00", true, "  -  "},
      {emkRegExprEx, "'(' \\d{3} ')'", true, "("},
      {emkRegExpr, "'(' \\d{3} ')'", false, "unchanged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Mask);
    DetachedHost edit;
    edit.editValue = "unchanged";
    if (c.Kind == emkStandard) edit.mode.reset(NewObject<TuiMaskEditStandardMode>(&edit, nullptr));
    if (c.Kind == emkRegExpr) edit.mode.reset(NewObject<TuiMaskEditRegExprMode>(&edit, nullptr));
    if (c.Kind == emkRegExprEx) edit.mode.reset(NewObject<TuiMaskEditRegExprExMode>(&edit, nullptr));
    edit.mode->LoadMask(c.Mask);
    EXPECT_EQ(edit.mode->ValueUpdatePending(), c.Pending);
    edit.usable = true;
    edit.mode->ApplyPendingValue();
    EXPECT_EQ(edit.editValue, c.Value);
    EXPECT_FALSE(edit.mode->ValueUpdatePending());
  }
}

// Bringing the text in line with the edit value: the standard mode keeps its block, the regular-expression
// modes put the caret behind the text with everything in the head.
TEST(MaskEditModes, SyncWithEditValue) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Value;
    const char* Shown;
  };
  const Case cases[] = {
      {emkStandard, "(000) 000-0000", "555", "[(]555) ___-____"},
      {emkRegExpr, "\\d+ ('.' \\d\\d)?", "12.5x0", "12.50|"},
      {emkRegExprEx, "'(' \\d{3} ')'", "(12", "(12|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Mask);
    FakeMaskEdit edit(c.Kind, c.Mask);
    edit.editValue = c.Value;
    edit.mode->SyncWithEditValue();
    EXPECT_EQ(edit.Show(), c.Shown);
    if (c.Kind != emkStandard) {
      auto* mode = static_cast<TuiMaskEditRegExprMode*>(edit.mode.get());
      EXPECT_EQ(mode->Head(), edit.Text());
      EXPECT_EQ(mode->Tail(), "");
    }
  }
}

}  // namespace
}  // namespace editors_test
