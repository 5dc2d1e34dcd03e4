// The editor's input: keys (clear key, click key, Tab, Enter, Esc, navigation), clipboard messages and
// accelerators, focus entry and exit with validation, the mouse with the embedded buttons and the
// double-click timer, activation by a host, and the inner edit's subclassing.
#include "controls/editors/uiEdit.h"
#include "platform/classes/ClassBuilder.h"

namespace {

// Whether the caption carries the accelerator for the character ("&x", case-insensitive).
bool HasAccelerator(const String& ACaption, char AChar) {
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != '&') continue;
    if (ACaption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(ACaption[i + 1])) == std::toupper(static_cast<unsigned char>(AChar));
  }
  return false;
}

}  // namespace

// ---- Helpers --------------------------------------------------------------------------------------------

Integer TuiCustomEdit::GetButtonIndexAt(const TPoint& P) {
  for (Integer i = 0; i < editViewInfo_->ButtonCount(); ++i)
    if (PtInRect(&editViewInfo_->Buttons[static_cast<size_t>(i)]->Bounds, P)) return i;
  return -1;
}

Integer TuiCustomEdit::GetDefaultButtonIndex() {
  TuiEditButtons* buttons = ActiveProperties()->Buttons();
  for (Integer i = 0; i < editViewInfo_->ButtonCount(); ++i) {
    const Integer index = editViewInfo_->Buttons[static_cast<size_t>(i)]->ButtonIndex;
    if (index >= 0 && index < buttons->Count() && buttons->Items(index)->Default()) return i;
  }
  return -1;
}

bool TuiCustomEdit::CanHandleMouseWheel(TShiftState Shift) {
  return !IsInplace() || ActiveProperties()->UseMouseWheel() || Shift.Contains(ssCtrl);
}

TShiftState TuiCustomEdit::MouseButtonToShiftState(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return TShiftState{ssLeft};
    case mbRight: return TShiftState{ssRight};
    default: return TShiftState{ssMiddle};
  }
}

TShiftState TuiCustomEdit::MouseButtonCodeToShiftState(Byte ACode) {
  switch (ACode) {
    case 1: return TShiftState{ssLeft};
    case 2: return TShiftState{ssRight};
    case 3: return TShiftState{ssMiddle};
    default: return TShiftState{};
  }
}

WPARAM TuiCustomEdit::ShiftStateToMouseKeys(TShiftState AShift) {
  WPARAM keys = 0;
  if (AShift.Contains(ssShift)) keys |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (AShift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (AShift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

// ---- Keyboard -------------------------------------------------------------------------------------------

void TuiCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  escConsumed_ = false;
  if (!IsClickKey(Key, Shift)) TuiContainer::KeyDown(Key, Shift);
  if (Key != 0) DoEditKeyDown(Key, Shift);
}

void TuiCustomEdit::KeyPress(char& Key) {
  if (Key == 27 && escConsumed_) {
    escConsumed_ = false;
    Key = 0;
    return;
  }
  TuiContainer::KeyPress(Key);
  if (Key != 0) DoEditKeyPress(Key);
}

void TuiCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  TuiContainer::KeyUp(Key, Shift);
  if (Key != 0) DoEditKeyUp(Key, Shift);
}

void TuiCustomEdit::RemoveCharMessage() {
  // The character belongs to the window the key was typed into (the focused inner edit); any window of
  // the thread is searched so that it is found whichever window holds the focus.
  MSG msg{};
  if (PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE) && msg.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(msg.wParam));
}

void TuiCustomEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (Key == 0) return;
  TuiCustomEditProperties* properties = ActiveProperties();
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (properties->ClearKey() != 0 && shortCut == properties->ClearKey()) {
    {
      k58::editors::TScopedFlag userAction(userAction_, true);
      InternalSetEditValue(Null());
    }
    validated_ = true;
    Key = 0;
    return;
  }
  if (GetDefaultButtonIndex() >= 0 && shortCut == properties->ClickKey()) {
    RemoveCharMessage();
    ClickDefaultButton();
    Key = 0;
    return;
  }
  if (!CanProcessKey(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_TAB:
      if (IsEditFocused()) {
        if (!Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !properties->IsTabKeyWanted()) {
          BeforeTabNavigation(Shift);
          DoAfterKeyDown(Key, Shift);
          if (Key != 0) {
            Key = 0;
            // From the editor, or from its inner window where that stands in the tab order for it. The form
            // can still name the editor as active while the inner window holds the focus (focus given back
            // after a popup that had it), so the focus decides as well.
            if (TCustomForm* form = GetParentForm(this)) {
              TWinControl* inner = InnerControlOfEdit();
              TWinControl* current =
                  inner != nullptr && (form->ActiveControl() == inner || inner->Focused()) ? inner : this;
              form->SelectNext(current, !Shift.Contains(ssShift), true);
            }
            if (HandleAllocated() && GetFocus() == Handle() && innerEdit_ != nullptr) innerEdit_->SafelySetFocus();
          }
          return;
        }
      }
      break;
    case VK_RETURN:
      if (properties->ValidateOnEnter()) {
        Key = 0;
        LockChangeEvents(true);
        try {
          if (ValidateEdit(true) && CanPostEditValue()) PostEditValue(false);
        } catch (...) {
          LockChangeEvents(false, true);
          throw;
        }
        LockChangeEvents(false, true);
        return;
      }
      break;
    case VK_ESCAPE:
      if (modified_) {
        Revert();
        escConsumed_ = true;
        Key = 0;
        return;
      }
      break;
    default:
      break;
  }
  if (!KeepsCursorKeys() && Key >= VK_PRIOR && Key <= VK_DOWN) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
  }
}

bool TuiCustomEdit::CanProcessKey(Word& Key, TShiftState Shift) {
  return dataBinding_->IsModified() || !IsEditorKey(Key, Shift) || DoEditing();
}

bool TuiCustomEdit::CanProcessChar(char& Key) {
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
    Key = 0;
  } else if (!dataBinding_->IsModified() && IsTextInputChar(Key) && !DoEditing()) {
    Key = 0;
  }
  return Key != 0;
}

// ---- Messages -------------------------------------------------------------------------------------------

void TuiCustomEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE:
      if (updatingRegion_) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_CUT:
      return WMCut(Message);
    case WM_COPY:
      return WMCopy(Message);
    case WM_PASTE:
      return WMPaste(Message);
    case CM_DIALOGCHAR:
      return CMDialogChar(Message);
    case WM_SETFOCUS: {
      // As the container does, but the inner window takes the focus only while the editor still has it:
      // a failed validation of the editor left behind may have taken the focus back meanwhile.
      TWinControl* inner = InnerControl();
      const bool hasInner = inner != nullptr && inner->HandleAllocated();
      if (!Visible()) return;
      if (hasInner && reinterpret_cast<HWND>(Message.WParam) == inner->Handle()) {
        Message.Result = 0;
        return;
      }
      TuiControl::WndProc(Message);
      if (hasInner && inner->CanFocus() && HandleAllocated() && GetFocus() == Handle()) FocusInnerControl();
      return;
    }
    case CM_SHOWINGCHANGED:
      TuiContainer::WndProc(Message);
      if (Showing()) AdjustInnerControlBounds();
      return;
    default:
      break;
  }
  TuiContainer::WndProc(Message);
}

void TuiCustomEdit::WMCut(TMessage&) {
  k58::editors::TScopedFlag userAction(userAction_, true);
  if (ActiveProperties()->ReadOnly() || !IsDataAvailable())
    CopyToClipboard();
  else
    CutToClipboard();
}

void TuiCustomEdit::WMCopy(TMessage&) {
  k58::editors::TScopedFlag userAction(userAction_, true);
  CopyToClipboard();
}

void TuiCustomEdit::WMPaste(TMessage&) {
  k58::editors::TScopedFlag userAction(userAction_, true);
  if (!ActiveProperties()->ReadOnly() && IsDataAvailable()) PasteFromClipboard();
}

