#include "tests/wine/e2e_tests/SeededProgramTest.h"

#include <algorithm>
#include <iterator>

#include "i18n/TextIds.h"
#include "res/resource.h"

namespace kw::test {

void SeededProgramTest::SetUp() {
  KelpwiseTest::SetUp();
  ASSERT_TRUE(m_folder.SetSetting("Language", "[1033]"));
  ASSERT_TRUE(m_texts.Load(m_folder.LanguageFile(), "[1033]"));
  m_keys =
      std::make_unique<ScopedUserKeys>(std::vector<std::string>{kRunMruKey, kSearchAssistantKey});
}

std::string SeededProgramTest::RunMruData(char id) {
  return std::string("notepad C:\\Kelpwise E2E\\") + id + ".txt";
}

std::string SeededProgramTest::RunMruRow(char id) const {
  return m_texts.Text(CategoryTextId(0)) + "\t" + std::string(1, id) + "\t" + RunMruData(id);
}

std::string SeededProgramTest::RunMruValueLine(char id) {
  return std::string("\"") + id + "\"=\"notepad C:\\\\Kelpwise E2E\\\\" + id + ".txt\"";
}

void SeededProgramTest::SeedRunMru(const std::string& ids) {
  for (char id : ids)
    ASSERT_TRUE(m_keys->SetString(kRunMruKey, std::string(1, id), RunMruData(id)));
}

void SeededProgramTest::SeedSearchAssistant(const std::string& ids) {
  for (char id : ids) {
    ASSERT_TRUE(m_keys->SetString(kSearchAssistantMruKey, std::string(3, id),
                                  std::string("kelpwise e2e query ") + id));
  }
}

void SeededProgramTest::StartWithOptions(const std::string& options) {
  ASSERT_TRUE(m_folder.SetSetting("Options", options));
  StartProgram();
  m_main = MainWindow();
  ASSERT_NE(m_main, nullptr);
}

::testing::AssertionResult SeededProgramTest::Search(int rows) {
  PostCommand(m_main, IDC_START_SEARCH);
  const std::string deleteCaption = m_texts.Text(TXT_BUTTON_DELETE);
  bool done = WaitUntil(
      [&] {
        return DialogItemText(m_main, IDC_START_SEARCH) == deleteCaption &&
               IsWindowEnabled(GetDlgItem(m_main, IDC_OPTIONS));
      },
      kSearchTimeoutMs);
  if (!done) return ::testing::AssertionFailure() << "the search did not finish";
  int listed = m_process.ListRowCount(List());
  if (listed != rows) {
    return ::testing::AssertionFailure() << listed << " rows listed instead of " << rows;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SeededProgramTest::DeleteListed(std::string* backupFile) {
  const std::string folder = m_folder.File("backup");
  std::vector<std::string> before = RegFilesIn(folder);
  PostCommand(m_main, IDC_START_SEARCH);
  MessageBoxInfo report;
  ::testing::AssertionResult answered =
      AnswerMessageBox(m_process, IDOK, &report, kSearchTimeoutMs);
  if (!answered) return answered << " (the deletion report)";
  std::vector<std::string> after = RegFilesIn(folder), added;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::back_inserter(added));
  if (added.size() != 1) {
    return ::testing::AssertionFailure() << added.size() << " new backup files";
  }
  *backupFile = folder + "\\" + added.front();
  return ::testing::AssertionSuccess();
}

HWND SeededProgramTest::OpenDialog(int command, int controlId) {
  PostCommand(m_main, command);
  return WaitForProcessDialog(m_process.id(), controlId, kWindowTimeoutMs);
}

std::string SeededProgramTest::TextWithNumber(int id, int number) const {
  std::string text = m_texts.Text(id);
  size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}

::testing::AssertionResult SeededProgramTest::NoMessageBox() {
  MessageBoxInfo box;
  if (m_process.WaitForMessageBox(kNoBoxMs, &box)) {
    return ::testing::AssertionFailure() << "unexpected box: " << box.text;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
