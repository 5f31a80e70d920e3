#include "app/WelcomePanel.h"

#include "res/resource.h"

namespace kw {

CWelcomePanel::CWelcomePanel() : Dialog(IDD_WELCOME) {}

void CWelcomePanel::DoDataExchange(DataExchange& dx) {
  dx.Text(IDC_WELCOME_HEADING, m_strHeading);
  dx.Text(IDC_WELCOME_INTRO, m_strIntro);
  dx.Text(IDC_WELCOME_FEATURES, m_strFeatures);
}

bool CWelcomePanel::OnInitDialog() {
  Dialog::OnInitDialog();
  m_strHeading = m_strHeadingText;
  m_strIntro = m_strIntroText;
  m_strFeatures = m_strFeaturesText;
  UpdateData(false);
  return true;
}

}  // namespace kw
