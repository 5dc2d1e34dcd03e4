// The masked editor on a shown form of the pinned test display: the key scripts of the mask modes typed
// into it, entering it again, Properties changes that switch kind and mask, blanks and literals shown
// unfocused, characters beyond one byte, the text editor's typing without a mask, and the form resource.
#include <functional>

#include "controls/editors/uiMaskEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/controls/editors/MaskEditModeTest.h"
#include "tests/controls/editors/TextEditTesting.h"

// Masked-editor Properties with a chosen text mode and digit grouping, as the text editor's test class.
class TTestModeMaskProperties : public TuiMaskEditProperties {
  K58_CLASS(TTestModeMaskProperties, TuiMaskEditProperties)
 public:
  TTestModeMaskProperties() = default;
  Byte GetTextMode() override { return Mode; }
  bool HasRangeCheck() override { return Grouping; }
  bool IsThousandSeparatorUsed(bool AInternalUpdate) override { return Grouping && !AInternalUpdate; }
  Byte Mode = temFree;
  bool Grouping = false;
};

class TTestModeMaskEdit : public TuiMaskEdit {
  K58_CLASS(TTestModeMaskEdit, TuiMaskEdit)
 public:
  explicit TTestModeMaskEdit(TComponent* AOwner) : TuiMaskEdit(AOwner) {}
  TClass GetPropertiesClass() const override { return TTestModeMaskProperties::StaticClass(); }
  TTestModeMaskProperties* ModeProperties() const { return static_cast<TTestModeMaskProperties*>(Properties()); }
};

K58_IMPLEMENT_CLASS(TTestModeMaskProperties) {}
K58_IMPLEMENT_CLASS(TTestModeMaskEdit) {}

namespace editors_test {
namespace {

class MaskEditTest : public TextEditFormTest {
 protected:
  // An error shown while the queue runs (a failed validation on leaving an editor) fails the test instead of
  // waiting in a message box.
  MaskEditTest() {
    Application->SetOnException([](TObject*, Exception* E) { ADD_FAILURE() << "shown: " << E->Message(); });
  }
  ~MaskEditTest() override { Application->SetOnException(TExceptionEvent{}); }

  // A shown editor with this mask, its beeps on.
  TuiMaskEdit* NewMaskEdit(TuiEditMaskKind AKind, const String& AMask, Integer ATop = 10) {
    auto* edit = NewEdit<TuiMaskEdit>(10, ATop, 200);
    edit->ActiveProperties()->SetBeepOnError(true);
    edit->ActiveProperties()->SetMaskKind(AKind);
    edit->ActiveProperties()->SetEditMask(AMask);
    Pump();
    return edit;
  }

  int Beeps() { return Display.Headless().BeepCount(); }

  static void SetClipboardText(const String& AText) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, AText.size() + 1);
    std::copy_n(AText.c_str(), AText.size() + 1, static_cast<char*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
  }

  // Text and selection of the inner edit: "[...]" around a selection, "|" at a plain caret.
  static String Show(TuiCustomTextEdit* AEdit) {
    IuiInnerTextEdit* inner = AEdit->InnerTextEdit();
    std::u32string text = k58::rtl::Utf8ToUtf32(AEdit->InnerControl()->Text());
    const auto start = static_cast<size_t>(inner->GetSelStart());
    const auto length = static_cast<size_t>(inner->GetSelLength());
    if (length > 0) {
      text.insert(start + length, 1, U']');
      text.insert(start, 1, U'[');
    } else {
      text.insert(start, 1, U'|');
    }
    return k58::rtl::Utf32ToUtf8(text);
  }

