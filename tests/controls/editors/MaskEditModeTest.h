// A model of the masked editor for the mask modes: the edit control's text and selection rules (its own
// model and key handling), the text editor's handling of keys the mode passes on, and the masked editor's
// key routing, paste and cut. Scripts of keys run against it and show text and selection as a string.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "controls/editors/uiMaskEditModes.h"
#include "platform/rtl/Utf.h"
#include "platform/win/Windows.h"
#include "platform/win/builtin/EditModel.h"

namespace editors_test {

class FakeMaskEdit : public IuiMaskEditHost, public IuiMaskEditModeSettings {
 public:
  // Settings
  TEditCharCase charCase = ecNormal;
  bool caseInsensitive = true;
  bool ignoreMaskBlank = false;
  bool beepOnError = true;
  // Editor state
  k58::builtin::EditModel M;
  TObjectPtr<TuiMaskEditCustomMode> mode;
  String editValue;
  String clipboard;
  bool shift = false;
  int beeps = 0;
  int afterKeyDown = 0;
  std::function<bool(String&, Integer)> charAllowed;

  FakeMaskEdit() { M.Limit = k58::builtin::EditMaximumLimit; }
  FakeMaskEdit(TuiEditMaskKind AKind, const String& AMask) : FakeMaskEdit() { Use(AKind, AMask); }

  // A focused editor with this mask and the empty value, as the editor shows it.
  void Use(TuiEditMaskKind AKind, const String& AMask) {
    switch (AKind) {
      case emkStandard: mode.reset(NewObject<TuiMaskEditStandardMode>(this, nullptr)); break;
      case emkRegExpr: mode.reset(NewObject<TuiMaskEditRegExprMode>(this, nullptr)); break;
      case emkRegExprEx: mode.reset(NewObject<TuiMaskEditRegExprExMode>(this, nullptr)); break;
    }
    mode->LoadMask(AMask);
    mode->EmptyValue(editValue);
    Assign(editValue);
  }

  // The edit value shown as the display value (the editor formats it and tells the mode).
  void Assign(const String& AValue) {
    String text;
    mode->FormatText(AValue, text);
    M.SetText(k58::rtl::Utf8ToUtf32(text));
    mode->TextAssigned(text);
  }

  // Entering the editor with AutoSelect.
  void Enter() {
    mode->SelectForEntry();
    M.SetSel(0, -1);
  }

  void Click(Integer APos) {
    M.MoveTo(APos, false);
    mode->CaretMoved();
  }

  void Key(Word AKey, TShiftState AShift = {}) {
    if (MaskEditKeyDown(*this, *mode, AKey, AShift)) TextEditorKey(AKey, AShift);
  }

  void Char(String ACh) {
    if (MaskEditKeyPress(*this, *mode, ACh)) TextEditorChar(ACh);
  }

  void Type(const String& AText) {
    for (char32_t ch : k58::rtl::Utf8ToUtf32(AText)) Char(k58::rtl::Utf32ToUtf8(std::u32string(1, ch)));
  }

  void PasteFromClipboard() {
    if (clipboard.empty()) return;
    mode->SetPasteLength(static_cast<Integer>(k58::rtl::Utf8ToUtf32(clipboard).size()));
    mode->PreparePaste();
    SetSelText(clipboard);
    mode->FinishPaste();
  }

  void SetSelText(const String& AText) {
    const std::u32string text = k58::rtl::Utf8ToUtf32(AText);
    mode->SetPasteLength(static_cast<Integer>(text.size()));
    mode->PreparePaste();
    const Integer start = M.SelStart();
    M.ReplaceSelection(text, true);
    const Integer inserted = M.Caret() - start;
    M.SetSel(start, start);
    mode->TextAssigned(Text());
    SetSelStart(start + inserted);
    mode->FinishPaste();
  }

  void CutToClipboard() {
    if (!M.HasSelection()) return;
    clipboard = k58::rtl::Utf32ToUtf8(M.SelectedText());
    if (mode->KeyDelete()) SendInternalKey(VK_DELETE, TShiftState{});
  }

