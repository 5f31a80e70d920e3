// config.ini as CSystemTools reads and rewrites it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "system/FileError.h"
#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

// Line ends mixed on purpose; the last line has none.
const char kHead[] = "Product ID\r\nKpw\r\nEmpty\r\n\r\n";
const char kTail[] = "Same\r\nSame\r\ntail\r\nOptions \r\n000\r\nOptions\r\n11\r1\r\n";
const std::string kConfig = std::string(kHead) + "Dup\nfirst\r\nDup\r\nsecond\r\n" + kTail + "Last";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { m_dir.WriteFile("config.ini", kConfig); }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path()};
  CSystemTools m_tools{m_env};
};

TEST_F(SettingsTest, ReadsTheLineAfterTheLastKeyLine) {
  const struct {
    const char* key;
    const char* expected;
  } rows[] = {
      {"Product ID", "Kpw"}, {"Empty", ""},        {"Dup", "second"},
      {"Same", "Same"},      {"Options", "11\r1"}, {"Options ", "000"},
      {"Last", ""},          {"options", ""},      {"Missing", ""},
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
    m_dir.WriteFile("config.ini", kConfig);
    m_tools.WriteSetting(row.key, row.value);
    EXPECT_EQ(m_dir.ReadFile("config.ini"), row.expected);
    EXPECT_FALSE(m_dir.Exists("config.ini.tmp"));
  }
}

TEST(SettingsFileTest, MissingFileRaisesFileErrorNamingIt) {
  TempDir empty;
  FakeEnvironment env(empty.path());
  CSystemTools tools(env);
  for (const bool write : {false, true}) {
    SCOPED_TRACE(write ? "WriteSetting" : "ReadSetting");
    try {
      write ? tools.WriteSetting("Options", "1") : (void)tools.ReadSetting("Options");
      ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), tools.GetProgramDir() + "\\config.ini");
      EXPECT_NE(std::string(error.what()).find("config.ini"), std::string::npos);
    }
  }
  EXPECT_FALSE(empty.Exists("config.ini"));
}

TEST_F(SettingsTest, FailedRewriteKeepsTheOldFile) {
  // The temporary file cannot be created: its name is taken by a folder.
  ASSERT_EQ(mkdir((m_dir.path() + "/config.ini.tmp").c_str(), 0755), 0);
  EXPECT_THROW(m_tools.WriteSetting("Dup", "new"), FileError);
  EXPECT_EQ(m_dir.ReadFile("config.ini"), kConfig);
  EXPECT_TRUE(m_dir.Exists("config.ini.tmp"));  // someone else's folder stays
}

}  // namespace
}  // namespace kw::test
