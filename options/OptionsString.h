// The options string: one character per switch, "1" for on; any other
// character, and a position past the end of the string, is off.
#pragma once

#include <array>
#include <string>

namespace kw {

constexpr int kOptionCount = 14;
constexpr int kOptionBreakDown = 12;  // break down entries in the results list
constexpr int kOptionAutoStart = 13;  // start automatically after "CheckTime" days
// Positions 0 to 11 are the search categories in category order.

using OptionFlags = std::array<bool, kOptionCount>;

bool OptionIsOn(const std::string& options, int position);

// All fourteen switches of `options`.
OptionFlags ReadOptionFlags(const std::string& options);

// Fourteen characters, "1" for each switch that is on and "0" for the rest.
std::string BuildOptions(const OptionFlags& flags);
std::string BuildOptions(const bool (&flags)[kOptionCount]);

}  // namespace kw
