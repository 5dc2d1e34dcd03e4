// The combo box's popup window, sized from its list and the user's resizing, and its lookup data: the preferred size of its popup list (up to the drop-down row count of
// rows, as wide as the widest item) and the snapping of a list the user resizes to whole items.
//
// Threads: GUI thread only. The list is the lookup data's popup list (see uiLookupData.h); without one the
// preferred size is empty and every resize is accepted unchanged.
#pragma once

#include <functional>

#include "controls/editors/uiEditPopupWindow.h"
#include "controls/editors/uiLookupData.h"

namespace k58::editors {

// What the snapping of a resized list reads of the list.
struct TuiListSnapMetrics {
  Integer ItemCount = 0;
  std::function<Integer(Integer)> ItemHeight;
  // The list's size now and its horizontal scroll width.
  Integer Width = 0;
  Integer Height = 0;
  Integer ScrollWidth = 0;
  // The scroll bar sizes (vertical bar width, horizontal bar height).
  Integer VScrollWidth = 0;
  Integer HScrollHeight = 0;
};

// Snaps ANewSize to whole items: the height grows only when a whole further item fits, shrinks only when a
// whole item no longer fits, and never passes AMaxHeight (0: no limit); the width keeps room for the
// scroll bars the height needs. Nothing changes when ANewSize is the list's size.
void SnapListSizeToItems(TSize& ANewSize, Integer AMaxHeight, const TuiListSnapMetrics& AList);

}  // namespace k58::editors

class TuiComboBoxLookupData : public TuiCustomTextEditLookupData {
  K58_CLASS(TuiComboBoxLookupData, TuiCustomTextEditLookupData)

  TuiComboBoxLookupData() = default;

  // Always True; ANewSize is snapped to whole items.
  bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer AMaxWidth) override;
  // Rows: the item count up to the drop-down row count; width: the widest item plus 4, plus a vertical
  // scroll bar when not every item shows, and a horizontal one's height when wider than AWidth (> 0).
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) override;
};

class TuiComboBoxPopupWindow : public TuiCustomEditPopupWindow {
  K58_CLASS(TuiComboBoxPopupWindow, TuiCustomEditPopupWindow)

  explicit TuiComboBoxPopupWindow(TControl* AOwnerControl = nullptr) : TuiCustomEditPopupWindow(AOwnerControl) {}

  // Wraps the list (at least as wide as the editor) unless a size was asked for or the user gave one.
  void FitToContent() override;
};
