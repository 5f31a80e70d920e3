// Handing a backup file back to the system for re-import. The shell's
// "open" verb comes first; where no program is associated with ".reg" files
// (a fresh Wine prefix has none) the system's registry editor gets the file
// directly. Only when that fails too does the caller have to tell the user.
#pragma once

#include <string>

namespace kw {

class ReimportLauncher {
 public:
  virtual ~ReimportLauncher() = default;
  // The shell's "open" verb on `file`; true when the shell started something.
  virtual bool OpenWithShell(const std::string& file) = 0;
  // Starts `program` with `parameters`; true when it started.
  virtual bool Run(const std::string& program, const std::string& parameters) = 0;
};

enum class ReimportRoute {
  Shell,           // the file's association took it
  RegistryEditor,  // regedit.exe was started with it
  Failed           // nothing could take it
};

// regedit.exe in the Windows folder; the bare name when the folder is unknown.
std::string RegistryEditorPath(const std::string& windowsDir);

// `path` in double quotes, as one command-line argument.
std::string QuotedArgument(const std::string& path);

ReimportRoute HandBackupToSystem(const std::string& file, const std::string& windowsDir,
                                 ReimportLauncher& launcher);

}  // namespace kw
