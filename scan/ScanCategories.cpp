#include "scan/ScanCategories.h"

#include "cleaning/BackupRecord.h"
#include "i18n/TextIds.h"

namespace kw {

const std::array<ScanCategory, kCategoryCount>& ScanCategories() {
  static const std::array<ScanCategory, kCategoryCount> kCategories = {{
      {0,
       CategoryTextId(0),
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
       SCAN_HISTORY,
       {}},
      {1, CategoryTextId(1), "Software\\Microsoft\\Search Assistant", SCAN_HISTORY, {}},
      {2,
       CategoryTextId(2),
       "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
       SCAN_HISTORY,
       {}},
      {3,
       CategoryTextId(3),
       "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
       SCAN_HISTORY,
       {}},
      // The "*" is the name of a real subkey, not a wildcard.
      {4,
       CategoryTextId(4),
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*",
       SCAN_HISTORY,
       {}},
      {5,
       CategoryTextId(5),
       "Software\\Microsoft\\Office\\9.0\\Excel\\Recent Files",
       SCAN_HISTORY,
       {}},
      // The root of HKEY_CLASSES_ROOT: paths below it begin with a backslash.
      {6, CategoryTextId(6), "", SCAN_PROGRAM, {".exe"}},
      {7,
       CategoryTextId(7),
       "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
       SCAN_FONT,
       {".ttf", ".fon"}},
      {8, CategoryTextId(8), kSharedDllsKeyPath, SCAN_SHAREDDLL, {"'Shared DLLs'"}},
      {9, CategoryTextId(9), "CLSID", SCAN_COMOBJECT, {"Old COM/OLE"}},
      {10, CategoryTextId(10), "TypeLib", SCAN_TYPELIB, {".dll"}},
      {11,
       CategoryTextId(11),
       "Software\\Microsoft\\Windows\\Help",
       SCAN_HELPFILE,
       {".cnt", ".hlp"}},
  }};
  return kCategories;
}

RegRoot RootOf(ScanCheck check) {
  switch (check) {
    case SCAN_HISTORY:
      return RegRoot::CurrentUser;
    case SCAN_PROGRAM:
    case SCAN_COMOBJECT:
    case SCAN_TYPELIB:
      return RegRoot::ClassesRoot;
    case SCAN_FONT:
    case SCAN_SHAREDDLL:
    case SCAN_HELPFILE:
      break;
  }
  return RegRoot::LocalMachine;
}

bool IsFileReference(ScanCheck check) { return check != SCAN_HISTORY; }

}  // namespace kw
