// The in-cell editor on a headless form: entering and leaving edit mode, typing, committing through the
// validated setter, the events in order, keys shared with the grid, number insertion and masks.
#include <gtest/gtest.h>

#include "grid/InplaceEdit.h"
#include "tests/common/RtlTesting.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

class Editor : public GridOnForm {
 protected:
  Editor() {
    grid->SetOptions(grid->Options() + TCellGridOptions{goEditing});
    grid->SetFocus();
    Pump();
  }
  TInplaceEdit* Edit() { return grid->InplaceEditor(); }
  bool EditorShown() { return Edit() != nullptr && Edit()->HandleAllocated() && IsWindowVisible(Edit()->Handle()); }
  String Fore(Integer c, Integer r) { return grid->GetCellInfo(c, r)->ForeText; }
  void Type(const std::string& text) {
    display.Type(text);
    Pump();
  }
  void Key(WORD vk) {
    display.Key(vk);
    Pump();
  }
};

TEST_F(Editor, EnterOpensWithTheCaretAtTheEndAndEnterCommits) {
  grid->GetCellInfo(1, 1)->ForeText = "old";
  std::vector<String> events;
  grid->SetOnSetForeText([&](TObject*, Integer, Integer, String& v) { events.push_back("fore " + v); });
  grid->SetOnSetEditText([&](TObject*, Integer, Integer, const String& v) { events.push_back("edit " + v); });
  grid->SetOnHideEdit([&](TObject*, Integer c, Integer r, const String& v) {
    events.push_back("hide " + IntToStr(c) + "," + IntToStr(r) + " " + v);
  });
  Key(VK_RETURN);
  ASSERT_TRUE(grid->Editing());
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Edit()->Text(), "old");
  EXPECT_EQ(Edit()->SelStart(), 3);
  EXPECT_EQ(Edit()->SelLength(), 0);
  EXPECT_EQ(grid->EditCol(), 1);
  // The editor holds the window focus while the grid stays the form's focused control.
  EXPECT_EQ(GetFocus(), Edit()->Handle());
  EXPECT_EQ(form->ActiveControl(), grid);
  Type("er");
  Key(VK_RETURN);
  EXPECT_FALSE(grid->Editing());
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Fore(1, 1), "older");
  EXPECT_EQ(events, (std::vector<String>{"fore older", "edit older", "hide 1,1 older"}));
  EXPECT_EQ(grid->EditCol(), -1);
}

TEST_F(Editor, TypingStartsEditingWithTheCharacter) {
  Type("7");
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Edit()->Text(), "7");
  Type("5");
  Key(VK_DOWN);  // commits and moves on
  EXPECT_EQ(Fore(1, 1), "75");
  EXPECT_EQ(grid->Focus(), (TGridCoord{1, 2}));
}

TEST_F(Editor, AnyCharacterFrom32OnStartsEditingWithIt) {
  // A blank, the top of Latin-1, Chinese from an input method, and a character beyond 16 bits (two units).
  for (const std::string text : {" ", "\xC3\xBF", "\xE9\xA2\x91\xE7\x8E\x87", "\xF0\x9F\x98\x80"}) {
    ASSERT_FALSE(grid->Editing()) << text;
    Type(text);
    ASSERT_TRUE(EditorShown()) << text;
    EXPECT_EQ(Edit()->Text(), text);
    Key(VK_ESCAPE);
  }
}

TEST_F(Editor, EscRestoresTheLoadedText) {
  grid->GetCellInfo(1, 1)->ForeText = "keep";
  Integer sets = 0;
  grid->SetOnSetForeText([&](TObject*, Integer, Integer, String&) { ++sets; });
  Key(VK_F2);
  Type("xx");
  Key(VK_ESCAPE);
  EXPECT_FALSE(grid->Editing());
  EXPECT_EQ(Fore(1, 1), "keep");
  EXPECT_EQ(sets, 0);
}

