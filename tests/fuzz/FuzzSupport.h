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
  if (!ok) std::fprintf(stderr, "oracle: %s\n", what.c_str()), std::abort();
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

// Text made of pieces that registry data, paths and names are made of, so
// that the checks' patterns turn up far more often than in random bytes.
inline std::string PieceText(FuzzedDataProvider& in, size_t maxPieces = 6) {
  static const char* const kPieces[] = {"c:\\", "C:\\", "\\", "dead", "Live", "\\windows\\", "\\WINDOWS\\", ".exe",
                                        ".dll", ".ttf", ".fon", ".hlp", ".cnt", ".", "\"", " ", "%1", "a", "B",
                                        "\r\n", "@", "=", "]"};
  std::string text;
  const size_t pieces = in.ConsumeIntegralInRange<size_t>(0, maxPieces);
  for (size_t i = 0; i < pieces && in.remaining_bytes() > 0; ++i) {
    text += in.ConsumeBool() ? in.PickValueInArray(kPieces) : in.ConsumeRandomLengthString(16);
  }
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

// Reads a record (a key line, one line feed, a value line) as regedit would,
// with `key` its key line squeezed; false for anything it would not import
// as written (of hex digits it takes lower case only).
inline bool ImportRecord(const std::string& text, std::string* key, RegValue* value) {
  const size_t lineFeed = text.find('\n');
  RegRoot root;
  if (lineFeed == std::string::npos || text.find_first_of("\r\n", lineFeed + 1) != std::string::npos ||
      text.find('\r') < lineFeed || text[0] != '[' || text[lineFeed - 1] != ']' ||
      !RootNamed(text.substr(1, text.find_first_of("\\]") - 1), &root)) {
    return false;
  }
  *key = SqueezedKey(text.substr(1, lineFeed - 2), "");
  size_t pos = lineFeed + 1;
  const auto quoted = [&](std::string* out) {  // only the escapes \\ and \"
    out->clear();
    for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
      if (text[pos] == '\\' && text[++pos] != '\\' && text[pos] != '"') return false;
      *out += text[pos];
    }
    return pos++ < text.size();
  };
  value->name.clear();
  if (text[pos] == '@' ? text[++pos] != '=' : text[pos] != '"' || !quoted(&value->name) || text[pos] != '=') {
    return false;
  }
  value->type = kRegSz;
  if (text[++pos] == '"') return quoted(&value->data) && pos == text.size() && (*value = Imported(*value), true);
  const std::string rest = text.substr(pos), hex = "0123456789abcdef";
  value->data.clear();
  if (rest.size() == 14 && rest.compare(0, 6, "dword:") == 0 && rest.find_first_not_of(hex, 6) == std::string::npos) {
    const unsigned long n = std::stoul(rest.substr(6), nullptr, 16);
    *value = RegValue{value->name, kRegDword, {char(n), char(n >> 8), char(n >> 16), char(n >> 24)}};
    return true;
  }
  size_t body = 4, end = rest.find_first_not_of(hex, 4);
  if (rest.compare(0, 4, "hex(") == 0 && end > 4 && end < 13 && rest.compare(end, 2, "):") == 0) {
    value->type = uint32_t(std::stoul(rest.substr(4, end - 4), nullptr, 16));
    body = end + 2;
  } else if (rest.compare(0, 4, "hex:") == 0) {
    value->type = kRegBinary;
  } else {
    return false;
  }
  for (size_t i = body; i < rest.size(); i += 3) {
    if (i + 2 > rest.size() || rest.find_first_not_of(hex, i) < i + 2 ||
        (i + 2 < rest.size() && (rest[i + 2] != ',' || i + 3 == rest.size()))) {
      return false;
    }
    value->data += char(std::stoul(rest.substr(i, 2), nullptr, 16));
  }
  *value = Imported(*value);
  return true;
}

// A record against the value it was made from.
inline void ExpectRecordOf(const std::string& text, RegRoot root, const std::string& keyPath, const RegValue& value) {
  std::string key;
  RegValue imported;
  Expect(ImportRecord(text, &key, &imported) && key == SqueezedKey(RootName(root), keyPath) &&
             imported.name == value.name && imported.type == value.type && imported.data == Imported(value).data,
         "record does not import as its value: " + text);
}

}  // namespace kw::fuzz
