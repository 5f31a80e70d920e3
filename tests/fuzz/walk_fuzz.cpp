// A random in-memory registry walked by one category, then backed up and
// cleaned through the records the walk made, and restored from the backup.
// The oracle walks the same registry on its own; the clean-up must delete
// exactly the restorable values found, and the backup must bring back the
// registry as it was.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "cleaning/Deletion.h"
#include "scan/KeyWalker.h"
#include "system/TextFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;
using kw::fuzz::Lower;

namespace {

// A file is missing when its path names something dead; so is every file
// in a missing folder.
bool Alive(const std::string& path) { return Lower(path).find("dead") == std::string::npos; }

class DeadFilesEnvironment : public test::FakeEnvironment {
 public:
  using FakeEnvironment::FakeEnvironment;
  PathState ProbePath(const std::string& path) override {
    return Alive(path) ? PathState::Exists : PathState::Missing;
  }
};

// The values and subkey names of a key; false when it cannot be opened.
bool ReadKey(Registry& registry, RegRoot root, const std::string& path,
             std::vector<RegValue>* values, std::vector<std::string>* subKeys,
             std::vector<bool>* ansi = nullptr) {
  RegKey key(registry);
  if (key.Open(root, path) != RegStatus::Ok) return false;
  registry.ListValues(key.handle(), true, values);
  registry.ListSubKeys(key.handle(), subKeys);
  for (const RegValue& value : *values) {
    if (ansi != nullptr) ansi->push_back(registry.IsAnsiExact(key.handle(), value.name));
  }
  return true;
}

class SilentListener : public ScanListener {
  void OnKeyEntered(const std::string&) override {}
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}
};

struct Found {
  std::string keyPath;
  RegValue value;
  bool ansi = true;
};

struct OracleWalk {
  Registry& registry;
  RegRoot root;
  const ScanCategory& category;
  std::set<std::string> ignored;
  std::vector<Found> found;

  static bool Excluded(const std::string& name) {
    return name == "Microsoft" || name == "CLSID" || name == "Installer" || name == "Interface" ||
           name.compare(0, 6, "Direct") == 0;
  }

  void Visit(const std::string& path, int depth) {
    std::vector<RegValue> values;
    std::vector<std::string> subKeys;
    std::vector<bool> ansi;
    if (!ReadKey(registry, root, path, &values, &subKeys, &ansi)) return;
    for (size_t i = 0; i < values.size(); ++i) {
      const RegValue& value = values[i];
      if (category.check == SCAN_HISTORY) found.push_back({path, value, ansi[i]});
      for (const std::string& token : category.extensions) {
        if (FindMissingFile(category.check, token, value.name, DecodeRegString(value),
                            "C:\\Windows", Alive)) {
          found.push_back({path, value, ansi[i]});
        }
      }
    }
    if (depth >= kMaxWalkDepth || ignored.count(path) != 0) return;
    for (const std::string& name : subKeys) {
      if (!Excluded(name)) Visit(path + "\\" + name, depth + 1);
    }
  }
};

// Every value of the registry by root, key and name (as the registry
// compares them), with its type and bytes.
using Dump = std::map<std::tuple<int, std::string, std::string>, std::pair<uint32_t, std::string>>;

std::tuple<int, std::string, std::string> DumpKey(RegRoot root, const std::string& path,
                                                  const std::string& name) {
  return {static_cast<int>(root), Lower(NormalizeKeyPath(path)), Lower(name)};
}

void DumpKeyTree(Registry& registry, RegRoot root, const std::string& path, Dump* dump) {
  std::vector<RegValue> values;
  std::vector<std::string> subKeys;
  if (!ReadKey(registry, root, path, &values, &subKeys)) return;
  for (const RegValue& v : values) (*dump)[DumpKey(root, path, v.name)] = {v.type, v.data};
  for (const std::string& name : subKeys) DumpKeyTree(registry, root, path + "\\" + name, dump);
}

