// Backup records: a value of any name, type and bytes made into a record
// must import as that value into its key, and the record reader that the
// deletion uses must agree with the importer on any text the importer takes.
#include "cleaning/BackupRecord.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

static void CheckReader(const std::string& text) {
  std::string key;
  RegValue imported;
  RecordTarget target;
  if (!fuzz::ImportRecord(text, &key, &imported)) return;
  const bool read = ReadRecordTarget(text, &target);
  fuzz::Expect(read && target.valueName == imported.name &&
                   fuzz::SqueezedKey(target.rootName, target.keyPath) == key,
               "ReadRecordTarget differs from the import: " + text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int mode = in.ConsumeIntegralInRange(0, 2);  // a value, a SharedDLLs value, any text
  if (mode == 2) {
    CheckReader(in.ConsumeRemainingBytesAsString());
    return 0;
  }
  RegRoot root =
      in.PickValueInArray({RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot});
  RegValue value;
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegral<uint32_t>();
  value.name = fuzz::PieceText(in, 3);
  std::string keyPath = fuzz::PieceText(in, 4);
  value.data = in.ConsumeRemainingBytesAsString();
  if (mode == 1) {  // in the SharedDLLs key or a subkey below it
    root = RegRoot::LocalMachine;
    keyPath = keyPath.empty() ? kSharedDllsKeyPath : kSharedDllsKeyPath + ("\\" + keyPath);
  }
  const BackupRecord record =
      mode == 1 ? MakeSharedDllRecord(keyPath, value) : MakeValueRecord(root, keyPath, value);
  RecordKind kind = RecordKind::Restorable;
  if ((value.name + keyPath).find_first_of("\r\n") != std::string::npos) {
    kind = RecordKind::NotRestorable;
  }
  if (mode == 0 && value.type != kRegSz) kind = RecordKind::NotString;
  fuzz::Expect(record.kind == kind, "record kind");
  if (record.kind != RecordKind::Restorable) return 0;
  CheckReader(record.text);
  std::string key;
  RegValue imported;
  fuzz::Expect(fuzz::ImportRecord(record.text, &key, &imported) &&
                   key == fuzz::SqueezedKey(RootName(root), keyPath) &&
                   imported.name == value.name && imported.type == value.type &&
                   imported.data == fuzz::Imported(value).data,
               "record does not import as its value: " + record.text);
  return 0;
}
