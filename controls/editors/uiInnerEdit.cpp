// The inner edit of the text editors and its helper: forwarding to the owning editor, the key-consumed and
// key-in-progress flags, the input-method hold-back of selection changes, and clipboard interception.
#include "controls/editors/uiInnerEdit.h"

#include "controls/editors/uiTextEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/win/builtin/CommCtrl.h"

K58_IMPLEMENT_CLASS(TuiCustomInnerTextEditHelper) {}
K58_IMPLEMENT_CLASS(TuiCustomInnerTextEdit) {}

// ---- Helper ---------------------------------------------------------------------------------------------

TuiCustomInnerTextEditHelper::TuiCustomInnerTextEditHelper(TuiCustomInnerTextEdit* AEdit)
    : TuiInterfacedPersistent(nullptr), edit_(AEdit) {}

TWinControl* TuiCustomInnerTextEditHelper::GetControl() { return edit_; }
TuiContainer* TuiCustomInnerTextEditHelper::GetControlContainer() { return edit_->Container(); }

LRESULT TuiCustomInnerTextEditHelper::CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  edit_->TCustomEdit::DefaultHandler(message);
  return message.Result;
}

void TuiCustomInnerTextEditHelper::GetEditValue(Variant& V) { V = Variant(edit_->Text()); }
const TNotifyEvent& TuiCustomInnerTextEditHelper::GetOnChange() { return edit_->OnChange(); }
bool TuiCustomInnerTextEditHelper::GetReadOnly() { return edit_->ReadOnly(); }

void TuiCustomInnerTextEditHelper::LockBounds(bool ALock) {
  if (ALock)
    ++edit_->boundsLockCount_;
  else if (edit_->boundsLockCount_ > 0)
    --edit_->boundsLockCount_;
}

void TuiCustomInnerTextEditHelper::SafelySetFocus() {
  const bool saved = edit_->AutoSelect();
  edit_->SetAutoSelect(false);
  try {
    edit_->SetFocus();
  } catch (...) {
    edit_->SetAutoSelect(saved);
    throw;
  }
  edit_->SetAutoSelect(saved);
}

void TuiCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  const String text = VarToStr(Value);
  const bool changed = text != edit_->Text();
  edit_->SetText(text);
  // At design time no window notifies, so a real change is announced here.
  if (changed && edit_->ComponentState().Contains(csDesigning)) edit_->Change();
}

void TuiCustomInnerTextEditHelper::SetParent(TWinControl* Value) { edit_->SetParent(Value); }
void TuiCustomInnerTextEditHelper::SetOnChange(const TNotifyEvent& Value) { edit_->SetOnChange(Value); }
void TuiCustomInnerTextEditHelper::SetReadOnly(bool Value) { edit_->SetReadOnly(Value); }

void TuiCustomInnerTextEditHelper::ClearSelection() { edit_->ClearSelection(); }
void TuiCustomInnerTextEditHelper::CopyToClipboard() { edit_->CopyToClipboard(); }
TAlignment TuiCustomInnerTextEditHelper::GetAlignment() { return edit_->Alignment(); }
bool TuiCustomInnerTextEditHelper::GetAutoSelect() { return edit_->AutoSelect(); }
TEditCharCase TuiCustomInnerTextEditHelper::GetCharCase() { return edit_->CharCase(); }
TuiEditEchoMode TuiCustomInnerTextEditHelper::GetEchoMode() { return edit_->EchoMode(); }
bool TuiCustomInnerTextEditHelper::GetHideSelection() { return edit_->HideSelection(); }
WCHAR TuiCustomInnerTextEditHelper::GetPendingImeByte() {
  return edit_->pendingImeChars_ == 2 ? edit_->imeSecondUnit_ : 0;
}
TImeMode TuiCustomInnerTextEditHelper::GetImeMode() { return edit_->ImeMode(); }
TImeName TuiCustomInnerTextEditHelper::GetImeName() { return edit_->ImeName(); }
bool TuiCustomInnerTextEditHelper::GetKeyInProgress() { return edit_->KeyInProgress(); }
Integer TuiCustomInnerTextEditHelper::GetMaxLength() { return edit_->MaxLength(); }
bool TuiCustomInnerTextEditHelper::GetOEMConvert() { return edit_->OEMConvert(); }
char TuiCustomInnerTextEditHelper::GetPasswordChar() { return edit_->passwordChar_; }

Integer TuiCustomInnerTextEditHelper::GetSelLength() {
  return edit_->pendingImeChars_ > 0 ? deferredSelLength_ : edit_->SelLength();
}

Integer TuiCustomInnerTextEditHelper::GetSelStart() {
  return edit_->pendingImeChars_ > 0 ? deferredSelStart_ : edit_->SelStart();
}

