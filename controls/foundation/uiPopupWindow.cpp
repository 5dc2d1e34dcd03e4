// Popup windows: placement next to the owner rectangle, fitting to the children, the frame; the shown
// list of library popups and the hooks that close them.
#include "controls/foundation/uiPopupWindow.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"

#include <algorithm>

#include "platform/win/core/WinUser.h"

namespace k58::foundation {

namespace {

// The corner of the popup for the given alignments (step one of the placement).
TPoint AnchorFor(const TuiPopupPlacement& P, TuiPopupAlignment AHorz, TuiPopupAlignment AVert) {
  const TRect& r = P.OwnerRect;
  TPoint origin{(r.left + r.right - P.Width) / 2, (r.top + r.bottom - P.Height) / 2};
  if (P.Direction == pdVertical) {
    if (AHorz == palBefore) origin.x = r.left;
    if (AHorz == palAfter) origin.x = r.right - P.Width;
    if (AVert == palBefore) origin.y = r.top - P.Height;
    if (AVert == palAfter) origin.y = r.bottom;
  } else {
    if (AHorz == palBefore) origin.x = r.left - P.Width;
    if (AHorz == palAfter) origin.x = r.right;
    if (AVert == palBefore) origin.y = r.top;
    if (AVert == palAfter) origin.y = r.bottom - P.Height;
  }
  return origin;
}

}  // namespace

TRect WorkAreaNear(const TPoint& P) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfo(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &info)) {
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
  }
  return info.rcWork;
}

TPoint ComputePopupOrigin(const TuiPopupPlacement& P) {
  TuiPopupAlignment horz = P.HorzAlignment;
  TuiPopupAlignment vert = P.VertAlignment;
  TPoint origin = AnchorFor(P, horz, vert);
  const TRect area = WorkAreaNear(origin);
  const TRect& r = P.OwnerRect;
  if (P.Direction == pdVertical) {
    const bool moreRoomAbove = area.bottom - r.bottom < r.top - area.top;
    if (vert == palAfter && origin.y + P.Height > area.bottom && moreRoomAbove) vert = palBefore;
    else if (vert == palBefore && origin.y < area.top && !moreRoomAbove) vert = palAfter;
  } else {
    const bool moreRoomLeft = area.right - r.right < r.left - area.left;
    if (horz == palAfter && origin.x + P.Width > area.right && moreRoomLeft) horz = palBefore;
    else if (horz == palBefore && origin.x < area.left && !moreRoomLeft) horz = palAfter;
  }
  origin = AnchorFor(P, horz, vert);
  if (P.Direction == pdVertical || horz == palCenter) {
    if (origin.x + P.Width > area.right) origin.x = area.right - P.Width;
    if (origin.x < area.left) origin.x = area.left;
  }
  if (P.Direction == pdHorizontal || vert == palCenter) {
    if (origin.y + P.Height > area.bottom) origin.y = area.bottom - P.Height;
    if (origin.y < area.top) origin.y = area.top;
  }
  return origin;
}

}  // namespace k58::foundation

// ---- TuiPopupWindow ---------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiPopupWindow) {}

TuiPopupWindow::TuiPopupWindow(TComponent* AOwner) : TForm(AOwner, 0) {
  SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  canvas_ = std::make_unique<TuiCanvas>(Canvas());
}

TuiPopupWindow::~TuiPopupWindow() = default;

Integer TuiPopupWindow::BorderWidthFor(TuiBorder) {
  switch (popupBorderStyle_) {
    case 0: return 0;
    case 3: return 2;
    default: return 1;
  }
}

void TuiPopupWindow::SetPopupBorderStyle(TuiPopupBorderStyle Value) {
  if (Value == popupBorderStyle_) return;
  const Integer dx = BorderOffset(bLeft), dy = BorderOffset(bTop);
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    child->SetBounds(child->Left() - dx, child->Top() - dy, child->Width(), child->Height());
  }
  popupBorderStyle_ = Value;
}

void TuiPopupWindow::InheritOwnerFont() {
  if (ownerParent_ != nullptr) SetFont(ownerParent_->Font());
}