  // Types a script in the notation of RunKeys on the focused editor, AAfterEach after every key.
  void TypeKeys(const String& AKeys, const std::function<void()>& AAfterEach = {}) {
    const std::u32string keys = k58::rtl::Utf8ToUtf32(AKeys);
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] != U'{') {
        Type(k58::rtl::Utf32ToUtf8(std::u32string(1, keys[i])));
      } else {
        const size_t end = keys.find(U'}', i);
        String name = k58::rtl::Utf32ToUtf8(keys.substr(i + 1, end - i - 1));
        i = end;
        WORD modifier = 0;
        if (name.rfind("S-", 0) == 0) modifier = VK_SHIFT;
        if (name.rfind("C-", 0) == 0) modifier = VK_CONTROL;
        if (modifier != 0) name = name.substr(2);
        WORD key = 0;
        if (name == "Left") key = VK_LEFT;
        else if (name == "Right") key = VK_RIGHT;
        else if (name == "Home") key = VK_HOME;
        else if (name == "End") key = VK_END;
        else if (name == "Del") key = VK_DELETE;
        else if (name == "Up") key = VK_UP;
        else if (name == "Down") key = VK_DOWN;
        else if (name == "BS") key = VK_BACK;
        else if (name == "Paste") modifier = VK_CONTROL, key = 'V';
        else if (name == "Cut") modifier = VK_CONTROL, key = 'X';
        else if (name == "Enter") key = VK_RETURN;
        else ADD_FAILURE() << "unknown key " << name;
        if (modifier != 0)
          Chord({modifier}, key);
        else
          Key(key);
      }
      if (AAfterEach) AAfterEach();
    }
  }
};

TEST_F(MaskEditTest, PhoneMaskSkipsLiteralsAndRefusesLetters) {
  auto* edit = NewEdit<TuiMaskEdit>(10, 10);
  edit->ActiveProperties()->SetEditMask("(000) 000-0000");
  Focus(edit);
  Type("555x1234567");
  EXPECT_EQ(edit->Text(), "(555) 123-4567");
}

TEST_F(MaskEditTest, StandardScripts) {
  for (const StandardScript& s : kStandardScripts) {
    SCOPED_TRACE(String(s.Mask) + " <- " + s.Keys);
    auto* edit = NewMaskEdit(emkStandard, s.Mask, 80);
    const int beeps = Beeps();
    Focus(edit);
    TypeKeys(s.Keys);
    EXPECT_EQ(Show(edit), s.Shown);
    EXPECT_EQ(Beeps(), beeps);
    FreeObject(edit);
  }
}

TEST_F(MaskEditTest, RegExprScriptsKeepTheModeInStepWithTheText) {
  for (const RegExprScript& s : kRegExprScripts) {
    SCOPED_TRACE(String(s.Mask) + " <- " + s.Keys);
    auto* edit = NewMaskEdit(s.Kind, s.Mask, 80);
    const int beeps = Beeps();
    Focus(edit);
    TypeKeys(s.Keys, [&] { ExpectRegExprModeInSync(*edit->Mode(), edit->Text()); });
    EXPECT_EQ(Show(edit), s.Shown);
    EXPECT_EQ(Beeps() - beeps, s.Beeps);
    FreeObject(edit);
  }
}

TEST_F(MaskEditTest, PasteAndCutGoThroughTheMode) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Keys;
    const char* Clip;  // on the clipboard before {Paste}
    const char* Shown;
    const char* ClipAfter;
  };
  const Case cases[] = {
      // A standard paste overwrites as many places as it has characters.
      {emkStandard, kPhoneMask, "{Home}{Paste}", "12", "(12[_]) ___-____", "12"},
      {emkStandard, kPhoneMask, "12{Home}{S-Right}{Cut}", "", "([_]__) ___-____", "12"},
      {emkRegExpr, kMoneyPattern, "12{Paste}0", ".5", "12.50|", ".5"},
      {emkRegExpr, kMoneyPattern, "12.50{Home}{S-Right}{S-Right}{S-Right}{Cut}", "", "|50", "12."},
      // What is left behind the cut no longer fits the pattern from its start: it goes too.
      {emkRegExpr, kMoneyPattern, "12.50{Home}{S-Right}{S-Right}{Cut}", "", "|", "12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Keys);
    auto* edit = NewMaskEdit(c.Kind, c.Mask, 80);
    SetClipboardText(c.Clip);
    Focus(edit);
    TypeKeys(c.Keys, [&] {
      if (c.Kind != emkStandard) ExpectRegExprModeInSync(*edit->Mode(), edit->Text());
    });
    EXPECT_EQ(Show(edit), c.Shown);
    String clip;
    EXPECT_TRUE(ReadClipboardText(clip));
    EXPECT_EQ(clip, c.ClipAfter);
    FreeObject(edit);
  }
}

