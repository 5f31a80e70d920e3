// The language file: any content as kpwtrl.ini and one section chosen in
// config.ini; every text of the section, or of English where the section
// is unknown or unterminated, must be looked up as written.
#include <algorithm>
#include <map>

#include "i18n/TranslationTable.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

namespace {

// A section runs from its header to "[EOL]"; lines of up to four characters
// are no entries. Gives -1 when there is no such header, 0 when the section
// is unterminated, else 1; `texts` by id up to the first id that is not five
// digits (how such an id reads is not this check's business).
int ReadSection(const std::vector<std::string>& lines, const std::string& header,
                std::map<int, std::string>* texts) {
  size_t i = static_cast<size_t>(std::find(lines.begin(), lines.end(), header) - lines.begin());
  if (i == lines.size()) return -1;
  bool plain = true;
  for (++i; i < lines.size() && lines[i] != "[EOL]"; ++i) {
    if (lines[i].size() <= 4 || !plain) continue;
    plain = lines[i].find_first_not_of("0123456789") >= 5;
    if (plain)
      texts->emplace(std::stoi(lines[i].substr(0, 5)),
                     lines[i].size() > 6 ? lines[i].substr(6) : "");
  }
  return i < lines.size() ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static test::FakeEnvironment folder;  // for the whole run
  FuzzedDataProvider in(data, size);
  const size_t pick = in.ConsumeIntegralInRange(0, 99999);
  const std::string file = in.ConsumeRemainingBytesAsString();
  const std::vector<std::string> lines = fuzz::SplitLines(file);
  std::string chosen = "[1033]";
  if (!lines.empty()) {
    const std::string& line = lines[pick % lines.size()];
    if (line.size() == 6 && line[0] == '[' && line != "[----]") chosen = line;
  }
  folder.WriteFile("config.ini", "Product ID\r\nkpw\r\nLanguage\r\n" + chosen + "\r\n");
  folder.WriteFile("kpwtrl.ini", file);
  TranslationTable table(folder);
  table.LoadLanguage();

  std::map<int, std::string> texts, english;
  if (ReadSection(lines, chosen, &texts) != 1 && ReadSection(lines, "[1033]", &english) >= 0)
    texts = english;
  for (const auto& [id, text] : texts) fuzz::Expect(table.LookupText(id) == text, "LookupText");
  return 0;
}
