// The results list's buttons: Remove From List and More Info.
#include "app/KelpwiseDlg.h"
#include "cleaning/ResultsListActions.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"

namespace kw {

namespace {


class ListViewSelection : public RowSelection {
 public:
  explicit ListViewSelection(const ListView& list) : m_list(list) {}
  int RowCount() const override { return m_list.GetRowCount(); }
  int FirstSelected() const override { return m_list.GetNextSelected(); }
  bool DeleteRow(int row) override { return m_list.DeleteRow(row); }

 private:
  const ListView& m_list;
};

}  // namespace

void CKelpwiseDlg::OnRemoveFromList() {
  if (m_listResults.GetNextSelected() < 0) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_NO_SELECTION), kProductCaption, MB_OK);
  } else {
    ListViewSelection selection(m_listResults);
    RemoveSelectedRows(m_results, selection);
  }
  m_strStatus =
      FormatWithNumber(m_translation.LookupText(TXT_STATUS_FOUND), m_results.m_nEntryCount);
  UpdateData(false);
}

void CKelpwiseDlg::OnMoreInfo() {
  if (m_listResults.GetNextSelected() < 0) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_NO_SELECTION), kProductCaption, MB_OK);
    return;
  }
  const InfoLabels labels = {m_translation.LookupText(TXT_COLUMN_CATEGORY),
                             m_translation.LookupText(TXT_COLUMN_NAME),
                             m_translation.LookupText(TXT_COLUMN_DATA)};
  const std::string caption = m_translation.LookupText(TXT_CAPTION);
  for (int row = m_listResults.GetNextSelected(); row >= 0;
       row = m_listResults.GetNextSelected(row)) {
    const std::string message =
        MoreInfoMessage(labels, m_listResults.GetCellText(row, 0), InfoRecordOf(m_results, row));
    ShowMessage(hwnd(), message, caption, MB_OK);
  }
}

}  // namespace kw
