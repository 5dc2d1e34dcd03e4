// Mask modes: the objects through which a masked editor applies its edit mask. A mode knows the mask of
// one kind, formats values for display, turns display texts back into values, validates, and handles every
// editing key of the editor. Modes talk to their editor only through IuiMaskEditHost, so that they run the
// same against the masked editor and against a model of it.
//
// Contract with the host:
//  - Positions and lengths count characters (code points) of the UTF-8 display text.
//  - SetSelStart/SetSelLength are the editor's setters: they move the inner edit's selection and then call
//    the mode's CaretMoved. SetEditSel and SetDisplayText touch the inner edit only; the mode is not told.
//  - SetDisplayText collapses the selection at 0, as setting an edit control's text does.
//  - SendInternalKey/SendInternalChar act on the inner edit as typed keys would, with the modifiers given
//    and not those held on the keyboard, and without passing through the editor's own key handling.
//  - A paste runs: SetPasteLength, PreparePaste, the text replaces the selection, TextAssigned with the
//    new text while the selection start is still where the paste began, the caret behind the pasted text
//    through SetSelStart, FinishPaste.
//  - A cut of a selection copies it and calls KeyDelete; when that answers true the inner edit gets the
//    Delete key the mode left to it. A cut without a selection does nothing.
//  - Key operations answer true when the editor's default handling of the key should follow (it then acts
//    on the inner edit), false when the mode has done all the key does. Keys never raise.
//
// The standard mode keeps a block caret: the character under the caret is selected. Shift+Left on a block
// at P ends with the selection from P - 1 to P + 1 and the caret at P - 1: the block grows by the character
// to its left, as Shift+Right grows it to P + 2. The mode puts a plain caret behind the block and moves it
// back over the block with an internal Shift+Left, so that the text editor's own Shift+Left then extends
// the selection by one more character.
#pragma once

#include <string>
#include <vector>

#include "controls/editors/uiRegExpr.h"
#include "controls/editors/uiStandardMask.h"
#include "platform/forms/Controls.h"
#include "platform/forms/StdCtrls.h"

enum TuiEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };
K58_ENUM_TYPE(TuiEditMaskKind, emkStandard, emkRegExpr, emkRegExprEx)

namespace uimaskeditconsts {
inline constexpr const char* SMaskEditRegExprError = "Regular expression errors:";
}  // namespace uimaskeditconsts

// A mask that does not compile. The message lists the compilation errors, one a line.
class EuiMaskEditError : public Exception {
 public:
  explicit EuiMaskEditError(const String& AMessage) : Exception(AMessage) {}
  const char* ClassName() const noexcept override { return "EuiMaskEditError"; }
};

// A mask counts as none when it is empty or white space only (space, #0, #9, #10, #12, #13).
bool IsBlankEditMask(const String& AMask);

// The mask settings a mode reads: its editor's Properties, or the Properties that own a mode kept without an
// editor for formatting display values.
class IuiMaskEditModeSettings {
 public:
  virtual TEditCharCase CharCase() const = 0;
  virtual bool CaseInsensitive() const = 0;
  virtual bool IgnoreMaskBlank() const = 0;
  virtual bool BeepOnError() const = 0;

 protected:
  ~IuiMaskEditModeSettings() = default;
};

// What a mode needs of its masked editor.
class IuiMaskEditHost {
 public:
  virtual IuiMaskEditModeSettings* MaskSettings() = 0;
  // The inner edit exists; without it a mode only formats.
  virtual bool IsUsable() const = 0;
  virtual bool HandleAllocated() const = 0;
  virtual bool IsMasked() const = 0;

  // The inner edit's text, selection and caret (the active end of the selection).
  virtual String Text() const = 0;
  virtual Integer SelStart() const = 0;
  virtual Integer SelLength() const = 0;
  virtual Integer GetCaretCharIndex() const = 0;
  virtual void SetSelStart(Integer Value) = 0;
  virtual void SetSelLength(Integer Value) = 0;
  virtual void SetEditSel(Integer AStart, Integer AEnd) = 0;
  virtual void SetDisplayText(const String& AText) = 0;
  virtual void SendInternalKey(Word AKey, TShiftState AShift) = 0;
  virtual void SendInternalChar(char32_t ACh) = 0;
  virtual void Beep() = 0;

  // Shift was down at the last key (or the left button at the last mouse move).
  virtual bool ShiftFlag() const = 0;
  virtual void SetShiftFlag(bool Value) = 0;
  // Whether the standard mode may write ACh (one character, may be changed or cleared) at the one-based
  // APosition. False drops the key without a beep, which is also the answer of a host that has taken the
  // key itself (written the text and moved the caret); True with ACh cleared is a refusal that beeps when
  // the Properties ask for it.
  virtual bool IsCharAllowed(String& ACh, Integer APosition) = 0;
  virtual void SetEditValue(const String& AValue) = 0;
  // The display value is the master (the user edited it); else the edit value is.
  virtual bool IsDisplayValueMaster() const = 0;
  // The display value of the current edit value, focused as the editor is.
  virtual String PrepareDisplayValue() = 0;

