// File > Reverse Changes: a backup chosen in the file dialog goes back into
// the registry, also where no program is associated with ".reg" files.
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "tests/wine/e2e_tests/SeededProgramTest.h"

namespace kw::test {
namespace {

constexpr DWORD kImportTimeoutMs = 30000;

using ReverseChangesTest = SeededProgramTest;

bool HasRunMruValue(char id) {
  std::string data;
  return ReadUserString(kRunMruKey, std::string(1, id), &data) &&
         data == SeededProgramTest::RunMruData(id);
}

TEST_F(ReverseChangesTest, ChosenBackupBringsTheDeletedValuesBack) {
  SeedRunMru("abc");
  StartWithOptions(kRunMruOnly);
  ASSERT_TRUE(Search(3));
  std::string backup;
  ASSERT_TRUE(DeleteListed(&backup));
  for (char id : std::string("abc")) ASSERT_FALSE(HasRunMruValue(id)) << id << " not deleted";

  PostCommand(m_main, IDM_FILE_REVERSE_CHANGES);
  HWND chooser = WaitForFileDialog(m_process.id(), kWindowTimeoutMs);
  ASSERT_NE(chooser, nullptr) << "no file dialog";
  ASSERT_TRUE(ChooseFile(chooser, backup));

  EXPECT_TRUE(
      WaitUntil([] { return HasRunMruValue('a') && HasRunMruValue('b') && HasRunMruValue('c'); },
                kImportTimeoutMs))
      << "the backup was not imported";
  EXPECT_TRUE(NoMessageBox());
  EXPECT_EQ(m_process.ListRowCount(List()), 0) << "the list is not refreshed";
}

TEST_F(ReverseChangesTest, CancelledFileDialogDoesNothing) {
  StartWithOptions(kRunMruOnly);
  PostCommand(m_main, IDM_FILE_REVERSE_CHANGES);
  HWND chooser = WaitForFileDialog(m_process.id(), kWindowTimeoutMs);
  ASSERT_NE(chooser, nullptr) << "no file dialog";
  KelpwiseProcess::PressButton(chooser, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kWindowTimeoutMs));
  EXPECT_TRUE(NoMessageBox());
  EXPECT_TRUE(IsWindowEnabled(m_main));
}

}  // namespace
}  // namespace kw::test
