#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TTaloWizard : public WizardPage {
 public:
  TTaloWizard();
};

}  // namespace pages

extern pages::TTaloWizard* TaloWizard;
