#include "system/Win32Registry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

namespace kw {

namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::Users:
      return HKEY_USERS;
  }
  return HKEY_CLASSES_ROOT;
}

HKEY ToHkey(Registry::Handle key) { return static_cast<HKEY>(key); }

RegStatus StatusOf(LONG error) {
  switch (error) {
    case ERROR_SUCCESS:
      return RegStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
      return RegStatus::NotFound;
    case ERROR_ACCESS_DENIED:
      return RegStatus::AccessDenied;
  }
  return RegStatus::Failed;
}

struct KeyInfo {
  DWORD subKeys = 0;
  DWORD maxSubKeyLength = 0;  // characters, without the terminating zero
  DWORD values = 0;
  DWORD maxValueNameLength = 0;
  DWORD maxValueDataLength = 0;  // bytes
};

LONG QueryInfo(HKEY key, KeyInfo* info) {
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info->subKeys, &info->maxSubKeyLength,
                          nullptr, &info->values, &info->maxValueNameLength,
                          &info->maxValueDataLength, nullptr, nullptr);
}

// The longest value name the registry allows is 16383 characters; an ANSI
// name of a multi-byte code page may take two bytes for each.
constexpr DWORD kMaxValueNameBytes = 2 * 16383 + 1;
constexpr int kMaxRetries = 8;
// Bytes of the first read of a value's data.
constexpr DWORD kFirstReadBytes = 1024;

// Reads a value's data into `buffer` with `read(bytes, &size)`, a
// RegQueryValueEx call on a buffer of `size` bytes. Most values fit the
// first buffer and take one call; a larger one is read again at the size the
// registry reports, as often as it grows meanwhile. `*size` gets the data's
// size in bytes.
template <typename Unit, typename Read>
LONG ReadValueData(Read read, std::vector<Unit>* buffer, DWORD* size) {
  buffer->assign(kFirstReadBytes / sizeof(Unit), Unit());
  LONG error = ERROR_MORE_DATA;
  for (int attempt = 0; error == ERROR_MORE_DATA && attempt < kMaxRetries; ++attempt) {
    *size = static_cast<DWORD>(buffer->size() * sizeof(Unit));
    error = read(reinterpret_cast<BYTE*>(buffer->data()), size);
    if (error == ERROR_MORE_DATA) {
      const size_t needed = (*size + sizeof(Unit) - 1) / sizeof(Unit);  // a part unit rounded up
      buffer->resize(std::max(needed, buffer->size() * 2));
    }
  }
  return error;
}

// The bytes of `text` as CP_ACP has them, without best-fit replacements;
// false when some character has no exact ANSI form.
bool ToAnsiExact(const wchar_t* text, int length, std::string* ansi) {
  ansi->clear();
  if (length == 0) return true;
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0,
                                       nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return false;
  ansi->resize(static_cast<size_t>(size));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, &(*ansi)[0], size, nullptr,
                      &usedDefault);
  if (usedDefault) return false;
  // Some code pages map characters without using the default character but
  // still not reversibly; the round trip settles it.
  const int back = MultiByteToWideChar(CP_ACP, 0, ansi->data(), size, nullptr, 0);
  if (back != length) return false;
  std::wstring wide(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi->data(), size, &wide[0], back);
  return std::equal(wide.begin(), wide.end(), text);
}

// The name as the ANSI functions show it (best-fit and default characters
// allowed).
std::string ToAnsiShown(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, &ansi[0], size, nullptr, nullptr);
  return ansi;
}

// Names of the key's `count` values, as stored (UTF-16).
void ListWideValueNames(HKEY key, DWORD count, DWORD maxNameLength,
                        std::vector<std::wstring>* names) {
  names->clear();
  std::vector<wchar_t> buffer(std::max<DWORD>(maxNameLength + 1, 256));
  for (DWORD index = 0; index < count; ++index) {
    for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG error =
          RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (error == ERROR_MORE_DATA && buffer.size() < 32768) {
        buffer.resize(32768);
        continue;
      }
      if (error == ERROR_SUCCESS) names->emplace_back(buffer.data(), length);
      if (error == ERROR_NO_MORE_ITEMS) return;
      break;
    }
  }
}

// A listing calls its hook after every this many entries.
constexpr DWORD kEntriesPerHook = 256;

void CallHookIfDue(const std::function<void()>& hook, DWORD index) {
  if (hook && index % kEntriesPerHook == kEntriesPerHook - 1) hook();
}

// The names of the key's subkeys, as many as `info` counts.
void EnumSubKeys(HKEY key, const KeyInfo& info, const std::function<void()>& hook,
                 std::vector<std::string>* names) {
  names->clear();
  names->reserve(info.subKeys);
  // Key names have at most 255 characters; 256 holds every one with its zero.
  std::vector<char> buffer(std::max<DWORD>(256, info.maxSubKeyLength + 1));
  for (DWORD index = 0; index < info.subKeys; ++index) {
    CallHookIfDue(hook, index);
    for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG error =
          RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (error == ERROR_MORE_DATA && buffer.size() < kMaxValueNameBytes) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (error == ERROR_SUCCESS) names->emplace_back(buffer.data(), length);
      // Keys may go away meanwhile; any other failure skips this index.
      if (error == ERROR_NO_MORE_ITEMS) return;
      break;
    }
  }
}

