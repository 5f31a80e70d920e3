// config.ini as CSystemTools reads and rewrites it, the options string in
// it, what closing the main window saves, and what the companion starter
// makes of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "options/OptionsString.h"
#include "system/AutomaticStart.h"
#include "system/FileError.h"
#include "system/Shutdown.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const char kToolcrate[] = "Software\\Tarnwell\\Tarnwell Toolcrate";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Line ends mixed on purpose; the last line has none.
const std::string kHead = "Product ID\r\nKpw\r\nEmpty\r\n\r\nDup\nfirst\r\nDup\r\nsecond\r\n";
const std::string kTail = "Same\r\nSame\r\ntail\r\nOptions \r\n000\r\nOptions\r\n11\r1\r\nLast";

// The program folder has a blank in its name; today is day 2532.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { std::filesystem::create_directory(m_dir.path() + "/Kelp wise"); }
  void WriteConfig(const std::string& bytes) { m_dir.WriteFile("Kelp wise/config.ini", bytes); }
  std::string Config() const { return m_dir.ReadFile("Kelp wise/config.ini"); }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path() + "\\Kelp wise"};
  CSystemTools m_tools{m_env};
};

// A key is read from the line after its last key line; a value line is
// never a key line, whatever it holds.
TEST_F(SettingsTest, ReadsAndRewritesTheValueLinesOfAKey) {
  WriteConfig(kHead + kTail);
  const struct {
    const char *key, *expected;
  } reads[] = {{"Empty", ""},      {"Dup", "second"}, {"Same", "Same"}, {"Options", "11\r1"},
               {"Options ", "000"}, {"Last", ""},      {"options", ""}};
  for (const auto& row : reads) EXPECT_EQ(m_tools.ReadSetting(row.key), row.expected) << row.key;
  const std::string head = "Product ID\r\nKpw\r\nEmpty\r\n\r\nDup\r\nfirst\r\nDup\r\nsecond\r\n";
  const std::string tail = "Same\r\nSame\r\ntail\r\nOptions \r\n000\r\nOptions\r\n11\r1\r\nLast\r\n";
  const struct {
    const char *key, *value;
    std::string expected;
  } writes[] = {
      {"Dup", "new", "Product ID\r\nKpw\r\nEmpty\r\n\r\nDup\r\nnew\r\nDup\r\nnew\r\n" + tail},
      {"Last", "added", head + tail + "added\r\n"},
      {"Nowhere", "x", head + tail},
  };
  for (const auto& row : writes) {
    WriteConfig(kHead + kTail);
    m_tools.WriteSetting(row.key, row.value);
    EXPECT_EQ(Config(), row.expected) << row.key;
  }
  // The temporary file cannot be created: its name is taken by a folder.
  WriteConfig(kHead + kTail);
  std::filesystem::create_directory(m_dir.path() + "/Kelp wise/config.ini.tmp");
  EXPECT_THROW(m_tools.WriteSetting("Dup", "new"), FileError);
  EXPECT_EQ(Config(), kHead + kTail);
}

TEST(OptionsStringTest, RoundTripRewritesEverySwitchAsZeroOrOne) {
  const struct {
    const char *stored, *rebuilt;
  } rows[] = {
      {"11111111111100", "11111111111100"},
      {"", "00000000000000"},
      {"1111111111111", "11111111111110"},  // thirteen: automatic start off
      {"1x1 2?1\xB9\x31\x31\x31\x31\x31\x31", "10100010111111"},
      {"111111111111111111", "11111111111111"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.rebuilt, BuildOptions(ReadOptionFlags(row.stored)));
  EXPECT_FALSE(ReadOptionFlags("111")[kOptionAutoStart]);
}

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
  } rows[] = {{true, "30", 30},  {false, "30", 0},       {true, "0042", 42}, {true, "3 days", 3},
              {true, "9999", 9999}, {true, "10000", 9999}, {true, "4294967303", 9999},
              {true, "", 0},     {true, "-5", 0},        {true, "CheckDate", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.days);
    WriteConfig("Options\r\n0\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\nStartup\r\nmanually\r\n");
    m_env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
    m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Kelpwise", "\"C:\\x.exe\"");
    m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Other", "other.exe");
    const std::string options = row.autoStart ? "11111111111101" : "10000000000010";

    SaveSettingsOnClose(m_tools, options, row.autoStart, row.days);

    EXPECT_EQ(Config(), "Options\r\n" + options + "\r\nCheckTime\r\n" + (row.autoStart ? row.days : "7") +
                            "\r\nCheckDate\r\n" +
                            (row.autoStart ? std::to_string(2532 + row.interval) : "1000") +
                            "\r\nStartup\r\nmanually\r\n");
    const RegValue* run = m_env.m_registry.Find(RegRoot::CurrentUser, kRunKey, "Kelpwise");
    EXPECT_EQ(run ? run->data : "", row.autoStart ? starter : "");
    EXPECT_TRUE(m_env.m_registry.Find(RegRoot::CurrentUser, kRunKey, "Other"));
    EXPECT_FALSE(m_env.m_registry.Find(RegRoot::LocalMachine, kToolcrate, "active"));
  }
  // Without config.ini nothing is saved and the Toolcrate keeps running.
  m_env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
  std::filesystem::remove(m_dir.path() + "/Kelp wise/config.ini");
  EXPECT_THROW(SaveSettingsOnClose(m_tools, "00000000000000", false, "30"), FileError);
  EXPECT_TRUE(m_env.m_registry.Find(RegRoot::LocalMachine, kToolcrate, "active"));
}

// Closing writes the due day with "%d"; the starter takes nothing else for
// one, and starts Kelpwise on or after it when it is there (on the due day
// only "Startup" changes). The starter's other cases run under Wine.
TEST_F(SettingsTest, StarterMarksTheRunOnlyOnOrAfterAWellFormedDueDay) {
  const std::string program = m_tools.GetProgramDir() + "\\Kelpwise.exe";
  const struct {
    const char* checkDate;
    bool starts;
  } rows[] = {
      {"2532", true},  {"2531", true},       {"-2147483648", true},  {"0002532", true},
      {"2533", false}, {"2147483648", false}, {"-2147483649", false}, {"", false},
      {"-", false},    {" 2532", false},     {"+2532", false},       {"25x2", false},
  };
  m_env.SetPath(program, PathState::Exists);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.checkDate);
    const std::string head = "CheckDate\r\n" + std::string(row.checkDate) + "\r\nStartup\r\n";
    WriteConfig(head + "manually\r\n");
    AutomaticStartPlan plan;
    ASSERT_EQ(PrepareAutomaticStart(m_tools, &plan), row.starts);
    EXPECT_EQ(Config(), head + (row.starts ? "automatically" : "manually") + "\r\n");
    EXPECT_EQ(plan.program, row.starts ? program : "");
  }
  m_env.SetPath(program, PathState::Missing);
  WriteConfig("CheckDate\r\n2532\r\nStartup\r\nmanually\r\n");
  AutomaticStartPlan plan;
  EXPECT_FALSE(PrepareAutomaticStart(m_tools, &plan));
  EXPECT_EQ(Config(), "CheckDate\r\n2532\r\nStartup\r\nmanually\r\n");
}

}  // namespace
}  // namespace kw::test
