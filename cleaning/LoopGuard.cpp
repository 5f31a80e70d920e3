#include "cleaning/LoopGuard.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kw {

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> components;
  size_t begin = 0;
  for (;;) {
    const size_t slash = path.find('\\', begin);
    components.push_back(path.substr(begin, slash - begin));
    if (slash == std::string::npos) return components;
    begin = slash + 1;
  }
}

// The path of the first `count` components.
std::string JoinPath(const std::vector<std::string>& components, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) path += '\\';
    path += components[i];
  }
  return path;
}

// True when the last kLoopLength components of `path` are equal and not
// empty. The search asks for every key it visits, so this looks at the
// bytes in place.
bool EndsInChain(const std::string& path) {
  const size_t slash = path.rfind('\\');
  const size_t length = slash == std::string::npos ? path.size() : path.size() - slash - 1;
  if (length == 0) return false;
  const char* name = path.data() + path.size() - length;
  size_t end = path.size() - length;  // where the component found last begins
  for (int found = 1; found < kLoopLength; ++found) {
    // The one in front: "name" between two separators, or at the start.
    if (end < length + 1 || path[end - 1] != '\\') return false;
    const size_t begin = end - 1 - length;
    if (std::memcmp(path.data() + begin, name, length) != 0) return false;
    if (begin > 0 && path[begin - 1] != '\\') return false;
    end = begin;
  }
  return true;
}

}  // namespace

std::optional<std::string> LoopGuardEntry(const std::string& keyPath,
                                          const std::string& walkStart) {
  if (!EndsInChain(keyPath)) return std::nullopt;
  const std::vector<std::string> components = SplitPath(keyPath);
  const std::string& name = components.back();
  if (name.empty()) return std::nullopt;
  size_t chainStart = components.size() - 1;
  while (chainStart > 0 && components[chainStart - 1] == name) --chainStart;
  if (components.size() - chainStart < static_cast<size_t>(kLoopLength)) return std::nullopt;

  // The key in front of the chain; when nothing but the start of the path
  // precedes it, the chain's first key, since an empty entry names no key.
  size_t count = chainStart;
  if (JoinPath(components, count).empty()) ++count;
  // The walk looks its ignore list up only at and below its start key, so an
  // entry above that key would never stop the loop: when the chain begins
  // at the start key or above, the entry is the start key's child on the way.
  if (!walkStart.empty()) {
    count = std::max(count, std::min(SplitPath(walkStart).size() + 1, components.size()));
  }
  // blacklist.ini holds one entry a line: a key whose path has a line break
  // gives way to the nearest key above it.
  for (size_t i = 0; i < count; ++i) {
    if (components[i].find_first_of("\r\n") != std::string::npos) count = i;
  }
  return JoinPath(components, count);
}

}  // namespace kw
