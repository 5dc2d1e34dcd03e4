// Geometry shared by the tab control and its painters: options and navigator button sets, margins
// turned to the tabs' side, point and rectangle coordinates by axis, and the go dialog's list of tabs.
#pragma once

#include <vector>

#include "controls/extra/uiPCTabs.h"
#include "platform/classes/TypInfo.h"

enum TuiPCOption {
  pcoCloseButton, pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoNoArrows, pcoSort, pcoTopToBottomText
};
K58_ENUM_TYPE(TuiPCOption, pcoCloseButton, pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoNoArrows, pcoSort,
              pcoTopToBottomText)
K58_SET_TYPE(TuiPCOptions, TuiPCOption)

enum TuiPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
using TuiPCNavigatorButtons = TSet<TuiPCNavigatorButton>;

enum TuiPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
K58_ENUM_TYPE(TuiPCNavigatorPosition, npLeftTop, npLeftBottom, npRightTop, npRightBottom)

// The navigator buttons the options ask for: the close button, and unless OnlyClose the arrows (left
// out only when both pcoNoArrows and pcoGoDialog are set) and the go button.
TuiPCNavigatorButtons GetNavigatorButtons(TuiPCOptions Options, bool OnlyClose);
// Lowest button of a set, -1 for an empty one; number of buttons in a set.
Integer GetFirstButton(TuiPCNavigatorButtons Buttons);
Integer CountButtons(TuiPCNavigatorButtons Buttons);
inline bool IsEitherButton(TuiPCNavigatorButton B1, TuiPCNavigatorButton B2, TuiPCNavigatorButton B) {
  return B == B1 || B == B2;
}

// Margins given for top tabs, turned to the side the tabs lie on.
TRect RotateMargins(const TRect& M, TuiTabPosition Position);
TRect DeflateRectByRotatedMargins(const TRect& R, const TRect& M, TuiTabPosition Position);
TRect ExtendRectByMargins(const TRect& R, const TRect& M);
TRect NormalizeRect(const TRect& R);

inline Integer GetPointCoord(const TPoint& P, bool AIsY) { return AIsY ? P.y : P.x; }
inline void SetPointCoord(TPoint& P, bool AIsY, Integer V) { (AIsY ? P.y : P.x) = V; }
void SetRectCoord(TRect& R, bool AIsLeftTop, bool AIsY, Integer V);
inline Integer SelectValue(const Integer (&Pair)[2], bool AFirst) { return AFirst ? Pair[0] : Pair[1]; }

// The tabs the go dialog lists, by tab index: visible and enabled ones, in tab order or (Sorted) by
// caption without accelerators, equal keys keeping tab order.
std::vector<Integer> GoDialogTabIndexes(const TuiTabs& Tabs, bool Sorted);
