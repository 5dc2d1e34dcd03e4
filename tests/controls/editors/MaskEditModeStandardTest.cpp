// The standard mask's mode: overwrite with a block caret, literals skipped, Backspace, Delete, Home, End,
// Left and Right with and without Shift and Ctrl, paste, the editor's character veto, and validity.
#include "tests/controls/editors/MaskEditModeTest.h"

namespace editors_test {
namespace {

TEST(MaskEditStandardMode, KeyScripts) {
  for (const StandardScript& s : kStandardScripts) {
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
