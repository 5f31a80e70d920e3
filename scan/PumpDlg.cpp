#include "scan/PumpDlg.h"

#include "res/resource.h"

namespace kw {

namespace {
constexpr UINT_PTR kPumpTimer = 2;
constexpr UINT kPumpPeriodMs = 1;
}  // namespace

CPumpDlg::CPumpDlg() : Dialog(IDD_PUMP) {}

bool CPumpDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  ::SetTimer(hwnd(), kPumpTimer, kPumpPeriodMs, nullptr);
  return true;
}

bool CPumpDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      // The modal loop shows its dialog; this one stays hidden, so that no
      // window flashes and the system has nothing to map and unmap.
      reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
      return false;
    case WM_TIMER:
      ::KillTimer(hwnd(), kPumpTimer);
      OnOK();
      Default();
      return true;
    default:
      return false;
  }
}

void PumpMessages(HWND owner) {
  if (owner == nullptr) owner = ::GetActiveWindow();
  CPumpDlg pump;
  pump.DoModal(owner);
}

}  // namespace kw
