// The Language Selection dialog against a private program folder: the box
// shows the current language, OK stores the chosen section, closing and a
// missing language file change nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "i18n/LanguageDlg.h"
#include "res/resource.h"
#include "tests/wine/dialog_tests/DialogTestSupport.h"

namespace kw::test {
namespace {

class LanguageDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(ProgramModule(), nullptr) << "Kelpwise.exe not found";
    m_folder.WriteLines("config.ini", {"Product ID", "kpw", "Language", "[1033]"});
    m_folder.WriteLines("kpwtrl.ini",
                        {"[----]", "00000 System default", "00002 Automatic", "[EOL]", "[1033]",
                         "00000 English", "00002 English", "00001 Please select your language",
                         "[EOL]", "[1031]", "00000 German", "00002 Deutsch", "[EOL]"});
  }

  // Runs the dialog with `current` as the language; `steps` act on it.
  std::string Choose(const std::string& current, const std::function<void(CLanguageDlg&)>& steps) {
    Scripted<CLanguageDlg> dialog(m_folder);
    dialog.m_strLanguage = current;
    dialog.m_strCaption = "Pick one";
    dialog.steps = steps;
    dialog.DoModal();
    return dialog.m_strLanguage;
  }

  ProgramFolder m_folder;
};

std::string ComboText(HWND dialog) {
  char text[128] = {};
  ::GetDlgItemTextA(dialog, IDC_LANGUAGE_COMBO, text, sizeof text);
  return text;
}

void Select(HWND dialog, const char* name) {
  ::SendDlgItemMessageA(dialog, IDC_LANGUAGE_COMBO, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(name));
}

TEST_F(LanguageDialogTest, ShowsTheCurrentLanguageAndStoresTheChosenSection) {
  std::string shown, caption;
  int items = 0;
  std::string chosen = Choose("[1033]", [&](CLanguageDlg& d) {
    shown = ComboText(d.hwnd());
    char text[64] = {};
    ::GetDlgItemTextA(d.hwnd(), IDC_LANGUAGE_GROUP, text, sizeof text);
    caption = text;
    items =
        static_cast<int>(::SendDlgItemMessageA(d.hwnd(), IDC_LANGUAGE_COMBO, CB_GETCOUNT, 0, 0));
    Select(d.hwnd(), "Deutsch");
    Click(d.hwnd(), IDOK);
  });
  EXPECT_EQ(shown, "English");
  EXPECT_EQ(caption, "Pick one");
  EXPECT_EQ(items, 3);
  EXPECT_EQ(chosen, "[1031]");
}

TEST_F(LanguageDialogTest, UnknownLanguageShowsTheSystemDefaultWordsAndOkKeepsIt) {
  std::string shown;
  std::string chosen = Choose("[9999]", [&](CLanguageDlg& d) {
    shown = ComboText(d.hwnd());
    Click(d.hwnd(), IDOK);
  });
  EXPECT_EQ(shown, "System default language");
  EXPECT_EQ(chosen, "[9999]");
}

TEST_F(LanguageDialogTest, ClosingTheDialogChangesNothing) {
  std::string chosen = Choose("[1033]", [](CLanguageDlg& d) {
    Select(d.hwnd(), "Deutsch");
    ::SendMessageA(d.hwnd(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(chosen, "[1033]");
}

TEST_F(LanguageDialogTest, MissingLanguageFileIsReportedAndOkChangesNothing) {
  ::DeleteFileA((m_folder.path() + "\\kpwtrl.ini").c_str());
  MessageBoxAnswerer answerer;
  int items = -1;
  std::string chosen = Choose("[1033]", [&](CLanguageDlg& d) {
    items =
        static_cast<int>(::SendDlgItemMessageA(d.hwnd(), IDC_LANGUAGE_COMBO, CB_GETCOUNT, 0, 0));
    Click(d.hwnd(), IDOK);
  });
  EXPECT_EQ(items, 0);
  EXPECT_EQ(chosen, "[1033]");
  ASSERT_EQ(answerer.boxes().size(), 1u);
  EXPECT_EQ(answerer.boxes()[0].text,
            "The file could not be opened:\n\n" + m_folder.path() + "\\kpwtrl.ini");
}

}  // namespace
}  // namespace kw::test
