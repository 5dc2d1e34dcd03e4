// Test helpers for the grid: a grid over a pretend window of a fixed client size that records what the
// grid asks of its window, and a recorder that answers the grid's message boxes.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "grid/CellGrid.h"
#include "platform/forms/Forms.h"
#include "platform/win/core/WinKeys.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/UiInternal.h"
#include "platform/win/gdi/Gdi.h"
#include "tests/common/Geometry.h"

// Printing of cells for the test assertions.
inline std::ostream& operator<<(std::ostream& os, const TGridRect& r) {
  return os << "cells(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
inline std::ostream& operator<<(std::ostream& os, const TGridCoord& c) {
  return os << "cell(" << c.X << "," << c.Y << ")";
}

namespace grid_test {

namespace box = k58::grid::box;

// A grid whose window is pretended: a fixed outer size from which shown scroll bars take their room, as
// a real window's client area does.
class TTestGrid : public TCustomCellGrid {
 public:
  explicit TTestGrid(Integer Width = 400, Integer Height = 150, bool WithWindow = true)
      : TCustomCellGrid(nullptr), width_(Width), height_(Height), window_(WithWindow) {}

  struct Scroll {
    Integer DX;
    Integer DY;
    TRect Area;
  };

  // Everything the grid invalidated; nullopt stands for the whole control.
  std::vector<std::optional<TRect>> Invalidated;
  std::vector<Scroll> Scrolls;
  Integer Updates = 0;
  Integer Range[2][2] = {{0, 0}, {0, 0}};
  Integer Pos[2] = {0, 0};

  void ClearLog() {
    Invalidated.clear();
    Scrolls.clear();
    Updates = 0;
  }
  void SetSize(Integer Width, Integer Height) {
    width_ = Width;
    height_ = Height;
  }
  bool BarShown(Integer Bar) const {
    return (Bar == 0 ? HorzScrollBarEnabled() : VertScrollBarEnabled()) && Range[Bar][1] > Range[Bar][0];
  }
  void EnableBars(bool Horizontal, bool Vertical) { SetScrollBarsEnabled(Horizontal, Vertical); }

  // Paints the grid into a bitmap of the client size (first filled with Sentinel) and keeps it.
  void Paint(TColor Sentinel = clFuchsia) {
    if (!surface_) surface_.reset(new TBitmap);
    surface_->SetSize(GridClientWidth(), GridClientHeight());
    surface_->Canvas()->Brush()->SetStyle(bsSolid);
    surface_->Canvas()->Brush()->SetColor(Sentinel);
    surface_->Canvas()->FillRect(TRect{0, 0, GridClientWidth(), GridClientHeight()});
    PaintGrid();
  }
  // A pixel of the last paint as 0x00RRGGBB... in the canvas's colour order ($00BBGGRR).
  TColor Pixel(Integer X, Integer Y) const { return surface_->Canvas()->Pixels(X, Y); }
  TBitmap* Surface() const { return surface_.get(); }
  // Writes the last paint as a PNG (for looking at a failure).
  void Save(const String& Path) const { k58::gdi::WriteBitmapPng(surface_->Handle(), Path); }

  bool Focused = false;
  TColor Background = clWindow;
  bool Look3D = true;
  bool CtrlDown = false;

  using TCustomCellGrid::CancelMouseState;
  using TCustomCellGrid::GridKeyDown;
  using TCustomCellGrid::GridKeyPress;
  using TCustomCellGrid::GridMouseDown;
  using TCustomCellGrid::GridMouseMove;
  using TCustomCellGrid::GridMouseUp;
  using TCustomCellGrid::GridMouseWheel;
  using TCustomCellGrid::MouseState;
  using TCustomCellGrid::TGridShift;
  using TCustomCellGrid::DragKindAt;
  using TCustomCellGrid::DragOffset;
  using TCustomCellGrid::FillAmount;
  using TCustomCellGrid::FillDirection;
  using TCustomCellGrid::FinishCellDrag;
  using TCustomCellGrid::GetSizingInfo;
  using TCustomCellGrid::StartCellDrag;
  using TCustomCellGrid::TrackCellDrag;
  // Centre of a cell in pixels.
  TPoint CellCentre(Integer ACol, Integer ARow) const {
    const TRect r = CellRangeRect(TGridRect{ACol, ARow, ACol, ARow}, false);
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  using TCustomCellGrid::ChangeSize;
  using TCustomCellGrid::InsertDeleteLines;
  using TCustomCellGrid::ResizeColumnStore;

 protected:
  bool GridWindowExists() const override { return window_; }
  bool GridShowing() const override { return window_; }
  Integer GridClientWidth() const override { return width_ - (BarShown(1) ? GetSystemMetrics(SM_CXVSCROLL) : 0); }
  Integer GridClientHeight() const override {
    return height_ - (BarShown(0) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  }
  void GridInvalidate(const TRect* Rect, bool) override {
    if (!window_) return;
    Invalidated.push_back(Rect ? std::optional<TRect>(*Rect) : std::nullopt);
  }
  void GridUpdate() override { ++Updates; }
  void GridScroll(Integer DX, Integer DY, const TRect& Area, bool) override { Scrolls.push_back({DX, DY, Area}); }
  void GridGetScrollRange(Integer Bar, Integer& Min, Integer& Max) const override {
    Min = Range[Bar][0];
    Max = Range[Bar][1];
  }
  void GridSetScrollRange(Integer Bar, Integer Min, Integer Max) override {
    Range[Bar][0] = Min;
    Range[Bar][1] = Max;
  }
  Integer GridGetScrollPos(Integer Bar) const override { return Pos[Bar]; }
  void GridSetScrollPos(Integer Bar, Integer P) override { Pos[Bar] = P; }
  Integer GridCharWidth() const override { return 6; }
  bool GridHasFocus() const override { return Focused; }
  TCanvas* GridCanvas() const override { return surface_ ? surface_->Canvas() : nullptr; }
  TColor GridColor() const override { return Background; }
  bool GridCtl3D() const override { return Look3D; }
  bool GridKeyPressed(Integer VirtKey) const override { return VirtKey == VK_CONTROL && CtrlDown; }

 private:
  Integer width_;
  Integer height_;
  bool window_;
  TObjectPtr<TBitmap> surface_;
};

// Records the grid's message boxes and answers them from a queue (OK when it is empty).
class TGridBoxRecorder {
 public:
  struct Box {
    String Text;
    String Caption;
    UINT Flags;
  };

  TGridBoxRecorder() {
    previous_ = SetGridMessageBoxHandler([this](const String& Text, const String& Caption, UINT Flags) {
      Boxes.push_back({Text, Caption, Flags});
      if (Answers.empty()) return box::IdOK;
      const Integer answer = Answers.front();
      Answers.pop_front();
      return answer;
    });
  }
  ~TGridBoxRecorder() { SetGridMessageBoxHandler(previous_); }
  TGridBoxRecorder(const TGridBoxRecorder&) = delete;
  TGridBoxRecorder& operator=(const TGridBoxRecorder&) = delete;

  std::vector<Box> Boxes;
  std::deque<Integer> Answers;

 private:
  TGridMessageBoxHandler previous_;
};

inline intptr_t TextArg(const char* Text) { return reinterpret_cast<intptr_t>(Text); }

// A grid of its default size on a shown form of the headless display.
class GridOnForm : public ::testing::Test {
 protected:
  GridOnForm() {
    form = NewObject<TForm>(nullptr, 0);
    form->SetBounds(40, 40, 600, 400);
    grid = new TCellGrid(form);
    grid->SetParent(form);
    grid->SetLeft(10);
    grid->SetTop(10);
    form->Show();
    Pump();
  }
  ~GridOnForm() override {
    FreeObject(form);
    k58::winui::ResetWindowSystemState();
  }

  void Pump() {
    for (int round = 0; round < 1000; ++round) {
      Application->ProcessMessages();
      if (!k58::winui::RawPending()) {
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
      }
    }
  }
  // A point of the grid's client area on the screen.
  POINT At(Integer X, Integer Y) {
    const TPoint p = grid->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  POINT AtCell(Integer Col, Integer Row) {
    TRect r;
    grid->GetCellRect(Col, Row, r);
    return At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  TColor Pixel(Integer X, Integer Y) {
    Pump();
    return static_cast<TColor>(display.ClientPixel(grid->Handle(), POINT{X, Y}));
  }

  k58::winui::TestDisplay display;
  TGridBoxRecorder boxes;
  TForm* form = nullptr;
  TCellGrid* grid = nullptr;
};

}  // namespace grid_test
