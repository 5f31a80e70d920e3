// The welcome panel: a framed child dialog over the results list until the
// first search, with a heading and two paragraphs between two thin rules.
// The owner stages the three texts, then creates the window.
#pragma once

#include <string>

#include "app/AnchoredChildren.h"
#include "framework/Dialog.h"

namespace kw {

class CWelcomePanel : public Dialog {
 public:
  CWelcomePanel();

  // Staged by the owner before the window is created.
  std::string m_strFeaturesText;
  std::string m_strIntroText;
  std::string m_strHeadingText;

  // Texts of the statics.
  std::string m_strHeading;
  std::string m_strIntro;
  std::string m_strFeatures;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  // WM_SIZE: the rules and texts take the panel's width.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  AnchoredChildren m_layout;
};

}  // namespace kw
