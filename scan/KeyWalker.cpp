#include "scan/KeyWalker.h"

#include <memory>
#include <unordered_map>
#include <utility>

namespace kw {

struct KeyWalker::Walk {
  const std::string& categoryName;
  ScanCheck check;
  const std::vector<std::string>& extensions;
  int image;
  RegRoot root;
  // Characters in front of the root-relative path: "<SID>\" in a profile.
  size_t profilePrefix;
};

namespace {

// Asks the file system about each path once per walker: many references
// name the same file, and a probe can cost far more than reading a key.
// A file whose folder the system has said is missing is missing too, so
// the files of a removed program's folder cost one probe between them.
// The walker's pass thus sees the files as they were when first asked about.
class RememberingProbe {
 public:
  explicit RememberingProbe(const CSystemTools& tools) : m_tools(&tools) {}

  bool operator()(const std::string& path) const {
    const std::string folder = FolderOf(path);
    if (!folder.empty() && IsKnownMissing(folder)) return false;
    const auto known = m_answers->find(path);
    if (known != m_answers->end()) return known->second;
    const bool exists = m_tools->FileExists(path);
    m_answers->emplace(path, exists);
    if (!exists && !folder.empty() && m_answers->count(folder) == 0) {
      m_answers->emplace(folder, m_tools->FileExists(folder));
    }
    return exists;
  }

 private:
  // The folder of a file below a folder: c:\a for c:\a\b.dll; empty for a
  // file in a drive's root (c:\b.dll) or a name without a folder.
  static std::string FolderOf(const std::string& path) {
    const size_t last = path.rfind('\\');
    if (last == std::string::npos || last <= 2) return std::string();
    return path.substr(0, last);
  }
  bool IsKnownMissing(const std::string& folder) const {
    const auto known = m_answers->find(folder);
    return known != m_answers->end() && !known->second;
  }

