#include "scan/ResultModel.h"

#include <utility>

namespace kw {

void ResultModel::Clear() {
  m_rows.clear();
  m_arrBackupRecords.clear();
  m_arrInfoRecords.clear();
  m_nEntryCount = 0;
  m_settled = false;
}

int ResultModel::Append(ResultRow row, BackupRecord record) {
  if (m_settled) {
    // After the pass a non-string value is no longer listed.
    if (record.kind == RecordKind::NotString) return -1;
    m_arrInfoRecords.push_back(record.text);
  }
  m_rows.push_back(std::move(row));
  m_arrBackupRecords.push_back(std::move(record));
  m_nEntryCount = static_cast<int>(m_rows.size());
  return m_nEntryCount - 1;
}

std::vector<int> ResultModel::SettlePass() {
  std::vector<int> removed;
  if (!m_settled) {
    // Unsettled, row k belongs to record k.
    size_t row = 0;
    for (size_t record = 0; record < m_arrBackupRecords.size() && row < m_rows.size(); ++record) {
      if (m_arrBackupRecords[record].kind == RecordKind::NotString) {
        removed.push_back(static_cast<int>(row));
        m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
      } else {
        ++row;
      }
    }
  }
  m_arrInfoRecords.clear();
  for (const BackupRecord& record : m_arrBackupRecords) {
    if (record.kind != RecordKind::NotString) m_arrInfoRecords.push_back(record.text);
  }
  m_nEntryCount = static_cast<int>(m_rows.size());
  m_settled = true;
  return removed;
}

int ResultModel::BackupIndexOf(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= m_rows.size()) return -1;
  if (!m_settled) return row;
  int listed = 0;
  for (size_t i = 0; i < m_arrBackupRecords.size(); ++i) {
    if (m_arrBackupRecords[i].kind == RecordKind::NotString) continue;
    if (listed == row) return static_cast<int>(i);
    ++listed;
  }
  return -1;
}

bool ResultModel::RemoveRow(int row) {
  const int backup = BackupIndexOf(row);
  if (backup < 0) return false;
  m_rows.erase(m_rows.begin() + row);
  if (m_settled && static_cast<size_t>(row) < m_arrInfoRecords.size()) {
    m_arrInfoRecords.erase(m_arrInfoRecords.begin() + row);
  }
  m_arrBackupRecords.erase(m_arrBackupRecords.begin() + backup);
  m_nEntryCount = static_cast<int>(m_rows.size());
  return true;
}

}  // namespace kw
