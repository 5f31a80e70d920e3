// File > Reverse Changes: the user picks a backup file, and the system's
// registry editor merges it back into the registry once the program's own
// reader has found it a Kelpwise backup that writes only where a search reads.
// clang-format off
#include <windows.h>  // before the other system headers
#include <shellapi.h>
// clang-format on

#include "app/KelpwiseDlg.h"
#include "cleaning/BackupReimport.h"
#include "cleaning/RestoreScope.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "system/InputChecks.h"

namespace kw {

namespace {

const char kRegistryFileFilter[] = "Registry files (*.reg)|*.reg";

// The shell reports success with a value greater than 32.
bool ShellStarted(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

class ShellReimportLauncher : public ReimportLauncher {
 public:
  bool OpenWithShell(const std::string& file) override { return ShellOpen(file) > 32; }
  bool Run(const std::string& program, const std::string& parameters) override {
    return ShellStarted(::ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(),
                                        nullptr, SW_SHOWNORMAL));
  }
};

}  // namespace

void CKelpwiseDlg::OnReverseChanges() {
  FileOpenDialog chooser(kRegistryFileFilter, m_tools.GetProgramDir() + "\\backup");
  if (!chooser.Run(hwnd())) return;
  // The shell would start any other kind of file with administrator rights.
  if (!IsRegistryFileName(chooser.path())) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_NOT_REGISTRY_FILE) + "\n\n" + chooser.path(),
                kProductCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // Only a Kelpwise backup that writes where a search reads goes on: the
  // registry editor would import anything, with administrator rights.
  const std::string refusal = BackupFileRefusal(chooser.path());
  if (!refusal.empty()) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_BACKUP_REFUSED) + "\n\n" + refusal,
                kProductCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  ShellReimportLauncher launcher;
  if (HandBackupToSystem(chooser.path(), m_tools.GetWindowsDir(), launcher) !=
      ReimportRoute::Failed) {
    return;
  }
  ShowMessage(hwnd(), m_translation.LookupText(TXT_BACKUP_NOT_OPENED) + "\n\n" + chooser.path(),
              kProductCaption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace kw
