// The main window's remaining commands: the About box from the menu and the
// system menu with F1 inside it, and the three ways to end a run with what
// each saves.
#include <shlwapi.h>

#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kAboutCaption[] = "About Tarnwell Kelpwise";
constexpr char kHelpProgId[] = "KelpwiseE2E.HelpFile";
constexpr char kHelpMarkerKey[] = "Software\\KelpwiseE2EHelpMarker";
// What the system posts for F1: its default processing sends WM_HELP, which
// climbs to the owner windows until one handles it.
constexpr UINT kKeyF1Message = 0x004D;

// While a test runs, opening a .chm file runs reg.exe, which leaves the
// opened file's name in HKCU\<kHelpMarkerKey>.
class AboutTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    m_hadChm = ReadValue(HKEY_CLASSES_ROOT, ".chm", "", &m_chm);
    ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, ".chm", "", StringValue(kHelpProgId)));
    ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, std::string(kHelpProgId) + "\\shell\\open\\command",
                           "",
                           StringValue(std::string("C:\\windows\\system32\\reg.exe add HKCU\\") +
                                       kHelpMarkerKey + " /v Opened /d \"%1\" /f")));
  }
  void TearDown() override {
    KelpwiseTest::TearDown();
    if (m_hadChm) WriteValue(HKEY_CLASSES_ROOT, ".chm", "", m_chm);
    if (!m_hadChm) SHDeleteKeyA(HKEY_CLASSES_ROOT, ".chm");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kHelpProgId);
    SHDeleteKeyA(HKEY_CURRENT_USER, kHelpMarkerKey);
  }

  StoredValue m_chm;
  bool m_hadChm = false;
};

TEST_F(AboutTest, MenuAndSystemMenuOpenItModallyAndF1InItOpensNoHelp) {
  ASSERT_TRUE(WriteFile(File("help.chm"), "not really a help file"));
  ASSERT_NO_FATAL_FAILURE(Start());
  // The system menu's entry is 0x0010; the low four bits are the system's own.
  for (WPARAM systemCommand : {0x0000, 0x0010, 0x0013}) {
    SCOPED_TRACE("system command " + std::to_string(systemCommand));
    if (systemCommand) {
      PostMessageA(m_main, WM_SYSCOMMAND, systemCommand, 0);
    } else {
      Click(m_main, IDM_HELP_ABOUT);
    }
    HWND about = m_process.WaitForDialog(IDOK, kAboutCaption);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_FALSE(IsWindowEnabled(m_main)) << "the About box is modal";
    if (!systemCommand) {
      PostMessageA(GetDlgItem(about, IDOK), kKeyF1Message, 0, 0);
      PostMessageA(about, kKeyF1Message, 0, 0);
      Sleep(3000);
      StoredValue opened;
      EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kHelpMarkerKey, "Opened", &opened))
          << "F1 in the About box opened the help file";
    }
    Click(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowEnabled(m_main));
  }
  // The same key in the main window does open it: the trace works.
  PostMessageA(m_main, kKeyF1Message, 0, 0);
  StoredValue opened;
  EXPECT_TRUE(
      WaitUntil([&] { return ReadValue(HKEY_CURRENT_USER, kHelpMarkerKey, "Opened", &opened); }));
  EXPECT_EQ(opened, StringValue(File("help.chm")));
}

enum class Ending { FileExit, CloseBox, Escape };

struct EndingCase {
  const char* name;
  Ending how;
  const char* options;  // the last digit: the automatic start
};

class EndingTest : public KelpwiseTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EndingTest, SavesTheOptionsAndTheAutomaticStartOnlyThroughTheShutdown) {
  const EndingCase& row = GetParam();
  ASSERT_TRUE(Set("CheckTime", "30"));
  ASSERT_TRUE(Set("CheckDate", "12"));
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", StringValue("stale")));
  ASSERT_NO_FATAL_FAILURE(Start(row.options));
  const std::vector<std::string> before = ConfigLines();
  // An unsaved change: Paint on as well.
  Click(m_main, IDC_OPTIONS);
  HWND options = m_process.WaitForDialog(IDC_CHECK_PAINT);
  ASSERT_NE(options, nullptr);
  SetCheck(options, IDC_CHECK_PAINT, true);
  Click(options, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  EXPECT_TRUE(m_process.NoBox());

  SYSTEMTIME day;
  GetLocalTime(&day);
  if (row.how == Ending::FileExit) Click(m_main, IDM_FILE_EXIT);
  if (row.how == Ending::CloseBox) PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (row.how == Ending::Escape) PostKey(m_main, VK_ESCAPE);
  ASSERT_TRUE(m_process.WaitForExit()) << "the run did not end";

  StoredValue run;
  const bool hasRun = ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run);
  if (row.how == Ending::Escape) {
    EXPECT_EQ(ConfigLines(), before);
    EXPECT_EQ(run, StringValue("stale"));
    return;
  }
  std::string saved = row.options;
  saved[2] = '1';
  EXPECT_EQ(Setting("Options"), saved);
  EXPECT_EQ(Setting("CheckTime"), "30");
  if (saved.back() == '1') {
    EXPECT_EQ(run, StringValue("\"" + File("KpwStarter.exe") + "\""));
    EXPECT_NE(GetFileAttributesA(File("KpwStarter.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the Run value names no file of the program folder";
    EXPECT_EQ(Setting("CheckDate"), std::to_string(DayNumber(day) + 30));
  } else {
    EXPECT_FALSE(hasRun) << "the Run value is left";
    EXPECT_EQ(Setting("CheckDate"), "12");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, EndingTest,
    ::testing::Values(EndingCase{"CloseBoxWithAutomaticStart", Ending::CloseBox, "10000000000001"},
                      EndingCase{"FileExitWithoutAutomaticStart", Ending::FileExit,
                                 "10000000000000"},
                      EndingCase{"EscapeSavesNothing", Ending::Escape, "10000000000001"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kw::test
