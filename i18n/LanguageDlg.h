// The Language Selection dialog: a drop-down list of the language file's
// sections by display name. In: the current "Language" value and the group
// box caption; out: the chosen section header in m_strLanguage.
#pragma once

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "i18n/LanguageList.h"
#include "system/SystemTools.h"

namespace kw {

class CLanguageDlg : public Dialog {
 public:
  explicit CLanguageDlg(Environment& env = CurrentEnvironment());

  CSystemTools m_tools;
  std::string m_strLanguage;
  std::string m_strCaption;
  // The sections in file order.
  std::vector<LanguagePair> m_arrLanguages;
  ComboBox m_comboLanguage;
  Button m_groupLanguage;
  // Text of the language box.
  std::string m_strChoice;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
};

}  // namespace kw
