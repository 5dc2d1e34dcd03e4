// Placing tabs along their rows and the rows across the control: stretching a full row, forward and
// reversed placement, arranging the rows around the active tab and the rows' positions and areas.
//
// Pure geometry in client coordinates; "along" is X for horizontal rows and Y for vertical ones.
#pragma once

#include <vector>

#include "controls/extra/uiPCTabs.h"

namespace k58::extra {

// Shares the free space of a row (First..Last) among its tabs in proportion to their widths; the last
// tab takes what integer division leaves. Nothing when the row is already full or over-full.
void StretchTabRow(std::vector<Integer>& Widths, Integer First, Integer Last, Integer Length, Integer Distance);

struct TabRowPlacement {
  Integer lastPlaced = -1;
  bool lastShownWhole = false;
};

// Places First..Last from Start over Length: forward rows from the start, reversed rows from the end.
// With StopAtEnd the loop ends after a tab whose successor would start beyond the end.
TabRowPlacement PlaceTabRow(const std::vector<Integer>& Widths, std::vector<Integer>& Positions, Integer First,
                            Integer Last, Integer Start, Integer Length, Integer Distance, bool Reversed,
                            bool StopAtEnd);

struct TabRowArrangement {
  std::vector<Integer> displayRows;
  Integer splitRow = 0;
};

// The display row of every tab and the split row: mirrored rows count from the other edge; when the
// painter moves the active tab's row next to the client, either the rows rotate so that the active row
// comes last, or (ScrollOpposite) the rows after it go to the opposite edge. Bottom and right tabs count
// from the far edge.
TabRowArrangement ArrangeTabRows(const std::vector<Integer>& Rows, Integer RowCount, bool Mirrored,
                                 Integer ActiveVisibleIndex, bool MainRowMovedToClient, bool ScrollOpposite,
                                 TuiTabPosition Position);

struct TabRowsAcross {
  std::vector<Integer> positions;  // across position of each tab
  Integer nearFirst = 0, nearLast = 0;  // near row area, across
  Integer farFirst = 0, farLast = 0;    // far row area, across
};

struct TabRowsAcrossInput {
  Integer nearEdge = 0, farEdge = 0;  // the tabs rectangle across the rows
  Integer thickness = 0;               // of one row
  Integer rowDistance = 0;             // between rows, from the painter's tab distance
  Integer regionRowDistance = 0;       // gap kept between rows on both edges
  Integer nearOffset = 0, farOffset = 0;
};

TabRowsAcross PlaceTabRowsAcross(const std::vector<Integer>& DisplayRows, Integer RowCount, Integer SplitRow,
                                 const TabRowsAcrossInput& Input, TuiTabPosition Position);

}  // namespace k58::extra