void TuiPopupWindow::FitToContent() {
  if (!adjustable_) return;
  const Integer left = BorderOffset(bLeft), top = BorderOffset(bTop);
  Integer right = 0, bottom = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    right = std::max(right, child->Left() + child->Width());
    bottom = std::max(bottom, child->Top() + child->Height());
    child->SetBounds(child->Left() + left, child->Top() + top, child->Width(), child->Height());
  }
  if (ControlCount() == 0) return;
  SetWidth(left + right + BorderOffset(bRight));
  SetHeight(top + bottom + BorderOffset(bBottom));
}

void TuiPopupWindow::DrawPopupFrame() {
  const TRect r{0, 0, Width(), Height()};
  switch (popupBorderStyle_) {
    case 1:
      canvas_->DrawBorderLines(r, frameColor_, 1, uiAllBorders);
      break;
    case 2:
      canvas_->DrawEdge3D(r, false, false);
      break;
    case 3: {
      canvas_->DrawEdge3D(r, false, true);
      TRect inner = r;
      InflateRect(&inner, -1, -1);
      canvas_->DrawEdge3D(inner, false, false);
      break;
    }
    default:
      break;
  }
}

void TuiPopupWindow::ComputePopupOrigin(TPoint& P) {
  k58::foundation::TuiPopupPlacement placement;
  placement.OwnerRect = ownerBounds_;
  if (ownerParent_ != nullptr) {
    const TPoint topLeft = ownerParent_->ClientToScreen(TPoint{ownerBounds_.left, ownerBounds_.top});
    OffsetRect(&placement.OwnerRect, topLeft.x - ownerBounds_.left, topLeft.y - ownerBounds_.top);
  }
  placement.Width = Width();
  placement.Height = Height();
  placement.Direction = direction_;
  placement.HorzAlignment = alignHorz_;
  placement.VertAlignment = alignVert_;
  P = k58::foundation::ComputePopupOrigin(placement);
}

void TuiPopupWindow::Popup() {
  InheritOwnerFont();
  FitToContent();
  TPoint origin;
  ComputePopupOrigin(origin);
  SetBounds(origin.x, origin.y, Width(), Height());
  Show();
}

void TuiPopupWindow::Paint() {
  TForm::Paint();
  DrawPopupFrame();
}

void TuiPopupWindow::Deactivate() {
  TForm::Deactivate();
  ClosePopup();
}

void TuiPopupWindow::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
      TForm::WndProc(Message);
      // The window that lost the activation to the popup keeps an active caption.
      if (LOWORD(Message.WParam) != WA_INACTIVE) {
        previousActiveWindow_ = reinterpret_cast<HWND>(Message.LParam);
        if (previousActiveWindow_ != nullptr && IsWindow(previousActiveWindow_))
          SendMessage(previousActiveWindow_, WM_NCACTIVATE, TRUE, 0);
      }
      return;
    case WM_ACTIVATEAPP:
      DefaultHandler(Message);
      if (Message.WParam == 0) {
        if (previousActiveWindow_ != nullptr && IsWindow(previousActiveWindow_))
          SendMessage(previousActiveWindow_, WM_NCACTIVATE, FALSE, 0);
        ClosePopup();
      }
      return;
    case CM_VISIBLECHANGED:
      TForm::WndProc(Message);
      VisibleChanged();
      return;
    default:
      TForm::WndProc(Message);
  }
}

// ---- TuiCustomPopupWindow ---------------------------------------------------------------------------

