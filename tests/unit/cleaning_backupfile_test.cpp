#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cleaning/BackupFile.h"
#include "cleaning/BackupRecord.h"
#include "system/FileError.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/unit/cleaning_file_limit.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Golden(const std::string& name) {
  const std::string path = std::string(KW_SOURCE_DIR) + "/tests/golden/" + name;
  EXPECT_TRUE(std::ifstream(path).good()) << path;
  return ReadBytes(path);
}

std::vector<BackupRecord> RunMruAndSharedDll() {
  return {
      MakeValueRecord(RegRoot::CurrentUser,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
                      RegValue{"a", kRegSz, "notepad\\1\0"s}),
      MakeValueRecord(RegRoot::CurrentUser,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
                      RegValue{"MRUList", kRegBinary, "a"}),
      MakeSharedDllRecord(RegValue{"C:\\Program Files\\Gone\\gone.dll", kRegDword, "\3\0\0\0"s}),
  };
}

class CleaningBackupFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(mkdir(NativePath(BackupDir()).c_str(), 0755), 0); }
  std::string BackupDir() const { return m_dir.path() + "\\backup"; }
  std::string BackupPath(const std::string& fileName) const {
    return NativePath(BackupDir() + "\\" + fileName);
  }
  void Touch(const std::string& fileName) const { std::ofstream(BackupPath(fileName)) << "x"; }

  TempDir m_dir;
};

TEST_F(CleaningBackupFileTest, FileHoldsHeaderAndRestorableRecordsWithCrLf) {
  const std::string path = BackupFileName(m_dir.path(), "200612061405");
  WriteBackupFile(path, RunMruAndSharedDll());
  EXPECT_EQ(ReadBytes(NativePath(path)), Golden("backup_two_records.reg"));
}

TEST_F(CleaningBackupFileTest, NoRestorableRecordGivesOnlyTheHeader) {
  std::vector<BackupRecord> records = {
      MakeValueRecord(RegRoot::CurrentUser, "K", RegValue{"d", kRegDword, "\1\0\0\0"s}),
      MakeValueRecord(RegRoot::CurrentUser, "K", RegValue{"a\nb", kRegSz, "x\0"s}),
  };
  for (const auto& list : {std::vector<BackupRecord>{}, records}) {
    const std::string path = BackupFileName(m_dir.path(), "200612061405");
    WriteBackupFile(path, list);
    EXPECT_EQ(ReadBytes(NativePath(path)), Golden("backup_header_only.reg"));
  }
}

TEST_F(CleaningBackupFileTest, AwkwardDataIsWrittenByteForByte) {
  const std::vector<BackupRecord> records = {
      MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                      RegValue{"", kRegSz, "\"C:\\Program Files\\g\xE4ne.exe\" \"%1\"\0"s}),
      MakeValueRecord(RegRoot::LocalMachine, "Software\\K",
                      RegValue{"@", kRegSz, "line\r\nbreak\0"s}),
      MakeValueRecord(RegRoot::LocalMachine, "Software\\K", RegValue{"empty", kRegSz, ""}),
  };
  const std::string path = BackupFileName(m_dir.path(), "200612061405");
  WriteBackupFile(path, records);
  EXPECT_EQ(ReadBytes(NativePath(path)), Golden("backup_awkward.reg"));
}

TEST_F(CleaningBackupFileTest, ExistingBackupsAreNeverReplaced) {
  const std::string first = BackupFileName(m_dir.path(), "200612061405");
  EXPECT_EQ(first, BackupDir() + "\\backup - 200612061405.reg");
  Touch("backup - 200612061405.reg");
  EXPECT_EQ(BackupFileName(m_dir.path(), "200612061405"),
            BackupDir() + "\\backup - 200612061405 (2).reg");
  Touch("backup - 200612061405 (2).reg");
  EXPECT_EQ(BackupFileName(m_dir.path(), "200612061405"),
            BackupDir() + "\\backup - 200612061405 (3).reg");
  EXPECT_EQ(BackupFileName(m_dir.path(), "200612061406"),
            BackupDir() + "\\backup - 200612061406.reg");
  EXPECT_EQ(ReadBytes(BackupPath("backup - 200612061405.reg")), "x");
}

#ifdef __linux__
TEST_F(CleaningBackupFileTest, WriteFailureLeavesNoPartialFile) {
  const std::vector<BackupRecord> records = {MakeValueRecord(
      RegRoot::CurrentUser, "K", RegValue{"big", kRegSz, std::string(64 * 1024, 'x') + '\0'})};
  const std::string path = BackupFileName(m_dir.path(), "200612061405");
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(WriteBackupFile(path, records), FileError);
  }
  EXPECT_FALSE(FileIsPresent(path));
}
#endif

}  // namespace
}  // namespace kw::test
