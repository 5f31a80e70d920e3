// The entry checks on any registry value: what they report must be a file
// the data names and the system said is missing, and the row and record
// they make must show and restore that value.
#include "options/OptionsString.h"
#include "scan/EntryChecks.h"
#include "system/SystemTools.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;
using kw::fuzz::Lower;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const ScanCategory& category = ScanCategories()[in.ConsumeIntegralInRange(0, 11)];
  const ScanCheck check = category.check;
  const std::vector<std::string>& tokens = category.extensions;
  const std::string token = tokens.empty() ? in.ConsumeRandomLengthString(8)
                                           : tokens[in.ConsumeIntegralInRange<size_t>(0, tokens.size() - 1)];
  const std::string windowsDir = in.PickValueInArray({"C:\\WINDOWS", "c:\\windows", "D:\\W"});
  const std::string options = in.ConsumeBool() ? "00000000000010" : "1111";
  RegValue value;
  value.name = fuzz::PieceText(in, 4);
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegralInRange<uint32_t>(0, 8);
  value.data = fuzz::PieceText(in, 8) + (in.ConsumeBool() ? std::string(1, '\0') : "");
  const std::string decoded = DecodeRegString(value);

  // A path is missing when it names something dead.
  std::vector<std::string> missingPaths;
  const FileProbe exists = [&](const std::string& path) {
    if (Lower(path).find("dead") == std::string::npos) return true;
    missingPaths.push_back(Lower(path));
    return false;
  };
  const std::optional<std::string> missing =
      FindMissingFile(check, token, value.name, decoded, windowsDir, exists);
  if (!missing) return 0;
  Expect(check != SCAN_HISTORY, "a history value named a missing file");
  Expect(Lower(*missing) != "c:\\" && !missingPaths.empty() && missingPaths.back() == Lower(*missing),
         "reported without the system saying it is missing: " + *missing);
  if (check == SCAN_SHAREDDLL) Expect(*missing == value.name, "SharedDLLs names another file");
  if (check == SCAN_PROGRAM || check == SCAN_TYPELIB || check == SCAN_COMOBJECT) {
    Expect(missing->compare(0, 3, "c:\\") == 0 && Lower(decoded).find(*missing) != std::string::npos &&
               Lower(decoded).find("\\windows\\") == std::string::npos,
           "reported path is no C: path outside Windows in the data: " + *missing);
  }
  const Finding finding =
      MakeFileFinding(check, "cat", category.index, category.startKey, value, *missing,
                      ReadOptionFlags(options));
  const bool shorten = options.size() > 12 && missing->size() > 54;  // break-down on
  Expect(finding.row.shown == (shorten ? missing->substr(0, 35) + " ... " + missing->substr(missing->size() - 14)
                                       : *missing),
         "column 2 text");
  Expect(finding.row.valueName == (value.name.empty() ? "(default)" : value.name), "column 1");
  Expect((finding.record.kind == RecordKind::NotString) == (check != SCAN_SHAREDDLL && value.type != kRegSz),
         "record kind");
  if (finding.record.kind == RecordKind::Restorable) {
    fuzz::ExpectRecordOf(finding.record.text, RootOf(check), category.startKey, value);
  }
  return 0;
}
