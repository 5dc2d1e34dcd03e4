// The memo editor: the text editor with a multi-line inner memo. The editor draws the border, background
// and scroll bars around the memo, keeps the memo's scroll bars in step with its own, and decides which
// keys (Enter, Tab, Ctrl+A) the memo keeps. Its edit value is the whole text, lines separated by CR LF.
//
// Threads: GUI thread only.
// Ownership: the editor creates and frees its inner memo; the inner memo owns its helper, through which the
// editor reaches it (IuiInnerMemo).
// Re-entrancy: setting the edit value into the memo raises the memo's setting-text flag, so the memo's own
// text messages do not come back as a new value; assigning a value never fires OnChange.
#pragma once

#include "controls/editors/uiTextEdit.h"
#include "platform/forms/StdCtrls.h"

namespace uimemoconsts {
inline constexpr const char* SMemoDescription = "Memo|Represents an edit control that allows editing memo data";
}  // namespace uimemoconsts

class TuiCustomInnerMemo;
class TuiCustomMemo;

// What the memo editor uses of its inner memo beyond a text editor's inner edit.
class IuiInnerMemo : public IuiInnerTextEdit {
 public:
  // Column (x) and line (y) of the caret.
  virtual TPoint GetCaretPos() = 0;
  virtual TStrings* GetLines() = 0;
  virtual TScrollStyle GetScrollBars() = 0;
  virtual bool GetWantReturns() = 0;
  virtual bool GetWantTabs() = 0;
  virtual bool GetWordWrap() = 0;
  // Moves the caret to character x of line y (an empty selection).
  virtual void SetCaretPos(const TPoint& Value) = 0;
  virtual void SetScrollBars(TScrollStyle Value) = 0;
  virtual void SetWantReturns(bool Value) = 0;
  virtual void SetWantTabs(bool Value) = 0;
  virtual void SetWordWrap(bool Value) = 0;

 protected:
  ~IuiInnerMemo() = default;
};

// ---- Properties -------------------------------------------------------------------------------------------

class TuiCustomMemoProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TuiCustomMemoProperties, TuiCustomTextEditProperties)

  TuiCustomMemoProperties();
  // VisibleLineCount is not copied.
  void Assign(TPersistent* Source) override;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  // Lines for the auto height; negative values are stored as 0.
  Integer VisibleLineCount() const { return visibleLineCount_; }
  void SetVisibleLineCount(Integer Value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // The horizontal part of the text editor's alignment.
  TAlignment HorzAlignment() { return Alignment()->Horz(); }
  void SetHorzAlignment(TAlignment Value) { Alignment()->SetHorz(Value); }
  bool IsHorzAlignmentStored() const { return InnerAlignment()->IsHorzStored(); }

  TClass GetViewDataClass() const override;
  bool IsTabKeyWanted() override { return wantTabs_; }
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  // Unless AFullText, the text up to its first line break, and at most 250 characters of that.
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool SupportsValueFormatting(bool AEditFocused) override;

 private:
  template <class T>
  void Store(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }

  TScrollStyle scrollBars_ = ssNone;
  Integer visibleLineCount_ = 0;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TuiMemoProperties : public TuiCustomMemoProperties {
  K58_CLASS(TuiMemoProperties, TuiCustomMemoProperties)
};

// ---- View -------------------------------------------------------------------------------------------------

class TuiCustomMemoViewData : public TuiCustomTextEditViewData {
  K58_CLASS(TuiCustomMemoViewData, TuiCustomTextEditViewData)

  TuiCustomMemoViewData() = default;
  TuiCustomMemoProperties* MemoProperties() const { return dynamic_cast<TuiCustomMemoProperties*>(Properties); }

  void GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TSize& AConstantPartSize,
                                TSize& AMinContentSize) override;
  void GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                          TSize& ASize) override;
  void GetContentOffsetsExtent(TSize& ASize) override;
  Integer GetVisibleLineCount() override;
  TuiTextOutFlags GetDrawTextFlags() override;
  void GetTextContentOffsets(TRect& R) override;
};

class TuiCustomMemoViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiCustomMemoViewInfo, TuiCustomTextEditViewInfo)
  TuiCustomMemoViewInfo() = default;
};

// ---- Inner memo -------------------------------------------------------------------------------------------

class TuiCustomInnerMemoHelper : public TuiInterfacedPersistent, public IuiInnerMemo {
  K58_CLASS(TuiCustomInnerMemoHelper, TuiInterfacedPersistent)

  explicit TuiCustomInnerMemoHelper(TuiCustomInnerMemo* AMemo);
  TuiCustomInnerMemo* Memo() const { return memo_; }

