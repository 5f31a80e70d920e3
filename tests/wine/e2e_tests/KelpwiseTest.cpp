#include "tests/wine/e2e_tests/KelpwiseTest.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "i18n/TextIds.h"
#include "res/resource.h"

namespace kw::test {
namespace {

// The program folder the tests copy: KW_PROGRAM_DIR (a Windows path) when
// set, else the folder Kelpwise next to the test program.
std::string SourceProgramFolder() {
  const char* dir = std::getenv("KW_PROGRAM_DIR");
  if (dir && *dir) return dir;
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  return folder.substr(0, folder.find_last_of('\\')) + "\\Kelpwise";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void RemoveSeededHistory() {
  SHDeleteKeyA(HKEY_CURRENT_USER, kRunMruKey);
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Search Assistant");
}

}  // namespace

::testing::AssertionResult Texts::Load(const std::string& languageFile, const std::string& header) {
  std::string text;
  if (!ReadFile(languageFile, &text)) {
    return ::testing::AssertionFailure() << "cannot read " << languageFile;
  }
  m_texts.clear();
  bool inSection = false;
  for (const std::string& line : Lines(text)) {
    if (line == "[EOL]" && inSection) return ::testing::AssertionSuccess();
    if (inSection && line.size() > 4) {
      m_texts.emplace(std::atoi(line.substr(0, 5).c_str()), line.size() > 6 ? line.substr(6) : "");
    }
    inSection = inSection || line == header;
  }
  return ::testing::AssertionFailure() << languageFile << " has no complete section " << header;
}

std::string Texts::operator()(int id) const {
  auto found = m_texts.find(id);
  return found == m_texts.end() ? "<no text " + std::to_string(id) + ">" : found->second;
}

std::string Texts::operator()(int id, int number) const {
  std::string text = (*this)(id);
  const size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}

std::string KelpwiseTest::HistoryData(char id) {
  return std::string("notepad C:\\Kelpwise E2E\\") + id + ".txt";
}

std::string KelpwiseTest::HistoryLine(char id) {
  return std::string("\"") + id + "\"=\"notepad C:\\\\Kelpwise E2E\\\\" + id + ".txt\"";
}

void KelpwiseTest::SetUp() {
  RemoveSeededHistory();
  SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Kelpwise");
  static int counter = 0;
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  m_dir = std::string(temp) + "kelpwise-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter);
  DeleteTree(m_dir);
  const std::string source = SourceProgramFolder();
  ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr)) << m_dir;
  ASSERT_TRUE(CreateDirectoryA(File("backup").c_str(), nullptr));
  const std::vector<std::string> files = FilesIn(source);
  ASSERT_FALSE(files.empty()) << source << " is empty (set KW_PROGRAM_DIR to the program folder)";
  for (const std::string& file : files) {
    ASSERT_TRUE(CopyFileA((source + "\\" + file).c_str(), File(file).c_str(), FALSE)) << file;
  }
  ASSERT_TRUE(Set("Language", "[1033]"));
  ASSERT_TRUE(m_texts.Load(LanguageFile(), "[1033]"));
}

void KelpwiseTest::TearDown() {
  m_process.Kill();
  DeleteTree(m_dir);
  RemoveSeededHistory();
  SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Kelpwise");
}

::testing::AssertionResult KelpwiseTest::Set(const std::string& key,
                                             const std::string& value) const {
  std::vector<std::string> lines = ConfigLines();
  std::string text;
  bool found = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    text += lines[i] + "\r\n";
    if (lines[i] == key && i + 1 < lines.size()) {
      text += value + "\r\n";
      found = true;
      ++i;
    }
  }
  if (!found) return ::testing::AssertionFailure() << "config.ini has no key " << key;
  if (!WriteFile(File("config.ini"), text)) return ::testing::AssertionFailure() << "cannot write";
  return ::testing::AssertionSuccess();
}

std::string KelpwiseTest::Setting(const std::string& key) const {
  const std::vector<std::string> lines = ConfigLines();
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == key) return lines[i + 1];
  }
  return "<no setting " + key + ">";
}

std::vector<std::string> KelpwiseTest::ConfigLines() const {
  std::string text;
  ReadFile(File("config.ini"), &text);
  return Lines(text);
}

void KelpwiseTest::Start(const std::string& options) {
  if (!options.empty()) {
    ASSERT_TRUE(Set("Options", options));
  }
  ASSERT_TRUE(m_process.Start(m_dir));
  TakeMainWindow();
}

void KelpwiseTest::TakeMainWindow() {
  m_main = m_process.WaitForWindow(driver::IsMainWindow);
  ASSERT_NE(m_main, nullptr) << "no main window; the program "
                             << (m_process.IsRunning() ? "runs" : "ended");
}

::testing::AssertionResult KelpwiseTest::Search() {
  Click(m_main, IDC_START_SEARCH);
  return SearchEnded();
}

::testing::AssertionResult KelpwiseTest::SearchEnded() {
  const std::string done = m_texts(TXT_BUTTON_DELETE);
  Box box;
  WaitUntil(
      [&] {
        return (Text(m_main, IDC_START_SEARCH) == done &&
                IsWindowEnabled(GetDlgItem(m_main, IDC_OPTIONS))) ||
               m_process.WaitForBox(&box, 0) || !m_process.IsRunning();
      },
      kSearchMs);
  if (box.window) return ::testing::AssertionFailure() << "a box came up: " << box.text;
  if (Text(m_main, IDC_START_SEARCH) != done || !WaitUntilIdle(m_main, kSearchMs)) {
    return ::testing::AssertionFailure()
           << "the search did not end; status \"" << Text(m_main, IDC_STATUS) << "\"";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult KelpwiseTest::Delete(Box* box) {
  Click(m_main, IDC_START_SEARCH);
  ::testing::AssertionResult answered = m_process.Answer(IDOK, box, kSearchMs);
  if (answered && !WaitUntilIdle(m_main)) {
    return ::testing::AssertionFailure() << "the window does not respond after the deletion";
  }
  return answered;
}

HWND KelpwiseTest::List() const { return GetDlgItem(m_main, IDC_LIST_RESULTS); }

void KelpwiseTest::SeedHistory(const char* key, const std::string& ids) {
  for (char id : ids) {
    ASSERT_TRUE(
        WriteValue(HKEY_CURRENT_USER, key, std::string(1, id), StringValue(HistoryData(id))));
  }
}

std::string KelpwiseTest::RunMruRow(char id) const {
  return m_texts(CategoryTextId(0)) + "\t" + id + "\t" + HistoryData(id);
}

std::string Timestamp(const SYSTEMTIME& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
                time.wHour, time.wMinute);
  return text;
}

int DayNumber(const SYSTEMTIME& date) {
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int days = date.wDay;
  for (int year = 2000; year < date.wYear; ++year) days += year % 4 == 0 ? 366 : 365;
  for (int month = 1; month < date.wMonth; ++month) {
    days += kMonthDays[month - 1] + (month == 2 && date.wYear % 4 == 0);
  }
  return days;
}

}  // namespace kw::test
