// Layout of 300 tabs of mixed widths in a multi-line tab control while the control is resized 100 times
// (rows 300 to 1290 pixels long). First the row steps alone (breaking into balanced rows, stretching and
// placing every row, arranging the rows around the active tab and placing them across), beside greedy
// breaking without balancing as the reference for what balancing costs; then the whole layout of a tab
// control with the Tabs painter on a window of the headless display (measuring every tab, the region,
// the rows). Prints the time per layout (target: under 1 ms).
#include <chrono>
#include <cstdio>
#include <vector>

#include "controls/extra/uiPC.h"
#include "controls/extra/uiPCRowBreaking.h"
#include "controls/extra/uiPCRowPlacing.h"
#include "controls/foundation/Foundation.h"

namespace {

using namespace k58::extra;

constexpr Integer kTabs = 300, kResizes = 100, kRounds = 5;

std::vector<Integer> TabWidths() {
  std::vector<Integer> widths;
  for (Integer i = 0; i < kTabs; ++i) widths.push_back(40 + (i * 37) % 90);
  return widths;
}

Integer LayOut(const std::vector<Integer>& widths, Integer length, bool balance) {
  TabRowBreakInput input{widths, length, 2, false, !balance, 10};
  // Without balancing: Rotate with RaggedRight skips it and keeps the greedy rows.
  input.rotate = !balance;
  std::vector<Integer> rows;
  const Integer rowCount = BreakTabsIntoRows(input, rows);
  std::vector<Integer> positions(widths.size());
  Integer first = 0;
  for (Integer i = 1; i <= kTabs; ++i) {
    if (i == kTabs || rows[static_cast<size_t>(i)] != rows[static_cast<size_t>(first)]) {
      if (balance) StretchTabRow(input.widths, first, i - 1, length, 2);
      PlaceTabRow(input.widths, positions, first, i - 1, 0, length, 2, false, false);
      first = i;
    }
  }
  const TabRowArrangement arranged = ArrangeTabRows(rows, rowCount, false, kTabs / 2, true, false, tpTop);
  const TabRowsAcross across = PlaceTabRowsAcross(arranged.displayRows, rowCount, arranged.splitRow,
                                                  TabRowsAcrossInput{0, 2000, 20, 0, 0, 0, 0}, tpTop);
  return rowCount + across.positions.back();
}

double MicrosecondsPerLayout(const std::vector<Integer>& widths, bool balance, long& sink) {
  const auto start = std::chrono::steady_clock::now();
  for (Integer round = 0; round < kRounds; ++round)
    for (Integer step = 0; step < kResizes; ++step) sink += LayOut(widths, 300 + step * 10, balance);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return std::chrono::duration<double, std::micro>(elapsed).count() / (kRounds * kResizes);
}

// The whole layout of a tab control, run by each resize.
double MicrosecondsPerControlLayout(const std::vector<Integer>& widths) {
  auto* form = NewObject<TForm>(nullptr, 0);
  form->SetBounds(0, 0, 1400, 900);
  auto* control = NewObject<TuiCustomTabControl>(form);
  control->SetStyle(1);
  control->SetParent(form);
  control->SetBounds(0, 0, 300, 800);
  control->HandleNeeded();
  control->SetMultiLine(true);
  for (Integer width : widths) control->Tabs()->Add(String(static_cast<size_t>(width / 8), 'W'));
  control->SetTabIndex(kTabs / 2);
  const auto start = std::chrono::steady_clock::now();
  for (Integer round = 0; round < kRounds; ++round)
    for (Integer step = 0; step < kResizes; ++step) control->SetBounds(0, 0, 300 + step * 10, 800);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  FreeObject(form);
  return std::chrono::duration<double, std::micro>(elapsed).count() / (kRounds * kResizes);
}

}  // namespace

int main() {
  const std::vector<Integer> widths = TabWidths();
  long sink = 0;
  MicrosecondsPerLayout(widths, true, sink);  // warm-up
  const double balanced = MicrosecondsPerLayout(widths, true, sink);
  const double greedy = MicrosecondsPerLayout(widths, false, sink);
  std::printf("tab rows, %d tabs, %d sizes: %.1f us per layout balanced (target under 1000 us), "
              "%.1f us greedy reference\n", kTabs, kResizes, balanced, greedy);
  k58::foundation::StartUnits();
  const double control = MicrosecondsPerControlLayout(widths);
  k58::foundation::StopUnits();
  std::printf("tab control, %d tabs, %d sizes: %.1f us per layout with the Tabs painter (target under 1000 us)\n",
              kTabs, kResizes, control);
  return sink == 0 ? 1 : 0;
}
