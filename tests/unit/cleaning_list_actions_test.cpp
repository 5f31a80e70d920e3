#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cleaning/BackupReimport.h"
#include "cleaning/ResultsListActions.h"
#include "tests/unit/result_model_letters.h"

namespace kw::test {
namespace {

// A list view: row texts and the selected rows.
class FakeList : public RowSelection {
 public:
  int RowCount() const override { return static_cast<int>(rows.size()); }
  int FirstSelected() const override { return selected.empty() ? -1 : *selected.begin(); }
  bool DeleteRow(int row) override {
    if (refuseDelete || row < 0 || row >= RowCount()) return false;
    rows.erase(rows.begin() + row);
    std::set<int> moved;
    for (int s : selected) {
      if (s != row) moved.insert(s > row ? s - 1 : s);
    }
    selected = moved;
    return true;
  }

  std::string rows;  // one letter per row
  std::set<int> selected;
  bool refuseDelete = false;
};

TEST(RemoveSelectedRowsTest, DropsExactlyTheSelectedRowsWithTheirRecords) {
  const struct {
    const char* found;  // a settled pass, see AppendLetters
    std::set<int> selected;
    bool refuse;
    const char* listLeft;   // the list has one more row, '*', that the model does not know
    const char* modelLeft;  // see Letters
  } rows[] = {
      {"abcde", {1, 2, 4}, false, "ad*", "ad|ad"},
      {"abc", {0}, false, "bc*", "bc|bc"},
      {"abc", {0, 1, 2}, false, "*", "|"},
      // Marker records of non-string values have no row and stay.
      {"aXbYc", {1, 2}, false, "a*", "a|aXY"},
      {"XYab", {0}, false, "b*", "b|XYb"},
      {"abc", {}, false, "abc*", "abc|abc"},
      {"abc", {1}, true, "abc*", "abc|abc"},  // a list that refuses must not hang
      {"ab", {2}, false, "ab", "ab|ab"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.found) + " -> " + row.listLeft);
    ResultModel model;
    AppendLetters(model, row.found);
    model.SettlePass();
    FakeList list;
    for (const ResultRow& listed : model.rows()) list.rows += listed.valueName;
    list.rows += '*';
    list.selected = row.selected;
    list.refuseDelete = row.refuse;
    EXPECT_EQ(RemoveSelectedRows(model, list), row.refuse ? 0 : int(row.selected.size()));
    EXPECT_EQ(list.rows, row.listLeft);
    EXPECT_EQ(Letters(model), row.modelLeft);
    EXPECT_TRUE(Aligned(model));
    EXPECT_EQ(InfoRecordOf(model, model.m_nEntryCount), "");
    EXPECT_EQ(InfoRecordOf(model, -1), "");
  }
}

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
class FakeLauncher : public ReimportLauncher {
 public:
  bool OpenWithShell(const std::string& file) override {
    calls += "open " + file + ";";
    return shellWorks;
  }
  bool Run(const std::string& program, const std::string& parameters) override {
    calls += "run " + program + " " + parameters + ";";
    return runWorks;
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
