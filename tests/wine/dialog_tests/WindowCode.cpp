// The window code is built only into the program, not into the core library
// that test programs link; this suite compiles the parts it tests itself.
#include "framework/Controls.cpp"
#include "framework/DataExchange.cpp"
#include "framework/Dialog.cpp"
#include "i18n/LanguageDlg.cpp"
#include "options/OptionsDlg.cpp"
#include "scan/PumpDlg.cpp"
#include "system/Win32Environment.cpp"
#include "system/Win32Registry.cpp"
