// Result models spelled in letters, one row per letter: a lower-case letter
// is a listed string value, an upper-case one a value of another type.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "scan/ResultModel.h"

namespace kw::test {

inline BackupRecord LetterRecord(char id) {
  const bool listed = std::islower(static_cast<unsigned char>(id)) != 0;
  return BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"" + std::string(1, id) + "\"=\"x\"",
                      listed ? RecordKind::Restorable : RecordKind::NotString};
}

inline void AppendLetters(ResultModel& model, const std::string& ids) {
  for (const char id : ids) {
    model.Append(ResultRow{"RunMRU", std::string(1, id), std::string(1, id), 0}, LetterRecord(id));
  }
}

// The rows' letters, "|", the backup records' letters.
inline std::string Letters(const ResultModel& model) {
  std::string letters;
  for (const ResultRow& row : model.rows()) letters += row.valueName;
  letters += '|';
  for (const BackupRecord& record : model.m_arrBackupRecords) letters += record.text[23];
  return letters;
}

// Every row has its own info record and finds its own backup record.
inline ::testing::AssertionResult Aligned(const ResultModel& model) {
  const size_t rows = model.rows().size();
  if (static_cast<size_t>(model.m_nEntryCount) != rows || model.m_arrInfoRecords.size() != rows) {
    return ::testing::AssertionFailure() << model.m_nEntryCount << " entries, " << rows << " rows, "
                                         << model.m_arrInfoRecords.size() << " infos";
  }
  for (size_t k = 0; k < rows; ++k) {
    const std::string own = LetterRecord(model.rows()[k].valueName[0]).text;
    const int backup = model.BackupIndexOf(static_cast<int>(k));
    if (model.m_arrInfoRecords[k] != own || backup < 0 ||
        model.m_arrBackupRecords[static_cast<size_t>(backup)].text != own) {
      return ::testing::AssertionFailure() << "row " << k << " has another entry's record";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
