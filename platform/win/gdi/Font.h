// Fonts realized through FreeType: face files found by fontconfig (or pinned files), sized by the
// LOGFONT's height rules, monochrome hinted glyphs cached per realized font, and a CJK fallback face
// for characters the face lacks.
//
// Advances are whole pixels and kerning is never applied, so the extent of a string is the sum of the
// extents of its characters.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win/gdi/WinGdi.h"

namespace k58::gdi {

struct Glyph {
  int advance = 0;  // pixels along the baseline
  int left = 0;     // bitmap offset from the pen position (x right)
  int top = 0;      // bitmap top above the baseline (y up)
  int width = 0;
  int height = 0;
  int pitch = 0;
  std::vector<uint8_t> bits;  // 1 bit per pixel, most significant bit first
  bool Bit(int x, int y) const { return (bits[static_cast<size_t>(y) * pitch + (x >> 3)] >> (7 - (x & 7))) & 1; }
};

struct FontFace;

class RealizedFont {
public:
  ~RealizedFont();
  const Glyph& GetGlyph(char32_t cp);
  int Advance(char32_t cp) { return GetGlyph(cp).advance; }

  LOGFONTA lf;
  std::string family;  // the family actually used
  int ascent = 0;
  int descent = 0;
  int height = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = FW_NORMAL;
  bool fixedPitch = false;
  int underlineTop = 1;  // pixels below the baseline
  int underlineThickness = 1;
  int strikeTop = 0;  // pixels above the baseline (top of the stroke)
  int strikeThickness = 1;
  double angle = 0;  // escapement in radians, counter-clockwise
  bool rotated = false;
  int generation = 0;

  // Set up by the realization.
  std::shared_ptr<FontFace> primary;
  std::shared_ptr<FontFace> fallback;
  void* primarySize = nullptr;  // FT_Size of the primary face at this font's size
  void* fallbackSize = nullptr;
  int pixelWidth = 0;
  int pixelHeight = 0;
  bool synthBold = false;
  bool synthItalic = false;
  bool fallbackSynthBold = false;

private:
  std::array<std::unique_ptr<Glyph>, 128> ascii_{};
  std::unordered_map<char32_t, std::unique_ptr<Glyph>> glyphs_;
  std::unique_ptr<Glyph> Load(char32_t cp);
};

std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& lf);
// Changes whenever pinned fonts change, so realized fonts can tell they are stale.
int FontGeneration();
// Starts reading the system's font configuration on a thread of its own, so that it overlaps with the
// rest of a program's start-up; the first font that needs it waits for it. Calling it again does nothing.
void PrepareFonts();

}  // namespace k58::gdi
