#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "scan/EntryChecks.h"
#include "scan/ScanCategories.h"

namespace kw::test {
namespace {

const char kWinDir[] = "C:\\Windows";

// A file system holding `existing` (compared without regard to case, as
// Windows does) that remembers what it was asked.
struct ProbeLog {
  std::set<std::string> existing;
  std::vector<std::string> asked;
  FileProbe probe() {
    return [this](const std::string& path) {
      asked.push_back(path);
      const std::string lower = LowerAscii(path);
      for (const std::string& file : existing) {
        if (LowerAscii(file) == lower) return true;
      }
      return false;
    };
  }
};

struct CheckRow {
  const char* what;
  ScanCheck check;
  const char* token;
  const char* name;
  const char* data;
  std::vector<std::string> existing;
  std::optional<std::string> expected;
};

void RunRows(const std::vector<CheckRow>& rows) {
  for (const CheckRow& row : rows) {
    SCOPED_TRACE(row.what);
    ProbeLog files{{row.existing.begin(), row.existing.end()}, {}};
    EXPECT_EQ(row.expected,
              FindMissingFile(row.check, row.token, row.name, row.data, kWinDir, files.probe()));
  }
}

TEST(ScanEntryChecksTest, ProgramReferences) {
  RunRows({
      {"quoted path with an argument",
       SCAN_PROGRAM,
       ".exe",
       "",
       "\"C:\\Program Files\\Gone\\gone.exe\" \"%1\"",
       {},
       "c:\\program files\\gone\\gone.exe"},
      {"file present",
       SCAN_PROGRAM,
       ".exe",
       "",
       "\"C:\\Program Files\\App\\app.exe\" \"%1\"",
       {"c:\\program files\\app\\app.exe"},
       std::nullopt},
      {"upper-case extension",
       SCAN_PROGRAM,
       ".exe",
       "",
       "C:\\APP\\GONE.EXE /s",
       {},
       "c:\\app\\gone.exe"},
      {"first .exe ends the path",
       SCAN_PROGRAM,
       ".exe",
       "",
       "c:\\tools\\x.exe c:\\y.exe",
       {},
       "c:\\tools\\x.exe"},
      {"Windows folder", SCAN_PROGRAM, ".exe", "", "C:\\WINDOWS\\gone.exe %1", {}, std::nullopt},
      {"drive D:", SCAN_PROGRAM, ".exe", "", "D:\\Apps\\gone.exe", {}, std::nullopt},
      {"no .exe", SCAN_PROGRAM, ".exe", "", "C:\\Apps\\readme.txt", {}, std::nullopt},
      {".exe before the drive", SCAN_PROGRAM, ".exe", "", "run.exe c:\\data\\x", {}, std::nullopt},
      {"not a string", SCAN_PROGRAM, ".exe", "", "No REG_SZ", {}, std::nullopt},
      {"empty data", SCAN_PROGRAM, ".exe", "", "", {}, std::nullopt},
  });
}

TEST(ScanEntryChecksTest, FontReferences) {
  RunRows({
      {"bare name, any case",
       SCAN_FONT,
       ".ttf",
       "Old (TrueType)",
       "OldFont.TTF",
       {},
       std::string(kWinDir) + "\\fonts\\oldfont.ttf"},
      {"bare name present in the fonts folder",
       SCAN_FONT,
       ".ttf",
       "Arial",
       "ARIAL.TTF",
       {"C:\\Windows\\Fonts\\arial.ttf"},
       std::nullopt},
      {"bare .fon",
       SCAN_FONT,
       ".fon",
       "Small",
       "small.fon",
       {},
       std::string(kWinDir) + "\\fonts\\small.fon"},
      {"full path", SCAN_FONT, ".ttf", "Old", "C:\\MyFonts\\Old.ttf", {}, "c:\\myfonts\\old.ttf"},
      {"other drive is still examined",
       SCAN_FONT,
       ".fon",
       "X",
       "D:\\Fonts\\x.fon",
       {},
       "d:\\fonts\\x.fon"},
      {"other token", SCAN_FONT, ".fon", "Arial", "arial.ttf", {}, std::nullopt},
      {"drive after the name", SCAN_FONT, ".ttf", "X", "x.ttf c:\\fonts", {}, std::nullopt},
  });
}

TEST(ScanEntryChecksTest, SharedDllReferences) {
  RunRows({
      {"missing file keeps its case",
       SCAN_SHAREDDLL,
       "'Shared DLLs'",
       "C:\\Program Files\\Common\\Gone.DLL",
       "No REG_SZ",
       {},
       "C:\\Program Files\\Common\\Gone.DLL"},
      {"file present",
       SCAN_SHAREDDLL,
       "'Shared DLLs'",
       "C:\\App\\x.dll",
       "No REG_SZ",
       {"C:\\App\\x.dll"},
       std::nullopt},
      {"any drive",
       SCAN_SHAREDDLL,
       "'Shared DLLs'",
       "D:\\Lib\\x.dll",
       "No REG_SZ",
       {},
       "D:\\Lib\\x.dll"},
      {"default value", SCAN_SHAREDDLL, "'Shared DLLs'", "", "No REG_SZ", {}, std::nullopt},
      {"string data with a drive does not shorten the name",
       SCAN_SHAREDDLL,
       "'Shared DLLs'",
       "C:\\App\\gone.dll",
       "count c:\\",
       {},
       "C:\\App\\gone.dll"},
  });
}

TEST(ScanEntryChecksTest, ComObjectReferences) {
  RunRows({
      {"icon index after the file",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "C:\\Program Files\\App\\Server.DLL,0",
       {},
       "c:\\program files\\app\\server.dll"},
      {"quoted server with a switch",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "LocalServer32",
       "\"C:\\App\\Srv.EXE\" /automation",
       {},
       "c:\\app\\srv.exe"},
      {"file present",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "c:\\app\\s.dll",
       {"C:\\App\\S.dll"},
       std::nullopt},
      {"Windows folder",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "c:\\windows\\system32\\x.dll",
       {},
       std::nullopt},
      {"drive D:", SCAN_COMOBJECT, "Old COM/OLE", "", "d:\\app\\x.dll", {}, std::nullopt},
      {"no dot: cut to c:\\ and skipped",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "c:\\folder",
       {},
       std::nullopt},
      {"no dot after a prefix: no drive left",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "  c:\\folder",
       {},
       std::nullopt},
      {"extension shorter than three", SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\a.b", {}, "c:\\a.b"},
      {"last dot before the drive",
       SCAN_COMOBJECT,
       "Old COM/OLE",
       "",
       "x.exe c:\\dir",
       {},
       std::nullopt},
      {"just the drive", SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\", {}, std::nullopt},
  });
}

TEST(ScanEntryChecksTest, TypeLibAndHelpReferences) {
  RunRows({
      {"type library",
       SCAN_TYPELIB,
       ".dll",
       "",
       "C:\\Program Files\\App\\App.dll",
       {},
       "c:\\program files\\app\\app.dll"},
      {"type library in .tlb", SCAN_TYPELIB, ".dll", "", "C:\\App\\app.tlb", {}, std::nullopt},
      {"type library in Windows",
       SCAN_TYPELIB,
       ".dll",
       "",
       "C:\\Windows\\System32\\x.dll",
       {},
       std::nullopt},
      {"help folder joined with the name",
       SCAN_HELPFILE,
       ".hlp",
       "x.hlp",
       "c:\\old",
       {},
       "c:\\old\\x.hlp"},
      {"help contents file", SCAN_HELPFILE, ".cnt", "X.CNT", "C:\\Old", {}, "c:\\old\\x.cnt"},
      {"help in the Windows folder is examined",
       SCAN_HELPFILE,
       ".hlp",
       "x.hlp",
       "C:\\WINDOWS\\HELP",
       {},
       "c:\\windows\\help\\x.hlp"},
      {"help file present",
       SCAN_HELPFILE,
       ".hlp",
       "x.hlp",
       "c:\\help",
       {"C:\\Help\\x.hlp"},
       std::nullopt},
      {"help on drive D:", SCAN_HELPFILE, ".hlp", "x.hlp", "D:\\help", {}, std::nullopt},
      {"help value not a string", SCAN_HELPFILE, ".hlp", "x.hlp", "No REG_SZ", {}, std::nullopt},
  });
}

// Windows compares paths without regard to case, but only for the letters
// it knows: the probe gets the path as the registry stores it.
TEST(ScanEntryChecksTest, ProbesThePathAsStored) {
  ProbeLog files;
  FindMissingFile(SCAN_PROGRAM, ".exe", "", "\"C:\\Apps\\Tool.exe\" %1", kWinDir, files.probe());
  EXPECT_EQ("C:\\WINNT\\fonts\\some.ttf",
            FindMissingFile(SCAN_FONT, ".ttf", "F", "Some.TTF", "C:\\WINNT", files.probe()));
  EXPECT_EQ((std::vector<std::string>{"C:\\Apps\\Tool.exe", "C:\\WINNT\\fonts\\Some.TTF"}),
            files.asked);
}

TEST(ScanEntryChecksTest, NameColumnShowsDefaultOnlyForFileReferences) {
  EXPECT_EQ("(default)", NameColumn(SCAN_COMOBJECT, ""));
  EXPECT_EQ("", NameColumn(SCAN_HISTORY, ""));
  EXPECT_EQ("a", NameColumn(SCAN_PROGRAM, "a"));
}

TEST(ScanEntryChecksTest, ShownTextIsShortenedOnlyWhenTheOptionIsOn) {
  const std::string path = "c:\\" + std::string(50, 'p') + "\\gone.exe";  // 62 characters
  ASSERT_EQ(62u, path.size());
  const std::string shortened = path.substr(0, 35) + " ... " + path.substr(62 - 14);

  EXPECT_EQ(shortened, ShownText(path, "00000000000010"));
  EXPECT_EQ(path, ShownText(path, "00000000000001"));
  EXPECT_EQ(path, ShownText(path, "000000000000"));  // too short to hold the flag
  EXPECT_EQ(path, ShownText(path, ""));
}

TEST(ScanEntryChecksTest, CategoryFlagsOtherThanOneAreOff) {
  EXPECT_TRUE(IsCategoryEnabled("1", 0));
  EXPECT_FALSE(IsCategoryEnabled("0", 0));
  EXPECT_FALSE(IsCategoryEnabled("x", 0));
  EXPECT_FALSE(IsCategoryEnabled("11", 5));
  EXPECT_FALSE(IsCategoryEnabled("11", -1));
}

}  // namespace
}  // namespace kw::test