namespace k58::foundation {

namespace {

std::vector<TuiCustomPopupWindow*> shownPopups;
HHOOK popupWndProcHook = nullptr;
HHOOK popupGetMessageHook = nullptr;
HHOOK popupMouseHook = nullptr;
// Set while an outside click closes a popup: the owner form's caption stays active through it.
bool clickClosing = false;

Integer ShownIndex(const TuiCustomPopupWindow* APopup) {
  const auto it = std::find(shownPopups.begin(), shownPopups.end(), APopup);
  return it == shownPopups.end() ? -1 : static_cast<Integer>(it - shownPopups.begin());
}

void RemoveShown(const TuiCustomPopupWindow* APopup) {
  const auto it = std::find(shownPopups.begin(), shownPopups.end(), APopup);
  if (it != shownPopups.end()) shownPopups.erase(it);
}

bool IsComponentDestroying(TComponent* AComponent) {
  return AComponent != nullptr && AComponent->ComponentState().Contains(csDestroying);
}

TWinControl* WindowedOwner(TuiCustomPopupWindow* APopup) {
  return dynamic_cast<TWinControl*>(APopup->OwnerControl());
}

TCustomForm* OwnerForm(TuiCustomPopupWindow* APopup) {
  return APopup->OwnerControl() != nullptr ? GetParentForm(APopup->OwnerControl()) : nullptr;
}

bool HasWindow(TWinControl* AControl, HWND AWnd) {
  return AControl != nullptr && AControl->HandleAllocated() && AControl->Handle() == AWnd;
}

bool IsWindowOrInside(TWinControl* AControl, HWND AWnd) {
  return AControl != nullptr && AControl->HandleAllocated() &&
         (AControl->Handle() == AWnd || IsChild(AControl->Handle(), AWnd));
}

// The owner rectangle of a popup on the screen.
TRect OwnerScreenRect(TuiCustomPopupWindow* APopup) {
  TRect r = APopup->OwnerBounds();
  if (APopup->OwnerParent() != nullptr) {
    const TPoint origin = APopup->OwnerParent()->ClientToScreen(TPoint{0, 0});
    OffsetRect(&r, origin.x, origin.y);
  }
  return r;
}

// ---- Window-procedure hook ----

void PopupWindowDestroyed(HWND AWnd) {
  for (TuiCustomPopupWindow* popup : std::vector(shownPopups))
    if (!IsComponentDestroying(popup) && HasWindow(popup, AWnd)) {
      popup->Close();
      return;
    }
}

void WindowClosing(HWND AWnd) {
  for (TuiCustomPopupWindow* popup : std::vector(shownPopups)) {
    if (IsComponentDestroying(popup)) continue;
    TControl* owner = popup->OwnerControl();
    if (HasWindow(popup, AWnd)) {
      const bool takesFocus = popup->TakeFocus();
      popup->Close();
      // Closing a focus-taking popup's own window closes the form it belongs to as well.
      if (ShownIndex(popup) < 0 && takesFocus && owner != nullptr && !IsComponentDestroying(owner))
        if (TCustomForm* form = GetParentForm(owner); form != nullptr && form->HandleAllocated())
          SendMessage(form->Handle(), WM_CLOSE, 0, 0);
      return;
    }
    if (!popup->TakeFocus() && !IsComponentDestroying(owner)) {
      TCustomForm* form = OwnerForm(popup);
      if (form == nullptr || !form->HandleAllocated() || form->Handle() == AWnd) popup->ClosePopup();
      return;
    }
  }
}

void WindowHiding(HWND AWnd) {
  for (Integer i = static_cast<Integer>(shownPopups.size()) - 1; i >= 0; --i) {
    TuiCustomPopupWindow* popup = shownPopups[static_cast<size_t>(i)];
    if (IsComponentDestroying(popup) || IsComponentDestroying(popup->OwnerControl())) continue;
    if (!HasWindow(WindowedOwner(popup), AWnd)) continue;
    // This popup and those opened after it (from inside it), the last first.
    while (static_cast<Integer>(shownPopups.size()) > i) {
      const size_t before = shownPopups.size();
      shownPopups.back()->ClosePopup();
      if (shownPopups.size() == before) break;
    }
    return;
  }
}

void WindowMoved(HWND AWnd) {
  if (IsWindowVisible(AWnd)) return;
  for (bool closed = true; closed;) {
    closed = false;
    for (TuiCustomPopupWindow* popup : shownPopups)
      if (popup->HandleAllocated() && HasWindow(WindowedOwner(popup), AWnd)) {
        popup->ClosePopup();
        closed = true;
        break;
      }
  }
}

void ApplicationDeactivating() {
  for (size_t i = 0; i < shownPopups.size();) {
    TuiCustomPopupWindow* popup = shownPopups[i];
    if (TCustomForm* form = OwnerForm(popup); form != nullptr && form->HandleAllocated())
      PostMessage(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    const bool isActiveForm = Screen != nullptr && Screen->ActiveCustomForm() == popup;
    if ((!popup->TakeFocus() || !isActiveForm) && popup->HandleAllocated() && IsWindowEnabled(popup->Handle())) {
      TControl* owner = popup->OwnerControl();
      popup->ClosePopup();
      if (auto* container = dynamic_cast<TuiContainer*>(owner)) static_cast<TuiControl*>(container)->FocusStateChanged();
      i = 0;
      continue;
    }
    ++i;
  }
}

bool IsOwnerFormOfShownPopup(HWND AWnd) {
  for (TuiCustomPopupWindow* popup : shownPopups)
    if (TCustomForm* form = OwnerForm(popup); HasWindow(form, AWnd)) return true;
  return false;
}

LRESULT CALLBACK PopupWndProcHookProc(int ACode, WPARAM WParam, LPARAM LParam) {
  if (ACode == HC_ACTION && !shownPopups.empty()) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(LParam);
    switch (m.message) {
      case WM_DESTROY: PopupWindowDestroyed(m.hwnd); break;
      case WM_CLOSE: WindowClosing(m.hwnd); break;
      case WM_SHOWWINDOW:
        if (m.wParam == 0) WindowHiding(m.hwnd);
        break;
      case WM_WINDOWPOSCHANGED: WindowMoved(m.hwnd); break;
      case WM_ACTIVATEAPP:
        if (m.wParam == 0) ApplicationDeactivating();
        break;
      case WM_NCACTIVATE:
        // The owner form's caption stays active while its popup takes the activation.
        if (m.wParam == 0 && (clickClosing || IsOwnerFormOfShownPopup(m.hwnd))) SwallowNextNcDeactivate(m.hwnd);
        break;
      default: break;
    }
  }
  return CallNextHookEx(popupWndProcHook, ACode, WParam, LParam);
}

// ---- Message hook ----

LRESULT CALLBACK PopupGetMessageHookProc(int ACode, WPARAM WParam, LPARAM LParam) {
  if (ACode == HC_ACTION && WParam == PM_REMOVE && !shownPopups.empty()) {
    MSG& msg = *reinterpret_cast<MSG*>(LParam);
    TuiCustomPopupWindow* last = shownPopups.back();
    // System keys (menu short-cuts) do nothing while a popup without its own loop is open.
    if (msg.message == WM_SYSKEYDOWN && !(last->TakeFocus() && last->ModalLoop()) &&
        !last->IsPopupNavigationKey(static_cast<Word>(msg.wParam)))
      msg.message = WM_NULL;
  }
  return CallNextHookEx(popupGetMessageHook, ACode, WParam, LParam);
}

// ---- Mouse hook ----

bool IsMdiWindowOf(TCustomForm* AForm, HWND AWnd) {
  if (AForm == nullptr || AForm->FormStyle() != fsMDIChild || Application == nullptr) return false;
  TCustomForm* frame = Application->MainForm();
  if (frame == nullptr || !frame->HandleAllocated()) return false;
  if (frame->ClientHandle() == AWnd || IsWindowOrInside(frame, AWnd)) {
    // Clicks on the frame, its client window or another child; the popup's own child form is not "other".
    return !IsWindowOrInside(AForm, AWnd);
  }
  return false;
}

// False when the click must not reach its window (it fell on an owner that the close hid or freed).
bool HandleOutsideClick(HWND AWnd, UINT AMessage, POINT APoint) {
  bool result = true;
  for (size_t i = 0; i < shownPopups.size();) {
    TuiCustomPopupWindow* popup = shownPopups[i];
    const bool active = Screen != nullptr && Screen->ActiveCustomForm() == popup;
    if ((popup->TakeFocus() && !active) || HasWindow(popup, AWnd) || IsWindowInsideControl(popup, AWnd)) {
      ++i;
      continue;
    }
    TControl* owner = popup->OwnerControl();
    TCustomForm* ownerForm = OwnerForm(popup);
    auto* ownerPopup = dynamic_cast<TuiCustomPopupWindow*>(ownerForm);
    if ((owner != nullptr && IsWindowInForm(owner, AWnd)) || (ownerPopup != nullptr && !ownerPopup->IsShown())) {
      bool onOwnerRect = false;
      if ((AMessage == WM_LBUTTONDOWN || AMessage == WM_LBUTTONDBLCLK) && IsWindowOrInside(WindowedOwner(popup), AWnd)) {
        const TRect r = OwnerScreenRect(popup);
        onOwnerRect = PtInRect(&r, APoint) != FALSE;
        if (onOwnerRect) popup->SetClosedByOwnerClick(true);
      }
      auto weakOwner = owner != nullptr ? owner->AliveToken() : std::weak_ptr<bool>{};
      const bool savedClosing = clickClosing;
      clickClosing = true;
      popup->SetClosingByMessage(true);
      try {
        popup->ClosePopup();
      } catch (...) {
        clickClosing = savedClosing;
        popup->SetClosingByMessage(false);
        throw;
      }
      clickClosing = savedClosing;
      popup->SetClosingByMessage(false);
      if (onOwnerRect && (weakOwner.expired() || IsComponentDestroying(owner) || !owner->Visible())) result = false;
      i = 0;
      continue;
    }
    if (IsMdiWindowOf(ownerForm, AWnd)) {
      popup->ClosePopup();
      i = 0;
      continue;
    }
    ++i;
  }
  return result;
}

LRESULT CALLBACK PopupMouseHookProc(int ACode, WPARAM WParam, LPARAM LParam) {
  if (ACode == HC_ACTION && !shownPopups.empty()) {
    const auto message = static_cast<UINT>(WParam);
    if (message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONDBLCLK || message == WM_LBUTTONDOWN ||
        message == WM_LBUTTONDBLCLK) {
      const MOUSEHOOKSTRUCT& m = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
      if (!HandleOutsideClick(m.hwnd, message, m.pt)) return 1;
    }
  }
  return CallNextHookEx(popupMouseHook, ACode, WParam, LParam);
}

}  // namespace

const std::vector<TuiCustomPopupWindow*>& ShownPopups() { return shownPopups; }

void StartPopupsUnit() {
  const DWORD thread = GetCurrentThreadId();
  popupWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, PopupWndProcHookProc, nullptr, thread);
  popupGetMessageHook = SetWindowsHookExA(WH_GETMESSAGE, PopupGetMessageHookProc, nullptr, thread);
  popupMouseHook = SetWindowsHookExA(WH_MOUSE, PopupMouseHookProc, nullptr, thread);
}

