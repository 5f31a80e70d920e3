#include "bench/ProgramDriver.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "bench/Stopwatch.h"

namespace kw::bench {

namespace {

constexpr int kStartSearch = 1002;
constexpr int kStatusLine = 1004;
constexpr int kResultsList = 1001;
constexpr DWORD kPollMs = 20;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kCloseTimeoutMs = 60000;
const char kCaption[] = "Tarnwell Kelpwise";

// The text the window manager holds for a window; unlike WM_GETTEXT it
// does not wait for a program that is busy searching.
std::string WindowText(HWND window) {
  if (window == nullptr) return "";
  std::vector<wchar_t> wide(4096);
  const int length = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) * 2 + 1, '\0');
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0],
                                       static_cast<int>(text.size()), nullptr, nullptr);
  text.resize(size > 0 ? size : 0);
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

struct DialogSearch {
  DWORD processId;
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ClassOf(window) == "#32770") search->dialogs.push_back(window);
  return TRUE;
}

std::vector<HWND> DialogsOf(DWORD processId) {
  DialogSearch search{processId, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.dialogs;
}

// Message box text: the static with id 0xFFFF, else every static joined.
std::string BoxText(HWND box) {
  std::string text = WindowText(GetDlgItem(box, 0xFFFF));
  if (text.empty()) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (ClassOf(child) == "Static") text += WindowText(child) + " ";
  }
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

ProgramDriver::ProgramDriver(std::string exePath, DWORD phaseTimeoutSeconds)
    : m_exePath(std::move(exePath)), m_timeoutMs(phaseTimeoutSeconds * 1000) {}

ProgramDriver::~ProgramDriver() {
  if (m_process.hProcess != nullptr) {
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "drive: ending the program that is still running\n");
      TerminateProcess(m_process.hProcess, 1);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }
}

bool ProgramDriver::Fail(const char* format, ...) const {
  std::fprintf(stderr, "drive: ");
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fprintf(stderr, "\n");
  return false;
}

bool ProgramDriver::Run(DriveResult* result) {
  if (!Launch() || !WaitForMainWindow() || !RunPass(result) || !RunDeletion(result)) return false;
  ReadPeakMemory(result);
  return Close();
}

bool ProgramDriver::Launch() {
  std::string folder = m_exePath;
  const size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? "." : folder.substr(0, slash);
  std::string commandLine = "\"" + m_exePath + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(m_exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &m_process)) {
    m_process = PROCESS_INFORMATION{};
    return Fail("cannot start %s (error %lu)", m_exePath.c_str(), GetLastError());
  }
  return true;
}

bool ProgramDriver::ProcessEnded(const char* during) const {
  DWORD code = 0;
  if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(m_process.hProcess, &code);
  Fail("the program ended %s (exit code %lu)", during, code);
  return true;
}

HWND ProgramDriver::FindBox() const {
  for (HWND dialog : DialogsOf(m_process.dwProcessId))
    if (dialog != m_main && IsWindowVisible(dialog)) return dialog;
  return nullptr;
}

bool ProgramDriver::WaitForMainWindow() {
  WaitForInputIdle(m_process.hProcess, kStartTimeoutMs);
  Stopwatch clock;
  while (clock.Seconds() * 1000 < kStartTimeoutMs) {
    if (ProcessEnded("while starting")) return false;
    for (HWND dialog : DialogsOf(m_process.dwProcessId)) {
      HWND button = GetDlgItem(dialog, kStartSearch);
      if (button != nullptr && WindowText(dialog) == kCaption && IsWindowVisible(dialog)) {
        m_main = dialog;
        m_startButton = button;
        m_idleCaption = WindowText(button);
        return true;
      }
    }
    if (HWND box = FindBox()) {
      if (GetDlgItem(box, kStartSearch) == nullptr)
        return Fail("a message box came up at start: \"%s\" %s", WindowText(box).c_str(),
                    BoxText(box).c_str());
    }
    Sleep(kPollMs);
  }
  return Fail("no window \"%s\" with a Start Search button within %lu s", kCaption,
              kStartTimeoutMs / 1000);
}

