// The language file's sections as the Language Selection dialog offers them:
// pairs of a section header and the language's display name.
#pragma once

#include <string>
#include <vector>

#include "system/SystemTools.h"

namespace kw {

// What the language box shows when the current language names no section.
extern const char kSystemDefaultChoice[];  // "System default language"

// The "Language" value that follows the system's default language.
extern const char kSystemLanguageSection[];  // "[----]"

struct LanguagePair {
  std::string header;       // "[1033]"
  std::string displayName;  // "English"
};

// Program directory + "\" + "Product ID" + "trl.ini". Throws FileError, as
// for a file that cannot be opened, when "Product ID" + "trl.ini" is not a
// plain file name of the program folder (IsPlainFileName).
std::string LanguageFilePath(const CSystemTools& tools);

// True for a line of exactly six characters that begins with "[".
bool IsSectionHeader(const std::string& line);

// The sections of the language file in file order. The display name is the
// second line after the header, from its seventh character on; reading goes
// on after that line. Headers without a display name are left out.
// Throws FileError when the file cannot be opened.
std::vector<LanguagePair> ReadLanguagePairs(const std::string& languageFilePath);

// Display name of the section `current`, or kSystemDefaultChoice when no
// section has that header. When several match, the last one wins.
std::string ChoiceForLanguage(const std::vector<LanguagePair>& pairs, const std::string& current);

// Header of the last section whose display name equals `choice`; `current`
// when none does.
std::string LanguageForChoice(const std::vector<LanguagePair>& pairs, const std::string& choice,
                              const std::string& current);

}  // namespace kw
