// The accounts of the machine: administrator rights, the names of SIDs,
// and the registry hives of profiles nobody is logged on to.
#include "system/Win32Environment.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// clang-format off
#include <sddl.h>  // after windows.h
// clang-format on

#include <atomic>
#include <vector>

namespace kw {

namespace {

std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "";
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "system error";
  return message + " (error " + std::to_string(error) + ")";
}

// Enables both privileges that loading a hive needs; false, with the
// reason, when the token does not hold them.
bool EnableHivePrivileges(std::string* why) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    *why = "the process token cannot be opened: " + SystemMessage(GetLastError());
    return false;
  }
  bool enabled = true;
  for (const char* name : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) ||
        GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
      *why = std::string("the privilege ") + name + " is not held";
      enabled = false;
      break;
    }
  }
  CloseHandle(token);
  return enabled;
}

class Win32LoadedHive : public LoadedHive {
 public:
  explicit Win32LoadedHive(std::string name) : m_name(std::move(name)) {}
  // A key of the hive still open somewhere in the process keeps it loaded;
  // the keys are closed right after each use, so retrying for a second
  // covers a handle that is just being closed.
  ~Win32LoadedHive() override {
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (RegUnLoadKeyA(HKEY_USERS, m_name.c_str()) == ERROR_SUCCESS) return;
      Sleep(50);
    }
  }
  const std::string& keyName() const override { return m_name; }

 private:
  std::string m_name;
};

}  // namespace

bool Win32Environment::IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

std::string Win32Environment::AccountName(const std::string& sid) {
  PSID binary = nullptr;
  if (!ConvertStringSidToSidA(sid.c_str(), &binary)) return "";
  char name[256], domain[256];
  DWORD nameSize = sizeof name, domainSize = sizeof domain;
  SID_NAME_USE use;
  std::string account;
  if (LookupAccountSidA(nullptr, binary, name, &nameSize, domain, &domainSize, &use)) {
    account = domain[0] != '\0' ? std::string(domain) + "\\" + name : name;
  }
  LocalFree(binary);
  return account;
}

std::string Win32Environment::ExpandVariables(const std::string& text) {
  const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::vector<char> expanded(size);
  if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size) == 0) return text;
  return expanded.data();
}

std::unique_ptr<LoadedHive> Win32Environment::LoadUserHive(const std::string& file,
                                                           std::string* why) {
  if (!EnableHivePrivileges(why)) return nullptr;
  static std::atomic<unsigned> counter{0};
  const std::string name =
      "Kelpwise " + std::to_string(GetCurrentProcessId()) + " " + std::to_string(++counter);
  const LONG error = RegLoadKeyA(HKEY_USERS, name.c_str(), file.c_str());
  if (error != ERROR_SUCCESS) {
    *why = "its hive " + file + " cannot be loaded: " + SystemMessage(static_cast<DWORD>(error));
    return nullptr;
  }
  return std::make_unique<Win32LoadedHive>(name);
}

}  // namespace kw
