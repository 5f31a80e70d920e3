#include "bench/SearchKeys.h"

namespace kw::bench {

namespace {

const SearchCategory kCategories[kCategoryCount] = {
    {"RunMRU", HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
     Check::History},
    {"Search Assistant", HKEY_CURRENT_USER, "Software\\Microsoft\\Search Assistant",
     Check::History},
    {"Last Paint Files", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
     Check::History},
    {"Last Wordpad Files", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
     Check::History},
    {"Explorer Logs", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*",
     Check::History},
    {"Last Excel Files", HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Excel\\Recent Files",
     Check::History},
    {"Old *.exe Files", HKEY_CLASSES_ROOT, "", Check::Program},
    {"Old Fonts", HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
     Check::Font},
    {"Old 'SharedDLLs' Files", HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", Check::SharedDll},
    {"Old 'COM/OLE' Objects", HKEY_CLASSES_ROOT, "CLSID", Check::ComObject},
    {"Old ActiveX Files", HKEY_CLASSES_ROOT, "TypeLib", Check::TypeLib},
    {"Old Help Files", HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\Help", Check::HelpFile},
};

}  // namespace

const SearchCategory& Category(int index) { return kCategories[index]; }

bool IsExcludedSubkey(const std::string& name) {
  return name == "Microsoft" || name == "CLSID" || name == "Installer" || name == "Interface" ||
         name.compare(0, 6, "Direct") == 0;
}

}  // namespace kw::bench
