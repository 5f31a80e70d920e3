// An in-memory registry with the Win32 registry's rules that the program
// relies on: names compare without regard to ASCII case, runs of
// backslashes separate like one, keys and values enumerate in creation
// order, and values change only through a handle opened for writing.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
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

  // Set-up and inspection by root-relative path; keys are created on the way.
  void SetRaw(RegRoot root, const std::string& path, const std::string& name, uint32_t type,
              const std::string& bytes);
  void SetString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) {
    SetRaw(root, path, name, kRegSz, text + '\0');
  }
  void AddKey(RegRoot root, const std::string& path) { Walk(root, path, true); }
  bool HasKey(RegRoot root, const std::string& path) const { return Walk(root, path, false); }
  const RegValue* Find(RegRoot root, const std::string& path, const std::string& name) const;
  // A key that refuses opening, and a value the ANSI code page cannot hold.
  void DenyAccess(RegRoot root, const std::string& path);
  void MarkNotAnsi(RegRoot root, const std::string& path, const std::string& name);
  // Runs after each value deleted, as another program writing meanwhile.
  std::function<void()> afterEachDelete;
  int openKeys() const { return static_cast<int>(m_handles.size()); }

 private:
  struct Node;
  struct OpenHandle {
    Node* node;
    bool forWrite;
  };
  Node* Walk(RegRoot root, const std::string& path, bool create) const;
  OpenHandle* Lookup(Handle key) const;  // nullptr and a test failure when unknown
  RegStatus Open(RegRoot root, const std::string& path, bool create, bool forWrite,
                 Handle* key);

  std::unique_ptr<Node> m_roots[3];
  std::map<Handle, std::unique_ptr<OpenHandle>> m_handles;
};

}  // namespace kw::test
