// Painting: grid lines, cell backgrounds, titles, aligned and word-wrapped cell texts, border lines, 3D
// title edges and the selection outline, region by region.
#include <algorithm>
#include <array>
#include <vector>

#include "grid/CellGrid.h"

// One axis of a paint region: its pixel span and the cells that start in it.
struct TCustomCellGrid::PaintSpan {
  Integer Start = 0;
  Integer End = 0;
  Integer FirstCell = 0;
  Integer LastCell = -1;
  // Frozen or scrolling cells (their lines break at merged blocks).
  bool Data = false;
  bool Empty() const { return End <= Start || LastCell < FirstCell; }
};

namespace {

TRect Shrunk(TRect r, Integer d) { return TRect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

bool Meets(const TRect& a, const TRect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// The pen of grid lines: solid and copying; wider than one pixel it is geometric, with flat ends and
// mitred joins.
void SelectLinePen(TCanvas* Canvas, Integer Width, TColor Color) {
  TPen* pen = Canvas->Pen();
  pen->SetMode(pmCopy);
  if (Width > 1) {
    LOGBRUSH brush{BS_SOLID, ColorToRGB(Color), 0};
    pen->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, static_cast<DWORD>(Width),
                                &brush, 0, nullptr));
  } else {
    pen->SetStyle(psSolid);
    pen->SetWidth(Width);
    pen->SetColor(Color);
  }
}

// Horizontal placement of the text output and the row of the alignment (0 top, 1 middle, 2 bottom).
UINT HorzFlag(TAlignMode mode) {
  switch (mode) {
    case TAlignMode::taTop:
    case TAlignMode::taCenter:
    case TAlignMode::taBottom: return DT_CENTER;
    case TAlignMode::taTopRight:
    case TAlignMode::taRight:
    case TAlignMode::taBottomRight: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

Integer VertRow(TAlignMode mode) {
  switch (mode) {
    case TAlignMode::taLeft:
    case TAlignMode::taCenter:
    case TAlignMode::taRight: return 1;
    case TAlignMode::taBottomLeft:
    case TAlignMode::taBottom:
    case TAlignMode::taBottomRight: return 2;
    default: return 0;
  }
}

}  // namespace

void ColumnTitleText(Integer N, String& Text) {
  Text.clear();
  if (N < 0 || N >= 256) return;
  if (N <= 25) {
    Text.push_back(static_cast<char>('A' + N));
  } else {
    Text.push_back(static_cast<char>('@' + N / 26));
    Text.push_back(static_cast<char>('A' + N % 26));
  }
}

void DrawLine(TCanvas* Canvas, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// ---- Clip ----

void TCustomCellGrid::SaveClipAndClip(TCanvas* Canvas, const TRect& Rect) {
  HDC dc = Canvas->Handle();
  savedClip_ = CreateRectRgn(0, 0, 0, 0);
  hadClip_ = GetClipRgn(dc, savedClip_) == 1;
  IntersectClipRect(dc, Rect.left, Rect.top, Rect.right, Rect.bottom);
}

void TCustomCellGrid::RestoreClip(TCanvas* Canvas) {
  SelectClipRgn(Canvas->Handle(), hadClip_ ? savedClip_ : nullptr);
  if (savedClip_ != nullptr) DeleteObject(savedClip_);
  savedClip_ = nullptr;
  hadClip_ = false;
}

// ---- Paint ----

void TCustomCellGrid::PaintGrid() {
  TCanvas* canvas = GridCanvas();
  if (canvas == nullptr) return;
  const TGridAxisInfo cols = CalcColAxis();
  const TGridAxisInfo rows = CalcRowAxis();

  // The spans of the title, frozen and scrolling cells on each axis.
  const auto spans = [this](const TGridAxisInfo& axis) {
    std::array<PaintSpan, 3> s;
    s[0] = PaintSpan{0, axis.TitleBoundary, 0, 0, false};
    s[1] = PaintSpan{axis.TitleBoundary, axis.FixedBoundary, 1, axis.FixedCellCount, true};
    // Blocks merged across the first scrolling cell are drawn from their first cell, above or left
    // of the span and clipped.
    Integer first = axis.FirstGridCell;
    if (axis.FirstGridCell < axis.GridCellCount) {
      const Integer others = axis.IsColumns ? rowCount_ : colCount_;
      for (Integer i = 0; i < others; ++i) {
        const TGridRect block = axis.IsColumns ? GetCellRange(axis.FirstGridCell, i) : GetCellRange(i, axis.FirstGridCell);
        first = std::min(first, axis.IsColumns ? block.Left : block.Top);
      }
      first = std::max(first, axis.FixedCellCount + 1);
    }
    s[2] = PaintSpan{axis.FixedBoundary, axis.GridBoundary, first, axis.GridCellCount - 1, true};
    return s;
  };
  const auto colSpans = spans(cols);
  const auto rowSpans = spans(rows);
  // The nine regions in painting order: title x title, frozen x title, title x frozen, scrolling x
  // title, title x scrolling, frozen x frozen, scrolling x frozen, frozen x scrolling, scrolling x
  // scrolling.
  static constexpr int kOrder[9][2] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {0, 2}, {1, 1}, {2, 1}, {1, 2}, {2, 2}};

  const TColor background = GridColor();
  if (cols.LineWidth > 0 || rows.LineWidth > 0) {
    for (int i = 0; i < 9; ++i) {
      const PaintSpan& c = colSpans[kOrder[i][0]];
      const PaintSpan& r = rowSpans[kOrder[i][1]];
      if (i < 5) {
        DrawRegionLines(c, r, cols, rows, true, true, clBlack, background);
      } else if (i < 8) {
        DrawRegionLines(c, r, cols, rows, options_.Contains(goFixedVertLine), options_.Contains(goFixedHorzLine),
                        fixedLineColor_, background);
      } else {
        DrawRegionLines(c, r, cols, rows, options_.Contains(goVertLine), options_.Contains(goHorzLine),
                        clientLineColor_, background);
      }
    }
  }

  for (int i = 0; i < 9; ++i) {
    const TCellGridDrawState base = i < 5 ? TCellGridDrawState{gdTitled}
                                  : i < 8 ? TCellGridDrawState{gdFixed}
                                          : TCellGridDrawState{};
    DrawCellRegion(colSpans[kOrder[i][0]], rowSpans[kOrder[i][1]], cols, rows, base);
  }

  if (defaultDrawing_ && !InDesign() &&
      !(options_.Contains(goEditing) && options_.Contains(goAlwaysShowEditor)) && !options_.Contains(goRowSelect))
    DrawSelectionFrame(cols, rows);

  // Outside the cells.
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(background);
  const Integer width = GridClientWidth();
  const Integer height = GridClientHeight();
  if (cols.GridBoundary < width) canvas->FillRect(TRect{cols.GridBoundary, 0, width, rows.GridBoundary});
  if (rows.GridBoundary < height) canvas->FillRect(TRect{0, rows.GridBoundary, width, height});
}

void TCustomCellGrid::DrawRegionLines(const PaintSpan& Cols, const PaintSpan& Rows, const TGridAxisInfo& ColAxis,
                                      const TGridAxisInfo& RowAxis, bool VertOn, bool HorzOn, TColor LineColor,
                                      TColor OffColor) {
  if (Cols.End <= Cols.Start || Rows.End <= Rows.Start) return;
  // Lines switched off are painted over in the background colour; the lines that are on go on top.
  const TColor vert = VertOn ? LineColor : OffColor;
  const TColor horz = HorzOn ? LineColor : OffColor;
  if (HorzOn) {
    DrawAxisLines(Cols, Rows, ColAxis, RowAxis, true, vert);
    DrawAxisLines(Rows, Cols, RowAxis, ColAxis, false, horz);
  } else {
    DrawAxisLines(Rows, Cols, RowAxis, ColAxis, false, horz);
    DrawAxisLines(Cols, Rows, ColAxis, RowAxis, true, vert);
  }
}

// The lines after the cells of Along, across the span Across; vertical lines for columns.
void TCustomCellGrid::DrawAxisLines(const PaintSpan& Along, const PaintSpan& Across, const TGridAxisInfo& AlongAxis,
                                    const TGridAxisInfo& AcrossAxis, bool Vertical, TColor Color) {
  const Integer lw = AlongAxis.LineWidth;
  if (lw <= 0 || Along.Empty()) return;
  TCanvas* canvas = GridCanvas();
  std::vector<POINT> points;
  points.reserve(static_cast<size_t>(2 * (Along.LastCell - Along.FirstCell + 1) + 8));
  const auto add = [&](Integer pos, Integer from, Integer to) {
    if (to <= from) return;
    if (Vertical) {
      points.push_back(POINT{pos, from});
      points.push_back(POINT{pos, to});
    } else {
      points.push_back(POINT{from, pos});
      points.push_back(POINT{to, pos});
    }
  };
  // The first cells of the scrolling span may start before the span (merged blocks, pixel offset).
  const Integer firstCell = Along.Data && Along.FirstCell > AlongAxis.FixedCellCount ? AlongAxis.FirstGridCell
                                                                                       : Along.FirstCell;
  Integer start = CellStart(AlongAxis, firstCell);
  for (Integer cell = firstCell; cell <= Along.LastCell; ++cell) {
    const Integer pos = start + AlongAxis.Extent(cell) + lw / 2;
    start += AlongAxis.Extent(cell) + lw;
    if (pos >= Along.End) break;
    if (pos < Along.Start) continue;
    if (!Along.Data || !Across.Data || Across.Empty()) {
      add(pos, Across.Start, Across.End);
      continue;
    }
    // Broken where a merged block continues past the line.
    Integer from = Across.Start;
    Integer skipUntil = -1;
    Integer across = CellStart(AcrossAxis, Across.FirstCell);
    for (Integer other = Across.FirstCell; other <= Across.LastCell && across < Across.End; ++other) {
      if (other > skipUntil) {
        const TGridRect block = Vertical ? GetCellRange(cell, other) : GetCellRange(other, cell);
        const bool crosses =
            Vertical ? (block.Left <= cell && block.Right > cell) : (block.Top <= cell && block.Bottom > cell);
        if (crosses) {
          const Integer first = Vertical ? block.Top : block.Left;
          const Integer last = Vertical ? block.Bottom : block.Right;
          add(pos, from, std::min(CellStart(AcrossAxis, first), Across.End));
          from = std::max(from, CellStart(AcrossAxis, last) + AcrossAxis.Extent(last));
          skipUntil = last;
        }
      }
      across += AcrossAxis.Extent(other) + AcrossAxis.LineWidth;
    }
    add(pos, from, Across.End);
  }
  if (points.empty()) return;
  SelectLinePen(canvas, lw, Color);
  std::vector<DWORD> counts(points.size() / 2, 2);
  PolyPolyline(canvas->Handle(), points.data(), counts.data(), static_cast<DWORD>(counts.size()));
}

void TCustomCellGrid::DrawCellRegion(const PaintSpan& Cols, const PaintSpan& Rows, const TGridAxisInfo& ColAxis,
                                     const TGridAxisInfo& RowAxis, TCellGridDrawState BaseState) {
  if (Cols.Empty() || Rows.Empty()) return;
  TCanvas* canvas = GridCanvas();
  const TRect clip{Cols.Start, Rows.Start, Cols.End, Rows.End};
  SaveClipAndClip(canvas, clip);
  try {
    const bool hasFocus = GridHasFocus();
    Integer top = CellStart(RowAxis, Rows.FirstCell);
    for (Integer row = Rows.FirstCell; row <= Rows.LastCell && top < Rows.End; ++row) {
      Integer left = CellStart(ColAxis, Cols.FirstCell);
      for (Integer col = Cols.FirstCell; col <= Cols.LastCell && left < Cols.End; ++col) {
        const Integer colExtent = ColAxis.Extent(col);
        const TCellInfo* cell = GetCellInfo(col, row);
        const TGridRect block = cell->Range;
        if (block.Left == col && block.Top == row) {
          // The block spans its cells and the lines between them.
          Integer right = left - ColAxis.LineWidth;
          for (Integer c = block.Left; c <= block.Right; ++c) right += ColAxis.Extent(c) + ColAxis.LineWidth;
          Integer bottom = top - RowAxis.LineWidth;
          for (Integer r = block.Top; r <= block.Bottom; ++r) bottom += RowAxis.Extent(r) + RowAxis.LineWidth;
          const TRect rect{left, top, right, bottom};
          TCellGridDrawState state = BaseState;
          const bool focused = col == current_.X && row == current_.Y;
          if (hasFocus && focused) state.Include(gdFocused);
          if (RectsShareCell(block, selection_)) state.Include(gdSelected);
          const bool editorCovers =
              state.Contains(gdFocused) && options_.Contains(goEditing) && editing_ && !InDesign();
          if (Meets(rect, clip) && !editorCovers) {
            if (defaultDrawing_ || InDesign()) {
              TColor color;
              if (state.Contains(gdSelected) &&
                  (options_.Contains(goDrawFocusSelected) || options_.Contains(goRowSelect))) {
                color = highLightColor_;
                canvas->Font()->SetColor(highLightTextColor_);
              } else if (col == 0 || row == 0) {
                color = titleColor_;
              } else if (!state.Contains(gdSelected) || focused) {
                color = cell->Color;
              } else {
                color = highLightColor_;
              }
              canvas->Brush()->SetStyle(bsSolid);
              canvas->Brush()->SetColor(color);
              canvas->FillRect(rect);
            }
            DrawCellContent(col, row, state, rect, clip);
            if (defaultDrawing_ && state.Contains(gdTitled) && GridCtl3D()) {
              TRect edge = rect;
              DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
              edge = rect;
              DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_TOPLEFT);
            }
          }
        }
        left += colExtent + ColAxis.LineWidth;
      }
      top += RowAxis.Extent(row) + RowAxis.LineWidth;
    }
  } catch (...) {
    RestoreClip(canvas);
    throw;
  }
  RestoreClip(canvas);
}

void TCustomCellGrid::DrawCellContent(Integer ACol, Integer ARow, TCellGridDrawState State, TRect CellRect,
                                      const TRect& RegionClip) {
  TCanvas* canvas = GridCanvas();
  const TCellInfo* cell = GetCellInfo(ACol, ARow);
  TRect rect = CellRect;

  if (cell->TopLine || cell->LeftLine || cell->BottomLine || cell->RightLine) {
    TPen* pen = canvas->Pen();
    pen->SetMode(pmCopy);
    pen->SetColor(clBlack);
    pen->SetWidth(cell->LineWidth);
    pen->SetStyle(cell->PenStyle);
    const Integer h = cell->LineWidth / 2;
    const TRect lines{CellRect.left + h - 1, CellRect.top + h - 1, CellRect.right - h, CellRect.bottom - h};
    if (cell->TopLine) DrawLine(canvas, lines.left, lines.top, lines.right, lines.top);
    if (cell->LeftLine) DrawLine(canvas, lines.left, lines.top, lines.left, lines.bottom);
    if (cell->BottomLine) DrawLine(canvas, lines.left, lines.bottom, lines.right, lines.bottom);
    if (cell->RightLine) DrawLine(canvas, lines.right, lines.top, lines.right, lines.bottom);
  }

  const bool colTitle = ARow == 0 && ACol > 0;
  const bool rowTitle = ACol == 0 && ARow > 0;
  if (colTitle || rowTitle) {
    TFont* font = canvas->Font();
    font->SetName("MS Sans Serif");
    font->SetSize(9);
    font->SetColor(clBlack);
    font->SetStyle(TFontStyles());
    const bool highlighted = colTitle ? (selection_.Left <= ACol && ACol <= selection_.Right)
                                      : (selection_.Top <= ARow && ARow <= selection_.Bottom);
    if (highlighted && !InDesign()) {
      font->SetStyle(TFontStyles{fsBold});
      font->SetColor(focusedTitleColor_);
    }
    String text;
    if (colTitle)
      ColumnTitleText(ACol - 1, text);
    else
      text = IntToStr(ARow);
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CellRect;
    DrawText(canvas->Handle(), text.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  } else {
    rect = Shrunk(CellRect, 4);
    const String& text = cell->ShowForeText ? cell->ForeText : cell->BackText;
    if (!text.empty()) {
      TFont* font = canvas->Font();
      font->SetName(cell->FontName);
      font->SetSize(cell->FontSize);
      font->SetStyle(cell->FontStyle);
      const bool focused = ACol == current_.X && ARow == current_.Y;
      font->SetColor(State.Contains(gdSelected) && (options_.Contains(goRowSelect) || !focused) ? highLightTextColor_
                                                                                               : cell->FontColor);
      canvas->Brush()->SetStyle(bsClear);
      HDC dc = canvas->Handle();
      HRGN kept = CreateRectRgn(0, 0, 0, 0);
      const bool hadClip = GetClipRgn(dc, kept) == 1;
      IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
      const UINT horz = HorzFlag(cell->AlignMode);
      const UINT wrap = cell->AutoWordBreak ? DT_WORDBREAK : 0;
      // Measured on a rectangle of the text rectangle's size.
      TRect measure{0, 0, rect.right - rect.left, rect.bottom - rect.top};
      DrawText(dc, text.c_str(), -1, &measure, DT_CALCRECT | horz | wrap);
      const Integer textHeight = measure.bottom - measure.top;
      switch (VertRow(cell->AlignMode)) {
        case 1: rect.top += (rect.bottom - rect.top - textHeight) / 2; break;
        case 2: rect.top = rect.bottom - textHeight; break;
        default: break;
      }
      DrawText(dc, text.c_str(), -1, &rect, horz | wrap);
      // Back to the region's clip.
      SelectClipRgn(dc, hadClip ? kept : nullptr);
      DeleteObject(kept);
      IntersectClipRect(dc, RegionClip.left, RegionClip.top, RegionClip.right, RegionClip.bottom);
    }
  }
  onDrawCell_(this, ACol, ARow, rect, State);
}

void TCustomCellGrid::DrawSelectionFrame(const TGridAxisInfo& ColAxis, const TGridAxisInfo& RowAxis) {
  TCanvas* canvas = GridCanvas();
  SaveClipAndClip(canvas, TRect{ColAxis.FixedBoundary, RowAxis.FixedBoundary, ColAxis.GridBoundary, RowAxis.GridBoundary});
  try {
    const bool fits = RangeFitsMerged(selection_);
    if ((GridHasFocus() || alwaysDrawFocus_) && (gridCanCopyMove_ || gridCanFill_)) {
      TPen* pen = canvas->Pen();
      pen->SetMode(pmCopy);
      pen->SetStyle(psSolid);
      if (fits) {
        const TRect r = CellRangeRect(selection_, true);
        pen->SetColor(clBlack);
        pen->SetWidth(3);
        DrawLine(canvas, r.left, r.top, r.right - 3, r.top);
        DrawLine(canvas, r.left, r.top, r.left, r.bottom - 3);
        if (r.left < r.right - 6) DrawLine(canvas, r.left, r.bottom - 2, r.right - 7, r.bottom - 2);
        if (r.top < r.bottom - 6) DrawLine(canvas, r.right - 2, r.top, r.right - 2, r.bottom - 6);
        // The fill handle.
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clBlack);
        canvas->Rectangle(r.right - 3, r.bottom - 3, r.right, r.bottom);
        pen->SetColor(clWhite);
        pen->SetWidth(1);
        DrawLine(canvas, r.left + 2, r.top + 2, r.right - 4, r.top + 2);
        DrawLine(canvas, r.left + 2, r.top + 2, r.left + 2, r.bottom - 4);
        DrawLine(canvas, r.left + 2, r.bottom - 4, r.right + 1, r.bottom - 4);
        DrawLine(canvas, r.right - 4, r.top + 2, r.right - 4, r.bottom + 1);
      } else {
        TRect r = CellRangeRect(GetCellRange(current_.X, current_.Y), true);
        r.right -= 2;
        r.bottom -= 2;
        pen->SetColor(clBlack);
        pen->SetWidth(1);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(r);
      }
    } else if (fits) {
      TRect r = CellRangeRect(selection_, true);
      r.right -= 1;
      r.bottom -= 1;
      canvas->DrawFocusRect(r);
    }
  } catch (...) {
    RestoreClip(canvas);
    throw;
  }
  RestoreClip(canvas);
}

// ---- Properties painted ----

void TCustomCellGrid::SetFixedLineColor(TColor Value) {
  if (Value == fixedLineColor_) return;
  fixedLineColor_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetClientLineColor(TColor Value) {
  if (Value == clientLineColor_) return;
  clientLineColor_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetHighLightColor(TColor Value) {
  if (Value == highLightColor_) return;
  highLightColor_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetHighLightTextColor(TColor Value) {
  if (Value == highLightTextColor_) return;
  highLightTextColor_ = Value;
  InvalidateIfAutoUpdate();
}

void TCustomCellGrid::SetFocusedTitleColor(TColor Value) {
  if (Value == focusedTitleColor_) return;
  focusedTitleColor_ = Value;
  InvalidateIfAutoUpdate();
}
