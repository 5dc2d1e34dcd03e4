// Window surfaces that change size in place.
#include <gtest/gtest.h>

#include "platform/win/gdi/Surface.h"

namespace gdi_test {

namespace {

constexpr uint32_t kFill = 0x00A0B0C0;

// A pixel value that tells where it was written.
uint32_t Mark(int x, int y) { return static_cast<uint32_t>(0x010000 + y * 256 + x); }

void Paint(k58::gdi::Surface& s) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) s.Set(x, y, Mark(x, y));
}

// Pixels inside the old size keep their marks; all others are the fill.
::testing::AssertionResult Kept(const k58::gdi::Surface& s, int oldW, int oldH) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      uint32_t want = (x < oldW && y < oldH) ? Mark(x, y) : kFill;
      if (s.Get(x, y) != want)
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << s.Get(x, y);
    }
  return ::testing::AssertionSuccess();
}

TEST(Surface, StartsWithTheFillItIsGiven) {
  k58::gdi::Surface s(7, 3, k58::gdi::FillWith{kFill});
  EXPECT_EQ(s.BitsPerPixel(), 32);
  EXPECT_TRUE(Kept(s, 0, 0));
}

struct ResizeCase {
  int w0, h0, w1, h1;
};

TEST(Surface, ResizingKeepsTheSharedAreaAndFillsTheRest) {
  const ResizeCase cases[] = {
      {10, 8, 14, 8},  {10, 8, 6, 8},   {10, 8, 10, 12}, {10, 8, 10, 3},  {10, 8, 16, 3},
      {10, 8, 4, 12},  {10, 8, 40, 30}, {40, 30, 3, 2},  {10, 8, 0, 0},   {0, 0, 5, 5},
  };
  for (const ResizeCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.w1 << "x" << c.h1);
    k58::gdi::Surface s(c.w0, c.h0, k58::gdi::FillWith{kFill});
    Paint(s);
    s.Resize(c.w1, c.h1, kFill);
    ASSERT_EQ(s.Width(), c.w1);
    ASSERT_EQ(s.Height(), c.h1);
    EXPECT_EQ(s.ByteSize(), static_cast<size_t>(c.w1) * c.h1 * 4);
    EXPECT_TRUE(Kept(s, std::min(c.w0, c.w1), std::min(c.h0, c.h1)));
  }
}

TEST(Surface, AWindowDraggedLargerStepByStepRarelyReallocates) {
  k58::gdi::Surface s(200, 150, k58::gdi::FillWith{kFill});
  int reallocations = 0;
  size_t capacity = s.Capacity();
  for (int step = 1; step <= 100; ++step) {
    s.Resize(200 + step, 150 + step, kFill);
    if (s.Capacity() != capacity) ++reallocations;
    capacity = s.Capacity();
  }
  EXPECT_LE(reallocations, 10);
  // Dragged back to a fraction of that size, the memory is given back.
  s.Resize(60, 40, kFill);
  EXPECT_LT(s.Capacity(), capacity / 4);
  EXPECT_GE(s.Capacity(), 60u * 40u);
}

}  // namespace

}  // namespace gdi_test