  // IuiContainerInnerControl, IuiCustomInnerEdit
  TWinControl* GetControl() override;
  TuiContainer* GetControlContainer() override;
  LRESULT CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
  void GetEditValue(Variant& V) override;
  const TNotifyEvent& GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool ALock) override;
  void SafelySetFocus() override;
  void SetEditValue(const Variant& Value) override;
  void SetParent(TWinControl* Value) override;
  void SetOnChange(const TNotifyEvent& Value) override;
  void SetReadOnly(bool Value) override;

  // IuiInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment GetAlignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TuiEditEchoMode GetEchoMode() override { return eemNormal; }
  bool GetHideSelection() override;
  WCHAR GetPendingImeByte() override { return 0; }
  TImeMode GetImeMode() override;
  TImeName GetImeName() override;
  bool GetKeyInProgress() override;
  Integer GetMaxLength() override;
  bool GetMultiLine() override { return true; }
  bool GetOEMConvert() override;
  char GetPasswordChar() override { return '\0'; }
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  String GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TuiEditEchoMode) override {}
  void SetHideSelection(bool Value) override;
  void SetImeMode(TImeMode Value) override;
  void SetImeName(const TImeName& Value) override;
  void SetKeyInProgress(bool Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetPasswordChar(char) override {}
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const String& AText) override;

  // IuiInnerMemo
  TPoint GetCaretPos() override;
  TStrings* GetLines() override;
  TScrollStyle GetScrollBars() override;
  bool GetWantReturns() override;
  bool GetWantTabs() override;
  bool GetWordWrap() override;
  void SetCaretPos(const TPoint& Value) override;
  void SetScrollBars(TScrollStyle Value) override;
  void SetWantReturns(bool Value) override;
  void SetWantTabs(bool Value) override;
  void SetWordWrap(bool Value) override;

 private:
  TuiCustomInnerMemo* memo_;
};

class TuiCustomInnerMemo : public TMemo {
  K58_CLASS(TuiCustomInnerMemo, TMemo)

  // AOwner is the editor.
  explicit TuiCustomInnerMemo(TComponent* AOwner);
  ~TuiCustomInnerMemo() override;

  TuiCustomInnerMemoHelper* Helper() const { return helper_; }
  TuiCustomMemo* Container() const { return container_; }
  // The editor is going: nothing is forwarded any more.
  void DetachContainer() { container_ = nullptr; }
  bool IsSettingText() const { return settingText_; }
  bool IsKeyConsumed() const { return keyConsumed_; }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  bool CanFocus() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateHandle() override;
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Click() override;
  void DblClick() override;
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave() override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

 private:
  friend class TuiCustomInnerMemoHelper;
  void WMKeyDown(TMessage& Message);
  void WMClipboard(TMessage& Message);
  void WMSetText(TMessage& Message);
  void EMReplaceSel(TMessage& Message);
  void WMNCPaint(TMessage& Message);

  TuiCustomMemo* container_ = nullptr;
  TuiCustomInnerMemoHelper* helper_ = nullptr;
  bool escProcessing_ = false;
  bool settingText_ = false;
  bool keyConsumed_ = false;
  bool keyInProgress_ = false;
  bool constructing_ = true;
  Integer boundsLockCount_ = 0;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
};

// Every LF CR pair of AText becomes CR LF CR LF; CR LF pairs and single characters stay as they are.
String NormalizeMemoLineBreaks(const String& AText);

// ---- Editor -----------------------------------------------------------------------------------------------

class TuiCustomMemo : public TuiCustomTextEdit {
  K58_CLASS(TuiCustomMemo, TuiCustomTextEdit)

  explicit TuiCustomMemo(TComponent* AOwner);
  void BeforeDestruction() override;

  TuiCustomMemoProperties* ActiveProperties() {
    return static_cast<TuiCustomMemoProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomMemoProperties* Properties() const {
    return static_cast<TuiCustomMemoProperties*>(TuiCustomEdit::Properties());
  }
  IuiInnerMemo* InnerMemo() const { return dynamic_cast<IuiInnerMemo*>(InnerEdit()); }
  TuiCustomInnerMemo* InnerMemoControl() const { return dynamic_cast<TuiCustomInnerMemo*>(InnerControlOfEdit()); }
  // The inner memo's lines; writing copies the given list's contents into them.
  TStrings* Lines() const;
  void SetLines(TStrings* Value);
  // True while the editor clears its selection through the inner memo.
  bool IsClearing() const { return clearing_; }

  // Enter when WantReturns is on or Ctrl is held; Tab when WantTabs is on.
  virtual bool IsMemoEditKey(Word Key, TShiftState Shift);
  // Clears the selection (a user's change only when OnEditing allows it).
  virtual void ClearSelection();

  // ---- Overrides ----
  bool HasScrollBars() override { return true; }
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& AScrollPos) override;
  void AdjustInnerControlBounds() override;
  void AdjustInnerEditPosition() override;
  bool IsAutoSizeActive() override;
  bool IsEditorKey(Word Key, TShiftState Shift) override;
  bool IsTextInputChar(char AChar) override;
  void ContentChanged(TObject* Sender) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  IuiCustomInnerEdit* CreateInnerEdit() override;
  void Initialize() override;
  void InitializeViewData(TuiCustomEditViewData* AViewData) override;
  void PropertiesChanged(TObject* Sender) override;
  bool IsKeyForEditor(char AKey) override { return AKey != '\r'; }
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void DeleteSelectedText() override { ClearSelection(); }
  TClass GetPropertiesClass() const override;
  bool ShowsInnerEdit() override { return true; }
  void UpdateInnerEditAppearance() override;
  void SetSelText(const String& AText) override;
  void CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                   TuiContainerInnerControlRegionInfo& AInfo) override;

 protected:
  void ReadState(TReader* Reader) override;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void ControlFontChanged() override;

 private:
  friend class TuiCustomInnerMemo;
  bool clearing_ = false;
};

class TuiMemo : public TuiCustomMemo {
  K58_CLASS(TuiMemo, TuiCustomMemo)

  explicit TuiMemo(TComponent* AOwner) : TuiCustomMemo(AOwner) {}
  TuiMemoProperties* Properties() const { return static_cast<TuiMemoProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiMemoProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TClass GetPropertiesClass() const override;
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
void StartMemoUnit();
void StopMemoUnit();
}  // namespace k58::editors