  // Text and selection: "[...]" around a selection, "|" at a plain caret.
  String Show() const {
    std::u32string text = M.Text();
    if (M.HasSelection()) {
      text.insert(static_cast<size_t>(M.SelEnd()), 1, U']');
      text.insert(static_cast<size_t>(M.SelStart()), 1, U'[');
    } else {
      text.insert(static_cast<size_t>(M.Caret()), 1, U'|');
    }
    return k58::rtl::Utf32ToUtf8(text);
  }

  // IuiMaskEditModeSettings
  TEditCharCase CharCase() const override { return charCase; }
  bool CaseInsensitive() const override { return caseInsensitive; }
  bool IgnoreMaskBlank() const override { return ignoreMaskBlank; }
  bool BeepOnError() const override { return beepOnError; }

  // IuiMaskEditHost
  IuiMaskEditModeSettings* MaskSettings() override { return this; }
  bool IsUsable() const override { return true; }
  bool HandleAllocated() const override { return true; }
  bool IsMasked() const override { return !IsBlankEditMask(mode->MaskText()); }
  String Text() const override { return k58::rtl::Utf32ToUtf8(M.Text()); }
  Integer SelStart() const override { return M.SelStart(); }
  Integer SelLength() const override { return M.SelEnd() - M.SelStart(); }
  Integer GetCaretCharIndex() const override { return M.Caret(); }
  void SetSelStart(Integer Value) override {
    M.SetSel(Value, Value);
    mode->CaretMoved();
  }
  void SetSelLength(Integer Value) override {
    M.SetSel(M.SelStart(), M.SelStart() + Value);
    mode->CaretMoved();
  }
  void SetEditSel(Integer AStart, Integer AEnd) override { M.SetSel(AStart, AEnd); }
  void SetDisplayText(const String& AText) override { M.SetText(k58::rtl::Utf8ToUtf32(AText)); }
  void SendInternalKey(Word AKey, TShiftState AShift) override { NativeKey(AKey, AShift); }
  void SendInternalChar(char32_t ACh) override {
    if (ACh == U'\b')
      M.DeleteBack();
    else
      M.TypeChar(ACh);
  }
  void Beep() override { ++beeps; }
  bool ShiftFlag() const override { return shift; }
  void SetShiftFlag(bool Value) override { shift = Value; }
  bool IsCharAllowed(String& ACh, Integer APosition) override { return !charAllowed || charAllowed(ACh, APosition); }
  void SetEditValue(const String& AValue) override { editValue = AValue; }
  bool IsDisplayValueMaster() const override { return false; }
  String PrepareDisplayValue() override {
    String text;
    mode->FormatText(editValue, text);
    return text;
  }
  bool CanProcessKey(Word&, TShiftState) override { return true; }
  bool CanProcessChar(String&) override { return true; }
  void DoAfterKeyDown(Word&, TShiftState) override { ++afterKeyDown; }
  bool HasPopupWindow() const override { return false; }

 private:
  // The edit control's handling of a key, with these modifiers.
  void NativeKey(Word AKey, TShiftState AShift) {
    const bool extend = AShift.Contains(ssShift), ctrl = AShift.Contains(ssCtrl);
    const int caret = M.Caret();
    switch (AKey) {
      case VK_LEFT: M.MoveTo(ctrl ? M.PrevWordStart(caret) : M.PrevPos(caret), extend); break;
      case VK_RIGHT: M.MoveTo(ctrl ? M.NextWordStart(caret) : M.NextPos(caret), extend); break;
      case VK_HOME: M.MoveTo(0, extend); break;
      case VK_END: M.MoveTo(M.Length(), extend); break;
      case VK_DELETE:
        if (extend)
          CutToClipboard();
        else
          M.DeleteForward();
        break;
      default: break;
    }
  }

