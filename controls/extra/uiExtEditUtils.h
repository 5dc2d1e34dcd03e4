// Drawing routines shared by the progress bar, the track bar and the splitter's hot-zone styles: rectangle
// arithmetic, a line and a one-pixel 3-D frame, a colour shade, tests on editor values and integer text,
// the shift keys now; the natural-number type and the colour-name tables.
#pragma once

#include <array>

#include "controls/foundation/Foundation.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Graphics.h"

// A signed 32-bit integer meant to stay within 1..2147483647; settings readers and editors enforce it.
using TuiNaturalNumber = Integer;
inline constexpr Integer NaturalNumberMin = 1;
inline constexpr Integer NaturalNumberMax = 2147483647;

// A one-pixel frame on the pixels R.left..R.right by R.top..R.bottom (right and bottom lines included):
// left column and top row in ATopLeftColor, right column and bottom row in ABottomRightColor. Answers R
// shrunk by one pixel on every side.
TRect DrawFrame3D(TuiCanvas* ACanvas, const TRect& R, TColor ATopLeftColor, TColor ABottomRightColor);
// A line from P1 to P2 in AColor, P2 itself not painted.
void DrawLine(TCanvas* ACanvas, TColor AColor, const TPoint& P1, const TPoint& P2);
void ExtendRect(TRect& R, Integer ADeltaLeft, Integer ADeltaTop, Integer ADeltaRight, Integer ADeltaBottom);
// Width and height, 0 when negative.
Integer RectWidth(const TRect& R);
Integer RectHeight(const TRect& R);
// The colour's RGB value (system colours resolved) with each channel moved by its delta, kept in 0..255.
TColor LightenColor(TColor AColor, Integer ADeltaR, Integer ADeltaG, Integer ADeltaB);
bool IsNullOrEmptyValue(const Variant& AValue);
// S, trimmed of blanks and control characters, is a whole integer in the run-time syntax (a sign and
// decimal digits, or $ and hexadecimal digits) that fits 32 bits.
bool IsIntegerText(const String& S);
// The value of a text IsIntegerText accepts, by the same conversion; raises EConvertError otherwise.
Integer IntegerTextValue(const String& S);
// The integer of the minus signs and digits of S; another character ends the walk (AStopAtOther) or is
// skipped. No digits give 0. Raises EConvertError when the collected text is no 32-bit integer.
Integer ExtractIntegerText(const String& S, bool AStopAtOther);
TShiftState GetCurrentShiftState();

// Fixed tables of colour names: the class library's colour constants, the HTML colours and the web
// colours in alphabetical order.
extern const std::array<const char*, 52> ColorConstantNames;
extern const std::array<const char*, 16> HTMLColorNames;
extern const std::array<const char*, 140> WebColorNames;
