// What the fuzz targets share: failing loudly, lines of a file, a program
// folder of their own, registry-like texts built from fuzz input, and a
// REGEDIT4 importer's reading of one record.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/support/FakeEnvironment.h"

namespace kw::fuzz {

inline void Expect(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "oracle: %s\n", what.c_str());
    std::abort();
  }
}

// A line ends at a line feed; a carriage return right before it belongs to the line end.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::string line = bytes.substr(start, end - start);
    if (end < bytes.size() && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Text made of pieces that registry data, paths and names are made of, so
// that the checks' patterns turn up far more often than in random bytes.
inline std::string PieceText(FuzzedDataProvider& in, size_t maxPieces = 6) {
  static const char* const kPieces[] = {
      "c:\\", "C:\\", "\\",   "dead", "Live", "\\windows\\", "\\WINDOWS\\", ".exe", ".dll",
      ".ttf", ".fon", ".hlp", ".cnt", ".",    "\"",          " ",           "%1",   "a",
      "B",    "\r\n", "@",    "=",    "]"};
  std::string text;
  const size_t pieces = in.ConsumeIntegralInRange<size_t>(0, maxPieces);
  for (size_t i = 0; i < pieces && in.remaining_bytes() > 0; ++i)
    text += in.ConsumeBool() ? in.PickValueInArray(kPieces) : in.ConsumeRandomLengthString(16);
  return text;
}

// The key line "[root\path]" for comparing: lower case, backslash runs made one.
inline std::string SqueezedKey(const std::string& root, const std::string& path) {
  std::string out;
  for (const char c : LowerAscii("[" + root + "\\" + path + "]")) {
    if (c == ']' && out.back() == '\\') out.pop_back();
    if (c != '\\' || out.back() != '\\') out += c;
  }
  return out;
}

// The value regedit stores: string data gets a terminating zero it lacks.
inline RegValue Imported(RegValue value) {
  if (value.type == kRegSz && (value.data.empty() || value.data.back() != '\0')) value.data += '\0';
  return value;
}

// A quoted string at `*pos` with only the escapes \\ and \", read as regedit
// would; `*pos` then points past its closing quote.
inline bool ReadQuoted(const std::string& text, size_t* pos, std::string* out) {
  out->clear();
  if (text[*pos] != '"') return false;
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      *pos = i + 1;
      return true;
    }
    if (text[i] == '\\') {
      ++i;
      if (i == text.size() || (text[i] != '\\' && text[i] != '"')) return false;
    }
    *out += text[i];
  }
  return false;
}

// Reads a record (a key line, one line feed, a value line) as regedit would,
// with `key` its key line squeezed; false for anything it would not import
// as written (of hex digits it takes lower case only).
inline bool ImportRecord(const std::string& text, std::string* key, RegValue* value) {
  if (text.find('\r') != std::string::npos || std::count(text.begin(), text.end(), '\n') != 1)
    return false;
  const size_t lineFeed = text.find('\n');
  const std::string rootName = text.substr(1, text.find_first_of("\\]") - 1);
  RegRoot root;
  if (text[0] != '[' || text[lineFeed - 1] != ']' || !RootNamed(rootName, &root)) return false;
  *key = SqueezedKey(text.substr(1, lineFeed - 2), "");

  size_t pos = lineFeed + 1;
  if (text[pos] == '@') {
    value->name.clear();
    ++pos;
  } else if (!ReadQuoted(text, &pos, &value->name)) {
    return false;
  }
  if (text[pos] != '=') return false;
  std::string rest = text.substr(pos + 1);
  const std::string hex = "0123456789abcdef";
  value->type = kRegSz;
  if (rest[0] == '"') {
    size_t end = 0;
    if (!ReadQuoted(rest, &end, &value->data) || end != rest.size()) return false;
    *value = Imported(*value);
    return true;
  }
  if (rest.size() == 14 && rest.compare(0, 6, "dword:") == 0 &&
      rest.find_first_not_of(hex, 6) == std::string::npos) {
    const unsigned long n = std::stoul(rest.substr(6), nullptr, 16);
    value->type = kRegDword;
    value->data = {char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
    return true;
  }
  if (rest.compare(0, 4, "hex:") == 0) rest.replace(0, 4, "hex(3):");  // REG_BINARY
  const size_t typeEnd = rest.find_first_not_of(hex, 4);
  if (rest.compare(0, 4, "hex(") != 0 || typeEnd == 4 || typeEnd > 12 ||
      rest.compare(typeEnd, 2, "):") != 0) {
    return false;
  }
  value->type = uint32_t(std::stoul(rest.substr(4, typeEnd - 4), nullptr, 16));
  const std::string bytes = rest.substr(typeEnd + 2);  // "xx,xx,...,xx"
  if (!bytes.empty() && bytes.size() % 3 != 2) return false;
  value->data.clear();
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const bool separated = i + 2 == bytes.size() || bytes[i + 2] == ',';
    if (bytes.find_first_not_of(hex, i) < i + 2 || !separated) return false;
    value->data += char(std::stoul(bytes.substr(i, 2), nullptr, 16));
  }
  *value = Imported(*value);
  return true;
}

}  // namespace kw::fuzz
