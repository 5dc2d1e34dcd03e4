// Breaking tabs into rows: greedy packing, tabs as long as the row, and the balancing search, whose
// memoised form must give the rows of the plain one.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "controls/extra/uiPCRowBreaking.h"

namespace extra_test {

using k58::extra::BalanceTabRows;
using k58::extra::BreakTabsIntoRows;
using k58::extra::TabRowBounds;
using k58::extra::TabRowBreakInput;

TEST(TabRowBreaking, RowsAndStretchedWidthsByCase) {
  struct Case {
    const char* name;
    std::vector<Integer> widths;
    Integer length, distance;
    bool rotate, raggedRight;
    std::vector<Integer> rows;
    std::vector<Integer> widthsAfter;
  } cases[] = {
      // Moving the third tab down gives the same largest free space (80): the tie keeps 3 + 2.
      {"five 60 in 200", {60, 60, 60, 60, 60}, 200, 0, false, false, {0, 0, 0, 1, 1}, {60, 60, 60, 60, 60}},
      // Greedy 4 + 1 leaves 150 free in the last row; 3 + 2 leaves at most 100.
      {"balanced to 3 + 2", {50, 50, 50, 50, 50}, 200, 0, false, false, {0, 0, 0, 1, 1}, {50, 50, 50, 50, 50}},
      {"distance counts", {50, 50, 50, 50}, 200, 10, false, false, {0, 0, 1, 1}, {50, 50, 50, 50}},
      {"wide tab alone, stretched", {40, 250, 40, 40}, 200, 0, false, false, {0, 1, 2, 2}, {40, 200, 40, 40}},
      {"wide tab with Rotate keeps its width", {40, 250}, 200, 0, true, false, {0, 1}, {40, 250}},
      {"wide tab first and last", {300, 50, 300}, 200, 0, false, false, {0, 1, 2}, {200, 50, 200}},
      {"Rotate and RaggedRight keep the greedy rows", {50, 50, 50, 50, 50}, 200, 0, true, true,
       {0, 0, 0, 0, 1}, {50, 50, 50, 50, 50}},
      {"RaggedRight alone still balances", {50, 50, 50, 50, 50}, 200, 0, false, true, {0, 0, 0, 1, 1},
       {50, 50, 50, 50, 50}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    TabRowBreakInput input{c.widths, c.length, c.distance, c.rotate, c.raggedRight, 10};
    std::vector<Integer> rows;
    const Integer rowCount = BreakTabsIntoRows(input, rows);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(rowCount, c.rows.back() + 1);
    EXPECT_EQ(input.widths, c.widthsAfter);
  }
}

// Over generated rows of tabs, every tab lies in exactly one row, in order, each row holds at least one
// tab and fits the row length unless it is a lone long tab, and the memoised search matches the plain one.
TEST(TabRowBreaking, GeneratedRowsAreWellFormedAndSearchesAgree) {
  std::mt19937 random(31);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    const Integer length = 100 + static_cast<Integer>(random() % 200);
    const Integer distance = static_cast<Integer>(random() % 6);
    const Integer count = 1 + static_cast<Integer>(random() % 14);
    std::vector<Integer> widths;
    for (Integer i = 0; i < count; ++i)
      widths.push_back(random() % 12 == 0 ? length + 5 : 10 + static_cast<Integer>(random() % (length / 2)));

    TabRowBreakInput input{widths, length, distance, false, false, 10};
    std::vector<Integer> rows;
    const Integer rowCount = BreakTabsIntoRows(input, rows);
    ASSERT_EQ(rows.size(), widths.size());
    EXPECT_EQ(rows.front(), 0);
    EXPECT_EQ(rows.back(), rowCount - 1);
    std::vector<Int64> used(static_cast<size_t>(rowCount), 0);
    std::vector<Integer> tabsInRow(static_cast<size_t>(rowCount), 0);
    for (size_t i = 0; i < rows.size(); ++i) {
      if (i > 0) {
        ASSERT_TRUE(rows[i] == rows[i - 1] || rows[i] == rows[i - 1] + 1) << "tab " << i;
      }
      const size_t r = static_cast<size_t>(rows[i]);
      used[r] += input.widths[i] + (tabsInRow[r] > 0 ? distance : 0);
      ++tabsInRow[r];
    }
    for (size_t r = 0; r < used.size(); ++r) EXPECT_LE(used[r], length) << "row " << r;

    // The two searches on the greedy rows of the whole list (no long tabs here).
    std::vector<Integer> narrow;
    for (Integer w : widths) narrow.push_back(std::min(w, length - 1));
    std::vector<TabRowBounds> greedy;
    Int64 fill = 0;
    for (Integer i = 0; i < count; ++i) {
      const Integer w = narrow[static_cast<size_t>(i)];
      if (greedy.empty() || fill + w > length) {
        greedy.push_back({i, i});
        fill = w + distance;
      } else {
        greedy.back().last = i;
        fill += w + distance;
      }
    }
    std::vector<TabRowBounds> memoised = greedy, plain = greedy;
    BalanceTabRows(narrow, length, distance, memoised, true);
    BalanceTabRows(narrow, length, distance, plain, false);
    EXPECT_EQ(memoised, plain);
    ASSERT_EQ(memoised.size(), greedy.size());
    EXPECT_EQ(memoised.front().first, 0);
    EXPECT_EQ(memoised.back().last, count - 1);
    for (size_t r = 1; r < memoised.size(); ++r) EXPECT_EQ(memoised[r].first, memoised[r - 1].last + 1);
  }
}

// Three hundred and one tabs in many rows: the greedy split leaves one tab in the last row, the
// balanced one spreads them (ten of 37 with nine gaps of 2 fill 388 of 400), and the search finishes.
TEST(TabRowBreaking, ManyRowsAreBalancedWithoutBlowingUp) {
  TabRowBreakInput input{std::vector<Integer>(301, 37), 400, 2, false, false, 10};
  std::vector<Integer> rows;
  const Integer rowCount = BreakTabsIntoRows(input, rows);
  ASSERT_EQ(rowCount, 31);
  std::vector<Integer> tabsInRow(31, 0);
  for (Integer r : rows) ++tabsInRow[static_cast<size_t>(r)];
  for (Integer n : tabsInRow) EXPECT_GE(n, 9);
}

}  // namespace extra_test
