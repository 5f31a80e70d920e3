// The Options dialog: which kinds of entries the search looks for, whether
// the results list breaks entries down, and the automatic start. One object
// lives in the main window for the whole run; its members are the live
// settings, and it writes nothing to disk itself.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "i18n/TextIds.h"
#include "options/OptionsString.h"
#include "res/resource.h"
#include "system/SystemTools.h"

namespace kw {

// One translated caption of the dialog: the text that fills it and the
// control that shows it (0: none, the title is not translated).
struct OptionsCaption {
  int textId;
  int controlId;
};

// The captions in the order of COptionsDlg::m_arrTexts, which the main
// window fills with their texts.
constexpr OptionsCaption kOptionsCaptions[] = {
    {TXT_OPTIONS_TITLE, 0},
    {TXT_OPTIONS_KIND_GROUP, IDC_GROUP_KINDS},
    {TXT_OPTIONS_DESCRIPTION, IDC_OPTIONS_DESCRIPTION},
    {CategoryTextId(0), IDC_CHECK_RUNMRU},
    {CategoryTextId(1), IDC_CHECK_SEARCH_ASSISTANT},
    {CategoryTextId(2), IDC_CHECK_PAINT},
    {CategoryTextId(3), IDC_CHECK_WORDPAD},
    {CategoryTextId(4), IDC_CHECK_EXPLORER},
    {CategoryTextId(5), IDC_CHECK_EXCEL},
    {CategoryTextId(6), IDC_CHECK_EXE},
    {CategoryTextId(7), IDC_CHECK_FONTS},
    {CategoryTextId(8), IDC_CHECK_SHARED_DLLS},
    {CategoryTextId(9), IDC_CHECK_COM},
    {CategoryTextId(10), IDC_CHECK_ACTIVEX},
    {CategoryTextId(11), IDC_CHECK_HELP_FILES},
    {TXT_OPTIONS_MORE_GROUP, IDC_GROUP_MORE},
    {TXT_OPTIONS_BREAK_DOWN, IDC_CHECK_BREAK_DOWN},
    {TXT_MENU_HELP, IDC_OPTIONS_HELP},
    {TXT_OPTIONS_CANCEL, IDCANCEL},
    {TXT_OPTIONS_AUTOSTART, IDC_CHECK_AUTOSTART},
    {TXT_OPTIONS_DAYS, IDC_DAYS_LABEL},
};

class COptionsDlg : public Dialog {
 public:
  explicit COptionsDlg(Environment& env = CurrentEnvironment());

  // Translated captions, filled by the main window in the order of
  // kOptionsCaptions.
  std::vector<std::string> m_arrTexts;
  CSystemTools m_tools;
  // Fourteen switches, "1" for on (see OptionsString.h).
  std::string m_strOptions;

  // Check boxes of positions 0 to 12: the categories, then break-down.
  std::array<bool, kOptionAutoStart> m_bCheck{};
  std::string m_strDescription;
  bool m_bAutoStart = false;
  // Days until the automatic start: the field's text as it stands (typing
  // takes digits only, a stored text may hold anything).
  std::string m_strDays;
  std::string m_strDaysLabel;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnHelp();
};

}  // namespace kw
