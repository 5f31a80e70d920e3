// The setup program of the test program's own build, run silently into a
// throwaway folder, the program it installs, and its silent uninstaller.
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

constexpr bool k64Bit = sizeof(void*) == 8;
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarnwellKelpwise";

std::string MenuFolder() {
  char programs[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
  return std::string(programs) + (k64Bit ? "\\Tarnwell Kelpwise (64-bit)" : "\\Tarnwell Kelpwise");
}

std::string Registered(const char* name) {
  StoredValue value;
  if (!ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, name, &value)) return "<none>";
  return value.type == REG_SZ ? value.data.substr(0, value.data.find('\0'))
                              : std::to_string(*reinterpret_cast<const DWORD*>(value.data.data()));
}

// Runs a command line from C:\ and waits until it has ended.
::testing::AssertionResult RunToEnd(std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                      &startup, &info)) {
    return ::testing::AssertionFailure() << "cannot start " << commandLine;
  }
  DWORD code = STILL_ACTIVE;
  WaitForSingleObject(info.hProcess, kWaitMs);
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  if (code == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << commandLine << " ended with " << code;
}

// Installs into a folder of its own instead of the copy KelpwiseTest makes;
// whatever a failed run leaves of the installation goes afterwards.
class InstallerTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    KelpwiseTest::SetUp();
    m_shipped = FilesIn(m_dir);
    DeleteTree(m_dir);
    m_dir = "C:\\Kelpwise Setup Test " + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override {
    KelpwiseTest::TearDown();
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteTree(MenuFolder());
  }
  std::vector<std::string> m_shipped;
};

TEST_F(InstallerTest, SilentSetupInstallsAWorkingProgramAndItsUninstallerKeepsTheBackups) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string setup = self;
  setup = setup.substr(0, setup.find_last_of('\\')) +
          (k64Bit ? "\\Kelpwise-setup-64.exe" : "\\Kelpwise-setup-32.exe");
  ASSERT_TRUE(RunToEnd("\"" + setup + "\" /S /D=" + m_dir));

  std::vector<std::string> expected = m_shipped;
  expected.push_back("Uninstall.exe");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(m_dir), expected);
  EXPECT_NE(GetFileAttributesA(File("backup").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Backups(), std::vector<std::string>{});
  const std::string uninstaller = "\"" + File("Uninstall.exe") + "\"";
  const std::pair<const char*, std::string> registration[] = {
      {"DisplayName", k64Bit ? "Tarnwell Kelpwise (64-bit)" : "Tarnwell Kelpwise"},
      {"InstallLocation", m_dir},
      {"UninstallString", uninstaller},
      {"QuietUninstallString", uninstaller + " /S"}};
  for (const auto& [name, value] : registration) EXPECT_EQ(Registered(name), value) << name;
  std::string link;
  EXPECT_TRUE(ReadFile(MenuFolder() + "\\Tarnwell Kelpwise.lnk", &link));
  EXPECT_NE(link.find(File("Kelpwise.exe")), std::string::npos) << "the link holds its target";

  Start();
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(m_process.WaitForExit());
  const std::string backup = "backup - 202001020304.reg";
  ASSERT_TRUE(WriteFile(File("backup\\" + backup), "REGEDIT4\r\n\r\n"));
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise",
                         StringValue("\"" + File("KpwStarter.exe") + "\"")));
  // The uninstaller hands over to a copy of itself, which removes it last.
  ASSERT_TRUE(RunToEnd(Registered("QuietUninstallString")));
  EXPECT_TRUE(WaitUntil([&] {
    return GetFileAttributesA(File("Uninstall.exe").c_str()) == INVALID_FILE_ATTRIBUTES;
  }));

  EXPECT_EQ(FilesIn(m_dir), std::vector<std::string>{});
  EXPECT_EQ(Backups(), std::vector<std::string>{backup});
  EXPECT_EQ(GetFileAttributesA(MenuFolder().c_str()), INVALID_FILE_ATTRIBUTES);
  StoredValue run;
  EXPECT_EQ(Registered("UninstallString"), "<none>");
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunKey, "Kelpwise", &run)) << "the Run value is left";
}

}  // namespace
}  // namespace kw::test
