// The command line as an administrator's script runs it: no window, a
// report, an exit code, a backup the registry editor takes back. (The demo
// registry's rows and backup are the window's test.)
#include "tests/support/TsvReader.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

bool EnablePrivilege(const char* name) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return false;
  TOKEN_PRIVILEGES privileges{1, {{{}, SE_PRIVILEGE_ENABLED}}};
  const bool enabled = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) &&
                       AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                       GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled;
}

// Another person's profile for /allusers, in the profile list, with the
// history values `values` in its RunMRU key: loaded (its keys made below
// HKEY_USERS\<SID>, which Wine keeps in memory), or saved to NTUSER.DAT in
// its folder and not loaded. Gone again at the end.
struct OtherProfile {
  std::string sid, folder;
  OtherProfile(const std::string& id, bool loaded, const Lines& values)
      : sid(id), folder(Beside("TEMP", "") + "\\kelpwise-profile-" + id) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : values)
      WriteValue(HKEY_USERS, sid + "\\" + kRunMruKey, name, Sz(name));
    SHSetValueA(HKEY_LOCAL_MACHINE, (kProfileList + ("\\" + sid)).c_str(), "ProfileImagePath",
                REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
    if (loaded) return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_USERS, sid.c_str(), 0, KEY_READ, &key) == 0) {
      saved = EnablePrivilege(SE_BACKUP_NAME) &&
              RegSaveKeyA(key, (folder + "\\NTUSER.DAT").c_str(), nullptr) == 0;
      RegCloseKey(key);
    }
    SHDeleteKeyA(HKEY_USERS, sid.c_str());
  }
  ~OtherProfile() {
    SHDeleteKeyA(HKEY_USERS, sid.c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (kProfileList + ("\\" + sid)).c_str());
    std::filesystem::remove_all(folder);
  }
  bool saved = false;
};

// The names below HKEY_USERS.
Lines UsersKeys() {
  Lines names;
  char name[256];
  for (DWORD i = 0, size = sizeof name;
       !RegEnumKeyExA(HKEY_USERS, i, name, &size, nullptr, nullptr, nullptr, nullptr);
       ++i, size = sizeof name)
    names.push_back(name);
  return names;
}

class CommandLineTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    // The first program of a Wine session adds Wine's own volatile keys.
    ASSERT_EQ(Run("/unknown"), 2);
  }
  // Runs Kelpwise.exe to its end: its exit code; -1 when it did not start or
  // end, -2 when a visible window of the process came at any moment.
  int Run(const std::string& arguments) {
    if (!Launch(arguments)) return -1;
    bool window = false;
    WaitUntil([&] { return (window |= !!Find([](HWND) { return true; }, 0)) || !Running(); },
              kSearchMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_run.hProcess, &code);
    return window ? -2 : code == STILL_ACTIVE ? -1 : static_cast<int>(code);
  }
  // Where a report goes that scripts/test.sh checks after the tests: in
  // KW_REPORTS_DIR when it is set.
  std::string Report(const std::string& name) const {
    const char* folder = std::getenv("KW_REPORTS_DIR");
    return folder ? std::string(folder) + "\\" + name : File(name);
  }
  // The entry lines (between the header and the summary), their `columns` tab-separated.
  Lines Entries(const std::string& name, const std::vector<size_t>& columns) const {
    const std::vector<Lines> report = ReadTsv(ReadFile(File(name)));
    Lines entries;
    for (size_t i = 1; i + 1 < report.size(); ++i) {
      entries.push_back(report[i].at(columns[0]));
      for (size_t c = 1; c < columns.size(); ++c) entries.back() += "\t" + report[i].at(columns[c]);
    }
    return entries;
  }
};

