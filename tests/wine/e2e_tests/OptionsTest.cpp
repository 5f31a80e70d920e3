// The Options dialog while results are listed: which changes bring up the
// question to search again, and what each answer does with the list.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

enum class Change { None, DropSearchAssistant, Days, BreakDown, AddPaint };

struct Step {
  const char* name;
  Change change;
  int closeWith;          // IDOK or IDCANCEL
  int answer;             // to the question; 0 when none may come
  const char* daysShown;  // when the dialog opens
};

// In this order on one program run; a new pass only follows the last step.
const Step kSteps[] = {
    {"category change cancelled", Change::DropSearchAssistant, IDCANCEL, 0, "3 days"},
    {"OK without change", Change::None, IDOK, 0, "3 days"},
    {"days only", Change::Days, IDOK, 0, "3 days"},
    {"category change answered No", Change::DropSearchAssistant, IDOK, IDNO, "12"},
    {"break-down change answered No", Change::BreakDown, IDOK, IDNO, "12"},
    {"category change answered Yes", Change::AddPaint, IDOK, IDYES, "12"},
};

using OptionsTest = KelpwiseTest;

TEST_F(OptionsTest, AsksOnlyWhenTheOptionsChangeAndOnlyYesSearchesAgainWithTheNewOnes) {
  SeedHistory(kRunMruKey, "ab");
  SeedHistory(kSearchAssistantKey, "ab");
  ASSERT_TRUE(Set("CheckTime", "3 days"));  // stored before the field took digits only
  ASSERT_NO_FATAL_FAILURE(Start("11000000000000"));
  ASSERT_TRUE(Search());
  const std::vector<std::string> listed = Rows();
  ASSERT_EQ(listed.size(), 4u);

  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.name);
    Click(m_main, IDC_OPTIONS);
    HWND options = m_process.WaitForDialog(IDC_CHECK_RUNMRU);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Text(options, IDC_DAYS), step.daysShown);
    // Typing takes at most four digits; a stored text shows as it stands.
    HWND days = GetDlgItem(options, IDC_DAYS);
    EXPECT_TRUE(GetWindowLongA(days, GWL_STYLE) & ES_NUMBER);
    EXPECT_EQ(driver::Send(days, EM_GETLIMITTEXT), 4);
    if (step.change == Change::DropSearchAssistant)
      SetCheck(options, IDC_CHECK_SEARCH_ASSISTANT, false);
    if (step.change == Change::Days) SetText(options, IDC_DAYS, "12");
    if (step.change == Change::AddPaint) SetCheck(options, IDC_CHECK_PAINT, true);
    if (step.change == Change::BreakDown) SetCheck(options, IDC_CHECK_BREAK_DOWN, true);
    Click(options, step.closeWith);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
    if (step.answer) {
      Box question;
      ASSERT_TRUE(m_process.Answer(step.answer, &question));
      EXPECT_EQ(question.text,
                m_texts(TXT_OPTIONS_CHANGED_1) + "\n\n" + m_texts(TXT_OPTIONS_CHANGED_2));
    }
    if (step.answer != IDYES) {
      EXPECT_TRUE(m_process.NoBox());
      EXPECT_EQ(Rows(), listed);
    }
  }
  // The new pass has Search Assistant off, as kept after No, and Paint on.
  const std::vector<std::string> runMruOnly = {RunMruRow('a'), RunMruRow('b')};
  EXPECT_TRUE(WaitUntil([&] { return Rows() == runMruOnly; }, kSearchMs));
  EXPECT_TRUE(SearchEnded());
}

}  // namespace
}  // namespace kw::test
