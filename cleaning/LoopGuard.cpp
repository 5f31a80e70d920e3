#include "cleaning/LoopGuard.h"

namespace kw {

std::optional<std::string> LoopGuardEntry(const std::string& keyPath) {
  std::string rest = keyPath;
  std::string last;
  for (int i = 0; i < kLoopLength; ++i) {
    const size_t slash = rest.rfind('\\');
    std::string component;
    if (slash == std::string::npos) {
      component.swap(rest);
    } else {
      component = rest.substr(slash + 1);
      rest.erase(slash);
    }
    if (i == 0) {
      if (component.empty()) return std::nullopt;
      last = component;
    } else if (component != last) {
      return std::nullopt;
    }
  }
  // The name may first occur inside an earlier, longer component; the entry
  // is cut there all the same.
  const size_t start = keyPath.find(last);
  if (start == 0) return std::string();
  return keyPath.substr(0, start - 1);
}

}  // namespace kw
