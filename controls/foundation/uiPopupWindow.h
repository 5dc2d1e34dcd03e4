// Placement of popup windows: where a popup of a given size goes next to an owner rectangle, preferring
// the side with more room on the monitor nearest to it and kept inside that monitor's work area.
#pragma once

#include "controls/foundation/uiContainer.h"

// Which side of the owner rectangle a popup opens on.
enum TuiPopupDirection : Byte { pdHorizontal, pdVertical };
// Alignment along an axis: before (left or above), centred, after (right or below).
enum TuiPopupAlignment : Byte { paBefore, paCenter, paAfter };

namespace k58::foundation {

// The placement request: the owner rectangle in screen coordinates and the popup's size.
struct TuiPopupPlacement {
  TRect OwnerRect{};
  Integer Width = 0;
  Integer Height = 0;
  TuiPopupDirection Direction = pdVertical;
  TuiPopupAlignment HorzAlignment = paBefore;
  TuiPopupAlignment VertAlignment = paAfter;
};

// The popup's top-left corner in screen coordinates. Vertically placed popups open below or above the
// owner (beside it when horizontal), flipping to the other side when they do not fit and that side has
// more room; the result is then clamped to the work area across the opening direction.
TPoint ComputePopupOrigin(const TuiPopupPlacement& APlacement);

}  // namespace k58::foundation
