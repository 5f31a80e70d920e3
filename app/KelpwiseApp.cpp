#include "app/KelpwiseApp.h"

#include <windows.h>
#include <commctrl.h>

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
