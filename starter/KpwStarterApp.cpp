// KpwStarter.exe: started at log-on by the Run value that closing Kelpwise
// writes. It shows nothing and ends at once; on the due day it first marks
// the run as automatic, then has the shell start Kelpwise.exe, which asks
// for administrator rights: the shell lets Windows ask the user for them,
// where starting it directly from this unelevated process would be refused.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include "system/AutomaticStart.h"

namespace {

bool StartProgram(const kw::AutomaticStartPlan& plan) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  // No error boxes; and the start is complete before this process ends.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = plan.program.c_str();
  info.lpDirectory = plan.programDir.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExA(&info) != FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kw::CSystemTools tools;
  kw::AutomaticStartPlan plan;
  if (kw::PrepareAutomaticStart(tools, &plan) && !StartProgram(plan)) {
    kw::UndoAutomaticStart(tools, plan);
  }
  return 0;
}
