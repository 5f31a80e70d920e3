// Opening a web address without the program's administrator rights.
#pragma once

#include <string>

namespace kw {

// Asks the desktop's shell (Explorer, which runs with the rights of the user
// who logged on) to open `address`, so that the browser does not inherit
// this process's elevation. False when any step fails, for one when there is
// no shell desktop; nothing is started then.
bool OpenUnelevated(const std::string& address);

}  // namespace kw
