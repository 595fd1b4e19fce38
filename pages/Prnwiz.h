#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TPrnWizard : public WizardPage {
 public:
  TPrnWizard();
};

}  // namespace pages

extern pages::TPrnWizard* PrnWizard;
