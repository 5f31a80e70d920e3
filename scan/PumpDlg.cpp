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
  if (message != WM_TIMER) return false;
  ::KillTimer(hwnd(), kPumpTimer);
  OnOK();
  Default();
  return true;
}

void PumpMessages(HWND owner) {
  if (owner == nullptr) owner = ::GetActiveWindow();
  CPumpDlg pump;
  pump.DoModal(owner);
}

}  // namespace kw
