// Geometry shared by the tab control and its painters.
#include "controls/extra/uiPCGeometry.h"

#include <algorithm>
#include <bit>

#include "platform/forms/Menus.h"

TuiPCNavigatorButtons GetNavigatorButtons(TuiPCOptions Options, bool OnlyClose) {
  TuiPCNavigatorButtons result;
  if (Options.Contains(pcoCloseButton)) result.Include(nbClose);
  if (OnlyClose) return result;
  if (!(Options.Contains(pcoNoArrows) && Options.Contains(pcoGoDialog))) result.Include(nbTopLeft).Include(nbBottomRight);
  if (Options.Contains(pcoGoDialog)) result.Include(nbGoDialog);
  return result;
}

Integer GetFirstButton(TuiPCNavigatorButtons Buttons) {
  return Buttons.Empty() ? -1 : std::countr_zero(Buttons.Bits());
}

Integer CountButtons(TuiPCNavigatorButtons Buttons) { return std::popcount(Buttons.Bits() & 0xF); }

TRect RotateMargins(const TRect& M, TuiTabPosition Position) {
  switch (Position) {
    case tpBottom: return TRect{M.right, M.bottom, M.left, M.top};
    case tpLeft: return TRect{M.top, M.right, M.bottom, M.left};
    case tpRight: return TRect{M.bottom, M.left, M.top, M.right};
    default: return M;
  }
}

TRect DeflateRectByRotatedMargins(const TRect& R, const TRect& M, TuiTabPosition Position) {
  const TRect m = RotateMargins(M, Position);
  return TRect{R.left + m.left, R.top + m.top, R.right - m.right, R.bottom - m.bottom};
}

TRect ExtendRectByMargins(const TRect& R, const TRect& M) {
  return TRect{R.left + M.left, R.top + M.top, R.right + M.right, R.bottom + M.bottom};
}

TRect NormalizeRect(const TRect& R) {
  return TRect{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right),
               std::max(R.top, R.bottom)};
}

void SetRectCoord(TRect& R, bool AIsLeftTop, bool AIsY, Integer V) {
  if (AIsLeftTop)
    (AIsY ? R.top : R.left) = V;
  else
    (AIsY ? R.bottom : R.right) = V;
}

std::vector<Integer> GoDialogTabIndexes(const TuiTabs& Tabs, bool Sorted) {
  std::vector<Integer> result;
  std::vector<String> keys;
  for (Integer i = 0; i < Tabs.Count(); ++i) {
    const TuiTab* tab = Tabs.GetTab(i);
    if (!tab->Visible() || !tab->Enabled()) continue;
    result.push_back(i);
    keys.push_back(StripHotkey(tab->Caption()));
  }
  if (Sorted) {
    std::vector<size_t> order(result.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return Tabs.CompareStrings(keys[a], keys[b]) < 0; });
    std::vector<Integer> sorted;
    for (size_t i : order) sorted.push_back(result[i]);
    result = std::move(sorted);
  }
  return result;
}
