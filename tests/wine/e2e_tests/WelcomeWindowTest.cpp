// The main window as it first comes up: every caption in the chosen
// language, the welcome panel over the hidden results list.
#include <windows.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"
#include "tests/wine/e2e_tests/LanguageSection.h"

namespace kw::test {
namespace {

constexpr char kLanguageKey[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

// Sets the system's default language ("Default" under kLanguageKey) for its
// lifetime and puts the old value back afterwards.
class ScopedSystemLanguage {
 public:
  explicit ScopedSystemLanguage(const char* value) {
    if (!value) return;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLanguageKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &m_key) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open HKLM\\" << kLanguageKey;
      m_key = nullptr;
      return;
    }
    char old[64] = "";
    DWORD size = sizeof old, type = 0;
    m_hadValue = RegQueryValueExA(m_key, "Default", nullptr, &type, reinterpret_cast<BYTE*>(old),
                                  &size) == ERROR_SUCCESS &&
                 type == REG_SZ;
    m_old = m_hadValue ? old : "";
    Set(value);
  }
  ~ScopedSystemLanguage() {
    if (!m_key) return;
    if (m_hadValue) {
      Set(m_old.c_str());
    } else {
      RegDeleteValueA(m_key, "Default");
    }
    RegCloseKey(m_key);
  }
  ScopedSystemLanguage(const ScopedSystemLanguage&) = delete;
  ScopedSystemLanguage& operator=(const ScopedSystemLanguage&) = delete;

 private:
  void Set(const char* value) {
    EXPECT_EQ(RegSetValueExA(m_key, "Default", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>(strlen(value) + 1)),
              ERROR_SUCCESS);
  }

