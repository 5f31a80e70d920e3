// Whole search passes and the clean-up after them as the user runs them: on
// the seeded demo registry, on the prefix's own registry, and on a chain of
// equal key names that the loop guard must stop.
#include <shlwapi.h>

#include <algorithm>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kAllCategories[] = "11111111111100";

class DemoTest : public KelpwiseTest {
 protected:
  Demo m_demo;
};

TEST_F(DemoTest, ListsTheExpectedRowsAndDeletesExactlyTheUnchangedOnesRestorably) {
  std::string expectedRows, expectedBackup;
  ASSERT_TRUE(ReadFile(SourceFile("fixtures/expected-demo.tsv"), &expectedRows));
  ASSERT_TRUE(ReadFile(SourceFile("fixtures/expected-demo-backup.reg"), &expectedBackup));
  ASSERT_TRUE(m_demo.Seed());
  ASSERT_EQ(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES) << "the prefix has a drive Q:";
  ASSERT_NE(m_demo.text().find("Q:\\\\"), std::string::npos) << "the demo names no file on Q:";
  ASSERT_NO_FATAL_FAILURE(Start(kAllCategories));
  ASSERT_TRUE(Search());
  const std::vector<std::string> rows = Rows();
  std::string listed;
  for (const std::string& row : rows) {
    listed += row + "\n";
    EXPECT_TRUE(row.find("Q:\\") == row.npos && row.find("q:\\") == row.npos) << row;
  }
  EXPECT_EQ(listed, expectedRows);
  EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, static_cast<int>(rows.size())));

  // A backup that cannot be written: nothing is deleted and the list stays.
  const std::string backup = File("backup");
  ASSERT_TRUE(MoveFileA(backup.c_str(), (backup + ".moved").c_str()));
  Box box;
  ASSERT_TRUE(Delete(&box));
  EXPECT_EQ(box.caption, kMainCaption);
  EXPECT_EQ(box.text.find(m_texts(TXT_BACKUP_NOT_WRITTEN) + "\n\n" + backup + "\\backup - "), 0u)
      << box.text;
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), std::vector<std::string>()) << "deleted unsaved";
  EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES) << "folder created";
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(Text(m_main, IDC_START_SEARCH), m_texts(TXT_BUTTON_DELETE));

  // Meanwhile another program gives one listed value new data.
  const std::string changedRecord =
      std::string("[HKEY_CURRENT_USER\\") + kRunMruKey +
      "]\r\n\"a\"=\"notepad C:\\\\Kelpwise Demo\\\\Gone\\\\notes.txt\\\\1\"\r\n\r\n";
  const size_t changedAt = expectedBackup.find(changedRecord);
  ASSERT_NE(changedAt, std::string::npos);
  expectedBackup.erase(changedAt, changedRecord.size());
  const StoredValue newer = StringValue("notepad C:\\Kelpwise Demo\\new.txt\\1");
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "a", newer));

  // The next press backs up and deletes exactly the other listed values.
  ASSERT_TRUE(MoveFileA((backup + ".moved").c_str(), backup.c_str()));
  SYSTEMTIME start, end;
  GetLocalTime(&start);
  ASSERT_TRUE(Delete(&box));
  GetLocalTime(&end);
  EXPECT_EQ(box.text, m_texts(TXT_DELETED_1, static_cast<int>(rows.size()) - 1) + "\n\n" +
                          m_texts(TXT_NOT_DELETED, 1) + "\n\n" + m_texts(TXT_DELETED_2));
  EXPECT_EQ(Rows().size(), 0u);
  EXPECT_EQ(Text(m_main, IDC_START_SEARCH), m_texts(TXT_BUTTON_START_SEARCH));
  const std::vector<std::string> files = Backups();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0] == "backup - " + Timestamp(start) + ".reg" ||
              files[0] == "backup - " + Timestamp(end) + ".reg")
      << files[0];
  std::string written;
  ASSERT_TRUE(ReadFile(backup + "\\" + files[0], &written));
  EXPECT_EQ(written, expectedBackup);
  // Exactly the backed-up values are gone: the demo's and the prefix's own.
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), Values(expectedBackup));

  // The system's registry editor brings back everything else.
  ASSERT_TRUE(ImportWithRegedit(backup + "\\" + files[0]));
  EXPECT_EQ(Values(m_demo.text() + expectedBackup, true), std::vector<std::string>());
  StoredValue now;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, "a", &now) && now == newer);
}

using SearchTest = KelpwiseTest;

TEST_F(SearchTest, PrefixRegistryListsOnlyPathsThatDoNotExist) {
  ASSERT_NO_FATAL_FAILURE(Start(kAllCategories));
  ASSERT_TRUE(Search());
  const std::vector<std::string> rows = Rows();
  EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, static_cast<int>(rows.size())));
  for (const std::string& row : rows) {
    const std::string data = row.substr(row.rfind('\t') + 1);
    if (data.size() > 3 && data[1] == ':' && data[2] == '\\') {
      EXPECT_EQ(GetFileAttributesA(data.c_str()), INVALID_FILE_ATTRIBUTES) << row;
    }
  }
}

constexpr char kLoopStart[] = "CLSID\\{6D2A4F30-5C3B-4E8A-9B71-0A1B2C3D4E01}";

class LoopGuardTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kLoopStart);
  }
  void TearDown() override {
    KelpwiseTest::TearDown();
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kLoopStart);
  }
};

TEST_F(LoopGuardTest, ChainOfEqualKeysIsReportedIgnoredFromNowOnAndEndsTheRun) {
  // A missing file at the top, another one level below, then nine keys Sub.
  std::string path = kLoopStart;
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, path, "", StringValue("C:\\Kelpwise Loop\\top.dll")));
  path += "\\Sub";
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, path, "", StringValue("C:\\Kelpwise Loop\\below.dll")));
  for (int level = 2; level <= 9; ++level) path += "\\Sub";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  // The COM/OLE search with the automatic start on, so that the settings
  // saved on the way out show in config.ini.
  ASSERT_TRUE(Set("CheckTime", "7"));
  ASSERT_TRUE(Set("CheckDate", "0"));
  std::string blacklist;
  ASSERT_TRUE(ReadFile(File("blacklist.ini"), &blacklist));
  ASSERT_NO_FATAL_FAILURE(Start("00000000010001"));
  SYSTEMTIME day;
  GetLocalTime(&day);
  Click(m_main, IDC_START_SEARCH);
  Box box;
  ASSERT_TRUE(m_process.Answer(IDOK, &box, kSearchMs));
  EXPECT_EQ(box.caption, kMainCaption);
  EXPECT_EQ(box.text, m_texts(TXT_LOOP_1) + "\n\n" + kLoopStart + "\n\n" + m_texts(TXT_LOOP_2) +
                          "\n\n" + m_texts(TXT_LOOP_3));
  ASSERT_TRUE(m_process.WaitForExit()) << "the run goes on after the message";
  std::string now;
  ASSERT_TRUE(ReadFile(File("blacklist.ini"), &now));
  EXPECT_EQ(now, blacklist + kLoopStart + "\r\n");
  EXPECT_EQ(Setting("Options"), "00000000010001");
  EXPECT_EQ(Setting("CheckDate"), std::to_string(DayNumber(day) + 7));
  StoredValue run;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run));

}

}  // namespace
}  // namespace kw::test
