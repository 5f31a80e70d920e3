#include "bench/ProgramDriver.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "bench/AnswerProbe.h"
#include "bench/Stopwatch.h"
#include "res/ProductName.h"
#include "res/resource.h"
#include "tests/support/driver/Driver.h"

namespace kw::bench {

namespace {

using driver::Text;

constexpr DWORD kPollMs = 20;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kCloseTimeoutMs = 60000;
constexpr int kBoxTextId = 0xFFFF;  // the static that holds a message box's text

// The main window: the product's caption and a Start Search button.
bool IsMainWindow(HWND window) {
  return GetDlgItem(window, IDC_START_SEARCH) && Text(window) == kProductCaption;
}

// Message box text on one line: the static with id 0xFFFF, else every
// static joined.
std::string BoxText(HWND box) {
  HWND textStatic = GetDlgItem(box, kBoxTextId);
  std::string text = textStatic != nullptr ? Text(textStatic) : "";
  if (text.empty()) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (driver::ClassName(child) == "Static") text += Text(child) + " ";
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
  if (!driver::Launch("\"" + m_exePath + "\"", folder.c_str(), &m_process)) {
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
  return driver::FindDialog(m_process.dwProcessId,
                            [this](HWND dialog) { return dialog != m_main; });
}

bool ProgramDriver::WaitForMainWindow() {
  WaitForInputIdle(m_process.hProcess, kStartTimeoutMs);
  Stopwatch clock;
  while (clock.Seconds() * 1000 < kStartTimeoutMs) {
    if (ProcessEnded("while starting")) return false;
    if (HWND dialog = driver::FindDialog(m_process.dwProcessId, IsMainWindow)) {
      m_main = dialog;
      m_startButton = GetDlgItem(dialog, IDC_START_SEARCH);
      m_idleCaption = Text(m_startButton);
      return true;
    }
    if (HWND box = FindBox()) {
      if (GetDlgItem(box, IDC_START_SEARCH) == nullptr)
        return Fail("a message box came up at start: \"%s\" %s", Text(box).c_str(),
                    BoxText(box).c_str());
    }
    Sleep(kPollMs);
  }
  return Fail("no window \"%s\" with a Start Search button within %lu s", kProductCaption,
              kStartTimeoutMs / 1000);
}

bool ProgramDriver::RunPass(DriveResult* result) {
  std::fprintf(stderr, "drive: starting the search\n");
  Stopwatch clock;
  PostMessageA(m_startButton, BM_CLICK, 0, 0);
  AnswerProbe probe(m_main);
  std::string checking = Text(m_main, IDC_CHECKING);
  double lastChange = 0;
  for (;;) {
    const std::string shown = Text(m_main, IDC_CHECKING);
    if (shown != checking) {
      const double now = clock.Seconds();
      result->checkingStillSeconds = std::max(result->checkingStillSeconds, now - lastChange);
      lastChange = now;
      checking = shown;
      ++result->checkingChanges;
    }
    if (Text(m_startButton) != m_idleCaption) break;
    if (ProcessEnded("during the search")) return false;
    if (HWND box = FindBox())
      return Fail("a message box came up during the search: \"%s\" %s", Text(box).c_str(),
                  BoxText(box).c_str());
    if (clock.Seconds() * 1000 > m_timeoutMs)
      return Fail("the search did not end within %lu s", m_timeoutMs / 1000);
    Sleep(kPollMs);
  }
  result->passSeconds = clock.Seconds();
  result->longestWaitSeconds = probe.Stop();
  result->checkingStillSeconds =
      std::max(result->checkingStillSeconds, result->passSeconds - lastChange);
  result->statusAfterPass = Text(m_main, IDC_STATUS);
  DWORD_PTR count = 0;
  if (SendMessageTimeoutA(GetDlgItem(m_main, IDC_LIST_RESULTS), LVM_GETITEMCOUNT, 0, 0,
                          SMTO_ABORTIFHUNG, 10000, &count))
    result->listedRows = static_cast<long>(count);
  std::fprintf(stderr, "drive: search done in %.3f s: %s\n", result->passSeconds,
               result->statusAfterPass.c_str());
  return true;
}

bool ProgramDriver::RunDeletion(DriveResult* result) {
  m_resultsCaption = Text(m_startButton);
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
  if (Text(box) != kProductCaption)
    return Fail("expected the report \"%s\", got \"%s\": %s", kProductCaption, Text(box).c_str(),
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
  while (Text(m_startButton) == m_resultsCaption) {
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
    return Fail("the program did not close; a box is up: \"%s\" %s", Text(box).c_str(),
                BoxText(box).c_str());
  return Fail("the program did not close within %lu s", kCloseTimeoutMs / 1000);
}

}  // namespace kw::bench
