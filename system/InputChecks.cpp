#include "system/InputChecks.h"

#include <algorithm>
#include <cctype>

namespace kw {

namespace {

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; }

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool StartsWith(const std::string& text, const std::string& head) {
  return text.compare(0, head.size(), head) == 0;
}

bool IsDeviceName(const std::string& stem) {
  static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  const std::string lower = Lowered(stem);
  if (std::find(std::begin(kDevices), std::end(kDevices), lower) != std::end(kDevices)) return true;
  return lower.size() == 4 && (StartsWith(lower, "com") || StartsWith(lower, "lpt")) &&
         lower[3] >= '0' && lower[3] <= '9';
}

}  // namespace

bool IsWebAddress(const std::string& address) {
  if (std::any_of(address.begin(), address.end(), IsControlOrBlank)) return false;
  // The quote would end the address where the shell puts it in quotes.
  if (address.find('"') != std::string::npos) return false;
  const std::string lower = Lowered(address);
  size_t hostStart = 0;
  if (StartsWith(lower, "http://")) {
    hostStart = 7;
  } else if (StartsWith(lower, "https://")) {
    hostStart = 8;
  } else {
    return false;
  }
  return hostStart < address.size() &&
         std::string("/\\?#@:").find(address[hostStart]) == std::string::npos;
}

bool IsRegistryFileName(const std::string& path) {
  const size_t nameStart = path.find_last_of("\\/:") + 1;  // 0 without a folder
  return path.size() >= nameStart + 4 && Lowered(path.substr(path.size() - 4)) == ".reg";
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
  if (name.find("..") != std::string::npos) return false;
  const auto isControl = [](char c) { return IsControlOrBlank(c) && c != ' '; };
  if (std::any_of(name.begin(), name.end(), isControl)) return false;
  // Windows takes "CON.txt" or "com1 .ini" for the device; blanks before the dot do not count.
  std::string stem = name.substr(0, name.find('.'));
  stem.erase(stem.find_last_not_of(' ') + 1);
  return !IsDeviceName(stem);
}

}  // namespace kw
