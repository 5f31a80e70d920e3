#include "i18n/LanguageDlg.h"

#include "res/resource.h"

namespace kw {

CLanguageDlg::CLanguageDlg(Environment& env) : Dialog(IDD_LANGUAGE), m_tools(env) {}

void CLanguageDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_LANGUAGE_COMBO, m_comboLanguage);
  dx.Control(IDC_LANGUAGE_GROUP, m_groupLanguage);
  dx.ComboText(IDC_LANGUAGE_COMBO, m_strChoice);
}

bool CLanguageDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  m_groupLanguage.SetText(m_strCaption);
  m_arrLanguages.clear();
  m_arrLanguages = ReadLanguagePairs(LanguageFilePath(m_tools));
  for (const LanguagePair& pair : m_arrLanguages) m_comboLanguage.AddString(pair.displayName);
  m_strChoice = ChoiceForLanguage(m_arrLanguages, m_strLanguage);
  UpdateData(false);
  return true;
}

void CLanguageDlg::OnOK() {
  UpdateData(true);
  m_strLanguage = LanguageForChoice(m_arrLanguages, m_strChoice, m_strLanguage);
  EndDialog(IDOK);
}

}  // namespace kw
