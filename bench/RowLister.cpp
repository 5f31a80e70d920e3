#include "bench/RowLister.h"

#include <windows.h>

#include <utility>

namespace kw::bench {

namespace {

const char kNotString[] = "No REG_SZ";

// The data of a REG_SZ value up to its first zero byte, else the marker.
std::string StringData(const WalkedValue& value) {
  if (value.type != REG_SZ) return kNotString;
  std::string text(reinterpret_cast<const char*>(value.data), value.size);
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

std::string Lower(std::string text) {
  if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

enum class PathState { Exists, Missing, Unknown };

PathState Probe(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return PathState::Exists;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return PathState::Unknown;
  if (path.size() >= 2 && path[1] == ':') {
    const char root[] = {path[0], ':', '\\', '\0'};
    if (GetDriveTypeA(root) != DRIVE_FIXED) return PathState::Unknown;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    return PathState::Unknown;  // network path
  }
  return PathState::Missing;
}

// Tokens searched for per check; one empty token runs the check once.
struct Tokens {
  const char* list[2];
  int count;
};

Tokens TokensOf(Check check) {
  switch (check) {
    case Check::Program:
      return {{".exe", nullptr}, 1};
    case Check::Font:
      return {{".ttf", ".fon"}, 2};
    case Check::TypeLib:
      return {{".dll", nullptr}, 1};
    case Check::HelpFile:
      return {{".cnt", ".hlp"}, 2};
    default:
      return {{"", nullptr}, 1};
  }
}

}  // namespace

RowLister::RowLister(const SearchCategory& category, std::string windowsDir, std::FILE* out)
    : m_category(category), m_windowsDir(std::move(windowsDir)), m_out(out) {}

void RowLister::OnValue(const std::string& keyPath, const WalkedValue& value) {
  const std::string raw = StringData(value);
  if (m_category.check == Check::History) {
    // Rows of values that are not strings are dropped when the pass ends.
    if (raw != kNotString) Print(value.name, raw);
    return;
  }
  const Tokens tokens = TokensOf(m_category.check);
  for (int i = 0; i < tokens.count; ++i) CheckFileReference(value, raw, tokens.list[i]);
}

void RowLister::CheckFileReference(const WalkedValue& value, const std::string& raw,
                                   const char* token) {
  const Check check = m_category.check;
  std::string d = raw;
  if (check == Check::HelpFile) d += "\\" + value.name;
  d = Lower(d);

  const bool onC = Contains(d, "\\") && Contains(d, "c:\\");
  const bool inWindows = Contains(d, "\\windows\\");
  bool candidate = false;
  switch (check) {
    case Check::Program:
    case Check::TypeLib:
      candidate = Contains(d, token) && onC && !inWindows;
      break;
    case Check::Font:
      candidate = Contains(d, token);
      break;
    case Check::SharedDll:
      candidate = true;
      break;
    case Check::ComObject:
      candidate = onC && !inWindows;
      break;
    case Check::HelpFile:
      candidate = Contains(d, token) && onC;
      break;
    case Check::History:
      break;
  }
  if (!candidate) return;

  std::string cut;
  if (check == Check::SharedDll) {
    cut = value.name;
  } else if (check == Check::ComObject) {
    const size_t dot = d.rfind('.');
    cut = d.substr(0, dot == std::string::npos ? 3 : dot + 4);
  } else {
    cut = d.substr(0, d.find(token) + 4);
  }

  const size_t drive = d.find("c:\\");
  std::string path;
  if (drive == std::string::npos) {
    path = cut;
  } else if (drive < cut.size()) {
    path = cut.substr(drive);
  }

  if (check == Check::Font && !Contains(path, "\\") && !Contains(path, "c:\\"))
    path = m_windowsDir + "\\fonts\\" + path;

  if (path.empty() || path == "c:\\") return;
  if (Probe(path) != PathState::Missing) return;
  Print(value.name.empty() ? "(default)" : value.name, path);
}

void RowLister::Print(const std::string& column1, const std::string& column2) {
  ++m_rows;
  std::fprintf(m_out, "%s\t%s\t%s\n", m_category.name, column1.c_str(), column2.c_str());
}

}  // namespace kw::bench
