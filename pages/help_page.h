// What the five help pages share: the header layout, their texts and
// pictures, and the frame whose forward button is theirs to handle.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class HelpPage : public WizardPage {
 public:
  using WizardPage::WizardPage;
  virtual void BtnNextClick() = 0;

  gui::Button* BtnBack = nullptr;
  gui::Button* BtnNext = nullptr;
  gui::Button* Button1 = nullptr;  // "Cancel"

 protected:
  // Ends the page's construction: the frame, "< Back" back, "Cancel" end.
  void addHelpFrame(const char* forwardText) {
    addFrame(BtnBack, BtnNext, forwardText, Button1);
    BtnNext->onClick = [this] { BtnNextClick(); };
  }
};

}  // namespace pages
