// The results list as a list to work with: sorting by a header click, the
// columns fitted after a search, its keys, its context menu and Copy. The
// list always shows the model's rows in the model's order (RefillResultsList),
// so every action on row k of the list acts on row k of the model.
#include <windowsx.h>

#include <algorithm>

#include "app/ColumnFit.h"
#include "app/KelpwiseDlg.h"
#include "app/ListCopy.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "res/resource.h"

namespace kw {

namespace {

// The main window whose keys the filter below turns into commands.
HWND g_keyWindow = nullptr;
HHOOK g_keyHook = nullptr;

// The command of a key pressed in the main window: F5 anywhere, the others
// in the results list while it lists results (its buttons are enabled).
int KeyCommand(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return 0;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  if (msg.wParam == VK_F5 && !ctrl && !shift) return IDM_FILE_NEW_SEARCH;
  if (msg.hwnd != ::GetDlgItem(g_keyWindow, IDC_LIST_RESULTS) ||
      !::IsWindowEnabled(::GetDlgItem(g_keyWindow, IDC_REMOVE)) || shift) {
    return 0;
  }
  switch (msg.wParam) {
    case VK_DELETE:
      return ctrl ? 0 : IDC_REMOVE;
    case VK_RETURN:
      return ctrl ? 0 : IDC_MORE_INFO;
    case 'A':
      return ctrl ? IDM_LIST_SELECT_ALL : 0;
    case 'C':
      return ctrl ? IDM_LIST_COPY : 0;
    default:
      return 0;
  }
}

// Runs before the dialog manager sees a message of a modal loop, so that
// Enter reaches the list instead of the dialog's default button.
LRESULT CALLBACK FilterListKeys(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && g_keyWindow != nullptr &&
      (msg->hwnd == g_keyWindow || ::IsChild(g_keyWindow, msg->hwnd))) {
    const int command = KeyCommand(*msg);
    if (command != 0) {
      ::SendMessageA(g_keyWindow, WM_COMMAND, MAKEWPARAM(command, 1), 0);
      return TRUE;
    }
  }
  return ::CallNextHookEx(g_keyHook, code, wParam, lParam);
}

bool IsEnabled(const Control& control) { return ::IsWindowEnabled(control.hwnd()) != FALSE; }

}  // namespace

void CKelpwiseDlg::InstallListKeys() {
  g_keyWindow = hwnd();
  if (g_keyHook == nullptr) {
    g_keyHook = ::SetWindowsHookExA(WH_MSGFILTER, &FilterListKeys, nullptr, ::GetCurrentThreadId());
  }
}

void CKelpwiseDlg::RemoveListKeys() {
  if (g_keyHook != nullptr) ::UnhookWindowsHookEx(g_keyHook);
  g_keyHook = nullptr;
  g_keyWindow = nullptr;
}

std::vector<int> CKelpwiseDlg::SelectedRows() const {
  std::vector<int> rows;
  for (int row = m_listResults.GetNextSelected(); row >= 0;
       row = m_listResults.GetNextSelected(row)) {
    rows.push_back(row);
  }
  return rows;
}

