// Breaking the visible tabs of a multi-line tab control into rows, and balancing the rows of a group.
//
// Pure geometry on the tabs' widths along the row: no control, painter or window is involved.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"

namespace k58::extra {

// One (first, last) pair of visible indexes per row.
struct TabRowBounds {
  Integer first;
  Integer last;
  bool operator==(const TabRowBounds&) const = default;
};

struct TabRowBreakInput {
  std::vector<Integer> widths;  // extent of each visible tab along its row; a wide tab may be stretched
  Integer length = 0;           // length of a row
  Integer distance = 0;         // gap between neighbouring tabs of a row
  bool rotate = false;
  bool raggedRight = false;
  Integer minTabNormalWidth = 0;  // the painter's smallest tab width
};

// Gives every visible tab its row (counted from 0) and returns the row count. Tabs are packed greedily;
// a tab at least as long as the row stands alone (stretched to the row without Rotate); each group of
// tabs between such tabs that spans two rows or more is balanced so that its largest free space is the
// smallest possible, ties keeping the greedier split. Balancing is skipped with both Rotate and
// RaggedRight.
Integer BreakTabsIntoRows(TabRowBreakInput& Input, std::vector<Integer>& Rows);

// The balancing search over the rows of one group, in place. Memoised by default; the plain recursive
// search gives the same rows and is kept to check it.
void BalanceTabRows(const std::vector<Integer>& Widths, Integer Length, Integer Distance,
                    std::vector<TabRowBounds>& Bounds, bool Memoised = true);

}  // namespace k58::extra
