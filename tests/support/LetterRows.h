// Results lists written as letters, for the tests of the results list's
// model and of the actions on its rows.
#pragma once

#include <cctype>
#include <string>

#include "scan/ResultModel.h"

namespace kw::test {

// One row per letter: a lower-case letter is a listed string value, an
// upper-case one a value of another type.
inline BackupRecord LetterRecord(char id) {
  return BackupRecord{"[HKEY_CURRENT_USER\\K]\n\"" + std::string(1, id) + "\"=\"x\"",
                      std::islower(id) ? RecordKind::Restorable : RecordKind::NotString};
}

inline ResultModel ModelOf(const std::string& ids, bool settle) {
  ResultModel model;
  for (const char id : ids) model.Append(ResultRow{"RunMRU", {id}, {id}, 0}, LetterRecord(id));
  if (settle) model.SettlePass();
  return model;
}

// The rows' letters, "|", the backup records' letters.
inline std::string Letters(const ResultModel& model) {
  std::string letters;
  for (const ResultRow& row : model.rows()) letters += row.valueName;
  letters += '|';
  for (const BackupRecord& record : model.m_arrBackupRecords) letters += record.text[23];
  return letters;
}

}  // namespace kw::test
