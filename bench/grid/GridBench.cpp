// Scrolls a grid of 1,000 rows and 50 columns row by row through an 800 x 600 client area, repainting
// the whole client area after each step, and prints the time per repaint (target: under 2 ms).
#include <chrono>
#include <cstdio>

#include "grid/CellGrid.h"

namespace {

constexpr Integer kWidth = 800, kHeight = 600, kCols = 50, kRows = 1000;

// The grid painting into a bitmap of the client size.
class TBenchGrid : public TCustomCellGrid {
 public:
  TBenchGrid() : TCustomCellGrid(nullptr) { surface_.SetSize(kWidth, kHeight); }
  void PaintNow() { PaintGrid(); }

 protected:
  bool GridWindowExists() const override { return true; }
  bool GridShowing() const override { return true; }
  Integer GridClientWidth() const override { return kWidth; }
  Integer GridClientHeight() const override { return kHeight; }
  TCanvas* GridCanvas() const override { return const_cast<TBitmap&>(surface_).Canvas(); }

 private:
  TBitmap surface_;
};

}  // namespace

int main() {
  TBenchGrid grid;
  grid.SetColCount(kCols + 1);
  grid.SetRowCount(kRows + 1);
  grid.SetDefaultRowHeight(20);
  grid.SetDefaultColWidth(70);
  for (Integer c = 1; c <= kCols; ++c)
    for (Integer r = 1; r <= kRows; ++r) grid.GetCellInfo(c, r)->ForeText = "R" + IntToStr(r) + "C" + IntToStr(c);
  grid.PaintNow();  // fonts and glyphs loaded once

  const Integer last = grid.CalcMaxTopLeft({kCols, kRows}).Y;
  const auto start = std::chrono::steady_clock::now();
  Integer frames = 0;
  for (Integer row = 1; row <= last; ++row, ++frames) {
    grid.MoveTopLeft(1, row);
    grid.PaintNow();
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
  std::printf("grid %d x %d, client %d x %d: %d repaints, %.3f ms per repaint (target 2 ms)\n", kCols, kRows,
              kWidth, kHeight, frames, ms);
  return 0;
}
