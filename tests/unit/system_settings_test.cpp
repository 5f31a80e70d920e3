// config.ini as CSystemTools reads and rewrites it, and the text files below.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "system/FileError.h"
#include "system/SystemTools.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

// Line ends mixed on purpose; the last line has none.
const char kConfig[] =
    "Product ID\r\n"
    "Kpw\r\n"
    "Empty\r\n"
    "\r\n"
    "Dup\n"
    "first\r\n"
    "Dup\r\n"
    "second\r\n"
    "Same\r\n"
    "Same\r\n"  // the value line, not a second key line
    "tail\r\n"
    "Options \r\n"
    "000\r\n"
    "Options\r\n"
    "11\r1\r\n"
    "Last";

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

TEST_F(SettingsTest, WriteReplacesEveryValueLineOfTheKeyAndWritesCrLf) {
  m_tools.WriteSetting("Dup", "new");
  EXPECT_EQ(m_dir.ReadFile("config.ini"),
            "Product ID\r\nKpw\r\nEmpty\r\n\r\nDup\r\nnew\r\nDup\r\nnew\r\nSame\r\nSame\r\ntail\r\n"
            "Options \r\n000\r\nOptions\r\n11\r1\r\nLast\r\n");
  EXPECT_FALSE(m_dir.Exists("config.ini.tmp"));
}

TEST_F(SettingsTest, KeyOnTheLastLineGetsItsValueLine) {
  m_tools.WriteSetting("Last", "added");
  EXPECT_EQ(m_tools.ReadSetting("Last"), "added");
  const std::string file = m_dir.ReadFile("config.ini");
  EXPECT_EQ(file.substr(file.size() - 13), "Last\r\nadded\r\n");
}

TEST_F(SettingsTest, UnknownKeyOnlyNormalisesLineEnds) {
  m_tools.WriteSetting("Nowhere", "x");
  EXPECT_EQ(
      m_dir.ReadFile("config.ini"),
      "Product ID\r\nKpw\r\nEmpty\r\n\r\nDup\r\nfirst\r\nDup\r\nsecond\r\nSame\r\nSame\r\ntail\r\n"
      "Options \r\n000\r\nOptions\r\n11\r1\r\nLast\r\n");
}

TEST_F(SettingsTest, MissingFileRaisesFileErrorNamingIt) {
  TempDir empty;
  FakeEnvironment env(empty.path());
  CSystemTools tools(env);
  for (int write = 0; write < 2; ++write) {
    SCOPED_TRACE(write ? "WriteSetting" : "ReadSetting");
    try {
      if (write) {
        tools.WriteSetting("Options", "1");
      } else {
        tools.ReadSetting("Options");
      }
      ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::Open);
      EXPECT_EQ(error.path(), tools.GetProgramDir() + "\\config.ini");
      EXPECT_NE(std::string(error.what()).find("config.ini"), std::string::npos);
    }
  }
  EXPECT_FALSE(empty.Exists("config.ini"));
}

TEST_F(SettingsTest, FailedRewriteKeepsTheOldFile) {
  // The temporary file cannot be created: its name is taken by a folder.
  ASSERT_EQ(mkdir((m_dir.path() + "/config.ini.tmp").c_str(), 0755), 0);
  try {
    m_tools.WriteSetting("Dup", "new");
    ADD_FAILURE() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::Write);
    EXPECT_EQ(error.path(), m_tools.GetProgramDir() + "\\config.ini");
  }
  EXPECT_EQ(m_dir.ReadFile("config.ini"), kConfig);
  EXPECT_TRUE(m_dir.Exists("config.ini.tmp"));  // someone else's folder stays
}

TEST_F(SettingsTest, ReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(chmod(m_dir.path().c_str(), 0555), 0);
  EXPECT_THROW(m_tools.WriteSetting("Dup", "new"), FileError);
  chmod(m_dir.path().c_str(), 0755);
  EXPECT_EQ(m_dir.ReadFile("config.ini"), kConfig);
  EXPECT_FALSE(m_dir.Exists("config.ini.tmp"));
}

TEST(TextFileTest, WriteErrorsAreReported) {
  // /dev/full takes the open but refuses every byte.
  TextFileWriter writer("/dev/full");
  EXPECT_THROW(
      {
        writer.Write(std::string(100000, 'x'));
        writer.Close();
      },
      FileError);
}

TEST(TextFileTest, ReplacingWritesCrLfAfterEveryLine) {
  TempDir dir;
  const std::string path = dir.path() + "\\list.ini";
  ReplaceFileLines(path, {"a", "", "b\rc"});
  EXPECT_EQ(dir.ReadFile("list.ini"), "a\r\n\r\nb\rc\r\n");
  EXPECT_EQ(ReadAllLines(path), (std::vector<std::string>{"a", "", "b\rc"}));
  ReplaceFileLines(path, {});
  EXPECT_EQ(dir.ReadFile("list.ini"), "");
  EXPECT_TRUE(ReadAllLines(path).empty());
}

TEST(TextFileTest, SectionExistsMatchesWholeLines) {
  TempDir dir;
  dir.WriteFile("lang.ini", "[1033]\r\n00001 x\r\n[1031] \r\n[EOL]");
  const std::string path = dir.path() + "\\lang.ini";
  EXPECT_TRUE(CSystemTools::SectionExists(path, "[1033]"));
  EXPECT_TRUE(CSystemTools::SectionExists(path, "[EOL]"));
  EXPECT_FALSE(CSystemTools::SectionExists(path, "[1031]"));
  EXPECT_THROW(CSystemTools::SectionExists(path + ".none", "[1033]"), FileError);
}

}  // namespace
}  // namespace kw::test
