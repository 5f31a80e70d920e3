// The command line: its switches, the report's fields and the exit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandReport.h"
#include "system/Environment.h"
#include "tests/support/TsvReader.h"

namespace kw::test {
namespace {

TEST(CommandLineTest, SwitchesChooseTheRunAndAnythingElseIsAUsageError) {
  using M = CommandMode;
  const struct {
    std::vector<std::string> arguments;
    CommandMode mode;
    std::string report;
  } rows[] = {
      {{}, M::Window, ""},
      {{"-SEARCH"}, M::Search, ""},
      {{"/Clean", "/report", "C:\\r.txt"}, M::Clean, "C:\\r.txt"},
      {{"-report", "-x.txt", "/clean"}, M::Clean, "-x.txt"},
      {{"/?"}, M::Usage, ""},
      {{"/search", "/?", "/report", "u.txt"}, M::Usage, "u.txt"},
      {{"/search", "/clean"}, M::UsageError, ""},
      {{"/search", "/report"}, M::UsageError, ""},
      {{"/report", "/search"}, M::UsageError, ""},
      {{"/report", "r.txt"}, M::UsageError, ""},
      {{"/searchx"}, M::UsageError, ""},
      {{"search"}, M::UsageError, ""},
      {{"/search", "extra"}, M::UsageError, ""},
  };
  for (const auto& row : rows) {
    std::string call;
    for (const std::string& argument : row.arguments) call += " [" + argument + "]";
    SCOPED_TRACE(call);
    const CommandLine command = ParseCommandLine(row.arguments);
    EXPECT_EQ(command.mode, row.mode);
    if (row.mode != M::UsageError) {
      EXPECT_EQ(command.reportPath, row.report);
    }
  }
}

TEST(CommandLineTest, ExitCodeFollowsTheWorstThatHappened) {
  const struct {
    RunFacts facts;
    int code;
  } rows[] = {
      {{false, 0, 0, false, false}, 0},  {{false, 3, 0, false, false}, 1},
      {{true, 0, 0, false, false}, 0},   {{true, 3, 0, false, false}, 1},
      {{true, 3, 1, false, false}, 4},   {{true, 3, 1, false, true}, 5},
      {{true, 3, 0, true, false}, 3},    {{true, 3, 0, true, true}, 3},
      {{false, 3, 0, false, true}, 5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(DecideExitCode(row.facts), row.code);
  }
}

TEST(CommandLineTest, ReportFieldsReadBackAsTheyWere) {
  Environment& env = CurrentEnvironment();  // Latin-1 outside Windows
  const std::string awkward[] = {"", "plain", "tab\there", "say \"hi\"", "cr\rlf\nx", "caf\xE9"};
  std::vector<ReportEntry> entries;
  for (const std::string& text : awkward) {
    entries.push_back({7, "HKEY_LOCAL_MACHINE", text, text, kRegSz, text, text, "found"});
  }
  const ReportSummary summary{9, 0, 0, "C:\\b\\backup - 1.reg", "", "", 1};
  const auto records = ReadTsv(FormatReport(env, entries, summary));
  ASSERT_EQ(records.size(), entries.size() + 2);
  EXPECT_EQ(records[0].size(), 9u);
  EXPECT_EQ(records[0][7], "Missing file");
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string utf8 = env.AnsiToUtf8(awkward[i]);
    EXPECT_EQ(records[i + 1], (std::vector<std::string>{"Old Fonts", "7", "HKEY_LOCAL_MACHINE",
                                                        utf8, utf8, "REG_SZ", utf8, utf8,
                                                        "found"}));
  }
  EXPECT_EQ(env.AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(records.back(),
            (std::vector<std::string>{"Summary", "found=9", "deleted=0", "not deleted=0",
                                      "backup=C:\\b\\backup - 1.reg", "exit code=1"}));
}

}  // namespace
}  // namespace kw::test
