// The program folder's other programs: the companion starter, the manifests
// of both executables, and the setup program with its uninstaller.
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

// On the due day the starter marks the run as automatic and starts Kelpwise,
// which asks whether to search now; on any other day, and whatever is
// missing, it ends having started nothing and left config.ini unwritten.
TEST_F(KelpwiseTest, StarterStartsKelpwiseOnTheDueDayAndOtherwiseChangesNothing) {
  const struct {
    const char* name;
    int dueIn;            // days from today
    const char* deleted;  // a file of the folder
    bool starts;
  } kCases[] = {{"due today", 0, nullptr, true},
                {"due tomorrow", 1, nullptr, false},
                {"no config.ini", 0, "config.ini", false},
                {"no Kelpwise.exe", 0, "Kelpwise.exe", false}};
  ASSERT_TRUE(Set("Startup", ""));
  const std::string config = ReadFile(File("config.ini")), program = ReadFile(File("Kelpwise.exe"));
  const auto configWritten = [&] {  // the last time config.ini was written
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(File("config.ini").c_str(), GetFileExInfoStandard, &data);
    return std::make_pair(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  };
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.name);
    End();
    ASSERT_TRUE(WriteFile(File("config.ini"), config) && WriteFile(File("Kelpwise.exe"), program));
    ASSERT_TRUE(Set("CheckDate", std::to_string(Today() + row.dueIn)));
    ASSERT_TRUE(!row.deleted || DeleteFileA(File(row.deleted).c_str()));
    Lines expected = Config();
    const auto written = configWritten();
    // Run from another folder; the process it started, if any, is the run.
    DWORD starter = 0;
    ASSERT_GE(RunToEnd("\"" + File("KpwStarter.exe") + "\"", "C:\\", &starter), 0)
        << "the starter stays resident";
    for (DWORD child : ChildProcesses(starter)) {
      m_run.dwProcessId = child;
      m_run.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, child);
    }
    EXPECT_EQ(Running(), row.starts) << "what was started";
    if (row.starts) {
      EXPECT_EQ(Answer(IDYES), m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2));
      std::find(expected.begin(), expected.end(), "Startup")[1] = "manually";
    }
    EXPECT_EQ(Config(), expected);
    EXPECT_TRUE(row.starts || configWritten() == written) << "config.ini written";
  }
}

// The rights each program asks for in its manifest (Kelpwise's asks for
// nothing else, so its look stays).
TEST_F(KelpwiseTest, EachProgramCarriesItsManifest) {
  for (const auto& [name, level] : {std::make_pair("Kelpwise.exe", "\"requireAdministrator\""),
                                    std::make_pair("KpwStarter.exe", "\"asInvoker\"")}) {
    HMODULE module = LoadLibraryExA(File(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << name;
    HRSRC found = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(found, nullptr) << name;
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(manifest.find(std::string("level=") + level), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << manifest;
  }
}

// The setup program of the test program's own build, run silently into a
// throwaway folder, the program it installs, and its silent uninstaller,
// which keeps the backups.
TEST_F(KelpwiseTest, SilentSetupInstallsAWorkingProgramAndItsUninstallerKeepsTheBackups) {
  Lines expected = FilesIn(m_dir);
  expected.insert(std::upper_bound(expected.begin(), expected.end(), "Uninstall.exe"),
                  "Uninstall.exe");
  DeleteTree(m_dir);
  m_dir = "C:\\Kelpwise Setup Test " + std::to_string(GetCurrentProcessId());
  const std::string setup =
      Beside(nullptr, sizeof(void*) == 8 ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe");
  ASSERT_EQ(RunToEnd("\"" + setup + "\" /S /D=" + m_dir, "C:\\"), 0);
  EXPECT_EQ(FilesIn(m_dir), expected);
  ASSERT_NO_FATAL_FAILURE(Start());
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());

  const std::string backup = "backup - 202001020304.reg";
  ASSERT_TRUE(WriteFile(File("backup\\" + backup), "REGEDIT4\r\n\r\n"));
  // The uninstaller hands over to a copy of itself, which removes it last.
  ASSERT_EQ(RunToEnd("\"" + File("Uninstall.exe") + "\" /S", "C:\\"), 0);
  EXPECT_TRUE(WaitUntil([&] { return FilesIn(m_dir) == Lines(); }));
  EXPECT_EQ(Backups(), Lines{backup});
}

}  // namespace
}  // namespace kw::test
