// Cell copy, move and fill: the cell block buffer that carries complete records, the drags that move,
// copy or fill the selection, and their checks.
//
// Buffer layout (little-endian 32-bit integers): source column, source row, width W, height H, then the
// W x H cells column by column, each as its total size, the fixed part of the record field by field in
// its declared order and width, and the font name, fore text and back text, each as length and bytes.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "grid/CellGrid.h"
#include "platform/win/core/WinKeys.h"

using namespace cellgridconsts;

namespace {

void PutInt(std::vector<uint8_t>& b, Integer v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void PutByte(std::vector<uint8_t>& b, uint8_t v) { b.push_back(v); }

void PutText(std::vector<uint8_t>& b, const String& s) {
  PutInt(b, static_cast<Integer>(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}

void PutCell(std::vector<uint8_t>& b, const TCellInfo& c) {
  const size_t start = b.size();
  PutInt(b, 0);  // the size, filled in below
  PutByte(b, static_cast<uint8_t>(c.DataStyle));
  PutByte(b, static_cast<uint8_t>(c.AlignMode));
  PutInt(b, c.Range.Left);
  PutInt(b, c.Range.Top);
  PutInt(b, c.Range.Right);
  PutInt(b, c.Range.Bottom);
  for (bool flag : {c.ReadOnly, c.AutoWordBreak, c.ShowForeText, c.TopLine, c.LeftLine, c.BottomLine, c.RightLine,
                    c.AllowNegative, c.TrailingZero, c.ZeroNull, c.ThousandSep})
    PutByte(b, flag ? 1 : 0);
  PutInt(b, c.MaxLength);
  PutInt(b, c.IntLength);
  PutInt(b, c.DecLength);
  PutInt(b, c.LineWidth);
  PutByte(b, static_cast<uint8_t>(c.PenStyle));
  PutInt(b, c.Extra);
  PutInt(b, c.Color);
  PutInt(b, c.FontSize);
  PutInt(b, c.FontColor);
  PutByte(b, static_cast<uint8_t>(c.FontStyle.Bits()));
  PutText(b, c.FontName);
  PutText(b, c.ForeText);
  PutText(b, c.BackText);
  const auto size = static_cast<uint32_t>(b.size() - start);
  for (int i = 0; i < 4; ++i) b[start + i] = static_cast<uint8_t>(size >> (8 * i));
}

// Reads the buffer; a read past its end makes Ok false and yields zeros.
class BufferReader {
 public:
  BufferReader(const std::vector<uint8_t>& b, size_t pos, size_t end) : b_(b), pos_(pos), end_(end) {}
  bool Ok() const { return ok_; }
  size_t Pos() const { return pos_; }
  Integer Int() {
    if (!Need(4)) return 0;
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(b_[pos_ + i]) << (8 * i);
    pos_ += 4;
    return static_cast<Integer>(u);
  }
  uint8_t Byte() {
    if (!Need(1)) return 0;
    return b_[pos_++];
  }
  String Text() {
    const Integer n = Int();
    if (n < 0 || !Need(static_cast<size_t>(n))) {
      ok_ = false;
      return String();
    }
    String s(reinterpret_cast<const char*>(b_.data() + pos_), static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return s;
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || pos_ + n > end_) ok_ = false;
    return ok_;
  }
  const std::vector<uint8_t>& b_;
  size_t pos_;
  size_t end_;
  bool ok_ = true;
};

bool ReadCell(BufferReader& r, TCellInfo& c) {
  c.DataStyle = static_cast<TDataStyle>(r.Byte());
  c.AlignMode = static_cast<TAlignMode>(r.Byte());
  c.Range.Left = r.Int();
  c.Range.Top = r.Int();
  c.Range.Right = r.Int();
  c.Range.Bottom = r.Int();
  for (bool* flag : {&c.ReadOnly, &c.AutoWordBreak, &c.ShowForeText, &c.TopLine, &c.LeftLine, &c.BottomLine,
                     &c.RightLine, &c.AllowNegative, &c.TrailingZero, &c.ZeroNull, &c.ThousandSep})
    *flag = r.Byte() != 0;
  c.MaxLength = r.Int();
  c.IntLength = r.Int();
  c.DecLength = r.Int();
  c.LineWidth = r.Int();
  const uint8_t pen = r.Byte();
  c.PenStyle = pen <= psInsideFrame ? static_cast<TPenStyle>(pen) : psSolid;
  c.Extra = r.Int();
  c.Color = r.Int();
  c.FontSize = r.Int();
  c.FontColor = r.Int();
  c.FontStyle = TFontStyles::FromBits(r.Byte());
  c.FontName = r.Text();
  c.ForeText = r.Text();
  c.BackText = r.Text();
  return r.Ok();
}

TGridRect Shifted(const TGridRect& r, const TGridCoord& d) {
  return TGridRect{r.Left + d.X, r.Top + d.Y, r.Right + d.X, r.Bottom + d.Y};
}

}  // namespace

// ---- The cell block buffer ----

void TCustomCellGrid::CopyCellsToBuffer(const TGridRect& Rect) {
  TGridCoord tl = Rect.TopLeft();
  TGridCoord br = Rect.BottomRight();
  ClampCoord(tl, 1, 1, rowCount_ - 1, colCount_ - 1);
  ClampCoord(br, 1, 1, rowCount_ - 1, colCount_ - 1);
  const Integer w = std::max(0, br.X - tl.X + 1);
  const Integer h = std::max(0, br.Y - tl.Y + 1);
  std::vector<uint8_t> b;
  PutInt(b, tl.X);
  PutInt(b, tl.Y);
  PutInt(b, w);
  PutInt(b, h);
  for (Integer c = tl.X; c < tl.X + w; ++c)
    for (Integer r = tl.Y; r < tl.Y + h; ++r) PutCell(b, *GetCellInfo(c, r));
  cellBlockBuffer_ = std::move(b);
}

void TCustomCellGrid::PasteBuffer(TGridCoord Displacement, const TGridRect& Filter) {
  const std::vector<uint8_t>& b = cellBlockBuffer_;
  BufferReader header(b, 0, b.size());
  const Integer srcCol = header.Int();
  const Integer srcRow = header.Int();
  const Integer w = header.Int();
  const Integer h = header.Int();
  if (!header.Ok() || w < 0 || h < 0) return;
  size_t pos = header.Pos();
  for (Integer c = 0; c < w; ++c)
    for (Integer r = 0; r < h; ++r) {
      BufferReader sizeReader(b, pos, b.size());
      const Integer size = sizeReader.Int();
      if (!sizeReader.Ok() || size < 4 || pos + static_cast<size_t>(size) > b.size()) return;
      const TGridCoord dest{srcCol + c + Displacement.X, srcRow + r + Displacement.Y};
      if (CellInRect(dest.X, dest.Y, Filter)) {
        BufferReader cellReader(b, sizeReader.Pos(), pos + static_cast<size_t>(size));
        TCellInfo cell;
        if (!ReadCell(cellReader, cell)) return;
        TCellInfo* target = GetCellInfo(dest.X, dest.Y);
        CopyCellAttributes(cell, *target);
        target->Range = Shifted(cell.Range, Displacement);
      }
      pos += static_cast<size_t>(size);
    }
}

void TCustomCellGrid::PasteCellsFromBuffer(const TGridRect& Target) {
  if (cellBlockBuffer_.size() < 16) return;
  TGridCoord tl = Target.TopLeft();
  TGridCoord br = Target.BottomRight();
  ClampCoord(tl, 1, 1, rowCount_ - 1, colCount_ - 1);
  ClampCoord(br, 1, 1, rowCount_ - 1, colCount_ - 1);
  BufferReader header(cellBlockBuffer_, 0, cellBlockBuffer_.size());
  const Integer srcCol = header.Int();
  const Integer srcRow = header.Int();
  const TGridRect filter{tl.X, tl.Y, br.X, br.Y};
  PasteBuffer(TGridCoord{tl.X - srcCol, tl.Y - srcRow}, filter);
  // The pasted cells may lie inside the selection both before and after a move; show them anew.
  InvalidateCells(filter);
}

void TCustomCellGrid::ResetCells(const TGridRect& Rect) {
  TGridCoord tl = Rect.TopLeft();
  TGridCoord br = Rect.BottomRight();
  ClampCoord(tl, 1, 1, rowCount_ - 1, colCount_ - 1);
  ClampCoord(br, 1, 1, rowCount_ - 1, colCount_ - 1);
  for (Integer c = tl.X; c <= br.X; ++c)
    for (Integer r = tl.Y; r <= br.Y; ++r) InitCellInfo(this, GetCellInfo(c, r), c, r);
  InvalidateCells(TGridRect{tl.X, tl.Y, br.X, br.Y});
}

// ---- Fill ----

bool TCustomCellGrid::CanDropFill(const TGridRect& Source, Integer Amount, Integer Direction) {
  if ((Direction != 1 && Direction != 2) || Amount == 0) return false;
  TGridRect strip = Source;
  if (Direction == 1) {
    strip.Left = Amount <= 0 ? Source.Left + Amount : Source.Right + 1;
    strip.Right = Amount <= 0 ? Source.Left - 1 : Source.Right + Amount;
  } else {
    strip.Top = Amount <= 0 ? Source.Top + Amount : Source.Bottom + 1;
    strip.Bottom = Amount <= 0 ? Source.Top - 1 : Source.Bottom + Amount;
  }
  if (RangeCutsMerged(strip)) {
    ShowGridError(SGridFillCutsMerged);
    return false;
  }
  if (RangeHasReadOnly(strip)) {
    ShowGridError(SGridTargetReadOnly);
    return false;
  }
  return true;
}

void TCustomCellGrid::FillCells(const TGridRect& Source, Integer Amount, Integer Direction) {
  if (Direction != 1 && Direction != 2) return;
  const bool across = Direction == 1;
  const Integer size = across ? Source.Right - Source.Left + 1 : Source.Bottom - Source.Top + 1;
  if (size <= 0) return;
  if (RangeHasMerged(Source) && Amount % size != 0) return;
  if (!CanDropFill(Source, Amount, Direction)) return;
  CopyCellsToBuffer(Source);
  TGridRect result = Source;
  if (across)
    (Amount > 0 ? result.Right : result.Left) += Amount;
  else
    (Amount > 0 ? result.Bottom : result.Top) += Amount;

  // The source repeats with its own period: whole copies, then the part of a copy that still fits.
  const Integer copies = std::abs(Amount) / size;
  const Integer rest = std::abs(Amount) % size;
  const Integer first = across ? Source.Left : Source.Top;
  const Integer last = across ? Source.Right : Source.Bottom;
  const auto pasteAt = [&](Integer start, Integer fromCell, Integer count) {
    // Cells fromCell..fromCell+count-1 of the source go to start..start+count-1.
    const Integer d = start - fromCell;
    TGridRect filter = Source;
    if (across) {
      filter.Left = start;
      filter.Right = start + count - 1;
    } else {
      filter.Top = start;
      filter.Bottom = start + count - 1;
    }
    PasteBuffer(across ? TGridCoord{d, 0} : TGridCoord{0, d}, filter);
    InvalidateCells(filter);
  };
  if (Amount > 0) {
    for (Integer k = 0; k < copies; ++k) pasteAt(last + 1 + k * size, first, size);
    if (rest > 0) pasteAt(last + 1 + copies * size, first, rest);
  } else {
    const Integer start = first + Amount + rest;
    for (Integer k = 0; k < copies; ++k) pasteAt(start + k * size, first, size);
    if (rest > 0) pasteAt(first + Amount, last - rest + 1, rest);
  }
  FreeCellBuffer();
  SetSelection(result);
  onFillCells_(this, Source, result);
}

// ---- Drags ----

Integer TCustomCellGrid::DragKindAt(Integer X, Integer Y) const {
  if (X < 0 || Y < 0 || (!gridCanCopyMove_ && !gridCanFill_) || !RangeFitsMerged(selection_)) return 0;
  const TRect r = CellRangeRect(selection_, true);
  Integer state = 0;
  if (r.left - 3 < X && X < r.right + 3 && r.top - 3 < Y && Y < r.bottom + 3 &&
      (std::abs(X - r.left) < 3 || std::abs(X - r.right) < 4 || std::abs(Y - r.top) < 3 || std::abs(Y - r.bottom) < 4))
    state = 4;
  if (state == 4) {
    if (GridKeyPressed(VK_CONTROL))
      state = 5;
    else if (std::abs(X - r.right) <= 4 && std::abs(Y - r.bottom) <= 5)
      state = 6;
  }
  if ((state == 4 || state == 5) && !gridCanCopyMove_) state = 0;
  if (state == 6 && !gridCanFill_) state = 0;
  return state;
}

bool TCustomCellGrid::CanDropMove() {
  const TGridRect target = Shifted(dragSource_, dragOffset_);
  bool asked = false;
  for (Integer c = target.Left; c <= target.Right && !asked; ++c)
    for (Integer r = target.Top; r <= target.Bottom; ++r) {
      if (CellInRect(c, r, dragSource_)) continue;
      const TCellInfo* cell = GetCellInfo(c, r);
      if (cell->ForeText.empty() && cell->BackText.empty()) continue;
      if (!ConfirmGrid(SGridReplaceTarget, 2)) return false;
      asked = true;
      break;
    }
  if (RangeCutsMerged(target)) {
    ShowGridError(SGridMoveCutsMerged);
    return false;
  }
  if (RangeHasReadOnly(target)) {
    ShowGridError(SGridTargetReadOnly);
    return false;
  }
  return true;
}

void TCustomCellGrid::DrawMoveOutline() {
  TCanvas* canvas = GridCanvas();
  if (canvas == nullptr) return;
  TRect r = CellRangeRect(Shifted(dragSource_, dragOffset_), true);
  r.right -= 1;
  r.bottom -= 1;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  SaveClipAndClip(canvas, TRect{cols.FixedBoundary, rows.FixedBoundary, GridClientWidth(), GridClientHeight()});
  canvas->DrawFocusRect(r);
  RestoreClip(canvas);
}

void TCustomCellGrid::DrawFillOutline() {
  TCanvas* canvas = GridCanvas();
  if (canvas == nullptr) return;
  TGridRect area = fillSource_;
  (fillAmount_.X < 0 ? area.Left : area.Right) += fillAmount_.X;
  (fillAmount_.Y < 0 ? area.Top : area.Bottom) += fillAmount_.Y;
  TRect r = CellRangeRect(area, true);
  r.right -= 1;
  r.bottom -= 1;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  SaveClipAndClip(canvas, TRect{cols.FixedBoundary, rows.FixedBoundary, GridClientWidth(), GridClientHeight()});
  canvas->DrawFocusRect(r);
  RestoreClip(canvas);
}

// The cell under the pointer for a drag: a cell before the scrolled-out part becomes the hidden cell
// just before the first scrolling one (so the view follows), then it is kept in the data cells.
TGridCoord TCustomCellGrid::DragCell(Integer X, Integer Y) {
  TGridCoord cell = CellFromPoint(X, Y);
  const auto previousVisible = [this](Integer index, bool columns) {
    const Integer min = (columns ? fixedCols_ : fixedRows_) + 1;
    for (Integer i = index; i >= min; --i)
      if ((columns ? GetColWidths(i) : GetRowHeights(i)) >= 0) return i;
    return index + 1;
  };
  if (cell.X < firstScrollCol_ && firstScrollCol_ > fixedCols_ + 1) cell.X = previousVisible(firstScrollCol_ - 1, true);
  if (cell.Y < firstScrollRow_ && firstScrollRow_ > fixedRows_ + 1) cell.Y = previousVisible(firstScrollRow_ - 1, false);
  ClampCoord(cell, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  return cell;
}

// Scrolls so the cell the pointer drags to is in view.
void TCustomCellGrid::ScrollToShow(const TGridRect& Rect) {
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  Integer left = firstScrollCol_;
  Integer top = firstScrollRow_;
  const TGridCoord maxTL = CalcMaxTopLeft(Rect.BottomRight());
  if (Rect.Right > cols.LastFullVisibleCell)
    left = std::max(maxTL.X, firstScrollCol_);
  else if (Rect.Left < firstScrollCol_)
    left = std::max(Rect.Left, fixedCols_ + 1);
  if (Rect.Bottom > rows.LastFullVisibleCell)
    top = std::max(maxTL.Y, firstScrollRow_);
  else if (Rect.Top < firstScrollRow_)
    top = std::max(Rect.Top, fixedRows_ + 1);
  MoveTopLeft(left, top);
}

void TCustomCellGrid::StartCellDrag(Integer State, const TGridCoord& Cell) {
  mouseState_ = State;
  if (State == 6) {
    fillSource_ = selection_;
    fillDirection_ = 0;
    fillAmount_ = TGridCoord{0, 0};
    DrawFillOutline();
  } else {
    dragSource_ = selection_;
    dragOrigin_ = Cell;
    dragOffset_ = TGridCoord{0, 0};
    DrawMoveOutline();
  }
}

void TCustomCellGrid::TrackCellDrag(Integer State, Integer X, Integer Y) {
  const TGridCoord cell = DragCell(X, Y);
  if (State == 4 || State == 5) {
    const TGridCoord d{cell.X - dragOrigin_.X, cell.Y - dragOrigin_.Y};
    const TGridRect shifted = Shifted(dragSource_, d);
    if (!(fixedCols_ < shifted.Left && shifted.Right < colCount_ && fixedRows_ < shifted.Top &&
          shifted.Bottom < rowCount_))
      return;
    if (d == dragOffset_) return;
    DrawMoveOutline();
    ScrollToShow(TGridRect{cell.X, cell.Y, cell.X, cell.Y});
    dragOffset_ = d;
    DrawMoveOutline();
    return;
  }
  if (State != 6) return;
  const TGridRect& src = fillSource_;
  Integer direction;
  if (CellInRect(cell.X, cell.Y, src))
    direction = 0;
  else if (src.Top <= cell.Y && cell.Y <= src.Bottom)
    direction = 1;
  else if (src.Left <= cell.X && cell.X <= src.Right)
    direction = 2;
  else
    direction = 1;
  TGridCoord amount{0, 0};
  if (direction == 1)
    amount.X = cell.X < src.Left ? cell.X - src.Left : cell.X > src.Right ? cell.X - src.Right : 0;
  else if (direction == 2)
    amount.Y = cell.Y < src.Top ? cell.Y - src.Top : cell.Y > src.Bottom ? cell.Y - src.Bottom : 0;
  if (RangeHasMerged(src)) {
    // Whole copies of a source with merged blocks, rounded away from zero.
    const auto round = [](Integer a, Integer size) {
      if (a == 0 || size <= 0) return a;
      const Integer n = (std::abs(a) + size - 1) / size * size;
      return a < 0 ? -n : n;
    };
    amount.X = round(amount.X, src.Right - src.Left + 1);
    amount.Y = round(amount.Y, src.Bottom - src.Top + 1);
  }
  TGridRect area = src;
  (amount.X < 0 ? area.Left : area.Right) += amount.X;
  (amount.Y < 0 ? area.Top : area.Bottom) += amount.Y;
  if (!(fixedCols_ < area.Left && area.Right < colCount_ && fixedRows_ < area.Top && area.Bottom < rowCount_)) return;
  if (amount == fillAmount_ && direction == fillDirection_) return;
  DrawFillOutline();
  ScrollToShow(TGridRect{cell.X, cell.Y, cell.X, cell.Y});
  fillDirection_ = direction;
  fillAmount_ = amount;
  DrawFillOutline();
}

bool TCustomCellGrid::FinishCellDrag(Integer State) {
  if (State == 6) {
    DrawFillOutline();
    FillCells(fillSource_, fillDirection_ == 1 ? fillAmount_.X : fillAmount_.Y, fillDirection_);
    return true;
  }
  DrawMoveOutline();
  // Releasing where the drag started changes nothing and asks nothing.
  if (dragOffset_ == TGridCoord{0, 0}) return true;
  if (!CanDropMove()) return false;
  const TGridCoord d = dragOffset_;
  const TGridRect source = dragSource_;
  const TGridRect target = Shifted(source, d);
  CopyCellsToBuffer(source);
  if (State == 4) ResetCells(source);
  PasteCellsFromBuffer(target);
  FreeCellBuffer();
  const TGridRect selection = Shifted(selection_, d);
  FocusCell(current_.X + d.X, current_.Y + d.Y, true);
  SetSelection(selection);
  onCopyMoveCells_(this, source, target);
  return true;
}
