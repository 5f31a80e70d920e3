// config.ini: any file content, then one setting read and one written.
// config.ini is pairs of lines, a key line and the value line after it; a
// value line is never a key, whatever it holds, and a stray line is skipped.
#include <algorithm>

#include "system/SystemTools.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kKeys[] = {"Product ID", "Language", "Dialects[1031]", "Options",
                                      "CheckTime",  "CheckDate", "Startup",        "Homepage"};
  static fuzz::ProgramFolder folder;
  FuzzedDataProvider in(data, size);
  const std::string key = in.PickValueInArray(kKeys);
  std::string value = in.ConsumeRandomLengthString(64);
  value = value.substr(0, value.find_first_of("\r\n"));  // one line, as the dialogs give it
  const std::string file = in.ConsumeRemainingBytesAsString();
  folder.Write("config.ini", file);

  // The value lines of `key`: a line naming a setting is a key line, the next one its value.
  const std::vector<std::string> lines = fuzz::SplitLines(file);
  std::vector<std::string> expected = lines;
  bool found = false;
  std::string last;  // what reading gives: the value line of the last key line
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::find(std::begin(kKeys), std::end(kKeys), lines[i]) == std::end(kKeys)) continue;
    if (lines[i] == key) {
      found = true;
      last = i + 1 < lines.size() ? lines[i + 1] : "";
      expected.resize(std::max(expected.size(), i + 2));
      expected[i + 1] = value;
    }
    ++i;
  }
  CSystemTools tools(folder.env);
  Expect(tools.ReadSetting(key) == last, "ReadSetting(" + key + ")");
  tools.WriteSetting(key, value);
  const std::string written = folder.dir.ReadFile("config.ini");
  std::string crLf;
  for (const std::string& line : fuzz::SplitLines(written)) crLf += line + "\r\n";
  Expect(written == crLf, "config.ini is not written line by line with CR LF");
  if (!found) {
    // The key is missing: the file stays, or gains the pair at its end.
    std::vector<std::string> appended = lines;
    if (appended.size() % 2 == 0) appended.insert(appended.end(), {key, value});
    Expect(fuzz::SplitLines(written) == lines || fuzz::SplitLines(written) == appended,
           "WriteSetting changed a file without " + key);
  } else {
    Expect(fuzz::SplitLines(written) == expected, "WriteSetting(" + key + ") changed other lines");
    Expect(tools.ReadSetting(key) == value, "ReadSetting(" + key + ") after WriteSetting");
  }
  return 0;
}
