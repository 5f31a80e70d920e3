#include "tests/support/MemoryRegistry.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>

namespace kw::test {

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

struct MemoryRegistry::Node {
  std::string name;
  std::vector<std::unique_ptr<Node>> children;
  std::vector<RegValue> values;
  std::vector<std::string> notAnsi;
  bool denied = false;

  RegValue* Value(const std::string& valueName) {
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegValue& v) { return SameName(v.name, valueName); });
    return it == values.end() ? nullptr : &*it;
  }
  void Set(const std::string& valueName, uint32_t type, const std::string& data) {
    RegValue* value = Value(valueName);
    if (value == nullptr) value = &values.emplace_back(RegValue{valueName, kRegNone, {}});
    value->type = type;  // the stored name keeps its letter case
    value->data = data;
  }
};

MemoryRegistry::MemoryRegistry() {
  for (auto& root : m_roots) root = std::make_unique<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Walk(RegRoot root, const std::string& path,
                                           bool create) const {
  Node* node = m_roots[static_cast<int>(root)].get();
  const std::string normal = NormalizeKeyPath(path) + "\\";
  for (size_t start = 0, end; (end = normal.find('\\', start)) != std::string::npos;
       start = end + 1) {
    if (end == start) continue;
    const std::string part = normal.substr(start, end - start);
    auto it = std::find_if(node->children.begin(), node->children.end(),
                           [&](const auto& child) { return SameName(child->name, part); });
    if (it != node->children.end()) {
      node = it->get();
      continue;
    }
    if (!create) return nullptr;
    node->children.push_back(std::make_unique<Node>());
    node = node->children.back().get();
    node->name = part;
  }
  return node;
}

MemoryRegistry::OpenHandle* MemoryRegistry::Lookup(Handle key) const {
  auto it = m_handles.find(key);
  if (it != m_handles.end()) return it->second.get();
  ADD_FAILURE() << "MemoryRegistry: unknown or closed key handle " << key;
  return nullptr;
}

RegStatus MemoryRegistry::Open(RegRoot root, const std::string& path, bool create, bool forWrite,
                               Handle* key) {
  *key = nullptr;
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
    values->push_back(withData ? value : RegValue{value.name, kRegNone, {}});
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
  open->node->Set(name, type, data);
  return RegStatus::Ok;
}

RegStatus MemoryRegistry::DeleteValue(Handle key, const std::string& name) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr) return RegStatus::Failed;
  if (!open->forWrite) return RegStatus::AccessDenied;
  RegValue* value = open->node->Value(name);
  if (value == nullptr) return RegStatus::NotFound;
  open->node->values.erase(open->node->values.begin() + (value - open->node->values.data()));
  if (afterEachDelete) afterEachDelete();
  return RegStatus::Ok;
}

bool MemoryRegistry::IsAnsiExact(Handle key, const std::string& name) {
  OpenHandle* open = Lookup(key);
  if (open == nullptr || open->node->Value(name) == nullptr) return false;
  const auto& marked = open->node->notAnsi;
  return std::none_of(marked.begin(), marked.end(),
                      [&](const std::string& n) { return SameName(n, name); });
}

void MemoryRegistry::SetRaw(RegRoot root, const std::string& path, const std::string& name,
                            uint32_t type, const std::string& bytes) {
  Walk(root, path, /*create=*/true)->Set(name, type, bytes);
}

const RegValue* MemoryRegistry::Find(RegRoot root, const std::string& path,
                                     const std::string& name) const {
  Node* node = Walk(root, path, /*create=*/false);
  return node == nullptr ? nullptr : node->Value(name);
}

void MemoryRegistry::DenyAccess(RegRoot root, const std::string& path) {
  Walk(root, path, /*create=*/true)->denied = true;
}

void MemoryRegistry::MarkNotAnsi(RegRoot root, const std::string& path, const std::string& name) {
  Walk(root, path, /*create=*/true)->notAnsi.push_back(name);
}

}  // namespace kw::test
