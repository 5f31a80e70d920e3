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

class CleaningBackupFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(mkdir(NativePath(BackupDir()).c_str(), 0755), 0); }
  std::string BackupDir() const { return m_dir.path() + "\\backup"; }
  std::string NextName() const { return BackupFileName(m_dir.path(), "200612061405"); }

  TempDir m_dir;
};

TEST_F(CleaningBackupFileTest, FileHoldsHeaderAndRestorableRecordsByteForByte) {
  const std::string mru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
  const RegRoot hkcu = RegRoot::CurrentUser, hklm = RegRoot::LocalMachine;
  const struct {
    const char* golden;
    std::vector<BackupRecord> records;
  } rows[] = {
      {"backup_two_records.reg",
       {MakeValueRecord(hkcu, mru, RegValue{"a", kRegSz, "notepad\\1\0"s}),
        MakeValueRecord(hkcu, mru, RegValue{"MRUList", kRegBinary, "a"}),
        MakeSharedDllRecord(
            RegValue{"C:\\Program Files\\Gone\\gone.dll", kRegDword, "\3\0\0\0"s})}},
      {"backup_header_only.reg", {}},
      {"backup_header_only.reg",
       {MakeValueRecord(hkcu, "K", RegValue{"d", kRegDword, "\1\0\0\0"s}),
        MakeValueRecord(hkcu, "K", RegValue{"a\nb", kRegSz, "x\0"s})}},
      {"backup_awkward.reg",
       {MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command",
                        RegValue{"", kRegSz, "\"C:\\Program Files\\g\xE4ne.exe\" \"%1\"\0"s}),
        MakeValueRecord(hklm, "Software\\K", RegValue{"@", kRegSz, "line\r\nbreak\0"s}),
        MakeValueRecord(hklm, "Software\\K", RegValue{"empty", kRegSz, ""})}},
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

TEST_F(CleaningBackupFileTest, ExistingBackupsAreNeverReplaced) {
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
TEST_F(CleaningBackupFileTest, WriteFailureLeavesNoPartialFile) {
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
