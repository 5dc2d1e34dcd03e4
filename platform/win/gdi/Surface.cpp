#include "platform/win/gdi/Surface.h"

#include <algorithm>

namespace gdi {

namespace {
int ClampDimension(int v) { return std::max(0, v); }
}  // namespace

Surface::Surface(int width, int height, int bitsPerPixel)
    : width_(ClampDimension(width)), height_(ClampDimension(height)), bpp_(bitsPerPixel == 1 ? 1 : 32) {
  memory_.assign(static_cast<size_t>(width_) * height_, 0u);
  origin_ = reinterpret_cast<uint8_t*>(memory_.data());
  stride_ = static_cast<ptrdiff_t>(width_) * 4;
}

Surface::Surface(int width, int height, bool bottomUp) : Surface(width, height, 32) {
  if (bottomUp && height_ > 0) {
    origin_ = reinterpret_cast<uint8_t*>(memory_.data()) + static_cast<ptrdiff_t>(height_ - 1) * width_ * 4;
    stride_ = -static_cast<ptrdiff_t>(width_) * 4;
  }
}

void Surface::NormalizeMono() {
  if (!IsMono()) return;
  for (auto& p : memory_) p = MonoPixelOf(PixelToColor(p & kPixelMask));
}

void Surface::Fill(uint32_t pixel) { std::fill(memory_.begin(), memory_.end(), pixel); }

}  // namespace gdi
