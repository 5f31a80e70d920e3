// What closing the main window saves: the automatic start, the options and
// the removal of the Toolcrate's "active" value.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "system/FileError.h"
#include "system/Shutdown.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kToolcrate[] = "Software\\Tarnwell\\Tarnwell Toolcrate";
const char kConfig[] =
    "Options\r\n00000000000000\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\nStartup\r\nmanually\r\n";

class ShutdownTest : public ::testing::Test {
 protected:
  // The program folder is a folder with a blank in its name.
  void SetUp() override {
    ASSERT_EQ(mkdir((m_dir.path() + "/Kelp wise").c_str(), 0755), 0);
    m_dir.WriteFile("Kelp wise/config.ini", kConfig);
    m_env.m_now = LocalTime{2006, 12, 6, 14, 5};
    m_env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
  }
  std::string Config() const { return m_dir.ReadFile("Kelp wise/config.ini"); }
  const RegValue* RunValue() const {
    return m_env.m_registry.Find(RegRoot::CurrentUser, kRunKey, "Kelpwise");
  }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path() + "\\Kelp wise"};
  CSystemTools m_tools{m_env};
};

TEST_F(ShutdownTest, AutoStartOnRegistersTheStarterAndTheDueDay) {
  SaveSettingsOnClose(m_tools, "11111111111101", true, "30");

  const RegValue* run = RunValue();
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->data, "\"" + m_tools.GetProgramDir() + "\\KpwStarter.exe\"" + '\0');
  EXPECT_EQ(Config(),
            "Options\r\n11111111111101\r\nCheckTime\r\n30\r\nCheckDate\r\n2562\r\n"
            "Startup\r\nmanually\r\n");
  EXPECT_FALSE(m_env.m_registry.HasValue(RegRoot::LocalMachine, kToolcrate, "active"));
  EXPECT_EQ(m_env.m_registry.openKeys(), 0);
}

TEST_F(ShutdownTest, AutoStartOffRemovesTheStarterAndKeepsTheSchedule) {
  m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Kelpwise", "\"C:\\x.exe\"");
  m_env.m_registry.SetString(RegRoot::CurrentUser, kRunKey, "Other", "other.exe");

  SaveSettingsOnClose(m_tools, "10000000000010", false, "30");

  EXPECT_EQ(RunValue(), nullptr);
  EXPECT_TRUE(m_env.m_registry.HasValue(RegRoot::CurrentUser, kRunKey, "Other"));
  EXPECT_EQ(Config(),
            "Options\r\n10000000000010\r\nCheckTime\r\n7\r\nCheckDate\r\n1000\r\n"
            "Startup\r\nmanually\r\n");
  EXPECT_FALSE(m_env.m_registry.HasValue(RegRoot::LocalMachine, kToolcrate, "active"));
}

TEST_F(ShutdownTest, UnreadableSettingsStopTheRoutine) {
  TempDir empty;
  FakeEnvironment env(empty.path());
  env.m_registry.SetString(RegRoot::LocalMachine, kToolcrate, "active", "1");
  CSystemTools tools(env);
  EXPECT_THROW(SaveSettingsOnClose(tools, "00000000000000", false, "30"), FileError);
  EXPECT_TRUE(env.m_registry.HasValue(RegRoot::LocalMachine, kToolcrate, "active"));
  EXPECT_FALSE(empty.Exists("config.ini"));
}

}  // namespace
}  // namespace kw::test
