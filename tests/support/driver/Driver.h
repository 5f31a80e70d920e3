// Looks at a running program from another process: starts it, finds its
// dialogs and reads their texts. Shared by the end-to-end tests and the
// benchmark's driver.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kw::driver {

inline std::string ClassName(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// SendMessage that gives up on a hung program after a while; 0 then.
inline LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

// Dialogs, statics and buttons answer from the system's copy, so this works
// while the program is busy; other controls keep their own text and are asked.
inline std::string Text(HWND window) {
  char text[4096] = "";
  const std::string type = ClassName(window);
  if (type == "Static" || type == "Button" || type == "#32770") {
    GetWindowTextA(window, text, sizeof text);
  } else {
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  }
  return text;
}

inline std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

// Polls `done` until it holds; false when it still does not after `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
  for (DWORD start = GetTickCount(); !done(); Sleep(20)) {
    if (GetTickCount() - start > timeoutMs) return done();
  }
  return true;
}

// A visible top-level dialog of process `processId` that `accept` takes, or null.
inline HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& accept) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window) && accept(window)) return window;
  }
  return nullptr;
}

// Starts `commandLine` in the working folder `folder`; false when it cannot.
inline bool Launch(std::string commandLine, const char* folder, PROCESS_INFORMATION* process) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  *process = {};
  return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, process) != FALSE;
}

}  // namespace kw::driver
