#include "options/OptionsString.h"

namespace kw {

bool OptionIsOn(const std::string& options, int position) {
  return position >= 0 && static_cast<size_t>(position) < options.size() &&
         options[static_cast<size_t>(position)] == '1';
}

OptionFlags ReadOptionFlags(const std::string& options) {
  OptionFlags flags{};
  for (int i = 0; i < kOptionCount; ++i) flags[static_cast<size_t>(i)] = OptionIsOn(options, i);
  return flags;
}

std::string BuildOptions(const OptionFlags& flags) {
  std::string options(kOptionCount, '0');
  for (size_t i = 0; i < flags.size(); ++i) {
    if (flags[i]) options[i] = '1';
  }
  return options;
}

std::string BuildOptions(const bool (&flags)[kOptionCount]) {
  OptionFlags copy{};
  for (size_t i = 0; i < copy.size(); ++i) copy[i] = flags[i];
  return BuildOptions(copy);
}

}  // namespace kw
