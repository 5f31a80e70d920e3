#include "tests/wine/e2e_tests/WindowDriverCommands.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>

namespace kw::test {
namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kMessageTimeoutMs = 10000;
constexpr int kStartSearchButton = 1002;
// The icon of a message box: 20 on Windows, 1088 under Wine.
constexpr int kMessageBoxIconIds[] = {20, 1088};
// The file-name field of the open-file dialog: a combo box (cmb13) in the
// newer layout, an edit (edt1) in the older.
constexpr int kFileNameFieldIds[] = {1148, 1152};

struct DialogSearch {
  DWORD processId;
  int controlId;
  const char* caption;
  HWND found;
};

BOOL CALLBACK VisitDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != kDialogClass ||
      GetDlgItem(window, kStartSearchButton) != nullptr ||
      GetDlgItem(window, search->controlId) == nullptr) {
    return TRUE;
  }
  if (search->caption && WindowText(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FileNameField(HWND dialog) {
  for (int id : kFileNameFieldIds) {
    if (HWND field = GetDlgItem(dialog, id)) return field;
  }
  return nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return done();
  }
}

void PostCommand(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void PostKey(HWND window, UINT virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

void SetCheck(HWND dialog, int id, bool checked) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0,
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

bool IsChecked(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                      kMessageTimeoutMs, &state);
  return state == BST_CHECKED;
}

HWND FindProcessDialog(DWORD processId, int id, const char* caption) {
  DialogSearch search = {processId, id, caption, nullptr};
  EnumWindows(VisitDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForProcessDialog(DWORD processId, int id, DWORD timeoutMs, const char* caption) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindProcessDialog(processId, id, caption)) != nullptr; },
            timeoutMs);
  return found;
}

HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (int id : kFileNameFieldIds) {
          if ((found = FindProcessDialog(processId, id)) != nullptr) return true;
        }
        return false;
      },
      timeoutMs);
  return found;
}

::testing::AssertionResult ChooseFile(HWND fileDialog, const std::string& path) {
  HWND field = FileNameField(fileDialog);
  if (!field) return ::testing::AssertionFailure() << "the file dialog has no file-name field";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
  if (WindowText(field) != path) {
    return ::testing::AssertionFailure() << "the file-name field shows \"" << WindowText(field)
                                         << "\" instead of \"" << path << "\"";
  }
  PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
  if (!WaitUntil([&] { return !IsWindow(fileDialog); }, kMessageTimeoutMs)) {
    return ::testing::AssertionFailure() << "the file dialog stayed open";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult AnswerMessageBox(const KelpwiseProcess& process, int button,
                                            MessageBoxInfo* box, DWORD timeoutMs) {
  if (!process.WaitForMessageBox(timeoutMs, box)) {
    return ::testing::AssertionFailure() << "no message box came up";
  }
  KelpwiseProcess::PressButton(box->window, button);
  HWND window = box->window;
  if (!WaitUntil([&] { return !IsWindow(window); }, kMessageTimeoutMs)) {
    return ::testing::AssertionFailure() << "the box \"" << box->text << "\" stayed open";
  }
  return ::testing::AssertionSuccess();
}

std::vector<MessageBoxInfo> AnswerMessageBoxes(const KelpwiseProcess& process, int button,
                                               DWORD firstTimeoutMs, DWORD quietMs) {
  std::vector<MessageBoxInfo> boxes;
  MessageBoxInfo box;
  for (DWORD timeout = firstTimeoutMs; AnswerMessageBox(process, button, &box, timeout);
       timeout = quietMs) {
    boxes.push_back(box);
  }
  return boxes;
}

bool MessageBoxHasIcon(HWND box) {
  for (int id : kMessageBoxIconIds) {
    HWND icon = GetDlgItem(box, id);
    if (!icon || !IsWindowVisible(icon)) continue;
    DWORD_PTR handle = 0;
    SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &handle);
    if (handle) return true;
  }
  return false;
}

::testing::AssertionResult SelectListRows(const KelpwiseProcess& process, HWND list,
                                          const std::vector<int>& rows) {
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process.id());
  if (!target) return ::testing::AssertionFailure() << "cannot open the program's process";
  void* remote = VirtualAllocEx(target, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote != nullptr;
  // Row -1 stands for every row: first clear the whole selection.
  std::vector<std::pair<int, UINT>> changes = {{-1, 0}};
  for (int row : rows) changes.push_back({row, LVIS_SELECTED});
  for (const auto& change : changes) {
    if (!ok) break;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = change.second;
    DWORD_PTR result = 0;
    ok = WriteProcessMemory(target, remote, &item, sizeof item, nullptr) &&
         SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(change.first),
                             reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result) &&
         result;
  }
  if (remote) VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  CloseHandle(target);
  if (!ok) return ::testing::AssertionFailure() << "cannot set the list's selection";
  return ::testing::AssertionSuccess();
}

std::vector<std::string> ListRows(const KelpwiseProcess& process, HWND list) {
  std::vector<std::string> rows;
  const int count = process.ListRowCount(list);
  for (int row = 0; row < count; ++row) {
    rows.push_back(process.ListCellText(list, row, 0) + "\t" + process.ListCellText(list, row, 1) +
                   "\t" + process.ListCellText(list, row, 2));
  }
  return rows;
}

ScopedUserKeys::ScopedUserKeys(std::vector<std::string> keyPaths)
    : m_keyPaths(std::move(keyPaths)) {
  for (const std::string& path : m_keyPaths) SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

ScopedUserKeys::~ScopedUserKeys() {
  for (const std::string& path : m_keyPaths) SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

::testing::AssertionResult ScopedUserKeys::SetString(const std::string& keyPath,
                                                     const std::string& name,
                                                     const std::string& data) const {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return ::testing::AssertionFailure() << "cannot create HKCU\\" << keyPath;
  }
  LONG status =
      RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    return ::testing::AssertionFailure() << "cannot set " << name << " in HKCU\\" << keyPath;
  }
  return ::testing::AssertionSuccess();
}

bool ReadUserString(const std::string& keyPath, const std::string& name, std::string* data) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  char buffer[4096] = "";
  DWORD size = sizeof buffer - 1, type = 0;
  LONG status =
      RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return false;
  buffer[std::min<DWORD>(size, sizeof buffer - 1)] = '\0';
  *data = buffer;
  return true;
}

std::vector<std::string> RegFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.reg").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kw::test
