// The companion starter: on the due day it marks the run as automatic and
// starts Kelpwise, which asks whether to search now; on any other day, and
// whatever is missing or broken, it ends having started nothing and changed
// no file.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

// What is done to the program folder before the starter runs.
enum class FolderChange { None, NoConfig, NoProgram, ProgramNotRunnable };

struct StarterCase {
  const char* name;
  int dueInDays;          // "CheckDate" is today plus this ...
  const char* checkDate;  // ... unless this text is given
  FolderChange change;
  int answer;  // to Kelpwise's question; 0 when nothing may start
};

class StarterTest : public KelpwiseTest, public ::testing::WithParamInterface<StarterCase> {};

TEST_P(StarterTest, StartsKelpwiseOnTheDueDayAndOtherwiseChangesNothing) {
  const StarterCase& row = GetParam();
  SeedHistory(kRunMruKey, "ab");
  SYSTEMTIME now;
  GetLocalTime(&now);
  ASSERT_TRUE(Set("Options", "10000000000000"));
  ASSERT_TRUE(Set("Startup", ""));
  ASSERT_TRUE(Set("CheckDate",
                  row.checkDate ? row.checkDate : std::to_string(DayNumber(now) + row.dueInDays)));
  if (row.change == FolderChange::NoConfig) {
    ASSERT_TRUE(DeleteFileA(File("config.ini").c_str()));
  } else if (row.change == FolderChange::NoProgram) {
    ASSERT_TRUE(DeleteFileA(File("Kelpwise.exe").c_str()));
  } else if (row.change == FolderChange::ProgramNotRunnable) {
    ASSERT_TRUE(WriteFile(File("Kelpwise.exe"), "not a program\r\n"));
  }
  const std::vector<std::string> files = FilesIn(m_dir);
  std::vector<std::string> expected = ConfigLines();

  ASSERT_TRUE(m_process.StartThroughStarter(m_dir));
  if (row.answer) {
    Box question;
    ASSERT_TRUE(m_process.Answer(row.answer, &question));
    EXPECT_EQ(question.text, m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2));
    for (size_t i = 0; i + 1 < expected.size(); ++i) {
      if (expected[i] == "Startup") expected[i + 1] = "manually";
    }
  } else {
    EXPECT_FALSE(m_process.IsRunning()) << "something was started";
  }
  if (row.answer == IDNO) {
    EXPECT_TRUE(m_process.WaitForExit()) << "the run goes on after No";
  }
  if (row.answer == IDYES) {
    ASSERT_NO_FATAL_FAILURE(TakeMainWindow());
    ASSERT_TRUE(SearchEnded());
    EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('b')}));
    EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, 2));
  }
  EXPECT_EQ(ConfigLines(), expected);
  EXPECT_EQ(FilesIn(m_dir), files);
}

INSTANTIATE_TEST_SUITE_P(
    Days, StarterTest,
    ::testing::Values(StarterCase{"DueToday", 0, nullptr, FolderChange::None, IDNO},
                      StarterCase{"DueInThePast", -3, nullptr, FolderChange::None, IDYES},
                      StarterCase{"DueTomorrow", 1, nullptr, FolderChange::None, 0},
                      StarterCase{"EmptyCheckDate", 0, "", FolderChange::None, 0},
                      StarterCase{"GarbageCheckDate", 0, "12 days", FolderChange::None, 0},
                      StarterCase{"NoConfig", 0, nullptr, FolderChange::NoConfig, 0},
                      StarterCase{"NoProgram", 0, nullptr, FolderChange::NoProgram, 0},
                      StarterCase{"ProgramNotRunnable", 0, nullptr,
                                  FolderChange::ProgramNotRunnable, 0}),
    [](const auto& param) { return std::string(param.param.name); });

// The rights each program asks for in its manifest (Kelpwise's asks for
// nothing else, so its look stays), and neither opens a console.
TEST_F(KelpwiseTest, EachProgramCarriesItsManifestAndIsAWindowsProgram) {
  for (const auto& [name, level] : {std::make_pair("Kelpwise.exe", "\"requireAdministrator\""),
                                    std::make_pair("KpwStarter.exe", "\"asInvoker\"")}) {
    SCOPED_TRACE(name);
    HMODULE module = LoadLibraryExA(File(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    const std::string manifest =
        found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                            SizeofResource(module, found))
              : "";
    FreeLibrary(module);
    EXPECT_NE(manifest.find(std::string("level=") + level), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << manifest;
    std::string image;
    ASSERT_TRUE(ReadFile(File(name), &image));
    // The optional header's Subsystem field, at the same place in PE32 and PE32+.
    const size_t subsystem = *reinterpret_cast<const DWORD*>(&image[0x3C]) + 4 + 20 + 68;
    ASSERT_LT(subsystem + 2, image.size());
    EXPECT_EQ(*reinterpret_cast<const WORD*>(&image[subsystem]), IMAGE_SUBSYSTEM_WINDOWS_GUI);
  }
}

}  // namespace
}  // namespace kw::test
