// The main window's remaining commands: the About box from the menu and the
// system menu with F1 inside it, and File > Exit with what it saves.
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

// File > Exit saves the options changed in the run and, with the automatic
// start on, the Run value and the next due day.
TEST_F(AboutTest, FileExitSavesTheOptionsAndTheAutomaticStart) {
  ASSERT_TRUE(Set("CheckTime", "30"));
  ASSERT_NO_FATAL_FAILURE(Start("10000000000001"));
  Click(m_main, IDC_OPTIONS);
  HWND options = m_process.WaitForDialog(IDC_CHECK_PAINT);
  ASSERT_NE(options, nullptr);
  SetCheck(options, IDC_CHECK_PAINT, true);
  Click(options, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  SYSTEMTIME day;
  GetLocalTime(&day);
  Click(m_main, IDM_FILE_EXIT);
  ASSERT_TRUE(m_process.WaitForExit()) << "the run did not end";
  EXPECT_EQ(Setting("Options"), "10100000000001");
  EXPECT_EQ(Setting("CheckDate"), std::to_string(DayNumber(day) + 30));
  StoredValue run;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run));
  EXPECT_EQ(run, StringValue("\"" + File("KpwStarter.exe") + "\""));
}

}  // namespace
}  // namespace kw::test
