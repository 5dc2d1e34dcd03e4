// The text editors' layout and painting: text margins per text mode, the size a text needs, rows with
// their row limit, ellipsis and selection, the hint test, and what Paint draws for the inner edit, a
// fixed list and the whole-field highlight.
#include <gtest/gtest.h>

#include "controls/foundation/uiEditTextLayout.h"
#include "tests/common/Geometry.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;
using foundation_test::Rgb;
using foundation_test::TestCanvas;

namespace {

class TextEditViewTest : public TextEditFormTest {
 protected:
  // A view data of the editor's properties, made as the editor makes it but without the editor.
  static std::unique_ptr<TuiCustomTextEditViewData, TObjectDeleter> ViewData(TTestModeTextEdit* AEdit, bool AInplace) {
    TuiCustomEditViewData* viewData = AEdit->ActiveProperties()->CreateViewData(AEdit->Style(), AInplace, false);
    return std::unique_ptr<TuiCustomTextEditViewData, TObjectDeleter>(static_cast<TuiCustomTextEditViewData*>(viewData));
  }
  static TuiCustomTextEditViewInfo* Info(TuiCustomEdit* AEdit) {
    return static_cast<TuiCustomTextEditViewInfo*>(AEdit->EditViewInfo());
  }
  // The text rows the view infos drew meanwhile.
  struct RowsSeen {
    RowsSeen() {
      saved_ = k58::foundation::SetTextRowOutputObserver([this](const k58::foundation::TTextRowOutput& AOutput) {
        Rows.push_back(AOutput);
      });
    }
    ~RowsSeen() { k58::foundation::SetTextRowOutputObserver(saved_); }
    std::vector<k58::foundation::TTextRowOutput> Rows;

