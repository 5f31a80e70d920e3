#include "system/AutomaticStart.h"

#include <limits>

#include "system/FileError.h"

namespace kw {

const char kProgramFile[] = "Kelpwise.exe";
const char kStarterFile[] = "KpwStarter.exe";

namespace {

const char kStartupKey[] = "Startup";

}  // namespace

bool ParseCheckDate(const std::string& text, int32_t* day) {
  const bool negative = !text.empty() && text[0] == '-';
  const size_t first = negative ? 1 : 0;
  if (text.size() == first) return false;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (size_t i = first; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > limit) return false;
  }
  *day = static_cast<int32_t>(negative ? -value : value);
  return true;
}

bool PrepareAutomaticStart(const CSystemTools& tools, AutomaticStartPlan* plan) {
  try {
    int32_t due = 0;
    if (!ParseCheckDate(tools.ReadSetting("CheckDate"), &due)) return false;
    if (tools.DayNumberToday() < due) return false;
    plan->programDir = tools.GetProgramDir();
    plan->program = plan->programDir + "\\" + kProgramFile;
    // Checked before anything is written: without the program the mark
    // would wrongly make its next start by hand an automatic one.
    if (!tools.FileExists(plan->program)) return false;
    plan->previousStartup = tools.ReadSetting(kStartupKey);
    tools.WriteSetting(kStartupKey, "automatically");
    return true;
  } catch (const FileError&) {
    // The atomic writer leaves the file as it was when it fails.
    return false;
  }
}

void UndoAutomaticStart(const CSystemTools& tools, const AutomaticStartPlan& plan) {
  try {
    tools.WriteSetting(kStartupKey, plan.previousStartup);
  } catch (const FileError&) {
  }
}

}  // namespace kw
