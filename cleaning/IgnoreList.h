// blacklist.ini: three header lines, then one root-relative key path per
// line below which the search does not descend. Empty lines are no entries.
#pragma once

#include <string>
#include <vector>

namespace kw {

constexpr int kIgnoreListHeaderLines = 3;

// The entries of the file, in file order. Throws FileError when the file
// cannot be read.
std::vector<std::string> LoadIgnoreList(const std::string& blacklistPath);

// Appends `entry` to the file, keeping the lines there are. A file with
// fewer than three lines is first padded with empty header lines, so that
// the entry is read as one. The file is replaced whole, never left cut
// short. An entry that would not read back as itself (empty, or holding a
// line break) or that the file already holds is not written: the file stays
// as it is. Throws FileError.
void AppendIgnoreEntry(const std::string& blacklistPath, const std::string& entry);

}  // namespace kw
