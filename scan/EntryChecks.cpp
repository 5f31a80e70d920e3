#include "scan/EntryChecks.h"

#include "system/SystemTools.h"

namespace kw {

const char kDefaultValueName[] = "(default)";

namespace {

const char kDriveC[] = "c:\\";
const size_t kDriveCLength = 3;
const char kWindowsFolder[] = "\\windows\\";
const size_t kExtensionLength = 3;  // COM/OLE server names end in a three-letter extension

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}
bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Whether the lower-case text `d` can hold a reference for this check.
bool IsCandidate(ScanCheck check, const std::string& token, const std::string& d) {
  switch (check) {
    case SCAN_PROGRAM:
    case SCAN_TYPELIB:
      return Contains(d, token) && Contains(d, kDriveC) && !Contains(d, kWindowsFolder);
    case SCAN_FONT:
      return Contains(d, token);
    case SCAN_COMOBJECT:
      return Contains(d, kDriveC) && !Contains(d, kWindowsFolder);
    case SCAN_HELPFILE:
      return Contains(d, token) && Contains(d, kDriveC);
    case SCAN_SHAREDDLL:
    case SCAN_HISTORY:
      break;
  }
  return false;
}

// Length of the front part of `d` that ends the file name.
size_t CutLength(ScanCheck check, const std::string& token, const std::string& d) {
  size_t length = 0;
  if (check == SCAN_COMOBJECT) {
    // Up to the last "." and a three-letter extension; without any "." just
    // the first three characters.
    const size_t dot = d.rfind('.');
    length = (dot == std::string::npos ? 0 : dot + 1) + kExtensionLength;
  } else {
    length = d.find(token) + token.size();  // the caller checked that d holds the token
  }
  return length < d.size() ? length : d.size();
}

bool IsSkippedPath(const std::string& lowerPath) {
  return lowerPath.empty() || lowerPath == kDriveC;
}

}  // namespace

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::optional<std::string> FindMissingFile(ScanCheck check, const std::string& token,
                                           const std::string& valueName, const std::string& data,
                                           const std::string& windowsDir,
                                           const FileProbe& fileExists) {
  if (check == SCAN_HISTORY) return std::nullopt;

  if (check == SCAN_SHAREDDLL) {
    // The SharedDLLs key names each file by a value whose name is its path;
    // the data is only the reference count.
    if (IsSkippedPath(LowerAscii(valueName)) || fileExists(valueName)) return std::nullopt;
    return valueName;
  }

  // The help key maps a file name to the folder that holds it.
  const std::string source = check == SCAN_HELPFILE ? data + "\\" + valueName : data;
  const std::string d = LowerAscii(source);
  if (!IsCandidate(check, token, d)) return std::nullopt;

  // The path runs from the drive up to the end of the file name; what stands
  // in front of the drive (a quote, a command) is dropped. A file name that
  // ends before the drive is complete names nothing.
  const size_t end = CutLength(check, token, d);
  size_t begin = 0;
  const size_t drive = d.find(kDriveC);
  if (drive != std::string::npos) {
    if (drive + kDriveCLength > end) return std::nullopt;
    begin = drive;
  }
  std::string shown = d.substr(begin, end - begin);
  if (IsSkippedPath(shown)) return std::nullopt;
  // Probe the path as the registry spells it; only the display is lower case.
  std::string probe = source.substr(begin, end - begin);

  if (check == SCAN_FONT && shown.find('\\') == std::string::npos) {
    // A bare file name lives in the Windows fonts folder.
    const std::string folder = windowsDir + "\\fonts\\";
    shown = folder + shown;
    probe = folder + probe;
  }
  if (fileExists(probe)) return std::nullopt;
  return shown;
}

std::string ShownText(const std::string& text, const OptionFlags& options) {
  return options[kOptionBreakDown] ? CSystemTools::ShortenText(text, kShownHead) : text;
}

std::string NameColumn(ScanCheck check, const std::string& valueName) {
  if (IsFileReference(check) && valueName.empty()) return kDefaultValueName;
  return valueName;
}

Finding MakeHistoryFinding(const std::string& category, int image, RegRoot root,
                           const std::string& keyPath, const RegValue& value,
                           const OptionFlags& options) {
  Finding finding;
  finding.row.category = category;
  finding.row.valueName = NameColumn(SCAN_HISTORY, value.name);
  finding.row.shown = ShownText(DecodeRegString(value), options);
  finding.row.image = image;
  finding.row.valueType = value.type;
  finding.record = MakeValueRecord(root, keyPath, value);
  return finding;
}

Finding MakeFileFinding(ScanCheck check, const std::string& category, int image,
                        const std::string& keyPath, const RegValue& value,
                        const std::string& missingPath, const OptionFlags& options) {
  Finding finding;
  finding.row.category = category;
  finding.row.valueName = NameColumn(check, value.name);
  finding.row.shown = ShownText(missingPath, options);
  finding.row.image = image;
  finding.row.valueType = value.type;
  finding.row.missingPath = missingPath;
  finding.record = check == SCAN_SHAREDDLL ? MakeSharedDllRecord(keyPath, value)
                                           : MakeValueRecord(RootOf(check), keyPath, value);
  return finding;
}

}  // namespace kw
