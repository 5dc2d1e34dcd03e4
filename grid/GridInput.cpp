// Keyboard and mouse: navigation and selection, title clicks, the sizing of columns and rows by their
// lines, and the start of the cell drags.
#include <algorithm>

#include "grid/CellGrid.h"
#include "grid/GridInternal.h"
#include "platform/win/core/WinKeys.h"
#include "platform/win/core/WinMessages.h"

using k58::grid::FlagSaver;

// ---- Sizing ----

void TCustomCellGrid::GetSizingInfo(Integer X, Integer Y, Integer& Index, Integer& SizingPos, Integer& SizingOfs,
                                    Integer& State) {
  State = 0;
  Index = -1;
  if (X < 0 || Y < 0) return;
  const bool colSizing = options_.Contains(goColSizing) || InDesign();
  const bool rowSizing = options_.Contains(goRowSizing) || InDesign();
  if (!colSizing && !rowSizing) return;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  const TGridCoord cell = CellFromPoint(X, Y);
  if (CellInRect(cell.X, cell.Y, selection_)) return;
  const TGridRect block = GetCellRange(cell.X, cell.Y);

  const auto tolerance = [](Integer lw) { return lw <= 6 ? (7 - lw) / 2 : 0; };
  // One axis: Pos along it; the block's span on it.
  const auto sizeAxis = [&](const TGridAxisInfo& axis, Integer pos, Integer blockFirst, Integer blockLast,
                            bool columns) -> bool {
    const Integer lw = axis.LineWidth;
    const Integer h = tolerance(lw);
    if (blockFirst < blockLast) {
      // Inside a block merged along this axis only its outer lines can be taken.
      const Integer blockStart = CellStart(axis, blockFirst);
      const Integer blockEnd = CellStart(axis, blockLast) + axis.Extent(blockLast);
      if (pos >= blockStart + h && pos <= blockEnd - h) return false;
    }
    const auto canSize = [&](Integer i) { return columns ? CanSizeColumn(i) : CanSizeRow(i); };
    const auto take = [&](Integer i, Integer p) {
      // Hidden cells right after the line are sized first (they lie under it).
      if (pos > p) {
        Integer j = i + 1;
        while (j < axis.GridCellCount && axis.Extent(j) < 0) {
          i = j;
          ++j;
        }
      }
      if (!canSize(i)) return false;
      Index = i;
      SizingPos = p;
      SizingOfs = p - pos;
      State = columns ? 3 : 2;
      return true;
    };
    Integer start = axis.TitleBoundary;
    for (Integer i = 1; i < axis.GridCellCount; ++i) {
      if (i == axis.FixedCellCount + 1) {
        i = axis.FirstGridCell;
        start = axis.FixedBoundary - (columns ? horzOffset_ : 0);
        if (i >= axis.GridCellCount) break;
      }
      const Integer p = start + axis.Extent(i);
      if (p > axis.GridBoundary) break;
      if (p - h <= pos && pos <= p + std::max(lw, 7) - h) return take(i, p);
      start = p + lw;
    }
    // A grid that fills the client area exactly: its edge sizes the cell after the last full one.
    if (axis.GridBoundary == axis.GridExtent && axis.GridExtent - h <= pos && pos <= axis.GridExtent) {
      const Integer next = axis.LastFullVisibleCell + 1;
      if (next < axis.GridCellCount) return take(next, axis.GridExtent);
    }
    return false;
  };

  if (X >= cols.TitleBoundary && colSizing && (clientSizeable_ || Y < rows.FixedBoundary)) {
    if (sizeAxis(cols, X, block.Left, block.Right, true)) return;
  }
  if (Y >= rows.TitleBoundary && rowSizing && (clientSizeable_ || X < cols.FixedBoundary)) {
    if (sizeAxis(rows, Y, block.Top, block.Bottom, false)) return;
  }
  State = 0;
  Index = -1;
}

// Start of the sized cell: the title boundary plus the frozen cells before it, or the fixed boundary plus
// the scrolling cells from the first scrolling one before it.
Integer TCustomCellGrid::SizedCellStart() const {
  const TGridAxisInfo axis = mouseState_ == 3 ? CalcColAxis() : CalcRowAxis();
  return CellStart(axis, sizingIndex_);
}

bool TCustomCellGrid::SizingLineVisible() const {
  const TGridAxisInfo axis = mouseState_ == 3 ? CalcColAxis() : CalcRowAxis();
  return sizingPos_ >= CellStart(axis, sizingIndex_) - axis.LineWidth;
}

