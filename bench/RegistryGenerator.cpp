#include "bench/RegistryGenerator.h"

#include <cstdio>

namespace kw::bench {

namespace {

constexpr int kProgIds = 10000;     // 7 keys each, plus an extension key with a subkey
constexpr int kComClasses = 20000;  // 2 keys each
constexpr int kTypeLibs = 5000;     // 4 keys each
constexpr int kSharedDlls = 2000;
constexpr int kFonts = 500;
constexpr int kHelpFiles = 100;
constexpr int kLiveFiles =
    8;  // per kind: app0.exe ... app7.exe and so on (no "com", a device name)

const char kLive[] = "C:\\kwbench\\live";
const char kGone[] = "C:\\kwbench\\gone";

std::string Number(const char* format, long n) {
  char text[64];
  std::snprintf(text, sizeof(text), format, n);
  return text;
}

std::string Guid(unsigned group, long n) {
  char text[64];
  std::snprintf(text, sizeof(text), "{%08X-4B57-4E42-8C%02X-%012lX}", 0x6B770000u + group, group,
                static_cast<unsigned long>(n));
  return text;
}

}  // namespace

bool RegistryGenerator::Run() {
  return MakeLiveFiles() && ProgIds() && ComClasses() && TypeLibs() && SharedDlls() && Fonts() &&
         HelpFiles() && HistoryLists();
}

bool RegistryGenerator::MakeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "generate: cannot create %s (error %lu)\n", path.c_str(), GetLastError());
    return false;
  }
  static const char kText[] = "kwbench placeholder\r\n";
  DWORD written = 0;
  WriteFile(file, kText, sizeof(kText) - 1, &written, nullptr);
  CloseHandle(file);
  ++m_counts.files;
  return true;
}

bool RegistryGenerator::MakeLiveFiles() {
  for (const char* dir :
       {"C:\\kwbench", kLive, "C:\\kwbench\\live\\shared", "C:\\kwbench\\live\\help"}) {
    if (!CreateDirectoryA(dir, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      std::fprintf(stderr, "generate: cannot create folder %s (error %lu)\n", dir, GetLastError());
      return false;
    }
  }
  for (int i = 0; i < kLiveFiles; ++i) {
    for (const char* pattern : {"\\app%ld.exe", "\\cls%ld.dll", "\\tlb%ld.dll", "\\font%ld.ttf"})
      if (!MakeFile(kLive + Number(pattern, i))) return false;
  }
  return true;
}

HKEY RegistryGenerator::Create(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  const LONG rc =
      RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    std::fprintf(stderr, "generate: cannot create key %s (error %ld)\n", path.c_str(), rc);
    m_failed = true;
    return nullptr;
  }
  ++m_counts.keys;
  return key;
}

bool RegistryGenerator::SetString(HKEY key, const char* name, const std::string& data) {
  if (key == nullptr) return false;
  const LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size() + 1));
  if (rc != ERROR_SUCCESS) {
    std::fprintf(stderr, "generate: cannot set value %s (error %ld)\n", name ? name : "@", rc);
    m_failed = true;
    return false;
  }
  ++m_counts.values;
  return true;
}

bool RegistryGenerator::SetDword(HKEY key, const char* name, DWORD data) {
  if (key == nullptr) return false;
  const LONG rc =
      RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
  if (rc != ERROR_SUCCESS) {
    std::fprintf(stderr, "generate: cannot set value %s (error %ld)\n", name, rc);
    m_failed = true;
    return false;
  }
  ++m_counts.values;
  return true;
}

RegistryGenerator::RefKind RegistryGenerator::NextReference() {
  const long n = m_counts.references++;
  if (n % 20 == 0) {
    ++m_counts.deadReferences;
    return RefKind::Dead;
  }
  return n % 20 < 8 ? RefKind::Windows : RefKind::Live;
}

std::string RegistryGenerator::NextReferencePath(const char* stem, const char* extension,
                                                 const char* windowsFile, long n) {
  switch (NextReference()) {
    case RefKind::Dead:
      return std::string(kGone) + "\\" + stem + Number("%05ld", n) + extension;
    case RefKind::Windows:
      return windowsFile;
    case RefKind::Live:
      break;
  }
  return std::string(kLive) + "\\" + stem + Number("%ld", n % kLiveFiles) + extension;
}

// Closes the key it is given when it goes out of scope.
namespace {
struct KeyCloser {
  HKEY key;
  ~KeyCloser() {
    if (key != nullptr) RegCloseKey(key);
  }
};
}  // namespace

