// The windowed control: its window (creation, re-creation, destruction, the window procedure), children,
// bounds, showing, focus and tab order, appearance, streaming and the messages reflected from the parent.
// Alignment is in ControlsAlign.cpp, keys in ControlsKeys.cpp, docking in ControlsDock.cpp.
#include <algorithm>
#include <cstring>

#include "platform/classes/Streams.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/builtin/CommCtrl.h"

using namespace controlsconsts;
using namespace k58::forms;

namespace k58::forms {

LRESULT ControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* control = FindControl(Wnd);
  if (control == nullptr && CreationControl != nullptr) {
    // The first message of a new window: it belongs to the control that is creating it.
    control = CreationControl;
    CreationControl = nullptr;
    ControlsAccess::SetHandle(control, Wnd);
    ::SetProp(Wnd, ControlProp, control);
  }
  if (control == nullptr) return ::DefWindowProc(Wnd, Msg, WParam, LParam);
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  control->MainWndProc(message);
  return message.Result;
}

namespace {
std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> list;
  return list;
}
}  // namespace

void AddCanvasWithContext(TControlCanvas* Canvas) { CanvasList().push_back(Canvas); }

void RemoveCanvasWithContext(TControlCanvas* Canvas) { std::erase(CanvasList(), Canvas); }

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> list = CanvasList();
  for (TControlCanvas* canvas : list) {
    // A canvas in use (painting holds its lock) keeps its context.
    if (canvas->LockCount() == 0 && canvas->TryLock()) {
      canvas->FreeHandle();
      canvas->Unlock();
    }
  }
}

}  // namespace k58::forms

// ---- Construction and destruction ----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), brush_(new TBrush()) {
  defWndProc_ = ::DefWindowProc;
  brush_->SetColor(color_);
}

namespace {
// Drops the tab orders read for a control that is going away, or for every child of Parent.
void ForgetPendingTabOrders(const TWinControl* Control, const TWinControl* Parent);
}  // namespace

TWinControl::~TWinControl() {
  DestroyControlTree();
  ForgetPendingTabOrders(this, nullptr);
}

void TWinControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  DestroyControlTree();
  // Owned components go while the control is whole, so their notifications reach all of it.
  DestroyComponents();
  TControl::BeforeDestruction();
}

// Takes the focus away, destroys the windows and frees the child controls (whoever owns them).
void TWinControl::DestroyControlTree() {
  if (parent_ != nullptr) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, true);
  }
  if (handle_ != nullptr) DestroyWindowHandleQuietly();
  while (!controls_.empty() || !winControls_.empty()) {
    TControl* child = !winControls_.empty() ? static_cast<TControl*>(winControls_.back()) : controls_.back();
    Remove(child);
    FreeObject(child);
  }
  for (TControl* client : dockClients_) ControlsAccess::SetHostDockSite(client, nullptr);
  dockClients_.clear();
}

void TWinControl::DestroyWindowHandleQuietly() {
  for (TWinControl* child : winControls_) {
    if (child->handle_ != nullptr) child->DestroyWindowHandleQuietly();
  }
  HWND wnd = handle_;
  if (wnd == nullptr) return;
  controlState_.Include(csDestroyingHandle);
  ::DestroyWindow(wnd);
  controlState_.Exclude(csDestroyingHandle);
  if (handle_ == wnd) {
    ::RemoveProp(wnd, ControlProp);
    handle_ = nullptr;
  }
  showing_ = false;
}

TWinControl* TWinControl::CreateParented(TClass Cls, HWND ParentWindow) {
  TComponent* component = Cls->CreateComponent(nullptr);
  auto* control = dynamic_cast<TWinControl*>(component);
  if (control == nullptr) {
    FreeObject(component);
    throw EInvalidOperation("Not a windowed control class: " + Cls->Name());
  }
  control->SetParentWindow(ParentWindow);
  return control;
}

// ---- Handle ---------------------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_ != nullptr) return;
  if (parent_ != nullptr) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (handle_ != nullptr) return;
  CreateWnd();
  if (parent_ != nullptr) {
    // Keep the window's place among its siblings' windows: below the next windowed sibling that has one.
    HWND insertAfter = HWND_TOP;
    auto it = std::find(parent_->winControls_.begin(), parent_->winControls_.end(), this);
    if (it != parent_->winControls_.end()) {
      for (++it; it != parent_->winControls_.end(); ++it) {
        if ((*it)->handle_ != nullptr) {
          insertAfter = (*it)->handle_;
          break;
        }
      }
    }
    ::SetWindowPos(handle_, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (TControl* child : controls_) child->UpdateAnchorRules();
  for (TWinControl* child : winControls_) child->UpdateAnchorRules();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = text_;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !Enabled()) Params.Style |= WS_DISABLED;
  if (tabStop_) Params.Style |= WS_TABSTOP;
  Params.X = left_;
  Params.Y = top_;
  Params.Width = width_;
  Params.Height = height_;
  // The parent's window (CreateWnd makes it first); asking for the parameters makes no window.
  Params.WndParent = parent_ != nullptr ? parent_->handle_ : parentWindow_;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (!controlStyle_.Contains(csDoubleClicks)) Params.WindowClass.style &= ~CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = ::DefWindowProc;
  Params.WindowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = HInstance;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  // The built-in class's settings, with the control's procedure in front of the class's own.
  WNDCLASS saved = Params.WindowClass;
  WNDCLASS info{};
  if (::GetClassInfo(HInstance, ControlClassName, &info) || ::GetClassInfo(nullptr, ControlClassName, &info)) {
    Params.WindowClass = info;
    Params.WindowClass.hInstance = saved.hInstance;
    Params.WindowClass.style &= ~CS_GLOBALCLASS;
    // The class's double-click setting follows the control.
    if (!controlStyle_.Contains(csDoubleClicks)) Params.WindowClass.style &= ~CS_DBLCLKS;
  }
}

