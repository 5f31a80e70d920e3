#include "tests/support/driver/ProgramWindows.h"

#include "res/ProductName.h"
#include "res/resource.h"

namespace kw::driver {
namespace {

constexpr DWORD kMessageMs = 10000;
constexpr size_t kTextSize = 4096;

struct WindowSearch {
  DWORD processId;
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != "#32770" ||
      !(*search->accept)(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

std::string ClassName(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageMs, &result);
  return static_cast<LRESULT>(result);
}

std::string Text(HWND window) {
  char text[kTextSize] = "";
  const std::string type = ClassName(window);
  if (type == "Static" || type == "Button" || type == "#32770") {
    GetWindowTextA(window, text, sizeof text);
  } else {
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  }
  return text;
}

std::string Text(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? Text(control) : "<no control " + std::to_string(id) + ">";
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
  for (DWORD start = GetTickCount(); !done(); Sleep(pollMs)) {
    if (GetTickCount() - start > timeoutMs) return done();
  }
  return true;
}

HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& accept) {
  WindowSearch search = {processId, &accept, nullptr};
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsMainWindow(HWND window) {
  return GetDlgItem(window, IDC_START_SEARCH) && Text(window) == kProductCaption;
}

bool IsMessageBox(HWND window) {
  HWND text = GetDlgItem(window, kBoxTextId);
  return text && ClassName(text) == "Static" && !GetMenu(window) &&
         !GetDlgItem(window, IDC_START_SEARCH);
}

bool Launch(const std::string& exe, const std::string& folder, PROCESS_INFORMATION* process,
            const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  *process = {};
  return CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, process) != FALSE;
}

}  // namespace kw::driver
