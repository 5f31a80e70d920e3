// Fills the one placeholder of a language text. Language texts come from a
// file that users may edit, so they are never used as a printf format:
// only the first placeholder of the expected kind is replaced, "%%" becomes
// "%", and every other "%" sequence stays as it is written.
//
// Placeholders: "%" [flags "-+ 0#"] [width] ["." precision] [l | ll]
// followed by d, i or u (numbers) or s (texts). Width and precision take at
// most three digits. "%u" prints the number like "%d".
#pragma once

#include <string>

namespace kw {

std::string FormatWithNumber(const std::string& text, long number);
std::string FormatWithText(const std::string& text, const std::string& argument);

}  // namespace kw
