// The base control: construction, the guarded window procedure, mouse, wheel, keys, context menu,
// painting and the notifications between controls; the child component; the popup-menu routines.
#include <algorithm>
#include <cstdlib>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"

namespace {

// Releases an object link however the scope ends.
class LinkGuard {
 public:
  explicit LinkGuard(TObject* AObject) : link_(AddObjectLink(AObject)) {}
  ~LinkGuard() { RemoveObjectLink(link_); }
  LinkGuard(const LinkGuard&) = delete;
  LinkGuard& operator=(const LinkGuard&) = delete;
  bool Alive() const { return link_->Ref != nullptr; }

 private:
  TuiObjectLink* link_;
};

bool IsKeyboardPoint(const TPoint& P) { return P.x == -1 && P.y == -1; }

}  // namespace

K58_IMPLEMENT_CLASS(TuiControl) {}

TuiControl::TuiControl(TComponent* AOwner) : TCustomControl(AOwner) {
  canvas_ = std::make_unique<TuiCanvas>(TCustomControl::Canvas());
  rememberedCursor_ = Cursor();
  lookAndFeel_ = std::make_unique<TuiLookAndFeel>(this);
  lookAndFeel_->SetOnChanged(
      [this](TuiLookAndFeel* Sender, TuiLookAndFeelValues Values) { HandleLookAndFeelChange(Sender, Values); });
  SetTabStop(true);
  SetParentBackground(true);
}

void TuiControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  InitializeControl();
}

// What depends on the descendant's answers, once the whole object exists.
void TuiControl::InitializeControl() {
  if (initialized_) return;
  initialized_ = true;
  if (HasDragImages()) {
    TControlStyle style = ControlStyle();
    style.Include(csDisplayDragImage);
    SetControlStyle(style);
  }
  if (HasScrollBars()) CreateScrollBars();
  if (!MayFocus()) SetTabStop(false);
}

TuiControl::~TuiControl() {
  delete dragAndDropObject_;
  dragAndDropObject_ = nullptr;
  DestroyScrollBars();
  fontListeners_.clear();
  canvas_.reset();
  lookAndFeel_.reset();
  ClearObjectLinks(this);
}

// The bars and the grip go before the class library frees the children and owned components.
void TuiControl::BeforeDestruction() {
  DestroyScrollBars();
  TCustomControl::BeforeDestruction();
}

// ---- Properties ----

void TuiControl::SetLookAndFeel(TuiLookAndFeel* Value) { lookAndFeel_->Assign(Value); }

void TuiControl::SetPopupMenu(TComponent* Value) {
  if (Value != nullptr && dynamic_cast<TPopupMenu*>(Value) == nullptr && dynamic_cast<IuiPopupMenu*>(Value) == nullptr)
    Value = nullptr;
  if (Value == popupMenu_) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

TPopupMenu* TuiControl::GetPopupMenu() { return dynamic_cast<TPopupMenu*>(popupMenu_); }

void TuiControl::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  RecalculateScrollBars();
}

void TuiControl::SetBorderStyle(TuiControlBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  ClientBoundsChanged();
  Invalidate();
}

void TuiControl::AddFontListener(const TFontListener& AListener) { fontListeners_.push_back(AListener); }

void TuiControl::RemoveFontListener(const TFontListener& AListener) {
  fontListeners_.erase(std::remove(fontListeners_.begin(), fontListeners_.end(), AListener), fontListeners_.end());
}

void TuiControl::SetMouseCaptureObject(TObject* AObject) {
  if (AObject == mouseCaptureObject_) return;
  const bool hadCapture = MouseCapture();
  if (auto* previous = dynamic_cast<IuiMouseCaptureObject*>(mouseCaptureObject_)) previous->CancelCapture();
  mouseCaptureObject_ = AObject;
  SetMouseCapture(AObject != nullptr);
  if (hadCapture && !MouseCapture() && dragAndDropState_ == ddsStarting && HandleAllocated())
    ::SendMessage(Handle(), WM_CANCELMODE, 0, 0);
}

// ---- Base answers ----

bool TuiControl::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) { return ShowPopupMenu(this, AMenu, X, Y); }

void TuiControl::EndMouseOperation() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

