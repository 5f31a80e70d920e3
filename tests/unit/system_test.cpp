// config.ini: what closing the main window saves and what the companion
// starter makes of it; whether a file exists; what the elevated program
// hands on to other programs; the rights the setup script grants; the
// registry contract on the in-memory twin.
#include <gtest/gtest.h>

#include <regex>

#include "cleaning/IgnoreList.h"
#include "system/AutomaticStart.h"
#include "system/DriveTypeCache.h"
#include "system/InputChecks.h"
#include "system/Shutdown.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/RegistryContract.h"

namespace kw::test {

const char kToolcrate[] = "Software\\Tarnwell\\Tarnwell Toolcrate";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program folder has a blank in its name; today is day 2532. Reading
// and writing single settings is proven by settings_fuzz.
class SettingsTest : public ::testing::Test {
 protected:
  void WriteConfig(const std::string& bytes) { m_env.WriteFile("Kelp wise/config.ini", bytes); }
  std::string Config() const { return m_env.ReadFile("Kelp wise/config.ini"); }

  FakeEnvironment m_env{"Kelp wise"};
  CSystemTools m_tools{m_env};
};

// Closing saves the options, ends the Toolcrate's run and sets or clears the
// starter. With automatic start, the days text is stored as typed, whatever
// it holds, and the due day gets its leading digits, at most 9999 days;
// without, the schedule is kept.
TEST_F(SettingsTest, ClosingSavesOptionsScheduleAndStarter) {
  const std::string starter = "\"" + m_tools.GetProgramDir() + "\\KpwStarter.exe\"" + '\0';
  const struct {
    bool autoStart;
    const char* days;
    int interval;
  } rows[] = {
      {false, "30", 0},      {true, "0042 days", 42},    {true, "9999", 9999},
      {true, "10000", 9999}, {true, "4294967303", 9999}, {true, "CheckDate", 0},
  };
  MemoryRegistry& reg = m_env.m_registry;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.days);
    WriteConfig("Options\r\n0\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\nStartup\r\nmanually\r\n");
    reg.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
    reg.SetString(RegRoot::CurrentUser, kRunKey, "Kelpwise", "\"C:\\x.exe\"");
    reg.SetString(RegRoot::CurrentUser, kRunKey, "Other", "other.exe");
    const std::string options = row.autoStart ? "11111111111101" : "10000000000010";

    SaveSettingsOnClose(m_tools, options, row.autoStart, row.days);

    EXPECT_EQ(Config(), "Options\r\n" + options + "\r\nCheckTime\r\n" +
                            (row.autoStart ? row.days : "7") + "\r\nCheckDate\r\n" +
                            (row.autoStart ? std::to_string(2532 + row.interval) : "1000") +
                            "\r\nStartup\r\nmanually\r\n");
    const RegValue* run = reg.Find(RegRoot::CurrentUser, kRunKey, "Kelpwise");
    EXPECT_EQ(run ? run->data : "", row.autoStart ? starter : "");
    EXPECT_TRUE(reg.Find(RegRoot::CurrentUser, kRunKey, "Other"));
    EXPECT_FALSE(reg.Find(RegRoot::LocalMachine, kToolcrate, "active"));
  }
}

// config.ini and blacklist.ini are replaced whole: a rewrite that fails
// (here at a full disk) leaves each as it was, never cut short.
TEST_F(SettingsTest, AFailedRewriteLeavesConfigAndBlacklistAsTheyWere) {
  const std::string config = "Options\r\n0\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\n";
  const std::string blacklist = "h\r\nh\r\nh\r\nSoftware\\Old\r\n";
  WriteConfig(config);
  m_env.WriteFile("Kelp wise/blacklist.ini", blacklist);
  {
    const FileSizeLimit full(8);
    EXPECT_ANY_THROW(SaveSettingsOnClose(m_tools, "11111111111101", true, "30"));
    EXPECT_ANY_THROW(
        AppendIgnoreEntry(m_tools.GetProgramDir() + "\\blacklist.ini", "Software\\New"));
  }
  EXPECT_EQ(Config(), config);
  EXPECT_EQ(m_env.ReadFile("Kelp wise/blacklist.ini"), blacklist);
}

