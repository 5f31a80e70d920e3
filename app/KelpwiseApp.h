// The application: registers the common controls and runs the main window.
#pragma once

namespace kw {

class CKelpwiseApp {
 public:
  // Runs the main window modally; returns false, so that the process ends
  // when the window closes.
  bool InitInstance();
};

}  // namespace kw