void StopPopupsUnit() {
  for (HHOOK* hook : {&popupMouseHook, &popupGetMessageHook, &popupWndProcHook}) {
    if (*hook != nullptr) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  shownPopups.clear();
  clickClosing = false;
}

}  // namespace k58::foundation

using k58::foundation::ShownIndex;

bool IsWindowInsideControl(TControl* AControl, HWND AWnd) {
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (control == nullptr || AWnd == nullptr || (control->HandleAllocated() && control->Handle() == AWnd)) return false;
  if (control->HandleAllocated() && IsChild(control->Handle(), AWnd)) return true;
  for (Integer i = 0; i < control->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i))) {
      if (child->HandleAllocated() && child->Handle() == AWnd) return true;
      if (IsWindowInsideControl(child, AWnd)) return true;
    }
  if (dynamic_cast<TuiCustomPopupWindow*>(control) == nullptr) return false;
  for (TuiCustomPopupWindow* popup : k58::foundation::ShownPopups()) {
    if (popup == control) continue;
    bool ownedHere = false;
    for (TControl* c = popup->OwnerControl(); c != nullptr && !ownedHere; c = c->Parent()) ownedHere = c == control;
    if (!ownedHere || !popup->HandleAllocated()) continue;
    if (popup->Handle() == AWnd || IsWindowInsideControl(popup, AWnd)) return true;
  }
  return false;
}

