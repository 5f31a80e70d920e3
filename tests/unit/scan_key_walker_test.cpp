#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"
#include "scan/KeyWalker.h"
#include "scan/ScanCategories.h"
#include "system/Environment.h"
#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/MemoryRegistry.h"

namespace kw::test {
namespace {

const RegRoot kHkcu = RegRoot::CurrentUser;
const RegRoot kHklm = RegRoot::LocalMachine;
const RegRoot kHkcr = RegRoot::ClassesRoot;

enum Category {
  kRunMru = 0,
  kPrograms = 6,
  kFonts = 7,
  kSharedDlls = 8,
  kComObjects = 9,
  kHelpFiles = 11
};

std::string StartKey(int category) {
  return ScanCategories()[static_cast<size_t>(category)].startKey;
}

struct Event {
  std::string kind;  // "enter", "checked", "entry"
  std::string keyPath;
  int row = -1;
  bool fileReference = false;
  bool operator==(const Event& o) const {
    return kind == o.kind && keyPath == o.keyPath && row == o.row &&
           fileReference == o.fileReference;
  }
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
  return out << e.kind << " " << e.keyPath << " " << e.row << " " << e.fileReference;
}

class RecordingListener : public ScanListener {
 public:
  void OnKeyEntered(const std::string& keyPath) override { events.push_back({"enter", keyPath}); }
  void OnKeyChecked(const std::string& keyPath) override { events.push_back({"checked", keyPath}); }
  void OnEntryAdded(int row, const std::string& keyPath, bool fileReference) override {
    events.push_back({"entry", keyPath, row, fileReference});
  }
  std::vector<std::string> Entered() const {
    std::vector<std::string> paths;
    for (const Event& e : events) {
      if (e.kind == "enter") paths.push_back(e.keyPath);
    }
    return paths;
  }
  std::vector<Event> events;
};

class ScanKeyWalkerTest : public ::testing::Test {
 protected:
  ScanKeyWalkerTest() {
    for (int i = 0; i < kScanCategoryCount; ++i) {
      m_names[static_cast<size_t>(i)] = "Category " + std::to_string(i);
    }
  }

  // Walks category `category` as the scan driver does.
  void Scan(int category) {
    const ScanCategory& c = ScanCategories()[static_cast<size_t>(category)];
    Walker().ScanKey(m_names[static_cast<size_t>(category)], c.startKey, c.check, c.extensions);
  }
  KeyWalker Walker() {
    return KeyWalker(m_registry, m_tools, m_model, m_listener, m_ignore, m_names, m_options);
  }

  bool Entered(const std::string& path) const {
    const std::vector<std::string> entered = m_listener.Entered();
    return std::find(entered.begin(), entered.end(), path) != entered.end();
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const ResultRow& row : m_model.rows()) shown.push_back(row.shown);
    return shown;
  }