void TuiCustomEdit::CMDialogChar(TMessage& Message) {
  const char ch = static_cast<char>(Message.WParam);
  TuiEditButtons* buttons = ActiveProperties()->Buttons();
  for (TuiEditButtonViewInfo* button : editViewInfo_->Buttons) {
    if (button->Data.State == ebsDisabledState || button->ButtonIndex < 0 || button->ButtonIndex >= buttons->Count())
      continue;
    if (HasAccelerator(buttons->Items(button->ButtonIndex)->Caption(), ch)) {
      DoButtonClick(button->ButtonIndex);
      Message.Result = 1;
      return;
    }
  }
  TuiContainer::WndProc(Message);
}

// ---- Focus ----------------------------------------------------------------------------------------------

void TuiCustomEdit::DoEnter() {
  if (destroying_) return;
  if (internalFocusing_) {
    UpdateAtCursorPos(false);
    return;
  }
  SaveModified();
  try {
    TuiContainer::DoEnter();
    if (SynchronizesOnFocusChange()) dataBinding_->UpdateDisplayValue();
    if (ActiveProperties()->CanRevertValue()) prevEditValue_ = EditValue();
    if (SynchronizesOnFocusChange()) SynchronizeDisplayValue();
  } catch (...) {
    RestoreModified();
    modified_ = false;
    UpdateAtCursorPos(false);
    throw;
  }
  RestoreModified();
  modified_ = false;
  UpdateAtCursorPos(false);
}

void TuiCustomEdit::DoExit() {
  k58::editors::TScopedFlag noUserAction(userAction_, false);
  DoExitProcessing(true);
}

void TuiCustomEdit::DoExitProcessing(bool ACallInherited) {
  if (destroying_ || internalFocusing_) return;
  SaveModified();
  if (modified_) {
    LockChangeEvents(true);
    bool valid;
    try {
      valid = ValidateEdit(true);
      if (valid && !IsInplace() && CanPostEditValue()) PostEditValue(false);
    } catch (...) {
      LockChangeEvents(false, true);
      RestoreModified();
      throw;
    }
    if (!valid) {
      LockChangeEvents(false, true);
      RestoreModified();
      return;
    }
    LockChangeEvents(false, true);
  }
  if (SynchronizesOnFocusChange()) dataBinding_->UpdateDisplayValue();
  UpdateDrawValue();
  UpdateAtCursorPos(false);
  RestoreModified();
  try {
    if (ACallInherited) TuiContainer::DoExit();
  } catch (...) {
    SetModified(false);
    throw;
  }
  SetModified(false);
}

void TuiCustomEdit::FocusStateChanged() {
  if (destroying_) return;
  const bool focused = IsFocused() && Application->Active();
  if (focused != focusedState_) {
    focusedState_ = focused;
    TuiContainer::FocusStateChanged();
    UpdateDrawValue();
  }
  // A modal form closing with a result other than Cancel validates without raising, so it still closes.
  auto* form = dynamic_cast<TCustomForm*>(GetParentForm(this));
  if (form != nullptr && !form->Visible() && form->FormState().Contains(fsModal) && form->ModalResult() != mrNone &&
      form->ModalResult() != mrCancel)
    ValidateEdit(false);
}

// ---- Mouse ----------------------------------------------------------------------------------------------

void TuiCustomEdit::DblClickTimerHandler(TObject*) { dblClickTimer_->SetEnabled(false); }

void TuiCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && dblClickTimer_->Enabled()) {
    dblClickTimer_->SetEnabled(false);
    if (GetButtonIndexAt(TPoint{X, Y}) < 0) DblClick();
  }
  TuiContainer::MouseDown(Button, Shift, X, Y);
  if (destroying_) return;
  if (Button == mbLeft && HandleAllocated() && GetCapture() == Handle()) {
    const Integer index = GetButtonIndexAt(TPoint{X, Y});
    if (index >= 0 && editViewInfo_->Buttons[static_cast<size_t>(index)]->Data.State == ebsPressedState)
      capturedButton_ = index;
  }
}

void TuiCustomEdit::DblClick() {
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  if (GetButtonIndexAt(p) < 0) return TuiContainer::DblClick();
  // A double click on a button is a second click on it.
  TShiftState shift = KeyboardStateToShiftState();
  shift.Include(ssLeft);
  MouseDown(mbLeft, shift, p.x, p.y);
  Click();
}

