// More ways to drive a running Kelpwise.exe: commands and clicks, the
// selection of the results list, the program's dialogs and message boxes,
// and the registry entries a test seeds for the search to find.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/e2e_tests/WindowDriver.h"

namespace kw::test {

// Polls `done` every few milliseconds; false when it is still false after
// `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A menu command or a button click, posted as WM_COMMAND so that the
// handler's message boxes do not block the test.
void PostCommand(HWND window, int id);
// A key press as the dialog manager sees it (Escape, F1...).
void PostKey(HWND window, UINT virtualKey);
// Sets the window text of a control (edit, combo box) of another process.
void SetControlText(HWND dialog, int id, const std::string& text);
void SetCheck(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);

// A visible top-level dialog of the process, other than the main window,
// that has the control `id` (and, when `caption` is given, that caption).
HWND FindProcessDialog(DWORD processId, int id, const char* caption = nullptr);
HWND WaitForProcessDialog(DWORD processId, int id, DWORD timeoutMs, const char* caption = nullptr);

// The file-open dialog of the process, or null.
HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs);
// Types `path` into the dialog's file-name field and presses Open.
::testing::AssertionResult ChooseFile(HWND fileDialog, const std::string& path);

// Answers every message box that comes up, one after another, with
// `button`, until none has come for `quietMs`. The boxes in order.
std::vector<MessageBoxInfo> AnswerMessageBoxes(const KelpwiseProcess& process, int button,
                                               DWORD firstTimeoutMs, DWORD quietMs);
// Waits for one message box, answers it and waits until it is gone.
::testing::AssertionResult AnswerMessageBox(const KelpwiseProcess& process, int button,
                                            MessageBoxInfo* box, DWORD timeoutMs);
// Whether the box shows an icon.
bool MessageBoxHasIcon(HWND box);

// Sets the selection of the results list to exactly `rows`.
::testing::AssertionResult SelectListRows(const KelpwiseProcess& process, HWND list,
                                          const std::vector<int>& rows);
// The cells of every row, column by column, joined by tabs.
std::vector<std::string> ListRows(const KelpwiseProcess& process, HWND list);

// Registry values of the current user that a test creates and removes.
// The keys are deleted with everything below them when the object is
// created (a failed earlier run may have left them) and when it goes.
class ScopedUserKeys {
 public:
  explicit ScopedUserKeys(std::vector<std::string> keyPaths);
  ~ScopedUserKeys();
  ScopedUserKeys(const ScopedUserKeys&) = delete;
  ScopedUserKeys& operator=(const ScopedUserKeys&) = delete;

  ::testing::AssertionResult SetString(const std::string& keyPath, const std::string& name,
                                       const std::string& data) const;

 private:
  std::vector<std::string> m_keyPaths;
};

// A REG_SZ value of HKEY_CURRENT_USER; false when it does not exist.
bool ReadUserString(const std::string& keyPath, const std::string& name, std::string* data);

// The *.reg files of a folder, names only, sorted.
std::vector<std::string> RegFilesIn(const std::string& folder);

}  // namespace kw::test
