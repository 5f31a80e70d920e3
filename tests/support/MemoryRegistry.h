// An in-memory registry with the Win32 registry's rules that the program
// relies on: names compare without regard to ASCII case, runs of
// backslashes separate like one, subkeys enumerate by name and values in
// creation order (as on Windows), and values change only through a handle
// opened for writing.
#pragma once

#include <strings.h>

#include <algorithm>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "system/Registry.h"

namespace kw::test {

// The first of `items` (keys or values) of that name, in any letter case.
template <typename Items>
auto Named(Items& items, const std::string& name) {
  return std::find_if(items.begin(), items.end(), [&](const auto& item) {
    return strcasecmp(item.name.c_str(), name.c_str()) == 0;
  });
}

class MemoryRegistry : public Registry {
  struct Node {
    std::string name;
    std::list<Node> children{};
    std::vector<RegValue> values{};
    bool denied = false;
  };
  struct OpenKeyState {
    Node* node;
    bool forWrite;
  };

 public:
  RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) override {
    return Open(Walk(root, path, false), forWrite, key);
  }
  RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) override {
    return Open(Walk(root, path, true), true, key);
  }
  void CloseKey(Handle key) override {
    delete static_cast<OpenKeyState*>(key);
    --m_openKeys;
  }
  RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) override {
    names->clear();
    for (const Node& child : NodeOf(key).children) names->push_back(child.name);
    return RegStatus::Ok;
  }
  RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) override {
    values->clear();
    for (const RegValue& v : NodeOf(key).values) {
      values->push_back(withData ? v : RegValue{v.name, kRegNone, {}});
    }
    return RegStatus::Ok;
  }
  RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override {
    const auto it = Named(NodeOf(key).values, name);
    if (it == NodeOf(key).values.end()) return RegStatus::NotFound;
    *value = *it;
    return RegStatus::Ok;
  }
  RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                     const std::string& data) override {
    if (!static_cast<OpenKeyState*>(key)->forWrite) return RegStatus::AccessDenied;
    Set(NodeOf(key), name, type, data);
    return RegStatus::Ok;
  }
  RegStatus DeleteValue(Handle key, const std::string& name) override {
    std::vector<RegValue>& values = NodeOf(key).values;
    const auto it = Named(values, name);
    if (!static_cast<OpenKeyState*>(key)->forWrite) return RegStatus::AccessDenied;
    if (it == values.end()) return RegStatus::NotFound;
    values.erase(it);
    if (afterEachDelete) afterEachDelete();
    return RegStatus::Ok;
  }
  // A name with a '?' stands for one the ANSI code page cannot hold: the ANSI
  // functions show what they cannot convert as '?'.
  bool IsAnsiExact(Handle, const std::string& name) override {
    return name.find('?') == std::string::npos;
  }

  // Set-up and inspection by root-relative path; keys are created on the way.
  void SetRaw(RegRoot root, const std::string& path, const std::string& name, uint32_t type,
              const std::string& data) {
    Set(*Walk(root, path, true), name, type, data);
  }
  void SetString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) {
    SetRaw(root, path, name, kRegSz, text + '\0');
  }
  void AddKey(RegRoot root, const std::string& path) { Walk(root, path, true); }
  const RegValue* Find(RegRoot root, const std::string& path, const std::string& name) {
    Node* node = Walk(root, path, false);
    if (!node) return nullptr;
    const auto it = Named(node->values, name);
    return it == node->values.end() ? nullptr : &*it;
  }
  // A whole key with its subkeys and values, as a hive file holds it.
  using Tree = Node;
  // Takes the key out of the registry (an empty tree when it is missing).
  Tree Detach(RegRoot root, const std::string& path) {
    const std::string normal = NormalizeKeyPath(path);
    const size_t slash = normal.rfind('\\');
    Node* parent = slash == std::string::npos ? &m_roots[static_cast<int>(root)]
                                              : Walk(root, normal.substr(0, slash), false);
    const std::string name = slash == std::string::npos ? normal : normal.substr(slash + 1);
    if (parent == nullptr) return Tree{name};
    auto it = Named(parent->children, name);
    if (it == parent->children.end()) return Tree{name};
    Tree tree = std::move(*it);
    parent->children.erase(it);
    return tree;
  }
  // Puts a tree in as the key `path`, which must not exist.
  void Attach(RegRoot root, const std::string& path, Tree tree) {
    Node* node = Walk(root, path, true);
    node->children = std::move(tree.children);
    node->values = std::move(tree.values);
  }
  // A key that refuses opening.
  void DenyAccess(RegRoot root, const std::string& path) { Walk(root, path, true)->denied = true; }
  // Runs after each value deleted, as another program writing meanwhile.
  std::function<void()> afterEachDelete;
  int openKeys() const { return m_openKeys; }

 private:
  static Node& NodeOf(Handle key) { return *static_cast<OpenKeyState*>(key)->node; }
  // A value set again keeps the letter case of its name.
  static void Set(Node& node, const std::string& name, uint32_t type, const std::string& data) {
    auto it = Named(node.values, name);
    if (it == node.values.end()) it = node.values.insert(it, RegValue{name, kRegNone, {}});
    it->type = type;
    it->data = data;
  }
  Node* Walk(RegRoot root, const std::string& path, bool create) {
    Node* node = &m_roots[static_cast<int>(root)];
    const std::string normal = NormalizeKeyPath(path);
    for (size_t start = 0, end; start < normal.size(); start = end + 1) {
      end = std::min(normal.find('\\', start), normal.size());
      const std::string name = normal.substr(start, end - start);
      auto it = Named(node->children, name);
      if (it == node->children.end()) {
        if (!create) return nullptr;
        it = std::find_if(node->children.begin(), node->children.end(), [&](const Node& child) {
          return strcasecmp(child.name.c_str(), name.c_str()) > 0;
        });
        it = node->children.insert(it, Node{name});
      }
      node = &*it;
    }
    return node;
  }
  RegStatus Open(Node* node, bool forWrite, Handle* key) {
    *key = nullptr;
    if (!node) return RegStatus::NotFound;
    if (node->denied) return RegStatus::AccessDenied;
    *key = new OpenKeyState{node, forWrite};
    ++m_openKeys;
    return RegStatus::Ok;
  }

  Node m_roots[4];
  int m_openKeys = 0;
};

}  // namespace kw::test