bool IsWindowInForm(TControl* AControl, HWND AWnd) {
  TCustomForm* form = AControl != nullptr ? GetParentForm(AControl) : nullptr;
  if (form == nullptr || !form->HandleAllocated() || AWnd == nullptr) return false;
  if (form->Handle() == AWnd || IsChild(form->Handle(), AWnd)) return true;
  // A form placed inside another window tree: the whole tree counts.
  if (form->Parent() == nullptr && GetParent(form->Handle()) != nullptr &&
      (GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_CHILD) != 0) {
    const HWND top = GetAncestor(form->Handle(), GA_ROOT);
    return top == AWnd || IsChild(top, AWnd);
  }
  return false;
}

K58_IMPLEMENT_CLASS(TuiCustomPopupWindow) {}

TuiCustomPopupWindow::TuiCustomPopupWindow(TControl* AOwnerControl)
    : TuiPopupWindow(nullptr), ownerControl_(AOwnerControl) {
  SetFormStyle(fsNormal);
  SetVisible(false);
  SetKeyPreview(true);
}

void TuiCustomPopupWindow::AfterConstruction() {
  TuiPopupWindow::AfterConstruction();
  style_.reset(GetStyleClass()(this, false, nullptr, csNormal));
  style_->SetOnChanged([this](TObject*) {
    UpdateViewInfo();
    StyleChanged();
  });
  viewInfo_.reset(GetViewInfoClass()());
  UpdateViewInfo();
}

