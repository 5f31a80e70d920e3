#include "i18n/TranslationTable.h"

#include <vector>

#include "i18n/LanguageList.h"
#include "system/TextFile.h"

namespace kw {

namespace {

const char kEnglishSection[] = "[1033]";
const char kGermanSection[] = "[1031]";
const char kEndOfSection[] = "[EOL]";
const char kLanguageKeyPath[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

// Lines of this length or shorter inside a section are not entries.
constexpr size_t kShortestSkippedLine = 4;
constexpr size_t kIdDigits = 5;
constexpr size_t kTextStart = 6;  // the id, one separator character, the text

enum class SectionRead { Missing, Unterminated, Complete };

// Entries of the section that `header` starts, appended in file order.
SectionRead ReadSection(const std::vector<std::string>& lines, const std::string& header,
                        std::unique_ptr<TranslationEntry>* chain) {
  chain->reset();
  size_t i = 0;
  while (i < lines.size() && lines[i] != header) ++i;
  if (i == lines.size()) return SectionRead::Missing;

  std::unique_ptr<TranslationEntry>* tail = chain;
  for (++i; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == kEndOfSection) return SectionRead::Complete;
    if (line.size() <= kShortestSkippedLine) continue;
    int32_t id = CSystemTools::ParseDecimal(line.substr(0, kIdDigits));
    std::string text = line.size() > kTextStart ? line.substr(kTextStart) : std::string();
    *tail = std::make_unique<TranslationEntry>(id, std::move(text));
    tail = &(*tail)->next;
  }
  return SectionRead::Unterminated;
}

}  // namespace

TranslationEntry::~TranslationEntry() {
  std::unique_ptr<TranslationEntry> rest = std::move(next);
  while (rest) rest = std::move(rest->next);
}

TranslationTable::TranslationTable(Environment& env) : m_tools(env) {}

std::string TranslationTable::ResolveSystemLanguage(const std::string& languageFile) {
  m_tools.m_strKeyPath = kLanguageKeyPath;
  std::string value = m_tools.ReadRegString(kReadLocalMachine, "Default");
  std::string candidate = "[" + std::to_string(CSystemTools::ParseHex(value)) + "]";
  if (m_tools.ReadSetting("Dialects[1031]").find(candidate) != std::string::npos) {
    candidate = kGermanSection;
  }
  return CSystemTools::SectionExists(languageFile, candidate) ? candidate : kEnglishSection;
}

void TranslationTable::LoadLanguage() {
  const std::string languageFile = LanguageFilePath(m_tools);
  std::string section = m_tools.ReadSetting("Language");
  if (section == kSystemLanguageSection) section = ResolveSystemLanguage(languageFile);

  const std::vector<std::string> lines = ReadAllLines(languageFile);
  std::unique_ptr<TranslationEntry> chain;
  if (ReadSection(lines, section, &chain) != SectionRead::Complete && section != kEnglishSection) {
    // An unknown or broken section: English is better than no texts at all.
    std::unique_ptr<TranslationEntry> english;
    if (ReadSection(lines, kEnglishSection, &english) != SectionRead::Missing) {
      chain = std::move(english);
    }
  }
  m_firstEntry = std::move(chain);
}

std::string TranslationTable::LookupText(int id) const {
  for (const TranslationEntry* entry = m_firstEntry.get(); entry; entry = entry->next.get()) {
    if (entry->id == id) return entry->text;
  }
  return std::string();
}

}  // namespace kw
