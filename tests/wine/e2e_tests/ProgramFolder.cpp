#include "tests/wine/e2e_tests/ProgramFolder.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

namespace kw::test {
namespace {

bool CopyFolder(const std::string& from, const std::string& to) {
  if (!CreateDirectoryA(to.c_str(), nullptr)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string source = from + "\\" + name, target = to + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyFolder(source, target) && ok;
    } else {
      ok = CopyFileA(source.c_str(), target.c_str(), TRUE) && ok;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

void DeleteFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolder(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string NewTempFolderName() {
  static unsigned counter = 0;
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  std::string base = temp;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  return base + "\\kelpwise-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
}

}  // namespace

std::string SourceProgramFolder() {
  if (const char* dir = std::getenv("KW_PROGRAM_DIR")) {
    if (*dir) return dir;
  }
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  return folder.substr(0, folder.find_last_of('\\')) + "\\Kelpwise";
}

bool ReadTextLines(const std::string& path, std::vector<std::string>* lines) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  lines->clear();
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(line);
  }
  return true;
}

ProgramFolder::~ProgramFolder() {
  if (!m_path.empty()) DeleteFolder(m_path);
}

::testing::AssertionResult ProgramFolder::Create() {
  std::string source = SourceProgramFolder();
  std::string exe = source + "\\Kelpwise.exe";
  if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return ::testing::AssertionFailure()
           << exe << " does not exist (set KW_PROGRAM_DIR to the program folder)";
  }
  m_path = NewTempFolderName();
  if (!CopyFolder(source, m_path)) {
    return ::testing::AssertionFailure() << "cannot copy " << source << " to " << m_path;
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::string> ProgramFolder::ConfigLines() const {
  std::vector<std::string> lines;
  ReadTextLines(File("config.ini"), &lines);
  return lines;
}

::testing::AssertionResult ProgramFolder::SetSetting(const std::string& key,
                                                     const std::string& value) const {
  std::vector<std::string> lines;
  if (!ReadTextLines(File("config.ini"), &lines)) {
    return ::testing::AssertionFailure() << "cannot read " << File("config.ini");
  }
  bool found = false;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == key) {
      lines[++i] = value;
      found = true;
    }
  }
  if (!found) return ::testing::AssertionFailure() << "config.ini has no key \"" << key << "\"";
  std::ofstream file(File("config.ini"), std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) file << line << "\r\n";
  file.close();
  if (!file) return ::testing::AssertionFailure() << "cannot write " << File("config.ini");
  return ::testing::AssertionSuccess();
}

std::string ProgramFolder::ReadSetting(const std::string& key) const {
  std::vector<std::string> lines = ConfigLines();
  std::string value;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == key) value = i + 1 < lines.size() ? lines[++i] : "";
  }
  return value;
}

::testing::AssertionResult ProgramFolder::RemoveFile(const std::string& name) const {
  if (!DeleteFileA(File(name).c_str())) {
    return ::testing::AssertionFailure() << "cannot delete " << File(name);
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kw::test
