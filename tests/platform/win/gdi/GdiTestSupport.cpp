#include "GdiTestSupport.h"

#include <filesystem>

namespace gditest {

void PinTestFonts() {
  gdi::PinnedFonts f;
  f.regular = kDejaVu;
  f.bold = kDejaVuBold;
  f.cjk = kWqy;
  gdi::PinFonts(f);
}

Canvas::Canvas(int width, int height, int bitsPerPixel) : w_(width), h_(height) {
  dc_ = CreateCompatibleDC(nullptr);
  bmp_ = CreateBitmap(width, height, 1, static_cast<UINT>(bitsPerPixel), nullptr);
  old_ = SelectObject(dc_, bmp_);
  Clear();
}

Canvas::~Canvas() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info && ::testing::Test::HasFailure()) {
    std::filesystem::create_directories("gdi_failures");
    std::string name = std::string("gdi_failures/") + info->test_suite_name() + "." + info->name() + ".png";
    for (auto& c : name)
      if (c == '/' && &c > name.data() + 12) c = '_';
    gdi::WriteBitmapPng(bmp_, name);
  }
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bmp_);
}

COLORREF Canvas::At(int x, int y) const {
  auto s = gdi::SurfaceOfBitmap(bmp_);
  return gdi::PixelToColor(s->Get(x, y) & gdi::kPixelMask);
}

void Canvas::Clear(COLORREF c) {
  auto s = gdi::SurfaceOfBitmap(bmp_);
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

int Canvas::Count(COLORREF c) const {
  int n = 0;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) n += At(x, y) == c;
  return n;
}

RECT Canvas::BoundsOf(COLORREF c) const {
  RECT r{w_, h_, 0, 0};
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (At(x, y) == c) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  if (r.right == 0) r = RECT{0, 0, 0, 0};
  return r;
}

std::string Join(const std::vector<std::string>& rows) {
  std::string s = "\n";
  for (const auto& r : rows) s += r + "\n";
  return s;
}

}  // namespace gditest
