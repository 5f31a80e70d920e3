// File > Language Selection on a running program: a new language reloads
// every text and the stored options and brings the welcome panel back; the
// current language or Escape leave everything as it was.
#include <windows.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SeededProgramTest.h"

namespace kw::test {
namespace {

struct ControlText {
  int controlId;
  int textId;
};

const ControlText kMainWindowTexts[] = {
    {IDC_START_SEARCH, TXT_BUTTON_START_SEARCH},
    {IDC_REMOVE, TXT_BUTTON_REMOVE},
    {IDC_OPTIONS, TXT_BUTTON_OPTIONS},
    {IDC_MORE_INFO, TXT_BUTTON_MORE_INFO},
    {IDC_STATUS, TXT_STATUS_IDLE},
};
const ControlText kWelcomeTexts[] = {
    {IDC_WELCOME_HEADING, TXT_WELCOME_HEADING},
    {IDC_WELCOME_INTRO, TXT_WELCOME_INTRO},
    {IDC_WELCOME_FEATURES, TXT_WELCOME_FEATURES},
};
const ControlText kOptionsTexts[] = {
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
struct MenuText {
  const char* position;
  int textId;
};
const MenuText kMenuTexts[] = {
    {"0", TXT_MENU_FILE},      {"0.0", TXT_MENU_NEW_SEARCH}, {"0.2", TXT_MENU_OPTIONS},
    {"0.3", TXT_MENU_REVERSE}, {"0.5", TXT_MENU_LANGUAGE},   {"0.7", TXT_MENU_EXIT},
    {"1", TXT_MENU_HELP},      {"1.0", TXT_MENU_HELP_FILE},  {"1.2", TXT_MENU_WEBSITE},
    {"1.4", TXT_MENU_ABOUT},
};

class LanguageTest : public SeededProgramTest {
 protected:
  HWND OpenLanguageDialog() { return OpenDialog(IDM_FILE_LANGUAGE, IDC_LANGUAGE_COMBO); }

  // Picks `displayName` and leaves the dialog with OK or Escape.
  void Choose(const std::string& displayName, bool escape) {
    HWND dialog = OpenLanguageDialog();
    ASSERT_NE(dialog, nullptr) << "no Language Selection dialog";
    SetControlText(dialog, IDC_LANGUAGE_COMBO, displayName);
    if (escape) {
      PostKey(dialog, VK_ESCAPE);
    } else {
      KelpwiseProcess::PressButton(dialog, IDOK);
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWindowTimeoutMs));
  }

  // The main window freshly started in the language of `texts`.
  void ExpectWelcomeStateIn(const LanguageSection& texts) {
    for (const ControlText& control : kMainWindowTexts) {
      SCOPED_TRACE("main window control " + std::to_string(control.controlId));
      EXPECT_EQ(DialogItemText(m_main, control.controlId), texts.Text(control.textId));
    }
    EXPECT_EQ(m_process.ListColumnHeadings(List()),
              (std::vector<std::string>{texts.Text(TXT_COLUMN_CATEGORY),
                                        texts.Text(TXT_COLUMN_NAME), texts.Text(TXT_COLUMN_DATA)}));
    std::string error;
    std::map<std::string, std::string> menu;
    for (const MenuEntry& entry : m_process.ReadMenu(m_main, &error)) {
      menu[entry.position] = entry.text;
    }
    for (const MenuText& item : kMenuTexts) {
      SCOPED_TRACE(std::string("menu position ") + item.position);
      EXPECT_EQ(menu[item.position], texts.Text(item.textId)) << error;
    }

    HWND panel = FindChildDialog(m_main);
    ASSERT_NE(panel, nullptr) << "no welcome panel";
    EXPECT_TRUE(IsWindowVisible(panel));
    for (const ControlText& control : kWelcomeTexts) {
      SCOPED_TRACE("welcome panel control " + std::to_string(control.controlId));
      EXPECT_EQ(DialogItemText(panel, control.controlId), texts.Text(control.textId));
    }
    EXPECT_FALSE(IsWindowVisible(List()));
    EXPECT_EQ(m_process.ListRowCount(List()), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_main, IDC_REMOVE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_main, IDC_MORE_INFO)));
  }

