#include "app/KelpwiseDlg.h"

#include "cleaning/IgnoreList.h"
#include "i18n/TextIds.h"
#include "res/ProductName.h"
#include "res/resource.h"
#include "system/FileError.h"

namespace kw {

namespace {

constexpr UINT_PTR kAutoStartTimer = 3;
constexpr UINT kAutoStartDelayMs = 47;

// The reports of handlers that failed: a file error names its file.
std::string DescribeError(const std::exception& error) {
  const auto* fileError = dynamic_cast<const FileError*>(&error);
  return fileError != nullptr ? fileError->Message() : std::string();
}

const char kAutomaticStartup[] = "automatically";
const char kManualStartup[] = "manually";

struct MenuText {
  int position;
  int textId;
};

constexpr MenuText kFileMenuTexts[] = {
    {0, TXT_MENU_NEW_SEARCH}, {2, TXT_MENU_OPTIONS}, {3, TXT_MENU_REVERSE},
    {5, TXT_MENU_LANGUAGE},   {7, TXT_MENU_EXIT},
};
constexpr MenuText kHelpMenuTexts[] = {
    {0, TXT_MENU_HELP_FILE}, {2, TXT_MENU_WEBSITE}, {4, TXT_MENU_ABOUT}};

struct ColumnLayout {
  int textId;
  int width;
};
constexpr ColumnLayout kColumns[] = {
    {TXT_COLUMN_CATEGORY, 110}, {TXT_COLUMN_NAME, 75}, {TXT_COLUMN_DATA, 375}};

}  // namespace

CKelpwiseDlg::CKelpwiseDlg(bool automaticStart, Environment& env)
    : Dialog(IDD_KELPWISE_DIALOG),
      m_translation(env),
      m_dlgOptions(env),
      m_tools(env),
      m_hIcon(::LoadIconA(Dialog::ResourceModule(), MAKEINTRESOURCEA(IDI_KELPWISE))),
      m_hSmallIcon(static_cast<HICON>(::LoadImageA(
          Dialog::ResourceModule(), MAKEINTRESOURCEA(IDI_KELPWISE), IMAGE_ICON,
          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED))),
      m_bAutomaticStart(automaticStart) {
  Dialog::SetErrorReport(kProductCaption, &DescribeError);
}

void CKelpwiseDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_MORE_INFO, m_btnMoreInfo);
  dx.Control(IDC_OPTIONS, m_btnOptions);
  dx.Control(IDC_REMOVE, m_btnRemove);
  dx.Control(IDC_START_SEARCH, m_btnStartSearch);
  dx.Control(IDC_LIST_RESULTS, m_listResults);
  dx.Text(IDC_STATUS, m_strStatus);
  dx.Text(IDC_CHECKING, m_strChecking);
}

bool CKelpwiseDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  SetUpResizing();
  AddAboutToSystemMenu();
  ::SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageA(hwnd(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(m_hSmallIcon ? m_hSmallIcon : m_hIcon));

  InstallListKeys();
  LoadIgnoreList();
  m_dpi = WindowDpi(hwnd());
  BuildImageList();
  ScaleBanners();
  m_translation.LoadLanguage();
  TranslateMenu();
  ResetResultsList();
  LoadOptions();

  m_strStatus = m_translation.LookupText(TXT_STATUS_IDLE);
  m_btnRemove.Enable(false);
  m_btnMoreInfo.Enable(false);
  m_btnStartSearch.SetText(m_translation.LookupText(TXT_BUTTON_START_SEARCH));
  m_btnRemove.SetText(m_translation.LookupText(TXT_BUTTON_REMOVE));
  m_btnOptions.SetText(m_translation.LookupText(TXT_BUTTON_OPTIONS));
  m_btnMoreInfo.SetText(m_translation.LookupText(TXT_BUTTON_MORE_INFO));
  m_bDeletePending = false;

  ShowWelcomePanel();
  if (!AskAutomaticStart()) return true;

  m_strChecking.clear();
  UpdateData(false);
  return true;
}

