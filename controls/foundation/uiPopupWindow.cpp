// Placement of popup windows next to their owner rectangle.
#include "controls/foundation/uiPopupWindow.h"

namespace k58::foundation {

namespace {

// The corner of the popup for the given alignments (step one of the placement).
TPoint AnchorFor(const TuiPopupPlacement& P, TuiPopupAlignment AHorz, TuiPopupAlignment AVert) {
  const TRect& r = P.OwnerRect;
  TPoint origin{(r.left + r.right - P.Width) / 2, (r.top + r.bottom - P.Height) / 2};
  if (P.Direction == pdVertical) {
    if (AHorz == paBefore) origin.x = r.left;
    if (AHorz == paAfter) origin.x = r.right - P.Width;
    if (AVert == paBefore) origin.y = r.top - P.Height;
    if (AVert == paAfter) origin.y = r.bottom;
  } else {
    if (AHorz == paBefore) origin.x = r.left - P.Width;
    if (AHorz == paAfter) origin.x = r.right;
    if (AVert == paBefore) origin.y = r.top;
    if (AVert == paAfter) origin.y = r.bottom - P.Height;
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
    if (vert == paAfter && origin.y + P.Height > area.bottom && moreRoomAbove) vert = paBefore;
    else if (vert == paBefore && origin.y < area.top && !moreRoomAbove) vert = paAfter;
  } else {
    const bool moreRoomLeft = area.right - r.right < r.left - area.left;
    if (horz == paAfter && origin.x + P.Width > area.right && moreRoomLeft) horz = paBefore;
    else if (horz == paBefore && origin.x < area.left && !moreRoomLeft) horz = paAfter;
  }
  origin = AnchorFor(P, horz, vert);
  if (P.Direction == pdVertical || horz == paCenter) {
    if (origin.x + P.Width > area.right) origin.x = area.right - P.Width;
    if (origin.x < area.left) origin.x = area.left;
  }
  if (P.Direction == pdHorizontal || vert == paCenter) {
    if (origin.y + P.Height > area.bottom) origin.y = area.bottom - P.Height;
    if (origin.y < area.top) origin.y = area.top;
  }
  return origin;
}

}  // namespace k58::foundation
