#include "cleaning/IgnoreList.h"

#include <algorithm>

#include "system/TextFile.h"

namespace kw {

std::vector<std::string> LoadIgnoreList(const std::string& blacklistPath) {
  TextFileReader reader(blacklistPath);
  std::vector<std::string> entries;
  std::string line;
  for (int i = 0; i < kIgnoreListHeaderLines; ++i) {
    if (!reader.ReadLine(&line)) return entries;
  }
  while (reader.ReadLine(&line)) {
    if (!line.empty()) entries.push_back(line);
  }
  return entries;
}

void AppendIgnoreEntry(const std::string& blacklistPath, const std::string& entry) {
  if (entry.empty() || entry.find_first_of("\r\n") != std::string::npos) return;
  std::vector<std::string> lines = ReadAllLines(blacklistPath);
  if (lines.size() < static_cast<size_t>(kIgnoreListHeaderLines)) {
    lines.resize(kIgnoreListHeaderLines);
  }
  if (std::find(lines.begin() + kIgnoreListHeaderLines, lines.end(), entry) != lines.end()) return;
  lines.push_back(entry);
  ReplaceFileLines(blacklistPath, lines);
}

}  // namespace kw
