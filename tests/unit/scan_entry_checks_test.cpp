#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "scan/EntryChecks.h"
#include "scan/ScanCategories.h"

namespace kw::test {
namespace {

const char kWinDir[] = "C:\\Windows";

TEST(ScanEntryChecksTest, CutsAndProbesEachKindOfFileReference) {
  const char* const none = nullptr;
  const struct {
    ScanCheck check;
    const char *token, *name, *data;
    const char* existing;  // the one file that exists (any case), or none
    const char* expected;  // the missing file, or none
  } rows[] = {
      {SCAN_PROGRAM, ".exe", "", "\"C:\\P F\\Gone\\gone.exe\" \"%1\"", none,
       "c:\\p f\\gone\\gone.exe"},
      {SCAN_PROGRAM, ".exe", "", "\"C:\\App\\app.exe\" \"%1\"", "c:\\app\\APP.exe", none},
      {SCAN_PROGRAM, ".exe", "", "C:\\APP\\GONE.EXE /s", none, "c:\\app\\gone.exe"},
      {SCAN_PROGRAM, ".exe", "", "C:\\WINDOWS\\gone.exe %1", none, none},
      {SCAN_PROGRAM, ".exe", "", "D:\\Apps\\gone.exe", none, none},
      {SCAN_PROGRAM, ".exe", "", "C:\\Apps\\readme.txt", none, none},
      {SCAN_PROGRAM, ".exe", "", "run.exe c:\\data\\x", none, none},  // .exe before the drive
      // Bare font names live in the fonts folder; other drives are examined.
      {SCAN_FONT, ".ttf", "Old (TrueType)", "OldFont.TTF", none, "C:\\Windows\\fonts\\oldfont.ttf"},
      {SCAN_FONT, ".ttf", "Arial", "ARIAL.TTF", "C:\\Windows\\Fonts\\arial.ttf", none},
      {SCAN_FONT, ".ttf", "Old", "C:\\MyFonts\\Old.ttf", none, "c:\\myfonts\\old.ttf"},
      {SCAN_FONT, ".fon", "X", "D:\\Fonts\\x.fon", none, "d:\\fonts\\x.fon"},
      {SCAN_FONT, ".ttf", "X", "x.ttf c:\\fonts", none, none},  // drive after the name
      // Shared DLLs are named by the value name, on any drive, case kept.
      {SCAN_SHAREDDLL, "'Shared DLLs'", "C:\\Common\\Gone.DLL", "No REG_SZ", none,
       "C:\\Common\\Gone.DLL"},
      {SCAN_SHAREDDLL, "'Shared DLLs'", "D:\\Lib\\x.dll", "No REG_SZ", none, "D:\\Lib\\x.dll"},
      {SCAN_SHAREDDLL, "'Shared DLLs'", "", "No REG_SZ", none, none},
      {SCAN_SHAREDDLL, "'Shared DLLs'", "C:\\g.dll", "count c:\\", none, "C:\\g.dll"},
      // COM/OLE servers: cut three characters after the last dot.
      {SCAN_COMOBJECT, "Old COM/OLE", "", "C:\\P F\\App\\Server.DLL,0", none,
       "c:\\p f\\app\\server.dll"},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "\"C:\\App\\Srv.EXE\" /automation", none,
       "c:\\app\\srv.exe"},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\windows\\system32\\x.dll", none, none},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "d:\\app\\x.dll", none, none},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\folder", none, none},  // no dot: cut to the drive
      {SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\a.b", none, "c:\\a.b"},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "x.exe c:\\dir", none, none},
      {SCAN_TYPELIB, ".dll", "", "C:\\P F\\App\\App.dll", none, "c:\\p f\\app\\app.dll"},
      {SCAN_TYPELIB, ".dll", "", "C:\\Windows\\System32\\x.dll", none, none},
      // Help files: the folder in the data joined with the value name.
      {SCAN_HELPFILE, ".hlp", "x.hlp", "c:\\old", none, "c:\\old\\x.hlp"},
      {SCAN_HELPFILE, ".hlp", "x.hlp", "C:\\WINDOWS\\HELP", none, "c:\\windows\\help\\x.hlp"},
      {SCAN_HELPFILE, ".hlp", "x.hlp", "c:\\help", "C:\\Help\\x.hlp", none},
      {SCAN_HELPFILE, ".hlp", "x.hlp", "D:\\help", none, none},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " = " + row.data);
    const std::string existing = LowerAscii(row.existing ? row.existing : "");
    const auto probe = [&](const std::string& path) { return LowerAscii(path) == existing; };
    const std::optional<std::string> expected =
        row.expected ? std::optional<std::string>(row.expected) : std::nullopt;
    EXPECT_EQ(expected, FindMissingFile(row.check, row.token, row.name, row.data, kWinDir, probe));
  }
}

}  // namespace
}  // namespace kw::test
