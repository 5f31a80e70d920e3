// What closing the main window saves: the automatic start (the Run value of
// the companion starter and its due day in config.ini), the options string,
// and the removal of the Toolcrate's "active" flag.
#pragma once

#include <string>

#include "system/SystemTools.h"

namespace kw {

// Throws FileError when config.ini cannot be read or rewritten; the steps
// after the failing one are then not run.
void SaveSettingsOnClose(CSystemTools& tools, const std::string& options, bool autoStart,
                         const std::string& days);

}  // namespace kw
