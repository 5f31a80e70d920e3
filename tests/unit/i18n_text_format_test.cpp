#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "i18n/TextFormat.h"

namespace kw::test {
namespace {

TEST(TextFormatTest, FillsTheFirstPlaceholderWithFlagsAndWidth) {
  struct Row {
    const char* text;
    long number;
    const char* expected;
  };
  const Row rows[] = {
      {"%d entries found.", 12, "12 entries found."},
      {"%i / %u", 0, "0 / %u"},
      {"%ld", 4, "4"},
      {"[%5d][%-5d]", 42, "[   42][%-5d]"},
      {"[%05d]", -42, "[-0042]"},
      {"[%+.3d]", 7, "[+007]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.expected, FormatWithNumber(row.text, row.number));
  }
  EXPECT_EQ(std::to_string(LONG_MIN), FormatWithNumber("%d", LONG_MIN)) << "sign overflow";
  EXPECT_EQ("Checking: Software\\%d", FormatWithText("Checking: %s", "Software\\%d"));
  EXPECT_EQ("[  ab]", FormatWithText("[%4s]", "ab"));
  EXPECT_EQ("[abc]", FormatWithText("[%.3s]", "abcd"));
}

TEST(TextFormatTest, EveryOtherPercentSequenceStaysText) {
  struct Row {
    const char* text;
    const char* withNumber;
    const char* withText;
  };
  const Row rows[] = {
      {"no placeholder", "no placeholder", "no placeholder"},
      {"%s%s%s", "%s%s%s", "ARG%s%s"},
      {"%s then %d", "%s then 5", "ARG then %d"},
      {"100%% sure: %d", "100% sure: 5", "100% sure: %d"},
      {"%%d", "%d", "%d"},
      {"%n%p%x%f%c", "%n%p%x%f%c", "%n%p%x%f%c"},
      {"%*d %d", "%*d 5", "%*d %d"},
      {"%1234d%ls", "%1234d%ls", "%1234d%ls"},
      {"ends in %5", "ends in %5", "ends in %5"},
      {"%", "%", "%"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.withNumber, FormatWithNumber(row.text, 5));
    EXPECT_EQ(row.withText, FormatWithText(row.text, "ARG"));
  }
  EXPECT_EQ("\xE4\xF6 3 \xDF", FormatWithNumber("\xE4\xF6 %d \xDF", 3));
}

}  // namespace
}  // namespace kw::test
