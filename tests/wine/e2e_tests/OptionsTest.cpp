// The Options dialog from the main window: which changes bring up the
// question to search again while results are listed, and what each answer
// does with the list.
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SeededProgramTest.h"

namespace kw::test {
namespace {

enum class Change { None, DropSearchAssistant, Days, AutoStart };

struct OptionsCase {
  const char* name;
  Change change;
  int closeWith;  // IDOK or IDCANCEL
  int answer;     // to the question; 0 when none may come
  int rowsAfter;
};

void PrintTo(const OptionsCase& row, std::ostream* out) { *out << row.name; }

// Two RunMRU and two Search Assistant rows are listed when the dialog opens.
const OptionsCase kCases[] = {
    {"CancelAfterACategoryChange", Change::DropSearchAssistant, IDCANCEL, 0, 4},
    {"OkWithoutChange", Change::None, IDOK, 0, 4},
    {"CategoryChangeAnsweredYes", Change::DropSearchAssistant, IDOK, IDYES, 2},
    {"CategoryChangeAnsweredNo", Change::DropSearchAssistant, IDOK, IDNO, 4},
    {"DaysOnly", Change::Days, IDOK, 0, 4},
    {"AutomaticStartOnly", Change::AutoStart, IDOK, IDNO, 4},
};

class OptionsTest : public SeededProgramTest, public ::testing::WithParamInterface<OptionsCase> {
 protected:
  HWND OpenOptions() { return OpenDialog(IDC_OPTIONS, IDC_CHECK_RUNMRU); }

  void CloseOptions(HWND options, int button) {
    KelpwiseProcess::PressButton(options, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, kWindowTimeoutMs));
  }
};

TEST_P(OptionsTest, AsksOnlyWhenTheOptionsStringChangedWhileResultsAreListed) {
  const OptionsCase& row = GetParam();
  SeedRunMru("ab");
  SeedSearchAssistant("ab");
  StartWithOptions(kRunMruAndSearchAssistant);
  ASSERT_TRUE(Search(4));
  const std::vector<std::string> found = Rows();

  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr) << "no Options dialog";
  EXPECT_TRUE(IsChecked(options, IDC_CHECK_RUNMRU));
  EXPECT_TRUE(IsChecked(options, IDC_CHECK_SEARCH_ASSISTANT));
  EXPECT_FALSE(IsChecked(options, IDC_CHECK_PAINT));
  EXPECT_EQ(DialogItemText(options, IDC_DAYS), "30");
  switch (row.change) {
    case Change::None:
      break;
    case Change::DropSearchAssistant:
      SetCheck(options, IDC_CHECK_SEARCH_ASSISTANT, false);
      break;
    case Change::Days:
      SetControlText(options, IDC_DAYS, "12");
      break;
    case Change::AutoStart:
      SetCheck(options, IDC_CHECK_AUTOSTART, true);
      break;
  }
  CloseOptions(options, row.closeWith);

  if (row.answer) {
    MessageBoxInfo question;
    ASSERT_TRUE(m_process.WaitForMessageBox(kWindowTimeoutMs, &question)) << "no question";
    EXPECT_EQ(question.caption, kMainCaption);
    EXPECT_EQ(question.text,
              m_texts.Text(TXT_OPTIONS_CHANGED_1) + "\n\n" + m_texts.Text(TXT_OPTIONS_CHANGED_2));
    EXPECT_TRUE(MessageBoxHasIcon(question.window));
    KelpwiseProcess::PressButton(question.window, row.answer);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question.window); }, kWindowTimeoutMs));
  } else {
    EXPECT_TRUE(NoMessageBox());
  }

  if (row.rowsAfter != 4) {
    EXPECT_TRUE(WaitUntil(
        [&] {
          return m_process.ListRowCount(List()) == row.rowsAfter &&
                 DialogItemText(m_main, IDC_START_SEARCH) == m_texts.Text(TXT_BUTTON_DELETE) &&
                 IsWindowEnabled(GetDlgItem(m_main, IDC_OPTIONS));
        },
        kSearchTimeoutMs))
        << "no new pass";
    EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('b')}));
  } else {
    EXPECT_TRUE(NoMessageBox());
    EXPECT_EQ(Rows(), found);
  }
  EXPECT_EQ(DialogItemText(m_main, IDC_START_SEARCH), m_texts.Text(TXT_BUTTON_DELETE));

  // What the dialog shows next time is what it kept.
  options = OpenOptions();
  ASSERT_NE(options, nullptr);
  const bool kept = row.closeWith == IDOK;
  EXPECT_EQ(IsChecked(options, IDC_CHECK_SEARCH_ASSISTANT),
            !(kept && row.change == Change::DropSearchAssistant));
  EXPECT_EQ(DialogItemText(options, IDC_DAYS), kept && row.change == Change::Days ? "12" : "30");
  EXPECT_EQ(IsChecked(options, IDC_CHECK_AUTOSTART), kept && row.change == Change::AutoStart);
  CloseOptions(options, IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Changes, OptionsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<OptionsCase>& param) {
                           return std::string(param.param.name);
                         });

using OptionsBeforeSearchTest = SeededProgramTest;

TEST_F(OptionsBeforeSearchTest, CategoryChangeAsksNothingAndTheNextSearchUsesIt) {
  SeedRunMru("ab");
  SeedSearchAssistant("ab");
  StartWithOptions(kRunMruAndSearchAssistant);

  HWND options = OpenDialog(IDM_FILE_OPTIONS, IDC_CHECK_RUNMRU);
  ASSERT_NE(options, nullptr) << "File > Options opened nothing";
  SetCheck(options, IDC_CHECK_SEARCH_ASSISTANT, false);
  KelpwiseProcess::PressButton(options, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, kWindowTimeoutMs));
  EXPECT_TRUE(NoMessageBox());

  ASSERT_TRUE(Search(2));
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('b')}));
}

}  // namespace
}  // namespace kw::test
