// Looks at a running Kelpwise.exe from another process: finds its dialogs
// and message boxes, reads their texts and starts the program. Shared by
// the end-to-end tests and the benchmark's driver.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kw::driver {

// The static that holds a message box's text.
constexpr int kBoxTextId = 0xFFFF;

std::string ClassName(HWND window);

// SendMessage that gives up on a hung program after a while; 0 then.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The text of a window, also of a control in another process. Dialogs,
// statics and buttons answer from the system's copy, so this works while
// the program is busy; other controls keep their own text and are asked.
std::string Text(HWND window);
std::string Text(HWND dialog, int id);

// Polls `done` until it holds; false when it still does not after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 50);

// A visible top-level dialog of process `processId` that `accept` takes, or null.
HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& accept);

// The main window: the product's caption and a Start Search button.
bool IsMainWindow(HWND window);
// A message box: its text static, and neither a menu nor the main window's
// buttons (dialog templates may hold statics with the id 0xFFFF too).
bool IsMessageBox(HWND window);

// Starts `exe` with the working folder `folder` and the command-line
// `arguments`; false when it cannot.
bool Launch(const std::string& exe, const std::string& folder, PROCESS_INFORMATION* process,
            const std::string& arguments = "");

}  // namespace kw::driver
