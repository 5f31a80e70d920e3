// File > Language Selection on a running program: a new language reloads
// every text and the stored options and brings the welcome panel back; the
// current language, or another one left with Escape, changes nothing.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

const std::pair<int, int> kOptionsTexts[] = {
    {IDC_GROUP_KINDS, TXT_OPTIONS_KIND_GROUP},
    {IDC_OPTIONS_DESCRIPTION, TXT_OPTIONS_DESCRIPTION},
    {IDC_CHECK_RUNMRU, CategoryTextId(0)},
    {IDC_CHECK_SEARCH_ASSISTANT, CategoryTextId(1)},
    {IDC_CHECK_PAINT, CategoryTextId(2)},
    {IDC_CHECK_WORDPAD, CategoryTextId(3)},
    {IDC_CHECK_EXPLORER, CategoryTextId(4)},
    {IDC_CHECK_EXCEL, CategoryTextId(5)},
    {IDC_CHECK_EXE, CategoryTextId(6)},
    {IDC_CHECK_FONTS, CategoryTextId(7)},
    {IDC_CHECK_SHARED_DLLS, CategoryTextId(8)},
    {IDC_CHECK_COM, CategoryTextId(9)},
    {IDC_CHECK_ACTIVEX, CategoryTextId(10)},
    {IDC_CHECK_HELP_FILES, CategoryTextId(11)},
    {IDC_GROUP_MORE, TXT_OPTIONS_MORE_GROUP},
    {IDC_CHECK_BREAK_DOWN, TXT_OPTIONS_BREAK_DOWN},
    {IDC_OPTIONS_HELP, TXT_MENU_HELP},
    {IDCANCEL, TXT_OPTIONS_CANCEL},
    {IDC_CHECK_AUTOSTART, TXT_OPTIONS_AUTOSTART},
    {IDC_DAYS_LABEL, TXT_OPTIONS_DAYS},
};

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

  // Options in the language of `texts`, with the stored options (RunMRU only).
  void ExpectOptionsIn(const Texts& texts) {
    Click(m_main, IDC_OPTIONS);
    HWND options = m_process.WaitForDialog(IDC_CHECK_RUNMRU);
    ASSERT_NE(options, nullptr);
    std::vector<std::string> shown, expected;
    for (const auto& [control, text] : kOptionsTexts) {
      shown.push_back(Text(options, control));
      expected.push_back(texts(text));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(IsChecked(options, IDC_CHECK_RUNMRU));
    EXPECT_FALSE(IsChecked(options, IDC_CHECK_SEARCH_ASSISTANT)) << "options not reloaded";
    Click(options, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  }
};

TEST_F(LanguageTest, NewLanguageReloadsEverythingAndTheCurrentOneOrEscapeKeepsAll) {
  Texts german;
  ASSERT_TRUE(german.Load(LanguageFile(), "[1031]"));
  SeedHistory(kRunMruKey, "ab");
  ASSERT_NO_FATAL_FAILURE(Start("10000000000000"));
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
    EXPECT_TRUE(IsWindowVisible(List()));
    EXPECT_EQ(FindWindowExA(m_main, nullptr, "#32770", nullptr), nullptr) << "welcome panel back";
  }

  for (const Texts* texts : {&german, &m_texts}) {
    SCOPED_TRACE((*texts)(2));
    ASSERT_NO_FATAL_FAILURE(Choose((*texts)(2), false));
    EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == (*texts)(TXT_STATUS_IDLE); }));
    ASSERT_TRUE(WaitUntilIdle(m_main));
    EXPECT_EQ(Setting("Language"), texts == &german ? "[1031]" : "[1033]");
    ExpectWelcome(*texts);
    ExpectOptionsIn(*texts);
  }
}

}  // namespace
}  // namespace kw::test
