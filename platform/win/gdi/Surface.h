// Pixel surfaces that device contexts draw on.
//
// Every surface holds 32-bit words 0x00RRGGBB (in memory: blue, green, red, unused, the layout of a
// 32-bit DIB). A monochrome surface holds only 0x000000 (black, bit 0) and 0xFFFFFF (white, bit 1) in
// the same words, so that every raster operation works on one pixel format; its bits are packed only
// at the boundaries (GetBitmapBits, GetDIBits, CreateBitmap).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/rtl/WinTypes.h"

namespace k58::gdi {

inline constexpr uint32_t kWhitePixel = 0x00FFFFFF;
inline constexpr uint32_t kPixelMask = 0x00FFFFFF;

// COLORREF 0x00BBGGRR <-> pixel 0x00RRGGBB.
inline constexpr uint32_t ColorToPixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline constexpr COLORREF PixelToColor(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// The nearer of black and white.
inline constexpr uint32_t MonoPixelOf(COLORREF c) {
  return (GetRValue(c) + GetGValue(c) + GetBValue(c)) >= 383 ? kWhitePixel : 0u;
}

// Asks for a 32-bit surface whose every pixel starts as one value.
struct FillWith {
  uint32_t pixel;
};

class Surface {
public:
  // Zero-filled (black) surface that owns its pixels. bitsPerPixel is 1 or 32. The memory comes from
  // the system already zeroed, so a large surface costs nothing until its pixels are written.
  Surface(int width, int height, int bitsPerPixel);
  // 32-bit surface filled with one pixel value (written once, not cleared first).
  Surface(int width, int height, FillWith fill);
  // 32-bit surface with rows from the bottom up (a bottom-up DIB section) when bottomUp is set; the
  // memory is owned and reachable through Bits() in that row order.
  Surface(int width, int height, bool bottomUp);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bpp_; }
  bool IsMono() const { return bpp_ == 1; }
  RECT Bounds() const { return RECT{0, 0, width_, height_}; }

  uint32_t* Row(int y) { return reinterpret_cast<uint32_t*>(origin_ + static_cast<ptrdiff_t>(y) * stride_); }
  const uint32_t* Row(int y) const {
    return reinterpret_cast<const uint32_t*>(origin_ + static_cast<ptrdiff_t>(y) * stride_);
  }
  uint32_t Get(int x, int y) const { return Row(y)[x]; }
  void Set(int x, int y, uint32_t pixel) { Row(y)[x] = pixel; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // The pixel memory in storage order (for a bottom-up surface the last row comes first).
  void* Bits() { return memory_.get(); }
  size_t ByteSize() const { return size_ * sizeof(uint32_t); }
  bool BottomUp() const { return stride_ < 0; }

  // Device pixel for a colour on this surface.
  uint32_t PixelOf(COLORREF c) const { return IsMono() ? MonoPixelOf(c) : ColorToPixel(c); }
  // Forces every pixel to black or white (after raw pixel writes into a monochrome surface).
  void NormalizeMono();

  void Fill(uint32_t pixel);

  // Changes the size of a top-down surface in place: the pixels of the area both sizes share stay,
  // the rest is filled with fillPixel. The memory keeps some slack, so that a window resized step by
  // step does not allocate at every step, and is given back when the surface shrinks well below it.
  void Resize(int width, int height, uint32_t fillPixel);
  // Pixels the memory has room for without reallocating.
  size_t Capacity() const { return capacity_; }

private:
  int width_;
  int height_;
  int bpp_;
  // Pixel memory: small blocks from the heap, large ones mapped from the system (zeroed by it, and in
  // huge pages where the system offers them, so a window-sized surface costs a few page faults instead
  // of thousands).
  class Memory {
  public:
    Memory() = default;
    Memory(size_t pixels, bool zeroed);
    Memory(Memory&& other) noexcept { *this = std::move(other); }
    Memory& operator=(Memory&& other) noexcept;
    ~Memory() { Release(); }
    uint32_t* get() const { return pixels_; }

  private:
    void Release();
    uint32_t* pixels_ = nullptr;
    size_t mapped_ = 0;  // bytes mapped, 0 for heap memory
  };
  void Adopt(Memory memory, size_t size, size_t capacity);

  Memory memory_;
  size_t size_ = 0;      // pixels in use
  size_t capacity_ = 0;  // pixels allocated
  uint8_t* origin_ = nullptr;  // row 0
  ptrdiff_t stride_ = 0;       // bytes from row y to row y + 1
};

using SurfacePtr = std::shared_ptr<Surface>;

}  // namespace k58::gdi
