// The key walker: what it lists per category, which subkeys it leaves out,
// the ignore list and the depth limit.
#include <gtest/gtest.h>

#include <algorithm>

#include "options/OptionsString.h"
#include "scan/KeyWalker.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

using namespace std::string_literals;

const RegRoot kHkcu = RegRoot::CurrentUser, kHklm = RegRoot::LocalMachine, kHkcr = RegRoot::ClassesRoot;

enum Category { kRunMru = 0, kPrograms = 6, kFonts = 7, kSharedDlls = 8, kCom = 9, kHelp = 11 };

std::string StartKey(int category) { return ScanCategories()[size_t(category)].startKey; }

// Keeps the keys entered.
class ScanKeyWalkerTest : public ::testing::Test, public ScanListener, public FakeEnvironment {
 protected:
  void OnKeyEntered(const std::string& keyPath) override { m_entered.push_back(keyPath); }
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}

  void Scan(int category, const std::string& options = "11111111111100") {
    KeyWalker walker(m_registry, m_tools, m_model, *this, m_ignore, m_names, ReadOptionFlags(options));
    const ScanCategory& c = ScanCategories()[static_cast<size_t>(category)];
    walker.ScanKey("Cat", c.startKey, c.check, c.extensions);
  }
  bool Entered(const std::string& path) const {
    return std::count(m_entered.begin(), m_entered.end(), path) != 0;
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const ResultRow& row : m_model.rows()) shown.push_back(row.valueName + "=" + row.shown);
    return shown;
  }

  CSystemTools m_tools{*this};
  ResultModel m_model;
  std::vector<std::string> m_entered, m_ignore;
  std::array<std::string, kCategoryCount> m_names;
};

TEST_F(ScanKeyWalkerTest, ExcludedSubkeysAreSkippedAtEveryDepth) {
  const std::string root = StartKey(kRunMru) + "\\";
  const std::vector<std::string> skipped = {"DirectX",   "Directory", "Microsoft",      "CLSID",
                                            "Installer", "Interface", "Sub\\Installer", "Sub\\Direct"};
  // Names compare without regard to case, so lower-case twins live elsewhere.
  const std::vector<std::string> visited = {"Sub\\directx", "MyDirect", "Direc",
                                            "Sub\\microsoft", "Sub\\Interfaces", "Denied"};
  for (const auto& list : {skipped, visited}) {
    for (const std::string& name : list) m_registry.AddKey(kHkcu, root + name);
  }
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
  m_registry.AddKey(kHkcr, "txtfile\\shell");
  // Program walks start at the root: their paths begin with a backslash.
  m_ignore = {"CLSID\\{X}", "{Y}", "\\exefile", "txtfile"};
  Scan(kCom);
  Scan(kPrograms);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"(default)=c:\\gone\\a.dll", "(default)=c:\\gone\\c.dll"}));
  EXPECT_TRUE(Entered("\\exefile"));
  EXPECT_FALSE(Entered("\\exefile\\shell"));
  EXPECT_TRUE(Entered("\\txtfile\\shell"));
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
  EXPECT_EQ(m_model.rows().at(0).shown.size(), 54u);
  EXPECT_NE(m_model.m_arrBackupRecords[0].text.find(std::string(60, 'd')), std::string::npos);
}

}  // namespace
}  // namespace kw::test
