// The text editor typed into on a shown form: the maximum length, incremental search in the text modes,
// digit grouping while typing, the window-text messages, the clipboard in password echo, read-only
// editors and the keys the inner edit keeps from the native control.
#include <gtest/gtest.h>

#include "platform/rtl/FormatSettings.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;

namespace {

class TextEditTest : public TextEditFormTest {
 protected:
  static void SetItems(TuiCustomTextEdit* AEdit, std::initializer_list<const char*> AItems) {
    TStrings* items = AEdit->Properties()->LookupItems();
    items->Clear();
    for (const char* item : AItems) items->Add(item);
  }
  static String ClipboardText() {
    String text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  static void SetClipboardText(const String& AText) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, AText.size() + 1);
    std::copy_n(AText.c_str(), AText.size() + 1, static_cast<char*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
  }
};

TEST_F(TextEditTest, MaxLengthCountsCharactersForTypingAndPaste) {
  auto* edit = NewEdit(10, 10);
  edit->Properties()->SetMaxLength(5);
  Focus(edit);
  Type("abc");
  struct Case {
    const char* Text;
    Integer Caret;
    const char* Inserted;
    bool Allowed;
    const char* NewText;
    Integer NewCaret;
  };
  const Case cases[] = {
      {"abc", 3, "12345", true, "abc12", 5},
      {"abcdefg", 7, "x", false, "", 0},  // set before the limit: every paste is refused
      {"äöü", 1, "ßßß", true, "äßßßö", 4},
  };
  for (const Case& c : cases) {
    edit->InnerTextEdit()->SetEditValue(Variant(String(c.Text)));
    edit->InnerTextEdit()->SetSelStart(c.Caret);
    edit->SetUserAction(true);
    String text;
    Integer caret = 0;
    const bool allowed = edit->CanChangeEditText(c.Inserted, text, caret);
    edit->SetUserAction(false);
    EXPECT_EQ(allowed, c.Allowed) << c.Text << " + " << c.Inserted;
    if (!c.Allowed) continue;
    EXPECT_EQ(text, c.NewText);
    EXPECT_EQ(caret, c.NewCaret) << c.Text;
  }

  edit->InnerTextEdit()->SetEditValue(Variant(String()));
  Type("äbcdefg");
  EXPECT_EQ(edit->Text(), "äbcde") << "typing stops at five characters";
  Key(VK_BACK);
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "bcd");
  SetClipboardText("123456");
  Key(VK_END);
  Chord({VK_CONTROL}, 'V');
  EXPECT_EQ(edit->Text(), "bcd12") << "a paste is cut at the limit";
}

TEST_F(TextEditTest, FixedListSearchCompletesAndKeepsTheMatch) {
  auto* edit = NewEdit(10, 10);
  edit->ModeProperties()->Mode = temFixedList;
  SetItems(edit, {"Apple", "Apricot", "Banana"});
  edit->Properties()->Changed();
  Focus(edit);
  const struct {
    const char* Keys;
    const char* Expected;
  } steps[] = {
      {"a", "Apple [1,4]"},
      {"p", "Apple [2,3]"},
      {"r", "Apricot [3,4]"},
      {"\b", "Apple [2,3]"},
      {"x", "Apple [2,3]"},  // starts no item: consumed, nothing changes
  };
  for (const auto& step : steps) {
    if (step.Keys[0] == '\b')
      Key(VK_BACK);
    else
      Type(step.Keys);
    EXPECT_EQ(Sel(edit), step.Expected) << "after " << (step.Keys[0] == '\b' ? "Backspace" : step.Keys);
    EXPECT_TRUE(edit->LookupMatch());
    // The view info draws the text with the completed tail selected.
    auto* info = static_cast<TuiCustomTextEditViewInfo*>(edit->EditViewInfo());
    EXPECT_EQ(info->Text, edit->Text());
    EXPECT_EQ(info->SelStart, edit->SelStart());
    EXPECT_EQ(info->SelLength, edit->SelLength());
  }
  EXPECT_EQ(edit->ItemIndex(), 0);
}