bool TuiControl::TakesFocusOnClick() { return !IsDesigning() && focusOnClick_ && MayFocus() && CanFocus(); }

Integer TuiControl::BorderWidth() { return borderStyle_ == uicbsNone ? 0 : GetPainterClass()->GetBorderWidth(); }

void TuiControl::GetPaintBounds(TRect& R) {
  if (paintBounds_.right > paintBounds_.left && paintBounds_.bottom > paintBounds_.top) {
    R = paintBounds_;
  } else if (HandleAllocated()) {
    R = ClientRect();
  } else {
    R = TRect{0, 0, Width(), Height()};
  }
}

void TuiControl::GetClientBounds(TRect& R) {
  GetPaintBounds(R);
  const Integer border = BorderWidth();
  ::InflateRect(&R, -border, -border);
  if (IsHScrollBarVisible()) R.bottom -= hScrollBar_->Height();
  if (IsVScrollBarVisible()) R.right -= vScrollBar_->Width();
}

TuiWheelScrollKind TuiControl::WheelScrollKind() { return IsVScrollBarVisible() ? wskVertical : wskNone; }

bool TuiControl::CanFocusWithForm() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return form == nullptr || (form->CanFocus() && form->Enabled() && form->Visible());
}

void TuiControl::AddChildComponent(TComponent* AComponent) {
  if (auto* child = dynamic_cast<TuiControlChildComponent*>(AComponent)) child->SetControl(this);
}

void TuiControl::RemoveChildComponent(TComponent* AComponent) {
  if (auto* child = dynamic_cast<TuiControlChildComponent*>(AComponent)) child->SetControl(nullptr);
}

void TuiControl::ControlCursorChanged() { rememberedCursor_ = Cursor(); }

void TuiControl::CancelModeReceived() {
  mousePressed_ = false;
  SetMouseCaptureObject(nullptr);
}

void TuiControl::ControlFontChanged() {
  // A copy: a listener may leave while it is told.
  const std::vector<TFontListener> listeners = fontListeners_;
  for (const TFontListener& listener : listeners) listener(this, Font());
  Invalidate();
}

bool TuiControl::DesignHitTest(Integer, Integer, TShiftState) { return dragAndDropState_ != ddsNone || mousePressed_; }

void TuiControl::MouseEntered(TControl*) { TCustomControl::MouseEnter(); }

void TuiControl::MouseLeft(TControl*) { TCustomControl::MouseLeave(); }

void TuiControl::InvalidateArea(const TRect& R, bool AEraseBackground) {
  if (HandleAllocated()) ::InvalidateRect(Handle(), &R, AEraseBackground ? TRUE : FALSE);
}

// No form designer runs in this program: the walk finds whether a notice would be due, and nobody hears it.
void TuiControl::NotifyDesignerModified() {
  if (!IsDesigning()) return;
  for (TControl* control = this; control != nullptr; control = control->Parent())
    if (control->ComponentState().Contains(csLoading) || control->ComponentState().Contains(csReading) ||
        control->ComponentState().Contains(csDestroying))
      return;
}

// ---- The window procedure ----

TPoint TuiControl::MessagePoint(const TMessage& Message) {
  // The 16-bit coordinates of the message cannot hold points of a control this large.
  if (HandleAllocated() && (Width() > 32768 || Height() > 32768)) {
    TPoint p{};
    ::GetCursorPos(&p);
    return ScreenToClient(p);
  }
  return LParamToPoint(Message.LParam);
}

