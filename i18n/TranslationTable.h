// TranslationTable: the texts of one language section of the language file,
// looked up by their numeric id.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "system/Environment.h"
#include "system/SystemTools.h"

namespace kw {

// One line of a language section. Entries form a singly linked chain in file
// order.
struct TranslationEntry {
  TranslationEntry(int32_t entryId, std::string entryText)
      : id(entryId), text(std::move(entryText)) {}
  // Unlinks the rest of the chain one entry at a time, so that a very long
  // section cannot exhaust the stack through nested destructors.
  ~TranslationEntry();

  int32_t id;
  std::string text;
  std::unique_ptr<TranslationEntry> next;
};

class TranslationTable {
 public:
  explicit TranslationTable(Environment& env = CurrentEnvironment());

  // Replaces the table with the section that the settings "Product ID" and
  // "Language" choose. "[----]" stands for the system's default language:
  // its section when the file has one (languages listed in "Dialects[1031]"
  // count as German), English otherwise. A section the file does not hold,
  // or one without its "[EOL]" line, gives the English section "[1033]".
  // Throws FileError when config.ini or the language file cannot be opened;
  // the table is then left as it was.
  void LoadLanguage();

  // Text of the first entry with this id; empty when the section has none.
  std::string LookupText(int id) const;

  CSystemTools m_tools;
  std::unique_ptr<TranslationEntry> m_firstEntry;

 private:
  std::string ResolveSystemLanguage(const std::string& languageFile);
};

}  // namespace kw