Integer TCustomCellGrid::SizedExtent() const {
  const Integer start = SizedCellStart();
  return sizingPos_ <= start ? -1 : sizingPos_ - start;
}

void TCustomCellGrid::DrawSizingLine() {
  TCanvas* canvas = GridCanvas();
  if (canvas == nullptr) return;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  // Inverting and dotted: a second draw erases it.
  TPen* pen = canvas->Pen();
  const TPenStyle style = pen->Style();
  const TPenMode mode = pen->Mode();
  const Integer width = pen->Width();
  const TColor color = pen->Color();
  pen->SetStyle(psDot);
  pen->SetMode(pmNotXor);
  pen->SetWidth(1);
  pen->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  if (mouseState_ == 3)
    DrawLine(canvas, sizingPos_, 0, sizingPos_, rows.GridBoundary);
  else
    DrawLine(canvas, 0, sizingPos_, cols.GridBoundary, sizingPos_);
  pen->SetStyle(style);
  pen->SetMode(mode);
  pen->SetWidth(width);
  pen->SetColor(color);
}

// ---- Navigation helpers ----

Integer TCustomCellGrid::PrevVisibleIndex(Integer Index, bool Columns) const {
  const Integer min = (Columns ? fixedCols_ : fixedRows_) + 1;
  for (Integer i = Index; i >= min; --i)
    if ((Columns ? GetColWidths(i) : GetRowHeights(i)) >= 0) return i;
  return Index + 1;
}

Integer TCustomCellGrid::NextVisibleIndex(Integer Index, bool Columns) const {
  const Integer count = Columns ? colCount_ : rowCount_;
  for (Integer i = Index; i < count; ++i)
    if ((Columns ? GetColWidths(i) : GetRowHeights(i)) >= 0) return i;
  return Index - 1;
}

TGridCoord TCustomCellGrid::KeyPageSizes() const {
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  return TGridCoord{std::max(1, cols.LastFullVisibleCell - cols.FirstGridCell),
                    std::max(1, rows.LastFullVisibleCell - rows.FirstGridCell)};
}