  // The text editor's handling of a key the mask editor passed on.
  void TextEditorKey(Word AKey, TShiftState AShift) {
    if ((AKey == VK_LEFT || AKey == VK_RIGHT) && !AShift.Contains(ssShift) && M.HasSelection()) {
      const int at = AKey == VK_LEFT ? M.SelStart() : M.SelEnd();
      M.SetSel(at, at);
      return;
    }
    if (AKey == VK_UP || AKey == VK_DOWN) return;
    NativeKey(AKey, AShift);
  }

  void TextEditorChar(const String& ACh) {
    if (ACh == "\x03") {
      clipboard = k58::rtl::Utf32ToUtf8(M.SelectedText());
    } else if (ACh == "\x16") {
      PasteFromClipboard();
    } else if (ACh == "\x18") {
      CutToClipboard();
    } else if (ACh == "\b") {
      M.DeleteBack();
    } else if (ACh != "\r") {
      for (char32_t ch : k58::rtl::Utf8ToUtf32(ACh)) M.TypeChar(ch);
    }
  }
};

// Keys of a script: a character types itself; {Left}, {S-Left}, {C-Left}, {Right}, {S-Right}, {Home},
// {S-Home}, {End}, {S-End}, {Del}, {S-Del}, {BS}, {Up}, {Down}, {Paste}, {Cut} stand for the keys.
inline void RunKeys(FakeMaskEdit& AEdit, const String& AKeys, const std::function<void()>& AAfterEach = {}) {
  const std::u32string keys = k58::rtl::Utf8ToUtf32(AKeys);
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != U'{') {
      AEdit.Char(k58::rtl::Utf32ToUtf8(std::u32string(1, keys[i])));
    } else {
      const size_t end = keys.find(U'}', i);
      String name = k58::rtl::Utf32ToUtf8(keys.substr(i + 1, end - i - 1));
      i = end;
      TShiftState shift;
      if (name.rfind("S-", 0) == 0) {
        shift = TShiftState{ssShift};
        name = name.substr(2);
      } else if (name.rfind("C-", 0) == 0) {
        shift = TShiftState{ssCtrl};
        name = name.substr(2);
      }
      if (name == "Left") AEdit.Key(VK_LEFT, shift);
      else if (name == "Right") AEdit.Key(VK_RIGHT, shift);
      else if (name == "Home") AEdit.Key(VK_HOME, shift);
      else if (name == "End") AEdit.Key(VK_END, shift);
      else if (name == "Del") AEdit.Key(VK_DELETE, shift);
      else if (name == "Up") AEdit.Key(VK_UP, shift);
      else if (name == "Down") AEdit.Key(VK_DOWN, shift);
      else if (name == "BS") AEdit.Char("\b");
      else if (name == "Paste") AEdit.Char("\x16");
      else if (name == "Cut") AEdit.Char("\x18");
      else ADD_FAILURE() << "unknown key " << name;
    }
    if (AAfterEach) AAfterEach();
  }
}

// The invariants of a regular-expression mode after every key: the engine stands at the end of the head, and
// head plus tail is the editor's text.
inline void ExpectRegExprModeInSync(TuiMaskEditCustomMode& AMode, const String& AText) {
  auto* mode = dynamic_cast<TuiMaskEditRegExprMode*>(&AMode);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->Head() + mode->Tail(), AText);
  ASSERT_NE(mode->Engine().Automat(), nullptr);
  EXPECT_EQ(mode->Engine().Automat()->PositionCount() - 1,
            static_cast<Integer>(k58::rtl::Utf8ToUtf32(mode->Head()).size()))
      << "head " << mode->Head();
}

// ---- Key scripts, run against the model here and again in a shown masked editor ----

inline constexpr const char* kPhoneMask = "(000) 000-0000";
inline constexpr const char* kMoneyPattern = "\\d+ ('.' \\d\\d)?";
inline constexpr const char* kPhonePattern = "'(' \\d{3} ')' \\d{3}";

