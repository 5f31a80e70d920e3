// The application: registers the common controls and runs the main window.
#pragma once

namespace kw {

class CKelpwiseApp {
 public:
  // `automaticStart`: started with /autostart.
  explicit CKelpwiseApp(bool automaticStart) : m_bAutomaticStart(automaticStart) {}

  // Runs the main window modally; returns false, so that the process ends
  // when the window closes.
  bool InitInstance();

 private:
  bool m_bAutomaticStart;
};

}  // namespace kw
