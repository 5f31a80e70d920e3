// Delete Entries after a search of the seeded demo, as the user runs it:
// the backup file's exact bytes, exactly the listed values gone and nothing
// else changed, the registry editor bringing everything back, a backup that
// cannot be written, and two clean-ups within one minute.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "i18n/TextIds.h"
#include "res/resource.h"
#include "tests/wine/e2e_tests/SearchTestBase.h"

namespace kw::test {
namespace {

// The backup of a full clean-up of the seeded demo: every listed entry in
// list order, the dropped binary history value left out. Lines end in LF
// here and in CR LF in the file. Courier and the three fonts after it are
// Wine's own values, whose files are not in the fonts folder.
const char kDemoBackup[] = R"reg(REGEDIT4
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU]
"a"="notepad C:\\Kelpwise Demo\\Gone\\notes.txt\\1"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU]
"b"="\"C:\\Program Files\\Kelpwise Demo\\Live\\live.exe\" /demo\\1"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU]
"MRUList"="ba"

[HKEY_CURRENT_USER\Software\Microsoft\Search Assistant\ACMru\5603]
"000"="kelpwise demo report"

[HKEY_CURRENT_USER\Software\Microsoft\Search Assistant\ACMru\5603]
"001"="gone.exe"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Paint\Recent File List]
"File1"="C:\\Kelpwise Demo\\Gone\\sketch.bmp"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Paint\Recent File List]
"File2"="C:\\Program Files\\Kelpwise Demo\\Live\\live.hlp"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad\Recent File List]
"File1"="C:\\Kelpwise Demo\\Gone\\letter.doc"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad\Recent File List]
"File2"="C:\\Kelpwise Demo\\Gone\\memo.rtf"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\OpenSaveMRU\*]
"a"="C:\\Kelpwise Demo\\Gone\\budget.xls"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\OpenSaveMRU\*]
"b"="C:\\Program Files\\Kelpwise Demo\\Live\\livecom.dll"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\OpenSaveMRU\*]
"MRUList"="ab"

[HKEY_CURRENT_USER\Software\Microsoft\Office\9.0\Excel\Recent Files]
"File1"="C:\\Kelpwise Demo\\Gone\\sales.xls"

[HKEY_CURRENT_USER\Software\Microsoft\Office\9.0\Excel\Recent Files]
"File2"="C:\\Kelpwise Demo\\Gone\\plan \"Q3\".xls"

[HKEY_CLASSES_ROOT\KelpwiseDemo.Document\DefaultIcon]
@="C:\\Program Files\\Kelpwise Demo\\Gone\\gone.exe,1"

[HKEY_CLASSES_ROOT\KelpwiseDemo.Document\shell\open\command]
@="\"C:\\Program Files\\Kelpwise Demo\\Gone\\gone.exe\" \"%1\""

[HKEY_CLASSES_ROOT\KelpwiseDemo.Tool]
"Editor"="C:\\Kelpwise Demo\\Gone\\EDITOR.EXE"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Courier"="coure.fon"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Kelpwise Gone (TrueType)"="KelpwiseGone.TTF"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Kelpwise Gone Full (TrueType)"="C:\\Program Files\\Kelpwise Demo\\Gone\\gonefull.ttf"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Kelpwise Gone Raster"="kwgone.fon"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"MS Sans Serif"="sserife.fon"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"MS Serif"="serife.fon"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Small Fonts"="smalle.fon"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLS]
"C:\\Program Files\\Kelpwise Demo\\Gone\\goneshared.dll"=dword:00000002

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLS]
"C:\\windows\\system32\\kwgoneshared.dll"=dword:00000001

[HKEY_CLASSES_ROOT\CLSID\{6D2A4F10-5C3B-4E8A-9B71-0A1B2C3D4E01}\DefaultIcon]
@="C:\\Program Files\\Kelpwise Demo\\Gone\\goneicon.dll,0"

[HKEY_CLASSES_ROOT\CLSID\{6D2A4F10-5C3B-4E8A-9B71-0A1B2C3D4E01}\InprocServer32]
@="C:\\Program Files\\Kelpwise Demo\\Gone\\gonecom.dll"

[HKEY_CLASSES_ROOT\CLSID\{6D2A4F10-5C3B-4E8A-9B71-0A1B2C3D4E04}\LocalServer32]
@="\"C:\\Program Files\\Kelpwise Demo\\Gone\\gonesrv.exe\" /automation"

