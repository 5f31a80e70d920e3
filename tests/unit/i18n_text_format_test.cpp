#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "i18n/TextFormat.h"

namespace kw::test {
namespace {

// Language texts fill only their first placeholder of the right kind; every
// other percent sequence stays text, so no text can crash the formatter.
TEST(TextFormatTest, FillsOnlyTheFirstMatchingPlaceholder) {
  const struct {
    const char* text;
    const char* withNumber;
    const char* withText;
  } rows[] = {
      {"%d entries found.", "5 entries found.", "%d entries found."},
      {"no placeholder", "no placeholder", "no placeholder"},
      {"%s%s%s", "%s%s%s", "ARG%s%s"},
      {"%s then %d", "%s then 5", "ARG then %d"},
      {"[%5d][%-5d]", "[    5][%-5d]", "[%5d][%-5d]"},
      {"[%+.3d][%4s]", "[+005][%4s]", "[%+.3d][ ARG]"},
      {"100%% sure: %d", "100% sure: 5", "100% sure: %d"},
      {"%%d", "%d", "%d"},
      {"%n%p%x%f%c", "%n%p%x%f%c", "%n%p%x%f%c"},
      {"%*d %d", "%*d 5", "%*d %d"},
      {"%1234d%ls", "%1234d%ls", "%1234d%ls"},
      {"ends in %5", "ends in %5", "ends in %5"},
      {"%", "%", "%"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.withNumber, FormatWithNumber(row.text, 5));
    EXPECT_EQ(row.withText, FormatWithText(row.text, "ARG"));
  }
  EXPECT_EQ(std::to_string(LONG_MIN), FormatWithNumber("%d", LONG_MIN)) << "sign overflow";
  EXPECT_EQ("Checking: Software\\%d", FormatWithText("Checking: %s", "Software\\%d"));
}

}  // namespace
}  // namespace kw::test
