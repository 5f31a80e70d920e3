// Reads tab-separated text the way CSV readers set to tabs do: a field
// that begins with a double quote runs to the next quote that is not
// doubled, so it may hold tabs, quotes and line breaks. Lines end in CR LF.
#pragma once

#include <string>
#include <vector>

namespace kw::test {

inline std::vector<std::vector<std::string>> ReadTsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  for (size_t i = 0; i < text.size(); ++i) {
    std::string& field = records.back().back();
    if (text[i] == '"' && field.empty()) {
      for (++i; i < text.size() && !(text[i] == '"' && text[i + 1] != '"'); ++i) {
        field += text[i];
        if (text[i] == '"') ++i;
      }
    } else if (text[i] == '\t') {
      records.back().emplace_back();
    } else if (text[i] == '\r' && text[i + 1] == '\n') {
      records.emplace_back(1);
      ++i;
    } else {
      field += text[i];
    }
  }
  records.pop_back();  // after the last line end
  return records;
}

}  // namespace kw::test
