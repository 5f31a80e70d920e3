// Text formatting: any language text with a number or a text filled in,
// against the C library's printf for the one placeholder that is filled.
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <regex>

#include "i18n/TextFormat.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace kw;

namespace {

const std::regex kNumberPlaceholder("%([-+ 0#]*[0-9]{0,3}(\\.[0-9]{0,3})?)l{0,2}[diu]");
const std::regex kTextPlaceholder("%([-+ 0#]*[0-9]{0,3}(\\.[0-9]{0,3})?)s");

// "%%" is "%", the first placeholder that `pattern` matches is `render`ed
// from its flags, width and precision; every other character stays.
template <typename Render>
std::string Expected(const std::string& text, const std::regex& pattern, Render render) {
  std::string out;
  bool filled = false;
  for (size_t pos = 0; pos < text.size();) {
    std::smatch match;
    if (text.compare(pos, 2, "%%") == 0) {
      out += '%';
      pos += 2;
    } else if (text[pos] == '%' && !filled &&
               std::regex_search(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(), match,
                                 pattern, std::regex_constants::match_continuous)) {
      out += render(match[1].str());
      pos += static_cast<size_t>(match.length(0));
      filled = true;
    } else {
      out += text[pos++];
    }
  }
  return out;
}

std::string Printf(const std::string& spec, const char* conversion, ...) {
  const std::string format = "%" + spec + conversion;
  va_list args;
  va_start(args, conversion);
  std::vector<char> buffer(4096);
  const int length = std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), args);
  va_end(args);
  return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const long number = in.ConsumeBool() ? in.PickValueInArray({0L, -1L, LONG_MIN, LONG_MAX})
                                       : in.ConsumeIntegral<long>();
  std::string argument = in.ConsumeRandomLengthString(64);
  argument = argument.substr(0, argument.find('\0'));  // printf's %s ends there
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::string withNumber = FormatWithNumber(text, number);
  fuzz::Expect(withNumber == Expected(text, kNumberPlaceholder,
                                      [&](const std::string& spec) {
                                        return Printf(spec, "ld", number);
                                      }),
               "FormatWithNumber: " + withNumber);
  const std::string withText = FormatWithText(text, argument);
  fuzz::Expect(withText == Expected(text, kTextPlaceholder,
                                    [&](const std::string& spec) {
                                      return Printf(spec, "s", argument.c_str());
                                    }),
               "FormatWithText: " + withText);
  return 0;
}
