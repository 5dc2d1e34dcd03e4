// The memo editor: which keys the memo keeps (Enter, Tab, Ctrl+A; stand-alone and in place), the maximum
// length on paste, line-break normalisation of replaced text, the display text cut, change events, the
// Properties copy and the scroll bars kept in step with the memo's.
#include <gtest/gtest.h>

#include "controls/editors/uiMemo.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

// A memo a test can put in place, as a grid would.
class TTestInplaceMemo : public TuiMemo {
  K58_CLASS(TTestInplaceMemo, TuiMemo)
 public:
  explicit TTestInplaceMemo(TComponent* AOwner) : TuiMemo(AOwner) {}
  using TuiMemo::KeyDown;
  using TuiMemo::SetInplace;
};
K58_IMPLEMENT_CLASS(TTestInplaceMemo) {}

namespace {

class MemoTest : public EditorKindsTest {
 protected:
  template <class T = TuiMemo>
  T* NewMemo(Integer ATop = 10) {
    auto* memo = NewObject<T>(Form);
    memo->SetBounds(10, ATop, 200, 120);
    memo->SetParent(Form);
    memo->HandleNeeded();
    Pump();
    return memo;
  }
  void Focus(TWinControl* AControl) {
    AControl->SetFocus();
    Pump();
  }
  static void PutOnClipboard(const String& AText) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, AText.size() + 1);
    std::copy_n(AText.c_str(), AText.size() + 1, static_cast<char*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
  }
  // The text being edited (the edit value follows it when the editing is posted).
  static String Value(TuiCustomMemo* AMemo) { return AMemo->Text(); }
};

TEST_F(MemoTest, EnterAndTabReachTheTextAsWantReturnsAndWantTabsSay) {
  auto* memo = NewMemo();
  Focus(memo);
  struct Case {
    bool wantReturns;
    bool wantTabs;
    std::initializer_list<WORD> modifiers;
    WORD key;
    const char* text;
  };
  const Case cases[] = {
      {true, false, {}, VK_RETURN, "a\r\nb"},
      {false, false, {}, VK_RETURN, "ab"},
      {false, false, {VK_CONTROL}, VK_RETURN, "a\r\nb"},
      {true, true, {}, VK_TAB, "a\tb"},
      {true, false, {}, VK_TAB, "ab"},
  };
  for (const Case& c : cases) {
    memo->Properties()->SetWantReturns(c.wantReturns);
    memo->Properties()->SetWantTabs(c.wantTabs);
    memo->SetEditValue(Variant(String()));
    Focus(memo);
    Display.Type("a");
    Display.Chord(c.modifiers, c.key);
    Pump();
    Display.Type("b");
    Pump();
    const String value = Value(memo);
    if (c.key == VK_TAB && !c.wantTabs) {
      // The Tab moves the focus on (here round to the memo again); it never becomes a character.
      EXPECT_EQ(value.find('\t'), String::npos) << value;
    } else {
      EXPECT_EQ(value, c.text) << c.wantReturns << c.wantTabs << " key " << c.key;
    }
  }
}

TEST_F(MemoTest, InPlaceTheMemoKeepsTheLineBreakKeyPastTheHost) {
  auto* memo = NewMemo<TTestInplaceMemo>();
  memo->SetInplace(true);
  int hostKeys = 0;
  memo->SetOnKeyDown([&](TObject*, Word&, TShiftState) { ++hostKeys; });
  struct Case {
    bool wantReturns;
    bool ctrl;
    bool keptByMemo;
  };
  const Case cases[] = {{true, false, true}, {true, true, false}, {false, true, true}, {false, false, false}};
  for (const Case& c : cases) {
    memo->Properties()->SetWantReturns(c.wantReturns);
    hostKeys = 0;
    Word key = VK_RETURN;
    TShiftState shift;
    if (c.ctrl) shift.Include(ssCtrl);
    memo->KeyDown(key, shift);
    // The host's key handling (and with it OnKeyDown) is passed by only when the memo keeps the key.
    EXPECT_EQ(hostKeys == 0, c.keptByMemo) << c.wantReturns << c.ctrl;
  }
  memo->SetInplace(false);
}

