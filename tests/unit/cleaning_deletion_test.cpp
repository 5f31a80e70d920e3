// Backing found values up to a REGEDIT4 file, then deleting them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cleaning/BackupFile.h"
#include "cleaning/BackupRecord.h"
#include "cleaning/Deletion.h"
#include "system/FileError.h"
#include "system/SystemTools.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/unit/cleaning_file_limit.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const RegRoot HKCU = RegRoot::CurrentUser;
const RegRoot HKLM = RegRoot::LocalMachine;
const char kMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char kDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The program folder, its backup folder and registry, on 2006-12-06 14:05.
class CleaningDeletionTest : public ::testing::Test {
 protected:
  CleaningDeletionTest() : m_env(m_dir.path()), m_tools(m_env) {
    m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
  }

  MemoryRegistry& Reg() { return m_env.m_registry; }

  // Stores a string value and returns its record as the search makes it.
  BackupRecord Found(RegRoot root, const std::string& path, const std::string& name) {
    Reg().SetString(root, path, name, "x");
    return MakeValueRecord(root, path, *Reg().Find(root, path, name));
  }

  void MakeBackupFolder() { ASSERT_EQ(mkdir(NativePath(BackupDir()).c_str(), 0755), 0); }
  std::string BackupDir() const { return m_dir.path() + "\\backup"; }
  std::string NextName() const { return BackupFileName(m_dir.path(), "200612061405"); }

  TempDir m_dir;
  FakeEnvironment m_env;
  CSystemTools m_tools;
};

TEST_F(CleaningDeletionTest, CountsEachOutcome) {
  Reg().SetString(HKLM, "Software\\K", "", "default");
  Reg().SetDword(HKCU, kMru, "MRUList", 7);
  Reg().SetDword(HKLM, kDlls, "C:\\Program Files\\a.dll", 2);
  Reg().SetString(RegRoot::ClassesRoot, "exefile\\shell\\open\\command", "", "x");
  std::vector<BackupRecord> records = {
      Found(HKCU, kMru, "a"),
      Found(HKCU, kMru, "gone before"),
      Found(HKLM, "Software\\K", "@"),
      Found(HKLM, "Software\\Fonts", "a=b"),
      Found(HKLM, "Software\\Denied", "v"),
      Found(HKCU, kMru, "foreign"),
      MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                      RegValue{"", kRegSz, "x\0"s}),
      MakeSharedDllRecord(kDlls, *Reg().Find(HKLM, kDlls, "C:\\Program Files\\a.dll")),
      MakeValueRecord(HKCU, kMru, *Reg().Find(HKCU, kMru, "MRUList")),  // NotString: skipped
      MakeValueRecord(HKLM, "Software\\NoSuchKey", RegValue{"v", kRegSz, "x\0"s}),
      BackupRecord{"[HKEY_USERS\\K]\n\"v\"=\"x\""},
      BackupRecord{"garbage"},
  };
  records[5].kind = RecordKind::NotRestorable;
  Reg().DenyAccess(HKLM, "Software\\Denied");
  m_tools.m_strKeyPath = kMru;
  ASSERT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone before"), DeleteOutcome::Deleted);

  const DeletionResult result = DeleteRecordedValues(m_tools, records);

  EXPECT_EQ(result.deleted, 7);  // a, gone before, @, a=b, exefile, shared DLL, key missing
  EXPECT_EQ(result.failed, 4);   // denied, not restorable, unknown root, unreadable
  using O = RecordOutcome;
  EXPECT_EQ(result.outcomes,
            (std::vector<O>{O::Deleted, O::AlreadyGone, O::Deleted, O::Deleted, O::Refused,
                            O::NotRestorable, O::Deleted, O::Deleted, O::Skipped, O::AlreadyGone,
                            O::Unreadable, O::Unreadable}));
  EXPECT_FALSE(Reg().HasValue(HKCU, kMru, "a"));
  EXPECT_FALSE(Reg().HasValue(HKLM, "Software\\K", "@"));
  EXPECT_TRUE(Reg().HasValue(HKLM, "Software\\K", ""));
  EXPECT_FALSE(Reg().HasValue(HKLM, "Software\\Fonts", "a=b"));
  EXPECT_FALSE(Reg().HasValue(RegRoot::ClassesRoot, "exefile\\shell\\open\\command", ""));
  EXPECT_FALSE(Reg().HasValue(HKLM, kDlls, "C:\\Program Files\\a.dll"));
  EXPECT_TRUE(Reg().HasValue(HKLM, "Software\\Denied", "v"));
  EXPECT_TRUE(Reg().HasValue(HKCU, kMru, "foreign"));
  EXPECT_TRUE(Reg().HasValue(HKCU, kMru, "MRUList"));
  EXPECT_FALSE(Reg().HasKey(HKLM, "Software\\NoSuchKey"));
}

