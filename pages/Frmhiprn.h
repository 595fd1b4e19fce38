#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpInstPrn : public WizardPage {
 public:
  TFormHelpInstPrn();
};

}  // namespace pages

extern pages::TFormHelpInstPrn* FormHelpInstPrn;
