// Backing found values up to a REGEDIT4 file, then deleting them; the
// ignore list and the loop guard that adds to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "cleaning/BackupFile.h"
#include "cleaning/Deletion.h"
#include "cleaning/IgnoreList.h"
#include "cleaning/LoopGuard.h"
#include "system/FileError.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {

using namespace std::string_literals;

const RegRoot HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const char kMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char kDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kBackup[] = "backup/backup - 200612061405.reg";  // the clock says 2006-12-06 14:05

// The program folder with its backup folder, and the registry.
class CleaningDeletionTest : public ::testing::Test {
 protected:
  CleaningDeletionTest() { std::filesystem::create_directory(m_dir.path() + "/backup"); }
  // Stores a string value and returns its record as the search makes it.
  BackupRecord Found(RegRoot root, const std::string& path, const std::string& name) {
    m_reg.SetString(root, path, name, "x");
    return MakeValueRecord(root, path, *m_reg.Find(root, path, name));
  }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path()};
  MemoryRegistry& m_reg = m_env.m_registry;
  CSystemTools m_tools{m_env};
};

TEST_F(CleaningDeletionTest, CountsEachOutcome) {
  m_reg.SetString(HKLM, "Software\\K", "", "default");
  m_reg.SetRaw(HKCU, kMru, "MRUList", kRegDword, "\7\0\0\0"s);
  m_reg.SetRaw(HKLM, kDlls, "C:\\Program Files\\a.dll", kRegDword, "\2\0\0\0"s);
  m_reg.SetString(RegRoot::ClassesRoot, "exefile\\shell\\open\\command", "", "x");
  std::vector<BackupRecord> records = {
      Found(HKCU, kMru, "a"), Found(HKCU, kMru, "gone before"), Found(HKLM, "Software\\K", "@"),
      Found(HKLM, "Software\\Denied", "v"), Found(HKCU, kMru, "foreign"),
      MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command", RegValue{"", kRegSz, "x\0"s}),
      MakeSharedDllRecord(kDlls, *m_reg.Find(HKLM, kDlls, "C:\\Program Files\\a.dll")),
      MakeValueRecord(HKCU, kMru, *m_reg.Find(HKCU, kMru, "MRUList")),  // NotString: skipped
      MakeValueRecord(HKLM, "Software\\NoSuchKey", RegValue{"v", kRegSz, "x\0"s}),
      BackupRecord{"[HKEY_USERS\\K]\n\"v\"=\"x\""}, BackupRecord{"garbage"}};
  records[4].kind = RecordKind::NotRestorable;
  m_reg.DenyAccess(HKLM, "Software\\Denied");
  m_tools.m_strKeyPath = kMru;
  ASSERT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone before"), DeleteOutcome::Deleted);

  const DeletionResult result = DeleteRecordedValues(m_tools, records);

  EXPECT_EQ(result.deleted, 6);  // a, gone before, @, exefile, shared DLL, key missing
  EXPECT_EQ(result.failed, 4);   // denied, not restorable, unknown root, unreadable
  using O = RecordOutcome;
  EXPECT_EQ(result.outcomes, (std::vector<O>{O::Deleted, O::AlreadyGone, O::Deleted, O::Refused, O::NotRestorable,
                                             O::Deleted, O::Deleted, O::Skipped, O::AlreadyGone, O::Unreadable,
                                             O::Unreadable}));
  EXPECT_TRUE(m_reg.Find(HKLM, "Software\\K", ""));
  EXPECT_TRUE(m_reg.Find(HKCU, kMru, "foreign"));
}

