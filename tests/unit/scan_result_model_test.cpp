#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "scan/ResultModel.h"

namespace kw::test {
namespace {

BackupRecord Record(const std::string& id, RecordKind kind = RecordKind::Restorable) {
  return BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"" + id + "\"=\"" + id + "\"", kind};
}

ResultRow Row(const std::string& id) { return ResultRow{"RunMRU", id, id, 0}; }

// Appends one row per letter: lower case is a string value, upper case a
// value of another type.
void Fill(ResultModel& model, const std::string& ids) {
  for (const char c : ids) {
    const std::string id(1, c);
    model.Append(Row(id),
                 Record(id, isupper(static_cast<unsigned char>(c)) ? RecordKind::NotString
                                                                   : RecordKind::Restorable));
  }
}

// The row ids, in order.
std::string RowIds(const ResultModel& model) {
  std::string ids;
  for (const ResultRow& row : model.rows()) ids += row.valueName;
  return ids;
}

::testing::AssertionResult Aligned(const ResultModel& model) {
  const size_t rows = model.rows().size();
  if (static_cast<size_t>(model.m_nEntryCount) != rows) {
    return ::testing::AssertionFailure() << "count " << model.m_nEntryCount << ", rows " << rows;
  }
  if (model.m_arrInfoRecords.size() != rows) {
    return ::testing::AssertionFailure()
           << model.m_arrInfoRecords.size() << " info records, " << rows << " rows";
  }
  std::vector<std::string> listed;
  for (const BackupRecord& record : model.m_arrBackupRecords) {
    if (record.kind != RecordKind::NotString) listed.push_back(record.text);
  }
  if (listed != model.m_arrInfoRecords) {
    return ::testing::AssertionFailure() << "listed backup records differ from info records";
  }
  for (size_t k = 0; k < rows; ++k) {
    if (model.m_arrInfoRecords[k] != Record(model.rows()[k].valueName).text) {
      return ::testing::AssertionFailure() << "row " << k << " has another entry's record";
    }
    if (model.m_arrBackupRecords[static_cast<size_t>(model.BackupIndexOf(static_cast<int>(k)))]
            .text != model.m_arrInfoRecords[k]) {
      return ::testing::AssertionFailure() << "BackupIndexOf(" << k << ") is wrong";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(ScanResultModelTest, SettleDropsNonStringRowsButKeepsTheirRecords) {
  struct Case {
    const char* ids;
    std::vector<int> removed;  // as the list view must delete them
    const char* left;
  };
  const std::vector<Case> cases = {
      {"abcD", {3}, "abc"},       {"aBcd", {1}, "acd"}, {"ABab", {0, 0}, "ab"},
      {"aBCdE", {1, 1, 2}, "ad"}, {"AB", {0, 0}, ""},   {"", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ids);
    ResultModel model;
    Fill(model, c.ids);
    EXPECT_EQ(c.removed, model.SettlePass());
    EXPECT_EQ(c.left, RowIds(model));
    EXPECT_EQ(std::string(c.ids).size(), model.m_arrBackupRecords.size());
    EXPECT_TRUE(Aligned(model));
  }
}

// The marker is a record kind, not a text: a string value whose data reads
// "No REG_SZ" is a real entry.
TEST(ScanResultModelTest, StringDataThatLooksLikeTheMarkerStays) {
  ResultModel model;
  model.Append(ResultRow{"RunMRU", "a", "No REG_SZ", 0},
               BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"a\"=\"No REG_SZ\"", RecordKind::Restorable});
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_EQ(1, model.m_nEntryCount);
  EXPECT_EQ(1u, model.m_arrInfoRecords.size());
}

TEST(ScanResultModelTest, RemovingRowsKeepsRowsAndRecordsTogether) {
  struct Case {
    const char* what;
    std::vector<int> removals;
    const char* left;
    size_t backupRecordsLeft;
  };
  // Settled from "AbCdeFg": rows b d e g, markers A C F between them.
  const std::vector<Case> cases = {
      {"first row, after a marker", {0}, "deg", 6},
      {"last row", {3}, "bde", 6},
      {"middle row", {1}, "beg", 6},
      {"several rows", {2, 0, 1}, "d", 4},
      {"every row", {0, 0, 0, 0}, "", 3},
      {"index past the end", {4}, "bdeg", 7},
      {"negative index", {-1}, "bdeg", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResultModel model;
    Fill(model, "AbCdeFg");
    model.SettlePass();
    for (const int row : c.removals) {
      const bool inRange = row >= 0 && row < model.m_nEntryCount;
      EXPECT_EQ(inRange, model.RemoveRow(row));
      EXPECT_TRUE(Aligned(model));
    }
    EXPECT_EQ(c.left, RowIds(model));
    EXPECT_EQ(c.backupRecordsLeft, model.m_arrBackupRecords.size());
  }
}

TEST(ScanResultModelTest, RemovingFirstRowTakesFirstListedRecordNotElementZero) {
  ResultModel model;
  Fill(model, "Abc");
  model.SettlePass();
  model.RemoveRow(0);
  ASSERT_EQ(2u, model.m_arrBackupRecords.size());
  EXPECT_EQ(Record("A").text, model.m_arrBackupRecords[0].text);
  EXPECT_EQ(Record("c").text, model.m_arrBackupRecords[1].text);
}

TEST(ScanResultModelTest, RemovingDuringThePassTakesTheRowsOwnRecord) {
  ResultModel model;
  Fill(model, "aBc");
  model.RemoveRow(1);
  EXPECT_EQ("ac", RowIds(model));
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_TRUE(Aligned(model));
  EXPECT_EQ(2u, model.m_arrBackupRecords.size());
}

TEST(ScanResultModelTest, ClearStartsAFreshPass) {
  ResultModel model;
  Fill(model, "aB");
  model.SettlePass();
  model.Clear();
  EXPECT_EQ(0, model.m_nEntryCount);
  EXPECT_TRUE(model.rows().empty());
  EXPECT_TRUE(model.m_arrBackupRecords.empty());
  EXPECT_TRUE(model.m_arrInfoRecords.empty());
  Fill(model, "C");
  EXPECT_EQ(std::vector<int>{0}, model.SettlePass());
}

TEST(ScanResultModelTest, AppendAfterSettleKeepsAlignment) {
  ResultModel model;
  Fill(model, "aB");
  model.SettlePass();
  EXPECT_EQ(-1, model.Append(Row("C"), Record("C", RecordKind::NotString)));
  EXPECT_EQ(1, model.Append(Row("d"), Record("d")));
  EXPECT_EQ("ad", RowIds(model));
  EXPECT_TRUE(Aligned(model));
}

}  // namespace
}  // namespace kw::test
