// The control: bounds, constraints, parent, visibility, colour and font, text, mouse messages and events.
#include "platform/forms/Controls.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/Filer.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/SysUtils.h"

using namespace controlsconsts;

namespace k58::forms {

TControl* CaptureControl = nullptr;
thread_local TWinControl* CreationControl = nullptr;

LRESULT PerformIfAlive(TControl* Control, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Control == nullptr) return 0;
  return Control->Perform(Msg, WParam, LParam);
}

void ControlDestroying(TControl* Control) {
  if (CaptureControl == Control) CaptureControl = nullptr;
  DragControlDestroyed(Control);
  if (Application != nullptr) Application->ControlDestroyed(Control);
}

}  // namespace k58::forms

using namespace k58::forms;

// ---- Size constraints ------------------------------------------------------------------------------------

TSizeConstraints::TSizeConstraints(TControl* Control) : control_(Control) {}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TSizeConstraints*>(Source)) {
    minHeight_ = src->minHeight_;
    maxHeight_ = src->maxHeight_;
    minWidth_ = src->minWidth_;
    maxWidth_ = src->maxWidth_;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}

void TSizeConstraints::AssignTo(TPersistent* Dest) { TPersistent::AssignTo(Dest); }

void TSizeConstraints::SetMaxHeight(Integer Value) {
  if (Value == maxHeight_) return;
  maxHeight_ = std::max(Value, 0);
  if (maxHeight_ > 0 && maxHeight_ < minHeight_) minHeight_ = maxHeight_;
  Change();
}

void TSizeConstraints::SetMaxWidth(Integer Value) {
  if (Value == maxWidth_) return;
  maxWidth_ = std::max(Value, 0);
  if (maxWidth_ > 0 && maxWidth_ < minWidth_) minWidth_ = maxWidth_;
  Change();
}

void TSizeConstraints::SetMinHeight(Integer Value) {
  if (Value == minHeight_) return;
  minHeight_ = std::max(Value, 0);
  if (maxHeight_ > 0 && minHeight_ > maxHeight_) maxHeight_ = minHeight_;
  Change();
}

void TSizeConstraints::SetMinWidth(Integer Value) {
  if (Value == minWidth_) return;
  minWidth_ = std::max(Value, 0);
  if (maxWidth_ > 0 && minWidth_ > maxWidth_) maxWidth_ = minWidth_;
  Change();
}

void TSizeConstraints::Change() {
  if (control_ != nullptr) control_->DoConstraintsChange(this);
  onChange_(this);
}

// ---- The control -----------------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), font_(new TFont()), alive_(std::make_shared<bool>(true)) {
  windowProc_ = TWndMethod(this, &TControl::WndProc);
  constraints_ = new TSizeConstraints(this);
  font_->SetOnChange(TNotifyEvent(this, &TControl::FontChanged));
}

TControl::~TControl() {
  if (alive_) *alive_ = false;
  ControlDestroying(this);
  if (parent_ != nullptr) parent_->RemoveControl(this);
  delete constraints_;
  constraints_ = nullptr;
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (alive_) *alive_ = false;
  ControlDestroying(this);
  if (hostDockSite_ != nullptr) {
    std::erase(ControlsAccess::DockClients(hostDockSite_), this);
    hostDockSite_ = nullptr;
  }
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

// ---- Bounds ------------------------------------------------------------------------------------------------

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  InvalidateControl(visible_, false);
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::CheckedSetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  SetBounds(ALeft, ATop, AWidth, AHeight);
}

TRect TControl::GetClientRect() { return TRect{0, 0, width_, height_}; }

void TControl::SetClientWidth(Integer Value) {
  TRect client = GetClientRect();
  SetBounds(left_, top_, width_ - client.right + Value, height_);
}

void TControl::SetClientHeight(Integer Value) {
  TRect client = GetClientRect();
  SetBounds(left_, top_, width_, height_ - client.bottom + Value);
}

