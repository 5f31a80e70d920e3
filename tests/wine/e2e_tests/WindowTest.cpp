// The main window as the user drives it, from another process.
#include <memory>

#include "tests/wine/e2e_tests/KelpwiseTest.h"

namespace kw::test {
namespace {

// On the demo registry: the list; a deletion that waits for another
// clean-up, after another program changed a listed value, which stays and
// is not backed up; the backup restored by
// regedit. Then a chain of equal key names is reported, ignored from now on,
// and ends the run.
TEST_F(KelpwiseTest, DemoSearchAndDeletionThenAKeyLoopEndsTheRun) {
  const std::string demo = ReadFile(SourceFile("fixtures\\demo.reg"));
  std::string expectedBackup = ReadFile(SourceFile("fixtures\\expected-demo-backup.reg"));
  ASSERT_TRUE(SeedDemo());
  const std::string blacklist = ReadFile(File("blacklist.ini"));
  ASSERT_TRUE(Start("11111111111101"));
  ASSERT_TRUE(Search());
  const Lines rows = Rows();
  EXPECT_EQ(rows, Split(ReadFile(SourceFile("fixtures\\expected-demo.tsv"))));

  const std::string changed =
      std::string("[HKEY_CURRENT_USER\\") + kRunMruKey +
      "]\r\n\"a\"=\"notepad C:\\\\Kelpwise Demo\\\\Gone\\\\notes.txt\\\\1\"\r\n\r\n";
  ASSERT_NE(expectedBackup.find(changed), std::string::npos);
  expectedBackup.erase(expectedBackup.find(changed), changed.size());
  const Value newer = Sz("notepad C:\\Kelpwise Demo\\new.txt\\1");
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "a", newer));
  // Another clean-up holds the machine's lock: the window waits, and says so.
  const auto release = [](HANDLE lock) { ReleaseMutex(lock) && CloseHandle(lock); };
  std::unique_ptr<void, decltype(release)> other(
      CreateMutexA(nullptr, TRUE, "Global\\TarnwellKelpwiseCleanUp"), release);
  Click(m_main, IDC_START_SEARCH);
  EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_WAITING); }));
  other.reset();
  EXPECT_EQ(Answer(IDOK, kSearchMs), m_texts(TXT_DELETED_1, static_cast<int>(rows.size()) - 1) +
                                         "\n\n" + m_texts(TXT_NOT_DELETED, 1) + "\n\n" +
                                         m_texts(TXT_DELETED_2));
  EXPECT_EQ(Rows(), Lines());
  const Lines files = Backups();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(ReadFile(File("backup\\" + files[0])), expectedBackup);
  // Exactly the backed-up values are gone: the demo's and the prefix's own.
  EXPECT_EQ(Values(demo + expectedBackup, true), Values(expectedBackup));
  ASSERT_TRUE(Regedit(File("backup\\" + files[0])));
  EXPECT_EQ(Values(demo + expectedBackup, true), Lines());
  Value now;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kRunMruKey, "a", &now) && now == newer);

  ASSERT_TRUE(MakeKeyLoop(kLoopKey));
  Click(m_main, IDC_START_SEARCH);
  EXPECT_EQ(Answer(IDOK, kSearchMs), m_texts(TXT_LOOP_1) + "\n\n" + kLoopKey + "\n\n" +
                                         m_texts(TXT_LOOP_2) + "\n\n" + m_texts(TXT_LOOP_3));
  ASSERT_TRUE(Ended()) << "the run goes on after the message";
  EXPECT_EQ(ReadFile(File("blacklist.ini")), blacklist + kLoopKey + "\r\n");
}

