// config.ini as CSystemTools reads and rewrites it, the options string in
// it, what closing the main window saves, and what the companion starter
// makes of it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "options/OptionsString.h"
#include "system/AutomaticStart.h"
#include "system/FileError.h"
#include "system/Shutdown.h"
#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const char kToolcrate[] = "Software\\Tarnwell\\Tarnwell Toolcrate";

// Line ends mixed on purpose; the last line has none.
const char kHead[] = "Product ID\r\nKpw\r\nEmpty\r\n\r\n";
const char kTail[] = "Same\r\nSame\r\ntail\r\nOptions \r\n000\r\nOptions\r\n11\r1\r\n";
const std::string kConfig = std::string(kHead) + "Dup\nfirst\r\nDup\r\nsecond\r\n" + kTail + "Last";

// The program folder has a blank in its name.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir((m_dir.path() + "/Kelp wise").c_str(), 0755), 0);
    WriteConfig(kConfig);
  }
  void WriteConfig(const std::string& bytes) { m_dir.WriteFile("Kelp wise/config.ini", bytes); }
  std::string Config() const { return m_dir.ReadFile("Kelp wise/config.ini"); }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path() + "\\Kelp wise"};
  CSystemTools m_tools{m_env};
};

TEST_F(SettingsTest, ReadsTheLineAfterTheLastKeyLine) {
  const struct {
    const char* key;
    const char* expected;
  } rows[] = {
      {"Empty", ""},         {"Dup", "second"}, {"Same", "Same"}, {"Options", "11\r1"},
      {"Options ", "000"},   {"Last", ""},      {"options", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(m_tools.ReadSetting(row.key), row.expected);
  }
}

TEST_F(SettingsTest, WriteReplacesEveryValueLineOrAppendsOneAndWritesCrLf) {
  const std::string dups = "Dup\r\nfirst\r\nDup\r\nsecond\r\n";
  const struct {
    const char *key, *value;
    std::string expected;
  } rows[] = {
      {"Dup", "new", kHead + std::string("Dup\r\nnew\r\nDup\r\nnew\r\n") + kTail + "Last\r\n"},
      {"Last", "added", kHead + dups + kTail + "Last\r\nadded\r\n"},
      {"Nowhere", "x", kHead + dups + kTail + "Last\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    WriteConfig(kConfig);
    m_tools.WriteSetting(row.key, row.value);
    EXPECT_EQ(Config(), row.expected);
  }
}

TEST_F(SettingsTest, FailedRewriteKeepsTheOldFile) {
  // The temporary file cannot be created: its name is taken by a folder.
  ASSERT_EQ(mkdir((m_dir.path() + "/Kelp wise/config.ini.tmp").c_str(), 0755), 0);
  EXPECT_THROW(m_tools.WriteSetting("Dup", "new"), FileError);
  EXPECT_EQ(Config(), kConfig);
}

TEST(SettingsFileTest, MissingFileRaisesFileErrorNamingItAndStopsTheShutdown) {
  TempDir empty;
  FakeEnvironment env(empty.path());
  env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
  CSystemTools tools(env);
  EXPECT_THROW(tools.WriteSetting("Options", "1"), FileError);
  EXPECT_THROW(SaveSettingsOnClose(tools, "00000000000000", false, "30"), FileError);
  EXPECT_TRUE(env.m_registry.Find(RegRoot::LocalMachine, kToolcrate, "active"));
  try {
    tools.ReadSetting("Options");
    ADD_FAILURE() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), tools.GetProgramDir() + "\\config.ini");
  }
}

TEST(OptionsStringTest, RoundTripRewritesEverySwitchAsZeroOrOne) {
  const struct {
    const char* stored;
    const char* rebuilt;
  } rows[] = {
      {"11111111111100", "11111111111100"},
      {"", "00000000000000"},
      {"1111111111111", "11111111111110"},  // thirteen: automatic start off
      {"1x1 2?1\xB9\x31\x31\x31\x31\x31\x31", "10100010111111"},
      {"111111111111111111", "11111111111111"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stored);
    EXPECT_EQ(row.rebuilt, BuildOptions(ReadOptionFlags(row.stored)));
  }
  EXPECT_FALSE(ReadOptionFlags("111")[kOptionAutoStart]);
}

TEST_F(SettingsTest, ClosingSavesOptionsScheduleAndStarter) {
  const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string startup = "Startup\r\nmanually\r\n";
  const std::string rest = "\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\n" + startup;
  const std::string starter = "\"" + m_tools.GetProgramDir() + "\\KpwStarter.exe\"" + '\0';
  const struct {
    bool autoStart;
    const char* options;
    std::string config;
    std::string runValue;  // empty: none
  } rows[] = {
      {true, "11111111111101",
       "Options\r\n11111111111101\r\nCheckTime\r\n30\r\nCheckDate\r\n2562\r\n" + startup, starter},
      {false, "10000000000010", "Options\r\n10000000000010" + rest, ""},  // schedule kept
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.options);
    WriteConfig("Options\r\n00000000000000" + rest);
    m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
    m_env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
    m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Kelpwise", "\"C:\\x.exe\"");
    m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Other", "other.exe");

    SaveSettingsOnClose(m_tools, row.options, row.autoStart, "30");

    EXPECT_EQ(Config(), row.config);
    const RegValue* run = m_env.m_registry.Find(RegRoot::CurrentUser, kRunKey, "Kelpwise");
    EXPECT_EQ(run ? run->data : "", row.runValue);
    EXPECT_TRUE(m_env.m_registry.Find(RegRoot::CurrentUser, kRunKey, "Other"));
    EXPECT_FALSE(m_env.m_registry.Find(RegRoot::LocalMachine, kToolcrate, "active"));
  }
}

// The days text is stored as typed, whatever it holds, even a key's name; the
// schedule takes its leading digits, at most 9999 days. Today is day 2532.
TEST_F(SettingsTest, ClosingKeepsEveryPairWhateverTheDaysTextHolds) {
  const struct {
    const char* days;
    int interval;
  } rows[] = {{"0042", 42},  {"3 days", 3}, {"9999", 9999}, {"10000", 9999},
              {"4294967303", 9999}, {"", 0}, {"-5", 0}, {"CheckDate", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.days);
    WriteConfig("CheckTime\r\n30\r\nCheckDate\r\n1\r\nOptions\r\n0\r\nStartup\r\nmanually\r\n");
    m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
    SaveSettingsOnClose(m_tools, "11111111111101", true, row.days);
    EXPECT_EQ(Config(), "CheckTime\r\n" + std::string(row.days) + "\r\nCheckDate\r\n" +
                            std::to_string(2532 + row.interval) +
                            "\r\nOptions\r\n11111111111101\r\nStartup\r\nmanually\r\n");
    EXPECT_EQ(m_tools.ReadSetting("Options"), "11111111111101");
  }
}

// Closing writes the due day with "%d"; the starter takes nothing else for
// one. Today is day 2532; on the due day only "Startup" changes. (The
// starter's other cases run under Wine.)
TEST_F(SettingsTest, StarterMarksTheRunOnlyOnOrAfterAWellFormedDueDay) {
  const std::string program = m_tools.GetProgramDir() + "\\Kelpwise.exe";
  const struct {
    const char* checkDate;
    bool starts;
  } rows[] = {
      {"2532", true},         {"2531", true},  {"-2147483648", true}, {"0002532", true},
      {"2533", false},        {"2147483648", false}, {"-2147483649", false}, {"", false},
      {"-", false},           {" 2532", false}, {"+2532", false}, {"25x2", false},
  };
  m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
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
}

}  // namespace
}  // namespace kw::test