  FakeEnvironment m_env;
  ScopedEnvironment m_scope{m_env};
  MemoryRegistry& m_registry = m_env.m_registry;
  CSystemTools m_tools{m_env};
  ResultModel m_model;
  RecordingListener m_listener;
  std::vector<std::string> m_ignore;
  std::array<std::string, kScanCategoryCount> m_names;
  std::string m_options = "11111111111100";
};

TEST_F(ScanKeyWalkerTest, RunMruListsEveryValueWithItsRecord) {
  const std::string key = StartKey(kRunMru);
  m_registry.SetString(kHkcu, key, "a", "notepad\\1");
  m_registry.SetString(kHkcu, key, "MRUList", "a");
  Scan(kRunMru);

  ASSERT_EQ(2, m_model.m_nEntryCount);
  const ResultRow& row = m_model.rows()[0];
  EXPECT_EQ("Category 0", row.category);
  EXPECT_EQ("a", row.valueName);
  EXPECT_EQ("notepad\\1", row.shown);
  EXPECT_EQ(0, row.image);
  EXPECT_EQ("[HKEY_CURRENT_USER\\" + key + "]\n\"a\"=\"notepad\\\\1\"",
            m_model.m_arrBackupRecords[0].text);
  EXPECT_EQ("MRUList", m_model.rows()[1].valueName);
  EXPECT_EQ(
      (std::vector<Event>{
          {"enter", key}, {"checked", key}, {"entry", key, 0, false}, {"entry", key, 1, false}}),
      m_listener.events);
}

TEST_F(ScanKeyWalkerTest, NonStringHistoryValueIsListedUntilThePassSettles) {
  const std::string key = StartKey(kRunMru);
  m_registry.SetString(kHkcu, key, "a", "cmd");
  m_registry.SetRaw(kHkcu, key, "b", kRegBinary, std::string("\x01\x02", 2));
  Scan(kRunMru);

  ASSERT_EQ(2, m_model.m_nEntryCount);
  EXPECT_EQ("No REG_SZ", m_model.rows()[1].shown);
  EXPECT_EQ(RecordKind::NotString, m_model.m_arrBackupRecords[1].kind);
  EXPECT_EQ(std::vector<int>{1}, m_model.SettlePass());
  EXPECT_EQ(1, m_model.m_nEntryCount);
  EXPECT_EQ(2u, m_model.m_arrBackupRecords.size());
  EXPECT_EQ(1u, m_model.m_arrInfoRecords.size());
}

TEST_F(ScanKeyWalkerTest, ProgramWalkReportsMissingProgramsBelowTheRoot) {
  m_registry.SetString(kHkcr, "gonefile\\shell\\open\\command", "",
                       "\"C:\\Program Files\\Gone\\gone.exe\" \"%1\"");
  m_registry.SetString(kHkcr, "livefile\\shell\\open\\command", "", "\"C:\\Live\\live.exe\" %1");
  m_registry.SetString(kHkcr, "winfile\\shell\\open\\command", "", "C:\\WINDOWS\\gone.exe %1");
  m_registry.SetString(kHkcr, "dfile\\shell\\open\\command", "", "D:\\gone.exe %1");
  m_env.SetPath("C:\\Live\\live.exe", PathState::Exists);
  Scan(kPrograms);

  ASSERT_EQ(1, m_model.m_nEntryCount);
  const ResultRow& row = m_model.rows()[0];
  EXPECT_EQ("(default)", row.valueName);
  EXPECT_EQ("c:\\program files\\gone\\gone.exe", row.shown);
  EXPECT_EQ(6, row.image);
  EXPECT_EQ(
      "[HKEY_CLASSES_ROOT\\gonefile\\shell\\open\\command]\n"
      "@=\"\\\"C:\\\\Program Files\\\\Gone\\\\gone.exe\\\" \\\"%1\\\"\"",
      m_model.m_arrBackupRecords[0].text);
  EXPECT_TRUE(Entered(""));
  EXPECT_TRUE(Entered("\\gonefile\\shell\\open\\command"));
  const Event expected{"entry", "\\gonefile\\shell\\open\\command", 0, true};
  EXPECT_NE(m_listener.events.end(),
            std::find(m_listener.events.begin(), m_listener.events.end(), expected));
}

TEST_F(ScanKeyWalkerTest, EachTokenCanReportTheSameValue) {
  const std::string fonts = StartKey(kFonts);
  m_registry.SetString(kHklm, fonts, "Old (TrueType)", "OLD.TTF");
  m_registry.SetString(kHklm, fonts, "Both", "C:\\F\\x.ttf;C:\\F\\x.fon");
  m_registry.SetString(kHklm, fonts, "Live", "live.fon");
  m_registry.SetDword(kHklm, fonts, "Count", 1);
  m_env.SetPath("C:\\Windows\\Fonts\\live.fon", PathState::Exists);
  Scan(kFonts);

  EXPECT_EQ((std::vector<std::string>{"C:\\Windows\\fonts\\old.ttf", "c:\\f\\x.ttf",
                                      "c:\\f\\x.ttf;c:\\f\\x.fon"}),
            Shown());
  EXPECT_EQ("[HKEY_LOCAL_MACHINE\\" + fonts + "]\n\"Old (TrueType)\"=\"OLD.TTF\"",
            m_model.m_arrBackupRecords[0].text);
}

TEST_F(ScanKeyWalkerTest, SharedDllsAreNamedByTheirValues) {
  const std::string key = StartKey(kSharedDlls);
  m_registry.SetDword(kHklm, key, "C:\\App\\Gone.dll", 3);
  m_registry.SetDword(kHklm, key, "C:\\App\\Live.dll", 1);
  m_env.SetPath("C:\\App\\Live.dll", PathState::Exists);
  Scan(kSharedDlls);

  ASSERT_EQ(1, m_model.m_nEntryCount);
  EXPECT_EQ("C:\\App\\Gone.dll", m_model.rows()[0].valueName);
  EXPECT_EQ("C:\\App\\Gone.dll", m_model.rows()[0].shown);
  EXPECT_EQ(MakeSharedDllRecord(*m_registry.Find(kHklm, key, "C:\\App\\Gone.dll")).text,
            m_model.m_arrBackupRecords[0].text);
}

TEST_F(ScanKeyWalkerTest, ComObjectsAndHelpFiles) {
  m_registry.SetString(kHkcr, "CLSID\\{X}\\InprocServer32", "", "C:\\App\\srv.dll,0");
  m_registry.SetString(kHklm, StartKey(kHelpFiles), "x.hlp", "c:\\old");
  Scan(kComObjects);
  Scan(kHelpFiles);

  ASSERT_EQ(2, m_model.m_nEntryCount);
  EXPECT_EQ("(default)", m_model.rows()[0].valueName);
  EXPECT_EQ("c:\\app\\srv.dll", m_model.rows()[0].shown);
  EXPECT_EQ("[HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32]\n@=\"C:\\\\App\\\\srv.dll,0\"",
            m_model.m_arrBackupRecords[0].text);
  EXPECT_EQ("c:\\old\\x.hlp", m_model.rows()[1].shown);
  EXPECT_EQ(11, m_model.rows()[1].image);
}

TEST_F(ScanKeyWalkerTest, ExcludedSubkeysAreSkippedAtEveryDepth) {
  const std::string root = StartKey(kRunMru);
  const std::vector<std::string> skipped = {"DirectX",   "DirectShow",     "Directory",
                                            "Microsoft", "CLSID",          "Installer",
                                            "Interface", "Sub\\Installer", "Sub\\Direct"};
  // Key names compare without regard to case, so the lower-case twins live
  // under another parent.
  const std::vector<std::string> visited = {"Sub\\directx", "MyDirect",       "Direc",
                                            "Sub",          "Sub\\microsoft", "Sub\\Interfaces"};
  for (const auto& list : {skipped, visited}) {
    for (const std::string& name : list) m_registry.AddKey(kHkcu, root + "\\" + name);
  }
  Scan(kRunMru);

  for (const std::string& name : skipped) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Entered(root + "\\" + name));
  }
  for (const std::string& name : visited) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Entered(root + "\\" + name));
  }
}