struct StandardScript {
  const char* Mask;
  const char* Keys;    // typed after entering the empty editor with AutoSelect
  const char* Shown;   // text and selection afterwards
  int AfterKeyDown;    // keys offered on to the editor's container
};

inline const StandardScript kStandardScripts[] = {
    {kPhoneMask, "", "[(___) ___-____]", 0},
    {kPhoneMask, "5", "(5[_]_) ___-____", 0},
    // The caret skips the closing parenthesis and the space.
    {kPhoneMask, "555", "(555) [_]__-____", 0},
    {kPhoneMask, "1234567890", "(123) 456-7890|", 0},
    {kPhoneMask, "1234567890" "1", "(123) 456-7890|", 0},
    // A letter in a digit position changes nothing.
    {kPhoneMask, "5a", "(5[_]_) ___-____", 0},
    // Backspace blanks the digit before the caret and stays on it; Delete blanks the one under it.
    {kPhoneMask, "12345{BS}", "(123) 4[_]_-____", 0},
    {kPhoneMask, "12{Left}{Del}", "(1[_]_) ___-____", 0},
    // Shift+Delete on the block cuts it; with a plain caret it is Backspace.
    {kPhoneMask, "12{S-Del}", "(12[_]) ___-____", 0},
    {kPhoneMask, "{End}{S-Del}", "(___) ___-___[_]", 0},
    {kPhoneMask, "123{Home}", "([1]23) ___-____", 0},
    {kPhoneMask, "{End}", "(___) ___-____|", 0},
    {kPhoneMask, "123{End}{Left}", "(123) ___-___[_]", 0},
    {kPhoneMask, "123456{C-Left}", "([1]23) 456-____", 0},
    {kPhoneMask, "123{C-Right}", "(123) ___-____|", 0},
    // Left and Right over literals, and at the first and the last place.
    {kPhoneMask, "123{Left}", "(12[3]) ___-____", 0},
    {kPhoneMask, "1234{Left}{Left}", "(12[3]) 4__-____", 0},
    {kPhoneMask, "{Home}{Left}", "([_]__) ___-____", 1},
    {kPhoneMask, "{End}{Right}", "(___) ___-____|", 1},
    // A selection collapses to its first (Left) or last (Right) class position.
    {kPhoneMask, "{Left}", "([_]__) ___-____", 0},
    {kPhoneMask, "{Home}{S-End}{Right}", "(___) ___-____|", 0},
    {kPhoneMask, "12{S-Left}{S-Left}{Right}", "(12[_]) ___-____", 0},
    // Up and Down do nothing.
    {kPhoneMask, "12{Up}{Down}", "(12[_]) ___-____", 2},
    // Shift grows the block by a character on either side; back again it is the block.
    {kPhoneMask, "12{S-Left}", "(1[2_]) ___-____", 0},
    {kPhoneMask, "12{S-Left}{S-Left}", "([12_]) ___-____", 0},
    {kPhoneMask, "12{S-Left}{Del}", "(1[_]_) ___-____", 0},
    {kPhoneMask, "12{S-Right}", "(12[_)] ___-____", 0},
    {kPhoneMask, "12{S-Left}{S-Right}{S-Right}", "(12[_]) ___-____", 0},
    {kPhoneMask, "{Home}{S-Left}", "[(_]__) ___-____", 0},
    // A multi-character selection is blanked before the character goes in.
    {kPhoneMask, "123456{Home}{S-Right}{S-Right}{S-Right}9", "(9[_]_) 456-____", 0},
    // Case conversion of the mask.
    {">LL<ll", "abCD", "ABcd|", 0},
    {"00:00", "1234", "12:34|", 0},
};

struct RegExprScript {
  TuiEditMaskKind Kind;
  const char* Mask;
  const char* Keys;   // typed into the empty editor, entered with AutoSelect
  const char* Shown;  // text and selection afterwards
  int Beeps;
};

