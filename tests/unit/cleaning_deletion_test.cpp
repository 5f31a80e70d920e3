#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"
#include "cleaning/Deletion.h"
#include "system/FileError.h"
#include "system/SystemTools.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const RegRoot HKCU = RegRoot::CurrentUser;
const RegRoot HKLM = RegRoot::LocalMachine;
const char kMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char kDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

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
      MakeSharedDllRecord(*Reg().Find(HKLM, kDlls, "C:\\Program Files\\a.dll")),
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

TEST_F(CleaningDeletionTest, BackupComesFirstAndNamesTheFile) {
  ASSERT_EQ(mkdir(NativePath(m_dir.path() + "\\backup").c_str(), 0755), 0);
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

}  // namespace
}  // namespace kw::test
