#include "tests/support/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kw::test {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  const std::string normal = NormalizeKeyPath(path);
  size_t start = 0;
  while (start < normal.size()) {
    size_t end = normal.find('\\', start);
    if (end == std::string::npos) end = normal.size();
    parts.push_back(normal.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

constexpr size_t kMaxKeyNameLength = 255;

}  // namespace

struct MemoryRegistry::Node {
  std::string name;
  std::vector<std::unique_ptr<Node>> children;  // creation order
  std::vector<RegValue> values;                 // creation order
  std::vector<std::string> notAnsi;             // value names the code page can't hold
  bool denied = false;

  Node* Child(const std::string& childName) const {
    for (const auto& child : children) {
      if (SameName(child->name, childName)) return child.get();
    }
    return nullptr;
  }
  RegValue* Value(const std::string& valueName) {
    for (RegValue& value : values) {
      if (SameName(value.name, valueName)) return &value;
    }
    return nullptr;
  }
};

struct MemoryRegistry::OpenHandle {
  Node* node;
  bool forWrite;
};

MemoryRegistry::MemoryRegistry() {
  for (auto& root : m_roots) root = std::make_unique<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Walk(RegRoot root, const std::string& path,
                                           bool create) const {
  Node* node = m_roots[static_cast<int>(root)].get();
  for (const std::string& part : Components(path)) {
    Node* child = node->Child(part);
    if (child == nullptr) {
      if (!create || part.size() > kMaxKeyNameLength) return nullptr;
      node->children.push_back(std::make_unique<Node>());
      child = node->children.back().get();
      child->name = part;
    }
    node = child;
  }
  return node;
}

MemoryRegistry::OpenHandle* MemoryRegistry::Lookup(Handle key) const {
  auto it = m_handles.find(key);
  if (it == m_handles.end()) {
    ADD_FAILURE() << "MemoryRegistry: unknown or closed key handle " << key;
    return nullptr;
  }
  return it->second.get();
}

RegStatus MemoryRegistry::Open(RegRoot root, const std::string& path, bool create, bool forWrite,
                               Handle* key) {
  *key = nullptr;
  ++m_openCalls;
  for (const std::string& part : Components(path)) {
    if (part.size() > kMaxKeyNameLength) return RegStatus::Failed;
  }
  Node* node = Walk(root, path, create);
  if (node == nullptr) return RegStatus::NotFound;
  if (node->denied) return RegStatus::AccessDenied;
  auto handle = std::make_unique<OpenHandle>(OpenHandle{node, forWrite});
  *key = handle.get();
  m_handles.emplace(*key, std::move(handle));
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::OpenKey(RegRoot root, const std::string& path, bool forWrite,
                                  Handle* key) {
  return Open(root, path, /*create=*/false, forWrite, key);
}

RegStatus MemoryRegistry::CreateKey(RegRoot root, const std::string& path, Handle* key) {
  return Open(root, path, /*create=*/true, /*forWrite=*/true, key);
}

void MemoryRegistry::CloseKey(Handle key) {
  if (Lookup(key) != nullptr) m_handles.erase(key);
}

RegStatus MemoryRegistry::ListSubKeys(Handle key, std::vector<std::string>* names) {
  names->clear();
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  for (const auto& child : open->node->children) names->push_back(child->name);
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::ListValues(Handle key, bool withData, std::vector<RegValue>* values) {
  values->clear();
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  for (const RegValue& value : open->node->values) {
    if (withData) {
      values->push_back(value);
    } else {
      RegValue nameOnly;
      nameOnly.name = value.name;
      values->push_back(nameOnly);
    }
  }
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::QueryValue(Handle key, const std::string& name, RegValue* value) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  const RegValue* found = open->node->Value(name);
  if (found == nullptr) return RegStatus::NotFound;
  *value = *found;
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::SetValue(Handle key, const std::string& name, uint32_t type,
                                   const std::string& data) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  if (!open->forWrite) return RegStatus::AccessDenied;
  RegValue* existing = open->node->Value(name);
  if (existing == nullptr) {
    open->node->values.push_back(RegValue{name, type, data});
  } else {
    existing->type = type;  // the stored name keeps its letter case
    existing->data = data;
  }
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::DeleteValue(Handle key, const std::string& name) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  if (!open->forWrite) return RegStatus::AccessDenied;
  auto& values = open->node->values;
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const RegValue& v) { return SameName(v.name, name); });
  if (it == values.end()) return RegStatus::NotFound;
  values.erase(it);
  if (m_afterDelete) m_afterDelete();
  return RegStatus::Ok;
}

bool MemoryRegistry::IsAnsiExact(Handle key, const std::string& name) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr || open->node->Value(name) == nullptr) return false;
  const auto& marked = open->node->notAnsi;
  return std::none_of(marked.begin(), marked.end(),
                      [&](const std::string& n) { return SameName(n, name); });
}

void MemoryRegistry::SetString(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& text) {
  SetRaw(root, path, name, kRegSz, text + '\0');
}

void MemoryRegistry::SetRaw(RegRoot root, const std::string& path, const std::string& name,
                            uint32_t type, const std::string& bytes) {
  Node* node = Walk(root, path, /*create=*/true);
  ASSERT_NE(node, nullptr) << "MemoryRegistry: bad key path " << path;
  RegValue* existing = node->Value(name);
  if (existing == nullptr) {
    node->values.push_back(RegValue{name, type, bytes});
  } else {
    existing->type = type;
    existing->data = bytes;
  }
}

void MemoryRegistry::SetDword(RegRoot root, const std::string& path, const std::string& name,
                              uint32_t v) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xff);
  SetRaw(root, path, name, kRegDword, bytes);
}

void MemoryRegistry::AddKey(RegRoot root, const std::string& path) {
  ASSERT_NE(Walk(root, path, /*create=*/true), nullptr) << "MemoryRegistry: bad key path " << path;
}

bool MemoryRegistry::HasKey(RegRoot root, const std::string& path) const {
  return Walk(root, path, /*create=*/false) != nullptr;
}

bool MemoryRegistry::HasValue(RegRoot root, const std::string& path,
                              const std::string& name) const {
  return Find(root, path, name) != nullptr;
}

const RegValue* MemoryRegistry::Find(RegRoot root, const std::string& path,
                                     const std::string& name) const {
  Node* node = Walk(root, path, /*create=*/false);
  return node == nullptr ? nullptr : node->Value(name);
}

void MemoryRegistry::DenyAccess(RegRoot root, const std::string& path) {
  Node* node = Walk(root, path, /*create=*/true);
  ASSERT_NE(node, nullptr) << "MemoryRegistry: bad key path " << path;
  node->denied = true;
}

void MemoryRegistry::MarkNotAnsi(RegRoot root, const std::string& path, const std::string& name) {
  Node* node = Walk(root, path, /*create=*/true);
  ASSERT_NE(node, nullptr) << "MemoryRegistry: bad key path " << path;
  node->notAnsi.push_back(name);
}

int MemoryRegistry::openKeys() const { return static_cast<int>(m_handles.size()); }

}  // namespace kw::test
