// The command line run as an administrator's script runs it: no window, a
// report, an exit code; on the demo registry and in the situations that
// end a run otherwise.
#include <shlwapi.h>

#include <algorithm>

#include "tests/support/TsvReader.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

using Report = std::vector<std::vector<std::string>>;

constexpr char kLoopStart[] = "CLSID\\{6D2A4F30-5C3B-4E8A-9B71-0A1B2C3D4E02}";
constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class CommandLineTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    // The first program of a Wine session adds Wine's own volatile keys.
    ASSERT_EQ(Run("/unknown"), 2);
  }
  void TearDown() override {
    KelpwiseTest::TearDown();
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kLoopStart);
  }

  // Runs Kelpwise.exe with `arguments` to its end and returns its exit code;
  // a visible window of the process at any moment fails the test.
  int Run(const std::string& arguments) {
    SCOPED_TRACE(arguments);
    if (!m_process.Start(m_dir, arguments)) return -1;
    bool window = false;
    WaitUntil(
        [&] {
          window = window || driver::FindDialog(m_process.id(), [](HWND) { return true; });
          return !m_process.IsRunning();
        },
        kSearchMs);
    EXPECT_FALSE(window) << "the run made a window";
    EXPECT_FALSE(m_process.IsRunning()) << "the run did not end";
    return static_cast<int>(m_process.ExitCode());
  }

  std::string Bytes(const std::string& name) const {
    std::string bytes;
    ReadFile(File(name), &bytes);
    return bytes;
  }
  Report ReadReport(const std::string& name) const { return ReadTsv(Bytes(name)); }
  // One column of the entry lines (between the header and the summary).
  static std::vector<std::string> Column(const Report& report, size_t column) {
    std::vector<std::string> cells;
    for (size_t i = 1; i + 1 < report.size(); ++i) cells.push_back(report[i].at(column));
    return cells;
  }
  // The entry lines as the results list shows them: category, name, data.
  static std::string ListedRows(const Report& report) {
    std::string rows;
    for (size_t i = 1; i + 1 < report.size(); ++i) {
      rows += report[i].at(0) + "\t" + report[i].at(4) + "\t" + report[i].at(6) + "\n";
    }
    return rows;
  }

  Demo m_demo;
};

TEST_F(CommandLineTest, SearchListsTheWindowsRowsAndChangesNothingCleanDeletesThemRestorably) {
  std::string expectedRows, expectedBackup;
  ASSERT_TRUE(ReadFile(SourceFile("fixtures/expected-demo.tsv"), &expectedRows));
  ASSERT_TRUE(ReadFile(SourceFile("fixtures/expected-demo-backup.reg"), &expectedBackup));
  ASSERT_TRUE(m_demo.Seed());
  ASSERT_TRUE(Set("Options", "11111111111100"));

  EXPECT_EQ(Run("/SEARCH -report \"" + File("search report.txt") + "\""), 1);
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), std::vector<std::string>());
  EXPECT_EQ(Backups(), std::vector<std::string>());
  EXPECT_EQ(ListedRows(ReadReport("search report.txt")), expectedRows);

  EXPECT_EQ(Run("/clean"), 1);
  const std::vector<std::string> files = Backups();
  ASSERT_EQ(files.size(), 2u);
  const std::string backup = File("backup\\" + files[0]);
  EXPECT_EQ(files[1], "report - " + files[0].substr(9, 12) + ".txt");
  std::string written;
  ASSERT_TRUE(ReadFile(backup, &written));
  EXPECT_EQ(written, expectedBackup);
  // Exactly the backed-up values are gone: the demo's and the prefix's own.
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), Values(expectedBackup));
  EXPECT_EQ(ListedRows(ReadReport("backup\\" + files[1])), expectedRows);

  ASSERT_TRUE(ImportWithRegedit(backup));
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), std::vector<std::string>());
}

// Changes a listed value as soon as the first listed value is deleted.
DWORD WINAPI ChangeOnFirstDeletion(LPVOID event) {
  if (WaitForSingleObject(event, kSearchMs) == WAIT_OBJECT_0) {
    WriteValue(HKEY_CURRENT_USER, kSearchAssistantKey, "z", StringValue("changed"));
  }
  return 0;
}

