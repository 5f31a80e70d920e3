#include "app/AboutDlg.h"

#include "res/resource.h"

namespace kw {

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_HELP) return false;
  result = FALSE;
  return true;
}

}  // namespace kw
