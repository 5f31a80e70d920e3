// Runs inside the program under test and writes its menu bar to a file.
#include <fstream>

#include "tests/wine/e2e_tests/hook/MenuProbe.h"

namespace {

void WriteMenu(HMENU menu, const std::string& parent, std::ofstream& out) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    const std::string position = parent + std::to_string(i);
    out << position << '\t' << text << '\n';
    if (info.hSubMenu) WriteMenu(info.hSubMenu, position + ".", out);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == RegisterWindowMessageA(kw::test::kMenuProbeMessage)) {
    std::ofstream out(kw::test::MenuProbeFile(GetCurrentProcessId()), std::ios::binary);
    if (HMENU bar = GetMenu(call->hwnd)) WriteMenu(bar, "", out);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