Dump DumpAll(Registry& registry) {
  Dump dump;
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    DumpKeyTree(registry, root, "", &dump);
  }
  return dump;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::string KeyName(FuzzedDataProvider& in) {
  static const char* const kNames[] = {"Sub", "sub", "Microsoft", "CLSID", "DirectX", "Interface",
                                       "x]y", "Dead Key"};
  std::string name = in.ConsumeBool() ? in.PickValueInArray(kNames) : fuzz::PieceText(in, 2);
  name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
  return name.empty() ? "k" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ProgramFolder folder;
  static const bool backupFolder = std::filesystem::create_directory(folder.dir.path() + "/backup");
  (void)backupFolder;
  DeadFilesEnvironment env(folder.dir.path());
  test::MemoryRegistry& registry = env.m_registry;
  FuzzedDataProvider in(data, size);
  const ScanCategory& category = ScanCategories()[in.ConsumeIntegralInRange(0, 11)];
  const RegRoot root = RootOf(category.check);

  std::vector<std::string> keys = {category.startKey};
  OracleWalk oracle{registry, root, category, {}, {}};
  registry.AddKey(root, category.startKey);
  for (int op = 0; op < 64 && in.remaining_bytes() > 0; ++op) {
    const std::string& key = keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)];
    std::string name = fuzz::PieceText(in, 2);
    switch (in.ConsumeIntegralInRange(0, 5)) {
      case 0:
        keys.push_back(key + "\\" + KeyName(in));
        registry.AddKey(root, keys.back());
        break;
      case 1:
        registry.SetRaw(root, key, name, in.ConsumeBool() ? kRegSz : in.ConsumeIntegral<uint8_t>(),
                        fuzz::PieceText(in, 8) + (in.ConsumeBool() ? std::string(1, '\0') : ""));
        break;
      case 2:  // the same name beside the walk: in another root, in the parent
        registry.SetString(in.PickValueInArray({RegRoot::CurrentUser, RegRoot::LocalMachine}),
                           key.substr(0, key.rfind('\\')), name, "c:\\dead\\beside.dll");
        break;
      case 3:
        registry.MarkNotAnsi(root, key, name);
        break;
      case 4:
        oracle.ignored.insert(key);
        break;
      default:
        registry.DenyAccess(root, key);
        break;
    }
  }

  CSystemTools tools(env);
  ResultModel model;
  SilentListener listener;
  std::array<std::string, kCategoryCount> names;
  for (int i = 0; i < kCategoryCount; ++i) names[static_cast<size_t>(i)] = "c" + std::to_string(i);
  const std::string options = "11111111111111";
  KeyWalker walker(registry, tools, model, listener,
                   std::vector<std::string>(oracle.ignored.begin(), oracle.ignored.end()), names,
                   ReadOptionFlags(options));
  walker.ScanKey(names[static_cast<size_t>(category.index)], category.startKey, category.check,
                 category.extensions);
  oracle.Visit(category.startKey, 0);
  Expect(registry.openKeys() == 0, "the walk left keys open");

  const std::vector<BackupRecord>& records = model.m_arrBackupRecords;
  Expect(records.size() == oracle.found.size(), "the walk found " + std::to_string(records.size()) +
                                                    " entries, the oracle " +
                                                    std::to_string(oracle.found.size()));
  int notRestorable = 0;
  std::string backupExpected = "REGEDIT4\r\n";
  std::set<std::tuple<int, std::string, std::string>> cleaned;
  for (size_t i = 0; i < records.size(); ++i) {
    const Found& f = oracle.found[i];
    const bool notString = category.check != SCAN_SHAREDDLL && f.value.type != kRegSz;
    const bool canRestore = f.ansi && !HasLineBreak(f.value.name) && !HasLineBreak(f.keyPath);
    const RecordKind kind = notString    ? RecordKind::NotString
                            : canRestore ? RecordKind::Restorable
                                         : RecordKind::NotRestorable;
    Expect(records[i].kind == kind, "kind of record " + std::to_string(i) + ": " + records[i].text);
    if (kind == RecordKind::NotRestorable) ++notRestorable;
    if (kind != RecordKind::Restorable) continue;
    fuzz::ExpectRecordOf(records[i].text, RootName(root), f.keyPath, f.value);
    cleaned.insert(DumpKey(root, f.keyPath, f.value.name));
    const size_t lineFeed = records[i].text.find('\n');
    backupExpected += records[i].text.substr(0, lineFeed) + "\r\n" +
                      records[i].text.substr(lineFeed + 1) + "\r\n\r\n";
  }
  const int restorable = static_cast<int>(std::count_if(
      records.begin(), records.end(), [](const BackupRecord& r) { return r.kind == RecordKind::Restorable; }));

  const Dump before = DumpAll(registry);
  const DeleteRunResult run = BackUpAndDelete(tools, records);
  Expect(run.deletion.deleted == restorable && run.deletion.failed == notRestorable,
         "deletion counted " + std::to_string(run.deletion.deleted) + " deleted, " +
             std::to_string(run.deletion.failed) + " failed");
  Dump expected = before;
  for (const auto& value : cleaned) expected.erase(value);
  Expect(DumpAll(registry) == expected, "the clean-up touched other values than those found");

  // Restore: import every record of the backup file.
  const std::string backup = fuzz::ReadBytes(NativePath(run.backupPath));
  std::remove(NativePath(run.backupPath).c_str());
  Expect(backup == backupExpected, "backup file: " + backup);
  const std::vector<std::string> lines = fuzz::SplitLines(backup);
  for (size_t i = 1; i + 1 < lines.size(); i += 3) {
    fuzz::ImportedValue value;
    fuzz::ImportRecord(lines[i] + "\n" + lines[i + 1], &value);
    const RegRoot into = value.rootName == "HKEY_CURRENT_USER"    ? RegRoot::CurrentUser
                         : value.rootName == "HKEY_LOCAL_MACHINE" ? RegRoot::LocalMachine
                                                                  : RegRoot::ClassesRoot;
    RegKey key(registry);
    Expect(key.Create(into, value.keyPath) == RegStatus::Ok, "cannot create " + value.keyPath);
    registry.SetValue(key.handle(), value.name, value.type, value.data);
  }
  // An import adds the terminating zero that string data may lack.
  Dump now = DumpAll(registry);
  Dump was = before;
  for (Dump* dump : {&now, &was}) {
    for (auto& entry : *dump) entry.second.second = fuzz::ImportedData(entry.second.first, entry.second.second);
  }
  Expect(now == was, "the backup does not restore the registry");
  return 0;
}
