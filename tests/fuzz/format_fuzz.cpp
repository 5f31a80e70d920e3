// Text formatting: any language text with a number or a text filled in,
// against the C library's printf for the one placeholder that is filled.
#include <climits>
#include <regex>

#include "i18n/TextFormat.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

namespace {

// "%%" is "%", the first placeholder that `pattern` matches is printed with
// `conversion` from its flags, width and precision; all else stays.
template <typename Argument>
std::string Expected(const std::string& text, const char* pattern, const char* conversion,
                     Argument argument) {
  const std::regex placeholder(std::string("%([-+ 0#]*[0-9]{0,3}(\\.[0-9]{0,3})?)") + pattern);
  std::string out;
  bool filled = false;
  for (size_t pos = 0; pos < text.size();) {
    std::smatch match;
    if (text.compare(pos, 2, "%%") == 0) {
      out += '%';
      pos += 2;
    } else if (text[pos] == '%' && !filled &&
               std::regex_search(text.begin() + std::ptrdiff_t(pos), text.end(), match, placeholder,
                                 std::regex_constants::match_continuous)) {
      char buffer[4096];
      std::snprintf(buffer, sizeof buffer, ("%" + match[1].str() + conversion).c_str(), argument);
      out += buffer;
      pos += size_t(match.length(0));
      filled = true;
    } else {
      out += text[pos++];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const long number = in.ConsumeBool() ? in.PickValueInArray({0L, -1L, LONG_MIN, LONG_MAX})
                                       : in.ConsumeIntegral<long>();
  std::string argument = in.ConsumeRandomLengthString(64);
  argument = argument.substr(0, argument.find('\0'));  // printf's %s ends there
  const std::string text = in.ConsumeRemainingBytesAsString();
  fuzz::Expect(FormatWithNumber(text, number) == Expected(text, "l{0,2}[diu]", "ld", number),
               "FormatWithNumber");
  fuzz::Expect(FormatWithText(text, argument) == Expected(text, "s", "s", argument.c_str()),
               "FormatWithText");
  return 0;
}
