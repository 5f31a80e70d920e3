// A random in-memory registry walked by one category, then backed up and
// cleaned through the records the walk made, and restored from the backup.
// Every restorable record must name a value the registry holds, the clean-up
// must delete exactly those values, and the backup must bring them back.
#include <filesystem>
#include <map>

#include "cleaning/Deletion.h"
#include "options/OptionsString.h"
#include "scan/KeyWalker.h"
#include "system/TextFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

// A file is missing when its path names something dead.
class DeadFilesEnvironment : public test::FakeEnvironment {
 public:
  using FakeEnvironment::FakeEnvironment;
  PathState ProbePath(const std::string& path) override {
    return fuzz::Lower(path).find("dead") == std::string::npos ? PathState::Exists
                                                                : PathState::Missing;
  }
};

class SilentListener : public ScanListener {
  void OnKeyEntered(const std::string&) override {}
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}
};

// Every value by key line and name (as the registry compares them), with
// its type and the bytes an import would store.
using Dump = std::map<std::string, std::pair<uint32_t, std::string>>;

std::string DumpKey(const std::string& keyLine, const std::string& name) {
  return fuzz::Squeezed(keyLine) + "\n" + fuzz::Lower(name);
}

void DumpTree(Registry& registry, RegRoot root, const std::string& path, Dump* dump) {
  RegKey key(registry);
  if (key.Open(root, path) != RegStatus::Ok) return;
  std::vector<RegValue> values;
  std::vector<std::string> subKeys;
  registry.ListKey(key.handle(), &values, &subKeys);
  const std::string keyLine = "[" + std::string(RootName(root)) + "\\" + path + "]";
  for (const RegValue& v : values) {
    (*dump)[DumpKey(keyLine, v.name)] = {v.type, fuzz::ImportedData(v.type, v.data)};
  }
  for (const std::string& name : subKeys) DumpTree(registry, root, path + "\\" + name, dump);
}

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

  std::vector<std::string> keys = {category.startKey}, ignored;
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
        ignored.push_back(key);
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
  KeyWalker walker(registry, tools, model, listener, ignored, names, ReadOptionFlags("11111111111111"));
  walker.ScanKey("c", category.startKey, category.check, category.extensions);
  Expect(registry.openKeys() == 0, "the walk left keys open");

  Dump before;
  for (RegRoot r : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    DumpTree(registry, r, "", &before);
  }
  Dump expected = before;
  int restorable = 0, notRestorable = 0;
  std::string backupExpected = "REGEDIT4\r\n";
  for (const BackupRecord& record : model.m_arrBackupRecords) {
    notRestorable += record.kind == RecordKind::NotRestorable;
    if (record.kind != RecordKind::Restorable) continue;
    ++restorable;
    fuzz::ImportedValue value;
    Expect(fuzz::ImportRecord(record.text, &value), "record does not import: " + record.text);
    const auto found = before.find(DumpKey(value.keyLine, value.name));
    Expect(found != before.end() && found->second == std::make_pair(value.type, value.data),
           "record of no value the registry holds: " + record.text);
    expected.erase(found->first);
    const size_t lineFeed = record.text.find('\n');
    backupExpected += record.text.substr(0, lineFeed) + "\r\n" + record.text.substr(lineFeed + 1) +
                      "\r\n\r\n";
  }

  const DeleteRunResult run = BackUpAndDelete(tools, model.m_arrBackupRecords);
  Expect(run.deletion.deleted == restorable && run.deletion.failed == notRestorable,
         "deletion counted " + std::to_string(run.deletion.deleted) + " deleted, " +
             std::to_string(run.deletion.failed) + " failed");
  Dump now;
  for (RegRoot r : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    DumpTree(registry, r, "", &now);
  }
  Expect(now == expected, "the clean-up touched other values than those found");

  // Restore: import every record of the backup file.
  const std::string backup = test::ReadBytes(NativePath(run.backupPath));
  std::remove(NativePath(run.backupPath).c_str());
  Expect(backup == backupExpected, "backup file: " + backup);
  const std::vector<std::string> lines = fuzz::SplitLines(backup);
  for (size_t i = 1; i + 1 < lines.size(); i += 3) {
    fuzz::ImportedValue value;
    fuzz::ImportRecord(lines[i] + "\n" + lines[i + 1], &value);
    RegRoot into;
    const size_t split = std::min(value.keyLine.find('\\'), value.keyLine.size() - 1);
    Expect(RootNamed(value.keyLine.substr(1, split - 1), &into), "root of " + value.keyLine);
    const std::string path = value.keyLine.substr(split, value.keyLine.size() - 1 - split);
    registry.SetRaw(into, path, value.name, value.type, value.data);
  }
  now.clear();
  for (RegRoot r : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    DumpTree(registry, r, "", &now);
  }
  Expect(now == before, "the backup does not restore the registry");
  return 0;
}
