// Popup windows: placement next to the owner rectangle, fitting to the children, the frame.
#include "controls/foundation/uiPopupWindow.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"

#include <algorithm>

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

}  // namespace

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
