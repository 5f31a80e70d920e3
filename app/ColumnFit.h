// The widths of the results list's columns after a search.
#pragma once

#include <vector>

namespace kw {

// `wanted`: the width each column's longest text (or its heading) needs, the
// data column last; `available`: the list's inner width. Every column but the
// last gets what it wants as long as the last keeps what it wants, up to a
// third of `available`; beyond that the narrowest columns are served first
// and the rest share what is left evenly. The last column takes the rest.
// No width is negative.
std::vector<int> FitColumnWidths(const std::vector<int>& wanted, int available);

}  // namespace kw