TEST_F(Editor, NumberCellsValidateOnCommitAndInsertDigitsWithoutReplacing) {
  TCellInfo* cell = grid->GetCellInfo(1, 1);
  cell->DataStyle = dsNumber;
  cell->ForeText = "12";
  grid->SetEditorActive(true);
  Pump();
  grid->SelectAllEditorText();
  EXPECT_EQ(Edit()->SelLength(), 2);
  Type("5");
  EXPECT_EQ(Edit()->Text(), "512");
  Key(VK_RETURN);
  EXPECT_EQ(Fore(1, 1), "512");
  // A text that is no number is refused with the cell named; the old text stays.
  Key(VK_RETURN);
  Type("x");
  Key(VK_RETURN);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "Cell[1,1]");
  EXPECT_EQ(Fore(1, 1), "512");
}

TEST_F(Editor, ThousandSeparatorsAreLeftOutWhileEditing) {
  TCellInfo* cell = grid->GetCellInfo(1, 1);
  cell->DataStyle = dsNumber;
  cell->ThousandSep = true;
  cell->ForeText = "1,234.5";
  Key(VK_RETURN);
  EXPECT_EQ(Edit()->Text(), "1234.5");
}

TEST_F(Editor, NumberCellsInTheCommaDecimalConvention) {
  TFormatSettingsGuard guard(CommaDecimalSettings());
  TCellInfo* cell = grid->GetCellInfo(1, 1);
  cell->DataStyle = dsNumber;
  cell->ThousandSep = true;
  cell->ForeText = "1.234,5";
  Key(VK_RETURN);
  EXPECT_EQ(Edit()->Text(), "1234,5");
  Type("6");
  Key(VK_RETURN);
  EXPECT_EQ(Fore(1, 1), "1.234,56");
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(Editor, ReadOnlyCellNeverGetsTheEditor) {
  grid->GetCellInfo(1, 1)->ReadOnly = true;
  Key(VK_RETURN);
  EXPECT_FALSE(EditorShown());
  Type("a");
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Fore(1, 1), "");
}

TEST_F(Editor, ArrowsAtTheTextsEndsMoveToTheNeighbouringCell) {
  grid->GetCellInfo(2, 1)->ForeText = "ab";
  display.Click(AtCell(2, 1));
  Pump();
  Key(VK_F2);
  Key(VK_LEFT);  // inside the text: the caret moves
  EXPECT_EQ(grid->Focus(), (TGridCoord{2, 1}));
  EXPECT_EQ(Edit()->SelStart(), 1);
  Key(VK_END);  // to the end
  Key(VK_RIGHT);  // past it: the next cell
  EXPECT_EQ(grid->Focus(), (TGridCoord{3, 1}));
  EXPECT_FALSE(grid->Editing());
}

TEST_F(Editor, DateAndTimeCellsGetTheirMasks) {
  grid->GetCellInfo(1, 1)->DataStyle = dsDate;
  grid->GetCellInfo(2, 1)->DataStyle = dsTime;
  grid->SetOnGetEditMask([](TObject*, Integer c, Integer, String& v) { v = c == 3 ? "000" : "ignored"; });
  Key(VK_RETURN);
  EXPECT_EQ(Edit()->EditMask(), "9999/99/99;1; ");
  Key(VK_RETURN);
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(Edit()->EditMask(), "00:00:00;1; ");
  Key(VK_RETURN);
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(Edit()->EditMask(), "000");
}

TEST_F(Editor, DatesAndTimesAreTypedIntoTheirMasksAndStoredInTheirForm) {
  grid->GetCellInfo(1, 1)->DataStyle = dsDate;
  grid->GetCellInfo(2, 1)->DataStyle = dsTime;
  Key(VK_F2);
  EXPECT_EQ(Edit()->SelStart(), 0);  // nothing typed yet: the caret stays at the first position
  Type("2024x0105");                 // the letter is refused
  EXPECT_EQ(Edit()->Text(), "2024-01-05");
  Key(VK_RETURN);
  EXPECT_EQ(Fore(1, 1), "2024-01-05");
  Key(VK_RIGHT);
  Key(VK_F2);
  Type("070500");
  Key(VK_RETURN);
  EXPECT_EQ(Fore(2, 1), "07:05:00");
  EXPECT_TRUE(boxes.Boxes.empty());
  // A time that is no time is refused on commit with the cell named.
  Key(VK_F2);
  Key(VK_HOME);
  Type("256100");
  Key(VK_RETURN);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "Cell[2,1]");
  EXPECT_EQ(Fore(2, 1), "07:05:00");
}

