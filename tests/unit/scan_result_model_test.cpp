// The results list: the model's rows and records through a pass and its
// settling, and the actions on the rows.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "cleaning/BackupReimport.h"
#include "cleaning/ResultsListActions.h"
#include "scan/ResultModel.h"

namespace kw::test {
namespace {

// One row per letter: a lower-case letter is a listed string value, an
// upper-case one a value of another type.
BackupRecord LetterRecord(char id) {
  return BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"" + std::string(1, id) + "\"=\"x\"",
                      std::islower(id) ? RecordKind::Restorable : RecordKind::NotString};
}

ResultModel ModelOf(const std::string& ids, bool settle) {
  ResultModel model;
  for (const char id : ids) model.Append(ResultRow{"RunMRU", {id}, {id}, 0}, LetterRecord(id));
  if (settle) model.SettlePass();
  return model;
}

// The rows' letters, "|", the backup records' letters; a failure when a row
// does not have its own info record and backup record.
std::string Letters(const ResultModel& model) {
  std::string letters;
  for (const ResultRow& row : model.rows()) letters += row.valueName;
  letters += '|';
  for (const BackupRecord& record : model.m_arrBackupRecords) letters += record.text[23];
  EXPECT_EQ(size_t(model.m_nEntryCount), model.rows().size());
  for (int k = 0; k < model.m_nEntryCount; ++k) {
    const std::string own = LetterRecord(model.rows()[size_t(k)].valueName[0]).text;
    const int backup = model.BackupIndexOf(k);
    EXPECT_EQ(InfoRecordOf(model, k), own) << "row " << k;
    EXPECT_EQ(backup < 0 ? "" : model.m_arrBackupRecords[size_t(backup)].text, own) << "row " << k;
  }
  EXPECT_EQ(InfoRecordOf(model, model.m_nEntryCount), "");
  return letters;
}

// Settling drops the rows of non-string values but keeps their records.
TEST(ScanResultModelTest, RowsRemovedOrAddedAroundTheSettleStayAligned) {
  ResultModel model = ModelOf("aBcDE", false);
  EXPECT_EQ(model.SettlePass(), (std::vector<int>{1, 2, 2}));  // as the list view must delete them
  EXPECT_EQ("ac|aBcDE", Letters(model));
  model = ModelOf("aBc", false);
  EXPECT_TRUE(model.RemoveRow(1));  // during the pass: the row's own record goes
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_FALSE(model.RemoveRow(2));
  EXPECT_EQ(-1, model.Append(ResultRow{"RunMRU", "D", "D", 0}, LetterRecord('D')));
  EXPECT_EQ(2, model.Append(ResultRow{"RunMRU", "e", "e", 0}, LetterRecord('e')));
  EXPECT_EQ("ace|ace", Letters(model));
  // The marker is a record kind, not a text: string data reading "No REG_SZ" stays.
  model.Clear();
  model.Append(ResultRow{"RunMRU", "a", "No REG_SZ", 0},
               BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"a\"=\"No REG_SZ\"", RecordKind::Restorable});
  EXPECT_TRUE(model.SettlePass().empty());
}

// A list view: one letter per row, and the selected rows.
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

  std::string rows;
  std::set<int> selected;
  bool refuseDelete = false;
};

TEST(RemoveSelectedRowsTest, DropsExactlyTheSelectedRowsWithTheirRecords) {
  const struct {
    const char* found;  // a settled pass
    std::set<int> selected;
    bool refuse;
    const char* listLeft;   // the list has one more row, '*', that the model does not know
    const char* modelLeft;  // see Letters
  } rows[] = {
      {"abcde", {1, 2, 4}, false, "ad*", "ad|ad"},
      {"abc", {0, 1, 2}, false, "*", "|"},
      // Marker records of non-string values have no row and stay.
      {"aXbYc", {1, 2}, false, "a*", "a|aXY"},
      {"AbCdeFg", {3}, false, "bde*", "bde|AbCdeF"},
      {"abc", {1}, true, "abc*", "abc|abc"},  // a list that refuses must not hang
      {"ab", {2}, false, "ab", "ab|ab"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.found) + " -> " + row.listLeft);
    ResultModel model = ModelOf(row.found, true);
    FakeList list;
    for (const ResultRow& listed : model.rows()) list.rows += listed.valueName;
    list.rows += '*';
    list.selected = row.selected;
    list.refuseDelete = row.refuse;
    EXPECT_EQ(RemoveSelectedRows(model, list), row.refuse ? 0 : int(row.selected.size()));
    EXPECT_EQ(list.rows, row.listLeft);
    EXPECT_EQ(Letters(model), row.modelLeft);
  }
}

// Records what was started and answers with preset results.
struct FakeLauncher : ReimportLauncher {
  FakeLauncher(bool shell, bool run) : shellWorks(shell), runWorks(run) {}
  bool OpenWithShell(const std::string& file) override { return Log("open " + file, shellWorks); }
  bool Run(const std::string& program, const std::string& parameters) override {
    return Log("run " + program + " " + parameters, runWorks);
  }
  bool Log(const std::string& call, bool result) {
    calls += call + ";";
    return result;
  }
  bool shellWorks, runWorks;
  std::string calls;
};

TEST(HandBackupToSystemTest, FallsBackToTheRegistryEditorAndReportsWhenNothingTakesTheFile) {
  const std::string file = "C:\\b 1.reg", open = "open C:\\b 1.reg;";
  const std::string run = "run C:\\windows\\regedit.exe \"C:\\b 1.reg\";";
  FakeLauncher shell(true, false), editor(false, true), nothing(false, false);
  EXPECT_EQ(HandBackupToSystem(file, "C:\\windows", shell), ReimportRoute::Shell);
  EXPECT_EQ(HandBackupToSystem(file, "C:\\windows", editor), ReimportRoute::RegistryEditor);
  EXPECT_EQ(HandBackupToSystem(file, "C:\\windows", nothing), ReimportRoute::Failed);
  EXPECT_EQ(shell.calls, open);
  EXPECT_EQ(editor.calls, open + run);
  EXPECT_EQ(nothing.calls, open + run);
}

}  // namespace
}  // namespace kw::test
