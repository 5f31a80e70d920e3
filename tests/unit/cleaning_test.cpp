// Backing found values up to a REGEDIT4 file, then deleting them; the loop
// guard that adds to the ignore list (which ignorelist_fuzz proves); the
// actions on the results list's rows: removing the selected ones, handing a
// backup back to the system.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/CommandRun.h"
#include "app/ListCopy.h"
#include "app/RestoreRun.h"
#include "cleaning/BackupFile.h"
#include "cleaning/BackupReader.h"
#include "cleaning/BackupReimport.h"
#include "cleaning/Deletion.h"
#include "cleaning/LoopGuard.h"
#include "cleaning/RestoreScope.h"
#include "cleaning/ResultsListActions.h"
#include "system/FileError.h"
#include "system/UserProfiles.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/TsvReader.h"

namespace kw::test {

using namespace std::string_literals;

const RegRoot HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const char kMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char kDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kBackup[] = "backup/backup - 200612061405.reg";  // the clock says 2006-12-06 14:05

// The program folder with its backup folder, and the registry.
class CleaningDeletionTest : public ::testing::Test {
 protected:
  CleaningDeletionTest() { std::filesystem::create_directory(m_env.dir() + "/backup"); }
  // Stores a string value and returns its record as the search makes it.
  BackupRecord Found(RegRoot root, const std::string& path, const std::string& name) {
    m_reg.SetString(root, path, name, "x");
    return MakeValueRecord(root, path, *m_reg.Find(root, path, name));
  }

  FakeEnvironment m_env;
  MemoryRegistry& m_reg = m_env.m_registry;
  CSystemTools m_tools{m_env};
};

// Only values that still hold what the search read are backed up and
// deleted; which ones do is decided again right before each deletion. (That
// nothing else is deleted is proven by walk_fuzz.)
TEST_F(CleaningDeletionTest, BacksUpAndDeletesOnlyValuesThatStillHoldWhatWasFound) {
  m_reg.SetString(HKLM, "Software\\K", "", "default");
  m_reg.SetRaw(HKCU, kMru, "MRUList", kRegDword, "\7\0\0\0"s);
  m_reg.SetRaw(HKLM, kDlls, "C:\\Program Files\\a.dll", kRegDword, "\2\0\0\0"s);
  m_reg.SetString(RegRoot::ClassesRoot, "exefile\\shell\\open\\command", "", "x");
  std::vector<BackupRecord> records = {
      Found(HKCU, kMru, "a"),
      Found(HKCU, kMru, "gone before"),
      Found(HKLM, "Software\\K", "@"),
      Found(HKLM, "Software\\Denied", "v"),
      Found(HKCU, kMru, "foreign"),
      MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                      RegValue{"", kRegSz, "x\0"s}),
      MakeSharedDllRecord(kDlls, *m_reg.Find(HKLM, kDlls, "C:\\Program Files\\a.dll")),
      MakeValueRecord(HKCU, kMru, *m_reg.Find(HKCU, kMru, "MRUList")),  // NotString: skipped
      MakeValueRecord(HKLM, "Software\\NoSuchKey", RegValue{"v", kRegSz, "x\0"s}),
      BackupRecord{"[HKEY_CURRENT_CONFIG\\K]\n\"v\"=\"x\""},
      BackupRecord{"garbage"},
      Found(HKCU, kMru, "changed"),
      Found(HKCU, kMru, "retyped")};
  records[4].kind = RecordKind::NotRestorable;
  m_reg.DenyAccess(HKLM, "Software\\Denied");
  m_tools.m_strKeyPath = kMru;
  ASSERT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone before"), DeleteOutcome::Deleted);
  m_reg.SetString(HKCU, kMru, "changed", "after the search");
  // Once a is deleted, another program gives "retyped" the same bytes as another type.
  m_reg.afterEachDelete = [&] { m_reg.SetRaw(HKCU, kMru, "retyped", kRegExpandSz, "x\0"s); };

  const DeleteRunResult run = BackUpAndDelete(m_tools, records);

