// The tab control's layout: measuring, the single scrolling row with its navigator, several rows broken,
// balanced and stretched, the rows arranged around the active tab, scrolling and hit tests.
#include <algorithm>

#include "controls/extra/uiPC.h"
#include "controls/extra/uiPCRowPlacing.h"
#include "platform/win/gdi/WinRect.h"

namespace k58::extra {
[[noreturn]] void RaiseTabControlError(const char* Method, const String& Message);
}

// ---- Predicates ----

bool TuiCustomTabControl::IsVerticalText() const {
  return RowsVertical() != rotate_;
}

Integer TuiCustomTabControl::GetTextMode() const {
  if (!IsVerticalText()) return 0;
  return options_.Contains(pcoTopToBottomText) ? 2 : 1;
}

Integer TuiCustomTabControl::GetPainterTextMode() const {
  return painter_ != nullptr && painter_->IsNativePainting() ? 0 : GetTextMode();
}

bool TuiCustomTabControl::IsReversedRow() const {
  const bool topToBottom = options_.Contains(pcoTopToBottomText);
  return RowsVertical() ? !rotate_ && !topToBottom : rotate_ && topToBottom;
}

bool TuiCustomTabControl::IsMirroredRows() const {
  const bool topToBottom = options_.Contains(pcoTopToBottomText);
  if (RowsVertical()) return (!rotate_ && topToBottom) != (tabPosition_ == tpRight);
  return (rotate_ && !topToBottom) != (tabPosition_ == tpBottom);
}

// ---- Host answers ----

TRect TuiCustomTabControl::RowsArea(TuiTabSide Side) const {
  return Side == tsTop || Side == tsLeft ? nearRowsArea_ : farRowsArea_;
}

TRect TuiCustomTabControl::GetRowsAreaRect(Integer AVisibleIndex) const {
  return tabs_->GetVisibleTab(AVisibleIndex)->DisplayRow < splitRow_ ? nearRowsArea_ : farRowsArea_;
}

bool TuiCustomTabControl::RecalculateRowThickness() {
  const Integer old = rowThickness_;
  CalculateRowThickness();
  return rowThickness_ != old;
}

void TuiCustomTabControl::GetVisibleTabRange(Integer& First, Integer& Last) const {
  if (multiLine_) {
    First = 0;
    Last = tabs_->VisibleCount() - 1;
  } else {
    First = firstVisibleTab_;
    Last = First == -1 ? -2 : lastVisibleTab_;
  }
}

// ---- Steps ----

void TuiCustomTabControl::CalculateTabNormalSizes() {
  if (tabs_->Count() == 0) k58::extra::RaiseTabControlError("CalculateTabNormalSizes", uipcconsts::scxPCTabsCountZero);
  tabs_->TabNormalHeight = painter_->CalculateTabNormalHeight();
  for (Integer i = 0; i < tabs_->Count(); ++i) {
    TuiTab* tab = tabs_->GetTab(i);
    tab->NormalWidth = painter_->CalculateTabNormalWidth(tab);
  }
}

void TuiCustomTabControl::InitTabsRegion(TuiPCNavigatorButtons AButtons) {
  navigatorButtons_ = AButtons;
  tabsRegion_ = TuiPCTabsRegionParameters();
  painter_->InitTabsRegionParameters(AButtons, tabsRegion_);
}

void TuiCustomTabControl::PlaceTabs(Integer First, Integer Last, bool StopAtEnd) {
  const Integer count = tabs_->VisibleCount();
  std::vector<Integer> widths(static_cast<size_t>(count)), positions(static_cast<size_t>(count));
  for (Integer i = First; i <= Last; ++i) widths[static_cast<size_t>(i)] = tabs_->GetVisibleTab(i)->GetWidthInRow();
  const TPoint distance = painter_->GetTabsNormalDistance();
  const bool vertical = RowsVertical();
  const Integer start = vertical ? tabsRegion_.TabsRectCopy.top : tabsRegion_.TabsRectCopy.left;
  const k58::extra::TabRowPlacement placement =
      k58::extra::PlaceTabRow(widths, positions, First, Last, start, tabsRegion_.TabsLength,
                              rotate_ ? distance.y : distance.x, IsReversedRow(), StopAtEnd);
  for (Integer i = First; i <= placement.lastPlaced; ++i) {
    TuiTab* tab = tabs_->GetVisibleTab(i);
    (vertical ? tab->Top : tab->Left) = positions[static_cast<size_t>(i)];
  }
  lastVisibleTab_ = placement.lastPlaced;
  isLastTabFullyVisible_ = placement.lastShownWhole;
}

