// The command line: its switches and the exit code of a run (the report's
// fields are read back under Wine); the options string of config.ini; the
// results list's column widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ColumnFit.h"
#include "app/CommandLine.h"
#include "app/CommandReport.h"
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
  } rows[] = {
      {{}, M::Window},
      {{"-SEARCH"}, M::Search},
      {{"-report", "-x.txt", "/clean"}, M::Clean, "-x.txt"},
      {{"/?"}, M::Usage},
      {{"search"}, M::UsageError},
      {{"/AutoStart"}, M::Window, "", true},
      {{"/autostart", "/search"}, M::UsageError},
  };
  for (const auto& row : rows) {
    const CommandLine command = ParseCommandLine(row.arguments);
    EXPECT_EQ(command.mode, row.mode) << ::testing::PrintToString(row.arguments);
    EXPECT_EQ(command.reportPath, row.report);
    EXPECT_EQ(command.automaticStart, row.automaticStart);
  }
}

// Each code's own situation runs under Wine; here the ones where they meet.
TEST(CommandLineTest, ExitCodeFollowsTheWorstThatHappened) {
  const struct {
    RunFacts facts;
    int code;
  } rows[] = {
      {{false, 3, 0, false, false}, 1}, {{true, 3, 0, false, false}, 1},
      {{true, 3, 1, false, false}, 4},  {{true, 3, 1, false, true}, 5},
      {{true, 3, 0, true, true}, 3},
  };
  for (const auto& row : rows) EXPECT_EQ(DecideExitCode(row.facts), row.code) << &row - rows;
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