  // Deleted: a, gone before, @, exefile, shared DLL, key missing; failed: denied, not
  // restorable, unknown root, unreadable, changed twice.
  EXPECT_EQ(run.deletion.deleted, 6);
  EXPECT_EQ(run.deletion.failed, 6);
  using O = RecordOutcome;
  EXPECT_EQ(run.deletion.outcomes,
            (std::vector<O>{O::Deleted, O::AlreadyGone, O::Deleted, O::Refused, O::NotRestorable,
                            O::Deleted, O::Deleted, O::Skipped, O::AlreadyGone, O::Unreadable,
                            O::Unreadable, O::Changed, O::Changed}));
  EXPECT_TRUE(m_reg.Find(HKLM, "Software\\K", ""));
  EXPECT_TRUE(m_reg.Find(HKCU, kMru, "foreign"));
  const RegValue* retyped = m_reg.Find(HKCU, kMru, "retyped");
  EXPECT_TRUE(retyped && retyped->type == kRegExpandSz);
  std::string backup = "REGEDIT4\r\n";  // the values deleted, not those that changed
  for (const size_t i : {0, 2, 5, 6}) {
    backup += std::string(records[i].text).insert(records[i].text.find('\n'), "\r") + "\r\n\r\n";
  }
  EXPECT_EQ(m_env.ReadFile(kBackup), backup);
}

// A value changes during the deletion and the backup cannot be rewritten
// without it: the run says so instead of leaving a backup that would bring
// the old data back in silence.
TEST_F(CleaningDeletionTest, ABackupThatStillHoldsAChangedValueIsReported) {
  const std::vector<BackupRecord> records = {Found(HKCU, kMru, "a"), Found(HKCU, kMru, "b")};
  m_reg.afterEachDelete = [&] {
    m_reg.SetString(HKCU, kMru, "b", "changed");
    std::filesystem::remove(m_env.dir() + "/" + kBackup);  // a folder in the way of the rewrite
    std::filesystem::create_directory(m_env.dir() + "/" + kBackup);
  };
  const DeleteRunResult run = BackUpAndDelete(m_tools, records);
  EXPECT_TRUE(run.backupKeepsUndeleted);
}

// The file holds the header and the records, byte for byte, escaped for
// regedit (which records go in is proven above); a new backup never replaces
// an older one of the same minute.
TEST_F(CleaningDeletionTest, BackupFileIsGoldenAndNeverReplacesAnOlderOne) {
  const std::string stem = m_env.dir() + "\\backup\\backup - 200612061405";
  WriteBackupFile(
      *CreateBackupFile(m_env.dir(), "200612061405"),
      {MakeValueRecord(HKCU, kMru, RegValue{"a", kRegSz, "notepad\\1\0"s}),
       MakeSharedDllRecord(kDlls,
                           RegValue{"C:\\Program Files\\Gone\\gone.dll", kRegDword, "\3\0\0\0"s}),
       MakeSharedDllRecord(kDlls + "\\Sub"s, RegValue{"c:\\g\".dll", 11, "5\0"s}),
       MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                       RegValue{"", kRegSz, "\"C:\\Program Files\\g\xE4ne.exe\" \"%1\"\0"s}),
       MakeValueRecord(HKLM, "Software\\K", RegValue{"@", kRegSz, "line\r\nbreak\0"s}),
       MakeValueRecord(HKLM, "Software\\K", RegValue{"empty", kRegSz, ""})});
  const std::string golden = ReadBytes(KW_SOURCE_DIR "/tests/golden/backup.reg");
  EXPECT_EQ(m_env.ReadFile(kBackup), golden);
  m_env.WriteFile("backup/backup - 200612061405 (2).reg", "x");
  const DeleteRunResult run = BackUpAndDelete(m_tools, {Found(HKCU, "Software\\K", "v")});
  EXPECT_EQ(run.backupPath, stem + " (3).reg");
  EXPECT_EQ(m_env.ReadFile(kBackup), golden);
}

