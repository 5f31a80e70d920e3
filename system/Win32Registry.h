// The registry of the running Windows system through advapi32's ANSI
// functions. Handles are HKEYs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "system/Registry.h"

namespace kw {

class Win32Registry : public Registry {
 public:
  RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) override;
  RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) override;
  void CloseKey(Handle key) override;
  RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) override;
  RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) override;
  RegStatus ListKey(Handle key, std::vector<RegValue>* values,
                    std::vector<std::string>* subKeys) override;
  RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override;
  RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                     const std::string& data) override;
  RegStatus DeleteValue(Handle key, const std::string& name) override;
  bool IsAnsiExact(Handle key, const std::string& name) override;
  void SetListingHook(std::function<void()> hook) override { m_listingHook = std::move(hook); }

 private:
  // The stored names of the values of the key that IsAnsiExact looked at
  // last, each with the name the ANSI functions show for it. Kept while the
  // key stays open and its value count and last write time stay the same,
  // so that checking many values of one key lists its names once.
  struct ValueNames {
    Handle key = nullptr;
    uint32_t count = 0;
    uint64_t lastWrite = 0;
    std::vector<std::wstring> stored;
    std::vector<std::string> shown;
  };
  // m_valueNames for `key`, read again when it may have changed; false
  // when the key cannot be read.
  bool UpdateValueNames(Handle key);

  ValueNames m_valueNames;
  std::function<void()> m_listingHook;
};

}  // namespace kw
