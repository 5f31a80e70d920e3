// The main window's small commands: About box, minimised icon, help file,
// web site, Options, Language Selection, close and Exit.
#include "app/AboutDlg.h"
#include "app/KelpwiseDlg.h"
#include "i18n/LanguageDlg.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "res/resource.h"
#include "system/InputChecks.h"
#include "system/Shutdown.h"
#include "system/Win32Unelevated.h"

namespace kw {

void CKelpwiseDlg::OnSysCommand(WPARAM id) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    if (m_bSearching) return;
    CAboutDlg about;
    about.DoModal(hwnd());
  } else {
    Default();
  }
}

void CKelpwiseDlg::OnAbout() {
  CAboutDlg about;
  about.DoModal(hwnd());
}

bool CKelpwiseDlg::OnPaint() {
  if (!::IsIconic(hwnd())) return false;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  ::SendMessageA(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  int iconWidth = ::GetSystemMetrics(SM_CXICON);
  int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  int x = (client.right - client.left - iconWidth + 1) / 2;
  int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(hwnd(), &paint);
  return true;
}

void CKelpwiseDlg::OnShowHelpFile() { ShellOpen(m_tools.GetProgramDir() + "\\help.chm"); }

// Only a web address is opened, and never with this program's administrator
// rights: where the desktop's shell cannot open it, the user gets it to copy.
void CKelpwiseDlg::OnWebsite() {
  const std::string homepage = m_tools.ReadSetting("Homepage");
  if (!IsWebAddress(homepage)) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_WEBSITE_REFUSED) + "\n\n" + homepage,
                kProductCaption, MB_OK | MB_ICONEXCLAMATION);
  } else if (!OpenUnelevated(homepage)) {
    ShowMessage(hwnd(), m_translation.LookupText(TXT_WEBSITE_TO_COPY) + "\n\n" + homepage,
                kProductCaption, MB_OK | MB_ICONINFORMATION);
  }
}

void CKelpwiseDlg::OnFileOptions() { OnOptions(); }

void CKelpwiseDlg::OnOptions() {
  std::string before = m_dlgOptions.m_strOptions;
  m_dlgOptions.DoModal(hwnd());
  if (m_dlgOptions.m_strOptions == before || !m_bDeletePending) return;
  std::string question = m_translation.LookupText(TXT_OPTIONS_CHANGED_1) + "\n\n" +
                         m_translation.LookupText(TXT_OPTIONS_CHANGED_2);
  if (ShowMessage(hwnd(), question, kProductCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    OnStartNewSearch();
  }
}

void CKelpwiseDlg::OnLanguageSelection() {
  std::string current = m_tools.ReadSetting("Language");
  CLanguageDlg chooser(m_tools.environment());
  chooser.m_strLanguage = current;
  chooser.m_strCaption = m_translation.LookupText(TXT_LANGUAGE_GROUP);
  chooser.DoModal(hwnd());
  if (chooser.m_strLanguage == current) return;
  m_tools.WriteSetting("Language", chooser.m_strLanguage);
  m_welcomePanel.DestroyWindow();
  OnInitDialog();
}

void CKelpwiseDlg::OnClose() {
  SaveSettingsOnClose(m_tools, m_dlgOptions.m_strOptions, m_dlgOptions.m_bAutoStart,
                      m_dlgOptions.m_strDays);
  SavePlacement();
  Default();
}

void CKelpwiseDlg::OnExit() {
  OnClose();
  Dialog::OnOK();
}

}  // namespace kw
