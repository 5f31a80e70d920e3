#include "options/OptionsDlg.h"

#include <iterator>

#include "res/resource.h"
#include "system/Shutdown.h"

namespace kw {

namespace {

// The category check boxes in category order (option positions 0 to 11).
constexpr int kCategoryCheckIds[kCategoryCount] = {
    IDC_CHECK_RUNMRU,      IDC_CHECK_SEARCH_ASSISTANT,
    IDC_CHECK_PAINT,       IDC_CHECK_WORDPAD,
    IDC_CHECK_EXPLORER,    IDC_CHECK_EXCEL,
    IDC_CHECK_EXE,         IDC_CHECK_FONTS,
    IDC_CHECK_SHARED_DLLS, IDC_CHECK_COM,
    IDC_CHECK_ACTIVEX,     IDC_CHECK_HELP_FILES};

}  // namespace

COptionsDlg::COptionsDlg(Environment& env) : Dialog(IDD_OPTIONS), m_tools(env) {}

void COptionsDlg::DoDataExchange(DataExchange& dx) {
  for (int i = 0; i < kCategoryCount; ++i) dx.Check(kCategoryCheckIds[i], m_bCheck[i]);
  dx.Check(IDC_CHECK_BREAK_DOWN, m_bCheck[kOptionBreakDown]);
  dx.Text(IDC_OPTIONS_DESCRIPTION, m_strDescription);
  dx.Check(IDC_CHECK_AUTOSTART, m_bAutoStart);
  dx.Text(IDC_DAYS, m_strDays);
  dx.Text(IDC_DAYS_LABEL, m_strDaysLabel);
}

bool COptionsDlg::OnInitDialog() {
  Dialog::OnInitDialog();

  const OptionFlags flags = ReadOptionFlags(m_strOptions);
  for (int position = 0; position < kOptionAutoStart; ++position) {
    m_bCheck[position] = flags[position];
  }
  m_bAutoStart = flags[kOptionAutoStart];

  // Captions the main window did not supply keep the template's text.
  for (size_t i = 0; i < m_arrTexts.size() && i < std::size(kOptionsCaptions); ++i) {
    const int id = kOptionsCaptions[i].controlId;
    if (id == IDC_OPTIONS_DESCRIPTION) {
      m_strDescription = m_arrTexts[i];
    } else if (id == IDC_DAYS_LABEL) {
      m_strDaysLabel = m_arrTexts[i];
    } else if (id != 0) {
      ::SetDlgItemTextA(hwnd(), id, m_arrTexts[i].c_str());
    }
  }

  // Typing is held to what a schedule can use; a stored text that is no
  // number still shows as it stands (the limit binds typing only).
  ::SendDlgItemMessageA(hwnd(), IDC_DAYS, EM_LIMITTEXT, kScheduleDaysDigits, 0);
  UpdateData(false);
  return true;
}

void COptionsDlg::OnOK() {
  UpdateData(true);
  OptionFlags flags{};
  for (int position = 0; position < kOptionAutoStart; ++position)
    flags[position] = m_bCheck[position];
  flags[kOptionAutoStart] = m_bAutoStart;
  m_strOptions = BuildOptions(flags);
  EndDialog(IDOK);
}

bool COptionsDlg::OnCommand(int id, int code) {
  static const CommandEntry<COptionsDlg> kCommands[] = {
      {IDC_OPTIONS_HELP, &COptionsDlg::OnHelp},
  };
  return DispatchCommand(this, kCommands, id, code) || Dialog::OnCommand(id, code);
}

bool COptionsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_HELP) return false;
  OnHelp();
  result = FALSE;
  return true;
}

void COptionsDlg::OnHelp() { ShellOpen(m_tools.GetProgramDir() + "\\help.chm"); }

}  // namespace kw
