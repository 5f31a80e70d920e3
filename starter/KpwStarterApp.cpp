// KpwStarter.exe: started at log-on by the Run value that closing Kelpwise
// writes. It shows nothing, changes no file and ends at once; on the due day
// it has the shell start "Kelpwise.exe /autostart", which asks for
// administrator rights: the shell lets Windows ask the user for them, where
// starting it directly from this unelevated process would be refused. When
// the user refuses, nothing has changed and nothing is left to undo.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include "system/AutomaticStart.h"

namespace {

void StartProgram(const kw::AutomaticStartPlan& plan) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  // No error boxes; and the start is complete before this process ends.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = plan.program.c_str();
  info.lpParameters = plan.parameters.c_str();
  info.lpDirectory = plan.programDir.c_str();
  info.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExA(&info);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const kw::CSystemTools tools;
  if (const auto plan = kw::PlanAutomaticStart(tools)) StartProgram(*plan);
  return 0;
}
