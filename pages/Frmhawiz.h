#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpWizAddPrn : public WizardPage {
 public:
  TFormHelpWizAddPrn();
};

}  // namespace pages

extern pages::TFormHelpWizAddPrn* FormHelpWizAddPrn;
