#include "GdiTestSupport.h"

namespace gdi_test {

void PinTestFonts() {
  k58::gdi::PinnedFonts f;
  f.regular = kDejaVu;
  f.bold = kDejaVuBold;
  f.cjk = kWqy;
  k58::gdi::PinFonts(f);
}

Canvas::Canvas(int width, int height, int bitsPerPixel)
    : w_(width), h_(height), image_([this](const std::string& path) { return k58::gdi::WriteBitmapPng(bmp_, path); }) {
  dc_ = CreateCompatibleDC(nullptr);
  bmp_ = CreateBitmap(width, height, 1, static_cast<UINT>(bitsPerPixel), nullptr);
  old_ = SelectObject(dc_, bmp_);
  Clear();
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bmp_);
}

COLORREF Canvas::At(int x, int y) const {
  auto s = k58::gdi::SurfaceOfBitmap(bmp_);
  return k58::gdi::PixelToColor(s->Get(x, y) & k58::gdi::kPixelMask);
}

void Canvas::Clear(COLORREF c) {
  auto s = k58::gdi::SurfaceOfBitmap(bmp_);
  s->Fill(s->PixelOf(c));
}

std::vector<std::string> Canvas::Picture(int x, int y, int w, int h, const std::map<COLORREF, char>& legend) const {
  std::vector<std::string> rows;
  for (int j = 0; j < h; ++j) {
    std::string row;
    for (int i = 0; i < w; ++i) {
      auto it = legend.find(At(x + i, y + j));
      row += it == legend.end() ? '?' : it->second;
    }
    rows.push_back(row);
  }
  return rows;
}

k58test::PixelReader Canvas::Pixels() const { return k58test::PixelsOf(k58::gdi::SurfaceOfBitmap(bmp_)); }

int Canvas::Count(COLORREF c) const { return k58test::CountColour(Pixels(), RECT{0, 0, w_, h_}, c); }

RECT Canvas::BoundsOf(COLORREF c) const {
  return k58test::InkIn(Pixels(), RECT{0, 0, w_, h_}, [c](COLORREF p) { return p == c; }).Box;
}

std::string Join(const std::vector<std::string>& rows) {
  std::string s = "\n";
  for (const auto& r : rows) s += r + "\n";
  return s;
}

}  // namespace gdi_test
