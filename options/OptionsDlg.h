// The Options dialog: which kinds of entries the search looks for, whether
// the results list breaks entries down, and the automatic start. One object
// lives in the main window for the whole run; its members are the live
// settings, and it writes nothing to disk itself.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "i18n/TextIds.h"
#include "options/OptionsString.h"
#include "system/SystemTools.h"

namespace kw {

class COptionsDlg : public Dialog {
 public:
  explicit COptionsDlg(Environment& env = CurrentEnvironment());

  // Translated captions, filled by the main window (21 entries; entry 0 is
  // not shown).
  std::vector<std::string> m_arrTexts;
  CSystemTools m_tools;
  // Fourteen switches, "1" for on (see OptionsString.h).
  std::string m_strOptions;

  Button m_btnAutoStart;
  Button m_btnHelp;
  Button m_btnCancel;
  Button m_groupKinds;
  Button m_groupMore;
  Button m_btnBreakDown;
  std::array<Button, kCategoryCount> m_btnCategory;  // in category order

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
  void SetCaption(Control& control, size_t textIndex) const;
};

}  // namespace kw
