#include "tests/wine/e2e_tests/DemoFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kw::test {
namespace {

constexpr DWORD kRegeditTimeoutMs = 60000;
const char kFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kDemoFolder[] = "C:\\Program Files\\Kelpwise Demo";
const char kLiveFolder[] = "C:\\Program Files\\Kelpwise Demo\\Live";
const char* const kLiveFiles[] = {"live.exe", "livecom.dll", "livetlb.dll", "live.hlp",
                                  "livefull.ttf"};

std::string WindowsFolder() {
  char folder[MAX_PATH] = "";
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

// The demo's files inside the Windows folder: one live font, and files the
// demo's dead references name, which must not exist.
std::string LiveFont() { return WindowsFolder() + "\\Fonts\\KelpwiseLive.ttf"; }
std::vector<std::string> GoneWindowsFiles() {
  const std::string windows = WindowsFolder();
  return {windows + "\\Fonts\\KelpwiseGone.ttf", windows + "\\Fonts\\kwgone.fon",
          windows + "\\system32\\kwgoneshared.dll", windows + "\\help\\kwgone.hlp"};
}

void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

bool WriteSmallFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  return static_cast<bool>(file);
}

// "\\" -> "\", "\"" -> '"', and, as the importers do, "\x" -> "x". `pos`
// is at the opening quote and ends just past the closing one.
bool ReadQuoted(const std::string& line, size_t* pos, std::string* text) {
  text->clear();
  for (size_t i = *pos + 1; i < line.size(); ++i) {
    if (line[i] == '"') {
      *pos = i + 1;
      return true;
    }
    if (line[i] == '\\' && ++i == line.size()) return false;
    text->push_back(line[i]);
  }
  return false;
}

bool ReadHexBytes(const std::string& text, std::string* bytes) {
  bytes->clear();
  std::stringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    if (item.size() != 2) return false;
    char* end = nullptr;
    long byte = std::strtol(item.c_str(), &end, 16);
    if (*end) return false;
    bytes->push_back(static_cast<char>(byte));
  }
  return true;
}

bool ReadData(const std::string& text, StoredValue* value) {
  if (!text.empty() && text[0] == '"') {
    size_t pos = 0;
    std::string data;
    if (!ReadQuoted(text, &pos, &data) || pos != text.size()) return false;
    *value = StringValue(data);
    return true;
  }
  if (text.compare(0, 6, "dword:") == 0) {
    if (text.size() != 14) return false;
    char* end = nullptr;
    unsigned long number = std::strtoul(text.c_str() + 6, &end, 16);
    if (*end) return false;
    value->type = REG_DWORD;
    value->data.clear();
    for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<char>(number >> (8 * i)));
    return true;
  }
  if (text.compare(0, 4, "hex:") == 0) {
    value->type = REG_BINARY;
    return ReadHexBytes(text.substr(4), &value->data);
  }
  if (text.compare(0, 4, "hex(") == 0) {
    size_t close = text.find("):");
    if (close == std::string::npos) return false;
    value->type = std::strtoul(text.substr(4, close - 4).c_str(), nullptr, 16);
    return ReadHexBytes(text.substr(close + 2), &value->data);
  }
  return false;
}

// Splits "ROOT\path" into the root handle and the path.
bool SplitKey(const std::string& key, HKEY* root, std::string* path) {
  size_t separator = key.find('\\');
  *root = RootByName(key.substr(0, separator));
  *path = separator == std::string::npos ? "" : key.substr(separator + 1);
  return *root != nullptr;
}

std::string ParentPath(const std::string& path) {
  size_t separator = path.rfind('\\');
  return separator == std::string::npos ? "" : path.substr(0, separator);
}

std::string Printable(const StoredValue& value) {
  if (value.type == REG_SZ) return "\"" + value.data.substr(0, value.data.find('\0')) + "\"";
  return "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) + " bytes";
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
  std::string relative = relativePath;
  for (char& c : relative) {
    if (c == '/') c = '\\';
  }
  return root + "\\" + relative;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  *bytes = content.str();
  return true;
}

