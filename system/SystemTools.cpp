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
  TextFileReader reader(ConfigPath());
  std::string result;
  std::string line;
  while (reader.ReadLine(&line)) {
    if (line != key) continue;
    // The line after a key line is its value, never a key line itself.
    if (!reader.ReadLine(&result)) result.clear();
  }
  return result;
}

void CSystemTools::WriteSetting(const std::string& key, const std::string& value) const {
  const std::string path = ConfigPath();
  std::vector<std::string> lines = ReadAllLines(path);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != key) continue;
    if (i + 1 < lines.size()) {
      lines[i + 1] = value;
    } else {
      lines.push_back(value);  // a key on the last line gets its value line
    }
    ++i;  // as when reading, a value line is not a key line
  }
  ReplaceFileLines(path, lines);
}

int32_t CSystemTools::ParseDecimal(const std::string& text) { return ParseDigits(text, 10); }

int32_t CSystemTools::ParseHex(const std::string& text) { return ParseDigits(text, 16); }

int32_t CSystemTools::IntPower(int32_t base, int32_t exponent) {
  // Square-and-multiply gives the same product modulo 2^32 as multiplying
  // `exponent` times, without the long loop for large exponents.
  uint32_t result = 1;
  uint32_t factor = static_cast<uint32_t>(base);
  for (int32_t e = exponent; e > 0; e >>= 1) {
    if (e & 1) result *= factor;
    factor *= factor;
  }
  return static_cast<int32_t>(result);
}

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
  return m_env->ProbePath(path) != PathState::Missing;
}

std::string CSystemTools::GetWindowsDir() const {
  std::string dir;
  if (!m_env->WindowsDirectory(&dir) || dir.empty()) return "C:\\Windows";
  return dir;
}

}  // namespace kw
