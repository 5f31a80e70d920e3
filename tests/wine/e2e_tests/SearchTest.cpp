// A whole search pass as the user runs it: on the seeded demo registry the
// list must hold exactly the rows of fixtures/expected-demo.tsv, and on the
// prefix's own registry every listed file must really be missing.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SearchTestBase.h"

namespace kw::test {
namespace {

// expected-demo.tsv: one row per line, three tab-separated cells.
::testing::AssertionResult ReadExpectedRows(std::vector<ListedRow>* rows) {
  std::string path = SourceFile("fixtures/expected-demo.tsv"), text;
  if (!ReadFileBytes(path, &text)) return ::testing::AssertionFailure() << "cannot read " << path;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    size_t first = line.find('\t'), second = line.find('\t', first + 1);
    if (second == std::string::npos) {
      return ::testing::AssertionFailure() << path << ": not three cells: " << line;
    }
    rows->push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                     line.substr(second + 1)});
  }
  return ::testing::AssertionSuccess();
}

bool LooksLikePath(const std::string& text) {
  return text.size() > 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' &&
         text[2] == '\\';
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

using SearchTest = SearchTestBase;

TEST_F(SearchTest, SeededDemoListsExactlyTheExpectedRowsInOrder) {
  std::vector<ListedRow> expected;
  ASSERT_TRUE(ReadExpectedRows(&expected));
  ASSERT_TRUE(m_folder.SetSetting("Options", kAllCategories));
  ASSERT_TRUE(m_demo.Seed());
  HWND main = StartMainWindow();
  ASSERT_NE(main, nullptr);

  ASSERT_TRUE(Search(main));
  std::vector<ListedRow> rows = Rows(main);
  EXPECT_EQ(rows, expected) << "listed:" << RowsText(rows) << "\nexpected:" << RowsText(expected);
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS),
            TextWithNumber(TXT_STATUS_FOUND, static_cast<int>(expected.size())));
  EXPECT_EQ(ControlTextNow(main, IDC_START_SEARCH), m_texts.Text(TXT_BUTTON_DELETE));
  EXPECT_EQ(ControlTextNow(main, IDC_CHECKING), "");
  for (int button : {IDC_REMOVE, IDC_OPTIONS, IDC_MORE_INFO}) {
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, button))) << "button " << button;
  }
}

// The demo names files on drive Q:, which the prefix does not have; such
// references are unknown, not missing, and must never be offered for
// deletion.
TEST_F(SearchTest, ReferencesOnAnAbsentDriveAreNotListed) {
  ASSERT_EQ(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES) << "the prefix has a drive Q:";
  ASSERT_TRUE(m_folder.SetSetting("Options", kAllCategories));
  ASSERT_TRUE(m_demo.Seed());
  int driveQValues = 0;
  for (const RegFileValue& value : m_demo.contents().values) {
    if (Lower(value.name + value.value.data).find("q:\\") != std::string::npos) ++driveQValues;
  }
  ASSERT_GE(driveQValues, 4) << "the demo lost its references on drive Q:";

  HWND main = StartMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(Search(main));
  std::vector<ListedRow> rows = Rows(main);
  ASSERT_FALSE(rows.empty());
  for (const ListedRow& row : rows) {
    EXPECT_EQ(Lower(row.name + " " + row.data).find("q:\\"), std::string::npos)
        << row.category << " | " << row.name << " | " << row.data;
  }
}

// The prefix's own registry, without the demo: whatever the search lists as
// missing must really be missing.
TEST_F(SearchTest, PrefixRegistryListsOnlyFilesThatDoNotExist) {
  ASSERT_TRUE(m_folder.SetSetting("Options", kAllCategories));
  HWND main = StartMainWindow();
  ASSERT_NE(main, nullptr);

  ASSERT_TRUE(Search(main));
  std::vector<ListedRow> rows = Rows(main);
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS),
            TextWithNumber(TXT_STATUS_FOUND, static_cast<int>(rows.size())));
  std::printf("[          ] the prefix's own registry lists %d entries:%s\n",
              static_cast<int>(rows.size()), RowsText(rows).c_str());
  for (const ListedRow& row : rows) {
    SCOPED_TRACE(row.category + " | " + row.name + " | " + row.data);
    if (!LooksLikePath(row.data)) continue;
    EXPECT_EQ(GetFileAttributesA(row.data.c_str()), INVALID_FILE_ATTRIBUTES) << "the file exists";
  }
}

}  // namespace
}  // namespace kw::test
