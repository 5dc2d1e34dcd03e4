// The drag manager: dragging controls (and objects of the application's own) over other controls and
// dropping them, docking controls into dock sites, and the image shown under the mouse while dragging.
//
// A drag holds the mouse capture on a window of its own. It starts at once or, pending, once the mouse
// moved the threshold with the button down; it follows the mouse (DragOver to the target under it, the
// cursor shows whether the target accepts), drops on a button release over a target that accepts
// (DragDrop), and is cancelled by Esc, the right button or the loss of the capture.
#include <algorithm>
#include <cstdlib>

#include "platform/classes/Streams.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/win/core/UtilWindow.h"

using namespace k58::forms;

struct DragManager {
  TControl* Control = nullptr;
  std::weak_ptr<bool> ControlAlive;
  TDragObject* Object = nullptr;
  bool Pending = false;
  bool Docking = false;
  TPoint StartPos{};
  Integer Threshold = 5;
  HWND CaptureWindow = nullptr;
  TControl* Target = nullptr;
  std::weak_ptr<bool> TargetAlive;
  // Set while the control's start-drag step runs; CancelDrag meanwhile stops the drag from starting.
  bool Starting = false;
  bool StartCancelled = false;

  static DragManager& Get() {
    static DragManager manager;
    return manager;
  }

  static void SetTarget(TDragObject* Obj, TControl* Target, const TPoint& Pos) {
    Obj->dragTarget_ = Target;
    Obj->dragPos_ = Pos;
    Obj->dragTargetPos_ = Target != nullptr ? Target->ScreenToClient(Pos) : Pos;
  }
  static void SetFinishState(TDragObject* Obj, bool Cancelling, bool Dropped) {
    Obj->cancelling_ = Cancelling;
    Obj->dropped_ = Dropped;
  }
  static void SetHandle(TDragObject* Obj, HWND Wnd) { Obj->dragHandle_ = Wnd; }

  bool TargetAliveNow() const { return Target != nullptr && !TargetAlive.expired() && *TargetAlive.lock(); }

  // The control under the point that takes part: for docking, the nearest dock site.
  TControl* FindTarget(const TPoint& Pos) {
    TControl* target = FindDragTarget(Pos, false);
    if (!Docking) return target;
    for (TControl* c = target; c != nullptr; c = c->Parent()) {
      auto* site = dynamic_cast<TWinControl*>(c);
      if (site == nullptr || !site->DockSite() || site == Control) continue;
      TRect influence{};
      bool canDock = true;
      site->GetSiteInfo(Control, influence, Pos, canDock);
      if (canDock) return site;
    }
    return nullptr;
  }

  bool DragOver(TDragState State) {
    if (!TargetAliveNow()) return false;
    bool accept = false;
    TPoint p = Object->DragTargetPos();
    if (Docking) {
      auto* site = dynamic_cast<TWinControl*>(Target);
      auto* dock = dynamic_cast<TDragDockObject*>(Object);
      if (site != nullptr && dock != nullptr) site->DockOver(dock, p.x, p.y, State, accept);
    } else {
      Target->DragOver(Object->Source(), p.x, p.y, State, accept);
    }
    return accept;
  }

  void MoveTo(const TPoint& Pos) {
    if (Object == nullptr) return;
    if (Pending) {
      if (std::abs(Pos.x - StartPos.x) < Threshold && std::abs(Pos.y - StartPos.y) < Threshold) return;
      Pending = false;
      if (TDragImageList* images = Object->GetDragImages()) {
        images->BeginDrag(nullptr, Pos.x, Pos.y);
      }
    }
    TControl* target = FindTarget(Pos);
    if (target != Target || !TargetAliveNow()) {
      if (TargetAliveNow()) DragOver(dsDragLeave);
      Target = target;
      TargetAlive = target != nullptr ? target->AliveToken() : std::weak_ptr<bool>();
      SetTarget(Object, target, Pos);
      if (target != nullptr) DragOver(dsDragEnter);
    }
    SetTarget(Object, TargetAliveNow() ? Target : nullptr, Pos);
    bool accepted = DragOver(dsDragMove);
    TPoint tp = Object->DragTargetPos();
    TCursor cursor = Object->GetDragCursor(accepted, tp.x, tp.y);
    if (Screen != nullptr) ::SetCursor(Screen->Cursors(cursor));
    if (TDragImageList* images = Object->GetDragImages()) {
      if (images->Dragging()) images->DragMove(Pos.x, Pos.y);
    }
  }