// The reader takes only the forms the backup writer makes (LF line ends
// too); anything else refuses the whole file, naming the line.
TEST(BackupReaderTest, RefusesEveryFormTheWriterDoesNotMakeNamingItsLine) {
  const std::string key = "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n";
  const struct {
    std::string text;
    int line;  // of the complaint; 0: accepted
  } rows[] = {
      {"REGEDIT4\n\n[HKEY_USERS\\S\\\\K\\]\n@=dword:0000012a\n[HKEY_CLASSES_ROOT]\n"
       "\"\\\\\\\"=\"=hex(7):61,00,ff\n\n[HKEY_LOCAL_MACHINE\\K]\n\"\"=hex:\n",
       0},
      {"REGEDIT4", 0},
      {"", 1},
      {"Windows Registry Editor Version 5.00\r\n", 1},
      {"REGEDIT4 \r\n", 1},
      {"REGEDIT4\r\n[-HKEY_CURRENT_USER\\K]\r\n", 2},
      {"REGEDIT4\r\n[HKEY_CURRENT_CONFIG\\K]\r\n@=\"x\"\r\n", 2},
      {key + "\"a\"=-\r\n", 3},
      {key + "@=\"a\\n\"\r\n", 3},
      {key + "@=\"a\"x\r\n", 3},
      {key + "@=\"a\r\"\r\n", 3},
      {key + "@=hex:61,6\r\n", 3},
      {key + "@=hex:6A\r\n", 3},
      {key + "@=hex:61,\\\r\n  62\r\n", 3},
      {key + "@=hex(1x):61\r\n", 3},
      {key + "@=dword:2a\r\n", 3},
      {key + "@=str:\"a\"\r\n", 3},
      {key + "\"a\\0\"=\"x\"\r\n", 3},
      {key + "\"a\0b\"=\"x\"\r\n"s, 3},
      {key + "@=\"a\"\r\n\"b\"=\"c\"\r\n", 4},
      {key + "\r\n@=\"a\"\r\n", 2},
      {key + "[HKEY_CURRENT_USER\\L]\r\n@=\"a\"\r\n", 2},
      {key, 2},
      {key + "@=\"a\"\r\n\r\nx\r\n", 5},
  };
  for (const auto& row : rows) {
    std::vector<BackupValue> values;
    std::string why;
    const bool read = ReadBackupText(row.text, &values, &why);
    EXPECT_EQ(read, row.line == 0) << row.text << why;
    if (row.line > 0) {
      EXPECT_EQ(why.substr(0, why.find(':')), "line " + std::to_string(row.line)) << row.text;
      EXPECT_TRUE(values.empty());
    }
  }
}