String TuiCustomInnerTextEditHelper::GetSelText() { return edit_->SelText(); }

void TuiCustomInnerTextEditHelper::SelectAll() {
  if (edit_->HandleAllocated()) edit_->SelectAll();
}

void TuiCustomInnerTextEditHelper::SetAlignment(TAlignment Value) {
  TuiCustomEdit* container = edit_->Container();
  if (container != nullptr && container->ActiveProperties()->UseLeftAlignmentOnEditing()) Value = taLeftJustify;
  edit_->SetInnerAlignment(Value);
}

void TuiCustomInnerTextEditHelper::SetAutoSelect(bool Value) { edit_->SetAutoSelect(Value); }
void TuiCustomInnerTextEditHelper::SetCharCase(TEditCharCase Value) { edit_->SetCharCase(Value); }

void TuiCustomInnerTextEditHelper::SetEchoMode(TuiEditEchoMode Value) {
  if (edit_->echoMode_ == Value) return;
  edit_->echoMode_ = Value;
  edit_->ApplyPasswordChar();
}

void TuiCustomInnerTextEditHelper::SetHideSelection(bool Value) { edit_->SetHideSelection(Value); }
void TuiCustomInnerTextEditHelper::SetImeMode(TImeMode Value) { edit_->imeMode_ = Value; }
void TuiCustomInnerTextEditHelper::SetImeName(const TImeName& Value) { edit_->imeName_ = Value; }
void TuiCustomInnerTextEditHelper::SetKeyInProgress(bool Value) { edit_->keyInProgress_ = Value; }
void TuiCustomInnerTextEditHelper::SetMaxLength(Integer Value) { edit_->SetMaxLength(Value); }
void TuiCustomInnerTextEditHelper::SetOEMConvert(bool Value) { edit_->SetOEMConvert(Value); }

void TuiCustomInnerTextEditHelper::SetPasswordChar(char Value) {
  if (edit_->passwordChar_ == Value) return;
  edit_->passwordChar_ = Value;
  if (edit_->echoMode_ == eemPassword) edit_->ApplyPasswordChar();
}

void TuiCustomInnerTextEditHelper::SetSelLength(Integer Value) {
  if (!edit_->HandleAllocated()) return;
  if (edit_->pendingImeChars_ > 0)
    deferredSelLength_ = Value;
  else
    edit_->SetSelLength(Value);
}

void TuiCustomInnerTextEditHelper::SetSelStart(Integer Value) {
  if (!edit_->HandleAllocated()) return;
  if (edit_->pendingImeChars_ > 0)
    deferredSelStart_ = Value;
  else
    edit_->SetSelStart(Value);
}

void TuiCustomInnerTextEditHelper::SetSelText(const String& AText) { edit_->SetSelText(AText); }

// ---- Inner edit -----------------------------------------------------------------------------------------

TuiCustomInnerTextEdit::TuiCustomInnerTextEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  constructing_ = true;
  container_ = dynamic_cast<TuiCustomEdit*>(AOwner);
  helper_ = new TuiCustomInnerTextEditHelper(this);
  TControlStyle style = ControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(true);
  SetParentFont(false);
  SetBorderStyle(bsNone);
  alignment_ = taLeftJustify;
  echoMode_ = eemNormal;
  ApplyPasswordChar();
  constructing_ = false;
}

TuiCustomInnerTextEdit::~TuiCustomInnerTextEdit() { FreeAndNil(helper_); }

TuiCustomTextEdit* TuiCustomInnerTextEdit::TextContainer() const {
  return dynamic_cast<TuiCustomTextEdit*>(container_);
}

void TuiCustomInnerTextEdit::ApplyPasswordChar() {
  TCustomEdit::SetPasswordChar(echoMode_ == eemPassword ? (passwordChar_ != '\0' ? passwordChar_ : '*') : '\0');
}

void TuiCustomInnerTextEdit::SetInnerAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TuiCustomInnerTextEdit::SetMargins() {
  if (HandleAllocated()) ::SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
}

void TuiCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  TCustomEdit::CreateParams(Params);
  Params.Style |= Alignments[alignment_] | ES_AUTOHSCROLL;
  Params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TuiCustomInnerTextEdit::CreateWnd() {
  // The window takes its text at creation, which notifies nothing.
  TCustomEdit::CreateWnd();
  SetMargins();
}

void TuiCustomInnerTextEdit::CreateHandle() {
  if (container_ != nullptr) container_->HandleNeeded();
  if (!HandleAllocated()) TCustomEdit::CreateHandle();
}

void TuiCustomInnerTextEdit::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (constructing_ || boundsLockCount_ > 0) return;
  if (container_ == nullptr) return TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  // The editor clips its inner control itself once it is placed.
  TuiInnerControlEvents::WithAlignLocked(container_, [&] { TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight); });
}

