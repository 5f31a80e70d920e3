#include "app/ListCopy.h"

#include "app/CommandReport.h"

namespace kw {

std::string CopiedRowsText(const ResultModel& model, const std::vector<int>& rows) {
  std::string text = JoinReportFields(ReportHeader());
  for (const int row : rows) {
    const int record = model.BackupIndexOf(row);
    if (record < 0) continue;
    // The record's key line names the key the value was found in.
    RecordTarget target;
    ReadRecordTarget(model.m_arrBackupRecords[static_cast<size_t>(record)].text, &target);
    const ResultRow& found = model.rows()[static_cast<size_t>(row)];
    text += JoinReportFields(
        ReportEntryFields({found.image, target.rootName, target.keyPath, found.valueName,
                           found.valueType, found.shown, found.missingPath, "found", ""}));
  }
  return text;
}

}  // namespace kw
