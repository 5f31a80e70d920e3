// Drives a running Kelpwise.exe from another process: finds its windows and
// message boxes, reads texts, menus and list-view cells, clicks and answers.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/support/driver/ProgramWindows.h"

namespace kw::test {

// Generous: the first window of a fresh Wine prefix takes several seconds.
constexpr DWORD kWaitMs = 30000;
constexpr DWORD kSearchMs = 180000;
constexpr char kMainCaption[] = "Tarnwell Kelpwise";

struct Box {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

using driver::Text;

// Polls `done` until it holds; false when it still does not after `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs) {
  return driver::WaitUntil(done, timeoutMs);
}

// True once the window's thread handles messages again: the handler that
// was running has returned.
bool WaitUntilIdle(HWND window, DWORD timeoutMs = kWaitMs);

// A click on a button or a menu command, posted so that the handler's
// dialogs and boxes do not block the test.
void Click(HWND window, int id);
void PostKey(HWND window, UINT virtualKey);
void SetText(HWND dialog, int id, const std::string& text);
void SetCheck(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);

// A run of Kelpwise.exe; the next Start and the destructor end it if it still runs.
class KelpwiseProcess {
 public:
  KelpwiseProcess() = default;
  ~KelpwiseProcess();
  KelpwiseProcess(const KelpwiseProcess&) = delete;
  KelpwiseProcess& operator=(const KelpwiseProcess&) = delete;

  // Starts Kelpwise.exe of `programDir` with `arguments` after its name.
  ::testing::AssertionResult Start(const std::string& programDir,
                                   const std::string& arguments = "");
  // The exit code once the run has ended; STILL_ACTIVE before.
  DWORD ExitCode() const;
  // True when the process has any top-level window, hidden ones included.
  bool HasWindow() const;
  // Runs the folder's KpwStarter.exe from another working folder, waits
  // until it has ended, and takes the process it started, if any, as this run.
  ::testing::AssertionResult StartThroughStarter(const std::string& programDir);
  bool IsRunning() const;
  bool WaitForExit(DWORD timeoutMs = kWaitMs) const;
  void Kill();

  // A visible top-level dialog of this process that `accept` takes.
  HWND WaitForWindow(const std::function<bool(HWND)>& accept, DWORD timeoutMs = kWaitMs) const;
  HWND MainWindow() const;
  // A dialog other than the main window holding control `id`.
  HWND WaitForDialog(int id, const char* caption = nullptr) const;

  bool WaitForBox(Box* box, DWORD timeoutMs = kWaitMs) const;
  // Waits for a box, presses `button` and waits until the box is gone.
  ::testing::AssertionResult Answer(int button, Box* box = nullptr,
                                    DWORD timeoutMs = kWaitMs) const;
  // Answers one box after another until none comes for a moment.
  std::vector<Box> AnswerAll(int button) const;
  ::testing::AssertionResult NoBox() const;

  // The list's cells, one string per row with tabs between the cells.
  std::vector<std::string> Rows(HWND list) const;
  std::vector<std::string> Headings(HWND list) const;
  ::testing::AssertionResult Select(HWND list, const std::vector<int>& rows) const;
  // The window's menu bar: item position ("0", "0.2") to text.
  std::map<std::string, std::string> Menu(HWND window) const;

 private:
  void Close();
  PROCESS_INFORMATION m_info = {};
};

}  // namespace kw::test
