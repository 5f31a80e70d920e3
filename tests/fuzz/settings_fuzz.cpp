// config.ini: any file content, then one setting read and one written.
// config.ini is pairs of lines, a key line and the value line after it; a
// value line is never a key, whatever it holds, and a stray line is skipped.
// Writing replaces the key's value lines, changes no other line and writes
// every line with CR LF.
#include <algorithm>

#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kKeys[] = {"Product ID", "Language",  "Dialects[1031]",
                                      "Options",    "CheckTime", "CheckDate",
                                      "Startup",    "Homepage",  "Window Placement"};
  static test::FakeEnvironment folder;  // for the whole run
  FuzzedDataProvider in(data, size);
  const std::string key = in.PickValueInArray(kKeys);
  std::string value = in.ConsumeRandomLengthString(64);
  value = value.substr(0, value.find_first_of("\r\n"));  // one line, as the dialogs give it
  const std::string file = in.ConsumeRemainingBytesAsString();
  folder.WriteFile("config.ini", file);

  const std::vector<std::string> lines = fuzz::SplitLines(file);
  std::vector<std::string> expected = lines;
  std::string last;  // what reading gives: the value line of the last key line
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::find(std::begin(kKeys), std::end(kKeys), lines[i]) == std::end(kKeys)) continue;
    if (lines[i] == key) {
      last = i + 1 < lines.size() ? lines[i + 1] : "";
      expected.resize(std::max(expected.size(), i + 2));
      expected[i + 1] = value;
    }
    ++i;
  }
  CSystemTools tools(folder);
  Expect(tools.ReadSetting(key) == last, "ReadSetting(" + key + ")");
  tools.WriteSetting(key, value);
  std::string crLf;
  for (const std::string& line : expected) crLf += line + "\r\n";
  Expect(folder.ReadFile("config.ini") == crLf, "WriteSetting(" + key + ")");
  return 0;
}