  void Done(bool Drop) {
    TDragObject* obj = Object;
    if (obj == nullptr) return;
    bool accepted = false;
    TControl* target = nullptr;
    TPoint pos = obj->DragTargetPos();
    if (!Pending && TargetAliveNow()) {
      target = Target;
      accepted = Drop && DragOver(dsDragMove);
      if (!accepted && TargetAliveNow()) DragOver(dsDragLeave);
    }
    SetFinishState(obj, !Drop, accepted);
    // The drag is over before anyone hears of its end.
    HWND capture = CaptureWindow;
    CaptureWindow = nullptr;
    Object = nullptr;
    TControl* control = Control;
    Control = nullptr;
    Target = nullptr;
    Pending = false;
    if (TDragImageList* images = obj->GetDragImages()) images->EndDrag();
    if (capture != nullptr) {
      if (::GetCapture() == capture) ::ReleaseCapture();
      DeallocateHWnd(capture);
    }
    if (Screen != nullptr) ::SetCursor(Screen->Cursors(Screen->Cursor() != crDefault ? Screen->Cursor() : crArrow));
    (void)control;
    try {
      if (accepted && target != nullptr) {
        TObject* source = obj->Source();
        if (Docking) {
          auto* site = dynamic_cast<TWinControl*>(target);
          auto* dock = dynamic_cast<TDragDockObject*>(obj);
          if (site != nullptr && dock != nullptr) site->DockDrop(dock, pos.x, pos.y);
        } else {
          target->DragDrop(source, pos.x, pos.y);
        }
      }
      obj->Finished(accepted ? static_cast<TObject*>(target) : nullptr, pos.x, pos.y, accepted);
    } catch (...) {
      if (obj->AutoFree) delete obj;
      throw;
    }
    if (obj->AutoFree) delete obj;
  }

  LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
      case WM_MOUSEMOVE: {
        TPoint p{};
        ::GetCursorPos(&p);
        MoveTo(p);
        return 0;
      }
      case WM_LBUTTONUP:
        Done(true);
        return 0;
      case WM_RBUTTONDOWN:
      case WM_CANCELMODE:
        Done(false);
        return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(LParam) != Wnd && Object != nullptr && CaptureWindow == Wnd) Done(false);
        return 0;
      case WM_KEYDOWN:
      case CN_KEYDOWN:
        if (WParam == VK_ESCAPE) {
          Done(false);
          return 1;
        }
        return 0;
      default:
        return ::DefWindowProc(Wnd, Msg, WParam, LParam);
    }
  }

  void Init(TControl* AControl, TDragObject* Obj, bool Docks, bool Immediate, Integer AThreshold) {
    Control = AControl;
    ControlAlive = AControl != nullptr ? AControl->AliveToken() : std::weak_ptr<bool>();
    Object = Obj;
    Docking = Docks;
    Threshold = std::max<Integer>(AThreshold, 0);
    Target = nullptr;
    TPoint p{};
    ::GetCursorPos(&p);
    StartPos = p;
    SetTarget(Obj, nullptr, p);
    CaptureWindow = AllocateHWnd([this](HWND W, UINT M, WPARAM WP, LPARAM LP) { return WndProc(W, M, WP, LP); });
    SetHandle(Obj, CaptureWindow);
    ::SetCapture(CaptureWindow);
    Pending = true;
    if (Immediate) {
      Pending = false;
      if (TDragImageList* images = Obj->GetDragImages()) images->BeginDrag(nullptr, p.x, p.y);
      MoveTo(p);
    }
  }
};

namespace k58::forms {

void DragInitControl(TControl* Control, bool Immediate, Integer Threshold) {
  DragManager& m = DragManager::Get();
  bool docking = Control->DragKind() == dkDock;
  TDragObject* obj = nullptr;
  std::weak_ptr<bool> alive = Control->AliveToken();
  if (docking) {
    TDragDockObject* dock = nullptr;
    Control->DoStartDock(dock);
    if (dock == nullptr) {
      dock = new TDragDockObject(Control);
      dock->AutoFree = true;
    }
    obj = dock;
  } else {
    m.Starting = true;
    m.StartCancelled = false;
    try {
      Control->DoStartDrag(obj);
    } catch (...) {
      m.Starting = false;
      throw;
    }
    m.Starting = false;
    if (m.StartCancelled) {
      if (obj != nullptr && obj->AutoFree) delete obj;
      return;
    }
    if (obj == nullptr) {
      obj = new TDragControlObject(Control);
      obj->AutoFree = true;
    }
  }
  if (alive.expired() || !*alive.lock()) {
    if (obj->AutoFree) delete obj;
    return;
  }
  m.Init(Control, obj, docking, Immediate, Threshold);
}

void DragDone(bool Drop) { DragManager::Get().Done(Drop); }

bool DragActive() { return DragManager::Get().Object != nullptr; }

void DragControlDestroyed(TControl* Control) {
  DragManager& m = DragManager::Get();
  if (m.Object == nullptr || m.Control != Control) return;
  if (auto* object = dynamic_cast<TBaseDragControlObject*>(m.Object)) {
    if (object->Control() == Control) object->SetControl(nullptr);
  }
  m.Control = nullptr;
  // Called while the control is freed: what the drag object's end raises is shown, never thrown.
  try {
    m.Done(false);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(Application);
  }
}

}  // namespace k58::forms

