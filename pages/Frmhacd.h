// Help page: install the driver from the printer vendor's CD.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpCDAddPrn : public WizardPage {
 public:
  TFormHelpCDAddPrn();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpCDAddPrn* FormHelpCDAddPrn;
