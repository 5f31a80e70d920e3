// An in-memory registry with the Win32 registry's rules that the program
// relies on: key and value names compare without regard to case (ASCII
// letters), a leading backslash and runs of backslashes separate like one,
// keys and values enumerate in creation order, values keep type and raw
// bytes, key names are at most 255 characters, and values can be set or
// deleted only through a handle opened for writing.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "system/Registry.h"

namespace kw::test {

class MemoryRegistry : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

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

  // Test set-up and inspection, by root-relative path.
  void SetString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text);  // REG_SZ with terminating zero
  void SetRaw(RegRoot root, const std::string& path, const std::string& name, uint32_t type,
              const std::string& bytes);
  void SetDword(RegRoot root, const std::string& path, const std::string& name, uint32_t v);
  void AddKey(RegRoot root, const std::string& path);
  bool HasKey(RegRoot root, const std::string& path) const;
  bool HasValue(RegRoot root, const std::string& path, const std::string& name) const;
  // The value, or nullptr.
  const RegValue* Find(RegRoot root, const std::string& path, const std::string& name) const;
  // Keys that refuse opening (access denied), and values whose name or data
  // the ANSI code page cannot hold.
  void DenyAccess(RegRoot root, const std::string& path);
  void MarkNotAnsi(RegRoot root, const std::string& path, const std::string& name);
  // Runs `action` after each value deleted through DeleteValue, as another
  // program that writes while the program deletes.
  void AfterEachDelete(std::function<void()> action) { m_afterDelete = std::move(action); }
  // Number of Open/Create calls so far, and keys still open.
  int openCalls() const { return m_openCalls; }
  int openKeys() const;

 private:
  struct Node;
  struct OpenHandle;
  Node* Walk(RegRoot root, const std::string& path, bool create) const;
  // The handle's key, or nullptr (and a test failure) for an unknown handle.
  OpenHandle* Lookup(Handle key) const;
  RegStatus Open(RegRoot root, const std::string& path, bool create, bool forWrite,
                 Handle* key);

  std::unique_ptr<Node> m_roots[3];
  // Every Open/Create hands out a fresh handle; CloseKey gives it back.
  std::map<Handle, std::unique_ptr<OpenHandle>> m_handles;
  int m_openCalls = 0;
  std::function<void()> m_afterDelete;
};

}  // namespace kw::test