TEST_F(MemoTest, CtrlAOnlySelectsAndConsumesWithText) {
  auto* memo = NewMemo();
  std::vector<Word> after;
  memo->SetOnAfterKeyDown([&](TObject*, Word& Key, TShiftState) { after.push_back(Key); });
  Focus(memo);
  for (const char* text : {"", "one\r\ntwo"}) {
    memo->SetEditValue(Variant(String(text)));
    after.clear();
    Word key = 'A';
    memo->DoEditKeyDown(key, TShiftState{ssCtrl});
    const bool hasText = *text != '\0';
    EXPECT_EQ(key, hasText ? 0 : 'A') << text;
    EXPECT_EQ(after.size(), hasText ? 1u : 0u) << text;
    if (hasText) {
      EXPECT_EQ(memo->SelLength(), 8);
    }
  }
}

TEST_F(MemoTest, UpAndDownNeverReachTheAfterKeyDownEvent) {
  auto* memo = NewMemo();
  memo->SetEditValue(Variant(String("one\r\ntwo")));
  Focus(memo);
  std::vector<Word> after;
  memo->SetOnAfterKeyDown([&](TObject*, Word& Key, TShiftState) { after.push_back(Key); });
  memo->SetSelection(0, 0);
  after.clear();
  // At the very start: Left changes nothing and is passed on; Up and Down are never.
  for (WORD key : {VK_LEFT, VK_UP, VK_DOWN, VK_UP}) Display.Key(key);
  Pump();
  EXPECT_EQ(after, (std::vector<Word>{VK_LEFT}));
}

TEST_F(MemoTest, PasteIsCutToMaxLengthInCharacters) {
  auto* memo = NewMemo();
  memo->Properties()->SetMaxLength(10);
  Focus(memo);
  struct Case {
    const char* text;
    Integer caret;
    const char* clip;
    const char* result;
  };
  const Case cases[] = {
      {"abcdef", 3, "123456789", "abc1234def"},
      {"äöüßäö", 3, "ééééééééé", "äöüééééßäö"},
      {"abcdefghij", 10, "x", "abcdefghij"},  // no room left: nothing is inserted
      {"ab", 2, "12", "ab12"},
  };
  for (const Case& c : cases) {
    memo->SetEditValue(Variant(String(c.text)));
    memo->SetSelection(c.caret, 0);
    PutOnClipboard(c.clip);
    SendMessage(memo->InnerControl()->Handle(), WM_PASTE, 0, 0);
    Pump();
    EXPECT_EQ(Value(memo), c.result) << c.text << " + " << c.clip;
  }
}

TEST_F(MemoTest, ReplacedTextTurnsLineFeedCarriageReturnIntoTwoLineBreaks) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a\n\rb", "a\r\n\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"a\nb\rc", "a\nb\rc"},  // single characters stay as they are
      {"\n\r\n\r", "\r\n\r\n\r\n\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeMemoLineBreaks(c.in), c.out) << c.in;

  auto* memo = NewMemo();
  SendMessage(memo->InnerControl()->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("a\n\rb"));
  Pump();
  EXPECT_EQ(Value(memo), "a\r\n\r\nb") << "the edit value follows the replacement";
}

