// The masked editor: the text editor with an edit mask. It owns one mask mode and routes every editing key,
// paste and selection change through it; without a mask it is exactly the text editor.
//
// Threads: GUI thread only.
// Ownership: the editor owns its mode; the mode is replaced only when the mask kind changes.
// Re-entrancy: keys the editor sends to its own inner edit bypass its key handling (internalKey_), and the
// keyboard state is set to the modifiers of the send for its duration, so a held Shift does not leak in.
#pragma once

#include "controls/editors/uiMaskEditProperties.h"
#include "controls/editors/uiTextEdit.h"

class TuiCustomMaskEdit : public TuiCustomTextEdit, public IuiMaskEditHost {
  K58_CLASS(TuiCustomMaskEdit, TuiCustomTextEdit)

  explicit TuiCustomMaskEdit(TComponent* AOwner);
  ~TuiCustomMaskEdit() override;

  TuiCustomMaskEditProperties* ActiveProperties() {
    return static_cast<TuiCustomMaskEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomMaskEditProperties* Properties() const {
    return static_cast<TuiCustomMaskEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomMaskEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TuiMaskEditCustomMode* Mode() const { return mode_.get(); }

  // Descendants veto or change a character the standard mode is about to write at the one-based APosition.
  bool IsCharAllowed(String& /*ACh*/, Integer /*APosition*/) override { return true; }
  // The current text becomes the display value again.
  virtual void ReapplyText();

  // ---- Overrides of the text editor ----
  TClass GetPropertiesClass() const override;
  void Initialize() override;
  void ContentChanged(TObject* Sender) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void SetInternalDisplayValue(const Variant& AValue) override;
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void GetEditingText(String& AText) override;
  bool SetEditingValue(const String& AText) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const String& AText) override;

  // ---- IuiMaskEditHost ----
  IuiMaskEditModeSettings* MaskSettings() override { return ActiveProperties(); }
  bool IsUsable() const override;
  bool HandleAllocated() const override { return TuiCustomTextEdit::HandleAllocated(); }
  bool IsMasked() const override;
  String Text() const override;
  Integer SelStart() const override;
  Integer SelLength() const override;
  Integer GetCaretCharIndex() const override;
  void SetEditSel(Integer AStart, Integer AEnd) override;
  void SetDisplayText(const String& AText) override;
  void SendInternalKey(Word AKey, TShiftState AShift) override;
  void SendInternalChar(char32_t ACh) override;
  void Beep() override;
  bool ShiftFlag() const override { return shiftFlag_; }
  void SetShiftFlag(bool Value) override { shiftFlag_ = Value; }
  using TuiCustomTextEdit::SetEditValue;
  void SetEditValue(const String& AValue) override;
  bool IsDisplayValueMaster() const override;
  String PrepareDisplayValue() override;
  bool CanProcessKey(Word& AKey, TShiftState AShift) override { return TuiCustomTextEdit::CanProcessKey(AKey, AShift); }
  bool CanProcessChar(String& ACh) override;
  void DoAfterKeyDown(Word& AKey, TShiftState AShift) override { TuiCustomTextEdit::DoAfterKeyDown(AKey, AShift); }
  bool HasPopupWindow() const override { return false; }

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void Loaded() override;
  void DoEnter() override;
  bool ProcessInnerKeyMessage(TMessage& Message) override;

 private:
  // Loads AMask into the mode and renews the Properties' empty value.
  void LoadModeMask(const String& AMask);
  void RenewEmptyValue();
  // Runs ASend with the keyboard state showing exactly the modifiers of AShift.
  template <class F>
  void SendWithShift(TShiftState AShift, F ASend);

  TObjectPtr<TuiMaskEditCustomMode> mode_;
  bool internalKey_ = false;
  bool shiftFlag_ = false;
  String valueText_;
  TuiEditEchoMode echoMode_ = eemNormal;
  // The bytes of a character typed so far, until its last byte arrives.
  String pendingCharBytes_;
};

class TuiMaskEdit : public TuiCustomMaskEdit {
  K58_CLASS(TuiMaskEdit, TuiCustomMaskEdit)

  explicit TuiMaskEdit(TComponent* AOwner) : TuiCustomMaskEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiMaskEditProperties* ActiveProperties() {
    return static_cast<TuiMaskEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiMaskEditProperties* Properties() const { return static_cast<TuiMaskEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiMaskEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};
