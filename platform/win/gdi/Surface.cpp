#include "platform/win/gdi/Surface.h"

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

namespace k58::gdi {

namespace {
int ClampDimension(int v) { return std::max(0, v); }

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a surface lives on the heap.
constexpr size_t kMapFrom = size_t{1} << 20;
}  // namespace

Surface::Memory::Memory(size_t pixels, bool zeroed, PixelMemory where) {
  const size_t bytes = std::max<size_t>(pixels, 1) * sizeof(uint32_t);
  // A new segment comes zeroed from the system.
  if (where == PixelMemory::Shared && MakeShared(bytes)) return;
  if (bytes < kMapFrom) {
    void* p = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    pixels_ = static_cast<uint32_t*>(p);
    return;
  }
  // Mapped with room to start on a huge-page boundary; the rest is given back at once. The size is
  // rounded up to whole huge pages: a surface of a megabyte or two (the off-screen bitmap of a
  // double-buffered control, made anew for each paint) then costs one page fault instead of hundreds.
  const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  auto* base = static_cast<uint8_t*>(p);
  uint8_t* start = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(base) + kHugePage - 1) & ~(kHugePage - 1));
  if (start > base) munmap(base, static_cast<size_t>(start - base));
  if (uint8_t* end = start + size; end < base + size + kHugePage) munmap(end, static_cast<size_t>(base + size + kHugePage - end));
  madvise(start, size, MADV_HUGEPAGE);
  pixels_ = reinterpret_cast<uint32_t*>(start);
  mapped_ = size;
}

bool Surface::Memory::MakeShared(size_t bytes) {
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* p = shmat(id, nullptr, 0);
  // Marked for removal at once, so that no segment outlives the process however it ends; the system
  // still lets the display server attach it while this process holds it.
  shmctl(id, IPC_RMID, nullptr);
  if (p == reinterpret_cast<void*>(-1)) return false;
#ifdef MADV_POPULATE_WRITE
  // Every pixel is written at once (filled): one call maps all pages instead of a fault for each.
  madvise(p, bytes, MADV_POPULATE_WRITE);
#endif
  pixels_ = static_cast<uint32_t*>(p);
  shmId_ = id;
  return true;
}

Surface::Memory& Surface::Memory::operator=(Memory&& other) noexcept {
  if (this != &other) {
    Release();
    pixels_ = std::exchange(other.pixels_, nullptr);
    mapped_ = std::exchange(other.mapped_, 0);
    shmId_ = std::exchange(other.shmId_, -1);
  }
  return *this;
}

void Surface::Memory::Release() {
  if (shmId_ >= 0)
    shmdt(pixels_);
  else if (mapped_)
    munmap(pixels_, mapped_);
  else
    std::free(pixels_);
  pixels_ = nullptr;
  mapped_ = 0;
  shmId_ = -1;
}

void Surface::Adopt(Memory memory, size_t size, size_t capacity) {
  memory_ = std::move(memory);
  size_ = size;
  capacity_ = capacity;
  origin_ = reinterpret_cast<uint8_t*>(memory_.get());
  stride_ = static_cast<ptrdiff_t>(width_) * 4;
}

Surface::Surface(int width, int height, int bitsPerPixel)
    : width_(ClampDimension(width)), height_(ClampDimension(height)), bpp_(bitsPerPixel == 1 ? 1 : 32) {
  const size_t n = static_cast<size_t>(width_) * height_;
  Adopt(Memory(n, true), n, n);
}

Surface::Surface(int width, int height, FillWith fill, PixelMemory where)
    : width_(ClampDimension(width)), height_(ClampDimension(height)), bpp_(32) {
  const size_t n = static_cast<size_t>(width_) * height_;
  Adopt(Memory(n, false, where), n, n);
  std::fill_n(memory_.get(), n, fill.pixel);
}

Surface::Surface(int width, int height, bool bottomUp) : Surface(width, height, 32) {
  if (bottomUp && height_ > 0) {
    origin_ = reinterpret_cast<uint8_t*>(memory_.get()) + static_cast<ptrdiff_t>(height_ - 1) * width_ * 4;
    stride_ = -static_cast<ptrdiff_t>(width_) * 4;
  }
}

void Surface::NormalizeMono() {
  if (!IsMono()) return;
  for (uint32_t* p = memory_.get(); p != memory_.get() + size_; ++p) *p = MonoPixelOf(PixelToColor(*p & kPixelMask));
}

void Surface::Fill(uint32_t pixel) { std::fill_n(memory_.get(), size_, pixel); }

void Surface::Resize(int width, int height, uint32_t fillPixel) {
  width = ClampDimension(width);
  height = ClampDimension(height);
  if (width == width_ && height == height_) return;
  const size_t oldW = static_cast<size_t>(width_), oldH = static_cast<size_t>(height_);
  const size_t newW = static_cast<size_t>(width), newH = static_cast<size_t>(height);
  const size_t need = newW * newH;
  const size_t keepW = std::min(oldW, newW), keepH = std::min(oldH, newH);
  width_ = width;
  height_ = height;
  // A quarter more than asked for when the memory has to grow; a surface shrunk below a quarter of its
  // memory moves to a smaller block.
  if (need > capacity_ || need < capacity_ / 4) {
    const size_t capacity = need + need / 4;
    Memory fresh(capacity, false, memory_.Where());
    // Every pixel is written once: kept ones copied, new ones filled.
    for (size_t y = 0; y < keepH; ++y) {
      uint32_t* row = fresh.get() + y * newW;
      std::copy_n(memory_.get() + y * oldW, keepW, row);
      std::fill_n(row + keepW, newW - keepW, fillPixel);
    }
    std::fill(fresh.get() + keepH * newW, fresh.get() + need, fillPixel);
    Adopt(std::move(fresh), need, capacity);
    return;
  }
  uint32_t* m = memory_.get();
  if (newW > oldW) {
    // Rows move up in memory: the last row first.
    for (size_t y = keepH; y-- > 0;) {
      std::copy_backward(m + y * oldW, m + y * oldW + oldW, m + y * newW + oldW);
      std::fill_n(m + y * newW + oldW, newW - oldW, fillPixel);
    }
  } else if (newW < oldW) {
    for (size_t y = 1; y < keepH; ++y) std::copy_n(m + y * oldW, newW, m + y * newW);
  }
  std::fill(m + keepH * newW, m + need, fillPixel);
  Adopt(std::move(memory_), need, capacity_);
}

}  // namespace k58::gdi
