#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/ResultModel.h"
#include "tests/unit/result_model_letters.h"

namespace kw::test {
namespace {

TEST(ScanResultModelTest, SettleDropsNonStringRowsButKeepsTheirRecords) {
  const struct {
    const char* ids;
    std::vector<int> removed;  // as the list view must delete them
  } rows[] = {
      {"abcD", {3}},        {"aBcd", {1}},  {"ABab", {0, 0}},
      {"aBCdE", {1, 1, 2}}, {"AB", {0, 0}}, {"", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ids);
    ResultModel model;
    AppendLetters(model, row.ids);
    EXPECT_EQ(row.removed, model.SettlePass());
    std::string listed;
    for (const char c : std::string(row.ids)) listed += islower(c) ? std::string(1, c) : "";
    EXPECT_EQ(listed + "|" + row.ids, Letters(model));
    EXPECT_TRUE(Aligned(model));
  }
}

TEST(ScanResultModelTest, RemovingRowsKeepsRowsAndRecordsTogether) {
  const struct {
    std::vector<int> removals;
    const char* left;
  } rows[] = {
      {{0}, "deg|ACdeFg"},  // after a marker record
      {{3}, "bde|AbCdeF"},    {{1}, "beg|AbCeFg"},   {{2, 0, 1}, "d|ACdF"},
      {{0, 0, 0, 0}, "|ACF"}, {{4}, "bdeg|AbCdeFg"}, {{-1}, "bdeg|AbCdeFg"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.left);
    ResultModel model;
    AppendLetters(model, "AbCdeFg");
    model.SettlePass();
    for (const int index : row.removals) {
      const bool isRow = index >= 0 && index < model.m_nEntryCount;
      EXPECT_EQ(isRow, model.RemoveRow(index));
      EXPECT_TRUE(Aligned(model));
    }
    EXPECT_EQ(row.left, Letters(model));
  }
}

TEST(ScanResultModelTest, RowsRemovedOrAddedAroundTheSettleStayAligned) {
  ResultModel model;
  AppendLetters(model, "aBc");
  model.RemoveRow(1);  // during the pass: the row's own record goes
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_EQ("ac|ac", Letters(model));
  EXPECT_EQ(-1, model.Append(ResultRow{"RunMRU", "D", "D", 0}, LetterRecord('D')));
  AppendLetters(model, "e");
  EXPECT_EQ("ace|ace", Letters(model));
  EXPECT_TRUE(Aligned(model));

  model.Clear();
  AppendLetters(model, "F");
  EXPECT_EQ(std::vector<int>{0}, model.SettlePass()) << "Clear starts a fresh pass";
}

// The marker is a record kind, not a text: a string value whose data reads
// "No REG_SZ" is a real entry.
TEST(ScanResultModelTest, StringDataThatLooksLikeTheMarkerStays) {
  ResultModel model;
  model.Append(ResultRow{"RunMRU", "a", "No REG_SZ", 0},
               BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"a\"=\"No REG_SZ\"", RecordKind::Restorable});
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_EQ(1, model.m_nEntryCount);
}

}  // namespace
}  // namespace kw::test
