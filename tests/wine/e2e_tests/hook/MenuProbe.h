// Menus cannot be read from another process under Wine, so the driver hooks
// the program's window thread with MenuProbeHook (e2e_tests_hook.dll) and
// sends the window kMenuProbeMessage; the hook then writes the menu bar into
// MenuProbeFile(<program's process id>), one "position<TAB>text" line per
// item ("1" is the second drop-down, "0.2" the File menu's third item).
#pragma once

#include <windows.h>

#include <string>

namespace kw::test {

constexpr char kMenuProbeMessage[] = "KelpwiseE2eMenuProbe";

inline std::string MenuProbeFile(DWORD processId) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "kelpwise-menu-" + std::to_string(processId) + ".txt";
}

}  // namespace kw::test
