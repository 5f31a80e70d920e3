// Line-by-line text files as the program keeps them: CR LF on disk, lines
// without their line end in memory, bytes passed through unchanged.
// Paths are Windows style; on other systems backslashes become slashes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kw {

// Reads a file line by line. Throws FileError(Open) when it cannot be opened.
class TextFileReader {
 public:
  explicit TextFileReader(const std::string& path);
  ~TextFileReader();
  TextFileReader(const TextFileReader&) = delete;
  TextFileReader& operator=(const TextFileReader&) = delete;

  // The next line without its line end; false at the end of the file.
  bool ReadLine(std::string* line);

 private:
  std::FILE* m_file;
};

// Writes a new file. Throws FileError(Open) when it cannot be created and
// FileError(Write) from Write or Close when any byte could not be written.
// Close flushes to the disk; a writer destroyed without Close removes
// nothing but leaves what was written.
class TextFileWriter {
 public:
  explicit TextFileWriter(const std::string& path);
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  // Writes `text`; every line feed in it becomes CR LF.
  void Write(const std::string& text);
  void WriteLine(const std::string& line) { Write(line + "\n"); }
  // Writes `bytes` as they are, line feeds included.
  void WriteBytes(const std::string& bytes);
  void Close();

 private:
  std::FILE* m_file;
  std::string m_path;
};

// `text` with every line feed made CR LF.
std::string WithCrLf(const std::string& text);

// Writes `bytes` unchanged as the new content of `path` and flushes them to
// the disk. Throws FileError and leaves no partial file on failure.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// All lines of a file. Throws FileError(Open).
std::vector<std::string> ReadAllLines(const std::string& path);

// Replaces the file with `lines`, each followed by CR LF: writes a temporary
// file beside it and moves it over the old one, so that a failed write
// leaves the old content. Throws FileError(Write) on failure.
void ReplaceFileLines(const std::string& path, const std::vector<std::string>& lines);

bool FileIsPresent(const std::string& path);

// `path` as the C library of this system takes it.
std::string NativePath(const std::string& path);

}  // namespace kw