// Awkward names and data: the report reads back with a TSV reader, and the
// backup, imported by the system's registry editor, brings back every byte.
// Names with a line break or outside the code page cannot come back from a
// backup, so they stay: 4.
TEST_F(CommandLineTest, AwkwardNamesReadBackFromTheReportAndComeBackFromTheBackup) {
  ASSERT_EQ(GetACP(), 1252u) << "the expected UTF-8 below is that of Windows-1252";
  const std::pair<std::string, std::string> values[] = {
      {"say \"hi\"", "say \"hi\""},
      {"tab\there", "tab\there"},
      {"two\r\nlines", "two\r\nlines"},
      {"caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"@", "@"},
      {"a=b\\c\\", "a=b\\c\\"}};
  Lines expected = {"name?\tx"};  // a name the code page cannot hold, as the ANSI functions show it
  for (const auto& [ansi, utf8] : values) {
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, ansi, Sz(ansi + "\tdata")));
    expected.push_back(utf8 + "\t" + utf8 + "\tdata");
  }
  const wchar_t kRunMruW[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
  ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, kRunMruW, L"name\x4e2d", REG_SZ, L"x", 4), 0);
  ASSERT_TRUE(Set("Options", "10000000000000"));
  EXPECT_EQ(Run("/clean /report \"" + File("awkward.txt") + "\""), 4);
  EXPECT_EQ(SHGetValueW(HKEY_CURRENT_USER, kRunMruW, L"name\x4e2d", nullptr, nullptr, nullptr), 0);
  Lines read = Entries("awkward.txt", {4, 6});
  std::sort(read.begin(), read.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(read, expected);
  ASSERT_FALSE(Backups().empty());
  ASSERT_TRUE(Regedit(File("backup\\" + Backups()[0])));
  for (const auto& [ansi, utf8] : values) {
    Value value;
    EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, ansi, &value) &&
                value == Sz(ansi + "\tdata"))
        << utf8;
  }
}

// Two clean-ups started at once on the same values, with a backup of this
// minute already there: the runs write their backups beside it, every
// deleted value is in exactly one of them, and each backup, imported by the
// registry editor, brings back exactly its run's values.
TEST_F(CommandLineTest, TwoCleanUpsAtOnceLeaveEveryDeletedValueInExactlyOneBackup) {
  std::string seeded = std::string("[HKEY_CURRENT_USER\\") + kRunMruKey + "]\n";
  for (int i = 0; i < 3000; ++i) {
    const std::string name = "value " + std::to_string(i);
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, name, Sz(HistoryData('x') + name)));
    seeded += "\"" + name + "\"=\"\"\n";
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  char planted[64];  // this minute's backup name is taken already
  snprintf(planted, sizeof planted, "backup - %04d%02d%02d%02d%02d.reg", t.wYear, t.wMonth, t.wDay,
           t.wHour, t.wMinute);
  ASSERT_TRUE(WriteFile(File("backup\\") + planted, "planted"));
  ASSERT_TRUE(Set("Options", "10000000000000"));
  // The first run is the fixture's, which the tear-down ends whatever happens.
  ASSERT_TRUE(Launch("/clean /report \"" + File("0.txt") + "\""));
  const std::string other = "\"" + File("Kelpwise.exe") + "\" /clean /report \"" + File("1.txt");
  EXPECT_EQ(RunToEnd(other + "\"", m_dir.c_str()), 1);
  DWORD code = STILL_ACTIVE;
  EXPECT_TRUE(Ended(kSearchMs) && GetExitCodeProcess(m_run.hProcess, &code) && code == 1) << code;
  EXPECT_EQ(ReadFile(File("backup\\") + planted), "planted");
  Lines backups = Backups();
  backups.erase(std::find(backups.begin(), backups.end(), planted));
  ASSERT_FALSE(backups.empty());  // a run that finds every value gone already writes none
  Lines gone = Values(seeded, true);
  EXPECT_EQ(gone.size(), 3000u) << "values left";
  for (const std::string& backup : backups) {
    SCOPED_TRACE(backup);
    const Lines held = Values(ReadFile(File("backup\\" + backup)));
    Lines stillGone;
    std::set_difference(gone.begin(), gone.end(), held.begin(), held.end(),
                        std::back_inserter(stillGone));
    EXPECT_EQ(stillGone.size() + held.size(), gone.size()) << "values in no or both backups";
    ASSERT_TRUE(Regedit(File("backup\\" + backup)));
    gone = Values(seeded, true);
    EXPECT_EQ(gone, stillGone) << "what the backup brought back";
  }
  EXPECT_EQ(gone, Lines()) << "values no backup brought back";
}