TPoint TControl::GetClientOrigin() {
  if (parent_ == nullptr) throw EInvalidOperation(Format(SParentRequired, Name()));
  TPoint origin = parent_->ClientOrigin();
  origin.x += left_;
  origin.y += top_;
  return origin;
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
  TPoint origin = ClientOrigin();
  return TPoint{Point.x + origin.x, Point.y + origin.y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
  TPoint origin = ClientOrigin();
  return TPoint{Point.x - origin.x, Point.y - origin.y};
}

void TControl::ChangeScale(Integer M, Integer D) {
  if (M == D || D == 0) return;
  auto scale = [M, D](Integer v) { return MulDiv(v, M, D); };
  Integer x = scale(left_);
  Integer y = scale(top_);
  Integer w = controlStyle_.Contains(csFixedWidth) ? width_ : scale(left_ + width_) - x;
  Integer h = controlStyle_.Contains(csFixedHeight) ? height_ : scale(top_ + height_) - y;
  if (constraints_->MinWidth() > 0) constraints_->SetMinWidth(scale(constraints_->MinWidth()));
  if (constraints_->MaxWidth() > 0) constraints_->SetMaxWidth(scale(constraints_->MaxWidth()));
  if (constraints_->MinHeight() > 0) constraints_->SetMinHeight(scale(constraints_->MinHeight()));
  if (constraints_->MaxHeight() > 0) constraints_->SetMaxHeight(scale(constraints_->MaxHeight()));
  SetBounds(x, y, w, h);
  if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), M, D));
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool result = true;
  onCanResize_(this, NewWidth, NewHeight, result);
  return result;
}

bool TControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  (void)NewWidth;
  (void)NewHeight;
  return true;
}

void TControl::ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight) {
  onConstrainedResize_(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

bool TControl::CheckNewSize(Integer& NewWidth, Integer& NewHeight) {
  // OnCanResize may refuse; then the constraints (with OnConstrainedResize) settle the size.
  auto canResize = [this](Integer& w, Integer& h) {
    if (!CanResize(w, h)) return false;
    Integer minW = constraints_->MinWidth(), minH = constraints_->MinHeight();
    Integer maxW = constraints_->MaxWidth(), maxH = constraints_->MaxHeight();
    ConstrainedResize(minW, minH, maxW, maxH);
    if (minW > 0 && w < minW) {
      w = minW;
    } else if (maxW > 0 && w > maxW) {
      w = maxW;
    }
    if (minH > 0 && h < minH) {
      h = minH;
    } else if (maxH > 0 && h > maxH) {
      h = maxH;
    }
    return true;
  };
  Integer w = NewWidth, h = NewHeight;
  if (!canResize(w, h)) return false;
  if (autoSize_) {
    Integer w2 = w, h2 = h;
    if (align_ != alClient && CanAutoSize(w2, h2)) {
      if (align_ == alLeft || align_ == alRight || align_ == alNone || align_ == alCustom) w = w2;
      if (align_ == alTop || align_ == alBottom || align_ == alNone || align_ == alCustom) h = h2;
      if (!canResize(w, h)) return false;
    }
  }
  NewWidth = std::max(w, 0);
  NewHeight = std::max(h, 0);
  return true;
}

void TControl::Resize() { onResize_(this); }

void TControl::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(left_, top_, width_, height_);
}

void TControl::DoConstraintsChange(TObject* Sender) {
  (void)Sender;
  if (!ComponentState().Contains(csLoading)) AdjustSize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
  UpdateAnchorRules();
  left_ = R.left;
  top_ = R.top;
  width_ = R.right - R.left;
  height_ = R.bottom - R.top;
  RequestAlign();
}

// ---- Parent and visibility ----------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (parent_ == AParent) return;
  if (static_cast<TControl*>(AParent) == this) throw EInvalidOperation(SControlParentSetToSelf);
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (AParent != nullptr) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* p = dynamic_cast<TWinControl*>(Value)) SetParent(p);
}

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  VisibleChanging();
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  NotifyHostDockSite(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_ != nullptr) parent_->Show();
  if (!ComponentState().Contains(csDesigning) || controlStyle_.Contains(csNoDesignVisible)) SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetName(const String& NewName) {
  // A control shows its name as its caption until the caption is changed.
  bool changeText = controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                    Name() == Text();
  if (changeText && Owner() != nullptr) {
    if (auto* ownerControl = dynamic_cast<TControl*>(Owner())) {
      if (ownerControl->ComponentState().Contains(csLoading)) changeText = false;
    }
  }
  TComponent::SetName(NewName);
  if (changeText) SetText(NewName);
}

// ---- Text -----------------------------------------------------------------------------------------------

