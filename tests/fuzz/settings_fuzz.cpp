// config.ini: any file content, then one setting read and one written.
// config.ini is pairs of lines, a key line and the value line after it; a
// value line is never a key, whatever it holds, and a stray line is skipped.
#include <algorithm>

#include "system/SystemTools.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

const char* const kKeys[] = {"Product ID", "Language", "Dialects[1031]", "Options",
                             "CheckTime",  "CheckDate", "Startup",        "Homepage"};

// Positions of the value lines of `key` (a value line may be missing at the
// end). A line naming a setting is a key line and the next line its value;
// a stray line between pairs stands alone.
std::vector<size_t> ValuePositions(const std::vector<std::string>& lines, const std::string& key) {
  std::vector<size_t> positions;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::find(std::begin(kKeys), std::end(kKeys), lines[i]) == std::end(kKeys)) continue;
    if (lines[i] == key) positions.push_back(i + 1);
    ++i;
  }
  return positions;
}

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ProgramFolder folder;
  FuzzedDataProvider in(data, size);
  const std::string key = in.PickValueInArray(kKeys);
  std::string value = in.ConsumeRandomLengthString(64);
  value = value.substr(0, value.find_first_of("\r\n"));  // one line, as the dialogs give it
  const std::string file = in.ConsumeRemainingBytesAsString();
  folder.Write("config.ini", file);

  const std::vector<std::string> lines = fuzz::SplitLines(file);
  const std::vector<size_t> positions = ValuePositions(lines, key);
  CSystemTools tools(folder.env);

  const std::string read = tools.ReadSetting(key);
  bool readOne = positions.empty() && read.empty();
  for (size_t p : positions) readOne = readOne || (p < lines.size() ? lines[p] : "") == read;
  Expect(readOne, "ReadSetting(" + key + ") gave " + read);

  tools.WriteSetting(key, value);
  const std::string written = folder.Read("config.ini");
  const std::vector<std::string> after = fuzz::SplitLines(written);
  Expect(written == FileOf(after), "config.ini is not written line by line with CR LF");
  if (positions.empty()) {
    // The key is missing: the file stays, or gains the pair at its end.
    std::vector<std::string> appended = lines;
    if (appended.size() % 2 == 0) appended.insert(appended.end(), {key, value});
    Expect(after == lines || after == appended, "WriteSetting changed a file without " + key);
  } else {
    std::vector<std::string> expected = lines;
    if (expected.size() == positions.back()) expected.push_back(value);
    for (size_t i = 0; i < expected.size(); ++i) {
      const bool valueLine = std::find(positions.begin(), positions.end(), i) != positions.end();
      Expect(after.size() == expected.size() &&
                 (after[i] == expected[i] || (valueLine && after[i] == value)),
             "WriteSetting(" + key + ") changed line " + std::to_string(i));
    }
    Expect(tools.ReadSetting(key) == value, "ReadSetting(" + key + ") after WriteSetting");
  }
  return 0;
}