// /allusers as a management tool runs it: the current user's history and
// that of a profile nobody is logged on to (its hive loaded from its file
// for the run), each named by its account, or by its SID where the SID has
// no name; afterwards no hive of the run is loaded.
TEST_F(CommandLineTest, AllUsersListsEveryProfilesHistoryAndLeavesNoHiveLoaded) {
  const OtherProfile other("S-1-5-21-9-9-9-1001", false, {"other a", "other b"});
  ASSERT_TRUE(other.saved);
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "own", Sz("own")));
  ASSERT_TRUE(Set("Options", "10000000000000"));
  const Lines before = UsersKeys();
  ASSERT_EQ(std::count(before.begin(), before.end(), other.sid), 0) << "the hive is not saved only";
  EXPECT_EQ(Run("/search /allusers /report \"" + File("all.txt") + "\""), 1);
  char user[256];
  DWORD size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  Lines entries = Entries("all.txt", {3, 4, 9});
  ASSERT_EQ(entries.size(), 3u) << ReadFile(File("all.txt"));
  const std::string own = entries[0].substr(0, entries[0].find('\\'));
  EXPECT_EQ(entries[0].substr(own.size()), std::string("\\") + kRunMruKey + "\town\t" +
                                               entries[0].substr(entries[0].rfind('\t') + 1));
  const std::string ownUser = entries[0].substr(entries[0].rfind('\t') + 1);
  EXPECT_EQ(ownUser.substr(ownUser.find('\\') + 1), user);
  EXPECT_EQ(Lines(entries.begin() + 1, entries.end()),
            Lines({other.sid + "\\" + kRunMruKey + "\tother a\t" + other.sid,
                   other.sid + "\\" + kRunMruKey + "\tother b\t" + other.sid}));
  EXPECT_EQ(UsersKeys(), before);
  EXPECT_TRUE(CopyFileA(File("all.txt").c_str(), Report("allusers.txt").c_str(), FALSE));
  EXPECT_EQ(Run("/search /allusers /report \"" + Report("allusers.json") + "\""), 1);
  // /restore into that profile loads its hive for the write and the read-back.
  ASSERT_TRUE(WriteFile(File("other.reg"), "REGEDIT4\r\n\r\n[HKEY_USERS\\" + other.sid + "\\" +
                                               kRunMruKey + "]\r\n\"other c\"=\"c\"\r\n\r\n"));
  EXPECT_EQ(Run("/restore \"" + File("other.reg") + "\" /report \"" + File("r.txt") + "\""), 1);
  EXPECT_EQ(Entries("r.txt", {8}), Lines{"restored"});
  EXPECT_EQ(UsersKeys(), before);
}

// A value's type and bytes; type ~0 when it is missing.
Value Raw(HKEY root, const std::string& key, const std::string& name) {
  Value value{~0u, ""};
  ReadValue(root, key, name, &value);
  return value;
}

