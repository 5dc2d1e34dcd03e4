// Test helpers of the bars and hot zones: an off-screen canvas of a given size on the test display whose
// pixels are read back as letters or colours.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/foundation/Foundation.h"
#include "platform/forms/Graphics.h"
#include "platform/win/testing/TestDisplay.h"

namespace extra_test {

// A bitmap filled with a background colour, with a library canvas over it.
class DrawingSurface {
 public:
  DrawingSurface(Integer AWidth, Integer AHeight, TColor ABackground = clWhite) : bitmap_(new TBitmap) {
    bitmap_->SetWidth(AWidth);
    bitmap_->SetHeight(AHeight);
    Fill(ABackground);
    canvas_ = std::make_unique<TuiCanvas>(bitmap_->Canvas());
  }
  void Fill(TColor AColor) {
    bitmap_->Canvas()->Brush()->SetColor(AColor);
    bitmap_->Canvas()->FillRect(TRect{0, 0, bitmap_->Width(), bitmap_->Height()});
  }
  TuiCanvas* Canvas() const { return canvas_.get(); }
  TCanvas* RawCanvas() const { return bitmap_->Canvas(); }
  COLORREF Pixel(Integer X, Integer Y) const { return ColorToRGB(bitmap_->Canvas()->Pixels(X, Y)); }
  Integer Width() const { return bitmap_->Width(); }
  Integer Height() const { return bitmap_->Height(); }
  // One letter per pixel of a row range: the letter of the first colour that matches, '.' for anything else.
  std::string Map(const std::vector<std::pair<char, TColor>>& AColours, Integer ATop = 0, Integer ABottom = -1) const {
    if (ABottom < 0) ABottom = Height();
    std::string map;
    for (Integer y = ATop; y < ABottom; ++y) {
      for (Integer x = 0; x < Width(); ++x) {
        char letter = '.';
        for (const auto& [l, c] : AColours)
          if (Pixel(x, y) == ColorToRGB(c)) {
            letter = l;
            break;
          }
        map += letter;
      }
      map += '\n';
    }
    return map;
  }

 private:
  TObjectPtr<TBitmap> bitmap_;
  std::unique_ptr<TuiCanvas> canvas_;
};

}  // namespace extra_test
