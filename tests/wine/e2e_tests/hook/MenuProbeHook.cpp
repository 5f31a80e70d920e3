// Menu probe hook: runs inside the program under test and writes its menu
// bar into shared memory for the test driver (see MenuProbe.h).
#include <windows.h>

#include <string>

#include "tests/wine/e2e_tests/hook/MenuProbe.h"

namespace {

using namespace kw::test;

void AppendMenuRecords(HMENU menu, const std::string& parentPosition, std::string* out) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[1024] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    std::string position =
        parentPosition.empty() ? std::to_string(i) : parentPosition + "." + std::to_string(i);
    char kind = info.hSubMenu ? 'p' : (info.fType & MFT_SEPARATOR) ? 's' : 'i';
    *out += position + kFieldEnd + std::to_string(info.hSubMenu ? 0u : info.wID) + kFieldEnd +
            kind + kFieldEnd + (kind == 's' ? "" : text) + kFieldEnd + kRecordEnd;
    if (info.hSubMenu) AppendMenuRecords(info.hSubMenu, position, out);
  }
}

void WriteToSharedMemory(const std::string& records) {
  std::string name = kMenuProbeMappingPrefix + std::to_string(GetCurrentProcessId());
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
  if (!mapping) return;
  if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMenuProbeMappingSize)) {
    size_t size =
        records.size() < kMenuProbeMappingSize - 1 ? records.size() : kMenuProbeMappingSize - 1;
    memcpy(view, records.data(), size);
    static_cast<char*>(view)[size] = '\0';
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call && call->message == RegisterWindowMessageA(kMenuProbeMessage)) {
    std::string records;
    if (HMENU bar = GetMenu(call->hwnd)) AppendMenuRecords(bar, "", &records);
    WriteToSharedMemory(records);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
