// The registry contract (tests/support/RegistryContract.h) on the real
// registry, a value read while another thread rewrites it, and the drive
// types behind Win32Environment::ProbePath.
#include <windows.h>

#include <sddl.h>
#include <winioctl.h>

#include <atomic>
#include <cstddef>
#include <thread>

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
    const std::wstring key(path.begin(), path.end());
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"wide\x4e2d", REG_SZ, L"x", 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"fit\x0101", REG_SZ, L"x", 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"data", REG_SZ, L"\x4e2d", 4);
    // As listed: '?' and a best-fit letter; the twin's mark covers names only.
    return {"wide?", "fita", "data"};
  }
  void Deny() {  // to everyone, who may still delete the key
    PSECURITY_DESCRIPTOR denied = nullptr;
    HKEY key = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:(D;;KR;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &denied, nullptr));
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDeniedKey, 0, nullptr, 0, WRITE_DAC, nullptr,
                              &key, nullptr),
              0);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied), 0);
    RegCloseKey(key);
    LocalFree(denied);
  }

 private:
  static void Remove() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kDeniedKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kContractKey);
  }
  Win32Registry m_registry;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Win32Side);

// Both sizes take more than the first read, so a read may learn the smaller
// size, grow to it and find the larger value there: it must ask again.
TEST(RegistryContractWin32, AValueRewrittenWhileReadComesWholeEveryTime) {
  Win32Side side;
  Registry& reg = side.registry();
  RegKey key(reg);
  const std::string small(3000, 's'), large(9000, 'L');
  ASSERT_EQ(key.Create(kContractRoot, kContractKey), RegStatus::Ok);
  ASSERT_EQ(reg.SetValue(key.handle(), "v", kRegBinary, small), RegStatus::Ok);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (size_t i = 0; !stop; ++i)
      reg.SetValue(key.handle(), "v", kRegBinary, i % 2 ? large : small);
  });
  for (int i = 0; i < 1000 && !::testing::Test::HasFailure(); ++i) {
    RegValue value;
    EXPECT_EQ(reg.QueryValue(key.handle(), "v", &value), RegStatus::Ok) << i;
    EXPECT_TRUE(value.data == small || value.data == large) << i << ": " << value.data.size();
  }
  stop = true;
  writer.join();
}

// Defines or (with DRIVE_NO_ROOT_DIR) removes a drive letter through Wine's
// mount manager, as winecfg does; true when it did.
bool DefineWineDrive(char letter, UINT type, const std::string& unixPath) {
  struct UnixDrive {  // Wine 8's struct mountmgr_unix_drive, then the mount point
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPoint, device, label;
    char path[MAX_PATH];
  } drive{sizeof drive, type, 0, 0, 0, static_cast<WCHAR>(letter), 0, 0, 0, {}};
  if (type != DRIVE_NO_ROOT_DIR) drive.mountPoint = offsetof(UnixDrive, path);
  unixPath.copy(drive.path, MAX_PATH - 1);
  HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, 0);
  DWORD got = 0;
  const bool done = DeviceIoControl(
      manager, CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS), &drive,
      sizeof drive, nullptr, 0, &got, nullptr);
  CloseHandle(manager);
  return done;
}

// Only a fixed drive is asked about files. A drive's type is kept for a
// second: a drive that changes is seen within a deadline, while a probe just
// after the change still gets the type asked before it.
TEST(Win32EnvironmentTest, ProbesOnlyFixedDrivesAndSeesADriveChangeWithinTheSecond) {
  const auto unixName = reinterpret_cast<char*(CDECL*)(const wchar_t*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr) << "not Wine: no drive letters to make";
  char* driveC = unixName(L"C:\\");
  char letter = 'Z';
  while (GetLogicalDrives() & (1u << (letter - 'A'))) --letter;
  const std::string other = letter + ":\\windows"s;
  struct Undefine {
    char letter;
    ~Undefine() { DefineWineDrive(letter, DRIVE_NO_ROOT_DIR, ""); }
  } undefine{letter};

  Win32Environment env, fresh;
  const std::pair<std::string, PathState> rows[] = {
      {"C:\\windows", PathState::Exists},
      {"c:\\windows\\no such file.dll", PathState::Missing},
      {"C:\\no such folder\\x.dll", PathState::Missing},
      {other, PathState::Unknown},  // no such drive
      {"windows\\win.ini", PathState::Unknown}};
  for (const auto& [path, state] : rows) EXPECT_EQ(env.ProbePath(path), state) << path;

  ASSERT_TRUE(DefineWineDrive(letter, DRIVE_REMOVABLE, driveC));
  const DWORD asked = GetTickCount();
  EXPECT_EQ(fresh.ProbePath(other), PathState::Unknown) << "removable";
  ASSERT_TRUE(DefineWineDrive(letter, DRIVE_FIXED, driveC));
  HeapFree(GetProcessHeap(), 0, driveC);
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
