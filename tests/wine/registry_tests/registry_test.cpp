// CSystemTools and Win32Registry/Win32Environment against the prefix's own
// registry, inside the sandbox key HKCU\Software\KelpwiseTest that each
// test starts without and leaves behind removed.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/SystemTools.h"
#include "system/Win32Environment.h"
#include "system/Win32Registry.h"

namespace kw::test {
namespace {

const char kSandbox[] = "Software\\KelpwiseTest";

std::string Sandbox(const std::string& sub) { return std::string(kSandbox) + "\\" + sub; }

// Sets a value with the system's own functions, bypassing the code under test.
void SetRawValue(const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void SetWideValue(const std::string& path, const std::wstring& name, DWORD type,
                  const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The value as the system returns it: type and bytes; false when missing.
bool GetRawValue(const std::string& path, const std::string& name, DWORD* type,
                 std::string* bytes) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  LONG error = RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
  if (error == ERROR_SUCCESS) {
    bytes->assign(size, '\0');
    error = RegQueryValueExA(key, name.c_str(), nullptr, type,
                             reinterpret_cast<BYTE*>(&(*bytes)[0]), &size);
    bytes->resize(size);
  }
  RegCloseKey(key);
  return error == ERROR_SUCCESS;
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSandbox);
    ASSERT_FALSE(KeyExists(kSandbox));
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSandbox);
    EXPECT_FALSE(KeyExists(kSandbox));
  }

  Win32Environment m_env;
  Win32Registry& m_registry = static_cast<Win32Registry&>(m_env.registry());
  CSystemTools m_tools{m_env};
};

TEST_F(RegistryTest, ReadRegStringDecodesEveryKindOfValue) {
  const std::string bigText(70000, 'x');
  SetRawValue(kSandbox, "text", REG_SZ, std::string("abc", 4));
  SetRawValue(kSandbox, "empty", REG_SZ, std::string("", 1));
  SetRawValue(kSandbox, "number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  SetRawValue(kSandbox, "expand", REG_EXPAND_SZ, std::string("%TEMP%", 7));
  SetRawValue(kSandbox, "unterminated", REG_SZ, "abc");
  SetRawValue(kSandbox, "big", REG_SZ, bigText + '\0');
  SetRawValue(kSandbox, "", REG_SZ, std::string("default", 8));

  struct Row {
    const char* path;
    const char* name;
    std::string expected;
  };
  const Row rows[] = {
      {kSandbox, "text", "abc"},         {kSandbox, "TEXT", "abc"},  // value names ignore case
      {kSandbox, "empty", ""},           {kSandbox, "number", "No REG_SZ"},
      {kSandbox, "expand", "No REG_SZ"}, {kSandbox, "unterminated", "abc"},
      {kSandbox, "big", bigText},        {kSandbox, "", "default"},
      {kSandbox, "missing", ""},         {"Software\\KelpwiseTest\\NoSuchKey", "text", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.path) + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, row.name), row.expected);
  }
}

TEST_F(RegistryTest, EmptyKeyPathGivesTheNotFoundMarkerExceptForClassesRoot) {
  m_tools.m_strKeyPath = "";
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "x"), "Registry key was not found :-( ");
  EXPECT_EQ(m_tools.ReadRegString(kReadLocalMachine, "x"), "Registry key was not found :-( ");
  EXPECT_EQ(m_tools.ReadRegString(kReadClassesRoot, "no such value here"), "");
}

TEST_F(RegistryTest, WriteRegStringCreatesTheKeyAndStoresLongTexts) {
  const std::string path = Sandbox("New\\Deeper");
  const std::string longText(5000, 'q');
  m_tools.m_strKeyPath = path;
  m_tools.WriteRegString(kWriteCurrentUser, "short", "C:\\Tools\\KpwStarter.exe");
  m_tools.WriteRegString(kWriteCurrentUser, "long", longText);

  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(GetRawValue(path, "short", &type, &bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, std::string("C:\\Tools\\KpwStarter.exe", 24));
  ASSERT_TRUE(GetRawValue(path, "long", &type, &bytes));
  EXPECT_EQ(bytes, longText + '\0');
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "long"), longText);
}

