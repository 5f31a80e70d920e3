#include "app/ColumnFit.h"

#include <algorithm>
#include <numeric>

namespace kw {

std::vector<int> FitColumnWidths(const std::vector<int>& wanted, int available) {
  std::vector<int> widths(wanted.size(), 0);
  if (wanted.empty()) return widths;
  available = std::max(available, 0);
  const size_t leading = wanted.size() - 1;
  int room = available - std::clamp(wanted.back(), 0, available / 3);
  // The narrowest first: each gets what it wants up to an even share of
  // the room the columns after it leave.
  std::vector<size_t> byWidth(leading);
  std::iota(byWidth.begin(), byWidth.end(), 0);
  std::stable_sort(byWidth.begin(), byWidth.end(),
                   [&](size_t a, size_t b) { return wanted[a] < wanted[b]; });
  for (size_t i = 0; i < leading; ++i) {
    const size_t column = byWidth[i];
    const int share = room / static_cast<int>(leading - i);
    widths[column] = std::clamp(wanted[column], 0, share);
    room -= widths[column];
  }
  widths.back() = available - std::accumulate(widths.begin(), widths.end() - 1, 0);
  return widths;
}

}  // namespace kw