// A search through thousands of keys: the window answers meanwhile, but a
// click on Start Search and posted commands act neither during the search
// nor after it; closing during the next search ends the run.
TEST_F(KelpwiseTest, ClicksAndCommandsDuringASearchDoNothing) {
  const auto drop = [](const char* key) { SHDeleteKeyA(HKEY_CLASSES_ROOT, key); };
  std::unique_ptr<const char, decltype(drop)> busy("Kelpwise E2E Busy", drop);
  for (int i = 0; i < 8000; ++i)
    ASSERT_TRUE(
        WriteValue(HKEY_CLASSES_ROOT, busy.get() + ("\\" + std::to_string(i)), "", Sz("-")));
  ASSERT_TRUE(SeedHistory(kRunMruKey, "abcde"));
  ASSERT_TRUE(Start("10000010000001"));
  const auto searching = [&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_SEARCHING); };
  Click(m_main, IDC_START_SEARCH);
  ASSERT_TRUE(WaitUntil(searching));
  HWND start = GetDlgItem(m_main, IDC_START_SEARCH);
  PostMessageA(start, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageA(start, WM_LBUTTONUP, 0, 0);
  for (int command : {IDC_START_SEARCH, IDM_FILE_NEW_SEARCH, IDM_FILE_OPTIONS})
    PostMessageA(m_main, WM_COMMAND, command, 0);
  ASSERT_TRUE(Search(false));
  EXPECT_EQ(Rows().size(), 5u);
  EXPECT_EQ(driver::FindDialog(m_run.dwProcessId, [&](HWND w) { return w != m_main; }), nullptr);
  EXPECT_EQ(Backups(), Lines());

  PostMessageA(m_main, WM_COMMAND, IDM_FILE_NEW_SEARCH, 0);
  ASSERT_TRUE(WaitUntil(searching));
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(Backups(), Lines());
}

// Seven history rows listed: the Run box's a to e, then two of the search
// assistant.
class ListedHistoryTest : public KelpwiseTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KelpwiseTest::SetUp());
    ASSERT_TRUE(SeedHistory(kRunMruKey, "abcde"));
    ASSERT_TRUE(SeedHistory("Software\\Microsoft\\Search Assistant\\ACMru\\5603", "ab"));
    ASSERT_TRUE(Start("11000000000001"));
    ASSERT_TRUE(Search());
    m_listed = Rows();
    ASSERT_EQ(m_listed.size(), 7u);
  }
  Lines m_listed;
};

// A language chosen is saved and speaks at once; the list is cleared.
TEST_F(ListedHistoryTest, LanguageSelectionSwitchesTheTextsAndClearsTheList) {
  const Texts german(File(Setting("Product ID") + "trl.ini"), "[1031]");
  Click(m_main, IDM_FILE_LANGUAGE);
  HWND dialog = Find([](HWND window) { return GetDlgItem(window, IDC_LANGUAGE_COMBO); });
  ASSERT_NE(dialog, nullptr) << "no Language Selection";
  SetText(dialog, IDC_LANGUAGE_COMBO, german(2));
  ASSERT_TRUE(Close(dialog, IDOK));
  driver::Send(m_main, WM_NULL);  // returns once the window has handled the choice
  EXPECT_EQ(Setting("Language"), "[1031]");
  EXPECT_EQ(Text(m_main, IDC_START_SEARCH), german(TXT_BUTTON_START_SEARCH));
  EXPECT_EQ(Rows(), Lines());
}

