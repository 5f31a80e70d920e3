// The program's own key walker (scan/KeyWalker) over every category, without
// a window: the same registry and file calls as a search pass, counted per
// kind, so that the pass's time can be split into the walk and the window.
#pragma once

#include <string>

namespace kw::bench {

struct CoreWalkResult {
  long keys = 0;      // keys entered
  long rows = 0;      // rows left after the pass is settled
  long opens = 0;     // OpenKey calls
  long listings = 0;  // ListValues, ListSubKeys and ListKey calls
  long queries = 0;   // QueryValue and IsAnsiExact calls
  long probes = 0;    // file probes
  double querySeconds = 0;
  double probeSeconds = 0;
  double seconds = 0;
  double cpuSeconds = 0;  // user and kernel time of this process during the walk
};

// Walks every category as a pass with all categories on would, and settles
// the pass as the window does.
CoreWalkResult RunCoreWalk();

}  // namespace kw::bench
