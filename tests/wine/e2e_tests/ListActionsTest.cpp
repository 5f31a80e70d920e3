// The results list's buttons on a real search: Remove From List and More
// Info, with several rows, after a removal, and with no row selected.
#include <windows.h>

#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SeededProgramTest.h"

namespace kw::test {
namespace {

const std::string kRunMruKeyLine =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU]";

class ListActionsTest : public SeededProgramTest {
 protected:
  // The More Info text of RunMRU value `id`.
  std::string Details(char id) const {
    return m_texts.Text(TXT_COLUMN_CATEGORY) + ":\t" + m_texts.Text(CategoryTextId(0)) + "\n\n" +
           m_texts.Text(TXT_COLUMN_NAME) + ":\t" + kRunMruKeyLine + "\n\n" +
           m_texts.Text(TXT_COLUMN_DATA) + ":\t" + RunMruValueLine(id);
  }

  // Clicks More Info and answers its boxes; their texts in order.
  std::vector<std::string> MoreInfoTexts() {
    PostCommand(m_main, IDC_MORE_INFO);
    std::vector<std::string> texts;
    for (const MessageBoxInfo& box : AnswerMessageBoxes(m_process, IDOK, kWindowTimeoutMs, 1500)) {
      EXPECT_EQ(box.caption, m_texts.Text(TXT_CAPTION));
      EXPECT_FALSE(MessageBoxHasIcon(box.window));
      texts.push_back(box.text);
    }
    return texts;
  }
};

TEST_F(ListActionsTest, RemovedRowsAreNeitherBackedUpNorDeleted) {
  SeedRunMru("abcde");
  StartWithOptions(kRunMruOnly);
  ASSERT_TRUE(Search(5));

  ASSERT_TRUE(SelectListRows(m_process, List(), {1, 3}));
  PostCommand(m_main, IDC_REMOVE);
  ASSERT_TRUE(WaitUntil([&] { return m_process.ListRowCount(List()) == 3; }, kWindowTimeoutMs));
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('c'), RunMruRow('e')}));
  EXPECT_TRUE(WaitUntil(
      [&] { return DialogItemText(m_main, IDC_STATUS) == TextWithNumber(TXT_STATUS_FOUND, 3); },
      kWindowTimeoutMs))
      << DialogItemText(m_main, IDC_STATUS);
  EXPECT_TRUE(NoMessageBox());

  std::string backup;
  ASSERT_TRUE(DeleteListed(&backup));
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextLines(backup, &lines));
  for (char id : std::string("abcde")) {
    SCOPED_TRACE(std::string("value ") + id);
    const bool removed = id == 'b' || id == 'd';
    const bool backedUp = std::find(lines.begin(), lines.end(), RunMruValueLine(id)) != lines.end();
    EXPECT_EQ(backedUp, !removed);
    std::string data;
    EXPECT_EQ(ReadUserString(kRunMruKey, std::string(1, id), &data), removed);
  }
}

TEST_F(ListActionsTest, MoreInfoShowsEverySelectedRowInRowOrder) {
  SeedRunMru("abcde");
  StartWithOptions(kRunMruOnly);
  ASSERT_TRUE(Search(5));

  ASSERT_TRUE(SelectListRows(m_process, List(), {4, 0, 2}));
  EXPECT_EQ(MoreInfoTexts(), (std::vector<std::string>{Details('a'), Details('c'), Details('e')}));

  // After a removal above them, rows show their own entries.
  ASSERT_TRUE(SelectListRows(m_process, List(), {1}));
  PostCommand(m_main, IDC_REMOVE);
  ASSERT_TRUE(WaitUntil([&] { return m_process.ListRowCount(List()) == 4; }, kWindowTimeoutMs));
  ASSERT_TRUE(SelectListRows(m_process, List(), {1, 3}));
  EXPECT_EQ(MoreInfoTexts(), (std::vector<std::string>{Details('c'), Details('e')}));
  EXPECT_EQ(m_process.ListRowCount(List()), 4) << "More Info changes nothing";
}

TEST_F(ListActionsTest, WithoutSelectionBothButtonsAskForOne) {
  SeedRunMru("ab");
  StartWithOptions(kRunMruOnly);
  ASSERT_TRUE(Search(2));
  ASSERT_TRUE(SelectListRows(m_process, List(), {}));

  for (int button : {IDC_REMOVE, IDC_MORE_INFO}) {
    SCOPED_TRACE(button == IDC_REMOVE ? "Remove From List" : "More Info");
    PostCommand(m_main, button);
    MessageBoxInfo box;
    ASSERT_TRUE(m_process.WaitForMessageBox(kWindowTimeoutMs, &box));
    EXPECT_EQ(box.caption, kMainCaption);
    EXPECT_EQ(box.text, m_texts.Text(TXT_NO_SELECTION));
    EXPECT_FALSE(MessageBoxHasIcon(box.window));
    KelpwiseProcess::PressButton(box.window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, kWindowTimeoutMs));
    EXPECT_TRUE(NoMessageBox()) << "one box per click";
    EXPECT_EQ(m_process.ListRowCount(List()), 2);
    EXPECT_EQ(DialogItemText(m_main, IDC_STATUS), TextWithNumber(TXT_STATUS_FOUND, 2));
  }
}

}  // namespace
}  // namespace kw::test