void TuiCustomTabControl::PlaceSingleRow() {
  const Integer count = tabs_->VisibleCount();
  const Integer savedFirst = firstVisibleTab_;
  firstVisibleTab_ = 0;
  InitTabsRegion(GetNavigatorButtons(options_, true));
  if (tabsRegion_.TabsLength < 1) return;
  PlaceTabs(0, count - 1, false);
  if (!isLastTabFullyVisible_) {
    firstVisibleTab_ = savedFirst;
    InitTabsRegion(GetNavigatorButtons(options_, false));
    if (tabsRegion_.TabsLength < 1) return;
    PlaceTabs(firstVisibleTab_, count - 1, true);
    if (isLastTabFullyVisible_) {
      // Everything from the first shown tab fits: bring earlier tabs back while they fit too.
      while (firstVisibleTab_ > 0) {
        --firstVisibleTab_;
        PlaceTabs(firstVisibleTab_, count - 1, true);
        if (!isLastTabFullyVisible_) {
          ++firstVisibleTab_;
          PlaceTabs(firstVisibleTab_, count - 1, true);
          break;
        }
      }
    }
  }
  hotButtons_ = TuiPCNavigatorButtons::FromBits(hotButtons_.Bits() & navigatorButtons_.Bits());
  pressedButtons_ = TuiPCNavigatorButtons::FromBits(pressedButtons_.Bits() & navigatorButtons_.Bits());
  UpdateButtonsState();
}

void TuiCustomTabControl::PlaceSeveralRows() {
  const Integer count = tabs_->VisibleCount();
  const TPoint distance = painter_->GetTabsNormalDistance();
  const Integer along = rotate_ ? distance.y : distance.x;
  std::vector<Integer> widths(static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) widths[static_cast<size_t>(i)] = tabs_->GetVisibleTab(i)->NormalWidth;
  Integer first = 0;
  while (first < count) {
    Integer last = first;
    const Integer row = tabs_->GetVisibleTab(first)->Row;
    while (last + 1 < count && tabs_->GetVisibleTab(last + 1)->Row == row) ++last;
    if (!rotate_ && !raggedRight_) {
      k58::extra::StretchTabRow(widths, first, last, tabsRegion_.TabsLength, along);
      for (Integer i = first; i <= last; ++i) tabs_->GetVisibleTab(i)->NormalWidth = widths[static_cast<size_t>(i)];
    }
    PlaceTabs(first, last, false);
    first = last + 1;
  }
  firstVisibleTab_ = 0;
  lastVisibleTab_ = count - 1;
}

void TuiCustomTabControl::CalculateRowThickness() {
  if (!rotate_) {
    rowThickness_ = tabs_->TabNormalHeight;
    return;
  }
  Integer first, last;
  GetVisibleTabRange(first, last);
  Integer thickness = 0;
  for (Integer i = first; i <= last; ++i) thickness = std::max(thickness, tabs_->GetVisibleTab(i)->NormalWidth);
  if (maxRotatedTabWidth_ >= 1 && maxRotatedTabWidth_ >= painter_->GetMinTabNormalWidth())
    thickness = std::min(thickness, maxRotatedTabWidth_);
  rowThickness_ = thickness;
}

