// Cursors made from .cur resources.
#include "platform/forms/CursorResource.h"

#include <vector>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exception.h"
#include "platform/win/ui/UiExt.h"
#include "platform/win/ui/WinUserUi.h"

HCURSOR LoadCursorResource(HINSTANCE Instance, const char* Name) {
  if (HCURSOR cursor = LoadCursor(Instance, Name)) return cursor;
  std::vector<uint8_t> b;
  try {
    TResourceStream stream(Instance, Name, "CURSOR");
    b.resize(static_cast<size_t>(stream.Size()));
    if (!b.empty()) stream.ReadBuffer(b.data(), static_cast<Integer>(b.size()));
  } catch (const Exception&) {
    return nullptr;  // no such resource
  }
  const auto u16 = [&](size_t at) { return at + 2 <= b.size() ? static_cast<int>(b[at] | (b[at + 1] << 8)) : 0; };
  const auto u32 = [&](size_t at) {
    return at + 4 <= b.size() ? static_cast<size_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                                    (static_cast<uint32_t>(b[at + 3]) << 24))
                              : size_t{0};
  };
  // Directory: reserved, type 2 (cursor), count; then the first entry.
  if (u16(2) != 2 || u16(4) < 1) return nullptr;
  const int width = b.size() > 6 && b[6] != 0 ? b[6] : 256;
  const int height = b.size() > 7 && b[7] != 0 ? b[7] : 256;
  const int hotX = u16(10);
  const int hotY = u16(12);
  const size_t image = u32(18);
  const size_t headerSize = u32(image);
  if (headerSize == 0 || u16(image + 14) != 1) return nullptr;  // monochrome only
  const size_t rowBytes = static_cast<size_t>((width + 31) / 32 * 4);
  const size_t xorAt = image + headerSize + 8;  // after the two palette entries
  const size_t andAt = xorAt + rowBytes * static_cast<size_t>(height);
  if (andAt + rowBytes * static_cast<size_t>(height) > b.size()) return nullptr;
  // CreateCursor takes word-aligned rows, top row first; the file keeps them bottom-up.
  const size_t outRow = static_cast<size_t>((width + 15) / 16 * 2);
  std::vector<BYTE> andPlane(outRow * static_cast<size_t>(height)), xorPlane(andPlane.size());
  for (int y = 0; y < height; ++y) {
    const size_t from = static_cast<size_t>(height - 1 - y) * rowBytes;
    for (size_t x = 0; x < outRow; ++x) {
      andPlane[static_cast<size_t>(y) * outRow + x] = b[andAt + from + x];
      xorPlane[static_cast<size_t>(y) * outRow + x] = b[xorAt + from + x];
    }
  }
  HCURSOR cursor = CreateCursor(Instance, hotX, hotY, width, height, andPlane.data(), xorPlane.data());
  if (cursor != nullptr) k58::winui::RegisterCursorResource(Instance, Name, cursor);
  return cursor;
}
