// CSystemTools, Win32Registry, Win32Environment and the backup file against
// the prefix's own registry, inside sandbox keys that each test starts
// without and leaves behind removed.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cleaning/BackupFile.h"
#include "cleaning/BackupRecord.h"
#include "scan/KeyWalker.h"
#include "system/SystemTools.h"
#include "system/Win32Environment.h"
#include "system/Win32Registry.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const char kSandbox[] = "Software\\KelpwiseTest";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kSharedDll[] = "C:\\KelpwiseTest\\one.dll";
const char kOnly64[] = "kelpwise-only64.dll";  // in System32 only
const char kOnly32[] = "kelpwise-only32.dll";  // in SysWOW64 only
const char kNeither[] = "kelpwise-neither.dll";

std::string Sandbox(const std::string& sub) { return std::string(kSandbox) + "\\" + sub; }

// Sets a value with the system's own functions, bypassing the code under test.
void SetRawValue(const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes, HKEY root = HKEY_CURRENT_USER) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The value as the system returns it; false when it is missing.
bool GetRawValue(const std::string& path, const std::string& name, RegValue* value,
                 HKEY root = HKEY_CURRENT_USER) {
  DWORD type = 0, size = 0;
  if (SHGetValueA(root, path.c_str(), name.c_str(), &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::string bytes(size + 1, '\0');
  SHGetValueA(root, path.c_str(), name.c_str(), &type, &bytes[0], &size);
  *value = RegValue{name, type, bytes.substr(0, size)};
  return true;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { CleanUp(); }
  void TearDown() override { CleanUp(); }
  static void CleanUp() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSandbox);
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll);
    for (const char* file : {kOnly64, kOnly32, kNeither}) {
      SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, SystemFile(file).c_str());
    }
  }
  // A file below System32, spelled as a 32-bit installer would.
  static std::string SystemFile(const std::string& name) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\SYSTEM32\\" + name;
  }

  Win32Environment m_env;
  Win32Registry& m_registry = static_cast<Win32Registry&>(m_env.registry());
  CSystemTools m_tools{m_env};
};

TEST_F(RegistryTest, ReadRegStringDecodesEveryKindOfValue) {
  const std::string bigText(70000, 'x');
  SetRawValue(kSandbox, "text", REG_SZ, "abc\0"s);
  SetRawValue(kSandbox, "empty", REG_SZ, "\0"s);
  SetRawValue(kSandbox, "number", REG_DWORD, "\x01\0\0\0"s);
  SetRawValue(kSandbox, "unterminated", REG_SZ, "abc");
  SetRawValue(kSandbox, "big", REG_SZ, bigText + '\0');
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"text", "abc"},  {"TEXT", "abc"},  // value names ignore case
      {"empty", ""},    {"number", "No REG_SZ"}, {"unterminated", "abc"},
      {"big", bigText}, {"missing", ""},
  };
  m_tools.m_strKeyPath = kSandbox;
  for (const auto& [name, expected] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, name), expected);
  }
  m_tools.m_strKeyPath = Sandbox("NoSuchKey");
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "text"), "");
}

TEST_F(RegistryTest, WriteCreatesTheKeyAndDeleteTellsAMissingValueFromAMissingKey) {
  m_tools.m_strKeyPath = Sandbox("New\\Deeper");
  m_tools.WriteRegString(kWriteCurrentUser, "starter", "C:\\Tools\\KpwStarter.exe");
  RegValue value;
  ASSERT_TRUE(GetRawValue(Sandbox("New\\Deeper"), "starter", &value));
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(value.data, "C:\\Tools\\KpwStarter.exe\0"s);

  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "starter"), DeleteOutcome::Deleted);
  EXPECT_FALSE(GetRawValue(Sandbox("New\\Deeper"), "starter", &value));
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "starter"), DeleteOutcome::Deleted);
  m_tools.m_strKeyPath = Sandbox("NoSuchKey");
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "starter"), DeleteOutcome::KeyMissing);
  HKEY created = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, Sandbox("NoSuchKey").c_str(), 0, KEY_READ, &created),
            ERROR_SUCCESS)
      << "the delete created the key";
}

