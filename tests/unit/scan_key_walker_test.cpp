#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "scan/KeyWalker.h"
#include "scan/ScanCategories.h"
#include "system/SystemTools.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const RegRoot kHkcu = RegRoot::CurrentUser;
const RegRoot kHklm = RegRoot::LocalMachine;
const RegRoot kHkcr = RegRoot::ClassesRoot;

enum Category { kRunMru = 0, kPrograms = 6, kFonts = 7, kSharedDlls = 8, kCom = 9, kHelp = 11 };

std::string StartKey(int category) {
  return ScanCategories()[static_cast<size_t>(category)].startKey;
}

// Every call as one line: "enter K", "checked K", "entry K <row> <file reference>".
class RecordingListener : public ScanListener {
 public:
  void OnKeyEntered(const std::string& keyPath) override { events.push_back("enter " + keyPath); }
  void OnKeyChecked(const std::string& keyPath) override { events.push_back("checked " + keyPath); }
  void OnEntryAdded(int row, const std::string& keyPath, bool fileReference) override {
    events.push_back("entry " + keyPath + " " + std::to_string(row) + " " +
                     std::to_string(fileReference));
  }
  std::vector<std::string> events;
};

// Counts the questions to the file system, per path.
class CountingEnvironment : public FakeEnvironment {
 public:
  PathState ProbePath(const std::string& path) override {
    ++probes[path];
    return FakeEnvironment::ProbePath(path);
  }
  std::map<std::string, int> probes;
};

class ScanKeyWalkerTest : public ::testing::Test {
 protected:
  ScanKeyWalkerTest() {
    for (int i = 0; i < kCategoryCount; ++i) m_names[size_t(i)] = "Cat " + std::to_string(i);
  }

  // Walks category `category` as the scan driver does.
  void Scan(int category) {
    KeyWalker walker = Walker();
    Scan(walker, category);
  }
  void Scan(KeyWalker& walker, int category) {
    const ScanCategory& c = ScanCategories()[static_cast<size_t>(category)];
    walker.ScanKey(m_names[size_t(category)], c.startKey, c.check, c.extensions);
  }
  KeyWalker Walker() {
    return KeyWalker(m_registry, m_tools, m_model, m_listener, m_ignore, m_names,
                     ReadOptionFlags(m_options));
  }
  bool Entered(const std::string& path) const {
    const auto& events = m_listener.events;
    return std::find(events.begin(), events.end(), "enter " + path) != events.end();
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const ResultRow& row : m_model.rows()) shown.push_back(row.valueName + "=" + row.shown);
    return shown;
  }
  const std::string& Record(size_t i) const { return m_model.m_arrBackupRecords[i].text; }

  CountingEnvironment m_env;
  ScopedEnvironment m_scope{m_env};
  MemoryRegistry& m_registry = m_env.m_registry;
  CSystemTools m_tools{m_env};
  ResultModel m_model;
  RecordingListener m_listener;
  std::vector<std::string> m_ignore;
  std::array<std::string, kCategoryCount> m_names;
  std::string m_options = "11111111111100";
};

TEST_F(ScanKeyWalkerTest, HistoryListsEveryValueWithItsRecord) {
  const std::string key = StartKey(kRunMru);
  m_registry.SetString(kHkcu, key, "a", "notepad\\1");
  m_registry.SetRaw(kHkcu, key, "b", kRegBinary, std::string("\x01\x02", 2));
  m_registry.SetString(kHkcu, key, "c", "y");
  m_registry.MarkNotAnsi(kHkcu, key, "c");
  Scan(kRunMru);

  EXPECT_EQ((std::vector<std::string>{"a=notepad\\1", "b=No REG_SZ", "c=y"}), Shown());
  EXPECT_EQ("Cat 0", m_model.rows()[0].category);
  EXPECT_EQ(0, m_model.rows()[0].image);
  EXPECT_EQ("[HKEY_CURRENT_USER\\" + key + "]\n\"a\"=\"notepad\\\\1\"", Record(0));
  EXPECT_EQ(RecordKind::NotString, m_model.m_arrBackupRecords[1].kind);
  EXPECT_EQ(RecordKind::NotRestorable, m_model.m_arrBackupRecords[2].kind);
  EXPECT_EQ((std::vector<std::string>{"enter " + key, "checked " + key, "entry " + key + " 0 0",
                                      "entry " + key + " 1 0", "entry " + key + " 2 0"}),
            m_listener.events);
  EXPECT_EQ(std::vector<int>{1}, m_model.SettlePass());
  EXPECT_EQ((std::vector<std::string>{"a=notepad\\1", "c=y"}), Shown());
}

