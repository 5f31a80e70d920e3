// The language file: any content as kpwtrl.ini, one section chosen in
// config.ini, then the loaded texts and the Language Selection pairs.
#include <algorithm>
#include <map>

#include "i18n/LanguageList.h"
#include "i18n/TranslationTable.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

// A section runs from its header to "[EOL]"; lines of up to four characters
// are no entries. Gives -1 when there is no such header, 0 when the section
// is unterminated, else 1; `texts` by id up to the first id that is not five
// digits (how such an id reads is not this check's business).
int ReadSection(const std::vector<std::string>& lines, const std::string& header,
                std::map<int, std::string>* texts, bool* allPlain) {
  size_t i = static_cast<size_t>(std::find(lines.begin(), lines.end(), header) - lines.begin());
  if (i == lines.size()) return -1;
  for (++i; i < lines.size() && lines[i] != "[EOL]"; ++i) {
    if (lines[i].size() <= 4 || !*allPlain) continue;
    *allPlain = lines[i].find_first_not_of("0123456789") >= 5;
    if (*allPlain) texts->emplace(std::stoi(lines[i].substr(0, 5)), lines[i].size() > 6 ? lines[i].substr(6) : "");
  }
  return i < lines.size() ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ProgramFolder folder;
  FuzzedDataProvider in(data, size);
  const int probeId = in.ConsumeIntegralInRange(0, 99999);
  const std::string file = in.ConsumeRemainingBytesAsString();
  const std::vector<std::string> lines = fuzz::SplitLines(file);
  std::string chosen = "[1033]";
  if (!lines.empty()) {
    const std::string& line = lines[static_cast<size_t>(probeId) % lines.size()];
    if (line.size() == 6 && line[0] == '[' && line != "[----]") chosen = line;
  }
  folder.Write("config.ini", "Product ID\r\nkpw\r\nLanguage\r\n" + chosen + "\r\n");
  folder.Write("kpwtrl.ini", file);
  TranslationTable table(folder.env);
  table.LoadLanguage();

  // An unknown or unterminated section gives way to the English one.
  std::map<int, std::string> texts, english;
  bool plain = true, englishPlain = true;
  if (ReadSection(lines, chosen, &texts, &plain) != 1 &&
      ReadSection(lines, "[1033]", &english, &englishPlain) >= 0) {
    texts = english;
    plain = englishPlain;
  }
  for (const auto& [id, text] : texts) Expect(table.LookupText(id) == text, "LookupText");
  Expect(!plain || table.LookupText(probeId) == (texts.count(probeId) ? texts[probeId] : ""),
         "LookupText of an id the section may not hold");

  // A header's display name is on the second line after it; reading goes on after that line.
  std::string expected, pairs;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() != 6 || lines[i][0] != '[') continue;
    if (i + 2 < lines.size() && lines[i + 2].size() > 6) expected += lines[i] + lines[i + 2].substr(6) + "\n";
    i += 2;
  }
  for (const LanguagePair& pair : ReadLanguagePairs(folder.Path("kpwtrl.ini"))) {
    pairs += pair.header + pair.displayName + "\n";
  }
  Expect(pairs == expected, "ReadLanguagePairs");
  return 0;
}