void TuiCustomTabControl::ArrangeRows() {
  if (rowCount_ < 1 || tabs_->VisibleCount() == 0) return;
  const Integer count = tabs_->VisibleCount();
  std::vector<Integer> rows(static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) rows[static_cast<size_t>(i)] = tabs_->GetVisibleTab(i)->Row;
  const k58::extra::TabRowArrangement arrangement =
      k58::extra::ArrangeTabRows(rows, rowCount_, IsMirroredRows(), tabs_->ActiveTab(),
                                 painter_->IsMainTabRowMovedToClient(), scrollOpposite_, tabPosition_);
  for (Integer i = 0; i < count; ++i) tabs_->GetVisibleTab(i)->DisplayRow = arrangement.displayRows[static_cast<size_t>(i)];
  splitRow_ = arrangement.splitRow;
  PlaceRowsAcross();
}

void TuiCustomTabControl::PlaceRowsAcross() {
  Integer first, last;
  GetVisibleTabRange(first, last);
  if (first < 0) return;
  const TPoint distance = painter_->GetTabsNormalDistance();
  const bool vertical = RowsVertical();
  // Rows are placed inside the row-start rectangle; their areas reach out to the tabs rectangle, so
  // that a tab drawn beyond its place (the active one) stays visible.
  const TRect& rect = tabsRegion_.TabsRect;
  const TRect& start = tabsRegion_.TabsRectCopy;
  k58::extra::TabRowsAcrossInput input;
  input.nearEdge = vertical ? start.left : start.top;
  input.farEdge = vertical ? start.right : start.bottom;
  input.thickness = rowThickness_;
  input.rowDistance = rotate_ ? distance.x : distance.y;
  input.regionRowDistance = tabsRegion_.RowDistance;
  input.nearOffset = tabsRegion_.NearExtraOffset;
  input.farOffset = tabsRegion_.FarExtraOffset;
  std::vector<Integer> displayRows;
  for (Integer i = first; i <= last; ++i) displayRows.push_back(tabs_->GetVisibleTab(i)->DisplayRow);
  const k58::extra::TabRowsAcross across =
      k58::extra::PlaceTabRowsAcross(displayRows, rowCount_, splitRow_, input, tabPosition_);
  for (Integer i = first; i <= last; ++i) {
    TuiTab* tab = tabs_->GetVisibleTab(i);
    (vertical ? tab->Left : tab->Top) = across.positions[static_cast<size_t>(i - first)];
  }
  if (vertical) {
    nearRowsArea_ = TRect{rect.left, rect.top, across.nearLast, rect.bottom};
    farRowsArea_ = TRect{across.farFirst, rect.top, rect.right, rect.bottom};
  } else {
    nearRowsArea_ = TRect{rect.left, rect.top, rect.right, across.nearLast};
    farRowsArea_ = TRect{rect.left, across.farFirst, rect.right, rect.bottom};
  }
}

void TuiCustomTabControl::CalculateTabsLayout() {
  nearRowsArea_ = farRowsArea_ = TRect{};
  const Integer count = tabs_->VisibleCount();
  if (firstVisibleTab_ == -1 && count > 0) firstVisibleTab_ = 0;
  firstVisibleTab_ = std::min(firstVisibleTab_, count - 1);
  lastVisibleTab_ = firstVisibleTab_;
  tabs_->ClampIndexes();
  rowCount_ = 0;
  if (tabIndex_ > tabs_->Count() - 1) tabIndex_ = tabs_->Count() - 1;
  splitRow_ = 0;
  if (count == 0) {
    navigatorButtons_ = TuiPCNavigatorButtons();
    UpdateButtonsState();
    InitTabsRegion(TuiPCNavigatorButtons());
    return;
  }
  CalculateTabNormalSizes();
  if (!multiLine_) {
    rowCount_ = 1;
    splitRow_ = tabPosition_ == tpTop || tabPosition_ == tpLeft ? 1 : 0;
    PlaceSingleRow();
    if (tabsRegion_.TabsLength < 1) return;
    for (Integer i = firstVisibleTab_; i <= lastVisibleTab_; ++i) {
      TuiTab* tab = tabs_->GetVisibleTab(i);
      tab->Row = tab->DisplayRow = 0;
    }
    CalculateRowThickness();
    PlaceRowsAcross();
    return;
  }
  InitTabsRegion(TuiPCNavigatorButtons());
  if (tabsRegion_.TabsLength < 1) return;
  k58::extra::TabRowBreakInput input;
  const TPoint distance = painter_->GetTabsNormalDistance();
  for (Integer i = 0; i < count; ++i) input.widths.push_back(tabs_->GetVisibleTab(i)->GetWidthInRow());
  input.length = tabsRegion_.TabsLength;
  input.distance = rotate_ ? distance.y : distance.x;
  input.rotate = rotate_;
  input.raggedRight = raggedRight_;
  input.minTabNormalWidth = painter_->GetMinTabNormalWidth();
  std::vector<Integer> rows;
  rowCount_ = k58::extra::BreakTabsIntoRows(input, rows);
  for (Integer i = 0; i < count; ++i) {
    TuiTab* tab = tabs_->GetVisibleTab(i);
    tab->Row = rows[static_cast<size_t>(i)];
    if (!rotate_) tab->NormalWidth = input.widths[static_cast<size_t>(i)];
  }
  if (rowCount_ < 2) {
    PlaceSingleRow();
    if (tabsRegion_.TabsLength < 1) return;
  } else {
    navigatorButtons_ = TuiPCNavigatorButtons();
    PlaceSeveralRows();
  }
  CalculateRowThickness();
  ArrangeRows();
}

