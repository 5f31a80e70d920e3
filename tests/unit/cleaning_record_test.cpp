#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cleaning/BackupRecord.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

// The bytes a REGEDIT4 importer stores for a data token: quoted text gets
// its escapes undone and one terminating zero; hex(1): bytes get a zero
// added unless they end in one.
bool ImportedStringData(const std::string& token, std::string* bytes) {
  bytes->clear();
  if (token.size() >= 2 && token.front() == '"' && token.back() == '"') {
    for (size_t i = 1; i + 1 < token.size(); ++i) {
      if (token[i] == '\\') ++i;
      if (i + 1 >= token.size()) return false;
      bytes->push_back(token[i]);
    }
    bytes->push_back('\0');
    return true;
  }
  if (token.compare(0, 7, "hex(1):") != 0) return false;
  for (size_t i = 7; i < token.size(); i += 3) {
    if (i + 2 > token.size() || (i + 2 < token.size() && token[i + 2] != ',')) return false;
    bytes->push_back(static_cast<char>(std::stoi(token.substr(i, 2), nullptr, 16)));
  }
  if (!bytes->empty() && bytes->back() != '\0') bytes->push_back('\0');
  return true;
}

TEST(CleaningRecordTest, AwkwardValuesSurviveBuildAndReadBack) {
  const std::pair<std::string, std::string> values[] = {
      {"plain", "C:\\Program Files\\a.exe\0"s},
      {"", "default\0"s},
      {"@", "at\0"s},
      {"a=b", "c=d\0"s},
      {"\"quoted\"", "\"\0"s},
      {"back\\slash\\", "\\\\server\\share\\\0"s},
      {"\\\"", "\\\"\0"s},
      {"\xE4\xF6\xFC", "\xE4\x80\xFF\0"s},
      {"lines", "one\r\ntwo\nthree\r\0"s},
      {"long", std::string(10 * 1024, '"') + '\0'},
      {"zero bytes", ""},
      {"no terminator", "abc"},
      {"embedded", "a\0b\0"s},
      {"only zeros", "\0\0\0"s},
  };
  for (const auto& [name, data] : values) {
    SCOPED_TRACE(name);
    const BackupRecord record =
        MakeValueRecord(RegRoot::LocalMachine, "Soft ware\\A=B\\@", RegValue{name, kRegSz, data});
    ASSERT_EQ(record.kind, RecordKind::Restorable);
    EXPECT_EQ(std::count(record.text.begin(), record.text.end(), '\n'), 1);
    EXPECT_EQ(record.text.find('\r'), std::string::npos);

    RecordTarget target;
    ASSERT_TRUE(ReadRecordTarget(record.text, &target));
    EXPECT_EQ(target.rootName + "\\" + target.keyPath, "HKEY_LOCAL_MACHINE\\Soft ware\\A=B\\@");
    EXPECT_EQ(target.valueName, name);

    const std::string line = record.text.substr(record.text.find('\n') + 1);
    const std::string nameToken = name.empty() ? "@=" : "\"" + EscapeRegText(name) + "\"=";
    ASSERT_EQ(line.compare(0, nameToken.size(), nameToken), 0);
    std::string imported;
    ASSERT_TRUE(ImportedStringData(line.substr(nameToken.size()), &imported));
    EXPECT_EQ(imported, data.empty() || data.back() == '\0' ? data : data + '\0');
  }
}

TEST(CleaningRecordTest, SharedDllRecordsKeepTheStoredCountAndNameTheirKey) {
  const std::string dlls = kSharedDllsKeyPath;
  const std::string keyLine =
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLS]\n";
  const struct {
    std::string keyPath;
    RegValue value;
    std::string record;
  } rows[] = {
      {dlls, {"C:\\Program Files\\a.dll", kRegDword, "\x78\x56\x34\x12"s},
       keyLine + R"("C:\\Program Files\\a.dll"=dword:12345678)"},
      {dlls, {"c:\\d.dll", kRegDword, "\x02\0"s}, keyLine + R"("c:\\d.dll"=hex(4):02,00)"},
      {dlls, {"c:\\e.dll", kRegBinary, "\x03\0\0\0"s}, keyLine + R"("c:\\e.dll"=hex:03,00,00,00)"},
      {dlls, {"c:\\g\".dll", kRegSz, "5\0"s}, keyLine + R"("c:\\g\".dll"=hex(1):35,00)"},
      // A value below a subkey is that subkey's.
      {dlls + "\\Sub", {"c:\\d.dll", kRegDword, "\x02\0\0\0"s},
       "[HKEY_LOCAL_MACHINE\\" + dlls + "\\Sub]\n" + R"("c:\\d.dll"=dword:00000002)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.record);
    const BackupRecord record = MakeSharedDllRecord(row.keyPath, row.value);
    EXPECT_EQ(record.kind, RecordKind::Restorable);
    EXPECT_EQ(record.text, row.record);
  }
}

TEST(CleaningRecordTest, KindTellsWhatMayBeBackedUpAndDeleted) {
  const RegRoot hkcu = RegRoot::CurrentUser;
  const BackupRecord dword = MakeValueRecord(hkcu, "K", RegValue{"v", kRegDword, "1234"});
  EXPECT_EQ(dword.kind, RecordKind::NotString);
  EXPECT_EQ(dword.text, "[HKEY_CURRENT_USER\\K]\n\"v\"=\"No REG_SZ\"");
  // Line breaks in a name or key path have no REGEDIT4 spelling.
  const RecordKind never = RecordKind::NotRestorable;
  EXPECT_EQ(MakeValueRecord(hkcu, "K", RegValue{"a\nb", kRegSz, "x\0"s}).kind, never);
  EXPECT_EQ(MakeValueRecord(hkcu, "K\rL", RegValue{"a", kRegSz, "x\0"s}).kind, never);
  const std::string dlls = kSharedDllsKeyPath;
  const std::string one = "\1\0\0\0"s;
  EXPECT_EQ(MakeSharedDllRecord(dlls, RegValue{"c:\\a\r\n.dll", kRegDword, one}).kind, never);
  EXPECT_EQ(MakeSharedDllRecord(dlls + "\\K\n", RegValue{"c:\\a.dll", kRegDword, one}).kind, never);
}

TEST(CleaningRecordTest, ReadBackFollowsRegeditRulesAndRejectsMalformedRecords) {
  const struct {
    std::string text;
    std::string target;  // root\path:name, or empty when rejected
  } rows[] = {
      {"[HKEY_CURRENT_USER\\K\\[x]]\n\"\"=\"x\"", "HKEY_CURRENT_USER\\K\\[x]:"},
      {"[HKEY_USERS\\K]\n\"v\"=\"x\"", "HKEY_USERS\\K:v"},
      {"[HKEY_CLASSES_ROOT\\\\a\\b]\n@=\"x\"", "HKEY_CLASSES_ROOT\\a\\b:"},
      {"", ""},
      {"[HKEY_CURRENT_USER\\K]\n", ""},
      {"[\\K]\n\"v\"=\"x\"", ""},
      {"[HKEY_CURRENT_USER\\K]\nv=\"x\"", ""},
      {"[HKEY_CURRENT_USER\\K]\n\"v\" = \"x\"", ""},
      {"[HKEY_CURRENT_USER\\K]\n@", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    RecordTarget target;
    const bool read = ReadRecordTarget(row.text, &target);
    EXPECT_EQ(read ? target.rootName + "\\" + target.keyPath + ":" + target.valueName : "",
              row.target);
  }
}

}  // namespace
}  // namespace kw::test
