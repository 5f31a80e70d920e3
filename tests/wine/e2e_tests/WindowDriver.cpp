#include "tests/wine/e2e_tests/WindowDriver.h"

#include <commctrl.h>

#include <cstring>

#include "tests/wine/e2e_tests/hook/MenuProbe.h"

namespace kw::test {
namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kMessageTimeoutMs = 10000;

// Memory inside the target process, for messages whose parameters point to
// structures (list-view messages are not marshalled between processes).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : m_process(process),
        m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (m_address) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return m_address != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(m_address) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(m_process, at(offset), data, size, nullptr) != 0;
  }
  std::string ReadString(size_t offset, size_t maxSize) const {
    std::string text(maxSize, '\0');
    if (!ReadProcessMemory(m_process, at(offset), &text[0], maxSize, nullptr)) return "";
    text.resize(strnlen(text.c_str(), maxSize));
    return text;
  }

 private:
  HANDLE m_process;
  void* m_address;
};

constexpr size_t kTextOffset = 1024;  // structure first, text buffer behind it
constexpr size_t kTextSize = 4096;

struct WindowSearch {
  DWORD processId;
  bool (*accept)(HWND);
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != kDialogClass ||
      !search->accept(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(DWORD processId, bool (*accept)(HWND)) {
  WindowSearch search = {processId, accept, nullptr};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

constexpr int kStartSearchButton = 1002;

bool IsMainWindow(HWND window) {
  return GetMenu(window) != nullptr && GetDlgItem(window, kStartSearchButton) != nullptr &&
         WindowText(window) == kMainCaption;
}

// Dialog templates may hold statics with the id -1 (0xFFFF) too, so a
// message box is told apart by its class of text control and by having
// neither a menu nor the main window's buttons.
bool IsMessageBox(HWND window) {
  HWND text = GetDlgItem(window, kMessageBoxTextId);
  return text && ClassName(text) == "Static" && GetMenu(window) == nullptr &&
         GetDlgItem(window, kStartSearchButton) == nullptr;
}

std::vector<std::string> SplitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  return parts;
}

std::string ModuleFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

}  // namespace

std::string WindowText(HWND window) {
  char text[kTextSize] = "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
    return "";
  }
  return std::string(text, strnlen(text, sizeof text));
}

std::string DialogItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? WindowText(item) : "<no control " + std::to_string(id) + ">";
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND FindChildDialog(HWND parent) { return FindWindowExA(parent, nullptr, kDialogClass, nullptr); }

KelpwiseProcess::~KelpwiseProcess() {
  Kill();
  if (m_info.hThread) CloseHandle(m_info.hThread);
  if (m_info.hProcess) CloseHandle(m_info.hProcess);
}

bool KelpwiseProcess::Start(const std::string& programDir, std::string* error) {
  std::string exe = programDir + "\\Kelpwise.exe";
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      programDir.c_str(), &startup, &m_info)) {
    *error = "cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

bool KelpwiseProcess::IsRunning() const {
  return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND KelpwiseProcess::WaitForMainWindow(DWORD timeoutMs) const {
  for (DWORD start = GetTickCount();;) {
    if (HWND window = FindTopLevel(id(), IsMainWindow)) return window;
    if (!IsRunning() || GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

bool KelpwiseProcess::WaitForMessageBox(DWORD timeoutMs, MessageBoxInfo* box) const {
  for (DWORD start = GetTickCount();;) {
    if (HWND window = FindTopLevel(id(), IsMessageBox)) {
      box->window = window;
      box->caption = WindowText(window);
      box->text = DialogItemText(window, kMessageBoxTextId);
      return true;
    }
    if (!IsRunning() || GetTickCount() - start > timeoutMs) return false;
    Sleep(kPollMs);
  }
}

void KelpwiseProcess::PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool KelpwiseProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return false;
  }
  if (exitCode) GetExitCodeProcess(m_info.hProcess, exitCode);
  return true;
}

void KelpwiseProcess::Kill() {
  if (!IsRunning()) return;
  TerminateProcess(m_info.hProcess, 1);
  WaitForSingleObject(m_info.hProcess, kMessageTimeoutMs);
}

std::vector<MenuEntry> KelpwiseProcess::ReadMenu(HWND window, std::string* error) const {
  std::string dllPath = ModuleFolder() + "\\" + kMenuProbeDllName;
  HMODULE dll = LoadLibraryA(dllPath.c_str());
  if (!dll) {
    *error = "cannot load " + dllPath;
    return {};
  }
  auto hook =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, kMenuProbeHookName)));
  std::string mappingName = kMenuProbeMappingPrefix + std::to_string(id());
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      kMenuProbeMappingSize, mappingName.c_str());
  std::string records;
  HHOOK hookHandle = nullptr;
  if (hook && mapping) {
    hookHandle =
        SetWindowsHookExA(WH_CALLWNDPROC, hook, dll, GetWindowThreadProcessId(window, nullptr));
  }
  if (hookHandle) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, RegisterWindowMessageA(kMenuProbeMessage), 0, 0, SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &ignored);
    UnhookWindowsHookEx(hookHandle);
    if (const char* view = static_cast<const char*>(
            MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kMenuProbeMappingSize))) {
      records.assign(view, strnlen(view, kMenuProbeMappingSize));
      UnmapViewOfFile(view);
    }
  } else {
    *error = "cannot hook the window's thread (error " + std::to_string(GetLastError()) + ")";
  }
  if (mapping) CloseHandle(mapping);
  FreeLibrary(dll);

  std::vector<MenuEntry> entries;
  for (const std::string& record : SplitOn(records, kRecordEnd)) {
    std::vector<std::string> fields = SplitOn(record, kFieldEnd);
    if (fields.size() != 4 || fields[2].size() != 1) continue;
    MenuEntry entry;
    entry.position = fields[0];
    entry.id = static_cast<unsigned>(std::stoul(fields[1]));
    entry.popup = fields[2] == "p";
    entry.separator = fields[2] == "s";
    entry.text = fields[3];
    entries.push_back(entry);
  }
  if (entries.empty() && error->empty()) *error = "the window's menu bar is empty or unreadable";
  return entries;
}

std::vector<std::string> KelpwiseProcess::ListColumnHeadings(HWND list) const {
  std::vector<std::string> headings;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int count = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  RemoteBuffer buffer(m_info.hProcess, kTextOffset + kTextSize);
  if (!buffer.ok()) return headings;
  for (int column = 0; column < count; ++column) {
    LVCOLUMNA request = {};
    request.mask = LVCF_TEXT;
    request.pszText = buffer.at(kTextOffset);
    request.cchTextMax = kTextSize;
    buffer.Write(kTextOffset, "", 1);
    buffer.Write(0, &request, sizeof request);
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(buffer.at(0)));
    headings.push_back(buffer.ReadString(kTextOffset, kTextSize));
  }
  return headings;
}

int KelpwiseProcess::ListRowCount(HWND list) const {
  return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string KelpwiseProcess::ListCellText(HWND list, int row, int column) const {
  RemoteBuffer buffer(m_info.hProcess, kTextOffset + kTextSize);
  if (!buffer.ok()) return "";
  LVITEMA request = {};
  request.iSubItem = column;
  request.pszText = buffer.at(kTextOffset);
  request.cchTextMax = kTextSize;
  buffer.Write(kTextOffset, "", 1);
  buffer.Write(0, &request, sizeof request);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.at(0)));
  return buffer.ReadString(kTextOffset, kTextSize);
}

}  // namespace kw::test
