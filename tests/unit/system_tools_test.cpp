// CSystemTools: whether a file exists, and the timestamp of backup names.
#include <gtest/gtest.h>

#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

// On 64-bit Windows a file named below System32 may lie in SysWOW64, where
// 32-bit programs keep their system files.
TEST(SystemPathsTest, OnlyAPathKnownToBeMissingDoesNotExist) {
  FakeEnvironment env;
  env.m_windowsDir = "C:\\WINDOWS";
  env.SetPath("C:\\here.exe", PathState::Exists);
  env.SetPath("A:\\floppy.exe", PathState::Unknown);
  env.SetPath("C:\\Windows\\System32\\only64.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\only32.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\Sub\\deep.dll", PathState::Exists);
  env.SetPath("C:\\Windows\\SysWOW64\\unknown.dll", PathState::Unknown);
  const struct {
    bool wow64;
    std::string path;
    bool exists;
  } rows[] = {
      {true, "c:\\HERE.exe", true},
      {true, "A:\\floppy.exe", true},
      {true, "C:\\gone.exe", false},
      {true, "C:\\Windows\\System32\\only32.dll", true},
      {true, "C:\\Windows\\System32\\sub\\deep.dll", true},
      {true, "C:\\Windows\\System32\\unknown.dll", true},
      {true, "C:\\Windows\\System32\\gone.dll", false},
      {true, "D:\\Windows\\System32\\only32.dll", false},
      {false, "C:\\Windows\\System32\\only32.dll", false},  // 32-bit Windows
      {false, "C:\\Windows\\System32\\only64.dll", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + (row.wow64 ? " (64-bit)" : " (32-bit)"));
    env.m_wow64Dir = row.wow64 ? "C:\\Windows\\SysWOW64" : "";
    EXPECT_EQ(CSystemTools(env).FileExists(row.path), row.exists);
  }
}

TEST(SystemTimestampTest, EveryFieldIsZeroPadded) {
  FakeEnvironment env;
  env.m_now = LocalTime{2007, 3, 1, 9, 7};
  EXPECT_EQ(CSystemTools(env).GetTimestamp(), "200703010907");
}

}  // namespace
}  // namespace kw::test
