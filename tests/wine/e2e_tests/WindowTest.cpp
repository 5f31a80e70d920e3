// The main window as the user drives it, from another process.
#include <climits>
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

  // Nine keys Sub below a key that names a missing file.
  std::string loop = kLoopKey;
  for (int level = 1; level <= 9; ++level) loop += "\\Sub";
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, kLoopKey, "", Sz("C:\\Kelpwise Loop\\top.dll")));
  ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, loop, "", Sz("")));
  Click(m_main, IDC_START_SEARCH);
  EXPECT_EQ(Answer(IDOK, kSearchMs), m_texts(TXT_LOOP_1) + "\n\n" + kLoopKey + "\n\n" +
                                         m_texts(TXT_LOOP_2) + "\n\n" + m_texts(TXT_LOOP_3));
  ASSERT_TRUE(Ended()) << "the run goes on after the message";
  EXPECT_EQ(ReadFile(File("blacklist.ini")), blacklist + kLoopKey + "\r\n");
}

constexpr char kAssistantKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";

// A search through thousands of keys: the window answers meanwhile, but a
// click on Start Search and posted commands act neither during the search
// nor after it; closing during the next search ends the run.
TEST_F(KelpwiseTest, ClicksAndCommandsDuringASearchDoNothing) {
  const std::string busy = "Kelpwise E2E Busy";
  const AtExit drop([&] { SHDeleteKeyA(HKEY_CLASSES_ROOT, busy.c_str()); });
  for (int i = 0; i < 8000; ++i)
    ASSERT_TRUE(WriteValue(HKEY_CLASSES_ROOT, busy + "\\" + std::to_string(i), "", Sz("-")));
  for (char id : std::string("abcde"))
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, {id}, Sz(HistoryData(id))));
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
    for (const auto& [key, ids] : {std::pair{kRunMruKey, "abcde"}, {kAssistantKey, "ab"}})
      for (char id : std::string(ids))
        ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, key, {id}, Sz(HistoryData(id))));
    ASSERT_TRUE(Start("11000000000001"));
    ASSERT_TRUE(Search());
    m_listed = Rows();
    ASSERT_EQ(m_listed.size(), 7u);
  }
  // Selects exactly `rows` of the list (-1 first clears the whole selection).
  void Select(std::vector<int> rows) const {
    rows.insert(rows.begin(), -1);
    for (int row : rows) {
      LVITEMA item = {};
      item.stateMask = LVIS_SELECTED;
      item.state = row < 0 ? 0 : LVIS_SELECTED;
      EXPECT_NE(SendItem(LVM_SETITEMSTATE, row, item), "<message failed>") << row;
    }
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

// Two clicks on the Data heading sort by it the other way; the Delete key
// and Remove From List take the selected rows out, and Delete Entries
// deletes exactly the values of the rows left, each the one its row showed,
// into one backup.
TEST_F(ListedHistoryTest, SortedListDeletesTheValuesItsRowsShow) {
  HWND list = GetDlgItem(m_main, IDC_LIST_RESULTS);
  HWND header = reinterpret_cast<HWND>(driver::Send(list, LVM_GETHEADER));
  LPARAM data = 0;  // the middle of the Data heading: its borders resize the column
  for (int column = 0; column < 3; ++column) data += driver::Send(list, LVM_GETCOLUMNWIDTH, column);
  data = MAKELPARAM(data - driver::Send(list, LVM_GETCOLUMNWIDTH, 2) / 2, 5);
  for (int click = 0; click < 2; ++click) {
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, data);
    PostMessageA(header, WM_LBUTTONUP, 0, data);
  }
  Lines sorted = m_listed;  // equal data keep the search order
  const auto dataOf = [](const std::string& row) { return row.substr(row.rfind('\t')); };
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const auto& a, const auto& b) { return dataOf(a) > dataOf(b); });
  ASSERT_TRUE(WaitUntil([&] { return Rows() == sorted; })) << "not sorted: " << Rows()[0];
  Select({0, 3});
  PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(WaitUntil([&] { return Rows().size() == 5; }));
  Select({1});
  Click(m_main, IDC_REMOVE);
  EXPECT_TRUE(WaitUntil([&] { return Text(m_main, IDC_STATUS) == m_texts(TXT_STATUS_FOUND, 4); }));
  const Lines left = {sorted[1], sorted[4], sorted[5], sorted[6]};
  EXPECT_EQ(Rows(), left);
  Click(m_main, IDC_START_SEARCH);
  EXPECT_EQ(Answer(IDOK, kSearchMs), m_texts(TXT_DELETED_1, 4) + "\n\n" + m_texts(TXT_DELETED_2));
  for (const std::string& row : sorted) {  // category, name and data: the value's key and name
    const std::string key = row.find("RunMRU") == 0 ? kRunMruKey : kAssistantKey;
    const std::string name = row.substr(row.find('\t') + 1, 1);
    const bool kept = std::find(left.begin(), left.end(), row) == left.end();
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, name), kept) << row;
  }
}

