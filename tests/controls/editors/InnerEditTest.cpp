// The inner edit of the text editor: its window, what it forwards to the editor (in the editor's
// coordinates), the dialog codes, the input-method hold-back of selection changes and the prev-state test.
#include <gtest/gtest.h>

#include "platform/win/builtin/CommCtrl.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;

namespace {

class InnerEditTest : public TextEditFormTest {
 protected:
  static TuiCustomInnerTextEdit* InnerOf(TuiCustomTextEdit* AEdit) {
    return static_cast<TuiCustomInnerTextEdit*>(AEdit->InnerControl());
  }
};

TEST_F(InnerEditTest, WindowHasNoFrameAndNarrowMargins) {
  auto* edit = NewEdit(10, 10);
  HWND wnd = InnerOf(edit)->Handle();
  EXPECT_EQ(GetWindowLongPtr(wnd, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME), 0);
  EXPECT_NE(GetWindowLongPtr(wnd, GWL_STYLE) & ES_AUTOHSCROLL, 0);
  EXPECT_EQ(GetWindowLongPtr(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(SendMessage(wnd, EM_GETMARGINS, 0, 0), MAKELONG(0, 1));
  InnerOf(edit)->SetBounds(1, 1, 80, 16);
  EXPECT_EQ(SendMessage(wnd, EM_GETMARGINS, 0, 0), MAKELONG(0, 1)) << "again after a resize";
  EXPECT_EQ(SendMessage(wnd, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(InnerEditTest, MouseReachesTheEditorInItsCoordinates) {
  auto* edit = NewEdit(10, 10);
  std::vector<TPoint> downs;
  edit->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { downs.push_back(TPoint{X, Y}); });
  TuiCustomInnerTextEdit* inner = InnerOf(edit);
  const TPoint p = inner->ClientToScreen(TPoint{5, 3});
  Display.Click(POINT{p.x, p.y});
  Pump();
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], (TPoint{inner->Left() + 5, inner->Top() + 3}));
  EXPECT_TRUE(inner->Focused());
}

TEST_F(InnerEditTest, TheEditorConsumesKeysFirst) {
  auto* edit = NewEdit(10, 10);
  std::vector<Word> afterKeys;
  edit->SetOnAfterKeyDown([&](TObject*, Word& Key, TShiftState) { afterKeys.push_back(Key); });
  edit->SetOnKeyPress([](TObject*, char& Key) {
    if (Key == 'q') Key = 0;
  });
  Focus(edit);
  Type("a");
  SendMessage(InnerOf(edit)->Handle(), WM_CHAR, 'q', 0);
  EXPECT_TRUE(InnerOf(edit)->IsKeyConsumed());
  SendMessage(InnerOf(edit)->Handle(), WM_CHAR, 'b', 0);
  EXPECT_FALSE(InnerOf(edit)->IsKeyConsumed());
  EXPECT_EQ(edit->Text(), "ab");
  afterKeys.clear();
  Key(VK_UP);
  EXPECT_EQ(afterKeys, std::vector<Word>{VK_UP}) << "a single-line editor keeps Up from the native control";
  afterKeys.clear();
  Key(VK_F2);
  EXPECT_EQ(afterKeys, std::vector<Word>{VK_F2}) << "a key that changed nothing is offered after the native control";
  afterKeys.clear();
  Key(VK_LEFT);
  EXPECT_TRUE(afterKeys.empty()) << "the caret moved";
}

TEST_F(InnerEditTest, DialogCodesAskForTabAndForAllKeysInPlace) {
  auto* edit = NewEdit(10, 10);
  HWND wnd = InnerOf(edit)->Handle();
  LRESULT code = SendMessage(wnd, WM_GETDLGCODE, 0, 0);
  EXPECT_NE(code & DLGC_WANTTAB, 0);
  EXPECT_EQ(code & DLGC_WANTALLKEYS, 0);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  code = SendMessage(wnd, WM_GETDLGCODE, 0, 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(code & DLGC_WANTTAB, 0) << "Ctrl+Tab is left to the dialog";
}

// Selection changes made while the two units of an input-method character arrive are held back and
// applied once, after the second unit, when the editor has a lookup match.
TEST_F(InnerEditTest, SelectionChangesWaitForTheSecondUnitOfACharacter) {
  auto* edit = NewEdit(10, 10);
  Focus(edit);
  Type("abc");
  TuiCustomInnerTextEdit* inner = InnerOf(edit);
  IuiInnerTextEdit* helper = edit->InnerTextEdit();
  HWND wnd = inner->Handle();
  SendMessage(wnd, WM_IME_CHAR, 0xD83D, 1);
  EXPECT_EQ(inner->PendingImeChars(), 1) << "the high unit went through as the first of two";
  helper->SetSelStart(0);
  helper->SetSelLength(2);
  EXPECT_EQ(helper->GetSelStart(), 0) << "the held-back values read back";
  EXPECT_EQ(helper->GetSelLength(), 2);
  EXPECT_EQ(inner->SelStart(), 3) << "the window's selection waits";
  SendMessage(wnd, WM_IME_CHAR, 0xDE00, 1);
  EXPECT_EQ(inner->PendingImeChars(), 0);
  EXPECT_EQ(edit->Text(), "abc\xF0\x9F\x98\x80") << "the pair is one character";
  EXPECT_EQ(inner->SelStart(), 4) << "no lookup match: the held-back selection is dropped";
}

TEST_F(InnerEditTest, ChangedStateComparesSelectionAndTextIgnoringCase) {
  auto* edit = NewEdit(10, 10);
  IuiInnerTextEdit* inner = edit->InnerTextEdit();
  inner->SetEditValue(Variant(String("Alpha")));
  inner->SetSelStart(2);
  TuiCustomInnerTextEditPrevState state;
  SaveInnerTextEditState(inner, true, state);
  EXPECT_FALSE(IsInnerTextEditChanged(inner, state));
  inner->SetEditValue(Variant(String("ALPHA")));
  inner->SetSelStart(2);
  EXPECT_FALSE(IsInnerTextEditChanged(inner, state)) << "case alone is no change";
  inner->SetEditValue(Variant(String("Alpine")));
  inner->SetSelStart(2);
  EXPECT_TRUE(IsInnerTextEditChanged(inner, state));
  SaveInnerTextEditState(inner, false, state);
  inner->SetEditValue(Variant(String("Other")));
  inner->SetSelStart(2);
  EXPECT_FALSE(IsInnerTextEditChanged(inner, state)) << "the text was not saved";
  inner->SetSelLength(1);
  EXPECT_TRUE(IsInnerTextEditChanged(inner, state));
}

}  // namespace
