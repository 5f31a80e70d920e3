// The main window as it first comes up in each language, and the start-up
// paths that begin with a message box.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kLanguageKey[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

struct LanguageCase {
  const char* name;
  const char* setting;        // config.ini "Language"
  const char* systemDefault;  // the system's default language, or null to keep it
  const char* shown;          // section of the language file whose texts must show
};

class WelcomeTest : public KelpwiseTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(WelcomeTest, ShowsEveryCaptionInTheChosenLanguage) {
  const LanguageCase& row = GetParam();
  ASSERT_TRUE(Set("Language", row.setting));
  Texts texts;
  ASSERT_TRUE(texts.Load(LanguageFile(), row.shown));
  StoredValue old;
  const bool hadDefault = ReadValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", &old);
  if (row.systemDefault) {
    ASSERT_TRUE(
        WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", StringValue(row.systemDefault)));
  }
  Start();
  if (hadDefault) WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", old);
  ASSERT_NE(m_main, nullptr);
  ExpectWelcome(texts);
}

INSTANTIATE_TEST_SUITE_P(Languages, WelcomeTest,
                         ::testing::Values(LanguageCase{"English", "[1033]", nullptr, "[1033]"},
                                           LanguageCase{"German", "[1031]", nullptr, "[1031]"},
                                           LanguageCase{"French", "[1036]", nullptr, "[1036]"},
                                           LanguageCase{"SystemDefault", "[----]", "0407",
                                                        "[1031]"},
                                           LanguageCase{"SystemDefaultSpanish", "[----]", "0c0a",
                                                        "[3082]"}),
                         [](const auto& param) { return std::string(param.param.name); });

using StartupTest = KelpwiseTest;

TEST_F(StartupTest, AutomaticStartAnsweredNoEndsTheRunAndOnlyResetsStartup) {
  ASSERT_TRUE(Set("Startup", "automatically"));
  std::vector<std::string> expected = ConfigLines();
  ASSERT_TRUE(m_process.Start(m_dir));
  Box question;
  ASSERT_TRUE(m_process.Answer(IDNO, &question));
  EXPECT_EQ(question.caption, m_texts(TXT_CAPTION));
  EXPECT_EQ(question.text, m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2));
  EXPECT_TRUE(m_process.WaitForExit()) << "the run goes on after No";
  for (size_t i = 0; i + 1 < expected.size(); ++i) {
    if (expected[i] == "Startup") expected[i + 1] = "manually";
  }
  EXPECT_EQ(ConfigLines(), expected);
}

TEST_F(StartupTest, AutomaticStartAnsweredYesSearchesAtOnce) {
  SeedHistory(kRunMruKey, "ab");
  ASSERT_TRUE(Set("Options", "10000000000000"));
  ASSERT_TRUE(Set("Startup", "automatically"));
  ASSERT_TRUE(m_process.Start(m_dir));
  ASSERT_TRUE(m_process.Answer(IDYES));
  m_main = m_process.MainWindow();
  ASSERT_NE(m_main, nullptr);
  ASSERT_TRUE(SearchEnded());
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('b')}));
  EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, 2));
  EXPECT_EQ(Setting("Startup"), "manually");
}

TEST_F(StartupTest, MissingBlacklistIsNamedAndTheWindowStillComesUp) {
  ASSERT_TRUE(DeleteFileA(File("blacklist.ini").c_str()));
  ASSERT_TRUE(m_process.Start(m_dir));
  Box error;
  ASSERT_TRUE(m_process.Answer(IDOK, &error));
  EXPECT_NE(error.text.find("blacklist.ini"), std::string::npos) << error.text;
  m_main = m_process.MainWindow();
  ASSERT_NE(m_main, nullptr);
  EXPECT_TRUE(IsWindowEnabled(m_main));
}

}  // namespace
}  // namespace kw::test
