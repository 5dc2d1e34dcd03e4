// The native single-line edit window inside every text editor: it does caret, selection and character
// input, offers each mouse, drag, focus and key event to its owning editor first (coordinates moved into
// the editor's client space), hands clipboard messages to the editor, and holds back selection changes
// while the two units of a character committed by an input method arrive.
//
// Threads: GUI thread only.
// Ownership: the editor (the Owner) creates and frees the inner edit; the inner edit owns its helper,
// the object through which the editor reaches it (IuiInnerTextEdit).
// Coordinates: positions forwarded to the editor are in the editor's client space.
#pragma once

#include "controls/editors/uiTextEditProperties.h"

class TuiCustomInnerTextEdit;
class TuiCustomTextEdit;

// What a text editor uses of its inner edit, beyond the inner-edit contract of the editor base.
class IuiInnerTextEdit : public IuiCustomInnerEdit {
 public:
  // ---- Rest of the inner-edit contract ----
  // The message passed to the edit window's own (native) procedure.
  virtual LRESULT CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) = 0;
  virtual void GetEditValue(Variant& V) = 0;
  virtual const TNotifyEvent& GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  // True raises the bounds lock; False lowers it while it is above 0.
  virtual void LockBounds(bool ALock) = 0;

  // ---- Text edit ----
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment GetAlignment() = 0;
  virtual bool GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TuiEditEchoMode GetEchoMode() = 0;
  virtual bool GetHideSelection() = 0;
  // The second unit of an input-method character while both are still to come, else 0.
  virtual WCHAR GetPendingImeByte() = 0;
  virtual TImeMode GetImeMode() = 0;
  virtual TImeName GetImeName() = 0;
  virtual bool GetKeyInProgress() = 0;
  virtual Integer GetMaxLength() = 0;
  virtual bool GetMultiLine() = 0;
  virtual bool GetOEMConvert() = 0;
  virtual char GetPasswordChar() = 0;
  // The native selection; while input-method characters are pending, the held-back values.
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual String GetSelText() = 0;
  virtual void SelectAll() = 0;
  // taLeftJustify instead of Value when the editor's properties ask for left alignment while editing.
  virtual void SetAlignment(TAlignment Value) = 0;
  virtual void SetAutoSelect(bool Value) = 0;
  virtual void SetCharCase(TEditCharCase Value) = 0;
  virtual void SetEchoMode(TuiEditEchoMode Value) = 0;
  virtual void SetHideSelection(bool Value) = 0;
  virtual void SetImeMode(TImeMode Value) = 0;
  virtual void SetImeName(const TImeName& Value) = 0;
  virtual void SetKeyInProgress(bool Value) = 0;
  virtual void SetMaxLength(Integer Value) = 0;
  virtual void SetOEMConvert(bool Value) = 0;
  virtual void SetPasswordChar(char Value) = 0;
  // Only with a window; held back while input-method characters are pending.
  virtual void SetSelLength(Integer Value) = 0;
  virtual void SetSelStart(Integer Value) = 0;
  virtual void SetSelText(const String& AText) = 0;

 protected:
  ~IuiInnerTextEdit() = default;
};

inline constexpr TGUID IID_IuiCustomInnerEdit = TGUID::Parse("{2FC5BBEB-28B1-518B-B1EF-5E9642CAC002}");
inline constexpr TGUID IID_IuiInnerTextEdit = TGUID::Parse("{DBF37323-DAEE-53A5-A5CF-57557A412B54}");

// The object through which the editor reaches its inner edit.
class TuiCustomInnerTextEditHelper : public TuiInterfacedPersistent, public IuiInnerTextEdit {
  K58_CLASS(TuiCustomInnerTextEditHelper, TuiInterfacedPersistent)

  explicit TuiCustomInnerTextEditHelper(TuiCustomInnerTextEdit* AEdit);
  TuiCustomInnerTextEdit* Edit() const { return edit_; }

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
  TuiEditEchoMode GetEchoMode() override;
  bool GetHideSelection() override;
  WCHAR GetPendingImeByte() override;
  TImeMode GetImeMode() override;
  TImeName GetImeName() override;
  bool GetKeyInProgress() override;
  Integer GetMaxLength() override;
  bool GetMultiLine() override { return false; }
  bool GetOEMConvert() override;
  char GetPasswordChar() override;
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  String GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TuiEditEchoMode Value) override;
  void SetHideSelection(bool Value) override;
  void SetImeMode(TImeMode Value) override;
  void SetImeName(const TImeName& Value) override;
  void SetKeyInProgress(bool Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetPasswordChar(char Value) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const String& AText) override;

 private:
  friend class TuiCustomInnerTextEdit;
  TuiCustomInnerTextEdit* edit_;
  Integer deferredSelLength_ = 0;
  Integer deferredSelStart_ = 0;
};

class TuiCustomInnerTextEdit : public TCustomEdit {
  K58_CLASS(TuiCustomInnerTextEdit, TCustomEdit)

  // AOwner is the editor.
  explicit TuiCustomInnerTextEdit(TComponent* AOwner);
  ~TuiCustomInnerTextEdit() override;

  TuiCustomInnerTextEditHelper* Helper() const { return helper_; }
  // The owning editor (nil when the owner is not an editor).
  TuiCustomEdit* Container() const { return container_; }
  // The editor is going: nothing is forwarded any more.
  void DetachContainer() { container_ = nullptr; }
  TAlignment Alignment() const { return alignment_; }
  TuiEditEchoMode EchoMode() const { return echoMode_; }
  bool KeyInProgress() const { return keyInProgress_; }
  bool IsKeyConsumed() const { return keyConsumed_; }
  Integer PendingImeChars() const { return pendingImeChars_; }
  TImeMode ImeMode() const { return imeMode_; }
  const TImeName& ImeName() const { return imeName_; }

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
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState, Integer, TPoint) override { return false; }
  void MouseLeave() override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

 private:
  friend class TuiCustomInnerTextEditHelper;
  void ApplyPasswordChar();
  void SetInnerAlignment(TAlignment Value);
  void SetMargins();
  void WMKeyDownMessage(TMessage& Message);
  void WMCharMessage(TMessage& Message);
  void WMImeChar(TMessage& Message);
  void WMClipboard(TMessage& Message);
  TuiCustomTextEdit* TextContainer() const;
  // The key after the editor and the dropping rules; marks it consumed when it became 0.
  void MarkConsumed(Word Key) { keyConsumed_ = Key == 0; }

  TuiCustomEdit* container_ = nullptr;
  TuiEditEchoMode echoMode_ = eemNormal;
  TuiCustomInnerTextEditHelper* helper_ = nullptr;
  bool keyInProgress_ = false;
  bool constructing_ = true;
  Integer boundsLockCount_ = 0;
  TAlignment alignment_ = taLeftJustify;
  Integer pendingImeChars_ = 0;
  WCHAR imeSecondUnit_ = 0;
  char passwordChar_ = '\0';
  bool keyConsumed_ = false;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
};

// The selection and (optionally) the text of an inner edit, taken before a key is handled.
struct TuiCustomInnerTextEditPrevState {
  bool IsTextSaved = false;
  String Text;
  Integer SelLength = 0;
  Integer SelStart = 0;
};

void SaveInnerTextEditState(IuiInnerTextEdit* AInnerEdit, bool ASaveText, TuiCustomInnerTextEditPrevState& AState);
// True when the edit has no window, its selection moved, or (with the text saved) its text differs from
// the saved one, compared without regard to case.
bool IsInnerTextEditChanged(IuiInnerTextEdit* AInnerEdit, const TuiCustomInnerTextEditPrevState& AState);
