// Win32Registry's combined listing of a key and the names IsAnsiExact keeps
// between calls on one open key, against the prefix's own registry.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/Win32Registry.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const char kListingSandbox[] = "Software\\KelpwiseListingTest";

std::string In(const std::string& sub) { return std::string(kListingSandbox) + "\\" + sub; }

// Writes through the system's wide functions on a handle of its own, as
// another program would while ours holds the key open.
void SetWide(const std::string& path, const std::wstring& name, const std::wstring& text) {
  HKEY key = nullptr;
  const std::wstring widePath(path.begin(), path.end());
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(
      RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
  RegCloseKey(key);
}

void DeleteWide(const std::string& path, const std::wstring& name) {
  HKEY key = nullptr;
  const std::wstring widePath(path.begin(), path.end());
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, name.c_str()), ERROR_SUCCESS);
  RegCloseKey(key);
}

std::vector<std::string> Names(const std::vector<RegValue>& values) {
  std::vector<std::string> names;
  for (const RegValue& value : values) names.push_back(value.name);
  return names;
}

class RegistryListingTest : public ::testing::Test {
 protected:
  void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, kListingSandbox); }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kListingSandbox); }

  Win32Registry m_registry;
};

TEST_F(RegistryListingTest, ListKeyGivesWhatTheTwoListingsGive) {
  const std::string path = In("key");
  SetWide(path, L"", L"default");
  SetWide(path, L"long", std::wstring(5000, L'x'));
  SetWide(path, L"b", L"");
  for (const char* sub : {"one", "two", "three"}) SetWide(path + "\\" + sub, L"v", L"x");
  const std::string longName(255, 'k');  // longer than the shortest buffer
  SetWide(path + "\\" + longName, L"v", L"x");
  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, path), RegStatus::Ok);

  std::vector<RegValue> values, expectedValues;
  std::vector<std::string> subKeys, expectedSubKeys;
  ASSERT_EQ(m_registry.ListKey(key.handle(), &values, &subKeys), RegStatus::Ok);
  ASSERT_EQ(m_registry.ListValues(key.handle(), true, &expectedValues), RegStatus::Ok);
  ASSERT_EQ(m_registry.ListSubKeys(key.handle(), &expectedSubKeys), RegStatus::Ok);

  EXPECT_EQ(Names(expectedValues), Names(values));
  ASSERT_EQ(values.size(), 3u);
  for (size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(values[i].name);
    EXPECT_EQ(expectedValues[i].type, values[i].type);
    EXPECT_EQ(expectedValues[i].data, values[i].data);
  }
  const auto longValue = std::find_if(values.begin(), values.end(),
                                      [](const RegValue& v) { return v.name == "long"; });
  ASSERT_NE(longValue, values.end());
  EXPECT_TRUE(longValue->data == std::string(5000, 'x') + '\0');
  EXPECT_EQ(expectedSubKeys, subKeys);
  EXPECT_EQ(4u, subKeys.size());

  // A key that cannot be listed any more lists nothing.
  key.Close();
  values.assign(1, RegValue{});
  subKeys.assign(1, "stale");
  EXPECT_NE(m_registry.ListKey(nullptr, &values, &subKeys), RegStatus::Ok);
  EXPECT_TRUE(values.empty());
  EXPECT_TRUE(subKeys.empty());
}

TEST_F(RegistryListingTest, IsAnsiExactSeesChangesMadeWhileTheKeyIsOpen) {
  const std::string path = In("names");
  SetWide(path, L"x?", L"plain");
  SetWide(path, L"other", L"plain");
  RegKey key(m_registry);
  ASSERT_EQ(key.Open(RegRoot::CurrentUser, path), RegStatus::Ok);
  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "x?"));

  // A second value that the ANSI functions also show as "x?".
  SetWide(path, L"x\x4e2d", L"plain");
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "x?"));

  // The same number of values again, but other ones.
  DeleteWide(path, L"x\x4e2d");
  SetWide(path, L"y", L"plain");
  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "x?"));
  EXPECT_TRUE(m_registry.IsAnsiExact(key.handle(), "y"));

  // Data changed to text outside the code page.
  SetWide(path, L"y", L"\x4e2d");
  EXPECT_FALSE(m_registry.IsAnsiExact(key.handle(), "y"));
}

TEST_F(RegistryListingTest, IsAnsiExactForgetsAClosedKey) {
  SetWide(In("a"), L"only in a", L"text");
  SetWide(In("b"), L"only in b", L"text");
  RegKey a(m_registry);
  ASSERT_EQ(a.Open(RegRoot::CurrentUser, In("a")), RegStatus::Ok);
  EXPECT_TRUE(m_registry.IsAnsiExact(a.handle(), "only in a"));
  a.Close();

  // The next key opened may get the same handle.
  RegKey b(m_registry);
  ASSERT_EQ(b.Open(RegRoot::CurrentUser, In("b")), RegStatus::Ok);
  EXPECT_FALSE(m_registry.IsAnsiExact(b.handle(), "only in a"));
  EXPECT_TRUE(m_registry.IsAnsiExact(b.handle(), "only in b"));
}

}  // namespace
}  // namespace kw::test
