#include "system/Shutdown.h"

#include <algorithm>

#include "system/AutomaticStart.h"

namespace kw {

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Kelpwise";
const char kToolcrateKey[] = "Software\\Tarnwell\\Tarnwell Toolcrate";

}  // namespace

uint32_t ScheduleDays(const std::string& days) {
  uint32_t count = 0;
  for (char c : days) {
    if (c < '0' || c > '9') break;
    count = std::min(count * 10 + static_cast<uint32_t>(c - '0'), kMaxScheduleDays);
  }
  return count;
}

void SaveSettingsOnClose(CSystemTools& tools, const std::string& options, bool autoStart,
                         const std::string& days) {
  if (autoStart) {
    tools.m_strKeyPath = kRunKey;
    tools.WriteRegString(kWriteCurrentUser, kRunValue,
                         "\"" + tools.GetProgramDir() + "\\" + kStarterFile + "\"");
    tools.WriteSetting("CheckTime", days);
    const uint32_t today = static_cast<uint32_t>(tools.DayNumberToday());
    // The interval as stored, read back from the file.
    const uint32_t interval = ScheduleDays(tools.ReadSetting("CheckTime"));
    tools.WriteSetting("CheckDate", std::to_string(static_cast<int32_t>(today + interval)));
  } else {
    tools.m_strKeyPath = kRunKey;
    tools.DeleteRegValue(kWriteCurrentUser, kRunValue);
  }
  tools.WriteSetting("Options", options);
  tools.m_strKeyPath = kToolcrateKey;
  tools.DeleteRegValue(kWriteLocalMachine, "active");
}

}  // namespace kw
