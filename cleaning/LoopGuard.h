// The key-loop guard: recognises a search that has run into a chain of keys
// repeating one name (...\X\X\X\X\X\X\X\X) and names the key to ignore.
#pragma once

#include <optional>
#include <string>

namespace kw {

// Number of equal trailing path components that count as a loop.
constexpr int kLoopLength = 8;

// For a root-relative key path whose last eight components are equal and
// not empty (compared byte for byte): the ignore-list entry, i.e. the path
// in front of the chain of components with that name (the chain's first key
// when nothing precedes it), or of the first component holding a line break
// in front of that. Empty when no key on the way can be an entry (the loop
// lies below a key of the root whose name has a line break). Otherwise,
// when there is no loop, nothing. `walkStart` is the key the walk began at,
// of which `keyPath` is a part; the entry is never above its child on the way.
std::optional<std::string> LoopGuardEntry(const std::string& keyPath,
                                          const std::string& walkStart = "");

}  // namespace kw
