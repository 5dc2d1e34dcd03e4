// Forms: creation from form resources, showing and hiding, modal forms, closing, focus and the active
// control, keys for the form, the window's styles, and data modules.
#include "platform/forms/Forms.h"

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/FormsInternal.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/SysUtils.h"

using namespace formsconsts;
using namespace k58::forms;

namespace {

// Raised each time a form's focused control changes, so a focus step can tell that a handler moved the
// focus elsewhere meanwhile.
Integer FocusCount = 0;

bool SendFocusMessage(HWND Window, UINT Msg) {
  Integer count = FocusCount;
  if (Window != nullptr) ::SendMessage(Window, Msg, 0, 0);
  return FocusCount == count;
}

constexpr int ShowCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};

}  // namespace

// ---- Construction -----------------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) { InitForm(); }

TCustomForm::TCustomForm(TComponent* AOwner, Integer Dummy) : TScrollingWinControl(AOwner) {
  (void)Dummy;
  createNew_ = true;
  InitForm();
}

void TCustomForm::InitForm() {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  ControlsAccess::SetBoundsFields(this, 0, 0, 320, 240);
  ControlsAccess::SetVisibleField(this, false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetParentShowHint(false);
  icon_.reset(new TIcon());
  icon_->SetOnChange(TNotifyEvent(this, &TCustomForm::IconChanged));
  canvas_.reset(new TControlCanvas());
  canvas_->SetControl(this);
  if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (canvas_) canvas_->SetControl(nullptr);
}

void TCustomForm::AfterConstruction() {
  TScrollingWinControl::AfterConstruction();
  if (!createNew_ && ClassType() != TForm::StaticClass() && ClassType() != TCustomForm::StaticClass()) {
    formState_.Include(fsCreating);
    try {
      if (!InitInheritedComponent(this, TForm::StaticClass())) {
        throw EResNotFound(Format(SResNotFound, ClassName()));
      }
    } catch (...) {
      formState_.Exclude(fsCreating);
      throw;
    }
    formState_.Exclude(fsCreating);
  }
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (Screen != nullptr) std::erase(Screen->saveFocusedList_, this);
  if (formStyle_ != fsMDIChild && Visible()) {
    try {
      Hide();
    } catch (...) {
      if (Application != nullptr) Application->HandleException(this);
    }
  }
  DoDestroy();
  if (Application != nullptr && Application->MainForm() != nullptr) {
    TCustomForm* main = Application->MainForm();
    if (main != this && main->mergedChild_ == this) main->MergeMenu(false);
  }
  TScrollingWinControl::BeforeDestruction();
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (Application != nullptr && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::DoCreate() {
  try {
    onCreate_(this);
  } catch (...) {
    if (Application != nullptr) {
      Application->HandleException(this);
    } else {
      throw;
    }
  }
  if (formState_.Contains(fsVisible)) SetVisible(true);
}

void TCustomForm::DoDestroy() {
  try {
    onDestroy_(this);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(this);
  }
}

void TCustomForm::IconChanged(TObject* Sender) {
  (void)Sender;
  if (!HandleAllocated()) return;
  Perform(CM_ICONCHANGED, 0, 0);
}

// ---- Streaming -------------------------------------------------------------------------------------------

void TCustomForm::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    TScrollingWinControl::ReadState(Reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TCustomForm::DefineProperties(TFiler* Filer) {
  TScrollingWinControl::DefineProperties(Filer);
  Filer->DefineProperty("TextHeight", [](TReader* Reader) { Reader->ReadInteger(); }, nullptr, false);
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  ApplyClientSize();
  if (activeControl_ != nullptr) {
    // The active control read from the resource must be on this form.
    if (GetParentForm(activeControl_) != this) activeControl_ = nullptr;
  }
}

void TCustomForm::SetFormClientWidth(Integer Value) {
  if (ControlState().Contains(csReadingState)) {
    pendingClientWidth_ = Value;
  } else {
    SetClientWidth(Value);
  }
}

void TCustomForm::SetFormClientHeight(Integer Value) {
  if (ControlState().Contains(csReadingState)) {
    pendingClientHeight_ = Value;
  } else {
    SetClientHeight(Value);
  }
}

// The client size read from the resource, once the border style and the menu are known.
void TCustomForm::ApplyClientSize() {
  if (pendingClientWidth_ >= 0) SetClientWidth(pendingClientWidth_);
  if (pendingClientHeight_ >= 0) SetClientHeight(pendingClientHeight_);
  pendingClientWidth_ = -1;
  pendingClientHeight_ = -1;
}

TRect TCustomForm::GetClientRect() {
  TRect r = TScrollingWinControl::GetClientRect();
  if (!HandleAllocated() && menu_ != nullptr && menu_->Items()->Count() > 0 && formStyle_ != fsMDIChild) {
    r.bottom = std::max<Integer>(r.bottom - ::GetSystemMetrics(SM_CYMENU), 0);
  }
  return r;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TScrollingWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent == nullptr) return;
  if (AComponent == static_cast<TComponent*>(menu_)) {
    menu_ = nullptr;
    UpdateMenuBar();
  }
  if (windowMenu_ != nullptr && AComponent == static_cast<TComponent*>(windowMenu_)) windowMenu_ = nullptr;
  if (AComponent == static_cast<TComponent*>(activeControl_)) activeControl_ = nullptr;
  if (AComponent == static_cast<TComponent*>(focusedControl_)) focusedControl_ = nullptr;
  if (mergedChild_ != nullptr && AComponent == static_cast<TComponent*>(mergedChild_)) mergedChild_ = nullptr;
}

void TCustomForm::GetChildren(TGetChildProc Proc, TComponent* Root) {
  TScrollingWinControl::GetChildren(Proc, Root);
  // Then the components that have no parent: menus, timers, dialogs, image lists.
  for (Integer i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) Proc(c);
  }
}

void TCustomForm::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  TScrollingWinControl::ValidateRename(AComponent, CurName, NewName);
}

void TCustomForm::SetParent(TWinControl* AParent) {
  if (Parent() == AParent) return;
  if (AParent != nullptr && HandleAllocated()) DestroyHandle();
  TScrollingWinControl::SetParent(AParent);
  if (AParent == nullptr) UpdateControlState();
}

void TCustomForm::ChangeScale(Integer M, Integer D) {
  if (!scaled_) return;
  TScrollingWinControl::ChangeScale(M, D);
}

// ---- Window ----------------------------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
  TScrollingWinControl::CreateParams(Params);
  Params.WindowClass.style = CS_DBLCLKS;
  bool topLevel = Parent() == nullptr && ParentWindow() == nullptr;
  if (topLevel) {
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
    Params.WndParent = nullptr;
  }
  if (ComponentState().Contains(csDesigning) && Parent() == nullptr) return;
  if (position_ == poDefault || position_ == poDefaultPosOnly) {
    Params.X = CW_USEDEFAULT;
    Params.Y = CW_USEDEFAULT;
  }
  if (position_ == poDefault || position_ == poDefaultSizeOnly) {
    Params.Width = CW_USEDEFAULT;
    Params.Height = CW_USEDEFAULT;
  }
  TBorderIcons icons = borderIcons_;
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  switch (style) {
    case bsNone:
      if (topLevel) Params.Style |= WS_POPUP;
      icons = {};
      break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) {
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    icons = icons * TBorderIcons{biSystemMenu};
  }
  if (style == bsSingle || style == bsSizeable || style == bsNone) {
    if (formStyle_ != fsMDIChild || icons.Contains(biSystemMenu)) {
      if (icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
      if (icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (icons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
  if (icons.Contains(biHelp) && (style == bsDialog || (!icons.Contains(biMinimize) && !icons.Contains(biMaximize)))) {
    Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop && topLevel) Params.ExStyle |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) {
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle |= WS_EX_MDICHILD;
    if (Application != nullptr && Application->MainForm() != nullptr) {
      Params.WndParent = Application->MainForm()->ClientHandle();
    }
    if (Params.WndParent == nullptr) throw EInvalidOperation(SNoMDIForm);
  }
  // A modal form belongs to the window that was active when it was shown, so it stays above it.
  if (formState_.Contains(fsModal) && topLevel) Params.WndParent = ::GetActiveWindow();
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  if (formStyle_ == fsMDIForm) CreateMDIClient();
  if (menu_ != nullptr) UpdateMenuBar();
  if (!icon_->Empty()) Perform(CM_ICONCHANGED, 0, 0);
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
  if (formStyle_ == fsMDIChild) {
    // Made by the MDI client; its first message binds the window to the form.
    HWND wnd = CreateMDIChildWindow(Params.WndParent, Params);
    if (wnd != nullptr && !HandleAllocated()) ControlsAccess::SetHandle(this, wnd);
    return;
  }
  TScrollingWinControl::CreateWindowHandle(Params);
}

void TCustomForm::DestroyWindowHandle() {
  DestroyMDIClient();
  appliedMenu_ = nullptr;
  TScrollingWinControl::DestroyWindowHandle();
}

void TCustomForm::DestroyWnd() { TScrollingWinControl::DestroyWnd(); }

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (formStyle_ == Value) return;
  if (Showing() && (formStyle_ == fsMDIChild || Value == fsMDIChild)) throw EInvalidOperation(SInvalidFormStyle);
  TFormStyle old = formStyle_;
  formStyle_ = Value;
  if (Value == fsMDIChild) SetPosition(poDefault);
  if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
    if ((old == fsStayOnTop) != (Value == fsStayOnTop) && old != fsMDIChild && Value != fsMDIChild) {
      ::SetWindowPos(Handle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
      RecreateWnd();
    }
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  if (!ComponentState().Contains(csLoading)) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (borderIcons_ == Value) return;
  borderIcons_ = Value;
  if (!ComponentState().Contains(csLoading)) RecreateWnd();
}

void TCustomForm::SetPosition(TPosition Value) { position_ = Value; }

TWindowState TCustomForm::WindowState() const { return windowState_; }

void TCustomForm::SetWindowState(TWindowState Value) {
  if (windowState_ == Value) return;
  windowState_ = Value;
  if (!ComponentState().Contains(csDesigning) && Showing()) {
    constexpr int Commands[] = {SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ::ShowWindow(Handle(), Commands[Value]);
  }
}

TMonitor* TCustomForm::Monitor() {
  if (Screen == nullptr) return nullptr;
  if (HandleAllocated()) return Screen->MonitorFromWindow(Handle(), mdNearest);
  return Screen->MonitorFromRect(BoundsRect(), mdNearest);
}

// ---- Showing ---------------------------------------------------------------------------------------------

void TCustomForm::SetVisible(bool Value) {
  if (formState_.Contains(fsCreating)) {
    if (Value) {
      formState_.Include(fsVisible);
    } else {
      formState_.Exclude(fsVisible);
    }
    return;
  }
  if (!Value && formStyle_ == fsMDIChild && Visible() && !ComponentState().Contains(csDestroying)) {
    throw EInvalidOperation(SMDIChildNotVisible);
  }
  TScrollingWinControl::SetVisible(Value);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::CMVisibleChanged(TMessage& Message) {
  (void)Message;
  // A form's own visibility is its window's; it does not take the focus away from its controls.
  if (!ComponentState().Contains(csDesigning)) UpdateControlState();
}

void TCustomForm::MoveToPosition() {
  Integer x = Left(), y = Top();
  bool place = true;
  auto screenW = Screen != nullptr ? Screen->Width() : 0;
  auto screenH = Screen != nullptr ? Screen->Height() : 0;
  if (position_ == poScreenCenter || (position_ == poMainFormCenter && formStyle_ == fsMDIChild)) {
    if (formStyle_ == fsMDIChild && Application->MainForm() != nullptr) {
      x = (Application->MainForm()->ClientWidth() - Width()) / 2;
      y = (Application->MainForm()->ClientHeight() - Height()) / 2;
    } else {
      x = (screenW - Width()) / 2;
      y = (screenH - Height()) / 2;
    }
  } else if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
    TCustomForm* center = Application != nullptr ? Application->MainForm() : nullptr;
    if (position_ == poOwnerFormCenter) {
      if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) center = owner;
    }
    if (center != nullptr && center != this) {
      x = (center->Width() - Width()) / 2 + center->Left();
      y = (center->Height() - Height()) / 2 + center->Top();
    } else {
      x = (screenW - Width()) / 2;
      y = (screenH - Height()) / 2;
    }
  } else if (position_ == poDesktopCenter) {
    if (formStyle_ == fsMDIChild && Application->MainForm() != nullptr) {
      x = (Application->MainForm()->ClientWidth() - Width()) / 2;
      y = (Application->MainForm()->ClientHeight() - Height()) / 2;
    } else if (Screen != nullptr) {
      x = (Screen->DesktopWidth() - Width()) / 2 + Screen->DesktopLeft();
      y = (Screen->DesktopHeight() - Height()) / 2 + Screen->DesktopTop();
    }
  } else {
    place = false;
  }
  if (place) {
    x = std::max(x, 0);
    y = std::max(y, 0);
    SetBounds(x, y, Width(), Height());
  }
  // The position applies once; afterwards the form stays where it is put.
  position_ = poDesigned;
}

void TCustomForm::ShowWindowForState() { ::ShowWindow(Handle(), ShowCommands[windowState_]); }

void TCustomForm::CMShowingChanged(TMessage& Message) {
  (void)Message;
  if (ComponentState().Contains(csDesigning)) {
    TScrollingWinControl::CMShowingChanged(Message);
    return;
  }
  if (formState_.Contains(fsShowing)) throw EInvalidOperation(SVisibleChanged);
  formState_.Include(fsShowing);
  try {
    if (Showing()) {
      try {
        DoShow();
      } catch (...) {
        if (Application != nullptr) Application->HandleException(this);
      }
      MoveToPosition();
      if (formStyle_ == fsMDIChild) {
        ::ShowWindow(Handle(), ShowCommands[windowState_]);
        BringToFront();
        if (Application->MainForm() != nullptr) Application->MainForm()->RefreshMDIMenu();
      } else {
        ShowWindowForState();
      }
    } else {
      try {
        DoHide();
      } catch (...) {
        if (Application != nullptr) Application->HandleException(this);
      }
      if (Screen != nullptr && Screen->ActiveForm() == this) MergeMenu(false);
      HWND wnd = Handle();
      if (::GetActiveWindow() == wnd && !::IsIconic(wnd)) {
        // Another of the application's windows becomes active.
        HWND next = nullptr;
        if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm() != this &&
            Application->MainForm()->HandleAllocated() && ::IsWindowVisible(Application->MainForm()->Handle())) {
          next = Application->MainForm()->Handle();
        }
        ::ShowWindow(wnd, SW_HIDE);
        if (next != nullptr) ::SetActiveWindow(next);
      } else {
        ::ShowWindow(wnd, SW_HIDE);
      }
    }
  } catch (...) {
    formState_.Exclude(fsShowing);
    throw;
  }
  formState_.Exclude(fsShowing);
}

void TCustomForm::DoShow() { onShow_(this); }

void TCustomForm::DoHide() { onHide_(this); }

// ---- Modal forms ------------------------------------------------------------------------------------------

Integer TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal) || formStyle_ == fsMDIChild) {
    throw EInvalidOperation(SCannotShowModal);
  }
  if (HWND capture = ::GetCapture()) ::SendMessage(capture, WM_CANCELMODE, 0, 0);
  ::ReleaseCapture();
  Application->ModalStarted();
  formState_.Include(fsModal);
  HWND activeWindow = ::GetActiveWindow();
  Screen->saveFocusedList_.insert(Screen->saveFocusedList_.begin(), Screen->focusedForm_);
  Screen->focusedForm_ = this;
  TCursor saveCursor = Screen->Cursor();
  Screen->SetCursor(crDefault);
  std::vector<HWND> windowList = DisableTaskWindows(nullptr);
  Integer result = mrNone;
  // The form may be freed while its loop runs (by a handler, or with its owner): it is then left alone
  // and the answer is mrCancel.
  std::weak_ptr<bool> alive = AliveToken();
  auto isAlive = [&alive]() { return !alive.expired() && *alive.lock(); };
  auto restore = [&]() {
    EnableTaskWindows(windowList);
    if (!Screen->saveFocusedList_.empty()) {
      Screen->focusedForm_ = Screen->saveFocusedList_.front();
      Screen->saveFocusedList_.erase(Screen->saveFocusedList_.begin());
    } else {
      Screen->focusedForm_ = nullptr;
    }
    Screen->SetCursor(saveCursor);
    if (activeWindow != nullptr && ::IsWindow(activeWindow)) ::SetActiveWindow(activeWindow);
    if (isAlive()) formState_.Exclude(fsModal);
    Application->ModalFinished();
  };
  try {
    // The modal form belongs to the window that was active, so it stays in front of it.
    if (HandleAllocated() && activeWindow != nullptr && activeWindow != Handle()) {
      ::SetWindowLongPtr(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(activeWindow));
    }
    Show();
    try {
      ::SendMessage(Handle(), CM_ACTIVATE, 0, 0);
      modalResult_ = mrNone;
      // The application ending while the form is shown cancels it; a form shown after the end was
      // asked for (a message during shutdown) still waits for its answer.
      bool terminatedBefore = Application->Terminated();
      bool gone = false;
      do {
        Application->HandleMessage();
        if (!isAlive()) {
          gone = true;
          break;
        }
        if (Application->Terminated() && !terminatedBefore) {
          modalResult_ = mrCancel;
        } else if (modalResult_ != mrNone) {
          CloseModal();
          if (!isAlive()) {
            gone = true;
            break;
          }
        }
      } while (modalResult_ == mrNone);
      result = gone ? mrCancel : modalResult_;
      if (isAlive()) ::SendMessage(Handle(), CM_DEACTIVATE, 0, 0);
    } catch (...) {
      if (isAlive() && Visible()) Hide();
      throw;
    }
    if (isAlive() && Visible()) Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  try {
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
  } catch (...) {
    modalResult_ = mrNone;
    if (Application != nullptr) Application->HandleException(this);
    return;
  }
  switch (action) {
    case caNone: modalResult_ = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

// ---- Closing ------------------------------------------------------------------------------------------------

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action;
  if (formStyle_ == fsMDIChild) {
    action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  } else {
    action = caHide;
  }
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

bool TCustomForm::CloseQuery() {
  if (formStyle_ == fsMDIForm) {
    for (Integer i = 0; i < MDIChildCount(); ++i) {
      if (!MDIChildren(i)->CloseQuery()) return false;
    }
  }
  bool canClose = true;
  onCloseQuery_(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) { onClose_(this, Action); }

void TCustomForm::Release() { ::PostMessage(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage& Message) {
  (void)Message;
  FreeObject(this);
}

void TCustomForm::WMClose(TMessage& Message) {
  (void)Message;
  Close();
}

// ---- Focus -------------------------------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (activeControl_ == Control) return;
  if (Control != nullptr) {
    bool loading = ComponentState().Contains(csLoading);
    if (Control == this || GetParentForm(Control) != this || (!loading && !Control->CanFocus())) {
      throw EInvalidOperation(controlsconsts::SCannotFocus);
    }
  }
  activeControl_ = Control;
  if (Control != nullptr) Control->FreeNotification(this);
  if (!ComponentState().Contains(csLoading)) {
    if (active_) SetWindowFocus();
  }
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = active_;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!(Visible() && Enabled())) throw EInvalidOperation(controlsconsts::SCannotFocus);
  SetWindowFocus();
}

bool TCustomForm::CanFocus() { return Visible() && Enabled(); }

void TCustomForm::SetWindowFocus() {
  HWND focus = nullptr;
  if (activeControl_ != nullptr && formStyle_ != fsMDIForm) {
    focus = activeControl_->Handle();
  } else {
    focus = Handle();
  }
  if (focus != nullptr) ::SetFocus(focus);
}

void TCustomForm::SetActive(bool Value) {
  active_ = Value;
  if (!Value) return;
  if (activeControl_ == nullptr && !ComponentState().Contains(csDesigning)) {
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (first != nullptr) {
      activeControl_ = first;
      first->FreeNotification(this);
    }
  }
  MergeMenu(true);
  SetWindowFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++FocusCount;
  activeControl_ = Control != this ? Control : nullptr;
  if (activeControl_ != nullptr) activeControl_->FreeNotification(this);
  if (Screen != nullptr) Screen->SetActive(this, Control);
  if (Control->ControlState().Contains(csFocusing)) return false;
  TControlState state = Control->ControlState();
  state.Include(csFocusing);
  Control->SetControlState(state);
  std::weak_ptr<bool> controlAlive = Control->AliveToken();
  auto done = [&]() {
    if (!controlAlive.expired() && *controlAlive.lock()) {
      TControlState s = Control->ControlState();
      s.Exclude(csFocusing);
      Control->SetControlState(s);
    }
  };
  try {
    if (Screen->focusedForm_ != this) {
      if (Screen->focusedForm_ != nullptr) {
        HWND previous = Screen->focusedForm_->HandleAllocated() ? Screen->focusedForm_->Handle() : nullptr;
        Screen->focusedForm_ = nullptr;
        if (!SendFocusMessage(previous, CM_DEACTIVATE)) {
          done();
          return false;
        }
      }
      Screen->focusedForm_ = this;
      if (!SendFocusMessage(Handle(), CM_ACTIVATE)) {
        done();
        return false;
      }
    }
    if (focusedControl_ == nullptr) focusedControl_ = this;
    if (focusedControl_ != Control) {
      // Exit from the controls that do not contain the new one, inner first; then enter the ones that
      // do, outer first. A handler that moves the focus ends the steps.
      while (focusedControl_ != nullptr && !focusedControl_->ContainsControl(Control)) {
        HWND h = focusedControl_->HandleAllocated() ? focusedControl_->Handle() : nullptr;
        focusedControl_ = focusedControl_->Parent();
        if (!SendFocusMessage(h, CM_EXIT)) {
          done();
          return false;
        }
      }
      while (focusedControl_ != Control) {
        TWinControl* temp = Control;
        while (temp->Parent() != focusedControl_) temp = temp->Parent();
        focusedControl_ = temp;
        if (!SendFocusMessage(temp->Handle(), CM_ENTER)) {
          done();
          return false;
        }
      }
      for (TWinControl* p = Control->Parent(); p != nullptr; p = p->Parent()) {
        if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(p)) scrolling->AutoScrollInView(Control);
      }
      Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
  } catch (...) {
    done();
    throw;
  }
  done();
  if (Screen != nullptr) Screen->UpdateLastActive();
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(focusedControl_)) focusedControl_ = Control->Parent();
  if (Control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
    if (!ComponentState().Contains(csDestroying) && active_ && HandleAllocated()) SetWindowFocus();
  }
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (active_ && activeControl_ != nullptr) {
    activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  }
  if (formStyle_ == fsMDIForm) {
    if (TCustomForm* child = ActiveMDIChild()) child->SendCancelMode(Sender);
  }
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
  bool handled = false;
  onShortCut_(Message, handled);
  if (handled) return true;
  if (menu_ != nullptr && menu_->WindowHandle() != nullptr) {
    if (menu_->IsShortCut(Message)) return true;
    if (mergedChild_ != nullptr && mergedChild_->menu_ != nullptr && mergedChild_->menu_->IsShortCut(Message)) {
      return true;
    }
  }
  if (formStyle_ == fsMDIForm) {
    if (TCustomForm* child = ActiveMDIChild()) {
      if (child->IsShortCut(Message)) return true;
    }
  }
  return false;
}

// ---- Activation ----------------------------------------------------------------------------------------------

void TCustomForm::Activate() { onActivate_(this); }

void TCustomForm::Deactivate() { onDeactivate_(this); }

void TCustomForm::WMActivate(TWMActivate& Message) {
  if (formStyle_ != fsMDIForm || ComponentState().Contains(csDesigning)) {
    SetActive(Message.Active() != WA_INACTIVE);
  } else {
    DefaultHandler(Message);
  }
}

void TCustomForm::CMActivate(TMessage& Message) {
  (void)Message;
  formState_.Include(fsActivated);
  Activate();
}

void TCustomForm::CMDeactivate(TMessage& Message) {
  (void)Message;
  Deactivate();
}

// ---- Keys ----------------------------------------------------------------------------------------------------

void TCustomForm::CMDialogKey(TCMDialogKey& Message) {
  if (::GetKeyState(VK_MENU) >= 0) {
    switch (Message.CharCode()) {
      case VK_TAB:
        if (::GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, ::GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
          // The arrows move among the controls of one group (one parent), tab stops or not.
          activeControl_->Parent()->SelectNext(activeControl_,
                                               Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
      default:
        break;
    }
  }
  TScrollingWinControl::CMDialogKey(Message);
}

void TCustomForm::WMNextDlgCtl(TMessage& Message) {
  if (Message.LParamLo() != 0) {
    if (TWinControl* control = FindControl(reinterpret_cast<HWND>(Message.WParam))) {
      if (control->CanFocus()) control->SetFocus();
    }
  } else {
    SelectNext(activeControl_, Message.WParam == 0, true);
  }
}

void TCustomForm::CMAppSysCommand(TMessage& Message) { Message.Result = 0; }

// ---- Painting --------------------------------------------------------------------------------------------------

void TCustomForm::Paint() { onPaint_(this); }

void TCustomForm::WMPaint(TWMPaint& Message) {
  if (HandleAllocated() && ::IsIconic(Handle())) {
    DefaultHandler(Message);
    return;
  }
  TControlState state = ControlState();
  state.Include(csCustomPaint);
  SetControlState(state);
  try {
    TScrollingWinControl::WMPaint(Message);
  } catch (...) {
    state = ControlState();
    state.Exclude(csCustomPaint);
    SetControlState(state);
    throw;
  }
  state = ControlState();
  state.Exclude(csCustomPaint);
  SetControlState(state);
}

void TCustomForm::PaintWindow(HDC DC) {
  canvas_->Lock();
  try {
    canvas_->SetHandle(DC);
    try {
      Paint();
    } catch (...) {
      canvas_->SetHandle(nullptr);
      throw;
    }
    canvas_->SetHandle(nullptr);
  } catch (...) {
    canvas_->Unlock();
    throw;
  }
  canvas_->Unlock();
}

void TCustomForm::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (formStyle_ == fsMDIForm) {
    Message.Result = 1;  // the client window covers the form
    return;
  }
  TScrollingWinControl::WMEraseBkgnd(Message);
}

void TCustomForm::WMSize(TWMSize& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    switch (Message.SizeType()) {
      case SIZE_MINIMIZED: windowState_ = wsMinimized; break;
      case SIZE_MAXIMIZED: windowState_ = wsMaximized; break;
      // A window made but not yet shown is sized before it shows in the state the form asks for.
      case SIZE_RESTORED:
        if (::IsWindowVisible(Handle())) windowState_ = wsNormal;
        break;
      default: break;
    }
  }
  TScrollingWinControl::WMSize(Message);
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TScrollingWinControl::AlignControls(AControl, Rect);
  if (clientHandle_ != nullptr) {
    ::SetWindowPos(clientHandle_, HWND_BOTTOM, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
  DefaultHandler(Message);
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  if (info == nullptr) return;
  TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
  if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
  if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
  if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
}

void TCustomForm::CMTextChanged(TMessage& Message) {
  TScrollingWinControl::CMTextChanged(Message);
  if (formStyle_ == fsMDIChild && Application != nullptr && Application->MainForm() != nullptr) {
    Application->MainForm()->RefreshMDIMenu();
  }
}

void TCustomForm::CMIconChanged(TMessage& Message) {
  (void)Message;
  if (!HandleAllocated() || icon_->Empty()) return;
  ::SendMessage(Handle(), WM_SETICON, ICON_BIG, 0);
}

void TCustomForm::WMSysCommand(TWMSysCommand& Message) {
  if (Message.CmdType() == SC_MINIMIZE && Application != nullptr && Application->MainForm() == this) {
    Application->Minimize();
    return;
  }
  TScrollingWinControl::WMSysCommand(Message);
}

// ---- The message path --------------------------------------------------------------------------------------------

void TCustomForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
      if (formStyle_ == fsMDIChild) break;
      break;
    default:
      break;
  }
  TScrollingWinControl::WndProc(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE: WMActivate(static_cast<TWMActivate&>(Message)); break;
    case WM_CLOSE: WMClose(Message); break;
    case WM_INITMENUPOPUP: WMInitMenuPopup(static_cast<TWMInitMenuPopup&>(Message)); break;
    case WM_MENUSELECT: WMMenuSelect(static_cast<TWMMenuSelect&>(Message)); break;
    case WM_MENUCHAR: WMMenuChar(static_cast<TWMMenuChar&>(Message)); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); break;
    case WM_MDIACTIVATE: WMMDIActivate(Message); break;
    case WM_NEXTDLGCTL: WMNextDlgCtl(Message); break;
    case CM_ACTIVATE: CMActivate(Message); break;
    case CM_DEACTIVATE: CMDeactivate(Message); break;
    case CM_ICONCHANGED: CMIconChanged(Message); break;
    case CM_RELEASE: CMRelease(Message); break;
    case CM_MENUCHANGED: CMMenuChanged(Message); break;
    case CM_APPSYSCOMMAND: CMAppSysCommand(Message); break;
    default: TScrollingWinControl::Dispatch(Message); break;
  }
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (HandleAllocated() && clientHandle_ != nullptr && Message.Msg < CM_BASE) {
    // The frame of an MDI client: the frame's default handling.
    Message.Result = k58::forms::DefFrameProcFor(Handle(), clientHandle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (HandleAllocated() && formStyle_ == fsMDIChild && Message.Msg < CM_BASE) {
    Message.Result = k58::forms::DefMDIChildProcFor(Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TScrollingWinControl::DefaultHandler(Message);
}

void TCustomForm::WMCommand(TWMCommand& Message) {
  if (Message.Ctl() == nullptr && menu_ != nullptr) {
    if (menu_->DispatchCommand(Message.ItemID())) return;
    if (mergedChild_ != nullptr && mergedChild_->menu_ != nullptr &&
        mergedChild_->menu_->DispatchCommand(Message.ItemID())) {
      return;
    }
  }
  TScrollingWinControl::WMCommand(Message);
}

void TCustomForm::WMInitMenuPopup(TWMInitMenuPopup& Message) {
  if (menu_ != nullptr && !menu_->DispatchPopup(Message.MenuPopup())) {
    if (mergedChild_ != nullptr && mergedChild_->menu_ != nullptr) mergedChild_->menu_->DispatchPopup(Message.MenuPopup());
  }
  DefaultHandler(Message);
}

void TCustomForm::WMMenuSelect(TWMMenuSelect& Message) {
  DefaultHandler(Message);
  if (menu_ == nullptr || Application == nullptr) return;
  TMenuItem* item = nullptr;
  constexpr Word MF_POPUP_FLAG = 0x0010;
  if (Message.MenuFlag() != 0xFFFF || Message.Menu() != nullptr) {
    if ((Message.MenuFlag() & MF_POPUP_FLAG) != 0 && Message.Menu() != nullptr) {
      item = menu_->FindItem(reinterpret_cast<UINT_PTR>(Message.Menu()), fkHandle);
    } else {
      item = menu_->FindItem(Message.IDItem(), fkCommand);
    }
  }
  Application->SetHint(item != nullptr ? GetLongHint(item->Hint()) : String());
}

void TCustomForm::WMMenuChar(TWMMenuChar& Message) { DefaultHandler(Message); }

void TCustomForm::WMDrawItem(TWMDrawItem& Message) {
  if (k58::forms::MenuDrawItem(this, Message)) return;
  TScrollingWinControl::WMDrawItem(Message);
}

void TCustomForm::WMMeasureItem(TWMMeasureItem& Message) {
  if (k58::forms::MenuMeasureItem(this, Message)) return;
  TScrollingWinControl::WMMeasureItem(Message);
}

// ---- Menus -------------------------------------------------------------------------------------------------------

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (menu_ == Value) return;
  if (Value != nullptr) {
    // A menu belongs to one form.
    for (Integer i = 0; Screen != nullptr && i < Screen->FormCount(); ++i) {
      TCustomForm* form = Screen->Forms(i);
      if (form != this && form->menu_ == Value) form->SetMenu(nullptr);
    }
  }
  if (menu_ != nullptr) menu_->RemoveFreeNotification(this);
  menu_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
  if (HandleAllocated() && !ComponentState().Contains(csLoading)) UpdateMenuBar();
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
  if (windowMenu_ == Value) return;
  windowMenu_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
  RefreshMDIMenu();
}

void TCustomForm::CMMenuChanged(TMessage& Message) {
  (void)Message;
  UpdateMenuBar();
}

void TCustomForm::UpdateMenuBar() {
  if (!HandleAllocated()) return;
  HMENU bar = nullptr;
  // A menu merged into the main form's is not shown on its own form.
  bool ownBar = menu_ != nullptr && formStyle_ != fsMDIChild &&
                !(menu_->AutoMerge() && Application != nullptr && Application->MainForm() != this);
  if (ownBar) {
    bar = menu_->Handle();
    menu_->SetWindowHandle(Handle());
  }
  if (clientHandle_ != nullptr) {
    SetMDIMenu(clientHandle_, bar, windowMenu_ != nullptr ? windowMenu_->Handle() : nullptr);
    RedrawMenuBar(Handle());
  } else {
    k58::forms::SetWindowMenuBar(this, bar);
  }
  appliedMenu_ = bar;
}

void TCustomForm::MergeMenu(bool MergeState) {
  if (Application == nullptr || formState_.Contains(fsModal)) return;
  TCustomForm* main = Application->MainForm();
  if (main == nullptr || main == this || main->menu_ == nullptr) return;
  if (formStyle_ != fsMDIChild && main->formStyle_ == fsMDIForm) return;
  // An MDI child's menu always merges into the frame's; another form's only with AutoMerge.
  bool merges = menu_ != nullptr && (formStyle_ == fsMDIChild || menu_->AutoMerge());
  if (MergeState) {
    if (!merges) {
      // An active MDI child without a menu of its own leaves the frame with its own menu.
      TCustomForm* previous = main->mergedChild_;
      if (formStyle_ == fsMDIChild && previous != nullptr && previous != this) {
        main->mergedChild_ = nullptr;
        if (previous->menu_ != nullptr) main->menu_->Unmerge(previous->menu_);
      }
      return;
    }
    main->mergedChild_ = this;
    FreeNotification(main);
    main->menu_->Merge(menu_);
  } else if (menu_ != nullptr && main->mergedChild_ == this) {
    main->mergedChild_ = nullptr;
    main->menu_->Unmerge(menu_);
  }
}

// ---- Data modules --------------------------------------------------------------------------------------------------

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
  if (Screen != nullptr) Screen->AddDataModule(this);
}

TDataModule::TDataModule(TComponent* AOwner, Integer Dummy) : TComponent(AOwner) {
  (void)Dummy;
  createNew_ = true;
  if (Screen != nullptr) Screen->AddDataModule(this);
}

TDataModule::~TDataModule() {
  if (Screen != nullptr) Screen->RemoveDataModule(this);
}

void TDataModule::AfterConstruction() {
  TComponent::AfterConstruction();
  if (!createNew_ && ClassType() != TDataModule::StaticClass()) {
    if (!InitInheritedComponent(this, TDataModule::StaticClass())) {
      throw EResNotFound(Format(SResNotFound, ClassName()));
    }
  }
  DoCreate();
}

void TDataModule::BeforeDestruction() {
  TComponent::BeforeDestruction();
  DoDestroy();
  DestroyComponents();
  if (Screen != nullptr) Screen->RemoveDataModule(this);
}

void TDataModule::DoCreate() {
  try {
    onCreate_(this);
  } catch (...) {
    if (Application != nullptr) {
      Application->HandleException(this);
    } else {
      throw;
    }
  }
}

void TDataModule::DoDestroy() {
  try {
    onDestroy_(this);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(this);
  }
}

void TDataModule::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  for (const char* name : {"Left", "Top", "Width", "Height", "HorizontalOffset", "VerticalOffset", "PixelsPerInch"}) {
    Filer->DefineProperty(name, [](TReader* Reader) { Reader->ReadInteger(); }, nullptr, false);
  }
}

void TDataModule::GetChildren(TGetChildProc Proc, TComponent* Root) {
  (void)Root;
  for (Integer i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) Proc(c);
  }
}
