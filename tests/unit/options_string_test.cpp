#include <gtest/gtest.h>

#include <string>

#include "options/OptionsString.h"

namespace kw::test {
namespace {

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
  EXPECT_FALSE(OptionIsOn("111", kOptionAutoStart));
  EXPECT_FALSE(OptionIsOn("111", -1));
}

}  // namespace
}  // namespace kw::test