void TWinControl::CreateWnd() {
  if (parent_ != nullptr) parent_->HandleNeeded();
  TCreateParams params;
  CreateParams(params);
  if (params.WndParent == nullptr && (params.Style & WS_CHILD) != 0) {
    auto* ownerControl = dynamic_cast<TWinControl*>(Owner());
    if (ownerControl != nullptr && Owner()->ComponentState().Contains(csReading)) {
      params.WndParent = ownerControl->Handle();
    } else {
      throw EInvalidOperation(Format(SParentRequired, Name()));
    }
  }
  defWndProc_ = params.WindowClass.lpfnWndProc != nullptr ? params.WindowClass.lpfnWndProc : ::DefWindowProc;
  WNDCLASS registered{};
  bool classRegistered = ::GetClassInfo(params.WindowClass.hInstance, params.WinClassName.c_str(), &registered);
  if (!classRegistered || registered.lpfnWndProc != ControlWndProc) {
    if (classRegistered) ::UnregisterClass(params.WinClassName.c_str(), params.WindowClass.hInstance);
    WNDCLASS cls = params.WindowClass;
    cls.lpfnWndProc = ControlWndProc;
    cls.lpszClassName = params.WinClassName.c_str();
    if (::RegisterClass(&cls) == 0) throw EOutOfResources(SWindowClass);
  }
  TWinControl* savedCreation = CreationControl;
  CreationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    CreationControl = savedCreation;
    throw;
  }
  CreationControl = savedCreation;
  if (handle_ == nullptr) throw EOutOfResources(SWindowCreate);
  if ((::GetWindowLongPtr(handle_, GWL_STYLE) & WS_CHILD) != 0 && ::GetWindowLongPtr(handle_, GWLP_ID) == 0) {
    // Children are numbered by their handle, so WM_MEASUREITEM can name the control.
    ::SetWindowLongPtr(handle_, GWLP_ID, reinterpret_cast<LONG_PTR>(handle_));
  }
  text_.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 1);
  if (autoSize_) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND wnd = ::CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                              Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                              Params.WindowClass.hInstance, Params.Param);
  if (wnd != nullptr) handle_ = wnd;
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  for (TWinControl* child : winControls_) child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // The window's text is kept for the next window.
  ReadWindowText();
  FreeDeviceContexts();
  DestroyWindowHandle();
}

void TWinControl::ReadWindowText() {
  if (handle_ == nullptr) return;
  Integer len = static_cast<Integer>(::SendMessage(handle_, WM_GETTEXTLENGTH, 0, 0));
  String text(static_cast<size_t>(std::max(len, 0)) + 1, '\0');
  Integer copied = static_cast<Integer>(
      ::SendMessage(handle_, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(std::clamp(copied, 0, len)));
  text_ = text;
}

void TWinControl::DestroyWindowHandle() {
  HWND wnd = handle_;
  controlState_.Include(csDestroyingHandle);
  try {
    ::DestroyWindow(wnd);
  } catch (...) {
    controlState_.Exclude(csDestroyingHandle);
    throw;
  }
  controlState_.Exclude(csDestroyingHandle);
  if (handle_ == wnd) {
    ::RemoveProp(wnd, ControlProp);
    handle_ = nullptr;
  }
  showing_ = false;
}

void TWinControl::RecreateWnd() {
  if (handle_ != nullptr) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage& Message) {
  (void)Message;
  bool wasFocused = Focused();
  recreating_ = true;
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    recreating_ = false;
    throw;
  }
  recreating_ = false;
  if (wasFocused && handle_ != nullptr) ::SetFocus(handle_);
}

void TWinControl::SetParentWindow(HWND Value) {
  if (parent_ != nullptr || parentWindow_ == Value) return;
  if (handle_ != nullptr && parentWindow_ != nullptr && Value != nullptr) {
    parentWindow_ = Value;
    ::SetParent(handle_, Value);
  } else {
    DestroyHandle();
    parentWindow_ = Value;
  }
  UpdateControlState();
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    try {
      windowProc_ ? windowProc_(Message) : WndProc(Message);
    } catch (...) {
      FreeDeviceContexts();
      throw;
    }
    FreeDeviceContexts();
  } catch (...) {
    if (Application != nullptr) {
      Application->HandleException(this);
    }
  }
}