// Entering with AutoSelect selects the whole text; the next character replaces it wherever the caret was.
TEST_F(MaskEditTest, EnteringAgainSelectsTheWholeText) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Before;  // typed, then the editor is left
    const char* After;   // typed after entering again
    const char* Shown;
  };
  const Case cases[] = {
      {emkRegExpr, kMoneyPattern, "12.50{Left}{Left}", "7", "7|"},
      {emkRegExprEx, "\\d{2} '-' \\d", "129{Left}{Left}", "5", "5|"},
      {emkStandard, kPhoneMask, "5551234567{Left}", "9", "(9[_]_) ___-____"},
  };
  auto* other = NewEdit(10, 40);
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Before);
    auto* edit = NewMaskEdit(c.Kind, c.Mask, 80);
    Focus(edit);
    TypeKeys(c.Before);
    Focus(other);
    Focus(edit);
    EXPECT_EQ(edit->SelLength(), static_cast<Integer>(k58::rtl::Utf8ToUtf32(edit->Text()).size()));
    TypeKeys(c.After, [&] {
      if (c.Kind != emkStandard) ExpectRegExprModeInSync(*edit->Mode(), edit->Text());
    });
    EXPECT_EQ(Show(edit), c.Shown);
    FreeObject(edit);
  }
}

// Leaving an editor whose text does not satisfy its mask reports the error and keeps the focus there; a blank
// text passes with IgnoreMaskBlank, an empty one in the regular-expression kinds; a bad mask is refused.
TEST_F(MaskEditTest, ValidationOnLeavingAndABadMask) {
  std::vector<String> shown;
  Application->SetOnException([&](TObject*, Exception* E) { shown.push_back(E->Message()); });
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    bool IgnoreMaskBlank;
    const char* Keys;
    bool Error;
  };
  const Case cases[] = {
      {emkStandard, kPhoneMask, false, "555123", true},
      {emkStandard, kPhoneMask, false, "5551234567", false},
      {emkStandard, kPhoneMask, true, "1{BS}", false},
      {emkStandard, kPhoneMask, true, "555", true},
      {emkRegExpr, kMoneyPattern, false, "12.5", true},
      {emkRegExpr, kMoneyPattern, true, "12.5", false},
      {emkRegExpr, kMoneyPattern, false, "1{BS}", false},
      {emkRegExprEx, kPhonePattern, false, "1{BS}", false},
  };
  auto* other = NewEdit(10, 40);
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Keys);
    shown.clear();
    auto* edit = NewMaskEdit(c.Kind, c.Mask, 80);
    edit->ActiveProperties()->SetIgnoreMaskBlank(c.IgnoreMaskBlank);
    Focus(edit);
    TypeKeys(c.Keys);
    Focus(other);
    EXPECT_EQ(shown, c.Error ? std::vector<String>{"The edit value is invalid"} : std::vector<String>{});
    EXPECT_EQ(edit->IsEditFocused(), c.Error);
    FreeObject(edit);
  }

  auto* edit = NewMaskEdit(emkRegExpr, kMoneyPattern, 80);
  EXPECT_THROW(edit->ActiveProperties()->SetEditMask("a)(b"), EuiMaskEditError);
  EXPECT_EQ(edit->ActiveProperties()->EditMask(), kMoneyPattern);
  EXPECT_EQ(edit->Mode()->MaskText(), kMoneyPattern);
  Focus(edit);
  TypeKeys("4a2", [&] { ExpectRegExprModeInSync(*edit->Mode(), edit->Text()); });
  EXPECT_EQ(Show(edit), "42|");
}