String TControl::GetText() {
  Integer len = GetTextLen();
  String text(static_cast<size_t>(len) + 1, '\0');
  Integer copied = GetTextBuf(text.data(), len + 1);
  text.resize(static_cast<size_t>(std::clamp(copied, 0, len)));
  return text;
}

void TControl::SetText(const String& Value) {
  if (GetText() != Value) SetTextBuf(Value.c_str());
}

Integer TControl::GetTextBuf(char* Buffer, Integer BufSize) {
  return static_cast<Integer>(Perform(WM_GETTEXT, static_cast<WPARAM>(BufSize), reinterpret_cast<LPARAM>(Buffer)));
}

Integer TControl::GetTextLen() { return static_cast<Integer>(Perform(WM_GETTEXTLENGTH, 0, 0)); }

void TControl::SetTextBuf(const char* Buffer) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Buffer));
  Perform(CM_TEXTCHANGED, 0, 0);
  NotifyHostDockSite(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Buffer));
}

// ---- Colour, font, hint, menu, cursor ---------------------------------------------------------------------

void TControl::SetColor(TColor Value) {
  if (color_ == Value) {
    parentColor_ = false;
    return;
  }
  color_ = Value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  if (parent_ != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject* Sender) {
  (void)Sender;
  parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (parent_ != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (showHint_ != Value) {
    showHint_ = Value;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
  } else {
    parentShowHint_ = false;
  }
}

void TControl::SetParentShowHint(bool Value) {
  if (parentShowHint_ == Value) return;
  parentShowHint_ = Value;
  if (parent_ != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

// ---- Drawing -------------------------------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible && !ComponentState().Contains(csDesigning)) return;
  if (parent_ == nullptr || !parent_->HandleAllocated()) return;
  TRect rect = BoundsRect();
  ::InvalidateRect(parent_->Handle(), &rect, !(IsOpaque || parent_->DoubleBuffered()));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Repaint() {
  if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
  if (controlStyle_.Contains(csOpaque)) {
    // An opaque graphic control paints itself and the graphic controls above it directly.
    HWND wnd = parent_->Handle();
    HDC dc = ::GetDC(wnd);
    if (dc == nullptr) return;
    TRect rect = BoundsRect();
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    parent_->PaintControls(dc, this);
    ::ReleaseDC(wnd, dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::Update() {
  if (parent_ != nullptr) parent_->Update();
}

void TControl::SetZOrder(bool TopMost) {
  if (parent_ == nullptr) return;
  auto& list = ControlsAccess::GraphicChildren(parent_);
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) {
    list.push_back(this);
  } else {
    list.insert(list.begin(), this);
  }
  InvalidateControl(visible_, true);
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (parent_ == nullptr) throw EInvalidOperation(Format(SParentRequired, Name()));
  HDC dc = parent_->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(dc, left_, top_, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  return dc;
}

// ---- Messages ----------------------------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  if (windowProc_) {
    windowProc_(message);
  } else {
    WndProc(message);
  }
  return message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      Message.Msg != WM_MOUSEHWHEEL) {
    // Without csDoubleClicks a double click is a second press.
    if (!controlStyle_.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
        default:
          break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (Application != nullptr) Application->HintMouseMessage(this, Message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (dragMode_ == dmAutomatic && !ComponentState().Contains(csDesigning)) {
          BeginDrag(Mouse->DragImmediate(), Mouse->DragThreshold());
          return;
        }
        controlState_.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        controlState_.Exclude(csLButtonDown);
        break;
      default:
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(static_cast<TWMMouse&>(Message)); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(static_cast<TWMMouse&>(Message)); break;
    case WM_LBUTTONUP: WMLButtonUp(static_cast<TWMMouse&>(Message)); break;
    case WM_RBUTTONDOWN: WMRButtonDown(static_cast<TWMMouse&>(Message)); break;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(static_cast<TWMMouse&>(Message)); break;
    case WM_RBUTTONUP: WMRButtonUp(static_cast<TWMMouse&>(Message)); break;
    case WM_MBUTTONDOWN: WMMButtonDown(static_cast<TWMMouse&>(Message)); break;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(static_cast<TWMMouse&>(Message)); break;
    case WM_MBUTTONUP: WMMButtonUp(static_cast<TWMMouse&>(Message)); break;
    case WM_MOUSEMOVE: WMMouseMove(static_cast<TWMMouse&>(Message)); break;
    case WM_MOUSEWHEEL: WMMouseWheel(static_cast<TWMMouseWheel&>(Message)); break;
    case WM_CONTEXTMENU: WMContextMenu(static_cast<TWMContextMenu&>(Message)); break;
    case WM_CANCELMODE: WMCancelMode(static_cast<TWMNoParams&>(Message)); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(static_cast<TWMWindowPosMsg&>(Message)); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_HITTEST: CMHitTest(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(static_cast<TCMMouseEnter&>(Message)); break;
    case CM_MOUSELEAVE: CMMouseLeave(static_cast<TCMMouseLeave&>(Message)); break;
    case CM_HINTSHOW: CMHintShow(static_cast<TCMHintShow&>(Message)); break;
    case CM_DESIGNHITTEST: CMDesignHitTest(static_cast<TWMMouse&>(Message)); break;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); break;
    case CM_FLOAT: CMFloat(Message); break;
    default: DefaultHandler(Message); break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(Message.LParam);
      auto size = static_cast<size_t>(Message.WParam);
      if (buffer == nullptr || size == 0) {
        Message.Result = 0;
        break;
      }
      size_t n = std::min(text_.size(), size - 1);
      std::memcpy(buffer, text_.data(), n);
      buffer[n] = '\0';
      Message.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(text_.size());
      break;
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const char*>(Message.LParam);
      text_ = text != nullptr ? String(text) : String();
      Message.Result = 1;
      break;
    }
    default:
      break;
  }
}

// ---- Mouse --------------------------------------------------------------------------------------------

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::SendCancelMode(TControl* Sender) {
  for (TControl* control = this; control != nullptr; control = control->parent_) {
    if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SendCancelMode(Sender);
  }
}

void TControl::Click() { onClick_(this); }

void TControl::DblClick() { onDblClick_(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  onMouseDown_(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) { onMouseMove_(this, Shift, X, Y); }

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  onMouseUp_(this, Button, Shift, X, Y);
}

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDown(TWMMouse& Message) {
  SendCancelMode(this);
  std::weak_ptr<bool> alive = alive_;
  DefaultHandler(Message);
  if (alive.expired() || !*alive.lock()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
  SendCancelMode(this);
  std::weak_ptr<bool> alive = alive_;
  DefaultHandler(Message);
  if (alive.expired() || !*alive.lock()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) DblClick();
  if (alive.expired() || !*alive.lock()) return;
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& Message) {
  std::weak_ptr<bool> alive = alive_;
  DefaultHandler(Message);
  if (alive.expired() || !*alive.lock()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (controlState_.Contains(csClicked)) {
    controlState_.Exclude(csClicked);
    TRect client = GetClientRect();
    POINT p{Message.XPos(), Message.YPos()};
    if (p.x >= client.left && p.x < client.right && p.y >= client.top && p.y < client.bottom) Click();
  }
  if (alive.expired() || !*alive.lock()) return;
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TWMMouse& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonDblClk(TWMMouse& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMRButtonUp(TWMMouse& Message) {
  std::weak_ptr<bool> alive = alive_;
  DefaultHandler(Message);
  if (alive.expired() || !*alive.lock()) return;
  DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonDown(TWMMouse& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonDblClk(TWMMouse& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMButtonUp(TWMMouse& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TWMMouse& Message) {
  DefaultHandler(Message);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

// The wheel goes to the focused control of the form, then up its parents until one handles it.
void TControl::WMMouseWheel(TWMMouseWheel& Message) {
  TShiftState shift = KeysToShiftState(Message.Keys());
  WPARAM wParam = MAKEWPARAM(static_cast<Word>(shift.Bits()), static_cast<Word>(Message.WheelDelta()));
  TCustomForm* form = GetParentForm(this);
  TControl* target = this;
  if (form != nullptr && form->FocusedControl() != nullptr) target = form->FocusedControl();
  Message.Result = target->Perform(CM_MOUSEWHEEL, wParam, Message.LParam);
  if (Message.Result == 0) DefaultHandler(Message);
}

void TControl::CMMouseWheel(TMessage& Message) {
  TShiftState shift = TShiftState::FromBits(Message.WParamLo());
  auto delta = static_cast<SmallInt>(Message.WParamHi());
  TPoint pos = LParamToPoint(Message.LParam);
  Message.Result = 0;
  if (DoMouseWheel(shift, delta, pos)) {
    Message.Result = 1;
  } else if (parent_ != nullptr) {
    Message.Result = parent_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  }
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  bool handled = false;
  onMouseWheel_(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  // Each notch (WHEEL_DELTA) is one step up or down; smaller deltas add up until they make a notch.
  wheelAccumulator_ += WheelDelta;
  while (std::abs(wheelAccumulator_) >= WHEEL_DELTA) {
    if (wheelAccumulator_ < 0) {
      wheelAccumulator_ += WHEEL_DELTA;
      handled = DoMouseWheelDown(Shift, MousePos) || handled;
    } else {
      wheelAccumulator_ -= WHEEL_DELTA;
      handled = DoMouseWheelUp(Shift, MousePos) || handled;
    }
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  onMouseWheelDown_(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  onMouseWheelUp_(this, Shift, MousePos, handled);
  return handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) { onContextPopup_(this, MousePos, Handled); }

// A right click (or the menu key, with the point (-1, -1)) shows the control's popup menu.
void TControl::WMContextMenu(TWMContextMenu& Message) {
  if (Message.Result != 0) return;
  if (ComponentState().Contains(csDesigning)) return;
  TPoint pt = SmallPointToPoint(Message.Pos());
  bool fromKeyboard = pt.x == -1 && pt.y == -1;
  TPoint clientPt = fromKeyboard ? TPoint{-1, -1} : ScreenToClient(pt);
  bool handled = false;
  std::weak_ptr<bool> alive = alive_;
  DoContextPopup(clientPt, handled);
  if (alive.expired() || !*alive.lock()) return;
  Message.Result = handled ? 1 : 0;
  if (handled) return;
  TPopupMenu* menu = GetPopupMenu();
  if (menu != nullptr && menu->AutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (fromKeyboard) pt = ClientToScreen(TPoint{0, 0});
    menu->Popup(pt.x, pt.y);
    Message.Result = 1;
  }
  if (Message.Result == 0) DefaultHandler(Message);
}

void TControl::WMCancelMode(TWMNoParams& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (controlState_.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, PointToLParam(TPoint{-1, -1}));
  } else {
    controlState_.Exclude(csLButtonDown);
  }
}

void TControl::WMWindowPosChanged(TWMWindowPosMsg& Message) { DefaultHandler(Message); }

void TControl::CMVisibleChanged(TMessage& Message) {
  (void)Message;
  if (!ComponentState().Contains(csDesigning) || controlStyle_.Contains(csNoDesignVisible)) {
    InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque));
  }
}

void TControl::CMEnabledChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMColorChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMFontChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!parentColor_) return;
  if (Message.WParam != 0) {
    SetColor(static_cast<TColor>(Message.LParam));
  } else if (parent_ != nullptr) {
    SetColor(parent_->Color());
  }
  parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!parentFont_) return;
  if (Message.WParam != 0) {
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  } else if (parent_ != nullptr) {
    SetFont(parent_->Font());
  }
  parentFont_ = true;
}

void TControl::CMParentShowHintChanged(TMessage& Message) {
  (void)Message;
  if (!parentShowHint_ || parent_ == nullptr) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

void TControl::CMTextChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMMouseEnter(TCMMouseEnter& Message) {
  if (parent_ != nullptr) {
    parent_->Perform(CM_MOUSEENTER, 0, Message.LParam != 0 ? Message.LParam : reinterpret_cast<LPARAM>(this));
  }
  if (Message.LParam == 0) MouseEnter();
}

void TControl::CMMouseLeave(TCMMouseLeave& Message) {
  if (parent_ != nullptr) {
    parent_->Perform(CM_MOUSELEAVE, 0, Message.LParam != 0 ? Message.LParam : reinterpret_cast<LPARAM>(this));
  }
  if (Message.LParam == 0) MouseLeave();
}

void TControl::CMHintShow(TCMHintShow& Message) { Message.Result = 0; }

void TControl::CMDesignHitTest(TWMMouse& Message) { Message.Result = 0; }

void TControl::CMFloat(TMessage& Message) {
  (void)Message;
  ManualDock(nullptr);
}

// ---- Streaming --------------------------------------------------------------------------------------------

void TControl::ReadState(TReader* Reader) {
  controlState_.Include(csReadingState);
  if (auto* parent = dynamic_cast<TWinControl*>(Reader->Parent())) SetParent(parent);
  TComponent::ReadState(Reader);
  controlState_.Exclude(csReadingState);
  if (parent_ != nullptr) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    Perform(CM_SYSFONTCHANGED, 0, 0);
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  SetLoading(false);
  UpdateAnchorRules();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == static_cast<TComponent*>(popupMenu_)) {
    popupMenu_ = nullptr;
  }
}

// ---- Free functions ----------------------------------------------------------------------------------------

TWinControl* FindControl(HWND Handle) {
  if (Handle == nullptr) return nullptr;
  return static_cast<TWinControl*>(::GetProp(Handle, ControlProp));
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
  HWND wnd = ::WindowFromPoint(Pos);
  while (wnd != nullptr) {
    if (TWinControl* control = FindControl(wnd)) return control;
    wnd = ::GetParent(wnd);
  }
  return nullptr;
}

TCustomForm* GetParentForm(TControl* Control) {
  if (Control == nullptr) return nullptr;
  while (Control->Parent() != nullptr) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* form = GetParentForm(Control);
  if (form == nullptr) throw EInvalidOperation(Format(SParentRequired, Control != nullptr ? Control->Name() : String()));
  return form;
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(::GetCapture());
  if (result != nullptr && CaptureControl != nullptr && CaptureControl->Parent() == result) result = CaptureControl;
  return result;
}

void SetCaptureControl(TControl* Control) {
  ::ReleaseCapture();
  CaptureControl = nullptr;
  if (Control == nullptr) return;
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (win == nullptr) {
    if (Control->Parent() == nullptr) return;
    CaptureControl = Control;
    win = Control->Parent();
  }
  ::SetCapture(win->Handle());
}

TShiftState KeysToShiftState(Word Keys) {
  TShiftState result;
  if (Keys & MK_SHIFT) result.Include(ssShift);
  if (Keys & MK_CONTROL) result.Include(ssCtrl);
  if (Keys & MK_LBUTTON) result.Include(ssLeft);
  if (Keys & MK_RBUTTON) result.Include(ssRight);
  if (Keys & MK_MBUTTON) result.Include(ssMiddle);
  if (::GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
  return result;
}

TShiftState KeyDataToShiftState(LongInt KeyData) {
  constexpr LongInt AltMask = 0x20000000;
  TShiftState result;
  if (::GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
  if (KeyData & AltMask) result.Include(ssAlt);
  return result;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState result;
  if (::GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
  if (::GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
  if (::GetKeyState(VK_LBUTTON) < 0) result.Include(ssLeft);
  if (::GetKeyState(VK_RBUTTON) < 0) result.Include(ssRight);
  if (::GetKeyState(VK_MBUTTON) < 0) result.Include(ssMiddle);
  return result;
}

// ---- Cursor names ------------------------------------------------------------------------------------------

namespace {

constexpr TIdentMapEntry CursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

}  // namespace

bool CursorToIdent(Integer Cursor, String& Ident) {
  for (const TIdentMapEntry& e : CursorNames) {
    if (e.Value == Cursor) {
      Ident = e.Name;
      return true;
    }
  }
  return false;
}

bool IdentToCursor(const String& Ident, Integer& Cursor) {
  for (const TIdentMapEntry& e : CursorNames) {
    if (SameText(Ident, e.Name)) {
      Cursor = e.Value;
      return true;
    }
  }
  return false;
}

String CursorToString(TCursor Cursor) {
  String ident;
  if (CursorToIdent(Cursor, ident)) return ident;
  return IntToStr(Cursor);
}

TCursor StringToCursor(const String& S) {
  Integer value = 0;
  if (IdentToCursor(S, value)) return static_cast<TCursor>(value);
  return static_cast<TCursor>(StrToInt(S));
}

// ---- The mouse ---------------------------------------------------------------------------------------------

TMouse* Mouse = new TMouse();

TPoint TMouse::CursorPos() const {
  TPoint p{};
  ::GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.x, Value.y); }

HWND TMouse::Capture() const { return ::GetCapture(); }

void TMouse::SetCapture(HWND Value) {
  if (Value == nullptr) {
    ::ReleaseCapture();
  } else {
    ::SetCapture(Value);
  }
}

Integer TMouse::WheelScrollLines() const {
  if (wheelScrollLines_ >= 0) return wheelScrollLines_;
  UINT lines = 3;
  if (!::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
  return static_cast<Integer>(lines);
}