TEST_F(ScanKeyWalkerTest, FileReferencesOfEachCategory) {
  m_registry.SetString(kHkcr, "gone\\shell\\open\\command", "", "\"C:\\P F\\gone.exe\" \"%1\"");
  m_registry.SetString(kHkcr, "live\\shell\\open\\command", "", "\"C:\\Live\\live.exe\" %1");
  m_registry.SetString(kHkcr, "win\\shell\\open\\command", "", "C:\\WINDOWS\\gone.exe %1");
  m_registry.SetString(kHklm, StartKey(kFonts), "Old (TrueType)", "OLD.TTF");
  m_registry.SetString(kHklm, StartKey(kFonts), "Both", "C:\\F\\x.ttf;C:\\F\\x.fon");
  m_registry.SetDword(kHklm, StartKey(kFonts), "Count", 1);
  m_registry.SetDword(kHklm, StartKey(kSharedDlls), "C:\\App\\Gone.dll", 3);
  m_registry.SetDword(kHklm, StartKey(kSharedDlls), "C:\\Live\\Live.dll", 1);
  m_registry.SetDword(kHklm, StartKey(kSharedDlls) + "\\Sub", "C:\\App\\Gone.dll", 2);
  m_registry.SetString(kHkcr, "CLSID\\{X}\\InprocServer32", "", "C:\\App\\srv.dll,0");
  m_registry.SetString(kHklm, StartKey(kHelp), "x.hlp", "c:\\old");
  m_env.SetPath("C:\\Live\\live.exe", PathState::Exists);
  m_env.SetPath("C:\\Live\\Live.dll", PathState::Exists);
  for (const int category : {kPrograms, kFonts, kSharedDlls, kCom, kHelp}) Scan(category);

  EXPECT_EQ((std::vector<std::string>{
                "(default)=c:\\p f\\gone.exe", "Old (TrueType)=C:\\Windows\\fonts\\old.ttf",
                "Both=c:\\f\\x.ttf", "Both=c:\\f\\x.ttf;c:\\f\\x.fon",  // once per extension
                "C:\\App\\Gone.dll=C:\\App\\Gone.dll", "C:\\App\\Gone.dll=C:\\App\\Gone.dll",
                "(default)=c:\\app\\srv.dll", "x.hlp=c:\\old\\x.hlp"}),
            Shown());
  EXPECT_EQ(6, m_model.rows()[0].image);
  EXPECT_EQ(11, m_model.rows()[7].image);
  EXPECT_EQ(
      "[HKEY_CLASSES_ROOT\\gone\\shell\\open\\command]\n@=\"\\\"C:\\\\P F\\\\gone.exe\\\" "
      "\\\"%1\\\"\"",
      Record(0));
  EXPECT_EQ(RecordKind::Restorable, m_model.m_arrBackupRecords[4].kind) << "a shared-DLL record";
  // The same name below a subkey is that subkey's value.
  EXPECT_EQ("[HKEY_LOCAL_MACHINE\\" + StartKey(kSharedDlls) + "\\Sub]\n" +
                R"("C:\\App\\Gone.dll"=dword:00000002)",
            Record(5));
  EXPECT_NE(m_listener.events.end(), std::find(m_listener.events.begin(), m_listener.events.end(),
                                               "entry \\gone\\shell\\open\\command 0 1"));
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
  for (const std::string& name : skipped) EXPECT_FALSE(Entered(root + "\\" + name)) << name;
  for (const std::string& name : visited) EXPECT_TRUE(Entered(root + "\\" + name)) << name;
}

