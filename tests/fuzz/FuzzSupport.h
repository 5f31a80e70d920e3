// What the fuzz targets share: failing loudly, lines of a file, a program
// folder of their own, registry-like texts built from fuzz input, and a
// REGEDIT4 importer's reading of one record.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/FakeEnvironment.h"

namespace kw::fuzz {

inline void Expect(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "oracle: %s\n", what.c_str());
  std::abort();
}

// A line ends at a line feed; a carriage return right before it belongs to the line end.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < bytes.size(); start = end + 1) {
    end = std::min(bytes.find('\n', start), bytes.size());
    lines.push_back(bytes.substr(start, end - start - (end > start && end < bytes.size() && bytes[end - 1] == '\r')));
  }
  return lines;
}

// The program folder of a fake environment, for the whole run.
struct ProgramFolder {
  void Write(const std::string& name, const std::string& bytes) const { dir.WriteFile(name, bytes); }
  std::string Path(const std::string& name) const { return dir.path() + "\\" + name; }

  test::TempDir dir;
  test::FakeEnvironment env{dir.path()};
};

// Text made of pieces that registry data, paths and names are made of, so
// that the checks' patterns turn up far more often than in random bytes.
inline std::string PieceText(FuzzedDataProvider& in, size_t maxPieces = 6) {
  static const char* const kPieces[] = {
      "c:\\", "C:\\", "\\", "dead", "Live", "\\windows\\", "\\WINDOWS\\", ".exe", ".dll",
      ".ttf", ".fon", ".hlp", ".cnt", ".", "\"", " ", "%1", "a", "B", "\r\n", "@", "=", "]"};
  std::string text;
  const size_t pieces = in.ConsumeIntegralInRange<size_t>(0, maxPieces);
  for (size_t i = 0; i < pieces && in.remaining_bytes() > 0; ++i) {
    text += in.ConsumeBool() ? in.PickValueInArray(kPieces) : in.ConsumeRandomLengthString(16);
  }
  return text;
}

// A key line for comparing: lower case, backslash runs made one.
inline std::string Squeezed(const std::string& keyLine) {
  std::string out;
  for (const char c : LowerAscii(keyLine)) {
    if (c == ']' && !out.empty() && out.back() == '\\') out.pop_back();
    if (c != '\\' || out.empty() || out.back() != '\\') out += c;
  }
  return out;
}

// The value regedit stores: string data gets a terminating zero it lacks.
inline RegValue Imported(RegValue value) {
  if (value.type == kRegSz && !value.data.empty() && value.data.back() != '\0') value.data += '\0';
  return value;
}

// Reads a record (a key line, one line feed, a value line) as regedit would
// into its key line and value; false for anything it would not import as written.
inline bool ImportRecord(const std::string& text, std::string* keyLine, RegValue* value) {
  const size_t lineFeed = text.find('\n');
  if (lineFeed == std::string::npos || text.find_first_of("\r\n", lineFeed + 1) != std::string::npos ||
      text.find('\r') < lineFeed || text[0] != '[' || text[lineFeed - 1] != ']') {
    return false;
  }
  *keyLine = text.substr(0, lineFeed);
  RegRoot root;
  if (!RootNamed(keyLine->substr(1, keyLine->find_first_of("\\]") - 1), &root)) return false;
  const std::string line = text.substr(lineFeed + 1);
  size_t pos = 0;
  const auto quoted = [&](std::string* out) {  // only the escapes \\ and \"
    *out = "";
    if (line.compare(pos, 1, "\"") != 0) return false;
    for (++pos; pos < line.size(); ++pos) {
      if (line[pos] == '"') return ++pos, true;
      if (line[pos] == '\\' && (++pos == line.size() || (line[pos] != '\\' && line[pos] != '"'))) return false;
      *out += line[pos];
    }
    return false;
  };
  if (line.compare(0, 1, "@") == 0) {
    value->name = "";
    pos = 1;
  } else if (!quoted(&value->name)) {
    return false;
  }
  if (line.compare(pos++, 1, "=") != 0) return false;
  if (quoted(&value->data)) {
    value->type = kRegSz;
    value->data += '\0';
    return pos == line.size();
  }
  unsigned number = 0;
  int used = 0;
  const char* rest = line.c_str() + pos;
  value->data = "";
  if (std::sscanf(rest, "dword:%8x%n", &number, &used) == 1 && used == 14 && !rest[used]) {
    value->type = kRegDword;
    for (int i = 0; i < 4; ++i) value->data += static_cast<char>(number >> (8 * i));
    return true;
  }
  value->type = kRegBinary;
  if (line.compare(pos, 4, "hex:") == 0) {
    used = 4;
  } else if (std::sscanf(rest, "hex(%8x):%n", &value->type, &used) != 1 || used == 0) {
    return false;
  }
  for (size_t i = pos + size_t(used); i < line.size(); i += 3) {
    unsigned byte = 0;
    int digits = 0;
    if (std::sscanf(line.c_str() + i, "%2x%n", &byte, &digits) != 1 || digits != 2 || line[i] == ' ' ||
        line[i] == '+' || line[i] == '-' || (i + 2 < line.size() && (line[i + 2] != ',' || i + 3 == line.size()))) {
      return false;
    }
    value->data += static_cast<char>(byte);
  }
  *value = Imported(*value);
  return true;
}

// A record against the value it was made from.
inline void ExpectRecordOf(const std::string& text, RegRoot root, const std::string& keyPath, const RegValue& value) {
  std::string keyLine;
  RegValue imported;
  Expect(ImportRecord(text, &keyLine, &imported) &&
             Squeezed(keyLine) == Squeezed("[" + std::string(RootName(root)) + "\\" + keyPath + "]") &&
             imported.name == value.name && imported.type == value.type &&
             imported.data == Imported(value).data,
         "record does not import as its value: " + text);
}

}  // namespace kw::fuzz
