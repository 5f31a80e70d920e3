// The registry of the running Windows system through advapi32's ANSI
// functions. Handles are HKEYs.
#pragma once

#include "system/Registry.h"

namespace kw {

class Win32Registry : public Registry {
 public:
  RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) override;
  RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) override;
  void CloseKey(Handle key) override;
  RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) override;
  RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) override;
  RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override;
  RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                     const std::string& data) override;
  RegStatus DeleteValue(Handle key, const std::string& name) override;
  bool IsAnsiExact(Handle key, const std::string& name) override;
};

}  // namespace kw
