// What the end-to-end tests share: files and registry values seen from
// outside the program, the demo registry of fixtures/, and the fixture that
// gives each test a private copy of the program folder in English and
// drives a run of Kelpwise.exe from another process.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "res/resource.h"
#include "tests/support/driver/Driver.h"

namespace kw::test {

using driver::Text;
using driver::WaitUntil;
using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using Lines = std::vector<std::string>;
using Value = std::pair<DWORD, std::string>;  // a registry value's type and raw bytes
// Generous: the first window of a fresh Wine prefix takes several seconds.
constexpr DWORD kWaitMs = 30000, kSearchMs = 180000;
constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where the tests make a key loop; TearDown removes it.
constexpr char kLoopKey[] = "CLSID\\{6D2A4F30-5C3B-4E8A-9B71-0A1B2C3D4E01}";

inline Lines Split(const std::string& text) {  // lines without their CR
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line.substr(0, line.find('\r')));
  return lines;
}

inline std::string ReadFile(const std::string& path) {  // empty when missing
  std::ostringstream content;
  content << std::ifstream(path, std::ios::binary).rdbuf();
  return content.str();
}

inline bool WriteFile(const std::string& path, const std::string& bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes);
}

inline Lines FilesIn(const std::string& folder) {  // sorted names; none of a missing folder
  Lines names;
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(folder, missing))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs `commandLine` in `folder` to its end: its exit code, -1 when it did
// not start or end. `processId` gets the process's id.
inline long RunToEnd(const std::string& commandLine, const char* folder = nullptr,
                     DWORD* processId = nullptr) {
  PROCESS_INFORMATION info;
  if (!driver::Launch(commandLine, folder, &info)) return -1;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(info.hProcess, 60000)) TerminateProcess(info.hProcess, 1);
  GetExitCodeProcess(info.hProcess, &code);
  if (processId) *processId = info.dwProcessId;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code == STILL_ACTIVE ? -1 : static_cast<long>(code);
}

// The ids of the running processes that `parent` started.
inline std::vector<DWORD> ChildProcesses(DWORD parent) {
  std::vector<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return children;
}

// The value of `variable` (unless null or unset), else the folder of the
// test program followed by `otherwise`.
inline std::string Beside(const char* variable, const std::string& otherwise) {
  if (const char* set = variable ? std::getenv(variable) : nullptr; set && *set) return set;
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return std::string(exe).substr(0, std::string(exe).rfind('\\')) + otherwise;
}

// A file of the source tree: below KW_SOURCE_DIR (a Windows path) when set,
// else two folders above the test program (build/<tree>/e2e_tests.exe).
inline std::string SourceFile(const std::string& name) {
  return Beside("KW_SOURCE_DIR", "\\..\\..") + "\\" + name;
}

inline Value Sz(const std::string& text) { return {REG_SZ, text + '\0'}; }

inline bool ReadValue(HKEY root, const std::string& key, const std::string& name,
                      Value* value = nullptr) {
  std::string data(1 << 16, '\0');
  DWORD type = 0, size = static_cast<DWORD>(data.size());
  const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
  if (RegGetValueA(root, key.c_str(), name.c_str(), flags, &type, &data[0], &size)) return false;
  if (value) *value = {type, data.substr(0, size)};
  return true;
}

inline bool WriteValue(HKEY root, const std::string& key, const std::string& name, const Value& v) {
  return !SHSetValueA(root, key.c_str(), name.c_str(), v.first, v.second.data(), v.second.size());
}

// The values of a REGEDIT4 text: root, key path, name and "[KEY] NAME"
// upper-cased, as the registry compares names.
struct RegValue {
  HKEY root;
  std::string path, name, line;
};
inline std::vector<RegValue> RegValues(const std::string& text) {
  std::vector<RegValue> values;
  std::string key;
  for (const std::string& line : Split(text)) {
    if (line[0] == '[') key = line.substr(1, line.rfind(']') - 1);
    if (line[0] != '"' && line.compare(0, 2, "@=") != 0) continue;
    std::string name;  // "\x" stands for x inside the quotes
    for (size_t i = 1; line[0] == '"' && i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') ++i;
      name += line[i];
    }
    std::string upper = "[" + key + "] " + name;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    const HKEY root = key.find("HKEY_CURRENT_USER") == 0    ? HKEY_CURRENT_USER
                      : key.find("HKEY_LOCAL_MACHINE") == 0 ? HKEY_LOCAL_MACHINE
                      : key.find("HKEY_USERS") == 0         ? HKEY_USERS
                                                            : HKEY_CLASSES_ROOT;
    values.push_back({root, key.substr(key.find('\\') + 1), name, upper});
  }
  return values;
}

