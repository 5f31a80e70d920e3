// The main window's remaining commands: the About box from the menu and the
// system menu, F1 inside it, and the three ways to end a run.
#include <windows.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/e2e_tests/SeededProgramTest.h"

namespace kw::test {
namespace {

constexpr char kAboutCaption[] = "About Tarnwell Kelpwise";

enum class AboutRoute { Menu, SystemCommand };

struct AboutCase {
  const char* name;
  AboutRoute route;
  WPARAM systemCommand;
};

void PrintTo(const AboutCase& row, std::ostream* out) { *out << row.name; }

// The system menu's About entry is command 0x0010; the low four bits of a
// system command are the system's own and do not matter.
const AboutCase kAboutCases[] = {
    {"HelpMenu", AboutRoute::Menu, 0},
    {"SystemMenuEntry", AboutRoute::SystemCommand, 0x0010},
    {"SystemCommandWithLowBits", AboutRoute::SystemCommand, 0x0013},
};

class AboutTest : public SeededProgramTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutTest, OpensTheAboutBoxAndOkClosesIt) {
  const AboutCase& row = GetParam();
  StartWithOptions(kRunMruOnly);
  if (row.route == AboutRoute::Menu) {
    PostCommand(m_main, IDM_HELP_ABOUT);
  } else {
    PostMessageA(m_main, WM_SYSCOMMAND, row.systemCommand, 0);
  }
  HWND about = WaitForProcessDialog(m_process.id(), IDOK, kWindowTimeoutMs, kAboutCaption);
  ASSERT_NE(about, nullptr) << "no About box";
  EXPECT_FALSE(IsWindowEnabled(m_main)) << "the About box is modal";
  KelpwiseProcess::PressButton(about, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWindowTimeoutMs));
  EXPECT_TRUE(IsWindowEnabled(m_main));
  EXPECT_TRUE(m_process.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Routes, AboutTest, ::testing::ValuesIn(kAboutCases),
                         [](const ::testing::TestParamInfo<AboutCase>& param) {
                           return std::string(param.param.name);
                         });

// Makes the shell's "open" on a .chm file leave a trace: for its lifetime
// .chm files open with reg.exe, which writes the opened file's name into
// HKCU\<kMarkerKey>. The old association comes back afterwards.
class ScopedHelpMarker {
 public:
  static constexpr char kMarkerKey[] = "Software\\KelpwiseE2EHelpMarker";
  static constexpr char kProgId[] = "KelpwiseE2E.HelpFile";

  ScopedHelpMarker() : m_keys({kMarkerKey}) {
    m_hadOld = ReadClassesDefault(".chm", &m_old);
    std::string command = "\"C:\\windows\\system32\\reg.exe\" add HKCU\\" +
                          std::string(kMarkerKey) + " /v Opened /d \"%1\" /f";
    m_ok = SetClassesDefault(std::string(kProgId) + "\\shell\\open\\command", command) &&
           SetClassesDefault(".chm", kProgId);
  }
  ~ScopedHelpMarker() {
    if (m_hadOld) {
      SetClassesDefault(".chm", m_old);
    } else {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, ".chm");
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kProgId) + "\\shell\\open\\command").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kProgId) + "\\shell\\open").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kProgId) + "\\shell").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
  }
  ScopedHelpMarker(const ScopedHelpMarker&) = delete;
  ScopedHelpMarker& operator=(const ScopedHelpMarker&) = delete;

  bool ok() const { return m_ok; }
  // The help file the shell opened since the marker was set, or "".
  std::string Opened() const {
    std::string file;
    return ReadUserString(kMarkerKey, "Opened", &file) ? file : "";
  }

 private:
  static bool SetClassesDefault(const std::string& keyPath, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    bool ok = RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
  }
  static bool ReadClassesDefault(const std::string& keyPath, std::string* data) {
    char buffer[512] = "";
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, keyPath.c_str(), buffer, &size) != ERROR_SUCCESS) {
      return false;
    }
    *data = buffer;
    return true;
  }

  ScopedUserKeys m_keys;
  bool m_hadOld = false;
  std::string m_old;
  bool m_ok = false;
};

// Undocumented, but what the system posts for the F1 key.
constexpr UINT kKeyF1Message = 0x004D;

// F1 as the system delivers it: the focused window gets WM_KEYF1, and its
// default processing sends WM_HELP, which climbs to the parent windows
// until one handles it.
void PressF1(HWND window) { PostMessageA(window, kKeyF1Message, 0, 0); }

using HelpKeyTest = SeededProgramTest;

TEST_F(HelpKeyTest, F1InTheAboutBoxOpensNoHelpWhileInTheMainWindowItDoes) {
  { std::ofstream(m_folder.File("help.chm"), std::ios::binary) << "not really a help file"; }
  ScopedHelpMarker marker;
  ASSERT_TRUE(marker.ok()) << "cannot set the .chm association";
  StartWithOptions(kRunMruOnly);

  PostCommand(m_main, IDM_HELP_ABOUT);
  HWND about = WaitForProcessDialog(m_process.id(), IDOK, kWindowTimeoutMs, kAboutCaption);
  ASSERT_NE(about, nullptr) << "no About box";
  PressF1(GetDlgItem(about, IDOK));
  PressF1(about);
  Sleep(3000);
  EXPECT_EQ(marker.Opened(), "") << "F1 in the About box opened the help file";
  EXPECT_TRUE(IsWindow(about));
  KelpwiseProcess::PressButton(about, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWindowTimeoutMs));

  // The same key in the main window does open it: the trace works.
  PressF1(m_main);
  EXPECT_TRUE(WaitUntil([&] { return !marker.Opened().empty(); }, kWindowTimeoutMs))
      << "F1 in the main window opened nothing";
  EXPECT_EQ(marker.Opened(), m_folder.File("help.chm"));
}

enum class Ending { FileExit, CloseBox, Escape };

struct EndingCase {
  const char* name;
  Ending how;
  bool saves;
};

void PrintTo(const EndingCase& row, std::ostream* out) { *out << row.name; }

const EndingCase kEndingCases[] = {
    {"FileExitSaves", Ending::FileExit, true},
    {"CloseBoxSaves", Ending::CloseBox, true},
    {"EscapeDoesNotSave", Ending::Escape, false},
};

class EndingTest : public SeededProgramTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EndingTest, EndsTheRunAndSavesOnlyThroughTheShutdownRoutine) {
  const EndingCase& row = GetParam();
  StartWithOptions(kRunMruOnly);
  const std::vector<std::string> before = m_folder.ConfigLines();

  // An unsaved change: Paint's files on as well.
  HWND options = OpenDialog(IDC_OPTIONS, IDC_CHECK_PAINT);
  ASSERT_NE(options, nullptr);
  SetCheck(options, IDC_CHECK_PAINT, true);
  KelpwiseProcess::PressButton(options, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, kWindowTimeoutMs));
  EXPECT_TRUE(NoMessageBox());

  switch (row.how) {
    case Ending::FileExit:
      PostCommand(m_main, IDM_FILE_EXIT);
      break;
    case Ending::CloseBox:
      PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Ending::Escape:
      PostKey(m_main, VK_ESCAPE);
      break;
  }
  ASSERT_TRUE(m_process.WaitForExit(kExitTimeoutMs)) << "the run did not end";

  if (row.saves) {
    EXPECT_EQ(m_folder.ReadSetting("Options"), "10100000000000");
  } else {
    EXPECT_EQ(m_folder.ConfigLines(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest, ::testing::ValuesIn(kEndingCases),
                         [](const ::testing::TestParamInfo<EndingCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace kw::test
