#include "app/JsonReport.h"

#include <cstdio>

namespace kw {

namespace {

// The length of the well-formed UTF-8 sequence at `at` (no overlong form,
// no surrogate, nothing above U+10FFFF); 0 when there is none.
size_t SequenceLength(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
  };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the range of the byte after the lead
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i, low = 0x80, high = 0xBF) {
    if (byte(at + i) < low || byte(at + i) > high) return 0;
  }
  return length;
}

// One object's members in the order they are added, each on a line of its
// own below `indent`, or all on one line when `indent` is null.
class JsonObject {
 public:
  JsonObject(Environment& env, const char* indent) : m_env(env), m_indent(indent) {}

  JsonObject& Text(const char* name, const std::string& ansi) {
    return Member(name, JsonText(m_env, ansi));
  }
  JsonObject& Number(const char* name, long long number) {
    return Member(name, std::to_string(number));
  }
  JsonObject& Member(const char* name, const std::string& json) {
    m_text += m_text.empty() ? "{" : ",";
    m_text += m_indent ? std::string("\r\n") + m_indent + "  " : m_text.size() > 1 ? " " : "";
    m_text += JsonString(name) + ": " + json;
    return *this;
  }
  std::string Close() const {
    if (m_text.empty()) return "{}";
    return m_text + (m_indent ? std::string("\r\n") + m_indent : std::string()) + "}";
  }

 private:
  Environment& m_env;
  const char* m_indent;
  std::string m_text;
};

std::string EntryObject(Environment& env, const ReportEntry& entry) {
  return JsonObject(env, nullptr)
      .Text("category", CategoryEnglishName(entry.category))
      .Member("categoryNumber", entry.category < 0 ? "null" : std::to_string(entry.category))
      .Text("root", entry.root)
      .Text("key", entry.keyPath)
      .Text("valueName", entry.valueName)
      .Text("type", RegTypeName(entry.type))
      .Text("data", entry.shown)
      .Text("missingFile", entry.missingPath)
      .Text("outcome", entry.outcome)
      .Text("user", entry.user)
      .Close();
}

}  // namespace

bool IsJsonReportPath(const std::string& path) {
  const size_t end = path.find_last_not_of(". ");
  if (end == std::string::npos || end < 4) return false;
  std::string extension = path.substr(end - 4, 5);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension == ".json";
}

std::string JsonString(const std::string& utf8) {
  std::string json = "\"";
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = SequenceLength(utf8, at);
    const char c = utf8[at];
    if (length == 0) {
      json += "\xEF\xBF\xBD";  // U+FFFD
      ++at;
      continue;
    }
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json.append(utf8, at, length);
    }
    at += length;
  }
  return json + "\"";
}

std::string JsonText(Environment& env, const std::string& ansi) {
  return ansi.empty() ? "null" : JsonString(env.AnsiToUtf8(ansi));
}

std::string FormatJsonReport(Environment& env, const std::vector<ReportEntry>& entries,
                             const ReportSummary& summary) {
  std::string list = "[";
  for (size_t i = 0; i < entries.size(); ++i) {
    list += (i > 0 ? ",\r\n    " : "\r\n    ") + EntryObject(env, entries[i]);
  }
  list += entries.empty() ? "]" : "\r\n  ]";
  return JsonObject(env, "")
             .Number("found", summary.found)
             .Number("deleted", summary.deleted)
             .Number("notDeleted", summary.notDeleted)
             .Number("restored", summary.restored)
             .Number("alreadyThere", summary.alreadyThere)
             .Number("replaced", summary.replaced)
             .Number("notRestored", summary.notRestored)
             .Text("backupFile", summary.backupFile)
             .Text("keyLoop", summary.keyLoop)
             .Text("warning", summary.warning)
             .Text("error", summary.error)
             .Number("exitCode", summary.exitCode)
             .Member("entries", list)
             .Close() +
         "\r\n";
}

}  // namespace kw