// ---- Children -----------------------------------------------------------------------------------------------

TControl* TWinControl::Controls(Integer Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  auto i = static_cast<size_t>(Index);
  if (i < controls_.size()) return controls_[i];
  return winControls_[i - controls_.size()];
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control != nullptr && Control != this) Control = Control->Parent();
  return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hits = [&](TControl* c) {
    TRect r = c->BoundsRect();
    if (Pos.x < r.left || Pos.x >= r.right || Pos.y < r.top || Pos.y >= r.bottom) return false;
    if (!(c->Visible() || (c->ComponentState().Contains(csDesigning) && !c->ControlStyle().Contains(csNoDesignVisible)))) {
      return false;
    }
    if (!(c->Enabled() || AllowDisabled)) return false;
    TPoint local{Pos.x - r.left, Pos.y - r.top};
    return c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0;
  };
  if (AllowWinControls) {
    for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it) {
      if (hits(*it)) return *it;
    }
  }
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (hits(*it)) return *it;
  }
  return nullptr;
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    winControls_.push_back(win);
    tabList_.push_back(win);
  } else {
    controls_.push_back(AControl);
  }
  AControl->parent_ = this;
}

void TWinControl::Remove(TControl* AControl) {
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    std::erase(tabList_, win);
    std::erase(winControls_, win);
  } else {
    std::erase(controls_, AControl);
  }
  AControl->parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->ValidateContainer(this);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
      win->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      win->UpdateControlState();
    } else if (handle_ != nullptr) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* form = GetParentForm(win)) form->DefocusControl(win, true);
    win->DestroyHandle();
  } else if (handle_ != nullptr) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  if (k58::forms::CaptureControl == AControl) {
    k58::forms::CaptureControl = nullptr;
    if (handle_ != nullptr && ::GetCapture() == handle_) ::ReleaseCapture();
  }
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (!ComponentState().Contains(csDestroying)) Realign();
}

void TWinControl::Broadcast(TMessage& Message) {
  std::vector<TControl*> children;
  children.reserve(static_cast<size_t>(ControlCount()));
  for (Integer i = 0; i < ControlCount(); ++i) children.push_back(Controls(i));
  for (TControl* child : children) {
    child->WindowProc() ? child->WindowProc()(Message) : child->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage message;
  message.Msg = Msg;
  message.WParam = 0;
  message.LParam = 0;
  Broadcast(message);
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (parent_ == nullptr && AParent != nullptr && parentWindow_ != nullptr) {
    // A control placed in a foreign window comes back to a parent control.
    DestroyHandle();
    parentWindow_ = nullptr;
  }
  TControl::SetParent(AParent);
}

// ---- Bounds -------------------------------------------------------------------------------------------------

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  // The size is checked first, so bounds set again after a change of the constraints follow them.
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  if (handle_ != nullptr && !::IsIconic(handle_)) {
    ::SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  bool sized = AWidth != width_ || AHeight != height_;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (handle_ != nullptr) {
    // A minimised window keeps its normal place for when it is restored.
    WINDOWPLACEMENT placement;
    ::GetWindowPlacement(handle_, &placement);
    placement.rcNormalPosition = BoundsRect();
    ::SetWindowPlacement(handle_, &placement);
  }
  UpdateAnchorRules();
  RequestAlign();
  // Without a window the children follow the new size at once.
  if (sized && handle_ == nullptr) Realign();
}

// The client area without a window: the bounds less the borders the window will have.
TRect TWinControl::GetClientRect() {
  if (handle_ != nullptr) {
    TRect r{};
    ::GetClientRect(handle_, &r);
    return r;
  }
  TCreateParams params;
  params.Style = WS_CHILD;
  try {
    CreateParams(params);
  } catch (...) {
    return TRect{0, 0, width_, height_};
  }
  TRect frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, params.Style & ~WS_VSCROLL & ~WS_HSCROLL, FALSE, params.ExStyle);
  Integer w = width_ - (frame.right - frame.left) - 2 * borderWidth_;
  Integer h = height_ - (frame.bottom - frame.top) - 2 * borderWidth_;
  return TRect{0, 0, std::max(w, 0), std::max(h, 0)};
}

TPoint TWinControl::GetClientOrigin() {
  TPoint p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return p;
}

void TWinControl::UpdateBounds() {
  if (handle_ == nullptr) return;
  TRect rect{};
  ::GetWindowRect(handle_, &rect);
  if ((::GetWindowLongPtr(handle_, GWL_STYLE) & WS_CHILD) != 0) {
    HWND parentHandle = ::GetParent(handle_);
    if (parentHandle != nullptr) {
      TPoint tl{rect.left, rect.top};
      TPoint br{rect.right, rect.bottom};
      ::ScreenToClient(parentHandle, &tl);
      ::ScreenToClient(parentHandle, &br);
      rect = TRect{tl.x, tl.y, br.x, br.y};
    }
  }
  if (rect.left != left_ || rect.top != top_ || rect.right - rect.left != width_ || rect.bottom - rect.top != height_) {
    UpdateBoundsRect(rect);
  }
}

