// The ignore list and the loop guard that adds to it.
#include <gtest/gtest.h>

#include <optional>

#include "cleaning/IgnoreList.h"
#include "cleaning/LoopGuard.h"
#include "system/FileError.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

TEST(CleaningIgnoreListTest, AppendKeepsTheHeaderAndEveryLine) {
  const struct {
    std::string before;
    const char* entry;
    std::string after;
    std::vector<std::string> loaded;
  } rows[] = {
      {"; header\r\n;\xE4\r\n\r\nOld\r\n", "CLSID\\{id}", "; header\r\n;\xE4\r\n\r\nOld\r\nCLSID\\{id}\r\n",
       {"Old", "CLSID\\{id}"}},
      // An empty line is no entry.
      {"h1\r\nh2\r\nh3\r\nA\r\n\r\nB", "\\exefile", "h1\r\nh2\r\nh3\r\nA\r\n\r\nB\r\n\\exefile\r\n",
       {"A", "B", "\\exefile"}},
      // Fewer than three lines: padded so that the entry counts; a header
      // line equal to the entry is no entry.
      {"K\r\n", "K", "K\r\n\r\n\r\nK\r\n", {"K"}},
      // Entries that would not read back as themselves, and duplicates,
      // leave the file as it is.
      {"h1\r\nh2\r\nh3\r\nA\r\n", "a\nb", "h1\r\nh2\r\nh3\r\nA\r\n", {"A"}},
      {"h1\r\nh2\r\nh3\r\nA\r\nB", "A", "h1\r\nh2\r\nh3\r\nA\r\nB", {"A", "B"}},
  };
  TempDir dir;
  const std::string path = dir.path() + "\\blacklist.ini";
  EXPECT_THROW(LoadIgnoreList(path), FileError);
  EXPECT_THROW(AppendIgnoreEntry(path, "A"), FileError);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before);
    dir.WriteFile("blacklist.ini", row.before);
    AppendIgnoreEntry(path, row.entry);
    EXPECT_EQ(dir.ReadFile("blacklist.ini"), row.after);
    EXPECT_EQ(LoadIgnoreList(path), row.loaded);
  }
}

// Eight times "\\name".
std::string Chain(const std::string& name) {
  std::string path;
  for (int i = 0; i < kLoopLength; ++i) path += "\\" + name;
  return path;
}

// The entry is the key in front of the chain ("" when no key can be written).
TEST(CleaningLoopGuardTest, FiresOnEightEqualTrailingComponents) {
  const std::string mru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
  const struct {
    std::string path;
    std::optional<std::string> entry;
    std::string walkStart = "";
  } rows[] = {
      {"CLSID\\{id}" + Chain("Sub"), "CLSID\\{id}"},
      {"CLSID\\{id}\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // seven
      {"A\\X\\X" + Chain("X"), "A"},                                      // more than eight
      // Nothing in front of the chain: its first key.
      {"X\\X\\X\\X\\X\\X\\X\\X", "X"},
      // The name occurs earlier, inside or as other components.
      {"CLSID\\SubKey" + Chain("Sub"), "CLSID\\SubKey"},
      {mru + Chain("o"), mru},
      {"Software\\Microsoft\\Windows" + Chain("Windows"), "Software\\Microsoft"},
      // A name with a line break: the nearest key above it, or nothing.
      {"K\\l\rm\\n" + Chain("X"), "K"},
      {"\\a\nb" + Chain("X"), ""},
      {"A\\B\\\\\\\\\\\\\\\\\\", std::nullopt},  // empty last components
      {"K\\Sub\\sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // case differs
      {"K" + Chain("SUB"), "K"},
      // A chain that begins at the walk's start key or above: an entry above
      // the start key would not be looked up, the child on the way is.
      {"S\\Help" + Chain("Help"), "S\\Help\\Help", "S\\Help"},
      {"S\\T" + Chain("Help"), "S\\T", "S"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(LoopGuardEntry(row.path, row.walkStart), row.entry);
  }
}

}  // namespace
}  // namespace kw::test
