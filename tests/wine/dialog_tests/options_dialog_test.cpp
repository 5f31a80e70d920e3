// The Options dialog: check boxes from the options string, the string
// rebuilt on OK, captions from the translated texts, Cancel changing nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "options/OptionsDlg.h"
#include "res/resource.h"
#include "tests/wine/dialog_tests/DialogTestSupport.h"

namespace kw::test {
namespace {

// Check boxes in the order of the options string.
const int kPositionIds[] = {IDC_CHECK_RUNMRU,      IDC_CHECK_SEARCH_ASSISTANT,
                            IDC_CHECK_PAINT,       IDC_CHECK_WORDPAD,
                            IDC_CHECK_EXPLORER,    IDC_CHECK_EXCEL,
                            IDC_CHECK_EXE,         IDC_CHECK_FONTS,
                            IDC_CHECK_SHARED_DLLS, IDC_CHECK_COM,
                            IDC_CHECK_ACTIVEX,     IDC_CHECK_HELP_FILES,
                            IDC_CHECK_BREAK_DOWN,  IDC_CHECK_AUTOSTART};

std::string ShownChecks(HWND dialog) {
  std::string shown;
  for (int id : kPositionIds) {
    shown += ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
  }
  return shown;
}

std::string TextOf(HWND dialog, int id) {
  char text[512] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(ProgramModule(), nullptr) << "Kelpwise.exe not found"; }
};

TEST_F(OptionsDialogTest, ChecksFollowTheOptionsStringAndCancelKeepsIt) {
  struct {
    const char* options;
    const char* shown;
  } rows[] = {
      {"10000000000001", "10000000000001"},
      {"11111111111111", "11111111111111"},
      {"x1?0 000000011", "01000000000011"},  // only "1" is on
      {"0011", "00110000000000"},            // missing positions are off
      {"", "00000000000000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.options);
    Scripted<COptionsDlg> dialog;
    dialog.m_strOptions = row.options;
    dialog.m_strDays = "30";
    std::string shown;
    dialog.steps = [&](COptionsDlg& d) {
      shown = ShownChecks(d.hwnd());
      ::SetDlgItemTextA(d.hwnd(), IDC_DAYS, "99");
      Click(d.hwnd(), IDC_CHECK_RUNMRU);
      Click(d.hwnd(), IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(shown, row.shown);
    EXPECT_EQ(dialog.m_strOptions, row.options);
    EXPECT_EQ(dialog.m_strDays, "30");
  }
}

TEST_F(OptionsDialogTest, OkRewritesTheStringFromTheChecksAndKeepsTheDaysAsTyped) {
  Scripted<COptionsDlg> dialog;
  dialog.m_strOptions = "1x1?000000000";  // thirteen characters, odd ones off
  dialog.m_strDays = "30";
  dialog.steps = [](COptionsDlg& d) {
    ::CheckDlgButton(d.hwnd(), IDC_CHECK_SEARCH_ASSISTANT, BST_CHECKED);
    ::CheckDlgButton(d.hwnd(), IDC_CHECK_AUTOSTART, BST_CHECKED);
    ::CheckDlgButton(d.hwnd(), IDC_CHECK_PAINT, BST_UNCHECKED);
    ::SetDlgItemTextA(d.hwnd(), IDC_DAYS, "two weeks");
    Click(d.hwnd(), IDOK);
  };
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_strOptions, "11000000000001");
  EXPECT_TRUE(dialog.m_bAutoStart);
  EXPECT_EQ(dialog.m_strDays, "two weeks");
}

TEST_F(OptionsDialogTest, CaptionsComeFromTheTranslatedTexts) {
  struct {
    int id;
    size_t entry;
  } placements[] = {
      {IDC_GROUP_KINDS, 1},        {IDC_OPTIONS_DESCRIPTION, 2},
      {IDC_CHECK_RUNMRU, 3},       {IDC_CHECK_SEARCH_ASSISTANT, 4},
      {IDC_CHECK_PAINT, 5},        {IDC_CHECK_WORDPAD, 6},
      {IDC_CHECK_EXPLORER, 7},     {IDC_CHECK_EXCEL, 8},
      {IDC_CHECK_EXE, 9},          {IDC_CHECK_FONTS, 10},
      {IDC_CHECK_SHARED_DLLS, 11}, {IDC_CHECK_COM, 12},
      {IDC_CHECK_ACTIVEX, 13},     {IDC_CHECK_HELP_FILES, 14},
      {IDC_GROUP_MORE, 15},        {IDC_CHECK_BREAK_DOWN, 16},
      {IDC_OPTIONS_HELP, 17},      {IDCANCEL, 18},
      {IDC_CHECK_AUTOSTART, 19},   {IDC_DAYS_LABEL, 20},
  };
  Scripted<COptionsDlg> dialog;
  for (int i = 0; i < 21; ++i) dialog.m_arrTexts.push_back("text " + std::to_string(i));
  std::vector<std::string> shown;
  dialog.steps = [&](COptionsDlg& d) {
    for (const auto& place : placements) shown.push_back(TextOf(d.hwnd(), place.id));
    Click(d.hwnd(), IDCANCEL);
  };
  dialog.DoModal();
  ASSERT_EQ(shown.size(), std::size(placements));
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE("control " + std::to_string(placements[i].id));
    EXPECT_EQ(shown[i], "text " + std::to_string(placements[i].entry));
  }
}

TEST_F(OptionsDialogTest, MissingTextsLeaveTheTemplateCaptionsOfTheButtons) {
  Scripted<COptionsDlg> dialog;
  dialog.m_arrTexts = {"title", "Kinds"};  // only the first two entries
  std::string group, check, cancel;
  dialog.steps = [&](COptionsDlg& d) {
    group = TextOf(d.hwnd(), IDC_GROUP_KINDS);
    check = TextOf(d.hwnd(), IDC_CHECK_RUNMRU);
    cancel = TextOf(d.hwnd(), IDCANCEL);
    Click(d.hwnd(), IDCANCEL);
  };
  dialog.DoModal();
  EXPECT_EQ(group, "Kinds");
  EXPECT_EQ(check, "RunMRU");
  EXPECT_EQ(cancel, "Cancel");
}

}  // namespace
}  // namespace kw::test
