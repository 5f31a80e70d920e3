// Reads the JSON that Kelpwise writes, as far as the tests need: objects
// with their members in order, arrays, and each other value as its text (a
// string unescaped, a number as written, null as empty). Kelpwise escapes
// only quote, backslash and control characters (\u00XX); the structure
// itself is checked against docs/report.schema.json by a real JSON reader.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kw::test {

struct Json {
  std::string text;
  std::vector<std::pair<std::string, Json>> members;
  std::vector<Json> items;

  const Json& operator[](const std::string& name) const {
    static const Json missing{"<no member>"};
    for (const auto& [key, value] : members)
      if (key == name) return value;
    return missing;
  }
};

// The value at `at`; `at` moves past it.
inline Json ReadJson(const std::string& text, size_t& at) {
  const auto skip = [&] {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n')) ++at;
  };
  Json value;
  skip();
  const size_t start = at;
  const char open = at < text.size() ? text[at++] : '\0';
  if (open == '{' || open == '[') {
    for (skip(); at < text.size() && text[at] != (open == '{' ? '}' : ']'); skip()) {
      if (open == '[') {
        value.items.push_back(ReadJson(text, at));
      } else {
        const std::string name = ReadJson(text, at).text;
        skip();
        ++at;  // the colon
        value.members.emplace_back(name, ReadJson(text, at));
      }
      skip();
      if (at < text.size() && text[at] == ',') ++at;
    }
    ++at;
  } else if (open == '"') {
    for (; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] != '\\' || ++at >= text.size()) {
        value.text += text[at];
      } else if (text[at] == 'u') {
        value.text += static_cast<char>(std::stoi(text.substr(at + 1, 4), nullptr, 16));
        at += 4;
      } else {
        value.text += text[at];  // the quote or backslash escaped
      }
    }
    ++at;
  } else if (open) {
    at = std::min(text.find_first_of(",}] \r\n", at), text.size());
    value.text = text.substr(start, at - start);
    if (value.text == "null") value.text.clear();
  }
  return value;
}

}  // namespace kw::test