TEST_F(CommandLineTest, EachExitCodeComesFromARealSituation) {
  const std::string toReport = " /report \"" + File("report.txt") + "\"";
  SeedHistory(kRunMruKey, "ab");
  ASSERT_TRUE(Set("Options", "10000000000000"));
  const std::string config = Bytes("config.ini"), blacklist = Bytes("blacklist.ini");
  const std::string seeded = std::string("[HKEY_CURRENT_USER\\") + kRunMruKey + "]\n\"a\"=\n\"b\"=\n";

  // 2: nothing is done or written.
  for (const char* wrong : {"/search /clean", "/search /report", "/cleanup", "/search more",
                            "/report x.txt", "/clean /clean"}) {
    EXPECT_EQ(Run(wrong), 2) << wrong;
  }
  EXPECT_EQ(Values(seeded, true), std::vector<std::string>());
  EXPECT_EQ(Bytes("config.ini"), config);
  EXPECT_EQ(Backups(), std::vector<std::string>());

  // /? shows the usage in a box and writes it to the report file.
  ASSERT_TRUE(m_process.Start(m_dir, "/?" + toReport));
  Box box;
  ASSERT_TRUE(m_process.Answer(IDOK, &box));
  EXPECT_EQ(box.caption, kMainCaption);
  EXPECT_NE(box.text.find("\n5\tanother error"), std::string::npos) << box.text;
  ASSERT_TRUE(m_process.WaitForExit());
  EXPECT_EQ(m_process.ExitCode(), 0u);
  EXPECT_EQ(Bytes("report.txt").find("Kelpwise.exe [/search | /clean] [/report FILE]\r\n"), 0u);

  // 3: no backup folder; nothing is deleted, the report says why.
  const std::string folder = File("backup");
  ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + ".moved").c_str()));
  EXPECT_EQ(Run("/clean" + toReport), 3);
  ASSERT_TRUE(MoveFileA((folder + ".moved").c_str(), folder.c_str()));
  EXPECT_EQ(Values(seeded, true), std::vector<std::string>());
  Report report = ReadReport("report.txt");
  EXPECT_EQ(Column(report, 8), std::vector<std::string>(2, "not deleted: backup not written"));
  ASSERT_EQ(report.back().size(), 7u);
  EXPECT_EQ(report.back()[5].find("error=backup not written, nothing deleted: " + folder), 0u);

  // 5: config.ini cannot be read.
  HANDLE locked = CreateFileA(File("config.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run("/search" + toReport), 5);
  CloseHandle(locked);
  report = ReadReport("report.txt");
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report.back()[5], "error=cannot open " + File("config.ini"));

  // 0: nothing found.
  ASSERT_TRUE(Set("Options", "00000000000000"));
  EXPECT_EQ(Run("/clean" + toReport), 0);

  // 5: a key loop goes into blacklist.ini and nothing is deleted.
  std::string path = kLoopStart;
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, path, "", StringValue("C:\\Kelpwise Loop\\top.dll")));
  for (int level = 1; level <= 9; ++level) path += "\\Sub";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(Set("Options", "00000000010000"));
  const std::string options = Bytes("config.ini");
  EXPECT_EQ(Run("/clean" + toReport), 5);
  EXPECT_EQ(Bytes("blacklist.ini"), blacklist + kLoopStart + "\r\n");
  EXPECT_EQ(Bytes("config.ini"), options);
  StoredValue top;
  EXPECT_TRUE(ReadValue(HKEY_CLASSES_ROOT, kLoopStart, "", &top));
  EXPECT_EQ(ReadReport("report.txt").back().at(5), std::string("key loop=") + kLoopStart);

  // 4: another program changes a listed value while the clean-up deletes
  // the many listed before it.
  constexpr int kMany = 5000;  // ample time for the change to land before their end
  for (int i = 0; i < kMany; ++i) {
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "v" + std::to_string(i),
                           StringValue("x")));
  }
  SeedHistory(kSearchAssistantKey, "z");
  ASSERT_TRUE(Set("Options", "11000000000000"));
  HKEY watched = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunMruKey, 0, KEY_NOTIFY, &watched), ERROR_SUCCESS);
  HANDLE deleted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_EQ(RegNotifyChangeKeyValue(watched, FALSE, REG_NOTIFY_CHANGE_LAST_SET, deleted, TRUE),
            ERROR_SUCCESS);
  HANDLE changer = CreateThread(nullptr, 0, ChangeOnFirstDeletion, deleted, 0, nullptr);
  EXPECT_EQ(Run("/clean" + toReport), 4);
  WaitForSingleObject(changer, kWaitMs);
  CloseHandle(changer);
  CloseHandle(deleted);
  RegCloseKey(watched);
  StoredValue z;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kSearchAssistantKey, "z", &z));
  EXPECT_EQ(z, StringValue("changed"));
  report = ReadReport("report.txt");
  ASSERT_EQ(report.size(), kMany + 5u);
  EXPECT_EQ(report[report.size() - 2].at(4), "z");
  EXPECT_EQ(report[report.size() - 2].at(8), "not deleted: changed since the search");
  EXPECT_EQ(report.back().at(3), "not deleted=1");
}

