// Painting of controls: the paint handler of windowed controls and their graphic children, canvases on
// controls, graphic controls and custom controls.
#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"

using namespace k58::forms;

namespace {

void MoveWindowOrg(HDC DC, Integer DX, Integer DY) {
  POINT p{};
  ::GetWindowOrgEx(DC, &p);
  ::SetWindowOrgEx(DC, p.x - DX, p.y - DY, nullptr);
}

bool ShowsOnScreen(TControl* c) {
  return c->Visible() || (c->ComponentState().Contains(csDesigning) && !c->ControlStyle().Contains(csNoDesignVisible));
}

}  // namespace

// ---- Windowed controls ------------------------------------------------------------------------------------

void TWinControl::PaintHandler(TWMPaint& Message) {
  HDC dc = Message.DC();
  PAINTSTRUCT ps;
  if (dc == nullptr) dc = ::BeginPaint(Handle(), &ps);
  // Drag images are hidden while the window paints, so the picture under them is the new one.
  TDragObject* drag = DragObject();
  TDragImageList* images = drag != nullptr ? drag->GetDragImages() : nullptr;
  bool hideImage = images != nullptr && images->Dragging();
  if (hideImage) images->HideDragImage();
  try {
    if (controls_.empty()) {
      PaintWindow(dc);
    } else {
      // Opaque graphic children cover their part of the window: it is left out of the window's own paint.
      int saveIndex = ::SaveDC(dc);
      int clip = SIMPLEREGION;
      for (TControl* child : controls_) {
        if (ShowsOnScreen(child) && child->ControlStyle().Contains(csOpaque)) {
          TRect r = child->BoundsRect();
          clip = ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
          if (clip == NULLREGION) break;
        }
      }
      if (clip != NULLREGION) PaintWindow(dc);
      ::RestoreDC(dc, saveIndex);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (hideImage) images->ShowDragImage();
    if (Message.DC() == nullptr) ::EndPaint(handle_, &ps);
    throw;
  }
  if (hideImage) images->ShowDragImage();
  if (Message.DC() == nullptr) ::EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage message;
  message.Msg = WM_PAINT;
  message.WParam = reinterpret_cast<WPARAM>(DC);
  DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t i = 0;
  if (First != nullptr) {
    auto it = std::find(controls_.begin(), controls_.end(), First);
    if (it != controls_.end()) i = static_cast<size_t>(it - controls_.begin());
  }
  std::vector<TControl*> list = controls_;
  for (; i < list.size(); ++i) {
    TControl* child = list[i];
    TRect r = child->BoundsRect();
    if (!ShowsOnScreen(child) || !::RectVisible(DC, &r)) continue;
    if (controlState_.Contains(csPaintCopy)) {
      TControlState state = child->ControlState();
      state.Include(csPaintCopy);
      child->SetControlState(state);
    }
    int saveIndex = ::SaveDC(DC);
    MoveWindowOrg(DC, r.left, r.top);
    ::IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    ::RestoreDC(DC, saveIndex);
    TControlState state = child->ControlState();
    state.Exclude(csPaintCopy);
    child->SetControlState(state);
  }
  // Framed windowed children get a sunken frame drawn on this control, outside their window.
  for (TWinControl* child : winControls_) {
    if (!child->Ctl3D() || !child->ControlStyle().Contains(csFramed) || !ShowsOnScreen(child)) continue;
    TRect r = child->BoundsRect();
    HBRUSH shadow = ::CreateSolidBrush(ColorToRGB(clBtnShadow));
    TRect outer{r.left - 1, r.top - 1, r.right, r.bottom};
    ::FrameRect(DC, &outer, shadow);
    ::DeleteObject(shadow);
    HBRUSH light = ::CreateSolidBrush(ColorToRGB(clBtnHighlight));
    TRect inner{r.left, r.top, r.right + 1, r.bottom + 1};
    ::FrameRect(DC, &inner, light);
    ::DeleteObject(light);
  }
}

void TWinControl::PaintTo(HDC DC, Integer X, Integer Y) {
  controlState_.Include(csPaintCopy);
  int saveIndex = ::SaveDC(DC);
  try {
    MoveWindowOrg(DC, X, Y);
    ::IntersectClipRect(DC, 0, 0, width_, height_);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TWinControl* child : winControls_) {
      if (child->Visible()) child->PaintTo(DC, child->Left(), child->Top());
    }
  } catch (...) {
    ::RestoreDC(DC, saveIndex);
    controlState_.Exclude(csPaintCopy);
    throw;
  }
  ::RestoreDC(DC, saveIndex);
  controlState_.Exclude(csPaintCopy);
}

void TWinControl::PaintParentBackground(HDC DC) {
  if (parent_ == nullptr) return;
  int saveIndex = ::SaveDC(DC);
  MoveWindowOrg(DC, -left_, -top_);
  TControlState state = parent_->ControlState();
  parent_->controlState_.Include(csPaintCopy);
  parent_->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  parent_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  parent_->SetControlState(state);
  ::RestoreDC(DC, saveIndex);
}

// ---- Canvases of controls ------------------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (control_ == Value) return;
  FreeHandle();
  control_ = Value;
}

void TControlCanvas::FreeHandle() {
  if (deviceContext_ == nullptr) return;
  HDC dc = deviceContext_;
  deviceContext_ = nullptr;
  RemoveCanvasWithContext(this);
  SetHandle(nullptr);
  ::ReleaseDC(windowHandle_, dc);
  windowHandle_ = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (control_ == nullptr) return;
  if (deviceContext_ == nullptr) {
    deviceContext_ = control_->GetDeviceContext(windowHandle_);
    AddCanvasWithContext(this);
  }
  SetHandle(deviceContext_);
  UpdateTextFlags();
}

void TControlCanvas::UpdateTextFlags() { SetTextFlags(TextFlags() & ~ETO_RTLREADING); }

// ---- Graphic controls ----------------------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(new TControlCanvas()) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
  if (canvas_) canvas_->SetControl(nullptr);
}

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(static_cast<TWMPaint&>(Message));
    return;
  }
  TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TWMPaint& Message) {
  if (Message.DC() == nullptr) return;
  canvas_->Lock();
  try {
    canvas_->SetHandle(Message.DC());
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

// ---- Custom controls ------------------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(new TControlCanvas()) {
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
  if (canvas_) canvas_->SetControl(nullptr);
}

void TCustomControl::WMPaint(TWMPaint& Message) {
  TControlState state = ControlState();
  state.Include(csCustomPaint);
  SetControlState(state);
  try {
    TWinControl::WMPaint(Message);
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

void TCustomControl::PaintWindow(HDC DC) {
  canvas_->Lock();
  try {
    canvas_->SetHandle(DC);
    try {
      canvas_->UpdateTextFlags();
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
