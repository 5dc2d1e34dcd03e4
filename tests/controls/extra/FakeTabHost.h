// A tab control stand-in for the tests of the tab collection and its helpers.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "controls/extra/uiPCTabs.h"

namespace extra_test {

// A control stand-in: one row of tabs 10 pixels wide across a wide rows area, recording what the
// collection asks of it.
class FakeTabHost : public TuiTabControlHost {
 public:
  bool loading = false, multiLine = false, keepsActive = false, multiSelect = false;
  Integer tabIndex = -1;
  std::vector<std::string> calls;

  bool TabsLoading() const override { return loading; }
  bool TabsDestroying() const override { return false; }
  bool TabsHandleAllocated() const override { return true; }
  bool TabsEnabled() const override { return true; }
  Integer TabIndex() const override { return tabIndex; }
  void SetTabIndex(Integer Value) override {
    tabIndex = Value;
    calls.push_back("TabIndex=" + std::to_string(Value));
  }
  bool MultiLine() const override { return multiLine; }
  bool Rotate() const override { return false; }
  TuiTabPosition TabPosition() const override { return tpTop; }
  bool KeepsActiveTabVisible() const override { return keepsActive; }
  bool RowsVertical() const override { return false; }
  Integer RowThickness() const override { return 0; }
  Integer SplitRow() const override { return 1; }
  Integer FirstVisibleTab() const override { return 0; }
  Integer LastVisibleTab() const override { return 1000; }
  TRect RowsArea(TuiTabSide) const override { return TRect{0, 0, 10000, 20}; }
  Integer MeasureTabWidth(TuiTab* Tab) override { return std::max<Integer>(10, static_cast<Integer>(Tab->Caption().size()) * 6); }
  bool RecalculateRowThickness() override { return false; }
  TRect TabCorrection(TuiTab*) override { return TRect{}; }
  bool AllowMultiSelection() const override { return multiSelect; }
  void EnterMultiSelection() override { calls.push_back("multi"); }
  Integer GetImageIndex(Integer TabIndex) override { return tabs->GetTab(TabIndex)->StoredImageIndex(); }
  void LayoutChanged() override {
    calls.push_back("layout");
    // A laid-out row: every visible tab 10 pixels wide, one after another.
    for (Integer i = 0; i < tabs->VisibleCount(); ++i) {
      TuiTab* tab = tabs->GetVisibleTab(i);
      tab->Left = i * 10;
      tab->NormalWidth = 10;
    }
  }
  void RepaintTab(Integer VisibleIndex, Integer Kind) override {
    calls.push_back("repaint " + std::to_string(VisibleIndex) + " kind " + std::to_string(Kind));
  }
  void UpdateNavigatorButtons() override { calls.push_back("navigator"); }
  void MakeTabVisibleInRow(Integer VisibleIndex) override { calls.push_back("scroll " + std::to_string(VisibleIndex)); }
  void UpdateHotTracking() override {}

  TuiTabs* tabs = nullptr;
};

}  // namespace extra_test
