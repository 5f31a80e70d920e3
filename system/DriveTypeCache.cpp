#include "system/DriveTypeCache.h"

namespace kw {

unsigned DriveTypeCache::TypeOf(const std::string& root, uint32_t nowMs) {
  const auto known = m_answers.find(root);
  if (known != m_answers.end() && nowMs - known->second.asked < kLifetimeMs) {
    return known->second.type;
  }
  const unsigned type = m_ask(root);
  m_answers[root] = Answer{type, nowMs};
  return type;
}

}  // namespace kw
