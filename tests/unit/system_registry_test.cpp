// CSystemTools' registry value operations over the memory registry.
#include <gtest/gtest.h>

#include <string>

#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const char kKey[] = "Software\\Test";

class SystemRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_env.m_registry.openKeys(), 0) << "a key was left open"; }

  FakeEnvironment m_env;
  MemoryRegistry& m_reg = m_env.m_registry;
  CSystemTools m_tools{m_env};
};

TEST_F(SystemRegistryTest, ReadRegStringDecodesValues) {
  const std::string big(70000, 'b');
  m_reg.SetString(RegRoot::CurrentUser, kKey, "text", "abc");
  m_reg.SetString(RegRoot::CurrentUser, kKey, "empty", "");
  m_reg.SetString(RegRoot::CurrentUser, kKey, "", "default");
  m_reg.SetString(RegRoot::CurrentUser, kKey, "big", big);
  m_reg.SetDword(RegRoot::CurrentUser, kKey, "dword", 7);
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "expand", kRegExpandSz, std::string("%x%", 4));
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "unterminated", kRegSz, "abc");
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "one char", kRegSz, "a");
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "inner zero", kRegSz, std::string("ab\0cd\0", 6));
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "no data", kRegSz, "");
  m_reg.SetRaw(RegRoot::CurrentUser, kKey, "no binary data", kRegBinary, "");
  m_reg.SetString(RegRoot::LocalMachine, kKey, "text", "machine");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "text", "classes");
  m_reg.SetString(RegRoot::ClassesRoot, "", "at root", "root");

  const struct {
    int selector;
    std::string path, name, expected;
  } rows[] = {
      {kReadCurrentUser, kKey, "text", "abc"},
      {kReadCurrentUser, kKey, "TEXT", "abc"},
      {kReadCurrentUser, kKey, "empty", ""},
      {kReadCurrentUser, kKey, "", "default"},
      {kReadCurrentUser, kKey, "big", big},
      {kReadCurrentUser, kKey, "dword", "No REG_SZ"},
      {kReadCurrentUser, kKey, "expand", "No REG_SZ"},
      {kReadCurrentUser, kKey, "unterminated", "abc"},
      {kReadCurrentUser, kKey, "one char", "a"},
      {kReadCurrentUser, kKey, "inner zero", "ab"},
      {kReadCurrentUser, kKey, "no data", ""},
      {kReadCurrentUser, kKey, "no binary data", ""},
      {kReadCurrentUser, kKey, "missing", ""},
      {kReadCurrentUser, "Software\\Nowhere", "text", ""},
      {kReadCurrentUser, "\\Software\\\\Test", "text", "abc"},
      {kReadLocalMachine, kKey, "text", "machine"},
      {kReadClassesRoot, kKey, "text", "classes"},
      {kReadClassesRoot, "", "at root", "root"},
      {3, kKey, "text", ""},  // no such selector
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.ReadRegString(row.selector, row.name), row.expected);
  }
}

TEST_F(SystemRegistryTest, EmptyPathGivesTheMarkerWithoutTouchingTheRegistry) {
  m_reg.SetString(RegRoot::CurrentUser, "", "x", "root value");
  m_tools.m_strKeyPath = "";
  const int calls = m_reg.openCalls();
  EXPECT_EQ(m_tools.ReadRegString(kReadCurrentUser, "x"), "Registry key was not found :-( ");
  EXPECT_EQ(m_tools.ReadRegString(kReadLocalMachine, "x"), "Registry key was not found :-( ");
  EXPECT_EQ(m_reg.openCalls(), calls);
}

TEST_F(SystemRegistryTest, WriteRegStringCreatesTheKeyAndWritesAnyLength) {
  const std::string longText(100000, 'L');
  m_tools.m_strKeyPath = "Software\\New\\Key";
  m_tools.WriteRegString(kWriteCurrentUser, "Run", "\"C:\\Tools\\KpwStarter.exe\"");
  m_tools.WriteRegString(kWriteLocalMachine, "long", longText);
  m_tools.WriteRegString(kWriteClassesRoot, "never", "x");  // not a write root

  const RegValue* run = m_reg.Find(RegRoot::CurrentUser, "Software\\New\\Key", "Run");
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->type, kRegSz);
  EXPECT_EQ(run->data, std::string("\"C:\\Tools\\KpwStarter.exe\"\0", 26));
  const RegValue* stored = m_reg.Find(RegRoot::LocalMachine, "Software\\New\\Key", "long");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->data, longText + '\0');
  EXPECT_FALSE(m_reg.HasKey(RegRoot::ClassesRoot, "Software\\New\\Key"));
}