// Switching the kind clears a mask of the other syntax and keeps one of the same; a new mask filters the text
// through it; a kind and a mask changed in one update keep the new mask; a blank mask ends the block caret.
TEST_F(MaskEditTest, KindAndMaskSwitches) {
  auto* edit = NewMaskEdit(emkStandard, "000");
  TuiCustomMaskEditProperties* properties = edit->ActiveProperties();
  Focus(edit);
  TypeKeys("12");
  ASSERT_EQ(Show(edit), "12[_]");
  struct Step {
    const char* What;
    std::function<void()> Change;
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Text;
  };
  const Step steps[] = {
      {"to the regular-expression kind", [&] { properties->SetMaskKind(emkRegExpr); }, emkRegExpr, "", "12_"},
      {"a pattern", [&] { properties->SetEditMask("\\d+"); }, emkRegExpr, "\\d+", "12"},
      {"to the auto-completing kind", [&] { properties->SetMaskKind(emkRegExprEx); }, emkRegExprEx, "\\d+", "12"},
      // Only what the pattern takes stays, and the forced run behind it is typed.
      {"a pattern with a forced run", [&] { properties->SetEditMask("\\d '-' \\d"); }, emkRegExprEx,
       "\\d '-' \\d", "1-"},
      {"kind and mask in one update",
       [&] {
         properties->BeginUpdate();
         properties->SetMaskKind(emkStandard);
         properties->SetEditMask("00:00");
         properties->EndUpdate();
       },
       emkStandard, "00:00", "1_:__"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    step.Change();
    Pump();
    EXPECT_EQ(properties->MaskKind(), step.Kind);
    EXPECT_EQ(edit->Mode()->Kind(), step.Kind);
    EXPECT_EQ(properties->EditMask(), step.Mask);
    EXPECT_EQ(edit->Mode()->MaskText(), step.Mask);
    EXPECT_EQ(edit->Text(), step.Text);
    if (edit->IsMasked() && step.Kind != emkStandard) {
      String value;
      edit->GetEditingText(value);
      EXPECT_EQ(value, step.Text);
      ExpectRegExprModeInSync(*edit->Mode(), edit->Text());
    }
  }
  // The new mask works at once: the caret stands on the block, typing overwrites.
  TypeKeys("{Home}34");
  EXPECT_EQ(Show(edit), "34:[_]_");
  // A blank mask: no block caret, free typing.
  properties->SetEditMask("   ");
  EXPECT_FALSE(edit->IsMasked());
  EXPECT_EQ(edit->SelLength(), 0);
  TypeKeys("x");
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_NE(edit->Text().find('x'), String::npos);
}

// An unfocused standard-mask editor shows its value, or blanks and literals when asked; focused it always
// shows them. The regular-expression kinds show the text as it is.
TEST_F(MaskEditTest, AlwaysShowBlanksAndLiterals) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Value;
    bool Always;
    bool Focused;
    const char* Shown;
  };
  const Case cases[] = {
      {emkStandard, "00-00;0;_", "1234", false, false, "1234"},
      {emkStandard, "00-00;0;_", "1234", true, false, "12-34"},
      {emkStandard, "00-00;0;_", "1234", false, true, "12-34"},
      // Without saved literals the blanks of the value are spaces.
      {emkStandard, "00-00;0;_", "12", false, false, "12  "},
      {emkStandard, "00-00;0;_", "12", true, false, "12-__"},
      {emkStandard, "00-00;1;_", "12-34", false, false, "12-34"},
      {emkRegExprEx, "'(' \\d{3} ')'", "(12", false, false, "(12"},
  };
  auto* other = NewEdit(10, 40);
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " = " + c.Value + (c.Always ? ", always" : "") + (c.Focused ? ", focused" : ""));
    auto* edit = NewMaskEdit(c.Kind, c.Mask, 80);
    edit->ActiveProperties()->SetAlwaysShowBlanksAndLiterals(c.Always);
    Focus(c.Focused ? static_cast<TWinControl*>(edit) : other);
    edit->SetEditValue(Variant(String(c.Value)));
    Pump();
    EXPECT_EQ(edit->Text(), c.Shown);
    // Switching the setting off and on again on an unfocused editor shows the same.
    if (!c.Focused) {
      edit->ActiveProperties()->SetAlwaysShowBlanksAndLiterals(!c.Always);
      edit->ActiveProperties()->SetAlwaysShowBlanksAndLiterals(c.Always);
      EXPECT_EQ(edit->Text(), c.Shown);
    }
    FreeObject(edit);
  }
}

