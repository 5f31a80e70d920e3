// The scan: the entry checks' cut and probe of file references, the key
// walker (which subkeys it leaves out, the ignore list, the depth limit) and
// the results list's model.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "cleaning/LoopGuard.h"
#include "options/OptionsString.h"
#include "scan/EntryChecks.h"
#include "scan/KeyWalker.h"
#include "scan/ResultModel.h"
#include "scan/ScanCategories.h"
#include "scan/SearchPass.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/LetterRows.h"

namespace kw::test {

// Nothing exists; the file each reference names, "" for none. (That only
// what the system calls missing is reported is checks_fuzz's.)
TEST(ScanEntryChecksTest, CutsEachKindOfFileReference) {
  const struct {
    ScanCheck check;
    const char *token, *name, *data, *missing;
  } rows[] = {
      {SCAN_PROGRAM, ".exe", "", "\"C:\\P F\\Gone\\gone.exe\" \"%1\"", "c:\\p f\\gone\\gone.exe"},
      {SCAN_PROGRAM, ".exe", "", "run.exe c:\\data\\x", ""},  // .exe before the drive
      {SCAN_PROGRAM, ".exe", "", "C:\\Old\\a.exe /log C:\\New\\b.exe", "c:\\old\\a.exe"},
      // Bare font names live in the fonts folder.
      {SCAN_FONT, ".ttf", "Old (TrueType)", "OldFont.TTF", "C:\\Windows\\fonts\\oldfont.ttf"},
      // COM/OLE servers: cut three characters after the last dot.
      {SCAN_COMOBJECT, "Old COM/OLE", "", "C:\\P F\\App\\Server.DLL,0", "c:\\p f\\app\\server.dll"},
      {SCAN_COMOBJECT, "Old COM/OLE", "", "c:\\folder", ""},  // no dot: cut to the drive
      // Help files: the folder in the data joined with the value name.
      {SCAN_HELPFILE, ".hlp", "x.hlp", "c:\\old", "c:\\old\\x.hlp"},
  };
  const auto nothing = [](const std::string&) { return false; };
  for (const auto& row : rows) {
    const auto missing =
        FindMissingFile(row.check, row.token, row.name, row.data, "C:\\Windows", nothing);
    EXPECT_EQ(missing.value_or(""), row.missing) << row.name << " = " << row.data;
  }
}

const RegRoot kHkcu = RegRoot::CurrentUser, kHklm = RegRoot::LocalMachine,
              kHkcr = RegRoot::ClassesRoot;

enum Category { kRunMru = 0, kPrograms = 6, kFonts = 7, kSharedDlls = 8, kCom = 9, kHelp = 11 };

std::string StartKey(int category) { return ScanCategories()[size_t(category)].startKey; }

// Keeps the keys entered.
class ScanKeyWalkerTest : public ::testing::Test, public ScanListener, public FakeEnvironment {
 protected:
  void OnKeyEntered(const std::string& keyPath) override { m_entered.push_back(keyPath); }
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}

  void Scan(int category, const std::string& options = "11111111111100") {
    KeyWalker walker(m_registry, m_tools, m_model, *this, m_ignore, m_names,
                     ReadOptionFlags(options));
    const ScanCategory& c = ScanCategories()[static_cast<size_t>(category)];
    walker.ScanKey("Cat", c.startKey, c.check, c.extensions);
  }
  bool Entered(const std::string& path) const {
    return std::count(m_entered.begin(), m_entered.end(), path) != 0;
  }

  CSystemTools m_tools{*this};
  ResultModel m_model;
  std::vector<std::string> m_entered, m_ignore;
  std::array<std::string, kCategoryCount> m_names;
};

TEST_F(ScanKeyWalkerTest, ExcludedSubkeysAreSkippedAtEveryDepth) {
  const std::string root = StartKey(kRunMru) + "\\";
  const std::vector<std::string> skipped = {"DirectX",   "Microsoft", "CLSID",
                                            "Installer", "Interface", "Sub\\Direct"};
  // Names compare without regard to case, so lower-case twins live elsewhere.
  const std::vector<std::string> visited = {"Sub\\directx",   "MyDirect",        "Direc",
                                            "Sub\\microsoft", "Sub\\Interfaces", "Denied"};
  for (const auto& list : {skipped, visited})
    for (const std::string& name : list) m_registry.AddKey(kHkcu, root + name);
  m_registry.DenyAccess(kHkcu, root + "Denied");  // entered all the same, for the loop guard
  Scan(kRunMru);
  for (const std::string& name : skipped) EXPECT_FALSE(Entered(root + name)) << name;
  for (const std::string& name : visited) EXPECT_TRUE(Entered(root + name)) << name;
}

