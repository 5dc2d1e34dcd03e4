// The colours of the Office11 look: one process-wide colour set, copied from a fixed table when the
// standard visual style is active in one of its three colour variants (a scheme), else derived from the
// system colours; recomputed on every system colour change. Also the colour arithmetic and the gradient
// fill the Office11 painter, the edit buttons and the page control use.
#pragma once

#include "platform/forms/Graphics.h"

// The colour roles of the set.
enum TuiOffice11Color {
  o11BarLight, o11BarDark, o11Background, o11BackgroundLight, o11HeaderDark, o11HeaderLight, o11GroupText,
  o11ControlBorder, o11SelectionFrame, o11HotLight, o11HotDark, o11PressedLight, o11PressedDark, o11SymbolText,
  o11DisabledText, o11ContentBackground, o11Marker, o11PanelLight, o11PanelBorder, o11Highlight, o11DarkShade
};
inline constexpr Integer Office11ColorCount = 21;

// The role's colour (an RGB value) from the last computation.
TColor Office11Color(TuiOffice11Color ARole);

// 0 none, 1 blue, 2 olive, 3 silver: the scheme of the last computation.
Byte CurrentOffice11ColorScheme();
// Visual styles usable and a scheme found.
bool IsOffice11SchemeInUse();

// The first user computes the colours and makes the resources (the expand-button bitmaps); each call
// counts one user more.
void AcquireOffice11Colors();
// Recomputes the colours; while in use the resources are made again.
void UpdateOffice11Colors();
// One user less; the last one frees the resources.
void DropOffice11Colors();

// The 11 x 11 expand-button bitmap (minus when expanded); nil while the colour set is not in use.
TBitmap* Office11ExpandButtonBitmap(bool AExpanded);

// Per component MulDiv(c1, Percent, 100) + MulDiv(c2, 100 - Percent, 100), capped at 255, then the nearest
// displayable colour; system colours are resolved first.
TColor MixColors(TColor AColor1, TColor AColor2, Integer APercent);
// Each component times Percent / 100, rounded and capped at 255.
TColor ScaleColorPercent(TColor AColor, Byte APercent);
// Mixed from the button face, highlight and window colours (see MixSystemColorsPercent).
TColor MixSysColors(ShortInt AFacePercent, ShortInt AHighlightPercent, ShortInt AWindowPercent);
TColor NearestDisplayColor(TColor AColor);
// R filled with a gradient from AFromColor to AToColor along x (AHorizontal) or y in at most 256 bands;
// equal colours give one solid fill, and a single band has AFromColor.
void FillGradientRect(HDC DC, const TRect& R, TColor AFromColor, TColor AToColor, bool AHorizontal);
void FillRectSolid(HDC DC, const TRect& R, TColor AColor);

namespace k58::foundation {
void StartOffice11Unit();
void StopOffice11Unit();
}  // namespace k58::foundation