  HKEY m_key = nullptr;
  bool m_hadValue = false;
  std::string m_old;
};

struct LanguageCase {
  const char* name;
  const char* languageSetting;  // config.ini "Language"
  const char* systemDefault;    // system default language value, or null to keep it
  const char* shownSection;     // section of the language file whose texts must show
};

void PrintTo(const LanguageCase& row, std::ostream* out) { *out << row.name; }

const LanguageCase kLanguageCases[] = {
    {"English", "[1033]", nullptr, "[1033]"},
    {"German", "[1031]", nullptr, "[1031]"},
    {"SystemDefaultGerman", "[----]", "0407", "[1031]"},
    {"SystemDefaultSwissGermanDialect", "[----]", "0807", "[1031]"},
};

struct MenuRow {
  const char* position;
  int textId;
  unsigned commandId;  // 0 for a drop-down menu
};

const MenuRow kMenuRows[] = {
    {"0", TXT_MENU_FILE, 0},
    {"0.0", TXT_MENU_NEW_SEARCH, IDM_FILE_NEW_SEARCH},
    {"0.2", TXT_MENU_OPTIONS, IDM_FILE_OPTIONS},
    {"0.3", TXT_MENU_REVERSE, IDM_FILE_REVERSE_CHANGES},
    {"0.5", TXT_MENU_LANGUAGE, IDM_FILE_LANGUAGE},
    {"0.7", TXT_MENU_EXIT, IDM_FILE_EXIT},
    {"1", TXT_MENU_HELP, 0},
    {"1.0", TXT_MENU_HELP_FILE, IDM_HELP_SHOW_FILE},
    {"1.2", TXT_MENU_WEBSITE, IDM_HELP_WEBSITE},
    {"1.4", TXT_MENU_ABOUT, IDM_HELP_ABOUT},
};
const char* const kMenuSeparators[] = {"0.1", "0.4", "0.6", "1.1", "1.3"};

struct ControlRow {
  int controlId;
  int textId;
};

const ControlRow kMainWindowTexts[] = {
    {IDC_START_SEARCH, TXT_BUTTON_START_SEARCH},
    {IDC_REMOVE, TXT_BUTTON_REMOVE},
    {IDC_OPTIONS, TXT_BUTTON_OPTIONS},
    {IDC_MORE_INFO, TXT_BUTTON_MORE_INFO},
    {IDC_STATUS, TXT_STATUS_IDLE},
};
const ControlRow kWelcomeTexts[] = {
    {IDC_WELCOME_HEADING, TXT_WELCOME_HEADING},
    {IDC_WELCOME_INTRO, TXT_WELCOME_INTRO},
    {IDC_WELCOME_FEATURES, TXT_WELCOME_FEATURES},
};

class WelcomeWindowTest : public KelpwiseTest,
                          public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(WelcomeWindowTest, ShowsEveryCaptionInTheChosenLanguage) {
  const LanguageCase& row = GetParam();
  ASSERT_TRUE(m_folder.SetSetting("Language", row.languageSetting));
  LanguageSection texts;
  ASSERT_TRUE(texts.Load(m_folder.LanguageFile(), row.shownSection));
  ScopedSystemLanguage systemLanguage(row.systemDefault);

  StartProgram();
  HWND main = MainWindow();
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(WindowText(main), kMainCaption);
  for (const ControlRow& control : kMainWindowTexts) {
    SCOPED_TRACE("control " + std::to_string(control.controlId));
    EXPECT_EQ(DialogItemText(main, control.controlId), texts.Text(control.textId));
  }
  EXPECT_EQ(DialogItemText(main, IDC_CHECKING), "");

  HWND list = GetDlgItem(main, IDC_LIST_RESULTS);
  ASSERT_NE(list, nullptr);
  std::vector<std::string> headings = {texts.Text(TXT_COLUMN_CATEGORY), texts.Text(TXT_COLUMN_NAME),
                                       texts.Text(TXT_COLUMN_DATA)};
  EXPECT_EQ(m_process.ListColumnHeadings(list), headings);

  HWND panel = FindChildDialog(main);
  ASSERT_NE(panel, nullptr) << "no welcome panel";
  for (const ControlRow& control : kWelcomeTexts) {
    SCOPED_TRACE("welcome panel control " + std::to_string(control.controlId));
    EXPECT_EQ(DialogItemText(panel, control.controlId), texts.Text(control.textId));
  }

  std::string error;
  std::vector<MenuEntry> menu = m_process.ReadMenu(main, &error);
  ASSERT_FALSE(menu.empty()) << error;
  std::map<std::string, MenuEntry> byPosition;
  for (const MenuEntry& entry : menu) byPosition[entry.position] = entry;
  EXPECT_EQ(menu.size(), std::size(kMenuRows) + std::size(kMenuSeparators));
  for (const MenuRow& expected : kMenuRows) {
    SCOPED_TRACE(std::string("menu position ") + expected.position);
    auto found = byPosition.find(expected.position);
    ASSERT_NE(found, byPosition.end());
    EXPECT_EQ(found->second.text, texts.Text(expected.textId));
    EXPECT_EQ(found->second.popup, expected.commandId == 0);
    if (expected.commandId) {
      EXPECT_EQ(found->second.id, expected.commandId);
    }
  }
  for (const char* position : kMenuSeparators) {
    SCOPED_TRACE(std::string("menu position ") + position);
    EXPECT_TRUE(byPosition[position].separator);
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, WelcomeWindowTest, ::testing::ValuesIn(kLanguageCases),
                         [](const ::testing::TestParamInfo<LanguageCase>& param) {
                           return std::string(param.param.name);
                         });

using WelcomeStateTest = KelpwiseTest;

TEST_F(WelcomeStateTest, PanelCoversHiddenListAndOnlySearchAndOptionsAreEnabled) {
  ASSERT_TRUE(m_folder.SetSetting("Language", "[1033]"));
  StartProgram();
  HWND main = MainWindow();
  ASSERT_NE(main, nullptr);

  HWND panel = FindChildDialog(main);
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(IsWindowVisible(panel));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, IDC_LIST_RESULTS)));
  EXPECT_EQ(m_process.ListRowCount(GetDlgItem(main, IDC_LIST_RESULTS)), 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_START_SEARCH)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_OPTIONS)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_REMOVE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_MORE_INFO)));
}

}  // namespace
}  // namespace kw::test