TDragObject* DragObject() { return DragManager::Get().Object; }

void CancelDrag() {
  DragManager& m = DragManager::Get();
  if (m.Object != nullptr) {
    m.Done(false);
  } else if (m.Starting) {
    m.StartCancelled = true;
  }
}

bool IsDragObject(TObject* Sender) { return dynamic_cast<TDragObject*>(Sender) != nullptr; }

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* window = FindVCLWindow(Pos);
  if (window == nullptr) return nullptr;
  TControl* control = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled);
  return control != nullptr ? control : window;
}

// ---- Drag objects ------------------------------------------------------------------------------------------

TDragObject::~TDragObject() {
  DragManager& m = DragManager::Get();
  if (m.Object == this) {
    // Freed while dragging: the drag ends without it.
    m.Object = nullptr;
    if (m.CaptureWindow != nullptr) {
      HWND capture = m.CaptureWindow;
      m.CaptureWindow = nullptr;
      if (::GetCapture() == capture) ::ReleaseCapture();
      DeallocateHWnd(capture);
    }
    m.Control = nullptr;
    m.Target = nullptr;
  }
}

TCursor TDragObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  (void)X;
  (void)Y;
  return Accepted ? crDrag : crNoDrop;
}

TDragImageList* TDragObject::GetDragImages() { return nullptr; }

void TDragObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

void TDragObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  (void)Target;
  (void)X;
  (void)Y;
  (void)Accepted;
}

String TDragObject::GetName() { return ClassName(); }

void TBaseDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  (void)Accepted;
  EndDrag(Target, X, Y);
}

void TBaseDragControlObject::EndDrag(TObject* Target, Integer X, Integer Y) {
  if (control_ != nullptr) control_->DoEndDrag(Target, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  (void)X;
  (void)Y;
  if (!Accepted) return crNoDrop;
  return Control() != nullptr ? Control()->DragCursor() : crDrag;
}

TDragImageList* TDragControlObject::GetDragImages() {
  return Control() != nullptr ? Control()->GetDragImages() : nullptr;
}

void TDragDockObject::EndDrag(TObject* Target, Integer X, Integer Y) {
  if (Control() != nullptr) Control()->DoEndDock(Target, X, Y);
}

// ---- Dragging a control ---------------------------------------------------------------------------------------

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (dynamic_cast<TCustomForm*>(this) != nullptr && dragKind_ != dkDock) {
    throw EInvalidOperation(formsconsts::SCannotDragForm);
  }
  if (DragManager::Get().Object != nullptr) return;
  // A pressed button is released first, so the click and the capture end before the drag takes over.
  if (controlState_.Contains(csLButtonDown)) {
    TPoint p{};
    ::GetCursorPos(&p);
    if (parent_ != nullptr || dynamic_cast<TWinControl*>(this) != nullptr) p = ScreenToClient(p);
    controlState_.Exclude(csClicked);
    Perform(WM_LBUTTONUP, 0, PointToLParam(p));
  }
  if (Threshold < 0) Threshold = Mouse->DragThreshold();
  DragInitControl(this, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) DragDone(Drop);
}

bool TControl::Dragging() const { return DragManager::Get().Control == this && DragManager::Get().Object != nullptr; }

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) { onDragDrop_(this, Source, X, Y); }

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = false;
  if (onDragOver_) {
    Accept = true;
    onDragOver_(this, Source, X, Y, State, Accept);
  }
}

void TControl::DoStartDrag(TDragObject*& DragObject) { onStartDrag_(this, DragObject); }

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) { onEndDrag_(this, Target, X, Y); }

void TControl::DoStartDock(TDragDockObject*& DragObject) { onStartDock_(this, DragObject); }

void TControl::DoEndDock(TObject* Target, Integer X, Integer Y) { onEndDock_(this, Target, X, Y); }

// ---- Docking ---------------------------------------------------------------------------------------------------

void TControl::SetHostDockSite(TWinControl* Value) {
  if (hostDockSite_ == Value) return;
  if (hostDockSite_ != nullptr) std::erase(ControlsAccess::DockClients(hostDockSite_), this);
  hostDockSite_ = Value;
  if (Value != nullptr) {
    ControlsAccess::DockClients(Value).push_back(this);
    dockedOnce_ = true;
  }
}

