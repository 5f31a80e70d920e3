#include "cleaning/BackupReader.h"

#include <cstdio>
#include <memory>

#include "system/TextFile.h"

namespace kw {

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

int HexValue(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

// A quoted text starting at line[*pos] == '"' with the escapes \\ and \"
// only; `*pos` ends just past the closing quote. Empty on success, else
// what is wrong.
std::string ReadQuoted(const std::string& line, size_t* pos, std::string* text) {
  text->clear();
  for (size_t i = *pos + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      *pos = i + 1;
      return "";
    }
    if (c == '\\') {
      if (++i == line.size()) return "a line continuation";
      c = line[i];
      if (c != '\\' && c != '"') return "an escape other than \\\\ and \\\"";
    }
    text->push_back(c);
  }
  return "a quote that is not closed";
}

// "xx,xx,...,xx" of lower-case hex digits, or nothing.
std::string ReadHexBytes(const std::string& text, std::string* bytes) {
  bytes->clear();
  if (!text.empty() && text.back() == '\\') return "a line continuation";
  for (size_t i = 0; i < text.size(); i += 3) {
    if (i + 2 > text.size() || !IsHexDigit(text[i]) || !IsHexDigit(text[i + 1]) ||
        (i + 2 < text.size() && (text[i + 2] != ',' || i + 3 == text.size()))) {
      return "hex bytes that are not lower-case pairs separated by commas";
    }
    bytes->push_back(static_cast<char>(HexValue(text[i]) * 16 + HexValue(text[i + 1])));
  }
  return "";
}

// The data after "=": a quoted text, dword:XXXXXXXX, hex:... or hex(N):...
std::string ReadData(const std::string& data, RegValue* value) {
  if (data == "-") return "a deletion (=-)";
  if (!data.empty() && data[0] == '"') {
    size_t end = 0;
    std::string text;
    const std::string wrong = ReadQuoted(data, &end, &text);
    if (!wrong.empty()) return wrong;
    if (end != data.size()) return "text after the closing quote";
    if (text.find('\0') != std::string::npos) return "a zero byte in the text";
    value->type = kRegSz;
    value->data = text + '\0';
    return "";
  }
  if (data.compare(0, 6, "dword:") == 0) {
    if (data.size() != 14) return "a dword that is not eight hex digits";
    uint32_t number = 0;
    for (size_t i = 6; i < 14; ++i) {
      if (!IsHexDigit(data[i])) return "a dword that is not eight hex digits";
      number = number * 16 + static_cast<uint32_t>(HexValue(data[i]));
    }
    value->type = kRegDword;
    value->data.clear();
    for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<char>(number >> (8 * i)));
    return "";
  }
  size_t bytesStart = 0;
  if (data.compare(0, 4, "hex:") == 0) {
    value->type = kRegBinary;
    bytesStart = 4;
  } else if (data.compare(0, 4, "hex(") == 0) {
    const size_t close = data.find("):", 4);
    if (close == std::string::npos || close == 4 || close > 12) return "a malformed hex(N) type";
    uint32_t type = 0;
    for (size_t i = 4; i < close; ++i) {
      if (!IsHexDigit(data[i])) return "a malformed hex(N) type";
      type = type * 16 + static_cast<uint32_t>(HexValue(data[i]));
    }
    value->type = type;
    bytesStart = close + 2;
  } else {
    return "data that is neither a quoted text, dword: nor hex";
  }
  return ReadHexBytes(data.substr(bytesStart), &value->data);
}

// A value line: @ or a quoted name, "=", the data.
std::string ReadValueLine(const std::string& line, RegValue* value) {
  size_t pos = 0;
  if (line.compare(0, 1, "@") == 0) {
    value->name.clear();
    pos = 1;
  } else if (line.compare(0, 1, "\"") == 0) {
    const std::string wrong = ReadQuoted(line, &pos, &value->name);
    if (!wrong.empty()) return wrong;
  } else {
    return "neither a key line nor a value line";
  }
  if (line.compare(pos, 1, "=") != 0) return "no \"=\" after the value's name";
  if (value->name.find('\0') != std::string::npos) return "a zero byte in the value's name";
  return ReadData(line.substr(pos + 1), value);
}

// A key line "[ROOT]" or "[ROOT\path]".
std::string ReadKeyLine(const std::string& line, BackupValue* value) {
  if (line.compare(0, 2, "[-") == 0) return "a key deletion ([-...])";
  const std::string key = line.substr(1, line.size() - 2);
  const size_t separator = key.find('\\');
  if (!RootNamed(key.substr(0, separator), &value->root)) return "an unknown root key";
  value->keyPath = separator == std::string::npos ? "" : NormalizeKeyPath(key.substr(separator));
  if (key.find('\0') != std::string::npos) return "a zero byte in the key";
  return "";
}

bool IsKeyLine(const std::string& line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

bool ReadBackupText(const std::string& text, std::vector<BackupValue>* values, std::string* why) {
  values->clear();
  std::vector<BackupValue> read;
  bool keyPending = false;  // a key line waits for its value line
  int number = 0;
  for (size_t start = 0; start < text.size() || number == 0;) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    ++number;
    std::string wrong;
    if (number == 1) {
      if (line != "REGEDIT4") wrong = "the file does not begin with REGEDIT4";
    } else if (line.find('\r') != std::string::npos) {
      wrong = "a carriage return inside the line";
    } else if (keyPending) {
      if (IsKeyLine(line) || line.empty()) break;  // the key line lacks its value line
      wrong = ReadValueLine(line, &read.back().value);
      keyPending = false;
    } else if (IsKeyLine(line)) {
      read.emplace_back();
      read.back().line = number;
      wrong = ReadKeyLine(line, &read.back());
      keyPending = true;
    } else if (!line.empty()) {
      RegValue ignored;
      wrong = ReadValueLine(line, &ignored);
      if (wrong.empty()) wrong = "a value line without a key line above it";
    }
    if (!wrong.empty()) {
      *why = "line " + std::to_string(number) + ": " + wrong;
      return false;
    }
  }
  if (keyPending) {
    *why = "line " + std::to_string(read.back().line) + ": a key line without its value line";
    return false;
  }
  *values = std::move(read);
  return true;
}

bool ReadBackupFile(const std::string& path, std::vector<BackupValue>* values, std::string* why) {
  values->clear();
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
      std::fopen(NativePath(path).c_str(), "rb"), &std::fclose);
  if (!file) {
    *why = "cannot read " + path;
    return false;
  }
  std::string text;
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    text.append(buffer, got);
    if (text.size() > kMaxBackupBytes) {
      *why = path + " is far too large for a backup";
      return false;
    }
  }
  if (std::ferror(file.get())) {
    *why = "cannot read " + path;
    return false;
  }
  if (!ReadBackupText(text, values, why)) {
    *why = path + ", " + *why;
    return false;
  }
  return true;
}

}  // namespace kw
