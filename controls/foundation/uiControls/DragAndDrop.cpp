// Drag and drop of the base control: its own drag-and-drop machine and object, drag detection, and what
// it gives the class library's drag manager (drag object, drag images, the copy cursor).
#include <cstdlib>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"

namespace {

// The class library's drag object last seen over a TuiControl (nil once the drag left).
TDragObject* currentDragObject = nullptr;

}  // namespace

// ---- TuiDragAndDropObject -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiDragAndDropObject) {}

void TuiDragAndDropObject::Initialize(TuiControl* AControl) { control_ = AControl; }

TuiCanvas* TuiDragAndDropObject::Canvas() const { return control_ != nullptr ? control_->Canvas() : nullptr; }

void TuiDragAndDropObject::SetDirty(bool Value) {
  if (dirty_ == Value) return;
  dirty_ = Value;
  DirtyChanged();
}

TCursor TuiDragAndDropObject::GetDragAndDropCursor(bool AAccepted) { return AAccepted ? crDrag : crNoDrop; }

void TuiDragAndDropObject::DragAndDrop(const TPoint&, bool& AAccepted) {
  SetDirty(false);
  if (Screen != nullptr) Screen->SetCursor(GetDragAndDropCursor(AAccepted));
}

void TuiDragAndDropObject::DoBeginDragAndDrop() {
  TPoint p{};
  ::GetCursorPos(&p);
  if (control_ != nullptr) p = control_->ScreenToClient(p);
  curMousePos_ = prevMousePos_ = p;
  BeginDragAndDrop();
}

void TuiDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& AAccepted) {
  prevMousePos_ = curMousePos_;
  curMousePos_ = P;
  DragAndDrop(P, AAccepted);
}

void TuiDragAndDropObject::DoEndDragAndDrop(bool AAccepted) {
  BeforeEndDragAndDrop();
  EndDragAndDrop(AAccepted);
}

// ---- TuiDragControlObject -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiDragControlObject) {}

TuiDragControlObject::TuiDragControlObject() { AutoFree = true; }

TuiDragControlObject::TuiDragControlObject(TControl* AControl) : TDragControlObject(AControl) { AutoFree = true; }

TCursor TuiDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted && IsCopyDragDrop()) return crUiDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

K58_IMPLEMENT_CLASS(TuiDragImageList) {}

// ---- Free routines ------------------------------------------------------------------------------------

TuiDragDetect DetectDrag(HWND AWnd) {
  TPoint cursor{};
  ::GetCursorPos(&cursor);
  const Integer threshold = Mouse->DragThreshold();
  const TRect square{cursor.x - threshold, cursor.y - threshold, cursor.x + threshold, cursor.y + threshold};
  TuiDragDetect result = ddCancel;  // the capture was taken away
  ::SetCapture(AWnd);
  while (::GetCapture() == AWnd) {
    MSG msg;
    if (!k58::foundation::GetModalLoopMessage(msg)) break;
    bool done = false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) {
          result = ddCancel;
          done = true;
        }
        break;
      case WM_MOUSEMOVE:
        if (msg.hwnd == AWnd) {
          TPoint p = LParamToPoint(msg.lParam);
          ::ClientToScreen(AWnd, &p);
          if (!::PtInRect(&square, p)) {
            result = ddDrag;
            done = true;
          }
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = ddNone;
        done = true;
        break;
      default: break;
    }
    // Every message, the one that ends the wait too, is handled as usual.
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
    if (done) break;
  }
  if (::GetCapture() == AWnd) ::ReleaseCapture();
  return result;
}

bool PointInDragThreshold(const TPoint& P, Integer X, Integer Y) {
  const Integer threshold = Mouse->DragThreshold();
  return std::abs(X - P.x) < threshold && std::abs(Y - P.y) < threshold;
}

bool IsCopyDragDrop() { return IsCtrlPressed(); }

// ---- The control's drag-and-drop machine --------------------------------------------------------------

TClass TuiControl::GetDragAndDropObjectClass() { return TuiDragAndDropObject::StaticClass(); }

TuiDragAndDropObject* TuiControl::GetDragAndDropObject() {
  if (dragAndDropObject_ == nullptr) {
    TClass cls = GetDragAndDropObjectClass();
    TObjectPtr<TObject> object = (cls != nullptr ? cls : TuiDragAndDropObject::StaticClass())->Create();
    auto* dragAndDrop = dynamic_cast<TuiDragAndDropObject*>(object.get());
    if (dragAndDrop == nullptr) throw EInvalidCast("Invalid class typecast");
    object.release();
    dragAndDrop->Initialize(this);
    dragAndDropObject_ = dragAndDrop;
  }
  return dragAndDropObject_;
}

void TuiControl::SetDragAndDropState(TuiDragAndDropState AState) {
  if (dragAndDropState_ == AState) return;
  dragAndDropState_ = AState;
  if (AState == ddsNone && !finishingDragAndDrop_) CancelModeReceived();
}

