// The backup reader on any file: what it accepts, the registry editor
// imports as the same values (each key line and value line read as regedit
// reads them), so that /restore writes nothing a re-import would not.
#include "cleaning/BackupReader.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<BackupValue> values;
  std::string why;
  if (!ReadBackupText(text, &values, &why)) {
    fuzz::Expect(values.empty() && why.compare(0, 5, "line ") == 0, "refusal: " + why);
    return 0;
  }
  const std::vector<std::string> lines = fuzz::SplitLines(text);
  fuzz::Expect(!lines.empty() && lines[0] == "REGEDIT4", "accepted without REGEDIT4");
  for (const BackupValue& read : values) {
    const size_t keyLine = static_cast<size_t>(read.line) - 1;
    fuzz::Expect(keyLine + 1 < lines.size(), "a value past the last line");
    std::string key;
    RegValue imported;
    fuzz::Expect(fuzz::ImportRecord(lines[keyLine] + "\n" + lines[keyLine + 1], &key, &imported) &&
                     key == fuzz::SqueezedKey(RootName(read.root), read.keyPath) &&
                     imported.name == read.value.name && imported.type == read.value.type &&
                     imported.data == fuzz::Imported(read.value).data,
                 "read otherwise than regedit imports it: " + lines[keyLine]);
  }
  return 0;
}
