#include "system/TextFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "system/FileError.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kw {

namespace {

// Far more than a user makes in one minute; beyond it something is wrong.
constexpr int kMaxNameAttempts = 1000;

enum class Created { Yes, NameTaken, Refused };

// Creates `path` for writing only when nothing has that name yet (a link
// to a missing file counts as a name), so that no other file is ever
// opened or truncated.
Created CreateExclusively(const std::string& path, std::FILE** file) {
#ifdef _WIN32
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::NameTaken
                                                                       : Created::Refused;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    DeleteFileA(path.c_str());
    return Created::Refused;
  }
  *file = _fdopen(descriptor, "wb");
  if (*file == nullptr) {
    _close(descriptor);
    DeleteFileA(path.c_str());
    return Created::Refused;
  }
#else
  const int descriptor =
      open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descriptor == -1) return errno == EEXIST ? Created::NameTaken : Created::Refused;
  *file = fdopen(descriptor, "wb");
  if (*file == nullptr) {
    close(descriptor);
    std::remove(NativePath(path).c_str());
    return Created::Refused;
  }
#endif
  return Created::Yes;
}

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

bool IsLinkOrJunction(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  struct stat status;
  return lstat(NativePath(path).c_str(), &status) == 0 && S_ISLNK(status.st_mode);
#endif
}

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  // "C:\x" lies in "C:\", not in "C:" (the drive's current folder).
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
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

std::unique_ptr<TextFileWriter> TextFileWriter::CreateFree(const std::string& stem,
                                                           const std::string& extension) {
  std::string name = stem + extension;
  for (int n = 2; n <= kMaxNameAttempts + 1; ++n) {
    std::FILE* file = nullptr;
    switch (CreateExclusively(name, &file)) {
      case Created::Yes:
        return std::unique_ptr<TextFileWriter>(new TextFileWriter(file, name));
      case Created::Refused:
        throw FileError(FileError::Cause::Open, name);
      case Created::NameTaken:
        break;
    }
    name = stem + " (" + std::to_string(n) + ")" + extension;
  }
  throw FileError(FileError::Cause::Open, stem + extension);
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
  if (m_file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
    throw FileError(FileError::Cause::Write, m_path);
  }
}

std::string WriteNewFile(const std::string& stem, const std::string& extension,
                         const std::string& bytes) {
  // Creating the file may fail; then there is nothing of ours to remove.
  const std::unique_ptr<TextFileWriter> writer = TextFileWriter::CreateFree(stem, extension);
  try {
    writer->WriteBytes(bytes);
    writer->Close();
  } catch (...) {
    writer->Discard();
    throw;
  }
  return writer->path();
}

void TextFileWriter::Discard() {
  if (m_file != nullptr) std::fclose(m_file);
  m_file = nullptr;
  std::remove(NativePath(m_path).c_str());
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

void ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  std::string temporary;
  try {
    temporary = WriteNewFile(path, ".tmp", bytes);
  } catch (const FileError&) {
    throw FileError(FileError::Cause::Write, path);  // nothing of ours is left
  }
  if (!MoveOver(NativePath(temporary), NativePath(path))) {
    std::remove(NativePath(temporary).c_str());
    throw FileError(FileError::Cause::Write, path);
  }
}

void ReplaceFileLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  ReplaceWholeFile(path, WithCrLf(text));
}

}  // namespace kw
