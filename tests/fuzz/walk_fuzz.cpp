// A random in-memory registry walked by one category, then backed up and
// cleaned through the records the walk made: the clean-up must delete
// exactly the values of the restorable records (which it counts how is
// CleaningDeletionTest's).
#include <filesystem>
#include <set>

#include "cleaning/Deletion.h"
#include "options/OptionsString.h"
#include "scan/KeyWalker.h"
#include "system/TextFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

// A file is missing when its path names something dead.
struct DeadFilesEnvironment : test::FakeEnvironment, ScanListener {
  DeadFilesEnvironment() { std::filesystem::create_directory(dir() + "/backup"); }
  PathState ProbePath(const std::string& path) override {
    return LowerAscii(path).find("dead") == std::string::npos ? PathState::Exists
                                                              : PathState::Missing;
  }
  void OnKeyEntered(const std::string&) override {}
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DeadFilesEnvironment env;  // for the whole run, with a fresh registry for each input
  env.m_registry = test::MemoryRegistry();
  test::MemoryRegistry& registry = env.m_registry;
  FuzzedDataProvider in(data, size);
  const ScanCategory& category = ScanCategories()[in.ConsumeIntegralInRange(0, 11)];
  const RegRoot root = RootOf(category.check);
  std::vector<std::string> keys = {category.startKey}, ignored;
  registry.AddKey(root, category.startKey);
  for (int op = 0; op < 64 && in.remaining_bytes() > 0; ++op) {
    const std::string& key = keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)];
    const std::string name = fuzz::PieceText(in, 2);
    switch (in.ConsumeIntegralInRange(0, 5)) {
      case 0:  // a subkey, perhaps one the walker leaves out
        keys.push_back(
            key + "\\" +
            in.PickValueInArray({"Sub", "sub", "Microsoft", "DirectX", "Dead Key", "x]y"}));
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
      case 3:  // a name the ANSI code page cannot hold
        registry.SetString(root, key, name + "?", "c:\\dead\\" + name + ".exe");
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
  std::array<std::string, kCategoryCount> names;
  KeyWalker(registry, tools, model, env, ignored, names, ReadOptionFlags("11111111111111"))
      .ScanKey("c", category.startKey, category.check, category.extensions);

  // The restorable records' key paths and value names.
  std::set<std::pair<std::string, std::string>> listed;
  int deletes = 0;
  for (const BackupRecord& record : model.m_arrBackupRecords) {
    if (record.kind != RecordKind::Restorable) continue;
    std::string key;
    RegValue value;
    Expect(fuzz::ImportRecord(record.text, &key, &value), "record does not import: " + record.text);
    const size_t pathStart = key.find_first_of("\\]");  // after the root
    listed.emplace(key.substr(pathStart, key.size() - 1 - pathStart), LowerAscii(value.name));
  }
  registry.afterEachDelete = [&] { ++deletes; };
  const DeleteRunResult run = BackUpAndDelete(tools, model.m_arrBackupRecords);
  std::remove(NativePath(run.backupPath).c_str());
  Expect(deletes == int(listed.size()), "the clean-up deleted other values than those found");
  for (const auto& [path, name] : listed)
    Expect(!registry.Find(root, path, name), "a listed value was left: " + name);
  return 0;
}
