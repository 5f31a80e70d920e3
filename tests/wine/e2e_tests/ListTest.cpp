// The results list after a real search: Remove From List on the selected
// rows and the deletion that follows, Reverse Changes through the file
// dialog, and a second backup within the same minute.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

using ListTest = KelpwiseTest;

TEST_F(ListTest, RemovedRowsStayAndReverseChangesRestoresTheBackupAndTheNextGetsANumber) {
  // Start early in a minute, so that both backups normally share it.
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wSecond >= 40) Sleep((61 - now.wSecond) * 1000);
  SeedHistory(kRunMruKey, "abcde");
  ASSERT_NO_FATAL_FAILURE(Start("10000000000000"));
  ASSERT_TRUE(Search());
  ASSERT_TRUE(m_process.Select(List(), {1, 3}));
  Click(m_main, IDC_REMOVE);
  EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_FOUND, 3); }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('c'), RunMruRow('e')}));
  ASSERT_TRUE(Delete());
  const std::vector<std::string> first = Backups();
  ASSERT_EQ(first.size(), 1u);
  std::string backup;
  ASSERT_TRUE(ReadFile(File("backup\\" + first[0]), &backup));
  for (char id : std::string("abcde")) {
    SCOPED_TRACE(std::string("value ") + id);
    const bool removed = id == 'b' || id == 'd';
    EXPECT_EQ(backup.find(HistoryLine(id)) == std::string::npos, removed);
    StoredValue value;
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kRunMruKey, std::string(1, id), &value), removed);
  }

  // No program opens .reg files in the prefix: the registry editor does.
  Click(m_main, IDM_FILE_REVERSE_CHANGES);
  // The file-name field: cmb13 in the newer layout, edt1 in the older.
  HWND chooser = m_process.WaitForWindow(
      [](HWND window) { return GetDlgItem(window, 1148) || GetDlgItem(window, 1152); });
  ASSERT_NE(chooser, nullptr) << "no file dialog";
  SetText(chooser, GetDlgItem(chooser, 1148) ? 1148 : 1152, File("backup\\" + first[0]));
  Click(chooser, IDOK);
  EXPECT_TRUE(WaitUntil([&] {
    StoredValue value;
    for (char id : std::string("ace")) {
      if (!ReadValue(HKEY_CURRENT_USER, kRunMruKey, std::string(1, id), &value) ||
          !(value == StringValue(HistoryData(id)))) {
        return false;
      }
    }
    return true;
  })) << "the backup was not imported";
  EXPECT_TRUE(m_process.NoBox());

  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "a", StringValue("second")));
  ASSERT_TRUE(Search());
  ASSERT_TRUE(Delete());
  GetLocalTime(&now);
  const std::string stamp = first[0].substr(9, 12);
  const bool sameMinute = Timestamp(now) == stamp;
  const std::string second = "backup - " + (sameMinute ? stamp + " (2)" : Timestamp(now)) + ".reg";
  std::vector<std::string> both = {first[0], second};
  if (sameMinute) std::swap(both[0], both[1]);
  EXPECT_EQ(Backups(), both);
  std::string firstText, secondText;
  ASSERT_TRUE(ReadFile(File("backup\\" + first[0]), &firstText));
  ASSERT_TRUE(ReadFile(File("backup\\" + second), &secondText));
  EXPECT_EQ(firstText, backup) << "the first backup was replaced";
  EXPECT_NE(secondText.find("\"a\"=\"second\""), std::string::npos) << secondText;
}

}  // namespace
}  // namespace kw::test