void TControl::DoDock(TWinControl* NewDockSite, TRect& ARect) { NewDockSite->DoAddDockClient(this, ARect); }

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide) {
  (void)DropControl;
  if (NewDockSite == hostDockSite_ && NewDockSite != nullptr) return true;
  // The old site may refuse to let the control go.
  TWinControl* oldSite = hostDockSite_;
  if (oldSite != nullptr && !oldSite->DoUnDock(NewDockSite, this)) return false;
  controlState_.Include(csDocking);
  try {
    if (NewDockSite != nullptr) {
      TRect r = BoundsRect();
      DoDock(NewDockSite, r);
      if (ControlSide != alNone) SetAlign(ControlSide);
      SetHostDockSite(NewDockSite);
    } else {
      SetHostDockSite(nullptr);
      SetParent(nullptr);
    }
  } catch (...) {
    controlState_.Exclude(csDocking);
    throw;
  }
  controlState_.Exclude(csDocking);
  if (oldSite != nullptr && oldSite != NewDockSite) oldSite->DoRemoveDockClient(this);
  return true;
}

void TControl::NotifyHostDockSite(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (hostDockSite_ == nullptr) return;
  TDockNotifyRec rec{Msg, WParam, LParam};
  hostDockSite_->Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&rec));
}

// ---- Drag images ------------------------------------------------------------------------------------------------

namespace {
constexpr const char* kDragImageClass = "TDragImageWindow";

LRESULT DragImageWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* list = reinterpret_cast<TDragImageList*>(::GetWindowLongPtr(Wnd, GWLP_USERDATA));
  switch (Msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(Wnd, &ps);
      if (list != nullptr) {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Brush()->SetColor(clWindow);
        TRect r{};
        ::GetClientRect(Wnd, &r);
        canvas.FillRect(r);
        list->Draw(&canvas, 0, 0, list->DragIndex());
        canvas.SetHandle(nullptr);
      }
      ::EndPaint(Wnd, &ps);
      return 0;
    }
    default:
      return ::DefWindowProc(Wnd, Msg, WParam, LParam);
  }
}
}  // namespace

TDragImageList::TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}

TDragImageList::TDragImageList(Integer AWidth, Integer AHeight) : TCustomImageList(AWidth, AHeight) {}

TDragImageList::~TDragImageList() {
  if (imageWindow_ != nullptr) ::DestroyWindow(imageWindow_);
}

bool TDragImageList::SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY) {
  if (Index < 0 || Index >= Count()) return false;
  dragIndex_ = Index;
  hotspot_ = TPoint{HotSpotX, HotSpotY};
  if (imageWindow_ != nullptr) ::InvalidateRect(imageWindow_, nullptr, FALSE);
  return true;
}

bool TDragImageList::BeginDrag(HWND Window, Integer X, Integer Y) {
  if (dragging_) EndDrag();
  if (Count() == 0) return false;
  dragWindow_ = Window;
  TPoint p{X, Y};
  if (Window != nullptr) ::ClientToScreen(Window, &p);
  pos_ = p;
  if (imageWindow_ == nullptr) {
    WNDCLASS cls{};
    if (!::GetClassInfo(HInstance, kDragImageClass, &cls)) {
      cls = WNDCLASS();
      cls.lpfnWndProc = DragImageWndProc;
      cls.hInstance = HInstance;
      cls.lpszClassName = kDragImageClass;
      ::RegisterClass(&cls);
    }
    imageWindow_ = ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                                    kDragImageClass, "", WS_POPUP, 0, 0, Width(), Height(), nullptr, nullptr,
                                    HInstance, nullptr);
    if (imageWindow_ == nullptr) return false;
    ::SetWindowLongPtr(imageWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  dragging_ = true;
  hidden_ = false;
  Place();
  return true;
}

bool TDragImageList::DragMove(Integer X, Integer Y) {
  if (!dragging_) return false;
  TPoint p{X, Y};
  if (dragWindow_ != nullptr) ::ClientToScreen(dragWindow_, &p);
  pos_ = p;
  Place();
  return true;
}

bool TDragImageList::EndDrag() {
  if (!dragging_) return false;
  dragging_ = false;
  if (imageWindow_ != nullptr) ::ShowWindow(imageWindow_, SW_HIDE);
  return true;
}

void TDragImageList::HideDragImage() {
  if (!dragging_ || hidden_) return;
  hidden_ = true;
  if (imageWindow_ != nullptr) ::ShowWindow(imageWindow_, SW_HIDE);
}

void TDragImageList::ShowDragImage() {
  if (!dragging_ || !hidden_) return;
  hidden_ = false;
  Place();
}

TRect TDragImageList::DragImageRect() const {
  if (!dragging_ || hidden_) return TRect{};
  Integer x = pos_.x - hotspot_.x, y = pos_.y - hotspot_.y;
  return TRect{x, y, x + Width(), y + Height()};
}

void TDragImageList::Place() {
  if (imageWindow_ == nullptr || !dragging_ || hidden_) return;
  TRect r = DragImageRect();
  ::SetWindowPos(imageWindow_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

