// CSystemTools: numbers, dates, shortened texts and registry values.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

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
      {dec, "10000000000", 1410065408},  // 10^10 modulo 2^32
      {dec, "9000000000000000000000000000000000000000000", 0},
      {hex, "", 0},
      {hex, "0c0a", 3082},
      {hex, "0C0A", 0},  // upper-case letters are not hex digits
      {hex, "ffffffff", -1},
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

// On 64-bit Windows a file named below System32 may lie in SysWOW64, where
// 32-bit programs keep their system files.
TEST(SystemPathsTest, OnlyAPathKnownToBeMissingDoesNotExist) {
  FakeEnvironment env;
  env.m_windowsDir = "C:\\WINDOWS";
  env.SetPath("C:\\here.exe", PathState::Exists);
  env.SetPath("A:\\floppy.exe", PathState::Unknown);
  env.SetPath("C:\\Windows\\System32\\only64.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\only32.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\Sub\\deep.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\unknown.dll", PathState::Unknown);
  const struct {
    bool wow64;
    std::string path;
    bool exists;
  } rows[] = {
      {true, "c:\\HERE.exe", true},
      {true, "A:\\floppy.exe", true},
      {true, "C:\\gone.exe", false},
      {true, "C:\\Windows\\System32\\only32.dll", true},
      {true, "C:\\Windows\\System32\\sub\\deep.dll", true},
      {true, "C:\\Windows\\System32\\unknown.dll", true},
      {true, "C:\\Windows\\System32\\gone.dll", false},
      {true, "D:\\Windows\\System32\\only32.dll", false},
      {false, "C:\\Windows\\System32\\only32.dll", false},  // 32-bit Windows
      {false, "C:\\Windows\\System32\\only64.dll", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + (row.wow64 ? " (64-bit)" : " (32-bit)"));
    env.m_wow64Dir = row.wow64 ? "C:\\Windows\\SysWOW64" : "";
    EXPECT_EQ(CSystemTools(env).FileExists(row.path), row.exists);
  }
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
  const struct {
    const char* name;
    uint32_t type;
    std::string data, expected;
  } rows[] = {
      {"text", kRegSz, "abc\0"s, "abc"},
      {"dword", kRegDword, "\7\0\0\0"s, "No REG_SZ"},
      {"unterminated", kRegSz, "abc", "abc"},
      {"inner zero", kRegSz, "ab\0cd\0"s, "ab"},
  };
  m_tools.m_strKeyPath = kKey;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    m_reg.SetRaw(kHkcu, kKey, row.name, row.type, row.data);
    EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, row.name), row.expected);
  }
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "missing"), "");
  m_reg.SetString(RegRoot::LocalMachine, kKey, "text", "machine");
  EXPECT_EQ(m_tools.ReadRegString(kReadLocalMachine, "text"), "machine");
  m_tools.m_strKeyPath = "";
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "text"), "Registry key was not found :-( ");
}

TEST_F(SystemRegistryTest, WriteCreatesTheKeyAndDeleteReportsItsOutcome) {
  m_tools.m_strKeyPath = "Software\\New\\Key";
  m_tools.WriteRegString(kWriteLocalMachine, "Run", "\"C:\\K.exe\"");
  const RegValue* run = m_reg.Find(RegRoot::LocalMachine, "Software\\New\\Key", "Run");
  EXPECT_EQ(run ? run->data : "", "\"C:\\K.exe\"\0"s);
  EXPECT_EQ(run ? run->type : kRegNone, kRegSz);
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "classes", "x");
  m_reg.SetString(kHkcu, "Software\\Locked", "kept", "x");
  m_reg.DenyAccess(kHkcu, "Software\\Locked");
  const struct {
    int selector;
    std::string path, name;
    DeleteOutcome expected;
  } rows[] = {
      {kWriteLocalMachine, "Software\\New\\Key", "Run", DeleteOutcome::Deleted},
      {kWriteLocalMachine, "Software\\New\\Key", "Run", DeleteOutcome::Deleted},  // already gone
      {kWriteClassesRoot, kKey, "classes", DeleteOutcome::Deleted},
      {kWriteCurrentUser, "Software\\Nowhere", "x", DeleteOutcome::KeyMissing},
      {kWriteCurrentUser, "Software\\Locked", "kept", DeleteOutcome::Failed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.DeleteRegValue(row.selector, row.name), row.expected);
  }
  EXPECT_FALSE(m_reg.Find(RegRoot::ClassesRoot, kKey, "classes"));
  EXPECT_TRUE(m_reg.Find(kHkcu, "Software\\Locked", "kept"));
  EXPECT_FALSE(m_reg.HasKey(kHkcu, "Software\\Nowhere"));
}

}  // namespace
}  // namespace kw::test
