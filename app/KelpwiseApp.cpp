#include "app/KelpwiseApp.h"

// clang-format off
#include <windows.h>  // before the other system headers
#include <commctrl.h>
// clang-format on

#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandRun.h"
#include "app/KelpwiseDlg.h"
#include "res/ProductName.h"

namespace kw {

bool CKelpwiseApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  ::InitCommonControlsEx(&controls);

  CKelpwiseDlg mainWindow(m_bAutomaticStart);
  mainWindow.DoModal();
  return false;
}

}  // namespace kw

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The command line is decided before anything of the window exists:
  // /search and /clean never create one.
  const kw::CommandLine command =
      kw::ParseCommandLine(std::vector<std::string>(__argv + 1, __argv + __argc));
  if (command.mode == kw::CommandMode::Usage) {
    const int code = kw::WriteUsageReport(command);
    ::MessageBoxA(nullptr, kw::kUsageText, kw::kProductCaption, MB_OK | MB_ICONINFORMATION);
    return code;
  }
  if (command.mode != kw::CommandMode::Window) {
    // RunCommand reports its own failures; this only keeps anything else
    // from ending the process through abort, whose code reads as "backup
    // not written".
    try {
      return kw::RunCommand(command);
    } catch (...) {
      return 5;
    }
  }

  kw::CKelpwiseApp app(command.automaticStart);
  app.InitInstance();
  return 0;
}
