// The combo box's popup window size; its lookup data: preferred list size and snapping of a resized list to whole items.
#include "controls/editors/uiComboBox.h"

#include <algorithm>
#include <climits>

#include "platform/classes/ClassBuilder.h"
#include "platform/win/builtin/CommCtrl.h"

namespace k58::editors {

void SnapListSizeToItems(TSize& ANewSize, Integer AMaxHeight, const TuiListSnapMetrics& AList) {
  const Integer w = ANewSize.cx, h = ANewSize.cy;
  if (w == AList.Width && h == AList.Height) return;
  const Integer limit = AMaxHeight == 0 ? INT_MAX : AMaxHeight;
  Integer sum = 0, total = 0;
  bool needV = false, needH = false;
  // The height of the rows so far with the horizontal bar they may need.
  auto measure = [&](bool ANeedV) {
    needV = ANeedV;
    needH = AList.ScrollWidth > w - (needV ? AList.VScrollWidth : 0);
    total = sum + (needH ? AList.HScrollHeight : 0);
  };
  for (Integer i = 0; i < AList.ItemCount; ++i) {
    sum += AList.ItemHeight(i);
    measure(i + 1 < AList.ItemCount);
    if (h == total && total <= limit) break;
    if (h > total && total <= limit) continue;
    // Item i does not fit: enlarging (or past the limit) stops before it; shrinking keeps it.
    if (total > limit || h >= AList.Height) {
      sum -= AList.ItemHeight(i);
      measure(true);
    }
    break;
  }
  ANewSize.cy = total;
  const Integer minWidth = (needV ? AList.VScrollWidth : 0) + (needH ? AList.VScrollWidth : 0);
  ANewSize.cx = std::max(w, minWidth);
}

}  // namespace k58::editors

K58_IMPLEMENT_CLASS(TuiComboBoxLookupData) {}

bool TuiComboBoxLookupData::CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer) {
  TuiCustomEditListBox* list = List();
  if (list == nullptr) return true;
  k58::editors::TuiListSnapMetrics metrics;
  metrics.ItemCount = GetItemCount();
  metrics.ItemHeight = [list](Integer AIndex) { return list->GetItemHeight(AIndex); };
  metrics.Width = list->Width();
  metrics.Height = list->Height();
  metrics.ScrollWidth =
      list->HandleAllocated() ? static_cast<Integer>(SendMessage(list->Handle(), LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
  metrics.VScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  metrics.HScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  k58::editors::SnapListSizeToItems(ANewSize, AMaxHeight, metrics);
  return true;
}

TSize TuiComboBoxLookupData::GetVisualAreaPreferredSize(Integer, Integer AWidth) {
  TuiCustomEditListBox* list = List();
  if (list == nullptr) return TSize{0, 0};
  const Integer count = GetItemCount();
  TuiCustomTextEditProperties* properties = GetEditProperties();
  const Integer rowCount = properties != nullptr ? properties->GetLookupRowCount() : 8;
  TSize size{0, list->GetHeightForRows(std::min(count, rowCount))};
  for (Integer i = 0; i < count; ++i) size.cx = std::max(size.cx, list->GetItemWidth(i));
  size.cx += 4;
  if (list->HandleAllocated()) {
    SendMessage(list->Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
    SendMessage(list->Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx), 0);
  }
  if (count > rowCount) size.cx += GetSystemMetrics(SM_CXVSCROLL);
  if (AWidth > 0 && size.cx > AWidth) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  return size;
}

// ---- Popup window ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiComboBoxPopupWindow) {}

void TuiComboBoxPopupWindow::FitToContent() {
  TuiCustomEditPopupWindowViewInfo* view = ViewInfo();
  view->SizeGripCorner = 3;
  UpdateViewInfo();
  const TRect owner = GetOwnerScreenBounds();
  const TRect b = view->GetBorderExtent();
  TSize minSize;
  GetMinSize(minSize);
  TSize content{0, 0};
  IuiEditPopupWindowOwner* editor = EditOwner();
  if (editor != nullptr) editor->CalculatePopupContentSize(content);
  const bool resized = Sizeable() && editor != nullptr && editor->IsPopupResized();
  const Integer ownerWidth = owner.right - owner.left;
  Integer width;
  if (resized || (!AutoSize() && PopupWidth() > 0))
    width = PopupWidth();
  else
    width = AutoSize() ? std::max(content.cx + b.left + b.right, ownerWidth) : ownerWidth;
  Integer height = content.cy + b.top + b.bottom;
  if ((resized || PopupHeight() != 0) && (Sizeable() || !AutoSize())) height = PopupHeight();
  if (Sizeable()) {
    if (MinWidth() > 0) width = std::max(width, MinWidth());
    if (MinHeight() > 0) height = std::max(height, MinHeight());
  }
  SetBounds(Left(), Top(), std::max(width, minSize.cx), std::max(height, minSize.cy));
}
