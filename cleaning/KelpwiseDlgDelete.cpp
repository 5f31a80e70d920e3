// The main window's clean-up: back up the listed entries, delete them and
// report.
#include <optional>

#include "app/KelpwiseDlg.h"
#include "cleaning/Deletion.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "scan/PumpDlg.h"
#include "system/FileError.h"

namespace kw {

void CKelpwiseDlg::DeleteEntries() {
  m_btnOptions.Enable(false);
  m_btnMoreInfo.Enable(false);
  m_btnRemove.Enable(false);
  m_strStatus = "Deleting ...";
  UpdateData(false);
  ::UpdateWindow(hwnd());

  std::unique_ptr<CleanUpLock> lock = WaitForOtherCleanUps();
  DeleteRunResult run;
  std::optional<FileError> failure;
  try {
    run = BackUpAndDelete(m_tools, m_results.m_arrBackupRecords);
  } catch (const FileError& error) {
    failure = error;
  }
  lock.reset();  // the next clean-up need not wait for the boxes below
  if (failure) {
    // Nothing was deleted: stay in the Results state so that the next
    // press tries again.
    ShowMessage(hwnd(), m_translation.LookupText(TXT_BACKUP_NOT_WRITTEN) + "\n\n" + failure->path(),
                kProductCaption, MB_OK | MB_ICONEXCLAMATION);
    ReturnToResults();
    return;
  }

  std::string report =
      FormatWithNumber(m_translation.LookupText(TXT_DELETED_1), run.deletion.deleted);
  if (run.deletion.failed > 0) {
    report +=
        "\n\n" + FormatWithNumber(m_translation.LookupText(TXT_NOT_DELETED), run.deletion.failed);
  }
  if (run.backupKeepsUndeleted) {
    report +=
        "\n\n" + m_translation.LookupText(TXT_BACKUP_KEEPS_UNDELETED) + "\n\n" + run.backupPath;
  } else if (!run.backupPath.empty()) {
    report += "\n\n" + m_translation.LookupText(TXT_DELETED_2);
  }
  ShowMessage(hwnd(), report, kProductCaption,
              run.backupKeepsUndeleted ? MB_OK | MB_ICONEXCLAMATION : MB_OK);
  ReturnToIdle();
}

std::unique_ptr<CleanUpLock> CKelpwiseDlg::WaitForOtherCleanUps() {
  // The window keeps painting while it waits; the pump disables it, so no
  // command reaches it meanwhile.
  constexpr unsigned kWaitStepMs = 200;
  std::unique_ptr<CleanUpLock> lock = m_tools.environment().LockCleanUps(0);
  if (lock) return lock;
  m_strStatus = m_translation.LookupText(TXT_STATUS_WAITING);
  UpdateData(false);
  while (!(lock = m_tools.environment().LockCleanUps(kWaitStepMs))) PumpMessages(hwnd());
  m_strStatus = "Deleting ...";
  UpdateData(false);
  return lock;
}

void CKelpwiseDlg::ReturnToResults() {
  m_strStatus =
      FormatWithNumber(m_translation.LookupText(TXT_STATUS_FOUND), m_results.m_nEntryCount);
  m_btnRemove.Enable(true);
  m_btnOptions.Enable(true);
  m_btnMoreInfo.Enable(true);
  UpdateData(false);
}

void CKelpwiseDlg::ReturnToIdle() {
  m_listResults.DeleteAllRows();
  m_strStatus = m_translation.LookupText(TXT_STATUS_IDLE);
  m_strChecking.clear();
  m_btnStartSearch.SetText(m_translation.LookupText(TXT_BUTTON_START_SEARCH));
  m_bDeletePending = false;
  m_btnOptions.Enable(true);
  UpdateData(false);
}

}  // namespace kw
