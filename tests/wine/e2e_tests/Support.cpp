#include "tests/wine/e2e_tests/KelpwiseTest.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kw::test {
namespace {

const char kDemoFolder[] = "C:\\Program Files\\Kelpwise Demo";
const char* const kLiveFiles[] = {"live.exe", "livecom.dll", "livetlb.dll", "live.hlp",
                                  "livefull.ttf"};
const char* const kDemoWindowsFiles[] = {"Fonts\\KelpwiseLive.ttf", "Fonts\\KelpwiseGone.ttf",
                                         "Fonts\\kwgone.fon", "system32\\kwgoneshared.dll",
                                         "help\\kwgone.hlp"};

std::string WindowsFile(const std::string& name) {
  char folder[MAX_PATH] = "";
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

// "HKEY_CURRENT_USER\path" -> the root handle and the path.
HKEY SplitKey(const std::string& key, std::string* path) {
  const size_t separator = key.find('\\');
  *path = separator == std::string::npos ? "" : key.substr(separator + 1);
  const std::string root = key.substr(0, separator);
  if (root == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (root == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  return root == "HKEY_CLASSES_ROOT" ? HKEY_CLASSES_ROOT : nullptr;
}

bool KeyIsEmpty(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD subkeys = 1, values = 1;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return subkeys == 0 && values == 0;
}

}  // namespace

std::string SourceFile(const std::string& relativePath) {
  std::string root;
  if (const char* dir = std::getenv("KW_SOURCE_DIR")) root = dir;
  if (root.empty()) {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    root = exe;
    root = root.substr(0, root.find_last_of('\\')) + "\\..\\..";
  }
  if (root.back() == '\\') root.pop_back();
  std::string path = root + "\\" + relativePath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  *bytes = content.str();
  return static_cast<bool>(file);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  file.close();
  return static_cast<bool>(file);
}

void DeleteTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteTree(path + "\\" + name);
    } else {
      SetFileAttributesA((path + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((path + "\\" + name).c_str());
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryA(path.c_str());
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

StoredValue StringValue(const std::string& text) { return {REG_SZ, text + '\0'}; }

bool ReadValue(HKEY root, const std::string& key, const std::string& name, StoredValue* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, &value->type, nullptr, &size);
  value->data.assign(size + 1, '\0');
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExA(handle, name.c_str(), nullptr, &value->type,
                              reinterpret_cast<BYTE*>(&value->data[0]), &size);
  }
  value->data.resize(size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

bool WriteValue(HKEY root, const std::string& key, const std::string& name,
                const StoredValue& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG status =
      RegSetValueExA(handle, name.c_str(), 0, value.type,
                     reinterpret_cast<const BYTE*>(value.data.data()), value.data.size());
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

// The key and name of every value line of a REGEDIT4 text.
static std::vector<std::pair<std::string, std::string>> RegFileValues(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> values;
  std::istringstream lines(text);
  std::string key;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    if (line[0] == '[') key = line.substr(1, line.rfind(']') - 1);
    if (line.compare(0, 2, "@=") == 0) values.push_back({key, ""});
    if (line[0] != '"') continue;
    // "\x" stands for x inside the quotes.
    std::string name;
    for (size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') ++i;
      name += line[i];
    }
    values.push_back({key, name});
  }
  return values;
}

std::vector<std::string> Values(const std::string& regText, bool goneOnly) {
  std::vector<std::string> lines;
  for (const auto& [key, name] : RegFileValues(regText)) {
    std::string path;
    StoredValue value;
    const HKEY root = SplitKey(key, &path);
    if (!goneOnly || !root || !ReadValue(root, path, name, &value)) {
      // Upper-cased, as the registry compares names.
      std::string line = "[" + key + "] " + name;
      CharUpperBuffA(&line[0], static_cast<DWORD>(line.size()));
      lines.push_back(line);
    }
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

::testing::AssertionResult ImportWithRegedit(const std::string& file) {
  std::string command = "C:\\windows\\regedit.exe /s \"" + file + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return ::testing::AssertionFailure() << "cannot run " << command;
  }
  const bool ended = WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  if (!ended) return ::testing::AssertionFailure() << command << " did not end";
  return ::testing::AssertionSuccess();
}

Demo::Demo() {
  if (!ReadFile(SourceFile("fixtures/demo.reg"), &m_text)) {
    ADD_FAILURE() << "cannot read " << SourceFile("fixtures/demo.reg") << " (set KW_SOURCE_DIR)";
  }
  Remove();
}

void Demo::Remove() {
  const auto values = RegFileValues(m_text);
  for (const auto& [key, name] : values) {
    std::string path;
    if (HKEY root = SplitKey(key, &path)) SHDeleteValueA(root, path.c_str(), name.c_str());
  }
  // Keys the demo made go once nothing is left in them, and so do their
  // parents that only held them.
  for (const auto& [key, name] : values) {
    std::string path;
    HKEY root = SplitKey(key, &path);
    for (; root && !path.empty() && KeyIsEmpty(root, path); path.erase(path.rfind('\\'))) {
      RegDeleteKeyA(root, path.c_str());
      if (path.find('\\') == std::string::npos) break;
    }
  }
  DeleteTree(kDemoFolder);
  DeleteTree("C:\\Kelpwise Demo");
  for (const char* file : kDemoWindowsFiles) DeleteFileA(WindowsFile(file).c_str());
}

::testing::AssertionResult Demo::Seed() {
  Remove();
  const std::string live = std::string(kDemoFolder) + "\\Live";
  CreateDirectoryA(kDemoFolder, nullptr);
  CreateDirectoryA(live.c_str(), nullptr);
  for (const char* file : kLiveFiles) {
    if (!WriteFile(live + "\\" + file, "Kelpwise demo file\r\n")) {
      return ::testing::AssertionFailure() << "cannot create " << live << "\\" << file;
    }
  }
  if (!WriteFile(WindowsFile(kDemoWindowsFiles[0]), "Kelpwise demo font placeholder\r\n")) {
    return ::testing::AssertionFailure() << "cannot create the live font";
  }
  ::testing::AssertionResult imported = ImportWithRegedit(SourceFile("fixtures/demo.reg"));
  if (!imported) return imported;
  const std::vector<std::string> missing = Values(m_text, true);
  if (!missing.empty()) return ::testing::AssertionFailure() << "not imported: " << missing[0];
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
