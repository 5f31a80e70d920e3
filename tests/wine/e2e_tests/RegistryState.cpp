#include "tests/wine/e2e_tests/RegistryState.h"

#include <algorithm>

namespace kw::test {
namespace {

class Key {
 public:
  Key(HKEY root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &m_key) != ERROR_SUCCESS) m_key = nullptr;
  }
  ~Key() {
    if (m_key) RegCloseKey(m_key);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

std::string Utf8(const wchar_t* text, size_t length) {
  if (length == 0) return "";
  int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], size, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return L"";
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

}  // namespace

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

HKEY RootByName(const std::string& rootName) {
  if (rootName == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (rootName == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (rootName == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (rootName == "HKEY_USERS") return HKEY_USERS;
  return nullptr;
}

StoredValue StringValue(const std::string& text) {
  StoredValue value;
  value.type = REG_SZ;
  value.data = text + '\0';
  return value;
}

bool ReadValue(HKEY root, const std::string& keyPath, const std::string& name, StoredValue* value) {
  Key key(root, keyPath, KEY_QUERY_VALUE);
  if (!key.get()) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::string data(size, '\0');
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(size ? &data[0] : nullptr),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  data.resize(size);
  value->type = type;
  value->data = data;
  return true;
}

bool WriteValue(HKEY root, const std::string& keyPath, const std::string& name,
                const StoredValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG status = RegSetValueExA(key, name.c_str(), 0, value.type,
                               reinterpret_cast<const BYTE*>(value.data.data()),
                               static_cast<DWORD>(value.data.size()));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const std::string& keyPath, const std::string& name) {
  Key key(root, keyPath, KEY_SET_VALUE);
  if (!key.get()) return true;
  LONG status = RegDeleteValueA(key.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteKeyTree(HKEY root, const std::string& keyPath) {
  {
    Key key(root, keyPath, KEY_READ);
    if (!key.get()) return !KeyExists(root, keyPath);
    std::vector<std::string> subkeys;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      subkeys.emplace_back(name, length);
    }
    for (const std::string& subkey : subkeys) DeleteKeyTree(root, keyPath + "\\" + subkey);
  }
  RegDeleteKeyA(root, keyPath.c_str());
  return !KeyExists(root, keyPath);
}

bool KeyExists(HKEY root, const std::string& keyPath) {
  Key key(root, keyPath, KEY_QUERY_VALUE);
  return key.get() != nullptr;
}

bool KeyIsEmpty(HKEY root, const std::string& keyPath) {
  Key key(root, keyPath, KEY_READ);
  if (!key.get()) return false;
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return subkeys == 0 && values == 0;
}

RegistrySnapshot RegistrySnapshot::TakeSoftware() {
  return Take({{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software"},
               {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "Software"}});
}

RegistrySnapshot RegistrySnapshot::Take(const std::vector<Start>& starts) {
  RegistrySnapshot snapshot;
  for (const Start& start : starts) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(start.root, Wide(start.keyPath).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      continue;
    }
    snapshot.Walk(key, UpperCase(std::string(start.rootName) + "\\" + start.keyPath));
    RegCloseKey(key);
  }
  return snapshot;
}

void RegistrySnapshot::Walk(HKEY key, const std::string& path) {
  DWORD subkeyCount = 0, maxSubkey = 0, valueCount = 0, maxName = 0, maxData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &maxSubkey, nullptr, &valueCount,
                   &maxName, &maxData, nullptr, nullptr);
  Values& values = m_keys[path];
  std::wstring name(maxName + 2, L'\0');
  std::string data(maxData + 2, '\0');
  for (DWORD i = 0; i < valueCount; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type,
                      reinterpret_cast<BYTE*>(&data[0]), &dataSize) != ERROR_SUCCESS) {
      continue;
    }
    StoredValue& value = values[UpperCase(Utf8(name.data(), nameLength))];
    value.type = type;
    value.data.assign(data.data(), dataSize);
  }
  std::vector<std::wstring> subkeys;
  std::wstring subkey(maxSubkey + 2, L'\0');
  for (DWORD i = 0; i < subkeyCount; ++i) {
    DWORD length = static_cast<DWORD>(subkey.size());
    if (RegEnumKeyExW(key, i, &subkey[0], &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS) {
      subkeys.emplace_back(subkey.data(), length);
    }
  }
  for (const std::wstring& subkeyName : subkeys) {
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    Walk(child, path + "\\" + UpperCase(Utf8(subkeyName.data(), subkeyName.size())));
    RegCloseKey(child);
  }
}

std::vector<std::string> SnapshotChanges(const RegistrySnapshot& before,
                                         const RegistrySnapshot& after) {
  std::vector<std::string> changes;
  const auto& a = before.keys();
  const auto& b = after.keys();
  for (const auto& [key, values] : a) {
    auto other = b.find(key);
    if (other == b.end()) {
      changes.push_back("- " + key);
      continue;
    }
    for (const auto& [name, value] : values) {
      auto match = other->second.find(name);
      if (match == other->second.end()) {
        changes.push_back("- " + key + " : " + name);
      } else if (!(match->second == value)) {
        changes.push_back("~ " + key + " : " + name);
      }
    }
    for (const auto& [name, value] : other->second) {
      if (!values.count(name)) changes.push_back("+ " + key + " : " + name);
    }
  }
  for (const auto& [key, values] : b) {
    if (!a.count(key)) changes.push_back("+ " + key);
  }
  std::sort(changes.begin(), changes.end());
  return changes;
}

std::string RemovedValueLine(const std::string& key, const std::string& name) {
  const std::string classes = "HKEY_CLASSES_ROOT";
  std::string full = key;
  if (full.compare(0, classes.size(), classes) == 0) {
    full = "HKEY_LOCAL_MACHINE\\Software\\Classes" + full.substr(classes.size());
  }
  return "- " + UpperCase(full) + " : " + UpperCase(name);
}

}  // namespace kw::test