TEST_F(RegistryTest, PathsWithLeadingOrDoubledBackslashesOpenTheSameKey) {
  SetRawValue(Sandbox("A\\B"), "v", REG_SZ, "found\0"s);
  for (const std::string path :
       {"\\Software\\KelpwiseTest\\A\\B", "Software\\\\KelpwiseTest\\A\\\\\\B",
        "Software\\KelpwiseTest\\A\\B\\"}) {
    SCOPED_TRACE(path);
    m_tools.m_strKeyPath = path;
    EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "v"), "found");
  }
}

TEST_F(RegistryTest, ListsSubkeysWithLongNamesAndValuesWithData) {
  const std::string longName(255, 'n');
  {
    // Longer than Wine's ANSI path buffer together with the sandbox path.
    RegKey longKey(m_registry);
    ASSERT_EQ(longKey.Create(RegRoot::CurrentUser, Sandbox(longName)), RegStatus::Ok);
  }
  SetRawValue(Sandbox("first"), "", REG_SZ, "\0"s);
  SetRawValue(kSandbox, "s", REG_SZ, "text\0"s);
  SetRawValue(kSandbox, "d", REG_DWORD, "\x2a\0\0\0"s);

  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, kSandbox), RegStatus::Ok);
  std::vector<std::string> subKeys;
  ASSERT_EQ(m_registry.ListSubKeys(key.handle(), &subKeys), RegStatus::Ok);
  EXPECT_EQ(subKeys, (std::vector<std::string>{"first", longName}));
  std::vector<RegValue> values;
  ASSERT_EQ(m_registry.ListValues(key.handle(), /*withData=*/true, &values), RegStatus::Ok);
  // Windows lists values in creation order, Wine sorted by name.
  std::sort(values.begin(), values.end(),
            [](const RegValue& a, const RegValue& b) { return a.name < b.name; });
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].name + values[0].data, "d\x2a\0\0\0"s);
  EXPECT_EQ(values[1].name + values[1].data, "stext\0"s);
  EXPECT_EQ(values[1].type, kRegSz);
}

TEST_F(RegistryTest, IsAnsiExactRejectsNamesAndDataOutsideTheCodePage) {
  SetRawValue(kSandbox, "plain", REG_SZ, "caf\xe9\0"s);  // é is in 1252
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\KelpwiseTest", 0, KEY_SET_VALUE, &raw),
            ERROR_SUCCESS);
  RegSetValueExW(raw, L"name\x4e2d", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"text"), 10);
  RegSetValueExW(raw, L"data", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x\x4e2dy"), 8);
  RegCloseKey(raw);

  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, kSandbox), RegStatus::Ok);
  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "plain"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "name?"));  // as the ANSI functions show it
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "data"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "missing"));
}

