// The companion starter's side of the automatic start. Closing the program
// names the starter in the user's Run value and stores the due day in
// config.ini; at log-on the starter checks that day and, when it has come,
// marks the run as automatic and has Kelpwise.exe started.
#pragma once

#include <cstdint>
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
  std::string program;          // full path of Kelpwise.exe
  std::string programDir;       // the folder to start it in
  std::string previousStartup;  // "Startup" before the starter changed it
};

// The starter's check in the program folder of `tools`. When "CheckDate"
// holds a due day that has come (today or earlier) and Kelpwise.exe is
// there, writes "Startup" = "automatically" and returns true with what to
// start. Otherwise, and when config.ini cannot be read or written, returns
// false having changed nothing. Never throws.
bool PrepareAutomaticStart(const CSystemTools& tools, AutomaticStartPlan* plan);

// After a start that failed: gives "Startup" its earlier value back, so
// that the next start by hand is not taken for an automatic one.
void UndoAutomaticStart(const CSystemTools& tools, const AutomaticStartPlan& plan);

}  // namespace kw
