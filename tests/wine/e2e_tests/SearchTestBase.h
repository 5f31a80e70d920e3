// Base fixture of the end-to-end tests that search and clean up: English
// texts, the demo registry (removed before and after each test), and the
// steps a user takes in the main window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/e2e_tests/DemoFixture.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"
#include "tests/wine/e2e_tests/LanguageSection.h"
#include "tests/wine/e2e_tests/SearchWindow.h"

namespace kw::test {

// A full pass over a seeded prefix takes a few seconds; this is the limit.
constexpr DWORD kSearchTimeoutMs = 180000;

// Options strings: every category, and single ones for quick passes.
constexpr char kAllCategories[] = "11111111111100";
constexpr char kRunMruOnly[] = "10000000000000";
constexpr char kComObjectsOnly[] = "00000000010000";

class SearchTestBase : public KelpwiseTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program; null (and a failure) when no main window comes up.
  HWND StartMainWindow();

  // Presses Start Search and waits for the end of the pass: the button
  // carries the delete caption and the window handles messages again.
  ::testing::AssertionResult Search(HWND main);

  // Presses Delete Entries, reads the box that follows into `box` and
  // answers it with OK. With `expectIdle` it then waits for the idle
  // caption of the Start Search button.
  ::testing::AssertionResult PressDelete(HWND main, MessageBoxInfo* box, bool expectIdle = true);

  std::vector<ListedRow> Rows(HWND main) const;

  // Text `id` with its one "%d" replaced by `number`.
  std::string TextWithNumber(int id, int number) const;

  // Names of the files in the program folder's backup folder, sorted.
  std::vector<std::string> BackupFileNames() const;
  std::string BackupFolder() const { return m_folder.File("backup"); }

  LanguageSection m_texts;
  DemoFixture m_demo;
};

// The local time as the backup file names carry it: yyyymmddhhmm.
std::string Timestamp(const SYSTEMTIME& time);

// The day count config.ini keeps for the automatic start: days since
// 31 December 1999, every year divisible by four a leap year.
int DayNumber(const SYSTEMTIME& date);

}  // namespace kw::test
