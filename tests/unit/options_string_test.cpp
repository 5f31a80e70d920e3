#include <gtest/gtest.h>

#include <string>

#include "options/OptionsString.h"

namespace kw::test {
namespace {

TEST(OptionsStringTest, OnlyAOneIsOn) {
  const std::string options = "1 0x1Y\x31\xB9";
  const bool expected[] = {true, false, false, false, true, false, true, false};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(expected[i], OptionIsOn(options, i)) << i;
  EXPECT_FALSE(OptionIsOn("", 0));
  EXPECT_FALSE(OptionIsOn("111", kOptionAutoStart));
  EXPECT_FALSE(OptionIsOn("111", -1));
}

TEST(OptionsStringTest, RoundTripRewritesEverySwitchAsZeroOrOne) {
  struct Row {
    const char* stored;
    const char* rebuilt;
  };
  const Row rows[] = {
      {"11111111111100", "11111111111100"}, {"", "00000000000000"},
      {"1111111111111", "11111111111110"},  // thirteen: automatic start off
      {"1x1 2?11111111", "10100011111111"}, {"111111111111111111", "11111111111111"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stored);
    EXPECT_EQ(row.rebuilt, BuildOptions(ReadOptionFlags(row.stored)));
  }
  bool flags[kOptionCount] = {};
  flags[0] = flags[kOptionBreakDown] = true;
  EXPECT_EQ("10000000000010", BuildOptions(flags));
}

}  // namespace
}  // namespace kw::test
