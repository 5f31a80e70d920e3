#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cleaning/BackupRecord.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

RegValue StringValue(const std::string& name, const std::string& bytes) {
  return RegValue{name, kRegSz, bytes};
}

std::string ValueLine(const BackupRecord& record) {
  return record.text.substr(record.text.find('\n') + 1);
}

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
  const std::string prefix = "hex(1):";
  if (token.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < token.size(); i += 3) {
    if (i + 2 > token.size()) return false;
    bytes->push_back(static_cast<char>(std::stoi(token.substr(i, 2), nullptr, 16)));
    if (i + 2 < token.size() && token[i + 2] != ',') return false;
  }
  if (!bytes->empty() && bytes->back() != '\0') bytes->push_back('\0');
  return true;
}

TEST(CleaningRecordTest, StringRecordsHaveTheRegeditForm) {
  struct Row {
    RegValue value;
    std::string valueLine;
  };
  const Row rows[] = {
      {StringValue("a", "notepad\\1\0"s), R"("a"="notepad\\1")"},
      {StringValue("", "x\0"s), R"(@="x")"},
      {StringValue("q\"n\\", "\"\\\0"s), R"("q\"n\\"="\"\\")"},
      {StringValue("e", "\0"s), R"("e"="")"},
      {StringValue("nul", "a\0b\0"s), R"("nul"=hex(1):61,00,62,00)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.valueLine);
    const BackupRecord record = MakeValueRecord(RegRoot::CurrentUser, "K", row.value);
    EXPECT_EQ(record.kind, RecordKind::Restorable);
    EXPECT_EQ(record.text, "[HKEY_CURRENT_USER\\K]\n" + row.valueLine);
  }
}

TEST(CleaningRecordTest, AwkwardValuesSurviveBuildAndReadBack) {
  const std::string longText(10 * 1024, 'x');
  const RegValue values[] = {
      StringValue("plain", "C:\\Program Files\\a.exe\0"s),
      StringValue("", "default\0"s),
      StringValue("@", "at\0"s),
      StringValue("a=b", "c=d\0"s),
      StringValue("\"quoted\"", "\"\0"s),
      StringValue("back\\slash\\", "\\\\server\\share\\\0"s),
      StringValue("\\\"", "\\\"\0"s),
      StringValue("=", "=\0"s),
      StringValue("semi;colon", "; not a comment\0"s),
      StringValue("\xE4\xF6\xFC", "\xE4\x80\xFF\0"s),
      StringValue("lines", "one\r\ntwo\nthree\r\0"s),
      StringValue("long", longText + '\0'),
      StringValue("long quote", std::string(5000, '"') + '\0'),
      StringValue("zero", ""),
      StringValue("no terminator", "abc"),
      StringValue("embedded", "a\0b\0"s),
      StringValue("empty", "\0"s),
      StringValue("only zeros", "\0\0\0"s),
  };
  for (const RegValue& value : values) {
    SCOPED_TRACE(value.name);
    const BackupRecord record = MakeValueRecord(RegRoot::LocalMachine, "Soft ware\\A=B\\@", value);
    ASSERT_EQ(record.kind, RecordKind::Restorable);
    EXPECT_EQ(std::count(record.text.begin(), record.text.end(), '\n'), 1);
    EXPECT_EQ(record.text.find('\r'), std::string::npos);

    RecordTarget target;
    ASSERT_TRUE(ReadRecordTarget(record.text, &target));
    EXPECT_EQ(target.rootName, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(target.keyPath, "Soft ware\\A=B\\@");
    EXPECT_EQ(target.valueName, value.name);

    const std::string line = ValueLine(record);
    const std::string nameToken =
        value.name.empty() ? "@" : "\"" + EscapeRegText(value.name) + "\"";
    ASSERT_EQ(line.compare(0, nameToken.size() + 1, nameToken + "="), 0);
    std::string imported;
    ASSERT_TRUE(ImportedStringData(line.substr(nameToken.size() + 1), &imported));
    const bool terminated = !value.data.empty() && value.data.back() == '\0';
    EXPECT_EQ(imported, terminated || value.data.empty() ? value.data : value.data + '\0');
  }
}

TEST(CleaningRecordTest, ProgramWalkPathsReadBackWithoutLeadingBackslash) {
  const BackupRecord record =
      MakeValueRecord(RegRoot::ClassesRoot, "\\exefile\\shell", StringValue("", "c\0"s));
  EXPECT_EQ(record.text, "[HKEY_CLASSES_ROOT\\exefile\\shell]\n@=\"c\"");
  RecordTarget target;
  ASSERT_TRUE(ReadRecordTarget(record.text, &target));
  EXPECT_EQ(target.keyPath, "exefile\\shell");

  const BackupRecord atRoot = MakeValueRecord(RegRoot::ClassesRoot, "", StringValue("v", "c\0"s));
  ASSERT_TRUE(ReadRecordTarget(atRoot.text, &target));
  EXPECT_EQ(target.rootName, "HKEY_CLASSES_ROOT");
  EXPECT_EQ(target.keyPath, "");
  EXPECT_EQ(target.valueName, "v");
}

TEST(CleaningRecordTest, KindTellsWhatMayBeBackedUpAndDeleted) {
  struct Row {
    BackupRecord record;
    RecordKind kind;
  };
  const Row rows[] = {
      {MakeValueRecord(RegRoot::CurrentUser, "K", RegValue{"v", kRegNone, ""}),
       RecordKind::NotString},
      {MakeValueRecord(RegRoot::CurrentUser, "K", RegValue{"v", kRegExpandSz, "a\0"s}),
       RecordKind::NotString},
      {MakeValueRecord(RegRoot::CurrentUser, "K", RegValue{"a\nb", kRegDword, "1234"}),
       RecordKind::NotString},
      // Line breaks in a name or key path have no REGEDIT4 spelling.
      {MakeValueRecord(RegRoot::CurrentUser, "K", StringValue("a\nb", "x\0"s)),
       RecordKind::NotRestorable},
      {MakeValueRecord(RegRoot::CurrentUser, "K\rL", StringValue("a", "x\0"s)),
       RecordKind::NotRestorable},
      {MakeSharedDllRecord(RegValue{"c:\\a\r\n.dll", kRegDword, "\1\0\0\0"s}),
       RecordKind::NotRestorable},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.record.text);
    EXPECT_EQ(row.record.kind, row.kind);
  }
  EXPECT_EQ(rows[0].record.text, "[HKEY_CURRENT_USER\\K]\n\"v\"=\"No REG_SZ\"");
}

TEST(CleaningRecordTest, SharedDllRecordsKeepTheStoredCount) {
  const std::string keyLine =
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLS]\n";
  struct Row {
    RegValue value;
    std::string valueLine;
  };
  const Row rows[] = {
      {{"C:\\Program Files\\a.dll", kRegDword, "\x01\0\0\0"s},
       R"("C:\\Program Files\\a.dll"=dword:00000001)"},
      {{"c:\\b.dll", kRegDword, "\x78\x56\x34\x12"s}, R"("c:\\b.dll"=dword:12345678)"},
      {{"c:\\c.dll", kRegDword, "\xff\xff\xff\xff"s}, R"("c:\\c.dll"=dword:ffffffff)"},
      {{"c:\\d.dll", kRegDword, "\x02\0"s}, R"("c:\\d.dll"=hex(4):02,00)"},
      {{"c:\\e.dll", kRegBinary, "\x03\0\0\0"s}, R"("c:\\e.dll"=hex:03,00,00,00)"},
      {{"c:\\f.dll", kRegNone, ""}, R"("c:\\f.dll"=hex(0):)"},
      {{"c:\\g\".dll", kRegSz, "5\0"s}, R"("c:\\g\".dll"=hex(1):35,00)"},
      {{"c:\\h.dll", 11, "\1\0\0\0\0\0\0\0"s}, R"("c:\\h.dll"=hex(b):01,00,00,00,00,00,00,00)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.valueLine);
    const BackupRecord record = MakeSharedDllRecord(row.value);
    EXPECT_EQ(record.kind, RecordKind::Restorable);
    EXPECT_EQ(record.text, keyLine + row.valueLine);
    RecordTarget target;
    ASSERT_TRUE(ReadRecordTarget(record.text, &target));
    EXPECT_EQ(target.rootName, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(target.keyPath, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLS");
    EXPECT_EQ(target.valueName, row.value.name);
  }
}

TEST(CleaningRecordTest, ReadBackFollowsRegeditRulesForNames) {
  struct Row {
    std::string text;
    std::string root, path, name;
  };
  const Row rows[] = {
      {"[HKEY_CURRENT_USER\\K]\n\"\"=\"x\"", "HKEY_CURRENT_USER", "K", ""},
      {"[HKEY_CURRENT_USER\\K\\[x]]\n\"v\"=\"x\"", "HKEY_CURRENT_USER", "K\\[x]", "v"},
      {"[HKEY_USERS\\K]\n\"v\"=\"x\"", "HKEY_USERS", "K", "v"},
      {"[HKEY_LOCAL_MACHINE]\n\"v\"=\"x\"", "HKEY_LOCAL_MACHINE", "", "v"},
      {"[HKEY_CLASSES_ROOT\\\\a\\b]\n\"v\"=\"x\"", "HKEY_CLASSES_ROOT", "a\\b", "v"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    RecordTarget target;
    ASSERT_TRUE(ReadRecordTarget(row.text, &target));
    EXPECT_EQ(target.rootName, row.root);
    EXPECT_EQ(target.keyPath, row.path);
    EXPECT_EQ(target.valueName, row.name);
  }
}

TEST(CleaningRecordTest, MalformedRecordsAreRejected) {
  const std::string texts[] = {
      "",
      "[HKEY_CURRENT_USER\\K]",
      "[HKEY_CURRENT_USER\\K]\n",
      "HKEY_CURRENT_USER\\K\n\"v\"=\"x\"",
      "[HKEY_CURRENT_USER\\K\n\"v\"=\"x\"",
      "]HKEY_CURRENT_USER[\n\"v\"=\"x\"",
      "[\\K]\n\"v\"=\"x\"",
      "[HKEY_CURRENT_USER\\K]\nv=\"x\"",
      "[HKEY_CURRENT_USER\\K]\n\"v=\"x\"",
      "[HKEY_CURRENT_USER\\K]\n\"v\\\"=\"x",
      "[HKEY_CURRENT_USER\\K]\n\"v\" = \"x\"",
      "[HKEY_CURRENT_USER\\K]\n@",
      "[HKEY_CURRENT_USER\\K]\n\"v\"",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    RecordTarget target;
    target.valueName = "unchanged";
    EXPECT_FALSE(ReadRecordTarget(text, &target));
    EXPECT_EQ(target.valueName, "unchanged");
  }
}

}  // namespace
}  // namespace kw::test
