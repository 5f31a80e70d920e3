// The main window's search pass: Start Search, Start New Search and the
// window's side of the key walk (progress line, rows, repainting).
#include <array>

#include "app/KelpwiseDlg.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "scan/KeyWalker.h"
#include "scan/PumpDlg.h"
#include "scan/ScanCategories.h"
#include "res/resource.h"

namespace kw {

namespace {
// The window repaints at most this often during a pass (milliseconds)...
constexpr DWORD kRepaintInterval = 20;
// ...and after at least this many times the last repaint's own duration of
// searching, so that repainting takes at most a tenth of the pass.
constexpr DWORD kSearchPerRepaint = 9;

// While the list view does not redraw, a new row costs no painting and no
// scroll bar update; the list catches up when it redraws again.
void SetListRedraw(const ListView& list, bool redraw) {
  ::SendMessageA(list.hwnd(), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) ::InvalidateRect(list.hwnd(), nullptr, TRUE);
}

// Keeps the list view from redrawing for its lifetime.
class ListRedrawPause {
 public:
  explicit ListRedrawPause(const ListView& list) : m_list(list) { SetListRedraw(m_list, false); }
  ~ListRedrawPause() { SetListRedraw(m_list, true); }
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

 private:
  const ListView& m_list;
};
}  // namespace

void CKelpwiseDlg::OnStartSearch() {
  if (m_bDeletePending) {
    DeleteEntries();
    return;
  }
  PrepareSearch();
  RunSearchCategories();
  FinishSearch();
}

void CKelpwiseDlg::OnStartNewSearch() {
  m_bDeletePending = false;
  m_listResults.DeleteAllRows();
  m_results.m_nEntryCount = 0;
  OnStartSearch();
}

void CKelpwiseDlg::PrepareSearch() {
  m_listResults.Show(SW_SHOWNORMAL);
  m_btnOptions.Enable(false);
  m_listResults.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
  m_welcomePanel.DestroyWindow();
  m_listResults.DeleteAllRows();
  m_results.Clear();
  m_strStatus = m_translation.LookupText(TXT_STATUS_SEARCHING);
  UpdateData(false);
}

void CKelpwiseDlg::RunSearchCategories() {
  std::array<std::string, kCategoryCount> names;
  for (int i = 0; i < kCategoryCount; ++i) {
    names[i] = m_translation.LookupText(CategoryTextId(i));
  }
  m_strCheckingFormat = m_translation.LookupText(TXT_CHECKING);
  m_lastRepaint = ::GetTickCount();
  m_repaintCost = 0;
  const OptionFlags options = ReadOptionFlags(m_dlgOptions.m_strOptions);
  KeyWalker walker(m_tools.environment().registry(), m_tools, m_results, *this, m_arrIgnoreList,
                   names, options);
  // The list shows its new rows when the window repaints (RepaintIfDue).
  ListRedrawPause pause(m_listResults);
  for (const ScanCategory& category : ScanCategories()) {
    if (!options[category.index]) continue;
    if (IsFileReference(category.check)) m_arrExtensions = category.extensions;
    m_strWalkStart = category.startKey;
    walker.ScanKey(names[category.index], category.startKey, category.check, m_arrExtensions);
  }
}

void CKelpwiseDlg::FinishSearch() {
  for (int row : m_results.SettlePass()) m_listResults.DeleteRow(row);
  m_strStatus = FormatWithNumber(m_translation.LookupText(TXT_STATUS_FOUND),
                                 m_results.m_nEntryCount);
  m_strChecking.clear();
  m_btnRemove.Enable(true);
  m_btnOptions.Enable(true);
  m_btnMoreInfo.Enable(true);
  m_btnStartSearch.SetText(m_translation.LookupText(TXT_BUTTON_DELETE));
  m_bDeletePending = true;
  UpdateData(false);
}

void CKelpwiseDlg::OnKeyEntered(const std::string& keyPath) {
  // The control gets the text when the window repaints (RepaintIfDue).
  m_strChecking = FormatWithText(m_strCheckingFormat, CSystemTools::ShortenText(keyPath, 70));
  RepaintIfDue();
}

void CKelpwiseDlg::OnKeyChecked(const std::string& keyPath) { CheckKeyLoop(keyPath); }

void CKelpwiseDlg::OnEntryAdded(int row, const std::string& keyPath, bool fileReference) {
  const ResultRow& entry = m_results.rows()[row];
  m_listResults.InsertRow(row, entry.category, entry.image);
  m_listResults.SetCellText(row, 1, entry.valueName);
  m_listResults.SetCellText(row, 2, entry.shown);
  CheckKeyLoop(keyPath);
  if (fileReference) RepaintIfDue();
}

void CKelpwiseDlg::RepaintIfDue() {
  const DWORD now = ::GetTickCount();
  const DWORD searched = now - m_lastRepaint;
  if (searched < kRepaintInterval || searched < kSearchPerRepaint * m_repaintCost) return;
  ::SetDlgItemTextA(hwnd(), IDC_CHECKING, m_strChecking.c_str());
  SetListRedraw(m_listResults, true);
  PumpMessages(hwnd());
  SetListRedraw(m_listResults, false);
  m_lastRepaint = ::GetTickCount();
  m_repaintCost = m_lastRepaint - now;
}

}  // namespace kw
