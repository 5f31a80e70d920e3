// Restores backups with the system's own registry editor: values with
// awkward names and data are backed up, deleted, imported again with
// regedit.exe, and must come back with the same type and bytes.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cleaning/BackupFile.h"
#include "cleaning/BackupRecord.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const char kSandbox[] = "Software\\KelpwiseRestoreTest";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

HKEY RootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
  }
  return nullptr;
}

struct Place {
  RegRoot root;
  std::string path;  // as the search spells it
};

void SetValue(const Place& place, const RegValue& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(RootHandle(place.root), place.path.c_str() + (place.path[0] == '\\'), 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, value.name.c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(value.data.data()),
                           static_cast<DWORD>(value.data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The value as stored, or false when it is not there.
bool QueryValue(RegRoot root, const std::string& path, const std::string& name, RegValue* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootHandle(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  std::string bytes(size, '\0');
  if (status == ERROR_SUCCESS && size > 0) {
    status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                              &size);
    bytes.resize(size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  *value = RegValue{name, type, bytes};
  return true;
}

// Deletes the value that a record names, as read back from its text.
void DeleteRecordedValue(const BackupRecord& record) {
  RecordTarget target;
  ASSERT_TRUE(ReadRecordTarget(record.text, &target)) << record.text;
  const HKEY root = target.rootName == "HKEY_CURRENT_USER"    ? HKEY_CURRENT_USER
                    : target.rootName == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                                                              : HKEY_CLASSES_ROOT;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(root, target.keyPath.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS)
      << target.keyPath;
  EXPECT_EQ(RegDeleteValueA(key, target.valueName.c_str()), ERROR_SUCCESS) << target.valueName;
  RegCloseKey(key);
}

// Runs regedit on the file and waits for it. Its exit code says nothing.
void ImportWithRegedit(const std::string& file) {
  std::string command = "C:\\windows\\regedit.exe /s \"" + file + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

std::string TempFile(const char* name) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes.substr(0, 60)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "<%02x>", c);
    out += hex;
  }
  return bytes.size() > 60 ? out + "..." : out;
}

class RestoreTest : public ::testing::Test {
 protected:
  void SetUp() override { CleanUp(); }
  void TearDown() override {
    CleanUp();
    std::remove(m_file.c_str());
  }
  static void CleanUp() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSandbox);
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "KelpwiseRestoreTest");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSandbox);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      for (const char* name : {"C:\\KelpwiseRestoreTest\\one.dll", "C:\\KelpwiseRestoreTest\\b.dll",
                               "C:\\KelpwiseRestoreTest\\none.dll"}) {
        RegDeleteValueA(key, name);
      }
      RegCloseKey(key);
    }
  }

  // Backs up every value, deletes them, imports the backup and compares.
  void RoundTrip(const std::vector<std::pair<Place, RegValue>>& values, bool sharedDlls) {
    std::vector<BackupRecord> records;
    for (const auto& [place, value] : values) {
      SetValue(place, value);
      RegValue stored;
      const std::string path = place.path.substr(place.path[0] == '\\');
      ASSERT_TRUE(QueryValue(place.root, path, value.name, &stored)) << value.name;
      records.push_back(sharedDlls ? MakeSharedDllRecord(stored)
                                   : MakeValueRecord(place.root, place.path, stored));
      ASSERT_EQ(records.back().kind, RecordKind::Restorable) << records.back().text;
    }
    WriteBackupFile(m_file, records);
    for (const BackupRecord& record : records) DeleteRecordedValue(record);
    for (const auto& [place, value] : values) {
      RegValue gone;
      ASSERT_FALSE(
          QueryValue(place.root, place.path.substr(place.path[0] == '\\'), value.name, &gone))
          << value.name;
    }

    ImportWithRegedit(m_file);

    for (const auto& [place, value] : values) {
      SCOPED_TRACE("value \"" + Printable(value.name) + "\" data " + Printable(value.data));
      RegValue restored;
      ASSERT_TRUE(
          QueryValue(place.root, place.path.substr(place.path[0] == '\\'), value.name, &restored));
      EXPECT_EQ(restored.type, value.type);
      // String data without its terminating zero gets one on import.
      const bool unterminated =
          value.type == kRegSz && !value.data.empty() && value.data.back() != '\0';
      EXPECT_EQ(Printable(restored.data), Printable(unterminated ? value.data + '\0' : value.data));
      EXPECT_EQ(restored.data, unterminated ? value.data + '\0' : value.data);
    }
  }

  std::string m_file = TempFile("kelpwise restore test.reg");
};

TEST_F(RestoreTest, AwkwardStringValuesComeBackExactly) {
  const Place user{RegRoot::CurrentUser, kSandbox};
  const RegValue values[] = {
      {"plain", kRegSz, "C:\\Program Files\\a.exe\0"s},
      {"", kRegSz, "default\0"s},
      {"@", kRegSz, "value named at\0"s},
      {"a=b", kRegSz, "c=d\0"s},
      {"\"quoted\"", kRegSz, "\"C:\\gone.exe\" \"%1\"\0"s},
      {"back\\slash\\", kRegSz, "\\\\server\\share\\\0"s},
      {"\\\"", kRegSz, "\\\"\0"s},
      {"semi;colon", kRegSz, "; not a comment\0"s},
      {"\xE4\xF6\xFC", kRegSz, "\xE4\x80\xFF\0"s},
      {"lines", kRegSz, "one\r\ntwo\nthree\r\0"s},
      {"tab", kRegSz, "a\tb \0"s},
      {"ctrl-z", kRegSz, "a\x1a b\0"s},
      {"long", kRegSz, std::string(10 * 1024, 'x') + '\0'},
      {"long hex", kRegSz, std::string(10 * 1024, 'x') + "\r\n" + '\0'},
      {"long quotes", kRegSz, std::string(3000, '"') + std::string(3000, '\\') + '\0'},
      {"zero bytes", kRegSz, ""},
      {"empty", kRegSz, "\0"s},
      {"embedded zero", kRegSz, "a\0b\0"s},
      {"two zeros", kRegSz, "a\0\0"s},
      {"no terminator", kRegSz, "abc"},
  };
  std::vector<std::pair<Place, RegValue>> all;
  for (const RegValue& value : values) all.push_back({user, value});
  RoundTrip(all, false);
}

TEST_F(RestoreTest, AllRootsAndProgramWalkPaths) {
  RoundTrip({{{RegRoot::CurrentUser, std::string(kSandbox) + "\\A=B\\@"}, {"v", kRegSz, "1\0"s}},
             {{RegRoot::LocalMachine, kSandbox}, {"", kRegSz, "2\0"s}},
             {{RegRoot::ClassesRoot, "\\KelpwiseRestoreTest\\shell"}, {"", kRegSz, "3\0"s}},
             {{RegRoot::ClassesRoot, "KelpwiseRestoreTest\\[x]"}, {"w", kRegSz, "4\0"s}}},
            false);
}

TEST_F(RestoreTest, SharedDllCountsComeBack) {
  const Place dlls{RegRoot::LocalMachine, kSharedDlls};
  RoundTrip({{dlls, {"C:\\KelpwiseRestoreTest\\one.dll", kRegDword, "\x07\x01\0\x80"s}},
             {dlls, {"C:\\KelpwiseRestoreTest\\b.dll", kRegBinary, "\x03\0"s}},
             {dlls, {"C:\\KelpwiseRestoreTest\\none.dll", kRegNone, ""}}},
            true);
}

}  // namespace
}  // namespace kw::test

int main(int argc, char** argv) {
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
