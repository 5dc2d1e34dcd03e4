#include "tests/common/Pixels.h"

#include <algorithm>

#include "platform/win/gdi/WinGdi.h"

namespace k58test {

PixelReader PixelsOf(k58::gdi::SurfacePtr Surface) {
  return [Surface](int X, int Y) -> COLORREF {
    if (!Surface->Contains(X, Y)) return CLR_INVALID;
    return k58::gdi::PixelToColor(Surface->Get(X, Y) & k58::gdi::kPixelMask);
  };
}

bool IsDark(COLORREF C) { return GetRValue(C) + GetGValue(C) + GetBValue(C) < 3 * 100; }

Ink InkIn(const PixelReader& Pixels, const RECT& R, const std::function<bool(COLORREF)>& IsInk) {
  Ink Out;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X) {
      if (!IsInk(Pixels(X, Y))) continue;
      if (Out.Count++ == 0) {
        Out.Box = RECT{X, Y, X + 1, Y + 1};
        continue;
      }
      Out.Box.left = std::min<LONG>(Out.Box.left, X);
      Out.Box.top = std::min<LONG>(Out.Box.top, Y);
      Out.Box.right = std::max<LONG>(Out.Box.right, X + 1);
      Out.Box.bottom = std::max<LONG>(Out.Box.bottom, Y + 1);
    }
  return Out;
}

int CountColour(const PixelReader& Pixels, const RECT& R, COLORREF C) {
  int N = 0;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X) N += Pixels(X, Y) == C;
  return N;
}

std::map<COLORREF, int> Colours(const PixelReader& Pixels, const RECT& R) {
  std::map<COLORREF, int> Out;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X) ++Out[Pixels(X, Y)];
  return Out;
}

}  // namespace k58test
