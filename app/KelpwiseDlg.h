// The main window: results list, four buttons, status and progress lines,
// the menu bar and the welcome panel. It owns every lasting state of a run,
// and all commands of the program arrive through its handlers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/AnchoredChildren.h"
#include "app/DisplayScale.h"
#include "app/WelcomePanel.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "i18n/TranslationTable.h"
#include "options/OptionsDlg.h"
#include "scan/ResultModel.h"
#include "scan/SearchPass.h"
#include "system/SystemTools.h"

namespace kw {

// The DPI of `window`'s monitor (Windows 10 1607 and later), else the system's.
int WindowDpi(HWND window);

class CKelpwiseDlg : public Dialog, private SearchPassListener {
 public:
  // `automaticStart`: the run was started with /autostart.
  explicit CKelpwiseDlg(bool automaticStart, Environment& env = CurrentEnvironment());

 protected:
  // The start-up sequence. Runs again after a change of language and brings
  // the window back to its freshly started state in the new language.
  bool OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Search commands.
  void OnStartSearch();
  void OnStartNewSearch();

  // Start-up steps.
  void AddAboutToSystemMenu();
  void LoadIgnoreList();
  // The list's images at the window's scale.
  void BuildImageList();
  // The banners' art at the window's scale; ReleaseBanners takes it back
  // from the statics and frees it.
  void ScaleBanners();
  void ReleaseBanners();
  void TranslateMenu();
  void ResetResultsList();
  void LoadOptions();
  void ShowWelcomePanel();
  // On the first start-up of an automatic start (/autostart, or "Startup"
  // = "automatically" in config.ini) asks whether to search now. False when
  // the user declined and the dialog ended.
  bool AskAutomaticStart();

  // The search pass.
  void PrepareSearch();
  void RunSearchCategories();
  void FinishSearch();
  // Paints the progress line and the rows found since the last repaint,
  // and answers the messages waiting for the window every kAnswerInterval.
  void RepaintIfDue();
  // Runs the messages waiting for the window when the last run is
  // kAnswerInterval ago (longer after a long run); `now` from GetTickCount.
  void AnswerIfDue(DWORD now);
  // Puts the rows the model holds beyond the listed ones into the list;
  // false when there were none.
  bool ListNewRows();
  // At a repaint: lists the new rows and lets the list redraw, when they
  // fall in its visible page or the rows out of sight are due; true when it
  // did.
  bool ShowNewRowsIfDue(DWORD now);
  void OnKeyEntered(const std::string& keyPath) override;
  void OnEntryAdded(int row, int category, const std::string& keyPath, bool fileReference) override;
  // Shows the loop's message, saves the settings and ends the dialog: the
  // program closes once the pass is done.
  void OnKeyLoop(const std::string& keyPath, const std::string& entry) override;

  // Backup and deletion of the listed entries.
  void DeleteEntries();
  // Holds the machine's clean-up lock, waiting with a status line while
  // another clean-up runs.
  std::unique_ptr<CleanUpLock> WaitForOtherCleanUps();
  void ReturnToResults();
  void ReturnToIdle();

  // Window messages.
  // A change of display scale (the window moved to another monitor), and
  // what follows it; true when `message` was one of them.
  bool OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnSysCommand(WPARAM id);
  bool OnPaint();
  void OnTimer(UINT_PTR id);

  // The sizing border (KelpwiseDlgLayout.cpp). At the first start-up: takes
  // the template's layout and size as the smallest, then brings back the
  // stored placement.
  void SetUpResizing();
  // Lays the new welcome panel over the list as the list lies now.
  void FollowWelcomePanel();
  // After a change of scale, which moved and sized the controls: their
  // layout and the smallest size from now on.
  void RescaleLayout(int fromDpi, int toDpi);
  void OnSize(WPARAM type);
  void OnMove();
  void OnGetMinMaxInfo(MINMAXINFO* info);
  // Stores the size, place and maximised state in config.ini.
  void SavePlacement();

  // Commands.
  void OnAbout();
  void OnOptions();
  void OnFileOptions();
  void OnReverseChanges();
  void OnRemoveFromList();
  void OnMoreInfo();
  void OnShowHelpFile();
  void OnWebsite();
  void OnClose();
  void OnExit();
  void OnLanguageSelection();

  // The results list to work with (KelpwiseDlgList.cpp): its keys (F5,
  // Delete, Enter, Ctrl+A, Ctrl+C), context menu, sorting and columns.
  void InstallListKeys();
  void RemoveListKeys();
  // The selected rows, top to bottom.
  std::vector<int> SelectedRows() const;
  // Shows the model's rows in the model's order.
  void RefillResultsList();
  void OnColumnClick(int column);
  // The arrow in the heading of the column the model is sorted by.
  void ShowSortArrow();
  // Fits the columns to their texts within the list; the data column takes the rest.
  void FitResultColumns();
  void OnSelectAll();
  void OnCopy();
  // False when the menu was not asked for by the results list.
  bool OnListContextMenu(HWND from, LPARAM where);
  bool OnListNotify(const NMHDR& header);

  // The images of the results list, one per search category, 16 pixels at
  // 96 DPI.
  ImageList m_imageList;
  // The window's DPI, for what it draws in pixels.
  int m_dpi = kDesignDpi;
  // Key paths below which the search does not descend (blacklist.ini).
  std::vector<std::string> m_arrIgnoreList;
  CWelcomePanel m_welcomePanel;
  TranslationTable m_translation;
  // Rows of the results list with their backup and info records, and the
  // number of rows.
  ResultModel m_results;
  // A finished search awaits deletion: Start Search backs up and deletes.
  bool m_bDeletePending = false;
  // The live settings: options string, automatic start, days.
  COptionsDlg m_dlgOptions;
  CSystemTools m_tools;

  Button m_btnMoreInfo;
  Button m_btnOptions;
  Button m_btnRemove;
  Button m_btnStartSearch;
  ListView m_listResults;
  std::string m_strStatus;    // static 1004
  std::string m_strChecking;  // static 1005, the "Currently Checking" line

  // The controls' places relative to the window's edges, the window's
  // smallest size (zero until set up) and its last rectangle while neither
  // maximised nor minimised.
  AnchoredChildren m_layout;
  SIZE m_minimumSize = {};
  RECT m_normalRect = {};

  HICON m_hIcon;
  HICON m_hSmallIcon;

  // A search pass runs: the window takes no command but closing (IDCANCEL).
  bool m_bSearching = false;
  // During a pass: the format of the progress line, the key last entered,
  // the rows the list holds, the times the last repaint, the last listing
  // of new rows and the last answer to the waiting messages ended and how
  // long that answer took (milliseconds), and the calls of RepaintIfDue.
  std::string m_strCheckingFormat;
  std::string m_strCurrentKey;
  size_t m_nListedRows = 0;
  DWORD m_lastRepaint = 0;
  DWORD m_lastRowsShown = 0;
  DWORD m_lastAnswer = 0;
  DWORD m_answerCost = 0;
  unsigned m_nRepaintCalls = 0;

  // Started with /autostart, and its question not asked yet.
  bool m_bAutomaticStart;
};

}  // namespace kw
