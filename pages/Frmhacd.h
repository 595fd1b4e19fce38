#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpCDAddPrn : public WizardPage {
 public:
  TFormHelpCDAddPrn();
};

}  // namespace pages

extern pages::TFormHelpCDAddPrn* FormHelpCDAddPrn;
