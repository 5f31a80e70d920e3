#include "system/Environment.h"

namespace kw {

#ifdef _WIN32
// The real machine; defined with Win32Environment.
Environment& DefaultEnvironment();
#else
namespace {

// Outside Windows there is no machine to ask: an empty registry, and paths
// whose state is never known, so that nothing is ever taken for missing.
class EmptyRegistry : public Registry {
 public:
  RegStatus OpenKey(RegRoot, const std::string&, bool, Handle*) override {
    return RegStatus::NotFound;
  }
  RegStatus CreateKey(RegRoot, const std::string&, Handle*) override {
    return RegStatus::AccessDenied;
  }
  void CloseKey(Handle) override {}
  RegStatus ListSubKeys(Handle, std::vector<std::string>*) override { return RegStatus::Failed; }
  RegStatus ListValues(Handle, bool, std::vector<RegValue>*) override { return RegStatus::Failed; }
  RegStatus QueryValue(Handle, const std::string&, RegValue*) override { return RegStatus::Failed; }
  RegStatus SetValue(Handle, const std::string&, uint32_t, const std::string&) override {
    return RegStatus::Failed;
  }
  RegStatus DeleteValue(Handle, const std::string&) override { return RegStatus::Failed; }
  bool IsAnsiExact(Handle, const std::string&) override { return false; }
};

class DetachedEnvironment : public Environment {
 public:
  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override { return "Kelpwise.exe"; }
  bool WindowsDirectory(std::string*) override { return false; }
  bool SystemWow64Directory(std::string*) override { return false; }
  PathState ProbePath(const std::string&) override { return PathState::Unknown; }
  LocalTime Now() override { return LocalTime(); }
  // A single process with nothing to share the registry with.
  std::unique_ptr<CleanUpLock> LockCleanUps(unsigned) override {
    return std::make_unique<CleanUpLock>();
  }

 private:
  EmptyRegistry m_registry;
};

}  // namespace

static Environment& DefaultEnvironment() {
  static DetachedEnvironment environment;
  return environment;
}
#endif

std::string Environment::AnsiToUtf8(const std::string& text) {
  std::string utf8;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::unique_ptr<LoadedHive> Environment::LoadUserHive(const std::string&, std::string* why) {
  *why = "this system cannot load registry hives";
  return nullptr;
}

Environment& CurrentEnvironment() { return DefaultEnvironment(); }

}  // namespace kw