// ---- Scrolling ----

void TuiCustomTabControl::ScrollTabs(TuiPCNavigatorButton AButton) {
  if (!navigatorButtons_.Contains(AButton) || buttonStates_[AButton] == nbsDisabled) return;
  const bool forward = IsReversedRow() ? AButton == nbTopLeft : AButton == nbBottomRight;
  firstVisibleTab_ += forward ? 1 : -1;
  firstVisibleTab_ = std::clamp(firstVisibleTab_, 0, std::max(tabs_->VisibleCount() - 1, 0));
  LayoutChanged();
}

void TuiCustomTabControl::MakeTabVisible(Integer AVisibleIndex) {
  if (AVisibleIndex < 0 || AVisibleIndex >= tabs_->VisibleCount()) return;
  if (AVisibleIndex < firstVisibleTab_) {
    firstVisibleTab_ = AVisibleIndex;
    return;
  }
  if (AVisibleIndex < lastVisibleTab_ || (AVisibleIndex == lastVisibleTab_ && isLastTabFullyVisible_)) return;
  InitTabsRegion(navigatorButtons_);
  if (tabsRegion_.TabsLength < 1) {
    firstVisibleTab_ = AVisibleIndex;
    return;
  }
  const TPoint distance = painter_->GetTabsNormalDistance();
  const Integer along = rotate_ ? distance.y : distance.x;
  Integer first = AVisibleIndex;
  Integer sum = tabs_->GetVisibleTab(first)->GetWidthInRow();
  while (first > 0) {
    sum += along + tabs_->GetVisibleTab(first - 1)->GetWidthInRow();
    if (sum >= tabsRegion_.TabsLength) break;
    --first;
  }
  firstVisibleTab_ = first;
}

// ---- Hit tests ----

Integer TuiCustomTabControl::GetTabAt(Integer X, Integer Y) {
  Integer first, last;
  GetVisibleTabRange(first, last);
  const TPoint p{X, Y};
  for (Integer i = first; i <= last; ++i) {
    TRect r;
    tabs_->GetVisibleTab(i)->GetVisibleRect(r);
    if (PtInRect(&r, p) && painter_->PtInTab(i, X, Y)) return i;
  }
  return -1;
}

std::vector<k58::extra::TabRowBounds> TuiCustomTabControl::GetLineIndexBounds() const {
  std::vector<k58::extra::TabRowBounds> bounds(static_cast<size_t>(std::max(rowCount_, 0)), {-1, -1});
  Integer first, last;
  GetVisibleTabRange(first, last);
  for (Integer i = first; i <= last; ++i) {
    const Integer row = tabs_->GetVisibleTab(i)->DisplayRow;
    if (row < 0 || row >= rowCount_) continue;
    auto& b = bounds[static_cast<size_t>(row)];
    if (b.first == -1 || i < b.first) b.first = i;
    b.last = std::max(b.last, i);
  }
  return bounds;
}
