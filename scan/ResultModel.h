// What a search pass leaves behind: the rows of the results list and the
// records that belong to them.
//
// During a pass every row is appended together with its record, so row k
// and m_arrBackupRecords[k] belong together. SettlePass ends the pass: the
// rows of non-string values go, m_arrBackupRecords keeps every record, and
// m_arrInfoRecords holds the record texts of the remaining rows in row
// order. From then on the record of row k is the (k+1)-th record of
// m_arrBackupRecords whose kind is not NotString. Sorting keeps that rule:
// a settled model reorders its rows, their info records and their backup
// records together, and the list view shows the rows in the model's order,
// so that row k of the list is always row k of the model.
#pragma once

#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"

namespace kw {

struct ResultRow {
  std::string category;           // column 0
  std::string valueName;          // column 1
  std::string shown;              // column 2, possibly shortened
  int image = 0;                  // image index: the category's icon
  uint32_t valueType = kRegNone;  // the value's registry type
  std::string missingPath{};      // file references: the missing file, never shortened
};

class ResultModel {
 public:
  int m_nEntryCount = 0;  // number of rows
  std::vector<BackupRecord> m_arrBackupRecords;
  std::vector<std::string> m_arrInfoRecords;

  const std::vector<ResultRow>& rows() const { return m_rows; }
  bool settled() const { return m_settled; }

  // Empties everything; a new pass may begin.
  void Clear();

  // Appends a row and its record; returns the row's index. Rows belong to a
  // pass: once it is settled, a NotString record is refused (-1).
  int Append(ResultRow row, BackupRecord record);

  // Ends the pass: removes the rows whose record is NotString and builds
  // m_arrInfoRecords. Returns the indexes of the removed rows in the order
  // of removal, each as it was at that moment, so that a list view deleting
  // the same indexes one by one ends up with the same rows.
  std::vector<int> SettlePass();

  // Removes a row with its info record and its backup record. False (and
  // nothing changed) for an index that is not a row.
  bool RemoveRow(int row);

  // Index into m_arrBackupRecords of the record of `row`, or -1.
  int BackupIndexOf(int row) const;

  // Sorts a settled model by the text of `column` (0 to 2), not case-sensitive
  // and stable: ascending, or the other way when it is sorted by that column
  // already. Rows, info records and backup records move together; records
  // without a row keep their places. Returns the rows' former indexes in
  // their new order (element k: where row k was), or nothing when the model
  // is not settled or the column is no column.
  std::vector<int> SortByColumn(int column);
  // The column the rows are sorted by, or -1 for the search order.
  int sortColumn() const { return m_sortColumn; }
  bool sortAscending() const { return m_sortAscending; }

 private:
  std::vector<ResultRow> m_rows;
  bool m_settled = false;
  int m_sortColumn = -1;
  bool m_sortAscending = true;
};

}  // namespace kw
