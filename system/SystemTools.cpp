#include "system/SystemTools.h"

#include <algorithm>
#include <cstdio>

#include "system/TextFile.h"

namespace kw {

const char kNoRegSz[] = "No REG_SZ";
const char kKeyNotFound[] = "Registry key was not found :-( ";

namespace {

bool ReadRootOf(int readRoot, RegRoot* root) {
  switch (readRoot) {
    case kReadCurrentUser:
      *root = RegRoot::CurrentUser;
      return true;
    case kReadLocalMachine:
      *root = RegRoot::LocalMachine;
      return true;
    case kReadClassesRoot:
      *root = RegRoot::ClassesRoot;
      return true;
  }
  return false;
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAsciiChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The part of `path` below `folder`, as `path` spells it: the folder's
// letters match in any case and a run of separators ('\' or '/') matches a
// run; false when `path` names no file below `folder`.
bool NameBelowFolder(const std::string& path, const std::string& folder, std::string* rest) {
  size_t p = 0;
  size_t f = 0;
  while (f < folder.size()) {
    if (IsPathSeparator(folder[f])) {
      if (p == path.size() || !IsPathSeparator(path[p])) return false;
      while (f < folder.size() && IsPathSeparator(folder[f])) ++f;
      while (p < path.size() && IsPathSeparator(path[p])) ++p;
    } else {
      if (p == path.size() || LowerAsciiChar(path[p]) != LowerAsciiChar(folder[f])) return false;
      ++p;
      ++f;
    }
  }
  if (p == path.size() || !IsPathSeparator(path[p])) return false;
  while (p < path.size() && IsPathSeparator(path[p])) ++p;
  if (p == path.size()) return false;
  *rest = path.substr(p);
  return true;
}

bool WriteRootOf(int writeRoot, RegRoot* root) {
  switch (writeRoot) {
    case kWriteLocalMachine:
      *root = RegRoot::LocalMachine;
      return true;
    case kWriteCurrentUser:
      *root = RegRoot::CurrentUser;
      return true;
    case kWriteClassesRoot:
      *root = RegRoot::ClassesRoot;
      return true;
  }
  return false;
}

// Sum of digit x radix^position over the text, last character at position
// 0; characters that are no digit count 0 but keep their place. Arithmetic
// is modulo 2^32, so long texts wrap around like 32-bit integers.
int32_t ParseDigits(const std::string& text, uint32_t radix) {
  uint32_t sum = 0;
  uint32_t power = 1;
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    const char c = *it;
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (radix == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    }
    sum += digit * power;
    power *= radix;
  }
  return static_cast<int32_t>(sum);
}

uint32_t DaysInMonth(int month, int32_t year) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return year % 4 == 0 ? 29 : 28;
  }
  return 0;
}

// The keys config.ini holds.
const char* const kSettingKeys[] = {"Product ID", "Language",  "Dialects[1031]",
                                    "Options",    "CheckTime", "CheckDate",
                                    "Startup",    "Homepage",  "Window Placement"};

// The indexes of the key lines of `key` in config.ini. The file is read in
// pairs: a line holding a setting's key (or `key`) is a key line, and the
// line after it is its value, never itself a key line, whatever it holds.
// Any other line stands alone and is carried along.
std::vector<size_t> KeyLinesOf(const std::vector<std::string>& lines, const std::string& key) {
  std::vector<size_t> found;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const bool isKey = line == key || std::find(std::begin(kSettingKeys), std::end(kSettingKeys),
                                                line) != std::end(kSettingKeys);
    if (!isKey) continue;
    if (line == key) found.push_back(i);
    ++i;  // its value line
  }
  return found;
}

}  // namespace

std::string DecodeRegString(const RegValue& value) {
  if (value.data.empty()) return "";
  if (value.type != kRegSz) return kNoRegSz;
  return value.data.substr(0, value.data.find('\0'));
}

CSystemTools::CSystemTools(Environment& env) : m_env(&env) {}

std::string CSystemTools::GetProgramDir() const {
  const std::string module = m_env->ModuleFileName();
  const size_t slash = module.rfind('\\');
  return slash == std::string::npos ? std::string() : module.substr(0, slash);
}

std::string CSystemTools::ConfigPath() const { return GetProgramDir() + "\\config.ini"; }

std::string CSystemTools::ReadSetting(const std::string& key) const {
  const std::vector<std::string> lines = ReadAllLines(ConfigPath());
  std::string result;
  for (size_t line : KeyLinesOf(lines, key)) {
    result = line + 1 < lines.size() ? lines[line + 1] : std::string();
  }
  return result;
}

void CSystemTools::WriteSetting(const std::string& key, const std::string& value,
                                bool addMissing) const {
  const std::string path = ConfigPath();
  std::vector<std::string> lines = ReadAllLines(path);
  const std::vector<size_t> keyLines = KeyLinesOf(lines, key);
  if (keyLines.empty() && addMissing) lines.insert(lines.end(), {key, value});
  for (size_t line : keyLines) {
    if (line + 1 < lines.size()) {
      lines[line + 1] = value;
    } else {
      lines.push_back(value);  // a key on the last line gets its value line
    }
  }
  ReplaceFileLines(path, lines);
}

int32_t CSystemTools::ParseDecimal(const std::string& text) { return ParseDigits(text, 10); }

int32_t CSystemTools::ParseHex(const std::string& text) { return ParseDigits(text, 16); }