// Two values of one key and a shared-DLL value of a subkey of SharedDLLs
// are listed; SharedDLLs itself holds a same-named value that is not. What
// another program does to them after the search, or while the listed values
// are deleted one by one, decides what is backed up and deleted.
TEST_F(CleaningDeletionTest, BacksUpAndDeletesOnlyValuesThatStillHoldWhatWasFound) {
  MakeBackupFolder();
  const std::string sub = std::string(kDlls) + "\\Sub";
  const struct {
    RegRoot root;
    std::string path, name;
    uint32_t type;
    std::string data;
  } values[] = {{HKCU, "Software\\K", "a", kRegSz, "x\0"s},
                {HKCU, "Software\\K", "b", kRegSz, "x\0"s},
                {HKLM, sub, "C:\\Gone\\a.dll", kRegDword, "\1\0\0\0"s},
                {HKLM, kDlls, "C:\\Gone\\a.dll", kRegDword, "\5\0\0\0"s}};
  const size_t listed = 3;
  auto set = [&](size_t i, uint32_t type, const std::string& data) {
    Reg().SetRaw(values[i].root, values[i].path, values[i].name, type, data);
  };
  const struct {
    const char* what;
    std::function<void()> afterSearch, afterEachDelete;
    int deleted, failed;
    std::vector<size_t> backedUp;  // listed values in the backup
    std::vector<size_t> left;      // values still there
  } rows[] = {
      {"nothing changed", {}, {}, 3, 0, {0, 1, 2}, {3}},
      {"other data", [&] { set(1, kRegSz, "y\0"s); }, {}, 2, 1, {0, 2}, {1, 3}},
      {"other type", [&] { set(1, kRegExpandSz, "x\0"s); }, {}, 2, 1, {0, 2}, {1, 3}},
      {"gone",
       [&] {
         m_tools.m_strKeyPath = values[1].path;
         m_tools.DeleteRegValue(kWriteCurrentUser, values[1].name);
       },
       {}, 3, 0, {0, 2}, {3}},
      {"changed once a is deleted", {}, [&] { set(1, kRegSz, "y\0"s); }, 2, 1, {0, 2}, {1, 3}},
      {"other count", [&] { set(2, kRegDword, "\2\0\0\0"s); }, {}, 2, 1, {0, 1}, {2, 3}},
      {"count of another type", [&] { set(2, kRegBinary, "\1\0\0\0"s); }, {}, 2, 1, {0, 1}, {2, 3}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<BackupRecord> records;
    for (size_t i = 0; i < std::size(values); ++i) {
      set(i, values[i].type, values[i].data);
      const RegValue found{values[i].name, values[i].type, values[i].data};
      if (i < listed) {
        records.push_back(i < 2 ? MakeValueRecord(values[i].root, values[i].path, found)
                                : MakeSharedDllRecord(values[i].path, found));
      }
    }
    if (row.afterSearch) row.afterSearch();
    Reg().AfterEachDelete(row.afterEachDelete);
    const DeleteRunResult run = BackUpAndDelete(m_tools, records);
    Reg().AfterEachDelete(nullptr);

    EXPECT_EQ(run.deletion.deleted, row.deleted);
    EXPECT_EQ(run.deletion.failed, row.failed);
    EXPECT_EQ(std::count(run.deletion.outcomes.begin(), run.deletion.outcomes.end(),
                         RecordOutcome::Changed),
              row.failed);
    std::string backup = "REGEDIT4\r\n";
    for (const size_t i : row.backedUp) {
      const std::string& text = records[i].text;
      backup +=
          text.substr(0, text.find('\n')) + "\r\n" + text.substr(text.find('\n') + 1) + "\r\n\r\n";
    }
    EXPECT_EQ(ReadBytes(NativePath(run.backupPath)), backup);
    for (size_t i = 0; i < std::size(values); ++i) {
      const RegValue* now = Reg().Find(values[i].root, values[i].path, values[i].name);
      const bool left = std::count(row.left.begin(), row.left.end(), i) != 0;
      EXPECT_EQ(now != nullptr, left) << values[i].path << " : " << values[i].name;
      // A listed value that is left holds newer data than the search read.
      const bool asFound = now && now->type == values[i].type && now->data == values[i].data;
      EXPECT_EQ(asFound, left && i >= listed) << values[i].name;
    }
    std::remove(NativePath(run.backupPath).c_str());
  }
}

TEST_F(CleaningDeletionTest, BackupComesFirstAndNamesTheFile) {
  MakeBackupFolder();
  const DeleteRunResult run = BackUpAndDelete(m_tools, {Found(HKCU, "Software\\K", "v")});
  EXPECT_EQ(run.backupPath, m_dir.path() + "\\backup\\backup - 200612061405.reg");
  EXPECT_EQ(run.deletion.deleted, 1);
  EXPECT_FALSE(Reg().HasValue(HKCU, "Software\\K", "v"));
  EXPECT_EQ(m_dir.ReadFile("backup/backup - 200612061405.reg"),
            "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\K]\r\n\"v\"=\"x\"\r\n\r\n");
}

TEST_F(CleaningDeletionTest, UnwritableBackupDeletesNothing) {
  const std::vector<BackupRecord> records = {Found(HKCU, "Software\\K", "v")};
  // No backup folder at all, and a file where the folder should be.
  for (const bool fileInTheWay : {false, true}) {
    SCOPED_TRACE(fileInTheWay ? "file named backup" : "no backup folder");
    if (fileInTheWay) m_dir.WriteFile("backup", "not a folder");
    try {
      BackUpAndDelete(m_tools, records);
      ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), m_dir.path() + "\\backup\\backup - 200612061405.reg");
    }
    EXPECT_TRUE(Reg().HasValue(HKCU, "Software\\K", "v"));
  }
}

