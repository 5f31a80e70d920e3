// How the test driver and the menu probe hook talk to each other.
//
// Menus cannot be read from another process under Wine (GetMenuItemCount and
// GetMenuStringA fail on a foreign menu handle), so the driver hooks the
// target window's thread with MenuProbeHook from e2e_tests_hook.dll and sends
// the window kMenuProbeMessage. The hook runs inside the target, walks the
// window's menu bar and writes one record per item into the named shared
// memory kMenuProbeMappingPrefix + <target process id>, which the driver
// created beforehand.
#pragma once

namespace kw::test {

constexpr char kMenuProbeMessage[] = "KelpwiseE2eMenuProbe";
constexpr char kMenuProbeMappingPrefix[] = "KelpwiseE2eMenuProbe.";
constexpr char kMenuProbeHookName[] = "MenuProbeHook";
constexpr char kMenuProbeDllName[] = "e2e_tests_hook.dll";
constexpr unsigned kMenuProbeMappingSize = 64 * 1024;

// A record is: position, id, kind and text, each ended by kFieldEnd, and the
// record ended by kRecordEnd. Position is the index path of the item, such as
// "0" for the first drop-down menu or "0.2" for its third item. Kind is 'p'
// for a drop-down menu, 's' for a separator and 'i' for a command item.
// The whole text ends with a zero byte.
constexpr char kFieldEnd = '\x1f';
constexpr char kRecordEnd = '\x1e';

}  // namespace kw::test
