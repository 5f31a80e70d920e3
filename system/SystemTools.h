// CSystemTools: program directory, config.ini, numbers, dates and the
// registry value operations that the rest of the program shares.
// Instances share no state; each reads config.ini afresh on every call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/Environment.h"
#include "system/Registry.h"

namespace kw {

// Root selectors. Reading and writing number the roots differently.
enum ReadRoot { kReadCurrentUser = 1, kReadLocalMachine = 2, kReadClassesRoot = 4 };
enum WriteRoot { kWriteLocalMachine = 0, kWriteCurrentUser = 1, kWriteClassesRoot = 2 };

extern const char kNoRegSz[];      // "No REG_SZ"
extern const char kKeyNotFound[];  // "Registry key was not found :-( "

enum class DeleteOutcome {
  Deleted,     // the value was deleted, or was not there
  KeyMissing,  // the key does not exist: nothing to delete
  Failed       // the key could not be opened for writing, or the deletion was refused
};

// The text ReadRegString makes of raw value data: the REG_SZ text up to its
// first zero byte, "No REG_SZ" for other types, empty for no data.
std::string DecodeRegString(const RegValue& value);

class CSystemTools {
 public:
  explicit CSystemTools(Environment& env = CurrentEnvironment());

  std::string m_strKeyPath;
  std::vector<std::string> m_arrValueNames;
  std::vector<std::string> m_arrSubKeyNames;

  // Folder of the executable, without trailing backslash.
  std::string GetProgramDir() const;

  // config.ini: pairs of a key line and the value line after it. Writing
  // replaces the value lines of the key; a key the file lacks is appended
  // with its value when `addMissing`, else nothing is written for it.
  std::string ReadSetting(const std::string& key) const;
  void WriteSetting(const std::string& key, const std::string& value,
                    bool addMissing = false) const;

  static int32_t ParseDecimal(const std::string& text);
  static int32_t ParseHex(const std::string& text);

  // Registry values below m_strKeyPath.
  std::string ReadRegString(int readRoot, const std::string& valueName) const;
  void WriteRegString(int writeRoot, const std::string& valueName, const std::string& data) const;
  DeleteOutcome DeleteRegValue(int writeRoot, const std::string& valueName) const;

  // Fills m_arrSubKeyNames and m_arrValueNames from an open key.
  void EnumKeyNames(RegKey& key);

  static std::string ZeroPad(std::string text, int width);
  std::string GetTimestamp() const;
  static int32_t DayNumber(const std::string& year, const std::string& month,
                           const std::string& day);
  // DayNumber of the date that GetTimestamp gives: the day count of today.
  int32_t DayNumberToday() const;

  static bool SectionExists(const std::string& path, const std::string& line);
  static std::string ShortenText(const std::string& text, int head);

  // False only when the system says the path does not exist; on 64-bit
  // Windows a path below System32 must be missing in SysWOW64 too.
  bool FileExists(const std::string& path) const;
  std::string GetWindowsDir() const;

  Environment& environment() const { return *m_env; }

 private:
  std::string ConfigPath() const;

  Environment* m_env;
};

}  // namespace kw
