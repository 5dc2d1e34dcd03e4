// The grid's layout: column widths and row heights, the per-axis metrics, points to cells and cells to
// pixels, focus and selection, scrolling and scroll bars, count changes and invalidation.
#include <algorithm>
#include <cstdlib>

#include "grid/CellGrid.h"
#include "grid/GridInternal.h"
#include "platform/win/core/WinMessages.h"

using namespace cellgridconsts;
using k58::grid::FlagSaver;

namespace {

constexpr Integer kBarHorz = 0;
constexpr Integer kBarVert = 1;
// Scroll bars run 0..127 over the scrolling cells; only a two-column grid scrolls by pixels.
constexpr Integer kScrollRange = 127;

// Resizes an extent list by Amount at Index: Amount > 0 inserts Default entries at Index, Amount < 0
// removes the -Amount entries before Index.
void ResizeExtents(std::vector<Integer>& Extents, Integer Index, Integer Amount, Integer Default) {
  if (Amount == 0) return;
  const auto count = static_cast<Integer>(Extents.size());
  if (Index < 0 || Index > count) RaiseGridError(SIndexOutOfRange);
  const Int64 newCount = static_cast<Int64>(count) + Amount;
  if (newCount < 0 || (Amount < 0 && Index + Amount < 0)) RaiseGridError(STooManyDeleted);
  if (newCount > 134217725) RaiseGridError(SGridTooLarge);
  if (Amount > 0)
    Extents.insert(Extents.begin() + Index, static_cast<size_t>(Amount), Default);
  else
    Extents.erase(Extents.begin() + (Index + Amount), Extents.begin() + Index);
}

TRect InflatedRect(TRect r, Integer d) { return TRect{r.left - d, r.top - d, r.right + d, r.bottom + d}; }

bool RectsIntersect(const TRect& a, const TRect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

}  // namespace

// ---- Extents ----

Integer TCustomCellGrid::GetColWidths(Integer ACol) const {
  if (!colWidths_ || ACol < 0 || ACol >= static_cast<Integer>(colWidths_->size())) return defaultColWidth_;
  return (*colWidths_)[ACol];
}

Integer TCustomCellGrid::GetRowHeights(Integer ARow) const {
  if (!rowHeights_ || ARow < 0 || ARow >= static_cast<Integer>(rowHeights_->size())) return defaultRowHeight_;
  return (*rowHeights_)[ARow];
}

void TCustomCellGrid::SetExtent(std::optional<std::vector<Integer>>& Extents, Integer Count, Integer Default,
                                Integer Index, Integer Value, bool IsColumns) {
  if (!Extents) Extents.emplace(static_cast<size_t>(std::max(Count, 0)), Default);
  if (Index < 0 || Index >= static_cast<Integer>(Extents->size())) RaiseGridError(SIndexOutOfRange);
  if ((*Extents)[Index] == Value) return;
  (*Extents)[Index] = Value;
  if (IsColumns) {
    InvalidateFromColumn(Index);
    ColWidthsChanged();
  } else {
    InvalidateFromRow(Index);
    RowHeightsChanged();
  }
}

void TCustomCellGrid::SetColWidths(Integer ACol, Integer AWidth) {
  SetExtent(colWidths_, colCount_, defaultColWidth_, ACol, AWidth, true);
}

void TCustomCellGrid::SetRowHeights(Integer ARow, Integer AHeight) {
  SetExtent(rowHeights_, rowCount_, defaultRowHeight_, ARow, AHeight, false);
}

void TCustomCellGrid::ColWidthsChanged() {
  UpdateScrollRange();
  PlaceEditor();
}

void TCustomCellGrid::RowHeightsChanged() {
  UpdateScrollRange();
  PlaceEditor();
}

void TCustomCellGrid::SetDefaultColWidth(Integer Value) {
  if (colWidths_) colWidths_->assign(static_cast<size_t>(colCount_), Value);
  defaultColWidth_ = Value;
  ColWidthsChanged();
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetDefaultRowHeight(Integer Value) {
  if (rowHeights_) rowHeights_->assign(static_cast<size_t>(rowCount_), Value);
  defaultRowHeight_ = Value;
  RowHeightsChanged();
  InvalidateIfAutoUpdate();
}

// ---- Axis metrics ----

Integer TGridAxisInfo::Extent(Integer Index) const {
  if (IsColumns) {
    if (Index == 0 && !Grid->showRowTitle_) return 0;
    return Grid->GetColWidths(Index);
  }
  if (Index == 0 && !Grid->showColTitle_) return 0;
  return Grid->GetRowHeights(Index);
}

void TCustomCellGrid::CalcAxis(TGridAxisInfo& Axis, bool IsColumns) const {
  Axis.Grid = this;
  Axis.IsColumns = IsColumns;
  const bool lines = IsColumns ? (options_.Contains(goFixedVertLine) || options_.Contains(goVertLine))
                               : (options_.Contains(goFixedHorzLine) || options_.Contains(goHorzLine));
  Axis.LineWidth = lines ? gridLineWidth_ : 0;
  const bool titleShown = IsColumns ? showRowTitle_ : showColTitle_;
  Axis.TitleBoundary = titleShown ? Axis.Extent(0) + Axis.LineWidth : 0;
  Axis.FixedCellCount = IsColumns ? fixedCols_ : fixedRows_;
  Axis.FixedBoundary = Axis.TitleBoundary;
  for (Integer i = 1; i <= Axis.FixedCellCount; ++i) Axis.FixedBoundary += Axis.Extent(i) + Axis.LineWidth;
  Axis.FirstGridCell = IsColumns ? firstScrollCol_ : firstScrollRow_;
  Axis.GridCellCount = IsColumns ? colCount_ : rowCount_;
  // Walk the scrolling cells until one passes the client edge.
  Axis.GridBoundary = Axis.FixedBoundary;
  Axis.FullVisBoundary = Axis.FixedBoundary;
  Axis.LastFullVisibleCell = Axis.FirstGridCell;
  for (Integer i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
    Axis.GridBoundary += Axis.Extent(i) + Axis.LineWidth;
    if (Axis.GridBoundary > Axis.GridExtent + Axis.LineWidth) {
      Axis.GridBoundary = Axis.GridExtent;
      break;
    }
    Axis.LastFullVisibleCell = i;
    Axis.FullVisBoundary = Axis.GridBoundary;
  }
}

TGridAxisInfo TCustomCellGrid::CalcColAxis() const {
  TGridAxisInfo axis;
  axis.GridExtent = GridClientWidth();
  CalcAxis(axis, true);
  return axis;
}

TGridAxisInfo TCustomCellGrid::CalcRowAxis() const {
  TGridAxisInfo axis;
  axis.GridExtent = GridClientHeight();
  CalcAxis(axis, false);
  return axis;
}

// Start of a cell: frozen cells from the title boundary; scrolling cells from the fixed boundary, with
// the cells scrolled out before the first scrolling cell placed left of (above) it.
Integer TCustomCellGrid::CellStart(const TGridAxisInfo& Axis, Integer Index) const {
  if (Index <= 0) return 0;
  Integer pos;
  if (Index <= Axis.FixedCellCount) {
    pos = Axis.TitleBoundary;
    for (Integer i = 1; i < Index; ++i) pos += Axis.Extent(i) + Axis.LineWidth;
    return pos;
  }
  pos = Axis.FixedBoundary;
  if (Index >= Axis.FirstGridCell) {
    for (Integer i = Axis.FirstGridCell; i < Index; ++i) pos += Axis.Extent(i) + Axis.LineWidth;
  } else {
    for (Integer i = Index; i < Axis.FirstGridCell; ++i) pos -= Axis.Extent(i) + Axis.LineWidth;
  }
  if (Axis.IsColumns) pos -= horzOffset_;
  return pos;
}

// Pixels from the start of cell From to the start of cell To (negative when To lies before From).
Integer TCustomCellGrid::AxisDistance(const TGridAxisInfo& Axis, Integer From, Integer To) const {
  Integer d = 0;
  for (Integer i = From; i < To; ++i) d += Axis.Extent(i) + Axis.LineWidth;
  for (Integer i = To; i < From; ++i) d -= Axis.Extent(i) + Axis.LineWidth;
  return d;
}

Integer TCustomCellGrid::AxisCellFromPos(const TGridAxisInfo& Axis, Integer Pos) {
  if (Pos < Axis.TitleBoundary) return 0;
  Integer end = Axis.TitleBoundary;
  if (Pos < Axis.FixedBoundary) {
    for (Integer i = 1; i <= Axis.FixedCellCount; ++i) {
      end += Axis.Extent(i) + Axis.LineWidth;
      if (Pos < end) return i;
    }
    return Axis.FixedCellCount;
  }
  end = Axis.FixedBoundary;
  if (Axis.IsColumns) end -= Axis.Grid->horzOffset_;
  for (Integer i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
    end += Axis.Extent(i) + Axis.LineWidth;
    if (Pos < end) return i;
  }
  return Axis.GridCellCount - 1;
}

// The smallest first scrolling cell with which Coord still ends inside the client area. Hidden cells take
// no room and are never the answer.
Integer TCustomCellGrid::AxisMaxFirst(const TGridAxisInfo& Axis, Integer Coord) {
  Integer result = Coord;
  Integer room = Axis.GridExtent + Axis.LineWidth - Axis.FixedBoundary;
  for (Integer i = Coord; i > Axis.FixedCellCount; --i) {
    const Integer extent = Axis.Extent(i);
    if (extent <= 0) continue;
    room -= extent + Axis.LineWidth;
    if (room < 0) break;
    result = i;
  }
  return std::max(result, Axis.FixedCellCount + 1);
}

TGridCoord TCustomCellGrid::CellFromPoint(Integer X, Integer Y) const {
  return TGridCoord{AxisCellFromPos(CalcColAxis(), X), AxisCellFromPos(CalcRowAxis(), Y)};
}

TGridCoord TCustomCellGrid::CalcMaxTopLeft(const TGridCoord& Coord) const {
  return TGridCoord{AxisMaxFirst(CalcColAxis(), Coord.X), AxisMaxFirst(CalcRowAxis(), Coord.Y)};
}

TRect TCustomCellGrid::CellRangeRect(const TGridRect& Rect, bool IncludeLine) const {
  if (Rect.Right < Rect.Left || Rect.Bottom < Rect.Top) return TRect{0, 0, 0, 0};
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  const auto end = [&](const TGridAxisInfo& axis, Integer index) {
    Integer e = CellStart(axis, index) + axis.Extent(index);
    // A hidden title has no line after it.
    if (IncludeLine && !(index == 0 && axis.TitleBoundary == 0)) e += axis.LineWidth;
    return e;
  };
  return TRect{CellStart(cols, Rect.Left), CellStart(rows, Rect.Top), end(cols, Rect.Right), end(rows, Rect.Bottom)};
}

void TCustomCellGrid::GetCellRect(Integer ACol, Integer ARow, TRect& Rect) const {
  Rect = CellRangeRect(TGridRect{ACol, ARow, ACol, ARow}, false);
}

Integer TCustomCellGrid::VisibleColCount() const {
  const TGridAxisInfo axis = CalcColAxis();
  return axis.LastFullVisibleCell - axis.FirstGridCell + 1;
}

Integer TCustomCellGrid::VisibleRowCount() const {
  const TGridAxisInfo axis = CalcRowAxis();
  return axis.LastFullVisibleCell - axis.FirstGridCell + 1;
}

// ---- Focus and selection ----

bool TCustomCellGrid::CanSelectCell(Integer ACol, Integer ARow) {
  bool canSelect = true;
  onSelectCell_(this, ACol, ARow, canSelect);
  return canSelect;
}

void TCustomCellGrid::InitFocus() {
  firstScrollCol_ = fixedCols_ + 1;
  firstScrollRow_ = fixedRows_ + 1;
  current_ = TGridCoord{firstScrollCol_, firstScrollRow_};
  anchor_ = current_;
  if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  selection_ = NormalizeCellRect(current_, anchor_);
}

void TCustomCellGrid::MoveCurrent(Integer ACol, Integer ARow, bool ResetAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) RaiseGridError(SIndexOutOfRange);
  if (!CanSelectCell(ACol, ARow)) return;
  current_ = TGridCoord{ACol, ARow};
  if (!options_.Contains(goAlwaysShowEditor)) LeaveEditMode();
  if (ResetAnchor || !options_.Contains(goRangeSelect)) {
    const TGridRect block = GetCellRange(ACol, ARow);
    anchor_ = TGridCoord{block.Right, block.Bottom};
    if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  }
  if (Show) ScrollIntoView(current_, false);
  {
    FlagSaver quiet(autoUpdate_, false);
    InvalidateCells(NormalizeCellRect(current_, anchor_));
  }
  TGridCoord from = current_;
  if (options_.Contains(goRowSelect)) from.X = fixedCols_ + 1;
  SetSelection(NormalizeCellRect(from, anchor_));
}

void TCustomCellGrid::FocusCell(Integer ACol, Integer ARow, bool ResetAnchor) {
  if (current_.X == ACol && current_.Y == ARow) return;
  MoveCurrent(ACol, ARow, ResetAnchor, true);
  PlaceEditor();
  Click();
}

void TCustomCellGrid::MoveAnchor(const TGridCoord& Coord, bool SetSel) {
  if (!options_.Contains(goRangeSelect)) {
    MoveCurrent(Coord.X, Coord.Y, true, true);
    return;
  }
  anchor_ = Coord;
  if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  if (SetSel) selection_ = NormalizeCellRect(current_, anchor_);
}

void TCustomCellGrid::SetSelection(const TGridRect& Rect) {
  if (Rect == selection_) return;
  TGridCoord tl = Rect.TopLeft();
  TGridCoord br = Rect.BottomRight();
  ClampCoord(tl, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  ClampCoord(br, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  const TGridRect old = selection_;
  selection_ = TGridRect{tl.X, tl.Y, br.X, br.Y};
  RepaintSelectionChange(old);
}

// ---- Scrolling ----

void TCustomCellGrid::MoveTopLeft(Integer ALeft, Integer ATop) {
  if (ALeft == firstScrollCol_ && ATop == firstScrollRow_) return;
  const Integer oldLeft = firstScrollCol_;
  const Integer oldTop = firstScrollRow_;
  firstScrollCol_ = ALeft;
  firstScrollRow_ = ATop;
  TopLeftMoved(oldLeft, oldTop);
  if (autoUpdate_) GridUpdate();
}

void TCustomCellGrid::ScrollIntoView(const TGridCoord& Coord, bool OnlyForward) {
  if (!GridWindowExists()) return;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  const TGridCoord maxTL{AxisMaxFirst(cols, Coord.X), AxisMaxFirst(rows, Coord.Y)};
  Integer left = firstScrollCol_;
  Integer top = firstScrollRow_;
  const bool colBeyond = Coord.X > cols.LastFullVisibleCell;
  const bool rowBeyond = Coord.Y > rows.LastFullVisibleCell;
  if (OnlyForward) {
    if (!colBeyond && !rowBeyond) return;
    if (colBeyond) left = maxTL.X;
    if (rowBeyond) top = maxTL.Y;
  } else {
    const bool colBefore = Coord.X < firstScrollCol_ && firstScrollCol_ != fixedCols_ + 1;
    const bool rowBefore = Coord.Y < firstScrollRow_ && firstScrollRow_ != fixedRows_ + 1;
    if (!colBeyond && !rowBeyond && !colBefore && !rowBefore) return;
    if (colBefore)
      left = std::max(Coord.X, fixedCols_ + 1);
    else if (colBeyond)
      left = maxTL.X;
    if (rowBefore)
      top = std::max(Coord.Y, fixedRows_ + 1);
    else if (rowBeyond)
      top = maxTL.Y;
  }
  if (left == firstScrollCol_ && top == firstScrollRow_) return;
  GridUpdate();
  const Integer oldLeft = firstScrollCol_;
  const Integer oldTop = firstScrollRow_;
  firstScrollCol_ = left;
  firstScrollRow_ = top;
  TopLeftMoved(oldLeft, oldTop);
}

void TCustomCellGrid::TopLeftMoved(Integer OldLeft, Integer OldTop) {
  UpdateScrollPos();
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  // Moving forward shifts the content up or left.
  const Integer dx = -AxisDistance(cols, OldLeft, firstScrollCol_);
  const Integer dy = -AxisDistance(rows, OldTop, firstScrollRow_);
  if (std::abs(dx) > cols.GridBoundary - cols.FixedBoundary || std::abs(dy) > rows.GridBoundary - rows.FixedBoundary)
    InvalidateIfAutoUpdate();
  else if (dx != 0 || dy != 0)
    ScrollData(dx, dy);
  AfterTopLeftMoved();
}


void TCustomCellGrid::ScrollData(Integer DX, Integer DY) {
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  const Integer width = GridClientWidth();
  const Integer height = GridClientHeight();
  const bool erase = !defaultDrawing_;
  if (DY == 0) {
    GridScroll(DX, 0, TRect{cols.FixedBoundary, 0, width, height}, erase);
  } else if (DX == 0) {
    GridScroll(0, DY, TRect{0, rows.FixedBoundary, width, height}, erase);
  } else {
    GridScroll(DX, 0, TRect{cols.FixedBoundary, 0, width, rows.FixedBoundary}, erase);
    GridScroll(0, DY, TRect{0, rows.FixedBoundary + 1, cols.FixedBoundary, height}, erase);
    GridScroll(DX, DY, TRect{cols.FixedBoundary, rows.FixedBoundary + 1, width, height}, erase);
  }
  if (options_.Contains(goRowSelect)) InvalidateCells(selection_);
}

bool TCustomCellGrid::HasScrollBar(Integer Bar) const {
  if (!(Bar == kBarHorz ? scrollHorz_ : scrollVert_)) return false;
  Integer min = 0;
  Integer max = 0;
  GridGetScrollRange(Bar, min, max);
  return max > min;
}

void TCustomCellGrid::UpdateScrollPos() {
  if (!GridWindowExists() || (!scrollHorz_ && !scrollVert_)) return;
  if (scrollHorz_) {
    Integer pos;
    if (colCount_ == 2) {
      const TGridAxisInfo cols = CalcColAxis();
      const Integer visible = cols.GridExtent - cols.FixedBoundary;
      const Integer width = GetColWidths(1);
      if (horzOffset_ > 0 && width - horzOffset_ < visible) ScrollByPixels(SB_THUMBPOSITION, std::max(0, width - visible));
      pos = horzOffset_;
    } else {
      const Integer first = fixedCols_ + 1;
      pos = MulDiv(firstScrollCol_ - first, kScrollRange, MaxTopLeft().X - first);
    }
    if (pos != GridGetScrollPos(kBarHorz)) GridSetScrollPos(kBarHorz, pos);
  }
  if (scrollVert_) {
    const Integer first = fixedRows_ + 1;
    const Integer pos = MulDiv(firstScrollRow_ - first, kScrollRange, MaxTopLeft().Y - first);
    if (pos != GridGetScrollPos(kBarVert)) GridSetScrollPos(kBarVert, pos);
  }
}

// Sets the range of one bar for the layout Axis; a first scrolling cell beyond the largest one comes back.
void TCustomCellGrid::UpdateBarRange(Integer Bar, const TGridAxisInfo& Axis, Integer ColOrRowCount) {
  if (ColOrRowCount == 2 && Bar == kBarHorz) {
    // Pixels: the part of column 1 that does not fit beside the frozen area, so the thumb reaches
    // every offset that line and page steps reach.
    GridSetScrollRange(Bar, 0, std::max(0, GetColWidths(1) - (Axis.GridExtent - Axis.FixedBoundary)));
    return;
  }
  if (ColOrRowCount == 2) {
    GridSetScrollRange(Bar, 0, std::max(0, GetRowHeights(1) - Axis.GridExtent));
    return;
  }
  const Integer maxFirst = AxisMaxFirst(Axis, ColOrRowCount - 1);
  GridSetScrollRange(Bar, 0, maxFirst > Axis.FixedCellCount + 1 ? kScrollRange : 0);
  Integer& first = Bar == kBarHorz ? firstScrollCol_ : firstScrollRow_;
  if (maxFirst < first) {
    InvalidateIfAutoUpdate();
    first = maxFirst;
  }
}

void TCustomCellGrid::UpdateScrollRange() {
  if ((!scrollHorz_ && !scrollVert_) || !GridWindowExists() || !GridShowing()) return;
  const bool horz = scrollHorz_;
  const bool vert = scrollVert_;
  const Integer oldLeft = firstScrollCol_;
  const Integer oldTop = firstScrollRow_;
  {
    // The client size as if no bar were shown.
    Integer width = GridClientWidth();
    Integer height = GridClientHeight();
    if (HasScrollBar(kBarVert)) width += GetSystemMetrics(SM_CXVSCROLL);
    if (HasScrollBar(kBarHorz)) height += GetSystemMetrics(SM_CYHSCROLL);
    // Setting a range may show or hide a bar and resize the window; that must not start another update.
    FlagSaver noHorz(scrollHorz_, false);
    FlagSaver noVert(scrollVert_, false);
    TGridAxisInfo cols;
    if (horz) {
      cols.GridExtent = width;
      CalcAxis(cols, true);
      UpdateBarRange(kBarHorz, cols, colCount_);
    }
    const Integer widthBefore = GridClientWidth();
    if (vert) {
      TGridAxisInfo rows;
      rows.GridExtent = horz ? GridClientHeight() : height;
      CalcAxis(rows, false);
      UpdateBarRange(kBarVert, rows, rowCount_);
    }
    if (horz && GridClientWidth() != widthBefore) {
      cols.GridExtent = GridClientWidth();
      CalcAxis(cols, true);
      UpdateBarRange(kBarHorz, cols, colCount_);
    }
  }
  UpdateScrollPos();
  if (firstScrollCol_ != oldLeft || firstScrollRow_ != oldTop) TopLeftMoved(oldLeft, oldTop);
}

Integer TCustomCellGrid::ScrollStep(const TGridAxisInfo& Axis, Integer Code, Integer Pos, Integer Cur) const {
  const Integer min = Axis.FixedCellCount + 1;
  const Integer max = AxisMaxFirst(Axis, Axis.GridCellCount - 1);
  Integer next = Cur;
  switch (Code) {
    case SB_LINEUP: next = Cur - 1; break;
    case SB_LINEDOWN: next = Cur + 1; break;
    case SB_PAGEUP: next = Cur - std::max(1, Cur - AxisMaxFirst(Axis, Cur)); break;
    case SB_PAGEDOWN: next = Cur + std::max(1, Axis.LastFullVisibleCell - Cur); break;
    case SB_THUMBTRACK:
      if (!options_.Contains(goThumbTracking)) break;
      [[fallthrough]];
    case SB_THUMBPOSITION: next = min + MulDiv(Pos, max - min, kScrollRange); break;
    case SB_TOP: next = min; break;
    case SB_BOTTOM: next = max; break;
    default: break;
  }
  if (Code >= SB_LINEUP && Code <= SB_PAGEDOWN) {
    // Hidden cells are stepped over.
    const Integer step = (Code == SB_LINEUP || Code == SB_PAGEUP) ? -1 : 1;
    while (next > min && next < max && Axis.Extent(next) <= 0) next += step;
  } else if (Code <= SB_BOTTOM) {
    // A hidden cell reached directly gives way to the next visible one.
    while (next > min && next < max && Axis.Extent(next) <= 0) ++next;
  }
  return std::clamp(next, min, std::max(min, max));
}

void TCustomCellGrid::ScrollByCode(Integer Bar, Integer Code, Integer Pos) {
  LeaveEditMode();
  GridTakeFocus();
  if (Bar == kBarHorz && colCount_ == 2) {
    ScrollByPixels(Code, Pos);
    return;
  }
  if (Bar == kBarHorz) {
    const Integer next = ScrollStep(CalcColAxis(), Code, Pos, firstScrollCol_);
    if (next != firstScrollCol_) MoveTopLeft(next, firstScrollRow_);
  } else {
    const Integer next = ScrollStep(CalcRowAxis(), Code, Pos, firstScrollRow_);
    if (next != firstScrollRow_) MoveTopLeft(firstScrollCol_, next);
  }
}

void TCustomCellGrid::ScrollByPixels(Integer Code, Integer Pos) {
  const TGridAxisInfo cols = CalcColAxis();
  const Integer page = cols.GridExtent - cols.FixedBoundary;
  const Integer maxOffset = std::max(0, GetColWidths(1) - page);
  const Integer step = GridCharWidth();
  Integer next = horzOffset_;
  switch (Code) {
    case SB_LINELEFT: next = horzOffset_ - step; break;
    case SB_LINERIGHT: next = horzOffset_ + step; break;
    case SB_PAGELEFT: next = horzOffset_ - page; break;
    case SB_PAGERIGHT: next = horzOffset_ + page; break;
    case SB_THUMBTRACK:
      if (!options_.Contains(goThumbTracking)) break;
      [[fallthrough]];
    case SB_THUMBPOSITION: next = Pos; break;
    case SB_LEFT: next = 0; break;
    case SB_RIGHT: next = maxOffset; break;
    default: break;
  }
  next = std::clamp(next, 0, maxOffset);
  if (next == horzOffset_) return;
  const Integer old = horzOffset_;
  horzOffset_ = next;
  ScrollData(old - next, 0);
  InvalidateCells(TGridRect{1, 0, 1, fixedRows_});
  GridUpdate();
  UpdateScrollPos();
}

// ---- Count changes ----

void TCustomCellGrid::SetColCount(Integer Value) {
  if (Value > 256) {
    if (InDesign()) ShowGridError(SGridTooManyColumns);
    Value = 256;
  }
  if (Value < colCount_) {
    for (Integer c = std::max(Value, 0); c < colCount_; ++c)
      for (Integer r = 1; r < rowCount_; ++r)
        if (IsCellMerged(c, r)) return;
  }
  if (Value == colCount_) return;
  if (Value < 2) Value = 2;
  if (fixedCols_ >= Value - 1) fixedCols_ = Value - 2;
  ResizeColumnStore(Value);
  try {
    ChangeSize(Value, rowCount_);
  } catch (...) {
    // The counts went back; the store follows them.
    ResizeColumnStore(colCount_);
    throw;
  }
}

void TCustomCellGrid::SetRowCount(Integer Value) {
  if (Value < rowCount_) {
    for (Integer r = std::max(Value, 0); r < rowCount_; ++r)
      for (Integer c = 1; c < colCount_; ++c)
        if (IsCellMerged(c, r)) return;
  }
  if (Value == rowCount_) return;
  if (Value < 2) Value = 2;
  if (fixedRows_ >= Value - 1) fixedRows_ = Value - 2;
  ResizeRowStore(Value);
  try {
    ChangeSize(colCount_, Value);
  } catch (...) {
    ResizeRowStore(rowCount_);
    throw;
  }
}

void TCustomCellGrid::SetFixedCols(Integer Value) {
  if (Value == fixedCols_ || Value >= colCount_ - 1) return;
  if (Value < 0) RaiseGridError(SIndexOutOfRange);
  fixedCols_ = Value;
  InitFocus();
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetFixedRows(Integer Value) {
  if (Value == fixedRows_ || Value >= rowCount_ - 1) return;
  if (Value < 0) RaiseGridError(SIndexOutOfRange);
  fixedRows_ = Value;
  InitFocus();
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::ChangeSize(Integer NewColCount, Integer NewRowCount) {
  const Integer oldColCount = colCount_;
  const Integer oldRowCount = rowCount_;
  const Integer oldLeft = firstScrollCol_;
  const Integer oldTop = firstScrollRow_;
  const TGridAxisInfo oldCols = CalcColAxis();
  const TGridAxisInfo oldRows = CalcRowAxis();

  colCount_ = NewColCount;
  rowCount_ = NewRowCount;
  if (fixedCols_ + 1 >= colCount_) fixedCols_ = colCount_ - 2;
  if (fixedRows_ + 1 >= rowCount_) fixedRows_ = rowCount_ - 2;
  if (colCount_ < oldColCount || rowCount_ < oldRowCount) {
    const TGridCoord maxTL = MaxTopLeft();
    if (colCount_ < oldColCount) firstScrollCol_ = std::min(firstScrollCol_, maxTL.X);
    if (rowCount_ < oldRowCount) firstScrollRow_ = std::min(firstScrollRow_, maxTL.Y);
  }

  const auto adjust = [&] {
    if (colWidths_) ResizeExtents(*colWidths_, static_cast<Integer>(colWidths_->size()),
                                  colCount_ - static_cast<Integer>(colWidths_->size()), defaultColWidth_);
    if (rowHeights_) ResizeExtents(*rowHeights_, static_cast<Integer>(rowHeights_->size()),
                                   rowCount_ - static_cast<Integer>(rowHeights_->size()), defaultRowHeight_);
    TGridCoord focus = current_;
    ClampCoord(focus, 0, 0, rowCount_ - 1, colCount_ - 1);
    if (!(focus == current_)) MoveCurrent(focus.X, focus.Y, true, true);
    if (!(anchor_ == current_)) MoveAnchor(current_, true);
    if (options_.Contains(goRowSelect)) {
      selection_.Left = fixedCols_ + 1;
      selection_.Right = colCount_ - 1;
    }
    if (firstScrollCol_ != oldLeft || firstScrollRow_ != oldTop) {
      InvalidateIfAutoUpdate();
    } else if (GridWindowExists() && autoUpdate_) {
      const TGridAxisInfo cols = CalcColAxis();
      const TGridAxisInfo rows = CalcRowAxis();
      const Integer width = GridClientWidth();
      const Integer height = GridClientHeight();
      if (cols.GridBoundary != oldCols.GridBoundary) {
        const TRect strip{std::min(cols.GridBoundary, oldCols.GridBoundary), 0, width, height};
        GridInvalidate(&strip, false);
      }
      if (rows.GridBoundary != oldRows.GridBoundary) {
        const TRect strip{0, std::min(rows.GridBoundary, oldRows.GridBoundary), width, height};
        GridInvalidate(&strip, false);
      }
    }
    UpdateScrollRange();
    SizeChanged(oldColCount, oldRowCount);
  };
  try {
    adjust();
  } catch (...) {
    colCount_ = oldColCount;
    rowCount_ = oldRowCount;
    k58::grid::RollBackQuietly(adjust);
    throw;
  }
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SizeChanged(Integer, Integer) {}

void TCustomCellGrid::InsertDeleteLines(Integer Index, Integer Amount, bool IsRows) {
  if (Amount == 0) return;
  const Integer count = IsRows ? rowCount_ : colCount_;
  if (Index < 0 || Index > count) RaiseGridError(SIndexOutOfRange);
  if (Index > count + Amount || count + Amount < 2) RaiseGridError(STooManyDeleted);
  if (!IsRows && count + Amount > 256) RaiseGridError(SGridTooLarge);
  const Integer oldColCount = colCount_;
  const Integer oldRowCount = rowCount_;
  auto& extents = IsRows ? rowHeights_ : colWidths_;
  const Integer def = IsRows ? defaultRowHeight_ : defaultColWidth_;
  if (extents) ResizeExtents(*extents, Amount > 0 ? Index : Index - Amount, Amount, def);

  // The records and the blocks behind Index move with the lines; a block that no longer holds its own
  // cell becomes that single cell.
  const auto map = [&](Integer v, bool isEnd) {
    if (v < Index) return v;
    if (Amount > 0) return v + Amount;
    if (v < Index - Amount) return isEnd ? Index - 1 : Index;
    return v + Amount;
  };
  const auto moveBlock = [&](TCellInfo* cell, Integer col, Integer row) {
    TGridRect& r = cell->Range;
    if (IsRows) {
      r.Top = map(r.Top, false);
      r.Bottom = map(r.Bottom, true);
    } else {
      r.Left = map(r.Left, false);
      r.Right = map(r.Right, true);
    }
    if (r.Right < r.Left || r.Bottom < r.Top || !CellInRect(col, row, r)) r = TGridRect{col, row, col, row};
  };
  const auto newPos = [&](Integer v) { return (Amount > 0 && v >= Index) ? v + Amount : v; };
  if (IsRows) {
    for (Integer c = 0; c < cells_->Count(); ++c) {
      TColCellInfoList* column = cells_->Column(c);
      for (Integer i = 0; i < -Amount; ++i) column->Delete(Index);
      for (Integer r = 0; r < column->Count(); ++r) moveBlock(column->Cell(r), c, newPos(r));
      for (Integer i = 0; i < Amount; ++i) {
        auto* cell = new TCellInfo;
        InitCellInfo(this, cell, c, Index + i);
        column->Insert(Index + i, cell);
      }
    }
    rowCount_ += Amount;
  } else {
    for (Integer i = 0; i < -Amount; ++i) cells_->Delete(Index);
    for (Integer c = 0; c < cells_->Count(); ++c)
      for (Integer r = 0; r < rowCount_; ++r) moveBlock(cells_->Cell(c, r), newPos(c), r);
    for (Integer i = 0; i < Amount; ++i) cells_->Insert(Index + i, new TColCellInfoList(this, rowCount_, Index + i));
    colCount_ += Amount;
  }
  if (fixedCols_ + 1 >= colCount_) fixedCols_ = colCount_ - 2;
  if (fixedRows_ + 1 >= rowCount_) fixedRows_ = rowCount_ - 2;

  // The focus moves with its line; the selection collapses onto it.
  const auto follow = [&](Integer v) { return v >= Index ? std::max(Index, v + Amount) : v; };
  if (IsRows) {
    current_.Y = follow(current_.Y);
  } else {
    current_.X = follow(current_.X);
  }
  ClampCoord(current_, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  anchor_ = current_;
  selection_ = NormalizeCellRect(current_, anchor_);
  const TGridCoord maxTL = MaxTopLeft();
  firstScrollCol_ = std::clamp(firstScrollCol_, fixedCols_ + 1, std::max(fixedCols_ + 1, maxTL.X));
  firstScrollRow_ = std::clamp(firstScrollRow_, fixedRows_ + 1, std::max(fixedRows_ + 1, maxTL.Y));
  if (IsRows)
    InvalidateFromRow(std::min(Index, rowCount_ - 1));
  else
    InvalidateFromColumn(std::min(Index, colCount_ - 1));
  UpdateScrollRange();
  SizeChanged(oldColCount, oldRowCount);
}

// ---- Invalidation ----

void TCustomCellGrid::InvalidateCells(const TGridRect& Rect) {
  if (!GridWindowExists()) return;
  const TRect r = InflatedRect(CellRangeRect(Rect, true), 3);
  GridInvalidate(&r, false);
  if (autoUpdate_) GridUpdate();
}

void TCustomCellGrid::InvalidateRow(Integer ARow) {
  if (!GridWindowExists()) return;
  // The whole row: its visible cells may lie anywhere once the grid scrolled sideways.
  InvalidateCells(TGridRect{0, ARow, colCount_ - 1, ARow});
}

void TCustomCellGrid::InvalidateIfAutoUpdate() {
  if (autoUpdate_) GridInvalidate(nullptr, false);
}

void TCustomCellGrid::InvalidateFromColumn(Integer ACol) {
  if (!GridWindowExists()) return;
  Integer first = ACol;
  if (ACol >= 0 && ACol < colCount_)
    for (Integer r = 0; r < rowCount_; ++r) first = std::min(first, GetCellRange(ACol, r).Left);
  const TRect r{CellStart(CalcColAxis(), first), 0, GridClientWidth(), GridClientHeight()};
  GridInvalidate(&r, false);
  if (autoUpdate_) GridUpdate();
}

void TCustomCellGrid::InvalidateFromRow(Integer ARow) {
  if (!GridWindowExists()) return;
  Integer first = ARow;
  if (ARow >= 0 && ARow < rowCount_)
    for (Integer c = 0; c < colCount_; ++c) first = std::min(first, GetCellRange(c, ARow).Top);
  const TRect r{0, CellStart(CalcRowAxis(), first), GridClientWidth(), GridClientHeight()};
  GridInvalidate(&r, false);
  if (autoUpdate_) GridUpdate();
}

void TCustomCellGrid::RepaintSelectionChange(const TGridRect& OldSel) {
  if (!GridWindowExists()) return;
  const auto invalidate = [this](const TGridRect& cells) {
    const TRect r = InflatedRect(CellRangeRect(cells, true), 3);
    GridInvalidate(&r, false);
  };
  // The titles beside the selection are drawn bold.
  for (const TGridRect& sel : {OldSel, selection_}) {
    invalidate(TGridRect{sel.Left, 0, sel.Right, 0});
    invalidate(TGridRect{0, sel.Top, 0, sel.Bottom});
  }
  const auto pixels = [this](const TGridRect& sel) {
    // An old selection may still name cells of columns or rows just removed.
    TGridCoord tl = sel.TopLeft();
    TGridCoord br = sel.BottomRight();
    ClampCoord(tl, 0, 0, rowCount_ - 1, colCount_ - 1);
    ClampCoord(br, 0, 0, rowCount_ - 1, colCount_ - 1);
    TGridRect cells{tl.X, tl.Y, br.X, br.Y};
    if (cells.Left <= cells.Right && cells.Top <= cells.Bottom && RangeCutsMerged(cells))
      cells = ExpandToMergedRanges(cells.TopLeft(), cells.BottomRight());
    return CellRangeRect(cells, true);
  };
  const TRect a = pixels(OldSel);
  const TRect b = pixels(selection_);
  std::vector<TRect> parts;
  if (!RectsIntersect(a, b)) {
    parts = {a, b};
  } else {
    const TRect u{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
    const TRect i{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    if (u.left < i.left) parts.push_back(TRect{u.left, u.top, i.left, u.bottom});
    if (u.top < i.top) parts.push_back(TRect{i.left, u.top, i.right, i.top});
    if (i.right < u.right) parts.push_back(TRect{i.right, u.top, u.right, u.bottom});
    if (i.bottom < u.bottom) parts.push_back(TRect{i.left, i.bottom, i.right, u.bottom});
  }
  for (const TRect& part : parts) {
    const TRect r = InflatedRect(part, 4);
    GridInvalidate(&r, false);
  }
}

// ---- Form storage of the extents ----

void TCustomCellGrid::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  // Resources are written whole (no ancestor to compare with), so an allocated list is always written.
  const auto reader = [this](bool columns) {
    return [this, columns](TReader* Reader) {
      Reader->ReadListBegin();
      for (Integer i = 0; !Reader->EndOfList(); ++i) {
        const Integer value = Reader->ReadInteger();
        if (columns)
          SetColWidths(i, value);
        else
          SetRowHeights(i, value);
      }
      Reader->ReadListEnd();
    };
  };
  const auto writer = [this](bool columns) {
    return [this, columns](TWriter* Writer) {
      Writer->WriteListBegin();
      const Integer count = columns ? colCount_ : rowCount_;
      for (Integer i = 0; i < count; ++i) Writer->WriteInteger(columns ? GetColWidths(i) : GetRowHeights(i));
      Writer->WriteListEnd();
    };
  };
  Filer->DefineProperty("ColWidths", reader(true), writer(true), colWidths_.has_value());
  Filer->DefineProperty("RowHeights", reader(false), writer(false), rowHeights_.has_value());
}