TuiCustomPopupWindow::~TuiCustomPopupWindow() {
  k58::foundation::RemoveShown(this);
  viewInfo_.reset();
  if (style_ != nullptr) style_->SetOnChanged(TNotifyEvent{});
  style_.reset();
}

TuiContainerViewInfoClass TuiCustomPopupWindow::GetViewInfoClass() {
  return []() -> TuiContainerViewInfo* { return new TuiContainerViewInfo; };
}

bool TuiCustomPopupWindow::IsPopupShown(TCustomForm* AForm) {
  auto* popup = dynamic_cast<TuiCustomPopupWindow*>(AForm);
  return popup != nullptr && ShownIndex(popup) >= 0;
}

bool TuiCustomPopupWindow::IsPopupFocused() {
  if (!takeFocus_ || !IsShown() || !HandleAllocated()) return false;
  const HWND focus = GetFocus();
  return focus == Handle() || IsWindowInsideControl(this, focus);
}

void TuiCustomPopupWindow::PostCloseMessage() {
  if (HandleAllocated()) PostMessage(Handle(), ClosePopupMessage, 0, 0);
}

void TuiCustomPopupWindow::SetTakeFocus(bool Value) {
  if (Value == takeFocus_) return;
  takeFocus_ = Value;
  if (HandleAllocated()) RecreateWnd();
  if (IsShown()) {
    ClosePopup();
    PopupForControl(focusedControl_);
  }
}

void TuiCustomPopupWindow::SetTopmost(bool Value) {
  if (Value == topmost_) return;
  topmost_ = Value;
  if (HandleAllocated()) RecreateWnd();
  if (IsShown()) {
    ClosePopup();
    PopupForControl(focusedControl_);
  }
}

void TuiCustomPopupWindow::AdjustBoundsToWorkArea(TPoint& P) {
  if (!LimitsToWorkArea()) return;
  const TRect area = k58::foundation::WorkAreaNear(P);
  Integer width = Width(), height = Height();
  if (P.x < area.left) {
    width -= area.left - P.x;
    P.x = area.left;
  }
  if (P.y < area.top) {
    height -= area.top - P.y;
    P.y = area.top;
  }
  if (P.y + height > area.bottom) height = area.bottom - P.y;
  if (P.x + width > area.right) width = area.right - P.x;
  SetWidth(width);
  SetHeight(height);
  // A height the constraints refused: a popup at the top of the area keeps its bottom where it was asked.
  if (Height() != height && P.y == area.top) P.y += height - Height();
}