// Reverse Changes names any other file than a .reg file, and a .reg file
// that would write where no search reads, in a box and does not hand it on;
// a backup goes to the registry editor (no program opens .reg files in the
// prefix), without a box.
TEST_F(KelpwiseTest, ReverseChangesImportsABackupAndRefusesOtherFiles) {
  const std::string backup = File("backup\\backup - 202001020304.reg");
  ASSERT_TRUE(WriteFile(backup, std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kRunMruKey +
                                    "]\r\n\"a\"=\"notepad C:\\\\Kelpwise E2E\\\\a.txt\"\r\n\r\n"));
  const std::string planted = File("backup\\planted.reg"), run = kRunKey;
  ASSERT_TRUE(WriteFile(planted, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + run +
                                     "]\r\n\"kw-e2e\"=\"C:\\\\x.exe\"\r\n\r\n"));
  ASSERT_TRUE(Start());
  const std::pair<std::string, std::string> kPicks[] = {
      // a file, and the box that follows
      {File("KpwStarter.exe"), m_texts(TXT_NOT_REGISTRY_FILE) + "\n\n" + File("KpwStarter.exe")},
      {planted, m_texts(TXT_BACKUP_REFUSED) + "\n\n" + planted + ", line 3: HKEY_CURRENT_USER\\" +
                    run + " is outside the keys a Kelpwise search reads"},
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
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, run, "kw-e2e")) << "the planted file was imported";
}

// Go To Website: anything but a web address is named in a box, and nothing
// is started; an address goes to the desktop's shell (Wine's has one too),
// which opens it with the https handler, here notepad, that stays open so
// that its parent shows. Kelpwise itself never starts a program, which
// would run with its rights. F1 then opens help.chm through the prefix's
// association of .chm files; hh.exe shows it under the title
// help/Kelpwise.hhp gives it.
TEST_F(KelpwiseTest, HelpOpensTheHelpFileAndOnlyWebAddressesNeverAsAdministrator) {
  constexpr UINT kKeyF1 = 0x004D;  // WM_KEYF1, which F1 makes the system post; MinGW lacks it
  const auto viewer = [] { return FindWindowA(nullptr, "Tarnwell Kelpwise Help"); };
  ASSERT_EQ(viewer(), nullptr) << "a help viewer is open already";
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
  PostMessageA(m_main, kKeyF1, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return viewer() != nullptr; })) << "no help viewer";
  PostMessageA(viewer(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return viewer() == nullptr; }));
}

// The visible controls of `window` that overlap without one holding the
// other (as the frame holds the list).
std::string Overlaps(HWND window) {
  std::string found;
  for (HWND a = GetWindow(window, GW_CHILD); a; a = GetWindow(a, GW_HWNDNEXT))
    for (HWND b = GetWindow(a, GW_HWNDNEXT); b; b = GetWindow(b, GW_HWNDNEXT))
      if (RECT boxA, boxB, both; IsWindowVisible(a) && IsWindowVisible(b) &&
                                 GetWindowRect(a, &boxA) && GetWindowRect(b, &boxB) &&
                                 IntersectRect(&both, &boxA, &boxB) && !EqualRect(&both, &boxA) &&
                                 !EqualRect(&both, &boxB))
        found += std::to_string(GetDlgCtrlID(a)) + "/" + std::to_string(GetDlgCtrlID(b)) + " ";
  return found;
}

// At its smallest size (its first) and maximised, with the list taking the
// room, no controls overlap; the placement comes back on the next start.
TEST_F(ListedHistoryTest, ResizingKeepsControlsApartAndThePlacementComesBack) {
  RECT first, now, placed;
  const auto width = [&](HWND window) { return GetWindowRect(window, &now), now.right - now.left; };
  const HWND list = GetDlgItem(m_main, IDC_LIST_RESULTS);
  GetWindowRect(m_main, &first);
  SetWindowPos(m_main, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(width(m_main), first.right - first.left);
  EXPECT_EQ(Overlaps(m_main), "");
  const int listWidth = width(list), windowWidth = width(m_main);
  ShowWindow(m_main, SW_MAXIMIZE);
  EXPECT_EQ(Overlaps(m_main), "");
  EXPECT_EQ(width(list) - listWidth, width(m_main) - windowWidth);
  ShowWindow(m_main, SW_RESTORE);
  SetWindowPos(m_main, nullptr, 20, 30, first.right - first.left + 90, 600, SWP_NOZORDER);
  GetWindowRect(m_main, &placed);
  ShowWindow(m_main, SW_MAXIMIZE);
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended() && Start());
  EXPECT_TRUE(IsZoomed(m_main)) << Setting("Window Placement");
  ShowWindow(m_main, SW_RESTORE);
  EXPECT_TRUE(GetWindowRect(m_main, &now) && EqualRect(&now, &placed));
}

