#include "tests/support/FakeEnvironment.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kw::test {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpwise.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
  }
  m_path = pattern;
}

TempDir::~TempDir() {
  namespace fs = std::filesystem;
  std::error_code error;
  // Tests may leave folders read-only; give every folder its rights back
  // before removing the tree.
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, error);
  for (auto it = fs::recursive_directory_iterator(m_path, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::remove_all(m_path, error);
}

void TempDir::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream out(m_path + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) ADD_FAILURE() << "cannot write " << m_path << "/" << name;
}

std::string TempDir::ReadFile(const std::string& name) const {
  std::ifstream in(m_path + "/" + name, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << m_path << "/" << name;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDir::Exists(const std::string& name) const {
  std::error_code error;
  return std::filesystem::exists(m_path + "/" + name, error);
}

FakeEnvironment::FakeEnvironment(const std::string& programDir)
    : m_moduleFileName(programDir + "\\Kelpwise.exe") {}

bool FakeEnvironment::WindowsDirectory(std::string* dir) {
  if (m_windowsDir.empty()) return false;
  *dir = m_windowsDir;
  return true;
}

bool FakeEnvironment::SystemWow64Directory(std::string* dir) {
  if (m_wow64Dir.empty()) return false;
  *dir = m_wow64Dir;
  return true;
}

PathState FakeEnvironment::ProbePath(const std::string& path) {
  for (const auto& [known, state] : m_paths) {
    if (SameIgnoringCase(known, path)) return state;
  }
  return PathState::Missing;
}

void FakeEnvironment::SetPath(const std::string& path, PathState state) {
  for (auto& [known, current] : m_paths) {
    if (SameIgnoringCase(known, path)) {
      current = state;
      return;
    }
  }
  m_paths[path] = state;
}

}  // namespace kw::test
