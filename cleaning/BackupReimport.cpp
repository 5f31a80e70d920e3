#include "cleaning/BackupReimport.h"

namespace kw {

std::string RegistryEditorPath(const std::string& windowsDir) {
  if (windowsDir.empty()) return "regedit.exe";
  if (windowsDir.back() == '\\') return windowsDir + "regedit.exe";
  return windowsDir + "\\regedit.exe";
}

std::string QuotedArgument(const std::string& path) { return "\"" + path + "\""; }

ReimportRoute HandBackupToSystem(const std::string& file, const std::string& windowsDir,
                                 ReimportLauncher& launcher) {
  if (launcher.OpenWithShell(file)) return ReimportRoute::Shell;
  if (launcher.Run(RegistryEditorPath(windowsDir), QuotedArgument(file))) {
    return ReimportRoute::RegistryEditor;
  }
  return ReimportRoute::Failed;
}

}  // namespace kw
