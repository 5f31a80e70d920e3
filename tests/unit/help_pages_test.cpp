// The sources of help.chm: every link and contents entry names a page that
// exists, every page can be reached from the start page, and the project
// file compiles every file of the folder in.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

namespace fs = std::filesystem;

TEST(HelpPagesTest, EveryPageIsReachableFromTheStartPageAndNoLinkIsBroken) {
  const fs::path help = fs::path(KW_SOURCE_DIR) / "help";
  const auto relative = [&](const fs::path& path) {
    return path.lexically_normal().lexically_relative(help).generic_string();
  };
  std::set<std::string> files, reached = {"index.htm"}, listed;
  for (const auto& entry : fs::recursive_directory_iterator(help)) {
    if (entry.is_regular_file()) files.insert(relative(entry.path()));
  }
  // Links and contents entries without their anchors, from the start page on.
  const std::regex link(R"((?:href|src|name="Local" value)="([^"#]*)[^"]*")", std::regex::icase);
  std::vector<std::string> toVisit = {"Kelpwise.hhc", "index.htm"};
  while (!toVisit.empty()) {
    const std::string page = toVisit.back();
    toVisit.pop_back();
    const std::string text = ReadBytes((help / page).string());
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link);
         it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      if (target.empty()) continue;  // an anchor on the same page
      EXPECT_EQ(target.find(':'), std::string::npos) << page << " leaves the help: " << target;
      const std::string file = relative((help / page).parent_path() / target);
      EXPECT_TRUE(files.count(file)) << page << " has a broken link: " << target;
      if (reached.insert(file).second && fs::path(file).extension() == ".htm") {
        toVisit.push_back(file);
      }
    }
  }
  // chmcmd leaves out what the project's [FILES] does not list.
  std::istringstream lines(ReadBytes((help / "Kelpwise.hhp").string()));
  for (std::string line; std::getline(lines, line) && line.compare(0, 7, "[FILES]") != 0;) {
  }
  for (std::string line; std::getline(lines, line) && line.compare(0, 1, "[") != 0;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) listed.insert(line);
  }
  for (const std::string& file : files) {
    if (file == "Kelpwise.hhp" || file == "Kelpwise.hhc") continue;
    EXPECT_TRUE(reached.count(file)) << file << " cannot be reached from the start page";
    EXPECT_TRUE(listed.count(file)) << file << " is not in the project's [FILES]";
  }
  for (const std::string& file : listed) EXPECT_TRUE(files.count(file)) << file << " is missing";
}

}  // namespace
}  // namespace kw::test
