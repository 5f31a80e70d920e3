#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
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
const RegRoot HKCR = RegRoot::ClassesRoot;

class CleaningDeletionTest : public ::testing::Test {
 protected:
  CleaningDeletionTest() : m_env(m_dir.path()), m_tools(m_env) {
    m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
  }

  MemoryRegistry& Reg() { return m_env.m_registry; }

  // The record of a value as the search would make it from the registry.
  BackupRecord RecordOf(RegRoot root, const std::string& path, const std::string& name) {
    const RegValue* value = Reg().Find(root, path, name);
    EXPECT_NE(value, nullptr) << path << " " << name;
    return MakeValueRecord(root, path, value != nullptr ? *value : RegValue{});
  }

  void MakeBackupFolder() {
    ASSERT_EQ(mkdir(NativePath(m_dir.path() + "\\backup").c_str(), 0755), 0);
  }

  TempDir m_dir;
  FakeEnvironment m_env;
  CSystemTools m_tools;
};

TEST_F(CleaningDeletionTest, CountsEachOutcome) {
  const std::string mru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
  Reg().SetString(HKCU, mru, "a", "notepad\\1");
  Reg().SetString(HKCU, mru, "b", "cmd");
  Reg().SetString(HKCR, "CLSID\\{1}\\InprocServer32", "", "c:\\gone.dll");
  Reg().SetString(HKCR, "CLSID\\{1}\\InprocServer32", "@", "c:\\at.dll");
  Reg().SetString(HKCR, "exefile\\shell\\open\\command", "", "c:\\gone.exe");
  Reg().SetString(HKLM, "Software\\Fonts", "a=b", "x.ttf");
  Reg().SetString(HKLM, "Software\\Denied", "v", "x");
  Reg().SetString(HKLM, "Software\\Gone", "v", "x");
  Reg().SetDword(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                 "C:\\Program Files\\a.dll", 2);
  Reg().SetDword(HKCU, mru, "MRUList", 7);
  Reg().SetString(HKCU, mru, "foreign", "x");

  std::vector<BackupRecord> records = {
      RecordOf(HKCU, mru, "a"),
      RecordOf(HKCU, mru, "b"),
      RecordOf(HKCR, "CLSID\\{1}\\InprocServer32", ""),
      RecordOf(HKCR, "CLSID\\{1}\\InprocServer32", "@"),
      MakeValueRecord(HKCR, "\\exefile\\shell\\open\\command",
                      *Reg().Find(HKCR, "exefile\\shell\\open\\command", "")),
      RecordOf(HKLM, "Software\\Fonts", "a=b"),
      RecordOf(HKLM, "Software\\Denied", "v"),
      RecordOf(HKLM, "Software\\Gone", "v"),
      MakeSharedDllRecord(*Reg().Find(HKLM,
                                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                                      "C:\\Program Files\\a.dll")),
      RecordOf(HKCU, mru, "MRUList"),
      RecordOf(HKCU, mru, "foreign"),
      BackupRecord{"[HKEY_USERS\\K]\n\"v\"=\"x\""},
      BackupRecord{"garbage"},
  };
  records[10].kind = RecordKind::NotRestorable;
  Reg().DenyAccess(HKLM, "Software\\Denied");
  // Deleted before the clean-up: the value, and a whole key.
  RegKey key(Reg());
  ASSERT_EQ(key.Open(HKCU, mru, true), RegStatus::Ok);
  ASSERT_EQ(Reg().DeleteValue(key.handle(), "b"), RegStatus::Ok);
  key.Close();
  records.push_back(MakeValueRecord(HKLM, "Software\\NoSuchKey", RegValue{"v", kRegSz, "x\0"s}));

  const DeletionResult result = DeleteRecordedValues(m_tools, records);

  EXPECT_EQ(result.deleted, 9);  // a, b, two CLSID values, exefile, a=b, Gone, shared DLL, key
  EXPECT_EQ(result.failed, 4);   // denied, not restorable, unknown root, unreadable
  EXPECT_FALSE(Reg().HasValue(HKCU, mru, "a"));
  EXPECT_FALSE(Reg().HasValue(HKCR, "CLSID\\{1}\\InprocServer32", ""));
  EXPECT_FALSE(Reg().HasValue(HKCR, "CLSID\\{1}\\InprocServer32", "@"));
  EXPECT_FALSE(Reg().HasValue(HKCR, "exefile\\shell\\open\\command", ""));
  EXPECT_FALSE(Reg().HasValue(HKLM, "Software\\Fonts", "a=b"));
  EXPECT_FALSE(Reg().HasValue(HKLM, "Software\\Gone", "v"));
  EXPECT_FALSE(Reg().HasValue(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                              "C:\\Program Files\\a.dll"));
  EXPECT_TRUE(Reg().HasValue(HKLM, "Software\\Denied", "v"));
  EXPECT_TRUE(Reg().HasValue(HKCU, mru, "MRUList"));
  EXPECT_TRUE(Reg().HasValue(HKCU, mru, "foreign"));
  EXPECT_FALSE(Reg().HasKey(HKLM, "Software\\NoSuchKey"));
}

