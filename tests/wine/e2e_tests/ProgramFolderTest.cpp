// The program folder's other programs: the companion starter, the manifests
// of both executables, and the setup program with its uninstaller.
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

// On the due day the starter starts Kelpwise with /autostart, which asks
// whether to search now; "Startup" is not "automatically", so only the
// switch can bring the question. The starter writes nothing: config.ini
// keeps its bytes on every day, and on any other day, and whatever is
// missing, nothing is started. Another launcher marks the run in config.ini
// instead, and Kelpwise resets the mark.
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
  const std::string question = m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2);
  // Today as config.ini keeps the day of the automatic start: whole days
  // since the midnight of 31 December 1999 (a FILETIME counts 100 ns steps
  // since 1601).
  SYSTEMTIME now;
  GetLocalTime(&now);
  ULARGE_INTEGER time;
  SystemTimeToFileTime(&now, reinterpret_cast<FILETIME*>(&time));
  const int today = static_cast<int>((time.QuadPart - 125910720000000000ULL) / 864000000000ULL);
  ASSERT_TRUE(Set("Startup", "automatically") && Launch());
  EXPECT_EQ(Answer(IDNO), question);
  EXPECT_TRUE(Ended()) << "No ends the run";
  EXPECT_EQ(Setting("Startup"), "manually");

  ASSERT_TRUE(Set("Startup", ""));
  const std::string config = ReadFile(File("config.ini")), program = ReadFile(File("Kelpwise.exe"));
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.name);
    End();
    ASSERT_TRUE(WriteFile(File("config.ini"), config) && WriteFile(File("Kelpwise.exe"), program));
    ASSERT_TRUE(Set("CheckDate", std::to_string(today + row.dueIn)));
    ASSERT_TRUE(!row.deleted || DeleteFileA(File(row.deleted).c_str()));
    const std::string bytes = ReadFile(File("config.ini"));
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
      EXPECT_EQ(Answer(IDYES), question);
    }
    EXPECT_EQ(ReadFile(File("config.ini")), bytes);
  }
}

// The rights each program asks for in its manifest, beside what both ask for.
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
    // Visual styles, Windows 7, 8, 8.1 and 10/11, and per-monitor DPI awareness.
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "processorArchitecture=\"*\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "2005/WindowsSettings\">true/pm</dpiAware>",
          "2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"}) {
      EXPECT_NE(manifest.find(part), std::string::npos) << name << " lacks " << part;
    }
  }
}

// The setup program of the test program's own build, run silently into a
// throwaway folder, the program it installs, and its silent uninstaller,
// which keeps the backups unless given /BACKUPS, and then deletes only
// Kelpwise's backups and reports, never through a linked backup folder.
TEST_F(KelpwiseTest, SilentSetupInstallsAWorkingProgramAndItsUninstallerKeepsTheBackups) {
  Lines expected = FilesIn(m_dir);
  expected.push_back("Uninstall.exe");
  std::sort(expected.begin(), expected.end());
  RunToEnd("cmd /c rd /s /q \"" + m_dir + "\"");
  m_dir = "C:\\Kelpwise Setup Test " + std::to_string(GetCurrentProcessId());
  const std::string setup =
      Beside(nullptr, sizeof(void*) == 8 ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe");
  ASSERT_EQ(RunToEnd("\"" + setup + "\" /S /D=" + m_dir, "C:\\"), 0);
  EXPECT_EQ(FilesIn(m_dir), expected);
  ASSERT_TRUE(Start());
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());

  const Lines backups = {"backup - 202001020304.reg", "notes.txt", "report - 202001020304.txt"};
  for (const std::string& name : backups) ASSERT_TRUE(WriteFile(File("backup\\" + name), "x"));
  ASSERT_TRUE(WriteFile(File("config.ini (2).tmp"), "x"));
  // A folder whose backup folder is a symbolic link to this one, made by
  // Unix ln, which Wine starts and which it does not wait for.
  const std::string linked = File("linked");
  ASSERT_TRUE(CreateDirectoryA(linked.c_str(), nullptr));
  // Unix rm takes the link away again, also after a failed assertion: Wine's
  // rd cannot remove it, and the tear-down empties the folder it leads to.
  const std::string link = linked + "\\backup";
  const AtExit unlink([&] {
    RunToEnd("Z:\\bin\\rm -f backup", linked.c_str());
    WaitUntil([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
  });
  RunToEnd("Z:\\bin\\ln -s ../backup backup", linked.c_str());
  ASSERT_TRUE(WaitUntil([&] {
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  })) << "no symbolic link";
  // _?= runs the uninstaller in place, for the folder it names, to its end.
  const std::string uninstall = "\"" + File("Uninstall.exe") + "\" /S";
  ASSERT_EQ(RunToEnd(uninstall + " _?=" + m_dir, "C:\\"), 0);
  EXPECT_EQ(FilesIn(m_dir), Lines{"Uninstall.exe"});
  ASSERT_EQ(RunToEnd(uninstall + " /BACKUPS _?=" + linked, "C:\\"), 0);
  EXPECT_EQ(Backups(), backups);
  // Without _?= the uninstaller hands over to a copy of itself, which removes it last.
  ASSERT_EQ(RunToEnd(uninstall + " /BACKUPS", "C:\\"), 0);
  // The copy still deletes while this looks: a listing then may fail.
  EXPECT_TRUE(WaitUntil([&] {
    return FilesIn(m_dir) == Lines() && Backups() == Lines{"notes.txt"};
  })) << "left: "
      << ::testing::PrintToString(Backups());
}

}  // namespace
}  // namespace kw::test
