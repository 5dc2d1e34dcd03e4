// Placing tabs along their rows and the rows across the control.
#include "controls/extra/uiPCRowPlacing.h"

#include <algorithm>

namespace k58::extra {

void StretchTabRow(std::vector<Integer>& Widths, Integer First, Integer Last, Integer Length, Integer Distance) {
  Int64 sum = 0;
  for (Integer i = First; i <= Last; ++i) sum += Widths[static_cast<size_t>(i)];
  const Int64 free = Length - sum - static_cast<Int64>(Distance) * (Last - First);
  if (free <= 0 || sum <= 0) return;
  Int64 given = 0;
  for (Integer i = First; i < Last; ++i) {
    const Int64 extra = Widths[static_cast<size_t>(i)] * free / sum;
    Widths[static_cast<size_t>(i)] += static_cast<Integer>(extra);
    given += extra;
  }
  Widths[static_cast<size_t>(Last)] += static_cast<Integer>(free - given);
}

TabRowPlacement PlaceTabRow(const std::vector<Integer>& Widths, std::vector<Integer>& Positions, Integer First,
                            Integer Last, Integer Start, Integer Length, Integer Distance, bool Reversed,
                            bool StopAtEnd) {
  TabRowPlacement result;
  const Integer end = Start + Length - 1;
  Integer current = Reversed ? end : Start;
  Integer farEdge = current;
  for (Integer i = First; i <= Last; ++i) {
    const Integer width = Widths[static_cast<size_t>(i)];
    Integer next;
    if (Reversed) {
      farEdge = current;
      Positions[static_cast<size_t>(i)] = current - width + 1;
      next = Positions[static_cast<size_t>(i)] - Distance - 1;
    } else {
      Positions[static_cast<size_t>(i)] = current;
      farEdge = current + width - 1;
      next = farEdge + Distance + 1;
    }
    result.lastPlaced = i;
    current = next;
    if (StopAtEnd && (Reversed ? current < Start : current > end)) break;
  }
  if (result.lastPlaced != -1) {
    const Integer placed = Positions[static_cast<size_t>(result.lastPlaced)];
    const bool inside = Reversed ? placed >= Start : farEdge <= end;
    result.lastShownWhole = inside && result.lastPlaced == Last;
  }
  return result;
}

TabRowArrangement ArrangeTabRows(const std::vector<Integer>& Rows, Integer RowCount, bool Mirrored,
                                 Integer ActiveVisibleIndex, bool MainRowMovedToClient, bool ScrollOpposite,
                                 TuiTabPosition Position) {
  TabRowArrangement result;
  result.displayRows = Rows;
  if (Mirrored)
    for (Integer& row : result.displayRows) row = RowCount - row - 1;
  result.splitRow = RowCount;
  if (ActiveVisibleIndex >= 0 && ActiveVisibleIndex < static_cast<Integer>(Rows.size()) && MainRowMovedToClient) {
    const Integer activeRow = result.displayRows[static_cast<size_t>(ActiveVisibleIndex)];
    if (ScrollOpposite) {
      result.splitRow = activeRow + 1;
    } else {
      for (Integer& row : result.displayRows) row = (row + RowCount - activeRow - 1) % RowCount;
    }
  }
  if (Position == tpBottom || Position == tpRight) {
    for (Integer& row : result.displayRows) row = RowCount - row - 1;
    result.splitRow = RowCount - result.splitRow;
  }
  return result;
}

TabRowsAcross PlaceTabRowsAcross(const std::vector<Integer>& DisplayRows, Integer RowCount, Integer SplitRow,
                                 const TabRowsAcrossInput& Input, TuiTabPosition Position) {
  TabRowsAcross result;
  const Integer n = Input.nearEdge, f = Input.farEdge, t = Input.thickness, r = Input.rowDistance;
  for (Integer row : DisplayRows) {
    result.positions.push_back(row < SplitRow ? n + row * (t + r)
                                              : f - (RowCount - row) * t - (RowCount - row - 1) * r);
  }
  result.nearFirst = n;
  result.nearLast = std::min(f, n + SplitRow * (t + r) - r + Input.nearOffset);
  result.farFirst = std::max(n, f - (RowCount - SplitRow) * (t + r) + r + Input.farOffset);
  result.farLast = f;
  if (SplitRow > 0 && SplitRow < RowCount) {
    // Rows on both edges stay apart by the region's row distance.
    if (Position == tpTop || Position == tpLeft)
      result.farFirst = std::max(result.farFirst, std::min(f, result.nearLast + Input.regionRowDistance));
    else
      result.nearLast = std::min(result.nearLast, std::max(n, result.farFirst - Input.regionRowDistance));
  }
  return result;
}

}  // namespace k58::extra