::testing::AssertionResult ParseRegFile(const std::string& text, RegFileContents* contents) {
  contents->keys.clear();
  contents->values.clear();
  std::stringstream lines(text);
  std::string line, key;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto failure = [&]() {
      return ::testing::AssertionFailure() << "line " << number << " not understood: " << line;
    };
    if (number == 1) {
      if (line != "REGEDIT4") return failure();
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.rfind(']');
      if (close == std::string::npos) return failure();
      key = line.substr(1, close - 1);
      contents->keys.push_back(key);
      continue;
    }
    if (key.empty()) return failure();
    RegFileValue value;
    value.key = key;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] != '"' || !ReadQuoted(line, &pos, &value.name)) {
      return failure();
    }
    if (pos >= line.size() || line[pos] != '=' || !ReadData(line.substr(pos + 1), &value.value)) {
      return failure();
    }
    contents->values.push_back(value);
  }
  return ::testing::AssertionSuccess();
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
  bool ended = WaitForSingleObject(info.hProcess, kRegeditTimeoutMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  if (!ended) return ::testing::AssertionFailure() << command << " did not end";
  return ::testing::AssertionSuccess();
}

DemoFixture::DemoFixture() {
  ::testing::AssertionResult loaded = Load();
  if (!loaded) {
    ADD_FAILURE() << loaded.message();
    return;
  }
  Remove();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    StoredValue value;
    if (ReadValue(HKEY_LOCAL_MACHINE, kFontsKey, std::string(name, length), &value)) {
      m_fontValues.emplace_back(std::string(name, length), value);
    }
  }
  RegCloseKey(key);
}

DemoFixture::~DemoFixture() {
  Remove();
  for (const auto& [name, value] : m_fontValues) {
    StoredValue now;
    if (!ReadValue(HKEY_LOCAL_MACHINE, kFontsKey, name, &now)) {
      WriteValue(HKEY_LOCAL_MACHINE, kFontsKey, name, value);
    }
  }
}

::testing::AssertionResult DemoFixture::Load() {
  std::string path = SourceFile("fixtures/demo.reg"), text;
  if (!ReadFileBytes(path, &text)) {
    return ::testing::AssertionFailure() << "cannot read " << path << " (set KW_SOURCE_DIR)";
  }
  return ParseRegFile(text, &m_contents) << " in " << path;
}

void DemoFixture::Remove() {
  for (const RegFileValue& value : m_contents.values) {
    HKEY root;
    std::string path;
    if (SplitKey(value.key, &root, &path)) DeleteValue(root, path, value.name);
  }
  // Keys the demo made: gone once nothing is left in them, and so are
  // their parents that only held them.
  for (const std::string& key : m_contents.keys) {
    HKEY root;
    std::string path;
    if (!SplitKey(key, &root, &path)) continue;
    while (!path.empty() && KeyIsEmpty(root, path)) {
      RegDeleteKeyA(root, path.c_str());
      path = ParentPath(path);
    }
  }
  DeleteFolderTree(kDemoFolder);
  DeleteFolderTree("C:\\Kelpwise Demo");
  DeleteFileA(LiveFont().c_str());
  for (const std::string& file : GoneWindowsFiles()) DeleteFileA(file.c_str());
}

::testing::AssertionResult DemoFixture::Seed() {
  if (m_contents.values.empty()) return ::testing::AssertionFailure() << "demo.reg not loaded";
  Remove();
  CreateDirectoryA(kDemoFolder, nullptr);
  CreateDirectoryA(kLiveFolder, nullptr);
  for (const char* file : kLiveFiles) {
    if (!WriteSmallFile(std::string(kLiveFolder) + "\\" + file,
                        std::string("Kelpwise demo file ") + file + "\r\n")) {
      return ::testing::AssertionFailure() << "cannot create " << kLiveFolder << "\\" << file;
    }
  }
  if (!WriteSmallFile(LiveFont(), "Kelpwise demo font placeholder\r\n")) {
    return ::testing::AssertionFailure() << "cannot create " << LiveFont();
  }
  ::testing::AssertionResult imported = ImportWithRegedit(SourceFile("fixtures/demo.reg"));
  if (!imported) return imported;
  return CheckImported();
}

::testing::AssertionResult DemoFixture::CheckImported() const {
  std::string missing;
  for (const RegFileValue& value : m_contents.values) {
    HKEY root;
    std::string path;
    StoredValue stored;
    if (!SplitKey(value.key, &root, &path) || !ReadValue(root, path, value.name, &stored)) {
      missing += "\n  [" + value.key + "] \"" + value.name + "\" is missing";
    } else if (!(stored == value.value)) {
      missing += "\n  [" + value.key + "] \"" + value.name + "\" holds " + Printable(stored) +
                 " instead of " + Printable(value.value);
    }
  }
  if (!missing.empty()) {
    return ::testing::AssertionFailure() << "demo.reg was not imported as written:" << missing;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