void TuiControl::BeginDragAndDrop() {
  GetDragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  savedScreenCursor_ = Screen != nullptr ? Screen->Cursor() : crDefault;
  SetDragAndDropState(ddsInProcess);
}

void TuiControl::DragAndDrop(const TPoint& P, bool& AAccepted) { GetDragAndDropObject()->DoDragAndDrop(P, AAccepted); }

void TuiControl::EndDragAndDrop(bool AAccepted) {
  SetDragAndDropState(ddsNone);
  if (Screen != nullptr) Screen->SetCursor(savedScreenCursor_);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  GetDragAndDropObject()->DoEndDragAndDrop(AAccepted);
}

void TuiControl::FinishDragAndDrop(bool AAccepted) {
  if (finishingDragAndDrop_) return;
  finishingDragAndDrop_ = true;
  try {
    if (dragAndDropState_ == ddsInProcess) {
      EndDragAndDrop(AAccepted);
    } else {
      SetDragAndDropState(ddsNone);
    }
  } catch (...) {
    finishingDragAndDrop_ = false;
    throw;
  }
  delete dragAndDropObject_;
  dragAndDropObject_ = nullptr;
  finishingDragAndDrop_ = false;
}

bool TuiControl::IsInDragDetectArea(Integer X, Integer Y) { return PointInDragThreshold(mouseDownPos_, X, Y); }

bool TuiControl::IsWithinDragThreshold(Integer X, Integer Y) {
  return DragMode() == dmManual || IsInDragDetectArea(X, Y);
}

void TuiControl::MouseButtonPressed(TMouseButton AButton, Integer X, Integer Y) {
  if (AButton == mbMiddle) {
    MiddleButtonScroll();
    return;
  }
  if (AButton != mbLeft || DragMode() != dmAutomatic || !MouseCapture()) return;
  if (IsDesigning() && !CanDragAtDesignTime(X, Y, TShiftState{})) return;
  if (!CanStartDrag(X, Y)) return;
  std::weak_ptr<bool> alive = AliveToken();
  const TuiDragDetect detected = DetectDrag(Handle());
  if (alive.expired() || !*alive.lock()) return;
  if (detected == ddDrag) BeginDrag(true, -1);
}

// ---- The class library's drag -------------------------------------------------------------------------

TClass TuiControl::GetDragObjectClass() { return TuiDragControlObject::StaticClass(); }

TClass TuiControl::GetDragImagesClass() { return TuiDragImageList::StaticClass(); }

void TuiControl::DoStartDrag(TDragObject*& DragObject) {
  TCustomControl::DoStartDrag(DragObject);
  if (DragObject != nullptr) return;
  TObjectPtr<TObject> object = GetDragObjectClass()->Create();
  auto* dragObject = dynamic_cast<TBaseDragControlObject*>(object.get());
  if (dragObject == nullptr) return;
  dragObject->SetControl(this);
  if (!AllowsDragStart(dragObject)) {
    CancelDrag();
    return;
  }
  object.release();
  DragObject = dragObject;
}

void TuiControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  std::weak_ptr<bool> alive = AliveToken();
  TCustomControl::DoEndDrag(Target, X, Y);
  if (!alive.expired() && *alive.lock()) FreeDragImages();
}

void TuiControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (State == dsDragLeave) {
    currentDragObject = nullptr;
  } else {
    currentDragObject = dynamic_cast<TDragObject*>(Source) != nullptr ? static_cast<TDragObject*>(Source) : ::DragObject();
  }
  TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TDragImageList* TuiControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (dragImages_ == nullptr) {
    TComponent* images = GetDragImagesClass()->CreateComponent(nullptr);
    auto* list = dynamic_cast<TuiDragImageList*>(images);
    if (list == nullptr) {
      FreeObject(images);
      return nullptr;
    }
    dragImages_.reset(list);
    InitDragImages(list);
  }
  return dragImages_->Count() > 0 ? dragImages_.get() : nullptr;
}

void TuiControl::InitDragImages(TuiDragImageList* AImages) {
  const TPoint size = GetDragImageSize();
  AImages->SetWidth(size.x);
  AImages->SetHeight(size.y);
  if (size.x == 0 || size.y == 0) return;
  TBitmap bitmap;
  bitmap.SetSize(size.x, size.y);
  TuiCanvas canvas(bitmap.Canvas());
  DrawDragImage(&canvas, TRect{0, 0, size.x, size.y});
  AImages->AddMasked(&bitmap, bitmap.TransparentColor());
}

void TuiControl::FreeDragImages() { dragImages_.reset(); }

void TuiControl::WMPaint(TWMPaint& Message) {
  // The image of a running drag is not painted over.
  TDragObject* drag = currentDragObject != nullptr && currentDragObject == ::DragObject() ? currentDragObject : nullptr;
  if (drag != nullptr) drag->HideDragImage();
  try {
    TCustomControl::WMPaint(Message);
  } catch (...) {
    if (drag != nullptr && drag == ::DragObject()) drag->ShowDragImage();
    throw;
  }
  if (drag != nullptr && drag == ::DragObject()) drag->ShowDragImage();
}
