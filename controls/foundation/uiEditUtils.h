// Drawing routines the editors share that need no editor: arrows, edge lines and polylines, glyphs and
// image-list images drawn enabled or greyed, the image of a parent behind a transparent control, plain
// fills with cached brushes, the painter of a look, the conversion between text-out and canvas text
// flags, the highlight, hot-light and flat-button colours, accelerator stripping and the canvas's
// logical font. The routines that paint an editor's frame and buttons live with the editor classes.
//
// Canvas routines draw in the canvas's logical coordinates; fills use the shared brush cache and leave
// the canvas's brush alone.
#pragma once

#include <vector>

#include "controls/foundation/uiEditTextLayout.h"
#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ImgList.h"

// The size of an arrow that fits ASize: n = (min(cx, cy) - 1) div 2, made odd, gives (n, n div 2 + 1);
// left and right arrows swap the two.
TSize CalculateArrowSize(const TSize& ASize, TuiArrowDirection ADirection);
// AExtraCount + 1 solid triangles of ASize rows (a row one pixel longer than the one before at both ends,
// the widest 2 * ASize - 1) stacked along the direction, the block centred in ARect and moved by (1, 1)
// when pressed.
void DrawSolidArrows(TuiCanvas* ACanvas, Integer ASize, const TRect& ARect, TColor AColor, bool APressed,
                     Integer AExtraCount, TuiArrowDirection ADirection);
// A one-pixel line in AColor along each named edge, in the order left, right, top, bottom, end pixels
// included; each drawn side moves ARect in by one.
void DrawRectEdges(TuiCanvas* ACanvas, TRect& ARect, TuiBorders AEdges, TColor AColor);
// Lines through the points, the last point painted too: with a pen of AColor, or with AByBrush as
// one-pixel rectangles of the cached brush (diagonal segments still go with the pen). The canvas's pen
// colour is kept.
void DrawPolyLine(TuiCanvas* ACanvas, const std::vector<TPoint>& APoints, bool AByBrush, TColor AColor);
inline void DrawPolyLine(TuiCanvas* ACanvas, const std::vector<TPoint>& APoints, TColor AColor) {
  DrawPolyLine(ACanvas, APoints, false, AColor);
}
// The glyph at (X, Y) without its transparent colour: enabled over ABackgroundColor (clNone: over what is
// there), or greyed. With a background bitmap (the glyph's size) the glyph goes onto that bitmap, which is
// then drawn at (X, Y).
void DrawGlyph(TuiCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, TColor ABackgroundColor, bool AEnabled,
               TBitmap* ABackgroundBitmap = nullptr);
// Image AIndex of the list, enabled or greyed, drawn into ABitmap, or else into a bitmap of the list's
// size filled with ABackgroundColor (clNone: with what the canvas shows there), then drawn at ARect's
// top-left corner.
void DrawImageFromList(TuiCanvas* ACanvas, TCustomImageList* AImages, Integer AIndex, TBitmap* ABitmap, bool AEnabled,
                       TColor ABackgroundColor, const TRect& ARect);
// Paints what AControl's parent shows under ARect (AControl's coordinates) into the canvas: the parent's
// own erase and paint handling, clipped to its window region or client area, then its windowed children
// that lie under AControl, recursively. Nothing without a parent.
void PaintParentImage(TControl* AControl, TuiCanvas* ACanvas, const TRect& ARect);
// The themed painter when ANativeStyle and visual styles are available, else the painter of AKind.
TuiLookAndFeelPainterClass ChoosePainterClass(bool ANativeStyle, TuiLookAndFeelKind AKind);
// Assigned, not empty, and neither width nor height 0.
bool IsBitmapUsable(TBitmap* ABitmap);
// R filled with the cached brush of AColor.
void FillRectWithColor(TuiCanvas* ACanvas, const TRect& R, TColor AColor);
// What lies in R outside AInnerRect, as four strips (left and right over R's height, top and bottom
// between them); all of R for an empty inner rectangle, nothing when R is empty or equals it.
void FillRectFrame(TuiCanvas* ACanvas, const TRect& R, const TRect& AInnerRect, HBRUSH ABrush);
// Horizontal centre, right, vertical centre, bottom, single line and word break carry over; the other
// flags are dropped.
TuiCanvasTextFlags TextOutFlagsToCanvasFlags(TuiTextOutFlags AFlags);
TuiTextOutFlags CanvasFlagsToTextOutFlags(TuiCanvasTextFlags AFlags);
// The system hot-light colour where the system has one, else clBlue.
TColor GetHotLightColor();
// The Office11 colours' highlight when AOffice11, else clHighlight.
TColor GetHighlightColor(bool AOffice11);
// The face of a hot (pressed when APressed) button in the ultra-flat look, or in the Office11 look.
TColor GetFlatButtonColor(bool APressed, bool AOffice11);
// AText without accelerator marks: "&x" gives "x", "&&" gives "&", a trailing "&" gives "_".
String StripAccelChars(const String& AText);
// The canvas font takes a font made from the logical font.
void SetCanvasFontFromLogFont(TuiCanvas* ACanvas, const LOGFONT& ALogFont);
// The logical font of the canvas font.
void GetCanvasLogFont(TuiCanvas* ACanvas, LOGFONT& ALogFont);

namespace k58::foundation {
// Whether a system of the platform family and version (as GetVersionEx answers them) has a hot-light
// colour: the 9x family from its second release on, and the NT family version 5.
bool HotLightColorAvailableOn(DWORD APlatformId, DWORD AMajorVersion, DWORD AMinorVersion);

void StartEditUtilsUnit();
void StopEditUtilsUnit();
}  // namespace k58::foundation