void CKelpwiseDlg::AddAboutToSystemMenu() {
  Menu systemMenu(::GetSystemMenu(hwnd(), FALSE));
  std::string aboutText = LoadResourceString(ResourceModule(), IDS_ABOUTBOX);
  if (!systemMenu.IsValid() || aboutText.empty() || systemMenu.ContainsCommand(IDM_ABOUTBOX)) {
    return;
  }
  systemMenu.AppendSeparator();
  systemMenu.AppendItem(IDM_ABOUTBOX, aboutText);
}

void CKelpwiseDlg::LoadIgnoreList() {
  m_arrIgnoreList.clear();
  m_arrIgnoreList = kw::LoadIgnoreList(m_tools.GetProgramDir() + "\\blacklist.ini");
}

void CKelpwiseDlg::TranslateMenu() {
  Menu menuBar(::GetMenu(hwnd()));
  if (!menuBar.IsValid()) return;
  Menu fileMenu = menuBar.SubMenu(0);
  Menu helpMenu = menuBar.SubMenu(1);
  menuBar.SetTextByPosition(0, m_translation.LookupText(TXT_MENU_FILE));
  menuBar.SetTextByPosition(1, m_translation.LookupText(TXT_MENU_HELP));
  for (const MenuText& item : kFileMenuTexts) {
    fileMenu.SetTextByPosition(item.position, m_translation.LookupText(item.textId));
  }
  for (const MenuText& item : kHelpMenuTexts) {
    helpMenu.SetTextByPosition(item.position, m_translation.LookupText(item.textId));
  }
  ::DrawMenuBar(hwnd());
}

void CKelpwiseDlg::ResetResultsList() {
  m_listResults.DeleteAllRows();
  for (int column = m_listResults.GetColumnCount() - 1; column >= 0; --column) {
    m_listResults.DeleteColumn(column);
  }
  m_results.Clear();

  int column = 0;
  for (const ColumnLayout& layout : kColumns) {
    m_listResults.InsertColumn(column++, m_translation.LookupText(layout.textId));
  }
  column = 0;
  for (const ColumnLayout& layout : kColumns) {
    m_listResults.SetColumnWidth(column++, ScaleForDpi(layout.width, m_dpi));
  }
}

void CKelpwiseDlg::LoadOptions() {
  m_dlgOptions.m_strOptions = m_tools.ReadSetting("Options");
  // The switch always follows the stored string, so that a rerun after a
  // change of language does not keep an unsaved automatic start.
  m_dlgOptions.m_bAutoStart = ReadOptionFlags(m_dlgOptions.m_strOptions)[kOptionAutoStart];

  m_dlgOptions.m_arrTexts.clear();
  for (const OptionsCaption& caption : kOptionsCaptions) {
    m_dlgOptions.m_arrTexts.push_back(m_translation.LookupText(caption.textId));
  }
  m_dlgOptions.m_strDays = m_tools.ReadSetting("CheckTime");
}

void CKelpwiseDlg::ShowWelcomePanel() {
  m_welcomePanel.m_strHeadingText = m_translation.LookupText(TXT_WELCOME_HEADING);
  m_welcomePanel.m_strIntroText = m_translation.LookupText(TXT_WELCOME_INTRO);
  m_welcomePanel.m_strFeaturesText = m_translation.LookupText(TXT_WELCOME_FEATURES);
  // The panel's window never exists twice: an old one goes first.
  m_welcomePanel.DestroyWindow();
  if (m_welcomePanel.Create(hwnd())) {
    FollowWelcomePanel();
    ::ShowWindow(m_welcomePanel.hwnd(), SW_SHOW);
  }
  m_listResults.Show(SW_HIDE);
}

