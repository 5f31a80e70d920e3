// The command line: its switches and the exit code of a run (the report's
// fields are read back under Wine) and the JSON report's texts; the options string of config.ini;
// pixel sizes at each display scale; the results list's column widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ColumnFit.h"
#include "app/CommandLine.h"
#include "app/CommandReport.h"
#include "app/DisplayScale.h"
#include "app/JsonReport.h"
#include "app/WindowLayout.h"
#include "options/OptionsString.h"

namespace kw::test {

TEST(OptionsStringTest, RoundTripRewritesEverySwitchAsZeroOrOne) {
  const struct {
    const char *stored, *rebuilt;
  } rows[] = {
      {"1111111111111", "11111111111110"},  // thirteen: automatic start off
      {"1x1 2?1\xB9\x31\x31\x31\x31\x31\x31", "10100010111111"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.rebuilt, BuildOptions(ReadOptionFlags(row.stored)));
}

TEST(CommandLineTest, SwitchesChooseTheRunAndAnythingElseIsAUsageError) {
  using M = CommandMode;
  const struct {
    std::vector<std::string> arguments;
    CommandMode mode;
    std::string report = "";
    bool automaticStart = false;
    bool allUsers = false;
    std::string restore = "";
  } rows[] = {
      {{}, M::Window},
      {{"-SEARCH"}, M::Search},
      {{"-report", "-x.txt", "/clean"}, M::Clean, "-x.txt"},
      {{"/?"}, M::Usage},
      {{"search"}, M::UsageError},
      {{"/AutoStart"}, M::Window, "", true},
      {{"/autostart", "/search"}, M::UsageError},
      {{"/clean", "/ALLUSERS"}, M::Clean, "", false, true},
      {{"/allusers"}, M::UsageError},
      {{"/restore", "b.reg", "/report", "r.json"}, M::Restore, "r.json", false, false, "b.reg"},
      {{"/restore", "/report", "r.json"}, M::UsageError},
      {{"/restore", "b.reg", "/search"}, M::UsageError},
      {{"/restore", "b.reg", "/allusers"}, M::UsageError},
  };
  for (const auto& row : rows) {
    const CommandLine command = ParseCommandLine(row.arguments);
    EXPECT_EQ(command.mode, row.mode) << ::testing::PrintToString(row.arguments);
    EXPECT_EQ(command.reportPath, row.report);
    EXPECT_EQ(command.automaticStart, row.automaticStart);
    EXPECT_EQ(command.allUsers, row.allUsers);
    EXPECT_EQ(command.restorePath, row.restore);
  }
}

// Each code's own situation is a row of the clean command's table; here
// the ones where they meet.
TEST(CommandLineTest, ExitCodeFollowsTheWorstThatHappened) {
  const struct {
    RunFacts facts;
    int code;
  } rows[] = {
      {{false, 3, 0, false, false}, 1},  {{true, 3, 0, false, false}, 1},
      {{true, 3, 1, false, false}, 4},   {{true, 3, 1, false, true}, 5},
      {{true, 3, 0, true, true}, 3},     {{false, 0, 0, false, false, 1}, 4},
      {{true, 3, 0, false, true, 1}, 5},
  };
  for (const auto& row : rows) EXPECT_EQ(DecideExitCode(row.facts), row.code) << &row - rows;
}

// ANSI texts (Latin-1 here) become JSON strings, or null when empty; bytes
// that are not UTF-8 become U+FFFD, one for each.
TEST(JsonReportTest, TextsAreEscapedAndAlwaysValidUtf8) {
  const struct {
    std::string ansi, json;
  } texts[] = {
      {"", "null"},
      {"say \"hi\" C:\\x\\", R"("say \"hi\" C:\\x\\")"},
      {std::string("a\tb\r\n\x01\x1F\0z\x7F", 10),
       "\"a\\u0009b\\u000d\\u000a\\u0001\\u001f\\u0000z\x7F\""},
      {"caf\xE9 \xFF", "\"caf\xC3\xA9 \xC3\xBF\""},
  };
  for (const auto& row : texts) EXPECT_EQ(JsonText(CurrentEnvironment(), row.ansi), row.json);
  const struct {
    std::string utf8, json;  // '?' stands for U+FFFD
  } bytes[] = {
      {"\xE2\x82\xAC \xF0\x9F\x90\x9F \xF4\x8F\xBF\xBF",
       "\xE2\x82\xAC \xF0\x9F\x90\x9F \xF4\x8F\xBF\xBF"},
      {"\xED\xA0\x80", "???"},       // a surrogate
      {"\xC0\xAF\xE0\x80", "????"},  // overlong forms
      {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
      {"a\xE2\x82", "a??"},          // cut short at the end
  };
  for (const auto& row : bytes) {
    std::string json = "\"";
    for (const char c : row.json) json += c == '?' ? "\xEF\xBF\xBD" : std::string(1, c);
    EXPECT_EQ(JsonString(row.utf8), json + "\"") << &row - bytes;
  }
  const std::pair<std::string, bool> paths[] = {
      {"C:\\r.JSON", true}, {"r.Json. .", true}, {".json", true}, {"r.json.txt", false},
      {"a.json\\r", false}, {"json", false},     {"", false}};
  for (const auto& [path, json] : paths) EXPECT_EQ(IsJsonReportPath(path), json) << path;
  // A profile that /allusers could not search: an entry without category.
  const std::string report = FormatJsonReport(
      CurrentEnvironment(),
      {{-1, "HKEY_USERS", "S-1-5-21-7", "", 0, "", "", "profile not searched: x", "S-1-5-21-7"}},
      {});
  EXPECT_NE(
      report.find(R"({"category": null, "categoryNumber": null, "root": "HKEY_USERS", )"
                  R"("key": "S-1-5-21-7", "valueName": null, "type": "REG_NONE", "data": null, )"
                  R"("missingFile": null, "outcome": "profile not searched: x", )"
                  R"("user": "S-1-5-21-7"})"),
      std::string::npos)
      << report;
}

// A stored placement comes back through its config.ini line, or not at all
// when malformed; it keeps its place while a monitor shows enough of its
// caption (the primary's work area is 1920x1040, a second lies to its
// right; the smallest window is 640x500).
TEST(WindowLayoutTest, AStoredWindowLandsOnAMonitorThatIsThere) {
  for (const char* bad : {"", "1,2,640,500", "1,2,640,500,0,", "1,2,0,500,0", "1,2,640,500,2",
                          " 1,2,640,500,0", "1,2,6400000,500,0", "-,2,640,500,0", "1,2,640,-5,0"})
    EXPECT_FALSE(ParsePlacement(bad)) << bad;
  const Box primary{0, 0, 1920, 1040}, second{1920, 0, 3840, 1080};
  const struct {
    Box stored;
    std::vector<Box> areas;
    Box placed;
  } rows[] = {
      {{50, 60, 150, 160}, {primary}, {50, 60, 690, 560}},  // grows to the smallest size
      {{2000, 100, 2700, 700}, {primary, second}, {2000, 100, 2700, 700}},
      {{2000, 100, 2700, 700}, {primary}, {1220, 100, 1920, 700}},  // the second is gone
      {{1880, 100, 2580, 700}, {primary}, {1220, 100, 1920, 700}},  // 40 pixels of caption
      {{-3000, -900, -2000, 0}, {primary, second}, {0, 0, 1000, 900}},
      {{100, 1000, 800, 1600}, {primary}, {100, 440, 800, 1040}},
      {{2000, 0, 5000, 2000}, {primary}, {0, 0, 1920, 1040}},
  };
  for (const auto& row : rows) {
    const auto stored = ParsePlacement(FormatPlacement({row.stored, true}));
    ASSERT_TRUE(stored && stored->maximized) << &row - rows;
    const Box placed = PlaceOnVisibleMonitor(stored->normal, row.areas, 640, 500);
    EXPECT_TRUE(placed == row.placed) << &row - rows << ": " << placed.left << "," << placed.top;
  }
}

TEST(DisplayScaleTest, PixelSizesFollowTheDpiAndArtIsOnlyShrunk) {
  const struct {
    int pixels, dpi, scaled, source;  // source: of the sizes 16, 20, 24, 32
  } rows[] = {
      {16, 96, 16, 16},  {16, 120, 20, 20},  {16, 144, 24, 24}, {16, 192, 32, 32},
      {16, 168, 28, 32}, {16, 288, 48, 32},  {16, 0, 16, 16},   {16, -120, 16, 16},
      {75, 120, 94, 32}, {75, 144, 113, 32}, {-3, 144, -5, 16}, {1 << 29, 192, 1 << 30, 32},
  };
  for (const auto& row : rows) {
    const int scaled = ScaleForDpi(row.pixels, row.dpi);
    EXPECT_EQ(scaled, row.scaled) << row.pixels << " at " << row.dpi;
    EXPECT_EQ(PickSourceSize(scaled, {16, 20, 24, 32}), row.source) << scaled;
  }
  EXPECT_EQ(PickSourceSize(16, {}), 0);
  EXPECT_EQ(ScaleForDpi(141, 120, 144), 118);  // a column's width, moved to a lower scale
  EXPECT_EQ(ScaleForDpi(141, 144, 0), 212);
}

// Within the list's width: the data column keeps what it needs up to a third
// and takes the rest; a too wide column gives way before the narrow ones.
TEST(ColumnFitTest, LeadingColumnsFitTheirTextsAndTheDataColumnTakesTheRest) {
  const struct {
    std::vector<int> wanted, widths;
    int available;
  } rows[] = {
      {{110, 75, 200}, {110, 75, 415}, 600}, {{110, 500, 400}, {110, 290, 200}, 600},
      {{110, 500, 50}, {110, 440, 50}, 600}, {{400, 500, 400}, {200, 200, 200}, 600},
      {{110, 75, 375}, {0, 0, 0}, -20},
  };
  for (const auto& row : rows) EXPECT_EQ(FitColumnWidths(row.wanted, row.available), row.widths);
}

}  // namespace kw::test