// Characters beyond one byte (Cyrillic, CJK, outside the basic plane) go through the mode like any other:
// refused where the mask wants ASCII letters, converted in case, typed as forced characters.
TEST_F(MaskEditTest, CharactersBeyondOneByte) {
  struct Case {
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Keys;
    const char* Shown;
  };
  const Case cases[] = {
      {emkStandard, "LLL", "ж", "[___]"},
      {emkStandard, "LLL", "aжb", "ab[_]"},
      {emkStandard, ">CCC", "жy中", "ЖY中|"},
      {emkStandard, "CC-CC", "中文\xF0\x9F\x98\x80z", "中文-\xF0\x9F\x98\x80z|"},
      {emkStandard, "CCC", "абв{Left}{BS}г", "аг[в]"},
      {emkRegExpr, "\\d+ '€'", "12€", "12€|"},
      {emkRegExpr, "\\d+ '€'", "1€2", "1€|"},
      {emkRegExpr, "'да' \\d", "ДА7", "да7|"},
      {emkRegExprEx, "\\d '°' \\d", "12", "1°2|"},
      {emkRegExprEx, "\\d '°' \\d", "12{BS}{BS}", "|"},
      {emkRegExprEx, "'№' \\d+", "", "[№]"},
      {emkRegExprEx, "'№' \\d+", "45{Left}{Left}{Left}", "|№45"},
      {emkRegExprEx, "'中文' \\d", "7", "中文7|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Mask) + " <- " + c.Keys);
    auto* edit = NewMaskEdit(c.Kind, c.Mask, 80);
    Focus(edit);
    TypeKeys(c.Keys, [&] {
      if (c.Kind != emkStandard) ExpectRegExprModeInSync(*edit->Mode(), edit->Text());
    });
    EXPECT_EQ(Show(edit), c.Shown);
    FreeObject(edit);
  }
}

// Without a mask the masked editor is the text editor: the same keys leave the same text and selection in
// both, step by step, with the text editor's maximum length, incremental search, grouping and input method.
TEST_F(MaskEditTest, WithoutAMaskItTypesAsTheTextEditor) {
  using Setup = std::function<void(TuiCustomTextEditProperties*, Byte&, bool&)>;
  struct Script {
    const char* What;
    Setup Set;
    const char* Keys;
  };
  const auto items = [](TuiCustomTextEditProperties* AProperties, std::initializer_list<const char*> AItems) {
    for (const char* item : AItems) AProperties->LookupItems()->Add(item);
  };
  const Script scripts[] = {
      {"maximum length", [](auto* p, Byte&, bool&) { p->SetMaxLength(5); }, "äbcdefg{BS}{Home}{Del}{End}{Paste}"},
      {"fixed list search",
       [&](auto* p, Byte& mode, bool&) {
         mode = temFixedList;
         items(p, {"Apple", "Apricot", "Banana"});
       },
       "apr{BS}x"},
      {"free text completion", [&](auto* p, Byte&, bool&) { items(p, {"Alpha", "Beta"}); }, "b{Enter}{End}{Home}x"},
      {"completion from the input method",
       [&](auto* p, Byte&, bool&) { items(p, {"\xF0\x9F\x98\x80 smile", "Apple"}); }, "\xF0\x9F\x98\x80x"},
      {"digit grouping", [](auto*, Byte&, bool& grouping) { grouping = true; }, "1234{Left}{Left}5"},
      {"selection and words", [](auto*, Byte&, bool&) {},
       "один два{C-Left}{S-Right}{S-Right}x{S-Home}{Cut}{End}{Paste}{Up}{Down}"},
      {"upper case", [](auto* p, Byte&, bool&) { p->SetCharCase(ecUpperCase); }, "abc жз{Left}{BS}"},
      {"read only", [](auto* p, Byte&, bool&) { p->SetReadOnly(true); }, "ab{BS}{Del}{Paste}"},
  };
  FormatSettings.ThousandSeparator = ',';
  for (const Script& s : scripts) {
    SCOPED_TRACE(s.What);
    auto* text = NewEdit<TTestModeTextEdit>(10, 10);
    auto* masked = NewEdit<TTestModeMaskEdit>(10, 40);
    s.Set(text->ModeProperties(), text->ModeProperties()->Mode, text->ModeProperties()->Grouping);
    s.Set(masked->ModeProperties(), masked->ModeProperties()->Mode, masked->ModeProperties()->Grouping);
    text->Properties()->Changed();
    masked->Properties()->Changed();
    std::vector<String> shown[2];
    TuiCustomTextEdit* edits[2] = {text, masked};
    for (int i = 0; i < 2; ++i) {
      SetClipboardText("123456");
      Focus(edits[i]);
      TypeKeys(s.Keys, [&] { shown[i].push_back(Show(edits[i])); });
      Focus(edits[1 - i]);
      shown[i].push_back(edits[i]->Text());
    }
    EXPECT_EQ(shown[1], shown[0]);
    FreeObject(masked);
    FreeObject(text);
  }
}

// A form text with masked editors of each kind and their mask settings reads back into the same editors
// and writes back unchanged.
TEST_F(MaskEditTest, RoundTripThroughAFormResource) {
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  form->SetName("MaskForm");
  const auto add = [&](const char* AName, Integer ATop) {
    auto* edit = NewObject<TuiMaskEdit>(form.get());
    edit->SetName(AName);
    edit->SetParent(form.get());
    edit->SetBounds(8, ATop, 140, 21);
    return edit;
  };
  TuiMaskEdit* phone = add("Phone", 8);
  phone->Properties()->SetEditMask("!(999) 000-0000;1;*");
  phone->Properties()->SetIgnoreMaskBlank(true);
  phone->Properties()->SetAlwaysShowBlanksAndLiterals(true);
  phone->SetEditValue(Variant(String("(555) 123-4567")));
  TuiMaskEdit* code = add("Code", 36);
  code->Properties()->SetMaskKind(emkRegExprEx);
  code->Properties()->SetEditMask("'(' \\d{3} ')' [A-Z]+");
  code->Properties()->SetCharCase(ecUpperCase);
  code->SetEditValue(Variant(String("(123)AB")));
  TuiMaskEdit* free = add("Free", 64);
  free->Properties()->SetMaskKind(emkRegExpr);
  free->Properties()->SetCaseInsensitive(false);
  free->SetText("any text");

  const String text = WriteComponentToText(form.get());
  for (const char* expected :
       {"object Phone: TuiMaskEdit", "Properties.EditMask = '!(999) 000-0000;1;*'",
        "Properties.IgnoreMaskBlank = True", "Properties.AlwaysShowBlanksAndLiterals = True",
        "Properties.MaskKind = emkRegExprEx", "Properties.CharCase = ecUpperCase",
        "Properties.CaseInsensitive = False"})
    EXPECT_NE(text.find(expected), String::npos) << expected << "\n" << text;
  EXPECT_LT(text.find("Properties.MaskKind = emkRegExprEx"), text.find("Properties.EditMask = '''('''"))
      << "the kind is read before the mask\n"
      << text;

  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  struct Expect {
    const char* Name;
    TuiEditMaskKind Kind;
    const char* Mask;
    const char* Value;
  };
  for (const Expect& e : {Expect{"Phone", emkStandard, "!(999) 000-0000;1;*", "(555) 123-4567"},
                          Expect{"Code", emkRegExprEx, "'(' \\d{3} ')' [A-Z]+", "(123)AB"},
                          Expect{"Free", emkRegExpr, "", "any text"}}) {
    SCOPED_TRACE(e.Name);
    auto* read = dynamic_cast<TuiMaskEdit*>(copy->FindComponent(e.Name));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Properties()->MaskKind(), e.Kind);
    EXPECT_EQ(read->Properties()->EditMask(), e.Mask);
    EXPECT_EQ(read->Mode()->Kind(), e.Kind);
    EXPECT_EQ(read->Mode()->MaskText(), e.Mask);
    EXPECT_EQ(VarToStr(read->EditValue()), e.Value);
  }
  auto* readPhone = static_cast<TuiMaskEdit*>(copy->FindComponent("Phone"));
  EXPECT_TRUE(readPhone->Properties()->IgnoreMaskBlank());
  EXPECT_TRUE(readPhone->Properties()->AlwaysShowBlanksAndLiterals());
  EXPECT_EQ(static_cast<TuiMaskEdit*>(copy->FindComponent("Code"))->Properties()->CharCase(), ecUpperCase);
  EXPECT_FALSE(static_cast<TuiMaskEdit*>(copy->FindComponent("Free"))->Properties()->CaseInsensitive());
  EXPECT_EQ(WriteComponentToText(copy.get()), text) << "written again, the same text";
}

TEST_F(MaskEditTest, TheMaskedEditorIsRegisteredWithItsDescription) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiMaskEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "MaskEdit|Represents a generic masked edit control.");
  EXPECT_EQ(TuiMaskEditProperties().GetEditClass(), TuiMaskEdit::StaticClass());
  EXPECT_EQ(FindClass("TuiMaskEdit"), TuiMaskEdit::StaticClass());
}

}  // namespace
}  // namespace editors_test
