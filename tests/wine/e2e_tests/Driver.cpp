#include "tests/wine/e2e_tests/KelpwiseTest.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include "res/resource.h"

namespace kw::test {
namespace {

using driver::ClassName;
using driver::Send;

constexpr DWORD kMessageMs = 10000;
constexpr size_t kTextSize = 4096;

// List-view messages are not marshalled between processes: `item` goes into
// the program's memory with its text pointer aimed at a buffer behind it.
// Returns that buffer's text; `ok` tells whether the message succeeded.
template <typename Item>
std::string SendItem(HANDLE process, HWND list, UINT message, WPARAM wParam, Item item,
                     bool* ok = nullptr) {
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof item + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  char text[kTextSize] = "";
  item.pszText = remote + sizeof item;
  item.cchTextMax = kTextSize;
  const bool sent = remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
                    WriteProcessMemory(process, item.pszText, "", 1, nullptr) &&
                    Send(list, message, wParam, reinterpret_cast<LPARAM>(remote));
  if (remote) {
    ReadProcessMemory(process, item.pszText, text, kTextSize - 1, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  if (ok) *ok = sent;
  return text;
}

}  // namespace

bool WaitUntilIdle(HWND window, DWORD timeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

void Click(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void PostKey(HWND window, UINT virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void SetText(HWND dialog, int id, const std::string& text) {
  Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetCheck(HWND dialog, int id, bool checked) {
  Send(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void KelpwiseProcess::Close() {
  Kill();
  if (m_info.hThread) CloseHandle(m_info.hThread);
  if (m_info.hProcess) CloseHandle(m_info.hProcess);
  m_info = {};
}

::testing::AssertionResult KelpwiseProcess::Start(const std::string& programDir,
                                                  const std::string& arguments) {
  Close();
  const std::string exe = programDir + "\\Kelpwise.exe";
  if (!driver::Launch(exe, programDir, &m_info, arguments)) {
    return ::testing::AssertionFailure() << "cannot start " << exe << " (" << GetLastError() << ")";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult KelpwiseProcess::StartThroughStarter(const std::string& programDir) {
  Close();
  const std::string exe = programDir + "\\KpwStarter.exe";
  char elsewhere[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, elsewhere);
  PROCESS_INFORMATION starter = {};
  if (!driver::Launch(exe, elsewhere, &starter)) {
    return ::testing::AssertionFailure() << "cannot start " << exe << " (" << GetLastError() << ")";
  }
  const bool ended = WaitForSingleObject(starter.hProcess, kWaitMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(starter.hProcess, 1);
  CloseHandle(starter.hThread);
  CloseHandle(starter.hProcess);
  if (!ended) return ::testing::AssertionFailure() << "the starter stays resident";
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != starter.dwProcessId) continue;
    m_info.dwProcessId = entry.th32ProcessID;
    m_info.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
    break;
  }
  CloseHandle(snapshot);
  return ::testing::AssertionSuccess();
}

bool KelpwiseProcess::IsRunning() const {
  return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool KelpwiseProcess::WaitForExit(DWORD timeoutMs) const {
  return m_info.hProcess && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD KelpwiseProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_info.hProcess) GetExitCodeProcess(m_info.hProcess, &code);
  return code;
}

void KelpwiseProcess::Kill() {
  if (!IsRunning()) return;
  TerminateProcess(m_info.hProcess, 1);
  WaitForSingleObject(m_info.hProcess, kMessageMs);
}

HWND KelpwiseProcess::WaitForWindow(const std::function<bool(HWND)>& accept,
                                    DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = driver::FindDialog(m_info.dwProcessId, accept);
        return found || !IsRunning();
      },
      timeoutMs);
  return found;
}

HWND KelpwiseProcess::WaitForDialog(int id, const char* caption) const {
  return WaitForWindow([&](HWND window) {
    return GetDlgItem(window, id) && !GetDlgItem(window, IDC_START_SEARCH) &&
           (!caption || Text(window) == caption);
  });
}

bool KelpwiseProcess::WaitForBox(Box* box, DWORD timeoutMs) const {
  box->window = WaitForWindow(driver::IsMessageBox, timeoutMs);
  if (!box->window) return false;
  box->caption = Text(box->window);
  box->text = Text(box->window, driver::kBoxTextId);
  return true;
}

::testing::AssertionResult KelpwiseProcess::Answer(int button, Box* box, DWORD timeoutMs) const {
  Box ignored;
  if (!box) box = &ignored;
  if (!WaitForBox(box, timeoutMs)) return ::testing::AssertionFailure() << "no message box";
  Click(box->window, button);
  if (!WaitUntil([&] { return !IsWindow(box->window); })) {
    return ::testing::AssertionFailure() << "the box \"" << box->text << "\" stayed open";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult KelpwiseProcess::NoBox() const {
  Box box;
  if (WaitForBox(&box, 1500))
    return ::testing::AssertionFailure() << "unexpected box: " << box.text;
  return ::testing::AssertionSuccess();
}

std::vector<std::string> KelpwiseProcess::Rows(HWND list) const {
  std::vector<std::string> rows;
  const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string cells;
    for (int column = 0; column < 3; ++column) {
      LVITEMA item = {};
      item.iSubItem = column;
      cells += (column ? "\t" : "") + SendItem(m_info.hProcess, list, LVM_GETITEMTEXTA, row, item);
    }
    rows.push_back(cells);
  }
  return rows;
}

::testing::AssertionResult KelpwiseProcess::Select(HWND list, const std::vector<int>& rows) const {
  // Row -1 stands for every row: first clear the whole selection.
  std::vector<std::pair<int, UINT>> changes = {{-1, 0}};
  for (int row : rows) changes.push_back({row, LVIS_SELECTED});
  for (const auto& [row, state] : changes) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = state;
    bool ok = false;
    SendItem(m_info.hProcess, list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item, &ok);
    if (!ok) return ::testing::AssertionFailure() << "cannot select row " << row;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