void TuiControl::WndProc(TMessage& Message) {
  LinkGuard link(this);
  const UINT msg = Message.Msg;
  const TPoint point = MessagePoint(Message);
  const auto afterwards = [&] {
    if (!link.Alive()) return;
    switch (msg) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS: FocusStateChanged(); break;
      case WM_PAINT:
        if (ParentBackground() != lastParentBackground_) {
          lastParentBackground_ = ParentBackground();
          ParentBackgroundChanged();
        }
        break;
      case WM_LBUTTONDOWN: MouseButtonPressed(mbLeft, point.x, point.y); break;
      case WM_RBUTTONDOWN: MouseButtonPressed(mbRight, point.x, point.y); break;
      case WM_MBUTTONDOWN: MouseButtonPressed(mbMiddle, point.x, point.y); break;
      default: break;
    }
  };
  try {
    const bool leftDown = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
    // The own drag and the design-time handling take the press themselves: the class library's automatic
    // drag start is passed by.
    if (leftDown && !Dragging() &&
        ((IsDesigning() && DesignHitTest(point.x, point.y, TShiftState{ssLeft})) ||
         (!IsDesigning() && DragMode() == dmAutomatic))) {
      if (!IsControlMouseMsg(static_cast<TWMMouse&>(Message))) {
        TControlState state = ControlState();
        state.Include(csLButtonDown);
        SetControlState(state);
        Dispatch(Message);
        if (link.Alive()) {
          state = ControlState();
          state.Exclude(csLButtonDown);
          SetControlState(state);
        }
      }
    } else {
      TCustomControl::WndProc(Message);
    }
  } catch (...) {
    afterwards();
    throw;
  }
  afterwards();
}

void TuiControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: {
      LRESULT code = 0;
      if (wantedKeys_.Contains(wkAllKeys)) code |= DLGC_WANTALLKEYS;
      if (wantedKeys_.Contains(wkArrows)) code |= DLGC_WANTARROWS;
      if (wantedKeys_.Contains(wkChars)) code |= DLGC_WANTCHARS;
      if (wantedKeys_.Contains(wkTab) && ::GetKeyState(VK_CONTROL) >= 0) code |= DLGC_WANTTAB;
      Message.Result = code;
      break;
    }
    case WM_NCCALCSIZE:
      TCustomControl::Dispatch(Message);
      if (HandleAllocated()) ::PostMessage(Handle(), ScrollBarMetricsChangedMessage, 0, 0);
      break;
    case ScrollBarMetricsChangedMessage: ScrollBarMetricsChanged(); break;
    default: TCustomControl::Dispatch(Message); break;
  }
}

void TuiControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TuiControl::CreateWnd() {
  InitializeControl();
  TCustomControl::CreateWnd();
  AttachScrollBars();
}

// ---- Mouse ----

void TuiControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  mouseDownPos_ = TPoint{X, Y};
  LinkGuard link(this);
  bool stop = false;
  if (TakesFocusOnClickAt(X, Y) && !Shift.Contains(ssDouble)) {
    SetFocus();
    if (!link.Alive()) return;
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form->ActiveControl() == this && !IsFocused()) {
      ::SetFocus(Handle());
      if (!link.Alive()) return;
    }
    if (!IsFocused() && !AllowsMouseWithoutFocus()) {
      SetMouseCapture(false);
      stop = true;
    }
  }
  if (!stop) {
    if (Button == mbLeft && !Shift.Contains(ssDouble) && StartDragAndDropAt(TPoint{X, Y})) {
      if (GetDragAndDropObject()->GetImmediateStart()) {
        BeginDragAndDrop();
      } else {
        SetDragAndDropState(ddsStarting);
      }
    } else {
      FinishDragAndDrop(false);
    }
    if (link.Alive()) BeforeMouseDown(Button, Shift, X, Y);
    if (link.Alive()) TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  if (link.Alive() && MouseCapture()) mousePressed_ = true;
}

void TuiControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  settingPointCursor_ = true;
  try {
    SetCursor(GetCursorAt(X, Y));
  } catch (...) {
    settingPointCursor_ = false;
    throw;
  }
  settingPointCursor_ = false;
  LinkGuard link(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (!link.Alive()) return;
  if (dragAndDropState_ == ddsStarting && !IsInDragDetectArea(X, Y)) BeginDragAndDrop();
  if (dragAndDropState_ == ddsInProcess) {
    bool accepted = false;
    DragAndDrop(TPoint{X, Y}, accepted);
  }
}

void TuiControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  mousePressed_ = false;
  LinkGuard link(this);
  EndMouseOperation();
  if (link.Alive()) TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TuiControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  const bool handled = TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  const TuiWheelScrollKind kind = WheelScrollKind();
  if (handled || kind == wskNone) return handled;
  const TuiScrollDirection direction = kind == wskHorizontal ? (WheelDelta > 0 ? sdLeft : sdRight)
                                                             : (WheelDelta > 0 ? sdUp : sdDown);
  LinkGuard link(this);
  for (Integer i = 0; i < Mouse->WheelScrollLines() && link.Alive(); ++i) ScrollByDirection(direction);
  return true;
}