TEST_F(ScanKeyWalkerTest, IgnoredKeyIsCheckedButNotEntered) {
  m_registry.SetString(kHkcr, "CLSID\\{X}", "", "c:\\gone\\a.dll");
  m_registry.SetString(kHkcr, "CLSID\\{X}\\InprocServer32", "", "c:\\gone\\b.dll");
  m_registry.SetString(kHkcr, "CLSID\\{Y}\\InprocServer32", "", "c:\\gone\\c.dll");
  m_ignore = {"CLSID\\{X}", "{Y}"};
  Scan(kComObjects);

  EXPECT_EQ((std::vector<std::string>{"c:\\gone\\a.dll", "c:\\gone\\c.dll"}), Shown());
  EXPECT_FALSE(Entered("CLSID\\{X}\\InprocServer32"));
}

TEST_F(ScanKeyWalkerTest, ProgramWalkIgnoresOnlyPathsWithTheLeadingBackslash) {
  m_registry.AddKey(kHkcr, "exefile\\shell");
  m_registry.AddKey(kHkcr, "txtfile\\shell");
  m_ignore = {"\\exefile", "txtfile"};
  Scan(kPrograms);

  EXPECT_TRUE(Entered("\\exefile"));
  EXPECT_FALSE(Entered("\\exefile\\shell"));
  EXPECT_TRUE(Entered("\\txtfile\\shell"));
}

TEST_F(ScanKeyWalkerTest, EmptyIgnoreEntryStopsTheProgramWalkAtTheRoot) {
  m_registry.SetString(kHkcr, "", "", "c:\\gone.exe");
  m_registry.AddKey(kHkcr, "exefile");
  m_ignore = {""};
  Scan(kPrograms);

  EXPECT_EQ(std::vector<std::string>{""}, m_listener.Entered());
  EXPECT_EQ(1, m_model.m_nEntryCount);
}

TEST_F(ScanKeyWalkerTest, IconIndexIsTheLastCategoryWithThatName) {
  m_names[2] = "Same";
  m_names[9] = "Same";
  KeyWalker walker = Walker();
  EXPECT_EQ(9, walker.IconIndexOf("Same"));
  EXPECT_EQ(4, walker.IconIndexOf("Category 4"));
  EXPECT_EQ(0, walker.IconIndexOf("category 4"));
  EXPECT_EQ(0, walker.IconIndexOf("Unknown"));

  m_registry.SetString(kHkcu, StartKey(kRunMru), "a", "x");
  walker.ScanKey("Same", StartKey(kRunMru), SCAN_HISTORY, {});
  ASSERT_EQ(1, m_model.m_nEntryCount);
  EXPECT_EQ(9, m_model.rows()[0].image);
}

