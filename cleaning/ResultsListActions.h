// What the results list's two buttons do, apart from the window: taking the
// selected rows out of the pending deletion, and the text of the details
// box of one row.
#pragma once

#include <string>

#include "scan/ResultModel.h"

namespace kw {

// The rows of the list view as Remove From List sees them.
class RowSelection {
 public:
  virtual ~RowSelection() = default;
  virtual int RowCount() const = 0;
  // The lowest selected row, or -1 when none is selected.
  virtual int FirstSelected() const = 0;
  // False when the row could not be deleted.
  virtual bool DeleteRow(int row) = 0;
};

// Removes the selected rows one by one, always the lowest selected one,
// from the list and from `model` (its row, info record and backup record).
// Returns the number of rows removed from the list. A list that refuses to
// delete a row ends the loop instead of spinning on it.
int RemoveSelectedRows(ResultModel& model, RowSelection& list);

// The labels of the details box: the texts of the list's three columns.
struct InfoLabels {
  std::string category;  // before the row's list text
  std::string key;       // before the record's key line
  std::string value;     // before every further line of the record
};

// The details of one row:
//   <category>:\t<list text>\n\n<key>:\t<key line>\n\n<value>:\t<value line>
// Every line feed of the record (and of the key label) starts a new
// labelled paragraph. The texts are joined, never used as a format.
std::string MoreInfoMessage(const InfoLabels& labels, const std::string& listText,
                            const std::string& infoRecord);

// The info record of `row`, or "" when the list shows a row the model does
// not have.
std::string InfoRecordOf(const ResultModel& model, int row);

}  // namespace kw
