#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TPrnForm : public WizardPage {
 public:
  TPrnForm();
};

}  // namespace pages

extern pages::TPrnForm* PrnForm;
