// The options string: one character per switch, "1" for on; any other
// character, and a position past the end of the string, is off. Readers
// take the string apart once (ReadOptionFlags) and ask the flags.
#pragma once

#include <array>
#include <string>

#include "scan/ScanCategories.h"

namespace kw {

// Positions 0 to kCategoryCount - 1 are the search categories in category
// order; the two switches after them:
constexpr int kOptionBreakDown = kCategoryCount;  // break down entries in the results list
constexpr int kOptionAutoStart = kCategoryCount + 1;  // start automatically after "CheckTime" days
constexpr int kOptionCount = kCategoryCount + 2;

using OptionFlags = std::array<bool, kOptionCount>;

// All fourteen switches of `options`.
OptionFlags ReadOptionFlags(const std::string& options);

// Fourteen characters, "1" for each switch that is on and "0" for the rest.
std::string BuildOptions(const OptionFlags& flags);

}  // namespace kw
