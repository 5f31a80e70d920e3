// What the fuzz targets share: failing loudly, the text file and REGEDIT4
// rules written out independently of the program's code, a program folder
// of their own, and registry-like texts built from fuzz input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "system/Registry.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::fuzz {

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "oracle: %s\n", what.c_str());
  std::abort();
}
inline void Expect(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

// Lines of a file as its bytes hold them: a line ends at a line feed, and a
// carriage return right before that line feed belongs to the line end.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

inline std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The program folder C:\Kelpwise of a fake environment, kept in a temporary
// directory for the whole run. The memory registry reports a misuse of a
// key handle as a test failure; here that failure stops the run.
class ProgramFolder {
 public:
  ProgramFolder() : env(dir.path()) { GTEST_FLAG_SET(break_on_failure, true); }

  void Write(const std::string& name, const std::string& bytes) const { dir.WriteFile(name, bytes); }
  std::string Read(const std::string& name) const { return ReadBytes(dir.path() + "/" + name); }
  std::string Path(const std::string& name) const { return dir.path() + "\\" + name; }

  test::TempDir dir;
  test::FakeEnvironment env;
};

inline std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return text;
}

// Text made of pieces that registry data, paths and names are made of, so
// that the checks' patterns turn up far more often than in random bytes.
inline std::string PieceText(FuzzedDataProvider& in, size_t maxPieces = 6) {
  static const char* const kPieces[] = {
      "c:\\", "C:\\", "\\", "dead", "Live", "\\windows\\", "\\WINDOWS\\", ".exe", ".dll",
      ".ttf", ".fon", ".hlp", ".cnt", ".", "\"", " ", "%1", "a", "B", "\r\n", "@", "=", "]"};
  std::string text;
  const size_t pieces = in.ConsumeIntegralInRange<size_t>(0, maxPieces);
  for (size_t i = 0; i < pieces && in.remaining_bytes() > 0; ++i) {
    if (in.ConsumeBool()) {
      text += in.PickValueInArray(kPieces);
    } else {
      text += in.ConsumeRandomLengthString(16);
    }
  }
  return text;
}

// A value as a REGEDIT4 importer (Wine's regedit) stores it from one record.
struct ImportedValue {
  std::string rootName;
  std::string keyPath;  // backslash runs made one, no backslash at either end
  std::string name;
  uint32_t type = 0;
  std::string data;
};

// The bytes an import stores for a value of this type: string types get a
// terminating zero when their last byte is not one.
inline std::string ImportedData(uint32_t type, std::string data) {
  const bool stringType = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
  if (stringType && !data.empty() && data.back() != '\0') data += '\0';
  return data;
}

namespace detail {

inline bool ReadQuoted(const std::string& line, size_t* pos, std::string* out) {
  if (*pos >= line.size() || line[*pos] != '"') return false;
  for (size_t i = *pos + 1; i < line.size(); ++i) {
    if (line[i] == '"') {
      *pos = i + 1;
      return true;
    }
    // Only the two escapes the format defines everywhere.
    if (line[i] == '\\' && (++i == line.size() || (line[i] != '\\' && line[i] != '"'))) {
      return false;
    }
    *out += line[i];
  }
  return false;
}

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline bool ReadHexList(const std::string& text, std::string* bytes) {
  for (size_t i = 0; i < text.size(); i += 3) {
    if (i + 2 > text.size() || HexDigit(text[i]) < 0 || HexDigit(text[i + 1]) < 0) return false;
    if (i + 2 < text.size() && text[i + 2] != ',') return false;
    if (i + 3 == text.size()) return false;  // a trailing comma
    *bytes += static_cast<char>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1]));
  }
  return true;
}

inline bool ReadData(const std::string& token, ImportedValue* value) {
  size_t pos = 0;
  if (ReadQuoted(token, &pos, &value->data)) {
    value->type = kRegSz;
    value->data += '\0';
    return pos == token.size();
  }
  if (token.compare(0, 6, "dword:") == 0) {
    const std::string digits = token.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t number = 0;
    for (char c : digits) {
      if (HexDigit(c) < 0) return false;
      number = number * 16 + static_cast<uint32_t>(HexDigit(c));
    }
    value->type = kRegDword;
    for (int i = 0; i < 4; ++i) value->data += static_cast<char>((number >> (8 * i)) & 0xff);
    return true;
  }
  size_t colon = token.find(':');
  if (colon == std::string::npos) return false;
  const std::string kind = token.substr(0, colon);
  if (kind == "hex") {
    value->type = kRegBinary;
  } else if (kind.size() > 5 && kind.size() <= 13 && kind.compare(0, 4, "hex(") == 0 &&
             kind.back() == ')') {
    value->type = 0;
    for (size_t i = 4; i + 1 < kind.size(); ++i) {
      if (HexDigit(kind[i]) < 0) return false;
      value->type = value->type * 16 + static_cast<uint32_t>(HexDigit(kind[i]));
    }
  } else {
    return false;
  }
  if (!ReadHexList(token.substr(colon + 1), &value->data)) return false;
  value->data = ImportedData(value->type, value->data);
  return true;
}

}  // namespace detail

// Reads a record, a key line and a value line joined by one line feed, as
// the importer would; false for anything it would not import as written.
inline bool ImportRecord(const std::string& text, ImportedValue* value) {
  *value = ImportedValue();
  const size_t lineFeed = text.find('\n');
  if (lineFeed == std::string::npos || text.find_first_of("\r\n", lineFeed + 1) != std::string::npos ||
      text.find('\r') < lineFeed) {
    return false;
  }
  const std::string keyLine = text.substr(0, lineFeed);
  const std::string valueLine = text.substr(lineFeed + 1);
  if (keyLine.size() < 2 || keyLine.front() != '[' || keyLine.back() != ']') return false;
  const std::string key = keyLine.substr(1, keyLine.size() - 2);
  value->rootName = key.substr(0, key.find('\\'));
  if (value->rootName != "HKEY_CURRENT_USER" && value->rootName != "HKEY_LOCAL_MACHINE" &&
      value->rootName != "HKEY_CLASSES_ROOT") {
    return false;
  }
  for (size_t i = value->rootName.size(); i < key.size(); ++i) {
    const bool separator = key[i] == '\\';
    if (separator && (value->keyPath.empty() || value->keyPath.back() == '\\')) continue;
    value->keyPath += key[i];
  }
  if (!value->keyPath.empty() && value->keyPath.back() == '\\') value->keyPath.pop_back();

  size_t pos = 0;
  if (valueLine.compare(0, 1, "@") == 0) {
    pos = 1;
  } else if (!detail::ReadQuoted(valueLine, &pos, &value->name)) {
    return false;
  }
  if (pos >= valueLine.size() || valueLine[pos] != '=') return false;
  return detail::ReadData(valueLine.substr(pos + 1), value);
}

// A record's value against the value it was made from; `keyPath` compared
// without regard to ASCII case and backslash runs, as the registry does.
inline void ExpectRecordOf(const std::string& recordText, const char* rootName,
                           const std::string& keyPath, const RegValue& value) {
  ImportedValue imported;
  Expect(ImportRecord(recordText, &imported), "record does not import: " + recordText);
  Expect(imported.rootName == rootName, "record root differs: " + recordText);
  Expect(Lower(imported.keyPath) == Lower(NormalizeKeyPath(keyPath)),
         "record key differs from " + keyPath + ": " + recordText);
  Expect(imported.name == value.name, "record name differs: " + recordText);
  Expect(imported.type == value.type && imported.data == ImportedData(value.type, value.data),
         "record data differs: " + recordText);
}

}  // namespace kw::fuzz
