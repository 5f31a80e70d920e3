#include "cleaning/BackupRecord.h"

#include <cstdint>
#include <cstdio>

namespace kw {

const char kSharedDllsKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

namespace {

// Records of values in the SharedDLLs key itself have always named it so.
const char kSharedDllKeyLine[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLS]";
const char kNotStringData[] = "\"No REG_SZ\"";

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// "@" for the default value, else the escaped name in double quotes.
std::string NameToken(const std::string& name) {
  if (name.empty()) return "@";
  return "\"" + EscapeRegText(name) + "\"";
}

// Comma-separated lower-case hex pairs, all on one line.
std::string HexBytes(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ',';
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
  }
  return out;
}

// "hex:" for REG_BINARY, "hex(N):" with N in hex for any other type.
std::string HexToken(uint32_t type, const std::string& bytes) {
  if (type == kRegBinary) return "hex:" + HexBytes(bytes);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
  return prefix + HexBytes(bytes);
}

// A quoted string imports as its text plus one terminating zero, so it can
// carry REG_SZ data only when that is exactly what is stored, and only when
// the text fits on one line.
bool QuotedFormFits(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  const std::string text = data.substr(0, data.size() - 1);
  return text.find('\0') == std::string::npos && !HasLineBreak(text);
}

std::string StringDataToken(const std::string& data) {
  if (QuotedFormFits(data)) {
    return "\"" + EscapeRegText(data.substr(0, data.size() - 1)) + "\"";
  }
  return HexToken(kRegSz, data);
}

// Reads a quoted name starting at text[pos] == '"'. On success `pos` is just
// past the closing quote.
bool ReadQuotedName(const std::string& text, size_t* pos, std::string* name) {
  name->clear();
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (++i == text.size()) return false;
      name->push_back(text[i]);  // \\ and \" and, as importers do, \x -> x
    } else {
      name->push_back(c);
    }
  }
  return false;  // no closing quote
}

}  // namespace

std::string EscapeRegText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 2);
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

std::string KeyLine(RegRoot root, const std::string& keyPath) {
  std::string line = "[";
  line += RootName(root);
  if (!keyPath.empty()) {
    if (keyPath[0] != '\\') line += '\\';
    line += keyPath;
  }
  line += ']';
  return line;
}

BackupRecord MakeValueRecord(RegRoot root, const std::string& keyPath, const RegValue& value) {
  BackupRecord record{"", RecordKind::Restorable, value.type, value.data};
  record.text = KeyLine(root, keyPath) + "\n" + NameToken(value.name) + "=";
  if (value.type != kRegSz) {
    record.text += kNotStringData;
    record.kind = RecordKind::NotString;
    return record;
  }
  record.text += StringDataToken(value.data);
  // A line break in the key path or name cannot be written in REGEDIT4.
  if (HasLineBreak(keyPath) || HasLineBreak(value.name)) record.kind = RecordKind::NotRestorable;
  return record;
}

BackupRecord MakeSharedDllRecord(const std::string& keyPath, const RegValue& value) {
  BackupRecord record{"", RecordKind::Restorable, value.type, value.data};
  record.text =
      keyPath == kSharedDllsKeyPath ? kSharedDllKeyLine : KeyLine(RegRoot::LocalMachine, keyPath);
  record.text += "\n" + NameToken(value.name) + "=";
  if (value.type == kRegDword && value.data.size() == 4) {
    uint32_t count = 0;
    for (int i = 3; i >= 0; --i) {
      count = (count << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
    }
    char token[16];
    std::snprintf(token, sizeof token, "dword:%08x", static_cast<unsigned>(count));
    record.text += token;
  } else {
    record.text += HexToken(value.type, value.data);
  }
  if (HasLineBreak(keyPath) || HasLineBreak(value.name)) record.kind = RecordKind::NotRestorable;
  return record;
}

bool ReadRecordTarget(const std::string& recordText, RecordTarget* target) {
  const size_t lineEnd = recordText.find('\n');
  if (lineEnd == std::string::npos) return false;
  const std::string keyLine = recordText.substr(0, lineEnd);
  const size_t open = keyLine.find('[');
  const size_t close = keyLine.rfind(']');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  const std::string keyText = keyLine.substr(open + 1, close - open - 1);

  RecordTarget result;
  const size_t separator = keyText.find('\\');
  result.rootName = keyText.substr(0, separator);
  if (result.rootName.empty()) return false;
  if (separator != std::string::npos) {
    const size_t pathStart = keyText.find_first_not_of('\\', separator);
    if (pathStart != std::string::npos) result.keyPath = keyText.substr(pathStart);
  }

  const std::string valueLine = recordText.substr(lineEnd + 1);
  size_t pos = 0;
  if (valueLine.compare(0, 1, "@") == 0) {
    pos = 1;  // the default value
  } else if (valueLine.compare(0, 1, "\"") == 0) {
    if (!ReadQuotedName(valueLine, &pos, &result.valueName)) return false;
  } else {
    return false;
  }
  if (pos >= valueLine.size() || valueLine[pos] != '=') return false;

  *target = std::move(result);
  return true;
}

}  // namespace kw
