// The About box: program icon, name, version and maker.
#pragma once

#include "framework/Dialog.h"

namespace kw {

class CAboutDlg : public Dialog {
 public:
  CAboutDlg();

 protected:
  // F1 inside the box does nothing; in particular it does not reach the
  // main window, which would open the help file.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace kw