TEST_F(TextEditTest, FreeTextCompletesAtTheEndAndEnterSelectsAll) {
  auto* edit = NewEdit(10, 10);
  SetItems(edit, {"Alpha", "Beta"});
  edit->Properties()->Changed();
  Focus(edit);
  Type("b");
  EXPECT_EQ(Sel(edit), "Beta [1,3]");
  Key(VK_RETURN);
  EXPECT_EQ(Sel(edit), "Beta [0,4]");
  Key(VK_END);
  Key(VK_HOME);
  Type("x");
  EXPECT_EQ(Sel(edit), "xBeta [1,0]") << "inside the text no completion";
}

// A character outside the basic plane arrives from the input method as two units; the selection the
// completion sets while they arrive is applied once, after the second.
TEST_F(TextEditTest, SurrogatePairFromTheInputMethodCompletesOnce) {
  auto* edit = NewEdit(10, 10);
  SetItems(edit, {"\xF0\x9F\x98\x80 smile", "Apple"});
  edit->Properties()->Changed();
  Focus(edit);
  Display.TypeIme(u"\U0001F600");
  Pump();
  EXPECT_EQ(Sel(edit), "\xF0\x9F\x98\x80 smile [1,6]");
  EXPECT_TRUE(edit->LookupMatch());
  Type("x");
  EXPECT_EQ(Sel(edit), "\xF0\x9F\x98\x80x [2,0]") << "the next character replaces the completed tail";
}

TEST_F(TextEditTest, DigitsAreRegroupedWhileTyping) {
  FormatSettings.ThousandSeparator = ',';
  auto* edit = NewEdit(10, 10);
  edit->ModeProperties()->Grouping = true;
  Focus(edit);
  Type("1234");
  EXPECT_EQ(Sel(edit), "1,234 [5,0]");
  Key(VK_LEFT);
  Key(VK_LEFT);
  Type("5");
  EXPECT_EQ(Sel(edit), "12,534 [4,0]") << "the caret stays after the typed digit";
}

TEST_F(TextEditTest, WindowTextMessages) {
  auto* edit = NewEdit(10, 10);
  edit->SetText("Beta");
  char buffer[8] = "zzzzzzz";
  struct Case {
    WPARAM Size;
    LRESULT Result;
    const char* Text;
  };
  for (const Case& c : {Case{0, 0, "zzzzzzz"}, Case{1, 0, ""}, Case{3, 2, "Be"}, Case{8, 4, "Beta"}}) {
    std::fill(std::begin(buffer), std::end(buffer) - 1, 'z');
    EXPECT_EQ(SendMessage(edit->Handle(), WM_GETTEXT, c.Size, reinterpret_cast<LPARAM>(buffer)), c.Result) << c.Size;
    EXPECT_STREQ(buffer, c.Text) << c.Size;
  }
  EXPECT_EQ(SendMessage(edit->Handle(), WM_GETTEXTLENGTH, 0, 0), 4);

  SetItems(edit, {"Alpha", "Beta"});
  edit->ModeProperties()->Mode = temEditFixedList;
  edit->Properties()->Changed();
  EXPECT_EQ(SendMessage(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Gamma")), 0) << "not an item";
  EXPECT_EQ(edit->Text(), "Beta");
  EXPECT_EQ(SendMessage(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("alpha")), 1);
  EXPECT_EQ(VarToStr(edit->EditValue()), "alpha");
}

TEST_F(TextEditTest, CaretIndexFollowsTheActiveEndOfTheSelection) {
  auto* edit = NewEdit(10, 10);
  Focus(edit);
  Type("abcd");
  Chord({VK_SHIFT}, VK_LEFT);
  Chord({VK_SHIFT}, VK_LEFT);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->GetCaretCharIndex(), 2);
  Key(VK_HOME);
  Chord({VK_SHIFT}, VK_END);
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->GetCaretCharIndex(), 4) << "the caret is at the end the selection was extended to";
}

TEST_F(TextEditTest, AFreeTextThatIsNoItemIsAnnounced) {
  auto* edit = NewEdit(10, 10);
  auto* other = NewEdit(10, 40);
  SetItems(edit, {"Alpha", "Beta"});
  std::vector<std::string> announced;
  edit->Properties()->SetOnNewLookupDisplayText([&](TObject*, const String& AText) { announced.push_back(AText); });
  Focus(edit);
  Type("Gamma");
  Focus(other);
  EXPECT_EQ(announced, std::vector<std::string>{"Gamma"}) << "announced when the typed text is validated";
  Focus(edit);
  edit->SelectAll();
  Type("b");
  Focus(other);
  EXPECT_EQ(edit->Text(), "Beta");
  EXPECT_EQ(announced.size(), 1u) << "an item is no news";
}

