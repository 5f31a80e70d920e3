// The companion starter's side of the automatic start. Closing the program
// names the starter in the user's Run value and stores the due day in
// config.ini; at log-on the starter reads that day and, when it has come,
// has Kelpwise.exe started with /autostart. The starter writes nothing: the
// program folder may be closed to the user it runs as.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "system/SystemTools.h"

namespace kw {

// File names in the program folder.
extern const char kProgramFile[];  // "Kelpwise.exe"
extern const char kStarterFile[];  // "KpwStarter.exe"

// The due day of a stored "CheckDate" as closing the program writes it: a
// decimal day number, optionally negative. False for an empty text, any
// other character (blanks included) and a number beyond 32 bits.
bool ParseCheckDate(const std::string& text, int32_t* day);

struct AutomaticStartPlan {
  std::string program;     // full path of Kelpwise.exe
  std::string parameters;  // "/autostart"
  std::string programDir;  // the folder to start it in
};

// The starter's decision for the program folder of `tools`: what to start
// when "CheckDate" holds a due day that has come (today or earlier) and
// Kelpwise.exe is there; nothing on other days and when config.ini cannot
// be read. Only reads; never throws.
std::optional<AutomaticStartPlan> PlanAutomaticStart(const CSystemTools& tools);

}  // namespace kw