TEST_F(SystemRegistryTest, WriteRegStringIntoADeniedKeyWritesNothing) {
  m_reg.DenyAccess(RegRoot::LocalMachine, kKey);
  m_tools.m_strKeyPath = kKey;
  m_tools.WriteRegString(kWriteLocalMachine, "v", "x");
  EXPECT_FALSE(m_reg.HasValue(RegRoot::LocalMachine, kKey, "v"));
}

TEST_F(SystemRegistryTest, DeleteRegValueReportsItsOutcome) {
  m_reg.SetString(RegRoot::CurrentUser, kKey, "present", "x");
  m_reg.SetString(RegRoot::LocalMachine, kKey, "machine", "x");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "classes", "x");
  m_reg.SetString(RegRoot::CurrentUser, "Software\\Locked", "kept", "x");
  m_reg.DenyAccess(RegRoot::CurrentUser, "Software\\Locked");

  const struct {
    int selector;
    std::string path, name;
    DeleteOutcome expected;
  } rows[] = {
      {kWriteCurrentUser, kKey, "PRESENT", DeleteOutcome::Deleted},
      {kWriteCurrentUser, kKey, "present", DeleteOutcome::Deleted},  // already gone
      {kWriteLocalMachine, kKey, "machine", DeleteOutcome::Deleted},
      {kWriteClassesRoot, kKey, "classes", DeleteOutcome::Deleted},
      {kWriteCurrentUser, "Software\\Nowhere", "x", DeleteOutcome::KeyMissing},
      {kWriteCurrentUser, "Software\\Locked", "kept", DeleteOutcome::Failed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.DeleteRegValue(row.selector, row.name), row.expected);
  }
  EXPECT_FALSE(m_reg.HasValue(RegRoot::CurrentUser, kKey, "present"));
  EXPECT_FALSE(m_reg.HasValue(RegRoot::LocalMachine, kKey, "machine"));
  EXPECT_FALSE(m_reg.HasValue(RegRoot::ClassesRoot, kKey, "classes"));
  EXPECT_TRUE(m_reg.HasValue(RegRoot::CurrentUser, "Software\\Locked", "kept"));
  EXPECT_FALSE(m_reg.HasKey(RegRoot::CurrentUser, "Software\\Nowhere"));
}

TEST_F(SystemRegistryTest, EnumKeyNamesListsInEnumerationOrder) {
  m_reg.AddKey(RegRoot::ClassesRoot, "Root\\zeta");
  m_reg.AddKey(RegRoot::ClassesRoot, "Root\\Alpha");
  m_reg.SetString(RegRoot::ClassesRoot, "Root", "b", "1");
  m_reg.SetString(RegRoot::ClassesRoot, "Root", "", "default");
  m_reg.SetDword(RegRoot::ClassesRoot, "Root", "a", 1);

  m_tools.m_arrSubKeyNames = {"stale"};
  {
    RegKey key(m_reg);
    ASSERT_EQ(key.Open(RegRoot::ClassesRoot, "Root"), RegStatus::Ok);
    m_tools.EnumKeyNames(key);
  }
  EXPECT_EQ(m_tools.m_arrSubKeyNames, (std::vector<std::string>{"zeta", "Alpha"}));
  EXPECT_EQ(m_tools.m_arrValueNames, (std::vector<std::string>{"b", "", "a"}));

  RegKey closed(m_reg);
  m_tools.EnumKeyNames(closed);
  EXPECT_TRUE(m_tools.m_arrSubKeyNames.empty());
  EXPECT_TRUE(m_tools.m_arrValueNames.empty());
}

}  // namespace
}  // namespace kw::test