  const CSystemTools* m_tools;
  // Shared by the copies that std::function may make.
  std::shared_ptr<std::unordered_map<std::string, bool>> m_answers =
      std::make_shared<std::unordered_map<std::string, bool>>();
};

// A key on the walk's way down, with the subkeys still to enter.
struct Level {
  std::string path;
  std::vector<std::string> subKeys;
  size_t next = 0;
};

}  // namespace

// They are large and hold nothing the checks look for.
bool IsExcludedSubKey(const std::string& name) {
  return name == "Microsoft" || name == "CLSID" || name == "Installer" || name == "Interface" ||
         name.compare(0, 6, "Direct") == 0;
}

KeyWalker::KeyWalker(Registry& registry, CSystemTools& tools, ResultModel& model,
                     ScanListener& listener, const std::vector<std::string>& ignoreList,
                     const std::array<std::string, kCategoryCount>& categoryNames,
                     const OptionFlags& options)
    : m_registry(registry),
      m_tools(tools),
      m_model(model),
      m_listener(listener),
      m_ignoreList(ignoreList.begin(), ignoreList.end()),
      m_categoryNames(categoryNames),
      m_options(options),
      m_fileExists(RememberingProbe(tools)) {}

int KeyWalker::IconIndexOf(const std::string& categoryName) const {
  int index = 0;
  for (int i = 0; i < kCategoryCount; ++i) {
    if (m_categoryNames[static_cast<size_t>(i)] == categoryName) index = i;
  }
  return index;
}

const std::string& KeyWalker::WindowsDir() {
  if (!m_windowsDirKnown) {
    m_windowsDir = m_tools.GetWindowsDir();
    m_windowsDirKnown = true;
  }
  return m_windowsDir;
}

std::string KeyWalker::PathInPlace(ScanCheck check, const std::string& keyPath) const {
  if (check != SCAN_HISTORY || m_profileSid.empty()) return keyPath;
  return m_profileSid + "\\" + keyPath;
}

void KeyWalker::ScanKey(const std::string& categoryName, const std::string& keyPath,
                        ScanCheck check, const std::vector<std::string>& extensions) {
  if (m_stopped) return;
  const bool inProfile = check == SCAN_HISTORY && !m_profileSid.empty();
  const Walk walk{categoryName,
                  check,
                  extensions,
                  IconIndexOf(categoryName),
                  inProfile ? RegRoot::Users : RootOf(check),
                  inProfile ? m_profileSid.size() + 1 : 0};

  // Depth first in enumeration order, without recursion: each level keeps
  // the names of the subkeys it has still to enter.
  std::vector<Level> levels;
  levels.push_back(Level{keyPath, {}, 0});
  VisitKey(walk, keyPath, 0, &levels.back().subKeys);
  while (!levels.empty() && !m_stopped) {
    Level& level = levels.back();
    if (level.next == level.subKeys.size()) {
      levels.pop_back();
      continue;
    }
    std::string childPath = level.path + "\\" + level.subKeys[level.next++];
    const int depth = static_cast<int>(levels.size());
    levels.push_back(Level{std::move(childPath), {}, 0});
    VisitKey(walk, levels.back().path, depth, &levels.back().subKeys);
  }
}

void KeyWalker::VisitKey(const Walk& walk, const std::string& keyPath, int depth,
                         std::vector<std::string>* subKeysToEnter) {
  m_listener.OnKeyEntered(keyPath);

  std::vector<Finding> findings;
  std::vector<std::string> subKeys;
  {
    RegKey key(m_registry);
    if (key.Open(walk.root, keyPath) == RegStatus::Ok) {
      ReadKey(walk, key, keyPath, &findings, &subKeys);
    }
  }  // closed before anything is reported or entered
  m_listener.OnKeyChecked(keyPath);

  const bool fileReference = IsFileReference(walk.check);
  for (Finding& finding : findings) {
    const int row = m_model.Append(std::move(finding.row), std::move(finding.record));
    if (row >= 0) m_listener.OnEntryAdded(row, keyPath, fileReference);
  }

  subKeysToEnter->clear();
  if (depth >= kMaxWalkDepth || m_ignoreList.count(keyPath.substr(walk.profilePrefix)) != 0) {
    return;
  }
  for (std::string& name : subKeys) {
    if (!IsExcludedSubKey(name)) subKeysToEnter->push_back(std::move(name));
  }
}

void KeyWalker::ReadKey(const Walk& walk, RegKey& key, const std::string& keyPath,
                        std::vector<Finding>* findings, std::vector<std::string>* subKeys) {
  // One read of all values with their data and of the subkey names; a
  // failed read leaves whatever it could list.
  std::vector<RegValue> values;
  m_registry.ListKey(key.handle(), &values, subKeys);
  for (const RegValue& value : values) CheckValue(walk, key, keyPath, value, findings);
}

void KeyWalker::CheckValue(const Walk& walk, RegKey& key, const std::string& keyPath,
                           const RegValue& value, std::vector<Finding>* findings) {
  const size_t before = findings->size();
  if (walk.check == SCAN_HISTORY) {
    findings->push_back(
        MakeHistoryFinding(walk.categoryName, walk.image, walk.root, keyPath, value, m_options));
  } else {
    const std::string data = DecodeRegString(value);
    for (const std::string& token : walk.extensions) {
      const std::optional<std::string> missing =
          FindMissingFile(walk.check, token, value.name, data, WindowsDir(), m_fileExists);
      if (missing) {
        findings->push_back(MakeFileFinding(walk.check, walk.categoryName, walk.image, keyPath,
                                            value, *missing, m_options));
      }
    }
  }
  if (findings->size() == before) return;

  // A REGEDIT4 file cannot bring back a name or data outside the ANSI code
  // page: such an entry is listed but never deleted.
  if (m_registry.IsAnsiExact(key.handle(), value.name)) return;
  for (size_t i = before; i < findings->size(); ++i) {
    BackupRecord& record = (*findings)[i].record;
    if (record.kind == RecordKind::Restorable) record.kind = RecordKind::NotRestorable;
  }
}

}  // namespace kw
