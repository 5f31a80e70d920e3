// Number parsing, dates, timestamps and shortened texts of CSystemTools.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

TEST(SystemNumbersTest, ParseDecimalCountsEveryCharacterPosition) {
  const struct {
    const char* text;
    int32_t expected;
  } rows[] = {
      {"", 0},
      {"12", 12},
      {"1x2", 102},
      {"-5", 5},
      {"3 days", 300000},
      {"0030", 30},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MIN},  // wraps like a 32-bit sum
      {"4294967295", -1},
      {"4294967296", 0},
      {"10000000000", 1410065408},                         // 10^10 modulo 2^32
      {"9000000000000000000000000000000000000000000", 0},  // 10^k for k >= 32 is 0 mod 2^32
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(CSystemTools::ParseDecimal(row.text), row.expected);
  }
}

TEST(SystemNumbersTest, ParseHexTakesLowerCaseDigitsOnly) {
  const struct {
    const char* text;
    int32_t expected;
  } rows[] = {
      {"", 0},        {"0407", 1031}, {"0c0a", 3082},   {"0C0A", 0},
      {"0409", 1033}, {"g1", 1},      {"ffffffff", -1}, {"100000000", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(CSystemTools::ParseHex(row.text), row.expected);
  }
}

TEST(SystemNumbersTest, IntPowerWrapsAndTreatsNonPositiveExponentsAsZero) {
  const struct {
    int32_t base, exponent, expected;
  } rows[] = {
      {10, 0, 1},
      {10, -3, 1},
      {3, 2, 9},
      {-2, 3, -8},
      {2, 31, INT32_MIN},
      {2, 32, 0},
      {10, 10, 1410065408},
      {7, INT32_MAX, -1227133513},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.base) + "^" + std::to_string(row.exponent));
    EXPECT_EQ(CSystemTools::IntPower(row.base, row.exponent), row.expected);
  }
}

TEST(SystemDatesTest, DayNumberCountsFromTheLastDayOf1999) {
  const struct {
    const char *year, *month, *day;
    int32_t expected;
  } rows[] = {
      {"2000", "1", "1", 1},
      {"2000", "3", "1", 61},  // 2000 is a leap year
      {"2001", "3", "1", 426},
      {"2006", "12", "6", 2532},
      {"2007", "01", "05", 2562},  // 30 days after 2006-12-06
      {"2006", "12", "0", 2526},   // day 0 is the last day of November
      {"2006", "0", "6", 2198},    // month 0 adds no months
      {"2006", "1", "6", 2198},
      {"2006", "13", "1", 2192 + 365 + 1},    // months past 12 add nothing more
      {"1999", "12", "31", 334 + 31},         // years before 2000 add nothing
      {"2147483647", "1", "1", -1611343600},  // wraps; must not loop for ages
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.year) + "-" + row.month + "-" + row.day);
    EXPECT_EQ(CSystemTools::DayNumber(row.year, row.month, row.day), row.expected);
  }
  // Every year divisible by 4 counts as a leap year, 2100 too.
  EXPECT_EQ(CSystemTools::DayNumber("2100", "3", "1") - CSystemTools::DayNumber("2100", "2", "28"),
            2);
}

TEST(SystemDatesTest, TimestampIsTwelveDigitsWithoutSeconds) {
  FakeEnvironment env;
  CSystemTools tools(env);
  env.m_now = LocalTime{2007, 3, 1, 9, 7};
  EXPECT_EQ(tools.GetTimestamp(), "200703010907");
  env.m_now = LocalTime{2006, 12, 6, 14, 5};
  EXPECT_EQ(tools.GetTimestamp(), "200612061405");
  EXPECT_EQ(CSystemTools::ZeroPad("7", 2), "07");
  EXPECT_EQ(CSystemTools::ZeroPad("123", 2), "123");
  EXPECT_EQ(CSystemTools::ZeroPad("", 2), "00");
}

TEST(SystemTextTest, ShortenTextKeepsHeadAndTail) {
  const std::string digits = "0123456789";
  std::string sixty;
  while (sixty.size() < 60) sixty += digits;
  sixty.resize(60);
  std::string hundred;
  while (hundred.size() < 100) hundred += digits;
  const struct {
    std::string text;
    int head;
    std::string expected;
  } rows[] = {
      {sixty.substr(0, 54), 35, sixty.substr(0, 54)},
      {sixty.substr(0, 55), 35, sixty.substr(0, 35) + " ... " + sixty.substr(41, 14)},
      {sixty, 35, sixty.substr(0, 35) + " ... " + sixty.substr(46)},
      {sixty, 70, sixty + " ... "},
      {hundred, 70, hundred.substr(0, 70) + " ... "},
      {sixty, 49, sixty.substr(0, 49) + " ... "},
      {sixty, -5, " ... " + sixty.substr(6)},  // 54 tail characters
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.text.size()) + " chars, head " + std::to_string(row.head));
    EXPECT_EQ(CSystemTools::ShortenText(row.text, row.head), row.expected);
  }
  EXPECT_EQ(CSystemTools::ShortenText(sixty, 35).size(), 54u);
}

TEST(SystemPathsTest, ProgramDirWindowsDirAndFileExists) {
  FakeEnvironment env("C:\\Tools");
  CSystemTools tools(env);
  EXPECT_EQ(tools.GetProgramDir(), "C:\\Tools");
  env.m_moduleFileName = "app.exe";
  EXPECT_EQ(tools.GetProgramDir(), "");

  EXPECT_EQ(tools.GetWindowsDir(), "C:\\Windows");
  env.m_windowsDir = "D:\\WINNT";
  EXPECT_EQ(tools.GetWindowsDir(), "D:\\WINNT");
  env.m_windowsDir = "";
  EXPECT_EQ(tools.GetWindowsDir(), "C:\\Windows");

  env.SetPath("C:\\here.exe", PathState::Exists);
  env.SetPath("A:\\floppy.exe", PathState::Unknown);
  EXPECT_TRUE(tools.FileExists("c:\\HERE.exe"));
  EXPECT_TRUE(tools.FileExists("A:\\floppy.exe"));  // not known to be missing
  EXPECT_FALSE(tools.FileExists("C:\\gone.exe"));
}

}  // namespace
}  // namespace kw::test