// Closing writes the due day with "%d"; the starter takes nothing else for
// one, and plans Kelpwise's automatic start on or after it when it is there.
// It never writes config.ini. The starter's other cases run under Wine.
TEST_F(SettingsTest, StarterStartsOnlyOnOrAfterAWellFormedDueDayAndNeverWrites) {
  const std::string program = m_tools.GetProgramDir() + "\\Kelpwise.exe";
  const struct {
    const char* checkDate;
    bool starts, programThere = true;
  } rows[] = {
      {"2532", true},        {"-2147483648", true}, {"0002532", true}, {"2533", false},
      {"2147483648", false}, {"", false},           {" 2532", false},  {"2532", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.checkDate);
    m_env.SetPath(program, row.programThere ? PathState::Exists : PathState::Missing);
    const std::string config =
        "CheckDate\r\n" + std::string(row.checkDate) + "\r\nStartup\r\nmanually\r\n";
    WriteConfig(config);
    const std::optional<AutomaticStartPlan> plan = PlanAutomaticStart(m_tools);
    ASSERT_EQ(plan.has_value(), row.starts);
    EXPECT_EQ(Config(), config);
    if (!plan) continue;
    EXPECT_EQ(plan->program, program);
    EXPECT_EQ(plan->parameters, "/autostart");
  }
}

// On 64-bit Windows a file named below System32 may lie in SysWOW64, where
// 32-bit programs keep their system files.
TEST(SystemPathsTest, OnlyAPathKnownToBeMissingDoesNotExist) {
  FakeEnvironment env;
  env.m_windowsDir = "C:\\WINDOWS";
  env.SetPath("C:\\Windows\\SysWOW64\\Sub\\only32.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\unknown.dll", PathState::Unknown);
  const struct {
    bool wow64;
    std::string path;
    bool exists;
  } rows[] = {
      {true, "C:\\Windows\\System32\\sub\\ONLY32.dll", true},
      {true, "C:\\Windows\\System32\\unknown.dll", true},
      {true, "C:\\Windows\\System32\\gone.dll", false},
      {true, "C:\\Windows\\Sub\\only32.dll", false},
      {false, "C:\\Windows\\System32\\sub\\only32.dll", false},  // 32-bit Windows
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + (row.wow64 ? " (64-bit)" : " (32-bit)"));
    env.m_wow64Dir = row.wow64 ? "C:\\Windows\\SysWOW64" : "";
    EXPECT_EQ(CSystemTools(env).FileExists(row.path), row.exists);
  }
  env.m_now = LocalTime{2007, 3, 1, 9, 7};
  EXPECT_EQ(CSystemTools(env).GetTimestamp(), "200703010907") << "every field zero-padded";
}

// A drive's type is asked once a second per drive, across the wrap of the
// tick count; only a fixed or a RAM drive is asked about files.
TEST(SystemPathsTest, DriveTypesAreAskedOnceASecondPerDrive) {
  const struct {
    const char* root;
    uint32_t now;
    int asks;  // in all, by then
  } rows[] = {{"C:\\", 0xFFFFFF00u, 1}, {"C:\\", 0x2E7, 1}, {"D:\\", 0x2E7, 2}, {"C:\\", 0x2E8, 3}};
  int asks = 0;
  DriveTypeCache cache([&](const std::string&) { return ++asks, kDriveRemovable; });
  for (const auto& row : rows) {
    EXPECT_EQ(cache.TypeOf(row.root, row.now), kDriveRemovable);
    EXPECT_EQ(asks, row.asks) << row.root << " at " << row.now;
  }
  std::string probed;  // of the types 0 to 6
  for (unsigned type = 0; type <= 6; ++type) probed += IsProbedDriveType(type) ? '1' : '0';
  EXPECT_EQ(probed, "0001001");
}