bool CKelpwiseDlg::AskAutomaticStart() {
  // A start-up after a change of language does not ask again.
  const bool flagged = m_bAutomaticStart;
  m_bAutomaticStart = false;
  // Another launcher marks the run in config.ini. The mark is reset first,
  // so that the next start is a normal one whatever the answer; /autostart
  // leaves config.ini as it is, which its starter cannot write.
  if (m_tools.ReadSetting("Startup") == kAutomaticStartup) {
    m_tools.WriteSetting("Startup", kManualStartup);
  } else if (!flagged) {
    return true;
  }
  std::string question = m_translation.LookupText(TXT_AUTOSTART_1) + "\n\n" +
                         m_translation.LookupText(TXT_AUTOSTART_2);
  int answer = ShowMessage(hwnd(), question, m_translation.LookupText(TXT_CAPTION),
                           MB_YESNO | MB_ICONEXCLAMATION);
  if (answer == IDYES) {
    ::SetTimer(hwnd(), kAutoStartTimer, kAutoStartDelayMs, nullptr);
    return true;
  }
  OnCancel();
  return false;
}

bool CKelpwiseDlg::OnCommand(int id, int code) {
  static const CommandEntry<CKelpwiseDlg> kCommands[] = {
      {IDM_HELP_ABOUT, &CKelpwiseDlg::OnAbout},
      {IDC_START_SEARCH, &CKelpwiseDlg::OnStartSearch},
      {IDC_OPTIONS, &CKelpwiseDlg::OnOptions},
      {IDM_FILE_OPTIONS, &CKelpwiseDlg::OnFileOptions},
      {IDM_FILE_NEW_SEARCH, &CKelpwiseDlg::OnStartNewSearch},
      {IDC_REMOVE, &CKelpwiseDlg::OnRemoveFromList},
      {IDM_FILE_REVERSE_CHANGES, &CKelpwiseDlg::OnReverseChanges},
      {IDM_HELP_SHOW_FILE, &CKelpwiseDlg::OnShowHelpFile},
      {IDM_HELP_WEBSITE, &CKelpwiseDlg::OnWebsite},
      {IDM_FILE_EXIT, &CKelpwiseDlg::OnExit},
      {IDC_MORE_INFO, &CKelpwiseDlg::OnMoreInfo},
      {IDM_FILE_LANGUAGE, &CKelpwiseDlg::OnLanguageSelection},
      {IDM_LIST_COPY, &CKelpwiseDlg::OnCopy},
      {IDM_LIST_SELECT_ALL, &CKelpwiseDlg::OnSelectAll},
  };
  // During a search only closing goes on: the window's close posts IDCANCEL,
  // which ends the program once the search is done.
  if (m_bSearching && id != IDCANCEL) return true;
  return DispatchCommand(this, kCommands, id, code) || Dialog::OnCommand(id, code);
}

bool CKelpwiseDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (OnDpiMessage(message, wParam, lParam)) return true;
  switch (message) {
    case WM_SYSCOMMAND:
      OnSysCommand(wParam);
      return true;
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    case WM_HELP:
      if (!m_bSearching) OnShowHelpFile();
      result = FALSE;
      return true;
    case WM_CLOSE:
      OnClose();
      return true;
    case WM_TIMER:
      OnTimer(wParam);
      return true;
    case WM_SIZE:
      OnSize(wParam);
      return true;
    case WM_MOVE:
      OnMove();
      return true;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return true;
    case WM_INITMENUPOPUP:
      Default();
      return true;
    case WM_NOTIFY:
      return OnListNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      return OnListContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_DESTROY:
      RemoveListKeys();
      return false;
    default:
      return false;
  }
}

void CKelpwiseDlg::OnTimer(UINT_PTR id) {
  ::KillTimer(hwnd(), kAutoStartTimer);
  // The search the automatic start asks for may already run.
  if (!m_bSearching) OnStartSearch();
  Default();
}

}  // namespace kw
