#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cleaning/BackupReimport.h"
#include "cleaning/ResultsListActions.h"

namespace kw::test {
namespace {

// A list view: row texts and the selected rows.
class FakeList : public RowSelection {
 public:
  explicit FakeList(std::vector<std::string> rows) : m_rows(std::move(rows)) {}

  int RowCount() const override { return static_cast<int>(m_rows.size()); }
  int FirstSelected() const override { return m_selected.empty() ? -1 : *m_selected.begin(); }
  bool DeleteRow(int row) override {
    if (refuseDelete || row < 0 || row >= RowCount()) return false;
    m_rows.erase(m_rows.begin() + row);
    std::set<int> moved;
    for (int selected : m_selected) {
      if (selected != row) moved.insert(selected > row ? selected - 1 : selected);
    }
    m_selected = moved;
    return true;
  }

  void Select(std::set<int> rows) { m_selected = std::move(rows); }
  const std::vector<std::string>& rows() const { return m_rows; }
  bool refuseDelete = false;

 private:
  std::vector<std::string> m_rows;
  std::set<int> m_selected;
};

BackupRecord Record(const std::string& id, RecordKind kind = RecordKind::Restorable) {
  return BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"" + id + "\"=\"" + id + "\"", kind};
}

// A settled pass over `ids`: lower case is a listed string value, upper case
// a value of another type, which leaves a marker record between the rows.
ResultModel SettledModel(const std::string& ids) {
  ResultModel model;
  for (char c : ids) {
    const std::string id(1, c);
    const bool listed = c >= 'a' && c <= 'z';
    model.Append(ResultRow{"RunMRU", id, id, 0},
                 Record(id, listed ? RecordKind::Restorable : RecordKind::NotString));
  }
  model.SettlePass();
  return model;
}

std::vector<std::string> ListedIds(const ResultModel& model) {
  std::vector<std::string> ids;
  for (const ResultRow& row : model.rows()) ids.push_back(row.valueName);
  return ids;
}

std::string BackupIds(const ResultModel& model) {
  std::string ids;
  for (const BackupRecord& record : model.m_arrBackupRecords) {
    ids += record.text[record.text.find('\n') + 2];
  }
  return ids;
}

struct RemoveCase {
  const char* name;
  const char* found;        // the pass, as in SettledModel
  std::set<int> selected;   // rows of the list
  const char* rowsLeft;     // listed ids afterwards
  const char* backupsLeft;  // ids of m_arrBackupRecords afterwards
};

TEST(RemoveSelectedRowsTest, DropsExactlyTheSelectedRowsWithTheirRecords) {
  const RemoveCase cases[] = {
      {"several rows at once", "abcde", {1, 2, 4}, "ad", "ad"},
      {"the last row", "abc", {2}, "ab", "ab"},
      {"the first row", "abc", {0}, "bc", "bc"},
      {"every row", "abc", {0, 1, 2}, "", ""},
      // Marker records of non-string values have no row: the records that
      // go are the selected rows' own, and the markers stay.
      {"rows behind marker records", "aXbYc", {1, 2}, "a", "aXY"},
      {"marker in front", "XYab", {0}, "b", "XYb"},
  };
  for (const RemoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResultModel model = SettledModel(c.found);
    std::vector<std::string> rowTexts = ListedIds(model);
    FakeList list(rowTexts);
    list.Select(c.selected);

    EXPECT_EQ(RemoveSelectedRows(model, list), static_cast<int>(c.selected.size()));

    std::vector<std::string> expectedRows;
    for (const char* id = c.rowsLeft; *id; ++id) expectedRows.push_back(std::string(1, *id));
    EXPECT_EQ(list.rows(), expectedRows);
    EXPECT_EQ(ListedIds(model), expectedRows);
    EXPECT_EQ(model.m_nEntryCount, static_cast<int>(expectedRows.size()));
    EXPECT_EQ(BackupIds(model), c.backupsLeft);
    ASSERT_EQ(model.m_arrInfoRecords.size(), expectedRows.size());
    for (size_t row = 0; row < expectedRows.size(); ++row) {
      EXPECT_EQ(model.m_arrInfoRecords[row], Record(expectedRows[row]).text) << "row " << row;
    }
  }
}

TEST(RemoveSelectedRowsTest, NoSelectionChangesNothing) {
  ResultModel model = SettledModel("abc");
  FakeList list(ListedIds(model));
  EXPECT_EQ(RemoveSelectedRows(model, list), 0);
  EXPECT_EQ(model.m_nEntryCount, 3);
  EXPECT_EQ(list.rows().size(), 3u);
}

TEST(RemoveSelectedRowsTest, AListThatRefusesToDeleteDoesNotHangOrDropRecords) {
  ResultModel model = SettledModel("abc");
  FakeList list(ListedIds(model));
  list.Select({1});
  list.refuseDelete = true;
  EXPECT_EQ(RemoveSelectedRows(model, list), 0);
  EXPECT_EQ(BackupIds(model), "abc");
  EXPECT_EQ(model.m_nEntryCount, 3);
}

TEST(RemoveSelectedRowsTest, ListRowsBeyondTheModelAreDeletedWithoutTouchingItsRecords) {
  ResultModel model = SettledModel("ab");
  FakeList list({"a", "b", "stray"});
  list.Select({2});
  EXPECT_EQ(RemoveSelectedRows(model, list), 1);
  EXPECT_EQ(BackupIds(model), "ab");
  EXPECT_EQ(model.m_nEntryCount, 2);
}

const InfoLabels kLabels = {"Category", "Value", "Data / File"};

TEST(MoreInfoMessageTest, LabelsTheListTextTheKeyLineAndTheValueLine) {
  EXPECT_EQ(MoreInfoMessage(kLabels, "RunMRU",
                            "[HKEY_CURRENT_USER\\Software\\RunMRU]\n\"a\"=\"notepad\\\\1\""),
            "Category:\tRunMRU\n\n"
            "Value:\t[HKEY_CURRENT_USER\\Software\\RunMRU]\n\n"
            "Data / File:\t\"a\"=\"notepad\\\\1\"");
}

TEST(MoreInfoMessageTest, EveryLineFeedOfTheDetailsStartsALabelledParagraph) {
  struct Case {
    const char* name;
    InfoLabels labels;
    const char* record;
    const char* expected;
  };
  const Case cases[] = {
      {"no line feed", kLabels, "[K]", "Category:\tX\n\nValue:\t[K]"},
      {"continuation lines", kLabels, "[K]\n\"v\"=hex(1):41,\\\n  42",
       "Category:\tX\n\nValue:\t[K]\n\nData / File:\t\"v\"=hex(1):41,\\\n\nData / File:\t  42"},
      {"empty record", kLabels, "", "Category:\tX\n\nValue:\t"},
      {"line feed in the key label",
       {"C", "V\nW", "D"},
       "[K]\nv",
       "C:\tX\n\nV\n\nD:\tW:\t[K]\n\nD:\tv"},
      // Language texts are never formats: percent signs stay as written.
      {"percent signs", {"%s", "%d", "%n"}, "[%s]\n%x", "%s:\tX\n\n%d:\t[%s]\n\n%n:\t%x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MoreInfoMessage(c.labels, "X", c.record), c.expected);
  }
}

TEST(InfoRecordOfTest, FollowsTheRowsAfterARemovalAndIsEmptyOutsideThem) {
  ResultModel model = SettledModel("aXbc");
  FakeList list(ListedIds(model));
  list.Select({0});
  RemoveSelectedRows(model, list);
  EXPECT_EQ(InfoRecordOf(model, 0), Record("b").text);
  EXPECT_EQ(InfoRecordOf(model, 1), Record("c").text);
  EXPECT_EQ(InfoRecordOf(model, 2), "");
  EXPECT_EQ(InfoRecordOf(model, -1), "");
}

// Records what was started and answers with preset results.
class FakeLauncher : public ReimportLauncher {
 public:
  bool OpenWithShell(const std::string& file) override {
    calls.push_back("open " + file);
    return shellWorks;
  }
  bool Run(const std::string& program, const std::string& parameters) override {
    calls.push_back("run " + program + " " + parameters);
    return runWorks;
  }
  bool shellWorks = false;
  bool runWorks = false;
  std::vector<std::string> calls;
};

TEST(HandBackupToSystemTest, FallsBackToTheRegistryEditorAndReportsWhenNothingTakesTheFile) {
  struct Case {
    const char* name;
    bool shellWorks, runWorks;
    ReimportRoute route;
    std::vector<std::string> calls;
  };
  const std::string file = "C:\\Program Files\\Kelpwise\\backup\\backup - 1.reg";
  const Case cases[] = {
      {"association present", true, false, ReimportRoute::Shell, {"open " + file}},
      {"no association",
       false,
       true,
       ReimportRoute::RegistryEditor,
       {"open " + file, "run C:\\windows\\regedit.exe \"" + file + "\""}},
      {"no registry editor either",
       false,
       false,
       ReimportRoute::Failed,
       {"open " + file, "run C:\\windows\\regedit.exe \"" + file + "\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLauncher launcher;
    launcher.shellWorks = c.shellWorks;
    launcher.runWorks = c.runWorks;
    EXPECT_EQ(HandBackupToSystem(file, "C:\\windows", launcher), c.route);
    EXPECT_EQ(launcher.calls, c.calls);
  }
}

TEST(HandBackupToSystemTest, RegistryEditorPathFromAnyWindowsFolder) {
  EXPECT_EQ(RegistryEditorPath("C:\\windows"), "C:\\windows\\regedit.exe");
  EXPECT_EQ(RegistryEditorPath("C:\\"), "C:\\regedit.exe");
  EXPECT_EQ(RegistryEditorPath(""), "regedit.exe");
}

}  // namespace
}  // namespace kw::test
