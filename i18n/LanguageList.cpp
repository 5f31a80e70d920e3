#include "i18n/LanguageList.h"

#include "system/FileError.h"
#include "system/InputChecks.h"
#include "system/TextFile.h"

namespace kw {

const char kSystemDefaultChoice[] = "System default language";
const char kSystemLanguageSection[] = "[----]";

namespace {
constexpr size_t kHeaderLength = 6;
constexpr size_t kDisplayNameStart = 6;
}  // namespace

std::string LanguageFilePath(const CSystemTools& tools) {
  const std::string name = tools.ReadSetting("Product ID") + "trl.ini";
  const std::string path = tools.GetProgramDir() + "\\" + name;
  // A name that leaves the program folder (or opens a device) is not read:
  // it is reported as a language file that cannot be opened.
  if (!IsPlainFileName(name)) throw FileError(FileError::Cause::Open, path);
  return path;
}

bool IsSectionHeader(const std::string& line) {
  return line.size() == kHeaderLength && line[0] == '[';
}

std::vector<LanguagePair> ReadLanguagePairs(const std::string& languageFilePath) {
  std::vector<LanguagePair> pairs;
  TextFileReader file(languageFilePath);
  std::string line;
  while (file.ReadLine(&line)) {
    if (!IsSectionHeader(line)) continue;
    LanguagePair pair;
    pair.header = line;
    std::string nameLine;
    if (file.ReadLine(&nameLine) && file.ReadLine(&nameLine) &&
        nameLine.size() > kDisplayNameStart) {
      pair.displayName = nameLine.substr(kDisplayNameStart);
    }
    // A section without a name could be neither shown nor chosen.
    if (!pair.displayName.empty()) pairs.push_back(std::move(pair));
  }
  return pairs;
}

std::string ChoiceForLanguage(const std::vector<LanguagePair>& pairs, const std::string& current) {
  std::string choice = kSystemDefaultChoice;
  for (const LanguagePair& pair : pairs) {
    if (pair.header == current) choice = pair.displayName;
  }
  return choice;
}

std::string LanguageForChoice(const std::vector<LanguagePair>& pairs, const std::string& choice,
                              const std::string& current) {
  std::string language = current;
  for (const LanguagePair& pair : pairs) {
    if (pair.displayName == choice) language = pair.header;
  }
  return language;
}

}  // namespace kw
