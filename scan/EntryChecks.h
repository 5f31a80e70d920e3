// The checks that decide whether a registry value is an entry to report,
// and the row and record such an entry gets. Pure functions: the walk reads
// the registry and hands the values in.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cleaning/BackupRecord.h"
#include "options/OptionsString.h"
#include "scan/ResultModel.h"
#include "scan/ScanCategories.h"
#include "system/Registry.h"

namespace kw {

// True when the file system may hold the path (CSystemTools::FileExists).
using FileProbe = std::function<bool(const std::string& path)>;

// Column 1 of a file-reference row shows this for the default value.
extern const char kDefaultValueName[];  // "(default)"

// Head length of a shortened column 2.
constexpr int kShownHead = 35;

// The file-reference check of one value for one extension token. `data` is
// the decoded value (DecodeRegString: "No REG_SZ" for other types). Returns
// the missing file as column 2 shows it (lower case, except the Windows
// folder in front of a bare font name and a shared-DLL name, which keep
// their case), or nothing when the value names no missing file.
std::optional<std::string> FindMissingFile(ScanCheck check, const std::string& token,
                                           const std::string& valueName, const std::string& data,
                                           const std::string& windowsDir,
                                           const FileProbe& fileExists);

// ASCII letters to lower case; every other byte unchanged.
std::string LowerAscii(std::string text);

// Column 2 text: shortened to head 35 when the break-down setting is on.
std::string ShownText(const std::string& text, const OptionFlags& options);
// Column 1 text: "(default)" for the default value of a file reference.
std::string NameColumn(ScanCheck check, const std::string& valueName);

// One entry found by a check: its row and its record.
struct Finding {
  ResultRow row;
  BackupRecord record;
};

// Every value of a history key is an entry; column 2 shows its decoded data.
// `root` is where the key lies: the current user's, or every profile's
// below HKEY_USERS.
Finding MakeHistoryFinding(const std::string& category, int image, RegRoot root,
                           const std::string& keyPath, const RegValue& value,
                           const OptionFlags& options);

// Entry of a value that names the missing file `missingPath` (as returned by
// FindMissingFile).
Finding MakeFileFinding(ScanCheck check, const std::string& category, int image,
                        const std::string& keyPath, const RegValue& value,
                        const std::string& missingPath, const OptionFlags& options);

}  // namespace kw
