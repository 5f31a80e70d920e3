// Drive types as the file probe needs them. Under Wine each answer of the
// system is a round trip to the mount manager, dearer than the probe itself,
// and a search probes thousands of paths on a few drives: an answer is kept
// for a second, long enough to serve a burst of probes, short enough that a
// drive attached or removed meanwhile is seen by the next search.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace kw {

// The answers of GetDriveType that the probe tells apart.
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRamDisk = 6;

// Whether a path missing on a drive of `type` is gone: only on a fixed or a
// RAM drive. A removable, network or optical medium may just be elsewhere.
inline bool IsProbedDriveType(unsigned type) {
  return type == kDriveFixed || type == kDriveRamDisk;
}

class DriveTypeCache {
 public:
  static constexpr uint32_t kLifetimeMs = 1000;

  // `ask` gives the system's answer for a drive root.
  explicit DriveTypeCache(std::function<unsigned(const std::string& root)> ask)
      : m_ask(std::move(ask)) {}

  // The type of `root` ("X:\" or "\\server\share\") at `nowMs`, a
  // millisecond tick count that may wrap around.
  unsigned TypeOf(const std::string& root, uint32_t nowMs);

 private:
  struct Answer {
    unsigned type;
    uint32_t asked;
  };
  std::function<unsigned(const std::string&)> m_ask;
  std::map<std::string, Answer> m_answers;
};

}  // namespace kw
