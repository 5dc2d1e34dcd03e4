// Shared pieces of the graphics tests: pinned fonts and system colours, bitmaps to draw on, pixel
// pictures, stream images, and a writer of .bmp files for fixtures that does not use the code under test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/forms/Graphics.h"

namespace forms_test {

// Pins the fonts and restores the built-in system colours around every test.
class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A 32-bit bitmap of the size filled with the colour.
TObjectPtr<TBitmap> MakeBitmap(int width, int height, TColor fill = clWhite);

TColor At(TBitmap* bitmap, int x, int y);
// One character per pixel of the rectangle (the whole bitmap by default); colours missing from the legend
// show as '?'.
std::vector<std::string> Picture(TBitmap* bitmap, const std::map<TColor, char>& legend, int x = 0, int y = 0,
                                 int w = -1, int h = -1);
std::string Join(const std::vector<std::string>& rows);
// Pixels of the colour.
int Count(TBitmap* bitmap, TColor color);

std::vector<uint8_t> StreamImage(TGraphic* graphic);
void LoadImage(TGraphic* graphic, const std::vector<uint8_t>& bytes);
// A temporary directory removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A device-independent bitmap as a file holds it.
struct DibSpec {
  int width = 0;
  int height = 0;  // negative: rows from the top
  int bitCount = 24;
  uint32_t compression = BI_RGB;
  std::vector<uint32_t> palette;   // 0x00RRGGBB
  std::vector<uint32_t> masks;     // BI_BITFIELDS: red, green, blue after the header
  std::vector<uint8_t> bits;       // the pixel data as stored
  int headerSize = 40;             // 12 for the old core header
};
std::vector<uint8_t> BuildDib(const DibSpec& spec);
// The .bmp file: file header, then the bitmap.
std::vector<uint8_t> BuildBmp(const DibSpec& spec);

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace forms_test

// A component with the graphics properties controls publish, for form resources.
class TGraphicsHolder : public TComponent {
  K58_CLASS(TGraphicsHolder, TComponent)

  explicit TGraphicsHolder(TComponent* AOwner);
  ~TGraphicsHolder() override;

  TFont* Font() const { return font_; }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TPen* Pen() const { return pen_; }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_; }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }
  TPicture* Picture() const { return picture_; }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  TBitmap* Glyph() const { return glyph_; }
  void SetGlyph(TBitmap* Value) { glyph_->Assign(Value); }
  TColor Color() const { return color_; }
  void SetColor(TColor Value) { color_ = Value; }

 private:
  TFont* font_;
  TPen* pen_;
  TBrush* brush_;
  TPicture* picture_;
  TBitmap* glyph_;
  TColor color_ = clBtnFace;
};

#define EXPECT_BITMAP(bitmap, legend, ...)                                      \
  do {                                                                          \
    std::vector<std::string> expected_ = __VA_ARGS__;                           \
    EXPECT_EQ(::forms_test::Join(expected_),                                  \
              ::forms_test::Join(::forms_test::Picture(bitmap, legend)));   \
  } while (0)
