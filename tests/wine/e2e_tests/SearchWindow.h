// The main window during and after a search, driven from outside: the
// buttons' and status line's texts read without waiting for the busy
// program, the rows of the results list, and waiting for a state.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/e2e_tests/WindowDriver.h"

namespace kw::test {

// One row of the results list: its three cells.
struct ListedRow {
  std::string category;
  std::string name;
  std::string data;
  bool operator==(const ListedRow& other) const {
    return category == other.category && name == other.name && data == other.data;
  }
};

// "category | name | data", one row per line, for failure messages.
std::string RowsText(const std::vector<ListedRow>& rows);

// The text of control `id` of a dialog in another process, as the system
// keeps it: no message is sent, so this answers at once even while the
// program is busy inside a long handler such as a search.
std::string ControlTextNow(HWND dialog, int id);

// Polls `done` until it holds or `timeoutMs` passed.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done);

// True once the window's thread handles messages again, i.e. the command
// handler that was running has returned.
bool WaitUntilResponsive(HWND window, DWORD timeoutMs);

std::vector<ListedRow> ReadListedRows(const KelpwiseProcess& process, HWND list);

}  // namespace kw::test
