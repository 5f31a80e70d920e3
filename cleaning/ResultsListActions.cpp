#include "cleaning/ResultsListActions.h"

namespace kw {

int RemoveSelectedRows(ResultModel& model, RowSelection& list) {
  int removed = 0;
  // Each pass deletes one row, so there are never more passes than rows.
  for (int rowsLeft = list.RowCount(); rowsLeft > 0; --rowsLeft) {
    const int row = list.FirstSelected();
    if (row < 0) break;
    if (!list.DeleteRow(row)) break;
    // A row the model does not know has no records to drop.
    model.RemoveRow(row);
    ++removed;
  }
  return removed;
}

std::string MoreInfoMessage(const InfoLabels& labels, const std::string& listText,
                            const std::string& infoRecord) {
  std::string message = labels.category + ":\t" + listText + "\n\n";
  const std::string details = labels.key + ":\t" + infoRecord;
  const std::string lineStart = "\n\n" + labels.value + ":\t";
  for (char c : details) {
    if (c == '\n') {
      message += lineStart;
    } else {
      message += c;
    }
  }
  return message;
}

std::string InfoRecordOf(const ResultModel& model, int row) {
  if (row < 0 || static_cast<size_t>(row) >= model.m_arrInfoRecords.size()) return "";
  return model.m_arrInfoRecords[static_cast<size_t>(row)];
}

}  // namespace kw
