// The automatic start seen from outside: closing the window registers or
// removes the companion starter in the Run key and keeps its due day in
// config.ini, and a run the starter launched searches at once after Yes.
#include <windows.h>

#include <ostream>
#include <string>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SearchTestBase.h"

namespace kw::test {
namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kToolcrateKey[] = "Software\\Tarnwell\\Tarnwell Toolcrate";

class AutomaticStartTest : public SearchTestBase {
 protected:
  void SetUp() override {
    SearchTestBase::SetUp();
    EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise"));
  }
  void TearDown() override {
    SearchTestBase::TearDown();
    EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise"));
    EXPECT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Tarnwell"));
  }
};

struct CloseCase {
  const char* name;
  const char* options;  // position 13: the automatic start
  bool runValueExpected;
};

void PrintTo(const CloseCase& row, std::ostream* out) { *out << row.name; }

class CloseTest : public AutomaticStartTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, CloseBoxSavesTheScheduleAndSetsOrRemovesTheStarter) {
  const CloseCase& row = GetParam();
  ASSERT_TRUE(m_folder.SetSetting("Options", row.options));
  ASSERT_TRUE(m_folder.SetSetting("CheckTime", "30"));
  ASSERT_TRUE(m_folder.SetSetting("CheckDate", "12"));
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", StringValue("stale")));
  ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, kToolcrateKey, "active", StringValue("1")));
  HWND main = StartMainWindow();
  ASSERT_NE(main, nullptr);

  SYSTEMTIME before, after;
  GetLocalTime(&before);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(m_process.WaitForExit(kExitTimeoutMs)) << "the window stays open after WM_CLOSE";
  GetLocalTime(&after);

  StoredValue run, active;
  if (row.runValueExpected) {
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run));
    EXPECT_EQ(run, StringValue("\"" + m_folder.path() + "\\KpwStarter.exe\""));
    EXPECT_EQ(m_folder.ReadSetting("CheckTime"), "30");
    std::string due = m_folder.ReadSetting("CheckDate");
    EXPECT_TRUE(due == std::to_string(DayNumber(before) + 30) ||
                due == std::to_string(DayNumber(after) + 30))
        << "CheckDate " << due << ", today is day " << DayNumber(before);
  } else {
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run)) << "Run value left";
    EXPECT_EQ(m_folder.ReadSetting("CheckTime"), "30");
    EXPECT_EQ(m_folder.ReadSetting("CheckDate"), "12") << "the old schedule is kept";
  }
  EXPECT_EQ(m_folder.ReadSetting("Options"), row.options);
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kToolcrateKey, "active", &active))
      << "the Toolcrate's \"active\" value is removed at every close";
}

INSTANTIATE_TEST_SUITE_P(AutomaticStart, CloseTest,
                         ::testing::Values(CloseCase{"On", "00000000000001", true},
                                           CloseCase{"Off", "00000000000000", false}),
                         [](const ::testing::TestParamInfo<CloseCase>& param) {
                           return std::string(param.param.name);
                         });

TEST_F(AutomaticStartTest, StartAnsweredYesSearchesAtOnce) {
  ASSERT_TRUE(m_folder.SetSetting("Options", kRunMruOnly));
  ASSERT_TRUE(m_folder.SetSetting("Startup", "automatically"));
  ASSERT_TRUE(m_demo.Seed());
  std::string error;
  ASSERT_TRUE(m_process.Start(m_folder.path(), &error)) << error;

  MessageBoxInfo question;
  ASSERT_TRUE(m_process.WaitForMessageBox(kWindowTimeoutMs, &question)) << "no start question";
  EXPECT_EQ(question.caption, m_texts.Text(TXT_CAPTION));
  KelpwiseProcess::PressButton(question.window, IDYES);

  HWND main = MainWindow();
  ASSERT_NE(main, nullptr);
  const std::string deleteCaption = m_texts.Text(TXT_BUTTON_DELETE);
  ASSERT_TRUE(WaitUntil(kSearchTimeoutMs,
                        [&] { return ControlTextNow(main, IDC_START_SEARCH) == deleteCaption; }))
      << "no search after Yes; status \"" << ControlTextNow(main, IDC_STATUS) << "\"";
  ASSERT_TRUE(WaitUntilResponsive(main, kExitTimeoutMs));
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS), TextWithNumber(TXT_STATUS_FOUND, 3));
  EXPECT_EQ(Rows(main).size(), 3u);
  EXPECT_EQ(m_folder.ReadSetting("Startup"), "manually");
}

}  // namespace
}  // namespace kw::test