TEST_F(ScanKeyWalkerTest, IgnoredKeyIsCheckedButNotEntered) {
  m_registry.SetString(kHkcr, "CLSID\\{X}", "", "c:\\gone\\a.dll");
  m_registry.SetString(kHkcr, "CLSID\\{X}\\InprocServer32", "", "c:\\gone\\b.dll");
  m_registry.SetString(kHkcr, "CLSID\\{Y}\\InprocServer32", "", "c:\\gone\\c.dll");
  m_registry.AddKey(kHkcr, "exefile\\shell");
  // Program walks start at the root: their paths begin with a backslash.
  m_ignore = {"CLSID\\{X}", "{Y}", "\\exefile"};
  Scan(kCom);
  Scan(kPrograms);
  ASSERT_EQ(m_model.rows().size(), 2u);
  EXPECT_EQ(m_model.rows()[0].shown + m_model.rows()[1].shown, "c:\\gone\\a.dllc:\\gone\\c.dll");
  EXPECT_TRUE(Entered("\\exefile"));
  EXPECT_FALSE(Entered("\\exefile\\shell"));
}

TEST_F(ScanKeyWalkerTest, DepthIsLimitedToTheRegistryNestingLimit) {
  std::string path = StartKey(kRunMru);
  for (int level = 0; level < 600; ++level) path += "\\K";
  m_registry.AddKey(kHkcu, path);
  Scan(kRunMru);
  EXPECT_EQ(m_entered.size(), size_t(kMaxWalkDepth) + 1);
  EXPECT_EQ(m_registry.openKeys(), 0);
}

TEST_F(ScanKeyWalkerTest, BreakDownOptionShortensColumnTwoOnly) {
  m_registry.SetString(kHkcu, StartKey(kRunMru), "a", "c:\\" + std::string(60, 'd') + "\\x.exe");
  Scan(kRunMru, "00000000000010");
  EXPECT_EQ(m_model.rows().at(0).shown,
            "c:\\" + std::string(32, 'd') + " ... " + std::string(8, 'd') + "\\x.exe");
  EXPECT_NE(m_model.m_arrBackupRecords[0].text.find(std::string(60, 'd')), std::string::npos);
}

// The key-loop guard fires once per pass and blacklist.ini takes the key in
// front of the chain; a pass that stops at the loop (the command line's)
// enters no further key, one that walks on (the window's) goes below the
// loop and into the next category.
TEST(ScanSearchPassTest, KeyLoopEndsThePassOnlyWhenAsked) {
  struct Loops : SearchPassListener {
    void OnKeyLoop(const std::string&, const std::string& entry) override { met += entry + ";"; }
    std::string met;
  };
  std::string loop = StartKey(kRunMru) + "\\A";
  for (int i = 0; i < kLoopLength; ++i) loop += "\\X";
  for (const bool stop : {true, false}) {
    SCOPED_TRACE(stop);
    FakeEnvironment env;
    env.WriteFile("blacklist.ini", "\r\n\r\n\r\n");
    env.m_registry.SetString(kHkcu, loop, "at", "x");
    env.m_registry.SetString(kHkcu, loop + "\\X", "below", "x");
    env.m_registry.SetString(kHkcu, StartKey(1), "next", "x");
    CSystemTools tools(env);
    ResultModel model;
    Loops loops;
    SearchPass pass(tools, model, loops, {}, {}, ReadOptionFlags("11000000000000"));
    pass.stopAtKeyLoop = stop;
    pass.Run();
    std::string found;
    for (const ResultRow& row : model.rows()) found += row.valueName + ";";
    EXPECT_EQ(found, stop ? "at;" : "at;below;next;");
    EXPECT_EQ(loops.met, StartKey(kRunMru) + "\\A;");
    EXPECT_EQ(env.ReadFile("blacklist.ini"), "\r\n\r\n\r\n" + StartKey(kRunMru) + "\\A\r\n");
  }
}

// Settling drops the rows of non-string values but keeps their records.
TEST(ScanResultModelTest, RowsRemovedOrAddedAroundTheSettleStayAligned) {
  ResultModel model = ModelOf("aBcDE", false);
  EXPECT_EQ(model.SettlePass(), (std::vector<int>{1, 2, 2}));  // as the list view must delete them
  EXPECT_EQ("ac|aBcDE", Letters(model));
  model = ModelOf("aBc", false);
  EXPECT_TRUE(model.RemoveRow(1));  // during the pass: the row's own record goes
  EXPECT_TRUE(model.SettlePass().empty());
  EXPECT_EQ(-1, model.Append(ResultRow{"RunMRU", "D", "D", 0}, LetterRecord('D')));
  EXPECT_EQ(2, model.Append(ResultRow{"RunMRU", "e", "e", 0}, LetterRecord('e')));
  EXPECT_EQ("ace|ace", Letters(model));
}

}  // namespace kw::test
