// Line-by-line text files as the program keeps them: CR LF on disk, lines
// without their line end in memory, bytes passed through unchanged.
// Paths are Windows style; on other systems backslashes become slashes.
#pragma once

#include <cstdio>
#include <memory>
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

// Writes a file that it creates: it never opens a file, link or folder
// that is already there, so that nothing else is written over. Throws
// FileError(Open) when it cannot be created and FileError(Write) from Write
// or Close when any byte could not be written. Close flushes to the disk; a
// writer destroyed without Close removes nothing but leaves what was written.
class TextFileWriter {
 public:
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  // Creates stem + extension, or, when that name is taken, the first free
  // one of stem + " (2)" + extension, " (3)", ... Throws FileError(Open)
  // when the folder refuses a new file or no name is free.
  static std::unique_ptr<TextFileWriter> CreateFree(const std::string& stem,
                                                    const std::string& extension);

  const std::string& path() const { return m_path; }

  // Writes `text`; every line feed in it becomes CR LF.
  void Write(const std::string& text);
  void WriteLine(const std::string& line) { Write(line + "\n"); }
  // Writes `bytes` as they are, line feeds included.
  void WriteBytes(const std::string& bytes);
  void Close();
  // Closes the file and removes it: for a file left incomplete.
  void Discard();

 private:
  TextFileWriter(std::FILE* file, std::string path) : m_file(file), m_path(std::move(path)) {}

  std::FILE* m_file;
  std::string m_path;
};

// `text` with every line feed made CR LF.
std::string WithCrLf(const std::string& text);

// Writes `bytes` unchanged into a new file, named as CreateFree names it,
// and flushes them to the disk; returns its path. Throws FileError and
// leaves no partial file on failure.
std::string WriteNewFile(const std::string& stem, const std::string& extension,
                         const std::string& bytes);

// Gives `path` the content `bytes` in one step: writes a new temporary file
// beside it and moves that over it, so that a failed write leaves an
// existing file as it was, and a link at `path` is replaced, never
// followed. Throws FileError(Write) on failure.
void ReplaceWholeFile(const std::string& path, const std::string& bytes);

// All lines of a file. Throws FileError(Open).
std::vector<std::string> ReadAllLines(const std::string& path);

// ReplaceWholeFile with `lines`, each followed by CR LF.
void ReplaceFileLines(const std::string& path, const std::vector<std::string>& lines);

bool FileIsPresent(const std::string& path);

// True when `path` is a symbolic link or, on Windows, any reparse point (a
// junction, a mount point): a folder that may lead somewhere else than it
// seems. A path that cannot be examined is none.
bool IsLinkOrJunction(const std::string& path);

// The folder part of `path` (up to its last separator), or "." for a bare name.
std::string FolderOf(const std::string& path);

// `path` as the C library of this system takes it.
std::string NativePath(const std::string& path);

}  // namespace kw
