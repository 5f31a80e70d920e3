#include "app/WelcomePanel.h"

#include "res/resource.h"

namespace kw {

namespace {

constexpr ControlAnchor kPanelAnchors[] = {
    {IDC_WELCOME_RULE_TOP, kAnchorLeft | kAnchorTop | kAnchorRight},
    {IDC_WELCOME_HEADING, kAnchorLeft | kAnchorTop | kAnchorRight},
    {IDC_WELCOME_INTRO, kAnchorLeft | kAnchorTop | kAnchorRight},
    {IDC_WELCOME_FEATURES, kAnchorLeft | kAnchorTop | kAnchorRight},
    {IDC_WELCOME_RULE_BOTTOM, kAnchorLeft | kAnchorRight | kAnchorBottom},
};

}  // namespace

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
  m_layout.Capture(hwnd(), kPanelAnchors);
  return true;
}

bool CWelcomePanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_SIZE) return false;
  m_layout.Apply();
  return true;
}

}  // namespace kw
