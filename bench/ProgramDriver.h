// Drives Kelpwise.exe from outside: starts it, presses Start Search, waits
// for the pass to end (the button's caption changes) while another thread
// times how long the window takes to answer, presses the button
// again, waits for the report box of the deletion and answers it, reads the
// process's peak working set and closes the program.
#pragma once

#include <windows.h>

#include <string>

namespace kw::bench {

struct DriveResult {
  double passSeconds = 0;
  double deleteSeconds = 0;
  long listedRows = -1;  // -1: the list could not be asked
  // The "Currently Checking" line during the pass: how often its text
  // changed, and the longest time it kept one text (from the click to the
  // end of the pass).
  long checkingChanges = 0;
  double checkingStillSeconds = 0;
  // The longest time the main window took to answer a WM_NULL sent every
  // 50 ms from another thread during the pass; -1 when none was answered.
  double longestWaitSeconds = -1;
  std::string statusAfterPass;
  std::string report;
  SIZE_T peakWorkingSet = 0;  // bytes
};

class ProgramDriver {
 public:
  ProgramDriver(std::string exePath, DWORD phaseTimeoutSeconds);
  ~ProgramDriver();
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  // False, with the reason on stderr, when any step fails or times out.
  bool Run(DriveResult* result);

 private:
  bool Launch();
  bool WaitForMainWindow();
  bool RunPass(DriveResult* result);
  bool RunDeletion(DriveResult* result);
  // After the report: the button leaves its results caption.
  bool WaitForIdleCaption();
  void ReadPeakMemory(DriveResult* result);
  bool Close();

  // A visible dialog box of the program other than its main window.
  HWND FindBox() const;
  bool ProcessEnded(const char* during) const;
  bool Fail(const char* format, ...) const;

  std::string m_exePath;
  DWORD m_timeoutMs;
  PROCESS_INFORMATION m_process{};
  HWND m_main = nullptr;
  HWND m_startButton = nullptr;
  std::string m_idleCaption;     // Start Search before a search
  std::string m_resultsCaption;  // the same button while results are listed
};

}  // namespace kw::bench
