// CSystemTools: numbers, dates, shortened texts and registry values.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

TEST(SystemNumbersTest, ParseAndPowerWrapLikeThirtyTwoBitSums) {
  const auto dec = &CSystemTools::ParseDecimal;
  const auto hex = &CSystemTools::ParseHex;
  const struct {
    int32_t (*parse)(const std::string&);
    const char* text;
    int32_t expected;
  } rows[] = {
      {dec, "", 0},
      {dec, "1x2", 102},  // every character counts as a digit position
      {dec, "3 days", 300000},
      {dec, "2147483648", INT32_MIN},
      {dec, "4294967296", 0},
      {dec, "10000000000", 1410065408},  // 10^10 modulo 2^32
      {dec, "9000000000000000000000000000000000000000000", 0},
      {hex, "", 0},
      {hex, "0c0a", 3082},
      {hex, "0C0A", 0},  // upper-case letters are not hex digits
      {hex, "ffffffff", -1},
      {hex, "100000000", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.parse(row.text), row.expected);
  }
  EXPECT_EQ(CSystemTools::IntPower(10, -3), 1);
  EXPECT_EQ(CSystemTools::IntPower(2, 31), INT32_MIN);
  EXPECT_EQ(CSystemTools::IntPower(2, 32), 0);
  EXPECT_EQ(CSystemTools::IntPower(7, INT32_MAX), -1227133513);
}

TEST(SystemDatesTest, DayNumberCountsFromTheLastDayOf1999) {
  const struct {
    const char *year, *month, *day;
    int32_t expected;
  } rows[] = {
      {"2000", "1", "1", 1},
      {"2000", "3", "1", 61},
      {"2006", "12", "6", 2532},
      {"2007", "01", "05", 2562},             // 30 days later
      {"2100", "3", "1", 36586},              // every fourth year is a leap year, 2100 too
      {"2147483647", "1", "1", -1611343600},  // wraps; must not loop for ages
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.year) + "-" + row.month + "-" + row.day);
    EXPECT_EQ(CSystemTools::DayNumber(row.year, row.month, row.day), row.expected);
  }
  FakeEnvironment env;
  env.m_now = LocalTime{2007, 3, 1, 9, 7};
  EXPECT_EQ(CSystemTools(env).GetTimestamp(), "200703010907");
}

TEST(SystemTextTest, ShortenTextKeepsHeadAndTail) {
  std::string sixty;
  while (sixty.size() < 60) sixty += "0123456789";
  const struct {
    std::string text;
    int head;
    std::string expected;
  } rows[] = {
      {sixty.substr(0, 54), 35, sixty.substr(0, 54)},
      {sixty.substr(0, 55), 35, sixty.substr(0, 35) + " ... " + sixty.substr(41, 14)},
      {sixty, 35, sixty.substr(0, 35) + " ... " + sixty.substr(46)},
      {sixty, 70, sixty + " ... "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.text.size()) + " chars, head " + std::to_string(row.head));
    EXPECT_EQ(CSystemTools::ShortenText(row.text, row.head), row.expected);
  }
}

TEST(SystemPathsTest, OnlyAPathKnownToBeMissingDoesNotExist) {
  FakeEnvironment env;
  env.SetPath("C:\\here.exe", PathState::Exists);
  env.SetPath("A:\\floppy.exe", PathState::Unknown);
  CSystemTools tools(env);
  EXPECT_TRUE(tools.FileExists("c:\\HERE.exe"));
  EXPECT_TRUE(tools.FileExists("A:\\floppy.exe"));
  EXPECT_FALSE(tools.FileExists("C:\\gone.exe"));
}

const char kKey[] = "Software\\Test";
const RegRoot kHkcu = RegRoot::CurrentUser;

class SystemRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_env.m_registry.openKeys(), 0) << "a key was left open"; }

  FakeEnvironment m_env;
  MemoryRegistry& m_reg = m_env.m_registry;
  CSystemTools m_tools{m_env};
};

