#include <gtest/gtest.h>

#include <string>

#include "cleaning/BackupReimport.h"
#include "cleaning/ResultsListActions.h"

namespace kw::test {
namespace {

TEST(MoreInfoMessageTest, EveryLineFeedOfTheDetailsStartsALabelledParagraph) {
  const InfoLabels labels = {"Category", "Value", "Data / File"};
  const struct {
    InfoLabels labels;
    const char* record;
    const char* expected;
  } rows[] = {
      {labels, "[HKEY_CURRENT_USER\\R]\n\"a\"=\"x\"",
       "Category:\tX\n\nValue:\t[HKEY_CURRENT_USER\\R]\n\nData / File:\t\"a\"=\"x\""},
      {labels, "[K]\n\"v\"=hex(1):41,\\\n  42",
       "Category:\tX\n\nValue:\t[K]\n\nData / File:\t\"v\"=hex(1):41,\\\n\nData / File:\t  42"},
      {labels, "", "Category:\tX\n\nValue:\t"},
      {{"C", "V\nW", "D"}, "[K]\nv", "C:\tX\n\nV\n\nD:\tW:\t[K]\n\nD:\tv"},
      // Language texts are never formats: percent signs stay as written.
      {{"%s", "%d", "%n"}, "[%s]\n%x", "%s:\tX\n\n%d:\t[%s]\n\n%n:\t%x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(MoreInfoMessage(row.labels, "X", row.record), row.expected);
  }
}

// Records what was started and answers with preset results.
struct FakeLauncher : ReimportLauncher {
  bool OpenWithShell(const std::string& file) override { return Log("open " + file, shellWorks); }
  bool Run(const std::string& program, const std::string& parameters) override {
    return Log("run " + program + " " + parameters, runWorks);
  }
  bool Log(const std::string& call, bool result) {
    calls += call + ";";
    return result;
  }
  bool shellWorks = false, runWorks = false;
  std::string calls;
};

TEST(HandBackupToSystemTest, FallsBackToTheRegistryEditorAndReportsWhenNothingTakesTheFile) {
  const std::string open = "open C:\\b 1.reg;";
  const std::string run = "run C:\\windows\\regedit.exe \"C:\\b 1.reg\";";
  const struct {
    bool shellWorks, runWorks;
    ReimportRoute route;
    std::string calls;
  } rows[] = {
      {true, false, ReimportRoute::Shell, open},
      {false, true, ReimportRoute::RegistryEditor, open + run},
      {false, false, ReimportRoute::Failed, open + run},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.calls);
    FakeLauncher launcher;
    launcher.shellWorks = row.shellWorks;
    launcher.runWorks = row.runWorks;
    EXPECT_EQ(HandBackupToSystem("C:\\b 1.reg", "C:\\windows", launcher), row.route);
    EXPECT_EQ(launcher.calls, row.calls);
  }
}

}  // namespace
}  // namespace kw::test
