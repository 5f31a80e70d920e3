// The main window's sizing border: its controls follow the window's edges,
// it never gets smaller than its template, and its place comes back from
// config.ini on the next start.
#include "app/DisplayScale.h"
#include "app/KelpwiseDlg.h"
#include "app/WindowLayout.h"
#include "res/resource.h"

namespace kw {

namespace {

// The list and its frame take the room the window gains; the banners, the
// progress and status lines stretch along the edges they lie on; Options
// stays at the left, the other buttons keep to the right.
constexpr ControlAnchor kMainWindowAnchors[] = {
    {IDC_BANNER_TOP, kAnchorLeft | kAnchorTop | kAnchorRight},
    {IDC_RESULTS_GROUP, kAnchorAll},
    {IDC_LIST_RESULTS, kAnchorAll},
    {IDC_CHECKING, kAnchorLeft | kAnchorRight | kAnchorBottom},
    {IDC_STATUS, kAnchorLeft | kAnchorRight | kAnchorBottom},
    {IDC_OPTIONS, kAnchorLeft | kAnchorBottom},
    {IDC_MORE_INFO, kAnchorRight | kAnchorBottom},
    {IDC_REMOVE, kAnchorRight | kAnchorBottom},
    {IDC_START_SEARCH, kAnchorRight | kAnchorBottom},
    {IDOK, kAnchorLeft | kAnchorBottom},
    {IDCANCEL, kAnchorLeft | kAnchorBottom},
    {IDC_BANNER_BOTTOM, kAnchorLeft | kAnchorRight | kAnchorBottom},
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoA(monitor, &info)) return TRUE;
  auto* found = reinterpret_cast<std::vector<Box>*>(areas);
  const Box area{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  found->insert((info.dwFlags & MONITORINFOF_PRIMARY) ? found->begin() : found->end(), area);
  return TRUE;
}

// The work areas of the monitors attached now, the primary one first.
std::vector<Box> WorkAreas() {
  std::vector<Box> areas;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace

void CKelpwiseDlg::SetUpResizing() {
  if (m_minimumSize.cx != 0) return;  // done at the first start-up
  ::GetWindowRect(hwnd(), &m_normalRect);
  m_minimumSize = {m_normalRect.right - m_normalRect.left, m_normalRect.bottom - m_normalRect.top};
  m_layout.Capture(hwnd(), kMainWindowAnchors);

  const std::optional<WindowPlacement> stored = ParsePlacement(m_tools.ReadSetting(kPlacementKey));
  if (!stored) return;
  const Box box =
      PlaceOnVisibleMonitor(stored->normal, WorkAreas(), m_minimumSize.cx, m_minimumSize.cy);
  ::SetWindowPos(hwnd(), nullptr, box.left, box.top, box.Width(), box.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (stored->maximized) ::ShowWindow(hwnd(), SW_MAXIMIZE);
}

void CKelpwiseDlg::RescaleLayout(int fromDpi, int toDpi) {
  if (m_minimumSize.cx == 0) return;
  m_minimumSize = {ScaleForDpi(m_minimumSize.cx, toDpi, fromDpi),
                   ScaleForDpi(m_minimumSize.cy, toDpi, fromDpi)};
  m_layout.Capture(hwnd(), kMainWindowAnchors);
}

void CKelpwiseDlg::FollowWelcomePanel() {
  m_layout.Add(m_welcomePanel.hwnd(), kAnchorAll);
  m_layout.Apply();
}

void CKelpwiseDlg::OnSize(WPARAM type) {
  if (type != SIZE_MINIMIZED) m_layout.Apply();
  OnMove();
}

void CKelpwiseDlg::OnMove() {
  if (m_minimumSize.cx == 0 || ::IsIconic(hwnd()) || ::IsZoomed(hwnd())) return;
  ::GetWindowRect(hwnd(), &m_normalRect);
}

void CKelpwiseDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
  if (m_minimumSize.cx != 0) info->ptMinTrackSize = {m_minimumSize.cx, m_minimumSize.cy};
}

void CKelpwiseDlg::SavePlacement() {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  ::GetWindowPlacement(hwnd(), &placement);
  const bool maximized =
      ::IsZoomed(hwnd()) || (::IsIconic(hwnd()) && (placement.flags & WPF_RESTORETOMAXIMIZED));
  const RECT& r = m_normalRect;
  m_tools.WriteSetting(kPlacementKey,
                       FormatPlacement({{r.left, r.top, r.right, r.bottom}, maximized}), true);
}

}  // namespace kw