TEST_F(CleaningDeletionTest, DefaultValueAndValueNamedAtAreDistinct) {
  Reg().SetString(HKLM, "Software\\K", "", "default");
  Reg().SetString(HKLM, "Software\\K", "@", "at");
  EXPECT_EQ(DeleteRecordedValues(m_tools, {RecordOf(HKLM, "Software\\K", "@")}).deleted, 1);
  EXPECT_TRUE(Reg().HasValue(HKLM, "Software\\K", ""));
  EXPECT_FALSE(Reg().HasValue(HKLM, "Software\\K", "@"));
}

TEST_F(CleaningDeletionTest, BackupComesFirstAndNamesTheFile) {
  MakeBackupFolder();
  Reg().SetString(HKCU, "Software\\K", "v", "x");
  const std::vector<BackupRecord> records = {RecordOf(HKCU, "Software\\K", "v")};

  const DeleteRunResult run = BackUpAndDelete(m_tools, records);

  EXPECT_EQ(run.backupPath, m_dir.path() + "\\backup\\backup - 200612061405.reg");
  EXPECT_EQ(run.deletion.deleted, 1);
  EXPECT_FALSE(Reg().HasValue(HKCU, "Software\\K", "v"));
  EXPECT_EQ(m_dir.ReadFile("backup/backup - 200612061405.reg"),
            "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\K]\r\n\"v\"=\"x\"\r\n\r\n");

  // A second clean-up in the same minute keeps the first backup.
  Reg().SetString(HKCU, "Software\\K", "w", "y");
  const DeleteRunResult second = BackUpAndDelete(m_tools, {RecordOf(HKCU, "Software\\K", "w")});
  EXPECT_EQ(second.backupPath, m_dir.path() + "\\backup\\backup - 200612061405 (2).reg");
  EXPECT_NE(m_dir.ReadFile("backup/backup - 200612061405.reg").find("\"v\"=\"x\""),
            std::string::npos);
}

TEST_F(CleaningDeletionTest, UnwritableBackupDeletesNothing) {
  Reg().SetString(HKCU, "Software\\K", "v", "x");
  const std::vector<BackupRecord> records = {RecordOf(HKCU, "Software\\K", "v")};
  const std::string expectedPath = m_dir.path() + "\\backup\\backup - 200612061405.reg";

  // No backup folder at all, and a file where the folder should be.
  for (const bool fileInTheWay : {false, true}) {
    SCOPED_TRACE(fileInTheWay ? "file named backup" : "no backup folder");
    if (fileInTheWay) m_dir.WriteFile("backup", "not a folder");
    try {
      BackUpAndDelete(m_tools, records);
      ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), expectedPath);
    }
    EXPECT_TRUE(Reg().HasValue(HKCU, "Software\\K", "v"));
  }
}

}  // namespace
}  // namespace kw::test