TEST_F(TextEditTest, PasswordTextNeverReachesTheClipboard) {
  auto* edit = NewEdit(10, 10);
  edit->Properties()->SetEchoMode(eemPassword);
  Focus(edit);
  Type("secret");
  SetClipboardText("before");
  edit->SelectAll();
  edit->CopyToClipboard();
  SendMessage(edit->InnerControl()->Handle(), WM_COPY, 0, 0);
  Chord({VK_CONTROL}, 'X');
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_EQ(edit->Text(), "secret") << "a refused cut removes nothing either";

  edit->Properties()->SetEchoMode(eemNormal);
  edit->SelectAll();
  Chord({VK_CONTROL}, 'C');
  EXPECT_EQ(ClipboardText(), "secret");
}

TEST_F(TextEditTest, ReadOnlyRefusesTypingPasteAndClear) {
  auto* edit = NewEdit(10, 10);
  edit->SetText("keep");
  edit->Properties()->SetReadOnly(true);
  Focus(edit);
  SetClipboardText("new");
  Type("x");
  Chord({VK_CONTROL}, 'V');
  edit->SelectAll();
  Key(VK_DELETE);
  SendMessage(edit->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "keep");
  Chord({VK_CONTROL}, 'X');
  EXPECT_EQ(ClipboardText(), "new") << "the user's cut keys are refused";
  SendMessage(edit->InnerControl()->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "keep");
  EXPECT_EQ(ClipboardText(), "keep") << "a cut message in a read-only editor copies";
}

TEST_F(TextEditTest, TabMovesOnAndNeverReachesTheNativeControl) {
  auto* first = NewEdit(10, 10);
  auto* second = NewEdit(10, 40);
  Focus(first);
  Type("a");
  // What reaches the native control's own key handling shows in the inner edit's key events.
  std::vector<int> reached;
  first->InnerControl()->SetOnKeyPress([&](TObject*, char& Key) { reached.push_back(Key); });
  first->InnerControl()->SetOnKeyUp([&](TObject*, Word& Key, TShiftState) { reached.push_back(Key); });
  SendMessage(first->InnerControl()->Handle(), WM_CHAR, '\t', 0);
  SendMessage(first->InnerControl()->Handle(), WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001));
  EXPECT_TRUE(reached.empty());
  Key(VK_TAB);
  EXPECT_EQ(first->Text(), "a");
  EXPECT_TRUE(second->InnerControl()->Focused());
  const LRESULT code = SendMessage(second->InnerControl()->Handle(), WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE((code & DLGC_WANTTAB) && (code & DLGC_WANTCHARS));
  EXPECT_FALSE(code & DLGC_WANTALLKEYS) << "standalone, no popup";
}

TEST_F(TextEditTest, RightAlignedEditsLeftAlignedAndPaintsItsOwnTextUnfocused) {
  auto* edit = NewEdit(10, 10);
  auto* other = NewEdit(10, 40);
  edit->Properties()->Alignment()->SetHorz(taRightJustify);
  edit->SetText("42");
  Pump();
  EXPECT_FALSE(edit->ShowsInnerEdit());
  Focus(edit);
  EXPECT_TRUE(edit->ShowsInnerEdit());
  const LONG_PTR style = GetWindowLongPtr(edit->InnerControl()->Handle(), GWL_STYLE);
  EXPECT_EQ(style & (ES_RIGHT | ES_CENTER), 0) << "left-aligned while editing";
  edit->Properties()->SetUseLeftAlignmentOnEditing(false);
  EXPECT_NE(GetWindowLongPtr(edit->InnerControl()->Handle(), GWL_STYLE) & ES_RIGHT, 0);
  Focus(other);
  EXPECT_FALSE(edit->ShowsInnerEdit());
}

TEST_F(TextEditTest, EnterReachesTheNativeControlOnlyWithBeepOnEnter) {
  auto* edit = NewEdit(10, 10);
  Focus(edit);
  auto* inner = static_cast<TuiCustomInnerTextEdit*>(edit->InnerControl());
  for (bool beep : {true, false}) {
    edit->SetBeepOnEnter(beep);
    SendMessage(inner->Handle(), WM_CHAR, '\r', 0);
    EXPECT_EQ(inner->IsKeyConsumed(), !beep) << beep;
  }
}

}  // namespace
