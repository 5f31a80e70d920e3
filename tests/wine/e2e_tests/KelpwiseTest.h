// What the end-to-end tests share: files and registry values seen from
// outside the program, the demo registry of fixtures/, a run of Kelpwise.exe
// driven from another process, and the base fixture that gives each test a
// private copy of the program folder in English.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/support/driver/ProgramWindows.h"

namespace kw::test {

// Generous: the first window of a fresh Wine prefix takes several seconds.
constexpr DWORD kWaitMs = 30000;
constexpr DWORD kSearchMs = 180000;
constexpr char kMainCaption[] = "Tarnwell Kelpwise";
constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr char kSearchAssistantKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

using driver::Text;
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs) {
  return driver::WaitUntil(done, timeoutMs);
}

// A file of the source tree: below KW_SOURCE_DIR (a Windows path) when set,
// else two folders above the test program (build/<tree>/e2e_tests.exe).
std::string SourceFile(const std::string& relativePath);
bool ReadFile(const std::string& path, std::string* bytes);
bool WriteFile(const std::string& path, const std::string& bytes);
void DeleteTree(const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);  // sorted names

// A value as stored: its type and its raw bytes.
struct StoredValue {
  DWORD type = 0;
  std::string data;
  bool operator==(const StoredValue& other) const {
    return type == other.type && data == other.data;
  }
};
StoredValue StringValue(const std::string& text);  // REG_SZ with its terminating zero
bool ReadValue(HKEY root, const std::string& key, const std::string& name, StoredValue* value);
bool WriteValue(HKEY root, const std::string& key, const std::string& name,
                const StoredValue& value);

// "[KEY] NAME" of the values of REGEDIT4 texts, upper-cased, sorted and
// without repeats; only those that the registry no longer holds when `goneOnly`.
std::vector<std::string> Values(const std::string& regText, bool goneOnly = false);
// Runs C:\windows\regedit.exe /s on the file. Its exit code says nothing
// about what it imported: check the values.
::testing::AssertionResult ImportWithRegedit(const std::string& file);

// fixtures/demo.reg in the prefix, with the live files its values name.
class Demo {
 public:
  Demo();
  ~Demo() { Remove(); }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;
  ::testing::AssertionResult Seed();
  void Remove();  // the demo's values, the keys that left empty, its files
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

struct Box {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

// A click on a button or a menu command, posted so that the handler's
// dialogs and boxes do not block the test.
void Click(HWND window, int id);
void PostKey(HWND window, UINT virtualKey);
void SetText(HWND dialog, int id, const std::string& text);
void SetCheck(HWND dialog, int id, bool checked);
// True once the window's thread handles messages again.
bool WaitUntilIdle(HWND window, DWORD timeoutMs = kWaitMs);

// A run of Kelpwise.exe; the next Start and the destructor end it if it still runs.
class KelpwiseProcess {
 public:
  KelpwiseProcess() = default;
  ~KelpwiseProcess() { Close(); }
  KelpwiseProcess(const KelpwiseProcess&) = delete;
  KelpwiseProcess& operator=(const KelpwiseProcess&) = delete;

  ::testing::AssertionResult Start(const std::string& programDir,
                                   const std::string& arguments = "");
  // Runs the folder's KpwStarter.exe from another working folder, waits
  // until it has ended, and takes the process it started, if any, as this run.
  ::testing::AssertionResult StartThroughStarter(const std::string& programDir);
  DWORD ExitCode() const;  // STILL_ACTIVE while it runs
  DWORD id() const { return m_info.dwProcessId; }
  bool IsRunning() const;
  bool WaitForExit(DWORD timeoutMs = kWaitMs) const;
  void Kill();

  // A visible top-level dialog of this process that `accept` takes.
  HWND WaitForWindow(const std::function<bool(HWND)>& accept, DWORD timeoutMs = kWaitMs) const;
  // A dialog other than the main window holding control `id`.
  HWND WaitForDialog(int id, const char* caption = nullptr) const;
  bool WaitForBox(Box* box, DWORD timeoutMs = kWaitMs) const;
  // Waits for a box, presses `button` and waits until the box is gone.
  ::testing::AssertionResult Answer(int button, Box* box = nullptr,
                                    DWORD timeoutMs = kWaitMs) const;
  ::testing::AssertionResult NoBox() const;

  // The list's cells, one string per row with tabs between the cells.
  std::vector<std::string> Rows(HWND list) const;
  ::testing::AssertionResult Select(HWND list, const std::vector<int>& rows) const;

 private:
  void Close();
  PROCESS_INFORMATION m_info = {};
};

// One section of the language file, read the way the program reads it:
// "NNNNN text" lines between the header and "[EOL]".
class Texts {
 public:
  ::testing::AssertionResult Load(const std::string& languageFile, const std::string& header);
  // A marker text when the section lacks `id`, so that comparisons fail readably.
  std::string operator()(int id) const;
  std::string operator()(int id, int number) const;  // its "%d" replaced

 private:
  std::map<int, std::string> m_texts;
};

class KelpwiseTest : public ::testing::Test {
 public:
  // The data of seeded history value `id`, and that value's line in a backup.
  static std::string HistoryData(char id);
  static std::string HistoryLine(char id);

 protected:
  void SetUp() override;
  void TearDown() override;

  std::string File(const std::string& name) const { return m_dir + "\\" + name; }
  std::string LanguageFile() const { return File(Setting("Product ID") + "trl.ini"); }
  // config.ini: a key line, then its value line.
  ::testing::AssertionResult Set(const std::string& key, const std::string& value) const;
  std::string Setting(const std::string& key) const;
  std::vector<std::string> ConfigLines() const;

  // Sets "Options" (unless empty), starts the program and takes its main window.
  void Start(const std::string& options = "");
  void TakeMainWindow();
  // Presses Start Search and waits for the end of the pass.
  ::testing::AssertionResult Search();
  ::testing::AssertionResult SearchEnded();
  // Presses Delete Entries and answers the box that follows with OK.
  ::testing::AssertionResult Delete(Box* box = nullptr);

  HWND List() const;
  std::vector<std::string> Rows() const { return m_process.Rows(List()); }
  std::vector<std::string> Backups() const { return FilesIn(File("backup")); }
  static void SeedHistory(const char* key, const std::string& ids);
  std::string RunMruRow(char id) const;

  std::string m_dir;
  Texts m_texts;  // English
  KelpwiseProcess m_process;
  HWND m_main = nullptr;
};

// The local time as backup file names carry it: yyyymmddhhmm.
std::string Timestamp(const SYSTEMTIME& time);
// The day config.ini keeps for the automatic start: days since 31 December
// 1999, every year divisible by four a leap year.
int DayNumber(const SYSTEMTIME& date);

}  // namespace kw::test