bool TuiCustomInnerTextEdit::CanFocus() {
  return container_ != nullptr ? container_->CanFocus() : TCustomEdit::CanFocus();
}

// ---- Mouse and drag ----

void TuiCustomInnerTextEdit::Click() {
  TCustomEdit::Click();
  TuiInnerControlEvents::Click(container_);
}

void TuiCustomInnerTextEdit::DblClick() {
  TCustomEdit::DblClick();
  TuiInnerControlEvents::DblClick(container_);
}

void TuiCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TCustomEdit::MouseDown(Button, Shift, X, Y);
  if (!alive.expired()) TuiInnerControlEvents::MouseDown(container_, *this, Button, Shift, X, Y);
}

void TuiCustomInnerTextEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomEdit::MouseMove(Shift, X, Y);
  TuiInnerControlEvents::MouseMove(container_, *this, Shift, X, Y);
}

void TuiCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomEdit::MouseUp(Button, Shift, X, Y);
  TuiInnerControlEvents::MouseUp(container_, *this, Button, Shift, X, Y);
}

void TuiCustomInnerTextEdit::MouseLeave() {
  TCustomEdit::MouseLeave();
  if (container_ != nullptr) container_->UpdateAtCursorPos(true);
}

void TuiCustomInnerTextEdit::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  TuiInnerControlEvents::DragOver(container_, *this, Source, X, Y, State, Accept);
}

void TuiCustomInnerTextEdit::DragDrop(TObject* Source, Integer X, Integer Y) {
  TuiInnerControlEvents::DragDrop(container_, *this, Source, X, Y);
}

// ---- Keys ----

void TuiCustomInnerTextEdit::KeyDown(Word& Key, TShiftState Shift) {
  keyConsumed_ = false;
  if (container_ != nullptr) container_->KeyDown(Key, Shift);
  MarkConsumed(Key);
  if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
}

void TuiCustomInnerTextEdit::KeyPress(char& Key) {
  // The native control never sees Tab.
  if (Key == '\t') Key = 0;
  if (Key != 0 && container_ != nullptr) container_->KeyPress(Key);
  if ((Key == '\r' || Key == 27) && container_ != nullptr) {
    TuiCustomTextEdit* text = TextContainer();
    const bool swallow = text != nullptr && text->enterEscSwallow_;
    if (container_->IsInplace() || swallow || (Key == '\r' && text != nullptr && !text->BeepOnEnter())) {
      Key = 0;
      if (text != nullptr) text->enterEscSwallow_ = false;
    }
  }
  MarkConsumed(static_cast<Word>(static_cast<unsigned char>(Key)));
  if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TuiCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  keyConsumed_ = false;
  if (Key != 0 && container_ != nullptr) container_->KeyUp(Key, Shift);
  MarkConsumed(Key);
  if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
}

// ---- Messages ----

void TuiCustomInnerTextEdit::WMKeyDownMessage(TMessage& Message) {
  TuiCustomTextEdit* text = TextContainer();
  if (text != nullptr && text->HasPopupWindow()) {
    auto* properties = dynamic_cast<TuiCustomTextEditProperties*>(text->ActiveProperties());
    TWinControl* list = text->LookupListControl();
    if (properties != nullptr && list != nullptr && list->HandleAllocated() &&
        properties->UsesLookupList(static_cast<Word>(Message.WParam), KeyDataToShiftState(static_cast<LongInt>(Message.LParam)))) {
      if (::SendMessage(list->Handle(), static_cast<UINT>(Message.Msg), Message.WParam, Message.LParam) == 0) return;
    }
  }
  TuiCustomInnerTextEditPrevState state;
  SaveInnerTextEditState(helper_, false, state);
  keyConsumed_ = false;
  auto alive = AliveToken();
  TCustomEdit::WndProc(Message);
  if (alive.expired() || container_ == nullptr) return;
  if (!keyConsumed_ && !IsInnerTextEditChanged(helper_, state)) {
    Word key = static_cast<Word>(Message.WParam);
    container_->DoAfterKeyDown(key, KeyDataToShiftState(static_cast<LongInt>(Message.LParam)));
    Message.WParam = key;
  }
}

void TuiCustomInnerTextEdit::WMCharMessage(TMessage& Message) {
  TuiCustomInnerTextEditPrevState state;
  SaveInnerTextEditState(helper_, true, state);
  keyConsumed_ = false;
  auto alive = AliveToken();
  TCustomEdit::WndProc(Message);
  if (alive.expired()) return;
  TuiCustomTextEdit* text = TextContainer();
  if (pendingImeChars_ > 0) {
    --pendingImeChars_;
    if (pendingImeChars_ == 0 && text != nullptr && text->lookupMatch_ && HandleAllocated()) {
      SetSelStart(helper_->deferredSelStart_);
      SetSelLength(helper_->deferredSelLength_);
    }
  }
  if (text == nullptr) return;
  text->keyFromLookup_ = false;
  if (!keyConsumed_ && IsInnerTextEditChanged(helper_, state)) text->lookupMatch_ = false;
}