// Whether `text` fits `room` in `control`'s font at `dpi`, wrapped at its
// width when `wraps`. A font of the program's process cannot be selected
// here: its face and size are, as the program's dialog font at that scale.
bool Fits(HWND control, const std::string& text, RECT room, bool wraps, UINT flags, int dpi) {
  LOGFONTA font = {-MulDiv(8, dpi, 72)};
  font.lfCharSet = DEFAULT_CHARSET;
  strcpy(font.lfFaceName, "MS Sans Serif");
  GetObjectA(reinterpret_cast<HFONT>(driver::Send(control, WM_GETFONT)), sizeof font, &font);
  RECT need = {0, 0, wraps ? room.right : 0, 0};
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, CreateFontIndirectA(&font));
  DrawTextA(dc, text.c_str(), -1, &need,
            DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | flags);
  DeleteObject(SelectObject(dc, old));
  ReleaseDC(control, dc);
  return need.right <= room.right && need.bottom <= room.bottom;
}

// Adds to `clipped` the captions of `window` and of its child dialogs that
// need more room than their control gives them (beside a check box, inside
// a button's or a group's frame); returns how many it measured.
int MeasureCaptions(HWND window, int dpi, Lines& clipped) {
  int checked = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string type = driver::ClassName(child), text = Text(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE), kind = style & 0x0F;
    if (type == "#32770") checked += MeasureCaptions(child, dpi, clipped);
    const bool button = type == "Button", group = button && kind == BS_GROUPBOX;
    const bool check = button && kind >= BS_CHECKBOX && kind <= BS_AUTORADIOBUTTON && !group;
    const bool wraps = type == "Static" && kind <= SS_RIGHT;
    if (!IsWindowVisible(child) || text.empty() ||
        !(button || wraps || (type == "Static" && kind == SS_LEFTNOWORDWRAP)))
      continue;
    RECT room;
    GetClientRect(child, &room);
    room.right -= MulDiv(button ? (check ? 17 : 16) : 0, dpi, 96);
    room.bottom = group ? INT_MAX : room.bottom - MulDiv(button && !check ? 6 : 0, dpi, 96);
    if (++checked, !Fits(child, text, room, wraps, style & SS_NOPREFIX ? DT_NOPREFIX : 0, dpi))
      clipped.push_back(text);
  }
  return checked;
}

// Every caption and column heading fits its control in every window, in
// each language, at 96 and 144 DPI (Wine reads the scale at a program's start).
TEST_F(KelpwiseTest, NoCaptionIsClippedInAnyWindowLanguageOrScale) {
  const char kDesktop[] = "Control Panel\\Desktop";
  Value saved;
  const bool had = ReadValue(HKEY_CURRENT_USER, kDesktop, "LogPixels", &saved);
  AtExit restore([&] {
    had ? void(WriteValue(HKEY_CURRENT_USER, kDesktop, "LogPixels", saved))
        : void(SHDeleteValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels"));
  });
  int checked = 0;
  for (DWORD dpi : {96, 144}) {
    for (const char* section : {"[1033]", "[1031]", "[1036]", "[3082]"}) {
      const Value logPixels = {REG_DWORD, std::string(reinterpret_cast<char*>(&dpi), 4)};
      ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kDesktop, "LogPixels", logPixels));
      ASSERT_TRUE(Set("Language", section) && Start());
      Lines clipped;
      checked += MeasureCaptions(m_main, dpi, clipped) + 3;
      const Texts texts(File(Setting("Product ID") + "trl.ini"), section);
      HWND list = GetDlgItem(m_main, IDC_LIST_RESULTS);
      int column = 0;  // a heading keeps 6 pixels on either side
      for (int id : {TXT_COLUMN_CATEGORY, TXT_COLUMN_NAME, TXT_COLUMN_DATA}) {
        const int width = int(driver::Send(list, LVM_GETCOLUMNWIDTH, column++));
        if (!Fits(ListView_GetHeader(list), texts(id), {0, 0, width - MulDiv(12, dpi, 96), INT_MAX},
                  false, 0, dpi))
          clipped.push_back(texts(id));
      }
      for (const auto& [command, control] : {std::pair{IDC_OPTIONS, IDC_CHECK_RUNMRU},
                                             {IDM_FILE_LANGUAGE, IDC_LANGUAGE_COMBO},
                                             {IDM_HELP_ABOUT, IDOK}}) {
        Click(m_main, command);
        HWND dialog = Find([&](HWND w) { return w != m_main && GetDlgItem(w, control); });
        ASSERT_TRUE(dialog) << command;
        checked += MeasureCaptions(dialog, dpi, clipped);
        EXPECT_TRUE(Close(dialog, IDCANCEL));
      }
      EXPECT_EQ(clipped, Lines()) << section << " at " << dpi << " DPI";
    }
  }
  std::printf("captions and headings measured: %d in 8 runs (4 languages x 2 scales)\n", checked);
}

}  // namespace
}  // namespace kw::test
