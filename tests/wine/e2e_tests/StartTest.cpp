// The main window as it first comes up in each language, the start-up paths
// that begin with a message box, the companion starter that leads to one,
// and what both programs' files tell Windows.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr char kLanguageKey[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

struct LanguageCase {
  const char* name;
  const char* setting;        // config.ini "Language"
  const char* systemDefault;  // the system's default language, or null to keep it
  const char* shown;          // section of the language file whose texts must show
};

class WelcomeTest : public KelpwiseTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(WelcomeTest, ShowsEveryCaptionInTheChosenLanguage) {
  const LanguageCase& row = GetParam();
  ASSERT_TRUE(Set("Language", row.setting));
  Texts texts;
  ASSERT_TRUE(texts.Load(LanguageFile(), row.shown));
  StoredValue old;
  const bool hadDefault = ReadValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", &old);
  if (row.systemDefault) {
    ASSERT_TRUE(
        WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", StringValue(row.systemDefault)));
  }
  Start();
  if (hadDefault) WriteValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", old);
  ASSERT_NE(m_main, nullptr);
  ExpectWelcome(texts);
}

INSTANTIATE_TEST_SUITE_P(Languages, WelcomeTest,
                         ::testing::Values(LanguageCase{"English", "[1033]", nullptr, "[1033]"},
                                           LanguageCase{"German", "[1031]", nullptr, "[1031]"},
                                           LanguageCase{"French", "[1036]", nullptr, "[1036]"},
                                           LanguageCase{"SystemDefault", "[----]", "0407",
                                                        "[1031]"},
                                           LanguageCase{"SystemDefaultSpanish", "[----]", "0c0a",
                                                        "[3082]"}),
                         [](const auto& param) { return std::string(param.param.name); });

using StartupTest = KelpwiseTest;

// What is done to the program folder before the starter runs.
enum class FolderChange { None, NoConfig, NoProgram, ProgramNotRunnable };

struct StarterCase {
  const char* name;
  int dueInDays;          // "CheckDate" is today plus this ...
  const char* checkDate;  // ... unless this text is given
  FolderChange change;
  bool starts;
};

class StarterTest : public KelpwiseTest, public ::testing::WithParamInterface<StarterCase> {};

// On the due day the starter marks the run as automatic and starts Kelpwise,
// which then asks its question (answered No here: the run ends having only
// reset "Startup"); on any other day, and whatever is missing or broken, it
// ends having started nothing and changed no file.
TEST_P(StarterTest, StartsKelpwiseOnTheDueDayAndOtherwiseChangesNothing) {
  const StarterCase& row = GetParam();
  SYSTEMTIME now;
  GetLocalTime(&now);
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
  if (row.starts) {
    Box question;
    ASSERT_TRUE(m_process.Answer(IDNO, &question));
    EXPECT_EQ(question.caption, m_texts(TXT_CAPTION));
    EXPECT_EQ(question.text, m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2));
    EXPECT_TRUE(m_process.WaitForExit()) << "the run goes on after No";
    for (size_t i = 0; i + 1 < expected.size(); ++i) {
      if (expected[i] == "Startup") expected[i + 1] = "manually";
    }
  } else {
    EXPECT_FALSE(m_process.IsRunning()) << "something was started";
  }
  EXPECT_EQ(ConfigLines(), expected);
  EXPECT_EQ(FilesIn(m_dir), files);
}

INSTANTIATE_TEST_SUITE_P(
    Days, StarterTest,
    ::testing::Values(StarterCase{"DueToday", 0, nullptr, FolderChange::None, true},
                      StarterCase{"DueInThePast", -3, nullptr, FolderChange::None, true},
                      StarterCase{"DueTomorrow", 1, nullptr, FolderChange::None, false},
                      StarterCase{"EmptyCheckDate", 0, "", FolderChange::None, false},
                      StarterCase{"GarbageCheckDate", 0, "12 days", FolderChange::None, false},
                      StarterCase{"NoConfig", 0, nullptr, FolderChange::NoConfig, false},
                      StarterCase{"NoProgram", 0, nullptr, FolderChange::NoProgram, false},
                      StarterCase{"ProgramNotRunnable", 0, nullptr,
                                  FolderChange::ProgramNotRunnable, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(StartupTest, AutomaticStartAnsweredYesSearchesAtOnce) {
  SeedHistory(kRunMruKey, "ab");
  ASSERT_TRUE(Set("Options", "10000000000000"));
  SYSTEMTIME now;
  GetLocalTime(&now);
  ASSERT_TRUE(Set("CheckDate", std::to_string(DayNumber(now))));
  ASSERT_TRUE(m_process.StartThroughStarter(m_dir));
  ASSERT_TRUE(m_process.Answer(IDYES));
  m_main = m_process.MainWindow();
  ASSERT_NE(m_main, nullptr);
  ASSERT_TRUE(SearchEnded());
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('b')}));
  EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, 2));
  EXPECT_EQ(Setting("Startup"), "manually");
}

// The rights each program asks for, in the manifest Windows reads (and
// Kelpwise's asks for nothing else, so its look stays), and neither opens a
// console.
TEST_F(StartupTest, EachProgramCarriesItsManifestAndIsAWindowsProgram) {
  const std::pair<const char*, const char*> programs[] = {
      {"Kelpwise.exe", "level=\"requireAdministrator\""},
      {"KpwStarter.exe", "level=\"asInvoker\""}};
  for (const auto& [name, level] : programs) {
    SCOPED_TRACE(name);
    HMODULE module = LoadLibraryExA(File(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    const std::string manifest =
        found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                            SizeofResource(module, found))
              : "<no manifest>";
    FreeLibrary(module);
    EXPECT_NE(manifest.find(level), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << manifest;
    std::string image;
    ASSERT_TRUE(ReadFile(File(name), &image));
    const size_t header = image.size() > 0x40 ? *reinterpret_cast<const DWORD*>(&image[0x3C]) : 0;
    // The optional header's Subsystem field, at the same place in PE32 and PE32+.
    const size_t subsystem = header + 4 + sizeof(IMAGE_FILE_HEADER) + 68;
    ASSERT_LT(subsystem + 2, image.size());
    EXPECT_EQ(*reinterpret_cast<const WORD*>(&image[subsystem]), IMAGE_SUBSYSTEM_WINDOWS_GUI);
  }
}

TEST_F(StartupTest, MissingBlacklistIsNamedAndTheWindowStillComesUp) {
  ASSERT_TRUE(DeleteFileA(File("blacklist.ini").c_str()));
  ASSERT_TRUE(m_process.Start(m_dir));
  Box error;
  ASSERT_TRUE(m_process.Answer(IDOK, &error));
  EXPECT_NE(error.text.find("blacklist.ini"), std::string::npos) << error.text;
  m_main = m_process.MainWindow();
  ASSERT_NE(m_main, nullptr);
  EXPECT_TRUE(IsWindowEnabled(m_main));
}

}  // namespace
}  // namespace kw::test