  // The editor's key services used by the key routing.
  virtual bool CanProcessKey(Word& AKey, TShiftState AShift) = 0;
  virtual bool CanProcessChar(String& ACh) = 0;
  virtual void DoAfterKeyDown(Word& AKey, TShiftState AShift) = 0;
  virtual bool HasPopupWindow() const = 0;

 protected:
  ~IuiMaskEditHost() = default;
};

// The base of the mask modes.
class TuiMaskEditCustomMode : public TObject {
  K58_CLASS(TuiMaskEditCustomMode, TObject)

  // AEditProperties is used only when AEdit is nil.
  TuiMaskEditCustomMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties);

  virtual TuiEditMaskKind Kind() const { return emkStandard; }
  virtual void FinishPaste() = 0;
  // Stores and compiles a mask; may raise EuiMaskEditError.
  virtual void LoadMask(const String& AMask) = 0;
  virtual void EmptyValue(String& AValue) = 0;
  virtual void FormatText(const String& AText, String& AResult) = 0;
  virtual void SelectForEntry() = 0;
  virtual bool CaretAtFirst() = 0;
  virtual bool CaretAtEnd() = 0;
  virtual bool IsTextValid(const String& AText) = 0;
  virtual void CaretMoved() = 0;
  virtual void PreparePaste() = 0;
  virtual bool KeyBackspace() = 0;
  virtual bool KeyDelete() = 0;
  virtual bool KeyEnd() = 0;
  virtual bool KeyHome() = 0;
  virtual bool KeyLeft() = 0;
  virtual bool KeyRight() = 0;
  // ACh is one character; it may come back changed.
  virtual bool KeyChar(String& ACh) = 0;
  virtual void TextAssigned(const String& AText) = 0;
  virtual void SyncWithEditValue();
  virtual void ApplyPendingValue() = 0;
  virtual void TextToValue(const String& AText, String& AValue) = 0;

  const String& MaskText() const { return maskText_; }
  // The CharCase the editor last synchronised the mode with.
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value) { charCase_ = Value; }
  Integer PasteLength() const { return pasteLength_; }
  void SetPasteLength(Integer Value) { pasteLength_ = Value; }
  IuiMaskEditHost* Edit() const { return edit_; }
  bool ValueUpdatePending() const { return valueUpdatePending_; }

 protected:
  IuiMaskEditModeSettings* Properties() const;
  bool IsEditUsable() const { return edit_ != nullptr && edit_->IsUsable(); }
  // Signals a refused key when the Properties ask for it.
  void BeepOnError();

  TEditCharCase charCase_ = ecNormal;
  String maskText_;
  IuiMaskEditModeSettings* properties_;
  Integer pasteLength_ = 0;
  IuiMaskEditHost* edit_;
  bool valueUpdatePending_ = false;
};

// The mode of the standard mask: overwrite with a block caret, literal positions skipped.
class TuiMaskEditStandardMode : public TuiMaskEditCustomMode {
  K58_CLASS(TuiMaskEditStandardMode, TuiMaskEditCustomMode)

  TuiMaskEditStandardMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties);

  void FinishPaste() override;
  void LoadMask(const String& AMask) override;
  void EmptyValue(String& AValue) override;
  void FormatText(const String& AText, String& AResult) override;
  void SelectForEntry() override {}
  bool CaretAtFirst() override;
  bool CaretAtEnd() override;
  bool IsTextValid(const String& AText) override;
  void CaretMoved() override;
  void PreparePaste() override;
  bool KeyBackspace() override;
  bool KeyDelete() override;
  bool KeyEnd() override;
  bool KeyHome() override;
  bool KeyLeft() override;
  bool KeyRight() override;
  bool KeyChar(String& ACh) override;
  void TextAssigned(const String& AText) override;
  void SyncWithEditValue() override;
  void ApplyPendingValue() override;
  void TextToValue(const String& AText, String& AValue) override;

  // The mask's blank character.
  virtual String BlankChar() const;
  // The character a cleared class position at APosition (zero-based) gets; empty keeps the character.
  virtual String GetBlank(Integer APosition) const;

  const TuiStandardMask& StandardMask() const { return mask_; }

 private:
  bool IsLiteral(Integer APosition) const;
  // Makes the one-character selection under the caret when there is a character to select.
  void ShowBlock();
  // The caret one position left or right, over literal positions; stays when that leaves the text.
  void MoveLeft();
  void MoveRight();

  TuiStandardMask mask_;
  Integer pasteStart_ = 0;
};

// The mode of regular-expression masks: only text that can still become a match can be typed. The text
// before the caret (the head) has been run through the engine; the text after it (the tail) has not.
class TuiMaskEditRegExprMode : public TuiMaskEditCustomMode {
  K58_CLASS(TuiMaskEditRegExprMode, TuiMaskEditCustomMode)

  TuiMaskEditRegExprMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties);

  TuiEditMaskKind Kind() const override { return emkRegExpr; }
  void FinishPaste() override {}
  void LoadMask(const String& AMask) override;
  void EmptyValue(String& AValue) override { AValue.clear(); }
  void FormatText(const String& AText, String& AResult) override;
  void SelectForEntry() override;
  bool CaretAtFirst() override;
  bool CaretAtEnd() override;
  bool IsTextValid(const String& AText) override;
  void CaretMoved() override { resync_ = true; }
  void PreparePaste() override {}
  bool KeyBackspace() override;
  bool KeyDelete() override;
  bool KeyEnd() override;
  bool KeyHome() override;
  bool KeyLeft() override;
  bool KeyRight() override;
  bool KeyChar(String& ACh) override;
  void TextAssigned(const String& AText) override;
  void SyncWithEditValue() override;
  void ApplyPendingValue() override {}
  void TextToValue(const String& AText, String& AValue) override { AValue = AText; }

  virtual void CutSelection();
  virtual void PutSelectionBack();

  // The engine takes over the Properties' CaseInsensitive.
  void UpdateCaseInsensitive();
  String Head() const;
  String Tail() const;
  const TuiRegExpr& Engine() const { return *engine_; }

 protected:
  // A new engine compiled from the mode's pattern with the Properties' case flag; nil when the mode's engine
  // is not compiled.
  TObjectPtr<TuiRegExpr> NewCompiledEngine() const;
  // Rebuilds head and tail from the text and the caret when the caret was moved from outside.
  void Resync();
  // Moves up to ACount characters from the tail to the head, each taken by the engine; stops at the first
  // it refuses. Answers how many moved.
  Integer TakeFromTail(Integer ACount);
  // Moves ACount characters from the head back to the tail, the engine stepping back over each.
  void ReturnToTail(Integer ACount);
  // Whether the engine takes the whole tail after the head; the engine is left where it was.
  bool TailMatches();
  // The text loses everything from the end of the head on; the caret goes to its end.
  void DropTail();
  // Keeps the tail when the engine still takes it after the head (True: the edit control goes on with the
  // key); otherwise drops it and answers False (the key is done).
  bool KeepTailOrDrop();
  bool EngineReady() const { return engine_->IsCompiled(); }
  Integer TextLength() const;
  std::u32string EditText() const;

  TObjectPtr<TuiRegExpr> engine_;
  std::u32string head_;
  std::u32string tail_;
  std::u32string cut_;
  bool cutFromTail_ = false;
  bool resync_ = false;
};

// The regular-expression mode that also types by itself the characters the pattern forces, and takes them
// back together with the character that caused them. A step is a typed character with the forced run after
// it; the caret stays on boundaries between steps.
class TuiMaskEditRegExprExMode : public TuiMaskEditRegExprMode {
  K58_CLASS(TuiMaskEditRegExprExMode, TuiMaskEditRegExprMode)

  TuiMaskEditRegExprExMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties);

  TuiEditMaskKind Kind() const override { return emkRegExprEx; }
  void LoadMask(const String& AMask) override;
  void EmptyValue(String& AValue) override;
  void FormatText(const String& AText, String& AResult) override;
  bool IsTextValid(const String& AText) override;
  void PreparePaste() override { StartKey(); }
  bool KeyBackspace() override;
  bool KeyDelete() override;
  bool KeyEnd() override;
  bool KeyHome() override;
  bool KeyLeft() override;
  bool KeyRight() override;
  bool KeyChar(String& ACh) override;
  void TextAssigned(const String& AText) override;
  void ApplyPendingValue() override;

 private:
  // Empties the buffers and brings head and tail onto step boundaries at the selection.
  void StartKey();
  void ResyncSteps();
  // Takes ACh and the forced run after it; AForced gets the run. The engine's auto-completion stays off
  // between operations, so its position is always the head's end.
  bool TakeStep(char32_t& ACh, std::u32string& AForced);
  // Steps back over the last step; answers how many forced characters went with it.
  Integer UntakeStep();
  // The characters the pattern forces at the engine's position (the engine does not move).
  std::u32string ForcedHere();
  // At position 0 in front of the forced prefix: the prefix becomes the head (taken from the text when it
  // starts with it, else typed). False when the pattern forces no prefix.
  bool EnterPrefix();
  // After an edit at the caret: a tail that still matches gets the forced characters that now follow it;
  // one that no longer matches is dropped.
  void CompleteTail();
  // A key with a selection: the selection is cut (and the prefix kept when it starts at 0).
  void CutForKey();
  // The places between the steps of the text, from 0 up to where the text stops matching.
  std::vector<Integer> StepBoundaries() const;

  std::u32string forced_;
  Integer takenBack_ = 0;
};

// The masked editor's handling of a key going down while it has a mask: answers true when the key goes on
// to the text editor's handling, false when it is dropped.
bool MaskEditKeyDown(IuiMaskEditHost& AEdit, TuiMaskEditCustomMode& AMode, Word AKey, TShiftState AShift);
// The same for a typed character (one character, may come back changed): true when it goes on to the
// inner edit.
bool MaskEditKeyPress(IuiMaskEditHost& AEdit, TuiMaskEditCustomMode& AMode, String& ACh);
