// The edit control's text rules apart from its window: selection ends, caret movement, typing,
// deleting, pasting, the limit, case conversion, undo and the line layout.
#include <gtest/gtest.h>

#include "platform/win/builtin/EditModel.h"

namespace builtin_test {

namespace {

using k58::builtin::EditLine;
using k58::builtin::EditModel;
using k58::builtin::EditText;

EditModel Model(const char32_t* Text, int Anchor, int Caret) {
  EditModel M;
  M.SetText(Text);
  M.SetSel(Anchor, Caret);
  return M;
}

TEST(EditModelTest, SetSelClampsOrdersAndPutsTheCaretAtTheEndGivenLast) {
  struct Case {
    int Start, End;
    int SelStart, SelEnd, Caret;
  } Cases[] = {
      {1, 3, 1, 3, 3}, {3, 1, 1, 3, 1}, {0, -1, 0, 5, 5}, {2, 99, 2, 5, 5}, {-5, 2, 2, 5, 2}, {4, 4, 4, 4, 4},
  };
  for (const Case& C : Cases) {
    EditModel M = Model(U"hello", 0, 0);
    M.SetSel(C.Start, C.End);
    EXPECT_EQ(M.SelStart(), C.SelStart) << C.Start << "," << C.End;
    EXPECT_EQ(M.SelEnd(), C.SelEnd) << C.Start << "," << C.End;
    EXPECT_EQ(M.Caret(), C.Caret) << C.Start << "," << C.End;
  }
  // Start -1 collapses the selection where the caret is.
  EditModel M = Model(U"hello", 1, 4);
  M.SetSel(-1, 0);
  EXPECT_EQ(M.SelStart(), 4);
  EXPECT_FALSE(M.HasSelection());
}

TEST(EditModelTest, MovesStartFromTheActiveEnd) {
  // Left with [2,5) and the caret at 5 gives the caret at 4, collapsed; with Shift the anchor stays.
  EditModel M = Model(U"abcdefg", 2, 5);
  M.MoveTo(M.PrevPos(M.Caret()), false);
  EXPECT_EQ(M.SelStart(), 4);
  EXPECT_EQ(M.SelEnd(), 4);
  M = Model(U"abcdefg", 5, 2);
  M.MoveTo(M.PrevPos(M.Caret()), true);
  EXPECT_EQ(M.SelStart(), 1);
  EXPECT_EQ(M.SelEnd(), 5);
  EXPECT_EQ(M.Caret(), 1);
}

TEST(EditModelTest, WordStopsAndWordAt) {
  EditModel M = Model(U"one  two three", 0, 0);
  EXPECT_EQ(M.NextWordStart(0), 5);
  EXPECT_EQ(M.NextWordStart(5), 9);
  EXPECT_EQ(M.NextWordStart(9), 14);
  EXPECT_EQ(M.PrevWordStart(14), 9);
  EXPECT_EQ(M.PrevWordStart(9), 5);
  EXPECT_EQ(M.PrevWordStart(4), 0);
  int S, E;
  M.WordAt(6, S, E);
  EXPECT_EQ(S, 5);
  EXPECT_EQ(E, 8);
  M.WordAt(14, S, E);  // at the end: the last word
  EXPECT_EQ(S, 9);
  EXPECT_EQ(E, 14);
  M.WordAt(3, S, E);  // on blanks: the blanks
  EXPECT_EQ(S, 3);
  EXPECT_EQ(E, 5);
}

TEST(EditModelTest, TypingReplacesTheSelectionWithinTheRules) {
  EditModel M = Model(U"abcdef", 1, 3);
  EXPECT_TRUE(M.TypeChar(U'X').Changed);
  EXPECT_EQ(M.Text(), U"aXdef");
  EXPECT_EQ(M.Caret(), 2);
  EXPECT_TRUE(M.Modified);

  M.Limit = 5;
  auto R = M.TypeChar(U'Y');
  EXPECT_FALSE(R.Changed);
  EXPECT_TRUE(R.LimitHit);
  M.SetSel(0, 1);  // replacing one character keeps the length: allowed
  EXPECT_TRUE(M.TypeChar(U'Y').Changed);
  EXPECT_EQ(M.Text(), U"YXdef");

  M.UpperCase = true;
  M.SetSel(5, 5);
  M.Limit = 100;
  M.TypeChar(U'q');
  EXPECT_EQ(M.Text(), U"YXdefQ");

  M.NumbersOnly = true;
  EXPECT_TRUE(M.TypeChar(U'z').Refused);
  EXPECT_TRUE(M.TypeChar(U'7').Changed);

  M.ReadOnly = true;
  EXPECT_TRUE(M.TypeChar(U'8').Refused);
  EXPECT_TRUE(M.DeleteBack().Refused);
  EXPECT_TRUE(M.Paste(U"x").Refused);
  EXPECT_EQ(M.Text(), U"YXdefQ7");
}

TEST(EditModelTest, DeletingTakesTheSelectionOrOneCharacterAndALineBreakWhole) {
  struct Case {
    const char32_t* Text;
    int Anchor, Caret;
    bool Back;
    const char32_t* After;
    int CaretAfter;
    bool Changed;
  } Cases[] = {
      {U"abc", 1, 1, true, U"bc", 0, true},     {U"abc", 1, 1, false, U"ac", 1, true},
      {U"abc", 0, 0, true, U"abc", 0, false},   {U"abc", 3, 3, false, U"abc", 3, false},
      {U"abcd", 3, 1, true, U"ad", 1, true},    {U"abcd", 1, 3, false, U"ad", 1, true},
      {U"a\r\nb", 3, 3, true, U"ab", 1, true},  {U"a\r\nb", 1, 1, false, U"ab", 1, true},
  };
  for (const Case& C : Cases) {
    EditModel M = Model(C.Text, C.Anchor, C.Caret);
    M.MultiLine = true;
    auto R = C.Back ? M.DeleteBack() : M.DeleteForward();
    EXPECT_EQ(M.Text(), EditText(C.After));
    EXPECT_EQ(M.Caret(), C.CaretAfter);
    EXPECT_EQ(R.Changed, C.Changed);
  }
}

TEST(EditModelTest, PasteCutsSingleLineTextAtTheFirstBreakAndAtTheLimit) {
  EditModel M = Model(U"[]", 1, 1);
  M.Paste(U"one\r\ntwo");
  EXPECT_EQ(M.Text(), U"[one]");
  M.Limit = 7;
  auto R = M.Paste(U"12345");
  EXPECT_EQ(M.Text(), U"[one12]");
  EXPECT_TRUE(R.LimitHit);
  EXPECT_EQ(M.Caret(), 6);

  EditModel Multi = Model(U"", 0, 0);
  Multi.MultiLine = true;
  Multi.Paste(U"a\nb\rc\r\nd");
  EXPECT_EQ(Multi.Text(), U"a\r\nb\r\nc\r\nd");
  // A cut at the limit never splits a line break.
  Multi.SetText(U"");
  Multi.Limit = 2;
  Multi.Paste(U"a\r\nb");
  EXPECT_EQ(Multi.Text(), U"a");
}

TEST(EditModelTest, UndoTakesBackARunOfTypingAndUndoingAgainRedoes) {
  EditModel M = Model(U"x", 1, 1);
  EXPECT_FALSE(M.CanUndo());
  M.TypeChar(U'a');
  M.TypeChar(U'b');
  M.TypeChar(U'c');
  M.Undo();
  EXPECT_EQ(M.Text(), U"x");
  M.Undo();
  EXPECT_EQ(M.Text(), U"xabc");
  M.MoveTo(0, false);
  M.TypeChar(U'>');  // a new run after moving the caret
  M.Undo();
  EXPECT_EQ(M.Text(), U"xabc");
  M.SetText(U"fresh");
  EXPECT_FALSE(M.CanUndo());
  EXPECT_FALSE(M.Modified);
}

TEST(EditModelTest, LayoutBreaksAtLineEndsAndWrapsBetweenWords) {
  // Every character is 10 pixels wide.
  auto Measure = [](const char32_t*, int N, std::vector<int>& E) {
    E.resize(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) E[static_cast<size_t>(I)] = 10 * (I + 1);
  };
  auto Lines = k58::builtin::LayoutEditLines(U"ab\r\ncd\r\n", true, false, 0, Measure);
  ASSERT_EQ(Lines.size(), 3u);
  EXPECT_EQ(Lines[1].Start, 4);
  EXPECT_EQ(Lines[1].Length, 2);
  EXPECT_EQ(Lines[1].Break, 2);
  EXPECT_EQ(Lines[2].Start, 8);
  EXPECT_EQ(Lines[2].Length, 0);

  // 50 pixels: five characters a line.
  Lines = k58::builtin::LayoutEditLines(U"one two three abcdefghij", true, true, 50, Measure);
  std::vector<std::pair<int, int>> Got;
  for (const EditLine& L : Lines) Got.emplace_back(L.Start, L.Length);
  EXPECT_EQ(Got, (std::vector<std::pair<int, int>>{{0, 4}, {4, 4}, {8, 6}, {14, 5}, {19, 5}}));
  EXPECT_EQ(k58::builtin::LineOfChar(Lines, 4), 1);
  EXPECT_EQ(k58::builtin::LineOfChar(Lines, 3), 0);

  Lines = k58::builtin::LayoutEditLines(U"a\r\nb", false, false, 0, Measure);
  ASSERT_EQ(Lines.size(), 1u);
}

}  // namespace

}  // namespace builtin_test