TEST_F(MemoTest, DisplayTextIsTheFirstLineCutTo250Characters) {
  TObjectPtr<TuiCustomEditProperties> made(TuiCustomEditProperties::CreateOfClass(TuiMemoProperties::StaticClass(), nullptr));
  auto* properties = static_cast<TuiMemoProperties*>(made.get());
  const String longLine(300, 'x');
  const String longWide = [] {
    String s;
    for (int i = 0; i < 260; ++i) s += "😀";
    return s;
  }();
  struct Case {
    String value;
    bool full;
    String shown;
  };
  const Case cases[] = {
      {"one\r\ntwo", false, "one"},
      {"one\ntwo", false, "one"},
      {"one\r\ntwo", true, "one\r\ntwo"},
      {longLine, false, String(250, 'x')},
      {longLine + "\r\nnext", true, longLine + "\r\nnext"},
      {longWide, false, Utf8Copy(longWide, 1, 250)},
  };
  for (const Case& c : cases) {
    const WideString shown = properties->GetDisplayText(Variant(c.value), c.full);
    EXPECT_EQ(k58::rtl::Utf16ToUtf8(shown), c.shown) << c.value.substr(0, 20);
  }
}

TEST_F(MemoTest, SettingTheValueFiresNoChangeTypingDoes) {
  auto* memo = NewMemo();
  int changes = 0;
  memo->Properties()->SetOnChange([&](TObject*) { ++changes; });
  memo->SetEditValue(Variant(String("first\r\nsecond\r\nthird")));
  Pump();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Value(memo), "first\r\nsecond\r\nthird");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  Focus(memo);
  memo->SetSelection(0, 0);
  Display.Type("ab");
  Pump();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Value(memo), "abfirst\r\nsecond\r\nthird");
  EXPECT_TRUE(memo->Modified());
}

TEST_F(MemoTest, AssignCopiesEverythingButTheVisibleLineCount) {
  TObjectPtr<TuiCustomEditProperties> sourceObject(
      TuiCustomEditProperties::CreateOfClass(TuiMemoProperties::StaticClass(), nullptr));
  TObjectPtr<TuiCustomEditProperties> targetObject(
      TuiCustomEditProperties::CreateOfClass(TuiMemoProperties::StaticClass(), nullptr));
  auto* source = static_cast<TuiMemoProperties*>(sourceObject.get());
  auto* target = static_cast<TuiMemoProperties*>(targetObject.get());
  source->SetVisibleLineCount(5);
  source->SetScrollBars(ssBoth);
  source->SetWantReturns(false);
  source->SetWantTabs(true);
  source->SetWordWrap(false);
  target->Assign(source);
  EXPECT_EQ(target->VisibleLineCount(), 0);
  EXPECT_EQ(target->ScrollBars(), ssBoth);
  EXPECT_FALSE(target->WantReturns());
  EXPECT_TRUE(target->WantTabs());
  EXPECT_FALSE(target->WordWrap());
  target->SetVisibleLineCount(-3);
  EXPECT_EQ(target->VisibleLineCount(), 0);
}

TEST_F(MemoTest, ScrollBarsRecreateTheMemoAndFollowIt) {
  auto* memo = NewMemo();
  memo->SetEditValue(Variant(String("line")));
  for (int i = 0; i < 40; ++i) memo->Lines()->Add("line " + std::to_string(i));
  const HWND before = memo->InnerControl()->Handle();
  memo->Properties()->SetScrollBars(ssVertical);
  Pump();
  const HWND after = memo->InnerControl()->Handle();
  EXPECT_NE(before, after) << "the memo window is made anew";
  EXPECT_NE(GetWindowLongPtr(after, GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(Value(memo).substr(0, 4), "line") << "the text survives";
  ASSERT_NE(memo->VScrollBar(), nullptr);
  EXPECT_TRUE(memo->VScrollBar()->Visible());
  Integer position = 0;
  memo->ScrollContent(sbVertical, scTop, position);
  EXPECT_EQ(position, 0);
  memo->ScrollContent(sbVertical, scLineDown, position);
  memo->ScrollContent(sbVertical, scLineDown, position);
  Pump();
  EXPECT_EQ(position, 2);
  EXPECT_EQ(GetScrollPos(after, SB_VERT), 2);
  EXPECT_EQ(memo->VScrollBar()->Position(), 2);
}

}  // namespace
