// The registry as the program sees it: four roots, keys opened by
// root-relative path, values with their raw type and bytes.
//
// Win32Registry forwards to advapi32; the unit tests use an in-memory
// implementation, so every caller of this interface runs on both.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kw {

// Users holds every loaded user profile, each below its SID.
enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot, Users };

enum class RegStatus {
  Ok,
  NotFound,      // key or value does not exist
  AccessDenied,  // the system refused the operation
  Failed         // any other error
};

// Registry value types, as winnt.h numbers them.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

struct RegValue {
  std::string name;  // empty: the key's default value
  uint32_t type = kRegNone;
  std::string data;  // the bytes as stored, terminating zero included
};

// "HKEY_CURRENT_USER" and so on.
const char* RootName(RegRoot root);
// The root of exactly that name; false for any other text.
bool RootNamed(const std::string& name, RegRoot* root);

// True when two key or value names are the same to the registry, which
// compares them without regard to ASCII letter case.
bool SameRegistryName(const std::string& a, const std::string& b);

// `path` as the registry functions take it: leading and trailing backslashes
// dropped, runs of backslashes made one: \a\\b\ gives a\b.
std::string NormalizeKeyPath(const std::string& path);

class Registry {
 public:
  using Handle = void*;

  virtual ~Registry() = default;

  // Opens an existing key. A leading backslash and runs of backslashes in
  // `path` separate components like a single one; the empty path is the root.
  virtual RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) = 0;
  // Opens the key for writing, creating it and its parents when missing.
  virtual RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) = 0;
  virtual void CloseKey(Handle key) = 0;

  // Names of the key's subkeys, in enumeration order.
  virtual RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) = 0;
  // The key's values in enumeration order; without `withData` only names.
  virtual RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) = 0;
  // The key's values with their data, then its subkey names: ListValues and
  // ListSubKeys in one, for back ends that can read both with fewer calls.
  // Whatever could be listed is kept when a part fails.
  virtual RegStatus ListKey(Handle key, std::vector<RegValue>* values,
                            std::vector<std::string>* subKeys);

  virtual RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) = 0;
  virtual RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                             const std::string& data) = 0;
  virtual RegStatus DeleteValue(Handle key, const std::string& name) = 0;

  // True when the value's name and, for string types, its data are held
  // exactly by the ANSI code page, so that a REGEDIT4 file can restore them.
  virtual bool IsAnsiExact(Handle key, const std::string& name) = 0;

  // While set, a listing calls `hook` every few hundred subkeys or values,
  // so that a window can answer during the listing of a key with many of
  // them; an empty hook removes it. Back ends whose listings are quick
  // ignore it.
  virtual void SetListingHook(std::function<void()> hook) {}
};

// An open key that closes itself.
class RegKey {
 public:
  RegKey() = default;
  explicit RegKey(Registry& registry) : m_registry(&registry) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept { *this = std::move(other); }
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Close();
      m_registry = other.m_registry;
      m_handle = other.m_handle;
      other.m_handle = nullptr;
    }
    return *this;
  }
  ~RegKey() { Close(); }

  RegStatus Open(RegRoot root, const std::string& path, bool forWrite = false) {
    Close();
    return m_registry->OpenKey(root, path, forWrite, &m_handle);
  }
  RegStatus Create(RegRoot root, const std::string& path) {
    Close();
    return m_registry->CreateKey(root, path, &m_handle);
  }
  void Close() {
    if (m_handle != nullptr) m_registry->CloseKey(m_handle);
    m_handle = nullptr;
  }
  bool IsOpen() const { return m_handle != nullptr; }
  Registry::Handle handle() const { return m_handle; }
  Registry& registry() const { return *m_registry; }

 private:
  Registry* m_registry = nullptr;
  Registry::Handle m_handle = nullptr;
};

}  // namespace kw
