// Help page: the server is in another IP subnet.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpNetError : public WizardPage {
 public:
  TFormHelpNetError();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpNetError* FormHelpNetError;
