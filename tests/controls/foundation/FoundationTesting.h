// Test helpers of the control foundation: a fixture that runs the units on the pinned test display, a
// canvas over an off-screen bitmap whose pixels can be probed (and which is the picture of a failing
// test), and distinct system colours so that frames and faces can be told apart by their pixels.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/foundation/Foundation.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/common/FailureImage.h"
#include "tests/common/Geometry.h"
#include "tests/common/Pixels.h"

namespace foundation_test {

// The units run for the lifetime of the fixture.
class FoundationTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  FoundationTest() { k58::foundation::StartUnits(); }
  ~FoundationTest() override { k58::foundation::StopUnits(); }
};

// An off-screen 32-bit bitmap filled with a sentinel colour, with a TuiCanvas on it.
class TestCanvas {
 public:
  explicit TestCanvas(Integer AWidth, Integer AHeight, TColor AFill = clFuchsia)
      : bitmap_(std::make_unique<TBitmap>()),
        picture_([this](const std::string& Path) { return k58::gdi::WriteBitmapPng(bitmap_->Handle(), Path); }) {
    bitmap_->SetPixelFormat(pf32bit);
    bitmap_->SetSize(AWidth, AHeight);
    canvas_ = std::make_unique<TuiCanvas>(bitmap_->Canvas());
    Fill(AFill);
  }

  TuiCanvas* operator->() const { return canvas_.get(); }
  TuiCanvas* Canvas() const { return canvas_.get(); }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void Fill(TColor AColor) {
    bitmap_->Canvas()->Brush()->SetStyle(bsSolid);
    bitmap_->Canvas()->Brush()->SetColor(AColor);
    bitmap_->Canvas()->FillRect(TRect{0, 0, bitmap_->Width(), bitmap_->Height()});
  }
  // The RGB colour at a point ($00BBGGRR), whatever the canvas's clipping and origin.
  TColor At(Integer X, Integer Y) const {
    if (X < 0 || Y < 0 || X >= bitmap_->Width() || Y >= bitmap_->Height()) return clNone;
    const uint32_t pixel = static_cast<const uint32_t*>(bitmap_->ScanLine(Y))[X];
    return static_cast<TColor>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF));
  }
  k58test::PixelReader Pixels() const {
    return [this](int X, int Y) { return static_cast<COLORREF>(At(X, Y)); };
  }
  // Every pixel, row by row.
  std::vector<TColor> All() const {
    std::vector<TColor> pixels;
    for (Integer y = 0; y < bitmap_->Height(); ++y)
      for (Integer x = 0; x < bitmap_->Width(); ++x) pixels.push_back(At(x, y));
    return pixels;
  }
  bool Save(const std::string& APath) const { return k58::gdi::WriteBitmapPng(bitmap_->Handle(), APath); }

 private:
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TuiCanvas> canvas_;
  k58test::FailureImage picture_;
};

inline TColor Rgb(TColor AColor) { return ColorToRgbColor(AColor); }

// Gives the system colours the painters use values that differ from one another and from black and
// white, so a pixel tells which colour drew it. The test display restores the pinned colours.
inline void UseDistinctSystemColours() {
  const INT indexes[] = {COLOR_BTNTEXT, COLOR_WINDOWFRAME, COLOR_3DLIGHT, COLOR_GRAYTEXT,
                         COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_HIGHLIGHTTEXT};
  const COLORREF colours[] = {RGB(20, 20, 20),   RGB(30, 0, 0),     RGB(230, 230, 230), RGB(140, 140, 140),
                              RGB(0, 0, 40),     RGB(250, 250, 250), RGB(255, 255, 240)};
  SetSysColors(7, indexes, colours);
}

}  // namespace foundation_test