bool RegistryGenerator::ProgIds() {
  for (long i = 0; i < kProgIds && !m_failed; ++i) {
    const std::string progId = Number("KwBench.Document%05ld", i);
    std::string program[3];
    for (std::string& path : program) {
      path = NextReferencePath("app", ".exe", "C:\\windows\\notepad.exe", i);
    }
    {
      KeyCloser ext{Create(HKEY_CLASSES_ROOT, Number(".kwb%05ld", i))};
      SetString(ext.key, nullptr, progId);
      KeyCloser shellNew{Create(ext.key, "ShellNew")};
      SetString(shellNew.key, "NullFile", "");
    }
    KeyCloser root{Create(HKEY_CLASSES_ROOT, progId)};
    SetString(root.key, nullptr, Number("Kwbench document %ld", i));
    {
      KeyCloser icon{Create(root.key, "DefaultIcon")};
      SetString(icon.key, nullptr, program[0] + ",1");
    }
    {
      KeyCloser shell{Create(root.key, "shell")};
      KeyCloser open{Create(shell.key, "open")};
      KeyCloser command{Create(open.key, "command")};
      SetString(command.key, nullptr, "\"" + program[1] + "\" \"%1\"");
      KeyCloser print{Create(shell.key, "print")};
      KeyCloser printCommand{Create(print.key, "command")};
      SetString(printCommand.key, nullptr, "\"" + program[2] + "\" /p \"%1\"");
    }
  }
  return !m_failed;
}

bool RegistryGenerator::ComClasses() {
  KeyCloser clsid{Create(HKEY_CLASSES_ROOT, "CLSID")};
  for (long i = 0; i < kComClasses && !m_failed; ++i) {
    const std::string server =
        NextReferencePath("cls", ".dll", "C:\\windows\\system32\\ole32.dll", i);
    KeyCloser cls{Create(clsid.key, Guid(1, i))};
    SetString(cls.key, nullptr, Number("Kwbench class %ld", i));
    KeyCloser inproc{Create(cls.key, "InprocServer32")};
    SetString(inproc.key, nullptr, server);
    SetString(inproc.key, "ThreadingModel", "Both");
  }
  return !m_failed;
}

bool RegistryGenerator::TypeLibs() {
  KeyCloser typeLib{Create(HKEY_CLASSES_ROOT, "TypeLib")};
  for (long i = 0; i < kTypeLibs && !m_failed; ++i) {
    const std::string file =
        NextReferencePath("tlb", ".dll", "C:\\windows\\system32\\stdole2.tlb", i);
    KeyCloser lib{Create(typeLib.key, Guid(2, i))};
    KeyCloser version{Create(lib.key, "1.0")};
    SetString(version.key, nullptr, Number("Kwbench library %ld", i));
    KeyCloser lcid{Create(version.key, "0")};
    KeyCloser win32{Create(lcid.key, "win32")};
    SetString(win32.key, nullptr, file);
  }
  return !m_failed;
}

bool RegistryGenerator::SharedDlls() {
  KeyCloser shared{
      Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs")};
  for (long i = 0; i < kSharedDlls && !m_failed; ++i) {
    std::string path;
    if (NextReference() == RefKind::Dead) {
      path = std::string(kGone) + Number("\\lib%05ld.dll", i);
    } else {
      path = std::string(kLive) + Number("\\shared\\lib%05ld.dll", i);
      if (!MakeFile(path)) return false;
    }
    SetDword(shared.key, path.c_str(), 1 + i % 3);
  }
  return !m_failed;
}

bool RegistryGenerator::Fonts() {
  KeyCloser fonts{
      Create(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts")};
  for (long i = 0; i < kFonts && !m_failed; ++i) {
    std::string file;
    if (NextReference() == RefKind::Dead) {
      // Half of the dead fonts are bare names looked up in the fonts folder.
      file =
          i % 2 ? Number("kwbgone%03ld.ttf", i) : std::string(kGone) + Number("\\font%03ld.ttf", i);
    } else {
      file = std::string(kLive) + Number("\\font%ld.ttf", i % kLiveFiles);
    }
    SetString(fonts.key, Number("Kwbench Font %03ld (TrueType)", i).c_str(), file);
  }
  return !m_failed;
}

bool RegistryGenerator::HelpFiles() {
  KeyCloser help{Create(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\Help")};
  for (long i = 0; i < kHelpFiles && !m_failed; ++i) {
    const std::string name = Number("kwb%03ld.hlp", i);
    std::string folder;
    if (NextReference() == RefKind::Dead) {
      folder = kGone;
    } else {
      folder = "C:\\kwbench\\live\\help";
      if (!MakeFile(folder + "\\" + name)) return false;
    }
    SetString(help.key, name.c_str(), folder);
  }
  return !m_failed;
}

bool RegistryGenerator::HistoryLists() {
  const char* const lists[] = {
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
      "Software\\Microsoft\\Search Assistant\\ACMru\\5603",
      "Software\\Microsoft\\Search Assistant\\ACMru\\5604",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt",
      "Software\\Microsoft\\Office\\9.0\\Excel\\Recent Files",
  };
  for (const char* path : lists) {
    KeyCloser key{Create(HKEY_CURRENT_USER, path)};
    std::string order;
    for (long i = 0; i < 26 && !m_failed; ++i) {
      const std::string name(1, static_cast<char>('a' + i));
      SetString(key.key, name.c_str(), Number("C:\\kwbench\\gone\\history%02ld.txt", i));
      order += name;
    }
    SetString(key.key, "MRUList", order);
  }
  return !m_failed;
}

}  // namespace kw::bench