// The lines of the values of REGEDIT4 texts, sorted and without repeats;
// only of those that the registry no longer holds when `goneOnly`.
inline Lines Values(const std::string& regText, bool goneOnly = false) {
  Lines lines;
  for (const RegValue& value : RegValues(regText))
    if (!goneOnly || !ReadValue(value.root, value.path, value.name)) lines.push_back(value.line);
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

// The prefix's regedit.exe; its exit code says nothing about what it imported.
inline bool Regedit(const std::string& file) {
  return RunToEnd("C:\\windows\\regedit.exe /s \"" + file + "\"") >= 0;
}

// Runs `f` when it goes out of scope, also after a failed assertion.
template <typename F>
struct AtExit {
  explicit AtExit(F then) : f(then) {}
  ~AtExit() { f(); }
  F f;
};

// fixtures/demo.reg in the prefix, with the live files its values name.
[[nodiscard]] inline AssertionResult SeedDemo() {
  // The live files that fixtures/seed.sh creates too, with their folders.
  for (const std::string& file : Split(ReadFile(SourceFile("fixtures\\live-files.txt")))) {
    SHCreateDirectoryExA(nullptr, file.substr(0, file.rfind('\\')).c_str(), nullptr);
    if (!WriteFile(file, "Kelpwise demo file\r\n")) return AssertionFailure() << file;
  }
  Regedit(SourceFile("fixtures\\demo.reg"));
  const Lines left = Values(ReadFile(SourceFile("fixtures\\demo.reg")), true);
  return left.empty() ? ::testing::AssertionSuccess() : AssertionFailure() << "kept: " << left[0];
}

// A click on a button or a menu command (BN_CLICKED is 0), posted so that
// the handler's dialogs and boxes do not block the test.
inline void Click(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// Clicks `button` of `dialog` and waits until the dialog is gone.
inline bool Close(HWND dialog, int button) {
  Click(dialog, button);
  return WaitUntil([&] { return !IsWindow(dialog); });
}

inline void SetText(HWND dialog, int id, const std::string& text) {
  driver::Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A message box: the static 0xFFFF that holds its text, and neither a menu
// nor the main window's buttons (dialog templates may hold statics 0xFFFF too).
inline bool IsMessageBox(HWND window) {
  HWND text = GetDlgItem(window, 0xFFFF);
  return text && driver::ClassName(text) == "Static" && !GetMenu(window) &&
         !GetDlgItem(window, IDC_START_SEARCH);
}

// One section of the language file, read the way the program reads it:
// "NNNNN text" lines between the header and "[EOL]".
struct Texts {
  explicit Texts(const std::string& languageFile = "", const std::string& header = "") {
    const Lines lines = Split(ReadFile(languageFile));
    auto line = std::find(lines.begin(), lines.end(), header);
    while (line != lines.end() && ++line != lines.end() && *line != "[EOL]")
      texts[std::atoi(line->c_str())] = line->substr(std::min<size_t>(6, line->size()));
  }
  // Its "%d" replaced by `number`; throws, failing the test, when the section lacks `id`.
  std::string operator()(int id, int number = -1) const {
    std::string text = texts.at(id);
    const size_t at = number < 0 ? std::string::npos : text.find("%d");
    return at == std::string::npos ? text : text.replace(at, 2, std::to_string(number));
  }
  std::map<int, std::string> texts;
};

class KelpwiseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    static int counter = 0;
    m_dir = Beside("TEMP", "") + "\\kelpwise-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    const std::string source = Beside("KW_PROGRAM_DIR", "\\Kelpwise");
    // Its files, not what a run from that folder left in its backup folder.
    ASSERT_EQ(RunToEnd("xcopy /i /q \"" + source + "\" \"" + m_dir + "\""), 0) << source;
    ASSERT_TRUE(CreateDirectoryA(File("backup").c_str(), nullptr));
    ASSERT_TRUE(Set("Language", "[1033]"));
    m_texts = Texts(File(Setting("Product ID") + "trl.ini"), "[1033]");
  }
  // Ends the run and takes out what the tests put into the prefix.
  void TearDown() override {
    End();
    if (!m_dir.empty()) RunToEnd("cmd /c rd /s /q \"" + m_dir + "\"");
    for (const RegValue& value : RegValues(ReadFile(SourceFile("fixtures\\demo.reg"))))
      SHDeleteValueA(value.root, value.path.c_str(), value.name.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, kRunMruKey);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Search Assistant");
    SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Kelpwise");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kLoopKey);
  }

  std::string File(const std::string& name) const { return m_dir + "\\" + name; }
  Lines Backups() const { return FilesIn(File("backup")); }
  // config.ini: a key line, then its value line.
  std::string Setting(const std::string& key) const {
    const Lines lines = Split(ReadFile(File("config.ini")));
    const auto found = std::find(lines.begin(), lines.end(), key);
    return found < lines.end() - 1 ? found[1] : "<no setting " + key + ">";
  }
  bool Set(const std::string& key, const std::string& value) const {
    Lines lines = Split(ReadFile(File("config.ini")));
    const auto found = std::find(lines.begin(), lines.end(), key);
    if (found >= lines.end() - 1) return false;
    found[1] = value;
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return WriteFile(File("config.ini"), text);
  }
  // The data of the history value named `id`.
  static std::string HistoryData(char id) {
    return std::string("notepad C:\\Kelpwise E2E\\") + id + ".txt";
  }

  // Ends the run, if any.
  void End() {
    if (Running()) TerminateProcess(m_run.hProcess, 1);
    Ended(10000);
    CloseHandle(m_run.hThread);
    CloseHandle(m_run.hProcess);
    m_run = {};
  }
  // Ends the run, if any, and starts Kelpwise.exe with `arguments`.
  bool Launch(const std::string& arguments = "") {
    End();
    const std::string exe = "\"" + File("Kelpwise.exe") + "\"";
    return driver::Launch(arguments.empty() ? exe : exe + " " + arguments, m_dir.c_str(), &m_run);
  }
  // Sets "Options" (unless empty), starts the program and takes its main window.
  [[nodiscard]] AssertionResult Start(const std::string& options = "") {
    if (!options.empty() && !Set("Options", options)) return AssertionFailure() << "no Options";
    if (!Launch()) return AssertionFailure() << "cannot start " << File("Kelpwise.exe");
    m_main = Find([](HWND window) {
      return GetDlgItem(window, IDC_START_SEARCH) && Text(window) == kProductCaption;
    });
    return AssertionResult(m_main != nullptr)
           << "no main window; the program " << (Running() ? "runs" : "ended");
  }
  bool Running() const { return m_run.hProcess && !Ended(0); }
  bool Ended(DWORD timeoutMs = kWaitMs) const {
    return m_run.hProcess && WaitForSingleObject(m_run.hProcess, timeoutMs) == WAIT_OBJECT_0;
  }
  // A dialog of the run that `accept` takes; null when none comes.
  HWND Find(const std::function<bool(HWND)>& accept, DWORD timeoutMs = kWaitMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = driver::FindDialog(m_run.dwProcessId, accept)) || !Running(); },
              timeoutMs);
    return found;
  }
  // Waits for a message box, presses `button`, waits until it is gone and
  // returns its text, or a marker the caller's comparison shows.
  std::string Answer(int button, DWORD timeoutMs = kWaitMs) const {
    HWND box = Find(IsMessageBox, timeoutMs);
    if (!box) return "<no message box>";
    const std::string text = Text(box, 0xFFFF);
    return Close(box, button) ? text : "<the box stays> " + text;
  }
  // The message box the main window's last handler showed, or null, without
  // waiting: a handler shows its box before the window's thread pumps again,
  // and only then does a message sent to the window return.
  HWND BoxNow() const {
    driver::Send(m_main, WM_NULL);
    return Find(IsMessageBox, 0);
  }
  // Presses Start Search (unless pressed) and waits for the end of the pass.
  bool Search(bool press = true) const {
    if (press) Click(m_main, IDC_START_SEARCH);
    const auto ended = [&] {
      return Text(m_main, IDC_START_SEARCH) == m_texts(TXT_BUTTON_DELETE) &&
             IsWindowEnabled(GetDlgItem(m_main, IDC_OPTIONS));
    };
    WaitUntil([&] { return ended() || Find(IsMessageBox, 0); }, kSearchMs);
    return ended() && !Find(IsMessageBox, 0);
  }
  // List-view messages are not marshalled between processes: `item` goes into
  // the program's memory with its text pointer aimed at a buffer behind it.
  // Returns that buffer's text, or a marker when the message failed.
  std::string SendItem(UINT message, WPARAM row, LVITEMA item) const {
    constexpr int kSize = 4096;
    char text[kSize] = "<message failed>";
    HANDLE process = m_run.hProcess;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof item + kSize, MEM_COMMIT, PAGE_READWRITE));
    item.pszText = remote + sizeof item;
    item.cchTextMax = kSize;
    HWND list = GetDlgItem(m_main, IDC_LIST_RESULTS);
    if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        driver::Send(list, message, row, reinterpret_cast<LPARAM>(remote))) {
      ReadProcessMemory(process, item.pszText, text, kSize - 1, nullptr);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
  }
  // The list's cells, one string per row with tabs between them.
  Lines Rows() const {
    Lines rows(driver::Send(GetDlgItem(m_main, IDC_LIST_RESULTS), LVM_GETITEMCOUNT));
    for (size_t row = 0; row < rows.size(); ++row)
      for (LVITEMA item = {}; item.iSubItem < 3; ++item.iSubItem)
        rows[row] += (item.iSubItem ? "\t" : "") + SendItem(LVM_GETITEMTEXTA, row, item);
    return rows;
  }

  std::string m_dir;
  Texts m_texts;  // English
  PROCESS_INFORMATION m_run = {};
  HWND m_main = nullptr;
};

}  // namespace kw::test
