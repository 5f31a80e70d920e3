// A private copy of the program folder for one test: Kelpwise.exe with its
// config.ini, language file, blacklist.ini and backup folder in a new
// temporary folder, deleted again by the destructor.
#pragma once

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace kw::test {

// The program folder the tests copy: KW_PROGRAM_DIR (a Windows path) when
// set, else the folder Kelpwise next to the test program.
std::string SourceProgramFolder();

// Lines of a text file without their line ends; false when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>* lines);

class ProgramFolder {
 public:
  ProgramFolder() = default;
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  ::testing::AssertionResult Create();

  const std::string& path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }

  // config.ini as the program reads it: a key line, then its value line.
  // SetSetting replaces the value line after every line equal to `key` and
  // writes CR LF line ends; it fails when the key is not in the file.
  ::testing::AssertionResult SetSetting(const std::string& key, const std::string& value) const;
  std::string ReadSetting(const std::string& key) const;
  std::vector<std::string> ConfigLines() const;

  // The language file named by the "Product ID" setting.
  std::string LanguageFile() const { return File(ReadSetting("Product ID") + "trl.ini"); }

  ::testing::AssertionResult RemoveFile(const std::string& name) const;

 private:
  std::string m_path;
};

}  // namespace kw::test