TEST_F(ScanKeyWalkerTest, IgnoredKeyIsCheckedButNotEntered) {
  m_registry.SetString(kHkcr, "CLSID\\{X}", "", "c:\\gone\\a.dll");
  m_registry.SetString(kHkcr, "CLSID\\{X}\\InprocServer32", "", "c:\\gone\\b.dll");
  m_registry.SetString(kHkcr, "CLSID\\{Y}\\InprocServer32", "", "c:\\gone\\c.dll");
  m_registry.AddKey(kHkcr, "exefile\\shell");
  m_registry.AddKey(kHkcr, "txtfile\\shell");
  // Program walks start at the root: their paths begin with a backslash.
  m_ignore = {"CLSID\\{X}", "{Y}", "\\exefile", "txtfile"};
  Scan(kCom);
  Scan(kPrograms);

  EXPECT_EQ((std::vector<std::string>{"(default)=c:\\gone\\a.dll", "(default)=c:\\gone\\c.dll"}),
            Shown());
  EXPECT_FALSE(Entered("CLSID\\{X}\\InprocServer32"));
  EXPECT_TRUE(Entered("\\exefile"));
  EXPECT_FALSE(Entered("\\exefile\\shell"));
  EXPECT_TRUE(Entered("\\txtfile\\shell"));

  m_ignore = {""};
  m_listener.events.clear();
  Scan(kPrograms);
  EXPECT_EQ((std::vector<std::string>{"enter ", "checked "}), m_listener.events);
}

TEST_F(ScanKeyWalkerTest, IconIndexIsTheLastCategoryWithThatName) {
  m_names[2] = m_names[9] = "Same";
  KeyWalker walker = Walker();
  EXPECT_EQ(9, walker.IconIndexOf("Same"));
  EXPECT_EQ(0, walker.IconIndexOf("cat 4"));
  m_registry.SetString(kHkcu, StartKey(kRunMru), "a", "x");
  walker.ScanKey("Same", StartKey(kRunMru), SCAN_HISTORY, {});
  EXPECT_EQ(9, m_model.rows().at(0).image);
}

TEST_F(ScanKeyWalkerTest, DepthIsLimitedToTheRegistryNestingLimit) {
  std::string path = StartKey(kRunMru);
  for (int level = 0; level < 600; ++level) path += "\\K";
  m_registry.AddKey(kHkcu, path);
  Scan(kRunMru);
  EXPECT_EQ(2 * (size_t(kMaxWalkDepth) + 1), m_listener.events.size());
  EXPECT_TRUE(Entered(path.substr(0, StartKey(kRunMru).size() + 2 * size_t(kMaxWalkDepth))));
  EXPECT_EQ(0, m_registry.openKeys());
}

TEST_F(ScanKeyWalkerTest, OpensEveryKeyOnceAndLeavesNoneOpen) {
  const std::string root = StartKey(kCom);
  for (const char* key : {"{A}", "{A}\\InprocServer32", "{A}\\ProgID", "{B}", "{B}\\x\\y"}) {
    m_registry.SetString(kHkcr, root + "\\" + key, "", "c:\\gone\\s.dll");
    m_registry.SetString(kHkcr, root + "\\" + key, "v", "c:\\gone\\t.exe");
  }
  m_registry.SetString(kHkcr, root + "\\{D}", "", "c:\\gone\\s.dll");
  m_registry.DenyAccess(kHkcr, root + "\\{D}");
  const int before = m_registry.openCalls();
  Scan(kCom);
  Walker().ScanKey("Cat 0", "No\\Such\\Key", SCAN_HISTORY, {});

  // Nine keys (the start key, {B}\x, the five above, {D} and the missing
  // one) entered and checked, denied and missing ones too for the loop
  // guard, each opened once; ten entries.
  EXPECT_EQ(2 * 9u + 10u, m_listener.events.size());
  EXPECT_TRUE(Entered("CLSID\\{D}"));
  EXPECT_EQ("checked No\\Such\\Key", m_listener.events.back());
  EXPECT_EQ(9, m_registry.openCalls() - before);
  EXPECT_EQ(0, m_registry.openKeys());
  EXPECT_EQ(10, m_model.m_nEntryCount);
}

