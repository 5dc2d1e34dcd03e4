// The regular-expression mask modes: typing only what can still match, the tail kept while it fits, the
// auto-completing mode's forced characters and their take-back, the error of a bad pattern, validity, and
// after every key the engine standing at the end of the head and head plus tail making the text.
#include <random>

#include "tests/controls/editors/MaskEditModeTest.h"

namespace editors_test {
namespace {

Integer Chars(const String& AText) { return static_cast<Integer>(k58::rtl::Utf8ToUtf32(AText).size()); }

void ExpectInSync(FakeMaskEdit& AEdit) { ExpectRegExprModeInSync(*AEdit.mode, AEdit.Text()); }

TEST(MaskEditRegExprMode, KeyScripts) {
  for (const RegExprScript& s : kRegExprScripts) {
    SCOPED_TRACE(String(s.Mask) + " <- " + s.Keys);
    FakeMaskEdit edit(s.Kind, s.Mask);
    edit.Enter();
    RunKeys(edit, s.Keys, [&] { ExpectInSync(edit); });
    EXPECT_EQ(edit.Show(), s.Shown);
    EXPECT_EQ(edit.beeps, s.Beeps);
  }
}

TEST(MaskEditRegExprMode, EmptyValueAndFormatting) {
  FakeMaskEdit edit(emkRegExprEx, "'(' \\d{3} ')' \\d{3}");
  EXPECT_EQ(edit.editValue, "(");
  EXPECT_EQ(edit.Text(), "(");
  String text;
  edit.mode->FormatText("(12x3", text);
  EXPECT_EQ(text, "(123)");
  edit.Use(emkRegExpr, "'(' \\d{3} ')' \\d{3}");
  EXPECT_EQ(edit.editValue, "");
  edit.mode->FormatText("(12x3", text);
  EXPECT_EQ(text, "(123");
}

TEST(MaskEditRegExprMode, Validity) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Text;
    bool IgnoreMaskBlank;
    bool Valid;
  };
  const Case cases[] = {
      // An empty text is valid whatever the pattern.
      {emkRegExpr, "\\d+", "", false, true},
      {emkRegExprEx, "'(' \\d{3} ')'", "", false, true},
      {emkRegExpr, "\\d+ ('.' \\d\\d)?", "12.50", false, true},
      {emkRegExpr, "\\d+ ('.' \\d\\d)?", "12.5", false, false},
      {emkRegExpr, "\\d+ ('.' \\d\\d)?", "12.5", true, true},
      {emkRegExpr, "\\d+ ('.' \\d\\d)?", "12.5x", true, false},
      // The forced prefix alone is an empty entry.
      {emkRegExprEx, "'(' \\d{3} ')'", "(", false, true},
      {emkRegExprEx, "'(' \\d{3} ')'", "(12", false, false},
      {emkRegExprEx, "'(' \\d{3} ')'", "(123)", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " : " + c.Text);
    FakeMaskEdit edit(c.Kind, c.Mask);
    edit.ignoreMaskBlank = c.IgnoreMaskBlank;
    EXPECT_EQ(edit.mode->IsTextValid(c.Text), c.Valid);
  }
}

TEST(MaskEditRegExprMode, CaseInsensitivity) {
  FakeMaskEdit edit(emkRegExpr, "'ok'");
  edit.caseInsensitive = false;
  static_cast<TuiMaskEditRegExprMode*>(edit.mode.get())->UpdateCaseInsensitive();
  edit.Enter();
  RunKeys(edit, "OK");
  EXPECT_EQ(edit.Show(), "|");
  EXPECT_FALSE(edit.mode->IsTextValid("OK"));
  EXPECT_TRUE(edit.mode->IsTextValid("ok"));
}

TEST(MaskEditRegExprMode, BadPatternRaisesAndKeepsTheMask) {
  for (TuiEditMaskKind kind : {emkRegExpr, emkRegExprEx}) {
    FakeMaskEdit edit(kind, "\\d+");
    try {
      edit.mode->LoadMask("a)(b");
      ADD_FAILURE() << "no error";
    } catch (const EuiMaskEditError& e) {
      EXPECT_EQ(e.Message(), "Regular expression errors:\r\nLine1, Char2: Illegal ')'\r\nMissing ')'");
    }
    EXPECT_EQ(edit.mode->MaskText(), "\\d+");
    edit.Enter();
    RunKeys(edit, "4a2", [&] { ExpectInSync(edit); });
    EXPECT_EQ(edit.Text(), "42");
  }
}