// The key's values, as many as `info` counts, each read in one call.
void EnumValues(HKEY key, const KeyInfo& info, bool withData, const std::function<void()>& hook,
                std::vector<RegValue>* values) {
  values->clear();
  values->reserve(info.values);
  std::vector<char> name(std::max<DWORD>(256, info.maxValueNameLength + 1));
  std::vector<BYTE> data(withData ? std::max<DWORD>(16, info.maxValueDataLength) : 0);
  for (DWORD index = 0; index < info.values; ++index) {
    CallHookIfDue(hook, index);
    for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD dataLength = static_cast<DWORD>(data.size());
      DWORD type = REG_NONE;
      const LONG error =
          RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                        withData ? data.data() : nullptr, withData ? &dataLength : nullptr);
      if (error == ERROR_MORE_DATA) {
        // Either buffer may be the short one: the needed data size is
        // reported, the needed name size is not.
        if (withData && dataLength > data.size()) {
          data.resize(dataLength);
        } else if (name.size() < kMaxValueNameBytes) {
          name.resize(kMaxValueNameBytes);
        } else if (withData) {
          data.resize(data.size() * 2);
        }
        continue;
      }
      if (error == ERROR_SUCCESS) {
        RegValue value;
        value.name.assign(name.data(), nameLength);
        if (withData) {
          value.type = type;
          value.data.assign(reinterpret_cast<const char*>(data.data()), dataLength);
        }
        values->push_back(std::move(value));
      }
      if (error == ERROR_NO_MORE_ITEMS) return;
      break;
    }
  }
}

// Wine converts an ANSI key path in a buffer of MAX_PATH characters and
// fails longer ones, so a long path is opened a few components at a time.
constexpr size_t kMaxPathPiece = 240;

// Splits a normalised path into pieces of whole components, each at most
// kMaxPathPiece long where the components allow it.
std::vector<std::string> PathPieces(const std::string& path) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (path.size() - start > kMaxPathPiece) {
    size_t cut = path.rfind('\\', start + kMaxPathPiece);
    if (cut == std::string::npos || cut <= start) cut = path.find('\\', start);
    if (cut == std::string::npos) break;
    pieces.push_back(path.substr(start, cut - start));
    start = cut + 1;
  }
  pieces.push_back(path.substr(start));
  return pieces;
}

// Opens (or creates) `path` below `root`, piece by piece when it is long.
LONG OpenPath(HKEY root, const std::string& path, bool create, REGSAM access, HKEY* result) {
  const std::vector<std::string> pieces = PathPieces(NormalizeKeyPath(path));
  HKEY parent = root;
  LONG error = ERROR_SUCCESS;
  for (size_t i = 0; i < pieces.size() && error == ERROR_SUCCESS; ++i) {
    // The keys on the way are only passed through (or get children).
    const bool last = i + 1 == pieces.size();
    const REGSAM pieceAccess =
        last ? access : (create ? KEY_CREATE_SUB_KEY : KEY_ENUMERATE_SUB_KEYS);
    HKEY child = nullptr;
    error = create ? RegCreateKeyExA(parent, pieces[i].c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     pieceAccess, nullptr, &child, nullptr)
                   : RegOpenKeyExA(parent, pieces[i].c_str(), 0, pieceAccess, &child);
    if (parent != root) RegCloseKey(parent);
    parent = error == ERROR_SUCCESS ? child : root;
  }
  *result = error == ERROR_SUCCESS ? parent : nullptr;
  return error;
}

}  // namespace

RegStatus Win32Registry::OpenKey(RegRoot root, const std::string& path, bool forWrite,
                                 Handle* key) {
  HKEY opened = nullptr;
  const REGSAM access = forWrite ? (KEY_READ | KEY_SET_VALUE) : KEY_READ;
  const LONG error = OpenPath(RootKey(root), path, /*create=*/false, access, &opened);
  *key = opened;
  return StatusOf(error);
}

RegStatus Win32Registry::CreateKey(RegRoot root, const std::string& path, Handle* key) {
  HKEY created = nullptr;
  const LONG error =
      OpenPath(RootKey(root), path, /*create=*/true, KEY_READ | KEY_SET_VALUE, &created);
  *key = created;
  return StatusOf(error);
}

void Win32Registry::CloseKey(Handle key) {
  if (key == nullptr) return;
  // The handle may come back for another key.
  if (m_valueNames.key == key) m_valueNames = ValueNames();
  RegCloseKey(ToHkey(key));
}

RegStatus Win32Registry::ListSubKeys(Handle key, std::vector<std::string>* names) {
  names->clear();
  KeyInfo info;
  const LONG error = QueryInfo(ToHkey(key), &info);
  if (error != ERROR_SUCCESS) return StatusOf(error);
  EnumSubKeys(ToHkey(key), info, m_listingHook, names);
  return RegStatus::Ok;
}