TEST(ProbePathTest, OnlyAnExistingDriveCanSayMissing) {
  char temp[MAX_PATH] = "";
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string dir = std::string(temp) + "kelpwise-probe";
  CreateDirectoryA(dir.c_str(), nullptr);
  char absent = 'Q';
  while (absent < 'Z' && (GetLogicalDrives() & (1u << (absent - 'A')))) ++absent;
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::pair<std::string, PathState> rows[] = {
      {exe, PathState::Exists},
      {dir, PathState::Exists},
      {dir + "\\absent.txt", PathState::Missing},
      {dir + "\\no folder\\absent.txt", PathState::Missing},
      {std::string(1, absent) + ":\\folder\\file.exe", PathState::Unknown},
      {"no-such-file.dll", PathState::Unknown},  // relative: no drive to ask
  };
  Win32Environment env;
  for (const auto& [path, expected] : rows) {
    SCOPED_TRACE(path);
    EXPECT_EQ(env.ProbePath(path), expected);
  }
  RemoveDirectoryA(dir.c_str());
}

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
  char windows[MAX_PATH] = "";
  char wow64[MAX_PATH] = "";
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string system32 = std::string(windows) + "\\System32\\";
  const bool hasWow64 = GetSystemWow64DirectoryA(wow64, MAX_PATH) > 0;  // none on 32-bit Windows
  bool madeWow64 = false;
  InRealSystemFolders([&] {
    // Wine makes SysWOW64 only where it can run 32-bit programs.
    madeWow64 = hasWow64 && CreateDirectoryA(wow64, nullptr);
    for (const std::string& file :
         {system32 + kOnly64, hasWow64 ? std::string(wow64) + "\\" + kOnly32 : ""}) {
      if (file.empty()) continue;
      const HANDLE created = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
      EXPECT_NE(created, INVALID_HANDLE_VALUE) << file;
      CloseHandle(created);
    }
  });
  for (const char* file : {kOnly64, kOnly32, kNeither}) {
    if (file != kOnly32 || hasWow64) {
      SetRawValue(kSharedDlls, SystemFile(file), REG_DWORD, "\x01\0\0\0"s, HKEY_LOCAL_MACHINE);
    }
  }

  ResultModel model;
  SilentListener listener;
  KeyWalker walker(m_registry, m_tools, model, listener, {}, {}, OptionFlags{});
  for (const ScanCategory& category : ScanCategories()) {
    if (category.check == SCAN_SHAREDDLL) {
      walker.ScanKey("Shared DLLs", category.startKey, category.check, category.extensions);
    }
  }
  std::vector<std::string> listed;
  for (const ResultRow& row : model.rows()) {
    if (row.valueName.find("kelpwise-") != std::string::npos) listed.push_back(row.valueName);
  }
  EXPECT_EQ(listed, std::vector<std::string>{SystemFile(kNeither)});

  InRealSystemFolders([&] {
    DeleteFileA((system32 + kOnly64).c_str());
    DeleteFileA((std::string(wow64) + "\\" + kOnly32).c_str());
    if (madeWow64) RemoveDirectoryA(wow64);
  });
}

// Backups of awkward values, imported again with the system's registry
// editor, bring every value back with the same type and bytes.
TEST_F(RegistryTest, RegeditRestoresEveryBackedUpValueExactly) {
  struct Row {
    const char* name;
    DWORD type;
    std::string data;
    bool sharedDll = false;
  };
  const Row rows[] = {
      {"plain", REG_SZ, "C:\\Program Files\\a.exe\0"s},
      {"", REG_SZ, "default\0"s},
      {"@", REG_SZ, "value named at\0"s},
      {"a=b", REG_SZ, "c=d\0"s},
      {"\"quoted\"", REG_SZ, "\"C:\\gone.exe\" \"%1\"\0"s},
      {"back\\slash\\", REG_SZ, "\\\\server\\share\\\0"s},
      {"\xE4\xF6\xFC", REG_SZ, "\xE4\x80\xFF\0"s},
      {"lines", REG_SZ, "one\r\ntwo\nthree\r\0"s},
      {"zero bytes", REG_SZ, ""},
      {"no terminator", REG_SZ, "abc"},
      {"embedded zero", REG_SZ, "a\0b\0"s},
      {kSharedDll, REG_DWORD, "\x07\x01\0\x80"s, true},
  };
  std::vector<BackupRecord> records;
  for (const Row& row : rows) {
    const std::string path = row.sharedDll ? kSharedDlls : kSandbox;
    const HKEY root = row.sharedDll ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    SetRawValue(path, row.name, row.type, row.data, root);
    RegValue stored;
    ASSERT_TRUE(GetRawValue(path, row.name, &stored, root)) << row.name;
    records.push_back(row.sharedDll ? MakeSharedDllRecord(kSharedDlls, stored)
                                    : MakeValueRecord(RegRoot::CurrentUser, kSandbox, stored));
    ASSERT_EQ(records.back().kind, RecordKind::Restorable) << records.back().text;
    ASSERT_EQ(SHDeleteValueA(root, path.c_str(), row.name), ERROR_SUCCESS);
  }
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "kelpwise restore test.reg";
  WriteBackupFile(file, records);

  std::string command = "C:\\windows\\regedit.exe /s \"" + file + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(file.c_str());

  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RegValue restored;
    ASSERT_TRUE(GetRawValue(row.sharedDll ? kSharedDlls : kSandbox, row.name, &restored,
                            row.sharedDll ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER));
    EXPECT_EQ(restored.type, row.type);
    // String data without its terminating zero gets one on import.
    EXPECT_EQ(restored.data, row.data == "abc" ? "abc\0"s : row.data);
  }
}

}  // namespace
}  // namespace kw::test
