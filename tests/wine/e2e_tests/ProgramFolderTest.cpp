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

// The version resources of both programs and of the setup program carry the
// version of the file VERSION: MAJOR.MINOR.PATCH as text, and .0 after it
// as numbers.
TEST_F(KelpwiseTest, ProgramsAndSetupCarryTheVersionOfTheFileVERSION) {
  const std::string version = Split(ReadFile(SourceFile("VERSION"))).at(0);
  DWORD major = 0, minor = 0, patch = 0;
  ASSERT_EQ(sscanf(version.c_str(), "%lu.%lu.%lu", &major, &minor, &patch), 3) << version;
  const std::string setup =
      Beside(nullptr, sizeof(void*) == 8 ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe");
  for (const std::string& path : {File("Kelpwise.exe"), File("KpwStarter.exe"), setup}) {
    std::string info(GetFileVersionInfoSizeA(path.c_str(), nullptr), '\0');
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(path.c_str(), 0, info.size(), &info[0]))
        << path;
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* language = nullptr;  // the language and code page of the first text block
    char* text = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(minor, major)) << path;
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, patch)) << path;
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS) << path;
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS) << path;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&language), &size));
    char block[64];
    snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    for (const char* name : {"ProductVersion", "FileVersion"}) {
      ASSERT_TRUE(VerQueryValueA(info.data(), (block + std::string(name)).c_str(),
                                 reinterpret_cast<void**>(&text), &size))
          << path << " " << name;
      EXPECT_EQ(std::string(text), version) << path << " " << name;
    }
  }
}

// The setup program of the test program's own build, run silently into a
// throwaway folder, the program it installs, and its silent uninstaller as a
// deployment tool runs it: the registered QuietUninstallString, whose process
// ends only when everything but the kept backups is gone. Given /BACKUPS, it
// deletes only Kelpwise's backups and reports, never through a linked backup
// folder, and its exit code tells when a file could not be removed.
TEST_F(KelpwiseTest, SilentSetupInstallsAWorkingProgramAndItsUninstallerKeepsTheBackups) {
  Lines expected = FilesIn(m_dir);
  expected.push_back("Uninstall.exe");
  std::sort(expected.begin(), expected.end());
  RunToEnd("cmd /c rd /s /q \"" + m_dir + "\"");
  m_dir = "C:\\Kelpwise Setup Test " + std::to_string(GetCurrentProcessId());
  const std::string setup =
      "\"" +
      Beside(nullptr, sizeof(void*) == 8 ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe") +
      "\" /S /D=" + m_dir;
  ASSERT_EQ(RunToEnd(setup, "C:\\"), 0);
  EXPECT_EQ(FilesIn(m_dir), expected);
  const char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarnwellKelpwise";
  Value quiet, size;
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, kKey, "QuietUninstallString", &quiet));
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, kKey, "EstimatedSize", &size));
  ASSERT_EQ(size.first, static_cast<DWORD>(REG_DWORD));
  uintmax_t bytes = 0;  // the folder holds files only, and an empty backup folder
  for (const std::string& name : expected) bytes += std::filesystem::file_size(File(name));
  EXPECT_NEAR(*reinterpret_cast<const DWORD*>(size.second.data()), bytes / 1024.0, 8) << "KB";
  ASSERT_TRUE(Start());
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());

  const Lines backups = {"backup - 202001020304.reg", "notes.txt", "report - 202001020304.txt"};
  for (const std::string& name : backups) ASSERT_TRUE(WriteFile(File("backup\\" + name), "x"));
  ASSERT_TRUE(WriteFile(File("config.ini (2).tmp"), "x"));
  // RunToEnd waits on the process handle: nothing may be left once it returns.
  ASSERT_EQ(RunToEnd(quiet.second.c_str(), "C:\\"), 0) << quiet.second;
  EXPECT_EQ(FilesIn(m_dir), Lines());
  EXPECT_EQ(Backups(), backups);
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kKey, "DisplayName")) << "still registered";

  // Again, into the folder with the kept backups.
  ASSERT_EQ(RunToEnd(setup, "C:\\"), 0);
  EXPECT_EQ(FilesIn(m_dir), expected);
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
  // _?= runs the uninstaller in place, for the folder it names.
  const std::string uninstall = "\"" + File("Uninstall.exe") + "\" /S /BACKUPS _?=";
  ASSERT_EQ(RunToEnd(uninstall + linked, "C:\\"), 0);
  EXPECT_EQ(Backups(), backups);
  // A program file that cannot be written or deleted (open without sharing):
  // the setup's exit code says so; the uninstaller's too, and the rest goes.
  HANDLE open = CreateFileA(File("Kelpwise.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunToEnd(setup, "C:\\"), 2);
  EXPECT_EQ(RunToEnd(uninstall + m_dir, "C:\\"), 2);
  CloseHandle(open);
  EXPECT_EQ(FilesIn(m_dir), Lines{"Kelpwise.exe"});
  EXPECT_EQ(Backups(), Lines{"notes.txt"});
}

}  // namespace
}  // namespace kw::test
