// The program folder's other programs: the companion starter, the manifests
// of both executables, and the setup program with its uninstaller.
#include <shlobj.h>
#include <tlhelp32.h>

#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

// On the due day the starter marks the run as automatic and starts Kelpwise,
// which asks whether to search now; on any other day, and whatever is
// missing or broken, it ends having started nothing and changed no file.
TEST_F(KelpwiseTest, StarterStartsKelpwiseOnTheDueDayAndOtherwiseChangesNothing) {
  const struct {
    const char* name;
    std::string checkDate;
    const char* replaced;  // a file of the folder deleted (empty text) or overwritten
    const char* with;
    int answer;  // to Kelpwise's question; 0 when nothing may start
  } kCases[] = {{"due today", "+0", nullptr, "", IDNO},
                {"due in the past", "-3", nullptr, "", IDYES},
                {"due tomorrow", "+1", nullptr, "", 0},
                {"empty CheckDate", "", nullptr, "", 0},
                {"garbage CheckDate", "12 days", nullptr, "", 0},
                {"no config.ini", "+0", "config.ini", "", 0},
                {"no Kelpwise.exe", "+0", "Kelpwise.exe", "", 0},
                {"Kelpwise.exe not runnable", "+0", "Kelpwise.exe", "not a program", 0}};
  SeedHistory(kRunMruKey, "ab");
  SYSTEMTIME now;
  GetLocalTime(&now);
  ASSERT_TRUE(Set("Options", "10000000000000") && Set("Startup", ""));
  const std::string config = ReadFile(File("config.ini")), program = ReadFile(File("Kelpwise.exe"));
  const auto configWritten = [&] {  // the last time config.ini was written
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(File("config.ini").c_str(), GetFileExInfoStandard, &data);
    return std::make_pair(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  };
  char elsewhere[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, elsewhere);
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.name);
    End();
    ASSERT_TRUE(WriteFile(File("config.ini"), config) && WriteFile(File("Kelpwise.exe"), program));
    const bool relative = row.checkDate[0] == '+' || row.checkDate[0] == '-';
    ASSERT_TRUE(Set("CheckDate", relative
                                     ? std::to_string(DayNumber(now) + std::stoi(row.checkDate))
                                     : row.checkDate));
    if (row.replaced) {
      ASSERT_TRUE(*row.with ? WriteFile(File(row.replaced), row.with)
                            : DeleteFileA(File(row.replaced).c_str()));
    }
    const Lines files = FilesIn(m_dir);
    Lines expected = Config();
    const auto written = configWritten();
    // Run from another folder; the process it started, if any, is the run.
    DWORD starter = 0;
    ASSERT_GE(RunToEnd("\"" + File("KpwStarter.exe") + "\"", elsewhere, &starter), 0)
        << "the starter stays resident";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      if (entry.th32ParentProcessID != starter) continue;
      m_run.dwProcessId = entry.th32ProcessID;
      m_run.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    EXPECT_EQ(Running(), row.answer != 0) << "what was started";
    if (row.answer) {
      EXPECT_EQ(Answer(row.answer), m_texts(TXT_AUTOSTART_1) + "\n\n" + m_texts(TXT_AUTOSTART_2));
      std::find(expected.begin(), expected.end(), "Startup")[1] = "manually";
    }
    EXPECT_TRUE(row.answer != IDNO || Ended()) << "the run goes on after No";
    if (row.answer == IDYES) {
      ASSERT_NO_FATAL_FAILURE(TakeMainWindow());
      ASSERT_TRUE(Search(false));
      EXPECT_EQ(Rows(), (Lines{RunMruRow('a'), RunMruRow('b')}));
      EXPECT_EQ(Text(m_main, IDC_STATUS), m_texts(TXT_STATUS_FOUND, 2));
    }
    EXPECT_EQ(Config(), expected);
    // Only a program that is there but does not start makes it write (and
    // take back) the mark.
    EXPECT_TRUE(row.answer || *row.with || configWritten() == written) << "config.ini written";
    EXPECT_EQ(FilesIn(m_dir), files);
  }
}