void TuiCustomEdit::Click() {
  if (destroying_ || clickLockCount_ > 0) return;
  if (ComponentState().Contains(csLoading) && !UsesDataBinding()) return;
  TuiContainer::Click();
}

void TuiCustomEdit::ViewInfoChanged(TuiCustomEditViewInfo* AOldViewInfo) {
  TuiCustomEditViewInfo* current = editViewInfo_.get();
  if (AOldViewInfo->PressedButton == current->PressedButton && AOldViewInfo->HotButton == current->HotButton) return;
  auto collectionIndex = [](TuiCustomEditViewInfo* AViewInfo, Integer AIndex) {
    return AIndex >= 0 && AIndex < AViewInfo->ButtonCount() ? AViewInfo->Buttons[static_cast<size_t>(AIndex)]->ButtonIndex
                                                            : AIndex;
  };
  const Integer oldPressed = AOldViewInfo->PressedButton;
  if (oldPressed >= 0) {
    const Integer button = collectionIndex(current, oldPressed);
    if (oldPressed == current->HotButton) {
      DoButtonUp(button);
      DoButtonClick(button);
    } else {
      DoButtonUp(button);
    }
  }
  if (current->PressedButton >= 0 && oldPressed < 0) DoButtonDown(collectionIndex(current, current->PressedButton));
}

// ---- Activation by a host -------------------------------------------------------------------------------

void TuiCustomEdit::Activate(TuiCustomEditData*& AEditData) {
  if (AEditData == nullptr) AEditData = CreateEditData();
  ApplyEditData(AEditData);
  Show();
  if (CanFocus()) {
    SetFocus();
    if (ActiveProperties()->AutoSelect()) SelectAll();
  }
  SynchronizeDisplayValue();
  SetModifiedAfterEnter(false);
}

void TuiCustomEdit::ActivateByKey(char AKey, TuiCustomEditData*& AEditData) {
  SubclassInnerEdit();
  try {
    Activate(AEditData);
    if (IsKeyForEditor(AKey) && HandleAllocated())
      SendMessage(Handle(), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(AKey)), 0);
  } catch (...) {
    UnsubclassInnerEdit();
    throw;
  }
  UnsubclassInnerEdit();
}

void TuiCustomEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData) {
  Activate(AEditData);
  if (!HandleAllocated()) return;
  TPoint p = Parent() != nullptr ? ScreenToClient(Parent()->ClientToScreen(TPoint{X, Y})) : TPoint{X, Y};
  const LPARAM position = MAKELPARAM(p.x, p.y);
  if (Shift.Contains(ssLeft)) {
    SendMessage(Handle(), WM_LBUTTONDOWN, ShiftStateToMouseKeys(Shift), position);
    if (!KeyboardStateToShiftState().Contains(ssLeft) && GetCapture() == Handle()) ReleaseCapture();
  } else {
    SendMessage(Handle(), WM_LBUTTONUP, ShiftStateToMouseKeys(Shift), position);
  }
  dblClickTimer_->SetEnabled(true);
}

bool TuiCustomEdit::Deactivate() {
  if (!ValidateEdit(true)) return false;
  SynchronizeDisplayValue();
  validated_ = true;
  return true;
}

// ---- Inner edit subclassing -----------------------------------------------------------------------------

void TuiCustomEdit::InnerEditWindowProc(TMessage& Message) {
  if (savedInnerWndProc_.Assigned()) savedInnerWndProc_(Message);
}

void TuiCustomEdit::SubclassInnerEdit() {
  TWinControl* inner = InnerControlOfEdit();
  if (inner == nullptr || innerSubclassed_) return;
  savedInnerWndProc_ = inner->WindowProc();
  inner->SetWindowProc([this](TMessage& Message) { InnerEditWindowProc(Message); });
  innerSubclassed_ = true;
}

void TuiCustomEdit::UnsubclassInnerEdit() {
  TWinControl* inner = InnerControlOfEdit();
  if (inner == nullptr || !innerSubclassed_) return;
  inner->SetWindowProc(savedInnerWndProc_);
  savedInnerWndProc_ = TWndMethod{};
  innerSubclassed_ = false;
}