// Our input method commits UTF-16 units one WM_IME_CHAR each: a high surrogate announces two characters
// (itself and its partner), so selection changes made while the pair arrives apply once, after it.
void TuiCustomInnerTextEdit::WMImeChar(TMessage& Message) {
  const auto unit = static_cast<WCHAR>(Message.WParam & 0xFFFF);
  const bool pairStart = unit >= 0xD800 && unit <= 0xDBFF;
  const bool pairEnd = unit >= 0xDC00 && unit <= 0xDFFF && pendingImeChars_ > 0;
  if (!pairEnd) {
    imeSecondUnit_ = pairStart ? 0xDC00 : 0;
    pendingImeChars_ = pairStart ? 2 : 1;
    helper_->deferredSelStart_ = SelStart();
    helper_->deferredSelLength_ = SelLength();
  } else {
    imeSecondUnit_ = unit;
  }
  TCustomEdit::WndProc(Message);
}

void TuiCustomInnerTextEdit::WMClipboard(TMessage& Message) {
  if (container_ == nullptr) {
    TCustomEdit::WndProc(Message);
    return;
  }
  TuiCustomEdit* container = container_;
  const bool saved = container->IsUserAction();
  container->SetUserAction(true);
  try {
    switch (Message.Msg) {
      case WM_CUT:
        if (ReadOnly())
          container->CopyToClipboard();
        else
          container->CutToClipboard();
        break;
      case WM_PASTE:
        if (!ReadOnly()) container->PasteFromClipboard();
        break;
      default:
        if (!ReadOnly()) {
          if (TuiCustomTextEdit* text = TextContainer())
            text->DeleteSelectedText();
          else
            TCustomEdit::WndProc(Message);
        }
        break;
    }
  } catch (...) {
    container->SetUserAction(saved);
    throw;
  }
  container->SetUserAction(saved);
}

void TuiCustomInnerTextEdit::WndProc(TMessage& Message) {
  if (container_ != nullptr && container_->ProcessInnerKeyMessage(Message)) return;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (container_ != nullptr && container_->DragMode() == dmAutomatic && !container_->IsDesigning()) {
        container_->BeginDrag(false);
        return;
      }
      break;
    case WM_SETFOCUS: {
      TCustomEdit::WndProc(Message);
      const bool fromOwner =
          container_ != nullptr && container_->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == container_->Handle();
      if (container_ != nullptr && !fromOwner && !ComponentState().Contains(csDestroying))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    }
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(Message);
      if (container_ != nullptr && !ComponentState().Contains(csDestroying))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case WM_KEYDOWN:
      WMKeyDownMessage(Message);
      return;
    case WM_CHAR:
      WMCharMessage(Message);
      return;
    case WM_IME_CHAR:
      WMImeChar(Message);
      return;
    case WM_GETDLGCODE:
      TCustomEdit::WndProc(Message);
      Message.Result |= DLGC_WANTCHARS;
      if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      if (container_ != nullptr && (container_->IsInplace() || container_->HasPopupWindow()))
        Message.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
      WMClipboard(Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_SIZE:
      TCustomEdit::WndProc(Message);
      SetMargins();
      return;
    default:
      break;
  }
  TCustomEdit::WndProc(Message);
}

void TuiCustomInnerTextEdit::DefaultHandler(TMessage& Message) {
  if (container_ != nullptr && container_->HandleInnerDefaultMessage(Message)) return;
  TCustomEdit::DefaultHandler(Message);
}

// ---- Prev-state routines ----------------------------------------------------------------------------------

void SaveInnerTextEditState(IuiInnerTextEdit* AInnerEdit, bool ASaveText, TuiCustomInnerTextEditPrevState& AState) {
  AState.IsTextSaved = ASaveText;
  if (ASaveText) AState.Text = AInnerEdit->GetControl()->Text();
  AState.SelStart = AInnerEdit->GetSelStart();
  AState.SelLength = AInnerEdit->GetSelLength();
}

bool IsInnerTextEditChanged(IuiInnerTextEdit* AInnerEdit, const TuiCustomInnerTextEditPrevState& AState) {
  if (!AInnerEdit->GetControl()->HandleAllocated()) return true;
  if (AInnerEdit->GetSelStart() != AState.SelStart || AInnerEdit->GetSelLength() != AState.SelLength) return true;
  return AState.IsTextSaved && AnsiUpperCase(AInnerEdit->GetControl()->Text()) != AnsiUpperCase(AState.Text);
}
