// The entry checks on any registry value: what they report must be a file
// the data names and the system said is missing, and the row and record
// they make must show and restore that value.
#include "scan/EntryChecks.h"
#include "system/SystemTools.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;
using kw::fuzz::Lower;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Column 2 with the break-down on: head, " ... ", tail, 54 characters.
std::string Shortened(const std::string& text) {
  return text.size() < 55 ? text : text.substr(0, 35) + " ... " + text.substr(text.size() - 14);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const ScanCategory& category = ScanCategories()[in.ConsumeIntegralInRange(0, 11)];
  const ScanCheck check = category.check;
  const std::vector<std::string>& tokens = category.extensions;
  const std::string token = tokens.empty() ? in.ConsumeRandomLengthString(8)
                                           : tokens[in.ConsumeIntegralInRange<size_t>(0, tokens.size() - 1)];
  const std::string windowsDir = in.PickValueInArray({"C:\\WINDOWS", "c:\\windows", "D:\\W"});
  const std::string options = in.ConsumeBool() ? "11111111111110" : "1111";
  RegValue value;
  value.name = fuzz::PieceText(in, 4);
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegralInRange<uint32_t>(0, 8);
  value.data = fuzz::PieceText(in, 8);
  if (in.ConsumeBool()) value.data += '\0';

  const std::string decoded = DecodeRegString(value);
  Expect(decoded == (value.data.empty()       ? ""
                     : value.type == kRegSz ? value.data.substr(0, value.data.find('\0'))
                                            : kNoRegSz),
         "DecodeRegString");

  // A path is missing when it names something dead; the answers are kept.
  std::vector<std::pair<std::string, bool>> probes;
  const FileProbe exists = [&](const std::string& path) {
    probes.emplace_back(path, !Contains(Lower(path), "dead"));
    return probes.back().second;
  };
  const std::optional<std::string> missing =
      FindMissingFile(check, token, value.name, decoded, windowsDir, exists);
  if (!missing) {
    if (check == SCAN_HISTORY) Expect(probes.empty(), "a history value was probed");
    return 0;
  }
  Expect(check != SCAN_HISTORY, "a history value named a missing file");
  Expect(!missing->empty() && Lower(*missing) != "c:\\", "an empty or drive-only path");
  bool probed = false;
  for (const auto& [path, found] : probes) {
    Expect(!found, "reported although the system has " + path);
    probed = probed || Lower(path) == Lower(*missing);
  }
  Expect(probed, "reported without asking the system about " + *missing);
  if (check == SCAN_SHAREDDLL) {
    Expect(*missing == value.name, "SharedDLLs entry names another file than its value name");
  } else if (check != SCAN_FONT) {
    const std::string source = check == SCAN_HELPFILE ? decoded + "\\" + value.name : decoded;
    Expect(missing->compare(0, 3, "c:\\") == 0 && Contains(Lower(source), *missing),
           "reported path is no C: path in the data: " + *missing);
    if (check == SCAN_PROGRAM || check == SCAN_TYPELIB) {
      Expect(!Contains(Lower(decoded), "\\windows\\"), "a file in the Windows folder");
    }
  }
  if (check != SCAN_COMOBJECT && check != SCAN_SHAREDDLL) {
    Expect(missing->size() >= token.size() &&
               missing->compare(missing->size() - token.size(), token.size(), token) == 0,
           "reported path does not end in " + token);
  }

  const Finding finding =
      MakeFileFinding(check, "cat", category.index, category.startKey, value, *missing,
                      ReadOptionFlags(options));
  Expect(finding.row.shown == (options.size() > 12 && options[12] == '1' ? Shortened(*missing)
                                                                          : *missing),
         "column 2 text");
  Expect(finding.row.valueName == (value.name.empty() ? "(default)" : value.name), "column 1");
  const bool notString = check != SCAN_SHAREDDLL && value.type != kRegSz;
  Expect((finding.record.kind == RecordKind::NotString) == notString, "record kind");
  if (finding.record.kind == RecordKind::Restorable) {
    fuzz::ExpectRecordOf(finding.record.text, RootName(RootOf(check)), category.startKey, value);
  }
  return 0;
}
