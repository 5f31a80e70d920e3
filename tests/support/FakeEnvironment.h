// A test environment: a memory registry, a program folder on disk, a fixed
// clock and a table of path states.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "scan/EntryChecks.h"
#include "system/Environment.h"
#include "system/SystemTools.h"
#include "tests/support/MemoryRegistry.h"

namespace kw::test {

inline std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << nativePath;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// While it lives, writing a file past `bytes` fails (as on a full disk):
// the write fails instead of ending the process.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) { signal(SIGXFSZ, SIG_IGN), Set(bytes); }
  ~FileSizeLimit() { Set(RLIM_INFINITY); }
  static void Set(rlim_t bytes) {
    const rlimit limit{bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
};

// The program folder is `subfolder` of a fresh temporary folder (or that
// folder itself), removed with its content at the end.
class FakeEnvironment : public Environment {
 public:
  explicit FakeEnvironment(const std::string& subfolder = "") {
    if (mkdtemp(m_dir.data()) == nullptr) ADD_FAILURE() << "cannot create " << m_dir;
    if (!subfolder.empty()) std::filesystem::create_directory(m_dir + "/" + subfolder);
    m_moduleFileName = m_dir + (subfolder.empty() ? "" : "\\" + subfolder) + "\\Kelpwise.exe";
  }
  ~FakeEnvironment() override { std::filesystem::remove_all(m_dir); }
  // Files by their path below the temporary folder.
  const std::string& dir() const { return m_dir; }  // no trailing separator
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_dir + "/" + name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const { return ReadBytes(m_dir + "/" + name); }

  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override { return m_moduleFileName; }
  bool WindowsDirectory(std::string* dir) override {
    *dir = m_windowsDir;
    return !dir->empty();
  }
  bool SystemWow64Directory(std::string* dir) override {
    *dir = m_wow64Dir;
    return !dir->empty();
  }
  // A path set with SetPath (any letter case) has its state; others are Missing.
  PathState ProbePath(const std::string& path) override {
    const auto it = m_paths.find(LowerAscii(path));
    return it == m_paths.end() ? PathState::Missing : it->second;
  }
  LocalTime Now() override { return m_now; }
  std::unique_ptr<CleanUpLock> LockCleanUps(unsigned) override {
    return m_otherCleanUpRuns ? nullptr : std::make_unique<CleanUpLock>();
  }
  void SetPath(const std::string& path, PathState state) { m_paths[LowerAscii(path)] = state; }

  bool IsAdministrator() override { return m_administrator; }
  std::string AccountName(const std::string& sid) override {
    const auto it = m_accounts.find(sid);
    return it == m_accounts.end() ? "" : it->second;
  }
  // A hive file of m_hiveFiles goes in below HKEY_USERS while loaded and
  // is written back when unloaded, as Windows does.
  std::unique_ptr<LoadedHive> LoadUserHive(const std::string& file, std::string* why) override {
    if (m_hiveFiles.count(file) == 0) {
      *why = "no such hive file";
      return nullptr;
    }
    struct Hive : LoadedHive {
      FakeEnvironment& env;
      std::string file, name;
      Hive(FakeEnvironment& e, std::string f, std::string n) : env(e), file(f), name(n) {}
      ~Hive() override {
        env.m_hiveFiles[file] = env.m_registry.Detach(RegRoot::Users, name);
        --env.m_hivesLoaded;
      }
      const std::string& keyName() const override { return name; }
    };
    auto hive = std::make_unique<Hive>(*this, file, "Kelpwise " + std::to_string(++m_hiveLoads));
    m_registry.Attach(RegRoot::Users, hive->name, m_hiveFiles[file]);
    ++m_hivesLoaded;
    return hive;
  }

  MemoryRegistry m_registry;
  std::string m_moduleFileName;
  std::string m_windowsDir = "C:\\Windows";
  std::string m_wow64Dir;  // empty: 32-bit Windows
  LocalTime m_now{2006, 12, 6, 14, 5};
  bool m_otherCleanUpRuns = false;  // LockCleanUps waits in vain
  bool m_administrator = true;
  std::map<std::string, std::string> m_accounts;            // names by SID
  std::map<std::string, MemoryRegistry::Tree> m_hiveFiles;  // by file path
  int m_hivesLoaded = 0, m_hiveLoads = 0;

 private:
  std::string m_dir = (std::filesystem::temp_directory_path() / "kelpwise.XXXXXX").string();
  std::map<std::string, PathState> m_paths;  // by lower-case path
};

}  // namespace kw::test