// Which changes of the options bring up the question to search again, and
// what stays listed; the steps go in order, each sets the days to 12 (a
// change only in the first OK), and a new pass follows only the last.
// Typing takes at most four digits.
TEST_F(ListedHistoryTest, OptionsAskToSearchAgainOnlyWhenTheKindsOrTheirLookChange) {
  const struct {
    const char* name;
    int toggled, closeWith, answer;  // a check box or 0; 0: no question may come
  } kSteps[] = {
      {"category change cancelled", IDC_CHECK_SEARCH_ASSISTANT, IDCANCEL, 0},
      {"days only", 0, IDOK, 0},
      {"category change answered No", IDC_CHECK_SEARCH_ASSISTANT, IDOK, IDNO},
      {"break-down change answered No", IDC_CHECK_BREAK_DOWN, IDOK, IDNO},
      {"category change answered Yes", IDC_CHECK_PAINT, IDOK, IDYES},
  };
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.name);
    Click(m_main, IDC_OPTIONS);
    HWND dialog = Find([](HWND window) { return GetDlgItem(window, IDC_CHECK_RUNMRU); });
    ASSERT_NE(dialog, nullptr) << "no Options dialog";
    HWND days = GetDlgItem(dialog, IDC_DAYS);
    EXPECT_TRUE(GetWindowLongA(days, GWL_STYLE) & ES_NUMBER) << "the days field takes letters";
    EXPECT_EQ(driver::Send(days, EM_GETLIMITTEXT), 4) << "the days field's limit";
    SetText(dialog, IDC_DAYS, "12");
    HWND box = step.toggled ? GetDlgItem(dialog, step.toggled) : nullptr;
    if (box) driver::Send(box, BM_SETCHECK, !driver::Send(box, BM_GETCHECK));
    ASSERT_TRUE(Close(dialog, step.closeWith));
    const bool asked = BoxNow() != nullptr;
    EXPECT_EQ(asked, step.answer != 0) << "whether the question came";
    if (asked) {
      EXPECT_EQ(Answer(step.answer ? step.answer : IDNO),
                m_texts(TXT_OPTIONS_CHANGED_1) + "\n\n" + m_texts(TXT_OPTIONS_CHANGED_2));
    }
    if (step.answer != IDYES) {
      EXPECT_EQ(Rows(), m_listed) << "the list changed";
    }
  }
  // The new pass has Search Assistant off, as kept after No, and Paint on.
  const Lines runMru(m_listed.begin(), m_listed.begin() + 5);
  EXPECT_TRUE(WaitUntil([&] { return Rows() == runMru; }, kSearchMs)) << "the new pass";
  EXPECT_TRUE(Search(false)) << "the new pass did not end";
}

// Remove From List: the selected rows leave the list, and their values the
// deletion.
TEST_F(ListedHistoryTest, RemoveFromListKeepsTheSelectedRowsValues) {
  for (int row : {-1, 1, 3}) {  // -1: clear the whole selection first
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = row < 0 ? 0 : LVIS_SELECTED;
    ASSERT_NE(SendItem(LVM_SETITEMSTATE, row, item), "<message failed>") << row;
  }
  Click(m_main, IDC_REMOVE);
  EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_FOUND, 5); }));
  EXPECT_EQ(Rows(), (Lines{m_listed[0], m_listed[2], m_listed[4], m_listed[5], m_listed[6]}));
  Click(m_main, IDC_START_SEARCH);
  EXPECT_EQ(Answer(IDOK, kSearchMs), m_texts(TXT_DELETED_1, 5) + "\n\n" + m_texts(TXT_DELETED_2));
  EXPECT_EQ(Backups().size(), 1u);
  for (char id : std::string("abcde"))
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kRunMruKey, {id}), id == 'b' || id == 'd') << id;
}

