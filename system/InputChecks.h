// Checks on what config.ini or the user hands the program before it opens,
// starts or imports it. The program runs with administrator rights, so
// settings that another program, an older version or a mistake put there,
// and files picked by hand, are data: anything these refuse must not reach
// the shell, the registry editor or the file system.
#pragma once

#include <string>

namespace kw {

// True for an "http://" or "https://" address (the scheme in any case) with
// a host after the slashes and neither blanks nor control characters
// anywhere. Program paths, "file:" and "javascript:" addresses are refused.
bool IsWebAddress(const std::string& address);

// True when the file name at the end of `path` ends in ".reg", in any case.
bool IsRegistryFileName(const std::string& path);

// True when `name` names a file directly in a folder: not empty, no "\",
// "/", ":" or "..", no control characters, and no DOS device name before its
// first dot (Windows opens the serial port for "COM1.ini" in any folder).
bool IsPlainFileName(const std::string& name);

}  // namespace kw
