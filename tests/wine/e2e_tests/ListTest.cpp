// The results list after a real search: Remove From List and More Info on
// the selected rows, the deletion that follows, Reverse Changes through the
// file dialog, and a second backup within the same minute.
#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

class ListTest : public KelpwiseTest {
 protected:
  // The More Info text of RunMRU value `id`.
  std::string Details(char id) const {
    return m_texts(TXT_COLUMN_CATEGORY) + ":\t" + m_texts(CategoryTextId(0)) + "\n\n" +
           m_texts(TXT_COLUMN_NAME) + ":\t[HKEY_CURRENT_USER\\" + kRunMruKey + "]\n\n" +
           m_texts(TXT_COLUMN_DATA) + ":\t" + HistoryLine(id);
  }

  // Selects `rows`, clicks More Info and answers its boxes; their texts.
  std::vector<std::string> MoreInfo(const std::vector<int>& rows) {
    EXPECT_TRUE(m_process.Select(List(), rows));
    Click(m_main, IDC_MORE_INFO);
    std::vector<std::string> texts;
    for (const Box& box : m_process.AnswerAll(IDOK)) {
      EXPECT_EQ(box.caption, m_texts(TXT_CAPTION));
      texts.push_back(box.text);
    }
    return texts;
  }
};

TEST_F(ListTest, ButtonsActOnTheSelectedRowsAndRemovedRowsAreNeitherBackedUpNorDeleted) {
  SeedHistory(kRunMruKey, "abcde");
  ASSERT_NO_FATAL_FAILURE(Start("10000000000000"));
  ASSERT_TRUE(Search());

  ASSERT_TRUE(m_process.Select(List(), {}));
  for (int button : {IDC_REMOVE, IDC_MORE_INFO}) {
    SCOPED_TRACE(button == IDC_REMOVE ? "Remove From List" : "More Info");
    Click(m_main, button);
    Box box;
    ASSERT_TRUE(m_process.Answer(IDOK, &box));
    EXPECT_EQ(box.caption, kMainCaption);
    EXPECT_EQ(box.text, m_texts(TXT_NO_SELECTION));
    EXPECT_TRUE(m_process.NoBox()) << "one box per click";
  }
  EXPECT_EQ(Rows().size(), 5u);
  EXPECT_EQ(MoreInfo({4, 0, 2}),
            (std::vector<std::string>{Details('a'), Details('c'), Details('e')}));

  ASSERT_TRUE(m_process.Select(List(), {1, 3}));
  Click(m_main, IDC_REMOVE);
  EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_FOUND, 3); }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{RunMruRow('a'), RunMruRow('c'), RunMruRow('e')}));
  // Rows below a removal show their own entries.
  EXPECT_EQ(MoreInfo({1, 2}), (std::vector<std::string>{Details('c'), Details('e')}));

  ASSERT_TRUE(Delete());
  const std::vector<std::string> files = Backups();
  ASSERT_EQ(files.size(), 1u);
  std::string backup;
  ASSERT_TRUE(ReadFile(File("backup\\" + files[0]), &backup));
  for (char id : std::string("abcde")) {
    SCOPED_TRACE(std::string("value ") + id);
    const bool removed = id == 'b' || id == 'd';
    EXPECT_EQ(backup.find(HistoryLine(id)) == std::string::npos, removed);
    StoredValue value;
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kRunMruKey, std::string(1, id), &value), removed);
  }
}

TEST_F(ListTest, ReverseChangesRestoresTheChosenBackupAndTheNextBackupGetsANumber) {
  // Start early in a minute, so that both backups normally share it.
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wSecond >= 40) Sleep((61 - now.wSecond) * 1000);
  SeedHistory(kRunMruKey, "abc");
  ASSERT_NO_FATAL_FAILURE(Start("10000000000000"));
  ASSERT_TRUE(Search());
  ASSERT_TRUE(Delete());
  const std::vector<std::string> first = Backups();
  ASSERT_EQ(first.size(), 1u);
  StoredValue value;
  ASSERT_FALSE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, "a", &value));

  // No program opens .reg files in the prefix: the registry editor does.
  Click(m_main, IDM_FILE_REVERSE_CHANGES);
  // The file-name field: cmb13 in the newer layout, edt1 in the older.
  HWND chooser = m_process.WaitForWindow(
      [](HWND window) { return GetDlgItem(window, 1148) || GetDlgItem(window, 1152); });
  ASSERT_NE(chooser, nullptr) << "no file dialog";
  const int field = GetDlgItem(chooser, 1148) ? 1148 : 1152;
  SetText(chooser, field, File("backup\\" + first[0]));
  ASSERT_EQ(Text(chooser, field), File("backup\\" + first[0]));
  Click(chooser, IDOK);
  EXPECT_TRUE(WaitUntil([&] {
    for (char id : std::string("abc")) {
      if (!ReadValue(HKEY_CURRENT_USER, kRunMruKey, std::string(1, id), &value) ||
          !(value == StringValue(HistoryData(id)))) {
        return false;
      }
    }
    return true;
  })) << "the backup was not imported";
  EXPECT_TRUE(m_process.NoBox());

  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "a", StringValue("second")));
  ASSERT_TRUE(Search());
  ASSERT_TRUE(Delete());
  GetLocalTime(&now);
  const std::string stamp = first[0].substr(9, 12);
  const std::vector<std::string> names =
      Timestamp(now) == stamp
          ? std::vector<std::string>{"backup - " + stamp + " (2).reg", first[0]}
          : std::vector<std::string>{first[0], "backup - " + Timestamp(now) + ".reg"};
  ASSERT_EQ(Backups(), names);
  std::string firstText, secondText;
  ASSERT_TRUE(ReadFile(File("backup\\" + first[0]), &firstText));
  ASSERT_TRUE(ReadFile(File("backup\\" + names[Timestamp(now) == stamp ? 0 : 1]), &secondText));
  EXPECT_NE(firstText.find(HistoryLine('a')), std::string::npos) << "the first backup was replaced";
  EXPECT_NE(secondText.find("\"a\"=\"second\""), std::string::npos) << secondText;
}

}  // namespace
}  // namespace kw::test