TEST(MaskEditRegExprMode, PasteAndClicks) {
  FakeMaskEdit edit(emkRegExpr, "\\d+ ('.' \\d\\d)?");
  edit.Enter();
  RunKeys(edit, "12");
  edit.clipboard = ".5";
  RunKeys(edit, "{Paste}", [&] { ExpectInSync(edit); });
  EXPECT_EQ(edit.Show(), "12.5|");
  RunKeys(edit, "0");
  EXPECT_EQ(edit.Show(), "12.50|");
  // A click puts the caret elsewhere; the next key works from there.
  edit.Click(1);
  RunKeys(edit, "9", [&] { ExpectInSync(edit); });
  EXPECT_EQ(edit.Show(), "19|2.50");
  // Text before the caret that the pattern refuses stops the caret in front of it.
  edit.clipboard = "x";
  edit.Click(0);
  RunKeys(edit, "{Paste}{End}", [&] { ExpectInSync(edit); });
  EXPECT_EQ(edit.Show(), "|x192.50");
  RunKeys(edit, "7", [&] { ExpectInSync(edit); });
  EXPECT_EQ(edit.Show(), "7|");
}

// Random keys on random masks of the three kinds: the regular-expression modes stay in step with the text
// and no key raises.
TEST(MaskEditModes, RandomKeys) {
  struct Mask {
    TuiEditMaskKind Kind;
    const char* Text;
  };
  const Mask masks[] = {
      {emkStandard, "(000) 000-0000"}, {emkStandard, ">LL-999;0;*"}, {emkStandard, "!990:00"},
      {emkStandard, "aaa\\-ccc;1; "},  {emkRegExpr, "\\d+ ('.' \\d\\d)?"}, {emkRegExpr, "(ab|ac)d*"},
      {emkRegExpr, "\\w{2,4} '-' \\d"}, {emkRegExprEx, "'(' \\d{3} ')' \\d{3}"}, {emkRegExprEx, "\\d{2} '-' \\d"},
      {emkRegExprEx, "'ID' \\d\\d (':' [a-c]+)?"}, {emkRegExprEx, "(ab|ac)d*"},
  };
  const char* keys[] = {"0", "1", "5", "9", "a", "b", "c", "d", "x", "I", ".", "(", ")", "-", ":", "{BS}",
                        "{Del}", "{S-Del}", "{Home}", "{End}", "{Left}", "{Right}", "{S-Left}", "{S-Right}",
                        "{S-Home}", "{S-End}", "{C-Left}", "{C-Right}", "{Paste}", "{Cut}"};
  const char* clips[] = {"12", "a", "(1", ".50", "x9", "", "123)4"};
  std::mt19937 random(58);
  for (int run = 0; run < 400; ++run) {
    const Mask& mask = masks[random() % std::size(masks)];
    FakeMaskEdit edit(mask.Kind, mask.Text);
    edit.Enter();
    String script;
    for (int i = 0; i < 30; ++i) {
      const int pick = static_cast<int>(random() % (std::size(keys) + 2));
      if (pick == static_cast<int>(std::size(keys))) {
        edit.Click(static_cast<Integer>(random() % static_cast<unsigned>(edit.M.Length() + 1)));
        script += "{click}";
      } else if (pick == static_cast<int>(std::size(keys)) + 1) {
        edit.Enter();
        script += "{enter}";
      } else {
        if (String(keys[pick]) == "{Paste}") edit.clipboard = clips[random() % std::size(clips)];
        script += keys[pick];
        try {
          RunKeys(edit, keys[pick]);
        } catch (const std::exception& e) {
          ADD_FAILURE() << mask.Text << " <- " << script << ": " << e.what();
          break;
        }
      }
      if (mask.Kind != emkStandard) {
        SCOPED_TRACE(String(mask.Text) + " <- " + script);
        auto* mode = static_cast<TuiMaskEditRegExprMode*>(edit.mode.get());
        if (mode->Head() + mode->Tail() != edit.Text() ||
            mode->Engine().Automat()->PositionCount() - 1 != Chars(mode->Head())) {
          ExpectInSync(edit);
          break;
        }
      }
    }
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace editors_test
