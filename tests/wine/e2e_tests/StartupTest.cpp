// Start-up paths that end in a message box: the question after an
// automatic start, and a missing ignore list.
#include <windows.h>

#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"
#include "tests/wine/e2e_tests/LanguageSection.h"

namespace kw::test {
namespace {

class StartupTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    ASSERT_TRUE(m_folder.SetSetting("Language", "[1033]"));
    ASSERT_TRUE(m_texts.Load(m_folder.LanguageFile(), "[1033]"));
  }

  LanguageSection m_texts;
};

TEST_F(StartupTest, AutomaticStartAnsweredNoEndsTheRunAndLeavesStartupManual) {
  ASSERT_TRUE(m_folder.SetSetting("Startup", "automatically"));
  std::vector<std::string> before = m_folder.ConfigLines();
  StartProgram();

  MessageBoxInfo question;
  ASSERT_TRUE(m_process.WaitForMessageBox(kWindowTimeoutMs, &question))
      << "no start question; main window shown: "
      << (m_process.WaitForMainWindow(0) != nullptr ? "yes" : "no");
  EXPECT_EQ(question.caption, m_texts.Text(TXT_CAPTION));
  EXPECT_EQ(question.text, m_texts.Text(TXT_AUTOSTART_1) + "\n\n" + m_texts.Text(TXT_AUTOSTART_2));
  EXPECT_EQ(m_folder.ReadSetting("Startup"), "manually") << "reset before asking";

  KelpwiseProcess::PressButton(question.window, IDNO);
  EXPECT_TRUE(m_process.WaitForExit(kExitTimeoutMs)) << "the run goes on after No";

  std::vector<std::string> expected = before;
  for (size_t i = 0; i + 1 < expected.size(); ++i) {
    if (expected[i] == "Startup") expected[i + 1] = "manually";
  }
  EXPECT_EQ(m_folder.ConfigLines(), expected) << "only \"Startup\" may change";
}

TEST_F(StartupTest, StartupInOtherCaseIsANormalStart) {
  ASSERT_TRUE(m_folder.SetSetting("Startup", "Automatically"));
  StartProgram();
  ASSERT_NE(MainWindow(), nullptr);
  MessageBoxInfo box;
  EXPECT_FALSE(m_process.WaitForMessageBox(0, &box)) << "unexpected box: " << box.text;
  EXPECT_EQ(m_folder.ReadSetting("Startup"), "Automatically");
}

TEST_F(StartupTest, MissingBlacklistIsReportedAndTheMainWindowStillComesUp) {
  ASSERT_TRUE(m_folder.RemoveFile("blacklist.ini"));
  StartProgram();

  MessageBoxInfo error;
  ASSERT_TRUE(m_process.WaitForMessageBox(kWindowTimeoutMs, &error)) << "no error message";
  EXPECT_NE(error.text.find("blacklist.ini"), std::string::npos) << error.text;

  KelpwiseProcess::PressButton(error.window, IDOK);
  HWND main = MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsWindowEnabled(main));
}

}  // namespace
}  // namespace kw::test