TGridCoord TCustomCellGrid::CellCentre(const TGridCoord& Cell) const {
  const TRect r = CellRangeRect(TGridRect{Cell.X, Cell.Y, Cell.X, Cell.Y}, false);
  return TGridCoord{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool TCustomCellGrid::AcceptsGridKey(Word, TGridShift) { return true; }
void TCustomCellGrid::NotifyDesigner() {}

// ---- Keyboard ----

void TCustomCellGrid::GridKeyDown(Word& Key, TGridShift Shift) {
  if (Key >= VK_SHIFT && Key <= VK_CAPITAL) return;
  if (!AcceptsGridKey(Key, Shift)) Key = 0;
  TGridCoord topLeft{firstScrollCol_, firstScrollRow_};
  TGridCoord cur = Shift.Shift ? anchor_ : current_;
  const bool rowSelect = options_.Contains(goRowSelect);

  if (Shift.Ctrl) {
    switch (Key) {
      case VK_PRIOR: cur.Y = NextVisibleIndex(firstScrollRow_, false); break;
      case VK_NEXT: cur.Y = PrevVisibleIndex(CalcRowAxis().LastFullVisibleCell, false); break;
      case VK_END:
        cur = TGridCoord{PrevVisibleIndex(colCount_ - 1, true), PrevVisibleIndex(rowCount_ - 1, false)};
        break;
      case VK_HOME:
        cur = TGridCoord{NextVisibleIndex(fixedCols_ + 1, true), NextVisibleIndex(fixedRows_ + 1, false)};
        break;
      case VK_LEFT: topLeft.X = PrevVisibleIndex(topLeft.X - 1, true); break;
      case VK_UP: topLeft.Y = PrevVisibleIndex(topLeft.Y - 1, false); break;
      case VK_RIGHT: topLeft.X = NextVisibleIndex(topLeft.X + 1, true); break;
      case VK_DOWN: topLeft.Y = NextVisibleIndex(topLeft.Y + 1, false); break;
      default: break;
    }
  } else {
    const TGridRect block = GetCellRange(cur.X, cur.Y);
    const TGridCoord page = KeyPageSizes();
    bool extends = false;
    switch (Key) {
      case VK_TAB:
        // Every column is a tab stop, so one step; Tab does not wrap to another row.
        if (!Shift.Alt) {
          if (Shift.Shift)
            cur.X = std::max(fixedCols_ + 1, PrevVisibleIndex(cur.X - 1, true));
          else
            cur.X = std::min(colCount_ - 1, NextVisibleIndex(cur.X + 1, true));
        }
        break;
      case VK_ESCAPE: LeaveEditMode(); break;
      case VK_PRIOR:
        cur.Y = PrevVisibleIndex(cur.Y - page.Y, false);
        topLeft.Y = PrevVisibleIndex(topLeft.Y - page.Y, false);
        extends = true;
        break;
      case VK_NEXT:
        cur.Y = NextVisibleIndex(cur.Y + page.Y, false);
        topLeft.Y = NextVisibleIndex(topLeft.Y + page.Y, false);
        extends = true;
        break;
      case VK_END:
        if (rowSelect)
          cur.Y = PrevVisibleIndex(rowCount_ - 1, false);
        else
          cur.X = PrevVisibleIndex(colCount_ - 1, true);
        extends = true;
        break;
      case VK_HOME:
        if (rowSelect)
          cur.Y = NextVisibleIndex(fixedRows_ + 1, false);
        else
          cur.X = NextVisibleIndex(fixedCols_ + 1, true);
        extends = true;
        break;
      case VK_LEFT:
        cur.X = PrevVisibleIndex((rowSelect ? firstScrollCol_ : cur.X) - 1, true);
        extends = true;
        break;
      case VK_UP:
        cur.Y = PrevVisibleIndex(cur.Y - 1, false);
        extends = true;
        break;
      case VK_RIGHT:
        // Past the whole block, so merged cells are one step.
        cur.X = NextVisibleIndex((rowSelect ? CalcColAxis().LastFullVisibleCell : block.Right) + 1, true);
        extends = true;
        break;
      case VK_DOWN:
        cur.Y = NextVisibleIndex(block.Bottom + 1, false);
        extends = true;
        break;
      case VK_DELETE:
        if (options_.Contains(goEditing)) {
          TGridCoord tl = selection_.TopLeft();
          TGridCoord br = selection_.BottomRight();
          ClampCoord(tl, 1, 1, rowCount_ - 1, colCount_ - 1);
          ClampCoord(br, 1, 1, rowCount_ - 1, colCount_ - 1);
          {
            FlagSaver quiet(autoUpdate_, false);
            for (Integer c = tl.X; c <= br.X; ++c)
              for (Integer r = tl.Y; r <= br.Y; ++r) {
                if (c >= colCount_ || r >= rowCount_) continue;  // a handler may have shrunk the grid
                const TGridRect b = GetCellRange(c, r);
                if (GetCellInfo(b.Left, b.Top)->ReadOnly) continue;
                SetForeText(c, r, String());
                SetBackText(c, r, String());
              }
          }
          InvalidateCells(ExpandToMergedRanges(selection_.TopLeft(), selection_.BottomRight()));
        }
        break;
      case VK_F2: ActivateEditor(true); break;
      default: break;
    }
    if (extends && Shift.Shift) {
      // The focus stays; the selection grows from it to the new cell as if the mouse dragged there.
      ClampCoord(cur, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
      const Integer saved = mouseState_;
      mouseState_ = 1;
      try {
        const TGridCoord centre = CellCentre(cur);
        SelectionStep(centre.X, centre.Y);
      } catch (...) {
        mouseState_ = saved;
        throw;
      }
      mouseState_ = saved;
      return;
    }
  }

  const TGridCoord maxTL = MaxTopLeft();
  topLeft.X = std::clamp(topLeft.X, fixedCols_ + 1, std::max(fixedCols_ + 1, maxTL.X));
  topLeft.Y = std::clamp(topLeft.Y, fixedRows_ + 1, std::max(fixedRows_ + 1, maxTL.Y));
  ClampCoord(cur, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  if (topLeft.X != firstScrollCol_ || topLeft.Y != firstScrollRow_) MoveTopLeft(topLeft.X, topLeft.Y);
  const TGridRect target = GetCellRange(cur.X, cur.Y);
  if (target.Left != current_.X || target.Top != current_.Y) FocusCell(target.Left, target.Top, true);
}

void TCustomCellGrid::GridKeyPress(char& Key) {
  if (options_.Contains(goAlwaysShowEditor) || Key != '\r') return;
  if (editing_)
    LeaveEditMode();
  else
    EnterEditMode();
  Key = 0;
}

// ---- Mouse ----

void TCustomCellGrid::SelectionStep(Integer X, Integer Y) {
  const TGridCoord cell = DragCell(X, Y);
  const TGridRect focusBlock = GetCellRange(current_.X, current_.Y);
  if (GetCellRange(cell.X, cell.Y) == focusBlock) {
    // Back on the focused block: the selection shrinks back to it.
    anchor_ = TGridCoord{focusBlock.Right, focusBlock.Bottom};
    TGridRect sel = focusBlock;
    if (options_.Contains(goRowSelect)) {
      sel.Left = fixedCols_ + 1;
      sel.Right = colCount_ - 1;
    }
    SetSelection(sel);
    return;
  }
  if (!options_.Contains(goRangeSelect)) return;
  TGridRect sel = ExpandToMergedRanges(current_, cell);
  ScrollToShow(TGridRect{cell.X, cell.Y, cell.X, cell.Y});
  MoveAnchor(cell, false);
  if (options_.Contains(goRowSelect)) {
    sel.Left = fixedCols_ + 1;
    sel.Right = colCount_ - 1;
  }
  SetSelection(sel);
}

void TCustomCellGrid::ExtendSelectionStep(Integer X, Integer Y) {
  if (mouseState_ != 1) return;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();
  TGridCoord anchor = anchor_;
  if (X < cols.FixedBoundary) --anchor.X;
  if (X > cols.FullVisBoundary) ++anchor.X;
  if (Y < rows.FixedBoundary) --anchor.Y;
  if (Y > rows.FullVisBoundary) ++anchor.Y;
  if (anchor == anchor_) return;
  ClampCoord(anchor, fixedCols_ + 1, fixedRows_ + 1, rowCount_ - 1, colCount_ - 1);
  MoveAnchor(anchor, false);
  SetSelection(ExpandToMergedRanges(current_, anchor_));
}

bool TCustomCellGrid::GridMouseDown(bool LeftButton, TGridShift Shift, Integer X, Integer Y) {
  LeaveEditMode();
  if (!InDesign()) {
    GridTakeFocus();
    if (!GridHasFocus()) {
      GridReleaseCapture();
      return false;
    }
  }
  const TGridCoord cell = CellFromPoint(X, Y);
  if (!LeftButton) return true;

  if (Shift.Double) {
    DblClick();
    if (cell.X >= firstScrollCol_ && cell.Y >= firstScrollRow_) {
      const TGridRect a = GetCellRange(cell.X, cell.Y);
      const TGridRect f = GetCellRange(current_.X, current_.Y);
      if (a.Left == f.Left && a.Top == f.Top) EnterEditMode();
    }
    return true;
  }

  Integer index, pos, ofs, state;
  GetSizingInfo(X, Y, index, pos, ofs, state);
  if (state == 2 || state == 3) {
    mouseState_ = state;
    sizingIndex_ = index;
    sizingPos_ = pos;
    sizingOfs_ = ofs;
    DrawSizingLine();
    return false;
  }
  state = DragKindAt(X, Y);
  if (state >= 4) {
    StartCellDrag(state, cell);
    return false;
  }

  TGridRect sel;
  bool move = false;
  TGridCoord target;
  const bool range = options_.Contains(goRangeSelect);
  const TGridCoord firstData{fixedCols_ + 1, fixedRows_ + 1};
  if (cell.X > 0 && cell.Y > 0) {
    if (cell.X < firstScrollCol_ || cell.Y < firstScrollRow_) return false;  // a frozen cell
    mouseState_ = 1;
    if (Shift.Shift && range) {
      sel = ExpandToMergedRanges(current_, cell);
    } else {
      sel = GetCellRange(cell.X, cell.Y);
      move = true;
      target = sel.TopLeft();
    }
  } else if (cell.X == 0 && cell.Y == 0) {
    sel = range ? TGridRect{firstData.X, firstData.Y, colCount_ - 1, rowCount_ - 1}
                : GetCellRange(firstData.X, firstData.Y);
    move = true;
    target = GetCellRange(firstData.X, firstData.Y).TopLeft();
  } else if (cell.Y == 0) {
    if (cell.X <= fixedCols_) return false;  // the title of a frozen column selects nothing
    const TGridRect top = GetCellRange(cell.X, firstData.Y);
    if (Shift.Shift) {
      sel = range ? NormalizeCellRect({current_.X, firstData.Y}, {cell.X, rowCount_ - 1})
                  : ExpandToMergedRanges(top.TopLeft(), top.BottomRight());
    } else {
      sel = range ? TGridRect{cell.X, firstData.Y, cell.X, rowCount_ - 1} : top;
      move = true;
      target = range ? TGridCoord{cell.X, firstData.Y} : top.TopLeft();
    }
  } else {
    if (cell.Y <= fixedRows_) return false;  // the title of a frozen row selects nothing
    const TGridRect left = GetCellRange(firstData.X, cell.Y);
    if (Shift.Shift) {
      sel = range ? NormalizeCellRect({firstData.X, current_.Y}, {colCount_ - 1, cell.Y})
                  : ExpandToMergedRanges(left.TopLeft(), left.BottomRight());
    } else {
      sel = range ? TGridRect{firstData.X, cell.Y, colCount_ - 1, cell.Y} : left;
      move = true;
      target = range ? TGridCoord{firstData.X, cell.Y} : left.TopLeft();
    }
  }
  if ((cell.X == 0 || cell.Y == 0) && sel == selection_) return false;

  if (move) {
    // A whole column or row keeps its full rectangle after the focus moved there.
    const TGridRect wanted = sel;
    FocusCell(target.X, target.Y, true);
    sel = wanted;
  }
  if (options_.Contains(goRowSelect)) {
    sel.Left = fixedCols_ + 1;
    sel.Right = colCount_ - 1;
  }
  SetSelection(sel);
  return true;
}

void TCustomCellGrid::GridMouseMove(Integer X, Integer Y) {
  switch (mouseState_) {
    case 1: SelectionStep(X, Y); break;
    case 2:
    case 3: {
      const bool visible = SizingLineVisible();
      if (visible) DrawSizingLine();
      const Integer limit = mouseState_ == 3 ? GridClientWidth() : GridClientHeight();
      sizingPos_ = std::clamp((mouseState_ == 3 ? X : Y) + sizingOfs_, 0, std::max(0, limit));
      if (SizingLineVisible()) DrawSizingLine();
      break;
    }
    case 4:
    case 5:
    case 6: TrackCellDrag(mouseState_, X, Y); break;
    default: break;
  }
}

bool TCustomCellGrid::GridMouseUp(Integer X, Integer Y) {
  const Integer state = mouseState_;
  bool fire = true;
  try {
    switch (state) {
      case 1:
        SelectionStep(X, Y);
        GridKillTimer();
        PlaceEditor();
        Click();
        break;
      case 2:
      case 3: {
        if (SizingLineVisible()) DrawSizingLine();
        const Integer extent = SizedExtent();
        if (state == 3)
          SetColWidths(sizingIndex_, extent);
        else
          SetRowHeights(sizingIndex_, extent);
        NotifyDesigner();
        break;
      }
      case 4:
      case 5:
      case 6: fire = FinishCellDrag(state); break;
      default: PlaceEditor(); break;
    }
  } catch (...) {
    mouseState_ = 0;
    throw;
  }
  mouseState_ = 0;
  return fire;
}

bool TCustomCellGrid::GridMouseWheel(bool Down, bool Handled) {
  if (Down) {
    LeaveEditMode();
    if (!Handled) ScrollByCode(1, SB_LINEDOWN, 0);
    return true;
  }
  if (!Handled) ScrollByCode(1, SB_LINEUP, 0);
  return true;
}

void TCustomCellGrid::CancelMouseState() {
  try {
    switch (mouseState_) {
      case 1: GridKillTimer(); break;
      case 2:
      case 3:
        if (SizingLineVisible()) DrawSizingLine();
        break;
      // The drag outlines are drawn inverting; take them off the screen too.
      case 4:
      case 5: DrawMoveOutline(); break;
      case 6: DrawFillOutline(); break;
      default: break;
    }
  } catch (...) {
    mouseState_ = 0;
    throw;
  }
  mouseState_ = 0;
}

void TCustomCellGrid::ActivateEditor(bool Active) {
  if (!Active) {
    LeaveEditMode();
    return;
  }
  EnterEditMode();
  EditorCaretToEnd();
}

void TCustomCellGrid::EnterEditModeWithChar(Word Ch) {
  EnterEditMode();
  EditorPostChar(Ch);
}