// The rights each program asks for in its manifest (Kelpwise's asks for
// nothing else, so its look stays), and neither opens a console.
TEST_F(KelpwiseTest, EachProgramCarriesItsManifestAndIsAWindowsProgram) {
  for (const auto& [name, level] : {std::make_pair("Kelpwise.exe", "\"requireAdministrator\""),
                                    std::make_pair("KpwStarter.exe", "\"asInvoker\"")}) {
    HMODULE module = LoadLibraryExA(File(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << name;
    HRSRC found = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    const std::string manifest =
        found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                            SizeofResource(module, found))
              : "<none>";
    FreeLibrary(module);
    EXPECT_NE(manifest.find(std::string("level=") + level), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << manifest;
    // The optional header's Subsystem field, at the same place in PE32 and PE32+.
    const std::string image = ReadFile(File(name)) + std::string(0x1000, '\0');
    const size_t subsystem = *reinterpret_cast<const DWORD*>(&image[0x3C]) + 4 + 20 + 68;
    ASSERT_LT(subsystem + 2, image.size()) << name;
    EXPECT_EQ(*reinterpret_cast<const WORD*>(&image[subsystem]), IMAGE_SUBSYSTEM_WINDOWS_GUI)
        << name;
  }
}

// The setup program of the test program's own build, run silently into a
// throwaway folder, the program it installs, and its silent uninstaller,
// which keeps the backups.
TEST_F(KelpwiseTest, SilentSetupInstallsAWorkingProgramAndItsUninstallerKeepsTheBackups) {
  const bool is64 = sizeof(void*) == 8;
  const char kUninstallKey[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarnwellKelpwise";
  const std::string title = is64 ? "Tarnwell Kelpwise (64-bit)" : "Tarnwell Kelpwise";
  char programs[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
  const std::string menu = std::string(programs) + "\\" + title;
  const auto registered = [&](const char* name) -> std::string {
    Value value;
    return ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, name, &value) ? value.second.c_str()
                                                                      : "<none>";
  };
  Lines expected = FilesIn(m_dir);
  expected.insert(std::upper_bound(expected.begin(), expected.end(), "Uninstall.exe"),
                  "Uninstall.exe");
  DeleteTree(m_dir);
  m_dir = "C:\\Kelpwise Setup Test " + std::to_string(GetCurrentProcessId());
  const std::string setup =
      Beside(nullptr, is64 ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe");
  ASSERT_EQ(RunToEnd("\"" + setup + "\" /S /D=" + m_dir, "C:\\"), 0);

  EXPECT_EQ(FilesIn(m_dir), expected);
  EXPECT_NE(GetFileAttributesA(File("backup").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Backups(), Lines());
  const std::string uninstaller = "\"" + File("Uninstall.exe") + "\"";
  EXPECT_EQ(registered("DisplayName"), title);
  EXPECT_EQ(registered("InstallLocation"), m_dir);
  EXPECT_EQ(registered("UninstallString"), uninstaller);
  EXPECT_EQ(registered("QuietUninstallString"), uninstaller + " /S");
  EXPECT_NE(ReadFile(menu + "\\Tarnwell Kelpwise.lnk").find(File("Kelpwise.exe")),
            std::string::npos)
      << "the Start-menu link holds its target";
  ASSERT_NO_FATAL_FAILURE(Start());
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());

  const std::string backup = "backup - 202001020304.reg";
  ASSERT_TRUE(WriteFile(File("backup\\" + backup), "REGEDIT4\r\n\r\n"));
  ASSERT_TRUE(
      WriteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", Sz("\"" + File("KpwStarter.exe") + "\"")));
  // The uninstaller hands over to a copy of itself, which removes it last.
  ASSERT_EQ(RunToEnd(registered("QuietUninstallString"), "C:\\"), 0);
  EXPECT_TRUE(WaitUntil([&] { return FilesIn(m_dir) == Lines(); }));
  EXPECT_EQ(Backups(), Lines{backup});
  EXPECT_EQ(GetFileAttributesA(menu.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(registered("UninstallString"), "<none>");
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise")) << "the Run value is left";
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  DeleteTree(menu);
}

}  // namespace
}  // namespace kw::test