  // The Options dialog in the language of `texts`, with the options stored
  // in config.ini (only RunMRU).
  void ExpectOptionsIn(const LanguageSection& texts) {
    HWND options = OpenDialog(IDC_OPTIONS, IDC_CHECK_RUNMRU);
    ASSERT_NE(options, nullptr) << "no Options dialog";
    for (const ControlText& control : kOptionsTexts) {
      SCOPED_TRACE("Options control " + std::to_string(control.controlId));
      EXPECT_EQ(DialogItemText(options, control.controlId), texts.Text(control.textId));
    }
    EXPECT_TRUE(IsChecked(options, IDC_CHECK_RUNMRU));
    EXPECT_FALSE(IsChecked(options, IDC_CHECK_SEARCH_ASSISTANT)) << "options not reloaded";
    KelpwiseProcess::PressButton(options, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }, kWindowTimeoutMs));
  }

  // Lists two RunMRU rows and switches Search Assistant on without saving.
  void SearchAndChangeOptions() {
    SeedRunMru("ab");
    ASSERT_NO_FATAL_FAILURE(StartWithOptions(kRunMruOnly));
    ASSERT_TRUE(Search(2));
    HWND options = OpenDialog(IDC_OPTIONS, IDC_CHECK_RUNMRU);
    ASSERT_NE(options, nullptr);
    SetCheck(options, IDC_CHECK_SEARCH_ASSISTANT, true);
    KelpwiseProcess::PressButton(options, IDOK);
    MessageBoxInfo question;
    ASSERT_TRUE(AnswerMessageBox(m_process, IDNO, &question, kWindowTimeoutMs));
  }
};

TEST_F(LanguageTest, GermanAndBackReloadsEveryTextAndTheStoredOptions) {
  LanguageSection german;
  ASSERT_TRUE(german.Load(m_folder.LanguageFile(), "[1031]"));
  ASSERT_NO_FATAL_FAILURE(SearchAndChangeOptions());

  ASSERT_NO_FATAL_FAILURE(Choose(german.Text(2), false));
  ASSERT_TRUE(
      WaitUntil([&] { return DialogItemText(m_main, IDC_STATUS) == german.Text(TXT_STATUS_IDLE); },
                kWindowTimeoutMs));
  EXPECT_EQ(m_folder.ReadSetting("Language"), "[1031]");
  EXPECT_TRUE(NoMessageBox());
  ExpectWelcomeStateIn(german);
  ExpectOptionsIn(german);

  ASSERT_NO_FATAL_FAILURE(Choose(m_texts.Text(2), false));
  ASSERT_TRUE(
      WaitUntil([&] { return DialogItemText(m_main, IDC_STATUS) == m_texts.Text(TXT_STATUS_IDLE); },
                kWindowTimeoutMs));
  EXPECT_EQ(m_folder.ReadSetting("Language"), "[1033]");
  ExpectWelcomeStateIn(m_texts);
  ExpectOptionsIn(m_texts);
}

struct KeepCase {
  const char* name;
  const char* choice;  // display name typed into the language box
  bool escape;         // leave with Escape instead of OK
};

void PrintTo(const KeepCase& row, std::ostream* out) { *out << row.name; }

const KeepCase kKeepCases[] = {
    {"CurrentLanguageWithOk", "English", false},
    {"OtherLanguageWithEscape", "Deutsch", true},
    {"UnknownNameWithOk", "Klingon", false},
};

class LanguageKeptTest : public LanguageTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(LanguageKeptTest, LeavesSettingsListAndTextsAlone) {
  const KeepCase& row = GetParam();
  SeedRunMru("ab");
  StartWithOptions(kRunMruOnly);
  ASSERT_TRUE(Search(2));
  const std::vector<std::string> config = m_folder.ConfigLines();
  const std::string status = DialogItemText(m_main, IDC_STATUS);

  HWND dialog = OpenLanguageDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_LANGUAGE_COMBO)), "English");
  KelpwiseProcess::PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWindowTimeoutMs));

  ASSERT_NO_FATAL_FAILURE(Choose(row.choice, row.escape));
  EXPECT_TRUE(NoMessageBox());
  EXPECT_EQ(m_folder.ConfigLines(), config);
  EXPECT_EQ(DialogItemText(m_main, IDC_STATUS), status);
  EXPECT_EQ(m_process.ListRowCount(List()), 2);
  EXPECT_TRUE(IsWindowVisible(List()));
  EXPECT_EQ(FindChildDialog(m_main), nullptr) << "the welcome panel came back";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_main, IDC_MORE_INFO)));
}

INSTANTIATE_TEST_SUITE_P(Choices, LanguageKeptTest, ::testing::ValuesIn(kKeepCases),
                         [](const ::testing::TestParamInfo<KeepCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace kw::test
