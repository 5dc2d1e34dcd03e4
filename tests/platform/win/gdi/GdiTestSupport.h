// Small surfaces to draw on, pixel pictures to compare with, and the pinned test fonts.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "tests/common/FailureImage.h"
#include "tests/common/Pixels.h"

namespace gdi_test {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

inline const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const char* kWqy = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

void PinTestFonts();

// A memory DC with a 32-bit bitmap filled white; the picture of a test that fails while it lives.
class Canvas {
public:
  Canvas(int width, int height, int bitsPerPixel = 32);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  int width() const { return w_; }
  int height() const { return h_; }
  COLORREF At(int x, int y) const;  // surface pixel, regardless of origins and clipping
  void Clear(COLORREF c = kWhite);

  // Rows of characters, one per pixel of the rectangle [x, x + w) x [y, y + rows); the legend maps
  // colours to characters, other colours show as '?'.
  std::vector<std::string> Picture(int x, int y, int w, int h, const std::map<COLORREF, char>& legend) const;
  k58test::PixelReader Pixels() const;
  // Pixels of colour c.
  int Count(COLORREF c) const;
  RECT BoundsOf(COLORREF c) const;  // empty when absent

private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  k58test::FailureImage image_;
};

inline std::map<COLORREF, char> BW() { return {{kWhite, '.'}, {kBlack, '#'}}; }

std::string Join(const std::vector<std::string>& rows);

// Selects an object for the scope and deletes it afterwards.
class Selected {
public:
  Selected(HDC dc, HGDIOBJ obj, bool owned = true) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)), owned_(owned) {}
  ~Selected() {
    SelectObject(dc_, old_);
    if (owned_) DeleteObject(obj_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

private:
  HDC dc_;
  HGDIOBJ obj_;
  HGDIOBJ old_;
  bool owned_;
};

}  // namespace gdi_test

#define EXPECT_PICTURE(canvas, x, y, legend, ...)                                                    \
  do {                                                                                               \
    std::vector<std::string> expected_ = __VA_ARGS__;                                                \
    auto actual_ = (canvas).Picture(x, y, static_cast<int>(expected_[0].size()),                     \
                                    static_cast<int>(expected_.size()), legend);                     \
    EXPECT_EQ(::gdi_test::Join(expected_), ::gdi_test::Join(actual_));                                 \
  } while (0)
