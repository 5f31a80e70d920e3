#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/IgnoreList.h"
#include "system/FileError.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/unit/cleaning_file_limit.h"

namespace kw::test {
namespace {

using Lines = std::vector<std::string>;

class CleaningIgnoreListTest : public ::testing::Test {
 protected:
  std::string Path() const { return m_dir.path() + "\\blacklist.ini"; }
  TempDir m_dir;
};

TEST_F(CleaningIgnoreListTest, LoadSkipsThreeHeaderLines) {
  struct Row {
    std::string bytes;
    Lines entries;
  };
  const Row rows[] = {
      {"", {}},
      {"h1\r\nh2\r\n", {}},
      {"h1\r\nh2\r\nh3", {}},
      {"h1\r\nh2\r\nh3\r\n", {}},
      {"h1\r\nh2\r\nh3\r\n\r\n", {""}},
      {"h1\r\nh2\r\nh3\r\nCLSID\\{id}\r\n\\exefile\r\n", {"CLSID\\{id}", "\\exefile"}},
      {"h1\r\nh2\r\nh3\r\nA\r\n\r\nB", {"A", "", "B"}},
      {"\r\n\r\n\r\n Spaced \r\n", {" Spaced "}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    m_dir.WriteFile("blacklist.ini", row.bytes);
    EXPECT_EQ(LoadIgnoreList(Path()), row.entries);
  }
}

TEST_F(CleaningIgnoreListTest, MissingFileIsAFileError) {
  EXPECT_THROW(LoadIgnoreList(Path()), FileError);
  EXPECT_THROW(AppendIgnoreEntry(Path(), "A"), FileError);
  EXPECT_FALSE(m_dir.Exists("blacklist.ini"));
}

TEST_F(CleaningIgnoreListTest, AppendKeepsEveryLineAndAddsTheEntry) {
  m_dir.WriteFile("blacklist.ini", "; header\r\n;\xE4\r\n\r\nOld\r\n");
  AppendIgnoreEntry(Path(), "CLSID\\{id}");
  AppendIgnoreEntry(Path(), "");
  EXPECT_EQ(m_dir.ReadFile("blacklist.ini"), "; header\r\n;\xE4\r\n\r\nOld\r\nCLSID\\{id}\r\n\r\n");
  EXPECT_EQ(LoadIgnoreList(Path()), (Lines{"Old", "CLSID\\{id}", ""}));
}

TEST_F(CleaningIgnoreListTest, ShortFileIsPaddedSoTheEntryCounts) {
  m_dir.WriteFile("blacklist.ini", "only header\r\n");
  AppendIgnoreEntry(Path(), "K");
  EXPECT_EQ(m_dir.ReadFile("blacklist.ini"), "only header\r\n\r\n\r\nK\r\n");
  EXPECT_EQ(LoadIgnoreList(Path()), Lines{"K"});
}

#ifdef __linux__
TEST_F(CleaningIgnoreListTest, FailedRewriteKeepsTheOldFile) {
  const std::string old = "h1\r\nh2\r\nh3\r\nA\r\n";
  m_dir.WriteFile("blacklist.ini", old);
  {
    FileSizeLimit limit(old.size());
    EXPECT_THROW(AppendIgnoreEntry(Path(), std::string(4096, 'B')), FileError);
  }
  EXPECT_EQ(m_dir.ReadFile("blacklist.ini"), old);
}
#endif

}  // namespace
}  // namespace kw::test
