// What closing the main window saves: the automatic start (the Run value of
// the companion starter and its due day in config.ini), the options string,
// and the removal of the Toolcrate's "active" flag.
#pragma once

#include <cstdint>
#include <string>

#include "system/SystemTools.h"

namespace kw {

// The longest interval of the automatic start, and the digits the days
// field takes for it.
constexpr uint32_t kMaxScheduleDays = 9999;
constexpr int kScheduleDaysDigits = 4;

// The interval that a stored days text schedules: its leading decimal
// digits, at most kMaxScheduleDays. A text that does not begin with a digit
// ("", "days", "-5", " 7") schedules 0 days, the day of the close, as an
// empty field always has; "3 days" schedules 3.
uint32_t ScheduleDays(const std::string& days);

// Throws FileError when config.ini cannot be read or rewritten; the steps
// after the failing one are then not run.
void SaveSettingsOnClose(CSystemTools& tools, const std::string& options, bool autoStart,
                         const std::string& days);

}  // namespace kw