bool ProgramDriver::RunPass(DriveResult* result) {
  std::fprintf(stderr, "drive: starting the search\n");
  Stopwatch clock;
  PostMessageA(m_startButton, BM_CLICK, 0, 0);
  for (;;) {
    if (WindowText(m_startButton) != m_idleCaption) break;
    if (ProcessEnded("during the search")) return false;
    if (HWND box = FindBox())
      return Fail("a message box came up during the search: \"%s\" %s", WindowText(box).c_str(),
                  BoxText(box).c_str());
    if (clock.Seconds() * 1000 > m_timeoutMs)
      return Fail("the search did not end within %lu s", m_timeoutMs / 1000);
    Sleep(kPollMs);
  }
  result->passSeconds = clock.Seconds();
  result->statusAfterPass = WindowText(GetDlgItem(m_main, kStatusLine));
  DWORD_PTR count = 0;
  if (SendMessageTimeoutA(GetDlgItem(m_main, kResultsList), LVM_GETITEMCOUNT, 0, 0,
                          SMTO_ABORTIFHUNG, 10000, &count))
    result->listedRows = static_cast<long>(count);
  std::fprintf(stderr, "drive: search done in %.3f s: %s\n", result->passSeconds,
               result->statusAfterPass.c_str());
  return true;
}

bool ProgramDriver::RunDeletion(DriveResult* result) {
  m_resultsCaption = WindowText(m_startButton);
  Stopwatch clock;
  PostMessageA(m_startButton, BM_CLICK, 0, 0);
  HWND box = nullptr;
  while ((box = FindBox()) == nullptr) {
    if (ProcessEnded("during the deletion")) return false;
    if (clock.Seconds() * 1000 > m_timeoutMs)
      return Fail("no report box within %lu s of the deletion click", m_timeoutMs / 1000);
    Sleep(kPollMs);
  }
  result->deleteSeconds = clock.Seconds();
  result->report = BoxText(box);
  if (WindowText(box) != kCaption)
    return Fail("expected the report \"%s\", got \"%s\": %s", kCaption, WindowText(box).c_str(),
                result->report.c_str());
  std::fprintf(stderr, "drive: deletion done in %.3f s: %s\n", result->deleteSeconds,
               result->report.c_str());

  HWND ok = GetDlgItem(box, IDOK);
  if (ok == nullptr) return Fail("the report box has no OK button");
  PostMessageA(ok, BM_CLICK, 0, 0);
  Stopwatch answer;
  while (IsWindow(box) && IsWindowVisible(box)) {
    if (answer.Seconds() * 1000 > kCloseTimeoutMs) return Fail("the report box did not close");
    Sleep(kPollMs);
  }
  return WaitForIdleCaption();
}

bool ProgramDriver::WaitForIdleCaption() {
  Stopwatch clock;
  while (WindowText(m_startButton) == m_resultsCaption) {
    if (ProcessEnded("after the deletion")) return false;
    if (clock.Seconds() * 1000 > kCloseTimeoutMs)
      return Fail("the Start Search button kept its caption \"%s\" after the deletion",
                  m_resultsCaption.c_str());
    Sleep(kPollMs);
  }
  return true;
}

void ProgramDriver::ReadPeakMemory(DriveResult* result) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(m_process.hProcess, &counters, sizeof(counters)))
    result->peakWorkingSet = counters.PeakWorkingSetSize;
  else
    Fail("cannot read the program's memory counters (error %lu)", GetLastError());
}

bool ProgramDriver::Close() {
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(m_process.hProcess, kCloseTimeoutMs) == WAIT_OBJECT_0) return true;
  if (HWND box = FindBox())
    return Fail("the program did not close; a box is up: \"%s\" %s", WindowText(box).c_str(),
                BoxText(box).c_str());
  return Fail("the program did not close within %lu s", kCloseTimeoutMs / 1000);
}

}  // namespace kw::bench
