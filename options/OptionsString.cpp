#include "options/OptionsString.h"

namespace kw {

OptionFlags ReadOptionFlags(const std::string& options) {
  OptionFlags flags{};
  for (size_t i = 0; i < flags.size() && i < options.size(); ++i) flags[i] = options[i] == '1';
  return flags;
}

std::string BuildOptions(const OptionFlags& flags) {
  std::string options(kOptionCount, '0');
  for (size_t i = 0; i < flags.size(); ++i) {
    if (flags[i]) options[i] = '1';
  }
  return options;
}

}  // namespace kw
