#include "bench/BareWalker.h"

#include <algorithm>

#include "scan/KeyWalker.h"
#include "system/Win32Registry.h"

namespace kw::bench {

void BareWalker::Walk(RegRoot root, const std::string& startPath) {
  Win32Registry registry;
  Registry::Handle key = nullptr;
  if (registry.OpenKey(root, startPath, /*forWrite=*/false, &key) != RegStatus::Ok) return;
  WalkOpenKey(static_cast<HKEY>(key), startPath);
  registry.CloseKey(key);
}

void BareWalker::WalkOpenKey(HKEY key, const std::string& keyPath) {
  ++m_keys;
  DWORD subKeyCount = 0;
  DWORD valueCount = 0;
  DWORD maxValueName = 0;
  DWORD maxValueData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeyCount, nullptr, nullptr, &valueCount,
                   &maxValueName, &maxValueData, nullptr, nullptr);

  if (m_nameBuffer.size() < maxValueName + 1) m_nameBuffer.resize(maxValueName + 1);
  if (m_dataBuffer.size() < maxValueData + 1) m_dataBuffer.resize(maxValueData + 1);
  for (DWORD i = 0; i < valueCount; ++i) {
    DWORD nameLength = static_cast<DWORD>(m_nameBuffer.size());
    DWORD dataSize = static_cast<DWORD>(m_dataBuffer.size());
    DWORD type = REG_NONE;
    LONG rc = RegEnumValueA(key, i, m_nameBuffer.data(), &nameLength, nullptr, &type,
                            m_dataBuffer.data(), &dataSize);
    if (rc == ERROR_MORE_DATA) {  // the value grew since the count was taken
      m_nameBuffer.resize(16384);
      m_dataBuffer.resize(std::max<size_t>(dataSize + 1, m_dataBuffer.size() * 2));
      nameLength = static_cast<DWORD>(m_nameBuffer.size());
      dataSize = static_cast<DWORD>(m_dataBuffer.size());
      rc = RegEnumValueA(key, i, m_nameBuffer.data(), &nameLength, nullptr, &type,
                         m_dataBuffer.data(), &dataSize);
    }
    if (rc == ERROR_SUCCESS) ++m_values;
  }

  std::vector<std::string> subKeys;
  subKeys.reserve(subKeyCount);
  char name[256];
  for (DWORD i = 0; i < subKeyCount; ++i) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      subKeys.emplace_back(name, length);
  }

  for (const std::string& subKey : subKeys) {
    if (IsExcludedSubKey(subKey)) continue;
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, subKey.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    WalkOpenKey(child, keyPath + "\\" + subKey);
    RegCloseKey(child);
  }
}

}  // namespace kw::bench