TEST_F(SystemRegistryTest, ReadRegStringDecodesValues) {
  const std::string big(70000, 'b');
  m_reg.SetString(kHkcu, kKey, "text", "abc");
  m_reg.SetString(kHkcu, kKey, "empty", "");
  m_reg.SetString(kHkcu, kKey, "big", big);
  m_reg.SetDword(kHkcu, kKey, "dword", 7);
  m_reg.SetRaw(kHkcu, kKey, "expand", kRegExpandSz, std::string("%x%", 4));
  m_reg.SetRaw(kHkcu, kKey, "unterminated", kRegSz, "abc");
  m_reg.SetRaw(kHkcu, kKey, "inner zero", kRegSz, std::string("ab\0cd\0", 6));
  m_reg.SetString(RegRoot::LocalMachine, kKey, "text", "machine");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "text", "classes");

  const struct {
    int selector;
    std::string path, name, expected;
  } rows[] = {
      {kReadCurrentUser, kKey, "text", "abc"},
      {kReadCurrentUser, kKey, "empty", ""},
      {kReadCurrentUser, kKey, "big", big},
      {kReadCurrentUser, kKey, "dword", "No REG_SZ"},
      {kReadCurrentUser, kKey, "expand", "No REG_SZ"},
      {kReadCurrentUser, kKey, "unterminated", "abc"},
      {kReadCurrentUser, kKey, "inner zero", "ab"},
      {kReadCurrentUser, kKey, "missing", ""},
      {kReadCurrentUser, "Software\\Nowhere", "text", ""},
      {kReadCurrentUser, "", "text", "Registry key was not found :-( "},
      {kReadLocalMachine, kKey, "text", "machine"},
      {kReadClassesRoot, kKey, "text", "classes"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.ReadRegString(row.selector, row.name), row.expected);
  }
}

TEST_F(SystemRegistryTest, WriteRegStringCreatesTheKeyAndWritesAnyLength) {
  const std::string longText(100000, 'L');
  m_tools.m_strKeyPath = "Software\\New\\Key";
  m_tools.WriteRegString(kWriteCurrentUser, "Run", "\"C:\\Tools\\KpwStarter.exe\"");
  m_tools.WriteRegString(kWriteLocalMachine, "long", longText);

  const RegValue* run = m_reg.Find(kHkcu, "Software\\New\\Key", "Run");
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->type, kRegSz);
  EXPECT_EQ(run->data, std::string("\"C:\\Tools\\KpwStarter.exe\"\0", 26));
  const RegValue* stored = m_reg.Find(RegRoot::LocalMachine, "Software\\New\\Key", "long");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->data, longText + '\0');
}

TEST_F(SystemRegistryTest, DeleteRegValueReportsItsOutcome) {
  m_reg.SetString(kHkcu, kKey, "present", "x");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "classes", "x");
  m_reg.SetString(kHkcu, "Software\\Locked", "kept", "x");
  m_reg.DenyAccess(kHkcu, "Software\\Locked");

  const struct {
    int selector;
    std::string path, name;
    DeleteOutcome expected;
  } rows[] = {
      {kWriteCurrentUser, kKey, "present", DeleteOutcome::Deleted},
      {kWriteCurrentUser, kKey, "present", DeleteOutcome::Deleted},  // already gone
      {kWriteClassesRoot, kKey, "classes", DeleteOutcome::Deleted},
      {kWriteCurrentUser, "Software\\Nowhere", "x", DeleteOutcome::KeyMissing},
      {kWriteCurrentUser, "Software\\Locked", "kept", DeleteOutcome::Failed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.DeleteRegValue(row.selector, row.name), row.expected);
  }
  EXPECT_FALSE(m_reg.HasValue(kHkcu, kKey, "present"));
  EXPECT_FALSE(m_reg.HasValue(RegRoot::ClassesRoot, kKey, "classes"));
  EXPECT_TRUE(m_reg.HasValue(kHkcu, "Software\\Locked", "kept"));
  EXPECT_FALSE(m_reg.HasKey(kHkcu, "Software\\Nowhere"));
}

}  // namespace
}  // namespace kw::test