// The automatic start's day count: days since 31 December 1999, across leap days.
TEST(SystemClockTest, DayNumbersCountEveryLeapDay) {
  const struct {
    const char *year, *month, *day;
    int32_t number;
  } rows[] = {
      {"2000", "03", "01", 61},   {"2004", "02", "29", 1521}, {"2004", "03", "01", 1522},
      {"2005", "03", "01", 1887}, {"2006", "12", "06", 2532},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CSystemTools::DayNumber(row.year, row.month, row.day), row.number)
        << row.year << "-" << row.month << "-" << row.day;
  }
}

// What the elevated program may hand the browser, the registry editor or
// the file system.
TEST(InputChecksTest, OnlyWebAddressesReachTheBrowserAndOnlyRegFilesTheEditor) {
  for (const char* address :
       {"https://example.org/kelpwise", "HTTP://Example.org", "http://a/b?c#d"})
    EXPECT_TRUE(IsWebAddress(address)) << address;
  for (const char* address :
       {"C:\\Windows\\notepad.exe", "file:///C:/x", "javascript:alert(1)", "http:example.org",
        "https://", "https:///etc", "  https://example.org", "https://example.org/\"x",
        "https://example.org/\r\nx", "https://example.org/a b", "ftp://example.org", ""})
    EXPECT_FALSE(IsWebAddress(address)) << address;
  for (const char* path : {"C:\\K\\backup\\backup - 200612061405.reg", "C:\\K\\B.REG"})
    EXPECT_TRUE(IsRegistryFileName(path)) << path;
  for (const char* path : {"C:\\K\\tool.exe", "C:\\K\\x.reg.exe", "C:\\K.reg\\x", "C:\\K\\x.reg:s"})
    EXPECT_FALSE(IsRegistryFileName(path)) << path;
  // What "Product ID" may name: a file directly in the program folder.
  EXPECT_TRUE(IsPlainFileName("kpw.trl.ini"));
  for (const char* name :
       {"..\\x", "sub\\x", "sub/x", "C:x", "COM1.trl.ini", "com1 .x", "a\tb", ""})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
}

// The setup script gives groups of standard users at most read and execute,
// names trustees literally (a define could hide one), and removes no tree:
// RMDir /r follows junctions.
TEST(SetupScriptTest, GrantsStandardUsersAtMostReadAndRunAndRemovesNoTree) {
  const std::string script = ReadBytes(KW_SOURCE_DIR "/installer/Kelpwise.nsi");
  const auto icase = std::regex::icase;
  EXPECT_FALSE(std::regex_search(script, std::regex(R"(RMDir\s+/r|\}:\()", icase)));
  const std::regex grant(R"((S-1-5-32-545|S-1-5-11|S-1-1-0|S-1-5-4|Users|Everyone|INTERACTIVE))"
                         R"(:(\((OI|CI|IO|NP)\))*(\(?[A-Z,]+\)?))",
                         icase);
  ASSERT_NE(std::sregex_iterator(script.begin(), script.end(), grant), std::sregex_iterator());
  for (std::sregex_iterator ace(script.begin(), script.end(), grant), end; ace != end; ++ace)
    EXPECT_EQ((*ace)[4], "RX") << ace->str();
}

// The registry contract on the twin. A name holding '?' is its mark for one
// the code page cannot hold.
class MemorySide {
 public:
  Registry& registry() { return m_registry; }
  std::vector<std::string> SetNamesOutsideCodePage(const std::string& key) {
    m_registry.SetString(kContractRoot, key, "wide?", "x");
    return {"wide?"};
  }
  void Deny() { m_registry.DenyAccess(kContractRoot, kDeniedKey); }

 private:
  MemoryRegistry m_registry;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryContract, MemorySide);

}  // namespace kw::test