void CKelpwiseDlg::RefillResultsList() {
  const HWND list = m_listResults.hwnd();
  ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  m_listResults.DeleteAllRows();
  int row = 0;
  for (const ResultRow& entry : m_results.rows()) {
    m_listResults.InsertRow(row, entry.category, entry.image);
    m_listResults.SetCellText(row, 1, entry.valueName);
    m_listResults.SetCellText(row, 2, entry.shown);
    ++row;
  }
  ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void CKelpwiseDlg::OnColumnClick(int column) {
  // Only a listed result is sorted: not during a search or a deletion.
  if (!m_bDeletePending || !IsEnabled(m_btnRemove)) return;
  const HWND list = m_listResults.hwnd();
  std::vector<bool> wasSelected(m_results.rows().size(), false);
  for (const int row : SelectedRows()) {
    if (static_cast<size_t>(row) < wasSelected.size()) wasSelected[static_cast<size_t>(row)] = true;
  }
  const int focused = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
  const std::vector<int> order = m_results.SortByColumn(column);
  if (order.empty()) return;
  RefillResultsList();
  // The selection and the focus move with their rows.
  for (size_t row = 0; row < order.size(); ++row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (wasSelected[static_cast<size_t>(order[row])]) state.state |= LVIS_SELECTED;
    if (order[row] == focused) state.state |= LVIS_FOCUSED;
    if (state.state != 0) {
      ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    if (order[row] == focused) ::SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
  }
  ShowSortArrow();
}

void CKelpwiseDlg::ShowSortArrow() {
  const HWND header =
      reinterpret_cast<HWND>(::SendMessageA(m_listResults.hwnd(), LVM_GETHEADER, 0, 0));
  if (header == nullptr) return;
  const int columns = m_listResults.GetColumnCount();
  for (int column = 0; column < columns; ++column) {
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!::SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == m_results.sortColumn()) {
      item.fmt |= m_results.sortAscending() ? HDF_SORTUP : HDF_SORTDOWN;
    }
    ::SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
  }
}

void CKelpwiseDlg::FitResultColumns() {
  const HWND list = m_listResults.hwnd();
  const int columns = m_listResults.GetColumnCount();
  if (columns != 3) return;
  // Measuring a text costs the list a device context, and a search lists
  // thousands of rows: only each column's longest few texts are measured.
  constexpr size_t kMeasured = 16;
  const auto textWidth = [list](const std::string& text) {
    return static_cast<int>(
        ::SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  // The list's room around a cell's text, and around a heading's.
  const int cellMargin = 12, headingMargin = 2 * ::GetSystemMetrics(SM_CXEDGE) + 12;
  int iconWidth = 0, iconHeight = 0;
  ::ImageList_GetIconSize(m_imageList.handle(), &iconWidth, &iconHeight);
  std::vector<int> wanted;
  for (int column = 0; column < columns; ++column) {
    std::vector<const std::string*> texts;
    for (const ResultRow& row : m_results.rows())
      texts.push_back(column == 0 ? &row.category : column == 1 ? &row.valueName : &row.shown);
    const size_t measured = std::min(kMeasured, texts.size());
    std::partial_sort(
        texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(measured), texts.end(),
        [](const std::string* a, const std::string* b) { return a->size() > b->size(); });
    int width = 0;
    for (size_t i = 0; i < measured; ++i) width = std::max(width, textWidth(*texts[i]));
    width += cellMargin + (column == 0 ? iconWidth + 2 : 0);
    char heading[256] = "";
    LVCOLUMNA item = {};
    item.mask = LVCF_TEXT;
    item.pszText = heading;
    item.cchTextMax = sizeof heading;
    ::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
    wanted.push_back(std::max(width, textWidth(heading) + headingMargin));
  }
  RECT inner;
  ::GetClientRect(list, &inner);
  const std::vector<int> widths = FitColumnWidths(wanted, inner.right - inner.left);
  for (int column = 0; column < columns; ++column) {
    m_listResults.SetColumnWidth(column, widths[static_cast<size_t>(column)]);
  }
}

void CKelpwiseDlg::OnSelectAll() {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  ::SendMessageA(m_listResults.hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
}

void CKelpwiseDlg::OnCopy() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const std::string text = CopiedRowsText(m_results, rows);
  // The clipboard takes the text as UTF-16, converted from the ANSI code page.
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) * sizeof(wchar_t));
  bool copied = false;
  if (memory != nullptr) {
    auto* wide = static_cast<wchar_t*>(::GlobalLock(memory));
    if (wide != nullptr) {
      ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, length);
      ::GlobalUnlock(memory);
      if (::OpenClipboard(hwnd())) {
        ::EmptyClipboard();
        copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        ::CloseClipboard();
      }
    }
    // The clipboard owns the memory only once it took it.
    if (!copied) ::GlobalFree(memory);
  }
  if (!copied) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_CLIPBOARD_BUSY), kProductCaption,
                MB_OK | MB_ICONEXCLAMATION);
  }
}

bool CKelpwiseDlg::OnListContextMenu(HWND from, LPARAM where) {
  if (from != m_listResults.hwnd()) return false;
  if (!m_bDeletePending || !IsEnabled(m_btnRemove)) return true;
  POINT point = {GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {
    // From the keyboard: below the focused row, or the list's corner.
    const int row =
        static_cast<int>(::SendMessageA(from, LVM_GETNEXTITEM, -1, LVNI_FOCUSED | LVNI_SELECTED));
    RECT rect = {};
    rect.left = LVIR_LABEL;
    point = {0, 0};
    if (row >= 0 && ::SendMessageA(from, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect))) {
      point = {rect.left, rect.bottom};
    }
    ::ClientToScreen(from, &point);
  }
  Menu menu(::CreatePopupMenu());
  if (!menu.IsValid()) return true;
  menu.AppendItem(IDC_REMOVE, m_translation.LookupText(TXT_BUTTON_REMOVE));
  menu.AppendItem(IDC_MORE_INFO, m_translation.LookupText(TXT_BUTTON_MORE_INFO));
  menu.AppendSeparator();
  menu.AppendItem(IDM_LIST_COPY, m_translation.LookupText(TXT_MENU_COPY));
  if (m_listResults.GetNextSelected() < 0) {
    ::EnableMenuItem(menu.handle(), IDM_LIST_COPY, MF_BYCOMMAND | MF_GRAYED);
  }
  const int command = static_cast<int>(::TrackPopupMenu(
      menu.handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd(), nullptr));
  ::DestroyMenu(menu.handle());
  if (command != 0) OnCommand(command, 0);
  return true;
}

bool CKelpwiseDlg::OnListNotify(const NMHDR& header) {
  if (header.idFrom != IDC_LIST_RESULTS || header.code != LVN_COLUMNCLICK) return false;
  OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  return true;
}

}  // namespace kw
