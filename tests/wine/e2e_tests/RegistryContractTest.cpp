// The registry contract (tests/support/RegistryContract.h) on the real
// registry, a value read while another thread rewrites it, and the drive
// types behind Win32Environment::ProbePath.
#include <windows.h>

#include <sddl.h>
#include <winioctl.h>

#include <atomic>

#include "system/Win32Environment.h"
#include "tests/support/RegistryContract.h"
#include "tests/support/driver/Driver.h"

namespace kw::test {

class Win32Side {
 public:
  Win32Side() { Remove(); }
  ~Win32Side() { Remove(); }
  Registry& registry() { return m_registry; }
  std::vector<std::string> SetNamesOutsideCodePage(const std::string& path) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key);
    const auto set = [&](const wchar_t* name, const wchar_t* text) {
      EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t))),
                0);
    };
    set(L"wide\x4e2d", L"x");  // listed with '?'
    set(L"fit\x0101", L"x");   // listed with the best-fit letter 'a'
    set(L"data", L"\x4e2d");   // the twin's mark covers names only
    RegCloseKey(key);
    return {"wide?", "fita", "data"};
  }
  // Reading is denied to the user; deleting stays allowed, for Remove.
  void Deny() {
    HANDLE token = nullptr;
    char user[256];
    DWORD size = 0;
    char* sid = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    HKEY key = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid));
    CloseHandle(token);
    const std::string sddl = "D:(D;;KR;;;" + std::string(sid) + ")(A;;KA;;;WD)";
    LocalFree(sid);
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDeniedKey, 0, nullptr, 0, WRITE_DAC, nullptr,
                              &key, nullptr),
              0);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), 0);
    RegCloseKey(key);
    LocalFree(descriptor);
  }

 private:
  static void Remove() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kDeniedKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kContractKey);
  }
  Win32Registry m_registry;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Win32Side);

// Rewrites a value between two texts until destroyed.
class Rewriter {
 public:
  Rewriter(HKEY key, const std::string& a, const std::string& b) : m_key(key), m_texts{a, b} {
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~Rewriter() {
    m_stop = true;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
  }

 private:
  static DWORD WINAPI Run(void* self) {
    auto* rewriter = static_cast<Rewriter*>(self);
    for (size_t i = 0; !rewriter->m_stop; ++i) {
      const std::string& text = rewriter->m_texts[i % 2];
      RegSetValueExA(rewriter->m_key, "v", 0, REG_BINARY,
                     reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()));
    }
    return 0;
  }
  HKEY m_key;
  std::string m_texts[2];
  std::atomic<bool> m_stop{false};
  HANDLE m_thread;
};

// Both sizes take more than the first read, so a read may learn the smaller
// size, grow to it and find the larger value there: it must ask again.
TEST(RegistryContractWin32, AValueRewrittenWhileReadComesWholeEveryTime) {
  Win32Side side;
  RegKey key(side.registry());
  ASSERT_EQ(key.Create(kContractRoot, kContractKey), RegStatus::Ok);
  const std::string small(3000, 's'), large(9000, 'L');
  ASSERT_EQ(side.registry().SetValue(key.handle(), "v", kRegBinary, small), RegStatus::Ok);
  Rewriter rewriter(static_cast<HKEY>(key.handle()), small, large);
  for (int i = 0; i < 1000; ++i) {
    RegValue value;
    ASSERT_EQ(side.registry().QueryValue(key.handle(), "v", &value), RegStatus::Ok) << i;
    ASSERT_TRUE(value.data == small || value.data == large) << i << ": " << value.data.size();
  }
}

// Defines or (with DRIVE_NO_ROOT_DIR) removes a drive letter through Wine's
// mount manager, as winecfg does; true when it did.
bool DefineWineDrive(char letter, UINT type, const std::string& unixPath) {
  struct UnixDrive {  // Wine 8's struct mountmgr_unix_drive
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };
  std::string request(sizeof(UnixDrive) + unixPath.size() + 1, '\0');
  auto* drive = reinterpret_cast<UnixDrive*>(&request[0]);
  drive->size = static_cast<ULONG>(request.size());
  drive->type = type;
  drive->letter = static_cast<WCHAR>(letter);
  if (type != DRIVE_NO_ROOT_DIR) drive->mountPointOffset = sizeof(UnixDrive);
  request.replace(sizeof(UnixDrive), unixPath.size(), unixPath);
  HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, 0);
  DWORD got = 0;
  const DWORD kDefineUnixDrive =
      CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  const bool done = DeviceIoControl(manager, kDefineUnixDrive, &request[0],
                                    static_cast<DWORD>(request.size()), nullptr, 0, &got, nullptr);
  CloseHandle(manager);
  return done;
}

// Only a fixed drive is asked about files. A drive's type is kept for a
// second: a drive that changes is seen within a deadline, while probes just
// after the change still get the type asked before it.
TEST(Win32EnvironmentTest, ProbesOnlyFixedDrivesAndSeesADriveChangeWithinTheSecond) {
  const auto unixName = reinterpret_cast<char*(CDECL*)(const wchar_t*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr) << "not Wine: drive letters cannot be made here";
  char* drivec = unixName(L"C:\\");
  const std::string driveC = drivec;
  HeapFree(GetProcessHeap(), 0, drivec);
  char letter = 'Z';
  while (GetLogicalDrives() & (1u << (letter - 'A'))) --letter;
  const std::string other = std::string(1, letter) + ":\\windows";
  struct Undefine {
    char letter;
    ~Undefine() { DefineWineDrive(letter, DRIVE_NO_ROOT_DIR, ""); }
  } undefine{letter};

  Win32Environment env;
  const std::pair<std::string, PathState> rows[] = {
      {"C:\\windows", PathState::Exists},
      {"c:\\windows\\no such file.dll", PathState::Missing},
      {"C:\\no such folder\\x.dll", PathState::Missing},
      {other, PathState::Unknown},  // no such drive
      {"windows\\win.ini", PathState::Unknown}};
  for (const auto& [path, state] : rows) EXPECT_EQ(env.ProbePath(path), state) << path;

  Win32Environment fresh;
  ASSERT_TRUE(DefineWineDrive(letter, DRIVE_REMOVABLE, driveC));
  const DWORD asked = GetTickCount();
  EXPECT_EQ(fresh.ProbePath(other), PathState::Unknown) << "removable";
  ASSERT_TRUE(DefineWineDrive(letter, DRIVE_FIXED, driveC));
  const PathState soon = fresh.ProbePath(other);
  if (GetTickCount() - asked < 1000) {
    EXPECT_EQ(soon, PathState::Unknown) << "type not kept";
  }
  EXPECT_TRUE(driver::WaitUntil([&] { return fresh.ProbePath(other) == PathState::Exists; }, 5000));
  ASSERT_TRUE(DefineWineDrive(letter, DRIVE_NO_ROOT_DIR, ""));
  EXPECT_TRUE(
      driver::WaitUntil([&] { return fresh.ProbePath(other) == PathState::Unknown; }, 5000));
}

}  // namespace kw::test
