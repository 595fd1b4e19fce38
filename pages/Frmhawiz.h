// Help page: install the driver with the system's Add Printer wizard, started by "Done".
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpWizAddPrn : public WizardPage {
 public:
  TFormHelpWizAddPrn();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpWizAddPrn* FormHelpWizAddPrn;