[HKEY_CLASSES_ROOT\TypeLib\{6D2A4F20-5C3B-4E8A-9B71-0A1B2C3D4E01}\1.0\0\win32]
@="C:\\Program Files\\Kelpwise Demo\\Gone\\gonetlb.dll"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\Help]
"gone.cnt"="C:\\Program Files\\Kelpwise Demo\\Gone"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\Help]
"gone.hlp"="C:\\Program Files\\Kelpwise Demo\\Gone"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\Help]
"kwgone.hlp"="C:\\windows\\help"

)reg";
constexpr int kDemoEntries = 33;

const char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The changes that deleting every value of a backup file makes.
std::vector<std::string> RemovedValueLines(const std::string& backupText) {
  RegFileContents contents;
  EXPECT_TRUE(ParseRegFile(backupText, &contents));
  std::vector<std::string> lines;
  for (const RegFileValue& value : contents.values) {
    lines.push_back(RemovedValueLine(value.key, value.name));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text.empty() ? "\n  (none)" : text;
}

class CleanupTest : public SearchTestBase {
 protected:
  // Seeds the demo, starts the program with `options` and searches.
  HWND SearchSeededDemo(const char* options) {
    EXPECT_TRUE(m_folder.SetSetting("Options", options));
    EXPECT_TRUE(m_demo.Seed());
    HWND main = StartMainWindow();
    if (main) {
      EXPECT_TRUE(Search(main));
    }
    return main;
  }

  std::string BackupText(const std::string& name) const {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(BackupFolder() + "\\" + name, &bytes)) << name;
    return bytes;
  }

  std::string DeletedReport(int count) const {
    return TextWithNumber(TXT_DELETED_1, count) + "\n\n" + m_texts.Text(TXT_DELETED_2);
  }
};

TEST_F(CleanupTest, DeletesExactlyTheListedValuesAfterBackingThemUpAndRegeditRestoresThem) {
  HWND main = SearchSeededDemo(kAllCategories);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(Rows(main).size(), static_cast<size_t>(kDemoEntries));
  const RegistrySnapshot before = RegistrySnapshot::TakeSoftware();

  SYSTEMTIME start, end;
  GetLocalTime(&start);
  MessageBoxInfo report;
  ASSERT_TRUE(PressDelete(main, &report));
  GetLocalTime(&end);
  EXPECT_EQ(report.caption, kMainCaption);
  EXPECT_EQ(report.text, DeletedReport(kDemoEntries));
  EXPECT_EQ(m_process.ListRowCount(GetDlgItem(main, IDC_LIST_RESULTS)), 0);
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS), m_texts.Text(TXT_STATUS_IDLE));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_REMOVE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_MORE_INFO)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_OPTIONS)));

  std::vector<std::string> files = BackupFileNames();
  ASSERT_EQ(files.size(), 1u) << Joined(files);
  EXPECT_TRUE(files[0] == "backup - " + Timestamp(start) + ".reg" ||
              files[0] == "backup - " + Timestamp(end) + ".reg")
      << files[0] << " is not named for " << Timestamp(start);
  const std::string backup = BackupText(files[0]);
  EXPECT_EQ(backup, WithCrLf(kDemoBackup));

  const RegistrySnapshot after = RegistrySnapshot::TakeSoftware();
  EXPECT_EQ(SnapshotChanges(before, after), RemovedValueLines(kDemoBackup))
      << "changes made:" << Joined(SnapshotChanges(before, after));

  ASSERT_TRUE(ImportWithRegedit(BackupFolder() + "\\" + files[0]));
  const RegistrySnapshot restored = RegistrySnapshot::TakeSoftware();
  EXPECT_EQ(SnapshotChanges(before, restored), std::vector<std::string>())
      << "the restored registry differs from the one before the deletion";
}