TEST_F(CleaningDeletionTest, BackupFileHoldsHeaderAndRestorableRecordsByteForByte) {
  MakeBackupFolder();
  const struct {
    const char* golden;
    std::vector<BackupRecord> records;
  } rows[] = {
      {"backup_two_records.reg",
       {MakeValueRecord(HKCU, kMru, RegValue{"a", kRegSz, "notepad\\1\0"s}),
        MakeValueRecord(HKCU, kMru, RegValue{"MRUList", kRegBinary, "a"}),
        MakeSharedDllRecord(
            kDlls, RegValue{"C:\\Program Files\\Gone\\gone.dll", kRegDword, "\3\0\0\0"s})}},
      {"backup_header_only.reg", {}},
      {"backup_header_only.reg",
       {MakeValueRecord(HKCU, "K", RegValue{"d", kRegDword, "\1\0\0\0"s}),
        MakeValueRecord(HKCU, "K", RegValue{"a\nb", kRegSz, "x\0"s})}},
      {"backup_awkward.reg",
       {MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                        RegValue{"", kRegSz, "\"C:\\Program Files\\g\xE4ne.exe\" \"%1\"\0"s}),
        MakeValueRecord(HKLM, "Software\\K", RegValue{"@", kRegSz, "line\r\nbreak\0"s}),
        MakeValueRecord(HKLM, "Software\\K", RegValue{"empty", kRegSz, ""})}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.golden);
    const std::string path = NextName();
    WriteBackupFile(path, row.records);
    const std::string golden = std::string(KW_SOURCE_DIR) + "/tests/golden/" + row.golden;
    ASSERT_TRUE(std::ifstream(golden).good());
    EXPECT_EQ(ReadBytes(NativePath(path)), ReadBytes(golden));
  }
}

TEST_F(CleaningDeletionTest, ExistingBackupsAreNeverReplaced) {
  MakeBackupFolder();
  const std::string stem = BackupDir() + "\\backup - 200612061405";
  for (const char* suffix : {"", " (2)", " (3)"}) {
    ASSERT_EQ(NextName(), stem + suffix + ".reg");
    std::ofstream(NativePath(NextName())) << "x";
  }
  EXPECT_EQ(BackupFileName(m_dir.path(), "200612061406"),
            BackupDir() + "\\backup - 200612061406.reg");
  EXPECT_EQ(ReadBytes(NativePath(stem + ".reg")), "x");
}

#ifdef __linux__
TEST_F(CleaningDeletionTest, BackupWriteFailureLeavesNoPartialFile) {
  MakeBackupFolder();
  const std::vector<BackupRecord> records = {MakeValueRecord(
      RegRoot::CurrentUser, "K", RegValue{"big", kRegSz, std::string(64 * 1024, 'x') + '\0'})};
  const std::string path = NextName();
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(WriteBackupFile(path, records), FileError);
  }
  EXPECT_FALSE(FileIsPresent(path));
}
#endif

}  // namespace
}  // namespace kw::test