// Awkward names and data: the report reads back with a TSV reader, and the
// backup, imported by the system's registry editor, brings back every byte.
TEST_F(CommandLineTest, AwkwardNamesReadBackFromTheReportAndComeBackFromTheBackup) {
  ASSERT_EQ(GetACP(), 1252u) << "the expected UTF-8 below is that of Windows-1252";
  const std::pair<std::string, std::string> values[] = {
      {"say \"hi\"", "say \"hi\""},
      {"tab\there", "tab\there"},
      {"two\r\nlines", "two\r\nlines"},
      {"caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"@", "@"},
      {"a=b\\c\\", "a=b\\c\\"},
  };
  std::vector<std::string> expected;
  for (const auto& [ansi, utf8] : values) {
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, ansi, StringValue(ansi + "\tdata")));
    expected.push_back(utf8 + "|" + utf8 + "\tdata");
  }
  // A name the code page cannot hold is listed as the ANSI functions show it.
  HKEY runMru = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunMruKey, 0, KEY_ALL_ACCESS, &runMru), 0);
  RegSetValueExW(runMru, L"name\x4e2d", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
  expected.push_back("name?|x");
  ASSERT_TRUE(Set("Options", "10000000000000"));
  // Names with a line break or outside the code page cannot come back from a
  // backup, so they stay: 4.
  EXPECT_EQ(Run("/clean /report \"" + File("awkward.txt") + "\""), 4);
  EXPECT_EQ(RegQueryValueExW(runMru, L"name\x4e2d", nullptr, nullptr, nullptr, nullptr), 0);
  RegDeleteValueW(runMru, L"name\x4e2d");
  RegCloseKey(runMru);
  const Report report = ReadReport("awkward.txt");
  std::vector<std::string> read;
  for (size_t i = 1; i + 1 < report.size(); ++i) {
    read.push_back(report[i].at(4) + "|" + report[i].at(6));
  }
  std::sort(read.begin(), read.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(read, expected);

  const std::vector<std::string> files = Backups();
  ASSERT_FALSE(files.empty());
  ASSERT_TRUE(ImportWithRegedit(File("backup\\" + files[0])));
  for (const auto& [ansi, utf8] : values) {
    StoredValue value;
    EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, ansi, &value) &&
                value == StringValue(ansi + "\tdata"))
        << utf8;
  }
}

// 32-bit installers on 64-bit Windows register their system DLLs below
// System32 while the files lie in SysWOW64; the SharedDLLs key is shared by
// both kinds of program. Only the DLL in neither folder is listed.
TEST_F(CommandLineTest, SharedDllsInEitherSystemFolderAreNotListed) {
  char windows[MAX_PATH] = "", wow64[MAX_PATH] = "";
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const bool hasWow64 = GetSystemWow64DirectoryA(wow64, MAX_PATH) > 0;  // not in a 32-bit prefix
  const std::string files[] = {std::string(windows) + "\\System32\\kelpwise-only64.dll",
                               hasWow64 ? std::string(wow64) + "\\kelpwise-only32.dll" : ""};
  // Redirection off, so that a 32-bit test program reaches the real System32.
  PVOID redirection = nullptr;
  const BOOL off = Wow64DisableWow64FsRedirection(&redirection);
  const bool madeWow64 = hasWow64 && CreateDirectoryA(wow64, nullptr);
  for (const std::string& file : files) {
    if (!file.empty()) {
      EXPECT_TRUE(WriteFile(file, "")) << file;
    }
  }
  std::vector<std::string> registered;
  for (const char* name : {"only64", "only32", "neither"}) {
    // Spelled as a 32-bit installer would.
    registered.push_back(std::string(windows) + "\\SYSTEM32\\kelpwise-" + name + ".dll");
    if (name != std::string("only32") || hasWow64) {
      ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, kSharedDlls, registered.back(),
                             {REG_DWORD, std::string("\x01\0\0\0", 4)}));
    }
  }
  ASSERT_TRUE(Set("Options", "00000000100000"));
  EXPECT_EQ(Run("/search /report \"" + File("shared.txt") + "\""), 1);
  for (const std::string& name : registered) {
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, name.c_str());
  }
  for (const std::string& file : files) DeleteFileA(file.c_str());
  if (madeWow64) RemoveDirectoryA(wow64);
  if (off) Wow64RevertWow64FsRedirection(redirection);
  std::vector<std::string> listed;
  for (const std::string& name : Column(ReadReport("shared.txt"), 4)) {
    if (name.find("kelpwise-") != std::string::npos) listed.push_back(name);
  }
  EXPECT_EQ(listed, std::vector<std::string>{registered[2]});
}

}  // namespace
}  // namespace kw::test
