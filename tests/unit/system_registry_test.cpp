// CSystemTools' registry value operations over the memory registry.
#include <gtest/gtest.h>

#include <string>

#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const char kKey[] = "Software\\Test";
const RegRoot kHkcu = RegRoot::CurrentUser;

class SystemRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_env.m_registry.openKeys(), 0) << "a key was left open"; }

  FakeEnvironment m_env;
  MemoryRegistry& m_reg = m_env.m_registry;
  CSystemTools m_tools{m_env};
};

TEST_F(SystemRegistryTest, ReadRegStringDecodesValues) {
  const std::string big(70000, 'b');
  m_reg.SetString(kHkcu, kKey, "text", "abc");
  m_reg.SetString(kHkcu, kKey, "empty", "");
  m_reg.SetString(kHkcu, kKey, "big", big);
  m_reg.SetDword(kHkcu, kKey, "dword", 7);
  m_reg.SetRaw(kHkcu, kKey, "expand", kRegExpandSz, std::string("%x%", 4));
  m_reg.SetRaw(kHkcu, kKey, "unterminated", kRegSz, "abc");
  m_reg.SetRaw(kHkcu, kKey, "inner zero", kRegSz, std::string("ab\0cd\0", 6));
  m_reg.SetString(RegRoot::LocalMachine, kKey, "text", "machine");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "text", "classes");

  const struct {
    int selector;
    std::string path, name, expected;
  } rows[] = {
      {kReadCurrentUser, kKey, "text", "abc"},
      {kReadCurrentUser, kKey, "empty", ""},
      {kReadCurrentUser, kKey, "big", big},
      {kReadCurrentUser, kKey, "dword", "No REG_SZ"},
      {kReadCurrentUser, kKey, "expand", "No REG_SZ"},
      {kReadCurrentUser, kKey, "unterminated", "abc"},
      {kReadCurrentUser, kKey, "inner zero", "ab"},
      {kReadCurrentUser, kKey, "missing", ""},
      {kReadCurrentUser, "Software\\Nowhere", "text", ""},
      {kReadCurrentUser, "", "text", "Registry key was not found :-( "},
      {kReadLocalMachine, kKey, "text", "machine"},
      {kReadClassesRoot, kKey, "text", "classes"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.ReadRegString(row.selector, row.name), row.expected);
  }
}

TEST_F(SystemRegistryTest, WriteRegStringCreatesTheKeyAndWritesAnyLength) {
  const std::string longText(100000, 'L');
  m_tools.m_strKeyPath = "Software\\New\\Key";
  m_tools.WriteRegString(kWriteCurrentUser, "Run", "\"C:\\Tools\\KpwStarter.exe\"");
  m_tools.WriteRegString(kWriteLocalMachine, "long", longText);

  const RegValue* run = m_reg.Find(kHkcu, "Software\\New\\Key", "Run");
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->type, kRegSz);
  EXPECT_EQ(run->data, std::string("\"C:\\Tools\\KpwStarter.exe\"\0", 26));
  const RegValue* stored = m_reg.Find(RegRoot::LocalMachine, "Software\\New\\Key", "long");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->data, longText + '\0');
}

TEST_F(SystemRegistryTest, DeleteRegValueReportsItsOutcome) {
  m_reg.SetString(kHkcu, kKey, "present", "x");
  m_reg.SetString(RegRoot::ClassesRoot, kKey, "classes", "x");
  m_reg.SetString(kHkcu, "Software\\Locked", "kept", "x");
  m_reg.DenyAccess(kHkcu, "Software\\Locked");

  const struct {
    int selector;
    std::string path, name;
    DeleteOutcome expected;
  } rows[] = {
      {kWriteCurrentUser, kKey, "present", DeleteOutcome::Deleted},
      {kWriteCurrentUser, kKey, "present", DeleteOutcome::Deleted},  // already gone
      {kWriteClassesRoot, kKey, "classes", DeleteOutcome::Deleted},
      {kWriteCurrentUser, "Software\\Nowhere", "x", DeleteOutcome::KeyMissing},
      {kWriteCurrentUser, "Software\\Locked", "kept", DeleteOutcome::Failed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.selector) + " " + row.path + " : " + row.name);
    m_tools.m_strKeyPath = row.path;
    EXPECT_EQ(m_tools.DeleteRegValue(row.selector, row.name), row.expected);
  }
  EXPECT_FALSE(m_reg.HasValue(kHkcu, kKey, "present"));
  EXPECT_FALSE(m_reg.HasValue(RegRoot::ClassesRoot, kKey, "classes"));
  EXPECT_TRUE(m_reg.HasValue(kHkcu, "Software\\Locked", "kept"));
  EXPECT_FALSE(m_reg.HasKey(kHkcu, "Software\\Nowhere"));
}

}  // namespace
}  // namespace kw::test