TEST_F(RegistryTest, DeleteRegValueTellsDeletedFromKeyMissing) {
  SetRawValue(kSandbox, "gone", REG_SZ, std::string("x", 2));
  m_tools.m_strKeyPath = kSandbox;
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone"), DeleteOutcome::Deleted);
  DWORD type = 0;
  std::string bytes;
  EXPECT_FALSE(GetRawValue(kSandbox, "gone", &type, &bytes));
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone"), DeleteOutcome::Deleted);

  m_tools.m_strKeyPath = Sandbox("NoSuchKey");
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "gone"), DeleteOutcome::KeyMissing);
  EXPECT_FALSE(KeyExists(Sandbox("NoSuchKey")));
}

TEST_F(RegistryTest, PathsWithLeadingOrDoubledBackslashesOpenTheSameKey) {
  SetRawValue(Sandbox("A\\B"), "v", REG_SZ, std::string("found", 6));
  const std::string paths[] = {"\\Software\\KelpwiseTest\\A\\B",
                               "Software\\\\KelpwiseTest\\A\\\\\\B",
                               "Software\\KelpwiseTest\\A\\B\\"};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    m_tools.m_strKeyPath = path;
    EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "v"), "found");
    RegKey key(m_registry);
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, path), RegStatus::Ok);
  }
}

TEST_F(RegistryTest, ListsSubkeysAndValuesWithData) {
  const std::string longName(255, 'n');
  SetRawValue(Sandbox("first"), "", REG_SZ, std::string("", 1));
  SetRawValue(Sandbox("Second"), "", REG_SZ, std::string("", 1));
  {
    // Longer than Wine's ANSI path buffer together with the sandbox path.
    RegKey longKey(m_registry);
    ASSERT_EQ(longKey.Create(RegRoot::CurrentUser, Sandbox(longName)), RegStatus::Ok);
  }
  SetRawValue(kSandbox, "s", REG_SZ, std::string("text", 5));
  SetRawValue(kSandbox, "d", REG_DWORD, std::string("\x2a\x00\x00\x00", 4));
  SetRawValue(kSandbox, "big", REG_BINARY, std::string(20000, '\x7f'));

  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, kSandbox), RegStatus::Ok);
  std::vector<std::string> subKeys;
  ASSERT_EQ(m_registry.ListSubKeys(key.handle(), &subKeys), RegStatus::Ok);
  ASSERT_EQ(subKeys.size(), 3u);
  EXPECT_EQ(subKeys[0], "first");  // the registry lists keys sorted by name
  EXPECT_EQ(subKeys[1], longName);
  EXPECT_EQ(subKeys[2], "Second");

  // Windows lists values in creation order, Wine sorted by name.
  std::vector<RegValue> values;
  ASSERT_EQ(m_registry.ListValues(key.handle(), /*withData=*/true, &values), RegStatus::Ok);
  std::sort(values.begin(), values.end(),
            [](const RegValue& a, const RegValue& b) { return a.name < b.name; });
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].name, "big");
  EXPECT_EQ(values[0].type, static_cast<uint32_t>(REG_BINARY));
  EXPECT_EQ(values[0].data, std::string(20000, '\x7f'));
  EXPECT_EQ(values[1].name, "d");
  EXPECT_EQ(values[1].type, kRegDword);
  EXPECT_EQ(values[1].data, std::string("\x2a\x00\x00\x00", 4));
  EXPECT_EQ(values[2].name, "s");
  EXPECT_EQ(values[2].type, kRegSz);
  EXPECT_EQ(values[2].data, std::string("text", 5));

  m_tools.EnumKeyNames(key);
  EXPECT_EQ(m_tools.m_arrSubKeyNames, subKeys);
  std::vector<std::string> names = m_tools.m_arrValueNames;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big", "d", "s"}));
}

TEST_F(RegistryTest, PathsLongerThanMaxPathCanBeWrittenAndRead) {
  std::string path = kSandbox;
  for (int i = 0; i < 12; ++i) path += "\\component" + std::to_string(i) + std::string(20, 'x');
  ASSERT_GT(path.size(), 300u);
  m_tools.m_strKeyPath = path;
  m_tools.WriteRegString(kWriteCurrentUser, "deep", "value");
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "deep"), "value");
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "deep"), DeleteOutcome::Deleted);
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "deep"), "");
  m_tools.m_strKeyPath = path + "\\missing";
  EXPECT_EQ(m_tools.DeleteRegValue(kWriteCurrentUser, "deep"), DeleteOutcome::KeyMissing);
}

