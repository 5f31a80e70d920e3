// A tiny hidden modal dialog that lets the thread's queued messages run for
// a moment during a long operation: its modal loop paints what is waiting,
// and the first tick of a 1 ms timer ends it. While it runs its owner is
// disabled, so no click or command reaches the owner.
#pragma once

#include "framework/Dialog.h"

namespace kw {

class CPumpDlg : public Dialog {
 public:
  CPumpDlg();

 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// Runs one CPumpDlg modally. `owner` is the window that the pump disables
// while it runs; without one it takes the thread's active window.
void PumpMessages(HWND owner = nullptr);

}  // namespace kw
