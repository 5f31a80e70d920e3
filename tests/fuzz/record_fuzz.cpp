// Backup records: a value of any name, type and bytes made into a record
// must, when the record is restorable, import as that value into its key.
// (Which records the deletion reads back is walk_fuzz's.)
#include "cleaning/BackupRecord.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool sharedDll = in.ConsumeBool();  // a value in the SharedDLLs key or below it
  RegRoot root =
      in.PickValueInArray({RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot});
  RegValue value;
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegral<uint32_t>();
  value.name = fuzz::PieceText(in, 3);
  std::string keyPath = fuzz::PieceText(in, 4);
  value.data = in.ConsumeRemainingBytesAsString();
  if (sharedDll) {
    root = RegRoot::LocalMachine;
    keyPath = keyPath.empty() ? kSharedDllsKeyPath : kSharedDllsKeyPath + ("\\" + keyPath);
  }
  const BackupRecord record =
      sharedDll ? MakeSharedDllRecord(keyPath, value) : MakeValueRecord(root, keyPath, value);
  if (record.kind != RecordKind::Restorable) return 0;
  std::string key;
  RegValue imported;
  fuzz::Expect(fuzz::ImportRecord(record.text, &key, &imported) &&
                   key == fuzz::SqueezedKey(RootName(root), keyPath) &&
                   imported.name == value.name && imported.type == value.type &&
                   imported.data == fuzz::Imported(value).data,
               "record does not import as its value: " + record.text);
  return 0;
}
