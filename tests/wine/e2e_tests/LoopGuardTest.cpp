// The key-loop guard as the user meets it: a chain of nine equal key names
// below a class key stops the run with a message, the chain's start goes
// into blacklist.ini, the settings are saved, and the next run's search
// does not go below that key.
#include <windows.h>

#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SearchTestBase.h"

namespace kw::test {
namespace {

const char kLoopStart[] = "CLSID\\{6D2A4F30-5C3B-4E8A-9B71-0A1B2C3D4E01}";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Options: the COM/OLE search only, with the automatic start on, so that
// the settings saved on the way out are visible in config.ini.
const char kComObjectsAndAutoStart[] = "00000000010001";

class LoopGuardTest : public SearchTestBase {
 protected:
  void SetUp() override {
    SearchTestBase::SetUp();
    RemoveTraces();
  }
  void TearDown() override {
    SearchTestBase::TearDown();
    RemoveTraces();
  }
  void RemoveTraces() {
    EXPECT_TRUE(DeleteKeyTree(HKEY_CLASSES_ROOT, kLoopStart));
    EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise"));
  }

  // kLoopStart with a missing file at its top, another one level below,
  // and below that nine keys named Sub in a chain.
  void CreateLoop() {
    const std::string start = kLoopStart;
    ASSERT_TRUE(
        WriteValue(HKEY_CLASSES_ROOT, start, "", StringValue("C:\\Kelpwise Loop\\top.dll")));
    std::string path = start + "\\Sub";
    ASSERT_TRUE(
        WriteValue(HKEY_CLASSES_ROOT, path, "", StringValue("C:\\Kelpwise Loop\\below.dll")));
    for (int level = 2; level <= 9; ++level) {
      path += "\\Sub";
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key), ERROR_SUCCESS) << path;
      RegCloseKey(key);
    }
  }
};

TEST_F(LoopGuardTest, ChainOfEqualKeysIsReportedIgnoredFromNowOnAndEndsTheRun) {
  CreateLoop();
  ASSERT_TRUE(m_folder.SetSetting("Options", kComObjectsAndAutoStart));
  ASSERT_TRUE(m_folder.SetSetting("CheckTime", "7"));
  ASSERT_TRUE(m_folder.SetSetting("CheckDate", "0"));
  std::string blacklistBefore;
  ASSERT_TRUE(ReadFileBytes(m_folder.File("blacklist.ini"), &blacklistBefore));
  HWND main = StartMainWindow();
  ASSERT_NE(main, nullptr);

  SYSTEMTIME day;
  GetLocalTime(&day);
  KelpwiseProcess::PressButton(main, IDC_START_SEARCH);
  MessageBoxInfo box;
  ASSERT_TRUE(m_process.WaitForMessageBox(kSearchTimeoutMs, &box)) << "no loop message";
  EXPECT_EQ(box.caption, kMainCaption);
  EXPECT_EQ(box.text, m_texts.Text(TXT_LOOP_1) + "\n\n" + kLoopStart + "\n\n" +
                          m_texts.Text(TXT_LOOP_2) + "\n\n" + m_texts.Text(TXT_LOOP_3));
  KelpwiseProcess::PressButton(box.window, IDOK);
  ASSERT_TRUE(m_process.WaitForExit(kExitTimeoutMs)) << "the program goes on after the message";

  std::string blacklist;
  ASSERT_TRUE(ReadFileBytes(m_folder.File("blacklist.ini"), &blacklist));
  EXPECT_EQ(blacklist, blacklistBefore + kLoopStart + "\r\n");
  // Saved on the way out as on a close: the options and the due day of
  // the automatic start.
  EXPECT_EQ(m_folder.ReadSetting("Options"), kComObjectsAndAutoStart);
  EXPECT_EQ(m_folder.ReadSetting("CheckDate"), std::to_string(DayNumber(day) + 7));
  StoredValue run;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run));

  // The next run lists the loop key's own value but nothing below it, and
  // meets no loop.
  ASSERT_TRUE(m_folder.SetSetting("Options", kComObjectsOnly));
  KelpwiseProcess next;
  std::string error;
  ASSERT_TRUE(next.Start(m_folder.path(), &error)) << error;
  main = next.WaitForMainWindow(kWindowTimeoutMs);
  ASSERT_NE(main, nullptr);
  KelpwiseProcess::PressButton(main, IDC_START_SEARCH);
  MessageBoxInfo unexpected;
  ASSERT_TRUE(WaitUntil(kSearchTimeoutMs, [&] {
    return ControlTextNow(main, IDC_START_SEARCH) == m_texts.Text(TXT_BUTTON_DELETE) ||
           next.WaitForMessageBox(0, &unexpected);
  }));
  ASSERT_EQ(unexpected.window, nullptr) << unexpected.text;
  ASSERT_TRUE(WaitUntilResponsive(main, kExitTimeoutMs));
  std::vector<ListedRow> rows = ReadListedRows(next, GetDlgItem(main, IDC_LIST_RESULTS));
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS),
            TextWithNumber(TXT_STATUS_FOUND, static_cast<int>(rows.size())));
  int top = 0, below = 0;
  for (const ListedRow& row : rows) {
    top += row.data == "c:\\kelpwise loop\\top.dll";
    below += row.data == "c:\\kelpwise loop\\below.dll";
  }
  EXPECT_EQ(top, 1) << RowsText(rows);
  EXPECT_EQ(below, 0) << RowsText(rows);
}

}  // namespace
}  // namespace kw::test
