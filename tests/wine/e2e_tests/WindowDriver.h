// Drives a running Kelpwise.exe from another process: finds its main window
// and message boxes, reads captions, menus and list-view cells, answers
// message boxes and ends the process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kw::test {

constexpr char kMainCaption[] = "Tarnwell Kelpwise";
constexpr char kDialogClass[] = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

struct MenuEntry {
  // Index path: "1" is the second drop-down menu, "0.2" the File menu's third item.
  std::string position;
  unsigned id = 0;  // command id; 0 for drop-downs and separators
  bool popup = false;
  bool separator = false;
  std::string text;
};

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;  // the message, as the static 0xFFFF shows it
};

// Text of any window, also of a control in another process.
std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);
std::string ClassName(HWND window);

// The first child dialog (such as a panel) of `parent`, or null.
HWND FindChildDialog(HWND parent);

// One run of Kelpwise.exe. The destructor ends the process if it still runs.
class KelpwiseProcess {
 public:
  KelpwiseProcess() = default;
  ~KelpwiseProcess();
  KelpwiseProcess(const KelpwiseProcess&) = delete;
  KelpwiseProcess& operator=(const KelpwiseProcess&) = delete;

  // Starts programDir\Kelpwise.exe with programDir as its working folder.
  bool Start(const std::string& programDir, std::string* error);

  DWORD id() const { return m_info.dwProcessId; }
  bool IsRunning() const;

  // The visible main window: a top-level dialog of this process with the
  // product caption and the Start Search button. Null after the timeout or
  // when the process ended.
  HWND WaitForMainWindow(DWORD timeoutMs) const;

  // A visible message box of this process (a top-level dialog with the
  // message static). False after the timeout or when the process ended.
  bool WaitForMessageBox(DWORD timeoutMs, MessageBoxInfo* box) const;

  // Presses the button with `id` (IDOK, IDYES, IDNO...) of a dialog such as
  // a message box, without waiting for the dialog to react.
  static void PressButton(HWND dialog, int id);

  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  void Kill();

  // The menu bar of `window` (a window of this process), drop-downs and
  // their items in order. Empty when it could not be read.
  std::vector<MenuEntry> ReadMenu(HWND window, std::string* error) const;

  // List-view contents, read through memory inside the process.
  std::vector<std::string> ListColumnHeadings(HWND list) const;
  int ListRowCount(HWND list) const;
  std::string ListCellText(HWND list, int row, int column) const;

 private:
  PROCESS_INFORMATION m_info = {};
};

}  // namespace kw::test