// ---- Keys ----

bool TuiControl::IsPopupMenuShortCutOfChain(TWMKey& Message) {
  if (IsDesigning()) return false;
  for (TWinControl* control = this; control != nullptr; control = control->Parent())
    if (auto* uiControl = dynamic_cast<TuiControl*>(control))
      if (IsPopupMenuShortCut(uiControl->PopupMenu(), Message)) return true;
  return false;
}

void TuiControl::CNKeyDown(TWMKey& Message) {
  if (IsPopupMenuShortCutOfChain(Message)) {
    Message.Result = 1;
    return;
  }
  if (dragAndDropState_ != ddsNone && Message.CharCode() == VK_ESCAPE) {
    ::SendMessage(Handle(), WM_KEYDOWN, Message.WParam, Message.LParam);
    Message.Result = 1;
    return;
  }
  TCustomControl::CNKeyDown(Message);
}

void TuiControl::CNSysKeyDown(TWMKey& Message) {
  if (IsPopupMenuShortCutOfChain(Message)) {
    Message.Result = 1;
    return;
  }
  TCustomControl::CNSysKeyDown(Message);
}

void TuiControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    LinkGuard link(this);
    FinishDragAndDrop(false);
    if (!link.Alive()) return;
  }
  TCustomControl::KeyDown(Key, Shift);
}

// ---- Context menu and cursor ----

void TuiControl::WMContextMenu(TWMContextMenu& Message) {
  if (Message.Result != 0) return;
  if (IsDesigning()) {
    TCustomControl::WMContextMenu(Message);
    return;
  }
  TPoint p = SmallPointToPoint(Message.Pos());
  if (!IsKeyboardPoint(p)) {
    p = ScreenToClient(p);
    const TRect client = ClientRect();
    // Outside the client area (on a border) the window's default handling passes it to the parent.
    if (!::PtInRect(&client, p)) {
      DefaultHandler(Message);
      return;
    }
  }
  bool handled = false;
  LinkGuard link(this);
  DoContextPopup(p, handled);
  if (!link.Alive()) return;
  Message.Result = handled ? 1 : 0;
  if (!handled) TCustomControl::WMContextMenu(Message);
}

void TuiControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  LinkGuard link(this);
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled || !link.Alive()) return;
  const TPoint p = ClientToScreen(IsKeyboardPoint(MousePos) ? TPoint{0, 0} : MousePos);
  Handled = DoShowPopupMenu(popupMenu_, p.x, p.y);
}

void TuiControl::WMSetCursor(TWMSetCursor& Message) {
  if (IsDesigning() && dragAndDropState_ == ddsNone && Screen != nullptr) {
    TPoint p{};
    ::GetCursorPos(&p);
    p = ScreenToClient(p);
    if (DesignHitTest(p.x, p.y, TShiftState{ssLeft})) {
      ::SetCursor(Screen->Cursors(GetCursorAt(p.x, p.y)));
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::WMSetCursor(Message);
}

// ---- Painting ----

void TuiControl::Paint() {
  if (borderStyle_ == uicbsDefault) {
    TRect r;
    GetPaintBounds(r);
    GetPainterClass()->PaintBorder(canvas_.get(), r);
    GetClientBounds(r);
    canvas_->IntersectClipRect(r);
  }
  TCustomControl::Paint();
}

void TuiControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (ErasesBackground()) {
    TCustomControl::WMEraseBkgnd(Message);
  } else {
    Message.Result = 1;
  }
}

// ---- Notifications ----

void TuiControl::Resize() {
  LinkGuard link(this);
  TCustomControl::Resize();
  if (link.Alive()) ClientBoundsChanged();
}

void TuiControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TuiControl::WMCancelMode(TWMNoParams& Message) {
  LinkGuard link(this);
  TCustomControl::WMCancelMode(Message);
  if (link.Alive()) FinishDragAndDrop(false);
  if (link.Alive()) CancelModeReceived();
}

void TuiControl::CMColorChanged(TMessage& Message) {
  ControlColorChanged();
  TCustomControl::CMColorChanged(Message);
}

void TuiControl::CMVisibleChanged(TMessage& Message) {
  TCustomControl::CMVisibleChanged(Message);
  ControlVisibilityChanged();
}

void TuiControl::CMCursorChanged(TMessage& Message) {
  if (!settingPointCursor_) ControlCursorChanged();
  TCustomControl::CMCursorChanged(Message);
}

void TuiControl::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  ControlFontChanged();
}