// Two values of one key and a shared-DLL value of a subkey of SharedDLLs
// are listed; SharedDLLs itself holds a same-named value that is not. What
// another program does to them after the search, or while the listed values
// are deleted one by one, decides what is backed up and deleted.
TEST_F(CleaningDeletionTest, BacksUpAndDeletesOnlyValuesThatStillHoldWhatWasFound) {
  const struct {
    RegRoot root;
    std::string path;
    RegValue value;
  } values[] = {{HKCU, "Software\\K", {"a", kRegSz, "x\0"s}},
                {HKCU, "Software\\K", {"b", kRegSz, "x\0"s}},
                {HKLM, kDlls + "\\Sub"s, {"C:\\Gone\\a.dll", kRegDword, "\1\0\0\0"s}},
                {HKLM, kDlls, {"C:\\Gone\\a.dll", kRegDword, "\5\0\0\0"s}}};
  const auto set = [&](size_t i, uint32_t type, const std::string& data) {
    m_reg.SetRaw(values[i].root, values[i].path, values[i].value.name, type, data);
  };
  const auto remove = [&] { m_tools.m_strKeyPath = "Software\\K", m_tools.DeleteRegValue(kWriteCurrentUser, "b"); };
  const struct {
    const char* what;
    std::function<void()> afterSearch, afterEachDelete;
    std::string backedUp;  // the listed values in the backup
    std::string left;      // which values are still there (the last one is never listed)
  } rows[] = {
      {"nothing changed", {}, {}, "012", "0001"},
      {"other data", [&] { set(1, kRegSz, "y\0"s); }, {}, "02", "0101"},
      {"other type", [&] { set(1, kRegExpandSz, "x\0"s); }, {}, "02", "0101"},
      {"gone", remove, {}, "02", "0001"},
      {"changed once a is deleted", {}, [&] { set(1, kRegSz, "y\0"s); }, "02", "0101"},
      {"other count", [&] { set(2, kRegDword, "\2\0\0\0"s); }, {}, "01", "0011"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<BackupRecord> records;
    for (size_t i = 0; i < std::size(values); ++i) {
      set(i, values[i].value.type, values[i].value.data);
      if (i < 3) {
        records.push_back(i < 2 ? MakeValueRecord(values[i].root, values[i].path, values[i].value)
                                : MakeSharedDllRecord(values[i].path, values[i].value));
      }
    }
    if (row.afterSearch) row.afterSearch();
    m_reg.afterEachDelete = row.afterEachDelete;
    const DeleteRunResult run = BackUpAndDelete(m_tools, records);
    m_reg.afterEachDelete = nullptr;

    const int changed = static_cast<int>(std::count(row.left.begin(), row.left.end() - 1, '1'));
    EXPECT_EQ(run.deletion.deleted, 3 - changed);
    EXPECT_EQ(std::count(run.deletion.outcomes.begin(), run.deletion.outcomes.end(), RecordOutcome::Changed), changed);
    std::string backup = "REGEDIT4\r\n", left;
    for (const char i : row.backedUp) {
      const std::string& text = records[size_t(i - '0')].text;
      backup += std::string(text).insert(text.find('\n'), "\r") + "\r\n\r\n";
    }
    for (size_t i = 0; i < std::size(values); ++i) {
      const RegValue* now = m_reg.Find(values[i].root, values[i].path, values[i].value.name);
      left += now ? '1' : '0';
      // A listed value that is left holds newer data than the search read.
      if (now && i < 3) EXPECT_FALSE(now->type == values[i].value.type && now->data == values[i].value.data);
    }
    EXPECT_EQ(left, row.left);
    EXPECT_EQ(m_dir.ReadFile(kBackup), backup);
    std::remove(NativePath(run.backupPath).c_str());
  }
}

TEST_F(CleaningDeletionTest, UnwritableBackupDeletesNothing) {
  // No backup folder at all, then a file where the folder should be.
  std::filesystem::remove(m_dir.path() + "/backup");
  for (const bool fileInTheWay : {false, true}) {
    if (fileInTheWay) m_dir.WriteFile("backup", "not a folder");
    EXPECT_THROW(BackUpAndDelete(m_tools, {Found(HKCU, "Software\\K", "v")}), FileError);
    EXPECT_TRUE(m_reg.Find(HKCU, "Software\\K", "v"));
  }
}

// The file holds the header and the restorable records, byte for byte,
// escaped for regedit; a new backup never replaces an older one of the same
// minute.
TEST_F(CleaningDeletionTest, BackupFileIsGoldenAndNeverReplacesAnOlderOne) {
  const std::string stem = m_dir.path() + "\\backup\\backup - 200612061405";
  WriteBackupFile(
      BackupFileName(m_dir.path(), "200612061405"),
      {MakeValueRecord(HKCU, kMru, RegValue{"a", kRegSz, "notepad\\1\0"s}),
       MakeValueRecord(HKCU, kMru, RegValue{"MRUList", kRegBinary, "a"}),
       MakeValueRecord(HKCU, "K", RegValue{"a\nb", kRegSz, "x\0"s}),
       MakeSharedDllRecord(kDlls, RegValue{"C:\\Program Files\\Gone\\gone.dll", kRegDword, "\3\0\0\0"s}),
       MakeSharedDllRecord(kDlls + "\\Sub"s, RegValue{"c:\\g\".dll", 11, "5\0"s}),
       MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                       RegValue{"", kRegSz, "\"C:\\Program Files\\g\xE4ne.exe\" \"%1\"\0"s}),
       MakeValueRecord(HKLM, "Software\\K", RegValue{"@", kRegSz, "line\r\nbreak\0"s}),
       MakeValueRecord(HKLM, "Software\\K", RegValue{"empty", kRegSz, ""})});
  const std::string golden = ReadBytes(KW_SOURCE_DIR "/tests/golden/backup.reg");
  EXPECT_EQ(m_dir.ReadFile(kBackup), golden);
  for (const char* suffix : {" (2)", " (3)"}) {
    ASSERT_EQ(BackupFileName(m_dir.path(), "200612061405"), stem + suffix + ".reg");
    m_dir.WriteFile("backup/backup - 200612061405"s + suffix + ".reg", "x");
  }
  EXPECT_EQ(BackUpAndDelete(m_tools, {Found(HKCU, "Software\\K", "v")}).backupPath, stem + " (4).reg");
  EXPECT_EQ(m_dir.ReadFile(kBackup), golden);
}

