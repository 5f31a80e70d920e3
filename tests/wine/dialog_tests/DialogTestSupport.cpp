#include "tests/wine/dialog_tests/DialogTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gtest/gtest.h"

namespace kw::test {

namespace {

std::string ThisProgramDir() {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  return dir.substr(0, dir.find_last_of('\\'));
}

bool IsFile(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

MessageBoxAnswerer* g_answerer = nullptr;  // the hook has no user data

}  // namespace

ProgramResources::ProgramResources() {
  std::vector<std::string> candidates;
  if (const char* dir = std::getenv("KW_PROGRAM_DIR")) {
    candidates.push_back(std::string(dir) + "\\Kelpwise.exe");
  }
  candidates.push_back(ThisProgramDir() + "\\Kelpwise\\Kelpwise.exe");
  candidates.push_back(ThisProgramDir() + "\\Kelpwise.exe");
  for (const std::string& candidate : candidates) {
    if (IsFile(candidate)) {
      m_path = candidate;
      break;
    }
  }
  if (!m_path.empty()) {
    m_module = ::LoadLibraryExA(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
}

ProgramResources::~ProgramResources() {
  if (m_module != nullptr) ::FreeLibrary(m_module);
}

HINSTANCE ProgramModule() {
  static ProgramResources resources;
  return resources.module();
}

void Click(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

MessageBoxAnswerer::MessageBoxAnswerer(int answer)
    : m_answer(answer),
      m_hook(::SetWindowsHookExA(WH_CBT, &OnCbt, nullptr, ::GetCurrentThreadId())) {
  g_answerer = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  ::UnhookWindowsHookEx(m_hook);
  g_answerer = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && g_answerer != nullptr) {
    HWND window = reinterpret_cast<HWND>(wParam);
    // A message box is a dialog whose text is the static 0xFFFF.
    HWND text = ::GetDlgItem(window, 0xFFFF);
    char className[32] = {};
    if (text != nullptr) ::GetClassNameA(text, className, sizeof className);
    if (std::string(className) == "Static") {
      char buffer[2048] = {};
      Box box;
      ::GetWindowTextA(window, buffer, sizeof buffer);
      box.caption = buffer;
      ::GetWindowTextA(text, buffer, sizeof buffer);
      box.text = buffer;
      g_answerer->m_boxes.push_back(box);
      ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(g_answerer->m_answer, BN_CLICKED), 0);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

ProgramFolder::ProgramFolder() {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  char name[MAX_PATH];
  ::GetTempFileNameA(temp, "kwd", 0, name);
  ::DeleteFileA(name);
  ::CreateDirectoryA(name, nullptr);
  m_path = name;
}

ProgramFolder::~ProgramFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((m_path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string file = found.cFileName;
      if (file != "." && file != "..") ::DeleteFileA((m_path + "\\" + file).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(m_path.c_str());
}

void ProgramFolder::WriteLines(const std::string& name,
                               const std::vector<std::string>& lines) const {
  std::ofstream out(m_path + "\\" + name, std::ios::binary);
  for (const std::string& line : lines) out << line << "\r\n";
}

std::vector<std::string> ProgramFolder::ReadLines(const std::string& name) const {
  std::ifstream in(m_path + "\\" + name, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace kw::test