TEST_F(RegistryTest, IsAnsiExactRejectsNamesAndDataOutsideTheCodePage) {
  SetRawValue(kSandbox, "plain", REG_SZ, std::string("caf\xe9", 5));  // é is in 1252
  SetWideValue(kSandbox, L"name\x4e2d", REG_SZ, L"text");
  SetWideValue(kSandbox, L"data", REG_SZ, L"x\x4e2dy");
  SetWideValue(kSandbox, L"multi", REG_MULTI_SZ, std::wstring(L"a\0b\x4e2d\0", 5));
  SetRawValue(kSandbox, "bytes", REG_BINARY, "\xff\xfe");

  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, kSandbox), RegStatus::Ok);
  std::vector<RegValue> values;
  ASSERT_EQ(m_registry.ListValues(key.handle(), false, &values), RegStatus::Ok);
  ASSERT_EQ(values.size(), 5u);
  // How the ANSI functions show the name.
  EXPECT_TRUE(std::any_of(values.begin(), values.end(),
                          [](const RegValue& v) { return v.name == "name?"; }));

  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "plain"));
  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "bytes"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "name?"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "data"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "multi"));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "missing"));

  // A real "name?" next to the replaced one: the ANSI name is ambiguous.
  SetRawValue(kSandbox, "name?", REG_SZ, std::string("", 1));
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "name?"));
}

class ProbePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    m_dir = std::string(temp) + "kelpwise-probe";
    CreateDirectoryA(m_dir.c_str(), nullptr);
    m_file = m_dir + "\\present.txt";
    HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  void TearDown() override {
    DeleteFileA(m_file.c_str());
    RemoveDirectoryA(m_dir.c_str());
  }

  // A drive letter that no drive has.
  static std::string AbsentDrive() {
    const DWORD drives = GetLogicalDrives();
    for (int letter = 'Q'; letter <= 'Y'; ++letter) {
      if ((drives & (1u << (letter - 'A'))) == 0) return std::string(1, char(letter)) + ":";
    }
    return "";
  }

  Win32Environment m_env;
  std::string m_dir;
  std::string m_file;
};

TEST_F(ProbePathTest, OnlyAFixedDriveCanSayMissing) {
  const std::string absent = AbsentDrive();
  ASSERT_FALSE(absent.empty());
  struct Row {
    std::string path;
    PathState expected;
  };
  const Row rows[] = {
      {m_file, PathState::Exists},
      {m_dir, PathState::Exists},
      {m_dir + "\\absent.txt", PathState::Missing},
      {m_dir + "\\no folder\\absent.txt", PathState::Missing},
      {absent + "\\folder\\file.exe", PathState::Unknown},
      {m_dir + "\\*.txt", PathState::Unknown},  // not a name the file system takes
      {"no-such-file.dll", PathState::Unknown},      // relative: no drive to ask
      {"\\no-such-folder\\file.dll", PathState::Unknown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(m_env.ProbePath(row.path), row.expected);
  }
  CSystemTools tools(m_env);
  EXPECT_TRUE(tools.FileExists(absent + "\\folder\\file.exe"));
  EXPECT_FALSE(tools.FileExists(m_dir + "\\absent.txt"));
}

TEST(Win32EnvironmentTest, KnowsItsOwnFolderAndTheWindowsFolder) {
  Win32Environment env;
  const std::string module = env.ModuleFileName();
  EXPECT_NE(module.find("registry_tests.exe"), std::string::npos) << module;
  std::string windows;
  ASSERT_TRUE(env.WindowsDirectory(&windows));
  EXPECT_NE(windows.back(), '\\');
  CSystemTools tools(env);
  EXPECT_EQ(tools.GetWindowsDir(), windows);
  EXPECT_EQ(tools.GetProgramDir() + "\\registry_tests.exe", module);
  const LocalTime now = env.Now();
  EXPECT_GE(now.year, 2020);
}

}  // namespace
}  // namespace kw::test