std::string CSystemTools::ReadRegString(int readRoot, const std::string& valueName) const {
  RegRoot root;
  if (!ReadRootOf(readRoot, &root)) return "";
  if (m_strKeyPath.empty() && root != RegRoot::ClassesRoot) return kKeyNotFound;
  RegKey key(m_env->registry());
  if (key.Open(root, m_strKeyPath) != RegStatus::Ok) return "";
  RegValue value;
  if (key.registry().QueryValue(key.handle(), valueName, &value) != RegStatus::Ok) return "";
  return DecodeRegString(value);
}

void CSystemTools::WriteRegString(int writeRoot, const std::string& valueName,
                                  const std::string& data) const {
  RegRoot root;
  if (!WriteRootOf(writeRoot, &root) || root == RegRoot::ClassesRoot) return;
  RegKey key(m_env->registry());
  if (key.Create(root, m_strKeyPath) != RegStatus::Ok) return;
  // REG_SZ: the text up to its first zero byte, with the terminating zero.
  std::string bytes(data.c_str());
  bytes += '\0';
  key.registry().SetValue(key.handle(), valueName, kRegSz, bytes);
}

DeleteOutcome CSystemTools::DeleteRegValue(int writeRoot, const std::string& valueName) const {
  RegRoot root;
  if (!WriteRootOf(writeRoot, &root)) return DeleteOutcome::Failed;
  RegKey key(m_env->registry());
  const RegStatus opened = key.Open(root, m_strKeyPath, /*forWrite=*/true);
  if (opened == RegStatus::NotFound) return DeleteOutcome::KeyMissing;
  if (opened != RegStatus::Ok) return DeleteOutcome::Failed;
  const RegStatus deleted = key.registry().DeleteValue(key.handle(), valueName);
  return deleted == RegStatus::Ok || deleted == RegStatus::NotFound ? DeleteOutcome::Deleted
                                                                    : DeleteOutcome::Failed;
}

void CSystemTools::EnumKeyNames(RegKey& key) {
  m_arrSubKeyNames.clear();
  m_arrValueNames.clear();
  if (!key.IsOpen()) return;
  Registry& registry = key.registry();
  if (registry.ListSubKeys(key.handle(), &m_arrSubKeyNames) != RegStatus::Ok) {
    m_arrSubKeyNames.clear();
  }
  std::vector<RegValue> values;
  if (registry.ListValues(key.handle(), /*withData=*/false, &values) == RegStatus::Ok) {
    m_arrValueNames.reserve(values.size());
    for (RegValue& value : values) m_arrValueNames.push_back(std::move(value.name));
  }
}

std::string CSystemTools::ZeroPad(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<size_t>(width)) {
    text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  }
  return text;
}

std::string CSystemTools::GetTimestamp() const {
  const LocalTime now = m_env->Now();
  auto number = [](int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", n);
    return std::string(text);
  };
  return number(now.year) + ZeroPad(number(now.month), 2) + ZeroPad(number(now.day), 2) +
         ZeroPad(number(now.hour), 2) + ZeroPad(number(now.minute), 2);
}

int32_t CSystemTools::DayNumber(const std::string& year, const std::string& month,
                                const std::string& day) {
  const int32_t y = ParseDecimal(year);
  const int32_t m = ParseDecimal(month);
  const int32_t d = ParseDecimal(day);
  // Every year from 2000 to the one before `y`; each one divisible by 4
  // has 366 days. Counted in closed form: the year can be any 32-bit value.
  uint32_t total = 0;
  if (y > 2000) {
    const int64_t years = static_cast<int64_t>(y) - 2000;
    const int64_t leapYears = (static_cast<int64_t>(y) - 1) / 4 - 1999 / 4;
    total += static_cast<uint32_t>(static_cast<uint64_t>(years * 365 + leapYears));
  }
  for (int32_t i = 1; i < m && i <= 12; ++i) total += DaysInMonth(i, y);
  total += static_cast<uint32_t>(d);
  return static_cast<int32_t>(total);
}

int32_t CSystemTools::DayNumberToday() const {
  const std::string stamp = GetTimestamp();
  auto part = [&stamp](size_t pos, size_t count) {
    return pos < stamp.size() ? stamp.substr(pos, count) : std::string();
  };
  return DayNumber(part(0, 4), part(4, 2), part(6, 2));
}

bool CSystemTools::SectionExists(const std::string& path, const std::string& line) {
  TextFileReader reader(path);
  bool found = false;
  std::string current;
  while (reader.ReadLine(&current)) {
    if (current == line) found = true;
  }
  return found;
}

std::string CSystemTools::ShortenText(const std::string& text, int head) {
  if (text.size() < 55) return text;
  const size_t headLength = head > 0 ? static_cast<size_t>(head) : 0;
  std::string result = text.substr(0, headLength) + " ... ";
  const int64_t tail = 49 - static_cast<int64_t>(head);
  if (tail > 0) {
    const size_t tailLength = std::min(static_cast<size_t>(tail), text.size());
    result += text.substr(text.size() - tailLength);
  }
  return result;
}

bool CSystemTools::FileExists(const std::string& path) const {
  if (m_env->ProbePath(path) != PathState::Missing) return true;
  // 32-bit programs on 64-bit Windows name their system files below
  // System32, where the system shows them the 32-bit system folder.
  std::string wow64Dir;
  std::string rest;
  if (!m_env->SystemWow64Directory(&wow64Dir) ||
      !NameBelowFolder(path, GetWindowsDir() + "\\System32", &rest)) {
    return false;
  }
  return m_env->ProbePath(wow64Dir + "\\" + rest) != PathState::Missing;
}

std::string CSystemTools::GetWindowsDir() const {
  std::string dir;
  if (!m_env->WindowsDirectory(&dir) || dir.empty()) return "C:\\Windows";
  return dir;
}

}  // namespace kw
