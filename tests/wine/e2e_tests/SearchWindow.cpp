#include "tests/wine/e2e_tests/SearchWindow.h"

namespace kw::test {
namespace {
constexpr DWORD kPollMs = 50;
}  // namespace

std::string RowsText(const std::vector<ListedRow>& rows) {
  std::string text;
  for (const ListedRow& row : rows) {
    text += "\n  " + row.category + " | " + row.name + " | " + row.data;
  }
  return text.empty() ? "\n  (no rows)" : text;
}

std::string ControlTextNow(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return "<no control " + std::to_string(id) + ">";
  char text[4096] = "";
  int length = GetWindowTextA(control, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  for (DWORD start = GetTickCount();;) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(kPollMs);
  }
}

bool WaitUntilResponsive(HWND window, DWORD timeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

std::vector<ListedRow> ReadListedRows(const KelpwiseProcess& process, HWND list) {
  std::vector<ListedRow> rows;
  const int count = process.ListRowCount(list);
  for (int row = 0; row < count; ++row) {
    rows.push_back({process.ListCellText(list, row, 0), process.ListCellText(list, row, 1),
                    process.ListCellText(list, row, 2)});
  }
  return rows;
}

}  // namespace kw::test
