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

}  // namespace editors_test
