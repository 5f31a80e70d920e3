// The entry checks on any registry value: what they report must be a file
// the system said is missing (for programs, type libraries and COM servers
// a C: path outside the Windows folder named in the data). The record made
// of the value is record_fuzz's.
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const ScanCategory& category = ScanCategories()[in.ConsumeIntegralInRange(0, 11)];
  const ScanCheck check = category.check;
  const std::vector<std::string>& tokens = category.extensions;
  const std::string token = tokens.empty()
                                ? in.ConsumeRandomLengthString(8)
                                : tokens[in.ConsumeIntegralInRange<size_t>(0, tokens.size() - 1)];
  const std::string windowsDir = in.PickValueInArray({"C:\\WINDOWS", "c:\\windows", "D:\\W"});
  RegValue value;
  value.name = fuzz::PieceText(in, 4);
  value.type = in.ConsumeBool() ? kRegSz : in.ConsumeIntegralInRange<uint32_t>(0, 8);
  value.data = fuzz::PieceText(in, 8) + (in.ConsumeBool() ? std::string(1, '\0') : "");
  const std::string decoded = DecodeRegString(value), lowerData = LowerAscii(decoded);

  std::string lastMissing;  // a path is missing when it names something dead
  const FileProbe exists = [&](const std::string& path) {
    if (LowerAscii(path).find("dead") == std::string::npos) return true;
    lastMissing = LowerAscii(path);
    return false;
  };
  const std::optional<std::string> missing =
      FindMissingFile(check, token, value.name, decoded, windowsDir, exists);
  if (!missing) return 0;
  Expect(check != SCAN_HISTORY && LowerAscii(*missing) != "c:\\" &&
             lastMissing == LowerAscii(*missing),
         "reported without the system saying it is missing: " + *missing);
  if (check == SCAN_PROGRAM || check == SCAN_TYPELIB || check == SCAN_COMOBJECT) {
    Expect(missing->compare(0, 3, "c:\\") == 0 && lowerData.find(*missing) != std::string::npos &&
               lowerData.find("\\windows\\") == std::string::npos,
           "reported path is no C: path outside Windows in the data: " + *missing);
  }
  return 0;
}