   private:
    k58::foundation::TTextRowOutputObserver saved_;
  };
};

TEST_F(TextEditViewTest, TheEditorsMakeTextViewsThroughTheirProperties) {
  auto* edit = NewEdit<TuiTextEdit>(10, 10);
  EXPECT_EQ(edit->EditViewInfo()->ClassType(), TuiCustomTextEditViewInfo::StaticClass());
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(edit->CreateViewData());
  EXPECT_EQ(viewData->ClassType(), TuiCustomTextEditViewData::StaticClass());
  EXPECT_EQ(viewData->Edit, edit);
}

TEST_F(TextEditViewTest, FixedListsMoveTheirTextOnePixelInStandaloneOnly) {
  auto* edit = NewEdit(10, 10);
  struct Case {
    Byte Mode;
    TuiEditVertAlignment Vert;
    bool Inplace;
    TRect Expected;
  };
  const Case cases[] = {
      {temFree, taTopJustify, false, {1, 1, 1, 3}},       {temFixedList, taTopJustify, false, {2, 2, 1, 2}},
      {temNoCursor, taTopJustify, false, {2, 2, 1, 2}},   {temFixedList, taVCenter, false, {2, 1, 1, 3}},
      {temFixedList, taBottomJustify, false, {2, 1, 1, 3}}, {temFixedList, taTopJustify, true, {1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    edit->ModeProperties()->Mode = c.Mode;
    edit->Properties()->Alignment()->SetVert(c.Vert);
    auto viewData = ViewData(edit, c.Inplace);
    TRect r{};
    GetTextEditContentOffsets(viewData.get(), r);
    EXPECT_EQ(r, c.Expected)
        << "mode " << int(c.Mode) << " vert " << int(c.Vert) << (c.Inplace ? " in-place" : "");
  }
}

TEST_F(TextEditViewTest, ContentSize) {
  auto* edit = NewEdit(10, 10);
  TestCanvas canvas(10, 10);
  auto standalone = ViewData(edit, false);
  auto inplace = ViewData(edit, true);
  canvas->SetCanvasFont(edit->Style()->GetVisibleFont());
  const Integer line = canvas->MeasureTextHeight("Zg");
  const String text = "Channel 12";
  const Integer textWidth = canvas->MeasureTextWidth(text);
  TSize offsets{}, inplaceOffsets{};
  standalone->GetContentOffsetsExtent(offsets);
  inplace->GetContentOffsetsExtent(inplaceOffsets);
  const TuiTextOutFlags single = standalone->GetDrawTextFlags();
  TSize size{};

  GetTextEditContentSize(canvas.Canvas(), standalone.get(), text, single, TSize{-1, 1}, 0, true, size);
  EXPECT_EQ(size.cx, textWidth + offsets.cx);
  EXPECT_EQ(size.cy, line + offsets.cy) << "one line of \"Zg\" and the vertical offsets";
  GetTextEditContentSize(canvas.Canvas(), standalone.get(), text, single, TSize{-1, 1}, 0, false, size);
  EXPECT_EQ(size.cx, textWidth);

  // In place, a width of 100 leaves 98 for the text: a text just wider than 98 wraps into two rows.
  String words = "A";
  while (canvas->MeasureTextWidth(words + " B") <= 98) words += "A";
  GetTextEditContentSize(canvas.Canvas(), inplace.get(), words + " B", single, TSize{100, 0}, 0, false, size);
  EXPECT_EQ(size.cx, 100);
  EXPECT_EQ(size.cy, 2 * line + inplaceOffsets.cy) << words;
  GetTextEditContentSize(canvas.Canvas(), inplace.get(), words + " B", single, TSize{100, 1}, 0, false, size);
  EXPECT_EQ(size.cy, line + inplaceOffsets.cy) << "the row limit";

  GetTextEditContentSize(canvas.Canvas(), inplace.get(), "", single, TSize{100, 0}, 0, false, size);
  EXPECT_EQ(size.cy, line + inplaceOffsets.cy) << "an empty text still takes a line";
  inplace->State.Flag = tevfEmptyTextNoHeight;
  GetTextEditContentSize(canvas.Canvas(), inplace.get(), "", single, TSize{100, 0}, 0, false, size);
  EXPECT_EQ(size.cy, 0) << "unless the host asks for none (and then no offsets either)";

  // The editor measures its value with the horizontal offsets.
  edit->SetText(text);
  standalone = ViewData(edit, false);
  standalone->GetEditContentSize(canvas.Canvas(), Variant(text), TSize{-1, 1}, size);
  EXPECT_EQ(size.cx, textWidth + offsets.cx);
}

// A host that asks for auto height gets a single-line text that does not fit wrapped into whole rows,
// from the top when the rows do not fit the height either.
TEST_F(TextEditViewTest, AutoHeightWrapsALongTextIntoWholeRows) {
  auto* edit = NewEdit(10, 10);
  edit->Properties()->Alignment()->SetVert(taVCenter);
  auto viewData = ViewData(edit, true);
  viewData->State.Flag = tevfAutoHeight;
  TestCanvas canvas(10, 10);
  TuiCustomTextEditViewInfo info;
  const TuiTextOutFlags layoutBits = tofSingleLine | tofWordBreak | tofWholeRows;
  struct Case {
    const char* Text;
    Integer Height;
    TuiTextOutFlags Layout;
    TuiTextOutFlags Vertical;
  };
  const Case cases[] = {{"Short", 60, tofSingleLine, tofAlignVCenter},
                        {"A much longer text that needs rows", 60, tofWordBreak | tofWholeRows, tofAlignVCenter},
                        {"A much longer text that needs rows", 20, tofWordBreak | tofWholeRows, tofAlignTop}};
  for (const Case& c : cases) {
    info.Text = c.Text;
    viewData->Calculate(canvas.Canvas(), TRect{0, 0, 90, c.Height}, TPoint{-1, -1}, 0, TShiftState{}, &info, false);
    EXPECT_EQ(info.DrawTextFlags & layoutBits, c.Layout) << c.Text << " in " << c.Height;
    EXPECT_EQ(info.DrawTextFlags & tofAlignVertMask, c.Vertical) << c.Text << " in " << c.Height;
  }
  viewData->State.Flag = 0;
  viewData->Calculate(canvas.Canvas(), TRect{0, 0, 90, 60}, TPoint{-1, -1}, 0, TShiftState{}, &info, false);
  EXPECT_EQ(info.DrawTextFlags & layoutBits, tofSingleLine) << "without the host's request";
}

TEST_F(TextEditViewTest, RowsHonourTheRowLimitEllipsisAndClampTheSelection) {
  TestCanvas canvas(200, 100);
  TuiCustomTextEditViewInfo info;
  HDC dc = canvas->GetDCHandle();
  const Integer charWidth = canvas->MeasureTextWidth("w");
  const TRect rect{0, 0, charWidth * 5, 100};
  struct Case {
    TuiTextOutFlags Flags;
    Integer Rows;
    bool Ellipsis;
  };
  const Case cases[] = {{tofWordBreak | tofEndEllipsis | tofWholeRows, 2, true},
                        {tofWordBreak | tofWholeRows, 2, false},
                        {tofWordBreak | tofEndEllipsis, 2, false}};
  info.Text = "www www www";
  for (const Case& c : cases) {
    info.PrepareTextRows(dc, rect, 0, 0, 2, clHighlightText, clHighlight, 0, 0, c.Flags);
    EXPECT_EQ(info.RowCount, c.Rows) << std::hex << c.Flags;
    EXPECT_EQ(info.LastRowEllipsis, c.Ellipsis) << std::hex << c.Flags;
  }
  info.PrepareTextRows(dc, rect, 0, 0, 0, clHighlightText, clHighlight, 0, 0, tofWordBreak);
  EXPECT_EQ(info.RowCount, 3) << "no limit";

  info.Text = "abc";
  const struct {
    Integer Start, Length, PreparedLength;
  } selections[] = {{3, 1, 0}, {5, 2, 0}, {-1, 2, 0}, {1, 10, 2}, {0, 3, 3}};
  for (const auto& s : selections) {
    info.PrepareTextRows(dc, rect, 0, 0, 0, clHighlightText, clHighlight, s.Length, s.Start, tofSingleLine);
    EXPECT_EQ(info.PreparedSelLength, s.PreparedLength) << s.Start << "+" << s.Length;
  }
}

TEST_F(TextEditViewTest, HintOnlyForATruncatedTextUnderThePoint) {
  TestCanvas canvas(10, 10);
  TuiCustomTextEditViewInfo info;
  info.TextRect = TRect{2, 2, 40, 18};
  info.PaintOffset = TPoint{100, 50};
  info.DrawTextFlags = tofSingleLine;
  String text;
  bool multiLine = true;
  TRect textRect{};
  info.Text = "A text far wider than the forty pixels it has";
  EXPECT_FALSE(info.NeedShowHintForRect(canvas.Canvas(), TPoint{100 + 60, 50 + 5}, TRect{}, text, multiLine, textRect))
      << "outside the text rectangle";
  ASSERT_TRUE(info.NeedShowHintForRect(canvas.Canvas(), TPoint{100 + 5, 50 + 5}, TRect{}, text, multiLine, textRect));
  EXPECT_FALSE(multiLine);
  EXPECT_EQ(text, info.Text);
  EXPECT_EQ(textRect, (TRect{102, 52, 140, 68})) << "in window coordinates";
  info.Text = "Fits";
  EXPECT_FALSE(info.NeedShowHintForRect(canvas.Canvas(), TPoint{100 + 5, 50 + 5}, TRect{}, text, multiLine, textRect));
  EXPECT_TRUE(text.empty());
}

TEST_F(TextEditViewTest, TheInnerEditOrTheViewInfoDrawsTheText) {
  auto* left = NewEdit(10, 10);
  auto* right = NewEdit(10, 40);
  right->Properties()->Alignment()->SetHorz(taRightJustify);
  left->SetText("left");
  right->SetText("right");
  Focus(left);
  {
    RowsSeen seen;
    left->Invalidate();
    right->Invalidate();
    Pump();
    ASSERT_EQ(seen.Rows.size(), 1u) << "only the unfocused right-aligned editor draws its text";
    EXPECT_EQ(seen.Rows[0].Text, "right");
    const TRect& text = Info(right)->TextRect;
    EXPECT_GT(seen.Rows[0].X, text.left + (text.right - text.left) / 2) << "on the right";
  }
  Focus(right);
  {
    RowsSeen seen;
    right->Invalidate();
    Pump();
    EXPECT_TRUE(seen.Rows.empty()) << "focused, the inner edit shows it";
  }
}

TEST_F(TextEditViewTest, FocusedFixedListDrawsAFocusRectangleInsideTheClientArea) {
  auto* edit = NewEdit(10, 10);
  auto* other = NewEdit(10, 40);
  edit->ModeProperties()->Mode = temFixedList;
  edit->Properties()->LookupItems()->Add("One");
  edit->SetText("One");
  const TRect client = Info(edit)->ClientRect;
  auto frame = [&] {
    TestCanvas canvas(edit->Width(), edit->Height());
    Info(edit)->Paint(canvas.Canvas());
    std::string top;
    for (Integer x = client.left + 1; x < client.left + 9; ++x)
      top += canvas.At(x, client.top + 1) == Rgb(Info(edit)->BackgroundColor) ? '.' : '#';
    return top;
  };
  Focus(other);
  EXPECT_EQ(frame(), "........") << "unfocused: no focus rectangle";
  Focus(edit);
  EXPECT_FALSE(Info(edit)->InnerEditShowsText);
  EXPECT_EQ(frame(), "#.#.#.#.") << "a dotted line one pixel inside the client rectangle";

  Info(edit)->WholeFieldHighlight = true;
  TestCanvas canvas(edit->Width(), edit->Height());
  Info(edit)->Paint(canvas.Canvas());
  EXPECT_EQ(canvas.At(client.left + 4, (client.top + client.bottom) / 2 + 3), Rgb(clHighlight))
      << "the whole field in the highlight colour";
}

}  // namespace