void TuiControl::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  ControlTextChanged();
}

void TuiControl::CMMouseEnter(TCMMouseEnter& Message) {
  TCustomControl::CMMouseEnter(Message);
  MouseEntered(Message.LParam != 0 ? reinterpret_cast<TControl*>(Message.LParam) : this);
}

void TuiControl::CMMouseLeave(TCMMouseLeave& Message) {
  TCustomControl::CMMouseLeave(Message);
  MouseLeft(Message.LParam != 0 ? reinterpret_cast<TControl*>(Message.LParam) : this);
}

void TuiControl::CMDesignHitTest(TWMMouse& Message) {
  TCustomControl::CMDesignHitTest(Message);
  if (Message.Result == 0)
    Message.Result = DesignHitTest(Message.XPos(), Message.YPos(), KeysToShiftState(Message.Keys())) ? 1 : 0;
}

// ---- Child component ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiControlChildComponent) {}

TuiControlChildComponent::~TuiControlChildComponent() {
  if (control_ != nullptr) control_->RemoveChildComponent(this);
}

void TuiControlChildComponent::AfterConstruction() {
  TuiComponent::AfterConstruction();
  Initialize();
}

TuiControlChildComponent* TuiControlChildComponent::CreateForControl(TClass AClass, TuiControl* AControl,
                                                                   bool AAssignOwner) {
  TComponent* component = AClass->CreateComponent(AAssignOwner && AControl != nullptr ? AControl->Owner() : nullptr);
  auto* child = dynamic_cast<TuiControlChildComponent*>(component);
  if (child == nullptr) {
    FreeObject(component);
    throw EInvalidCast("Invalid class typecast");
  }
  child->SetControl(AControl);
  return child;
}

TComponent* TuiControlChildComponent::GetParentComponent() const { return control_; }

void TuiControlChildComponent::SetParentComponent(TComponent* AValue) {
  TuiComponent::SetParentComponent(AValue);
  if (auto* control = dynamic_cast<TuiControl*>(AValue)) control->AddChildComponent(this);
}

// ---- Popup menus --------------------------------------------------------------------------------------

bool ShowPopupMenu(TWinControl* ACaller, TComponent* AMenu, Integer X, Integer Y) {
  if (AMenu == nullptr) return false;
  if (auto* popup = dynamic_cast<IuiPopupMenu*>(AMenu)) {
    popup->Popup(X, Y);
    return true;
  }
  auto* menu = dynamic_cast<TPopupMenu*>(AMenu);
  if (menu == nullptr || !menu->AutoPopup()) return false;
  menu->SetPopupComponent(ACaller);
  menu->Popup(X, Y);
  return true;
}

bool IsPopupMenuShortCut(TComponent* AMenu, TWMKey& Message) {
  if (AMenu == nullptr) return false;
  if (auto* popup = dynamic_cast<IuiPopupMenu*>(AMenu)) return popup->IsShortCut(Message);
  auto* menu = dynamic_cast<TPopupMenu*>(AMenu);
  return menu != nullptr && menu->WindowHandle() != nullptr && menu->IsShortCut(Message);
}

Integer CalculatePopupMenuHeight(TPopupMenu* AMenu) {
  if (AMenu == nullptr) return 0;
  TuiScreenCanvas canvas;
  if (Screen != nullptr) canvas.SetCanvasFont(Screen->MenuFont());
  const Integer itemHeight = canvas.MeasureTextHeight("Qg") + 4;
  Integer height = 0;
  TMenuItem* items = AMenu->Items();
  for (Integer i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (!item->Visible()) continue;
    Integer width = 0;
    Integer h = itemHeight;
    if (AMenu->OwnerDraw() || AMenu->Images() != nullptr || item->HasBitmap()) item->MeasureItem(canvas.Canvas(), width, h);
    height += h;
  }
  return height + 4;
}
