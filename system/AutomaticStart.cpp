#include "system/AutomaticStart.h"

#include <limits>

#include "system/FileError.h"

namespace kw {

const char kProgramFile[] = "Kelpwise.exe";
const char kStarterFile[] = "KpwStarter.exe";

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

std::optional<AutomaticStartPlan> PlanAutomaticStart(const CSystemTools& tools) {
  try {
    int32_t due = 0;
    if (!ParseCheckDate(tools.ReadSetting("CheckDate"), &due)) return std::nullopt;
    if (tools.DayNumberToday() < due) return std::nullopt;
    AutomaticStartPlan plan;
    plan.programDir = tools.GetProgramDir();
    plan.program = plan.programDir + "\\" + kProgramFile;
    plan.parameters = "/autostart";
    if (!tools.FileExists(plan.program)) return std::nullopt;
    return plan;
  } catch (const FileError&) {
    return std::nullopt;
  }
}

}  // namespace kw