TEST(CleaningIgnoreListTest, AppendKeepsTheHeaderAndEveryLine) {
  const struct { std::string before; const char* entry; std::string after; std::vector<std::string> loaded; } rows[] = {  // more in ignorelist_fuzz
      // Fewer than three lines: padded so that the entry counts; a header line equal to the entry is no entry.
      {"K\r\n", "K", "K\r\n\r\n\r\nK\r\n", {"K"}},
      {"h1\r\nh2\r\nh3\r\nA\r\nB", "A", "h1\r\nh2\r\nh3\r\nA\r\nB", {"A", "B"}},  // a duplicate
  };
  TempDir dir;
  const std::string path = dir.path() + "\\blacklist.ini";
  EXPECT_THROW(LoadIgnoreList(path), FileError);
  EXPECT_THROW(AppendIgnoreEntry(path, "A"), FileError);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before);
    dir.WriteFile("blacklist.ini", row.before);
    AppendIgnoreEntry(path, row.entry);
    EXPECT_EQ(dir.ReadFile("blacklist.ini"), row.after);
    EXPECT_EQ(LoadIgnoreList(path), row.loaded);
  }
}

// The entry is the key in front of the chain of eight equal names ("" when no key can be written).
TEST(CleaningLoopGuardTest, FiresOnEightEqualTrailingComponents) {
  const auto chain = [](const std::string& name) {
    std::string path;
    for (int i = 0; i < kLoopLength; ++i) path += "\\" + name;
    return path;
  };
  const struct { std::string path; std::optional<std::string> entry; std::string walkStart = ""; } rows[] = {
      {"CLSID\\{id}" + chain("Sub"), "CLSID\\{id}"},
      {"CLSID\\{id}\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // seven
      {"A\\X\\X" + chain("X"), "A"},                                      // more than eight
      {"X\\X\\X\\X\\X\\X\\X\\X", "X"},  // nothing in front of the chain: its first key
      // The name occurs earlier, inside or as other components.
      {"CLSID\\SubKey" + chain("Sub"), "CLSID\\SubKey"},
      {kMru + chain("o"), kMru},
      {"Software\\Microsoft\\Windows" + chain("Windows"), "Software\\Microsoft"},
      // A name with a line break: the nearest key above it, or nothing.
      {"K\\l\rm\\n" + chain("X"), "K"},
      {"\\a\nb" + chain("X"), ""},
      {"A\\B\\\\\\\\\\\\\\\\\\", std::nullopt},                  // empty last components
      {"K\\Sub\\sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // case differs
      {"K" + chain("SUB"), "K"},
      // A chain that begins at the walk's start key or above: an entry above
      // the start key would not be looked up, the child on the way is.
      {"S\\Help" + chain("Help"), "S\\Help\\Help", "S\\Help"},
      {"S\\T" + chain("Help"), "S\\T", "S"},
  };
  for (const auto& row : rows) EXPECT_EQ(LoopGuardEntry(row.path, row.walkStart), row.entry) << row.path;
}

}  // namespace kw::test
