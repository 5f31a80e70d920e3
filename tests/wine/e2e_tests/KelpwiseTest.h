// Base fixture of the end-to-end tests: a private copy of the program folder
// in English, one run of Kelpwise.exe from it, and the steps a user takes in
// the main window. History values that tests seed are removed before and
// after each test.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/e2e_tests/Driver.h"
#include "tests/wine/e2e_tests/Support.h"

namespace kw::test {

constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr char kSearchAssistantKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// One section of the language file, read the way the program reads it:
// "NNNNN text" lines between the header and "[EOL]".
class Texts {
 public:
  ::testing::AssertionResult Load(const std::string& languageFile, const std::string& header);
  // A marker text when the section lacks `id`, so that comparisons fail readably.
  std::string operator()(int id) const;
  // The text with its one "%d" replaced by `number`.
  std::string operator()(int id, int number) const;

 private:
  std::map<int, std::string> m_texts;
};

class KelpwiseTest : public ::testing::Test {
 public:
  // The data of seeded history value `id`, and that value's line in a backup.
  static std::string HistoryData(char id);
  static std::string HistoryLine(char id);

 protected:
  void SetUp() override;
  void TearDown() override;

  std::string File(const std::string& name) const { return m_dir + "\\" + name; }
  std::string LanguageFile() const { return File(Setting("Product ID") + "trl.ini"); }
  // config.ini: a key line, then its value line.
  ::testing::AssertionResult Set(const std::string& key, const std::string& value) const;
  std::string Setting(const std::string& key) const;
  std::vector<std::string> ConfigLines() const;

  // Sets "Options" (unless empty), starts the program and takes its main window.
  void Start(const std::string& options = "");
  // Presses Start Search and waits for the end of the pass.
  ::testing::AssertionResult Search();
  ::testing::AssertionResult SearchEnded();
  // Presses Delete Entries and answers the box that follows with OK.
  ::testing::AssertionResult Delete(Box* box = nullptr);

  HWND List() const;
  std::vector<std::string> Rows() const { return m_process.Rows(List()); }
  std::vector<std::string> Backups() const { return FilesIn(File("backup")); }
  // History values named by the characters of `ids`, with HistoryData(id).
  static void SeedHistory(const char* key, const std::string& ids);
  std::string RunMruRow(char id) const;
  // The main window as it comes up, every caption in the language of `texts`.
  void ExpectWelcome(const Texts& texts);

  std::string m_dir;
  Texts m_texts;  // English
  KelpwiseProcess m_process;
  HWND m_main = nullptr;
};

// The local time as backup file names carry it: yyyymmddhhmm.
std::string Timestamp(const SYSTEMTIME& time);
// The day config.ini keeps for the automatic start: days since 31 December
// 1999, every year divisible by four a leap year.
int DayNumber(const SYSTEMTIME& date);

}  // namespace kw::test
