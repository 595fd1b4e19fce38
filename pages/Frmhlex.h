// Help page: the Lexmark (and Compaq) printer settings.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpLex : public WizardPage {
 public:
  TFormHelpLex();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpLex* FormHelpLex;
