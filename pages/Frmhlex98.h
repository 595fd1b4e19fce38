// Help page: Lexmark printers under Windows 98.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpLex98 : public WizardPage {
 public:
  TFormHelpLex98();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpLex98* FormHelpLex98;