TEST_F(ScanKeyWalkerTest, DepthIsLimitedToTheRegistryNestingLimit) {
  std::string path = StartKey(kRunMru);
  for (int level = 0; level < 600; ++level) path += "\\K";
  m_registry.AddKey(kHkcu, path);
  Scan(kRunMru);

  const std::vector<std::string> entered = m_listener.Entered();
  EXPECT_EQ(static_cast<size_t>(kMaxWalkDepth) + 1, entered.size());
  EXPECT_EQ(StartKey(kRunMru).size() + 2 * static_cast<size_t>(kMaxWalkDepth),
            entered.back().size());
  EXPECT_EQ(0, m_registry.openKeys());
}

TEST_F(ScanKeyWalkerTest, OpensEveryKeyOnceAndLeavesNoneOpen) {
  const std::string root = StartKey(kComObjects);
  for (const char* key : {"{A}", "{A}\\InprocServer32", "{A}\\ProgID", "{B}", "{B}\\x\\y"}) {
    m_registry.SetString(kHkcr, root + "\\" + key, "", "c:\\gone\\s.dll");
    m_registry.SetString(kHkcr, root + "\\" + key, "v", "c:\\gone\\t.exe");
  }
  const int before = m_registry.openCalls();
  Scan(kComObjects);

  EXPECT_EQ(7u, m_listener.Entered().size());  // the start key, {B}\x and the five above
  EXPECT_EQ(7, m_registry.openCalls() - before);
  EXPECT_EQ(0, m_registry.openKeys());
  EXPECT_EQ(10, m_model.m_nEntryCount);
}

TEST_F(ScanKeyWalkerTest, MissingOrDeniedKeysStillReachTheLoopGuard) {
  m_registry.SetString(kHkcr, "CLSID\\{D}", "", "c:\\gone\\s.dll");
  m_registry.DenyAccess(kHkcr, "CLSID\\{D}");
  Scan(kComObjects);
  Walker().ScanKey("Category 0", "No\\Such\\Key", SCAN_HISTORY, {});

  EXPECT_EQ(0, m_model.m_nEntryCount);
  EXPECT_EQ((std::vector<Event>{{"enter", "CLSID"},
                                {"checked", "CLSID"},
                                {"enter", "CLSID\\{D}"},
                                {"checked", "CLSID\\{D}"},
                                {"enter", "No\\Such\\Key"},
                                {"checked", "No\\Such\\Key"}}),
            m_listener.events);
  EXPECT_EQ(0, m_registry.openKeys());
}

TEST_F(ScanKeyWalkerTest, ValuesOutsideTheCodePageAreNotRestorable) {
  const std::string key = StartKey(kRunMru);
  m_registry.SetString(kHkcu, key, "a", "x");
  m_registry.SetString(kHkcu, key, "b", "y");
  m_registry.SetRaw(kHkcu, key, "c", kRegBinary, "z");
  m_registry.MarkNotAnsi(kHkcu, key, "b");
  m_registry.MarkNotAnsi(kHkcu, key, "c");
  Scan(kRunMru);

  ASSERT_EQ(3u, m_model.m_arrBackupRecords.size());
  EXPECT_EQ(RecordKind::Restorable, m_model.m_arrBackupRecords[0].kind);
  EXPECT_EQ(RecordKind::NotRestorable, m_model.m_arrBackupRecords[1].kind);
  EXPECT_EQ(RecordKind::NotString, m_model.m_arrBackupRecords[2].kind);
}

TEST_F(ScanKeyWalkerTest, BreakDownOptionShortensColumnTwoOnly) {
  m_options = "11111111111110";
  const std::string data = "c:\\" + std::string(60, 'd') + "\\gone.exe";
  m_registry.SetString(kHkcu, StartKey(kRunMru), "a", data);
  Scan(kRunMru);

  ASSERT_EQ(1, m_model.m_nEntryCount);
  EXPECT_EQ(54u, m_model.rows()[0].shown.size());
  EXPECT_NE(std::string::npos, m_model.m_arrBackupRecords[0].text.find(std::string(60, 'd')));
}

}  // namespace
}  // namespace kw::test
