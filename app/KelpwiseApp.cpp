#include "app/KelpwiseApp.h"

// clang-format off
#include <windows.h>  // before the other system headers
#include <commctrl.h>
// clang-format on

#include "app/KelpwiseDlg.h"

namespace kw {

bool CKelpwiseApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  ::InitCommonControlsEx(&controls);

  CKelpwiseDlg mainWindow;
  mainWindow.DoModal();
  return false;
}

}  // namespace kw

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kw::CKelpwiseApp app;
  app.InitInstance();
  return 0;
}
