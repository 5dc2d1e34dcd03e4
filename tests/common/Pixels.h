// Pixel probes for painting tests: the colour at a point, how many pixels of a rectangle have a
// colour, which colours a rectangle holds, and the ink (dark pixels) in it with the box around them.
// They read through a PixelReader, so a surface, the test display's screen or a control's canvas
// are probed alike.
#pragma once

#include <functional>
#include <map>

#include "platform/rtl/WinTypes.h"
#include "platform/win/gdi/Surface.h"

namespace k58test {

// The colour of one pixel, in the probed thing's own coordinates.
using PixelReader = std::function<COLORREF(int X, int Y)>;

// A surface's pixels (points outside it read as CLR_INVALID).
PixelReader PixelsOf(k58::gdi::SurfacePtr Surface);

// Darker than mid-grey: text, lines and frames on the light faces.
bool IsDark(COLORREF C);

struct Ink {
  int Count = 0;
  RECT Box{};  // around the ink; empty when there is none
};
Ink InkIn(const PixelReader& Pixels, const RECT& R, const std::function<bool(COLORREF)>& IsInk = IsDark);

int CountColour(const PixelReader& Pixels, const RECT& R, COLORREF C);
// Every colour of the rectangle with its pixel count.
std::map<COLORREF, int> Colours(const PixelReader& Pixels, const RECT& R);

}  // namespace k58test
