#include "tests/wine/e2e_tests/SearchTestBase.h"

#include <algorithm>
#include <cstdio>

#include "i18n/TextIds.h"
#include "res/resource.h"

namespace kw::test {

void SearchTestBase::SetUp() {
  KelpwiseTest::SetUp();
  ASSERT_TRUE(m_folder.SetSetting("Language", "[1033]"));
  ASSERT_TRUE(m_texts.Load(m_folder.LanguageFile(), "[1033]"));
}

void SearchTestBase::TearDown() {
  // The demo goes after the program, so that nothing of it runs on a
  // half-removed registry.
  m_process.Kill();
}

HWND SearchTestBase::StartMainWindow() {
  std::string error;
  if (!m_process.Start(m_folder.path(), &error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return MainWindow();
}

::testing::AssertionResult SearchTestBase::Search(HWND main) {
  const std::string deleteCaption = m_texts.Text(TXT_BUTTON_DELETE);
  KelpwiseProcess::PressButton(main, IDC_START_SEARCH);
  MessageBoxInfo box;
  bool ended = WaitUntil(kSearchTimeoutMs, [&] {
    return ControlTextNow(main, IDC_START_SEARCH) == deleteCaption ||
           m_process.WaitForMessageBox(0, &box) || !m_process.IsRunning();
  });
  if (box.window) {
    return ::testing::AssertionFailure()
           << "a message box came up during the search: \"" << box.text << "\"";
  }
  if (!m_process.IsRunning()) return ::testing::AssertionFailure() << "the program ended";
  if (!ended || !WaitUntilResponsive(main, kSearchTimeoutMs)) {
    return ::testing::AssertionFailure()
           << "the search did not end within " << kSearchTimeoutMs / 1000 << " s; status \""
           << ControlTextNow(main, IDC_STATUS) << "\", progress \""
           << ControlTextNow(main, IDC_CHECKING) << "\"";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SearchTestBase::PressDelete(HWND main, MessageBoxInfo* box,
                                                       bool expectIdle) {
  KelpwiseProcess::PressButton(main, IDC_START_SEARCH);
  if (!m_process.WaitForMessageBox(kSearchTimeoutMs, box)) {
    return ::testing::AssertionFailure() << "no message box after Delete Entries; status \""
                                         << ControlTextNow(main, IDC_STATUS) << "\"";
  }
  KelpwiseProcess::PressButton(box->window, IDOK);
  if (!WaitUntil(kExitTimeoutMs, [&] { return !IsWindow(box->window); })) {
    return ::testing::AssertionFailure() << "the box \"" << box->text << "\" stayed after OK";
  }
  const std::string idleCaption = m_texts.Text(TXT_BUTTON_START_SEARCH);
  if (expectIdle && !WaitUntil(kExitTimeoutMs, [&] {
        return ControlTextNow(main, IDC_START_SEARCH) == idleCaption;
      })) {
    return ::testing::AssertionFailure()
           << "Start Search shows \"" << ControlTextNow(main, IDC_START_SEARCH)
           << "\" after the deletion";
  }
  if (!WaitUntilResponsive(main, kExitTimeoutMs)) {
    return ::testing::AssertionFailure() << "the window does not respond after the deletion";
  }
  return ::testing::AssertionSuccess();
}

std::vector<ListedRow> SearchTestBase::Rows(HWND main) const {
  return ReadListedRows(m_process, GetDlgItem(main, IDC_LIST_RESULTS));
}

std::string SearchTestBase::TextWithNumber(int id, int number) const {
  std::string text = m_texts.Text(id);
  size_t placeholder = text.find("%d");
  if (placeholder != std::string::npos) text.replace(placeholder, 2, std::to_string(number));
  return text;
}

std::vector<std::string> SearchTestBase::BackupFileNames() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((BackupFolder() + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Timestamp(const SYSTEMTIME& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
                time.wHour, time.wMinute);
  return text;
}

int DayNumber(const SYSTEMTIME& date) {
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int days = 0;
  for (int year = 2000; year < date.wYear; ++year) days += year % 4 == 0 ? 366 : 365;
  for (int month = 1; month < date.wMonth; ++month) {
    days += kMonthDays[month - 1] + (month == 2 && date.wYear % 4 == 0 ? 1 : 0);
  }
  return days + date.wDay;
}

}  // namespace kw::test