inline const RegExprScript kRegExprScripts[] = {
    {emkRegExpr, kMoneyPattern, "12.50", "12.50|", 0},
    {emkRegExpr, kMoneyPattern, "12.5x", "12.5|", 1},
    {emkRegExpr, kMoneyPattern, ".", "|", 1},
    {emkRegExpr, kMoneyPattern, "12.50{BS}{BS}", "12.|", 0},
    // A tail that still matches after the new character stays; one that does not goes.
    {emkRegExpr, kMoneyPattern, "12.50{Home}3", "3|12.50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{Right}{Right}.", "12.|", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}x", "|12.50", 1},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{Del}", "|2.50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{Right}{Right}{Del}", "12|50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{Right}{Right}{Right}{BS}0", "120|50", 0},
    {emkRegExpr, "'ab' \\d", "ab5{Home}{Right}{BS}", "|", 0},
    {emkRegExpr, "'ab' \\d", "ab5{Home}{Del}", "|", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{Right}{BS}", "|2.50", 0},
    // Selections: typing over one, deleting one, moving out of one.
    {emkRegExpr, kMoneyPattern, "12.50{Home}{S-Right}{S-Right}7", "7|.50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{S-Right}{S-Right}{S-Right}{Del}", "|50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{S-Left}{S-Left}{Left}3", "12.3|", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{S-End}{Right}1", "12.50|", 1},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{S-End}x", "[12.50]", 1},
    // Ranges compare case-sensitively, single literals not.
    {emkRegExpr, "[a-c]+", "abC", "ab|", 1},
    {emkRegExpr, "'id' \\d", "ID5", "id5|", 0},
    // Ctrl+Left and Ctrl+Right go to the ends; Up and Down do nothing.
    {emkRegExpr, kMoneyPattern, "12.50{C-Left}", "|12.50", 0},
    {emkRegExpr, kMoneyPattern, "12.50{Home}{C-Right}9", "12.50|", 1},
    {emkRegExpr, kMoneyPattern, "12{Up}{Down}3", "123|", 0},
    {emkRegExprEx, kPhonePattern, "1234{C-Left}{C-Right}", "(123)4|", 0},
    {emkRegExprEx, kPhonePattern, "12{Up}{Down}3", "(123)|", 0},
    // The auto-completing kind types the forced characters and takes them back with their cause.
    {emkRegExprEx, kPhonePattern, "", "[(]", 0},
    {emkRegExprEx, kPhonePattern, "123", "(123)|", 0},
    {emkRegExprEx, kPhonePattern, "123{BS}", "(12|", 0},
    {emkRegExprEx, kPhonePattern, "123456", "(123)456|", 0},
    {emkRegExprEx, kPhonePattern, "1{BS}{BS}", "(|", 1},
    {emkRegExprEx, kPhonePattern, "123{Left}", "(12|3)", 0},
    {emkRegExprEx, kPhonePattern, "123{Left}{Right}", "(123)|", 0},
    {emkRegExprEx, kPhonePattern, "1234{Left}{Left}", "(12|3)4", 0},
    {emkRegExprEx, kPhonePattern, "1234{Left}{Left}{Left}{Left}{Left}", "|(123)4", 0},
    {emkRegExprEx, kPhonePattern, "1234{Home}{Del}", "|(123)4", 1},
    {emkRegExprEx, kPhonePattern, "123{Home}9", "(9|", 0},
    // Deleting a step completes what still fits behind it.
    {emkRegExprEx, kPhonePattern, "1234{Left}{Left}{Del}", "(12|4)", 0},
    {emkRegExprEx, kPhonePattern, "1234{Home}{S-End}5", "(5|", 0},
    {emkRegExprEx, kPhonePattern, "1234{Home}{S-End}{BS}", "(|", 0},
    {emkRegExprEx, kPhonePattern, "12x", "(12|", 1},
    {emkRegExprEx, "\\d{2} '-' \\d", "12", "12-|", 0},
    {emkRegExprEx, "\\d{2} '-' \\d", "129{Left}{Left}", "1|2-9", 0},
};

}  // namespace editors_test
