// The back ends against the prefix's own registry and file system: the
// shared-DLL check in both system folders, and backups of awkward values
// imported again by the system's registry editor.
#include <shlwapi.h>

#include "cleaning/BackupFile.h"
#include "cleaning/BackupRecord.h"
#include "scan/KeyWalker.h"
#include "system/SystemTools.h"
#include "system/Win32Environment.h"
#include "system/Win32Registry.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const char kSandbox[] = "Software\\KelpwiseTest";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kSharedDll[] = "C:\\KelpwiseTest\\one.dll";
const char* const kSystemDlls[] = {"kelpwise-only64.dll", "kelpwise-only32.dll",
                                   "kelpwise-neither.dll"};  // in System32, SysWOW64, neither

// A file below System32, spelled as a 32-bit installer would.
std::string SystemFile(const std::string& name) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\SYSTEM32\\" + name;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { CleanUp(); }
  void TearDown() override { CleanUp(); }
  static void CleanUp() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSandbox);
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll);
    for (const char* file : kSystemDlls) {
      SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, SystemFile(file).c_str());
    }
  }

  Win32Environment m_env;
  CSystemTools m_tools{m_env};
};

// Runs `work` with WOW64 file-system redirection off, so that a 32-bit test
// on 64-bit Windows reaches the real System32.
template <typename Work>
void InRealSystemFolders(Work work) {
  PVOID old = nullptr;
  const BOOL off = Wow64DisableWow64FsRedirection(&old);
  work();
  if (off) Wow64RevertWow64FsRedirection(old);
}

class SilentListener : public ScanListener {
 public:
  void OnKeyEntered(const std::string&) override {}
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}
};

// 32-bit installers on 64-bit Windows register their system DLLs below
// System32 while the files lie in SysWOW64; the SharedDLLs key is shared by
// both kinds of program.
TEST_F(RegistryTest, SharedDllsInEitherSystemFolderAreNotListed) {
  char windows[MAX_PATH] = "", wow64[MAX_PATH] = "";
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const bool hasWow64 = GetSystemWow64DirectoryA(wow64, MAX_PATH) > 0;  // none on 32-bit Windows
  const std::string files[] = {std::string(windows) + "\\System32\\" + kSystemDlls[0],
                               hasWow64 ? std::string(wow64) + "\\" + kSystemDlls[1] : ""};
  bool madeWow64 = false;
  InRealSystemFolders([&] {
    // Wine makes SysWOW64 only where it can run 32-bit programs.
    madeWow64 = hasWow64 && CreateDirectoryA(wow64, nullptr);
    for (const std::string& file : files) {
      if (!file.empty()) {
        EXPECT_TRUE(WriteFile(file, "")) << file;
      }
    }
  });
  for (const char* file : kSystemDlls) {
    if (file != kSystemDlls[1] || hasWow64) {
      WriteValue(HKEY_LOCAL_MACHINE, kSharedDlls, SystemFile(file), {REG_DWORD, "\x01\0\0\0"s});
    }
  }

  ResultModel model;
  SilentListener listener;
  KeyWalker walker(m_env.registry(), m_tools, model, listener, {}, {}, OptionFlags{});
  for (const ScanCategory& category : ScanCategories()) {
    if (category.check == SCAN_SHAREDDLL) {
      walker.ScanKey("Shared DLLs", category.startKey, category.check, category.extensions);
    }
  }
  std::vector<std::string> listed;
  for (const ResultRow& row : model.rows()) {
    if (row.valueName.find("kelpwise-") != std::string::npos) listed.push_back(row.valueName);
  }
  EXPECT_EQ(listed, std::vector<std::string>{SystemFile(kSystemDlls[2])});
  InRealSystemFolders([&] {
    for (const std::string& file : files) DeleteFileA(file.c_str());
    if (madeWow64) RemoveDirectoryA(wow64);
  });
}

TEST_F(RegistryTest, RegeditRestoresEveryBackedUpValueExactly) {
  const std::pair<const char*, StoredValue> rows[] = {
      {"", {REG_SZ, "default\0"s}},
      {"@", {REG_SZ, "value named at\0"s}},
      {"a=b", {REG_SZ, "c=d\0"s}},
      {"\"quoted\"", {REG_SZ, "\"C:\\gone.exe\" \"%1\"\0"s}},
      {"back\\slash\\", {REG_SZ, "\\\\server\\share\\\0"s}},
      {"\xE4\xF6\xFC", {REG_SZ, "\xE4\x80\xFF\0"s}},
      {"lines", {REG_SZ, "one\r\ntwo\nthree\r\0"s}},
      {"zero bytes", {REG_SZ, ""}},
      {"embedded zero", {REG_SZ, "a\0b\0"s}},
      {kSharedDll, {REG_DWORD, "\x07\x01\0\x80"s}},
  };
  std::vector<BackupRecord> records;
  for (const auto& [name, value] : rows) {
    const bool sharedDll = value.type == REG_DWORD;
    const std::string path = sharedDll ? kSharedDlls : kSandbox;
    const HKEY root = sharedDll ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    ASSERT_TRUE(WriteValue(root, path, name, value));
    const RegValue stored{name, value.type, value.data};
    records.push_back(sharedDll ? MakeSharedDllRecord(kSharedDlls, stored)
                                : MakeValueRecord(RegRoot::CurrentUser, kSandbox, stored));
    ASSERT_EQ(records.back().kind, RecordKind::Restorable) << records.back().text;
    ASSERT_EQ(SHDeleteValueA(root, path.c_str(), name), ERROR_SUCCESS);
  }
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "kelpwise restore test.reg";
  WriteBackupFile(file, records);
  ASSERT_TRUE(ImportWithRegedit(file));
  DeleteFileA(file.c_str());
  for (const auto& [name, value] : rows) {
    SCOPED_TRACE(name);
    StoredValue restored;
    const bool sharedDll = value.type == REG_DWORD;
    ASSERT_TRUE(ReadValue(sharedDll ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                          sharedDll ? kSharedDlls : kSandbox, name, &restored));
    EXPECT_EQ(restored, value);
  }
}

}  // namespace
}  // namespace kw::test