// ---- Showing -------------------------------------------------------------------------------------------------

void TWinControl::UpdateControlState() {
  TWinControl* control = this;
  while (control->parent_ != nullptr) {
    control = control->parent_;
    if (!control->showing_) return;
  }
  if (dynamic_cast<TCustomForm*>(control) != nullptr || control->parentWindow_ != nullptr) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool showControl = (visible_ || (ComponentState().Contains(csDesigning) && !controlStyle_.Contains(csNoDesignVisible))) &&
                     !controlState_.Contains(csReadingState);
  if (showControl) {
    if (handle_ == nullptr) CreateHandle();
    std::vector<TWinControl*> children = winControls_;
    for (TWinControl* child : children) child->UpdateShowing();
  }
  if (handle_ != nullptr && showing_ != showControl) {
    showing_ = showControl;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      showing_ = !showControl;
      throw;
    }
  }
}

void TWinControl::CMShowingChanged(TMessage& Message) {
  (void)Message;
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  flags |= showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, flags);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
  (void)Message;
  if (!visible_ && parent_ != nullptr) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  }
  if (!ComponentState().Contains(csDesigning) || controlStyle_.Contains(csNoDesignVisible)) UpdateControlState();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (parent_ == nullptr) {
    if (handle_ != nullptr) {
      ::SetWindowPos(handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      // An MDI child brought to the front becomes the active child of its client.
      if (TopMost && (::GetWindowLongPtr(handle_, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0 && ::IsWindowVisible(handle_)) {
        ::SendMessage(::GetParent(handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle_), 0);
      }
    }
    return;
  }
  auto& list = parent_->winControls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) {
    list.push_back(this);
  } else {
    list.insert(list.begin(), this);
  }
  if (handle_ != nullptr) {
    ::SetWindowPos(handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

// ---- Focus and tab order --------------------------------------------------------------------------------------

bool TWinControl::Focused() { return handle_ != nullptr && ::GetFocus() == handle_; }

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return false;
  for (TWinControl* control = this; control != form; control = control->parent_) {
    if (!(control->visible_ && control->Enabled())) return false;
  }
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_ != nullptr) {
    ::SetFocus(Handle());
  } else {
    ValidParentForm(this);
  }
}

Integer TWinControl::TabOrder() const {
  if (parent_ == nullptr) return -1;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

namespace {
// Tab orders read from a resource are applied once every sibling is read.
struct PendingTabOrder {
  TWinControl* Control;
  Integer Order;
};
std::vector<PendingTabOrder>& PendingTabOrders() {
  // Never destroyed: controls freed late at exit still look into it.
  static auto* list = new std::vector<PendingTabOrder>;
  return *list;
}

void ForgetPendingTabOrders(const TWinControl* Control, const TWinControl* Parent) {
  std::erase_if(PendingTabOrders(), [&](const PendingTabOrder& p) {
    return p.Control == Control || (Parent != nullptr && p.Control->Parent() == Parent);
  });
}
}  // namespace

void TWinControl::SetTabOrder(Integer Value) {
  if (controlState_.Contains(csReadingState)) {
    std::erase_if(PendingTabOrders(), [this](const PendingTabOrder& p) { return p.Control == this; });
    PendingTabOrders().push_back(PendingTabOrder{this, Value});
    return;
  }
  Integer current = TabOrder();
  if (current < 0) return;
  auto& list = parent_->tabList_;
  Integer count = static_cast<Integer>(list.size());
  Value = std::clamp(Value, 0, count - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (tabStop_ == Value) return;
  tabStop_ = Value;
  if (handle_ != nullptr) {
    LONG_PTR style = ::GetWindowLongPtr(handle_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP);
    if (Value) style |= WS_TABSTOP;
    ::SetWindowLongPtr(handle_, GWL_STYLE, style);
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* control : tabList_) {
    List.push_back(control);
    control->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto count = static_cast<Integer>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  Integer start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<Integer>(found - list.begin());
  Integer i = start;
  do {
    if (GoForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* candidate = list[static_cast<size_t>(i)];
    if (candidate->CanFocus() && (!CheckTabStop || candidate->TabStop()) &&
        (!CheckParent || candidate->Parent() == this)) {
      return candidate;
    }
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (next != nullptr) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return;
  TWinControl* control = form->FindNextControl(nullptr, true, true, false);
  if (control == nullptr) control = form->FindNextControl(nullptr, true, false, false);
  if (control != nullptr) control->SetFocus();
}

// ---- Appearance -------------------------------------------------------------------------------------------------

void TWinControl::SetCtl3D(bool Value) {
  if (ctl3D_ == Value) {
    parentCtl3D_ = false;
    return;
  }
  ctl3D_ = Value;
  parentCtl3D_ = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (parentCtl3D_ == Value) return;
  parentCtl3D_ = Value;
  if (parent_ != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentBackground(bool Value) {
  if (ParentBackground() == Value) return;
  if (Value) {
    controlStyle_.Include(csParentBackground);
  } else {
    controlStyle_.Exclude(csParentBackground);
  }
  Invalidate();
}

void TWinControl::SetBorderWidth(Integer Value) {
  if (borderWidth_ == Value) return;
  borderWidth_ = std::max(Value, 0);
  if (handle_ != nullptr) {
    ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  }
  Realign();
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage& Message) {
  if (handle_ == nullptr) return;
  if (parent_ != nullptr) parent_->Perform(CM_INVALIDATE, 1, 0);
  if (Message.WParam == 0) ::InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (handle_ != nullptr) ::UpdateWindow(handle_);
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC dc = ::GetDC(Handle());
  if (dc == nullptr) throw EOutOfResources(graphicsconsts::SOutOfResources);
  WindowHandle = handle_;
  return dc;
}

void TWinControl::SetTextToWindow(const String& Value) {
  if (handle_ != nullptr) ::SendMessage(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

// ---- Streaming ------------------------------------------------------------------------------------------------------

void TWinControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (control->Owner() == Root) Proc(control);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, Integer Order) {
  auto* control = dynamic_cast<TControl*>(Child);
  if (control == nullptr || control->Parent() != this) return;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    auto& list = winControls_;
    std::erase(list, win);
    Order = std::clamp(Order - static_cast<Integer>(controls_.size()), 0, static_cast<Integer>(list.size()));
    list.insert(list.begin() + Order, win);
  } else {
    auto& list = controls_;
    std::erase(list, control);
    Order = std::clamp(Order, 0, static_cast<Integer>(list.size()));
    list.insert(list.begin() + Order, control);
  }
}

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    TControl::ReadState(Reader);
  } catch (...) {
    EnableAlign();
    ForgetPendingTabOrders(nullptr, this);
    throw;
  }
  EnableAlign();
  // The tab orders the children were read with, applied now that all of them are here.
  auto& pending = PendingTabOrders();
  std::vector<PendingTabOrder> mine;
  for (auto it = pending.begin(); it != pending.end();) {
    if (it->Control->Parent() == this) {
      mine.push_back(*it);
      it = pending.erase(it);
    } else {
      ++it;
    }
  }
  auto count = static_cast<Integer>(tabList_.size());
  std::vector<TWinControl*> ordered(static_cast<size_t>(count), nullptr);
  for (const PendingTabOrder& p : mine) {
    if (p.Order >= 0 && p.Order < count) ordered[static_cast<size_t>(p.Order)] = p.Control;
  }
  for (Integer i = 0; i < count; ++i) {
    if (TWinControl* c = ordered[static_cast<size_t>(i)]) c->SetTabOrder(i);
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
}

void TWinControl::ChangeScale(Integer M, Integer D) {
  if (M == D) return;
  DisableAlign();
  try {
    for (Integer i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  TControl::ChangeScale(M, D);
}

// ---- The message path ------------------------------------------------------------------------------------------------

bool TWinControl::IsControlMouseMsg(TWMMouse& Message) {
  TControl* control = nullptr;
  if (handle_ != nullptr && ::GetCapture() == handle_) {
    if (k58::forms::CaptureControl != nullptr && k58::forms::CaptureControl->Parent() == this) {
      control = k58::forms::CaptureControl;
    }
  } else {
    control = ControlAtPos(TPoint{Message.XPos(), Message.YPos()}, false);
  }
  if (control == nullptr) return false;
  TPoint p{Message.XPos() - control->Left(), Message.YPos() - control->Top()};
  Message.Result = control->Perform(Message.Msg, Message.WParam, PointToLParam(p));
  return true;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST: {
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && handle_ != nullptr) {
        TPoint p = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        if (ControlAtPos(p, false) != nullptr) Message.Result = HTCLIENT;
      }
      return;
    }
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
          Message.Msg != WM_MOUSEHWHEEL) {
        std::weak_ptr<bool> alive = AliveToken();
        if (IsControlMouseMsg(static_cast<TWMMouse&>(Message))) {
          // The window's own default handling still sees the message (a right button release still
          // asks for the context menu).
          if (!alive.expired() && *alive.lock() && Message.Result == 0 && handle_ != nullptr) {
            ::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
          }
          return;
        }
      } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
        if (Dragging()) return;
      }
      break;
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(static_cast<TWMPaint&>(Message)); break;
    case WM_ERASEBKGND: WMEraseBkgnd(static_cast<TWMEraseBkgnd&>(Message)); break;
    case WM_PRINTCLIENT: WMPrintClient(static_cast<TWMPrintClient&>(Message)); break;
    case WM_COMMAND: WMCommand(static_cast<TWMCommand&>(Message)); break;
    case WM_NOTIFY: WMNotify(static_cast<TWMNotify&>(Message)); break;
    case WM_DRAWITEM: WMDrawItem(static_cast<TWMDrawItem&>(Message)); break;
    case WM_MEASUREITEM: WMMeasureItem(static_cast<TWMMeasureItem&>(Message)); break;
    case WM_DELETEITEM: WMDeleteItem(Message); break;
    case WM_COMPAREITEM: WMCompareItem(Message); break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(static_cast<TWMCtlColor&>(Message)); break;
    case WM_HSCROLL: WMHScroll(static_cast<TWMScroll&>(Message)); break;
    case WM_VSCROLL: WMVScroll(static_cast<TWMScroll&>(Message)); break;
    case WM_CHARTOITEM: WMCharToItem(Message); break;
    case WM_VKEYTOITEM: WMVKeyToItem(Message); break;
    case WM_SIZE: WMSize(static_cast<TWMSize&>(Message)); break;
    case WM_MOVE: WMMove(static_cast<TWMMove&>(Message)); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(static_cast<TWMWindowPosMsg&>(Message)); break;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(static_cast<TWMWindowPosMsg&>(Message)); break;
    case WM_SETCURSOR: WMSetCursor(static_cast<TWMSetCursor&>(Message)); break;
    case WM_SETFOCUS: WMSetFocus(static_cast<TWMSetFocus&>(Message)); break;
    case WM_KILLFOCUS: WMKillFocus(static_cast<TWMKillFocus&>(Message)); break;
    case WM_KEYDOWN: WMKeyDown(static_cast<TWMKey&>(Message)); break;
    case WM_SYSKEYDOWN: WMSysKeyDown(static_cast<TWMKey&>(Message)); break;
    case WM_KEYUP: WMKeyUp(static_cast<TWMKey&>(Message)); break;
    case WM_SYSKEYUP: WMSysKeyUp(static_cast<TWMKey&>(Message)); break;
    case WM_CHAR: WMChar(static_cast<TWMKey&>(Message)); break;
    case WM_SYSCOMMAND: WMSysCommand(static_cast<TWMSysCommand&>(Message)); break;
    case WM_NCDESTROY: WMNCDestroy(Message); break;
    case WM_NCHITTEST: WMNCHitTest(static_cast<TWMNCHitTest&>(Message)); break;
    case WM_NCCALCSIZE:
      DefaultHandler(Message);
      if (borderWidth_ > 0 && Message.LParam != 0) {
        RECT* r = Message.WParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                      : reinterpret_cast<RECT*>(Message.LParam);
        ::InflateRect(r, -borderWidth_, -borderWidth_);
      }
      break;
    case WM_QUERYENDSESSION: WMQueryEndSession(Message); break;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); break;
    case WM_WININICHANGE: WMWinIniChange(Message); break;
    case WM_FONTCHANGE: WMFontChange(Message); break;
    case WM_TIMECHANGE: WMTimeChange(Message); break;
    case CN_KEYDOWN: CNKeyDown(static_cast<TWMKey&>(Message)); break;
    case CN_KEYUP: CNKeyUp(static_cast<TWMKey&>(Message)); break;
    case CN_CHAR: CNChar(static_cast<TWMKey&>(Message)); break;
    case CN_SYSKEYDOWN: CNSysKeyDown(static_cast<TWMKey&>(Message)); break;
    case CN_SYSCHAR: CNSysChar(static_cast<TWMKey&>(Message)); break;
    case CM_ENTER: CMEnter(Message); break;
    case CM_EXIT: CMExit(Message); break;
    case CM_FOCUSCHANGED: CMFocusChanged(static_cast<TCMFocusChanged&>(Message)); break;
    case CM_DIALOGKEY: CMDialogKey(static_cast<TCMDialogKey&>(Message)); break;
    case CM_DIALOGCHAR: CMDialogChar(static_cast<TCMDialogChar&>(Message)); break;
    case CM_CHILDKEY: CMChildKey(static_cast<TCMChildKey&>(Message)); break;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(static_cast<TCMWantSpecialKey&>(Message)); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(Message); break;
    case CM_CTL3DCHANGED: CMCtl3DChanged(Message); break;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(Message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); break;
    case CM_WININICHANGE: CMWinIniChange(Message); break;
    case CM_SYSFONTCHANGED: CMSysFontChanged(Message); break;
    case CM_INVALIDATE: CMInvalidate(Message); break;
    case CM_RECREATEWND: CMRecreateWnd(Message); break;
    case CM_CURSORCHANGED: CMCursorChanged(Message); break;
    case CM_TABSTOPCHANGED: CMTabStopChanged(Message); break;
    case CM_DOCKCLIENT: CMDockClient(Message); break;
    case CM_UNDOCKCLIENT: CMUnDockClient(Message); break;
    default: TControl::Dispatch(Message); break;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (handle_ == nullptr) {
    TControl::DefaultHandler(Message);
    return;
  }
  switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      // The control's own colours for the window the system draws.
      auto dc = reinterpret_cast<HDC>(Message.WParam);
      ::SetTextColor(dc, ColorToRGB(font_->Color()));
      ::SetBkColor(dc, ColorToRGB(color_));
      Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      return;
    }
    default:
      break;
  }
  if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE + 0x400) {
    // Library messages mean nothing to the window's class.
    return;
  }
  Message.Result = ::CallWindowProc(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

namespace {
// Sends a child's notification back to it as CN_BASE + message; false when the window is not a control.
bool DoControlMsg(HWND ControlHandle, TMessage& Message) {
  TWinControl* control = FindControl(ControlHandle);
  if (control == nullptr) return false;
  Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
  return true;
}
}  // namespace

void TWinControl::WMPaint(TWMPaint& Message) {
  if (!doubleBuffered_ || Message.DC() != nullptr) {
    if (!controlState_.Contains(csCustomPaint) && ControlCount() == 0) {
      DefaultHandler(Message);
    } else {
      PaintHandler(Message);
    }
    return;
  }
  // Double buffering: erase and paint into a bitmap, then copy it to the window in one step.
  TRect client = GetClientRect();
  Integer w = std::max<Integer>(client.right, 1), h = std::max<Integer>(client.bottom, 1);
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  ::ReleaseDC(nullptr, screen);
  HDC memDC = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = ::SelectObject(memDC, bitmap);
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(handle_, &ps);
  try {
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
    Message.SetDC(memDC);
    WMPaint(Message);
    Message.SetDC(nullptr);
    ::BitBlt(dc, 0, 0, w, h, memDC, 0, 0, SRCCOPY);
  } catch (...) {
    ::EndPaint(handle_, &ps);
    ::SelectObject(memDC, oldBitmap);
    ::DeleteDC(memDC);
    ::DeleteObject(bitmap);
    throw;
  }
  ::EndPaint(handle_, &ps);
  ::SelectObject(memDC, oldBitmap);
  ::DeleteDC(memDC);
  ::DeleteObject(bitmap);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (ParentBackground() && parent_ != nullptr) {
    PaintParentBackground(Message.DC());
  } else {
    TRect client = GetClientRect();
    ::FillRect(Message.DC(), &client, Brush()->Handle());
  }
  Message.Result = 1;
}

void TWinControl::WMPrintClient(TWMPrintClient& Message) {
  if (Message.DC() == nullptr) {
    DefaultHandler(Message);
    return;
  }
  TWMPaint paint;
  paint.Msg = WM_PAINT;
  paint.SetDC(Message.DC());
  controlState_.Include(csPaintCopy);
  try {
    Perform(WM_ERASEBKGND, paint.WParam, paint.WParam);
    WMPaint(paint);
  } catch (...) {
    controlState_.Exclude(csPaintCopy);
    throw;
  }
  controlState_.Exclude(csPaintCopy);
  Message.Result = 1;
}

void TWinControl::WMCommand(TWMCommand& Message) {
  if (!DoControlMsg(Message.Ctl(), Message)) DefaultHandler(Message);
}

void TWinControl::WMNotify(TWMNotify& Message) {
  HWND from = Message.NMHdr() != nullptr ? Message.NMHdr()->hwndFrom : nullptr;
  if (!DoControlMsg(from, Message)) DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TWMDrawItem& Message) {
  HWND item = Message.DrawItemStruct() != nullptr ? Message.DrawItemStruct()->hwndItem : nullptr;
  if (!DoControlMsg(item, Message)) DefaultHandler(Message);
}

// The control is found by its number, which is its window's handle.
void TWinControl::WMMeasureItem(TWMMeasureItem& Message) {
  TWinControl* target = nullptr;
  if (MEASUREITEMSTRUCT* measure = Message.MeasureItemStruct()) {
    for (TWinControl* child : winControls_) {
      if (child->handle_ != nullptr &&
          static_cast<UINT>(reinterpret_cast<uintptr_t>(child->handle_)) == measure->CtlID) {
        target = child;
        break;
      }
    }
  }
  if (target != nullptr) {
    Message.Result = target->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
  } else {
    DefaultHandler(Message);
  }
}

void TWinControl::WMDeleteItem(TMessage& Message) {
  // DELETEITEMSTRUCT: CtlType, CtlID, itemID, then hwndItem.
  HWND item = nullptr;
  if (Message.LParam != 0) {
    const auto* base = reinterpret_cast<const unsigned char*>(Message.LParam);
    std::memcpy(&item, base + ((3 * sizeof(UINT) + alignof(HWND) - 1) / alignof(HWND)) * alignof(HWND), sizeof(HWND));
  }
  if (!DoControlMsg(item, Message)) DefaultHandler(Message);
}

void TWinControl::WMCompareItem(TMessage& Message) {
  auto* compare = reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam);
  if (!DoControlMsg(compare != nullptr ? compare->hwndItem : nullptr, Message)) DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TWMCtlColor& Message) {
  if (!DoControlMsg(Message.ChildWnd(), Message)) DefaultHandler(Message);
}

void TWinControl::WMHScroll(TWMScroll& Message) {
  if (!DoControlMsg(Message.ScrollBar(), Message)) DefaultHandler(Message);
}

void TWinControl::WMVScroll(TWMScroll& Message) {
  if (!DoControlMsg(Message.ScrollBar(), Message)) DefaultHandler(Message);
}

void TWinControl::WMCharToItem(TMessage& Message) {
  if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMVKeyToItem(TMessage& Message) {
  if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMSize(TWMSize& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TWMMove& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  if (!controlState_.Contains(csDestroyingHandle)) UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanging(TWMWindowPosMsg& Message) { DefaultHandler(Message); }

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
  if (Message.CursorWnd() == handle_ && Message.HitTest() == HTCLIENT) {
    TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      TPoint p{};
      ::GetCursorPos(&p);
      TControl* control = ControlAtPos(ScreenToClient(p), false);
      if (control != nullptr && !ComponentState().Contains(csDesigning)) cursor = control->Cursor();
      if (cursor == crDefault) cursor = cursor_;
    }
    if (cursor != crDefault && Screen != nullptr) {
      ::SetCursor(Screen->Cursors(cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::CMCursorChanged(TMessage& Message) {
  (void)Message;
  if (handle_ == nullptr || ::GetCapture() != nullptr) return;
  TPoint p{};
  ::GetCursorPos(&p);
  if (FindDragTarget(p, false) == this) {
    ::SendMessage(handle_, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) { DefaultHandler(Message); }

void TWinControl::WMKillFocus(TWMKillFocus& Message) { DefaultHandler(Message); }

void TWinControl::WMSysCommand(TWMSysCommand& Message) {
  // Alt with a letter is the accelerator of a control of the form before it opens the menu.
  if (Message.CmdType() == SC_KEYMENU) {
    auto key = static_cast<Word>(Message.LParam);
    if (key != ' ' && key != '-' && key != 0 && handle_ != nullptr && !::IsIconic(handle_) && ::GetCapture() == nullptr &&
        (Application == nullptr || Application->MainForm() != static_cast<TControl*>(this))) {
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && form->Perform(CM_DIALOGCHAR, key, 0) != 0) return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TWMContextMenu& Message) {
  if (Message.Result != 0) return;
  TPoint pt = SmallPointToPoint(Message.Pos());
  if (!(pt.x == -1 && pt.y == -1) && handle_ != nullptr) {
    TControl* control = ControlAtPos(ScreenToClient(pt), false);
    if (control != nullptr) Message.Result = control->Perform(WM_CONTEXTMENU, 0, Message.LParam);
  }
  if (Message.Result == 0) TControl::WMContextMenu(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  HWND wnd = handle_;
  DefaultHandler(Message);
  if (wnd != nullptr) ::RemoveProp(wnd, ControlProp);
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::WMNCHitTest(TWMNCHitTest& Message) { DefaultHandler(Message); }

void TWinControl::WMQueryEndSession(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result = 1;
}

void TWinControl::WMSysColorChange(TMessage& Message) {
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(Message);
}

void TWinControl::WMWinIniChange(TMessage& Message) {
  DefaultHandler(Message);
  Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
}

void TWinControl::WMFontChange(TMessage& Message) {
  DefaultHandler(Message);
  Perform(CM_FONTCHANGE, 0, 0);
}

void TWinControl::WMTimeChange(TMessage& Message) {
  DefaultHandler(Message);
  Perform(CM_TIMECHANGE, 0, 0);
}

void TWinControl::WMMouseWheel(TWMMouseWheel& Message) { TControl::WMMouseWheel(Message); }

void TWinControl::CMMouseWheel(TMessage& Message) { TControl::CMMouseWheel(Message); }

void TWinControl::DoEnter() { onEnter_(this); }

void TWinControl::DoExit() { onExit_(this); }

void TWinControl::CMEnter(TMessage& Message) {
  (void)Message;
  DoEnter();
}

void TWinControl::CMExit(TMessage& Message) {
  (void)Message;
  DoExit();
}

void TWinControl::CMFocusChanged(TCMFocusChanged& Message) { Broadcast(Message); }

void TWinControl::CMDialogKey(TCMDialogKey& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TCMDialogChar& Message) { Broadcast(Message); }

void TWinControl::CMChildKey(TCMChildKey& Message) {
  if (parent_ != nullptr) Message.Result = parent_->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::CMShowHintChanged(TMessage& Message) {
  (void)Message;
  NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
  if (!Enabled() && parent_ != nullptr) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  }
  if (handle_ != nullptr && !ComponentState().Contains(csDesigning)) ::EnableWindow(handle_, Enabled());
  TControl::CMEnabledChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  Brush()->SetColor(color_);
  TControl::CMColorChanged(Message);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  TControl::CMFontChanged(Message);
  if (handle_ != nullptr) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMCtl3DChanged(TMessage& Message) {
  (void)Message;
  NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage& Message) {
  (void)Message;
  if (!parentCtl3D_ || parent_ == nullptr) return;
  SetCtl3D(parent_->Ctl3D());
  parentCtl3D_ = true;
}

void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMWinIniChange(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMSysFontChanged(TMessage& Message) { Broadcast(Message); }
