#include "bench/CoreWalk.h"

#include <array>

#include "bench/Stopwatch.h"
#include "scan/KeyWalker.h"
#include "scan/ResultModel.h"
#include "scan/ScanCategories.h"
#include "system/Environment.h"
#include "system/SystemTools.h"

namespace kw::bench {

namespace {

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Forwards to the real registry and counts the calls.
class CountingRegistry : public Registry {
 public:
  CountingRegistry(Registry& real, CoreWalkResult& counts) : m_real(real), m_counts(counts) {}

  RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) override {
    ++m_counts.opens;
    return m_real.OpenKey(root, path, forWrite, key);
  }
  RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) override {
    return m_real.CreateKey(root, path, key);
  }
  void CloseKey(Handle key) override { m_real.CloseKey(key); }
  RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) override {
    ++m_counts.listings;
    return m_real.ListSubKeys(key, names);
  }
  RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) override {
    ++m_counts.listings;
    return m_real.ListValues(key, withData, values);
  }
  RegStatus ListKey(Handle key, std::vector<RegValue>* values,
                    std::vector<std::string>* subKeys) override {
    ++m_counts.listings;
    return m_real.ListKey(key, values, subKeys);
  }
  RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override {
    Stopwatch clock;
    const RegStatus status = m_real.QueryValue(key, name, value);
    m_counts.querySeconds += clock.Seconds();
    ++m_counts.queries;
    return status;
  }
  RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                     const std::string& data) override {
    return m_real.SetValue(key, name, type, data);
  }
  RegStatus DeleteValue(Handle key, const std::string& name) override {
    return m_real.DeleteValue(key, name);
  }
  bool IsAnsiExact(Handle key, const std::string& name) override {
    Stopwatch clock;
    const bool exact = m_real.IsAnsiExact(key, name);
    m_counts.querySeconds += clock.Seconds();
    ++m_counts.queries;
    return exact;
  }

 private:
  Registry& m_real;
  CoreWalkResult& m_counts;
};

// The real environment with the counting registry and timed file probes.
class CountingEnvironment : public Environment {
 public:
  CountingEnvironment(Environment& real, CoreWalkResult& counts)
      : m_real(real), m_registry(real.registry(), counts), m_counts(counts) {}

  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override { return m_real.ModuleFileName(); }
  bool WindowsDirectory(std::string* dir) override { return m_real.WindowsDirectory(dir); }
  bool SystemWow64Directory(std::string* dir) override { return m_real.SystemWow64Directory(dir); }
  PathState ProbePath(const std::string& path) override {
    Stopwatch clock;
    const PathState state = m_real.ProbePath(path);
    m_counts.probeSeconds += clock.Seconds();
    ++m_counts.probes;
    return state;
  }
  LocalTime Now() override { return m_real.Now(); }
  std::unique_ptr<CleanUpLock> LockCleanUps(unsigned timeoutMs) override {
    return m_real.LockCleanUps(timeoutMs);
  }

 private:
  Environment& m_real;
  CountingRegistry m_registry;
  CoreWalkResult& m_counts;
};

// Counts the keys; the window's work (progress line, rows, repainting,
// loop guard) is left out.
class KeyCounter : public ScanListener {
 public:
  explicit KeyCounter(long& keys) : m_keys(keys) {}
  void OnKeyEntered(const std::string&) override { ++m_keys; }
  void OnKeyChecked(const std::string&) override {}
  void OnEntryAdded(int, const std::string&, bool) override {}

 private:
  long& m_keys;
};

}  // namespace

CoreWalkResult RunCoreWalk() {
  CoreWalkResult result;
  CountingEnvironment env(CurrentEnvironment(), result);
  CSystemTools tools(env);
  ResultModel model;
  KeyCounter listener(result.keys);

  // English names are enough: they only pick the rows' icons.
  std::array<std::string, kCategoryCount> names;
  for (int i = 0; i < kCategoryCount; ++i) names[i] = "category " + std::to_string(i);
  const OptionFlags options = ReadOptionFlags("11111111111100");
  const double cpuBefore = ProcessCpuSeconds();
  Stopwatch clock;
  KeyWalker walker(env.registry(), tools, model, listener, {}, names, options);
  for (const ScanCategory& category : ScanCategories()) {
    walker.ScanKey(names[category.index], category.startKey, category.check, category.extensions);
  }
  model.SettlePass();
  result.seconds = clock.Seconds();
  result.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
  result.rows = model.m_nEntryCount;
  return result;
}

}  // namespace kw::bench
