// The language of the window: "[----]" follows the system's default
// language, and File > Language Selection on a running program reloads
// every text and the stored options and brings the welcome panel back; the
// current language, or another one left with Escape, changes nothing.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kLanguageKey[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

class LanguageTest : public KelpwiseTest {
 protected:
  // Types `name` into Language Selection and leaves it with OK or Escape.
  void Choose(const std::string& name, bool escape) {
    Click(m_main, IDM_FILE_LANGUAGE);
    HWND dialog = m_process.WaitForDialog(IDC_LANGUAGE_COMBO);
    ASSERT_NE(dialog, nullptr) << "no Language Selection";
    SetText(dialog, IDC_LANGUAGE_COMBO, name);
    if (escape) {
      PostKey(dialog, VK_ESCAPE);
    } else {
      Click(dialog, IDOK);
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  // The welcome panel and a caption each of the main window and of Options.
  std::vector<std::string> Shown() {
    HWND panel = FindWindowExA(m_main, nullptr, "#32770", nullptr);
    std::vector<std::string> shown = {Text(m_main, IDC_START_SEARCH),
                                      panel && IsWindowVisible(panel)
                                          ? Text(panel, IDC_WELCOME_HEADING)
                                          : "<no welcome panel>"};
    Click(m_main, IDC_OPTIONS);
    HWND options = m_process.WaitForDialog(IDC_CHECK_RUNMRU);
    shown.push_back(options ? Text(options, IDC_CHECK_SEARCH_ASSISTANT) : "<no Options>");
    Click(options, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
    return shown;
  }
  static std::vector<std::string> Expected(const Texts& texts) {
    return {texts(TXT_BUTTON_START_SEARCH), texts(TXT_WELCOME_HEADING), texts(CategoryTextId(1))};
  }
};

TEST_F(LanguageTest, SystemDefaultAndEachNewLanguageReloadEverythingTheCurrentOrEscapeKeepAll) {
  Texts german;
  ASSERT_TRUE(german.Load(LanguageFile(), "[1031]"));
  StoredValue old;
  const bool hadDefault = ReadValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", &old);
  ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", StringValue("0407")));
  ASSERT_TRUE(Set("Language", "[----]"));
  SeedHistory(kRunMruKey, "ab");
  Start("10000000000000");
  if (hadDefault) WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", old);
  ASSERT_NE(m_main, nullptr);
  EXPECT_EQ(Shown(), Expected(german));
  ASSERT_NO_FATAL_FAILURE(Choose(m_texts(2), false));
  ASSERT_TRUE(WaitUntilIdle(m_main));
  EXPECT_EQ(Setting("Language"), "[1033]");

  ASSERT_TRUE(Search());
  // An unsaved change of the options, which a new language drops.
  Click(m_main, IDC_OPTIONS);
  HWND options = m_process.WaitForDialog(IDC_CHECK_RUNMRU);
  ASSERT_NE(options, nullptr);
  SetCheck(options, IDC_CHECK_SEARCH_ASSISTANT, true);
  Click(options, IDOK);
  ASSERT_TRUE(m_process.Answer(IDNO));
  const std::vector<std::string> config = ConfigLines();
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "German with Escape" : "English with OK");
    ASSERT_NO_FATAL_FAILURE(Choose(escape ? german(2) : m_texts(2), escape));
    EXPECT_TRUE(m_process.NoBox());
    EXPECT_EQ(ConfigLines(), config);
    EXPECT_EQ(Rows().size(), 2u);
  }

  ASSERT_NO_FATAL_FAILURE(Choose(german(2), false));
  ASSERT_TRUE(WaitUntilIdle(m_main));
  EXPECT_EQ(Setting("Language"), "[1031]");
  EXPECT_EQ(Shown(), Expected(german));
  EXPECT_EQ(Rows().size(), 0u);
  ASSERT_NO_FATAL_FAILURE(Choose(m_texts(2), false));
  ASSERT_TRUE(WaitUntilIdle(m_main));
  ASSERT_TRUE(Search());
  EXPECT_EQ(Rows().size(), 2u) << "the dropped Search Assistant is searched";
}

}  // namespace
}  // namespace kw::test
