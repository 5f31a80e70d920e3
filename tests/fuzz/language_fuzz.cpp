// The language file: any content as kpwtrl.ini, one section chosen in
// config.ini, then the loaded texts and the Language Selection pairs.
#include <map>

#include "i18n/LanguageList.h"
#include "i18n/TranslationTable.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;
using kw::fuzz::Expect;

namespace {

struct Section {
  bool found = false;
  bool complete = false;
  std::vector<std::pair<std::string, std::string>> entries;  // five id characters, text
};

// A section runs from its header to "[EOL]"; lines of up to four
// characters in it are no entries.
Section ReadSection(const std::vector<std::string>& lines, const std::string& header) {
  Section section;
  size_t i = 0;
  while (i < lines.size() && lines[i] != header) ++i;
  section.found = i < lines.size();
  for (++i; i < lines.size() && !section.complete; ++i) {
    if (lines[i] == "[EOL]") {
      section.complete = true;
    } else if (lines[i].size() > 4) {
      const std::string& line = lines[i];
      section.entries.emplace_back(line.substr(0, 5), line.size() > 6 ? line.substr(6) : "");
    }
  }
  return section;
}

bool AllDigits(const std::string& text) {
  return text.find_first_not_of("0123456789") == std::string::npos;
}

void CheckLookups(const TranslationTable& table, const Section& section, int probeId) {
  // Texts by id, up to the first entry whose id is not five digits: how
  // such an id reads is not this check's business.
  std::map<int, std::string> texts;
  bool allKnown = true;
  for (const auto& [id, text] : section.entries) {
    if (!AllDigits(id)) {
      allKnown = false;
      break;
    }
    texts.emplace(std::stoi(id), text);
  }
  for (const auto& [id, text] : texts) {
    Expect(table.LookupText(id) == text, "LookupText(" + std::to_string(id) + ")");
  }
  if (allKnown) {
    const auto it = texts.find(probeId);
    Expect(table.LookupText(probeId) == (it == texts.end() ? "" : it->second),
           "LookupText of an id the section may not hold");
  }
}

void CheckPairs(const std::vector<std::string>& lines, const std::string& path) {
  std::vector<LanguagePair> expected;
  // A header's display name is on the second line after it; reading goes
  // on after that line.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() != 6 || lines[i][0] != '[') continue;
    const std::string name = i + 2 < lines.size() ? lines[i + 2] : "";
    if (name.size() > 6) expected.push_back({lines[i], name.substr(6)});
    i += 2;
  }
  const std::vector<LanguagePair> pairs = ReadLanguagePairs(path);
  Expect(pairs.size() == expected.size(), "ReadLanguagePairs count");
  for (size_t i = 0; i < pairs.size(); ++i) {
    Expect(pairs[i].header == expected[i].header && pairs[i].displayName == expected[i].displayName,
           "ReadLanguagePairs pair " + std::to_string(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ProgramFolder folder;
  FuzzedDataProvider in(data, size);
  const int probeId = in.ConsumeIntegralInRange(0, 99999);
  const std::string file = in.ConsumeRemainingBytesAsString();
  const std::vector<std::string> lines = fuzz::SplitLines(file);

  // The chosen section: the header of some line of the file, or English.
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
  Section section = ReadSection(lines, chosen);
  const Section english = ReadSection(lines, "[1033]");
  if (!section.complete && english.found) section = english;
  CheckLookups(table, section, probeId);
  CheckPairs(lines, folder.Path("kpwtrl.ini"));
  return 0;
}