// A backup may write only where a search can find something: below a
// category's start key, through no subkey a walk skips, and REG_SZ data
// outside the SharedDLLs key.
TEST(RestoreScopeTest, OnlyKeysASearchReadsAreInside) {
  const RegRoot HKCR = RegRoot::ClassesRoot, HKU = RegRoot::Users;
  const std::string user = "S-1-5-21-1004336348-1177238915-682003330-1001\\";
  const struct {
    RegRoot root;
    std::string path;
    int category;  // -1: no walk reaches it
    uint32_t type = kRegSz;
    bool inside = true;
  } rows[] = {
      {HKCU, kMru, 0},
      {HKCU, "software\\MICROSOFT\\windows\\currentversion\\explorer\\runmru\\x", 0},
      {HKCU, kMru + "\\Microsoft"s, -1, kRegSz, false},
      {HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", -1, kRegSz, false},
      {HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*", 4},
      {HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt",
       -1, kRegSz, false},
      {HKLM, "SYSTEM\\CurrentControlSet\\Services\\x", -1, kRegSz, false},
      {HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\a.exe",
       -1, kRegSz, false},
      {HKLM, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 7},
      {HKLM, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 7, kRegDword, false},
      {HKLM, kDlls + "\\Sub"s, 8, 11},
      {HKLM, "Software\\Microsoft\\Windows\\Help\\x\\DirectX", -1, kRegSz, false},
      {HKCR, "\\.txt\\shell\\open\\command", 6},
      {HKCR, "CLSID\\{x}\\InprocServer32", 9},
      {HKCR, "TypeLib\\{x}\\1.0\\0\\win32", 10},
      {HKCR, "x\\interface\\y", -1, kRegSz, false},
      {HKU, user + kMru, 0},
      {HKU, "S-1-12-1-5-6\\" + std::string(kMru), 0},
      {HKU, ".DEFAULT\\" + std::string(kMru), -1, kRegSz, false},
      {HKU, "S-1-5-18\\" + std::string(kMru), -1, kRegSz, false},
      {HKU, "S-1-5-21-1-2-3-1001_Classes\\" + std::string(kMru), -1, kRegSz, false},
      {HKU, user + "Software\\Microsoft\\Windows\\Help", -1, kRegSz, false},
      {HKU, kMru, -1, kRegSz, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CategoryReaching(row.root, row.path), row.category) << row.path;
    const std::string outside =
        FirstOutsideScope({{row.root, NormalizeKeyPath(row.path), {"v", row.type, ""}, 9}});
    EXPECT_EQ(outside.substr(0, 8), row.inside ? "" : "line 9: ") << row.path;
  }
}

// A command-line run that cannot do its work: its exit code, and no value
// deleted without a backup, no backup where nothing was found, no file
// written through a link, an existing report kept whole when writing fails.
TEST(CleanCommandTest, ARunThatCannotFinishLosesNothing) {
  const CommandMode kClean = CommandMode::Clean, kSearch = CommandMode::Search;
  const struct {
    const char *name, *options;  // the "Options" line; null: none
    CommandMode mode;
    int code;
    const char* linked = "";  // made a link to the file or folder "elsewhere"
    bool busy = false, full = false, cleaned = false, loop = false;
  } rows[] = {{"all well", "1", kClean, 1, "", false, false, true},
              {"a key loop", "1", kClean, 5, "", false, false, false, true},
              {"nothing found", "01", kClean, 0},
              {"no Options line", nullptr, kClean, 5},
              {"another clean-up runs", "1", kClean, 5, "", true},
              {"backup folder is a link", "1", kClean, 3, "backup"},
              {"report is a link", "1", kSearch, 5, "report.txt"},
              {"disk full", "1", kClean, 3, "", false, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeEnvironment env;
    std::filesystem::create_directory(env.dir() + "/backup");
    env.WriteFile("config.ini", row.options ? "Options\r\n" + std::string(row.options) : "");
    env.WriteFile("blacklist.ini", "\r\n\r\n\r\n");
    env.WriteFile("report.txt", "older report");
    env.m_registry.SetString(HKCU, kMru, "a", "notepad");
    if (row.loop) env.m_registry.AddKey(HKCU, kMru + "\\X\\X\\X\\X\\X\\X\\X\\X"s);
    if (*row.linked) {
      std::filesystem::rename(env.dir() + "/" + row.linked, env.dir() + "/elsewhere");
      std::filesystem::create_symlink(env.dir() + "/elsewhere", env.dir() + "/" + row.linked);
    }
    env.m_otherCleanUpRuns = row.busy;
    {
      const FileSizeLimit limit(row.full ? 16 : RLIM_INFINITY);
      EXPECT_EQ(RunCommand({row.mode, env.dir() + "\\report.txt", ""}, env), row.code);
    }
    EXPECT_EQ(!env.m_registry.Find(HKCU, kMru, "a"), row.cleaned);
    EXPECT_EQ(std::filesystem::is_empty(env.dir() + "/backup"), !row.cleaned);
    if (row.mode == kSearch || row.full) {
      EXPECT_EQ(env.ReadFile(*row.linked ? "elsewhere" : "report.txt"), "older report");
    }
  }
}

// /allusers: the history lists of every person's profile, each under its
// own SID (a loaded one in place, another's hive loaded for the run and
// unloaded, its change written back), the system's accounts, .DEFAULT and
// the running account's own HKEY_CURRENT_USER not, and the ignore list
// applies below each profile's root; a hive that cannot be loaded is named
// and makes the exit code 4. Without administrator rights
// it is a usage error that changes nothing.
TEST(CleanCommandTest, AllUsersCleansEveryPersonsProfileAndUnloadsWhatItLoaded) {
  const std::string alice = "S-1-5-21-7-7-7-1001", bob = "S-1-5-21-7-7-7-1002",
                    gone = "S-1-5-21-7-7-7-1003", list = kProfileListKeyPath;
  for (const bool administrator : {true, false}) {
    SCOPED_TRACE(administrator);
    FakeEnvironment env;
    MemoryRegistry& reg = env.m_registry;
    std::filesystem::create_directory(env.dir() + "/backup");
    env.WriteFile("config.ini", "Options\r\n1");
    env.WriteFile("blacklist.ini", "\r\n\r\n\r\n"s + kMru + "\r\n");  // below each user's root
    env.m_administrator = administrator;
    env.m_accounts[alice] = "PC\\alice";
    for (const std::string& sid : {alice, bob, gone, "S-1-5-18"s}) {
      reg.SetRaw(HKLM, list + "\\" + sid, "ProfileImagePath", kRegExpandSz, "C:\\U\\" + sid + '\0');
    }
    for (const std::string& key : {alice, ".DEFAULT"s, alice + "_Classes", "S-1-5-18"s}) {
      reg.SetString(RegRoot::Users, key + "\\" + kMru, "a", "calc");
    }
    reg.SetString(HKCU, kMru, "own", "cmd");
    reg.SetString(RegRoot::Users, alice + "\\" + kMru + "\\Ignored", "deep", "cmd");
    reg.SetString(RegRoot::Users, "hive\\"s + kMru, "b", "notepad");
    env.m_hiveFiles["C:\\U\\" + bob + "\\NTUSER.DAT"] = reg.Detach(RegRoot::Users, "hive");

    CommandLine command{CommandMode::Clean, env.dir() + "\\report.txt", ""};
    command.allUsers = true;
    EXPECT_EQ(RunCommand(command, env), administrator ? 4 : 2);
    EXPECT_EQ(env.m_hivesLoaded, 0);
    const auto report = ReadTsv(env.ReadFile("report.txt"));
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report[0].back(), "User");
    if (!administrator) {
      EXPECT_NE(report.back()[5].find("administrator"), std::string::npos);
      EXPECT_EQ(report.back()[6], "exit code=2");
      EXPECT_TRUE(reg.Find(RegRoot::Users, alice + "\\" + kMru, "a"));
      continue;
    }
    ASSERT_EQ(report.size(), 5u);  // header, a, b, the profile not loaded, summary
    const auto line = [](std::vector<std::string> f) {
      return f[2] + "|" + f[3] + "|" + f[4] + "|" + f[9];
    };
    EXPECT_EQ(line(report[1]), "HKEY_USERS|" + alice + "\\" + kMru + "|a|PC\\alice");
    EXPECT_EQ(line(report[2]), "HKEY_USERS|" + bob + "\\" + kMru + "|b|" + bob);
    EXPECT_EQ(report[3][3] + "|" + report[3][9], gone + "|" + gone);
    EXPECT_EQ(report[3][8], "profile not searched: no such hive file");
    EXPECT_FALSE(reg.Find(RegRoot::Users, alice + "\\" + kMru, "a"));
    for (const std::string& kept : {".DEFAULT"s, alice + "_Classes", "S-1-5-18"s}) {
      EXPECT_TRUE(reg.Find(RegRoot::Users, kept + "\\" + kMru, "a")) << kept;
    }
    EXPECT_TRUE(reg.Find(HKCU, kMru, "own"));
    EXPECT_TRUE(reg.Find(RegRoot::Users, alice + "\\" + kMru + "\\Ignored", "deep"));
    reg.Attach(RegRoot::Users, "bob now", env.m_hiveFiles["C:\\U\\" + bob + "\\NTUSER.DAT"]);
    EXPECT_FALSE(reg.Find(RegRoot::Users, "bob now\\"s + kMru, "b"));
    const std::string backup = env.ReadFile(kBackup);
    EXPECT_NE(backup.find("[HKEY_USERS\\" + bob + "\\Software\\"), std::string::npos);
  }
}

// Writes of "lossy" keep other bytes than asked for, writes of "refused"
// fail, and another program writes "racing" again after each read of it.
struct LossyEnvironment : FakeEnvironment {
  struct : MemoryRegistry {
    RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                       const std::string& data) override {
      if (name == "refused") return RegStatus::AccessDenied;
      return MemoryRegistry::SetValue(key, name, type, name == "lossy" ? data + "x" : data);
    }
    RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override {
      const RegStatus status = MemoryRegistry::QueryValue(key, name, value);
      if (name == "racing" && status == RegStatus::Ok) SetString(HKCU, kMru, name, "again");
      return status;
    }
  } m_lossy;
  Registry& registry() override { return m_lossy; }
};

// Each value comes back, is there already, replaces other data (which a new
// backup keeps, and restoring that brings back), or says why it did not.
TEST(RestoreCommandTest, EveryValueComesBackOrSaysWhyAndReplacedDataCanBeRestoredToo) {
  LossyEnvironment env;
  std::filesystem::create_directory(env.dir() + "/backup");
  auto& reg = env.m_lossy;
  const std::string mru = "[HKEY_CURRENT_USER\\"s + kMru, user = "[HKEY_USERS\\S-1-5-21-7-1001\\";
  reg.SetString(HKCU, kMru, "there", "x");
  reg.SetString(HKCU, kMru, "changed", "new");
  reg.SetString(HKCU, kMru, "racing", "before");
  reg.SetRaw(HKCU, kMru, "retyped", kRegDword, "\1\0\0\0"s);
  reg.SetRaw(HKLM, kDlls, "c:\\a.dll", kRegDword, "\7\0\0\0"s);
  reg.DenyAccess(HKCU, kMru + "\\Denied"s);
  reg.AddKey(RegRoot::Users, "S-1-5-21-7-1001");
  const struct {
    std::string key, value, outcome;
  } rows[] = {
      {mru, "\"there\"=\"x\"", "already there"},
      {mru, "\"gone\"=\"y\"", "restored"},
      {mru + "\\New\\Key", "@=\"z\"", "restored"},
      {mru, "\"changed\"=\"old\"", "replaced"},
      {"[HKEY_LOCAL_MACHINE\\"s + kDlls, "\"c:\\\\a.dll\"=dword:00000002", "replaced"},
      {mru, "\"retyped\"=\"s\"", "not restored: the data there now cannot be backed up"},
      {mru + "\\Denied", "\"d\"=\"x\"", "not restored: its key could not be read"},
      {mru, "\"lossy\"=\"l\"", "not restored: it reads back different"},
      {mru, "\"refused\"=\"r\"", "not restored: the registry refused it"},
      {mru, "\"racing\"=\"r\"", "not restored: changed while restoring"},
      {user + kMru, "\"u\"=\"1\"", "restored"},
      {"[HKEY_USERS\\S-1-5-21-7-1002\\"s + kMru, "\"v\"=\"2\"",
       "not restored: the user's profile is not loaded"},
  };
  std::string backup = "REGEDIT4\r\n";
  for (const auto& row : rows) backup += row.key + "]\r\n" + row.value + "\r\n\r\n";
  env.WriteFile("in.reg", backup);
  const std::string report = env.dir() + "\\report.txt";
  ASSERT_EQ(RunRestore({CommandMode::Restore, report, env.dir() + "\\in.reg"}, env), 4);
  const auto lines = ReadTsv(env.ReadFile("report.txt"));
  ASSERT_EQ(lines.size(), std::size(rows) + 2);
  for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(lines[i + 1][8], rows[i].outcome) << i;
  const std::string safety = env.dir() + "\\backup\\backup - 200612061405.reg";
  EXPECT_EQ(lines.back(),
            (std::vector<std::string>{"Summary", "restored=3", "already there=1", "replaced=2",
                                      "not restored=6", "backup=" + safety, "exit code=4"}));
  EXPECT_EQ(reg.Find(HKCU, kMru + "\\New\\Key"s, "")->data, "z\0"s);
  EXPECT_EQ(reg.Find(HKCU, kMru, "retyped")->type, kRegDword);
  EXPECT_EQ(reg.Find(HKLM, kDlls, "c:\\a.dll")->data, "\2\0\0\0"s);
  EXPECT_EQ(reg.Find(RegRoot::Users, "S-1-5-21-7-1001\\"s + kMru, "u")->data, "1\0"s);
  EXPECT_FALSE(reg.Find(RegRoot::Users, "S-1-5-21-7-1002\\"s + kMru, "v"));
  EXPECT_FALSE(reg.Find(HKCU, kMru, "refused"));
  EXPECT_EQ(
      env.ReadFile("backup/backup - 200612061405.reg"),
      "REGEDIT4\r\n" + mru +
          "]\r\n\"changed\"=\"new\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\" +
          "CurrentVersion\\SharedDLLS]\r\n\"c:\\\\a.dll\"=dword:00000007\r\n\r\n" + mru +
          "]\r\n\"racing\"=\"before\"\r\n\r\n");
  EXPECT_EQ(RunRestore({CommandMode::Restore, report, safety}, env), 1);
  EXPECT_EQ(reg.Find(HKCU, kMru, "changed")->data, "new\0"s);
  EXPECT_EQ(reg.Find(HKLM, kDlls, "c:\\a.dll")->data, "\7\0\0\0"s);
}

// A restore that must not write: nothing is written, and the exit code says why.
TEST(RestoreCommandTest, ARefusedOrBlockedRestoreWritesNothing) {
  const std::string values = "REGEDIT4\r\n[HKEY_CURRENT_USER\\"s + kMru +
                             "]\r\n\"a\"=\"new\"\r\n\r\n[HKEY_CURRENT_USER\\" + kMru +
                             "]\r\n\"b\"=\"b\"\r\n";
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const struct {
    const char* name;
    std::string text;
    int code;
    bool busy = false, linked = false;
  } rows[] = {
      {"empty backup", "REGEDIT4\r\n", 0},
      {"no backup", "", 5},
      {"not a backup", values + "\"c\"=\"c\"\r\n", 5},
      {"a key outside", values + "[HKEY_CURRENT_USER\\" + run + "]\r\n\"evil\"=\"c:\\\\e.exe\"\r\n",
       5},
      {"another clean-up runs", values, 5, true},
      {"safety backup not written", values, 3, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeEnvironment env;
    std::filesystem::create_directory(env.dir() + (row.linked ? "/elsewhere" : "/backup"));
    if (row.linked)
      std::filesystem::create_directory_symlink(env.dir() + "/elsewhere", env.dir() + "/backup");
    if (!row.text.empty()) env.WriteFile("in.reg", row.text);
    env.m_registry.SetString(HKCU, kMru, "a", "old");
    env.m_otherCleanUpRuns = row.busy;
    EXPECT_EQ(
        RunRestore({CommandMode::Restore, env.dir() + "\\r.txt", env.dir() + "\\in.reg"}, env),
        row.code);
    EXPECT_EQ(env.m_registry.Find(HKCU, kMru, "a")->data, "old\0"s);
    EXPECT_FALSE(env.m_registry.Find(HKCU, kMru, "b") || env.m_registry.Find(HKCU, run, "evil"));
    EXPECT_TRUE(std::filesystem::is_empty(env.dir() + (row.linked ? "/elsewhere" : "/backup")));
  }
}

// The entry is the key in front of the chain of eight equal names.
TEST(CleaningLoopGuardTest, FiresOnEightEqualTrailingComponents) {
  const auto chain = [](const std::string& name) {
    std::string path;
    for (int i = 0; i < kLoopLength; ++i) path += "\\" + name;
    return path;
  };
  const struct {
    std::string path;
    std::optional<std::string> entry;
    std::string walkStart = "";
  } rows[] = {
      {"CLSID\\{id}" + chain("Sub"), "CLSID\\{id}"},
      {"CLSID\\{id}\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // seven
      {"A\\X\\X" + chain("X"), "A"},                                     // more than eight
      {"X\\X\\X\\X\\X\\X\\X\\X", "X"},  // nothing in front of the chain: its first key
      // A name with a line break: the nearest key above it.
      {"K\\l\rm\\n" + chain("X"), "K"},
      // A chain that begins at the walk's start key or above: an entry above
      // the start key would not be looked up, the child on the way is.
      {"S\\Help" + chain("Help"), "S\\Help\\Help", "S\\Help"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(LoopGuardEntry(row.path, row.walkStart), row.entry) << row.path;
  }
}

// A list view: one letter per row, and '1' under each selected row.
struct FakeList : RowSelection {
  int RowCount() const override { return static_cast<int>(rows.size()); }
  int FirstSelected() const override {
    const size_t first = selected.find('1');
    return first == std::string::npos ? -1 : static_cast<int>(first);
  }
  bool DeleteRow(int row) override {
    if (refuseDelete || row >= RowCount()) return false;
    rows.erase(size_t(row), 1);
    selected.erase(size_t(row), 1);
    return true;
  }

  std::string rows, selected;
  bool refuseDelete = false;
};

// Sorting by any column, either way, never parts a row from its records:
// Remove From List drops the selected rows' own (a row the model does not
// know, '*', has none; a list that refuses must not hang), Delete Entries
// backs up and deletes the values of exactly the rows left, and Copy names
// each row's key.
TEST_F(CleaningDeletionTest, SortedRowsActOnTheirOwnRecords) {
  const struct {
    const char *clicks, *order, *selected;  // columns clicked; value names as listed
    int removed;
    bool refuse = false;
  } rows[] = {
      {"0", "dacB*", "1100", 2},  // "Old Fonts" and "old fonts" keep the search order
      {"00", "Bacd*", "00111", 3},     {"1", "aBcd*", "0101", 2},
      {"2", "Bdac*", "1001", 0, true}, {"21", "aBcd*", "0110", 2},
  };
  const struct {
    const char *category, *name, *shown;
  } kFound[] = {{"Old Fonts", "a", "3"},
                {"RunMRU", "B", "1"},
                {"RunMRU", "X", "not listed"},
                {"old fonts", "c", "4"},
                {"Explorer Logs", "d", "2"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.clicks);
    ResultModel model;
    for (const auto& found : kFound) {
      BackupRecord record = Found(HKCU, "Software\\K", found.name);
      if (*found.name == 'X') record.kind = RecordKind::NotString;
      model.Append(ResultRow{found.category, found.name, found.shown, 7}, record);
    }
    model.SettlePass();
    for (const char* click = row.clicks; *click; ++click) model.SortByColumn(*click - '0');
    FakeList list;
    for (const ResultRow& listed : model.rows()) list.rows += listed.valueName;
    list.rows += '*';
    EXPECT_EQ(list.rows, row.order);
    list.selected = row.selected;
    list.refuseDelete = row.refuse;
    EXPECT_EQ(RemoveSelectedRows(model, list), row.removed);
    EXPECT_EQ(model.m_arrBackupRecords.size(), model.rows().size() + 1);  // X's marker stays
    std::string backup = "REGEDIT4\r\n";
    for (int k = 0; k < static_cast<int>(model.rows().size()); ++k) {
      const std::string& record = model.m_arrBackupRecords[size_t(model.BackupIndexOf(k))].text;
      EXPECT_EQ(record,
                "[HKEY_CURRENT_USER\\Software\\K]\n\"" + list.rows.substr(k, 1) + "\"=\"x\"");
      EXPECT_EQ(InfoRecordOf(model, k), record);
      backup += std::string(record).insert(record.find('\n'), "\r") + "\r\n\r\n";
    }
    const DeleteRunResult run = BackUpAndDelete(m_tools, model.m_arrBackupRecords);
    EXPECT_EQ(m_env.ReadFile("backup/" + run.backupPath.substr(run.backupPath.rfind('\\') + 1)),
              backup);
    for (const auto& found : kFound) {
      const bool kept = list.rows.find(found.name) == std::string::npos;
      EXPECT_EQ(m_reg.Find(HKCU, "Software\\K", found.name) != nullptr, kept) << found.name;
    }
  }
  ResultModel model;  // Copy: the rows asked for, in the report's columns, quoted as there
  model.Append(ResultRow{"Fonts", "a\tb", "\"x\"", 7, kRegSz, "C:\\f.ttf"},
               Found(HKLM, "S\\F", "a\tb"));
  model.SettlePass();
  EXPECT_EQ(
      CopiedRowsText(model, {0, 1}),
      "Category\tCategory number\tRoot\tKey\tValue name\tType\tData\tMissing file\tOutcome\r\n"
      "Old Fonts\t7\tHKEY_LOCAL_MACHINE\tS\\F\t"
      "\"a\tb\"\tREG_SZ\t\"\"\"x\"\"\"\tC:\\f.ttf\tfound\r\n");
}

// The shell and then the registry editor get the file; what they answer
// decides the route.
TEST(HandBackupToSystemTest, FallsBackToTheRegistryEditorAndReportsWhenNothingTakesTheFile) {
  struct FakeLauncher : ReimportLauncher {
    bool shellWorks = false, runWorks = true;
    std::string calls;
    bool OpenWithShell(const std::string& file) override {
      calls += "open " + file + ";";
      return shellWorks;
    }
    bool Run(const std::string& program, const std::string& parameters) override {
      calls += "run " + program + " " + parameters + ";";
      return runWorks;
    }
  } shell, editor, nothing;
  shell.shellWorks = true;
  nothing.runWorks = false;
  const std::string calls = "open C:\\b 1.reg;run C:\\windows\\regedit.exe \"C:\\b 1.reg\";";
  EXPECT_EQ(HandBackupToSystem("C:\\b 1.reg", "C:\\windows", shell), ReimportRoute::Shell);
  EXPECT_EQ(HandBackupToSystem("C:\\b 1.reg", "C:\\windows", editor),
            ReimportRoute::RegistryEditor);
  EXPECT_EQ(HandBackupToSystem("C:\\b 1.reg", "C:\\windows", nothing), ReimportRoute::Failed);
  EXPECT_EQ(shell.calls + "|" + editor.calls + "|" + nothing.calls,
            "open C:\\b 1.reg;|" + calls + "|" + calls);
}

}  // namespace kw::test
