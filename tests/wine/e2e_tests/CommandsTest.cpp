// The main window's remaining commands: the About box from the menu and the
// system menu with F1 inside it, and the three ways to end a run with what
// each saves.
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kAboutCaption[] = "About Tarnwell Kelpwise";
// The help viewer's caption: the title that help/Kelpwise.hhp compiles into
// help.chm, so that a window with it shows that file.
constexpr char kHelpViewerCaption[] = "Tarnwell Kelpwise Help";
// What the system posts for F1: its default processing sends WM_HELP, which
// climbs to the owner windows until one handles it.
constexpr UINT kKeyF1Message = 0x004D;

HWND HelpViewer() { return FindWindowA(nullptr, kHelpViewerCaption); }

// F1 opens the program folder's help.chm through the prefix's own
// association of .chm files, the system's help viewer hh.exe.
class AboutTest : public KelpwiseTest {
 protected:
  void TearDown() override {
    if (HWND viewer = HelpViewer()) PostMessageA(viewer, WM_CLOSE, 0, 0);
    WaitUntil([] { return HelpViewer() == nullptr; });
    KelpwiseTest::TearDown();
  }
};

TEST_F(AboutTest, MenuAndSystemMenuOpenItModallyAndF1OpensTheHelpOnlyOutsideIt) {
  ASSERT_EQ(HelpViewer(), nullptr) << "a help viewer is open already";
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
      EXPECT_EQ(HelpViewer(), nullptr) << "F1 in the About box opened the help file";
    }
    Click(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowEnabled(m_main));
  }
  // The same key in the main window starts the viewer with help.chm.
  ASSERT_EQ(HelpViewer(), nullptr) << "F1 in the About box opened the help file";
  PostMessageA(m_main, kKeyF1Message, 0, 0);
  EXPECT_TRUE(WaitUntil([] { return HelpViewer() != nullptr; })) << "no help viewer";
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
