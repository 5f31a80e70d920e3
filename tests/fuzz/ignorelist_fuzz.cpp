// blacklist.ini: any content loaded, then one entry appended and the file
// loaded again. Every entry reads back as itself, and an empty line is no
// entry (it would stop every search below its root).
#include "cleaning/IgnoreList.h"
#include "system/FileError.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

std::vector<std::string> EntriesOf(const std::vector<std::string>& lines) {
  std::vector<std::string> entries;
  for (size_t i = kIgnoreListHeaderLines; i < lines.size(); ++i) {
    if (!lines[i].empty()) entries.push_back(lines[i]);
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ProgramFolder folder;
  FuzzedDataProvider in(data, size);
  const std::string entry = fuzz::PieceText(in);
  const std::string file = in.ConsumeRemainingBytesAsString();
  folder.Write("blacklist.ini", file);
  const std::string path = folder.Path("blacklist.ini");

  const std::vector<std::string> lines = fuzz::SplitLines(file);
  const std::vector<std::string> before = EntriesOf(lines);
  Expect(LoadIgnoreList(path) == before, "LoadIgnoreList");

  try {
    AppendIgnoreEntry(path, entry);
  } catch (const FileError&) {
    // Refusing an entry is fine as long as the file stays as it was.
    Expect(folder.Read("blacklist.ini") == file, "a refused entry changed blacklist.ini");
    return 0;
  }
  std::vector<std::string> after = fuzz::SplitLines(folder.Read("blacklist.ini"));
  const std::vector<std::string> entries = LoadIgnoreList(path);
  std::vector<std::string> added = before;
  added.push_back(entry);
  Expect(entries == added || entries == before, "an appended entry does not read back as itself");
  // The lines there were stay, the header padded to its three lines.
  std::vector<std::string> kept = lines;
  if (kept.size() < kIgnoreListHeaderLines) kept.resize(kIgnoreListHeaderLines);
  if (after.size() > kept.size()) after.resize(kept.size());
  Expect(after == kept || after == lines, "AppendIgnoreEntry changed the lines there were");
  return 0;
}
