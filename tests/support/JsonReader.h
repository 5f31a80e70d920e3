// Reads the JSON that Kelpwise writes, as far as the tests need: each value
// as its text (a string unescaped, a number as written, null as empty) or
// its members in order (an array's items with empty names). Kelpwise
// escapes only quote, backslash and control characters (\u00XX); a real
// JSON reader checks the structure against docs/report.schema.json.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kw::test {

struct Json {
  std::string text;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](const std::string& name) const {
    static const Json missing{"<no member>", {}};
    for (const auto& [key, value] : members)
      if (key == name) return value;
    return missing;
  }
};

// The value at `at`; `at` moves past it.
inline Json ReadJson(const std::string& text, size_t& at) {
  const auto skip = [&](const char* chars) {
    at = std::min(text.find_first_not_of(chars, at), text.size());
  };
  Json value;
  skip(" \r\n");
  const size_t start = at;
  const char open = at < text.size() ? text[at++] : '\0';
  if (open == '{' || open == '[') {
    for (skip(" \r\n"); at < text.size() && text[at] != (open == '{' ? '}' : ']'); skip(" \r\n,")) {
      const std::string name = open == '{' ? ReadJson(text, at).text : "";
      if (open == '{') skip(" \r\n:");
      value.members.emplace_back(name, ReadJson(text, at));
    }
    ++at;
  } else if (open == '"') {
    for (; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && text[++at] == 'u') {
        value.text += static_cast<char>(std::stoi(text.substr(at + 1, 4), nullptr, 16));
        at += 4;
      } else {
        value.text += text[at];
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
