// The main window's search pass: Start Search, Start New Search and the
// window's side of the pass (progress line, rows, repainting, the key-loop
// message).
#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include "app/KelpwiseDlg.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "res/resource.h"
#include "scan/ScanCategories.h"
#include "scan/SearchPass.h"
#include "system/Environment.h"
#include "system/Registry.h"
#include "system/Shutdown.h"

namespace kw {

namespace {
// During a pass the progress line is painted this often (milliseconds): it
// moves five times a second, and still more than twice when a key with many
// subkeys holds the walk for a while.
constexpr DWORD kRepaintInterval = 200;
// New rows below the list's visible page join it at most this often
// (milliseconds): turning the list's redraw back on costs time that grows
// with its rows, and out of sight only the scroll bar changes.
constexpr DWORD kHiddenRowsInterval = 1000;
// During a pass the window answers the messages waiting for its thread
// this often (milliseconds)...
constexpr DWORD kAnswerInterval = 50;
// ...or, when answering took long, after at least this many times its own
// duration of searching, so that answering takes at most a twentieth of the
// pass...
constexpr DWORD kSearchPerAnswer = 19;
// ...but never later than this: a long answer is more often the system
// giving the processor to another program than the messages' own cost.
constexpr DWORD kLongestAnswerGap = 100;
// One answer ends after this long even while new messages keep arriving.
constexpr DWORD kAnswerBudget = 30;
// The clock is read on every this many calls of RepaintIfDue (once per key
// and per file-reference entry): a few keys take far less than the interval.
constexpr unsigned kCallsPerClockRead = 8;
// Length up to which the progress line shows a key path whole.
constexpr int kShownKeyPath = 70;

// While the list view does not redraw, a new row costs no painting and no
// scroll bar update; the list catches up when it redraws again.
void SetListRedraw(const ListView& list, bool redraw) {
  ::SendMessageA(list.hwnd(), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) ::InvalidateRect(list.hwnd(), nullptr, TRUE);
}

// Whether `row` is in the list's visible page, or right below it.
bool IsRowInSight(const ListView& list, size_t row) {
  const LRESULT top = ::SendMessageA(list.hwnd(), LVM_GETTOPINDEX, 0, 0);
  const LRESULT page = ::SendMessageA(list.hwnd(), LVM_GETCOUNTPERPAGE, 0, 0);
  return static_cast<LRESULT>(row) <= top + page;
}

// Whether the window takes `message` during a pass. Keys and clicks in its
// client area are dropped, so that no button, list or key command acts
// before the pass is done; the frame still moves, minimises and closes, and
// everything else (painting, messages from other programs) runs.
bool TakenDuringPass(UINT message) {
  const bool key =
      message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_DEADCHAR;
  const bool click = message > WM_MOUSEMOVE && message <= WM_MOUSELAST;
  return !key && !click;
}

// Runs the messages waiting for the thread, within kAnswerBudget.
void AnswerWaitingMessages() {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < kAnswerBudget &&
         ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The window's modal loop ends on it once the pass is done.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!TakenDuringPass(msg.message)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// For its lifetime: marks a pass in progress and greys the menu bar, whose
// commands wait for the pass's end like those of the buttons.
class PassInProgress {
 public:
  PassInProgress(HWND window, bool& searching) : m_window(window), m_searching(searching) {
    m_searching = true;
    EnableMenuBar(false);
  }
  ~PassInProgress() {
    m_searching = false;
    EnableMenuBar(true);
  }
  PassInProgress(const PassInProgress&) = delete;
  PassInProgress& operator=(const PassInProgress&) = delete;

 private:
  void EnableMenuBar(bool enable) const {
    HMENU menu = ::GetMenu(m_window);
    if (menu == nullptr) return;
    for (int i = 0, count = ::GetMenuItemCount(menu); i < count; ++i) {
      ::EnableMenuItem(menu, i, MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    }
    ::DrawMenuBar(m_window);
  }

  HWND m_window;
  bool& m_searching;
};

// Sets the registry's listing hook for its lifetime.
class ListingHook {
 public:
  ListingHook(Registry& registry, std::function<void()> hook) : m_registry(registry) {
    m_registry.SetListingHook(std::move(hook));
  }
  ~ListingHook() { m_registry.SetListingHook(nullptr); }
  ListingHook(const ListingHook&) = delete;
  ListingHook& operator=(const ListingHook&) = delete;

 private:
  Registry& m_registry;
};

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
  PassInProgress pass(hwnd(), m_bSearching);
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
  ShowSortArrow();
  m_strStatus = m_translation.LookupText(TXT_STATUS_SEARCHING);
  UpdateData(false);
}

void CKelpwiseDlg::RunSearchCategories() {
  std::array<std::string, kCategoryCount> names;
  for (int i = 0; i < kCategoryCount; ++i) {
    names[i] = m_translation.LookupText(CategoryTextId(i));
  }
  m_strCheckingFormat = m_translation.LookupText(TXT_CHECKING);
  m_lastRepaint = m_lastRowsShown = m_lastAnswer = ::GetTickCount();
  m_answerCost = 0;
  m_nRepaintCalls = 0;
  m_nListedRows = 0;
  SearchPass pass(m_tools, m_results, *this, m_arrIgnoreList, names,
                  ReadOptionFlags(m_dlgOptions.m_strOptions));
  // The list shows its new rows when the window repaints (RepaintIfDue).
  ListRedrawPause pause(m_listResults);
  // A key with thousands of subkeys takes a while to list.
  ListingHook hook(m_tools.environment().registry(), [this] { AnswerIfDue(::GetTickCount()); });
  pass.Run();
  ListNewRows();
}

void CKelpwiseDlg::FinishSearch() {
  for (int row : m_results.SettlePass()) m_listResults.DeleteRow(row);
  FitResultColumns();
  m_strStatus =
      FormatWithNumber(m_translation.LookupText(TXT_STATUS_FOUND), m_results.m_nEntryCount);
  m_strChecking.clear();
  m_btnRemove.Enable(true);
  m_btnOptions.Enable(true);
  m_btnMoreInfo.Enable(true);
  m_btnStartSearch.SetText(m_translation.LookupText(TXT_BUTTON_DELETE));
  m_bDeletePending = true;
  UpdateData(false);
}

void CKelpwiseDlg::OnKeyEntered(const std::string& keyPath) {
  // The progress line shows the key when the window repaints (RepaintIfDue).
  m_strCurrentKey = keyPath;
  RepaintIfDue();
}

void CKelpwiseDlg::OnEntryAdded(int, int, const std::string&, bool fileReference) {
  // The list takes the row with the next repaint (ListNewRows).
  if (fileReference) RepaintIfDue();
}

void CKelpwiseDlg::OnKeyLoop(const std::string& keyPath, const std::string& entry) {
  // A loop below a key whose name has a line break may leave no key to
  // ignore: the message then names the looping path and claims no entry.
  std::string message =
      m_translation.LookupText(TXT_LOOP_1) + "\n\n" + (entry.empty() ? keyPath : entry) + "\n\n";
  if (!entry.empty()) message += m_translation.LookupText(TXT_LOOP_2) + "\n\n";
  message += m_translation.LookupText(TXT_LOOP_3);
  // The search lists its rows and lets the list redraw at its repaints;
  // behind the message the list shows every row found so far.
  ListNewRows();
  ::SendMessageA(m_listResults.hwnd(), WM_SETREDRAW, TRUE, 0);
  ShowMessage(hwnd(), message, kProductCaption, MB_OK | MB_ICONEXCLAMATION);
  // The pass adds the entry to blacklist.ini and walks on to its end; the
  // program closes when it returns to its message loop.
  SaveSettingsOnClose(m_tools, m_dlgOptions.m_strOptions, m_dlgOptions.m_bAutoStart,
                      m_dlgOptions.m_strDays);
  Dialog::OnOK();
}

bool CKelpwiseDlg::ListNewRows() {
  const std::vector<ResultRow>& rows = m_results.rows();
  if (m_nListedRows >= rows.size()) return false;
  for (; m_nListedRows < rows.size(); ++m_nListedRows) {
    const int row = static_cast<int>(m_nListedRows);
    const ResultRow& entry = rows[m_nListedRows];
    m_listResults.InsertRow(row, entry.category, entry.image);
    m_listResults.SetCellText(row, 1, entry.valueName);
    m_listResults.SetCellText(row, 2, entry.shown);
  }
  return true;
}

bool CKelpwiseDlg::ShowNewRowsIfDue(DWORD now) {
  if (m_nListedRows >= m_results.rows().size()) return false;
  if (now - m_lastRowsShown < kHiddenRowsInterval && !IsRowInSight(m_listResults, m_nListedRows)) {
    return false;
  }
  ListNewRows();
  m_lastRowsShown = now;
  // Turning the redraw on repaints the list whole.
  SetListRedraw(m_listResults, true);
  return true;
}

void CKelpwiseDlg::RepaintIfDue() {
  if (++m_nRepaintCalls % kCallsPerClockRead != 0) return;
  DWORD now = ::GetTickCount();
  if (now - m_lastRepaint >= kRepaintInterval) {
    m_strChecking = FormatWithText(m_strCheckingFormat,
                                   CSystemTools::ShortenText(m_strCurrentKey, kShownKeyPath));
    ::SetDlgItemTextA(hwnd(), IDC_CHECKING, m_strChecking.c_str());
    const bool rowsShown = ShowNewRowsIfDue(now);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (rowsShown) SetListRedraw(m_listResults, false);
    m_lastRepaint = now = ::GetTickCount();
  }

  AnswerIfDue(now);
}

void CKelpwiseDlg::AnswerIfDue(DWORD now) {
  const DWORD searched = now - m_lastAnswer;
  const DWORD gap = std::clamp(kSearchPerAnswer * m_answerCost, kAnswerInterval, kLongestAnswerGap);
  if (searched < gap) return;
  // Asking the queue is far cheaper than looking into it.
  if (HIWORD(::GetQueueStatus(QS_ALLINPUT)) != 0) AnswerWaitingMessages();
  m_lastAnswer = ::GetTickCount();
  m_answerCost = m_lastAnswer - now;
}

}  // namespace kw
