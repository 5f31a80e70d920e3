// blacklist.ini: any content loaded, then one entry appended and the file
// loaded again. Every new entry that can read back as itself is added, an
// empty line is no entry (it would stop every search below its root), and no
// line there was is lost.
#include <algorithm>

#include "cleaning/IgnoreList.h"
#include "system/FileError.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static test::FakeEnvironment folder;  // for the whole run
  FuzzedDataProvider in(data, size);
  const std::string entry = fuzz::PieceText(in);
  const std::string file = in.ConsumeRemainingBytesAsString();
  folder.WriteFile("blacklist.ini", file);
  const std::string path = folder.dir() + "\\blacklist.ini";

  std::vector<std::string> lines = fuzz::SplitLines(file);
  std::vector<std::string> before;
  for (size_t i = kIgnoreListHeaderLines; i < lines.size(); ++i)
    if (!lines[i].empty()) before.push_back(lines[i]);
  Expect(LoadIgnoreList(path) == before, "LoadIgnoreList");
  AppendIgnoreEntry(path, entry);
  std::vector<std::string> added = before;
  if (!entry.empty() && entry.find_first_of("\r\n") == std::string::npos &&
      !std::count(before.begin(), before.end(), entry)) {
    added.push_back(entry);  // an entry that reads back as itself and is new
  }
  Expect(LoadIgnoreList(path) == added, "an appended entry does not read back as itself");
  std::vector<std::string> after = fuzz::SplitLines(folder.ReadFile("blacklist.ini"));
  after.resize(std::min(after.size(), lines.size()));
  lines.resize(after.size());
  Expect(after == lines, "AppendIgnoreEntry changed the lines there were");
  return 0;
}