Integer TuiCustomPopupWindow::PopupForControl(TWinControl* AFocusedControl) {
  if (const Integer index = ShownIndex(this); index >= 0) return index + 1;
  auto alive = AliveToken();
  TWinControl* owner = k58::foundation::WindowedOwner(this);
  if (owner != nullptr && owner->HandleAllocated() && !IsWindowVisible(owner->Handle())) {
    // An owner out of sight: the popup opens and closes at once, so the usual notifications pair up.
    k58::foundation::shownPopups.push_back(this);
    ClosePopup();
    return 0;
  }
  InheritOwnerFont();
  FitToContent();
  TPoint origin;
  ComputePopupOrigin(origin);
  AdjustBoundsToWorkArea(origin);
  k58::foundation::shownPopups.push_back(this);
  onShowing_(this);
  if (alive.expired()) return 0;
  SetBounds(origin.x, origin.y, Width(), Height());
  Show();
  if (!takeFocus_) {
    focusedControl_ = AFocusedControl;
  } else if (AFocusedControl != nullptr && AFocusedControl->CanFocus() && AFocusedControl->TabStop()) {
    focusedControl_ = AFocusedControl;
  } else {
    focusedControl_ = FindNextControl(nullptr, true, true, false);
  }
  if (focusedControl_ != nullptr && focusedControl_->CanFocus())
    focusedControl_->SetFocus();
  else if (takeFocus_ && HandleAllocated())
    ::SetFocus(Handle());
  if (alive.expired()) return 0;
  if (HandleAllocated()) {
    TCustomForm* ownerForm = k58::foundation::OwnerForm(this);
    const bool topmost = !takeFocus_ || ownerForm == nullptr || ownerForm->FormStyle() == fsStayOnTop;
    SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  SetModalResult(mrNone);
  NotifyShowed();
  if (!alive.expired() && takeFocus_ && modalLoop_) RunModalLoop();
  return 0;
}

void TuiCustomPopupWindow::RunModalLoop() {
  auto alive = AliveToken();
  while (!alive.expired() && Visible() && Application != nullptr && !Application->Terminated()) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
           (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != mrNone) {
      if (CloseQuery())
        CloseOnModalResult();
      else
        SetModalResult(mrNone);
      continue;
    }
    Application->HandleMessage();
  }
}

void TuiCustomPopupWindow::ClosePopup() {
  if (ShownIndex(this) < 0) return;
  k58::foundation::RemoveShown(this);
  auto alive = AliveToken();
  NotifyClosing();
  if (alive.expired()) return;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Hide();
  NotifyClosed();
  if (alive.expired() || !HandleAllocated()) return;
  const HWND capture = GetCapture();
  if (capture != nullptr && (capture == Handle() || IsChild(Handle(), capture))) ReleaseCapture();
}

void TuiCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TuiPopupWindow::CreateParams(Params);
  TCustomForm* ownerForm = k58::foundation::OwnerForm(this);
  if (takeFocus_) {
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    Params.WndParent = ownerForm != nullptr && ownerForm->HandleAllocated() ? ownerForm->Handle() : nullptr;
    if (topmost_ && (ownerForm == nullptr || ownerForm->FormStyle() == fsStayOnTop)) Params.ExStyle |= WS_EX_TOPMOST;
    else Params.ExStyle &= ~WS_EX_TOPMOST;
  } else {
    Params.Style = WS_CHILD;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (Params.WndParent == nullptr) Params.WndParent = GetMessageWindow()->Handle();
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TuiCustomPopupWindow::CreateWnd() {
  // The hooks see the window's creation messages as those of a shown popup.
  const bool listed = ShownIndex(this) >= 0;
  if (!listed) k58::foundation::shownPopups.push_back(this);
  try {
    TuiPopupWindow::CreateWnd();
  } catch (...) {
    if (!listed) k58::foundation::RemoveShown(this);
    throw;
  }
  if (!listed) k58::foundation::RemoveShown(this);
  // A non-activating popup is a top-level window of child style: it never becomes active.
  if (!takeFocus_ && HandleAllocated()) ::SetParent(Handle(), nullptr);
}

void TuiCustomPopupWindow::UpdateViewInfo() {
  if (viewInfo_ == nullptr || style_ == nullptr) return;
  TuiContainerViewInfo& view = *viewInfo_;
  view.Bounds = TRect{0, 0, Width(), Height()};
  view.BorderStyle = style_->BorderStyle();
  view.BorderWidth = GetContainerBorderWidth(view.BorderStyle);
  view.BorderColor = style_->BorderColor();
  view.Edges = style_->Edges();
  view.SetBackgroundColor(style_->Color());
  view.BorderRect = view.Bounds;
  InflateRect(&view.BorderRect, -view.BorderWidth, -view.BorderWidth);
  view.ClientRect = view.BorderRect;
}

void TuiCustomPopupWindow::Resize() {
  UpdateViewInfo();
  TuiPopupWindow::Resize();
}

void TuiCustomPopupWindow::AdjustClientRect(TRect& Rect) {
  if (viewInfo_ != nullptr)
    Rect = viewInfo_->ClientRect;
  else
    TuiPopupWindow::AdjustClientRect(Rect);
}

void TuiCustomPopupWindow::Paint() {
  if (viewInfo_ != nullptr) viewInfo_->Draw(PopupCanvas());
}

void TuiCustomPopupWindow::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case ClosePopupMessage: {
      auto alive = AliveToken();
      closingByMessage_ = true;
      try {
        ClosePopup();
      } catch (...) {
        if (!alive.expired()) closingByMessage_ = false;
        throw;
      }
      if (alive.expired()) return;
      closingByMessage_ = false;
      if (TWinControl* owner = k58::foundation::WindowedOwner(this); owner != nullptr && owner->HandleAllocated())
        SendMessage(owner->Handle(), WM_SETFOCUS, 0, 0);
      return;
    }
    case ShowPopupMessage:
      PopupForControl(focusedControl_);
      return;
    case WM_ERASEBKGND:
      if (!ErasesBackground()) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      DefaultHandler(Message);
      return;
    case CM_MOUSEENTER:
      TuiPopupWindow::WndProc(Message);
      if (Message.LParam == 0) MouseEntered();
      return;
    case CM_MOUSELEAVE:
      TuiPopupWindow::WndProc(Message);
      if (Message.LParam == 0) MouseLeft();
      return;
    default:
      break;
  }
  TuiPopupWindow::WndProc(Message);
}

void TuiCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsShown() && HandleAllocated() && GetCapture() == Handle()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  TuiPopupWindow::KeyDown(Key, Shift);
}

void TuiCustomPopupWindow::Deactivate() {
  if (closingByMessage_) return;
  auto& shown = k58::foundation::shownPopups;
  const HWND active = GetActiveWindow();
  for (Integer i = static_cast<Integer>(shown.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<Integer>(shown.size())) continue;
    TuiCustomPopupWindow* popup = shown[static_cast<size_t>(i)];
    if (popup->HandleAllocated() && popup->Handle() == active) return;
    if (popup->HandleAllocated() && IsWindowEnabled(popup->Handle())) popup->ClosePopup();
  }
  if (!shown.empty()) ClosePopup();
}

void TuiCustomPopupWindow::VisibleChanged() {
  TuiPopupWindow::VisibleChanged();
  // Hidden from outside (Hide, Close): it leaves the list like any other close.
  if (!Visible() && IsShown()) ClosePopup();
  if (Visible() || !takeFocus_ || ownerControl_ == nullptr) return;
  TCustomForm* form = k58::foundation::OwnerForm(this);
  auto* owner = dynamic_cast<TWinControl*>(ownerControl_);
  if (form == nullptr || owner == nullptr || !form->HandleAllocated() || GetFocus() != form->Handle()) return;
  if (owner->CanFocus() && !form->ComponentState().Contains(csDesigning)) owner->SetFocus();
}
