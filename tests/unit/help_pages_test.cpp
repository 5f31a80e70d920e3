// The sources of help.chm: every link and contents entry names a page that
// exists, every page can be reached from the start page, and the project
// file compiles every file of the folder in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kw::test {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpDir = fs::path(KW_SOURCE_DIR) / "help";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Paths relative to the help folder ("en/index.htm").
std::string Relative(const fs::path& path) {
  return path.lexically_normal().lexically_relative(kHelpDir).generic_string();
}

// The pages a page links to (or a contents file lists), without anchors.
// Checks on the way that each target exists.
std::vector<std::string> Targets(const std::string& page) {
  static const std::regex link(R"((?:href|src|name="Local" value)="([^"#]*)[^"]*")",
                               std::regex::icase);
  const std::string text = ReadText(kHelpDir / page);
  std::vector<std::string> targets;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), link);
       it != std::sregex_iterator(); ++it) {
    const std::string target = (*it)[1];
    EXPECT_EQ(target.find(':'), std::string::npos) << page << " leaves the help: " << target;
    if (target.empty()) continue;  // an anchor on the same page
    const fs::path resolved = (kHelpDir / page).parent_path() / target;
    EXPECT_TRUE(fs::is_regular_file(resolved)) << page << " has a broken link: " << target;
    targets.push_back(Relative(resolved));
  }
  return targets;
}

TEST(HelpPagesTest, EveryPageIsReachableFromTheStartPageAndNoLinkIsBroken) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(kHelpDir)) {
    if (entry.is_regular_file()) files.insert(Relative(entry.path()));
  }
  ASSERT_TRUE(files.count("index.htm")) << "no start page";

  std::set<std::string> reached = {"index.htm"};
  std::vector<std::string> toVisit = {"index.htm"};
  while (!toVisit.empty()) {
    const std::string page = toVisit.back();
    toVisit.pop_back();
    for (const std::string& target : Targets(page)) {
      if (reached.insert(target).second && fs::path(target).extension() == ".htm") {
        toVisit.push_back(target);
      }
    }
  }
  Targets("Kelpwise.hhc");

  // The project file lists every file the pages need; chmcmd leaves out
  // what it does not list.
  const std::string project = ReadText(kHelpDir / "Kelpwise.hhp");
  ASSERT_NE(project.find("[FILES]"), std::string::npos);
  std::set<std::string> listed;
  std::istringstream lines(project.substr(project.find("[FILES]")));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '[') listed.insert(line);
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