TEST_F(Editor, EmptyMaskedCellOpenedAndLeftStaysEmpty) {
  grid->GetCellInfo(1, 1)->DataStyle = dsDate;
  Integer sets = 0;
  grid->SetOnSetForeText([&](TObject*, Integer, Integer, String&) { ++sets; });
  std::vector<String> hidden;
  grid->SetOnHideEdit([&](TObject*, Integer, Integer, const String& v) { hidden.push_back(v); });
  Key(VK_F2);
  Key(VK_RETURN);
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_EQ(Fore(1, 1), "");
  EXPECT_EQ(sets, 0);
  EXPECT_EQ(hidden, (std::vector<String>{""}));
}

TEST_F(Editor, MaskMissingRequiredCharactersShowsTheInformationBox) {
  grid->SetOnGetEditMask([](TObject*, Integer, Integer, String& v) { v = "000;1;_"; });
  Key(VK_F2);
  Type("1");
  EXPECT_NO_THROW(Edit()->ValidateEdit());
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "");
  EXPECT_EQ(boxes.Boxes[0].Caption, "Caution");
  EXPECT_EQ(boxes.Boxes[0].Flags, box::OK | box::IconInformation);
}

TEST_F(Editor, EditorTakesTheCellsLookAndSitsInsideIt) {
  TCellInfo* cell = grid->GetCellInfo(2, 2);
  cell->Color = clYellow;
  cell->FontSize = 12;
  cell->FontStyle = TFontStyles{fsBold};
  display.Click(AtCell(2, 2));
  Pump();
  Key(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Edit()->Color(), clYellow);
  EXPECT_EQ(Edit()->Font()->Size(), 12);
  TRect cellRect;
  grid->GetCellRect(2, 2, cellRect);
  EXPECT_EQ(Edit()->BoundsRect(),
            (TRect{cellRect.left + 2, cellRect.top + 2, cellRect.right - 2, cellRect.bottom - 2}));
  EXPECT_EQ(Pixel(cellRect.left + 4, cellRect.bottom - 4), clYellow);
}

TEST_F(Editor, DoubleClickOnTheFocusedCellEditsAndAPressElsewhereCommits) {
  grid->GetCellInfo(2, 2)->ForeText = "a";
  display.Click(AtCell(2, 2));
  Pump();
  display.DoubleClick(AtCell(2, 2));
  Pump();
  ASSERT_TRUE(EditorShown());
  Type("b");
  display.Click(AtCell(3, 3));
  Pump();
  EXPECT_FALSE(grid->Editing());
  EXPECT_EQ(Fore(2, 2), "ab");
  EXPECT_EQ(grid->Focus(), (TGridCoord{3, 3}));
}

TEST_F(Editor, AlwaysShownEditorFollowsTheFocus) {
  grid->SetOptions(grid->Options() + TCellGridOptions{goAlwaysShowEditor});
  Pump();
  ASSERT_TRUE(EditorShown());
  Type("1");
  Key(VK_DOWN);
  EXPECT_TRUE(grid->Editing());
  EXPECT_EQ(Fore(1, 1), "1");
  EXPECT_EQ(grid->EditRow(), 2);
  // Enter is the editor's own: it selects the text, it does not end editing.
  Type("2");
  Key(VK_RETURN);
  EXPECT_TRUE(grid->Editing());
  EXPECT_EQ(Edit()->SelLength(), 1);
}

TEST_F(Editor, FailureWhileCommittingStillUnloadsAndHidesTheEditor) {
  grid->SetOnSetEditText([](TObject*, Integer, Integer, const String&) { throw Exception("refused"); });
  Key(VK_F2);
  Type("a");
  ASSERT_TRUE(EditorShown());
  EXPECT_THROW(grid->SetEditorActive(false), Exception);
  EXPECT_EQ(grid->EditCol(), -1);
  EXPECT_EQ(grid->EditRow(), -1);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Fore(1, 1), "a");  // stored before the event refused
}

TEST_F(Editor, WheelDownLeavesEditMode) {
  grid->SetRowCount(20);
  Key(VK_F2);
  ASSERT_TRUE(grid->Editing());
  display.Wheel(AtCell(2, 2), -1);
  Pump();
  EXPECT_FALSE(grid->Editing());
}

}  // namespace
