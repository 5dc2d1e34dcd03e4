// The single-line text editor, base of every text-like editor: the value shown in a native inner edit,
// selection and clipboard, incremental search and navigation over lookup items, digit grouping while
// typing, and the window-text messages; TuiTextEdit is the form component.
//
// Threads: GUI thread only.
// Ownership: the editor owns its inner edit (a child component) and its lookup data; it registers with
// the process-wide format controller while it lives.
// Re-entrancy: change events, OnEditing and validation handlers may run inside key handling; the editor
// keeps its flags in scoped guards so a raised error leaves them as they were.
#pragma once

#include "controls/editors/uiInnerEdit.h"
#include "controls/editors/uiLookupData.h"
#include "controls/editors/uiTextEditView.h"

// The clipboard's text, when it holds text.
bool ReadClipboardText(String& AText);

class TuiCustomTextEdit : public TuiCustomEdit, public IuiTextEditLookupDataOwner {
  K58_CLASS(TuiCustomTextEdit, TuiCustomEdit)

  explicit TuiCustomTextEdit(TComponent* AOwner);
  // An editor whose styles are of AStyleClass (a descendant of the edit style).
  TuiCustomTextEdit(TComponent* AOwner, TuiContainerStyleClass AStyleClass);
  ~TuiCustomTextEdit() override;
  void BeforeDestruction() override;

  TuiCustomTextEditProperties* ActiveProperties() {
    return static_cast<TuiCustomTextEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomTextEditProperties* Properties() const {
    return static_cast<TuiCustomTextEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomTextEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  IuiInnerTextEdit* InnerTextEdit() const { return dynamic_cast<IuiInnerTextEdit*>(InnerEdit()); }
  TuiCustomTextEditLookupData* LookupData() const { return lookupData_; }
  // The list control of the lookup data when it is a windowed control, else nil.
  TWinControl* LookupListControl() const;

  // Input-method settings of the control (taken from the properties).
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode Value) { imeMode_ = Value; }
  const TImeName& ImeName() const { return imeName_; }
  void SetImeName(const TImeName& Value) { imeName_ = Value; }
  bool BeepOnEnter() const { return beepOnEnter_; }
  void SetBeepOnEnter(bool Value) { beepOnEnter_ = Value; }
  bool LookupMatch() const { return lookupMatch_; }
  void SetLookupMatch(bool AValue);
  // Set by a drop-down editor when Enter or Esc closed its popup.
  void SetEnterEscSwallow(bool Value) { enterEscSwallow_ = Value; }
  Integer ItemIndex() { return GetItemIndex(); }

  // ---- Selection ----
  Integer SelStart();
  Integer SelLength();
  String SelText();
  void SetSelection(Integer AStart, Integer ALength);
  // The index of the character at the caret; 0 when the inner control is not this editor's own.
  Integer GetCaretCharIndex();

  // ---- Lookup data owner ----
  String GetLookupOwnerText() override;
  bool IsLookupOwnerEditingEventRunning() override { return IsEditingEventRunning(); }
  void SetLookupOwnerKeyFromLookup(bool Value) override { keyFromLookup_ = Value; }

  // ---- New virtual operations ----
  virtual void PropertiesChangedAndSync();
  virtual void UpdateInnerEditAppearance();
  virtual bool CanChangeEditText(const String& AText, String& ANewText, Integer& ANewSelStart);
  virtual void CheckValueLimits();
  virtual void ApplyValueLimits() {}
  virtual void DoNewLookupDisplayText(const String& AText);
  virtual Integer GetTextHeight();
  virtual Integer GetItemIndex();
  virtual bool CanUseLookupList(bool) { return false; }
  virtual void ApplySelectedLookupItem(TObject* Sender);
  virtual void GetEditingText(String& AText) { GetDisplayText(AText); }
  virtual bool SetEditingValue(const String& AText) { return TrySetDisplayText(AText); }
  virtual void LookupIndexToKey(Integer AIndex, Variant& AKey) { AKey = Variant(AIndex); }
  virtual void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue);
  virtual Integer LookupKeyToItemIndex(const Variant& AKey);
  virtual bool IsUnboundStandalone();
  virtual void ClearLookupMatch();
  virtual void SetEditingText(const String& AText);
  virtual void SetItemIndex(Integer Value);
  virtual void SetSelLength(Integer Value);
  virtual void SetSelStart(Integer Value);
  virtual void SetSelText(const String& AText);
  virtual void ValidateListText();
  virtual void DeleteSelectedText();
  virtual void RevertText() { Revert(); }
  bool TrySetDisplayText(const String& AText);
  bool IsLookupDataUsed() { return ActiveProperties()->IsLookupDataUsed() && lookupData_ != nullptr; }

  // ---- Overrides of the editor base ----
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void SelectAll() override;
  void AdjustInnerEditPosition() override;
  bool IsEditorKey(Word Key, TShiftState Shift) override;
  bool IsTextInputChar(char AChar) override;
  void ContentChanged(TObject* Sender) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void InitEditSizeProperties(TSize& ASizeProperties) override;
  void CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                   TuiContainerInnerControlRegionInfo& AInfo) override;
  void GetDisplayText(String& AText) override;
  TClass GetPropertiesClass() const override;
  bool HasInnerEditClass() override { return true; }
  IuiCustomInnerEdit* CreateInnerEdit() override;
  void Initialize() override;
  bool CanEditValue() override;
  void SetInternalDisplayValue(const Variant& AValue) override;
  void InternalSetDisplayValue(const Variant& AValue) override;
  bool IsValidChar(char AChar) override;
  void PropertiesChanged(TObject* Sender) override;
  bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) override;
  void AssignDisplayValue(const Variant& AValue) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void UpdateDrawValue() override;
  bool KeepsCursorKeys() override { return true; }
  void InnerEditWindowProc(TMessage& Message) override;
  void UnsubclassInnerEdit() override;
  void Activate(TuiCustomEditData*& AEditData) override;
  bool ShowsInnerEdit() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;

 protected:
  void WndProc(TMessage& Message) override;
  void KeyPress(char& Key) override;
  void DoExit() override;
  void Loaded() override;

 private:
  friend class TuiCustomInnerTextEdit;
  class FormatListener;

  // Incremental search for S; see DoEditKeyPress.
  bool Search(String& S);
  void RegroupDigits();
  void NavigateLookup(TuiLookupDataGoDirection ADirection);
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMClear(TMessage& Message);
  // The text that WM_GETTEXT answers.
  String MessageText();
  // The current key's item index of the lookup data.
  Integer CurrentLookupKey() const;

  bool beepOnEnter_ = true;
  bool lookupMatch_ = false;
  bool textMessageGuard_ = false;
  bool displaySync_ = false;
  bool lookupNavigation_ = false;
  String savedText_;
  bool positioning_ = false;
  bool enterEscSwallow_ = false;
  TuiCustomTextEditLookupData* lookupData_ = nullptr;
  bool keyFromLookup_ = false;
  std::unique_ptr<FormatListener> formatListener_;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
  // UTF-8 bytes of a character whose key presses are still arriving.
  String pendingCharBytes_;
};

class TuiTextEdit : public TuiCustomTextEdit {
  K58_CLASS(TuiTextEdit, TuiCustomTextEdit)

  explicit TuiTextEdit(TComponent* AOwner) : TuiCustomTextEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiTextEditProperties* ActiveProperties() {
    return static_cast<TuiTextEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiTextEditProperties* Properties() const { return static_cast<TuiTextEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiTextEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};
