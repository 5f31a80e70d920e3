// The main window's clean-up: back up the listed entries, delete them and
// report, and the key-loop guard that watches the search's paths.
#include <optional>

#include "app/KelpwiseDlg.h"
#include "cleaning/Deletion.h"
#include "cleaning/IgnoreList.h"
#include "cleaning/LoopGuard.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "scan/PumpDlg.h"
#include "system/FileError.h"
#include "system/Shutdown.h"

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

void CKelpwiseDlg::CheckKeyLoop(const std::string& keyPath) {
  if (m_bLoopGuardFired) return;
  std::optional<std::string> entry = LoopGuardEntry(keyPath, m_strWalkStart);
  if (!entry) return;
  // A loop below a key whose name has a line break may leave no key to
  // ignore: the message then names the looping path and claims no entry.
  std::string message =
      m_translation.LookupText(TXT_LOOP_1) + "\n\n" + (entry->empty() ? keyPath : *entry) + "\n\n";
  if (!entry->empty()) message += m_translation.LookupText(TXT_LOOP_2) + "\n\n";
  message += m_translation.LookupText(TXT_LOOP_3);
  // The search lists its rows and lets the list redraw at its repaints;
  // behind the message the list shows every row found so far.
  ListNewRows();
  ::SendMessageA(m_listResults.hwnd(), WM_SETREDRAW, TRUE, 0);
  ShowMessage(hwnd(), message, kProductCaption, MB_OK | MB_ICONEXCLAMATION);
  AppendIgnoreEntry(m_tools.GetProgramDir() + "\\blacklist.ini", *entry);
  m_bLoopGuardFired = true;
  SaveSettingsOnClose(m_tools, m_dlgOptions.m_strOptions, m_dlgOptions.m_bAutoStart,
                      m_dlgOptions.m_strDays);
  Dialog::OnOK();
}

}  // namespace kw
