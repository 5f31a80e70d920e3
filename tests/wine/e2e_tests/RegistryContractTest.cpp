// The registry contract (tests/support/RegistryContract.h) on the real
// registry, a value read while another thread rewrites it, and the drive
// types behind Win32Environment::ProbePath.
#include <windows.h>

#include <sddl.h>

#include <atomic>
#include <thread>

#include "system/Win32Environment.h"
#include "tests/support/RegistryContract.h"

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

// Only a path on a fixed drive is asked about; one on a drive letter that
// is not there, or without a drive, is unknown. The 32-bit system folder
// is found where there is one (SharedDLLs names files below System32 that
// lie there). (Wine makes removable or
// changing drives only through its mount manager's private requests; which
// drive types are probed, and for how long an answer is kept, is decided in
// DriveTypeCache, which the native tests cover.)
TEST(Win32EnvironmentTest, ProbesOnlyPathsOnFixedDrivesAndFindsTheSystemFolders) {
  char letter = 'Z';
  while (GetLogicalDrives() & (1u << (letter - 'A'))) --letter;
  Win32Environment env;
  const std::pair<std::string, PathState> rows[] = {
      {"C:\\windows", PathState::Exists},
      {"c:\\windows\\no such file.dll", PathState::Missing},
      {"C:\\no such folder\\x.dll", PathState::Missing},
      {letter + ":\\windows"s, PathState::Unknown},
      {"windows\\win.ini", PathState::Unknown}};
  for (const auto& [path, state] : rows) EXPECT_EQ(env.ProbePath(path), state) << path;
  // Where 32-bit programs keep their system files: only a 64-bit system has it.
  std::string wow64;
  BOOL emulated = FALSE;
  IsWow64Process(GetCurrentProcess(), &emulated);
  EXPECT_EQ(env.SystemWow64Directory(&wow64), sizeof(void*) == 8 || emulated);
  EXPECT_TRUE(wow64.empty() || !_stricmp(wow64.c_str(), "C:\\windows\\SysWOW64")) << wow64;
}

}  // namespace kw::test