// A walker asks the file system about each path once, spelled as the
// registry stores it (Windows folds case only for the letters it knows),
// and still reports every value that names a missing file; the next walker
// asks again.
TEST_F(ScanKeyWalkerTest, EachPathIsProbedOncePerWalker) {
  for (const char* key : {"a", "b", "c\\shell\\open\\command"}) {
    m_registry.SetString(kHkcr, key, "", "\"C:\\Gone\\app.exe\" %1");
  }
  for (const char* key : {"d", "e\\x"}) m_registry.SetString(kHkcr, key, "", "C:\\Live\\app.exe");
  m_env.SetPath("C:\\Live\\app.exe", PathState::Exists);
  KeyWalker walker = Walker();
  Scan(walker, kPrograms);
  EXPECT_EQ((std::vector<std::string>(3, "(default)=c:\\gone\\app.exe")), Shown());
  EXPECT_EQ((std::map<std::string, int>{
                {"C:\\Gone\\app.exe", 1}, {"C:\\Gone", 1}, {"C:\\Live\\app.exe", 1}}),
            m_env.probes);

  m_env.SetPath("C:\\Gone\\app.exe", PathState::Exists);
  Scan(walker, kPrograms);  // the same walker does not see the file appear
  EXPECT_EQ(6, m_model.m_nEntryCount);
  Scan(kPrograms);  // a new one asks again
  EXPECT_EQ(6, m_model.m_nEntryCount);
  EXPECT_EQ(2, m_env.probes["C:\\Gone\\app.exe"]);
}

// Once the file system has said a folder is missing, the walker takes
// every file in it for missing without asking; a folder that is there, or
// a drive's root, tells nothing about its files.
TEST_F(ScanKeyWalkerTest, FilesOfAMissingFolderCostOneProbeBetweenThem) {
  const std::vector<std::pair<std::string, int>> files = {
      {"C:\\Gone\\a.exe", 1},       // first of its folder: the file, then the folder
      {"C:\\Gone\\b.exe", 0},       // the folder is known to be missing
      {"C:\\Gone\\Sub\\c.exe", 1},  // another folder, if below the missing one
      {"C:\\Kept\\d.exe", 1},       // the folder is there: each file is asked about
      {"C:\\Kept\\e.exe", 1},
      {"C:\\f.exe", 1},  // no folder to ask about
      {"C:\\g.exe", 1},
  };
  for (size_t i = 0; i < files.size(); ++i) {
    m_registry.SetString(kHkcr, "k" + std::to_string(i), "", files[i].first);
  }
  m_env.SetPath("C:\\Kept", PathState::Exists);
  Scan(kPrograms);

  EXPECT_EQ(static_cast<int>(files.size()), m_model.m_nEntryCount);  // every one is listed
  for (const auto& [file, probes] : files) {
    SCOPED_TRACE(file);
    EXPECT_EQ(probes, m_env.probes[file]);
  }
  for (const char* folder : {"C:\\Gone", "C:\\Gone\\Sub", "C:\\Kept"}) {
    EXPECT_EQ(1, m_env.probes[folder]) << folder;
  }
  EXPECT_EQ(0, m_env.probes["C:"]);
}

TEST_F(ScanKeyWalkerTest, BreakDownOptionShortensColumnTwoOnly) {
  m_options = "11111111111110";
  m_registry.SetString(kHkcu, StartKey(kRunMru), "a", "c:\\" + std::string(60, 'd') + "\\x.exe");
  Scan(kRunMru);
  EXPECT_EQ(54u, m_model.rows().at(0).shown.size());
  EXPECT_NE(std::string::npos, Record(0).find(std::string(60, 'd')));
}

}  // namespace
}  // namespace kw::test
