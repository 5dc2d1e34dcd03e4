// Text output shared by TextOut, ExtTextOut, TabbedTextOut and DrawText: advances and glyph runs.
#pragma once

#include <vector>

#include "platform/win/gdi/Font.h"
#include "platform/win/gdi/Objects.h"

namespace k58::gdi {

// The code points of a text the text calls received as UTF-8 bytes or UTF-16 code units, with how
// many units each took (Win32 gives per-unit arrays such as lpDx). Malformed units decode to U+FFFD,
// one per bad unit; never reads past count units.
struct DecodedText {
  std::vector<char32_t> cps;
  std::vector<int> units;  // units (bytes or UTF-16 code units) of each code point
};
DecodedText DecodeUtf8(const char* text, int count);
DecodedText DecodeUtf16(const WCHAR* text, int count);

RealizedFont& FontOf(DeviceContext& dc);

// Advances of each code point: the glyph advance plus the character extra, plus the justification
// extra spread over the break characters (the first ones get the remainder, one pixel each).
std::vector<int> RunAdvances(DeviceContext& dc, const std::vector<char32_t>& cps, bool applyJustification = true);

struct RunOptions {
  int refX = 0;  // logical reference point
  int refY = 0;
  UINT align = TA_LEFT | TA_TOP;
  const RECT* clip = nullptr;    // logical clip rectangle (ETO_CLIPPED)
  const RECT* opaque = nullptr;  // logical rectangle filled with the background colour (ETO_OPAQUE)
  bool fillCells = false;        // background colour behind the character cells (OPAQUE mode)
  std::vector<size_t> underlined;  // code point indexes with an underline (prefix characters)
  bool underlinesOnly = false;
};

// Draws the run; returns its width along the baseline.
int DrawRun(DeviceContext& dc, const std::vector<char32_t>& cps, const std::vector<int>& advances, const RunOptions& o);

}  // namespace k58::gdi
