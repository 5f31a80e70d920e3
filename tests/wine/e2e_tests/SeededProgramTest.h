// Fixture of the tests that work on listed results: a private program
// folder in English, history entries of the current user for the search to
// find (RunMRU and Search Assistant, which a pass walks in moments), and
// the steps a user takes in the main window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"
#include "tests/wine/e2e_tests/LanguageSection.h"
#include "tests/wine/e2e_tests/WindowDriverCommands.h"

namespace kw::test {

constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr char kSearchAssistantKey[] = "Software\\Microsoft\\Search Assistant";
constexpr char kSearchAssistantMruKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";

// Options strings: only RunMRU; RunMRU and Search Assistant.
constexpr char kRunMruOnly[] = "10000000000000";
constexpr char kRunMruAndSearchAssistant[] = "11000000000000";

// How long a pass over the two small history keys may take.
constexpr DWORD kSearchTimeoutMs = 30000;
// How long to watch for a message box that must not come.
constexpr DWORD kNoBoxMs = 1500;

class SeededProgramTest : public KelpwiseTest {
 public:
  static std::string RunMruData(char id);
  // The value line of its record, as a backup file holds it.
  static std::string RunMruValueLine(char id);

 protected:
  void SetUp() override;

  // RunMRU values named by the characters of `ids`, with RunMruData(id);
  // Search Assistant entries "aaa", "bbb"... likewise.
  void SeedRunMru(const std::string& ids);
  void SeedSearchAssistant(const std::string& ids);
  // The list row of RunMRU value `id`, cells joined by tabs.
  std::string RunMruRow(char id) const;

  // Sets "Options", starts the program and takes its main window.
  void StartWithOptions(const std::string& options);
  // Clicks Start Search and waits until `rows` rows are listed.
  ::testing::AssertionResult Search(int rows);
  // Clicks Start Search on listed results, answers the report and returns
  // the new backup file's path.
  ::testing::AssertionResult DeleteListed(std::string* backupFile);

  HWND List() const { return GetDlgItem(m_main, 1001); }
  std::vector<std::string> Rows() const { return ListRows(m_process, List()); }
  // Opens a dialog through a command of the main window; null when none
  // with the control `controlId` came up.
  HWND OpenDialog(int command, int controlId);
  // The language text with its one number filled in.
  std::string TextWithNumber(int id, int number) const;
  // Whether no message box comes up for a moment.
  ::testing::AssertionResult NoMessageBox();

  LanguageSection m_texts;
  HWND m_main = nullptr;

 private:
  std::unique_ptr<ScopedUserKeys> m_keys;
};

}  // namespace kw::test
