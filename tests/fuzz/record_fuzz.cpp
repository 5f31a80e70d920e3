// Backup records: a value of any name, type and bytes made into a record
// must import as that value into its key, and the record reader that the
// deletion uses must find the same key and name. Any text handed to the
// reader must agree with the importer wherever the importer takes it.
#include "cleaning/BackupRecord.h"
#include "cleaning/Deletion.h"
#include "scan/EntryChecks.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The reader against the importer: where both take a record, they agree.
void CheckReader(const std::string& text) {
  RecordTarget target;
  const bool read = ReadRecordTarget(text, &target);
  fuzz::ImportedValue imported;
  if (!fuzz::ImportRecord(text, &imported)) return;
  Expect(read, "ReadRecordTarget refuses a record: " + text);
  Expect(target.rootName == imported.rootName && target.valueName == imported.name &&
             NormalizeKeyPath(target.keyPath) == imported.keyPath,
         "ReadRecordTarget differs from the import: " + text);
  RegRoot root = RegRoot::LocalMachine;
  Expect(RootNamed(target.rootName, &root), "no deletion root for " + target.rootName);
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int mode = in.ConsumeIntegralInRange(0, 2);
  if (mode == 2) {  // any text
    CheckReader(in.ConsumeRemainingBytesAsString());
    return 0;
  }
  RegRoot root = in.PickValueInArray(
      {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot});
  RegValue value;
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegral<uint32_t>();
  value.name = fuzz::PieceText(in, 3);
  std::string keyPath = fuzz::PieceText(in, 4);
  value.data = in.ConsumeRemainingBytesAsString();

  BackupRecord record;
  if (mode == 0) {
    record = MakeValueRecord(root, keyPath, value);
    Expect((record.kind == RecordKind::NotString) == (value.type != kRegSz), "NotString kind");
  } else {
    // A SharedDLLs value, directly in the key or in a subkey below it.
    root = RegRoot::LocalMachine;
    keyPath = keyPath.empty() ? kSharedDlls : kSharedDlls + ("\\" + keyPath);
    record = MakeFileFinding(SCAN_SHAREDDLL, "c", 8, keyPath, value, value.name, OptionFlags{}).record;
    Expect(record.kind != RecordKind::NotString, "a SharedDLLs record of kind NotString");
  }
  if (record.kind == RecordKind::NotString) return 0;
  const bool lineBreak = HasLineBreak(value.name) || HasLineBreak(keyPath);
  Expect((record.kind == RecordKind::Restorable) == !lineBreak, "restorable record kind");
  CheckReader(record.text);
  if (record.kind == RecordKind::Restorable) {
    fuzz::ExpectRecordOf(record.text, RootName(root), keyPath, value);
  }
  return 0;
}