// Reverse Changes names any other file than a .reg file in a box and does
// not hand it on; a backup goes to the registry editor (no program opens
// .reg files in the prefix), without a box.
TEST_F(KelpwiseTest, ReverseChangesImportsABackupAndRefusesOtherFiles) {
  const std::string backup = File("backup\\backup - 202001020304.reg");
  ASSERT_TRUE(WriteFile(backup, std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kRunMruKey +
                                    "]\r\n\"a\"=\"notepad C:\\\\Kelpwise E2E\\\\a.txt\"\r\n\r\n"));
  ASSERT_TRUE(Start());
  const std::pair<std::string, std::string> kPicks[] = {
      // a file, and the box that follows
      {File("KpwStarter.exe"), m_texts(TXT_NOT_REGISTRY_FILE) + "\n\n" + File("KpwStarter.exe")},
      {backup, ""}};
  for (const auto& [file, box] : kPicks) {
    SCOPED_TRACE(file);
    Click(m_main, IDM_FILE_REVERSE_CHANGES);
    // The file-name field: cmb13 in the newer layout, edt1 in the older.
    HWND chooser = Find([](HWND w) { return GetDlgItem(w, cmb13) || GetDlgItem(w, edt1); });
    ASSERT_NE(chooser, nullptr) << "no file dialog";
    SetText(chooser, GetDlgItem(chooser, cmb13) ? cmb13 : edt1, file);
    ASSERT_TRUE(Close(chooser, IDOK));
    EXPECT_EQ(BoxNow() ? Answer(IDOK) : "", box);
  }
  Value a;
  EXPECT_TRUE(WaitUntil([&] { return ReadValue(HKEY_CURRENT_USER, kRunMruKey, "a", &a); }));
  EXPECT_EQ(a, Sz(HistoryData('a'))) << "the backup was not imported";
}

// F1 opens help.chm through the prefix's association of .chm files; hh.exe
// shows it under the title help/Kelpwise.hhp gives it.
TEST_F(KelpwiseTest, F1OpensTheHelpFile) {
  constexpr UINT kKeyF1 = 0x004D;  // WM_KEYF1, which F1 makes the system post; MinGW lacks it
  const auto viewer = [] { return FindWindowA(nullptr, "Tarnwell Kelpwise Help"); };
  ASSERT_EQ(viewer(), nullptr) << "a help viewer is open already";
  ASSERT_TRUE(Start());
  PostMessageA(m_main, kKeyF1, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return viewer() != nullptr; })) << "no help viewer";
  PostMessageA(viewer(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return viewer() == nullptr; }));
}

// Go To Website: anything but a web address is named in a box, and nothing
// is started; an address goes to the desktop's shell (Wine's has one too),
// which opens it with the https handler, here notepad, that stays open so
// that its parent shows. Kelpwise itself never starts a program, which
// would run with its rights.
TEST_F(KelpwiseTest, GoToWebsiteOpensOnlyWebAddressesAndNeverAsAdministrator) {
  const std::string handlerKey = "https\\shell\\open\\command";
  Value handler;
  ASSERT_TRUE(ReadValue(HKEY_CLASSES_ROOT, handlerKey, "", &handler));
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, handlerKey, "", Sz("C:\\windows\\notepad.exe %1")));
  const AtExit restore([&] { WriteValue(HKEY_CLASSES_ROOT, handlerKey, "", handler); });
  // A program path, a file: address and garbage.
  const char* const kRefused[] = {"C:\\windows\\regedit.exe", "file:///C:/windows/regedit.exe",
                                  "&%$ no"};
  ASSERT_TRUE(Start());
  // Wine's desktop process is a child of the first program that shows a window.
  const size_t children = ChildProcesses(m_run.dwProcessId).size();
  for (const std::string homepage : kRefused) {
    SCOPED_TRACE(homepage);
    ASSERT_TRUE(Set("Homepage", homepage));
    Click(m_main, IDM_HELP_WEBSITE);
    EXPECT_EQ(Answer(IDOK), m_texts(TXT_WEBSITE_REFUSED) + "\n\n" + homepage);
    EXPECT_EQ(ChildProcesses(m_run.dwProcessId).size(), children) << "started by Kelpwise";
  }
  ASSERT_TRUE(Set("Homepage", "https://example.org/kelpwise"));
  Click(m_main, IDM_HELP_WEBSITE);
  HWND browser = nullptr;
  WaitUntil([&] { return (browser = FindWindowA("Notepad", nullptr)) || Find(IsMessageBox, 0); });
  EXPECT_NE(browser, nullptr) << "the address did not reach the shell";
  EXPECT_EQ(ChildProcesses(m_run.dwProcessId).size(), children) << "started by Kelpwise";
  PostMessageA(browser, WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace kw::test