// /clean /allusers on the demo registry and another loaded profile, then
// /restore of its backup: every value comes back byte for byte into the
// hive it came from, read back through the registry; a second /restore
// finds every one in place.
TEST_F(CommandLineTest, RestoreOfACleanUpsBackupBringsEveryValueBackByteForByte) {
  ASSERT_TRUE(SeedDemo());
  const Lines names = {"x", "say \"hi\"", "a\\b"};
  const OtherProfile other("S-1-5-21-9-9-9-1002", true, names);
  auto values = RegValues(ReadFile(SourceFile("fixtures\\expected-demo-backup.reg")));
  for (const std::string& name : names)
    values.push_back({HKEY_USERS, other.sid + "\\" + kRunMruKey, name, name});
  std::vector<Value> before;
  for (const auto& v : values) {
    before.push_back(Raw(v.root, v.path, v.name));
    ASSERT_NE(before.back().first, ~0u) << v.line << " not seeded";
  }
  ASSERT_EQ(Run("/clean /allusers /report \"" + File("clean.txt") + "\""), 1);
  ASSERT_EQ(Backups().size(), 1u);
  const std::string backup = File("backup\\" + Backups()[0]);
  const AtExit putBack([&] { Regedit(backup); });  // Wine's own fonts, should a step fail
  EXPECT_EQ(Values(ReadFile(backup), true).size(), values.size());
  EXPECT_NE(ReadFile(backup).find("[HKEY_USERS\\" + other.sid + "\\"), std::string::npos);
  EXPECT_EQ(Run("/restore \"" + backup + "\" /report \"" + File("1.txt") + "\""), 1);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(Raw(values[i].root, values[i].path, values[i].name), before[i]) << values[i].line;
  }
  EXPECT_EQ(Run("/restore \"" + backup + "\" /report \"" + File("2.txt") + "\""), 0);
  EXPECT_EQ(Entries("2.txt", {8}), Lines(values.size(), "already there"));
  EXPECT_EQ(Backups().size(), 1u) << "a restore that replaced nothing wrote a backup";
}

// A planted .reg file that also names a Run key and Image File Execution
// Options is refused whole: nothing of it is written, not even its value
// of a key a search reads.
TEST_F(CommandLineTest, RestoreRefusesABackupThatNamesAKeyOutsideAndWritesNothing) {
  const std::string ifeo =
      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\kw-e2e.exe";
  const AtExit cleanUp([&] {
    SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "kw-e2e");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, ifeo.c_str());
  });
  ASSERT_TRUE(WriteFile(File("planted.reg"),
                        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(kRunMruKey) +
                            "]\r\n\"a\"=\"x\"\r\n\r\n[HKEY_CURRENT_USER\\" + kRunKey +
                            "]\r\n\"kw-e2e\"=\"C:\\\\x.exe\"\r\n\r\n[HKEY_LOCAL_MACHINE\\" + ifeo +
                            "]\r\n\"Debugger\"=\"C:\\\\x.exe\"\r\n\r\n"));
  EXPECT_EQ(Run("/restore \"" + File("planted.reg") + "\" /report \"" + File("r.txt") + "\""), 5);
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, "a"));
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunKey, "kw-e2e"));
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ifeo.c_str(), 0, KEY_READ, &key), 0);
  EXPECT_NE(ReadFile(File("r.txt")).find("line 6: HKEY_CURRENT_USER\\" + std::string(kRunKey)),
            std::string::npos);
  EXPECT_TRUE(Backups().empty());
}

// The same runs with a JSON and a tab-separated report, written to
// KW_REPORTS_DIR (else the test's folder), where scripts/test.sh checks every
// JSON report against docs/report.schema.json and against the tab-separated
// one of the same name (tests/check_reports.py): a search of every kind of
// the demo registry with awkward history names, and a clean-up of those
// names, run again after /restore has put them back.
TEST_F(CommandLineTest, JsonReportHoldsWhatTheTabSeparatedReportHolds) {
  ASSERT_TRUE(SeedDemo());
  for (const std::string name : {"say \"hi\"", "tab\there", "two\r\nlines", "caf\xE9 \\"})
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, name, Sz(name + "\x1F|data")));
  const auto run = [&](const std::string& mode, const std::string& report) {
    return Run(mode + " /report \"" + Report(report) + "\"");
  };
  ASSERT_TRUE(Set("Options", "11111111111100"));
  EXPECT_EQ(run("/search", "search.txt"), 1);
  EXPECT_EQ(run("/search", "search.JSON"), 1);
  ASSERT_TRUE(Set("Options", "10000000000000"));
  EXPECT_EQ(run("/clean", "clean.json"), 4);  // the name with a line break stays
  ASSERT_EQ(Backups().size(), 1u);
  EXPECT_EQ(run("/restore \"" + File("backup\\" + Backups()[0]) + "\"", "restore.json"), 1);
  EXPECT_EQ(run("/clean", "clean.txt"), 4);
}

}  // namespace
}  // namespace kw::test
