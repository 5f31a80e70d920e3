// Backup records: how values are escaped for regedit, and the key and value
// name the deletion reads back from a record.
#include <gtest/gtest.h>
#include <strings.h>

#include "cleaning/BackupRecord.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

TEST(CleaningRecordTest, RecordsEscapeForRegeditAndReadBackToTheirValue) {
  const std::string dlls = kSharedDllsKeyPath;
  const std::string dllLine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLS]\n";
  const RecordKind ok = RecordKind::Restorable, never = RecordKind::NotRestorable;
  const struct {
    bool sharedDll;
    std::string keyPath;
    RegValue value;
    std::string text;  // key line omitted for plain records: [HKEY_CURRENT_USER\<keyPath>]
    RecordKind kind;
  } rows[] = {
      {false, "A=B\\@", {"", kRegSz, "C:\\a.exe\0"s}, R"(@="C:\\a.exe")", ok},
      {false, "K", {"@", kRegSz, "at\0"s}, R"("@"="at")", ok},
      {false, "K", {"\"q\"", kRegSz, "\"\0"s}, R"("\"q\""="\"")", ok},
      {false, "K", {"b\\s\\", kRegSz, "\\\\s\\\0"s}, R"("b\\s\\"="\\\\s\\")", ok},
      {false, "K", {"lines", kRegSz, "a\r\nb\0"s}, "\"lines\"=hex(1):61,0d,0a,62,00", ok},
      {false, "K", {"bare", kRegSz, "abc"}, "\"bare\"=hex(1):61,62,63", ok},
      {false, "K", {"empty", kRegSz, ""}, "\"empty\"=hex(1):", ok},
      {false, "K", {"v", kRegDword, "1234"}, R"("v"="No REG_SZ")", RecordKind::NotString},
      {false, "K", {"a\nb", kRegSz, "x\0"s}, "", never},
      {false, "K\rL", {"a", kRegSz, "x\0"s}, "", never},
      {true, dlls, {"C:\\P F\\a.dll", kRegDword, "\x78\x56\x34\x12"s},
       dllLine + R"("C:\\P F\\a.dll"=dword:12345678)", ok},
      {true, dlls, {"c:\\d.dll", kRegDword, "\x02\0"s}, dllLine + R"("c:\\d.dll"=hex(4):02,00)", ok},
      {true, dlls, {"c:\\g\".dll", 11, "5\0"s}, dllLine + R"("c:\\g\".dll"=hex(b):35,00)", ok},
      {true, dlls + "\\Sub", {"c:\\d.dll", kRegDword, "\x02\0\0\0"s},
       "[HKEY_LOCAL_MACHINE\\" + dlls + "\\Sub]\n" + R"("c:\\d.dll"=dword:00000002)", ok},
      {true, dlls, {"c:\\a\r\n.dll", kRegDword, "\1\0\0\0"s}, "", never},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value.name);
    const BackupRecord record =
        row.sharedDll ? MakeSharedDllRecord(row.keyPath, row.value)
                      : MakeValueRecord(RegRoot::CurrentUser, row.keyPath, row.value);
    EXPECT_EQ(record.kind, row.kind);
    if (row.kind == never) continue;
    EXPECT_EQ(record.text,
              row.sharedDll ? row.text : "[HKEY_CURRENT_USER\\" + row.keyPath + "]\n" + row.text);
    RecordTarget target;
    ASSERT_TRUE(ReadRecordTarget(record.text, &target));
    EXPECT_EQ(strcasecmp(target.keyPath.c_str(), row.keyPath.c_str()), 0) << target.keyPath;
    EXPECT_EQ(target.valueName, row.value.name);
  }
}

}  // namespace
}  // namespace kw::test
