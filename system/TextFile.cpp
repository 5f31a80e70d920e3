#include "system/TextFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "system/FileError.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kw {

namespace {

// Pushes the file's buffered bytes to the disk, so that a rename that
// follows never exposes a file whose content is still in flight.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

std::string NativePath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
#endif
}

bool FileIsPresent(const std::string& path) {
  struct stat status;
  return stat(NativePath(path).c_str(), &status) == 0;
}

TextFileReader::TextFileReader(const std::string& path)
    : m_file(std::fopen(NativePath(path).c_str(), "rb")) {
  if (m_file == nullptr) throw FileError(FileError::Cause::Open, path);
}

TextFileReader::~TextFileReader() { std::fclose(m_file); }

bool TextFileReader::ReadLine(std::string* line) {
  line->clear();
  int c = std::getc(m_file);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') {
    *line += static_cast<char>(c);
    c = std::getc(m_file);
  }
  // A carriage return belongs to the line end only right before the line feed.
  if (c == '\n' && !line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

TextFileWriter::TextFileWriter(const std::string& path)
    : m_file(std::fopen(NativePath(path).c_str(), "wb")), m_path(path) {
  if (m_file == nullptr) throw FileError(FileError::Cause::Open, path);
}

TextFileWriter::~TextFileWriter() {
  if (m_file != nullptr) std::fclose(m_file);
}

std::string WithCrLf(const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

void TextFileWriter::Write(const std::string& text) { WriteBytes(WithCrLf(text)); }

void TextFileWriter::WriteBytes(const std::string& bytes) {
  if (m_file == nullptr ||
      std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
    throw FileError(FileError::Cause::Write, m_path);
  }
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  // Creating the file may fail; then there is nothing of ours to remove.
  auto writer = std::make_unique<TextFileWriter>(path);
  try {
    writer->WriteBytes(bytes);
    writer->Close();
  } catch (...) {
    writer.reset();  // closes the file so that it can be removed
    std::remove(NativePath(path).c_str());
    throw;
  }
}

void TextFileWriter::Close() {
  if (m_file == nullptr) return;
  std::FILE* file = m_file;
  m_file = nullptr;
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0 && SyncToDisk(file);
  ok = std::fclose(file) == 0 && ok;
  if (!ok) throw FileError(FileError::Cause::Write, m_path);
}

std::vector<std::string> ReadAllLines(const std::string& path) {
  TextFileReader reader(path);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(&line)) lines.push_back(line);
  return lines;
}

void ReplaceFileLines(const std::string& path, const std::vector<std::string>& lines) {
  const std::string temporary = path + ".tmp";
  std::unique_ptr<TextFileWriter> writer;
  try {
    writer = std::make_unique<TextFileWriter>(temporary);
  } catch (const FileError&) {
    throw FileError(FileError::Cause::Write, path);  // nothing was created
  }
  try {
    for (const std::string& line : lines) writer->WriteLine(line);
    writer->Close();
  } catch (const FileError&) {
    writer.reset();
    std::remove(NativePath(temporary).c_str());
    throw FileError(FileError::Cause::Write, path);
  }
  if (!MoveOver(NativePath(temporary), NativePath(path))) {
    std::remove(NativePath(temporary).c_str());
    throw FileError(FileError::Cause::Write, path);
  }
}

}  // namespace kw