RegStatus Win32Registry::ListValues(Handle key, bool withData, std::vector<RegValue>* values) {
  values->clear();
  KeyInfo info;
  const LONG error = QueryInfo(ToHkey(key), &info);
  if (error != ERROR_SUCCESS) return StatusOf(error);
  EnumValues(ToHkey(key), info, withData, m_listingHook, values);
  return RegStatus::Ok;
}

RegStatus Win32Registry::ListKey(Handle key, std::vector<RegValue>* values,
                                 std::vector<std::string>* subKeys) {
  // One query of the counts serves both enumerations.
  values->clear();
  subKeys->clear();
  KeyInfo info;
  const LONG error = QueryInfo(ToHkey(key), &info);
  if (error != ERROR_SUCCESS) return StatusOf(error);
  EnumValues(ToHkey(key), info, /*withData=*/true, m_listingHook, values);
  EnumSubKeys(ToHkey(key), info, m_listingHook, subKeys);
  return RegStatus::Ok;
}

RegStatus Win32Registry::QueryValue(Handle key, const std::string& name, RegValue* value) {
  std::vector<BYTE> data;
  DWORD type = REG_NONE;
  DWORD got = 0;
  const LONG error = ReadValueData(
      [&](BYTE* bytes, DWORD* size) {
        return RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, bytes, size);
      },
      &data, &got);
  if (error != ERROR_SUCCESS) return StatusOf(error);
  value->name = name;
  value->type = type;
  value->data.assign(reinterpret_cast<const char*>(data.data()), got);
  return RegStatus::Ok;
}

RegStatus Win32Registry::SetValue(Handle key, const std::string& name, uint32_t type,
                                  const std::string& data) {
  return StatusOf(RegSetValueExA(ToHkey(key), name.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())));
}

RegStatus Win32Registry::DeleteValue(Handle key, const std::string& name) {
  return StatusOf(RegDeleteValueA(ToHkey(key), name.c_str()));
}

bool Win32Registry::UpdateValueNames(Handle key) {
  DWORD count = 0;
  DWORD maxNameLength = 0;
  FILETIME lastWrite{};
  if (RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &maxNameLength, nullptr, nullptr, &lastWrite) != ERROR_SUCCESS) {
    m_valueNames = ValueNames();
    return false;
  }
  const uint64_t written =
      (static_cast<uint64_t>(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime;
  if (m_valueNames.key == key && m_valueNames.count == count && m_valueNames.lastWrite == written) {
    return true;
  }
  m_valueNames = ValueNames();
  ListWideValueNames(ToHkey(key), count, maxNameLength, &m_valueNames.stored);
  m_valueNames.shown.reserve(m_valueNames.stored.size());
  for (const std::wstring& wide : m_valueNames.stored) {
    m_valueNames.shown.push_back(ToAnsiShown(wide));
  }
  m_valueNames.key = key;
  m_valueNames.count = count;
  m_valueNames.lastWrite = written;
  return true;
}

bool Win32Registry::IsAnsiExact(Handle key, const std::string& name) {
  // The ANSI name must stand for exactly one stored value, and that one's
  // name must convert to these bytes without loss: otherwise the name seen
  // through the ANSI functions is a replacement ('?' or a best-fit letter)
  // and a REGEDIT4 file would restore another value.
  if (!UpdateValueNames(key)) return false;
  const std::wstring* match = nullptr;
  for (size_t i = 0; i < m_valueNames.stored.size(); ++i) {
    if (m_valueNames.shown[i] != name) continue;
    if (match != nullptr) return false;
    match = &m_valueNames.stored[i];
  }
  // Not listed: deleted since the search found it, or skipped by a listing
  // while another program deleted values in front of it. The value its own
  // name leads to is then the one looked at; one that is gone by now has
  // nothing left to restore (no backup will hold it, and the clean-up
  // counts it as gone).
  std::wstring byName;
  if (match == nullptr) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    byName.resize(static_cast<size_t>(length));
    if (length > 0) {
      MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &byName[0],
                          length);
    }
    match = &byName;
  }
  std::string exact;
  if (!ToAnsiExact(match->data(), static_cast<int>(match->size()), &exact) || exact != name) {
    return false;
  }

  std::vector<wchar_t> text;
  DWORD type = REG_NONE;
  DWORD size = 0;
  const LONG error = ReadValueData(
      [&](BYTE* bytes, DWORD* length) {
        return RegQueryValueExW(ToHkey(key), match->c_str(), nullptr, &type, bytes, length);
      },
      &text, &size);
  if (error == ERROR_FILE_NOT_FOUND) return true;  // gone by now, as above
  if (error != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return true;
  if (size % sizeof(wchar_t) != 0) return false;  // half a character would be lost
  std::string ansi;
  return ToAnsiExact(text.data(), static_cast<int>(size / sizeof(wchar_t)), &ansi);
}

}  // namespace kw
