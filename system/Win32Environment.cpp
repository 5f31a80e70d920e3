#include "system/Win32Environment.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cctype>
#include <vector>

namespace kw {

namespace {

// Keeps the system from showing a "no disk" or "cannot open" box while a
// path on an absent medium is probed.
class QuietErrorMode {
 public:
  QuietErrorMode() : m_previous(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~QuietErrorMode() { SetErrorMode(m_previous); }
  QuietErrorMode(const QuietErrorMode&) = delete;
  QuietErrorMode& operator=(const QuietErrorMode&) = delete;

 private:
  UINT m_previous;
};

// A 32-bit process on 64-bit Windows sees System32 redirected to SysWOW64;
// files registered by 64-bit programs must be probed where they really are.
class NoFsRedirection {
 public:
  NoFsRedirection() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    m_revert = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    if (disable == nullptr || m_revert == nullptr || !disable(&m_old)) m_revert = nullptr;
  }
  ~NoFsRedirection() {
    if (m_revert != nullptr) m_revert(m_old);
  }
  NoFsRedirection(const NoFsRedirection&) = delete;
  NoFsRedirection& operator=(const NoFsRedirection&) = delete;

 private:
  BOOL(WINAPI* m_revert)(PVOID) = nullptr;
  PVOID m_old = nullptr;
};

// "X:\" for a path on drive X, "\\server\share\" for a UNC path, empty for
// a path without a drive (relative, or rooted on the current drive).
std::string DriveRoot(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    return path.substr(0, 2) + "\\";
  }
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.') {
    const size_t server = path.find('\\', 2);
    if (server == std::string::npos || server == 2) return "";
    const size_t share = path.find('\\', server + 1);
    if (share == server + 1) return "";
    return (share == std::string::npos ? path : path.substr(0, share)) + "\\";
  }
  return "";
}

using FolderGetter = UINT(WINAPI*)(LPSTR, UINT);

// A system folder from a GetWindowsDirectoryA-like function, without
// trailing backslash (except a drive's root); false when the system has
// none to give.
bool ReadFolder(FolderGetter get, std::string* dir) {
  std::vector<char> buffer(MAX_PATH);
  UINT length = get(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = get(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return false;
  dir->assign(buffer.data(), length);
  while (dir->size() > 3 && dir->back() == '\\') dir->pop_back();
  return true;
}

// Owns the clean-up mutex until it is destroyed.
class MutexLock : public CleanUpLock {
 public:
  explicit MutexLock(HANDLE mutex) : m_mutex(mutex) {}
  ~MutexLock() override {
    ReleaseMutex(m_mutex);
    CloseHandle(m_mutex);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE m_mutex;
};

}  // namespace

std::unique_ptr<CleanUpLock> Win32Environment::LockCleanUps(unsigned timeoutMs) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\TarnwellKelpwiseCleanUp");
  // A mutex of that name that this process may not open (another account
  // made it first and shut others out) cannot serialise anything: the
  // clean-up goes on alone, as its backup file, created new, still never
  // replaces another's.
  if (mutex == nullptr) return std::make_unique<CleanUpLock>();
  switch (WaitForSingleObject(mutex, timeoutMs)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // a clean-up that ended without letting go: it is over
      return std::make_unique<MutexLock>(mutex);
  }
  CloseHandle(mutex);
  return nullptr;
}

std::string Win32Environment::ModuleFileName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut off: the path is longer
  }
}

bool Win32Environment::WindowsDirectory(std::string* dir) {
  return ReadFolder(GetWindowsDirectoryA, dir);
}

bool Win32Environment::SystemWow64Directory(std::string* dir) {
  // Looked up at run time: Windows before XP lacks the function.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return false;
  const auto get = reinterpret_cast<FolderGetter>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryA")));
  return get != nullptr && ReadFolder(get, dir);
}

PathState Win32Environment::ProbePath(const std::string& path) {
  QuietErrorMode quiet;
  NoFsRedirection redirectionOff;
  const std::string root = DriveRoot(path);
  // A path without a drive depends on the current folder: whether it
  // exists says nothing about the file the registry means.
  if (root.empty()) return PathState::Unknown;
  if (!IsProbedDriveType(m_driveTypes.TypeOf(root, GetTickCount()))) return PathState::Unknown;
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return PathState::Exists;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathState::Missing;
  return PathState::Unknown;
}

static_assert(kDriveRemovable == DRIVE_REMOVABLE && kDriveFixed == DRIVE_FIXED &&
              kDriveRamDisk == DRIVE_RAMDISK);

unsigned Win32Environment::AskDriveType(const std::string& root) {
  return GetDriveTypeA(root.c_str());
}

LocalTime Win32Environment::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  return time;
}

std::string Win32Environment::AnsiToUtf8(const std::string& text) {
  if (text.empty()) return text;
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (wide <= 0) return Environment::AnsiToUtf8(text);
  std::vector<wchar_t> utf16(static_cast<size_t>(wide));
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, utf16.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return Environment::AnsiToUtf8(text);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

Environment& DefaultEnvironment() {
  static Win32Environment environment;
  return environment;
}

}  // namespace kw
