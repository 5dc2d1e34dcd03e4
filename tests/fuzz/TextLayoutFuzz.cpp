// Fuzz target of the editors' text layout: random bytes (line breaks, tabs, broken UTF-8) laid out with random
// flags, rectangles, line limits and selections, built into rows and drawn or measured. Every row lies
// inside the text, starts on a character, follows the row before it and counts the characters before it.
//
// Input: 4 bytes of flags, 2 of width, 2 of height (signed, small), 1 of line limit, 1 of selection start,
// 1 of selection length, 1 of font height; the rest is the text.
#include <cstdint>
#include <string_view>

#include "controls/foundation/uiEditTextLayout.h"
#include "platform/win/gdi/Gdi.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kHeader = 12;
constexpr int kSurface = 96;

// A memory DC on a small 32-bit bitmap, with the DejaVu faces pinned when they are installed.
HDC SurfaceDC() {
  static const HDC dc = [] {
    k58::gdi::PinnedFonts fonts;
    fonts.regular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    fonts.cjk = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    k58::gdi::PinFonts(fonts);
    const HDC made = CreateCompatibleDC(nullptr);
    SelectObject(made, CreateBitmap(kSurface, kSurface, 1, 32, nullptr));
    return made;
  }();
  return dc;
}

HFONT FontOfHeight(int AHeight) {
  static HFONT fonts[16] = {};
  HFONT& font = fonts[AHeight & 15];
  if (font == nullptr) font = CreateFont(-(6 + (AHeight & 15)), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
  return font;
}

Integer Signed16(const uint8_t* P) { return static_cast<int16_t>(P[0] | (P[1] << 8)) % 400; }

void CheckRows(std::string_view AText, const TuiTextRows& ARows) {
  K58_FUZZ_CHECK(ARows.size() <= AText.size() + 1);
  size_t pos = 0;  // where the previous row ended
  Integer chars = 0;  // characters before pos
  for (const TuiTextRow& row : ARows) {
    K58_FUZZ_CHECK(row.Text >= AText.data() + pos && row.TextLength >= 0);
    const auto start = static_cast<size_t>(row.Text - AText.data());
    const size_t end = start + static_cast<size_t>(row.TextLength);
    K58_FUZZ_CHECK(end <= AText.size());
    // The row starts and ends on characters, and its offset counts the characters before it.
    while (pos < start) {
      pos += k58::foundation::TextCharLength(AText, pos);
      ++chars;
    }
    K58_FUZZ_CHECK(pos == start && row.StartOffset == chars);
    Integer rowChars = 0;
    while (pos < end) {
      pos += k58::foundation::TextCharLength(AText, pos);
      ++rowChars;
    }
    K58_FUZZ_CHECK(pos == end);
    chars += rowChars;
    K58_FUZZ_CHECK(row.BreakCount >= 0 && row.BreakCount <= rowChars);
    K58_FUZZ_CHECK(row.TextExtents.cx >= 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < kHeader) return 0;
  const HDC dc = SurfaceDC();
  const auto flags = static_cast<TuiTextOutFlags>(Data[0] | (Data[1] << 8) | (Data[2] << 16) | (Data[3] << 24));
  const Integer width = Signed16(Data + 4), height = Signed16(Data + 6);
  const Integer maxLines = static_cast<int8_t>(Data[8]) % 8, selStart = Data[9] % 64, selLength = Data[10] % 64;
  SelectObject(dc, FontOfHeight(Data[11]));
  const std::string_view text(reinterpret_cast<const char*>(Data) + kHeader, Size - kHeader);
  const TRect rect{-4, -4, -4 + width, -4 + height};

  const TuiTextParams params = CalculateTextParams(dc, flags);
  TuiTextRows rows;
  BuildTextRows(dc, text, rect, maxLines, params, rows);
  CheckRows(text, rows);
  PositionTextRows(dc, rect, params, static_cast<Integer>(rows.size()), rows);
  DrawTextRows(dc, rect, params, (Data[8] & 0x80) != 0, clWhite, clNavy, selLength, selStart,
               static_cast<Integer>(rows.size()), rows);

  // Laid out and drawn (or measured) in one: the measured width is never negative.
  TRect laidOut = rect;
  const Integer result = LayoutAndDrawText(dc, text, laidOut, Data[9] % 5, Data[10] % 5, maxLines, clWhite, clNavy,
                                           selLength, selStart, flags);
  if ((flags & tofCalcRect) && result != 0) K58_FUZZ_CHECK(laidOut.right >= laidOut.left);
  return 0;
}
