#include "tests/support/FakeEnvironment.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kw::test {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

}  // namespace

std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << nativePath;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpwise.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create " << pattern;
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(m_path, error);
}

void TempDir::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream out(m_path + "/" + name, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) ADD_FAILURE() << "cannot write " << m_path << "/" << name;
}

PathState FakeEnvironment::ProbePath(const std::string& path) {
  const auto it = m_paths.find(Lower(path));
  return it == m_paths.end() ? PathState::Missing : it->second;
}

void FakeEnvironment::SetPath(const std::string& path, PathState state) {
  m_paths[Lower(path)] = state;
}

}  // namespace kw::test
