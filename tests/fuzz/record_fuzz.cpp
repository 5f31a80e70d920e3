// Backup records: a value of any name, type and bytes made into a record
// must, when the record is restorable, import as that value into its key,
// and the program's own backup reader must read it back as exactly that
// value (refusing only names and keys with a zero byte, which the registry
// functions would cut short). (Which records the deletion reads back is
// walk_fuzz's.)
#include "cleaning/BackupReader.h"
#include "cleaning/BackupRecord.h"
#include "system/TextFile.h"
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
  std::vector<BackupValue> read;
  std::string why;
  const bool hasZero = (keyPath + value.name).find('\0') != std::string::npos;
  const bool accepted =
      ReadBackupText("REGEDIT4\r\n" + WithCrLf(record.text) + "\r\n", &read, &why);
  fuzz::Expect(accepted != hasZero, "reader: " + why + " of " + record.text);
  fuzz::Expect(!accepted || (read.size() == 1 && read[0].root == root &&
                             LowerAscii(read[0].keyPath) == LowerAscii(NormalizeKeyPath(keyPath)) &&
                             read[0].value.name == value.name && read[0].value.type == value.type &&
                             read[0].value.data == value.data),
               "record does not read back as its value: " + record.text);
  return 0;
}