TEST_F(CleanupTest, BackupThatCannotBeWrittenDeletesNothingAndTheNextPressSucceeds) {
  HWND main = SearchSeededDemo(kAllCategories);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(Rows(main).size(), static_cast<size_t>(kDemoEntries));
  const std::string moved = BackupFolder() + ".moved";
  ASSERT_TRUE(MoveFileA(BackupFolder().c_str(), moved.c_str()));
  const RegistrySnapshot before = RegistrySnapshot::TakeSoftware();

  MessageBoxInfo error;
  ASSERT_TRUE(PressDelete(main, &error, /*expectIdle=*/false));
  const std::string intro =
      m_texts.Text(TXT_BACKUP_NOT_WRITTEN) + "\n\n" + BackupFolder() + "\\backup - ";
  EXPECT_EQ(error.text.compare(0, intro.size(), intro), 0) << error.text;
  EXPECT_EQ(error.text.substr(error.text.size() - 4), ".reg") << error.text;
  EXPECT_EQ(error.caption, kMainCaption);

  EXPECT_EQ(SnapshotChanges(before, RegistrySnapshot::TakeSoftware()), std::vector<std::string>())
      << "values were deleted without a backup";
  EXPECT_EQ(GetFileAttributesA(BackupFolder().c_str()), INVALID_FILE_ATTRIBUTES)
      << "the program created the backup folder itself";
  EXPECT_EQ(ControlTextNow(main, IDC_START_SEARCH), m_texts.Text(TXT_BUTTON_DELETE));
  EXPECT_EQ(ControlTextNow(main, IDC_STATUS), TextWithNumber(TXT_STATUS_FOUND, kDemoEntries));
  EXPECT_EQ(Rows(main).size(), static_cast<size_t>(kDemoEntries));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_REMOVE)));

  ASSERT_TRUE(MoveFileA(moved.c_str(), BackupFolder().c_str()));
  MessageBoxInfo report;
  ASSERT_TRUE(PressDelete(main, &report));
  EXPECT_EQ(report.text, DeletedReport(kDemoEntries));
  std::vector<std::string> files = BackupFileNames();
  ASSERT_EQ(files.size(), 1u) << Joined(files);
  EXPECT_EQ(BackupText(files[0]), WithCrLf(kDemoBackup));
  EXPECT_EQ(SnapshotChanges(before, RegistrySnapshot::TakeSoftware()),
            RemovedValueLines(kDemoBackup));
}

TEST_F(CleanupTest, TwoCleanUpsWithinOneMinuteWriteTwoBackupFiles) {
  // Both clean-ups take a second or two; start early in a minute so that
  // they normally share it.
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wSecond >= 45) Sleep((61 - now.wSecond) * 1000);

  HWND main = SearchSeededDemo(kRunMruOnly);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(Rows(main).size(), 3u);
  SYSTEMTIME first, second;
  GetLocalTime(&first);
  MessageBoxInfo report;
  ASSERT_TRUE(PressDelete(main, &report));

  // The same entries again, one of them with other data.
  ASSERT_TRUE(m_demo.Seed());
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kRunMruKey, "a", StringValue("second\\1")));
  ASSERT_TRUE(Search(main));
  ASSERT_EQ(Rows(main).size(), 3u);
  ASSERT_TRUE(PressDelete(main, &report));
  GetLocalTime(&second);

  const std::string stamp = Timestamp(first);
  std::vector<std::string> expectedNames = {"backup - " + stamp + " (2).reg",
                                            "backup - " + stamp + ".reg"};
  if (Timestamp(second) != stamp) {
    expectedNames = {"backup - " + stamp + ".reg", "backup - " + Timestamp(second) + ".reg"};
  }
  ASSERT_EQ(BackupFileNames(), expectedNames);

  const std::string records =
      "\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU]\n"
      "\"b\"=\"\\\"C:\\\\Program Files\\\\Kelpwise Demo\\\\Live\\\\live.exe\\\" /demo\\\\1\"\n\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU]\n"
      "\"MRUList\"=\"ba\"\n\n";
  const std::string keyLine =
      "REGEDIT4\n[HKEY_CURRENT_"
      "USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU]"
      "\n";
  EXPECT_EQ(BackupText("backup - " + stamp + ".reg"),
            WithCrLf(keyLine + "\"a\"=\"notepad C:\\\\Kelpwise Demo\\\\Gone\\\\notes.txt\\\\1\"" +
                     records))
      << "the first backup was replaced";
  const std::string& secondName = expectedNames[Timestamp(second) == stamp ? 0 : 1];
  EXPECT_EQ(BackupText(secondName), WithCrLf(keyLine + "\"a\"=\"second\\\\1\"" + records));
}

}  // namespace
}  // namespace kw::test
