// The key walker asks the file system about each path once per walker, and
// still reports every value that names a missing file.
#include <gtest/gtest.h>

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

class CountingEnvironment : public FakeEnvironment {
 public:
  PathState ProbePath(const std::string& path) override {
    ++probes[path];
    return FakeEnvironment::ProbePath(path);
  }
  std::map<std::string, int> probes;
};

class SilentListener : public ScanListener {
 public:
  void OnKeyEntered(const std::string&) override {}
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}
};

class ScanWalkerProbeTest : public ::testing::Test {
 protected:
  ScanWalkerProbeTest() {
    for (int i = 0; i < kScanCategoryCount; ++i) {
      m_names[static_cast<size_t>(i)] = "Category " + std::to_string(i);
    }
  }

  KeyWalker Walker() {
    return KeyWalker(m_env.m_registry, m_tools, m_model, m_listener, {}, m_names, m_options);
  }
  static void Scan(KeyWalker& walker, int category) {
    const ScanCategory& c = ScanCategories()[static_cast<size_t>(category)];
    walker.ScanKey("Category " + std::to_string(category), c.startKey, c.check, c.extensions);
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const ResultRow& row : m_model.rows()) shown.push_back(row.shown);
    return shown;
  }

  CountingEnvironment m_env;
  CSystemTools m_tools{m_env};
  ResultModel m_model;
  SilentListener m_listener;
  std::array<std::string, kScanCategoryCount> m_names;
  std::string m_options = "11111111111100";
};

constexpr int kPrograms = 6;
constexpr int kComObjects = 9;
constexpr RegRoot kHkcr = RegRoot::ClassesRoot;

TEST_F(ScanWalkerProbeTest, SharedReferencesAreProbedOnceAndEachIsReported) {
  // Three keys name the same missing program, two the same live one.
  for (const char* key : {"a", "b", "c\\shell\\open\\command"}) {
    m_env.m_registry.SetString(kHkcr, key, "", "\"C:\\Gone\\app.exe\" %1");
  }
  for (const char* key : {"d", "e\\x"}) {
    m_env.m_registry.SetString(kHkcr, key, "", "C:\\Live\\app.exe");
  }
  m_env.SetPath("C:\\Live\\app.exe", PathState::Exists);
  KeyWalker walker = Walker();
  Scan(walker, kPrograms);

  EXPECT_EQ((std::vector<std::string>(3, "c:\\gone\\app.exe")), Shown());
  EXPECT_EQ((std::map<std::string, int>{{"C:\\Gone\\app.exe", 1}, {"C:\\Live\\app.exe", 1}}),
            m_env.probes);
}

TEST_F(ScanWalkerProbeTest, AnswersLastForTheWalkerOnly) {
  m_env.m_registry.SetString(kHkcr, "CLSID\\{A}\\InprocServer32", "", "C:\\App\\srv.dll");
  {
    KeyWalker walker = Walker();
    Scan(walker, kComObjects);
    // The same walker does not see the file appear during its pass...
    m_env.SetPath("C:\\App\\srv.dll", PathState::Exists);
    Scan(walker, kComObjects);
  }
  EXPECT_EQ(2, m_model.m_nEntryCount);
  EXPECT_EQ(1, m_env.probes["C:\\App\\srv.dll"]);

  // ...a new one, for the next pass, asks again.
  KeyWalker next = Walker();
  Scan(next, kComObjects);
  EXPECT_EQ(2, m_model.m_nEntryCount);
  EXPECT_EQ(2, m_env.probes["C:\\App\\srv.dll"]);
}

}  // namespace
}  // namespace kw::test
