// Breaking tabs into rows and balancing the rows of a group.
#include "controls/extra/uiPCRowBreaking.h"

#include <algorithm>
#include <climits>

namespace k58::extra {

namespace {

// The search over the rows of one group: Solve(j, e) is the smallest largest free space of rows 0..j
// when row j ends at tab e. Row j starts at its greedy start (or at e when that lies past e) and takes
// in the last tab of the row before it while it fits; rows before keep at least one tab each.
class RowBalancer {
 public:
  RowBalancer(const std::vector<Integer>& widths, Integer length, Integer distance,
              const std::vector<TabRowBounds>& bounds, bool memoised)
      : widths_(widths), length_(length), distance_(distance), bounds_(bounds), memoised_(memoised) {
    const Integer first = bounds.front().first, last = bounds.back().last;
    sums_.assign(static_cast<size_t>(last - first + 2), 0);
    for (Integer i = first; i <= last; ++i)
      sums_[static_cast<size_t>(i - first + 1)] = sums_[static_cast<size_t>(i - first)] + widths[static_cast<size_t>(i)];
    if (memoised_) {
      const size_t cells = bounds.size() * static_cast<size_t>(last - first + 1);
      values_.assign(cells, LLONG_MIN);
      choices_.assign(cells, -1);
    }
  }

  // Writes the best split back into Bounds.
  void Apply(std::vector<TabRowBounds>& bounds) {
    Integer end = bounds_.back().last;
    for (Integer j = static_cast<Integer>(bounds_.size()) - 1; j >= 0; --j) {
      Integer start;
      Solve(j, end, &start);
      bounds[static_cast<size_t>(j)] = TabRowBounds{start, end};
      end = start - 1;
    }
  }

 private:
  Int64 Free(Integer f, Integer e) const {
    const Integer base = bounds_.front().first;
    const Int64 used = sums_[static_cast<size_t>(e - base + 1)] - sums_[static_cast<size_t>(f - base)] +
                       static_cast<Int64>(distance_) * (e - f);
    return length_ - used;
  }

  Int64 Solve(Integer j, Integer e, Integer* choice) {
    const Integer groupFirst = bounds_.front().first;
    if (j == 0) {
      *choice = groupFirst;
      return Free(groupFirst, e);
    }
    size_t cell = 0;
    if (memoised_) {
      cell = static_cast<size_t>(j) * static_cast<size_t>(bounds_.back().last - groupFirst + 1) +
             static_cast<size_t>(e - groupFirst);
      if (values_[cell] != LLONG_MIN) {
        *choice = choices_[cell];
        return values_[cell];
      }
    }
    Int64 best = LLONG_MAX;
    Integer bestStart = -1;
    const Integer start = std::min(bounds_[static_cast<size_t>(j)].first, e);
    // The first candidate is the current split; a tab moves down only while it fits, and a strictly
    // smaller largest free space is needed to leave the greedier split.
    for (Integer f = start; f >= groupFirst + j && (f == start || Free(f, e) >= 0); --f) {
      Integer unused;
      const Int64 value = std::max(Free(f, e), Solve(j - 1, f - 1, &unused));
      if (value < best) {
        best = value;
        bestStart = f;
      }
    }
    if (memoised_) {
      values_[cell] = best;
      choices_[cell] = bestStart;
    }
    *choice = bestStart;
    return best;
  }

  const std::vector<Integer>& widths_;
  Integer length_, distance_;
  const std::vector<TabRowBounds> bounds_;
  bool memoised_;
  std::vector<Int64> sums_;
  std::vector<Int64> values_;
  std::vector<Integer> choices_;
};

void BalanceGroup(const TabRowBreakInput& input, std::vector<Integer>& rows, Integer first, Integer last) {
  if (first > last || rows[static_cast<size_t>(first)] == rows[static_cast<size_t>(last)]) return;
  if (input.rotate && input.raggedRight) return;
  const Integer firstRow = rows[static_cast<size_t>(first)];
  std::vector<TabRowBounds> bounds;
  for (Integer i = first; i <= last; ++i) {
    const size_t r = static_cast<size_t>(rows[static_cast<size_t>(i)] - firstRow);
    if (r == bounds.size()) bounds.push_back(TabRowBounds{i, i});
    bounds[r].last = i;
  }
  BalanceTabRows(input.widths, input.length, input.distance, bounds);
  for (size_t r = 0; r < bounds.size(); ++r)
    for (Integer i = bounds[r].first; i <= bounds[r].last; ++i)
      rows[static_cast<size_t>(i)] = firstRow + static_cast<Integer>(r);
}

}  // namespace

void BalanceTabRows(const std::vector<Integer>& Widths, Integer Length, Integer Distance,
                    std::vector<TabRowBounds>& Bounds, bool Memoised) {
  if (Bounds.size() < 2) return;
  RowBalancer(Widths, Length, Distance, Bounds, Memoised).Apply(Bounds);
}

Integer BreakTabsIntoRows(TabRowBreakInput& Input, std::vector<Integer>& Rows) {
  const Integer count = static_cast<Integer>(Input.widths.size());
  const Integer length = Input.length, distance = Input.distance;
  Rows.assign(Input.widths.size(), 0);
  Integer row = 0, groupFirst = 0;
  Int64 fill = 0;
  for (Integer i = 0; i < count; ++i) {
    Integer& width = Input.widths[static_cast<size_t>(i)];
    if (width < length) {
      if (fill + width > length) {
        ++row;
        fill = width + distance;
      } else {
        fill += width + distance;
      }
      Rows[static_cast<size_t>(i)] = row;
      continue;
    }
    // A tab as long as the row stands alone in its row.
    if (fill != 0) {
      ++row;
      fill = 0;
    }
    BalanceGroup(Input, Rows, groupFirst, i - 1);
    if (!Input.rotate && Input.minTabNormalWidth < length) width = length;
    Rows[static_cast<size_t>(i)] = row;
    if (i != count - 1) ++row;
    groupFirst = i + 1;
  }
  BalanceGroup(Input, Rows, groupFirst, count - 1);
  return row + 1;
}

}  // namespace k58::extra
