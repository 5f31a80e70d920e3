#include "scan/ResultModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace kw {

namespace {

const std::string& ColumnText(const ResultRow& row, int column) {
  return column == 0 ? row.category : column == 1 ? row.valueName : row.shown;
}

// Byte order of the ANSI texts with the ASCII letters folded to lower case.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto fold = [](char c) {
      const unsigned char u = static_cast<unsigned char>(c);
      return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
    };
    return fold(x) < fold(y);
  });
}

template <class T>
void Reorder(std::vector<T>& items, const std::vector<size_t>& places,
             const std::vector<int>& order) {
  std::vector<T> moved;
  moved.reserve(order.size());
  for (int from : order) moved.push_back(std::move(items[places[static_cast<size_t>(from)]]));
  for (size_t to = 0; to < order.size(); ++to) items[places[to]] = std::move(moved[to]);
}

}  // namespace

void ResultModel::Clear() {
  m_rows.clear();
  m_arrBackupRecords.clear();
  m_arrInfoRecords.clear();
  m_nEntryCount = 0;
  m_settled = false;
  m_sortColumn = -1;
  m_sortAscending = true;
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

std::vector<int> ResultModel::SortByColumn(int column) {
  if (!m_settled || column < 0 || column > 2) return {};
  const bool ascending = !(column == m_sortColumn && m_sortAscending);
  std::vector<int> order(m_rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const std::string& textA = ColumnText(m_rows[static_cast<size_t>(a)], column);
    const std::string& textB = ColumnText(m_rows[static_cast<size_t>(b)], column);
    return ascending ? LessIgnoringCase(textA, textB) : LessIgnoringCase(textB, textA);
  });
  // Settled, the listed records are exactly one per row, in row order.
  std::vector<size_t> rowPlaces(m_rows.size()), recordPlaces;
  std::iota(rowPlaces.begin(), rowPlaces.end(), 0);
  for (size_t i = 0; i < m_arrBackupRecords.size(); ++i) {
    if (m_arrBackupRecords[i].kind != RecordKind::NotString) recordPlaces.push_back(i);
  }
  if (recordPlaces.size() != m_rows.size() || m_arrInfoRecords.size() != m_rows.size()) return {};
  Reorder(m_rows, rowPlaces, order);
  Reorder(m_arrInfoRecords, rowPlaces, order);
  Reorder(m_arrBackupRecords, recordPlaces, order);
  m_sortColumn = column;
  m_sortAscending = ascending;
  return order;
}

}  // namespace kw
